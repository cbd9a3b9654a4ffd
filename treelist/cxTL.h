#pragma once
// Tree list nodes: the node, the node store, the binary node stream, and the
// node-keeping layer of the tree list control (TcxTreeListNodesOwner): an
// editing control that owns the store and answers what a node asks.
//
// Every node but the root owns one record of the editing control's data
// controller (the only one the tree list has);
// the owner keeps a list from record index to node and a list of records
// freed by deleted nodes, which it compacts outside updates.
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "data/cxCustomData.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"
#include "treelist/cxEditingControl.h"
#include "treelist/cxInplaceContainer.h"

class TcxTreeListNode;
class TcxTreeListNodes;
class TcxTreeListNodesOwner;

// The tree list's error class.
KORVANE_EXCEPTION(EcxTreeList, Exception);

inline constexpr TResourceString cxSTreeListIndexError{65400, u"Index %d out of bounds"};
inline constexpr TResourceString cxSTreeListInvalidStream{65401, u"Invalid stream format"};
inline constexpr TResourceString cxSTreeListStreamVersion{65402, u"Unsupported node stream version"};
inline constexpr TResourceString cxSTreeListStreamRecord{65403, u"Invalid record index in node stream"};
inline constexpr TResourceString cxSTreeListStreamChildCount{65404, u"Invalid child count in node stream"};
inline constexpr TResourceString cxSTreeListStreamDepth{65405, u"Nodes nested too deeply in node stream"};

enum TcxTreeListNodeAttachMode { tlamAdd, tlamAddFirst, tlamAddChild, tlamAddChildFirst, tlamInsert };
enum TcxTreeListImageIndexType { tlitImageIndex, tlitSelectedIndex, tlitStateIndex };

// Node state bits.
enum : Integer {
  tlnsDeleting = 0x02,     // being freed: not unlinked one by one
  tlnsHasChildren = 0x04,  // counts as having children before any exist
  tlnsCollapsed = 0x10,    // set on every new node
};
// Store state bits.
enum : Integer {
  tlsLoading = 0x80,               // new nodes take no record
  tlsNumberingOutOfDate = 0x1000,  // visible indexes must be renumbered
};

// The node stream: an 8-byte header (version, total size) and one record per
// node, depth first from the root.
inline constexpr Cardinal cxTreeListStreamVersion = 0x00040002;
inline constexpr Integer cxTreeListStreamHeaderSize = 8;
// Records of this program nest about a dozen levels; freeing, copying and
// sorting a subtree walk it recursively, so a stream may not nest deeper
// than this (the call stack stays far from its end).
inline constexpr Integer cxTreeListMaxStreamDepth = 1000;

using TcxTreeListCompareFunc = std::function<Integer(TcxTreeListNode* ANode1, TcxTreeListNode* ANode2)>;

// A node is also the sizable object of row sizing (cxTLController.cpp):
// its lower edge sets the control's DefaultRowHeight, so every row changes.
class TcxTreeListNode : public TPersistent, public IcxDragSizing {
  KORVANE_CLASS(TcxTreeListNode, TPersistent)

  explicit TcxTreeListNode(TcxTreeListNodes* AOwner);
  // Frees the children, tells the owner, and unlinks the node unless an
  // ancestor is being freed too.
  ~TcxTreeListNode() override;
  // From another node: data, focused state, has-children and every value.
  void Assign(TPersistent* ASource) override;

  // ---- Structure ----
  TcxTreeListNode* AddChild();
  TcxTreeListNode* AddChildFirst();
  // A new node inserted before ABeforeNode (one of this node's children).
  TcxTreeListNode* InsertChild(TcxTreeListNode* ABeforeNode);
  // Ignored for no target, the node itself, or a target in its own subtree.
  virtual void MoveTo(TcxTreeListNode* ADestNode, TcxTreeListNodeAttachMode AMode);
  void Delete();
  void DeleteChildren();
  // The i-th child; EcxTreeList "Index %d out of bounds" outside.
  TcxTreeListNode* Items(Integer AIndex) const;
  Integer Count() const { return FCount; }
  Integer Index() const { return FIndex; }
  TcxTreeListNode* Parent() const { return FParent; }
  Integer Level() const;
  TcxTreeListNode* GetFirstChild() const { return FFirst; }
  TcxTreeListNode* GetLastChild() const { return FLast; }
  TcxTreeListNode* GetNextChild(TcxTreeListNode* AChild) const { return AChild ? AChild->FNext : nullptr; }
  TcxTreeListNode* GetNextSibling() const { return FNext; }
  TcxTreeListNode* GetPrevSibling() const { return FPrev; }
  bool HasAsParent(const TcxTreeListNode* ANode) const;
  // Depth first, ignoring expansion.
  TcxTreeListNode* GetNext() const;
  TcxTreeListNode* GetPrev() const;
  // Along the displayed (expanded) nodes; none past either end.
  TcxTreeListNode* GetNextVisible() const;
  TcxTreeListNode* GetPrevVisible() const;

