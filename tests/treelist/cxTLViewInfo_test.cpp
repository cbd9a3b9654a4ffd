// The tree list's layout (rows, indents, tree lines, expand buttons,
// indicator, grid lines, headers, footer, scrolling) and its hit test.
#include "treelist/cxTLViewInfo.h"

#include <gtest/gtest.h>

#include "data/cxDataSummary.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/testinput.h"
#include "treelist_view_fixture.h"

namespace {

std::string RectText(const TRect& R) {
  return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
         std::to_string(R.Bottom);
}

// The level indents' tree-line bits of a row, left to right.
std::string Lines(TcxTreeListNodeViewInfo* ARow) {
  std::string Result;
  for (const auto& Indent : ARow->Indents)
    if (Indent->IndentKind == TcxTreeListIndentViewInfo::ikLevel) Result += std::to_string(Indent->TreeLines);
  return Result;
}

TPoint CentreOf(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

}  // namespace

TEST(TreeListLayout, RowsIndentsTreeLinesAndButtons) {
  TTreeViewFixture F;
  F.View()->SetIndicator(true);
  TcxTreeListViewInfo* VI = F.Layout();
  ASSERT_EQ(VI->RowCount(), 6);
  EXPECT_EQ(VI->IndentStep(), 15);
  const Integer H = VI->RowLineHeight();
  const Integer Top = VI->HeadersBottom();
  EXPECT_EQ(Top, VI->HeaderLineHeight());
  // Node, its level + 1 indents (root shown), the tree-line bits of each, a button.
  struct Case {
    TcxTreeListNode* Node;
    Integer Indents;
    std::string Lines;
    bool Button;
  };
  const Case Cases[] = {
      {F.A, 1, "6", true},      // first top node: no upper half; next sibling: lower half
      {F.A1, 2, "37", false},   // a has a sibling below: its column continues
      {F.A2, 2, "35", true},    // last child: no lower half
      {F.A21, 3, "305", false}, // a2 has no next sibling: nothing in its column
      {F.B, 1, "7", false},
      {F.C, 1, "5", false},
  };
  for (Integer I = 0; I < 6; ++I) {
    const Case& K = Cases[I];
    SCOPED_TRACE(TTreeViewFixture::Name(K.Node));
    TcxTreeListNodeViewInfo* Row = F.Row(K.Node);
    ASSERT_NE(Row, nullptr);
    EXPECT_EQ(Row->RowTop, Top + I * H);
    EXPECT_EQ(Integer(Row->Indents.size()), K.Indents);
    EXPECT_EQ(Lines(Row), K.Lines);
    EXPECT_EQ(Row->ButtonShown, K.Button);
    // Indicator first, then the indents, then the tree column's cell.
    EXPECT_EQ(RectText(Row->Indicator->DisplayRect()), RectText(TRect{0, Row->RowTop, 15, Row->RowTop + H}));
    EXPECT_EQ(Row->Indents.front()->DisplayRect().Left, 15);
    EXPECT_EQ(Row->CellsLeft, 15 + 15 * K.Indents);
    EXPECT_EQ(Row->CellOfColumn(F.Column(0))->DisplayRect().Left, Row->CellsLeft);
    EXPECT_EQ(Row->CellOfColumn(F.Column(0))->DisplayRect().Right, 15 + 100);
    EXPECT_EQ(Row->CellOfColumn(F.Column(1))->DisplayRect().Left, 15 + 100);
    TcxTreeListIndentViewInfo* Own = Row->Indents.back().get();
    EXPECT_EQ(Own->HasButton, K.Button);
    if (K.Button) {
      // A 9-pixel box centred in the odd-sized indent, one pixel up.
      const TRect D = Own->DisplayRect();
      EXPECT_EQ(Own->ButtonRect.Width(), 9);
      EXPECT_EQ(Own->ButtonRect.Left, D.Left + 3);
      EXPECT_EQ(Own->ButtonRect.Top, D.Top + (H - 9) / 2 - 1 + (H % 2 == 0 ? 1 : 0));
    }
  }
  // The vertical line sits at the indent's centre, the horizontal one runs to its right edge.
  TcxTreeListIndentViewInfo* Own = F.Row(F.B)->Indents.back().get();
  const TRect D = Own->DisplayRect();
  EXPECT_EQ(Own->VertLine.Left, (D.Left + D.Right) / 2);
  EXPECT_EQ(Own->VertLine.Width(), 1);
  EXPECT_EQ(Own->HorzLine.Right, D.Right);
  EXPECT_EQ(Own->HorzLine.Height(), 1);
}

TEST(TreeListLayout, WithoutRootOrTreeLinesOrButtons) {
  TTreeViewFixture F;
  F.View()->SetShowRoot(false);
  F.View()->SetTreeLineStyle(tllsNone);
  F.View()->SetButtons(false);
  EXPECT_TRUE(F.Row(F.A)->Indents.empty());
  EXPECT_FALSE(F.Row(F.A)->ButtonShown);
  EXPECT_EQ(F.Row(F.A)->CellsLeft, 0);
  ASSERT_EQ(F.Row(F.A21)->Indents.size(), 2u);
  EXPECT_EQ(Lines(F.Row(F.A21)), "00");
}

TEST(TreeListLayout, GridLinesGiveCellsAndIndentsTheirBorders) {
  TTreeViewFixture F;
  F.View()->SetGridLines(tlglBoth);
  TcxTreeListNodeViewInfo* Row = F.Row(F.A1);
  EXPECT_EQ(Row->CellOfColumn(F.Column(0))->Borders(), BorderBit(bRight) | BorderBit(bBottom));
  EXPECT_EQ(Row->Indents.front()->Borders, BorderBit(bBottom));
  EXPECT_EQ(Row->CellOfColumn(F.Column(1))->ContentRect().Bottom, Row->RowTop + Row->RowHeight - 1);
  // The row line height grows by the grid line.
  const Integer WithLines = F.Layout()->RowLineHeight();
  F.View()->SetGridLines(tlglVert);
  EXPECT_EQ(F.Layout()->RowLineHeight(), WithLines - 1);
}

TEST(TreeListLayout, HeadersFooterAndNeighbourFlags) {
  TTreeViewFixture F;
  F.View()->SetFooter(true);
  F.View()->SetIndicator(true);
  TcxTreeListViewInfo* VI = F.Layout();
  ASSERT_EQ(VI->ColumnHeaders().size(), 2u);
  TcxTreeListColumnHeaderViewInfo* Name = VI->ColumnHeader(F.Column(0));
  TcxTreeListColumnHeaderViewInfo* Note = VI->ColumnHeader(F.Column(1));
  EXPECT_EQ(RectText(Name->DisplayRect()), RectText(TRect{15, 0, 115, VI->HeaderLineHeight()}));
  EXPECT_EQ(Name->Neighbors, TcxNeighbors(nRight));
  EXPECT_EQ(Note->Neighbors, TcxNeighbors(nLeft));
  EXPECT_FALSE(IsRectEmpty(VI->FooterRect()));
  EXPECT_EQ(VI->NodesAreaRect().Bottom, VI->FooterTop());
  EXPECT_LT(VI->FooterTop(), F.Tree->ClientHeight());
  ASSERT_EQ(VI->FooterItems().size(), 2u);
  EXPECT_TRUE(VI->HeaderIndicatorCell()->Visible());
  EXPECT_TRUE(VI->FooterIndicatorCell()->Visible());
  // Moved to rows of its own, each column is alone in its line: no stale neighbour flags.
  F.Tree->SetColumnPosition(F.Column(1), 0, true, 1);
  VI = F.Layout();
  EXPECT_EQ(VI->HeaderLineCount(), 2);
  EXPECT_EQ(VI->ColumnHeader(F.Column(0))->Neighbors, 0u);
  EXPECT_EQ(VI->ColumnHeader(F.Column(1))->Neighbors, 0u);
  // Two band rows make each node row two lines high, the second column in the second line.
  TcxTreeListNodeViewInfo* Row = F.Row(F.A);
  EXPECT_EQ(Row->RowHeight, 2 * VI->RowLineHeight());
  EXPECT_EQ(Row->CellOfColumn(F.Column(1))->DisplayRect().Top, Row->RowTop + VI->RowLineHeight());
}

TEST(TreeListLayout, OnlyTheShownRowsAreLaidOutAndTheLastPageStaysFull) {
  TTreeViewFixture F;
  F.Tree->BeginUpdate();
  for (Integer I = 0; I < 200; ++I) F.Make(nullptr, "n" + std::to_string(I));
  F.Tree->EndUpdate();
  TcxTreeListViewInfo* VI = F.Layout();
  const Integer Capacity = VI->VisibleRowCapacity();
  EXPECT_LE(VI->RowCount(), Capacity + 1);
  EXPECT_GE(VI->FullRowCount(), Capacity);
  const Integer Before = VI->RowsCalculated();
  F.Tree->LayoutChanged();
  EXPECT_LE(VI->RowsCalculated() - Before, Capacity + 1);
  // Scrolled past the end: the last node sits in the last full row.
  F.Tree->SetTopVisibleIndex(10000);
  VI = F.Layout();
  const Integer Count = F.Tree->Nodes()->ShownNodeCount();
  EXPECT_EQ(F.Tree->TopVisibleIndex(), Count - Capacity);
  EXPECT_EQ(VI->Rows(VI->FullRowCount() - 1)->Node->VisibleIndex(), Count - 1);
  // Making a node above the rows visible makes it the top row; one below, the bottom row.
  F.Tree->MakeNodeVisible(F.A1);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), F.A1->VisibleIndex());
  TcxTreeListNode* Far = F.Tree->Nodes()->Root()->GetLastChild()->GetPrevSibling();
  F.Tree->MakeNodeVisible(Far);
  VI = F.Layout();
  EXPECT_EQ(VI->Rows(VI->FullRowCount() - 1)->Node, Far);
  // Nodes removed below a scrolled view: the rows still end with the last node.
  F.Tree->SetTopVisibleIndex(10000);
  std::vector<TcxTreeListNode*> Tail;
  for (TcxTreeListNode* N = F.Tree->Nodes()->Root()->GetLastChild(); Tail.size() < 150; N = N->GetPrevSibling())
    Tail.push_back(N);
  F.Tree->DeleteNodes(Tail);
  VI = F.Layout();
  const Integer Shown = F.Tree->Nodes()->ShownNodeCount();
  EXPECT_EQ(F.Tree->TopVisibleIndex(), Shown - Capacity);
  EXPECT_EQ(VI->Rows(VI->FullRowCount() - 1)->Node->VisibleIndex(), Shown - 1);
}

