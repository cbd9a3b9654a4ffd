#include "editors/cxImage.h"

#include <algorithm>
#include <cmath>

#include "editors/cxEditPaintUtils.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/filedialogs.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

template <class T>
class TSetForScope {
public:
  TSetForScope(T& AValue, T ANew) : FValue(AValue), FSaved(AValue) { FValue = ANew; }
  ~TSetForScope() { FValue = FSaved; }
  TSetForScope(const TSetForScope&) = delete;
  TSetForScope& operator=(const TSetForScope&) = delete;

private:
  T& FValue;
  T FSaved;
};

// Word 1, word 0x0100, then the length of the rest, all little-endian.
bool HasPictureHeader(const RawByteString& ABytes) {
  if (ABytes.size() < static_cast<size_t>(cxPictureValueHeaderSize)) return false;
  auto byte = [&](size_t I) { return static_cast<uint32_t>(static_cast<unsigned char>(ABytes[I])); };
  const uint32_t length = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
  return byte(0) == 1 && byte(1) == 0 && byte(2) == 0 && byte(3) == 1 &&
         length == ABytes.size() - static_cast<size_t>(cxPictureValueHeaderSize);
}

// A graphic of AKind read from the bytes; raises what the graphic raises.
std::unique_ptr<TGraphic> ReadGraphic(TGraphicClass AKind, const char* AData, Integer ASize) {
  std::unique_ptr<TGraphic> graphic(static_cast<TGraphic*>(AKind->Create()));
  TMemoryStreamReadOnly stream(AData, ASize);
  graphic->LoadFromStream(&stream);
  return graphic;
}

// The entries of the context menu, by index.
enum : Integer { miCut, miCopy, miPaste, miDelete, miLine1, miLoad, miSave, miLine2, miCustom, miCount };
const char16_t* const kMenuCaptions[miCount] = {u"Cu&t", u"&Copy", u"&Paste",  u"&Delete", u"-",
                                                u"&Load...", u"Save &As...", u"-", u""};
// The point (client coordinates) where the menu key shows the menu.
constexpr TPoint kMenuKeyPoint{10, 10};

std::unique_ptr<TImageList>& MenuGlyphsSlot() {
  static std::unique_ptr<TImageList> s;
  return s;
}

// Each glyph's own transparent colour: one no glyph uses.
constexpr TColor MenuGlyphMasks[cxImageMenuGlyphCount] = {TColor(0x808000), TColor(0x008080), TColor(0x800080),
                                                          TColor(0x808000), TColor(0x008080), TColor(0x800080)};
constexpr TColor MenuInk = TColor(0x000000);
constexpr TColor MenuPaper = TColor(0xFFFFFF);

void DrawMenuGlyph(TCanvas* C, Integer AIndex) {
  C->Pen()->SetColor(MenuInk);
  C->Brush()->SetColor(MenuPaper);
  switch (AIndex) {
    case 0:  // cut: scissors
      C->Brush()->SetColor(TColor(0x0000C0));
      C->Ellipse(2, 10, 7, 15);
      C->Ellipse(9, 10, 14, 15);
      C->MoveTo(5, 10);
      C->LineTo(11, 1);
      C->MoveTo(10, 10);
      C->LineTo(4, 1);
      break;
    case 1:  // copy: two pages
      C->Rectangle(1, 1, 10, 12);
      C->Rectangle(6, 4, 15, 15);
      break;
    case 2:  // paste: a clipboard with a page
      C->Brush()->SetColor(TColor(0x3080C0));
      C->Rectangle(1, 2, 12, 15);
      C->Brush()->SetColor(MenuPaper);
      C->Rectangle(6, 6, 15, 15);
      C->Brush()->SetColor(TColor(0x808080));
      C->FillRect(TRect{4, 1, 9, 4});
      break;
    case 3:  // delete: a red cross
      C->Pen()->SetColor(TColor(0x0000E0));
      for (Integer d = 0; d < 2; ++d) {
        C->MoveTo(3 + d, 3);
        C->LineTo(13 + d, 13);
        C->MoveTo(12 + d, 3);
        C->LineTo(2 + d, 13);
      }
      break;
    case 4:  // load: an open folder
      C->Brush()->SetColor(TColor(0x40C0F0));
      C->Rectangle(1, 4, 14, 14);
      C->FillRect(TRect{1, 2, 7, 5});
      break;
    default:  // save: a disk
      C->Brush()->SetColor(TColor(0x804000));
      C->Rectangle(1, 1, 15, 15);
      C->Brush()->SetColor(MenuPaper);
      C->FillRect(TRect{4, 2, 12, 7});
      C->FillRect(TRect{4, 10, 12, 15});
      break;
  }
}

}  // namespace

