#pragma once
// The image combo box (unit cxImageComboBox): a fixed-list combo box whose
// items each carry a value, a description and an image index. The closed
// editor shows the chosen item's image and description, the list shows
// images beside descriptions (optionally word-wrapped), and the edit value
// is the chosen item's Value (null when no item is chosen).
//
// Values, not descriptions, identify a choice. Two edit values are equal
// only when they are equal variants, and the editor remembers the chosen
// item by its index: of two items that share a description but hold
// different values, picking the other one is a change that is posted and
// saved. A value that several items hold shows and selects the first of
// them. A value that no item holds shows DefaultDescription with
// DefaultImageIndex and is kept as it is until the user picks an item.
//
// With ShowDescriptions off the closed editor shows only the image,
// centred, and typed characters never select an item (the list still
// shows the descriptions).
//
// The image lists are followed by free notification: a freed list is
// forgotten by every property set that uses it.
#include <memory>

#include "editors/cxDropDownEdit.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditViewInfo.h"
#include "platform/gui/imagelist.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/variant.h"

class TcxCustomImageComboBoxProperties;

enum TcxImageAlign : Integer { iaLeft, iaRight };

// Pixels between the client edge and the image of the closed editor.
inline constexpr Integer cxImageComboImageMargin = 2;
// Pixels between the image and the text of the closed editor.
inline constexpr Integer cxImageComboTextSpacing = 4;
// Extra width of the list's image column beside the image itself.
inline constexpr Integer cxImageComboListImageSpacing = 4;

// ---------------------------------------------------------------------------
// Items

class TcxImageComboBoxItem : public TCollectionItem {
  KORVANE_CLASS(TcxImageComboBoxItem, TCollectionItem)
  // ImageIndex starts as the item's own index when the owner's Images hold
  // at least as many images as there are items, else -1.
  explicit TcxImageComboBoxItem(TCollection* ACollection);
  // Copies Description, ImageIndex and Value.
  void Assign(TPersistent* Source) override;

  const String& Description() const { return FDescription; }
  void SetDescription(const String& Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  Integer Tag() const { return FTag; }
  void SetTag(Integer Value);
  const Variant& Value() const { return FValue; }
  // A value equal with the same type changes nothing.
  void SetValue(const Variant& Value);
  bool IsValueStored() const { return !VarIsNull(FValue); }

private:
  String FDescription;
  Integer FImageIndex = -1;
  Integer FTag = 0;
  Variant FValue = Null();
};

// Owned by the properties; every change re-applies them.
class TcxImageComboBoxItems : public TOwnedCollection {
  KORVANE_CLASS(TcxImageComboBoxItems, TOwnedCollection)
  explicit TcxImageComboBoxItems(TcxCustomImageComboBoxProperties* AOwner);