TEST(TreeListLayout, FewNodesShowFromTheTop) {
  TTreeViewFixture F;
  F.Tree->SetTopVisibleIndex(3);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), 0);
  EXPECT_EQ(F.Layout()->RowCount(), 6);
}

// ---- Row height ---------------------------------------------------------------------------------

namespace {

// Every wholly shown row starts one pitch below the one above it, is one pitch
// high and its cells take that height; the first starts at the rows' top.
void ExpectRowPitch(TcxTreeListViewInfo* VI, Integer APitch) {
  ASSERT_GT(VI->FullRowCount(), 1);
  for (Integer I = 0; I < VI->FullRowCount(); ++I) {
    SCOPED_TRACE("row " + std::to_string(I));
    TcxTreeListNodeViewInfo* Row = VI->Rows(I);
    EXPECT_EQ(Row->RowTop, VI->NodesAreaRect().Top + I * APitch);
    EXPECT_EQ(Row->RowHeight, APitch);
    for (const auto& Cell : Row->Cells) EXPECT_EQ(Cell->DisplayRect().Height(), APitch);
  }
}

}  // namespace

TEST(TreeListRowHeight, AWrittenHeightIsClampedAndEveryRowTakesIt) {
  TTreeViewFixture F;
  F.View()->SetGridLines(tlglBoth);
  const Integer Computed = F.Layout()->RowLineHeight();
  const Integer Min = F.Layout()->MinRowHeight();
  ASSERT_GT(Min, 1);
  ASSERT_LT(Min, Computed);
  EXPECT_EQ(F.Tree->DefaultRowHeight(), Computed);
  struct Case {
    const char* What;
    Integer Written;
    Integer Assigned;  // what the control keeps
    Integer Height;    // the row line height and what DefaultRowHeight reads
  };
  const Case Cases[] = {
      {"large", 48, 48, 48},
      {"below 0: back to the view's height", -5, 0, Computed},
      {"1: raised to one line of text", 1, Min, Min},
      {"0: the view's height", 0, 0, Computed},
      {"the minimum itself", Min, Min, Min},
      {"one above the view's height", Computed + 1, Computed + 1, Computed + 1},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    F.Tree->SetDefaultRowHeight(K.Written);
    EXPECT_EQ(F.Tree->AssignedRowHeight(), K.Assigned);
    EXPECT_EQ(F.Tree->DefaultRowHeight(), K.Height);
    TcxTreeListViewInfo* VI = F.Layout();
    EXPECT_EQ(VI->RowLineHeight(), K.Height);
    ExpectRowPitch(VI, K.Height);
  }
}