  // ---- State ----
  bool Expanded() const { return FCount > 0 && !(FState & tlnsCollapsed); }
  void SetExpanded(bool AValue);
  void Expand(bool ARecurse);
  void Collapse(bool ARecurse);
  bool CanExpand();
  bool CanCollapse();
  bool HasChildren() const { return (FState & tlnsHasChildren) || FCount > 0; }
  void SetHasChildren(bool AValue);
  bool Focused() const;
  // True focuses the node; false takes the focus away only when the node has it.
  void SetFocused(bool AValue);
  bool Selected() const;
  void SetSelected(bool AValue);
  bool IsVisible() const;
  Integer VisibleIndex() const;
  virtual bool IsFirstVisible() const;
  virtual bool IsLastVisible() const;
  void MakeVisible();
  Integer ImageIndex() const;
  Integer SelectedIndex() const;
  Integer StateIndex() const;
  // The three stored indexes, as the owner's image query starts from them.
  Integer StoredImageIndex(TcxTreeListImageIndexType AType) const { return FImageIndexes[AType]; }
  void SetStoredImageIndex(TcxTreeListImageIndexType AType, Integer AValue) { FImageIndexes[AType] = AValue; }
  virtual void Repaint(bool ARecalculate);
  Integer State() const { return FState; }
  std::intptr_t Data() const { return FData; }
  void SetData(std::intptr_t AValue) { FData = AValue; }

  // ---- Values ----
  Integer RecordIndex() const { return FRecordIndex; }
  Variant Values(Integer AIndex) const;
  void SetValues(Integer AIndex, const Variant& AValue);
  String Texts(Integer AIndex) const;
  Integer ValueCount() const;
  void AlphaSort(bool ARecurse);
  void SortByCompare(const TcxTreeListCompareFunc& ACompare, bool ARecurse);

  TcxTreeListNodes* Owner() const { return FOwner; }
  TcxTreeListNodesOwner* Control() const;

  // ---- Row sizing ----
  // Only vertically, with OptionsCustomizing.RowSizing and without CellAutoHeight.
  bool CanSize(TcxSizingDirection ADirection) const;
  // From the top of the node's row to one client height below it.
  TRect GetSizingBoundsRect(TcxSizingDirection ADirection) override;
  Integer GetSizingIncrement(TcxSizingDirection) override { return 1; }
  bool IsDynamicUpdate() override;
  // The control's DefaultRowHeight grows by ADelta.
  void SetSizeDelta(TcxSizingDirection ADirection, Integer ADelta) override;

protected:
  virtual Integer AllocateRecord();
  // State, child count and record index.
  virtual void ReadNodeData(TBinaryReader& AReader);
  virtual void WriteNodeData(TBinaryWriter& AWriter);
  virtual void ReadNodeFromStream(TBinaryReader& AReader);
  virtual void WriteNodeToStream(TBinaryWriter& AWriter);
  // The smallest record a node of the class takes in a stream.
  virtual Integer MinStreamRecordSize() const { return 8; }

private:
  friend class TcxTreeListNodes;
  friend class TcxTreeListNodesOwner;
  friend class TSortingManager;
  friend class TcxTreeListRootNode;

  bool IsDeleting() const;
  void Unlink();
  void LinkChild(TcxTreeListNode* AParent);
  void RenumberFrom(TcxTreeListNode* AStart, Integer AIndex);

  Integer FCount = 0;
  std::intptr_t FData = 0;
  TcxTreeListNode* FFirst = nullptr;
  Integer FIndex = 0;
  TcxTreeListNode* FLast = nullptr;
  TcxTreeListNode* FNext = nullptr;
  TcxTreeListNodes* FOwner;
  TcxTreeListNode* FParent = nullptr;
  TcxTreeListNode* FPrev = nullptr;
  Integer FRecordIndex = -1;
  Integer FState = tlnsCollapsed;
  Integer FImageIndexes[3] = {-1, -1, -1};
  Integer FVisibleIndex = -1;
};

