#include "treelist/cxTLController.h"

#include <algorithm>

#include "data/cxDataGuards.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLViewInfo.h"

namespace {

// Numeric keypad keys that expand and collapse the focused node.
constexpr Word KeyExpandAll = 106;
constexpr Word KeyExpand = 107;
constexpr Word KeyCollapse = 109;

// Raises a counter for the duration of a handler, also when it throws.
class TCounterGuard {
public:
  explicit TCounterGuard(Integer& ACounter) : FCounter(ACounter) { ++FCounter; }
  ~TCounterGuard() { --FCounter; }
  TCounterGuard(const TCounterGuard&) = delete;
  TCounterGuard& operator=(const TCounterGuard&) = delete;

private:
  Integer& FCounter;
};

bool IsPagingKey(Word Key) {
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return true;
    default: return false;
  }
}

// Case-insensitive: AText is empty or starts AValue.
bool SameTextOrPrefix(const String& AText, const String& AValue) {
  if (AText.size() > AValue.size()) return false;
  return AnsiCompareText(AText, AValue.substr(0, AText.size())) == 0;
}

}  // namespace

// ---- Cell navigator ---------------------------------------------------------------------------

TcxCustomTreeListControl* TcxTreeListCellNavigator::TreeList() const {
  return static_cast<TcxCustomTreeListControl*>(Controller()->EditingControl());
}

void TcxTreeListCellNavigator::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomTreeListControl* C = TreeList();
  const bool Rowwise = !C->ViewSettings().CellSelect || (Shift & (ssShift | ssCtrl));
  if (!Rowwise && (Key == VK_UP || Key == VK_DOWN) && MoveVertically(Key == VK_DOWN ? 1 : -1)) {
    Key = 0;
    return;
  }
  if (!Rowwise || !(Key == VK_UP || Key == VK_DOWN || Key == VK_LEFT || Key == VK_RIGHT))
    return TcxCustomCellNavigator::KeyDown(Key, Shift);
  TcxTreeListNode* Focused = C->FocusedNode();
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    if (C->IsHScrollBarVisible()) {
      TcxTreeListViewInfo* VI = C->TreeListViewInfo();
      VI->SetLeftPos(VI->LeftPos() + (Key == VK_RIGHT ? 1 : -1) * TextWidthInFont(C->Font(), u"W"));
    }
  } else if (Focused) {
    TcxTreeListNode* Next = Key == VK_DOWN ? Focused->GetNextVisible() : Focused->GetPrevVisible();
    if (Next) C->FocusNode(Next);
  } else if (TcxTreeListNode* First = C->GetFirstNode()) {
    C->FocusNode(First);
  }
  Key = 0;
}

namespace {

// The band row holding AColumn and its place in it (-1 when none).
Integer BandRowOf(TcxTreeListColumn* AColumn, Integer& APlace) {
  TcxTreeListBandRows* Rows = AColumn->Band()->BandRows();
  for (Integer R = 0; R < Rows->Count(); ++R)
    for (Integer I = 0; I < Rows->Items(R)->Count(); ++I)
      if (Rows->Items(R)->Items(I) == AColumn) {
        APlace = I;
        return R;
      }
  return -1;
}

// The column at APlace (clipped) of the first band row with columns from
// ARow on, stepping by ADelta; none past the band's rows.
TcxTreeListColumn* ColumnOfBandRow(TcxTreeListBand* ABand, Integer ARow, Integer ADelta, Integer APlace) {
  TcxTreeListBandRows* Rows = ABand->BandRows();
  for (Integer R = ARow; R >= 0 && R < Rows->Count(); R += ADelta) {
    TcxTreeListBandRow* Row = Rows->Items(R);
    if (Row->Count() > 0) return Row->Items(std::min(APlace, Row->Count() - 1));
  }
  return nullptr;
}

}  // namespace

bool TcxTreeListCellNavigator::MoveVertically(Integer ADelta) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListNode* Focused = C->FocusedNode();
  auto* Column = dynamic_cast<TcxTreeListColumn*>(Controller()->FocusedItem());
  if (!Focused || !Column || !Column->Band() || C->IsGroupNode(Focused)) return false;
  TcxTreeListBand* Band = Column->Band();
  if (Band->BandRows()->Count() < 2) return false;
  Integer Place = 0;
  const Integer Row = BandRowOf(Column, Place);
  if (Row < 0) return false;
  // First the other band rows of the same node.
  if (TcxTreeListColumn* Next = ColumnOfBandRow(Band, Row + ADelta, ADelta, Place)) {
    Controller()->FocusRecordAndItem(Focused->RecordIndex(), Next);
    return true;
  }
  // Then the next node, entering its band from the near side.
  TcxTreeListNode* Node = ADelta > 0 ? Focused->GetNextVisible() : Focused->GetPrevVisible();
  if (!Node) return false;
  const Integer Edge = ADelta > 0 ? 0 : Band->BandRows()->Count() - 1;
  TcxTreeListColumn* Next = ColumnOfBandRow(Band, Edge, ADelta, Place);
  Controller()->FocusRecordAndItem(Node->RecordIndex(), Next ? Next : Column);
  return true;
}

void TcxTreeListCellNavigator::GetFocusedCell(Integer& ARowIndex, Integer& ACellIndex) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListNode* Focused = C->FocusedNode();
  ARowIndex = Focused ? std::max(Focused->VisibleIndex(), 0) : 0;
  const std::vector<TcxTreeListColumn*> Columns = C->VisibleColumns();
  const auto It = std::find(Columns.begin(), Columns.end(), Controller()->FocusedItem());
  ACellIndex = It == Columns.end() ? 0 : Integer(It - Columns.begin());
}

Integer TcxTreeListCellNavigator::GetCellCount(Integer) { return Integer(TreeList()->VisibleColumns().size()); }

TcxCustomInplaceEditContainer* TcxTreeListCellNavigator::GetCellItem(Integer, Integer ACellIndex) {
  const std::vector<TcxTreeListColumn*> Columns = TreeList()->VisibleColumns();
  return ACellIndex >= 0 && ACellIndex < Integer(Columns.size()) ? Columns[size_t(ACellIndex)] : nullptr;
}

Integer TcxTreeListCellNavigator::RowCount() { return std::max(TreeList()->Nodes()->ShownNodeCount(), 0); }

void TcxTreeListCellNavigator::SetFocusedCell(Integer ARowIndex, Integer ACellIndex, TShiftState) {
  Integer Index = ARowIndex;
  TcxTreeListNode* Node = TreeList()->Nodes()->GetNodeByVisibleIndex(Index);
  Controller()->FocusRecordAndItem(Node ? Node->RecordIndex() : -1, GetCellItem(ARowIndex, ACellIndex));
}

