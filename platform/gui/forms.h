#pragma once
// Forms (top-level windows built in code) and the screen.
//
// A form is a normal window, a modal one (ShowModal runs a nested loop
// until ModalResult is set), a tool window, or a borderless stay-on-top
// popup that does not take activation (PopupMode pmNoActivate). The screen
// keeps the forms, the active form and control, and the cursors by number.
#include <map>
#include <vector>

#include "platform/gui/controls.h"

enum TFormStyle : Integer { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition : Integer { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                           poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
using TFormState = Cardinal;
enum : Cardinal { fsCreating = 0x1, fsVisible = 0x2, fsShowing = 0x4, fsModal = 0x8,
                             fsCreatedMDIChild = 0x10, fsActivated = 0x20 };
enum TCloseAction : Integer { caNone, caHide, caFree, caMinimize };
enum TWindowState : Integer { wsNormal, wsMinimized, wsMaximized };
enum TDefaultMonitor : Integer { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
// The buttons of a form's title bar (a set of bits).
using TBorderIcons = Cardinal;
enum : Cardinal { biSystemMenu = 0x1, biMinimize = 0x2, biMaximize = 0x4, biHelp = 0x8 };

using TModalResult = Integer;
enum : TModalResult {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
  mrAll = 8, mrNoToAll = 9, mrYesToAll = 10,
};

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TEvent<void(TMessage& Msg, bool& Handled)>;

class TMainMenu;

class TCustomForm : public TWinControl {
  KORVANE_CLASS(TCustomForm, TWinControl)
  // A form without a form resource (everything is built in code).
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  void BeforeDestruction() override;

  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // The title bar's buttons: the close button with biSystemMenu, minimise
  // and maximise with their bits and biSystemMenu. A dialog border
  // (bsDialog) and the tool-window borders have the close button only;
  // bsNone has no title bar.
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
  void SetDefaultMonitor(TDefaultMonitor Value) { FDefaultMonitor = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  // A stay-on-top popup that never becomes the active window.
  bool NoActivate() const { return FNoActivate; }
  void SetNoActivate(bool Value);
  TFormState FormState() const { return FFormState; }

  // The control that has (or gets, when the form is activated) the focus.
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  // Gives the focus to Control when the form is active, else makes it the
  // active control for later.
  void FocusControl(TWinControl* Control);
  // Told by a control that receives the focus; runs the exit and enter events.
  virtual bool SetFocusedControl(TWinControl* Control);
  // Forgets a control that leaves the form.
  void DefocusControl(TWinControl* Control, bool Removing);
  bool Active() const { return FActive; }

  void Show();
  void Hide();
  // Shows the form modally and runs the loop until ModalResult is not 0;
  // answers it. Raises EInvalidOperation "Cannot make a visible window
  // modal" for a visible form.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  // Asks OnCloseQuery, then closes by OnClose's action (hide by default;
  // a modal form sets ModalResult to mrCancel when it is 0).
  void Close();
  // The active control first (CM_CLOSEQUERY, non-zero: stay open), then
  // OnCloseQuery.
  virtual bool CloseQuery();
  // Frees the form once the messages now queued have been handled.
  void Release();

  // ---- Multiple-document frame and children ----
  // A frame (fsMDIForm) shows its children (fsMDIChild) inside a client
  // window that fills its client area; a child fills that window (it is
  // always shown maximised). While a child shows, the frame's title bar
  // reads "<frame caption> - [<child caption>]" (Caption keeps the frame's
  // own text), a close button at the right end of the frame's menu bar
  // closes the child, and Ctrl+F4 in the child does the same. A child
  // needs the application's main form to be a frame, else creating its
  // window raises EInvalidOperation "Cannot create form. No MDI forms are
  // currently active".
  HWND ClientHandle() const { return FClientHandle; }
  Integer MDIChildCount() const;
  TCustomForm* MDIChildren(Integer Index) const;
  TCustomForm* ActiveMDIChild() const;
  void Next();      // activates the next child
  void Previous();  // activates the previous child

  bool SetFocusedControlAllowed() const { return true; }
  void SetFocus() override;
  bool CanFocus() const override { return Visible() && Enabled(); }
  // A key the form takes as a shortcut: OnShortCut, then the menu bar's
  // items, then the popup menus of the focused control and its parents on
  // the form. CN_KEYDOWN asks it.
  virtual bool IsShortCut(TMessage& Message);
  // The menu shown as a bar along the top of the client area (nullptr: none).
  TMainMenu* Menu() const;
  void SetMenu(TMainMenu* Value);

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  void CMVisibleChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  virtual void WMActivate(TMessage& Message);
  virtual void WMClose(TMessage& Message);
  virtual void CMActivate(TMessage& Message);
  virtual void CMDeactivate(TMessage& Message);
  virtual void CMRelease(TMessage& Message);
  void PlaceOnScreen();
  void DestroyWnd() override;
  void WMSize(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

private:
  // The frame's title and the child close button follow the active child.
  void UpdateMDIChrome();
  TCustomForm* MDIFrame() const;
  void CreateClientWindow();
  void PlaceMDIChild();
  void ClientWndProc(TMessage& Message);
  std::vector<TCustomForm*> MDIChildList() const;

  TFormStyle FFormStyle = fsNormal;
  TBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition FPosition = poDesigned;
  TDefaultMonitor FDefaultMonitor = dmActiveForm;
  TWindowState FWindowState = wsNormal;
  bool FKeyPreview = false;
  bool FNoActivate = false;
  TFormState FFormState = 0;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  TModalResult FModalResult = mrNone;
  bool FPlaced = false;
  HWND FClientHandle = 0;
  TCustomForm* FActiveMDIChild = nullptr;
  TCustomControl* FMenuBar = nullptr;  // owned as a component, made on first SetMenu
  TControl* FMDICloseButton = nullptr;  // on the menu bar, owned by it; made with the first child
};

class TForm : public TCustomForm {
  KORVANE_CLASS(TForm, TCustomForm)
  using TCustomForm::TCustomForm;
};

// The form a control lies on (nullptr: none).
TCustomForm* GetParentForm(const TControl* Control, bool TopForm = true);
// The frame's close button for its maximised child (nullptr: none shows);
// it lies at the right end of the frame's menu bar.
TControl* MDIChildCloseButton(TCustomForm* Frame);
// Raises EInvalidOperation with the text of a failed focus.
[[noreturn]] void RaiseCannotFocus();

// ---- TScreen -----------------------------------------------------------------------------

class TScreen : public TComponent {
  KORVANE_CLASS(TScreen, TComponent)
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Cursors by number: the standard ones (crArrow ...) and any the program
  // adds. An unknown number answers the default cursor.
  HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, HCURSOR Handle);
  // A cursor that overrides every control's (crDefault: none).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);

  TWinControl* ActiveControl() const { return FActiveControl; }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  Integer FormCount() const { return static_cast<Integer>(FForms.size()); }
  TCustomForm* Forms(Integer Index) const { return FForms.at(static_cast<size_t>(Index)); }
  Integer CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(Integer Index) const { return Forms(Index); }

  Integer Width() const;
  Integer Height() const;
  Integer PixelsPerInch() const { return 96; }
  TRect WorkAreaRect() const;
  // The work area of the monitor nearest the point.
  TRect MonitorWorkAreaAt(const TPoint& Point) const;
  Integer DesktopWidth() const { return Width(); }
  Integer DesktopHeight() const { return Height(); }

  TFont* MenuFont() const { return FMenuFont.get(); }
  TFont* HintFont() const { return FHintFont.get(); }
  TFont* IconFont() const { return FIconFont.get(); }

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

  // Kept by the forms.
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void SetActiveForm(TCustomForm* Form);
  void SetActiveControl(TWinControl* Control);
  // Brings a form to the front of the list (most recently active first).
  void MoveFormToFront(TCustomForm* Form);

private:
  std::map<TCursor, HCURSOR> FCursors;
  TCursor FCursor = crDefault;
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  std::unique_ptr<TFont> FMenuFont;
  std::unique_ptr<TFont> FHintFont;
  std::unique_ptr<TFont> FIconFont;
};

extern TScreen* Screen;
