// The tree list's painting, probed pixel by pixel: tree lines dotted and
// solid, grid lines, the selection and the focus frame, the same picture
// with and without buffered painting, a picture of a Chinese tree in the
// ultra-flat look, and one of rows at a set height.
#include "treelist/cxTLPainter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "foundation/cxLookAndFeels.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/stdctrls.h"
#include "treelist_view_fixture.h"

namespace {

// Pixels of the vertical line through a rectangle in AColor.
Integer CountInColumn(const TBitmap& APicture, Integer X, Integer ATop, Integer ABottom, TColor AColor) {
  Integer Count = 0;
  for (Integer Y = ATop; Y < ABottom; ++Y) Count += APicture.PixelColor(X, Y) == AColor;
  return Count;
}

Integer CountInRow(const TBitmap& APicture, Integer Y, Integer ALeft, Integer ARight, TColor AColor) {
  Integer Count = 0;
  for (Integer X = ALeft; X < ARight; ++X) Count += APicture.PixelColor(X, Y) == AColor;
  return Count;
}

}  // namespace

TEST(TreeListPainter, TreeLinesDottedSolidAndNone) {
  TTreeViewFixture F;
  // b's own indent: a full vertical line (a sibling follows) and the horizontal line.
  TcxTreeListIndentViewInfo* Indent = F.Row(F.B)->Indents.back().get();
  const TRect V = Indent->VertLine;
  const TColor Line = F.Layout()->TreeLineColor();
  ASSERT_EQ(V.Height(), F.Row(F.B)->RowHeight);
  struct Case {
    const char* What;
    TcxTreeListTreeLineStyle Style;
    Integer MinCount, MaxCount;
  };
  const Integer H = V.Height();
  const Case Cases[] = {
      {"dotted: every other pixel", tllsDot, H / 2 - 1, H / 2 + 1},
      {"solid: every pixel", tllsSolid, H, H},
      {"none", tllsNone, 0, 0},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    F.View()->SetTreeLineStyle(K.Style);
    const auto Picture = F.Shot();
    const Integer Count = CountInColumn(*Picture, V.Left, V.Top, V.Bottom, Line);
    EXPECT_GE(Count, K.MinCount);
    EXPECT_LE(Count, K.MaxCount);
  }
  // Without tree lines the expand button of a still shows: its frame is in the tree-line colour.
  const TRect Button = F.Row(F.A)->Indents.back()->ButtonRect;
  const auto Picture = F.Shot();
  EXPECT_EQ(CountInRow(*Picture, Button.Top, Button.Left + 1, Button.Right - 1, Line), Button.Width() - 2);
}

TEST(TreeListPainter, GridLinesAlongTheCellBorders) {
  TTreeViewFixture F;
  F.View()->SetGridLines(tlglBoth);
  const TColor Grid = ColorToRGB(F.Layout()->GridLineColor());
  const TRect Cell = F.Row(F.B)->CellOfColumn(F.Column(1))->DisplayRect();
  const auto Picture = F.Shot();
  EXPECT_EQ(CountInRow(*Picture, Cell.Bottom - 1, Cell.Left, Cell.Right, Grid), Cell.Width());
  EXPECT_EQ(CountInColumn(*Picture, Cell.Right - 1, Cell.Top, Cell.Bottom, Grid), Cell.Height());
  // The row above the line is no grid line.
  EXPECT_LT(CountInRow(*Picture, Cell.Bottom - 3, Cell.Left, Cell.Right - 1, Grid), Cell.Width() / 2);
}

