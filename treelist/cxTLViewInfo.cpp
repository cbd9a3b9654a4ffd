#include "treelist/cxTLViewInfo.h"

#include <algorithm>

#include "foundation/cxGraphics.h"
#include "platform/gui/imagelist.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLControl.h"
#include "treelist/cxTLController.h"
#include "treelist/cxTLPainter.h"

namespace {

// A header's right or bottom edge grabs the mouse this close to it.
constexpr Integer SizingEdgeReach = 3;
// A row's lower edge reaches further into the row, as a row is short.
constexpr Integer RowSizingEdgeReach = 6;
// An expand button answers the mouse this far around its box.
constexpr Integer ButtonReach = 3;
// Room between a header's frame and its text.
constexpr Integer HeaderTextMargin = 2;
// The indent room around a node image: the image sits left of this margin.
constexpr Integer ImageMargin = 3;
// The indent is the expand box plus this room.
constexpr Integer IndentRoom = 6;
// Text measured for a line height (a capital and a descender).
const String LineHeightText = u"Wg";

Integer TextHeightOf(TcxCustomTreeListControl* ATreeList) { return TextHeightInFont(ATreeList->Font(), LineHeightText); }

bool PointIn(const TRect& R, const TPoint& P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

TRect Grown(TRect R, Integer DX, Integer DY) {
  InflateRect(R, DX, DY);
  return R;
}

}  // namespace

Integer cxTreeListIndentCount(TcxCustomTreeListControl* ATreeList, TcxTreeListNode* ANode) {
  Integer Count = ANode->Level() + (ATreeList->BandSettings().ShowRoot ? 1 : 0);
  if (ATreeList->Images()) ++Count;
  if (ATreeList->StateImages() && ANode->StateIndex() >= 0) ++Count;
  return Count;
}

// ---- Items ------------------------------------------------------------------------------------

TcxTreeListViewInfoItem::TcxTreeListViewInfoItem(TcxTreeListViewInfo* AOwner) : TcxCustomViewInfoItem(AOwner) {}

TcxTreeListViewInfo* TcxTreeListViewInfoItem::ViewInfo() const { return static_cast<TcxTreeListViewInfo*>(Owner()); }
TcxCustomTreeListControl* TcxTreeListViewInfoItem::TreeList() const { return ViewInfo()->TreeList(); }

void TcxTreeListViewInfoItem::CalculateWithClip(const TRect& ARect, const TRect& AClip) {
  SetBounds(ARect, AClip);
  Calculate();
}

void TcxTreeListHeaderViewInfo::Calculate() {
  TextArea = FDisplayRect;
  InflateRect(TextArea, -HeaderTextMargin, -HeaderTextMargin);
  SortMarkArea = TRect{};
  if (Column && Column->SortOrder() != soNone) {
    const Integer Width = ViewInfo()->LookAndFeelPainter()->SortMarkAreaSize().X;
    SortMarkArea = TRect{TextArea.Right - Width, TextArea.Top, TextArea.Right, TextArea.Bottom};
    TextArea.Right = SortMarkArea.Left - HeaderTextMargin;
  }
  InflateRect(TextArea, -1, 0);
  ButtonState = Pressed ? cxbsPressed : cxbsNormal;
}

void TcxTreeListIndentViewInfo::Calculate() {
  HorzLine = VertLine = ButtonRect = TRect{};
  if (IndentKind != ikLevel) return;
  const TRect& R = FDisplayRect;
  const Integer CenterX = (R.Left + R.Right) / 2;
  const Integer CenterY = (R.Top + R.Bottom) / 2 - 1;
  if (TreeLines & (tltlUpper | tltlLower)) {
    const Integer Top = TreeLines & tltlUpper ? R.Top : CenterY;
    const Integer Bottom = TreeLines & tltlLower ? R.Bottom : CenterY + 1;
    VertLine = TRect{CenterX, Top, CenterX + 1, Bottom};
  }
  if (TreeLines & tltlHorz) HorzLine = TRect{CenterX, CenterY, R.Right, CenterY + 1};
  if (!HasButton) return;
  const Integer Size = ViewInfo()->LookAndFeelPainter()->ExpandBoxSize();
  Integer Left = R.Left + (R.Width() - Size) / 2;
  Integer Top = R.Top + (R.Height() - Size) / 2 - 1;
  if (R.Width() % 2 == 0) ++Left;
  if (R.Height() % 2 == 0) ++Top;
  ButtonRect = TRect{Left, Top, Left + Size, Top + Size};
}

// ---- Cells ------------------------------------------------------------------------------------

TcxTreeListEditCellViewInfo::TcxTreeListEditCellViewInfo(TcxTreeListNodeViewInfo* ARow, TcxTreeListColumn* AColumn)
    : TcxEditCellViewInfo(ARow->ViewInfo(), AColumn), FRow(ARow) {}

TcxTreeListColumn* TcxTreeListEditCellViewInfo::Column() const { return static_cast<TcxTreeListColumn*>(GetItem()); }

Integer TcxTreeListEditCellViewInfo::GetRecordIndex() const {
  return FRow->Node ? FRow->Node->RecordIndex() : -1;
}

bool TcxTreeListEditCellViewInfo::IsSelectedLook() const {
  if (!FRow->RowSelected && !FRow->RowFocused) return false;
  auto* TreeList = static_cast<TcxCustomTreeListControl*>(GetControl());
  const TcxTreeListViewSettings Settings = TreeList->ViewSettings();
  if (Settings.HideSelection && !TreeList->IsFocused()) return false;
  const bool FocusedColumn = TreeList->Controller()->FocusedItem() == GetItem();
  if (FRow->RowFocused && Settings.CellSelect && FocusedColumn) return !Settings.InvertSelect;
  return Settings.InvertSelect;
}

TcxViewParams TcxTreeListEditCellViewInfo::GetViewParams() const {
  TcxTreeListStyles* Styles = static_cast<TcxCustomTreeListControl*>(GetControl())->Styles();
  if (IsSelectedLook()) return Styles->GetSelectionParams();
  return FRow->Node ? Styles->GetContentParams(FRow->Node, Column()) : Styles->TcxCustomControlStyles::GetContentParams();
}

// ---- Rows -------------------------------------------------------------------------------------

TcxTreeListNodeViewInfo::TcxTreeListNodeViewInfo(TcxTreeListViewInfo* AViewInfo)
    : Indicator(std::make_unique<TcxTreeListIndicatorViewInfo>(AViewInfo)), FViewInfo(AViewInfo) {}

TcxTreeListNodeViewInfo::~TcxTreeListNodeViewInfo() {
  Cells.clear();
  Indents.clear();
}

TcxTreeListEditCellViewInfo* TcxTreeListNodeViewInfo::CellOfColumn(const TcxTreeListColumn* AColumn) const {
  for (const auto& Cell : Cells)
    if (Cell->GetItem() == AColumn) return Cell.get();
  return nullptr;
}

TcxTreeListEditCellViewInfo* TcxTreeListNodeViewInfo::FocusCell() const {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  if (!RowFocused || !TreeList->ViewSettings().CellSelect) return nullptr;
  return CellOfColumn(static_cast<TcxTreeListColumn*>(TreeList->Controller()->FocusedItem()));
}

void TcxTreeListNodeViewInfo::Calculate(TcxTreeListNode* ANode, Integer ATop) {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  const TcxTreeListViewSettings Settings = TreeList->ViewSettings();
  Node = ANode;
  RowTop = ATop;
  RowHeight = FViewInfo->RowLineHeight() * std::max(FViewInfo->HeaderLineCount(), 1);
  ButtonShown = Settings.Buttons && ANode->HasChildren();
  ButtonExpanded = ButtonShown && ANode->Expanded();
  RowFocused = ANode->Focused();
  RowSelected = ANode->Selected();
  const TRect Area = FViewInfo->NodesAreaRect();
  const Integer IndicatorWidth = Settings.Indicator ? Settings.IndicatorWidth : 0;
  const Integer ContentLeft = Area.Left + IndicatorWidth - FViewInfo->LeftPos();
  RowRect = TRect{Area.Left, RowTop, Area.Left + IndicatorWidth + FViewInfo->ContentWidth(), RowTop + RowHeight};
  const Integer IndentCount = cxTreeListIndentCount(TreeList, ANode);
  CellsLeft = ContentLeft + IndentCount * FViewInfo->IndentStep();
  CellsArea = TRect{CellsLeft, RowTop, std::max(CellsLeft, RowRect.Right - FViewInfo->LeftPos()), RowTop + RowHeight};
  RowBorders = Settings.HorzGridLines ? BorderBit(bBottom) : 0;
  CalculateIndents(IndentCount, CellsLeft);
  CalculateCells(IndentCount * FViewInfo->IndentStep());
  Indicator->Node = ANode;
  Indicator->Kind = ikNone;
  if (Settings.Indicator) {
    const Integer Selected = Integer(TreeList->SelectionList().size());
    if (RowFocused) {
      const Integer State = TreeList->DataController()->GetEditState();
      Indicator->Kind = (State & dceEdit) ? ikEdit : (State & dceInsert) ? ikInsert
                        : RowSelected && Selected > 1 ? ikMultiArrow : ikArrow;
    } else if (RowSelected) {
      Indicator->Kind = ikMultiDot;
    }
    Indicator->SetBounds(TRect{Area.Left, RowTop, Area.Left + IndicatorWidth, RowTop + RowHeight}, Area);
  } else {
    Indicator->SetBounds(TRect{}, TRect{});
  }
  FViewInfo->NoteRowCalculated();
}

void TcxTreeListNodeViewInfo::CalculateIndents(Integer AIndentCount, Integer AIndentsRight) {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  const TcxTreeListViewSettings Settings = TreeList->ViewSettings();
  const bool ShowRoot = TreeList->BandSettings().ShowRoot;
  while (Integer(Indents.size()) > AIndentCount) Indents.pop_back();
  while (Integer(Indents.size()) < AIndentCount)
    Indents.push_back(std::make_unique<TcxTreeListIndentViewInfo>(FViewInfo));
  const Integer Step = FViewInfo->IndentStep();
  const TRect Clip = FViewInfo->NodesAreaRect();
  Integer Right = AIndentsRight;
  size_t Index = size_t(AIndentCount);
  auto Next = [&](TcxTreeListIndentViewInfo::TKind AKind) {
    TcxTreeListIndentViewInfo* Indent = Indents[--Index].get();
    Indent->IndentKind = AKind;
    Indent->Node = Node;
    Indent->Level = Node->Level();
    Indent->TreeLines = 0;
    Indent->HasButton = false;
    Indent->Images = nullptr;
    Indent->ImageIndex = -1;
    Indent->ImageValid = false;
    Indent->Borders = RowBorders;
    Indent->Color = TreeList->Styles()->GetNodeIndentParams(Node, Integer(Index)).Color;
    Indent->SetBounds(TRect{Right - Step, RowTop, Right, RowTop + RowHeight}, Clip);
    Right -= Step;
    return Indent;
  };
  auto SetImage = [](TcxTreeListIndentViewInfo* AIndent, TImageList* AImages, Integer AIndex) {
    AIndent->Images = AImages;
    AIndent->ImageIndex = AIndex;
    AIndent->ImageValid = AIndex >= 0 && AIndex < AImages->Count();
  };
  if (TImageList* Images = TreeList->Images())
    SetImage(Next(TcxTreeListIndentViewInfo::ikImage), Images, RowSelected ? Node->SelectedIndex() : Node->ImageIndex());
  if (TImageList* StateImages = TreeList->StateImages(); StateImages && Node->StateIndex() >= 0)
    SetImage(Next(TcxTreeListIndentViewInfo::ikStateImage), StateImages, Node->StateIndex());
  // Level indents, from the node's own level up to the top one.
  TcxTreeListNode* Level = Node;
  for (bool Own = true; Level && Level->Parent() && Index > 0; Level = Level->Parent(), Own = false) {
    if (!ShowRoot && !Level->Parent()->Parent()) break;
    TcxTreeListIndentViewInfo* Indent = Next(TcxTreeListIndentViewInfo::ikLevel);
    Indent->Level = Level->Level();
    Indent->Node = Level;
    if (Settings.TreeLines) {
      const bool HasNext = Level->GetNextSibling() != nullptr;
      if (Own) {
        Indent->TreeLines = tltlUpper | tltlHorz | (HasNext ? tltlLower : 0);
        if (!Level->Parent()->Parent() && Level->Index() == 0) Indent->TreeLines &= ~tltlUpper;
      } else if (HasNext) {
        Indent->TreeLines = tltlUpper | tltlLower;
      }
    }
    Indent->HasButton = Own && ButtonShown;
    Indent->Calculate();
  }
}

void TcxTreeListNodeViewInfo::CalculateCells(Integer AIndentsWidth) {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  const std::vector<TcxTreeListColumn*> Columns = TreeList->VisibleColumns();
  const bool Vert = TreeList->BandSettings().VertGridLines;
  const bool Horz = TreeList->ViewSettings().HorzGridLines;
  const TRect Clip = FViewInfo->NodesAreaRect();
  if (Cells.size() > Columns.size()) Cells.resize(Columns.size());
  for (size_t I = 0; I < Columns.size(); ++I) {
    if (I >= Cells.size() || Cells[I]->GetItem() != Columns[I]) {
      if (I < Cells.size())
        Cells[I] = std::make_unique<TcxTreeListEditCellViewInfo>(this, Columns[I]);
      else
        Cells.push_back(std::make_unique<TcxTreeListEditCellViewInfo>(this, Columns[I]));
    }
    TcxTreeListEditCellViewInfo* Cell = Cells[I].get();
    TcxTreeListColumnHeaderViewInfo* Header = FViewInfo->ColumnHeader(Columns[I]);
    if (!Header) continue;
    const Integer LineHeight = FViewInfo->RowLineHeight();
    const Integer Top = RowTop + Columns[I]->Position().RowIndex * LineHeight;
    TRect R{Header->DisplayRect().Left, Top, Header->DisplayRect().Right,
            Top + std::max(Columns[I]->Position().LineCount, 1) * LineHeight};
    if (TreeList->Bands()->IsTreeColumn(Columns[I])) R.Left += AIndentsWidth;
    Cell->SetBorders((Vert ? BorderBit(bRight) : 0) | (Horz ? BorderBit(bBottom) : 0));
    Cell->SetBounds(R, Clip);
    if (Cell->Visible()) Cell->Calculate();
  }
}

// ---- The view info ----------------------------------------------------------------------------

TcxTreeListViewInfo::TcxTreeListViewInfo(TcxCustomTreeListControl* ATreeList)
    : TcxCustomControlViewInfo(ATreeList),
      FTreeList(ATreeList),
      FHeaderIndicator(std::make_unique<TcxTreeListIndicatorViewInfo>(this)),
      FFooterIndicator(std::make_unique<TcxTreeListIndicatorViewInfo>(this)) {
  ReplacePainter(std::make_unique<TcxTreeListControlPainter>(ATreeList));
}

TcxTreeListViewInfo::~TcxTreeListViewInfo() { ClearRows(); }

const TcxCustomLookAndFeelPainter* TcxTreeListViewInfo::LookAndFeelPainter() const {
  return PainterOf(FTreeList->LookAndFeel()->GetPainterClass());
}

TColor TcxTreeListViewInfo::GridLineColor() const {
  const TColor Color = FTreeList->ViewSettings().GridLineColor;
  return Color == clDefault ? clBtnShadow : Color;
}

TColor TcxTreeListViewInfo::TreeLineColor() const {
  const TColor Color = FTreeList->ViewSettings().TreeLineColor;
  return ColorToRGB(Color == clDefault ? clBtnShadow : Color);
}

void TcxTreeListViewInfo::ClearRows() {
  FRows.clear();
  FRowCount = FFullRowCount = 0;
}

TcxTreeListColumnHeaderViewInfo* TcxTreeListViewInfo::ColumnHeader(const TcxTreeListColumn* AColumn) const {
  for (const auto& Header : FColumnHeaders)
    if (Header->Column == AColumn) return Header.get();
  return nullptr;
}

TcxTreeListNodeViewInfo* TcxTreeListViewInfo::RowOfNode(const TcxTreeListNode* ANode) const {
  for (Integer I = 0; I < FRowCount; ++I)
    if (FRows[size_t(I)]->Node == ANode) return FRows[size_t(I)].get();
  return nullptr;
}

void TcxTreeListViewInfo::CalculateCells() {
  FEditCells.clear();
  CalculateHeights();
  CalculateAreas();
  CalculateHeaders();
  CalculateRows();
  for (Integer I = 0; I < FRowCount; ++I)
    for (const auto& Cell : FRows[size_t(I)]->Cells) FEditCells.push_back(Cell.get());
  UpdateScrollBars();
}

void TcxTreeListViewInfo::CalculateHeights() {
  const TcxCustomLookAndFeelPainter* Painter = LookAndFeelPainter();
  const TcxTreeListViewSettings Settings = FTreeList->ViewSettings();
  // Measured again only when the control's font changed.
  if (!FMeasuredFont || !FMeasuredFont->SameAs(*FTreeList->Font())) {
    if (!FMeasuredFont) FMeasuredFont = std::make_unique<TFont>();
    FMeasuredFont->Assign(FTreeList->Font());
    FTextHeight = TextHeightOf(FTreeList);
  }
  const Integer TextHeight = FTextHeight;
  const Integer Line = Painter->HeaderHeightForText(TextHeight);
  FHeaderLineCount = 0;
  for (Integer I = 0; I < FTreeList->Bands()->VisibleItemCount(); ++I)
    FHeaderLineCount = std::max(FHeaderLineCount, FTreeList->Bands()->VisibleItems(I)->BandRows()->LineCount());
  if (FTreeList->VisibleColumns().empty()) FHeaderLineCount = 0;
  FHeaderLineHeight = Line;
  FBandLineHeight = Line;
  FFooterLineHeight = FHeaderLineCount > 0 && Settings.Footer ? Line + 4 * Painter->FooterCellFrameWidth()
                                                              : Line + Painter->FooterCellFrameWidth();
  Integer Row = std::max(DefaultEditHeight(), TextHeight);
  if (FTreeList->Images()) Row = std::max(Row, FTreeList->Images()->Height());
  if (FTreeList->StateImages()) Row = std::max(Row, FTreeList->StateImages()->Height());
  const Integer Assigned = FTreeList->AssignedRowHeight();
  FRowLineHeight = Assigned > 0 ? Assigned : Row + (Settings.HorzGridLines ? 1 : 0);
  FIndentStep = CalculateIndentStep(FTreeList);
}

Integer TcxTreeListViewInfo::MinRowHeight() const { return TextHeightOf(FTreeList); }

Integer TcxTreeListViewInfo::CalculateIndentStep(const TcxCustomTreeListControl* ATreeList) {
  Integer Step = PainterOf(ATreeList->LookAndFeel()->GetPainterClass())->ExpandBoxSize() + IndentRoom;
  if (ATreeList->Images()) Step = std::max(Step, ATreeList->Images()->Width() + ImageMargin);
  if (ATreeList->StateImages()) Step = std::max(Step, ATreeList->StateImages()->Width() + ImageMargin);
  return Step;
}

void TcxTreeListViewInfo::CalculateAreas() {
  const TcxTreeListBandSettings Bands = FTreeList->BandSettings();
  const TcxTreeListViewSettings Settings = FTreeList->ViewSettings();
  const TRect Client = FTreeList->ContentBounds();
  const Integer HeadersBottom = Client.Top + (Bands.Bands ? Bands.BandLineCount * FBandLineHeight : 0) +
                                (Bands.Headers ? FHeaderLineCount * FHeaderLineHeight : 0);
  const TcxCustomLookAndFeelPainter* Painter = LookAndFeelPainter();
  FFooterTop = Client.Bottom;
  if (Settings.Footer && FHeaderLineCount > 0)
    FFooterTop -= 2 * Painter->FooterFrameWidth() + FHeaderLineCount * FFooterLineHeight;
  FFooterTop = std::max(FFooterTop, HeadersBottom);
  FHeaderAreaRect = TRect{Client.Left, Client.Top, Client.Right, HeadersBottom};
  FNodesAreaRect = TRect{Client.Left, HeadersBottom, Client.Right, FFooterTop};
  FFooterRect = TRect{};
  if (FFooterTop < Client.Bottom) {
    FFooterRect = TRect{Client.Left + (Settings.Indicator ? Settings.IndicatorWidth : 0), FFooterTop, Client.Right,
                        Client.Bottom};
    InflateRect(FFooterRect, -Painter->FooterFrameWidth(), -Painter->FooterFrameWidth());
  }
  const Integer Indicator = Settings.Indicator ? Settings.IndicatorWidth : 0;
  // Without a window there is no client area to fit the bands into.
  FContentWidth = 0;
  if (FTreeList->HandleAllocated())
    FContentWidth = FTreeList->Bands()->CalculateBandWidths(Client.Width() - Indicator);
  else
    for (Integer I = 0; I < FTreeList->Bands()->VisibleItemCount(); ++I)
      FContentWidth += FTreeList->Bands()->VisibleItems(I)->DisplayWidth();
  if (FTreeList->VisibleColumns().empty() && !Bands.Bands) FContentWidth = 0;
  const Integer Page = Client.Width() - Indicator;
  FLeftPos = FContentWidth > Page ? std::clamp(FLeftPos, 0, FContentWidth - Page) : 0;
}

void TcxTreeListViewInfo::CalculateHeaders() {
  const TcxTreeListBandSettings Bands = FTreeList->BandSettings();
  const TcxTreeListViewSettings Settings = FTreeList->ViewSettings();
  const TRect Client = FTreeList->ContentBounds();
  FBandRects.clear();
  // The hit test and the hot tracking let go of the items that go.
  if (TcxCustomControlController* Controller = FTreeList->Controller(); Controller && Controller->HitTestController()) {
    auto Forget = [Controller](const auto& AItems) {
      for (const auto& Item : AItems) Controller->HitTestController()->CellRemoved(Item.get());
    };
    Forget(FBandHeaders);
    Forget(FColumnHeaders);
    Forget(FFooterItems);
  }
  FBandHeaders.clear();
  std::vector<std::unique_ptr<TcxTreeListColumnHeaderViewInfo>> OldHeaders = std::move(FColumnHeaders);
  FColumnHeaders.clear();
  FFooterItems.clear();
  const Integer Indicator = Settings.Indicator ? Settings.IndicatorWidth : 0;
  const TRect HeaderClip{Client.Left + Indicator, Client.Top, Client.Right, FHeaderAreaRect.Bottom};
  FHeaderIndicator->SetBounds(Settings.Indicator && (Bands.Bands || Bands.Headers)
                                  ? TRect{Client.Left, Client.Top, Client.Left + Indicator, FHeaderAreaRect.Bottom}
                                  : TRect{},
                              Client);
  FFooterIndicator->SetBounds(Settings.Indicator && !IsRectEmpty(FFooterRect)
                                  ? TRect{Client.Left, FFooterTop, Client.Left + Indicator, Client.Bottom}
                                  : TRect{},
                              Client);
  const Integer BandTop = Client.Top;
  const Integer ColumnsTop = BandTop + (Bands.Bands ? Bands.BandLineCount * FBandLineHeight : 0);
  Integer X = Client.Left + Indicator - FLeftPos;
  for (Integer B = 0; B < FTreeList->Bands()->VisibleItemCount(); ++B) {
    TcxTreeListBand* Band = FTreeList->Bands()->VisibleItems(B);
    const Integer Width = Band->DisplayWidth();
    const TRect BandRect{X, BandTop, X + Width, FHeaderAreaRect.Bottom};
    FBandRects.emplace_back(Band, BandRect);
    if (Bands.Bands) {
      auto Header = std::make_unique<TcxTreeListHeaderViewInfo>(this);
      Header->Band = Band;
      Header->Text = Band->Caption();
      Header->CalculateWithClip(TRect{X, BandTop, X + Width, ColumnsTop}, HeaderClip);
      FBandHeaders.push_back(std::move(Header));
    }
    TcxTreeListBandRows* Rows = Band->BandRows();
    Integer Line = 0;
    for (Integer R = 0; R < Rows->Count(); ++R) {
      TcxTreeListBandRow* Row = Rows->Items(R);
      Integer ColumnX = X;
      for (Integer C = 0; C < Row->Count(); ++C) {
        TcxTreeListColumn* Column = Row->Items(C);
        auto Header = std::make_unique<TcxTreeListColumnHeaderViewInfo>(this);
        Header->Column = Column;
        Header->Band = Band;
        Header->Text = Column->Caption();
        // Recomputed from nothing, so a column alone in its line has no neighbours.
        Header->Neighbors = (C > 0 ? TcxNeighbors(nLeft) : 0u) | (C + 1 < Row->Count() ? TcxNeighbors(nRight) : 0u);
        for (const auto& Old : OldHeaders)
          if (Old->Column == Column) Header->Pressed = Old->Pressed;
        const Integer Lines = std::max(Column->Position().LineCount, 1);
        const TRect R2{ColumnX, ColumnsTop + Line * FHeaderLineHeight, ColumnX + Column->DisplayWidth(),
                       ColumnsTop + (Line + Lines) * FHeaderLineHeight};
        TRect Clip;
        IntersectRect(Clip, BandRect, HeaderClip);
        Header->CalculateWithClip(R2, Bands.Headers ? Clip : TRect{});
        if (!IsRectEmpty(FFooterRect)) {
          auto Footer = std::make_unique<TcxTreeListFooterItemViewInfo>(this);
          Footer->Column = Column;
          const Integer FooterTop = FFooterTop + LookAndFeelPainter()->FooterFrameWidth() + Line * FFooterLineHeight;
          TRect FR{ColumnX, FooterTop, ColumnX + Column->DisplayWidth(), FooterTop + Lines * FFooterLineHeight};
          InflateRect(FR, -LookAndFeelPainter()->FooterCellSpacing(), -LookAndFeelPainter()->FooterCellSpacing());
          TRect FooterClip;
          IntersectRect(FooterClip, TRect{BandRect.Left, FFooterRect.Top, BandRect.Right, FFooterRect.Bottom},
                        FFooterRect);
          Footer->CalculateWithClip(FR, FooterClip);
          FFooterItems.push_back(std::move(Footer));
        }
        FColumnHeaders.push_back(std::move(Header));
        ColumnX += Column->DisplayWidth();
      }
      Line += Row->LineCount();
    }
    X += Width;
  }
}

TcxTreeListNodeViewInfo* TcxTreeListViewInfo::RowFromPool(Integer AIndex) {
  while (Integer(FRows.size()) <= AIndex) FRows.push_back(std::make_unique<TcxTreeListNodeViewInfo>(this));
  return FRows[size_t(AIndex)].get();
}

Integer TcxTreeListViewInfo::VisibleRowCapacity() const {
  const Integer Height = FRowLineHeight * std::max(FHeaderLineCount, 1);
  return Height > 0 ? std::max(FNodesAreaRect.Height() / Height, 1) : 1;
}

Integer TcxTreeListViewInfo::TopIndex() const {
  if (!IsDirty()) return FTopIndex;
  TcxTreeListNodes* Nodes = FTreeList->Nodes();
  return std::clamp(Nodes->ShownTopIndex(), 0, std::max(Nodes->ShownNodeCount() - VisibleRowCapacity(), 0));
}

void TcxTreeListViewInfo::CalculateRows() {
  FRowCount = FFullRowCount = FTopIndex = 0;
  // Rows exist only on screen: a control without a window lays none out.
  if (!FTreeList->HandleAllocated()) return;
  TcxTreeListNodes* Nodes = FTreeList->Nodes();
  const Integer Count = Nodes->ShownNodeCount();
  if (Count <= 0 || FColumnHeaders.empty()) return;
  // The last page stays full: no empty rows below the last node while nodes above are hidden.
  // (The store keeps its own top index; a later scroll sets it anew.)
  Integer Top = std::clamp(Nodes->ShownTopIndex(), 0, std::max(Count - VisibleRowCapacity(), 0));
  TcxTreeListNode* Node = Nodes->GetNodeByVisibleIndex(Top);
  FTopIndex = Top;
  Integer Y = FNodesAreaRect.Top;
  while (Node && Y < FNodesAreaRect.Bottom) {
    TcxTreeListNodeViewInfo* Row = RowFromPool(FRowCount);
    Row->RowIndex = FRowCount++;
    Row->Calculate(Node, Y);
    Y += Row->RowHeight;
    if (Y <= FNodesAreaRect.Bottom) ++FFullRowCount;
    Node = Node->GetNextVisible();
  }
  FFullRowCount = std::max(FFullRowCount, 1);
}

void TcxTreeListViewInfo::SetTopIndex(Integer AIndex) {
  TcxTreeListNodes* Nodes = FTreeList->Nodes();
  const Integer Count = Nodes->ShownNodeCount();
  AIndex = std::clamp(AIndex, 0, std::max(Count - VisibleRowCapacity(), 0));
  if (AIndex == TopIndex() && !IsDirty()) return;
  Nodes->SetShownTopIndex(AIndex);
}

void TcxTreeListViewInfo::SetLeftPos(Integer AValue) {
  if (AValue == FLeftPos) return;
  FLeftPos = AValue;
  FTreeList->LayoutChanged();
}

void TcxTreeListViewInfo::MakeNodeVisible(TcxTreeListNode* ANode) {
  if (!ANode || !ANode->IsVisible()) return;
  if (IsDirty()) Calculate();
  const Integer Index = ANode->VisibleIndex();
  const Integer Top = TopIndex();
  if (Index < Top) return SetTopIndex(Index);
  if (Index >= Top + FFullRowCount) SetTopIndex(Index - FFullRowCount + 1);
}

void TcxTreeListViewInfo::UpdateScrollBars() {
  // A bar that shows or hides lays the control out again from inside.
  if (FUpdatingScrollBars || !FTreeList->HandleAllocated()) return;
  FUpdatingScrollBars = true;
  try {
    FTreeList->RecalcScrollBars();
  } catch (...) {
    FUpdatingScrollBars = false;
    throw;
  }
  FUpdatingScrollBars = false;
}

// ---- Hit test ---------------------------------------------------------------------------------

void TcxTreeListHitTest::DoHitTest() {
  FHitCodes = 0;
  FBand = nullptr;
  FColumn = nullptr;
  FNode = nullptr;
  FEdgeNode = nullptr;
  FHeader = nullptr;
  auto* TreeList = static_cast<TcxCustomTreeListControl*>(Controller()->EditingControl());
  TcxTreeListViewInfo* ViewInfo = TreeList->TreeListViewInfo();
  const TPoint P = HitPoint();
  if (!PointIn(TreeList->ContentBounds(), P)) return SetHitItem(nullptr);
  if (TestHeadersAndFooter(ViewInfo, P)) return TestSizingEdge(ViewInfo, P);
  for (Integer I = 0; I < ViewInfo->RowCount(); ++I)
    if (TestRow(ViewInfo->Rows(I), P)) break;
  TestSizingEdge(ViewInfo, P);
}

bool TcxTreeListHitTest::TestHeadersAndFooter(TcxTreeListViewInfo* AViewInfo, const TPoint& P) {
  TcxCustomTreeListControl* TreeList = AViewInfo->TreeList();
  const bool InFooter = TreeList->ViewSettings().Footer && P.Y >= AViewInfo->FooterTop();
  if (P.Y >= AViewInfo->HeadersBottom() && !InFooter) return false;
  for (const auto& [Band, Rect] : AViewInfo->BandRects()) {
    const Integer Reach = Band->CanSize(cxsdHorizontal) ? SizingEdgeReach : 0;
    if (P.X < Rect.Left || P.X > Rect.Right + Reach) continue;
    SetCode(tlhcBand);
    FBand = Band;
    for (const auto& Header : AViewInfo->BandHeaders())
      if (Header->Band == Band && PointIn(Grown(Header->ClipRect(), Reach, 0), P)) {
        SetCode(tlhcBandHeader);
        FHeader = Header.get();
        SetHitItem(Header.get());
        return true;
      }
    for (const auto& Footer : AViewInfo->FooterItems())
      if (Footer->Visible() && PointIn(Footer->ClipRect(), P) && InFooter) {
        SetCode(tlhcColumnFooter);
        SetCode(tlhcColumn);
        FColumn = Footer->Column;
        SetHitItem(Footer.get());
        return true;
      }
    for (const auto& Header : AViewInfo->ColumnHeaders()) {
      if (Header->Band != Band || !Header->Visible() || InFooter) continue;
      const Integer ColumnReach = TreeList->BandSettings().ColumnHorzSizing ? SizingEdgeReach : 0;
      TRect R = Header->ClipRect();
      R.Right += ColumnReach;
      if (!PointIn(R, P)) continue;
      SetCode(tlhcColumnHeader);
      SetCode(tlhcColumn);
      FColumn = Header->Column;
      FHeader = Header.get();
      SetHitItem(Header.get());
      return true;
    }
    SetCode(InFooter ? tlhcFooter : tlhcBandHeaderArea);
    SetHitItem(nullptr);
    return true;
  }
  if (InFooter) SetCode(tlhcFooter);
  SetHitItem(nullptr);
  return true;
}

bool TcxTreeListHitTest::TestRow(TcxTreeListNodeViewInfo* ARow, const TPoint& P) {
  if (P.Y < ARow->RowTop || P.Y >= ARow->RowTop + ARow->RowHeight) return false;
  bool Hit = false;
  for (const auto& Indent : ARow->Indents) {
    if (!Indent->Visible() || !PointIn(Indent->ClipRect(), P)) continue;
    Hit = true;
    SetHitItem(Indent.get());
    if (Indent->IndentKind == TcxTreeListIndentViewInfo::ikImage)
      SetCode(tlhcImage);
    else if (Indent->IndentKind == TcxTreeListIndentViewInfo::ikStateImage)
      SetCode(tlhcStateImage);
    else
      SetCode(tlhcIndent);
    if (Indent->HasButton && PointIn(Grown(Indent->ButtonRect, ButtonReach, ButtonReach), P)) SetCode(tlhcButton);
    break;
  }
  if (!Hit)
    for (const auto& Cell : ARow->Cells) {
      if (!Cell->Visible() || !PointIn(Cell->ClipRect(), P)) continue;
      Hit = true;
      SetCode(tlhcBand);
      SetCode(tlhcColumn);
      FColumn = Cell->Column();
      FBand = FColumn->Band();
      SetHitItem(Cell.get());
      break;
    }
  if (!Hit && ARow->Indicator->Visible() && PointIn(ARow->Indicator->ClipRect(), P)) {
    Hit = true;
    SetCode(tlhcIndicator);
    SetHitItem(ARow->Indicator.get());
  }
  if (!Hit && PointIn(ARow->RowRect, P)) {
    Hit = true;
    SetHitItem(nullptr);
  }
  if (!Hit) return false;
  SetCode(tlhcNode);
  FNode = ARow->Node;
  return true;
}

void TcxTreeListHitTest::TestSizingEdge(TcxTreeListViewInfo* AViewInfo, const TPoint& P) {
  if (HitAtCode(tlhcColumn) && HitAtCode(tlhcNode)) return;
  if (FHeader) {
    const TRect R = FHeader->ClipRect();
    auto CanSize = [this](TcxSizingDirection ADirection) {
      return FHeader->Column ? FHeader->Column->CanSize(ADirection) : FHeader->Band->CanSize(ADirection);
    };
    if (std::abs(R.Right - P.X) <= SizingEdgeReach && CanSize(cxsdHorizontal))
      SetCode(tlhcHorzSizingEdge);
    else if (std::abs(R.Bottom - P.Y) <= SizingEdgeReach && CanSize(cxsdVertical))
      SetCode(tlhcVertSizingEdge);
    return;
  }
  if (FNode) TestRowSizingEdge(AViewInfo, P);
}

void TcxTreeListHitTest::TestRowSizingEdge(TcxTreeListViewInfo* AViewInfo, const TPoint& P) {
  // Near a row's top the edge is the lower edge of the row above it.
  TcxTreeListNodeViewInfo* Row = AViewInfo->RowOfNode(FNode);
  if (!Row) return;
  TcxTreeListNode* Edge = FNode;
  if (Row->RowIndex > 0 && P.Y < Row->RowTop + SizingEdgeReach) {
    Edge = FNode->GetPrevVisible();
    Row = Edge ? AViewInfo->RowOfNode(Edge) : nullptr;
    if (!Row) return;
  }
  const Integer Bottom = Row->RowTop + Row->RowHeight;
  if (P.Y < Bottom - RowSizingEdgeReach || P.Y > Bottom + SizingEdgeReach || !Edge->CanSize(cxsdVertical)) return;
  FEdgeNode = Edge;
  SetCode(tlhcVertSizingEdge);
}

TCursor TcxTreeListHitTest::GetHitCursor() {
  if (HitAtCode(tlhcHorzSizingEdge)) return crHSplit;
  if (HitAtCode(tlhcVertSizingEdge)) return crVSplit;
  return crDefault;
}

// ---- The control's rows view --------------------------------------------------------------------

std::unique_ptr<TcxCustomControlViewInfo> TcxCustomTreeListControl::CreateViewInfo() {
  return std::make_unique<TcxTreeListViewInfo>(this);
}

TcxTreeListViewInfo* TcxCustomTreeListControl::TreeListViewInfo() const {
  return static_cast<TcxTreeListViewInfo*>(ViewInfo());
}

TcxTreeListController* TcxCustomTreeListControl::TreeListController() const {
  return static_cast<TcxTreeListController*>(Controller());
}

TcxTreeListHitTest* TcxCustomTreeListControl::HitTest() const {
  return static_cast<TcxTreeListHitTest*>(Controller()->HitTestController());
}

TcxTreeListViewSettings TcxCustomTreeListControl::ViewSettings() const {
  TcxTreeListViewSettings Result;
  const TcxTreeListOptionsView* View = OptionsView();
  Result.Indicator = View->Indicator();
  Result.IndicatorWidth = View->IndicatorWidth();
  Result.Footer = View->Footer();
  Result.Buttons = View->Buttons();
  Result.HorzGridLines = View->HorzGridLines();
  Result.TreeLines = View->TreeLineStyle() != tllsNone;
  Result.SolidTreeLines = View->TreeLineStyle() == tllsSolid;
  Result.TreeLineColor = View->TreeLineColor();
  Result.GridLineColor = View->GridLineColor();
  Result.ExtPaintStyle = View->ExtPaintStyle();
  if (const TcxTreeListOptionsSelection* Selection = OptionsSelection()) {
    Result.CellSelect = Selection->CellSelect();
    Result.InvertSelect = Selection->InvertSelect();
    Result.HideSelection = Selection->HideSelection();
    Result.HideFocusRect = Selection->HideFocusRect();
  }
  const TcxTreeListOptionsBehavior* Behavior = OptionsBehavior();
  Result.Sorting = Behavior->Sorting();
  Result.MultiSort = Behavior->MultiSort();
  Result.ExpandOnDblClick = Behavior->ExpandOnDblClick();
  Result.ConfirmDelete = Behavior->ConfirmDelete();
  Result.Deleting = OptionsData()->Deleting();
  Result.Inserting = OptionsData()->Inserting();
  return Result;
}

void TcxCustomTreeListControl::SetImages(TImageList* AValue) {
  if (FImages == AValue) return;
  if (FImages && FImages != FStateImages) FImages->RemoveFreeNotification(this);
  FImages = AValue;
  if (AValue) AValue->FreeNotification(this);
  LayoutChanged();
}

void TcxCustomTreeListControl::SetStateImages(TImageList* AValue) {
  if (FStateImages == AValue) return;
  if (FStateImages && FStateImages != FImages) FStateImages->RemoveFreeNotification(this);
  FStateImages = AValue;
  if (AValue) AValue->FreeNotification(this);
  LayoutChanged();
}

Integer TcxCustomTreeListControl::DefaultRowHeight() const {
  if (FDefaultRowHeight > 0) return FDefaultRowHeight;
  TcxTreeListViewInfo* VI = TreeListViewInfo();
  if (!VI) return 0;
  if (VI->IsDirty() && !IsLocked() && !IsDestroying()) VI->Calculate();
  return VI->RowLineHeight();
}

void TcxCustomTreeListControl::SetDefaultRowHeight(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (TcxTreeListViewInfo* VI = TreeListViewInfo(); VI && AValue > 0) AValue = std::max(AValue, VI->MinRowHeight());
  if (AValue == FDefaultRowHeight) return;
  FDefaultRowHeight = AValue;
  LayoutChanged();
}

void TcxCustomTreeListControl::Notification(TComponent* AComponent, TOperation Operation) {
  TcxTreeListNodesOwner::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  const bool Forget = AComponent == FImages || AComponent == FStateImages;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FStateImages) FStateImages = nullptr;
  if (Forget && !IsDestroying()) LayoutChanged();
}