TEST(TreeListRowHeight, AChangeLaysTheRowsOutAtOnceOrAtTheEndOfAnUpdate) {
  TTreeViewFixture F;
  Integer Layouts = 0;
  F.Tree->OnLayoutChanged = TcxTreeListControlNotifyEvent(F.Tree, [&](TcxCustomTreeListControl*) { ++Layouts; });
  TcxTreeListViewInfo* VI = F.Layout();
  const Integer Area = VI->NodesAreaRect().Height();
  ASSERT_EQ(VI->FullRowCount(), 6);
  constexpr Integer Tall = 60;
  F.Tree->SetDefaultRowHeight(Tall);
  const Integer AfterChange = Layouts;
  EXPECT_GT(AfterChange, 0);
  EXPECT_FALSE(VI->IsDirty());
  EXPECT_EQ(VI->FullRowCount(), Area / Tall);
  EXPECT_EQ(VI->VisibleRowCapacity(), Area / Tall);
  ExpectRowPitch(VI, Tall);
  // A point low in a tall row hits that row's node.
  TcxTreeListNodeViewInfo* Second = VI->Rows(1);
  TcxTreeListHitTest* Hit = F.Tree->HitTest();
  Hit->HitTest(TPoint{F.CellCenter(Second->Node, 1).X, Second->RowTop + Tall - 3});
  EXPECT_EQ(Hit->NodeAtPoint(), Second->Node);
  // The same height again changes nothing.
  F.Tree->SetDefaultRowHeight(Tall);
  EXPECT_EQ(Layouts, AfterChange);
  // Inside an update the rows wait for its end.
  constexpr Integer Low = 30;
  F.Tree->BeginUpdate();
  F.Tree->SetDefaultRowHeight(Low);
  EXPECT_EQ(F.Tree->DefaultRowHeight(), Low);
  EXPECT_TRUE(VI->IsDirty());
  EXPECT_EQ(VI->RowLineHeight(), Tall);
  EXPECT_EQ(Layouts, AfterChange);
  F.Tree->EndUpdate();
  EXPECT_GT(Layouts, AfterChange);
  EXPECT_FALSE(VI->IsDirty());
  ExpectRowPitch(VI, Low);
}

// ---- Hit test -----------------------------------------------------------------------------------

TEST(TreeListHitTest, PointsToElementNodeAndColumn) {
  TTreeViewFixture F;
  F.View()->SetIndicator(true);
  F.View()->SetFooter(true);
  F.Column(1)->Options()->SetFooter(true);  // its footer cell shows
  TcxTreeListViewInfo* VI = F.Layout();
  TcxTreeListNodeViewInfo* RowA = F.Row(F.A);
  TcxTreeListNodeViewInfo* RowA21 = F.Row(F.A21);
  const TRect Button = RowA->Indents.back()->ButtonRect;
  const TRect NameHeader = VI->ColumnHeader(F.Column(0))->DisplayRect();
  const Integer MidA = RowA->RowTop + RowA->RowHeight / 2;
  struct Case {
    const char* What;
    TPoint At;
    TcxTreeListHitCode Code;
    TcxTreeListNode* Node;
    Integer Column;  // -1: none
  };
  const Case Cases[] = {
      {"cell of a", F.CellCenter(F.A, 0), tlhcColumn, F.A, 0},
      {"second cell of a21", F.CellCenter(F.A21, 1), tlhcColumn, F.A21, 1},
      {"expand button", TPoint{Button.Left + 4, Button.Top + 4}, tlhcButton, F.A, -1},
      {"just beside the button", TPoint{Button.Left - 2, Button.Top + 4}, tlhcButton, F.A, -1},
      {"level indent", TPoint{RowA21->Indents[0]->DisplayRect().Left + 2, RowA21->RowTop + 2}, tlhcIndent, F.A21,
       -1},
      {"indicator", TPoint{5, MidA}, tlhcIndicator, F.A, -1},
      {"column header", TPoint{NameHeader.Left + 20, NameHeader.Top + 5}, tlhcColumnHeader, nullptr, 0},
      {"header right edge", TPoint{NameHeader.Right + 2, NameHeader.Top + 5}, tlhcHorzSizingEdge, nullptr, 0},
      {"footer item", TPoint{F.Layout()->FooterItems()[1]->ClipRect().Left + 5, F.Layout()->FooterItems()[1]->ClipRect().Top + 3},
       tlhcColumnFooter, nullptr, 1},
      {"below the rows", TPoint{150, F.Row(F.C)->RowTop + F.Row(F.C)->RowHeight + 5}, tlhcNode, nullptr, -1},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    TcxTreeListHitTest* Hit = F.Tree->HitTest();
    Hit->HitTest(K.At);
    if (K.Node || K.Code != tlhcNode)
      EXPECT_TRUE(Hit->HitAtCode(K.Code)) << Hit->HitCodes();
    else
      EXPECT_FALSE(Hit->HitAtCode(tlhcNode));
    EXPECT_EQ(Hit->NodeAtPoint(), K.Node);
    EXPECT_EQ(Hit->ColumnAtPoint(), K.Column < 0 ? nullptr : F.Column(K.Column));
  }
  // A header's right edge grabs within 3 pixels, not 4.
  TcxTreeListHitTest* Hit = F.Tree->HitTest();
  Hit->HitTest(TPoint{NameHeader.Right - 4, NameHeader.Top + 5});
  EXPECT_FALSE(Hit->HitAtCode(tlhcHorzSizingEdge));
  Hit->HitTest(TPoint{NameHeader.Right - 3, NameHeader.Top + 5});
  EXPECT_TRUE(Hit->HitAtCode(tlhcHorzSizingEdge));
  // Outside the client area nothing is hit.
  Hit->HitTest(TPoint{-5, 20});
  EXPECT_EQ(Hit->HitCodes(), 0u);
}

