#pragma once
// The editors' text layout engine. Editors draw their text themselves when no
// native edit shows it (an unfocused editor, an in-place cell, a fixed-list
// combo box): the text is broken into rows for a rectangle, the rows are
// placed by horizontal and vertical alignment and drawn with clipping,
// justification, an end ellipsis and a highlighted selection.
//
// The engine works on a device context through the platform's text
// functions and creates no fonts: the context's font is measured and drawn.
// Rows hold positions in the text, never pointers into it.
//
// Breaking: with word break (or a justify alignment) a row ends at its last
// break opportunity when the next character would pass the width. Blanks
// are such opportunities; so is the boundary next to a wide (Chinese,
// Japanese, Korean) character, since those scripts put no blanks between
// words, except before a closing mark ("，", "。", ")" ...) and after an
// opening one ("《", "(" ...). Blanks where a row breaks belong to neither
// row. Ampersands are ordinary characters here (no accelerator prefixes).
#include <vector>

#include "foundation/cxGraphics.h"
#include "platform/gui/graphics.h"
#include "platform/gui/regions.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

// ---- The layout flag word ---------------------------------------------------------------

using TcxTextLayoutFlags = Cardinal;
enum : Cardinal {
  // Bits 0-2: horizontal alignment.
  cxtlAlignLeft = 0x0,
  cxtlAlignHCenter = 0x1,
  cxtlAlignRight = 0x2,
  cxtlJustify = 0x3,     // every row but the last of a paragraph fills the width
  cxtlJustifyAll = 0x4,  // every row fills the width
  cxtlHorzAlignMask = 0x7,
  // Bits 4-5: vertical alignment.
  cxtlAlignTop = 0x00,
  cxtlAlignVCenter = 0x10,
  cxtlAlignBottom = 0x20,
  cxtlDistribute = 0x30,  // the rows spread evenly over the height
  cxtlVertAlignMask = 0x30,
  cxtlKeepLeft = 0x40,         // a row never starts left of the rectangle
  cxtlKeepTop = 0x80,          // the first row never starts above the rectangle
  cxtlWordBreak = 0x100,       // rows break at blanks (and wide characters)
  cxtlSingleLine = 0x200,      // the whole text is one row; line breaks are not honoured
  cxtlExpandTabs = 0x400,      // tabs go to the platform's default tab stops
  cxtlEndEllipsis = 0x800,     // the last visible row ends in "..." when text is cut
  cxtlExternalLeading = 0x2000,  // the font's external leading is added to the row height
  cxtlWholeRows = 0x4000,      // only rows that fit completely in the height
  cxtlNoClip = 0x8000,         // rows that overflow the rectangle are not clipped
  cxtlReserved = 0x10000,      // carried in the parameters, no effect
  cxtlBreakLongWords = 0x20000,  // with word break: a row without a break opportunity breaks in a word;
                                 // always on in a far-east system locale (SysLocaleFarEast)
  cxtlCalcRect = 0x100000,     // compute the rectangle, draw nothing
  cxtlReturnRowCount = 0x200000,  // the drawing call answers the row count, not the height
};

// Decoded horizontal and vertical alignments (the values of their bit fields).
enum : Integer { cxthLeft = 0, cxthCenter = 1, cxthRight = 2, cxthJustify = 3, cxthJustifyAll = 4 };
enum : Integer { cxtvTop = 0, cxtvCenter = 1, cxtvBottom = 2, cxtvDistribute = 3 };

// The flag word decoded, with the font's metrics (from the context's font).
struct TextLayoutParams {
  TTextMetric Metrics;
  Integer RowHeight = 0;        // font height + ExternalLeading
  Integer ExternalLeading = 0;  // the font's external leading when asked, else 0
  Integer EllipsisWidth = 0;    // width of "..." with cxtlEndEllipsis, else 0
  Char BreakChar = u' ';        // the font's break character
  Integer MaxCharWidth = 0;
  TcxTextLayoutFlags Flags = 0;
  Integer HorzAlignment = cxthLeft;  // cxth*; unknown values read as left
  Integer VertAlignment = cxtvTop;   // cxtv*
  bool KeepLeft = false;
  bool KeepTop = false;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool UseExternalLeading = false;
  bool WholeRows = false;
  bool NoClip = false;
  bool Reserved = false;
  bool BreakLongWords = false;
  bool CalcRectOnly = false;
  bool ReturnRowCount = false;

  bool Justified() const { return HorzAlignment == cxthJustify || HorzAlignment == cxthJustifyAll; }
};

// ---- Rows --------------------------------------------------------------------------------

struct TcxTextRow {
  Integer Start = 0;       // offset of the row's first character in the whole text
  Integer Length = 0;      // characters (UTF-16 units) in the row
  Integer Width = 0;       // pixels
  Integer Height = 0;      // the row height of the layout
  Integer BreakCount = 0;  // break characters spread by justification (0: not justified)
  Integer Left = 0;        // placed position
  Integer Top = 0;
};

// The rows of a layout. The array grows in steps of 4 rows and is reused
// from one layout to the next; the row count is kept beside it.
using TcxTextRows = std::vector<TcxTextRow>;

