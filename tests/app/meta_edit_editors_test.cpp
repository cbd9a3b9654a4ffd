// Editing the elements of a record in the editing window as a user does:
// the editor of each element follows its tag, and what is typed reaches
// the record.
#include <gtest/gtest.h>

#include "app/meta_edit.h"
#include "editors/cxBlobEdit.h"
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxDateEdit.h"
#include "editors/cxLookupGrid.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/datetime.h"
#include "tests/app/maintestutil.h"
#include "treelist/cxEditingControl.h"
#include "treelist/cxTLViewInfo.h"

namespace {

using namespace app_test;

// Elements of the shipped template with the editors under test.
constexpr const char16_t* DateElement = u"01010301";      // 日期, tag 8
constexpr const char16_t* CodeListElement = u"01010302";  // 日期类型, tag 12
constexpr const char16_t* MemoElement = u"0102";          // 摘要, tag 9

struct TEditFixture : TMainFixture {
  TEditFixture() {
    NewThroughToolbar(false);
    W = frm_meta_edit;
    Tree = W->cxDBTreeList1;
    Content = W->cxDBTreeList1cxDBTreeListColumn6;
    Application->ProcessMessages();
  }
  TcxTreeListDataNode* Node(const String& Code) const {
    const Integer code = W->cxDBTreeList1cxDBTreeListColumn3->ItemIndex();
    return dynamic_cast<TcxTreeListDataNode*>(
        Tree->FindNode([&](TcxTreeListNode* N) { return N->Values(code).AsString() == Code; }, nullptr, true, false));
  }
  // Focuses the element's content cell and opens its editor.
  TcxCustomEdit* Open(const String& Code) {
    TcxTreeListDataNode* node = Node(Code);
    if (!node) throw std::runtime_error("no element " + U8(Code));
    node->MakeVisible();
    Tree->SetFocusedNode(node);
    Tree->SetFocus();
    Content->SetItemFocused(true);
    Tree->EditingController()->ActivateCellEditor(Content);
    Application->ProcessMessages();
    return Tree->EditingController()->Edit();
  }
  void Press(Word AKey, Cardinal AModifiers = 0) {
    TestKey(AKey, u"", AModifiers);
    Application->ProcessMessages();
  }
  // Text as an input method hands it over.
  void Type(const String& Text) {
    TestInputMethodCommit(Text);
    Application->ProcessMessages();
  }
  std::string Stored(const String& Code) const {
    return One("select content from t_metadata where meta_id='" + Key() + "' and code='" + U8(Code) + "'");
  }
  // The text the element's content cell shows.
  String Shown(const String& Code) {
    Tree->LayoutChanged();
    const Integer record = Node(Code)->RecordIndex();
    for (TcxEditCellViewInfo* cell : Tree->ViewInfo()->EditCells())
      if (cell->GetItem() == Content && cell->GetRecordIndex() == record) return cell->GetDisplayText();
    return u"<no cell>";
  }
  bool Editing() const { return Tree->EditingController()->IsEditing(); }

