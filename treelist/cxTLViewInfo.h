#pragma once
// The tree list's layout: header and footer items, the rows of the shown
// nodes (only the rows that fit in the client area are laid out, starting at
// the top node) with their indents, tree lines, expand buttons, cells and
// indicator cells; and the hit test that answers what lies under a point.
#include <memory>
#include <vector>

#include "foundation/cxLookAndFeelPainters.h"
#include "treelist/cxEditingControl.h"
#include "treelist/cxHitTest.h"

class TcxCustomTreeListControl;
class TcxTreeListBand;
class TcxTreeListCaption;
class TcxTreeListColumn;
class TcxTreeListNode;
class TcxTreeListNodeViewInfo;
class TcxTreeListViewInfo;
class TImageList;

// Bits of the hit test's HitCodes.
enum TcxTreeListHitCode : Integer {
  tlhcBand = 4,
  tlhcBandHeaderArea = 5,
  tlhcBandHeader = 6,
  tlhcButton = 7,
  tlhcColumn = 8,
  tlhcColumnHeader = 9,
  tlhcFooter = 10,
  tlhcColumnFooter = 11,
  tlhcIndicator = 12,
  tlhcNode = 13,
  tlhcSeparator = 15,
  tlhcHorzSizingEdge = 16,
  tlhcVertSizingEdge = 17,
  tlhcImage = 18,
  tlhcStateImage = 19,
  tlhcPreview = 20,
  tlhcIndent = 21,
};

// Tree-line bits of a level indent.
enum : Integer { tltlUpper = 1, tltlLower = 2, tltlHorz = 4 };

// ---- Items ------------------------------------------------------------------------------------

class TcxTreeListViewInfoItem : public TcxCustomViewInfoItem {
  KORVANE_CLASS(TcxTreeListViewInfoItem, TcxCustomViewInfoItem)
  explicit TcxTreeListViewInfoItem(TcxTreeListViewInfo* AOwner);
  TcxTreeListViewInfo* ViewInfo() const;
  TcxCustomTreeListControl* TreeList() const;
  void Calculate() override {}
  // Placed at ARect, clipped to AClip, then calculated.
  void CalculateWithClip(const TRect& ARect, const TRect& AClip);
  // The item's colour (the brush it is filled with).
  TColor Color = clWindow;
  // The item's look resolved from the styles at the last layout.
  TcxViewParams ViewParams;
  // Colour and look at once.
  void SetViewParams(const TcxViewParams& AParams) {
    ViewParams = AParams;
    Color = AParams.Color;
  }
};

// Indicator kinds of a row: see TcxIndicatorKind (ikNone .. ikMultiArrow).
class TcxTreeListIndicatorViewInfo : public TcxTreeListViewInfoItem {
  KORVANE_CLASS(TcxTreeListIndicatorViewInfo, TcxTreeListViewInfoItem)
  using TcxTreeListViewInfoItem::TcxTreeListViewInfoItem;
  TcxIndicatorKind Kind = ikNone;
  TcxTreeListNode* Node = nullptr;
};

// A band or column header. Its hint shows the whole caption when the
// caption does not fit the text area and the mouse rests on it.
class TcxTreeListHeaderViewInfo : public TcxTreeListViewInfoItem, public IcxHintHotTrackItem {
  KORVANE_CLASS(TcxTreeListHeaderViewInfo, TcxTreeListViewInfoItem)
  using TcxTreeListViewInfoItem::TcxTreeListViewInfoItem;
  // Text and sort-mark areas from the display rectangle, then the caption's
  // glyph (at its whole size) and the room it leaves the text.
  void Calculate() override;
  // The caption settings of the column or band (nullptr: none).
  TcxTreeListCaption* Caption() const;
  // IcxHintHotTrackItem: the hint stands over the text area.
  TPoint GetHintPoint() const override { return TextArea.TopLeft(); }
  bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText, bool& AIsHintBelowCursor,
                    TRect& ATextRect) override;
  TcxTreeListBand* Band = nullptr;
  // None for a band header.
  TcxTreeListColumn* Column = nullptr;
  String Text;
  TAlignment AlignHorz = taLeftJustify;
  TcxAlignmentVert AlignVert = vaCenter;
  bool MultiLine = false;
  TRect TextArea{};
  TRect SortMarkArea{};
  // Where the glyph stands at its whole size (empty without a glyph), and
  // whether it reaches out of the clip rectangle (it is then drawn clipped).
  TRect GlyphRect{};
  bool GlyphClipped = false;
  TcxButtonState ButtonState = cxbsNormal;
  bool Pressed = false;

  // Drawn hot: the painter hot-tracks headers, no drag runs and the mouse is over it.
  bool IsHot() const;

