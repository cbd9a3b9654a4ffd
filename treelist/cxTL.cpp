#include "treelist/cxTL.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/format.h"
#include "treelist/cxTLSorting.h"

namespace {

// The three links an attach mode comes down to.
enum TLink : Integer { lnkAppendChild = 0, lnkPrependChild = 1, lnkInsertBefore = 2 };
constexpr TLink cxAttachModeLinks[] = {lnkAppendChild, lnkPrependChild, lnkAppendChild, lnkPrependChild,
                                       lnkInsertBefore};

// A node record as read from a stream, before any node is made.
struct TNodeImage {
  Integer RecordIndex;
  Integer State;
  Integer ChildCount;
  Integer Images[3];
};

// Begin-update / end-update of the owner around a scope.
class TUpdateGuard {
public:
  explicit TUpdateGuard(TcxTreeListNodesOwner* AOwner) : FOwner(AOwner) { FOwner->BeginUpdate(); }
  ~TUpdateGuard() { FOwner->EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
  TcxTreeListNodesOwner* FOwner;
};

[[noreturn]] void StreamError(const TResourceString& AText) { throw EcxTreeList(LoadResString(AText)); }

}  // namespace

// ---- TcxTreeListNode ----------------------------------------------------------------------------

TcxTreeListNode::TcxTreeListNode(TcxTreeListNodes* AOwner) : FOwner(AOwner) {}

TcxTreeListNode::~TcxTreeListNode() {
  // A scratch node (no owner) reads stream records and is freed quietly.
  if (!FOwner) return;
  TcxTreeListNodesOwner* C = Control();
  TUpdateGuard Guard(C);
  // While the owner is destroyed its descendant's part (which handlers
  // reach) is gone already: nodes are freed silently then.
  if (FParent && !C->IsDestroying()) C->RaiseEvent(C->OnDeletion, C, this);
  if (FCount > 0) DeleteChildren();
  C->ForgetNode(this);
  if (!C->IsLoading() && !C->IsDestroying()) C->NodeRemoved(this);
  FOwner->FState |= tlsNumberingOutOfDate;
  if (FOwner->FTopNode == this) FOwner->FTopNode = nullptr;
  if (FOwner->FFoundItem == this) FOwner->FFoundItem = nullptr;
  Unlink();
}

TcxTreeListNodesOwner* TcxTreeListNode::Control() const { return FOwner->Owner(); }

void TcxTreeListNode::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxTreeListNode*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  FData = Source->FData;
  // Only a focused source moves the focus; an unfocused one leaves the
  // control's focus alone unless this node held it.
  if (Source->Focused())
    SetFocused(true);
  else if (Focused())
    SetFocused(false);
  SetHasChildren(Source->HasChildren());
  for (Integer I = 0; I < ValueCount(); ++I) SetValues(I, Source->Values(I));
}

Integer TcxTreeListNode::AllocateRecord() {
  TcxTreeListNodesOwner* C = Control();
  const Integer Result = C->DataController()->AppendRecord();
  FRecordIndex = Result;
  C->RegisterRecordNode(this);
  return Result;
}

TcxTreeListNode* TcxTreeListNode::AddChild() { return Control()->AddNode(nullptr, this, tlamAddChild); }
TcxTreeListNode* TcxTreeListNode::AddChildFirst() { return Control()->AddNode(nullptr, this, tlamAddChildFirst); }
TcxTreeListNode* TcxTreeListNode::InsertChild(TcxTreeListNode* ABeforeNode) {
  return Control()->AddNode(nullptr, ABeforeNode, tlamInsert);
}

void TcxTreeListNode::MoveTo(TcxTreeListNode* ADestNode, TcxTreeListNodeAttachMode AMode) {
  if (!ADestNode || ADestNode == this) return;
  if (AMode == tlamAdd || AMode == tlamAddFirst) ADestNode = ADestNode->FParent;
  if (!ADestNode || ADestNode == this || ADestNode->HasAsParent(this)) return;
  Control()->MoveNode(this, ADestNode, AMode);
}

void TcxTreeListNode::Delete() {
  if (FParent && !IsDeleting()) delete this;
}

void TcxTreeListNode::DeleteChildren() {
  TUpdateGuard Guard(Control());
  for (TcxTreeListNode* Child = FFirst; Child;) {
    TcxTreeListNode* Next = Child->FNext;
    Child->FState |= tlnsDeleting;
    delete Child;
    Child = Next;
  }
  FCount = 0;
  FState &= ~tlnsHasChildren;
  FFirst = FLast = nullptr;
}

TcxTreeListNode* TcxTreeListNode::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= FCount || AIndex < FFirst->FIndex || AIndex > FLast->FIndex)
    throw EcxTreeList(Format(LoadResString(cxSTreeListIndexError), {AIndex}));
  TcxTreeListNode* Result;
  if (AIndex < FCount / 2)
    for (Result = FFirst; Result->FIndex != AIndex; Result = Result->FNext) {
    }
  else
    for (Result = FLast; Result->FIndex != AIndex; Result = Result->FPrev) {
    }
  return Result;
}

Integer TcxTreeListNode::Level() const {
  Integer Result = -1;
  for (const TcxTreeListNode* P = FParent; P; P = P->FParent) ++Result;
  return Result;
}

