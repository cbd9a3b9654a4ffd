// The combo box's list beyond picking: sorted items, the popup width names,
// a revertable double click, row heights (ItemHeight and a measuring
// handler), custom drawing, a list wider than the screen, whole rows after
// a resize, and a list filled also when the popup does not size itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

const char16_t* const kSeries[] = {u"下统", u"中统", u"上统"};

struct TExtrasFixture : TTestForm {
  TExtrasFixture() : TTestForm(400, 300) {
    Combo = Place<TcxComboBox>(20, 20, 180, 24);
    for (const char16_t* item : kSeries) Props()->Items()->Add(item);
    ShowForm(Combo);
  }
  TcxCustomComboBoxProperties* Props() { return static_cast<TcxCustomComboBoxProperties*>(Combo->Properties()); }
  TcxComboBoxListBox* List() { return Combo->ListBox(); }
  void Open() {
    Key(VK_F4);
    ASSERT_TRUE(Combo->HasOpenPopup());
  }
  TcxComboBox* Combo;

};

TEST(cxComboBoxProperties, SortedWidthNamesAndAssign) {
  TcxComboBoxProperties p(nullptr);
  for (const char16_t* item : {u"c", u"a", u"b"}) p.Items()->Add(item);
  p.SetSorted(true);
  EXPECT_EQ(p.Items()->Strings(0), u"a");
  EXPECT_EQ(p.Items()->Strings(2), u"c");
  p.SetDropDownWidth(300);
  p.SetDropDownSizeable(true);
  p.SetDropDownAutoWidth(false);
  EXPECT_EQ(p.PopupWidth(), 300);
  EXPECT_TRUE(p.PopupSizeable());
  EXPECT_FALSE(p.PopupAutoSize());
  EXPECT_FALSE(p.Revertable());
  p.SetRevertable(true);
  Integer measured = 0;
  p.OnMeasureItem = TcxEditMeasureItemEvent(&p, [&](TcxCustomComboBox*, Integer, TcxCanvas*, Integer&) { ++measured; });
  TcxComboBoxProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_TRUE(copy.Revertable());
  EXPECT_TRUE(copy.Sorted());
  copy.Items()->Add(u"0");
  EXPECT_EQ(copy.Items()->Strings(0), u"0");
  ASSERT_TRUE(copy.OnMeasureItem);
  Integer h = 0;
  copy.OnMeasureItem(nullptr, 0, nullptr, h);
  EXPECT_EQ(measured, 1);
}

TEST(cxComboBox, ARevertableDoubleClickStepsToTheNextItemWrapping) {
  struct TCase {
    const char* Name;
    bool Revertable;
    const char16_t* From;
    const char16_t* To;
    bool ImmediatePost = false;
  };
  const TCase cases[] = {
      {"the last item wraps to the first", true, kSeries[2], kSeries[0]},
      {"the next item", true, kSeries[0], kSeries[1]},
      {"not revertable: nothing", false, kSeries[0], kSeries[0]},
      {"posted at once with ImmediatePost", true, kSeries[1], kSeries[2], true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TExtrasFixture f;
    f.Props()->SetRevertable(c.Revertable);
    f.Props()->SetImmediatePost(c.ImmediatePost);
    f.Combo->SetEditValue(String(c.From));
    TestDoubleClick(f.Combo->InnerEdit()->Handle(), TPoint{10, 5});
    Application->ProcessMessages();
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), c.To);
    // Stored at once, or modified until the editor is left.
    EXPECT_EQ(f.Combo->IsModified(), c.Revertable && !c.ImmediatePost);
    if (c.ImmediatePost) EXPECT_EQ(VarToStr(f.Combo->EditValue()), c.To);
  }
}

TEST(cxComboBox, RowHeightsFromItemHeightOrTheMeasuringHandler) {
  {
    SCOPED_TRACE("ItemHeight");
    TExtrasFixture f;
    f.Props()->SetItemHeight(22);
    f.Open();
    EXPECT_EQ(f.List()->ItemHeightOf(0), 22);
    EXPECT_EQ(f.List()->ItemsArea().Height(), 3 * 22);
  }
  {
    SCOPED_TRACE("measured per item, drawn by the handler");
    TExtrasFixture f;
    f.Props()->OnMeasureItem = TcxEditMeasureItemEvent(
        f.Form, [](TcxCustomComboBox*, Integer AIndex, TcxCanvas*, Integer& AHeight) { AHeight = 20 + 4 * AIndex; });
    std::vector<Integer> drawn;
    TcxCustomComboBox* sender = nullptr;
    f.Props()->OnDrawItem = TcxEditDrawItemEvent(
        f.Form, [&](TcxCustomComboBox* AControl, TcxCanvas* ACanvas, Integer AIndex, const TRect&, TOwnerDrawState) {
          sender = AControl;
          if (ACanvas) drawn.push_back(AIndex);
        });
    f.Open();
    EXPECT_EQ(f.List()->ItemHeightOf(2), 28);
    EXPECT_EQ(f.List()->ItemsArea().Height(), 20 + 24 + 28);
    f.List()->Repaint();
    Application->ProcessMessages();
    EXPECT_EQ(sender, f.Combo);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 2), drawn.end());
  }
}

