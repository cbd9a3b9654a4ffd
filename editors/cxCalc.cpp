#include "editors/cxCalc.h"

#include <cfloat>
#include <cmath>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsArithmetic(TcxCalcButtonKind AKind) { return AKind >= cbDiv && AKind <= cbAdd; }
bool IsOperator(TcxCalcButtonKind AKind) { return IsArithmetic(AKind) || AKind == cbPercent || AKind == cbEqual; }
bool IsMemory(TcxCalcButtonKind AKind) { return AKind >= cbMC && AKind <= cbMP; }

// A result the display can show: finite and within the range of a double.
bool IsShowable(long double AValue) { return std::isfinite(AValue) && std::fabs(AValue) <= DBL_MAX; }

// Grid placement of the buttons below the top row: {row, column}; column 0
// is the memory column.
struct TGridPlace {
  TcxCalcButtonKind Kind;
  Integer Row, Column;
};
constexpr TGridPlace kGrid[] = {
    {cbMC, 1, 0},   {cbNum7, 1, 1}, {cbNum8, 1, 2}, {cbNum9, 1, 3},    {cbDiv, 1, 4}, {cbSqrt, 1, 5},
    {cbMR, 2, 0},   {cbNum4, 2, 1}, {cbNum5, 2, 2}, {cbNum6, 2, 3},    {cbMul, 2, 4}, {cbPercent, 2, 5},
    {cbMS, 3, 0},   {cbNum1, 3, 1}, {cbNum2, 3, 2}, {cbNum3, 3, 3},    {cbSub, 3, 4}, {cbRev, 3, 5},
    {cbMP, 4, 0},   {cbNum0, 4, 1}, {cbSign, 4, 2}, {cbDecimal, 4, 3}, {cbAdd, 4, 4}, {cbEqual, 4, 5},
};

}  // namespace

TcxCustomCalculator::TcxCustomCalculator(TComponent* AOwner) : TcxControl(AOwner) {
  SetBorderStyle(cxcbsNone);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetTabStop(true);
  CreateLayout();
  Init();
  SetBounds(Left(), Top(), cxCalcDesignWidth, cxCalcDesignHeight);
}

TcxCustomCalculator::~TcxCustomCalculator() = default;

void TcxCustomCalculator::CreateLayout() {
  static const char16_t* const captions[cxCalcButtonCount] = {
      u"Back", u"CE", u"C", u"MC", u"MR", u"MS", u"M+", u"0", u"1", u"2", u"3", u"4", u"5", u"6",
      u"7", u"8", u"9", u"+/-", u"", u"/", u"*", u"-", u"+", u"sqrt", u"%", u"1/x", u"="};
  for (Integer i = 0; i < cxCalcButtonCount; ++i) {
    TcxCalcButtonInfo& b = FButtons[static_cast<size_t>(i)];
    b.Kind = i;
    b.Text = captions[i];
    if (i <= cbClear)
      b.FontColor = clMaroon;
    else if (IsMemory(i) || IsArithmetic(i) || i == cbEqual)
      b.FontColor = clRed;
    else if (i >= cbSqrt)
      b.FontColor = clNavy;
    else
      b.FontColor = clBlue;
  }
  FButtons[cbDecimal].Text = String(1, FormatSettings().DecimalSeparator);
}

void TcxCustomCalculator::Init() {
  FStatus = csNewNumber;
  FOperator = cbEqual;
  FOperand = 0;
  FMemory = 0;
  UpdateMemoryButtons();
}

void TcxCustomCalculator::SetAutoFontSize(bool Value) {
  if (FAutoFontSize == Value) return;
  FAutoFontSize = Value;
  CalcSize();
}

void TcxCustomCalculator::SetShowFocusRect(bool Value) {
  if (FShowFocusRect == Value) return;
  FShowFocusRect = Value;
  InvalidateButton(cbEqual);
}

// ---- Layout --------------------------------------------------------------------------------

void TcxCustomCalculator::Resize() {
  TcxControl::Resize();
  CalcSize();
}

