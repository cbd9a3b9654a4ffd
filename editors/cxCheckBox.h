#pragma once
// The check box editor: shows a value as one of three check states and lets
// the user cycle through them with the mouse or the space bar.
//
// Value and state: a value equal to ValueChecked is checked, else one equal
// to ValueUnchecked is unchecked, anything else (Null included) is grayed.
// Equality is SameVariantValues: a Boolean against another value compares as
// text, so with the default values the integer 1 is grayed, not checked.
// The three values stay distinct: a setting that would make two of them
// equal is ignored, and only ValueGrayed may be Null.
//
// Toggling: unchecked -> (grayed when AllowGrayed) -> checked -> unchecked.
// The mouse toggles when the left button goes up over the box it went down
// on; the space bar shows the box pressed while held and toggles when it
// goes up. Every change of state, by any road, fires OnClick once; the
// platform's own click on release never does.
//
// NullStyle only says how the grayed state is drawn (as unchecked, as an
// inactive box, or as a dimmed check mark); it never changes the state.
#include <memory>

#include "editors/cxEdit.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditViewInfo.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/actions.h"
#include "platform/gui/bitmap.h"

enum TcxCheckBoxState : Integer { cbsUnchecked, cbsChecked, cbsGrayed };
enum TcxCheckBoxNullValueShowingStyle : Integer { nssUnchecked, nssInactive, nssGrayedChecked };
// How the box is drawn now.
enum TcxCheckBoxDrawState : Integer { cxcdsNormal, cxcdsHot, cxcdsPressed, cxcdsDisabled };

inline constexpr TResourceString cxSCheckBoxChecked{65116, u"True"};
inline constexpr TResourceString cxSCheckBoxGrayed{65117, u""};
inline constexpr TResourceString cxSCheckBoxUnchecked{65118, u"False"};

// The editor feature set of the check box.
inline constexpr TcxEditEditorFeatures cxCheckBoxEditorFeatures = 149;
// Images a user glyph strip holds by default: three states, then the same
// three pressed.
inline constexpr Integer cxCheckBoxDefaultGlyphCount = 6;
// The gap between the box and its caption.
inline constexpr Integer cxCheckBoxCaptionGap = 3;

class TcxCheckBox;

// ---------------------------------------------------------------------------
// Pure rules (the control and its tests use them)

// The strip image of a state: the state index, plus 3 when pressed; indexes
// past a strip of more than three images fall back modulo 3, and an index
// past a shorter strip shows image 0, so no image outside the strip is read.
Integer cxCheckBoxGlyphIndex(TcxCheckBoxState AState, TcxCheckBoxDrawState ADrawState, Integer AGlyphCount);
// The theme state of the check-box part: 1 + 4 x state + draw state; a
// grayed box by NullStyle (unchecked states, always 4, or mixed states).
Integer cxCheckBoxThemeState(TcxCheckBoxState AState, TcxCheckBoxDrawState ADrawState,
                             TcxCheckBoxNullValueShowingStyle ANullStyle);

struct TcxCheckBoxLayout {
  TAlignment Alignment = taLeftJustify;
  TRect CheckBoxRect{};
  TRect TextRect{};
};
// The box and caption rectangles for the bounds, the box image size and
// the alignment (in place the box is always centred).
TcxCheckBoxLayout cxCalcCheckBoxLayout(const TRect& ABounds, const TSize& AGlyphSize, TAlignment AAlignment,
                                       bool AIsInplace, bool ANative, bool AEnabled);

// The border style of the box for the edit style's border style and the
// view info's border-state row: rows 0 and 1 (no hot tracking, or not hot)
// keep the style; row 2 (hot-tracked) turns none into flat, single and
// thick into thick, flat and 3D into 3D, and keeps ultra-flat and Office 11.
TcxEditBorderStyle cxCheckBoxBorderStyle(TcxEditBorderStyle AStyle, Integer ARow);

// ---------------------------------------------------------------------------
// View data and view info: the look of a check box with or without a
// window. A tree-list cell shows the box of its value (centred, no
// caption); the control paints through the same view info.

class TcxCustomCheckBoxViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxCustomCheckBoxViewInfo, TcxCustomEditViewInfo)
  TcxCustomCheckBoxViewInfo() { PaintsOwnContent = true; }

  String Caption;
  TRect TextRect{};
  TcxTextFlags TextFlags = 0;
  TAlignment Alignment = taCenter;
  TcxEditBorderStyle CheckBoxBorderStyle = ebsNone;
  TBitmap* Glyph = nullptr;  // the user strip (not owned; nullptr: none)
  Integer GlyphCount = 0;
  bool FullFocusRect = false;
  TcxCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
  TcxCheckBoxState State = cbsUnchecked;
  TcxCheckBoxDrawState DrawState = cxcdsNormal;
  Integer ThemeState = 0;  // of the box; 0: not themed
  TRect CheckBoxRect{};
  TRect FocusRect{};
  bool IsTextColorAssigned = false;
  bool Transparent = false;

  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  // The box's rectangle too, when its state changed.
  TcxRegion* GetChangedRegion(TcxCustomEditViewInfo* AOld) override;
  // Background, the box, the caption (unless centred), the focus frame.
  void Render(TcxCanvas* ACanvas) override;

private:
  void DrawBox(TcxCanvas* ACanvas);
};

class TcxCustomCheckBoxViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxCustomCheckBoxViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  // The live check box's caption, state and draw state; without one no
  // caption, the grayed state until EditValueToDrawValue, and normal (or
  // disabled) drawing.
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The state of a cell's value.
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
  // The frame is the box's own: the editor draws no border around it.
  TcxEditBorderStyle ComputeBorderStyle() const override { return ebsNone; }
  // The box and the caption ("Gg" in place or centred).
  TSize CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                          const TcxEditSizeProperties& ALimits) override;
};

