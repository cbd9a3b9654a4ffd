// Editor property sets: the registry of editor kinds, assigned values and
// their fallback to the default values provider, change notices and update
// brackets, the alignment hand-out, Assign, buttons and display value
// validation.
#include "editors/cxEditProperties.h"
#include "editors/cxEditViewInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "editors/cxEdit.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

// A kind of its own, as an editor unit declares one.
class TTestEditProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TTestEditProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool CanValidateDisplayValue() const override { return Validates; }
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return Options; }
  bool DefaultUseLeftAlignmentOnEditing() const override { return false; }
  // Upper-cases text values.
  void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool) const override {
    ANormalized = VarIsStr(AValue) ? Variant(UpperCaseText(VarToStr(AValue))) : AValue;
  }
  static String UpperCaseText(String S) {
    for (Char& c : S)
      if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - u'a' + u'A');
    return S;
  }
  bool Validates = true;
  TcxEditDisplayFormatOptions Options = 0;
};

class TOtherEditProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TOtherEditProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

// A provider whose answers the test sets.
class TTestProvider : public TcxCustomEditDefaultValuesProvider {
  KORVANE_CLASS(TTestProvider, TcxCustomEditDefaultValuesProvider)
  TTestProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  TAlignment ProvideAlignment() override { return Alignment; }
  bool ProvideReadOnly() override { return ReadOnly; }
  bool ProvideCanModify() override { return CanModify; }
  bool HasDisplayFormat(bool ACurrencyFormat) override {
    LastCurrencyFormat = ACurrencyFormat;
    return true;
  }
  TAlignment Alignment = taRightJustify;
  bool ReadOnly = false;
  bool CanModify = true;
  bool LastCurrencyFormat = false;
};

// Counts the change callbacks of a property set.
struct TChangeCounter {
  Integer Count = 0;
  TObject* LastSender = nullptr;
  void Changed(TObject* Sender) {
    ++Count;
    LastSender = Sender;
  }
  void Attach(TcxCustomEditProperties& P) { P.OnPropertiesChanged = TNotifyEvent(this, &TChangeCounter::Changed); }
};

// An editor as validation sees it.
class TTestEdit : public TComponent, public IcxCustomEdit {
  KORVANE_CLASS(TTestEdit, TComponent)
  TTestEdit() : TComponent(nullptr) {}
  bool HasValidateHandler() override { return static_cast<bool>(Handler); }
  void RunValidateHandlers(Variant& V, TCaption& T, bool& E) override { Handler(V, T, E); }
  String GetCurrentDisplayText() override { return u"shown"; }
  std::function<void(Variant&, TCaption&, bool&)> Handler;
};

// A component whose writing state the test sets.
class TWritingComponent : public TComponent {
  KORVANE_CLASS(TWritingComponent, TComponent)
  TWritingComponent() : TComponent(nullptr) {}
  void SetWriting(bool Value) {
    if (Value)
      IncludeState(csWriting);
    else
      ExcludeState(csWriting);
  }
};

class cxEditPropertiesTest : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiRuntime(); }
};

// ---- Registry ----------------------------------------------------------------------------

TEST_F(cxEditPropertiesTest, RegistryListsEditorKindsWithNameAndDescription) {
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(GetEditPropertiesRegistry(), registry);
  Integer before = registry->Count();

  registry->AddClass(TTestEditProperties::StaticClass(), LoadResourceText(cxSEditTextEditKind));
  registry->AddClass(TOtherEditProperties::StaticClass(), LoadResourceText(cxSEditMaskEditKind));
  registry->AddClass(TTestEditProperties::StaticClass(), u"ignored|second registration");
  ASSERT_EQ(registry->Count(), before + 2);

  Integer index = registry->IndexOfClass(TTestEditProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->Descriptions(index), u"TextEdit|Represents a single line text editor");
  EXPECT_EQ(registry->FindByClassName(u"TOtherEditProperties"), TOtherEditProperties::StaticClass());
  EXPECT_EQ(registry->FindByClassName(u"totherEditProperties"), nullptr);

  // A registered class builds a property set of its kind through its class reference.
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->ClassAt(index));
  std::unique_ptr<TcxCustomEditProperties> made(cls->Create(nullptr));
  EXPECT_EQ(made->ClassType(), TTestEditProperties::StaticClass());
  EXPECT_EQ(made->EditorClass(), TcxCustomEdit::StaticClass());  // the base kind's editor

  registry->RemoveClass(TTestEditProperties::StaticClass());
  registry->RemoveClass(TOtherEditProperties::StaticClass());
  EXPECT_EQ(registry->Count(), before);
  EXPECT_EQ(registry->FindByClassName(u"TOtherEditProperties"), nullptr);

  // Finalisation frees the registry; the next use starts an empty one.
  cxEditPropertiesFinalize();
  EXPECT_EQ(GetEditPropertiesRegistry()->Count(), 0);
}

