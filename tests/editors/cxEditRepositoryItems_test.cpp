// The repository item of every editor kind, the start-up of the editors
// library, and the default editor of every value type and field type.
#include "editors/cxEditRepositoryItems.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editors/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditDataRegisteredRepositoryItems.h"
#include "editors/cxEditorsStartup.h"
#include "platform/rtl/encoding.h"

namespace {

class cxEditRepositoryItemsTest : public ::testing::Test {
protected:
  void SetUp() override { cxEditorsInitialize(); }
  void TearDown() override { cxEditorsFinalize(); }
  TComponent Owner{nullptr};
};

// The name of the editor kind an item's property set is registered under.
std::string KindName(TcxEditRepositoryItem* AItem) {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(AItem->Properties()->ClassType());
  if (index < 0) return "(none)";
  const String& text = registry->Descriptions(index);
  return StringToUTF8(text.substr(0, text.find(u'|')));
}

std::string ClassNameOf(const TObject* AObject) {
  return AObject ? StringToUTF8(AObject->ClassName()) : std::string("(nothing)");
}

TEST_F(cxEditRepositoryItemsTest, EveryItemClassHoldsThePropertySetOfItsKind) {
  struct TCase {
    const char* Item;
    const char* Properties;
    const char* Kind;
  } const cases[] = {
      {"TcxEditRepositoryTextItem", "TcxTextEditProperties", "TextEdit"},
      {"TcxEditRepositoryButtonItem", "TcxButtonEditProperties", "ButtonEdit"},
      {"TcxEditRepositoryImageItem", "TcxImageProperties", "Image"},
      {"TcxEditRepositoryComboBoxItem", "TcxComboBoxProperties", "ComboBox"},
      {"TcxEditRepositoryMaskItem", "TcxMaskEditProperties", "MaskEdit"},
      {"TcxEditRepositoryPopupItem", "TcxPopupEditProperties", "PopupEdit"},
      {"TcxEditRepositoryCalcItem", "TcxCalcEditProperties", "CalcEdit"},
      {"TcxEditRepositoryDateItem", "TcxDateEditProperties", "DateEdit"},
      {"TcxEditRepositoryCurrencyItem", "TcxCurrencyEditProperties", "CurrencyEdit"},
      {"TcxEditRepositorySpinItem", "TcxSpinEditProperties", "SpinEdit"},
      {"TcxEditRepositoryMemoItem", "TcxMemoProperties", "Memo"},
      {"TcxEditRepositoryImageComboBoxItem", "TcxImageComboBoxProperties", "ImageComboBox"},
      {"TcxEditRepositoryBlobItem", "TcxBlobEditProperties", "BlobEdit"},
      {"TcxEditRepositoryCheckBoxItem", "TcxCheckBoxProperties", "CheckBox"},
      {"TcxEditRepositoryTimeItem", "TcxTimeEditProperties", "TimeEdit"},
      {"TcxEditRepositoryMRUItem", "TcxMRUEditProperties", "MRUEdit"},
      {"TcxEditRepositoryHyperLinkItem", "TcxHyperLinkEditProperties", "HyperLink"},
      {"TcxEditRepositoryRadioGroupItem", "TcxRadioGroupProperties", "RadioGroup"},
      {"TcxEditRepositoryLookupComboBoxItem", "TcxLookupComboBoxProperties", "LookupComboBox"},
  };
  // Every class is registered by name, in the table's order after the base.
  const std::vector<TComponentClass>& classes = cxEditRepositoryItemClasses();
  ASSERT_EQ(classes.size(), std::size(cases) + 1);
  EXPECT_EQ(classes[0], TcxEditRepositoryItem::StaticClass());
  TcxEditRepository repository(nullptr);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TCase& c = cases[i];
    SCOPED_TRACE(c.Item);
    TClass found = GetClass(UTF8ToString(c.Item));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, classes[i + 1]);
    EXPECT_EQ(found->ClassParent(), TcxEditRepositoryItem::StaticClass());
    TcxEditRepositoryItem* item = repository.CreateItem(static_cast<TComponentClass>(found));
    EXPECT_EQ(ClassNameOf(item->Properties()), c.Properties);
    EXPECT_EQ(KindName(item), c.Kind);
  }
}