bool TcxTreeListCellNavigator::FindFocusableCell(Integer& ARowIndex, Integer& ACellIndex, Integer ADirection,
                                                 bool AByRow) {
  if (TcxCustomCellNavigator::FindFocusableCell(ARowIndex, ACellIndex, ADirection, AByRow)) return true;
  auto* TLController = static_cast<TcxTreeListController*>(Controller());
  if (!AByRow || ADirection < 0 || ARowIndex != RowCount() - 1 || !TLController->CanInsertNow()) return false;
  TcxCustomTreeListControl* C = TreeList();
  if (!C->InsertNode(false) || !C->FocusedNode()) return false;
  // The new node is focused already: its own row, not one past the end.
  ARowIndex = C->FocusedNode()->VisibleIndex();
  ACellIndex = 0;
  return ARowIndex >= 0;
}

// ---- Controller: the rows view ----------------------------------------------------------------

std::unique_ptr<TcxCustomCellNavigator> TcxTreeListController::CreateCellNavigator() {
  return std::make_unique<TcxTreeListCellNavigator>(this);
}

std::unique_ptr<TcxCustomHitTestController> TcxTreeListController::CreateHitTestController() {
  return std::make_unique<TcxTreeListHitTest>(this);
}

TcxEditCellViewInfo* TcxTreeListController::GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) {
  TcxCustomTreeListControl* C = TreeList();
  auto* VI = dynamic_cast<TcxTreeListViewInfo*>(C->ViewInfo());
  if (!VI || C->IsDestroying() || C->IsLocked()) return nullptr;
  if (VI->IsDirty()) VI->Calculate();
  TcxTreeListNodeViewInfo* Row = VI->RowOfNode(C->FocusedNode());
  return Row ? Row->CellOfColumn(dynamic_cast<TcxTreeListColumn*>(AItem)) : nullptr;
}

void TcxTreeListController::MakeFocusedCellVisible() { MakeFocusedRecordVisible(); }

bool TcxTreeListController::MakeFocusedRecordVisible() {
  if (TcxTreeListNode* Node = TreeList()->FocusedNode()) TreeList()->MakeNodeVisible(Node);
  return true;
}

bool TcxTreeListController::CanDeleteNow() const { return TreeList()->ViewSettings().Deleting && !IsEditing(); }
bool TcxTreeListController::CanInsertNow() const { return TreeList()->ViewSettings().Inserting && !IsEditing(); }

void TcxTreeListController::ForgetNode(TcxTreeListNode* ANode) {
  if (FSizingElement == static_cast<IcxDragSizing*>(ANode)) FSizingElement = nullptr;
  if (FSelectionAnchor == ANode) FSelectionAnchor = nullptr;
  if (FLastFocused == ANode) FLastFocused = nullptr;
  if (FDragNode == ANode) FDragNode = nullptr;
  if (FExpandNode == ANode) {
    FExpandNode = nullptr;
    if (FExpandTimer) FExpandTimer->SetEnabled(false);
  }
}

void TcxTreeListController::FocusedRecordChanged() {
  if (!FSearching && IsIncSearching()) CancelIncSearch();
  TcxCustomControlController::FocusedRecordChanged();
  TcxCustomTreeListControl* C = TreeList();
  if (C->IsDestroying()) return;
  if (Navigator()) Navigator()->Refresh();
  if (TcxTreeListNode* Node = C->FocusedNode()) {
    // The same node again (its row moved) shows unless another node waits to.
    if (Node == FLastFocused)
      C->MakeFocusedNodeVisible();
    else
      C->MakeNodeVisible(Node);
  }
  // A focus moved by the user's key or click without Shift or Ctrl leaves
  // only the focused node selected; a focus moved by the program keeps the
  // selection. With Shift or Ctrl the node left becomes the anchor of a
  // range when there is none yet.
  if (FHandlerLock > 0 && !(FLastShift & (ssShift | ssCtrl)))
    ClearSelectionKeepFocused();
  else if (FHandlerLock > 0 && !FSelectionAnchor)
    FSelectionAnchor = FLastFocused;
  FLastFocused = C->FocusedNode();
  C->LayoutChanged();
}

// ---- Selection --------------------------------------------------------------------------------

void TcxTreeListController::ClearSelectionKeepFocused() {
  TcxCustomTreeListControl* C = TreeList();
  if (!C->IsMultiSelect()) return;
  FSelectionAnchor = nullptr;
  std::vector<TcxTreeListNode*> Keep;
  if (TcxTreeListNode* Focused = C->FocusedNode()) Keep.push_back(Focused);
  if (Keep != C->SelectionList()) C->SelectNodes(Keep);
}

void TcxTreeListController::SelectByShift(TcxTreeListNode* ANode, TShiftState AShift) {
  TcxCustomTreeListControl* C = TreeList();
  if (!C->IsMultiSelect() || !ANode || !ANode->IsVisible()) return;
  if (AShift & ssShift) {
    TcxTreeListNode* Anchor = FSelectionAnchor && FSelectionAnchor->IsVisible() ? FSelectionAnchor : C->FocusedNode();
    if (!Anchor) Anchor = ANode;
    std::vector<TcxTreeListNode*> Nodes;
    if (AShift & ssCtrl) Nodes = C->SelectionList();
    const bool Down = Anchor->VisibleIndex() <= ANode->VisibleIndex();
    for (TcxTreeListNode* N = Anchor; N; N = Down ? N->GetNextVisible() : N->GetPrevVisible()) {
      if (std::find(Nodes.begin(), Nodes.end(), N) == Nodes.end()) Nodes.push_back(N);
      if (N == ANode) break;
    }
    FSelectionAnchor = Anchor;
    C->SelectNodes(Nodes);
  } else if (AShift & ssCtrl) {
    // A Ctrl+click toggles; Ctrl alone (a key) only moves the anchor to a selected node.
    if (AShift & ssLeft) ANode->SetSelected(!ANode->Selected());
    if (ANode->Selected()) FSelectionAnchor = ANode;
  } else {
    ClearSelectionKeepFocused();
  }
}

// ---- Keyboard ---------------------------------------------------------------------------------

bool TcxTreeListController::IsNavigationKey(Word Key, TShiftState Shift) const {
  switch (Key) {
    case VK_END:
    case VK_HOME:
    case KeyExpandAll:
    case KeyExpand:
    case KeyCollapse: return !IsEditing() || (Shift & ssCtrl);
    default: return TcxCustomControlController::IsNavigationKey(Key, Shift);
  }
}

