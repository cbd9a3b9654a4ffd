#include "treelist/cxTLViewInfo.h"

#include <algorithm>
#include <cstdlib>

#include "data/cxDataSummary.h"
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
// Room between a header's glyph and its text.
constexpr Integer HeaderGlyphGap = 2;
// The indent room around a node image: the image sits left of this margin.
constexpr Integer ImageMargin = 3;
// The indent is the expand box plus this room.
constexpr Integer IndentRoom = 6;
// Room above and below a preview's text.
constexpr Integer PreviewVertMargin = 1;
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
  CalculateGlyph();
  ButtonState = Pressed ? cxbsPressed : IsHot() ? cxbsHot : cxbsNormal;
}

bool TcxTreeListHeaderViewInfo::IsHot() const {
  TcxCustomTreeListControl* C = TreeList();
  return ViewInfo()->LookAndFeelPainter()->HotTracksHeaders() && C->DragAndDropState() == ddsNone &&
         C->HitTest()->HitItem() == this;
}

TcxTreeListCaption* TcxTreeListHeaderViewInfo::Caption() const {
  if (Column) return Column->CaptionSettings();
  return Band ? Band->CaptionSettings() : nullptr;
}

void TcxTreeListHeaderViewInfo::CalculateGlyph() {
  GlyphRect = TRect{};
  GlyphClipped = false;
  TcxTreeListCaption* Settings = Caption();
  if (!Settings || !Settings->HasGlyph()) return;
  const Integer W = Settings->Glyph()->Width();
  const Integer H = Settings->Glyph()->Height();
  TPoint At{};
  switch (Settings->GlyphAlignHorz()) {
    case taLeftJustify:
      At.X = TextArea.Left;
      TextArea.Left += W + HeaderGlyphGap;
      break;
    case taRightJustify:
      At.X = TextArea.Right - W;
      TextArea.Right = At.X - HeaderGlyphGap;
      break;
    default: At.X = (TextArea.Left + TextArea.Right - W) / 2; break;
  }
  switch (Settings->GlyphAlignVert()) {
    case vaTop: At.Y = TextArea.Top; break;
    case vaBottom: At.Y = TextArea.Bottom - H; break;
    default: At.Y = (TextArea.Top + TextArea.Bottom - H) / 2; break;
  }
  GlyphRect = TRect{At.X, At.Y, At.X + W, At.Y + H};
  TRect Inside;
  GlyphClipped = !IntersectRect(Inside, GlyphRect, FClipRect) || Inside != GlyphRect;
}

bool TcxTreeListHeaderViewInfo::NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText,
                                             bool& AIsHintBelowCursor, TRect& ATextRect) {
  AIsHintBelowCursor = false;
  if (FHintLock > 0 || !Visible() || Text.empty() || !PointIn(TextArea, P)) return false;
  // The edges that size the header belong to the sizing, not to the hint.
  if (std::abs(FClipRect.Right - P.X) <= SizingEdgeReach || std::abs(FClipRect.Bottom - P.Y) <= SizingEdgeReach)
    return false;
  ++FHintLock;
  struct TUnlock {
    Integer& Lock;
    ~TUnlock() { --Lock; }
  } Unlock{FHintLock};
  TcxTreeListCaption* Settings = Caption();
  const bool Wraps = Settings ? Settings->MultiLine() : MultiLine;
  TcxScreenCanvas Own;
  TcxCanvas* Canvas = ACanvas ? ACanvas : &Own;
  Canvas->SetFont(ViewParams.Font ? ViewParams.Font : TreeList()->Font());
  TRect Needed{0, 0, TextArea.Width(), 0};
  Canvas->MeasureTextRect(Text, Needed, Wraps ? TcxTextFlags(cxWordBreak) : TcxTextFlags(cxSingleLine));
  if (Needed.Width() <= TextArea.Width() && Needed.Height() <= TextArea.Height()) return false;
  AText = Text;
  ATextRect = TextArea;
  return true;
}

TRect TcxTreeListColumnHeaderViewInfo::PaintRect() const {
  TRect R = FDisplayRect;
  if (DrawOneLeft) --R.Left;
  return R;
}