// ---- Measuring and clipping --------------------------------------------------------------

// Width and height of the first ACount characters, tabs expanded to the
// platform's default tab stops when asked.
TSize cxGetTextExtent(HDC DC, const Char* AText, Integer ACount, bool AExpandTabs);
TSize cxGetTextExtent(HDC DC, const String& AText, bool AExpandTabs);

// Saves the context's clip region and narrows it to R. Answers the saved
// region (nullptr when the context was not clipped), for cxRestoreClip.
HRGN cxSaveClipAndIntersect(HDC DC, const TRect& R);
// Makes the saved region the clip region again (none: no clipping) and
// frees it; ASaved is nullptr afterwards.
void cxRestoreClip(HDC DC, HRGN& ASaved);

// ---- Layout ------------------------------------------------------------------------------

// Decodes AFlags and reads the context's font metrics into AParams. The
// canvas form makes the canvas's font and colours valid on its handle first.
void cxPrepareTextLayoutParams(HDC DC, TcxTextLayoutFlags AFlags, TextLayoutParams& AParams);
void cxPrepareTextLayoutParams(TcxCanvas* ACanvas, TcxTextLayoutFlags AFlags, TextLayoutParams& AParams);

// Breaks AText into rows for R (not yet placed: Left and Top are zero).
// AMaxRowCount <= 0 means no limit. Answers false only when the maximum row
// count was reached with text left over (never for single-line or
// calculate-only layouts). A single-line text is one row measured at once.
bool cxMakeTextRows(HDC DC, const String& AText, const TRect& R, Integer AMaxRowCount, Integer& ARowCount,
                    TcxTextRows& ARows, const TextLayoutParams& AParams);

// Sets every row's Left by the horizontal alignment and the rows' Top by the
// vertical alignment (and the keep-left and keep-top bits).
void cxPlaceTextRows(HDC DC, const TRect& R, const TextLayoutParams& AParams, Integer ARowCount,
                     TcxTextRows& ARows);

// The widest of the first ACount rows (0 for none).
Integer cxMaxRowWidth(const TcxTextRows& ARows, Integer ACount);

// ---- Prepared output ---------------------------------------------------------------------

// A layout kept between paints: made once for a text and a rectangle, moved
// with its owner, drawn as often as needed.
struct TcxTextOutData {
  TextLayoutParams Params;
  TRect TextRect;  // the rectangle the rows were made for
  TcxTextRows Rows;
  Integer RowCount = 0;
  bool TextCut = false;  // the rows do not reach the end of the text
  Integer SelStart = -1;  // selection: start (outside the text: none) and length
  Integer SelLength = 0;
  TColor SelTextColor = clHighlightText;
  TColor SelBkColor = clHighlight;
};

// Lays AText out in ATextRect (params, rows made and placed, TextCut); the
// selection fields are left as they are. Answers cxMakeTextRows's result.
bool cxPrepareTextOutData(HDC DC, const String& AText, const TRect& ATextRect, TcxTextLayoutFlags AFlags,
                          Integer AMaxRowCount, TcxTextOutData& AData);
// Draws prepared rows of AText (the text they were made for) in the
// context's font and text colour, with the data's selection.
void cxDrawTextOutData(HDC DC, const String& AText, const TcxTextOutData& AData);
// Moves the text rectangle and every row.
void cxOffsetTextOutData(TcxTextOutData& AData, Integer DX, Integer DY);

// ---- Drawing -----------------------------------------------------------------------------

// Lays AText out in R less the indents and draws it in the context's font
// and text colour over a transparent background; the characters from
// ASelStart (ASelLength of them) are drawn in ASelTextColor on
// ASelBkColor. Answers the height from R's top to the bottom of the last
// row, or with cxtlReturnRowCount the row count; 0 for an empty text. With
// cxtlCalcRect nothing is drawn and R becomes the rectangle the text needs
// (widest row plus the indents, height of the rows).
Integer cxTextOut(HDC DC, const String& AText, TRect& R, TcxTextLayoutFlags AFlags, Integer ASelStart = -1,
                  Integer ASelLength = 0, TColor ASelBkColor = clHighlight, TColor ASelTextColor = clHighlightText,
                  Integer AMaxRowCount = 0, Integer ALeftIndent = 0, Integer ARightIndent = 0);
Integer cxTextOut(TcxCanvas* ACanvas, const String& AText, TRect& R, TcxTextLayoutFlags AFlags,
                  Integer ASelStart = -1, Integer ASelLength = 0, TColor ASelBkColor = clHighlight,
                  TColor ASelTextColor = clHighlightText, Integer AMaxRowCount = 0, Integer ALeftIndent = 0,
                  Integer ARightIndent = 0);

// cxTextOut in the canvas font's colour, without selection.
Integer DrawTextInFontColor(TcxCanvas* ACanvas, const String& AText, TRect& R, TcxTextLayoutFlags AFlags,
                            Integer AMaxRowCount = 0, Integer ALeftIndent = 0, Integer ARightIndent = 0);
