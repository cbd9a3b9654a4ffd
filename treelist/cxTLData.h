#pragma once
// The data tree list: a tree list whose nodes are built from records that
// each carry a key value and a parent value. The structure loader turns the
// records into a tree (children in record order, whatever order parents and
// children arrive in), keeps the expanded nodes expanded across reloads by
// key, and loads the children of a node on demand when the records say so.
//
// Rebuilding the nodes never deletes records: the records belong to the
// data, the nodes only show them.
#include <memory>
#include <utility>
#include <vector>

#include "treelist/cxTLControl.h"

class TcxCustomDataTreeList;

inline constexpr TResourceString cxSTreeListOperationNotSupported{65409, u"Operation not supported"};

// A node made by the loader, with the key and parent value of its record.
// Children come only from the loader: adding them by hand raises.
class TcxTreeListDataNode : public TcxTreeListNode {
  KORVANE_CLASS(TcxTreeListDataNode, TcxTreeListNode)
  explicit TcxTreeListDataNode(TcxTreeListNodes* AOwner) : TcxTreeListNode(AOwner) {}

  const Variant& KeyValue() const { return FKeyValue; }
  void SetKeyValue(const Variant& AValue) { FKeyValue = AValue; }
  const Variant& ParentValue() const { return FParentValue; }
  void SetParentValue(const Variant& AValue) { FParentValue = AValue; }

  // EcxTreeList "Operation not supported".
  TcxTreeListNode* AddChild();
  TcxTreeListNode* AddChildFirst();
  TcxTreeListNode* InsertChild(TcxTreeListNode* ABeforeNode);

private:
  Variant FKeyValue;
  Variant FParentValue;
};

// Builds the nodes of a data tree list from its records. A second load
// request while one runs is ignored.
class TcxDataTreeListStructureLoader : public TObject {
  KORVANE_CLASS(TcxDataTreeListStructureLoader, TObject)
  explicit TcxDataTreeListStructureLoader(TcxCustomDataTreeList* ATreeList) : FTreeList(ATreeList) {}

  TcxCustomDataTreeList* TreeList() const { return FTreeList; }
  bool Loading() const { return FLoading; }
  // Every node anew (ANode none), or the children of ANode on demand.
  void ReloadStructure(TcxTreeListNode* ANode);
  // Binary search of the nodes made by the running load, by key: found
  // gives the first node with the key, else AIndex is the insertion point.
  bool FindNodeByKey(const Variant& AValue, Integer& AIndex) const;
  // The first node of the running load with that key (none: nullptr).
  TcxTreeListDataNode* NodeByKey(const Variant& AValue) const;

protected:
  // Record ARecordIndex (when not negative) becomes the node's, with its
  // image and state indexes.
  virtual void AddNodeRecord(TcxTreeListDataNode* ANode, Integer ARecordIndex);
  virtual void AfterLoad() {}
  virtual void BeforeLoad() {}
  // The records the full load reads: the data controller's here.
  virtual Integer GetRecordCount();
  virtual Variant GetRecordKey(Integer) { return Variant(); }
  virtual Integer GetRecordImageIndex(Integer) { return -1; }
  virtual Integer GetRecordStateIndex(Integer) { return -1; }
  virtual Variant GetRecordParentValue(Integer) { return Variant(-1); }
  virtual void NodeCreated(TcxTreeListDataNode*) {}
  virtual void RestoreExpandedKeys();
  virtual void SaveExpandedKeys();
  virtual void InitNode(TcxTreeListDataNode*) {}
  virtual void LoadChildrenOf(TcxTreeListNode*) {}
  virtual void LoadNodes();
  virtual void BuildNodesFromRecords();
  virtual void SmartLoadStructure() {}
  // Whether the record's chain of parents ends at the root.
  virtual bool IsRootReachable(Integer) { return true; }