bool TcxTreeListNode::HasAsParent(const TcxTreeListNode* ANode) const {
  if (!ANode) return false;
  for (const TcxTreeListNode* P = FParent; P; P = P->FParent)
    if (P == ANode) return true;
  return false;
}

TcxTreeListNode* TcxTreeListNode::GetNext() const {
  if (FFirst) return FFirst;
  for (const TcxTreeListNode* N = this; N->FParent; N = N->FParent)
    if (N->FNext) return N->FNext;
  return nullptr;
}

TcxTreeListNode* TcxTreeListNode::GetPrev() const {
  if (FPrev) {
    TcxTreeListNode* Result = FPrev;
    while (Result->FLast) Result = Result->FLast;
    return Result;
  }
  return FParent && FParent->FParent ? FParent : nullptr;
}

TcxTreeListNode* TcxTreeListNode::GetNextVisible() const {
  if (Expanded()) return FFirst;
  for (const TcxTreeListNode* N = this; N->FParent; N = N->FParent)
    if (N->FNext) return N->FNext;
  return nullptr;
}

TcxTreeListNode* TcxTreeListNode::GetPrevVisible() const {
  if (FPrev) {
    TcxTreeListNode* Result = FPrev;
    while (Result->Expanded()) Result = Result->FLast;
    return Result;
  }
  return FParent && FParent->FParent ? FParent : nullptr;
}

void TcxTreeListNode::SetExpanded(bool AValue) {
  FOwner->FState |= tlsNumberingOutOfDate;
  if (AValue != Expanded()) Control()->ChangeExpanded(this, AValue);
}

void TcxTreeListNode::Expand(bool ARecurse) {
  if (!HasChildren()) return;
  TUpdateGuard Guard(Control());
  SetExpanded(true);
  if (ARecurse)
    for (TcxTreeListNode* Child = FFirst; Child; Child = Child->FNext) Child->Expand(true);
}

void TcxTreeListNode::Collapse(bool ARecurse) {
  if (!HasChildren()) return;
  TUpdateGuard Guard(Control());
  SetExpanded(false);
  if (ARecurse)
    for (TcxTreeListNode* Child = FFirst; Child; Child = Child->FNext) Child->Collapse(true);
}

bool TcxTreeListNode::CanExpand() { return Control()->DoCanExpand(this); }
bool TcxTreeListNode::CanCollapse() { return Control()->DoCanCollapse(this); }

void TcxTreeListNode::SetHasChildren(bool AValue) {
  const Integer Old = FState;
  if (AValue)
    FState |= tlnsHasChildren;
  else if (FCount == 0)
    FState &= ~tlnsHasChildren;
  if (FState != Old) FOwner->NodeChanged(this);
}

bool TcxTreeListNode::Focused() const {
  return FRecordIndex >= 0 && Control()->DataController()->GetFocusedRecordIndex() == FRecordIndex;
}

void TcxTreeListNode::SetFocused(bool AValue) {
  if (AValue)
    Control()->FocusNode(this);
  else if (Focused())
    // Only the focused node gives the focus up; another node keeps it.
    Control()->DataController()->FocusRow(-1);
}

bool TcxTreeListNode::Selected() const {
  const TcxTreeListNodesOwner* C = Control();
  if (!C->IsMultiSelect()) return Focused();
  return std::find(C->FSelection.begin(), C->FSelection.end(), this) != C->FSelection.end();
}

void TcxTreeListNode::SetSelected(bool AValue) {
  TcxTreeListNodesOwner* C = Control();
  if (!C->IsMultiSelect()) return;
  C->SelectNode(this, AValue);
  Repaint(false);
}

bool TcxTreeListNode::IsVisible() const {
  if (!FParent) return false;
  for (const TcxTreeListNode* P = FParent; P->FParent; P = P->FParent)
    if (!P->Expanded()) return false;
  return true;
}

Integer TcxTreeListNode::VisibleIndex() const {
  if (!IsVisible()) return -1;
  FOwner->NumberVisibleNodes(Control()->IsLocked());
  return FVisibleIndex;
}

bool TcxTreeListNode::IsFirstVisible() const { return IsVisible() && FOwner->Root()->FFirst == this; }
bool TcxTreeListNode::IsLastVisible() const { return IsVisible() && !GetNextVisible(); }

void TcxTreeListNode::MakeVisible() {
  if (!IsVisible() && FParent) {
    TUpdateGuard Guard(Control());
    for (TcxTreeListNode* P = FParent; P->FParent; P = P->FParent) {
      if (!P->Expanded()) P->SetExpanded(true);
      if (!P->Expanded()) break;
    }
  }
  if (IsVisible()) Control()->MakeNodeVisible(this);
}

Integer TcxTreeListNode::ImageIndex() const { return Control()->GetNodeImageIndex(this, tlitImageIndex); }
Integer TcxTreeListNode::SelectedIndex() const { return Control()->GetNodeImageIndex(this, tlitSelectedIndex); }
Integer TcxTreeListNode::StateIndex() const { return Control()->GetNodeImageIndex(this, tlitStateIndex); }

void TcxTreeListNode::Repaint(bool ARecalculate) { Control()->RepaintNode(this, ARecalculate); }

Variant TcxTreeListNode::Values(Integer AIndex) const {
  return Control()->DataController()->GetValue(FRecordIndex, AIndex);
}

