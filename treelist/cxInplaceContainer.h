#pragma once
// The in-place editing container: the items (columns) of an editing control
// with their editor settings and data binding, the data controller the
// control owns, the value type name table, and the option objects of items.
#include <memory>
#include <utility>
#include <vector>

#include "data/cxData.h"
#include "data/cxDataStorage.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditViewInfo.h"
#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "foundation/cxStyles.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/types.h"

class TcxCustomInplaceEditContainer;
class TcxControlDataController;
class TcxCustomControlController;
class TcxEditCellViewInfo;
class TcxCustomEditData;

// ---- Owned persistents --------------------------------------------------------------------

// A persistent object that answers the owner it was made for.
class TcxOwnedPersistent : public TPersistent {
  KORVANE_CLASS(TcxOwnedPersistent, TPersistent)
  explicit TcxOwnedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;
};

// The same, for the objects that serve an interface; their lifetime stays
// their owner's business.
class TcxOwnedInterfacedPersistent : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxOwnedInterfacedPersistent, TcxOwnedPersistent)
  using TcxOwnedPersistent::TcxOwnedPersistent;
};

// ---- The data controller of an editing control ----------------------------------------------

// What the data controller of an editing control asks of the control.
class IcxControlDataControllerOwner {
public:
  virtual ~IcxControlDataControllerOwner() = default;
  // The control's item list (columns), 0 .. count - 1.
  virtual TObject* GetControlItem(Integer AIndex) const = 0;
  // Every change notice of the data controller (the caller frees it).
  virtual void ApplyDataChange(TcxUpdateControlInfo*) {}
  // An edit is pending: the open in-place editor's value goes into the record.
  virtual void StoreCellEditorValue() {}
};

// The data controller an editing control owns: items are the control's
// columns and every notice goes to the control.
class TcxControlDataController : public TcxDataController {
  KORVANE_CLASS(TcxControlDataController, TcxDataController)

  TcxControlDataController(TComponent* AOwner, IcxControlDataControllerOwner* AControl)
      : TcxDataController(AOwner), FControl(AControl) {}

  IcxControlDataControllerOwner* Control() const { return FControl; }
  TObject* GetItem(Integer AIndex) const override { return FControl->GetControlItem(AIndex); }
  void NotifyControl(TcxUpdateControlInfo* AInfo) override;
  void UpdateControlData() override { FControl->StoreCellEditorValue(); }

private:
  IcxControlDataControllerOwner* FControl;
};

// ---- What an item asks of its editing control ---------------------------------------------

class IcxEditingControl {
public:
  virtual ~IcxEditingControl() = default;
  virtual TcxControlDataController* GetControlDataController() const = 0;
  // Appends the item to the item list (its index becomes its position) and
  // gives it a data field; removing takes both away and renumbers.
  virtual void AddContainerItem(TcxCustomInplaceEditContainer* AItem) = 0;
  virtual void RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) = 0;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // The layout is computed anew with the styles.
  virtual void ItemLayoutChanged() {}
  // OptionsData.Editing and OptionsBehavior.IncSearch of the control.
  virtual bool IsDataEditingEnabled() const { return true; }
  virtual bool IsIncSearchEnabled() const { return false; }
  // The editing controller: the edited item, and a switch to another one
  // (nullptr ends editing without storing the editor's value).
  virtual TcxCustomInplaceEditContainer* EditingItem() const { return nullptr; }
  virtual void SwitchEditedItem(TcxCustomInplaceEditContainer*) {}
  // The running incremental search.
  virtual TcxCustomInplaceEditContainer* IncSearchItem() const { return nullptr; }
  virtual void CancelIncSearch() {}
  // A property set goes: an editor using it ends and its cached editor is dropped.
  virtual void EditPropertiesRemoved(TcxCustomEditProperties*) {}
  // The behaviour options changed: the selection colours are refreshed.
  virtual void BehaviorChanged() {}
  // Whether the control asks the platform for the Tab key.
  virtual void SetWantsTabKey(bool) {}
  // The controller of a window control (nullptr for one without).
  virtual TcxCustomControlController* GetController() const { return nullptr; }
};

// ---- Control options ----------------------------------------------------------------------

enum TcxEditingControlEditShowButtons { ecsbAlways, ecsbFocused, ecsbNever };