private:
  void CalculateGlyph();
  // Guards the measuring of the caption against re-entry.
  Integer FHintLock = 0;
};

class TcxTreeListColumnHeaderViewInfo : public TcxTreeListHeaderViewInfo {
  KORVANE_CLASS(TcxTreeListColumnHeaderViewInfo, TcxTreeListHeaderViewInfo)
  using TcxTreeListHeaderViewInfo::TcxTreeListHeaderViewInfo;
  // nLeft when a column is left of it in its band line, nRight when one is
  // right of it; computed anew at every layout.
  TcxNeighbors Neighbors = 0;
  // Ultra-flat headers are framed on every side: one that follows another
  // in its line is drawn from one pixel further left, on the other's right
  // line, so that neighbours share a single line.
  bool DrawOneLeft = false;
  // Where the header is drawn and clipped to.
  TRect PaintRect() const;
  TRect PaintClipRect() const;
};

class TcxTreeListFooterItemViewInfo : public TcxTreeListViewInfoItem {
  KORVANE_CLASS(TcxTreeListFooterItemViewInfo, TcxTreeListViewInfoItem)
  using TcxTreeListViewInfoItem::TcxTreeListViewInfoItem;
  TcxTreeListColumn* Column = nullptr;
  // The summary text the item shows, and how.
  String Text;
  TAlignment AlignHorz = taLeftJustify;
  TcxAlignmentVert AlignVert = vaCenter;
  bool MultiLine = false;
};

// A column's place in its band: its x, its line, its header and footer item
// (owned by the view info's lists; none where not shown).
class TcxTreeListColumnViewInfo : public TObject {
  KORVANE_CLASS(TcxTreeListColumnViewInfo, TObject)
  TcxTreeListColumn* Column = nullptr;
  Integer ColumnX = 0;
  Integer ColumnLine = 0;
  TcxTreeListColumnHeaderViewInfo* Header = nullptr;
  TcxTreeListFooterItemViewInfo* Footer = nullptr;
};

// A visible band: its part of the header area (the display rectangle), its
// header, its columns, its backgrounds and its part of the footer.
class TcxTreeListBandViewInfo : public TcxTreeListViewInfoItem {
  KORVANE_CLASS(TcxTreeListBandViewInfo, TcxTreeListViewInfoItem)
  using TcxTreeListViewInfoItem::TcxTreeListViewInfoItem;
  TcxTreeListBand* Band = nullptr;
  // None while band headers are off.
  TcxTreeListHeaderViewInfo* Header = nullptr;
  std::vector<std::unique_ptr<TcxTreeListColumnViewInfo>> Columns;
  // The band's columns fill every header line.
  bool Complete = true;
  // The band's part of the footer (empty without a footer).
  TRect FooterRect{};
  // What the band's cells may show of a row horizontally: the band itself
  // when fixed, else the scrolling area.
  TRect CellsClip{};
  TcxViewParams FooterParams;
  bool IsFixed() const;
};

// One indent of a row: a tree level (lines, expand button) or a node image.
class TcxTreeListIndentViewInfo : public TcxTreeListViewInfoItem {
  KORVANE_CLASS(TcxTreeListIndentViewInfo, TcxTreeListViewInfoItem)
  enum TKind { ikLevel, ikImage, ikStateImage };
  using TcxTreeListViewInfoItem::TcxTreeListViewInfoItem;
  TKind IndentKind = ikLevel;
  Integer Level = 0;
  TcxTreeListNode* Node = nullptr;
  Integer TreeLines = 0;
  bool HasButton = false;
  TRect ButtonRect{};
  TImageList* Images = nullptr;
  Integer ImageIndex = -1;
  bool ImageValid = false;
  TRect HorzLine{};
  TRect VertLine{};
  TcxBorders Borders = 0;
  // Tree-line and button rectangles from the display rectangle.
  void Calculate() override;
};