void TcxTreeListNode::SetValues(Integer AIndex, const Variant& AValue) {
  TcxControlDataController* DC = Control()->DataController();
  if ((DC->GetEditState() & dceEdit) && DC->GetFocusedRecordIndex() == FRecordIndex)
    DC->SetItemEditValue(AIndex, AValue, evsValue);
  else
    DC->SetValue(FRecordIndex, AIndex, AValue);
}

String TcxTreeListNode::Texts(Integer AIndex) const { return Control()->GetNodeText(this, AIndex); }
Integer TcxTreeListNode::ValueCount() const { return Control()->ItemCount(); }

void TcxTreeListNode::AlphaSort(bool ARecurse) { SortingManager()->SortChildren(this, nullptr, ARecurse); }
void TcxTreeListNode::SortByCompare(const TcxTreeListCompareFunc& ACompare, bool ARecurse) {
  SortingManager()->SortChildren(this, ACompare, ARecurse);
}

void TcxTreeListNode::ReadNodeData(TBinaryReader& AReader) {
  FRecordIndex = AReader.ReadInteger();
  FState = AReader.ReadInteger();
  FCount = (FState & tlnsHasChildren) ? AReader.ReadInteger() : 0;
}

void TcxTreeListNode::WriteNodeData(TBinaryWriter& AWriter) {
  if (HasChildren()) FState |= tlnsHasChildren;
  AWriter.WriteInteger(FRecordIndex);
  AWriter.WriteInteger(FState);
  if (FCount > 0 || (FState & tlnsHasChildren)) AWriter.WriteInteger(FCount);
}

void TcxTreeListNode::ReadNodeFromStream(TBinaryReader& AReader) { ReadNodeData(AReader); }
void TcxTreeListNode::WriteNodeToStream(TBinaryWriter& AWriter) { WriteNodeData(AWriter); }

bool TcxTreeListNode::IsDeleting() const {
  for (const TcxTreeListNode* N = this; N; N = N->FParent)
    if (N->FState & tlnsDeleting) return true;
  return false;
}

// Takes the node out of its sibling chain. A node whose own chain is being
// freed stays where it is: its parent frees it.
void TcxTreeListNode::Unlink() {
  if (!FParent || IsDeleting()) return;
  TcxTreeListNode* Parent = FParent;
  RenumberFrom(FNext, FIndex);
  --Parent->FCount;
  if (Parent->FFirst == this) Parent->FFirst = FNext;
  if (Parent->FLast == this) Parent->FLast = FPrev;
  if (Parent->FCount == 0) {
    Parent->FState &= ~tlnsHasChildren;
    Parent->FState |= tlnsCollapsed;
  }
  if (FPrev) FPrev->FNext = FNext;
  if (FNext) FNext->FPrev = FPrev;
  FParent = FNext = FPrev = nullptr;
}

void TcxTreeListNode::LinkChild(TcxTreeListNode* AParent) {
  FParent = AParent;
  ++AParent->FCount;
  if (FPrev)
    RenumberFrom(FPrev, FPrev->FIndex);
  else
    RenumberFrom(this, 0);
  FOwner->NodeChanged(nullptr);
}

void TcxTreeListNode::RenumberFrom(TcxTreeListNode* AStart, Integer AIndex) {
  for (TcxTreeListNode* N = AStart; N; N = N->FNext) N->FIndex = AIndex++;
}

TcxTreeListRootNode::TcxTreeListRootNode(TcxTreeListNodes* AOwner) : TcxTreeListNode(AOwner) { FState = 0; }

TcxUnboundTreeListNode::TcxUnboundTreeListNode(TcxTreeListNodes* AOwner) : TcxTreeListNode(AOwner) {
  SetStoredImageIndex(tlitImageIndex, 0);
  SetStoredImageIndex(tlitSelectedIndex, 0);
  SetStoredImageIndex(tlitStateIndex, -1);
}

void TcxUnboundTreeListNode::Assign(TPersistent* ASource) {
  inherited::Assign(ASource);
  if (auto* Source = dynamic_cast<TcxUnboundTreeListNode*>(ASource))
    for (auto Type : {tlitImageIndex, tlitSelectedIndex, tlitStateIndex})
      SetStoredImageIndex(Type, Source->StoredImageIndex(Type));
}

void TcxUnboundTreeListNode::ReadNodeFromStream(TBinaryReader& AReader) {
  inherited::ReadNodeFromStream(AReader);
  for (auto Type : {tlitImageIndex, tlitSelectedIndex, tlitStateIndex})
    SetStoredImageIndex(Type, AReader.ReadInteger());
}

void TcxUnboundTreeListNode::WriteNodeToStream(TBinaryWriter& AWriter) {
  inherited::WriteNodeToStream(AWriter);
  for (auto Type : {tlitImageIndex, tlitSelectedIndex, tlitStateIndex}) AWriter.WriteInteger(StoredImageIndex(Type));
}

// ---- TcxTreeListNodes ---------------------------------------------------------------------------

TcxTreeListNodes::TcxTreeListNodes(TcxTreeListNodesOwner* AOwner)
    : FOwner(AOwner), FRoot(std::make_unique<TcxTreeListRootNode>(this)) {}

TcxTreeListNodes::~TcxTreeListNodes() {
  TUpdateGuard Guard(FOwner);
  FRoot.reset();
}

