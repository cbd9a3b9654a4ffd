// The combo box: its list in the popup picks items by mouse and by keys,
// typing in the three list styles, Esc leaving the value, the list's rows,
// and a picture of an open combo box with Chinese items.
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

const char16_t* const kRocks[] = {u"花岗岩 granite", u"玄武岩 basalt", u"石灰岩 limestone", u"砂岩 sandstone"};

struct TComboFixture : TTestForm {
  explicit TComboFixture(TcxEditDropDownListStyle AStyle = lsEditList) : TTestForm(360, 260) {
    Combo = Place<TcxComboBox>(20, 20, 180, 24);
    auto* p = static_cast<TcxCustomComboBoxProperties*>(Combo->Properties());
    for (const char16_t* item : kRocks) p->Items()->Add(item);
    p->SetDropDownListStyle(AStyle);
    ShowForm(Combo);
  }
  TcxComboBox* Combo;
};

TEST(cxComboBox, PropertiesMapListStylesAndKeepRowsAboveZero) {
  TcxComboBoxProperties p(nullptr);
  EXPECT_EQ(p.DropDownListStyle(), lsEditList);
  const std::pair<TcxEditDropDownListStyle, TcxEditEditingStyle> styles[] = {
      {lsEditFixedList, esEditList}, {lsEditList, esEditing}, {lsFixedList, esFixedList}};
  for (auto [list, editing] : styles) {
    p.SetDropDownListStyle(list);
    EXPECT_EQ(p.EditingStyle(), editing);
  }
  EXPECT_EQ(p.DropDownRows(), 8);
  p.SetDropDownRows(0);
  EXPECT_EQ(p.DropDownRows(), 8);
  p.SetDropDownRows(5);
  EXPECT_EQ(p.LookupPageSize(), 5);
  TcxComboBoxProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_EQ(copy.DropDownRows(), 5);
  EXPECT_EQ(copy.DropDownListStyle(), lsFixedList);
}

TEST(cxComboBox, TheKindRegistersWithItsEditor) {
  cxDropDownEditInitialize();
  cxDropDownEditInitialize();  // a second call adds nothing
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxComboBoxProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)), u"ComboBox|Represents the combo box editor");
  EXPECT_EQ(cls->GetEditorClass(), TcxComboBox::StaticClass());
  cxDropDownEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxComboBoxProperties"), nullptr);
}

TEST(cxComboBox, EachListStylePicksByMouseAndKeysAndEscLeavesTheValue) {
  for (TcxEditDropDownListStyle style : {lsEditFixedList, lsEditList, lsFixedList}) {
    SCOPED_TRACE(static_cast<int>(style));
    TComboFixture f(style);
    f.Combo->SetEditValue(String(kRocks[0]));

    // Keys: the list's selection moves, the text waits for Enter.
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 0);
    f.Key(VK_DOWN);
    f.Key(VK_DOWN);
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 2);
    EXPECT_EQ(f.Combo->Text(), kRocks[0]);
    f.Key(VK_RETURN);
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), kRocks[2]);

    // Esc: the list moved, the value did not.
    f.Key(VK_DOWN, tkAlt);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 2);
    f.Key(VK_UP);
    f.Key(VK_ESCAPE);
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), kRocks[2]);

    // Mouse: a click on an item takes it and closes the list.
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    TcxComboBoxListBox* list = f.Combo->ListBox();
    const TRect r = list->ItemRect(1);
    const TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    TestMousePress(list->Handle(), p);
    TestMouseRelease(list->Handle(), p);
    Application->ProcessMessages();
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), kRocks[1]);
    EXPECT_TRUE(f.Combo->Focused());
  }
}

TEST(cxComboBox, TypingByListStyle) {
  struct TTypeCase {
    const char* Name;
    TcxEditDropDownListStyle Style;
    const char16_t* Typed;
    const char16_t* Text;
  };
  // Items start with Chinese; "x" starts none of them.
  const TTypeCase cases[] = {
      {"free list: the text takes the character", lsEditList, u"x", u"x"},
      {"fixed list: a character that starts no item changes nothing", lsFixedList, u"x", kRocks[3]},
  };
  for (const TTypeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TComboFixture f(c.Style);
    f.Combo->SetEditValue(String(kRocks[3]));
    f.Combo->SelectWholeText();
    f.Type(c.Typed);
    EXPECT_EQ(f.Combo->Text(), c.Text);
  }
}

TEST(cxComboBox, TypingWithTheListOpenMovesItsSelection) {
  TComboFixture f(lsFixedList);
  auto* props = static_cast<TcxCustomComboBoxProperties*>(f.Combo->Properties());
  props->Items()->Clear();
  for (const char16_t* item : {u"alpha", u"beta", u"gamma"}) props->Items()->Add(item);
  f.Combo->SetEditValue(String(u"alpha"));
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  f.Type(u"g");
  EXPECT_EQ(f.Combo->Text(), u"gamma");
  EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 2);
}

