#include "editors/cxBlobEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditTextUtils.h"
#include "foundation/cxGraphics.h"
#include "platform/rtl/sysutils.h"

namespace {

std::unique_ptr<TImageList>& GlyphsSlot() {
  static std::unique_ptr<TImageList> s;
  return s;
}

bool IsEmptyBlobValue(const Variant& AValue) {
  return VarIsNullOrEmpty(AValue) || (VarIsStr(AValue) && VarToStr(AValue).empty());
}

bool IsHighSurrogate(Char c) { return c >= 0xD800 && c <= 0xDBFF; }

// ---- The glyphs, drawn once: a page, lines of text, a landscape, a linked box.

constexpr TColor GlyphInk = TColor(0x000000);
constexpr TColor GlyphPaper = TColor(0xFFFFFF);
constexpr TColor GlyphSky = TColor(0xF0C080);
constexpr TColor GlyphHill = TColor(0x308030);
constexpr TColor GlyphSun = TColor(0x00C0FF);
constexpr TColor GlyphLink = TColor(0x800000);

void DrawPage(TCanvas* C, Integer X) {
  C->Pen()->SetColor(GlyphInk);
  C->Brush()->SetColor(GlyphPaper);
  C->Rectangle(X + 2, 1, X + 14, 15);
}

void DrawGlyph(TCanvas* C, Integer AIndex) {
  const Integer x = AIndex * cxBlobGlyphSize;
  const bool filled = AIndex % 2 == 1;
  DrawPage(C, x);
  C->Pen()->SetColor(GlyphInk);
  switch (AIndex / 2 * 2) {
    case cxBlobGlyphBlob:  // binary: rows of bits
      if (filled)
        for (Integer row = 4; row <= 10; row += 3)
          for (Integer col = 4; col <= 10; col += 3) C->FillRect(TRect{x + col, row, x + col + 2, row + 2});
      break;
    case cxBlobGlyphMemo:  // text: lines
      if (filled)
        for (Integer row = 4; row <= 12; row += 2) {
          C->MoveTo(x + 4, row);
          C->LineTo(x + (row == 12 ? 9 : 12), row);
        }
      break;
    case cxBlobGlyphPict:  // picture: sky, sun and hill
      if (filled) {
        C->Brush()->SetColor(GlyphSky);
        C->FillRect(TRect{x + 3, 2, x + 13, 14});
        C->Brush()->SetColor(GlyphSun);
        C->FillRect(TRect{x + 9, 4, x + 12, 7});
        C->Brush()->SetColor(GlyphHill);
        C->Pen()->SetColor(GlyphHill);
        C->Polygon({{x + 3, 13}, {x + 7, 7}, {x + 12, 13}});
      }
      break;
    default:  // OLE: a linked box
      if (filled) {
        C->Pen()->SetColor(GlyphLink);
        C->Brush()->SetColor(GlyphPaper);
        C->Rectangle(x + 4, 4, x + 9, 9);
        C->Rectangle(x + 7, 7, x + 12, 12);
      }
      break;
  }
}

// The stored setter passes through here so that the kind's button follows.
TcxBlobEditKind KindOfDataBlobKind(Integer ABlobKind) {
  switch (ABlobKind) {
    case cxBlobKindGraphic: return bekPict;
    case cxBlobKindMemo: return bekMemo;
    case cxBlobKindOle: return bekOle;
    default: return bekBlob;
  }
}

}  // namespace

TImageList* GetBlobEditGlyphs() {
  std::unique_ptr<TImageList>& slot = GlyphsSlot();
  if (slot) return slot.get();
  slot = TImageList::CreateSize(cxBlobGlyphSize, cxBlobGlyphSize);
  TBitmap strip(cxBlobGlyphSize * cxBlobGlyphCount, cxBlobGlyphSize, pf32bit);
  TCanvas* canvas = strip.Canvas();
  canvas->Brush()->SetColor(cxBlobGlyphTransparentColor);
  canvas->FillRect(TRect{0, 0, strip.Width(), strip.Height()});
  for (Integer i = 0; i < cxBlobGlyphCount; ++i) DrawGlyph(canvas, i);
  slot->AddMasked(&strip, cxBlobGlyphTransparentColor);
  return slot.get();
}

