#include "editors/cxBlobEdit.h"

#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditTextUtils.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/sysmetrics.h"
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
constexpr TColor GlyphFaint = TColor(0xB0B0B0);

void DrawPage(TCanvas* C, Integer X) {
  C->Pen()->SetColor(GlyphInk);
  C->Brush()->SetColor(GlyphPaper);
  C->Rectangle(X + 2, 1, X + 14, 15);
}

// The empty form of each kind shows its mark faintly, the filled form in colour.
void DrawGlyph(TCanvas* C, Integer AIndex) {
  const Integer x = AIndex * cxBlobGlyphSize;
  const bool filled = AIndex % 2 == 1;
  const TColor ink = filled ? GlyphInk : GlyphFaint;
  DrawPage(C, x);
  C->Pen()->SetColor(ink);
  C->Brush()->SetColor(ink);
  switch (AIndex / 2 * 2) {
    case cxBlobGlyphBlob:  // binary: rows of bits
      for (Integer row = 4; row <= 10; row += 3)
        for (Integer col = 4; col <= 10; col += 3) C->FillRect(TRect{x + col, row, x + col + 2, row + 2});
      break;
    case cxBlobGlyphMemo:  // text: lines
      for (Integer row = 4; row <= 12; row += 2) {
        C->MoveTo(x + 4, row);
        C->LineTo(x + (row == 12 ? 9 : 12), row);
      }
      break;
    case cxBlobGlyphPict:  // picture: sky, sun and hill
      C->Brush()->SetColor(filled ? GlyphSky : GlyphPaper);
      C->FillRect(TRect{x + 3, 2, x + 13, 14});
      C->Brush()->SetColor(filled ? GlyphSun : GlyphFaint);
      C->FillRect(TRect{x + 9, 4, x + 12, 7});
      C->Brush()->SetColor(filled ? GlyphHill : GlyphFaint);
      C->Pen()->SetColor(filled ? GlyphHill : GlyphFaint);
      C->Polygon({{x + 3, 13}, {x + 7, 7}, {x + 12, 13}});
      break;
    default:  // OLE: a linked box
      C->Pen()->SetColor(filled ? GlyphLink : GlyphFaint);
      C->Brush()->SetColor(GlyphPaper);
      C->Rectangle(x + 4, 4, x + 9, 9);
      C->Rectangle(x + 7, 7, x + 12, 12);
      break;
  }
}

// The editor kind of a blob kind the data reports.
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
    : TcxCustomPopupEditProperties(AOwner), FPictureGraphicClass(GetRegisteredGraphicClasses().front()) {
  SetImmediatePopup(true);
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
  TcxCustomPopupEditProperties::Assign(Source);
}

TcxCustomEditClass TcxCustomBlobEditProperties::GetEditorClass() { return TcxBlobEdit::StaticClass(); }

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
  auto* properties = static_cast<TcxCustomBlobEditProperties*>(Properties());
  properties->BlobEditKind();  // resolved before the buttons are laid out: the kind sets the first one's
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxBlobEditViewInfo*>(AViewInfo);
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

// ---- TcxPopupMemo, TcxPopupImage -----------------------------------------------------------

TcxPopupMemo::TcxPopupMemo(TcxCustomBlobEdit* AOwner) : TcxMemo(AOwner), FBlobEdit(AOwner) {}

bool TcxPopupMemo::PreviewInnerMessage(TMessage& Message) {
  // The closing keys come before the memo's own use of Enter and the arrows.
  if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) {
    const Word key = static_cast<Word>(Message.WParam);
    if (FBlobEdit->HandlePopupKey(key, KeyDataToShiftState(Message.LParam))) return true;
  }
  return TcxMemo::PreviewInnerMessage(Message);
}

void TcxPopupMemo::Resize() {
  TcxMemo::Resize();
  TcxCustomInnerMemo* memo = InnerMemo();
  if (IsDestroying() || !memo) return;
  memo->ScrollLines(0);  // no move: only brings the first shown line back in range
  RecalcScrollBars();
}

TcxPopupImage::TcxPopupImage(TcxCustomBlobEdit* AOwner) : TcxImage(AOwner), FBlobEdit(AOwner) {}

TGraphicClass TcxPopupImage::GetGraphicClass(bool APastingFromClipboard) {
  return FBlobEdit->PopupGraphicClass(APastingFromClipboard);
}

// ---- TcxBlobEditPopupWindow ----------------------------------------------------------------

