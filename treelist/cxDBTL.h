#pragma once
// The dataset-bound tree list: every row of a dataset is a node, the key
// field names the row and the parent field names the key of its parent;
// rows whose parent is RootValue (or no row) hang at the top.
//
// The tree's data controller holds a copy of the rows, read at every load;
// the dataset stays the truth. Edits, deletions, moves and copies write the
// dataset first (several rows in one transaction) and the tree follows it;
// when a write fails the transaction is rolled back and the tree is loaded
// again from the data, so tree and dataset never disagree. Rows are only
// deleted by an explicit deletion: rebuilding the nodes never deletes one.
#include <map>
#include <memory>
#include <vector>

#include "editors/cxDBEdit.h"
#include "platform/db/datasource.h"
#include "treelist/cxTLData.h"

class TcxCustomDBTreeList;
class TcxDBTreeListDataLink;

// The binding of the tree to its dataset: the data source and the key,
// parent, image-index and state-index field names. A change reloads.
class TcxDBTreeListDataController : public TPersistent {
  KORVANE_CLASS(TcxDBTreeListDataController, TPersistent)
  explicit TcxDBTreeListDataController(TcxCustomDBTreeList* ATreeList);
  ~TcxDBTreeListDataController() override;
  void Assign(TPersistent* ASource) override;

  TcxCustomDBTreeList* TreeList() const { return FTreeList; }
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* AValue);
  // The source's dataset (none without a source).
  TDataSet* DataSet() const;
  // The dataset is open and both the key and the parent field exist in it.
  bool IsBound() const;
  const String& KeyField() const { return FKeyField; }
  void SetKeyField(const String& AValue);
  const String& ParentField() const { return FParentField; }
  void SetParentField(const String& AValue);
  const String& ImageIndexFieldName() const { return FImageIndexFieldName; }
  void SetImageIndexFieldName(const String& AValue);
  const String& StateIndexFieldName() const { return FStateIndexFieldName; }
  void SetStateIndexFieldName(const String& AValue);
  // One column per dataset field, in the first band, named after the field.
  void CreateAllItems();

private:
  void SetName(String& AField, const String& AValue);
  TcxCustomDBTreeList* FTreeList;
  std::unique_ptr<TcxDBTreeListDataLink> FDataLink;
  String FKeyField;
  String FParentField;
  String FImageIndexFieldName;
  String FStateIndexFieldName;
};

// Options of the dataset-bound tree list.
class TcxDBTreeListOptionsData : public TcxVirtualTreeListOptionsData {
  KORVANE_CLASS(TcxDBTreeListOptionsData, TcxVirtualTreeListOptionsData)
  using TcxVirtualTreeListOptionsData::TcxVirtualTreeListOptionsData;
  void Assign(TPersistent* ASource) override;
  // New records (and copies) take GetUniqueKeyValue as key.
  bool AutoCalcKeyValue() const { return FAutoCalcKeyValue; }
  void SetAutoCalcKeyValue(bool AValue) { FAutoCalcKeyValue = AValue; }
  // With SmartLoad a node loaded on demand is marked as having children
  // only when some row names it as parent.
  bool CheckHasChildren() const { return FCheckHasChildren; }
  void SetCheckHasChildren(bool AValue) { FCheckHasChildren = AValue; }
  // Switching SmartLoad on switches SmartRefresh off.
  void SetSmartLoad(bool AValue) override;
  bool SmartRefresh() const { return FSmartRefresh; }
  void SetSmartRefresh(bool AValue) { FSmartRefresh = AValue; }
  bool SyncMode() const { return FSyncMode; }
  void SetSyncMode(bool AValue) { FSyncMode = AValue; }

private:
  bool FAutoCalcKeyValue = false;
  bool FCheckHasChildren = true;
  bool FSmartRefresh = false;
  bool FSyncMode = true;
};

class TcxDBTreeListColumn;
class TcxDBItemDataBinding;

