// Drag and drop of the library's controls driven offscreen: the internal
// drag-and-drop object, drag detection, middle-button panning under the
// test clock, the class-library drag object and drag images.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxControlsDragDrop.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/hooks.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "tests/foundation/control_fixture.h"

namespace {

// A control whose content is larger than its client area in the chosen
// directions, so that those scroll bars show; scrolling is written down.
class TPannable : public TcxControl {
public:
  explicit TPannable(TComponent* AOwner) : TcxControl(AOwner) {}
  Integer ContentWidth = 100, ContentHeight = 100;
  std::vector<TScrollCall> Scrolls;
  std::vector<UINT> Messages;
  std::function<void(TMessage&)> OnMessage;

  void SetContent(Integer W, Integer H) {
    ContentWidth = W;
    ContentHeight = H;
    RecalcScrollBars();
  }
  void ComputeScrollBarParams() override {
    TRect c = ContentBounds();
    SetScrollBarParams(sbHorizontal, 0, ContentWidth - 1, 0, c.Width(), 1, true, true);
    SetScrollBarParams(sbVertical, 0, ContentHeight - 1, 0, c.Height(), 1, true, true);
  }
  void ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer&) override { Scrolls.push_back({AKind, ACode}); }
  void WndProc(TMessage& M) override {
    if (M.Msg != WM_PAINT && M.Msg != WM_ERASEBKGND && M.Msg != WM_NCPAINT) Messages.push_back(M.Msg);
    if (OnMessage) OnMessage(M);
    TcxControl::WndProc(M);
  }
  bool Received(UINT Msg) const { return std::find(Messages.begin(), Messages.end(), Msg) != Messages.end(); }
};

struct TControlFixture {
  TControlFixture() {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    cxControlsInitialize();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Control = new TPannable(Form);
    Control->SetBounds(10, 10, 200, 150);
    Control->SetParent(Form);
    Form->Show();
    Handle = Control->Handle();
  }
  ~TControlFixture() { FreeDraggedForm(Form); }

  TPoint ToScreen(const TPoint& P) const { return Control->ClientToScreen(P); }
  // Puts the cursor on a client point (as the press that starts a loop would).
  void PutCursor(const TPoint& P) const {
    TPoint s = ToScreen(P);
    SetCursorPos(s.X, s.Y);
  }
  void PostMove(const TPoint& P) const { PostMessage(Handle, WM_MOUSEMOVE, 0, PointToLParam(P)); }
  TForm* Form;
  TPannable* Control;
  HWND Handle;
};

// ---- TcxDragAndDropObject ------------------------------------------------------------------

class TRecordingDragObject : public TcxDragAndDropObject {
  KORVANE_CLASS(TRecordingDragObject, TcxDragAndDropObject)
  using TcxDragAndDropObject::TcxDragAndDropObject;
  std::vector<std::string> Log;
  void DirtyChanged() override { Log.push_back(Dirty() ? "dirty" : "clean"); }
  void BeginDragAndDrop() override {
    Log.push_back("begin");
    TcxDragAndDropObject::BeginDragAndDrop();
  }
  void DragAndDrop(const TPoint& P, bool& Accepted) override {
    Accepted = P.X < 50;
    Log.push_back(Accepted ? "over-accept" : "over-refuse");
    TcxDragAndDropObject::DragAndDrop(P, Accepted);
  }
  void EndDragAndDrop(bool Accepted) override { Log.push_back(Accepted ? "end-accepted" : "end-refused"); }
};

TEST(cxDragAndDropObject, RunsBeginMovesAndEndInOrder) {
  TControlFixture f;
  auto* cls = ClassOf<TRecordingDragObject>();
  std::unique_ptr<TcxDragAndDropObject> base(cls->Create(f.Control));
  auto* obj = dynamic_cast<TRecordingDragObject*>(base.get());
  ASSERT_NE(obj, nullptr);  // the class reference builds the descendant
  EXPECT_EQ(obj->Control(), f.Control);
  EXPECT_EQ(obj->Canvas(), f.Control->cxCanvas());
  EXPECT_EQ(obj->CurMousePos(), (TPoint{-1, -1}));
  EXPECT_EQ(obj->PrevMousePos(), (TPoint{-1, -1}));
  EXPECT_FALSE(obj->StartsImmediately());

  f.PutCursor({20, 30});
  obj->DoBeginDragAndDrop();
  EXPECT_EQ(obj->CurMousePos(), (TPoint{20, 30}));
  EXPECT_EQ(obj->PrevMousePos(), (TPoint{20, 30}));

  bool accepted = false;
  obj->SetDirty(true);
  obj->DoDragAndDrop({40, 35}, accepted);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(Screen->Cursor(), crDrag);
  EXPECT_EQ(obj->PrevMousePos(), (TPoint{20, 30}));
  EXPECT_EQ(obj->CurMousePos(), (TPoint{40, 35}));
  obj->DoDragAndDrop({80, 35}, accepted);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(Screen->Cursor(), crNoDrop);
  EXPECT_EQ(obj->PrevMousePos(), (TPoint{40, 35}));

  obj->DoEndDragAndDrop(false);
  EXPECT_TRUE(obj->Dirty());
  EXPECT_EQ(obj->Log, (std::vector<std::string>{"begin", "clean", "dirty", "over-accept", "clean", "over-refuse",
                                                "dirty", "end-refused"}));
}

