#include "platform/gui/stdctrls.h"

#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"

namespace {

QString ToQ(const String& S) { return QString::fromUtf16(S.data(), static_cast<qsizetype>(S.size())); }
String FromQ(const QString& S) { return String(reinterpret_cast<const Char*>(S.utf16()), static_cast<size_t>(S.size())); }

bool IsHighSurrogate(Char C) { return C >= 0xD800 && C <= 0xDBFF; }

String Normalize(const String& Text) {
  String r;
  r.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == u'\r') {
      r += u'\n';
      if (i + 1 < Text.size() && Text[i + 1] == u'\n') ++i;
    } else {
      r += Text[i];
    }
  }
  return r;
}

String ApplyCase(const String& Text, TEditCharCase Case) {
  if (Case == ecUpperCase) return FromQ(ToQ(Text).toUpper());
  if (Case == ecLowerCase) return FromQ(ToQ(Text).toLower());
  return Text;
}

}  // namespace

// ---- The text engine ---------------------------------------------------------------------

// Text, caret, selection and undo of one edit, in the toolkit's text
// document; plus the layout of the shown lines, which this unit paints.
class TEditBuffer {
public:
  struct TLine {
    Integer Start;
    Integer Length;
  };

  TEditBuffer() : Cursor(&Doc) {
    Doc.setUndoRedoEnabled(true);
  }

