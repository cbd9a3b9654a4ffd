#include "platform/rtl/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

// Records what it hears and when it dies, into a shared journal.
class TProbe : public TComponent {
  KORVANE_CLASS(TProbe, TComponent)

  explicit TProbe(TComponent* AOwner, std::vector<std::string>* AJournal = nullptr, const char* ALabel = "")
      : TComponent(AOwner), Journal(AJournal), Label(ALabel) {}
  ~TProbe() override {
    if (Journal) Journal->push_back("free " + Label);
  }

  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) {
      Removed.push_back(AComponent);
      if (AComponent == Linked) Linked = nullptr;
    }
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCalls;
  }

  std::vector<std::string>* Journal;
  std::string Label;
  std::vector<TComponent*> Removed;
  TComponent* Linked = nullptr;
  int LoadedCalls = 0;
};

// Ignores the inherited Notification on purpose.
class TRudeWatcher : public TComponent {
  KORVANE_CLASS(TRudeWatcher, TComponent)
  using TComponent::TComponent;
  void Notification(TComponent*, TOperation Operation) override {
    if (Operation == opRemove) ++Heard;
  }
  int Heard = 0;
};

}  // namespace

TEST(Component, OwnerFreesOwnedComponentsLastFirst) {
  std::vector<std::string> journal;
  auto* owner = new TProbe(nullptr, &journal, "owner");
  new TProbe(owner, &journal, "a");
  auto* b = new TProbe(owner, &journal, "b");
  new TProbe(b, &journal, "b1");
  new TProbe(owner, &journal, "c");
  EXPECT_EQ(owner->ComponentCount(), 3);
  EXPECT_EQ(b->Owner(), owner);
  EXPECT_EQ(b->ComponentIndex(), 1);

  owner->Free();
  // The owner's own destructor body runs first, then its components go,
  // the last one first (each with what it owns).
  EXPECT_EQ(journal, (std::vector<std::string>{"free owner", "free c", "free b", "free b1", "free a"}));
}

TEST(Component, ComponentFreedFirstLeavesItsOwnerAndTheOwnerHearsIt) {
  TProbe owner(nullptr);
  auto* a = new TProbe(&owner);
  auto* b = new TProbe(&owner);
  auto* c = new TProbe(&owner);
  b->Free();
  ASSERT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(owner.Components(1), c);
  EXPECT_EQ(owner.Removed, std::vector<TComponent*>{b});
  // Siblings hear of it through the owner, without asking.
  EXPECT_EQ(a->Removed, std::vector<TComponent*>{b});
  delete c;  // a plain delete behaves the same
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_THROW(owner.Components(1), EListError);
}

TEST(Component, FreeNotificationReachesWatchersOnceAndCanBeWithdrawn) {
  TProbe formA(nullptr), formB(nullptr);
  auto* source = new TProbe(&formA);
  auto* grid = new TProbe(&formB);
  auto* tree = new TProbe(&formB);
  grid->Linked = source;
  tree->Linked = source;
  source->FreeNotification(grid);
  source->FreeNotification(tree);
  source->FreeNotification(tree);  // asking twice registers once
  EXPECT_TRUE(source->ComponentState() & csFreeNotification);
  source->RemoveFreeNotification(tree);

  source->Free();
  EXPECT_EQ(grid->Linked, nullptr);
  EXPECT_EQ(grid->Removed, std::vector<TComponent*>{source});
  EXPECT_EQ(tree->Linked, source) << "withdrawn: not told";
  EXPECT_TRUE(tree->Removed.empty());

  // The link goes both ways: the watcher dying first is forgotten by the
  // watched, so its later death tells nobody stale.
  auto* watched = new TProbe(&formA);
  auto* watcher = new TProbe(&formB);
  watched->FreeNotification(watcher);
  watcher->Free();
  EXPECT_EQ(watched->Removed, std::vector<TComponent*>{watcher});
  watched->Free();
}

TEST(Component, SiblingFreedWhileANoticeIsPassedOnIsSkipped) {
  // On hearing of any removal, the killer frees its victim, a sibling that
  // the owner has not told yet.
  struct TKiller : TComponent {
    using TComponent::TComponent;
    TComponent* Victim = nullptr;
    void Notification(TComponent* AComponent, TOperation Operation) override {
      TComponent::Notification(AComponent, Operation);
      if (Operation == opRemove && Victim && AComponent != Victim) FreeAndNil(Victim);
    }
  };
  TProbe owner(nullptr);
  auto* first = new TProbe(&owner);
  auto* victim = new TProbe(&owner);
  auto* killer = new TKiller(&owner);
  auto* last = new TProbe(&owner);
  killer->Victim = victim;
  last->Free();
  EXPECT_EQ(killer->Victim, nullptr);
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(first->Removed, (std::vector<TComponent*>{victim, last}));
}