// ---- Drag detection ------------------------------------------------------------------------

struct TPosted {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

TEST(cxDragDetect, AnswersByWhatTheMouseAndKeysDid) {
  EnsureGuiRuntime();
  const Integer savedThreshold = Mouse->DragThreshold();
  for (Integer t : {4, 8}) {
    SCOPED_TRACE(testing::Message() << "threshold " << t);
    Mouse->SetDragThreshold(t);
    const struct {
      const char* Name;
      std::vector<TPosted> Input;  // posted to the control in order
      TcxDragDetect Expected;
    } cases[] = {
        {"release inside the threshold",
         {{WM_MOUSEMOVE, 0, PointToLParam({50 + t - 1, 50 - t})}, {WM_LBUTTONUP, 0, PointToLParam({50 + t, 50})}},
         cxddReleased},
        {"move out of the threshold", {{WM_MOUSEMOVE, 0, PointToLParam({50 + t, 50})}}, cxddDrag},
        {"move out upwards", {{WM_MOUSEMOVE, 0, PointToLParam({50, 50 - t - 1})}}, cxddDrag},
        {"right button released", {{WM_RBUTTONUP, 0, PointToLParam({50, 50})}}, cxddReleased},
        {"middle button released", {{WM_MBUTTONUP, 0, PointToLParam({50, 50})}}, cxddReleased},
        {"Esc pressed", {{WM_KEYDOWN, VK_ESCAPE, 0}}, cxddCancelled},
        {"Esc released", {{WM_KEYUP, VK_ESCAPE, 0}, {WM_MOUSEMOVE, 0, PointToLParam({90, 90})}},
         cxddCancelled},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.Name);
      TControlFixture f;
      f.PutCursor({50, 50});
      for (TPosted m : c.Input) PostMessage(f.Handle, m.Msg, m.WParam, m.LParam);
      EXPECT_EQ(DragDetectLoop(f.Handle), c.Expected);
      EXPECT_NE(GetCapture(), f.Handle);
      // The messages the loop took were dispatched too.
      EXPECT_TRUE(f.Control->Received(c.Input.front().Msg));
    }
  }
  Mouse->SetDragThreshold(savedThreshold);
}

TEST(cxDragDetect, EndsWhenTheCaptureIsLostOrTheProgramQuits) {
  {
    TControlFixture f;
    f.PutCursor({50, 50});
    f.Control->OnMessage = [](TMessage& M) {
      if (M.Msg == WM_USER + 1) ReleaseCapture();
    };
    PostMessage(f.Handle, WM_USER + 1, 0, 0);
    PostMessage(f.Handle, WM_LBUTTONUP, 0, PointToLParam({50, 50}));
    EXPECT_EQ(DragDetectLoop(f.Handle), cxddCancelled);
    EXPECT_EQ(QueuedMessageCount(), 1);  // the release was left alone
  }
  {
    TControlFixture f;
    f.PutCursor({50, 50});
    PostQuitMessage(7);
    EXPECT_EQ(DragDetectLoop(f.Handle), cxddCancelled);
    TMsg m;
    ASSERT_TRUE(PeekMessage(m, 0, WM_QUIT, WM_QUIT, PM_REMOVE));  // posted again for the outer loop
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_NE(GetCapture(), f.Handle);
  }
}

// ---- Panning -------------------------------------------------------------------------------

