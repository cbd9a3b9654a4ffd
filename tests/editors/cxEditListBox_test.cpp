// The list an editor shows its lookup items in, through the combo box that
// hosts it: rows as many as the items with texts read from the lookup data,
// the "Wg" row height, hot tracking, the default drawing, the wheel, the
// select-item hook, the list class a descendant chooses and when its window
// is re-created.
#include <gtest/gtest.h>

#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

// A list that counts the windows made for it.
class TCountingListBox : public TcxComboBoxListBox {
public:
  using TcxComboBoxListBox::TcxComboBoxListBox;
  Integer WindowsCreated = 0;

protected:
  void CreateWnd() override {
    TcxComboBoxListBox::CreateWnd();
    ++WindowsCreated;
  }
};

// A combo box that chooses its own list class.
class TCountingComboBox : public TcxComboBox {
public:
  using TcxComboBox::TcxComboBox;
  Integer ListsCreated = 0;

protected:
  TcxComboBoxListBox* CreateListBox(TComponent* AOwner) override {
    ++ListsCreated;
    return new TCountingListBox(AOwner);
  }
};

struct TListFixture : TTestForm {
  explicit TListFixture(Integer AItemCount = 3) : TTestForm(400, 320) {
    Combo = Place<TCountingComboBox>(20, 20, 180, 24);
    for (Integer i = 0; i < AItemCount; ++i) Props()->Items()->Add(u"地层" + IntToStr(i));
    ShowForm(Combo);
  }
  ~TListFixture() { FreeForm(); }
  TcxCustomComboBoxProperties* Props() { return static_cast<TcxCustomComboBoxProperties*>(Combo->Properties()); }
  TCountingListBox* List() { return static_cast<TCountingListBox*>(Combo->ListBox()); }
  void Open() {
    Key(VK_F4);
    ASSERT_TRUE(Combo->HasOpenPopup());
    Application->ProcessMessages();
  }
  void Close() {
    Key(VK_ESCAPE);
    ASSERT_FALSE(Combo->HasOpenPopup());
  }
  TPoint RowCentre(Integer AIndex) {
    const TRect r = List()->ItemRect(AIndex);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TCountingComboBox* Combo;
};

}  // namespace

TEST(cxEditListBox, RowsFollowTheLookupItemsAndReadTheirTexts) {
  TListFixture f(3);
  f.Open();
  TcxComboBoxListBox* list = f.List();
  EXPECT_EQ(list->GetEdit(), f.Combo);
  ASSERT_EQ(list->ItemCount(), 3);
  for (Integer i = 0; i < 3; ++i) {
    EXPECT_EQ(list->Items()->Strings(i), u"") << i;  // the list keeps no copy
    EXPECT_EQ(list->GetItemText(i), u"地层" + IntToStr(i)) << i;
  }
  EXPECT_EQ(list->GetItemText(3), u"");
  f.Close();

  // More items, then fewer: the rows follow when the list opens again.
  for (Integer i = 3; i < 6; ++i) f.Props()->Items()->Add(u"地层" + IntToStr(i));
  f.Open();
  EXPECT_EQ(list->ItemCount(), 6);
  EXPECT_EQ(list->GetItemText(5), u"地层5");
  f.Close();
  f.Props()->Items()->Delete(0);
  f.Props()->Items()->Delete(0);
  f.Open();
  EXPECT_EQ(list->ItemCount(), 4);
  EXPECT_EQ(list->GetItemText(0), u"地层2");
}

TEST(cxEditListBox, RowSizesComeFromTheSampleTextAndTheItemTexts) {
  TListFixture f(3);
  f.Props()->Items()->Add(u"一个很长很长的地层名称");
  f.Open();
  TcxComboBoxListBox* list = f.List();
  const Integer sample = TextHeightInFont(list->Font(), u"Wg");
  EXPECT_EQ(list->GetDefaultItemHeight(), sample);
  EXPECT_EQ(list->ItemHeightOf(0), sample);
  EXPECT_EQ(list->GetHeight(5), 5 * sample);
  EXPECT_EQ(list->GetItemWidth(3), TextWidthInFont(list->Font(), u"一个很长很长的地层名称"));
  EXPECT_GT(list->GetItemWidth(3), list->GetItemWidth(0));
  f.Close();

  // A larger font gives taller rows.
  TFont font;
  font.Assign(f.Combo->Style()->Font());
  font.SetSize(font.Size() * 2);
  f.Combo->Style()->SetFont(&font);
  f.Open();
  const Integer larger = TextHeightInFont(list->Font(), u"Wg");
  EXPECT_GT(larger, sample);
  EXPECT_EQ(list->ItemHeightOf(0), larger);
}

