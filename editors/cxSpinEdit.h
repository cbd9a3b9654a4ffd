#pragma once
// The spin editor (unit cxSpinEdit): a masked editor for a number with
// buttons that step the value down and up (and, with fast buttons, by the
// large increment), stepped also by the arrow and page keys.
//
// Values are 64-bit integers (vtInt) or doubles (vtFloat). Integer values
// never wrap and never pass through undefined conversions: a number beyond
// the 64-bit range saturates at the nearest end, and steps are added with
// overflow checks. A wrapping (circular) step stays inside MinValue..MaxValue
// whatever its size: it is reduced modulo the range's period
// (MaxValue - MinValue + Increment).
#include <functional>
#include <memory>

#include "editors/cxEditViewInfo.h"
#include "editors/cxMaskEdit.h"
#include "platform/gui/timers.h"

inline constexpr TResourceString cxSEditInvalidNumericValue{65181, u"Invalid numeric value"};

enum TcxSpinEditButtonsPosition : Integer { sbpHorzLeftRight, sbpHorzRight, sbpVert };
enum TcxSpinEditValueType : Integer { vtInt, vtFloat };

// Holding a spin button down repeats its step: first after the delay, then
// at the rate.
inline constexpr Cardinal cxSpinRepeatDelay = 400;
inline constexpr Cardinal cxSpinRepeatRate = 100;

// Step kinds; a kind is also the index of its button.
enum TcxSpinEditStepKind : Integer { skDown = 0, skUp = 1, skFastDown = 2, skFastUp = 3 };
// What a step does at the bounds.
enum TcxSpinEditBoundsMode : Integer { bmNoStep = 0, bmClamp = 1, bmWrap = 2 };

class TcxCustomSpinEditProperties;

// OnGetValue: offered a typed text that does not read as a number; may
// supply the value (AError false) or an error text.
using TcxSpinEditGetValueEvent =
    std::function<void(TObject* Sender, const TCaption& AText, Variant& AValue, TCaption& ErrorText, bool& Error)>;

class TcxSpinEditButtons : public TPersistent {
  KORVANE_CLASS(TcxSpinEditButtons, TPersistent)
  explicit TcxSpinEditButtons(TcxCustomSpinEditProperties* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TcxSpinEditButtonsPosition Position() const { return FPosition; }
  void SetPosition(TcxSpinEditButtonsPosition Value);
  bool ShowFastButtons() const { return FShowFastButtons; }
  void SetShowFastButtons(bool Value);

private:
  TcxCustomSpinEditProperties* FOwner;
  TcxSpinEditButtonsPosition FPosition = sbpVert;
  bool FShowFastButtons = false;
};

// ---------------------------------------------------------------------------
// TcxCustomSpinEditProperties

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
  KORVANE_CLASS(TcxCustomSpinEditProperties, TcxCustomMaskEditProperties)
  explicit TcxCustomSpinEditProperties(TPersistent* AOwner);
  ~TcxCustomSpinEditProperties() override;
  void Assign(TPersistent* Source) override;