TEST(cxComboBox, AVerticalBarOnlyWhenTheItemsOutnumberTheRows) {
  struct TCase {
    Integer Items;
    Integer Rows;
    bool Bar;
  };
  for (const TCase& c : {TCase{3, 3, false}, TCase{20, 8, true}}) {
    SCOPED_TRACE(c.Items);
    TExtrasFixture f;
    for (Integer i = 3; i < c.Items; ++i) f.Props()->Items()->Add(u"层" + IntToStr(i));
    f.Open();
    EXPECT_EQ(f.List()->VisibleItemCount(), c.Rows);
    EXPECT_EQ(f.List()->NeedsVScrollBar(), c.Bar);
    // The widest item is not cut by the bar.
    EXPECT_GE(f.List()->ItemsArea().Width(), f.List()->ScrollWidth());
  }
}

TEST(cxComboBox, AListWiderThanTheScreenScrollsSideways) {
  TExtrasFixture f;
  f.Props()->Items()->Add(String(400, u'岩'));
  f.Open();
  const TRect work = MonitorWorkAreaAt(f.Combo->ClientToScreen(TPoint{0, 0}));
  EXPECT_LE(f.Combo->PopupWindow()->Width(), work.Width());
  EXPECT_GT(f.List()->ScrollWidth(), f.List()->ItemsArea().Width());
  EXPECT_TRUE(f.List()->NeedsHScrollBar());
  // The strip of the horizontal bar does not take a row.
  EXPECT_GE(f.List()->ItemsArea().Height(), 4 * f.List()->ItemHeightOf(0));
}