  String Text() const {
    String t = FromQ(Doc.toRawText());
    std::replace(t.begin(), t.end(), Char(0x2029), u'\n');  // block separators
    return t;
  }
  void SetText(const String& Value) {
    Doc.setPlainText(ToQ(Value));  // also clears the undo history
    Cursor = QTextCursor(&Doc);
  }
  Integer Length() const { return static_cast<Integer>(Doc.characterCount()) - 1; }
  Integer SelStart() const { return static_cast<Integer>(Cursor.selectionStart()); }
  Integer SelLength() const { return static_cast<Integer>(Cursor.selectionEnd() - Cursor.selectionStart()); }
  Integer CaretPos() const { return static_cast<Integer>(Cursor.position()); }
  String SelText() const {
    String t = FromQ(Cursor.selectedText());
    std::replace(t.begin(), t.end(), Char(0x2029), u'\n');
    return t;
  }
  void Select(Integer Start, Integer Len) {
    Integer n = Length();
    Start = std::clamp(Start, 0, n);
    Integer end = std::clamp(Start + std::max(Len, 0), 0, n);
    Cursor.setPosition(Start);
    Cursor.setPosition(end, QTextCursor::KeepAnchor);
  }
  void MoveTo(Integer Pos, bool Extend) {
    Cursor.setPosition(std::clamp(Pos, 0, Length()), Extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
  }
  void Move(QTextCursor::MoveOperation Op, bool Extend) {
    Cursor.movePosition(Op, Extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
  }
  void Insert(const String& Text) { Cursor.insertText(ToQ(Text)); }
  void RemoveSelection() { Cursor.removeSelectedText(); }
  void DeleteNext() { Cursor.deleteChar(); }
  void DeletePrevious() { Cursor.deletePreviousChar(); }
  bool CanUndo() const { return Doc.isUndoAvailable(); }
  void Undo() { Doc.undo(&Cursor); }
  void ClearUndo() { Doc.clearUndoRedoStacks(); }

  QTextDocument Doc;
  QTextCursor Cursor;
  TCanvas Measure;  // measures the shown text in the control's font
};

// ---- TCustomEdit -------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner), FBuffer(std::make_unique<TEditBuffer>()) {
  FControlStyle = csClickEvents | csSetCaption | csDoubleClicks | csCaptureMouse;
  SetBounds(0, 0, 121, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetCursor(crIBeam);
}

TCustomEdit::~TCustomEdit() = default;

String TCustomEdit::GetText() const {
  String t = FBuffer->Text();
  if (!MultiLine()) return t;
  String r;
  for (Char c : t) {
    if (c == u'\n') r += u"\r\n";
    else r += c;
  }
  return r;
}

void TCustomEdit::SetTextBuf(const String& Value) {
  FBuffer->SetText(PrepareInput(Value));
  FScrollX = 0;
  FTopLine = 0;
}

String TCustomEdit::PrepareInput(const String& Text) const {
  String t = Normalize(Text);
  size_t br = t.find(u'\n');
  return br == String::npos ? t : t.substr(0, br);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CMTextChanged(TMessage& M) {
  TControl::CMTextChanged(M);  // the text lives here, not in the window
  Change();
}

void TCustomEdit::CMFontChanged(TMessage& M) {
  TWinControl::CMFontChanged(M);
  Invalidate();
}

void TCustomEdit::UserChanged() {
  FModified = true;
  ScrollCaretIntoView();
  Invalidate();
  Change();
}

Integer TCustomEdit::SelStart() const { return FBuffer->SelStart(); }
Integer TCustomEdit::SelLength() const { return FBuffer->SelLength(); }
String TCustomEdit::SelText() const { return FBuffer->SelText(); }

void TCustomEdit::SetSelStart(Integer Value) {
  FBuffer->Select(Value, 0);
  ScrollCaretIntoView();
  Invalidate();
}

void TCustomEdit::SetSelLength(Integer Value) {
  FBuffer->Select(FBuffer->SelStart(), Value);
  ScrollCaretIntoView();
  Invalidate();
}

void TCustomEdit::SetSelText(const String& Value) { InsertUserText(Value, true); }

void TCustomEdit::SelectAll() {
  FBuffer->Select(0, FBuffer->Length());
  Invalidate();
}

void TCustomEdit::ClearSelection() {
  if (FReadOnly || FBuffer->SelLength() == 0) return;
  FBuffer->RemoveSelection();
  UserChanged();
}

void TCustomEdit::CopyToClipboard() {
  if (FBuffer->SelLength() == 0 || FPasswordChar) return;
  Clipboard()->SetAsText(FBuffer->SelText());
}

void TCustomEdit::CutToClipboard() {
  CopyToClipboard();
  if (!FPasswordChar) ClearSelection();
}

void TCustomEdit::PasteFromClipboard() {
  if (Clipboard()->HasFormat(CF_TEXT)) InsertUserText(Clipboard()->AsText());
}

void TCustomEdit::Undo() {
  if (FReadOnly || !FBuffer->CanUndo()) return;
  FBuffer->Undo();
  UserChanged();
}

bool TCustomEdit::CanUndo() const { return FBuffer->CanUndo(); }
void TCustomEdit::ClearUndo() { FBuffer->ClearUndo(); }

bool TCustomEdit::InsertUserText(String Text, bool ByCode) {
  if (FReadOnly && !ByCode) return false;
  Text = ApplyCase(PrepareInput(Text), FCharCase);
  if (FMaxLength > 0) {
    Integer room = FMaxLength - (FBuffer->Length() - FBuffer->SelLength());
    if (room <= 0) {
      MessageBeep();
      return false;
    }
    if (static_cast<Integer>(Text.size()) > room) {
      size_t keep = static_cast<size_t>(room);
      if (IsHighSurrogate(Text[keep - 1])) --keep;  // never half a character
      Text.resize(keep);
    }
  }
  if (Text.empty() && FBuffer->SelLength() == 0) return false;
  FBuffer->Insert(Text);
  UserChanged();
  return true;
}

void TCustomEdit::SetMaxLength(Integer Value) { FMaxLength = std::max(0, Value); }

void TCustomEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (Value != ecNormal) SetText(ApplyCase(GetText(), Value));
}

void TCustomEdit::SetPasswordChar(Char Value) {
  FPasswordChar = Value;
  Invalidate();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TCustomEdit::SetHideSelection(bool Value) {
  FHideSelection = Value;
  Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetMargins(Integer Left, Integer Right) {
  FLeftMargin = std::max(0, Left);
  FRightMargin = std::max(0, Right);
  Invalidate();
}

Integer TCustomEdit::LineHeight() const {
  FBuffer->Measure.Font()->Assign(Font());
  return std::max(1, FBuffer->Measure.TextHeight(u"Wg国"));
}

TRect TCustomEdit::TextRect() const {
  TRect r = ClientRect();
  const TSize bars = ScrollBarSpace();
  r.Right -= bars.cx;
  r.Bottom -= bars.cy;
  r.Left += FLeftMargin;
  r.Right -= FRightMargin;
  if (!MultiLine()) {
    // The one line stands in the middle of the edit, as a cell or a label
    // centres its text; a line taller than the edit keeps its middle in
    // view, the half pixel going up (descenders are cut before accents).
    const Integer room = r.Bottom - r.Top, extra = room - LineHeight();
    r.Top += extra >= 0 ? extra / 2 : -((1 - extra) / 2);
  }
  return r;
}

// ---- Layout of the shown lines (shared by painting, positions and keys) ----

namespace {

struct TLayout {
  String Shown;  // the text as shown (password characters)
  std::vector<TEditBuffer::TLine> Lines;
};

// Breaks the text into shown lines: at line breaks, and with Wrap at the
// last space that fits the width (or anywhere when a word is too long).
TLayout MakeLayout(TEditBuffer& Buffer, const String& Shown, bool Wrap, Integer Width) {
  TLayout l;
  l.Shown = Shown;
  Integer start = 0, n = static_cast<Integer>(Shown.size());
  for (;;) {
    Integer end = start;
    while (end < n && Shown[static_cast<size_t>(end)] != u'\n') ++end;
    Integer pos = start;
    while (Wrap && Width > 0 && end - pos > 1) {
      Integer fit = 0;
      TSize size;
      GetTextExtentExPoint(&Buffer.Measure, Shown.data() + pos, end - pos, Width, &fit, nullptr, size);
      if (fit >= end - pos) break;
      fit = std::max(fit, 1);
      Integer br = fit;
      while (br > 0 && Shown[static_cast<size_t>(pos + br - 1)] != u' ') --br;
      if (br == 0) br = fit;
      l.Lines.push_back({pos, br});
      pos += br;
    }
    l.Lines.push_back({pos, end - pos});
    if (end >= n) break;
    start = end + 1;
  }
  return l;
}

Integer LineOf(const TLayout& L, Integer Index) {
  for (size_t i = L.Lines.size(); i-- > 0;)
    if (Index >= L.Lines[i].Start) return static_cast<Integer>(i);
  return 0;
}

}  // namespace

namespace {
TLayout LayoutOf(TCustomEdit* Edit, TEditBuffer& Buffer, bool Multi, bool Wrap, Char Password, Integer Width) {
  Buffer.Measure.Font()->Assign(Edit->Font());
  String shown = Buffer.Text();
  if (Password && !Multi) shown.assign(shown.size(), Password);
  return MakeLayout(Buffer, shown, Multi && Wrap, Width);
}

Integer PrefixWidth(TEditBuffer& Buffer, const TLayout& L, const TEditBuffer::TLine& Line, Integer Count) {
  Count = std::clamp(Count, 0, Line.Length);
  if (Count == 0) return 0;
  return Buffer.Measure.TextWidth(L.Shown.substr(static_cast<size_t>(Line.Start), static_cast<size_t>(Count)));
}

// The column of Line nearest to pixel X (from the line's start).
Integer ColumnAt(TEditBuffer& Buffer, const TLayout& L, const TEditBuffer::TLine& Line, Integer X) {
  if (Line.Length == 0) return 0;
  std::vector<Integer> ends(static_cast<size_t>(Line.Length));  // width of every prefix
  TSize size;
  GetTextExtentExPoint(&Buffer.Measure, L.Shown.data() + Line.Start, Line.Length, 0, nullptr, ends.data(), size);
  Integer best = 0, bestDist = std::abs(X);
  for (Integer c = 1; c <= Line.Length; ++c) {
    Integer d = std::abs(ends[static_cast<size_t>(c - 1)] - X);
    if (d < bestDist) best = c, bestDist = d;
  }
  return best;
}
}  // namespace

TPoint TCustomEdit::PosFromChar(Integer Index) {
  TRect tr = TextRect();
  TLayout l = LayoutOf(this, *FBuffer, MultiLine(), WrapsLines(),
                       FPasswordChar, tr.Right - tr.Left);
  Index = std::clamp(Index, 0, static_cast<Integer>(l.Shown.size()));
  Integer line = LineOf(l, Index);
  const auto& ln = l.Lines[static_cast<size_t>(line)];
  Integer x = tr.Left - FScrollX + PrefixWidth(*FBuffer, l, ln, Index - ln.Start);
  if (!MultiLine()) {
    Integer w = PrefixWidth(*FBuffer, l, ln, ln.Length), room = tr.Right - tr.Left;
    if (w < room && FAlignment == taRightJustify) x += room - w;
    if (w < room && FAlignment == taCenter) x += (room - w) / 2;
  }
  return TPoint{x, tr.Top + (line - FTopLine) * LineHeight()};
}

Integer TCustomEdit::CharFromPos(const TPoint& Pos) {
  TRect tr = TextRect();
  bool wrap = WrapsLines();
  TLayout l = LayoutOf(this, *FBuffer, MultiLine(), wrap, FPasswordChar, tr.Right - tr.Left);
  Integer line = std::clamp(FTopLine + (Pos.Y - tr.Top) / LineHeight() - (Pos.Y < tr.Top ? 1 : 0), 0,
                            static_cast<Integer>(l.Lines.size()) - 1);
  const auto& ln = l.Lines[static_cast<size_t>(line)];
  Integer origin = PosFromChar(ln.Start).X;
  return ln.Start + ColumnAt(*FBuffer, l, ln, Pos.X - origin);
}

void TCustomEdit::ScrollCaretIntoView() {
  TRect tr = TextRect();
  Integer room = tr.Right - tr.Left;
  if (MultiLine()) {
    auto* memo = static_cast<TCustomMemo*>(this);
    Integer caretLine = memo->LineFromChar(FBuffer->CaretPos());
    Integer visible = std::max(1, memo->VisibleLineCount());
    if (caretLine < FTopLine) FTopLine = caretLine;
    else if (caretLine >= FTopLine + visible) FTopLine = caretLine - visible + 1;
    if (memo->WordWrap()) return;
  }
  Integer x = PosFromChar(FBuffer->CaretPos()).X + FScrollX - tr.Left;
  if (x < FScrollX) FScrollX = x;
  else if (x > FScrollX + room - 1) FScrollX = x - room + 1;
  FScrollX = std::max(0, FScrollX);
}

// ---- Messages ----

void TCustomEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS: case WM_KILLFOCUS:
      TWinControl::Dispatch(M);
      Invalidate();  // caret and selection
      return;
    default: TWinControl::Dispatch(M); return;
  }
}

void TCustomEdit::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case WM_KEYDOWN: EditKey(TWMKey(M).CharCode(), KeyDataToShiftState(M.LParam)); return;
    case WM_CHAR: EditChar(static_cast<Char>(M.WParam)); return;
    case WM_PAINT: PaintEdit(reinterpret_cast<HDC>(M.WParam)); return;
    case WM_GETDLGCODE: M.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; return;
    case WM_CUT: CutToClipboard(); return;
    case WM_COPY: CopyToClipboard(); return;
    case WM_PASTE: PasteFromClipboard(); return;
    case WM_CLEAR: ClearSelection(); return;
    case WM_UNDO: case EM_UNDO: M.Result = CanUndo(); Undo(); return;
    case EM_CANUNDO: M.Result = CanUndo(); return;
    case EM_GETSEL: M.Result = MAKELPARAM(SelStart(), SelStart() + SelLength()); return;
    case EM_SETSEL: {
      Integer from = static_cast<Integer>(static_cast<LPARAM>(M.WParam)), to = static_cast<Integer>(M.LParam);
      if (from < 0) {
        FBuffer->Select(FBuffer->CaretPos(), 0);
      } else {
        if (to < 0) to = FBuffer->Length();
        FBuffer->MoveTo(from, false);
        FBuffer->MoveTo(to, true);
      }
      ScrollCaretIntoView();
      Invalidate();
      return;
    }
    case EM_REPLACESEL: SetSelText(M.LParam ? String(reinterpret_cast<const Char*>(M.LParam)) : String()); return;
    case EM_LIMITTEXT: SetMaxLength(static_cast<Integer>(M.WParam)); return;
    case EM_SETREADONLY: SetReadOnly(M.WParam != 0); M.Result = 1; return;
    case EM_GETMODIFY: M.Result = FModified; return;
    case EM_SETMODIFY: FModified = M.WParam != 0; return;
    case EM_SETMARGINS: {
      Integer l = (M.WParam & EC_LEFTMARGIN) ? LOWORD(static_cast<WPARAM>(M.LParam)) : FLeftMargin;
      Integer r = (M.WParam & EC_RIGHTMARGIN) ? HIWORD(static_cast<WPARAM>(M.LParam)) : FRightMargin;
      SetMargins(l, r);
      return;
    }
    case EM_GETMARGINS: M.Result = MAKELPARAM(FLeftMargin, FRightMargin); return;
    case EM_POSFROMCHAR: M.Result = PointToLParam(PosFromChar(static_cast<Integer>(M.WParam))); return;
    case EM_CHARFROMPOS: M.Result = CharFromPos(LParamToPoint(M.LParam)); return;
    case WM_SETTEXT: SetText(M.LParam ? String(reinterpret_cast<const Char*>(M.LParam)) : String()); M.Result = 1; return;
    case WM_GETTEXTLENGTH: M.Result = static_cast<LRESULT>(GetText().size()); return;
    case WM_GETTEXT: {
      String t = GetText();
      auto* buf = reinterpret_cast<Char*>(M.LParam);
      size_t n = M.WParam > 0 ? std::min<size_t>(M.WParam - 1, t.size()) : 0;
      if (buf && M.WParam > 0) {
        std::copy_n(t.data(), n, buf);
        buf[n] = 0;
      }
      M.Result = static_cast<LRESULT>(n);
      return;
    }
    default: TWinControl::DefaultHandler(M); return;
  }
}