TcxBlobEditPopupWindow::TcxBlobEditPopupWindow(TcxCustomDropDownEdit* AEdit)
    : TcxPopupEditPopupWindow(AEdit, AEdit), FEdit(AEdit) {
  // The panel holds the editor's own buttons in place of the close cross.
  GetViewInfo()->CloseButton = false;
}

TcxCustomBlobEdit* TcxBlobEditPopupWindow::BlobEdit() const { return static_cast<TcxCustomBlobEdit*>(FEdit); }

void TcxBlobEditPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (BlobEdit()->HandlePopupKey(Key, Shift)) {
    Key = 0;
    return;
  }
  TcxPopupEditPopupWindow::KeyDown(Key, Shift);
}

void TcxBlobEditPopupWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == CXM_POPUPCHAR && BlobEdit()->ReplaceMemoText(static_cast<Char>(Message.WParam))) return;
  TcxPopupEditPopupWindow::Dispatch(Message);
}

// ---- TcxCustomBlobEdit ---------------------------------------------------------------------

namespace {

TcxCustomEditPopupWindow* CreateBlobEditPopupWindow(TcxCustomDropDownEdit* AEdit) {
  return new TcxBlobEditPopupWindow(AEdit);
}

// The buttons' height for a text height: 20 pixels for a 13-pixel font.
constexpr Integer ButtonHeightNumerator = 20;
constexpr Integer ButtonHeightDenominator = 13;
// The panel's buttons sit this far toward its outer edge from its middle.
constexpr Integer ButtonOuterShift = 2;

}  // namespace

TcxCustomBlobEdit::TcxCustomBlobEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomPopupEdit(AOwner, AIsInplace, CreateBlobEditPopupWindow) {
  SetTabStop(true);
}

TcxCustomBlobEdit::~TcxCustomBlobEdit() { FreePopupControls(); }

bool TcxCustomBlobEdit::CanChangeValue() {
  return !ActiveProperties()->ReadOnly() && DataBinding()->CanModify();
}

String TcxCustomBlobEdit::BlobText() {
  if (IsDesigning()) return VarToStr(EditValue());
  if (ActiveBlobProperties()->BlobEditKind() != bekMemo) return String();
  if (TcxPopupMemo* memo = PopupMemo(); memo && HasOpenPopup()) return memo->Text();
  return VarIsStr(EditValue()) ? VarToStr(EditValue()) : String();
}

bool TcxCustomBlobEdit::SetBlobText(const String& Value) {
  if (ActiveBlobProperties()->BlobEditKind() != bekMemo) return false;
  if (TcxPopupMemo* memo = PopupMemo(); memo && HasOpenPopup())
    memo->SetEditValue(Variant(Value));
  else
    SetEditValue(Variant(Value));
  return true;
}

void TcxCustomBlobEdit::PlaceInnerControl() {
  if (InnerEdit() && InnerEdit()->Visible()) InnerEdit()->SetVisible(false);
}

bool TcxCustomBlobEdit::CanDropDown() const {
  const TcxBlobEditKind kind = const_cast<TcxCustomBlobEdit*>(this)->ActiveBlobProperties()->BlobEditKind();
  return kind == bekMemo || kind == bekPict;
}

void TcxCustomBlobEdit::PreparePopup() {
  CreatePopupControl();
  TcxCustomPopupEdit::PreparePopup();
}

TWinControl* TcxCustomBlobEdit::PopupFocusedControl() {
  return FPopupControl ? FPopupControl : TcxCustomPopupEdit::PopupFocusedControl();
}