// ---- Graphic classes and the value ---------------------------------------------------------

const std::vector<TGraphicClass>& GetRegisteredGraphicClasses() {
  static const std::vector<TGraphicClass> classes{TBitmap::StaticClass(), TIcon::StaticClass(),
                                                  TMetafile::StaticClass(), TJPEGImage::StaticClass()};
  return classes;
}

TGraphicClass FindGraphicClassByName(const String& AName) {
  for (TGraphicClass kind : GetRegisteredGraphicClasses())
    if (SameText(kind->ClassName(), AName)) return kind;
  return nullptr;
}

TMemoryStreamReadOnly::TMemoryStreamReadOnly(const void* AData, Integer ASize) {
  SetPointer(const_cast<void*>(AData), ASize);
}

RawByteString SavePictureToString(TPicture* APicture) {
  TGraphic* graphic = APicture ? APicture->Graphic() : nullptr;
  if (!graphic || graphic->Empty()) return RawByteString();
  TStringStream stream;
  graphic->SaveToStream(&stream);
  return stream.DataString();
}

void LoadPictureFromValue(TPicture* APicture, TGraphicClass AGraphicClass, const Variant& AValue) {
  if (!VarIsStr(AValue)) return APicture->Assign(nullptr);
  const RawByteString bytes = AValue.AsRawByteString();
  if (bytes.size() < static_cast<size_t>(cxPictureValueHeaderSize)) return APicture->Assign(nullptr);
  const size_t start = HasPictureHeader(bytes) ? static_cast<size_t>(cxPictureValueHeaderSize) : 0;
  if (start == bytes.size()) return APicture->Assign(nullptr);
  const char* data = bytes.data() + start;
  const Integer size = static_cast<Integer>(bytes.size() - start);
  // The kind asked for first; bytes of another kind that this system reads
  // (a JPEG in a bitmap editor) are still shown rather than dropped.
  const TGraphicClass asked = AGraphicClass ? AGraphicClass : TBitmap::StaticClass();
  const TGraphicClass found = GraphicClassOfContent(RawByteString(data, static_cast<size_t>(std::min(size, 16))));
  std::vector<TGraphicClass> kinds{asked};
  if (found && found != asked) kinds.push_back(found);
  for (TGraphicClass kind : kinds) {
    try {
      std::unique_ptr<TGraphic> graphic = ReadGraphic(kind, data, size);
      APicture->SetGraphic(graphic.get());
      return;
    } catch (const Exception&) {
    }
  }
  APicture->Assign(nullptr);
}

TRect FitRectProportionally(const TRect& ARect, Integer AWidth, Integer AHeight) {
  const Integer width = ARect.Right - ARect.Left;
  const Integer height = ARect.Bottom - ARect.Top;
  if (width <= 0 || height <= 0 || AWidth <= 0 || AHeight <= 0) return ARect;
  TRect result = ARect;
  const Int64 w = AWidth, h = AHeight;
  if (static_cast<double>(width) / height >= static_cast<double>(w) / h)
    result.Right = ARect.Left + static_cast<Integer>(height * w / h);
  else
    result.Bottom = ARect.Top + static_cast<Integer>(width * h / w);
  return result;
}

Integer ClampImageScrollPosition(Integer APosition, Integer ARange, Integer APage) {
  const Integer last = std::max(0, ARange - std::max(0, APage));
  return std::clamp(APosition, 0, last);
}

// ---- TcxPopupMenuLayout --------------------------------------------------------------------

TcxPopupMenuLayout::TcxPopupMenuLayout() = default;
TcxPopupMenuLayout::~TcxPopupMenuLayout() = default;

void TcxPopupMenuLayout::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxPopupMenuLayout*>(Source);
  if (!source) return TPersistent::Assign(Source);
  FMenuItems = source->FMenuItems;
  FCustomMenuItemCaption = source->FCustomMenuItemCaption;
  SetCustomMenuItemGlyph(source->FCustomMenuItemGlyph.get());
}

