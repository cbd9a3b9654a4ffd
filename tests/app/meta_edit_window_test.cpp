// The editing window as the user sees it: the reason a typed value is
// refused reaches a message box, and the tree and its context menu show
// their images.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/meta_edit.h"
#include "platform/gui/testinput.h"
#include "tests/app/maintestutil.h"
#include "treelist/cxTLViewInfo.h"

namespace {

using namespace app_test;

constexpr const char16_t* DateElement = u"01010301";  // 日期, tag 8, a leaf
constexpr const char16_t* BranchElement = u"0101";    // 引用, has children

struct TWindowFixture : TMainFixture {
  TWindowFixture() {
    NewThroughToolbar(false);
    W = frm_meta_edit;
    Tree = W->cxDBTreeList1;
    Application->ProcessMessages();
  }
  TcxTreeListNode* Node(const String& Code) const {
    const Integer code = W->cxDBTreeList1cxDBTreeListColumn3->ItemIndex();
    return Tree->FindNode([&](TcxTreeListNode* N) { return N->Values(code).AsString() == Code; }, nullptr, true,
                          false);
  }
  TcxTreeListViewInfo* View() const {
    TcxTreeListViewInfo* view = Tree->TreeListViewInfo();
    if (view->IsDirty()) view->Calculate();
    return view;
  }
  bool Editing() const { return Tree->EditingController()->IsEditing(); }

  Tfrm_meta_edit* W = nullptr;
  TcxDBTreeList* Tree = nullptr;
};

// An invalid date is refused on Enter and on a click on another row: the
// editor stays open on the text, the focus stays on the element, and the
// user is told why once, through a message box, even though the main
// window's error hook only writes the log.
TEST(EditingWindow, RefusedDateTellsTheUserWhyOnce) {
  struct {
    const char* Name;
    bool Click;  // else Enter
  } ways[] = {{"Enter", false}, {"a click on another row", true}};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.Name);
    TWindowFixture f;
    TcxTreeListNode* node = f.Node(DateElement);
    ASSERT_NE(node, nullptr);
    node->MakeVisible();
    f.Tree->SetFocusedNode(node);
    f.Tree->SetFocus();
    f.W->cxDBTreeList1cxDBTreeListColumn6->SetItemFocused(true);
    f.Tree->EditingController()->ActivateCellEditor(f.W->cxDBTreeList1cxDBTreeListColumn6);
    Application->ProcessMessages();
    ASSERT_TRUE(f.Editing());
    TestKey(Word('A'), u"", tkCtrl);
    TestTypeText(u"13/45/2024 10:00:00 AM");  // the mask takes it; no such day
    Application->ProcessMessages();
    f.Script.Boxes.clear();
    if (way.Click) {
      TcxTreeListNode* other = node->GetPrevVisible();
      ASSERT_NE(other, nullptr);
      TcxTreeListNodeViewInfo* row = f.View()->RowOfNode(other);
      ASSERT_NE(row, nullptr);
      const TRect cell = row->CellOfColumn(f.W->cxDBTreeList1cxDBTreeListColumn6)->DisplayRect();
      TestClick(f.Tree->Handle(), TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2});
    } else {
      TestKey(VK_RETURN);
    }
    Application->ProcessMessages();
    EXPECT_TRUE(f.Editing());
    EXPECT_TRUE(f.Tree->EditingController()->Edit()->Focused());
    EXPECT_EQ(f.Tree->FocusedNode(), node);
    const std::vector<String> texts = f.Script.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(u"Invalid Date"), String::npos) << U8(texts[0]);
    // Esc still drops the text.
    TestKey(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_FALSE(f.Editing());
    EXPECT_EQ(f.Script.Texts().size(), 1u);
  }
}

