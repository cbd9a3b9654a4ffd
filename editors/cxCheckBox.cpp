#include "editors/cxCheckBox.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "editors/cxGroupBox.h"
#include "platform/gui/sysmetrics.h"

namespace {

// Images of one row of a user strip: unchecked, checked, grayed.
constexpr Integer StateImageCount = 3;
// The stand-alone frame keeps this much from the bounds.
constexpr Integer StandAloneInset = 2;
// The face lies this far inside the box frame.
constexpr Integer FaceInset = 2;

TRect Deflated(TRect ARect, Integer ABy) {
  InflateRect(ARect, -ABy, -ABy);
  return ARect;
}

bool IsUltraFlatFamily(TcxEditBorderStyle AStyle) { return AStyle == ebsUltraFlat || AStyle == ebsOffice11; }

TcxButtonState PainterStateOf(TcxCheckBoxDrawState ADrawState) {
  switch (ADrawState) {
    case cxcdsHot: return cxbsHot;
    case cxcdsPressed: return cxbsPressed;
    case cxcdsDisabled: return cxbsDisabled;
    default: return cxbsNormal;
  }
}

}  // namespace

// ---- Pure rules ------------------------------------------------------------------------------

Integer cxCheckBoxGlyphIndex(TcxCheckBoxState AState, TcxCheckBoxDrawState ADrawState, Integer AGlyphCount) {
  Integer index = Integer(AState) + (ADrawState == cxcdsPressed ? StateImageCount : 0);
  if (index >= AGlyphCount && index >= StateImageCount) index %= StateImageCount;
  return index < AGlyphCount ? index : 0;
}

Integer cxCheckBoxThemeState(TcxCheckBoxState AState, TcxCheckBoxDrawState ADrawState,
                             TcxCheckBoxNullValueShowingStyle ANullStyle) {
  if (AState == cbsGrayed) {
    if (ANullStyle == nssInactive) return 1 + cxcdsDisabled;
    if (ANullStyle == nssUnchecked) AState = cbsUnchecked;
  }
  return 1 + 4 * Integer(AState) + Integer(ADrawState);
}

TcxCheckBoxLayout cxCalcCheckBoxLayout(const TRect& ABounds, const TSize& AGlyphSize, TAlignment AAlignment,
                                       bool AIsInplace, bool ANative, bool AEnabled) {
  TcxCheckBoxLayout l;
  l.Alignment = AIsInplace ? taCenter : AAlignment;
  TRect& t = l.TextRect;
  TRect& b = l.CheckBoxRect;
  t = ABounds;
  if (!AIsInplace) {
    InflateRect(t, -StandAloneInset, -StandAloneInset);
    OffsetRect(t, 0, -1);
  } else if (l.Alignment == taLeftJustify) {
    t.Right -= 2;
  } else if (l.Alignment == taRightJustify) {
    t.Left += 2;
  }
  b = ABounds;
  if (!AIsInplace && !ANative) InflateRect(b, -StandAloneInset, -StandAloneInset);
  if (AGlyphSize.cy < b.Bottom - b.Top) {
    b.Top += (b.Bottom - b.Top - AGlyphSize.cy) / 2;
    b.Bottom = b.Top + AGlyphSize.cy;
  }
  if (AGlyphSize.cx < b.Right - b.Left) {
    switch (l.Alignment) {
      case taCenter:
        b.Left += (b.Right - b.Left - AGlyphSize.cx) / 2;
        b.Right = b.Left + AGlyphSize.cx;
        break;
      case taLeftJustify:
        b.Right = b.Left + AGlyphSize.cx;
        t.Left = b.Left + AGlyphSize.cx + cxCheckBoxCaptionGap;
        break;
      case taRightJustify:
        b.Left = b.Right - AGlyphSize.cx;
        t.Right = b.Right - AGlyphSize.cx - cxCheckBoxCaptionGap + (AIsInplace ? 1 : 0);
        break;
    }
  } else {
    t.Right = t.Left;
  }
  if (!AEnabled) {
    ++t.Right;
    ++t.Bottom;
  }
  return l;
}

// ---- TcxCustomCheckBoxProperties -------------------------------------------------------------

TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner),
      FDisplayChecked(LoadResString(cxSCheckBoxChecked)),
      FDisplayGrayed(LoadResString(cxSCheckBoxGrayed)),
      FDisplayUnchecked(LoadResString(cxSCheckBoxUnchecked)),
      FValueChecked(true),
      FValueGrayed(Null()),
      FValueUnchecked(false) {}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() = default;

void TcxCustomCheckBoxProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomCheckBoxProperties*>(Source);
  if (!s) return TcxCustomEditProperties::Assign(Source);
  TcxUpdateScope update(this);
  TcxCustomEditProperties::Assign(Source);
  SetAllowGrayed(s->FAllowGrayed);
  SetDisplayChecked(s->FDisplayChecked);
  SetDisplayGrayed(s->FDisplayGrayed);
  SetDisplayUnchecked(s->FDisplayUnchecked);
  SetFullFocusRect(s->FFullFocusRect);
  SetGlyph(s->FGlyph.get());
  SetGlyphCount(s->FGlyphCount);
  SetMultiLine(s->FMultiLine);
  SetNullStyle(s->FNullStyle);
  // The source's three values are distinct already; copied one by one
  // through the setters, values that the two sets hold in other roles
  // (checked and unchecked swapped) would be refused.
  if (!VariantsEqualSameType(FValueChecked, s->FValueChecked) ||
      !VariantsEqualSameType(FValueGrayed, s->FValueGrayed) ||
      !VariantsEqualSameType(FValueUnchecked, s->FValueUnchecked)) {
    FValueChecked = s->FValueChecked;
    FValueGrayed = s->FValueGrayed;
    FValueUnchecked = s->FValueUnchecked;
    NotifyChanged();
  }
}

TcxCustomEditClass TcxCustomCheckBoxProperties::GetEditorClass() { return TcxCheckBox::StaticClass(); }

void TcxCustomCheckBoxProperties::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  FCaptionChanged = true;
  NotifyChanged();
}

TBitmap* TcxCustomCheckBoxProperties::GetGlyph() {
  if (!FGlyph) {
    FGlyph = std::make_unique<TBitmap>();
    FGlyph->OnChange = TNotifyEvent(this, &TcxCustomCheckBoxProperties::GlyphChanged);
  }
  return FGlyph.get();
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* Value) {
  if (!Value)
    FGlyph.reset();
  else
    GetGlyph()->Assign(Value);
  NotifyChanged();
}

void TcxCustomCheckBoxProperties::SetGlyphCount(Integer Value) {
  if (Value == FGlyphCount) return;
  FGlyphCount = Value;
  if (FGlyph) NotifyChanged();
}

TSize TcxCustomCheckBoxProperties::UserGlyphSize() const {
  if (FGlyphCount <= 0 || !HasGlyph()) return {};
  return {FGlyph->Width() / FGlyphCount, FGlyph->Height()};
}

bool TcxCustomCheckBoxProperties::EqualsAnyValue(const Variant& AValue) const {
  return VariantsEqualSameType(AValue, FValueChecked) || VariantsEqualSameType(AValue, FValueGrayed) ||
         VariantsEqualSameType(AValue, FValueUnchecked);
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& Value) {
  if (VarIsNull(Value) || EqualsAnyValue(Value)) return;
  FValueChecked = Value;
  NotifyChanged();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& Value) {
  if (VarIsNull(Value) || EqualsAnyValue(Value)) return;
  FValueUnchecked = Value;
  NotifyChanged();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& Value) {
  if (EqualsAnyValue(Value)) return;
  FValueGrayed = Value;
  NotifyChanged();
}

bool TcxCustomCheckBoxProperties::IsValueCheckedStored() const {
  return !VariantsEqualSameType(FValueChecked, Variant(true));
}

bool TcxCustomCheckBoxProperties::IsValueUncheckedStored() const {
  return !VariantsEqualSameType(FValueUnchecked, Variant(false));
}

