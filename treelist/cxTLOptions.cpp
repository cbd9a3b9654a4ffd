#include "treelist/cxTLOptions.h"

#include <algorithm>

#include "data/cxDataSummary.h"
#include "platform/gui/timers.h"
#include "treelist/cxTLControl.h"

// ---- View -------------------------------------------------------------------------------------

namespace {

constexpr Cardinal ViewDefaultBits = (1u << TcxTreeListOptionsView::HeadersBit) |
                                     (1u << TcxTreeListOptionsView::ShowRootBit) |
                                     (1u << TcxTreeListOptionsView::ButtonsBit) |
                                     (1u << TcxTreeListOptionsView::UseNodeColorForIndentBit) |
                                     (1u << TcxTreeListOptionsView::UseImageIndexForSelectedBit);

}  // namespace

TcxTreeListOptionsView::TcxTreeListOptionsView(TcxCustomTreeListControl* AControl)
    : TcxControlOptionsView(nullptr, AControl), FControl(AControl), FBits(ViewDefaultBits) {}

void TcxTreeListOptionsView::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListOptionsView*>(ASource)) {
    FBits = Source->FBits;
    FBandLineCount = Source->FBandLineCount;
    // The column with the same item index in this control.
    FCategorizedColumn =
        Source->FCategorizedColumn ? FControl->GetColumn(Source->FCategorizedColumn->ItemIndex()) : nullptr;
    FDropArrowColor = Source->FDropArrowColor;
    FFixedSeparatorColor = Source->FFixedSeparatorColor;
    FFixedSeparatorWidth = Source->FFixedSeparatorWidth;
    FGridLineColor = Source->FGridLineColor;
    FGridLines = Source->FGridLines;
    FIndicatorWidth = Source->FIndicatorWidth;
    FPaintStyle = Source->FPaintStyle;
    FTreeLineColor = Source->FTreeLineColor;
    FTreeLineStyle = Source->FTreeLineStyle;
  }
  inherited::Assign(ASource);
  Changed();
}

void TcxTreeListOptionsView::Reset() {
  FBits.SetValue(1u << HeadersBit);
  FIndicatorWidth = DefaultIndicatorWidth;
  Changed();
}

void TcxTreeListOptionsView::SetBit(Integer ABit, bool AValue) {
  if (!FBits.Set(ABit, AValue)) return;
  if (ABit == HeaderSingleLineBit && AValue) FControl->FlattenColumnPositions();
  Changed();
}

void TcxTreeListOptionsView::SetBandLineCount(Integer AValue) {
  AValue = std::max(AValue, 1);
  if (FBandLineCount == AValue) return;
  FBandLineCount = AValue;
  if (Bands()) Changed();
}

TcxTreeListColumn* TcxTreeListOptionsView::CategorizedColumn() const {
  if (FCategorizedColumn) return FCategorizedColumn;
  const std::vector<TcxTreeListColumn*> Columns = FControl->VisibleColumns();
  return Columns.empty() ? nullptr : Columns.front();
}

void TcxTreeListOptionsView::SetCategorizedColumn(TcxTreeListColumn* AValue) {
  if (FCategorizedColumn == AValue) return;
  FCategorizedColumn = AValue;
  Changed();
}

void TcxTreeListOptionsView::ColumnRemoved(TcxTreeListColumn* AColumn) {
  if (FCategorizedColumn == AColumn) FCategorizedColumn = nullptr;
}

void TcxTreeListOptionsView::SetDropArrowColor(TColor AValue) {
  if (FDropArrowColor == AValue) return;
  FDropArrowColor = AValue;
  Changed();
}

void TcxTreeListOptionsView::SetFixedSeparatorColor(TColor AValue) {
  if (FFixedSeparatorColor == AValue) return;
  FFixedSeparatorColor = AValue;
  Changed();
}

void TcxTreeListOptionsView::SetFixedSeparatorWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (FFixedSeparatorWidth == AValue) return;
  FFixedSeparatorWidth = AValue;
  Changed();
}

void TcxTreeListOptionsView::SetGridLineColor(TColor AValue) {
  if (FGridLineColor == AValue) return;
  FGridLineColor = AValue;
  if (FGridLines != tlglNone) Changed();
}

void TcxTreeListOptionsView::SetGridLines(TcxTreeListGridLines AValue) {
  if (FGridLines == AValue) return;
  FGridLines = AValue;
  Changed();
}