TEST_F(cxEditPropertiesTest, KindTextsAreNameBarDescription) {
  const TResourceString* texts[] = {
      &cxSEditBlobEditKind,  &cxSEditButtonEditKind,    &cxSEditCalcEditKind,      &cxSEditCheckBoxKind,
      &cxSEditComboBoxKind,  &cxSEditCurrencyEditKind,  &cxSEditDateEditKind,      &cxSEditHyperLinkKind,
      &cxSEditImageComboBoxKind, &cxSEditImageKind,     &cxSEditLookupComboBoxKind, &cxSEditMaskEditKind,
      &cxSEditMemoKind,      &cxSEditMRUEditKind,       &cxSEditPopupEditKind,     &cxSEditRadioGroupKind,
      &cxSEditSpinEditKind,  &cxSEditTextEditKind,      &cxSEditTimeEditKind};
  std::vector<Integer> ids;
  for (const TResourceString* t : texts) {
    String text = LoadResourceText(*t);
    size_t bar = text.find(u'|');
    ASSERT_NE(bar, String::npos);
    EXPECT_GT(bar, 0u);
    EXPECT_LT(bar + 1, text.size());
    EXPECT_EQ(text.find(u'|', bar + 1), String::npos);
    ids.push_back(t->Identifier);
  }
  ids.push_back(cxSEditValidateErrorText.Identifier);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "message text numbers are unique";
  EXPECT_EQ(cxSEditMaskEditKind.Identifier, 65043);
}

// ---- Defaults and change notices ---------------------------------------------------------

TEST_F(cxEditPropertiesTest, DefaultsOfABasePropertySet) {
  TcxCustomEditProperties p(nullptr);
  EXPECT_TRUE(p.AutoSelect());
  EXPECT_FALSE(p.BeepOnError());
  EXPECT_EQ(p.Buttons()->Count(), 0);
  EXPECT_EQ(p.ButtonsViewStyle(), cxbvsNormal);
  EXPECT_EQ(p.ClickKey(), 16397);
  EXPECT_EQ(p.ClearKey(), 0);
  EXPECT_FALSE(p.ImmediatePost());
  EXPECT_FALSE(p.ReadOnly());
  EXPECT_FALSE(p.IsReadOnlyStored());
  EXPECT_TRUE(p.IsEditable());
  EXPECT_TRUE(p.UseLeftAlignmentOnEditing());
  EXPECT_FALSE(p.IsUseLeftAlignmentOnEditingStored());
  EXPECT_TRUE(p.MouseActivation());
  EXPECT_FALSE(p.ValidateOnEnter());
  EXPECT_EQ(p.GetAlignment()->Horz(), taLeftJustify);
  EXPECT_EQ(p.GetAlignment()->Vert(), taTopJustify);
  EXPECT_FALSE(p.IsAlignmentStored());
  EXPECT_EQ(p.GetEditorFeatures(), 0);
  EXPECT_EQ(p.GetValueKind(false), cxEditValueKindValue);
  EXPECT_EQ(p.GetStyleClass(), TcxEditStyle::StaticClass());
  EXPECT_EQ(p.GetStyleExClass(), TcxEditStyleEx::StaticClass());
  std::unique_ptr<TcxCustomEditViewData> viewData(p.CreateViewData(nullptr, false));
  ASSERT_NE(viewData, nullptr);
  EXPECT_EQ(viewData->ClassType(), TcxCustomEditViewData::StaticClass());
  EXPECT_EQ(p.GetViewInfoClass(), TcxCustomEditViewInfo::StaticClass());
  EXPECT_EQ(p.DefaultValidationErrorText(), u"Invalid input value. Use escape key to abandon changes");
  EXPECT_EQ(p.GetAssignedValuesClass(), TcxCustomEditPropertiesValues::StaticClass());

  // A descendant's own default of UseLeftAlignmentOnEditing is in force from
  // the start and is not stored.
  TTestEditProperties t(nullptr);
  EXPECT_FALSE(t.UseLeftAlignmentOnEditing());
  EXPECT_FALSE(t.IsUseLeftAlignmentOnEditingStored());
  t.SetUseLeftAlignmentOnEditing(true);
  EXPECT_TRUE(t.IsUseLeftAlignmentOnEditingStored());
}