TcxCheckBoxState TcxCustomCheckBoxProperties::GetState(const Variant& AValue) const {
  if (SameVariantValues(AValue, FValueChecked)) return cbsChecked;
  if (SameVariantValues(AValue, FValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

Variant TcxCustomCheckBoxProperties::GetValueByState(TcxCheckBoxState AState) const {
  switch (AState) {
    case cbsChecked: return FValueChecked;
    case cbsGrayed: return FValueGrayed;
    default: return FValueUnchecked;
  }
}

bool TcxCustomCheckBoxProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  return GetState(A) == GetState(B);
}

String TcxCustomCheckBoxProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  switch (GetState(AValue)) {
    case cbsChecked: return FDisplayChecked;
    case cbsUnchecked: return FDisplayUnchecked;
    default: return FDisplayGrayed;
  }
}

bool TcxCustomCheckBoxProperties::AcceptsEditValue(Variant& AValue, bool AIsEditing) const {
  return TcxCustomEditProperties::AcceptsEditValue(AValue, AIsEditing) && EqualsAnyValue(AValue);
}

TcxCustomEditStyleClass TcxCustomCheckBoxProperties::GetStyleClass() const { return TcxCheckBoxStyle::StaticClass(); }

TcxCustomEditViewDataClass TcxCustomCheckBoxProperties::GetViewDataClass() const {
  return TcxCustomCheckBoxViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomCheckBoxProperties::GetViewInfoClass() const {
  return TcxCustomCheckBoxViewInfo::StaticClass();
}

TSize TcxCustomCheckBoxProperties::CheckBoxGlyphSize() const {
  const TSize user = UserGlyphSize();
  if (user.cx > 0) return user;
  return {GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)};
}

TcxTextFlags TcxCustomCheckBoxProperties::CaptionTextFlags(bool AIsInplace) const {
  const TcxTextFlags flags = cxAlignLeft | cxShowPrefix;
  if (FMultiLine) return flags | cxWordBreak | cxDontClip | (AIsInplace ? cxAlignVCenter : cxAlignTop);
  return flags | cxSingleLine | cxAlignVCenter;
}

bool TcxCheckBoxStyle::DefaultHotTrack() const { return IsMasterStyle() ? false : MasterStyle()->HotTrack(); }

// ---- TcxCustomCheckBox -----------------------------------------------------------------------

TcxCustomCheckBox::TcxCustomCheckBox(TComponent* AOwner, bool AIsInplace) : TcxCustomEdit(AOwner, AIsInplace) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
  if (!AIsInplace) SetParentColor(true);
  SetWidth(121);
  SetEditValue(ActiveProperties()->ValueUnchecked());
  FShownState = State();
}

TcxCheckBoxState TcxCustomCheckBox::State() { return ActiveProperties()->GetState(EditValue()); }

void TcxCustomCheckBox::SetState(TcxCheckBoxState Value) {
  if (IsLoading()) {
    FStatePending = true;
    FPendingState = Value;
    return;
  }
  if (Value != State()) SetEditValue(ActiveProperties()->GetValueByState(Value));
}

void TcxCustomCheckBox::Loaded() {
  TcxCustomEdit::Loaded();
  LockChangeEvents(true);
  if (FStatePending)
    SetState(FPendingState);
  else if (!IsDataAware())
    SetState(cbsUnchecked);
  FStatePending = false;
  LockChangeEvents(false);
}

void TcxCustomCheckBox::Toggle() {
  // A modified editor counts as editing already; read-only still wins.
  if (!CanModifyValue() || !DoEditing()) return;
  TcxCustomCheckBoxProperties* properties = ActiveProperties();
  TcxCheckBoxState next = cbsUnchecked;
  switch (State()) {
    case cbsUnchecked: next = properties->AllowGrayed() ? cbsGrayed : cbsChecked; break;
    case cbsGrayed: next = cbsChecked; break;
    case cbsChecked: next = cbsUnchecked; break;
  }
  LockChangeEvents(true);
  FToggling = true;
  try {
    SetEditValue(properties->GetValueByState(next));
    SetModified(true);
    if (properties->ImmediatePost() && IsModifiedForPost() && ValidateEdit(false)) PostEditValue(false);
  } catch (...) {
    FToggling = false;
    LockChangeEvents(false);
    throw;
  }
  FToggling = false;
  LockChangeEvents(false);
}

