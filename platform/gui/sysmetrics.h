#pragma once
// System metrics: sizes of the standard window parts, from one fixed classic
// table so that layouts are the same on every machine. Tests may replace the
// table. System colours live in platform/rtl/colors.h (GetSysColor).
#include <array>

#include "platform/rtl/types.h"

enum : Integer {
  SM_CXSCREEN = 0,
  SM_CYSCREEN = 1,
  SM_CXVSCROLL = 2,
  SM_CYHSCROLL = 3,
  SM_CYCAPTION = 4,
  SM_CXBORDER = 5,
  SM_CYBORDER = 6,
  SM_CXDLGFRAME = 7,
  SM_CYDLGFRAME = 8,
  SM_CYVTHUMB = 9,
  SM_CXHTHUMB = 10,
  SM_CXICON = 11,
  SM_CYICON = 12,
  SM_CXCURSOR = 13,
  SM_CYCURSOR = 14,
  SM_CYMENU = 15,
  SM_CXFULLSCREEN = 16,
  SM_CYFULLSCREEN = 17,
  SM_CYVSCROLL = 20,
  SM_CXHSCROLL = 21,
  SM_SWAPBUTTON = 23,
  SM_CXMIN = 28,
  SM_CYMIN = 29,
  SM_CXSIZE = 30,
  SM_CYSIZE = 31,
  SM_CXFRAME = 32,
  SM_CYFRAME = 33,
  SM_CXDOUBLECLK = 36,
  SM_CYDOUBLECLK = 37,
  SM_CXEDGE = 45,
  SM_CYEDGE = 46,
  SM_CXSMICON = 49,
  SM_CYSMICON = 50,
  SM_CYSMCAPTION = 51,
  SM_CXMENUCHECK = 71,
  SM_CYMENUCHECK = 72,
  SM_CXDRAG = 68,
  SM_CYDRAG = 69,
  SM_MOUSEWHEELPRESENT = 75,
  SM_CXVIRTUALSCREEN = 78,
  SM_CYVIRTUALSCREEN = 79,
  SM_CMONITORS = 80,
};

inline constexpr Integer SysMetricsCount = 96;
using TSysMetricsTable = std::array<Integer, SysMetricsCount>;

// The classic table: 1024 x 768 screen, 16-pixel scroll bars, 2-pixel edges.
const TSysMetricsTable& DefaultSysMetricsTable();
// Replaces the table in use (tests); SetSysMetricsTable(DefaultSysMetricsTable())
// restores it.
void SetSysMetricsTable(const TSysMetricsTable& Table);
// The metric of that index; 0 for an index outside the table.
Integer GetSystemMetrics(Integer Index);

// Milliseconds between the two clicks of a double click (500 by default).
Cardinal GetDoubleClickTime();
void SetDoubleClickTime(Cardinal Milliseconds);
