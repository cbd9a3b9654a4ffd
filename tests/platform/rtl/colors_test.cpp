#include "platform/rtl/colors.h"

#include <gtest/gtest.h>

TEST(Colors, ChannelsAndEncoding) {
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(GetRValue(0x563412), 0x12);
  EXPECT_EQ(GetGValue(0x563412), 0x34);
  EXPECT_EQ(GetBValue(0x563412), 0x56);
  EXPECT_EQ(clRed, RGB(255, 0, 0));
  EXPECT_EQ(clBlue, RGB(0, 0, 255));
  EXPECT_EQ(static_cast<Cardinal>(clBtnFace), 0xFF00000Fu);
  EXPECT_EQ(static_cast<Cardinal>(clHighlight), 0xFF00000Du);
  EXPECT_EQ(static_cast<Cardinal>(cl3DLight), 0xFF000016u);
  EXPECT_EQ(static_cast<Cardinal>(clMenuBar), 0xFF00001Eu);
}

TEST(Colors, ColorToRGB) {
  struct Case { TColor in, out; };
  const Case cases[] = {
      {clBtnFace, RGB(212, 208, 200)},
      {clWindow, RGB(255, 255, 255)},
      {clWindowText, RGB(0, 0, 0)},
      {clHighlight, RGB(10, 36, 106)},
      {clBtnShadow, RGB(128, 128, 128)},
      {clBtnHighlight, RGB(255, 255, 255)},
      {cl3DDkShadow, RGB(64, 64, 64)},
      {clInfoBk, RGB(255, 255, 225)},
      {clRed, clRed},                     // explicit colours stay
      {clMoneyGreen, clMoneyGreen},
      {clNone, clNone},                   // markers stay as they are
      {clDefault, clDefault},
      {static_cast<TColor>(0xFF0000FFu), 0},  // index past the table: black
  };
  for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.in), c.out) << std::hex << c.in;
  EXPECT_EQ(GetSysColor(-1), 0);
  EXPECT_EQ(GetSysColor(SysColorCount), 0);
}

TEST(Colors, SysColorTableCanBeReplaced) {
  TSysColorTable table = DefaultSysColorTable();
  table[COLOR_BTNFACE] = RGB(1, 2, 3);
  SetSysColorTable(table);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
  SetSysColorTable(DefaultSysColorTable());
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
}
