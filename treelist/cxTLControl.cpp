#include "treelist/cxTLControl.h"

#include <algorithm>
#include <utility>

#include "platform/gui/clipboard.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxEditingController.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLController.h"
#include "treelist/cxTLCustomizationForm.h"
#include "treelist/cxTLSorting.h"
#include "treelist/cxTLViewInfo.h"

namespace {

class TUpdateGuard {
public:
  explicit TUpdateGuard(TcxCustomTreeListControl* AControl) : FControl(AControl) { FControl->BeginUpdate(); }
  ~TUpdateGuard() { FControl->EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
  TcxCustomTreeListControl* FControl;
};

}  // namespace

// ---- TcxTreeListColumn --------------------------------------------------------------------------

// ---- Caption ----

TcxTreeListCaption::TcxTreeListCaption(std::function<void()> AOnChange) : FOnChange(std::move(AOnChange)) {}

TcxTreeListCaption::~TcxTreeListCaption() = default;

void TcxTreeListCaption::Changed() {
  if (FOnChange) FOnChange();
}

void TcxTreeListCaption::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListCaption*>(ASource);
  if (!Source) return TPersistent::Assign(ASource);
  FText = Source->FText;
  FAlignHorz = Source->FAlignHorz;
  FAlignVert = Source->FAlignVert;
  FGlyph.reset();
  if (Source->HasGlyph()) {
    FGlyph = std::make_unique<TBitmap>();
    FGlyph->Assign(Source->FGlyph.get());
  }
  FGlyphAlignHorz = Source->FGlyphAlignHorz;
  FGlyphAlignVert = Source->FGlyphAlignVert;
  FMultiLine = Source->FMultiLine;
  FShowEndEllipsis = Source->FShowEndEllipsis;
  Changed();
}

void TcxTreeListCaption::SetText(const String& AValue) {
  if (FText == AValue) return;
  FText = AValue;
  Changed();
}

void TcxTreeListCaption::SetAlignHorz(TAlignment AValue) {
  if (FAlignHorz == AValue) return;
  FAlignHorz = AValue;
  Changed();
}

void TcxTreeListCaption::SetAlignVert(TcxAlignmentVert AValue) {
  if (FAlignVert == AValue) return;
  FAlignVert = AValue;
  Changed();
}

void TcxTreeListCaption::SetGlyph(TBitmap* AValue) {
  if (!AValue || AValue->Empty()) {
    if (!FGlyph) return;
    FGlyph.reset();
  } else {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    FGlyph->Assign(AValue);
  }
  Changed();
}

bool TcxTreeListCaption::HasGlyph() const { return FGlyph && !FGlyph->Empty(); }

void TcxTreeListCaption::SetGlyphAlignHorz(TAlignment AValue) {
  if (FGlyphAlignHorz == AValue) return;
  FGlyphAlignHorz = AValue;
  if (HasGlyph()) Changed();
}

void TcxTreeListCaption::SetGlyphAlignVert(TcxAlignmentVert AValue) {
  if (FGlyphAlignVert == AValue) return;
  FGlyphAlignVert = AValue;
  if (HasGlyph()) Changed();
}

void TcxTreeListCaption::SetMultiLine(bool AValue) {
  if (FMultiLine == AValue) return;
  FMultiLine = AValue;
  Changed();
}

void TcxTreeListCaption::SetShowEndEllipsis(bool AValue) {
  if (FShowEndEllipsis == AValue) return;
  FShowEndEllipsis = AValue;
  Changed();
}

Integer TcxTreeListCaption::GlyphWidthBesideText() const {
  return HasGlyph() && FGlyphAlignHorz != taCenter ? FGlyph->Width() : 0;
}

// ---- Column ----

TcxTreeListColumn::TcxTreeListColumn(TcxCustomTreeListControl* ATreeList)
    : TcxCustomInplaceEditContainer(nullptr),
      FSummaryFooter(std::make_unique<TcxTreeListColumnSummaryFooter>(this)),
      FCaptionSettings(std::make_unique<TcxTreeListCaption>([this] { Changed(); })) {
  ReplaceStyles(std::make_unique<TcxTreeListColumnStyles>(this));
  ReplaceOptions(std::make_unique<TcxTreeListColumnOptions>(this));
  if (ATreeList) SetEditingControl(ATreeList);
}

