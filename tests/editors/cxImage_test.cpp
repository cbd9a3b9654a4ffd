// The image editor: the picture value (header, short and damaged bytes),
// round trips through BMP and JPEG, proportional fitting and scrolling with
// zero sizes, the clipboard, load and save through the dialog service, the
// context menu's states, and a picture of the editor showing a picture.
#include "editors/cxImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "../platform/gui/recordingdialogs.h"

#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"

namespace {

// Four coloured quarters, so that position and scaling errors show.
std::unique_ptr<TBitmap> MakeQuarters(Integer W, Integer H) {
  auto bitmap = std::make_unique<TBitmap>(W, H, pf24bit);
  const TColor colours[4] = {clRed, clLime, clBlue, clYellow};
  for (Integer q = 0; q < 4; ++q) {
    bitmap->Canvas()->Brush()->SetColor(colours[q]);
    const Integer x = (q % 2) * W / 2, y = (q / 2) * H / 2;
    bitmap->Canvas()->FillRect(TRect{x, y, x + W / 2, y + H / 2});
  }
  return bitmap;
}

RawByteString BitmapBytes(Integer W, Integer H) {
  TPicture picture;
  picture.SetGraphic(MakeQuarters(W, H).get());
  return SavePictureToString(&picture);
}

RawByteString WithHeader(const RawByteString& Bytes, size_t Length) {
  RawByteString header{'\x01', '\x00', '\x00', '\x01'};
  for (int i = 0; i < 4; ++i) header += static_cast<char>((Length >> (8 * i)) & 0xFF);
  return header + Bytes;
}

bool Near(TColor A, TColor B, Integer Tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<Integer>((A >> shift) & 0xFF) - static_cast<Integer>((B >> shift) & 0xFF)) > Tolerance)
      return false;
  return true;
}

