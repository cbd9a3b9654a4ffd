#pragma once
// Shared component utilities of the library and the one accessor of its
// message texts: a persistent object that knows its owner, a component base
// with design-time link properties, an owning object list, a registry of
// classes by description, a column-width distributor, object links that tell
// whether an object was destroyed while it handled a message, and a relay of
// free notifications.
#include <exception>
#include <vector>

#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/object.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"

// ---------------------------------------------------------------------------
// Message texts

// Loads a library message text and passes it through the replacement table.
String LoadResourceText(const TResourceString& AResString);

// AResult := AText, or the replacement of AText when a replacement table is
// installed and holds AText exactly (case-sensitive) among its texts.
void ApplyTextReplacement(const String& AText, String& AResult);

// Installs a replacement table made of two parallel lists: ATexts[i] is
// shown as AReplacements[i]. Entries without a partner in the other list are
// ignored. Replaces any table installed before.
void InstallTextReplacementTable(const std::vector<String>& ATexts,
                                 const std::vector<String>& AReplacements);
// Removes the installed table (nothing happens when none is installed).
void UninstallTextReplacementTable();

// ---------------------------------------------------------------------------
// TcxInterfacedPersistent: a persistent object with an owner.

class TcxInterfacedPersistent;

// Class reference of TcxInterfacedPersistent and its descendants: its
// virtual constructor takes the owner.
class TcxInterfacedPersistentMetaClass : public TMetaClass {
public:
  template <class Self>
  TcxInterfacedPersistentMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName,
                                   TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent) {
    if constexpr (!std::is_abstract_v<Self> && std::is_constructible_v<Self, TPersistent*>)
      FCreateOwned = [](TPersistent* AOwner) -> TcxInterfacedPersistent* { return new Self(AOwner); };
  }
  using TMetaClass::Create;
  // A new instance owned by AOwner. Raises EInvalidOperation when the class
  // is abstract.
  TcxInterfacedPersistent* Create(TPersistent* AOwner) const;

private:
  TcxInterfacedPersistent* (*FCreateOwned)(TPersistent*) = nullptr;
};
using TcxInterfacedPersistentClass = const TcxInterfacedPersistentMetaClass*;

class TcxInterfacedPersistent : public TInterfacedPersistent {
public:
  using MetaClass = TcxInterfacedPersistentMetaClass;
  KORVANE_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)

  explicit TcxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }

private:
  TPersistent* FOwner;
};

// ---------------------------------------------------------------------------
// TcxComponent: a component with three design-time link properties.

class TcxComponent : public TComponent {
  KORVANE_CLASS(TcxComponent, TComponent)

  explicit TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}
  // Clears every object link that targets this component.
  ~TcxComponent() override;

  void BeforeDestruction() override;
  void Loaded() override;

  // Appends the components this one refers to without owning them; the base
  // appends nothing.
  virtual void CollectLinkedComponents(TList* AList);
  // At design time only (not destroying, with an owner): stores the first
  // three linked components into the link properties (missing ones: nullptr).
  void RefreshLinkProperties();

  TComponent* FakeComponentLink1() const { return FFakeComponentLinks[0]; }
  TComponent* FakeComponentLink2() const { return FFakeComponentLinks[1]; }
  TComponent* FakeComponentLink3() const { return FFakeComponentLinks[2]; }
  void SetFakeComponentLink1(TComponent* AValue) { SetFakeComponentLink(0, AValue); }
  void SetFakeComponentLink2(TComponent* AValue) { SetFakeComponentLink(1, AValue); }
  void SetFakeComponentLink3(TComponent* AValue) { SetFakeComponentLink(2, AValue); }

protected:
  // A linked component that is destroyed leaves the link properties.
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void SetFakeComponentLink(int AIndex, TComponent* AValue);

  TComponent* FFakeComponentLinks[3] = {nullptr, nullptr, nullptr};
};

// ---------------------------------------------------------------------------
// TcxObjectList: a list that owns its objects.

class TcxObjectList : public TList {
  KORVANE_CLASS(TcxObjectList, TList)

  TcxObjectList() = default;
  ~TcxObjectList() override;

  // Frees every item (first to last), then empties the list.
  void Clear() override;
  TObject* GetItem(Integer AIndex) const { return static_cast<TObject*>(Items(AIndex)); }
  Integer Add(TObject* AObject) { return TList::Add(AObject); }
};

// ---------------------------------------------------------------------------
// TcxRegisteredClasses: classes with a description, in registration order.

class TcxRegisteredClasses : public TObject {
  KORVANE_CLASS(TcxRegisteredClasses, TObject)

  // With ARegisterClasses, every added class is also registered by name for
  // streaming.
  explicit TcxRegisteredClasses(bool ARegisterClasses) : FRegisterClasses(ARegisterClasses) {}
  TcxRegisteredClasses() : TcxRegisteredClasses(false) {}
  ~TcxRegisteredClasses() override { Clear(); }