TRect TcxTreeListColumnHeaderViewInfo::PaintClipRect() const {
  TRect R = FClipRect;
  if (DrawOneLeft && R.Left == FDisplayRect.Left) --R.Left;
  return R;
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

bool TcxTreeListEditCellViewInfo::IsEndEllipsis() const {
  return TcxEditCellViewInfo::IsEndEllipsis() && Column()->Options()->CellEndEllipsis();
}

Integer TcxTreeListEditCellViewInfo::GetRecordIndex() const {
  return FRow->Node ? FRow->Node->RecordIndex() : -1;
}

bool TcxTreeListEditCellViewInfo::IsSelectedLook() const {
  if (!FRow->RowSelected && !FRow->RowFocused) return false;
  auto* TreeList = static_cast<TcxCustomTreeListControl*>(GetControl());
  const TcxTreeListViewSettings Settings = TreeList->ViewSettings();
  if (Settings.HideSelection && !TreeList->IsSelectionActive()) return false;
  const bool FocusedColumn = TreeList->Controller()->FocusedItem() == GetItem();
  if (FRow->RowFocused && Settings.CellSelect && FocusedColumn) return !Settings.InvertSelect;
  return Settings.InvertSelect;
}

TcxViewParams TcxTreeListEditCellViewInfo::GetViewParams() const {
  TcxTreeListStyles* Styles = static_cast<TcxCustomTreeListControl*>(GetControl())->Styles();
  TcxViewParams Params =
      FRow->Node ? Styles->GetContentParams(FRow->Node, Column()) : Styles->TcxCustomControlStyles::GetContentParams();
  if (!IsSelectedLook()) return Params;
  // The selection recolours the cell; its text keeps the content font, so
  // that a row does not change its letters when it is selected.
  const TcxViewParams Selection = Styles->GetSelectionParams();
  Params.Color = Selection.Color;
  Params.TextColor = Selection.TextColor;
  Params.Bitmap = Selection.Bitmap;
  return Params;
}

TcxEditButtonTransparency TcxTreeListEditCellViewInfo::GetButtonTransparency() const {
  const TcxEditItemShowEditButtons Own = Column()->Options()->ShowEditButtons();
  if (Own != eisbDefault) return Own == eisbAlways ? ebtNone : ebtHideInactive;
  auto* TreeList = static_cast<TcxCustomTreeListControl*>(GetControl());
  switch (TreeList->OptionsView()->ShowEditButtons()) {
    case ecsbAlways: return ebtNone;
    case ecsbFocused: return FRow->Node && FRow->Node == TreeList->FocusedNode() ? ebtNone : ebtHideInactive;
    default: return ebtHideInactive;
  }
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
  ButtonShown = Settings.Buttons && ANode->HasChildren();
  ButtonExpanded = ButtonShown && ANode->Expanded();
  RowFocused = ANode->Focused();
  RowSelected = ANode->Selected();
  GroupRow = TreeList->OptionsView()->PaintStyle() == tlpsCategorized && TreeList->IsGroupNode(ANode);
  const TRect Area = FViewInfo->NodesAreaRect();
  const Integer IndicatorWidth = Settings.Indicator ? Settings.IndicatorWidth : 0;
  const auto& Bands = FViewInfo->BandViewInfos();
  // The indents stand in front of the first band's cells.
  const Integer GroupsLeft = Bands.empty() ? Area.Left + IndicatorWidth - FViewInfo->LeftPos()
                                           : Bands.front()->DisplayRect().Left;
  const Integer GroupsRight = Bands.empty() ? GroupsLeft : Bands.back()->DisplayRect().Right;
  const Integer IndentCount = cxTreeListIndentCount(TreeList, ANode);
  const Integer IndentsWidth = IndentCount * FViewInfo->IndentStep();
  CellsLeft = GroupsLeft + IndentsWidth;
  RowBorders = Settings.HorzGridLines ? BorderBit(bBottom) : 0;
  const Integer PreviewHeight = CalculatePreviewHeight();
  PreviewShown = PreviewHeight > 0;
  const bool PreviewOnTop = PreviewShown && TreeList->Preview()->Place() == tlppTop;
  CellsTop = RowTop + (PreviewOnTop ? PreviewHeight : 0);
  CellsHeight = FViewInfo->RowLineHeight() * std::max(FViewInfo->HeaderLineCount(), 1);
  CellsArea = TRect{CellsLeft, CellsTop, std::max(CellsLeft, GroupsRight), CellsTop + CellsHeight};
  if (GroupRow) {
    Cells.clear();
    CellsGroups.clear();
    CalculateGroupCell();
  } else {
    GroupCell.reset();
    CalculateCells(IndentsWidth);
    if (FViewInfo->AutoRowHeight()) {
      const Integer Height = CalculateAutoCellsHeight(IndentsWidth);
      if (Height != CellsHeight) {
        CellsHeight = Height;
        CellsArea.Bottom = CellsTop + CellsHeight;
        CalculateCells(IndentsWidth);
      }
    }
    CalculateGroups();
  }
  RowHeight = CellsHeight + PreviewHeight;
  RowRect = TRect{Area.Left, RowTop, std::max(GroupsRight, Area.Left + IndicatorWidth), RowTop + RowHeight};
  if (PreviewShown)
    PlacePreview(PreviewOnTop ? RowTop : CellsTop + CellsHeight, PreviewHeight);
  else
    PreviewCell.reset();
  CalculateIndents(IndentCount, CellsLeft);
  // The fixed separators' pieces within the cells.
  LeftSeparatorPiece = RightSeparatorPiece = TRect{};
  if (!GroupRow) {
    const TRect Cells{Area.Left, CellsTop, Area.Right, CellsTop + CellsHeight};
    if (!IntersectRect(LeftSeparatorPiece, FViewInfo->LeftSeparatorRect(), Cells)) LeftSeparatorPiece = TRect{};
    if (!IntersectRect(RightSeparatorPiece, FViewInfo->RightSeparatorRect(), Cells)) RightSeparatorPiece = TRect{};
  }
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
    Indicator->SetViewParams(TreeList->Styles()->GetIndicatorParams());
    Indicator->SetBounds(TRect{Area.Left, RowTop, Area.Left + IndicatorWidth, RowTop + RowHeight}, Area);
  } else {
    Indicator->SetBounds(TRect{}, TRect{});
  }
  FViewInfo->NoteRowCalculated();
}