void TcxTreeListController::KeyDown(Word& Key, TShiftState Shift) {
  TCounterGuard Lock(FHandlerLock);
  FLastShift = Shift;
  const Word FirstKey = Key;
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListNode* Focused = C->FocusedNode();
  if (!KeyFromEditor() && HandleTreeKey(Key, Shift)) {
    Key = 0;
    FKeyHandled = true;
    if (IsPagingKey(FirstKey) && C->IsMultiSelect() && (Shift & ssShift)) SelectByShift(C->FocusedNode(), Shift);
    return;
  }
  if (Key == VK_SPACE && Focused && C->IsMultiSelect() && (Shift & (ssShift | ssCtrl))) {
    if (Shift & ssCtrl) {
      Focused->SetSelected(!Focused->Selected());
      if (Focused->Selected()) FSelectionAnchor = Focused;
    } else {
      SelectByShift(Focused, Shift);
    }
    Key = 0;
    FKeyHandled = true;
    return;
  }
  if ((Key == VK_LEFT || Key == VK_RIGHT) && Focused && Focused->HasChildren() && C->VisibleColumns().size() == 1 &&
      !(Shift & (ssShift | ssCtrl))) {
    if (Key == VK_LEFT && Focused->Expanded()) Focused->SetExpanded(false);
    else if (Key == VK_RIGHT && !Focused->Expanded()) Focused->SetExpanded(true);
    Key = 0;
    return;
  }
  TcxCustomControlController::KeyDown(Key, Shift);
  if (!IsPagingKey(FirstKey) || !C->IsMultiSelect() || !(Shift & ssShift)) return;
  SelectByShift(C->FocusedNode(), Shift);
}

void TcxTreeListController::KeyPress(Char& Key) {
  if (std::exchange(FKeyHandled, false)) return;
  TcxCustomTreeListControl* C = TreeList();
  TcxCustomInplaceEditContainer* Item = SearchItem();
  const bool Editing = C->DataController()->GetEditState() & (dceInsert | dceEdit);
  if (Key <= Char(31) || !Item || !Item->CanIncSearch() || Editing || !C->GetFirstNode())
    return TcxCustomControlController::KeyPress(Key);
  // The tree's own walk along the shown nodes: a character that no node's
  // text continues with is dropped from the search text.
  const String Text = IncSearchText() + Key;
  TcxTreeListNode* Start = IsIncSearching() && C->FocusedNode() ? C->FocusedNode() : C->GetFirstNode();
  Key = 0;
  if (!SearchFrom(Start, Item->ItemIndex(), true, Text)) return;
  const bool Saved = std::exchange(FSearching, true);
  try {
    IncSearch(Text);
  } catch (...) {
    FSearching = Saved;
    throw;
  }
  FSearching = Saved;
}

bool TcxTreeListController::HandleTreeKey(Word Key, TShiftState Shift) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListNode* Focused = C->FocusedNode();
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  const bool Ctrl = (Shift & ssCtrl) != 0;
  const std::vector<TcxTreeListColumn*> Columns = C->VisibleColumns();
  switch (Key) {
    case VK_END:
    case VK_HOME: {
      const bool End = Key == VK_END;
      if (!Ctrl) {
        if (!Columns.empty()) FocusRecordAndItem(GetFocusedRecordIndex(), End ? Columns.back() : Columns.front());
        return true;
      }
      C->SetTopVisibleIndex(End ? C->Nodes()->ShownNodeCount() - 1 : 0);
      if (VI->IsDirty()) VI->Calculate();
      if (VI->RowCount() > 0) C->FocusNode(VI->Rows(End ? VI->RowCount() - 1 : 0)->Node);
      return true;
    }
    case VK_INSERT:
      if (!Focused || !CanInsertNow()) return false;
      C->InsertNode(Ctrl);
      return true;
    case VK_DELETE: {
      if (!Ctrl || !CanDeleteNow()) return false;
      if (C->ViewSettings().ConfirmDelete &&
          !TcxEditingControl::ConfirmBox(LoadResString(cxSTreeListDeleteConfirmation),
                                         LoadResString(cxSTreeListConfirmCaption)))
        return false;
      const Integer Top = C->TopVisibleIndex();
      // The selection goes; the focused node only when nothing is selected.
      C->DeleteSelection();
      C->DataController()->PostRecord();
      C->SetTopVisibleIndex(Top);
      MakeFocusedRecordVisible();
      return true;
    }
    case KeyExpandAll:
      if (!Focused || !Focused->HasChildren()) return false;
      C->ShowHourGlass();
      Focused->Expand(true);
      return true;
    case KeyExpand:
    case KeyCollapse:
      if (!Focused || !Focused->HasChildren()) return false;
      Focused->SetExpanded(Key == KeyExpand);
      return true;
    default: return false;
  }
}

void TcxTreeListController::PageMove(bool ADown, bool AByKey, TShiftState) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  if (VI->IsDirty()) VI->Calculate();
  if (VI->RowCount() == 0) return;
  const Integer Page = VI->FullRowCount();
  const Integer Top = VI->TopIndex();
  TcxTreeListNode* Focused = C->FocusedNode();
  if (!AByKey) {
    C->SetTopVisibleIndex(ADown ? Top + std::max(Page - 1, 1) : Top - std::max(Page - 1, 1));
    return;
  }
  TcxTreeListNode* Edge = VI->Rows(ADown ? std::min(Page, VI->RowCount()) - 1 : 0)->Node;
  if (Edge == Focused && (ADown ? Edge->IsLastVisible() : Edge->IsFirstVisible())) return;
  // The focused node (the next one when a single row shows) becomes the top
  // row (bottom row for Page Up); the focus goes to the other end.
  const Integer Index = Focused ? Focused->VisibleIndex() : Top;
  const Integer Step = Page == 1 ? 1 : 0;
  C->SetTopVisibleIndex(ADown ? Index + Step : Index - Page + 1 - Step);
  if (VI->IsDirty()) VI->Calculate();
  const Integer Last = std::min(VI->FullRowCount(), VI->RowCount()) - 1;
  C->FocusNode(VI->Rows(ADown ? Last : 0)->Node);
}