TcxTreeListColumn::~TcxTreeListColumn() {
  // The footer summary item names the column: it goes first.
  if (TcxCustomTreeListControl* C = TreeList(); C && !C->IsDestroying())
    if (TcxDataSummaryItem* Item = FSummaryFooter->SummaryItem()) Item->Free();
  if (TcxCustomTreeListControl* C = TreeList()) C->ColumnDestroying(this);
  // The band's rows are built without the column.
  if (TcxTreeListBand* Band = FBand) {
    Band->RemoveColumn(this);
    FBand = nullptr;
    Band->Changed();
  }
}

TcxCustomTreeListControl* TcxTreeListColumn::TreeList() const {
  return dynamic_cast<TcxCustomTreeListControl*>(EditingControl());
}

void TcxTreeListColumn::Changed() {
  if (FBand) return FBand->Changed();
  if (TcxCustomTreeListControl* C = TreeList(); C && !C->IsLocked()) C->LayoutChanged();
}

void TcxTreeListColumn::SetVisible(bool AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  Changed();
}

void TcxTreeListColumn::SetWidth(Integer AValue) {
  AValue = std::max(AValue, FMinWidth);
  if (FWidth == AValue) return;
  FWidth = AValue;
  FDisplayWidth = AValue;
  Changed();
}

void TcxTreeListColumn::SetMinWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (FMinWidth == AValue) return;
  FMinWidth = AValue;
  if (FWidth < AValue) {
    FWidth = AValue;
    FDisplayWidth = std::max(FDisplayWidth, AValue);
  }
  Changed();
}

void TcxTreeListColumn::SetColIndex(Integer AValue) {
  FPosition.ColIndex = std::max(AValue, 0);
  Changed();
}

void TcxTreeListColumn::SetRowIndex(Integer AValue) {
  FPosition.RowIndex = std::max(AValue, 0);
  Changed();
}

void TcxTreeListColumn::SetLineCount(Integer AValue) {
  FPosition.LineCount = std::max(AValue, 1);
  Changed();
}

TcxDataSortOrder TcxTreeListColumn::SortOrder() const {
  TcxCustomTreeListControl* C = TreeList();
  return C && ItemIndex() >= 0 ? C->GetItemSortOrder(ItemIndex()) : soNone;
}

void TcxTreeListColumn::SetSortOrder(TcxDataSortOrder AValue) {
  if (!Options()->Sorting) AValue = soNone;
  TcxCustomTreeListControl* C = TreeList();
  if (!C || ItemIndex() < 0 || SortOrder() == AValue) return;
  C->SetItemSortOrder(ItemIndex(), AValue);
  Changed();
}

bool TcxTreeListColumn::IsSortable() const {
  // Bit 7 of the editor features: the editor's values can be sorted.
  constexpr TcxEditEditorFeatures SortingFeature = 0x80;
  const TcxCustomTreeListControl* C = TreeList();
  if (C && C->OnCompare) return true;
  if (OnGetEditProperties) return false;
  TcxCustomEditProperties* Properties = GetDefaultProperties();
  return Properties && (Properties->GetEditorFeatures() & SortingFeature);
}

String TcxTreeListColumn::GetDisplayText(TcxTreeListNode* ANode) {
  TcxCustomTreeListControl* C = TreeList();
  String Result = C && ANode && ItemIndex() >= 0 ? C->GetNodeText(ANode, ItemIndex()) : String();
  OnGetDisplayText(this, ANode, Result);
  return Result;
}

void TcxTreeListColumn::RestoreDefaults() {
  auto Restore = [this] {
    Options()->RestoreDefaults();
    SetSortOrder(soNone);
    FCaptionSettings->SetAlignHorz(taLeftJustify);
    FCaptionSettings->SetAlignVert(vaTop);
    FMinWidth = DefaultMinWidth;
    SetWidth(DefaultWidth);
    Changed();
  };
  if (TcxCustomTreeListControl* C = TreeList()) {
    TUpdateGuard Update(C);
    Restore();
  } else {
    Restore();
  }
}

const std::vector<String>& TcxTreeListColumn::GetStoredPropertyNames() {
  static const std::vector<String> Names{u"Visible",   u"Index",   u"LineCount", u"ColIndex",  u"RowIndex",
                                         u"BandIndex", u"Caption", u"SortOrder", u"SortIndex", u"RealMinWidth",
                                         u"RealWidth"};
  return Names;
}