Integer TcxTreeListNodeViewInfo::CalculateAutoCellsHeight(Integer AIndentsWidth) {
  (void)AIndentsWidth;
  Integer Height = FViewInfo->DefaultEditHeight();
  for (const auto& Cell : Cells) {
    if (!Cell->Visible()) continue;
    Cell->InitProperties();
    Height = std::max(Height, Cell->GetItem()->CalcCellHeight(Cell.get()));
  }
  return Height;
}

Integer TcxTreeListNodeViewInfo::CalculatePreviewHeight() {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  TcxTreeListPreview* Preview = TreeList->Preview();
  if (!Preview->Active()) return 0;
  const TcxViewParams Params = TreeList->Styles()->GetPreviewParams(Node);
  TFont* Font = Params.Font ? Params.Font : TreeList->Font();
  const Integer LineHeight = TextHeightInFont(Font, LineHeightText);
  const Integer Frame = 2 * PreviewVertMargin + ((RowBorders & BorderBit(bBottom)) ? 1 : 0);
  Integer Height = Frame + LineHeight;
  const Variant Value = Node->Values(Preview->Column()->ItemIndex());
  if (Preview->AutoHeight() && LineHeight > 0) {
    const auto& Bands = FViewInfo->BandViewInfos();
    const Integer Left = CellsLeft + Preview->LeftIndent();
    const Integer Right = (Bands.empty() ? CellsLeft : Bands.back()->DisplayRect().Right) - Preview->RightIndent();
    const String Text = Preview->Column()->GetDisplayText(Node);
    Integer Measured = LineHeight;
    if (!Text.empty() && Right > Left) {
      TcxScreenCanvas Canvas;
      Canvas.SetFont(Font);
      TRect R{Left, 0, Right, 0};
      Canvas.MeasureTextRect(Text, R, cxWordBreak | cxAlignTop);
      Measured = std::max(R.Height(), LineHeight);
    }
    Integer Lines = Preview->MaxLineCount();
    if (Lines == 0) Lines = (Measured + LineHeight / 2) / LineHeight;
    Height = Frame + std::min(Measured, std::max(Lines, 1) * LineHeight);
  }
  TreeList->OnGetNodePreviewHeight(TreeList, Node, Value, Height);
  // Nothing left of the text: the row shows no preview.
  return Height > Frame ? Height : 0;
}

void TcxTreeListNodeViewInfo::PlacePreview(Integer ATop, Integer AHeight) {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  TcxTreeListPreview* Preview = TreeList->Preview();
  if (!PreviewCell || PreviewCell->GetItem() != Preview->Column())
    PreviewCell = std::make_unique<TcxTreeListNodePreviewViewInfo>(this, Preview->Column());
  const TRect R{CellsLeft, ATop, CellsArea.Right, ATop + AHeight};
  PreviewCell->SetBorders(RowBorders);
  PreviewCell->PreviewHeight = AHeight;
  PreviewCell->Text = Preview->Column()->GetDisplayText(Node);
  PreviewCell->SetBounds(R, FViewInfo->NodesAreaRect());
  TRect Text = R;
  if (RowBorders & BorderBit(bBottom)) --Text.Bottom;
  Text.Left += Preview->LeftIndent();
  Text.Right -= Preview->RightIndent();
  InflateRect(Text, 0, -PreviewVertMargin);
  PreviewCell->TextRect = Text;
}

void TcxTreeListNodeViewInfo::CalculateGroupCell() {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  TcxTreeListColumn* Column = TreeList->OptionsView()->CategorizedColumn();
  if (!Column || !Column->Visible()) {
    const std::vector<TcxTreeListColumn*> Visible = TreeList->VisibleColumns();
    Column = Visible.empty() ? nullptr : Visible.front();
  }
  if (!Column) return GroupCell.reset();
  if (!GroupCell || GroupCell->GetItem() != Column)
    GroupCell = std::make_unique<TcxTreeListGroupNodeEditViewInfo>(this, Column);
  GroupCell->Text = Column->GetDisplayText(Node);
  GroupCell->SetBorders(RowBorders | (TreeList->BandSettings().VertGridLines ? BorderBit(bRight) : 0));
  GroupCell->SetBounds(CellsArea, FViewInfo->NodesAreaRect());
}