void TcxTreeListOptionsView::SetIndicatorWidth(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (FIndicatorWidth == AValue) return;
  FIndicatorWidth = AValue;
  if (Indicator()) Changed();
}

void TcxTreeListOptionsView::SetPaintStyle(TcxTreeListPaintStyle AValue) {
  if (FPaintStyle == AValue) return;
  FPaintStyle = AValue;
  Changed();
}

void TcxTreeListOptionsView::SetTreeLineColor(TColor AValue) {
  if (FTreeLineColor == AValue) return;
  FTreeLineColor = AValue;
  Changed();
}

void TcxTreeListOptionsView::SetTreeLineStyle(TcxTreeListTreeLineStyle AValue) {
  if (FTreeLineStyle == AValue) return;
  FTreeLineStyle = AValue;
  Changed();
}

// ---- Customizing ------------------------------------------------------------------------------

TcxTreeListOptionsCustomizing::TcxTreeListOptionsCustomizing(TcxCustomTreeListControl* AControl)
    : TcxOwnedPersistent(AControl), FBits(~((1u << DynamicSizingBit) | (1u << RowSizingBit))) {}

void TcxTreeListOptionsCustomizing::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListOptionsCustomizing*>(ASource))
    FBits = Source->FBits;
  else
    inherited::Assign(ASource);
}

// ---- Selection --------------------------------------------------------------------------------

TcxTreeListOptionsSelection::TcxTreeListOptionsSelection(TcxCustomTreeListControl* AControl)
    : TcxOwnedPersistent(AControl),
      FControl(AControl),
      FBits((1u << CellSelectBit) | (1u << HideFocusRectBit) | (1u << InvertSelectBit)) {}

void TcxTreeListOptionsSelection::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListOptionsSelection*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  FBits = Source->FBits;
  FControl->SetMultiSelect(Source->MultiSelect());
  FControl->LayoutChanged();
}

void TcxTreeListOptionsSelection::SetBit(Integer ABit, bool AValue) {
  if (FBits.Set(ABit, AValue)) FControl->LayoutChanged();
}

bool TcxTreeListOptionsSelection::MultiSelect() const { return FControl->IsMultiSelect(); }

void TcxTreeListOptionsSelection::SetMultiSelect(bool AValue) {
  if (FControl->IsMultiSelect() == AValue) return;
  FControl->SetMultiSelect(AValue);
  FControl->LayoutChanged();
}

// ---- Behavior ---------------------------------------------------------------------------------

TcxTreeListOptionsBehavior::TcxTreeListOptionsBehavior(TcxCustomTreeListControl* AControl)
    : TcxControlOptionsBehavior(nullptr, AControl),
      FControl(AControl),
      FBits((1u << DragCollapseBit) | (1u << DragExpandBit) | (1u << ShowHourGlassBit) | (1u << ConfirmDeleteBit) |
            (1u << MultiSortBit) | (1u << SortingBit) | (1u << AutomateLeftMostIndentBit) |
            (1u << ExpandOnDblClickBit)) {}

void TcxTreeListOptionsBehavior::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListOptionsBehavior*>(ASource)) {
    FBits = Source->FBits;
    FWaitForExpandNodeTime = Source->FWaitForExpandNodeTime;
    SetChangeDelay(Source->ChangeDelay());
  }
  inherited::Assign(ASource);
}

void TcxTreeListOptionsBehavior::SetWaitForExpandNodeTime(Integer AValue) {
  FWaitForExpandNodeTime = std::max(AValue, 0);
}

Integer TcxTreeListOptionsBehavior::ChangeDelay() const { return Integer(FControl->ChangeTimer()->Interval()); }

void TcxTreeListOptionsBehavior::SetChangeDelay(Integer AValue) {
  AValue = std::max(AValue, 0);
  TTimer* Timer = FControl->ChangeTimer();
  Timer->SetEnabled(AValue > 0);
  Timer->SetInterval(Cardinal(AValue));
}

// ---- Data -------------------------------------------------------------------------------------

TcxTreeListOptionsData::TcxTreeListOptionsData(TcxCustomTreeListControl* AControl)
    : TcxControlOptionsData(nullptr, AControl), FControl(AControl), FBits(1u << DeletingBit) {}

