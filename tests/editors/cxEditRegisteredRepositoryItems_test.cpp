// The default editor registry: the descending order of its entries, the
// lookup order (key, any sub-key, default item) with keys whose difference
// overflows, and the entries of items that go away.
#include "editors/cxEditRegisteredRepositoryItems.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr TcxEditRegisteredKey kMinKey = std::numeric_limits<TcxEditRegisteredKey>::min();
constexpr TcxEditRegisteredKey kMaxKey = std::numeric_limits<TcxEditRegisteredKey>::max();

class TCountingRegistry : public TcxEditRegisteredRepositoryItems {
  KORVANE_CLASS(TCountingRegistry, TcxEditRegisteredRepositoryItems)
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;
  Integer ChangedCount = 0;

protected:
  void Changed() override { ++ChangedCount; }
};

std::vector<TcxEditRegisteredKey> KeysOf(const TcxEditRegisteredEntries& AEntries) {
  std::vector<TcxEditRegisteredKey> keys;
  for (const TcxEditRegisteredEntry& e : AEntries) keys.push_back(e.Key);
  return keys;
}

class cxEditRegisteredRepositoryItemsTest : public ::testing::Test {
protected:
  TcxEditRepositoryItem* NewItem() { return Repository.CreateItem(TcxEditRepositoryItem::StaticClass()); }
  TcxEditRepository Repository{nullptr};
};

TEST_F(cxEditRegisteredRepositoryItemsTest, EntriesStayInDescendingOrder) {
  struct TCase {
    const char* Name;
    std::vector<TcxEditRegisteredKey> Registered;
    std::vector<TcxEditRegisteredKey> Expected;
  };
  const TCase cases[] = {
      {"small keys", {5, 9, 7}, {9, 7, 5}},
      // A subtraction of these keys overflows and would misplace them.
      {"keys at both ends", {kMinKey, kMaxKey, 1, -1, kMinKey + 1}, {kMaxKey, 1, -1, kMinKey + 1, kMinKey}},
      {"addresses", {cxEditRegisteredKeyOf(&cases), cxEditRegisteredKeyOf(nullptr) + 3, kMaxKey - 1},
       {kMaxKey - 1, cxEditRegisteredKeyOf(&cases), 3}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxEditRegisteredRepositoryItems registry;
    std::vector<TcxEditRepositoryItem*> items;
    for (TcxEditRegisteredKey key : c.Registered) {
      items.push_back(NewItem());
      registry.RegisterItem(key, -1, items.back());
    }
    EXPECT_EQ(KeysOf(registry.Items()), c.Expected);
    for (size_t i = 0; i < c.Registered.size(); ++i) EXPECT_EQ(registry.GetItem(c.Registered[i]), items[i]);
  }
}

TEST_F(cxEditRegisteredRepositoryItemsTest, LookupByKeyThenAnySubKeyThenDefault) {
  TcxEditRegisteredRepositoryItems registry;
  TcxEditRepositoryItem* low = NewItem();
  TcxEditRepositoryItem* high = NewItem();
  TcxEditRepositoryItem* keyed = NewItem();
  TcxEditRepositoryItem* zero = NewItem();
  EXPECT_EQ(registry.GetItem(42), nullptr) << "nothing registered, no default";

  registry.RegisterDefaultItem(-1, low);
  registry.RegisterDefaultItem(7, high);
  registry.RegisterItem(kMinKey, 12, keyed);
  registry.RegisterItem(0, -1, zero);

  struct TCase {
    TcxEditRegisteredKey Key;
    TcxEditRepositoryItem* Expected;
  } const cases[] = {
      {kMinKey, keyed},  // found under its sub-key 12
      {kMaxKey, high},   // unregistered: the default with the highest sub-key
      {42, high},
      {0, high},  // key 0 is always the default, even with an entry for it
  };
  for (const TCase& c : cases) EXPECT_EQ(registry.GetItem(c.Key), c.Expected) << c.Key;

  registry.UnregisterDefaultItem(7);
  EXPECT_EQ(registry.GetDefaultItem(), low);
  registry.UnregisterDefaultItem(-1);
  EXPECT_EQ(registry.GetDefaultItem(), nullptr);
  EXPECT_EQ(registry.Items().size(), 2u) << "unregistering defaults leaves the items list alone";
}

TEST_F(cxEditRegisteredRepositoryItemsTest, DuplicatesKeepTheFirstAndAbsentPairsAreIgnored) {
  TCountingRegistry registry;
  TcxEditRepositoryItem* first = NewItem();
  TcxEditRepositoryItem* second = NewItem();
  EXPECT_EQ(registry.RegisterItem(10, 1, first), 0);
  EXPECT_EQ(registry.RegisterItem(10, 2, first), 0) << "sub-key 2 sorts before 1";
  EXPECT_EQ(registry.RegisterItem(10, 1, second), 1);
  EXPECT_EQ(registry.Items()[1].Item, first);
  EXPECT_EQ(registry.RegisterItem(11, 0, nullptr), -1);
  EXPECT_EQ(registry.ChangedCount, 2);
  EXPECT_FALSE(second->HasListener(&registry));

  registry.UnregisterItem(10, 3);
  registry.UnregisterItem(9, 1);
  EXPECT_EQ(registry.Items().size(), 2u);
  EXPECT_EQ(registry.ChangedCount, 2);

  first->Properties()->SetReadOnly(true);
  EXPECT_EQ(registry.ChangedCount, 3) << "an item's change is a change of the registry";
}

TEST_F(cxEditRegisteredRepositoryItemsTest, RegistryListensExactlyWhileItHoldsAnEntryOfTheItem) {
  TcxEditRegisteredRepositoryItems registry;
  TcxEditRepositoryItem* item = NewItem();
  registry.RegisterItem(3, 0, item);
  registry.RegisterItem(4, 0, item);
  registry.RegisterDefaultItem(0, item);
  ASSERT_TRUE(item->HasListener(&registry));

  // One entry of several goes: the registry must still hear of the item's
  // destruction, or its other entries would point at a dead item.
  registry.UnregisterItem(3, 0);
  EXPECT_TRUE(item->HasListener(&registry));
  item->Free();
  EXPECT_TRUE(registry.Items().empty());
  EXPECT_TRUE(registry.DefaultItems().empty());
  EXPECT_EQ(registry.GetItem(4), nullptr);

  TcxEditRepositoryItem* other = NewItem();
  registry.RegisterItem(5, 0, other);
  registry.UnregisterRepositoryItem(other);
  EXPECT_FALSE(other->HasListener(&registry));
}

TEST_F(cxEditRegisteredRepositoryItemsTest, ItemsAndRegistryDestroyedInEitherOrder) {
  TcxEditRepositoryItem* item = NewItem();
  {
    TcxEditRegisteredRepositoryItems registry;
    registry.RegisterItem(1, 0, item);
    registry.RegisterDefaultItem(0, item);
  }
  EXPECT_EQ(item->ListenerCount(), 0) << "a destroyed registry leaves no listener behind";

  auto repository = std::make_unique<TcxEditRepository>(nullptr);
  TcxEditRegisteredRepositoryItems registry;
  registry.RegisterItem(1, 0, repository->CreateItem(TcxEditRepositoryItem::StaticClass()));
  registry.RegisterDefaultItem(0, repository->CreateItem(TcxEditRepositoryItem::StaticClass()));
  repository.reset();
  EXPECT_TRUE(registry.Items().empty()) << "the repository's items took their entries with them";
  EXPECT_EQ(registry.GetDefaultItem(), nullptr);
}

}  // namespace
