// The lookup combo box over an SQLite code list (code, ename, cname): it
// stores the code and shows the Chinese name; typed and committed input
// completes from the list and filters it; keys move in the open list; the
// drop-down grid sorts, scrolls and paints without moving the list dataset;
// a key that is not in the list is kept; and a picture of the open list.
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxDBEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>
#include <string>

#include "../platform/gui/guitestutil.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/db/dbtestutil.h"

namespace {

// Codes "001" on, in this order; "025" has Latin letters for the letter
// case rules.
const char* const CodeNames[] = {"地球科学", "大气科学", "海洋科学", "地理学",   "地质学",   "水文学",   "冰川学",
                                 "土壤学",   "生态学",   "遥感",     "测绘学",   "气候学",   "地震学",   "矿物学",
                                 "古生物学", "地球化学", "地球物理", "环境科学", "湖泊学",   "沙漠学",   "植被学",
                                 "湿地学",   "冻土学",   "灾害学",   "GNSS定位"};
constexpr Integer CodeCount = sizeof(CodeNames) / sizeof(CodeNames[0]);

String Code(Integer ANumber) {
  char code[8];
  std::snprintf(code, sizeof(code), "%03d", ANumber);
  return UTF8ToString(code);
}
String Name(Integer ANumber) { return UTF8ToString(CodeNames[ANumber - 1]); }

std::string CodeListSchema() {
  std::string sql = "create table codelist (code varchar(4) primary key, ename varchar(20), cname varchar(20));";
  for (Integer i = 1; i <= CodeCount; ++i)
    sql += "insert into codelist values ('" + StringToUTF8(Code(i)) + "', 'name" + std::to_string(i) + "', '" +
           CodeNames[i - 1] + "');";
  return sql;
}

// A lookup combo box over the code list on a form, set up as the program
// sets up its code-list drop-downs.
struct TLookupFixture : TTestForm {
  explicit TLookupFixture(bool AGridMode = false) : TTestForm(420, 360), Fx(CodeListSchema()) {
    Source = new TDataSource(Form);
    Source->SetDataSet(Fx.Query);
    Fx.Open(u"select code, ename, cname from codelist order by code");
    Combo = Place<TcxLookupComboBox>(20, 20, 200, 24);
    P = Combo->LookupProperties();
    P->SetGridMode(AGridMode);
    P->SetListSource(Source);
    P->SetKeyFieldNames(u"code");
    P->SetListFieldNames(u"code;cname");
    P->SetListFieldIndex(1);
    Fx.Query->BeforeScroll = TDataSetNotifyEvent(this, [this](TDataSet*) { ++Scrolls; });
    ShowForm(Combo);
  }
  ~TLookupFixture() { FreeForm(); }
  void Open() {
    if (!Combo->HasOpenPopup()) Key(VK_F4);
    Application->ProcessMessages();
  }
  TcxLookupDBGrid* Grid() const { return P->Grid(); }
  TcxCustomDataController* List() const { return Grid()->DataController(); }
  String FocusedCode() const {
    const Integer record = List()->GetFocusedRecordIndex();
    return record < 0 ? String() : VarToStr(List()->GetValue(record, 0));
  }
  // The focus leaves the editor for the form (the value is validated).
  void Leave() {
    Form->SetFocus();
    Combo->ValidateEdit(false);
    Application->ProcessMessages();
  }