// The user widens the "名称" column by dragging its header's right edge,
// so deep element names are no longer cut off; the content column keeps
// its width.
TEST(EditingWindow, NameColumnWidensByDraggingItsHeaderEdge) {
  TWindowFixture f;
  TcxTreeListColumn* name = f.W->cxDBTreeList1cxDBTreeListColumn2;
  TcxTreeListColumn* content = f.W->cxDBTreeList1cxDBTreeListColumn6;
  const Integer before = name->Width();
  const Integer contentBefore = content->Width();
  TcxTreeListColumnHeaderViewInfo* header = f.View()->ColumnHeader(name);
  ASSERT_NE(header, nullptr);
  const TRect r = header->DisplayRect();
  const TPoint edge{r.Right - 1, (r.Top + r.Bottom) / 2};
  EXPECT_EQ(f.Tree->CursorAt(edge.X, edge.Y), crcxHorzSize);
  TestMousePress(f.Tree->Handle(), edge);
  TestMouseMove(f.Tree->Handle(), TPoint{edge.X + 20, edge.Y});
  TestMouseMove(f.Tree->Handle(), TPoint{edge.X + 40, edge.Y});
  TestMouseRelease(f.Tree->Handle(), TPoint{edge.X + 40, edge.Y});
  Application->ProcessMessages();
  EXPECT_EQ(name->Width(), before + 40);
  EXPECT_EQ(f.View()->ColumnHeader(name)->DisplayRect().Width(), r.Width() + 40);
  EXPECT_EQ(content->Width(), contentBefore);
}

// Pixels of an image that are not transparent (white in GetBitmap).
std::vector<std::pair<TPoint, TColor>> OpaquePixels(TImageList* Images, Integer Index) {
  TBitmap image(Images->Width(), Images->Height());
  Images->GetBitmap(Index, &image);
  std::vector<std::pair<TPoint, TColor>> pixels;
  for (Integer y = 0; y < image.Height(); ++y)
    for (Integer x = 0; x < image.Width(); ++x)
      if (image.PixelColor(x, y) != clWhite) pixels.push_back({TPoint{x, y}, image.PixelColor(x, y)});
  return pixels;
}

// The most pixels of the image found in place at any position inside R.
size_t BestMatch(TBitmap& Picture, const TRect& R, const std::vector<std::pair<TPoint, TColor>>& Pixels) {
  size_t best = 0;
  for (Integer top = R.Top; top <= R.Bottom - 16; ++top)
    for (Integer left = R.Left; left <= R.Right - 16; ++left) {
      size_t n = 0;
      for (const auto& [at, colour] : Pixels)
        if (Picture.PixelColor(left + at.X, top + at.Y) == colour) ++n;
      best = std::max(best, n);
    }
  return best;
}

// A leaf and a branch draw their own node image beside their name; the
// context menu's images are in place for every index its items use.
TEST(EditingWindowPicture, NodesDrawTheirImagesAndTheMenuHasItsImages) {
  TWindowFixture f;
  ASSERT_EQ(f.Tree->Images(), f.W->ImageList3);
  ASSERT_EQ(f.W->pm_oper->Images(), f.W->ImageList2);
  for (Integer index : {0, 4, 6, 8, 16, 17})
    EXPECT_GT(OpaquePixels(f.W->ImageList2, index).size(), 20u) << "menu image " << index;
  EXPECT_NE(OpaquePixels(f.W->ImageList3, 5), OpaquePixels(f.W->ImageList3, 6)) << "a leaf looks like a branch";

  f.Tree->SetFocusedNode(f.Node(BranchElement));
  f.Tree->LayoutChanged();
  Application->ProcessMessages();
  TBitmap picture(f.Tree->Width(), f.Tree->Height(), pf24bit);
  f.Tree->PaintTo(picture.Canvas(), 0, 0);
  picture.SaveToFile(u"/tmp/korvane_editing_window_nodes.png");
  struct {
    const char16_t* Code;
    Integer Image;
  } nodes[] = {{DateElement, 5}, {BranchElement, 6}};
  for (const auto& n : nodes) {
    SCOPED_TRACE(U8(n.Code));
    TcxTreeListNode* node = f.Node(n.Code);
    ASSERT_NE(node, nullptr);
    TcxTreeListNodeViewInfo* row = f.View()->RowOfNode(node);
    ASSERT_NE(row, nullptr);
    const auto indent =
        std::find_if(row->Indents.begin(), row->Indents.end(),
                     [](const auto& I) { return I->IndentKind == TcxTreeListIndentViewInfo::ikImage; });
    ASSERT_NE(indent, row->Indents.end());
    EXPECT_EQ((*indent)->ImageIndex, n.Image);
    const auto pixels = OpaquePixels(f.W->ImageList3, n.Image);
    ASSERT_GT(pixels.size(), 20u);
    // Allow for the tree's border between its client area and the picture.
    TRect area = (*indent)->DisplayRect();
    area = TRect{area.Left - 2, area.Top - 2, area.Right + 4, area.Bottom + 4};
    EXPECT_GE(BestMatch(picture, area, pixels) * 10, pixels.size() * 9) << "the node image is not drawn";
  }
}

}  // namespace