void TcxCustomCalculator::CalcSize() {
  if (FSizing) return;
  Integer h = cxCalcDesignButtonHeight;
  if (FAutoFontSize) {
    const Integer available = std::min(ClientHeight(), MulDiv(ClientWidth(), cxCalcDesignHeight, cxCalcDesignWidth));
    auto distance = [&](Integer H) { return std::abs(5 * H + 6 * (3 * H / cxCalcDesignButtonHeight) - available); };
    while (distance(h + 1) < distance(h)) ++h;
  } else {
    TcxScreenCanvas canvas;
    canvas.SetFont(Font());
    h = std::max(1, 2 * canvas.GetTextHeight(u"0"));
  }
  FBtnHeight = h;
  FBtnWidth = MulDiv(h, cxCalcDesignButtonWidth, cxCalcDesignButtonHeight);
  FXOffset = FYOffset = MulDiv(h, cxCalcDesignGap, cxCalcDesignButtonHeight);
  FLargeBtnWidth = MulDiv(FBtnWidth, 17, 10);
  FFontSize = MulDiv(h, cxCalcDesignFontSize, cxCalcDesignButtonHeight);
  FCalcHeight = 5 * FBtnHeight + 6 * FYOffset;
  FCalcWidth = 6 * FBtnWidth + 8 * FXOffset + 4;
  LayoutButtons();
  if (ClientWidth() != FCalcWidth || ClientHeight() != FCalcHeight) {
    FSizing = true;
    SetBounds(Left(), Top(), Width() - ClientWidth() + FCalcWidth, Height() - ClientHeight() + FCalcHeight);
    FSizing = false;
  }
  Invalidate();
}

void TcxCustomCalculator::LayoutButtons() {
  const Integer x = FXOffset, y = FYOffset, w = FBtnWidth, h = FBtnHeight;
  const Integer g = w + 2 * x + 4;
  auto rowTop = [&](Integer R) { return R * (h + y) + y; };
  for (const TGridPlace& p : kGrid) {
    const Integer left = p.Column == 0 ? x : x + g + (p.Column - 1) * (x + w);
    FButtons[static_cast<size_t>(p.Kind)].BtnRect = TRect{left, rowTop(p.Row), left + w, (p.Row + 1) * (h + y)};
  }
  Integer right = FButtons[cbEqual].BtnRect.Right;
  for (TcxCalcButtonKind kind : {cbClear, cbCancel, cbBack}) {
    FButtons[static_cast<size_t>(kind)].BtnRect = TRect{right - FLargeBtnWidth, y, right, y + h};
    right -= FLargeBtnWidth + y;
  }
}

TcxCalcButtonKind TcxCustomCalculator::ButtonAt(const TPoint& P) const {
  for (const TcxCalcButtonInfo& b : FButtons)
    if (PtInRect(b.BtnRect, P)) return b.Kind;
  return cbNone;
}

// ---- Display -------------------------------------------------------------------------------

long double TcxCustomCalculator::GetDisplayValue() {
  if (FStatus == csError) return 0;
  String text = Trim(GetDisplay());
  if (text.empty()) text = u"0";
  std::erase(text, FormatSettings().ThousandSeparator);
  double value = 0;
  return TryStrToFloat(text, value) ? value : 0;
}

void TcxCustomCalculator::SetDisplayValue(long double Value) {
  if (!IsShowable(Value)) return SetError();
  ShowText(FloatToStrF(static_cast<double>(Value), ffGeneral, MaxDisplayLength(), 0));
}

void TcxCustomCalculator::ShowText(const String& AText) {
  if (AText == GetDisplay()) return;
  SetDisplay(AText);
  if (OnDisplayChange) OnDisplayChange(this);
}

void TcxCustomCalculator::SetError() {
  FStatus = csError;
  ShowText(cxCalcErrorText);
  if (FBeepOnError) MessageBeep(0);
}

void TcxCustomCalculator::StartNumber() {
  if (FStatus != csNewNumber) return;
  FStatus = csEntering;
  ShowText(u"0");
}

// ---- Buttons -------------------------------------------------------------------------------