void TCustomEdit::DoEnter() {
  if (FAutoSelect && !MultiLine() && !(FControlState & csLButtonDown)) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    if (Shift & ssDouble) {
      FBuffer->MoveTo(CharFromPos(TPoint{X, Y}), false);
      FBuffer->Cursor.select(QTextCursor::WordUnderCursor);
      FSelecting = false;
    } else {
      FBuffer->MoveTo(CharFromPos(TPoint{X, Y}), (Shift & ssShift) != 0);
      FSelecting = true;
    }
    Invalidate();
  }
  TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCustomEdit::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (FSelecting && (Shift & ssLeft)) {
    FBuffer->MoveTo(CharFromPos(TPoint{X, Y}), true);
    ScrollCaretIntoView();
    Invalidate();
  } else if (!(Shift & ssLeft)) {
    FSelecting = false;
  }
  TWinControl::MouseMove(Shift, X, Y);
}

void TCustomEdit::EditKey(Word Key, TShiftState Shift) {
  bool extend = (Shift & ssShift) != 0, ctrl = (Shift & ssCtrl) != 0;
  auto collapseOr = [&](QTextCursor::MoveOperation Op, bool ToStart) {
    if (!extend && FBuffer->SelLength() > 0) {
      Integer at = ToStart ? FBuffer->SelStart() : FBuffer->SelStart() + FBuffer->SelLength();
      FBuffer->Select(at, 0);
    } else {
      FBuffer->Move(Op, extend);
    }
  };
  switch (Key) {
    case VK_LEFT: collapseOr(ctrl ? QTextCursor::PreviousWord : QTextCursor::PreviousCharacter, true); break;
    case VK_RIGHT: collapseOr(ctrl ? QTextCursor::NextWord : QTextCursor::NextCharacter, false); break;
    case VK_HOME: FBuffer->Move(QTextCursor::Start, extend); break;
    case VK_END: FBuffer->Move(QTextCursor::End, extend); break;
    case VK_DELETE:
      if (extend) {
        CutToClipboard();
      } else if (!FReadOnly) {
        if (FBuffer->SelLength() > 0) FBuffer->RemoveSelection();
        else if (FBuffer->CaretPos() < FBuffer->Length()) FBuffer->DeleteNext();
        else return;
        UserChanged();
      }
      return;
    case VK_INSERT:
      if (ctrl) CopyToClipboard();
      else if (extend) PasteFromClipboard();
      return;
    default: return;
  }
  ScrollCaretIntoView();
  Invalidate();
}

