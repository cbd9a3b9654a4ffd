#include "editors/cxSpinEdit.h"

#include <cmath>
#include <limits>

#include "editors/cxEditRegisteredRepositoryItems.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/messages.h"
#include "platform/rtl/sysutils.h"

namespace {

// The magnitude a float value may have (a little under the double maximum,
// so that a step from the edge cannot reach infinity unnoticed).
constexpr double cxSpinMaxFloat = 1.7e308;
// 2^63: the first double beyond the 64-bit integer range.
constexpr double cxSpinInt64Limit = 9223372036854775808.0;

// ANumber as a 64-bit integer, rounded, saturating at either end (NaN is 0).
Int64 SaturatedInt64(double ANumber) {
  if (std::isnan(ANumber)) return 0;
  const double rounded = std::nearbyint(ANumber);
  if (rounded >= cxSpinInt64Limit) return std::numeric_limits<Int64>::max();
  if (rounded < -cxSpinInt64Limit) return std::numeric_limits<Int64>::min();
  return static_cast<Int64>(rounded);
}

// A + B saturating at the 64-bit ends.
Int64 SaturatedAdd(Int64 A, Int64 B) {
  Int64 sum = 0;
  if (!__builtin_add_overflow(A, B, &sum)) return sum;
  return B > 0 ? std::numeric_limits<Int64>::max() : std::numeric_limits<Int64>::min();
}

bool IsStepUp(Integer AKind) { return AKind == skUp || AKind == skFastUp; }

}  // namespace

// ---------------------------------------------------------------------------
// TcxSpinEditButtons

void TcxSpinEditButtons::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxSpinEditButtons*>(Source);
  if (!source) return TPersistent::Assign(Source);
  if (FOwner) FOwner->BeginUpdate();
  FPosition = source->FPosition;
  FShowFastButtons = source->FShowFastButtons;
  if (FOwner) {
    FOwner->NotifyChanged();
    FOwner->EndUpdate();
  }
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  if (FOwner) FOwner->NotifyChanged();
}

void TcxSpinEditButtons::SetShowFastButtons(bool Value) {
  if (FShowFastButtons == Value) return;
  FShowFastButtons = Value;
  if (FOwner) FOwner->NotifyChanged();
}

// ---------------------------------------------------------------------------
// TcxCustomSpinEditProperties

TcxCustomSpinEditProperties::TcxCustomSpinEditProperties(TPersistent* AOwner)
    : TcxCustomMaskEditProperties(AOwner), FSpinButtons(std::make_unique<TcxSpinEditButtons>(this)) {
  FSyncingButtons = true;  // each Add notifies; the count is made here
  Buttons()->Add();        // down
  Buttons()->Add();        // up
  FSyncingButtons = false;
}

TcxCustomSpinEditProperties::~TcxCustomSpinEditProperties() = default;

void TcxCustomSpinEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomSpinEditProperties*>(Source);
  if (!source) return TcxCustomMaskEditProperties::Assign(Source);
  BeginUpdate();
  SetDefaultValuesProvider(source->DefaultValuesProvider());
  if (source->FValueTypeAssigned) SetValueType(source->FValueType);
  TcxCustomMaskEditProperties::Assign(Source);
  FCanEdit = source->FCanEdit;
  FCircular = source->FCircular;
  FExceptionOnInvalidInput = source->FExceptionOnInvalidInput;
  FIncrement = source->FIncrement;
  FLargeIncrement = source->FLargeIncrement;
  FSpinButtons->Assign(source->FSpinButtons.get());
  FUseCtrlIncrement = source->FUseCtrlIncrement;
  OnGetValue = source->OnGetValue;
  NotifyChanged();
  EndUpdate();
}

TcxSpinEditValueType TcxCustomSpinEditProperties::ValueType() const {
  if (FValueTypeAssigned) return FValueType;
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  if (provider && !provider->ProvideIsFloat()) return vtInt;
  return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType Value) {
  if (FValueTypeAssigned && FValueType == Value) return;
  FValueTypeAssigned = true;
  FValueType = Value;
  NotifyChanged();
}