void TcxCustomCheckBox::InternalSetEditValue(const Variant& Value, bool AValidateFirst) {
  TcxCustomEdit::InternalSetEditValue(Value, AValidateFirst);
  if (State() != FShownState) StateChanged();
}

void TcxCustomCheckBox::PropertiesChanged(TObject* Sender) {
  TcxCustomCheckBoxProperties* properties = ActiveProperties();
  if (properties->CaptionChanged()) {
    properties->ClearCaptionChanged();
    SetCaption(properties->Caption());
  }
  TcxCustomEdit::PropertiesChanged(Sender);
  if (State() != FShownState) StateChanged();
  Invalidate();
}

void TcxCustomCheckBox::StateChanged() {
  FShownState = State();
  Invalidate();
  if (IsDestroying() || (IsLoading() && !IsDataAware()) || FActionSettingCount > 0) return;
  // The user's toggle is the action's new Checked (a grayed box says nothing).
  if (auto* action = dynamic_cast<TCustomAction*>(Action()); action && FToggling && FShownState != cbsGrayed) {
    TcxDestroyGuard guard(this);
    action->SetChecked(FShownState == cbsChecked);
    if (!guard.Alive()) return;
  }
  TcxContainer::Click();
}

bool TcxCustomCheckBox::IsStateStored() {
  const TcxCheckBoxState state = State();
  if (auto* action = dynamic_cast<TCustomAction*>(Action()))
    return state == cbsGrayed || (state == cbsChecked) != action->Checked();
  return state != cbsUnchecked;
}

TControlActionLinkClass TcxCustomCheckBox::GetActionLinkClass() const { return TcxCheckBoxActionLink::StaticClass(); }

void TcxCustomCheckBox::ActionChange(TObject* Sender, bool CheckDefaults) {
  TcxCustomEdit::ActionChange(Sender, CheckDefaults);
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action || (IsLoading() && FStatePending)) return;
  if (!CheckDefaults || State() == cbsUnchecked) SetCheckedByAction(action->Checked());
}

void TcxCustomCheckBox::SetCheckedByAction(bool Value) {
  LockChangeEvents(true);
  ++FActionSettingCount;
  try {
    SetChecked(Value);
  } catch (...) {
    --FActionSettingCount;
    LockChangeEvents(false);
    throw;
  }
  --FActionSettingCount;
  LockChangeEvents(false);
}

// ---- TcxCheckBoxActionLink -------------------------------------------------------------------

bool TcxCheckBoxActionLink::IsCheckedLinked() const {
  return TControlActionLink::IsCheckedLinked() && CheckBox() && CheckBox()->State() != cbsGrayed &&
         CheckBox()->Checked() == CustomAction()->Checked();
}

void TcxCheckBoxActionLink::SetChecked(bool Value) {
  if (IsCheckedLinked()) CheckBox()->SetCheckedByAction(Value);
}

void TcxCustomCheckBox::SetDrawState(TcxCheckBoxDrawState Value) {
  if (Value == FDrawState) return;
  FDrawState = Value;
  Invalidate();
}

TcxCheckBoxDrawState TcxCustomCheckBox::DrawStateAt(const TPoint& P, TShiftState AShift, bool ALeftButtonEvent) const {
  if (!Enabled()) return cxcdsDisabled;
  if (FSpacePressed) return cxcdsPressed;
  if (IsDesigning() || !PtInRect(ClientRect(), P)) return cxcdsNormal;
  const TShiftState buttons = AShift & (ssLeft | ssRight | ssMiddle);
  if (buttons == 0) return cxcdsHot;
  if (buttons == ssLeft && (ALeftButtonEvent || FDrawState == cxcdsPressed)) return cxcdsPressed;
  return cxcdsNormal;
}

