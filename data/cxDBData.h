#pragma once
// The data controller bound to a dataset through a data source: a data
// link hears the dataset's events, a provider reads and writes its fields,
// moves its cursor and keeps positions as bookmark strings. Records are
// found by key fields; after a post one record can be reread (smart
// refresh); grid mode holds only the link's window of records; a detail
// controller follows its master's key.
//
// Outside grid mode record index i is the dataset's i-th record (in the
// dataset's order) at the last load; in grid mode it is row i of the link's
// window.
#include <memory>
#include <vector>

#include "data/cxCustomDataController.h"
#include "data/cxDB.h"
#include "data/cxDBFilter.h"
#include "data/cxDataFilterBinding.h"
#include "data/cxDataSummary.h"
#include "platform/db/datasource.h"

class TcxDBDataController;
class TcxDBDataProvider;
class TcxValueDefDBReader;

inline constexpr TResourceString cxSDBKeyFieldNotFound{65270, u"Key Field not found"};
inline constexpr TResourceString cxSDBNotInGridMode{65271, u"DataController not in GridMode"};
inline constexpr TResourceString cxSDBDetailFilterControllerNotFound{65272, u"DetailFilterController not found"};

// The value type that holds a dataset field's values (string for none).
TcxValueTypeClass ValueTypeClassOfField(TField* AField);

// ---- Mode options -----------------------------------------------------------------------

using TcxDBDataDetailFirstEvent = TEvent<void(TcxDBDataController* ADataController, TDataSet* ADataSet,
                                               const String& AMasterDetailKeyFieldNames,
                                               const Variant& AMasterDetailKeyValues, bool& AReopened)>;
using TcxDBDataDetailIsCurrentQueryEvent =
    TEvent<void(TcxDBDataController* ADataController, TDataSet* ADataSet, const String& AMasterDetailKeyFieldNames,
                const Variant& AMasterDetailKeyValues, bool& AIsCurrent)>;

class TcxDBDataModeController : public TPersistent {
  KORVANE_CLASS(TcxDBDataModeController, TPersistent)
  explicit TcxDBDataModeController(TcxDBDataController* ADataController) : FDataController(ADataController) {}
  void Assign(TPersistent* ASource) override;

  TcxDBDataController* DataController() const { return FDataController; }
  bool SyncMode() const { return FSyncMode; }
  void SetSyncMode(bool AValue);
  bool GridMode() const { return FGridMode; }
  void SetGridMode(bool AValue);
  // 0 means the controller's default window (100).
  Integer GridModeBufferCount() const { return FGridModeBufferCount; }
  void SetGridModeBufferCount(Integer AValue);
  bool SmartRefresh() const { return FSmartRefresh; }
  void SetSmartRefresh(bool AValue);
  bool InsertInSync() const { return FInsertInSync; }
  void SetInsertInSync(bool AValue) { FInsertInSync = AValue; }
  bool DetailSyncToMaster() const { return FDetailSyncToMaster; }
  void SetDetailSyncToMaster(bool AValue) { FDetailSyncToMaster = AValue; }
  bool DetailInSQLMode() const { return FDetailInSQLMode; }
  void SetDetailInSQLMode(bool AValue) { FDetailInSQLMode = AValue; }

  TcxDBDataDetailFirstEvent OnDetailFirst;
  TcxDBDataDetailIsCurrentQueryEvent OnDetailIsCurrentQuery;

private:
  TcxDBDataController* FDataController;
  bool FSyncMode = true;
  bool FGridMode = false;
  Integer FGridModeBufferCount = 0;
  bool FSmartRefresh = false;
  bool FInsertInSync = true;
  bool FDetailSyncToMaster = true;
  bool FDetailInSQLMode = false;
};

// ---- Data link ----------------------------------------------------------------------------

class TcxDBDataLink : public TDataLink {
  KORVANE_CLASS(TcxDBDataLink, TDataLink)
  explicit TcxDBDataLink(TcxDBDataProvider* AProvider);
  TcxDBDataProvider* Provider() const { return FProvider; }
  void DataEvent(TDataEvent Event, NativeInt Info) override;

protected:
  friend class TcxDBDataProvider;
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(Integer Distance) override;
  void EditingChanged() override;
  void FocusControl(TFieldRef Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  TcxDBDataProvider* FProvider;
  bool FLayoutChanged = false;
};

// ---- Provider ------------------------------------------------------------------------------

class TcxDBDataProvider : public TcxCustomDataProvider {
  KORVANE_CLASS(TcxDBDataProvider, TcxCustomDataProvider)
  explicit TcxDBDataProvider(TcxCustomDataController* AOwner);
  ~TcxDBDataProvider() override;