TEST_F(cxEditPropertiesTest, EverySetterNotifiesOnlyOnAChange) {
  TcxCustomEditProperties p(nullptr);
  TChangeCounter counter;
  counter.Attach(p);
  struct TCase {
    const char* Name;
    std::function<void()> Change;
  };
  const TCase cases[] = {
      {"AutoSelect", [&] { p.SetAutoSelect(!p.AutoSelect()); }},
      {"BeepOnError", [&] { p.SetBeepOnError(!p.BeepOnError()); }},
      {"ButtonsViewStyle", [&] { p.SetButtonsViewStyle(p.ButtonsViewStyle() == 0 ? 2 : 0); }},
      {"ClickKey", [&] { p.SetClickKey(p.ClickKey() + 1); }},
      {"ClearKey", [&] { p.SetClearKey(p.ClearKey() + 1); }},
      {"ImmediatePost", [&] { p.SetImmediatePost(!p.ImmediatePost()); }},
      {"ReadOnly", [&] { p.SetReadOnly(!p.ReadOnly()); }},
      {"UseLeftAlignmentOnEditing", [&] { p.SetUseLeftAlignmentOnEditing(!p.UseLeftAlignmentOnEditing()); }},
      {"MouseActivation", [&] { p.SetMouseActivation(!p.MouseActivation()); }},
      {"ValidateOnEnter", [&] { p.SetValidateOnEnter(!p.ValidateOnEnter()); }},
      {"Alignment.Horz", [&] { p.GetAlignment()->SetHorz(taCenter); }},
      {"Alignment.Vert", [&] { p.GetAlignment()->SetVert(taVCenter); }},
      {"Buttons", [&] { p.Buttons()->Add(); }},
      {"AssignedValues.ReadOnly", [&] { p.AssignedValues()->SetReadOnly(!p.AssignedValues()->ReadOnly()); }},
  };
  for (const TCase& c : cases) {
    counter.Count = 0;
    c.Change();
    EXPECT_EQ(counter.Count, 1) << c.Name;
    EXPECT_EQ(counter.LastSender, &p) << c.Name;
  }
  // The same values again change nothing.
  counter.Count = 0;
  p.SetAutoSelect(p.AutoSelect());
  p.SetClickKey(p.ClickKey());
  p.GetAlignment()->SetHorz(taCenter);
  p.GetAlignment()->SetVert(taVCenter);
  p.SetUseLeftAlignmentOnEditing(p.UseLeftAlignmentOnEditing());
  EXPECT_EQ(counter.Count, 0);
  // An unassigned ReadOnly set to the value it reads becomes assigned: one notice.
  ASSERT_FALSE(p.IsReadOnlyStored());
  p.SetReadOnly(p.ReadOnly());
  EXPECT_EQ(counter.Count, 1);
  EXPECT_TRUE(p.IsReadOnlyStored());
  p.SetReadOnly(p.ReadOnly());
  EXPECT_EQ(counter.Count, 1);
}

TEST_F(cxEditPropertiesTest, BracketsMergeNoticesAndLocksSilenceThem) {
  TcxCustomEditProperties p(nullptr);
  TChangeCounter counter;
  counter.Attach(p);

  // Three changes in nested brackets: one notice at the outermost close.
  p.BeginUpdate();
  p.SetAutoSelect(false);
  p.BeginUpdate();
  p.SetReadOnly(true);
  p.EndUpdate();
  EXPECT_EQ(counter.Count, 0);
  p.SetClearKey(46);
  EXPECT_TRUE(p.IsChangeLocked());
  p.EndUpdate(true);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_FALSE(p.IsChangeLocked());

  // EndUpdate(false) drops the notice.
  p.BeginUpdate();
  p.SetAutoSelect(true);
  p.EndUpdate(false);
  EXPECT_EQ(counter.Count, 1);

  // A close without an open does nothing, and the counter stays at zero.
  p.EndUpdate(true);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(p.UpdateCount(), 0);

  // The flags object opens and closes the same bracket.
  p.AssignedValues()->BeginUpdate();
  EXPECT_EQ(p.UpdateCount(), 1);
  p.AssignedValues()->EndUpdate();
  EXPECT_EQ(counter.Count, 2);

  // The change lock silences without touching the counter.
  p.SetChangeLock(true);
  EXPECT_TRUE(p.IsChangeLocked());
  p.SetBeepOnError(true);
  p.SetChangeLock(false);
  EXPECT_EQ(counter.Count, 2);
  EXPECT_EQ(p.UpdateCount(), 0);
}