class TcxControlOptionsView : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxControlOptionsView, TcxOwnedPersistent)
  TcxControlOptionsView(TPersistent* AOwner, IcxEditingControl* AControl)
      : TcxOwnedPersistent(AOwner), FControl(AControl) {}
  void Assign(TPersistent* ASource) override;
  // The layout is computed anew.
  virtual void Changed() { FControl->ItemLayoutChanged(); }

  bool CellAutoHeight() const { return FCellAutoHeight; }
  void SetCellAutoHeight(bool AValue) { Set(FCellAutoHeight, AValue); }
  bool CellEndEllipsis() const { return FCellEndEllipsis; }
  void SetCellEndEllipsis(bool AValue) { Set(FCellEndEllipsis, AValue); }
  Integer CellTextMaxLineCount() const { return FCellTextMaxLineCount; }
  void SetCellTextMaxLineCount(Integer AValue) { Set(FCellTextMaxLineCount, AValue); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle AValue) { Set(FScrollBars, AValue); }
  TcxEditingControlEditShowButtons ShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TcxEditingControlEditShowButtons AValue) { Set(FShowEditButtons, AValue); }

private:
  template <class T>
  void Set(T& AField, T AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }
  IcxEditingControl* FControl;
  bool FCellAutoHeight = false;
  bool FCellEndEllipsis = false;
  Integer FCellTextMaxLineCount = 0;
  TScrollStyle FScrollBars = ssBoth;
  TcxEditingControlEditShowButtons FShowEditButtons = ecsbNever;
};

class TcxControlOptionsData : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxControlOptionsData, TcxOwnedPersistent)
  TcxControlOptionsData(TPersistent* AOwner, IcxEditingControl* AControl)
      : TcxOwnedPersistent(AOwner), FControl(AControl) {}
  void Assign(TPersistent* ASource) override;
  virtual void Changed() {}

  bool CancelOnExit = true;
  bool Editing() const { return FEditing; }
  // False ends an open editor without storing its value.
  void SetEditing(bool AValue);

private:
  IcxEditingControl* FControl;
  bool FEditing = true;
};

class TcxControlOptionsBehavior : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxControlOptionsBehavior, TcxOwnedPersistent)
  TcxControlOptionsBehavior(TPersistent* AOwner, IcxEditingControl* AControl)
      : TcxOwnedPersistent(AOwner), FControl(AControl) {}
  void Assign(TPersistent* ASource) override;
  // The selection colours are refreshed.
  virtual void Changed() { FControl->BehaviorChanged(); }

  bool AlwaysShowEditor = false;
  bool CellHints = false;
  bool DragDropText = false;
  bool FocusCellOnCycle = false;
  bool GoToNextCellOnEnter = false;
  bool ImmediateEditor = true;
  bool GoToNextCellOnTab() const { return FGoToNextCellOnTab; }
  // Also asks the platform for the Tab key (or stops asking).
  void SetGoToNextCellOnTab(bool AValue);
  bool IncSearch() const { return FIncSearch; }
  // False cancels a running search.
  void SetIncSearch(bool AValue);
  TcxCustomInplaceEditContainer* IncSearchItem() const { return FIncSearchItem; }
  // Any change cancels a running search.
  void SetIncSearchItem(TcxCustomInplaceEditContainer* AValue);

private:
  IcxEditingControl* FControl;
  bool FGoToNextCellOnTab = false;
  bool FIncSearch = false;
  TcxCustomInplaceEditContainer* FIncSearchItem = nullptr;
};

// ---- Value type names ---------------------------------------------------------------------

// Names of the data controller's value types, as items store them.
class TcxValueTypeClassRepository : public TObject {
  KORVANE_CLASS(TcxValueTypeClassRepository, TObject)

  // Adds the name unless the class is present already.
  void Register(TcxValueTypeClass AClass, const String& AName);
  // The name of the first entry with the class, or "".
  String GetNameByClass(TcxValueTypeClass AClass) const;
  // Compared without regard to case; nullptr when absent.
  TcxValueTypeClass GetClassByName(const String& AName) const;
  Integer Count() const { return Integer(FItems.size()); }

private:
  std::vector<std::pair<String, TcxValueTypeClass>> FItems;
};

// The program's table, filled on first use with "Boolean", "String",
// "Integer", "Currency", "Float", "DateTime" and "Variant".
TcxValueTypeClassRepository* cxValueTypeClassRepository();