  TcxDBDataController* DBDataController() const;
  TcxDBDataLink* DataLink() const { return FDataLink.get(); }
  TDataSet* DataSet() const { return FDataLink->DataSet(); }

  // ---- State ----
  bool IsGridMode() override;
  bool IsSourceActive() override;
  bool IsOtherInserting() override;
  bool IsSyncMode() override;
  bool IsActive() override;
  bool IsModified() override;
  bool CanModify() override;
  bool CanDelete() override;
  bool HasStructure() override;
  bool IsDataSetEditing() const;
  // A key field is bound and grid mode is off.
  bool IsKeysInUse();
  bool IsSmartRefresh();
  // The dataset record the controller's record index stands for.
  Integer CurrentRecordIndex() override;

  // ---- Editing ----
  bool Edit() override;
  void Append() override;
  void Insert() override;
  void Post() override;
  void Cancel() override;
  void FlushEdits() override;
  void DeleteFocused() override;
  void DeleteRecords(const std::vector<Integer>& AList) override;
  void DeleteSelection() override;
  Variant ReadFieldValue(Integer ARecordIndex, TcxCustomDataField* AField) override;
  bool WriteFieldValue(Integer ARecordIndex, TcxCustomDataField* AField, bool AIsText,
                       const Variant& AValue) override;
  void LockNotify() override;
  void UnlockNotify() override;
  void InitInsertedRecord(Integer ARecordIndex, const std::vector<Variant>& AGroupValues) override;
  void StoreValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue) override;

  // ---- Cursor ----
  void First() override;
  void Prior() override;
  void Next() override;
  void Last() override;
  void MoveBy(Integer ADistance) override;
  // Grid mode: the next window starts right after (or before) the current one.
  void Scroll(Integer ADistance) override;
  bool IsBOF() override;
  bool IsEOF() override;
  // The dataset is at its beginning (or the link is inactive).
  bool IsSourceIdle() override;
  bool IsGridModeUpdating() override { return IsGridMode() && FLoading; }
  TClass ReaderClass() override;
  void ActiveChanged(bool AActive) override;
  void FocusMoved() override { FocusMoved(0); }
  // Not a detail (or grid mode): the dataset is at its end; a detail: its
  // dataset holds the master's key.
  bool IsSourceInSync() override;
  void ClearNearestRecord() override;
  void RequestReload(bool AFlag) override;

  // ---- Loading and position ----
  // Reads every record (or the window in grid mode) anew and focuses the
  // dataset's current record.
  void ReloadData();
  void SavePosition() override;
  // Only when the saved bookmark is still valid; database errors are swallowed.
  void RestorePosition() override;
  // The dataset moved: the focus follows (distance 0: resynchronise).
  void FocusMoved(Integer ADistance);
  // Smart refresh of the record being updated; false when a full reload is needed.
  bool RefreshUpdatingRecord();
  Integer UpdatingRecordIndex() const { return FUpdatingRecordIndex; }
  // The data-changed handling of the link (also run for a waiting provider).
  void DoDataSetChanged();
  // Other providers on the same dataset.
  std::vector<TcxDBDataProvider*> ProvidersOnSameDataSet();
  bool IsLocked() const { return IsNotifyLocked(); }
  // A data field lost its dataset field: when that happens while the open
  // dataset moves to its first record, the fields were recreated.
  void FieldUnbound();

  // Every provider, program-wide.
  static const std::vector<TcxDBDataProvider*>& Providers();

protected:
  friend class TcxDBDataLink;
  friend class TcxDBDataController;
  friend class TcxDBDataSelection;
  void RecordChangedFromDataSet(TField* AField);
  void EditingChanged();
  void RunDeferred();
  void LoadRecords();
  bool MoveToFocusedRecord();

  std::unique_ptr<TcxDBDataLink> FDataLink;
  String FSavedBookmark;
  Integer FSavedActiveRecord = 0;
  bool FSavedBof = false;
  bool FSavedEof = false;
  Integer FUpdatingRecordIndex = cxNoRecordIndex;
  bool FUpdatingInserting = false;
  Integer FNewRecordIndex = -1;
  std::vector<TcxDBDataProvider*> FWaiting;
  // Guards: the provider itself changes the dataset.
  Integer FOwnChange = 0;
  bool FPendingChange = false;
  bool FSyncingFocus = false;
  bool FLoading = false;
  bool FWasInserting = false;
  bool FInFirst = false;
};

