#include "editors/cxEditTextUtils.h"

#include <algorithm>

#include "platform/rtl/formatsettings.h"

namespace {

constexpr Char kTab = u'\t';
constexpr Char kCR = u'\r';
constexpr Char kLF = u'\n';
constexpr Char kEllipsis[] = u"...";
constexpr Integer kEllipsisLength = 3;

// ---- Characters ----------------------------------------------------------------------------

bool IsHighSurrogate(Char C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(Char C) { return C >= 0xDC00 && C <= 0xDFFF; }

// UTF-16 units of the character at I (a surrogate pair is taken whole).
Integer CharUnits(const Char* S, Integer Count, Integer I) {
  return IsHighSurrogate(S[I]) && I + 1 < Count && IsLowSurrogate(S[I + 1]) ? 2 : 1;
}

char32_t CodePointAt(const String& S, Integer I) {
  if (CharUnits(S.data(), static_cast<Integer>(S.size()), I) == 2)
    return 0x10000 + ((static_cast<char32_t>(S[I]) - 0xD800) << 10) + (static_cast<char32_t>(S[I + 1]) - 0xDC00);
  return S[I];
}

// The character ending just before I (I > 0).
char32_t CodePointBefore(const String& S, Integer I) {
  if (I >= 2 && IsLowSurrogate(S[I - 1]) && IsHighSurrogate(S[I - 2])) return CodePointAt(S, I - 2);
  return S[I - 1];
}

// Characters of the scripts written without blanks between words: CJK
// ideographs, kana, hangul, their symbols and punctuation, full-width forms.
bool IsWide(char32_t C) {
  return (C >= 0x1100 && C <= 0x115F) || (C >= 0x2E80 && C <= 0x303E) || (C >= 0x3041 && C <= 0x33FF) ||
         (C >= 0x3400 && C <= 0x4DBF) || (C >= 0x4E00 && C <= 0x9FFF) || (C >= 0xA000 && C <= 0xA4CF) ||
         (C >= 0xAC00 && C <= 0xD7A3) || (C >= 0xF900 && C <= 0xFAFF) || (C >= 0xFE30 && C <= 0xFE4F) ||
         (C >= 0xFF00 && C <= 0xFF60) || (C >= 0xFFE0 && C <= 0xFFE6) || (C >= 0x20000 && C <= 0x3FFFD);
}

bool IsOneOf(char32_t C, const char16_t* ASet) {
  for (const char16_t* p = ASet; *p; ++p)
    if (*p == C) return true;
  return false;
}

// Closing marks stay with the character before them.
bool CannotStartRow(char32_t C) {
  return IsOneOf(C, u"，。、；：？！）》」』】〕〉…—～·％’”﹐﹑﹒﹔﹕﹖﹗）］｝｡､,.;:?!)]}%");
}

// Opening marks stay with the character after them.
bool CannotEndRow(char32_t C) { return IsOneOf(C, u"（《「『【〔〈‘“（［｛([{"); }

bool IsBlank(char32_t C, Char ABreakChar) { return C == ABreakChar || C == kTab; }

// A row may end before the character at I (I > 0): at the first blank of a
// run of blanks, or beside a wide character unless a closing mark follows or
// an opening mark precedes.
bool IsBreakOpportunity(const String& S, Integer I, Char ABreakChar) {
  char32_t prev = CodePointBefore(S, I);
  char32_t cur = CodePointAt(S, I);
  bool prevBlank = IsBlank(prev, ABreakChar);
  bool curBlank = IsBlank(cur, ABreakChar);
  if (curBlank || prevBlank) return curBlank && !prevBlank;
  return (IsWide(prev) || IsWide(cur)) && !CannotStartRow(cur) && !CannotEndRow(prev);
}

Integer CountChar(const Char* S, Integer Count, Char C) {
  return static_cast<Integer>(std::count(S, S + Count, C));
}

// ---- Measuring -----------------------------------------------------------------------------

Integer CharWidth(HDC DC, const Char* S, Integer Units) {
  TSize size;
  GetTextExtentPoint32(DC, S, Units, size);
  return size.cx;
}

// Cum[k] = width of the first k units of S (Count + 1 entries). Inside a
// surrogate pair the entry already holds the whole character.
std::vector<Integer> PrefixWidths(HDC DC, const Char* S, Integer Count, bool AExpandTabs) {
  std::vector<Integer> cum(static_cast<size_t>(Count) + 1, 0);
  if (Count <= 0) return cum;
  if (!AExpandTabs || std::find(S, S + Count, kTab) == S + Count) {
    TSize size;
    GetTextExtentExPoint(DC, S, Count, 0x7FFFFFFF, nullptr, cum.data() + 1, size);
    return cum;
  }
  Integer w = 0;
  for (Integer k = 0; k < Count;) {
    Integer n = CharUnits(S, Count, k);
    w = S[k] == kTab ? cxGetTextExtent(DC, S, k + 1, true).cx : w + CharWidth(DC, S + k, n);
    for (Integer j = 1; j <= n; ++j) cum[static_cast<size_t>(k + j)] = w;
    k += n;
  }
  return cum;
}

// ---- Breaking ------------------------------------------------------------------------------

struct TRowEnd {
  Integer End = 0;           // the row is [start, End)
  Integer Next = 0;          // where the next row begins before blanks and line ends are skipped
  bool ParagraphEnd = false;  // ended by a line break or the end of the text
};

// Finds where the row starting at AStart ends within AWidth pixels.
// ALast: this is the last row the layout allows.
TRowEnd FindRowEnd(HDC DC, const String& S, Integer AStart, Integer AWidth, bool ALast,
                   const TextLayoutParams& P) {
  const Integer len = static_cast<Integer>(S.size());
  const bool wrapping = P.WordBreak || P.Justified();
  const bool ellipsisCut = ALast && P.EndEllipsis && !P.Justified() && !P.NoClip && !P.WholeRows;
  Integer width = 0;
  Integer best = -1;  // the last break opportunity
  bool over = false;  // the row already runs past the width
  for (Integer i = AStart; i < len;) {
    Char c = S[i];
    if (c == kCR || c == kLF) return {i, i, true};
    if (wrapping && i > AStart && IsBreakOpportunity(S, i, P.BreakChar)) {
      if (over) return {i, i, false};
      best = i;
    }
    Integer n = CharUnits(S.data(), len, i);
    Integer w = P.ExpandTabs && c == kTab ? cxGetTextExtent(DC, S.data() + AStart, i + 1 - AStart, true).cx
                                          : width + CharWidth(DC, S.data() + i, n);
    if (w > AWidth && i > AStart && !over) {
      if (ellipsisCut) return {i, i, false};
      if (best >= 0) return {best, best, false};
      if (wrapping && P.BreakLongWords) return {i, i, false};
      over = true;
    }
    width = w;
    i += n;
  }
  return {len, len, true};
}

// The row [AStart, AEnd) measured: in the justify modes without its trailing
// blanks, and in the paragraph-justify mode with no gaps to spread when it
// ends its paragraph.
TcxTextRow FinishRow(HDC DC, const String& S, Integer AStart, Integer AEnd, bool AParagraphEnd,
                     const TextLayoutParams& P) {
  if (P.Justified())
    while (AEnd > AStart && S[AEnd - 1] == P.BreakChar) --AEnd;
  TcxTextRow row;
  row.Start = AStart;
  row.Length = AEnd - AStart;
  row.Width = cxGetTextExtent(DC, S.data() + AStart, row.Length, P.ExpandTabs).cx;
  row.Height = P.RowHeight;
  bool lastOfParagraph = P.HorzAlignment == cxthJustify && AParagraphEnd;
  row.BreakCount = lastOfParagraph ? 0 : CountChar(S.data() + AStart, row.Length, P.BreakChar);
  return row;
}

// After a row: the blanks, then one tab, one carriage return and one line feed.
Integer SkipAfterRow(const String& S, Integer I, Char ABreakChar) {
  const Integer len = static_cast<Integer>(S.size());
  while (I < len && S[I] == ABreakChar) ++I;
  if (I < len && S[I] == kTab) ++I;
  if (I < len && S[I] == kCR) ++I;
  if (I < len && S[I] == kLF) ++I;
  return I;
}

void AddRow(TcxTextRows& ARows, Integer& ARowCount, const TcxTextRow& ARow) {
  if (static_cast<size_t>(ARowCount) >= ARows.size()) ARows.resize(static_cast<size_t>(ARowCount) + 4);
  ARows[static_cast<size_t>(ARowCount++)] = ARow;
}

struct TMakeResult {
  bool Complete = true;  // cxMakeTextRows's answer
  bool Cut = false;      // text left over after the last row
};

TMakeResult MakeRows(HDC DC, const String& S, const TRect& R, Integer AMaxRowCount, Integer& ARowCount,
                     TcxTextRows& ARows, const TextLayoutParams& P) {
  ARowCount = 0;
  const Integer len = static_cast<Integer>(S.size());
  if (len == 0) return {};
  if (P.SingleLine) {
    AddRow(ARows, ARowCount, FinishRow(DC, S, 0, len, true, P));
    return {};
  }
  const bool heightBound = P.VertAlignment == cxtvTop && !P.CalcRectOnly;
  const Integer height = R.Height();
  auto fits = [&](Integer ARowIndex) {
    if (!heightBound) return true;
    Integer top = ARowIndex * P.RowHeight;
    return P.WholeRows ? top + P.RowHeight - P.ExternalLeading <= height : top < height;
  };
  auto limitReached = [&](Integer ACount) { return AMaxRowCount > 0 && ACount >= AMaxRowCount; };
  Integer pos = 0;
  while (pos < len && !limitReached(ARowCount) && fits(ARowCount)) {
    bool last = limitReached(ARowCount + 1) || !fits(ARowCount + 1);
    TRowEnd end = FindRowEnd(DC, S, pos, R.Width(), last, P);
    AddRow(ARows, ARowCount, FinishRow(DC, S, pos, end.End, end.ParagraphEnd, P));
    pos = SkipAfterRow(S, end.Next, P.BreakChar);
  }
  TMakeResult result;
  result.Cut = pos < len;
  result.Complete = !(result.Cut && limitReached(ARowCount)) || P.CalcRectOnly;
  return result;
}

// ---- Placing -------------------------------------------------------------------------------

Integer AlignedLeft(const TRect& R, const TextLayoutParams& P, Integer AWidth) {
  Integer x = R.Left;
  if (P.HorzAlignment == cxthCenter)
    x = R.Left + (R.Width() - AWidth) / 2;
  else if (P.HorzAlignment == cxthRight)
    x = R.Right - AWidth;
  return P.KeepLeft ? std::max(x, R.Left) : x;
}

// ---- Drawing -------------------------------------------------------------------------------

void OutputRow(HDC DC, Integer X, Integer Y, const Char* S, Integer Count, bool AExpandTabs) {
  if (Count <= 0) return;
  if (AExpandTabs)
    TabbedTextOut(DC, X, Y, S, Count, 0, nullptr, X);
  else
    ExtTextOut(DC, X, Y, 0, nullptr, S, Count);
}

// The pixels justification adds before position AIndex of a row: the
// shares of the break characters before it, spread as the platform does
// (Extra / Count each, one more for the first Extra mod Count of them).
Integer JustifiedShift(const Char* S, Integer AIndex, Char ABreakChar, Integer AExtra, Integer ACount) {
  if (AExtra <= 0 || ACount <= 0) return 0;
  Integer k = std::min(CountChar(S, AIndex, ABreakChar), ACount);
  return k * (AExtra / ACount) + std::min(k, AExtra % ACount);
}

struct TSelection {
  Integer Start = 0;
  Integer End = 0;
  HBRUSH Brush = nullptr;
  TColor TextColor = clHighlightText;
};

void DrawRow(HDC DC, const String& S, const TcxTextOutData& D, Integer AIndex, const TSelection& ASel) {
  const TextLayoutParams& P = D.Params;
  const TRect& R = D.TextRect;
  const TcxTextRow& row = D.Rows[static_cast<size_t>(AIndex)];
  const Char* text = S.data() + row.Start;
  Integer count = row.Length;
  Integer width = row.Width;
  Integer x = row.Left;
  std::vector<Integer> cum;

  bool ellipsis = AIndex == D.RowCount - 1 && P.EndEllipsis && (D.TextCut || row.Width > R.Width());
  if (ellipsis) {
    cum = PrefixWidths(DC, text, count, P.ExpandTabs);
    Integer room = R.Width() - P.EllipsisWidth;
    Integer n = 0;
    while (n < count && cum[static_cast<size_t>(n) + 1] <= room) ++n;
    if (n > 0 && n < count && IsHighSurrogate(text[n - 1]) && IsLowSurrogate(text[n])) --n;
    if (n == 0 && count > 0) n = CharUnits(text, count, 0);
    count = n;
    width = cum[static_cast<size_t>(n)];
    x = AlignedLeft(R, P, width + P.EllipsisWidth);
  }

  Integer extra = !ellipsis && P.Justified() && row.BreakCount > 0 ? std::max(R.Width() - width, 0) : 0;
  Integer drawnWidth = width + extra + (ellipsis ? P.EllipsisWidth : 0);
  bool overflows = x < R.Left || x + drawnWidth > R.Right || row.Top < R.Top || row.Top + row.Height > R.Bottom;
  bool clipped = overflows && !P.NoClip;
  HRGN rowClip = clipped ? cxSaveClipAndIntersect(DC, R) : nullptr;

  if (extra > 0) SetTextJustification(DC, extra, row.BreakCount);
  OutputRow(DC, x, row.Top, text, count, P.ExpandTabs);
  if (ellipsis) {
    Cardinal options = P.NoClip ? 0u : static_cast<Cardinal>(ETO_CLIPPED);
    ExtTextOut(DC, x + width, row.Top, options, &R, kEllipsis, kEllipsisLength);
  }

  Integer a = std::max(ASel.Start, row.Start) - row.Start;
  Integer b = std::min(ASel.End, row.Start + count) - row.Start;
  if (ASel.Brush && a < b) {
    if (cum.empty()) cum = PrefixWidths(DC, text, count, P.ExpandTabs);
    Integer x0 = x + cum[static_cast<size_t>(a)] + JustifiedShift(text, a, P.BreakChar, extra, row.BreakCount);
    Integer x1 = x + cum[static_cast<size_t>(b)] + JustifiedShift(text, b, P.BreakChar, extra, row.BreakCount);
    TRect selRect{x0, row.Top, x1, row.Top + row.Height};
    FillRect(DC, selRect, ASel.Brush);
    HRGN selClip = cxSaveClipAndIntersect(DC, selRect);
    TColor oldColor = SetTextColor(DC, ASel.TextColor);
    OutputRow(DC, x, row.Top, text, count, P.ExpandTabs);
    SetTextColor(DC, oldColor);
    cxRestoreClip(DC, selClip);
  }

  if (extra > 0) SetTextJustification(DC, 0, 0);
  if (clipped) cxRestoreClip(DC, rowClip);
}

}  // namespace

// ---- Measuring and clipping --------------------------------------------------------------

TSize cxGetTextExtent(HDC DC, const Char* AText, Integer ACount, bool AExpandTabs) {
  TSize size;
  if (!AText || ACount <= 0) return size;
  if (AExpandTabs && std::find(AText, AText + ACount, kTab) != AText + ACount) {
    Cardinal extent = GetTabbedTextExtent(DC, AText, ACount, 0, nullptr);
    return {static_cast<Integer>(extent & 0xFFFF), static_cast<Integer>(extent >> 16)};
  }
  GetTextExtentPoint32(DC, AText, ACount, size);
  return size;
}

TSize cxGetTextExtent(HDC DC, const String& AText, bool AExpandTabs) {
  return cxGetTextExtent(DC, AText.data(), static_cast<Integer>(AText.size()), AExpandTabs);
}

HRGN cxSaveClipAndIntersect(HDC DC, const TRect& R) {
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(DC, saved) != 1) {
    DeleteObject(saved);
    saved = nullptr;
  }
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  return saved;
}

