// The image combo box: items by value and by text, value comparison, the
// closed editor's layout, the image lists' lifetime, and in a window the
// choice between items that share a description.
#include "editors/cxImageComboBox.h"

#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/encoding.h"

namespace {

struct TItemData {
  const char16_t* Description;
  Variant Value;
  Integer ImageIndex;
};

void AddItems(TcxCustomImageComboBoxProperties* AProperties, std::initializer_list<TItemData> AItems) {
  for (const TItemData& data : AItems) {
    TcxImageComboBoxItem* item = AProperties->Items()->Add();
    item->SetDescription(data.Description);
    item->SetValue(data.Value);
    item->SetImageIndex(data.ImageIndex);
  }
}

// Two items share the description "Granite" with different codes.
void AddRocks(TcxCustomImageComboBoxProperties* AProperties) {
  AddItems(AProperties, {{u"Granite", Variant(10), 0}, {u"Granite", Variant(20), 1}, {u"Basalt", Variant(30), 2},
                         {u"Basalt copy", Variant(30), 3}});
}

std::unique_ptr<TImageList> SolidImages(std::initializer_list<TColor> AColors) {
  std::unique_ptr<TImageList> images = TImageList::CreateSize(8, 8);
  for (TColor color : AColors) {
    TBitmap bitmap(8, 8, pf24bit);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(Rect(0, 0, 8, 8));
    images->Add(&bitmap, nullptr);
  }
  return images;
}

}  // namespace

TEST(cxImageComboBox, ItemsByValueAndByText) {
  TcxImageComboBoxProperties p(nullptr);
  EXPECT_EQ(p.DropDownListStyle(), lsFixedList);
  AddRocks(&p);
  p.SetDefaultDescription(u"(unknown)");
  p.SetDefaultImageIndex(7);
  struct TCase {
    Variant Value;
    Integer Index;
    const char16_t* Text;
    Integer Image;
  };
  const TCase cases[] = {
      {Variant(10), 0, u"Granite", 0},
      {Variant(20), 1, u"Granite", 1},
      {Variant(30), 2, u"Basalt", 2},  // two items hold 30: the first
      {Variant(99), -1, u"(unknown)", 7},
      {Null(), -1, u"(unknown)", 7},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(StringToUTF8(VarToStr(c.Value)));
    const Integer index = p.FindItemByValue(c.Value);
    EXPECT_EQ(index, c.Index);
    EXPECT_EQ(p.GetDisplayTextOfValue(c.Value), c.Text);
    EXPECT_EQ(p.ShownDescription(index), c.Text);
    EXPECT_EQ(p.ShownImageIndex(index), c.Image);
  }
  EXPECT_EQ(p.FindItemByText(u"basalt"), 2);  // case ignored
  EXPECT_EQ(p.FindItemByText(u"Basal"), -1);
  // The combo box's text list holds the descriptions and follows changes.
  EXPECT_EQ(p.TcxCustomComboBoxProperties::Items()->Count(), 4);
  p.Items()->Item(2)->SetDescription(u"Gabbro");
  EXPECT_EQ(p.TcxCustomComboBoxProperties::Items()->Strings(2), u"Gabbro");
  // Without descriptions nothing is shown and no text names an item.
  p.SetShowDescriptions(false);
  EXPECT_EQ(p.FindItemByText(u"Granite"), -1);
  EXPECT_EQ(p.ShownDescription(0), u"");
  EXPECT_EQ(p.ShownImageIndex(0), 0);
}

TEST(cxImageComboBox, EditValuesCompareByValueNotByDescription) {
  TcxImageComboBoxProperties p(nullptr);
  AddRocks(&p);
  struct TCase {
    Variant A, B;
    bool Equal;
  };
  const TCase cases[] = {
      {Variant(10), Variant(20), false},  // both "Granite": still two choices
      {Variant(10), Variant(10), true},
      {Variant(30), Variant(30), true},
      {Variant(99), Variant(98), false},  // both show the default description
      {Null(), Null(), true},
      {Null(), Variant(0), false},
      {Variant(String(u"")), Null(), false},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(p.AreEditValuesEqual(c.A, c.B), c.Equal) << StringToUTF8(VarToStr(c.A)) << " / " << StringToUTF8(VarToStr(c.B));
    Variant normalized;
    p.NormalizeEditValue(c.A, normalized, false);
    EXPECT_TRUE(VarIsNull(c.A) ? VarIsNull(normalized) : VarToStr(normalized) == VarToStr(c.A));
  }
}

