#include "editors/cxEditProperties.h"

#include "editors/cxEdit.h"
#include "editors/cxEditViewInfo.h"

#include <algorithm>
#include <vector>

#include "data/cxVariants.h"
#include "platform/rtl/exceptions.h"

namespace {

struct TUnitState {
  // Every live property set, so that a provider that goes away can clear
  // itself out of them.
  std::vector<TcxCustomEditProperties*> Properties;
  TcxRegisteredClasses* Registry = nullptr;
};

// Kept for the whole run: property sets destroyed at exit still leave it.
TUnitState& State() {
  static TUnitState* s = new TUnitState;
  return *s;
}

// The display value's text, for telling whether a handler changed it.
bool SameDisplayText(const Variant& A, const Variant& B) {
  try {
    return VarToStr(A) == VarToStr(B);
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

// ---- TcxEditButton -----------------------------------------------------------------------

String RemoveAccelChars(const String& ACaption) {
  String result;
  result.reserve(ACaption.size());
  for (size_t i = 0; i < ACaption.size(); ++i) {
    if (ACaption[i] != u'&') {
      result += ACaption[i];
    } else if (i + 1 == ACaption.size()) {
      result += u'_';
    } else if (ACaption[i + 1] == u'&') {
      result += u'&';
      ++i;
    }
  }
  return result;
}

TcxEditButton::TcxEditButton(TCollection* ACollection) : TCollectionItem(ACollection) {
  if (!ACollection || ACollection->Count() != 1) return;
  auto* properties = dynamic_cast<TcxCustomEditProperties*>(ACollection->GetOwner());
  TComponent* component = properties ? properties->OwningComponent() : nullptr;
  if (component && component->IsDesigning() && !component->IsLoading()) FDefault = true;
}

TcxEditButton::~TcxEditButton() = default;

void TcxEditButton::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditButton*>(Source);
  if (!source) return TCollectionItem::Assign(Source);
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    FCaption = source->FCaption;
    FVisibleCaption = source->FVisibleCaption;
    FDefault = source->FDefault;
    FEnabled = source->FEnabled;
    if (source->FGlyph)
      Glyph()->Assign(source->FGlyph.get());
    else
      FGlyph.reset();
    FKind = source->FKind;
    FLeftAlignment = source->FLeftAlignment;
    FStretchable = source->FStretchable;
    FTextColor = source->FTextColor;
    FVisible = source->FVisible;
    FWidth = source->FWidth;
    Changed(false);
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

void TcxEditButton::SetCaption(const TCaption& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  FVisibleCaption = RemoveAccelChars(Value);
  Changed(false);
}

void TcxEditButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value)
    if (TCollection* collection = Collection())
      for (Integer i = 0; i < collection->Count(); ++i)
        static_cast<TcxEditButton*>(collection->Items(i))->FDefault = false;
  FDefault = Value;
  Changed(Value);
}

void TcxEditButton::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Changed(false);
}

TBitmap* TcxEditButton::Glyph() {
  if (!FGlyph) {
    FGlyph = std::make_unique<TBitmap>();
    FGlyph->OnChange = TNotifyEvent(this, &TcxEditButton::GlyphChanged);
  }
  return FGlyph.get();
}

void TcxEditButton::SetGlyph(TBitmap* Value) {
  if (!Value) {
    if (!FGlyph) return;
    FGlyph.reset();
    Changed(false);
    return;
  }
  Glyph()->Assign(Value);
}

void TcxEditButton::GlyphChanged(TObject*) { Changed(false); }

void TcxEditButton::SetKind(TcxEditButtonKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  Changed(false);
}

void TcxEditButton::SetLeftAlignment(bool Value) {
  if (FLeftAlignment == Value) return;
  FLeftAlignment = Value;
  Changed(false);
}

void TcxEditButton::SetStretchable(bool Value) {
  if (FStretchable == Value) return;
  FStretchable = Value;
  Changed(false);
}

void TcxEditButton::SetTextColor(TColor Value) {
  if (FTextColor == Value) return;
  FTextColor = Value;
  Changed(false);
}

void TcxEditButton::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed(false);
}

void TcxEditButton::SetWidth(Integer Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  Changed(false);
}

// ---- TcxEditButtons ----------------------------------------------------------------------

TcxEditButtons::TcxEditButtons(TPersistent* AOwner) : TOwnedCollection(AOwner, TcxEditButton::StaticClass()) {}

Integer TcxEditButtons::VisibleCount() const {
  Integer result = 0;
  for (Integer i = 0; i < Count(); ++i)
    if (GetButton(i)->Visible()) ++result;
  return result;
}

void TcxEditButtons::Update(TCollectionItem*) {
  if (auto* properties = dynamic_cast<TcxCustomEditProperties*>(GetOwner())) properties->ButtonsChanged();
}