TEST(TreeListHitTest, FixedSeparatorsAnswerTheirCode) {
  TTreeViewFixture F;
  F.Tree->BeginUpdate();
  F.Tree->OptionsView()->SetBands(true);
  TcxTreeListBand* Left = F.Tree->Bands()->Items(0);
  TcxTreeListBand* Middle = F.Tree->Bands()->Add();
  TcxTreeListBand* Right = F.Tree->Bands()->Add();
  F.Tree->CreateColumn(Middle)->SetWidth(60);
  F.Tree->CreateColumn(Right)->SetWidth(40);
  Left->SetFixedKind(tlbfLeft);
  Right->SetFixedKind(tlbfRight);
  F.Tree->OptionsView()->SetFixedSeparatorWidth(4);
  F.Tree->EndUpdate();
  F.Tree->LayoutChanged();
  TcxTreeListViewInfo* VI = F.Layout();
  const TRect L = VI->LeftSeparatorRect(), R = VI->RightSeparatorRect();
  ASSERT_EQ(L.Width(), 4);
  ASSERT_EQ(R.Width(), 4);
  EXPECT_EQ(VI->ScrollAreaRect().Left, L.Right);
  EXPECT_EQ(VI->ScrollAreaRect().Right, R.Left);
  EXPECT_EQ(VI->RightFixedBand()->DisplayRect().Left, R.Right);
  const Integer HeaderY = VI->HeaderAreaRect().Top + 3;
  const Integer RowY = F.Row(F.B)->RowTop + 3;
  struct Case {
    const char* What;
    TPoint At;
    bool Separator;
    TcxTreeListNode* Node;
  };
  const Case Cases[] = {
      {"left separator in the headers", TPoint{L.Left + 1, HeaderY}, true, nullptr},
      {"left separator in a row", TPoint{L.Right - 1, RowY}, true, F.B},
      {"right separator in a row", TPoint{R.Left, RowY}, true, F.B},
      {"right separator below the rows", TPoint{R.Left + 2, VI->NodesAreaRect().Bottom - 2}, true, nullptr},
      {"just left of the left separator", TPoint{L.Left - 1, RowY}, false, F.B},
      {"just right of the right separator", TPoint{R.Right, RowY}, false, F.B},
      {"the scrolling band", TPoint{VI->ScrollAreaRect().Left + 5, RowY}, false, F.B},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    TcxTreeListHitTest* Hit = F.Tree->HitTest();
    Hit->HitTest(K.At);
    EXPECT_EQ(Hit->HitAtCode(tlhcSeparator), K.Separator);
    EXPECT_EQ(Hit->NodeAtPoint(), K.Node);
  }
  // Without fixed bands there are no separators.
  Left->SetFixedKind(tlbfNone);
  Right->SetFixedKind(tlbfNone);
  F.Tree->LayoutChanged();
  EXPECT_TRUE(IsRectEmpty(F.Layout()->LeftSeparatorRect()));
  EXPECT_TRUE(IsRectEmpty(F.Layout()->RightSeparatorRect()));
}

