#include "editors/cxEditRepository.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

TcxEditRepository*& DefaultRepositorySlot() {
  static TcxEditRepository* s = nullptr;
  return s;
}

}  // namespace

// ---- TcxEditRepositoryItem -----------------------------------------------------------------

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  ForEachListenerBackwards([this](IcxEditRepositoryItemListener* L) { L->ItemRemoved(this); });
  FListeners.clear();
  SetRepository(nullptr);
  FProperties.reset();
}

template <class F>
void TcxEditRepositoryItem::ForEachListenerBackwards(F AFunction) {
  // A listener may leave (or take others out) while it is told: each one of
  // the list as it was is told once, when it is still listening.
  const std::vector<IcxEditRepositoryItemListener*> listeners = FListeners;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
    if (HasListener(*it)) AFunction(*it);
}

TcxCustomEditProperties* TcxEditRepositoryItem::Properties() const {
  if (!FProperties) {
    FProperties.reset(GetPropertiesClass()->Create(const_cast<TcxEditRepositoryItem*>(this)));
    FProperties->OnPropertiesChanged =
        TNotifyEvent(const_cast<TcxEditRepositoryItem*>(this), &TcxEditRepositoryItem::NotifyPropertiesChanged);
  }
  return FProperties.get();
}

void TcxEditRepositoryItem::SetProperties(TcxCustomEditProperties* Value) { Properties()->Assign(Value); }

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* Value) {
  if (FRepository == Value) return;
  if (FRepository) FRepository->RemoveItem(this);
  FRepository = Value;
  if (FRepository) FRepository->AddItem(this);
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* AListener) {
  if (AListener && !HasListener(AListener)) FListeners.push_back(AListener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* AListener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (it != FListeners.end()) FListeners.erase(it);
}

bool TcxEditRepositoryItem::HasListener(const IcxEditRepositoryItemListener* AListener) const {
  return std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end();
}

void TcxEditRepositoryItem::NotifyPropertiesChanged(TObject*) {
  ForEachListenerBackwards([this](IcxEditRepositoryItemListener* L) { L->PropertiesChanged(this); });
}

TcxCustomEditPropertiesClass TcxEditRepositoryItem::GetPropertiesClass() const {
  return TcxCustomEditProperties::StaticClass();
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return FRepository; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* Value) {
  if (auto* repository = dynamic_cast<TcxEditRepository*>(Value)) SetRepository(repository);
}

// ---- TcxEditRepository ---------------------------------------------------------------------

TcxEditRepository::TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}

TcxEditRepository::~TcxEditRepository() {
  while (!FItems.empty()) FItems.back()->Free();
}

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TcxEditRepositoryItemClass ItemClass) {
  return CreateItemEx(ItemClass, this);
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TcxEditRepositoryItemClass ItemClass, TComponent* AOwner) {
  if (!ItemClass || !ItemClass->InheritsFrom(TcxEditRepositoryItem::StaticClass()))
    throw EInvalidOperation(u"Not a repository item class");
  auto* item = static_cast<TcxEditRepositoryItem*>(ItemClass->Create(AOwner));
  item->SetRepository(this);
  return item;
}

TcxEditRepositoryItem* TcxEditRepository::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  return FItems[static_cast<size_t>(Index)];
}

Integer TcxEditRepository::IndexOf(const TcxEditRepositoryItem* AItem) const {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TcxEditRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TcxEditRepositoryItem* item : std::vector<TcxEditRepositoryItem*>(FItems))
    if (item->Owner() == Root) Proc(item);
}

void TcxEditRepository::AddItem(TcxEditRepositoryItem* AItem) {
  if (IndexOf(AItem) < 0) FItems.push_back(AItem);
}

void TcxEditRepository::RemoveItem(TcxEditRepositoryItem* AItem) {
  auto it = std::find(FItems.begin(), FItems.end(), AItem);
  if (it != FItems.end()) FItems.erase(it);
}

TcxEditRepository* GetDefaultEditRepository() {
  TcxEditRepository*& slot = DefaultRepositorySlot();
  if (!slot) slot = new TcxEditRepository(nullptr);
  return slot;
}

void cxEditRepositoryFinalize() { FreeAndNil(DefaultRepositorySlot()); }