// The editor defaults of a dataset-bound column come from its field; a
// display format is also defined while the column's OnGetDisplayText
// changes its texts.
class TcxDBTreeListDefaultValuesProvider : public TcxCustomDBEditDefaultValuesProvider {
  KORVANE_CLASS(TcxDBTreeListDefaultValuesProvider, TcxCustomDBEditDefaultValuesProvider)
  explicit TcxDBTreeListDefaultValuesProvider(TcxDBItemDataBinding* ABinding);
  bool HasDisplayFormat(bool ACurrencyFormat) override;

private:
  TcxDBItemDataBinding* FBinding;
};

// The binding of a column to a dataset field by name. The field's data
// type gives the column's value type, and the editor of a column that has
// neither own properties nor a repository item: the default editor of the
// field (the field-type registry's item; without a field, its default).
// The answer is read from the dataset's field each time the column
// resolves its properties, which it does when the field name is set and
// whenever the tree's data is loaded anew.
class TcxDBItemDataBinding : public TcxItemDataBinding {
  KORVANE_CLASS(TcxDBItemDataBinding, TcxItemDataBinding)
  explicit TcxDBItemDataBinding(TcxDBTreeListColumn* AColumn);
  // The value type and the field name of another dataset binding.
  void Assign(TPersistent* ASource) override;

  const String& FieldName() const { return FFieldName; }
  // The provider is bound to the field, the column's properties are
  // resolved anew and the tree reloads to show the field.
  void SetFieldName(const String& AValue);
  // The field of that name in the tree's dataset (nullptr: none).
  TField* Field() const;

  TcxEditRepositoryItem* GetDefaultRepositoryItem() const override;
  // The field's value type; without a field, the one set on the binding.
  TcxValueTypeClass CurrentValueTypeClass() const override;
  // The provider answers for the field the dataset has now.
  void Init() override;

private:
  TcxDBTreeListColumn* Column() const;
  String FFieldName;
};

// A column bound to a dataset field by name (through its data binding).
class TcxDBTreeListColumn : public TcxTreeListColumn {
  KORVANE_CLASS(TcxDBTreeListColumn, TcxTreeListColumn)
  explicit TcxDBTreeListColumn(TcxCustomTreeListControl* ATreeList);
  TcxDBItemDataBinding* DataBinding() const {
    return static_cast<TcxDBItemDataBinding*>(TcxTreeListColumn::DataBinding());
  }
  const String& FieldName() const { return DataBinding()->FieldName(); }
  void SetFieldName(const String& AValue) { DataBinding()->SetFieldName(AValue); }
};

// One dataset row as the loader read it.
struct TcxDBTreeListRow {
  Variant Key;
  Variant Parent;
  Integer ImageIndex = -1;
  Integer StateIndex = -1;
  // The value of each item's field (Null for an item without one).
  std::vector<Variant> Values;
  // The values of the extra fields the reader was asked for.
  std::vector<Variant> Extra;
};

// Reads the dataset's rows and builds the nodes: all of them, or with
// SmartLoad the top level and the children of a node when it opens.
class TcxDBTreeListLoader : public TcxDataTreeListStructureLoader {
  KORVANE_CLASS(TcxDBTreeListLoader, TcxDataTreeListStructureLoader)
  explicit TcxDBTreeListLoader(TcxCustomDBTreeList* ATreeList);
  TcxCustomDBTreeList* DBTreeList() const;

protected:
  Integer GetRecordCount() override { return Integer(FRecordRows.size()); }
  Variant GetRecordKey(Integer ARecord) override;
  Integer GetRecordImageIndex(Integer ARecord) override;
  Integer GetRecordStateIndex(Integer ARecord) override;
  Variant GetRecordParentValue(Integer ARecord) override;
  void LoadNodes() override;
  void LoadChildrenOf(TcxTreeListNode* ANode) override;
  void SmartLoadStructure() override;

private:
  // A node for every row whose parent value is AValue (whatever the
  // dataset's order), under AParent (none: the top level), in dataset order.
  std::vector<TcxTreeListDataNode*> LoadChildren(const Variant& AValue, TcxTreeListNode* AParent);
  // The row read for each record of the data controller.
  std::vector<Integer> FRecordRows;
};