Variant TcxTreeListColumn::GetStoredPropertyValue(const String& AName) const {
  auto Is = [&](const char16_t* AText) { return SameText(AName, String(AText)); };
  if (Is(u"Visible")) return Variant(FVisible);
  if (Is(u"Index")) return Variant(ItemIndex());
  if (Is(u"LineCount")) return Variant(FPosition.LineCount);
  if (Is(u"ColIndex")) return Variant(FPosition.ColIndex);
  if (Is(u"RowIndex")) return Variant(FPosition.RowIndex);
  if (Is(u"BandIndex")) return Variant(FPosition.BandIndex);
  if (Is(u"Caption")) return Variant(Caption());
  if (Is(u"SortOrder")) return Variant(Integer(SortOrder()));
  if (Is(u"RealMinWidth")) return Variant(FMinWidth);
  if (Is(u"RealWidth")) return Variant(FWidth);
  return Null();
}

void TcxTreeListColumn::SetStoredPropertyValue(const String& AName, const Variant& AValue) {
  auto Is = [&](const char16_t* AText) { return SameText(AName, String(AText)); };
  if (Is(u"Visible")) SetVisible(AValue.AsBoolean());
  else if (Is(u"Index")) SetIndex(AValue.AsInteger());
  else if (Is(u"LineCount")) SetLineCount(AValue.AsInteger());
  else if (Is(u"ColIndex")) SetColIndex(AValue.AsInteger());
  else if (Is(u"RowIndex")) SetRowIndex(AValue.AsInteger());
  else if (Is(u"BandIndex")) SetBandIndex(AValue.AsInteger());
  else if (Is(u"Caption")) SetCaption(VarToStr(AValue));
  else if (Is(u"SortOrder")) {
    const Integer Order = AValue.AsInteger();
    if (Order >= soNone && Order <= soDescending) SetSortOrder(TcxDataSortOrder(Order));
  } else if (Is(u"RealMinWidth")) SetMinWidth(AValue.AsInteger());
  else if (Is(u"RealWidth")) {
    FWidth = std::max(AValue.AsInteger(), FMinWidth);
    FDisplayWidth = FWidth;
  }
}

// ---- TcxTreeListController ----------------------------------------------------------------------

TcxTreeListController::TcxTreeListController(TcxCustomTreeListControl* AControl)
    : TcxCustomControlController(AControl) {}

TcxCustomTreeListControl* TcxTreeListController::TreeList() const {
  return static_cast<TcxCustomTreeListControl*>(EditingControl());
}

void TcxTreeListController::FocusedItemChanged(TcxCustomInplaceEditContainer* APrevItem) {
  TcxCustomControlController::FocusedItemChanged(APrevItem);
  TreeList()->DoFocusedColumnChanged(dynamic_cast<TcxTreeListColumn*>(APrevItem),
                                     dynamic_cast<TcxTreeListColumn*>(FocusedItem()));
}

// ---- TcxCustomTreeListControl -------------------------------------------------------------------

TcxCustomTreeListControl::TcxCustomTreeListControl(TComponent* AOwner)
    : TcxTreeListNodesOwner(AOwner),
      FChangeTimer(std::make_unique<TTimer>(nullptr)),
      FNavigatorNotifier(std::make_unique<TcxNavigatorControlNotifier>()),
      FBands(std::make_unique<TcxTreeListBands>(this)) {
  FChangeTimer->SetEnabled(false);
  FChangeTimer->SetInterval(0);
  FChangeTimer->SetOnTimer(TNotifyEvent(this, [this](TObject* S) { ChangeTimerTick(S); }));
  CreateSubobjects();
  FOptionsCustomizing = CreateOptionsCustomizing();
  FOptionsSelection = CreateOptionsSelection();
  FPreview = CreatePreview();
  SetBounds(Left(), Top(), DefaultWidth, DefaultHeight);
}

std::unique_ptr<TcxCustomControlController> TcxCustomTreeListControl::CreateController() {
  return std::make_unique<TcxTreeListController>(this);
}

std::unique_ptr<TcxCustomControlStyles> TcxCustomTreeListControl::CreateStyles() {
  return std::make_unique<TcxTreeListStyles>(this);
}

std::unique_ptr<TcxControlOptionsView> TcxCustomTreeListControl::CreateOptionsView() {
  return std::make_unique<TcxTreeListOptionsView>(this);
}

std::unique_ptr<TcxControlOptionsData> TcxCustomTreeListControl::CreateOptionsData() {
  return std::make_unique<TcxTreeListOptionsData>(this);
}

std::unique_ptr<TcxControlOptionsBehavior> TcxCustomTreeListControl::CreateOptionsBehavior() {
  return std::make_unique<TcxTreeListOptionsBehavior>(this);
}