TEST(TreeListLayout, PreviewRowUnderOrAboveTheCells) {
  TTreeViewFixture F;
  TcxTreeListPreview* Preview = F.Tree->Preview();
  const Integer Plain = F.Row(F.B)->RowHeight;
  // A column set while the preview is off changes nothing.
  Preview->SetColumn(F.Column(1));
  F.Tree->LayoutChanged();
  EXPECT_FALSE(F.Row(F.B)->PreviewShown);
  EXPECT_EQ(F.Row(F.B)->RowHeight, Plain);
  Preview->SetVisible(true);
  F.Tree->LayoutChanged();
  TcxTreeListNodeViewInfo* Row = F.Row(F.B);
  ASSERT_TRUE(Row->PreviewShown);
  ASSERT_TRUE(Row->PreviewCell);
  EXPECT_EQ(Row->PreviewCell->Text, u"note b");
  const TRect P = Row->PreviewCell->DisplayRect();
  EXPECT_EQ(P.Top, Row->CellsTop + Row->CellsHeight);
  EXPECT_EQ(Row->RowHeight, Row->CellsHeight + P.Height());
  EXPECT_EQ(Row->CellsHeight, Plain);
  EXPECT_EQ(P.Left, Row->CellsLeft);
  EXPECT_EQ(Row->PreviewCell->TextRect.Left, P.Left + Preview->LeftIndent());
  // The hit test names the preview and its node.
  TcxTreeListHitTest* Hit = F.Tree->HitTest();
  Hit->HitTest(TPoint{P.Left + 20, P.Top + 2});
  EXPECT_TRUE(Hit->HitAtCode(tlhcPreview));
  EXPECT_EQ(Hit->NodeAtPoint(), F.B);
  // On top the cells go below it.
  Preview->SetPlace(tlppTop);
  F.Tree->LayoutChanged();
  Row = F.Row(F.B);
  EXPECT_EQ(Row->PreviewCell->DisplayRect().Top, Row->RowTop);
  EXPECT_EQ(Row->CellsTop, Row->RowTop + Row->PreviewCell->PreviewHeight);
  EXPECT_EQ(Row->CellOfColumn(F.Column(0))->DisplayRect().Top, Row->CellsTop);
  // A long text wraps up to MaxLineCount lines; the height event can hide the preview.
  Preview->SetPlace(tlppBottom);
  const Integer OneLine = F.Row(F.B)->PreviewCell->PreviewHeight;
  // An empty text keeps its one line.
  F.C->SetValues(F.NoteItem, Variant(String()));
  F.Tree->LayoutChanged();
  ASSERT_TRUE(F.Row(F.C)->PreviewShown);
  EXPECT_EQ(F.Row(F.C)->PreviewCell->PreviewHeight, OneLine);
  F.B->SetValues(F.NoteItem, Variant(String(u"word ").append(200, u'x').append(u" more words to wrap ").append(200, u'y')));
  F.Tree->LayoutChanged();
  const Integer Wrapped = F.Row(F.B)->PreviewCell->PreviewHeight;
  EXPECT_GT(Wrapped, OneLine);
  Preview->SetMaxLineCount(1);
  F.Tree->LayoutChanged();
  EXPECT_EQ(F.Row(F.B)->PreviewCell->PreviewHeight, OneLine);
  F.Tree->OnGetNodePreviewHeight = TcxTreeListGetNodePreviewHeightEvent(
      F.Form, [&](TcxCustomTreeListControl*, TcxTreeListNode* ANode, const Variant&, Integer& AHeight) {
        if (ANode == F.B) AHeight = 0;
      });
  F.Tree->LayoutChanged();
  EXPECT_FALSE(F.Row(F.B)->PreviewShown);
  EXPECT_EQ(F.Row(F.B)->RowHeight, Plain);
  EXPECT_TRUE(F.Row(F.C)->PreviewShown);
}

TEST(TreeListLayout, CategorizedGroupRowsAndAutoRowHeights) {
  TTreeViewFixture F;
  F.View()->SetPaintStyle(tlpsCategorized);
  F.Tree->LayoutChanged();
  // A node with children is a group row: one cell of the first visible column across the row.
  TcxTreeListNodeViewInfo* Group = F.Row(F.A);
  ASSERT_TRUE(Group->GroupRow);
  ASSERT_TRUE(Group->GroupCell);
  EXPECT_TRUE(Group->Cells.empty());
  EXPECT_EQ(Group->GroupCell->Text, u"a");
  EXPECT_EQ(Group->GroupCell->Column(), F.Column(0));
  EXPECT_EQ(Group->GroupCell->DisplayRect().Right, Group->CellsArea.Right);
  EXPECT_FALSE(F.Row(F.B)->GroupRow);
  F.View()->SetCategorizedColumn(F.Column(1));
  F.Tree->LayoutChanged();
  EXPECT_EQ(F.Row(F.A)->GroupCell->Text, u"note a");
  TcxTreeListHitTest* Hit = F.Tree->HitTest();
  const TRect R = F.Row(F.A)->GroupCell->DisplayRect();
  Hit->HitTest(TPoint{R.Right - 10, R.Top + 3});
  EXPECT_TRUE(Hit->HitAtCode(tlhcColumn));
  EXPECT_EQ(Hit->ColumnAtPoint(), F.Column(1));
  EXPECT_EQ(Hit->NodeAtPoint(), F.A);
  // Auto height: a long text in the narrow column makes its row taller, the others stay.
  F.View()->SetPaintStyle(tlpsStandard);
  F.View()->SetCellAutoHeight(true);
  F.Tree->LayoutChanged();
  const Integer Plain = F.Row(F.C)->RowHeight;
  EXPECT_EQ(F.Row(F.B)->RowHeight, Plain);
  F.B->SetValues(F.NoteItem, Variant(String(u"several words that cannot fit in one line of this cell")));
  F.Tree->LayoutChanged();
  EXPECT_GT(F.Row(F.B)->RowHeight, Plain);
  EXPECT_EQ(F.Row(F.C)->RowHeight, Plain);
  EXPECT_EQ(F.Row(F.B)->CellOfColumn(F.Column(0))->DisplayRect().Height(), F.Row(F.B)->CellsHeight);
  EXPECT_EQ(F.Row(F.C)->RowTop, F.Row(F.B)->RowTop + F.Row(F.B)->RowHeight);
}

TEST(TreeListLayout, TopRecordIndexChangedFiresWhenTheTopRowChanges) {
  TTreeViewFixture F;
  F.Tree->SetDefaultRowHeight(60);
  F.Layout();
  std::vector<Integer> Tops;
  F.Tree->OnTopRecordIndexChanged = TcxTreeListControlNotifyEvent(
      F.Form, [&](TcxCustomTreeListControl* Sender) { Tops.push_back(Sender->TopVisibleIndex()); });
  F.Tree->SetTopVisibleIndex(2);
  F.Layout();
  F.Tree->LayoutChanged();
  F.Layout();
  EXPECT_EQ(Tops, std::vector<Integer>{2});
  F.Tree->SetTopVisibleIndex(0);
  F.Layout();
  EXPECT_EQ(Tops, (std::vector<Integer>{2, 0}));
  // A layout that keeps the top row tells nothing.
  F.Tree->SetDefaultRowHeight(61);
  F.Layout();
  EXPECT_EQ(Tops.size(), 2u);
}

TEST(TreeListLayout, FooterItemsCarryTheirColumnsSummaryText) {
  TTreeViewFixture F;
  F.View()->SetFooter(true);
  TcxDataSummary* Summary = F.Tree->DataController()->Summary();
  Summary->FooterSummaryItems()->Add(F.Column(1), spFooter, skCount);
  F.Tree->LayoutChanged();
  const auto& Items = F.Layout()->FooterItems();
  ASSERT_EQ(Items.size(), 2u);
  // Only the column with a footer summary item shows a text: the count of the six nodes.
  EXPECT_EQ(Items[0]->Text, u"");
  EXPECT_NE(Items[1]->Text.find(u"6"), String::npos) << StringToUTF8(Items[1]->Text);
}