TBitmap* TcxPopupMenuLayout::CustomMenuItemGlyph() {
  if (!FCustomMenuItemGlyph) FCustomMenuItemGlyph = std::make_unique<TBitmap>();
  return FCustomMenuItemGlyph.get();
}

void TcxPopupMenuLayout::SetCustomMenuItemGlyph(TBitmap* Value) {
  if (!Value) return FCustomMenuItemGlyph.reset();
  CustomMenuItemGlyph()->Assign(Value);
}

// ---- TcxCustomImageProperties --------------------------------------------------------------

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner),
      FGraphicClass(GetRegisteredGraphicClasses().front()),
      FPopupMenuLayout(std::make_unique<TcxPopupMenuLayout>()) {}

TcxCustomImageProperties::~TcxCustomImageProperties() = default;

TcxCustomEditClass TcxCustomImageProperties::GetEditorClass() { return TcxImage::StaticClass(); }

void TcxCustomImageProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomImageProperties*>(Source);
  if (!source) return TcxCustomEditProperties::Assign(Source);
  TcxUpdateScope update(this);
  TcxCustomEditProperties::Assign(Source);
  FCaption = source->FCaption;
  FCenter = source->FCenter;
  FCustomFilter = source->FCustomFilter;
  FGraphicClass = source->FGraphicClass;
  FGraphicTransparency = source->FGraphicTransparency;
  FPopupMenuLayout->Assign(source->FPopupMenuLayout.get());
  FShowFocusRect = source->FShowFocusRect;
  FStretch = source->FStretch;
  OnAssignPicture = source->OnAssignPicture;
  OnCustomClick = source->OnCustomClick;
  OnGetGraphicClass = source->OnGetGraphicClass;
  NotifyChanged();
}

String TcxCustomImageProperties::GraphicClassName() const {
  return FGraphicClass ? String(FGraphicClass->ClassName()) : String();
}

void TcxCustomImageProperties::SetGraphicClassName(const String& Value) {
  if (Value.empty()) return SetGraphicClass(nullptr);
  if (TGraphicClass kind = FindGraphicClassByName(Value)) SetGraphicClass(kind);
}

void TcxCustomImageProperties::SetPopupMenuLayout(TcxPopupMenuLayout* Value) {
  FPopupMenuLayout->Assign(Value);
  NotifyChanged();
}

TGraphicClass TcxCustomImageProperties::GetGraphicClass(Integer ARecordIndex, bool APastingFromClipboard) {
  TGraphicClass result = FGraphicClass;
  if (!result && APastingFromClipboard) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(this, ARecordIndex, APastingFromClipboard, result);
  return result;
}

TcxCustomEditViewDataClass TcxCustomImageProperties::GetViewDataClass() const {
  return TcxImageViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomImageProperties::GetViewInfoClass() const {
  return TcxImageViewInfo::StaticClass();
}

String TcxCustomImageProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  return VarIsNull(AValue) ? String() : FCaption;
}

// ---- TcxImageViewInfo ----------------------------------------------------------------------

TcxImageViewInfo::TcxImageViewInfo() = default;
TcxImageViewInfo::~TcxImageViewInfo() = default;

TPicture* TcxImageViewInfo::OwnPicture() {
  if (!FOwnedPicture) FOwnedPicture = std::make_unique<TPicture>();
  Picture = FOwnedPicture.get();
  return Picture;
}

TRect TcxImageViewInfo::PictureRect() const {
  const TRect client = ClientRect;
  const Integer pw = Picture ? Picture->Width() : 0;
  const Integer ph = Picture ? Picture->Height() : 0;
  TRect r;
  if (Stretch) {
    r = FitRectProportionally(client, pw, ph);
  } else {
    r = TRect{client.Left, client.Top, client.Left + pw, client.Top + ph};
    if (!Center) OffsetRect(r, -ScrollPos.X, -ScrollPos.Y);
  }
  if (Center)
    OffsetRect(r, ((client.Right - client.Left) - (r.Right - r.Left)) / 2,
               ((client.Bottom - client.Top) - (r.Bottom - r.Top)) / 2);
  return r;
}

void TcxImageViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxImageViewInfo*>(Source);
  if (!source) return;
  // The editor's picture is shared; a cell's own picture stays with its view info.
  Picture = source->FOwnedPicture ? nullptr : source->Picture;
  Caption = source->Caption;
  Center = source->Center;
  Stretch = source->Stretch;
  ShowFocusRect = source->ShowFocusRect;
  ScrollPos = source->ScrollPos;
  BorderExtent = source->BorderExtent;
}

void TcxImageViewInfo::Render(TcxCanvas* ACanvas) {
  DrawBackground(ACanvas);
  TRect client = ClientRect;
  if (ShowFocusRect) {
    ACanvas->DrawBorderBands(client, clBlack, cxAllBorders, 1);
    InflateRect(client, -1, -1);
  }
  TGraphic* graphic = Picture ? Picture->Graphic() : nullptr;
  if (!graphic || graphic->Empty()) {
    if (Caption.empty()) return;
    ACanvas->GetBrush()->SetStyle(bsClear);
    if (Font) ACanvas->SetFont(Font);
    ACanvas->GetFont()->SetColor(TextColor);
    ACanvas->DrawTextWithFlags(Caption, client, Enabled,
                               cxAlignHCenter | cxAlignVCenter | cxSingleLine);
    return;
  }
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(client);
  ACanvas->Canvas()->StretchDraw(PictureRect(), graphic);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

// ---- TcxImageViewData ----------------------------------------------------------------------

void TcxImageViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                       TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                                       bool AIsMouseEvent) {
  auto* liveEdit = dynamic_cast<TcxCustomImage*>(Edit);
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxImageViewInfo*>(AViewInfo);
  auto* properties = static_cast<TcxCustomImageProperties*>(Properties());
  info->BorderExtent = CalcBorderExtent();
  info->Caption = properties->Caption();
  info->Center = properties->Center();
  info->Stretch = properties->Stretch();
  info->ShowFocusRect = properties->ShowFocusRect() && Focused && !IsInplace();
  info->ScrollPos = TPoint{0, 0};
  if (liveEdit) {
    info->Picture = liveEdit->Picture();
    if (!info->Center && !info->Stretch) info->ScrollPos = liveEdit->ScrollPos();
    return;
  }
  TPicture* picture = info->OwnPicture();
  LoadPictureFromValue(picture, properties->GetGraphicClass(-1, false), Value);
  TGraphic* graphic = picture->Graphic();
  if (graphic && !graphic->Empty() && properties->GraphicTransparency() != gtDefault)
    graphic->SetTransparent(properties->GraphicTransparency() == gtTransparent);
}

TSize TcxImageViewData::CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                                          const TcxEditSizeProperties& ALimits) {
  auto* properties = static_cast<TcxCustomImageProperties*>(Properties());
  if (auto* edit = dynamic_cast<TcxCustomImage*>(Edit))
    return TSize{edit->Picture()->Width(), edit->Picture()->Height()};
  if (VarIsStr(AEditValue)) {
    TPicture picture;
    LoadPictureFromValue(&picture, properties->GetGraphicClass(-1, false), AEditValue);
    TSize size{picture.Width(), picture.Height()};
    if (properties->Stretch() && ALimits.Width > 0 && size.cx > 0) {
      size.cy = static_cast<Integer>(std::lround(static_cast<double>(size.cy) * ALimits.Width / size.cx));
      size.cx = ALimits.Width;
    }
    return size;
  }
  if (!properties->Caption().empty() && ACanvas) return ACanvas->GetTextSize(properties->Caption());
  return TSize{0, cxImageDefaultCellHeight};
}

// ---- TcxCustomImage ------------------------------------------------------------------------

TcxCustomImage::TcxCustomImage(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace), FPicture(std::make_unique<TPicture>()) {
  FPicture->OnChange = TNotifyEvent(this, &TcxCustomImage::PictureChanged);
  SetAutoSize(false);
  SetBounds(Left(), Top(), 140, 100);
}

TcxCustomImage::~TcxCustomImage() { FPicture->OnChange = TNotifyEvent(); }

void TcxCustomImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

bool TcxCustomImage::IsPictureEmpty() const {
  return !FPicture->Graphic() || FPicture->Graphic()->Empty();
}

bool TcxCustomImage::CanChangeValue() { return !ActiveProperties()->ReadOnly() && DataBinding()->CanModify(); }

