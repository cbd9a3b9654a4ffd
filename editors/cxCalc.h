#pragma once
// The pocket calculator control (unit cxCalc): 27 buttons, an extended
// precision operand, a pending operator and a memory. It has no display of
// its own: the display is a text its owner supplies through GetDisplay and
// SetDisplay (a drop-down editor shows it as its own text).
//
// Status: a new number (the next digit starts one), entering (digits
// append) or error (the display shows "Error"). Division by zero, the
// square root of a negative number, the reciprocal of zero, and any result
// that is not finite or lies beyond the largest double (an overflow) give
// the error status; only CE and C leave it.
//
// Init puts the calculator in its starting state (new number, pending "=",
// operand and memory 0); the owner calls it when it sets the calculator up
// (the constructor does too). Laying the buttons out changes no state, so
// a resize never loses the memory.
//
// The calculator editor (TcxCustomCalcEdit) is a drop-down editor for
// floating-point numbers whose popup is a calculator showing the editor's
// text as its display. Opening the popup starts the calculator afresh (new
// number, memory 0); while it is open the memory stays whatever the popup's
// size does. When the popup closes on an error (division by zero, an
// overflow, ...), the editor keeps the text and value it had before the
// popup opened: "Error" never becomes a value.
//
// Keys: Backspace, Delete (CE), Esc and C (C), Ctrl+L/R/M/P (MC, MR, MS,
// M+), the digits, the decimal separator, F9 (+/-), / * - +, @ (sqrt), %,
// R (1/x), Enter and "=". Ctrl+C copies the display text, Ctrl+V reads a
// number from the clipboard.
#include <algorithm>
#include <array>

#include "editors/cxDropDownEdit.h"
#include "editors/cxEditRepository.h"
#include "foundation/cxControls.h"
#include "platform/rtl/events.h"

// The buttons, by code (the code indexes every per-button table).
using TcxCalcButtonKind = Integer;
enum : TcxCalcButtonKind {
  cbBack, cbCancel, cbClear, cbMC, cbMR, cbMS, cbMP,
  cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9,
  cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt, cbPercent, cbRev, cbEqual,
  cbNone
};
inline constexpr Integer cxCalcButtonCount = cbNone;

enum TcxCalcState : Integer { csNewNumber, csEntering, csError };

struct TcxCalcButtonInfo {
  TcxCalcButtonKind Kind = cbNone;
  String Text;
  TColor FontColor = clBlack;
  TRect BtnRect{};
  bool Down = false;
  bool Grayed = false;
};

// The text of the error status.
inline constexpr const char16_t* cxCalcErrorText = u"Error";
// Default and upper limit of the significant digits shown.
inline constexpr Integer cxCalcDefaultPrecision = 15;
// The metrics the layout is designed for (a 22-pixel button height).
inline constexpr Integer cxCalcDesignButtonHeight = 22;
inline constexpr Integer cxCalcDesignButtonWidth = 28;
inline constexpr Integer cxCalcDesignGap = 3;
inline constexpr Integer cxCalcDesignFontSize = 8;
inline constexpr Integer cxCalcDesignWidth = 198;
inline constexpr Integer cxCalcDesignHeight = 131;
// From this font size the captions are bold.
inline constexpr Integer cxCalcBoldFontSize = 10;

using TcxButtonClickEvent = TEvent<void(TObject* Sender, TcxCalcButtonKind& ButtonKind)>;

class TcxCustomCalculator : public TcxControl {
  KORVANE_CLASS(TcxCustomCalculator, TcxControl)
  explicit TcxCustomCalculator(TComponent* AOwner);
  ~TcxCustomCalculator() override;

  // ---- Settings ----
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  bool AutoFontSize() const { return FAutoFontSize; }
  void SetAutoFontSize(bool Value);
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value) { FPrecision = Value; }

  // ---- State ----
  // Starting state: new number, pending "=", operand and memory 0, MC and
  // MR disabled.
  void Init();
  TcxCalcState Status() const { return FStatus; }
  TcxCalcButtonKind PendingOperator() const { return FOperator; }
  long double Operand() const { return FOperand; }
  long double Memory() const { return FMemory; }
  const TcxCalcButtonInfo& Button(TcxCalcButtonKind AKind) const { return FButtons.at(static_cast<size_t>(AKind)); }
  // The button at a client point (cbNone: none).
  TcxCalcButtonKind ButtonAt(const TPoint& P) const;
  TcxCalcButtonKind HotButton() const { return FHotButton; }
  Integer ButtonHeight() const { return FBtnHeight; }
  Integer FontSize() const { return FFontSize; }

  // Performs a button as a click would (nothing for cbNone).
  void ButtonClick(TcxCalcButtonKind AKind);
  // The display as a number (0 in the error status or for a text that is no number).
  long double GetDisplayValue();
  // Shows a value with max(2, Precision) significant digits; a value that
  // is not finite or beyond the largest double sets the error instead.
  void SetDisplayValue(long double Value);
  void CopyToClipboard();
  void PasteFromClipboard();
  // Works out the button metrics and the size again (after a font change).
  void CalcSize();

  // ---- Callbacks ----
  TcxButtonClickEvent OnButtonClick;
  // After "%" and "=".
  TNotifyEvent OnResult;
  // After the display text changed.
  TNotifyEvent OnDisplayChange;
  // The popup asks to be closed.
  TNotifyEvent OnHidePopup;

