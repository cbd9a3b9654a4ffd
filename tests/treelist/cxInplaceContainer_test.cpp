// Edit container items: value type by name, the property set in use, edit
// values and the incremental-search colours.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editors/cxEditDataRegisteredRepositoryItems.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/variant.h"
#include "treelist/cxTLControl.h"

namespace {

// Shows its values as text.
class TTextProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TTextProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  Integer GetValueKind(bool) const override { return cxEditValueKindText; }
  TcxEditEditorFeatures GetEditorFeatures() const override { return cxEditFeatureIncSearch; }
};

class TOtherProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TOtherProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

class TOtherItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TOtherItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TOtherProperties::StaticClass(); }
};

// A tree list that records the editing control's switches in place of an
// editing controller.
class TTestEditingControl : public TcxCustomTreeListControl {
  KORVANE_CLASS(TTestEditingControl, TcxCustomTreeListControl)

  void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) override {
    if (Edited == AItem) Edited = nullptr;
    TcxCustomTreeListControl::RemoveContainerItem(AItem);
  }
  TcxCustomInplaceEditContainer* EditingItem() const override { return Edited; }
  void SwitchEditedItem(TcxCustomInplaceEditContainer* AItem) override {
    Log.push_back(AItem ? "edit item " + std::to_string(AItem->ItemIndex()) : std::string("end editing"));
    Edited = AItem;
  }
  void EditPropertiesRemoved(TcxCustomEditProperties* AProperties) override {
    Log.push_back(std::string("properties gone: ") + (AProperties ? "yes" : "none"));
  }
  void ItemLayoutChanged() override { ++Layouts; }
  void CancelIncSearch() override { Log.push_back("cancel search"); }
  TcxCustomInplaceEditContainer* IncSearchItem() const override { return SearchItem; }
  void BehaviorChanged() override { Log.push_back("behavior"); }
  void SetWantsTabKey(bool AValue) override { Log.push_back(AValue ? "wants tab" : "no tab"); }

  TcxCustomInplaceEditContainer* SearchItem = nullptr;
  Integer Layouts = 0;

  TcxCustomInplaceEditContainer* Edited = nullptr;
  std::vector<std::string> Log;
};

struct TFixture {
  TTestEditingControl Control;
  TcxControlOptionsView View{nullptr, &Control};
  TcxControlOptionsData Data{nullptr, &Control};
  TcxControlOptionsBehavior Behavior{nullptr, &Control};
  std::unique_ptr<TcxStyle> Style = std::make_unique<TcxStyle>(nullptr);
  std::unique_ptr<TcxCustomInplaceEditContainer> Item = Make();
  std::unique_ptr<TcxCustomInplaceEditContainer> Make() {
    auto Result = std::make_unique<TcxCustomInplaceEditContainer>(nullptr);
    Result->SetEditingControl(&Control);
    return Result;
  }
  ~TFixture() {
    Item.reset();
    Style.reset();
  }
};

TEST(InplaceEditContainer, ValueTypeIsBoundByName) {
  struct TCase {
    const char16_t* Written;
    const char16_t* Read;
    TcxValueTypeClass Class;
    bool Stored;
  };
  const TCase Cases[] = {
      {u"integer", u"Integer", TcxIntegerValueType::StaticClass(), true},
      {u"DATETIME", u"DateTime", TcxDateTimeValueType::StaticClass(), true},
      {u"Variant", u"Variant", TcxVariantValueType::StaticClass(), true},
      {u"String", u"String", TcxStringValueType::StaticClass(), false},
      {u"Text", u"String", TcxStringValueType::StaticClass(), false},  // unknown: unchanged
      {u"", u"String", TcxStringValueType::StaticClass(), false},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(StringToUTF8(Case.Written));
    TFixture F;
    TcxItemDataBinding* Binding = F.Item->DataBinding();
    EXPECT_EQ(Binding->ValueType(), u"String");
    EXPECT_FALSE(Binding->IsValueTypeStored());
    Binding->SetValueType(Case.Written);
    EXPECT_EQ(Binding->ValueType(), Case.Read);
    EXPECT_EQ(Binding->CurrentValueTypeClass(), Case.Class);
    EXPECT_EQ(Binding->IsValueTypeStored(), Case.Stored);
    // The data controller's field follows the binding.
    EXPECT_EQ(F.Control.DataController()->GetItemValueTypeClass(F.Item->ItemIndex()), Case.Class);
  }
  // A class the table has no name for reads as "".
  TFixture F;
  F.Item->DataBinding()->SetValueTypeClass(TcxSmallintValueType::StaticClass());
  EXPECT_EQ(F.Item->DataBinding()->ValueType(), u"");
  // Assignment copies the value type.
  auto Other = F.Make();
  Other->DataBinding()->SetValueType(u"Float");
  F.Item->DataBinding()->Assign(Other->DataBinding());
  EXPECT_EQ(F.Item->DataBinding()->ValueType(), u"Float");
}

