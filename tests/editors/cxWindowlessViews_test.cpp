// Editors drawn without a window, as a tree-list cell draws them: each
// kind's view data computes a view info for a value given from outside
// (EditValueToDrawValue) and the view info paints it. Probed pixel by pixel
// on a cell of a fixed size.
#include <gtest/gtest.h>

#include <memory>

#include "editors/cxCheckBox.h"
#include "editors/cxEditStyles.h"
#include "editors/cxHyperLinkEdit.h"
#include "editors/cxImageComboBox.h"
#include "editors/cxMemo.h"
#include "editors/cxRadioGroup.h"
#include "foundation/cxPainterImages.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/imagelist.h"

namespace {

constexpr Integer CellWidth = 120, CellHeight = 40;

TColor Rgb(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

// A cell painted as the tree list paints it: the view info computed at the
// origin for the cell's rectangle, the value handed over, the cell's colours.
struct TCell {
  explicit TCell(TcxCustomEditProperties* AProperties, const Variant& AValue, bool ASelected = false)
      : Picture(CellWidth, CellHeight, pf24bit) {
    EnsureGuiRuntime();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
    Style.SetBorderStyle(ebsNone);
    Data.reset(AProperties->CreateViewData(&Style, true));
    Info.reset(dynamic_cast<TcxCustomEditViewInfo*>(AProperties->GetViewInfoClass()->Create()));
    TcxCanvas canvas(Picture.Canvas());
    Data->ComputeViewInfo(&canvas, Rect(0, 0, CellWidth, CellHeight), TPoint{-1, -1}, cxmbNone, 0, Info.get(), false);
    Info->BackgroundColor = clWindow;
    Info->TextColor = clWindowText;
    Info->IsSelected = ASelected;
    Data->EditValueToDrawValue(&canvas, AValue, Info.get());
    Info->Render(&canvas);
  }
  Integer Count(TColor AColor, TRect R = Rect(0, 0, CellWidth, CellHeight)) const {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) n += (Picture.PixelColor(x, y) & 0xFFFFFF) == Rgb(AColor);
    return n;
  }
  // Rows holding anything but the background.
  Integer InkRows(TRect R = Rect(0, 0, CellWidth, CellHeight)) const {
    Integer rows = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if ((Picture.PixelColor(x, y) & 0xFFFFFF) != Rgb(clWindow)) {
          ++rows;
          break;
        }
    return rows;
  }

  TcxEditStyle Style{nullptr, true};
  std::unique_ptr<TcxCustomEditViewData> Data;
  std::unique_ptr<TcxCustomEditViewInfo> Info;
  TBitmap Picture;
};

}  // namespace

TEST(cxWindowlessViews, CheckBoxShowsTheStateOfTheValueAsABox) {
  TcxCheckBoxProperties p(nullptr);
  struct {
    Variant Value;
    TcxCheckBoxState State;
    bool Mark;
  } const cases[] = {
      {Variant(true), cbsChecked, true},
      {Variant(false), cbsUnchecked, false},
      {Null(), cbsGrayed, true},  // nssGrayedChecked: a dimmed mark
  };
  for (const auto& c : cases) {
    TCell cell(&p, c.Value);
    auto* info = dynamic_cast<TcxCustomCheckBoxViewInfo*>(cell.Info.get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->State, c.State);
    EXPECT_EQ(info->Alignment, taCenter);  // in place the box is centred, no caption
    // The box stands in the middle of the cell.
    const TRect& box = info->CheckBoxRect;
    EXPECT_NEAR((box.Left + box.Right) / 2, CellWidth / 2, 1);
    EXPECT_NEAR((box.Top + box.Bottom) / 2, CellHeight / 2, 1);
    const Integer marked = cell.Count(clBtnText, box) + cell.Count(clBtnShadow, box);
    EXPECT_EQ(marked > 6, c.Mark) << "state " << c.State;
    // Nothing outside the box: no "True"/"False" text.
    EXPECT_EQ(cell.InkRows(Rect(0, 0, box.Left - 1, CellHeight)), 0);
  }
}

TEST(cxWindowlessViews, CheckBoxBorderStyleRows) {
  struct {
    TcxEditBorderStyle Style;
    Integer Row;
    TcxEditBorderStyle Box;
  } const cases[] = {
      {ebsNone, 0, ebsNone},       {ebsFlat, 1, ebsFlat},         {ebsNone, 2, ebsFlat},
      {ebsSingle, 2, ebsThick},    {ebsThick, 2, ebsThick},       {ebsFlat, 2, ebs3D},
      {ebs3D, 2, ebs3D},           {ebsUltraFlat, 2, ebsUltraFlat}, {ebsOffice11, 2, ebsOffice11},
  };
  for (const auto& c : cases) EXPECT_EQ(cxCheckBoxBorderStyle(c.Style, c.Row), c.Box) << c.Style << " row " << c.Row;
}

