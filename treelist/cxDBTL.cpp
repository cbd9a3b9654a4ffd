#include "treelist/cxDBTL.h"

#include <algorithm>

#include "data/cxDBData.h"
#include "data/cxVariants.h"
#include "editors/cxEditDBRegisteredRepositoryItems.h"
#include "platform/db/adodb.h"

// ---- Data link ----

// Hears the dataset open, close and change, a posted row and the cursor
// moving; a field being edited changes nothing.
class TcxDBTreeListDataLink : public TDataLink {
  KORVANE_CLASS(TcxDBTreeListDataLink, TDataLink)
  explicit TcxDBTreeListDataLink(TcxCustomDBTreeList* ATreeList) : FTreeList(ATreeList) {}

protected:
  void ActiveChanged() override { FTreeList->DataSetChanged(); }
  void DataSetChanged() override { FTreeList->DataSetRowsChanged(); }
  void DataSetScrolled(Integer) override { FTreeList->FocusCurrentRecord(); }
  void EditingChanged() override { FTreeList->DataSetEditingChanged(); }
  void LayoutChanged() override { FTreeList->DataSetChanged(); }
  void RecordChanged(TField* AField) override {
    if (!AField) FTreeList->DataSetChanged();
  }

private:
  TcxCustomDBTreeList* FTreeList;
};

namespace {

bool IsKeyNumber(const Variant& AValue) { return VarIsNumeric(AValue) && AValue.Type() != varBoolean; }

// Rows sorted by parent value (dataset order among equal parents).
class TRowsByParent {
public:
  explicit TRowsByParent(const std::vector<TcxDBTreeListRow>& ARows) : FRows(ARows), FOrder(ARows.size()) {
    for (size_t I = 0; I < FOrder.size(); ++I) FOrder[I] = Integer(I);
    std::stable_sort(FOrder.begin(), FOrder.end(), [&](Integer A, Integer B) {
      return CompareVariantValues(FRows[size_t(A)].Parent, FRows[size_t(B)].Parent) < 0;
    });
  }
  // Every row whose parent value is AValue, in dataset order.
  std::vector<Integer> Children(const Variant& AValue) const {
    if (VarIsNull(AValue) || VarIsEmpty(AValue)) return {};
    auto Less = [&](Integer A, const Variant& V) { return CompareVariantValues(FRows[size_t(A)].Parent, V) < 0; };
    auto Greater = [&](const Variant& V, Integer A) { return CompareVariantValues(V, FRows[size_t(A)].Parent) < 0; };
    const auto First = std::lower_bound(FOrder.begin(), FOrder.end(), AValue, Less);
    const auto Last = std::upper_bound(First, FOrder.end(), AValue, Greater);
    return std::vector<Integer>(First, Last);
  }
  // The first row (in dataset order) with that key; -1 when none.
  Integer RowOfKey(const Variant& AKey) const {
    for (size_t I = 0; I < FRows.size(); ++I)
      if (CompareVariantValues(FRows[I].Key, AKey) == 0) return Integer(I);
    return -1;
  }

private:
  const std::vector<TcxDBTreeListRow>& FRows;
  std::vector<Integer> FOrder;
};

}  // namespace

// ---- Data controller ----

TcxDBTreeListDataController::TcxDBTreeListDataController(TcxCustomDBTreeList* ATreeList)
    : FTreeList(ATreeList), FDataLink(std::make_unique<TcxDBTreeListDataLink>(ATreeList)) {}

TcxDBTreeListDataController::~TcxDBTreeListDataController() = default;

void TcxDBTreeListDataController::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxDBTreeListDataController*>(ASource);
  if (!Source) return TPersistent::Assign(ASource);
  FKeyField = Source->FKeyField;
  FParentField = Source->FParentField;
  FImageIndexFieldName = Source->FImageIndexFieldName;
  FStateIndexFieldName = Source->FStateIndexFieldName;
  FTreeList->DataSetChanged();
}

TDataSource* TcxDBTreeListDataController::DataSource() const { return FDataLink->DataSource(); }

void TcxDBTreeListDataController::SetDataSource(TDataSource* AValue) {
  if (AValue == DataSource()) return;
  FDataLink->SetDataSource(AValue);
  FTreeList->DataSetChanged();
}

TDataSet* TcxDBTreeListDataController::DataSet() const { return FDataLink->DataSet(); }

bool TcxDBTreeListDataController::IsBound() const {
  TDataSet* D = DataSet();
  return D && D->Active() && D->FindField(FKeyField) && D->FindField(FParentField);
}

void TcxDBTreeListDataController::SetName(String& AField, const String& AValue) {
  if (AField == AValue) return;
  AField = AValue;
  FTreeList->DataSetChanged();
}

void TcxDBTreeListDataController::SetKeyField(const String& AValue) { SetName(FKeyField, AValue); }
void TcxDBTreeListDataController::SetParentField(const String& AValue) { SetName(FParentField, AValue); }
void TcxDBTreeListDataController::SetImageIndexFieldName(const String& AValue) {
  SetName(FImageIndexFieldName, AValue);
}
void TcxDBTreeListDataController::SetStateIndexFieldName(const String& AValue) {
  SetName(FStateIndexFieldName, AValue);
}