void TcxTreeListNodeViewInfo::CalculateGroups() {
  const auto& Bands = FViewInfo->BandViewInfos();
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  const bool Vert = TreeList->BandSettings().VertGridLines;
  const bool Horz = TreeList->ViewSettings().HorzGridLines;
  while (CellsGroups.size() > Bands.size()) CellsGroups.pop_back();
  while (CellsGroups.size() < Bands.size())
    CellsGroups.push_back(std::make_unique<TcxTreeListCellsGroupViewInfo>(FViewInfo, this));
  for (size_t I = 0; I < Bands.size(); ++I) {
    TcxTreeListCellsGroupViewInfo* Group = CellsGroups[I].get();
    TcxTreeListBandViewInfo* Band = Bands[I].get();
    Group->BandViewInfo = Band;
    Group->Borders = (Vert ? BorderBit(bLeft) | BorderBit(bRight) : 0) | (Horz ? BorderBit(bBottom) : 0);
    if (I == 0 && !Horz) Group->Borders &= ~BorderBit(bLeft);
    Group->SetViewParams(TreeList->Styles()->GetBandContentParams(Band->Band, Band->Band->Styles()->Content(), Node));
    const TRect R{Band->DisplayRect().Left, CellsTop, Band->DisplayRect().Right, CellsTop + CellsHeight};
    TRect Clip;
    IntersectRect(Clip, Band->CellsClip, FViewInfo->NodesAreaRect());
    Group->SetBounds(R, Clip);
  }
}

void TcxTreeListNodeViewInfo::CalculateIndents(Integer AIndentCount, Integer AIndentsRight) {
  TcxCustomTreeListControl* TreeList = FViewInfo->TreeList();
  const TcxTreeListViewSettings Settings = TreeList->ViewSettings();
  const bool ShowRoot = TreeList->BandSettings().ShowRoot;
  while (Integer(Indents.size()) > AIndentCount) Indents.pop_back();
  while (Integer(Indents.size()) < AIndentCount)
    Indents.push_back(std::make_unique<TcxTreeListIndentViewInfo>(FViewInfo));
  const Integer Step = FViewInfo->IndentStep();
  TRect Clip = FViewInfo->NodesAreaRect();
  if (!FViewInfo->BandViewInfos().empty())
    IntersectRect(Clip, FViewInfo->BandViewInfos().front()->CellsClip, FViewInfo->NodesAreaRect());
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
  const Integer LineHeight = FViewInfo->RowLineHeight();
  // One header line: every cell is as high as the row (auto height may make it higher).
  const bool FollowRow = FViewInfo->HeaderLineCount() <= 1;
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
    TcxTreeListBandViewInfo* Band = FViewInfo->BandViewInfo(Columns[I]->Band());
    if (!Header || !Band) continue;
    const Integer Top = FollowRow ? CellsTop : CellsTop + Columns[I]->Position().RowIndex * LineHeight;
    const Integer Bottom =
        FollowRow ? CellsTop + CellsHeight : Top + std::max(Columns[I]->Position().LineCount, 1) * LineHeight;
    TRect R{Header->DisplayRect().Left, Top, Header->DisplayRect().Right, Bottom};
    if (TreeList->Bands()->IsTreeColumn(Columns[I])) R.Left += AIndentsWidth;
    Cell->SetBorders((Vert ? BorderBit(bRight) : 0) | (Horz ? BorderBit(bBottom) : 0));
    TRect Clip;
    IntersectRect(Clip, Band->CellsClip, FViewInfo->NodesAreaRect());
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
  // Told once the layout is whole: the handler may ask the rows.
  if (FRowCount > 0 && FTopIndex != FNotifiedTopIndex) {
    FNotifiedTopIndex = FTopIndex;
    FTreeList->DoTopRecordIndexChanged();
  }
}

