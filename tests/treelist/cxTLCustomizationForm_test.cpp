// The customization form: what it lists, when it may show, its place and
// selections across closing, and dragging a hidden column back onto the
// tree list with test mouse input. Also pictures of a header drag with its
// drop arrows and of the form.
#include <gtest/gtest.h>

#include "foundation/cxListBox.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowmanager.h"
#include "tests/treelist/treelist_view_fixture.h"
#include "treelist/cxTLCustomizationForm.h"
#include "treelist/cxTLDragDrop.h"
#include "treelist/cxTLOptions.h"

namespace {

TPoint Center(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

TRect HeaderRect(const TTreeViewFixture& F, Integer AColumn) {
  return F.Layout()->ColumnHeader(F.Column(AColumn))->DisplayRect();
}

// A shown form with a third column, "Extra"; Note and Extra hidden.
struct TCustomizeFixture : TTreeViewFixture {
  TCustomizeFixture() {
    TcxTreeListColumn* Extra = Tree->CreateColumn();
    Extra->SetCaption(u"Extra");
    Column(1)->SetVisible(false);
    Extra->SetVisible(false);
    Tree->LayoutChanged();
    Customizing()->SetVisible(true);
    Application->ProcessMessages();
  }
  TcxTreeListCustomizing* Customizing() const { return Tree->Customizing(); }
  TcxListBox* Columns() const { return Customizing()->ColumnListBox(); }
};

}  // namespace

TEST(TreeListCustomizationForm, ListsHiddenColumnsAndBands) {
  TCustomizeFixture F;
  ASSERT_TRUE(F.Customizing()->Visible());
  ASSERT_NE(F.Columns(), nullptr);
  // Band headers are off: no band list.
  EXPECT_EQ(F.Customizing()->BandListBox(), nullptr);
  ASSERT_EQ(F.Columns()->Count(), 2);
  EXPECT_EQ(F.Columns()->Items()->Strings(0), u"Note");
  EXPECT_EQ(F.Columns()->Items()->Strings(1), u"Extra");
  EXPECT_EQ(F.Customizing()->Form()->Caption(), u"Customize");

  // Showing a column takes it off the list.
  F.Column(2)->SetVisible(true);
  F.Tree->LayoutChanged();
  ASSERT_EQ(F.Columns()->Count(), 1);
  EXPECT_EQ(F.Customizing()->ListedColumns()[0], F.Column(1));

  // A hidden column whose Hidden option is on stays off the list until the option goes.
  F.Column(2)->Options()->SetHidden(true);
  F.Column(2)->SetVisible(false);
  F.Tree->LayoutChanged();
  ASSERT_EQ(F.Columns()->Count(), 1);
  EXPECT_EQ(F.Customizing()->ListedColumns()[0], F.Column(1));
  F.Column(2)->Options()->SetHidden(false);
  ASSERT_EQ(F.Columns()->Count(), 2);
  EXPECT_EQ(F.Customizing()->ListedColumns()[1], F.Column(2));
  F.Column(2)->SetVisible(true);
  F.Tree->LayoutChanged();

  // With band headers a hidden band is listed; its Hidden option keeps it off.
  F.Customizing()->SetVisible(false);
  F.View()->SetBands(true);
  TcxTreeListBand* Second = F.Tree->Bands()->Add();
  Second->SetCaption(u"Second");
  TcxTreeListBand* Third = F.Tree->Bands()->Add();
  Third->SetCaption(u"Third");
  Second->SetVisible(false);
  Third->SetVisible(false);
  Third->Options()->SetHidden(true);
  F.Customizing()->SetVisible(true);
  ASSERT_NE(F.Customizing()->BandListBox(), nullptr);
  ASSERT_EQ(F.Customizing()->BandListBox()->Count(), 1);
  EXPECT_EQ(F.Customizing()->BandListBox()->Items()->Strings(0), u"Second");
}

TEST(TreeListCustomizationForm, ItsWindowIsNeitherMinimisedNorMaximised) {
  TCustomizeFixture F;
  const HWND Wnd = F.Customizing()->Form()->Handle();
  EXPECT_EQ(GetSystemMenuItems(Wnd), (std::vector<TSystemCommand>{SC_MOVE, SC_SIZE, SC_CLOSE}));
  EXPECT_EQ(GetWindowActions(Wnd) & (waMaximize | waMinimize | waRestore), 0u);
  EXPECT_EQ(GetWindowActions(Wnd), waMove | waSize | waClose);
  const TNativeWindowState State = GetNativeWindowState(Wnd);
  EXPECT_TRUE(State.CloseBox);
  EXPECT_FALSE(State.MinimizeBox);
  EXPECT_FALSE(State.MaximizeBox);
}

TEST(TreeListCustomizationForm, ShowsOnlyWithSomethingToCustomize) {
  EnsureGuiRuntime();
  TForm Form(nullptr);
  auto* Tree = new TcxCustomTreeListControl(&Form);
  Tree->SetParent(&Form);
  Tree->Customizing()->SetVisible(true);
  EXPECT_FALSE(Tree->Customizing()->Visible());
  EXPECT_EQ(Tree->Customizing()->Form(), nullptr);

  Tree->Customizing()->SetRowCount(1);
  EXPECT_EQ(Tree->Customizing()->RowCount(), 2);
  Tree->Customizing()->SetRowCount(7);
  EXPECT_EQ(Tree->Customizing()->RowCount(), 7);

  Tree->CreateColumn()->SetCaption(u"Only");
  Integer Changes = 0;
  Tree->OnCustomizationFormVisibleChanged = TcxTreeListControlNotifyEvent(Tree, [&Changes](TcxCustomTreeListControl*) { ++Changes; });
  Tree->Customizing()->SetVisible(true);
  EXPECT_TRUE(Tree->Customizing()->Visible());
  Tree->Customizing()->SetVisible(false);
  EXPECT_FALSE(Tree->Customizing()->Visible());
  EXPECT_EQ(Changes, 2);
}

// Hiding the form used to forget the selections that reopening restores.
TEST(TreeListCustomizationForm, ReopensAtItsPlaceWithItsSelection) {
  TCustomizeFixture F;
  TForm* Window = F.Customizing()->Form();
  Window->SetBounds(120, 90, Window->Width(), Window->Height());
  F.Columns()->SetItemIndex(1);

  // Closed by its close box, then shown again.
  Window->Close();
  Application->ProcessMessages();
  EXPECT_FALSE(F.Customizing()->Visible());
  F.Customizing()->SetVisible(true);
  EXPECT_EQ(F.Customizing()->Form()->Left(), 120);
  EXPECT_EQ(F.Customizing()->Form()->Top(), 90);
  EXPECT_EQ(F.Columns()->ItemIndex(), 1);

  // Hidden (the window is freed), then shown again.
  F.Customizing()->SetVisible(false);
  EXPECT_EQ(F.Customizing()->Form(), nullptr);
  EXPECT_EQ(F.Customizing()->LastColumnIndex(), 1);
  F.Customizing()->SetVisible(true);
  EXPECT_EQ(F.Customizing()->Form()->Left(), 120);
  EXPECT_EQ(F.Columns()->ItemIndex(), 1);

  // A selection out of range is not restored.
  F.Customizing()->SetVisible(false);
  F.Column(2)->SetVisible(true);
  F.Customizing()->SetVisible(true);
  EXPECT_EQ(F.Columns()->Count(), 1);
  EXPECT_EQ(F.Columns()->ItemIndex(), -1);
}

TEST(TreeListCustomizationForm, DraggingAnItemOntoTheHeaderShowsIt) {
  TCustomizeFixture F;
  TWinControl* Inner = F.Columns()->InnerListBox();
  const TPoint Item = Center(F.Columns()->InnerListBox()->ItemRect(0));
  TestMousePress(Inner->Handle(), Item);
  TestMouseMove(Inner->Handle(), TPoint{Item.X + 30, Item.Y + 30});
  Application->ProcessMessages();
  ASSERT_EQ(F.Tree->DragAndDropState(), ddsInProcess);
  auto* Drag = dynamic_cast<TcxTreeListDragAndDropObject*>(F.Tree->DragAndDropObject());
  ASSERT_NE(Drag, nullptr);
  EXPECT_EQ(Drag->DraggedColumn(), F.Column(1));

  // After the right half of Name.
  const TRect Name = HeaderRect(F, 0);
  const TPoint Target{Name.Right - 5, (Name.Top + Name.Bottom) / 2};
  TestMouseMove(F.Tree->Handle(), Target);
  TestMouseMove(F.Tree->Handle(), Target);
  EXPECT_TRUE(Drag->DragDropInfo().DropAllowed);
  EXPECT_TRUE(Drag->MarkerVisible());
  TestMouseRelease(F.Tree->Handle(), Target);
  Application->ProcessMessages();
  EXPECT_TRUE(F.Column(1)->Visible());
  EXPECT_EQ(F.Column(1)->Position().ColIndex, 1);
  ASSERT_EQ(F.Columns()->Count(), 1);
  EXPECT_EQ(F.Columns()->Items()->Strings(0), u"Extra");

  // Dragged off the tree list it stays hidden and listed.
  const TPoint Second = Center(F.Columns()->InnerListBox()->ItemRect(0));
  TestMousePress(Inner->Handle(), Second);
  TestMouseMove(Inner->Handle(), TPoint{Second.X + 30, Second.Y + 30});
  TestMouseMove(F.Tree->Handle(), F.CellCenter(F.C, 0));
  TestMouseRelease(F.Tree->Handle(), F.CellCenter(F.C, 0));
  Application->ProcessMessages();
  EXPECT_FALSE(F.Column(2)->Visible());
  EXPECT_EQ(F.Columns()->Count(), 1);
}

// ---- Pictures ---------------------------------------------------------------------------------

namespace {

// The control's picture inside a margin, with the overlay windows laid over
// it where they show on the screen.
std::unique_ptr<TBitmap> ShotWithOverlays(TcxCustomTreeListControl* ATree, const std::vector<const TOverlayWindow*>& AOverlays) {
  constexpr Integer Margin = 20;
  auto Picture = std::make_unique<TBitmap>(ATree->ClientWidth() + 2 * Margin, ATree->ClientHeight() + 2 * Margin, pf32bit);
  Picture->Canvas()->Brush()->SetColor(clWhite);
  Picture->Canvas()->FillRect(TRect{0, 0, Picture->Width(), Picture->Height()});
  TBitmap Control(ATree->ClientWidth(), ATree->ClientHeight(), pf32bit);
  ATree->PaintTo(Control.Canvas()->Handle(), 0, 0);
  Picture->Canvas()->Draw(Margin, Margin, &Control);
  const TPoint Origin = ATree->ClientToScreen(TPoint{0, 0});
  for (const TOverlayWindow* W : AOverlays) {
    if (!W || !W->Visible()) continue;
    const TRect R = W->BoundsRect();
    for (Integer Y = 0; Y < R.Bottom - R.Top; ++Y)
      for (Integer X = 0; X < R.Right - R.Left; ++X) {
        const Cardinal P = W->PixelAt(X, Y);
        if ((P >> 24) == 0) continue;
        const TColor C = TColor(((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF));
        Picture->Canvas()->SetPixels(R.Left - Origin.X + Margin + X, R.Top - Origin.Y + Margin + Y, C);
      }
  }
  return Picture;
}

}  // namespace

TEST(TreeListCustomizationForm, PicturesOfAHeaderDragAndOfTheForm) {
  TTreeViewFixture F;
  const TRect Note = HeaderRect(F, 1);
  const TPoint Target{Note.Right - 5, (Note.Top + Note.Bottom) / 2};
  TestMousePress(F.Tree->Handle(), Center(HeaderRect(F, 0)));
  TestMouseMove(F.Tree->Handle(), Target);
  TestMouseMove(F.Tree->Handle(), Target);
  auto* Drag = dynamic_cast<TcxTreeListDragAndDropObject*>(F.Tree->DragAndDropObject());
  ASSERT_NE(Drag, nullptr);
  ASSERT_TRUE(Drag->MarkerVisible());
  // The marker stands on Note's right edge, one arrow above and one below it.
  const TPoint Edge = F.Tree->ClientToScreen(TPoint{Note.Right, Note.Top});
  const TRect Top = Drag->Arrow(0)->BoundsRect(), Bottom = Drag->Arrow(1)->BoundsRect();
  EXPECT_EQ((Top.Left + Top.Right) / 2, Edge.X);
  EXPECT_EQ(Top.Bottom, Edge.Y);
  EXPECT_EQ(Bottom.Top, F.Tree->ClientToScreen(TPoint{0, Note.Bottom}).Y);
  // Filled with the drop arrow colour, keyed out around the point.
  const Cardinal Fill = Drag->Arrow(0)->PixelAt(TcxTreeListDragAndDropObject::ArrowWidth / 2, 3);
  EXPECT_EQ(Fill & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Drag->Arrow(0)->PixelAt(1, TcxTreeListDragAndDropObject::ArrowLength - 2) >> 24, 0u);
  ShotWithOverlays(F.Tree, {Drag->Arrow(0), Drag->Arrow(1)})->SaveToFile(u"/tmp/korvane_tl_header_drag.png");
  TestMouseRelease(F.Tree->Handle(), Target);
  Application->ProcessMessages();
  // No arrow is left behind.
  EXPECT_EQ(F.Tree->DragAndDropObject(), nullptr);
  EXPECT_EQ(F.Tree->VisibleColumns()[0], F.Column(1));

  // The form with two hidden columns.
  TcxTreeListColumn* Extra = F.Tree->CreateColumn();
  Extra->SetCaption(u"Extra");
  Extra->SetVisible(false);
  F.Column(0)->SetVisible(false);
  F.Tree->Customizing()->SetVisible(true);
  Application->ProcessMessages();
  TForm* Window = F.Tree->Customizing()->Form();
  TBitmap Picture(Window->ClientWidth(), Window->ClientHeight(), pf32bit);
  Window->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  Picture.SaveToFile(u"/tmp/korvane_tl_customization_form.png");
  // Text of the listed captions darkens the list's first rows.
  const TRect Row = F.Tree->Customizing()->ColumnListBox()->InnerListBox()->ItemRect(0);
  Integer Dark = 0;
  for (Integer Y = Row.Top; Y < Row.Bottom; ++Y)
    for (Integer X = Row.Left; X < Row.Right; ++X)
      if ((Picture.PixelColor(X + 2, Y + 2) & 0xFF) < 0x60) ++Dark;
  EXPECT_GT(Dark, 10);
}

TEST(TreeListCustomizationForm, BandsAndColumnsOnTwoTabsWithItemsDrawnAsHeaders) {
  TCustomizeFixture F;
  F.Customizing()->SetVisible(false);
  F.View()->SetBands(true);
  TcxTreeListBand* Second = F.Tree->Bands()->Add();
  Second->SetCaption(u"Second");
  Second->SetVisible(false);
  TcxStyle* Header = new TcxStyle(F.Form);
  Header->SetColor(TColor(0x30A0F0));
  F.Tree->Styles()->SetColumnHeader(Header);
  F.Tree->LayoutChanged();
  F.Customizing()->ShowColumnsPage();
  Application->ProcessMessages();
  TPageControl* Pages = F.Customizing()->PageControl();
  ASSERT_NE(Pages, nullptr);
  ASSERT_EQ(Pages->PageCount(), 2);
  EXPECT_EQ(Pages->Pages(0)->Caption(), u"    Bands    ");
  EXPECT_EQ(Pages->Pages(1)->Caption(), u"   Columns   ");
  EXPECT_TRUE(Pages->HotTrack());
  EXPECT_EQ(F.Customizing()->BandListBox()->Parent(), F.Customizing()->BandsTab());
  EXPECT_EQ(F.Columns()->Parent(), F.Customizing()->ColumnsTab());
  // The columns page came forward; the bands page comes forward in turn.
  EXPECT_EQ(Pages->ActivePage(), F.Customizing()->ColumnsTab());
  // Items are header pictures: as high as a header line and filled in the header style.
  TcxTreeListViewInfo* VI = F.Tree->TreeListViewInfo();
  const TRect Row = F.Columns()->InnerListBox()->ItemRect(0);
  EXPECT_EQ(Row.Height(), VI->HeaderLineHeight() + 2 * TcxTreeListCustomizing::ItemInset);
  TForm* Window = F.Customizing()->Form();
  TBitmap Picture(Window->ClientWidth(), Window->ClientHeight(), pf32bit);
  Window->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  Picture.SaveToFile(u"/tmp/korvane_tl_customization_columns_tab.png");
  const TPoint InList = F.Columns()->InnerListBox()->ClientToScreen(TPoint{Row.Right - 8, Row.Top + 4});
  const TPoint InForm = Window->ScreenToClient(InList);
  EXPECT_EQ(Picture.PixelColor(InForm.X, InForm.Y), TColor(0x30A0F0));
  F.Customizing()->ShowBandsPage();
  Application->ProcessMessages();
  EXPECT_EQ(Pages->ActivePage(), F.Customizing()->BandsTab());
  ASSERT_EQ(F.Customizing()->BandListBox()->Count(), 1);
  Window->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  Picture.SaveToFile(u"/tmp/korvane_tl_customization_bands_tab.png");
  // The simple arrangement has no tabs: the column list stands on the form.
  F.Customizing()->SetVisible(false);
  F.View()->SetSimpleCustomizeBox(true);
  F.Customizing()->SetVisible(true);
  EXPECT_EQ(F.Customizing()->PageControl(), nullptr);
  EXPECT_EQ(F.Columns()->Parent(), F.Customizing()->Form());
}

TEST(TreeListCustomizationForm, AnAbandonedDragEndsWithoutADropAtTheNextCheck) {
  TTestClock Clock;
  TCustomizeFixture F;
  TcxTreeListCustomizing* C = F.Customizing();
  C->StartItemDrag(tlclColumns, 0);
  ASSERT_NE(F.Tree->DragAndDropState(), ddsNone);
  ASSERT_TRUE(C->DragTimer()->Enabled());
  EXPECT_EQ(C->DragTimer()->Interval(), TcxTreeListCustomizing::DragCheckInterval);
  // While the tree list holds the mouse the drag goes on.
  Clock.Advance(30);
  EXPECT_NE(F.Tree->DragAndDropState(), ddsNone);
  // The mouse went elsewhere without a release: the next check ends the drag, nothing shown.
  ReleaseCapture();
  Clock.Advance(TcxTreeListCustomizing::DragCheckInterval);
  Application->ProcessMessages();
  EXPECT_EQ(F.Tree->DragAndDropState(), ddsNone);
  EXPECT_FALSE(C->DragTimer()->Enabled());
  EXPECT_FALSE(F.Column(1)->Visible());
}

// The first time the window stands in the bottom-right corner of the tree's
// form, but never beyond the screen's left or top edge.
TEST(TreeListCustomizationForm, FirstShownInTheCornerOfTheTreesForm) {
  {
    TCustomizeFixture F;
    TForm* Window = F.Customizing()->Form();
    const TRect Owner = F.Form->BoundsRect();
    EXPECT_EQ(Window->Left() + Window->Width(), Owner.Right);
    EXPECT_EQ(Window->Top() + Window->Height(), Owner.Bottom);
  }
  EnsureGuiRuntime();
  TForm Small(nullptr);
  Small.SetBounds(0, 0, 60, 40);
  auto* Tree = new TcxCustomTreeListControl(&Small);
  Tree->SetParent(&Small);
  Tree->CreateColumn()->SetCaption(u"Only");
  Small.Show();
  Tree->Customizing()->SetVisible(true);
  ASSERT_TRUE(Tree->Customizing()->Visible());
  TForm* Window = Tree->Customizing()->Form();
  ASSERT_GT(Window->Width(), 60);
  EXPECT_EQ(Window->Left(), 0);
  EXPECT_EQ(Window->Top(), 0);
  Tree->Customizing()->SetVisible(false);
}
