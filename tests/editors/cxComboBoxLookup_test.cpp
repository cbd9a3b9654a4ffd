// The combo box over its lookup items beyond single keys: the wheel steps
// through the items of a closed editor, a typed completion posts with
// ImmediatePost, an emptied text clears the value, new free texts are told
// through OnNewLookupDisplayText, the open list's stepping with and
// without UpdateTextWhileListShown, and the current item following the
// text while the list is closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditRepositoryItems.h"
#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

const char16_t* const kRocks[] = {u"Apple granite", u"apricot schist", u"Basalt", u"Chalk"};

struct TLookupFixture : TTestForm {
  explicit TLookupFixture(TcxEditDropDownListStyle AStyle = lsEditList) : TTestForm(360, 260) {
    Combo = Place<TcxComboBox>(20, 20, 180, 24);
    Props()->SetDropDownListStyle(AStyle);
    for (const char16_t* item : kRocks) Props()->Items()->Add(item);
    ShowForm(Combo);
  }
  ~TLookupFixture() { FreeForm(); }
  TcxCustomComboBoxProperties* Props() { return static_cast<TcxCustomComboBoxProperties*>(Combo->Properties()); }
  String Value() { return VarToStr(Combo->EditValue()); }
  Integer Current() { return Combo->GetLookupData()->CurrentIndex(); }
  void Wheel(Integer ANotches) {
    TestWheel(Combo->InnerEdit()->Handle(), TPoint{10, 10}, ANotches);
    Application->ProcessMessages();
  }
  TcxComboBox* Combo;
};

// A combo box that writes down what its lookup data tells it, with the
// current item at that moment ("key 2", "select 2"), before the combo box
// acts on it.
class TRecordingComboBox : public TcxComboBox {
public:
  explicit TRecordingComboBox(TComponent* AOwner) : TcxComboBox(AOwner) {}
  std::vector<std::string> Log;

protected:
  void LookupCurrentKeyChanged(TObject* Sender) override {
    Log.push_back("key " + std::to_string(GetLookupData()->CurrentIndex()));
    TcxComboBox::LookupCurrentKeyChanged(Sender);
  }
  void LookupItemSelected(TObject* Sender) override {
    Log.push_back("select " + std::to_string(GetLookupData()->CurrentIndex()));
    TcxComboBox::LookupItemSelected(Sender);
  }
};

}  // namespace

TEST(cxComboBoxLookup, TheLookupDataTellsKeyChangesAndChosenRows) {
  struct TCase {
    const char* Name;
    const char16_t* From;  // the value before the steps
    // "down", "up", "open" (F4),
    // "pick:N" (a click on row N of the open list), "t:<text>" (typed).
    std::vector<std::string> Steps;
    std::vector<std::string> Told;
    const char16_t* Text;  // the text afterwards
  };
  const TCase cases[] = {
      {"a step down: the new key, once", kRocks[0], {"down"}, {"key 1"}, kRocks[1]},
      {"two steps: one key each", kRocks[0], {"down", "down"}, {"key 1", "key 2"}, kRocks[2]},
      {"a step up from the first item: nothing", kRocks[0], {"down", "up", "up"}, {"key 1", "key 0"}, kRocks[0]},
      {"a picked row: its key, then the choice", kRocks[0], {"open", "pick:2"}, {"key 0", "key 2", "select 2"}, kRocks[2]},
      {"the current row picked again: the choice alone", kRocks[1], {"down", "open", "pick:2"}, {"key 2", "select 2"}, kRocks[2]},
      {"opening on the current item tells nothing", kRocks[0], {"down", "open"}, {"key 1"}, kRocks[1]},
      {"opening on a free text: no item", u"granite", {"open"}, {}, u"granite"},
      {"a typed letter completing an item: its key", u"", {"t:b"}, {"key 2"}, kRocks[2]},
      {"typing on in the same item: nothing more", u"", {"t:b", "t:a"}, {"key 2"}, kRocks[2]},
      {"typing from one item to another: each key", u"", {"t:a", "t:pr"}, {"key 0", "key 1"}, kRocks[1]},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestForm f(360, 260);
    auto* combo = f.Place<TRecordingComboBox>(20, 20, 180, 24);
    auto* props = static_cast<TcxCustomComboBoxProperties*>(combo->Properties());
    for (const char16_t* item : kRocks) props->Items()->Add(item);
    f.ShowForm(combo);
    combo->SetEditValue(String(c.From));
    combo->SelectWholeText();
    combo->Log.clear();
    for (const std::string& step : c.Steps) {
      if (step == "down" || step == "up") {
        f.Key(step == "down" ? VK_DOWN : VK_UP);
      } else if (step == "open") {
        f.Key(VK_F4);
        ASSERT_TRUE(combo->HasOpenPopup());
      } else if (step.rfind("pick:", 0) == 0) {
        TcxComboBoxListBox* list = combo->ListBox();
        const TRect r = list->ItemRect(std::stoi(step.substr(5)));
        const TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        TestMousePress(list->Handle(), p);
        TestMouseRelease(list->Handle(), p);
        Application->ProcessMessages();
        EXPECT_FALSE(combo->HasOpenPopup());
      } else if (step.rfind("t:", 0) == 0) {
        f.Type(String(step.begin() + 2, step.end()));
      }
    }
    EXPECT_EQ(combo->Log, c.Told);
    EXPECT_EQ(combo->Text(), c.Text);
  }
}