TEST(cxComboBox, TheListShowsAtMostDropDownRows) {
  TComboFixture f;
  auto* p = static_cast<TcxCustomComboBoxProperties*>(f.Combo->Properties());
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  TcxComboBoxListBox* list = f.Combo->ListBox();
  const Integer row = list->ItemHeightOf(0);
  EXPECT_EQ(list->ItemsArea().Height(), 4 * row);
  EXPECT_GE(f.Combo->PopupWindow()->Width(), f.Combo->Width());
  f.Key(VK_ESCAPE);
  p->SetDropDownRows(2);
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(list->ItemsArea().Height(), 2 * row);
  EXPECT_EQ(list->VisibleItemCount(), 2);
}

TEST(cxComboBox, TheLookupDataSizesTheListWithinTheRoomGiven) {
  struct TSizeCase {
    const char* Name;
    Integer Items;
    Integer DropDownRows;
    Integer RoomRows;   // rows the available height holds (0: ample)
    Integer RoomWidth;  // available width beyond the frame (0: ample)
    Integer Rows;
    bool VScroll;
    bool HScroll;
  };
  const TSizeCase cases[] = {
      {"fewer items than rows: every item, no scroll bar", 3, 8, 0, 0, 3, false, false},
      {"more items than rows: DropDownRows and a vertical bar", 20, 8, 0, 0, 8, true, false},
      {"a low room: the rows that fit", 20, 8, 3, 0, 3, true, false},
      {"a room lower than one row: still one row", 3, 8, -1, 0, 1, true, false},
      {"a narrow room: cut to it, a horizontal bar below", 3, 8, 0, 30, 3, false, true},
  };
  for (const TSizeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TComboFixture f;
    auto* p = static_cast<TcxCustomComboBoxProperties*>(f.Combo->Properties());
    p->Items()->Clear();
    for (Integer i = 0; i < c.Items; ++i) p->Items()->Add(u"岩石 rock " + IntToStr(i * i * i));
    p->SetDropDownRows(c.DropDownRows);
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    auto* lookup = dynamic_cast<TcxComboBoxLookupData*>(f.Combo->GetLookupData());
    ASSERT_NE(lookup, nullptr);
    TcxComboBoxListBox* list = f.Combo->ListBox();
    const Integer frame = list->Height() - list->ItemsArea().Height();
    const Integer row = list->ItemHeightOf(0);
    Integer widest = 0;
    for (Integer i = 0; i < c.Items; ++i) widest = std::max(widest, list->GetItemWidth(i) + 4);
    const Integer roomHeight = c.RoomRows == 0 ? 10000 : c.RoomRows < 0 ? row / 2 : c.RoomRows * row + frame + row / 2;
    const TSize size = lookup->GetListSize(list, TSize{c.RoomWidth ? c.RoomWidth + frame : 10000, roomHeight});
    Integer width = c.RoomWidth ? c.RoomWidth : widest + (c.VScroll ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    EXPECT_EQ(size.cx, width + frame);
    EXPECT_EQ(size.cy, c.Rows * row + (c.HScroll ? GetSystemMetrics(SM_CYHSCROLL) : 0) + frame);
    EXPECT_EQ(list->ScrollWidth(), widest);
    f.Key(VK_ESCAPE);
  }
}

TEST(cxComboBox, PictureOfAnOpenComboBoxWithChineseItems) {
  TComboFixture f;
  f.Combo->SetEditValue(String(kRocks[1]));
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  Application->ProcessMessages();
  // The form and the popup below it, as the user sees them.
  TcxCustomEditPopupWindow* popup = f.Combo->PopupWindow();
  const TPoint formOrigin = f.Form->ClientToScreen(TPoint{0, 0});
  const TRect pr = popup->BoundsRect();
  const Integer w = f.Form->ClientWidth(), h = f.Form->ClientHeight();
  TBitmap picture(w, h, pf24bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  const TPoint at{pr.Left - formOrigin.X, pr.Top - formOrigin.Y};
  popup->PaintTo(picture.Canvas()->Handle(), at.X, at.Y);
  SavePicture(&picture, "combobox_open.png");
  // The current row is highlighted, another row is not.
  TcxComboBoxListBox* list = f.Combo->ListBox();
  const TPoint listAt{at.X + list->Left(), at.Y + list->Top()};
  const TRect sel = list->ItemRect(1), other = list->ItemRect(3);
  EXPECT_EQ(picture.PixelColor(listAt.X + sel.Right - 3, listAt.Y + (sel.Top + sel.Bottom) / 2),
            ColorToRGB(clHighlight) & 0xFFFFFF);
  EXPECT_NE(picture.PixelColor(listAt.X + other.Right - 3, listAt.Y + (other.Top + other.Bottom) / 2),
            ColorToRGB(clHighlight) & 0xFFFFFF);
}

}  // namespace