// ---- Item data binding --------------------------------------------------------------------

// Its item's binding answers no display format.
class TcxContainerItemDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
  KORVANE_CLASS(TcxContainerItemDefaultValuesProvider, TcxCustomEditDefaultValuesProvider)
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  bool HasDisplayFormat(bool) override { return false; }
};

class TcxCustomItemDataBinding : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxCustomItemDataBinding, TcxOwnedPersistent)

  explicit TcxCustomItemDataBinding(TcxCustomInplaceEditContainer* AItem);
  ~TcxCustomItemDataBinding() override;
  TcxCustomInplaceEditContainer* Item() const { return FItem; }

  // The repository item the value-type registry gives for the value type
  // (its default item, or nullptr, for a type without registration).
  virtual TcxEditRepositoryItem* GetDefaultRepositoryItem() const;
  virtual IcxEditDefaultValuesProvider* GetDefaultValuesProvider() const { return FDefaultValuesProvider.get(); }
  virtual TcxValueTypeClass CurrentValueTypeClass() const { return TcxStringValueType::StaticClass(); }
  virtual void Init() {}
  // The data controller takes the item's new value type; the item's
  // properties are recomputed.
  virtual void ValueTypeClassChanged();

protected:
  // Made by the constructor, which cannot reach a descendant's class; a
  // descendant that answers another provider recreates it.
  std::unique_ptr<TcxCustomEditDefaultValuesProvider> FDefaultValuesProvider;

private:
  TcxCustomInplaceEditContainer* FItem;
};

class TcxItemDataBinding : public TcxCustomItemDataBinding {
  KORVANE_CLASS(TcxItemDataBinding, TcxCustomItemDataBinding)
  using TcxCustomItemDataBinding::TcxCustomItemDataBinding;

  // From another item binding: the value type; other sources are ignored.
  void Assign(TPersistent* ASource) override;
  TcxValueTypeClass CurrentValueTypeClass() const override;
  TcxValueTypeClass ValueTypeClass() const { return FValueTypeClass; }
  void SetValueTypeClass(TcxValueTypeClass AValue);
  // The class's name in the value type table ("" for a class without one).
  String ValueType() const;
  // A name the table does not hold changes nothing.
  void SetValueType(const String& AValue);
  // Stored only when it differs from "String".
  bool IsValueTypeStored() const;

private:
  TcxValueTypeClass FValueTypeClass = nullptr;
};

// ---- Item options -------------------------------------------------------------------------

enum TcxEditItemShowEditButtons { eisbDefault, eisbNever, eisbAlways };

class TcxCustomEditContainerItemOptions : public TcxOwnedPersistent {
  KORVANE_CLASS(TcxCustomEditContainerItemOptions, TcxOwnedPersistent)

  explicit TcxCustomEditContainerItemOptions(TcxCustomInplaceEditContainer* AItem);
  void Assign(TPersistent* ASource) override;
  virtual void Changed();

  bool Customizing = true;
  bool Focusing = true;
  bool Moving = true;
  bool Sorting = true;
  bool TabStop = true;
  bool Editing() const { return FEditing; }
  // False stops editing the item, dropping what was typed.
  void SetEditing(bool AValue);
  bool IncSearch() const { return FIncSearch; }
  // False cancels a search running on the item.
  void SetIncSearch(bool AValue);
  TcxEditItemShowEditButtons ShowEditButtons() const { return FShowEditButtons; }
  void SetShowEditButtons(TcxEditItemShowEditButtons AValue);

private:
  TcxCustomInplaceEditContainer* FItem;
  bool FEditing = true;
  bool FIncSearch = true;
  TcxEditItemShowEditButtons FShowEditButtons = eisbDefault;
};

// ---- Item styles --------------------------------------------------------------------------

class TcxEditContainerStyles : public TcxStyles {
  KORVANE_CLASS(TcxEditContainerStyles, TcxStyles)
  explicit TcxEditContainerStyles(TcxCustomInplaceEditContainer* AItem);
  enum { ContentIndex = 0 };
  // Content, then what the base copies.
  void Assign(TPersistent* ASource) override;
  TcxStyle* Content() const { return GetIndexedStyle(ContentIndex); }
  void SetContent(TcxStyle* AValue) { SetIndexedStyle(ContentIndex, AValue); }

protected:
  // Any change: the item's control lays out anew.
  void ItemChanged(Integer AIndex) override;

private:
  TcxCustomInplaceEditContainer* FItem;
};