void TcxDBTreeListDataController::CreateAllItems() {
  TDataSet* D = DataSet();
  if (!D || D->FieldCount() == 0) return;
  FTreeList->BeginUpdate();
  try {
    for (Integer I = 0; I < D->FieldCount(); ++I) {
      TField* F = D->Fields()->Fields(I);
      TcxDBTreeListColumn* C = FTreeList->CreateDBColumn(F->FieldName());
      C->SetCaption(F->FieldName());
      C->SetVisible(F->Visible());
    }
  } catch (...) {
    FTreeList->EndUpdate();
    throw;
  }
  FTreeList->EndUpdate();
}

// ---- Options ----

void TcxDBTreeListOptionsData::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxDBTreeListOptionsData*>(ASource)) {
    FSmartRefresh = Source->FSmartRefresh;
    FSyncMode = Source->FSyncMode;
    FAutoCalcKeyValue = Source->FAutoCalcKeyValue;
    FCheckHasChildren = Source->FCheckHasChildren;
  }
  TcxVirtualTreeListOptionsData::Assign(ASource);
}

void TcxDBTreeListOptionsData::SetSmartLoad(bool AValue) {
  if (AValue) FSmartRefresh = false;
  TcxVirtualTreeListOptionsData::SetSmartLoad(AValue);
}

// ---- Column and its data binding ----

TcxDBTreeListDefaultValuesProvider::TcxDBTreeListDefaultValuesProvider(TcxDBItemDataBinding* ABinding)
    : TcxCustomDBEditDefaultValuesProvider(ABinding), FBinding(ABinding) {}

bool TcxDBTreeListDefaultValuesProvider::HasDisplayFormat(bool ACurrencyFormat) {
  if (TcxCustomDBEditDefaultValuesProvider::HasDisplayFormat(ACurrencyFormat)) return true;
  auto* Column = dynamic_cast<TcxTreeListColumn*>(FBinding->Item());
  return Column && Column->OnGetDisplayText.Assigned();
}

TcxDBItemDataBinding::TcxDBItemDataBinding(TcxDBTreeListColumn* AColumn) : TcxItemDataBinding(AColumn) {
  FDefaultValuesProvider = std::make_unique<TcxDBTreeListDefaultValuesProvider>(this);
}

void TcxDBItemDataBinding::Assign(TPersistent* ASource) {
  TcxItemDataBinding::Assign(ASource);
  if (auto* Source = dynamic_cast<TcxDBItemDataBinding*>(ASource)) SetFieldName(Source->FieldName());
}

TcxDBTreeListColumn* TcxDBItemDataBinding::Column() const { return static_cast<TcxDBTreeListColumn*>(Item()); }

void TcxDBItemDataBinding::SetFieldName(const String& AValue) {
  if (FFieldName == AValue) return;
  FFieldName = AValue;
  Column()->DataChanged();
  if (auto* T = dynamic_cast<TcxCustomDBTreeList*>(Column()->TreeList())) T->DataSetChanged();
}

TField* TcxDBItemDataBinding::Field() const {
  auto* T = dynamic_cast<TcxCustomDBTreeList*>(Column()->TreeList());
  TDataSet* D = T ? T->DBDataController()->DataSet() : nullptr;
  return D && !FFieldName.empty() ? D->FindField(FFieldName) : nullptr;
}

TcxEditRepositoryItem* TcxDBItemDataBinding::GetDefaultRepositoryItem() const {
  return GetEditDBRegisteredRepositoryItems()->GetItemByField(Field());
}

TcxValueTypeClass TcxDBItemDataBinding::CurrentValueTypeClass() const {
  TField* F = Field();
  return F ? ValueTypeClassOfField(F) : TcxItemDataBinding::CurrentValueTypeClass();
}

void TcxDBItemDataBinding::Init() {
  static_cast<TcxDBTreeListDefaultValuesProvider*>(FDefaultValuesProvider.get())->SetField(Field());
}

TcxDBTreeListColumn::TcxDBTreeListColumn(TcxCustomTreeListControl* ATreeList) : TcxTreeListColumn(ATreeList) {
  ReplaceDataBinding(std::make_unique<TcxDBItemDataBinding>(this));
}

// ---- Loader ----

TcxDBTreeListLoader::TcxDBTreeListLoader(TcxCustomDBTreeList* ATreeList) : TcxDataTreeListStructureLoader(ATreeList) {}

TcxCustomDBTreeList* TcxDBTreeListLoader::DBTreeList() const { return static_cast<TcxCustomDBTreeList*>(TreeList()); }

Variant TcxDBTreeListLoader::GetRecordKey(Integer ARecord) {
  return DBTreeList()->FRows[size_t(FRecordRows[size_t(ARecord)])].Key;
}
Variant TcxDBTreeListLoader::GetRecordParentValue(Integer ARecord) {
  return DBTreeList()->FRows[size_t(FRecordRows[size_t(ARecord)])].Parent;
}
Integer TcxDBTreeListLoader::GetRecordImageIndex(Integer ARecord) {
  return DBTreeList()->FRows[size_t(FRecordRows[size_t(ARecord)])].ImageIndex;
}
Integer TcxDBTreeListLoader::GetRecordStateIndex(Integer ARecord) {
  return DBTreeList()->FRows[size_t(FRecordRows[size_t(ARecord)])].StateIndex;
}

