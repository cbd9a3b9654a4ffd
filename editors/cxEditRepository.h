#pragma once
// The edit repository (unit cxEdit): named editor settings that editors and
// tree list columns share.
//
// A repository item owns one property set, made from the class its
// GetPropertiesClass answers. Editors and columns that point at the item
// instead of carrying their own settings hear of its changes through the
// listener interface: a change of the property set reaches every listener
// (PropertiesChanged), and so does the item's destruction (ItemRemoved), so
// nobody keeps a pointer to a dead item. Listeners are not owned; one added
// twice is held once.
//
// A repository is an ordered list of items; it frees them (the last one
// first) when it goes. An item knows its repository and leaves it when it is
// freed or moved to another one.
//
// The in-place editor cache (TcxInplaceEditList) lives with the editor
// control in editors/cxEdit.h.
#include <memory>
#include <vector>

#include "editors/cxEditProperties.h"
#include "platform/rtl/component.h"
#include "platform/rtl/object.h"

class TcxEditRepository;
class TcxEditRepositoryItem;

// What an editor, a column or a registry is told by a repository item.
class IcxEditRepositoryItemListener {
public:
  virtual ~IcxEditRepositoryItemListener() = default;
  // The item is being destroyed: the listener drops every reference to it.
  // It may still call RemoveListener, nothing else.
  virtual void ItemRemoved(TcxEditRepositoryItem* Sender) = 0;
  // The item's property set changed.
  virtual void PropertiesChanged(TcxEditRepositoryItem* Sender) = 0;
};

// Item classes are component classes that derive from TcxEditRepositoryItem.
using TcxEditRepositoryItemClass = TComponentClass;

// ---------------------------------------------------------------------------
// TcxEditRepositoryItem

class TcxEditRepositoryItem : public TComponent {
  KORVANE_CLASS(TcxEditRepositoryItem, TComponent)
  explicit TcxEditRepositoryItem(TComponent* AOwner);
  // Tells every listener ItemRemoved (the last added first), leaves the
  // repository and frees the property set.
  ~TcxEditRepositoryItem() override;

  // The owned property set, made from GetPropertiesClass on first use (a
  // descendant's class is known only after construction). Its change
  // callback is NotifyPropertiesChanged.
  TcxCustomEditProperties* Properties() const;
  // Assigns Value into the owned property set.
  void SetProperties(TcxCustomEditProperties* Value);

  TcxEditRepository* Repository() const { return FRepository; }
  // Leaves the old repository's list and joins the end of the new one's;
  // nothing when it is the same.
  void SetRepository(TcxEditRepository* Value);

  // Adds a listener once; nullptr is ignored.
  virtual void AddListener(IcxEditRepositoryItemListener* AListener);
  virtual void RemoveListener(IcxEditRepositoryItemListener* AListener);
  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  bool HasListener(const IcxEditRepositoryItemListener* AListener) const;
  // The property set's change callback: PropertiesChanged on every
  // listener, the last added first.
  virtual void NotifyPropertiesChanged(TObject* Sender);
  // The class of the owned property set; every item kind answers its own.
  virtual TcxCustomEditPropertiesClass GetPropertiesClass() const;

  // The repository is the parent for streaming and the designer.
  bool HasParent() const override { return FRepository != nullptr; }
  TComponent* GetParentComponent() const override;
  // A repository becomes the item's repository; other components are ignored.
  void SetParentComponent(TComponent* Value) override;

private:
  // Calls AFunction on every listener, the last added first; a listener
  // that removes others (or itself) meanwhile is safe.
  template <class F>
  void ForEachListenerBackwards(F AFunction);

  TcxEditRepository* FRepository = nullptr;
  mutable std::unique_ptr<TcxCustomEditProperties> FProperties;
  std::vector<IcxEditRepositoryItemListener*> FListeners;
};

// ---------------------------------------------------------------------------
// TcxEditRepository

class TcxEditRepository : public TComponent {
  KORVANE_CLASS(TcxEditRepository, TComponent)
  explicit TcxEditRepository(TComponent* AOwner);
  // Frees the items, the last one first (whoever owns them).
  ~TcxEditRepository() override;

  // CreateItemEx(ItemClass, this): the item is owned by the repository.
  virtual TcxEditRepositoryItem* CreateItem(TcxEditRepositoryItemClass ItemClass);
  // A new item of ItemClass owned by AOwner, at the end of this repository.
  // Raises EInvalidOperation when ItemClass is not an item class.
  virtual TcxEditRepositoryItem* CreateItemEx(TcxEditRepositoryItemClass ItemClass, TComponent* AOwner);

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError when Index is out of range.
  TcxEditRepositoryItem* Items(Integer Index) const;
  Integer IndexOf(const TcxEditRepositoryItem* AItem) const;

  // The items owned by Root, in list order.
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

private:
  friend class TcxEditRepositoryItem;
  void AddItem(TcxEditRepositoryItem* AItem);
  void RemoveItem(TcxEditRepositoryItem* AItem);

  std::vector<TcxEditRepositoryItem*> FItems;
};

// The repository the default editor registries create their items in:
// created on first use without owner; cxEditRepositoryFinalize frees it.
TcxEditRepository* GetDefaultEditRepository();
void cxEditRepositoryFinalize();