Integer TcxCustomTreeListControl::TopVisibleIndex() const { return TreeListViewInfo()->TopIndex(); }

void TcxCustomTreeListControl::SetTopVisibleIndex(Integer AValue) { TreeListViewInfo()->SetTopIndex(AValue); }

void TcxCustomTreeListControl::MakeNodeVisible(TcxTreeListNode* ANode) {
  if (!IsLocked() && !IsDestroying()) TreeListViewInfo()->MakeNodeVisible(ANode);
}

void TcxCustomTreeListControl::RepaintNode(TcxTreeListNode* ANode, bool ARecalculate) {
  if (ARecalculate) return LayoutChanged();
  if (TcxTreeListNodeViewInfo* Row = TreeListViewInfo()->RowOfNode(ANode)) InvalidateArea(Row->RowRect, false);
}

TRect TcxCustomTreeListControl::NodeCellsBounds(TcxTreeListNode* ANode, bool ACellsOnly) {
  TcxTreeListViewInfo* VI = TreeListViewInfo();
  if (VI->IsDirty()) VI->Calculate();
  TcxTreeListNodeViewInfo* Row = VI->RowOfNode(ANode);
  if (!Row) return TRect{};
  return ACellsOnly ? Row->CellsArea : Row->RowRect;
}

void TcxCustomTreeListControl::ComputeScrollBarParams() {
  TcxTreeListViewInfo* VI = TreeListViewInfo();
  if (!VI) return;
  const Integer Count = Nodes()->ShownNodeCount();
  const Integer Page = VI->VisibleRowCapacity();
  SetScrollBarParams(sbVertical, 0, std::max(Count - 1, 0), VI->TopIndex(), Page, 1, true, true);
  const Integer Width = ContentBounds().Width();
  SetScrollBarParams(sbHorizontal, 0, std::max(VI->ContentWidth() - 1, 0), VI->LeftPos(), Width,
                     TextWidthInFont(Font(), u"W"), true, true);
}