TEST(cxEditListBox, HotTrackingFollowsTheMouseUnlessCapturedOrJustSetByCode) {
  TListFixture f(5);
  f.Combo->SetEditValue(String(u"地层0"));
  f.Open();
  TcxComboBoxListBox* list = f.List();
  ASSERT_EQ(list->ItemIndex(), 0);
  const HWND wnd = list->Handle();

  // The first move after opening (the list was positioned by code) is
  // passed over; the next ones select the row under the pointer.
  TestMouseMove(wnd, f.RowCentre(3));
  Application->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 0);
  TestMouseMove(wnd, f.RowCentre(2));
  Application->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(f.Combo->Text(), u"地层0");  // the selection only; the text waits
  EXPECT_TRUE(f.Combo->HasOpenPopup());

  // A step by key sets the row by code: the resting pointer does not take it back.
  f.Key(VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 3);
  TestMouseMove(wnd, f.RowCentre(2));
  Application->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 3);

  // While the list holds the capture, a move without a button tracks nothing.
  list->SetMouseCapture(true);
  TestMouseMove(wnd, f.RowCentre(1));
  Application->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 3);
  list->SetMouseCapture(false);
  TestMouseMove(wnd, f.RowCentre(1));
  Application->ProcessMessages();
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST(cxEditListBox, AClickOrSelectItemTellsTheOwnerAndClosesWithTheItem) {
  TListFixture f(4);
  f.Combo->SetEditValue(String(u"地层0"));
  f.Open();
  TcxComboBoxListBox* list = f.List();
  // Setting the row by code tells nobody.
  list->SetItemIndexByCode(2);
  EXPECT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), u"地层0");
  // Choosing the row that is already selected still counts as a choice.
  list->SelectItem(2);
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), u"地层2");
  EXPECT_TRUE(f.Combo->IsModified());

  f.Open();
  TestClick(list->Handle(), f.RowCentre(3));
  Application->ProcessMessages();
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), u"地层3");
  EXPECT_TRUE(f.Combo->Focused() || f.Combo->InnerEdit()->Focused());
}

TEST(cxEditListBox, ShowingTheListGivesItTheFocusLookWithoutTheFocus) {
  TListFixture f(3);
  f.Open();
  EXPECT_TRUE(f.List()->HasFocusLook());
  EXPECT_FALSE(f.List()->Focused());
  EXPECT_TRUE(f.Combo->InnerEdit()->Focused());
  EXPECT_TRUE(f.Combo->HasOpenPopup());
}

TEST(cxEditListBox, TheWheelScrollsBySystemLinesAndLeavesTheText) {
  const Integer kept = Mouse->WheelScrollLines();
  struct TCase {
    Integer Lines;
    Integer Notches;
    Integer Top;  // from the top index 6
  };
  for (const TCase& c : {TCase{3, -1, 9}, TCase{1, -2, 8}, TCase{2, 1, 4}, TCase{3, 3, 0}}) {
    SCOPED_TRACE(testing::Message() << c.Lines << " lines, " << c.Notches << " notches");
    TListFixture f(20);
    f.Props()->SetDropDownRows(5);
    f.Combo->SetEditValue(String(u"地层0"));
    f.Open();
    Mouse->SetWheelScrollLines(c.Lines);
    TcxComboBoxListBox* list = f.List();
    list->SetTopIndex(6);
    ASSERT_EQ(list->TopIndex(), 6);
    TestWheel(list->Handle(), f.RowCentre(6), c.Notches);
    Application->ProcessMessages();
    EXPECT_EQ(list->TopIndex(), c.Top);
    EXPECT_EQ(f.Combo->Text(), u"地层0");
    EXPECT_TRUE(f.Combo->HasOpenPopup());
    Mouse->SetWheelScrollLines(kept);
  }
}

