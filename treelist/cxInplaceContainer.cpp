#include "treelist/cxInplaceContainer.h"

#include "editors/cxEdit.h"
#include "editors/cxEditDataRegisteredRepositoryItems.h"
#include "editors/cxEditTextUtils.h"
#include "platform/rtl/sysutils.h"
#include "treelist/cxEditingControl.h"

// ---- TcxControlDataController -------------------------------------------------------------------

void TcxControlDataController::NotifyControl(TcxUpdateControlInfo* AInfo) {
  FControl->ApplyDataChange(AInfo);
  inherited::NotifyControl(AInfo);
}

// ---- Value type names ---------------------------------------------------------------------------

void TcxValueTypeClassRepository::Register(TcxValueTypeClass AClass, const String& AName) {
  for (const auto& Item : FItems)
    if (Item.second == AClass) return;
  FItems.emplace_back(AName, AClass);
}

String TcxValueTypeClassRepository::GetNameByClass(TcxValueTypeClass AClass) const {
  for (const auto& Item : FItems)
    if (Item.second == AClass) return Item.first;
  return String();
}

TcxValueTypeClass TcxValueTypeClassRepository::GetClassByName(const String& AName) const {
  for (const auto& Item : FItems)
    if (SameText(Item.first, AName)) return Item.second;
  return nullptr;
}

TcxValueTypeClassRepository* cxValueTypeClassRepository() {
  static TcxValueTypeClassRepository* Repository = [] {
    static TcxValueTypeClassRepository Instance;
    Instance.Register(TcxBooleanValueType::StaticClass(), u"Boolean");
    Instance.Register(TcxStringValueType::StaticClass(), u"String");
    Instance.Register(TcxIntegerValueType::StaticClass(), u"Integer");
    Instance.Register(TcxCurrencyValueType::StaticClass(), u"Currency");
    Instance.Register(TcxFloatValueType::StaticClass(), u"Float");
    Instance.Register(TcxDateTimeValueType::StaticClass(), u"DateTime");
    Instance.Register(TcxVariantValueType::StaticClass(), u"Variant");
    return &Instance;
  }();
  return Repository;
}

// ---- Item data binding --------------------------------------------------------------------------

TcxCustomItemDataBinding::TcxCustomItemDataBinding(TcxCustomInplaceEditContainer* AItem)
    : TcxOwnedPersistent(AItem),
      FDefaultValuesProvider(std::make_unique<TcxContainerItemDefaultValuesProvider>(this)),
      FItem(AItem) {}

TcxCustomItemDataBinding::~TcxCustomItemDataBinding() = default;

TcxEditRepositoryItem* TcxCustomItemDataBinding::GetDefaultRepositoryItem() const {
  return GetEditDataRegisteredRepositoryItems()->GetItemByValueType(CurrentValueTypeClass());
}

void TcxCustomItemDataBinding::ValueTypeClassChanged() {
  IcxEditingControl* Control = FItem->EditingControl();
  if (Control && FItem->ItemIndex() >= 0)
    Control->GetControlDataController()->SetItemValueTypeClass(FItem->ItemIndex(), CurrentValueTypeClass());
  FItem->PropertiesChanged();
}

void TcxItemDataBinding::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxItemDataBinding*>(ASource);
  if (!Source) return;
  SetValueType(Source->ValueType());
  SetValueTypeClass(Source->ValueTypeClass());
}

TcxValueTypeClass TcxItemDataBinding::CurrentValueTypeClass() const {
  return FValueTypeClass ? FValueTypeClass : TcxStringValueType::StaticClass();
}

void TcxItemDataBinding::SetValueTypeClass(TcxValueTypeClass AValue) {
  if (AValue == FValueTypeClass) return;
  FValueTypeClass = AValue;
  ValueTypeClassChanged();
}

String TcxItemDataBinding::ValueType() const {
  return cxValueTypeClassRepository()->GetNameByClass(CurrentValueTypeClass());
}

void TcxItemDataBinding::SetValueType(const String& AValue) {
  if (TcxValueTypeClass Class = cxValueTypeClassRepository()->GetClassByName(AValue)) SetValueTypeClass(Class);
}

bool TcxItemDataBinding::IsValueTypeStored() const {
  return CurrentValueTypeClass() != TcxStringValueType::StaticClass();
}

