#include "treelist/cxTLBands.h"

#include <algorithm>

#include "editors/cxEditTextUtils.h"
#include "foundation/cxClasses.h"
#include "foundation/cxGraphics.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxTLAutoWidth.h"
#include "treelist/cxTLViewInfo.h"

namespace {

using TTreeListUpdate = TcxUpdateScope<TcxCustomTreeListControl>;

// Room a cell keeps beside its editor's content: one pixel each side, two
// more with vertical grid lines.
constexpr Integer CellMargin = 2;
constexpr Integer CellMarginWithGridLines = 4;

// A cell height for measuring: widths do not depend on it.
constexpr Integer MeasureCellHeight = 100;
// Wide enough for any text a cell is measured with, and still a safe
// coordinate for the platform's text layout.
constexpr Integer MeasureCellWidth = 0x7FFF;

// The width ANode's cell in AColumn needs, measured by ACell, with the
// node's level indents when the column carries the tree.
Integer CellBestWidth(TcxTemporaryCellViewInfo& ACell, TcxTreeListColumn* AColumn, TcxTreeListNode* ANode) {
  TcxCustomTreeListControl* TreeList = AColumn->TreeList();
  const TcxTreeListBandSettings Settings = TreeList->BandSettings();
  Integer Result = ACell.Measure(ANode, MeasureCellHeight);
  if (TreeList->Bands()->IsTreeColumn(AColumn))
    Result += (ANode->Level() + (Settings.ShowRoot ? 1 : 0)) * Settings.IndentWidth;
  return Result;
}

bool IsOrderedByPosition(const TcxTreeListColumn* A, const TcxTreeListColumn* B) {
  if (A->Position().RowIndex != B->Position().RowIndex) return A->Position().RowIndex < B->Position().RowIndex;
  return A->Position().ColIndex < B->Position().ColIndex;
}

}  // namespace

// ---- TcxTreeListBandOptions ---------------------------------------------------------------------

TcxTreeListBandOptions::TcxTreeListBandOptions(TcxTreeListBand* ABand) : TcxOwnedPersistent(ABand), FBand(ABand) {}

void TcxTreeListBandOptions::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListBandOptions*>(ASource);
  if (!Source) return inherited::Assign(ASource);
  FCustomizing = Source->FCustomizing;
  FHidden = Source->FHidden;
  FMoving = Source->FMoving;
  FOnlyOwnColumns = Source->FOnlyOwnColumns;
  FSizing = Source->FSizing;
  FBand->Changed();
}

void TcxTreeListBandOptions::RestoreDefaults() {
  TcxTreeListBandOptions Defaults(FBand);
  Assign(&Defaults);
}

void TcxTreeListBandOptions::Set(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  FBand->Changed();
}

// ---- TcxTreeListBandStyles ----------------------------------------------------------------------

TcxTreeListBandStyles::TcxTreeListBandStyles(TcxTreeListBand* ABand) : TcxStyles(ABand), FBand(ABand) {}

void TcxTreeListBandStyles::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListBandStyles*>(ASource))
    for (Integer I = ContentIndex; I <= HeaderBackgroundIndex; ++I) SetIndexedStyle(I, Source->GetIndexedStyle(I));
  inherited::Assign(ASource);
}

void TcxTreeListBandStyles::ItemChanged(Integer) {
  if (TcxCustomTreeListControl* TreeList = FBand->TreeList(); TreeList && !TreeList->IsLocked())
    TreeList->LayoutChanged();
}

// ---- Band rows ----------------------------------------------------------------------------------

TcxTreeListColumn* TcxTreeListBandRow::Items(Integer AIndex) const {
  return AIndex >= 0 && AIndex < Count() ? FItems[size_t(AIndex)] : nullptr;
}

TcxTreeListBandRow* TcxTreeListBandRows::Items(Integer AIndex) const {
  return AIndex >= 0 && AIndex < Count() ? FItems[size_t(AIndex)].get() : nullptr;
}

Integer TcxTreeListBandRows::LineCount() const {
  Integer Result = 0;
  for (const auto& Row : FItems) Result += Row->LineCount();
  return Result;
}

// ---- TcxTreeListBand ----------------------------------------------------------------------------

TcxTreeListBand::TcxTreeListBand(TCollection* ACollection)
    : TCollectionItem(ACollection),
      FRows(std::make_unique<TcxTreeListBandRows>()),
      FOptions(std::make_unique<TcxTreeListBandOptions>(this)),
      FStyles(std::make_unique<TcxTreeListBandStyles>(this)) {
  FCaptionSettings = std::make_unique<TcxTreeListCaption>([this] { Changed(); });
}