// ---- TcxEditAlignment --------------------------------------------------------------------

void TcxEditAlignment::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxEditAlignment*>(Source);
  if (!source) return TPersistent::Assign(Source);
  FVert = source->FVert;
  FHorz = source->FHorz;
  FHorzAssigned = source->FHorzAssigned;
  Changed();
}

void TcxEditAlignment::SetHorz(TAlignment Value) {
  if (FHorzAssigned && FHorz == Value) return;
  FHorz = Value;
  FHorzAssigned = true;
  Changed();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment Value) {
  if (FVert == Value) return;
  FVert = Value;
  Changed();
}

void TcxEditAlignment::Reset() {
  FHorzAssigned = false;
  Changed();
}

// ---- TcxCustomEditDefaultValuesProvider --------------------------------------------------

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ClearUsages(); }

void TcxCustomEditDefaultValuesProvider::ClearUsages() { TcxCustomEditProperties::ForgetDefaultValuesProvider(this); }

// ---- TcxCustomEditPropertiesValues -------------------------------------------------------

TPersistent* TcxCustomEditPropertiesValues::GetOwner() const { return FOwner; }

void TcxCustomEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditPropertiesValues*>(Source);
  if (!source) return TPersistent::Assign(Source);
  BeginUpdate();
  SetReadOnly(source->FReadOnly);
  EndUpdate();
}

void TcxCustomEditPropertiesValues::BeginUpdate() {
  if (FOwner) FOwner->BeginUpdate();
}

void TcxCustomEditPropertiesValues::EndUpdate() {
  if (FOwner) FOwner->EndUpdate(true);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() { SetReadOnly(false); }

void TcxCustomEditPropertiesValues::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  Changed();
}

void TcxCustomEditPropertiesValues::Changed() {
  if (FOwner) FOwner->NotifyChanged();
}

// ---- TcxCustomEditProperties: life -------------------------------------------------------

TcxCustomEditProperties* TcxCustomEditPropertiesMetaClass::Create(TPersistent* AOwner) const {
  return static_cast<TcxCustomEditProperties*>(TcxInterfacedPersistentMetaClass::Create(AOwner));
}

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner),
      FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr)),
      FAlignment(std::make_unique<TcxEditAlignment>(this)),
      FButtons(std::make_unique<TcxEditButtons>(this)),
      FIAlignment(std::make_unique<TcxEditAlignment>(this)) {
  FFreeNotificator->OnComponentRemoved =
      TcxComponentRemovedEvent(this, &TcxCustomEditProperties::FreeNotificatorComponentRemoved);
  FIAlignment->OnChanged = TNotifyEvent(this, &TcxCustomEditProperties::AlignmentChanged);
  State().Properties.push_back(this);
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  FDefaultValuesProvider = nullptr;
  FButtons.reset();
  FIAlignment.reset();
  FAlignment.reset();
  FAssignedValues.reset();
  FFreeNotificator.reset();
  auto& list = State().Properties;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TcxCustomEditProperties::FreeNotificatorComponentRemoved(TObject*, TComponent* AComponent) {
  ComponentFreed(AComponent);
}

void TcxCustomEditProperties::ForgetDefaultValuesProvider(IcxEditDefaultValuesProvider* AProvider) {
  if (!AProvider) return;
  for (TcxCustomEditProperties* properties : State().Properties)
    if (properties->FDefaultValuesProvider == AProvider) properties->FDefaultValuesProvider = nullptr;
}

TComponent* TcxCustomEditProperties::OwningComponent() const {
  for (TPersistent* owner = GetOwner(); owner; owner = owner->GetOwner())
    if (auto* component = dynamic_cast<TComponent*>(owner)) return component;
  return nullptr;
}

// ---- Change notices ----------------------------------------------------------------------

void TcxCustomEditProperties::EndUpdate(bool ANotify) {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && ANotify) NotifyChanged();
}

void TcxCustomEditProperties::NotifyChanged() {
  if (IsChangeLocked()) return;
  if (auto* owner = dynamic_cast<TComponent*>(GetOwner()); owner && owner->IsDestroying()) return;
  if (OnPropertiesChanged) OnPropertiesChanged(this);
}

// ---- Assign ------------------------------------------------------------------------------

void TcxCustomEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomEditProperties*>(Source);
  if (!source) return TcxInterfacedPersistent::Assign(Source);
  if (source == this) return;
  BeginUpdate();
  try {
    SetAutoSelect(source->AutoSelect());
    SetButtons(source->Buttons());
    SetButtonsViewStyle(source->ButtonsViewStyle());
    SetBeepOnError(source->BeepOnError());
    SetClearKey(source->ClearKey());
    SetClickKey(source->ClickKey());
    SetUseLeftAlignmentOnEditing(source->UseLeftAlignmentOnEditing());
    SetDefaultValuesProvider(source->DefaultValuesProvider());
    SetAlignment(source->GetAlignment());
    AssignedValues()->FReadOnly = false;
    if (source->AssignedValues()->ReadOnly()) SetReadOnly(source->FReadOnly);
    SetImmediatePost(source->ImmediatePost());
    SetMouseActivation(source->MouseActivation());
    SetValidateOnEnter(source->ValidateOnEnter());
    OnButtonClick = source->OnButtonClick;
    OnChange = source->OnChange;
    OnEditValueChanged = source->OnEditValueChanged;
    OnValidate = source->OnValidate;
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

// ---- Settings ----------------------------------------------------------------------------

TcxCustomEditPropertiesValues* TcxCustomEditProperties::AssignedValues() const {
  if (!FAssignedValues)
    FAssignedValues.reset(GetAssignedValuesClass()->Create(const_cast<TcxCustomEditProperties*>(this)));
  return FAssignedValues.get();
}

void TcxCustomEditProperties::SetAssignedValues(TcxCustomEditPropertiesValues* Value) {
  AssignedValues()->Assign(Value);
}

TcxCustomEditPropertiesValuesClass TcxCustomEditProperties::GetAssignedValuesClass() const {
  return TcxCustomEditPropertiesValues::StaticClass();
}

TcxEditAlignment* TcxCustomEditProperties::GetAlignment() {
  FIAlignment->OnChanged = nullptr;
  FIAlignment->Assign(FAlignment.get());
  TComponent* component = OwningComponent();
  bool writing = component && (component->ComponentState() & csWriting) != 0;
  if (!(writing && IsAlignmentStored()) && !FIAlignment->IsHorzAssigned())
    FIAlignment->FHorz = GetDefaultHorzAlignment();
  FIAlignment->OnChanged = TNotifyEvent(this, &TcxCustomEditProperties::AlignmentChanged);
  return FIAlignment.get();
}

bool TcxCustomEditProperties::IsAlignmentStored() const {
  return FAlignment->IsHorzStored() || FAlignment->IsVertStored();
}

void TcxCustomEditProperties::AlignmentChanged(TObject*) {
  FAlignment->Assign(FIAlignment.get());
  NotifyChanged();
}

void TcxCustomEditProperties::SetAlignment(TcxEditAlignment* Value) {
  FAlignment->Assign(Value);
  NotifyChanged();
}

TAlignment TcxCustomEditProperties::GetDefaultHorzAlignment() const {
  return FDefaultValuesProvider ? FDefaultValuesProvider->ProvideAlignment() : FAlignment->Horz();
}

void TcxCustomEditProperties::SetAutoSelect(bool Value) { SetValue(FAutoSelect, Value); }
void TcxCustomEditProperties::SetBeepOnError(bool Value) { SetValue(FBeepOnError, Value); }
void TcxCustomEditProperties::SetButtonsViewStyle(TcxEditButtonsViewStyle Value) {
  SetValue(FButtonsViewStyle, Value);
}
void TcxCustomEditProperties::SetClickKey(TShortCut Value) { SetValue(FClickKey, Value); }
void TcxCustomEditProperties::SetClearKey(TShortCut Value) { SetValue(FClearKey, Value); }
void TcxCustomEditProperties::SetImmediatePost(bool Value) { SetValue(FImmediatePost, Value); }
void TcxCustomEditProperties::SetMouseActivation(bool Value) { SetValue(FMouseActivation, Value); }
void TcxCustomEditProperties::SetValidateOnEnter(bool Value) { SetValue(FValidateOnEnter, Value); }

void TcxCustomEditProperties::SetButtons(TcxEditButtons* Value) { FButtons->Assign(Value); }

void TcxCustomEditProperties::ButtonsChanged() { NotifyChanged(); }

bool TcxCustomEditProperties::GetReadOnly() const {
  if (AssignedValues()->ReadOnly()) return FReadOnly;
  return FDefaultValuesProvider ? FDefaultValuesProvider->ProvideReadOnly() : false;
}

void TcxCustomEditProperties::SetReadOnly(bool Value) {
  TcxCustomEditPropertiesValues* values = AssignedValues();
  if (values->ReadOnly() && FReadOnly == Value) return;
  values->FReadOnly = true;
  FReadOnly = Value;
  NotifyChanged();
}

bool TcxCustomEditProperties::IsReadOnlyStored() const { return AssignedValues()->ReadOnly(); }

bool TcxCustomEditProperties::IsEditable() const {
  if (AssignedValues()->ReadOnly() && !FReadOnly) return true;
  if (GetReadOnly()) return false;
  return FDefaultValuesProvider ? FDefaultValuesProvider->ProvideCanModify() : true;
}

bool TcxCustomEditProperties::UseLeftAlignmentOnEditing() const {
  return FUseLeftAlignmentOnEditing < 0 ? DefaultUseLeftAlignmentOnEditing() : FUseLeftAlignmentOnEditing != 0;
}

void TcxCustomEditProperties::SetUseLeftAlignmentOnEditing(bool Value) {
  if (UseLeftAlignmentOnEditing() == Value) return;
  FUseLeftAlignmentOnEditing = Value ? 1 : 0;
  NotifyChanged();
}

bool TcxCustomEditProperties::IsUseLeftAlignmentOnEditingStored() const {
  return UseLeftAlignmentOnEditing() != DefaultUseLeftAlignmentOnEditing();
}

void TcxCustomEditProperties::SetDefaultValuesProvider(IcxEditDefaultValuesProvider* Value) {
  FDefaultValuesProvider = Value;
  if (dynamic_cast<IcxCustomEdit*>(GetOwner())) NotifyChanged();
}

// ---- Class-level -------------------------------------------------------------------------

TcxCustomEditClass TcxCustomEditProperties::GetEditorClass() { return TcxCustomEdit::StaticClass(); }

TcxCustomEditClass TcxCustomEditProperties::EditorClass() const {
  return static_cast<TcxCustomEditPropertiesClass>(ClassType())->GetEditorClass();
}

// ---- Virtual operations ------------------------------------------------------------------

String TcxCustomEditProperties::DefaultValidationErrorText() const {
  return LoadResourceText(cxSEditValidateErrorText);
}

bool TcxCustomEditProperties::UsesDataDisplayFormat(bool AIsEditing) const {
  TcxEditDisplayFormatOptions options = GetDisplayFormatOptions();
  if (AIsEditing || (options & cxdfoDisplayFormat) == 0 || !FDefaultValuesProvider) return false;
  return FDefaultValuesProvider->HasDisplayFormat((options & cxdfoEditFormat) == 0);
}

TcxCustomEditViewDataClass TcxCustomEditProperties::GetViewDataClass() const {
  return TcxCustomEditViewData::StaticClass();
}

TcxCustomEditStyleClass TcxCustomEditProperties::GetStyleClass() const { return TcxEditStyle::StaticClass(); }

TcxCustomEditStyleClass TcxCustomEditProperties::GetStyleExClass() const { return TcxEditStyleEx::StaticClass(); }

TcxCustomEditViewInfoClass TcxCustomEditProperties::GetViewInfoClass() const {
  return TcxCustomEditViewInfo::StaticClass();
}

bool TcxCustomEditProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  Variant normalizedA, normalizedB;
  NormalizeEditValue(A, normalizedA, false);
  NormalizeEditValue(B, normalizedB, false);
  return VariantsEqual(normalizedA, normalizedB);
}