TEST(cxImageComboBox, ItemsTakeTheirImageAndCopy) {
  std::unique_ptr<TImageList> images = SolidImages({clRed, clGreen});
  TcxImageComboBoxProperties p(nullptr);
  p.SetImages(images.get());
  // An item takes its own index while the list has an image for every item.
  for (Integer i = 0; i < 3; ++i) p.Items()->Add();
  EXPECT_EQ(p.Items()->Item(0)->ImageIndex(), 0);
  EXPECT_EQ(p.Items()->Item(1)->ImageIndex(), 1);
  EXPECT_EQ(p.Items()->Item(2)->ImageIndex(), -1);
  p.Items()->Item(0)->SetDescription(u"Loess");
  p.Items()->Item(0)->SetValue(Variant(5));
  p.Items()->Item(0)->SetTag(3);

  Integer changes = 0;
  p.OnPropertiesChanged = TNotifyEvent(&changes, [&changes](TObject*) { ++changes; });
  p.Items()->Item(1)->SetDescription(u"Clay");
  EXPECT_GE(changes, 1);

  TcxImageComboBoxProperties copy(nullptr);
  p.SetImageAlign(iaRight);
  p.SetMultiLineText(true);
  p.SetDefaultDescription(u"-");
  copy.Assign(&p);
  EXPECT_EQ(copy.Items()->Count(), 3);
  EXPECT_EQ(copy.Items()->Item(0)->Description(), u"Loess");
  EXPECT_EQ(VarToStr(copy.Items()->Item(0)->Value()), u"5");
  EXPECT_EQ(copy.Items()->Item(1)->ImageIndex(), 1);
  EXPECT_EQ(copy.Images(), images.get());
  EXPECT_EQ(copy.ImageAlign(), iaRight);
  EXPECT_TRUE(copy.MultiLineText());
  EXPECT_EQ(copy.DefaultDescription(), u"-");
  EXPECT_EQ(copy.DropDownListStyle(), lsFixedList);
}

TEST(cxImageComboBox, AFreedImageListIsForgotten) {
  TcxImageComboBoxProperties p(nullptr);
  TcxEditRepositoryImageComboBoxItem item(nullptr);
  TcxImageComboBoxProperties* itemProperties = item.ImageComboProperties();
  std::unique_ptr<TImageList> small = SolidImages({clRed});
  std::unique_ptr<TImageList> large = SolidImages({clBlue});
  p.SetImages(small.get());
  p.SetLargeImages(small.get());  // one list in both roles
  itemProperties->SetImages(small.get());
  itemProperties->SetLargeImages(large.get());
  EXPECT_EQ(itemProperties->ListImages(), large.get());
  // Setting the other role to another list keeps the shared one followed.
  p.SetLargeImages(large.get());
  p.SetLargeImages(nullptr);
  small.reset();
  EXPECT_EQ(p.Images(), nullptr);
  EXPECT_EQ(itemProperties->Images(), nullptr);
  EXPECT_EQ(itemProperties->LargeImages(), large.get());
  large.reset();
  EXPECT_EQ(itemProperties->LargeImages(), nullptr);
  EXPECT_EQ(itemProperties->ListImages(), nullptr);
}

TEST(cxImageComboBox, ClosedEditorLayout) {
  const TRect client = Rect(0, 0, 100, 20);
  struct TCase {
    TSize Image;
    TcxImageAlign Align;
    bool ShowDescriptions;
    TRect ImageRect, TextRect;
  };
  const TCase cases[] = {
      {{16, 16}, iaLeft, true, Rect(2, 2, 18, 18), Rect(22, 1, 98, 19)},
      {{16, 16}, iaRight, true, Rect(82, 2, 98, 18), Rect(2, 1, 80, 19)},
      {{16, 16}, iaLeft, false, Rect(42, 2, 58, 18), Rect(62, 1, 62, 19)},
      {{0, 0}, iaLeft, true, Rect(0, 0, 0, 0), Rect(2, 1, 98, 19)},
      {{16, 24}, iaLeft, true, Rect(2, -2, 18, 22), Rect(22, 1, 98, 19)},  // taller than the client
  };
  for (const TCase& c : cases) {
    const TcxImageComboBoxLayout layout = cxImageComboBoxCalcLayout(client, c.Image, c.Align, c.ShowDescriptions);
    EXPECT_EQ(layout.ImageRect, c.ImageRect) << c.Image.cx << " " << c.Align << " " << c.ShowDescriptions;
    EXPECT_EQ(layout.TextRect, c.TextRect) << c.Image.cx << " " << c.Align << " " << c.ShowDescriptions;
  }
  // A client too narrow for the text gives an empty text rectangle.
  const TcxImageComboBoxLayout narrow = cxImageComboBoxCalcLayout(Rect(0, 0, 20, 20), {16, 16}, iaLeft, true);
  EXPECT_EQ(narrow.TextRect.Width(), 0);
}

