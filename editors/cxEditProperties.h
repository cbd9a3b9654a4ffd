#pragma once
// Editor properties: the property set that describes one editor kind,
// separate from the editor control.
//
// A property set serves a stand-alone editor, a repository item, or every
// cell of a tree list column. It names the classes that belong to its kind
// (editor control, styles, view data, view info), holds the shared settings
// (alignment, read-only, buttons, keys, events), records which settings were
// assigned explicitly, asks a default values provider for the rest and tells
// its single owner of every change through one change callback. Changes made
// between BeginUpdate and EndUpdate(true) are told once, at the outermost
// close.
//
// The editor kinds are listed in the editor properties registry
// (GetEditPropertiesRegistry) with a display text "Name|Description".
#include <memory>

#include "editors/cxEditStyles.h"
#include "foundation/cxClasses.h"
#include "platform/gui/bitmap.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/variant.h"

// ---------------------------------------------------------------------------
// Small types

using TShortCut = Word;
using TCaption = String;

enum TcxEditVertAlignment : Integer { taTopJustify, taBottomJustify, taVCenter };
enum TcxEditButtonKind : Integer { bkEllipsis, bkDown, bkGlyph, bkText };

// Where the buttons go: beside the content, buttons only, or buttons only
// with automatic width.
using TcxEditButtonsViewStyle = Byte;
enum : TcxEditButtonsViewStyle { cxbvsNormal = 0, cxbvsButtonsOnly = 1, cxbvsButtonsAutoWidth = 2 };

// GetEditorFeatures: a 16-bit set.
using TcxEditEditorFeatures = Word;
inline constexpr TcxEditEditorFeatures cxEditFeatureHasButtons = 16;

// GetDisplayFormatOptions: bit 0 a display format applies; bit 1 an edit
// format applies.
using TcxEditDisplayFormatOptions = Cardinal;
inline constexpr TcxEditDisplayFormatOptions cxdfoDisplayFormat = 1;
inline constexpr TcxEditDisplayFormatOptions cxdfoEditFormat = 2;

// GetValueKind: the editor works on the value or on the text.
inline constexpr Integer cxEditValueKindValue = 0;
inline constexpr Integer cxEditValueKindText = 1;

// Ctrl+Enter.
inline constexpr TShortCut cxDefaultEditClickKey = 16397;

// ---------------------------------------------------------------------------
// Message texts

inline constexpr TResourceString cxSEditValidateErrorText{65074,
                                                          u"Invalid input value. Use escape key to abandon changes"};
// The display texts of the editor kinds in the registry.
inline constexpr TResourceString cxSEditBlobEditKind{65056, u"BlobEdit|Represents the BLOB editor"};
inline constexpr TResourceString cxSEditButtonEditKind{65057,
                                                       u"ButtonEdit|Represents an edit control with embedded buttons"};
inline constexpr TResourceString cxSEditCalcEditKind{
    65058, u"CalcEdit|Represents an edit control with a dropdown calculator window"};
inline constexpr TResourceString cxSEditCheckBoxKind{
    65059, u"CheckBox|Represents a check box control that allows selecting an option"};
inline constexpr TResourceString cxSEditComboBoxKind{65060, u"ComboBox|Represents the combo box editor"};
inline constexpr TResourceString cxSEditCurrencyEditKind{
    65061, u"CurrencyEdit|Represents an editor enabling editing currency data"};
inline constexpr TResourceString cxSEditDateEditKind{65062,
                                                     u"DateEdit|Represents an edit control with a dropdown calendar"};
inline constexpr TResourceString cxSEditHyperLinkKind{
    65063, u"HyperLink|Represents a text editor with hyperlink functionality"};
inline constexpr TResourceString cxSEditImageComboBoxKind{
    65064,
    u"ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"};