// Never shown; the top-level nodes are its children.
class TcxTreeListRootNode : public TcxTreeListNode {
  KORVANE_CLASS(TcxTreeListRootNode, TcxTreeListNode)
  // State 0: expanded.
  explicit TcxTreeListRootNode(TcxTreeListNodes* AOwner);

protected:
  Integer AllocateRecord() override { return -1; }
};

// The node the control creates by default: images 0, 0, -1, kept in streams.
class TcxUnboundTreeListNode : public TcxTreeListNode {
  KORVANE_CLASS(TcxUnboundTreeListNode, TcxTreeListNode)
  explicit TcxUnboundTreeListNode(TcxTreeListNodes* AOwner);
  void Assign(TPersistent* ASource) override;

protected:
  void ReadNodeFromStream(TBinaryReader& AReader) override;
  void WriteNodeToStream(TBinaryWriter& AWriter) override;
  Integer MinStreamRecordSize() const override { return 20; }
};

class TcxTreeListNodes : public TPersistent {
  KORVANE_CLASS(TcxTreeListNodes, TPersistent)

  explicit TcxTreeListNodes(TcxTreeListNodesOwner* AOwner);
  ~TcxTreeListNodes() override;

  TcxTreeListNodesOwner* Owner() const { return FOwner; }
  TcxTreeListNode* Root() const { return FRoot.get(); }
  TcxControlDataController* DataController() const;
  Integer State() const { return FState; }
  bool IsLoading() const { return FState & tlsLoading; }
  void SetLoading(bool AValue);

  // Attaches ANode (a new one when nullptr) by AMode relative to ARelative.
  TcxTreeListNode* AddNode(TcxTreeListNode* ANode, TcxTreeListNode* ARelative, TcxTreeListNodeAttachMode AMode);
  void Clear();
  virtual void NodesChanged();
  virtual void NodeChanged(TcxTreeListNode* ANode);

  // ---- Visible numbering ----
  virtual void NumberVisibleNodes(bool ALocked);
  // The node at a visible index (clamped; written back).
  virtual TcxTreeListNode* GetNodeByVisibleIndex(Integer& AIndex);
  Integer ShownNodeCount();
  Integer MaxLevel();
  TcxTreeListNode* ShownTopNode() const { return FTopNode; }
  Integer ShownTopIndex() const { return FTopIndex; }
  void SetShownTopIndex(Integer AValue);
  // Inside the control's update the numbering keeps no top row; the top
  // index it had is kept aside and comes back with the first numbering
  // after the update. This sets the index to come back instead (not below 0).
  void SetTopIndexAfterUpdate(Integer AValue);
  Integer AbsoluteCount() const;
  TcxTreeListNode* AbsoluteItems(Integer AIndex) const;
  TcxTreeListNode* FoundItem() const { return FFoundItem; }
  void SetFoundItem(TcxTreeListNode* ANode) { FFoundItem = ANode; }

  // ---- Stream ----
  // The header and the whole tree below the root.
  void SaveToStream(TStream* AStream);
  // Replaces the tree by the one in the stream, over the data controller's
  // present records (each record exactly once). A damaged stream raises
  // EcxTreeList and leaves the tree as it was.
  void LoadFromStream(TStream* AStream);

private:
  friend class TcxTreeListNode;
  friend class TcxTreeListNodesOwner;

  TcxTreeListNode* FFoundItem = nullptr;
  Integer FMaxLevel = 0;
  TcxTreeListNodesOwner* FOwner;
  std::unique_ptr<TcxTreeListRootNode> FRoot;
  Integer FState = tlsNumberingOutOfDate;
  Integer FVisibleCount = 0;
  Integer FTopIndex = 0;
  TcxTreeListNode* FTopNode = nullptr;
  // The top index to restore after the update; -1: none.
  Integer FTopIndexAfterUpdate = -1;
  // Inside an update: the top index is kept aside once, before it is lost.
  void KeepTopIndexForUpdate();
};

// ---- Events of the node owner -----------------------------------------------------------------

using TcxTreeListNodeEvent = TEvent<void(TcxTreeListNodesOwner* Sender, TcxTreeListNode* ANode)>;
using TcxTreeListNodeAllowEvent = TEvent<void(TcxTreeListNodesOwner* Sender, TcxTreeListNode* ANode, bool& Allow)>;
using TcxTreeListCompareEvent =
    TEvent<void(TcxTreeListNodesOwner* Sender, TcxTreeListNode* ANode1, TcxTreeListNode* ANode2, Integer& ACompare)>;