TcxCustomEditClass TcxCustomSpinEditProperties::GetEditorClass() { return TcxSpinEdit::StaticClass(); }

void TcxCustomSpinEditProperties::NotifyChanged() {
  if (!FSyncingButtons && FSpinButtons) {
    FSyncingButtons = true;  // adding buttons notifies again
    const Integer wanted = FSpinButtons->ShowFastButtons() ? 4 : 2;
    while (Buttons()->Count() < wanted) Buttons()->Add();
    while (Buttons()->Count() > wanted) Buttons()->Delete(Buttons()->Count() - 1);
    FSyncingButtons = false;
  }
  TcxCustomMaskEditProperties::NotifyChanged();
}

TcxCustomEditViewDataClass TcxCustomSpinEditProperties::GetViewDataClass() const {
  return TcxSpinEditViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomSpinEditProperties::GetViewInfoClass() const {
  return TcxSpinEditViewInfo::StaticClass();
}

TcxSpinEditBoundsMode TcxCustomSpinEditProperties::BoundsMode() const {
  if (FCircular) return bmWrap;
  return ClampsAtBounds() ? bmClamp : bmNoStep;
}

Variant TcxCustomSpinEditProperties::ToValueType(const Variant& AValue) const {
  double number = 0;
  if (VarIsOrdinal(AValue) && ValueType() == vtInt) return Variant(AValue.AsInt64());
  if (VarIsNumeric(AValue) || VarIsType(AValue, varDate))
    number = AValue.AsDouble();
  else if (VarIsStr(AValue)) {
    Variant read;
    if (ReadValue(AValue.AsString(), read)) return read;
    if (!TryStrToFloat(AValue.AsString(), number, Locale())) number = 0;  // saturates below when out of range
  }
  if (ValueType() == vtInt) return Variant(SaturatedInt64(number));
  if (std::isnan(number)) number = 0;
  return Variant(std::fmax(-cxSpinMaxFloat, std::fmin(cxSpinMaxFloat, number)));
}

double TcxCustomSpinEditProperties::StepOf(Integer AKind) const {
  double step = (AKind == skFastDown || AKind == skFastUp) ? FLargeIncrement : FIncrement;
  if (ValueType() == vtInt) step = std::nearbyint(step);
  return IsStepUp(AKind) ? step : -step;
}

bool TcxCustomSpinEditProperties::NewStepValue(const Variant& ACurrent, Integer AKind, double AStep,
                                               Variant& AResult) const {
  if (!HasBounds()) {
    Variant current = ToValueType(ACurrent);
    AResult = ValueType() == vtInt ? Variant(SaturatedAdd(current.AsInt64(), SaturatedInt64(AStep)))
                                   : ToValueType(Variant(current.AsDouble() + AStep));
    return true;
  }
  return NewBoundedValue(ACurrent, AKind, AStep, AResult);
}

// Bounded stepping. Integers are computed in long double, which holds every
// 64-bit integer exactly, so no sum or period can overflow.
bool TcxCustomSpinEditProperties::NewBoundedValue(const Variant& ACurrent, Integer AKind, double AStep,
                                                  Variant& AResult) const {
  const bool isInt = ValueType() == vtInt;
  auto number = [isInt](const Variant& V) -> long double {
    return isInt ? static_cast<long double>(V.AsInt64()) : V.AsDouble();
  };
  const long double lo = number(MinValueOfType());
  const long double hi = number(MaxValueOfType());
  const long double value = number(ToValueType(ACurrent));
  const TcxSpinEditBoundsMode mode = BoundsMode();
  long double result;
  if (value < lo) {
    if (IsStepUp(AKind))
      result = lo;
    else if (mode == bmWrap)
      result = hi;
    else
      return false;
  } else if (value > hi) {
    if (!IsStepUp(AKind))
      result = hi;
    else if (mode == bmWrap)
      result = lo;
    else
      return false;
  } else {
    result = value + AStep;
    if (result < lo || result > hi) {
      if (mode == bmNoStep) return false;
      if (mode == bmClamp) {
        result = result < lo ? lo : hi;
      } else {
        // The values repeat every (hi - lo + Increment): one Increment past
        // the maximum is the minimum. A step of any size lands inside.
        long double unit = std::fabs(isInt ? std::nearbyint(FIncrement) : FIncrement);
        const long double period = hi - lo + unit;
        result = period > 0 ? lo + std::fmod(std::fmod(result - lo, period) + period, period) : lo;
        if (result > hi) result = hi;  // a float period's rounding at the very edge
      }
    }
  }
  AResult = isInt ? Variant(static_cast<Int64>(result)) : ToValueType(Variant(static_cast<double>(result)));
  return true;
}

bool TcxCustomSpinEditProperties::ReadValue(const String& AText, Variant& AValue) const {
  const String text = Trim(AText);
  Int64 integer = 0;
  if (ValueType() == vtInt && TryStrToInt64(text, integer)) {
    AValue = Variant(integer);
    return true;
  }
  double number = 0;
  if (!TryStrToFloat(text, number, Locale()) || std::isnan(number)) return false;
  const bool inRange = ValueType() == vtInt ? number >= -cxSpinInt64Limit && number < cxSpinInt64Limit
                                            : std::fabs(number) <= cxSpinMaxFloat;
  if (inRange) AValue = ToValueType(Variant(number));
  return inRange;
}

String TcxCustomSpinEditProperties::ValueText(const Variant& AValue) const {
  const Variant value = ToValueType(AValue);
  if (ValueType() == vtInt) return IntToStr(value.AsInt64());
  return FloatToStr(value.AsDouble(), Locale());
}

bool TcxCustomSpinEditProperties::IsCharValid(Char AChar) const {
  if (AChar < 32 && AChar != 8) return true;
  if (!FCanEdit) return AChar > 255;
  if (OnGetValue) return true;
  if (AChar == 8 || (AChar >= u'0' && AChar <= u'9')) return true;
  if (AChar == u'+' || AChar == u'-' || AChar == u'E' || AChar == u'e') return true;
  if (AChar == Locale().DecimalSeparator) return ValueType() == vtFloat;
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return provider && provider->AcceptsChar(AChar);
}

void TcxCustomSpinEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  const String text = Trim(VarToStr(ADisplayValue));
  auto* spin = dynamic_cast<TcxCustomSpinEdit*>(AEdit);
  Variant value;
  if (spin && !spin->TypedSinceLastValue() && VarIsNumeric(spin->LastValidValue())) {
    // Nothing typed: the value the editor was given or stepped to.
    value = spin->LastValidValue();
  } else if (!text.empty()) {
    double number = 0;
    if (!ReadValue(text, value)) {
      AError = true;
      if (TryStrToFloat(text, number, Locale()) && !std::isnan(number)) {
        AErrorText = LoadResourceText(cxSEditValueOutOfBounds);
      } else {
        AErrorText = String();
        if (spin)
          spin->RunGetValueHandlers(text, value, AErrorText, AError);
        else if (OnGetValue)
          OnGetValue(this, text, value, AErrorText, AError);
      }
    }
    if (AError) {
      if (AErrorText.empty()) AErrorText = LoadResourceText(cxSEditInvalidNumericValue);
      if (FExceptionOnInvalidInput) throw Exception(AErrorText);
      AErrorText = String();
      return TcxCustomEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
    }
  }
  value = ToValueType(value);  // nothing typed is 0
  ADisplayValue = Variant(ValueText(value));
  if (HasBounds()) {
    const double number = value.AsDouble();
    if (number < MinValue() || number > MaxValue()) {
      AError = true;
      AErrorText = LoadResourceText(cxSEditValueOutOfBounds);
    }
  }
  TcxCustomEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

// ---------------------------------------------------------------------------
// TcxSpinEditModel

TcxCustomSpinEditProperties* TcxSpinEditModel::SpinProperties() const {
  return static_cast<TcxCustomSpinEditProperties*>(Properties());
}

void TcxSpinEditModel::KeyPress(Char& Key) {
  if (Key == u',' || Key == u'.') Key = SpinProperties()->Locale().DecimalSeparator;
  if (!SpinProperties()->IsCharValid(Key)) {
    Key = 0;
    Beep();
    return;
  }
  TcxMaskEditModel::KeyPress(Key);
}

void TcxSpinEditModel::PasteText(const String& AText) {
  if (Mode()) return TcxMaskEditModel::PasteText(AText);
  if (ReadOnly()) return;
  CommitText(AText);
}

// ---------------------------------------------------------------------------
// TcxCustomSpinEdit

TcxCustomSpinEdit::TcxCustomSpinEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomMaskEdit(AOwner, AIsInplace), FLastValue(Int64(0)) {}

TcxCustomSpinEdit::~TcxCustomSpinEdit() = default;

// Set here, not in the base: the property set is made on first use, of the
// class of the object being constructed at that moment.
TcxSpinEdit::TcxSpinEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomSpinEdit(AOwner, AIsInplace) {
  SetEditValue(Variant(Int64(0)));
}

TcxCustomSpinEditProperties* TcxCustomSpinEdit::ActiveSpinProperties() {
  return static_cast<TcxCustomSpinEditProperties*>(ActiveProperties());
}

std::unique_ptr<TcxTextEditModel> TcxCustomSpinEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxSpinEditModel>(static_cast<TcxCustomSpinEditProperties*>(AProperties));
}