void TCustomEdit::EditChar(Char Key) {
  switch (Key) {
    case 1: SelectAll(); return;            // Ctrl+A
    case 3: CopyToClipboard(); return;      // Ctrl+C
    case 22: PasteFromClipboard(); return;  // Ctrl+V
    case 24: CutToClipboard(); return;      // Ctrl+X
    case 26: Undo(); return;                // Ctrl+Z
    case 8:
      if (FReadOnly) return;
      if (FBuffer->SelLength() > 0) FBuffer->RemoveSelection();
      else if (FBuffer->CaretPos() > 0) FBuffer->DeletePrevious();
      else return;
      UserChanged();
      return;
    default: break;
  }
  if (Key < 32 || Key == 127) return;
  if (IsHighSurrogate(Key)) {
    FPendingHigh = Key;
    return;
  }
  String s;
  if (FPendingHigh && Key >= 0xDC00 && Key <= 0xDFFF) s += FPendingHigh;
  FPendingHigh = 0;
  s += Key;
  InsertUserText(s);
}

// ---- Painting ----

void TCustomEdit::PaintEdit(HDC DC) {
  if (!DC) return;
  TCanvas* c = DC;
  TRect cr = ClientRect();
  c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(cr);
  TRect tr = TextRect();
  bool wrap = WrapsLines();
  TLayout l = LayoutOf(this, *FBuffer, MultiLine(), wrap, FPasswordChar, tr.Right - tr.Left);
  c->Font()->Assign(Font());
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  Integer lh = LineHeight();
  Integer selFrom = FBuffer->SelStart(), selTo = selFrom + FBuffer->SelLength();
  bool showSel = selTo > selFrom && (Focused() || !FHideSelection);
  Integer saved = SaveDC(DC);
  IntersectClipRect(DC, tr.Left, cr.Top, tr.Right, cr.Bottom);
  for (Integer i = FTopLine; i < static_cast<Integer>(l.Lines.size()); ++i) {
    Integer y = tr.Top + (i - FTopLine) * lh;
    if (y >= cr.Bottom) break;
    const auto& ln = l.Lines[static_cast<size_t>(i)];
    Integer x = PosFromChar(ln.Start).X;
    String text = l.Shown.substr(static_cast<size_t>(ln.Start), static_cast<size_t>(ln.Length));
    c->Brush()->SetStyle(bsClear);
    c->TextOut(x, y, text);
    Integer a = std::max(selFrom, ln.Start), b = std::min(selTo, ln.Start + ln.Length);
    if (showSel && a < b) {
      Integer xa = x + PrefixWidth(*FBuffer, l, ln, a - ln.Start), xb = x + PrefixWidth(*FBuffer, l, ln, b - ln.Start);
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(clHighlight);
      c->FillRect(TRect{xa, y, xb, y + lh});
      c->Font()->SetColor(clHighlightText);
      c->Brush()->SetStyle(bsClear);
      c->TextOut(xa, y, l.Shown.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
      c->Font()->SetColor(Font()->Color());
    }
  }
  if (Focused()) {
    TPoint p = PosFromChar(FBuffer->CaretPos());
    c->Pen()->SetColor(Font()->Color());
    c->Pen()->SetStyle(psSolid);
    c->MoveTo(p.X, p.Y);
    c->LineTo(p.X, p.Y + lh);
  }
  RestoreDC(DC, saved);
}

// ---- TCustomMemo -------------------------------------------------------------------------

// The memo's lines as a string list: reading splits the text at its line
// breaks, changes rewrite the text. A final line break makes no extra line.
class TCustomMemo::TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}
  Integer Count() const override { return static_cast<Integer>(Split().size()); }
  String Strings(Integer Index) const override { return Split().at(static_cast<size_t>(Index)); }
  void SetStrings(Integer Index, const String& S) override {
    auto l = Split();
    l.at(static_cast<size_t>(Index)) = S;
    Store(l);
  }
  void Insert(Integer Index, const String& S) override {
    auto l = Split();
    if (Index < 0 || Index > static_cast<Integer>(l.size())) throw EStringListError(u"List index out of bounds");
    l.insert(l.begin() + Index, S);
    Store(l);
  }
  void Delete(Integer Index) override {
    auto l = Split();
    if (Index < 0 || Index >= static_cast<Integer>(l.size())) throw EStringListError(u"List index out of bounds");
    l.erase(l.begin() + Index);
    Store(l);
  }
  void Clear() override { FMemo->SetText(String()); }

