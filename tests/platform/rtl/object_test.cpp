#include "platform/rtl/object.h"

#include <gtest/gtest.h>

#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"

namespace {

class TShape : public TPersistent {
  KORVANE_CLASS(TShape, TPersistent)
  virtual int Corners() const = 0;
};

class TSquare : public TShape {
  KORVANE_CLASS(TSquare, TShape)
  int Corners() const override { return 4; }
  int Side = 1;
  void Assign(TPersistent* Source) override {
    if (auto* s = dynamic_cast<TSquare*>(Source))
      Side = s->Side;
    else
      TShape::Assign(Source);
  }
};

class TTriangle : public TShape {
  KORVANE_CLASS(TTriangle, TShape)
  int Corners() const override { return 3; }
};

// No default constructor: its metaclass cannot build one.
class TNamedThing : public TObject {
  KORVANE_CLASS(TNamedThing, TObject)
  explicit TNamedThing(int) {}
};

}  // namespace

TEST(ObjectModel, MetaclassDescribesTheHierarchy) {
  TSquare square;
  EXPECT_EQ(square.ClassName(), u"TSquare");
  EXPECT_EQ(square.ClassType(), TSquare::StaticClass());
  EXPECT_EQ(square.ClassParent(), TShape::StaticClass());
  EXPECT_EQ(TShape::StaticClass()->ClassParent()->ClassParent(), TObject::StaticClass());
  EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);

  EXPECT_TRUE(square.InheritsFrom(TShape::StaticClass()));
  EXPECT_TRUE(square.InheritsFrom<TPersistent>());
  EXPECT_TRUE(square.InheritsFrom<TSquare>());
  EXPECT_FALSE(square.InheritsFrom<TTriangle>());
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TSquare::StaticClass()));
  EXPECT_FALSE(square.InheritsFrom(nullptr));
}

TEST(ObjectModel, VirtualConstructorBuildsTheDescribedClass) {
  // A class reference typed as the base builds the derived class.
  TClass shapes[] = {TSquare::StaticClass(), TTriangle::StaticClass()};
  int corners[] = {4, 3};
  for (int i = 0; i < 2; ++i) {
    TObject* obj = shapes[i]->Create();
    auto* shape = dynamic_cast<TShape*>(obj);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Corners(), corners[i]);
    EXPECT_EQ(obj->ClassType(), shapes[i]);
    obj->Free();
  }
}

TEST(ObjectModel, ClassesThatCannotBeBuiltWithoutArgumentsRaise) {
  for (TClass c : {TShape::StaticClass(), TNamedThing::StaticClass()}) {
    EXPECT_FALSE(c->CanCreate());
    try {
      c->Create();
      FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
      EXPECT_NE(e.Message.find(c->ClassName()), String::npos);
    }
  }
}

namespace {

// A hierarchy whose virtual constructor takes the owner.
class TOwnedThing : public TPersistent {
public:
  using MetaClass = TConstructorMetaClass<TOwnedThing, TPersistent*>;
  KORVANE_CLASS(TOwnedThing, TPersistent)
  explicit TOwnedThing(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  virtual int Kind() const { return 1; }

private:
  TPersistent* FOwner;
};

class TSpecialThing : public TOwnedThing {
  KORVANE_CLASS(TSpecialThing, TOwnedThing)
  using TOwnedThing::TOwnedThing;
  int Kind() const override { return 2; }
};

}  // namespace

TEST(ObjectModel, MetaclassWithConstructorArguments) {
  TSquare owner;
  const TOwnedThing::MetaClass* classes[] = {TOwnedThing::StaticClass(), TSpecialThing::StaticClass()};
  for (int i = 0; i < 2; ++i) {
    TOwnedThing* thing = classes[i]->Create(&owner);
    EXPECT_EQ(thing->Kind(), i + 1);
    EXPECT_EQ(thing->GetOwner(), &owner);
    EXPECT_EQ(thing->GetNamePath(), u"TSquare." + classes[i]->ClassName());
    EXPECT_FALSE(classes[i]->CanCreate()) << "no default constructor";
    thing->Free();
  }
}

namespace {

// Class references that answer class-level operations without an instance.
class TKindMetaClass : public TMetaClass {
public:
  template <class Self>
  TKindMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent), DataSize(&Self::GetDataSize) {}
  int (*DataSize)();
};

class TKind : public TObject {
public:
  using MetaClass = TKindMetaClass;
  KORVANE_CLASS(TKind, TObject)
  static int GetDataSize() { return 0; }
};

class TIntegerKind : public TKind {
  KORVANE_CLASS(TIntegerKind, TKind)
  static int GetDataSize() { return 4; }
};

class TSmallKind : public TIntegerKind {  // inherits the integer's size
  KORVANE_CLASS(TSmallKind, TIntegerKind)
};

}  // namespace

