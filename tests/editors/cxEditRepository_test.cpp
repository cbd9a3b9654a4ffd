// The edit repository: repository items, the fan-out of their changes to
// listeners, their removal, and the ordered item list of a repository.
#include "editors/cxEditRepository.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"

namespace {

class TRepoTestProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TRepoTestProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

class TRepoTestItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TRepoTestItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TRepoTestProperties::StaticClass(); }
};

// Records what it hears in a shared log as "<name>:<event>".
class TRecordingListener : public IcxEditRepositoryItemListener {
public:
  TRecordingListener(std::string AName, std::vector<std::string>& ALog) : Name(std::move(AName)), Log(ALog) {}
  void ItemRemoved(TcxEditRepositoryItem* Sender) override {
    Log.push_back(Name + ":removed:" + std::string(Sender->Name().begin(), Sender->Name().end()));
    if (AlsoRemove) Sender->RemoveListener(AlsoRemove);
    Sender->RemoveListener(this);
  }
  void PropertiesChanged(TcxEditRepositoryItem*) override {
    Log.push_back(Name + ":changed");
    if (AlsoRemove) Sender()->RemoveListener(AlsoRemove);
  }
  TcxEditRepositoryItem* Sender() { return Item; }
  std::string Name;
  std::vector<std::string>& Log;
  TcxEditRepositoryItem* Item = nullptr;
  // A listener this one takes out while it is told (as a container does
  // when a column drops its editor).
  IcxEditRepositoryItemListener* AlsoRemove = nullptr;
};

TEST(cxEditRepository, PropertySetOfTheItemKindOwnedByTheItem) {
  TcxEditRepositoryItem base(nullptr);
  TRepoTestItem item(nullptr);
  EXPECT_EQ(base.Properties()->ClassType(), TcxCustomEditProperties::StaticClass());
  EXPECT_EQ(item.Properties()->ClassType(), TRepoTestProperties::StaticClass());
  EXPECT_EQ(item.Properties()->GetOwner(), &item);

  TRepoTestProperties source(nullptr);
  source.SetReadOnly(true);
  TcxCustomEditProperties* owned = item.Properties();
  item.SetProperties(&source);
  EXPECT_EQ(item.Properties(), owned) << "the setter assigns, it does not replace";
  EXPECT_TRUE(item.Properties()->ReadOnly());
}

TEST(cxEditRepository, ChangesReachEveryListenerLastAddedFirst) {
  std::vector<std::string> log;
  TRecordingListener a("a", log), b("b", log), c("c", log);
  TcxEditRepositoryItem item(nullptr);  // goes first: it tells the listeners
  for (TRecordingListener* l : {&a, &b, &c}) l->Item = &item;
  item.AddListener(&a);
  item.AddListener(&b);
  item.AddListener(&b);  // held once
  item.AddListener(&c);
  item.AddListener(nullptr);
  EXPECT_EQ(item.ListenerCount(), 3);

  item.Properties()->SetReadOnly(true);
  EXPECT_EQ(log, (std::vector<std::string>{"c:changed", "b:changed", "a:changed"}));

  // A listener taken out while the others are told hears nothing more.
  log.clear();
  c.AlsoRemove = &b;
  item.Properties()->SetReadOnly(false);
  EXPECT_EQ(log, (std::vector<std::string>{"c:changed", "a:changed"}));

  log.clear();
  item.RemoveListener(&c);
  item.Properties()->SetAutoSelect(false);
  EXPECT_EQ(log, (std::vector<std::string>{"a:changed"}));
}

TEST(cxEditRepository, DestroyedItemTellsListenersAndLeavesItsRepository) {
  std::vector<std::string> log;
  TcxEditRepository repository(nullptr);
  TcxEditRepositoryItem* item = repository.CreateItem(TRepoTestItem::StaticClass());
  item->SetName(u"Item1");
  TRecordingListener a("a", log), b("b", log), c("c", log);
  for (TRecordingListener* l : {&a, &b, &c}) item->AddListener(l);
  // b takes a out while it is told: a must not be told a second time nor
  // after leaving.
  b.AlsoRemove = &a;

  item->Free();
  EXPECT_EQ(log, (std::vector<std::string>{"c:removed:Item1", "b:removed:Item1"}));
  EXPECT_EQ(repository.Count(), 0);
  EXPECT_EQ(repository.ComponentCount(), 0);
}

TEST(cxEditRepository, ItemsKeepTheirOrderAndMoveBetweenRepositories) {
  TComponent form(nullptr);
  TcxEditRepository first(nullptr), second(nullptr);
  TcxEditRepositoryItem* a = first.CreateItem(TRepoTestItem::StaticClass());
  TcxEditRepositoryItem* b = first.CreateItemEx(TcxEditRepositoryItem::StaticClass(), &form);
  ASSERT_EQ(first.Count(), 2);
  EXPECT_EQ(first.Items(0), a);
  EXPECT_EQ(first.Items(1), b);
  EXPECT_EQ(a->Owner(), &first);
  EXPECT_EQ(b->Owner(), &form);
  EXPECT_EQ(b->GetParentComponent(), &first);
  EXPECT_THROW(first.Items(2), EListError);

  std::vector<TComponent*> children;
  first.GetChildren(TGetChildProc(&children, [&](TComponent* Child) { children.push_back(Child); }), &form);
  EXPECT_EQ(children, (std::vector<TComponent*>{b}));

  a->SetRepository(&second);
  a->SetRepository(&second);
  EXPECT_EQ(first.Count(), 1);
  ASSERT_EQ(second.Count(), 1);
  EXPECT_EQ(second.Items(0), a);

  b->SetParentComponent(&second);
  EXPECT_EQ(second.IndexOf(b), 1);
  EXPECT_EQ(first.Count(), 0);

  EXPECT_THROW(first.CreateItem(TcxEditRepository::StaticClass()), EInvalidOperation);
  EXPECT_THROW(first.CreateItem(nullptr), EInvalidOperation);
}

TEST(cxEditRepository, DestroyedRepositoryFreesItsItemsLastFirstWhoeverOwnsThem) {
  std::vector<std::string> log;
  auto form = std::make_unique<TComponent>(nullptr);
  auto repository = std::make_unique<TcxEditRepository>(nullptr);
  TcxEditRepositoryItem* owned = repository->CreateItem(TRepoTestItem::StaticClass());
  TcxEditRepositoryItem* foreign = repository->CreateItemEx(TRepoTestItem::StaticClass(), form.get());
  owned->SetName(u"Owned");
  foreign->SetName(u"Foreign");
  TRecordingListener l1("l", log), l2("l", log);
  owned->AddListener(&l1);
  foreign->AddListener(&l2);

  repository.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"l:removed:Foreign", "l:removed:Owned"}));
  EXPECT_EQ(form->ComponentCount(), 0) << "the foreign owner forgets the freed item";
}

TEST(cxEditRepository, DefaultRepositoryCreatedOnFirstUse) {
  TcxEditRepository* repository = GetDefaultEditRepository();
  ASSERT_NE(repository, nullptr);
  EXPECT_EQ(GetDefaultEditRepository(), repository);
  EXPECT_EQ(repository->Owner(), nullptr);
  repository->CreateItem(TRepoTestItem::StaticClass());
  cxEditRepositoryFinalize();
  cxEditRepositoryFinalize();
}

}  // namespace