// ---- Data field -----------------------------------------------------------------------

class TcxDBDataField : public TcxCustomDataField {
  KORVANE_CLASS(TcxDBDataField, TcxCustomDataField)
  explicit TcxDBDataField(TcxCustomDataFieldList* AFieldList) : TcxCustomDataField(AFieldList) {}
  ~TcxDBDataField() override;

  void RemoveNotification(TComponent* AComponent) override;
  bool HasValues() override;

  const String& FieldName() const { return FFieldName; }
  // The TField, following the reference field.
  TField* GetField() const;
  TField* Field() const { return GetField(); }
  // Binds the field (and its value type) to AField.
  void SetField(TField* AField);
  TcxDBDataField* ParentField() const { return FParentField; }
  Integer FieldCount() const { return Integer(FFields.size()); }
  TcxDBDataField* Fields(Integer AIndex) const { return FFields.at(size_t(AIndex)); }
  bool IsLookup() const;
  // Every field it names is found in the dataset.
  bool IsBound() const;
  bool CanModify(TcxDataEditValueSource AKind) const;
  // Value of the current row of the dataset (sub-fields: a variant array).
  Variant DataSetValue() const;

protected:
  friend class TcxDBDataController;
  void SetFieldName(const String& AValue) { FFieldName = AValue; }
  void AddField(TcxDBDataField* ADataField);
  void ClearFields();
  void UpdateValueType();

private:
  String FFieldName;
  TField* FField = nullptr;
  TcxDBDataField* FParentField = nullptr;
  std::vector<TcxDBDataField*> FFields;
};

// ---- Relation --------------------------------------------------------------------------------

// A master-detail relation between dataset controllers: the master key is
// the master's values of the detail's MasterFieldNames.
class TcxDBDataRelation : public TcxCustomDataRelation {
  KORVANE_CLASS(TcxDBDataRelation, TcxCustomDataRelation)
  using TcxCustomDataRelation::TcxCustomDataRelation;
  ~TcxDBDataRelation() override;
  void RemoveDataField(TcxCustomDataField* AField) override;
  // The detail's MasterFieldNames and DetailKeyFieldNames are both set.
  // ADetail: a detail bound to one master record (nullptr: the relation's
  // own detail controller).
  bool IsLinked(TcxDBDataController* ADetail = nullptr);
  // One value or a variant array; Null when the relation is not linked.
  Variant GetMasterKeyValue(Integer AMasterRecordIndex, TcxDBDataController* ADetail = nullptr);

private:
  TcxDBDataController* MasterController() const;
  TcxDBDataController* DetailController(TcxDBDataController* ADetail) const;
  TcxDBDataField* FMasterKeyField = nullptr;
};

// ---- Filter -------------------------------------------------------------------------------

using TcxDBDataFilterBeforeChangeEvent =
    TEvent<void(TcxFilterCriteria* Sender, TDataSet* ADataSet, const String& AFilterText)>;
using TcxDBDataFilterFormatFilterTextValueEvent =
    TEvent<void(TcxFilterCriteria* Sender, TcxFilterCriteriaItem* AItem, const Variant& AValue, String& AValueText)>;

class TcxDBDataFilterCriteriaItem : public TcxDataFilterCriteriaItem {
  KORVANE_CLASS(TcxDBDataFilterCriteriaItem, TcxDataFilterCriteriaItem)
  using TcxDataFilterCriteriaItem::TcxDataFilterCriteriaItem;
  String GetFieldName() override;
  TcxFilterOperatorClass GetFilterOperatorClass() override;
};

class TcxDBDataFilterCriteria : public TcxDataFilterCriteria {
  KORVANE_CLASS(TcxDBDataFilterCriteria, TcxDataFilterCriteria)
  explicit TcxDBDataFilterCriteria(TcxDBDataController* ADataController);

  void Assign(TPersistent* ASource) override;
  void AssignEvents(TPersistent* ASource) override;
  TcxFilterCriteriaItemClass ItemClass() override;
  void AdjustValueText(TcxFilterCriteriaItem* AItem, const Variant& AValue, String& AText) override;
  void NotifyChanged() override;
  void RestoreDefaults() override;