TEST(ObjectModel, ClassLevelOperationsFollowTheMostDerivedDeclaration) {
  const TKindMetaClass* kinds[] = {TKind::StaticClass(), TIntegerKind::StaticClass(), TSmallKind::StaticClass()};
  int sizes[] = {0, 4, 4};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(kinds[i]->DataSize(), sizes[i]) << i;
}

TEST(ObjectModel, ClassRegistry) {
  RegisterClasses({TSquare::StaticClass(), TTriangle::StaticClass()});
  RegisterClass(TSquare::StaticClass());  // twice is harmless

  EXPECT_EQ(FindClass(u"TSquare"), TSquare::StaticClass());
  EXPECT_EQ(GetClass(u"ttriangle"), TTriangle::StaticClass());
  EXPECT_EQ(GetClass(u"TCircle"), nullptr);
  try {
    FindClass(u"TCircle");
    FAIL() << "no exception";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message, u"Class TCircle not found");
  }

  // Unregistering a class that is not the one under the name changes nothing.
  UnRegisterClass(TShape::StaticClass());
  UnRegisterClass(TSquare::StaticClass());
  EXPECT_EQ(GetClass(u"TSquare"), nullptr);
  EXPECT_EQ(GetClass(u"TTriangle"), TTriangle::StaticClass());
  UnRegisterClass(TTriangle::StaticClass());
}

namespace other {
class TSquare : public TObject {
  KORVANE_CLASS(TSquare, TObject)
};
}  // namespace other

TEST(ObjectModel, AnotherClassUnderARegisteredNameIsRefused) {
  RegisterClass(TSquare::StaticClass());
  EXPECT_THROW(RegisterClass(other::TSquare::StaticClass()), EFilerError);
  EXPECT_EQ(GetClass(u"TSquare"), TSquare::StaticClass());
  UnRegisterClass(TSquare::StaticClass());
}

TEST(Persistent, AssignFallsBackToAssignToAndNamesBothClasses) {
  TSquare a, b;
  b.Side = 7;
  a.Assign(&b);
  EXPECT_EQ(a.Side, 7);

  TTriangle t;
  struct Case {
    TPersistent* Dest;
    TPersistent* Source;
    const char16_t* Message;
  } cases[] = {
      {&a, &t, u"Cannot assign a TTriangle to a TSquare"},
      {&t, &a, u"Cannot assign a TSquare to a TTriangle"},
      {&a, nullptr, u"Cannot assign a nil to a TSquare"},
  };
  for (const Case& c : cases) {
    try {
      c.Dest->Assign(c.Source);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, c.Message);
    }
  }
}

// ---- Events ----------------------------------------------------------------------------

namespace {

class TListener : public TObject {
public:
  int Clicks = 0;
  int Other = 0;
  void Click(TObject*) { ++Clicks; }
  void OtherClick(TObject*) { ++Other; }
  int Twice(int x) const { return 2 * x; }
};

class TDerivedListener : public TListener {};

int FreeCalls = 0;
void FreeHandler(TObject*) { ++FreeCalls; }
void OtherFreeHandler(TObject*) {}

}  // namespace