TEST(Component, WatcherIgnoringTheInheritedNotificationIsToldOnce) {
  TRudeWatcher watcher(nullptr);
  auto* watched = new TComponent(nullptr);
  watched->FreeNotification(&watcher);
  watched->Free();
  EXPECT_EQ(watcher.Heard, 1);
}

TEST(Component, DestroyingStateReachesOwnedComponents) {
  struct TChild : TComponent {
    using TComponent::TComponent;
    bool* OwnerWasDestroying;
    ~TChild() override { *OwnerWasDestroying = Owner() && Owner()->IsDestroying(); }
  };
  bool ownerDestroying = false;
  auto* owner = new TComponent(nullptr);
  auto* child = new TChild(owner);
  child->OwnerWasDestroying = &ownerDestroying;
  owner->BeforeDestruction();
  EXPECT_TRUE(owner->IsDestroying());
  EXPECT_TRUE(child->IsDestroying());
  delete owner;
  EXPECT_TRUE(ownerDestroying);
}

TEST(Component, Names) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName(u"Edit1");

  struct Case {
    const char16_t* Name;
    const char16_t* Error;  // nullptr: accepted
  } cases[] = {
      {u"Edit2", nullptr},
      {u"_x9", nullptr},
      {u"", nullptr},
      {u"Edit1", u"A component named Edit1 already exists"},
      {u"EDIT1", u"A component named EDIT1 already exists"},
      {u"9Lives", u"'9Lives' is not a valid component name"},
      {u"Two Words", u"'Two Words' is not a valid component name"},
      {u"名称", u"'名称' is not a valid component name"},
  };
  for (const Case& c : cases) {
    String before = b->Name();
    try {
      b->SetName(c.Name);
      EXPECT_EQ(c.Error, nullptr) << StringToUTF8(c.Name);
      EXPECT_EQ(b->Name(), c.Name);
    } catch (const EComponentError& e) {
      ASSERT_NE(c.Error, nullptr) << StringToUTF8(c.Name);
      EXPECT_EQ(e.Message, c.Error);
      EXPECT_EQ(b->Name(), before);
    }
  }
  // A change of case only is no clash with itself; unowned names never clash.
  a->SetName(u"EDIT1");
  EXPECT_EQ(owner.FindComponent(u"edit1"), a);
  EXPECT_EQ(owner.FindComponent(u""), nullptr);
  TComponent loose(nullptr), loose2(nullptr);
  loose.SetName(u"Same");
  loose2.SetName(u"Same");

  // Inserting a component whose name is taken is refused before anything changes.
  auto* stranger = new TComponent(nullptr);
  stranger->SetName(u"Edit1");
  EXPECT_THROW(owner.InsertComponent(stranger), EComponentError);
  EXPECT_EQ(stranger->Owner(), nullptr);
  delete stranger;
}

TEST(Component, InsertComponentMovesBetweenOwners) {
  TProbe first(nullptr), second(nullptr);
  auto* c = new TProbe(&first);
  second.SetDesigning(true);
  second.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(first.Removed, std::vector<TComponent*>{c});
  EXPECT_TRUE(c->IsDesigning());

  second.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  EXPECT_EQ(second.ComponentCount(), 0);
  delete c;
}

TEST(Component, ComponentIndexMovesWithinTheOwner) {
  TComponent owner(nullptr);
  TComponent* items[3];
  for (auto& item : items) item = new TComponent(&owner);
  items[0]->SetComponentIndex(5);  // clamped to the end
  EXPECT_EQ(owner.Components(2), items[0]);
  items[0]->SetComponentIndex(-1);
  EXPECT_EQ(owner.Components(0), items[0]);
  EXPECT_EQ(items[2]->ComponentIndex(), 2);
}

TEST(Component, MetaclassCreatesWithAnOwner) {
  TComponent owner(nullptr);
  TComponentClass cls = TProbe::StaticClass();
  TComponent* made = cls->Create(&owner);
  EXPECT_EQ(made->ClassName(), u"TProbe");
  EXPECT_EQ(made->Owner(), &owner);
  EXPECT_TRUE(made->InheritsFrom<TComponent>());
  EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(Component, LoadingAndTag) {
  TProbe c(nullptr);
  c.SetTag(-5);
  EXPECT_EQ(c.Tag(), -5);
  c.SetLoading(false);  // was not loading: Loaded is not called
  EXPECT_EQ(c.LoadedCalls, 0);
  c.SetLoading(true);
  EXPECT_TRUE(c.IsLoading());
  c.SetLoading(false);
  EXPECT_FALSE(c.IsLoading());
  EXPECT_EQ(c.LoadedCalls, 1);
  EXPECT_EQ(c.GetOwner(), nullptr);
}
