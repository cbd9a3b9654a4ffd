#pragma once
// Shared by the tests of the base control and of its drag and drop: the
// scroll calls a control writes down, and the end of a form whose test ran
// the control's mouse loops.
#include "foundation/cxControls.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/windowing.h"

struct TScrollCall {
  TScrollBarKind Kind;
  TScrollCode Code;
  friend bool operator==(const TScrollCall&, const TScrollCall&) = default;
};

// Frees AForm after a test that drove mouse loops: lets go of the mouse, puts
// the cursor back, and drops without handling them the messages left queued.
inline void FreeDraggedForm(TForm* AForm) {
  ReleaseCapture();
  if (Screen) Screen->SetCursor(crDefault);
  AForm->Free();
  TMsg m;
  while (PeekMessage(m, 0, 0, 0, PM_REMOVE)) {
  }
  Application->ResetTerminated();
}