TEST_F(cxEditPropertiesTest, NoNoticeWhileTheOwnerComponentIsBeingDestroyed) {
  TComponent owner(nullptr);
  TcxCustomEditProperties p(&owner);
  TChangeCounter counter;
  counter.Attach(p);
  p.SetAutoSelect(false);
  EXPECT_EQ(counter.Count, 1);
  owner.Destroying();
  p.SetAutoSelect(true);
  p.NotifyChanged();
  EXPECT_EQ(counter.Count, 1);
}

// ---- Read-only and the default values provider -------------------------------------------

TEST_F(cxEditPropertiesTest, ReadOnlyFallsBackToTheProviderUntilAssigned) {
  TTestProvider provider;
  TcxCustomEditProperties p(nullptr);
  p.SetDefaultValuesProvider(&provider);

  struct TCase {
    bool ProviderReadOnly, ProviderCanModify;
    int Own;  // -1 unassigned, else the assigned value
    bool ReadOnly, Editable;
  };
  const TCase cases[] = {
      {false, true, -1, false, true},  {true, true, -1, true, false},  {false, false, -1, false, false},
      {true, true, 0, false, true},    {true, false, 0, false, true},  {false, true, 1, true, false},
      {false, false, 1, true, false},
  };
  for (const TCase& c : cases) {
    provider.ReadOnly = c.ProviderReadOnly;
    provider.CanModify = c.ProviderCanModify;
    p.AssignedValues()->SetReadOnly(false);
    if (c.Own >= 0) p.SetReadOnly(c.Own == 1);
    EXPECT_EQ(p.GetReadOnly(), c.ReadOnly) << c.ProviderReadOnly << c.ProviderCanModify << c.Own;
    EXPECT_EQ(p.IsEditable(), c.Editable) << c.ProviderReadOnly << c.ProviderCanModify << c.Own;
    EXPECT_EQ(p.IsReadOnlyStored(), c.Own >= 0);
  }

  // Without a provider: unassigned reads false.
  p.SetDefaultValuesProvider(nullptr);
  p.AssignedValues()->SetReadOnly(false);
  EXPECT_FALSE(p.GetReadOnly());
  EXPECT_TRUE(p.IsEditable());
}

TEST_F(cxEditPropertiesTest, ProviderBaseAnswers) {
  TcxCustomEditDefaultValuesProvider provider(nullptr);
  IcxEditDefaultValuesProvider* i = &provider;
  EXPECT_EQ(i->ProvideAlignment(), taLeftJustify);
  EXPECT_EQ(i->ProvideBlobKind(), 3);
  EXPECT_TRUE(i->ProvideCanModify());
  EXPECT_EQ(i->ProvideDisplayFormat(), u"");
  EXPECT_EQ(i->ProvideEditFormat(), u"");
  EXPECT_EQ(i->ProvideEditMask(), u"");
  EXPECT_FALSE(i->ProvideIsFloat());
  EXPECT_EQ(i->ProvideMaxLength(), 0);
  EXPECT_EQ(i->ProvideMaxValue(), 0.0);
  EXPECT_EQ(i->ProvideMinValue(), 0.0);
  EXPECT_EQ(i->ProvidePrecision(), 15);
  EXPECT_FALSE(i->ProvideReadOnly());
  EXPECT_FALSE(i->ProvideRequired());
  EXPECT_EQ(i->GetInstance(), &provider);
  EXPECT_FALSE(i->ProvidesDataValues());
  EXPECT_FALSE(i->ProvideIsBlob());
  EXPECT_FALSE(i->ProvideIsCurrency());
  EXPECT_FALSE(i->HasDisplayFormat(true));
  EXPECT_FALSE(i->HasEmptyDisplayFormat());
  EXPECT_TRUE(i->AcceptsChar(u'x'));
}

TEST_F(cxEditPropertiesTest, DestroyedProviderLeavesNoPropertySetPointingAtIt) {
  auto provider = std::make_unique<TTestProvider>();
  TcxCustomEditProperties a(nullptr), b(nullptr), c(nullptr);
  TTestProvider other;
  a.SetDefaultValuesProvider(provider.get());
  b.SetDefaultValuesProvider(provider.get());
  c.SetDefaultValuesProvider(&other);
  provider->ReadOnly = true;
  EXPECT_TRUE(a.GetReadOnly());
  provider.reset();
  EXPECT_EQ(a.DefaultValuesProvider(), nullptr);
  EXPECT_EQ(b.DefaultValuesProvider(), nullptr);
  EXPECT_EQ(c.DefaultValuesProvider(), &other);
  EXPECT_FALSE(a.GetReadOnly());  // no dangling provider is asked

  // ClearUsages does the same while the provider lives on.
  other.ClearUsages();
  EXPECT_EQ(c.DefaultValuesProvider(), nullptr);
}