private:
  std::vector<String> Split() const {
    std::vector<String> r;
    String t = FMemo->Buffer().Text();
    if (t.empty()) return r;
    size_t start = 0;
    for (;;) {
      size_t br = t.find(u'\n', start);
      if (br == String::npos) {
        if (start < t.size()) r.push_back(t.substr(start));
        break;
      }
      r.push_back(t.substr(start, br - start));
      start = br + 1;
    }
    return r;
  }
  // A last empty line needs a break of its own (a final break alone makes no line).
  void Store(const std::vector<String>& Lines) {
    String t;
    for (size_t i = 0; i < Lines.size(); ++i) t += (i ? u"\r\n" : u"") + Lines[i];
    if (!Lines.empty() && Lines.back().empty()) t += u"\r\n";
    FMemo->SetText(t);
  }
  TCustomMemo* FMemo;
};

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
  SetAutoSelect(false);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TCustomMemo::SetWordWrap(bool Value) {
  FWordWrap = Value;
  FScrollX = 0;
  Invalidate();
}

String TCustomMemo::PrepareInput(const String& Text) const { return Normalize(Text); }

Integer TCustomMemo::LineCount() {
  TRect tr = TextRect();
  return static_cast<Integer>(LayoutOf(this, Buffer(), true, FWordWrap, 0, tr.Right - tr.Left).Lines.size());
}

Integer TCustomMemo::LineFromChar(Integer Index) {
  TRect tr = TextRect();
  return LineOf(LayoutOf(this, Buffer(), true, FWordWrap, 0, tr.Right - tr.Left), Index);
}

Integer TCustomMemo::LineIndex(Integer Line) {
  TRect tr = TextRect();
  TLayout l = LayoutOf(this, Buffer(), true, FWordWrap, 0, tr.Right - tr.Left);
  if (Line < 0 || Line >= static_cast<Integer>(l.Lines.size())) return -1;
  return l.Lines[static_cast<size_t>(Line)].Start;
}

TPoint TCustomMemo::CaretPos() {
  String t = Buffer().Text();
  Integer caret = Buffer().CaretPos(), line = 0, start = 0;
  for (Integer i = 0; i < caret; ++i)
    if (t[static_cast<size_t>(i)] == u'\n') ++line, start = i + 1;
  return TPoint{caret - start, line};
}

Integer TCustomMemo::VisibleLineCount() {
  TRect tr = TextRect();
  return std::max(1, (tr.Bottom - tr.Top) / LineHeight());
}

void TCustomMemo::ScrollLines(Integer Lines) {
  Integer top = std::clamp(FTopLine + Lines, 0, std::max(0, LineCount() - VisibleLineCount()));
  if (top == FTopLine) return;
  FTopLine = top;
  Invalidate();
}

void TCustomMemo::Resize() {
  TCustomEdit::Resize();
  Invalidate();
}

// ---- Scroll bars ----

namespace {

// One scroll bar: its rectangle, the whole extent of the content, the part
// shown (a page) and the first part shown. The arrow buttons are square.
struct TMemoBar {
  bool Vertical = true;
  TRect Bounds;
  Integer Total = 0, Page = 1, Pos = 0;

  bool Usable() const { return Total > Page; }
  Integer Length() const { return Vertical ? Bounds.Bottom - Bounds.Top : Bounds.Right - Bounds.Left; }
  Integer Thick() const { return Vertical ? Bounds.Right - Bounds.Left : Bounds.Bottom - Bounds.Top; }
  Integer Arrow() const { return std::min(Thick(), Length() / 2); }
  TRect Part(Integer From, Integer To) const {
    return Vertical ? TRect{Bounds.Left, Bounds.Top + From, Bounds.Right, Bounds.Top + To}
                    : TRect{Bounds.Left + From, Bounds.Top, Bounds.Left + To, Bounds.Bottom};
  }
  TRect Less() const { return Part(0, Arrow()); }
  TRect More() const { return Part(Length() - Arrow(), Length()); }
  Integer Track() const { return std::max(0, Length() - 2 * Arrow()); }
  Integer ThumbLength() const {
    constexpr Integer MinThumb = 8;  // still a grip for a long text
    return std::min(Track(), std::max(MinThumb, Track() * Page / std::max(1, Total)));
  }
  Integer ThumbStart() const {  // from the start of the bar
    const Integer room = Track() - ThumbLength(), range = Total - Page;
    return Arrow() + (range > 0 ? room * std::clamp(Pos, 0, range) / range : 0);
  }
  TRect Thumb() const { return Part(ThumbStart(), ThumbStart() + ThumbLength()); }
  // The position that puts the thumb's start at Offset from the bar's start.
  Integer PosAt(Integer Offset) const {
    const Integer room = Track() - ThumbLength(), range = Total - Page;
    if (room <= 0 || range <= 0) return 0;
    return std::clamp((Offset - Arrow()) * range / room, 0, range);
  }
  Integer Along(const TPoint& P) const { return Vertical ? P.Y - Bounds.Top : P.X - Bounds.Left; }
};

}  // namespace

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  FTopLine = std::clamp(FTopLine, 0, std::max(0, LineCount() - VisibleLineCount()));
  ScrollCaretIntoView();
  Invalidate();
}

TSize TCustomMemo::ScrollBarSpace() const {
  const bool v = FScrollBars == ssVertical || FScrollBars == ssBoth, h = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  return TSize{v ? GetSystemMetrics(SM_CXVSCROLL) : 0, h ? GetSystemMetrics(SM_CYHSCROLL) : 0};
}

TRect TCustomMemo::ScrollBarRect(bool Vertical) const {
  const TSize space = ScrollBarSpace();
  const TRect c = ClientRect();
  if (Vertical) return space.cx ? TRect{c.Right - space.cx, c.Top, c.Right, c.Bottom - space.cy} : TRect{};
  return space.cy ? TRect{c.Left, c.Bottom - space.cy, c.Right - space.cx, c.Bottom} : TRect{};
}

