// Painting into back buffers, the non-client frame, graphic children.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

// Fills its client area with its colour and draws a black square at (2, 2).
class TPainted : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  Integer Paints = 0;
  bool Framed = false;

protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FillRect(TRect{2, 2, 6, 6});
  }
  void CreateParams(TCreateParams& P) override {
    TCustomControl::CreateParams(P);
    if (Framed) P.ExStyle |= WS_EX_CLIENTEDGE;
  }
  // A two-pixel red frame of its own, asked through the non-client messages.
  void Dispatch(TMessage& M) override {
    if (M.Msg == WM_NCCALCSIZE && Framed) {
      TWMNCCalcSize(M).CalcSize_Params()->Rgrc[0].Left += 2;
      auto& r = TWMNCCalcSize(M).CalcSize_Params()->Rgrc[0];
      r.Top += 2, r.Right -= 2, r.Bottom -= 2;
      return;
    }
    if (M.Msg == WM_NCPAINT && Framed) {
      HDC dc = reinterpret_cast<HDC>(M.WParam);
      HBRUSH b = CreateSolidBrush(clRed);
      TRect w{0, 0, Width(), Height()};
      FrameRect(dc, w, b);
      InflateRect(w, -1, -1);
      FrameRect(dc, w, b);
      DeleteObject(b);
      return;
    }
    TCustomControl::Dispatch(M);
  }
};

class TSquare : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(ClientRect());
  }
};

TEST(Painting, CustomControlPaintsIntoItsBufferOnUpdate) {
  TFormFixture f;
  auto* p = new TPainted(f.Form);
  p->SetColor(clYellow);
  p->SetBounds(10, 100, 40, 30);
  p->SetParent(f.Form);
  p->Update();
  TBitmap* buf = GetWindowBuffer(p->Handle());
  ASSERT_NE(buf, nullptr);
  EXPECT_EQ(buf->PixelColor(0, 0), clYellow);
  EXPECT_EQ(buf->PixelColor(3, 3), clBlack);
  Integer before = p->Paints;
  p->Update();  // nothing invalid: no painting
  EXPECT_EQ(p->Paints, before);
  p->SetColor(clLime);  // invalidates
  p->Update();
  EXPECT_EQ(buf->PixelColor(0, 0), clLime);
  EXPECT_EQ(p->Paints, before + 1);
}

TEST(Painting, NonClientAreaShrinksClientAndPaintsFrame) {
  TFormFixture f;
  auto* p = new TPainted(f.Form);
  p->Framed = true;
  p->SetColor(clWhite);
  p->SetBounds(10, 100, 40, 30);
  p->SetParent(f.Form);
  EXPECT_EQ(p->ClientRect(), (TRect{0, 0, 36, 26}));
  EXPECT_EQ(p->ClientOrigin(), p->Parent()->ClientToScreen(TPoint{12, 102}));
  p->Update();
  TBitmap* buf = GetWindowBuffer(p->Handle());
  EXPECT_EQ(buf->PixelColor(0, 0), clRed);
  EXPECT_EQ(buf->PixelColor(1, 5), clRed);
  EXPECT_EQ(buf->PixelColor(2, 2), clWhite);  // client (0, 0)
  EXPECT_EQ(buf->PixelColor(5, 5), clBlack);  // client (3, 3)
  // A press on the frame is a non-client message; in the client a client one.
  std::vector<TPoint> downs;
  p->OnMouseDown = TMouseEvent(&f, [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
    downs.push_back({x, y});
  });
  TestClick(p->Handle(), {-1, -1});
  TestClick(p->Handle(), {0, 0});
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], (TPoint{0, 0}));
  // Growing the window keeps the frame around the new client area.
  p->SetBounds(10, 100, 60, 30);
  EXPECT_EQ(p->ClientWidth(), 56);
}

TEST(Painting, DefaultClientEdgeIsDrawnByTheWindowSystem) {
  TFormFixture f;
  auto* p = new TPainted(f.Form);
  p->SetColor(clWhite);
  p->SetBounds(10, 100, 40, 30);
  p->SetParent(f.Form);
  p->HandleNeeded();
  SetWindowExStyle(p->Handle(), WS_EX_CLIENTEDGE);
  SetWindowPos(p->Handle(), 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  EXPECT_EQ(p->ClientRect(), (TRect{0, 0, 36, 26}));
  p->Update();
  TBitmap* buf = GetWindowBuffer(p->Handle());
  EXPECT_NE(buf->PixelColor(0, 0), clWhite);
  EXPECT_EQ(buf->PixelColor(2, 2), clWhite);
}

TEST(Painting, GraphicChildIsPaintedByParentAndGetsItsMouse) {
  TFormFixture f;
  auto* sq = new TSquare(f.Form);
  sq->SetBounds(20, 20, 10, 10);
  sq->SetParent(f.First);
  f.First->SetColor(clWhite);
  f.First->Update();
  TBitmap* buf = GetWindowBuffer(f.First->Handle());
  EXPECT_EQ(buf->PixelColor(25, 25), clBlue);
  EXPECT_EQ(buf->PixelColor(5, 5), clWhite);
  std::vector<TPoint> downs;
  sq->OnMouseDown = TMouseEvent(&f, [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
    downs.push_back({x, y});
  });
  Integer clicks = 0;
  sq->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  f.First->Log.clear();
  TestClick(f.First->Handle(), {22, 23});
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0], (TPoint{2, 3}));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(f.First->Only({WM_LBUTTONDOWN}).size(), 1u);  // seen by the parent on its way
  EXPECT_EQ(FindDragTarget(f.First->ClientToScreen({22, 23}), false), sq);
}

TEST(Painting, AlignPlacesChildrenAndFollowsResize) {
  TFormFixture f;
  auto* top = new TPainted(f.Form);
  top->SetHeight(20);
  top->SetAlign(alTop);
  top->SetParent(f.Form);
  auto* client = new TPainted(f.Form);
  client->SetAlign(alClient);
  client->SetParent(f.Form);
  TRect cr = f.Form->ClientRect();
  EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, cr.Right, 20}));
  EXPECT_EQ(client->BoundsRect(), (TRect{0, 20, cr.Right, cr.Bottom}));
  Integer resized = 0;
  client->OnResize = TNotifyEvent(&f, [&](TObject*) { ++resized; });
  f.Form->SetBounds(100, 100, 400, 300);
  EXPECT_EQ(client->Width(), f.Form->ClientWidth());
  EXPECT_GE(resized, 1);
}

TEST(Painting, RecreatedWindowKeepsChildrenAndFocus) {
  TFormFixture f;
  f.First->SetFocus();
  HWND old = f.Form->Handle();
  HWND oldChild = f.First->Handle();
  f.Form->SetBorderStyle(bsDialog);  // recreates the window
  EXPECT_NE(f.Form->Handle(), old);
  EXPECT_FALSE(IsWindow(oldChild));
  EXPECT_TRUE(f.First->HandleAllocated());
  EXPECT_EQ(GetParent(f.First->Handle()), f.Form->Handle());
  EXPECT_EQ(f.First->BoundsRect(), (TRect{10, 10, 110, 90}));
}

TEST(Painting, InvalidatedPartIsThePartRepainted) {
  TFormFixture f;
  HWND h = f.First->Handle();
  UpdateWindow(h);
  TRect part{5, 5, 10, 10};
  InvalidateRect(h, &part, false);
  TRect upd;
  EXPECT_TRUE(GetUpdateRect(h, upd));
  EXPECT_EQ(upd, part);
  UpdateWindow(h);
  EXPECT_FALSE(GetUpdateRect(h, upd));
}

}  // namespace