TEST_F(cxEditPropertiesTest, SettingTheProviderNotifiesOnlyAnEditorOwner) {
  TTestProvider provider;
  TTestEdit edit;
  TComponent item(nullptr);
  TcxCustomEditProperties own(&edit), borrowed(&item);
  TChangeCounter ownCounter, borrowedCounter;
  ownCounter.Attach(own);
  borrowedCounter.Attach(borrowed);
  own.SetDefaultValuesProvider(&provider);
  borrowed.SetDefaultValuesProvider(&provider);
  EXPECT_EQ(ownCounter.Count, 1);
  EXPECT_EQ(borrowedCounter.Count, 0);
  own.SetChangeLock(true);
  own.SetDefaultValuesProvider(nullptr);
  EXPECT_EQ(ownCounter.Count, 1);
}

// ---- Alignment ---------------------------------------------------------------------------

TEST_F(cxEditPropertiesTest, UnassignedHorzShowsTheProvidersAlignmentButIsNotStored) {
  TTestProvider provider;  // right-aligned, like a numeric field
  TWritingComponent owner;
  TcxCustomEditProperties p(&owner);
  EXPECT_EQ(p.GetDefaultHorzAlignment(), taLeftJustify);
  p.SetDefaultValuesProvider(&provider);
  EXPECT_EQ(p.GetDefaultHorzAlignment(), taRightJustify);
  EXPECT_EQ(p.GetAlignment()->Horz(), taRightJustify);
  EXPECT_FALSE(p.GetAlignment()->IsHorzAssigned());
  EXPECT_FALSE(p.IsAlignmentStored());
  EXPECT_FALSE(p.StoredAlignment()->IsHorzAssigned());

  // Changing Vert through the handed-out object stores Vert only.
  p.GetAlignment()->SetVert(taBottomJustify);
  EXPECT_TRUE(p.IsAlignmentStored());
  EXPECT_FALSE(p.StoredAlignment()->IsHorzStored());
  EXPECT_TRUE(p.StoredAlignment()->IsVertStored());

  // While the owner is written with some part assigned, the hand-out shows
  // the stored Horz instead of the provider's current answer.
  provider.Alignment = taCenter;
  EXPECT_EQ(p.GetAlignment()->Horz(), taCenter);
  owner.SetWriting(true);
  EXPECT_EQ(p.GetAlignment()->Horz(), taRightJustify);
  owner.SetWriting(false);
  EXPECT_EQ(p.GetAlignment()->Horz(), taCenter);
  provider.Alignment = taRightJustify;

  // An explicit Horz wins over the provider and is stored.
  p.GetAlignment()->SetHorz(taCenter);
  EXPECT_EQ(p.GetAlignment()->Horz(), taCenter);
  EXPECT_TRUE(p.StoredAlignment()->IsHorzStored());

  // Resetting to defaults brings the provider's answer back.
  TChangeCounter counter;
  counter.Attach(p);
  p.SetReadOnly(true);
  counter.Count = 0;
  p.ResetToDefaults();
  EXPECT_EQ(counter.Count, 1);
  EXPECT_EQ(p.GetAlignment()->Horz(), taRightJustify);
  EXPECT_FALSE(p.IsReadOnlyStored());
}

TEST_F(cxEditPropertiesTest, AlignmentObjectAssignAndReset) {
  TcxEditAlignment a(nullptr), b(nullptr);
  Integer notices = 0;
  b.OnChanged = TNotifyEvent(&notices, [&](TObject*) { ++notices; });
  a.SetHorz(taRightJustify);
  a.SetVert(taVCenter);
  b.Assign(&a);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(b.Horz(), taRightJustify);
  EXPECT_TRUE(b.IsHorzAssigned());
  EXPECT_EQ(b.Vert(), taVCenter);
  b.Reset();
  EXPECT_EQ(notices, 2);
  EXPECT_FALSE(b.IsHorzStored());
  EXPECT_TRUE(b.IsVertStored());
  TcxEditButtons notAnAlignment(nullptr);
  EXPECT_THROW(b.Assign(&notAnAlignment), EConvertError);
}

// ---- Assign ------------------------------------------------------------------------------