// One cell of a row.
class TcxTreeListEditCellViewInfo : public TcxEditCellViewInfo {
  KORVANE_CLASS(TcxTreeListEditCellViewInfo, TcxEditCellViewInfo)
  TcxTreeListEditCellViewInfo(TcxTreeListNodeViewInfo* ARow, TcxTreeListColumn* AColumn);
  TcxTreeListNodeViewInfo* Row() const { return FRow; }
  TcxTreeListColumn* Column() const;
  Integer GetRecordIndex() const override;
  // Content look; a cell that paints selected keeps the content font and
  // takes the selection's colours and bitmap.
  TcxViewParams GetViewParams() const override;
  // Edit buttons by the column's setting, else the view's: with
  // ecsbFocused every cell of the focused node's row shows them.
  TcxEditButtonTransparency GetButtonTransparency() const override;
  // Whether the row's selection covers this cell.
  bool IsSelectedLook() const override;
  // The view's CellEndEllipsis and the column's own.
  bool IsEndEllipsis() const override;

private:
  TcxTreeListNodeViewInfo* FRow;
};

// The row's part under one band.
class TcxTreeListCellsGroupViewInfo : public TcxTreeListViewInfoItem {
  KORVANE_CLASS(TcxTreeListCellsGroupViewInfo, TcxTreeListViewInfoItem)
  TcxTreeListCellsGroupViewInfo(TcxTreeListViewInfo* AOwner, TcxTreeListNodeViewInfo* ARow)
      : TcxTreeListViewInfoItem(AOwner), FRow(ARow) {}
  TcxTreeListNodeViewInfo* Row() const { return FRow; }
  TcxTreeListBandViewInfo* BandViewInfo = nullptr;
  TcxBorders Borders = 0;
  // The group's cells in the row's cells: [FirstCell, LastCell].
  Integer FirstCell = 0;
  Integer LastCell = -1;
  // Paints with the selection look (the row is selected, InvertSelect on
  // and the selection not hidden).
  bool SelectedLook() const;

private:
  TcxTreeListNodeViewInfo* FRow;
};

// The preview of a row: the preview column's text under (or above) the cells.
class TcxTreeListNodePreviewViewInfo : public TcxTreeListEditCellViewInfo {
  KORVANE_CLASS(TcxTreeListNodePreviewViewInfo, TcxTreeListEditCellViewInfo)
  using TcxTreeListEditCellViewInfo::TcxTreeListEditCellViewInfo;
  // The preview look of the row's node.
  TcxViewParams GetViewParams() const override;
  // The preview shows its text only: never edit buttons.
  TcxEditButtonTransparency GetButtonTransparency() const override { return ebtHideInactive; }
  // The text the preview shows.
  String Text;
  // Where the text goes: the display rectangle less the borders and the indents.
  TRect TextRect{};
  Integer PreviewHeight = 0;
};

// The one cell of a group row (the categorized paint style): the
// categorized column's text across the row.
class TcxTreeListGroupNodeEditViewInfo : public TcxTreeListEditCellViewInfo {
  KORVANE_CLASS(TcxTreeListGroupNodeEditViewInfo, TcxTreeListEditCellViewInfo)
  using TcxTreeListEditCellViewInfo::TcxTreeListEditCellViewInfo;
  String Text;
};

// ---- Rows -------------------------------------------------------------------------------------

// The layout of one shown node.
class TcxTreeListNodeViewInfo : public TObject {
  KORVANE_CLASS(TcxTreeListNodeViewInfo, TObject)
  explicit TcxTreeListNodeViewInfo(TcxTreeListViewInfo* AViewInfo);
  ~TcxTreeListNodeViewInfo() override;
  TcxTreeListViewInfo* ViewInfo() const { return FViewInfo; }

