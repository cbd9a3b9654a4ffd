// Cells that show their value the way the editor does, without an editor
// open: a check box, a memo, an image combo box, a hyperlink and a radio
// group in tree-list columns, next to the same editors as controls. The
// probes fail when a cell falls back to its value as plain text.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "data/cxDataStorage.h"
#include "editors/cxCheckBox.h"
#include "editors/cxHyperLinkEdit.h"
#include "editors/cxImageComboBox.h"
#include "editors/cxMemo.h"
#include "editors/cxRadioGroup.h"
#include "foundation/cxPainterImages.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/imagelist.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLController.h"
#include "treelist/cxTLViewInfo.h"

namespace {

enum { CheckItem, MemoItem, ImageItem, LinkItem, RadioItem, ItemCount };
constexpr Integer RowPitch = 44;
constexpr TColor ImageColors[] = {clRed, clLime};

std::unique_ptr<TImageList> SolidImages() {
  std::unique_ptr<TImageList> images = TImageList::CreateSize(12, 12);
  for (TColor color : ImageColors) {
    TBitmap bitmap(12, 12, pf24bit);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(Rect(0, 0, 12, 12));
    images->Add(&bitmap, nullptr);
  }
  return images;
}


void SetUpImageCombo(TcxCustomImageComboBoxProperties* P, TImageList* AImages) {
  P->SetImages(AImages);
  const char16_t* names[] = {u"花岗岩", u"玄武岩"};
  for (Integer i = 0; i < 2; ++i) {
    TcxImageComboBoxItem* item = P->Items()->Add();
    item->SetDescription(names[i]);
    item->SetValue(Variant(i + 1));
    item->SetImageIndex(i);
  }
}

void SetUpRadio(TcxCustomRadioGroupProperties* P) {
  P->Items()->Add()->SetCaption(u"甲");
  P->Items()->Add()->SetCaption(u"乙");
}

struct TRowValues {
  bool Checked;
  const char16_t* Memo;
  Integer Image;
  const char16_t* Link;
  const char16_t* Radio;
};
const TRowValues Rows[] = {
    {true, u"第一行\r\n第二行", 1, u"www.cgs.gov.cn", u"甲"},
    {false, u"one line", 2, u"http://data.cn", u"乙"},
    {false, u"", 1, u"", u"甲"},  // the focused row (its selection look is not probed)
};

struct TEditorCellsFixture {
  TEditorCellsFixture() {
    EnsureGuiRuntime();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
    Images = SolidImages();
    Form = new TForm(nullptr);
    Form->SetBounds(40, 40, 900, 330);
    Form->SetColor(clBtnFace);
    Tree = new TcxCustomTreeListControl(Form);
    Tree->SetBorderStyle(cxcbsNone);
    Tree->SetBounds(10, 10, 560, 200);
    Tree->SetParent(Form);
    struct {
      const char16_t* Caption;
      Integer Width;
      TcxCustomEditPropertiesClass Properties;
      TcxValueTypeClass Type;
    } const columns[ItemCount] = {
        {u"Check", 60, TcxCheckBoxProperties::StaticClass(), TcxBooleanValueType::StaticClass()},
        {u"Memo", 110, TcxMemoProperties::StaticClass(), TcxStringValueType::StaticClass()},
        {u"Image", 110, TcxImageComboBoxProperties::StaticClass(), TcxIntegerValueType::StaticClass()},
        {u"Link", 130, TcxHyperLinkEditProperties::StaticClass(), TcxStringValueType::StaticClass()},
        {u"Radio", 100, TcxRadioGroupProperties::StaticClass(), TcxStringValueType::StaticClass()},
    };
    for (const auto& c : columns) {
      TcxTreeListColumn* column = Tree->CreateColumn();
      Tree->DataController()->SetItemValueTypeClass(column->ItemIndex(), c.Type);
      column->SetPropertiesClass(c.Properties);
      column->SetCaption(c.Caption);
      column->SetWidth(c.Width);
    }
    SetUpImageCombo(static_cast<TcxCustomImageComboBoxProperties*>(Tree->GetColumn(ImageItem)->Properties()),
                    Images.get());
    SetUpRadio(static_cast<TcxCustomRadioGroupProperties*>(Tree->GetColumn(RadioItem)->Properties()));
    Tree->BeginUpdate();
    for (const TRowValues& r : Rows) {
      TcxTreeListNode* node = Tree->AddNode(nullptr, nullptr, tlamAddChild);
      node->SetValues(CheckItem, Variant(r.Checked));
      node->SetValues(MemoItem, Variant(String(r.Memo)));
      node->SetValues(ImageItem, Variant(r.Image));
      node->SetValues(LinkItem, Variant(String(r.Link)));
      node->SetValues(RadioItem, Variant(String(r.Radio)));
      Nodes.push_back(node);
    }
    Tree->EndUpdate();
    Tree->SetDefaultRowHeight(RowPitch);

    // The same editors as controls, to the right.
    Integer top = 10;
    auto place = [&](TcxCustomEdit* AEdit, Integer AHeight) {
      AEdit->SetParent(Form);
      AEdit->SetBounds(590, top, 280, AHeight);
      top += AHeight + 6;
    };
    auto* check = new TcxCheckBox(Form);
    check->SetCaption(u"选项");
    place(check, 22);
    check->SetChecked(true);
    auto* memo = new TcxMemo(Form);
    place(memo, 44);
    memo->SetEditValue(Variant(String(Rows[0].Memo)));
    auto* combo = new TcxImageComboBox(Form);
    SetUpImageCombo(combo->ActiveImageProperties(), Images.get());
    place(combo, 24);
    combo->SetEditValue(Variant(1));
    auto* link = new TcxHyperLinkEdit(Form);
    place(link, 24);
    link->SetEditValue(Variant(String(Rows[0].Link)));
    auto* radio = new TcxRadioGroup(Form);
    SetUpRadio(radio->ActiveProperties());
    radio->SetCaption(u"单选");
    place(radio, 80);
    radio->SetItemIndex(0);

    Form->Show();
    Tree->SetFocusedNode(Nodes.back());
    Application->ProcessMessages();
    Tree->LayoutChanged();
  }
  ~TEditorCellsFixture() {
    Form->Free();
    Application->ProcessMessages();
  }