TEST(cxComboBoxLookup, TheLookupDataTellsAChangeOnlyWhenTheCurrentItemMoves) {
  TcxComboBoxProperties props(nullptr);
  for (const char16_t* item : kRocks) props.Items()->Add(item);
  TcxCustomTextEditLookupData lookup(&props);
  std::vector<std::string> told;
  TObject owner;
  lookup.OnCurrentKeyChanged = TNotifyEvent(&owner, [&](TObject* Sender) {
    EXPECT_EQ(Sender, &lookup);
    told.push_back("key " + std::to_string(lookup.CurrentIndex()));
  });
  lookup.OnSelectItem = TNotifyEvent(&owner, [&](TObject*) { told.push_back("select " + std::to_string(lookup.CurrentIndex())); });
  lookup.SelectItemIndex(2);
  lookup.SelectItemIndex(2);   // stays: nothing
  lookup.SelectItemIndex(9);   // outside: ignored
  lookup.Locate(u"chalk");     // case-insensitive
  lookup.StepLookupItem(lsNext);  // the last stays
  lookup.SelectItem(3);        // chosen again: the choice alone
  lookup.SelectItem(-1);       // no row: nothing
  lookup.SelectItem(0);
  String text = u"zz", tail;
  lookup.FindTextItem(text, tail, false, false);  // free text: found nothing, none current
  EXPECT_EQ(told, (std::vector<std::string>{"key 2", "key 3", "select 3", "key 0", "select 0", "key -1"}));
  EXPECT_EQ(VarToStr(lookup.CurrentKey()), u"-1");
}

TEST(cxComboBoxLookup, TheWheelStepsThroughTheItemsOfAClosedEditor) {
  struct TCase {
    const char* Name;
    const char16_t* From;
    Integer Notches;
    const char16_t* Text;
  };
  const TCase cases[] = {
      {"down: the next", kRocks[1], -1, kRocks[2]},
      {"up: the previous", kRocks[1], 1, kRocks[0]},
      {"two notches down: two items", kRocks[0], -2, kRocks[2]},
      {"up from the first stays", kRocks[0], 1, kRocks[0]},
      {"down from no item: the first", u"", -1, kRocks[0]},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLookupFixture f;
    f.Combo->SetEditValue(String(c.From));
    f.Wheel(c.Notches);
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), c.Text);
    EXPECT_EQ(f.Combo->IsModified(), String(c.Text) != c.From);
  }
}

TEST(cxComboBoxLookup, TheWheelPostsWithImmediatePostAndStepsNothingReadOnly) {
  {
    SCOPED_TRACE("ImmediatePost");
    TLookupFixture f;
    f.Props()->SetImmediatePost(true);
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Wheel(-1);
    EXPECT_EQ(f.Value(), kRocks[1]);
    EXPECT_FALSE(f.Combo->IsModified());
  }
  {
    SCOPED_TRACE("read-only");
    TLookupFixture f;
    f.Props()->SetReadOnly(true);
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Wheel(-1);
    EXPECT_EQ(f.Combo->Text(), kRocks[0]);
    EXPECT_FALSE(f.Combo->IsModified());
  }
}

TEST(cxComboBoxLookup, ATypedCompletionPostsAtOnceWithImmediatePost) {
  for (bool immediatePost : {false, true}) {
    SCOPED_TRACE(immediatePost ? "ImmediatePost" : "posted on leaving");
    TLookupFixture f(lsEditFixedList);
    f.Props()->SetImmediatePost(immediatePost);
    f.Combo->SetEditValue(String(kRocks[2]));
    f.Combo->SelectWholeText();
    f.Type(u"a");
    EXPECT_EQ(f.Combo->Text(), kRocks[0]);
    EXPECT_EQ(f.Value(), immediatePost ? kRocks[0] : kRocks[2]);
    EXPECT_EQ(f.Combo->IsModified(), !immediatePost);
    // The completion is still selected, so typing goes on.
    f.Type(u"pr");
    EXPECT_EQ(f.Combo->Text(), kRocks[1]);
    EXPECT_EQ(f.Value(), immediatePost ? kRocks[1] : kRocks[2]);
  }
}

