// The most-recently-used editor: the list's order, duplicates and limit,
// when an entered text joins it, and the ellipsis button.
#include "editors/cxMRUEdit.h"

#include "editors/cxEditRepository.h"
#include "platform/gui/bitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/encoding.h"

namespace {

std::vector<String> ListOf(TcxCustomMRUEditProperties& AProperties) {
  std::vector<String> result;
  for (Integer i = 0; i < AProperties.Items()->Count(); ++i) result.push_back(AProperties.Items()->Strings(i));
  return result;
}

std::string Joined(const std::vector<String>& AList) {
  std::string result;
  for (const String& s : AList) result += StringToUTF8(s) + ",";
  return result;
}

}  // namespace

TEST(cxMRUEdit, TheListKeepsNewestFirstWithoutDuplicates) {
  struct TCase {
    Integer MaxItemCount;
    std::vector<String> Added;
    std::vector<String> Expected;
  };
  const TCase cases[] = {
      {3, {u"a", u"b", u"c", u"d"}, {u"d", u"c", u"b"}},
      {3, {u"a", u"b", u"c", u"b"}, {u"b", u"c", u"a"}},      // moves up, not repeated
      {3, {u"a", u"b", u"c", u"A"}, {u"a", u"c", u"b"}},      // the list's search ignores case
      {0, {u"a", u"b", u"c", u"d", u"e"}, {u"e", u"d", u"c", u"b", u"a"}},  // unlimited
      {2, {u"a", u"", u"b", u""}, {u"b", u"a"}},              // empty texts are ignored
      {1, {u"a", u"a", u"a"}, {u"a"}},
      {-5, {u"a", u"b"}, {u"b", u"a"}},                        // stored as 0
      {3, {u"花岗岩", u"玄武岩", u"花岗岩"}, {u"花岗岩", u"玄武岩"}},
  };
  for (const TCase& c : cases) {
    TcxMRUEditProperties p(nullptr);
    p.SetMaxItemCount(c.MaxItemCount);
    EXPECT_GE(p.MaxItemCount(), 0);
    for (const String& text : c.Added) p.AddItem(text);
    EXPECT_EQ(ListOf(p), c.Expected) << Joined(c.Added) << " max " << c.MaxItemCount << " gave " << Joined(ListOf(p));
  }
}

TEST(cxMRUEdit, ASortedListKeepsItsOrder) {
  TcxMRUEditProperties p(nullptr);
  p.SetLookupItemsSorted(true);
  p.SetMaxItemCount(3);
  for (const char16_t* text : {u"delta", u"alpha", u"charlie", u"alpha", u"bravo"}) p.AddItem(text);
  EXPECT_EQ(ListOf(p), (std::vector<String>{u"alpha", u"bravo", u"charlie"}));
}

TEST(cxMRUEdit, SettingALimitCutsAtOnceAndSettingsCopy) {
  TcxMRUEditProperties p(nullptr);
  for (const char16_t* text : {u"a", u"b", u"c", u"d"}) p.AddItem(text);
  p.SetMaxItemCount(2);
  EXPECT_EQ(ListOf(p), (std::vector<String>{u"d", u"c"}));
  p.SetMaxItemCount(0);
  p.AddItem(u"e");
  EXPECT_EQ(ListOf(p), (std::vector<String>{u"e", u"d", u"c"}));

  // The ellipsis is button 1, the default one; ShowEllipsis hides it.
  ASSERT_EQ(p.Buttons()->Count(), 2);
  EXPECT_EQ(p.Buttons()->GetButton(1)->Kind(), bkEllipsis);
  EXPECT_TRUE(p.Buttons()->GetButton(1)->Default());
  EXPECT_EQ(p.DropDownListStyle(), lsEditList);
  p.SetShowEllipsis(false);
  EXPECT_FALSE(p.Buttons()->GetButton(1)->Visible());
  EXPECT_EQ(p.Buttons()->VisibleCount(), 1);

  TcxMRUEditProperties copy(nullptr);
  p.SetMaxItemCount(5);
  copy.Assign(&p);
  EXPECT_EQ(copy.MaxItemCount(), 5);
  EXPECT_FALSE(copy.ShowEllipsis());
  EXPECT_FALSE(copy.Buttons()->GetButton(1)->Visible());
  TcxMRUEditProperties other(nullptr);
  p.CopyExtraDataTo(&other);
  EXPECT_EQ(ListOf(other), ListOf(p));
}

namespace {

struct TMRUFixture : TTestForm {
  TMRUFixture() : TTestForm(360, 200) {
    Edit = Place<TcxMRUEdit>(20, 20, 200, 24);
    ShowForm(Edit);
  }
  TcxMRUEditProperties* Props() { return static_cast<TcxMRUEditProperties*>(Edit->Properties()); }
  // Types AText over the whole text.
  void Type(const String& AText) {
    Edit->SelectWholeText();
    TTestForm::Type(AText);
  }
  TcxMRUEdit* Edit;

};

}  // namespace

TEST(cxMRUEdit, EnteredTextsJoinTheListWhenPosted) {
  TMRUFixture f;
  f.Props()->SetMaxItemCount(3);
  for (const char16_t* text : {u"a", u"b", u"c", u"d", u"b"}) {
    f.Type(text);
    EXPECT_TRUE(f.Edit->PostEditValue());
  }
  EXPECT_EQ(ListOf(*f.Props()), (std::vector<String>{u"b", u"d", u"c"}));
  // A read-only editor adds nothing.
  f.Props()->SetReadOnly(true);
  f.Edit->SetEditValue(String(u"z"));
  f.Edit->SetModified(true);
  f.Edit->PostEditValue();
  EXPECT_EQ(ListOf(*f.Props()), (std::vector<String>{u"b", u"d", u"c"}));
}

