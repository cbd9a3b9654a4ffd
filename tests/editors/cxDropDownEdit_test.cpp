// The drop-down popup window: its layout by frame style, shadow, client
// edge, system panel and grip corner; the sizing hit test; live sizing by
// dragging the grip; the close button; and a picture of a sized popup.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

TColor Rgb(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

// The default metrics give an 18-pixel system panel (16-pixel grip,
// 14-pixel close button) and an 18-pixel sizing offset.
constexpr Integer kPanel = 18;

struct TLayoutCase {
  const char* Name;
  TcxEditPopupBorderStyle Style;
  bool Native, Shadow, ClientEdge, Panel, Sizeable;
  TcxEditPopupGripCorner Corner;
  TRect Client, Grip, Close;
};

std::unique_ptr<TcxCustomEditPopupWindowViewInfo> MakeViewInfo(const TLayoutCase& c,
                                                               TRect ABounds = {0, 0, 200, 150}) {
  auto owned = std::make_unique<TcxCustomEditPopupWindowViewInfo>();
  TcxCustomEditPopupWindowViewInfo& vi = *owned;
  vi.PopupBorderStyle = c.Style;
  vi.NativeStyle = c.Native;
  vi.Shadow = c.Shadow;
  vi.ClientEdge = c.ClientEdge;
  vi.SysPanel = c.Panel;
  vi.Sizeable = c.Sizeable;
  vi.SizeGripCorner = c.Corner;
  vi.Bounds = ABounds;
  vi.Calculate();
  return owned;
}

TEST(cxEditPopupWindowViewInfo, LayoutByStyleShadowEdgePanelAndGripCorner) {
  const TRect none{};
  // A 200 x 150 popup.
  const TLayoutCase cases[] = {
      {"plain", epbsDefault, false, false, false, false, false, epgcBottomRight, {0, 0, 200, 150}, none, none},
      {"flat, edge and shadow: 3 left/top, 6 right/bottom", epbsFlat, false, true, true, false, false,
       epgcBottomRight, {3, 3, 194, 144}, none, none},
      {"3-D frame, edge, no panel", epbsFrame3D, false, false, true, false, false, epgcBottomRight,
       {6, 6, 194, 144}, none, none},
      {"single, edge, panel below with separator", epbsSingle, false, false, true, true, true, epgcBottomRight,
       {3, 3, 197, 128}, {183, 133, 199, 149}, {4, 133, 18, 147}},
      {"3-D frame, shadow, panel above, grip top-left", epbsFrame3D, false, true, false, true, true, epgcTopLeft,
       {4, 22, 193, 143}, {4, 4, 20, 20}, {176, 6, 190, 20}},
      {"native style, panel above, grip top-right", epbsFlat, true, false, false, true, true, epgcTopRight,
       {1, 20, 199, 149}, {183, 1, 199, 17}, {4, 3, 18, 17}},
      {"flat, shadow, not sizeable: close button only", epbsFlat, false, true, false, true, false,
       epgcBottomLeft, {2, 2, 195, 127}, none, {178, 129, 192, 143}},
  };
  for (const TLayoutCase& c : cases) {
    SCOPED_TRACE(c.Name);
    // Bounds anywhere: the layout is in popup coordinates.
    auto owned = MakeViewInfo(c, {300, 400, 500, 550});
    TcxCustomEditPopupWindowViewInfo& vi = *owned;
    EXPECT_EQ(vi.Bounds, (TRect{0, 0, 200, 150}));
    EXPECT_EQ(vi.ClientRect, c.Client);
    EXPECT_EQ(vi.SizeGripRect, c.Grip);
    EXPECT_EQ(vi.CloseButtonRect, c.Close);
    EXPECT_EQ(vi.SysPanelHeight, c.Panel ? kPanel : 0);
  }
}

TEST(cxEditPopupWindowViewInfo, MinimumSizeKeepsRoomForCloseButtonAndGrip) {
  TLayoutCase c{"", epbsSingle, false, false, true, true, true, epgcBottomRight, {}, {}, {}};
  // Frame 3 + 3 wide, 3 + 19 + 3 high; sizeable with a panel: + 14 + 16 + 10.
  EXPECT_EQ(MakeViewInfo(c)->GetMinSize(), (TSize{46, 25}));
  c.Sizeable = false;
  EXPECT_EQ(MakeViewInfo(c)->GetMinSize(), (TSize{6, 25}));
  // A larger minimum panel height wins over the metrics.
  auto owned = MakeViewInfo(c);
  TcxCustomEditPopupWindowViewInfo& vi = *owned;
  vi.MinSysPanelHeight = 30;
  vi.Calculate();
  EXPECT_EQ(vi.SysPanelHeight, 30);
  EXPECT_EQ(vi.ClientRect.Bottom, 150 - 3 - 31);
}

TEST(cxEditPopupWindowViewInfo, SizingHitTestAndCursor) {
  struct THit {
    const char* Name;
    TcxEditPopupGripCorner Corner;
    bool Sizeable;
    TPoint P;
    TcxEditPopupSizingDirection Expected;
    TCursor Cursor;
  };
  const THit hits[] = {
      {"in the grip", epgcBottomRight, true, {190, 140}, {1, 1}, crSizeNWSE},
      {"inside the sizing region", epgcBottomRight, true, {100, 70}, {0, 0}, crDefault},
      {"right border", epgcBottomRight, true, {199, 70}, {1, 0}, crSizeWE},
      {"bottom border", epgcBottomRight, true, {100, 149}, {0, 1}, crSizeNS},
      {"outer corner", epgcBottomRight, true, {199, 149}, {1, 1}, crSizeNWSE},
      {"left border, grip on the right", epgcBottomRight, true, {0, 70}, {0, 0}, crDefault},
      {"top border, grip at the bottom", epgcBottomRight, true, {100, 0}, {0, 0}, crDefault},
      {"outside", epgcBottomRight, true, {250, 70}, {0, 0}, crDefault},
      {"not sizeable", epgcBottomRight, false, {190, 140}, {0, 0}, crDefault},
      {"grip top-right", epgcTopRight, true, {190, 8}, {1, -1}, crSizeNESW},
      {"left border, grip top-left", epgcTopLeft, true, {0, 70}, {-1, 0}, crSizeWE},
      {"right border, grip top-left", epgcTopLeft, true, {199, 70}, {0, 0}, crDefault},
  };
  for (const THit& h : hits) {
    SCOPED_TRACE(h.Name);
    TLayoutCase c{"", epbsSingle, false, false, true, true, h.Sizeable, h.Corner, {}, {}, {}};
    const TcxEditPopupSizingDirection d = MakeViewInfo(c)->GetSizingDirection(h.P);
    EXPECT_EQ(d.H, h.Expected.H);
    EXPECT_EQ(d.V, h.Expected.V);
    EXPECT_EQ(EditPopupSizingCursor(d), h.Cursor);
  }
}

TEST(cxEditPopupWindowViewInfo, FrameLinesByStyle) {
  // The lines of the left frame side at mid-height, outside in.
  struct TFrameCase {
    const char* Name;
    bool PopupEditLook;
    TcxEditPopupBorderStyle Style;
    bool ClientEdge;
    std::vector<TColor> Lines;
  };
  const TFrameCase cases[] = {
      {"single", false, epbsSingle, false, {clBtnText}},
      {"flat", false, epbsFlat, false, {cl3DLight, clBtnHighlight}},
      {"3-D", false, epbsFrame3D, false, {cl3DLight, clBtnHighlight, clBtnFace, clBtnShadow}},
      {"3-D with client edge", false, epbsFrame3D, true,
       {cl3DLight, clBtnHighlight, clInactiveBorder, clBtnFace, clBtnShadow, cl3DDkShadow}},
      {"popup editor's 3-D", true, epbsFrame3D, false, {cl3DLight, clBtnHighlight, clInactiveBorder, clBtnFace}},
  };
  for (const TFrameCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TcxCustomEditPopupWindowViewInfo> vi;
    if (c.PopupEditLook)
      vi = std::make_unique<TcxPopupEditPopupWindowViewInfo>();
    else
      vi = std::make_unique<TcxCustomEditPopupWindowViewInfo>();
    vi->PopupBorderStyle = c.Style;
    vi->ClientEdge = c.ClientEdge;
    vi->Bounds = {0, 0, 60, 40};
    vi->Calculate();
    TBitmap picture(60, 40, pf24bit);
    TcxCanvas canvas(picture.Canvas());
    vi->Render(&canvas);
    for (size_t i = 0; i < c.Lines.size(); ++i)
      EXPECT_EQ(picture.PixelColor(Integer(i), 20), Rgb(c.Lines[i])) << "line " << i;
    EXPECT_EQ(picture.PixelColor(Integer(c.Lines.size()), 20), Rgb(clBtnFace)) << "the client area";
  }
}

TEST(cxEditPopupWindowViewInfo, GripCornerFacesAwayFromTheOwner) {
  const TRect work{0, 0, 1000, 700};
  const TRect owner{300, 300, 450, 321};
  struct TCornerCase {
    const char* Name;
    TRect Popup;
    TcxPopupAlignHorz Align;
    TcxEditPopupGripCorner Expected;
  };
  const TCornerCase cases[] = {
      {"below, left-aligned", Bounds(300, 321, 200, 100), pahLeft, epgcBottomRight},
      {"above, left-aligned", Bounds(300, 200, 200, 100), pahLeft, epgcTopRight},
      {"below, left-aligned but pushed left by the work area", Bounds(250, 321, 200, 100), pahLeft,
       epgcBottomLeft},
      {"below, right-aligned", Bounds(250, 321, 200, 100), pahRight, epgcBottomLeft},
      {"above, right-aligned but pushed right", Bounds(320, 200, 200, 100), pahRight, epgcTopRight},
      {"below, centred, more room on the right", Bounds(275, 321, 200, 100), pahCenter, epgcBottomRight},
  };
  for (const TCornerCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(EditPopupGripCornerFor(owner, c.Popup, c.Align, work), c.Expected);
  }
  // Centred with less room on the right; an owner left of the work area.
  EXPECT_EQ(EditPopupGripCornerFor({700, 300, 850, 321}, Bounds(675, 321, 200, 100), pahCenter, work),
            epgcBottomLeft);
  EXPECT_EQ(EditPopupGripCornerFor({-20, 300, 130, 321}, Bounds(0, 200, 200, 100), pahRight, {0, 0, 1000, 700}),
            epgcTopRight);
}

// ---------------------------------------------------------------------------
// The window with a small owner editor

class TTestOwner : public IcxEditPopupWindowOwner {
public:
  TcxCustomEditPopupWindow* Popup = nullptr;
  Integer CloseCount = 0;
  bool LastAccept = true;
  Integer ResizedCount = 0;
  TRect LastClientRect{};
  void ClosePopup(bool AAccept) override {
    ++CloseCount;
    LastAccept = AAccept;
    Popup->ClosePopup();
  }
  void PopupResizedByUser() override { ++ResizedCount; }
  void PopupClientRectChanged(const TRect& AClientRect) override { LastClientRect = AClientRect; }
  // As an editor listing rows: the client height in whole rows; or refusing.
  Integer RowHeight = 0;
  bool RefuseSize = false;
  TSize Content{0, 0};
  bool AdjustPopupClientSize(TSize& AClientSize, Integer) override {
    if (RefuseSize) return false;
    if (RowHeight > 0) AClientSize.cy -= AClientSize.cy % RowHeight;
    return true;
  }
  TSize PopupContentSize() override { return Content; }
};

struct TPopupFixture : TTestForm {
  TPopupFixture() : TTestForm(400, 300, {200, 150}) {
    Edit = Place<TCustomControl>(40, 20, 150, 21);
    ShowForm();
    Popup = new TcxCustomEditPopupWindow(Edit, &Owner);
    Owner.Popup = Popup;
    Popup->SetOwnLoop(false);
    Popup->SetOwnerParent(Edit);
    Popup->SetOwnerBounds(Edit->ClientRect());
    Popup->OnCloseQuery = TCloseQueryEvent(this, &TPopupFixture::CloseQuery);
    Popup->SetPopupBorderStyle(epbsSingle);
    Popup->SetClientEdge(true);
    Popup->SetSysPanelStyle(true);
    Popup->SetSizeable(true);
  }
  ~TPopupFixture() {
    ReleaseCapture();
    Popup->Free();
    FreeForm();
  }
  // Shows the popup at ABounds (screen).
  void Open(const TRect& ABounds) {
    Popup->SetBoundsRect(ABounds);
    Popup->Popup(nullptr);
    Popup->SetBoundsRect(ABounds);
    Application->ProcessMessages();
  }
  void CloseQuery(TObject*, bool& CanClose) { CanClose = !RefuseClose; }
  TPoint GripCentre() const {
    const TRect g = Popup->GetViewInfo()->SizeGripRect;
    return {(g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2};
  }
  TRect OwnerScreen() const {
    const TPoint p = Edit->ClientToScreen(TPoint{0, 0});
    return Bounds(p.X, p.Y, Edit->Width(), Edit->Height());
  }

  TTestOwner Owner;
  TCustomControl* Edit;

  TcxCustomEditPopupWindow* Popup;
  bool RefuseClose = false;
};

TEST(cxCustomEditPopupWindow, DraggingTheGripResizesLiveKeepingTheOwnerSideAndTheMinimum) {
  TPopupFixture f;
  const TRect owner = f.OwnerScreen();
  const TRect start = Bounds(owner.Left, owner.Bottom, 200, 150);
  f.Open(start);
  ASSERT_TRUE(f.Popup->IsShown());
  ASSERT_EQ(f.Popup->BoundsRect(), start);
  const TPoint grip = f.GripCentre();
  HWND wnd = f.Popup->Handle();

  // The size follows each move at once; the top-left corner (next to the
  // owner) stays.
  TestMousePress(wnd, grip);
  EXPECT_TRUE(f.Popup->IsSizing());
  EXPECT_EQ(f.Popup->Cursor(), crSizeNWSE);
  TestMouseMove(wnd, TPoint{grip.X + 40, grip.Y + 30});
  EXPECT_EQ(f.Popup->BoundsRect(), Bounds(start.Left, start.Top, 240, 180));
  EXPECT_GT(f.Owner.ResizedCount, 0);
  // The window moved under the mouse: coordinates follow its new place.
  TestMouseRelease(wnd, TPoint{grip.X + 40, grip.Y + 30});
  Application->ProcessMessages();
  EXPECT_FALSE(f.Popup->IsSizing());
  EXPECT_EQ(f.Popup->BoundsRect(), Bounds(start.Left, start.Top, 240, 180));
  // The editor hears of the new client rectangle.
  EXPECT_EQ(f.Owner.LastClientRect, (TRect{3, 3, 237, 158}));

  // Remembered as the requested size, the next layout gives the same size.
  f.Popup->SetPopupWidth(f.Popup->Width());
  f.Popup->SetPopupHeight(f.Popup->Height());
  EXPECT_EQ(f.Popup->CalculateSize(owner.Width()), (TSize{240, 180}));

  // Shrinking far past the minimum stops at it: frame + close button + grip
  // + spacing wide, and at the minimum height property.
  f.Popup->SetMinHeight(60);
  const TPoint grip2 = f.GripCentre();
  TestMousePress(wnd, grip2);
  TestMouseMove(wnd, TPoint{grip2.X - 500, grip2.Y - 500});
  TestMouseRelease(wnd, TPoint{grip2.X - 500, grip2.Y - 500});
  Application->ProcessMessages();
  EXPECT_EQ(f.Popup->BoundsRect(), Bounds(start.Left, start.Top, 46, 60));
}

TEST(cxCustomEditPopupWindow, SizeFromTheSettings) {
  // Single frame with client edge and a sizeable panel: extents 6 wide and
  // 25 high, minimum 46 x 25.
  struct TSizeCase {
    const char* Name;
    bool AutoSize;
    TSize Content;
    Integer Width, Height, MinWidth, MinHeight;
    TSize Expected;
  };
  const TSizeCase cases[] = {
      {"auto size: frame + content", true, {100, 50}, 0, 0, 0, 0, {106, 75}},
      {"auto size, raised to the minimum properties", true, {100, 50}, 0, 0, 150, 90, {150, 90}},
      {"owner's width, minimal height", false, {}, 0, 0, 0, 0, {150, 25}},
      {"requested size", false, {}, 220, 130, 0, 0, {220, 130}},
      {"requested size below the minimum properties", false, {}, 120, 40, 160, 60, {160, 60}},
      {"tiny request: the minimum size", false, {}, 10, 10, 0, 0, {46, 25}},
  };
  for (const TSizeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPopupFixture f;
    f.Owner.Content = c.Content;
    f.Popup->SetPopupAutoSize(c.AutoSize);
    f.Popup->SetPopupWidth(c.Width);
    f.Popup->SetPopupHeight(c.Height);
    f.Popup->SetMinWidth(c.MinWidth);
    f.Popup->SetMinHeight(c.MinHeight);
    f.Popup->GetViewInfo()->SizeGripCorner = epgcTopLeft;
    EXPECT_EQ(f.Popup->CalculateSize(f.Edit->Width()), c.Expected);
    EXPECT_EQ(f.Popup->GetViewInfo()->SizeGripCorner, epgcBottomRight);
  }
}

TEST(cxCustomEditPopupWindow, TheEditorMayAdjustOrRefuseANewSize) {
  TPopupFixture f;
  const TRect owner = f.OwnerScreen();
  const TRect start = Bounds(owner.Left, owner.Bottom, 200, 150);
  f.Open(start);
  HWND wnd = f.Popup->Handle();
  f.Owner.RefuseSize = true;
  TPoint grip = f.GripCentre();
  TestMousePress(wnd, grip);
  TestMouseMove(wnd, TPoint{grip.X + 30, grip.Y + 30});
  TestMouseRelease(wnd, TPoint{grip.X + 30, grip.Y + 30});
  EXPECT_EQ(f.Popup->BoundsRect(), start);
  EXPECT_EQ(f.Owner.ResizedCount, 0);

  // Rows of 16: a client 125 + 30 high becomes 144 (9 rows).
  f.Owner.RefuseSize = false;
  f.Owner.RowHeight = 16;
  grip = f.GripCentre();
  TestMousePress(wnd, grip);
  TestMouseMove(wnd, TPoint{grip.X + 30, grip.Y + 30});
  TestMouseRelease(wnd, TPoint{grip.X + 30, grip.Y + 30});
  EXPECT_EQ(f.Popup->Width(), 230);
  EXPECT_EQ(f.Popup->Height(), 144 + 25);
}

TEST(cxCustomEditPopupWindow, SizingKeepsContactWithTheOwnerAndStaysInTheWorkArea) {
  TPopupFixture f;
  const TRect owner = f.OwnerScreen();
  // The popup juts out 100 pixels left of the owner; its grip is at the
  // bottom right.
  const TRect start = Bounds(owner.Left - 100, owner.Bottom, 200, 150);
  f.Open(start);
  ASSERT_EQ(f.Popup->BoundsRect(), start);
  HWND wnd = f.Popup->Handle();
  TPoint grip = f.GripCentre();
  TestMousePress(wnd, grip);
  TestMouseMove(wnd, TPoint{grip.X - 170, grip.Y});
  // 30 wide would leave the owner; it keeps one pixel over it.
  EXPECT_EQ(f.Popup->Left(), start.Left);
  EXPECT_EQ(f.Popup->BoundsRect().Right, owner.Left + 1);
  TestMouseRelease(wnd, TPoint{grip.X - 170, grip.Y});
  Application->ProcessMessages();

  // Far right and down: clipped to the work area around the owner.
  const TRect work = MonitorWorkAreaAt(TPoint{owner.Left, owner.Top});
  grip = f.GripCentre();
  TestMousePress(wnd, grip);
  TestMouseMove(wnd, TPoint{grip.X + 5000, grip.Y + 5000});
  TestMouseRelease(wnd, TPoint{grip.X + 5000, grip.Y + 5000});
  Application->ProcessMessages();
  EXPECT_EQ(f.Popup->Left(), start.Left);
  EXPECT_EQ(f.Popup->Top(), start.Top);
  EXPECT_EQ(f.Popup->BoundsRect().Right, work.Right);
  EXPECT_EQ(f.Popup->BoundsRect().Bottom, work.Bottom);
}

TEST(cxCustomEditPopupWindow, CloseButtonTracksTheMouseAndClosesWithoutAccepting) {
  TPopupFixture f;
  const TRect owner = f.OwnerScreen();
  f.Open(Bounds(owner.Left, owner.Bottom, 200, 150));
  HWND wnd = f.Popup->Handle();
  TcxCustomEditPopupWindowViewInfo* vi = f.Popup->GetViewInfo();
  const TRect b = vi->CloseButtonRect;
  const TPoint on{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  const TPoint off{100, 60};

  TestMouseMove(wnd, on);
  EXPECT_EQ(vi->CloseButtonState, cxbsHot);
  TestMouseMove(wnd, off);
  EXPECT_EQ(vi->CloseButtonState, cxbsNormal);

  // Pressed, dragged away and released outside: nothing closes.
  TestMousePress(wnd, on);
  EXPECT_EQ(vi->CloseButtonState, cxbsPressed);
  EXPECT_FALSE(f.Popup->IsSizing());
  TestMouseMove(wnd, off);
  EXPECT_EQ(vi->CloseButtonState, cxbsPressed);
  TestMouseRelease(wnd, off);
  EXPECT_EQ(vi->CloseButtonState, cxbsNormal);
  EXPECT_EQ(f.Owner.CloseCount, 0);

  // The close query may refuse: the popup stays, the button turns hot.
  f.RefuseClose = true;
  TestClick(wnd, on);
  EXPECT_EQ(f.Owner.CloseCount, 0);
  EXPECT_TRUE(f.Popup->IsShown());
  EXPECT_EQ(vi->CloseButtonState, cxbsHot);

  // Leaving the window resets the button.
  TestMouseLeave(wnd);
  EXPECT_EQ(vi->CloseButtonState, cxbsNormal);

  f.RefuseClose = false;
  TestClick(wnd, on);
  EXPECT_EQ(f.Owner.CloseCount, 1);
  EXPECT_FALSE(f.Owner.LastAccept);
  EXPECT_FALSE(f.Popup->IsShown());
  EXPECT_EQ(vi->CloseButtonState, cxbsNormal);
}

TEST(cxCustomEditPopupWindow, OpeningBelowOrAbovePutsTheGripAwayFromTheOwner) {
  {
    SCOPED_TRACE("below, left-aligned: grip bottom right, close button bottom left");
    TPopupFixture f;
    f.Popup->SetBounds(0, 0, 200, 150);
    f.Popup->Popup(nullptr);
    const TRect owner = f.OwnerScreen();
    ASSERT_EQ(f.Popup->Top(), owner.Bottom);
    TcxCustomEditPopupWindowViewInfo* vi = f.Popup->GetViewInfo();
    EXPECT_EQ(vi->SizeGripCorner, epgcBottomRight);
    EXPECT_EQ(vi->SizeGripRect, (TRect{183, 133, 199, 149}));
    EXPECT_EQ(vi->CloseButtonRect, (TRect{4, 133, 18, 147}));
  }
  {
    SCOPED_TRACE("above, with a shadow: grip top right, moved down by the shadow");
    TPopupFixture f;
    const TRect work = MonitorWorkAreaAt(TPoint{f.Form->Left(), f.Form->Top()});
    f.Form->SetTop(work.Bottom - 120);
    Application->ProcessMessages();
    f.Popup->SetShadow(true);
    f.Popup->SetBounds(0, 0, 200, 150);
    f.Popup->Popup(nullptr);
    const TRect owner = f.OwnerScreen();
    ASSERT_LT(f.Popup->Top(), owner.Top);
    EXPECT_EQ(f.Popup->BoundsRect().Bottom, owner.Top + cxEditPopupShadowWidth);
    TcxCustomEditPopupWindowViewInfo* vi = f.Popup->GetViewInfo();
    EXPECT_EQ(vi->SizeGripCorner, epgcTopRight);
    EXPECT_EQ(vi->SizeGripRect.Top, 1);
    EXPECT_EQ(vi->CloseButtonRect.Left, 4);
  }
}

TEST(cxCustomEditPopupWindow, ForwardedCharactersReachTheFocusedControlOnlyWhileShown) {
  TPopupFixture f;
  auto* inner = new TRecorder(f.Popup);
  inner->SetBounds(5, 5, 50, 20);
  inner->SetParent(f.Popup);
  SendMessage(f.Popup->Handle(), CXM_POPUPCHAR, 'a', 0);
  EXPECT_TRUE(inner->Only({WM_CHAR}).empty());
  f.Popup->Popup(inner);
  inner->SetFocus();
  ASSERT_EQ(GetFocus(), inner->Handle());
  SendMessage(f.Popup->Handle(), CXM_POPUPCHAR, 'a', 0);
  EXPECT_EQ(inner->Only({WM_CHAR}).size(), 1u);
}

TEST(cxCustomEditPopupWindow, PictureOfASizedPopupWithItsGripInTwoLooks) {
  struct TLook {
    const char* File;
    TcxEditPopupBorderStyle Style;
    bool ClientEdge;
    TcxEditPopupGripCorner Corner;
  };
  const TLook looks[] = {{"editpopup_frame3d.png", epbsFrame3D, true, epgcBottomRight},
                         {"editpopup_single.png", epbsSingle, false, epgcTopLeft}};
  for (const TLook& look : looks) {
    SCOPED_TRACE(look.File);
    TPopupFixture f;
    f.Popup->SetPopupBorderStyle(look.Style);
    f.Popup->SetClientEdge(look.ClientEdge);
    f.Popup->SetShadow(true);
    const TRect owner = f.OwnerScreen();
    f.Open(Bounds(owner.Left, owner.Bottom, 120, 90));
    f.Popup->GetViewInfo()->SizeGripCorner = look.Corner;
    f.Popup->RecalculateViewInfo();
    // Sized by the user: 40 wider, 20 taller (or, with the grip at the
    // top left, the same growth to the left and up).
    const Integer sign = look.Corner == epgcBottomRight ? 1 : -1;
    HWND wnd = f.Popup->Handle();
    const TPoint grip = f.GripCentre();
    TestMousePress(wnd, grip);
    TestMouseMove(wnd, TPoint{grip.X + 40 * sign, grip.Y + 20 * sign});
    TestMouseRelease(wnd, TPoint{grip.X + 40 * sign, grip.Y + 20 * sign});
    Application->ProcessMessages();
    ASSERT_EQ(f.Popup->Width(), 160);
    ASSERT_EQ(f.Popup->Height(), 110);

    TBitmap picture(160, 110, pf24bit);
    picture.Canvas()->Brush()->SetColor(clWhite);
    picture.Canvas()->FillRect(TRect{0, 0, 160, 110});
    f.Popup->PaintTo(picture.Canvas()->Handle(), 0, 0);
    SavePicture(&picture, look.File);

    TcxCustomEditPopupWindowViewInfo* vi = f.Popup->GetViewInfo();
    // The shadow: 3 pixels right and below, starting 3 in from the corner;
    // above that the background shows.
    EXPECT_EQ(picture.PixelColor(158, 50), Rgb(clBtnShadow));
    EXPECT_EQ(picture.PixelColor(80, 108), Rgb(clBtnShadow));
    EXPECT_EQ(picture.PixelColor(158, 1), Rgb(clWhite));
    EXPECT_EQ(picture.PixelColor(1, 108), Rgb(clWhite));
    // The grip's diagonal lines: highlight and shadow pixels inside it.
    bool light = false, dark = false;
    const TRect g = vi->SizeGripRect;
    ASSERT_FALSE(IsRectEmpty(g));
    for (Integer y = g.Top; y < g.Bottom; ++y)
      for (Integer x = g.Left; x < g.Right; ++x) {
        light |= picture.PixelColor(x, y) == Rgb(clBtnHighlight);
        dark |= picture.PixelColor(x, y) == Rgb(clBtnShadow);
      }
    EXPECT_TRUE(light);
    EXPECT_TRUE(dark);
    // The lines start at the grip's outer corner (mirrored for the top
    // left): next to the corner point a shadow line; the opposite corner
    // is plain face.
    const bool right = look.Corner == epgcBottomRight;
    const Integer ox = right ? g.Right - 4 : g.Left + 3, oy = right ? g.Bottom - 3 : g.Top + 2;
    const Integer ix = right ? g.Left : g.Right - 1, iy = right ? g.Top : g.Bottom - 1;
    EXPECT_EQ(picture.PixelColor(ox, oy), Rgb(clBtnShadow));
    EXPECT_EQ(picture.PixelColor(ix, iy), Rgb(clBtnFace));
  }
}

}  // namespace