// ---------------------------------------------------------------------------
// TcxCustomCheckBoxProperties, TcxCheckBoxProperties

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TcxCustomCheckBoxProperties, TcxCustomEditProperties)
  explicit TcxCustomCheckBoxProperties(TPersistent* AOwner);
  ~TcxCustomCheckBoxProperties() override;

  // The settings below (values through their setters) in one change bracket.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  // Where the box stands (the inherited horizontal alignment).
  TAlignment CheckBoxAlignment() { return GetAlignment()->Horz(); }
  void SetCheckBoxAlignment(TAlignment Value) { GetAlignment()->SetHorz(Value); }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { SetValue(FAllowGrayed, Value); }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool CaptionChanged() const { return FCaptionChanged; }
  void ClearCaptionChanged() { FCaptionChanged = false; }
  const String& DisplayChecked() const { return FDisplayChecked; }
  void SetDisplayChecked(const String& Value) { SetValue(FDisplayChecked, Value); }
  const String& DisplayGrayed() const { return FDisplayGrayed; }
  void SetDisplayGrayed(const String& Value) { SetValue(FDisplayGrayed, Value); }
  const String& DisplayUnchecked() const { return FDisplayUnchecked; }
  void SetDisplayUnchecked(const String& Value) { SetValue(FDisplayUnchecked, Value); }
  bool IsDisplayCheckedStored() const { return FDisplayChecked != LoadResString(cxSCheckBoxChecked); }
  bool IsDisplayGrayedStored() const { return FDisplayGrayed != LoadResString(cxSCheckBoxGrayed); }
  bool IsDisplayUncheckedStored() const { return FDisplayUnchecked != LoadResString(cxSCheckBoxUnchecked); }
  bool FullFocusRect() const { return FFullFocusRect; }
  void SetFullFocusRect(bool Value) { SetValue(FFullFocusRect, Value); }
  // Created empty on first read; its changes notify.
  virtual TBitmap* GetGlyph();
  TBitmap* Glyph() { return GetGlyph(); }
  bool HasGlyph() const { return FGlyph && !FGlyph->Empty(); }
  // A copy of Value; nullptr frees the bitmap. Always notifies.
  void SetGlyph(TBitmap* Value);
  Integer GlyphCount() const { return FGlyphCount; }
  // Notifies on a change only when a glyph exists.
  void SetGlyphCount(Integer Value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value) { SetValue(FMultiLine, Value); }
  TcxCheckBoxNullValueShowingStyle NullStyle() const { return FNullStyle; }
  void SetNullStyle(TcxCheckBoxNullValueShowingStyle Value) { SetValue(FNullStyle, Value); }
  const Variant& ValueChecked() const { return FValueChecked; }
  const Variant& ValueGrayed() const { return FValueGrayed; }
  const Variant& ValueUnchecked() const { return FValueUnchecked; }
  // Ignored when Null or equal (same type) to any of the three values.
  void SetValueChecked(const Variant& Value);
  void SetValueUnchecked(const Variant& Value);
  // Ignored when equal (same type) to any of the three values; Null is allowed.
  void SetValueGrayed(const Variant& Value);
  bool IsValueCheckedStored() const;
  bool IsValueGrayedStored() const { return !VarIsNull(FValueGrayed); }
  bool IsValueUncheckedStored() const;

  TcxCheckBoxState GetState(const Variant& AValue) const;
  Variant GetValueByState(TcxCheckBoxState AState) const;
  // The image size of a user glyph, or (0, 0) without one.
  TSize UserGlyphSize() const;

  // In place the box is always centred; a stand-alone box is raised by one
  // pixel.
  virtual bool AlignsCheckBoxInPlace() const { return false; }
  virtual bool KeepsCheckBoxLevel() const { return false; }

  bool AreEditValuesEqual(const Variant& A, const Variant& B) const override;
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  bool AcceptsEditValue(Variant& AValue, bool AIsEditing) const override;
  bool DetectsValueChangeByCompare() const override { return true; }
  bool SuppressesChangeEvent() const override { return true; }
  TcxEditEditorFeatures GetEditorFeatures() const override { return cxCheckBoxEditorFeatures; }
  TcxCustomEditStyleClass GetStyleClass() const override;
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  // The box image size: a user glyph's cell, else the system check box.
  TSize CheckBoxGlyphSize() const;
  // The caption's text flags (stand-alone, not centred).
  TcxTextFlags CaptionTextFlags(bool AIsInplace) const;

private:
  bool EqualsAnyValue(const Variant& AValue) const;
  void GlyphChanged(TObject*) { NotifyChanged(); }

  bool FAllowGrayed = false;
  String FCaption;
  bool FCaptionChanged = false;
  String FDisplayChecked;
  String FDisplayGrayed;
  String FDisplayUnchecked;
  bool FFullFocusRect = false;
  std::unique_ptr<TBitmap> FGlyph;
  Integer FGlyphCount = cxCheckBoxDefaultGlyphCount;
  bool FMultiLine = false;
  TcxCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
  Variant FValueChecked;
  Variant FValueGrayed;
  Variant FValueUnchecked;
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
  KORVANE_CLASS(TcxCheckBoxProperties, TcxCustomCheckBoxProperties)
  using TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties;
};

// The style of check boxes: its normal-state style does not hot-track the
// border unless told to.
class TcxCheckBoxStyle : public TcxEditStyle {
  KORVANE_CLASS(TcxCheckBoxStyle, TcxEditStyle)
  using TcxEditStyle::TcxEditStyle;

protected:
  bool DefaultHotTrack() const override;
};

// ---------------------------------------------------------------------------
// TcxCustomCheckBox, TcxCheckBox