void TcxTreeListOptionsData::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListOptionsData*>(ASource)) {
    FBits = Source->FBits;
    SetSummaryNullIgnore(Source->SummaryNullIgnore());
  }
  inherited::Assign(ASource);
  Changed();
}

void TcxTreeListOptionsData::Changed() {
  if (FControl->IsDestroying()) return;
  FControl->LayoutChanged();
  FControl->NavigatorNotifier()->Notify();
}

void TcxTreeListOptionsData::SetBit(Integer ABit, bool AValue) {
  FBits.Set(ABit, AValue);
  Changed();
}

bool TcxTreeListOptionsData::AnsiSort() const { return FControl->DataController()->HasOption(dcoCompareLocaleAware); }

void TcxTreeListOptionsData::SetAnsiSort(bool AValue) { SetDataControllerOption(dcoCompareLocaleAware, AValue); }

bool TcxTreeListOptionsData::CaseInsensitive() const {
  return FControl->DataController()->HasOption(dcoCompareIgnoreCase);
}

void TcxTreeListOptionsData::SetCaseInsensitive(bool AValue) { SetDataControllerOption(dcoCompareIgnoreCase, AValue); }

void TcxTreeListOptionsData::SetDataControllerOption(Word AOption, bool AValue) {
  TcxControlDataController* DC = FControl->DataController();
  const Word Options = DC->GetOptions();
  DC->SetOptions(AValue ? Word(Options | AOption) : Word(Options & ~AOption));
  Changed();
}

bool TcxTreeListOptionsData::SummaryNullIgnore() const {
  return FControl->DataController()->Summary()->Options().count(soNullIgnore) > 0;
}

void TcxTreeListOptionsData::SetSummaryNullIgnore(bool AValue) {
  FControl->DataController()->Summary()->SetOptions(AValue ? TcxSummaryOptions{soNullIgnore} : TcxSummaryOptions{});
  Changed();
}

// ---- Preview ----------------------------------------------------------------------------------

TcxTreeListPreview::TcxTreeListPreview(TcxCustomTreeListControl* AControl)
    : TcxOwnedInterfacedPersistent(AControl), FControl(AControl) {}

void TcxTreeListPreview::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListPreview*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  FAutoHeight = Source->FAutoHeight;
  FColumn = Source->FColumn ? FControl->GetColumn(Source->FColumn->ItemIndex()) : nullptr;
  FLeftIndent = Source->FLeftIndent;
  FMaxLineCount = Source->FMaxLineCount;
  FPlace = Source->FPlace;
  FRightIndent = Source->FRightIndent;
  FVisible = Source->FVisible;
  Changed();
}

void TcxTreeListPreview::Changed() {
  if (!FControl->IsDestroying()) FControl->LayoutChanged();
}

void TcxTreeListPreview::SetAutoHeight(bool AValue) { SetValue(FAutoHeight, AValue); }

void TcxTreeListPreview::SetColumn(TcxTreeListColumn* AValue) {
  if (FColumn == AValue) return;
  FColumn = AValue;
  Changed();
}

void TcxTreeListPreview::SetLeftIndent(Integer AValue) { SetValue(FLeftIndent, std::max(AValue, 0)); }

void TcxTreeListPreview::SetMaxLineCount(Integer AValue) { SetValue(FMaxLineCount, std::max(AValue, 0)); }

void TcxTreeListPreview::SetPlace(TcxTreeListPreviewPlace AValue) { SetValue(FPlace, AValue); }

void TcxTreeListPreview::SetRightIndent(Integer AValue) { SetValue(FRightIndent, std::max(AValue, 0)); }

void TcxTreeListPreview::SetVisible(bool AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  Changed();
}

// ---- Column options ---------------------------------------------------------------------------

namespace {

constexpr Cardinal ColumnDefaultBits = (1u << TcxTreeListColumnOptions::CellEndEllipsisBit) |
                                       (1u << TcxTreeListColumnOptions::SizingBit);

}  // namespace

TcxTreeListColumnOptions::TcxTreeListColumnOptions(TcxTreeListColumn* AColumn)
    : TcxCustomEditContainerItemOptions(AColumn), FBits(ColumnDefaultBits) {}

void TcxTreeListColumnOptions::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListColumnOptions*>(ASource)) {
    FBits = Source->FBits;
    FHidden = Source->FHidden;
  }
  // The inherited part reports the change.
  inherited::Assign(ASource);
}