  TcxDBDataController* DBDataController() const;
  bool AutoDataSetFilter() const { return FAutoDataSetFilter; }
  void SetAutoDataSetFilter(bool AValue);
  bool IgnoreOrigin() const { return FIgnoreOrigin; }
  void SetIgnoreOrigin(bool AValue);
  // AutoDataSetFilter on and smart refresh not in effect.
  bool IsDataSetFilterUsed();
  // The in-memory filter is off while the dataset filters, or while an
  // OnBeforeChange handler takes the condition over.
  bool IsFiltering() override;

  TcxDBDataFilterBeforeChangeEvent OnBeforeChange;
  TcxDBDataFilterFormatFilterTextValueEvent OnFormatFilterTextValue;

private:
  void ApplyToDataSet();
  void ReleaseDataSetFilter(TDataSet* ADataSet);
  bool FAutoDataSetFilter = false;
  // The filter text last written to the dataset, while it may still be there.
  bool FDataSetFilterSet = false;
  String FDataSetFilterText;
  bool FIgnoreOrigin = true;
};

// ---- Summary item bound by field name -------------------------------------------------------

class TcxDBDataSummaryItem : public TcxDataSummaryItem {
  KORVANE_CLASS(TcxDBDataSummaryItem, TcxDataSummaryItem)
  explicit TcxDBDataSummaryItem(TCollection* ACollection) : TcxDataSummaryItem(ACollection) {}
  ~TcxDBDataSummaryItem() override;
  void Assign(TPersistent* ASource) override;
  // The hidden field bound to FieldName when it is bound, else the linked item's field.
  TcxCustomDataField* SourceField() const override;
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& AValue);

private:
  String FFieldName;
  TcxDBDataField* FDataField = nullptr;
};

// ---- Grid-mode selection --------------------------------------------------------------------

// Selected rows as dataset bookmark strings, kept sorted by the dataset's order.
class TcxDBDataSelection : public TObject {
  KORVANE_CLASS(TcxDBDataSelection, TObject)
  explicit TcxDBDataSelection(TcxDBDataController* ADataController) : FDataController(ADataController) {}

  Integer Count() const { return Integer(FBookmarks.size()); }
  const String& Bookmarks(Integer AIndex) const { return FBookmarks.at(size_t(AIndex)); }
  const String& AnchorBookmark() const { return FAnchorBookmark; }
  bool AnchorSet() const { return !FAnchorBookmark.empty(); }
  void SetAnchor(const String& ABookmark) { FAnchorBookmark = ABookmark; }
  // The bookmark of a row of the link's window ("" outside it).
  String GetRowBookmark(Integer ARowIndex);
  // Found, and the index or the insertion point.
  bool Find(const String& ABookmark, Integer& AIndex) const;
  bool IsSelected(const String& ABookmark) const;
  void Select(const String& ABookmark, bool ASelect);
  void SelectAll();
  // From the anchor to ABookmark; AKeep keeps the rows selected before.
  void SelectFromAnchor(const String& ABookmark, bool AKeep);
  // Empty or no longer valid bookmarks are dropped.
  void ClearStale();
  void Clear();

private:
  TDataSet* DataSet() const;
  Integer Compare(const String& A, const String& B) const;
  TcxDBDataController* FDataController;
  std::vector<String> FBookmarks;
  String FAnchorBookmark;
};

// ---- Detail filter adapter -------------------------------------------------------------------

// How a detail dataset is brought to its master's key.
class TcxDBProviderDetailFilterAdapter : public TcxDBAdapterItem {
  KORVANE_CLASS(TcxDBProviderDetailFilterAdapter, TcxDBAdapterItem)
  TcxDBProviderDetailFilterAdapter() = default;
  // The dataset's parameters named by AFieldNames hold AValues.
  virtual bool IsCurrentQuery(TDataSet* ADataSet, const String& AFieldNames, const Variant& AValues);
  // Reopens the dataset with the parameters set to AValues (controls
  // disabled); a dataset already at the key only goes to First. Answers
  // whether it reopened.
  virtual bool ReopenSQL(TDataSet* ADataSet, const String& AFieldNames, const Variant& AValues);
};

TcxDBAdapterList* cxDetailFilterControllers();

// ---- Reader ----------------------------------------------------------------------------------