  TcxTreeListNode* Node = nullptr;
  Integer RowIndex = 0;
  Integer RowTop = 0;
  Integer RowHeight = 0;
  Integer CellsLeft = 0;
  TRect RowRect{};
  TRect CellsArea{};
  bool ButtonShown = false;
  bool ButtonExpanded = false;
  bool RowFocused = false;
  bool RowSelected = false;
  // A group row (categorized paint style) shows its group cell instead of its cells.
  bool GroupRow = false;
  bool PreviewShown = false;
  // Top and height of the cells (below the preview when it is on top).
  Integer CellsTop = 0;
  Integer CellsHeight = 0;
  // Borders of the row's cells area named by the grid lines.
  TcxBorders RowBorders = 0;
  std::vector<std::unique_ptr<TcxTreeListIndentViewInfo>> Indents;
  std::vector<std::unique_ptr<TcxTreeListEditCellViewInfo>> Cells;
  // One per visible band, in band order.
  std::vector<std::unique_ptr<TcxTreeListCellsGroupViewInfo>> CellsGroups;
  std::unique_ptr<TcxTreeListIndicatorViewInfo> Indicator;
  std::unique_ptr<TcxTreeListNodePreviewViewInfo> PreviewCell;
  std::unique_ptr<TcxTreeListGroupNodeEditViewInfo> GroupCell;
  // The fixed-band separators within the cells area (all zero when absent).
  TRect LeftSeparatorPiece{};
  TRect RightSeparatorPiece{};

  // The cell of the focused column (none: the row draws its focus frame
  // around its cells area).
  TcxTreeListEditCellViewInfo* FocusCell() const;
  TcxTreeListEditCellViewInfo* CellOfColumn(const TcxTreeListColumn* AColumn) const;
  // Lays the row out for ANode at ATop.
  void Calculate(TcxTreeListNode* ANode, Integer ATop);

private:
  void CalculateIndents(Integer AIndentCount, Integer AIndentsRight);
  void CalculateCells(Integer AIndentsWidth);
  void CalculateGroups();
  // The preview's height for the row's node (0: none).
  Integer CalculatePreviewHeight();
  void PlacePreview(Integer ATop, Integer AHeight);
  void CalculateGroupCell();
  // With auto height: the tallest cell's content for this node.
  Integer CalculateAutoCellsHeight(Integer AIndentsWidth);
  TcxTreeListViewInfo* FViewInfo;
};

// ---- The view info ----------------------------------------------------------------------------

class TcxTreeListViewInfo : public TcxCustomControlViewInfo {
  KORVANE_CLASS(TcxTreeListViewInfo, TcxCustomControlViewInfo)
  explicit TcxTreeListViewInfo(TcxCustomTreeListControl* ATreeList);
  ~TcxTreeListViewInfo() override;

  TcxCustomTreeListControl* TreeList() const { return FTreeList; }
  const TcxCustomLookAndFeelPainter* LookAndFeelPainter() const;

  Integer BandLineHeight() const { return FBandLineHeight; }
  Integer HeaderLineHeight() const { return FHeaderLineHeight; }
  Integer FooterLineHeight() const { return FFooterLineHeight; }
  // The control's DefaultRowHeight when set, else the tallest of the
  // default editor, the text and the images, plus a horizontal grid line.
  Integer RowLineHeight() const { return FRowLineHeight; }
  // The least height a set row height may have: one line of the control's
  // text, so that no row cuts its text.
  Integer MinRowHeight() const;
  Integer IndentStep() const { return FIndentStep; }
  // Rows take the height of their tallest cell: CellAutoHeight on and one header line.
  bool AutoRowHeight() const;
  // The expand box plus its room, at least each image list's width plus its margin.
  static Integer CalculateIndentStep(const TcxCustomTreeListControl* ATreeList);
  // Header lines of the highest band (0 without visible columns).
  Integer HeaderLineCount() const { return FHeaderLineCount; }
  TRect HeaderAreaRect() const { return FHeaderAreaRect; }
  TRect NodesAreaRect() const { return FNodesAreaRect; }
  TRect FooterRect() const { return FFooterRect; }
  Integer HeadersBottom() const { return FHeaderAreaRect.Bottom; }
  Integer FooterTop() const { return FFooterTop; }
  Integer LeftPos() const { return FLeftPos; }
  Integer ContentWidth() const { return FContentWidth; }
  TColor GridLineColor() const;
  TColor TreeLineColor() const;
  // FixedSeparatorColor, or the painter's default.
  TColor FixedSeparatorColor() const;
  // The part of the client area between the fixed-band separators.
  TRect ScrollAreaRect() const { return FScrollAreaRect; }
  // All zero without their fixed band.
  TRect LeftSeparatorRect() const { return FLeftSeparatorRect; }
  TRect RightSeparatorRect() const { return FRightSeparatorRect; }
  // The view infos of the left and right fixed bands (none without).
  TcxTreeListBandViewInfo* LeftFixedBand() const { return FLeftFixedBand; }
  TcxTreeListBandViewInfo* RightFixedBand() const { return FRightFixedBand; }
  // Every visible band's view info in band order.
  const std::vector<std::unique_ptr<TcxTreeListBandViewInfo>>& BandViewInfos() const { return FBandViewInfos; }
  TcxTreeListBandViewInfo* BandViewInfo(const TcxTreeListBand* ABand) const;
  // Width of "W" in the control font: the horizontal line step.
  Integer CharWidth() const;

