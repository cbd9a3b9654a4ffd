#pragma once
// The image editor (unit cxImage): a picture held as a byte-string value,
// painted stretched, centred or scrolled, with a context menu and keys for
// cut, copy, paste, delete, load from file, save to file and one custom
// command.
//
// Value format: the graphic's own file bytes (a bitmap, icon or JPEG file),
// written without a header. A value may also carry an 8-byte header (word 1,
// word 0x0100, then the little-endian length of the rest); reading skips it
// when all three match. Bytes that cannot be read give an empty picture and
// are never reported while reading.
//
// The editor's edit value is the value it was given until the user changes
// the picture: a value whose bytes cannot be read shows an empty picture but
// is kept as it was, so that opening and leaving such a record loses
// nothing. A change by the user (paste, cut, delete, load) replaces it with
// the picture's bytes (Null for an empty picture).
//
// Loading a file that cannot be read (a metafile, damaged bytes, an unknown
// kind) tells the user why in a message box and leaves the picture as it was.
//
// Zero sizes: a picture or rectangle of zero width or height is never
// divided by, and a scroll range smaller than the page gives position 0.
#include <memory>

#include "platform/gui/imagelist.h"
#include <vector>

#include "editors/cxEdit.h"
#include "platform/gui/menus.h"
#include "platform/gui/picture.h"
#include "platform/rtl/streams.h"

// ---------------------------------------------------------------------------
// Graphic classes and the picture value

// TBitmap, TIcon, TMetafile and TJPEGImage, in this order; the first is the
// default graphic class of image properties.
const std::vector<TGraphicClass>& GetRegisteredGraphicClasses();
// The first class whose name equals AName, case ignored (nullptr: none).
TGraphicClass FindGraphicClassByName(const String& AName);

// A memory stream over bytes it does not own (the caller keeps them alive):
// reading and seeking work, writing writes nothing and answers 0.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
  KORVANE_CLASS(TMemoryStreamReadOnly, TCustomMemoryStream)
  TMemoryStreamReadOnly(const void* AData, Integer ASize);
  Integer Write(const void*, Integer) override { return 0; }
};

// The length of the optional header of a picture value.
inline constexpr Integer cxPictureValueHeaderSize = 8;

// "" for no picture or an empty one; else the graphic's stream bytes.
RawByteString SavePictureToString(TPicture* APicture);
// See the unit notes. AGraphicClass nullptr: the picture's bitmap reads the
// bytes. A value that is not a string clears the picture. Never raises.
void LoadPictureFromValue(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue);

// The largest rectangle of the proportions AWidth:AHeight at ARect's
// top-left that fits ARect. ARect comes back unchanged when it is empty or
// when AWidth or AHeight is not positive (nothing to scale).
TRect FitRectProportionally(const TRect& ARect, Integer AWidth, Integer AHeight);

// The scroll position of a picture of ARange pixels in a page of APage:
// clamped to 0..ARange - APage, and 0 when the page holds the whole range.
Integer ClampImageScrollPosition(Integer APosition, Integer ARange, Integer APage);
// Pixels per line step of the image editor's scroll bars.
inline constexpr Integer cxImageScrollLineStep = 8;

// ---------------------------------------------------------------------------
// Settings

enum TcxImageTransparency : Integer { gtDefault, gtOpaque, gtTransparent };

using TcxPopupMenuItem = Integer;
enum : TcxPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TcxPopupMenuItems = Byte;  // bit (1 << item)
inline constexpr TcxPopupMenuItems cxPopupMenuItem(TcxPopupMenuItem AItem) {
  return static_cast<TcxPopupMenuItems>(1 << AItem);
}
inline constexpr TcxPopupMenuItems cxDefaultPopupMenuItems = 0x3F;  // all but pmiCustom

class TcxPopupMenuLayout : public TPersistent {
  KORVANE_CLASS(TcxPopupMenuLayout, TPersistent)
  TcxPopupMenuLayout();
  ~TcxPopupMenuLayout() override;
  // MenuItems, the custom caption and glyph.
  void Assign(TPersistent* Source) override;