inline constexpr TResourceString cxSEditImageKind{65065, u"Image|Represents an image editor"};
inline constexpr TResourceString cxSEditLookupComboBoxKind{65066,
                                                           u"LookupComboBox|Represents a lookup combo box control"};
inline constexpr TResourceString cxSEditMaskEditKind{65043, u"MaskEdit|Represents a generic masked edit control."};
inline constexpr TResourceString cxSEditMemoKind{65067,
                                                 u"Memo|Represents an edit control that allows editing memo data"};
inline constexpr TResourceString cxSEditMRUEditKind{
    65068,
    u"MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown "
    u"window"};
inline constexpr TResourceString cxSEditPopupEditKind{65069,
                                                      u"PopupEdit|Represents an edit control with a dropdown list"};
inline constexpr TResourceString cxSEditRadioGroupKind{65070, u"RadioGroup|Represents a group of radio buttons"};
inline constexpr TResourceString cxSEditSpinEditKind{65071, u"SpinEdit|Represents a spin editor"};
inline constexpr TResourceString cxSEditTextEditKind{65072, u"TextEdit|Represents a single line text editor"};
inline constexpr TResourceString cxSEditTimeEditKind{65073, u"TimeEdit|Represents an editor displaying time values"};

// ---------------------------------------------------------------------------
// Classes of the editor model that live in other files of the unit

class TcxCustomEditProperties;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxCustomEdit;

// The editor control unit defines this metaclass (TcxCustomEdit names it as
// its MetaClass), so that TcxSomeEdit::StaticClass() is a TcxCustomEditClass.
class TcxCustomEditMetaClass;
using TcxCustomEditClass = const TcxCustomEditMetaClass*;

// A view data is built for a property set, a style and the in-place flag.
using TcxCustomEditViewDataMetaClass =
    TConstructorMetaClass<TcxCustomEditViewData, TcxCustomEditProperties*, TcxCustomEditStyle*, bool>;
using TcxCustomEditViewDataClass = const TcxCustomEditViewDataMetaClass*;
using TcxCustomEditViewInfoClass = TcxContainerViewInfoClass;

// ---------------------------------------------------------------------------
// Events

using TcxEditButtonClickEvent = TEvent<void(TObject* Sender, Integer AButtonIndex)>;
using TcxEditValidateEvent = TEvent<void(TObject* Sender, Variant& DisplayValue, TCaption& ErrorText, bool& Error)>;

// ---------------------------------------------------------------------------
// TcxEditButton, TcxEditButtons: the buttons of an editor.

class TcxEditButton : public TCollectionItem {
  KORVANE_CLASS(TcxEditButton, TCollectionItem)
  // The first button of a collection whose owning component is being
  // designed (and not loaded) becomes the default button.
  explicit TcxEditButton(TCollection* ACollection);
  ~TcxEditButton() override;

  // Caption, visible caption, default, enabled, glyph, kind, left
  // alignment, stretchable, text colour, visible and width, inside the
  // collection's update bracket.
  void Assign(TPersistent* Source) override;