TEST(cxEditListBox, TheDefaultDrawingIndentsOnTheReadingSideAndCentresTheText) {
  TListFixture f(0);
  f.Props()->Items()->Add(u"WWWW");
  f.Props()->Items()->Add(u"WWWW");
  f.Props()->SetItemHeight(40);
  f.Open();
  TcxComboBoxListBox* list = f.List();
  list->SetItemIndexByCode(1);
  for (bool rightToLeft : {false, true}) {
    SCOPED_TRACE(rightToLeft ? "right to left" : "left to right");
    list->SetReadingRightToLeft(rightToLeft);
    TBitmap picture(list->Width(), list->Height(), pf24bit);
    list->PaintTo(picture.Canvas()->Handle(), 0, 0);
    const TRect row = list->ItemRect(0);
    const Cardinal background = picture.PixelColor(row.Left, row.Top);
    EXPECT_EQ(background, ColorToRGB(list->Color()) & 0xFFFFFF);
    // The ink of the first row: columns and rows holding a text pixel.
    Integer inkLeft = row.Right, inkRight = row.Left - 1, inkTop = row.Bottom, inkBottom = row.Top - 1;
    for (Integer y = row.Top; y < row.Bottom; ++y)
      for (Integer x = row.Left; x < std::min(row.Right, list->ItemsArea().Right); ++x)
        if (picture.PixelColor(x, y) != background) {
          inkLeft = std::min(inkLeft, x);
          inkRight = std::max(inkRight, x);
          inkTop = std::min(inkTop, y);
          inkBottom = std::max(inkBottom, y);
        }
    ASSERT_LE(inkLeft, inkRight);
    const Integer width = std::min(row.Right, list->ItemsArea().Right) - row.Left;
    if (rightToLeft) {
      EXPECT_LE(inkRight, row.Left + width - 1 - cxEditListBoxTextIndent);
      EXPECT_GT(inkLeft, row.Left + width / 2);
    } else {
      EXPECT_GE(inkLeft, row.Left + cxEditListBoxTextIndent);
      EXPECT_LT(inkRight, row.Left + width / 2);
    }
    // Single line, in the middle of the 40-pixel row.
    EXPECT_NEAR((inkTop + inkBottom) / 2, (row.Top + row.Bottom) / 2, 3);
    // The selected row is filled with the highlight.
    const TRect selected = list->ItemRect(1);
    EXPECT_EQ(picture.PixelColor(selected.Left + 1, selected.Top + 1), ColorToRGB(clHighlight) & 0xFFFFFF);
  }
}

TEST(cxEditListBox, ADescendantChoosesTheListClassWhichIsMadeOnFirstUse) {
  TListFixture f(3);
  EXPECT_EQ(f.Combo->ListsCreated, 0);  // not made with the editor
  f.Open();
  EXPECT_EQ(f.Combo->ListsCreated, 1);
  ASSERT_NE(dynamic_cast<TCountingListBox*>(f.Combo->ListBox()), nullptr);
  f.Close();
  f.Open();
  EXPECT_EQ(f.Combo->ListsCreated, 1);
}

TEST(cxEditListBox, TheWindowIsRecreatedOnlyWhenMeasuringOrTheItemHeightChanged) {
  TListFixture f(3);
  f.Open();
  TCountingListBox* list = f.List();
  const Integer first = list->WindowsCreated;
  EXPECT_GE(first, 1);
  f.Close();
  struct TStep {
    const char* Name;
    std::function<void(TListFixture&)> Change;
    bool Recreates;
  };
  const TStep steps[] = {
      {"nothing changed", [](TListFixture&) {}, false},
      {"ItemHeight", [](TListFixture& F) { F.Props()->SetItemHeight(30); }, true},
      {"the same ItemHeight", [](TListFixture& F) { F.Props()->SetItemHeight(30); }, false},
      {"a measuring handler",
       [](TListFixture& F) {
         F.Props()->OnMeasureItem = TcxEditMeasureItemEvent(
             F.Form, [](TcxCustomComboBox*, Integer, TcxCanvas*, Integer& AHeight) { AHeight = 25; });
       },
       true},
      {"the rows' count", [](TListFixture& F) { F.Props()->Items()->Add(u"新"); }, false},
      {"no measuring handler", [](TListFixture& F) { F.Props()->OnMeasureItem = TcxEditMeasureItemEvent(); }, true},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    const Integer before = list->WindowsCreated;
    step.Change(f);
    f.Open();
    EXPECT_EQ(list->WindowsCreated - before, step.Recreates ? 1 : 0);
    f.Close();
  }
}

TEST(cxEditListBox, AListOutsideAPopupHasNoEditorAndDrawsEmptyRows) {
  TTestForm form(200, 200);
  auto* list = form.Place<TcxComboBoxListBox>(0, 0, 100, 100);
  form.ShowForm();
  EXPECT_EQ(list->GetEdit(), nullptr);
  EXPECT_EQ(list->GetLookupData(), nullptr);
  list->SyncItemCount();
  EXPECT_EQ(list->ItemCount(), 0);
  EXPECT_EQ(list->GetItemText(0), u"");
  list->Repaint();
  Application->ProcessMessages();
  form.FreeForm();
}