using TcxTreeListNotifyEvent = TEvent<void(TcxTreeListNodesOwner* Sender)>;

// The node-keeping layer of the tree list control, on the editing control
// whose data controller holds the nodes' records: it owns the node store,
// keeps the record-indexed node list, the freed records and the selection,
// brackets the data controller in its updates and answers what nodes ask.
// The view's reactions are virtual hooks that do nothing here. A concrete
// descendant supplies the controller and calls CreateSubobjects.
class TcxTreeListNodesOwner : public TcxEditingControl {
  KORVANE_CLASS(TcxTreeListNodesOwner, TcxEditingControl)

  explicit TcxTreeListNodesOwner(TComponent* AOwner = nullptr);
  ~TcxTreeListNodesOwner() override;

  TcxTreeListNodes* Nodes() const { return FNodes.get(); }

  // ---- Items (columns) ----
  // An item leaves: the later items move up in the sorted-items list too
  // (the item leaves it).
  void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) override;
  // The sorted items keep their columns: their indexes trade places too.
  void ExchangeContainerItems(Integer AIndex1, Integer AIndex2) override;

  // ---- Update bracket ----
  // The outermost pair also brackets the data controller; its end compacts
  // the freed records and lays the control out.
  void BeginUpdate() override;
  void EndUpdate() override;
  bool IsLoading() const { return FLoading; }
  void SetLoading(bool AValue) { FLoading = AValue; }
  bool IsDestroying() const { return FDestroying || TcxEditingControl::IsDestroying(); }

  // ---- Nodes ----
  // A new node (from NewNode) with its record, not yet linked.
  TcxTreeListNode* CreateNode();
  TcxTreeListNode* AddNode(TcxTreeListNode* ANode, TcxTreeListNode* ARelative, TcxTreeListNodeAttachMode AMode);
  TcxTreeListNode* Add(TcxTreeListNode* ASibling = nullptr) {
    return AddNode(nullptr, ASibling ? ASibling->Parent() : nullptr, tlamAdd);
  }
  TcxTreeListNode* AddFirst(TcxTreeListNode* ASibling = nullptr) {
    return AddNode(nullptr, ASibling ? ASibling->Parent() : nullptr, tlamAddFirst);
  }
  TcxTreeListNode* Insert(TcxTreeListNode* ABefore) { return AddNode(nullptr, ABefore, tlamInsert); }
  void MoveNode(TcxTreeListNode* ANode, TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode);
  // A copy of ASource with its subtree as the last child of ATarget.
  TcxTreeListNode* CopyNode(TcxTreeListNode* ASource, TcxTreeListNode* ATarget);
  void ChangeExpanded(TcxTreeListNode* ANode, bool AExpand);
  void ExpandAllNodes();
  void CollapseAllNodes();
  void Clear() { FNodes->Clear(); }
  // The node that owns a record (nullptr when none).
  TcxTreeListNode* GetNodeByRecord(Integer ARecordIndex) const;
  Integer AbsoluteNodeCount() const { return Integer(FRecordNodes.size()); }
  // Whether several nodes may be selected (the selection options' MultiSelect).
  virtual bool IsMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool AValue);
  // The selection list (multi-selection only).
  const std::vector<TcxTreeListNode*>& SelectionList() const { return FSelection; }

  // ---- Sorting ----
  // Keeps the sorted-items list: an order appends an item not in it, soNone removes it.
  void SetItemSortOrder(Integer AItemIndex, TcxDataSortOrder AOrder);
  TcxDataSortOrder GetItemSortOrder(Integer AItemIndex) const;
  void BuildSortInfo();
  const std::vector<TcxDataSortInfo>& SortInfo() const { return FSortInfo; }
  bool HasSortedItems() const;
  void Resort();
  void BeginSort() { ++FSortLock; }
  bool IsSortLocked() const { return FSortLock > 0; }
  void EndSort();
  bool IsSortPending() const { return FSortPending; }
  // Compares two nodes by the sorted items, then by record index.
  Integer CompareNodesByColumns(TcxTreeListNode* ANode1, TcxTreeListNode* ANode2);

  // ---- Hooks the view overrides ----
  virtual void NodeAttaching(TcxTreeListNode*, TcxTreeListNode*, Integer /*ALink*/) {}
  virtual void NodeChanged(TcxTreeListNode*) {}
  virtual void RepaintNode(TcxTreeListNode*, bool) {}
  virtual void MakeNodeVisible(TcxTreeListNode*) {}
  virtual void MakeFocusedNodeVisible() {}
  // The tree list controller drops a node it holds (focused, hot, dragged).
  virtual void ForgetNode(TcxTreeListNode*) {}
  virtual void FocusNode(TcxTreeListNode* ANode);
  // Whether the nodes no longer match the records and must be reloaded
  // before a node may expand or collapse; never here.
  virtual bool IsStructureOutdated() { return false; }
  virtual Integer GetNodeImageIndex(const TcxTreeListNode* ANode, TcxTreeListImageIndexType AType) const;
  virtual bool DoCanExpand(TcxTreeListNode* ANode);
  virtual bool DoCanCollapse(TcxTreeListNode* ANode);
  virtual String GetNodeText(const TcxTreeListNode* ANode, Integer AItemIndex) const;

  // ---- Events ----
  TcxTreeListNodeAllowEvent OnExpanding;
  TcxTreeListNodeAllowEvent OnCollapsing;
  TcxTreeListNodeEvent OnExpanded;
  TcxTreeListNodeEvent OnCollapsed;
  TcxTreeListNodeEvent OnDeletion;
  TcxTreeListNodeAllowEvent OnCanSelectNode;
  TcxTreeListNotifyEvent OnSelectionChanged;
  TcxTreeListCompareEvent OnCompare;
  TcxTreeListNotifyEvent OnSorting;
  TcxTreeListNotifyEvent OnAfterSorting;
  TcxTreeListNotifyEvent OnChange;

  // The change notice: with ADelayed (after a sort) only while changes are
  // not delayed; OnChange fires when something happened since the last
  // notice, and the mark is cleared either way.
  void DoChange(bool ADelayed = true);
  // Milliseconds between change notices; 0 here (at once).
  virtual Integer ChangeDelay() const { return 0; }
  // Something happened that the next change notice reports.
  void NoteChange() { FChangeHappened = true; }
  bool ChangeHappened() const { return FChangeHappened; }
  // Every event raiser marks the change first, then calls the handler.
  template <class TEventType, class... TArgs>
  void RaiseEvent(const TEventType& AEvent, TArgs&&... AArgs) {
    NoteChange();
    AEvent(std::forward<TArgs>(AArgs)...);
  }