TEST(InplaceEditContainer, RepositoryItemThenOwnPropertiesAreUsed) {
  GetEditPropertiesRegistry()->AddClass(TTextProperties::StaticClass(), u"Text|test");
  TFixture F;
  EXPECT_EQ(F.Item->ResolvedProperties(), nullptr);
  F.Item->SetPropertiesClassName(u"TTextProperties");
  ASSERT_NE(F.Item->Properties(), nullptr);
  EXPECT_EQ(F.Item->ResolvedProperties(), F.Item->Properties());
  // The item's binding answers the defaults of its property set.
  EXPECT_EQ(F.Item->Properties()->DefaultValuesProvider(), F.Item->DataBinding()->GetDefaultValuesProvider());

  auto Repository = std::make_unique<TcxEditRepository>(nullptr);
  TcxEditRepositoryItem* RepositoryItem = Repository->CreateItem(TOtherItem::StaticClass());
  F.Item->SetRepositoryItem(RepositoryItem);
  EXPECT_EQ(F.Item->ResolvedProperties(), RepositoryItem->Properties());

  // The repository item goes: its property set is reported gone and the
  // item falls back on its own.
  Repository.reset();
  EXPECT_EQ(F.Item->RepositoryItem(), nullptr);
  EXPECT_EQ(F.Item->ResolvedProperties(), F.Item->Properties());
  EXPECT_EQ(F.Control.Log, (std::vector<std::string>{"properties gone: yes"}));

  // An unknown class name frees the own property set.
  F.Item->SetPropertiesClassName(u"TNoSuchProperties");
  EXPECT_EQ(F.Item->Properties(), nullptr);
  EXPECT_EQ(F.Item->ResolvedProperties(), nullptr);
  GetEditPropertiesRegistry()->RemoveClass(TTextProperties::StaticClass());
}

TEST(InplaceEditContainer, WithoutSettingsTheValueTypesDefaultItemIsUsed) {
  TcxEditDataRegisteredRepositoryItems* Registry = GetEditDataRegisteredRepositoryItems();
  TcxEditRepositoryItem* Fallback = Registry->GetItemByValueType(nullptr);
  auto Repository = std::make_unique<TcxEditRepository>(nullptr);
  TcxEditRepositoryItem* ForIntegers = Repository->CreateItem(TOtherItem::StaticClass());
  Registry->RegisterItemByValueType(TcxIntegerValueType::StaticClass(), -1, ForIntegers);

  TFixture F;
  F.Item->DataBinding()->SetValueType(u"Integer");
  EXPECT_EQ(F.Item->ResolvedProperties(), ForIntegers->Properties());
  // Own settings win over the default item and stop the listening.
  F.Item->SetPropertiesClass(TTextProperties::StaticClass());
  EXPECT_EQ(F.Item->ResolvedProperties(), F.Item->Properties());
  EXPECT_FALSE(ForIntegers->HasListener(F.Item.get()));
  F.Item->SetPropertiesClass(nullptr);
  EXPECT_EQ(F.Item->ResolvedProperties(), ForIntegers->Properties());

  // The default item goes while in use: its property set is reported gone
  // and the item takes what the registry answers without it.
  F.Control.Log.clear();
  Repository.reset();
  EXPECT_EQ(F.Control.Log, (std::vector<std::string>{"properties gone: yes"}));
  EXPECT_EQ(F.Item->ResolvedProperties(), Fallback ? Fallback->Properties() : nullptr);
}

TEST(InplaceEditContainer, CellPropertiesAndValues) {
  TFixture F;
  F.Item->SetPropertiesClass(TTextProperties::StaticClass());
  F.Item->DataBinding()->SetValueType(u"Integer");
  TcxTreeListNode* Node = F.Control.AddNode(nullptr, nullptr, tlamAdd);
  Node->SetValues(0, Variant(Integer(42)));

  // A handler that answers nothing keeps the default; one that answers a
  // set gets it, prepared with the item's defaults.
  TOtherProperties Other(nullptr);
  TcxCustomEditProperties* Answer = nullptr;
  F.Item->OnGetEditProperties = TcxGetEditPropertiesEvent(
      &F, [&](TcxCustomInplaceEditContainer*, Integer, TcxCustomEditProperties*& P) { P = Answer; });
  EXPECT_EQ(F.Item->GetCellProperties(Node->RecordIndex()), F.Item->Properties());
  Answer = &Other;
  EXPECT_EQ(F.Item->GetCellProperties(Node->RecordIndex()), &Other);
  EXPECT_EQ(Other.DefaultValuesProvider(), F.Item->DataBinding()->GetDefaultValuesProvider());

  // Text properties get the display text; others the value itself.
  const Variant Text = F.Item->GetCellValue(F.Item->Properties(), Node->RecordIndex());
  EXPECT_TRUE(VarIsStr(Text));
  EXPECT_EQ(VarToStr(Text), u"42");
  EXPECT_FALSE(VarIsStr(F.Item->GetCellValue(&Other, Node->RecordIndex())));
}