TEST(Events, CompareByTargetAndHandler) {
  TListener a, b;
  TNotifyEvent clickA = MakeEvent(&a, &TListener::Click);
  struct Case {
    TNotifyEvent Other;
    bool Equal;
  } cases[] = {
      {MakeEvent(&a, &TListener::Click), true},
      {TNotifyEvent(&a, &TListener::Click), true},
      {MakeEvent(&b, &TListener::Click), false},
      {MakeEvent(&a, &TListener::OtherClick), false},
      {TNotifyEvent(&FreeHandler), false},
      {TNotifyEvent(), false},
      {TNotifyEvent(&a, [](TObject*) {}), false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(clickA == cases[i].Other, cases[i].Equal) << "case " << i;
    EXPECT_EQ(cases[i].Other == clickA, cases[i].Equal) << "case " << i;
  }
  EXPECT_TRUE(TNotifyEvent() == TNotifyEvent(nullptr));
  EXPECT_TRUE(TNotifyEvent(&FreeHandler) == TNotifyEvent(&FreeHandler));
  EXPECT_FALSE(TNotifyEvent(&FreeHandler) == TNotifyEvent(&OtherFreeHandler));
}

TEST(Events, HookCallAndUnhook) {
  TListener a;
  TNotifyEvent onClick;
  EXPECT_FALSE(Assigned(onClick));
  onClick(nullptr);  // an empty event does nothing

  onClick = MakeEvent(&a, &TListener::Click);
  ASSERT_TRUE(Assigned(onClick));
  EXPECT_EQ(onClick.Target(), &a);
  onClick(&a);
  onClick(&a);
  EXPECT_EQ(a.Clicks, 2);

  // Unhook only when our own handler is still in place.
  if (onClick == MakeEvent(&a, &TListener::Click)) onClick = nullptr;
  EXPECT_FALSE(Assigned(onClick));
  onClick(&a);
  EXPECT_EQ(a.Clicks, 2);

  onClick = &FreeHandler;
  onClick(nullptr);
  EXPECT_EQ(FreeCalls, 1);
}

TEST(Events, ResultsConstMethodsAndBaseClassMethods) {
  TDerivedListener d;
  TEvent<int(int)> twice = MakeEvent(&d, &TListener::Twice);
  EXPECT_EQ(twice(21), 42);
  EXPECT_EQ(TEvent<int(int)>()(5), 0);  // empty: value-initialised result
  // The same method reached through the derived class is the same handler.
  EXPECT_TRUE(twice == TEvent<int(int)>(static_cast<TListener*>(&d), &TListener::Twice));
  TNotifyEvent viaDerived(&d, &TListener::Click);
  viaDerived(nullptr);
  EXPECT_EQ(d.Clicks, 1);
}

TEST(Events, CallablesCompareByTheirIdentityAndTag) {
  TListener owner;
  int calls = 0;
  TNotifyEvent first(&owner, [&calls](TObject*) { ++calls; });
  TNotifyEvent again(&owner, [](TObject*) {});
  TNotifyEvent tagged(&owner, [](TObject*) {}, 1);
  EXPECT_TRUE(first == again);
  EXPECT_FALSE(first == tagged);
  EXPECT_FALSE(first == MakeEvent(&owner, &TListener::Click));
  TNotifyEvent copy = first;
  copy(nullptr);
  first(nullptr);
  EXPECT_EQ(calls, 2);
}

TEST(Events, ArgumentsByReferenceReachTheHandler) {
  struct TValidator : TObject {
    void Validate(TObject*, String& Text, bool& Accept) {
      Text += u"!";
      Accept = false;
    }
  } v;
  TEvent<void(TObject*, String&, bool&)> onValidate = MakeEvent(&v, &TValidator::Validate);
  String text = u"x";
  bool accept = true;
  onValidate(nullptr, text, accept);
  EXPECT_EQ(text, u"x!");
  EXPECT_FALSE(accept);
}