TcxControlDataController* TcxTreeListNodes::DataController() const { return FOwner->DataController(); }

void TcxTreeListNodes::SetLoading(bool AValue) {
  if (AValue)
    FState |= tlsLoading;
  else
    FState &= ~tlsLoading;
}

TcxTreeListNode* TcxTreeListNodes::AddNode(TcxTreeListNode* ANode, TcxTreeListNode* ARelative,
                                           TcxTreeListNodeAttachMode AMode) {
  if (!ANode) return FOwner->AddNode(nullptr, ARelative, AMode);
  if (!ARelative && AMode == tlamInsert) AMode = tlamAdd;
  if (!ARelative) ARelative = FRoot.get();
  TLink Link = cxAttachModeLinks[AMode];
  // The root has no siblings: inserting before it appends under it.
  if (Link == lnkInsertBefore && !ARelative->FParent) Link = lnkAppendChild;
  // A node never goes into its own subtree, nor is freed while being moved.
  // (A node without children is nobody's ancestor: new nodes skip the walk.)
  if (ARelative == ANode || (ANode->FFirst && ARelative->HasAsParent(ANode)) || ANode->IsDeleting()) return ANode;
  FOwner->NodeAttaching(ANode, ARelative, Link);

  TcxTreeListNode* Parent = Link == lnkInsertBefore ? ARelative->FParent : ARelative;
  ANode->Unlink();
  switch (Link) {
    case lnkAppendChild:
      ANode->FPrev = Parent->FLast;
      if (Parent->FLast)
        Parent->FLast->FNext = ANode;
      else
        Parent->FFirst = ANode;
      Parent->FLast = ANode;
      break;
    case lnkPrependChild:
      ANode->FNext = Parent->FFirst;
      if (Parent->FFirst)
        Parent->FFirst->FPrev = ANode;
      else
        Parent->FLast = ANode;
      Parent->FFirst = ANode;
      break;
    case lnkInsertBefore:
      ANode->FPrev = ARelative->FPrev;
      ANode->FNext = ARelative;
      if (ARelative->FPrev)
        ARelative->FPrev->FNext = ANode;
      else
        Parent->FFirst = ANode;
      ARelative->FPrev = ANode;
      break;
  }
  ANode->LinkChild(Parent);
  NodesChanged();
  return ANode;
}

void TcxTreeListNodes::Clear() {
  if (FOwner->FRecordNodes.empty()) return;
  TUpdateGuard Guard(FOwner);
  FRoot->DeleteChildren();
  FTopIndex = 0;
  FTopNode = nullptr;
  FTopIndexAfterUpdate = -1;
  FState = tlsNumberingOutOfDate;
  FOwner->CompactRecords();
  FOwner->LayoutChanged();
}

void TcxTreeListNodes::NodesChanged() {
  FFoundItem = nullptr;
  FState |= tlsNumberingOutOfDate;
  FOwner->LayoutChanged();
}

void TcxTreeListNodes::NodeChanged(TcxTreeListNode* ANode) {
  if (ANode)
    FOwner->NodeChanged(ANode);
  else
    NodesChanged();
}

void TcxTreeListNodes::NumberVisibleNodes(bool ALocked) {
  if (ALocked) {
    KeepTopIndexForUpdate();
    FMaxLevel = 0;
    FVisibleCount = -1;
    FTopIndex = 0;
    FTopNode = nullptr;
    return;
  }
  if (FTopIndexAfterUpdate >= 0) {
    FTopIndex = std::exchange(FTopIndexAfterUpdate, -1);
    FTopNode = nullptr;
  }
  if (!(FState & tlsNumberingOutOfDate) && FTopNode) return;
  FMaxLevel = -1;
  FTopNode = nullptr;
  if (FTopIndex < 0) FTopIndex = 0;
  Integer Count = 0;
  Integer Depth = 0;
  for (TcxTreeListNode* N = FRoot->FFirst; N;) {
    FMaxLevel = std::max(FMaxLevel, Depth);
    if (Count <= FTopIndex) FTopNode = N;
    N->FVisibleIndex = Count++;
    if (N->Expanded()) {
      N = N->FFirst;
      ++Depth;
      continue;
    }
    while (N && !N->FNext) {
      N = N->FParent;
      --Depth;
      if (N == FRoot.get()) N = nullptr;
    }
    if (N) N = N->FNext;
  }
  FVisibleCount = Count;
  // A top index past the last visible node comes back to it.
  if (FTopIndex >= FVisibleCount) FTopIndex = std::max(FVisibleCount - 1, 0);
  FState &= ~tlsNumberingOutOfDate;
}

