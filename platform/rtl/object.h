#pragma once
// The root of the object model: TObject, metaclasses ("class of" references),
// the class registry by name, and TPersistent.
//
// Every class takes part in the model with one line at the top of its body:
//
//   class TMyThing : public TPersistent {
//     KORVANE_CLASS(TMyThing, TPersistent)
//   public:
//     ...
//   };
//
// That line gives the class a metaclass object (TMyThing::StaticClass()) and
// overrides ClassType(), so ClassName(), InheritsFrom() and the metaclass's
// virtual constructor work for it. The macro leaves the access at `public:`.
//
// A metaclass's virtual constructor builds an instance of the class it
// describes: TMetaClass::Create() for classes with a default constructor,
// TComponentMetaClass::Create(AOwner) for components (see component.h),
// TConstructorMetaClass<TBase, Args...>::Create(args...) for any other
// constructor arguments. A hierarchy names its kind of class reference in
// the class body with `using MetaClass = ...;` before KORVANE_CLASS; its
// descendants inherit it. A metaclass of one's own derives from TMetaClass
// with a constructor template taking std::type_identity<Self> (see
// TMetaClass). Class-level "virtual" operations are best taken there from
// static member functions of Self (`&Self::Describe`): name lookup finds the
// most derived declaration, which is what a virtual class method does.
#include <initializer_list>
#include <type_traits>

#include "platform/rtl/types.h"

class TObject;
class TMetaClass;
using TClass = const TMetaClass*;

class TObject {
public:
  using MetaClass = TMetaClass;
  static const MetaClass* StaticClass();

  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const;
  TClass ClassParent() const;
  bool InheritsFrom(TClass AClass) const;
  template <class T>
  bool InheritsFrom() const {
    return InheritsFrom(T::StaticClass());
  }

  // Called by Free before the destructor runs, while the object is whole.
  virtual void BeforeDestruction() {}
  // Frees the object: BeforeDestruction, then delete. (Through a pointer that
  // may be nullptr, use FreeAndNil.)
  void Free();
};

// A metaclass is an object too, so a class reference can be kept wherever
// objects are kept (such as the Objects of a string list).
class TMetaClass : public TObject {
public:
  template <class Self>
  TMetaClass(std::type_identity<Self>, const char16_t* AClassName, TClass AClassParent)
      : FClassName(AClassName), FClassParent(AClassParent), FCreate(DefaultFactory<Self>()) {}
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;
  ~TMetaClass() override;

  const String& ClassName() const { return FClassName; }
  TClass ClassParent() const { return FClassParent; }
  // True for this class and every class derived from AClass (nullptr: false).
  bool InheritsFrom(TClass AClass) const;
  // A new instance of the described class built with its default
  // constructor. Raises EInvalidOperation when the class is abstract or has
  // no default constructor.
  TObject* Create() const;
  // Whether Create() can build an instance.
  bool CanCreate() const { return FCreate != nullptr; }

protected:
  template <class Self>
  static TObject* (*DefaultFactory())() {
    if constexpr (!std::is_abstract_v<Self> && std::is_default_constructible_v<Self>)
      return []() -> TObject* { return new Self(); };
    else
      return nullptr;
  }
  [[noreturn]] void CannotCreate() const;

private:
  String FClassName;
  TClass FClassParent;
  TObject* (*FCreate)();
};

// The metaclass of a class, typed as the class's own metaclass kind.
template <class T>
auto ClassOf() {
  return T::StaticClass();
}

// The class reference of a hierarchy whose virtual constructor takes
// arguments: Create(args...) builds the described class as TBase. For
// example a persistent class built with its owner declares
//   using MetaClass = TConstructorMetaClass<TMyPersistent, TPersistent*>;
// before KORVANE_CLASS. Create() without arguments stays available for
// classes that also have a default constructor.
template <class TBase, class... CtorArgs>
class TConstructorMetaClass : public TMetaClass {
public:
  template <class Self>
  TConstructorMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent) {
    if constexpr (!std::is_abstract_v<Self> && std::is_constructible_v<Self, CtorArgs...>)
      FCreateWith = [](CtorArgs... args) -> TBase* { return new Self(args...); };
  }
  using TMetaClass::Create;
  // Raises EInvalidOperation when the class is abstract or cannot be built
  // from these arguments.
  TBase* Create(CtorArgs... args) const {
    if (!FCreateWith) CannotCreate();
    return FCreateWith(args...);
  }
  bool CanCreateWith() const { return FCreateWith != nullptr; }

private:
  TBase* (*FCreateWith)(CtorArgs...) = nullptr;
};

#define KORVANE_CLASS(Self, Parent)                                                          \
public:                                                                                      \
  using inherited = Parent;                                                                  \
  static const MetaClass* StaticClass() {                                                    \
    static const MetaClass meta(std::type_identity<Self>{}, u"" #Self, Parent::StaticClass()); \
    return &meta;                                                                            \
  }                                                                                          \
  TClass ClassType() const override { return StaticClass(); }                                \
                                                                                             \
public:

// Frees Obj (when not nullptr) and sets the pointer to nullptr first.
template <class T>
void FreeAndNil(T*& Obj) {
  T* p = Obj;
  Obj = nullptr;
  if (p) p->Free();
}

// ---- Class registry by name ----------------------------------------------------------
// Names compare without regard to ASCII case. Registering the same class twice
// is ignored; another class under a registered name raises EFilerError.

void RegisterClass(TClass AClass);
void RegisterClasses(std::initializer_list<TClass> AClasses);
void UnRegisterClass(TClass AClass);
// Raises EClassNotFound "Class %s not found" when the name is unknown.
TClass FindClass(const String& AClassName);
// nullptr when the name is unknown.
TClass GetClass(const String& AClassName);

// ---- TPersistent ---------------------------------------------------------------------

class TPersistent : public TObject {
  KORVANE_CLASS(TPersistent, TObject)

  // Copies Source into this object. The base asks Source to assign itself to
  // this object (Source->AssignTo(this)); nullptr Source raises EConvertError.
  virtual void Assign(TPersistent* Source);
  // Copies this object into Dest. The base raises EConvertError
  // "Cannot assign a <source class> to a <dest class>".
  virtual void AssignTo(TPersistent* Dest);
  // The object that owns this one in the naming hierarchy (nullptr: none).
  virtual TPersistent* GetOwner() const { return nullptr; }
  // Owner's name path, a dot, then the class name; just the class name
  // without an owner (components answer their name).
  virtual String GetNamePath() const;

protected:
  [[noreturn]] void AssignError(TPersistent* Source);
};

// The base of classes that are used through abstract interface classes
// (found with dynamic_cast).
class TInterfacedPersistent : public TPersistent {
  KORVANE_CLASS(TInterfacedPersistent, TPersistent)
};
