#pragma once
// TList, a list of untyped pointers, and TObjectList, a list of objects that
// optionally owns them. Indices run from 0 to Count() - 1; an index outside
// raises EListError "List index out of bounds (<index>)".
#include <vector>

#include "platform/rtl/object.h"

using TListSortCompare = int (*)(void* Item1, void* Item2);

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
  KORVANE_CLASS(TList, TObject)

  TList() = default;
  ~TList() override;

  Integer Add(void* Item);
  void Insert(Integer Index, void* Item);
  void Delete(Integer Index);
  // Index of the removed item, -1 when absent (first occurrence only).
  Integer Remove(void* Item);
  // Removes the item without the lnDeleted notice; answers it, or nullptr.
  void* Extract(void* Item);
  Integer IndexOf(void* Item) const;
  void Exchange(Integer Index1, Integer Index2);
  void Move(Integer CurIndex, Integer NewIndex);
  virtual void Clear();
  // Removes every nullptr item.
  void Pack();
  // Grows Capacity when the list is full; answers the list.
  TList* Expand();
  // Stable sort (equal items keep their order).
  void Sort(TListSortCompare Compare);
  // Copies the items of Source.
  void Assign(const TList* Source);

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Growing adds nullptr items; shrinking drops the last ones (no notices).
  void SetCount(Integer NewCount);
  Integer Capacity() const { return static_cast<Integer>(FItems.capacity()); }
  // Raises EListError when below Count().
  void SetCapacity(Integer NewCapacity);

  void* Items(Integer Index) const;
  void SetItems(Integer Index, void* Item);
  void* operator[](Integer Index) const { return Items(Index); }
  void* First() const;  // raises EListError when empty
  void* Last() const;   // raises EListError when empty

  // Direct access for range-for loops.
  std::vector<void*>::const_iterator begin() const { return FItems.begin(); }
  std::vector<void*>::const_iterator end() const { return FItems.end(); }

  [[noreturn]] static void Error(Integer Index);

protected:
  // Told about every non-nil item that enters or leaves the list. The base
  // destructor clears the list without reaching an override: a descendant
  // that needs its notices clears the list in its own destructor.
  virtual void Notify(void* Ptr, TListNotification Action);
  void CheckIndex(Integer Index) const;

private:
  std::vector<void*> FItems;
};

class TObjectList : public TList {
  KORVANE_CLASS(TObjectList, TList)

  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  Integer Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(Integer Index, TObject* AObject) { TList::Insert(Index, AObject); }
  Integer Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* AObject) { return static_cast<TObject*>(TList::Extract(AObject)); }
  Integer IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* Items(Integer Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  void SetItems(Integer Index, TObject* AObject);
  TObject* operator[](Integer Index) const { return Items(Index); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
  // Frees a deleted object when the list owns its objects.
  void Notify(void* Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects = true;
};
