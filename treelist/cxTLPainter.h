#pragma once
// Draws the tree list's layout: headers, rows with their indents, tree
// lines, expand buttons, cells, grid lines and indicator cells, the focus
// frame and the footer. Backgrounds go first and items over them, so the
// picture is the same whether it is painted on the control or into the
// buffer first.
#include "treelist/cxEditingControl.h"

class TcxCustomTreeListControl;
class TcxTreeListViewInfo;
class TcxTreeListHeaderViewInfo;
class TcxTreeListCaption;
class TcxTreeListIndentViewInfo;
class TcxTreeListNodeViewInfo;
class TcxTreeListEditCellViewInfo;

class TcxTreeListControlPainter : public TcxCustomControlPainter {
  KORVANE_CLASS(TcxTreeListControlPainter, TcxCustomControlPainter)
  explicit TcxTreeListControlPainter(TcxCustomTreeListControl* ATreeList);

  void PaintContent() override;

protected:
  virtual void PaintBackground(const TRect& ARect);
  virtual void PaintHeaders();
  virtual void PaintHeader(TcxTreeListHeaderViewInfo* AHeader);
  // The caption glyph's place in the header's text area, which loses the
  // glyph's room when the glyph stands left or right of the text.
  static TRect PlaceCaptionGlyph(TcxTreeListCaption* ACaption, TRect& ATextArea);
  virtual void PaintFooter();
  virtual void PaintRows();
  virtual void PaintNodeRow(TcxTreeListNodeViewInfo* ARow);
  virtual void PaintIndent(TcxTreeListIndentViewInfo* AIndent);
  virtual void PaintTreeLines(TcxTreeListIndentViewInfo* AIndent);
  virtual void PaintExpandButton(const TRect& ARect, bool AExpanded, TColor AColor);
  virtual void PaintCell(TcxTreeListEditCellViewInfo* ACell);
  virtual void PaintFocusRect(TcxTreeListNodeViewInfo* ARow);
  // Strips of the grid-line colour along the borders, then the rest in AColor.
  void PaintBorderLines(const TRect& ARect, TcxBorders ABorders, TColor AColor);

private:
  TcxTreeListViewInfo* ViewInfo() const;
  TcxCustomTreeListControl* FTreeList;
};
