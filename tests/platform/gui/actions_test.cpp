// Actions and the controls linked to them.
#include "platform/gui/actions.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/gui/stdctrls.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

// Counts OnExecute of an action and remembers who ran it.
struct TExecuteCounter {
  Integer Count = 0;
  TComponent* By = nullptr;
  explicit TExecuteCounter(TBasicAction& AAction) {
    AAction.OnExecute = TNotifyEvent(this, [this, &AAction](TObject*) {
      ++Count;
      By = AAction.ActionComponent();
    });
  }
};

class Actions : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiRuntime(); }
};

}  // namespace

// Linking takes every property of the action; later changes reach each
// linked control; a click runs the action for the control.
TEST_F(Actions, LinkedControlsFollowTheActionAndRunIt) {
  TAction action(nullptr);
  action.SetCaption(u"Save");
  action.SetHint(u"Saves the record");
  action.SetEnabled(false);
  TExecuteCounter runs(action);
  TButton first(nullptr), second(nullptr);
  first.SetCaption(u"old");
  first.SetAction(&action);
  second.SetAction(&action);
  EXPECT_EQ(first.Action(), &action);
  EXPECT_EQ(action.ClientCount(), 2);
  for (TButton* button : {&first, &second}) {
    EXPECT_EQ(button->Caption(), u"Save");
    EXPECT_EQ(button->Hint(), u"Saves the record");
    EXPECT_FALSE(button->Enabled());
  }

  action.SetCaption(u"Save as");
  action.SetEnabled(true);
  action.SetVisible(false);
  for (TButton* button : {&first, &second}) {
    EXPECT_EQ(button->Caption(), u"Save as");
    EXPECT_TRUE(button->Enabled());
    EXPECT_FALSE(button->Visible());
  }

  second.Click();
  EXPECT_EQ(runs.Count, 1);
  EXPECT_EQ(runs.By, &second);

  // A click handler of the control's own runs instead of the action.
  Integer ownClicks = 0;
  first.OnClick = TNotifyEvent(&ownClicks, [&ownClicks](TObject*) { ++ownClicks; });
  first.Click();
  EXPECT_EQ(ownClicks, 1);
  EXPECT_EQ(runs.Count, 1);

  // Unlinked: the action no longer reaches the control.
  second.SetAction(nullptr);
  EXPECT_EQ(action.ClientCount(), 1);
  action.SetCaption(u"Export");
  EXPECT_EQ(second.Caption(), u"Save as");
  EXPECT_EQ(first.Caption(), u"Export");
}

// With CheckDefaults (an action still loading) only the properties the
// control has at their defaults are taken.
TEST_F(Actions, LoadingActionFillsOnlyDefaults) {
  TAction action(nullptr);
  action.SetCaption(u"Print");
  action.SetHint(u"Prints");
  action.SetEnabled(false);
  TButton named(nullptr), blank(nullptr);
  named.SetCaption(u"Mine");
  named.SetHint(u"my hint");
  action.SetLoading(true);
  named.SetAction(&action);
  blank.SetAction(&action);
  action.SetLoading(false);
  EXPECT_EQ(named.Caption(), u"Mine");
  EXPECT_EQ(named.Hint(), u"my hint");
  EXPECT_FALSE(named.Enabled());
  EXPECT_EQ(blank.Caption(), u"Print");
}

// Either side may go first, owned by one form or not: the survivor keeps
// working and holds nothing of the other.
TEST_F(Actions, FreeingEitherSideFirstIsSafe) {
  for (bool shareOwner : {false, true}) {
    SCOPED_TRACE(shareOwner ? "one owner" : "no owner");
    std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(nullptr);
    TComponent* o = shareOwner ? owner.get() : nullptr;

    // The action first.
    auto* action = new TAction(o);
    auto* button = new TButton(o);
    button->SetAction(action);
    action->Free();
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(button->ActionLink(), nullptr);
    button->Click();  // nothing to run
    button->SetCaption(u"still here");
    button->Free();

    // The control first.
    action = new TAction(o);
    auto* gone = new TButton(o);
    auto* kept = new TButton(o);
    gone->SetAction(action);
    kept->SetAction(action);
    gone->Free();
    EXPECT_EQ(action->ClientCount(), 1);
    action->SetCaption(u"after");
    EXPECT_EQ(kept->Caption(), u"after");
    action->Free();
    kept->Free();
  }
}

// A handler that frees the control it was run by ends cleanly.
TEST_F(Actions, HandlerMayFreeItsControl) {
  TAction action(nullptr);
  auto* button = new TButton(nullptr);
  action.OnExecute = TNotifyEvent(&action, [&button](TObject*) {
    button->Free();
    button = nullptr;
  });
  button->SetAction(&action);
  button->Click();
  EXPECT_EQ(button, nullptr);
  EXPECT_EQ(action.ClientCount(), 0);
  EXPECT_EQ(action.ActionComponent(), nullptr);
}