// A row's lower edge grabs from 6 pixels above it to 3 below it, but only
// on the row's indicator, indents or empty part, never over a cell; near a
// row's top the edge is the row above's; the top row's top grabs nothing.
TEST(TreeListHitTest, RowEdgesGrabTheLowerEdgeOfTheRightRow) {
  TTreeViewFixture F;
  F.View()->SetIndicator(true);
  F.Tree->OptionsCustomizing()->SetRowSizing(true);
  F.Tree->LayoutChanged();
  TcxTreeListNodeViewInfo* Top = F.Row(F.A);
  TcxTreeListNodeViewInfo* RowB = F.Row(F.B);
  TcxTreeListNodeViewInfo* Last = F.Row(F.C);
  const Integer X = (RowB->Indicator->DisplayRect().Left + RowB->Indicator->DisplayRect().Right) / 2;
  const Integer BottomB = RowB->RowTop + RowB->RowHeight;
  const Integer BottomLast = Last->RowTop + Last->RowHeight;
  struct Case {
    const char* What;
    TPoint At;
    TcxTreeListNode* Edge;  // none: no sizing edge
  };
  const Case Cases[] = {
      {"last pixel of b", TPoint{X, BottomB - 1}, F.B},
      {"6 above b's bottom", TPoint{X, BottomB - 6}, F.B},
      {"7 above b's bottom", TPoint{X, BottomB - 7}, nullptr},
      {"c's first pixel: b's edge", TPoint{X, BottomB}, F.B},
      {"c's third pixel: b's edge", TPoint{X, BottomB + 2}, F.B},
      {"c's fourth pixel", TPoint{X, BottomB + 3}, nullptr},
      {"the top row's top", TPoint{X, Top->RowTop + 1}, nullptr},
      {"over b's cell", TPoint{F.CellCenter(F.B, 1).X, BottomB - 1}, nullptr},
      {"over b's indent", TPoint{RowB->Indents.back()->DisplayRect().Left + 2, BottomB - 1}, F.B},
      {"below the last row", TPoint{X, BottomLast + 1}, nullptr},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    TcxTreeListHitTest* Hit = F.Tree->HitTest();
    Hit->HitTest(K.At);
    EXPECT_EQ(Hit->HitAtCode(tlhcVertSizingEdge), K.Edge != nullptr) << Hit->HitCodes();
    EXPECT_EQ(Hit->EdgeNode(), K.Edge);
    EXPECT_FALSE(Hit->HitAtCode(tlhcHorzSizingEdge));
  }
  // Without RowSizing no row has a sizing edge.
  F.Tree->OptionsCustomizing()->SetRowSizing(false);
  TcxTreeListHitTest* Hit = F.Tree->HitTest();
  Hit->HitTest(TPoint{X, BottomB - 1});
  EXPECT_FALSE(Hit->HitAtCode(tlhcVertSizingEdge));
  EXPECT_EQ(Hit->EdgeNode(), nullptr);
}

// A header wants a hint when its caption does not fit its text area and the
// pointer rests on the text, away from the sizing edges.
TEST(TreeListHeaders, AHintShowsACaptionThatDoesNotFit) {
  TTreeViewFixture F;
  F.Column(1)->SetCaption(u"A caption far too long for eighty pixels");
  F.Tree->LayoutChanged();
  TcxTreeListColumnHeaderViewInfo* Short = F.Layout()->ColumnHeader(F.Column(0));
  TcxTreeListColumnHeaderViewInfo* Long = F.Layout()->ColumnHeader(F.Column(1));
  auto Inside = [](TcxTreeListHeaderViewInfo* H) {
    return TPoint{H->TextArea.Left + 5, (H->TextArea.Top + H->TextArea.Bottom) / 2};
  };
  struct Case {
    const char* What;
    TcxTreeListHeaderViewInfo* Header;
    TPoint At;
    bool Hint;
  };
  const Case Cases[] = {
      {"a caption that fits", Short, Inside(Short), false},
      {"a long caption", Long, Inside(Long), true},
      {"a long caption, pointer above the text", Long, TPoint{Long->TextArea.Left + 5, Long->DisplayRect().Top}, false},
      {"a long caption, on the sizing edge", Long, TPoint{Long->ClipRect().Right - 1, Inside(Long).Y}, false},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    String Text;
    bool Below = true;
    TRect TextRect{};
    EXPECT_EQ(K.Header->NeedShowHint(nullptr, K.At, Text, Below, TextRect), K.Hint);
    EXPECT_FALSE(Below);
    if (K.Hint) {
      EXPECT_EQ(Text, F.Column(1)->Caption());
      EXPECT_EQ(TextRect, K.Header->TextArea);
    }
  }
  // A wrapping caption that fits in width but not in height wants one too.
  F.Column(1)->CaptionSettings()->SetMultiLine(true);
  F.Tree->LayoutChanged();
  Long = F.Layout()->ColumnHeader(F.Column(1));
  String Text;
  bool Below = false;
  TRect TextRect{};
  EXPECT_TRUE(Long->NeedShowHint(nullptr, Inside(Long), Text, Below, TextRect));
}

// ---- Cells --------------------------------------------------------------------------------------