void TcxDBTreeListLoader::LoadNodes() {
  TcxCustomDBTreeList* T = DBTreeList();
  if (!LoadingNode()) {
    // The rows and the data controller's copy of them are read anew.
    T->DataController()->SetRecordCount(0);
    FRecordRows.clear();
    T->FCurrentKey = T->CurrentKey();
    T->FRows = T->ReadRows();
  }
  if (T->SmartLoad()) {
    if (LoadingNode())
      LoadChildrenOf(LoadingNode());
    else
      SmartLoadStructure();
    return;
  }
  const Integer Count = Integer(T->FRows.size());
  T->DataController()->SetRecordCount(Count);
  FRecordRows.resize(size_t(Count));
  for (Integer R = 0; R < Count; ++R) {
    FRecordRows[size_t(R)] = R;
    T->ReadRecordValues(R, R);
  }
  BuildNodesFromRecords();
}

std::vector<TcxTreeListDataNode*> TcxDBTreeListLoader::LoadChildren(const Variant& AValue, TcxTreeListNode* AParent) {
  TcxCustomDBTreeList* T = DBTreeList();
  const TRowsByParent Rows(T->FRows);
  std::vector<TcxTreeListDataNode*> Result;
  for (Integer Row : Rows.Children(AValue)) {
    auto* Node = static_cast<TcxTreeListDataNode*>(T->CreateNode());
    T->Nodes()->AddNode(Node, AParent, tlamAddChild);
    const TcxDBTreeListRow& R = T->FRows[size_t(Row)];
    Node->SetKeyValue(R.Key);
    Node->SetParentValue(R.Parent);
    InitNode(Node);
    const Integer Record = T->DataController()->AppendRecord();
    if (size_t(Record) >= FRecordRows.size()) FRecordRows.resize(size_t(Record) + 1, -1);
    FRecordRows[size_t(Record)] = Row;
    T->ReadRecordValues(Record, Row);
    AddNodeRecord(Node, Record);
    AddKeyedNode(Node);
    NodeCreated(Node);
    Result.push_back(Node);
  }
  for (TcxTreeListDataNode* Node : Result)
    Node->SetHasChildren(!T->DBOptionsData()->CheckHasChildren() || !Rows.Children(Node->KeyValue()).empty());
  return Result;
}

void TcxDBTreeListLoader::LoadChildrenOf(TcxTreeListNode* ANode) {
  if (auto* Node = dynamic_cast<TcxTreeListDataNode*>(ANode)) LoadChildren(Node->KeyValue(), Node);
}

void TcxDBTreeListLoader::SmartLoadStructure() {
  TcxCustomDBTreeList* T = DBTreeList();
  LoadChildren(T->RootValue(), nullptr);
  // The path down to the dataset's current row, so that its node exists.
  if (SameText(T->DBDataController()->KeyField(), T->DBDataController()->ParentField())) return;
  const std::vector<Variant> Path = T->AncestorKeys(T->FCurrentKey);
  for (auto It = Path.rbegin(); It != Path.rend(); ++It) {
    TcxTreeListDataNode* Node = NodeByKey(*It);
    if (!Node) return;
    if (Node->Count() == 0) LoadChildren(*It, Node);
  }
}

// ---- Tree list ----

TcxCustomDBTreeList::TcxCustomDBTreeList(TComponent* AOwner)
    : TcxCustomDataTreeList(AOwner), FDBDataController(std::make_unique<TcxDBTreeListDataController>(this)) {
  CreateDataSubobjects();
}

TcxCustomDBTreeList::~TcxCustomDBTreeList() {
  if (Controller()->IsEditing()) Controller()->EditingController()->EndCellEdit(false);
  ++FWriting;
  FDBDataController->SetDataSource(nullptr);
}

std::unique_ptr<TcxDataTreeListStructureLoader> TcxCustomDBTreeList::CreateLoader() {
  return std::make_unique<TcxDBTreeListLoader>(this);
}

std::unique_ptr<TcxVirtualTreeListOptionsData> TcxCustomDBTreeList::CreateDataOptions() {
  return std::make_unique<TcxDBTreeListOptionsData>(this);
}

TcxDBTreeListColumn* TcxCustomDBTreeList::CreateDBColumn(const String& AFieldName) {
  auto* Column = static_cast<TcxDBTreeListColumn*>(CreateColumn());
  Column->SetFieldName(AFieldName);
  return Column;
}

void TcxCustomDBTreeList::SetRootValue(const Variant& AValue) {
  if (VarSameValue(FRootValue, AValue) && FRootValue.Type() == AValue.Type()) return;
  FRootValue = AValue;
  DataSetChanged();
}

bool TcxCustomDBTreeList::DataAvailable() const {
  return FDBDataController->IsBound() && (!FDBDataController->DataSet()->IsEmpty() || SmartLoad());
}

