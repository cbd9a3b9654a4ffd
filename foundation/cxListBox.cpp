// The list box inside the container control.
#include "foundation/cxListBox.h"

#include <algorithm>

#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"

// ---- TcxListBoxDataBinding -----------------------------------------------------------------

void TcxListBoxDataBinding::ValueToControl() {
  if (OnValueToControl) OnValueToControl();
}

void TcxListBoxDataBinding::DataChanged() {
  if (OnDataChanged) OnDataChanged();
}

void TcxListBoxDataBinding::ControlToValue() {
  if (OnControlToValue) OnControlToValue();
}

// ---- TcxInnerListBox -----------------------------------------------------------------------

TcxListBox* TcxInnerListBox::ListBox() const { return dynamic_cast<TcxListBox*>(Container()); }

void TcxInnerListBox::Click() {
  TcxListBox* listBox = ListBox();
  if (listBox && !listBox->CanEditValue()) return;
  TcxCustomInnerListBox::Click();
}

bool TcxInnerListBox::DoDrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  TcxListBox* listBox = ListBox();
  bool ownerDraw = ListStyle() == lbOwnerDrawFixed || ListStyle() == lbOwnerDrawVariable ||
                   ListStyle() == lbVirtualOwnerDraw;
  if (listBox && ownerDraw) {
    Canvas()->Brush()->SetColor((AState & odSelected) ? clHighlight : Color());
    Canvas()->Font()->SetColor((AState & odSelected) ? clHighlightText : Font()->Color());
    if (listBox->DrawItemByEvent(cxCanvas(), Index, ARect, AState)) return true;
  }
  return TcxCustomInnerListBox::DoDrawItem(Index, ARect, AState);
}

bool TcxInnerListBox::CanChangeSelectionByMouse() {
  TcxListBox* listBox = ListBox();
  return !listBox || listBox->CanEditValue();
}

// ---- TcxListBox ----------------------------------------------------------------------------

TcxListBox::TcxListBox(TComponent* AOwner) : TcxContainer(AOwner) {
  RecreateDataBinding();
  FInnerListBox = static_cast<TcxInnerListBox*>(InnerListBoxClass()->Create(this));
  FInnerListBox->SetContainer(this);
  FInnerListBox->SetTabStop(false);
  FInnerListBox->LookAndFeel()->SetMaster(Style()->LookAndFeel());
  FInnerListBox->SetParent(this);
  SetInnerControl(FInnerListBox);
  SetBounds(Left(), Top(), 121, 97);
}

TcxListBox::~TcxListBox() {
  if (FDataBinding) {
    FDataBinding->OnValueToControl = TcxDataBindingNotifyEvent();
    FDataBinding->OnDataChanged = TcxDataBindingNotifyEvent();
    FDataBinding->OnControlToValue = TcxDataBindingNotifyEvent();
  }
}

void TcxListBox::RecreateDataBinding() {
  FDataBinding.reset(DataBindingClass()->Create(this));
  FDataBinding->OnValueToControl = TcxDataBindingNotifyEvent(this, &TcxListBox::ValueToControlHandler);
  FDataBinding->OnDataChanged = TcxDataBindingNotifyEvent(this, &TcxListBox::DataChangedHandler);
  FDataBinding->OnControlToValue = TcxDataBindingNotifyEvent(this, &TcxListBox::ControlToValueHandler);
}

void TcxListBox::SetItemHeight(Integer Value) {
  FInnerListBox->SetItemHeight(Value);
  ApplyIntegralHeight();
}

void TcxListBox::SetListStyle(TListBoxStyle Value) {
  FInnerListBox->SetListStyle(Value);
  ApplyIntegralHeight();
}

// ---- Integral height ----

void TcxListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  ApplyIntegralHeight();
}

void TcxListBox::ApplyIntegralHeight() {
  if (FIntegralHeight) SetBounds(Left(), Top(), Width(), Height());
}

Integer TcxListBox::RowHeight() const {
  switch (ListStyle()) {
    case lbOwnerDrawFixed:
    case lbVirtualOwnerDraw:
      return FInnerListBox->ItemHeight();
    case lbOwnerDrawVariable: {
      Integer h = FInnerListBox->ItemHeight();
      if (Count() > 0) h = FInnerListBox->ItemHeightOf(0);
      return std::max(1, h);
    }
    default:
      return FInnerListBox->ItemHeight();
  }
}

Integer TcxListBox::IntegralHeightFor(Integer ARequested) {
  // What the container keeps around its inner list, as it lays it out:
  // border, transparent border, shadow, for the edges that are drawn.
  const TRect margins = ContentMargins();
  Integer borders = margins.Top + margins.Bottom;
  Integer clientWidth = Width() - margins.Left - margins.Right;
  if (ScrollWidth() + 4 > clientWidth - GetSystemMetrics(SM_CXVSCROLL)) borders += GetSystemMetrics(SM_CYHSCROLL);
  Integer height = borders;
  Integer count = std::max(Count(), 1);
  bool variable = ListStyle() == lbOwnerDrawVariable && Count() > 0;
  for (Integer i = 0;; ++i) {
    Integer row = variable ? FInnerListBox->ItemHeightOf(std::min(i, count - 1)) : RowHeight();
    if (height + row > ARequested) {
      if (i == 0) height += row;  // never less than one row
      break;
    }
    height += row;
    if (height == ARequested) break;
  }
  return height;
}