void TcxCustomBlobEdit::CreatePopupControl() {
  TcxCustomBlobEditProperties* p = ActiveBlobProperties();
  const TcxBlobEditKind kind = p->BlobEditKind();
  const bool hasMemo = PopupMemo() != nullptr, hasImage = PopupImage() != nullptr;
  if ((hasMemo && kind != bekMemo) || (hasImage && kind != bekPict)) FreePopupControls();
  FPopupModified = false;
  p->SetPopupControl(nullptr);
  if (kind != bekMemo && kind != bekPict) return;

  if (kind == bekMemo) {
    auto* memo = static_cast<TcxPopupMemo*>(FPopupControl ? FPopupControl : new TcxPopupMemo(this));
    FPopupControl = memo;
    memo->SetParent(PopupWindow());
    memo->Style()->SetBorderStyle(ebsNone);
    auto* mp = static_cast<TcxCustomMemoProperties*>(memo->Properties());
    mp->BeginUpdate();
    mp->SetCharCase(p->MemoCharCase());
    mp->SetMaxLength(p->MemoMaxLength());
    mp->SetScrollBars(p->MemoScrollBars());
    mp->SetWantReturns(p->MemoWantReturns());
    mp->SetWantTabs(p->MemoWantTabs());
    mp->SetWordWrap(p->MemoWordWrap());
    mp->SetReadOnly(p->ReadOnly() || !CanChangeValue());
    mp->EndUpdate();
    p->SetPopupSysPanelStyle(true);
    p->SetPopupAutoSize(false);
  } else {
    auto* image = static_cast<TcxPopupImage*>(FPopupControl ? FPopupControl : new TcxPopupImage(this));
    FPopupControl = image;
    image->SetParent(PopupWindow());
    image->Style()->SetBorderStyle(ebsNone);
    TcxCustomImageProperties* ip = image->ImageProperties();
    ip->BeginUpdate();
    ip->SetShowFocusRect(false);
    ip->SetStretch(true);
    ip->SetCustomFilter(p->PictureFilter());
    ip->SetGraphicTransparency(p->PictureTransparency());
    TcxPopupMenuItems items = cxDefaultPopupMenuItems;
    if (!p->ShowPicturePopup())
      items = 0;
    else if (!p->ShowExPopupItems())
      items &= static_cast<TcxPopupMenuItems>(~(cxPopupMenuItem(pmiLoad) | cxPopupMenuItem(pmiSave)));
    ip->PopupMenuLayout()->SetMenuItems(items);
    ip->SetReadOnly(p->ReadOnly() || !CanChangeValue());
    ip->SetGraphicClass(p->PictureGraphicClass());
    ip->EndUpdate();
    p->SetPopupSysPanelStyle(true);
    p->SetPopupAutoSize(p->PictureAutoSize());
  }
  p->SetPopupControl(FPopupControl);
  FPopupControl->Style()->LookAndFeel()->Assign(Style()->LookAndFeel());
  FPopupControl->Style()->SetFont(Style()->GetVisibleFont());
  FPopupControl->Style()->SetColor(Style()->Color());
  FPopupControl->Properties()->OnChange = TNotifyEvent();
  FPopupControl->OnEditing = TcxEditEditingEvent();
  FPopupControl->SetEditValue(EditValue());
  FPopupControl->Properties()->OnChange = TNotifyEvent(this, &TcxCustomBlobEdit::PopupControlChanged);
  FPopupControl->OnEditing = TcxEditEditingEvent(this, &TcxCustomBlobEdit::PopupControlEditing);
  CreateButtons();
}

void TcxCustomBlobEdit::CreateButtons() {
  const bool canChange = CanChangeValue();
  if (!FCloseButton) {
    FCloseButton = new TcxButton(this);
    FCloseButton->OnClick = TNotifyEvent(this, &TcxCustomBlobEdit::ButtonClick);
  }
  FCloseButton->SetParent(PopupWindow());
  FCloseButton->SetCaption(LoadResString(canChange ? cxSBlobButtonCancel : cxSBlobButtonClose));
  FCloseButton->SetCancel(true);
  FCloseButton->SetModalResult(mrCancel);
  TFont* font = Style()->GetVisibleFont();
  FButtonHeight = MulDiv(TextHeightInFont(font, u"Wg"), ButtonHeightNumerator, ButtonHeightDenominator);
  FButtonWidth = TextWidthInFont(font, FCloseButton->Caption() + u"00");
  Integer buttonCount = 1;
  if (canChange) {
    if (!FOKButton) {
      FOKButton = new TcxButton(this);
      FOKButton->OnClick = TNotifyEvent(this, &TcxCustomBlobEdit::ButtonClick);
    }
    FOKButton->SetParent(PopupWindow());
    FOKButton->SetCaption(LoadResString(cxSBlobButtonOK));
    FOKButton->SetModalResult(mrOk);
    FOKButton->SetEnabled(false);
    FButtonWidth = std::max(FButtonWidth, TextWidthInFont(font, FOKButton->Caption() + u"00"));
    ++buttonCount;
  } else if (FOKButton) {
    delete FOKButton;
    FOKButton = nullptr;
  }
  const Integer h = FButtonHeight;
  PopupWindow()->SetSysPanelHeight(h + h / 3);
  ActiveBlobProperties()->SetPopupMinWidth((h / 3 + FButtonWidth) * buttonCount + GetSystemMetrics(SM_CXVSCROLL) +
                                           h / 2);
}