// ---- Item options -------------------------------------------------------------------------------

TcxCustomEditContainerItemOptions::TcxCustomEditContainerItemOptions(TcxCustomInplaceEditContainer* AItem)
    : TcxOwnedPersistent(AItem), FItem(AItem) {}

void TcxCustomEditContainerItemOptions::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxCustomEditContainerItemOptions*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  Customizing = Source->Customizing;
  Focusing = Source->Focusing;
  Moving = Source->Moving;
  Sorting = Source->Sorting;
  TabStop = Source->TabStop;
  SetEditing(Source->Editing());
  SetIncSearch(Source->IncSearch());
  SetShowEditButtons(Source->ShowEditButtons());
}

void TcxCustomEditContainerItemOptions::Changed() { FItem->Changed(); }

void TcxCustomEditContainerItemOptions::SetEditing(bool AValue) {
  if (AValue == FEditing) return;
  FEditing = AValue;
  if (!AValue) FItem->SetItemFocused(false);
}

void TcxCustomEditContainerItemOptions::SetIncSearch(bool AValue) {
  if (AValue == FIncSearch) return;
  IcxEditingControl* Control = FItem->EditingControl();
  if (!AValue && Control && Control->IncSearchItem() == FItem) Control->CancelIncSearch();
  FIncSearch = AValue;
}

void TcxCustomEditContainerItemOptions::SetShowEditButtons(TcxEditItemShowEditButtons AValue) {
  if (AValue == FShowEditButtons) return;
  FShowEditButtons = AValue;
  Changed();
}

// ---- Control options ----------------------------------------------------------------------------

void TcxControlOptionsView::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxControlOptionsView*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  SetCellAutoHeight(Source->CellAutoHeight());
  SetCellEndEllipsis(Source->CellEndEllipsis());
  SetCellTextMaxLineCount(Source->CellTextMaxLineCount());
  SetScrollBars(Source->ScrollBars());
  SetShowEditButtons(Source->ShowEditButtons());
}

void TcxControlOptionsData::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxControlOptionsData*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  CancelOnExit = Source->CancelOnExit;
  SetEditing(Source->Editing());
}

void TcxControlOptionsData::SetEditing(bool AValue) {
  if (AValue == FEditing) return;
  FEditing = AValue;
  if (!AValue) FControl->SwitchEditedItem(nullptr);
  Changed();
}

void TcxControlOptionsBehavior::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxControlOptionsBehavior*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  AlwaysShowEditor = Source->AlwaysShowEditor;
  CellHints = Source->CellHints;
  DragDropText = Source->DragDropText;
  FocusCellOnCycle = Source->FocusCellOnCycle;
  GoToNextCellOnEnter = Source->GoToNextCellOnEnter;
  ImmediateEditor = Source->ImmediateEditor;
  SetGoToNextCellOnTab(Source->GoToNextCellOnTab());
  SetIncSearch(Source->IncSearch());
  SetIncSearchItem(Source->IncSearchItem());
  Changed();
}

void TcxControlOptionsBehavior::SetGoToNextCellOnTab(bool AValue) {
  if (AValue == FGoToNextCellOnTab) return;
  FGoToNextCellOnTab = AValue;
  FControl->SetWantsTabKey(AValue);
}

void TcxControlOptionsBehavior::SetIncSearch(bool AValue) {
  if (AValue == FIncSearch) return;
  if (!AValue) FControl->CancelIncSearch();
  FIncSearch = AValue;
}

void TcxControlOptionsBehavior::SetIncSearchItem(TcxCustomInplaceEditContainer* AValue) {
  if (AValue == FIncSearchItem) return;
  FControl->CancelIncSearch();
  FIncSearchItem = AValue;
}

// ---- TcxEditContainerStyles ---------------------------------------------------------------------

TcxEditContainerStyles::TcxEditContainerStyles(TcxCustomInplaceEditContainer* AItem) : TcxStyles(AItem), FItem(AItem) {}

void TcxEditContainerStyles::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxEditContainerStyles*>(ASource)) SetContent(Source->Content());
  inherited::Assign(ASource);
}

void TcxEditContainerStyles::ItemChanged(Integer) { FItem->Changed(); }

// ---- TcxCustomInplaceEditContainer --------------------------------------------------------------

