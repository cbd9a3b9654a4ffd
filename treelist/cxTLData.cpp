#include "treelist/cxTLData.h"

#include <algorithm>

#include "data/cxVariants.h"

namespace {

[[noreturn]] void NotSupported() { throw EcxTreeList(LoadResString(cxSTreeListOperationNotSupported)); }

// Marks of the parent walk that breaks cycles.
enum : unsigned char { wsNew, wsOnPath, wsDone };

}  // namespace

// ---- Node ----

TcxTreeListNode* TcxTreeListDataNode::AddChild() { NotSupported(); }
TcxTreeListNode* TcxTreeListDataNode::AddChildFirst() { NotSupported(); }
TcxTreeListNode* TcxTreeListDataNode::InsertChild(TcxTreeListNode*) { NotSupported(); }

// ---- Loader ----

void TcxDataTreeListStructureLoader::ReloadStructure(TcxTreeListNode* ANode) {
  if (FLoading) return;
  TcxCustomDataTreeList* T = FTreeList;
  TcxControlDataController* DC = T->DataController();
  DC->BeginUpdate();
  FKeepRecords = T->SmartLoad() && !ANode && DC->GetRecordCount() > 0;
  FLoading = true;
  FNode = ANode;
  auto Finish = [&] {
    T->FRebuilding = false;
    T->Nodes()->SetLoading(false);
    FIgnoreChangeNotice = T->SmartLoad() && !FKeepRecords;
    FKeepRecords = false;
    FKeySortedNodes.clear();
    FExpandedKeys.clear();
    FNode = nullptr;
    DC->EndUpdate();
    FIgnoreChangeNotice = false;
    FLoading = false;
  };
  try {
    SaveExpandedKeys();
    T->Nodes()->SetLoading(true);
    LoadNodes();
    T->FRebuilding = true;
    RestoreExpandedKeys();
  } catch (...) {
    Finish();
    throw;
  }
  Finish();
}

void TcxDataTreeListStructureLoader::SaveExpandedKeys() {
  if (FTreeList->SmartLoad()) BeforeLoad();
  if (FNode) return;
  FKeySortedNodes.clear();
  FKeySortedNodes.reserve(size_t(std::max(0, GetRecordCount())));
  FKeysSorted = true;
  FExpandedKeys = FTreeList->AbsoluteNodeCount() > 0 ? ExpandedNodeKeys() : std::move(FKeptExpandedKeys);
  FKeptExpandedKeys.clear();
  FTreeList->ClearDataNodes();
}

std::vector<Variant> TcxDataTreeListStructureLoader::ExpandedNodeKeys() const {
  std::vector<Variant> Keys;
  for (Integer R = 0; R < FTreeList->AbsoluteNodeCount(); ++R) {
    auto* Node = dynamic_cast<TcxTreeListDataNode*>(FTreeList->GetNodeByRecord(R));
    if (Node && Node->Count() > 0 && !(Node->State() & tlnsCollapsed)) Keys.push_back(Node->KeyValue());
  }
  std::stable_sort(Keys.begin(), Keys.end(),
                   [](const Variant& A, const Variant& B) { return CompareVariantValues(A, B) < 0; });
  return Keys;
}

void TcxDataTreeListStructureLoader::LoadNodes() {
  if (FTreeList->SmartLoad() && (FNode || !FKeepRecords)) {
    if (FNode)
      LoadChildrenOf(FNode);
    else
      SmartLoadStructure();
  } else {
    BuildNodesFromRecords();
  }
}

Integer TcxDataTreeListStructureLoader::GetRecordCount() { return FTreeList->DataController()->GetRecordCount(); }

void TcxDataTreeListStructureLoader::AddNodeRecord(TcxTreeListDataNode* ANode, Integer ARecordIndex) {
  if (ARecordIndex < 0) return;
  FTreeList->AttachNodeRecord(ANode, ARecordIndex);
  ANode->SetStoredImageIndex(tlitImageIndex, GetRecordImageIndex(ARecordIndex));
  ANode->SetStoredImageIndex(tlitSelectedIndex, GetRecordImageIndex(ARecordIndex));
  ANode->SetStoredImageIndex(tlitStateIndex, GetRecordStateIndex(ARecordIndex));
}

void TcxDataTreeListStructureLoader::AddKeyedNode(TcxTreeListDataNode* ANode) {
  // Loads append in key order most of the time; the list is sorted once on demand.
  if (!FKeySortedNodes.empty() && CompareVariantValues(FKeySortedNodes.back().Key, ANode->KeyValue()) > 0)
    FKeysSorted = false;
  FKeySortedNodes.push_back({ANode->KeyValue(), ANode});
}