  TQueryFixture Fx;
  TDataSource* Source;
  TcxLookupComboBox* Combo;
  TcxLookupComboBoxProperties* P;
  Integer Scrolls = 0;
};

// ---- Properties ----

TEST(cxLookupComboBox, PropertiesDefaultsColumnsAndNullKey) {
  TLookupFixture f;
  EXPECT_EQ(f.P->DropDownListStyle(), lsEditFixedList);
  EXPECT_TRUE(f.P->IncrementalFiltering());
  EXPECT_EQ(f.P->DropDownRows(), 8);
  EXPECT_EQ(f.P->ListFieldNames(), u"code;cname");
  ASSERT_EQ(f.Grid()->ColumnCount(), 2);
  EXPECT_EQ(f.Grid()->Column(1)->FieldName(), u"cname");
  EXPECT_EQ(f.P->GetListFieldIndex(), 1);
  EXPECT_FALSE(f.P->IsKeyFieldListField());
  EXPECT_EQ(f.P->GetValueKind(false), cxEditValueKindValue);
  // An index past the columns is clamped; the effective index never points
  // past them.
  f.P->SetListFieldIndex(3);
  EXPECT_EQ(f.P->ListFieldIndex(), 1);
  f.P->SetListFieldNames(u"code");
  EXPECT_EQ(f.P->GetListFieldIndex(), 0);
  EXPECT_TRUE(f.P->IsKeyFieldListField());  // the shown column is the key
  // Several key fields: a null key of one Null per field.
  EXPECT_TRUE(VarIsNull(f.P->GetNullKey()));
  f.P->SetKeyFieldNames(u"code;ename");
  const Variant nullKey = f.P->GetNullKey();
  ASSERT_TRUE(VarIsArray(nullKey));
  EXPECT_EQ(VarArrayHighBound(nullKey) - VarArrayLowBound(nullKey) + 1, 2);
  // Keys compare as keys, not by their texts.
  EXPECT_FALSE(f.P->AreEditValuesEqual(Variant(u"998"), Variant(u"999")));  // both show ""
  EXPECT_FALSE(f.P->AreEditValuesEqual(Null(), Variant(u"999")));
  EXPECT_TRUE(f.P->AreEditValuesEqual(VarArrayOf({Variant(u"1"), Null()}), VarArrayOf({Variant(u"1"), Null()})));
  EXPECT_FALSE(f.P->AreEditValuesEqual(VarArrayOf({Variant(u"1"), Null()}), VarArrayOf({Variant(u"2"), Null()})));
  // The lookup data is the dataset's.
  EXPECT_NE(dynamic_cast<TcxCustomDBLookupEditLookupData*>(f.Combo->LookupData()), nullptr);
  // A copy takes the list and its settings.
  TcxLookupComboBoxProperties copy(nullptr);
  copy.Assign(f.P);
  EXPECT_EQ(copy.ListSource(), f.Source);
  EXPECT_EQ(copy.ListFieldNames(), u"code");
  EXPECT_EQ(copy.KeyFieldNames(), u"code;ename");
}

TEST(cxLookupComboBox, TheKindRegistersWithItsEditorAndRepositoryItem) {
  cxDBLookupComboBoxInitialize();
  cxDBLookupComboBoxInitialize();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxLookupComboBoxProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)), u"LookupComboBox|Represents a lookup combo box control");
  EXPECT_EQ(cls->GetEditorClass(), TcxLookupComboBox::StaticClass());
  cxDBLookupComboBoxFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxLookupComboBoxProperties"), nullptr);
  TcxEditRepositoryLookupComboBoxItem item(nullptr);
  EXPECT_NE(dynamic_cast<TcxLookupComboBoxProperties*>(item.Properties()), nullptr);
}

// ---- Key and text ----

TEST(cxLookupComboBox, StoresTheCodeAndShowsTheChineseName) {
  TLookupFixture f;
  struct {
    Variant Value;
    String Text;
  } const cases[] = {
      {Variant(Code(3)), Name(3)}, {Variant(Code(25)), Name(25)}, {Null(), u""}, {Variant(u"999"), u""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(VarToStr(c.Value)));
    f.Combo->SetEditValue(c.Value);
    EXPECT_EQ(f.Combo->Text(), c.Text);
    EXPECT_TRUE(f.P->AreEditValuesEqual(f.Combo->EditValue(), c.Value));
    EXPECT_EQ(f.P->GetDisplayTextOfValue(c.Value), c.Text);  // as a cell shows it
  }
}

