#include "editors/cxRadioGroup.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxPainterImages.h"
#include "platform/gui/forms.h"
#include "platform/gui/messages.h"

namespace {

// Item text flags: left, vertically centred, one line, with accelerators;
// with WordWrap: word-broken and unclipped instead of one line.
constexpr TcxTextFlags ItemTextFlags = cxAlignLeft | cxAlignVCenter | cxSingleLine | cxShowPrefix;
constexpr TcxTextFlags WrappedItemTextFlags = cxAlignLeft | cxAlignVCenter | cxDontClip | cxShowPrefix | cxWordBreak;

}  // namespace

TcxLookAndFeelKind cxRadioGlyphKind(TcxEditButtonStyle AButtonStyle) {
  switch (AButtonStyle) {
    case btsFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TcxButtonGroupMetrics cxRadioGroupButtonMetrics(bool AIsInplace) {
  const Integer p = AIsInplace ? 1 : 0;
  const TcxRadioButtonGlyphGeometry& glyph = RadioButtonGlyphGeometry();
  TcxButtonGroupMetrics m;
  m.TextWidthReserve = 3;
  m.WidthAdjustment = p - 6;
  m.GlyphTextGap = 7;
  m.AutoWidthExtra = 6 - 5 * p;
  m.LeftOffset = 6 - 5 * p;
  m.PlacementWidthAdjustment = 4 * p - 6;
  m.ColumnSpacing = 0;
  m.GlyphWidth = glyph.Width;
  m.GlyphHeight = glyph.Height;
  return m;
}

// ---- Items -----------------------------------------------------------------------------------

void TcxRadioGroupItem::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TcxRadioGroupItem*>(Source)) FValue = s->FValue;
  TcxButtonGroupItem::Assign(Source);
}

void TcxRadioGroupItem::SetValue(const Variant& AValue) {
  if (VariantsEqualSameType(AValue, FValue)) return;
  FValue = AValue;
  ItemChanged();
}

// ---- TcxCustomRadioGroupProperties -----------------------------------------------------------

TcxCustomRadioGroupProperties::TcxCustomRadioGroupProperties(TPersistent* AOwner)
    : TcxCustomButtonGroupProperties(AOwner), FDefaultCaption(LoadResString(cxSRadioGroupDefaultCaption)) {}

void TcxCustomRadioGroupProperties::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxCustomRadioGroupProperties*>(Source);
  if (!s) return TcxCustomButtonGroupProperties::Assign(Source);
  TcxUpdateScope update(this);
  TcxCustomButtonGroupProperties::Assign(Source);
  SetDefaultValue(s->FDefaultValue);
  SetWordWrap(s->WordWrap());
}

TcxCustomEditClass TcxCustomRadioGroupProperties::GetEditorClass() { return TcxRadioGroup::StaticClass(); }

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& Value) {
  if (VariantsEqualSameType(Value, FDefaultValue)) return;
  FDefaultValue = Value;
  NotifyChanged();
}

// A Null value is "no selection": it never matches an item by caption (an
// item with an empty caption would otherwise swallow it).
Integer TcxCustomRadioGroupProperties::IndexOf(const Variant& AValue) const {
  TcxRadioGroupItems* items = const_cast<TcxCustomRadioGroupProperties*>(this)->Items();
  for (Integer i = 0; i < items->Count(); ++i) {
    TcxRadioGroupItem* item = items->Item(i);
    if (VarIsNull(item->Value())) {
      if (VarIsNull(AValue)) continue;
      try {
        if (VarToStr(AValue) == item->Caption()) return i;
      } catch (const Exception&) {
        // A value without a text matches no caption.
      }
    } else if (SameVariantValues(AValue, item->Value())) {
      return i;
    }
  }
  return -1;
}

Integer TcxCustomRadioGroupProperties::GetIndexByValue(const Variant& AValue) { return IndexOf(AValue); }

