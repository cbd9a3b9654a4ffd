// Edit, insert, append, post, cancel and delete through the provider, with
// the edit state machine and its refusals.
#include <gtest/gtest.h>

#include "tests/data/datacontroller_test_double.h"

namespace {

using Records = std::vector<Integer>;

class EditingTest : public ::testing::Test {
protected:
  EditingTest() : C({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass()}) {
    C.BeginUpdate();
    for (Integer K : {10, 20, 30}) C.AddRecord({Variant(K), Variant(String(u"t") + IntToStr(K))});
    C.EndUpdate();
    C.SetItemSortOrder(0, soAscending);
  }
  Integer Key(Integer ARecord) { return C.GetValue(ARecord, 0).AsInteger(); }

  TTestControlDataController C;
};

class RefusingController : public TTestControlDataController {
public:
  using TTestControlDataController::TTestControlDataController;
  bool CanEditItem(Integer AItemIndex) const override { return AItemIndex != 1; }
};

TEST_F(EditingTest, ANewProviderIsIdle) {
  TTestControlDataController Empty({TcxIntegerValueType::StaticClass()});
  EXPECT_FALSE(Empty.Provider()->IsEditing());
  EXPECT_FALSE(Empty.Provider()->IsInserting());
  EXPECT_EQ(Empty.GetEditState(), 0);
  EXPECT_EQ(Empty.Provider()->EditingRecordIndex(), cxNoRecordIndex);
  EXPECT_EQ(Empty.GetEditOperations() & dceopDelete, 0);
  EXPECT_THROW(Empty.Provider()->ReadFieldValue(cxNoRecordIndex, Empty.GetItemField(0)),
               EcxInvalidDataControllerOperation);
}

TEST_F(EditingTest, EditPostAndCancel) {
  C.FocusRecord(1);
  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(25))));
  EXPECT_EQ(C.GetEditState(), dceEdit | dceChanging | dceModified);
  EXPECT_EQ(C.GetItemEditValue(0).AsInteger(), 25);
  C.CancelRecord();
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(Key(1), 20);  // the value saved when editing began is back

  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(5))));
  EXPECT_EQ(C.GetFocusedRowIndex(), 1);  // the row stays in place while edited
  C.PostRecord();
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(Key(1), 5);
  EXPECT_EQ(C.RowRecords(), (Records{1, 0, 2}));  // re-sorted after the post
  EXPECT_EQ(C.GetFocusedRecordIndex(), 1);
}

TEST_F(EditingTest, EmptyTextStoresNullAndEditorValuesArePosted) {
  C.FocusRecord(0);
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String()), evsText));
  EXPECT_TRUE(VarIsNull(C.GetValue(0, 1)));
  // The open editor's value is written when the edit is flushed or posted.
  C.Edit();
  C.EditorItem = 1;
  C.EditorValue = Variant(String(u"typed"));
  C.PostRecord();
  EXPECT_EQ(VarToStr(C.GetValue(0, 1)), u"typed");
}

TEST_F(EditingTest, InsertAppendAndPost) {
  C.FocusRecord(1);  // row 1
  C.Insert();
  EXPECT_EQ(C.GetEditState(), dceInsert);
  EXPECT_EQ(C.GetRecordCount(), 4);
  const Integer New = C.Provider()->EditingRecordIndex();
  // While inserting, the new record sorts just before the one it was inserted at.
  EXPECT_EQ(C.GetFocusedRecordIndex(), New);
  EXPECT_EQ(C.GetFocusedRowIndex(), 1);
  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(99))));
  C.PostRecord();
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(C.GetFocusedRowIndex(), 3);  // sorted by its value now

  C.Append();
  const Integer Appended = C.Provider()->EditingRecordIndex();
  EXPECT_EQ(Appended, 4);
  EXPECT_EQ(C.GetFocusedRowIndex(), 4);  // an appended record sorts last meanwhile
  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(1))));
  C.PostRecord();
  EXPECT_EQ(C.GetFocusedRowIndex(), 0);
}

TEST_F(EditingTest, PostingAnUnmodifiedInsertCancelsIt) {
  C.FocusRecord(2);
  C.Insert();
  EXPECT_EQ(C.GetRecordCount(), 4);
  C.PostRecord();
  EXPECT_EQ(C.GetRecordCount(), 3);
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(C.GetFocusedRecordIndex(), 2);
  // A second insert without changes while inserting does nothing.
  C.Insert();
  C.Insert();
  EXPECT_EQ(C.GetRecordCount(), 4);
  C.CancelRecord();
  EXPECT_EQ(C.GetRecordCount(), 3);
}