  const TCaption& Caption() const { return FCaption; }
  void SetCaption(const TCaption& Value);
  // The caption without hot-key prefixes: "&&" gives "&", a lone "&" is
  // dropped, a trailing "&" gives "_".
  const String& VisibleCaption() const { return FVisibleCaption; }
  bool Default() const { return FDefault; }
  // True clears Default on every other button of the collection first.
  void SetDefault(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Created on first read; its changes are the button's changes.
  TBitmap* Glyph();
  bool HasGlyph() const { return FGlyph != nullptr; }
  void SetGlyph(TBitmap* Value);
  TcxEditButtonKind Kind() const { return FKind; }
  void SetKind(TcxEditButtonKind Value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool Stretchable() const { return FStretchable; }
  void SetStretchable(bool Value);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // 0 (and anything below 1) means automatic.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);

private:
  void GlyphChanged(TObject* Sender);

  TCaption FCaption;
  String FVisibleCaption;
  bool FDefault = false;
  bool FEnabled = true;
  std::unique_ptr<TBitmap> FGlyph;
  TcxEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FStretchable = true;
  TColor FTextColor = clBtnText;
  bool FVisible = true;
  Integer FWidth = 0;
};

class TcxEditButtons : public TOwnedCollection {
  KORVANE_CLASS(TcxEditButtons, TOwnedCollection)
  explicit TcxEditButtons(TPersistent* AOwner);

  TcxEditButton* Add() { return static_cast<TcxEditButton*>(TCollection::Add()); }
  // Raises EListError when out of range.
  TcxEditButton* GetButton(Integer Index) const { return static_cast<TcxEditButton*>(Items(Index)); }
  TcxEditButton* operator[](Integer Index) const { return GetButton(Index); }
  Integer VisibleCount() const;

protected:
  // Tells the owning property set (ButtonsChanged).
  void Update(TCollectionItem* Item) override;
};

// The hot-key prefixes of a caption removed (see TcxEditButton::VisibleCaption).
String RemoveAccelChars(const String& ACaption);

// ---------------------------------------------------------------------------
// TcxEditAlignment

class TcxEditAlignment : public TPersistent {
  KORVANE_CLASS(TcxEditAlignment, TPersistent)
  explicit TcxEditAlignment(TPersistent* AOwner) : FOwner(AOwner) {}

  // Vert, Horz and its assigned flag; then the change notice.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  TAlignment Horz() const { return FHorz; }
  // Marks Horz assigned and notifies, unless already assigned with Value.
  void SetHorz(TAlignment Value);
  bool IsHorzAssigned() const { return FHorzAssigned; }
  TcxEditVertAlignment Vert() const { return FVert; }
  // Notifies on a change only.
  void SetVert(TcxEditVertAlignment Value);
  // Clears the assigned flag of Horz and notifies.
  void Reset();

  bool IsHorzStored() const { return FHorzAssigned; }
  bool IsVertStored() const { return FVert != taTopJustify; }

  TNotifyEvent OnChanged;

private:
  friend class TcxCustomEditProperties;
  void Changed() { OnChanged(this); }

  TPersistent* FOwner;
  TAlignment FHorz = taLeftJustify;
  bool FHorzAssigned = false;
  TcxEditVertAlignment FVert = taTopJustify;
};

// ---------------------------------------------------------------------------
// The default values provider

// Answers the defaults of settings that a property set leaves unassigned.
class IcxEditDefaultValuesProvider {
public:
  virtual ~IcxEditDefaultValuesProvider() = default;
  // Removes the provider from every property set that refers to it.
  virtual void ClearUsages() = 0;
  virtual TAlignment ProvideAlignment() = 0;
  virtual Integer ProvideBlobKind() = 0;
  virtual bool ProvideCanModify() = 0;
  virtual String ProvideDisplayFormat() = 0;
  virtual String ProvideEditFormat() = 0;
  virtual String ProvideEditMask() = 0;
  virtual bool ProvideIsFloat() = 0;
  virtual Integer ProvideMaxLength() = 0;
  virtual double ProvideMaxValue() = 0;
  virtual double ProvideMinValue() = 0;
  virtual Integer ProvidePrecision() = 0;
  virtual bool ProvideReadOnly() = 0;
  virtual bool ProvideRequired() = 0;
  // The provider object itself.
  virtual TObject* GetInstance() = 0;
  virtual bool ProvidesDataValues() = 0;
  virtual bool ProvideIsBlob() = 0;
  virtual bool ProvideIsCurrency() = 0;
  // ACurrencyFormat: a currency setting counts as a display format.
  virtual bool HasDisplayFormat(bool ACurrencyFormat) = 0;
  virtual bool HasEmptyDisplayFormat() = 0;
  virtual bool AcceptsChar(Char AChar) = 0;
};

class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
  KORVANE_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}
  // Leaves no property set pointing at it.
  ~TcxCustomEditDefaultValuesProvider() override;