TcxCustomInplaceEditContainer::TcxCustomInplaceEditContainer(TComponent* AOwner)
    : TComponent(AOwner),
      FDataBinding(std::make_unique<TcxItemDataBinding>(this)),
      FOptions(std::make_unique<TcxCustomEditContainerItemOptions>(this)),
      FStyles(std::make_unique<TcxEditContainerStyles>(this)) {}

TcxCustomInplaceEditContainer::~TcxCustomInplaceEditContainer() {
  FDestroying = true;
  SetRepositoryItem(nullptr);
  if (FDefaultRepositoryItem) FDefaultRepositoryItem->RemoveListener(this);
  FDefaultRepositoryItem = nullptr;
  SetEditingControl(nullptr);
  FResolvedProperties = nullptr;
  FEditViewData.reset();
  // The properties go before the binding, whose provider they refer to.
  FProperties.reset();
  FOptions.reset();
  FDataBinding.reset();
  FStyles.reset();
}

void TcxCustomInplaceEditContainer::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxCustomInplaceEditContainer*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  FDataBinding->Assign(Source->DataBinding());
  SetPropertiesClass(Source->PropertiesClass());
  SetProperties(Source->Properties());
  SetRepositoryItem(Source->RepositoryItem());
  FStyles->Assign(Source->Styles());
  OnGetEditProperties = Source->OnGetEditProperties;
}

void TcxCustomInplaceEditContainer::ReplaceDataBinding(std::unique_ptr<TcxItemDataBinding> ADataBinding) {
  // The properties in use may hold the old binding's provider; they let go
  // of it when it goes, and are given the new one below.
  FDataBinding = std::move(ADataBinding);
  if (FEditingControl)
    FDataBinding->ValueTypeClassChanged();
  else
    PropertiesChanged();
}

TcxControlDataController* TcxCustomInplaceEditContainer::DataController() const {
  return FEditingControl ? FEditingControl->GetControlDataController() : nullptr;
}

void TcxCustomInplaceEditContainer::SetEditingControl(IcxEditingControl* AValue) {
  if (AValue == FEditingControl) return;
  if (FEditingControl) FEditingControl->RemoveContainerItem(this);
  FEditingControl = AValue;
  if (!AValue) {
    FItemIndex = -1;
    return;
  }
  AValue->BeginUpdate();
  try {
    AValue->AddContainerItem(this);
    FDataBinding->ValueTypeClassChanged();
  } catch (...) {
    AValue->EndUpdate();
    throw;
  }
  AValue->EndUpdate();
  PropertiesChanged();
}

void TcxCustomInplaceEditContainer::SetProperties(TcxCustomEditProperties* AValue) {
  if (AValue && FProperties) FProperties->Assign(AValue);
}

void TcxCustomInplaceEditContainer::SetPropertiesClass(TcxCustomEditPropertiesClass AValue) {
  if (AValue == FPropertiesClass) return;
  if (FProperties && FEditingControl) FEditingControl->EditPropertiesRemoved(FProperties.get());
  if (FResolvedProperties == FProperties.get()) {
    FResolvedProperties = nullptr;
    FEditViewData.reset();
  }
  // What the old kind of editor kept for this item means nothing to the new one.
  FreeEditData();
  FProperties.reset();
  FPropertiesClass = AValue;
  if (AValue) FProperties.reset(AValue->Create(this));
  PropertiesChanged();
}

String TcxCustomInplaceEditContainer::PropertiesClassName() const {
  return FProperties ? FProperties->ClassName() : String();
}

void TcxCustomInplaceEditContainer::SetPropertiesClassName(const String& AValue) {
  if (AValue == PropertiesClassName()) return;
  TClass Class = GetEditPropertiesRegistry()->FindByClassName(AValue);
  SetPropertiesClass(dynamic_cast<TcxCustomEditPropertiesClass>(Class));
}

void TcxCustomInplaceEditContainer::SetRepositoryItem(TcxEditRepositoryItem* AValue) {
  if (AValue == FRepositoryItem) return;
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    if (FEditingControl) FEditingControl->EditPropertiesRemoved(FRepositoryItem->Properties());
  }
  FRepositoryItem = AValue;
  if (AValue) AValue->AddListener(this);
  PropertiesChanged();
}

