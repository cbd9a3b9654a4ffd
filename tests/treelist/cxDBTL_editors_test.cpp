// The default editor of a dataset-bound column: a column without own
// properties and without a repository item edits with the editor that the
// field-type registry gives for its field, over a SQLite table with one
// column of each declared type.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editors/cxEdit.h"
#include "editors/cxEditRepositoryItems.h"
#include "editors/cxEditorsStartup.h"
#include "editors/cxFormats.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "tests/editors/isodatelocale.h"
#include "tests/platform/db/dbtestutil.h"
#include "treelist/cxDBTL.h"
#include "treelist/cxEditingController.h"

namespace {

// One column per declared type, and the key and parent of the tree.
const char* const Schema =
    "CREATE TABLE item (id INTEGER PRIMARY KEY, parent_id INTEGER, name VARCHAR(40), qty INTEGER,"
    " rate REAL, price CURRENCY, done BOOLEAN, born DATE, stamp DATETIME, at TIME, note MEMO,"
    " data BLOB, pic GRAPHIC);"
    "INSERT INTO item VALUES (1, -1, 'first', 3, 1.5, 2.25, 0, '2020-01-02', '2020-01-02 03:04:05',"
    " '03:04:05', 'a note', NULL, NULL), (2, 1, 'second', 4, 2.5, 3.5, 1, '2021-02-03', NULL, NULL, NULL,"
    " NULL, NULL);";


// The editors library is started for each test and stopped after it, so
// the default editors exist only here.
class DBTreeListEditors : public ::testing::Test {
protected:
  void SetUp() override {
    cxEditorsInitialize();
    EnsureGuiRuntime();
    Form = new TForm(nullptr);
    Form->SetBounds(50, 50, 700, 300);
    Source = new TDataSource(Fixture.Owner);
    Source->SetDataSet(Fixture.Query);
    Tree = new TcxDBTreeList(Form);
    Tree->SetBounds(0, 0, 680, 260);
    Tree->SetParent(Form);
    Tree->DBDataController()->SetKeyField(u"id");
    Tree->DBDataController()->SetParentField(u"parent_id");
  }
  void TearDown() override {
    ReleaseCapture();
    Form->Free();
    Application->ProcessMessages();
    cxEditorsFinalize();
  }
  void Open(const char* ASql = "SELECT * FROM item") {
    Fixture.Query->SQL()->SetText(UTF8ToString(ASql));
    Tree->DBDataController()->SetDataSource(Source);
    Fixture.Query->Open();
  }
  // Shows the form with every node expanded and the tree focused.
  void Show() {
    Tree->ExpandAllNodes();
    Form->Show();
    Tree->SetFocus();
    Application->ProcessMessages();
    Tree->LayoutChanged();
  }
  // Opens the in-place editor on a cell with F2 (nullptr: none opened).
  TcxCustomEdit* EditCell(Integer AKey, TcxTreeListColumn* AColumn) {
    Tree->SetFocus();
    Application->ProcessMessages();
    TcxTreeListNode* Node = Tree->FindNodeByKeyValue(AKey);
    Tree->Controller()->FocusRecordAndItem(Node->RecordIndex(), AColumn);
    Key(VK_F2);
    return Tree->Controller()->IsEditing() ? Tree->Controller()->EditingController()->Edit() : nullptr;
  }
  static void Key(Word AKey) {
    TestKey(AKey);
    Application->ProcessMessages();
  }
  std::string Sql(const std::string& AQuery) const { return Fixture.Db.Value(AQuery); }

