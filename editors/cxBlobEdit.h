#pragma once
// The blob editor (unit cxBlobEdit): a large value (long text, picture, OLE
// object or raw bytes) shown in one line as an icon or a short text, and
// edited in a drop-down popup: a memo for text, an image editor for
// pictures. OLE and binary values are shown but not edited.
//
// Kinds: bekAuto is resolved, the first time the kind is read, from the
// blob kind the bound data reports (no data: bekBlob) and then stays.
//
// Change detection: blob values are never compared to find a change (two
// pictures or texts are never taken as "the same"). The editor counts as
// changed only when the user accepted a modified popup, so leaving a cell
// that was merely opened or whose popup was closed unchanged posts nothing.
#include <memory>

#include "editors/cxDropDownEdit.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxImage.h"
#include "editors/cxMemo.h"
#include "editors/cxButtons.h"
#include "platform/gui/imagelist.h"

enum TcxBlobEditKind : Integer { bekAuto, bekMemo, bekPict, bekOle, bekBlob };
enum TcxBlobPaintStyle : Integer { bpsDefault, bpsIcon, bpsText };

// Blob kinds a default values provider reports.
enum : Integer { cxBlobKindNone = 0, cxBlobKindBinary = 1, cxBlobKindGraphic = 2, cxBlobKindMemo = 3, cxBlobKindOle = 4 };

// The glyphs of the shared list: the empty form of each kind, its filled
// form at the next index.
enum : Integer { cxBlobGlyphBlob = 0, cxBlobGlyphMemo = 2, cxBlobGlyphPict = 4, cxBlobGlyphOle = 6 };
inline constexpr Integer cxBlobGlyphCount = 8;
inline constexpr Integer cxBlobGlyphSize = 16;
// The colour the glyph bitmaps leave out (olive).
inline constexpr TColor cxBlobGlyphTransparentColor = TColor(0x008080);

// At most this many characters of a memo value show in bpsText style.
inline constexpr Integer cxBlobTextMaxLength = 80;

// The short texts of the closed editor.
inline constexpr TResourceString cxSBlobMemoEmpty{65080, u"(memo)"};
inline constexpr TResourceString cxSBlobMemo{65081, u"(MEMO)"};
inline constexpr TResourceString cxSBlobPictureEmpty{65082, u"(picture)"};
inline constexpr TResourceString cxSBlobPicture{65083, u"(PICTURE)"};
inline constexpr TResourceString cxSBlobOle{65084, u"OLE"};
inline constexpr TResourceString cxSBlobBlob{65085, u"BLOB"};

// The shared glyph list of every blob editor, built on first use;
// cxBlobEditFinalize frees it.
TImageList* GetBlobEditGlyphs();

// A memo value as bpsText shows it: leading blanks and control characters
// dropped, cut to cxBlobTextMaxLength characters (a surrogate pair is not
// split), every remaining control character shown as a blank.
String BlobMemoShortText(const String& AText);

class TcxCustomBlobEditProperties : public TcxCustomPopupEditProperties {
  KORVANE_CLASS(TcxCustomBlobEditProperties, TcxCustomPopupEditProperties)
  explicit TcxCustomBlobEditProperties(TPersistent* AOwner);
  static TcxCustomEditClass GetEditorClass();

  // Every setting and both events inside one update, then the inherited
  // settings.
  void Assign(TPersistent* Source) override;