Variant TcxCustomSpinEdit::GetValue() {
  TcxCustomSpinEditProperties* properties = ActiveSpinProperties();
  Variant value;
  if (Focused()) {
    if (!FTyped)
      value = FLastValue;
    else
      properties->ReadValue(Text(), value);
  } else if (VarIsNumeric(EditValue()) || VarIsStr(EditValue())) {
    value = EditValue();
  }
  return properties->ToValueType(value);
}

void TcxCustomSpinEdit::SetValue(const Variant& AValue) {
  if (!VarIsNumeric(AValue)) return;
  Variant value = ActiveSpinProperties()->ToValueType(AValue);
  FLastValue = value;
  FTyped = false;
  SetEditValue(value);
}

void TcxCustomSpinEdit::InternalSetDisplayValue(const Variant& Value) {
  const String text = Trim(VarToStr(Value));
  TcxCustomSpinEditProperties* properties = ActiveSpinProperties();
  // The text of the last valid value stands for that value itself (a
  // stepped float is kept exactly, not read back from its shown digits).
  const bool isLast = VarIsNumeric(FLastValue) && text == Trim(properties->ValueText(FLastValue));
  const Variant value = text.empty() ? Null() : isLast ? FLastValue : properties->ToValueType(Variant(text));
  if (!VarIsNull(value)) FLastValue = value;
  FTyped = false;
  ApplyEditValue(value);
}