void TcxTreeListColumnOptions::RestoreDefaults() {
  Sorting = true;
  Customizing = true;
  TabStop = true;
  Focusing = true;
  Moving = true;
  SetEditing(true);
  FBits.Set(SizingBit, true);
  Changed();
}

void TcxTreeListColumnOptions::SetBit(Integer ABit, bool AValue) {
  if (FBits.Set(ABit, AValue)) Changed();
}

void TcxTreeListColumnOptions::SetHidden(bool AValue) {
  if (FHidden == AValue) return;
  FHidden = AValue;
  Changed();
}

// ---- Column summary footer --------------------------------------------------------------------

TcxTreeListColumnSummaryFooter::TcxTreeListColumnSummaryFooter(TcxTreeListColumn* AColumn)
    : TcxOwnedInterfacedPersistent(AColumn), FColumn(AColumn) {}

void TcxTreeListColumnSummaryFooter::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListColumnSummaryFooter*>(ASource);
  if (!Source) return inherited::Assign(ASource);
  FAlignHorz = Source->FAlignHorz;
  FAlignVert = Source->FAlignVert;
  FMultiLine = Source->FMultiLine;
  SetFormat(Source->Format());
  SetKind(Source->Kind());
  Changed();
}

TcxDataFooterSummaryItems* TcxTreeListColumnSummaryFooter::Items() const {
  TcxCustomTreeListControl* TreeList = FColumn->TreeList();
  if (!TreeList || !TreeList->DataController()->Summary()) return nullptr;
  return TreeList->DataController()->Summary()->FooterSummaryItems();
}

TcxDataSummaryItem* TcxTreeListColumnSummaryFooter::SummaryItem() const {
  TcxDataFooterSummaryItems* List = Items();
  if (!List) return nullptr;
  const Integer Index = List->IndexOfItemLink(FColumn);
  return Index >= 0 ? List->Items(Index) : nullptr;
}

TcxSummaryKind TcxTreeListColumnSummaryFooter::Kind() const {
  TcxDataSummaryItem* Item = SummaryItem();
  return Item ? Item->Kind() : skNone;
}

void TcxTreeListColumnSummaryFooter::SetKind(TcxSummaryKind AValue) {
  TcxDataSummaryItem* Item = SummaryItem();
  if (AValue == skNone) {
    if (!Item) return;
    FFormat = Item->Format();
    Item->Free();
  } else if (Item) {
    if (Item->Kind() == AValue) return;
    Item->SetKind(AValue);
  } else {
    // A column outside a tree list has no data controller to keep the kind.
    TcxDataFooterSummaryItems* List = Items();
    if (!List) return;
    List->Add(FColumn, spFooter, AValue, FFormat);
  }
  Changed();
}

String TcxTreeListColumnSummaryFooter::Format() const {
  TcxDataSummaryItem* Item = SummaryItem();
  return Item ? Item->Format() : FFormat;
}

void TcxTreeListColumnSummaryFooter::SetFormat(const String& AValue) {
  if (Format() == AValue) return;
  FFormat = AValue;
  if (TcxDataSummaryItem* Item = SummaryItem()) Item->SetFormat(AValue);
  Changed();
}

void TcxTreeListColumnSummaryFooter::SetAlignHorz(TAlignment AValue) {
  if (FAlignHorz == AValue) return;
  FAlignHorz = AValue;
  Changed();
}

void TcxTreeListColumnSummaryFooter::SetAlignVert(TcxAlignmentVert AValue) {
  if (FAlignVert == AValue) return;
  FAlignVert = AValue;
  Changed();
}

void TcxTreeListColumnSummaryFooter::SetMultiLine(bool AValue) {
  if (FMultiLine == AValue) return;
  FMultiLine = AValue;
  Changed();
}

String TcxTreeListColumnSummaryFooter::Text() const {
  TcxDataFooterSummaryItems* List = Items();
  if (!List) return String();
  const Integer Index = List->IndexOfItemLink(FColumn);
  return Index >= 0 ? List->Summary()->FooterSummaryTexts(Index) : String();
}

void TcxTreeListColumnSummaryFooter::Changed() {
  TcxCustomTreeListControl* TreeList = FColumn->TreeList();
  if (TreeList && TreeList->OptionsView()->Footer() && !TreeList->IsLocked() && !TreeList->IsDestroying())
    TreeList->LayoutChanged();
}