void TcxCustomCheckBox::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE) {
    if (FDrawState != cxcdsPressed && Enabled()) {
      FSpacePressed = true;
      SetDrawState(cxcdsPressed);
    }
    Key = 0;
    return;
  }
  TcxCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomCheckBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FSpacePressed) {
    FSpacePressed = false;
    SetDrawState(cxcdsNormal);
    Key = 0;
    Toggle();
    return;
  }
  TcxCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomCheckBox::KeyPress(Char& Key) {
  if (Key == u' ') {
    // In place the activating space arrives without its key down.
    if (IsInplace() && FDrawState == cxcdsNormal && !FSpacePressed) Toggle();
    Key = 0;
    return;
  }
  TcxCustomEdit::KeyPress(Key);
}

void TcxCustomCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomEdit::MouseDown(Button, Shift, X, Y);
  SetDrawState(DrawStateAt(Point(X, Y), Shift | (Button == mbLeft ? TShiftState(ssLeft) : TShiftState(0)), Button == mbLeft));
}

void TcxCustomCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomEdit::MouseUp(Button, Shift, X, Y);
  const TcxCheckBoxDrawState old = FDrawState;
  const TShiftState after = Button == mbLeft ? Shift & ~ssLeft : Shift;
  SetDrawState(DrawStateAt(Point(X, Y), after, false));
  if (Button == mbLeft && old == cxcdsPressed && FDrawState == cxcdsHot) Toggle();
}

void TcxCustomCheckBox::DoExit() {
  FSpacePressed = false;
  SetDrawState(Enabled() ? cxcdsNormal : cxcdsDisabled);
  TcxCustomEdit::DoExit();
}

void TcxCustomCheckBox::Dispatch(TMessage& Message) {
  TcxCustomEdit::Dispatch(Message);
  switch (Message.Msg) {
    case CM_MOUSEENTER:
      if (!FSpacePressed && Enabled() && !IsDesigning()) SetDrawState(cxcdsHot);
      break;
    case CM_MOUSELEAVE:
      if (!FSpacePressed && Enabled()) SetDrawState(cxcdsNormal);
      break;
    case CM_ENABLEDCHANGED:
      FSpacePressed = false;
      SetDrawState(Enabled() ? cxcdsNormal : cxcdsDisabled);
      break;
    default: break;
  }
}

TSize TcxCustomCheckBox::GlyphSize() { return ActiveProperties()->CheckBoxGlyphSize(); }

TcxCheckBoxLayout TcxCustomCheckBox::Layout() {
  return cxCalcCheckBoxLayout(ClientRect(), GlyphSize(), ActiveProperties()->CheckBoxAlignment(), IsInplace(), false,
                              Enabled());
}

TcxEditSizeRequest TcxCustomCheckBox::GetSizeRequest() {
  return {!ActiveProperties()->MultiLine(), Layout().TextRect.Width()};
}

void TcxCustomCheckBox::Paint() { PaintCheckBox(cxCanvas(), Enabled() ? FDrawState : cxcdsDisabled); }

std::unique_ptr<TcxCustomCheckBoxViewInfo> TcxCustomCheckBox::CreateCheckBoxViewInfo(TcxCanvas* ACanvas,
                                                                                      TcxCheckBoxDrawState ADrawState) {
  TcxCustomCheckBoxProperties* properties = ActiveProperties();
  std::unique_ptr<TcxCustomEditViewData> data(
      properties->CreateViewData(static_cast<TcxCustomEditStyle*>(GetCurrentStyle()), IsInplace()));
  auto info = std::make_unique<TcxCustomCheckBoxViewInfo>();
  data->Enabled = Enabled();
  data->Focused = Focused();
  data->Edit = this;
  data->ComputeViewInfo(ACanvas, ClientRect(), TPoint{-1, -1}, cxmbNone, 0, info.get(), false);
  info->BackgroundColor = GetCurrentStyle()->EffectiveColor();
  info->DrawState = ADrawState;
  return info;
}

void TcxCustomCheckBox::PaintCheckBox(TcxCanvas* ACanvas, TcxCheckBoxDrawState ADrawState) {
  CreateCheckBoxViewInfo(ACanvas, ADrawState)->Render(ACanvas);
}

void TcxCustomCheckBox::CMDialogChar(TMessage& Message) {
  if (!IsCaptionAccelerator(static_cast<Char>(Message.WParam), Caption()) || !CanFocus()) {
    TcxCustomEdit::CMDialogChar(Message);
    return;
  }
  TcxDestroyGuard guard(this);
  SetFocus();
  if (!guard.Alive()) return;
  if (Focused()) Toggle();
  Message.Result = 1;
}

