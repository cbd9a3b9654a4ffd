#pragma once
// The Office 11 colour scheme: the colours, brushes and small bitmaps of the
// Office 11 look. When visual styles are active and the current theme is the
// system's standard one in one of its three colour variants, the colours
// are that variant's fixed set; otherwise (always on this platform, where no
// theme is active) every colour is derived from the system colours. The set
// is computed again by Office11SchemeRefresh when the system colours change.
//
// Colours are answered as explicit RGB values (0x00BBGGRR), system colours
// already resolved. Brushes and bitmaps exist while the scheme is referenced
// (Office11SchemeAddRef .. Office11SchemeRelease); a refresh updates them in
// place, so handles and pointers taken from it stay valid until the last
// release.
#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

enum TqzOffice11Scheme : Integer {
  o11sNone,    // no themed scheme: colours derived from the system colours
  o11sBlue,    // "NORMALCOLOR"
  o11sOlive,   // "HOMESTEAD"
  o11sSilver,  // "METALLIC"
};

// The colour set has 37 entries, numbered 1 to 37; these have names.
inline constexpr Integer Office11ColorCount = 37;
enum : Integer {
  o11MiddleFace = 1,
  o11PaleFace = 2,
  o11BaseFace = 3,
  o11LightFace = 4,
  o11DarkEdge = 15,
  o11WhiteEdge = 16,
  o11HotFace = 21,
  o11Highlight = 22,
  o11PressedFace = 29,
  o11Glyph = 31,
  o11DisabledGlyph = 32,
};

// Colours derived from the set.
enum TqzOffice11DerivedColor : Integer {
  // Themed: Mix(entry 6 / 8 / 10, entry 1, 90); else Mix(entry 5 / 7 / 9, clWindow, 50).
  o11dFirstGroup1, o11dFirstGroup2, o11dFirstGroup3,
  // Mix(entry 5 / 7 / 9, entry 12, 50).
  o11dSecondGroup1, o11dSecondGroup2, o11dSecondGroup3,
  // Mix(entry 1 / 2, black, 92).
  o11dDarkerTone1, o11dDarkerTone2,
  // Themed: RGB(253, 238, 201); else clBtnFace.
  o11dExtra,
  // A further border colour. Themed: entry 12; else clBtnShadow.
  o11dBorder,
};

// Corner colours of the expand-button bitmaps (the painter blends the four
// corner pixels with the background before drawing).
inline constexpr TColor Office11ExpandButtonCornerColor1 = RGB(158, 174, 191);
inline constexpr TColor Office11ExpandButtonCornerColor2 = RGB(46, 70, 95);
// The expand-button bitmaps are this size.
inline constexpr Integer Office11ExpandButtonSize = 11;

// The first reference computes the colour set and creates brushes and
// bitmaps; references are counted.
void Office11SchemeAddRef();
// The last release destroys brushes and bitmaps. A release without a
// reference does nothing.
void Office11SchemeRelease();
// Detects the scheme and computes the colours again; while referenced, the
// brushes and bitmaps take the new colours.
void Office11SchemeRefresh();

TqzOffice11Scheme Office11Scheme();
// A themed scheme is in use (visual styles available and a scheme detected).
bool Office11SchemeThemed();

// Entry 1 to 37 of the colour set; clNone for another number. The set is
// computed on first use when nothing referenced the scheme yet.
TColor Office11Color(Integer AEntry);
TColor Office11DerivedColor(TqzOffice11DerivedColor AColor);

// Per channel APercent/100 of A plus (100 - APercent)/100 of B (each term
// rounded, the sum at most 255), then the nearest colour the screen shows.
// System colours are resolved first.
TColor Office11MixColors(TColor A, TColor B, Integer APercent);

// The solid brush of entry 13, 14, 15, 16, 19, 20, 21, 22, 27, 28, 29 or 30
// (nullptr for other entries and while the scheme is not referenced).
HBRUSH Office11Brush(Integer AEntry);
// The solid brush of o11dSecondGroup1 (nullptr while not referenced).
HBRUSH Office11SecondGroupBrush();

// The sub-menu arrow in the scheme's colours; its top-left pixel's colour is
// the transparent colour. nullptr while not referenced.
TBitmap* Office11SubMenuExpandBitmap();
// The expand button: with a minus sign when AExpanded, else a plus sign.
// nullptr while not referenced.
TBitmap* Office11ExpandButtonBitmap(bool AExpanded);

// Fills Rect with a gradient from Color1 to Color2, left to right when
// Horizontal, else top to bottom, in at most 256 bands of one colour each.
// Equal colours give a plain fill; an empty rectangle draws nothing.
void Office11GradientFill(HDC DC, const TRect& Rect, TColor Color1, TColor Color2, bool Horizontal);
// Fills Rect with a temporary solid brush of the colour.
void Office11FillRect(HDC DC, const TRect& Rect, TColor Color);

// Recolours a grey picture into two colours: the top-left pixel's colour is
// the background and stays, black stays; every other pixel becomes
// Office11MixColors(AColor1, AColor2, P) where P runs from 0 for the
// smallest red value among them to 100 for the largest (0 when all share
// one red value). Equal colours stand for AColor1 and black (white when
// AColor1 is black).
void Office11RecolorBitmap(TBitmap* ABitmap, TColor AColor1, TColor AColor2);