void TcxCustomCalculator::ButtonClick(TcxCalcButtonKind AKind) {
  if (OnButtonClick) OnButtonClick(this, AKind);
  if (AKind < 0 || AKind >= cxCalcButtonCount) return;
  if (FStatus == csError && AKind != cbCancel && AKind != cbClear) return SetError();
  if (AKind == cbCancel || AKind == cbClear) {
    FStatus = csNewNumber;
    ShowText(u"0");
    FOperator = cbEqual;
  } else if (IsOperator(AKind)) {
    PerformOperator(AKind);
  } else if (IsMemory(AKind)) {
    PerformMemory(AKind);
  } else if (AKind == cbSqrt || AKind == cbRev) {
    PerformUnary(AKind);
  } else if (AKind == cbSign) {
    SetDisplayValue(-GetDisplayValue());
  } else {
    PerformEntry(AKind);
  }
}

void TcxCustomCalculator::PerformEntry(TcxCalcButtonKind AKind) {
  StartNumber();
  String text = GetDisplay();
  if (AKind == cbBack) {
    const bool last = text.size() <= 1 || (text.size() == 2 && text[0] == u'-');
    return ShowText(last ? String(u"0") : text.substr(0, text.size() - 1));
  }
  if (AKind == cbDecimal) {
    const Char separator = FormatSettings().DecimalSeparator;
    if (text.find(separator) == String::npos) ShowText(text + separator);
    return;
  }
  if (text == u"0") text.clear();
  const Integer minus = !text.empty() && text[0] == u'-' ? 1 : 0;
  if (static_cast<Integer>(text.size()) < MaxDisplayLength() + minus)
    ShowText(text + Char(u'0' + (AKind - cbNum0)));
  else if (FBeepOnError)
    MessageBeep(0);
}

void TcxCustomCalculator::PerformUnary(TcxCalcButtonKind AKind) {
  FStatus = IsArithmetic(FOperator) ? csEntering : csNewNumber;
  const long double x = GetDisplayValue();
  if (AKind == cbSqrt) {
    if (x < 0) return SetError();
    return SetDisplayValue(std::sqrt(x));
  }
  if (x == 0) return SetError();
  SetDisplayValue(1 / x);
}

void TcxCustomCalculator::PerformOperator(TcxCalcButtonKind AKind) {
  if (FStatus == csEntering) {
    FStatus = csNewNumber;
    long double x = GetDisplayValue();
    if (AKind == cbPercent) {
      if (FOperator == cbDiv || FOperator == cbMul)
        x = x / 100;
      else if (FOperator == cbSub || FOperator == cbAdd)
        x = FOperand * x / 100;
    }
    if (IsArithmetic(FOperator)) {
      if (FOperator == cbDiv && x == 0) return SetError();
      const long double result = FOperator == cbDiv   ? FOperand / x
                                 : FOperator == cbMul ? FOperand * x
                                 : FOperator == cbSub ? FOperand - x
                                                      : FOperand + x;
      SetDisplayValue(result);
      if (FStatus == csError) return;
    }
  }
  FOperator = AKind;
  FOperand = GetDisplayValue();
  if ((AKind == cbPercent || AKind == cbEqual) && OnResult) OnResult(this);
}

void TcxCustomCalculator::PerformMemory(TcxCalcButtonKind AKind) {
  switch (AKind) {
    case cbMS:
      FStatus = csNewNumber;
      FMemory = GetDisplayValue();
      break;
    case cbMP: {
      FStatus = csNewNumber;
      const long double sum = FMemory + GetDisplayValue();
      // An overflowing sum is an error; the memory keeps what it had.
      if (!IsShowable(sum)) return SetError();
      FMemory = sum;
      break;
    }
    case cbMR:
      FStatus = csNewNumber;
      StartNumber();
      return SetDisplayValue(FMemory);
    default:
      FMemory = 0;
  }
  UpdateMemoryButtons();
}

void TcxCustomCalculator::UpdateMemoryButtons() {
  for (TcxCalcButtonKind kind : {cbMC, cbMR}) {
    FButtons[static_cast<size_t>(kind)].Grayed = FMemory == 0;
    InvalidateButton(kind);
  }
}

