#include "treelist/cxTLCustomizationForm.h"

#include <algorithm>

#include "foundation/cxControls.h"
#include "foundation/cxListBox.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowmanager.h"
#include "platform/gui/forms.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLDragDrop.h"
#include "treelist/cxTLOptions.h"
#include "treelist/cxTLViewInfo.h"

TcxTreeListCustomizing::TcxTreeListCustomizing(TcxCustomTreeListControl* ATreeList) : FTreeList(ATreeList) {}

TcxTreeListCustomizing::~TcxTreeListCustomizing() {
  if (FForm) FTreeList->RemoveListener(this);
  FBandList = FColumnList = nullptr;
  FForm.reset();
}

void TcxTreeListCustomizing::SetRowCount(Integer AValue) { FRowCount = std::max(AValue, MinRowCount); }

bool TcxTreeListCustomizing::Visible() const { return FVisible && FForm && FForm->Visible(); }

bool TcxTreeListCustomizing::CanShow() const {
  const TcxTreeListOptionsView* View = FTreeList->OptionsView();
  const bool BandsToList = View->Bands() && !View->SimpleCustomizeBox() && FTreeList->Bands()->Count() > 0;
  const bool ColumnsToList = View->Headers() && FTreeList->ColumnCount() > 0;
  return BandsToList || ColumnsToList;
}

void TcxTreeListCustomizing::SetVisible(bool AValue) {
  if (AValue == Visible()) return;
  if (AValue) {
    if (!CanShow()) return;
    if (!FForm) CreateForm();
    FVisible = true;
    FTreeList->AddListener(this);
    PlaceForm();
    RefreshLists();
    // The selections of the last time, when they are still in range.
    if (FBandList && FLastBandIndex < FBandList->Count()) FBandList->SetItemIndex(FLastBandIndex);
    if (FColumnList && FLastColumnIndex < FColumnList->Count()) FColumnList->SetItemIndex(FLastColumnIndex);
    FForm->Show();
  } else {
    SaveState();
    DestroyForm();
    FVisible = false;
  }
  FTreeList->DoCustomizationFormVisibleChanged();
}

void TcxTreeListCustomizing::ShowBandsPage() {
  SetVisible(true);
  if (!Visible() || !FBandList) return;
  if (FPageControl && FBandsTab) FPageControl->SetActivePage(FBandsTab);
  if (FBandList->CanFocus()) FBandList->SetFocus();
}

void TcxTreeListCustomizing::ShowColumnsPage() {
  SetVisible(true);
  if (!Visible() || !FColumnList) return;
  if (FPageControl && FColumnsTab) FPageControl->SetActivePage(FColumnsTab);
  if (FColumnList->CanFocus()) FColumnList->SetFocus();
}

bool TcxTreeListCustomizing::PointInForm(const TPoint& AScreenPoint) const {
  if (!Visible()) return false;
  const TRect R = FForm->BoundsRect();
  return AScreenPoint.X >= R.Left && AScreenPoint.X < R.Right && AScreenPoint.Y >= R.Top && AScreenPoint.Y < R.Bottom;
}

// ---- The window ----------------------------------------------------------------------------

TcxListBox* TcxTreeListCustomizing::MakeList(TcxTreeListCustomizeListKind AKind) {
  auto* List = new TcxListBox(FForm.get());
  List->SetName(AKind == tlclBands ? u"BandList" : u"ColumnList");
  List->SetListStyle(lbOwnerDrawVariable);
  List->SetOnMeasureItem(TcxListBoxMeasureItemEvent(
      this, [this](TcxListBox* AList, Integer AIndex, Integer& AHeight) { MeasureItem(AList, AIndex, AHeight); }));
  List->OnDrawItem = TcxListBoxDrawItemEvent(
      this, [this](TcxListBox* AList, TcxCanvas* ACanvas, Integer AIndex, TRect ARect, TOwnerDrawState AState) {
        DrawItem(AList, ACanvas, AIndex, ARect, AState);
      });
  TWinControl* Inner = List->InnerListBox();
  Inner->OnMouseDown = TMouseEvent(this, &TcxTreeListCustomizing::ListMouseDown);
  Inner->OnMouseMove = TMouseMoveEvent(this, &TcxTreeListCustomizing::ListMouseMove);
  Inner->OnMouseUp = TMouseEvent(this, &TcxTreeListCustomizing::ListMouseUp);
  return List;
}

