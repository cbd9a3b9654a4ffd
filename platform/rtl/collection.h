#pragma once
// TCollection, an owned list of items of one item class, and TCollectionItem.
// Every item gets an ID that is unique in its collection and increases with
// each new item; its Index is its position and can be set to move it.
//
// Items are made by the collection (Add, Insert) through the item class's
// virtual constructor; the collection announces a new item (Notify cnAdded,
// then Changed) once the item is fully built. Changes inside
// BeginUpdate/EndUpdate are told once, by Update(nullptr), at the last
// EndUpdate.
#include <vector>

#include "platform/rtl/object.h"

class TCollection;
class TCollectionItem;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// The class reference of collection items: its virtual constructor takes the
// collection.
class TCollectionItemMetaClass : public TMetaClass {
public:
  template <class Self>
  TCollectionItemMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent) {
    if constexpr (!std::is_abstract_v<Self> && std::is_constructible_v<Self, TCollection*>)
      FCreateItem = [](TCollection* ACollection) -> TCollectionItem* { return new Self(ACollection); };
  }
  using TMetaClass::Create;
  // A new item in ACollection (may be nullptr). Raises EInvalidOperation
  // when the class is abstract. Prefer TCollection::Add, which announces it.
  TCollectionItem* Create(TCollection* ACollection) const;

private:
  TCollectionItem* (*FCreateItem)(TCollection*) = nullptr;
};
using TCollectionItemClass = const TCollectionItemMetaClass*;

class TCollectionItem : public TPersistent {
public:
  using MetaClass = TCollectionItemMetaClass;
  KORVANE_CLASS(TCollectionItem, TPersistent)

  // Joins ACollection (when not nullptr) at the end, quietly: the
  // collection's Add announces the item after construction.
  explicit TCollectionItem(TCollection* ACollection);
  // Leaves the collection (which is told cnDeleting and Changed).
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (or none), with notices on both.
  void SetCollection(TCollection* Value);
  Integer ID() const { return FID; }
  // Position in the collection; -1 without one.
  Integer Index() const;
  // Moves the item within its collection; the value is clamped to the range.
  virtual void SetIndex(Integer Value);
  virtual String DisplayName() const { return GetDisplayName(); }
  virtual void SetDisplayName(const String& Value);

  TPersistent* GetOwner() const override;
  String GetNamePath() const override;

protected:
  virtual String GetDisplayName() const { return ClassName(); }
  // Tells the collection this item (or, with AllItems, every item) changed;
  // nothing while the collection is updating.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  Integer FID = 0;
};

class TCollection : public TPersistent {
  KORVANE_CLASS(TCollection, TPersistent)

  explicit TCollection(TCollectionItemClass AItemClass);
  // Frees the items, the last one first, without change notices.
  ~TCollection() override;

  TCollectionItem* Add();
  // A new item at Index (clamped to 0..Count()).
  TCollectionItem* Insert(Integer Index);
  // Frees the item at Index; raises EListError when out of range.
  void Delete(Integer Index);
  // Frees every item, the last one first, inside one update bracket.
  void Clear();
  // Replaces the items by copies of Source's items (each item's Assign).
  void Assign(TPersistent* Source) override;

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError "List index out of bounds (<index>)" when out of range.
  TCollectionItem* Items(Integer Index) const;
  TCollectionItem* operator[](Integer Index) const { return Items(Index); }
  TCollectionItem* FindItemID(Integer ID) const;
  TCollectionItemClass ItemClass() const { return FItemClass; }
  Integer NextID() const { return FNextID; }

  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }

protected:
  // Told about a change: Item, or nullptr for the whole collection.
  virtual void Update(TCollectionItem* Item);
  // Calls Update(nullptr) unless updating.
  void Changed();
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void Announce(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  Integer FNextID = 0;
  Integer FUpdateCount = 0;
  bool FDestroying = false;
};

// A collection with an owner, answered by GetOwner.
class TOwnedCollection : public TCollection {
  KORVANE_CLASS(TOwnedCollection, TCollection)

  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass AItemClass)
      : TCollection(AItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;
};