std::unique_ptr<TcxTreeListOptionsCustomizing> TcxCustomTreeListControl::CreateOptionsCustomizing() {
  return std::make_unique<TcxTreeListOptionsCustomizing>(this);
}

std::unique_ptr<TcxTreeListOptionsSelection> TcxCustomTreeListControl::CreateOptionsSelection() {
  return std::make_unique<TcxTreeListOptionsSelection>(this);
}

std::unique_ptr<TcxTreeListPreview> TcxCustomTreeListControl::CreatePreview() {
  return std::make_unique<TcxTreeListPreview>(this);
}

TcxCustomTreeListControl::~TcxCustomTreeListControl() {
  FChangeTimer->SetEnabled(false);
  FDestroyingColumns = true;
  FBands->BeginUpdate();
  NotifyListeners();
  // Columns leave while the data controller still holds their fields.
  while (!FColumns.empty()) FColumns.pop_back();
  FBands.reset();
}

// ---- Change notice, listeners ----

void TcxCustomTreeListControl::ChangeTimerTick(TObject*) {
  if (!IsLoading() && !IsDestroying()) DoChange(false);
}

void TcxCustomTreeListControl::AddListener(IcxTreeListListener* AListener) {
  if (std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end()) FListeners.push_back(AListener);
}

void TcxCustomTreeListControl::RemoveListener(IcxTreeListListener* AListener) { std::erase(FListeners, AListener); }

void TcxCustomTreeListControl::NotifyListeners() {
  // A listener may leave while the others are told.
  for (IcxTreeListListener* L : std::vector<IcxTreeListListener*>(FListeners)) {
    if (std::find(FListeners.begin(), FListeners.end(), L) == FListeners.end()) continue;
    if (FDestroyingColumns)
      L->TreeListRemoved(this);
    else
      L->TreeListChanged(this);
  }
}

void TcxCustomTreeListControl::ShowHourGlass() {
  if (!OptionsBehavior()->ShowHourGlass() || FHourGlassShowing || !Screen) return;
  FSavedScreenCursor = Screen->Cursor();
  Screen->SetCursor(crHourGlass);
  FHourGlassShowing = true;
}

void TcxCustomTreeListControl::LayoutChanged() {
  TcxTreeListNodesOwner::LayoutChanged();
  if (IsLocked() || IsDestroying() || FDestroyingColumns) return;
  if (std::exchange(FHourGlassShowing, false) && Screen) Screen->SetCursor(FSavedScreenCursor);
  CheckFocus();
  DoLayoutChanged();
  NotifyListeners();
}

void TcxCustomTreeListControl::ApplyDataChange(TcxUpdateControlInfo* AInfo) {
  if (IsDestroying() || FDestroyingColumns) return;
  auto* Data = dynamic_cast<TcxDataChangedInfo*>(AInfo);
  if (Data && (Data->Kind == dcValue || Data->Kind == dcRecord) && !Controller()->IsEditing()) {
    // One record: its node takes its sorted place among its siblings and
    // its row shows the new values.
    if (TcxTreeListNode* Node = GetNodeByRecord(Data->RecordIndex)) {
      if (Data->Kind == dcValue) RecordValueChanged(Node, GetColumn(Data->ItemIndex));
      else {
        RecordChanged(Node);
        DoNodeChanged(Node, nullptr);
      }
    }
  } else {
    TcxTreeListNodesOwner::ApplyDataChange(AInfo);
    if (auto* Focus = dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo))
      DoFocusedNodeChanged(GetNodeByRecord(Focus->PrevFocusedRecordIndex), GetNodeByRecord(Focus->FocusedRecordIndex));
    else if (Data)
      DoDataChanged();
  }
  if (!IsLocked() && !IsLoading()) FNavigatorNotifier->Notify();
}

void TcxCustomTreeListControl::RecordValueChanged(TcxTreeListNode* ANode, TcxTreeListColumn* AColumn) {
  RecordChanged(ANode);
  DoNodeChanged(ANode, AColumn);
}

void TcxCustomTreeListControl::RecordChanged(TcxTreeListNode* ANode) {
  // Every changed node is re-sorted, on screen or not: a node scrolled into
  // view later must already stand in its place.
  if (HasSortedItems() && ANode->Parent() && !IsSortLocked()) {
    RaiseEvent(OnSorting, this);
    try {
      BuildSortInfo();
      SortingManager()->SortChildren(ANode->Parent(), nullptr, false);
    } catch (...) {
      RaiseEvent(OnAfterSorting, this);
      throw;
    }
    if (ANode->Focused() && !IsLocked()) MakeNodeVisible(ANode);
    RaiseEvent(OnAfterSorting, this);
  }
  if (!IsLocked()) LayoutChanged();
}