TEST(cxLookupComboBox, ATextBecomesTheKeyOfItsRow) {
  TLookupFixture f;
  struct {
    String Text;
    Variant Key;
  } const cases[] = {
      {Name(5), Variant(Code(5))},        // a Chinese name
      {u"gnss定位", Variant(Code(25))},   // any letter case
      {u"不在列表", Null()},               // no such name: the null key
      {u"", Null()},                       // cleared
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Text));
    f.Combo->SetEditValue(Variant(Code(1)));
    EXPECT_TRUE(f.P->AreEditValuesEqual(f.Combo->DisplayValueToEditValue(Variant(c.Text)), c.Key));
  }
  // Leaving with exactly the current key's text keeps that key.
  f.Combo->SetEditValue(Variant(Code(2)));
  EXPECT_EQ(VarToStr(f.Combo->DisplayValueToEditValue(Variant(Name(2)))), Code(2));
}

TEST(cxLookupComboBox, AKeyOfTwoFieldsIsAnArray) {
  TLookupFixture f;
  f.P->SetKeyFieldNames(u"code;ename");
  f.Combo->SetEditValue(VarArrayOf({Variant(Code(3)), Variant(u"name3")}));
  EXPECT_EQ(f.Combo->Text(), Name(3));
  const Variant key = f.Combo->DisplayValueToEditValue(Variant(Name(4)));
  ASSERT_TRUE(VarIsArray(key));
  EXPECT_EQ(VarToStr(key.GetElement(VarArrayLowBound(key))), Code(4));
  EXPECT_EQ(VarToStr(key.GetElement(VarArrayLowBound(key) + 1)), u"name4");
  const Variant none = f.Combo->DisplayValueToEditValue(Variant(u"不在列表"));
  ASSERT_TRUE(VarIsArray(none));
  EXPECT_TRUE(VarIsNull(none.GetElement(VarArrayLowBound(none))));
}

TEST(cxLookupComboBox, ATextThatNamesNoRowKeepsTheValueInTheFixedList) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(5)));
  f.Key(VK_END);
  f.Key(VK_BACK);
  ASSERT_EQ(f.Combo->Text(), Name(5).substr(0, 2));
  f.Leave();
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), Code(5));
  EXPECT_EQ(f.Combo->Text(), Name(5));
}

// The stored value is never replaced by the first row (nor by any row the
// user did not choose).
TEST(cxLookupComboBox, AKeyNotInTheListShowsNothingAndIsKept) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(u"999"));
  EXPECT_EQ(f.Combo->Text(), u"");
  // Opening the list chooses no row, and Enter takes none.
  f.Open();
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.List()->GetSelectedCount(), 0);
  f.Key(VK_RETURN);
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), u"999");
  // Leaving the editor keeps it, and so does a repaint or a list change.
  f.Combo->SetModified(true);
  f.Leave();
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), u"999");
  EXPECT_EQ(f.Combo->Text(), u"");
  f.P->SetDropDownRows(6);
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), u"999");
}

// ---- Typing ----

TEST(cxLookupComboBox, TypedAndCommittedTextCompletesAndFiltersTheOpenList) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(2)));
  f.Open();
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Grid()->RowCount(), CodeCount);
  // One committed character: the first row in list order completes; the
  // list keeps the rows that start with it.
  f.Combo->SelectWholeText();
  f.Commit(u"地");
  EXPECT_EQ(f.Combo->Text(), Name(1));
  EXPECT_EQ(f.Combo->SelStart(), 1);
  EXPECT_EQ(f.Combo->SelLength(), static_cast<Integer>(Name(1).size()) - 1);
  EXPECT_EQ(f.Grid()->RowCount(), 6);  // 地球科学 地理学 地质学 地震学 地球化学 地球物理
  EXPECT_EQ(f.FocusedCode(), Code(1));
  // A second committed character narrows the list to one row.
  f.Commit(u"质");
  EXPECT_EQ(f.Combo->Text(), Name(5));
  EXPECT_EQ(f.Grid()->RowCount(), 1);
  // The drop-down fits the rows that remain.
  EXPECT_EQ(f.Grid()->ClientHeight(), f.Grid()->GetHeightForRows(1));
  // Backspace takes back the completed tail with the last character.
  f.Key(VK_BACK);
  EXPECT_EQ(f.Combo->Text(), Name(1));
  EXPECT_EQ(f.Grid()->RowCount(), 6);
  f.Commit(u"震");
  EXPECT_EQ(f.Combo->Text(), Name(13));
  // A character that starts no row is refused in the fixed list style and
  // the list keeps its rows.
  f.Commit(u"海");
  EXPECT_EQ(f.Combo->Text(), Name(13));
  EXPECT_EQ(f.Grid()->RowCount(), 1);
  f.Key(VK_RETURN);
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  f.Leave();
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), Code(13));
  // Closed, the list shows every row again.
  EXPECT_EQ(f.Grid()->RowCount(), CodeCount);
}

