#include "editors/cxMemo.h"

#include <algorithm>

#include "platform/rtl/variant.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/exceptions.h"

namespace {

// The editor's default size.
constexpr Integer cxMemoDefaultWidth = 185;
constexpr Integer cxMemoDefaultHeight = 89;

bool IsLineBreakChar(Char C) { return C == u'\r' || C == u'\n'; }

// Number of characters a line break starting at APos takes (CR LF is one break).
size_t LineBreakLength(const String& AText, size_t APos) {
  return AText[APos] == u'\r' && APos + 1 < AText.size() && AText[APos + 1] == u'\n' ? 2 : 1;
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomMemoProperties

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* AOwner) : TcxCustomTextEditProperties(AOwner) {
  SetAutoSelect(false);
}

TcxCustomEditClass TcxCustomMemoProperties::GetEditorClass() { return TcxMemo::StaticClass(); }

void TcxCustomMemoProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomMemoProperties*>(Source);
  if (!source || source == this) return TcxCustomTextEditProperties::Assign(Source);
  TcxUpdateScope update(this);
  TcxCustomTextEditProperties::Assign(Source);
  SetScrollBars(source->ScrollBars());
  SetWantReturns(source->WantReturns());
  SetWantTabs(source->WantTabs());
  SetWordWrap(source->WordWrap());
}

TcxTextLayoutFlags TcxCustomMemoProperties::MemoTextFlags() {
  TcxTextLayoutFlags flags = cxtlWholeRows | cxtlExpandTabs | cxtlKeepLeft;
  if (FWordWrap && FScrollBars != ssHorizontal && FScrollBars != ssBoth) flags |= cxtlWordBreak | cxtlBreakLongWords;
  switch (GetAlignment()->Horz()) {
    case taRightJustify: return flags | cxtlAlignRight;
    case taCenter: return flags | cxtlAlignHCenter;
    default: return flags | cxtlAlignLeft;
  }
}

TcxCustomEditViewDataClass TcxCustomMemoProperties::GetViewDataClass() const {
  return TcxCustomMemoViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomMemoProperties::GetViewInfoClass() const {
  return TcxCustomMemoViewInfo::StaticClass();
}

// ---- View data and view info ----

namespace {

// The text keeps this far from the client area's sides and top.
constexpr Integer MemoTextMarginX = 2;
constexpr Integer MemoTextMarginY = 1;

}  // namespace

void TcxCustomMemoViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                            TcxMouseButton AButton, TShiftState AShift,
                                            TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* info = static_cast<TcxCustomMemoViewInfo*>(AViewInfo);
  info->TextFlags = static_cast<TcxCustomMemoProperties*>(Properties())->MemoTextFlags();
  info->TextRect = info->ClientRect;
  InflateRect(info->TextRect, -MemoTextMarginX, -MemoTextMarginY);
  info->MaxLineCount = MaxLineCount;
  if (auto* edit = dynamic_cast<TcxCustomEdit*>(Edit)) info->Text = VarToStr(edit->EditValue());
}

void TcxCustomMemoViewData::EditValueToDrawValue(TcxCanvas*, const Variant& AEditValue,
                                                 TcxCustomEditViewInfo* AViewInfo) {
  String text;
  try {
    text = VarToStr(AEditValue);
  } catch (const Exception&) {
    // A value without a text shows none.
  }
  static_cast<TcxCustomMemoViewInfo*>(AViewInfo)->Text = text;
}

void TcxCustomMemoViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  if (auto* s = dynamic_cast<TcxCustomMemoViewInfo*>(Source)) {
    Text = s->Text;
    TextFlags = s->TextFlags;
    TextRect = s->TextRect;
    MaxLineCount = s->MaxLineCount;
  }
}

void TcxCustomMemoViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(TextRect, DX, DY);
}

void TcxCustomMemoViewInfo::Render(TcxCanvas* ACanvas) {
  DrawBackground(ACanvas);
  if (BackgroundColor != clNone) TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ClientRect, BackgroundColor);
  if (Text.empty()) return;
  TcxRegion* saved = ACanvas->CopyClipRegion();
  ACanvas->ClipToRect(ClientRect);
  if (Font) ACanvas->SetFont(Font);
  ACanvas->GetFont()->SetColor(TextColor);
  ACanvas->GetBrush()->SetStyle(bsClear);
  TRect r = TextRect;
  DrawTextInFontColor(ACanvas, Text, r, TextFlags, MaxLineCount);
  ACanvas->ApplyClipRegion(saved, roCopy, true);
}

String TcxCustomMemoProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  String text = VarToStr(AValue);
  size_t end = std::min(text.size(), static_cast<size_t>(cxMemoCellTextMaxLength));
  for (size_t i = 0; i < end; ++i)
    if (IsLineBreakChar(text[i])) {
      end = i;
      break;
    }
  // Never keep half of a surrogate pair.
  if (end > 0 && end < text.size() && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
  text.resize(end);
  return text;
}

// ---------------------------------------------------------------------------
// TcxMemoModel

void TcxMemoModel::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == u'A' && (Shift & ssCtrl) && !(Shift & (ssShift | ssAlt))) {
    if (Length() == 0) return;  // nothing to select: the key goes on
    SelectAll();
    Key = 0;
    return;
  }
  TcxTextEditModel::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// The memo control

TcxCustomInnerMemo::TcxCustomInnerMemo(TcxCustomTextEdit* AEdit) : TMemo(AEdit), FEdit(AEdit) {
  SetBorderStyle(bsNone);
  SetTabStop(false);
}

TcxContainer* TcxCustomInnerMemo::GetControlContainer() { return FEdit; }

TcxCustomMemo::TcxCustomMemo(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace, [](TcxCustomTextEdit* AEdit) -> TCustomEdit* {
        return new TcxCustomInnerMemo(AEdit);
      }) {
  SetAutoSize(false);
  SetBounds(Left(), Top(), cxMemoDefaultWidth, cxMemoDefaultHeight);
}

std::unique_ptr<TcxTextEditModel> TcxCustomMemo::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxMemoModel>(static_cast<TcxCustomMemoProperties*>(AProperties));
}

void TcxCustomMemo::SetLines(TStrings* Value) {
  TStringList lines;  // a copy: Value may be the memo's own lines
  lines.Assign(Value);
  InnerMemo()->SetLines(&lines);
  InternalSetDisplayValue(Variant(InnerMemo()->Text()));
}

void TcxCustomMemo::PropertiesChanged(TObject* Sender) {
  if (!IsDestroying()) {
    TcxCustomMemoProperties* properties = ActiveMemoProperties();
    TcxCustomInnerMemo* memo = InnerMemo();
    memo->SetScrollBars(properties->ScrollBars());
    memo->SetWantReturns(properties->WantReturns());
    memo->SetWantTabs(properties->WantTabs());
    memo->SetWordWrap(properties->WordWrap());
    SetScrollBars(properties->ScrollBars());
  }
  TcxCustomTextEdit::PropertiesChanged(Sender);
  if (!IsDestroying()) RecalcScrollBars();
}

void TcxCustomMemo::UpdateDisplayValue() {
  TcxCustomTextEdit::UpdateDisplayValue();
  RecalcScrollBars();
}

void TcxCustomMemo::SetDisplayValue(const Variant& Value) {
  TcxCustomTextEdit::SetDisplayValue(Value);
  RecalcScrollBars();
}

void TcxCustomMemo::Resize() {
  TcxCustomTextEdit::Resize();
  RecalcScrollBars();
}

void TcxCustomMemo::ComputeScrollBarParams() {
  SetScrollBarParams(sbHorizontal, 0, 0, 0, 0, 1, false, true);
  TcxCustomInnerMemo* memo = InnerMemo();
  const Integer lines = memo->LineCount();
  // Like a native memo, a wanted vertical bar stays shown (disabled while
  // every line fits).
  SetScrollBarParams(sbVertical, 0, std::max(0, lines - 1), memo->TopLine(), memo->VisibleLineCount(), 1, true,
                     false);
}

void TcxCustomMemo::ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (AKind != sbVertical) return;
  TcxCustomInnerMemo* memo = InnerMemo();
  const Integer page = memo->VisibleLineCount();
  switch (AScrollCode) {
    case scLineUp: memo->ScrollLines(-1); break;
    case scLineDown: memo->ScrollLines(1); break;
    case scPageUp: memo->ScrollLines(-page); break;
    case scPageDown: memo->ScrollLines(page); break;
    case scPosition:
    case scTrack: memo->ScrollLines(AScrollPos - memo->TopLine()); break;
    case scTop: memo->ScrollLines(-memo->TopLine()); break;
    case scBottom: memo->ScrollLines(memo->LineCount()); break;
    default: return;
  }
  AScrollPos = memo->TopLine();
  RecalcScrollBars();
}