  bool AlwaysSaveData() const { return FAlwaysSaveData; }
  void SetAlwaysSaveData(bool Value) { SetValue(FAlwaysSaveData, Value); }
  // The kind, bekAuto resolved first (see the unit notes).
  TcxBlobEditKind BlobEditKind() const;
  // The stored kind, unresolved.
  TcxBlobEditKind StoredBlobEditKind() const { return FBlobEditKind; }
  // A new kind also sets the first button's kind (a drop-down arrow for
  // memo and picture, an ellipsis otherwise).
  void SetBlobEditKind(TcxBlobEditKind Value);
  TcxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TcxBlobPaintStyle Value) { SetValue(FBlobPaintStyle, Value); }

  bool MemoAutoReplace() const { return FMemoAutoReplace; }
  void SetMemoAutoReplace(bool Value) { SetValue(FMemoAutoReplace, Value); }
  TEditCharCase MemoCharCase() const { return FMemoCharCase; }
  void SetMemoCharCase(TEditCharCase Value) { SetValue(FMemoCharCase, Value); }
  // Characters (not bytes); 0: no limit. Negative is stored as 0.
  Integer MemoMaxLength() const { return FMemoMaxLength; }
  void SetMemoMaxLength(Integer Value) { SetValue(FMemoMaxLength, Value < 0 ? 0 : Value); }
  bool MemoOEMConvert() const { return FMemoOEMConvert; }
  void SetMemoOEMConvert(bool Value) { SetValue(FMemoOEMConvert, Value); }
  TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
  void SetMemoScrollBars(TScrollStyle Value) { SetValue(FMemoScrollBars, Value); }
  bool MemoWantReturns() const { return FMemoWantReturns; }
  void SetMemoWantReturns(bool Value) { SetValue(FMemoWantReturns, Value); }
  bool MemoWantTabs() const { return FMemoWantTabs; }
  void SetMemoWantTabs(bool Value) { SetValue(FMemoWantTabs, Value); }
  bool MemoWordWrap() const { return FMemoWordWrap; }
  void SetMemoWordWrap(bool Value) { SetValue(FMemoWordWrap, Value); }

  bool PictureAutoSize() const { return FPictureAutoSize; }
  void SetPictureAutoSize(bool Value) { SetValue(FPictureAutoSize, Value); }
  const String& PictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const String& Value) { SetValue(FPictureFilter, Value); }
  TGraphicClass PictureGraphicClass() const { return FPictureGraphicClass; }
  void SetPictureGraphicClass(TGraphicClass Value) { SetValue(FPictureGraphicClass, Value); }
  // "" for none. A name that is no known graphic class changes nothing.
  String PictureGraphicClassName() const;
  void SetPictureGraphicClassName(const String& Value);
  bool IsPictureGraphicClassNameStored() const;
  // The stored flag of an empty class name: True sets the class to none.
  bool IsPictureGraphicClassNameEmpty() const { return FPictureGraphicClass == nullptr; }
  void SetIsPictureGraphicClassNameEmpty(bool Value);
  TcxImageTransparency PictureTransparency() const { return FPictureTransparency; }
  void SetPictureTransparency(TcxImageTransparency Value) { SetValue(FPictureTransparency, Value); }
  bool ShowExPopupItems() const { return FShowExPopupItems; }
  void SetShowExPopupItems(bool Value) { SetValue(FShowExPopupItems, Value); }
  bool ShowPicturePopup() const { return FShowPicturePopup; }
  void SetShowPicturePopup(bool Value) { SetValue(FShowPicturePopup, Value); }

  TcxImageAssignPictureEvent OnAssignPicture;
  TcxImageGraphicClassEvent OnGetGraphicClass;

  // ---- Texts and icons ----
  // The text of a value: AFullText gives a memo string whole; otherwise
  // by kind and paint style (see the unit's README row). Null is not
  // special here.
  String GetBlobText(const Variant& AValue, bool AFullText) const;
  // The glyph index for a value (-1: the paint style shows no icon).
  Integer GetIconIndex(const Variant& AValue) const;
  // "" for Null, else GetBlobText without the full text.
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  // Equal only as bpsText memo strings of the same case; every other pair
  // differs.
  bool AreEditValuesEqual(const Variant& A, const Variant& B) const override;
  // Plain text is edited only by a memo over no data or over a field that
  // is no blob.
  bool IsEditValueText() const;

  TcxCustomEditViewDataClass GetViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  TcxEditDisplayFormatOptions GetDisplayFormatOptions() const override { return 0; }
  bool PopupWindowCapturesFocus() const override { return true; }
  bool CanValidateDisplayValue() const override { return false; }

private:
  // Resolves bekAuto from the data's blob kind (once).
  void ResolveKind() const;
  void ApplyKindToButton();

  bool FAlwaysSaveData = true;
  mutable TcxBlobEditKind FBlobEditKind = bekAuto;
  TcxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  bool FMemoAutoReplace = false;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoOEMConvert = false;
  bool FMemoWordWrap = true;
  Integer FMemoMaxLength = 0;
  TEditCharCase FMemoCharCase = ecNormal;
  TScrollStyle FMemoScrollBars = ssNone;
  bool FPictureAutoSize = true;
  String FPictureFilter;
  TGraphicClass FPictureGraphicClass;
  TcxImageTransparency FPictureTransparency = gtDefault;
  bool FShowExPopupItems = true;
  bool FShowPicturePopup = true;
};