TcxTreeListBand::~TcxTreeListBand() {
  FDestroying = true;
  if (TcxTreeListBands* Owner = Bands()) Owner->RemoveVisible(this);
  FVisible = false;
  for (TcxTreeListColumn* Column : FColumns) {
    Column->FBand = nullptr;
    Column->FPosition.BandIndex = -1;
  }
  FColumns.clear();
  FVisibleColumns.clear();
}

void TcxTreeListBand::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListBand*>(ASource);
  if (!Source) return inherited::Assign(ASource);
  InUpdate([&] {
    SetMinWidth(Source->FMinWidth);
    SetWidth(Source->FWidth);
    SetVisible(Source->FVisible);
    FOptions->Assign(Source->FOptions.get());
    FStyles->Assign(Source->FStyles.get());
    FCaptionSettings->Assign(Source->FCaptionSettings.get());
    SetFixedKind(Source->FFixedKind);
  });
}

template <class F>
void TcxTreeListBand::InUpdate(F AAction) {
  if (TcxCustomTreeListControl* TreeList = this->TreeList()) {
    TTreeListUpdate Update(TreeList);
    AAction();
  } else {
    AAction();
  }
}

TcxTreeListBands* TcxTreeListBand::Bands() const { return static_cast<TcxTreeListBands*>(Collection()); }

TcxCustomTreeListControl* TcxTreeListBand::TreeList() const { return Bands() ? Bands()->TreeList() : nullptr; }

bool TcxTreeListBand::IsUpdatable() const { return !FDestroying && Bands() && !Bands()->IsDestroying(); }

void TcxTreeListBand::Changed() {
  if (IsUpdatable()) TCollectionItem::Changed(false);
}


void TcxTreeListBand::SetFixedKind(TcxTreeListBandFixedKind AValue) {
  if (FFixedKind == AValue || !FVisible) return;
  TcxTreeListBands* Owner = Bands();
  if (Owner && AValue != tlbfNone) {
    // One band of each fixed kind: the band that had it before is let go.
    for (TcxTreeListBand* Other : Owner->FVisibleItems)
      if (Other != this && Other->FFixedKind == AValue) Other->FFixedKind = tlbfNone;
  }
  FFixedKind = AValue;
  Changed();
}

void TcxTreeListBand::SetMinWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (FMinWidth == AValue) return;
  FMinWidth = AValue;
  if (FWidth != 0 && FWidth < AValue) FWidth = AValue;
  Changed();
}

void TcxTreeListBand::SetVisible(bool AValue) {
  if (FVisible == AValue) return;
  TcxTreeListBands* Owner = Bands();
  // The tree list keeps one visible band to hold its columns.
  if (!AValue && Owner && Owner->VisibleItemCount() == 1 && Owner->FirstVisible() == this) return;
  FVisible = AValue;
  TcxCustomTreeListControl* TreeList = this->TreeList();
  if (!Owner || !TreeList) return;
  TTreeListUpdate Update(TreeList);
  if (AValue) {
    FFixedKind = tlbfNone;
    Owner->AddVisible(this);
  } else {
    Owner->RemoveVisible(this);
  }
  Changed();
}

void TcxTreeListBand::SetWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (AValue != 0) AValue = std::max(AValue, FMinWidth);
  if (FWidth == AValue) return;
  FWidth = AValue;
  Changed();
  if (FVisible && Bands()) Bands()->BandSizeChanged(this);
}

Integer TcxTreeListBand::VisibleIndex() const {
  if (!Bands()) return -1;
  const std::vector<TcxTreeListBand*>& Visible = Bands()->FVisibleItems;
  const auto It = std::find(Visible.begin(), Visible.end(), this);
  return It == Visible.end() ? -1 : Integer(It - Visible.begin());
}

void TcxTreeListBand::SetVisibleIndex(Integer AIndex) {
  if (AIndex < 0) return SetVisible(false);
  const Integer Current = VisibleIndex();
  if (Current < 0 || FFixedKind != tlbfNone) return;
  // The bands that are not fixed stand between the left-fixed and the
  // right-fixed ones, in collection order: the band moves in the collection.
  std::vector<TcxTreeListBand*> Others;
  Integer LeftFixed = 0;
  for (TcxTreeListBand* B : Bands()->FVisibleItems) {
    if (B->FFixedKind == tlbfLeft) ++LeftFixed;
    if (B != this && B->FFixedKind == tlbfNone) Others.push_back(B);
  }
  const Integer Target = std::clamp(AIndex, LeftFixed, LeftFixed + Integer(Others.size()));
  if (Target == Current) return;
  const size_t Place = size_t(Target - LeftFixed);
  if (Place < Others.size()) {
    const Integer Before = Others[Place]->Index();
    SetIndex(Index() < Before ? Before - 1 : Before);
  } else {
    const Integer After = Others.back()->Index();
    SetIndex(Index() < After ? After : After + 1);
  }
}