void TcxCustomInplaceEditContainer::ItemRemoved(TcxEditRepositoryItem* Sender) {
  if (Sender != FRepositoryItem && Sender != FDefaultRepositoryItem) return;
  // The item is going: it is asked nothing more, and until it is gone the
  // registry may still answer it, so it is passed over while the
  // properties are resolved anew. Its property set is the one in use.
  Sender->RemoveListener(this);
  if (Sender == FRepositoryItem) FRepositoryItem = nullptr;
  if (Sender == FDefaultRepositoryItem) FDefaultRepositoryItem = nullptr;
  if (FEditingControl && FResolvedProperties) FEditingControl->EditPropertiesRemoved(FResolvedProperties);
  FResolvedProperties = nullptr;
  FDyingItem = Sender;
  PropertiesChanged();
  FDyingItem = nullptr;
}

void TcxCustomInplaceEditContainer::FreeEditData() {
  TcxCustomControlController* Controller = FEditingControl ? FEditingControl->GetController() : nullptr;
  if (!Controller) return;
  TcxEditingController* Editing = Controller->EditingController();
  // An open editor of this item, or one being hidden, still uses its data.
  if (Editing->IsHiding() || Editing->EditingItem() == this) return;
  Editing->FreeEditData(this);
}

void TcxCustomInplaceEditContainer::PropertiesChanged() {
  if (FDestroying) return;
  FreeEditData();
  FEditViewData.reset();
  FResolvedProperties = GetDefaultProperties();
  ListenToDefaultItem();
  if (!FResolvedProperties) {
    PropertiesChangedHook();
    return;
  }
  InitProperties(FResolvedProperties);
  if (auto* Control = dynamic_cast<TcxEditingControl*>(FEditingControl); Control && Control->EditStyle())
    FEditViewData.reset(FResolvedProperties->CreateViewData(Control->EditStyle(), true));
  // A repository item's property set reports to its item, which tells us.
  if (!FResolvedProperties->OnPropertiesChanged.Assigned())
    FResolvedProperties->OnPropertiesChanged = MakeEvent(this, &TcxCustomInplaceEditContainer::PropertiesChangedNotify);
  PropertiesChangedHook();
}

// While the property set in use is a default item's, the item is listened
// to, so its destruction cannot leave the property set dangling.
void TcxCustomInplaceEditContainer::ListenToDefaultItem() {
  TcxEditRepositoryItem* Wanted = nullptr;
  if (!FRepositoryItem && !FProperties && FResolvedProperties) Wanted = DefaultRepositoryItem();
  if (Wanted == FDefaultRepositoryItem) return;
  if (FDefaultRepositoryItem) FDefaultRepositoryItem->RemoveListener(this);
  FDefaultRepositoryItem = Wanted;
  if (Wanted) Wanted->AddListener(this);
}