void TcxTreeListViewInfo::CalculateHeights() {
  const TcxCustomLookAndFeelPainter* Painter = LookAndFeelPainter();
  const TcxTreeListViewSettings Settings = FTreeList->ViewSettings();
  const TcxTreeListBandSettings BandSettings = FTreeList->BandSettings();
  TcxTreeListStyles* Styles = FTreeList->Styles();
  // Measured again only when the control's font changed.
  if (!FMeasuredFont || !FMeasuredFont->SameAs(*FTreeList->Font())) {
    if (!FMeasuredFont) FMeasuredFont = std::make_unique<TFont>();
    FMeasuredFont->Assign(FTreeList->Font());
    FTextHeight = TextHeightOf(FTreeList);
  }
  const Integer TextHeight = FTextHeight;
  const Integer Line = Painter->HeaderHeightForText(TextHeight);
  // A header line for a style's font (the control's font when it sets none).
  auto LineFor = [&](const TcxViewParams& AParams) {
    if (!AParams.Font || AParams.Font->SameAs(*FTreeList->Font())) return Line;
    return Painter->HeaderHeightForText(TextHeightInFont(AParams.Font, LineHeightText));
  };
  FHeaderLineCount = 0;
  for (Integer I = 0; I < FTreeList->Bands()->VisibleItemCount(); ++I)
    FHeaderLineCount = std::max(FHeaderLineCount, FTreeList->Bands()->VisibleItems(I)->BandRows()->LineCount());
  const std::vector<TcxTreeListColumn*> Columns = FTreeList->VisibleColumns();
  if (Columns.empty()) FHeaderLineCount = 0;
  FHeaderLineHeight = 0;
  FFooterLineHeight = 0;
  for (TcxTreeListColumn* Column : Columns) {
    if (BandSettings.Headers) FHeaderLineHeight = std::max(FHeaderLineHeight, LineFor(Styles->GetColumnHeaderParams(Column)));
    if (Settings.Footer) FFooterLineHeight = std::max(FFooterLineHeight, LineFor(Styles->GetColumnFooterParams(Column)));
  }
  if (FHeaderLineHeight == 0) FHeaderLineHeight = Line;
  FFooterLineHeight = FFooterLineHeight > 0 ? FFooterLineHeight + 4 * Painter->FooterCellFrameWidth()
                                            : Line + Painter->FooterCellFrameWidth();
  FBandLineHeight = Line;
  if (BandSettings.Bands)
    for (Integer I = 0; I < FTreeList->Bands()->VisibleItemCount(); ++I) {
      TcxTreeListBand* Band = FTreeList->Bands()->VisibleItems(I);
      FBandLineHeight = std::max(FBandLineHeight, LineFor(Styles->GetBandHeaderParams(Band, Band->Styles()->Header())));
    }
  Integer Row = std::max(DefaultEditHeight(), TextHeight);
  // A column whose content style sets its own font needs a line of that font.
  for (TcxTreeListColumn* Column : Columns)
    for (TcxViewParams Params : {Styles->GetContentEvenParams(), Styles->GetContentOddParams()}) {
      cxMergeStyle(Params, Column->Styles()->Content());
      if (Params.Font && !Params.Font->SameAs(*FTreeList->Font()))
        Row = std::max(Row, Column->GetDefaultEditHeight(Params.Font));
    }
  if (FTreeList->Images()) Row = std::max(Row, FTreeList->Images()->Height());
  if (FTreeList->StateImages()) Row = std::max(Row, FTreeList->StateImages()->Height());
  const Integer Assigned = FTreeList->AssignedRowHeight();
  FRowLineHeight = Assigned > 0 ? Assigned : Row + (Settings.HorzGridLines ? 1 : 0);
  FIndentStep = CalculateIndentStep(FTreeList);
}

bool TcxTreeListViewInfo::AutoRowHeight() const {
  return FTreeList->OptionsView()->CellAutoHeight() && FHeaderLineCount == 1;
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
  // Each fixed band brings its separator.
  for (Integer I = 0; I < FTreeList->Bands()->VisibleItemCount(); ++I)
    if (FTreeList->Bands()->VisibleItems(I)->FixedKind() != tlbfNone)
      FContentWidth += FTreeList->OptionsView()->FixedSeparatorWidth();
  if (FTreeList->VisibleColumns().empty() && !Bands.Bands) FContentWidth = 0;
  const Integer Page = Client.Width() - Indicator;
  FLeftPos = FContentWidth > Page ? std::clamp(FLeftPos, 0, FContentWidth - Page) : 0;
}

