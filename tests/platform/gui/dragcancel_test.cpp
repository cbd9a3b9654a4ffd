// A control that refuses a drag of the class library while it is being
// started: the drag ends cleanly and nothing of it is used afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gui/application.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

Integer GObjectsAlive = 0;

class TCountedObject : public TDragControlObject {
public:
  explicit TCountedObject(TControl* AControl) : TDragControlObject(AControl) { ++GObjectsAlive; }
  ~TCountedObject() override { --GObjectsAlive; }
};

// Starts drags; StartDrag decides what its start does.
class TStarter : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  std::function<void(TDragObject*&)> StartDrag;
  Integer EndDrags = 0;

protected:
  void DoStartDrag(TDragObject*& DragObject) override {
    if (StartDrag) StartDrag(DragObject);
  }
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override {
    ++EndDrags;
    TCustomControl::DoEndDrag(Target, X, Y);
  }
};

struct TStarterFixture : TTestForm {
  TStarterFixture() : TTestForm(300, 200) {
    Control = Place<TStarter>(10, 10, 100, 100);
    Form->Show();
  }
  ~TStarterFixture() { CancelDrag(); }
  TStarter* Control;

};

TEST(DragStart, CancelWhileStartingEndsTheDragCleanly) {
  const struct {
    const char* Name;
    bool GivesObject;
    bool Immediate;
  } cases[] = {
      {"no object, started at once", false, true},
      {"no object, started by a move", false, false},
      {"own object, started at once", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TStarterFixture f;
    TCountedObject* given = nullptr;
    f.Control->StartDrag = [&](TDragObject*& DragObject) {
      if (c.GivesObject) DragObject = given = new TCountedObject(f.Control);
      CancelDrag();
    };
    f.Control->BeginDrag(c.Immediate, 0);
    if (!c.Immediate) TestMouseMove(f.Control->Handle(), {40, 40});
    EXPECT_EQ(CurrentDragObject(), nullptr);
    EXPECT_FALSE(f.Control->Dragging());
    EXPECT_FALSE(f.Control->MouseCapture());
    // A control's own object ends like any finished drag: it is told (and
    // the control hears the end); the control still owns it.
    EXPECT_EQ(f.Control->EndDrags, c.GivesObject ? 1 : 0);
    delete given;
    EXPECT_EQ(GObjectsAlive, 0);
    // A later drag starts normally.
    f.Control->StartDrag = nullptr;
    f.Control->BeginDrag(true);
    EXPECT_NE(CurrentDragObject(), nullptr);
    EXPECT_TRUE(f.Control->Dragging());
    CancelDrag();
    EXPECT_EQ(CurrentDragObject(), nullptr);
  }
}

TEST(DragStart, FailingStartEndsTheDrag) {
  TStarterFixture f;
  f.Control->StartDrag = [](TDragObject*&) { throw Exception(u"cannot drag this"); };
  EXPECT_THROW(f.Control->BeginDrag(true), Exception);
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_FALSE(f.Control->Dragging());
  EXPECT_FALSE(f.Control->MouseCapture());
  f.Control->StartDrag = nullptr;
  f.Control->BeginDrag(true);
  EXPECT_TRUE(f.Control->Dragging());
}

}  // namespace