TcxTreeListColumn* TcxTreeListBand::Columns(Integer AIndex) const {
  return AIndex >= 0 && AIndex < ColumnCount() ? FColumns[size_t(AIndex)] : nullptr;
}

TcxTreeListColumn* TcxTreeListBand::VisibleColumns(Integer AIndex) const {
  return AIndex >= 0 && AIndex < VisibleColumnCount() ? FVisibleColumns[size_t(AIndex)] : nullptr;
}

bool TcxTreeListBand::MoveColumn(TcxTreeListColumn* AColumn, TcxTreeListBand* ABand) {
  if (AColumn->FBand == ABand) return false;
  if (AColumn->FBand) AColumn->FBand->RemoveColumn(AColumn);
  AColumn->FBand = ABand;
  AColumn->FPosition.BandIndex = ABand ? ABand->Index() : -1;
  if (ABand) ABand->FColumns.push_back(AColumn);
  return true;
}

void TcxTreeListBand::RemoveColumn(TcxTreeListColumn* AColumn) {
  std::erase(FColumns, AColumn);
  std::erase(FVisibleColumns, AColumn);
  for (auto& Row : FRows->FItems) std::erase(Row->FItems, AColumn);
}

void TcxTreeListBand::BuildRows() {
  if (TreeList() && TreeList()->BandSettings().HeaderSingleLine)
    for (TcxTreeListColumn* Column : FColumns) {
      Column->FPosition.RowIndex = 0;
      Column->FPosition.LineCount = 1;
    }
  std::vector<TcxTreeListColumn*> Sorted = FColumns;
  std::stable_sort(Sorted.begin(), Sorted.end(), IsOrderedByPosition);
  FVisibleColumns.clear();
  FRows->FItems.clear();
  Integer LastRowIndex = -1;
  for (TcxTreeListColumn* Column : Sorted) {
    if (!Column->Visible()) continue;
    if (FRows->FItems.empty() || Column->FPosition.RowIndex != LastRowIndex) {
      LastRowIndex = Column->FPosition.RowIndex;
      FRows->FItems.push_back(std::make_unique<TcxTreeListBandRow>());
    }
    TcxTreeListBandRow& Row = *FRows->FItems.back();
    // Rows and places are numbered from 0 without gaps.
    Column->FPosition.RowIndex = FRows->Count() - 1;
    Column->FPosition.ColIndex = Row.Count();
    Row.FWidth += FWidth == 0 ? Column->Width() : Column->DisplayWidth();
    Row.FMinWidth += Column->MinWidth();
    Row.FLineCount = std::max(Row.FLineCount, Column->FPosition.LineCount);
    Row.FItems.push_back(Column);
    FVisibleColumns.push_back(Column);
  }
  Integer Widest = 0;
  FRealMinWidth = FMinWidth;
  for (const auto& Row : FRows->FItems) {
    Widest = std::max(Widest, Row->FWidth);
    FRealMinWidth = std::max(FRealMinWidth, Row->FMinWidth);
  }
  const Integer Natural = FWidth != 0 ? FWidth : Widest != 0 ? Widest : EmptyBandWidth;
  FCalculatedWidth = std::max(FRealMinWidth, Natural);
  FDisplayWidth = FCalculatedWidth + LeftMostIndent();
  SpreadRows();
}

void TcxTreeListBand::ApplyDisplayWidth(Integer AWidth) {
  FDisplayWidth = std::max(AWidth, FRealMinWidth) + LeftMostIndent();
  SpreadRows();
}

Integer TcxTreeListBand::LeftMostIndent() const {
  return Bands() && Bands()->FirstVisible() == this ? Bands()->LeftMostIndent() : 0;
}

void TcxTreeListBand::SpreadRows() {
  const Integer Indent = LeftMostIndent();
  for (const auto& Row : FRows->FItems) {
    TcxTreeListAutoWidthController Fit;
    Fit.Prepare(FDisplayWidth - Indent, Row->Count());
    for (TcxTreeListColumn* Column : Row->FItems)
      Fit.AddItem(Column->Width(), Column->MinWidth(), !Column->Options()->Sizing());
    Fit.Calculate();
    for (Integer I = 0; I < Row->Count(); ++I) Row->FItems[size_t(I)]->FDisplayWidth = Fit.AutoWidth(I);
    // The column that carries the tree shows the indent in front of its cells.
    if (!Row->FItems.empty()) Row->FItems.front()->FDisplayWidth += Indent;
  }
}