namespace {

// The window is moved, sized and closed, never minimised or maximised: its
// system menu keeps only those items. By position the later item goes
// first, so the earlier one keeps its place: anything below close, then the
// line above close.
void TrimSystemMenu(HWND Wnd) {
  constexpr Integer BelowClosePosition = 7, LineAboveClosePosition = 5;
  DeleteSystemMenuPosition(Wnd, BelowClosePosition);
  DeleteSystemMenuPosition(Wnd, LineAboveClosePosition);
  for (TSystemCommand Command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) DeleteSystemMenuCommand(Wnd, Command);
}

}  // namespace

void TcxTreeListCustomizing::CreateForm() {
  FForm = std::make_unique<TForm>(nullptr);
  TForm* F = FForm.get();
  F->SetCaption(LoadResString(cxSTreeListCustomizeCaption));
  F->SetBorderStyle(bsSizeToolWin);
  F->SetBorderIcons(biSystemMenu);
  F->SetFormStyle(fsStayOnTop);
  F->Font()->Assign(FTreeList->Font());
  F->SetColor(clBtnFace);
  F->OnClose = TCloseEvent(this, &TcxTreeListCustomizing::FormClose);
  F->SetKeyPreview(true);
  F->OnKeyDown = TKeyEvent(this, &TcxTreeListCustomizing::FormKeyDown);
  TBitmap Measure(1, 1, pf32bit);
  Measure.Canvas()->Font()->Assign(F->Font());
  const Integer LineHeight = Measure.Canvas()->TextHeight(u"Wg") + LineMargin;
  F->SetClientWidth(WidthInDigits * Measure.Canvas()->TextWidth(u"0"));
  F->SetClientHeight(LineHeight * (FRowCount + 1));
  TrimSystemMenu(F->Handle());
  FDragTimer = new TTimer(F);
  FDragTimer->SetEnabled(false);
  FDragTimer->SetInterval(DragCheckInterval);
  FDragTimer->SetOnTimer(TNotifyEvent(this, &TcxTreeListCustomizing::DragTimerTick));
  const TcxTreeListOptionsView* View = FTreeList->OptionsView();
  const bool HasColumns = FTreeList->ColumnCount() > 0;
  auto Fill = [](TControl* AControl) {
    AControl->SetAlign(alClient);
    AControl->SetParentFont(true);
    AControl->SetParentColor(true);
  };
  if (!View->SimpleCustomizeBox() && View->Bands()) {
    FPageControl = new TPageControl(F);
    FPageControl->SetHotTrack(true);
    FPageControl->SetParent(F);
    Fill(FPageControl);
    FBandsTab = new TTabSheet(F);
    FBandsTab->SetCaption(LoadResString(cxSTreeListBandsCaption));
    FBandsTab->SetPageControl(FPageControl);
    Fill(FBandsTab);
    FBandList = MakeList(tlclBands);
    FBandList->SetParent(FBandsTab);
    Fill(FBandList);
    if (HasColumns) {
      FColumnsTab = new TTabSheet(F);
      FColumnsTab->SetCaption(LoadResString(cxSTreeListColumnsCaption));
      FColumnsTab->SetPageControl(FPageControl);
      Fill(FColumnsTab);
    }
  }
  if (HasColumns) {
    FColumnList = MakeList(tlclColumns);
    FColumnList->SetParent(FColumnsTab ? static_cast<TWinControl*>(FColumnsTab) : F);
    Fill(FColumnList);
  }
}

void TcxTreeListCustomizing::PlaceForm() {
  TForm* F = FForm.get();
  if (FLastPosition.X != NoPosition || FLastPosition.Y != NoPosition) {
    F->SetBounds(FLastPosition.X, FLastPosition.Y, F->Width(), F->Height());
    return;
  }
  // The first time: the bottom-right corner of the tree list's form, kept on the screen.
  Integer Right = F->Width(), Bottom = F->Height();
  if (TCustomForm* Owner = FTreeList->GetParentForm()) {
    const TRect R = Owner->BoundsRect();
    Right = R.Right;
    Bottom = R.Bottom;
  }
  F->SetBounds(std::max(Right - F->Width(), 0), std::max(Bottom - F->Height(), 0), F->Width(), F->Height());
}

void TcxTreeListCustomizing::SaveState() {
  if (!FForm) return;
  FLastPosition = TPoint{FForm->Left(), FForm->Top()};
  // Kept for the next showing (not reset), so reopening restores them.
  if (FBandList) FLastBandIndex = FBandList->ItemIndex();
  if (FColumnList) FLastColumnIndex = FColumnList->ItemIndex();
}