void cxRestoreClip(HDC DC, HRGN& ASaved) {
  SelectClipRgn(DC, ASaved);
  if (ASaved) DeleteObject(ASaved);
  ASaved = nullptr;
}

// ---- Layout ------------------------------------------------------------------------------

void cxPrepareTextLayoutParams(HDC DC, TcxTextLayoutFlags AFlags, TextLayoutParams& AParams) {
  TextLayoutParams& p = AParams;
  p = TextLayoutParams();
  GetTextMetrics(DC, p.Metrics);
  p.Flags = AFlags;
  Integer horz = static_cast<Integer>(AFlags & cxtlHorzAlignMask);
  p.HorzAlignment = horz <= cxthJustifyAll ? horz : cxthLeft;
  p.VertAlignment = static_cast<Integer>((AFlags & cxtlVertAlignMask) >> 4);
  p.KeepLeft = (AFlags & cxtlKeepLeft) != 0;
  p.KeepTop = (AFlags & cxtlKeepTop) != 0;
  p.WordBreak = (AFlags & cxtlWordBreak) != 0;
  p.SingleLine = (AFlags & cxtlSingleLine) != 0;
  p.ExpandTabs = (AFlags & cxtlExpandTabs) != 0;
  p.EndEllipsis = (AFlags & cxtlEndEllipsis) != 0;
  p.UseExternalLeading = (AFlags & cxtlExternalLeading) != 0;
  p.WholeRows = (AFlags & cxtlWholeRows) != 0;
  p.NoClip = (AFlags & cxtlNoClip) != 0;
  p.Reserved = (AFlags & cxtlReserved) != 0;
  // Far-east texts hold long runs without blanks (codes, paths, URLs among
  // the characters): there a row always breaks inside a word.
  p.BreakLongWords = (AFlags & cxtlBreakLongWords) != 0 || SysLocaleFarEast();
  p.CalcRectOnly = (AFlags & cxtlCalcRect) != 0;
  p.ReturnRowCount = (AFlags & cxtlReturnRowCount) != 0;
  p.ExternalLeading = p.UseExternalLeading ? p.Metrics.tmExternalLeading : 0;
  p.RowHeight = p.Metrics.tmHeight + p.ExternalLeading;
  p.BreakChar = p.Metrics.tmBreakChar;
  p.MaxCharWidth = p.Metrics.tmMaxCharWidth;
  p.EllipsisWidth = p.EndEllipsis ? cxGetTextExtent(DC, kEllipsis, kEllipsisLength, false).cx : 0;
}