Integer TCustomMemo::TextWidthMax() {
  TRect tr = TextRect();
  TLayout l = LayoutOf(this, Buffer(), true, FWordWrap, 0, tr.Right - tr.Left);
  Integer widest = 0;
  for (const auto& ln : l.Lines) widest = std::max(widest, PrefixWidth(Buffer(), l, ln, ln.Length));
  return widest + 1;  // the caret after the last character
}

namespace {
TMemoBar BarOf(TCustomMemo* Memo, bool Vertical, Integer TextRoom) {
  TMemoBar b;
  b.Vertical = Vertical;
  b.Bounds = Memo->ScrollBarRect(Vertical);
  if (Vertical) {
    b.Total = Memo->LineCount();
    b.Page = Memo->VisibleLineCount();
    b.Pos = Memo->TopLine();
  } else {
    b.Total = Memo->WordWrap() ? 0 : TextRoom;  // the widest line, filled in by the caller
    b.Page = 1;
    b.Pos = Memo->ScrollX();
  }
  return b;
}
}  // namespace

void TCustomMemo::ScrollBy(bool Vertical, Integer Code, Integer Pos) {
  TRect tr = TextRect();
  const Integer room = std::max(1, tr.Right - tr.Left);
  const Integer line = Vertical ? 1 : std::max(1, LineHeight()), page = Vertical ? VisibleLineCount() : room;
  const Integer range = Vertical ? std::max(0, LineCount() - VisibleLineCount()) : (FWordWrap ? 0 : std::max(0, TextWidthMax() - room));
  Integer at = Vertical ? FTopLine : FScrollX;
  switch (Code) {
    case SB_LINEUP: at -= line; break;
    case SB_LINEDOWN: at += line; break;
    case SB_PAGEUP: at -= page; break;
    case SB_PAGEDOWN: at += page; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: at = Pos; break;
    case SB_TOP: at = 0; break;
    case SB_BOTTOM: at = range; break;
    default: return;
  }
  at = std::clamp(at, 0, range);
  Integer& field = Vertical ? FTopLine : FScrollX;
  if (at == field) return;
  field = at;
  Invalidate();
}

void TCustomMemo::PaintScrollBars(HDC DC) {
  if (!DC || FScrollBars == ssNone) return;
  TRect tr = TextRect();
  for (bool vertical : {true, false}) {
    TMemoBar b = BarOf(this, vertical, TextWidthMax());
    if (IsRectEmpty(b.Bounds)) continue;
    if (!vertical) b.Page = tr.Right - tr.Left;
    const bool usable = b.Usable() && Enabled();
    DC->Brush()->SetStyle(bsSolid);
    DC->Brush()->SetColor(clBtnHighlight);  // the track, lighter than the thumb
    DC->FillRect(b.Bounds);
    const Cardinal state = usable ? 0u : gsInactive;
    DrawGlyph(DC, b.Less(), vertical ? gkScrollUp : gkScrollLeft, state);
    DrawGlyph(DC, b.More(), vertical ? gkScrollDown : gkScrollRight, state);
    if (!usable) continue;
    TRect thumb = b.Thumb();
    DC->Brush()->SetColor(clBtnFace);
    DC->FillRect(thumb);
    DrawEdge(DC, thumb, EDGE_RAISED, BF_RECT);
  }
  const TSize space = ScrollBarSpace();
  if (space.cx && space.cy) {  // the corner between two bars
    TRect c = ClientRect();
    DC->Brush()->SetColor(clBtnFace);
    DC->FillRect(TRect{c.Right - space.cx, c.Bottom - space.cy, c.Right, c.Bottom});
  }
}

void TCustomMemo::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  const TPoint p{X, Y};
  for (bool vertical : {true, false}) {
    TMemoBar b = BarOf(this, vertical, TextWidthMax());
    if (!PtInRect(b.Bounds, p)) continue;
    if (!vertical) b.Page = TextRect().Right - TextRect().Left;
    if (Button != mbLeft || !b.Usable()) return;
    if (CanFocus() && !Focused()) SetFocus();
    const UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
    if (PtInRect(b.Less(), p)) Perform(msg, SB_LINEUP);
    else if (PtInRect(b.More(), p)) Perform(msg, SB_LINEDOWN);
    else if (PtInRect(b.Thumb(), p)) {
      FDragging = true;
      FDragVertical = vertical;
      FDragGrip = b.Along(p) - b.ThumbStart();
    } else {
      Perform(msg, b.Along(p) < b.ThumbStart() ? SB_PAGEUP : SB_PAGEDOWN);
    }
    return;
  }
  TCustomEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomMemo::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (!FDragging) {
    TCustomEdit::MouseMove(Shift, X, Y);
    return;
  }
  TMemoBar b = BarOf(this, FDragVertical, TextWidthMax());
  if (!FDragVertical) b.Page = TextRect().Right - TextRect().Left;
  const Integer pos = b.PosAt(b.Along(TPoint{X, Y}) - FDragGrip);
  Perform(FDragVertical ? WM_VSCROLL : WM_HSCROLL, static_cast<WPARAM>(MAKELPARAM(SB_THUMBTRACK, pos)));
}

void TCustomMemo::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FDragging = false;
  TCustomEdit::MouseUp(Button, Shift, X, Y);
}

