#include "foundation/qzUxTheme.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/qzThemeManager.h"
#include "platform/gui/bitmap.h"
#include "platform/rtl/encoding.h"

namespace {

// Starts both theme units afresh around each test and leaves the platform's
// defaults behind.
class qzUxThemeTest : public ::testing::Test {
protected:
  void SetUp() override { Restart(); }
  void TearDown() override { Restart(); }
  static void Restart() {
    qzThemeManagerFinalize();
    qzUxThemeFinalize();
  }
};

// ---- A library that records what the wrappers pass ----------------------------------------

struct TCalls {
  std::string LastClassList;
  HWND LastWnd = 0;
  Integer LastPart = 0, LastState = 0;
  TRect LastRect;
  bool HadClip = false;
  bool HadRect = false;
} GCalls;

HTHEME RecordOpen(HWND Wnd, const Char* ClassList) {
  GCalls.LastWnd = Wnd;
  GCalls.LastClassList = StringToUTF8(ClassList);
  return 77;
}
HRESULT RecordBackground(HTHEME, HDC, Integer Part, Integer State, const TRect* Rect, const TRect* Clip) {
  GCalls.LastPart = Part;
  GCalls.LastState = State;
  GCalls.LastRect = *Rect;
  GCalls.HadClip = Clip != nullptr;
  return S_OK;
}
HRESULT RecordPartSize(HTHEME, HDC, Integer, Integer, const TRect* Rect, THEMESIZE, TSize* Size) {
  GCalls.HadRect = Rect != nullptr;
  *Size = TSize{13, 11};
  return S_OK;
}
HRESULT GiveColor(HTHEME, Integer, Integer, Integer PropId, TColor* Color) {
  *Color = PropId == 3801 ? RGB(1, 2, 3) : clNone;
  return S_OK;
}
bool Active() { return true; }
HRESULT SpoilFont(HWND, HDC DC, const TRect*) {
  DC->Font()->SetName(u"Courier New");
  DC->Font()->SetHeight(-30);
  return S_FALSE;
}

std::unique_ptr<TqzThemeLibrary> RecordingLibrary() {
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("OpenThemeData", &RecordOpen);
  library->AddProc("DrawThemeBackground", &RecordBackground);
  library->AddProc("GetThemePartSize", &RecordPartSize);
  library->AddProc("GetThemeColor", &GiveColor);
  library->AddProc("IsThemeActive", &Active);
  library->AddProc("DrawThemeParentBackground", &SpoilFont);
  return library;
}

// Every wrapper once, as a list of results: what a caller that skipped the
// availability test would see.
struct TWrapperResults {
  HTHEME Open;
  HRESULT Close, Background, Text, Edge, ContentRect, Region, PartSize, Color, ThemeName, ParentBackground;
  bool Transparent, Active;
};

TWrapperResults CallEveryWrapper() {
  TBitmap bitmap(4, 4);
  HDC dc = bitmap.Canvas()->Handle();
  const TRect r{0, 0, 4, 4};
  TRect content;
  HRGN region = nullptr;
  TSize size;
  TColor color = 0;
  Char name[8], colorName[8], sizeName[8];
  TWrapperResults w;
  w.Open = OpenThemeData(0, u"Button");
  w.Close = CloseThemeData(5);
  w.Background = DrawThemeBackground(5, dc, 1, 1, r, nullptr);
  w.Text = DrawThemeText(5, dc, 1, 1, u"a", 1, 0, 0, r);
  w.Edge = DrawThemeEdge(5, dc, 1, 1, r, 0, 0, &content);
  w.ContentRect = GetThemeBackgroundContentRect(5, dc, 1, 1, r, content);
  w.Region = GetThemeBackgroundRegion(5, dc, 1, 1, r, region);
  w.PartSize = GetThemePartSize(5, dc, 1, 1, TS_TRUE, size);
  w.Color = GetThemeColor(5, 1, 1, 3801, color);
  w.ThemeName = GetCurrentThemeName(name, 8, colorName, 8, sizeName, 8);
  w.ParentBackground = DrawThemeParentBackground(0, dc, &r);
  w.Transparent = IsThemeBackgroundPartiallyTransparent(5, 1, 1);
  w.Active = IsThemeActive();
  return w;
}

void ExpectAllFail(const TWrapperResults& w, HRESULT Code) {
  EXPECT_EQ(w.Open, 0u);
  for (HRESULT r : {w.Close, w.Background, w.Text, w.Edge, w.ContentRect, w.Region, w.PartSize, w.Color,
                    w.ThemeName, w.ParentBackground})
    EXPECT_EQ(r, Code);
  EXPECT_FALSE(w.Transparent);
  EXPECT_FALSE(w.Active);
}

TEST_F(qzUxThemeTest, PlatformServiceIsLoadedButNothingIsThemed) {
  // The unit starts by itself with the platform's service.
  EXPECT_TRUE(IsWindowsXPOrNewer());
  EXPECT_TRUE(IsThemeLibraryLoaded());
  ExpectAllFail(CallEveryWrapper(), E_FAIL);
}

TEST_F(qzUxThemeTest, LibraryLoadsOnlyFromVersionFiveOne) {
  struct TCase {
    Integer Major, Minor;
    bool Loaded;
  };
  for (const TCase& c : {TCase{4, 90, false}, TCase{5, 0, false}, TCase{5, 1, true}, TCase{5, 2, true},
                         TCase{6, 0, true}}) {
    SCOPED_TRACE(std::to_string(c.Major) + "." + std::to_string(c.Minor));
    qzUxThemeInitialize(c.Major, c.Minor, RecordingLibrary());
    EXPECT_EQ(IsWindowsXPOrNewer(), c.Loaded);
    EXPECT_EQ(IsThemeLibraryLoaded(), c.Loaded);
    EXPECT_EQ(IsThemeActive(), c.Loaded);  // only a bound entry answers
  }
}

TEST_F(qzUxThemeTest, MissingLibraryOrEntryAnswersFailure) {
  qzUxThemeInitialize(5, 1, nullptr);  // loading failed
  EXPECT_TRUE(IsWindowsXPOrNewer());
  EXPECT_FALSE(IsThemeLibraryLoaded());
  ExpectAllFail(CallEveryWrapper(), E_NOTIMPL);

  qzUxThemeInitialize(5, 1, std::make_unique<TqzThemeLibrary>());  // a library without entries
  EXPECT_TRUE(IsThemeLibraryLoaded());
  ExpectAllFail(CallEveryWrapper(), E_NOTIMPL);
}

TEST_F(qzUxThemeTest, WrappersPassArgumentsAndResults) {
  qzUxThemeInitialize(5, 1, RecordingLibrary());
  EXPECT_EQ(OpenThemeData(42, u"ScrollBar"), 77u);
  EXPECT_EQ(GCalls.LastWnd, 42u);
  EXPECT_EQ(GCalls.LastClassList, "ScrollBar");

  TBitmap bitmap(8, 8);
  const TRect r{1, 2, 7, 8}, clip{0, 0, 4, 4};
  EXPECT_EQ(DrawThemeBackground(77, bitmap.Canvas()->Handle(), 3, 4, r, clip), S_OK);
  EXPECT_EQ(GCalls.LastPart, 3);
  EXPECT_EQ(GCalls.LastState, 4);
  EXPECT_EQ(GCalls.LastRect, r);
  EXPECT_TRUE(GCalls.HadClip);
  DrawThemeBackground(77, bitmap.Canvas()->Handle(), 3, 4, r, nullptr);
  EXPECT_FALSE(GCalls.HadClip);

  TSize size;
  EXPECT_EQ(GetThemePartSize(77, nullptr, 2, 1, TS_TRUE, size), S_OK);  // the short form passes no rectangle
  EXPECT_FALSE(GCalls.HadRect);
  EXPECT_EQ(size.cx, 13);
  GetThemePartSize(77, nullptr, 2, 1, &r, TS_DRAW, size);
  EXPECT_TRUE(GCalls.HadRect);

  TColor color = 0;
  EXPECT_EQ(GetThemeColor(77, 1, 1, 3801, color), S_OK);
  EXPECT_EQ(color, RGB(1, 2, 3));
}

TEST_F(qzUxThemeTest, ParentBackgroundKeepsTheCanvasFont) {
  qzUxThemeInitialize(5, 1, RecordingLibrary());
  TBitmap bitmap(8, 8);
  TCanvas* canvas = bitmap.Canvas();
  canvas->Font()->SetName(u"Tahoma");
  canvas->Font()->SetHeight(-11);
  const TRect r{0, 0, 8, 8};
  EXPECT_EQ(DrawThemeParentBackground(0, canvas->Handle(), &r), S_FALSE);
  EXPECT_EQ(StringToUTF8(canvas->Font()->Name()), "Tahoma");
  EXPECT_EQ(canvas->Font()->Height(), -11);
}

}  // namespace