// ---- Clipboard -----------------------------------------------------------------------------

void TcxCustomCalculator::CopyToClipboard() { Clipboard()->SetAsText(GetDisplay()); }

void TcxCustomCalculator::PasteFromClipboard() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  String text = Clipboard()->AsText();
  const String currency = FormatSettings().CurrencyString;
  if (!currency.empty())
    for (size_t at = text.find(currency); at != String::npos; at = text.find(currency, at))
      text.erase(at, currency.size());
  double value = 0;
  if (!TryStrToFloat(Trim(text), value)) value = 0;
  FStatus = csEntering;
  SetDisplayValue(value);
}

// ---- Keyboard ------------------------------------------------------------------------------

void TcxCustomCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  const bool ctrl = (Shift & ssCtrl) != 0;
  TcxCalcButtonKind kind = cbNone;
  switch (Key) {
    case VK_DELETE: kind = cbCancel; break;
    case VK_ESCAPE: kind = cbClear; break;
    case VK_F9: kind = cbSign; break;
    case VK_RETURN: kind = cbEqual; break;
    case 'C': kind = ctrl ? cbNone : cbClear; break;
    case 'R': kind = ctrl ? cbMR : cbRev; break;
    case 'L': kind = ctrl ? cbMC : cbNone; break;
    case 'M': kind = ctrl ? cbMS : cbNone; break;
    case 'P': kind = ctrl ? cbMP : cbNone; break;
    default: break;
  }
  if (kind == cbNone) return;
  Key = 0;
  if (FKeyButton == kind) return;  // held down: acts once
  FKeyButton = kind;
  SetButtonDown(kind, true);
  ButtonClick(kind);
}

void TcxCustomCalculator::KeyPress(Char& Key) {
  TcxControl::KeyPress(Key);
  constexpr Char kCtrlC = 3, kCtrlV = 22, kBackspace = 8;
  if (Key == kCtrlC) return CopyToClipboard();
  if (Key == kCtrlV) return PasteFromClipboard();
  TcxCalcButtonKind kind = cbNone;
  if (Key >= u'0' && Key <= u'9')
    kind = cbNum0 + (Key - u'0');
  else if (Key == FormatSettings().DecimalSeparator)
    kind = cbDecimal;
  else if (Key == kBackspace)
    kind = cbBack;
  else {
    static const std::pair<Char, TcxCalcButtonKind> chars[] = {{u'/', cbDiv}, {u'*', cbMul}, {u'-', cbSub},
                                                               {u'+', cbAdd}, {u'@', cbSqrt}, {u'%', cbPercent},
                                                               {u'=', cbEqual}};
    for (const auto& [c, k] : chars)
      if (Key == c) kind = k;
  }
  if (kind == cbNone) return;
  Key = 0;
  // A held key repeats its character; only Backspace acts again.
  if (FKeyButton == kind && kind != cbBack) return;
  FKeyButton = kind;
  SetButtonDown(kind, true);
  ButtonClick(kind);
}

void TcxCustomCalculator::KeyUp(Word& Key, TShiftState Shift) {
  TcxControl::KeyUp(Key, Shift);
  if (FKeyButton == cbNone) return;
  SetButtonDown(FKeyButton, false);
  FKeyButton = cbNone;
}

// ---- Mouse ---------------------------------------------------------------------------------

void TcxCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TcxCalcButtonKind kind = ButtonAt(TPoint{X, Y});
  if (kind == cbNone || FButtons[static_cast<size_t>(kind)].Grayed) return;
  FDownButton = FPressedButton = kind;
  SetMouseCapture(true);
  InvalidateButton(kind);
}

void TcxCustomCalculator::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  const TcxCalcButtonKind at = ButtonAt(TPoint{X, Y});
  if (FDownButton != cbNone) {
    const TcxCalcButtonKind pressed = at == FDownButton ? FDownButton : cbNone;
    if (pressed == FPressedButton) return;
    FPressedButton = pressed;
    return InvalidateButton(FDownButton);
  }
  const TcxCustomLookAndFeelPainter* painter = PainterOf(PainterClass());
  if (!painter || !painter->HotTracksButtons() || at == FHotButton) return;
  InvalidateButton(FHotButton);
  FHotButton = at;
  InvalidateButton(FHotButton);
}

void TcxCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || FDownButton == cbNone) return;
  const TcxCalcButtonKind kind = FDownButton;
  const bool over = ButtonAt(TPoint{X, Y}) == kind;
  FDownButton = FPressedButton = cbNone;
  SetMouseCapture(false);
  InvalidateButton(kind);
  if (over) ButtonClick(kind);
}

void TcxCustomCalculator::HandleMouseLeave(TControl* AControl) {
  TcxControl::HandleMouseLeave(AControl);
  InvalidateButton(FHotButton);
  FHotButton = cbNone;
}

void TcxCustomCalculator::HandleFocusChange() {
  TcxControl::HandleFocusChange();
  // A key released elsewhere never reaches us: forget it.
  if (FKeyButton != cbNone) SetButtonDown(FKeyButton, false);
  FKeyButton = cbNone;
  InvalidateButton(cbEqual);
}

// ---- Painting ------------------------------------------------------------------------------

void TcxCustomCalculator::SetButtonDown(TcxCalcButtonKind AKind, bool ADown) {
  FButtons[static_cast<size_t>(AKind)].Down = ADown;
  InvalidateButton(AKind);
}

void TcxCustomCalculator::InvalidateButton(TcxCalcButtonKind AKind) {
  if (AKind < 0 || AKind >= cxCalcButtonCount || !HandleAllocated()) return;
  InvalidateArea(FButtons[static_cast<size_t>(AKind)].BtnRect, false);
}

TcxButtonState TcxCustomCalculator::ButtonState(TcxCalcButtonKind AKind) {
  const TcxCalcButtonInfo& b = FButtons[static_cast<size_t>(AKind)];
  if (b.Grayed || !Enabled()) return cxbsDisabled;
  if (b.Down || FPressedButton == AKind) return cxbsPressed;
  if (FHotButton == AKind && FDownButton != AKind) return cxbsHot;
  if (AKind == cbEqual && Focused()) return cxbsDefault;
  return cxbsNormal;
}

void TcxCustomCalculator::Paint() {
  TcxCanvas* canvas = cxCanvas();
  canvas->SetBrushColor(Color());
  canvas->Canvas()->FillRect(ClientRect());
  canvas->SetFont(Font());
  if (FAutoFontSize) {
    canvas->GetFont()->SetSize(FFontSize);
    canvas->GetFont()->SetStyle(FFontSize >= cxCalcBoldFontSize ? TFontStyles(fsBold) : TFontStyles());
  }
  const TcxCustomLookAndFeelPainter* painter = PainterOf(PainterClass());
  if (!painter) return;
  for (const TcxCalcButtonInfo& b : FButtons) {
    const TcxButtonState state = ButtonState(b.Kind);
    painter->PaintButton(canvas, b.BtnRect, state);
    TRect text = b.BtnRect;
    if (state == cxbsPressed) OffsetRect(text, painter->PressedContentShift(), painter->PressedContentShift());
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetFont()->SetColor(state == cxbsDisabled ? clGrayText : b.FontColor);
    canvas->DrawTextWithFlags(b.Text, text, state != cxbsDisabled, cxAlignHCenter | cxAlignVCenter | cxSingleLine);
  }
  if (Focused() && FShowFocusRect) {
    TRect focus = FButtons[cbEqual].BtnRect;
    InflateRect(focus, -3, -3);
    canvas->DrawFocusFrame(focus);
  }
}

// ---------------------------------------------------------------------------
// The calculator editor