using TcxDBTreeListGetUniqueKeyValueEvent = TEvent<void(TcxCustomDBTreeList* Sender, Variant& AKeyValue)>;
using TcxDBTreeListInitInsertingRecordEvent =
    TEvent<void(TcxCustomDBTreeList* Sender, TcxTreeListDataNode* AFocusedNode, bool& AHandled)>;

class TcxCustomDBTreeList : public TcxCustomDataTreeList {
  KORVANE_CLASS(TcxCustomDBTreeList, TcxCustomDataTreeList)
  explicit TcxCustomDBTreeList(TComponent* AOwner = nullptr);
  // Ends editing and lets go of the data source first.
  ~TcxCustomDBTreeList() override;

  TcxDBTreeListDataController* DBDataController() const { return FDBDataController.get(); }
  TcxDBTreeListOptionsData* DBOptionsData() const { return static_cast<TcxDBTreeListOptionsData*>(DataOptions()); }
  TcxDBTreeListColumn* CreateDBColumn(const String& AFieldName);
  const Variant& RootValue() const { return FRootValue; }
  void SetRootValue(const Variant& AValue);

  // ---- Rows ----
  // The rows of the dataset, read anew in dataset order: key, parent and
  // index values, the columns' values and those of AExtra.
  std::vector<TcxDBTreeListRow> ReadRows(const std::vector<TField*>& AExtra = {});
  // Every node goes, and the data controller's copy of the rows with them.
  void ClearDataNodes() override;
  // A key for a new record: OnGetUniqueKeyValue decides when assigned;
  // otherwise (not with SmartLoad) the greatest numeric key of the loaded
  // records + 1 + AOffset. A key column that is not numeric leaves the key
  // unassigned: the dataset gives it.
  void GetUniqueKeyValue(Integer AOffset, Variant& AKeyValue);
  // Raises OnInitInsertingRecord (handled starts false): a handled new row
  // takes no key and parent from the tree.
  bool DoInitInsertingRecord(TcxTreeListDataNode* ANode);

  // ---- Changes written to the dataset ----
  // Moves write the new parent of every moved row, copies insert the
  // branches; then the tree follows.
  void MoveNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode, bool ACopy,
                 std::vector<TcxTreeListNode*> AList) override;
  // A new row where the tree would put the new node (a child of the
  // focused node; with AInsert beside the focused node's parent), with
  // GetUniqueKeyValue as key under AutoCalcKeyValue (else the dataset's
  // key) unless OnInitInsertingRecord handles it; its node is focused.
  bool InsertNode(bool AInsert) override;
  // Deletes the rows of the nodes and of every row below them in the data.
  void DeleteNodes(std::vector<TcxTreeListNode*> AList) override;
  // Copies the branches (each once) as children or siblings of ATarget.
  void CopyNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode, std::vector<TcxTreeListNode*> AList);
  // The row of ANode gets AParentValue (one row; no transaction of its own).
  void MoveNodeRecord(TcxTreeListDataNode* ANode, const Variant& AParentValue);
  // The rows of ANode and of everything below it in the data.
  void DeleteNodeRecords(TcxTreeListDataNode* ANode);

  // The dataset's current row becomes ANode's row; moving there does not
  // load the tree again. False when the row is not found.
  bool LocateNodeRecord(TcxTreeListDataNode* ANode);

  // The dataset opened, closed or changed from elsewhere: reload.
  // With SmartRefresh a row edited elsewhere and then posted or cancelled
  // only has its values read again, as long as its node is there under
  // the same key and parent; anything else reloads.
  void DataSetChanged();
  // The dataset says its rows may have changed; it says so as well when
  // only its cursor jumped (First, Last, Locate) and after a control walked
  // its rows. When the rows read are those of the last load, the nodes stay
  // and only the focus follows the cursor; otherwise as DataSetChanged.
  void DataSetRowsChanged();
  // The dataset started or ended editing a row: remembers which one.
  void DataSetEditingChanged();
  // With SyncMode the node of the dataset's current row is focused (with
  // SmartLoad its ancestors' children are loaded first so that it exists).
  void FocusCurrentRecord();
  // The focus stays on its row: with SyncMode the node of the dataset's
  // current row is focused, otherwise (or when that row has no node) the
  // node of the row focused before.
  void Reload() override;
  bool DataAvailable() const override;
  // An edited value of a node goes to its row; when that gave the row
  // another key or parent, the tree is loaded again (the node's place and
  // its children follow the data) with the focus on the row.
  void ApplyDataChange(TcxUpdateControlInfo* AInfo) override;

  TcxDBTreeListGetUniqueKeyValueEvent OnGetUniqueKeyValue;
  TcxDBTreeListInitInsertingRecordEvent OnInitInsertingRecord;