bool TcxDataTreeListStructureLoader::FindNodeByKey(const Variant& AValue, Integer& AIndex) const {
  auto* Self = const_cast<TcxDataTreeListStructureLoader*>(this);
  if (!FKeysSorted) {
    std::stable_sort(Self->FKeySortedNodes.begin(), Self->FKeySortedNodes.end(),
                     [](const TKeyedNode& A, const TKeyedNode& B) { return CompareVariantValues(A.Key, B.Key) < 0; });
    Self->FKeysSorted = true;
  }
  const auto It = std::lower_bound(
      FKeySortedNodes.begin(), FKeySortedNodes.end(), AValue,
      [](const TKeyedNode& A, const Variant& Key) { return CompareVariantValues(A.Key, Key) < 0; });
  AIndex = Integer(It - FKeySortedNodes.begin());
  return It != FKeySortedNodes.end() && CompareVariantValues(It->Key, AValue) == 0;
}

TcxTreeListDataNode* TcxDataTreeListStructureLoader::NodeByKey(const Variant& AValue) const {
  Integer Index = 0;
  return FindNodeByKey(AValue, Index) ? FKeySortedNodes[size_t(Index)].Node : nullptr;
}

// The parent of every record is decided first (the first record with the
// parent value as key; none, itself or a cycle: the top level), then the
// nodes are made parents first, so that each parent's children come in
// record order however the records are ordered.
void TcxDataTreeListStructureLoader::BuildNodesFromRecords() {
  const Integer Count = GetRecordCount();
  std::vector<Variant> Keys(size_t(std::max(0, Count)));
  std::vector<Variant> ParentValues(Keys.size());
  std::vector<Integer> ByKey(Keys.size());
  for (Integer R = 0; R < Count; ++R) {
    Keys[size_t(R)] = GetRecordKey(R);
    ParentValues[size_t(R)] = GetRecordParentValue(R);
    ByKey[size_t(R)] = R;
  }
  std::stable_sort(ByKey.begin(), ByKey.end(),
                   [&](Integer A, Integer B) { return CompareVariantValues(Keys[size_t(A)], Keys[size_t(B)]) < 0; });
  std::vector<Integer> Parents(Keys.size(), -1);
  for (Integer R = 0; R < Count; ++R) {
    const Variant& P = ParentValues[size_t(R)];
    const auto It = std::lower_bound(ByKey.begin(), ByKey.end(), P, [&](Integer A, const Variant& Key) {
      return CompareVariantValues(Keys[size_t(A)], Key) < 0;
    });
    if (It != ByKey.end() && *It != R && CompareVariantValues(Keys[size_t(*It)], P) == 0) Parents[size_t(R)] = *It;
  }
  // A chain of parents that comes back to itself is cut where it re-enters:
  // that record goes to the top level with the rest of the cycle below it.
  std::vector<unsigned char> Marks(Keys.size(), wsNew);
  std::vector<Integer> Path;
  for (Integer R = 0; R < Count; ++R) {
    Path.clear();
    Integer X = R;
    while (X >= 0 && Marks[size_t(X)] == wsNew) {
      Marks[size_t(X)] = wsOnPath;
      Path.push_back(X);
      X = Parents[size_t(X)];
    }
    if (X >= 0 && Marks[size_t(X)] == wsOnPath) Parents[size_t(X)] = -1;
    for (Integer P : Path) Marks[size_t(P)] = wsDone;
  }
  CreateNodesInTreeOrder(Parents);
  // The key-sorted list in key order, the first node of a key first.
  for (Integer R : ByKey) {
    auto* Node = dynamic_cast<TcxTreeListDataNode*>(FTreeList->GetNodeByRecord(R));
    if (Node) FKeySortedNodes.push_back({Keys[size_t(R)], Node});
  }
  FKeysSorted = true;
}

void TcxDataTreeListStructureLoader::CreateNodesInTreeOrder(const std::vector<Integer>& AParents) {
  const size_t Count = AParents.size();
  // Children of each record (and of the top, at Count) in record order.
  std::vector<Integer> Start(Count + 2, 0);
  for (size_t R = 0; R < Count; ++R) ++Start[size_t(AParents[R] < 0 ? Count : size_t(AParents[R])) + 1];
  for (size_t I = 1; I < Start.size(); ++I) Start[I] += Start[I - 1];
  std::vector<Integer> Children(Count);
  std::vector<Integer> Fill(Start.begin(), Start.end() - 1);
  for (size_t R = 0; R < Count; ++R) Children[size_t(Fill[AParents[R] < 0 ? Count : size_t(AParents[R])]++)] = Integer(R);
  std::vector<TcxTreeListNode*> NodeOf(Count, nullptr);
  std::vector<Integer> Stack;
  auto PushChildren = [&](size_t AOf) {
    for (Integer I = Start[AOf + 1]; I > Start[AOf]; --I) Stack.push_back(Children[size_t(I - 1)]);
  };
  PushChildren(Count);
  TcxTreeListNodes* Store = FTreeList->Nodes();
  while (!Stack.empty()) {
    const Integer R = Stack.back();
    Stack.pop_back();
    auto* Node = static_cast<TcxTreeListDataNode*>(FTreeList->CreateNode());
    const Integer P = AParents[size_t(R)];
    Store->AddNode(Node, P < 0 ? nullptr : NodeOf[size_t(P)], tlamAddChild);
    NodeOf[size_t(R)] = Node;
    Node->SetKeyValue(GetRecordKey(R));
    Node->SetParentValue(GetRecordParentValue(R));
    InitNode(Node);
    AddNodeRecord(Node, R);
    NodeCreated(Node);
    PushChildren(size_t(R));
  }
}