TEST(cxImageComboBox, TheKindRegisters) {
  cxImageComboBoxInitialize();
  cxImageComboBoxInitialize();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxImageComboBoxProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)),
            u"ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown "
            u"window");
  EXPECT_EQ(cls->GetEditorClass(), TcxImageComboBox::StaticClass());
  cxImageComboBoxFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxImageComboBoxProperties"), nullptr);
}

// ---------------------------------------------------------------------------
// In a window

namespace {

struct TImageComboFixture : TTestForm {
  TImageComboFixture() : TTestForm(360, 260) {
    Images = SolidImages({clRed, clLime, clBlue, clYellow});
    Combo = Place<TcxImageComboBox>(20, 20, 180, 24);
    Props()->SetImages(Images.get());
    AddRocks(Props());
    Combo->Properties()->OnEditValueChanged = TNotifyEvent(this, [this](TObject*) { ++ValueChanges; });
    ShowForm(Combo);
  }
  ~TImageComboFixture() { FreeForm(); }
  TcxImageComboBoxProperties* Props() { return static_cast<TcxImageComboBoxProperties*>(Combo->Properties()); }
  String Value() { return VarToStr(Combo->EditValue()); }
  std::unique_ptr<TImageList> Images;
  TcxImageComboBox* Combo;

  Integer ValueChanges = 0;
};

}  // namespace

TEST(cxImageComboBox, PickingAnotherItemWithTheSameDescriptionIsSaved) {
  for (bool immediatePost : {false, true}) {
    SCOPED_TRACE(immediatePost);
    TImageComboFixture f;
    f.Props()->SetImmediatePost(immediatePost);
    f.Combo->SetEditValue(Variant(10));
    EXPECT_EQ(f.Combo->Text(), u"Granite");
    EXPECT_EQ(f.Combo->ItemIndex(), 0);

    // The list opens on the chosen item; the next one has the same text.
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 0);
    f.Key(VK_DOWN);
    f.Key(VK_RETURN);
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), u"Granite");
    EXPECT_EQ(f.Combo->ItemIndex(), 1);
    if (!immediatePost) {
      EXPECT_TRUE(f.Combo->IsModified());
      EXPECT_TRUE(f.Combo->PostEditValue());
    }
    EXPECT_EQ(f.Value(), u"20");
    EXPECT_GE(f.ValueChanges, 1);

    // Opening again shows the second "Granite" chosen, not the first.
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 1);
    f.Key(VK_ESCAPE);
    EXPECT_EQ(f.Value(), u"20");
  }
}

TEST(cxImageComboBox, ValuesWithoutAnItemAndStepping) {
  TImageComboFixture f;
  f.Props()->SetDefaultDescription(u"(none)");
  // A value no item holds shows the default and survives a post.
  f.Combo->SetEditValue(Variant(77));
  EXPECT_EQ(f.Combo->Text(), u"(none)");
  EXPECT_EQ(f.Combo->ItemIndex(), -1);
  f.Combo->SetModified(true);
  EXPECT_TRUE(f.Combo->PostEditValue());
  EXPECT_EQ(f.Value(), u"77");

  // A value two items hold selects the first, in the editor and the list.
  f.Combo->SetEditValue(Variant(30));
  EXPECT_EQ(f.Combo->Text(), u"Basalt");
  EXPECT_EQ(f.Combo->ItemIndex(), 2);
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Combo->ListBox()->ItemIndex(), 2);
  f.Key(VK_ESCAPE);
  f.Combo->SetEditValue(Variant(20));
  // Typing picks by description.
  TestTypeText(u"b");
  Application->ProcessMessages();
  f.Key(VK_RETURN);
  if (f.Combo->HasOpenPopup()) f.Key(VK_RETURN);
  EXPECT_TRUE(f.Combo->PostEditValue());
  EXPECT_EQ(f.Value(), u"30");
}