TEST(cxPanning, DirectionAndSpeedByTheMouseOffset) {
  const struct {
    Integer DX, DY;
    bool Horz, Vert;
    Integer Direction, Speed;
    bool Outside;
  } cases[] = {
      {0, 0, true, true, dirNone, 0, false},
      {13, -14, true, true, dirNone, 0, false},  // the zone's corner
      {0, 14, true, true, dirDown, 1, true},
      {0, -15, true, true, dirUp, 1, true},
      {0, 19, true, true, dirDown, 2, true},
      {0, 69, true, true, dirDown, 12, true},
      {0, 500, true, true, dirDown, 12, true},  // at most 12
      {30, 10, true, true, dirRight, 4, true},
      {-30, 30, true, true, dirDown, 4, true},  // a tie goes vertical
      {-40, 5, true, true, dirLeft, 6, true},
      // Only a vertical bar: the zone spans every X, moves are vertical.
      {300, 0, false, true, dirNone, 0, false},
      {300, 20, false, true, dirDown, 2, true},
      // Only a horizontal bar: the zone spans every Y, moves are horizontal.
      {0, -300, true, false, dirNone, 0, false},
      {-20, -300, true, false, dirLeft, 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.DX << "," << c.DY << " h" << c.Horz << " v" << c.Vert);
    TcxPanMotion m = cxPanMotionAt(c.DX, c.DY, c.Horz, c.Vert);
    EXPECT_EQ(m.Direction, c.Direction);
    EXPECT_EQ(m.Speed, c.Speed);
    EXPECT_EQ(m.OutsideNeutralZone, c.Outside);
  }
}

TEST(cxPanning, CursorsAndTickRates) {
  EXPECT_EQ(cxPanCursor(dirLeft, true, true), 2107);
  EXPECT_EQ(cxPanCursor(dirRight, true, true), 2105);
  EXPECT_EQ(cxPanCursor(dirUp, true, true), 2104);
  EXPECT_EQ(cxPanCursor(dirDown, false, true), 2106);
  EXPECT_EQ(cxPanCursor(dirNone, true, true), 2101);
  EXPECT_EQ(cxPanCursor(dirNone, true, false), 2102);
  EXPECT_EQ(cxPanCursor(dirNone, false, true), 2103);
  auto scrollingTicks = [](Integer Speed) {
    std::vector<Integer> r;
    for (Integer tick = 1; tick <= 24; ++tick)
      if (cxPanTickScrolls(tick, Speed)) r.push_back(tick);
    return r;
  };
  EXPECT_EQ(scrollingTicks(12).size(), 24u);
  EXPECT_EQ(scrollingTicks(1), (std::vector<Integer>{12, 24}));
  EXPECT_EQ(scrollingTicks(7), (std::vector<Integer>{6, 12, 18, 24}));
  EXPECT_TRUE(scrollingTicks(0).empty());
}

TEST(cxPanning, PanMarkShowsTheDirectionsThatScroll) {
  const TColor key = clFuchsia;
  auto vertical = cxCreatePanMark(cxpmVertical, key);
  auto full = cxCreatePanMark(cxpmFull, key);
  const Integer c = cxPanMarkSize / 2;
  EXPECT_EQ(vertical->Width(), cxPanMarkSize);
  EXPECT_EQ(vertical->PixelColor(0, 0), ColorToRGB(key) & 0xFFFFFF);  // outside the circle
  EXPECT_EQ(vertical->PixelColor(c, c), ColorToRGB(clWindowText) & 0xFFFFFF);
  EXPECT_EQ(vertical->PixelColor(c, 5), ColorToRGB(clWindowText) & 0xFFFFFF);  // up arrow
  EXPECT_NE(vertical->PixelColor(5, c), ColorToRGB(clWindowText) & 0xFFFFFF);  // no left arrow
  EXPECT_EQ(full->PixelColor(5, c), ColorToRGB(clWindowText) & 0xFFFFFF);
}

// Drives a panning session: a get-message hook advances the test clock by
// one timer interval whenever the loop takes the marker message (so each
// marker yields one timer tick), runs Script with the marker's number, then
// posts the next marker while Remaining allows.
struct TPanDriver {
  static constexpr UINT Marker = WM_USER + 77;
  static TPanDriver*& Current() {
    static TPanDriver* d = nullptr;
    return d;
  }
  TTestClock Clock;
  HHOOK Hook = 0;
  Integer Markers = 0;
  Integer Remaining = 0;
  std::function<void(Integer)> Script;