// The first row of the rectangle that holds dark (text) pixels, from its top; -1: none.
Integer FirstInkRow(const TBitmap& APicture, const TRect& R) {
  for (Integer Y = R.Top; Y < std::min(R.Bottom, APicture.Height()); ++Y)
    for (Integer X = R.Left; X < R.Right; ++X) {
      const TColor C = APicture.PixelColor(X, Y);
      if ((C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60) return Y - R.Top;
    }
  return -1;
}

TEST(TreeListPainter, APartlyShownLastRowKeepsItsTextWhereAWholeRowHasIt) {
  // The bottom row cut by the control's edge shows the top of its text,
  // not its text squeezed up into the part that shows.
  TTreeViewFixture F;
  F.C->SetValues(TTreeViewFixture::NoteItem, F.B->Values(TTreeViewFixture::NoteItem));  // the same ink in both
  const TRect B = F.Row(F.B)->CellOfColumn(F.Column(1))->DisplayRect();
  const Integer RowHeight = B.Bottom - B.Top;
  for (Integer Shown : {RowHeight - 3, RowHeight / 2 + 2}) {
    SCOPED_TRACE(Shown);
    F.Tree->SetHeight(F.Row(F.C)->CellOfColumn(F.Column(1))->DisplayRect().Top + Shown +
                      (F.Tree->Height() - F.Tree->ClientHeight()));
    F.Tree->LayoutChanged();
    Application->ProcessMessages();
    TcxTreeListNodeViewInfo* Last = F.Row(F.C);
    ASSERT_NE(Last, nullptr);
    const TRect C = Last->CellOfColumn(F.Column(1))->DisplayRect();
    const auto Picture = F.Shot();
    ASSERT_GT(C.Bottom, Picture->Height()) << "the last row shows whole";
    const Integer Whole = FirstInkRow(*Picture, F.Row(F.B)->CellOfColumn(F.Column(1))->DisplayRect());
    ASSERT_GE(Whole, 0);
    EXPECT_EQ(FirstInkRow(*Picture, C), Whole);
  }
}

TEST(TreeListPainter, SelectionAndFocusFrameFollowTheFocus) {
  TTreeViewFixture F;
  TcxStyle* Selection = new TcxStyle(F.Form);
  Selection->SetColor(clNavy);
  F.Tree->Styles()->SetSelection(Selection);
  TcxStyle* Inactive = new TcxStyle(F.Form);
  Inactive->SetColor(clGray);
  F.Tree->Styles()->SetInactive(Inactive);
  F.Tree->Controller()->FocusRecordAndItem(F.B->RecordIndex(), F.Column(0));
  auto Probe = [&](TcxTreeListNode* ANode, Integer AColumn) {
    const TRect R = F.Row(ANode)->CellOfColumn(F.Column(AColumn))->DisplayRect();
    return TPoint{R.Right - 4, R.Top + 3};
  };
  auto Picture = F.Shot();
  EXPECT_TRUE(F.Tree->IsSelectionActive());
  // The focused row's other cell paints selected; the focused cell itself and other rows do not.
  EXPECT_EQ(Picture->PixelColor(Probe(F.B, 1).X, Probe(F.B, 1).Y), clNavy);
  EXPECT_NE(Picture->PixelColor(Probe(F.B, 0).X, Probe(F.B, 0).Y), clNavy);
  EXPECT_NE(Picture->PixelColor(Probe(F.C, 1).X, Probe(F.C, 1).Y), clNavy);
  // The focus frame runs along the focused cell's content edge.
  const TRect Focus = F.Row(F.B)->CellOfColumn(F.Column(0))->ContentRect();
  const TColor Content = Picture->PixelColor(Focus.Left + 5, Focus.Top + 3);
  EXPECT_GT(Focus.Width() - CountInRow(*Picture, Focus.Top, Focus.Left, Focus.Right, Content), 5);
  // Without the focus the selection turns inactive and, with HideFocusRect, the frame goes.
  F.Tree->OptionsSelection()->SetHideFocusRect(true);
  TEdit* Other = new TEdit(F.Form);
  Other->SetBounds(10, 300, 100, 24);
  Other->SetParent(F.Form);
  Other->SetFocus();
  Application->ProcessMessages();
  F.Tree->LayoutChanged();
  EXPECT_FALSE(F.Tree->IsSelectionActive());
  Picture = F.Shot();
  EXPECT_EQ(Picture->PixelColor(Probe(F.B, 1).X, Probe(F.B, 1).Y), clGray);
  EXPECT_EQ(CountInRow(*Picture, Focus.Top, Focus.Left, Focus.Right, Content), Focus.Width());
  // With HideSelection the rows lose the selection look without the focus.
  F.Tree->OptionsSelection()->SetHideSelection(true);
  Picture = F.Shot();
  EXPECT_NE(Picture->PixelColor(Probe(F.B, 1).X, Probe(F.B, 1).Y), clGray);
}

TEST(TreeListPainter, BufferedPaintingGivesTheSameImage) {
  TTreeViewFixture F;
  F.View()->SetIndicator(true);
  F.View()->SetGridLines(tlglHorz);
  F.View()->SetFooter(true);
  F.Tree->Controller()->FocusRecordAndItem(F.A2->RecordIndex(), F.Column(1));
  const auto Direct = F.Shot();
  F.Tree->SetBufferedPaint(true);
  const auto Buffered = F.Shot();
  Integer Differ = 0;
  for (Integer Y = 0; Y < Direct->Height(); ++Y)
    for (Integer X = 0; X < Direct->Width(); ++X) Differ += Direct->PixelColor(X, Y) != Buffered->PixelColor(X, Y);
  EXPECT_EQ(Differ, 0);
}

TEST(TreeListPainter, PictureOfAChineseTreeInTheUltraFlatLook) {
  TTreeViewFixture F;
  F.Tree->LookAndFeel()->SetKind(lfUltraFlat);
  F.Column(0)->SetCaption(u"名称");
  F.Column(1)->SetCaption(u"说明");
  const char* Names[] = {"元数据", "标识信息", "引用", "标题", "数据质量", "分发信息"};
  TcxTreeListNode* Nodes[] = {F.A, F.A1, F.A2, F.A21, F.B, F.C};
  for (Integer I = 0; I < 6; ++I) {
    Nodes[I]->SetValues(TTreeViewFixture::NameItem, Variant(UTF8ToString(Names[I])));
    Nodes[I]->SetValues(TTreeViewFixture::NoteItem, Variant(UTF8ToString(std::string("说明 ") + Names[I])));
  }
  // Two 12 x 12 node images: a red and a green square.
  auto Images = TImageList::CreateSize(12, 12);
  for (TColor Color : {clRed, clGreen}) {
    TBitmap Square(12, 12, pf32bit);
    Square.Canvas()->Brush()->SetColor(Color);
    Square.Canvas()->FillRect(TRect{0, 0, 12, 12});
    Images->Add(&Square, nullptr);
  }
  for (TcxTreeListNode* N : Nodes) {
    N->SetStoredImageIndex(tlitImageIndex, N->HasChildren() ? 0 : 1);
    N->SetStoredImageIndex(tlitSelectedIndex, N->HasChildren() ? 0 : 1);
  }
  F.Tree->SetImages(Images.get());
  F.View()->SetIndicator(true);
  F.View()->SetGridLines(tlglBoth);
  F.Tree->Controller()->FocusRecordAndItem(F.A1->RecordIndex(), F.Column(0));
  const auto Picture = F.Shot();
  Picture->SaveToFile(u"/tmp/korvane_treelist_view.png");
  // Each node's image sits in its image indent: red for a parent, green for a leaf.
  for (TcxTreeListNode* N : Nodes) {
    TcxTreeListNodeViewInfo* Row = F.Row(N);
    const TRect Image = Row->Indents.back()->DisplayRect();
    ASSERT_EQ(Row->Indents.back()->IndentKind, TcxTreeListIndentViewInfo::ikImage);
    const TPoint Center{(Image.Left + Image.Right - 3) / 2, (Image.Top + Image.Bottom) / 2};
    EXPECT_EQ(Picture->PixelColor(Center.X, Center.Y), N->HasChildren() ? clRed : clGreen)
        << TTreeViewFixture::Name(N);
  }
  // The indicator shows the focused row's arrow: some dark pixels in its cell, none in another row's.
  auto Dark = [&](TcxTreeListNode* N) {
    const TRect R = F.Row(N)->Indicator->DisplayRect();
    Integer Count = 0;
    for (Integer Y = R.Top + 2; Y < R.Bottom - 2; ++Y)
      Count += CountInRow(*Picture, Y, R.Left + 2, R.Right - 2, clBlack);
    return Count;
  };
  EXPECT_GT(Dark(F.A1), 3);
  EXPECT_EQ(Dark(F.B), 0);
  // A freed image list is forgotten: the rows lose their image indents.
  Images.reset();
  EXPECT_EQ(F.Tree->Images(), nullptr);
  EXPECT_EQ(F.Row(F.A1)->Indents.back()->IndentKind, TcxTreeListIndentViewInfo::ikLevel);
}

TEST(TreeListPainter, CellsTakeTheContentStyleOfTheirNodeAndColumn) {
  TTreeViewFixture F;
  TcxStyle* Yellow = new TcxStyle(F.Form);
  Yellow->SetColor(clYellow);
  F.Tree->Styles()->OnGetContentStyle = TcxtlOnGetContentStyleEvent(
      F.Form, [&](TcxCustomTreeListControl*, TObject* AItem, TcxTreeListNode* ANode, TcxStyle*& AStyle) {
        if (ANode == F.C && AItem == F.Column(1)) AStyle = Yellow;
      });
  F.Tree->LayoutChanged();
  const auto Picture = F.Shot();
  auto Probe = [&](TcxTreeListNode* ANode, Integer AColumn) {
    const TRect R = F.Row(ANode)->CellOfColumn(F.Column(AColumn))->DisplayRect();
    return Picture->PixelColor(R.Right - 4, R.Top + 3);
  };
  EXPECT_EQ(Probe(F.C, 1), clYellow);
  EXPECT_NE(Probe(F.C, 0), clYellow);
  EXPECT_NE(Probe(F.B, 1), clYellow);
}

TEST(TreeListPainter, PictureOfRowsAtASetHeight) {
  TTreeViewFixture F;
  constexpr Integer Pitch = 28;
  F.View()->SetIndicator(true);
  F.View()->SetGridLines(tlglHorz);
  F.View()->SetGridLineColor(clRed);
  ASSERT_NE(F.Layout()->RowLineHeight(), Pitch);
  F.Tree->SetDefaultRowHeight(Pitch);
  const auto Picture = F.Shot();
  Picture->SaveToFile(u"/tmp/korvane_treelist_row_height.png");
  // Down the middle of the second column the grid lines (the rows' bottom
  // lines) come one pitch apart, from the rows' top on.
  const TRect Nodes = F.Layout()->NodesAreaRect();
  const TRect Note = F.Row(F.A)->CellOfColumn(F.Column(1))->DisplayRect();
  const Integer X = (Note.Left + Note.Right) / 2;
  std::vector<Integer> Lines, Expected;
  for (Integer Y = Nodes.Top; Y < Nodes.Bottom; ++Y)
    if (Picture->PixelColor(X, Y) == clRed) Lines.push_back(Y);
  for (Integer Row = 1; Row <= 6; ++Row) Expected.push_back(Nodes.Top + Row * Pitch - 1);
  EXPECT_EQ(Lines, Expected);
  // Each row between two lines shows its text.
  for (Integer Row = 0; Row < 6; ++Row) {
    SCOPED_TRACE("row " + std::to_string(Row));
    const Integer Top = Nodes.Top + Row * Pitch;
    const TColor Back = Picture->PixelColor(Note.Right - 3, Top + 2);
    Integer Text = 0;
    for (Integer Y = Top; Y < Top + Pitch - 1; ++Y) Text += Note.Width() - CountInRow(*Picture, Y, Note.Left, Note.Right, Back);
    EXPECT_GT(Text, 20);
  }
}

namespace {

// The fixture's tree with band headers, the indicator and the footer shown,
// and a second band "Side" holding no column.
struct TStyledTree : TTreeViewFixture {
  TStyledTree() {
    Tree->BeginUpdate();
    View()->SetBands(true);
    View()->SetIndicator(true);
    View()->SetFooter(true);
    // Each column shows its footer cell.
    for (Integer I = 0; I < Tree->ColumnCount(); ++I) Tree->GetColumn(I)->Options()->SetFooter(true);
    Tree->Bands()->Items(0)->SetCaption(u"Main");
    Tree->Bands()->Add()->SetCaption(u"Side");
    Tree->EndUpdate();
    Tree->LayoutChanged();
  }
  TcxStyle* NewStyle(TColor AColor, TColor ATextColor = clDefault) {
    auto* Style = new TcxStyle(Form);
    Style->SetColor(AColor);
    if (ATextColor != clDefault) Style->SetTextColor(ATextColor);
    return Style;
  }
  TcxTreeListBandViewInfo* MainBand() const { return Layout()->BandViewInfos()[0].get(); }
  TcxTreeListBandViewInfo* SideBand() const { return Layout()->BandViewInfos()[1].get(); }
  static TPoint NearRightTop(const TRect& R) { return TPoint{R.Right - 5, R.Top + 3}; }
  static TPoint Middle(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
};

}  // namespace

TEST(TreeListPainter, HeadersBandsIndicatorAndFooterTakeTheirStyles) {
  TStyledTree F;
  const TColor BandColor = TColor(0x3366CC), HeaderColor = TColor(0x22AA44), IndicatorColor = TColor(0x9933AA),
               FooterColor = TColor(0x44CCEE);
  TcxTreeListStyles* Styles = F.Tree->Styles();
  Styles->SetBandHeader(F.NewStyle(BandColor, clWhite));
  Styles->SetColumnHeader(F.NewStyle(HeaderColor, clYellow));
  Styles->SetIndicator(F.NewStyle(IndicatorColor));
  Styles->SetFooter(F.NewStyle(FooterColor));
  F.Tree->Controller()->FocusRecordAndItem(F.A->RecordIndex(), F.Column(0));
  const auto Picture = F.Shot();
  auto At = [&](const TPoint& P) { return Picture->PixelColor(P.X, P.Y); };
  struct Case {
    const char* What;
    TPoint Probe;
    TColor Expected;
  };
  const Case Cases[] = {
      {"band header", F.NearRightTop(F.MainBand()->Header->DisplayRect()), BandColor},
      {"column header", F.NearRightTop(F.Layout()->ColumnHeader(F.Column(1))->DisplayRect()), HeaderColor},
      {"row indicator of an unfocused row", F.Middle(F.Row(F.B)->Indicator->DisplayRect()), IndicatorColor},
      {"header corner cell", F.Middle(F.Layout()->HeaderIndicatorCell()->DisplayRect()), IndicatorColor},
      {"footer item", F.Middle(F.Layout()->FooterItems()[0]->DisplayRect()), FooterColor},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    EXPECT_EQ(At(K.Probe), K.Expected);
  }
  // The header text is drawn in the header style's text colour.
  const TRect Text = F.Layout()->ColumnHeader(F.Column(0))->TextArea;
  Integer Yellow = 0;
  for (Integer Y = Text.Top; Y < Text.Bottom; ++Y) Yellow += CountInRow(*Picture, Y, Text.Left, Text.Right, clYellow);
  EXPECT_GT(Yellow, 5);
}

TEST(TreeListPainter, HeaderLinesFollowTheHeaderStylesFonts) {
  TStyledTree F;
  const Integer Before = F.Layout()->HeaderLineHeight();
  const Integer BandBefore = F.Layout()->BandLineHeight();
  TcxStyle* Big = F.NewStyle(clBtnFace);
  Big->Font()->SetHeight(-30);
  Big->Font()->SetStyle(TFontStyles{fsBold});
  F.Column(1)->Styles()->SetHeader(Big);
  F.Tree->LayoutChanged();
  EXPECT_GT(F.Layout()->HeaderLineHeight(), Before + 10);
  EXPECT_EQ(F.Layout()->BandLineHeight(), BandBefore);
  // Both columns' headers take the taller line.
  EXPECT_EQ(F.Layout()->ColumnHeader(F.Column(0))->DisplayRect().Height(), F.Layout()->HeaderLineHeight());
  F.Tree->Styles()->SetBandHeader(Big);
  F.Tree->LayoutChanged();
  EXPECT_GT(F.Layout()->BandLineHeight(), BandBefore + 10);
}

TEST(TreeListPainter, EveryCustomDrawEventCanReplaceItsPart) {
  TStyledTree F;
  F.Tree->Preview()->SetColumn(F.Column(1));
  F.Tree->Preview()->SetVisible(true);
  // Room below the rows for the background's probe, whatever a row's height.
  F.Tree->SetHeight(F.Tree->Height() + 120);
  F.Tree->LayoutChanged();
  const TColor Mark = TColor(0x1234AB);
  TcxCustomTreeListControl* T = F.Tree;
  auto Fill = [Mark](TcxCanvas* ACanvas, const TRect& R) {
    ACanvas->SetBrushColor(Mark);
    ACanvas->FillRectOrTileBitmap(R, nullptr);
  };
  TcxTreeListNodeViewInfo* RowB = F.Row(F.B);
  struct Case {
    const char* What;
    std::function<void()> Hook;
    TPoint Probe;
  };
  const TRect BelowRows{0, F.Row(F.C)->RowRect.Bottom, F.Tree->ClientWidth(), F.Layout()->FooterTop()};
  const std::vector<Case> Cases = {
      {"background",
       [&] {
         T->OnCustomDrawBackground = TcxCustomDrawBackgroundEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, const TRect& R, const TcxViewParams&, bool& Done) {
               Fill(C, R);
               Done = true;
             });
       },
       TStyledTree::Middle(BelowRows)},
      {"band header part",
       [&] {
         T->OnCustomDrawBandHeader = TcxCustomDrawBandViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListBandViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::NearRightTop(F.Layout()->ColumnHeader(F.Column(1))->DisplayRect())},
      {"band header cell",
       [&] {
         T->OnCustomDrawHeader = TcxCustomDrawHeaderViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListHeaderViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(F.MainBand()->Header->DisplayRect())},
      {"column header cell",
       [&] {
         T->OnCustomDrawHeaderCell = TcxCustomDrawHeaderViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListHeaderViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(F.Layout()->ColumnHeader(F.Column(0))->DisplayRect())},
      {"band footer",
       [&] {
         T->OnCustomDrawFooter = TcxCustomDrawBandViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListBandViewInfo* V, bool& Done) {
               Fill(C, V->FooterRect);
               Done = true;
             });
       },
       TStyledTree::Middle(F.SideBand()->FooterRect)},
      {"footer cell",
       [&] {
         T->OnCustomDrawFooterCell = TcxCustomDrawFooterItemViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListFooterItemViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(F.Layout()->FooterItems()[1]->DisplayRect())},
      {"indent",
       [&] {
         T->OnCustomDrawIndentCell = TcxCustomDrawIndentViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListIndentViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(RowB->Indents.back()->DisplayRect())},
      {"indicator",
       [&] {
         T->OnCustomDrawIndicatorCell = TcxCustomDrawIndicatorViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListIndicatorViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(RowB->Indicator->DisplayRect())},
      {"cells group (the band without columns)",
       [&] {
         T->OnCustomDrawCellsGroup = TcxCustomDrawCellsGroupViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListCellsGroupViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(RowB->CellsGroups[1]->ClipRect())},
      {"preview",
       [&] {
         T->OnCustomDrawPreview = TcxCustomDrawEditCellViewInfoEvent(
             F.Form, [&](TcxCustomTreeListControl*, TcxCanvas* C, TcxTreeListEditCellViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TPoint{RowB->PreviewCell->DisplayRect().Right - 8, RowB->PreviewCell->DisplayRect().Top + 2}},
      {"cell",
       [&] {
         T->OnCustomDrawCell = TcxEditingControlCustomDrawCellEvent(
             F.Form, [&](TcxEditingControl*, TcxCanvas* C, TcxEditCellViewInfo* V, bool& Done) {
               Fill(C, V->DisplayRect());
               Done = true;
             });
       },
       TStyledTree::Middle(RowB->CellOfColumn(F.Column(1))->DisplayRect())},
  };
  // Each handler alone: the parts overlap (a band's header part holds its cells).
  auto Unhook = [T] {
    T->OnCustomDrawBackground = nullptr;
    T->OnCustomDrawBandHeader = nullptr;
    T->OnCustomDrawHeader = nullptr;
    T->OnCustomDrawHeaderCell = nullptr;
    T->OnCustomDrawFooter = nullptr;
    T->OnCustomDrawFooterCell = nullptr;
    T->OnCustomDrawIndentCell = nullptr;
    T->OnCustomDrawIndicatorCell = nullptr;
    T->OnCustomDrawCellsGroup = nullptr;
    T->OnCustomDrawPreview = nullptr;
    T->OnCustomDrawCell = nullptr;
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.What);
    Unhook();
    EXPECT_NE(F.Shot()->PixelColor(K.Probe.X, K.Probe.Y), Mark);
    K.Hook();
    EXPECT_EQ(F.Shot()->PixelColor(K.Probe.X, K.Probe.Y), Mark);
  }
}

TEST(TreeListPainter, FixedBandStaysWhileTheRestScrolls) {
  TStyledTree F;
  F.Tree->BeginUpdate();
  TcxTreeListBand* Side = F.Tree->Bands()->Items(1);
  F.Tree->CreateColumn(Side)->SetWidth(300);
  F.Tree->Bands()->Items(0)->SetFixedKind(tlbfLeft);
  F.View()->SetFixedSeparatorColor(clRed);
  F.Tree->EndUpdate();
  F.Tree->LayoutChanged();
  TcxTreeListViewInfo* VI = F.Layout();
  ASSERT_GT(VI->ContentWidth(), F.Tree->ClientWidth());
  ASSERT_EQ(VI->LeftFixedBand(), VI->BandViewInfos()[0].get());
  const TRect Fixed = VI->BandViewInfos()[0]->DisplayRect();
  const TRect Scrolling = VI->BandViewInfos()[1]->DisplayRect();
  const TRect Separator = VI->LeftSeparatorRect();
  EXPECT_EQ(Separator.Left, Fixed.Right);
  EXPECT_EQ(Separator.Width(), F.View()->FixedSeparatorWidth());
  EXPECT_EQ(VI->ScrollAreaRect().Left, Separator.Right);
  EXPECT_EQ(Scrolling.Left, Separator.Right);
  const TRect CellBefore = F.Row(F.B)->CellOfColumn(F.Column(1))->DisplayRect();
  VI->SetLeftPos(40);
  VI = F.Layout();
  EXPECT_EQ(VI->LeftPos(), 40);
  EXPECT_EQ(VI->BandViewInfos()[0]->DisplayRect(), Fixed);
  EXPECT_EQ(VI->BandViewInfos()[1]->DisplayRect().Left, Scrolling.Left - 40);
  EXPECT_EQ(VI->LeftSeparatorRect(), Separator);
  EXPECT_EQ(F.Row(F.B)->CellOfColumn(F.Column(1))->DisplayRect(), CellBefore);
  // The scrolling band's header and cells are clipped at the separator.
  EXPECT_GE(VI->BandViewInfos()[1]->ClipRect().Left, Separator.Right);
  TcxTreeListEditCellViewInfo* SideCell = F.Row(F.B)->Cells.back().get();
  EXPECT_LT(SideCell->DisplayRect().Left, Separator.Right);
  EXPECT_EQ(SideCell->ClipRect().Left, Separator.Right);
  // The separator is painted over the headers and the rows in its colour.
  const auto Picture = F.Shot();
  EXPECT_EQ(CountInColumn(*Picture, Separator.Left, VI->HeaderAreaRect().Top, F.Row(F.C)->RowRect.Bottom, clRed),
            F.Row(F.C)->RowRect.Bottom - VI->HeaderAreaRect().Top);
}

// A band whose columns leave header lines free shows its band background
// there; when it is the last band a shadow line closes the header area on
// its right.
TEST(TreeListPainter, ABandsFreeHeaderLinesShowItsBackgroundAndTheLastOneIsClosed) {
  TStyledTree F;
  const TColor Background = TColor(0x5599DD);
  F.Tree->Styles()->SetBandBackground(F.NewStyle(Background));
  F.Tree->LayoutChanged();
  TcxTreeListBandViewInfo* Side = F.SideBand();
  ASSERT_FALSE(Side->Complete);
  ASSERT_TRUE(F.MainBand()->Complete);
  const TRect Clip = Side->ClipRect();
  const Integer Top = Side->Header->DisplayRect().Bottom;
  const Integer Bottom = F.Layout()->HeadersBottom();
  ASSERT_GT(Bottom - Top, 4);
  const auto Picture = F.Shot();
  EXPECT_EQ(Picture->PixelColor((Clip.Left + Clip.Right) / 2, (Top + Bottom) / 2), Background);
  // Along its right edge under its header: the shadow line, not the background.
  const TColor Shadow = ColorToRGB(clBtnShadow);
  EXPECT_EQ(CountInColumn(*Picture, Clip.Right - 1, Top, Bottom - 1, Shadow), Bottom - 1 - Top);
  EXPECT_EQ(CountInColumn(*Picture, Clip.Right - 2, Top, Bottom - 1, Background), Bottom - 1 - Top);
  // The band header keeps its own frame.
  EXPECT_EQ(CountInColumn(*Picture, Clip.Right - 1, Side->Header->DisplayRect().Top, Top, Shadow), 0);
}

// In the ultra-flat look two headers side by side share one frame line;
// the other looks, and the plain headers, keep their own frames.
TEST(TreeListPainter, UltraFlatNeighbourHeadersShareOneLine) {
  TTreeViewFixture F;
  F.Tree->LookAndFeel()->SetNativeStyle(false);
  struct Case {
    TcxLookAndFeelKind Kind;
    bool Plain;
    bool OneLeft;  // the second header is drawn from one pixel left of its column
  };
  const Case Cases[] = {
      {lfUltraFlat, false, true}, {lfUltraFlat, true, false}, {lfFlat, false, false}, {lfStandard, false, false}};
  for (const Case& K : Cases) {
    SCOPED_TRACE(std::to_string(K.Kind) + (K.Plain ? " plain" : ""));
    F.Tree->LookAndFeel()->SetKind(K.Kind);
    F.View()->SetExtPaintStyle(K.Plain);
    F.Tree->LayoutChanged();
    TcxTreeListColumnHeaderViewInfo* First = F.Layout()->ColumnHeader(F.Column(0));
    TcxTreeListColumnHeaderViewInfo* Second = F.Layout()->ColumnHeader(F.Column(1));
    EXPECT_FALSE(First->DrawOneLeft);
    EXPECT_EQ(Second->DrawOneLeft, K.OneLeft);
    // The column keeps its place; only its picture starts further left.
    EXPECT_EQ(Second->DisplayRect().Left, First->DisplayRect().Right);
    EXPECT_EQ(Second->PaintRect().Left, First->DisplayRect().Right - (K.OneLeft ? 1 : 0));
    EXPECT_EQ(Second->PaintClipRect().Left, Second->PaintRect().Left);
  }
  // The ultra-flat picture: one dark line between the two headers.
  F.Tree->LookAndFeel()->SetKind(lfUltraFlat);
  F.View()->SetExtPaintStyle(false);
  F.Tree->LayoutChanged();
  const TRect First = F.Layout()->ColumnHeader(F.Column(0))->DisplayRect();
  const auto Picture = F.Shot();
  const TColor Line = ColorToRGB(clBtnText);
  Integer Dark = 0;
  for (Integer X = First.Right - 3; X < First.Right + 2; ++X) Dark += Picture->PixelColor(X, First.Top + 3) == Line;
  EXPECT_EQ(Dark, 1);
}

// A cell's custom-draw handler finds the cell's colours on the canvas; the
// colours it leaves there without drawing are the ones the cell is drawn in.
TEST(TreeListPainter, ACellHandlerRecoloursTheCellWithoutDrawingIt) {
  TStyledTree F;
  const TColor Back = TColor(0x2288EE), Text = TColor(0x11AA33);
  TcxEditCellViewInfo* Target = F.Row(F.B)->CellOfColumn(F.Column(1));
  TColor Found = clNone;
  F.Tree->OnCustomDrawCell = TcxEditingControlCustomDrawCellEvent(
      F.Form, [&](TcxEditingControl*, TcxCanvas* C, TcxEditCellViewInfo* V, bool&) {
        if (V != Target) return;
        Found = C->GetBrush()->Color();
        C->SetBrushColor(Back);
        C->GetFont()->SetColor(Text);
      });
  const auto Picture = F.Shot();
  EXPECT_EQ(Found, Target->ViewParams().Color);
  const TRect Content = Target->ContentRect();
  EXPECT_EQ(Picture->PixelColor(Content.Right - 3, (Content.Top + Content.Bottom) / 2), Back);
  Integer Letters = 0;
  for (Integer Y = Content.Top; Y < Content.Bottom; ++Y) Letters += CountInRow(*Picture, Y, Content.Left, Content.Right, Text);
  EXPECT_GT(Letters, 5) << "the text \"note b\" in the handler's colour";
  // The other cells keep their look, and without the handler so does this one.
  const TRect Other = F.Row(F.C)->CellOfColumn(F.Column(1))->ContentRect();
  EXPECT_NE(Picture->PixelColor(Other.Right - 3, (Other.Top + Other.Bottom) / 2), Back);
  F.Tree->OnCustomDrawCell = nullptr;
  EXPECT_NE(F.Shot()->PixelColor(Content.Right - 3, (Content.Top + Content.Bottom) / 2), Back);
}

// With the plain paint style the row indicators and the header corner cell
// are drawn in the painter's plain variants, as the headers are.
TEST(TreeListPainter, ThePlainPaintStyleReachesTheIndicators) {
  TStyledTree F;
  F.Tree->LookAndFeel()->SetNativeStyle(false);
  F.Tree->LookAndFeel()->SetKind(lfUltraFlat);
  F.Tree->LayoutChanged();
  auto Pixels = [&](const TRect& R) {
    const auto Picture = F.Shot();
    std::vector<TColor> Result;
    for (Integer Y = R.Top; Y < R.Bottom; ++Y)
      for (Integer X = R.Left; X < R.Right; ++X) Result.push_back(Picture->PixelColor(X, Y));
    return Result;
  };
  const TRect Row = F.Row(F.B)->Indicator->DisplayRect();
  const TRect Corner = F.Layout()->HeaderIndicatorCell()->DisplayRect();
  const auto RowFramed = Pixels(Row), CornerFramed = Pixels(Corner);
  F.View()->SetExtPaintStyle(true);
  F.Tree->LayoutChanged();
  ASSERT_EQ(F.Row(F.B)->Indicator->DisplayRect(), Row);
  EXPECT_NE(Pixels(Row), RowFramed);
  EXPECT_NE(Pixels(Corner), CornerFramed);
}