TGraphicClass TcxCustomImage::GetGraphicClass(bool APastingFromClipboard) {
  if (IsInplace()) return ActiveImageProperties()->GetGraphicClass(-1, APastingFromClipboard);
  TGraphicClass result = ActiveImageProperties()->GraphicClass();
  if (!result && APastingFromClipboard) result = TBitmap::StaticClass();
  if (OnGetGraphicClass) OnGetGraphicClass(this, -1, APastingFromClipboard, result);
  return result;
}

bool TcxCustomImage::CanPasteFromClipboard() {
  TGraphicClass kind = GetGraphicClass(true);
  if (kind == TIcon::StaticClass()) return false;
  if (kind == TBitmap::StaticClass() || kind == TJPEGImage::StaticClass()) return Clipboard()->HasFormat(CF_BITMAP);
  if (kind == TMetafile::StaticClass()) return Clipboard()->HasFormat(CF_METAFILEPICT);
  return Clipboard()->HasFormat(CF_PICTURE);
}


void TcxCustomImage::CustomClick() {
  if (ImageProperties()->OnCustomClick) ImageProperties()->OnCustomClick(this);
  if (RepositoryItem() && ActiveImageProperties()->OnCustomClick) ActiveImageProperties()->OnCustomClick(this);
}

// ---- Value ---------------------------------------------------------------------------------

void TcxCustomImage::InternalSetEditValue(const Variant& Value, bool AValidateFirst) {
  {
    TSetForScope<bool> internal(FInternalSetting, true);
    if (VarIsStr(Value))
      LoadPictureFromValue(FPicture.get(), GetGraphicClass(false), Value);
    else
      FPicture->Assign(nullptr);
  }
  // The value is kept as given, even when its bytes gave no picture.
  TcxCustomEdit::InternalSetEditValue(Value, AValidateFirst);
}

void TcxCustomImage::PictureChanged(TObject*) {
  if (FInPictureChange || IsDestroying()) return;
  TSetForScope<bool> inChange(FInPictureChange, true);
  LockChangeEvents(true);
  struct TUnlock {
    TcxCustomImage* Edit;
    ~TUnlock() { Edit->LockChangeEvents(false); }
  } unlock{this};
  TcxCustomImageProperties* properties = ActiveImageProperties();
  if (properties->GraphicTransparency() != gtDefault && !IsPictureEmpty())
    FPicture->Graphic()->SetTransparent(properties->GraphicTransparency() == gtTransparent);
  if (!IsLoading()) {
    FScrollPos = TPoint{0, 0};
    RecalcScrollBars();
  }
  if (!FInternalSetting) {
    const Variant value = IsPictureEmpty() ? Null() : VarFromRawByteString(SavePictureToString(FPicture.get()));
    TcxCustomEdit::InternalSetEditValue(value, false);
    if (FUserAction) SetModified(true);
    DoChangeNotice();
    DoEditValueChangedNotice();
  }
  RefreshViewStateAtCursor();
  Invalidate();
  if (!FInternalSetting && FUserAction && properties->ImmediatePost() && ValidateEdit(true)) PostEditValue(false);
}

// ---- Commands ------------------------------------------------------------------------------

void TcxCustomImage::RunAsUserAction(void (TcxCustomImage::*ACommand)()) {
  TSetForScope<bool> user(FUserAction, true);
  (this->*ACommand)();
}

void TcxCustomImage::ClearEditValue() {
  if (DoEditing()) FPicture->Assign(nullptr);
}

void TcxCustomImage::CopyToClipboard() {
  if (!IsPictureEmpty()) Clipboard()->Assign(FPicture.get());
}

void TcxCustomImage::CutToClipboard() {
  if (IsPictureEmpty() || !CanChangeValue()) return;
  CopyToClipboard();
  ClearEditValue();
}