bool TcxCustomDBTreeList::LocateNodeRecord(TcxTreeListDataNode* ANode) {
  if (!ANode || !FDBDataController->IsBound()) return false;
  ++FWriting;
  try {
    const bool Found = LocateKey(ANode->KeyValue());
    --FWriting;
    return Found;
  } catch (...) {
    --FWriting;
    throw;
  }
}

Variant TcxCustomDBTreeList::CurrentKey() const {
  if (!FDBDataController->IsBound()) return Variant();
  TDataSet* D = FDBDataController->DataSet();
  return D->IsEmpty() ? Variant() : D->FieldByName(FDBDataController->KeyField())->Value();
}

std::vector<Variant> TcxCustomDBTreeList::AncestorKeys(const Variant& AKey) const {
  const TRowsByParent ByParent(FRows);
  std::vector<Variant> Keys;
  std::vector<bool> Seen(FRows.size(), false);
  Integer Row = VarIsNull(AKey) || VarIsEmpty(AKey) ? -1 : ByParent.RowOfKey(AKey);
  while (Row >= 0) {
    const TcxDBTreeListRow& R = FRows[size_t(Row)];
    // A row that is its own parent, or a chain that comes back, is cut off.
    if (Seen[size_t(Row)] || VarIsNull(R.Parent) || VarIsEmpty(R.Parent) || VarSameValue(R.Key, R.Parent)) return {};
    Seen[size_t(Row)] = true;
    if (VarSameValue(R.Parent, FRootValue)) return Keys;
    Keys.push_back(R.Parent);
    Row = ByParent.RowOfKey(R.Parent);
  }
  return {};
}

void TcxCustomDBTreeList::Reload() {
  // Nodes are made anew: the focus is kept by key, not by record index.
  auto* Focused = dynamic_cast<TcxTreeListDataNode*>(FocusedNode());
  const Variant FocusedKey = Focused ? Focused->KeyValue() : Variant();
  TcxCustomDataTreeList::Reload();
  if (IsDataLoading()) return;
  const Variant Current = CurrentKey();
  if (DBOptionsData()->SyncMode() && !VarIsEmpty(Current)) FocusCurrentRecord();
  if (!DBOptionsData()->SyncMode() || !FindNodeByKeyValue(Current)) FocusKey(FocusedKey);
}

void TcxCustomDBTreeList::FocusKey(const Variant& AKey) {
  if (VarIsEmpty(AKey) || VarIsNull(AKey)) return;
  TcxTreeListDataNode* Node = FindNodeByKeyValue(AKey);
  if (!Node || Node == FocusedNode()) return;
  Node->MakeVisible();
  SetFocusedNode(Node);
}

void TcxCustomDBTreeList::FocusCurrentRecord() {
  if (!DBOptionsData()->SyncMode() || FWriting > 0 || IsDestroying() || IsDataLoading()) return;
  const Variant Key = CurrentKey();
  if (VarIsNull(Key) || VarIsEmpty(Key)) return;
  TcxTreeListDataNode* Node = FindNodeByKeyValue(Key);
  if (!Node && SmartLoad()) {
    const std::vector<Variant> Path = AncestorKeys(Key);
    for (auto It = Path.rbegin(); It != Path.rend(); ++It) {
      TcxTreeListDataNode* Ancestor = FindNodeByKeyValue(*It);
      if (!Ancestor) break;
      if (Ancestor->Count() == 0) LoadStructure(Ancestor);
    }
    Node = FindNodeByKeyValue(Key);
  }
  if (!Node) return;
  Node->MakeVisible();
  if (Node != FocusedNode()) SetFocusedNode(Node);
}

void TcxCustomDBTreeList::DataSetEditingChanged() {
  TDataSet* D = FDBDataController->DataSet();
  if (FWriting == 0 && D && D->State() == dsEdit) FEditedKey = CurrentKey();
}

bool TcxCustomDBTreeList::RefreshPostedRow(const Variant& AEditedKey) {
  const Variant Key = CurrentKey();
  if (!FDBDataController->IsBound() || VarIsNull(Key) || VarIsEmpty(Key) || !VarSameValue(Key, AEditedKey)) return false;
  TcxTreeListDataNode* Node = FindNodeByKeyValue(Key);
  TDataSet* D = FDBDataController->DataSet();
  // A row whose parent changed moves in the tree: all is read.
  if (!Node || Node->RecordIndex() < 0 ||
      !VarSameValue(Node->ParentValue(), D->FieldByName(FDBDataController->ParentField())->Value()))
    return false;
  const std::vector<TField*> Fields = ItemFields();
  ++FWriting;
  try {
    for (size_t I = 0; I < Fields.size(); ++I)
      if (Fields[I]) DataController()->SetValue(Node->RecordIndex(), Integer(I), Fields[I]->Value());
  } catch (...) {
    --FWriting;
    throw;
  }
  --FWriting;
  CurrentRowWritten();
  return true;
}

void TcxCustomDBTreeList::DataSetChanged() { DataSetChanged(false); }