// ---- Events ----

void TcxCustomTreeListControl::DoFocusedNodeChanged(TcxTreeListNode* APrevNode, TcxTreeListNode* ANode) {
  RaiseEvent(OnFocusedNodeChanged, this, APrevNode, ANode);
  if (!IsMultiSelect()) SelectionChanged();
}

void TcxCustomTreeListControl::DoFocusedColumnChanged(TcxTreeListColumn* APrevColumn, TcxTreeListColumn* AColumn) {
  RaiseEvent(OnFocusedColumnChanged, this, APrevColumn, AColumn);
}

void TcxCustomTreeListControl::DoNodeChanged(TcxTreeListNode* ANode, TcxTreeListColumn* AColumn) {
  RaiseEvent(OnNodeChanged, this, ANode, AColumn);
}

void TcxCustomTreeListControl::DoHotTrackNode(TcxTreeListNode* ANode, TShiftState AShift, TCursor& ACursor) {
  ACursor = Cursor();
  RaiseEvent(OnHotTrackNode, this, ANode, AShift, ACursor);
}

Integer TcxCustomTreeListControl::GetNodeImageIndex(const TcxTreeListNode* ANode,
                                                    TcxTreeListImageIndexType AType) const {
  if (!ANode) return -1;
  Integer Result = ANode->StoredImageIndex(AType);
  if (AType == tlitSelectedIndex && Result == -1 && OptionsView()->UseImageIndexForSelected())
    Result = ANode->StoredImageIndex(tlitImageIndex);
  auto* Self = const_cast<TcxCustomTreeListControl*>(this);
  Self->RaiseEvent(OnGetNodeImageIndex, Self, const_cast<TcxTreeListNode*>(ANode), AType, Result);
  return Result;
}

Integer TcxCustomTreeListControl::GetImagesWidth() const {
  const Integer Lists = (Images() ? 1 : 0) + (StateImages() ? 1 : 0);
  return Lists * TcxTreeListViewInfo::CalculateIndentStep(this);
}

bool TcxCustomTreeListControl::IsGroupNode(TcxTreeListNode* ANode) {
  if (OptionsView()->PaintStyle() != tlpsCategorized) return false;
  bool Result = ANode->HasChildren();
  RaiseEvent(OnIsGroupNode, this, ANode, Result);
  return Result;
}

void TcxCustomTreeListControl::ColumnDestroying(TcxTreeListColumn* AColumn) {
  // Nothing keeps a column that goes.
  if (FPreview && FPreview->Column() == AColumn) FPreview->SetColumn(nullptr);
  OptionsView()->ColumnRemoved(AColumn);
  if (OptionsBehavior()->IncSearchItem() == AColumn) OptionsBehavior()->SetIncSearchItem(nullptr);
}

void TcxCustomTreeListControl::FlattenColumnPositions() {
  // The places in the one row follow the old rows.
  const std::vector<TcxTreeListColumn*> Ordered = VisibleColumns();
  for (const auto& Column : FColumns) {
    Column->FPosition.RowIndex = 0;
    Column->FPosition.LineCount = 1;
  }
  Integer Col = 0;
  for (TcxTreeListColumn* C : Ordered) C->FPosition.ColIndex = Col++;
  // The bands build their rows anew from the flat places.
  BeginUpdate();
  for (Integer I = 0; I < FBands->Count(); ++I) FBands->Items(I)->Changed();
  EndUpdate();
}

TcxTreeListColumn* TcxCustomTreeListControl::CreateColumn() { return CreateColumn(nullptr); }

TcxTreeListColumn* TcxCustomTreeListControl::GetColumn(Integer AIndex) const {
  // An item of another kind (a plain container item) is no column.
  return AIndex >= 0 && AIndex < ItemCount() ? dynamic_cast<TcxTreeListColumn*>(GetControlItem(AIndex)) : nullptr;
}

void TcxCustomTreeListControl::RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) {
  TcxTreeListNodesOwner::RemoveContainerItem(AItem);
  if (FDestroyingColumns) return;
  // A column freed by its user (not through the control) leaves the owned list.
  const auto It = std::find_if(FColumns.begin(), FColumns.end(), [&](const auto& C) { return C.get() == AItem; });
  if (It != FColumns.end()) {
    It->release();
    FColumns.erase(It);
  }
}

std::vector<TcxTreeListColumn*> TcxCustomTreeListControl::VisibleColumns() const { return FBands->VisibleColumns(); }