// ---- TcxCustomCheckBoxViewData ---------------------------------------------------------------

TcxEditBorderStyle cxCheckBoxBorderStyle(TcxEditBorderStyle AStyle, Integer ARow) {
  if (ARow < 2) return AStyle;
  switch (AStyle) {
    case ebsNone: return ebsFlat;
    case ebsSingle:
    case ebsThick: return ebsThick;
    case ebsFlat:
    case ebs3D: return ebs3D;
    default: return AStyle;
  }
}

void TcxCustomCheckBoxViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                TcxMouseButton AButton, TShiftState AShift,
                                                TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* properties = static_cast<TcxCustomCheckBoxProperties*>(Properties());
  auto* info = static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo);
  auto* edit = dynamic_cast<TcxCustomCheckBox*>(Edit);
  const TcxCheckBoxLayout layout = cxCalcCheckBoxLayout(ABounds, properties->CheckBoxGlyphSize(),
                                                        properties->CheckBoxAlignment(), IsInplace(), false, Enabled);
  info->Alignment = layout.Alignment;
  info->CheckBoxRect = layout.CheckBoxRect;
  info->TextRect = layout.TextRect;
  info->TextFlags = properties->CaptionTextFlags(IsInplace());
  info->Caption = edit && layout.Alignment != taCenter ? edit->Caption() : String();
  info->Glyph = properties->HasGlyph() && properties->GlyphCount() > 0 ? properties->Glyph() : nullptr;
  info->GlyphCount = properties->GlyphCount();
  info->FullFocusRect = properties->FullFocusRect();
  info->NullStyle = properties->NullStyle();
  info->State = edit ? edit->State() : cbsGrayed;
  info->DrawState = !Enabled ? cxcdsDisabled : edit ? edit->DrawState() : cxcdsNormal;
  const Integer row = info->HotState == cxEditHotTrackSelected ? 2 : info->HotState;
  info->CheckBoxBorderStyle = cxCheckBoxBorderStyle(Style() ? Style()->BorderStyle() : ebsNone, row);
  info->BorderColor = Style() ? Style()->BorderColor() : clWindowFrame;
  if (IsInplace() && info->CheckBoxBorderStyle == ebsSingle)
    info->BorderColor = info->DrawState == cxcdsHot || (IsDesigning && Enabled) ? clHighlight : clBtnShadow;
  info->IsTextColorAssigned = Style() && Style()->IsValueAssigned(csvTextColor);
  info->Transparent = info->BackgroundColor == clNone;
  // The focus frame: around the measured caption (or the whole text area).
  info->FocusRect = TRect{};
  if (!Focused || layout.Alignment == taCenter || info->Caption.empty() || !ACanvas) return;
  TRect focus = layout.TextRect;
  if (!info->FullFocusRect) {
    if (info->Font) ACanvas->SetFont(info->Font);
    TRect measured = Rect(focus.Left, 0, focus.Right, 0);
    ACanvas->MeasureTextRect(info->Caption, measured, info->TextFlags);
    const Integer h = measured.Bottom - measured.Top;
    const Integer top =
        (info->TextFlags & cxAlignVCenter) ? focus.Top + (focus.Bottom - focus.Top - h) / 2 : focus.Top;
    focus = Rect(focus.Left, top, std::min(focus.Right, focus.Left + measured.Right - measured.Left), top + h);
  }
  InflateRect(focus, 1, 1);
  TRect limit = layout.TextRect;
  InflateRect(limit, 1, IsInplace() ? -1 : 1);
  IntersectRect(focus, focus, limit);
  focus.Right = std::min(focus.Right, ABounds.Right);
  info->FocusRect = focus;
}

void TcxCustomCheckBoxViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                     TcxCustomEditViewInfo* AViewInfo) {
  static_cast<TcxCustomCheckBoxViewInfo*>(AViewInfo)->State =
      static_cast<TcxCustomCheckBoxProperties*>(Properties())->GetState(AEditValue);
}