void TcxCustomImage::PasteFromClipboard() {
  if (!CanChangeValue() || !CanPasteFromClipboard() || !DoEditing()) return;
  try {
    if (!Clipboard()->HasFormat(CF_BITMAP)) {
      TPicture pasted;
      Clipboard()->AssignTo(&pasted);
      FPicture->Assign(&pasted);
      return;
    }
    TBitmap bitmap;
    Clipboard()->AssignTo(&bitmap);
    if (GetGraphicClass(true) == TJPEGImage::StaticClass()) {
      TJPEGImage jpeg;
      jpeg.Assign(&bitmap);
      jpeg.Compress();
      FPicture->SetGraphic(&jpeg);
    } else {
      FPicture->SetGraphic(&bitmap);
    }
  } catch (const EInvalidGraphic&) {
    // The clipboard changed under us: nothing to paste.
  }
}

void TcxCustomImage::ShowFileError(const String& AText) {
  ::MessageBox(HandleAllocated() ? Handle() : 0, AText, u"Image", MB_OK | MB_ICONERROR);
}

void TcxCustomImage::LoadFromFile() {
  if (!CanChangeValue()) return;
  TOpenDialog dialog(nullptr);
  const String& custom = ActiveImageProperties()->CustomFilter();
  dialog.SetFilter(!custom.empty() ? custom : GraphicFilter(GetGraphicClass(false)));
  {
    TSetForScope<bool> showing(FDialogShowing, true);
    if (!dialog.Execute()) return;
  }
  if (!DoEditing()) return;
  TPicture loaded;
  try {
    loaded.LoadFromFile(dialog.FileName());
  } catch (const Exception& E) {
    return ShowFileError(E.Message);
  }
  FPicture->Assign(&loaded);
}

void TcxCustomImage::SaveToFile() {
  if (IsPictureEmpty()) return;
  TGraphicClass kind = FPicture->Graphic()->ClassType();
  TSaveDialog dialog(nullptr);
  const String& custom = ActiveImageProperties()->CustomFilter();
  dialog.SetFilter(!custom.empty() ? custom : GraphicFilter(kind));
  dialog.SetDefaultExt(GraphicExtension(kind));
  {
    TSetForScope<bool> showing(FDialogShowing, true);
    if (!dialog.Execute()) return;
  }
  try {
    FPicture->SaveToFile(dialog.FileName());
  } catch (const Exception& E) {
    ShowFileError(E.Message);
  }
}

// ---- Keys and the context menu -------------------------------------------------------------

void TcxCustomImage::KeyDown(Word& Key, TShiftState Shift) {
  void (TcxCustomImage::*command)() = nullptr;
  const TShiftState mods = Shift & (ssShift | ssCtrl | ssAlt);
  if (Key == VK_INSERT && mods == ssShift)
    command = &TcxCustomImage::PasteFromClipboard;
  else if (Key == VK_INSERT && mods == ssCtrl)
    command = &TcxCustomImage::CopyToClipboard;
  else if (Key == VK_DELETE && mods == ssShift)
    command = &TcxCustomImage::CutToClipboard;
  if (!command) return TcxCustomEdit::KeyDown(Key, Shift);
  Key = 0;
  RunAsUserAction(command);
}

void TcxCustomImage::KeyPress(Char& Key) {
  constexpr Char kCtrlC = 3, kCtrlV = 22, kCtrlX = 24;
  void (TcxCustomImage::*command)() = Key == kCtrlC   ? &TcxCustomImage::CopyToClipboard
                                      : Key == kCtrlV ? &TcxCustomImage::PasteFromClipboard
                                      : Key == kCtrlX ? &TcxCustomImage::CutToClipboard
                                                      : nullptr;
  if (!command) return TcxCustomEdit::KeyPress(Key);
  Key = 0;
  RunAsUserAction(command);
}

TPopupMenu* TcxCustomImage::ContextMenu() {
  if (FContextMenu) return FContextMenu;
  FContextMenu = new TPopupMenu(this);
  for (Integer i = 0; i < miCount; ++i) {
    auto* item = new TMenuItem(FContextMenu);
    item->SetCaption(kMenuCaptions[i]);
    item->SetTag(i);
    item->OnClick = TNotifyEvent(this, &TcxCustomImage::MenuItemClick);
    FContextMenu->Items()->Add(item);
  }
  return FContextMenu;
}