void TcxCustomDBTreeList::DataSetRowsChanged() { DataSetChanged(true); }

void TcxCustomDBTreeList::DataSetChanged(bool ARowsMayBeSame) {
  if (FWriting > 0 || IsDestroying() || !FDBDataController) return;
  // Reading the rows would end a row being inserted or edited by someone
  // else; its post or cancel tells again.
  if (TDataSet* D = FDBDataController->DataSet(); D && (D->State() == dsInsert || D->State() == dsEdit)) return;
  const Variant Edited = FEditedKey;
  FEditedKey = Variant();
  if (ARowsMayBeSame && !IsDataLoading() && SameRowsAsLoaded()) return FocusCurrentRecord();
  if (DBOptionsData()->SmartRefresh() && !VarIsEmpty(Edited) && !IsDataLoading() && RefreshPostedRow(Edited)) return;
  StructureChanged();
}

namespace {

// Equal in type and value: a row read again is the same row.
bool SameRowValue(const Variant& A, const Variant& B) { return A.Type() == B.Type() && VarSameValue(A, B); }

bool SameRow(const TcxDBTreeListRow& A, const TcxDBTreeListRow& B) {
  return SameRowValue(A.Key, B.Key) && SameRowValue(A.Parent, B.Parent) && A.ImageIndex == B.ImageIndex &&
         A.StateIndex == B.StateIndex && A.Values.size() == B.Values.size() &&
         std::equal(A.Values.begin(), A.Values.end(), B.Values.begin(), SameRowValue);
}

}  // namespace

bool TcxCustomDBTreeList::SameRowsAsLoaded() {
  // Nothing loaded yet (or no longer bound): whatever there is must be loaded.
  if (!FDBDataController->IsBound() || FRows.empty() || AbsoluteNodeCount() == 0) return false;
  const std::vector<TcxDBTreeListRow> Rows = ReadRows();
  return Rows.size() == FRows.size() && std::equal(Rows.begin(), Rows.end(), FRows.begin(), SameRow);
}

std::vector<TField*> TcxCustomDBTreeList::ItemFields() {
  std::vector<TField*> Fields(size_t(ItemCount()), nullptr);
  TDataSet* D = FDBDataController->DataSet();
  for (Integer I = 0; I < ItemCount(); ++I) {
    auto* Column = dynamic_cast<TcxDBTreeListColumn*>(GetColumn(I));
    TField* F = Column && D ? D->FindField(Column->FieldName()) : nullptr;
    Fields[size_t(I)] = F;
    if (F && DataController()->GetItemValueTypeClass(I) != ValueTypeClassOfField(F))
      DataController()->SetItemValueTypeClass(I, ValueTypeClassOfField(F));
  }
  return Fields;
}

TcxDBTreeListRow TcxCustomDBTreeList::ReadActiveRow(const std::vector<TField*>& AFields,
                                                    const std::vector<TField*>& AExtra) const {
  TDataSet* D = FDBDataController->DataSet();
  // Integer indexes; anything else is -1.
  auto Index = [&](const String& AName) -> Integer {
    TField* F = D->FindField(AName);
    if (!F) return -1;
    const Variant V = F->Value();
    return VarIsOrdinal(V) && V.Type() != varBoolean ? V.AsInteger() : -1;
  };
  auto Values = [](const std::vector<TField*>& AList) {
    std::vector<Variant> Result(AList.size());
    for (size_t I = 0; I < AList.size(); ++I)
      if (AList[I]) Result[I] = AList[I]->Value();
    return Result;
  };
  return {D->FieldByName(FDBDataController->KeyField())->Value(),
          D->FieldByName(FDBDataController->ParentField())->Value(),
          Index(FDBDataController->ImageIndexFieldName()),
          Index(FDBDataController->StateIndexFieldName()),
          Values(AFields),
          Values(AExtra)};
}

std::vector<TcxDBTreeListRow> TcxCustomDBTreeList::ReadRows(const std::vector<TField*>& AExtra) {
  std::vector<TcxDBTreeListRow> Rows;
  if (!FDBDataController->IsBound()) return Rows;
  TDataSet* D = FDBDataController->DataSet();
  D->CheckBrowseMode();
  const std::vector<TField*> Fields = ItemFields();
  // Each row is read where it lies, as a grid reads its window: the cursor
  // stays, and the other controls of the dataset hear nothing of the reading.
  const Integer Count = D->ViewCount();
  Rows.reserve(size_t(std::max(0, Count)));
  try {
    for (Integer I = 0; I < Count; ++I) {
      D->SetActiveView(I);
      Rows.push_back(ReadActiveRow(Fields, AExtra));
    }
  } catch (...) {
    D->SetActiveView(-1);
    throw;
  }
  D->SetActiveView(-1);
  return Rows;
}

void TcxCustomDBTreeList::CurrentRowWritten() {
  const Variant Key = CurrentKey();
  for (TcxDBTreeListRow& Row : FRows)
    if (VarSameValue(Row.Key, Key)) {
      Row = ReadActiveRow(ItemFields(), {});
      return;
    }
}