TEST(cxComboBoxLookup, AnEmptiedTextClearsTheValueExceptInTheFixedList) {
  struct TCase {
    TcxEditDropDownListStyle Style;
    const char16_t* Text;  // after Backspace over the whole text
    const char16_t* Value;  // after leaving
  };
  const TCase cases[] = {
      {lsEditList, u"", u""},
      {lsEditFixedList, u"", u""},
      {lsFixedList, kRocks[2], kRocks[2]},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Style);
    TLookupFixture f(c.Style);
    auto* other = f.Place<TcxComboBox>(20, 80, 180, 24);
    f.Combo->SetEditValue(String(kRocks[2]));
    f.Combo->SelectWholeText();
    f.Key(VK_BACK);
    EXPECT_EQ(f.Combo->Text(), c.Text);
    f.Focus(other);
    EXPECT_EQ(f.Value(), c.Value);
  }
}

TEST(cxComboBoxLookup, ANewFreeTextIsToldOwnHandlerFirstThenTheRepositoryItems) {
  TLookupFixture f(lsEditList);
  TcxEditRepository repository(nullptr);
  auto* item = static_cast<TcxEditRepositoryComboBoxItem*>(
      repository.CreateItem(TcxEditRepositoryComboBoxItem::StaticClass()));
  auto* itemProps = static_cast<TcxCustomComboBoxProperties*>(item->Properties());
  for (const char16_t* rock : kRocks) itemProps->Items()->Add(rock);
  auto* other = f.Place<TcxComboBox>(20, 80, 180, 24);
  std::vector<String> told;
  f.Props()->OnNewLookupDisplayText =
      TcxNewLookupDisplayTextEvent(f.Form, [&](TObject* Sender, const String& AText) {
        EXPECT_EQ(Sender, f.Combo);
        told.push_back(u"own:" + AText);
      });
  itemProps->OnNewLookupDisplayText =
      TcxNewLookupDisplayTextEvent(f.Form, [&](TObject*, const String& AText) { told.push_back(u"item:" + AText); });
  f.Combo->SetRepositoryItem(item);

  struct TCase {
    const char* Name;
    const char16_t* Typed;
    std::vector<String> Told;
  };
  const TCase cases[] = {
      {"no item", u"片麻岩", {u"own:片麻岩", u"item:片麻岩"}},
      {"an item", u"Chalk", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    told.clear();
    f.Focus(f.Combo);
    f.Combo->SelectWholeText();
    f.Commit(c.Typed);
    f.Focus(other);
    EXPECT_EQ(told, c.Told);
  }
  f.Combo->SetRepositoryItem(nullptr);
}

TEST(cxComboBoxLookup, ListStylesTellNoNewText) {
  for (TcxEditDropDownListStyle style : {lsEditFixedList, lsFixedList}) {
    SCOPED_TRACE(style);
    TLookupFixture f(style);
    Integer told = 0;
    f.Props()->OnNewLookupDisplayText =
        TcxNewLookupDisplayTextEvent(f.Form, [&](TObject*, const String&) { ++told; });
    f.Combo->SetEditValue(String(u"片麻岩"));
    f.Combo->SetEditValue(String(kRocks[3]));
    EXPECT_EQ(told, 0);
  }
}

TEST(cxComboBoxLookup, SteppingTheOpenListMovesTheTextOnlyWithUpdateTextWhileListShown) {
  for (bool update : {false, true}) {
    SCOPED_TRACE(update ? "text follows" : "selection only");
    TLookupFixture f;
    f.Props()->SetUpdateTextWhileListShown(update);
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    f.Key(VK_DOWN);
    f.Key(VK_DOWN);
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 2);
    EXPECT_EQ(f.Combo->Text(), update ? kRocks[2] : kRocks[0]);
    EXPECT_TRUE(f.Combo->HasOpenPopup());
    // Esc leaves the value the editor had.
    f.Key(VK_ESCAPE);
    EXPECT_EQ(f.Value(), kRocks[0]);
  }
}