double TcxCustomSpinEdit::GetIncrement(Integer AKind) { return ActiveSpinProperties()->StepOf(AKind); }

bool TcxCustomSpinEdit::DoStep(Integer AKind) {
  TcxCustomSpinEditProperties* properties = ActiveSpinProperties();
  LockChangeEvents(true);
  bool changed = false;
  try {
    Variant value;
    if (DoEditing() && properties->NewStepValue(GetValue(), AKind, GetIncrement(AKind), value)) {
      const String text = properties->ValueText(value);
      const Integer selStart = SelStart(), selLength = SelLength();
      FLastValue = value;
      changed = text != Text();
      SetDisplayValue(Variant(text));
      FTyped = false;
      if (changed) {
        SetModifiedAfterEnter(true);
        SetModified(true);
        if (properties->KeepsSelectionAfterStep())
          SetSelection(selStart, selLength);
        else
          SetSelection(static_cast<Integer>(text.size()), 0);
      }
      if (properties->ImmediatePost() && IsInplace() && ValidateEdit(false)) {
        PostEditValue(false);
        UpdateDisplayValue();
      }
    }
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  return changed;
}

Integer TcxCustomSpinEdit::StepKindOfKey(Word Key) {
  switch (Key) {
    case VK_UP: return skUp;
    case VK_DOWN: return skDown;
    case VK_PRIOR: return skFastUp;
    case VK_NEXT: return skFastDown;
    default: return -1;
  }
}

bool TcxCustomSpinEdit::IsTextChangingKey(Word Key, TShiftState Shift) {
  if (Key == VK_DELETE) return true;
  if (Key == VK_INSERT) return (Shift & ssShift) != 0;
  return (Shift & ssCtrl) && (Key == 'X' || Key == 'V');
}

void TcxCustomSpinEdit::RunGetValueHandlers(const TCaption& AText, Variant& AValue, TCaption& AErrorText,
                                            bool& AError) {
  auto run = [&](TcxCustomEditProperties* AProperties) {
    auto* properties = static_cast<TcxCustomSpinEditProperties*>(AProperties);
    if (properties->OnGetValue) properties->OnGetValue(this, AText, AValue, AErrorText, AError);
  };
  run(Properties());
  if (RepositoryItem()) run(RepositoryItem()->Properties());
}

void TcxCustomSpinEdit::CheckEditorValueBounds() {
  TcxCustomSpinEditProperties* properties = ActiveSpinProperties();
  if (!properties->HasBounds()) return;
  const Variant value = GetValue();
  if (!VarIsNumeric(value)) return;
  const double number = value.AsDouble();
  Variant bound;
  if (number < properties->MinValue())
    bound = properties->MinValueOfType();
  else if (number > properties->MaxValue())
    bound = properties->MaxValueOfType();
  else
    return;
  PushModifiedState();
  try {
    SetValue(bound);
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

void TcxCustomSpinEdit::CutToClipboard() {
  if (!ActiveSpinProperties()->CanEdit()) return CopyToClipboard();
  TcxCustomMaskEdit::CutToClipboard();
}

void TcxCustomSpinEdit::PasteFromClipboard() {
  if (!ActiveSpinProperties()->CanEdit()) return;
  TcxCustomMaskEdit::PasteFromClipboard();
}

bool TcxCustomSpinEdit::IsValueChangingKey(Word Key, TShiftState Shift) {
  return StepKindOfKey(Key) >= 0 || TcxCustomMaskEdit::IsValueChangingKey(Key, Shift);
}

void TcxCustomSpinEdit::EditKeyDown(Word& Key, TShiftState Shift) {
  TcxCustomSpinEditProperties* properties = ActiveSpinProperties();
  const Integer kind = StepKindOfKey(Key);
  if (kind >= 0 && (!properties->UseCtrlIncrement() || (Shift & ssCtrl))) {
    if (DataBinding()->IsEditing() || DoEditing()) {
      SetPressedState(kind + 1);
      DoStep(kind);
    }
    Key = 0;
    return;
  }
  if (kind < 0) {
    SetPressedState(0);
    // OnKeyDown has heard the key already; it changes nothing here.
    if (!properties->CanEdit() && IsTextChangingKey(Key, Shift)) {
      Key = 0;
      return;
    }
    if (Key != VK_ESCAPE) FTyped = true;
  }
  TcxCustomMaskEdit::EditKeyDown(Key, Shift);
}

bool TcxCustomSpinEdit::PreviewInnerMessage(TMessage& Message) {
  if (Message.Msg == WM_KEYUP && StepKindOfKey(static_cast<Word>(Message.WParam)) >= 0) SetPressedState(0);
  if (Message.Msg == WM_CLEAR && !ActiveSpinProperties()->CanEdit()) return true;
  return TcxCustomMaskEdit::PreviewInnerMessage(Message);
}

void TcxCustomSpinEdit::ButtonDown(Integer AButtonIndex) {
  if (AButtonIndex < skDown || AButtonIndex > skFastUp) return;
  DoStep(AButtonIndex);
  if (ActiveProperties()->ReadOnly() || !DataBinding()->CanModify()) return;
  FRepeatKind = AButtonIndex;
  if (!FRepeatTimer) {
    FRepeatTimer = std::make_unique<TTimer>(nullptr);
    FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomSpinEdit::RepeatTimerFired));
  }
  FRepeatTimer->SetInterval(cxSpinRepeatDelay);
  FRepeatTimer->SetEnabled(true);
}

void TcxCustomSpinEdit::ButtonUp(Integer) {
  SetPressedState(0);
  StopRepeat();
}

void TcxCustomSpinEdit::SetPressedState(Integer Value) {
  if (Value == FPressedState) return;
  FPressedState = Value;
  RefreshViewStateAtCursor();
}

void TcxCustomSpinEdit::RepeatTimerFired(TObject*) {
  if (FRepeatKind < 0) return StopRepeat();
  FRepeatTimer->SetInterval(cxSpinRepeatRate);
  DoStep(FRepeatKind);
}

void TcxCustomSpinEdit::StopRepeat() {
  FRepeatKind = -1;
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

bool TcxCustomSpinEdit::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
  if (TcxCustomMaskEdit::DoMouseWheelDown(Shift, MousePos)) return true;
  if (!Focused()) return false;
  DoStep(skDown);
  return true;
}

bool TcxCustomSpinEdit::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
  if (TcxCustomMaskEdit::DoMouseWheelUp(Shift, MousePos)) return true;
  if (!Focused()) return false;
  DoStep(skUp);
  return true;
}