TEST(cxLookupComboBox, LatinTypingTakesTheRowsLetterCase) {
  TLookupFixture f;
  f.Combo->SetEditValue(Null());
  f.Type(u"gn");  // the first key opens the list
  EXPECT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), Name(25));
  EXPECT_EQ(f.Combo->SelStart(), 2);
  f.Key(VK_RETURN);
  f.Leave();
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), Code(25));
}

TEST(cxLookupComboBox, TheFreeListStyleKeepsAnyTextAndStoresTheNullKey) {
  TLookupFixture f;
  f.P->SetDropDownListStyle(lsEditList);
  f.Combo->SetEditValue(Variant(Code(4)));
  f.Open();
  f.Combo->SelectWholeText();
  f.Commit(u"海底");
  EXPECT_EQ(f.Combo->Text(), u"海底");
  EXPECT_EQ(f.Grid()->RowCount(), 0);  // nothing starts with it
  f.Key(VK_ESCAPE);
  f.Leave();
  EXPECT_TRUE(VarIsNull(f.Combo->EditValue()));
}

// ---- Keys ----

TEST(cxLookupComboBox, KeysMoveInTheOpenListAndEnterTakesTheRow) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(2)));
  f.Open();
  EXPECT_EQ(f.FocusedCode(), Code(2));
  struct {
    Word Key;
    Cardinal Modifiers;
    Integer Focused;  // the code number
  } const steps[] = {
      {VK_DOWN, 0, 3},          {VK_NEXT, 0, 11},        {VK_UP, 0, 10},  {VK_PRIOR, 0, 2},
      {VK_END, tkCtrl, CodeCount}, {VK_HOME, tkCtrl, 1}, {VK_UP, 0, 1},   {VK_NEXT, tkCtrl, CodeCount},
  };
  for (const auto& s : steps) {
    f.Key(s.Key, s.Modifiers);
    EXPECT_EQ(f.FocusedCode(), Code(s.Focused)) << s.Key;
    EXPECT_EQ(f.Combo->Text(), Name(2));  // the text waits for Enter
  }
  f.Key(VK_UP);
  f.Key(VK_RETURN);
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), Name(CodeCount - 1));
  f.Leave();
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), Code(CodeCount - 1));
  // Esc leaves the value as it was.
  f.Combo->SetFocus();
  f.Open();
  f.Key(VK_DOWN);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.Combo->Text(), Name(CodeCount - 1));
}

TEST(cxLookupComboBox, KeysStepTheClosedEditor) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(5)));
  f.Key(VK_DOWN);
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), Name(6));
  f.Key(VK_END, tkCtrl);
  EXPECT_EQ(f.Combo->Text(), Name(CodeCount));
  f.Leave();
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), Code(CodeCount));
}