TEST_F(cxEditPropertiesTest, AssignCopiesSettingsWithOneNotice) {
  TTestProvider provider;
  TcxCustomEditProperties source(nullptr), target(nullptr);
  Integer clicks = 0;
  source.SetAutoSelect(false);
  source.SetBeepOnError(true);
  source.Buttons()->Add()->SetKind(bkEllipsis);
  source.Buttons()->Add()->SetCaption(u"&Go");
  source.SetButtonsViewStyle(cxbvsButtonsOnly);
  source.SetClearKey(46);
  source.SetClickKey(13);
  source.SetUseLeftAlignmentOnEditing(false);
  source.SetDefaultValuesProvider(&provider);
  source.GetAlignment()->SetVert(taVCenter);
  source.SetReadOnly(true);
  source.SetImmediatePost(true);
  source.SetMouseActivation(false);
  source.SetValidateOnEnter(true);
  source.OnButtonClick = TcxEditButtonClickEvent(&clicks, [&](TObject*, Integer) { ++clicks; });
  TNotifyEvent sourceCallback(&clicks, [](TObject*) {});
  source.OnPropertiesChanged = sourceCallback;

  TChangeCounter counter;
  counter.Attach(target);
  target.Assign(&source);
  EXPECT_EQ(counter.Count, 1);
  EXPECT_FALSE(target.AutoSelect());
  EXPECT_TRUE(target.BeepOnError());
  ASSERT_EQ(target.Buttons()->Count(), 2);
  EXPECT_EQ(target.Buttons()->GetButton(0)->Kind(), bkEllipsis);
  EXPECT_EQ(target.Buttons()->GetButton(1)->VisibleCaption(), u"Go");
  EXPECT_EQ(target.ButtonsViewStyle(), cxbvsButtonsOnly);
  EXPECT_EQ(target.ClearKey(), 46);
  EXPECT_EQ(target.ClickKey(), 13);
  EXPECT_FALSE(target.UseLeftAlignmentOnEditing());
  EXPECT_EQ(target.DefaultValuesProvider(), &provider);
  EXPECT_EQ(target.GetAlignment()->Vert(), taVCenter);
  EXPECT_EQ(target.GetAlignment()->Horz(), taRightJustify);  // still the provider's, unassigned
  EXPECT_FALSE(target.StoredAlignment()->IsHorzAssigned());
  EXPECT_TRUE(target.ReadOnly());
  EXPECT_TRUE(target.IsReadOnlyStored());
  EXPECT_TRUE(target.ImmediatePost());
  EXPECT_FALSE(target.MouseActivation());
  EXPECT_TRUE(target.ValidateOnEnter());
  target.OnButtonClick(&target, 0);
  EXPECT_EQ(clicks, 1);
  // Neither the change callback nor the owner travel.
  EXPECT_EQ(target.OnPropertiesChanged, TNotifyEvent(&counter, &TChangeCounter::Changed));
  EXPECT_EQ(target.Owner(), nullptr);
}

TEST_F(cxEditPropertiesTest, AssignLeavesReadOnlyUnassignedWhenTheSourceHasNone) {
  TTestProvider provider;
  provider.ReadOnly = true;
  TcxCustomEditProperties source(nullptr), target(nullptr);
  target.SetReadOnly(false);
  target.Assign(&source);
  EXPECT_FALSE(target.IsReadOnlyStored());
  target.SetDefaultValuesProvider(&provider);
  EXPECT_TRUE(target.GetReadOnly());  // follows its provider
  // A source's explicit False is copied as assigned.
  source.SetReadOnly(false);
  target.Assign(&source);
  EXPECT_TRUE(target.IsReadOnlyStored());
  EXPECT_FALSE(target.GetReadOnly());
}

TEST_F(cxEditPropertiesTest, AssignFromAForeignClassFails) {
  TcxCustomEditProperties p(nullptr);
  TcxEditAlignment alignment(nullptr);
  EXPECT_THROW(p.Assign(&alignment), EConvertError);
  EXPECT_THROW(p.Assign(nullptr), EConvertError);
  // Assigning to itself keeps everything.
  p.Buttons()->Add();
  p.Assign(&p);
  EXPECT_EQ(p.Buttons()->Count(), 1);
}

TEST_F(cxEditPropertiesTest, AssignedValuesCopyAndRestore) {
  TcxCustomEditProperties a(nullptr), b(nullptr);
  a.SetReadOnly(true);
  TChangeCounter counter;
  counter.Attach(b);
  b.SetAssignedValues(a.AssignedValues());
  EXPECT_TRUE(b.IsReadOnlyStored());
  EXPECT_EQ(counter.Count, 1);
  b.AssignedValues()->RestoreDefaults();
  EXPECT_FALSE(b.IsReadOnlyStored());
  EXPECT_EQ(b.AssignedValues()->Properties(), &b);
  EXPECT_EQ(b.AssignedValues()->GetOwner(), &b);
}