TEST(cxWindowlessViews, MemoShowsEveryLineWithItsTextFlags) {
  TcxMemoProperties p(nullptr);
  struct {
    bool WordWrap;
    TScrollStyle ScrollBars;
    TAlignment Alignment;
    TcxTextLayoutFlags Flags;
  } const cases[] = {
      {true, ssNone, taLeftJustify, 0x4000 | 0x400 | 0x40 | 0x100 | 0x20000},
      {true, ssVertical, taRightJustify, 0x4000 | 0x400 | 0x40 | 0x100 | 0x20000 | 2},
      {true, ssHorizontal, taCenter, 0x4000 | 0x400 | 0x40 | 1},
      {true, ssBoth, taLeftJustify, 0x4000 | 0x400 | 0x40},
      {false, ssNone, taLeftJustify, 0x4000 | 0x400 | 0x40},
  };
  for (const auto& c : cases) {
    p.SetWordWrap(c.WordWrap);
    p.SetScrollBars(c.ScrollBars);
    p.GetAlignment()->SetHorz(c.Alignment);
    EXPECT_EQ(p.MemoTextFlags(), c.Flags);
  }
  p.SetWordWrap(true);
  p.SetScrollBars(ssNone);
  p.GetAlignment()->SetHorz(taLeftJustify);
  TCell one(&p, Variant(String(u"第一行")));
  TCell two(&p, Variant(String(u"第一行\r\n第二行")));
  EXPECT_EQ(static_cast<TcxCustomMemoViewInfo*>(two.Info.get())->Text, u"第一行\r\n第二行");
  // The second line adds about a line's height of ink.
  EXPECT_GT(two.InkRows(), one.InkRows() * 3 / 2);
}

TEST(cxWindowlessViews, HyperLinkIsUnderlinedInTheLinkColourUnlessSelected) {
  TcxHyperLinkEditProperties p(nullptr);
  p.SetLinkColor(clGreen);
  TCell link(&p, Variant(String(u"www.cgs.gov.cn")));
  EXPECT_GT(link.Count(clGreen), 30);
  EXPECT_EQ(link.Count(clWindowText), 0);
  // The underline: one row of the link colour as wide as most of the text.
  Integer widest = 0;
  for (Integer y = 0; y < CellHeight; ++y) widest = std::max(widest, link.Count(clGreen, Rect(0, y, CellWidth, y + 1)));
  EXPECT_GT(widest, 40);
  // A selected cell shows the link in the cell's text colour.
  TCell selected(&p, Variant(String(u"www.cgs.gov.cn")), true);
  EXPECT_EQ(selected.Count(clGreen), 0);
  EXPECT_GT(selected.Count(clWindowText), 30);
}

TEST(cxWindowlessViews, ImageComboBoxShowsTheItemsImageBesideItsDescription) {
  TcxImageComboBoxProperties p(nullptr);
  std::unique_ptr<TImageList> images = TImageList::CreateSize(10, 10);
  for (TColor color : {clRed, clLime}) {
    TBitmap bitmap(10, 10, pf24bit);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(Rect(0, 0, 10, 10));
    images->Add(&bitmap, nullptr);
  }
  p.SetImages(images.get());
  for (Integer i = 0; i < 2; ++i) {
    TcxImageComboBoxItem* item = p.Items()->Add();
    item->SetDescription(i == 0 ? u"Granite" : u"Basalt");
    item->SetValue(Variant(i + 10));
    item->SetImageIndex(i);
  }
  p.SetDefaultDescription(u"none");
  struct {
    Variant Value;
    TColor Image;
    const char16_t* Text;
  } const cases[] = {
      {Variant(10), clRed, u"Granite"},
      {Variant(11), clLime, u"Basalt"},
      {Variant(99), clNone, u"none"},  // no item: the default description, no image
  };
  for (const auto& c : cases) {
    TCell cell(&p, c.Value);
    auto* info = static_cast<TcxImageComboBoxViewInfo*>(cell.Info.get());
    EXPECT_EQ(info->Text, String(c.Text));
    if (c.Image != clNone) {
      EXPECT_EQ(cell.Count(c.Image, info->ImageRect), 100);
    } else {
      EXPECT_EQ(cell.Count(clRed) + cell.Count(clLime), 0);
    }
    EXPECT_GT(cell.InkRows(info->TextRect), 4);  // the description
  }
}

TEST(cxWindowlessViews, RadioGroupChecksTheItemOfTheValue) {
  TcxRadioGroupProperties p(nullptr);
  p.Items()->Add()->SetCaption(u"A");
  p.Items()->Add()->SetCaption(u"B");
  TCell a(&p, Variant(String(u"A")));
  TCell b(&p, Variant(String(u"B")));
  TCell none(&p, Variant(String(u"C")));
  auto* info = static_cast<TcxCustomRadioGroupViewInfo*>(a.Info.get());
  ASSERT_EQ(info->ButtonsInfo.size(), 2u);
  EXPECT_EQ(info->ItemIndex, 0);
  EXPECT_EQ(static_cast<TcxCustomRadioGroupViewInfo*>(b.Info.get())->ItemIndex, 1);
  EXPECT_EQ(static_cast<TcxCustomRadioGroupViewInfo*>(none.Info.get())->ItemIndex, -1);
  // Both items show in each cell; the checked glyph differs from the
  // unchecked one.
  const TRect first = info->ButtonsInfo[0].Bounds, second = info->ButtonsInfo[1].Bounds;
  EXPECT_GT(a.InkRows(first), 4);
  EXPECT_GT(a.InkRows(second), 4);
  const Integer glyph = RadioButtonGlyphGeometry().Width;
  const TRect glyphA = Rect(first.Left, first.Top, first.Left + glyph, first.Bottom);
  auto pixels = [&](const TCell& ACell, const TRect& R) {
    std::vector<TColor> v;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) v.push_back(ACell.Picture.PixelColor(x, y));
    return v;
  };
  EXPECT_NE(pixels(a, glyphA), pixels(b, glyphA));
  EXPECT_EQ(pixels(b, glyphA), pixels(none, glyphA));
}
