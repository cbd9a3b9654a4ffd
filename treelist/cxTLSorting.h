#pragma once
// Node sorting: each parent's children are sorted apart, so the tree keeps
// its shape. One manager serves every tree list of the program.
#include <vector>

#include "treelist/cxTL.h"

class TSortingManager : public TObject {
  KORVANE_CLASS(TSortingManager, TObject)

  // Sorts ANode's children (and with ARecurse every subtree) by ACompare,
  // else by the owner's OnCompare, else by its sorted items. The scans never
  // leave the children, whatever the comparison answers.
  void SortChildren(TcxTreeListNode* ANode, const TcxTreeListCompareFunc& ACompare, bool ARecurse);
  // Sorts in progress (nested sorts of one request share one).
  Integer ContextCount() const { return Integer(FContexts.size()); }

private:
  struct TSortContext;
  Integer Compare(TSortContext& AContext, TcxTreeListNode* ANode1, TcxTreeListNode* ANode2);
  void QuickSort(TSortContext& AContext, Integer ALow, Integer AHigh);
  void SortParent(TSortContext& AContext, TcxTreeListNode* AParent);
  void Finish(TSortContext& AContext);

  std::vector<TSortContext*> FContexts;
};

// The program's one manager.
TSortingManager* SortingManager();