// Reads the dataset's current row through the bound fields.
class TcxValueDefDBReader : public TcxValueDefReader {
  KORVANE_CLASS(TcxValueDefDBReader, TcxValueDefReader)
  TcxValueDefDBReader() = default;
  String GetDisplayText(TcxValueDef* AValueDef) override;
  Variant GetValue(TcxValueDef* AValueDef) override;
  bool IsInternal(TcxValueDef* AValueDef) override;
};

// ---- Controller ------------------------------------------------------------------------------

// Hears of the destruction of the dataset fields that data fields are bound to.
class TcxDBFieldNotifier : public TComponent {
  KORVANE_CLASS(TcxDBFieldNotifier, TComponent)
  explicit TcxDBFieldNotifier(TcxDBDataController* AController) : TComponent(nullptr), FController(AController) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TcxDBDataController* FController;
};

class TcxDBDataController : public TcxCustomDataController {
  KORVANE_CLASS(TcxDBDataController, TcxCustomDataController)
  explicit TcxDBDataController(TComponent* AOwner);
  ~TcxDBDataController() override;

  void Assign(TPersistent* ASource) override;
  TObject* GetItem(Integer AIndex) const override;
  TcxCustomDataProviderClass ProviderClass() const override { return TcxDBDataProvider::StaticClass(); }
  // Reloads from the dataset through the provider.
  void ReloadData() override;
  // The storage is loaded from the dataset (not through the record-source cursor).
  void RestructureStorage() override { ReloadData(); }
  // Outside grid mode the link holds one record.
  void RecreateStorage() override;