void TcxCustomTreeListControl::SetColumnPosition(TcxTreeListColumn* AColumn, Integer AColIndex, bool ANewRow,
                                                 Integer ARowIndex) {
  FBands->SetColumnPosition(AColumn, AColumn->FPosition.BandIndex, AColIndex, ANewRow, ARowIndex);
}

Integer TcxCustomTreeListControl::ApplyAutoWidth(Integer AWidth) { return FBands->ApplyAutoWidth(AWidth); }

// ---- Focus ----

TcxTreeListNode* TcxCustomTreeListControl::FocusedNode() const {
  return GetNodeByRecord(DataController()->GetFocusedRecordIndex());
}

void TcxCustomTreeListControl::SetFocusedNode(TcxTreeListNode* ANode) {
  if (!ANode) {
    DataController()->FocusRow(-1);
    return;
  }
  if (ANode->IsVisible()) FocusNode(ANode);
}

void TcxCustomTreeListControl::SetNodeFocused(TcxTreeListNode* ANode, bool AValue) {
  if (AValue)
    SetFocusedNode(ANode);
  else if (ANode && ANode == FocusedNode())
    SetFocusedNode(nullptr);
}

void TcxCustomTreeListControl::FocusNode(TcxTreeListNode* ANode) {
  if (ANode->RecordIndex() >= 0) DataController()->FocusRecord(ANode->RecordIndex());
}

void TcxCustomTreeListControl::ForgetNode(TcxTreeListNode* ANode) {
  if (FHotTrackNode == ANode) FHotTrackNode = nullptr;
  if (FNodeToShow == ANode) FNodeToShow = nullptr;
  if (Controller()) TreeListController()->ForgetNode(ANode);
  const auto It = std::find(FDeletingNodes.begin(), FDeletingNodes.end(), ANode);
  if (It != FDeletingNodes.end()) FDeletingNodes.erase(It);
  if (!IsDestroying() && ANode->Focused()) FFocusedNodeRemoved = true;
}

void TcxCustomTreeListControl::SaveFocusedPosition() {
  TcxTreeListNode* Focused = FocusedNode();
  FSavedFocusedIndex = Focused ? Focused->VisibleIndex() : -1;
  FFocusedNodeRemoved = false;
}

void TcxCustomTreeListControl::RestoreFocusedPosition() {
  const bool Removed = FFocusedNodeRemoved;
  FFocusedNodeRemoved = false;
  if (!Removed || FSavedFocusedIndex < 0) return;
  Integer Index = FSavedFocusedIndex;
  FSavedFocusedIndex = -1;
  if (Nodes()->Root()->Count() == 0) {
    DataController()->FocusRecord(-1);
    return;
  }
  if (TcxTreeListNode* Node = Nodes()->GetNodeByVisibleIndex(Index)) FocusNode(Node);
}

void TcxCustomTreeListControl::EndUpdate() {
  const bool Outermost = LockCount() == 1 && !IsDestroying();
  // Band rows held back by the update are rebuilt before its one layout.
  if (Outermost && FBands) FBands->ApplyPendingChanges();
  TcxTreeListNodesOwner::EndUpdate();
  if (!Outermost || IsLocked()) return;
  RestoreFocusedPosition();
  if (TcxTreeListNode* Node = std::exchange(FNodeToShow, nullptr)) MakeNodeVisible(Node);
}

// ---- Nodes ----

bool TcxCustomTreeListControl::InsertNode(bool AInsert) {
  TcxTreeListNode* Focused = FocusedNode();
  TcxTreeListNode* Node = nullptr;
  {
    TUpdateGuard Guard(this);
    if (!Focused) {
      if (AInsert) Node = AddNode(nullptr, nullptr, tlamAdd);
    } else if (!AInsert) {
      Node = AddNode(nullptr, Focused, tlamAdd);
      // A new child shows (and can take the focus) only under an expanded parent.
      Focused->Expand(false);
    } else {
      TcxTreeListNode* Parent = Focused->Parent();
      Node = AddNode(nullptr, Parent == Nodes()->Root() ? Focused : Parent, tlamInsert);
    }
  }
  // The data controller takes the focus once the new record is in its rows.
  if (Node) SetFocusedNode(Node);
  return Node != nullptr;
}