void TCustomMemo::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      if (FWantReturns) code |= DLGC_WANTALLKEYS;
      if (FWantTabs) code |= DLGC_WANTTAB;
      M.Result = code;
      return;
    }
    case WM_MOUSEWHEEL: {
      TWMMouseWheel w(M);
      ScrollLines(-w.WheelDelta() / WHEEL_DELTA * (Mouse ? Mouse->WheelScrollLines() : 3));
      M.Result = 1;
      return;
    }
    case EM_LINESCROLL: ScrollLines(static_cast<Integer>(M.LParam)); M.Result = 1; return;
    case WM_VSCROLL: case WM_HSCROLL: {
      TWMScroll s(M);
      ScrollBy(M.Msg == WM_VSCROLL, s.ScrollCode(), static_cast<SmallInt>(HIWORD(M.WParam)));
      return;
    }
    case WM_PAINT:
      TCustomEdit::Dispatch(M);
      PaintScrollBars(reinterpret_cast<HDC>(M.WParam));
      return;
    case EM_GETFIRSTVISIBLELINE: M.Result = FTopLine; return;
    case EM_SCROLLCARET: ScrollCaretIntoView(); Invalidate(); return;
    case EM_GETLINECOUNT: M.Result = LineCount(); return;
    case EM_LINEINDEX:
      M.Result = LineIndex(static_cast<LPARAM>(M.WParam) < 0 ? LineFromChar(Buffer().CaretPos())
                                                             : static_cast<Integer>(M.WParam));
      return;
    case EM_LINEFROMCHAR:
      M.Result = LineFromChar(static_cast<LPARAM>(M.WParam) < 0 ? Buffer().CaretPos() : static_cast<Integer>(M.WParam));
      return;
    default: TCustomEdit::Dispatch(M); return;
  }
}

void TCustomMemo::EditKey(Word Key, TShiftState Shift) {
  bool extend = (Shift & ssShift) != 0, ctrl = (Shift & ssCtrl) != 0;
  TRect tr = TextRect();
  auto moveLines = [&](Integer Delta) {
    TLayout l = LayoutOf(this, Buffer(), true, FWordWrap, 0, tr.Right - tr.Left);
    Integer caret = Buffer().CaretPos(), line = LineOf(l, caret);
    const auto& from = l.Lines[static_cast<size_t>(line)];
    Integer x = PrefixWidth(Buffer(), l, from, caret - from.Start);
    Integer to = std::clamp(line + Delta, 0, static_cast<Integer>(l.Lines.size()) - 1);
    const auto& target = l.Lines[static_cast<size_t>(to)];
    Buffer().MoveTo(target.Start + ColumnAt(Buffer(), l, target, x), extend);
  };
  auto lineEdge = [&](bool End) {
    TLayout l = LayoutOf(this, Buffer(), true, FWordWrap, 0, tr.Right - tr.Left);
    const auto& ln = l.Lines[static_cast<size_t>(LineOf(l, Buffer().CaretPos()))];
    Buffer().MoveTo(End ? ln.Start + ln.Length : ln.Start, extend);
  };
  switch (Key) {
    case VK_UP: moveLines(-1); break;
    case VK_DOWN: moveLines(1); break;
    case VK_PRIOR: moveLines(-VisibleLineCount()); break;
    case VK_NEXT: moveLines(VisibleLineCount()); break;
    case VK_TAB:
      // The memo asks for every key (it wants Enter), so a Tab it does not
      // type moves the focus from here, as it does from other controls.
      if (!FWantTabs && !ctrl)
        if (TCustomForm* f = GetParentForm()) f->Perform(CM_DIALOGKEY, VK_TAB, 0);
      return;
    case VK_HOME: if (ctrl) Buffer().Move(QTextCursor::Start, extend); else lineEdge(false); break;
    case VK_END: if (ctrl) Buffer().Move(QTextCursor::End, extend); else lineEdge(true); break;
    default: TCustomEdit::EditKey(Key, Shift); return;
  }
  ScrollCaretIntoView();
  Invalidate();
}

void TCustomMemo::EditChar(Char Key) {
  if (Key == u'\r') {
    if (FWantReturns) InsertUserText(u"\n");
    return;
  }
  if (Key == u'\t') {
    if (FWantTabs) InsertUserText(u"\t");
    return;
  }
  TCustomEdit::EditChar(Key);
}

// ---- TButton -----------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csSetCaption | csDoubleClicks | csCaptureMouse | csClickEvents;
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TButton::SetDefault(bool Value) {
  FDefault = Value;
  Invalidate();
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* f = GetParentForm()) f->SetModalResult(FModalResult);
  TWinControl::Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) {
      try {
        SetFocus();
      } catch (...) {
        CancelPress();
        throw;
      }
      // Refused: a handler of the focus change (an editor keeping an invalid
      // value) sent the focus elsewhere. A form that cannot take the focus
      // yet still notes the button as its active control.
      const TCustomForm* form = GetParentForm();
      if (form && form->ActiveControl() != this) return CancelPress();
    }
    FDown = true;
    Invalidate();
  }
  TWinControl::MouseDown(Button, Shift, X, Y);
}

void TButton::CancelPress() {
  FControlState &= ~csClicked;
  if (MouseCapture()) SetMouseCapture(false);
  if (FDown) {
    FDown = false;
    Invalidate();
  }
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && FDown) {
    FDown = false;
    Invalidate();
  }
  TWinControl::MouseUp(Button, Shift, X, Y);
}

void TButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: Paint(reinterpret_cast<HDC>(M.WParam)); return;
    case WM_ERASEBKGND: M.Result = 1; return;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      FControlState |= csClicked;  // the release inside clicks
      TWinControl::Dispatch(M);
      return;
    case WM_GETDLGCODE: M.Result = FDefault ? DLGC_DEFPUSHBUTTON | DLGC_BUTTON : DLGC_UNDEFPUSHBUTTON | DLGC_BUTTON; return;
    case WM_KEYDOWN:
      TWinControl::Dispatch(M);
      if (TWMKey(M).CharCode() == VK_SPACE) Click();
      return;
    case CM_DIALOGCHAR:
      // Alt+the caption's accelerator presses the button.
      if (IsAccel(static_cast<Word>(M.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Click();
        M.Result = 1;
        return;
      }
      TWinControl::Dispatch(M);
      return;
    case CM_DIALOGKEY: {
      Word key = TWMKey(M).CharCode();
      bool mine = (key == VK_RETURN && FDefault) || (key == VK_ESCAPE && FCancel);
      if (mine && Visible() && Enabled() && (!Parent() || Parent()->Showing())) {
        Click();
        M.Result = 1;
        return;
      }
      TWinControl::Dispatch(M);
      return;
    }
    case WM_KILLFOCUS:
      CancelPress();
      TWinControl::Dispatch(M);
      return;
    case CM_TEXTCHANGED: case CM_ENABLEDCHANGED: Invalidate(); TWinControl::Dispatch(M); return;
    default: TWinControl::Dispatch(M); return;
  }
}