Variant TcxCustomRadioGroupProperties::GetValueByIndex(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Items()->Count()) return FDefaultValue;
  TcxRadioGroupItem* item = Items()->Item(AIndex);
  return VarIsNull(item->Value()) ? Variant(item->Caption()) : item->Value();
}

Integer TcxCustomRadioGroupProperties::GetEffectiveColumns() {
  return std::max(1, std::min(Columns(), Items()->Count()));
}

bool TcxCustomRadioGroupProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  return IndexOf(A) == IndexOf(B);
}

String TcxCustomRadioGroupProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  const Integer index = IndexOf(AValue);
  if (index < 0) return FDefaultCaption;
  return const_cast<TcxCustomRadioGroupProperties*>(this)->Items()->Item(index)->Caption();
}

void TcxCustomRadioGroupProperties::NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool) const {
  ANormalized = Variant(IndexOf(AValue));
}

TcxEditEditorFeatures TcxCustomRadioGroupProperties::GetEditorFeatures() const {
  return const_cast<TcxCustomRadioGroupProperties*>(this)->Items()->Count() > 0
             ? cxRadioGroupEditorFeaturesWithItems
             : cxRadioGroupEditorFeatures;
}

// ---- TcxCustomRadioGroup ---------------------------------------------------------------------

TcxCustomRadioGroup::TcxCustomRadioGroup(TComponent* AOwner, bool AIsInplace)
    : TcxCustomButtonGroup(AOwner, AIsInplace) {
  SetTabStop(true);
  if (AIsInplace) SetParentColor(false);
  SynchronizeButtons();
}

TWinControl* TcxCustomRadioGroup::CreateButton() { return new TcxCustomRadioGroupButton(this); }

void TcxCustomRadioGroup::SetItemIndex(Integer Value) {
  if (IsLoading()) {
    FIndexPending = true;
    FPendingIndex = Value;
    return;
  }
  TcxCustomRadioGroupProperties* properties = ActiveProperties();
  Value = std::clamp(Value, -1, properties->Items()->Count() - 1);
  if (Value == FItemIndex) {
    if (!FToggling) SetModifiedAfterEnter(false);
    return;
  }
  TcxDestroyGuard guard(this);
  SetEditValue(properties->GetValueByIndex(Value));
  if (!guard.Alive()) return;
  // Two items may share a value; the index asked for is the one selected.
  if (FItemIndex != Value && VariantsEqualSameType(EditValue(), properties->GetValueByIndex(Value))) {
    FItemIndex = Value;
    CheckSelectedButton();
    Invalidate();
  }
}

Integer TcxCustomRadioGroup::FocusedIndex() const {
  for (Integer i = 0; i < ButtonCount(); ++i)
    if (Buttons(i)->Focused()) return i;
  return -1;
}

void TcxCustomRadioGroup::CheckSelectedButton() {
  for (Integer i = 0; i < ButtonCount(); ++i) {
    TcxCustomRadioGroupButton* button = RadioButtons(i);
    const bool selected = i == FItemIndex;
    if (button->Checked() != selected) button->SetChecked(selected);
    // Tab reaches the group at its selected button only.
    button->SetTabStop(selected && TabStop());
  }
}

void TcxCustomRadioGroup::SynchronizeButtonValue() { CheckSelectedButton(); }

void TcxCustomRadioGroup::InternalSetEditValue(const Variant& Value, bool AValidateFirst) {
  TcxCustomButtonGroup::InternalSetEditValue(Value, AValidateFirst);
  const Integer index = ActiveProperties()->GetIndexByValue(EditValue());
  if (index == FItemIndex) return;
  FItemIndex = index;
  CheckSelectedButton();
  Invalidate();
  if (index != -1 && !IsDestroying() && !IsLoading()) TcxContainer::Click();
  DoChangeNotice();
}

void TcxCustomRadioGroup::PropertiesChanged(TObject* Sender) {
  FItemIndex = ActiveProperties()->GetIndexByValue(EditValue());
  TcxCustomButtonGroup::PropertiesChanged(Sender);
  Invalidate();
}

