// The list box: items and the list box messages, selection by mouse and
// keys, scrolling with the library's scroll bars, the data binding, the
// integral height, and a picture of the control.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/cxListBox.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "tests/foundation/foundation_test.h"
#include "tests/platform/gui/guitestutil.h"

using namespace cxTest;

namespace {

// A binding with a value of its own; it may refuse editing and notes what
// it is given.
class TTestBinding : public TcxListBoxDataBinding {
  KORVANE_CLASS(TTestBinding, TcxListBoxDataBinding)
  using TcxListBoxDataBinding::TcxListBoxDataBinding;
  Variant Value = Null();
  bool Editable = true;
  bool FailUpdate = false;
  std::vector<String> Stored;
  Integer Resets = 0;
  bool CanGiveValue() override { return true; }
  Variant GetDisplayValue(bool) override { return Value; }
  bool CanEdit() override { return Editable; }
  void Reset() override {
    ++Resets;
    TcxListBoxDataBinding::Reset();
  }
  void StoreValue(const Variant& AValue) override { Stored.push_back(VarToStr(AValue)); }
  Integer Updates = 0;
  void UpdateData() override {
    ++Updates;
    if (FailUpdate) throw Exception(u"cannot store");
    TcxListBoxDataBinding::UpdateData();
  }
};

class TBoundListBox : public TcxListBox {
public:
  explicit TBoundListBox(TComponent* AOwner) : TcxListBox(AOwner) { RecreateDataBinding(); }
  TcxListBoxDataBindingClass DataBindingClass() const override { return TTestBinding::StaticClass(); }
  TTestBinding* Binding() const { return static_cast<TTestBinding*>(DataBinding()); }
};

struct TListFixture : TTestForm {
  explicit TListFixture(Integer ACount = 5) : TTestForm(400, 300) {
    List = Place<TBoundListBox>(10, 10, 150, 100);
    Other = Place<TcxListBox>(200, 10, 100, 100);
    for (Integer i = 0; i < ACount; ++i) List->Items()->Add(u"Item " + IntToStr(i));
    ShowForm();
  }
  TcxInnerListBox* Inner() const { return List->InnerListBox(); }
  HWND InnerWnd() const { return Inner()->Handle(); }
  // The middle of an item in the inner list's client coordinates.
  TPoint ItemPoint(Integer AIndex) const {
    TRect r = Inner()->ItemRect(AIndex);
    return TPoint{r.Left + 10, (r.Top + r.Bottom) / 2};
  }
  void ClickItem(Integer AIndex, Cardinal AModifiers = 0) {
    TestClick(InnerWnd(), ItemPoint(AIndex), tbLeft, AModifiers);
    Application->ProcessMessages();
  }
  std::vector<Integer> SelectedItems() const {
    std::vector<Integer> r;
    for (Integer i = 0; i < List->Count(); ++i)
      if (Inner()->Selected(i)) r.push_back(i);
    return r;
  }
  TBoundListBox* List;