TEST(cxComboBox, AFixedSizePopupStillListsTheItemsAndAResizeKeepsWholeRows) {
  TExtrasFixture f;
  f.Props()->SetPopupAutoSize(false);
  f.Props()->SetPopupSizeable(true);
  f.Props()->SetPopupSysPanelStyle(true);
  f.Props()->SetPopupWidth(200);
  f.Props()->SetPopupHeight(120);
  f.Open();
  ASSERT_EQ(f.List()->ItemCount(), 3);
  const Integer row = f.List()->ItemHeightOf(0);
  TcxCustomEditPopupWindow* popup = f.Combo->PopupWindow();
  const TRect g = popup->GetViewInfo()->SizeGripRect;
  const TPoint grip{(g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2};
  for (Integer dy : {row / 2 + 1, row + row / 3}) {
    SCOPED_TRACE(dy);
    const TPoint at{popup->Width() - (g.Right - grip.X), popup->Height() - (g.Bottom - grip.Y)};
    TestMousePress(popup->Handle(), at);
    TestMouseMove(popup->Handle(), TPoint{at.X, at.Y + dy});
    TestMouseRelease(popup->Handle(), TPoint{at.X, at.Y + dy});
    Application->ProcessMessages();
    EXPECT_EQ(f.List()->ItemsArea().Height() % row, 0);
  }
}

TEST(cxComboBox, TypingChineseByListStyle) {
  struct TCase {
    TcxEditDropDownListStyle Style;
    const char16_t* Text;
  };
  // Every style completes the typed start from the items.
  const TCase cases[] = {{lsEditList, u"中统"}, {lsEditFixedList, u"中统"}, {lsFixedList, u"中统"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    TExtrasFixture f;
    f.Props()->SetDropDownListStyle(c.Style);
    f.Combo->SetEditValue(String(kSeries[0]));
    f.Combo->SelectWholeText();
    TestTypeText(u"中");
    Application->ProcessMessages();
    EXPECT_EQ(f.Combo->Text(), c.Text);
  }
}

TEST(cxComboBox, DraggingFromTheButtonIntoTheListPicksWhereTheMouseIsReleased) {
  TExtrasFixture f;
  f.Combo->SetEditValue(String(kSeries[0]));
  HWND wnd = f.Combo->Handle();
  const TRect button = f.Combo->GetViewInfo()->Button(0)->Bounds;
  const TPoint press{(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2};
  TestMousePress(wnd, press);
  Application->ProcessMessages();
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  // The third row, in the editor's coordinates.
  const TRect row = f.List()->ItemRect(2);
  const TPoint over =
      f.Combo->ScreenToClient(f.List()->ClientToScreen(TPoint{(row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2}));
  TestMouseMove(wnd, over);
  Application->ProcessMessages();
  EXPECT_EQ(f.List()->ItemIndex(), 2);
  HWND target = GetCapture() ? GetCapture() : wnd;
  const TPoint release = target == wnd ? over : f.List()->ScreenToClient(f.Combo->ClientToScreen(over));
  TestMouseRelease(target, release);
  Application->ProcessMessages();
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), kSeries[2]);
}

TEST(cxComboBox, ResetPopupHeightForgetsTheHeight) {
  TExtrasFixture f;
  f.Props()->SetPopupHeight(160);
  f.Combo->ResetPopupHeight();
  EXPECT_EQ(f.Props()->PopupHeight(), 0);
}

}  // namespace

TEST(cxComboBox, ItsViewDataLeavesTheClosedFixedListItemToTheDrawingHandler) {
  TcxComboBoxProperties props(nullptr);
  EXPECT_EQ(props.GetViewDataClass(), TcxCustomComboBoxViewData::StaticClass());
  TcxEditStyle style(nullptr, true);
  std::unique_ptr<TcxCustomEditViewData> made(props.CreateViewData(&style, false));
  EXPECT_NE(dynamic_cast<TcxCustomComboBoxViewData*>(made.get()), nullptr);

  struct TCase {
    const char* Name;
    TcxEditDropDownListStyle Style;
    bool Handler;
    bool SelectionBar;  // the view's own highlight under the item
  };
  const TCase cases[] = {
      {"fixed list drawn by the handler: the handler's alone", lsFixedList, true, false},
      {"fixed list without a handler: the view's bar", lsFixedList, false, true},
      {"free list with a handler: plain text", lsEditList, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TExtrasFixture f;
    f.Props()->SetDropDownListStyle(c.Style);
    std::vector<Integer> drawn;
    if (c.Handler)
      f.Props()->OnDrawItem = TcxEditDrawItemEvent(
          f.Form, [&](TcxCustomComboBox*, TcxCanvas*, Integer AIndex, const TRect&, TOwnerDrawState) {
            drawn.push_back(AIndex);
          });
    f.Combo->SetEditValue(String(kSeries[1]));
    f.Combo->RefreshViewStateAtCursor();
    auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(f.Combo->GetViewInfo());
    ASSERT_NE(vi, nullptr);
    EXPECT_EQ(vi->DrawSelectionBar, c.SelectionBar);
    if (c.Handler && c.Style == lsFixedList) EXPECT_FALSE(vi->DrawsText);
    // A view made for the editor decides alike; one made without an editor
    // (a cell) shows the text, as no handler is called for it.
    auto data = f.Combo->CreateViewData();
    EXPECT_NE(dynamic_cast<TcxCustomComboBoxViewData*>(data.get()), nullptr);
    f.Combo->Repaint();
    Application->ProcessMessages();
    EXPECT_EQ(!drawn.empty(), c.Handler && c.Style == lsFixedList);
    if (!drawn.empty()) EXPECT_EQ(drawn.back(), 1);
  }
}

TEST(cxComboBox, TheListMayTakeTheLargerRoomAboveOrBelowTheEditor) {
  // A work area 0..600 high; the popup's frame is 2 high (1 above, 1 below).
  const TRect work{0, 0, 800, 600};
  struct TCase {
    const char* Name;
    Integer EditorTop;  // the editor is 24 high
    bool Shadow;
    Integer Free;
  };
  const TCase cases[] = {
      {"near the top: below", 100, true, 600 - 124 - 2},
      {"near the top without a shadow: below", 100, false, 600 - 124 - 2},
      {"near the bottom with a shadow: above", 500, true, 500 - 2},
      {"near the bottom without a shadow: above, 3 more", 500, false, 500 - 2 + 3},
      {"in the middle: as much either way", 288, true, 288 - 2},
      {"in the middle without a shadow: above by the 3", 288, false, 288 - 2 + 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TRect editor{10, c.EditorTop, 190, c.EditorTop + 24};
    EXPECT_EQ(cxComboBoxPopupFreeHeight(editor, work, 2, c.Shadow), c.Free);
  }
}
