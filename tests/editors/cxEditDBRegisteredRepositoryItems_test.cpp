// The two default editor registries: by value type and by dataset field
// (field type, currency and lookup fields), and items that leave them.
#include "editors/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditDataRegisteredRepositoryItems.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class cxEditDefaultRegistriesTest : public ::testing::Test {
protected:
  void TearDown() override {
    cxEditDBRegisteredRepositoryItemsFinalize();
    cxEditDataRegisteredRepositoryItemsFinalize();
  }
  TcxEditRepositoryItem* NewItem() { return Repository->CreateItem(TcxEditRepositoryItem::StaticClass()); }
  std::unique_ptr<TcxEditRepository> Repository = std::make_unique<TcxEditRepository>(nullptr);
  TComponent Owner{nullptr};
};

TEST_F(cxEditDefaultRegistriesTest, NothingRegisteredAnswersNothing) {
  TcxEditDBRegisteredRepositoryItems* db = GetEditDBRegisteredRepositoryItems();
  TcxEditDataRegisteredRepositoryItems* data = GetEditDataRegisteredRepositoryItems();
  EXPECT_EQ(GetEditDBRegisteredRepositoryItems(), db) << "one global instance";
  auto* field = new TIntegerField(&Owner);
  EXPECT_EQ(db->GetItemByField(field), nullptr);
  EXPECT_EQ(db->GetItemByField(nullptr), nullptr);
  EXPECT_EQ(db->GetCurrencyItem(), nullptr);
  EXPECT_EQ(data->GetItemByValueType(TcxStringValueType::StaticClass()), nullptr);
}

TEST_F(cxEditDefaultRegistriesTest, FieldLookupOrder) {
  TcxEditDBRegisteredRepositoryItems* db = GetEditDBRegisteredRepositoryItems();
  TcxEditRepositoryItem* mask = NewItem();
  TcxEditRepositoryItem* integer = NewItem();
  TcxEditRepositoryItem* currency = NewItem();
  TcxEditRepositoryItem* lookup = NewItem();
  db->RegisterDefaultItem(-1, mask);
  db->RegisterItemByFieldType(ftInteger, -1, integer);
  db->RegisterItemByFieldType(ftFloat, -1, integer);
  db->RegisterCurrencyItem(-1, currency);
  db->RegisterLookupItem(-1, lookup);
  db->RegisterLookupItem(-1, mask);  // the first registration stays

  auto* plainFloat = new TFloatField(&Owner);
  auto* money = new TCurrencyField(&Owner);
  auto* lookupInteger = new TIntegerField(&Owner);
  lookupInteger->SetFieldKind(fkLookup);
  auto* text = new TStringField(&Owner);
  struct TCase {
    const char* Name;
    TField* Field;
    TcxEditRepositoryItem* Expected;
  } const cases[] = {
      {"no field", nullptr, mask},
      {"lookup before its type", lookupInteger, lookup},
      {"currency before its type", money, currency},
      {"numeric without currency", plainFloat, integer},
      {"unregistered type", text, mask},
  };
  for (const TCase& c : cases) EXPECT_EQ(db->GetItemByField(c.Field), c.Expected) << c.Name;
  EXPECT_EQ(db->GetItemByFieldType(ftUnknown), mask);
  EXPECT_TRUE(TcxEditDBRegisteredRepositoryItems::IsCurrencyField(money));
  EXPECT_FALSE(TcxEditDBRegisteredRepositoryItems::IsCurrencyField(text));

  db->UnregisterItemByFieldType(ftInteger, -1);
  EXPECT_EQ(db->GetItemByFieldType(ftInteger), mask);
  EXPECT_EQ(db->GetItemByFieldType(ftFloat), integer);
}