void TcxTreeListController::ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) {
  TcxCustomTreeListControl* C = TreeList();
  if (C->IsLocked() || ACode == scEndScroll) return;
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  if (AKind == sbHorizontal) {
    const Integer Line = TextWidthInFont(C->Font(), u"W");
    const Integer Page = C->ContentBounds().Width();
    Integer Pos = VI->LeftPos();
    switch (ACode) {
      case scLineUp: Pos -= Line; break;
      case scLineDown: Pos += Line; break;
      case scPageUp: Pos -= Page; break;
      case scPageDown: Pos += Page; break;
      case scTop: Pos = 0; break;
      case scBottom: Pos = VI->ContentWidth(); break;
      default: Pos = APosition; break;
    }
    VI->SetLeftPos(std::clamp(Pos, 0, std::max(VI->ContentWidth() - Page, 0)));
    APosition = VI->LeftPos();
    return;
  }
  const Integer Top = VI->TopIndex();
  switch (ACode) {
    case scLineUp: C->SetTopVisibleIndex(Top - 1); break;
    case scLineDown: C->SetTopVisibleIndex(Top + 1); break;
    case scPageUp:
    case scPageDown: PageMove(ACode == scPageDown, false, 0); break;
    case scTop: C->SetTopVisibleIndex(0); break;
    case scBottom: C->SetTopVisibleIndex(C->Nodes()->ShownNodeCount()); break;
    default: C->SetTopVisibleIndex(APosition); break;
  }
  APosition = C->TopVisibleIndex();
}

// ---- Mouse ------------------------------------------------------------------------------------

void TcxTreeListController::HandleMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCounterGuard Lock(FHandlerLock);
  FLastShift = Shift;
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListHitTest* Hit = C->HitTest();
  Hit->HitTestAtPoint(X, Y, Shift);
  // A press on a sizing edge belongs to the sizing drag: it only ends an
  // open cell edit, with the value kept.
  if (Hit->HitAtCode(tlhcHorzSizingEdge) || Hit->HitAtCode(tlhcVertSizingEdge)) {
    if (IsEditing()) EditingController()->EndCellEdit(true);
    return;
  }
  if (Button == mbLeft && (Hit->HitAtCode(tlhcColumnHeader) || Hit->HitAtCode(tlhcBandHeader))) {
    if (TcxTreeListHeaderViewInfo* Header = Hit->HeaderAtPoint()) Header->Pressed = true;
    C->LayoutChanged();
    return;
  }
  TcxTreeListNode* Node = Hit->NodeAtPoint();
  if (Node && Button == mbLeft && Hit->HitAtCode(tlhcButton)) {
    Node->SetExpanded(!Node->Expanded());
    return;
  }
  if (Node && !Hit->HitAtCode(tlhcIndent) && !Hit->HitAtCode(tlhcButton)) {
    TcxCustomInplaceEditContainer* Column = Hit->HitAtCode(tlhcColumn) ? Hit->ColumnAtPoint() : FocusedItem();
    if (!Column && !C->VisibleColumns().empty()) Column = C->VisibleColumns().front();
    if ((Shift & (ssShift | ssCtrl)) && C->IsMultiSelect()) {
      FocusRecordAndItem(Node->RecordIndex(), Column);
      SelectByShift(Node, Shift);
      return;
    }
    TcxCustomControlController::HandleMouseDown(Button, Shift, X, Y);
    if (GetFocusedRecordIndex() != Node->RecordIndex() || FocusedItem() != Column)
      FocusRecordAndItem(Node->RecordIndex(), Column);
    if (C->IsMultiSelect() && (!C->FocusedNode() || !C->FocusedNode()->Selected())) ClearSelectionKeepFocused();
    return;
  }
  TcxCustomControlController::HandleMouseDown(Button, Shift, X, Y);
}

void TcxTreeListController::HandleMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCounterGuard Lock(FHandlerLock);
  FLastShift = Shift;
  TcxCustomControlController::HandleMouseUp(Button, Shift, X, Y);
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = C->TreeListViewInfo();
  for (const auto& Header : VI->ColumnHeaders()) {
    if (!Header->Pressed) continue;
    Header->Pressed = false;
    TcxTreeListHitTest* Hit = C->HitTest();
    Hit->HitTestAtPoint(X, Y, Shift);
    if (Hit->HeaderAtPoint() && Hit->HeaderAtPoint()->Column == Header->Column) {
      TcxTreeListColumn* Column = Header->Column;
      const TcxDataSortOrder Next = Column->SortOrder() == soAscending ? soDescending : soAscending;
      ChangeSortingByClick(Column, Next, Shift);
      C->DoColumnHeaderClick(Column);
    }
    C->LayoutChanged();
    return;
  }
  for (const auto& Header : VI->BandHeaders()) {
    if (!Header->Pressed) continue;
    Header->Pressed = false;
    TcxTreeListBand* Band = Header->Band;
    TcxTreeListHitTest* Hit = C->HitTest();
    Hit->HitTestAtPoint(X, Y, Shift);
    const bool Over = Hit->HitAtCode(tlhcBandHeader) && Hit->HeaderAtPoint() && Hit->HeaderAtPoint()->Band == Band;
    C->LayoutChanged();
    if (Over) C->DoBandHeaderClick(Band);
    return;
  }
}

void TcxTreeListController::HandleMouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCounterGuard Lock(FHandlerLock);
  TcxCustomControlController::HandleMouseMove(Shift, X, Y);
  TcxCustomTreeListControl* C = TreeList();
  if (!C->OptionsBehavior()->HotTrack() || C->IsLoading()) return;
  TcxTreeListHitTest* Hit = C->HitTest();
  SetHotNode(Hit->HitAtCode(tlhcNode) ? Hit->NodeAtPoint() : nullptr, Shift);
}

void TcxTreeListController::MouseLeave() {
  TcxCustomControlController::MouseLeave();
  SetHotNode(nullptr, 0);
}

void TcxTreeListController::SetHotNode(TcxTreeListNode* ANode, TShiftState AShift) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListNode* Old = C->HotTrackNode();
  if (ANode == Old) return;
  if (!Old) FSavedCursor = C->Cursor();
  C->SetHotTrackNode(ANode);
  TCursor Cursor = FSavedCursor;
  if (ANode) C->DoHotTrackNode(ANode, AShift, Cursor);
  C->SetCursor(Cursor);
  // The two rows take their looks anew.
  C->LayoutChanged();
}

void TcxTreeListController::DblClick() {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListHitTest* Hit = C->HitTest();
  Hit->RecalcHitTest();
  // A double click on a header's right edge fits the column or band to its content.
  if (Hit->HitAtCode(tlhcHorzSizingEdge)) {
    if (TcxTreeListHeaderViewInfo* Header = Hit->HeaderAtPoint()) {
      if (Header->Column) Header->Column->ApplyBestFit();
      else if (Header->Band) Header->Band->ApplyBestFit();
    }
    return;
  }
  TcxTreeListNode* Node = Hit->NodeAtPoint();
  if (Node && !Hit->HitAtCode(tlhcButton) && !IsEditing() && C->ViewSettings().ExpandOnDblClick &&
      Node->HasChildren())
    Node->SetExpanded(!Node->Expanded());
}

