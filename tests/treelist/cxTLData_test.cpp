// The structure loader over records held in the tree list's own data
// controller: key, parent and name items.
#include "treelist/cxTLData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "data/cxDataStorage.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"

namespace {

enum { KeyItem = 0, ParentItem = 1, NameItem = 2 };

class TRecordLoader : public TcxDataTreeListStructureLoader {
  KORVANE_CLASS(TRecordLoader, TcxDataTreeListStructureLoader)
  using TcxDataTreeListStructureLoader::TcxDataTreeListStructureLoader;

protected:
  Variant GetRecordKey(Integer R) override { return TreeList()->DataController()->GetValue(R, KeyItem); }
  Variant GetRecordParentValue(Integer R) override { return TreeList()->DataController()->GetValue(R, ParentItem); }
};

class TRecordTreeList : public TcxCustomDataTreeList {
  KORVANE_CLASS(TRecordTreeList, TcxCustomDataTreeList)
  TRecordTreeList() {
    CreateDataSubobjects();
    for (auto* Type : {TcxValueTypeClass(TcxIntegerValueType::StaticClass()),
                       TcxValueTypeClass(TcxIntegerValueType::StaticClass()),
                       TcxValueTypeClass(TcxStringValueType::StaticClass())}) {
      CreateColumn();
      DataController()->SetItemValueTypeClass(ItemCount() - 1, Type);
    }
  }
  struct TRow {
    Integer Key;
    Integer Parent;
  };
  // Replaces the records by ARows (name "n<key>") and reloads.
  void SetRows(const std::vector<TRow>& ARows) {
    ClearDataNodes();
    DataController()->SetRecordCount(0);
    DataController()->SetRecordCount(Integer(ARows.size()));
    for (size_t R = 0; R < ARows.size(); ++R) {
      DataController()->SetValue(Integer(R), KeyItem, ARows[R].Key);
      DataController()->SetValue(Integer(R), ParentItem, ARows[R].Parent);
      DataController()->SetValue(Integer(R), NameItem, u"n" + IntToStr(ARows[R].Key));
    }
    Reload();
  }

protected:
  std::unique_ptr<TcxDataTreeListStructureLoader> CreateLoader() override {
    return std::make_unique<TRecordLoader>(this);
  }
};

std::string Name(const TcxTreeListNode* N) { return StringToUTF8(VarToStr(N->Values(NameItem))); }

// "a(b,c)" in the children's order; with ASorted each level sorted by name.
std::string Shape(const TcxTreeListNode* ANode, bool ASorted = false) {
  std::vector<std::string> Parts;
  for (TcxTreeListNode* C = ANode->GetFirstChild(); C; C = C->GetNextSibling())
    Parts.push_back(Name(C) + (C->Count() ? "(" + Shape(C, ASorted) + ")" : ""));
  if (ASorted) std::sort(Parts.begin(), Parts.end());
  std::string Result;
  for (const auto& P : Parts) Result += (Result.empty() ? "" : ",") + P;
  return Result;
}

std::string Shape(TRecordTreeList& T, bool ASorted = false) { return Shape(T.Nodes()->Root(), ASorted); }

TEST(DataTreeList, ChildrenKeepRecordOrderWhereverTheirParentComes) {
  struct TCase {
    const char* Name;
    std::vector<TRecordTreeList::TRow> Rows;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"parents first", {{1, -1}, {2, 1}, {3, 1}, {4, 2}}, "n1(n2(n4),n3)"},
      {"children before their parent", {{3, 1}, {2, 1}, {1, -1}}, "n1(n3,n2)"},
      {"parent between its children", {{3, 1}, {1, -1}, {2, 1}}, "n1(n3,n2)"},
      {"grandchild first", {{4, 2}, {2, 1}, {1, -1}, {5, 1}}, "n1(n2(n4),n5)"},
      {"parent value of no record stays on top", {{1, 99}, {2, 1}}, "n1(n2)"},
      {"own key as parent stays on top", {{1, 1}, {2, 1}}, "n1(n2)"},
      {"duplicate key: the first takes the children", {{1, -1}, {1, -1}, {2, 1}}, "n1(n2),n1"},
      {"two-record cycle", {{1, 2}, {2, 1}, {3, 2}}, "n1(n2(n3))"},
      {"three-record cycle below a root", {{9, -1}, {1, 3}, {2, 1}, {3, 2}}, "n9,n1(n2(n3))"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TRecordTreeList T;
    T.SetRows(C.Rows);
    EXPECT_EQ(Shape(T), C.Expected);
    // Every record has exactly one node.
    EXPECT_EQ(T.AbsoluteNodeCount(), Integer(C.Rows.size()));
    for (Integer R = 0; R < Integer(C.Rows.size()); ++R) EXPECT_EQ(T.GetNodeByRecord(R)->RecordIndex(), R);
  }
}

TEST(DataTreeList, RowsInAnyOrderBuildTheSameTree) {
  // A random forest of 300 records with unique keys.
  std::mt19937 Random(20261210);
  std::vector<TRecordTreeList::TRow> Rows;
  for (Integer K = 1; K <= 300; ++K)
    Rows.push_back({K, K <= 5 ? -1 : Integer(std::uniform_int_distribution<Integer>(1, K - 1)(Random))});
  TRecordTreeList T;
  T.SetRows(Rows);
  const std::string Expected = Shape(T, true);
  ASSERT_EQ(T.Nodes()->Root()->Count(), 5);
  for (int Round = 0; Round < 20; ++Round) {
    std::shuffle(Rows.begin(), Rows.end(), Random);
    T.SetRows(Rows);
    ASSERT_EQ(Shape(T, true), Expected) << "round " << Round;
  }
}

TEST(DataTreeList, ExpandedKeysSurviveAReloadAndRecordsSurviveRebuilding) {
  TRecordTreeList T;
  T.SetRows({{1, -1}, {2, 1}, {3, 2}, {4, -1}, {5, 4}});
  T.FindNodeByKeyValue(1)->Expand(false);
  T.FindNodeByKeyValue(2)->Expand(false);
  ASSERT_TRUE(T.FindNodeByKeyValue(2)->Expanded());
  // The records move: key 2 is now the first record.
  T.DataController()->SetValue(0, KeyItem, 2);
  T.DataController()->SetValue(1, KeyItem, 1);
  T.DataController()->SetValue(1, ParentItem, -1);
  T.DataController()->SetValue(0, ParentItem, 1);
  T.Reload();
  EXPECT_EQ(T.DataController()->GetRecordCount(), 5);
  EXPECT_TRUE(T.FindNodeByKeyValue(1)->Expanded());
  EXPECT_TRUE(T.FindNodeByKeyValue(2)->Expanded());
  EXPECT_FALSE(T.FindNodeByKeyValue(4)->Expanded());
  T.ClearDataNodes();
  EXPECT_EQ(T.AbsoluteNodeCount(), 0);
  EXPECT_EQ(T.DataController()->GetRecordCount(), 5) << "clearing nodes deletes no record";
}

TEST(DataTreeList, DataNodesTakeNoChildrenByHand) {
  TRecordTreeList T;
  T.SetRows({{1, -1}});
  auto* Node = static_cast<TcxTreeListDataNode*>(T.Nodes()->Root()->GetFirstChild());
  EXPECT_THROW(Node->AddChild(), EcxTreeList);
  EXPECT_THROW(Node->AddChildFirst(), EcxTreeList);
  EXPECT_THROW(Node->InsertChild(nullptr), EcxTreeList);
  EXPECT_EQ(Node->Count(), 0);
}

}  // namespace