  // Own value when assigned; else vtInt when a provider reports a
  // non-float value; else vtFloat.
  TcxSpinEditValueType ValueType() const;
  void SetValueType(TcxSpinEditValueType Value);
  bool IsValueTypeAssigned() const { return FValueTypeAssigned; }
  TcxSpinEditButtons* SpinButtons() const { return FSpinButtons.get(); }
  bool CanEdit() const { return FCanEdit; }
  void SetCanEdit(bool Value) { SetValue(FCanEdit, Value); }
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value) { SetValue(FIncrement, Value); }
  double LargeIncrement() const { return FLargeIncrement; }
  void SetLargeIncrement(double Value) { SetValue(FLargeIncrement, Value); }
  bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool Value) { SetValue(FUseCtrlIncrement, Value); }
  bool ExceptionOnInvalidInput() const { return FExceptionOnInvalidInput; }
  void SetExceptionOnInvalidInput(bool Value) { SetValue(FExceptionOnInvalidInput, Value); }
  bool Circular() const { return FCircular; }
  void SetCircular(bool Value) { SetValue(FCircular, Value); }
  TcxSpinEditGetValueEvent OnGetValue;

  bool IsNumeric() const override { return true; }
  static TcxCustomEditClass GetEditorClass();
  // The spin buttons follow ShowFastButtons (two or four).
  void NotifyChanged() override;
  // The spin buttons' own placement and arrows.
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;

  // ---- Stepping ----
  // Whether a step past the bounds stops at them when not circular.
  virtual bool ClampsAtBounds() const { return true; }
  TcxSpinEditBoundsMode BoundsMode() const;
  bool HasBounds() const { return MaxValue() > MinValue(); }
  // MinValue and MaxValue in the value type.
  Variant MinValueOfType() const { return ToValueType(MinValue()); }
  Variant MaxValueOfType() const { return ToValueType(MaxValue()); }
  // Whether a typed text must read as a number while typing.
  virtual bool ChecksTextWhileTyping() const { return true; }
  // Whether the selection stays after a step (else the caret goes to the end).
  virtual bool KeepsSelectionAfterStep() const { return false; }
  // AValue in the value type: blank and unreadable values give 0; an
  // integer beyond the 64-bit range saturates.
  virtual Variant ToValueType(const Variant& AValue) const;
  // The step of AKind: Increment or LargeIncrement, rounded for vtInt,
  // negative for the down kinds.
  double StepOf(Integer AKind) const;
  // The value a step of AKind by AStep gives from ACurrent; false when the
  // step gives none (at a bound in the no-step mode).
  bool NewStepValue(const Variant& ACurrent, Integer AKind, double AStep, Variant& AResult) const;

  // ---- Text ----
  // Whether AText reads as a number of the value type's range; AValue is
  // it in the value type (an integer text is read exactly).
  bool ReadValue(const String& AText, Variant& AValue) const;
  // A value's text as the editor shows it.
  virtual String ValueText(const Variant& AValue) const;
  // Whether a character may be typed (Backspace is #8).
  virtual bool IsCharValid(Char AChar) const;
  // The typed text converted; error texts for a text that is no number
  // (OnGetValue may supply the value) and one out of the type's range.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;

private:
  bool NewBoundedValue(const Variant& ACurrent, Integer AKind, double AStep, Variant& AResult) const;

  bool FValueTypeAssigned = false;
  TcxSpinEditValueType FValueType = vtFloat;
  std::unique_ptr<TcxSpinEditButtons> FSpinButtons;
  bool FCanEdit = true;
  double FIncrement = 1.0;
  double FLargeIncrement = 10.0;
  bool FUseCtrlIncrement = false;
  bool FExceptionOnInvalidInput = false;
  bool FCircular = false;
  bool FSyncingButtons = false;
};

class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
  KORVANE_CLASS(TcxSpinEditProperties, TcxCustomSpinEditProperties)
  using TcxCustomSpinEditProperties::TcxCustomSpinEditProperties;
};

// ---------------------------------------------------------------------------
// View data and view info: the spin buttons' placement and arrows.
//
// Each button is as wide as an arrow button of the style; a fast button one
// and a half times as wide (rounded up). Left to right:
//   sbpVert           fast down | up over down (half the height each) | fast up
//   sbpHorzRight      fast down | down | up | fast up
//   sbpHorzLeftRight  fast down | down | the text | up | fast up
// The text area gives way to the buttons on each side.

// The width of a fast button for a normal button AWidth wide.
constexpr Integer cxSpinFastButtonWidth(Integer AWidth) { return (3 * AWidth + 1) / 2; }

// The arrow a spin button shows.
enum TcxSpinArrow : Integer { saUp, saDown, saLeft, saRight, saDoubleLeft, saDoubleRight };
TcxSpinArrow cxSpinButtonArrow(TcxSpinEditButtonsPosition APosition, Integer AButtonIndex);

class TcxSpinEditViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxSpinEditViewInfo, TcxCustomEditViewInfo)
  TcxSpinEditViewInfo() = default;

  TcxSpinEditButtonsPosition ButtonsPosition = sbpVert;

  void Assign(TObject* Source) override;
  // The buttons, then (native look) a line in the background colour between
  // the up and down buttons.
  void DrawBackground(TcxCanvas* ACanvas) override;
  // The button's arrow: shifted when pressed, embossed when disabled.
  void DrawButtonContent(TcxCanvas* ACanvas, Integer AIndex, const TRect& AContentRect) override;
};

class TcxSpinEditViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxSpinEditViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  // The first call (the last button) lays out every button; the text area
  // shrinks by the buttons on each side.
  void PlaceButton(TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& AArea, Integer AWidth) override;
  void ButtonsCalculated(TcxCustomEditViewInfo* AViewInfo) override;
  // A key holding a step down shows its button pressed.
  bool IsButtonHeldPressed(TcxCustomEditViewInfo* AViewInfo, Integer AIndex) override;
  // Stacked buttons take their column once.
  TRect CalcClientMargins(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) const override;

private:
  TcxSpinEditButtonsPosition Position() const;
  std::vector<TRect> FPlaced;  // by button index
  TRect FPlacedArea{};         // the room the buttons had
};