  TcxTreeListViewInfo* Layout() const {
    TcxTreeListViewInfo* VI = Tree->TreeListViewInfo();
    if (VI->IsDirty()) VI->Calculate();
    return VI;
  }
  TRect Cell(Integer ARow, Integer AColumn) const {
    return Layout()->RowOfNode(Nodes[static_cast<size_t>(ARow)])->CellOfColumn(Tree->GetColumn(AColumn))->DisplayRect();
  }
  std::unique_ptr<TBitmap> Shot() const {
    auto picture = std::make_unique<TBitmap>(Tree->ClientWidth(), Tree->ClientHeight(), pf32bit);
    Tree->PaintTo(picture->Canvas()->Handle(), 0, 0);
    return picture;
  }
  // The whole form: the tree list and the controls.
  std::unique_ptr<TBitmap> FormShot() const {
    auto picture = std::make_unique<TBitmap>(Form->ClientWidth(), Form->ClientHeight(), pf32bit);
    Form->PaintTo(picture->Canvas()->Handle(), 0, 0);
    return picture;
  }

  std::unique_ptr<TImageList> Images;
  TForm* Form = nullptr;
  TcxCustomTreeListControl* Tree = nullptr;
  std::vector<TcxTreeListNode*> Nodes;
};

Integer CountColor(const TBitmap& APicture, const TRect& R, TColor AColor) {
  const TColor rgb = ColorToRGB(AColor) & 0xFFFFFF;
  Integer count = 0;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x) count += (APicture.PixelColor(x, y) & 0xFFFFFF) == rgb;
  return count;
}

// Rows of R that hold a pixel other than ABack.
std::set<Integer> InkRows(const TBitmap& APicture, const TRect& R, TColor ABack) {
  const TColor back = ColorToRGB(ABack) & 0xFFFFFF;
  std::set<Integer> rows;
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if ((APicture.PixelColor(x, y) & 0xFFFFFF) != back) {
        rows.insert(y);
        break;
      }
  return rows;
}

TRect Inner(TRect R) {
  InflateRect(R, -2, -2);
  return R;
}

}  // namespace