TEST_F(cxEditDefaultRegistriesTest, ValueTypeMapping) {
  TcxEditDataRegisteredRepositoryItems* data = GetEditDataRegisteredRepositoryItems();
  TcxEditRepositoryItem* text = NewItem();
  TcxEditRepositoryItem* number = NewItem();
  TcxEditRepositoryItem* date = NewItem();
  TcxEditRepositoryItem* money = NewItem();
  TcxEditRepositoryItem* fallback = NewItem();
  data->RegisterDefaultItem(-1, fallback);
  data->RegisterItemByValueType(TcxStringValueType::StaticClass(), -1, text);
  data->RegisterItemByValueType(TcxIntegerValueType::StaticClass(), -1, number);
  data->RegisterItemByValueType(TcxFloatValueType::StaticClass(), -1, number);
  data->RegisterItemByValueType(TcxDateTimeValueType::StaticClass(), -1, date);
  data->RegisterItemByValueType(TcxCurrencyValueType::StaticClass(), -1, money);
  data->RegisterItemByValueType(TcxCurrencyValueType::StaticClass(), -1, text);  // the first one stays
  struct TCase {
    const char* Name;
    TcxValueTypeClass Type;
    TcxEditRepositoryItem* Expected;
  } const cases[] = {
      {"string", TcxStringValueType::StaticClass(), text},
      {"integer", TcxIntegerValueType::StaticClass(), number},
      {"float", TcxFloatValueType::StaticClass(), number},
      {"date-time", TcxDateTimeValueType::StaticClass(), date},
      {"currency", TcxCurrencyValueType::StaticClass(), money},
      {"an unregistered type", TcxBooleanValueType::StaticClass(), fallback},
      {"a derived type is its own key", TcxObjectValueType::StaticClass(), fallback},
      {"no type", nullptr, fallback},
  };
  for (const TCase& c : cases) EXPECT_EQ(data->GetItemByValueType(c.Type), c.Expected) << c.Name;
  data->UnregisterItemByValueType(TcxFloatValueType::StaticClass(), -1);
  EXPECT_EQ(data->GetItemByValueType(TcxFloatValueType::StaticClass()), fallback);
  EXPECT_EQ(data->GetItemByValueType(TcxIntegerValueType::StaticClass()), number);
}

TEST_F(cxEditDefaultRegistriesTest, DestroyedItemsLeaveEveryListOfBothRegistries) {
  TcxEditDBRegisteredRepositoryItems* db = GetEditDBRegisteredRepositoryItems();
  TcxEditDataRegisteredRepositoryItems* data = GetEditDataRegisteredRepositoryItems();
  TcxEditRepositoryItem* shared = NewItem();
  TcxEditRepositoryItem* fallback = NewItem();
  db->RegisterDefaultItem(-1, fallback);
  db->RegisterItemByFieldType(ftString, -1, shared);
  db->RegisterCurrencyItem(-1, shared);
  db->RegisterLookupItem(-1, shared);
  data->RegisterDefaultItem(-1, fallback);
  data->RegisterItemByValueType(TcxStringValueType::StaticClass(), -1, shared);

  // Dropping some entries of an item must not stop the registry hearing of
  // its destruction while other entries remain.
  db->UnregisterItemByFieldType(ftString, -1);
  ASSERT_TRUE(shared->HasListener(db));
  shared->Free();
  EXPECT_EQ(db->GetCurrencyItem(), fallback);
  EXPECT_EQ(db->GetLookupItem(), fallback);
  EXPECT_TRUE(db->CurrencyItems().empty());
  EXPECT_EQ(data->GetItemByValueType(TcxStringValueType::StaticClass()), fallback);

  // The default item itself goes: nothing, never a freed item.
  fallback->Free();
  EXPECT_EQ(db->GetItemByFieldType(ftString), nullptr);
  EXPECT_EQ(data->GetItemByValueType(nullptr), nullptr);
}

TEST_F(cxEditDefaultRegistriesTest, RegistriesStopListeningToWhatTheyNoLongerHold) {
  TcxEditDBRegisteredRepositoryItems* db = GetEditDBRegisteredRepositoryItems();
  TcxEditRepositoryItem* item = NewItem();
  db->RegisterCurrencyItem(-1, item);
  db->RegisterLookupItem(-1, item);
  db->UnregisterRepositoryItem(item);
  EXPECT_FALSE(item->HasListener(db));

  db->RegisterLookupItem(-1, item);
  TcxEditDataRegisteredRepositoryItems* data = GetEditDataRegisteredRepositoryItems();
  data->RegisterItemByValueType(TcxStringValueType::StaticClass(), -1, item);
  data->UnregisterItemByValueType(TcxStringValueType::StaticClass(), -1);
  EXPECT_FALSE(item->HasListener(data));

  // Registries freed before their items leave no listener behind.
  cxEditDBRegisteredRepositoryItemsFinalize();
  cxEditDataRegisteredRepositoryItemsFinalize();
  EXPECT_EQ(item->ListenerCount(), 0);
  Repository.reset();
}

}  // namespace