  void ClearUsages() override;
  TAlignment ProvideAlignment() override { return taLeftJustify; }
  Integer ProvideBlobKind() override { return 3; }
  bool ProvideCanModify() override { return true; }
  String ProvideDisplayFormat() override { return String(); }
  String ProvideEditFormat() override { return String(); }
  String ProvideEditMask() override { return String(); }
  bool ProvideIsFloat() override { return false; }
  Integer ProvideMaxLength() override { return 0; }
  double ProvideMaxValue() override { return 0.0; }
  double ProvideMinValue() override { return 0.0; }
  Integer ProvidePrecision() override { return 15; }
  bool ProvideReadOnly() override { return false; }
  bool ProvideRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  bool ProvidesDataValues() override { return false; }
  bool ProvideIsBlob() override { return false; }
  bool ProvideIsCurrency() override { return false; }
  bool HasDisplayFormat(bool) override { return false; }
  bool HasEmptyDisplayFormat() override { return false; }
  bool AcceptsChar(Char) override { return true; }
};

// ---------------------------------------------------------------------------
// What display value validation needs of the editor control (the editor
// control implements it). A property set owned by such an editor also
// notifies when its default values provider is set.

class IcxCustomEdit {
public:
  virtual ~IcxCustomEdit() = default;
  // The editor's own property set or its repository item's has an
  // OnValidate handler.
  virtual bool HasValidateHandler() = 0;
  // Fires OnValidate of the own property set, then of the repository item's.
  virtual void RunValidateHandlers(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) = 0;
  // The text the editor shows now.
  virtual String GetCurrentDisplayText() = 0;
};

// ---------------------------------------------------------------------------
// TcxCustomEditPropertiesValues: the assigned-value flags of a property set.

class TcxCustomEditPropertiesValues;
using TcxCustomEditPropertiesValuesMetaClass =
    TConstructorMetaClass<TcxCustomEditPropertiesValues, TcxCustomEditProperties*>;
using TcxCustomEditPropertiesValuesClass = const TcxCustomEditPropertiesValuesMetaClass*;

class TcxCustomEditPropertiesValues : public TPersistent {
public:
  using MetaClass = TcxCustomEditPropertiesValuesMetaClass;
  KORVANE_CLASS(TcxCustomEditPropertiesValues, TPersistent)
  explicit TcxCustomEditPropertiesValues(TcxCustomEditProperties* AOwner) : FOwner(AOwner) {}

  // From another flags object: the flags. Other sources: inherited.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TcxCustomEditProperties* Properties() const { return FOwner; }

  // The owner's update bracket (closing notifies).
  void BeginUpdate();
  void EndUpdate();
  // Clears every flag.
  virtual void RestoreDefaults();

  bool ReadOnly() const { return FReadOnly; }
  // A new value notifies the owner.
  void SetReadOnly(bool Value);

protected:
  // The owner's NotifyChanged.
  void Changed();

private:
  friend class TcxCustomEditProperties;
  TcxCustomEditProperties* FOwner;
  bool FReadOnly = false;
};

// ---------------------------------------------------------------------------
// TcxCustomEditProperties

// The class reference of property sets: the virtual constructor takes the
// owner; GetEditorClass is a class-level operation.
class TcxCustomEditPropertiesMetaClass : public TcxInterfacedPersistentMetaClass {
public:
  template <class Self>
  TcxCustomEditPropertiesMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TcxInterfacedPersistentMetaClass(ASelf, AClassName, AClassParent), FGetEditorClass(&Self::GetEditorClass) {}
  // A new property set owned by AOwner.
  TcxCustomEditProperties* Create(TPersistent* AOwner) const;
  TcxCustomEditClass GetEditorClass() const { return FGetEditorClass(); }

private:
  TcxCustomEditClass (*FGetEditorClass)();
};
using TcxCustomEditPropertiesClass = const TcxCustomEditPropertiesMetaClass*;