bool TcxTreeListBand::CanMove() const {
  const TcxCustomTreeListControl* TreeList = this->TreeList();
  return FFixedKind == tlbfNone && Bands() && Bands()->VisibleItemCount() >= 2 && FOptions->Moving() && TreeList &&
         TreeList->BandSettings().BandMoving;
}

bool TcxTreeListBand::CanSize(TcxSizingDirection ADirection) const {
  const TcxCustomTreeListControl* TreeList = this->TreeList();
  if (!TreeList) return false;
  if (ADirection == cxsdVertical) return TreeList->BandSettings().BandVertSizing;
  return TreeList->BandSettings().BandHorzSizing && FOptions->Sizing();
}

void TcxTreeListBand::SizeByDelta(TcxSizingDirection ADirection, Integer ADelta) {
  if (ADelta == 0) return;
  if (ADirection == cxsdHorizontal) return SetWidth(FDisplayWidth - LeftMostIndent() + ADelta);
  if (TcxCustomTreeListControl* TreeList = this->TreeList())
    TreeList->OptionsView()->SetBandLineCount(std::max(TreeList->OptionsView()->BandLineCount() + ADelta, 1));
}

void TcxTreeListBand::ApplyBestFit() {
  TcxCustomTreeListControl* TreeList = this->TreeList();
  if (!TreeList || !CanSize(cxsdHorizontal)) return;
  TTreeListUpdate Update(TreeList);
  std::vector<Integer> Best;
  for (TcxTreeListColumn* Column : FVisibleColumns) Best.push_back(Column->MinWidth());
  TcxTreeListNodes* Nodes = TreeList->Nodes();
  Nodes->NumberVisibleNodes(false);
  TcxTreeListNodeViewInfo Row(TreeList->TreeListViewInfo());
  std::vector<std::unique_ptr<TcxTemporaryCellViewInfo>> Cells;
  for (TcxTreeListColumn* Column : FVisibleColumns) Cells.push_back(std::make_unique<TcxTemporaryCellViewInfo>(&Row, Column));
  for (TcxTreeListNode* Node = Nodes->ShownTopNode() ? Nodes->ShownTopNode() : Nodes->Root()->GetFirstChild(); Node;
       Node = Node->GetNextVisible())
    for (size_t I = 0; I < FVisibleColumns.size(); ++I)
      Best[I] = std::max(Best[I], CellBestWidth(*Cells[I], FVisibleColumns[I], Node));
  // The columns first (each own width set), then the band from its rows.
  for (size_t I = 0; I < FVisibleColumns.size(); ++I) {
    FVisibleColumns[I]->FWidth = Best[I];
    FVisibleColumns[I]->FDisplayWidth = Best[I];
  }
  Changed();
  Integer Widest = 0;
  for (const auto& Row : FRows->FItems) {
    Integer Sum = 0;
    for (TcxTreeListColumn* Column : Row->FItems) Sum += Column->Width();
    Widest = std::max(Widest, Sum);
  }
  if (TreeList->BandSettings().Bands)
    Widest = std::max(Widest, TextWidthInFont(TreeList->Font(), Caption()) + FCaptionSettings->GlyphWidthBesideText() + CaptionMargin);
  SetWidth(Widest);
}

void TcxTreeListBand::RestoreDefaults() {
  InUpdate([&] {
    FOptions->RestoreDefaults();
    RestoreWidths();
  });
}

void TcxTreeListBand::RestoreWidths() {
  FMinWidth = DefaultMinWidth;
  FWidth = 0;
  Changed();
}

String TcxTreeListBand::GetStoredName() const { return u"Band" + IntToStr(Index()); }

const std::vector<String>& TcxTreeListBand::GetStoredPropertyNames() {
  static const std::vector<String> Names{u"Caption", u"RealMinWidth", u"RealWidth", u"Visible", u"Index"};
  return Names;
}

Variant TcxTreeListBand::GetStoredPropertyValue(const String& AName) const {
  auto Is = [&](const char16_t* AText) { return SameText(AName, String(AText)); };
  if (Is(u"Caption")) return Variant(Caption());
  if (Is(u"RealMinWidth")) return Variant(FMinWidth);
  if (Is(u"RealWidth")) return Variant(FWidth);
  if (Is(u"Visible")) return Variant(FVisible);
  if (Is(u"Index")) return Variant(Index());
  return Null();
}