protected:
  // The display text: empty in the base.
  virtual String GetDisplay() const { return String(); }
  virtual void SetDisplay(const String&) {}

  void Resize() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void HandleMouseLeave(TControl* AControl) override;
  void HandleFocusChange() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool UsesScrollBars() override { return false; }

private:
  void CreateLayout();
  void LayoutButtons();
  void ShowText(const String& AText);
  void SetError();
  void StartNumber();
  void PerformOperator(TcxCalcButtonKind AKind);
  void PerformMemory(TcxCalcButtonKind AKind);
  void PerformUnary(TcxCalcButtonKind AKind);
  void PerformEntry(TcxCalcButtonKind AKind);
  void UpdateMemoryButtons();
  void SetButtonDown(TcxCalcButtonKind AKind, bool ADown);
  void InvalidateButton(TcxCalcButtonKind AKind);
  TcxButtonState ButtonState(TcxCalcButtonKind AKind);
  Integer MaxDisplayLength() const { return std::max(2, FPrecision); }

  std::array<TcxCalcButtonInfo, cxCalcButtonCount> FButtons;
  bool FBeepOnError = true;
  bool FAutoFontSize = true;
  bool FShowFocusRect = true;
  Integer FPrecision = cxCalcDefaultPrecision;
  TcxCalcState FStatus = csNewNumber;
  TcxCalcButtonKind FOperator = cbEqual;
  long double FOperand = 0;
  long double FMemory = 0;
  TcxCalcButtonKind FPressedButton = cbNone;  // shown pressed (mouse over the down button)
  TcxCalcButtonKind FDownButton = cbNone;     // the left button went down on it
  TcxCalcButtonKind FHotButton = cbNone;
  TcxCalcButtonKind FKeyButton = cbNone;  // held by a key until its release
  // Metrics.
  Integer FFontSize = cxCalcDesignFontSize;
  Integer FBtnWidth = cxCalcDesignButtonWidth;
  Integer FBtnHeight = cxCalcDesignButtonHeight;
  Integer FLargeBtnWidth = 47;
  Integer FXOffset = cxCalcDesignGap;
  Integer FYOffset = cxCalcDesignGap;
  Integer FCalcWidth = cxCalcDesignWidth;
  Integer FCalcHeight = cxCalcDesignHeight;
  bool FSizing = false;
};

// ---------------------------------------------------------------------------
// The calculator editor

class TcxCustomCalcEdit;

// The calculator in the editor's popup: its display is the editor's text.
// Esc, F4 and Alt+Up/Down close the popup; Enter, and "=" with QuickClose,
// close it after acting; Shift+Insert pastes, Ctrl+Insert copies.
class TcxPopupCalculator : public TcxCustomCalculator {
  KORVANE_CLASS(TcxPopupCalculator, TcxCustomCalculator)
  TcxPopupCalculator(TComponent* AOwner, TcxCustomCalcEdit* AEdit);
  TcxCustomCalcEdit* Edit() const { return FEdit; }

protected:
  String GetDisplay() const override;
  // Only when the editor may be edited; the editor becomes modified.
  void SetDisplay(const String& AText) override;
  // The editor's look and feel.
  TcxCustomLookAndFeelPainterClass PainterClass() const override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;

private:
  void RequestHide();

  TcxCustomCalcEdit* FEdit;
};

// The Precision flag of the assigned values.
class TcxCalcEditPropertiesValues : public TcxCustomEditPropertiesValues {
  KORVANE_CLASS(TcxCalcEditPropertiesValues, TcxCustomEditPropertiesValues)
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;
  bool Precision() const { return FPrecision; }
  void SetPrecision(bool Value);

private:
  bool FPrecision = false;
};