void TcxDataTreeListStructureLoader::RestoreExpandedKeys() {
  for (bool Found = !FExpandedKeys.empty(); Found;) {
    Found = false;
    for (auto It = FExpandedKeys.begin(); It != FExpandedKeys.end(); ++It) {
      TcxTreeListDataNode* Node = NodeByKey(*It);
      if (!Node) continue;
      FExpandedKeys.erase(It);
      if (Node->Count() == 0 && FTreeList->SmartLoad()) LoadChildrenOf(Node);
      Node->SetExpanded(true);
      Found = true;
      break;
    }
  }
  FExpandedKeys.clear();
  if (FTreeList->SmartLoad()) AfterLoad();
}

// ---- Options ----

void TcxVirtualTreeListOptionsData::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxVirtualTreeListOptionsData*>(ASource))
    SetSmartLoad(Source->SmartLoad());
  else
    TPersistent::Assign(ASource);
}

void TcxVirtualTreeListOptionsData::SetSmartLoad(bool AValue) {
  if (FSmartLoad == AValue) return;
  FSmartLoad = AValue;
  FTreeList->StructureChanged();
}

// ---- Data tree list ----

TcxCustomDataTreeList::TcxCustomDataTreeList(TComponent* AOwner) : TcxCustomTreeListControl(AOwner) {
  CreateDataSubobjects();
}

TcxCustomDataTreeList::~TcxCustomDataTreeList() = default;

void TcxCustomDataTreeList::CreateDataSubobjects() {
  FDataOptions = CreateDataOptions();
  FLoader = CreateLoader();
}

std::unique_ptr<TcxDataTreeListStructureLoader> TcxCustomDataTreeList::CreateLoader() {
  return std::make_unique<TcxDataTreeListStructureLoader>(this);
}

std::unique_ptr<TcxVirtualTreeListOptionsData> TcxCustomDataTreeList::CreateDataOptions() {
  return std::make_unique<TcxVirtualTreeListOptionsData>(this);
}

TcxTreeListNode* TcxCustomDataTreeList::NewNode() { return new TcxTreeListDataNode(Nodes()); }

bool TcxCustomDataTreeList::IsDataLoading() const { return FLoader->Loading() || FReloading; }

bool TcxCustomDataTreeList::DataAvailable() const { return DataController()->GetRecordCount() > 0 || SmartLoad(); }

void TcxCustomDataTreeList::ClearDataNodes() {
  const Integer TopIndex = Nodes()->ShownTopIndex();
  FRebuilding = true;
  try {
    ClearNodesKeepingRecords();
  } catch (...) {
    FRebuilding = false;
    throw;
  }
  FRebuilding = false;
  // Inside an update the store gives the top index back when it ends.
  if (!IsLocked()) Nodes()->SetShownTopIndex(TopIndex);
}

void TcxCustomDataTreeList::LoadStructure(TcxTreeListNode* ANode) {
  BeginUpdate();
  try {
    CompactRecords();
    if (DataAvailable())
      FLoader->ReloadStructure(ANode);
    else
      ClearDataNodes();
  } catch (...) {
    EndUpdate();
    throw;
  }
  if (!ANode) {
    EndUpdate();
    MakeFocusedNodeVisible();
  } else {
    EndUpdate();
  }
}

void TcxCustomDataTreeList::Reload() {
  const bool Was = std::exchange(FReloading, true);
  try {
    if (Controller()->IsEditing()) Controller()->EditingController()->EndCellEdit(false);
    if (DataAvailable()) {
      LoadStructure(nullptr);
    } else {
      if (AbsoluteNodeCount() > 0) FLoader->FKeptExpandedKeys = FLoader->ExpandedNodeKeys();
      ClearDataNodes();
    }
  } catch (...) {
    FReloading = Was;
    throw;
  }
  FReloading = Was;
  DoDataChanged();
}

void TcxCustomDataTreeList::StructureChanged() {
  if (IsDestroying() || FReloading) return;
  if (FLoader->Loading()) {
    FLoader->FIgnoreChangeNotice = false;
    return;
  }
  Reload();
}

TcxTreeListDataNode* TcxCustomDataTreeList::FindNodeByKeyValue(const Variant& AKey) const {
  for (TcxTreeListNode* N = Nodes()->Root()->GetFirstChild(); N; N = N->GetNext())
    if (auto* D = dynamic_cast<TcxTreeListDataNode*>(N); D && VarSameValue(D->KeyValue(), AKey)) return D;
  return nullptr;
}

bool TcxCustomDataTreeList::DoCanExpand(TcxTreeListNode* ANode) {
  if (!TcxCustomTreeListControl::DoCanExpand(ANode)) return false;
  if (!SmartLoad() || ANode->Count() > 0 || FLoader->Loading()) return true;
  LoadStructure(ANode);
  ANode->SetHasChildren(ANode->Count() > 0);
  return ANode->Count() > 0;
}