protected:
  // The node object CreateNode fills in; unbound by default.
  virtual TcxTreeListNode* NewNode();
  // The node's record is freed and queued; compacted now or at the last EndUpdate.
  virtual void NodeRemoved(TcxTreeListNode* ANode);
  void CompactRecords();
  // Gives a node made while the store was loading the record ARecordIndex
  // and lists it under that record.
  void AttachNodeRecord(TcxTreeListNode* ANode, Integer ARecordIndex);
  // Frees every node but leaves the data controller's records alone: the
  // record-indexed list and the selection are emptied.
  void ClearNodesKeepingRecords();
  virtual void SortingCleared() {}
  // The selection list changed: raises OnSelectionChanged.
  virtual void SelectionChanged() { RaiseEvent(OnSelectionChanged, this); }
  // The selection list itself, for a descendant that fills it in one go.
  std::vector<TcxTreeListNode*>& SelectionStore() { return FSelection; }

private:
  friend class TcxTreeListNode;
  friend class TcxTreeListNodes;
  friend class TSortingManager;

  void SelectNode(TcxTreeListNode* ANode, bool ASelect);
  void RegisterRecordNode(TcxTreeListNode* ANode);

  std::vector<TcxTreeListNode*> FRecordNodes;
  std::vector<Integer> FFreedRecords;
  std::vector<TcxTreeListNode*> FSelection;
  std::vector<std::pair<Integer, TcxDataSortOrder>> FSortedItems;
  std::vector<TcxDataSortInfo> FSortInfo;
  Integer FSortLock = 0;
  bool FLoading = false;
  bool FDestroying = false;
  bool FMultiSelect = false;
  bool FSortPending = false;
  bool FSortingClearedMark = false;
  bool FChangeHappened = false;
  // Freed before the inherited data controller that holds the nodes' records.
  std::unique_ptr<TcxTreeListNodes> FNodes;
};