void TcxTreeListController::ChangeSortingByClick(TcxTreeListColumn* AColumn, TcxDataSortOrder AOrder,
                                                 TShiftState AShift) {
  TcxCustomTreeListControl* C = TreeList();
  const TcxTreeListViewSettings Settings = C->ViewSettings();
  if (!Settings.Sorting || !AColumn->Options()->Sorting) return;
  const TShiftState Shift = FHandlerLock > 0 ? FLastShift : AShift;
  C->ShowHourGlass();
  C->BeginSort();
  try {
    if (!((Shift & (ssShift | ssCtrl)) && Settings.MultiSort))
      for (Integer I = 0; I < C->ColumnCount(); ++I)
        if (C->GetColumn(I) != AColumn) C->GetColumn(I)->SetSortOrder(soNone);
    AColumn->SetSortOrder(Shift & ssCtrl ? soNone : AOrder);
  } catch (...) {
    C->EndSort();
    throw;
  }
  C->EndSort();
}

// ---- Incremental search -----------------------------------------------------------------------

TcxTreeListNode* TcxTreeListController::NextSearchNode(TcxTreeListNode* ANode, bool AForward) const {
  // With ExpandOnIncSearch collapsed nodes are searched too; they open on a match.
  if (TreeList()->OptionsBehavior()->ExpandOnIncSearch()) return AForward ? ANode->GetNext() : ANode->GetPrev();
  return AForward ? ANode->GetNextVisible() : ANode->GetPrevVisible();
}

bool TcxTreeListController::SearchFrom(TcxTreeListNode* AStart, Integer AItemIndex, bool AForward,
                                       const String& AText) {
  TcxCustomTreeListControl* C = TreeList();
  for (TcxTreeListNode* N = AStart; N; N = NextSearchNode(N, AForward)) {
    if (!SameTextOrPrefix(AText, N->Texts(AItemIndex))) continue;
    const bool Saved = std::exchange(FSearching, true);
    try {
      N->MakeVisible();
      if (N->IsVisible()) C->FocusNode(N);
    } catch (...) {
      FSearching = Saved;
      throw;
    }
    FSearching = Saved;
    return N->IsVisible();
  }
  return false;
}

bool TcxTreeListController::ProcessIncSearchKey(Word Key, TShiftState Shift) {
  // Ctrl+Up and Ctrl+Down look for the next match along the tree (the
  // shown nodes, or every node with ExpandOnIncSearch), never in record
  // order, which would reach nodes hidden under a collapsed parent.
  if (!IsIncSearching() || (Key != VK_UP && Key != VK_DOWN) || Shift != ssCtrl)
    return TcxCustomControlController::ProcessIncSearchKey(Key, Shift);
  TcxCustomTreeListControl* C = TreeList();
  TcxCustomInplaceEditContainer* Item = GetIncSearchingItem();
  const bool Down = Key == VK_DOWN;
  TcxTreeListNode* Focused = C->FocusedNode();
  TcxTreeListNode* Start = Focused ? NextSearchNode(Focused, Down) : C->GetFirstNode();
  if (Item && Start) SearchFrom(Start, Item->ItemIndex(), Down, IncSearchText());
  return true;
}

// ---- Sizing by dragging -----------------------------------------------------------------------

namespace {

// A column in a band of no set width may grow without limit.
constexpr Integer UnlimitedSizingWidth = 0x1FFFFFFF;
// The mouse grabs an edge up to this far from it, so the line may go as
// much further than the least size; the element's own clamp keeps the size.
constexpr Integer EdgeGrabReach = 3;

// The leftmost indent the column shows in front of its own width (only the
// columns that carry the tree).
Integer TreeIndentOf(const TcxTreeListColumn* AColumn) {
  const TcxCustomTreeListControl* C = AColumn->TreeList();
  return C && C->Bands()->IsTreeColumn(AColumn) ? C->Bands()->LeftMostIndent() : 0;
}

TcxCustomTreeListControl* TreeListOf(TcxTreeListNodesOwner* AOwner) {
  return static_cast<TcxCustomTreeListControl*>(AOwner);
}

TcxTreeListViewInfo* CurrentLayout(TcxCustomTreeListControl* ATreeList) {
  TcxTreeListViewInfo* VI = ATreeList->TreeListViewInfo();
  if (VI->IsDirty() && !ATreeList->IsLocked()) VI->Calculate();
  return VI;
}

TRect HeaderRectOf(TcxTreeListViewInfo* AViewInfo, TcxTreeListColumn* AColumn, TcxTreeListBand* ABand) {
  if (AColumn) {
    TcxTreeListColumnHeaderViewInfo* Header = AViewInfo->ColumnHeader(AColumn);
    return Header ? Header->DisplayRect() : TRect{};
  }
  for (const auto& Header : AViewInfo->BandHeaders())
    if (Header->Band == ABand) return Header->DisplayRect();
  for (const auto& [Band, Rect] : AViewInfo->BandRects())
    if (Band == ABand) return Rect;
  return TRect{};
}

// The range of a sizing line from AFrom (the element's left or top edge)
// plus its least size up to AFrom plus its greatest size.
TRect SizingRange(TcxSizingDirection ADirection, const TRect& AClient, Integer AFrom, Integer AMin, Integer AMax) {
  if (ADirection == cxsdHorizontal) return TRect{AFrom + AMin, AClient.Top, AFrom + AMax, AClient.Bottom};
  return TRect{AClient.Left, AFrom + AMin, AClient.Right, AFrom + AMax};
}

}  // namespace

// Node: row sizing.

bool TcxTreeListNode::CanSize(TcxSizingDirection ADirection) const {
  TcxCustomTreeListControl* C = TreeListOf(Control());
  return ADirection == cxsdVertical && C->OptionsCustomizing()->RowSizing() && !C->OptionsView()->CellAutoHeight();
}

TRect TcxTreeListNode::GetSizingBoundsRect(TcxSizingDirection ADirection) {
  TcxCustomTreeListControl* C = TreeListOf(Control());
  TcxTreeListNodeViewInfo* Row = CurrentLayout(C)->RowOfNode(this);
  const TRect Client = C->ClientRect();
  const Integer Top = Row ? Row->RowTop : Client.Top;
  return SizingRange(ADirection, Client, Top, 0, Client.Height());
}

bool TcxTreeListNode::IsDynamicUpdate() { return TreeListOf(Control())->OptionsCustomizing()->DynamicSizing(); }