TEST(cxLookupComboBox, AnInplaceEditorStepsOnlyInItsOpenList) {
  TLookupFixture f;
  auto* inplace = f.Place<TcxLookupComboBox>(20, 80, 200, 24, true);
  inplace->LookupProperties()->Assign(f.P);
  f.ShowForm();
  TcxCustomEditData* data = nullptr;
  inplace->SetEditValue(Variant(Code(5)));
  inplace->ActivateInplace(data);
  std::unique_ptr<TcxCustomEditData> owned(data);
  f.Focus(inplace);
  std::vector<Word> leftOver;
  inplace->OnAfterKeyDown = TKeyEvent(f.Form, [&](TObject*, Word& Key, TShiftState) { leftOver.push_back(Key); });
  // Closed: the key is the container's (a tree list moves to the next row).
  f.Key(VK_DOWN);
  EXPECT_EQ(inplace->Text(), Name(5));
  EXPECT_EQ(leftOver, std::vector<Word>{VK_DOWN});
  // Open: the list's.
  f.Key(VK_F4);
  ASSERT_TRUE(inplace->HasOpenPopup());
  f.Key(VK_DOWN);
  f.Key(VK_RETURN);
  EXPECT_EQ(inplace->Text(), Name(6));
  EXPECT_EQ(leftOver, std::vector<Word>{VK_DOWN});
  inplace->OnAfterKeyDown = TKeyEvent();
}

// ---- The drop-down grid ----

TEST(cxLookupComboBox, TheDropDownGridHasHeaderLinesSortingAndRows) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(3)));
  f.Open();
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  TcxLookupDBGrid* grid = f.Grid();
  EXPECT_EQ(grid->Parent(), f.Combo->PopupWindow());
  EXPECT_TRUE(grid->Visible());
  TcxLookupGridViewInfo* info = grid->ViewInfo();
  ASSERT_EQ(info->Columns.size(), 2u);
  EXPECT_EQ(info->Columns[0].Text, u"code");
  EXPECT_EQ(info->Columns[1].Text, u"cname");
  EXPECT_GT(info->HeadersBounds.Height(), 0);
  EXPECT_EQ(grid->Options()->GridLines(), glBoth);
  // DropDownRows whole rows under the header.
  EXPECT_EQ(info->VisibleRowCount, 8);
  EXPECT_EQ(grid->ClientHeight(), grid->GetHeightForRows(8));
  EXPECT_GE(f.Combo->PopupWindow()->Width(), f.Combo->Width());
  // A click on the cname header sorts by it without closing the list; a
  // second click reverses the order.
  const TRect h = info->Columns[1].Bounds;
  const TPoint hp{h.Left + 10, (h.Top + h.Bottom) / 2};
  Integer sortings = 0;
  f.P->OnSortingChanged() = TNotifyEvent(&f, [&](TObject*) { ++sortings; });
  TestClick(grid->Handle(), hp);
  Application->ProcessMessages();
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(grid->Column(1)->SortOrder(), soAscending);
  EXPECT_GE(sortings, 1);
  TestClick(grid->Handle(), hp);
  Application->ProcessMessages();
  EXPECT_EQ(grid->Column(1)->SortOrder(), soDescending);
  // The current row stays focused and the list shows it.
  EXPECT_EQ(f.FocusedCode(), Code(3));
  EXPECT_NE(info->FindRow(grid->FocusedRowIndex()), nullptr);
  // A click on a row takes it.
  const TcxLookupGridRowViewInfo* row = info->FindRow(grid->TopRowIndex() + 1);
  ASSERT_NE(row, nullptr);
  const Integer record = row->RecordIndex;
  const TPoint rp{row->Bounds.Left + 20, (row->Bounds.Top + row->Bounds.Bottom) / 2};
  TestMouseMove(grid->Handle(), rp);
  TestMouseMove(grid->Handle(), rp);
  TestClick(grid->Handle(), rp);
  Application->ProcessMessages();
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->Text(), f.List()->GetDisplayText(record, 1));
}