class TcxBlobEditProperties : public TcxCustomBlobEditProperties {
  KORVANE_CLASS(TcxBlobEditProperties, TcxCustomBlobEditProperties)
  using TcxCustomBlobEditProperties::TcxCustomBlobEditProperties;
};

// ---------------------------------------------------------------------------
// View data and view info

class TcxBlobEditViewInfo : public TcxCustomEditViewInfo {
  KORVANE_CLASS(TcxBlobEditViewInfo, TcxCustomEditViewInfo)
  TcxBlobEditViewInfo() { PaintsOwnContent = true; }

  String Text;
  Cardinal TextFlags = 0;
  TRect TextRect{};
  // The glyph's rectangle, centred in the client rectangle, and its index
  // in the shared list (-1: no icon).
  TRect IconRect{};
  Integer IconIndex = -1;
  // Draws the icon straight on the background.
  bool Transparent = false;
  // A focused stand-alone editor without an open popup.
  bool ShowFocusRect = false;

  void Assign(TObject* Source) override;
  void OffsetBy(Integer DX, Integer DY) override;
  // The text is never offered as a hint.
  bool QueryHintWithRect(const TPoint&, String& AText, TRect& ARect) override;
  // Background and buttons, then the icon or the text.
  void Render(TcxCanvas* ACanvas) override;
};

class TcxBlobEditViewData : public TcxCustomEditViewData {
  KORVANE_CLASS(TcxBlobEditViewData, TcxCustomEditViewData)
  using TcxCustomEditViewData::TcxCustomEditViewData;

  // The value shown when there is no live editor (a cell, a measurement).
  Variant Value = Null();

  void EditValueToDisplayText(const Variant& AEditValue, String& AText) override;
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  // The text's extent, or the glyph's width in icon style.
  TSize CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                          const TcxEditSizeProperties& ALimits) override;

private:
  Variant ShownValue() const;
};

// ---------------------------------------------------------------------------
// The popup: a memo for text, an image editor for pictures, each with the
// blob editor that owns it; "&OK" and "&Cancel" (or "&Close") buttons in the
// popup's panel.

class TcxCustomBlobEdit;

inline constexpr TResourceString cxSBlobButtonOK{65086, u"&OK"};
inline constexpr TResourceString cxSBlobButtonCancel{65087, u"&Cancel"};
inline constexpr TResourceString cxSBlobButtonClose{65088, u"&Close"};

class TcxPopupMemo : public TcxMemo {
  KORVANE_CLASS(TcxPopupMemo, TcxMemo)
  explicit TcxPopupMemo(TcxCustomBlobEdit* AOwner);
  TcxCustomBlobEdit* BlobEdit() const { return FBlobEdit; }

protected:
  bool PreviewInnerMessage(TMessage& Message) override;
  // A memo made taller keeps no lines hidden above it while room below
  // stays empty: the popup sizes the memo only after it took the text and
  // scrolled to the caret in its smaller size.
  void Resize() override;

private:
  TcxCustomBlobEdit* FBlobEdit;
};

class TcxPopupImage : public TcxImage {
  KORVANE_CLASS(TcxPopupImage, TcxImage)
  explicit TcxPopupImage(TcxCustomBlobEdit* AOwner);
  TcxCustomBlobEdit* BlobEdit() const { return FBlobEdit; }
  TGraphicClass GetGraphicClass(bool APastingFromClipboard = false) override;

private:
  TcxCustomBlobEdit* FBlobEdit;
};

// The blob editor's popup window: it sees the keys of its control first
// (closing keys) and hands a character typed while it opens to a memo that
// replaces its text with it.
class TcxBlobEditPopupWindow : public TcxPopupEditPopupWindow {
  KORVANE_CLASS(TcxBlobEditPopupWindow, TcxPopupEditPopupWindow)
  // Made while AEdit (a blob editor) is being built: it is only kept.
  explicit TcxBlobEditPopupWindow(TcxCustomDropDownEdit* AEdit);
  TcxCustomBlobEdit* BlobEdit() const;

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Dispatch(TMessage& Message) override;

private:
  TcxCustomDropDownEdit* FEdit;
};