bool TcxCustomMemo::KeepsNavigationKey(Word AKey, bool AArrowsLeave) const {
  switch (AKey) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: return true;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: return !AArrowsLeave;
    default: return false;
  }
}

bool TcxCustomMemo::HandleLineKey(Word AKey, TShiftState AShift) {
  TcxCustomMemoProperties* properties = ActiveMemoProperties();
  const bool ctrl = AShift & ssCtrl;
  String typed;
  if (AKey == VK_RETURN && (properties->WantReturns() || ctrl)) typed = u"\r\n";
  if (AKey == VK_TAB && properties->WantTabs() && !ctrl) typed = u"\t";
  if (typed.empty()) return false;
  // A typed line break or tab neither clicks the form's default button nor
  // posts the value: only the editor's OnKeyDown hears it (and may eat it).
  Word key = AKey;
  TcxContainer::KeyDown(key, AShift);
  if (key != 0 && DoEditing()) static_cast<TcxMemoModel*>(Model())->TypeText(typed);
  SyncInnerEdit();
  return true;
}

bool TcxCustomMemo::IsLineNavigationKey(Word AKey, TShiftState AShift) const {
  switch (AKey) {
    case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: return true;
    case VK_HOME: case VK_END: return !(AShift & ssCtrl);  // the line's start or end
    default: return false;
  }
}

bool TcxCustomMemo::PreviewInnerMessage(TMessage& Message) {
  struct TAfter {
    TcxCustomMemo* Memo;
    TMessage& Message;
    ~TAfter() { Memo->InnerMessageHandled(Message); }
  } after{this, Message};
  if (Message.Msg == WM_KEYDOWN) {
    PullInnerSelection();
    Word key = static_cast<Word>(Message.WParam);
    const TShiftState shift = KeyDataToShiftState(Message.LParam);
    if (HandleLineKey(key, shift)) return true;
    if (IsLineNavigationKey(key, shift)) {
      KeyDown(key, shift);
      return key == 0;  // otherwise the inner window moves the caret
    }
  }
  // The characters of Enter and Tab were typed on their key-down.
  if (Message.Msg == WM_CHAR && (Message.WParam == u'\r' || Message.WParam == u'\n' || Message.WParam == u'\t'))
    return true;
  return TcxCustomTextEdit::PreviewInnerMessage(Message);
}

void TcxCustomMemo::InnerMessageHandled(TMessage& Message) {
  // The bar follows the inner memo after its keys, typing, wheel and clipboard.
  switch (Message.Msg) {
    case WM_KEYDOWN: case WM_CHAR: case WM_MOUSEWHEEL: case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_SETTEXT:
      RecalcScrollBars();
      break;
    default: break;
  }
}

String TcxCustomMemo::InnerTextOf(const String& AModelText) const {
  // The inner window reports every break as CR LF.
  String text;
  text.reserve(AModelText.size());
  for (size_t i = 0; i < AModelText.size(); ++i) {
    if (!IsLineBreakChar(AModelText[i])) {
      text += AModelText[i];
      continue;
    }
    text += u"\r\n";
    i += LineBreakLength(AModelText, i) - 1;
  }
  return text;
}

Integer TcxCustomMemo::InnerPosOf(Integer AModelPos) {
  // The inner window holds every break as one character.
  const String& text = Model()->Text();
  Integer inner = 0;
  for (size_t i = 0; i < text.size() && static_cast<Integer>(i) < AModelPos; ++inner)
    i += IsLineBreakChar(text[i]) ? LineBreakLength(text, i) : 1;
  return inner;
}

Integer TcxCustomMemo::ModelPosOf(Integer AInnerPos) {
  const String& text = Model()->Text();
  size_t i = 0;
  for (Integer inner = 0; i < text.size() && inner < AInnerPos; ++inner)
    i += IsLineBreakChar(text[i]) ? LineBreakLength(text, i) : 1;
  return static_cast<Integer>(i);
}

void cxMemoRegister() {
  GetEditPropertiesRegistry()->AddClass(TcxMemoProperties::StaticClass(), LoadResString(cxSEditMemoKind));
}
