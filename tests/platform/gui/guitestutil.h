#pragma once
// Shared pieces of the window and drawing tests: a shown form that the
// control tests place their controls on, input that is handled before the
// call returns, a form with controls that record the messages they receive,
// and enlarged pictures saved as files.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"

// A form at AOrigin for a control test, with this program active. The
// controls a test places on it are freed with it; freeing lets go of the
// mouse first, so that a test that fails while dragging leaves nothing
// captured for the next one. A fixture derived from it whose own members the
// controls use (data sets, image lists, services) calls FreeForm in its
// destructor: the base class would free the form only after those members.
struct TTestForm {
  explicit TTestForm(Integer AWidth, Integer AHeight, TPoint AOrigin = {100, 100}) : TTestForm() {
    MakeForm({AOrigin.X, AOrigin.Y, AOrigin.X + AWidth, AOrigin.Y + AHeight});
  }
  // No form yet: the fixture makes it (again, after freeing it) with MakeForm.
  TTestForm() {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    TestSetApplicationActive(true);
  }
  void MakeForm(const TRect& ABounds) {
    Form = new TForm(nullptr);
    Form->SetBoundsRect(ABounds);
  }

  ~TTestForm() { FreeForm(); }
  void FreeForm() {
    if (!Form) return;
    ReleaseCapture();
    Form->Free();
    Form = nullptr;
    Application->ProcessMessages();
  }
  TTestForm(const TTestForm&) = delete;
  TTestForm& operator=(const TTestForm&) = delete;

  // A new T owned by the form (further arguments go to its constructor after
  // the owner), at (X, Y) in the form and AWidth x AHeight large.
  template <class T, class... TArgs>
  T* Place(Integer X, Integer Y, Integer AWidth, Integer AHeight, TArgs&&... AArgs) {
    T* control = new T(Form, std::forward<TArgs>(AArgs)...);
    control->SetBounds(X, Y, AWidth, AHeight);
    control->SetParent(Form);
    return control;
  }
  // Shows the form and then focuses AFocused (when given), each step handled.
  void ShowForm(TWinControl* AFocused = nullptr) {
    Form->Show();
    Application->ProcessMessages();
    if (AFocused) Focus(AFocused);
  }
  void Focus(TWinControl* AControl) {
    AControl->SetFocus();
    Application->ProcessMessages();
  }
  // A key pressed and released in the focused window.
  void Key(Word AKey, Cardinal AModifiers = 0) {
    TestKey(AKey, u"", AModifiers);
    Application->ProcessMessages();
  }
  void Type(const String& AText) {
    TestTypeText(AText);
    Application->ProcessMessages();
  }
  // Text committed by the input method, as Chinese text arrives.
  void Commit(const String& AText) {
    TestInputMethodCommit(AText);
    Application->ProcessMessages();
  }
  void ClickOn(TWinControl* AControl, const TPoint& P) {
    TestClick(AControl->Handle(), P);
    Application->ProcessMessages();
  }

  TForm* Form = nullptr;
};

// A custom control that writes down every message of the kinds a test
// watches (mouse moves and painting left out unless asked).
class TRecorder : public TCustomControl {
public:
  explicit TRecorder(TComponent* AOwner) : TCustomControl(AOwner) {}
  std::vector<UINT> Log;
  bool RecordMoves = false;
  std::function<void(TMessage&)> OnMessage;
  LRESULT DlgCode = 0;  // the answer to WM_GETDLGCODE when not 0

  void WndProc(TMessage& M) override {
    if (Watched(M.Msg)) Log.push_back(M.Msg);
    if (OnMessage) OnMessage(M);
    if (M.Msg == WM_GETDLGCODE && DlgCode) {
      M.Result = DlgCode;
      return;
    }
    TCustomControl::WndProc(M);
  }
  // Only the messages of these numbers, in order.
  std::vector<UINT> Only(std::initializer_list<UINT> Numbers) const {
    std::vector<UINT> r;
    for (UINT m : Log)
      if (std::find(Numbers.begin(), Numbers.end(), m) != Numbers.end()) r.push_back(m);
    return r;
  }

private:
  bool Watched(UINT M) const {
    if (M == WM_MOUSEMOVE) return RecordMoves;
    return (M >= WM_LBUTTONDOWN && M <= WM_MOUSEWHEEL) || (M >= WM_KEYDOWN && M <= WM_SYSCHAR) ||
           M == WM_SETFOCUS || M == WM_KILLFOCUS || M == WM_CAPTURECHANGED || M == WM_CONTEXTMENU ||
           M == WM_IME_STARTCOMPOSITION || M == WM_TIMER || M == WM_CANCELMODE || M == CM_ENTER || M == CM_EXIT ||
           (M >= WM_USER && M < 0xB000);
  }
};

// A shown form with two recorders side by side.
struct TFormFixture : TTestForm {
  TFormFixture() : TTestForm(300, 200) {
    First = Place<TRecorder>(10, 10, 100, 80);
    Second = Place<TRecorder>(150, 10, 100, 80);
    Form->Show();
  }
  ~TFormFixture() {
    FreeForm();
    Application->ResetTerminated();
  }
  TRecorder* First;

  TRecorder* Second;
};

// Saves the picture AScale times enlarged as pictures/AFileName in the build
// folder, for looking at.
inline void SavePicture(TBitmap* ABitmap, const std::string& AFileName, Integer AScale = 4) {
  std::filesystem::path dir = std::filesystem::path(KORVANE_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  TBitmap big(ABitmap->Width() * AScale, ABitmap->Height() * AScale, pf24bit);
  big.Canvas()->StretchDraw({0, 0, big.Width(), big.Height()}, ABitmap);
  big.SaveToFile(UTF8ToString((dir / AFileName).string()));
}