void TcxTreeListNode::SetSizeDelta(TcxSizingDirection ADirection, Integer ADelta) {
  if (ADelta == 0 || ADirection != cxsdVertical) return;
  TcxCustomTreeListControl* C = TreeListOf(Control());
  C->SetDefaultRowHeight(C->DefaultRowHeight() + ADelta);
}

// Column.

bool TcxTreeListColumn::CanSize(TcxSizingDirection ADirection) const {
  TcxCustomTreeListControl* C = TreeList();
  if (!C) return false;
  if (ADirection == cxsdHorizontal) return Options()->Sizing() && C->OptionsCustomizing()->ColumnHorzSizing();
  return C->OptionsCustomizing()->ColumnVertSizing() && !C->OptionsView()->HeaderSingleLine();
}

Integer TcxTreeListColumn::GetSizingLimit() const {
  if (!Visible() || !FBand) return FMinWidth;
  if (FBand->Width() == 0) return UnlimitedSizingWidth;
  // The columns after this one keep their minimum (or, when they may not
  // be sized, their width); for the last column of its row, those before it.
  Integer Result = FBand->DisplayWidth() - FBand->LeftMostIndent();
  TcxTreeListBandRows* Rows = FBand->BandRows();
  for (Integer R = 0; R < Rows->Count(); ++R) {
    TcxTreeListBandRow* Row = Rows->Items(R);
    Integer Index = -1;
    for (Integer I = 0; I < Row->Count(); ++I)
      if (Row->Items(I) == this) Index = I;
    if (Index < 0) continue;
    const bool Last = Index == Row->Count() - 1;
    for (Integer I = 0; I < Row->Count(); ++I) {
      if (I == Index || (Last ? I > Index : I < Index)) continue;
      TcxTreeListColumn* Other = Row->Items(I);
      Result -= Other->CanSize(cxsdHorizontal) ? Other->MinWidth() : Other->DisplayWidth() - TreeIndentOf(Other);
    }
  }
  return std::max(Result, FMinWidth);
}

TRect TcxTreeListColumn::GetSizingBounds(TcxSizingDirection ADirection) const {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = CurrentLayout(C);
  const TRect Header = HeaderRectOf(VI, const_cast<TcxTreeListColumn*>(this), nullptr);
  const TRect Client = C->ClientRect();
  if (ADirection == cxsdHorizontal) {
    // The header may be wider than the column's own width (the tree's indent).
    const Integer Extra = std::max(Header.Width() - (FDisplayWidth - TreeIndentOf(this)), 0);
    return SizingRange(ADirection, Client, Header.Left, FMinWidth + Extra - EdgeGrabReach, GetSizingLimit() + Extra);
  }
  return SizingRange(ADirection, Client, Header.Top, VI->HeaderLineHeight(), Client.Height());
}

Integer TcxTreeListColumn::GetSizingStep(TcxSizingDirection ADirection) const {
  if (ADirection == cxsdHorizontal) return 1;
  TcxCustomTreeListControl* C = TreeList();
  return C ? std::max(CurrentLayout(C)->HeaderLineHeight(), 1) : 1;
}

bool TcxTreeListColumn::UseDynamicSizing() const {
  return TreeList() && TreeList()->OptionsCustomizing()->DynamicSizing();
}

void TcxTreeListColumn::SizeByDelta(TcxSizingDirection ADirection, Integer ADelta) {
  if (ADelta == 0) return;
  if (ADirection == cxsdVertical) return SetLineCount(FPosition.LineCount + ADelta);
  SetWidth(FDisplayWidth - TreeIndentOf(this) + ADelta);
  if (TcxCustomTreeListControl* C = TreeList()) C->DoColumnSizeChanged(this);
}

void TcxTreeListColumn::MakeVisible() {
  TcxCustomTreeListControl* C = TreeList();
  if (!C || !Visible() || !FBand || FBand->FixedKind() != tlbfNone) return;
  TcxTreeListViewInfo* VI = CurrentLayout(C);
  TcxTreeListColumnHeaderViewInfo* Header = VI->ColumnHeader(this);
  if (!Header) return;
  const TRect R = Header->DisplayRect();
  const TRect Content = C->ContentBounds();
  const Integer Left = Content.Left + (C->ViewSettings().Indicator ? C->ViewSettings().IndicatorWidth : 0);
  const Integer Right = Content.Right;
  Integer Shift = 0;
  if (R.Left < Left) Shift = R.Left - Left;
  else if (R.Right > Right) Shift = std::min(R.Right - Right, R.Left - Left);
  if (Shift != 0) VI->SetLeftPos(VI->LeftPos() + Shift);
}

// Band.

TRect TcxTreeListBand::GetSizingBoundsRect(TcxSizingDirection ADirection) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListViewInfo* VI = CurrentLayout(C);
  const TRect Header = HeaderRectOf(VI, nullptr, this);
  const TRect Client = C->ClientRect();
  if (ADirection == cxsdHorizontal)
    return SizingRange(ADirection, Client, Header.Left, RealMinWidth() + LeftMostIndent() - EdgeGrabReach,
                       UnlimitedSizingWidth);
  return SizingRange(ADirection, Client, Header.Top, VI->BandLineHeight(), Client.Height());
}

Integer TcxTreeListBand::GetSizingIncrement(TcxSizingDirection ADirection) {
  if (ADirection == cxsdHorizontal) return 1;
  return std::max(CurrentLayout(TreeList())->BandLineHeight(), 1);
}

bool TcxTreeListBand::IsDynamicUpdate() { return TreeList()->OptionsCustomizing()->DynamicSizing(); }

// Controller.

bool TcxTreeListController::PrepareSizing(const TPoint& P) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListHitTest* Hit = C->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  FSizingElement = nullptr;
  if (C->IsDesigning()) return false;
  const bool Horz = Hit->HitAtCode(tlhcHorzSizingEdge);
  if (!Horz && !Hit->HitAtCode(tlhcVertSizingEdge)) return false;
  FResizeDirection = Horz ? cxsdHorizontal : cxsdVertical;
  if (TcxTreeListHeaderViewInfo* Header = Hit->HeaderAtPoint())
    FSizingElement = Header->Column ? static_cast<IcxDragSizing*>(Header->Column) : Header->Band;
  else
    FSizingElement = Hit->EdgeNode();
  return FSizingElement != nullptr;
}

