#pragma once
// The application object: the message loop, the exception handler at the
// catch boundary, the main form and the program's identity.
#include <functional>
#include <memory>

#include "platform/gui/forms.h"
#include "platform/rtl/exceptions.h"

using TExceptionEvent = TEvent<void(TObject* Sender, Exception* E)>;
using TMessageEvent = TEvent<void(TMsg& Msg, bool& Handled)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;

class THintHandler;

class TApplication : public TComponent {
  KORVANE_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Starts the window system (once). From then on a change of the system's
  // regional settings reported by the window system reaches every top-level
  // window as WM_SETTINGCHANGE with the section "intl" (LParam: the
  // zero-ended UTF-16 name).
  void Initialize();
  // Shows the main form and runs the loop until Terminate (or the main form
  // closes).
  void Run();
  // Ends the loop: a quit message is queued.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Clears Terminated (tests that run several loops).
  void ResetTerminated() { FTerminated = false; }
  // Handles every queued message (and pending window-system events), then returns.
  void ProcessMessages();
  // Handles one message, waiting for one when none is queued; runs OnIdle
  // when the queue ran empty.
  void HandleMessage();
  // Runs the loop until Condition holds or the program terminates; a quit
  // met on the way is queued again for the outer loop. Answers whether
  // Condition held.
  bool RunLoopUntil(const std::function<bool()>& Condition);
  // A nested loop that holds its caller until Done holds (an open popup
  // menu's): handles messages; when they have run out, runs OnIdle, then
  // the next step of scripted test input (testinput.h), then waits. Answers
  // whether Done held: false when the program terminates (a quit met on the
  // way is queued again for the outer loop) or when no input can ever come
  // (testinput.h tells when); the caller then ends what it showed.
  bool RunModalLoop(const std::function<bool()>& Done);

  // The catch boundary's handler: OnException when assigned, else
  // ShowException; EAbort is silent. Call it inside a catch block.
  void HandleException(TObject* Sender);
  // Shows the error text in a message box (through the dialog service).
  void ShowException(Exception* E);
  // Inside a catch block: shows the caught error in a message box whatever
  // OnException does, for an error the user must read to mend what they
  // did (a refused value) and that a logging hook would otherwise keep from
  // them; EAbort is silent. OnException is not called.
  void ShowCaughtException();
  TExceptionEvent OnException;
  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // Creates a form owned by the application; the first becomes MainForm.
  template <class T>
  T* CreateForm() {
    T* Form = new T(this);
    if (!FMainForm) FMainForm = Form;
    return Form;
  }
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }

  String Title() const { return FTitle; }
  void SetTitle(const String& Value);
  // The program file and its folder (with a trailing separator).
  String ExeName() const;
  String ExeFolder() const;
  bool Active() const;

  // Hints (hints.h tells when they show; the pauses are milliseconds).
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  Integer HintPause() const { return FHintPause; }
  void SetHintPause(Integer Value) { FHintPause = Value; }
  Integer HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(Integer Value) { FHintShortPause = Value; }
  Integer HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(Integer Value) { FHintHidePause = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  // Hides the hint shown and forgets its control.
  void CancelHint();
  // Every control's mouse messages pass here (TControl::WndProc).
  void HintMouseMessage(TControl* Control, const TMessage& Message);
  // The hint handling (made on first use).
  THintHandler* Hints();

  // Message boxes through the dialog service; answers the button pressed (ID*).
  Integer MessageBox(const String& Text, const String& Caption, Cardinal Flags = 0);
  // Ends a modal loop on WM_QUIT: the quit code seen last.
  Integer ExitCode() const { return FExitCode; }

  // Used by the loop: a quit message ends Run.
  void NoteQuit(Integer Code);

private:
  void Idle();

  bool FTerminated = false;
  bool FInitialized = false;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  String FTitle;
  TColor FHintColor = clInfoBk;
  Integer FHintPause = 500;
  Integer FHintShortPause = 50;
  Integer FHintHidePause = 2500;
  bool FShowHint = true;
  Integer FExitCode = 0;
  bool FHandlingException = false;
  std::unique_ptr<THintHandler> FHints;
};

extern TApplication* Application;