namespace {

// Magnitudes a number may have: the smallest positive double and the
// largest one.
constexpr double cxCalcMinMagnitude = DBL_TRUE_MIN;
constexpr double cxCalcMaxMagnitude = DBL_MAX;

String WithoutChar(const String& AText, Char AChar) {
  String result;
  for (Char c : AText)
    if (c != AChar) result += c;
  return result;
}

// "1.50000E+003" -> "1.5E+003": trailing zeros of the mantissa, then a
// trailing decimal separator, go.
String TrimMantissa(const String& AText, Char ASeparator) {
  const size_t e = AText.find_first_of(u"Ee");
  String mantissa = AText.substr(0, e);
  const String exponent = e == String::npos ? String() : AText.substr(e);
  if (mantissa.find(ASeparator) != String::npos) {
    while (!mantissa.empty() && mantissa.back() == u'0') mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == ASeparator) mantissa.pop_back();
  }
  return mantissa + exponent;
}

}  // namespace

TcxPopupCalculator::TcxPopupCalculator(TComponent* AOwner, TcxCustomCalcEdit* AEdit)
    : TcxCustomCalculator(AOwner), FEdit(AEdit) {}

String TcxPopupCalculator::GetDisplay() const { return FEdit->Text(); }

void TcxPopupCalculator::SetDisplay(const String& AText) { FEdit->CalculatorDisplayChanged(AText); }

TcxCustomLookAndFeelPainterClass TcxPopupCalculator::PainterClass() const {
  TcxCustomLookAndFeelPainterClass painter = FEdit->Style()->LookAndFeel()->GetPainterClass();
  return painter ? painter : TcxCustomCalculator::PainterClass();
}

void TcxPopupCalculator::RequestHide() {
  if (OnHidePopup) OnHidePopup(this);
}

void TcxPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift & ssAlt, ctrl = Shift & ssCtrl, shift = Shift & ssShift;
  if (Key == VK_ESCAPE || (Key == VK_F4 && !alt) || ((Key == VK_UP || Key == VK_DOWN) && alt)) {
    Key = 0;
    return RequestHide();
  }
  if (Key == VK_INSERT && (shift || ctrl)) {
    if (shift) PasteFromClipboard();
    else CopyToClipboard();
    Key = 0;
    return;
  }
  const bool enter = Key == VK_RETURN;
  TcxCustomCalculator::KeyDown(Key, Shift);
  if (enter) RequestHide();
}

void TcxPopupCalculator::KeyPress(Char& Key) {
  const bool equal = Key == u'=';
  TcxCustomCalculator::KeyPress(Key);
  if (equal && FEdit->ActiveCalcProperties()->QuickClose()) RequestHide();
}

// ---- Properties ----------------------------------------------------------------------------

void TcxCalcEditPropertiesValues::Assign(TPersistent* Source) {
  TcxCustomEditPropertiesValues::Assign(Source);
  if (auto* source = dynamic_cast<TcxCalcEditPropertiesValues*>(Source)) FPrecision = source->FPrecision;
}

void TcxCalcEditPropertiesValues::RestoreDefaults() {
  TcxCustomEditPropertiesValues::RestoreDefaults();
  SetPrecision(false);
}

void TcxCalcEditPropertiesValues::SetPrecision(bool Value) {
  if (FPrecision == Value) return;
  FPrecision = Value;
  Changed();
}

TcxCustomCalcEditProperties::TcxCustomCalcEditProperties(TPersistent* AOwner)
    : TcxCustomPopupEditProperties(AOwner) {
  TcxUpdateScope update(this);
  SetBeepOnError(true);
  SetPopupSizeable(false);
  SetImmediateDropDown(false);
  SetPopupAutoSize(true);
}

TcxCustomEditClass TcxCustomCalcEditProperties::GetEditorClass() { return TcxCalcEdit::StaticClass(); }

void TcxCustomCalcEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCalcEditProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomPopupEditProperties::Assign(Source);
  if (!source || source == this) return;
  SetBeepOnError(source->BeepOnError());
  if (source->CalcAssignedValues()->Precision()) SetPrecision(source->FPrecision);
  SetQuickClose(source->FQuickClose);
  SetScientificFormat(source->FScientificFormat);
  SetUseThousandSeparator(source->FUseThousandSeparator);
}