TcxTreeListNode* TcxTreeListNodes::GetNodeByVisibleIndex(Integer& AIndex) {
  NumberVisibleNodes(FOwner->IsLocked());
  if (FVisibleCount <= 0) {
    AIndex = 0;
    return nullptr;
  }
  AIndex = std::clamp(AIndex, 0, FVisibleCount - 1);
  if (!FTopNode) {
    FTopNode = FRoot->FFirst;
    FTopIndex = 0;
  } else if (FTopNode->FVisibleIndex != FTopIndex) {
    FTopIndex = FTopNode->FVisibleIndex;
  }
  auto Forward = [&](TcxTreeListNode* N) {
    while (N && N->FVisibleIndex != AIndex) N = N->GetNextVisible();
    return N;
  };
  auto Backward = [&](TcxTreeListNode* N) {
    while (N && N->FVisibleIndex != AIndex) N = N->GetPrevVisible();
    return N;
  };
  TcxTreeListNode* Result;
  if (AIndex < FTopIndex) {
    Result = AIndex > FTopIndex / 2 ? Backward(FTopNode) : Forward(FRoot->FFirst);
  } else if (AIndex > (FVisibleCount + FTopIndex) / 2) {
    TcxTreeListNode* Last = FRoot->FLast;
    while (Last->Expanded()) Last = Last->FLast;
    Result = Backward(Last);
  } else {
    Result = Forward(FTopNode);
  }
  AIndex = Result ? Result->FVisibleIndex : 0;
  return Result;
}

Integer TcxTreeListNodes::ShownNodeCount() {
  NumberVisibleNodes(FOwner->IsLocked());
  return FVisibleCount;
}

Integer TcxTreeListNodes::MaxLevel() {
  NumberVisibleNodes(FOwner->IsLocked());
  return FMaxLevel;
}

void TcxTreeListNodes::KeepTopIndexForUpdate() {
  // The first time only: later the top index is no longer the shown one.
  if (FVisibleCount >= 0 && FTopIndexAfterUpdate < 0) FTopIndexAfterUpdate = FTopIndex;
}

void TcxTreeListNodes::SetTopIndexAfterUpdate(Integer AValue) {
  FTopIndexAfterUpdate = std::max(AValue, 0);
  FTopNode = nullptr;
}

void TcxTreeListNodes::SetShownTopIndex(Integer AValue) {
  Integer Index = AValue;
  FTopNode = GetNodeByVisibleIndex(Index);
  FTopIndex = Index;
  if (AValue >= 0) FOwner->LayoutChanged();
}

Integer TcxTreeListNodes::AbsoluteCount() const { return FOwner->AbsoluteNodeCount(); }
TcxTreeListNode* TcxTreeListNodes::AbsoluteItems(Integer AIndex) const { return FOwner->GetNodeByRecord(AIndex); }

void TcxTreeListNodes::SaveToStream(TStream* AStream) {
  const Int64 Start = AStream->Position();
  TBinaryWriter Writer(AStream);
  Writer.WriteCardinal(0);
  Writer.WriteCardinal(0);
  for (TcxTreeListNode* N = FRoot.get(); N; N = N->GetNext()) N->WriteNodeToStream(Writer);
  const Int64 End = AStream->Position();
  AStream->SetPosition(Start);
  Writer.WriteCardinal(cxTreeListStreamVersion);
  Writer.WriteCardinal(Cardinal(End - Start));
  AStream->SetPosition(End);
}

void TcxTreeListNodes::LoadFromStream(TStream* AStream) {
  const Int64 Start = AStream->Position();
  const Int64 Length = AStream->Size() - Start;
  const Integer RecordCount = DataController()->GetRecordCount();
  std::vector<TNodeImage> Images;
  {
    // Read and check everything before the tree is touched.
    std::unique_ptr<TcxTreeListNode> NodeProbe(FOwner->NewNode());
    NodeProbe->FOwner = nullptr;
    const Integer RecordSize = NodeProbe->MinStreamRecordSize();
    if (Length < cxTreeListStreamHeaderSize) StreamError(cxSTreeListInvalidStream);
    TBinaryReader Reader(AStream);
    if (Reader.ReadCardinal() != cxTreeListStreamVersion) StreamError(cxSTreeListStreamVersion);
    if (Int64(Reader.ReadCardinal()) != Length) StreamError(cxSTreeListInvalidStream);
    std::vector<bool> RecordUsed(size_t(RecordCount), false);
    // Children still to read on each open level; the root opens the first.
    std::vector<Integer> Pending;
    // The root is a plain node; the rest are of the owner's node class.
    TcxTreeListRootNode RootProbe(nullptr);
    try {
      do {
        const bool IsRoot = Images.empty();
        TcxTreeListNode* Probe = IsRoot ? &RootProbe : NodeProbe.get();
        Probe->ReadNodeFromStream(Reader);
        const Integer R = Probe->FRecordIndex;
        if (IsRoot ? R != -1 : (R < 0 || R >= RecordCount || RecordUsed[size_t(R)]))
          StreamError(cxSTreeListStreamRecord);
        if (!IsRoot) RecordUsed[size_t(R)] = true;
        const Int64 Left = AStream->Size() - AStream->Position();
        if (Probe->FCount < 0 || Int64(Probe->FCount) * RecordSize > Left) StreamError(cxSTreeListStreamChildCount);
        Images.push_back({R,
                          Probe->FState & (tlnsHasChildren | tlnsCollapsed),
                          Probe->FCount,
                          {Probe->FImageIndexes[0], Probe->FImageIndexes[1], Probe->FImageIndexes[2]}});
        if (!IsRoot && !Pending.empty()) --Pending.back();
        if (Probe->FCount > 0) {
          if (Integer(Pending.size()) >= cxTreeListMaxStreamDepth + 1) StreamError(cxSTreeListStreamDepth);
          Pending.push_back(Probe->FCount);
        }
        while (!Pending.empty() && Pending.back() == 0) Pending.pop_back();
      } while (!Pending.empty());
    } catch (const EReadError&) {
      StreamError(cxSTreeListInvalidStream);
    }
    if (AStream->Position() != AStream->Size()) StreamError(cxSTreeListInvalidStream);
    if (Integer(Images.size()) - 1 != RecordCount) StreamError(cxSTreeListStreamRecord);
  }

  TUpdateGuard Guard(FOwner);
  const bool WasLoading = FOwner->IsLoading();
  FOwner->SetLoading(true);
  FRoot->DeleteChildren();
  FOwner->FRecordNodes.assign(size_t(RecordCount), nullptr);
  FOwner->FFreedRecords.clear();
  FOwner->FSelection.clear();
  SetLoading(true);
  // The parent of each open level and the children it still waits for.
  std::vector<std::pair<TcxTreeListNode*, Integer>> Open{{FRoot.get(), Images[0].ChildCount}};
  for (size_t I = 1; I < Images.size(); ++I) {
    while (Open.back().second == 0) Open.pop_back();
    const TNodeImage& Image = Images[I];
    TcxTreeListNode* Node = FOwner->CreateNode();
    Node->FRecordIndex = Image.RecordIndex;
    Node->FState = Image.State;
    std::copy(std::begin(Image.Images), std::end(Image.Images), Node->FImageIndexes);
    FOwner->FRecordNodes[size_t(Image.RecordIndex)] = Node;
    AddNode(Node, Open.back().first, tlamAddChild);
    --Open.back().second;
    if (Image.ChildCount > 0) Open.emplace_back(Node, Image.ChildCount);
  }
  SetLoading(false);
  FOwner->SetLoading(WasLoading);
  FTopNode = nullptr;
  FTopIndex = 0;
  NodesChanged();
}