void TcxCustomRadioGroup::UpdateButtonStyles() {
  TcxCustomButtonGroup::UpdateButtonStyles();
  if (ButtonCount() == 0) return;
  TcxCustomContainerStyle* style = GetCurrentStyle();
  const TcxLookAndFeelKind kind =
      cxRadioGlyphKind(cxButtonGroupItemStyle(IsInplace(), style->LookAndFeel()->Kind(), style->BorderStyle()));
  for (Integer i = 0; i < ButtonCount(); ++i) {
    TcxCustomRadioGroupButton* button = RadioButtons(i);
    button->LookAndFeel()->SetKind(kind);
    button->SetCaption(ActiveProperties()->Items()->Item(i)->Caption());
    button->SetWordWrap(ActiveProperties()->WordWrap());
  }
}

void TcxCustomRadioGroup::PlaceButtons() {
  TcxCustomButtonGroup::PlaceButtons();
  const Integer rows = ActiveProperties()->RowCount();
  for (Integer i = 0; i < ButtonCount() && rows > 0; ++i) RadioButtons(i)->SetCell(i / rows, i % rows);
}

void TcxCustomRadioGroup::Loaded() {
  TcxCustomButtonGroup::Loaded();
  if (!FIndexPending) return;
  FIndexPending = false;
  SetItemIndex(FPendingIndex);
}

Integer TcxCustomRadioGroup::ButtonToFocus() {
  if (FItemIndex >= 0 && FItemIndex < ButtonCount() && Buttons(FItemIndex)->CanFocus()) return FItemIndex;
  for (Integer i = 0; i < ButtonCount(); ++i)
    if (Buttons(i)->CanFocus()) return i;
  return -1;
}

void TcxCustomRadioGroup::FocusInner() {
  // Only a focus that stays on the group's own window goes on (it may have
  // been passed on already, out of the group or to a button).
  if (!TWinControl::Focused() || FocusedIndex() >= 0) return;
  const Integer index = ButtonToFocus();
  if (index >= 0) Buttons(index)->SetFocus();
}

bool TcxCustomRadioGroup::SelectFirstChild() {
  const Integer index = ButtonToFocus();
  if (index < 0 || !CanFocus()) return false;
  Buttons(index)->SetFocus();
  return true;
}