String BlobMemoShortText(const String& AText) {
  size_t start = 0;
  while (start < AText.size() && AText[start] <= u' ') ++start;
  size_t end = std::min(AText.size(), start + static_cast<size_t>(cxBlobTextMaxLength));
  if (end < AText.size() && end > start && IsHighSurrogate(AText[end - 1])) --end;
  String result = AText.substr(start, end - start);
  for (Char& c : result)
    if (c < u' ') c = u' ';
  return result;
}

// ---- TcxCustomBlobEditProperties ---------------------------------------------------------

TcxCustomBlobEditProperties::TcxCustomBlobEditProperties(TPersistent* AOwner)
    : TcxCustomDropDownEditProperties(AOwner), FPictureGraphicClass(GetRegisteredGraphicClasses().front()) {
  SetImmediateDropDown(true);
  SetPopupMinWidth(160);
  SetPopupMinHeight(140);
  SetPopupWidth(250);
  SetPopupHeight(200);
  ApplyKindToButton();
}

void TcxCustomBlobEditProperties::Assign(TPersistent* Source) {
  if (auto* source = dynamic_cast<TcxCustomBlobEditProperties*>(Source)) {
    BeginUpdate();
    FAlwaysSaveData = source->FAlwaysSaveData;
    SetBlobEditKind(source->FBlobEditKind);
    SetBlobPaintStyle(source->FBlobPaintStyle);
    FMemoAutoReplace = source->FMemoAutoReplace;
    FMemoWantReturns = source->FMemoWantReturns;
    FMemoWantTabs = source->FMemoWantTabs;
    FMemoOEMConvert = source->FMemoOEMConvert;
    FMemoWordWrap = source->FMemoWordWrap;
    FMemoMaxLength = source->FMemoMaxLength;
    FMemoCharCase = source->FMemoCharCase;
    FMemoScrollBars = source->FMemoScrollBars;
    FPictureAutoSize = source->FPictureAutoSize;
    FPictureFilter = source->FPictureFilter;
    FPictureGraphicClass = source->FPictureGraphicClass;
    FPictureTransparency = source->FPictureTransparency;
    FShowExPopupItems = source->FShowExPopupItems;
    FShowPicturePopup = source->FShowPicturePopup;
    OnAssignPicture = source->OnAssignPicture;
    OnGetGraphicClass = source->OnGetGraphicClass;
    NotifyChanged();
    EndUpdate();
  }
  TcxCustomDropDownEditProperties::Assign(Source);
}

void TcxCustomBlobEditProperties::ResolveKind() const {
  if (FBlobEditKind != bekAuto) return;
  auto* self = const_cast<TcxCustomBlobEditProperties*>(this);
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  self->BeginUpdate();
  self->SetBlobEditKind(provider ? KindOfDataBlobKind(provider->ProvideBlobKind()) : bekBlob);
  // Resolving is no change of the settings: nobody is told.
  self->EndUpdate(false);
}

TcxBlobEditKind TcxCustomBlobEditProperties::BlobEditKind() const {
  ResolveKind();
  return FBlobEditKind;
}

void TcxCustomBlobEditProperties::SetBlobEditKind(TcxBlobEditKind Value) {
  if (FBlobEditKind == Value) return;
  FBlobEditKind = Value;
  ApplyKindToButton();
  NotifyChanged();
}

void TcxCustomBlobEditProperties::ApplyKindToButton() {
  if (Buttons()->Count() == 0) return;
  const bool dropsDown = FBlobEditKind == bekMemo || FBlobEditKind == bekPict;
  Buttons()->GetButton(0)->SetKind(dropsDown ? bkDown : bkEllipsis);
}

String TcxCustomBlobEditProperties::PictureGraphicClassName() const {
  return FPictureGraphicClass ? String(FPictureGraphicClass->ClassName()) : String();
}