// Edit buttons follow the column's own setting, else the view's; with
// "focused" every cell of the focused node's row shows them, not only the
// focused cell. The preview never shows them.
TEST(TreeListCells, EditButtonsByTheColumnThenTheView) {
  TTreeViewFixture F;
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(0));
  struct Case {
    TcxEditItemShowEditButtons Own;
    TcxEditingControlEditShowButtons View;
    bool FocusedCell, OtherCellOfTheRow, OtherRow;
  };
  const Case Cases[] = {
      {eisbDefault, ecsbNever, false, false, false},
      {eisbDefault, ecsbFocused, true, true, false},
      {eisbDefault, ecsbAlways, true, true, true},
      {eisbNever, ecsbAlways, false, false, false},
      {eisbAlways, ecsbNever, true, true, true},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(std::to_string(K.Own) + "/" + std::to_string(K.View));
    for (Integer I = 0; I < 2; ++I) F.Column(I)->Options()->SetShowEditButtons(K.Own);
    F.View()->SetShowEditButtons(K.View);
    F.Tree->LayoutChanged();
    auto Shows = [&](TcxTreeListNode* ANode, Integer AColumn) {
      return F.Row(ANode)->CellOfColumn(F.Column(AColumn))->GetButtonTransparency() == ebtNone;
    };
    EXPECT_EQ(Shows(F.B, 0), K.FocusedCell);
    EXPECT_EQ(Shows(F.B, 1), K.OtherCellOfTheRow);
    EXPECT_EQ(Shows(F.C, 1), K.OtherRow);
  }
  // The buttons follow the focus to the next row.
  for (Integer I = 0; I < 2; ++I) F.Column(I)->Options()->SetShowEditButtons(eisbDefault);
  F.View()->SetShowEditButtons(ecsbFocused);
  F.Tree->SetFocusedNode(F.C);
  F.Layout();
  EXPECT_EQ(F.Row(F.C)->CellOfColumn(F.Column(1))->GetButtonTransparency(), ebtNone);
  F.Tree->SetFocusedNode(F.B);
  F.Layout();
  EXPECT_EQ(F.Row(F.C)->CellOfColumn(F.Column(1))->GetButtonTransparency(), ebtHideInactive);
  EXPECT_EQ(F.Row(F.B)->CellOfColumn(F.Column(1))->GetButtonTransparency(), ebtNone);
  F.Tree->Preview()->SetColumn(F.Column(1));
  F.Tree->Preview()->SetVisible(true);
  F.View()->SetShowEditButtons(ecsbAlways);
  F.Tree->LayoutChanged();
  ASSERT_TRUE(F.Row(F.B)->PreviewCell);
  EXPECT_EQ(F.Row(F.B)->PreviewCell->GetButtonTransparency(), ebtHideInactive);
}

// A selected cell takes the selection's colours but keeps the content
// style's font: selecting a row does not change its letters.
TEST(TreeListCells, ASelectedCellKeepsItsContentFont) {
  TTreeViewFixture F;
  auto* Content = new TcxStyle(F.Form);
  Content->Font()->SetHeight(-20);
  Content->Font()->SetStyle(TFontStyles{fsBold});
  Content->SetColor(TColor(0x44AA66));
  auto* Selection = new TcxStyle(F.Form);
  Selection->SetColor(TColor(0x2233CC));
  Selection->SetTextColor(clYellow);
  F.Tree->Styles()->SetContent(Content);
  F.Tree->Styles()->SetSelection(Selection);
  F.Tree->SetFocus();
  Application->ProcessMessages();
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(0));
  F.Tree->LayoutChanged();
  // In the focused row the other column's cell paints selected (InvertSelect).
  TcxTreeListEditCellViewInfo* Selected = F.Row(F.B)->CellOfColumn(F.Column(1));
  TcxTreeListEditCellViewInfo* Plain = F.Row(F.C)->CellOfColumn(F.Column(1));
  ASSERT_TRUE(Selected->IsSelectedLook());
  ASSERT_FALSE(Plain->IsSelectedLook());
  EXPECT_EQ(Plain->ViewParams().Color, TColor(0x44AA66));
  EXPECT_EQ(Selected->ViewParams().Color, TColor(0x2233CC));
  EXPECT_EQ(Selected->ViewParams().TextColor, clYellow);
  ASSERT_NE(Selected->ViewParams().Font, nullptr);
  EXPECT_EQ(Selected->ViewParams().Font->Height(), -20);
  EXPECT_TRUE(Selected->ViewParams().Font->Style() & TFontStyles{fsBold});
}

// Rows are as tall as the largest content font of the shown columns needs,
// so that no cell cuts its text; a set row height still wins.
TEST(TreeListRowHeight, AColumnsContentFontMakesEveryRowTaller) {
  TTreeViewFixture F;
  const Integer Before = F.Layout()->RowLineHeight();
  auto* Big = new TcxStyle(F.Form);
  Big->Font()->SetHeight(-28);
  F.Column(1)->Styles()->SetContent(Big);
  F.Tree->LayoutChanged();
  const Integer After = F.Layout()->RowLineHeight();
  EXPECT_GE(After, Before + 10);
  EXPECT_EQ(F.Row(F.B)->RowHeight, After);
  EXPECT_EQ(F.Row(F.C)->RowTop, F.Row(F.B)->RowTop + After);
  // The same through the content slot of the control.
  F.Column(1)->Styles()->SetContent(nullptr);
  F.Tree->LayoutChanged();
  EXPECT_EQ(F.Layout()->RowLineHeight(), Before);
  F.Tree->Styles()->SetContent(Big);
  F.Tree->LayoutChanged();
  EXPECT_EQ(F.Layout()->RowLineHeight(), After);
  F.Tree->SetDefaultRowHeight(Before + 2);
  EXPECT_EQ(F.Layout()->RowLineHeight(), Before + 2);
}

