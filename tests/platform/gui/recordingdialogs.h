#pragma once
// A dialog service for tests: it writes down the text of every message box
// and answers it with OK; file dialogs are cancelled.
#include <functional>
#include <vector>

#include "platform/gui/dialogs.h"

class TRecordingDialogs : public TDialogService {
public:
  std::vector<String> Texts;
  std::function<void()> OnShown;  // runs as each box shows
  Integer MessageBox(HWND, const String& Text, const String&, Cardinal) override {
    Texts.push_back(Text);
    if (OnShown) OnShown();
    return IDOK;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest&) override { return {}; }
};