TCursor TcxTreeListController::GetSizingCursor(const TPoint& P) {
  TcxCustomTreeListControl* C = TreeList();
  if (C->IsDesigning() || C->DragAndDropState() != ddsNone) return crDefault;
  TcxTreeListHitTest* Hit = C->HitTest();
  if (Hit->HitPoint() != P) Hit->HitTestAtPoint(P.X, P.Y, 0);
  if (Hit->HitAtCode(tlhcHorzSizingEdge)) return crcxHorzSize;
  if (Hit->HitAtCode(tlhcVertSizingEdge)) return crcxVertSize;
  return crDefault;
}

TCursor TcxCustomTreeListControl::CursorAt(Integer X, Integer Y) {
  const TCursor Sizing = TreeListController()->GetSizingCursor(TPoint{X, Y});
  return Sizing != crDefault ? Sizing : TcxTreeListNodesOwner::CursorAt(X, Y);
}

// ---- Node drag and drop -----------------------------------------------------------------------

bool TcxTreeListController::IsDraggablePress(const TPoint& P) {
  TcxCustomTreeListControl* C = TreeList();
  if (C->IsDesigning() || IsEditing()) return false;
  TcxTreeListHitTest* Hit = C->HitTest();
  if (Hit->HitPoint() != P) Hit->HitTestAtPoint(P.X, P.Y, 0);
  if (Hit->HitAtCode(tlhcHorzSizingEdge) || Hit->HitAtCode(tlhcVertSizingEdge) || Hit->HitAtCode(tlhcIndent))
    return false;
  return Hit->NodeAtPoint() && Hit->NodeAtPoint()->Selected();
}

bool TcxTreeListController::IsCopyDrag() const {
  return (GetKeyState(VK_CONTROL) & 0x8000) && TreeList()->OptionsBehavior()->AutoDragCopy();
}

std::vector<TcxTreeListNode*> TcxTreeListController::DraggedNodes() const {
  TcxCustomTreeListControl* C = TreeList();
  std::vector<TcxTreeListNode*> Result = C->SelectionList();
  auto Add = [&Result](TcxTreeListNode* ANode) {
    if (ANode && std::find(Result.begin(), Result.end(), ANode) == Result.end()) Result.push_back(ANode);
  };
  // Without multi-selection DragFocusing moves the focus (and so the
  // selection) as the mouse passes: the drag source is what is dragged.
  if (!C->IsMultiSelect() && FDragNode) return {FDragNode};
  Add(C->FocusedNode());
  Add(FDragNode);
  return Result;
}

void TcxTreeListController::BeginNodeDrag() {
  TcxCustomTreeListControl* C = TreeList();
  FNodeDragging = true;
  FDragNode = C->FocusedNode();
  FExpandNode = nullptr;
  const TRect Rows = CurrentLayout(C)->NodesAreaRect();
  const Integer W = DragAutoScrollAreaWidth;
  struct TArea {
    TRect Rect;
    TScrollBarKind Kind;
    bool ToEnd;
  };
  const TArea Areas[4] = {{TRect{Rows.Left, Rows.Top, Rows.Right, Rows.Top + W}, sbVertical, false},
                          {TRect{Rows.Left, Rows.Bottom - W, Rows.Right, Rows.Bottom}, sbVertical, true},
                          {TRect{Rows.Left, Rows.Top, Rows.Left + W, Rows.Bottom}, sbHorizontal, false},
                          {TRect{Rows.Right - W, Rows.Top, Rows.Right, Rows.Bottom}, sbHorizontal, true}};
  const Integer HorzStep = TextWidthInFont(C->Font(), u"W");
  for (Integer I = 0; I < 4; ++I) {
    FAutoScrollAreas[I] = std::make_unique<TcxControllerAutoScrollingObject>(this);
    FAutoScrollAreas[I]->SetParams(Areas[I].Rect, Areas[I].Kind, Areas[I].Kind == sbVertical ? 1 : HorzStep,
                                   Areas[I].ToEnd);
  }
  FExpandTimer = std::make_unique<TTimer>(nullptr);
  FExpandTimer->SetEnabled(false);
  FExpandTimer->SetOnTimer(TNotifyEvent(this, &TcxTreeListController::DragExpandTimerFired));
}

void TcxTreeListController::EndNodeDrag() {
  for (auto& Area : FAutoScrollAreas) Area.reset();
  FExpandTimer.reset();
  FExpandNode = nullptr;
  FNodeDragging = false;
}

bool TcxTreeListController::NodeDragOver(TObject* ASource, const TPoint& P) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListHitTest* Hit = C->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  if (Hit->HitAtCode(tlhcButton)) {
    CheckDragExpand(P);
  } else {
    if (FExpandTimer) FExpandTimer->SetEnabled(false);
    FExpandNode = nullptr;
  }
  CheckAutoScrollAreas(P);
  if (ASource != C) return false;
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  TcxTreeListNode* Target = Hit->NodeAtPoint();
  if (!Target) return false;
  const std::vector<TcxTreeListNode*> Dragged = DraggedNodes();
  for (TcxTreeListNode* N : Dragged)
    if (N == Target || Target->HasAsParent(N)) return false;
  if (C->OptionsBehavior()->DragFocusing() && !Target->Focused()) C->FocusNode(Target);
  return true;
}

void TcxTreeListController::CheckDragExpand(const TPoint& P) {
  if (!FExpandTimer) return;
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListHitTest* Hit = C->HitTest();
  TcxTreeListNode* Node = Hit->HitAtCode(tlhcButton) ? Hit->NodeAtPoint() : nullptr;
  if (Node != FExpandNode) {
    FExpandTimer->SetEnabled(false);
    FExpandNode = nullptr;
  }
  if (FExpandNode || !Node) return;
  TcxTreeListOptionsBehavior* Behavior = C->OptionsBehavior();
  if (Node->Expanded() ? !Behavior->DragCollapse() : !Behavior->DragExpand()) return;
  if (Behavior->WaitForExpandNodeTime() < 0)
    throw ERangeError(u"WaitForExpandNodeTime out of range");
  FExpandTimer->SetInterval(Cardinal(Behavior->WaitForExpandNodeTime()));
  FExpandTimer->SetEnabled(true);
  FExpandNode = Node;
}

void TcxTreeListController::DragExpandTimerFired(TObject*) {
  if (FExpandTimer) FExpandTimer->SetEnabled(false);
  TcxTreeListNode* Node = std::exchange(FExpandNode, nullptr);
  if (!Node) return;
  // Only when the mouse still rests on that node's button.
  TcxCustomTreeListControl* C = TreeList();
  TPoint Screen;
  GetCursorPos(Screen);
  const TPoint P = C->ScreenToClient(Screen);
  TcxTreeListHitTest* Hit = C->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  if (Hit->HitAtCode(tlhcButton) && Hit->NodeAtPoint() == Node) Node->SetExpanded(!Node->Expanded());
}