void TcxCustomImage::PrepareMenu() {
  TcxCustomImageProperties* properties = ActiveImageProperties();
  TcxPopupMenuLayout* layout = properties->PopupMenuLayout();
  TMenuItem* items = ContextMenu()->Items();
  const bool canChange = CanChangeValue();
  const bool hasPicture = !IsPictureEmpty();
  const bool isIcon = GetGraphicClass(false) == TIcon::StaticClass();
  const bool enabled[miCount] = {canChange && hasPicture && !isIcon, hasPicture && !isIcon,
                                 canChange && CanPasteFromClipboard(), hasPicture && canChange, true, canChange,
                                 hasPicture, true, true};
  const TcxPopupMenuItem member[miCount] = {pmiCut, pmiCopy, pmiPaste, pmiDelete, -1, pmiLoad, pmiSave, -1, pmiCustom};
  for (Integer i = 0; i < miCount; ++i) {
    TMenuItem* item = items->Items(i);
    if (member[i] >= 0) item->SetVisible(layout->Has(member[i]));
    item->SetEnabled(enabled[i]);
  }
  items->Items(miLine1)->SetVisible(layout->Has(pmiLoad) || layout->Has(pmiSave));
  items->Items(miLine2)->SetVisible(layout->Has(pmiCustom));
  items->Items(miCustom)->SetCaption(layout->CustomMenuItemCaption());

  // The glyphs: the shared six for the commands, then the custom one.
  if (!FMenuImages) FMenuImages = TImageList::CreateSize(cxImageMenuGlyphSize, cxImageMenuGlyphSize);
  FMenuImages->Clear();
  TImageList* shared = GetImageMenuGlyphs();
  for (Integer i = 0; i < shared->Count(); ++i) {
    // Taken out over its own transparent colour and left out again.
    shared->SetBkColor(MenuGlyphMasks[i]);
    TBitmap image(cxImageMenuGlyphSize, cxImageMenuGlyphSize, pf32bit);
    shared->GetBitmap(i, &image);
    FMenuImages->AddMasked(&image, MenuGlyphMasks[i]);
  }
  shared->SetBkColor(clNone);
  const Integer commandGlyph[miCount] = {0, 1, 2, 3, -1, 4, 5, -1, -1};
  for (Integer i = 0; i < miCount; ++i) items->Items(i)->SetImageIndex(commandGlyph[i]);
  TBitmap* custom = layout->HasCustomMenuItemGlyph() ? layout->CustomMenuItemGlyph() : nullptr;
  if (custom && !custom->Empty()) {
    TBitmap scaled(cxImageMenuGlyphSize, cxImageMenuGlyphSize, pf32bit);
    scaled.Canvas()->StretchDraw(TRect{0, 0, cxImageMenuGlyphSize, cxImageMenuGlyphSize}, custom);
    items->Items(miCustom)->SetImageIndex(FMenuImages->AddMasked(&scaled, clDefault));
  }
  ContextMenu()->SetImages(FMenuImages.get());
}

void TcxCustomImage::MenuItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  static void (TcxCustomImage::*const commands[miCount])() = {
      &TcxCustomImage::CutToClipboard, &TcxCustomImage::CopyToClipboard, &TcxCustomImage::PasteFromClipboard,
      &TcxCustomImage::ClearEditValue, nullptr, &TcxCustomImage::LoadFromFile, &TcxCustomImage::SaveToFile,
      nullptr, &TcxCustomImage::CustomClick};
  const Integer index = item->Tag();
  if (index < 0 || index >= miCount || !commands[index]) return;
  RunAsUserAction(commands[index]);
}

void TcxCustomImage::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  TcxCustomEdit::DoContextPopup(MousePos, Handled);
  if (Handled || PopupMenu() || ActiveImageProperties()->PopupMenuLayout()->MenuItems() == 0) return;
  const bool byKey = MousePos.X == -1 && MousePos.Y == -1;
  PrepareMenu();
  const TPoint screen = ClientToScreen(byKey ? kMenuKeyPoint : MousePos);
  Handled = ShowPopupMenu(ContextMenu(), screen.X, screen.Y);
}

// ---- Scrolling -----------------------------------------------------------------------------

bool TcxCustomImage::ScrollsPicture() {
  // Before the window exists the property set may not be made yet (and must
  // not be made while a descendant is still being constructed).
  if (!HandleAllocated()) return false;
  TcxCustomImageProperties* properties = ActiveImageProperties();
  const TRect client = PictureArea();
  return !IsInplace() && !AutoSize() && !properties->Center() && !properties->Stretch() && !IsPictureEmpty() &&
         client.Right > client.Left && client.Bottom > client.Top;
}