// ---------------------------------------------------------------------------
// TcxSpinEditModel: typed characters meet the spin rules; pasted text is
// typed character by character through them.

class TcxSpinEditModel : public TcxMaskEditModel {
public:
  explicit TcxSpinEditModel(TcxCustomSpinEditProperties* AProperties) : TcxMaskEditModel(AProperties) {}
  TcxCustomSpinEditProperties* SpinProperties() const;
  void KeyPress(Char& Key) override;
  void PasteText(const String& AText) override;
};

// ---------------------------------------------------------------------------
// The spin editor control.

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
public:
  KORVANE_CLASS(TcxCustomSpinEdit, TcxCustomMaskEdit)
  explicit TcxCustomSpinEdit(TComponent* AOwner) : TcxCustomSpinEdit(AOwner, false) {}
  TcxCustomSpinEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomSpinEdit() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxSpinEditProperties::StaticClass(); }
  TcxCustomSpinEditProperties* ActiveSpinProperties();

  // Focused: the typed text (0 when it is no number) or the last value;
  // unfocused: the edit value. In the value type.
  virtual Variant GetValue();
  Variant Value() { return GetValue(); }
  // Only numbers; applied as the edit value.
  virtual void SetValue(const Variant& AValue);
  // The step a button or key of AKind makes.
  virtual double GetIncrement(Integer AKind);
  // Steps by AKind; true when the text changed.
  virtual bool DoStep(Integer AKind);
  // 0 none, else the pressed step kind + 1 (a key holds the button down).
  Integer PressedState() const { return FPressedState; }
  // Whether the user typed since the value was last set or stepped, and
  // that value (validation takes it when nothing was typed).
  bool TypedSinceLastValue() const { return FTyped; }
  const Variant& LastValidValue() const { return FLastValue; }
  // OnGetValue of the editor's own property set, then of the repository
  // item's (each sees what the one before left).
  void RunGetValueHandlers(const TCaption& AText, Variant& AValue, TCaption& AErrorText, bool& AError);
  // With bounds, a value below MinValue becomes MinValue and one above
  // MaxValue becomes MaxValue (the modified state is kept).
  virtual void CheckEditorValueBounds();
  // CanEdit off: a cut copies and a paste does nothing.
  void CutToClipboard() override;
  void PasteFromClipboard() override;

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  // The validated text becomes a number of the value type (blank: null).
  void InternalSetDisplayValue(const Variant& Value) override;
  void EditKeyDown(Word& Key, TShiftState Shift) override;
  // The key-up of a stepping key releases its button's pressed look.
  bool PreviewInnerMessage(TMessage& Message) override;
  // Steps once and, unless the value is read-only, starts the auto-repeat.
  void ButtonDown(Integer AButtonIndex) override;
  // Stops the auto-repeat.
  void ButtonUp(Integer AButtonIndex) override;
  void HandleInnerEditChange() override;
  // The wheel steps a focused editor (down: kind 0, up: kind 1) unless a
  // wheel handler took it.
  bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) override;
  void DoExit() override;
  bool IsValueChangingKey(Word Key, TShiftState Shift) override;
  // A change of the spin buttons' placement moves the text area at once; a
  // modified editor not bound to data is kept within the new bounds.
  void PropertiesChanged(TObject* Sender) override;

private:
  // The step kind of a stepping key (Up, Down, PageUp, PageDown), -1 otherwise.
  static Integer StepKindOfKey(Word Key);
  // Keys that change the text without typing a character: Delete, and the
  // cut and paste shortcuts.
  static bool IsTextChangingKey(Word Key, TShiftState Shift);
  void RepeatTimerFired(TObject* Sender);
  void StopRepeat();
  // Shows the pressed look of a key-held button (0: none).
  void SetPressedState(Integer Value);

  std::unique_ptr<TTimer> FRepeatTimer;  // while a button is held down
  Integer FRepeatKind = -1;
  Variant FLastValue;
  bool FTyped = false;
  Integer FPressedState = 0;
};

// Starts with the integer 0.
class TcxSpinEdit : public TcxCustomSpinEdit {
  KORVANE_CLASS(TcxSpinEdit, TcxCustomSpinEdit)
  explicit TcxSpinEdit(TComponent* AOwner) : TcxSpinEdit(AOwner, false) {}
  TcxSpinEdit(TComponent* AOwner, bool AIsInplace);
};

// Registers the spin editor kind (repeated calls do nothing) / removes it.
void cxSpinEditInitialize();
void cxSpinEditFinalize();