protected:
  std::unique_ptr<TcxDataTreeListStructureLoader> CreateLoader() override;
  std::unique_ptr<TcxVirtualTreeListOptionsData> CreateDataOptions() override;
  std::unique_ptr<TcxTreeListColumn> NewColumn() override { return std::make_unique<TcxDBTreeListColumn>(this); }

private:
  friend class TcxDBTreeListLoader;
  // The key, parent and index values of the dataset's active record, the
  // values of AFields (one per item, nullptr: none) and of AExtra.
  TcxDBTreeListRow ReadActiveRow(const std::vector<TField*>& AFields, const std::vector<TField*>& AExtra) const;
  // The tree wrote the dataset's current row, or read it again: the rows of
  // the last load take it, so that the dataset's next notice finds nothing
  // new in it.
  void CurrentRowWritten();
  // The values read for row ARow go into record ARecord.
  void ReadRecordValues(Integer ARecord, Integer ARow);
  // The field of each item (nullptr: none); value types follow the fields.
  std::vector<TField*> ItemFields();
  // Runs AWrite inside one transaction with the dataset's controls
  // disabled; on failure rolls back, loads the tree from the data and
  // passes the error on.
  template <class F>
  void WriteDataSet(F&& AWrite);
  bool LocateKey(const Variant& AKey);
  // The key of the dataset's current row (none when empty or unbound).
  Variant CurrentKey() const;
  // The keys above AKey in the rows of the last load, nearest first, up to
  // the one under RootValue; empty when the chain does not reach RootValue
  // (a missing parent, a row that is its own parent, a cycle).
  std::vector<Variant> AncestorKeys(const Variant& AKey) const;
  // The values of the current row go to its node's record; false when the
  // row is not AEditedKey's or its node is missing or under another parent.
  bool RefreshPostedRow(const Variant& AEditedKey);
  // Whether the dataset's rows are, value for value, those of the last load.
  bool SameRowsAsLoaded();
  // The guards and the reload of DataSetChanged; with ARowsMayBeSame rows
  // equal to the last load's keep the nodes.
  void DataSetChanged(bool ARowsMayBeSame);
  // AKey and the keys of the rows below it in the data, depth first, each once.
  std::vector<Variant> SubtreeKeys(const Variant& AKey);
  // Drops every node with an ancestor in the list.
  static std::vector<TcxTreeListNode*> Outermost(const std::vector<TcxTreeListNode*>& AList);
  // Writes the node's values (AItemIndex's only, when not negative) to its
  // row; true when the row then has another key or parent than the node.
  bool PostNodeValues(TcxTreeListDataNode* ANode, Integer AItemIndex);
  // The node of AKey gets the focus (none: the focus stays).
  void FocusKey(const Variant& AKey);

  std::unique_ptr<TcxDBTreeListDataController> FDBDataController;
  Variant FRootValue = Variant(-1);
  // Rows read by the last load: record index -> row values.
  std::vector<TcxDBTreeListRow> FRows;
  // The dataset's current row at the last full load.
  Variant FCurrentKey;
  // The key of the row the dataset is editing for someone else.
  Variant FEditedKey;
  Integer FWriting = 0;
};

class TcxDBTreeList : public TcxCustomDBTreeList {
  KORVANE_CLASS(TcxDBTreeList, TcxCustomDBTreeList)
  using TcxCustomDBTreeList::TcxCustomDBTreeList;
};