TEST(cxImageComboBox, WithoutDescriptionsOnlyTheImageShows) {
  TImageComboFixture f;
  f.Props()->SetShowDescriptions(false);
  f.Combo->SetEditValue(Variant(20));
  EXPECT_EQ(f.Combo->Text(), u"");
  EXPECT_EQ(f.Combo->ItemIndex(), 1);
  TestTypeText(u"B");
  Application->ProcessMessages();
  EXPECT_EQ(f.Combo->Text(), u"");
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  // The image sits in the middle of the text area.
  const TRect image = f.Combo->ImageRect();
  const TRect inner = f.Combo->InnerEdit()->BoundsRect();
  EXPECT_EQ(image.Width(), 8);
  EXPECT_EQ(inner.Width(), 0);
  // Posting the unchanged editor keeps the chosen item's value.
  f.Combo->SetModified(true);
  EXPECT_TRUE(f.Combo->PostEditValue());
  EXPECT_EQ(f.Value(), u"20");
}

TEST(cxImageComboBox, PictureOfTheEditorAndItsList) {
  TImageComboFixture f;
  f.Props()->SetDefaultImageIndex(-1);
  f.Combo->SetEditValue(Variant(30));
  Application->ProcessMessages();
  const Integer w = f.Form->ClientWidth(), h = f.Form->ClientHeight();
  TBitmap closed(w, h, pf24bit);
  f.Form->PaintTo(closed.Canvas()->Handle(), 0, 0);
  // The blue image of "Basalt" sits left of the text, inside the editor.
  const TRect image = f.Combo->ImageRect();
  ASSERT_GT(image.Width(), 0);
  const TPoint at{f.Combo->Left() + (image.Left + image.Right) / 2, f.Combo->Top() + (image.Top + image.Bottom) / 2};
  EXPECT_EQ(closed.PixelColor(at.X, at.Y), ColorToRGB(clBlue) & 0xFFFFFF);
  EXPECT_GE(f.Combo->InnerEdit()->Left(), image.Right);

  // An unmatched value with no default image draws none.
  f.Combo->SetEditValue(Variant(99));
  Application->ProcessMessages();
  TBitmap unmatched(w, h, pf24bit);
  f.Form->PaintTo(unmatched.Canvas()->Handle(), 0, 0);
  EXPECT_NE(unmatched.PixelColor(at.X, at.Y), ColorToRGB(clBlue) & 0xFFFFFF);

  f.Combo->SetEditValue(Variant(30));
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  Application->ProcessMessages();
  TcxCustomEditPopupWindow* popup = f.Combo->PopupWindow();
  const TPoint formOrigin = f.Form->ClientToScreen(TPoint{0, 0});
  const TRect pr = popup->BoundsRect();
  TBitmap picture(w, h, pf24bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  const TPoint popupAt{pr.Left - formOrigin.X, pr.Top - formOrigin.Y};
  popup->PaintTo(picture.Canvas()->Handle(), popupAt.X, popupAt.Y);
  SavePicture(&picture, "imagecombobox_open.png");
  // Each row shows its image in the image column.
  TcxComboBoxListBox* list = f.Combo->ListBox();
  const TColor colours[] = {clRed, clLime, clBlue, clYellow};
  for (Integer i = 0; i < 4; ++i) {
    const TRect r = list->ItemRect(i);
    EXPECT_GE(r.Height(), 8 + 2);
    EXPECT_EQ(picture.PixelColor(popupAt.X + list->Left() + r.Left + 5, popupAt.Y + list->Top() + (r.Top + r.Bottom) / 2),
              ColorToRGB(colours[i]) & 0xFFFFFF)
        << i;
  }
  // The list is wide enough for the image column and the longest text.
  EXPECT_GE(list->Width(), 8 + 8 + TextWidthInFont(list->Font(), u"Basalt copy"));
}

// The list draws each item through its own list class: the image in its
// column on the ImageAlign side, the description beside it and never over
// the image column.
TEST(cxImageComboBox, TheListDrawsTheImageBesideTheDescription) {
  for (TcxImageAlign align : {iaLeft, iaRight}) {
    SCOPED_TRACE(align == iaLeft ? "left" : "right");
    TImageComboFixture f;
    f.Props()->SetImageAlign(align);
    f.Combo->SetEditValue(Variant(10));
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    Application->ProcessMessages();
    TcxComboBoxListBox* list = f.Combo->ListBox();
    ASSERT_NE(dynamic_cast<TcxImageComboBoxListBox*>(list), nullptr);
    TBitmap picture(list->Width(), list->Height(), pf24bit);
    list->PaintTo(picture.Canvas()->Handle(), 0, 0);
    SavePicture(&picture, align == iaLeft ? "imagecombobox_list_left.png" : "imagecombobox_list_right.png");

    const TRect row = list->ItemRect(2);  // "Basalt", blue, not selected
    const Integer right = std::min(row.Right, list->ItemsArea().Right);
    const Integer column = 8 + cxImageComboListImageSpacing;
    const Integer columnLeft = align == iaLeft ? row.Left : right - column;
    const Cardinal background = ColorToRGB(list->Color()) & 0xFFFFFF;
    const Cardinal blue = ColorToRGB(clBlue) & 0xFFFFFF;
    // The image: 1 pixel into its column, centred vertically.
    const Integer imageTop = row.Top + (row.Height() - 8) / 2;
    EXPECT_EQ(picture.PixelColor(columnLeft + 1, imageTop), blue);
    EXPECT_EQ(picture.PixelColor(columnLeft + 8, imageTop + 7), blue);
    EXPECT_EQ(picture.PixelColor(columnLeft, imageTop), background);
    EXPECT_EQ(picture.PixelColor(columnLeft + 9, imageTop), background);
    // The description's ink lies beside the column, none of it inside.
    Integer inkLeft = right, inkRight = row.Left - 1;
    for (Integer y = row.Top; y < row.Bottom; ++y)
      for (Integer x = row.Left; x < right; ++x) {
        const Cardinal pixel = picture.PixelColor(x, y);
        if (pixel == background || pixel == blue) continue;
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
      }
    ASSERT_LE(inkLeft, inkRight);
    if (align == iaLeft) {
      EXPECT_GE(inkLeft, columnLeft + column);
    } else {
      EXPECT_LT(inkRight, columnLeft);
      EXPECT_LT(inkLeft, row.Left + 2 + TextWidthInFont(list->Font(), u"B"));  // starts at the left
    }
    // The selected row is filled with the highlight around its image.
    const TRect selected = list->ItemRect(0);
    const Integer freeX = align == iaLeft ? right - 2 : selected.Left + 1;
    EXPECT_EQ(picture.PixelColor(freeX, selected.Top + 1), ColorToRGB(clHighlight) & 0xFFFFFF);
    f.Key(VK_ESCAPE);
  }
}

TEST(cxImageComboBox, TheListIsAsWideAsTheImagesBesideTheDescriptions) {
  struct TWidthCase {
    const char* Name;
    bool Images;
    bool MultiLine;
    Integer DropDownRows;
  };
  const TWidthCase cases[] = {
      {"images beside the descriptions", true, false, 8},
      {"without images", false, false, 8},
      {"more items than rows: a vertical bar", true, false, 2},
      {"word-wrapped descriptions ask no width", true, true, 8},
  };
  for (const TWidthCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TImageComboFixture f;
    f.Combo->SetWidth(40);
    f.Props()->Items()->Add()->SetDescription(u"花岗闪长岩 granodiorite, coarse-grained");
    if (!c.Images) f.Props()->SetImages(nullptr);
    f.Props()->SetMultiLineText(c.MultiLine);
    f.Props()->SetDropDownRows(c.DropDownRows);
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    auto* lookup = dynamic_cast<TcxImageComboBoxLookupData*>(f.Combo->GetLookupData());
    ASSERT_NE(lookup, nullptr);
    TcxComboBoxListBox* list = f.Combo->ListBox();
    const Integer frame = list->Height() - list->ItemsArea().Height();
    const TSize size = lookup->GetListSize(list, TSize{10000, 10000});
    Integer expected = frame;
    if (!c.MultiLine) {
      expected += TextWidthInFont(list->Font(), u"花岗闪长岩 granodiorite, coarse-grained") + (c.Images ? 8 + 8 : 4);
      if (c.DropDownRows < f.Props()->Items()->Count()) expected += GetSystemMetrics(SM_CXVSCROLL);
    }
    EXPECT_EQ(size.cx, expected);
    // The popup is never narrower than the editor.
    EXPECT_GE(f.Combo->PopupWindow()->Width(), f.Combo->Width());
    f.Key(VK_ESCAPE);
  }
}