void TcxCustomSpinEdit::HandleInnerEditChange() {
  FTyped = true;
  TcxCustomMaskEdit::HandleInnerEditChange();
}

void TcxCustomSpinEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomMaskEdit::PropertiesChanged(Sender);
  if (IsDestroying()) return;
  PlaceInnerControl();
  if (IsModified() && !IsDataAware()) CheckEditorValueBounds();
}

void TcxCustomSpinEdit::DoExit() {
  SetPressedState(0);
  StopRepeat();
  TcxCustomMaskEdit::DoExit();
}

// ---------------------------------------------------------------------------
// View data and view info

namespace {

bool IsSpinButtonSet(TcxCustomEditViewInfo* AViewInfo) {
  const Integer count = AViewInfo->ButtonCount();
  if (count != 2 && count != 4) return false;
  for (Integer i = 0; i < count; ++i)
    if (AViewInfo->Button(i)->ButtonIndex != i) return false;
  return true;
}

bool IsLeftSpinButton(TcxSpinEditButtonsPosition APosition, Integer AButtonIndex) {
  return APosition == sbpHorzLeftRight && (AButtonIndex == skDown || AButtonIndex == skFastDown);
}

}  // namespace

TcxSpinArrow cxSpinButtonArrow(TcxSpinEditButtonsPosition APosition, Integer AButtonIndex) {
  switch (AButtonIndex) {
    case skFastDown:
      return saDoubleLeft;
    case skFastUp:
      return saDoubleRight;
    case skUp:
      return APosition == sbpVert ? saUp : saRight;
    default:
      return APosition == sbpVert ? saDown : saLeft;
  }
}