  TcxPopupMenuItems MenuItems() const { return FMenuItems; }
  void SetMenuItems(TcxPopupMenuItems Value) { FMenuItems = Value; }
  bool Has(TcxPopupMenuItem AItem) const { return (FMenuItems & cxPopupMenuItem(AItem)) != 0; }
  const String& CustomMenuItemCaption() const { return FCustomMenuItemCaption; }
  void SetCustomMenuItemCaption(const String& Value) { FCustomMenuItemCaption = Value; }
  // Created on first read; nullptr frees it.
  TBitmap* CustomMenuItemGlyph();
  bool HasCustomMenuItemGlyph() const { return FCustomMenuItemGlyph != nullptr; }
  void SetCustomMenuItemGlyph(TBitmap* Value);

private:
  TcxPopupMenuItems FMenuItems = cxDefaultPopupMenuItems;
  String FCustomMenuItemCaption;
  std::unique_ptr<TBitmap> FCustomMenuItemGlyph;
};

class TcxCustomImage;

using TcxImageAssignPictureEvent = TEvent<void(TObject* Sender, TPicture* Picture)>;
using TcxImageGraphicClassEvent =
    TEvent<void(TObject* Sender, Integer ARecordIndex, bool APastingFromClipboard, TGraphicClass& AGraphicClass)>;

// The cell height of an image without an editor to measure.
inline constexpr Integer cxImageDefaultCellHeight = 15;

class TcxCustomImageProperties : public TcxCustomEditProperties {
  KORVANE_CLASS(TcxCustomImageProperties, TcxCustomEditProperties)
  explicit TcxCustomImageProperties(TPersistent* AOwner);
  ~TcxCustomImageProperties() override;
  // The settings and the three events, inside one update.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value) { SetValue(FCaption, Value); }
  bool Center() const { return FCenter; }
  void SetCenter(bool Value) { SetValue(FCenter, Value); }
  const String& CustomFilter() const { return FCustomFilter; }
  void SetCustomFilter(const String& Value) { SetValue(FCustomFilter, Value); }
  TGraphicClass GraphicClass() const { return FGraphicClass; }
  void SetGraphicClass(TGraphicClass Value) { SetValue(FGraphicClass, Value); }
  // The class name ("" for none). Setting a name that is no registered
  // class changes nothing; "" sets none.
  String GraphicClassName() const;
  void SetGraphicClassName(const String& Value);
  bool IsGraphicClassNameStored() const { return FGraphicClass != TBitmap::StaticClass(); }
  TcxImageTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TcxImageTransparency Value) { SetValue(FGraphicTransparency, Value); }
  TcxPopupMenuLayout* PopupMenuLayout() const { return FPopupMenuLayout.get(); }
  void SetPopupMenuLayout(TcxPopupMenuLayout* Value);
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) { SetValue(FShowFocusRect, Value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value) { SetValue(FStretch, Value); }

  TcxImageAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TcxImageGraphicClassEvent OnGetGraphicClass;

  // The graphic class when set; else TBitmap when pasting, else none;
  // OnGetGraphicClass may change it.
  TGraphicClass GetGraphicClass(Integer ARecordIndex, bool APastingFromClipboard);

  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  // Caption for a value, "" for Null.
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  bool CanRevertEditValue() const override { return true; }

private:
  String FCaption;
  bool FCenter = true;
  String FCustomFilter;
  TGraphicClass FGraphicClass;
  TcxImageTransparency FGraphicTransparency = gtDefault;
  std::unique_ptr<TcxPopupMenuLayout> FPopupMenuLayout;
  bool FShowFocusRect = true;
  bool FStretch = false;
};

class TcxImageProperties : public TcxCustomImageProperties {
  KORVANE_CLASS(TcxImageProperties, TcxCustomImageProperties)
  using TcxCustomImageProperties::TcxCustomImageProperties;
};

// ---------------------------------------------------------------------------
// View data and view info

class TcxImageViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxImageViewInfo, TcxCustomEditViewInfo)
  TcxImageViewInfo();
  ~TcxImageViewInfo() override;

  // The picture painted: the editor's (not owned) or the cell's own.
  TPicture* Picture = nullptr;
  String Caption;
  bool Center = true;
  bool Stretch = false;
  bool ShowFocusRect = false;
  // The picture's scroll offset (positions of the scroll bars).
  TPoint ScrollPos{0, 0};
  // The border's margins around the client rectangle (scroll bars aside).
  TRect BorderExtent{};

  // A picture the view info owns from now on (a cell's).
  TPicture* OwnPicture();
  // Where the picture goes inside ClientRect.
  TRect PictureRect() const;

  void Assign(TObject* Source) override;
  // Background and border, then the picture or the caption.
  void Render(TcxCanvas* ACanvas) override;