  Tfrm_meta_edit* W = nullptr;
  TcxDBTreeList* Tree = nullptr;
  TcxDBTreeListColumn* Content = nullptr;
};

TEST(ElementEditors, TheFirstItemWithTheElementsTagEditsIt) {
  TEditFixture f;
  struct {
    Variant Tag;
    const char16_t* Item;  // nullptr: the column's own editor
  } cases[] = {
      {Variant(1), u"cxEditRepository1TextItem1"},  {Variant(2), u"cxEditRepository1TextItem2"},
      {Variant(4), u"cxEditRepository1MaskItem2"},  {Variant(6), u"cxEditRepository1MaskItem4"},
      {Variant(7), u"cxEditRepository1TextItem3"},  {Variant(8), u"cxEditRepository1DateItem2"},
      {Variant(9), u"cxEditRepository1BlobItem1"},  {Variant(0), u"cxEditRepository1ComboBoxItem1"},
      {Variant(10), u"cxEditRepository1LookupComboBoxItem1"},
      {Variant(30), u"cxEditRepository1LookupComboBoxItem21"},
      {Null(), nullptr},
      {Variant(31), nullptr},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(U8(VarToStr(c.Tag)));
    TcxEditRepositoryItem* item = f.W->ElementEditor(c.Tag);
    if (!c.Item) {
      EXPECT_EQ(item, nullptr);
      continue;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Name(), c.Item);
  }
  // A code list element's editor lists its own code list, stores the code
  // and shows the Chinese name.
  auto* lookup = dynamic_cast<TcxLookupComboBoxProperties*>(f.W->ElementEditor(Variant(12))->Properties());
  ASSERT_NE(lookup, nullptr);
  EXPECT_EQ(lookup->ListSource(), dm_list->ds_list(12));
  EXPECT_EQ(lookup->KeyFieldNames(), u"code");
  EXPECT_EQ(lookup->ListFieldNames(), u"code;cname");
  EXPECT_EQ(lookup->ListFieldIndex(), 1);
  // The cell of a read-only element and a date element take their items.
  EXPECT_EQ(f.Content->GetCellProperties(f.Node(DateElement)->RecordIndex()),
            f.W->ElementEditor(Variant(8))->Properties());
}

// Each element's editor opens over its whole content cell in the cell's
// font and colours: taking the look of the cell must not size it anew.
TEST(ElementEditors, EachEditorCoversItsCellInTheCellsLook) {
  TEditFixture f;
  for (const char16_t* code : {TitleElementCode, DateElement, CodeListElement, MemoElement}) {
    TcxCustomEdit* edit = f.Open(code);
    ASSERT_NE(edit, nullptr) << U8(code);
    f.Tree->Repaint();
    Application->ProcessMessages();
    TcxTreeListNodeViewInfo* row = f.Tree->TreeListViewInfo()->RowOfNode(f.Node(code));
    ASSERT_NE(row, nullptr) << U8(code);
    TcxTreeListEditCellViewInfo* cell = row->CellOfColumn(f.Content);
    ASSERT_NE(cell, nullptr) << U8(code);
    EXPECT_EQ(edit->BoundsRect(), cell->EditRect()) << U8(code);
    EXPECT_GT(edit->Width(), 200) << U8(code) << ": the content column is wide";
    ASSERT_NE(cell->ViewParams().Font, nullptr);
    EXPECT_EQ(edit->Style()->Font()->Height(), cell->ViewParams().Font->Height()) << U8(code);
    EXPECT_EQ(edit->Style()->Font()->Name(), cell->ViewParams().Font->Name()) << U8(code);
    EXPECT_EQ(edit->Style()->Color(), cell->ViewParams().Color) << U8(code);
    f.Press(VK_ESCAPE);
  }
}

TEST(ElementEditors, ATypedTextIsStoredAndTheTitleGoesToTheRecordList) {
  TEditFixture f;
  ASSERT_NE(f.Open(TitleElementCode), nullptr);
  f.Type(u"冻土分布图");
  f.Press(VK_RETURN);
  EXPECT_FALSE(f.Editing());
  EXPECT_EQ(f.Stored(TitleElementCode), "冻土分布图");
  EXPECT_EQ(f.One("select meta_name from t_metakind where meta_id='" + f.Key() + "'"), "冻土分布图");
  EXPECT_EQ(f.Shown(TitleElementCode), u"冻土分布图");
}

// A date is typed in the locale's form, stored as ISO 8601 text and shown
// in the locale's form again; a text that is no date keeps the editor open,
// the user is told why and nothing is stored.
TEST(ElementEditors, DatesAreStoredAsIsoTextAndShownInTheLocalesForm) {
  TEditFixture f;
  struct {
    TDateTime Typed;
    const char* Stored;
  } cases[] = {{EncodeDateTime(2023, 11, 5, 14, 30, 15, 0), "2023-11-05T14:30:15"},
               {EncodeDate(2024, 2, 29), "2024-02-29"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.Stored);
    auto* editor = dynamic_cast<TcxCustomDateEdit*>(f.Open(DateElement));
    ASSERT_NE(editor, nullptr);
    // The editing form of the locale, as the editor's mask takes it.
    auto* properties = static_cast<TcxCustomDateEditProperties*>(editor->ActiveProperties());
    const String typed = properties->DateEditValueToText(VarFromDateTime(c.Typed), true);
    f.Press(Word('A'), tkCtrl);
    TestTypeText(typed);
    Application->ProcessMessages();
    f.Press(VK_RETURN);
    EXPECT_FALSE(f.Editing());
    EXPECT_EQ(f.Stored(DateElement), c.Stored);
    EXPECT_EQ(f.Shown(DateElement), DateTimeToStr(c.Typed));
  }
  // The stored ISO text comes back into the editor as that date.
  TcxCustomEdit* editor = f.Open(DateElement);
  EXPECT_EQ(VarToDateTime(editor->EditValue()), EncodeDate(2024, 2, 29));
  f.Press(Word('A'), tkCtrl);
  TestTypeText(u"13/45/2024 10:00:00 AM");  // the mask takes it; no such day
  Application->ProcessMessages();
  f.Press(VK_RETURN);
  // The editor stays open on the text, nothing reaches the record, and
  // ending the edit tells why.
  EXPECT_TRUE(f.Editing());
  EXPECT_EQ(f.Stored(DateElement), "2024-02-29");
  try {
    f.Tree->EditingController()->EndCellEdit(true);
    ADD_FAILURE() << "an invalid date was accepted";
  } catch (Exception& e) {
    EXPECT_EQ(e.Message, u"Invalid Date");
  }
  EXPECT_TRUE(f.Editing());
  f.Press(VK_ESCAPE);
  EXPECT_FALSE(f.Editing());
}

TEST(ElementEditors, IsoTextReadsOnlyWholeValidDates) {
  struct {
    const char16_t* Text;
    bool Valid;
  } cases[] = {{u"2024-02-29", true},          {u"2023-02-29", false},          {u"2024-13-01", false},
               {u"2024-1-01", false},          {u"2024-01-01T24:00:00", false}, {u"2024-01-01 10:00:00", false},
               {u"2024-01-01T10:00:00", true}, {u"", false},                    {u"2024/01/01", false}};
  for (auto& c : cases) {
    SCOPED_TRACE(U8(c.Text));
    TDateTime date = 0;
    EXPECT_EQ(IsoTextToDateTime(c.Text, date), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(DateTimeToIsoText(date), c.Text);
    }
  }
  EXPECT_EQ(DateTimeToIsoText(EncodeDateTime(2024, 1, 2, 0, 0, 0, 0)), u"2024-01-02");
}

TEST(ElementEditors, AMemoIsEditedInItsPopup) {
  TEditFixture f;
  auto* editor = dynamic_cast<TcxCustomBlobEdit*>(f.Open(MemoElement));
  ASSERT_NE(editor, nullptr);
  // A long text's editor drops its memo down as soon as it is activated.
  Application->ProcessMessages();
  ASSERT_TRUE(editor->HasOpenPopup());
  TestInputMethodCommit(u"第一行");
  f.Press(VK_RETURN);  // a line break in the memo
  TestInputMethodCommit(u"第二行");
  Application->ProcessMessages();
  f.Press(VK_RETURN, tkCtrl);  // accepts the popup
  EXPECT_FALSE(editor->HasOpenPopup());
  f.Press(VK_RETURN);
  EXPECT_FALSE(f.Editing());
  EXPECT_EQ(f.Stored(MemoElement), "第一行\r\n第二行");
}

TEST(ElementEditors, ACodeListElementStoresTheCodeAndShowsTheChineseName) {
  TEditFixture f;
  auto* editor = dynamic_cast<TcxCustomLookupComboBox*>(f.Open(CodeListElement));
  ASSERT_NE(editor, nullptr);
  f.Type(u"修订");  // the Chinese name of code 003
  f.Press(VK_RETURN);
  EXPECT_FALSE(f.Editing());
  EXPECT_EQ(f.Stored(CodeListElement), "003");
  EXPECT_EQ(f.Shown(CodeListElement), u"修订");
}

// Two kinds of in-place editor opened in the content column (the date
// editor keeps a popup size per column, the text editor takes that data
// over) and left with Esc: whatever command then ends or replaces the
// record, the cached editors and the data they kept go without a read of
// freed memory (the address checker stops the run on one).
TEST(ElementEditors, EditorsOpenedInTurnGoSafelyWithTheRecord) {
  using enum TRecordCommand;
  for (TRecordCommand command : {CloseWindow, New, Open, Clear, Compact, Exit}) {
    SCOPED_TRACE(static_cast<int>(command));
    TEditFixture f;
    ASSERT_NE(dynamic_cast<TcxCustomDateEdit*>(f.Open(DateElement)), nullptr);
    f.Press(VK_ESCAPE);
    ASSERT_NE(f.Open(TitleElementCode), nullptr);
    f.Press(VK_ESCAPE);
    ASSERT_FALSE(f.Editing());
    TUserScript user;
    f.Script.Answers = {IDYES};
    if (command == New) user.Kind(false);
    if (command == Open) user.OpenFromList(f.Key());
    if (command == CloseWindow)
      f.Run([] { frm_meta_edit->Close(); });
    else
      EXPECT_TRUE(f.RunRecordCommand(command));
    // The program's end frees the editing window with the rest.
    if (frm_meta_edit) frm_meta_edit->Free();
    Application->ProcessMessages();
    EXPECT_EQ(frm_meta_edit, nullptr);
  }
}

// Every command that leaves, reloads or walks the record.
constexpr TRecordCommand RecordCommands[] = {
    TRecordCommand::Exit,    TRecordCommand::CloseWindow, TRecordCommand::New,     TRecordCommand::Open,
    TRecordCommand::Import,  TRecordCommand::Clear,       TRecordCommand::Compact, TRecordCommand::Output,
    TRecordCommand::SaveAs,  TRecordCommand::Preview,     TRecordCommand::Check};

// Runs the command with every dialog it asks left without a change.
bool RunRecordCommand(TEditFixture& f, TRecordCommand Command) {
  TUserScript user;
  if (Command == TRecordCommand::New) user.Kind(false, false);
  if (Command == TRecordCommand::Open) user.OpenFromList("");
  return f.RunRecordCommand(Command);
}

// A text typed into the open editor and not confirmed with Enter reaches
// the record before each command.
TEST(ElementEditors, WhatIsTypedWithoutEnterIsStoredBeforeEachCommand) {
  for (TRecordCommand command : RecordCommands) {
    SCOPED_TRACE(static_cast<int>(command));
    TEditFixture f;
    ASSERT_NE(f.Open(TitleElementCode), nullptr);
    f.Type(u"冻土分布图");
    ASSERT_TRUE(f.Editing());
    EXPECT_TRUE(RunRecordCommand(f, command));
    EXPECT_FALSE(f.Editing());
    EXPECT_EQ(f.Stored(TitleElementCode), "冻土分布图");
    EXPECT_EQ(f.One("select meta_name from t_metakind where meta_id='" + f.Key() + "'"), "冻土分布图");
  }
}

// A typed value the editor refuses keeps the editor open on it with the
// reason shown, and the command stops before it asks or does anything.
TEST(ElementEditors, AnInvalidTypedValueStopsEachCommandWithItsReason) {
  for (TRecordCommand command : RecordCommands) {
    SCOPED_TRACE(static_cast<int>(command));
    TEditFixture f;
    ASSERT_NE(f.Open(DateElement), nullptr);
    f.Press(Word('A'), tkCtrl);
    TestTypeText(u"13/45/2024 10:00:00 AM");  // the mask takes it; no such day
    Application->ProcessMessages();
    const std::string key = f.Key();
    const std::string before = f.Stored(DateElement);
    const bool went = RunRecordCommand(f, command);
    if (command == TRecordCommand::Exit || command == TRecordCommand::CloseWindow) {
      EXPECT_FALSE(went);
    }
    EXPECT_TRUE(f.Editing());
    ASSERT_NE(frm_meta_edit, nullptr);
    EXPECT_EQ(f.Key(), key);
    EXPECT_EQ(f.Script.Texts(), std::vector<String>{u"Invalid Date."});
    EXPECT_EQ(f.Script.OpenAsked + f.Script.SaveAsked, 0);
    EXPECT_TRUE(f.Opened.empty());
    EXPECT_EQ(f.Stored(DateElement), before);
    f.Press(VK_ESCAPE);
  }
}

// A code chosen in the drop-down is stored and its Chinese name shown,
// whether chosen with the keyboard or with the mouse.
TEST(ElementEditors, ACodeChosenInTheDropDownIsStoredByKeyboardAndMouse) {
  enum TWay { Keyboard, Mouse };
  for (TWay way : {Keyboard, Mouse}) {
    SCOPED_TRACE(way);
    TEditFixture f;
    auto* editor = dynamic_cast<TcxCustomLookupComboBox*>(f.Open(CodeListElement));
    ASSERT_NE(editor, nullptr);
    f.Press(VK_DOWN, tkAlt);
    ASSERT_TRUE(editor->HasOpenPopup());
    auto* list = dynamic_cast<TcxCustomLookupGrid*>(editor->ActiveComboBoxProperties()->GetListControl());
    ASSERT_NE(list, nullptr);
    if (way == Keyboard) {
      // The rows are codes 001, 002, 003: down to the last one, then Enter.
      for (int i = 0; i < 3; ++i) f.Press(VK_DOWN);
      f.Press(VK_RETURN);
    } else {
      const TcxLookupGridRowViewInfo* row = list->ViewInfo()->FindRow(2);
      ASSERT_NE(row, nullptr);
      TestClick(list->Handle(), TPoint{(row->Bounds.Left + row->Bounds.Right) / 2, (row->Bounds.Top + row->Bounds.Bottom) / 2});
      Application->ProcessMessages();
    }
    EXPECT_FALSE(editor->HasOpenPopup());
    EXPECT_EQ(editor->Text(), u"修订");
    // Enter took the row and ended the edit; after a click the editor
    // stays open until Enter.
    if (way == Mouse) {
      EXPECT_TRUE(f.Editing());
      f.Press(VK_RETURN);
    }
    EXPECT_FALSE(f.Editing());
    EXPECT_EQ(f.Stored(CodeListElement), "003");
    EXPECT_EQ(f.Shown(CodeListElement), u"修订");
  }
}

}  // namespace