void TcxCustomBlobEditProperties::SetPictureGraphicClassName(const String& Value) {
  if (Value.empty()) return SetPictureGraphicClass(nullptr);
  if (TGraphicClass kind = FindGraphicClassByName(Value)) SetPictureGraphicClass(kind);
}

bool TcxCustomBlobEditProperties::IsPictureGraphicClassNameStored() const {
  return FPictureGraphicClass != GetRegisteredGraphicClasses().front();
}

void TcxCustomBlobEditProperties::SetIsPictureGraphicClassNameEmpty(bool Value) {
  if (Value) SetPictureGraphicClass(nullptr);
}

String TcxCustomBlobEditProperties::GetBlobText(const Variant& AValue, bool AFullText) const {
  const bool isNull = VarIsNullOrEmpty(AValue);
  switch (BlobEditKind()) {
    case bekMemo:
      if (AFullText && VarIsStr(AValue)) return VarToStr(AValue);
      switch (FBlobPaintStyle) {
        case bpsDefault: return LoadResString(isNull ? cxSBlobMemoEmpty : cxSBlobMemo);
        case bpsText: return VarIsStr(AValue) ? BlobMemoShortText(VarToStr(AValue)) : String();
        default: return String();
      }
    case bekPict:
      if (isNull) return FBlobPaintStyle == bpsDefault ? LoadResString(cxSBlobPictureEmpty) : String();
      return LoadResString(cxSBlobPicture);
    case bekOle: return LoadResString(cxSBlobOle);
    default: return LoadResString(cxSBlobBlob);
  }
}

Integer TcxCustomBlobEditProperties::GetIconIndex(const Variant& AValue) const {
  if (FBlobPaintStyle != bpsIcon) return -1;
  Integer base = cxBlobGlyphBlob;
  switch (BlobEditKind()) {
    case bekMemo: base = cxBlobGlyphMemo; break;
    case bekPict: base = cxBlobGlyphPict; break;
    case bekOle: base = cxBlobGlyphOle; break;
    default: break;
  }
  return IsEmptyBlobValue(AValue) ? base : base + 1;
}

String TcxCustomBlobEditProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  return VarIsNullOrEmpty(AValue) ? String() : GetBlobText(AValue, false);
}

bool TcxCustomBlobEditProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  if (FBlobPaintStyle != bpsText || BlobEditKind() != bekMemo) return false;
  return VarIsStr(A) && VarIsStr(B) && VarToStr(A) == VarToStr(B);
}

bool TcxCustomBlobEditProperties::IsEditValueText() const {
  if (BlobEditKind() != bekMemo) return false;
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return !provider || !provider->ProvideIsBlob();
}

TcxCustomEditViewDataClass TcxCustomBlobEditProperties::GetViewDataClass() const {
  return TcxBlobEditViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomBlobEditProperties::GetViewInfoClass() const {
  return TcxBlobEditViewInfo::StaticClass();
}

// ---- TcxBlobEditViewInfo ------------------------------------------------------------------

void TcxBlobEditViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxBlobEditViewInfo*>(Source);
  if (!source) return;
  Text = source->Text;
  TextFlags = source->TextFlags;
  TextRect = source->TextRect;
  IconRect = source->IconRect;
  IconIndex = source->IconIndex;
  Transparent = source->Transparent;
  ShowFocusRect = source->ShowFocusRect;
}

void TcxBlobEditViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(TextRect, DX, DY);
  OffsetRect(IconRect, DX, DY);
}

bool TcxBlobEditViewInfo::QueryHintWithRect(const TPoint&, String& AText, TRect& ARect) {
  AText.clear();
  ARect = TRect{};
  return false;
}

