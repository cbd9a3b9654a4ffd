#include "app/kind.h"

#include <gtest/gtest.h>

#include "platform/gui/testinput.h"
#include "tests/app/apptestutil.h"

namespace {

using namespace app_test;

TEST(RecordKind, TheLastChoiceBeforeOkDecides) {
  EnsureGuiRuntime();
  enum TStep { Core, NotCore, Ok, Cancel };
  struct {
    const char* Name;
    std::vector<TStep> Steps;
    TModalResult Result;
    bool IsCore;
  } cases[] = {
      {"default", {Ok}, mrOk, false},
      {"core", {Core, Ok}, mrOk, true},
      {"core then full", {Core, NotCore, Ok}, mrOk, false},
      {"cancel", {Core, Cancel}, mrCancel, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* dialog = new Tfrm_kind(nullptr);
    EXPECT_TRUE(dialog->rb_notCore->Checked());
    TModalResult result = RunModal(dialog, [&] {
      for (TStep step : c.Steps) {
        TWinControl* target = step == Core      ? static_cast<TWinControl*>(dialog->rb_core)
                              : step == NotCore ? static_cast<TWinControl*>(dialog->rb_notCore)
                              : step == Ok      ? static_cast<TWinControl*>(dialog->btn_ok)
                                                : static_cast<TWinControl*>(dialog->btn_cancel);
        TestClick(target->Handle(), TPoint{6, target->Height() / 2});
        Application->ProcessMessages();
      }
    });
    EXPECT_EQ(result, c.Result);
    if (result == mrOk) {
      EXPECT_EQ(dialog->IsCore(), c.IsCore);
      EXPECT_EQ(dialog->rb_core->Checked(), c.IsCore);
    }
    dialog->Free();
  }
}

TEST(RecordKind, PictureShowsBothChoicesAndButtons) {
  EnsureGuiRuntime();
  auto* dialog = new Tfrm_kind(nullptr);
  EXPECT_EQ(dialog->ClientWidth(), 293);
  EXPECT_EQ(dialog->ClientHeight(), 190);
  dialog->Show();
  Application->ProcessMessages();
  auto picture = Picture(dialog, "record_kind");
  for (TControl* c : std::initializer_list<TControl*>{dialog->rb_notCore, dialog->rb_core, dialog->btn_ok,
                                                       dialog->btn_cancel}) {
    // The Chinese caption drew to the right of the mark or inside the button.
    TRect r = c->BoundsRect();
    r.Left += 18;
    EXPECT_GT(CountNot(*picture, r, clBtnFace), 30) << U8(c->Name());
  }
  dialog->Hide();
  dialog->Free();
}

}  // namespace