void cxPrepareTextLayoutParams(TcxCanvas* ACanvas, TcxTextLayoutFlags AFlags, TextLayoutParams& AParams) {
  ACanvas->Canvas()->Realize();
  cxPrepareTextLayoutParams(ACanvas->GetHandle(), AFlags, AParams);
}

bool cxMakeTextRows(HDC DC, const String& AText, const TRect& R, Integer AMaxRowCount, Integer& ARowCount,
                    TcxTextRows& ARows, const TextLayoutParams& AParams) {
  return MakeRows(DC, AText, R, AMaxRowCount, ARowCount, ARows, AParams).Complete;
}

void cxPlaceTextRows(HDC, const TRect& R, const TextLayoutParams& AParams, Integer ARowCount,
                     TcxTextRows& ARows) {
  const TextLayoutParams& p = AParams;
  Integer count = std::clamp<Integer>(ARowCount, 0, static_cast<Integer>(ARows.size()));
  if (count == 0) return;
  for (Integer i = 0; i < count; ++i) {
    TcxTextRow& row = ARows[static_cast<size_t>(i)];
    row.Left = AlignedLeft(R, p, row.Width);
  }
  Integer step = p.RowHeight;
  Integer spare = 0;  // pixels spread one per row over the first rows
  Integer textHeight = count * p.RowHeight - p.ExternalLeading;
  Integer top = R.Top;
  switch (p.VertAlignment) {
    case cxtvCenter: top = R.Top + (R.Height() - textHeight) / 2; break;
    case cxtvBottom: top = R.Bottom - textHeight; break;
    case cxtvDistribute:
      if (count > 1) {
        Integer free = R.Height() - p.Metrics.tmHeight;
        if (free / (count - 1) > p.Metrics.tmHeight) {
          step = free / (count - 1);
          spare = free % (count - 1);
        }
      }
      break;
    default: break;
  }
  if (p.KeepTop) top = std::max(top, R.Top);
  for (Integer i = 0; i < count; ++i) ARows[static_cast<size_t>(i)].Top = top + i * step + std::min(i, spare);
}