  // Nothing happens when AClass is already present (or nullptr).
  void AddClass(TClass AClass, const String& ADescription);
  // Removes AClass when present.
  void RemoveClass(TClass AClass);
  Integer IndexOfClass(TClass AClass) const;
  // The first class whose name equals AClassName exactly (case-sensitive);
  // nullptr when there is none.
  TClass FindByClassName(const String& AClassName) const;
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError when AIndex is out of range.
  TClass ClassAt(Integer AIndex) const;
  const String& Descriptions(Integer AIndex) const;
  void Clear() { FItems.clear(); }
  bool RegisterClasses() const { return FRegisterClasses; }

private:
  struct TItem {
    String Description;
    TClass Class;
  };
  void CheckIndex(Integer AIndex) const;

  bool FRegisterClasses;
  std::vector<TItem> FItems;
};

// ---------------------------------------------------------------------------
// Column widths: TcxAutoWidthObject fits its items into AvailableWidth.

class TcxAutoWidthItem : public TObject {
  KORVANE_CLASS(TcxAutoWidthItem, TObject)

  Integer MinWidth = 0;
  Integer Width = 0;
  bool Fixed = false;
  Integer AutoWidth = -1;  // -1: not decided yet
};

class TcxAutoWidthObject : public TObject {
  KORVANE_CLASS(TcxAutoWidthObject, TObject)

  explicit TcxAutoWidthObject(Integer ACapacity = 0);
  // Frees the items, the last one first.
  ~TcxAutoWidthObject() override;

  // Creates, appends and returns a new item (owned by this object).
  TcxAutoWidthItem* NewItem();
  // Raises EListError when AIndex is out of range.
  TcxAutoWidthItem* ItemAt(Integer AIndex) const { return static_cast<TcxAutoWidthItem*>(FItems.Items(AIndex)); }
  Integer Count() const { return FItems.Count(); }
  // Sum of the items' Width.
  Integer TotalWidth() const;
  // Fills every item's AutoWidth: fixed items keep their Width; the others
  // share what is left in proportion to their Width, but never get less than
  // their MinWidth. The shares add up exactly. Items that have no width to
  // weigh by (all widths zero) get their MinWidth.
  void DistributeWidth();

  Integer AvailableWidth = 0;

private:
  TList FItems;
};

// ---------------------------------------------------------------------------
// Object links: a link's Target becomes nullptr when ClearObjectLinks is
// called for the object (TcxComponent and the library's controls do so when
// they are destroyed). Code that calls out while an object may be destroyed
// by the call (a handler, a message) holds a TcxDestroyGuard (below).

class TcxObjectLink : public TObject {
  KORVANE_CLASS(TcxObjectLink, TObject)

  TObject* Target = nullptr;
};

// A new link to AObject (nullptr gives a link that is already empty).
TcxObjectLink* AddObjectLink(TObject* AObject);
// Frees ALink (nullptr is ignored).
void RemoveObjectLink(TcxObjectLink* ALink);
// Empties every live link that targets AObject.
void ClearObjectLinks(TObject* AObject);

// Watches an object for its scope: Alive() turns false once the object is
// destroyed (its links cleared), so a caller never touches it afterwards.
//
//   TcxDestroyGuard guard(this);
//   OnChange(this);
//   if (!guard.Alive()) return;
class TcxDestroyGuard {
public:
  explicit TcxDestroyGuard(TObject* AObject) : FLink(AddObjectLink(AObject)) {}
  ~TcxDestroyGuard() { RemoveObjectLink(FLink); }
  TcxDestroyGuard(const TcxDestroyGuard&) = delete;
  TcxDestroyGuard& operator=(const TcxDestroyGuard&) = delete;
  bool Alive() const { return FLink->Target != nullptr; }

private:
  TcxObjectLink* FLink;
};

// BeginUpdate / EndUpdate of any object with such a pair, also when an
// exception passes. While an exception passes, a failure of the closing
// EndUpdate is dropped so that the first exception reaches the caller.
template <class T>
class TcxUpdateScope {
public:
  explicit TcxUpdateScope(T* AObject) : FObject(AObject) { FObject->BeginUpdate(); }
  ~TcxUpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FObject->EndUpdate();
      } catch (...) {
      }
    } else {
      FObject->EndUpdate();
    }
  }
  TcxUpdateScope(const TcxUpdateScope&) = delete;
  TcxUpdateScope& operator=(const TcxUpdateScope&) = delete;

private:
  T* FObject;
  int FExceptions = std::uncaught_exceptions();
};

// ---------------------------------------------------------------------------
// TcxFreeNotificator: relays the destruction of watched components.

using TcxComponentRemovedEvent = TEvent<void(TObject* Sender, TComponent* AComponent)>;

class TcxFreeNotificator : public TComponent {
  KORVANE_CLASS(TcxFreeNotificator, TComponent)

  explicit TcxFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}

  // Asks AComponent to tell this notificator when it is freed; nullptr is ignored.
  void AddSender(TComponent* AComponent);
  // Withdraws that request; nullptr is ignored.
  void RemoveSender(TComponent* AComponent);

  TcxComponentRemovedEvent OnComponentRemoved;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// ---------------------------------------------------------------------------

inline void PointFromCoords(Integer X, Integer Y, TPoint& P) { P = TPoint{X, Y}; }