TcxEditRepositoryItem* TcxCustomInplaceEditContainer::DefaultRepositoryItem() const {
  TcxEditRepositoryItem* Result = FDataBinding->GetDefaultRepositoryItem();
  return Result == FDyingItem ? nullptr : Result;
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::GetDefaultProperties() const {
  if (FRepositoryItem) return FRepositoryItem->Properties();
  if (FProperties) return FProperties.get();
  TcxEditRepositoryItem* Default = DefaultRepositoryItem();
  return Default ? Default->Properties() : nullptr;
}

void TcxCustomInplaceEditContainer::InitProperties(TcxCustomEditProperties* AProperties) {
  if (!AProperties) return;
  AProperties->BeginUpdate();
  AProperties->SetDefaultValuesProvider(FDataBinding->GetDefaultValuesProvider());
  AProperties->EndUpdate(false);
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::ResolveProperties(Integer ARecordIndex,
                                                                          TcxCustomEditProperties* AProperties,
                                                                          const TcxGetEditPropertiesEvent& AEvent) {
  TcxCustomEditProperties* Result = AProperties;
  if (AEvent.Assigned()) {
    AEvent(this, ARecordIndex, Result);
    if (!Result) Result = AProperties;
  }
  InitProperties(Result);
  return Result;
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::GetCellProperties(Integer ARecordIndex) {
  return ResolveProperties(ARecordIndex, FResolvedProperties, OnGetEditProperties);
}

TcxCustomEditProperties* TcxCustomInplaceEditContainer::GetCellEditingProperties(Integer ARecordIndex,
                                                                                 TcxCustomEditProperties* AProperties) {
  return ResolveProperties(ARecordIndex, AProperties, OnGetEditingProperties);
}

Variant TcxCustomInplaceEditContainer::GetCellValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex) {
  if (AProperties && AProperties->GetValueKind(false) == cxEditValueKindText)
    return Variant(DataController()->GetDisplayText(ARecordIndex, FItemIndex));
  return GetValue(ARecordIndex);
}

bool TcxCustomInplaceEditContainer::CanEdit() const {
  TcxControlDataController* DC = DataController();
  return CanFocus() && DC && FEditingControl->IsDataEditingEnabled() && FOptions->Editing() &&
         (DC->GetEditOperations() & dceopItemsEditable) && DC->GetRecordCount() > 0;
}

bool TcxCustomInplaceEditContainer::CanInitEditing() {
  TcxControlDataController* DC = DataController();
  return DC && DC->BeginRecordEdit(FItemIndex);
}

bool TcxCustomInplaceEditContainer::CanIncSearch() const {
  return FResolvedProperties && (FResolvedProperties->GetEditorFeatures() & cxEditFeatureIncSearch) &&
         FEditingControl && FEditingControl->IsIncSearchEnabled() && FOptions->IncSearch();
}

void TcxCustomInplaceEditContainer::Changed() {
  if (FEditingControl) FEditingControl->ItemLayoutChanged();
}

void TcxCustomInplaceEditContainer::DataChanged() {
  FDataBinding->Init();
  PropertiesChanged();
}

bool TcxCustomInplaceEditContainer::IsEditing() const {
  return FEditingControl && FEditingControl->EditingItem() == this;
}

Variant TcxCustomInplaceEditContainer::ReadEditValue() {
  if (!IsEditing()) return Variant();
  if (CountRecords() == 0) return Null();
  return DataController()->GetItemEditValue(FItemIndex, TcxDataEditValueSource(FEditValueKind));
}

bool TcxCustomInplaceEditContainer::WriteEditValue(const Variant& AValue) {
  return IsEditing() &&
         DataController()->SetItemEditValue(FItemIndex, AValue, TcxDataEditValueSource(FEditValueKind));
}

Variant TcxCustomInplaceEditContainer::GetValue(Integer ARecordIndex) const {
  return DataController()->GetValue(ARecordIndex, FItemIndex);
}

void TcxCustomInplaceEditContainer::SetValue(Integer ARecordIndex, const Variant& AValue) {
  DataController()->SetValue(ARecordIndex, FItemIndex, AValue);
}

Variant TcxCustomInplaceEditContainer::GetFocusedValue() const {
  return GetValue(DataController()->GetFocusedRecordIndex());
}

void TcxCustomInplaceEditContainer::SetFocusedValue(const Variant& AValue) {
  SetValue(DataController()->GetFocusedRecordIndex(), AValue);
}

Integer TcxCustomInplaceEditContainer::CountRecords() const {
  TcxControlDataController* DC = DataController();
  return DC ? DC->GetRecordCount() : 0;
}

void TcxCustomInplaceEditContainer::SetItemFocused(bool AValue) {
  if (!FEditingControl) return;
  if (AValue) {
    FEditingControl->SwitchEditedItem(this);
    if (FResolvedProperties) FEditValueKind = FResolvedProperties->GetValueKind(true);
  } else if (IsEditing()) {
    FEditingControl->SwitchEditedItem(nullptr);
  }
}

void TcxCustomInplaceEditContainer::ApplyIncSearchColors(TcxCustomEditViewData* AViewData, TColor ATextColor,
                                                         TColor ABackgroundColor) const {
  AViewData->SelTextColor = cxInvertedColor(ATextColor);
  AViewData->SelBackgroundColor = cxInvertedColor(ABackgroundColor);
}

// ---- Measuring ----------------------------------------------------------------------------

TcxCanvas* TcxCustomInplaceEditContainer::GetCanvas() const {
  auto* Control = dynamic_cast<TcxEditingControl*>(FEditingControl);
  return Control && Control->HandleAllocated() ? Control->cxCanvas() : ContainerScreenCanvas();
}

TSize TcxCustomInplaceEditContainer::CalcEditSizeForProperties(TcxCustomEditViewData* AViewData, TcxCanvas* ACanvas,
                                                               TFont* AFont, const String& AText, Integer AWidth,
                                                               Integer AMaxLineCount, Cardinal AFlags) {
  // The frame, and what the editor shows for no value (a text editor's
  // empty line, a check box's glyph): the text's line is not counted twice.
  TSize Frame{0, 0}, Empty{0, 0};
  if (AViewData) {
    Frame = AViewData->CalcFrameExtent(ACanvas, nullptr);
    Empty = AViewData->CalcContentExtent(ACanvas, Null(), TcxEditSizeProperties{});
  }
  TFont Saved;
  Saved.Assign(ACanvas->GetFont());
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  // An unbounded width is a width no text reaches.
  constexpr Integer UnboundedWidth = 1 << 20;
  const Integer TextWidth = AWidth > 0 ? std::max(1, AWidth - Frame.cx - Empty.cx) : UnboundedWidth;
  TRect Text{0, 0, TextWidth, 0};
  // An empty text measures as a row of the font's height.
  const String Measured = AText.empty() ? String(u"Qq") : AText;
  cxTextOut(ACanvas, Measured, Text, (AFlags & ~cxtlEndEllipsis) | cxtlCalcRect, -1, 0, clHighlight,
            clHighlightText, AMaxLineCount);
  ACanvas->GetFont()->Assign(&Saved);
  const Integer Width = AText.empty() ? 0 : Text.Width();
  return TSize{Frame.cx + Empty.cx + Width, Frame.cy + std::max(Empty.cy, Text.Height())};
}

Integer TcxCustomInplaceEditContainer::GetDefaultEditHeight(TFont* AFont) const {
  auto* Control = dynamic_cast<TcxEditingControl*>(FEditingControl);
  if (!AFont && Control) AFont = Control->Font();
  if (FEditViewData) FEditViewData->ContentOffset = TRect{};
  return CalcEditSizeForProperties(FEditViewData.get(), GetCanvas(), AFont, String(), 0, 1, cxtlSingleLine).cy;
}

Integer TcxCustomInplaceEditContainer::CalcCellHeight(TcxEditCellViewInfo* ACell) const {
  const TRect Offset = ACell->GetContentOffset();
  const Integer Width = WidthOfRect(ACell->ContentRect()) - Offset.Left - Offset.Right;
  const TSize Size = CalcEditSizeForProperties(ACell->ViewData(), GetCanvas(), ACell->ViewParams().Font,
                                               ACell->GetDisplayText(), std::max(1, Width), ACell->GetMaxLineCount(),
                                               ACell->GetTextFlags());
  Integer Height = Size.cy + Offset.Top + Offset.Bottom;
  if (ACell->Borders() & BorderBit(bTop)) ++Height;
  if (ACell->Borders() & BorderBit(bBottom)) ++Height;
  return Height;
}

Integer TcxCustomInplaceEditContainer::CalcCellWidth(TcxEditCellViewInfo* ACell) const {
  const TRect Offset = ACell->GetContentOffset();
  const TSize Size = CalcEditSizeForProperties(ACell->ViewData(), GetCanvas(), ACell->ViewParams().Font,
                                               ACell->GetDisplayText(), 0, 1, cxtlSingleLine);
  return Size.cx + Offset.Left + Offset.Right;
}

// ---- Through the control's controller -----------------------------------------------------

TcxCustomControlController* TcxCustomInplaceEditContainer::GetController() const {
  return FEditingControl ? FEditingControl->GetController() : nullptr;
}

bool TcxCustomInplaceEditContainer::IsFocusedItem() const {
  TcxCustomControlController* Controller = GetController();
  return Controller && Controller->FocusedItem() == this;
}

TcxEditCellViewInfo* TcxCustomInplaceEditContainer::FocusedCellViewInfo() const {
  TcxCustomControlController* Controller = GetController();
  return Controller ? Controller->GetFocusedCellViewInfo(const_cast<TcxCustomInplaceEditContainer*>(this)) : nullptr;
}

bool TcxCustomInplaceEditContainer::IsCellVisible() const {
  TcxEditCellViewInfo* Cell = FocusedCellViewInfo();
  return Cell && !IsRectEmpty(Cell->ClipRect());
}