void TcxTreeListCustomizing::DestroyForm() {
  if (!FForm) return;
  FTreeList->RemoveListener(this);
  FPressedList = nullptr;
  FBandList = FColumnList = nullptr;
  FPageControl = nullptr;
  FBandsTab = FColumnsTab = nullptr;
  FDragTimer = nullptr;
  FBands.clear();
  FColumns.clear();
  FForm->Hide();
  FForm.reset();
}

void TcxTreeListCustomizing::FormClose(TObject*, TCloseAction& Action) {
  // The window is freed here; the form itself only hides.
  Action = caHide;
  SaveState();
  FVisible = false;
  FTreeList->DoCustomizationFormVisibleChanged();
}

// ---- The lists -----------------------------------------------------------------------------

void TcxTreeListCustomizing::FillList(TcxListBox* AList, const std::vector<String>& ATexts) {
  if (!AList) return;
  const Integer Selected = AList->ItemIndex();
  AList->Items()->Clear();
  for (const String& Text : ATexts) AList->Items()->Add(Text);
  AList->SetItemIndex(std::min(Selected, AList->Count() - 1));
}

void TcxTreeListCustomizing::RefreshLists() {
  if (!FForm) return;
  FBands.clear();
  FColumns.clear();
  std::vector<String> BandTexts, ColumnTexts;
  TcxTreeListBands* Bands = FTreeList->Bands();
  for (Integer I = 0; I < Bands->Count(); ++I) {
    TcxTreeListBand* Band = Bands->Items(I);
    if (Band->Visible() || Band->Options()->Hidden()) continue;
    FBands.push_back(Band);
    BandTexts.push_back(Band->Caption());
  }
  for (Integer I = 0; I < FTreeList->ColumnCount(); ++I) {
    TcxTreeListColumn* Column = FTreeList->GetColumn(I);
    const bool Shown = Column->Visible() && Column->Band() && Column->Band()->Visible();
    if (Shown || Column->Options()->Hidden()) continue;
    FColumns.push_back(Column);
    ColumnTexts.push_back(Column->Caption());
  }
  FillList(FBandList, BandTexts);
  FillList(FColumnList, ColumnTexts);
}

void TcxTreeListCustomizing::TreeListChanged(TcxCustomTreeListControl*) {
  // Not while the tree list's drag runs: the drop refreshes the lists itself.
  if (FTreeList->DragAndDropState() == ddsNone) RefreshLists();
}

void TcxTreeListCustomizing::TreeListRemoved(TcxCustomTreeListControl*) {
  SaveState();
  DestroyForm();
  FVisible = false;
}

// ---- Dragging an item out ------------------------------------------------------------------

TcxListBox* TcxTreeListCustomizing::ListOf(TObject* AInner) const {
  if (FBandList && FBandList->InnerListBox() == AInner) return FBandList;
  if (FColumnList && FColumnList->InnerListBox() == AInner) return FColumnList;
  return nullptr;
}

void TcxTreeListCustomizing::ListMouseDown(TObject* Sender, TMouseButton Button, TShiftState, Integer X, Integer Y) {
  FPressedList = Button == mbLeft ? ListOf(Sender) : nullptr;
  FPressedItem = FPressedList ? FPressedList->InnerListBox()->ItemAtPos(TPoint{X, Y}, true) : -1;
  FPressPoint = TPoint{X, Y};
  if (FPressedItem < 0) FPressedList = nullptr;
}

void TcxTreeListCustomizing::ListMouseMove(TObject* Sender, TShiftState, Integer X, Integer Y) {
  if (!FPressedList || ListOf(Sender) != FPressedList) return;
  const Integer Under = FPressedList->InnerListBox()->ItemAtPos(TPoint{X, Y}, true);
  if (WithinDragThreshold(FPressPoint, X, Y) && Under == FPressedItem) return;
  const TcxTreeListCustomizeListKind Kind = FPressedList == FBandList ? tlclBands : tlclColumns;
  const Integer Item = FPressedItem;
  FPressedList = nullptr;
  StartItemDrag(Kind, Item);
}

void TcxTreeListCustomizing::ListMouseUp(TObject*, TMouseButton, TShiftState, Integer, Integer) {
  FPressedList = nullptr;
  // A release the list box still saw ends the tree list's drag with a drop.
  if (FTreeList->DragAndDropState() != ddsNone) FTreeList->FinishDragAndDrop(true);
}