TSize TcxCustomCheckBoxViewData::CalcContentExtent(TcxCanvas* ACanvas, const Variant&, const TcxEditSizeProperties&) {
  auto* properties = static_cast<TcxCustomCheckBoxProperties*>(Properties());
  TSize glyph = properties->CheckBoxGlyphSize();
  if (!IsInplace()) glyph = TSize{glyph.cx + 4, glyph.cy + 4};
  auto* edit = dynamic_cast<TcxCustomCheckBox*>(Edit);
  const bool sample = IsInplace() || properties->CheckBoxAlignment() == taCenter || !edit;
  const TSize text = ACanvas ? ACanvas->GetTextSize(sample ? String(u"Gg") : RemoveAccelChars(edit->Caption()))
                             : TSize{0, 0};
  return TSize{glyph.cx + text.cx + cxCheckBoxCaptionGap, std::max(glyph.cy, text.cy)};
}

// ---- TcxCustomCheckBoxViewInfo ---------------------------------------------------------------

void TcxCustomCheckBoxViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  auto* s = dynamic_cast<TcxCustomCheckBoxViewInfo*>(Source);
  if (!s) return;
  Caption = s->Caption;
  TextRect = s->TextRect;
  TextFlags = s->TextFlags;
  Alignment = s->Alignment;
  CheckBoxBorderStyle = s->CheckBoxBorderStyle;
  Glyph = s->Glyph;
  GlyphCount = s->GlyphCount;
  FullFocusRect = s->FullFocusRect;
  NullStyle = s->NullStyle;
  State = s->State;
  DrawState = s->DrawState;
  ThemeState = s->ThemeState;
  CheckBoxRect = s->CheckBoxRect;
  FocusRect = s->FocusRect;
  IsTextColorAssigned = s->IsTextColorAssigned;
  Transparent = s->Transparent;
}

void TcxCustomCheckBoxViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(TextRect, DX, DY);
  OffsetRect(CheckBoxRect, DX, DY);
  OffsetRect(FocusRect, DX, DY);
}

TcxRegion* TcxCustomCheckBoxViewInfo::GetChangedRegion(TcxCustomEditViewInfo* AOld) {
  TcxRegion* region = TcxCustomEditViewInfo::GetChangedRegion(AOld);
  auto* old = dynamic_cast<TcxCustomCheckBoxViewInfo*>(AOld);
  if (old && (old->State != State || old->ThemeState != ThemeState || old->DrawState != DrawState)) {
    region->CombineWith(new TcxRegion(CheckBoxRect), roUnion, true);
  }
  return region;
}

void TcxCustomCheckBoxViewInfo::Render(TcxCanvas* ACanvas) {
  if (!Transparent) TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, Bounds, BackgroundColor);
  DrawBox(ACanvas);
  if (Alignment != taCenter && !Caption.empty()) {
    if (Font) ACanvas->SetFont(Font);
    ACanvas->GetFont()->SetColor(TextColor);
    ACanvas->GetBrush()->SetStyle(bsClear);
    const bool embossed = DrawState == cxcdsDisabled && !IsTextColorAssigned;
    ACanvas->DrawTextWithFlags(Caption, TextRect, !embossed, TextFlags);
  }
  if (!IsRectEmpty(FocusRect)) ACanvas->DrawFocusFrame(FocusRect);
}