TEST_F(cxEditRepositoryItemsTest, SettingPropertiesCopiesIntoTheOwnedSet) {
  TcxEditRepository repository(nullptr);
  auto* item = static_cast<TcxEditRepositoryMemoItem*>(
      repository.CreateItem(TcxEditRepositoryMemoItem::StaticClass()));
  TcxMemoProperties* owned = item->Properties();
  TcxMemoProperties source(nullptr);
  source.SetWantTabs(true);
  source.SetMaxLength(12);
  item->SetProperties(&source);
  EXPECT_EQ(item->Properties(), owned) << "the owned object is never replaced";
  EXPECT_TRUE(owned->WantTabs());
  EXPECT_EQ(owned->MaxLength(), 12);
}

TEST_F(cxEditRepositoryItemsTest, DefaultEditorPerValueType) {
  TcxEditDataRegisteredRepositoryItems* registry = GetEditDataRegisteredRepositoryItems();
  struct TCase {
    TcxValueTypeClass ValueType;
    const char* Item;
  } const cases[] = {
      {nullptr, "TcxEditRepositoryTextItem"},
      {TcxStringValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxWideStringValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxSmallintValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxIntegerValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxWordValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxFloatValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxLargeIntValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxVariantValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxObjectValueType::StaticClass(), "TcxEditRepositoryTextItem"},
      {TcxBooleanValueType::StaticClass(), "TcxEditRepositoryCheckBoxItem"},
      {TcxCurrencyValueType::StaticClass(), "TcxEditRepositoryCurrencyItem"},
      {TcxFMTBcdValueType::StaticClass(), "TcxEditRepositoryCurrencyItem"},
      {TcxDateTimeValueType::StaticClass(), "TcxEditRepositoryDateItem"},
      {TcxSQLTimeStampValueType::StaticClass(), "TcxEditRepositoryDateItem"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(ClassNameOf(c.ValueType));
    EXPECT_EQ(ClassNameOf(registry->GetItemByValueType(c.ValueType)), c.Item);
  }
  // Two currency types, two separate items; two date types likewise.
  EXPECT_NE(registry->GetItemByValueType(TcxCurrencyValueType::StaticClass()),
            registry->GetItemByValueType(TcxFMTBcdValueType::StaticClass()));
  EXPECT_NE(registry->GetItemByValueType(TcxDateTimeValueType::StaticClass()),
            registry->GetItemByValueType(TcxSQLTimeStampValueType::StaticClass()));
}

TEST_F(cxEditRepositoryItemsTest, DefaultEditorPerFieldType) {
  TcxEditDBRegisteredRepositoryItems* registry = GetEditDBRegisteredRepositoryItems();
  // Every ordinal from ftUnknown to ftFMTBcd; the listed ones have an item
  // of their own, every other type gets the mask item.
  const std::map<TFieldType, const char*> own = {
      {ftBoolean, "TcxEditRepositoryCheckBoxItem"}, {ftTime, "TcxEditRepositoryTimeItem"},
      {ftDate, "TcxEditRepositoryDateItem"},         {ftDateTime, "TcxEditRepositoryDateItem"},
      {ftTimeStamp, "TcxEditRepositoryDateItem"},
      {ftBytes, "TcxEditRepositoryBlobItem"},       {ftVarBytes, "TcxEditRepositoryBlobItem"},
      {ftBlob, "TcxEditRepositoryBlobItem"},        {ftMemo, "TcxEditRepositoryMemoItem"},
      {ftGraphic, "TcxEditRepositoryImageItem"},    {ftFmtMemo, "TcxEditRepositoryBlobItem"},
      {ftParadoxOle, "TcxEditRepositoryBlobItem"},  {ftDBaseOle, "TcxEditRepositoryBlobItem"},
      {ftTypedBinary, "TcxEditRepositoryBlobItem"},
  };
  std::set<TcxEditRepositoryItem*> blobs, dates;
  for (Integer ordinal = ftUnknown; ordinal <= ftFMTBcd; ++ordinal) {
    const auto type = static_cast<TFieldType>(ordinal);
    SCOPED_TRACE(ordinal);
    auto it = own.find(type);
    TcxEditRepositoryItem* item = registry->GetItemByFieldType(type);
    EXPECT_EQ(ClassNameOf(item), it == own.end() ? std::string("TcxEditRepositoryMaskItem") : it->second);
    if (ClassNameOf(item) == "TcxEditRepositoryBlobItem") blobs.insert(item);
    if (ClassNameOf(item) == "TcxEditRepositoryDateItem") dates.insert(item);
  }
  EXPECT_EQ(blobs.size(), 7u) << "one item per field type, never shared";
  EXPECT_EQ(dates.size(), 3u);

  // Fields: a lookup or currency field first, then its type.
  auto* text = new TStringField(&Owner);
  auto* bcd = new TBCDField(&Owner);
  auto* money = new TFloatField(&Owner);
  money->SetCurrency(true);
  auto* plain = new TFloatField(&Owner);
  EXPECT_EQ(ClassNameOf(registry->GetItemByField(text)), "TcxEditRepositoryMaskItem");
  EXPECT_EQ(ClassNameOf(registry->GetItemByField(money)), "TcxEditRepositoryCurrencyItem");
  EXPECT_EQ(ClassNameOf(registry->GetItemByField(plain)), "TcxEditRepositoryMaskItem");
  bcd->SetCurrency(true);
  EXPECT_EQ(ClassNameOf(registry->GetItemByField(bcd)), "TcxEditRepositoryCurrencyItem");
  bcd->SetCurrency(false);
  EXPECT_EQ(ClassNameOf(registry->GetItemByField(bcd)), "TcxEditRepositoryMaskItem");
  EXPECT_EQ(ClassNameOf(registry->GetItemByField(nullptr)), "TcxEditRepositoryMaskItem");
  // A lookup field: a fixed list without grid lines or header.
  auto* lookup = new TIntegerField(&Owner);
  lookup->SetFieldKind(fkLookup);
  TcxEditRepositoryItem* lookupItem = registry->GetItemByField(lookup);
  ASSERT_EQ(ClassNameOf(lookupItem), "TcxEditRepositoryLookupComboBoxItem");
  auto* lookupProperties = static_cast<TcxLookupComboBoxProperties*>(lookupItem->Properties());
  EXPECT_EQ(lookupProperties->ListOptions()->GridLines(), glNone);
  EXPECT_FALSE(lookupProperties->ListOptions()->ShowHeader());
  EXPECT_EQ(lookupProperties->DropDownListStyle(), lsEditFixedList);
}

TEST_F(cxEditRepositoryItemsTest, StartUpRunsOnceAndFinalisingEmptiesTheRegistries) {
  TcxEditRepository* repository = GetDefaultEditRepository();
  const Integer items = repository->Count();
  cxEditorsInitialize();  // a second start-up adds nothing
  EXPECT_EQ(repository->Count(), items);
  EXPECT_GT(GetEditPropertiesRegistry()->Count(), 10);

  UnregisterDBRepositoryItems();
  UnregisterDataRepositoryItems();
  // The registries are empty again; the items stay with the repository.
  EXPECT_EQ(GetEditDBRegisteredRepositoryItems()->GetItemByFieldType(ftMemo), nullptr);
  EXPECT_EQ(GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr), nullptr);
  EXPECT_EQ(repository->Count(), items);
  // Registering again fills them with new items.
  RegisterDataRepositoryItems();
  EXPECT_EQ(ClassNameOf(GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr)),
            "TcxEditRepositoryTextItem");

  // A default item freed by its repository leaves the registry.
  delete GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr);
  EXPECT_EQ(GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr), nullptr);

  cxEditorsFinalize();
  EXPECT_EQ(GetClass(u"TcxEditRepositoryMemoItem"), nullptr);
  cxEditorsInitialize();  // for TearDown
}

// The program finalises the library at its end whatever happened before:
// twice, or without having started it, does no harm, and a start after it
// registers everything again.
TEST(cxEditorsStartup, FinalisingTwiceOrBeforeStartingIsSafeAndAStartAfterItWorks) {
  cxEditorsFinalize();  // a test runs in a process of its own: nothing was started
  cxEditorsFinalize();
  cxEditorsInitialize();
  EXPECT_EQ(ClassNameOf(GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr)),
            "TcxEditRepositoryTextItem");
  EXPECT_EQ(ClassNameOf(GetEditDBRegisteredRepositoryItems()->GetItemByFieldType(ftMemo)), "TcxEditRepositoryMemoItem");
  EXPECT_NE(GetClass(u"TcxEditRepositoryMemoItem"), nullptr);
  cxEditorsFinalize();
  cxEditorsFinalize();
  EXPECT_EQ(GetClass(u"TcxEditRepositoryMemoItem"), nullptr);
  EXPECT_EQ(GetEditDataRegisteredRepositoryItems()->GetItemByValueType(nullptr), nullptr);
}

}  // namespace