class TcxCustomEditProperties : public TcxInterfacedPersistent {
public:
  using MetaClass = TcxCustomEditPropertiesMetaClass;
  KORVANE_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)

  explicit TcxCustomEditProperties(TPersistent* AOwner);
  ~TcxCustomEditProperties() override;

  // From another property set (see the class notes); other sources raise
  // EConvertError. The change callback and the owner are not copied.
  void Assign(TPersistent* Source) override;

  // ---- Change notices ----
  // Set by the single owner that wants to hear of changes.
  TNotifyEvent OnPropertiesChanged;
  void BeginUpdate() { ++FUpdateCount; }
  // Nothing at counter 0; the close that reaches 0 notifies when ANotify.
  void EndUpdate(bool ANotify = true);
  // Suppresses notices without touching the counter.
  void SetChangeLock(bool Value) { FChangeLock = Value; }
  bool IsChangeLocked() const { return FChangeLock || FUpdateCount > 0; }
  Integer UpdateCount() const { return FUpdateCount; }

  // ---- Settings ----
  // The alignment handed out: refilled from the stored one at each call; an
  // unassigned Horz shows GetDefaultHorzAlignment. Writes through it come
  // back through AlignmentChanged.
  TcxEditAlignment* GetAlignment();
  TcxEditAlignment* Alignment() { return GetAlignment(); }
  // The stored alignment (what is compared and written).
  TcxEditAlignment* StoredAlignment() const { return FAlignment.get(); }
  bool IsAlignmentStored() const;

  TcxCustomEditPropertiesValues* AssignedValues() const;
  void SetAssignedValues(TcxCustomEditPropertiesValues* Value);

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value);
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value);
  TcxEditButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TcxEditButtons* Value);
  TcxEditButtonsViewStyle ButtonsViewStyle() const { return FButtonsViewStyle; }
  void SetButtonsViewStyle(TcxEditButtonsViewStyle Value);
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut Value);
  TShortCut ClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut Value);
  bool ImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool Value);
  // The own value when assigned, else the provider's answer, else false.
  bool GetReadOnly() const;
  bool ReadOnly() const { return GetReadOnly(); }
  // Nothing when already assigned with Value.
  void SetReadOnly(bool Value);
  bool IsReadOnlyStored() const;
  bool IsEditable() const;
  bool UseLeftAlignmentOnEditing() const;
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool IsUseLeftAlignmentOnEditingStored() const;
  // An in-place editor may be activated by a mouse click.
  bool MouseActivation() const { return FMouseActivation; }
  void SetMouseActivation(bool Value);
  bool ValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool Value);

  IcxEditDefaultValuesProvider* DefaultValuesProvider() const { return FDefaultValuesProvider; }
  // Notifies when the owner is an editor control.
  void SetDefaultValuesProvider(IcxEditDefaultValuesProvider* Value);

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;

  // The first TComponent up the owner chain (nullptr: none).
  TComponent* OwningComponent() const;

  // ---- Class-level ----
  // The editor control class of the kind (the base: TcxCustomEdit).
  static TcxCustomEditClass GetEditorClass();
  // GetEditorClass of this object's own class.
  TcxCustomEditClass EditorClass() const;

  // ---- Virtual operations ----
  virtual void AlignmentChanged(TObject* Sender);
  virtual void SetAlignment(TcxEditAlignment* Value);
  virtual void ButtonsChanged();
  virtual bool CanValidateDisplayValue() const { return false; }
  virtual void NotifyChanged();
  virtual bool DetectsValueChangeByCompare() const { return false; }
  virtual bool DefaultUseLeftAlignmentOnEditing() const { return true; }
  virtual void ComponentFreed(TComponent*) {}
  virtual TcxCustomEditPropertiesValuesClass GetAssignedValuesClass() const;
  virtual TAlignment GetDefaultHorzAlignment() const;
  virtual TcxEditDisplayFormatOptions GetDisplayFormatOptions() const { return 0; }
  virtual String DefaultValidationErrorText() const;
  virtual bool UsesDataDisplayFormat(bool AIsEditing) const;
  // The base answers nullptr until the view data unit supplies its class.
  virtual TcxCustomEditViewDataClass GetViewDataClass() const;
  virtual bool SuppressesChangeEvent() const { return false; }
  virtual bool WantsTabKey() const { return false; }
  virtual TcxCustomEditStyleClass GetStyleClass() const;
  virtual TcxCustomEditStyleClass GetStyleExClass() const;
  // The base answers nullptr until the view info unit supplies its class.
  virtual TcxCustomEditViewInfoClass GetViewInfoClass() const;
  // Both normalised, then equal by the variant comparison.
  virtual bool AreEditValuesEqual(const Variant& A, const Variant& B) const;
  // A new view data of GetViewDataClass (owned by the caller); nullptr
  // while no view data class is known.
  virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* AStyle, bool AIsInplace);
  virtual String GetDisplayTextOfValue(const Variant&) const { return String(); }
  virtual TcxEditEditorFeatures GetEditorFeatures() const;
  virtual bool AcceptsEditValue(Variant&, bool) const { return true; }
  virtual bool CanRevertEditValue() const { return false; }
  virtual void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool AIsEditing) const;
  virtual void ResetToDefaults();
  virtual void CopyExtraDataTo(TcxCustomEditProperties*) {}
  // Display value validation (see the class notes).
  virtual void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit);
  virtual Integer GetValueKind(bool) const { return cxEditValueKindValue; }

  // The editor's validate handlers, keeping the display value unless a
  // handler reports an error and leaves its text unchanged.
  void RunValidateEvent(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit);

  // Clears the provider out of every live property set (no notice).
  static void ForgetDefaultValuesProvider(IcxEditDefaultValuesProvider* AProvider);