TcxSpinEditButtonsPosition TcxSpinEditViewData::Position() const {
  auto* properties = dynamic_cast<TcxCustomSpinEditProperties*>(Properties());
  return properties ? properties->SpinButtons()->Position() : sbpVert;
}

void TcxSpinEditViewData::PlaceButton(TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& AArea, Integer AWidth) {
  if (!IsSpinButtonSet(AViewInfo)) return TcxCustomEditViewData::PlaceButton(AViewInfo, AIndex, AArea, AWidth);
  const Integer count = AViewInfo->ButtonCount();
  if (AIndex == count - 1) {
    // The first call lays out all buttons at once (the stacked pair shares a column).
    const TRect area = AArea;
    const Integer w = AWidth, f = cxSpinFastButtonWidth(AWidth);
    const bool fast = count == 4;
    FPlaced.assign(4, TRect{});
    auto column = [&](Integer ALeft, Integer AWidthOf) { return TRect{ALeft, area.Top, ALeft + AWidthOf, area.Bottom}; };
    Integer left = area.Left, right = area.Right;
    switch (Position()) {
      case sbpVert: {
        if (fast) FPlaced[skFastUp] = column(right -= f, f);
        const TRect pair = column(right -= w, w);
        const Integer middle = area.Top + HeightOfRect(area) / 2;
        FPlaced[skUp] = TRect{pair.Left, area.Top, pair.Right, middle};
        FPlaced[skDown] = TRect{pair.Left, middle, pair.Right, area.Bottom};
        if (fast) FPlaced[skFastDown] = column(right -= f, f);
        break;
      }
      case sbpHorzRight:
        if (fast) FPlaced[skFastUp] = column(right -= f, f);
        FPlaced[skUp] = column(right -= w, w);
        FPlaced[skDown] = column(right -= w, w);
        if (fast) FPlaced[skFastDown] = column(right -= f, f);
        break;
      case sbpHorzLeftRight:
        if (fast) {
          FPlaced[skFastDown] = column(left, f);
          left += f;
        }
        FPlaced[skDown] = column(left, w);
        left += w;
        if (fast) FPlaced[skFastUp] = column(right -= f, f);
        FPlaced[skUp] = column(right -= w, w);
        break;
    }
    AArea.Left = std::min(left, area.Right);
    AArea.Right = std::max(right, AArea.Left);
    LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
    RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;
    if (Position() == sbpHorzLeftRight) {
      LeftSideLeftmostButtonIndex = fast ? skFastDown : skDown;
      LeftSideRightmostButtonIndex = skDown;
    }
    RightSideRightmostButtonIndex = fast ? skFastUp : skUp;
    RightSideLeftmostButtonIndex = Position() == sbpHorzLeftRight ? skUp : fast ? skFastDown : skDown;
    FPlacedArea = area;
  }
  TcxEditButtonViewInfo* vi = AViewInfo->Button(AIndex);
  vi->Bounds = FPlaced[static_cast<size_t>(AIndex)];
  IntersectRect(vi->VisibleBounds, vi->Bounds, FPlacedArea);
  vi->ContentRect = vi->Bounds;
  vi->Data.LeftAlignment = IsLeftSpinButton(Position(), AIndex);
}