  TIsoDateScope Dates;
  TQueryFixture Fixture{Schema};
  TDataSource* Source = nullptr;
  TForm* Form = nullptr;
  TcxDBTreeList* Tree = nullptr;
};

std::string ClassNameOf(const TObject* AObject) {
  return AObject ? StringToUTF8(AObject->ClassName()) : std::string("(none)");
}

std::string PropertiesOf(const TcxTreeListColumn* AColumn) { return ClassNameOf(AColumn->ResolvedProperties()); }

// The field's declared type chooses the column's property set, and the
// in-place editor opened on one of its cells is the editor of that set.
TEST_F(DBTreeListEditors, EachFieldTypeGivesItsDefaultEditor) {
  struct TCase {
    const char16_t* Field;
    const char* Properties;
  };
  const TCase Cases[] = {
      {u"name", "TcxMaskEditProperties"},      // a string: the default item
      {u"qty", "TcxMaskEditProperties"},       // a number without currency: the default item
      {u"rate", "TcxMaskEditProperties"},      //
      {u"price", "TcxCurrencyEditProperties"}, // a currency field
      {u"done", "TcxCheckBoxProperties"},      //
      {u"born", "TcxDateEditProperties"},      //
      {u"stamp", "TcxDateEditProperties"},     //
      {u"at", "TcxTimeEditProperties"},        //
      {u"note", "TcxMemoProperties"},          //
      {u"data", "TcxBlobEditProperties"},      //
      {u"pic", "TcxImageProperties"},          //
  };
  std::vector<TcxDBTreeListColumn*> Columns;
  for (const TCase& C : Cases) Columns.push_back(Tree->CreateDBColumn(C.Field));
  Open();
  Show();
  for (size_t I = 0; I < std::size(Cases); ++I) {
    const std::string Field = StringToUTF8(Cases[I].Field);
    TcxDBTreeListColumn* Column = Columns[I];
    EXPECT_EQ(PropertiesOf(Column), Cases[I].Properties) << Field;
    EXPECT_EQ(Column->Properties(), nullptr) << Field << ": the column keeps no property set of its own";
    Column->SetWidth(60);
    TcxCustomEdit* Edit = EditCell(1, Column);
    ASSERT_NE(Edit, nullptr) << Field;
    EXPECT_EQ(ClassNameOf(Edit->ActiveProperties()), Cases[I].Properties) << Field;
    EXPECT_EQ(Edit->ClassType(), Column->ResolvedProperties()->EditorClass()) << Field;
    Key(VK_ESCAPE);
    EXPECT_FALSE(Tree->Controller()->IsEditing()) << Field;
  }
  // The editors read their defaults from the field: a string field's size
  // bounds what its editor takes.
  TcxDBTreeListColumn* Name = Columns[0];
  Tree->Controller()->FocusRecordAndItem(Tree->FindNodeByKeyValue(1)->RecordIndex(), Name);
  EXPECT_EQ(Name->GetCellEditingProperties(0, Name->ResolvedProperties())->DefaultValuesProvider()->ProvideMaxLength(),
            40);
}

// Own properties and a repository item win over the field's editor, before
// and after the data is loaded anew.
TEST_F(DBTreeListEditors, ExplicitPropertiesAreKept) {
  TcxDBTreeListColumn* Own = Tree->CreateDBColumn(u"born");
  Own->SetPropertiesClass(TcxTextEditProperties::StaticClass());
  TcxEditRepositoryItem* Item = GetDefaultEditRepository()->CreateItem(TcxEditRepositoryMemoItem::StaticClass());
  TcxDBTreeListColumn* Shared = Tree->CreateDBColumn(u"done");
  Shared->SetRepositoryItem(Item);
  Open();
  for (int Pass = 0; Pass < 2; ++Pass) {
    EXPECT_EQ(Own->ResolvedProperties(), Own->Properties()) << Pass;
    EXPECT_EQ(PropertiesOf(Own), "TcxTextEditProperties") << Pass;
    EXPECT_EQ(Shared->ResolvedProperties(), Item->Properties()) << Pass;
    Fixture.Query->Close();
    Fixture.Query->Open();
  }
  // Taking them away gives the field's editor back.
  Own->SetPropertiesClass(nullptr);
  Shared->SetRepositoryItem(nullptr);
  EXPECT_EQ(PropertiesOf(Own), "TcxDateEditProperties");
  EXPECT_EQ(PropertiesOf(Shared), "TcxCheckBoxProperties");
  Shared->SetRepositoryItem(Item);
  delete Item;
  EXPECT_EQ(PropertiesOf(Shared), "TcxCheckBoxProperties") << "a freed item leaves the field's editor";
}

// Binding a column to another field, or reading a field of the same name
// but of another type, changes the default editor; an unknown field gives
// the registry's default.
TEST_F(DBTreeListEditors, RebindingChangesTheDefault) {
  TcxDBTreeListColumn* Column = Tree->CreateDBColumn(u"born");
  EXPECT_EQ(PropertiesOf(Column), "TcxMaskEditProperties") << "no dataset yet: the default item";
  Open();
  EXPECT_EQ(PropertiesOf(Column), "TcxDateEditProperties");
  Column->SetFieldName(u"done");
  EXPECT_EQ(PropertiesOf(Column), "TcxCheckBoxProperties");
  EXPECT_EQ(VarToStr(Tree->FindNodeByKeyValue(2)->Values(Column->ItemIndex())), VarToStr(Variant(true)));
  Column->SetFieldName(u"nosuch");
  EXPECT_EQ(PropertiesOf(Column), "TcxMaskEditProperties");
  // The same name read from another column of the table.
  Column->SetFieldName(u"v");
  Fixture.Query->Close();
  Fixture.Query->SQL()->SetText(u"SELECT id, parent_id, note AS v FROM item");
  Fixture.Query->Open();
  EXPECT_EQ(PropertiesOf(Column), "TcxMemoProperties");
  Fixture.Query->Close();
  Fixture.Query->SQL()->SetText(u"SELECT id, parent_id, price AS v FROM item");
  Fixture.Query->Open();
  EXPECT_EQ(PropertiesOf(Column), "TcxCurrencyEditProperties");
}

// Values typed or toggled in the default editors reach the table.
TEST_F(DBTreeListEditors, DefaultEditorsPostToTheTable) {
  TcxDBTreeListColumn* Done = Tree->CreateDBColumn(u"done");
  TcxDBTreeListColumn* Born = Tree->CreateDBColumn(u"born");
  TcxDBTreeListColumn* Name = Tree->CreateDBColumn(u"name");
  Open();
  Show();

  TcxCustomEdit* Edit = EditCell(1, Done);
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(ClassNameOf(Edit->ActiveProperties()), "TcxCheckBoxProperties");
  Key(VK_SPACE);
  Key(VK_RETURN);
  EXPECT_FALSE(Tree->Controller()->IsEditing());
  EXPECT_EQ(Sql("SELECT done FROM item WHERE id = 1"), "1");

  Edit = EditCell(2, Born);
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(ClassNameOf(Edit->ActiveProperties()), "TcxDateEditProperties");
  // F2 leaves the caret after the text: the date is selected and typed over.
  TestKey(VK_HOME, u"", tkShift);
  TestTypeText(u"2024-05-06");
  Application->ProcessMessages();
  Key(VK_RETURN);
  EXPECT_FALSE(Tree->Controller()->IsEditing());
  EXPECT_EQ(Sql("SELECT born FROM item WHERE id = 2"), "2024-05-06");

  Edit = EditCell(2, Name);
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(ClassNameOf(Edit->ActiveProperties()), "TcxMaskEditProperties");
  TestTypeText(u" two");
  Application->ProcessMessages();
  Key(VK_RETURN);
  EXPECT_EQ(Sql("SELECT name FROM item WHERE id = 2"), "second two");
  EXPECT_EQ(Sql("SELECT count(*) FROM item"), "2");
}

}  // namespace