Integer cxMaxRowWidth(const TcxTextRows& ARows, Integer ACount) {
  Integer result = 0;
  Integer count = std::min<Integer>(ACount, static_cast<Integer>(ARows.size()));
  for (Integer i = 0; i < count; ++i) result = std::max(result, ARows[static_cast<size_t>(i)].Width);
  return result;
}

// ---- Prepared output ---------------------------------------------------------------------

bool cxPrepareTextOutData(HDC DC, const String& AText, const TRect& ATextRect, TcxTextLayoutFlags AFlags,
                          Integer AMaxRowCount, TcxTextOutData& AData) {
  cxPrepareTextLayoutParams(DC, AFlags, AData.Params);
  AData.TextRect = ATextRect;
  TMakeResult made = MakeRows(DC, AText, ATextRect, AMaxRowCount, AData.RowCount, AData.Rows, AData.Params);
  AData.TextCut = made.Cut;
  cxPlaceTextRows(DC, ATextRect, AData.Params, AData.RowCount, AData.Rows);
  return made.Complete;
}

void cxDrawTextOutData(HDC DC, const String& AText, const TcxTextOutData& AData) {
  Integer count = std::min<Integer>(AData.RowCount, static_cast<Integer>(AData.Rows.size()));
  if (count <= 0 || !DC) return;
  const Integer len = static_cast<Integer>(AText.size());
  for (Integer i = 0; i < count; ++i) {
    const TcxTextRow& row = AData.Rows[static_cast<size_t>(i)];
    if (row.Start < 0 || row.Length < 0 || row.Start + row.Length > len) return;  // not this text's rows
  }
  TSelection sel;
  if (AData.SelStart >= 0 && AData.SelStart < len && AData.SelLength > 0) {
    sel.Start = AData.SelStart;
    sel.End = AData.SelStart + std::min(AData.SelLength, len - AData.SelStart);
    sel.Brush = CreateSolidBrush(AData.SelBkColor);
    sel.TextColor = AData.SelTextColor;
  }
  Integer oldMode = SetBkMode(DC, TRANSPARENT);
  Cardinal oldAlign = SetTextAlign(DC, TA_LEFT | TA_TOP);
  for (Integer i = 0; i < count; ++i) DrawRow(DC, AText, AData, i, sel);
  SetTextAlign(DC, oldAlign);
  SetBkMode(DC, oldMode);
  if (sel.Brush) DeleteObject(sel.Brush);
}

