#include "treelist/cxTLSorting.h"

#include <algorithm>
#include <utility>

// One sort request: the parent now sorted, its children, and whether any
// partition reached its exchange step.
struct TSortingManager::TSortContext {
  TcxTreeListCompareFunc Compare;
  bool ByColumns = false;
  TcxTreeListNodesOwner* Control = nullptr;
  std::vector<TcxTreeListNode*> Children;
  TcxTreeListNode* Parent = nullptr;
  bool Changed = false;
  bool Recurse = false;
};

TSortingManager* SortingManager() {
  static TSortingManager Manager;
  return &Manager;
}

void TSortingManager::SortChildren(TcxTreeListNode* ANode, const TcxTreeListCompareFunc& ACompare, bool ARecurse) {
  if (!ANode || ANode->Count() == 0) return;
  TSortContext Context;
  Context.Control = ANode->Control();
  Context.Compare = ACompare;
  Context.Recurse = ARecurse;
  Context.ByColumns = !ACompare && !Context.Control->OnCompare.Assigned();
  if (Context.ByColumns) Context.Control->DataController()->PrepareCompare(Context.Control->SortInfo());
  FContexts.push_back(&Context);
  try {
    SortParent(Context, ANode);
  } catch (...) {
    Finish(Context);
    throw;
  }
  Finish(Context);
}

Integer TSortingManager::Compare(TSortContext& AContext, TcxTreeListNode* ANode1, TcxTreeListNode* ANode2) {
  // A node equals itself whatever a handler would answer.
  if (ANode1 == ANode2) return 0;
  if (AContext.Compare) return AContext.Compare(ANode1, ANode2);
  if (!AContext.ByColumns) {
    Integer Result = 1;
    AContext.Control->RaiseEvent(AContext.Control->OnCompare, AContext.Control, ANode1, ANode2, Result);
    return Result;
  }
  return AContext.Control->CompareNodesByColumns(ANode1, ANode2);
}

// Hoare partitioning around the middle entry. Both scans stop at the ends
// of the range, so a comparison that is no consistent order still ends
// inside the children (in some order). The smaller part recurses and the
// larger one loops, which keeps the stack shallow.
void TSortingManager::QuickSort(TSortContext& AContext, Integer ALow, Integer AHigh) {
  std::vector<TcxTreeListNode*>& C = AContext.Children;
  while (ALow < AHigh) {
    Integer I = ALow, J = AHigh;
    TcxTreeListNode* Pivot = C[size_t((ALow + AHigh) / 2)];
    do {
      while (I < AHigh && Compare(AContext, C[size_t(I)], Pivot) < 0) ++I;
      while (J > ALow && Compare(AContext, C[size_t(J)], Pivot) > 0) --J;
      if (I <= J) {
        std::swap(C[size_t(I)], C[size_t(J)]);
        AContext.Changed = true;
        ++I;
        --J;
      }
    } while (I <= J);
    if (J - ALow < AHigh - I) {
      if (ALow < J) QuickSort(AContext, ALow, J);
      ALow = I;
    } else {
      if (I < AHigh) QuickSort(AContext, I, AHigh);
      AHigh = J;
    }
  }
}

void TSortingManager::SortParent(TSortContext& AContext, TcxTreeListNode* AParent) {
  AContext.Parent = AParent;
  std::vector<TcxTreeListNode*>& C = AContext.Children;
  C.clear();
  for (TcxTreeListNode* N = AParent->GetFirstChild(); N; N = N->GetNextSibling()) C.push_back(N);
  const Integer Count = Integer(C.size());
  // Every sort of a parent with children counts as a change.
  if (Count > 0) AContext.Changed = true;
  QuickSort(AContext, 0, Count - 1);
  if (Count > 1) {
    for (Integer K = 0; K < Count; ++K) {
      TcxTreeListNode* N = C[size_t(K)];
      N->FIndex = K;
      N->FPrev = K > 0 ? C[size_t(K - 1)] : nullptr;
      N->FNext = K + 1 < Count ? C[size_t(K + 1)] : nullptr;
    }
    AParent->FFirst = C.front();
    AParent->FLast = C.back();
  }
  if (!AContext.Recurse) return;
  bool Changed = AContext.Changed;
  for (TcxTreeListNode* N = AParent->GetFirstChild(); N; N = N->GetNextSibling()) {
    if (N->Count() == 0) continue;
    AContext.Changed = false;
    SortParent(AContext, N);
    Changed = Changed || AContext.Changed;
  }
  AContext.Changed = Changed;
}

void TSortingManager::Finish(TSortContext& AContext) {
  FContexts.erase(std::find(FContexts.begin(), FContexts.end(), &AContext));
  TcxTreeListNodesOwner* C = AContext.Control;
  if (AContext.ByColumns) C->DataController()->UnprepareCompare();
  if (!AContext.Changed) return;
  C->Nodes()->NodesChanged();
  C->Nodes()->NumberVisibleNodes(C->IsLocked());
  C->MakeFocusedNodeVisible();
  C->DoChange();
}