TcxCustomEditViewData* TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace) {
  TcxCustomEditViewDataClass viewDataClass = GetViewDataClass();
  return viewDataClass ? viewDataClass->Create(this, AStyle, AIsInplace) : nullptr;
}

TcxEditEditorFeatures TcxCustomEditProperties::GetEditorFeatures() const {
  return FButtons->Count() > 0 ? cxEditFeatureHasButtons : TcxEditEditorFeatures(0);
}

void TcxCustomEditProperties::NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool) const {
  ANormalized = AValue;
}

void TcxCustomEditProperties::ResetToDefaults() {
  BeginUpdate();
  try {
    FAlignment->Reset();
    AssignedValues()->RestoreDefaults();
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxCustomEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                IcxCustomEdit* AEdit) {
  if (!CanValidateDisplayValue()) return;
  if (AErrorText.empty()) AErrorText = DefaultValidationErrorText();
  RunValidateEvent(ADisplayValue, AErrorText, AError, AEdit);
}

void TcxCustomEditProperties::RunValidateEvent(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                               IcxCustomEdit* AEdit) {
  if (!AEdit || !AEdit->HasValidateHandler()) return;
  Variant previous = ADisplayValue;
  AEdit->RunValidateHandlers(ADisplayValue, AErrorText, AError);
  if (AError && SameDisplayText(ADisplayValue, previous)) ADisplayValue = AEdit->GetCurrentDisplayText();
}

// ---- Registry ----------------------------------------------------------------------------

TcxRegisteredClasses* GetEditPropertiesRegistry() {
  TUnitState& s = State();
  if (!s.Registry) s.Registry = new TcxRegisteredClasses(false);
  return s.Registry;
}

void cxEditPropertiesFinalize() {
  TUnitState& s = State();
  TcxRegisteredClasses* registry = s.Registry;
  s.Registry = nullptr;
  if (registry) registry->Free();
}