// ---- TcxTreeListNodesOwner ----------------------------------------------------------------------

TcxTreeListNodesOwner::TcxTreeListNodesOwner(TComponent* AOwner)
    : TcxEditingControl(AOwner), FNodes(std::make_unique<TcxTreeListNodes>(this)) {}

TcxTreeListNodesOwner::~TcxTreeListNodesOwner() {
  // The nodes leave without compacting (their records go with the data
  // controller) and without a layout of the half-destroyed control.
  FDestroying = true;
  TcxEditingControl::BeginUpdate();
  FNodes.reset();
}

void TcxTreeListNodesOwner::RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) {
  const Integer Index = AItem->ItemIndex();
  TcxEditingControl::RemoveContainerItem(AItem);
  if (Index < 0) return;
  // The sorted-items list names items by index: the later ones move up.
  std::erase_if(FSortedItems, [&](const auto& E) { return E.first == Index; });
  for (auto& Entry : FSortedItems)
    if (Entry.first > Index) --Entry.first;
}

void TcxTreeListNodesOwner::ExchangeContainerItems(Integer AIndex1, Integer AIndex2) {
  const Integer Count = ItemCount();
  if (AIndex1 == AIndex2 || AIndex1 < 0 || AIndex2 < 0 || AIndex1 >= Count || AIndex2 >= Count) return;
  TcxEditingControl::ExchangeContainerItems(AIndex1, AIndex2);
  for (auto& Entry : FSortedItems) {
    if (Entry.first == AIndex1) Entry.first = AIndex2;
    else if (Entry.first == AIndex2) Entry.first = AIndex1;
  }
  BuildSortInfo();
}

void TcxTreeListNodesOwner::BeginUpdate() { TcxEditingControl::BeginUpdate(); }

void TcxTreeListNodesOwner::EndUpdate() {
  // Still locked: the compaction's own bracket and the data controller's
  // notices (the base ends its update) do not end the update.
  if (LockCount() == 1 && DataController() && !FDestroying) CompactRecords();
  TcxEditingControl::EndUpdate();
}

TcxTreeListNode* TcxTreeListNodesOwner::NewNode() { return new TcxUnboundTreeListNode(FNodes.get()); }

TcxTreeListNode* TcxTreeListNodesOwner::CreateNode() {
  TcxTreeListNode* Result = NewNode();
  if (!FNodes->IsLoading()) {
    try {
      Result->AllocateRecord();
    } catch (...) {
      Result->FOwner = nullptr;
      delete Result;
      throw;
    }
  }
  FSortPending = true;
  return Result;
}

void TcxTreeListNodesOwner::AttachNodeRecord(TcxTreeListNode* ANode, Integer ARecordIndex) {
  ANode->FRecordIndex = ARecordIndex;
  if (ARecordIndex >= 0) RegisterRecordNode(ANode);
}

void TcxTreeListNodesOwner::ClearNodesKeepingRecords() {
  const bool WasLoading = std::exchange(FLoading, true);
  try {
    FNodes->FRoot->DeleteChildren();
  } catch (...) {
    FLoading = WasLoading;
    throw;
  }
  FLoading = WasLoading;
  // Rebuilt inside an update, the tree opens at the same top row afterwards.
  if (IsLocked()) FNodes->KeepTopIndexForUpdate();
  FNodes->FTopIndex = 0;
  FNodes->FTopNode = nullptr;
  FNodes->FFoundItem = nullptr;
  FNodes->FState |= tlsNumberingOutOfDate;
  FRecordNodes.clear();
  FFreedRecords.clear();
  FSelection.clear();
  LayoutChanged();
}