void TcxTreeListBand::SetStoredPropertyValue(const String& AName, const Variant& AValue) {
  auto Is = [&](const char16_t* AText) { return SameText(AName, String(AText)); };
  if (Is(u"Caption")) SetCaption(VarToStr(AValue));
  else if (Is(u"RealMinWidth")) SetMinWidth(AValue.AsInteger());
  else if (Is(u"RealWidth")) SetWidth(AValue.AsInteger());
  else if (Is(u"Visible")) SetVisible(AValue.AsBoolean());
  else if (Is(u"Index")) SetIndex(AValue.AsInteger());
}

// ---- TcxTreeListBands ---------------------------------------------------------------------------

TcxTreeListBands::TcxTreeListBands(TcxCustomTreeListControl* ATreeList)
    : TOwnedCollection(ATreeList, TcxTreeListBand::StaticClass()), FTreeList(ATreeList) {}

TcxTreeListBands::~TcxTreeListBands() {
  // The bands go while the collection is still whole: they take themselves out of it.
  FDestroying = true;
  while (Count() > 0) Items(Count() - 1)->Free();
}

TcxTreeListBand* TcxTreeListBands::Add() { return static_cast<TcxTreeListBand*>(TCollection::Add()); }

TcxTreeListBand* TcxTreeListBands::VisibleItems(Integer AIndex) const {
  return AIndex >= 0 && AIndex < VisibleItemCount() ? FVisibleItems[size_t(AIndex)] : nullptr;
}

std::vector<TcxTreeListColumn*> TcxTreeListBands::VisibleColumns() const {
  std::vector<TcxTreeListColumn*> Result;
  for (TcxTreeListBand* Band : FVisibleItems)
    Result.insert(Result.end(), Band->FVisibleColumns.begin(), Band->FVisibleColumns.end());
  // Each band lists its own by row and place; the bands are in visible order.
  std::stable_sort(Result.begin(), Result.end(), [](const TcxTreeListColumn* A, const TcxTreeListColumn* B) {
    return A->Position().RowIndex < B->Position().RowIndex;
  });
  return Result;
}

bool TcxTreeListBands::IsTreeColumn(const TcxTreeListColumn* AColumn) const {
  TcxTreeListBand* Band = FirstVisible();
  if (!Band || AColumn->Band() != Band) return false;
  for (Integer I = 0; I < Band->BandRows()->Count(); ++I)
    if (Band->BandRows()->Items(I)->First() == AColumn) return true;
  return false;
}

void TcxTreeListBands::SetColumnPosition(TcxTreeListColumn* AColumn, Integer ABandIndex, Integer AColIndex,
                                         bool ANewRow, Integer ARowIndex) {
  TTreeListUpdate Update(FTreeList);
  ABandIndex = std::clamp(ABandIndex, -1, Count() - 1);
  AColIndex = std::max(AColIndex, 0);
  ARowIndex = std::max(ARowIndex, 0);
  TcxTreeListBand* Band = ABandIndex >= 0 ? Items(ABandIndex) : nullptr;
  TcxTreeListBand* Old = AColumn->FBand;
  if (TcxTreeListBand::MoveColumn(AColumn, Band) && Old) Old->Changed();
  if (Band) {
    for (TcxTreeListColumn* Column : Band->FColumns)
      if (Column != AColumn && ANewRow && Column->FPosition.RowIndex >= ARowIndex) ++Column->FPosition.RowIndex;
    for (TcxTreeListColumn* Column : Band->FColumns)
      if (Column != AColumn && Column->FPosition.RowIndex == ARowIndex && Column->FPosition.ColIndex >= AColIndex)
        ++Column->FPosition.ColIndex;
  }
  AColumn->FPosition.ColIndex = AColIndex;
  AColumn->FPosition.RowIndex = ARowIndex;
  AColumn->Changed();
}

Integer TcxTreeListBands::CalculateBandWidths(Integer ARoom) {
  CalculateLeftMostIndent();
  if (FTreeList->BandSettings().ColumnAutoWidth) {
    // Each fixed band's separator stands between the bands.
    for (TcxTreeListBand* Band : FVisibleItems)
      if (Band->FFixedKind != tlbfNone) ARoom -= FTreeList->OptionsView()->FixedSeparatorWidth();
    ARoom -= HiddenVScrollBarRoom(ARoom);
    return ApplyAutoWidth(ARoom - FLeftMostIndent);
  }
  Integer Total = 0;
  for (TcxTreeListBand* Band : FVisibleItems) {
    Band->ApplyDisplayWidth(Band->FCalculatedWidth);
    Total += Band->FDisplayWidth;
  }
  return Total;
}

