#include "editors/cxHyperLinkEdit.h"

#include <array>
#include <string_view>

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/sysutils.h"
#include "platform/shell/shell.h"

namespace {

// The schemes an address may have to be opened; the first three name a
// host after "//".
constexpr std::array<std::u16string_view, 5> kKnownSchemes = {u"http", u"https", u"ftp", u"mailto", u"file"};
constexpr size_t kHostSchemeCount = 3;

Char LowerAscii(Char C) { return (C >= u'A' && C <= u'Z') ? Char(C - u'A' + u'a') : C; }
bool IsAsciiLetter(Char C) { return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z'); }
bool IsAsciiDigit(Char C) { return C >= u'0' && C <= u'9'; }

// The index of AText's scheme among the known ones (-1: none).
Integer KnownSchemeIndex(const String& AText) {
  const size_t colon = AText.find(u':');
  if (colon == String::npos) return -1;
  for (size_t i = 0; i < kKnownSchemes.size(); ++i) {
    const std::u16string_view scheme = kKnownSchemes[i];
    if (scheme.size() != colon) continue;
    bool same = true;
    for (size_t k = 0; k < colon && same; ++k) same = LowerAscii(AText[k]) == scheme[k];
    if (same) return static_cast<Integer>(i);
  }
  return -1;
}

// A blank, a control character or a character no address holds.
bool IsForbiddenChar(Char C) {
  return C <= u' ' || C == 0x7F || (C >= 0x80 && C <= 0x9F) || C == 0x00A0 || C == 0x2028 || C == 0x2029 ||
         C == 0x3000 || C == u'"' || C == u'<' || C == u'>' || C == u'\\' || C == u'`' || C == u'{' || C == u'}' ||
         C == u'|' || C == u'^';
}

bool IsHostChar(Char C) {
  return IsAsciiLetter(C) || IsAsciiDigit(C) || C == u'-' || C == u'.' || C == u'_' || C == u'%' || C >= 0x80;
}

// "[user[:password]@]host[:port]" with a host name or a bracketed address.
bool IsValidAuthority(std::u16string_view AAuthority) {
  const size_t at = AAuthority.rfind(u'@');
  std::u16string_view hostPort = at == std::u16string_view::npos ? AAuthority : AAuthority.substr(at + 1);
  std::u16string_view host = hostPort;
  std::u16string_view port;
  if (!hostPort.empty() && hostPort[0] == u'[') {
    const size_t close = hostPort.find(u']');
    if (close == std::u16string_view::npos || close < 2) return false;
    for (Char c : hostPort.substr(1, close - 1))
      if (!(IsAsciiDigit(c) || (LowerAscii(c) >= u'a' && LowerAscii(c) <= u'f') || c == u':' || c == u'.')) return false;
    host = hostPort.substr(0, close + 1);
    const std::u16string_view rest = hostPort.substr(close + 1);
    if (!rest.empty() && rest[0] != u':') return false;
    port = rest.empty() ? rest : rest.substr(1);
    if (!rest.empty() && port.empty()) return false;
  } else {
    const size_t colon = hostPort.find(u':');
    if (colon != std::u16string_view::npos) {
      host = hostPort.substr(0, colon);
      port = hostPort.substr(colon + 1);
      if (port.empty()) return false;
    }
    if (host.empty() || host[0] == u'-' || host[0] == u'.') return false;
    for (Char c : host)
      if (!IsHostChar(c)) return false;
  }
  for (Char c : port)
    if (!IsAsciiDigit(c)) return false;
  return true;
}

}  // namespace

bool cxHyperLinkHasKnownScheme(const String& AText) { return KnownSchemeIndex(AText) >= 0; }

bool cxHyperLinkIsOpenableURL(const String& AURL) {
  const Integer scheme = KnownSchemeIndex(AURL);
  if (scheme < 0) return false;
  for (Char c : AURL)
    if (IsForbiddenChar(c)) return false;
  const std::u16string_view rest = std::u16string_view(AURL).substr(AURL.find(u':') + 1);
  if (rest.empty()) return false;
  if (static_cast<size_t>(scheme) >= kHostSchemeCount) {
    // mailto: something after the colon; file: a path from the root.
    return kKnownSchemes[scheme] != u"file" || rest[0] == u'/';
  }
  if (rest.substr(0, 2) != u"//") return false;
  const std::u16string_view afterSlashes = rest.substr(2);
  const size_t end = afterSlashes.find_first_of(u"/?#");
  return IsValidAuthority(afterSlashes.substr(0, end));
}

// ---------------------------------------------------------------------------
// Properties

TcxCustomHyperLinkEditProperties::TcxCustomHyperLinkEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner), FPrefix(LoadResString(cxSHyperLinkPrefix)) {
  SetAutoSelect(false);
  SetValidateOnEnter(false);
}

