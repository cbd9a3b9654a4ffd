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
#include "foundation/cxGraphics.h"
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
  bool IsStateStored() { return State() != cbsUnchecked; }

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
  // Paints the whole editor in ADrawState (client coordinates).
  void PaintCheckBox(TcxCanvas* ACanvas, TcxCheckBoxDrawState ADrawState);

  void Loaded() override;
  void Click() override {}

protected:
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
  void DrawBox(TcxCanvas* ACanvas, const TRect& ABox, TcxCheckBoxState AState, TcxCheckBoxDrawState ADrawState);

  TcxCheckBoxDrawState FDrawState = cxcdsNormal;
  TcxCheckBoxState FShownState = cbsUnchecked;
  bool FSpacePressed = false;
  bool FStatePending = false;
  TcxCheckBoxState FPendingState = cbsUnchecked;
  bool FToggling = false;
};

class TcxCheckBox : public TcxCustomCheckBox {
  KORVANE_CLASS(TcxCheckBox, TcxCustomCheckBox)
  using TcxCustomCheckBox::TcxCustomCheckBox;
};

// Adds the check box properties class to the editor properties registry
// (the program's start-up calls it); cxCheckBoxUnregister removes it.
void cxCheckBoxRegister();
void cxCheckBoxUnregister();