class TcxCustomCheckBox : public TcxCustomEdit {
  KORVANE_CLASS(TcxCustomCheckBox, TcxCustomEdit)
  explicit TcxCustomCheckBox(TComponent* AOwner) : TcxCustomCheckBox(AOwner, false) {}
  TcxCustomCheckBox(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxCheckBoxProperties::StaticClass(); }
  TcxCustomCheckBoxProperties* ActiveProperties() {
    return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::ActiveProperties());
  }
  TcxCheckBoxProperties* Properties() { return static_cast<TcxCheckBoxProperties*>(TcxCustomEdit::Properties()); }

  TcxCheckBoxState State();
  // While loading the state waits for Loaded; otherwise a new state sets
  // its value as the edit value.
  void SetState(TcxCheckBoxState Value);
  bool Checked() { return State() == cbsChecked; }
  void SetChecked(bool Value) { SetState(Value ? cbsChecked : cbsUnchecked); }
  // Without an action: when not unchecked; with one: when grayed or when
  // Checked differs from the action's.
  bool IsStateStored();

  // One step of the cycle; posts at once with ImmediatePost.
  virtual void Toggle();
  // A cleared check box is unchecked (ValueUnchecked, not Null).
  void ClearEditValue() override { SetChecked(false); }

  TcxCheckBoxDrawState DrawState() const { return FDrawState; }
  // The draw state for a mouse at P (client coordinates) with AShift.
  TcxCheckBoxDrawState DrawStateAt(const TPoint& P, TShiftState AShift, bool ALeftButtonEvent) const;
  // The box image size: a user glyph's cell, else the system check box.
  TSize GlyphSize();
  TcxCheckBoxLayout Layout();
  // The caption's room: one line unless MultiLine, as wide as the caption
  // rectangle of the layout.
  TcxEditSizeRequest GetSizeRequest() override;
  // Paints the whole editor in ADrawState (client coordinates), through the
  // view info a tree-list cell paints with.
  void PaintCheckBox(TcxCanvas* ACanvas, TcxCheckBoxDrawState ADrawState);
  // The view info of the editor as it is now (owned by the caller).
  std::unique_ptr<TcxCustomCheckBoxViewInfo> CreateCheckBoxViewInfo(TcxCanvas* ACanvas,
                                                                    TcxCheckBoxDrawState ADrawState);
  // A dialog character that is the caption's accelerator focuses the box
  // (when it can take the focus) and toggles it once the focus arrived.
  void CMDialogChar(TMessage& Message) override;

  void Loaded() override;
  void Click() override {}

protected:
  friend class TcxCheckBoxActionLink;
  // Checked follows the action's (unless a state waits for the end of
  // loading; with CheckDefaults only while the box is unchecked).
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TControlActionLinkClass GetActionLinkClass() const override;
  // Sets Checked for the action: no change events, no click (so the action
  // is not run by its own change).
  void SetCheckedByAction(bool Value);

  void InternalSetEditValue(const Variant& Value, bool AValidateFirst) override;
  void PropertiesChanged(TObject* Sender) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoExit() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;

private:
  void SetDrawState(TcxCheckBoxDrawState Value);
  void StateChanged();

  TcxCheckBoxDrawState FDrawState = cxcdsNormal;
  TcxCheckBoxState FShownState = cbsUnchecked;
  bool FSpacePressed = false;
  bool FStatePending = false;
  TcxCheckBoxState FPendingState = cbsUnchecked;
  bool FToggling = false;
  Integer FActionSettingCount = 0;
};

// The link of a check box to its action: it keeps Checked in step with the
// action's Checked while the box shows the action's old value (not grayed).
class TcxCheckBoxActionLink : public TControlActionLink {
  KORVANE_CLASS(TcxCheckBoxActionLink, TControlActionLink)
  using TControlActionLink::TControlActionLink;

  bool IsCheckedLinked() const override;
  void SetChecked(bool Value) override;

private:
  TcxCustomCheckBox* CheckBox() const { return static_cast<TcxCustomCheckBox*>(Client()); }
};

class TcxCheckBox : public TcxCustomCheckBox {
  KORVANE_CLASS(TcxCheckBox, TcxCustomCheckBox)
  using TcxCustomCheckBox::TcxCustomCheckBox;
};

// Adds the check box properties class to the editor properties registry
// (the program's start-up calls it); cxCheckBoxUnregister removes it.
void cxCheckBoxRegister();
void cxCheckBoxUnregister();
