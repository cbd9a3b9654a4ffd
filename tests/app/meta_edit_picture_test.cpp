// A picture of the main window with a record open in the editing window
// and a code list dropped down, saved under /tmp for looking at.
#include <gtest/gtest.h>

#include "app/meta_edit.h"
#include "editors/cxDBLookupComboBox.h"
#include "platform/gui/testinput.h"
#include "treelist/cxTLViewInfo.h"
#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

TEST(EditingWindowPicture, NodeColoursIndicatorDescriptionAndAnOpenCodeList) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  Tfrm_meta_edit* w = frm_meta_edit;
  TcxDBTreeList* tree = w->cxDBTreeList1;
  const Integer code = w->cxDBTreeList1cxDBTreeListColumn3->ItemIndex();
  TcxTreeListNode* node =
      tree->FindNode([&](TcxTreeListNode* N) { return N->Values(code).AsString() == u"01010302"; }, nullptr, true, false);
  ASSERT_NE(node, nullptr);
  node->MakeVisible();
  tree->SetFocusedNode(node);
  tree->SetFocus();
  tree->EditingController()->ActivateCellEditor(w->cxDBTreeList1cxDBTreeListColumn6);
  Application->ProcessMessages();
  auto* editor = dynamic_cast<TcxCustomLookupComboBox*>(tree->EditingController()->Edit());
  ASSERT_NE(editor, nullptr);
  TestKey(VK_F4);
  Application->ProcessMessages();
  ASSERT_TRUE(editor->HasOpenPopup());

  const Integer clientTop = f.Main->CoolBar1->Top() + f.Main->CoolBar1->Height();
  auto picture = std::make_unique<TBitmap>(f.Main->ClientWidth(), f.Main->ClientHeight(), pf24bit);
  f.Main->PaintTo(picture->Canvas(), 0, 0);
  w->PaintTo(picture->Canvas(), 0, clientTop);
  // The drop-down is a window of its own over the cell.
  TWinControl* popup = editor->PopupWindow();
  const TPoint origin = f.Main->ClientToScreen(TPoint{0, 0});
  const TPoint at = popup->ClientToScreen(TPoint{0, 0});
  popup->PaintTo(picture->Canvas(), at.X - origin.X, at.Y - origin.Y);
  picture->SaveToFile(u"/tmp/korvane_editing_window.png");

  // Branch rows and leaf rows take their colours.
  const TRect rows{20, clientTop + 30, w->Width() - 40, clientTop + 200};
  EXPECT_GT(CountOf(*picture, rows, w->cxStyle10->Color()), 1000);
  EXPECT_GT(CountOf(*picture, rows, w->cxStyle11->Color()), 1000);
  // The indicator column along the left edge marks the focused row.
  const TRect indicator{2, clientTop + 25, 18, clientTop + 200};
  EXPECT_GT(CountNot(*picture, indicator, clWindow), 200);
  // The description pane at the bottom describes the focused element.
  ASSERT_EQ(w->m_descr->Lines()->Count(), 2);
  EXPECT_NE(w->m_descr->Lines()->Strings(0), u"节点定义：");
  const TRect pane{5, f.Main->ClientHeight() - 50, w->Width() - 5, f.Main->ClientHeight() - 10};
  EXPECT_GT(CountOf(*picture, pane, clInfoBk), pane.Width() * pane.Height() / 2);
  // The drop-down lists the three codes and their names below the cell.
  EXPECT_GT(at.Y - origin.Y, clientTop);
  const TRect list{at.X - origin.X, at.Y - origin.Y, at.X - origin.X + popup->Width(),
                   at.Y - origin.Y + popup->Height()};
  EXPECT_GT(CountNot(*picture, list, clWindow), 100);
  TestKey(VK_ESCAPE);
  Application->ProcessMessages();
}

}  // namespace

namespace {

// The tree's column headers show the sheet's header style (colour, text
// colour, bold font) and its row indicators the indicator style; a picture
// of the tree is saved for looking at.
TEST(EditingWindowPicture, HeadersAndIndicatorsTakeTheSheetsStyles) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  TcxDBTreeList* tree = frm_meta_edit->cxDBTreeList1;
  Application->ProcessMessages();
  TcxTreeListViewInfo* vi = tree->TreeListViewInfo();
  if (vi->IsDirty()) vi->Calculate();
  auto picture = std::make_unique<TBitmap>(tree->ClientWidth(), tree->ClientHeight(), pf32bit);
  tree->PaintTo(picture->Canvas()->Handle(), 0, 0);
  picture->SaveToFile(u"/tmp/korvane_editing_window_tree.png");
  ASSERT_EQ(tree->Styles()->StyleSheet(), frm_meta_edit->TreeListStyleSheetVelmora);
  TcxTreeListStyles* sheet = frm_meta_edit->TreeListStyleSheetVelmora->Styles();
  ASSERT_NE(sheet->ColumnHeader(), nullptr);
  ASSERT_NE(sheet->Indicator(), nullptr);
  const TColor headerColour = ColorToRGB(sheet->ColumnHeader()->Color());
  const TColor headerText = ColorToRGB(sheet->ColumnHeader()->TextColor());
  const TColor indicatorColour = ColorToRGB(sheet->Indicator()->Color());
  // Every shown column's header: its background in the header colour, its caption in the header text colour.
  for (const auto& header : vi->ColumnHeaders()) {
    if (!header->Visible()) continue;
    SCOPED_TRACE(StringToUTF8(header->Text));
    const TRect r = header->ClipRect();
    EXPECT_EQ(picture->PixelColor(r.Right - 4, (r.Top + r.Bottom) / 2), headerColour);
    EXPECT_GT(CountOf(*picture, header->TextArea, headerText), 10);
    ASSERT_NE(header->ViewParams.Font, nullptr);
    EXPECT_TRUE(header->ViewParams.Font->Style() & TFontStyles{fsBold});
  }
  // The indicator cells of rows that are not focused are in the indicator colour.
  Integer probed = 0;
  for (Integer i = 0; i < vi->RowCount(); ++i) {
    TcxTreeListNodeViewInfo* row = vi->Rows(i);
    if (row->RowFocused || !row->Indicator->Visible()) continue;
    const TRect r = row->Indicator->ClipRect();
    EXPECT_EQ(picture->PixelColor((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), indicatorColour);
    ++probed;
  }
  EXPECT_GT(probed, 3);
}

}  // namespace