  TcxListBox* Other;
};

String ListText(TcxListBox* AList, Integer AIndex) {
  Char buffer[64] = {};
  SendMessage(AList->Handle(), LB_GETTEXT, static_cast<WPARAM>(AIndex), reinterpret_cast<LPARAM>(buffer));
  return String(buffer);
}

TEST(cxListBox, CreatesAnInnerListFillingTheContainer) {
  EnsureGuiRuntime();
  TForm form(nullptr);
  auto* list = new TcxListBox(&form);
  list->SetParent(&form);
  EXPECT_EQ(list->Width(), 121);
  EXPECT_EQ(list->Height(), 97);
  TcxInnerListBox* inner = list->InnerListBox();
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(list->InnerControl(), inner);
  EXPECT_EQ(inner->Parent(), list);
  EXPECT_EQ(inner->Container(), list);
  EXPECT_FALSE(inner->TabStop());
  EXPECT_EQ(inner->LookAndFeel()->Master(), list->Style()->LookAndFeel());
  EXPECT_EQ(inner->BoundsRect(), list->ViewInfo()->ClientRect);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST(cxListBox, ListMessagesSentToTheContainerReachTheInnerList) {
  TListFixture f(0);
  HWND h = f.List->Handle();
  EXPECT_EQ(SendMessage(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"北京")), 0);
  EXPECT_EQ(SendMessage(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"上海")), 1);
  EXPECT_EQ(SendMessage(h, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"广州")), 0);
  EXPECT_EQ(SendMessage(h, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ListText(f.List, 0), u"广州");
  EXPECT_EQ(SendMessage(h, LB_GETTEXTLEN, 2, 0), 2);
  EXPECT_EQ(SendMessage(h, LB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(SendMessage(h, LB_GETCURSEL, 0, 0), 2);
  // Inserting before the selection keeps the same item selected.
  SendMessage(h, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"深圳"));
  EXPECT_EQ(f.List->ItemIndex(), 3);
  EXPECT_EQ(f.List->Items()->Strings(3), u"上海");
  // Deleting the selected item leaves none selected; bad indexes fail.
  SendMessage(h, LB_DELETESTRING, 3, 0);
  EXPECT_EQ(f.List->ItemIndex(), -1);
  EXPECT_EQ(SendMessage(h, LB_DELETESTRING, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessage(h, LB_GETTEXT, 9, 0), LB_ERR);
  EXPECT_EQ(SendMessage(h, LB_GETCOUNT, 0, 0), 3);
  SendMessage(h, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(f.List->Count(), 0);
  EXPECT_EQ(SendMessage(h, LB_GETCURSEL, 0, 0), -1);
}

TEST(cxListBox, SortedItemsGoToTheirPlace) {
  TListFixture f(0);
  f.List->SetSorted(true);
  for (const char16_t* s : {u"pear", u"apple", u"fig"})
    SendMessage(f.List->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_EQ(f.List->Items()->Strings(0), u"apple");
  EXPECT_EQ(f.List->Items()->Strings(2), u"pear");
}

TEST(cxListBox, AClickSelectsTheItemAndTellsTheContainer) {
  TListFixture f;
  Integer clicks = 0;
  struct TCounter {
    Integer* N;
    void Click(TObject*) { ++*N; }
  } counter{&clicks};
  f.List->OnClick = TNotifyEvent(&counter, &TCounter::Click);
  f.ClickItem(2);
  EXPECT_EQ(f.List->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(f.Inner()->Focused());
  EXPECT_TRUE(f.List->Focused());
  // Clicking below the last item changes nothing.
  TestClick(f.InnerWnd(), TPoint{10, f.Inner()->Height() - 2});
  EXPECT_EQ(f.List->ItemIndex(), 2);
  // The item under a container point.
  TRect r = f.List->ItemRect(3);
  EXPECT_EQ(f.List->ItemAtPos(TPoint{r.Left + 5, r.Top + 1}, true), 3);
  EXPECT_EQ(f.List->ItemAtPos(TPoint{5, f.List->Height() - 3}, true), -1);
}

TEST(cxListBox, TheInnerListPassesItsMouseAndKeysToTheContainer) {
  TListFixture f;
  struct TRecorder {
    std::vector<TPoint> Downs;
    std::vector<Word> Keys;
    void Down(TObject*, TMouseButton, TShiftState, Integer X, Integer Y) { Downs.push_back(TPoint{X, Y}); }
    void Key(TObject*, Word& Key, TShiftState) {
      Keys.push_back(Key);
      if (Key == VK_END) Key = 0;  // the container eats End: the list keeps its item
    }
  } r;
  f.List->OnMouseDown = TMouseEvent(&r, &TRecorder::Down);
  f.List->OnKeyDown = TKeyEvent(&r, &TRecorder::Key);
  TPoint p = f.ItemPoint(2);
  f.ClickItem(2);
  ASSERT_EQ(r.Downs.size(), 1u);
  EXPECT_EQ(r.Downs[0], (TPoint{p.X + f.Inner()->Left(), p.Y + f.Inner()->Top()}));
  TestKey(VK_END);
  TestKey(VK_DOWN);
  EXPECT_EQ(r.Keys, (std::vector<Word>{VK_END, VK_DOWN}));
  EXPECT_EQ(f.List->ItemIndex(), 3);
}

TEST(cxListBox, KeysMoveTheSelection) {
  TListFixture f(20);
  f.ClickItem(0);
  struct TCase {
    const char* Name;
    Word Key;
    Integer Expected;
  };
  const Integer page = f.Inner()->VisibleItemCount() - 1;
  const TCase cases[] = {
      {"Down", VK_DOWN, 1},
      {"Down again", VK_DOWN, 2},
      {"Up", VK_UP, 1},
      {"End", VK_END, 19},
      {"Down at the end stays", VK_DOWN, 19},
      {"Home", VK_HOME, 0},
      {"Page Down", VK_NEXT, page},
      {"Page Up", VK_PRIOR, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TestKey(c.Key);
    EXPECT_EQ(f.List->ItemIndex(), c.Expected);
    // The selected item is always in view.
    EXPECT_GE(c.Expected, f.List->TopIndex());
    EXPECT_LT(c.Expected, f.List->TopIndex() + f.Inner()->VisibleItemCount());
  }
  // A typed character selects the next item starting with it.
  TestKey('I', u"I");
  EXPECT_EQ(f.List->ItemIndex(), 1);
}

TEST(cxListBox, ExtendedSelectionByShiftAndCtrlClicks) {
  TListFixture f(8);
  f.List->SetMultiSelect(true);
  f.ClickItem(1);
  f.ClickItem(4, tkShift);
  EXPECT_EQ(f.SelectedItems(), (std::vector<Integer>{1, 2, 3, 4}));
  f.ClickItem(6, tkCtrl);
  EXPECT_EQ(f.SelectedItems(), (std::vector<Integer>{1, 2, 3, 4, 6}));
  f.ClickItem(2, tkCtrl);
  EXPECT_EQ(f.SelectedItems(), (std::vector<Integer>{1, 3, 4, 6}));
  f.ClickItem(5);
  EXPECT_EQ(f.SelectedItems(), (std::vector<Integer>{5}));
  EXPECT_EQ(SendMessage(f.List->Handle(), LB_GETSELCOUNT, 0, 0), 1);
  TestKey(VK_DOWN, u"", tkShift);
  TestKey(VK_DOWN, u"", tkShift);
  EXPECT_EQ(f.SelectedItems(), (std::vector<Integer>{5, 6, 7}));
}

TEST(cxListBox, ALongListShowsTheVerticalBarAndScrolls) {
  TListFixture f(30);
  TcxScrollBar* bar = f.Inner()->VScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Parent(), f.List);
  // The bar lies over the inner list's right strip.
  TRect inner = f.Inner()->BoundsRect();
  EXPECT_EQ(bar->Left() + bar->Width(), inner.Right);
  EXPECT_EQ(bar->Top(), inner.Top);
  EXPECT_EQ(bar->Height(), inner.Bottom - inner.Top);
  EXPECT_EQ(f.Inner()->ItemsArea().Right, inner.Right - inner.Left - bar->Width());
  EXPECT_FALSE(f.Inner()->HScrollBar()->Visible());

  // The wheel scrolls three rows a notch.
  TestWheel(f.InnerWnd(), TPoint{10, 10}, -1);
  Application->ProcessMessages();
  EXPECT_EQ(f.List->TopIndex(), 3);
  EXPECT_EQ(bar->Position(), 3);
  // The bar scrolls the list.
  bar->ScrollBy(scLineDown);
  EXPECT_EQ(f.List->TopIndex(), 4);
  bar->ScrollBy(scBottom);
  Integer last = f.List->TopIndex() + f.Inner()->VisibleItemCount() - 1;
  EXPECT_EQ(last, 29);
  // Never past the last row; LB_SETTOPINDEX moves the bar as well.
  SendMessage(f.List->Handle(), LB_SETTOPINDEX, 2, 0);
  EXPECT_EQ(f.List->TopIndex(), 2);
  EXPECT_EQ(bar->Position(), 2);
  // A short list hides the bar again.
  while (f.List->Count() > 2) SendMessage(f.List->Handle(), LB_DELETESTRING, 0, 0);
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(f.List->TopIndex(), 0);
}

TEST(cxListBox, AWideScrollWidthShowsTheHorizontalBar) {
  TListFixture f(3);
  f.List->SetScrollWidth(500);
  TcxScrollBar* bar = f.Inner()->HScrollBar();
  EXPECT_TRUE(bar->Visible());
  TRect inner = f.Inner()->BoundsRect();
  EXPECT_EQ(bar->Top() + bar->Height(), inner.Bottom);
  bar->ScrollBy(scPageDown);
  EXPECT_GT(f.Inner()->HorzOffset(), 0);
  EXPECT_EQ(f.Inner()->ItemRect(0).Left, -f.Inner()->HorzOffset());
}

TEST(cxListBox, TheBindingsValueSelectsTheItemWithThatText) {
  struct TCase {
    const char* Name;
    Variant Value;
    Integer Expected;
    String Written;
  };
  const TCase cases[] = {
      {"a value among the items", Variant(String(u"Item 3")), 3, u"Item 3"},
      {"a value not among the items", Variant(String(u"Item 9")), -1, u""},
      {"no value", Null(), -1, u""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TListFixture f;
    f.List->SetItemIndex(1);
    f.List->Binding()->Value = c.Value;
    f.List->DataBinding()->ValueToControl();
    EXPECT_EQ(f.List->ItemIndex(), c.Expected);
    f.List->ControlToData();
    ASSERT_EQ(f.List->Binding()->Stored.size(), 1u);
    EXPECT_EQ(f.List->Binding()->Stored[0], c.Written);
  }
}

TEST(cxListBox, LeavingTheControlWritesTheSelectedText) {
  TListFixture f;
  f.ClickItem(2);
  f.Other->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(f.List->Binding()->Stored.size(), 1u);
  EXPECT_EQ(f.List->Binding()->Stored[0], u"Item 2");
}

TEST(cxListBox, AFailedWriteOnLeavingKeepsTheFocusAndRaises) {
  TListFixture f;
  f.ClickItem(2);
  f.List->Binding()->FailUpdate = true;
  Integer errors = 0;
  struct TCatcher {
    Integer* N;
    void Handle(TObject*, Exception*) { ++*N; }
  } catcher{&errors};
  Application->OnException = TExceptionEvent(&catcher, &TCatcher::Handle);
  try {
    f.Other->SetFocus();
  } catch (const Exception&) {
    ++errors;
  }
  Application->ProcessMessages();
  Application->OnException = TExceptionEvent();
  // The window system finishes the focus change after the exit raised, so
  // the exit may run (and fail) once more before the focus settles back.
  EXPECT_GE(errors, 1);
  EXPECT_EQ(errors, f.List->Binding()->Updates);
  EXPECT_TRUE(f.List->Focused());
}

TEST(cxListBox, WhileTheBindingRefusesEditingKeysAndClicksLeaveTheSelection) {
  TListFixture f;
  f.ClickItem(1);
  Integer clicks = 0;
  struct TCounter {
    Integer* N;
    void Click(TObject*) { ++*N; }
  } counter{&clicks};
  f.List->OnClick = TNotifyEvent(&counter, &TCounter::Click);
  f.List->Binding()->Editable = false;
  TestKey(VK_DOWN);
  TestKey(VK_END);
  TestKey('I', u"I");
  f.ClickItem(3);
  EXPECT_EQ(f.List->ItemIndex(), 1);
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(f.Inner()->Focused());
  // Esc asks the binding to show its value again.
  f.List->Binding()->Value = Variant(String(u"Item 4"));
  TestKey(VK_ESCAPE);
  EXPECT_EQ(f.List->Binding()->Resets, 1);
  EXPECT_EQ(f.List->ItemIndex(), 4);
  f.List->Binding()->Editable = true;
  TestKey(VK_UP);
  EXPECT_EQ(f.List->ItemIndex(), 3);
}

TEST(cxListBox, IntegralHeightKeepsWholeRows) {
  struct TCase {
    const char* Name;
    Integer Requested;
    TAlign Align;
    Integer Expected;
  };
  const TCase cases[] = {
      {"110 pixels become six rows", 110, alNone, 100},
      {"an exact fit is kept", 116, alNone, 116},
      {"never less than one row", 5, alNone, 20},
      {"aligned to the top it still adjusts", 110, alTop, 100},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TListFixture f;
    f.List->Style()->SetBorderStyle(cbs3D);  // 2 pixels on each side
    f.List->SetListStyle(lbOwnerDrawFixed);
    f.List->SetItemHeight(16);
    f.List->SetIntegralHeight(true);
    if (c.Align != alNone) f.List->SetAlign(c.Align);
    f.List->SetHeight(c.Requested);
    EXPECT_EQ(f.List->Height(), c.Expected);
  }
  TListFixture f;
  f.List->Style()->SetBorderStyle(cbs3D);
  f.List->SetListStyle(lbOwnerDrawFixed);
  f.List->SetItemHeight(16);
  f.List->SetIntegralHeight(true);
  f.List->SetAlign(alClient);
  EXPECT_EQ(f.List->Height(), f.Form->ClientHeight());
}

TEST(cxListBox, IntegralHeightShowsWholeRowsInEveryBorderStyle) {
  const TcxBorders noTop = BorderBit(bLeft) | BorderBit(bRight) | BorderBit(bBottom);
  const TcxBorders topOnly = BorderBit(bTop);
  for (TListBoxStyle listStyle : {lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable})
    for (Integer border = cbsNone; border <= cbsOffice11; ++border)
      for (bool transparent : {true, false})
        for (TcxBorders edges : {cxAllBorders, noTop, topOnly}) {
          SCOPED_TRACE(testing::Message() << "list style " << listStyle << ", border " << border << ", transparent "
                                          << transparent << ", edges " << edges);
          TListFixture f(3);
          f.List->Style()->SetBorderStyle(TcxContainerBorderStyle(border));
          f.List->Style()->SetTransparentBorder(transparent);
          f.List->Style()->SetEdges(edges);
          f.List->SetListStyle(listStyle);
          f.List->SetItemHeight(16);
          f.List->SetIntegralHeight(true);
          f.List->SetHeight(110);
          Application->ProcessMessages();
          const Integer row = HeightOfRect(f.Inner()->ItemRect(0));
          ASSERT_GT(row, 0);
          EXPECT_LE(f.List->Height(), 110);
          EXPECT_EQ(f.Inner()->ClientHeight() % row, 0) << f.Inner()->ClientHeight() << " pixels of " << row;
          EXPECT_GT(f.List->Height() + row, 110) << "a row more would have fitted";
        }
}

TEST(cxListBox, OwnerDrawingAndMeasuringGoThroughTheListBoxEvents) {
  TListFixture f;
  f.List->SetListStyle(lbOwnerDrawVariable);
  f.List->SetItemHeight(16);
  struct THandlers {
    std::vector<Integer> Drawn;
    void Draw(TcxListBox*, TcxCanvas*, Integer AIndex, TRect, TOwnerDrawState) { Drawn.push_back(AIndex); }
    void Measure(TcxListBox*, Integer AIndex, Integer& AHeight) { AHeight = AIndex == 0 ? 40 : 16; }
  } h;
  f.List->OnDrawItem = TcxListBoxDrawItemEvent(&h, &THandlers::Draw);
  f.List->SetOnMeasureItem(TcxListBoxMeasureItemEvent(&h, &THandlers::Measure));
  EXPECT_EQ(f.Inner()->ItemRect(1).Top - f.Inner()->ItemRect(0).Top, 40);
  f.List->Repaint();
  f.Inner()->Repaint();
  EXPECT_FALSE(h.Drawn.empty());
  f.List->SetOnMeasureItem(TcxListBoxMeasureItemEvent());
  EXPECT_EQ(f.Inner()->ItemRect(1).Top - f.Inner()->ItemRect(0).Top, 16);
}

TEST(cxListBox, FreeingTheListLeavesNoScrollBarBehind) {
  EnsureGuiRuntime();
  TForm form(nullptr);
  auto* list = new TcxListBox(&form);
  list->SetParent(&form);
  for (Integer i = 0; i < 30; ++i) list->Items()->Add(IntToStr(i));
  form.Show();
  TcxScrollBar* bar = list->InnerListBox()->VScrollBar();
  ASSERT_EQ(bar->Parent(), list);
  list->InnerListBox()->Free();
  // Only the container's own parts are left: no bar of the freed list.
  for (Integer i = 0; i < list->ControlCount(); ++i)
    EXPECT_NE(list->Controls(i)->ClassType(), TcxScrollBar::StaticClass()) << i;
  EXPECT_EQ(list->InnerControl(), nullptr);
}

TEST(cxListBox, RendersItemsSelectionAndScrollBar) {
  TListFixture f(12);
  f.List->Items()->SetStrings(3, u"数据集名称");
  f.ClickItem(3);
  f.Form->Repaint();
  TBitmap picture(f.Form->ClientWidth(), f.Form->ClientHeight(), pf24bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  SavePicture(picture, "cxListBox", 2);
  // The selected row is highlighted inside the list.
  TPoint p = f.Inner()->ClientToParent(f.ItemPoint(3), f.Form);
  EXPECT_EQ(picture.PixelColor(p.X + 80, p.Y), RGBOf(clHighlight));
  TPoint q = f.Inner()->ClientToParent(f.ItemPoint(5), f.Form);
  EXPECT_EQ(picture.PixelColor(q.X + 80, q.Y), RGBOf(clWindow));
}

}  // namespace