TRect TcxCustomImage::PictureArea() {
  TRect area = ClientRect();
  if (auto* info = dynamic_cast<TcxImageViewInfo*>(GetViewInfo()))
    area = DeflateRectByMargins(area, info->BorderExtent);
  return area;
}

void TcxCustomImage::ComputeScrollBarParams() {
  if (!ScrollsPicture()) {
    FScrollPos = TPoint{0, 0};
    SetScrollBarParams(sbHorizontal, 0, 0, 0, 0, cxImageScrollLineStep, false, true);
    SetScrollBarParams(sbVertical, 0, 0, 0, 0, cxImageScrollLineStep, false, true);
    return;
  }
  // Called once per trial of the bars' visibility: the positions offered
  // are clamped here, the stored ones only once the bars have settled.
  const TRect client = PictureArea();
  const Integer pageX = client.Right - client.Left, pageY = client.Bottom - client.Top;
  const Integer x = ClampImageScrollPosition(FScrollPos.X, FPicture->Width(), pageX);
  const Integer y = ClampImageScrollPosition(FScrollPos.Y, FPicture->Height(), pageY);
  SetScrollBarParams(sbHorizontal, 0, FPicture->Width() - 1, x, pageX, cxImageScrollLineStep, true, true);
  SetScrollBarParams(sbVertical, 0, FPicture->Height() - 1, y, pageY, cxImageScrollLineStep, true, true);
}

void TcxCustomImage::ClampScrollPos() {
  const TRect client = PictureArea();
  FScrollPos.X = ClampImageScrollPosition(FScrollPos.X, FPicture->Width(), client.Right - client.Left);
  FScrollPos.Y = ClampImageScrollPosition(FScrollPos.Y, FPicture->Height(), client.Bottom - client.Top);
}

void TcxCustomImage::ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (!ScrollsPicture()) return;
  const TRect client = PictureArea();
  const bool horizontal = AKind == sbHorizontal;
  const Integer range = horizontal ? FPicture->Width() : FPicture->Height();
  const Integer page = horizontal ? client.Right - client.Left : client.Bottom - client.Top;
  Integer& position = horizontal ? FScrollPos.X : FScrollPos.Y;
  Integer wanted = position;
  switch (AScrollCode) {
    case scLineUp: wanted -= cxImageScrollLineStep; break;
    case scLineDown: wanted += cxImageScrollLineStep; break;
    case scPageUp: wanted -= page; break;
    case scPageDown: wanted += page; break;
    case scPosition:
    case scTrack: wanted = AScrollPos; break;
    case scTop: wanted = 0; break;
    case scBottom: wanted = range; break;
    default: return;
  }
  position = ClampImageScrollPosition(wanted, range, page);
  AScrollPos = position;
  RecalcScrollBars();
  RefreshViewStateAtCursor();
  Invalidate();
}

void TcxCustomImage::Resize() {
  TcxCustomEdit::Resize();
  if (ScrollsPicture()) ClampScrollPos();
  RefreshViewStateAtCursor();
}

// ---- Menu glyphs ---------------------------------------------------------------------------

TImageList* GetImageMenuGlyphs() {
  std::unique_ptr<TImageList>& slot = MenuGlyphsSlot();
  if (slot) return slot.get();
  slot = TImageList::CreateSize(cxImageMenuGlyphSize, cxImageMenuGlyphSize);
  for (Integer i = 0; i < cxImageMenuGlyphCount; ++i) {
    TBitmap glyph(cxImageMenuGlyphSize, cxImageMenuGlyphSize, pf32bit);
    glyph.Canvas()->Brush()->SetColor(MenuGlyphMasks[i]);
    glyph.Canvas()->FillRect(TRect{0, 0, cxImageMenuGlyphSize, cxImageMenuGlyphSize});
    DrawMenuGlyph(glyph.Canvas(), i);
    slot->AddMasked(&glyph, MenuGlyphMasks[i]);
  }
  return slot.get();
}

void cxImageMenuGlyphsFree() { MenuGlyphsSlot().reset(); }

// ---- Registration --------------------------------------------------------------------------

void cxImageRegister() {
  GetEditPropertiesRegistry()->AddClass(TcxImageProperties::StaticClass(), LoadResString(cxSEditImageKind));
}