TEST(cxImageValue, HeaderShortAndEmptyValues) {
  const RawByteString bmp = BitmapBytes(8, 6);
  ASSERT_EQ(bmp.substr(0, 2), "BM");  // written without a header
  struct TCase {
    const char* Name;
    Variant Value;
    Integer Width;  // 0: empty picture
  };
  const TCase cases[] = {
      {"plain bytes", VarFromRawByteString(bmp), 8},
      {"header with the right length", VarFromRawByteString(WithHeader(bmp, bmp.size())), 8},
      {"header with a wrong length is read from byte 0", VarFromRawByteString(WithHeader(bmp, bmp.size() + 1)), 0},
      {"header alone", VarFromRawByteString(WithHeader("", 0)), 0},
      {"seven bytes", VarFromRawByteString(bmp.substr(0, 7)), 0},
      {"empty string", VarFromRawByteString(""), 0},
      {"null", Null(), 0},
      {"not a string", Variant(42), 0},
      {"damaged bytes", VarFromRawByteString(bmp.substr(0, 40)), 0},
      {"noise", VarFromRawByteString(RawByteString(300, '\x5A')), 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPicture picture;
    picture.SetGraphic(MakeQuarters(3, 3).get());  // something to replace or clear
    LoadPictureFromValue(&picture, TBitmap::StaticClass(), c.Value);
    EXPECT_EQ(picture.Width(), c.Width);
    EXPECT_EQ(picture.Graphic() != nullptr && !picture.Graphic()->Empty(), c.Width != 0);
  }
  TPicture empty;
  EXPECT_EQ(SavePictureToString(&empty), "");
  empty.SetGraphic(std::make_unique<TBitmap>().get());
  EXPECT_EQ(SavePictureToString(&empty), "");
}

TEST(cxImageValue, RoundTripsThroughBmpAndJpeg) {
  const std::unique_ptr<TBitmap> source = MakeQuarters(40, 30);
  TJPEGImage jpeg;
  jpeg.Assign(source.get());
  TPicture bmpPicture, jpegPicture;
  bmpPicture.SetGraphic(source.get());
  jpegPicture.SetGraphic(&jpeg);
  struct TCase {
    const char* Name;
    TPicture* Picture;
    TGraphicClass Kind;
    Integer Tolerance;
  };
  const TCase cases[] = {
      {"bitmap", &bmpPicture, TBitmap::StaticClass(), 0},
      {"bitmap, no class given", &bmpPicture, nullptr, 0},
      {"JPEG", &jpegPicture, TJPEGImage::StaticClass(), 40},
      {"JPEG in a bitmap editor is still shown", &jpegPicture, TBitmap::StaticClass(), 40},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const Variant value = VarFromRawByteString(SavePictureToString(c.Picture));
    TPicture loaded;
    LoadPictureFromValue(&loaded, c.Kind, value);
    ASSERT_EQ(loaded.Width(), 40);
    ASSERT_EQ(loaded.Height(), 30);
    TBitmap pixels;
    pixels.Assign(loaded.Graphic());
    for (const TPoint p : {TPoint{5, 5}, TPoint{35, 5}, TPoint{5, 25}, TPoint{35, 25}})
      EXPECT_TRUE(Near(pixels.PixelColor(p.X, p.Y), source->PixelColor(p.X, p.Y), c.Tolerance))
          << p.X << "," << p.Y;
    // Saved again, the bytes read the same (nothing is added on the way).
    EXPECT_EQ(SavePictureToString(&loaded), value.AsRawByteString());
  }
}

TEST(cxImageGeometry, FitAndScrollWithZeroSizes) {
  struct TFit {
    TRect Rect;
    Integer W, H;
    TRect Expected;
  };
  const TFit fits[] = {
      {{10, 10, 110, 60}, 20, 10, {10, 10, 110, 60}},  // same ratio
      {{10, 10, 110, 60}, 10, 10, {10, 10, 60, 60}},   // taller picture: full height
      {{0, 0, 100, 100}, 40, 10, {0, 0, 100, 25}},     // wider picture: full width
      {{0, 0, 100, 100}, 0, 10, {0, 0, 100, 100}},     // zero width: unchanged
      {{0, 0, 100, 100}, 10, 0, {0, 0, 100, 100}},     // zero height: unchanged
      {{0, 0, 100, 0}, 10, 10, {0, 0, 100, 0}},        // empty rectangle
      {{5, 5, 5, 50}, 10, 10, {5, 5, 5, 50}},
  };
  for (const TFit& f : fits) EXPECT_EQ(FitRectProportionally(f.Rect, f.W, f.H), f.Expected);

  struct TScroll {
    Integer Position, Range, Page, Expected;
  };
  const TScroll scrolls[] = {
      {50, 200, 100, 50}, {150, 200, 100, 100}, {-8, 200, 100, 0},
      {10, 50, 100, 0},  // the page holds the whole picture
      {10, 0, 0, 0},     {10, 0, 100, 0},     {5, 10, -3, 5},
  };
  for (const TScroll& s : scrolls)
    EXPECT_EQ(ClampImageScrollPosition(s.Position, s.Range, s.Page), s.Expected)
        << s.Position << " " << s.Range << " " << s.Page;
}

TEST(cxImageProperties, GraphicClassByNameAndAssign) {
  EXPECT_EQ(FindGraphicClassByName(u"tjpegimage"), TJPEGImage::StaticClass());
  EXPECT_EQ(FindGraphicClassByName(u"TPicture"), nullptr);
  TcxImageProperties properties(nullptr);
  EXPECT_EQ(properties.GraphicClass(), TBitmap::StaticClass());
  EXPECT_FALSE(properties.IsGraphicClassNameStored());
  properties.SetGraphicClassName(u"TIcon");
  properties.SetGraphicClassName(u"TNothing");  // unknown: no change
  EXPECT_EQ(properties.GraphicClass(), TIcon::StaticClass());
  properties.SetCaption(u"(none)");
  properties.PopupMenuLayout()->SetMenuItems(cxPopupMenuItem(pmiCustom));
  TcxImageProperties copy(nullptr);
  copy.Assign(&properties);
  EXPECT_EQ(copy.GraphicClassName(), u"TIcon");
  EXPECT_EQ(copy.PopupMenuLayout()->MenuItems(), cxPopupMenuItem(pmiCustom));
  EXPECT_EQ(copy.GetDisplayTextOfValue(VarFromRawByteString("x")), u"(none)");
  EXPECT_EQ(copy.GetDisplayTextOfValue(Null()), u"");
  copy.SetGraphicClassName(u"");
  EXPECT_EQ(copy.GetGraphicClass(-1, true), TBitmap::StaticClass());
  EXPECT_EQ(copy.GetGraphicClass(-1, false), nullptr);
}

// ---- The editor on a form ----------------------------------------------------------------

// Message boxes are written down; a file dialog answers ChosenFile.
class TFakeDialogs : public TRecordingDialogs {
public:
  std::vector<String> Filters;
  String ChosenFile;  // "": the user cancels
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest& R) override { return Answer(R); }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest& R) override { return Answer(R); }