Integer TcxTreeListBands::HiddenVScrollBarRoom(Integer ARoom) const {
  TcxControlScrollBar* Bar = FTreeList->VScrollBar();
  if (!Bar || FTreeList->IsVScrollBarVisible()) return 0;
  Integer Need = FLeftMostIndent;
  for (TcxTreeListBand* Band : FVisibleItems) Need += Band->FRealMinWidth;
  return ARoom < Need ? Bar->Width() : 0;
}

Integer TcxTreeListBands::ApplyAutoWidth(Integer AWidth) {
  TcxTreeListAutoWidthController Fit;
  Fit.Prepare(AWidth, VisibleItemCount());
  for (TcxTreeListBand* Band : FVisibleItems)
    Fit.AddItem(Band->FCalculatedWidth, Band->FRealMinWidth, Band->FAutoWidthFixed);
  Fit.Calculate();
  Integer Total = 0;
  for (Integer I = 0; I < VisibleItemCount(); ++I) {
    FVisibleItems[size_t(I)]->ApplyDisplayWidth(Fit.AutoWidth(I));
    Total += FVisibleItems[size_t(I)]->FDisplayWidth;
  }
  return Total;
}

void TcxTreeListBands::CalculateLeftMostIndent() {
  TcxTreeListBand* First = FirstVisible();
  const Integer MaxLevel = FTreeList->Nodes()->MaxLevel();
  Integer Need = 0;
  if (First && MaxLevel >= 0) {
    const TcxTreeListBandSettings Settings = FTreeList->BandSettings();
    const Integer Levels = MaxLevel + (Settings.ShowRoot ? 1 : 0) + (FTreeList->Images() ? 1 : 0) +
                           (FTreeList->StateImages() ? 1 : 0);
    Integer Room = -1;
    for (Integer R = 0; R < First->BandRows()->Count(); ++R)
      if (TcxTreeListColumn* Column = First->BandRows()->Items(R)->First()) {
        const Integer Spare = std::max(Column->Width() - Column->MinWidth(), 0);
        Room = Room < 0 ? Spare : std::min(Room, Spare);
      }
    Need = std::max(Levels * Settings.IndentWidth - std::max(Room, 0), 0);
  }
  if (FTreeList->OptionsBehavior()->AutomateLeftMostIndent())
    FLeftMostIndent = Need;
  else
    FLeftMostIndent = std::max(FLeftMostIndent, Need);
}

void TcxTreeListBands::BandSizeChanged(TcxTreeListBand* ABand) {
  const auto It = std::find(FVisibleItems.begin(), FVisibleItems.end(), ABand);
  if (It == FVisibleItems.end()) return;
  const bool IsLast = It + 1 == FVisibleItems.end();
  for (auto B = FVisibleItems.begin(); B != FVisibleItems.end(); ++B)
    (*B)->FAutoWidthFixed = IsLast ? B == It : B <= It;
}

void TcxTreeListBands::RestoreDefaults() {
  TTreeListUpdate Update(FTreeList);
  for (Integer I = 0; I < Count(); ++I) Items(I)->RestoreDefaults();
}

void TcxTreeListBands::RestoreWidths() {
  TTreeListUpdate Update(FTreeList);
  for (Integer I = 0; I < Count(); ++I) Items(I)->RestoreWidths();
}

void TcxTreeListBands::Update(TCollectionItem* AItem) {
  if (FDestroying) return;
  UpdateColumnBandIndexes();
  if (Count() != 1) FTreeList->SetDefaultLayout(false);
  // Inside an update the rows wait for its end: positions set one by one
  // (a stored layout) are read together.
  if (FTreeList->IsLocked()) {
    FChangesPending = true;
    return;
  }
  RebuildRows(FChangesPending ? nullptr : static_cast<TcxTreeListBand*>(AItem));
  FTreeList->LayoutChanged();
}

void TcxTreeListBands::RebuildRows(TcxTreeListBand* ABand) {
  if (!ABand)
    for (Integer I = 0; I < Count(); ++I) Items(I)->BuildRows();
  else
    ABand->BuildRows();
  FChangesPending = false;
  SortVisible();
  // Only the outermost visible bands may stay fixed.
  for (size_t I = 1; I + 1 < FVisibleItems.size(); ++I) FVisibleItems[I]->FFixedKind = tlbfNone;
}