void TcxTreeListCustomizing::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_ESCAPE || FTreeList->DragAndDropState() == ddsNone) return;
  Key = 0;
  FTreeList->FinishDragAndDrop(false);
}

void TcxTreeListCustomizing::StartItemDrag(TcxTreeListCustomizeListKind AKind, Integer AIndex) {
  TcxTreeListColumn* Column = nullptr;
  TcxTreeListBand* Band = nullptr;
  if (AKind == tlclBands && AIndex >= 0 && AIndex < Integer(FBands.size())) Band = FBands[size_t(AIndex)];
  if (AKind == tlclColumns && AIndex >= 0 && AIndex < Integer(FColumns.size())) Column = FColumns[size_t(AIndex)];
  if (!Column && !Band) return;
  FTreeList->FinishDragAndDrop(false);
  auto* Drag = static_cast<TcxTreeListDragAndDropObject*>(FTreeList->GetDragAndDropObject());
  Drag->SetDragged(Column, Band);
  FTreeList->StartDragAndDrop(FTreeList->ScreenToClient(Mouse->CursorPos()));
  if (FDragTimer) FDragTimer->SetEnabled(FTreeList->DragAndDropState() != ddsNone);
}

void TcxTreeListCustomizing::DragTimerTick(TObject*) {
  if (FTreeList->DragAndDropState() == ddsNone) {
    FDragTimer->SetEnabled(false);
    return;
  }
  // The tree list lost the mouse without a release reaching it.
  if (FTreeList->MouseCapture()) return;
  FDragTimer->SetEnabled(false);
  FTreeList->FinishDragAndDrop(false);
}

// ---- Items drawn as headers ----------------------------------------------------------------

void TcxTreeListCustomizing::MeasureItem(TcxListBox* AList, Integer, Integer& AHeight) {
  TcxTreeListViewInfo* VI = FTreeList->TreeListViewInfo();
  if (VI->IsDirty() && !FTreeList->IsLocked()) VI->Calculate();
  const Integer Height = AList == FBandList ? VI->BandLineHeight() : VI->HeaderLineHeight();
  AHeight = Height > 0 ? Height + 2 * ItemInset : AList->ItemHeight();
}

void TcxTreeListCustomizing::DrawItem(TcxListBox* AList, TcxCanvas* ACanvas, Integer AIndex, TRect ARect,
                                      Cardinal AState) {
  TcxTreeListStyles* Styles = FTreeList->Styles();
  TcxViewParams Params;
  String Text;
  if (AList == FBandList && AIndex >= 0 && AIndex < Integer(FBands.size())) {
    TcxTreeListBand* Band = FBands[size_t(AIndex)];
    Params = Styles->GetBandHeaderParams(Band, Band->Styles()->Header());
    Text = Band->Caption();
  } else if (AList == FColumnList && AIndex >= 0 && AIndex < Integer(FColumns.size())) {
    Params = Styles->GetColumnHeaderParams(FColumns[size_t(AIndex)]);
    Text = FColumns[size_t(AIndex)]->Caption();
  } else {
    return;
  }
  ACanvas->SetBrushColor(AList->Color());
  ACanvas->FillRectOrTileBitmap(ARect, nullptr);
  TRect Header = ARect;
  InflateRect(Header, -ItemInset, -ItemInset);
  TRect TextArea = Header;
  InflateRect(TextArea, -3, -2);
  const TcxCustomLookAndFeelPainter* Painter = FTreeList->TreeListViewInfo()->LookAndFeelPainter();
  Painter->PaintHeader(ACanvas, Header, TextArea, 0, cxAllBorders, cxbsNormal, taLeftJustify, vaCenter, false, true,
                       Text, Params.Font ? Params.Font : FTreeList->Font(), Params.TextColor, Params.Color,
                       TcxDrawBackgroundEvent());
  // The selected item shows as a pressed header.
  if (AState & odSelected) Painter->InvertHeaderArea(ACanvas, Header);
}

// ---- The tree list's customizing object -----------------------------------------------------

TcxTreeListCustomizing* TcxCustomTreeListControl::Customizing() const {
  if (!FCustomizing) FCustomizing = std::make_unique<TcxTreeListCustomizing>(const_cast<TcxCustomTreeListControl*>(this));
  return FCustomizing.get();
}