void TcxCustomCheckBoxViewInfo::DrawBox(TcxCanvas* ACanvas) {
  const TRect& box = CheckBoxRect;
  TcxCheckBoxState state = State;
  if (state == cbsGrayed && NullStyle == nssUnchecked) state = cbsUnchecked;
  const TColor background = Transparent ? TColor(clNone) : BackgroundColor;

  if (Glyph && GlyphCount > 0) {
    const Integer cellWidth = Glyph->Width() / GlyphCount;
    const Integer index = cxCheckBoxGlyphIndex(state, DrawState, GlyphCount);
    const Integer w = box.Right - box.Left, h = box.Bottom - box.Top;
    TBitmap image(w, h, pf24bit);
    const Integer top = (Glyph->Height() - h) / 2;
    image.Canvas()->CopyRect(Rect(0, 0, w, h), Glyph->Canvas(), ::Bounds(index * cellWidth, top, w, h));
    image.SetTransparentColor(Glyph->TransparentColor());
    ACanvas->DrawGlyphBitmap(box.Left, box.Top, background, DrawState != cxcdsDisabled, &image);
    return;
  }

  const TcxEditBorderStyle border = CheckBoxBorderStyle;
  const bool hotOrPressed = DrawState == cxcdsHot || DrawState == cxcdsPressed;
  if (!Transparent) TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, box, BackgroundColor);
  switch (border) {
    case ebsNone: break;
    case ebsSingle:
    case ebsThick:
      ACanvas->DrawBorderBands(box, BorderColor, cxAllBorders, Integer(border == ebsThick ? 2 : 1));
      break;
    case ebsFlat: {
      ACanvas->DrawEdgeRing(box, true, true, cxAllBorders);
      ACanvas->DrawBorderBands(Deflated(box, 1), clBtnFace, cxAllBorders, 1);
      break;
    }
    case ebs3D:
      ACanvas->DrawEdgeRing(box, true, true, cxAllBorders);
      ACanvas->DrawEdgeRing(Deflated(box, 1), true, false, cxAllBorders);
      break;
    case ebsUltraFlat:
    case ebsOffice11: {
      const bool office = border == ebsOffice11;
      TColor frame = clBtnShadow;
      if (DrawState != cxcdsDisabled && (hotOrPressed || Focused || (IsDesigning && Enabled)))
        frame = GetHighlightBorderColor(office);
      else if (office && DrawState == cxcdsNormal)
        frame = clBtnText;
      ACanvas->DrawBorderBands(box, frame, cxAllBorders, 1);
      break;
    }
  }

  // The face and the mark, through the painter of the box's family.
  const TRect face = Deflated(box, FaceInset);
  const bool inactive = state == cbsGrayed && NullStyle == nssInactive;
  const bool dimmedMark = state == cbsGrayed && NullStyle == nssGrayedChecked;
  const bool marked = state == cbsChecked || dimmedMark;
  const TColor mark = state == cbsChecked && DrawState != cxcdsDisabled ? clBtnText : clBtnShadow;
  if (IsUltraFlatFamily(border)) {
    TColor faceColor = DrawState == cxcdsDisabled || inactive ? TColor(clBtnFace) : TColor(clWindow);
    if (hotOrPressed && DrawState != cxcdsDisabled) {
      TcxCustomLookAndFeelPainterClass painter =
          LookAndFeelPainterOfKind(border == ebsOffice11 ? lfOffice11 : lfUltraFlat);
      if (painter) faceColor = PainterOf(painter)->ButtonFaceColor(PainterStateOf(DrawState));
    }
    TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, face, faceColor);
    if (marked) TcxCustomLookAndFeelPainter::DrawCheckMark(ACanvas, face, mark);
    return;
  }
  // The other styles draw the standard face: the window colour, the button
  // face while pushed, disabled, inactive or dimmed.
  TcxButtonState faceState = cxbsNormal;
  if (DrawState == cxcdsDisabled || inactive || dimmedMark)
    faceState = cxbsDisabled;
  else if (DrawState == cxcdsPressed)
    faceState = cxbsPressed;
  const TcxLookAndFeelKind kind = border == ebs3D ? lfStandard : lfFlat;
  if (TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainterOfKind(kind))
    PainterOf(painter)->PaintCheckFace(ACanvas, face, mark, marked, faceState);
  else {
    TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, face, faceState == cxbsNormal ? clWindow : clBtnFace);
    if (marked) TcxCustomLookAndFeelPainter::DrawCheckMark(ACanvas, face, mark);
  }
}

// ---- Registration ----------------------------------------------------------------------------

void cxCheckBoxRegister() {
  GetEditPropertiesRegistry()->AddClass(TcxCheckBoxProperties::StaticClass(), LoadResString(cxSEditCheckBoxKind));
}

void cxCheckBoxUnregister() { GetEditPropertiesRegistry()->RemoveClass(TcxCheckBoxProperties::StaticClass()); }