void TcxTreeListViewInfo::CalculateHeaders() {
  const TcxTreeListBandSettings Bands = FTreeList->BandSettings();
  const TcxTreeListViewSettings Settings = FTreeList->ViewSettings();
  TcxTreeListStyles* Styles = FTreeList->Styles();
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
    Forget(FBandViewInfos);
  }
  // A pressed header stays pressed in the new layout.
  std::vector<std::unique_ptr<TcxTreeListHeaderViewInfo>> OldBandHeaders = std::move(FBandHeaders);
  FBandHeaders.clear();
  std::vector<std::unique_ptr<TcxTreeListColumnHeaderViewInfo>> OldHeaders = std::move(FColumnHeaders);
  FColumnHeaders.clear();
  FFooterItems.clear();
  FBandViewInfos.clear();
  FLeftFixedBand = FRightFixedBand = nullptr;
  const Integer Indicator = Settings.Indicator ? Settings.IndicatorWidth : 0;
  const TRect HeaderClip{Client.Left + Indicator, Client.Top, Client.Right, FHeaderAreaRect.Bottom};
  FHeaderIndicator->SetViewParams(Styles->GetIndicatorParams());
  FFooterIndicator->SetViewParams(Styles->GetIndicatorParams());
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
  const Integer Start = Client.Left + Indicator;
  const Integer SeparatorWidth = FTreeList->OptionsView()->FixedSeparatorWidth();
  FLeftSeparatorRect = FRightSeparatorRect = TRect{};
  FScrollAreaRect = TRect{Start, Client.Top, std::max(Start, Client.Right), Client.Bottom};
  bool HasLeftFixed = false;
  for (Integer B = 0; B < FTreeList->Bands()->VisibleItemCount(); ++B)
    HasLeftFixed |= FTreeList->Bands()->VisibleItems(B)->FixedKind() == tlbfLeft;
  // A left fixed band stays; the bands after it scroll.
  Integer X = Start - (HasLeftFixed ? 0 : FLeftPos);
  const TcxCustomLookAndFeelPainter* Painter = LookAndFeelPainter();
  for (Integer B = 0; B < FTreeList->Bands()->VisibleItemCount(); ++B) {
    TcxTreeListBand* Band = FTreeList->Bands()->VisibleItems(B);
    const Integer Width = Band->DisplayWidth();
    Integer Left = X;
    if (Band->FixedKind() == tlbfRight) {
      Left = std::min(X + SeparatorWidth, Client.Right - Width);
      Left = std::max(Left, (HasLeftFixed ? FLeftSeparatorRect.Right : Start) + SeparatorWidth);
      FRightSeparatorRect = TRect{Left - SeparatorWidth, Client.Top, Left, Client.Bottom};
      FScrollAreaRect.Right = FRightSeparatorRect.Left;
    }
    const TRect BandRect{Left, BandTop, Left + Width, FHeaderAreaRect.Bottom};
    if (Band->FixedKind() == tlbfLeft) {
      FLeftSeparatorRect = TRect{BandRect.Right, Client.Top, BandRect.Right + SeparatorWidth, Client.Bottom};
      FScrollAreaRect.Left = FLeftSeparatorRect.Right;
      X = FLeftSeparatorRect.Right - FLeftPos;
    } else {
      X = BandRect.Right;
    }
    FBandRects.emplace_back(Band, BandRect);
    auto BandInfo = std::make_unique<TcxTreeListBandViewInfo>(this);
    BandInfo->Band = Band;
    BandInfo->SetViewParams(Styles->GetBandBackgroundParams(Band, Band->Styles()->HeaderBackground()));
    BandInfo->FooterParams = Styles->GetBandFooterParams(Band, Band->Styles()->Footer());
    FBandViewInfos.push_back(std::move(BandInfo));
  }
  // The scrolling bands show only between the separators.
  for (size_t Index = 0; Index < FBandViewInfos.size(); ++Index) {
    TcxTreeListBandViewInfo* Info = FBandViewInfos[Index].get();
    TcxTreeListBand* Band = Info->Band;
    const TRect BandRect = FBandRects[Index].second;
    const bool Fixed = Band->FixedKind() != tlbfNone;
    if (Band->FixedKind() == tlbfLeft) FLeftFixedBand = Info;
    if (Band->FixedKind() == tlbfRight) FRightFixedBand = Info;
    const TRect Horizontal = Fixed ? BandRect : FScrollAreaRect;
    Info->CellsClip = TRect{Horizontal.Left, Client.Top, Horizontal.Right, Client.Bottom};
    TRect Clip;
    IntersectRect(Clip, BandRect, HeaderClip);
    if (!Fixed) IntersectRect(Clip, Clip, Info->CellsClip);
    Info->SetBounds(BandRect, Clip);
    Info->Complete = Band->BandRows()->LineCount() >= FHeaderLineCount;
    if (!IsRectEmpty(FFooterRect)) {
      IntersectRect(Info->FooterRect, TRect{BandRect.Left, FFooterRect.Top, BandRect.Right, FFooterRect.Bottom},
                    FFooterRect);
      if (!Fixed) IntersectRect(Info->FooterRect, Info->FooterRect, Info->CellsClip);
    }
    const Integer X0 = BandRect.Left;
    const Integer Width = BandRect.Width();
    const bool SharesHeaderLines = Painter->Kind() == lfUltraFlat && !FTreeList->ViewSettings().ExtPaintStyle;
    if (Bands.Bands) {
      auto Header = std::make_unique<TcxTreeListHeaderViewInfo>(this);
      Header->Band = Band;
      Header->Text = Band->Caption();
      Header->AlignHorz = taCenter;
      Header->SetViewParams(Styles->GetBandHeaderParams(Band, Band->Styles()->Header()));
      for (const auto& Old : OldBandHeaders)
        if (Old->Band == Band) Header->Pressed = Old->Pressed;
      Header->CalculateWithClip(TRect{X0, BandTop, X0 + Width, ColumnsTop}, Clip);
      Info->Header = Header.get();
      FBandHeaders.push_back(std::move(Header));
    }
    TcxTreeListBandRows* Rows = Band->BandRows();
    Integer Line = 0;
    for (Integer R = 0; R < Rows->Count(); ++R) {
      TcxTreeListBandRow* Row = Rows->Items(R);
      Integer ColumnX = X0;
      for (Integer C = 0; C < Row->Count(); ++C) {
        TcxTreeListColumn* Column = Row->Items(C);
        auto ColumnInfo = std::make_unique<TcxTreeListColumnViewInfo>();
        ColumnInfo->Column = Column;
        ColumnInfo->ColumnX = ColumnX;
        ColumnInfo->ColumnLine = Line;
        auto Header = std::make_unique<TcxTreeListColumnHeaderViewInfo>(this);
        Header->Column = Column;
        Header->Band = Band;
        Header->Text = Column->Caption();
        Header->AlignHorz = Column->CaptionSettings()->AlignHorz();
        Header->SetViewParams(Styles->GetColumnHeaderParams(Column));
        // Recomputed from nothing, so a column alone in its line has no neighbours.
        Header->Neighbors = (C > 0 ? TcxNeighbors(nLeft) : 0u) | (C + 1 < Row->Count() ? TcxNeighbors(nRight) : 0u);
        for (const auto& Old : OldHeaders)
          if (Old->Column == Column) Header->Pressed = Old->Pressed;
        const Integer Lines = std::max(Column->Position().LineCount, 1);
        Header->DrawOneLeft = C > 0 && SharesHeaderLines;
        const TRect R2{ColumnX, ColumnsTop + Line * FHeaderLineHeight, ColumnX + Column->DisplayWidth(),
                       ColumnsTop + (Line + Lines) * FHeaderLineHeight};
        Header->CalculateWithClip(R2, Bands.Headers ? Clip : TRect{});
        ColumnInfo->Header = Header.get();
        if (!IsRectEmpty(FFooterRect)) {
          auto Footer = std::make_unique<TcxTreeListFooterItemViewInfo>(this);
          Footer->Column = Column;
          Footer->SetViewParams(Styles->GetColumnFooterParams(Column));
          Footer->Text = FooterSummaryText(Column);
          Footer->AlignHorz = Column->SummaryFooter()->AlignHorz();
          Footer->AlignVert = Column->SummaryFooter()->AlignVert();
          Footer->MultiLine = Column->SummaryFooter()->MultiLine();
          const Integer FooterTop = FFooterTop + Painter->FooterFrameWidth() + Line * FFooterLineHeight;
          TRect FR{ColumnX, FooterTop, ColumnX + Column->DisplayWidth(), FooterTop + Lines * FFooterLineHeight};
          InflateRect(FR, -Painter->FooterCellSpacing(), -Painter->FooterCellSpacing());
          // Only a column with its footer option on shows a footer cell.
          Footer->CalculateWithClip(FR, Column->Options()->Footer() ? Info->FooterRect : TRect{});
          ColumnInfo->Footer = Footer.get();
          FFooterItems.push_back(std::move(Footer));
        }
        FColumnHeaders.push_back(std::move(Header));
        Info->Columns.push_back(std::move(ColumnInfo));
        ColumnX += Column->DisplayWidth();
      }
      Line += Row->LineCount();
    }
  }
}