void TcxCustomDBTreeList::ReadRecordValues(Integer ARecord, Integer ARow) {
  const std::vector<Variant>& Values = FRows[size_t(ARow)].Values;
  for (size_t I = 0; I < Values.size() && Integer(I) < ItemCount(); ++I)
    if (!VarIsEmpty(Values[I])) DataController()->SetValue(ARecord, Integer(I), Values[I]);
}

void TcxCustomDBTreeList::ClearDataNodes() {
  TcxCustomDataTreeList::ClearDataNodes();
  ++FWriting;
  try {
    DataController()->SetRecordCount(0);
  } catch (...) {
    --FWriting;
    throw;
  }
  --FWriting;
}

void TcxCustomDBTreeList::GetUniqueKeyValue(Integer AOffset, Variant& AKeyValue) {
  AKeyValue = Variant();
  if (OnGetUniqueKeyValue) {
    OnGetUniqueKeyValue(this, AKeyValue);
    return;
  }
  if (SmartLoad() || FDBDataController->KeyField().empty() || FDBDataController->ParentField().empty()) return;
  try {
    const Variant* Max = nullptr;
    for (const TcxDBTreeListRow& R : FRows)
      if (!VarIsNull(R.Key) && !VarIsEmpty(R.Key) && (!Max || CompareVariantValues(R.Key, *Max) > 0)) Max = &R.Key;
    // Keys that are not numbers are the dataset's business.
    if (Max && IsKeyNumber(*Max)) AKeyValue = *Max + Variant(1 + AOffset);
  } catch (const Exception&) {
    AKeyValue = Variant();
  }
}

bool TcxCustomDBTreeList::DoInitInsertingRecord(TcxTreeListDataNode* ANode) {
  bool Handled = false;
  if (OnInitInsertingRecord) OnInitInsertingRecord(this, ANode, Handled);
  return Handled;
}

bool TcxCustomDBTreeList::LocateKey(const Variant& AKey) {
  return FDBDataController->DataSet()->Locate(FDBDataController->KeyField(), AKey, TLocateOptions{});
}

template <class F>
void TcxCustomDBTreeList::WriteDataSet(F&& AWrite) {
  TDataSet* D = FDBDataController->DataSet();
  auto* Ado = dynamic_cast<TCustomADODataSet*>(D);
  TADOConnection* Connection = Ado ? Ado->Connection() : nullptr;
  BeginUpdate();
  ++FWriting;
  D->DisableControls();
  bool InTransaction = false;
  auto Leave = [&] {
    D->EnableControls();
    --FWriting;
  };
  try {
    if (Connection) {
      Connection->BeginTrans();
      InTransaction = true;
    }
    AWrite(D);
    if (InTransaction) Connection->CommitTrans();
  } catch (...) {
    // The dataset drops what it held of the failed write and reads the data
    // again; the tree is built from it.
    try {
      if (D->State() == dsEdit || D->State() == dsInsert) D->Cancel();
      if (InTransaction && Connection->InTransaction()) Connection->RollbackTrans();
      D->Refresh();
    } catch (...) {
    }
    Leave();
    try {
      Reload();
    } catch (...) {
    }
    EndUpdate();
    throw;
  }
  Leave();
  EndUpdate();
}

std::vector<TcxTreeListNode*> TcxCustomDBTreeList::Outermost(const std::vector<TcxTreeListNode*>& AList) {
  std::vector<TcxTreeListNode*> Result;
  for (TcxTreeListNode* N : AList) {
    const bool Inside = std::any_of(AList.begin(), AList.end(), [&](TcxTreeListNode* A) { return N->HasAsParent(A); });
    if (!Inside && std::find(Result.begin(), Result.end(), N) == Result.end()) Result.push_back(N);
  }
  return Result;
}

std::vector<Variant> TcxCustomDBTreeList::SubtreeKeys(const Variant& AKey) {
  const std::vector<TcxDBTreeListRow> Rows = ReadRows();
  const TRowsByParent ByParent(Rows);
  std::vector<Variant> Keys{AKey};
  std::vector<bool> Seen(Rows.size(), false);
  const Integer Own = ByParent.RowOfKey(AKey);
  if (Own >= 0) Seen[size_t(Own)] = true;
  std::vector<Variant> Stack{AKey};
  while (!Stack.empty()) {
    const Variant Parent = Stack.back();
    Stack.pop_back();
    const std::vector<Integer> Children = ByParent.Children(Parent);
    for (auto It = Children.rbegin(); It != Children.rend(); ++It) {
      if (Seen[size_t(*It)]) continue;
      Seen[size_t(*It)] = true;
      Keys.push_back(Rows[size_t(*It)].Key);
      Stack.push_back(Rows[size_t(*It)].Key);
    }
  }
  return Keys;
}

void TcxCustomDBTreeList::DeleteNodeRecords(TcxTreeListDataNode* ANode) {
  const std::vector<Variant> Keys = SubtreeKeys(ANode->KeyValue());
  for (auto It = Keys.rbegin(); It != Keys.rend(); ++It)
    if (LocateKey(*It)) FDBDataController->DataSet()->Delete();
}