  const std::vector<std::unique_ptr<TcxTreeListHeaderViewInfo>>& BandHeaders() const { return FBandHeaders; }
  const std::vector<std::unique_ptr<TcxTreeListColumnHeaderViewInfo>>& ColumnHeaders() const {
    return FColumnHeaders;
  }
  const std::vector<std::unique_ptr<TcxTreeListFooterItemViewInfo>>& FooterItems() const { return FFooterItems; }
  TcxTreeListIndicatorViewInfo* HeaderIndicatorCell() const { return FHeaderIndicator.get(); }
  TcxTreeListIndicatorViewInfo* FooterIndicatorCell() const { return FFooterIndicator.get(); }
  // The band rectangle (headers part) of each visible band, in band order.
  const std::vector<std::pair<TcxTreeListBand*, TRect>>& BandRects() const { return FBandRects; }
  TcxTreeListColumnHeaderViewInfo* ColumnHeader(const TcxTreeListColumn* AColumn) const;
  // The footer summary's text of the column (empty without a footer summary item).
  String FooterSummaryText(TcxTreeListColumn* AColumn) const;

  // ---- Rows ----
  Integer RowCount() const { return FRowCount; }
  // Rows wholly inside the rows area (at least 1 when there are rows).
  Integer FullRowCount() const { return FFullRowCount; }
  TcxTreeListNodeViewInfo* Rows(Integer AIndex) const { return FRows[size_t(AIndex)].get(); }
  // The row of a shown node; none when it has no row on screen.
  TcxTreeListNodeViewInfo* RowOfNode(const TcxTreeListNode* ANode) const;
  // Rows laid out since the view info was made (only the shown rows are laid out).
  Integer RowsCalculated() const { return FRowsCalculated; }
  void NoteRowCalculated() { ++FRowsCalculated; }

  // ---- Scrolling ----
  // The top shown node's visible index.
  Integer TopIndex() const;
  // Sets the top visible index (clamped so that the last page stays full).
  void SetTopIndex(Integer AIndex);
  // Rows that fit wholly in the rows area at the row line height.
  Integer VisibleRowCapacity() const;
  void SetLeftPos(Integer AValue);
  // A node below the rows becomes the bottom row, one above them the top row.
  void MakeNodeVisible(TcxTreeListNode* ANode);
  // The scroll bars' ranges and positions.
  void UpdateScrollBars();

protected:
  void CalculateCells() override;

private:
  void CalculateHeights();
  void CalculateAreas();
  void CalculateHeaders();
  void CalculateRows();
  void ClearRows();
  TcxTreeListNodeViewInfo* RowFromPool(Integer AIndex);