String TcxTreeListViewInfo::FooterSummaryText(TcxTreeListColumn* AColumn) const {
  TcxDataSummary* Summary = FTreeList->DataController()->Summary();
  if (!Summary) return String();
  const Integer Index = Summary->FooterSummaryItems()->IndexOfItemLink(AColumn);
  return Index >= 0 ? Summary->FooterSummaryTexts(Index) : String();
}

TcxTreeListBandViewInfo* TcxTreeListViewInfo::BandViewInfo(const TcxTreeListBand* ABand) const {
  for (const auto& Info : FBandViewInfos)
    if (Info->Band == ABand) return Info.get();
  return nullptr;
}

TColor TcxTreeListViewInfo::FixedSeparatorColor() const {
  const TColor Color = FTreeList->OptionsView()->FixedSeparatorColor();
  return Color == clDefault ? clBtnText : Color;
}

Integer TcxTreeListViewInfo::CharWidth() const { return TextWidthInFont(FTreeList->Font(), u"W"); }

bool TcxTreeListBandViewInfo::IsFixed() const { return Band && Band->FixedKind() != tlbfNone; }

bool TcxTreeListCellsGroupViewInfo::SelectedLook() const {
  auto* TreeList = static_cast<TcxCustomTreeListControl*>(GetControl());
  const TcxTreeListViewSettings Settings = TreeList->ViewSettings();
  return FRow->RowSelected && Settings.InvertSelect && (!Settings.HideSelection || TreeList->IsSelectionActive());
}

TcxViewParams TcxTreeListNodePreviewViewInfo::GetViewParams() const {
  return static_cast<TcxCustomTreeListControl*>(GetControl())->Styles()->GetPreviewParams(Row()->Node);
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
  // Numbered first: the numbering brings back a top index an update kept aside.
  const Integer Count = Nodes->ShownNodeCount();
  return std::clamp(Nodes->ShownTopIndex(), 0, std::max(Count - VisibleRowCapacity(), 0));
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
  if (PointIn(ViewInfo->LeftSeparatorRect(), P) || PointIn(ViewInfo->RightSeparatorRect(), P)) SetCode(tlhcSeparator);
  if (TestHeadersAndFooter(ViewInfo, P)) return TestSizingEdge(ViewInfo, P);
  for (Integer I = 0; I < ViewInfo->RowCount(); ++I)
    if (TestRow(ViewInfo->Rows(I), P)) break;
  TestSizingEdge(ViewInfo, P);
}