void TcxCustomRadioGroup::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) {
  TcxDestroyGuard guard(this);
  ActivateInplace(AEditData);
  if (!guard.Alive()) return;
  TPoint p{X, Y};
  if (Parent()) p = ScreenToClient(Parent()->ClientToScreen(p));
  const Integer item = ItemAt(p);
  if (item < 0 || item >= ButtonCount()) return;
  TWinControl* button = Buttons(item);
  const LPARAM centre = PointToLParam(TPoint{button->Width() / 2, button->Height() / 2});
  SendMessage(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
  if (!(Shift & ssLeft) && guard.Alive()) SendMessage(button->Handle(), WM_LBUTTONUP, 0, centre);
}

bool TcxCustomRadioGroup::ItemEnabled(Integer AIndex) {
  TcxRadioGroupItems* items = ActiveProperties()->Items();
  return AIndex >= 0 && AIndex < items->Count() && items->Item(AIndex)->Enabled();
}

TcxButtonState TcxCustomRadioGroup::ItemState(Integer AIndex) {
  if (!Enabled() || !ItemEnabled(AIndex)) return cxbsDisabled;
  if (AIndex >= ButtonCount() || IsDesigning()) return cxbsNormal;
  switch (RadioButtons(AIndex)->DrawState()) {
    case rbdsHot: return cxbsHot;
    case rbdsPressed: return cxbsPressed;
    case rbdsDisabled: return cxbsDisabled;
    default: return cxbsNormal;
  }
}

bool TcxCustomRadioGroup::CanToggleButton(Integer AIndex) {
  return AIndex == FItemIndex || (CanModifyValue() && DoEditing());
}

void TcxCustomRadioGroup::ButtonEntered(Integer AIndex, bool AFocused) {
  if (AIndex == FItemIndex || IsSynchronizingButtons() || IsDestroying()) return;
  if (AFocused && !DoEditing()) return;
  SelectByUser(AIndex);
}

void TcxCustomRadioGroup::SelectByUser(Integer AIndex) {
  if (!ItemEnabled(AIndex) || !Enabled() || AIndex == FItemIndex) return;
  if (!CanModifyValue() || !DoEditing()) return;
  TcxCustomRadioGroupProperties* properties = ActiveProperties();
  TcxDestroyGuard guard(this);
  LockChangeEvents(true);
  FToggling = true;
  try {
    SetItemIndex(AIndex);
    SetModified(true);
    if (properties->ImmediatePost() && IsModifiedForPost() && ValidateEdit(false)) PostEditValue(false);
  } catch (...) {
    if (guard.Alive()) {
      FToggling = false;
      LockChangeEvents(false);
    }
    throw;
  }
  if (!guard.Alive()) return;
  FToggling = false;
  LockChangeEvents(false);
}

void TcxCustomRadioGroup::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FOCUSRADIOBUTTON: {
      const Integer index = static_cast<Integer>(Message.WParam);
      if (index >= 0 && index < ButtonCount() && Buttons(index)->CanFocus()) Buttons(index)->SetFocus();
      return;
    }
    case WM_SETFOCUS: {
      // Shift+Tab from one of the buttons reaches the group behind them:
      // the focus goes on backwards, out of the group.
      const HWND from = TWMSetFocus(Message).FocusedWnd();
      for (Integer i = 0; i < ButtonCount() && from; ++i)
        if (Buttons(i)->HandleAllocated() && Buttons(i)->Handle() == from) {
          if (TCustomForm* form = GetParentForm()) form->SelectNext(this, false, true);
          return;
        }
      break;
    }
    default: break;
  }
  TcxCustomButtonGroup::Dispatch(Message);
}

void TcxCustomRadioGroup::PaintItem(TcxCanvas* ACanvas, Integer AIndex, const TRect& ACell) {
  TcxCustomRadioGroupProperties* properties = ActiveProperties();
  TcxCustomContainerStyle* style = GetCurrentStyle();
  cxPaintRadioGroupItem(ACanvas, ACell, properties->Items()->Item(AIndex)->Caption(),
                        cxButtonGroupItemStyle(IsInplace(), style->LookAndFeel()->Kind(), style->BorderStyle()),
                        ItemState(AIndex), AIndex == FItemIndex, AIndex == FocusedIndex(),
                        properties->WordWrap(), GetButtonMetrics(), style->GetVisibleFont(), style->GetTextColor(),
                        style->EffectiveColor());
}