void TcxBlobEditViewInfo::Render(TcxCanvas* ACanvas) {
  if (IsRectEmpty(Bounds) || !ACanvas->IsRectVisible(Bounds)) return;
  if (IconIndex >= 0) {
    TcxRegion* saved = ACanvas->CopyClipRegion();
    ACanvas->ClipToRect(ClientRect);
    if (Transparent)
      GetBlobEditGlyphs()->Draw(ACanvas->Canvas(), IconRect.Left, IconRect.Top, IconIndex, Enabled);
    else
      DrawImageListGlyph(ACanvas, GetBlobEditGlyphs(), IconIndex, IconRect, BackgroundColor, Enabled);
    ACanvas->ApplyClipRegion(saved, roCopy, true);
    TcxRegion* beforeIcon = ACanvas->CopyClipRegion();
    if (!Transparent) ACanvas->ClipOutRect(IconRect);
    DrawBackground(ACanvas);
    ACanvas->ApplyClipRegion(beforeIcon, roCopy, true);
  } else {
    DrawBackground(ACanvas);
    if (!Text.empty()) {
      ACanvas->GetBrush()->SetStyle(bsClear);
      if (Font) ACanvas->SetFont(Font);
      ACanvas->GetFont()->SetColor(TextColor);
      TRect r = TextRect;
      cxTextOut(ACanvas, Text, r, TextFlags);
    }
  }
  if (ShowFocusRect) {
    TRect focus = ClientRect;
    InflateRect(focus, -1, -1);
    ACanvas->Canvas()->DrawFocusRect(focus);
  }
}

// ---- TcxBlobEditViewData ------------------------------------------------------------------

Variant TcxBlobEditViewData::ShownValue() const {
  if (auto* edit = dynamic_cast<TcxCustomEdit*>(Edit)) return edit->EditValue();
  return Value;
}

void TcxBlobEditViewData::EditValueToDisplayText(const Variant& AEditValue, String& AText) {
  AText = static_cast<TcxCustomBlobEditProperties*>(Properties())->GetBlobText(AEditValue, false);
}

void TcxBlobEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                          TcxMouseButton AButton, TShiftState AShift,
                                          TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxBlobEditViewInfo*>(AViewInfo);
  auto* properties = static_cast<TcxCustomBlobEditProperties*>(Properties());
  const Variant value = ShownValue();
  info->IconIndex = properties->GetIconIndex(value);
  info->Transparent = info->BackgroundColor == clNone;
  info->TextRect = info->ClientRect;
  info->TextFlags = IsInplace() && Style()->BorderStyle() == ebsNone ? cxBlobInplaceTextFlags : cxBlobTextFlags;
  auto* edit = dynamic_cast<TcxCustomEdit*>(Edit);
  info->ShowFocusRect = Focused && !IsInplace() && !(edit && edit->HasOpenPopup());
  if (info->IconIndex >= 0) {
    info->Text.clear();
    const TRect& client = info->ClientRect;
    const Integer left = client.Left + (client.Right - client.Left - cxBlobGlyphSize) / 2;
    const Integer top = client.Top + (client.Bottom - client.Top - cxBlobGlyphSize) / 2;
    info->IconRect = TRect{left, top, left + cxBlobGlyphSize, top + cxBlobGlyphSize};
    return;
  }
  info->IconRect = TRect{};
  DoGetDisplayText(value, info->Text);
}

TSize TcxBlobEditViewData::CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                                             const TcxEditSizeProperties&) {
  auto* properties = static_cast<TcxCustomBlobEditProperties*>(Properties());
  if (properties->BlobPaintStyle() == bpsIcon) return TSize{cxBlobGlyphSize, cxBlobGlyphSize};
  String text;
  DoGetDisplayText(AEditValue, text);
  return ACanvas && !text.empty() ? ACanvas->GetTextSize(text) : TSize{0, 0};
}

// ---- Registration -------------------------------------------------------------------------

void cxBlobEditRegister() {
  GetEditPropertiesRegistry()->AddClass(TcxBlobEditProperties::StaticClass(), LoadResString(cxSEditBlobEditKind));
}

void cxBlobEditFinalize() {
  GetEditPropertiesRegistry()->RemoveClass(TcxBlobEditProperties::StaticClass());
  GlyphsSlot().reset();
}