void TcxCustomTreeListControl::MoveNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode, bool ACopy,
                                         std::vector<TcxTreeListNode*> AList) {
  if (!ATarget) return;
  const bool Inside = AMode == tlamAddChild || AMode == tlamAddChildFirst || AMode == tlamInsert;
  std::erase_if(AList, [&](TcxTreeListNode* N) { return (Inside && N == ATarget) || ATarget->HasAsParent(N); });
  if (AList.empty()) return;
  // The handler may do the work itself, or turn a move into a copy.
  bool Done = false;
  RaiseEvent(OnMoveTo, this, ATarget, AMode, std::as_const(AList), ACopy, Done);
  if (Done) return;
  if (AMode == tlamInsert && ACopy) ATarget = ATarget->Parent();
  // Nodes put before the target or first are placed from the last entry on,
  // nodes appended from the first: either way they keep the list's order.
  // A copy always goes last.
  const bool Appending = ACopy || AMode == tlamAdd || AMode == tlamAddChild;
  if (!Appending) std::reverse(AList.begin(), AList.end());
  TUpdateGuard Guard(this);
  for (TcxTreeListNode* Node : AList) {
    if (ACopy)
      CopyNode(Node, ATarget);
    else
      MoveNode(Node, ATarget, AMode);
  }
}

void TcxCustomTreeListControl::DeleteNodes(std::vector<TcxTreeListNode*> AList) {
  if (!IsLocked()) SaveFocusedPosition();
  TUpdateGuard Guard(this);
  FDeletingNodes = std::move(AList);
  while (!FDeletingNodes.empty()) {
    TcxTreeListNode* Node = FDeletingNodes.back();
    Node->Delete();
    if (!FDeletingNodes.empty() && FDeletingNodes.back() == Node) FDeletingNodes.pop_back();
  }
}

void TcxCustomTreeListControl::DeleteSelection() {
  std::vector<TcxTreeListNode*> List;
  if (IsMultiSelect()) List = SelectionList();
  if (List.empty())
    if (TcxTreeListNode* Focused = FocusedNode()) List.push_back(Focused);
  if (!List.empty()) DeleteNodes(std::move(List));
}

TcxTreeListNode* TcxCustomTreeListControl::GetFirstNode() const { return Nodes()->Root()->GetFirstChild(); }

TcxTreeListNode* TcxCustomTreeListControl::FindNode(const std::function<bool(TcxTreeListNode*)>& AMatch,
                                                   TcxTreeListNode* AStart, bool AForward, bool AExpandedOnly) {
  TUpdateGuard Guard(this);
  for (TcxTreeListNode* N = AStart ? AStart : GetFirstNode(); N;) {
    if (AExpandedOnly && !N->IsVisible()) return nullptr;
    if (!AExpandedOnly && N->HasChildren() && N->Count() == 0 && !N->Expanded()) {
      N->Expand(false);
      N->Collapse(false);
    }
    if (AMatch(N)) return N;
    if (AExpandedOnly)
      N = AForward ? N->GetNextVisible() : N->GetPrevVisible();
    else
      N = AForward ? N->GetNext() : N->GetPrev();
  }
  return nullptr;
}

void TcxCustomTreeListControl::SelectNodeByShift(TcxTreeListNode* ANode, TShiftState AShift) {
  TreeListController()->SelectByShift(ANode, AShift);
}

Integer TcxCustomTreeListControl::SelectionCount() const {
  if (IsMultiSelect() || !FocusedNode()) return Integer(SelectionList().size());
  return 1;
}

TcxTreeListNode* TcxCustomTreeListControl::Selections(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= SelectionCount()) return nullptr;
  return IsMultiSelect() || !FocusedNode() ? SelectionList()[size_t(AIndex)] : FocusedNode();
}

void TcxCustomTreeListControl::SelectAll() {
  if (!IsMultiSelect()) return;
  std::vector<TcxTreeListNode*>& Selection = SelectionStore();
  Selection.clear();
  for (TcxTreeListNode* N = GetFirstNode(); N; N = N->GetNext()) {
    bool Allow = true;
    RaiseEvent(OnCanSelectNode, this, N, Allow);
    if (Allow) Selection.push_back(N);
  }
}

void TcxCustomTreeListControl::SelectNodes(const std::vector<TcxTreeListNode*>& ANodes) {
  ++FSelectionLock;
  try {
    for (TcxTreeListNode* N : std::vector<TcxTreeListNode*>(SelectionList())) N->SetSelected(false);
    for (TcxTreeListNode* N : ANodes) SelectNode(N);
  } catch (...) {
    --FSelectionLock;
    throw;
  }
  if (--FSelectionLock == 0 && FSelectionChangedPending) SelectionChanged();
}