private:
  TFileDialogResult Answer(const TFileDialogRequest& R) {
    Filters.push_back(R.Filter);
    TFileDialogResult result;
    result.Accepted = !ChosenFile.empty();
    if (result.Accepted) result.FileNames.push_back(ChosenFile);
    return result;
  }
};

class TStoringBinding : public TcxEditDataBinding {
  KORVANE_CLASS(TStoringBinding, TcxEditDataBinding)
  using TcxEditDataBinding::TcxEditDataBinding;
  void StoreValue() override { ++Stores; }
  Integer Stores = 0;
};

class TTestImage : public TcxImage {
  KORVANE_CLASS(TTestImage, TcxImage)
  using TcxImage::TcxImage;
  TcxEditDataBindingClass GetDataBindingClass() const override { return TStoringBinding::StaticClass(); }
  TStoringBinding* Binding() { return static_cast<TStoringBinding*>(DataBinding()); }
  // Menus are recorded, not shown.
  bool ShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) override {
    Menus.push_back({AMenu, TPoint{X, Y}});
    return true;
  }
  std::vector<std::pair<TComponent*, TPoint>> Menus;
};

struct TImageFixture : TTestForm {
  TImageFixture() : TTestForm(360, 220) {
    OldDialogs = SetDialogService(&Dialogs);
    Image = Place<TTestImage>(10, 10, 160, 120);
    Other = Place<TTestImage>(200, 10, 100, 40);
    ShowForm(Image);
  }
  ~TImageFixture() {
    FreeForm();
    SetDialogService(OldDialogs);
    Clipboard()->Clear();
  }
  void Leave() { Focus(Other); }
  TFakeDialogs Dialogs;
  TDialogService* OldDialogs = nullptr;

  TTestImage* Image;
  TTestImage* Other;
};

TEST(cxImageEditor, UnreadableBytesKeepTheStoredValueUntilTheUserChangesIt) {
  TImageFixture f;
  const Variant damaged = VarFromRawByteString(BitmapBytes(20, 20).substr(0, 60));
  f.Image->SetEditValue(damaged);
  EXPECT_EQ(f.Image->Picture()->Graphic(), nullptr);
  EXPECT_EQ(f.Image->EditValue().AsRawByteString(), damaged.AsRawByteString());
  f.Leave();
  EXPECT_EQ(f.Image->Binding()->Stores, 0);
  EXPECT_EQ(f.Image->EditValue().AsRawByteString(), damaged.AsRawByteString());

  // A picture pasted by the user replaces it, and is posted on leaving.
  Clipboard()->Assign(MakeQuarters(12, 8).get());
  f.Image->SetFocus();
  Application->ProcessMessages();
  TestKey(VK_INSERT, u"", tkShift);
  Application->ProcessMessages();
  EXPECT_TRUE(f.Image->IsModified());
  TPicture reread;
  LoadPictureFromValue(&reread, TBitmap::StaticClass(), f.Image->EditValue());
  EXPECT_EQ(reread.Width(), 12);
  f.Leave();
  EXPECT_EQ(f.Image->Binding()->Stores, 1);
}

