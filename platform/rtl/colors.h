#pragma once
// Colour values. An explicit colour is 0x00BBGGRR; a system colour is
// 0xFF000000 plus its index in the system colour table.
#include <array>

#include "platform/rtl/types.h"

using TColor = Integer;

constexpr TColor SysColor(Integer index) { return static_cast<TColor>(0xFF000000u | static_cast<Cardinal>(index)); }

inline constexpr TColor clNone = 0x1FFFFFFF;     // paint nothing
inline constexpr TColor clDefault = 0x20000000;  // the painter's own colour

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

// System colour indexes.
enum : Integer {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  COLOR_HOTLIGHT = 26,
  COLOR_GRADIENTACTIVECAPTION = 27,
  COLOR_GRADIENTINACTIVECAPTION = 28,
  COLOR_MENUHILIGHT = 29,
  COLOR_MENUBAR = 30,
};

inline constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SysColor(COLOR_MENU);
inline constexpr TColor clWindow = SysColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
inline constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
inline constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
inline constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
inline constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
inline constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

constexpr TColor RGB(Byte r, Byte g, Byte b) {
  return static_cast<TColor>(Cardinal(r) | (Cardinal(g) << 8) | (Cardinal(b) << 16));
}
constexpr Byte GetRValue(TColor c) { return static_cast<Byte>(static_cast<Cardinal>(c) & 0xFF); }
constexpr Byte GetGValue(TColor c) { return static_cast<Byte>((static_cast<Cardinal>(c) >> 8) & 0xFF); }
constexpr Byte GetBValue(TColor c) { return static_cast<Byte>((static_cast<Cardinal>(c) >> 16) & 0xFF); }

// The system colour table: one fixed classic desktop scheme, so pictures are
// the same on every machine. Index 25 is unused and black.
inline constexpr Integer SysColorCount = 31;
using TSysColorTable = std::array<TColor, SysColorCount>;

const TSysColorTable& DefaultSysColorTable();
// Replaces the table in use (tests); SetSysColorTable(DefaultSysColorTable())
// restores it.
void SetSysColorTable(const TSysColorTable& table);
// 0x00BBGGRR of a system colour index; 0 for an index outside the table.
TColor GetSysColor(Integer index);

// A system colour (any negative value; its low byte is the index) becomes its
// RGB value from the table. Every other value, clNone and clDefault included,
// is returned as it is: those two are markers, not colours, and whoever turns
// a colour into pixels masks it with 0xFFFFFF.
TColor ColorToRGB(TColor color);
