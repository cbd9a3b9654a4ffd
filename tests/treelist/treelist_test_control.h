#pragma once
// A tree list with two columns (an integer key and a name), that records its
// events as short texts and counts its layouts instead of laying out, plus helpers that draw a tree as text and check
// every link of it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/cxDataStorage.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/variant.h"
#include "treelist/cxTLControl.h"

class TTestTreeList : public TcxCustomTreeListControl {
  KORVANE_CLASS(TTestTreeList, TcxCustomTreeListControl)

  enum { KeyItem = 0, NameItem = 1 };

  TTestTreeList() {
    for (auto* Type : {TcxValueTypeClass(TcxIntegerValueType::StaticClass()),
                       TcxValueTypeClass(TcxStringValueType::StaticClass())}) {
      CreateColumn();
      DataController()->SetItemValueTypeClass(ItemCount() - 1, Type);
    }
    OnExpanded =
        TcxTreeListNodeEvent(this, [this](TcxTreeListNodesOwner*, TcxTreeListNode* N) { Log("expanded " + Name(N)); });
    OnCollapsed =
        TcxTreeListNodeEvent(this, [this](TcxTreeListNodesOwner*, TcxTreeListNode* N) { Log("collapsed " + Name(N)); });
    OnDeletion =
        TcxTreeListNodeEvent(this, [this](TcxTreeListNodesOwner*, TcxTreeListNode* N) { Log("deleted " + Name(N)); });
  }

  // A new node named AName under AParent (the top level for nullptr), with key = its record.
  TcxTreeListNode* Make(TcxTreeListNode* AParent, const std::string& AName) {
    TcxTreeListNode* Result = AddNode(nullptr, AParent, tlamAddChild);
    Result->SetValues(NameItem, Variant(UTF8ToString(AName)));
    Result->SetValues(KeyItem, Variant(Result->RecordIndex()));
    return Result;
  }

  static std::string Name(const TcxTreeListNode* ANode) {
    return ANode ? StringToUTF8(VarToStr(ANode->Values(NameItem))) : std::string("none");
  }

  void Log(const std::string& AText) { Events.push_back(AText); }

  void LayoutChanged() override { ++LayoutChanges; }

  std::vector<std::string> Events;
  Integer LayoutChanges = 0;
};

// The subtree below ANode as "a(b,c(d))"; a collapsed parent is marked "+".
inline std::string Shape(const TcxTreeListNode* ANode) {
  std::string Result;
  for (TcxTreeListNode* C = ANode->GetFirstChild(); C; C = C->GetNextSibling()) {
    if (!Result.empty()) Result += ",";
    Result += TTestTreeList::Name(C);
    if (C->Count() > 0) Result += std::string(C->Expanded() ? "" : "+") + "(" + Shape(C) + ")";
  }
  return Result;
}

// Every link, index and count of the tree, and the record-indexed list.
inline void ExpectSound(TcxTreeListNodesOwner& ATree) {
  Integer Nodes = 0;
  std::vector<const TcxTreeListNode*> Stack{ATree.Nodes()->Root()};
  while (!Stack.empty()) {
    const TcxTreeListNode* P = Stack.back();
    Stack.pop_back();
    Integer Index = 0;
    const TcxTreeListNode* Prev = nullptr;
    for (TcxTreeListNode* C = P->GetFirstChild(); C; C = C->GetNextSibling(), ++Index) {
      ++Nodes;
      EXPECT_EQ(C->Parent(), P);
      EXPECT_EQ(C->Index(), Index);
      EXPECT_EQ(C->GetPrevSibling(), Prev);
      EXPECT_EQ(ATree.GetNodeByRecord(C->RecordIndex()), C) << "record " << C->RecordIndex();
      Prev = C;
      Stack.push_back(C);
    }
    EXPECT_EQ(P->GetLastChild(), Prev);
    EXPECT_EQ(P->Count(), Index);
  }
  EXPECT_EQ(ATree.AbsoluteNodeCount(), Nodes);
  EXPECT_EQ(ATree.DataController()->GetRecordCount(), Nodes);
}