TEST(cxLookupComboBox, AutoScrollInTheDropDownMovesOneRowPerTick) {
  TLookupFixture f;
  TTestClock clock;
  f.Combo->SetEditValue(Variant(Code(1)));
  f.Open();
  TcxLookupDBGrid* grid = f.Grid();
  const Integer visible = grid->ViewInfo()->VisibleRowCount;
  const TcxLookupGridRowViewInfo* row = grid->ViewInfo()->FindRow(2);
  ASSERT_NE(row, nullptr);
  TestMousePress(grid->Handle(), TPoint{20, (row->Bounds.Top + row->Bounds.Bottom) / 2});
  Application->ProcessMessages();
  TestMouseMove(grid->Handle(), TPoint{20, grid->ClientHeight() + 5});
  Application->ProcessMessages();
  ASSERT_TRUE(grid->IsAutoScrolling());
  clock.Advance(cxLookupGridAutoScrollInterval);
  EXPECT_EQ(grid->FocusedRowIndex(), visible);
  clock.Advance(cxLookupGridAutoScrollInterval);
  EXPECT_EQ(grid->FocusedRowIndex(), visible + 1);
  EXPECT_EQ(grid->TopRowIndex(), 2);
  TestMouseRelease(grid->Handle(), TPoint{20, grid->ClientHeight() + 5});
  Application->ProcessMessages();
  EXPECT_FALSE(grid->IsAutoScrolling());
  EXPECT_FALSE(f.Combo->HasOpenPopup());
}

// ---- The list dataset ----

TEST(cxLookupComboBox, ShowingAndPaintingNeverMoveOrRequeryTheListDataset) {
  for (bool gridMode : {false, true}) {
    SCOPED_TRACE(gridMode);
    TLookupFixture f(gridMode);
    f.Fx.Query->First();
    f.Fx.Query->MoveBy(6);
    Integer recNo = f.Fx.Query->RecNo();
    f.Scrolls = 0;
    auto paintAll = [&] {
      for (Integer i = 0; i < 5; ++i) {
        f.Combo->Invalidate();
        f.Combo->Repaint();
        TBitmap picture(f.Form->Width(), f.Form->Height(), pf24bit);
        f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
        if (f.Combo->HasOpenPopup()) {
          f.Grid()->Repaint();
          f.Grid()->PaintTo(picture.Canvas()->Handle(), 0, 0);
        }
        f.Combo->UpdateDisplayValue();
      }
    };
    // Closed: showing a key's text and painting leave the dataset alone.
    f.Combo->SetEditValue(Variant(Code(20)));
    EXPECT_EQ(f.Combo->Text(), Name(20));
    paintAll();
    EXPECT_EQ(f.Scrolls, 0);  // every Locate starts with BeforeScroll
    EXPECT_EQ(f.Fx.Query->RecNo(), recNo);
    // Open: positioning the list on the key may move a grid-mode window
    // once; painting the open list moves nothing.
    f.Open();
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    if (!gridMode) {
      EXPECT_EQ(f.Scrolls, 0);
    }
    f.Scrolls = 0;
    recNo = f.Fx.Query->RecNo();
    paintAll();
    EXPECT_EQ(f.Scrolls, 0);
    EXPECT_EQ(f.Fx.Query->RecNo(), recNo);
    f.Key(VK_ESCAPE);
    EXPECT_EQ(f.Combo->Text(), Name(20));
  }
}

TEST(cxLookupComboBox, GridModeAsksForEachKeyOnce) {
  TLookupFixture f(true);
  TcxLookupList* cache = f.P->LookupCache();
  ASSERT_NE(cache, nullptr);
  cache->Clear();
  for (Integer i = 0; i < 3; ++i) {
    EXPECT_EQ(f.P->GetDisplayTextByKey(Variant(Code(7))), Name(7));
    EXPECT_EQ(f.P->GetDisplayTextByKey(Variant(u"999")), u"");
  }
  EXPECT_EQ(cache->Count(), 2);  // the missing key is remembered too
  // A change of the properties forgets the answers.
  f.P->SetDropDownRows(5);
  Integer position = 0;
  EXPECT_FALSE(cache->Find(Variant(u"999"), position));
  f.P->SetGridMode(false);
  EXPECT_EQ(f.P->LookupCache(), nullptr);
}