// ---- Values, features, formats -----------------------------------------------------------

TEST_F(cxEditPropertiesTest, EditValuesCompareAfterNormalising) {
  TTestEditProperties p(nullptr);
  struct TCase {
    Variant A, B;
    bool Equal;
  };
  const TCase cases[] = {
      {Variant(u"abc"), Variant(u"ABC"), true},  // normalised alike
      {Variant(u"abc"), Variant(u"abd"), false},
      {Null(), Null(), true},
      {Null(), Variant(0), false},
      {Variant(1), Variant(1.0), true},
      {Variant(u"x"), Variant(1), false},  // cannot be compared: not equal, no exception
      {Variant(), Variant(), true},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(p.AreEditValuesEqual(c.A, c.B), c.Equal) << StringToUTF8(VarToStr(c.A)) << " / "
                                                        << StringToUTF8(VarToStr(c.B));
}

TEST_F(cxEditPropertiesTest, FeaturesAndDataDisplayFormat) {
  TTestProvider provider;
  TTestEditProperties p(nullptr);
  EXPECT_EQ(p.GetEditorFeatures(), 0);
  p.Buttons()->Add()->SetVisible(false);
  EXPECT_EQ(p.GetEditorFeatures(), cxEditFeatureHasButtons);

  struct TCase {
    TcxEditDisplayFormatOptions Options;
    bool Provider, Editing;
    bool Uses, CurrencyFormat;
  };
  const TCase cases[] = {
      {0, true, false, false, false},
      {cxdfoDisplayFormat, false, false, false, false},
      {cxdfoDisplayFormat, true, true, false, false},
      {cxdfoDisplayFormat, true, false, true, true},
      {cxdfoDisplayFormat | cxdfoEditFormat, true, false, true, false},
  };
  for (const TCase& c : cases) {
    p.Options = c.Options;
    p.SetDefaultValuesProvider(c.Provider ? &provider : nullptr);
    provider.LastCurrencyFormat = false;
    EXPECT_EQ(p.UsesDataDisplayFormat(c.Editing), c.Uses) << c.Options << c.Provider << c.Editing;
    EXPECT_EQ(provider.LastCurrencyFormat, c.CurrencyFormat) << c.Options << c.Provider << c.Editing;
  }
}

// ---- Display value validation ------------------------------------------------------------

TEST_F(cxEditPropertiesTest, CheckDisplayValueRunsTheEditorsHandlers) {
  TTestEditProperties p(nullptr);
  TTestEdit edit;

  // Default error text; no handler: the value stays.
  Variant value(u"typed");
  TCaption errorText;
  bool error = false;
  p.CheckDisplayValue(value, errorText, error, &edit);
  EXPECT_EQ(errorText, u"Invalid input value. Use escape key to abandon changes");
  EXPECT_EQ(VarToStr(value), u"typed");

  struct TCase {
    const char* Name;
    bool SetError;
    const char16_t* NewText;  // nullptr: the handler leaves the value
    const char16_t* Expected;
  };
  const TCase cases[] = {
      {"error, value unchanged: the editor's text", true, nullptr, u"shown"},
      {"error, value changed: kept", true, u"fixed", u"fixed"},
      {"no error: value kept", false, nullptr, u"typed"},
      {"no error, value changed: kept", false, u"other", u"other"},
  };
  for (const TCase& c : cases) {
    edit.Handler = [&](Variant& V, TCaption& T, bool& E) {
      if (c.SetError) E = true;
      if (c.NewText) V = Variant(c.NewText);
      T = u"custom";
    };
    value = Variant(u"typed");
    errorText = u"given";
    error = false;
    p.CheckDisplayValue(value, errorText, error, &edit);
    EXPECT_EQ(VarToStr(value), c.Expected) << c.Name;
    EXPECT_EQ(error, c.SetError) << c.Name;
    EXPECT_EQ(errorText, u"custom") << c.Name;
  }

  // A kind that does not validate display values runs nothing.
  p.Validates = false;
  bool ran = false;
  edit.Handler = [&](Variant&, TCaption&, bool&) { ran = true; };
  errorText.clear();
  p.CheckDisplayValue(value, errorText, error, &edit);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(errorText.empty());
  // No editor: steps 1 and 2 only.
  p.Validates = true;
  p.CheckDisplayValue(value, errorText, error, nullptr);
  EXPECT_FALSE(errorText.empty());
}

// ---- Buttons -----------------------------------------------------------------------------

TEST_F(cxEditPropertiesTest, ButtonsNotifyThePropertySetAndKeepOneDefault) {
  TcxCustomEditProperties p(nullptr);
  TChangeCounter counter;
  counter.Attach(p);
  TcxEditButton* a = p.Buttons()->Add();
  TcxEditButton* b = p.Buttons()->Add();
  EXPECT_FALSE(a->Default());  // not designing: no automatic default
  EXPECT_EQ(a->Kind(), bkDown);
  EXPECT_TRUE(a->Enabled());
  EXPECT_TRUE(a->Visible());
  EXPECT_TRUE(a->Stretchable());
  EXPECT_EQ(a->TextColor(), clBtnText);
  EXPECT_EQ(a->Width(), 0);
  counter.Count = 0;

  a->SetDefault(true);
  b->SetDefault(true);
  EXPECT_FALSE(a->Default());
  EXPECT_TRUE(b->Default());
  a->SetVisible(false);
  EXPECT_EQ(p.Buttons()->VisibleCount(), 1);
  EXPECT_EQ(counter.Count, 3);
  b->SetDefault(true);
  EXPECT_EQ(counter.Count, 3);

  // A glyph is created on first read and its changes are the button's.
  EXPECT_FALSE(a->HasGlyph());
  a->Glyph()->SetSize(8, 8);
  EXPECT_TRUE(a->HasGlyph());
  EXPECT_GT(counter.Count, 3);

  // A negative width lays out as automatic and does not stick.
  a->SetWidth(-5);
  EXPECT_EQ(a->Width(), -5);
  a->SetWidth(20);
  EXPECT_EQ(a->Width(), 20);

  // Copying a button.
  TcxEditButton* c = p.Buttons()->Add();
  c->Assign(a);
  EXPECT_TRUE(c->HasGlyph());
  EXPECT_EQ(c->Glyph()->Width(), 8);
  EXPECT_FALSE(c->Visible());
  EXPECT_EQ(c->Width(), 20);
  EXPECT_THROW(p.Buttons()->GetButton(9), EListError);
}

TEST_F(cxEditPropertiesTest, FirstButtonOfADesignedComponentBecomesDefault) {
  TComponent designed(nullptr);
  designed.SetDesigning(true);
  TcxCustomEditProperties p(&designed);
  EXPECT_TRUE(p.Buttons()->Add()->Default());
  EXPECT_FALSE(p.Buttons()->Add()->Default());

  TComponent loading(nullptr);
  loading.SetDesigning(true);
  loading.SetLoading(true);
  TcxCustomEditProperties q(&loading);
  EXPECT_FALSE(q.Buttons()->Add()->Default());
}

TEST_F(cxEditPropertiesTest, VisibleCaptionDropsHotKeyPrefixes) {
  struct TCase {
    const char16_t* Caption;
    const char16_t* Visible;
  };
  const TCase cases[] = {
      {u"", u""},          {u"Go", u"Go"},        {u"&Go", u"Go"},   {u"A&&B", u"A&B"},
      {u"End&", u"End_"},  {u"&&&x", u"&x"},      {u"&", u"_"},      {u"a&b&c", u"abc"},
  };
  TcxEditButtons buttons(nullptr);
  TcxEditButton* b = buttons.Add();
  for (const TCase& c : cases) {
    EXPECT_EQ(RemoveAccelChars(c.Caption), c.Visible) << StringToUTF8(c.Caption);
    b->SetCaption(c.Caption);
    EXPECT_EQ(b->VisibleCaption(), c.Visible) << StringToUTF8(c.Caption);
  }
}

// ---- Free notification -------------------------------------------------------------------

class TWatchingProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TWatchingProperties, TcxCustomEditProperties)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  void Watch(TComponent* C) { FreeNotificator()->AddSender(C); }
  void ComponentFreed(TComponent* C) override { Freed.push_back(C); }
  std::vector<TComponent*> Freed;
};

TEST_F(cxEditPropertiesTest, WatchedComponentsReportTheirDestruction) {
  TWatchingProperties p(nullptr);
  auto watched = std::make_unique<TComponent>(nullptr);
  TComponent* raw = watched.get();
  p.Watch(raw);
  watched.reset();
  ASSERT_EQ(p.Freed.size(), 1u);
  EXPECT_EQ(p.Freed[0], raw);
}

}  // namespace