// ---- The item -----------------------------------------------------------------------------

// Editor feature bit: the editor supports incremental search.
inline constexpr TcxEditEditorFeatures cxEditFeatureIncSearch = 0x20;

using TcxGetEditPropertiesEvent =
    TEvent<void(TcxCustomInplaceEditContainer* Sender, Integer ARecordIndex, TcxCustomEditProperties*& AProperties)>;

// The colours of text highlighted by an incremental search: the cell's own
// colours inverted. System colours are resolved first, so the result is a
// real colour and not a flipped system-colour code.
inline TColor cxInvertedColor(TColor AColor) { return ColorToRGB(AColor) ^ 0x00FFFFFF; }

class TcxCustomInplaceEditContainer : public TComponent, public IcxEditRepositoryItemListener {
  KORVANE_CLASS(TcxCustomInplaceEditContainer, TComponent)

  explicit TcxCustomInplaceEditContainer(TComponent* AOwner);
  ~TcxCustomInplaceEditContainer() override;
  // From another item: binding, properties class and settings, repository
  // item, styles and OnGetEditProperties.
  void Assign(TPersistent* ASource) override;

  IcxEditingControl* EditingControl() const { return FEditingControl; }
  // Leaves the old control and joins the new one (see the class notes).
  virtual void SetEditingControl(IcxEditingControl* AValue);
  Integer ItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer AValue) { FItemIndex = AValue; }
  TcxItemDataBinding* DataBinding() const { return FDataBinding.get(); }
  TcxCustomEditContainerItemOptions* Options() const { return FOptions.get(); }
  TcxEditContainerStyles* Styles() const { return FStyles.get(); }
  void SetStyles(TcxEditContainerStyles* AValue) { FStyles->Assign(AValue); }

  // ---- Editor settings ----
  // The own property set (nullptr without a class); writing assigns into it.
  TcxCustomEditProperties* Properties() const { return FProperties.get(); }
  void SetProperties(TcxCustomEditProperties* AValue);
  TcxCustomEditPropertiesClass PropertiesClass() const { return FPropertiesClass; }
  void SetPropertiesClass(TcxCustomEditPropertiesClass AValue);
  // The registered class name; an unknown name sets no class.
  String PropertiesClassName() const;
  void SetPropertiesClassName(const String& AValue);
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* AValue);
  // The property set in use now.
  TcxCustomEditProperties* ResolvedProperties() const { return FResolvedProperties; }
  // Frees the edit data kept for this item (unless its editor is open or
  // being hidden), then takes the property set in use anew.
  void PropertiesChanged();
  TcxGetEditPropertiesEvent OnGetEditProperties;
  TcxGetEditPropertiesEvent OnGetEditingProperties;

  // ---- Slots ----
  virtual bool CanEdit() const;
  virtual bool CanFocus() const { return FOptions->Focusing; }
  virtual bool CanInitEditing();
  virtual bool CanIncSearch() const;
  virtual bool CanTabStop() const { return FOptions->TabStop; }
  virtual void Changed();
  virtual void DataChanged();
  TcxCustomEditProperties* ResolveProperties(Integer ARecordIndex, TcxCustomEditProperties* AProperties,
                                             const TcxGetEditPropertiesEvent& AEvent);
  virtual TcxCustomEditProperties* GetCellProperties(Integer ARecordIndex);
  virtual TcxCustomEditProperties* GetCellEditingProperties(Integer ARecordIndex, TcxCustomEditProperties* AProperties);
  virtual TcxCustomEditProperties* GetDefaultProperties() const;
  // The record's value, or its display text when the properties show text.
  virtual Variant GetCellValue(TcxCustomEditProperties* AProperties, Integer ARecordIndex);
  virtual TcxValueTypeClass CurrentValueTypeClass() const { return FDataBinding->CurrentValueTypeClass(); }
  virtual bool IsEditing() const;
  // Edited with records: the edit value; edited without: Null; else unassigned.
  virtual Variant ReadEditValue();
  // Only while edited; false when the record took no value.
  virtual bool WriteEditValue(const Variant& AValue);
  virtual Variant GetValue(Integer ARecordIndex) const;
  virtual void SetValue(Integer ARecordIndex, const Variant& AValue);
  virtual Variant GetFocusedValue() const;
  virtual void SetFocusedValue(const Variant& AValue);
  virtual Integer CountRecords() const;
  virtual void InitProperties(TcxCustomEditProperties* AProperties);
  virtual void SetItemFocused(bool AValue);
  // ---- Measuring ----
  // The edit view data the cells showing the resolved properties share
  // (nullptr without a control or properties).
  TcxCustomEditViewData* EditViewData() const { return FEditViewData.get(); }
  // The control's canvas when it has a window, else a screen canvas.
  TcxCanvas* GetCanvas() const;
  // The size an editor of AViewData needs for AText in AFont laid out by
  // AFlags: the view data's frame (border, buttons) and the text. AWidth
  // (0: unbounded) limits the editor's width and AMaxLineCount (0: all) its
  // rows; an empty text still takes one row.
  static TSize CalcEditSizeForProperties(TcxCustomEditViewData* AViewData, TcxCanvas* ACanvas, TFont* AFont,
                                         const String& AText, Integer AWidth, Integer AMaxLineCount,
                                         Cardinal AFlags);
  // The height of an editor for no value in AFont (the control's when
  // nullptr), without content offsets.
  virtual Integer GetDefaultEditHeight(TFont* AFont = nullptr) const;
  // The height the cell needs for its value within its content width and
  // the control's line limit, plus its top and bottom borders.
  virtual Integer CalcCellHeight(TcxEditCellViewInfo* ACell) const;
  // The width the cell's editor needs for its value on one row.
  virtual Integer CalcCellWidth(TcxEditCellViewInfo* ACell) const;

  // The incremental-search highlight of a cell in the view data.
  void ApplyIncSearchColors(TcxCustomEditViewData* AViewData, TColor ATextColor, TColor ABackgroundColor) const;
  Integer EditValueKind() const { return FEditValueKind; }
  // ---- Through the control's controller ----
  TcxCustomControlController* GetController() const;
  bool IsFocusedItem() const;
  // The cell of this item in the focused row (nullptr when none shows).
  TcxEditCellViewInfo* FocusedCellViewInfo() const;
  bool IsCellVisible() const;
  // ---- IcxEditRepositoryItemListener ----
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  void PropertiesChanged(TcxEditRepositoryItem*) override { PropertiesChanged(); }