TEST(cxLookupComboBox, AChangeOfTheListDataShowsTheNewText) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(9)));
  f.Form->SetFocus();
  Application->ProcessMessages();
  f.Fx.Query->Locate(u"code", Variant(Code(9)), {});
  f.Fx.Query->Edit();
  f.Fx.Query->FieldByName(u"cname")->SetAsString(u"生态环境学");
  f.Fx.Query->Post();
  Application->ProcessMessages();
  EXPECT_EQ(f.Combo->Text(), u"生态环境学");
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), Code(9));
}

// ---- Lookup fields ----

// A query of items whose "cname" is a lookup field into the code list.
struct TLookupFieldFixture : TLookupFixture {
  explicit TLookupFieldFixture(bool ASelfLookup = false) {
    Items = new TADOQuery(Fx.Owner);
    Items->SetConnection(Fx.Connection);
    Items->SQL()->SetText(u"select code, ename from codelist where code < '004'");
    auto* code = new TWideStringField(Items);
    code->SetFieldName(u"code");
    code->SetDataSet(Items);
    auto* ename = new TWideStringField(Items);
    ename->SetFieldName(u"ename");
    ename->SetDataSet(Items);
    Lookup = new TWideStringField(Items);
    Lookup->SetFieldName(u"cname");
    Lookup->SetFieldKind(fkLookup);
    Lookup->SetKeyFields(u"code");
    Lookup->SetLookupDataSet(ASelfLookup ? static_cast<TDataSet*>(Items) : Fx.Query);
    Lookup->SetLookupKeyFields(u"code");
    Lookup->SetLookupResultField(ASelfLookup ? u"ename" : u"cname");
    Lookup->SetDataSet(Items);
    Items->Open();
    Provider = std::make_unique<TcxCustomDBEditDefaultValuesProvider>(nullptr);
    Provider->SetField(Lookup);
  }
  ~TLookupFieldFixture() { P->SetDefaultValuesProvider(nullptr); }
  TADOQuery* Items;
  TField* Lookup;
  std::unique_ptr<TcxCustomDBEditDefaultValuesProvider> Provider;
};

TEST(cxLookupComboBox, ALookupFieldDefinesTheListAndRefusesOtherSettings) {
  TLookupFieldFixture f;
  f.P->SetListSource(nullptr);
  f.P->SetKeyFieldNames(u"ename");
  f.P->SetListFieldNames(u"code;ename");
  f.P->SetDefaultValuesProvider(f.Provider.get());
  ASSERT_TRUE(f.P->IsBoundToLookupField());
  // The field's lookup: its dataset, its key and its result column, first.
  ASSERT_NE(f.Grid()->DataSource(), nullptr);
  EXPECT_EQ(f.Grid()->DataSource()->DataSet(), f.Fx.Query);
  EXPECT_EQ(f.P->ListSource(), nullptr);
  EXPECT_EQ(f.P->KeyFieldNames(), u"code");
  EXPECT_EQ(f.P->ListFieldNames(), u"cname");
  EXPECT_EQ(f.P->ListFieldIndex(), 0);
  EXPECT_EQ(f.P->GetValueKind(true), 2);
  f.Combo->SetEditValue(Variant(Code(5)));
  EXPECT_EQ(f.Combo->Text(), Name(5));
  // Columns given later keep the result column, in front.
  TcxLookupDBGrid other(nullptr);
  other.SetColumnsFromFieldNames(u"code;ename");
  f.P->SetListColumns(other.Columns());
  EXPECT_EQ(f.P->ListFieldNames(), u"cname;code;ename");
  EXPECT_EQ(f.P->GetListFieldIndex(), 0);
  // The settings the field defines cannot be written.
  auto refused = [](const std::function<void()>& AWrite) {
    try {
      AWrite();
    } catch (const EDatabaseError& e) {
      return e.Message == u"Property already defined by lookup field";
    }
    return false;
  };
  EXPECT_TRUE(refused([&] { f.P->SetKeyFieldNames(u"ename"); }));
  EXPECT_TRUE(refused([&] { f.P->SetListFieldIndex(1); }));
  EXPECT_TRUE(refused([&] { f.P->SetListSource(f.Source); }));
  EXPECT_EQ(f.P->KeyFieldNames(), u"code");
  // Unbound, the settings are free again.
  f.P->SetDefaultValuesProvider(nullptr);
  EXPECT_FALSE(f.P->IsBoundToLookupField());
  f.P->SetListSource(f.Source);
  f.P->SetKeyFieldNames(u"code");
  EXPECT_EQ(f.P->ListSource(), f.Source);
}