void TcxSpinEditViewData::ButtonsCalculated(TcxCustomEditViewInfo* AViewInfo) {
  TcxCustomEditViewData::ButtonsCalculated(AViewInfo);
  if (auto* info = dynamic_cast<TcxSpinEditViewInfo*>(AViewInfo)) info->ButtonsPosition = Position();
}

bool TcxSpinEditViewData::IsButtonHeldPressed(TcxCustomEditViewInfo* AViewInfo, Integer AIndex) {
  auto* edit = dynamic_cast<TcxCustomSpinEdit*>(Edit);
  return edit && edit->PressedState() == AViewInfo->Button(AIndex)->ButtonIndex + 1;
}

TRect TcxSpinEditViewData::CalcClientMargins(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) const {
  if (!IsSpinButtonSet(AViewInfo)) return TcxCustomEditViewData::CalcClientMargins(ACanvas, AViewInfo);
  // Each side takes the span its buttons cover (measured from the buttons
  // alone: the caller's Bounds may be gone by now).
  TRect margins = ButtonsOnlyStyle ? CalcThemedBorderExtent(ACanvas) : CalcBorderExtent();
  TRect sides[2]{};  // the span of the left and of the right buttons
  bool used[2] = {false, false};
  for (Integer i = 0; i < AViewInfo->ButtonCount(); ++i) {
    const TcxEditButtonViewInfo* button = AViewInfo->Button(i);
    if (IsRectEmpty(button->VisibleBounds)) continue;
    const Integer s = button->Data.LeftAlignment ? 0 : 1;
    const TRect& r = button->VisibleBounds;
    sides[s] = used[s] ? TRect{std::min(sides[s].Left, r.Left), 0, std::max(sides[s].Right, r.Right), 0}
                       : TRect{r.Left, 0, r.Right, 0};
    used[s] = true;
  }
  margins.Left += sides[0].Right - sides[0].Left;
  margins.Right += sides[1].Right - sides[1].Left;
  return margins;
}

void TcxSpinEditViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  if (auto* source = dynamic_cast<TcxSpinEditViewInfo*>(Source)) ButtonsPosition = source->ButtonsPosition;
}

void TcxSpinEditViewInfo::DrawBackground(TcxCanvas* ACanvas) {
  TcxCustomEditViewInfo::DrawBackground(ACanvas);
  if (!NativeStyle || !IsSpinButtonSet(this) || ButtonsPosition == sbpHorzLeftRight) return;
  const TRect up = Button(skUp)->VisibleBounds;
  if (IsRectEmpty(up)) return;
  // The native look keeps a line of the background between up and down.
  const TRect line = ButtonsPosition == sbpVert ? TRect{up.Left, up.Bottom - 1, up.Right, up.Bottom}
                                                : TRect{up.Left, up.Top, up.Left + 1, up.Bottom};
  ACanvas->SetBrushColor(BackgroundColor);
  ACanvas->Canvas()->FillRect(line);
}

void TcxSpinEditViewInfo::DrawButtonContent(TcxCanvas* ACanvas, Integer AIndex, const TRect& AContentRect) {
  if (!IsSpinButtonSet(this)) return TcxCustomEditViewInfo::DrawButtonContent(ACanvas, AIndex, AContentRect);
  const TcxEditButtonViewInfo* button = Button(AIndex);
  const TcxSpinArrow arrow = cxSpinButtonArrow(ButtonsPosition, button->ButtonIndex);
  const TcxCustomLookAndFeelPainter* painter = PainterOf(cxCustomLookAndFeelPainter());
  static constexpr TcxArrowDirection directions[] = {adUp, adDown, adLeft, adRight, adLeft, adRight};
  const bool twin = arrow == saDoubleLeft || arrow == saDoubleRight;
  auto paint = [&](TRect R, TColor AColor) {
    if (!twin) return painter->PaintArrow(ACanvas, R, AColor, directions[arrow]);
    const Integer middle = (R.Left + R.Right) / 2;
    painter->PaintArrow(ACanvas, TRect{R.Left, R.Top, middle, R.Bottom}, AColor, directions[arrow]);
    painter->PaintArrow(ACanvas, TRect{middle, R.Top, R.Right, R.Bottom}, AColor, directions[arrow]);
  };
  TRect r = AContentRect;
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(AContentRect);
  if (button->Data.State == ebsDisabled) {
    TRect shadow = r;
    OffsetRect(shadow, 1, 1);
    paint(shadow, clBtnHighlight);
    paint(r, clBtnShadow);
  } else {
    if (button->Data.State == ebsPressed) OffsetRect(r, 1, 1);
    paint(r, button->Data.TextColor);
  }
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

void cxSpinEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxSpinEditProperties::StaticClass(), LoadResourceText(cxSEditSpinEditKind));
}

void cxSpinEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxSpinEditProperties::StaticClass()); }