void TcxTreeListBands::Notify(TCollectionItem* AItem, TCollectionNotification AAction) {
  // A band extracted may be part-destroyed already: it is only compared.
  if (AAction != cnAdded) {
    std::erase_if(FVisibleItems, [&](TCollectionItem* B) { return B == AItem; });
    return;
  }
  auto* Band = static_cast<TcxTreeListBand*>(AItem);
  if (Band->FVisible) AddVisible(Band);
}

void TcxTreeListBands::AddVisible(TcxTreeListBand* ABand) {
  if (std::find(FVisibleItems.begin(), FVisibleItems.end(), ABand) != FVisibleItems.end()) return;
  FVisibleItems.push_back(ABand);
  SortVisible();
}

void TcxTreeListBands::RemoveVisible(TcxTreeListBand* ABand) { std::erase(FVisibleItems, ABand); }

void TcxTreeListBands::ApplyPendingChanges() {
  // The end of the update that held the changes lays the control out.
  if (FChangesPending && !FDestroying) RebuildRows(nullptr);
}

void TcxTreeListBands::SortVisible() {
  // Left-fixed first, then not fixed, then right-fixed; by collection index within a kind.
  auto Rank = [](TcxTreeListBandFixedKind K) { return K == tlbfLeft ? 0 : K == tlbfNone ? 1 : 2; };
  std::sort(FVisibleItems.begin(), FVisibleItems.end(), [&](TcxTreeListBand* A, TcxTreeListBand* B) {
    if (A->FFixedKind != B->FFixedKind) return Rank(A->FFixedKind) < Rank(B->FFixedKind);
    return A->Index() < B->Index();
  });
}

void TcxTreeListBands::UpdateColumnBandIndexes() {
  for (Integer I = 0; I < Count(); ++I)
    for (TcxTreeListColumn* Column : Items(I)->FColumns) Column->FPosition.BandIndex = I;
}

// ---- The columns' band part ---------------------------------------------------------------------

void TcxTreeListColumn::SetBand(TcxTreeListBand* AValue) {
  TcxTreeListBand* Old = FBand;
  if (!TcxTreeListBand::MoveColumn(this, AValue)) return;
  if (Old) Old->Changed();
  Changed();
}

void TcxTreeListColumn::SetBandIndex(Integer AValue) {
  TcxCustomTreeListControl* C = TreeList();
  SetBand(C && AValue >= 0 && AValue < C->Bands()->Count() ? C->Bands()->Items(AValue) : nullptr);
}

void TcxTreeListColumn::SetIndex(Integer AValue) {
  TcxCustomTreeListControl* C = TreeList();
  const Integer Old = ItemIndex();
  if (!C || Old < 0 || AValue == Old || AValue < 0 || AValue >= C->ItemCount()) return;
  TTreeListUpdate Update(C);
  C->ExchangeContainerItems(Old, AValue);
  // One place towards the new index; the neighbour there takes the old place.
  const Integer Place = FPosition.ColIndex + (AValue > Old ? 1 : -1);
  if (!FBand || Place < 0) return;
  for (TcxTreeListColumn* Other : FBand->FColumns)
    if (Other != this && Other->FPosition.RowIndex == FPosition.RowIndex && Other->FPosition.ColIndex == Place) {
      Other->FPosition.ColIndex = FPosition.ColIndex;
      FPosition.ColIndex = Place;
      Changed();
      return;
    }
}

Integer TcxTreeListColumn::GetMinHeaderFooterWidth() const {
  Integer Result = FMinWidth;
  TcxCustomTreeListControl* C = TreeList();
  if (!C) return Result;
  const TcxCustomLookAndFeelPainter* Painter = PainterOf(C->LookAndFeel()->GetPainterClass());
  if (C->BandSettings().Headers) {
    Integer Header = TextWidthInFont(C->Font(), Caption()) + FCaptionSettings->GlyphWidthBesideText() +
                     TcxTreeListBand::CaptionMargin;
    if (SortOrder() != soNone) Header += Painter->SortMarkAreaSize().X;
    Result = std::max(Result, Header);
  }
  if (C->OptionsView()->Footer() && Options()->Footer())
    Result = std::max(Result, TextWidthInFont(C->Font(), FSummaryFooter->Text()) + TcxTreeListBand::CaptionMargin +
                                  2 * (Painter->FooterCellFrameWidth() + Painter->FooterCellSpacing()));
  return Result;
}

void TcxTreeListColumn::ApplyBestFit() {
  TcxCustomTreeListControl* C = TreeList();
  if (!C || !Options()->Sizing() || !C->BandSettings().ColumnHorzSizing) return;
  Integer Best = GetMinHeaderFooterWidth();
  TcxTreeListNodeViewInfo Row(C->TreeListViewInfo());
  TcxTemporaryCellViewInfo Cell(&Row, this);
  for (TcxTreeListNode* Node = C->GetFirstNode(); Node; Node = Node->GetNextVisible())
    Best = std::max(Best, CellBestWidth(Cell, this, Node));
  SetWidth(Best);
}