void cxOffsetTextOutData(TcxTextOutData& AData, Integer DX, Integer DY) {
  OffsetRect(AData.TextRect, DX, DY);
  for (TcxTextRow& row : AData.Rows) {
    row.Left += DX;
    row.Top += DY;
  }
}

// ---- Drawing -----------------------------------------------------------------------------

Integer cxTextOut(HDC DC, const String& AText, TRect& R, TcxTextLayoutFlags AFlags, Integer ASelStart,
                  Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor, Integer AMaxRowCount,
                  Integer ALeftIndent, Integer ARightIndent) {
  const bool calc = (AFlags & cxtlCalcRect) != 0;
  TcxTextOutData data;
  TRect textRect{R.Left + ALeftIndent, R.Top, R.Right - ARightIndent, R.Bottom};
  if (!AText.empty()) cxPrepareTextOutData(DC, AText, textRect, AFlags, AMaxRowCount, data);
  if (data.RowCount == 0) {
    if (calc) R = {R.Left, R.Top, R.Left + ALeftIndent + ARightIndent, R.Top};
    return 0;
  }
  Integer height;
  if (calc) {
    R.Right = R.Left + ALeftIndent + cxMaxRowWidth(data.Rows, data.RowCount) + ARightIndent;
    R.Bottom = R.Top + data.RowCount * data.Params.RowHeight;
    height = R.Bottom - R.Top;
  } else {
    data.SelStart = ASelStart;
    data.SelLength = ASelLength;
    data.SelBkColor = ASelBkColor;
    data.SelTextColor = ASelTextColor;
    cxDrawTextOutData(DC, AText, data);
    const TcxTextRow& last = data.Rows[static_cast<size_t>(data.RowCount - 1)];
    height = last.Top + last.Height - R.Top;
  }
  return data.Params.ReturnRowCount ? data.RowCount : height;
}

Integer cxTextOut(TcxCanvas* ACanvas, const String& AText, TRect& R, TcxTextLayoutFlags AFlags,
                  Integer ASelStart, Integer ASelLength, TColor ASelBkColor, TColor ASelTextColor,
                  Integer AMaxRowCount, Integer ALeftIndent, Integer ARightIndent) {
  ACanvas->Canvas()->Realize();
  return cxTextOut(ACanvas->GetHandle(), AText, R, AFlags, ASelStart, ASelLength, ASelBkColor, ASelTextColor,
                   AMaxRowCount, ALeftIndent, ARightIndent);
}

Integer DrawTextInFontColor(TcxCanvas* ACanvas, const String& AText, TRect& R, TcxTextLayoutFlags AFlags,
                            Integer AMaxRowCount, Integer ALeftIndent, Integer ARightIndent) {
  ACanvas->Canvas()->Realize();
  HDC dc = ACanvas->GetHandle();
  TColor oldColor = SetTextColor(dc, ACanvas->GetFont()->Color());
  Integer result = cxTextOut(dc, AText, R, AFlags, -1, 0, clHighlight, clHighlightText, AMaxRowCount, ALeftIndent,
                             ARightIndent);
  SetTextColor(dc, oldColor);
  return result;
}