private:
  std::unique_ptr<TPicture> FOwnedPicture;
};

class TcxImageViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxImageViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  // The cell's value, read when there is no live editor.
  Variant Value = Null();

  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // Without a live editor: width 0 and the default cell height, or the
  // picture's size (scaled to ALimits.Width with Stretch), or the caption's
  // text extent for a value that is no picture.
  TSize CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                          const TcxEditSizeProperties& ALimits) override;
};

// ---------------------------------------------------------------------------
// The editor

class TcxCustomImage : public TcxCustomEdit {
  KORVANE_CLASS(TcxCustomImage, TcxCustomEdit)
  explicit TcxCustomImage(TComponent* AOwner) : TcxCustomImage(AOwner, false) {}
  TcxCustomImage(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomImage() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxImageProperties::StaticClass(); }
  TcxCustomImageProperties* ImageProperties() { return static_cast<TcxCustomImageProperties*>(Properties()); }
  TcxCustomImageProperties* ActiveImageProperties() {
    return static_cast<TcxCustomImageProperties*>(ActiveProperties());
  }

  TPicture* Picture() const { return FPicture.get(); }
  // Copies Value's graphic into the picture (as the program, not the user).
  void SetPicture(TPicture* Value);
  // Stand-alone editors: the own graphic-class event.
  TcxImageGraphicClassEvent OnGetGraphicClass;

  // ---- Commands (each as a user action) ----
  virtual bool CanPasteFromClipboard();
  virtual void CustomClick();
  virtual TGraphicClass GetGraphicClass(bool APastingFromClipboard = false);
  void ClearEditValue() override;
  void CopyToClipboard() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void LoadFromFile();
  void SaveToFile();

  // ---- Context menu ----
  // The menu, built on first use with its nine entries; PrepareMenu sets
  // which entries are visible and enabled for the current state, and the
  // glyphs: the shared ones for the commands, CustomMenuItemGlyph (when it
  // holds a picture) for the custom entry.
  TPopupMenu* ContextMenu();
  void PrepareMenu();
  // The picture may change (read-only, binding and DoEditing aside).
  bool CanChangeValue();

  // ---- Scrolling (stand-alone, not centred, not stretched) ----
  TPoint ScrollPos() const { return FScrollPos; }
  bool Focused() const override { return FDialogShowing || TcxCustomEdit::Focused(); }

protected:
  void InternalSetEditValue(const Variant& Value, bool AValidateFirst) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
  void ComputeScrollBarParams() override;
  void ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void Resize() override;

private:
  void PictureChanged(TObject* Sender);
  void RunAsUserAction(void (TcxCustomImage::*ACommand)());
  void MenuItemClick(TObject* Sender);
  bool IsPictureEmpty() const;
  bool ScrollsPicture();
  // The client area inside the border (the container's scroll bars lie
  // outside the client area).
  TRect PictureArea();
  // The positions kept inside the picture for the settled area.
  void ClampScrollPos();
  void ShowFileError(const String& AText);

  std::unique_ptr<TPicture> FPicture;
  TPopupMenu* FContextMenu = nullptr;  // owned as a component
  std::unique_ptr<TImageList> FMenuImages;  // the menu's glyphs
  TPoint FScrollPos{0, 0};
  bool FInternalSetting = false;
  bool FUserAction = false;
  bool FInPictureChange = false;
  bool FDialogShowing = false;
};

class TcxImage : public TcxCustomImage {
  KORVANE_CLASS(TcxImage, TcxCustomImage)
  using TcxCustomImage::TcxCustomImage;
};

// Adds the image kind to the editor properties registry (once).
void cxImageRegister();

// The context menu's glyphs, shared by every image editor: cut, copy, paste,
// delete, load and save, 16 x 16, drawn by the program on first use, each
// with its own transparent colour left out. cxImageMenuGlyphsFree frees the
// list (the program's end).
inline constexpr Integer cxImageMenuGlyphSize = 16;
inline constexpr Integer cxImageMenuGlyphCount = 6;
TImageList* GetImageMenuGlyphs();
void cxImageMenuGlyphsFree();