Integer TcxCustomCalcEditProperties::Precision() const {
  Integer precision = cxCalcDefaultPrecision;
  if (CalcAssignedValues()->Precision())
    precision = FPrecision;
  else if (DefaultValuesProvider())
    precision = DefaultValuesProvider()->ProvidePrecision();
  return precision >= cxCalcDefaultPrecision + 1 || precision <= 0 ? cxCalcDefaultPrecision : precision;
}

void TcxCustomCalcEditProperties::SetPrecision(Integer Value) {
  TcxUpdateScope update(this);
  CalcAssignedValues()->SetPrecision(true);
  SetValue(FPrecision, Value);
}

bool TcxCustomCalcEditProperties::ReadNumber(const String& AText, double& ANumber) const {
  const String text = FScientificFormat ? AText : WithoutChar(AText, Locale().ThousandSeparator);
  double number = 0;
  if (!TryStrToFloat(Trim(text), number, Locale()) || !std::isfinite(number)) return false;
  const double magnitude = std::fabs(number);
  if (number != 0 && (magnitude < cxCalcMinMagnitude || magnitude > cxCalcMaxMagnitude)) return false;
  ANumber = number;
  return true;
}

bool TcxCustomCalcEditProperties::IsCharAcceptable(const String& AText, Integer ASelStart, Integer ASelLength,
                                                   Char AChar) const {
  const bool allowed = (AChar >= u'0' && AChar <= u'9') || AChar == u'+' || AChar == u'-' || AChar == u'E' ||
                       AChar == u'e' || AChar == Locale().DecimalSeparator;
  if (!allowed) return false;
  const String text = AText.substr(0, ASelStart) + String(1, AChar) + AText.substr(ASelStart + ASelLength);
  double number = 0;
  return text == u"-" || ReadNumber(text, number);
}

Variant TcxCustomCalcEditProperties::DisplayToEditValue(const String& AText) const {
  double number = 0;
  if (Trim(AText).empty() || !ReadNumber(AText, number)) return Null();
  return Variant(number);
}

String TcxCustomCalcEditProperties::EditValueToText(const Variant& AValue, bool AIsEditing) const {
  if (VarIsNullOrEmpty(AValue)) return String();
  double number = 0;
  if (VarIsNumeric(AValue))
    number = AValue.AsDouble();
  else if (!ReadNumber(VarToStr(AValue), number))
    return VarToStr(AValue);  // shown as it is rather than lost
  const String format = DisplayFormat();
  if (!AIsEditing && !format.empty()) return FormatFloat(format, number, Locale());
  if (FScientificFormat)
    return TrimMantissa(FloatToStrF(number, ffExponent, Precision(), 0, Locale()), Locale().DecimalSeparator);
  String text = FloatToStrF(number, ffGeneral, Precision(), 0, Locale());
  if (FUseThousandSeparator) cxRegroupThousands(text, Locale());
  return text;
}

void TcxCustomCalcEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  const String text = Trim(VarToStr(ADisplayValue));
  double number = 0;
  if (!text.empty() && !ReadNumber(text, number)) {
    AError = true;
    AErrorText = LoadResourceText(cxSEditNumericValueConvertError);
  }
  TcxCustomPopupEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TcxCustomCalcEditProperties::AcceptsEditValue(Variant& AValue, bool) const {
  if (VarIsNullOrEmpty(AValue) || VarIsNumeric(AValue)) return true;
  double number = 0;
  return VarIsStr(AValue) && (VarToStr(AValue).empty() || ReadNumber(VarToStr(AValue), number));
}

void TcxCalcEditModel::KeyPress(Char& Key) {
  auto* properties = static_cast<TcxCustomCalcEditProperties*>(Properties());
  if (Key == u',' || Key == u'.') Key = properties->Locale().DecimalSeparator;
  if (Key >= 32 && !properties->IsCharAcceptable(Text(), SelStart(), SelLength(), Key)) {
    Key = 0;
    Beep();
    return;
  }
  TcxMaskEditModel::KeyPress(Key);
}

// ---- Editor --------------------------------------------------------------------------------