void TcxCustomBlobEdit::FreePopupControls() {
  TcxCustomBlobEditProperties* p = ActiveBlobProperties();
  if (FPopupControl && p->PopupControl() == FPopupControl) p->SetPopupControl(nullptr);
  delete FOKButton;
  FOKButton = nullptr;
  delete FCloseButton;
  FCloseButton = nullptr;
  delete FPopupControl;
  FPopupControl = nullptr;
}

void TcxCustomBlobEdit::PopupControlEditing(TObject*, bool& CanEdit) { CanEdit = CanEdit && DoEditing(); }

void TcxCustomBlobEdit::PopupControlChanged(TObject*) {
  FPopupModified = true;
  if (FOKButton) FOKButton->SetEnabled(true);
}

void TcxCustomBlobEdit::ButtonClick(TObject* Sender) {
  auto* button = static_cast<TcxButton*>(Sender);
  ClosePopup(button->ModalResult() == mrOk);
}

TSize TcxCustomBlobEdit::PopupContentSize() {
  TcxCustomBlobEditProperties* p = ActiveBlobProperties();
  TcxPopupImage* image = PopupImage();
  if (p->BlobEditKind() != bekPict || !p->PictureAutoSize() || !image) return TcxCustomPopupEdit::PopupContentSize();
  return TSize{image->Picture()->Width() + 4, image->Picture()->Height() + 4};
}

void TcxCustomBlobEdit::LayoutPopupWindow() {
  TcxCustomPopupEdit::LayoutPopupWindow();
  // The control fills the client rectangle only: the panel below it stays
  // free for the buttons and the grip.
  if (FPopupControl && HostedControl() == FPopupControl) {
    FPopupControl->SetAlign(alNone);
    FPopupControl->SetBoundsRect(PopupWindow()->GetViewInfo()->ClientRect);
  }
  PlaceButtons();
}

void TcxCustomBlobEdit::PopupClientRectChanged(const TRect& AClientRect) {
  TcxCustomPopupEdit::PopupClientRectChanged(AClientRect);
  PlaceButtons();
}

void TcxCustomBlobEdit::PlaceButtons() {
  if (!FCloseButton || !HasPopupWindowPanel()) return;
  const TcxCustomEditPopupWindowViewInfo* vi = PopupWindow()->GetViewInfo();
  const TRect& panel = vi->SysPanelRect;
  const Integer h = FButtonHeight, w = FButtonWidth;
  const bool panelBelow = panel.Top >= vi->ClientRect.Bottom;
  Integer top = panel.Top + (panel.Bottom - panel.Top - h) / 2 + (panelBelow ? ButtonOuterShift : -ButtonOuterShift);
  top = std::max(panel.Top, std::min(top, panel.Bottom - h));
  const TRect& grip = vi->SizeGripRect;
  const bool gripInPanel = !IsRectEmpty(grip) && grip.Top < panel.Bottom && grip.Bottom > panel.Top;
  const Integer right = gripInPanel ? grip.Left - h / 6 : panel.Right - 2 * (h / 6);
  FCloseButton->SetBounds(right - w, top, w, h);
  FCloseButton->SetVisible(true);
  if (FOKButton) {
    FOKButton->SetBounds(right - w - h / 3 - w, top, w, h);
    FOKButton->SetVisible(true);
  }
}

bool TcxCustomBlobEdit::HasPopupWindowPanel() const {
  return PopupWindow() && !IsRectEmpty(PopupWindow()->GetViewInfo()->SysPanelRect);
}

bool TcxCustomBlobEdit::HandlePopupKey(Word AKey, TShiftState AShift) {
  if (!HasOpenPopup() || !FPopupControl) return false;
  const bool alt = AShift & ssAlt, ctrl = AShift & ssCtrl;
  const bool isImage = PopupImage() != nullptr;
  TModalResult result = mrNone;
  if (AKey == VK_ESCAPE)
    result = mrCancel;
  else if ((AKey == VK_F4 && !alt) || ((AKey == VK_UP || AKey == VK_DOWN) && alt))
    result = ActiveBlobProperties()->AlwaysSaveData() ? mrOk : mrCancel;
  else if (AKey == VK_RETURN && (isImage || ctrl || !ActiveBlobProperties()->MemoWantReturns()))
    result = mrOk;
  if (result == mrNone) return false;
  ClosePopup(result == mrOk);
  return true;
}

