#pragma once
// TComponent: an object with an owner, a name and a tag. The owner frees the
// components it owns (the last one first) when it is destroyed; a component
// that dies first leaves its owner's list. Components tell each other of
// their death through Notification: the owner always hears it and passes it
// on to the other components it owns, and every component that asked with
// FreeNotification hears it too.
//
// Notification(AComponent, opRemove) reaches its receivers from the dying
// component's destructor: receivers compare the pointer and drop their
// references, they do not call into the dying component.
#include <cstdint>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/object.h"

using NativeInt = std::intptr_t;

class TComponent;

enum TOperation { opInsert, opRemove };

using TGetChildProc = TEvent<void(TComponent* Child)>;

using TComponentState = Cardinal;
enum TComponentStateFlag : Cardinal {
  csLoading = 0x0001,
  csReading = 0x0002,
  csWriting = 0x0004,
  csDestroying = 0x0008,
  csDesigning = 0x0010,
  csAncestor = 0x0020,
  csUpdating = 0x0040,
  csFixups = 0x0080,
  csFreeNotification = 0x0100,
  csInline = 0x0200,
  csDesignInstance = 0x0400,
};

// The class reference of components: its virtual constructor takes the owner.
class TComponentMetaClass : public TMetaClass {
public:
  template <class Self>
  TComponentMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent) {
    if constexpr (!std::is_abstract_v<Self> && std::is_constructible_v<Self, TComponent*>)
      FCreateOwned = [](TComponent* AOwner) -> TComponent* { return new Self(AOwner); };
  }
  using TMetaClass::Create;
  // A new component owned by AOwner (may be nullptr). Raises
  // EInvalidOperation when the class is abstract.
  TComponent* Create(TComponent* AOwner) const;
  bool CanCreateOwned() const { return FCreateOwned != nullptr; }

private:
  TComponent* (*FCreateOwned)(TComponent*) = nullptr;
};
using TComponentClass = const TComponentMetaClass*;

class TComponent : public TPersistent {
public:
  using MetaClass = TComponentMetaClass;
  KORVANE_CLASS(TComponent, TPersistent)

  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  // ---- Ownership ----
  TComponent* Owner() const { return FOwner; }
  Integer ComponentCount() const { return static_cast<Integer>(FComponents.size()); }
  // Raises EListError when Index is out of range.
  TComponent* Components(Integer Index) const;
  // Position in the owner's list (-1 without an owner); setting moves it.
  Integer ComponentIndex() const;
  void SetComponentIndex(Integer Value);
  // Makes this component the owner of AComponent (taking it from its
  // previous owner); checks its name against the owned names first.
  void InsertComponent(TComponent* AComponent);
  // Releases AComponent from this owner (it is not freed).
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, the last one first.
  void DestroyComponents();
  // The owned component with that name (ASCII case ignored); nullptr when
  // absent or Name is empty.
  TComponent* FindComponent(const String& AName) const;

  // ---- Name and tag ----
  const String& Name() const { return FName; }
  // Raises EComponentError "'<name>' is not a valid component name" for a
  // name that is not an identifier (IsValidIdent), and "A component named
  // <name> already exists" when a sibling has it (ASCII case ignored). An
  // empty name is allowed.
  virtual void SetName(const String& NewName);
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }

  // ---- State ----
  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return (FComponentState & csLoading) != 0; }
  bool IsDesigning() const { return (FComponentState & csDesigning) != 0; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }
  // Enters csDestroying, for this component and what it owns.
  void Destroying();
  void BeforeDestruction() override;
  // Sets or clears csDesigning (with the owned components too).
  void SetDesigning(bool Value, bool SetChildren = true);
  // Loaders: SetLoading(true) enters csLoading; SetLoading(false) calls
  // Loaded() when the component was loading.
  void SetLoading(bool Value);
  // Called once loading has finished; the base leaves csLoading.
  virtual void Loaded();
  void Updating();  // enters csUpdating
  void Updated();   // leaves csUpdating

  // ---- Notifications ----
  // Asks this component to tell AComponent when it is destroyed (and the
  // other way round). Components of one owner hear of each other through the
  // owner anyway.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  // Told when AComponent is inserted into or removed from the owner's list,
  // or is destroyed. The base forgets a removed component's free
  // notification and passes the notice on to the owned components.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // ---- Parent and children (controls have a visual parent; the base none) ----
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}
  // Calls Proc for every child that belongs with this component under Root;
  // the base has none.
  virtual void GetChildren(TGetChildProc, TComponent*) {}

  // ---- Persistent ----
  TPersistent* GetOwner() const override { return FOwner; }
  String GetNamePath() const override { return FName; }

  // Raises EComponentError when NewName is not valid for AComponent among
  // the owned components.
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
  // Sets the name without any check.
  void ChangeName(const String& NewName) { FName = NewName; }

protected:
  void SetComponentState(TComponentState Value) { FComponentState = Value; }
  void IncludeState(TComponentState Flags) { FComponentState |= Flags; }
  void ExcludeState(TComponentState Flags) { FComponentState &= ~Flags; }
  virtual void ValidateInsert(TComponent* AComponent);

private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void AddWatcher(TComponent* AComponent);
  bool DropWatcher(TComponent* AComponent);
  void NotifyWatchers();

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  String FName;
  NativeInt FTag = 0;
  TComponentState FComponentState = 0;
};

// True for a valid identifier: an ASCII letter or "_", then ASCII letters,
// digits or "_".
bool IsValidIdent(const String& Ident);
