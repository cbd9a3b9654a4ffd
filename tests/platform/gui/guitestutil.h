#pragma once
// Shared pieces of the window and drawing tests: a form with controls that
// record the messages they receive, and enlarged pictures saved as files.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/rtl/encoding.h"

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
struct TFormFixture {
  TFormFixture() {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 300, 200);
    First = new TRecorder(Form);
    First->SetBounds(10, 10, 100, 80);
    First->SetParent(Form);
    Second = new TRecorder(Form);
    Second->SetBounds(150, 10, 100, 80);
    Second->SetParent(Form);
    Form->Show();
  }
  ~TFormFixture() {
    ReleaseCapture();
    Form->Free();
    Application->ProcessMessages();
    Application->ResetTerminated();
  }
  TForm* Form;
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
