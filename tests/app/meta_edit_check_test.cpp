// The structure check over records of the shipped template.
#include <gtest/gtest.h>

#include "tests/app/recordtestutil.h"

namespace {

using namespace app_test;
using F = TRecordFixture;

struct TCheckCase {
  const char* Name;
  std::vector<std::string> Changes;  // after every leaf is filled
  bool InOrder;
  std::string Text;     // the whole message
  std::string Focused;  // code of the element focused after a failure
};

TEST(StructureCheck, ReportsTheFirstFaultAndFocusesIt) {
  const TCheckCase cases[] = {
      {"every element filled", {}, true, "", ""},
      // One member of the choice group filled is enough, whether the other
      // is empty or not in the record at all.
      {"a choice group with the other member empty", {F::Clear("0122")}, true, "", ""},
      {"a choice group with the other member absent", {F::Remove("0122")}, true, "", ""},
      {"an optional element empty", {F::Clear("0103"), F::Clear("02")}, true, "", ""},
      {"an empty mandatory leaf beside filled ones", {F::Clear("0102")}, false, "元数据必选项不能空缺：0102摘要", "0102"},
      {"a choice group with every member empty",
       {F::Clear("0121"), F::Clear("0122")},
       false,
       "几个选择项至少必须填写一个0121地理边界框",
       "0121"},
      {"a mandatory top-level branch empty", {F::Clear("01")}, false, "元数据必选项不能空缺：01标识信息", "01"},
      {"a mandatory child not in the record", {F::Remove("0102")}, false, "节点：标识信息缺少子项\r\n摘要", "01"},
      {"a branch whose code the template lacks",
       {"update t_metadata set code = '0199' where meta_id = KEY and code = '0123'"},
       false,
       "模板表(template)内部没有此编码：0199",
       "0199"},
      // Every top-level element optional and nothing filled: the check
      // fails without a particular element to blame, and says so.
      {"nothing filled", {F::Remove("01"), F::Remove("06"), F::Clear("0")}, false, "结构检查未通过", ""},
      {"one optional leaf under an optional top-level branch",
       {F::Remove("01"), F::Remove("06"), F::Clear("0"),
        "update t_metadata set content = '3' where meta_id = KEY and code = '050301'"},
       true,
       "",
       ""},
  };
  for (const TCheckCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecordFixture f;
    std::vector<std::string> changes{F::FillLeaves()};
    changes.insert(changes.end(), c.Changes.begin(), c.Changes.end());
    f.Change(changes);
    String text;
    EXPECT_EQ(frm_meta_edit->CheckStructure(text), c.InOrder);
    EXPECT_EQ(U8(text), c.Text);
    if (!c.Focused.empty()) {
      EXPECT_EQ(f.Focused(), c.Focused);
      // The tree shows the faulty element focused.
      auto* node = dynamic_cast<TcxTreeListDataNode*>(frm_meta_edit->cxDBTreeList1->FocusedNode());
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(node->KeyValue().AsInteger(), dm->aq_metadata->FieldByName(u"id")->AsInteger());
    }
    EXPECT_TRUE(f.Script.Boxes.empty());
  }
}

// The states stay in the record for the XML output.
TEST(StructureCheck, StoresEachElementsState) {
  TRecordFixture f;
  f.Change({F::FillLeaves(), F::Clear("0103"), F::Clear("0122"), F::Clear("02"), F::Clear("0102")});
  String text;
  EXPECT_FALSE(frm_meta_edit->CheckStructure(text));
  struct {
    const char* Code;
    const char* State;
  } states[] = {
      {"01", "-3"},    // a mandatory child empty below it
      {"0101", "3"},   // mandatory branch in order
      {"0102", "5"},   // mandatory leaf, empty
      {"0103", "0"},   // optional leaf, empty
      {"0104", "1"},   // optional leaf, filled
      {"0121", "2"},   // group member in order
      {"0122", "4"},   // group member with nothing filled
      {"02", "0"},     // optional branch with nothing filled
      {"0201", "5"},   // mandatory branch with nothing filled
      {"06", "3"},
  };
  for (auto& s : states) {
    SCOPED_TRACE(s.Code);
    EXPECT_EQ(f.State(s.Code), s.State);
  }
  // Mended, the record passes and its states follow.
  f.Change({"update t_metadata set content = 'abstract' where meta_id = KEY and code = '0102'"});
  EXPECT_TRUE(frm_meta_edit->CheckStructure(text)) << U8(text);
  EXPECT_EQ(f.State("01"), "3");
  EXPECT_EQ(f.State("0102"), "3");
}

// A content typed but not posted yet counts.
TEST(StructureCheck, AnEditInProgressIsPostedFirst) {
  TRecordFixture f;
  f.Change({F::FillLeaves(), F::Clear("0102")});
  ASSERT_TRUE(dm->aq_metadata->Locate(u"code", Variant(String(u"0102")), {}));
  dm->aq_metadata->Edit();
  dm->aq_metadata->FieldByName(u"content")->SetAsString(u"typed");
  String text;
  EXPECT_TRUE(frm_meta_edit->CheckStructure(text)) << U8(text);
  EXPECT_EQ(f.One("select content from t_metadata where meta_id = '" + f.RecordKey + "' and code = '0102'"), "typed");
}

TEST(StructureCheck, ACoreRecordPassesWithItsStatesUntouched) {
  TRecordFixture f(true);
  f.Change({"update t_metadata set choice_state = 7 where meta_id = KEY"});
  String text = u"old";
  EXPECT_TRUE(frm_meta_edit->CheckStructure(text));
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(f.Count("t_metadata", "meta_id = '" + f.RecordKey + "' and choice_state <> 7"), "0");
}

// The main window's command shows the check's own message, and the fixed
// one when the check has nothing particular to say.
TEST(StructureCheck, TheCommandShowsTheMessage) {
  struct {
    const char* Name;
    std::vector<std::string> Changes;
    std::string Shown;
  } cases[] = {
      {"in order", {F::FillLeaves()}, "结构正确"},
      {"a fault", {F::FillLeaves(), F::Clear("0102")}, "元数据必选项不能空缺：0102摘要"},
      {"nothing to blame", {F::Remove("01"), F::Remove("06")}, "结构检查未通过"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecordFixture f;
    f.Change(c.Changes);
    f.Run([&] { f.Main->spb_check->Click(); });
    ASSERT_EQ(f.Script.Boxes.size(), 1u);
    EXPECT_EQ(U8(f.Script.Boxes[0].Text), c.Shown);
  }
}

}  // namespace