  // ---- Binding ----
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* AValue);
  TDataSource* DataSource() const { return GetDataSource(); }
  TDataSet* GetDataSet() const;
  TcxDBDataProvider* GetDBProvider() const { return static_cast<TcxDBDataProvider*>(FProvider.get()); }
  TcxDBDataModeController* DataModeController() const { return FDataModeController.get(); }
  TcxDBDataFilterCriteria* DBFilter() const;
  const String& KeyFieldNames() const { return FKeyFieldNames; }
  void SetKeyFieldNames(const String& AValue);
  const String& DetailKeyFieldNames() const { return FDetailKeyFieldNames; }
  void SetDetailKeyFieldNames(const String& AValue);
  const String& MasterFieldNames() const { return FMasterFieldNames; }
  void SetMasterFieldNames(const String& AValue);
  // The hidden data field bound to KeyFieldNames (nullptr: none).
  TcxDBDataField* KeyField() const { return FKeyField; }

  // ---- Items ----
  void SetItemFieldName(Integer AItemIndex, const String& AFieldNames);
  TField* GetItemField(Integer AItemIndex) const;
  String GetItemFieldName(Integer AItemIndex) const;
  TcxDBDataField* GetItemDBField(Integer AItemIndex) const;
  // The item bound to a dataset field (-1: none).
  Integer GetItemIndexByField(TField* AField) const;
  // A view focuses the item's editor when asked by a field (base: not handled).
  virtual bool FocusItem(Integer) { return false; }
  // Binds every data field again (after the dataset opened).
  void RecreateFields() override;

  // ---- Records and keys ----
  Integer GetDataSetRecordCount() const;
  Integer GetDataSetRecNo() const;
  void SetDataSetRecNo(Integer AValue);
  bool IsDataSetSequenced() const;
  Variant GetKeyValue(Integer ARecordIndex);
  // The key of the dataset's current row.
  Variant GetDataSetKeyValue();
  void GetKeyFields(std::vector<TcxCustomDataField*>& AList) override;
  // A record's identity is its key value (Null without key fields).
  Variant GetRecordId(Integer ARecordIndex) override;
  // An item bound to a dataset field takes its value type from the field.
  void SetItemValueTypeClass(Integer AItemIndex, TcxValueTypeClass AValue) override;
  Integer FindRecordIndexByKey(const Variant& AKeyValue);
  bool LocateByKey(const Variant& AKeyValue);
  virtual bool MoveDataSetToRecord(Integer ARecordIndex);
  // Rereads the dataset's current row into the record.
  void ReloadRecord(Integer ARecordIndex);
  // The record holding the dataset's current row (-1: not loaded).
  virtual Integer GetRecordIndexByDataSetCurrent();
  void RefreshSource() override;
  virtual Integer GetDefaultGridModeBufferCount() const { return 100; }
  Integer GridModeBufferCount() const;
  virtual void InitInsertedRecordFromDataSet(Integer) {}
  virtual void DataSourceChanged() {}

  // ---- Grid mode ----
  Integer GetFocusedRecordIndex() const override;
  TcxDBDataSelection* DBSelection() const { return FDBSelection.get(); }
  String GetSelectedBookmark(Integer AIndex) const;
  String GetAnchorBookmark() const;
  // Scrolls the window by ADistance rows.
  void GridModeScroll(Integer ADistance);

  // ---- Master-detail ----
  // The detail follows the master controller's record ARecordIndex: the
  // master's values of MasterFieldNames become the current master key.
  void SetMasterRecord(TcxDBDataController* AMaster, Integer ARecordIndex);
  // The generic binding; a TcxDBDataRelation with a master record then
  // takes that record's key (SetMasterRecord).
  void SetMasterRelation(TcxCustomDataRelation* ARelation, Integer ARecordIndex) override;
  const Variant& MasterKeyValues() const { return FMasterKeyValues; }
  bool IsDetailMode() const override { return !FDetailKeyFieldNames.empty() && !VarIsNullOrEmpty(FMasterKeyValues); }
  // The adapter for the dataset's class; raises "DetailFilterController not found".
  TcxDBProviderDetailFilterAdapter* GetDetailFilterAdapter();
  // Whether the dataset holds the master's key.
  bool IsDetailCurrentQuery();
  TNotifyEvent OnDetailHasRows;

  // ---- Overrides ----
  bool LeaveRecord(Integer ARecordIndex) override;
  Variant GetFilterItemValue(Integer ARecordIndex, TcxCustomDataField* AField) override;
  bool FilterReadsStoredTexts(TcxCustomDataField* AField, bool ASourceRecord) override;
  String GetFilterItemCaption(Integer AItemIndex) override;
  Variant GetRecordValue(Integer ARecordIndex, TcxCustomDataField* AField) override;
  bool ExecuteAction(TObject* AAction) override;
  bool UpdateAction(TObject* AAction) override;
  bool GetCanModifyItem(Integer AItemIndex) override;
  // A bound key outside grid mode: selection and expansion survive a reload by key.
  bool SourceKeepsSelection() override;
  bool NeedsReloadOnActivate() override { return true; }
  bool IsInsertThroughSource() override { return GetDBProvider()->IsSmartRefresh(); }
  void DetailsRecordDeleted(Integer ARecordIndex) override;
  // Walks the dataset for a row whose display text of the search item
  // begins with AText (ANext: from the next row on, wrapping once).
  bool GridModeLocateByText(const String& AText, bool AForward, bool ANext) override;
  void CheckBrowseMode();
  // While held (counted), the focus notices go to one pair of notices sent
  // when the last hold ends: a reload and its refocus, or a controls bracket,
  // tell the view of the focus once, from where it was to where it is.
  void HoldFocusNotices() { ++FFocusHold; }
  void ReleaseFocusNotices();
  void NotifyControl(TcxUpdateControlInfo* AUpdateControlInfo) override;

protected:
  friend class TcxDBDataProvider;
  friend class TcxDBDataField;
  TcxCustomDataField* CreateField() override;
  void BindField(TcxDBDataField* AField, const String& AFieldNames);
  friend class TcxDBDataSummaryItem;
  friend class TcxDBDataRelation;
  void UpdateInternalField(const String& AFieldNames, TcxDBDataField*& AField);

private:
  // Owned parts, declared in reverse order of destruction; the destructor
  // frees them one by one before the generic parts go, the field notifier
  // last, so that the data fields freed afterwards find it cleared.
  std::unique_ptr<TcxDBFieldNotifier> FFieldNotifier;
  std::unique_ptr<TcxDBDataModeController> FDataModeController;
  std::unique_ptr<TcxDBDataSelection> FDBSelection;
  String FKeyFieldNames;
  String FDetailKeyFieldNames;
  String FMasterFieldNames;
  TcxDBDataField* FKeyField = nullptr;
  Variant FMasterKeyValues;
  bool FResettingFields = false;
  // The focus notices held (HoldFocusNotices): the first "from", the last "to".
  struct THeldFocus {
    bool RowSeen = false, RecordSeen = false, NewItemRowChanged = false;
    Integer PrevRow = -1, Row = -1, PrevRecord = -1, Record = -1;
  };
  Integer FFocusHold = 0;
  THeldFocus FHeldFocus;
};