TEST(TreeListEditorCells, EachEditorDrawsItsValueWithoutAnEditor) {
  TEditorCellsFixture F;
  ASSERT_FALSE(F.Tree->Controller()->IsEditing());
  const auto picture = F.Shot();
  F.FormShot()->SaveToFile(u"/tmp/korvane_treelist_editor_cells.png");
  const TColor back = clWindow;

  {
    SCOPED_TRACE("check box: a centred box, marked only when checked");
    const TRect checked = F.Cell(0, CheckItem), unchecked = F.Cell(1, CheckItem);
    EXPECT_GT(CountColor(*picture, Inner(checked), clBtnText), 6);
    EXPECT_EQ(CountColor(*picture, Inner(unchecked), clBtnText), 0);
    // The box stands in the middle: the left quarter, where a text would
    // start, stays empty.
    for (const TRect& cell : {checked, unchecked}) {
      const TRect left = Rect(cell.Left + 1, cell.Top + 1, cell.Left + cell.Width() / 4, cell.Bottom - 1);
      EXPECT_TRUE(InkRows(*picture, left, back).empty());
      const TRect middle = Rect(cell.Left + cell.Width() / 3, cell.Top + 2, cell.Right - cell.Width() / 3,
                                cell.Bottom - 2);
      EXPECT_FALSE(InkRows(*picture, middle, back).empty());
    }
  }
  {
    SCOPED_TRACE("memo: both lines of the value, one under the other");
    TBitmap measure(10, 10, pf24bit);
    measure.Canvas()->Font()->Assign(F.Tree->Font());
    const Integer lineHeight = measure.Canvas()->TextHeight(u"Zg");
    const std::set<Integer> rows = InkRows(*picture, Inner(F.Cell(0, MemoItem)), back);
    ASSERT_FALSE(rows.empty());
    EXPECT_GT(*rows.rbegin() - *rows.begin(), lineHeight * 13 / 10);
  }
  {
    SCOPED_TRACE("image combo box: the item's image beside its description");
    const TRect first = F.Cell(0, ImageItem), second = F.Cell(1, ImageItem);
    EXPECT_GE(CountColor(*picture, first, ImageColors[0]), 100);
    EXPECT_GE(CountColor(*picture, second, ImageColors[1]), 100);
    const TRect text = Rect(first.Left + 20, first.Top, first.Right, first.Bottom);
    EXPECT_FALSE(InkRows(*picture, Inner(text), back).empty());
  }
  {
    SCOPED_TRACE("hyperlink: blue and underlined");
    const TRect cell = Inner(F.Cell(0, LinkItem));
    EXPECT_GT(CountColor(*picture, cell, clBlue), 30);
    EXPECT_EQ(CountColor(*picture, cell, clWindowText), 0);
    Integer longestRun = 0;
    const TColor blue = ColorToRGB(clBlue) & 0xFFFFFF;
    for (Integer y = cell.Top; y < cell.Bottom; ++y) {
      Integer run = 0;
      for (Integer x = cell.Left; x < cell.Right; ++x) {
        run = (picture->PixelColor(x, y) & 0xFFFFFF) == blue ? run + 1 : 0;
        longestRun = std::max(longestRun, run);
      }
    }
    EXPECT_GT(longestRun, 40);  // the underline
  }
  {
    SCOPED_TRACE("radio group: both items with their glyphs, the value's one checked");
    const TRect a = F.Cell(0, RadioItem), b = F.Cell(1, RadioItem);
    for (const TRect& cell : {a, b}) {
      const Integer middle = (cell.Top + cell.Bottom) / 2;
      const TRect upper = Rect(cell.Left + 1, cell.Top + 1, cell.Right - 1, middle);
      const TRect lower = Rect(cell.Left + 1, middle, cell.Right - 1, cell.Bottom - 1);
      EXPECT_FALSE(InkRows(*picture, upper, back).empty());
      EXPECT_FALSE(InkRows(*picture, lower, back).empty());
    }
    // The glyphs differ between the cells (the checked dot moved); the
    // captions are the same.
    const Integer glyphWidth = RadioButtonGlyphGeometry().Width + 2;
    auto glyphs = [&](const TRect& ACell) {
      std::vector<TColor> pixels;
      for (Integer y = ACell.Top; y < ACell.Bottom; ++y)
        for (Integer x = ACell.Left; x < ACell.Left + glyphWidth; ++x) pixels.push_back(picture->PixelColor(x, y));
      return pixels;
    };
    EXPECT_NE(glyphs(a), glyphs(b));
  }
}