TEST(InplaceEditContainer, EditValueAndEditingOption) {
  TFixture F;
  EXPECT_TRUE(VarIsEmpty(F.Item->ReadEditValue()));  // not edited: unassigned
  F.Item->SetItemFocused(true);
  EXPECT_TRUE(VarIsNull(F.Item->ReadEditValue()));  // edited without records: Null
  EXPECT_FALSE(F.Item->CanEdit());                  // and nothing to edit

  // Turning editing off ends the editor without storing.
  F.Item->Options()->SetEditing(false);
  EXPECT_EQ(F.Control.Log, (std::vector<std::string>{"edit item 0", "end editing"}));
  EXPECT_FALSE(F.Item->IsEditing());
}

TEST(InplaceEditContainer, OptionChangesReachTheControl) {
  struct TCase {
    const char* Name;
    std::function<void(TFixture&)> Change;
    std::vector<std::string> Expected;
    Integer Layouts = 0;
  };
  const TCase Cases[] = {
      {"item: search off while it searches",
       [](TFixture& F) {
         F.Control.SearchItem = F.Item.get();
         F.Item->Options()->SetIncSearch(false);
       },
       {"cancel search"}},
      {"item: search off elsewhere", [](TFixture& F) { F.Item->Options()->SetIncSearch(false); }, {}},
      {"item: edit buttons", [](TFixture& F) { F.Item->Options()->SetShowEditButtons(eisbAlways); }, {}, 1},
      {"item: content style", [](TFixture& F) { F.Item->Styles()->SetContent(F.Style.get()); }, {}, 1},
      {"view: a change lays out once",
       [](TFixture& F) {
         F.View.SetCellAutoHeight(true);
         F.View.SetCellAutoHeight(true);
       },
       {},
       1},
      {"data: editing off ends the editor", [](TFixture& F) { F.Data.SetEditing(false); }, {"end editing"}},
      {"behavior: tab",
       [](TFixture& F) {
         F.Behavior.SetGoToNextCellOnTab(true);
         F.Behavior.SetGoToNextCellOnTab(false);
       },
       {"wants tab", "no tab"}},
      {"behavior: search item", [](TFixture& F) { F.Behavior.SetIncSearchItem(F.Item.get()); }, {"cancel search"}},
      {"behavior: search off",
       [](TFixture& F) {
         F.Behavior.SetIncSearch(true);
         F.Behavior.SetIncSearch(false);
       },
       {"cancel search"}},
      {"behavior: assigned", [](TFixture& F) { F.Behavior.Assign(&F.Behavior); }, {"behavior"}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFixture F;
    F.Control.Log.clear();
    F.Control.Layouts = 0;
    Case.Change(F);
    EXPECT_EQ(F.Control.Log, Case.Expected);
    EXPECT_EQ(F.Control.Layouts, Case.Layouts);
  }
  // Styles are copied with the item.
  TFixture F;
  F.Item->Styles()->SetContent(F.Style.get());
  auto Copy = F.Make();
  Copy->Assign(F.Item.get());
  EXPECT_EQ(Copy->Styles()->Content(), F.Style.get());
}

TEST(InplaceEditContainer, IncrementalSearchColoursComeFromTheResolvedColour) {
  TFixture F;
  F.Item->SetPropertiesClass(TTextProperties::StaticClass());
  std::unique_ptr<TcxCustomEditViewData> ViewData(F.Item->Properties()->CreateViewData(nullptr, true));
  ASSERT_NE(ViewData, nullptr);
  struct TCase {
    TColor Text, Background;
  };
  for (const TCase& Case :
       {TCase{clWindowText, clWindow}, TCase{clHighlightText, clHighlight}, TCase{0x00123456, 0x00FFFFFF}}) {
    F.Item->ApplyIncSearchColors(ViewData.get(), Case.Text, Case.Background);
    EXPECT_EQ(ViewData->SelTextColor, TColor(ColorToRGB(Case.Text) ^ 0xFFFFFF));
    EXPECT_EQ(ViewData->SelBackgroundColor, TColor(ColorToRGB(Case.Background) ^ 0xFFFFFF));
    // Always a plain RGB value, never a system-colour code.
    EXPECT_EQ(ViewData->SelTextColor & ~TColor(0xFFFFFF), 0);
  }
}

}  // namespace