TEST(cxImageEditor, ClipboardKeysAndMenuCommands) {
  TImageFixture f;
  f.Image->SetEditValue(VarFromRawByteString(BitmapBytes(30, 20)));
  struct TStep {
    const char* Name;
    Word Key;
    Char Character;  // 0: Key with Modifiers
    Cardinal Modifiers;
    Integer Width;  // of the editor's picture afterwards (0: empty)
    Integer ClipboardWidth;
  };
  const TStep steps[] = {
      {"Ctrl+Insert copies", VK_INSERT, 0, tkCtrl, 30, 30},
      {"Shift+Delete cuts", VK_DELETE, 0, tkShift, 0, 30},
      {"Shift+Insert pastes", VK_INSERT, 0, tkShift, 30, 30},
      {"Ctrl+X cuts", 'X', 24, tkCtrl, 0, 30},
      {"Ctrl+V pastes", 'V', 22, tkCtrl, 30, 30},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    if (s.Character)
      TestKey(s.Key, String(1, s.Character), s.Modifiers);
    else
      TestKey(s.Key, u"", s.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(f.Image->Picture()->Width(), s.Width);
    TBitmap onClipboard;
    Clipboard()->AssignTo(&onClipboard);
    EXPECT_EQ(onClipboard.Width(), s.ClipboardWidth);
    EXPECT_EQ(VarIsNull(f.Image->EditValue()), s.Width == 0);
  }
  // Delete from the menu; read-only refuses paste.
  TMenuItem* items = f.Image->ContextMenu()->Items();
  items->Items(3)->Click();
  EXPECT_EQ(f.Image->Picture()->Graphic(), nullptr);
  f.Image->Properties()->SetReadOnly(true);
  TestKey(VK_INSERT, u"", tkShift);
  Application->ProcessMessages();
  EXPECT_EQ(f.Image->Picture()->Graphic(), nullptr);
}

TEST(cxImageEditor, ImmediatePostStoresAUserChangeAtOnce) {
  TImageFixture f;
  f.Image->Properties()->SetImmediatePost(true);
  f.Image->SetEditValue(VarFromRawByteString(BitmapBytes(30, 20)));
  EXPECT_EQ(f.Image->Binding()->Stores, 0);  // the program's value is not the user's change
  TestKey(VK_DELETE, u"", tkShift);
  Application->ProcessMessages();
  EXPECT_EQ(f.Image->Binding()->Stores, 1);
  EXPECT_TRUE(VarIsNull(f.Image->EditValue()));
  EXPECT_FALSE(f.Image->IsModified());
}

TEST(cxImageEditor, GraphicTransparencyAppliesToEveryNewPicture) {
  TImageFixture f;
  const Variant value = VarFromRawByteString(BitmapBytes(10, 10));
  struct TCase {
    TcxImageTransparency Transparency;
    bool Transparent;
  };
  for (const TCase c : {TCase{gtDefault, false}, TCase{gtTransparent, true}, TCase{gtOpaque, false}}) {
    SCOPED_TRACE(c.Transparency);
    f.Image->ImageProperties()->SetGraphicTransparency(c.Transparency);
    f.Image->SetEditValue(value);
    EXPECT_EQ(f.Image->Picture()->Graphic()->Transparent(), c.Transparent);
    // A cell without an editor applies the same rule to its own picture.
    TcxImageViewInfo info;
    std::unique_ptr<TcxCustomEditViewData> data(f.Image->ImageProperties()->CreateViewData(nullptr, true));
    static_cast<TcxImageViewData*>(data.get())->Value = value;
    TcxScreenCanvas canvas;
    data->ComputeViewInfo(&canvas, TRect{0, 0, 50, 50}, TPoint{-1, -1}, cxmbNone, 0, &info, false);
    ASSERT_NE(info.Picture, nullptr);
    EXPECT_EQ(info.Picture->Graphic()->Transparent(), c.Transparent);
  }
}

TEST(cxImageEditor, EscGoesBackToThePictureItHadOnEntering) {
  TImageFixture f;
  const Variant original = VarFromRawByteString(BitmapBytes(30, 20));
  f.Image->SetEditValue(original);
  TestKey(VK_DELETE, u"", tkShift);
  Application->ProcessMessages();
  ASSERT_EQ(f.Image->Picture()->Graphic(), nullptr);
  TestKey(VK_ESCAPE);
  Application->ProcessMessages();
  EXPECT_EQ(f.Image->Picture()->Width(), 30);
  EXPECT_EQ(f.Image->EditValue().AsRawByteString(), original.AsRawByteString());
  EXPECT_FALSE(f.Image->IsModified());
}

TEST(cxImageViewData, SizeOfACellWithoutAnEditor) {
  TcxImageProperties properties(nullptr);
  TcxScreenCanvas canvas;
  struct TCase {
    const char* Name;
    bool Stretch;
    const char16_t* Caption;
    Variant Value;
    Integer Width;  // limit (-1: none)
    TSize Expected;
  };
  const Variant picture = VarFromRawByteString(BitmapBytes(40, 30));
  const TCase cases[] = {
      {"null", false, u"", Null(), -1, {0, cxImageDefaultCellHeight}},
      {"picture", false, u"", picture, 100, {40, 30}},
      {"stretched to the width", true, u"", picture, 100, {100, 75}},
      {"stretched without a width", true, u"", picture, -1, {40, 30}},
      {"unreadable bytes stretched", true, u"", VarFromRawByteString("12345678"), 100, {0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    properties.SetStretch(c.Stretch);
    properties.SetCaption(c.Caption);
    std::unique_ptr<TcxCustomEditViewData> data(properties.CreateViewData(nullptr, true));
    ASSERT_NE(data, nullptr);
    TcxEditSizeProperties limits;
    limits.Width = c.Width;
    EXPECT_EQ(data->CalcContentExtent(&canvas, c.Value, limits), c.Expected);
  }
  properties.SetCaption(u"(none)");
  std::unique_ptr<TcxCustomEditViewData> data(properties.CreateViewData(nullptr, true));
  EXPECT_EQ(data->CalcContentExtent(&canvas, Null(), TcxEditSizeProperties{}), canvas.GetTextSize(u"(none)"));
}

TEST(cxImageEditor, ContextMenuByMouseAndKey) {
  TImageFixture f;
  TPopupMenu* own = new TPopupMenu(f.Form);
  struct TCase {
    const char* Name;
    TcxPopupMenuItems Items;
    bool OwnMenu;
    bool ByKey;
    Integer Shown;  // 0 none, 1 the editor's menu, 2 the control's own menu
    TPoint At;      // client point
  };
  const TCase cases[] = {
      {"right click", cxDefaultPopupMenuItems, false, false, 1, {30, 40}},
      {"menu key", cxDefaultPopupMenuItems, false, true, 1, {10, 10}},
      {"no entries: nothing of ours", 0, false, false, 0, {}},
      {"the control's own menu first", cxDefaultPopupMenuItems, true, false, 2, {30, 40}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    f.Image->Menus.clear();
    f.Image->ImageProperties()->PopupMenuLayout()->SetMenuItems(c.Items);
    f.Image->SetPopupMenu(c.OwnMenu ? own : nullptr);
    if (c.ByKey)
      f.Image->Perform(WM_CONTEXTMENU, f.Image->Handle(), MAKELPARAM(-1, -1));
    else
      TestClick(f.Image->Handle(), {30, 40}, tbRight);
    Application->ProcessMessages();
    ASSERT_EQ(f.Image->Menus.size(), c.Shown ? 1u : 0u);
    if (!c.Shown) continue;
    EXPECT_EQ(f.Image->Menus[0].first, c.Shown == 1 ? static_cast<TComponent*>(f.Image->ContextMenu()) : own);
    EXPECT_EQ(f.Image->Menus[0].second, f.Image->ClientToScreen(c.At));
  }
}

TEST(cxImageEditor, MenuStatesFollowPictureClassAndLayout) {
  TImageFixture f;
  Clipboard()->Assign(MakeQuarters(4, 4).get());
  struct TCase {
    const char* Name;
    const char16_t* GraphicClass;
    bool HasPicture;
    bool ReadOnly;
    TcxPopupMenuItems Items;
    const char* Enabled;  // cut copy paste delete load save
    const char* Visible;  // nine entries
  };
  const TCase cases[] = {
      {"bitmap", u"TBitmap", true, false, cxDefaultPopupMenuItems, "111111", "111111100"},
      {"empty", u"TBitmap", false, false, cxDefaultPopupMenuItems, "001010", "111111100"},
      {"read-only", u"TBitmap", true, true, cxDefaultPopupMenuItems, "010001", "111111100"},
      {"icon: no cut, copy or paste", u"TIcon", true, false, cxDefaultPopupMenuItems, "000111", "111111100"},
      {"custom only", u"TBitmap", true, false, cxPopupMenuItem(pmiCustom), "111111", "000000011"},
      {"copy and save", u"TBitmap", true, false,
       static_cast<TcxPopupMenuItems>(cxPopupMenuItem(pmiCopy) | cxPopupMenuItem(pmiSave)), "111111", "010010100"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxCustomImageProperties* properties = f.Image->ImageProperties();
    properties->SetReadOnly(false);
    properties->SetGraphicClassName(u"TBitmap");
    f.Image->SetEditValue(c.HasPicture ? VarFromRawByteString(BitmapBytes(10, 10)) : Null());
    properties->SetGraphicClassName(c.GraphicClass);
    properties->SetReadOnly(c.ReadOnly);
    properties->PopupMenuLayout()->SetMenuItems(c.Items);
    f.Image->PrepareMenu();
    std::string enabled, visible;
    TMenuItem* items = f.Image->ContextMenu()->Items();
    for (Integer i : {0, 1, 2, 3, 5, 6}) enabled += items->Items(i)->Enabled() ? '1' : '0';
    for (Integer i = 0; i < 9; ++i) visible += items->Items(i)->Visible() ? '1' : '0';
    EXPECT_EQ(enabled, c.Enabled);
    EXPECT_EQ(visible, c.Visible);
  }
  f.Image->ImageProperties()->SetGraphicClassName(u"TIcon");
  EXPECT_FALSE(f.Image->CanPasteFromClipboard());
}

std::string TempPath(const char* Name) { return std::string("/tmp/korvane_cxImage_") + Name; }

TEST(cxImageEditor, LoadAndSaveThroughTheDialogService) {
  TImageFixture f;
  TMenuItem* items = f.Image->ContextMenu()->Items();
  // Save a picture, clear, load it back.
  f.Image->SetEditValue(VarFromRawByteString(BitmapBytes(24, 16)));
  const std::string saved = TempPath("saved.bmp");
  std::remove(saved.c_str());
  f.Dialogs.ChosenFile = String(saved.begin(), saved.end());
  items->Items(6)->Click();
  ASSERT_FALSE(f.Dialogs.Filters.empty());
  EXPECT_NE(f.Dialogs.Filters.back().find(u"*.bmp"), String::npos);
  f.Image->SetEditValue(Null());
  items->Items(5)->Click();
  EXPECT_EQ(f.Image->Picture()->Width(), 24);
  EXPECT_TRUE(f.Image->IsModified());
  EXPECT_TRUE(f.Dialogs.Texts.empty());

  // A cancelled dialog changes nothing.
  f.Dialogs.ChosenFile.clear();
  items->Items(5)->Click();
  EXPECT_EQ(f.Image->Picture()->Width(), 24);

  // Files that cannot be read say why; the picture stays.
  struct TBad {
    const char* File;
    RawByteString Bytes;
    const char16_t* Says;
  };
  const TBad bad[] = {
      {"picture.wmf", RawByteString("\xD7\xCD\xC6\x9A", 4) + RawByteString(60, '\0'), u"Metafile"},
      {"broken.bmp", BitmapBytes(10, 10).substr(0, 30), u""},
      {"missing.bmp", "", u""},
  };
  for (const TBad& b : bad) {
    SCOPED_TRACE(b.File);
    const std::string path = TempPath(b.File);
    std::remove(path.c_str());
    if (!b.Bytes.empty()) std::ofstream(path, std::ios::binary) << b.Bytes;
    f.Dialogs.Texts.clear();
    f.Dialogs.ChosenFile = String(path.begin(), path.end());
    items->Items(5)->Click();
    ASSERT_EQ(f.Dialogs.Texts.size(), 1u);
    EXPECT_NE(f.Dialogs.Texts[0].find(b.Says), String::npos);
    EXPECT_EQ(f.Image->Picture()->Width(), 24);
  }
  // A file that cannot be written says so too.
  f.Dialogs.Texts.clear();
  f.Dialogs.ChosenFile = u"/nonexistent-folder/picture.bmp";
  items->Items(6)->Click();
  EXPECT_EQ(f.Dialogs.Texts.size(), 1u);
}

TEST(cxImageEditor, CustomFilterAndCustomCommand) {
  TImageFixture f;
  f.Image->ImageProperties()->SetCustomFilter(u"Photos|*.jpg");
  f.Image->ImageProperties()->PopupMenuLayout()->SetCustomMenuItemCaption(u"Rotate");
  Integer clicks = 0;
  f.Image->ImageProperties()->OnCustomClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  f.Image->PrepareMenu();
  TMenuItem* items = f.Image->ContextMenu()->Items();
  EXPECT_EQ(items->Items(8)->Caption(), u"Rotate");
  items->Items(8)->Click();
  EXPECT_EQ(clicks, 1);
  items->Items(5)->Click();
  ASSERT_EQ(f.Dialogs.Filters.size(), 1u);
  EXPECT_EQ(f.Dialogs.Filters[0], u"Photos|*.jpg");
}

TEST(cxImageEditor, ScrollingStaysInsideThePicture) {
  TImageFixture f;
  f.Image->ImageProperties()->SetCenter(false);
  f.Image->SetEditValue(VarFromRawByteString(BitmapBytes(400, 300)));
  Application->ProcessMessages();
  Integer pos = 0;
  for (Integer i = 0; i < 3; ++i) {
    pos = f.Image->ScrollPos().X;
    f.Image->ScrollOneStep(dirRight);
  }
  EXPECT_EQ(f.Image->ScrollPos().X, pos + cxImageScrollLineStep);
  f.Image->ScrollOneStep(dirLeft);
  EXPECT_EQ(f.Image->ScrollPos().X, 2 * cxImageScrollLineStep);
  // At the far end the picture's last column is the client area's last one.
  for (Integer i = 0; i < 60; ++i) f.Image->ScrollOneStep(dirRight);
  ASSERT_TRUE(f.Image->IsVScrollBarVisible());
  const TRect client = f.Image->GetViewInfo()->ClientRect;
  EXPECT_EQ(f.Image->ScrollPos().X, 400 - (client.Right - client.Left));
  // A smaller picture scrolls nowhere.
  f.Image->SetEditValue(VarFromRawByteString(BitmapBytes(20, 20)));
  f.Image->ScrollOneStep(dirRight);
  f.Image->ScrollOneStep(dirDown);
  EXPECT_EQ(f.Image->ScrollPos(), (TPoint{0, 0}));
}

TEST(cxImageEditor, PictureOfTheEditorShowsThePicture) {
  TImageFixture f;
  f.Image->ImageProperties()->SetStretch(true);
  f.Image->SetEditValue(VarFromRawByteString(BitmapBytes(40, 30)));
  f.Other->ImageProperties()->SetCaption(u"(no picture)");
  // A large picture, not centred: scrolled, with its top-left corner shown.
  auto* scrolled = new TTestImage(f.Form);
  scrolled->SetBounds(200, 70, 140, 100);
  scrolled->SetParent(f.Form);
  scrolled->ImageProperties()->SetCenter(false);
  scrolled->SetEditValue(VarFromRawByteString(BitmapBytes(400, 300)));
  Application->ProcessMessages();
  EXPECT_TRUE(scrolled->IsHScrollBarVisible());
  EXPECT_TRUE(scrolled->IsVScrollBarVisible());
  TBitmap shot(f.Form->ClientWidth(), f.Form->ClientHeight(), pf32bit);
  f.Form->PaintTo(shot.Canvas()->Handle(), 0, 0);
  shot.SaveToFile(u"/tmp/korvane_cxImage_editor.png");
  // Stretched into 160x120 less the border: each quarter's middle shows its colour.
  const TPoint origin = f.Image->BoundsRect().TopLeft();
  const TRect client = f.Image->ClientRect();
  const Integer w = client.Right, h = client.Bottom;
  EXPECT_EQ(shot.PixelColor(origin.X + w / 4, origin.Y + h / 4), clRed);
  EXPECT_EQ(shot.PixelColor(origin.X + 3 * w / 4, origin.Y + h / 4), clLime);
  EXPECT_EQ(shot.PixelColor(origin.X + w / 4, origin.Y + 3 * h / 4), clBlue);
  EXPECT_EQ(shot.PixelColor(origin.X + 3 * w / 4, origin.Y + 3 * h / 4), clYellow);
  EXPECT_EQ(shot.PixelColor(200 + 20, 70 + 20), clRed);
}

TEST(cxImageEditor, RegisteredKind) {
  cxImageRegister();
  cxImageRegister();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TcxImageProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->Descriptions(index), u"Image|Represents an image editor");
  EXPECT_EQ(TcxImageProperties::GetEditorClass(), TcxImage::StaticClass());
}

}  // namespace

// The menu's glyphs: the six shared ones serve cut, copy, paste, delete,
// load and save (each with its own transparent colour left out); the custom
// entry shows CustomMenuItemGlyph when it holds a picture.
TEST(cxImageEditor, MenuEntriesShowTheirGlyphs) {
  TImageFixture f;
  TImageList* shared = GetImageMenuGlyphs();
  ASSERT_EQ(shared->Count(), cxImageMenuGlyphCount);
  for (Integer i = 0; i < shared->Count(); ++i) {
    TBitmap back(cxImageMenuGlyphSize, cxImageMenuGlyphSize, pf24bit);
    back.Canvas()->Brush()->SetColor(clFuchsia);
    back.Canvas()->FillRect(Rect(0, 0, cxImageMenuGlyphSize, cxImageMenuGlyphSize));
    shared->Draw(back.Canvas(), 0, 0, i);
    Integer drawn = 0, through = 0;
    for (Integer y = 0; y < cxImageMenuGlyphSize; ++y)
      for (Integer x = 0; x < cxImageMenuGlyphSize; ++x)
        ((back.PixelColor(x, y) & 0xFFFFFF) == (ColorToRGB(clFuchsia) & 0xFFFFFF) ? through : drawn) += 1;
    EXPECT_GT(drawn, 10) << i;
    EXPECT_GT(through, 10) << i;  // the transparent colour is left out
  }
  TcxPopupMenuLayout* layout = f.Image->ImageProperties()->PopupMenuLayout();
  layout->SetMenuItems(static_cast<TcxPopupMenuItems>(cxDefaultPopupMenuItems | cxPopupMenuItem(pmiCustom)));
  f.Image->PrepareMenu();
  TPopupMenu* menu = f.Image->ContextMenu();
  ASSERT_NE(menu->Images(), nullptr);
  EXPECT_EQ(menu->Images()->Count(), cxImageMenuGlyphCount);
  const Integer expected[9] = {0, 1, 2, 3, -1, 4, 5, -1, -1};
  for (Integer i = 0; i < 9; ++i) EXPECT_EQ(menu->Items()->Items(i)->ImageIndex(), expected[i]) << i;
  TBitmap custom(16, 16, pf24bit);
  custom.Canvas()->Brush()->SetColor(clLime);
  custom.Canvas()->FillRect(Rect(0, 0, 16, 16));
  custom.Canvas()->Brush()->SetColor(clBlue);
  custom.Canvas()->FillRect(Rect(4, 4, 12, 12));
  layout->SetCustomMenuItemGlyph(&custom);
  f.Image->PrepareMenu();
  EXPECT_EQ(menu->Images()->Count(), cxImageMenuGlyphCount + 1);
  EXPECT_EQ(menu->Items()->Items(8)->ImageIndex(), cxImageMenuGlyphCount);
  TBitmap drawn(16, 16, pf24bit);
  menu->Images()->Draw(drawn.Canvas(), 0, 0, cxImageMenuGlyphCount);
  EXPECT_EQ(drawn.PixelColor(8, 8) & 0xFFFFFF, ColorToRGB(clBlue) & 0xFFFFFF);
  layout->SetCustomMenuItemGlyph(nullptr);
  f.Image->PrepareMenu();
  EXPECT_EQ(menu->Items()->Items(8)->ImageIndex(), -1);
}