void TcxTreeListColumn::RestoreWidths() {
  SetMinWidth(DefaultMinWidth);
  SetWidth(DefaultWidth);
}

// ---- The control's band part --------------------------------------------------------------------

TcxTreeListColumn* TcxCustomTreeListControl::CreateColumn(TcxTreeListBand* ABand) {
  FColumns.push_back(NewColumn());
  TcxTreeListColumn* Column = FColumns.back().get();
  if (!ABand) ABand = FBands->Count() > 0 ? FBands->Items(0) : FBands->Add();
  Column->SetBand(ABand);
  return Column;
}

void TcxCustomTreeListControl::SetColumnPosition(TcxTreeListColumn* AColumn, Integer ABandIndex, Integer AColIndex,
                                                 bool ANewRow, Integer ARowIndex) {
  FBands->SetColumnPosition(AColumn, ABandIndex, AColIndex, ANewRow, ARowIndex);
}

TcxTreeListBandSettings TcxCustomTreeListControl::BandSettings() const {
  TcxTreeListBandSettings Result;
  const TcxTreeListOptionsView* View = OptionsView();
  const TcxTreeListOptionsCustomizing* Customizing = OptionsCustomizing();
  Result.Bands = View->Bands();
  Result.BandLineCount = View->BandLineCount();
  Result.ColumnAutoWidth = View->ColumnAutoWidth();
  Result.Headers = View->Headers();
  Result.HeaderSingleLine = View->HeaderSingleLine();
  Result.ShowRoot = View->ShowRoot();
  Result.VertGridLines = View->VertGridLines();
  if (Customizing) {
    Result.BandHorzSizing = Customizing->BandHorzSizing();
    Result.BandMoving = Customizing->BandMoving();
    Result.BandVertSizing = Customizing->BandVertSizing();
    Result.ColumnHorzSizing = Customizing->ColumnHorzSizing();
  }
  Result.IndentWidth = TcxTreeListViewInfo::CalculateIndentStep(this);
  Result.ImagesWidth = GetImagesWidth();
  return Result;
}

void TcxCustomTreeListControl::SetDefaultLayout(bool AValue) {
  if (AValue) return RestoreDefaultLayout();
  FDefaultLayout = false;
}

void TcxCustomTreeListControl::RestoreDefaultLayout() {
  {
    TTreeListUpdate Update(this);
    OptionsView()->SetBands(false);
    while (FBands->Count() > 1) FBands->Delete(FBands->Count() - 1);
    TcxTreeListBand* First = FBands->Count() > 0 ? FBands->Items(0) : FBands->Add();
    First->RestoreDefaults();
    First->SetVisible(true);
    for (const auto& Column : FColumns) {
      Column->RestoreDefaults();
      Column->SetBand(First);
    }
  }
  FDefaultLayout = true;
}

// ---- TcxTemporaryCellViewInfo -------------------------------------------------------------------

TcxTemporaryCellViewInfo::TcxTemporaryCellViewInfo(TcxTreeListNodeViewInfo* ARow, TcxTreeListColumn* AColumn)
    : TcxTreeListEditCellViewInfo(ARow, AColumn) {}

Integer TcxTemporaryCellViewInfo::Measure(TcxTreeListNode* ANode, Integer ACellHeight) {
  TcxTreeListColumn* Column = this->Column();
  TcxCustomTreeListControl* TreeList = Column->TreeList();
  const TcxTreeListBandSettings Settings = TreeList->BandSettings();
  Row()->Node = ANode;
  const TRect Bounds{0, 0, MeasureCellWidth, ACellHeight};
  SetBounds(Bounds, Bounds);
  // The cell's own look: its node's and column's content style.
  const TcxViewParams Params = GetViewParams();
  const TSize Size = TcxCustomInplaceEditContainer::CalcEditSizeForProperties(
      Column->EditViewData(), Column->GetCanvas(), Params.Font ? Params.Font : TreeList->Font(),
      Column->GetDisplayText(ANode), 0, 1, cxtlSingleLine);
  Integer Result = Size.cx + (Settings.VertGridLines ? CellMarginWithGridLines : CellMargin);
  if (TreeList->Bands()->IsTreeColumn(Column)) Result += Settings.ImagesWidth;
  FMaxWidth = std::max(FMaxWidth, Result);
  return Result;
}