TEST(cxLookupComboBox, AListThatReadsTheEditedDatasetIsRefused) {
  TLookupFieldFixture f(true);
  try {
    f.P->SetDefaultValuesProvider(f.Provider.get());
    ADD_FAILURE() << "a lookup into its own dataset was bound";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message, u"Circular datalinks are not allowed");
  }
}

// ---- Picture ----

TEST(cxLookupComboBox, PictureOfAnOpenLookupComboBoxOverAChineseCodeList) {
  TLookupFixture f;
  f.Combo->SetEditValue(Variant(Code(3)));
  f.Open();
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  Application->ProcessMessages();
  TcxCustomEditPopupWindow* popup = f.Combo->PopupWindow();
  const TPoint formOrigin = f.Form->ClientToScreen(TPoint{0, 0});
  const TRect pr = popup->BoundsRect();
  TBitmap picture(f.Form->ClientWidth(), f.Form->ClientHeight(), pf24bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  const TPoint at{pr.Left - formOrigin.X, pr.Top - formOrigin.Y};
  popup->PaintTo(picture.Canvas()->Handle(), at.X, at.Y);
  TcxLookupDBGrid* grid = f.Grid();
  const TPoint gridAt{at.X + grid->Left(), at.Y + grid->Top()};
  grid->PaintTo(picture.Canvas()->Handle(), gridAt.X, gridAt.Y);
  SavePicture(&picture, "lookupcombobox_open.png");
  // The popup opens below the editor; the current row is highlighted in
  // the selection colour, another row is not; Chinese text drew there.
  EXPECT_GE(at.Y, f.Combo->Top() + f.Combo->Height() - 1);
  const TcxLookupGridRowViewInfo* current = grid->ViewInfo()->FindRow(grid->FocusedRowIndex());
  ASSERT_NE(current, nullptr);
  const TcxCustomLookAndFeelPainter* painter = grid->LookAndFeelPainter();
  const TColor selection = ColorToRGB(painter->SelectionColor()) & 0xFFFFFF;
  const TRect cell = current->Cells[1].Bounds;
  EXPECT_EQ(picture.PixelColor(gridAt.X + cell.Right - 4, gridAt.Y + cell.Top + 3), selection);
  const TcxLookupGridRowViewInfo* other = grid->ViewInfo()->FindRow(grid->FocusedRowIndex() + 2);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(picture.PixelColor(gridAt.X + other->Cells[1].Bounds.Right - 4, gridAt.Y + other->Bounds.Top + 3),
            selection);
  // Grid lines between the rows and between the columns.
  const TColor line = ColorToRGB(clBtnFace) & 0xFFFFFF;
  EXPECT_EQ(picture.PixelColor(gridAt.X + other->Bounds.Left + 30, gridAt.Y + other->Bounds.Bottom - 1), line);
  EXPECT_EQ(picture.PixelColor(gridAt.X + other->Cells[0].Bounds.Right - 1, gridAt.Y + other->Bounds.Top + 3), line);
  Integer dark = 0;
  const TRect text = other->Cells[1].ContentBounds;
  for (Integer y = text.Top; y < text.Bottom; ++y)
    for (Integer x = text.Left; x < text.Right; ++x)
      if ((picture.PixelColor(gridAt.X + x, gridAt.Y + y) & 0xFF) < 0x60) ++dark;
  EXPECT_GT(dark, 5);
  EXPECT_EQ(f.Combo->Text(), Name(3));
}

}  // namespace
