#pragma once
// Draws the tree list's layout: the band and column headers, the footer,
// the rows with their indicator cells, indents, tree lines, expand buttons,
// cells groups, cells, previews and grid lines, the fixed-band separators
// and the focus frame. Each element is drawn in the look its styles
// resolve to, after its custom-draw event had the chance to draw it
// instead. Backgrounds go first and items over them, so the picture is the
// same whether it is painted on the control or into the buffer first.
#include <memory>

#include "treelist/cxEditingControl.h"

class TcxCustomTreeListControl;
class TcxTreeListViewInfo;
class TcxTreeListBandViewInfo;
class TcxTreeListCellsGroupViewInfo;
class TcxTreeListFooterItemViewInfo;
class TcxTreeListHeaderViewInfo;
class TcxTreeListCaption;
class TcxTreeListIndentViewInfo;
class TcxTreeListIndicatorViewInfo;
class TcxTreeListNodeViewInfo;
class TcxTreeListNodePreviewViewInfo;
class TcxTreeListEditCellViewInfo;

class TcxTreeListControlPainter : public TcxCustomControlPainter {
  KORVANE_CLASS(TcxTreeListControlPainter, TcxCustomControlPainter)
  explicit TcxTreeListControlPainter(TcxCustomTreeListControl* ATreeList);

  void PaintContent() override;
  // The cell's view params, then, while a cell is painted, the font and
  // colours its custom-draw handler left on the canvas.
  void SaveAndApplyViewParams(TcxEditCellViewInfo* ACell) override;

protected:
  // The background event, else the control's background look.
  virtual void PaintBackground(const TRect& ARect);
  // The header indicator cell, the separators, then every band's headers.
  virtual void PaintHeaders();
  // A band's background, its header and its column headers.
  virtual void PaintBandHeaders(TcxTreeListBandViewInfo* ABand);
  virtual void PaintBandBackground(TcxTreeListBandViewInfo* ABand);
  virtual void PaintHeader(TcxTreeListHeaderViewInfo* AHeader);
  virtual void PaintFooter();
  virtual void PaintBandFooter(TcxTreeListBandViewInfo* ABand);
  virtual void PaintFooterItem(TcxTreeListFooterItemViewInfo* AItem);
  virtual void PaintRows();
  virtual void PaintNodeRow(TcxTreeListNodeViewInfo* ARow);
  virtual void PaintIndicator(TcxTreeListIndicatorViewInfo* AIndicator);
  virtual void PaintCellsGroup(TcxTreeListCellsGroupViewInfo* AGroup);
  virtual void PaintIndent(TcxTreeListIndentViewInfo* AIndent);
  virtual void PaintTreeLines(TcxTreeListIndentViewInfo* AIndent);
  virtual void PaintExpandButton(const TRect& ARect, bool AExpanded, TColor AColor);
  virtual void PaintCell(TcxTreeListEditCellViewInfo* ACell);
  // The group cell of a group row: the categorized column's text across the row.
  virtual void PaintGroupCell(TcxTreeListNodeViewInfo* ARow);
  virtual void PaintPreview(TcxTreeListNodePreviewViewInfo* APreview);
  // Each non-empty rectangle in the separator colour.
  virtual void PaintSeparators(const TRect& ALeft, const TRect& ARight);
  virtual void PaintFocusRect(TcxTreeListNodeViewInfo* ARow);
  // Strips of the grid-line colour along the borders, then the rest in AColor.
  void PaintBorderLines(const TRect& ARect, TcxBorders ABorders, TColor AColor);
  // The brush colour, or the bitmap tiled over the rectangle.
  void FillRect(const TRect& ARect, TColor AColor, TBitmap* ABitmap);

private:
  TcxTreeListViewInfo* ViewInfo() const;
  TcxCustomTreeListControl* FTreeList;
  // The look the custom-draw handler left for the cell being painted (none between cells).
  std::unique_ptr<TFont> FCellFont;
  TColor FCellColor = clNone;
};