TEST(cxMRUEdit, AValidatedTextJoinsTheListWhenItChanged) {
  TMRUFixture f;
  f.Edit->SetEditValue(String(u"granite"));
  // The text the editor had when the user entered it.
  auto* other = new TcxMRUEdit(f.Form);
  other->SetBounds(20, 60, 200, 24);
  other->SetParent(f.Form);
  other->SetFocus();
  Application->ProcessMessages();
  f.Edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(f.Edit->TextOnEnter(), u"granite");
  f.Edit->SetModified(true);
  EXPECT_TRUE(f.Edit->ValidateAndMark());
  EXPECT_TRUE(ListOf(*f.Props()).empty());  // unchanged: not added
  f.Type(u"basalt");
  EXPECT_TRUE(f.Edit->ValidateAndMark());
  EXPECT_EQ(ListOf(*f.Props()), (std::vector<String>{u"basalt"}));
}

TEST(cxMRUEdit, TheEllipsisButtonReportsItsClicks) {
  TMRUFixture f;
  std::vector<Integer> clicks;
  f.Props()->TcxCustomEditProperties::OnButtonClick =
      TcxEditButtonClickEvent(&clicks, [&clicks](TObject*, Integer AIndex) { clicks.push_back(AIndex); });
  // Ctrl+Enter clicks the default button, the ellipsis.
  TestKey(VK_RETURN, u"", tkCtrl);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, (std::vector<Integer>{cxMRUEllipsisButtonIndex}));
}

TEST(cxMRUEdit, TheKindRegisters) {
  cxMRUEditInitialize();
  cxMRUEditInitialize();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxMRUEditProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)),
            u"MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown "
            u"window");
  EXPECT_EQ(cls->GetEditorClass(), TcxMRUEdit::StaticClass());
  cxMRUEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxMRUEditProperties"), nullptr);
}

// The ellipsis button (when shown) or else the drop-down button carries a
// button glyph and shows it (kind bkGlyph); without a glyph they are an
// ellipsis and an arrow.
TEST(cxMRUEdit, ButtonKindsFollowTheGlyph) {
  EnsureGuiRuntime();
  TcxMRUEditProperties p(nullptr);
  TBitmap glyph(8, 8, pf24bit);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
  struct {
    bool ShowEllipsis, Glyph;
    TcxEditButtonKind Down, Ellipsis;
  } const cases[] = {
      {true, false, bkDown, bkEllipsis},
      {true, true, bkDown, bkGlyph},
      {false, true, bkGlyph, bkEllipsis},
      {false, false, bkDown, bkEllipsis},
      {true, true, bkDown, bkGlyph},  // shown again: the glyph goes back to the ellipsis button
  };
  for (const auto& c : cases) {
    p.SetShowEllipsis(c.ShowEllipsis);
    p.SetButtonGlyph(c.Glyph ? &glyph : nullptr);
    SCOPED_TRACE(std::to_string(c.ShowEllipsis) + std::to_string(c.Glyph));
    EXPECT_EQ(p.Buttons()->GetButton(0)->Kind(), c.Down);
    EXPECT_EQ(p.Buttons()->GetButton(cxMRUEllipsisButtonIndex)->Kind(), c.Ellipsis);
    EXPECT_EQ(p.ButtonGlyph() != nullptr, c.Glyph);
  }
}

// The ellipsis click fires the MRU OnButtonClick of the editor's own
// properties, then of its repository item's (the drop-down button does not).
TEST(cxMRUEdit, OwnButtonClickEventsRunOwnThenTheRepositoryItems) {
  TMRUFixture f;
  TcxEditRepository repository(nullptr);
  auto* item = repository.CreateItem(TcxEditRepositoryMRUItem::StaticClass());
  std::vector<std::string> calls;
  f.Props()->OnButtonClick = TNotifyEvent(&calls, [&calls](TObject*) { calls.push_back("own"); });
  static_cast<TcxCustomMRUEditProperties*>(item->Properties())->OnButtonClick =
      TNotifyEvent(&repository, [&calls](TObject*) { calls.push_back("item"); });
  f.Edit->SetRepositoryItem(item);
  f.Edit->DoButtonClick(0);
  EXPECT_TRUE(calls.empty());
  f.Edit->DoButtonClick(cxMRUEllipsisButtonIndex);
  EXPECT_EQ(calls, (std::vector<std::string>{"own", "item"}));
  f.Edit->SetRepositoryItem(nullptr);
}

// A Revertable editor's double click cycles to the next item and posts it
// (ImmediatePost): the list keeps its order; a posted typed text still
// joins it.
TEST(cxMRUEdit, ADoubleClickCycleIsNotAddedToTheList) {
  TMRUFixture f;
  f.Props()->Items()->Add(u"a");
  f.Props()->Items()->Add(u"b");
  f.Props()->Items()->Add(u"c");
  f.Props()->SetRevertable(true);
  f.Props()->SetImmediatePost(true);
  f.Edit->SetEditValue(String(u"a"));
  f.Edit->SetFocus();
  f.Edit->DblClick();
  EXPECT_EQ(StringToUTF8(f.Edit->Text()), "b");
  EXPECT_EQ(Joined(ListOf(*f.Props())), "a,b,c,");
  f.Type(u"c");
  EXPECT_TRUE(f.Edit->PostEditValue());
  EXPECT_EQ(Joined(ListOf(*f.Props())), "c,a,b,");
}