class TcxCustomBlobEdit : public TcxCustomPopupEdit {
public:
  KORVANE_CLASS(TcxCustomBlobEdit, TcxCustomPopupEdit)
  explicit TcxCustomBlobEdit(TComponent* AOwner) : TcxCustomBlobEdit(AOwner, false) {}
  TcxCustomBlobEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomBlobEdit() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxBlobEditProperties::StaticClass(); }
  TcxCustomBlobEditProperties* ActiveBlobProperties() {
    return static_cast<TcxCustomBlobEditProperties*>(ActiveProperties());
  }

  // ---- The popup's parts (nullptr while no popup exists) ----
  TcxCustomEdit* PopupEditControl() const { return FPopupControl; }
  TcxPopupMemo* PopupMemo() const { return dynamic_cast<TcxPopupMemo*>(FPopupControl); }
  TcxPopupImage* PopupImage() const { return dynamic_cast<TcxPopupImage*>(FPopupControl); }
  TcxButton* OKButton() const { return FOKButton; }
  TcxButton* CloseButton() const { return FCloseButton; }
  // The class of the picture the user last accepted (nullptr: none yet, or
  // an empty picture).
  TGraphicClass LastGraphicClass() const { return FLastGraphicClass; }
  // Stand-alone editors: the own graphic-class event.
  TcxImageGraphicClassEvent OnGetGraphicClass;

  // Only a memo has a text: the popup memo's while it is open, else a
  // string value (design time: any value as a string).
  String BlobText();
  // Memo kind only; false when not taken.
  bool SetBlobText(const String& Value);

  // Memo and picture values have a popup (its control is made as it opens).
  bool CanDropDown() const override;
  // Closes the popup keeping (AAccept) or dropping the changes.
  void ClosePopup(bool AAccept) override;
  // A picture with PictureAutoSize: its size and a margin of 2 all round.
  TSize PopupContentSize() override;
  // The buttons follow the popup's panel.
  void PopupClientRectChanged(const TRect& AClientRect) override;
  void PropertiesChanged(TObject* Sender) override;
  // The font and colour reach an open popup memo and the buttons.
  void ContainerStyleChanged() override;

  // The closing keys of the popup control (see the unit notes); true when
  // the key closed the popup.
  bool HandlePopupKey(Word AKey, TShiftState AShift);
  // A character typed while the popup opens; true when the memo took it.
  bool ReplaceMemoText(Char AChar);
  // The graphic class a popup image asks for.
  TGraphicClass PopupGraphicClass(bool APastingFromClipboard);

protected:
  // Builds or refreshes the popup control and the buttons for the kind.
  virtual void CreatePopupControl();
  // Detaches the popup control from the properties and frees the buttons
  // and the control.
  virtual void FreePopupControls();
  // The popup control's OnEditing: the blob editor itself may change.
  virtual void PopupControlEditing(TObject* Sender, bool& CanEdit);

  void PreparePopup() override;
  TWinControl* PopupFocusedControl() override;
  void LayoutPopupWindow() override;
  void PopupWindowClosed(TObject* Sender) override;
  // The inner edit stays hidden: the closed editor paints its icon or text.
  void PlaceInnerControl() override;

private:
  bool CanChangeValue();
  void CreateButtons();
  void PlaceButtons();
  bool HasPopupWindowPanel() const;
  void PopupControlChanged(TObject* Sender);
  void ButtonClick(TObject* Sender);
  // Takes the popup control's value as the edit value.
  void AcceptPopupValue();

  // Owned as components of this editor. They outlive the popup's closing
  // (the key or click that closes it is still being handled by them) and
  // are freed when the kind changes or the editor goes.
  TcxCustomEdit* FPopupControl = nullptr;
  TcxButton* FOKButton = nullptr;
  TcxButton* FCloseButton = nullptr;
  Integer FButtonWidth = 0;
  Integer FButtonHeight = 0;
  // The user changed the popup control's value since it opened.
  bool FPopupModified = false;
  TGraphicClass FLastGraphicClass = nullptr;
};

class TcxBlobEdit : public TcxCustomBlobEdit {
  KORVANE_CLASS(TcxBlobEdit, TcxCustomBlobEdit)
  using TcxCustomBlobEdit::TcxCustomBlobEdit;
};

// Text flags of the closed editor: in place without an external border,
// and otherwise.
inline constexpr Cardinal cxBlobInplaceTextFlags = 0x210;
inline constexpr Cardinal cxBlobTextFlags = 0xA10;

// Adds the blob editor kind to the editor properties registry (once);
// cxBlobEditFinalize removes it and frees the shared glyphs.
void cxBlobEditRegister();
void cxBlobEditFinalize();