void TcxTreeListController::CheckAutoScrollAreas(const TPoint& P) {
  bool Scrolling = false;
  for (auto& Area : FAutoScrollAreas) {
    if (!Area) continue;
    if (Scrolling) Area->Stop();
    else Scrolling = Area->CheckPoint(P);
  }
}

void TcxTreeListController::DropNodes(TObject* ASource, const TPoint& P) {
  TcxCustomTreeListControl* C = TreeList();
  if (ASource != C) return;
  TcxTreeListHitTest* Hit = C->HitTest();
  Hit->HitTestAtPoint(P.X, P.Y, 0);
  TcxTreeListNode* Target = Hit->NodeAtPoint();
  if (!Target) return;
  const TcxTreeListNodeAttachMode Mode =
      Hit->HitAtCode(tlhcColumn) || Hit->HitAtCode(tlhcPreview) ? tlamAddChild : tlamInsert;
  std::vector<TcxTreeListNode*> Nodes = DraggedNodes();
  const bool Copy = IsCopyDrag();
  C->BeginUpdate();
  try {
    C->MoveNodes(Target, Mode, Copy, Nodes);
  } catch (...) {
    C->EndUpdate();
    throw;
  }
  C->EndUpdate();
  ClearSelectionKeepFocused();
}

// The control's part of a node drag.

bool TcxCustomTreeListControl::CanStartAutoDrag() {
  return TcxTreeListNodesOwner::CanStartAutoDrag() && TreeListController()->IsDraggablePress(DragStartPos());
}

bool TcxCustomTreeListControl::AcceptsStartDrag(TDragObject* DragObject) {
  // The last hit test (at the press) must be on a selected node's row and
  // not on its indent.
  TcxTreeListHitTest* Hit = HitTest();
  TcxTreeListNode* Node = Hit->NodeAtPoint();
  return TcxTreeListNodesOwner::AcceptsStartDrag(DragObject) && Hit->HitAtCode(tlhcNode) && Node &&
         Node->Selected() && !Hit->HitAtCode(tlhcIndent);
}

void TcxCustomTreeListControl::DoStartDrag(TDragObject*& DragObject) {
  TcxTreeListNodesOwner::DoStartDrag(DragObject);
  if (DragObject) TreeListController()->BeginNodeDrag();
}

void TcxCustomTreeListControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TreeListController()->EndNodeDrag();
  TcxTreeListNodesOwner::DoEndDrag(Target, X, Y);
}

void TcxCustomTreeListControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = State != dsDragLeave && TreeListController()->NodeDragOver(Source, TPoint{X, Y});
  // A handler has the last word.
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TcxCustomTreeListControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  TcxTreeListController* Controller = TreeListController();
  TcxTreeListNode* Dragged = Controller->DragNode();
  Controller->DropNodes(Source, TPoint{X, Y});
  TcxTreeListNodesOwner::DragDrop(Source, X, Y);
  // The dragged node keeps the focus where it went.
  if (Source == this && Dragged && Controller->DragNode() == Dragged && !Controller->IsCopyDrag()) FocusNode(Dragged);
  if (FocusedNode()) MakeNodeVisible(FocusedNode());
}

TcxTreeListNode* TcxCustomTreeListControl::DraggedPictureNode() {
  // The node pressed at the start, wherever the mouse went since.
  if (TcxTreeListNode* Node = TreeListController()->DragNode()) return Node;
  return HitTest()->NodeAtPoint();
}

TRect TcxCustomTreeListControl::GetDragImageBounds() {
  const std::vector<TcxTreeListColumn*> Columns = VisibleColumns();
  if (Columns.empty()) return TRect{};
  const TPoint P = DragStartPos();
  TcxTreeListNode* Node = DraggedPictureNode();
  TcxViewParams Params = Styles()->GetContentParams(Node, Columns.front());
  const Integer Height = TextHeightInFont(Params.Font ? Params.Font : Font(), u"Wg");
  TRect R{P.X, P.Y, P.X + Columns.front()->DisplayWidth(), P.Y + Height};
  InflateRect(R, 2, 2);
  return R;
}

void TcxCustomTreeListControl::DrawDragPicture(TCanvas* ACanvas) {
  const std::vector<TcxTreeListColumn*> Columns = VisibleColumns();
  TcxTreeListNode* Node = DraggedPictureNode();
  if (Columns.empty() || !Node) return;
  const TRect R = GetDragImageBounds();
  TcxViewParams Params = Styles()->GetContentParams(Node, Columns.front());
  ACanvas->Brush()->SetColor(Params.Color == clDefault ? clWindow : Params.Color);
  ACanvas->FillRect(R);
  ACanvas->Brush()->SetColor(clWindowText);
  ACanvas->FrameRect(R);
  if (Params.Font) ACanvas->Font()->Assign(Params.Font);
  ACanvas->Font()->SetColor(Params.TextColor == clDefault ? clWindowText : Params.TextColor);
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->TextRect(R, R.Left + 2, R.Top + 2, Columns.front()->GetDisplayText(Node));
}

// ---- The focus check after a layout ------------------------------------------------------------

void TcxCustomTreeListControl::CheckFocus() {
  TcxTreeListController* C = TreeListController();
  if (FCheckingFocus || !C || IsLoading() || IsDestroying() || C->GetFocusedRecordIndex() < 0) return;
  TcxFlagGuard Guard(FCheckingFocus, true);
  TcxTreeListNode* Node = FocusedNode();
  if (!Node) Node = GetFirstNode();
  while (Node && !Node->IsVisible()) Node = Node->Parent() && Node->Parent()->Parent() ? Node->Parent() : nullptr;
  if (!Node) return;
  auto* Column = dynamic_cast<TcxTreeListColumn*>(C->FocusedItem());
  if (OptionsSelection()->CellSelect()) {
    std::vector<TcxTreeListColumn*> Shown = VisibleColumns();
    if (FPreview->Active()) std::erase(Shown, FPreview->Column());
    const bool Hidden = std::find(Shown.begin(), Shown.end(), Column) == Shown.end();
    if (!Shown.empty() && (!Column || Hidden || IsGroupNode(Node))) Column = Shown.front();
  }
  const bool OtherRecord = Node->RecordIndex() != C->GetFocusedRecordIndex();
  if (Column != C->FocusedItem() || (OtherRecord && DragAndDropState() == ddsNone && !Dragging()))
    C->FocusRecordAndItem(Node->RecordIndex(), Column);
}