  TcxCustomTreeListControl* FTreeList;
  Integer FBandLineHeight = 0;
  Integer FHeaderLineHeight = 0;
  Integer FFooterLineHeight = 0;
  Integer FRowLineHeight = 0;
  Integer FIndentStep = 0;
  Integer FHeaderLineCount = 0;
  Integer FFooterTop = 0;
  Integer FLeftPos = 0;
  Integer FContentWidth = 0;
  Integer FRowCount = 0;
  Integer FFullRowCount = 0;
  Integer FRowsCalculated = 0;
  // The top row's visible index at the last layout.
  Integer FTopIndex = 0;
  // The top index OnTopRecordIndexChanged last told of.
  Integer FNotifiedTopIndex = 0;
  bool FUpdatingScrollBars = false;
  // The font the line heights were measured in, and its text height.
  std::unique_ptr<TFont> FMeasuredFont;
  Integer FTextHeight = 0;
  TRect FHeaderAreaRect{};
  TRect FNodesAreaRect{};
  TRect FFooterRect{};
  TRect FScrollAreaRect{};
  TRect FLeftSeparatorRect{};
  TRect FRightSeparatorRect{};
  std::vector<std::unique_ptr<TcxTreeListBandViewInfo>> FBandViewInfos;
  TcxTreeListBandViewInfo* FLeftFixedBand = nullptr;
  TcxTreeListBandViewInfo* FRightFixedBand = nullptr;
  std::vector<std::pair<TcxTreeListBand*, TRect>> FBandRects;
  std::vector<std::unique_ptr<TcxTreeListHeaderViewInfo>> FBandHeaders;
  std::vector<std::unique_ptr<TcxTreeListColumnHeaderViewInfo>> FColumnHeaders;
  std::vector<std::unique_ptr<TcxTreeListFooterItemViewInfo>> FFooterItems;
  std::unique_ptr<TcxTreeListIndicatorViewInfo> FHeaderIndicator;
  std::unique_ptr<TcxTreeListIndicatorViewInfo> FFooterIndicator;
  // The row pool: rows are reused between layouts.
  std::vector<std::unique_ptr<TcxTreeListNodeViewInfo>> FRows;
};

// ---- Hit test ---------------------------------------------------------------------------------

class TcxTreeListHitTest : public TcxCustomHitTestController {
  KORVANE_CLASS(TcxTreeListHitTest, TcxCustomHitTestController)
  using TcxCustomHitTestController::TcxCustomHitTestController;

  Cardinal HitCodes() const { return FHitCodes; }
  bool HitAtCode(TcxTreeListHitCode ACode) const { return FHitCodes & (1u << ACode); }
  TcxTreeListBand* BandAtPoint() const { return FBand; }
  TcxTreeListColumn* ColumnAtPoint() const { return FColumn; }
  TcxTreeListNode* NodeAtPoint() const { return FNode; }
  // The node whose lower edge a vertical sizing edge grabs.
  TcxTreeListNode* EdgeNode() const { return FEdgeNode; }
  TcxTreeListHeaderViewInfo* HeaderAtPoint() const { return FHeader; }
  TCursor GetHitCursor() override;

protected:
  void DoHitTest() override;
  void HitItemChanged(TcxCustomViewInfoItem* AOld) override;

private:
  void SetCode(TcxTreeListHitCode ACode) { FHitCodes |= 1u << ACode; }
  bool TestHeadersAndFooter(TcxTreeListViewInfo* AViewInfo, const TPoint& P);
  bool TestRow(TcxTreeListNodeViewInfo* ARow, const TPoint& P);
  bool TestRowCells(TcxTreeListNodeViewInfo* ARow, const TPoint& P);
  void TestSizingEdge(TcxTreeListViewInfo* AViewInfo, const TPoint& P);
  // A row's lower edge (or, near its top, the lower edge of the row above)
  // with RowSizing sets EdgeNode and the vertical sizing edge.
  void TestRowSizingEdge(TcxTreeListViewInfo* AViewInfo, const TPoint& P);
  Cardinal FHitCodes = 0;
  TcxTreeListBand* FBand = nullptr;
  TcxTreeListColumn* FColumn = nullptr;
  TcxTreeListNode* FNode = nullptr;
  TcxTreeListNode* FEdgeNode = nullptr;
  TcxTreeListHeaderViewInfo* FHeader = nullptr;
};

// Indents a node's row has: its level, plus the root indent, the image and the state image.
Integer cxTreeListIndentCount(TcxCustomTreeListControl* ATreeList, TcxTreeListNode* ANode);