protected:
  virtual void PropertiesChangedHook() { Changed(); }
  void PropertiesChangedNotify(TObject*) { PropertiesChanged(); }
  // A descendant's constructor puts its own styles table in place.
  void ReplaceStyles(std::unique_ptr<TcxEditContainerStyles> AStyles) { FStyles = std::move(AStyles); }
  // A descendant's constructor puts its own options object in place.
  void ReplaceOptions(std::unique_ptr<TcxCustomEditContainerItemOptions> AOptions) { FOptions = std::move(AOptions); }
  // A descendant's constructor puts its own kind of data binding in place
  // (the binding's class is the item's kind, so a constructor chooses it).
  // An item already in a control gives the control the new binding's value
  // type and resolves its properties anew: the new binding answers the
  // default editor of an item without own properties or repository item.
  void ReplaceDataBinding(std::unique_ptr<TcxItemDataBinding> ADataBinding);

private:
  // Frees what the item's editors kept between activations.
  void FreeEditData();
  TcxControlDataController* DataController() const;
  TcxEditRepositoryItem* DefaultRepositoryItem() const;
  void ListenToDefaultItem();

  IcxEditingControl* FEditingControl = nullptr;
  Integer FItemIndex = -1;
  std::unique_ptr<TcxItemDataBinding> FDataBinding;
  std::unique_ptr<TcxCustomEditContainerItemOptions> FOptions;
  std::unique_ptr<TcxEditContainerStyles> FStyles;
  TcxCustomEditPropertiesClass FPropertiesClass = nullptr;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  // Made from the resolved properties; goes before them.
  std::unique_ptr<TcxCustomEditViewData> FEditViewData;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  // The registry's item whose property set is in use, listened to.
  TcxEditRepositoryItem* FDefaultRepositoryItem = nullptr;
  // An item being destroyed, passed over while the properties are resolved.
  TcxEditRepositoryItem* FDyingItem = nullptr;
  TcxCustomEditProperties* FResolvedProperties = nullptr;
  Integer FEditValueKind = cxEditValueKindValue;
  bool FDestroying = false;
};