void cxPaintRadioGroupItem(TcxCanvas* ACanvas, const TRect& ACell, const String& ACaption,
                           TcxEditButtonStyle AButtonStyle, TcxButtonState AState, bool AChecked, bool AFocused,
                           bool AWordWrap, const TcxButtonGroupMetrics& AMetrics, TFont* AFont, TColor ATextColor,
                           TColor ABkColor) {
  const TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainterOfKind(cxRadioGlyphKind(AButtonStyle));
  if (painter) {
    const Integer top = ACell.Top + (ACell.Bottom - ACell.Top - AMetrics.GlyphHeight) / 2;
    PainterOf(painter)->PaintRadioButton(ACanvas, ACell.Left, top, AState, AChecked, AFocused, false, ABkColor);
  }
  const TRect text = Rect(ACell.Left + AMetrics.GlyphWidth + AMetrics.GlyphTextGap, ACell.Top, ACell.Right, ACell.Bottom);
  const TcxTextFlags flags = AWordWrap ? WrappedItemTextFlags : ItemTextFlags;
  if (AFont) ACanvas->SetFont(AFont);
  ACanvas->GetFont()->SetColor(ATextColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->DrawTextWithFlags(ACaption, text, AState != cxbsDisabled, flags);
  if (!AFocused || ACaption.empty()) return;
  TRect measured = Rect(text.Left, 0, text.Right, 0);
  ACanvas->MeasureTextRect(ACaption, measured, flags);
  const Integer h = measured.Bottom - measured.Top;
  TRect focus = Rect(text.Left, text.Top + (text.Bottom - text.Top - h) / 2,
                     std::min(text.Right, text.Left + measured.Right - measured.Left), 0);
  focus.Bottom = focus.Top + h;
  InflateRect(focus, 1, 1);
  ++focus.Bottom;
  IntersectRect(focus, focus, ACell);
  if (!IsRectEmpty(focus)) ACanvas->DrawFocusFrame(focus);
}

// ---- View data and view info -----------------------------------------------------------------

TcxCustomEditViewDataClass TcxCustomRadioGroupProperties::GetViewDataClass() const {
  return TcxCustomRadioGroupViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomRadioGroupProperties::GetViewInfoClass() const {
  return TcxCustomRadioGroupViewInfo::StaticClass();
}

TcxButtonGroupMetrics TcxCustomRadioGroupViewData::GetButtonMetrics() const {
  return cxRadioGroupButtonMetrics(IsInplace());
}

void TcxCustomRadioGroupViewData::SetItemButtonState(TcxButtonGroupViewInfo* AViewInfo, Integer AIndex) {
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo);
  if (auto* group = dynamic_cast<TcxCustomRadioGroup*>(Edit)) {
    info->ItemIndex = group->ItemIndex();
    info->ButtonsInfo[static_cast<size_t>(AIndex)].State = group->ItemState(AIndex);
  }
}

void TcxCustomRadioGroupViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                       TcxCustomEditViewInfo* AViewInfo) {
  static_cast<TcxCustomRadioGroupViewInfo*>(AViewInfo)->ItemIndex =
      static_cast<TcxCustomRadioGroupProperties*>(Properties())->GetIndexByValue(AEditValue);
}

void TcxCustomRadioGroupViewInfo::Assign(TObject* Source) {
  TcxButtonGroupViewInfo::Assign(Source);
  if (auto* s = dynamic_cast<TcxCustomRadioGroupViewInfo*>(Source)) ItemIndex = s->ItemIndex;
}

void TcxCustomRadioGroupViewInfo::DrawButtonItem(TcxCanvas* ACanvas, Integer AIndex) {
  const TcxGroupBoxButtonViewInfo& button = ButtonsInfo[static_cast<size_t>(AIndex)];
  cxPaintRadioGroupItem(ACanvas, button.Bounds, button.Caption, button.ButtonStyle, button.State, AIndex == ItemIndex,
                        false, WordWrap, Metrics, Font, TextColor, BackgroundColor);
}

// ---- TcxRadioButton --------------------------------------------------------------------------

namespace {

TcxButtonState ButtonStateOf(TcxRadioButtonDrawState AState) {
  switch (AState) {
    case rbdsDisabled: return cxbsDisabled;
    case rbdsHot: return cxbsHot;
    case rbdsPressed: return cxbsPressed;
    default: return cxbsNormal;
  }
}

}  // namespace

TcxRadioButton::TcxRadioButton(TComponent* AOwner)
    : TRadioButton(AOwner), FLookAndFeel(std::make_unique<TcxLookAndFeel>(this)) {
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(this, &TcxRadioButton::LookAndFeelChanged);
  SetControlStyle(ControlStyle() | csDoubleClicks | csParentBackground);
}

TcxRadioButton::~TcxRadioButton() { FLookAndFeel->OnChanged = nullptr; }

void TcxRadioButton::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TcxRadioButton::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  Invalidate();
}

TcxRadioButtonDrawState TcxRadioButton::DrawStateAt(const TPoint& P, TShiftState AShift, bool ACaptured) const {
  if (!Enabled()) return rbdsDisabled;
  if (IsDesigning()) return rbdsNormal;
  const bool inside = PtInRect(ClientRect(), P);
  if (ACaptured) return inside ? rbdsPressed : rbdsHot;
  if (!inside || (AShift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle)) != 0) return rbdsNormal;
  return rbdsHot;
}

