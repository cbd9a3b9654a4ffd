// A whole window drawn offscreen: menu bar, toolbar band with flat speed
// buttons, Chinese labels, a memo and a data grid. The picture is saved for
// a person to look at; the test checks that each part drew.
#include <gtest/gtest.h>

#include "platform/gui/buttons.h"
#include "platform/gui/dbgrids.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/windowing.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

const char* Schema = R"(
CREATE TABLE meta (meta_id text(50), meta_name text(100), kind_name text(50));
INSERT INTO meta VALUES ('2024-05-01 10:00', '青藏高原冻土分布图', '数据集'),
  ('2024-06-12 09:30', '黄河流域水文站网', '服务'), ('2024-07-20 16:45', '华北平原地下水位', '数据集');
)";

// Pixels of a part of the picture that differ from the colour around them.
Integer CountNot(TBitmap& Picture, const TRect& R, TColor Background) {
  Background = ColorToRGB(Background);
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (Picture.PixelColor(x, y) != Background) ++n;
  return n;
}

Integer CountOf(TBitmap& Picture, const TRect& R, TColor Colour) {
  Colour = ColorToRGB(Colour);
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (Picture.PixelColor(x, y) == Colour) ++n;
  return n;
}

// Pixels clearly more blue than red and green (smoothed blue text).
Integer CountBluish(TBitmap& Picture, const TRect& R) {
  Integer n = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x) {
      TColor c = Picture.PixelColor(x, y);
      Integer red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
      if (blue > red + 80 && blue > green + 40) ++n;
    }
  return n;
}

TEST(FormPicture, MenuToolbarLabelsMemoAndGridAllDraw) {
  EnsureGuiRuntime();
  TQueryFixture query(Schema);
  query.Open(u"select meta_id, meta_name, kind_name from meta order by meta_id");
  auto* form = new TForm(nullptr);
  form->SetBounds(50, 50, 640, 420);
  form->SetColor(clBtnFace);

  auto* menu = new TMainMenu(form);
  for (const char16_t* caption : {u"文件(&F)", u"编辑(&E)", u"查看(&V)", u"帮助(&H)"}) {
    auto* item = new TMenuItem(form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);

  auto* bar = new TCoolBar(form);
  bar->SetParent(form);
  auto images = TImageList::CreateSize(16, 16);
  const TColor glyphColours[] = {clRed, clGreen, clBlue};
  for (TColor colour : glyphColours) {
    TBitmap glyph(16, 16, pf24bit);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
    glyph.Canvas()->Brush()->SetColor(colour);
    glyph.Canvas()->FillRect(TRect{2, 2, 14, 14});
    images->AddMasked(&glyph, clFuchsia);
  }
  const char16_t* hints[] = {u"新建", u"打开", u"输出XML"};
  for (Integer i = 0; i < 3; ++i) {
    auto* b = new TSpeedButton(form);
    b->SetParent(bar);
    b->SetFlat(true);
    b->SetBounds(2 + 34 * i, 2, 25, 25);
    b->SetImages(images.get());
    b->SetImageIndex(i);
    b->SetHint(hints[i]);
    b->SetShowHint(true);
  }

  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetBounds(8, 60, 0, 0);
  label->SetCaption(u"摘要（中文）：");
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(8, 80, 300, 90);
  memo->Lines()->Add(u"本数据集描述青藏高原多年冻土的空间分布。");
  memo->Lines()->Add(u"比例尺 1:400 万，坐标系 WGS84。");
  auto* kindLabel = new TLabel(form);
  kindLabel->SetParent(form);
  kindLabel->SetBounds(320, 60, 0, 0);
  kindLabel->SetCaption(u"元数据列表");

  auto* source = new TDataSource(form);
  source->SetDataSet(query.Query);
  auto* grid = new TDBGrid(form);
  grid->SetParent(form);
  grid->SetBounds(8, 180, 600, 120);
  struct {
    const char16_t* Field;
    const char16_t* Title;
    Integer Width;
  } columns[] = {{u"meta_id", u"建立时间", 130}, {u"meta_name", u"标题", 300}, {u"kind_name", u"元数据类型", 96}};
  for (auto& c : columns) {
    TColumn* col = grid->Columns()->Add();
    col->SetFieldName(c.Field);
    col->Title()->SetCaption(c.Title);
    col->Title()->SetAlignment(taCenter);
    col->Title()->Font()->SetColor(clBlue);
    col->Title()->SetColor(clMoneyGreen);
    col->SetWidth(c.Width);
  }
  grid->SetOptions(grid->Options() | dgAlwaysShowSelection);
  grid->SetDataSource(source);
  form->Show();

  TBitmap picture(form->ClientWidth(), form->ClientHeight(), pf24bit);
  form->PaintTo(picture.Canvas(), 0, 0);
  picture.SaveToFile(u"/tmp/korvane_form_picture.png");

  // The menu bar runs along the top and shows its captions.
  TControl* menuBar = form->ControlAtPos(TPoint{300, 5}, true, true);
  ASSERT_NE(menuBar, nullptr);
  EXPECT_EQ(menuBar->Top(), 0);
  EXPECT_GT(CountNot(picture, TRect{0, 2, 300, 18}, clBtnFace), 100);
  // The toolbar band lies below it with the three glyphs.
  EXPECT_EQ(bar->Top(), menuBar->Height());
  for (Integer i = 0; i < 3; ++i) {
    TRect button{2 + 34 * i, bar->Top() + 2, 2 + 34 * i + 25, bar->Top() + 27};
    EXPECT_GT(CountOf(picture, button, glyphColours[i]), 100) << i;
  }
  // Labels and memo text.
  EXPECT_GT(CountNot(picture, label->BoundsRect(), clBtnFace), 30);
  EXPECT_GT(CountNot(picture, TRect{12, 84, 300, 100}, clWindow), 100);
  // The grid's title row in its colour and a line of text in every record row.
  EXPECT_GT(CountOf(picture, TRect{8, 180, 608, 198}, clMoneyGreen), 2000);
  for (Integer column = 0; column < 3; ++column) {
    TRect title = grid->CellRect(column, 0);
    OffsetRect(title, grid->Left(), grid->Top() - title.Top);
    title.Bottom = title.Top + 18;
    EXPECT_GT(CountBluish(picture, title), 20) << column;
  }
  for (Integer row = 0; row < 3; ++row) {
    TRect cell = grid->CellRect(1, row);
    OffsetRect(cell, grid->Left(), grid->Top());
    EXPECT_GT(CountOf(picture, cell, clWindow), 1000) << row;
    EXPECT_GT(CountNot(picture, cell, clWindow), 50) << row;
  }
  form->Free();
  Application->ProcessMessages();
}

}  // namespace