void TcxListBox::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (FIntegralHeight && FInnerListBox && Align() != alLeft && Align() != alRight && Align() != alClient)
    AHeight = IntegralHeightFor(AHeight);
  TcxContainer::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxListBox::HandleFontChange() {
  TcxContainer::HandleFontChange();
  if (FInnerListBox && !IsContainerDestroying()) {
    FInnerListBox->Invalidate();
    ApplyIntegralHeight();
  }
}

// ---- Items by position ----

Integer TcxListBox::ItemAtPos(const TPoint& APoint, bool AExisting) const {
  return FInnerListBox->ItemAtPos(TPoint{APoint.X - FInnerListBox->Left(), APoint.Y - FInnerListBox->Top()},
                                  AExisting);
}

TRect TcxListBox::ItemRect(Integer AIndex) const {
  TRect r = FInnerListBox->ItemRect(AIndex);
  OffsetRect(r, FInnerListBox->Left(), FInnerListBox->Top());
  return r;
}

// ---- Data ----

void TcxListBox::DataToControl() {
  Integer index = -1;
  if (FDataBinding->CanGiveValue()) {
    Variant value = FDataBinding->GetDisplayValue(Focused());
    if (!VarIsNullOrEmpty(value)) index = Items()->IndexOf(VarToStr(value));
  }
  FInnerListBox->SetItemIndex(index);
}

void TcxListBox::ControlToData() {
  Integer index = ItemIndex();
  String text = index >= 0 && index < Count() ? FInnerListBox->ItemText(index) : String();
  FDataBinding->StoreValue(Variant(text));
}

bool TcxListBox::CanEditValue() { return FDataBinding->CanEdit(); }

bool TcxListBox::DrawItemByEvent(TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
  if (!OnDrawItem) return false;
  OnDrawItem(this, ACanvas, AIndex, ARect, AState);
  return true;
}

void TcxListBox::MeasureInnerItem(TWinControl*, Integer AIndex, Integer& AHeight) {
  if (FOnMeasureItem) FOnMeasureItem(this, AIndex, AHeight);
}

void TcxListBox::SetOnMeasureItem(const TcxListBoxMeasureItemEvent& Value) {
  FOnMeasureItem = Value;
  FInnerListBox->OnMeasureItem =
      Value ? TMeasureItemEvent(this, &TcxListBox::MeasureInnerItem) : TMeasureItemEvent();
  ApplyIntegralHeight();
}

void TcxListBox::PlaceInnerControl() {
  TRect before = FInnerListBox ? FInnerListBox->BoundsRect() : TRect{};
  TcxContainer::PlaceInnerControl();
  if (FInnerListBox && FInnerListBox->HandleAllocated() && !RectsEqual(before, FInnerListBox->BoundsRect()))
    RemoveMessages(FInnerListBox->Handle(), WM_MOUSEMOVE);
}

// ---- Keys and leaving ----

void TcxListBox::KeyDown(Word& Key, TShiftState Shift) {
  bool navigation = Key >= VK_PRIOR && Key <= VK_DOWN;
  if (navigation && !FDataBinding->CanEdit()) {
    Key = 0;
    return;
  }
  if (Key == VK_ESCAPE) FDataBinding->Reset();
  TcxContainer::KeyDown(Key, Shift);
}

void TcxListBox::KeyPress(Char& Key) {
  if (Key >= 32 && !FDataBinding->CanEdit()) {
    Key = 0;
    return;
  }
  TcxContainer::KeyPress(Key);
}

void TcxListBox::DoExit() {
  if (!FUpdatingData) {
    FUpdatingData = true;
    try {
      FDataBinding->UpdateData();
    } catch (...) {
      // The focus comes back while the guard still holds: the way back
      // does not write (and fail) a second time.
      struct TClear {
        bool& F;
        ~TClear() { F = false; }
      } clear{FUpdatingData};
      if (CanFocus()) SetFocus();
      throw;
    }
    FUpdatingData = false;
  }
  TcxContainer::DoExit();
}

// ---- Messages ----

void TcxListBox::Dispatch(TMessage& Message) {
  if (Message.Msg >= LB_ADDSTRING && Message.Msg <= 0x01B0 && FInnerListBox) {
    Message.Result = SendMessage(FInnerListBox->Handle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (Message.Msg == WM_COMMAND && HIWORD(Message.WParam) == LBN_SELCHANGE && FInnerListBox) {
    TcxContainer::Dispatch(Message);
    FInnerListBox->UpdateScrollBars();
    return;
  }
  TcxContainer::Dispatch(Message);
}