void TcxRadioButton::SetDrawState(TcxRadioButtonDrawState Value) {
  if (Value == FDrawState) return;
  FDrawState = Value;
  Invalidate();
}

TRect TcxRadioButton::GlyphRect() const {
  const TcxRadioButtonGlyphGeometry& glyph = RadioButtonGlyphGeometry();
  const TRect client = ClientRect();
  const Integer top = (client.Bottom - client.Top - glyph.Height) / 2;
  const Integer left = FAlignment == taRightJustify ? (IsInplaceButton() ? 0 : 1) : client.Right - glyph.Width;
  return Bounds(left, top, glyph.Width, glyph.Height);
}

void TcxRadioButton::PaintRadioButton(TcxCanvas* ACanvas, TcxRadioButtonDrawState ADrawState) {
  const TRect client = ClientRect();
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, client, Color());
  const TRect glyph = GlyphRect();
  if (TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->Painter())
    PainterOf(painter)->PaintRadioButton(ACanvas, glyph.Left, glyph.Top, ButtonStateOf(ADrawState), Checked(),
                                         Focused(), false, Color());
  const String caption = Caption();
  if (caption.empty()) return;
  TRect text = client;
  if (FAlignment == taRightJustify)
    text.Left = glyph.Right + cxRadioButtonCaptionGap;
  else
    text.Right = glyph.Left - cxRadioButtonCaptionGap;
  const TcxTextFlags flags = FWordWrap ? WrappedItemTextFlags : ItemTextFlags;
  ACanvas->SetFont(Font());
  ACanvas->GetBrush()->SetStyle(bsClear);
  const bool disabled = ADrawState == rbdsDisabled;
  if (disabled) ACanvas->GetFont()->SetColor(clBtnShadow);
  ACanvas->DrawTextWithFlags(caption, text, !disabled, flags);
  if (!Focused()) return;
  TRect measured = Rect(text.Left, 0, text.Right, 0);
  ACanvas->MeasureTextRect(caption, measured, flags);
  const Integer h = measured.Bottom - measured.Top;
  TRect focus = Rect(text.Left, text.Top + (text.Bottom - text.Top - h) / 2,
                     std::min(text.Right, text.Left + measured.Right - measured.Left), 0);
  focus.Bottom = focus.Top + h;
  InflateRect(focus, 1, 1);
  ++focus.Bottom;
  IntersectRect(focus, focus, client);
  if (!IsRectEmpty(focus)) ACanvas->DrawFocusFrame(focus);
}

void TcxRadioButton::SetPopupMenu(TComponent* Value) {
  TRadioButton::SetPopupMenu(IsPopupMenuComponent(Value) ? Value : nullptr);
}

void TcxRadioButton::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  TRadioButton::DoContextPopup(MousePos, Handled);
  if (Handled || !PopupMenu()) return;
  const bool keyboard = MousePos.X == -1 && MousePos.Y == -1;
  const TPoint screen = ClientToScreen(keyboard ? TPoint{0, 0} : MousePos);
  Handled = ShowPopupMenuAt(this, PopupMenu(), screen.X, screen.Y);
}

void TcxRadioButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) {
        TcxCanvas canvas(dc);
        PaintRadioButton(&canvas, Enabled() ? FDrawState : rbdsDisabled);
      }
      return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (!IsDesigning() && HandlePopupMenuShortCut(PopupMenu(), Message)) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_CONTEXTMENU:
      if (Message.Result == 0 && !IsDesigning()) {
        const TPoint pt = LParamToPoint(Message.LParam);
        const bool keyboard = pt.X == -1 && pt.Y == -1;
        if (!keyboard && !PtInRect(ClientRect(), ScreenToClient(pt))) {
          DefaultHandler(Message);
          return;
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TcxDestroyGuard guard(this);
      FMousePressing = true;
      try {
        TRadioButton::Dispatch(Message);
      } catch (...) {
        if (guard.Alive()) FMousePressing = false;
        throw;
      }
      if (!guard.Alive()) return;
      FMousePressing = false;
      SetDrawState(DrawStateAt(LParamToPoint(Message.LParam), 0, true));
      return;
    }
    default: break;
  }
  TRadioButton::Dispatch(Message);
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
      SetDrawState(DrawStateAt(LParamToPoint(Message.LParam), 0, FDrawState == rbdsPressed || MouseCapture()));
      break;
    case WM_LBUTTONUP: SetDrawState(DrawStateAt(LParamToPoint(Message.LParam), 0, false)); break;
    case CM_MOUSEENTER: SetDrawState(DrawStateAt(Point(ClientRect().Left, ClientRect().Top), 0, false)); break;
    case CM_MOUSELEAVE:
    case CM_ENABLEDCHANGED: SetDrawState(Enabled() ? rbdsNormal : rbdsDisabled); break;
    // The focus frame comes and goes with the focus.
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    default: break;
  }
}

void TcxRadioButton::DoEnter() {
  TcxDestroyGuard guard(this);
  TRadioButton::DoEnter();
  if (!guard.Alive() || Checked() || IsLoading() || FMousePressing) return;
  SetChecked(true);
  Click();
}

// ---- TcxCustomRadioGroupButton ---------------------------------------------------------------

TcxCustomRadioGroupButton::TcxCustomRadioGroupButton(TcxCustomRadioGroup* AGroup)
    : TcxRadioButton(nullptr), FGroup(AGroup) {
  SetTabStop(false);
}

Integer TcxCustomRadioGroupButton::Index() const { return FGroup ? FGroup->IndexOfButton(this) : -1; }

bool TcxCustomRadioGroupButton::IsInplaceButton() const { return FGroup && FGroup->IsInplace(); }

void TcxCustomRadioGroupButton::DoEnter() {
  TcxDestroyGuard guard(this);
  // The group, not the button, decides what entering selects.
  TRadioButton::DoEnter();
  if (guard.Alive() && FGroup) FGroup->ButtonEntered(Index(), Focused());
}

void TcxCustomRadioGroupButton::Toggle() {
  const Integer index = Index();
  if (!FGroup || !FGroup->CanToggleButton(index)) return;
  FGroup->SelectByUser(index);
}

void TcxCustomRadioGroupButton::WndProc(TMessage& Message) {
  // A group that drags itself is dragged from its buttons too (before the
  // button's own automatic drag would start).
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FGroup &&
      FGroup->DragMode() == dmAutomatic && !FGroup->IsDesigning()) {
    FGroup->BeginDrag(false);
    return;
  }
  TcxRadioButton::WndProc(Message);
}

void TcxCustomRadioGroupButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      // The group moves among its buttons by columns and rows itself.
      Message.Result = DLGC_WANTARROWS;
      return;
    case WM_KEYDOWN:
    case WM_CHAR: {
      const Word key = static_cast<Word>(Message.WParam);
      if ((key == VK_SPACE || key == VK_BACK) && FGroup && !FGroup->CanModifyValue()) return;
      break;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      // The group's menu is the buttons' menu.
      if (FGroup && !IsDesigning() && HandlePopupMenuShortCut(FGroup->PopupMenu(), Message)) {
        Message.Result = 1;
        return;
      }
      break;

    default: break;
  }
  TcxRadioButton::Dispatch(Message);
}

// ---- Registration ----------------------------------------------------------------------------

void cxRadioGroupRegister() {
  GetEditPropertiesRegistry()->AddClass(TcxRadioGroupProperties::StaticClass(), LoadResString(cxSEditRadioGroupKind));
}

void cxRadioGroupUnregister() { GetEditPropertiesRegistry()->RemoveClass(TcxRadioGroupProperties::StaticClass()); }
