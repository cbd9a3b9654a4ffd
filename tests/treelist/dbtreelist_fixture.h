#pragma once
// The dataset-bound tree list over a temporary SQLite table of id,
// parent_id (root -1), code and name, read in code order like the program's
// record query; the tree and the table can each be written as a shape to
// compare them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/db/dbtestutil.h"
#include "treelist/cxDBTL.h"

// Codes put children before their parents: the query is ordered by code.
const char* const Schema =
    "CREATE TABLE node (id INTEGER PRIMARY KEY, parent_id INTEGER, code TEXT, name TEXT);"
    "INSERT INTO node VALUES (1, -1, 'z1', 'root'), (2, 1, 'b2', 'a'), (3, 1, 'a3', 'b'),"
    " (4, 2, 'c4', 'a1'), (5, 2, 'c5', 'a2'), (6, 4, 'a6', 'a11'), (7, -1, 'y7', 'other'), (8, 7, 'd8', 'o1');";

enum { NameItem = 0, CodeItem = 1 };

// A tree with the name and code columns bound to the query, opened.
struct TBoundTree {
  explicit TBoundTree(const std::string& ASchema = Schema, const char* ASql = "SELECT * FROM node ORDER BY code")
      : Fixture(ASchema), Source(new TDataSource(Fixture.Owner)), Tree(std::make_unique<TcxDBTreeList>()) {
    Fixture.Query->SQL()->SetText(UTF8ToString(ASql));
    Source->SetDataSet(Fixture.Query);
    Bind(Tree.get());
    Fixture.Query->Open();
  }
  ~TBoundTree() { Tree.reset(); }

  // Another tree bound the same way to the same data source.
  std::unique_ptr<TcxDBTreeList> NewTree() {
    auto Result = std::make_unique<TcxDBTreeList>();
    Bind(Result.get());
    return Result;
  }
  TcxTreeListDataNode* Node(Integer AKey) const { return Tree->FindNodeByKeyValue(AKey); }
  // The tree as "name(child,child)" with each level sorted by name.
  std::string TreeShape() const { return ShapeOf(Tree.get()); }
  static std::string ShapeOf(const TcxDBTreeList* ATree) { return Shape(ATree->Nodes()->Root()); }
  // The table the same way, from SQL (a row whose parent is no row is on top).
  std::string TableShape() const {
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> Children;
    const auto Ids = Fixture.Db.Column("SELECT id FROM node");
    for (const auto& Id : Ids) {
      const std::string Parent = Fixture.Db.Value("SELECT parent_id FROM node WHERE id = " + Id);
      const bool Known = Fixture.Db.Value("SELECT count(*) FROM node WHERE id = " + Parent) != "0";
      Children[Known ? Parent : "top"].push_back(
          {Fixture.Db.Value("SELECT coalesce(name, '') FROM node WHERE id = " + Id), Id});
    }
    return TableLevel(Children, "top");
  }
  std::string Sql(const std::string& AQuery) const { return Fixture.Db.Value(AQuery); }
  void Exec(const std::string& AStatement) { Fixture.Connection->Execute(UTF8ToString(AStatement)); }

  TQueryFixture Fixture;
  TDataSource* Source;
  std::unique_ptr<TcxDBTreeList> Tree;

private:
  void Bind(TcxDBTreeList* ATree) {
    ATree->CreateDBColumn(u"name");
    ATree->CreateDBColumn(u"code");
    ATree->DBDataController()->SetKeyField(u"id");
    ATree->DBDataController()->SetParentField(u"parent_id");
    ATree->DBDataController()->SetDataSource(Source);
  }
  static std::string Shape(const TcxTreeListNode* ANode) {
    std::vector<std::string> Parts;
    for (TcxTreeListNode* C = ANode->GetFirstChild(); C; C = C->GetNextSibling())
      Parts.push_back(StringToUTF8(VarToStr(C->Values(NameItem))) + (C->Count() ? "(" + Shape(C) + ")" : ""));
    return Join(Parts);
  }
  static std::string TableLevel(std::map<std::string, std::vector<std::pair<std::string, std::string>>>& AChildren,
                                const std::string& AId) {
    std::vector<std::string> Parts;
    for (const auto& [Name, Id] : AChildren[AId]) {
      const bool HasChildren = !AChildren[Id].empty();
      Parts.push_back(Name + (HasChildren ? "(" + TableLevel(AChildren, Id) + ")" : ""));
    }
    return Join(Parts);
  }
  static std::string Join(std::vector<std::string> AParts) {
    std::sort(AParts.begin(), AParts.end());
    std::string Result;
    for (size_t I = 0; I < AParts.size(); ++I) Result += (I ? "," : "") + AParts[I];
    return Result;
  }
};

// The names of ANode's children in tree order.
inline std::vector<std::string> ChildNames(const TcxTreeListNode* ANode) {
  std::vector<std::string> Result;
  for (TcxTreeListNode* C = ANode->GetFirstChild(); C; C = C->GetNextSibling())
    Result.push_back(StringToUTF8(VarToStr(C->Values(NameItem))));
  return Result;
}
