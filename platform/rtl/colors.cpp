#include "platform/rtl/colors.h"

namespace {

constexpr TSysColorTable kClassic = {
    RGB(212, 208, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop background
    RGB(10, 36, 106),    // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(212, 208, 200),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(212, 208, 200),  // active border
    RGB(212, 208, 200),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(10, 36, 106),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(212, 208, 200),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // gray text
    RGB(0, 0, 0),        // button text
    RGB(212, 208, 200),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(212, 208, 200),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(0, 0, 0),        // (unused)
    RGB(0, 0, 128),      // hot-tracked item
    RGB(166, 202, 240),  // gradient of the active caption
    RGB(192, 192, 192),  // gradient of the inactive caption
    RGB(49, 106, 197),   // menu highlight
    RGB(212, 208, 200),  // menu bar
};

TSysColorTable& CurrentTable() {
  static TSysColorTable table = kClassic;
  return table;
}

}  // namespace

const TSysColorTable& DefaultSysColorTable() { return kClassic; }

void SetSysColorTable(const TSysColorTable& table) { CurrentTable() = table; }

TColor GetSysColor(Integer index) {
  if (index < 0 || index >= SysColorCount) return 0;
  return CurrentTable()[static_cast<size_t>(index)];
}

TColor ColorToRGB(TColor color) {
  return color < 0 ? GetSysColor(color & 0xFF) : color;
}