// A scrolling band wider than the room between the fixed bands reaches under
// them; the headers and footer items of the fixed bands still answer for
// the points they show at.
TEST(TreeListHitTest, FixedBandsAnswerOverTheScrollingBandUnderThem) {
  TTreeViewFixture F;
  F.Tree->BeginUpdate();
  F.Tree->OptionsView()->SetBands(true);
  F.Tree->OptionsView()->SetFooter(true);
  TcxTreeListBand* Left = F.Tree->Bands()->Items(0);
  TcxTreeListBand* Middle = F.Tree->Bands()->Add();
  TcxTreeListBand* Right = F.Tree->Bands()->Add();
  F.Tree->CreateColumn(Middle)->SetWidth(400);
  TcxTreeListColumn* RightColumn = F.Tree->CreateColumn(Right);
  RightColumn->SetWidth(60);
  RightColumn->Options()->SetFooter(true);
  Left->SetFixedKind(tlbfLeft);
  Right->SetFixedKind(tlbfRight);
  F.Tree->EndUpdate();
  F.Tree->LayoutChanged();
  TcxTreeListViewInfo* VI = F.Layout();
  ASSERT_GT(VI->BandViewInfo(Middle)->DisplayRect().Right, VI->RightFixedBand()->DisplayRect().Left);
  for (Integer LeftPos : {0, 60}) {
    SCOPED_TRACE("scrolled by " + std::to_string(LeftPos));
    VI->SetLeftPos(LeftPos);
    VI = F.Layout();
    const TRect RightHeader = VI->ColumnHeader(RightColumn)->ClipRect();
    const TRect RightBandHeader = VI->RightFixedBand()->Header->ClipRect();
    const TRect NameHeader = VI->ColumnHeader(F.Column(0))->ClipRect();
    TcxTreeListFooterItemViewInfo* RightFooter = nullptr;
    for (const auto& Item : VI->FooterItems())
      if (Item->Column == RightColumn) RightFooter = Item.get();
    ASSERT_NE(RightFooter, nullptr);
    struct Case {
      const char* What;
      TPoint At;
      TcxTreeListHitCode Code;
      TcxTreeListBand* Band;
      TcxTreeListColumn* Column;
    };
    const Case Cases[] = {
        {"right band's column header", CentreOf(RightHeader), tlhcColumnHeader, Right, RightColumn},
        {"right band's header", CentreOf(RightBandHeader), tlhcBandHeader, Right, nullptr},
        {"right band's footer item", CentreOf(RightFooter->ClipRect()), tlhcColumnFooter, Right, RightColumn},
        {"left band's column header", CentreOf(NameHeader), tlhcColumnHeader, Left, F.Column(0)},
    };
    for (const Case& K : Cases) {
      SCOPED_TRACE(K.What);
      TcxTreeListHitTest* Hit = F.Tree->HitTest();
      Hit->HitTest(K.At);
      EXPECT_TRUE(Hit->HitAtCode(K.Code)) << Hit->HitCodes();
      EXPECT_EQ(Hit->BandAtPoint(), K.Band);
      EXPECT_EQ(Hit->ColumnAtPoint(), K.Column);
    }
  }
}

// In a look whose headers hot-track, the header under the mouse is drawn
// hot until the mouse leaves it; other looks never draw a hot header.
TEST(TreeListHeaders, TheHeaderUnderTheMouseIsHotWhereTheLookSaysSo) {
  TTreeViewFixture F;
  F.Tree->LookAndFeel()->SetNativeStyle(false);
  auto Header = [&](Integer AColumn) { return F.Layout()->ColumnHeader(F.Column(AColumn)); };
  auto MoveTo = [&](const TPoint& P) {
    TestMouseMove(F.Tree->Handle(), P);
    Application->ProcessMessages();
  };
  struct Case {
    TcxLookAndFeelKind Kind;
    bool HotTracks;
  };
  for (const Case& K : {Case{lfOffice11, true}, Case{lfUltraFlat, false}}) {
    SCOPED_TRACE(std::to_string(K.Kind));
    F.Tree->LookAndFeel()->SetKind(K.Kind);
    F.Tree->LayoutChanged();
    const TRect Name = Header(0)->DisplayRect();
    const TRect Note = Header(1)->DisplayRect();
    MoveTo(TPoint{Name.Left + 20, Name.Top + 5});
    EXPECT_EQ(Header(0)->ButtonState, K.HotTracks ? cxbsHot : cxbsNormal);
    EXPECT_EQ(Header(1)->ButtonState, cxbsNormal);
    MoveTo(TPoint{Note.Left + 20, Note.Top + 5});
    EXPECT_EQ(Header(0)->ButtonState, cxbsNormal);
    EXPECT_EQ(Header(1)->ButtonState, K.HotTracks ? cxbsHot : cxbsNormal);
    MoveTo(F.CellCenter(F.B, 0));
    EXPECT_EQ(Header(1)->ButtonState, cxbsNormal);
  }
}

// The indicator of each row: the focused row's arrow (several arrows when
// more nodes are selected), dots for the other selected rows, the pencil
// while the focused record is edited.
TEST(TreeListLayout, IndicatorKindsFollowFocusSelectionAndEditing) {
  TTreeViewFixture F;
  F.View()->SetIndicator(true);
  F.Tree->OptionsSelection()->SetMultiSelect(true);
  F.Tree->SetFocusedNode(F.B);
  F.Tree->LayoutChanged();
  auto Kinds = [&] {
    std::string Result;
    for (TcxTreeListNode* N : {F.A, F.A1, F.B, F.C}) Result += std::to_string(F.Row(N)->Indicator->Kind);
    return Result;
  };
  EXPECT_EQ(Kinds(), "0010") << "the focused row alone: an arrow";
  F.B->SetSelected(true);
  EXPECT_EQ(Kinds(), "0010") << "one selected node, focused: an arrow";
  F.C->SetSelected(true);
  EXPECT_EQ(Kinds(), "0054") << "b focused and selected with c: arrows and dots";
  F.A1->SetSelected(true);
  EXPECT_EQ(Kinds(), "0454");
  // The selected rows paint in the selection's look at once.
  EXPECT_TRUE(F.Row(F.A1)->CellsGroups[0]->SelectedLook());
  F.A1->SetSelected(false);
  EXPECT_EQ(Kinds(), "0054");
  EXPECT_FALSE(F.Row(F.A1)->CellsGroups[0]->SelectedLook());
  F.Tree->SetSelection({});
  F.Tree->SetFocusedNode(F.B);
  F.Tree->DataController()->Edit();
  F.Tree->LayoutChanged();
  EXPECT_EQ(Kinds(), "0020") << "editing the focused record";
  F.Tree->DataController()->CancelRecord();
}