TcxCustomEditClass TcxCustomHyperLinkEditProperties::GetEditorClass() { return TcxHyperLinkEdit::StaticClass(); }

void TcxCustomHyperLinkEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomHyperLinkEditProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomTextEditProperties::Assign(Source);
  if (!source || source == this) return;
  SetAutoComplete(source->FAutoComplete);
  SetLinkColor(source->FLinkColor);
  SetPrefix(source->FPrefix);
  SetSingleClick(source->FSingleClick);
  SetStartKey(source->FStartKey);
  OnStartClick = source->OnStartClick;
}

String TcxCustomHyperLinkEditProperties::AddPrefixTo(const String& AText) const {
  // A text that gets no prefix stays exactly as typed (blanks included).
  const String text = Trim(AText);
  if (FPrefix.empty() || text.empty() || text.starts_with(FPrefix) || cxHyperLinkHasKnownScheme(text)) return AText;
  return FPrefix + text;
}

void TcxCustomHyperLinkEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                         IcxCustomEdit* AEdit) {
  if (FAutoComplete) ADisplayValue = Variant(AddPrefixTo(VarToStr(ADisplayValue)));
  TcxCustomTextEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

TcxCustomEditViewDataClass TcxCustomHyperLinkEditProperties::GetViewDataClass() const {
  return TcxHyperLinkEditViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomHyperLinkEditProperties::GetViewInfoClass() const {
  return TcxHyperLinkEditViewInfo::StaticClass();
}

TcxCustomEditStyleClass TcxCustomHyperLinkEditProperties::GetStyleClass() const {
  return TcxHyperLinkStyle::StaticClass();
}

// ---------------------------------------------------------------------------
// Style, view data and view info

TColor TcxHyperLinkStyle::GetTextColor() const {
  if (IsValueAssigned(csvTextColor)) return TcxEditStyle::GetTextColor();
  if (auto* edit = dynamic_cast<TcxCustomHyperLinkEdit*>(OwnerContainer()))
    return edit->ActiveHyperLinkProperties()->LinkColor();
  return cxHyperLinkDefaultLinkColor;
}

TFontStyles TcxHyperLinkStyle::GetTextStyle() const { return TcxEditStyle::GetTextStyle() | fsUnderline; }

namespace {

// A cell's link: one row, vertically centred, cut with an ellipsis.
constexpr TcxTextLayoutFlags LinkTextFlags = cxtlSingleLine | cxtlAlignVCenter | cxtlEndEllipsis;
// The text keeps this far from the client area's sides.
constexpr Integer LinkTextMargin = 2;

TcxTextLayoutFlags HorzFlagsOf(TAlignment AAlignment) {
  switch (AAlignment) {
    case taRightJustify: return cxtlAlignRight;
    case taCenter: return cxtlAlignHCenter;
    default: return cxtlAlignLeft;
  }
}

}  // namespace

void TcxHyperLinkEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                               TcxMouseButton AButton, TShiftState AShift,
                                               TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* properties = static_cast<TcxCustomHyperLinkEditProperties*>(Properties());
  auto* info = static_cast<TcxHyperLinkEditViewInfo*>(AViewInfo);
  info->LinkColor = properties->LinkColor();
  if (Style() && Style()->IsValueAssigned(csvTextColor)) info->LinkColor = Style()->GetTextColor();
  info->TextFlags = LinkTextFlags | HorzFlagsOf(properties->GetAlignment()->Horz());
  info->TextRect = info->ClientRect;
  InflateRect(info->TextRect, -LinkTextMargin, 0);
  if (auto* edit = dynamic_cast<TcxCustomTextEdit*>(Edit)) info->Text = edit->Text();
}

void TcxHyperLinkEditViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                    TcxCustomEditViewInfo* AViewInfo) {
  static_cast<TcxHyperLinkEditViewInfo*>(AViewInfo)->Text = Properties()->GetDisplayTextOfValue(AEditValue);
}

void TcxHyperLinkEditViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  if (auto* s = dynamic_cast<TcxHyperLinkEditViewInfo*>(Source)) {
    Text = s->Text;
    TextFlags = s->TextFlags;
    TextRect = s->TextRect;
    LinkColor = s->LinkColor;
  }
}

void TcxHyperLinkEditViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(TextRect, DX, DY);
}

void TcxHyperLinkEditViewInfo::Render(TcxCanvas* ACanvas) {
  DrawBackground(ACanvas);
  if (BackgroundColor != clNone) TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ClientRect, BackgroundColor);
  if (Text.empty()) return;
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(ClientRect);
  TFont font;
  if (Font) font.Assign(Font);
  font.SetStyle(font.Style() | fsUnderline);
  font.SetColor(DrawnTextColor());
  ACanvas->SetFont(&font);
  ACanvas->GetBrush()->SetStyle(bsClear);
  TRect r = TextRect;
  DrawTextInFontColor(ACanvas, Text, r, TextFlags);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