void TcxTreeListNodesOwner::RegisterRecordNode(TcxTreeListNode* ANode) {
  const size_t R = size_t(ANode->FRecordIndex);
  if (FRecordNodes.size() <= R) FRecordNodes.resize(R + 1, nullptr);
  FRecordNodes[R] = ANode;
}

TcxTreeListNode* TcxTreeListNodesOwner::AddNode(TcxTreeListNode* ANode, TcxTreeListNode* ARelative,
                                                TcxTreeListNodeAttachMode AMode) {
  if (!ANode) {
    TUpdateGuard Guard(this);
    CompactRecords();
    ANode = CreateNode();
  }
  return FNodes->AddNode(ANode, ARelative, AMode);
}

void TcxTreeListNodesOwner::MoveNode(TcxTreeListNode* ANode, TcxTreeListNode* ATarget,
                                     TcxTreeListNodeAttachMode AMode) {
  if (!ANode || !ATarget || ANode == ATarget || ATarget->HasAsParent(ANode)) return;
  if (AMode == tlamAddChild && ANode->Parent() == ATarget) return;
  FNodes->AddNode(ANode, ATarget, AMode);
}

TcxTreeListNode* TcxTreeListNodesOwner::CopyNode(TcxTreeListNode* ASource, TcxTreeListNode* ATarget) {
  // The source subtree is taken down first (pre-order, with each entry's
  // parent slot), so a copy into the source's own subtree copies the subtree
  // as it was instead of chasing its own new nodes.
  std::vector<std::pair<TcxTreeListNode*, Integer>> Shape{{ASource, -1}};
  for (size_t I = 0; I < Shape.size(); ++I)
    for (TcxTreeListNode* C = Shape[I].first->FFirst; C; C = C->FNext) Shape.emplace_back(C, Integer(I));
  TUpdateGuard Guard(this);
  std::vector<TcxTreeListNode*> Copies;
  Copies.reserve(Shape.size());
  for (const auto& [Source, ParentSlot] : Shape) {
    TcxTreeListNode* Copy = AddNode(nullptr, ParentSlot < 0 ? ATarget : Copies[size_t(ParentSlot)], tlamAddChild);
    for (Integer I = 0; I < ItemCount(); ++I) Copy->SetValues(I, Source->Values(I));
    Copy->FState =
        (Copy->FState & ~(tlnsHasChildren | tlnsCollapsed)) | (Source->FState & (tlnsHasChildren | tlnsCollapsed));
    Copy->FData = Source->FData;
    Copies.push_back(Copy);
  }
  return Copies.front();
}

void TcxTreeListNodesOwner::ChangeExpanded(TcxTreeListNode* ANode, bool AExpand) {
  if (IsStructureOutdated() || ANode->Expanded() == AExpand || !ANode->HasChildren()) return;
  if (AExpand ? !ANode->CanExpand() : !ANode->CanCollapse()) return;
  Integer State = ANode->FState;
  if (AExpand)
    State &= ~(tlnsCollapsed | tlnsHasChildren);
  else
    State |= tlnsCollapsed | tlnsHasChildren;
  if (ANode->FCount > 0)
    State |= tlnsHasChildren;
  else
    State &= ~tlnsHasChildren;
  ANode->FState = State;
  if (AExpand)
    RaiseEvent(OnExpanded, this, ANode);
  else
    RaiseEvent(OnCollapsed, this, ANode);
  FNodes->FState |= tlsNumberingOutOfDate;
  LayoutChanged();
}

void TcxTreeListNodesOwner::ExpandAllNodes() {
  TUpdateGuard Guard(this);
  for (TcxTreeListNode* N = FNodes->Root()->GetFirstChild(); N; N = N->GetNextSibling()) N->Expand(true);
}

void TcxTreeListNodesOwner::CollapseAllNodes() {
  TUpdateGuard Guard(this);
  for (TcxTreeListNode* N = FNodes->Root()->GetFirstChild(); N; N = N->GetNextSibling()) N->Collapse(true);
}

TcxTreeListNode* TcxTreeListNodesOwner::GetNodeByRecord(Integer ARecordIndex) const {
  return ARecordIndex >= 0 && size_t(ARecordIndex) < FRecordNodes.size() ? FRecordNodes[size_t(ARecordIndex)] : nullptr;
}

void TcxTreeListNodesOwner::SetMultiSelect(bool AValue) {
  FMultiSelect = AValue;
  if (!AValue) FSelection.clear();
}

void TcxTreeListNodesOwner::SelectNode(TcxTreeListNode* ANode, bool ASelect) {
  const auto It = std::find(FSelection.begin(), FSelection.end(), ANode);
  if (ASelect) {
    bool Allow = true;
    RaiseEvent(OnCanSelectNode, this, ANode, Allow);
    if (!Allow || It != FSelection.end()) return;
    FSelection.push_back(ANode);
  } else {
    if (It == FSelection.end()) return;
    FSelection.erase(It);
  }
  SelectionChanged();
}

void TcxTreeListNodesOwner::FocusNode(TcxTreeListNode* ANode) {
  if (ANode->RecordIndex() >= 0) DataController()->FocusRecord(ANode->RecordIndex());
}

Integer TcxTreeListNodesOwner::GetNodeImageIndex(const TcxTreeListNode* ANode, TcxTreeListImageIndexType AType) const {
  return ANode->StoredImageIndex(AType);
}