bool TcxTreeListHitTest::TestHeadersAndFooter(TcxTreeListViewInfo* AViewInfo, const TPoint& P) {
  TcxCustomTreeListControl* TreeList = AViewInfo->TreeList();
  const bool InFooter = TreeList->ViewSettings().Footer && P.Y >= AViewInfo->FooterTop();
  if (P.Y >= AViewInfo->HeadersBottom() && !InFooter) return false;
  // The fixed bands first: a scrolling band may reach under them.
  std::vector<TcxTreeListBandViewInfo*> Order;
  for (TcxTreeListBandViewInfo* Fixed : {AViewInfo->LeftFixedBand(), AViewInfo->RightFixedBand()})
    if (Fixed) Order.push_back(Fixed);
  for (const auto& Info : AViewInfo->BandViewInfos())
    if (!Info->IsFixed()) Order.push_back(Info.get());
  for (TcxTreeListBandViewInfo* Info : Order) {
    if (!Info->Visible()) continue;
    TcxTreeListBand* Band = Info->Band;
    const TRect Rect = Info->ClipRect();
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
  if (!Hit) Hit = TestRowCells(ARow, P);
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

bool TcxTreeListHitTest::TestRowCells(TcxTreeListNodeViewInfo* ARow, const TPoint& P) {
  if (ARow->GroupRow) {
    TcxTreeListGroupNodeEditViewInfo* Cell = ARow->GroupCell.get();
    if (!Cell || !Cell->Visible() || !PointIn(Cell->ClipRect(), P)) return false;
    SetCode(tlhcBand);
    SetCode(tlhcColumn);
    FColumn = Cell->Column();
    auto* TreeList = static_cast<TcxCustomTreeListControl*>(Controller()->EditingControl());
    FBand = TreeList->Bands()->VisibleItemCount() > 0 ? TreeList->Bands()->VisibleItems(0) : nullptr;
    SetHitItem(Cell);
    return true;
  }
  for (const auto& Cell : ARow->Cells) {
    if (!Cell->Visible() || !PointIn(Cell->ClipRect(), P)) continue;
    SetCode(tlhcBand);
    SetCode(tlhcColumn);
    FColumn = Cell->Column();
    FBand = FColumn->Band();
    SetHitItem(Cell.get());
    return true;
  }
  for (const auto& Group : ARow->CellsGroups)
    if (Group->Visible() && PointIn(Group->ClipRect(), P)) {
      SetCode(tlhcBand);
      FBand = Group->BandViewInfo->Band;
      SetHitItem(Group.get());
      return true;
    }
  if (ARow->PreviewShown && ARow->PreviewCell && ARow->PreviewCell->Visible() &&
      PointIn(ARow->PreviewCell->ClipRect(), P)) {
    SetCode(tlhcPreview);
    SetHitItem(ARow->PreviewCell.get());
    return true;
  }
  return false;
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

void TcxTreeListHitTest::HitItemChanged(TcxCustomViewInfoItem* AOld) {
  // The header left and the header entered take their hot look.
  auto* TreeList = static_cast<TcxCustomTreeListControl*>(Controller()->EditingControl());
  if (TreeList->DragAndDropState() != ddsNone) return;
  for (TcxCustomViewInfoItem* Item : {AOld, HitItem()})
    if (auto* Header = dynamic_cast<TcxTreeListHeaderViewInfo*>(Item)) Header->Invalidate(true);
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

void TcxCustomTreeListControl::SetTopVisibleIndex(Integer AValue) {
  if (!IsLocked()) return TreeListViewInfo()->SetTopIndex(AValue);
  // Applied when the update ends; a node to show from before gives way.
  Nodes()->SetTopIndexAfterUpdate(AValue);
  FNodeToShow = nullptr;
}

void TcxCustomTreeListControl::MakeNodeVisible(TcxTreeListNode* ANode) {
  if (!ANode || IsDestroying()) return;
  // Inside an update the top row stays; the node is scrolled into view from
  // there once the update ends.
  if (IsLocked())
    FNodeToShow = ANode;
  else
    TreeListViewInfo()->MakeNodeVisible(ANode);
}

void TcxCustomTreeListControl::MakeFocusedNodeVisible() {
  // Inside an update a node asked for by name keeps its turn.
  if (IsLocked() && FNodeToShow) return;
  if (TcxTreeListNode* Node = FocusedNode()) MakeNodeVisible(Node);
}

void TcxCustomTreeListControl::RepaintNode(TcxTreeListNode* ANode, bool ARecalculate) {
  if (ARecalculate) return LayoutChanged();
  TcxTreeListNodeViewInfo* Row = TreeListViewInfo()->RowOfNode(ANode);
  if (!Row) return;
  // A row laid out with another selection state takes its new look (cells, indicator) first.
  if (Row->RowSelected != ANode->Selected()) return LayoutChanged();
  InvalidateArea(Row->RowRect, false);
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
  // The page is the rows shown whole; the bar is of use only while some
  // rows show but not every node does (no range: disabled).
  const Integer Page = VI->RowCount() > 0 ? VI->FullRowCount() : 0;
  if (Page > 0 && Page < Count)
    SetScrollBarParams(sbVertical, 0, Count - 1, VI->TopIndex(), Page, 1, true, true);
  else
    SetScrollBarParams(sbVertical, 0, -1, 0, 0, 1, true, true);
  const Integer Width = ContentBounds().Width();
  SetScrollBarParams(sbHorizontal, 0, std::max(VI->ContentWidth() - 1, 0), VI->LeftPos(), Width,
                     TextWidthInFont(Font(), u"W"), true, true);
}