  TcxImageComboBoxItem* Add() { return static_cast<TcxImageComboBoxItem*>(TCollection::Add()); }
  TcxImageComboBoxItem* Item(Integer Index) const { return static_cast<TcxImageComboBoxItem*>(Items(Index)); }
  TcxCustomImageComboBoxProperties* Properties() const { return FProperties; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TcxCustomImageComboBoxProperties* FProperties;
};

// ---------------------------------------------------------------------------
// Layout of the closed editor

struct TcxImageComboBoxLayout {
  TRect ImageRect{};  // empty without images
  TRect TextRect{};   // empty (zero wide) without descriptions
};

// Places the image (AImageSize; 0 x 0 without images) and the text in
// AClientRect: the image is centred vertically and sits 2 pixels from the
// left edge (the text starts 4 pixels after it), 2 pixels from the right
// edge for iaRight (the text ends 2 pixels before it), or in the middle
// without descriptions. The text is further inset by 2 pixels from the
// client edges and 1 from the top and bottom.
TcxImageComboBoxLayout cxImageComboBoxCalcLayout(const TRect& AClientRect, TSize AImageSize, TcxImageAlign AAlign,
                                                 bool AShowDescriptions);

// ---------------------------------------------------------------------------
// Property sets

class TcxCustomImageComboBoxProperties : public TcxCustomComboBoxProperties {
  KORVANE_CLASS(TcxCustomImageComboBoxProperties, TcxCustomComboBoxProperties)
  // DropDownListStyle lsFixedList.
  explicit TcxCustomImageComboBoxProperties(TPersistent* AOwner);
  ~TcxCustomImageComboBoxProperties() override;
  // The combo box settings, then the image combo settings and the items,
  // in one change bracket.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  // The items (the combo box's text list holds their descriptions).
  TcxImageComboBoxItems* Items() const { return FItems.get(); }
  void SetItems(TcxImageComboBoxItems* Value) { FItems->Assign(Value); }
  const String& DefaultDescription() const { return FDefaultDescription; }
  void SetDefaultDescription(const String& Value) { SetValue(FDefaultDescription, Value); }
  Integer DefaultImageIndex() const { return FDefaultImageIndex; }
  void SetDefaultImageIndex(Integer Value) { SetValue(FDefaultImageIndex, Value); }
  TcxImageAlign ImageAlign() const { return FImageAlign; }
  void SetImageAlign(TcxImageAlign Value) { SetValue(FImageAlign, Value); }
  // Images of the editor and of the list (nullptr: none).
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value) { SetImageList(FImages, Value); }
  // When set, the list's images instead of Images.
  TImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TImageList* Value) { SetImageList(FLargeImages, Value); }
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value) { SetValue(FMultiLineText, Value); }
  bool ShowDescriptions() const { return FShowDescriptions; }
  void SetShowDescriptions(bool Value) { SetValue(FShowDescriptions, Value); }
  // The list's images: LargeImages when set, else Images.
  TImageList* ListImages() const { return FLargeImages ? FLargeImages : FImages; }

  // The first item whose Value equals AValue; -1 for none.
  Integer FindItemByValue(const Variant& AValue) const;
  // The first item whose Description equals AText, case ignored; -1 for
  // none and always with ShowDescriptions off.
  Integer FindItemByText(const String& AText) const;
  // What the closed editor shows for an item (-1: the defaults).
  String ShownDescription(Integer AIndex) const;
  Integer ShownImageIndex(Integer AIndex) const;
  // The description of the value's item, else DefaultDescription.
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  // Equal variants (null equals null only).
  bool AreEditValuesEqual(const Variant& A, const Variant& B) const override;
  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  // TcxImageComboBoxLookupData.
  TcxCustomTextEditLookupDataClass GetLookupDataClass() const override;
  // The value itself: a value is never replaced by its description.
  void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool AIsEditing) const override;

  // The items changed: the text list follows, then a change notice.
  void ItemsChanged();

protected:
  void ComponentFreed(TComponent* AComponent) override;

private:
  void SetImageList(TImageList*& AField, TImageList* AValue);

  std::unique_ptr<TcxImageComboBoxItems> FItems;
  String FDefaultDescription;
  Integer FDefaultImageIndex = -1;
  TcxImageAlign FImageAlign = iaLeft;
  TImageList* FImages = nullptr;
  TImageList* FLargeImages = nullptr;
  bool FMultiLineText = false;
  bool FShowDescriptions = true;
};

class TcxImageComboBoxProperties : public TcxCustomImageComboBoxProperties {
  KORVANE_CLASS(TcxImageComboBoxProperties, TcxCustomImageComboBoxProperties)
  using TcxCustomImageComboBoxProperties::TcxCustomImageComboBoxProperties;
};

// ---------------------------------------------------------------------------
// Lookup data: the items are the image combo items, read by their
// descriptions; the list is as wide as the images beside the descriptions.

class TcxImageComboBoxLookupData : public TcxComboBoxLookupData {
  KORVANE_CLASS(TcxImageComboBoxLookupData, TcxComboBoxLookupData)
  using TcxComboBoxLookupData::TcxComboBoxLookupData;
  // The image combo properties (nullptr when built for another kind, whose
  // LookupItems are then the items).
  TcxCustomImageComboBoxProperties* ImageProperties() const;

  Integer GetItemCount() const override;
  // The item's Description; empty outside 0..Count-1.
  String GetItemText(Integer AIndex) const override;
  // The combo box's rows; the width is the list images' width + 8 (4
  // without images) plus the widest description, plus a vertical scroll
  // bar when there are more items than DropDownRows. With MultiLineText
  // the list asks no width of its own (only its frame).
  TSize GetListSize(TcxComboBoxListBox* AList, const TSize& AAvailable) override;
};

// ---------------------------------------------------------------------------
// View data and view info: the closed editor without a window (a tree-list
// cell): the item's image beside its description, laid out as the editor
// lays them out.

class TcxImageComboBoxViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxImageComboBoxViewInfo, TcxCustomEditViewInfo)
  TcxImageComboBoxViewInfo() { PaintsOwnContent = true; }

  TImageList* Images = nullptr;  // not owned
  Integer ImageIndex = -1;
  TRect ImageRect{};
  TcxImageAlign ImageAlign = iaLeft;
  bool ShowDescriptions = true;
  String Text;
  TRect TextRect{};

  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  // Background and buttons, the image when its index is valid for the
  // list, then the description on one vertically centred row.
  void Render(TcxCanvas* ACanvas) override;
};

class TcxImageComboBoxViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxImageComboBoxViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The image and description of the value's item (the defaults without one).
  void EditValueToDrawValue(TcxCanvas* ACanvas, const Variant& AEditValue,
                            TcxCustomEditViewInfo* AViewInfo) override;
};

// ---------------------------------------------------------------------------
// The list of the drop-down: owner-drawn rows of a height each, every item's
// image (LargeImages when set, else Images) in a column beside its
// description, the description word-wrapped with MultiLineText.

class TcxCustomImageComboBox;

class TcxImageComboBoxListBox : public TcxComboBoxListBox {
  KORVANE_CLASS(TcxImageComboBoxListBox, TcxComboBoxListBox)
  using TcxComboBoxListBox::TcxComboBoxListBox;

  TcxCustomImageComboBox* GetImageComboBox() const;
  // The larger of the "Wg" text height and the image height, plus 2; with
  // MultiLineText the word-wrapped description's height plus 2 (at least
  // the image's plus 2).
  Integer GetItemHeight(Integer AIndex) const override;
  // The image column (image width + 4) on the ImageAlign side, the image 1
  // pixel into it and centred vertically, the description beside it.
  void DrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) override;
  // The room for a word-wrapped description: the rows' width less 2.
  Integer TextWidth() const;

private:
  // The rows are being measured to learn whether they need a scroll bar.
  mutable bool FMeasuringRows = false;
};

// ---------------------------------------------------------------------------
// The editor

class TcxCustomImageComboBox : public TcxCustomComboBox {
public:
  KORVANE_CLASS(TcxCustomImageComboBox, TcxCustomComboBox)
  explicit TcxCustomImageComboBox(TComponent* AOwner) : TcxCustomImageComboBox(AOwner, false) {}
  // The list is owner-drawn with variable item heights.
  TcxCustomImageComboBox(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxImageComboBoxProperties::StaticClass(); }
  TcxCustomImageComboBoxProperties* ActiveImageProperties();
  // The chosen item (-1: none).
  Integer ItemIndex() const { return FItemIndex; }
  // The closed editor's image rectangle (empty without images).
  const TRect& ImageRect() const { return FImageRect; }

  // The value's item becomes the chosen one and shows.
  void UpdateDisplayValue() override;
  // With accept, the item current in the list is chosen even when its
  // description equals the one shown.
  void ClosePopup(bool AAccept) override;
  void HandleInnerEditChange() override;
  void PropertiesChanged(TObject* Sender) override;

protected:
  // The list draws the images beside the descriptions.
  TcxComboBoxListBox* CreateListBox(TComponent* AOwner) override;
  // The shown text becomes the chosen item's value.
  void InternalSetDisplayValue(const Variant& Value) override;
  void DoPopup() override;
  void HandleKeyPressed(Char& Key) override;
  void PlaceInnerControl() override;
  void Paint() override;

private:
  Integer ItemIndexForText(const String& AText);

  Integer FItemIndex = -1;
  TRect FImageRect{};
};

class TcxImageComboBox : public TcxCustomImageComboBox {
  KORVANE_CLASS(TcxImageComboBox, TcxCustomImageComboBox)
  using TcxCustomImageComboBox::TcxCustomImageComboBox;
};

// ---------------------------------------------------------------------------
// Repository item

class TcxEditRepositoryImageComboBoxItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TcxEditRepositoryImageComboBoxItem, TcxEditRepositoryItem)
  explicit TcxEditRepositoryImageComboBoxItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) {}
  TcxCustomEditPropertiesClass GetPropertiesClass() const override {
    return TcxImageComboBoxProperties::StaticClass();
  }
  TcxImageComboBoxProperties* ImageComboProperties() const {
    return static_cast<TcxImageComboBoxProperties*>(Properties());
  }
};

// Registers the image combo box kind (repeated calls do nothing) / removes it.
void cxImageComboBoxInitialize();
void cxImageComboBoxFinalize();