TEST(cxComboBoxLookup, TheCurrentItemFollowsTheTextWhileClosedInTheListStyles) {
  struct TCase {
    TcxEditDropDownListStyle Style;
    Integer Current;  // after pasting an item's text over the first item
  };
  for (const TCase& c : {TCase{lsEditFixedList, 3}, TCase{lsFixedList, 3}, TCase{lsEditList, 0}}) {
    SCOPED_TRACE(c.Style);
    TLookupFixture f(c.Style);
    f.Props()->SetImmediateDropDown(false);
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Combo->GetLookupData()->SelectItemIndex(0);
    f.Combo->SelectWholeText();
    Clipboard()->SetAsText(String(kRocks[3]));
    f.Key('V', tkCtrl);
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), kRocks[3]);
    EXPECT_EQ(f.Current(), c.Current);
    // Opening the list always shows the item the text names.
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 3);
    f.Key(VK_ESCAPE);
  }
}

TEST(cxComboBoxLookup, TheSelectionTheEditorReportsByListStyle) {
  struct TCase {
    const char* Name;
    TcxEditDropDownListStyle Style;
    std::vector<Word> Keys;  // from kRocks[1], whole text selected
    Integer SelStart, SelLength;
  };
  const Integer whole = static_cast<Integer>(String(kRocks[2]).size());
  const TCase cases[] = {
      {"fixed list: a step selects the whole item", lsFixedList, {VK_DOWN}, 0, whole},
      {"fixed list: Left ends the select mode", lsFixedList, {VK_DOWN, VK_LEFT}, 0, 0},
      {"fixed list: Right ends it too", lsFixedList, {VK_DOWN, VK_RIGHT}, 0, 0},
      {"fixed list: a new step starts it again", lsFixedList, {VK_DOWN, VK_LEFT, VK_UP, VK_DOWN}, 0, whole},
      {"free list: Left collapses to the start", lsEditList, {VK_DOWN, VK_LEFT}, 0, 0},
      {"free list: Right collapses to the end", lsEditList, {VK_DOWN, VK_RIGHT}, whole, 0},
      {"free list: the step's selection", lsEditList, {VK_DOWN}, 0, whole},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLookupFixture f(c.Style);
    f.Combo->SetEditValue(String(kRocks[1]));
    f.Combo->SelectWholeText();
    for (Word key : c.Keys) f.Key(key);
    EXPECT_EQ(f.Combo->Text(), kRocks[2]);
    EXPECT_EQ(f.Combo->SelStart(), c.SelStart);
    EXPECT_EQ(f.Combo->SelLength(), c.SelLength);
  }
}

TEST(cxComboBoxLookup, AFixedListReportsNoSelectionAfterTypingOrWithoutEditing) {
  {
    SCOPED_TRACE("typed completion in the fixed list");
    TLookupFixture f(lsFixedList);
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Type(u"b");
    EXPECT_EQ(f.Combo->Text(), kRocks[2]);
    EXPECT_GT(f.Combo->Model()->SelLength(), 0);  // the completion is shown selected
    EXPECT_EQ(f.Combo->SelLength(), 0);
  }
  {
    SCOPED_TRACE("no editing");
    TLookupFixture f;
    f.Props()->SetHideCursor(true);
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Combo->SelectWholeText();
    EXPECT_EQ(f.Combo->SelStart(), 0);
    EXPECT_EQ(f.Combo->SelLength(), 0);
  }
  {
    SCOPED_TRACE("Enter selects the stepped item whole again");
    TLookupFixture f(lsFixedList);
    f.Props()->SetValidateOnEnter(false);  // Enter reaches the text
    f.Combo->SetEditValue(String(kRocks[0]));
    f.Key(VK_DOWN);
    f.Combo->SetSelection(1, 2);
    f.Key(VK_RETURN);
    EXPECT_EQ(f.Combo->SelStart(), 0);
    EXPECT_EQ(f.Combo->SelLength(), static_cast<Integer>(String(kRocks[1]).size()));
  }
}

TEST(cxComboBoxLookup, TheFirstEscAfterACompletionOnlyEndsTheCompletion) {
  TLookupFixture f(lsEditFixedList);
  f.Props()->SetImmediateDropDown(false);  // Esc would close the list first
  f.Combo->SetEditValue(String(kRocks[2]));
  f.Combo->SelectWholeText();
  f.Type(u"c");
  ASSERT_EQ(f.Combo->Text(), kRocks[3]);
  ASSERT_TRUE(f.Combo->Model()->LookupPending());
  f.Key(VK_ESCAPE);
  EXPECT_FALSE(f.Combo->Model()->LookupPending());
  EXPECT_EQ(f.Combo->Text(), kRocks[3]);
  EXPECT_TRUE(f.Combo->IsModified());
  // The next Esc reverts the typing.
  f.Key(VK_ESCAPE);
  EXPECT_FALSE(f.Combo->IsModified());
  EXPECT_NE(f.Combo->Text(), kRocks[3]);
}
