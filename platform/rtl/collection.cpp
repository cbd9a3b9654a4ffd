#include "platform/rtl/collection.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/sysutils.h"

TCollectionItem* TCollectionItemMetaClass::Create(TCollection* ACollection) const {
  if (!FCreateItem) CannotCreate();
  return FCreateItem(ACollection);
}

// ---- TCollectionItem ------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* ACollection) {
  if (ACollection) ACollection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) {
    Value->InsertItem(this);
    Value->Announce(this);
  }
}

Integer TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<Integer>(it - items.begin());
}

void TCollectionItem::SetIndex(Integer Value) {
  Integer current = Index();
  if (current < 0) return;
  auto& items = FCollection->FItems;
  Value = std::clamp(Value, 0, static_cast<Integer>(items.size()) - 1);
  if (Value == current) return;
  items.erase(items.begin() + current);
  items.insert(items.begin() + Value, this);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

String TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + u"[" + IntToStr(Index()) + u"]";
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// ---- TCollection ----------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass AItemClass) : FItemClass(AItemClass) {}

TCollection::~TCollection() {
  FDestroying = true;
  while (!FItems.empty()) FItems.back()->Free();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass) throw EInvalidOperation(u"Collection has no item class");
  TCollectionItem* item = FItemClass->Create(this);
  if (item->FCollection != this) {  // a constructor that ignored its collection
    if (item->FCollection) item->FCollection->RemoveItem(item);
    InsertItem(item);
  }
  Announce(item);
  return item;
}

TCollectionItem* TCollection::Insert(Integer Index) {
  BeginUpdate();
  try {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    EndUpdate();
    return item;
  } catch (...) {
    EndUpdate();
    throw;
  }
}

void TCollection::Delete(Integer Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) FItems.back()->Free();
  EndUpdate();
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* item : source->FItems) Add()->Assign(item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) TList::Error(Index);
  return FItems[Index];
}

TCollectionItem* TCollection::FindItemID(Integer ID) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == ID) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount == 0) return;  // unbalanced: nothing to close
  --FUpdateCount;
  Changed();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (FUpdateCount == 0 && !FDestroying) Update(nullptr);
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  if (!FDestroying) Notify(Item, cnExtracting);
  std::erase(FItems, Item);
  Item->FCollection = nullptr;
  Changed();
}

void TCollection::Announce(TCollectionItem* Item) {
  Notify(Item, cnAdded);
  Changed();
}