protected:
  TcxFreeNotificator* FreeNotificator() const { return FFreeNotificator.get(); }
  // Stores AValue into AField and notifies, when it differs.
  template <class T>
  void SetValue(T& AField, const T& AValue) {
    if (AField == AValue) return;
    AField = AValue;
    NotifyChanged();
  }

private:
  void FreeNotificatorComponentRemoved(TObject* Sender, TComponent* AComponent);

  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  std::unique_ptr<TcxEditAlignment> FAlignment;
  Integer FUpdateCount = 0;
  bool FAutoSelect = true;
  bool FBeepOnError = false;
  std::unique_ptr<TcxEditButtons> FButtons;
  TcxEditButtonsViewStyle FButtonsViewStyle = cxbvsNormal;
  TShortCut FClickKey = cxDefaultEditClickKey;
  TShortCut FClearKey = 0;
  bool FImmediatePost = false;
  bool FReadOnly = false;
  // Unset: DefaultUseLeftAlignmentOnEditing.
  Integer FUseLeftAlignmentOnEditing = -1;
  bool FMouseActivation = true;
  bool FValidateOnEnter = false;
  std::unique_ptr<TcxEditAlignment> FIAlignment;
  bool FChangeLock = false;
  IcxEditDefaultValuesProvider* FDefaultValuesProvider = nullptr;
  // Created on first use from GetAssignedValuesClass (a descendant's class
  // is known only after construction).
  mutable std::unique_ptr<TcxCustomEditPropertiesValues> FAssignedValues;
};

// ---------------------------------------------------------------------------
// The editor properties registry: the property set class of every editor
// kind with its display text "Name|Description" (see the cxSEdit...Kind
// texts). Created on first use; cxEditPropertiesFinalize frees it.

TcxRegisteredClasses* GetEditPropertiesRegistry();
void cxEditPropertiesFinalize();