class TcxCustomCalcEditProperties : public TcxCustomPopupEditProperties {
  KORVANE_CLASS(TcxCustomCalcEditProperties, TcxCustomPopupEditProperties)
  // BeepOnError on; PopupSizeable and ImmediateDropDown off.
  explicit TcxCustomCalcEditProperties(TPersistent* AOwner);
  // Copies BeepOnError, Precision (only when assigned in Source), QuickClose,
  // ScientificFormat and UseThousandSeparator after the inherited settings.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  TcxCalcEditPropertiesValues* CalcAssignedValues() const {
    return static_cast<TcxCalcEditPropertiesValues*>(AssignedValues());
  }
  // The assigned value, else the bound field's precision, else 15; any
  // value of 16 or more reads as 15.
  Integer Precision() const;
  // Marks Precision assigned.
  void SetPrecision(Integer Value);
  bool QuickClose() const { return FQuickClose; }
  void SetQuickClose(bool Value) { SetValue(FQuickClose, Value); }
  bool ScientificFormat() const { return FScientificFormat; }
  void SetScientificFormat(bool Value) { SetValue(FScientificFormat, Value); }
  bool UseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value) { SetValue(FUseThousandSeparator, Value); }

  bool IsNumeric() const override { return true; }
  bool UsesThousandSeparators() const override { return FUseThousandSeparator && !FScientificFormat; }
  // The number of a text (without thousand separators unless scientific);
  // false for anything else and for a magnitude outside the double range.
  bool ReadNumber(const String& AText, double& ANumber) const;
  // Whether AChar may replace the selection of AText.
  bool IsCharAcceptable(const String& AText, Integer ASelStart, Integer ASelLength, Char AChar) const;
  // An empty text is null, a number its value; anything else is null.
  Variant DisplayToEditValue(const String& AText) const;
  // The text of a value (see the unit's header); null gives an empty text.
  String EditValueToText(const Variant& AValue, bool AIsEditing) const;
  String ValueToDisplayText(const Variant& AValue) const override { return EditValueToText(AValue, false); }
  // A text that is neither empty nor a number fails ("Could not convert to
  // numeric value").
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;
  // Null, empty and numeric values, and texts that read as numbers.
  bool AcceptsEditValue(Variant& AValue, bool AIsEditing) const override;

protected:
  TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() const override {
    return TcxCalcEditPropertiesValues::StaticClass();
  }

private:
  Integer FPrecision = cxCalcDefaultPrecision;
  bool FQuickClose = false;
  bool FScientificFormat = false;
  bool FUseThousandSeparator = false;
};

class TcxCalcEditProperties : public TcxCustomCalcEditProperties {
  KORVANE_CLASS(TcxCalcEditProperties, TcxCustomCalcEditProperties)
  using TcxCustomCalcEditProperties::TcxCustomCalcEditProperties;
};

// Typed characters meet the number rules; "," and "." become the decimal
// separator; a refused character beeps (BeepOnError).
class TcxCalcEditModel : public TcxMaskEditModel {
public:
  explicit TcxCalcEditModel(TcxCustomCalcEditProperties* AProperties) : TcxMaskEditModel(AProperties) {}
  void KeyPress(Char& Key) override;
};

class TcxCustomCalcEdit : public TcxCustomPopupEdit {
public:
  KORVANE_CLASS(TcxCustomCalcEdit, TcxCustomPopupEdit)
  explicit TcxCustomCalcEdit(TComponent* AOwner) : TcxCustomCalcEdit(AOwner, false) {}
  // The calculator is made with the editor and lives in its popup window;
  // the edit value starts as 0.0.
  TcxCustomCalcEdit(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxCalcEditProperties::StaticClass(); }
  TcxCustomCalcEditProperties* ActiveCalcProperties();
  TcxPopupCalculator* Calculator() const { return FCalculator; }

  // Not while read-only or when the data cannot be changed.
  bool CanDropDown() const override;
  TSize PopupContentSize() override;
  void PopupClientRectChanged(const TRect& AClientRect) override;
  // On an error the text and value from before the popup come back.
  void ClosePopup(bool AAccept) override;
  void UpdateDisplayValue() override;
  void PropertiesChanged(TObject* Sender) override;
  // Through the calculator, when editing may start.
  void PasteFromClipboard() override;
  // The calculator's display changed: the editor shows it, modified.
  void CalculatorDisplayChanged(const String& AText);

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  void InternalSetDisplayValue(const Variant& Value) override;
  // Starts the calculator afresh with the editor's font and settings and
  // remembers the text it may have to go back to.
  void PreparePopup() override;
  TWinControl* PopupFocusedControl() override { return FCalculator; }
  // The calculator stays in the popup: nothing is lent.
  void LayoutPopupWindow() override;
  void PopupWindowClosed(TObject* Sender) override;

private:
  void CalculatorHide(TObject* Sender);
  // After an error the text from before the popup comes back.
  void DropErrorResult();
  void ApplyCalculatorSettings();

  TcxPopupCalculator* FCalculator;  // owned by the popup window
  String FTextBeforePopup;
  bool FModifiedBeforePopup = false;
};

class TcxCalcEdit : public TcxCustomCalcEdit {
  KORVANE_CLASS(TcxCalcEdit, TcxCustomCalcEdit)
  using TcxCustomCalcEdit::TcxCustomCalcEdit;
};

class TcxEditRepositoryCalcItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TcxEditRepositoryCalcItem, TcxEditRepositoryItem)
  explicit TcxEditRepositoryCalcItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TcxCalcEditProperties::StaticClass(); }
};

// Registers the calculator editor kind (repeated calls do nothing) / removes it.
void cxCalcEditInitialize();
void cxCalcEditFinalize();
