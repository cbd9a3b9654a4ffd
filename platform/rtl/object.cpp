#include "platform/rtl/object.h"

#include <map>
#include <mutex>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

// ---- TMetaClass -----------------------------------------------------------------------

TMetaClass::~TMetaClass() = default;

bool TMetaClass::InheritsFrom(TClass AClass) const {
  for (TClass c = this; c; c = c->FClassParent)
    if (c == AClass) return true;
  return false;
}

TObject* TMetaClass::Create() const {
  if (!FCreate) CannotCreate();
  return FCreate();
}

void TMetaClass::CannotCreate() const {
  throw EInvalidOperation(u"Cannot create an instance of class " + FClassName);
}

// ---- TObject --------------------------------------------------------------------------

const TObject::MetaClass* TObject::StaticClass() {
  static const MetaClass meta(std::type_identity<TObject>{}, u"TObject", nullptr);
  return &meta;
}

TObject::~TObject() = default;

String TObject::ClassName() const { return ClassType()->ClassName(); }

TClass TObject::ClassParent() const { return ClassType()->ClassParent(); }

bool TObject::InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

// ---- Class registry -------------------------------------------------------------------

namespace {

struct TClassRegistry {
  std::mutex Lock;
  std::map<String, TClass> Classes;  // key: upper-cased name
};

TClassRegistry& Registry() {
  static TClassRegistry registry;
  return registry;
}

}  // namespace

void RegisterClass(TClass AClass) {
  if (!AClass) return;
  TClassRegistry& r = Registry();
  std::lock_guard guard(r.Lock);
  auto [it, added] = r.Classes.emplace(UpperCase(AClass->ClassName()), AClass);
  if (!added && it->second != AClass)
    throw EFilerError(u"A class named " + AClass->ClassName() + u" already exists");
}

void RegisterClasses(std::initializer_list<TClass> AClasses) {
  for (TClass c : AClasses) RegisterClass(c);
}

void UnRegisterClass(TClass AClass) {
  if (!AClass) return;
  TClassRegistry& r = Registry();
  std::lock_guard guard(r.Lock);
  auto it = r.Classes.find(UpperCase(AClass->ClassName()));
  if (it != r.Classes.end() && it->second == AClass) r.Classes.erase(it);
}

TClass GetClass(const String& AClassName) {
  TClassRegistry& r = Registry();
  std::lock_guard guard(r.Lock);
  auto it = r.Classes.find(UpperCase(AClassName));
  return it == r.Classes.end() ? nullptr : it->second;
}

TClass FindClass(const String& AClassName) {
  TClass c = GetClass(AClassName);
  if (!c) throw EClassNotFound(u"Class " + AClassName + u" not found");
  return c;
}

// ---- TPersistent ----------------------------------------------------------------------

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  String sourceName = Source ? Source->ClassName() : String(u"nil");
  throw EConvertError(u"Cannot assign a " + sourceName + u" to a " + ClassName());
}

String TPersistent::GetNamePath() const {
  String result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    String ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) result = ownerPath + u"." + result;
  }
  return result;
}