void TcxCustomDBTreeList::DeleteNodes(std::vector<TcxTreeListNode*> AList) {
  if (!FDBDataController->IsBound()) return TcxCustomDataTreeList::DeleteNodes(std::move(AList));
  std::vector<TcxTreeListDataNode*> Nodes;
  for (TcxTreeListNode* N : Outermost(AList))
    if (auto* D = dynamic_cast<TcxTreeListDataNode*>(N)) Nodes.push_back(D);
  if (Nodes.empty()) return;
  WriteDataSet([&](TDataSet*) {
    for (TcxTreeListDataNode* N : Nodes) DeleteNodeRecords(N);
  });
  Reload();
}

void TcxCustomDBTreeList::MoveNodeRecord(TcxTreeListDataNode* ANode, const Variant& AParentValue) {
  if (!LocateKey(ANode->KeyValue())) return;
  TDataSet* D = FDBDataController->DataSet();
  D->Edit();
  D->FieldByName(FDBDataController->ParentField())->SetValue(AParentValue);
  D->Post();
  CurrentRowWritten();
}

void TcxCustomDBTreeList::MoveNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode, bool ACopy,
                                    std::vector<TcxTreeListNode*> AList) {
  auto* Target = dynamic_cast<TcxTreeListDataNode*>(ATarget);
  if (!Target || !FDBDataController->IsBound()) return TcxCustomDataTreeList::MoveNodes(ATarget, AMode, ACopy, AList);
  const bool Inside = AMode == tlamAddChild || AMode == tlamAddChildFirst || AMode == tlamInsert;
  std::erase_if(AList, [&](TcxTreeListNode* N) { return (Inside && N == ATarget) || ATarget->HasAsParent(N); });
  if (AList.empty()) return;
  if (ACopy) return CopyNodes(ATarget, AMode, std::move(AList));
  const Variant ParentValue =
      AMode == tlamAddChild || AMode == tlamAddChildFirst ? Target->KeyValue() : Target->ParentValue();
  std::vector<TcxTreeListDataNode*> Moved;
  for (TcxTreeListNode* N : AList)
    if (auto* D = dynamic_cast<TcxTreeListDataNode*>(N)) Moved.push_back(D);
  WriteDataSet([&](TDataSet*) {
    for (TcxTreeListDataNode* N : Moved) MoveNodeRecord(N, ParentValue);
  });
  // The data holds the move: the tree follows, keeping the drop position.
  // A node added beside the target goes under the target's parent, as its
  // row now says (the node store reads tlamAdd against the parent).
  if (AMode == tlamAdd || AMode == tlamAddFirst)
    TcxCustomDataTreeList::MoveNodes(ATarget->Parent(), AMode, false, AList);
  else
    TcxCustomDataTreeList::MoveNodes(ATarget, AMode, false, AList);
  ++FWriting;
  for (TcxTreeListDataNode* N : Moved) {
    N->SetParentValue(ParentValue);
    for (Integer I = 0; I < ItemCount(); ++I)
      if (auto* C = dynamic_cast<TcxDBTreeListColumn*>(GetColumn(I));
          C && N->RecordIndex() >= 0 && SameText(C->FieldName(), FDBDataController->ParentField()))
        DataController()->SetValue(N->RecordIndex(), I, ParentValue);
  }
  --FWriting;
}

void TcxCustomDBTreeList::CopyNodes(TcxTreeListNode* ATarget, TcxTreeListNodeAttachMode AMode,
                                    std::vector<TcxTreeListNode*> AList) {
  auto* Target = dynamic_cast<TcxTreeListDataNode*>(ATarget);
  if (!Target || !FDBDataController->IsBound()) return;
  TDataSet* D = FDBDataController->DataSet();
  TField* KeyField = D->FieldByName(FDBDataController->KeyField());
  TField* ParentField = D->FieldByName(FDBDataController->ParentField());
  // Every data field that can be written except the key and the parent.
  std::vector<TField*> Copied;
  for (Integer I = 0; I < D->FieldCount(); ++I) {
    TField* F = D->Fields()->Fields(I);
    if (F != KeyField && F != ParentField && F->FieldKind() == fkData && F->CanModify()) Copied.push_back(F);
  }
  if (Copied.empty()) return;
  const Variant ParentValue =
      AMode == tlamAddChild || AMode == tlamAddChildFirst ? Target->KeyValue() : Target->ParentValue();
  const std::vector<TcxDBTreeListRow> Rows = ReadRows(Copied);
  const TRowsByParent ByParent(Rows);
  const bool CalcKeys = DBOptionsData()->AutoCalcKeyValue() && KeyField->CanModify();
  WriteDataSet([&](TDataSet*) {
    Integer Offset = 0;
    std::vector<bool> Copying(Rows.size(), false);
    for (TcxTreeListNode* N : Outermost(AList)) {
      auto* Node = dynamic_cast<TcxTreeListDataNode*>(N);
      const Integer Row = Node ? ByParent.RowOfKey(Node->KeyValue()) : -1;
      if (Row < 0) continue;
      // Depth first: each copied row takes its copied parent's new key.
      std::vector<std::pair<Integer, Variant>> Stack{{Row, ParentValue}};
      Copying[size_t(Row)] = true;
      while (!Stack.empty()) {
        const auto [R, NewParent] = Stack.back();
        Stack.pop_back();
        D->Append();
        if (CalcKeys) {
          Variant Key;
          GetUniqueKeyValue(Offset++, Key);
          if (!VarIsEmpty(Key)) KeyField->SetValue(Key);
        }
        ParentField->SetValue(NewParent);
        for (size_t I = 0; I < Copied.size(); ++I) Copied[I]->SetValue(Rows[size_t(R)].Extra[I]);
        D->Post();
        const Variant NewKey = KeyField->Value();
        const std::vector<Integer> Children = ByParent.Children(Rows[size_t(R)].Key);
        for (auto It = Children.rbegin(); It != Children.rend(); ++It)
          if (!Copying[size_t(*It)]) {
            Copying[size_t(*It)] = true;
            Stack.push_back({*It, NewKey});
          }
      }
    }
  });
  Reload();
}