TEST_F(EditingTest, LeavingTheRecordPostsItsEdit) {
  C.FocusRecord(0);
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"x"))));
  C.FocusRecord(2);
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(VarToStr(C.GetValue(0, 1)), u"x");
}

TEST_F(EditingTest, SuspendingTheProviderPostsThePendingEdit) {
  C.FocusRecord(0);
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"kept"))));
  C.Provider()->LockNotify();
  C.Provider()->UnlockNotify();
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(VarToStr(C.GetValue(0, 1)), u"kept");
  // A change reported by the source while editing keeps the edit too.
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"again"))));
  C.Provider()->DataChanged(dcTotal, -1, cxNoRecordIndex);
  EXPECT_EQ(VarToStr(C.GetValue(0, 1)), u"again");
}

TEST_F(EditingTest, NewItemRowKeepsItsRecordApartUntilPosted) {
  C.SetNewItemRowInUse(true);
  C.FocusRecord(1);
  C.SetNewItemRowFocused(true);
  EXPECT_EQ(C.GetFocusedRowIndex(), -1);
  EXPECT_TRUE(VarIsNull(C.GetItemEditValue(0)));
  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(15))));
  EXPECT_EQ(C.GetEditState() & dceInsert, dceInsert);
  EXPECT_EQ(C.GetRecordCount(), 3);  // still apart from the records
  EXPECT_LT(C.Provider()->EditingRecordIndex(), 0);
  C.PostRecord();
  EXPECT_EQ(C.GetRecordCount(), 4);
  EXPECT_EQ(Key(3), 15);
  EXPECT_EQ(C.RowRecords(), (Records{0, 3, 1, 2}));
  // The next entry starts empty; cancelling it adds nothing.
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"x"))));
  C.CancelRecord();
  EXPECT_EQ(C.GetRecordCount(), 4);
  EXPECT_TRUE(VarIsNull(C.GetItemEditValue(1)));
}

TEST_F(EditingTest, Refusals) {
  RefusingController R({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass()});
  R.AddRecord({Variant(Integer(1)), Variant(String(u"a"))});
  // No focused row: nothing to edit.
  EXPECT_FALSE(R.SetItemEditValue(0, Variant(Integer(2))));
  EXPECT_EQ(R.GetEditState(), 0);
  R.FocusRow(0);
  EXPECT_FALSE(R.SetItemEditValue(1, Variant(String(u"b"))));
  EXPECT_EQ(VarToStr(R.GetValue(0, 1)), u"a");
  EXPECT_TRUE(R.SetItemEditValue(0, Variant(Integer(2))));
  EXPECT_THROW(R.SetItemEditValue(2, Variant(Integer(2))), EcxInvalidDataControllerOperation);
  EXPECT_THROW(R.GetValue(1, 0), EcxInvalidDataControllerOperation);
  EXPECT_THROW(R.InsertRecord(3), EcxInvalidDataControllerOperation);
  EXPECT_NO_THROW(R.InsertRecord(1));
}

TEST_F(EditingTest, DeleteFocusedGroupAndRecords) {
  C.FocusRecord(1);  // row 1 of 10, 20, 30
  C.DeleteFocused();
  EXPECT_EQ(C.GetRecordCount(), 2);
  EXPECT_EQ(C.RowTexts(1), (std::vector<std::string>{"t10", "t30"}));
  EXPECT_EQ(C.RowTexts(1)[size_t(C.GetFocusedRowIndex())], "t30");  // the nearest row
  // Duplicates and order do not matter.
  C.AddRecord({Variant(Integer(40)), Variant(String(u"t40"))});
  C.DeleteRecords({2, 0, 2});
  EXPECT_EQ(C.RowTexts(1), (std::vector<std::string>{"t30"}));
  // Deleting the record being edited ends the edit.
  C.FocusRow(0);
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"gone"))));
  C.DeleteRecord(C.GetFocusedRecordIndex());
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(C.GetRecordCount(), 0);
  EXPECT_EQ(C.GetFocusedRowIndex(), -1);
}

TEST_F(EditingTest, DeleteRecordsLowersTheNearestRecord) {
  C.SetRecordCount(8);
  C.SetNearestRecordIndex(6);
  C.DeleteRecords({5, 2, 5});
  EXPECT_EQ(C.GetRecordCount(), 6);
  EXPECT_EQ(C.NearestRecordIndex(), 4);
}

TEST_F(EditingTest, DeleteSelectionDeletesSelectedRowsAndGroups) {
  C.SetMultiSelect(true);
  C.ChangeRowSelection(0, true);
  C.ChangeRowSelection(2, true);
  C.DeleteSelection();
  EXPECT_EQ(C.RowTexts(1), (std::vector<std::string>{"t20"}));
  EXPECT_EQ(C.GetSelectedCount(), 0);
}

}  // namespace
