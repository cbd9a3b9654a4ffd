#include "platform/rtl/component.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/sysutils.h"

TComponent* TComponentMetaClass::Create(TComponent* AOwner) const {
  if (!FCreateOwned) CannotCreate();
  return FCreateOwned(AOwner);
}

bool IsValidIdent(const String& Ident) {
  auto alpha = [](Char c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
  auto digit = [](Char c) { return c >= u'0' && c <= u'9'; };
  if (Ident.empty() || !alpha(Ident[0])) return false;
  return std::all_of(Ident.begin() + 1, Ident.end(), [&](Char c) { return alpha(c) || digit(c); });
}

// ---- Life ------------------------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  NotifyWatchers();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
}

void TComponent::Destroying() {
  if (IsDestroying()) return;
  IncludeState(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::DestroyComponents() {
  // Each component leaves this list from its own destructor, telling the
  // owner (and through it the remaining siblings) that it is gone.
  while (!FComponents.empty()) FComponents.back()->Free();
}

// ---- Ownership -------------------------------------------------------------------------

TComponent* TComponent::Components(Integer Index) const {
  if (Index < 0 || Index >= ComponentCount()) TList::Error(Index);
  return FComponents[Index];
}

Integer TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<Integer>(it - list.begin());
}

void TComponent::SetComponentIndex(Integer Value) {
  Integer current = ComponentIndex();
  if (current < 0) return;
  auto& list = FOwner->FComponents;
  Value = std::clamp(Value, 0, static_cast<Integer>(list.size()) - 1);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  ValidateInsert(AComponent);
  ValidateRename(AComponent, String(), AComponent->FName);
  // A component has one owner: leave the previous one first.
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  Insert(AComponent);
  if (IsDesigning()) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  std::erase(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

void TComponent::ValidateInsert(TComponent*) {}

TComponent* TComponent::FindComponent(const String& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

// ---- Name -----------------------------------------------------------------------------

void TComponent::SetName(const String& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(u"'" + NewName + u"' is not a valid component name");
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  if (!AComponent || NewName.empty() || SameText(CurName, NewName)) return;
  TComponent* other = FindComponent(NewName);
  if (other && other != AComponent) throw EComponentError(u"A component named " + NewName + u" already exists");
}

// ---- State ----------------------------------------------------------------------------

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    IncludeState(csDesigning);
  else
    ExcludeState(csDesigning);
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::SetLoading(bool Value) {
  if (Value)
    IncludeState(csLoading);
  else if (IsLoading())
    Loaded();
}

void TComponent::Loaded() { ExcludeState(csLoading); }

void TComponent::Updating() { IncludeState(csUpdating); }

void TComponent::Updated() { ExcludeState(csUpdating); }

// ---- Notifications ----------------------------------------------------------------------

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  // Components of one owner hear of each other through the owner.
  if (!FOwner || AComponent->FOwner != FOwner) {
    AddWatcher(AComponent);
    AComponent->AddWatcher(this);
  }
  IncludeState(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  DropWatcher(AComponent);
  AComponent->DropWatcher(this);
}

void TComponent::AddWatcher(TComponent* AComponent) {
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
    FFreeNotifies.push_back(AComponent);
  IncludeState(csFreeNotification);
}

bool TComponent::DropWatcher(TComponent* AComponent) {
  bool dropped = std::erase(FFreeNotifies, AComponent) > 0;
  if (FFreeNotifies.empty()) ExcludeState(csFreeNotification);
  return dropped;
}

void TComponent::NotifyWatchers() {
  // Each watcher leaves both lists before it is told, so a Notification that
  // does not call the inherited one cannot make this loop run forever.
  while (!FFreeNotifies.empty()) {
    TComponent* watcher = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    watcher->DropWatcher(this);
    watcher->Notification(this, opRemove);
  }
  ExcludeState(csFreeNotification);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Passed on from the last owned component to the first. A handler may
  // free or move siblings: those that left the list are skipped. Going
  // backwards, the usual removals leave the earlier places as they were, so
  // the quick check at the same place nearly always answers.
  std::vector<TComponent*> snapshot = FComponents;
  for (size_t k = snapshot.size(); k-- > 0;) {
    TComponent* c = snapshot[k];
    bool present = (k < FComponents.size() && FComponents[k] == c) ||
                   std::find(FComponents.begin(), FComponents.end(), c) != FComponents.end();
    if (present) c->Notification(AComponent, Operation);
  }
}