bool TcxCustomDBTreeList::PostNodeValues(TcxTreeListDataNode* ANode, Integer AItemIndex) {
  TDataSet* D = FDBDataController->DataSet();
  bool Replaced = false;
  WriteDataSet([&](TDataSet*) {
    if (!LocateKey(ANode->KeyValue())) return;
    D->Edit();
    for (Integer I = 0; I < ItemCount(); ++I) {
      if (AItemIndex >= 0 && I != AItemIndex) continue;
      auto* Column = dynamic_cast<TcxDBTreeListColumn*>(GetColumn(I));
      TField* F = Column ? D->FindField(Column->FieldName()) : nullptr;
      if (!F || F->FieldKind() != fkData) continue;
      const Variant Value = DataController()->GetValue(ANode->RecordIndex(), I);
      if (!VarSameValue(Value, F->Value())) F->SetValue(Value);
    }
    D->Post();
    Replaced = !VarSameValue(D->FieldByName(FDBDataController->KeyField())->Value(), ANode->KeyValue()) ||
               !VarSameValue(D->FieldByName(FDBDataController->ParentField())->Value(), ANode->ParentValue());
    if (!Replaced) CurrentRowWritten();
  });
  return Replaced;
}

void TcxCustomDBTreeList::ApplyDataChange(TcxUpdateControlInfo* AInfo) {
  auto* Data = dynamic_cast<TcxDataChangedInfo*>(AInfo);
  if (Data && Data->Kind <= dcRecord && FWriting == 0 && !IsDataLoading() && FDBDataController->IsBound()) {
    // A value of a column without a field stays in the tree.
    auto* Column = dynamic_cast<TcxDBTreeListColumn*>(GetColumn(Data->ItemIndex));
    const bool Bound = Data->Kind == dcRecord ||
                       (Column && FDBDataController->DataSet()->FindField(Column->FieldName()));
    auto* Node = dynamic_cast<TcxTreeListDataNode*>(GetNodeByRecord(Data->RecordIndex));
    if (Node && Bound && PostNodeValues(Node, Data->Kind == dcValue ? Data->ItemIndex : -1)) {
      // The row's key is read from the dataset's current row, where the
      // post left it; the reload told the control of the change.
      const bool WasFocused = Node == FocusedNode();
      const Variant Key = CurrentKey();
      Reload();
      if (WasFocused) FocusKey(Key);
      return;
    }
  }
  TcxCustomDataTreeList::ApplyDataChange(AInfo);
}

bool TcxCustomDBTreeList::InsertNode(bool AInsert) {
  if (!FDBDataController->IsBound()) return TcxCustomDataTreeList::InsertNode(AInsert);
  auto* Focused = dynamic_cast<TcxTreeListDataNode*>(FocusedNode());
  if (!Focused && !AInsert) return false;
  Variant ParentValue = FRootValue;
  if (Focused && !AInsert) {
    ParentValue = Focused->KeyValue();
  } else if (Focused) {
    auto* Parent = dynamic_cast<TcxTreeListDataNode*>(Focused->Parent());
    ParentValue = Parent ? Parent->ParentValue() : Focused->ParentValue();
  }
  TDataSet* D = FDBDataController->DataSet();
  Variant NewKey;
  WriteDataSet([&](TDataSet*) {
    D->Append();
    if (!DoInitInsertingRecord(Focused)) {
      TField* KeyField = D->FieldByName(FDBDataController->KeyField());
      if (DBOptionsData()->AutoCalcKeyValue() && !SmartLoad() && KeyField->CanModify()) {
        Variant Key;
        GetUniqueKeyValue(0, Key);
        if (!VarIsEmpty(Key)) KeyField->SetValue(Key);
      }
      D->FieldByName(FDBDataController->ParentField())->SetValue(ParentValue);
    }
    D->Post();
    NewKey = D->FieldByName(FDBDataController->KeyField())->Value();
  });
  if (Focused && !AInsert) Focused->Expand(false);
  Reload();
  if (TcxTreeListDataNode* Node = FindNodeByKeyValue(NewKey)) {
    Node->MakeVisible();
    SetFocusedNode(Node);
  }
  return true;
}
