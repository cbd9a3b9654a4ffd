// Header drag and drop on an offscreen tree list, driven by test mouse input:
// columns and bands move among the headers, into other bands and new band
// lines, and hide when dropped away while the customization form is open.
#include <gtest/gtest.h>

#include "foundation/cxListBox.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "tests/treelist/treelist_view_fixture.h"
#include "treelist/cxTLCustomizationForm.h"
#include "treelist/cxTLDragDrop.h"
#include "treelist/cxTLOptions.h"

namespace {

// The fixture's tree with band headers shown: band 0 holds Name and Note in
// one line, band 1 holds "Extra" two lines high, so band 0 has room below
// its line.
struct TBandedTree : TTreeViewFixture {
  TBandedTree() {
    Tree->BeginUpdate();
    View()->SetBands(true);
    Band0()->SetCaption(u"First");
    TcxTreeListBand* Second = Tree->Bands()->Add();
    Second->SetCaption(u"Second");
    Extra = Tree->CreateColumn(Second);
    Extra->SetCaption(u"Extra");
    Extra->SetLineCount(2);
    Tree->EndUpdate();
    Tree->LayoutChanged();
  }
  TcxTreeListBand* Band0() const { return Tree->Bands()->Items(0); }
  TcxTreeListBand* Band1() const { return Tree->Bands()->Items(1); }
  TRect HeaderRect(Integer AColumn) const { return Layout()->ColumnHeader(Column(AColumn))->DisplayRect(); }
  TRect HeaderRect(TcxTreeListColumn* AColumn) const { return Layout()->ColumnHeader(AColumn)->DisplayRect(); }
  TRect BandHeaderRect(TcxTreeListBand* ABand) const {
    for (const auto& H : Layout()->BandHeaders())
      if (H->Band == ABand) return H->DisplayRect();
    return TRect{};
  }
  static TPoint Center(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
  // A point in the left (AFraction 1..3 of 4) part of R.
  static TPoint At(const TRect& R, Integer AQuarter) {
    return TPoint{R.Left + (R.Right - R.Left) * AQuarter / 4, (R.Top + R.Bottom) / 2};
  }
  TcxTreeListDragAndDropObject* Drag() const {
    return dynamic_cast<TcxTreeListDragAndDropObject*>(Tree->DragAndDropObject());
  }
  // Press at AFrom and move to ATo; the drag runs until Release.
  void StartDrag(const TPoint& AFrom, const TPoint& ATo) {
    TestMousePress(Tree->Handle(), AFrom);
    TestMouseMove(Tree->Handle(), ATo);
    TestMouseMove(Tree->Handle(), ATo);
    Application->ProcessMessages();
  }
  void Release(const TPoint& AAt) {
    TestMouseRelease(Tree->Handle(), AAt);
    Application->ProcessMessages();
    Tree->LayoutChanged();
  }
  void DragTo(const TPoint& AFrom, const TPoint& ATo) {
    StartDrag(AFrom, ATo);
    Release(ATo);
  }
  // Captions of a band's visible columns line by line: "Name Note|Extra".
  std::string Lines(TcxTreeListBand* ABand) const {
    std::string S;
    TcxTreeListBandRows* Rows = ABand->BandRows();
    for (Integer R = 0; R < Rows->Count(); ++R) {
      if (R) S += "|";
      for (Integer I = 0; I < Rows->Items(R)->Count(); ++I)
        S += (I ? " " : "") + StringToUTF8(Rows->Items(R)->Items(I)->Caption());
    }
    return S;
  }
  TcxTreeListColumn* Extra = nullptr;
};

// A point in the rows area, away from every header.
TPoint RowsPoint(const TBandedTree& F) { return F.CellCenter(F.A, 0); }

}  // namespace

TEST(TreeListHeaderDrag, ColumnDropsLandWhereTheMarkerShows) {
  struct TCase {
    const char* Name;
    // Where Name's header is dropped.
    std::function<TPoint(TBandedTree&)> Target;
    std::function<void(TBandedTree&)> Setup;
    std::string Band0, Band1;
    bool MarkerShown;
  };
  const TCase Cases[] = {
      {"right half of the neighbour", [](TBandedTree& F) { return TBandedTree::At(F.HeaderRect(1), 3); }, nullptr,
       "Note Name", "Extra", true},
      {"left half of the neighbour changes nothing",
       [](TBandedTree& F) { return TBandedTree::At(F.HeaderRect(1), 1); }, nullptr, "Name Note", "Extra", false},
      {"before a column of another band", [](TBandedTree& F) { return TBandedTree::At(F.HeaderRect(F.Extra), 1); },
       nullptr, "Note", "Name Extra", true},
      {"below the band's line: a new line",
       [](TBandedTree& F) {
         const TRect R = F.HeaderRect(1);
         return TPoint{R.Left + 5, R.Bottom + (R.Bottom - R.Top) / 2};
       },
       nullptr, "Note|Name", "Extra", true},
      {"a single header line allows no new line",
       [](TBandedTree& F) {
         const TRect R = F.HeaderRect(1);
         return TPoint{R.Left + 5, R.Bottom + (R.Bottom - R.Top) / 2};
       },
       [](TBandedTree& F) { F.View()->SetHeaderSingleLine(true); }, "Name Note", "Extra", false},
      {"a band with own columns only takes none",
       [](TBandedTree& F) { return TBandedTree::At(F.HeaderRect(F.Extra), 1); },
       [](TBandedTree& F) { F.Band1()->Options()->SetOnlyOwnColumns(true); }, "Name Note", "Extra", false},
      {"off the view with the form closed changes nothing", [](TBandedTree& F) { return RowsPoint(F); }, nullptr,
       "Name Note", "Extra", false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBandedTree F;
    if (Case.Setup) {
      Case.Setup(F);
      F.Tree->LayoutChanged();
    }
    ASSERT_EQ(F.Lines(F.Band0()), "Name Note");
    const TPoint Target = Case.Target(F);
    F.StartDrag(TBandedTree::Center(F.HeaderRect(0)), Target);
    ASSERT_NE(F.Drag(), nullptr);
    EXPECT_EQ(F.Drag()->DraggedColumn(), F.Column(0));
    EXPECT_EQ(F.Drag()->MarkerVisible(), Case.MarkerShown);
    if (Case.MarkerShown) {
      EXPECT_TRUE(F.Drag()->Arrow(0)->Visible());
      EXPECT_TRUE(F.Drag()->Arrow(1)->Visible());
    }
    F.Release(Target);
    EXPECT_EQ(F.Tree->DragAndDropObject(), nullptr);
    EXPECT_EQ(F.Lines(F.Band0()), Case.Band0);
    EXPECT_EQ(F.Lines(F.Band1()), Case.Band1);
    EXPECT_TRUE(F.Column(0)->Visible());
    // The drop is no header click: nothing got sorted.
    EXPECT_EQ(F.Column(0)->SortOrder(), soNone);
  }
}

TEST(TreeListHeaderDrag, BandHeadersMoveAmongTheBands) {
  TBandedTree F;
  // Moving a band moves it in the collection: keep the objects.
  TcxTreeListBand* FirstBand = F.Band0();
  TcxTreeListBand* SecondBand = F.Band1();
  const TRect Second = F.BandHeaderRect(SecondBand);
  F.StartDrag(TBandedTree::Center(F.BandHeaderRect(FirstBand)), TBandedTree::At(Second, 3));
  ASSERT_NE(F.Drag(), nullptr);
  EXPECT_EQ(F.Drag()->DraggedBand(), FirstBand);
  EXPECT_TRUE(F.Drag()->MarkerVisible());
  EXPECT_EQ(F.Drag()->DragDropInfo().TargetColIndex, 2);
  F.Release(TBandedTree::At(Second, 3));
  EXPECT_EQ(FirstBand->VisibleIndex(), 1);
  EXPECT_EQ(SecondBand->VisibleIndex(), 0);
  EXPECT_EQ(F.Tree->Bands()->VisibleItems(0)->Caption(), u"Second");
  // The columns went along with their bands.
  EXPECT_EQ(F.Lines(FirstBand), "Name Note");

  // Dropped onto its own header's halves it stays.
  TcxTreeListBand* First = F.Tree->Bands()->VisibleItems(0);
  F.DragTo(TBandedTree::Center(F.BandHeaderRect(First)), TBandedTree::At(F.BandHeaderRect(First), 3));
  EXPECT_EQ(First->VisibleIndex(), 0);
}

TEST(TreeListHeaderDrag, DroppedAwayWhileTheFormIsOpenHides) {
  TBandedTree F;
  F.Tree->Customizing()->SetVisible(true);
  ASSERT_TRUE(F.Tree->Customizing()->Visible());

  // A column dropped into the rows area hides and is listed.
  F.StartDrag(TBandedTree::Center(F.HeaderRect(1)), RowsPoint(F));
  EXPECT_FALSE(F.Drag()->DragDropInfo().DropAllowed);
  EXPECT_EQ(Screen->Cursor(), TCursor(crcxRemove));
  F.Release(RowsPoint(F));
  EXPECT_FALSE(F.Column(1)->Visible());
  ASSERT_EQ(F.Tree->Customizing()->ListedColumns().size(), 1u);
  EXPECT_EQ(F.Tree->Customizing()->ListedColumns()[0], F.Column(1));
  EXPECT_EQ(F.Tree->Customizing()->ColumnListBox()->Count(), 1);

  // A band too.
  F.DragTo(TBandedTree::Center(F.BandHeaderRect(F.Band1())), RowsPoint(F));
  EXPECT_FALSE(F.Band1()->Visible());
  ASSERT_EQ(F.Tree->Customizing()->ListedBands().size(), 1u);
  EXPECT_EQ(F.Tree->Customizing()->BandListBox()->Items()->Strings(0), u"Second");

  // The last visible band stays, even when a drag of it is forced (it
  // cannot start one from its header), and so does the last visible column.
  ASSERT_FALSE(TcxTreeListDragAndDropObject::CanStartAt(F.Tree, TBandedTree::Center(F.BandHeaderRect(F.Band0()))));
  TestMousePress(F.Tree->Handle(), RowsPoint(F));
  auto* Forced = static_cast<TcxTreeListDragAndDropObject*>(F.Tree->GetDragAndDropObject());
  Forced->SetDragged(nullptr, F.Band0());
  F.Tree->StartDragAndDrop(RowsPoint(F));
  TestMouseMove(F.Tree->Handle(), TPoint{RowsPoint(F).X + 3, RowsPoint(F).Y + 3});
  F.Release(TPoint{RowsPoint(F).X + 3, RowsPoint(F).Y + 3});
  EXPECT_TRUE(F.Band0()->Visible());
  F.DragTo(TBandedTree::Center(F.HeaderRect(0)), RowsPoint(F));
  EXPECT_TRUE(F.Column(0)->Visible());
}

TEST(TreeListHeaderDrag, TheHeaderPictureFollowsTheMouseAndTheHeaderIsNotPressed) {
  TBandedTree F;
  const TRect Name = F.HeaderRect(0);
  const TPoint Press{Name.Left + 10, Name.Top + 4};
  const TPoint Target = TBandedTree::At(F.HeaderRect(1), 3);
  F.StartDrag(Press, Target);
  ASSERT_NE(F.Drag(), nullptr);
  EXPECT_EQ(F.Layout()->ColumnHeader(F.Column(0))->ButtonState, cxbsNormal) << "the dragged header looks pressed";
  const TOverlayWindow* Image = F.Drag()->DragImage();
  ASSERT_NE(Image, nullptr);
  EXPECT_TRUE(Image->Visible());
  EXPECT_EQ(Image->Alpha(), cxDragImageAlpha);
  // The picture is the header's size and keeps the press point under the mouse.
  const TPoint Screen = F.Tree->ClientToScreen(Target);
  EXPECT_EQ(Image->BoundsRect(), (TRect{Screen.X - 10, Screen.Y - 4, Screen.X - 10 + Name.Width(),
                                        Screen.Y - 4 + Name.Height()}));
  const TPoint Next{Target.X - 7, Target.Y + 2};
  TestMouseMove(F.Tree->Handle(), Next);
  Application->ProcessMessages();
  EXPECT_EQ(Image->BoundsRect().Left, F.Tree->ClientToScreen(Next).X - 10);
  EXPECT_EQ(Image->BoundsRect().Top, F.Tree->ClientToScreen(Next).Y - 4);
  F.Release(Next);
  EXPECT_EQ(F.Lines(F.Band0()), "Note Name");
}

TEST(TreeListHeaderDrag, EscapeCancelsTheDrag) {
  for (const bool FormOpen : {false, true}) {
    SCOPED_TRACE(FormOpen ? "form open" : "form closed");
    TBandedTree F;
    F.Tree->Customizing()->SetVisible(FormOpen);
    // Over the neighbour's right half the drop would move Name; in the rows
    // area with the form open it would hide it.
    const TPoint Target = FormOpen ? RowsPoint(F) : TBandedTree::At(F.HeaderRect(1), 3);
    F.StartDrag(TBandedTree::Center(F.HeaderRect(0)), Target);
    ASSERT_NE(F.Drag(), nullptr);
    // With the form open the key goes to the form.
    TestKeyPress(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_EQ(F.Tree->DragAndDropObject(), nullptr);
    EXPECT_EQ(F.Tree->DragAndDropState(), ddsNone);
    F.Release(Target);
    EXPECT_EQ(F.Lines(F.Band0()), "Name Note");
    EXPECT_TRUE(F.Column(0)->Visible());
  }
}

TEST(TreeListHeaderDrag, TheViewScrollsNearItsEdgesAndTheMarkerFollows) {
  TBandedTree F;
  TTestClock Clock;
  // Without horizontal scrolling there are no scroll areas.
  F.StartDrag(TBandedTree::Center(F.HeaderRect(0)), TBandedTree::At(F.HeaderRect(1), 3));
  ASSERT_NE(F.Drag(), nullptr);
  EXPECT_EQ(F.Drag()->AutoScroller(0), nullptr);
  TestKeyPress(VK_ESCAPE);
  Application->ProcessMessages();

  F.Tree->SetBounds(10, 10, 150, 240);
  F.Tree->LayoutChanged();
  ASSERT_TRUE(F.Tree->IsHScrollBarVisible());
  const TRect Content = F.Tree->ContentBounds();
  const Integer HeaderY = (F.HeaderRect(0).Top + F.HeaderRect(0).Bottom) / 2;
  const TPoint RightEdge{Content.Right - 3, HeaderY};
  F.StartDrag(TBandedTree::Center(F.HeaderRect(0)), RightEdge);
  ASSERT_NE(F.Drag(), nullptr);
  ASSERT_NE(F.Drag()->AutoScroller(1), nullptr);
  EXPECT_TRUE(F.Drag()->AutoScroller(1)->Active());
  EXPECT_FALSE(F.Drag()->AutoScroller(0)->Active());
  EXPECT_EQ(F.Layout()->LeftPos(), 0);
  for (Integer Step = 0; Step < 100 && F.Drag()->DragDropInfo().TargetBand != F.Band1(); ++Step)
    Clock.Advance(cxAutoScrollInterval);
  EXPECT_GT(F.Layout()->LeftPos(), 0);
  // The target and its marker were worked out anew over the scrolled headers.
  EXPECT_EQ(F.Drag()->DragDropInfo().TargetBand, F.Band1());
  ASSERT_TRUE(F.Drag()->MarkerVisible());
  const TRect Extra = F.HeaderRect(F.Extra);
  ASSERT_TRUE(PtInRect(Extra, RightEdge));
  const TPoint ExtraRight = F.Tree->ClientToScreen(TPoint{Extra.Right, Extra.Top});
  const TPoint ExtraLeft = F.Tree->ClientToScreen(TPoint{Extra.Left, Extra.Top});
  const TRect Line = F.Drag()->MarkerLine();
  EXPECT_TRUE(Line.Left == ExtraRight.X || Line.Left == ExtraLeft.X - 1) << Line.Left;
  EXPECT_EQ(Line.Top, ExtraRight.Y);

  // Away from the edges scrolling stops; at the left edge it goes back.
  TestMouseMove(F.Tree->Handle(), TPoint{Content.Left + 40, HeaderY});
  Application->ProcessMessages();
  EXPECT_FALSE(F.Drag()->AutoScroller(1)->Active());
  const Integer Scrolled = F.Layout()->LeftPos();
  Clock.Advance(3 * cxAutoScrollInterval);
  EXPECT_EQ(F.Layout()->LeftPos(), Scrolled);
  TestMouseMove(F.Tree->Handle(), TPoint{Content.Left + 2, HeaderY});
  Application->ProcessMessages();
  EXPECT_TRUE(F.Drag()->AutoScroller(0)->Active());
  Clock.Advance(100 * cxAutoScrollInterval);
  EXPECT_EQ(F.Layout()->LeftPos(), 0);
  F.Release(TPoint{Content.Left + 2, HeaderY});
  EXPECT_EQ(F.Tree->DragAndDropObject(), nullptr);
}

TEST(TreeListHeaderDrag, WithNoColumnShownTheDropTakesTheFirstPlace) {
  TBandedTree F;
  F.Tree->BeginUpdate();
  for (Integer I = 0; I < F.Tree->ColumnCount(); ++I) F.Tree->GetColumn(I)->SetVisible(false);
  F.Tree->EndUpdate();
  F.Tree->LayoutChanged();
  // Nothing shows there, rows included.
  const TPoint From{100, 150};
  const TPoint To{From.X + 5, From.Y + 5};
  TestMousePress(F.Tree->Handle(), From);
  auto* Drag = static_cast<TcxTreeListDragAndDropObject*>(F.Tree->GetDragAndDropObject());
  Drag->SetDragged(F.Extra, nullptr);
  F.Tree->StartDragAndDrop(From);
  TestMouseMove(F.Tree->Handle(), To);
  Application->ProcessMessages();
  EXPECT_TRUE(Drag->DragDropInfo().DropAllowed);
  EXPECT_EQ(Drag->DragDropInfo().TargetBand, F.Band0());
  EXPECT_EQ(Drag->DragDropInfo().TargetColIndex, 0);
  ASSERT_TRUE(Drag->MarkerVisible());
  // Along the top of the client area, below the band header line.
  EXPECT_EQ(Drag->MarkerLine().Top, F.Tree->ClientToScreen(TPoint{0, F.Layout()->BandLineHeight()}).Y);
  F.Release(To);
  EXPECT_TRUE(F.Extra->Visible());
  EXPECT_EQ(F.Extra->Band(), F.Band0());
  EXPECT_EQ(F.Lines(F.Band0()), "Extra");
}