  // The keys of the expanded nodes, sorted.
  std::vector<Variant> ExpandedNodeKeys() const;
  // Adds a node made during the load to the key-sorted list.
  void AddKeyedNode(TcxTreeListDataNode* ANode);
  TcxTreeListNode* LoadingNode() const { return FNode; }
  bool KeepRecords() const { return FKeepRecords; }

private:
  struct TKeyedNode {
    Variant Key;
    TcxTreeListDataNode* Node;
  };
  // Depth-first creation of the nodes, ARecords' parents decided.
  void CreateNodesInTreeOrder(const std::vector<Integer>& AParents);

  TcxCustomDataTreeList* FTreeList;
  bool FLoading = false;
  bool FIgnoreChangeNotice = false;
  bool FKeepRecords = false;
  TcxTreeListNode* FNode = nullptr;
  // Sorted by key; among equal keys, in the order the nodes were made.
  std::vector<TKeyedNode> FKeySortedNodes;
  bool FKeysSorted = true;
  std::vector<Variant> FExpandedKeys;
  // Keys of the nodes expanded when the data went away, for the next load.
  std::vector<Variant> FKeptExpandedKeys;
  friend class TcxCustomDataTreeList;
};

// Options of a data tree list: with SmartLoad the children of a node are
// read from the data when the node is first expanded.
class TcxVirtualTreeListOptionsData : public TPersistent {
  KORVANE_CLASS(TcxVirtualTreeListOptionsData, TPersistent)
  explicit TcxVirtualTreeListOptionsData(TcxCustomDataTreeList* ATreeList) : FTreeList(ATreeList) {}
  void Assign(TPersistent* ASource) override;
  bool SmartLoad() const { return FSmartLoad; }
  // A change reloads the structure.
  virtual void SetSmartLoad(bool AValue);

protected:
  TcxCustomDataTreeList* FTreeList;

private:
  bool FSmartLoad = false;
};

class TcxCustomDataTreeList : public TcxCustomTreeListControl {
  KORVANE_CLASS(TcxCustomDataTreeList, TcxCustomTreeListControl)
  explicit TcxCustomDataTreeList(TComponent* AOwner = nullptr);
  ~TcxCustomDataTreeList() override;

  TcxDataTreeListStructureLoader* Loader() const { return FLoader.get(); }
  TcxVirtualTreeListOptionsData* DataOptions() const { return FDataOptions.get(); }
  bool SmartLoad() const { return FDataOptions->SmartLoad(); }
  bool IsRebuilding() const { return FRebuilding; }

  // The nodes are built anew from the data (expanded keys kept).
  virtual void Reload();
  virtual void RefreshDataBinding() { Reload(); }
  // Every node goes; records stay.
  virtual void ClearDataNodes();
  // A load runs or the control reloads (the control's IsLoading is its
  // own loading state, not this).
  virtual bool IsDataLoading() const;
  // There are records, or they load on demand.
  virtual bool DataAvailable() const;
  // A full load (ANode none) or the children of ANode.
  virtual void LoadStructure(TcxTreeListNode* ANode);
  // The structure may have changed: reload, unless a load is running.
  void StructureChanged();
  // The node with that key (the first one made; none: nullptr).
  TcxTreeListDataNode* FindNodeByKeyValue(const Variant& AKey) const;
  bool DoCanExpand(TcxTreeListNode* ANode) override;

protected:
  TcxTreeListNode* NewNode() override;
  virtual std::unique_ptr<TcxDataTreeListStructureLoader> CreateLoader();
  virtual std::unique_ptr<TcxVirtualTreeListOptionsData> CreateDataOptions();
  // Builds the loader and the options from the class queries above; a
  // descendant calls it again from its constructor.
  void CreateDataSubobjects();

private:
  friend class TcxDataTreeListStructureLoader;
  std::unique_ptr<TcxVirtualTreeListOptionsData> FDataOptions;
  std::unique_ptr<TcxDataTreeListStructureLoader> FLoader;
  bool FReloading = false;
  bool FRebuilding = false;
};