void TButton::Paint(HDC DC) {
  if (!DC) return;
  TRect r = ClientRect();
  DC->Brush()->SetColor(Color());
  DC->Brush()->SetStyle(bsSolid);
  DC->FillRect(r);
  if (FDefault || Focused()) {
    HBRUSH b = CreateSolidBrush(clWindowFrame);
    ::FrameRect(DC, r, b);
    DeleteObject(b);
    InflateRect(r, -1, -1);
  }
  DrawEdge(DC, r, FDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  DC->Font()->Assign(Font());
  if (!Enabled()) DC->Font()->SetColor(clGrayText);
  DC->Brush()->SetStyle(bsClear);
  if (FDown) OffsetRect(r, 1, 1);
  DC->Realize();  // the text calls through the handle use the context's colours
  ::DrawText(DC, Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// ---- Check boxes and radio buttons -------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csSetCaption | csDoubleClicks | csCaptureMouse | csClickEvents;
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TButtonControl::SetStateQuiet(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  Invalidate();
}

void TButtonControl::SetChecked(bool Value) { SetStateQuiet(Value ? cbChecked : cbUnchecked); }

void TButtonControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: Paint(reinterpret_cast<HDC>(M.WParam)); return;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      if (CanFocus() && !Focused()) SetFocus();
      FControlState |= csClicked;
      TWinControl::Dispatch(M);
      return;
    case WM_LBUTTONUP: {
      bool clicked = (FControlState & csClicked) && PtInRect(ClientRect(), LParamToPoint(M.LParam));
      if (clicked) Toggle();  // the state changes before OnClick runs
      TWinControl::Dispatch(M);
      return;
    }
    case WM_KEYDOWN:
      TWinControl::Dispatch(M);
      if (TWMKey(M).CharCode() == VK_SPACE) {
        Toggle();
        Click();
      }
      return;
    case CM_DIALOGCHAR:
      // Alt+the caption's accelerator focuses the box and changes it as a click would.
      if (IsAccel(static_cast<Word>(M.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        Click();
        M.Result = 1;
        return;
      }
      TWinControl::Dispatch(M);
      return;
    case CM_TEXTCHANGED: case CM_ENABLEDCHANGED: Invalidate(); TWinControl::Dispatch(M); return;
    default: TWinControl::Dispatch(M); return;
  }
}

void TButtonControl::Paint(HDC DC) {
  if (!DC) return;
  TRect r = ClientRect();
  DC->Brush()->SetColor(Color());
  DC->Brush()->SetStyle(bsSolid);
  DC->FillRect(r);
  constexpr Integer GlyphSize = 13;
  Integer top = (r.Bottom - GlyphSize) / 2;
  Cardinal state = (FState == cbChecked ? gsChecked : 0u) | (FState == cbGrayed ? gsChecked | gsGrayed : 0u) |
                   (Enabled() ? 0u : gsInactive);
  DrawGlyph(DC, TRect{0, top, GlyphSize, top + GlyphSize}, GlyphKind(), state);
  TRect t{GlyphSize + 4, 0, r.Right, r.Bottom};
  DC->Font()->Assign(Font());
  if (!Enabled()) DC->Font()->SetColor(clGrayText);
  DC->Brush()->SetStyle(bsClear);
  DC->Realize();
  ::DrawText(DC, Caption(), t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void TCheckBox::SetState(TCheckBoxState Value) { SetStateQuiet(Value); }

void TCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbGrayed: SetState(cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
  }
}

void TRadioButton::SetChecked(bool Value) {
  SetStateQuiet(Value ? cbChecked : cbUnchecked);
  if (!Value || !Parent()) return;
  for (Integer i = 0; i < Parent()->ControlCount(); ++i)
    if (auto* r = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); r && r != this) r->SetStateQuiet(cbUnchecked);
}

// ---- TLabel ------------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csOpaque | csReplicatable;
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment Value) { FAlignment = Value; Invalidate(); }
void TLabel::SetLayout(TTextLayout Value) { FLayout = Value; Invalidate(); }
void TLabel::SetWordWrap(bool Value) { FWordWrap = Value; AdjustBounds(); Invalidate(); }
void TLabel::SetShowAccelChar(bool Value) { FShowAccelChar = Value; AdjustBounds(); Invalidate(); }

void TLabel::SetTransparent(bool Value) {
  FTransparent = Value;
  if (Value) FControlStyle &= ~csOpaque;
  else FControlStyle |= csOpaque;
  Invalidate();
}

void TLabel::SetAutoSize(bool Value) {
  FAutoSize = Value;
  AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

Cardinal TLabel::DrawFlags() const {
  Cardinal f = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
  f |= FWordWrap ? DT_WORDBREAK : 0u;
  if (!FShowAccelChar) f |= DT_NOPREFIX;
  return f | DT_EXPANDTABS;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || IsLoading()) return;
  TCanvas measure;
  measure.Font()->Assign(Font());
  TRect r{0, 0, FWordWrap ? Width() : 0, 0};
  String text = Caption().empty() ? String(u" ") : Caption();
  ::DrawText(&measure, text, r, DrawFlags() | DT_CALCRECT);
  Integer left = Left();
  if (FAlignment == taRightJustify && !FWordWrap) left += Width() - r.Right;
  SetBounds(left, Top(), r.Right, r.Bottom);
}

void TLabel::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_TEXTCHANGED: case CM_FONTCHANGED:
      TGraphicControl::Dispatch(M);
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR: {
      // Alt+the underlined letter focuses the control the label names.
      if (FShowAccelChar && FFocusControl && IsAccel(static_cast<Word>(M.WParam), Caption()) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        M.Result = 1;
        return;
      }
      TGraphicControl::Dispatch(M);
      return;
    }
    default: TGraphicControl::Dispatch(M); return;
  }
}

void TLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!FTransparent) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  if (FLayout != tlTop) {
    TRect calc = r;
    ::DrawText(c->Handle(), Caption(), calc, DrawFlags() | DT_CALCRECT);
    Integer h = calc.Bottom - calc.Top;
    r.Top += FLayout == tlCenter ? (r.Bottom - r.Top - h) / 2 : r.Bottom - r.Top - h;
  }
  c->Realize();
  ::DrawText(c->Handle(), Caption(), r, DrawFlags());
}