void TcxCustomTreeListControl::SelectionChanged() {
  FSelectionChangedPending = FSelectionLock > 0;
  if (!FSelectionChangedPending) TcxTreeListNodesOwner::SelectionChanged();
}

void TcxCustomTreeListControl::SelectNode(TcxTreeListNode* ANode) {
  if (!IsMultiSelect()) throw EcxTreeList(LoadResString(cxSTreeListMultiSelectRequired));
  ANode->SetSelected(true);
}

void TcxCustomTreeListControl::SetSelection(const std::vector<TcxTreeListNode*>& AList) {
  if (!IsMultiSelect()) throw EcxTreeList(LoadResString(cxSTreeListMultiSelectRequired));
  std::vector<TcxTreeListNode*> Selection;
  for (TcxTreeListNode* N : AList)
    if (N && N->Owner() == Nodes() && std::find(Selection.begin(), Selection.end(), N) == Selection.end())
      Selection.push_back(N);
  if (Selection == SelectionList()) return;
  SelectionStore() = std::move(Selection);
  SelectionChanged();
}

void TcxCustomTreeListControl::UnselectNode(TcxTreeListNode* ANode) {
  if (ANode) ANode->SetSelected(false);
}

void TcxCustomTreeListControl::UnselectAllNodes() {
  if (SelectionList().empty()) return;
  ++FSelectionLock;
  try {
    for (TcxTreeListNode* N : std::vector<TcxTreeListNode*>(SelectionList())) UnselectNode(N);
  } catch (...) {
    --FSelectionLock;
    throw;
  }
  if (--FSelectionLock == 0 && FSelectionChangedPending) SelectionChanged();
}

void TcxCustomTreeListControl::GetSelections(std::vector<TcxTreeListNode*>& AList) const {
  AList.clear();
  if (IsMultiSelect())
    AList = SelectionList();
  else if (TcxTreeListNode* Focused = FocusedNode())
    AList.push_back(Focused);
}

bool TcxCustomTreeListControl::IsStructureOutdated() {
  if (IsLoading() || IsDataInStep()) return false;
  const Integer Before = DataController()->GetRecordCount();
  DataController()->RefreshData();
  return DataController()->GetRecordCount() != Before;
}

// ---- Scrolling ----

Integer TcxCustomTreeListControl::VisibleRowCount() {
  TcxTreeListViewInfo* VI = TreeListViewInfo();
  if (!VI || !HandleAllocated()) return -1;
  if (VI->IsDirty()) VI->Calculate();
  return VI->FullRowCount();
}

void TcxCustomTreeListControl::SetShownTopNode(TcxTreeListNode* ANode) {
  if (ANode && ANode->IsVisible()) SetTopVisibleIndex(ANode->VisibleIndex());
}

TcxTreeListNode* TcxCustomTreeListControl::GetLastDisplayedNode() {
  const Integer Count = VisibleRowCount();
  TcxTreeListViewInfo* VI = TreeListViewInfo();
  if (Count <= 0 || VI->RowCount() == 0) return nullptr;
  TcxTreeListNode* Node = VI->Rows(0)->Node;
  for (Integer I = 1; I < Count && Node->GetNextVisible(); ++I) Node = Node->GetNextVisible();
  return Node;
}

// ---- Text export ----

namespace {

// The texts, each after a tab unless the line is still empty.
void AppendField(String& ALine, const String& AText) {
  if (!ALine.empty()) ALine += u'\t';
  ALine += AText;
}

}  // namespace

String TcxCustomTreeListControl::GetHeaderLineText() {
  String Result;
  for (TcxTreeListColumn* C : VisibleColumns()) AppendField(Result, C->Caption());
  return Result;
}

String TcxCustomTreeListControl::GetNodeLineText(TcxTreeListNode* ANode) {
  String Result;
  for (TcxTreeListColumn* C : VisibleColumns()) AppendField(Result, C->GetDisplayText(ANode));
  return Result;
}

String TcxCustomTreeListControl::CopyToClipboard(bool ASelectedOnly) {
  const bool Headers = OptionsView()->Headers();
  String Result = Headers ? GetHeaderLineText() : String();
  // A line break between lines only: without headers the first node's line
  // opens the text.
  bool First = !Headers;
  for (TcxTreeListNode* N = GetFirstNode(); N; N = N->GetNext()) {
    if (ASelectedOnly && !N->Selected()) continue;
    if (!std::exchange(First, false)) Result += u"\r\n";
    Result += GetNodeLineText(N);
  }
  if (!Result.empty()) Clipboard()->SetAsText(Result);
  return Result;
}