TcxCustomCalcEdit::TcxCustomCalcEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace) {
  FCalculator = new TcxPopupCalculator(PopupWindow(), this);
  FCalculator->SetAutoFontSize(false);
  FCalculator->SetParent(PopupWindow());
  FCalculator->OnHidePopup = TNotifyEvent(this, &TcxCustomCalcEdit::CalculatorHide);
  SetEditValue(Variant(0.0));
}

TcxCustomCalcEditProperties* TcxCustomCalcEdit::ActiveCalcProperties() {
  return static_cast<TcxCustomCalcEditProperties*>(ActiveProperties());
}

std::unique_ptr<TcxTextEditModel> TcxCustomCalcEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxCalcEditModel>(static_cast<TcxCustomCalcEditProperties*>(AProperties));
}

bool TcxCustomCalcEdit::CanDropDown() const {
  auto* self = const_cast<TcxCustomCalcEdit*>(this);
  return !self->ActiveProperties()->ReadOnly() && self->CanModifyValue();
}

TSize TcxCustomCalcEdit::PopupContentSize() { return TSize{FCalculator->Width(), FCalculator->Height()}; }

void TcxCustomCalcEdit::PopupClientRectChanged(const TRect& AClientRect) {
  FCalculator->SetBounds(AClientRect.Left, AClientRect.Top, FCalculator->Width(), FCalculator->Height());
}

void TcxCustomCalcEdit::ApplyCalculatorSettings() {
  TcxCustomCalcEditProperties* p = ActiveCalcProperties();
  FCalculator->SetBeepOnError(p->BeepOnError());
  FCalculator->SetPrecision(p->Precision());
}

void TcxCustomCalcEdit::PreparePopup() {
  TcxCustomPopupEdit::PreparePopup();
  ApplyCalculatorSettings();
  FCalculator->SetFont(Style()->GetVisibleFont());
  FCalculator->CalcSize();
  FCalculator->Init();
  FTextBeforePopup = Text();
  FModifiedBeforePopup = IsModified();
}

void TcxCustomCalcEdit::LayoutPopupWindow() { TcxCustomDropDownEdit::LayoutPopupWindow(); }

void TcxCustomCalcEdit::CalculatorDisplayChanged(const String& AText) {
  if (!DoEditing()) return;
  Model()->SetText(AText);
  SyncInnerEdit();
  SetModified(true);
  DoChangeNotice();
}

void TcxCustomCalcEdit::CalculatorHide(TObject*) { ClosePopup(true); }

void TcxCustomCalcEdit::DropErrorResult() {
  if (FCalculator->Status() != csError && Text() != cxCalcErrorText) return;
  // Init leaves the error state, so a second call changes nothing.
  FCalculator->Init();
  Model()->SetText(FTextBeforePopup);
  SyncInnerEdit();
  SetModified(FModifiedBeforePopup);
}

void TcxCustomCalcEdit::ClosePopup(bool AAccept) {
  if (HasOpenPopup()) DropErrorResult();
  TcxCustomPopupEdit::ClosePopup(AAccept);
}

void TcxCustomCalcEdit::PopupWindowClosed(TObject* Sender) {
  DropErrorResult();
  TcxCustomPopupEdit::PopupWindowClosed(Sender);
  if (ActiveProperties()->AutoSelect())
    SelectWholeText();
  else
    SetSelection(Model()->Length(), 0);
}

void TcxCustomCalcEdit::UpdateDisplayValue() {
  Model()->SetText(ActiveCalcProperties()->EditValueToText(EditValue(), Focused()));
  SyncInnerEdit();
}

void TcxCustomCalcEdit::InternalSetDisplayValue(const Variant& Value) {
  ApplyEditValue(ActiveCalcProperties()->DisplayToEditValue(VarToStr(Value)));
}

void TcxCustomCalcEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomPopupEdit::PropertiesChanged(Sender);
  if (!IsDestroying()) ApplyCalculatorSettings();
}

void TcxCustomCalcEdit::PasteFromClipboard() {
  if (DoEditing()) FCalculator->PasteFromClipboard();
}

void cxCalcEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxCalcEditProperties::StaticClass(), LoadResourceText(cxSEditCalcEditKind));
}

void cxCalcEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxCalcEditProperties::StaticClass()); }