bool TcxCustomBlobEdit::ReplaceMemoText(Char AChar) {
  TcxPopupMemo* memo = PopupMemo();
  if (!memo || !ActiveBlobProperties()->MemoAutoReplace() || memo->ActiveProperties()->ReadOnly()) return false;
  memo->SetEditValue(Variant(String(1, AChar)));
  memo->SetSelection(1, 0);
  PopupControlChanged(memo);
  return true;
}

TGraphicClass TcxCustomBlobEdit::PopupGraphicClass(bool APastingFromClipboard) {
  TGraphicClass result = ActiveBlobProperties()->PictureGraphicClass();
  if (!result && APastingFromClipboard) result = TBitmap::StaticClass();
  if (ActiveBlobProperties()->OnGetGraphicClass)
    ActiveBlobProperties()->OnGetGraphicClass(this, -1, APastingFromClipboard, result);
  if (OnGetGraphicClass) OnGetGraphicClass(this, -1, APastingFromClipboard, result);
  return result;
}

void TcxCustomBlobEdit::ClosePopup(bool AAccept) {
  if (!HasOpenPopup()) return;
  PopupWindow()->SetModalResult(AAccept ? mrOk : mrCancel);
  PopupWindow()->ClosePopup(false);
}

void TcxCustomBlobEdit::PopupWindowClosed(TObject* Sender) {
  const TModalResult result = PopupWindow()->ModalResult();
  LockChangeEvents(true);
  struct TUnlock {
    TcxCustomBlobEdit* Edit;
    ~TUnlock() { Edit->LockChangeEvents(false); }
  } unlock{this};
  TcxCustomPopupEdit::PopupWindowClosed(Sender);
  const bool keep = result == mrOk || (result != mrCancel && ActiveBlobProperties()->AlwaysSaveData());
  if (FPopupControl && FPopupModified && keep && DoEditing()) AcceptPopupValue();
  FPopupModified = false;
  TcxCustomBlobEditProperties* p = ActiveBlobProperties();
  if (FPopupControl && p->PopupControl() == FPopupControl) p->SetPopupControl(nullptr);
  if (FPopupControl) FPopupControl->SetVisible(false);
  RefreshViewStateAtCursor();
  Invalidate();
}

void TcxCustomBlobEdit::AcceptPopupValue() {
  // The memo's text as it stands (its own value follows only when it
  // validates); the image's value follows every change at once.
  const Variant value = PopupMemo() ? Variant(PopupMemo()->Text()) : FPopupControl->EditValue();
  TcxCustomEdit::InternalSetEditValue(value, false);
  SetModified(true);
  if (TcxPopupImage* image = PopupImage()) {
    TGraphic* graphic = image->Picture()->Graphic();
    FLastGraphicClass = graphic && !graphic->Empty() ? graphic->ClassType() : nullptr;
    // ... told to the editor's own settings first, then to its repository item's.
    if (Properties() && static_cast<TcxCustomBlobEditProperties*>(Properties())->OnAssignPicture)
      static_cast<TcxCustomBlobEditProperties*>(Properties())->OnAssignPicture(this, image->Picture());
    if (RepositoryItem()) {
      auto* itemProperties = static_cast<TcxCustomBlobEditProperties*>(RepositoryItem()->Properties());
      if (itemProperties->OnAssignPicture) itemProperties->OnAssignPicture(this, image->Picture());
    }
  }
  DoChangeNotice();
  DoEditValueChangedNotice();
  if (ActiveProperties()->ImmediatePost() && ValidateEdit(true)) PostEditValue(false);
}

void TcxCustomBlobEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomPopupEdit::PropertiesChanged(Sender);
  if (TcxPopupImage* image = PopupImage(); image && HasOpenPopup())
    image->ImageProperties()->SetGraphicClass(ActiveBlobProperties()->PictureGraphicClass());
}

void TcxCustomBlobEdit::ContainerStyleChanged() {
  TcxCustomPopupEdit::ContainerStyleChanged();
  if (!HasOpenPopup()) return;
  TFont* font = Style()->GetVisibleFont();
  if (TcxPopupMemo* memo = PopupMemo()) {
    memo->Style()->SetFont(font);
    memo->Style()->SetColor(Style()->Color());
  }
  for (TcxButton* button : {FOKButton, FCloseButton})
    if (button) button->SetFont(font);
}
