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
// Keys: Backspace, Delete (CE), Esc and C (C), Ctrl+L/R/M/P (MC, MR, MS,
// M+), the digits, the decimal separator, F9 (+/-), / * - +, @ (sqrt), %,
// R (1/x), Enter and "=". Ctrl+C copies the display text, Ctrl+V reads a
// number from the clipboard.
#include <algorithm>
#include <array>

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
  void CalcSize();
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
