#include "platform/rtl/lists.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

// ---- TList ----------------------------------------------------------------------------

TList::~TList() { Clear(); }

void TList::Error(Integer Index) {
  throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
}

void TList::CheckIndex(Integer Index) const {
  if (Index < 0 || Index >= Count()) Error(Index);
}

void TList::Notify(void*, TListNotification) {}

Integer TList::Add(void* Item) {
  FItems.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return Count() - 1;
}

void TList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > Count()) Error(Index);
  FItems.insert(FItems.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  CheckIndex(Index);
  void* item = FItems[Index];
  FItems.erase(FItems.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* Item) {
  Integer index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  Integer index = IndexOf(Item);
  if (index < 0) return nullptr;
  FItems.erase(FItems.begin() + index);
  if (Item) Notify(Item, lnExtracted);
  return Item;
}

Integer TList::IndexOf(void* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

void TList::Exchange(Integer Index1, Integer Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(FItems[Index1], FItems[Index2]);
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  void* item = FItems[CurIndex];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, item);
}

void TList::Clear() {
  // One by one from the end, so a notice that changes the list stays safe.
  while (!FItems.empty()) Delete(Count() - 1);
  FItems.shrink_to_fit();
}

void TList::Pack() { std::erase(FItems, nullptr); }

TList* TList::Expand() {
  if (Count() == Capacity()) {
    Integer cap = Capacity();
    Integer delta = cap > 64 ? cap / 4 : (cap > 8 ? 16 : 4);
    FItems.reserve(cap + delta);
  }
  return this;
}

void TList::Sort(TListSortCompare Compare) {
  if (!Compare) return;
  std::stable_sort(FItems.begin(), FItems.end(), [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Assign(const TList* Source) {
  if (Source == this) return;
  Clear();
  if (Source)
    for (void* item : *Source) Add(item);
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0) throw EListError(u"List count out of bounds (" + IntToStr(NewCount) + u")");
  FItems.resize(NewCount, nullptr);
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < Count()) throw EListError(u"List capacity out of bounds (" + IntToStr(NewCapacity) + u")");
  if (NewCapacity > Capacity())
    FItems.reserve(NewCapacity);
  else
    FItems.shrink_to_fit();
}

void* TList::Items(Integer Index) const {
  CheckIndex(Index);
  return FItems[Index];
}

void TList::SetItems(Integer Index, void* Item) {
  CheckIndex(Index);
  void* old = FItems[Index];
  if (old == Item) return;
  FItems[Index] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

void* TList::First() const { return Items(0); }

void* TList::Last() const { return Items(Count() - 1); }

// ---- TObjectList ----------------------------------------------------------------------

TObjectList::~TObjectList() {
  // Cleared here: the base destructor no longer reaches this Notify.
  Clear();
}

void TObjectList::SetItems(Integer Index, TObject* AObject) { TList::SetItems(Index, AObject); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (Action == lnDeleted && FOwnsObjects) static_cast<TObject*>(Ptr)->Free();
  TList::Notify(Ptr, Action);
}