  TPanDriver() {
    Current() = this;
    Hook = SetWindowsHookEx(WH_GETMESSAGE, &Proc);
  }
  ~TPanDriver() {
    UnhookWindowsHookEx(Hook);
    Current() = nullptr;
  }
  static LRESULT Proc(Integer Code, WPARAM WParam, LPARAM LParam) {
    auto* msg = reinterpret_cast<TMsg*>(LParam);
    TPanDriver* d = Current();
    if (d && msg->message == Marker && msg->hwnd == 0) {
      d->Clock.Advance(cxPanTimerInterval);
      ++d->Markers;
      if (d->Script) d->Script(d->Markers);
      if (d->Remaining > 0) {
        --d->Remaining;
        PostThreadMessage(Marker, 0, 0);
      }
    }
    return CallNextHookEx(d ? d->Hook : 0, Code, WParam, LParam);
  }
};

TEST(cxPanning, ScrollsAtTheSpeedOfTheMouseAndEndsOnRelease) {
  TControlFixture f;
  f.Control->SetContent(1000, 1000);
  ASSERT_TRUE(f.Control->IsVScrollBarVisible() && f.Control->IsHScrollBarVisible());
  const Integer timersBefore = ActiveTimerCount();
  TPanDriver d;
  f.PutCursor({100, 70});
  std::vector<TCursor> cursors;
  d.Script = [&](Integer N) {
    cursors.push_back(Screen->Cursor());
    if (N == 1) {
      // A middle release without having moved keeps panning on.
      PostMessage(f.Handle, WM_MBUTTONUP, 0, PointToLParam({100, 70}));
      f.PostMove({100, 70 + 69});  // down at speed 12: every tick
      d.Remaining = 4;
    } else if (N == 5) {
      f.PostMove({100 - 20, 70});  // left at speed 2: every 11th tick
      d.Remaining = 11;
    } else if (N == 16) {
      PostMessage(f.Handle, WM_MBUTTONUP, 0, PointToLParam({80, 70}));
    }
  };
  PostThreadMessage(TPanDriver::Marker, 0, 0);
  EXPECT_TRUE(cxPanContent(f.Control));
  EXPECT_EQ(d.Markers, 16);
  // The cursor shows the direction: none with both bars, then down, then left.
  EXPECT_EQ(cursors[0], crcxFullScroll);
  EXPECT_EQ(cursors[1], crcxDownScroll);
  EXPECT_EQ(cursors[5], crcxLeftScroll);
  EXPECT_EQ(Screen->Cursor(), crDefault);  // given back at the end
  // Tick 1 came before the move; ticks 2 to 5 scroll down; of ticks 6 to 16
  // only the 11th scrolls left.
  const TScrollCall down{sbVertical, scLineDown}, left{sbHorizontal, scLineUp};
  EXPECT_EQ(f.Control->Scrolls, (std::vector<TScrollCall>{down, down, down, down, left}));
  EXPECT_NE(GetCapture(), f.Handle);
  EXPECT_EQ(ActiveTimerCount(), timersBefore);
  EXPECT_EQ(std::count(f.Control->Messages.begin(), f.Control->Messages.end(), WM_MBUTTONUP), 1);
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(cxPanning, EndsOnAClickEscOrQuit) {
  const struct {
    const char* Name;
    UINT Msg;
    WPARAM WParam;
    bool Dispatched;
  } cases[] = {
      {"left press", WM_LBUTTONDOWN, 0, false},
      {"middle press", WM_MBUTTONDOWN, 0, false},
      {"wheel", WM_MOUSEWHEEL, 0, false},
      {"Esc", WM_KEYDOWN, VK_ESCAPE, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TControlFixture f;
    TTestClock clock;
    f.Control->SetContent(100, 1000);  // only the vertical bar
    ASSERT_FALSE(f.Control->IsHScrollBarVisible());
    f.PutCursor({100, 70});
    f.PostMove({300, 70});  // far to the right: still neutral without a horizontal bar
    PostMessage(f.Handle, c.Msg, c.WParam, PointToLParam({300, 70}));
    PostMessage(f.Handle, WM_USER + 5, 0, 0);
    EXPECT_TRUE(cxPanContent(f.Control));
    EXPECT_EQ(f.Control->Received(c.Msg), c.Dispatched);
    EXPECT_FALSE(f.Control->Received(WM_MOUSEMOVE));
    EXPECT_EQ(QueuedMessageCount(), 1);  // the loop stopped right there
    EXPECT_TRUE(f.Control->Scrolls.empty());
  }
  TControlFixture f;
  TTestClock clock;
  f.Control->SetContent(1000, 100);
  f.PutCursor({100, 70});
  PostQuitMessage(3);
  EXPECT_TRUE(cxPanContent(f.Control));
  TMsg m;
  ASSERT_TRUE(PeekMessage(m, 0, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_NE(GetCapture(), f.Handle);
}

TEST(cxPanning, DoesNothingWithoutScrollBars) {
  TControlFixture f;
  f.Control->SetContent(10, 10);
  PostMessage(f.Handle, WM_USER + 5, 0, 0);
  EXPECT_FALSE(cxPanContent(f.Control));
  EXPECT_EQ(QueuedMessageCount(), 1);
}

// ---- Class-library drag and drop -----------------------------------------------------------

Integer GDragObjectsAlive = 0;

class TCountedDragObject : public TcxDragControlObject {
public:
  explicit TCountedDragObject(TControl* AControl) : TcxDragControlObject(AControl) { ++GDragObjectsAlive; }
  ~TCountedDragObject() override { --GDragObjectsAlive; }
};

// A source that supplies the library's drag object (with images when
// given) and a target that accepts drops on its left half.
class TSource : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  TcxDragImageList* Images = nullptr;
  Integer EndDrags = 0;

protected:
  void DoStartDrag(TDragObject*& DragObject) override {
    auto* obj = new TCountedDragObject(this);
    obj->SetDragImages(Images);
    DragObject = obj;
  }
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override {
    ++EndDrags;
    TCustomControl::DoEndDrag(Target, X, Y);
  }
};

struct TDragFixture {
  TDragFixture() {
    EnsureGuiRuntime();
    cxControlsInitialize();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Source = new TSource(Form);
    Source->SetBounds(10, 10, 100, 100);
    Source->SetParent(Form);
    Target = new TCustomControl(Form);
    Target->SetBounds(200, 10, 100, 100);
    Target->SetParent(Form);
    Target->OnDragOver = TDragOverEvent(this, [](TObject*, TObject*, Integer X, Integer, TDragState, bool& Accept) {
      Accept = X < 50;
    });
    Target->OnDragDrop = TDragDropEvent(this, [this](TObject*, TObject* Src, Integer X, Integer Y) {
      DropSource = Src;
      Drop = TPoint{X, Y};
    });
    Form->Show();
  }
  ~TDragFixture() {
    CancelDrag();
    ReleaseCapture();
    Form->Free();
    Application->ProcessMessages();
  }
  void MoveOverTarget(const TPoint& P, Cardinal Modifiers = 0) {
    TestMouseMove(Source->Handle(), Source->ScreenToClient(Target->ClientToScreen(P)), Modifiers);
  }
  HCURSOR CursorNow() const { return GetCursor(); }
  TForm* Form;
  TSource* Source;
  TCustomControl* Target;
  TObject* DropSource = nullptr;
  TPoint Drop{-1, -1};
};

TEST(cxDragControlObject, CursorFollowsAcceptanceAndCtrl) {
  TDragFixture f;
  {
    TcxDragControlObjectClass cls = ClassOf<TcxDragControlObject>();
    std::unique_ptr<TcxDragControlObject> made(cls->Create(f.Source));
    EXPECT_EQ(made->Control(), f.Source);
    EXPECT_TRUE(made->FreesItself());
  }
  f.Source->BeginDrag(true);
  ASSERT_EQ(GDragObjectsAlive, 1);
  f.MoveOverTarget({20, 20});
  EXPECT_EQ(f.CursorNow(), Screen->Cursors(crDrag));
  f.MoveOverTarget({80, 20});
  EXPECT_EQ(f.CursorNow(), Screen->Cursors(crNoDrop));
  f.MoveOverTarget({30, 20}, tkCtrl);
  EXPECT_EQ(f.CursorNow(), Screen->Cursors(crcxDragCopy));
  f.MoveOverTarget({81, 20}, tkCtrl);
  EXPECT_EQ(f.CursorNow(), Screen->Cursors(crNoDrop));  // refused: no copy cursor
}

TEST(cxDragControlObject, DropsOrCancelsAndFreesItself) {
  {
    TDragFixture f;
    f.Source->BeginDrag(true);
    f.MoveOverTarget({30, 40});
    TestMouseRelease(f.Source->Handle(), f.Source->ScreenToClient(f.Target->ClientToScreen({30, 40})));
    EXPECT_EQ(f.DropSource, f.Source);
    EXPECT_EQ(f.Drop, (TPoint{30, 40}));
    EXPECT_EQ(f.Source->EndDrags, 1);
    EXPECT_EQ(GDragObjectsAlive, 0);
  }
  {
    TDragFixture f;  // released over a refusing place: no drop
    f.Source->BeginDrag(true);
    f.MoveOverTarget({70, 40});
    TestMouseRelease(f.Source->Handle(), f.Source->ScreenToClient(f.Target->ClientToScreen({70, 40})));
    EXPECT_EQ(f.DropSource, nullptr);
    EXPECT_EQ(GDragObjectsAlive, 0);
  }
  {
    TDragFixture f;  // Esc cancels
    f.Source->SetFocus();
    f.Source->BeginDrag(true);
    f.MoveOverTarget({30, 40});
    TestKey(VK_ESCAPE);
    EXPECT_EQ(CurrentDragObject(), nullptr);
    EXPECT_EQ(f.DropSource, nullptr);
    EXPECT_EQ(f.Source->EndDrags, 1);
    EXPECT_EQ(GDragObjectsAlive, 0);
  }
}

// ---- Drag images ---------------------------------------------------------------------------

TEST(cxDragImageList, BuildsOneMaskedImageOfTheDragImageSize) {
  EnsureGuiRuntime();
  TcxDragImageList list(nullptr);
  EXPECT_FALSE(cxBuildDragImages(&list, TSize{0, 0}, nullptr));
  EXPECT_EQ(list.Count(), 0);
  auto draw = [](TcxCanvas* C, const TRect& R) {
    C->Canvas()->Brush()->SetColor(clFuchsia);
    C->Canvas()->FillRect(R);
    C->Canvas()->Brush()->SetColor(clRed);
    C->Canvas()->FillRect(TRect{2, 2, 10, 8});
  };
  ASSERT_TRUE(cxBuildDragImages(&list, TSize{12, 10}, draw));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Width(), 12);
  EXPECT_EQ(list.Height(), 10);
  // Built again: still one image.
  ASSERT_TRUE(cxBuildDragImages(&list, TSize{12, 10}, draw));
  EXPECT_EQ(list.Count(), 1);

  EXPECT_FALSE(list.SetDragImage(1, 0, 0));
  ASSERT_TRUE(list.SetDragImage(0, 3, 4));
  ASSERT_TRUE(list.BeginDrag({100, 100}));
  const TOverlayWindow* w = list.DragWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->Visible());
  EXPECT_EQ(w->BoundsRect(), (TRect{97, 96, 109, 106}));
  EXPECT_EQ(w->PixelAt(5, 5) & 0xFF000000u, 0xFF000000u);  // the picture
  EXPECT_EQ(w->PixelAt(0, 0) & 0xFF000000u, 0u);           // its transparent colour
  list.DragMove({200, 150});
  EXPECT_EQ(w->BoundsRect(), (TRect{197, 146, 209, 156}));
  list.HideDragImage();
  EXPECT_FALSE(w->Visible());
  list.ShowDragImage();
  EXPECT_TRUE(w->Visible());
  EXPECT_TRUE(list.EndDrag());
  EXPECT_EQ(list.DragWindow(), nullptr);
  EXPECT_FALSE(list.EndDrag());
}

TEST(cxDragControlObject, DragImageFollowsTheMouseAndEndsWithTheDrag) {
  TDragFixture f;
  TcxDragImageList list(nullptr);
  cxBuildDragImages(&list, TSize{8, 8}, [](TcxCanvas* C, const TRect& R) {
    C->Canvas()->Brush()->SetColor(clBlue);
    C->Canvas()->FillRect(R);
  });
  list.SetDragImage(0, 2, 2);
  f.Source->Images = &list;
  f.Source->BeginDrag(true);
  f.MoveOverTarget({30, 40});
  ASSERT_TRUE(list.Dragging());
  TPoint s = f.Target->ClientToScreen({30, 40});
  EXPECT_EQ(list.DragWindow()->BoundsRect(), (TRect{s.X - 2, s.Y - 2, s.X + 6, s.Y + 6}));
  CurrentDragObject()->HideDragImage();
  EXPECT_FALSE(list.DragWindow()->Visible());
  CurrentDragObject()->ShowDragImage();
  EXPECT_TRUE(list.DragWindow()->Visible());
  CancelDrag();
  EXPECT_FALSE(list.Dragging());
  EXPECT_EQ(GDragObjectsAlive, 0);
}

}  // namespace