bool TcxTreeListNodesOwner::DoCanExpand(TcxTreeListNode* ANode) {
  bool Allow = ANode->HasChildren();
  if (Allow) RaiseEvent(OnExpanding, this, ANode, Allow);
  return Allow;
}

bool TcxTreeListNodesOwner::DoCanCollapse(TcxTreeListNode* ANode) {
  bool Allow = ANode->HasChildren();
  if (Allow) RaiseEvent(OnCollapsing, this, ANode, Allow);
  return Allow;
}

String TcxTreeListNodesOwner::GetNodeText(const TcxTreeListNode* ANode, Integer AItemIndex) const {
  return DataController()->GetDisplayText(ANode->RecordIndex(), AItemIndex);
}

void TcxTreeListNodesOwner::NodeRemoved(TcxTreeListNode* ANode) {
  const Integer R = ANode->RecordIndex();
  if (GetNodeByRecord(R) == ANode) {
    FRecordNodes[size_t(R)] = nullptr;
    FFreedRecords.push_back(R);
  }
  const auto It = std::find(FSelection.begin(), FSelection.end(), ANode);
  if (It != FSelection.end()) FSelection.erase(It);
  if (!IsLocked()) CompactRecords();
}

// Each record after a freed one moves down by the freed records below it,
// as the data controller deletes them; so does its node. An entry without a
// node (a record no node owns yet) keeps its place among the others.
void TcxTreeListNodesOwner::CompactRecords() {
  if (FFreedRecords.empty()) return;
  std::vector<Integer> Freed;
  Freed.swap(FFreedRecords);
  std::sort(Freed.begin(), Freed.end());
  size_t Kept = size_t(Freed.front());
  auto NextFreed = Freed.begin();
  for (size_t K = Kept; K < FRecordNodes.size(); ++K) {
    if (NextFreed != Freed.end() && *NextFreed == Integer(K)) {
      ++NextFreed;
      continue;
    }
    if (TcxTreeListNode* Node = FRecordNodes[K]) Node->FRecordIndex = Integer(Kept);
    FRecordNodes[Kept++] = FRecordNodes[K];
  }
  FRecordNodes.resize(Kept);
  // Freed records move no focus to another row: without a focused node the
  // tree keeps none.
  const bool NoneFocused = DataController()->GetFocusedRecordIndex() < 0;
  DataController()->DeleteRecords(Freed);
  if (NoneFocused && DataController()->GetFocusedRecordIndex() >= 0) DataController()->FocusRow(-1);
}

void TcxTreeListNodesOwner::DoChange(bool ADelayed) {
  if (ADelayed && ChangeDelay() > 0) return;
  if (FChangeHappened && OnChange.Assigned()) {
    FChangeHappened = false;
    OnChange(this);
  }
  FChangeHappened = false;
}

// ---- Sorting ----

void TcxTreeListNodesOwner::SetItemSortOrder(Integer AItemIndex, TcxDataSortOrder AOrder) {
  const auto It =
      std::find_if(FSortedItems.begin(), FSortedItems.end(), [&](const auto& E) { return E.first == AItemIndex; });
  if (AOrder == soNone) {
    if (It == FSortedItems.end()) return;
    FSortedItems.erase(It);
    FSortingClearedMark = true;
  } else if (It != FSortedItems.end()) {
    It->second = AOrder;
  } else {
    FSortedItems.emplace_back(AItemIndex, AOrder);
  }
  Resort();
}

TcxDataSortOrder TcxTreeListNodesOwner::GetItemSortOrder(Integer AItemIndex) const {
  for (const auto& [Item, Order] : FSortedItems)
    if (Item == AItemIndex) return Order;
  return soNone;
}

bool TcxTreeListNodesOwner::HasSortedItems() const { return !FSortedItems.empty(); }

void TcxTreeListNodesOwner::BuildSortInfo() {
  FSortInfo.clear();
  for (const auto& [Item, Order] : FSortedItems)
    if (Order != soNone) FSortInfo.push_back({DataController()->GetItemField(Item), Order});
}

void TcxTreeListNodesOwner::EndSort() {
  if (--FSortLock == 0) Resort();
}

void TcxTreeListNodesOwner::Resort() {
  if (FSortLock > 0 || FDestroying || DataController()->GetRecordCount() != AbsoluteNodeCount()) return;
  RaiseEvent(OnSorting, this);
  FSortPending = false;
  try {
    if (HasSortedItems()) {
      BuildSortInfo();
      SortingManager()->SortChildren(FNodes->Root(), nullptr, true);
    } else if (FSortingClearedMark) {
      FSortingClearedMark = false;
      SortingCleared();
    }
  } catch (...) {
    RaiseEvent(OnAfterSorting, this);
    throw;
  }
  RaiseEvent(OnAfterSorting, this);
}

Integer TcxTreeListNodesOwner::CompareNodesByColumns(TcxTreeListNode* ANode1, TcxTreeListNode* ANode2) {
  for (const TcxDataSortInfo& Entry : FSortInfo) {
    const Integer R = DataController()->CompareRecordsBySortEntry(ANode1->RecordIndex(), ANode2->RecordIndex(), Entry);
    if (R != 0) return R;
  }
  return ANode1->RecordIndex() - ANode2->RecordIndex();
}