// ---------------------------------------------------------------------------
// The editor

TcxCustomHyperLinkEdit::TcxCustomHyperLinkEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace) {
  RecreateStylesAndViewInfo();
}

TcxCustomHyperLinkEditProperties* TcxCustomHyperLinkEdit::ActiveHyperLinkProperties() {
  return static_cast<TcxCustomHyperLinkEditProperties*>(ActiveProperties());
}

bool TcxCustomHyperLinkEdit::StartLink() {
  auto* own = static_cast<TcxCustomHyperLinkEditProperties*>(Properties());
  auto* item = RepositoryItem() ? dynamic_cast<TcxCustomHyperLinkEditProperties*>(RepositoryItem()->Properties())
                                : nullptr;
  const bool handled = own->OnStartClick || (item && item->OnStartClick);
  own->OnStartClick(this);
  if (item) item->OnStartClick(this);
  if (handled) return false;
  const String text = Trim(Text());
  if (text.empty()) return false;
  const String url = ActiveHyperLinkProperties()->AddPrefixTo(text);
  if (!cxHyperLinkIsOpenableURL(url)) return false;
  return ShellOpenURL(url);
}

TColor TcxCustomHyperLinkEdit::LinkTextColor() {
  // The state styles take what they do not set themselves from the normal
  // style.
  TcxCustomContainerStyle* style = GetActiveStyle();
  if (style && (style->IsValueAssigned(csvTextColor) || Style()->IsValueAssigned(csvTextColor)))
    return style->GetTextColor();
  return ActiveHyperLinkProperties()->LinkColor();
}

void TcxCustomHyperLinkEdit::SyncInnerControl() {
  TcxCustomTextEdit::SyncInnerControl();
  TCustomEdit* inner = InnerEdit();
  if (!inner) return;
  TFont font;
  font.Assign(inner->Font());
  font.SetStyle(font.Style() | fsUnderline);
  font.SetColor(LinkTextColor());
  if (!inner->Font()->SameAs(font)) inner->SetFont(&font);
}

void TcxCustomHyperLinkEdit::UpdateCursor() {
  TCustomEdit* inner = InnerEdit();
  const bool hand = ActiveHyperLinkProperties()->SingleClick();
  if (hand == FHandCursor) return;
  if (hand) {
    FPrevCursor = Cursor();
    FPrevInnerCursor = inner ? inner->Cursor() : crDefault;
    SetCursor(crHandPoint);
    if (inner) inner->SetCursor(crHandPoint);
  } else {
    SetCursor(FPrevCursor);
    if (inner) inner->SetCursor(FPrevInnerCursor);
  }
  FHandCursor = hand;
}

void TcxCustomHyperLinkEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomTextEdit::PropertiesChanged(Sender);
  if (IsDestroying()) return;
  UpdateCursor();
  SyncInnerControl();  // the link colour follows LinkColor
}

void TcxCustomHyperLinkEdit::EditKeyDown(Word& Key, TShiftState Shift) {
  const TShortCut startKey = ActiveHyperLinkProperties()->StartKey();
  if (startKey != 0 && ShortCut(Key, Shift) == startKey) {
    StartLink();
    Key = 0;
    return;
  }
  TcxCustomTextEdit::EditKeyDown(Key, Shift);
}

bool TcxCustomHyperLinkEdit::PreviewInnerMessage(TMessage& Message) {
  const bool singleClick = ActiveHyperLinkProperties()->SingleClick();
  if (Message.Msg == WM_LBUTTONDBLCLK && !singleClick) StartLink();
  if (Message.Msg == WM_LBUTTONUP && singleClick && InnerEdit() && InnerEdit()->SelLength() == 0) StartLink();
  return TcxCustomTextEdit::PreviewInnerMessage(Message);
}

void TcxCustomHyperLinkEdit::DblClick() {
  TcxCustomTextEdit::DblClick();
  if (!ActiveHyperLinkProperties()->SingleClick()) StartLink();
}

void TcxCustomHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomTextEdit::MouseUp(Button, Shift, X, Y);
  const bool inClient = ViewInfo() && PtInRect(ViewInfo()->ClientRect, TPoint{X, Y});
  if (Button == mbLeft && inClient && ActiveHyperLinkProperties()->SingleClick() && SelLength() == 0) StartLink();
}

void cxHyperLinkEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxHyperLinkEditProperties::StaticClass(),
                                        LoadResourceText(cxSEditHyperLinkKind));
}

void cxHyperLinkEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxHyperLinkEditProperties::StaticClass()); }
