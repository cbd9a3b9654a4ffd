// Popup windows of the container controls, the thread hooks that close them,
// and the inner list box.
#include "foundation/cxContainerPopup.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/hooks.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/sysutils.h"

// ---- Unit state ----------------------------------------------------------------------------

struct TcxPopupHooks {
  std::vector<TcxCustomPopupWindow*> Shown;  // in the order they opened
  bool Installed = false;
  bool HandlingClick = false;
  HHOOK CallWndProcHook = 0;
  HHOOK GetMessageHook = 0;
  HHOOK MouseHook = 0;

  static TcxPopupHooks& State() {
    static TcxPopupHooks* s = new TcxPopupHooks;
    return *s;
  }
  bool Contains(const TcxCustomPopupWindow* AWindow) const {
    return std::find(Shown.begin(), Shown.end(), AWindow) != Shown.end();
  }
  void Add(TcxCustomPopupWindow* AWindow) {
    if (!Contains(AWindow)) Shown.push_back(AWindow);
  }
  void Remove(const TcxCustomPopupWindow* AWindow) {
    Shown.erase(std::remove(Shown.begin(), Shown.end(), AWindow), Shown.end());
  }

  static LRESULT CallWndProc(Integer Code, WPARAM WParam, LPARAM LParam);
  static LRESULT GetMessage(Integer Code, WPARAM WParam, LPARAM LParam);
  static LRESULT Mouse(Integer Code, WPARAM WParam, LPARAM LParam);

  // Hook actions; each answers whether the message is eaten.
  static void WindowDestroyed(HWND AWnd);
  static void WindowClosed(HWND AWnd);
  static void WindowHidden(HWND AWnd);
  static void ApplicationDeactivated();
  static void WindowMoved(HWND AWnd);
  static bool KeepsCaptionActive(HWND AWnd);
  static bool HandleClick(HWND ATarget, UINT AMsg, const TPoint& AScreenPos);
};

namespace {

bool IsAlive(const TcxCustomPopupWindow* AWindow) { return TcxPopupHooks::State().Contains(AWindow); }

TCustomForm* OwnerForm(const TcxCustomPopupWindow* AWindow) {
  return AWindow->OwnerControl() ? GetParentForm(AWindow->OwnerControl()) : nullptr;
}

bool ControlDestroying(const TControl* AControl) {
  return !AControl || (AControl->ComponentState() & csDestroying) != 0;
}

// The window is the control's window or lies inside it.
bool WindowIn(TWinControl* AControl, HWND AWnd) {
  if (!AControl || !AControl->HandleAllocated() || !AWnd) return false;
  HWND h = AControl->Handle();
  return h == AWnd || IsChild(h, AWnd);
}

std::vector<TcxCustomPopupWindow*> ShownCopy() { return TcxPopupHooks::State().Shown; }

}  // namespace

// ---- Hooks ---------------------------------------------------------------------------------

LRESULT TcxPopupHooks::CallWndProc(Integer Code, WPARAM WParam, LPARAM LParam) {
  TcxPopupHooks& s = State();
  if (Code == HC_ACTION && !s.Shown.empty()) {
    auto* cwp = reinterpret_cast<TCWPStruct*>(LParam);
    switch (cwp->message) {
      case WM_DESTROY: WindowDestroyed(cwp->hwnd); break;
      case WM_CLOSE: WindowClosed(cwp->hwnd); break;
      case WM_SHOWWINDOW:
        if (cwp->wParam == 0) WindowHidden(cwp->hwnd);
        break;
      case WM_ACTIVATEAPP:
        if (cwp->wParam == 0) ApplicationDeactivated();
        break;
      case WM_WINDOWPOSCHANGED: WindowMoved(cwp->hwnd); break;
      case WM_NCACTIVATE:
        if (cwp->wParam == 0 && KeepsCaptionActive(cwp->hwnd)) return 1;
        break;
      default: break;
    }
  }
  return CallNextHookEx(s.CallWndProcHook, Code, WParam, LParam);
}

LRESULT TcxPopupHooks::GetMessage(Integer Code, WPARAM WParam, LPARAM LParam) {
  TcxPopupHooks& s = State();
  if (Code == HC_ACTION && (WParam & PM_REMOVE) && !s.Shown.empty()) {
    auto* msg = reinterpret_cast<TMsg*>(LParam);
    TcxCustomPopupWindow* last = s.Shown.back();
    if (msg->message == WM_SYSKEYDOWN && !(last->TakesFocus() && last->OwnLoop()) &&
        !last->LetsSystemKeyPass(static_cast<Word>(msg->wParam)))
      msg->message = WM_NULL;
  }
  return CallNextHookEx(s.GetMessageHook, Code, WParam, LParam);
}

LRESULT TcxPopupHooks::Mouse(Integer Code, WPARAM WParam, LPARAM LParam) {
  TcxPopupHooks& s = State();
  if (Code == HC_ACTION && !s.Shown.empty()) {
    switch (WParam) {
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: {
        auto* info = reinterpret_cast<TMouseHookStruct*>(LParam);
        if (!HandleClick(info->hwnd, static_cast<UINT>(WParam), info->pt)) return 1;
        break;
      }
      default: break;
    }
  }
  return CallNextHookEx(s.MouseHook, Code, WParam, LParam);
}

void TcxPopupHooks::WindowDestroyed(HWND AWnd) {
  for (TcxCustomPopupWindow* p : ShownCopy()) {
    if (!IsAlive(p) || p->FBeingDestroyed || !p->HandleAllocated() || p->Handle() != AWnd) continue;
    p->Close();
    return;
  }
}

void TcxPopupHooks::WindowClosed(HWND AWnd) {
  for (TcxCustomPopupWindow* p : ShownCopy()) {
    if (!IsAlive(p) || p->FBeingDestroyed) continue;
    if (p->HandleAllocated() && p->Handle() == AWnd) {
      p->Close();
      if (!IsAlive(p) && p->TakesFocus()) {
        TCustomForm* form = OwnerForm(p);
        if (form && form->HandleAllocated() && !ControlDestroying(p->OwnerControl()))
          SendMessage(form->Handle(), WM_CLOSE, 0, 0);
      }
      return;
    }
    if (p->TakesFocus()) continue;
    if (ControlDestroying(p->OwnerControl())) continue;
    TCustomForm* form = OwnerForm(p);
    if (!form || !form->HandleAllocated() || form->Handle() == AWnd) p->ClosePopup(false);
    return;
  }
}

void TcxPopupHooks::WindowHidden(HWND AWnd) {
  std::vector<TcxCustomPopupWindow*> shown = ShownCopy();
  for (auto i = static_cast<Integer>(shown.size()) - 1; i >= 0; --i) {
    TcxCustomPopupWindow* p = shown[static_cast<size_t>(i)];
    TWinControl* owner = p->OwnerControl();
    if (p->FBeingDestroyed || ControlDestroying(owner) || !owner->HandleAllocated()) continue;
    // The owner's window, or a window holding it (its form), was hidden.
    HWND h = owner->Handle();
    if (h != AWnd && !IsChild(AWnd, h)) continue;
    for (auto j = static_cast<Integer>(shown.size()) - 1; j >= i; --j) {
      TcxCustomPopupWindow* q = shown[static_cast<size_t>(j)];
      if (IsAlive(q)) q->ClosePopup(false);
    }
    return;
  }
}

void TcxPopupHooks::ApplicationDeactivated() {
  // The window system here keeps the active window when another program
  // takes over (no deactivation reaches the popup), so every shown popup
  // closes, the latest first; the owners' forms take their inactive look.
  std::vector<TcxCustomPopupWindow*> shown = ShownCopy();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
    TcxCustomPopupWindow* p = *it;
    if (!IsAlive(p) || p->FBeingDestroyed) continue;
    TCustomForm* form = OwnerForm(p);
    if (form && form->HandleAllocated()) PostMessage(form->Handle(), WM_NCACTIVATE, 0, 0);
    p->FClosingByMessage = true;
    p->ClosePopup(false);
    if (IsAlive(p)) continue;
    p->FClosingByMessage = false;
    if (auto* owner = dynamic_cast<TcxControl*>(p->OwnerControl()); owner && !ControlDestroying(owner))
      owner->HandleFocusChange();
  }
}

void TcxPopupHooks::WindowMoved(HWND AWnd) {
  for (bool found = true; found;) {
    found = false;
    for (TcxCustomPopupWindow* p : ShownCopy()) {
      TWinControl* owner = p->OwnerControl();
      if (!IsAlive(p) || p->FBeingDestroyed || !p->HandleAllocated()) continue;
      if (ControlDestroying(owner) || !owner->HandleAllocated() || owner->Handle() != AWnd) continue;
      if (IsWindowVisible(AWnd)) continue;
      p->ClosePopup(false);
      found = true;
      break;
    }
  }
}

bool TcxPopupHooks::KeepsCaptionActive(HWND AWnd) {
  if (State().HandlingClick) return true;
  for (TcxCustomPopupWindow* p : State().Shown) {
    TCustomForm* form = OwnerForm(p);
    if (form && form->HandleAllocated() && form->Handle() == AWnd) return true;
  }
  return false;
}

bool TcxPopupHooks::HandleClick(HWND ATarget, UINT AMsg, const TPoint& AScreenPos) {
  TcxPopupHooks& s = State();
  bool result = true;
  bool wasHandling = s.HandlingClick;
  s.HandlingClick = true;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{s.HandlingClick, wasHandling};
  for (bool again = true; again;) {
    again = false;
    for (TcxCustomPopupWindow* p : ShownCopy()) {
      if (!IsAlive(p) || p->FBeingDestroyed) continue;
      if (p->TakesFocus() && !p->Active()) continue;
      if (WindowIn(p, ATarget)) continue;
      TWinControl* owner = p->OwnerControl();
      TCustomForm* form = OwnerForm(p);
      bool inOwnerForm = form && form->HandleAllocated() &&
                         (WindowIn(form, ATarget) ||
                          (!form->Parent() && GetAncestorRoot(ATarget) == GetAncestorRoot(form->Handle())));
      auto* formPopup = dynamic_cast<TcxCustomPopupWindow*>(form);
      if (!inOwnerForm && !(formPopup && !IsPopupShown(formPopup))) {
        // The owner lies on a multiple-document child: a click in the
        // frame, its client window or another child closes the popup.
        TCustomForm* frame = form && form->FormStyle() == fsMDIChild && Application ? Application->MainForm() : nullptr;
        if (frame && frame->HandleAllocated() && (ATarget == frame->ClientHandle() || WindowIn(frame, ATarget))) {
          p->ClosePopup(false);
          again = true;
          break;
        }
        continue;
      }
      bool onOwner = false;
      if ((AMsg == WM_LBUTTONDOWN || AMsg == WM_LBUTTONDBLCLK) && WindowIn(owner, ATarget)) {
        TRect bounds = p->OwnerBounds();
        if (TControl* ref = p->OwnerParent()) {
          TPoint tl = ref->ClientToScreen(TPoint{bounds.Left, bounds.Top});
          TPoint br = ref->ClientToScreen(TPoint{bounds.Right, bounds.Bottom});
          bounds = TRect{tl.X, tl.Y, br.X, br.Y};
        }
        onOwner = PtInRect(bounds, AScreenPos);
      }
      if (onOwner) p->FClosedByOwnerClick = true;
      p->FClosingByMessage = true;
      p->ClosePopup(false);
      if (!IsAlive(p) || !p->IsShown()) p->FClosingByMessage = false;
      if (onOwner && (ControlDestroying(owner) || !owner->Visible())) result = false;
      again = true;
      break;
    }
  }
  return result;
}

void cxContainerPopupInitialize() {
  TcxPopupHooks& s = TcxPopupHooks::State();
  if (s.Installed) return;
  s.Installed = true;
  s.CallWndProcHook = SetWindowsHookEx(WH_CALLWNDPROC, &TcxPopupHooks::CallWndProc);
  s.GetMessageHook = SetWindowsHookEx(WH_GETMESSAGE, &TcxPopupHooks::GetMessage);
  s.MouseHook = SetWindowsHookEx(WH_MOUSE, &TcxPopupHooks::Mouse);
}

void cxContainerPopupFinalize() {
  TcxPopupHooks& s = TcxPopupHooks::State();
  if (!s.Installed) return;
  UnhookWindowsHookEx(s.MouseHook);
  UnhookWindowsHookEx(s.GetMessageHook);
  UnhookWindowsHookEx(s.CallWndProcHook);
  s.MouseHook = s.GetMessageHook = s.CallWndProcHook = 0;
  s.Installed = false;
  s.Shown.clear();
}

bool cxContainerPopupHooksInstalled() { return TcxPopupHooks::State().Installed; }

bool IsPopupShown(const TcxCustomPopupWindow* AWindow) { return IsAlive(AWindow); }
Integer ShownPopupCount() { return static_cast<Integer>(TcxPopupHooks::State().Shown.size()); }
TcxCustomPopupWindow* ShownPopup(Integer AIndex) { return TcxPopupHooks::State().Shown.at(static_cast<size_t>(AIndex)); }

void PostClosePopup(TcxCustomPopupWindow* AWindow) {
  if (AWindow) PostMessage(AWindow->Handle(), CXM_CLOSEPOPUP, 0, 0);
}

void PostShowPopup(TcxCustomPopupWindow* AWindow, TWinControl* AFocusedControl) {
  if (!AWindow) return;
  HWND focused = AFocusedControl ? AFocusedControl->Handle() : 0;
  PostMessage(AWindow->Handle(), CXM_SHOWPOPUP, static_cast<WPARAM>(focused), 0);
}

// ---- TcxCustomPopupWindow ------------------------------------------------------------------

TcxCustomPopupWindow::TcxCustomPopupWindow(TWinControl* AOwnerControl)
    : TcxPopupWindow(AOwnerControl), FOwnerControl(AOwnerControl) {
  cxContainerPopupInitialize();
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
  SetVisible(false);
  SetFormStyle(fsNormal);
  SetKeyPreview(true);
  FStyle.reset(StyleClass()->Create(this, false));
  FStyle->OnChanged = TNotifyEvent(this, &TcxCustomPopupWindow::StyleChanged);
  FViewInfo.reset(static_cast<TcxContainerViewInfo*>(ViewInfoClass()->Create()));
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  TcxPopupHooks::State().Remove(this);
  if (FOwnerControl) FOwnerControl->RemoveFreeNotification(this);
  if (FStyle) FStyle->OnChanged = TNotifyEvent();
}

void TcxCustomPopupWindow::BeforeDestruction() {
  FBeingDestroyed = true;
  TcxPopupHooks::State().Remove(this);
  TcxPopupWindow::BeforeDestruction();
}

void TcxCustomPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TcxPopupWindow::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FOwnerControl) {
    ClosePopup(false);
    FOwnerControl = nullptr;
  }
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
}

bool TcxCustomPopupWindow::IsShown() const { return IsAlive(this); }

bool TcxCustomPopupWindow::Focused() const {
  if (!IsShown() || !FTakesFocus || !HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == FHandle || IsChild(FHandle, focus));
}

bool TcxCustomPopupWindow::OwnerFormIsTopmost() const {
  TCustomForm* form = OwnerForm(this);
  return !form || form->FormStyle() == fsStayOnTop ||
         (form->HandleAllocated() && (GetWindowExStyle(form->Handle()) & WS_EX_TOPMOST));
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  Params.Style &= ~WS_CHILD;
  Params.Style |= WS_POPUP;
  if (FTakesFocus) {
    TCustomForm* form = OwnerForm(this);
    if (form && form->HandleAllocated()) Params.WndParent = form->Handle();
    if (FOwnerTopmost && OwnerFormIsTopmost()) Params.ExStyle |= WS_EX_TOPMOST;
    else Params.ExStyle &= ~WS_EX_TOPMOST;
  } else {
    Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  }
}

void TcxCustomPopupWindow::CreateWnd() {
  // The hooks treat the popup as shown while its window is made.
  TcxPopupHooks& s = TcxPopupHooks::State();
  bool wasShown = s.Contains(this);
  s.Add(this);
  try {
    TcxPopupWindow::CreateWnd();
  } catch (...) {
    if (!wasShown) s.Remove(this);
    throw;
  }
  if (!wasShown) s.Remove(this);
}

void TcxCustomPopupWindow::AdjustToWorkArea(TRect& ABounds) {
  if (!LimitToWorkArea()) return;
  // The start corner comes inside the work area, then the size shrinks to
  // what is left; the popup never leaves the work area (moving a shrunk
  // popup down from the top edge would push it past the bottom).
  TRect work = MonitorWorkAreaAt(TPoint{ABounds.Left, ABounds.Top});
  Integer left = std::max(ABounds.Left, work.Left);
  Integer top = std::max(ABounds.Top, work.Top);
  Integer width = std::max(0, std::min(ABounds.Right - ABounds.Left, work.Right - left));
  Integer height = std::max(0, std::min(ABounds.Bottom - ABounds.Top, work.Bottom - top));
  ABounds = TRect{left, top, left + width, top + height};
}

void TcxCustomPopupWindow::NotifyClosed() {
  if (OnAfterClose) OnAfterClose(this);
}
void TcxCustomPopupWindow::NotifyClosing() {
  if (OnBeforeClose) OnBeforeClose(this);
}
void TcxCustomPopupWindow::NotifyShown() {
  if (OnAfterShow) OnAfterShow(this);
}

bool TcxCustomPopupWindow::LetsSystemKeyPass(Word AKey) {
  return (AKey >= VK_PRIOR && AKey <= VK_DOWN) || AKey == VK_F4;
}

void TcxCustomPopupWindow::Popup(TWinControl* AFocusedControl) {
  if (IsShown()) return;
  TakeOwnerFont();
  FitToChildren();
  TPoint p;
  CalculatePosition(p);
  TRect bounds{p.X, p.Y, p.X + Width(), p.Y + Height()};
  AdjustToWorkArea(bounds);
  SetBounds(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
  TcxPopupHooks::State().Add(this);
  if (OnBeforeShow) OnBeforeShow(this);
  SetNoActivate(!FTakesFocus);
  Show();
  if (!IsShown()) return;  // closed while it was being shown
  FocusOnShow(AFocusedControl);
  PlaceOnTop();
  SetModalResult(mrNone);
  NotifyShown();
  if (FTakesFocus && FOwnLoop) RunOwnLoop();
}

void TcxCustomPopupWindow::FocusOnShow(TWinControl* AFocusedControl) {
  TWinControl* target = nullptr;
  if (FTakesFocus) {
    if (AFocusedControl && AFocusedControl->CanFocus() && AFocusedControl->TabStop()) target = AFocusedControl;
    else target = FindNextControl(nullptr, true, true, false);
  } else {
    target = AFocusedControl;
  }
  if (!target || !target->CanFocus()) target = this;
  FFocusedControl = target == this ? nullptr : target;
  if (FFocusedControl) FFocusedControl->FreeNotification(this);
  if (target->CanFocus()) target->SetFocus();
}

void TcxCustomPopupWindow::PlaceOnTop() {
  if (!HandleAllocated()) return;
  bool topmost = OwnerFormIsTopmost();
  if (!FTakesFocus && !topmost && Screen) {
    for (Integer i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f != this && f->FormStyle() == fsStayOnTop && !f->Visible()) topmost = true;
    }
  }
  SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TcxCustomPopupWindow::RunOwnLoop() {
  while (IsShown() && Visible() && Application && !Application->Terminated()) {
    TMsg msg;
    if (PeekMessage(msg, 0, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE))
      PeekMessage(msg, 0, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (ModalResult() != mrNone) {
      ClosePopup(true);
      continue;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::ClosePopup(bool AAsk) {
  if (!IsShown()) return;
  if (AAsk && !CloseQuery()) {
    SetModalResult(mrNone);
    return;
  }
  TcxPopupHooks::State().Remove(this);
  NotifyClosing();
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Hide();
  NotifyClosed();
  HWND capture = GetCapture();
  if (capture && HandleAllocated() && (capture == Handle() || IsChild(Handle(), capture))) ReleaseCapture();
}

void TcxCustomPopupWindow::ReturnFocusToOwner() {
  TWinControl* owner = FOwnerControl;
  if (!owner || ControlDestroying(owner) || owner->IsDesigning() || !owner->CanFocus()) return;
  TCustomForm* form = OwnerForm(this);
  HWND focus = GetFocus();
  bool focusOnForm = focus == 0 || (form && form->HandleAllocated() && focus == form->Handle()) ||
                     (HandleAllocated() && (focus == Handle() || IsChild(Handle(), focus)));
  if (focusOnForm) owner->SetFocus();
}

void TcxCustomPopupWindow::VisibleChanged() {
  if (Visible()) return;
  // Hidden by someone else (Close, Hide): the popup is closed all the same.
  if (IsShown()) {
    TcxPopupHooks::State().Remove(this);
    NotifyClosing();
    NotifyClosed();
  }
  ReturnFocusToOwner();
}

void TcxCustomPopupWindow::Reopen(TWinControl* AFocusedControl) {
  bool shown = IsShown();
  if (shown) ClosePopup(false);
  if (HandleAllocated()) RecreateWnd();
  if (shown) Popup(AFocusedControl);
}

void TcxCustomPopupWindow::ChangeTakesFocus(bool Value) {
  if (FTakesFocus == Value) return;
  FTakesFocus = Value;
  SetNoActivate(!Value);
  Reopen(FFocusedControl);
}

void TcxCustomPopupWindow::ChangeOwnerTopmost(bool Value) {
  if (FOwnerTopmost == Value) return;
  FOwnerTopmost = Value;
  Reopen(FFocusedControl);
}

void TcxCustomPopupWindow::CloseByMessage() {
  FClosingByMessage = true;
  struct TClear {
    TcxCustomPopupWindow* W;
    ~TClear() { W->FClosingByMessage = false; }
  } clear{this};
  ClosePopup(false);
  if (FOwnerControl && !ControlDestroying(FOwnerControl) && FOwnerControl->CanFocus()) FOwnerControl->SetFocus();
}

void TcxCustomPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CXM_CLOSEPOPUP:
      CloseByMessage();
      return;
    case CXM_SHOWPOPUP:
      // The control travels as its window: one freed while the message
      // waited is no longer found, and the popup opens as if none was given.
      Popup(TWinControl::FindControl(static_cast<HWND>(Message.WParam)));
      return;
    case WM_ERASEBKGND:
      if (!ErasesBackground()) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_ACTIVATE:
      if (TWMActivate(Message).Active() == WA_INACTIVE) FNewActiveWindow = TWMActivate(Message).ActiveWindow();
      break;
    default: break;
  }
  TcxPopupWindow::Dispatch(Message);
}

void TcxCustomPopupWindow::WMActivateApp(TMessage& Message) { Message.Result = 0; }

void TcxCustomPopupWindow::Deactivate() {
  TForm::Deactivate();
  if (FClosingByMessage) return;
  HWND active = FNewActiveWindow;
  FNewActiveWindow = 0;
  std::vector<TcxCustomPopupWindow*> shown = ShownCopy();
  for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
    TcxCustomPopupWindow* p = *it;
    if (!IsAlive(p)) continue;
    if (WindowIn(p, active)) break;
    if (p->Enabled()) p->ClosePopup(false);
  }
  if (IsShown()) ClosePopup(false);
}

void TcxCustomPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && IsShown()) {
    HWND capture = GetCapture();
    if (capture && HandleAllocated() && (capture == Handle() || IsChild(Handle(), capture))) {
      ReleaseCapture();
      Key = 0;
      return;
    }
  }
  TcxPopupWindow::KeyDown(Key, Shift);
  if (Key == VK_ESCAPE && IsShown()) {
    // Esc leaves the popup the way a cancelled dialog goes.
    SetModalResult(mrCancel);
    if (!(FTakesFocus && FOwnLoop)) ClosePopup(true);
    Key = 0;
  }
}

void TcxCustomPopupWindow::Paint() {
  TRect r = ClientRect();
  FViewInfo->Bounds = r;
  FViewInfo->BorderRect = r;
  FViewInfo->ClientRect = r;
  FViewInfo->SetBackgroundColor(FStyle->Color());
  FViewInfo->Render(cxCanvas());
}

// ---- TcxCustomInnerListBox -----------------------------------------------------------------

namespace {

// The container's protected handlers, reached through pointers to members
// (the inner control passes its input on to them).
struct TcxContainerAccess : TcxContainer {
  using TcxContainer::DoContextPopup;
  using TcxContainer::DoMouseWheel;
  using TcxContainer::DragOver;
  using TcxContainer::KeyDown;
  using TcxContainer::KeyPress;
  using TcxContainer::KeyUp;
  using TcxContainer::MouseDown;
  using TcxContainer::MouseMove;
  using TcxContainer::MouseUp;
};

Integer ClampIndex(Integer AIndex, Integer ACount) { return std::max(0, std::min(AIndex, ACount - 1)); }

}  // namespace

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
  FcxCanvas = std::make_unique<TcxCanvas>(Canvas());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(this, &TcxCustomInnerListBox::LookAndFeelChanged);
  FItems->SetDuplicates(dupAccept);
  FItems->OnChange = TNotifyEvent(this, &TcxCustomInnerListBox::ItemsChanged);
  SetControlStyle((ControlStyle() | csDoubleClicks) & ~(csOpaque | csClickEvents));
  SetParentColor(false);
  SetColor(clWindow);
  SetParentFont(true);
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
  for (TcxScrollBar** bar : {&FHScrollBar, &FVScrollBar}) {
    *bar = new TcxScrollBar(nullptr);
    (*bar)->SetKind(bar == &FHScrollBar ? sbHorizontal : sbVertical);
    (*bar)->SetSmallChange(1);
    (*bar)->SetVisible(false);
    (*bar)->SetTabStop(false);
    (*bar)->LookAndFeel()->SetMaster(FLookAndFeel.get());
    (*bar)->OnScroll = TScrollEvent(this, &TcxCustomInnerListBox::BarScroll);
    (*bar)->FreeNotification(this);
  }
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  // The bars are the list's even while a parent shows them: they go with
  // the list, so that none is left calling a freed list.
  for (TcxScrollBar** bar : {&FHScrollBar, &FVScrollBar}) {
    if (!*bar) continue;
    TcxScrollBar* b = *bar;
    *bar = nullptr;
    b->RemoveFreeNotification(this);
    b->OnScroll = TScrollEvent();
    b->Free();
  }
  FItems->OnChange = TNotifyEvent();
}

void TcxCustomInnerListBox::BeforeDestruction() {
  ++FScrollBarLock;
  TCustomControl::BeforeDestruction();
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (HandleAllocated()) Invalidate();
}

// ---- Items ----

Integer TcxCustomInnerListBox::ItemCount() const {
  return (FListStyle == lbVirtual || FListStyle == lbVirtualOwnerDraw) ? FVirtualCount : FItems->Count();
}

void TcxCustomInnerListBox::SetCount(Integer Value) {
  FVirtualCount = std::max(0, Value);
  ItemsChanged(this);
}

String TcxCustomInnerListBox::ItemText(Integer Index) const {
  if (Index < 0 || Index >= ItemCount()) return String();
  if (FListStyle == lbVirtual || FListStyle == lbVirtualOwnerDraw) {
    String data;
    if (OnData) OnData(const_cast<TcxCustomInnerListBox*>(this), Index, data);
    return data;
  }
  return FItems->Strings(Index);
}

void TcxCustomInnerListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  FSelection.assign(FSelection.size(), false);
  FItemIndex = -1;
  FItems->SetSorted(Value);
  ItemsChanged(this);
}

void TcxCustomInnerListBox::ItemsChanged(TObject*) {
  SyncSelectionSize();
  LayoutChanged();
}

void TcxCustomInnerListBox::SyncSelectionSize() {
  auto count = static_cast<size_t>(ItemCount());
  FSelection.resize(count, false);
  if (FItemIndex >= static_cast<Integer>(count)) FItemIndex = -1;
  if (FAnchor >= static_cast<Integer>(count)) FAnchor = -1;
}

void TcxCustomInnerListBox::LayoutChanged() {
  FTopIndex = std::max(0, std::min(FTopIndex, MaxTopIndex()));
  Integer maxOffset = std::max(0, FScrollWidth - (ItemsArea().Right - ItemsArea().Left));
  FHorzOffset = std::max(0, std::min(FHorzOffset, maxOffset));
  UpdateScrollBars();
  Invalidate();
}

// ---- Look ----

void TcxCustomInnerListBox::SetListStyle(TListBoxStyle Value) {
  if (FListStyle == Value) return;
  FListStyle = Value;
  ItemsChanged(this);
}

Integer TcxCustomInnerListBox::ItemHeight() const {
  if (FListStyle == lbOwnerDrawFixed || FListStyle == lbOwnerDrawVariable || FListStyle == lbVirtualOwnerDraw)
    return FItemHeight;
  return std::max(1, SharedScreenCanvas()->MeasureFontHeight(Font()));
}

void TcxCustomInnerListBox::SetItemHeight(Integer Value) {
  if (Value <= 0 || FItemHeight == Value) return;
  FItemHeight = Value;
  LayoutChanged();
}

void TcxCustomInnerListBox::MeasureItem(Integer Index, Integer& AHeight) const {
  if (OnMeasureItem) OnMeasureItem(const_cast<TcxCustomInnerListBox*>(this), Index, AHeight);
}

Integer TcxCustomInnerListBox::ItemHeightOf(Integer Index) const {
  Integer h = ItemHeight();
  if (FListStyle == lbOwnerDrawVariable && Index >= 0 && Index < ItemCount()) MeasureItem(Index, h);
  return std::max(1, h);
}

void TcxCustomInnerListBox::SetScrollWidth(Integer Value) {
  Value = std::max(0, Value);
  if (FScrollWidth == Value) return;
  FScrollWidth = Value;
  LayoutChanged();
}

// ---- Selection ----

void TcxCustomInnerListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  FSelection.assign(FSelection.size(), false);
  if (!Value && FItemIndex >= 0) FSelection[static_cast<size_t>(FItemIndex)] = true;
  Invalidate();
}

Integer TcxCustomInnerListBox::ItemIndex() const { return FItemIndex; }

void TcxCustomInnerListBox::SetItemIndex(Integer Value) {
  if (Value < -1 || Value >= ItemCount()) Value = -1;
  if (!FMultiSelect) FSelection.assign(FSelection.size(), false);
  FItemIndex = Value;
  FAnchor = Value;
  if (Value >= 0) {
    FSelection[static_cast<size_t>(Value)] = true;
    MakeVisible(Value);
  }
  UpdateScrollBars();
  Invalidate();
}

bool TcxCustomInnerListBox::Selected(Integer Index) const {
  return Index >= 0 && Index < static_cast<Integer>(FSelection.size()) && FSelection[static_cast<size_t>(Index)];
}

void TcxCustomInnerListBox::SetSelected(Integer Index, bool Value) {
  if (Index < 0 || Index >= static_cast<Integer>(FSelection.size())) return;
  if (!FMultiSelect) {
    SetItemIndex(Value ? Index : (FItemIndex == Index ? -1 : FItemIndex));
    return;
  }
  FSelection[static_cast<size_t>(Index)] = Value;
  Invalidate();
}

Integer TcxCustomInnerListBox::SelCount() const {
  return static_cast<Integer>(std::count(FSelection.begin(), FSelection.end(), true));
}

void TcxCustomInnerListBox::ClearSelection() {
  FSelection.assign(FSelection.size(), false);
  if (!FMultiSelect) FItemIndex = -1;
  Invalidate();
}

void TcxCustomInnerListBox::SelectAll() {
  if (!FMultiSelect) return;
  FSelection.assign(FSelection.size(), true);
  Invalidate();
}

void TcxCustomInnerListBox::SelectRange(Integer AFrom, Integer ATo, bool AValue) {
  if (AFrom > ATo) std::swap(AFrom, ATo);
  for (Integer i = std::max(0, AFrom); i <= ATo && i < static_cast<Integer>(FSelection.size()); ++i)
    FSelection[static_cast<size_t>(i)] = AValue;
}

void TcxCustomInnerListBox::MoveFocusTo(Integer AIndex, TShiftState AShift, bool AByMouse) {
  Integer count = ItemCount();
  if (count == 0) return;
  AIndex = ClampIndex(AIndex, count);
  std::vector<bool> before = FSelection;
  Integer oldIndex = FItemIndex;
  if (!FMultiSelect) {
    FSelection.assign(FSelection.size(), false);
    FSelection[static_cast<size_t>(AIndex)] = true;
  } else if (!FExtendedSelect) {
    if (AByMouse) FSelection[static_cast<size_t>(AIndex)] = !FSelection[static_cast<size_t>(AIndex)];
  } else if ((AShift & ssShift) && FAnchor >= 0) {
    if (!(AShift & ssCtrl)) FSelection.assign(FSelection.size(), false);
    SelectRange(FAnchor, AIndex, true);
  } else if (AShift & ssCtrl) {
    if (AByMouse) FSelection[static_cast<size_t>(AIndex)] = !FSelection[static_cast<size_t>(AIndex)];
    FAnchor = AIndex;
  } else {
    FSelection.assign(FSelection.size(), false);
    FSelection[static_cast<size_t>(AIndex)] = true;
    FAnchor = AIndex;
  }
  if (!FMultiSelect || !(AShift & ssShift) || FAnchor < 0) FAnchor = (FAnchor < 0 || !FMultiSelect) ? AIndex : FAnchor;
  FItemIndex = AIndex;
  MakeVisible(AIndex);
  UpdateScrollBars();
  Invalidate();
  if (before != FSelection || oldIndex != FItemIndex) SelectionChangedByUser();
}

void TcxCustomInnerListBox::SelectionChangedByUser() {
  if (Parent() && Parent()->HandleAllocated() && HandleAllocated())
    SendMessage(Parent()->Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), static_cast<LPARAM>(Handle()));
  Click();
}

// ---- Geometry ----

Integer TcxCustomInnerListBox::ScrollBarSize(TScrollBarKind AKind) const {
  return AKind == sbVertical ? GetSystemMetrics(SM_CXVSCROLL) : GetSystemMetrics(SM_CYHSCROLL);
}

Integer TcxCustomInnerListBox::ContentHeight() const {
  Integer count = ItemCount();
  if (FListStyle != lbOwnerDrawVariable) return count * ItemHeight();
  Integer h = 0;
  for (Integer i = 0; i < count; ++i) h += ItemHeightOf(i);
  return h;
}

bool TcxCustomInnerListBox::NeedsVScrollBar() const {
  Integer height = Height();
  if (ContentHeight() > height) return true;
  bool h = FScrollWidth > Width();
  return h && ContentHeight() > height - ScrollBarSize(sbHorizontal);
}

bool TcxCustomInnerListBox::NeedsHScrollBar() const {
  Integer width = Width() - (NeedsVScrollBar() ? ScrollBarSize(sbVertical) : 0);
  return FScrollWidth > width;
}

TRect TcxCustomInnerListBox::ItemsArea() const {
  TRect r{0, 0, Width(), Height()};
  if (NeedsVScrollBar()) r.Right = std::max(r.Left, r.Right - ScrollBarSize(sbVertical));
  if (NeedsHScrollBar()) r.Bottom = std::max(r.Top, r.Bottom - ScrollBarSize(sbHorizontal));
  return r;
}

TRect TcxCustomInnerListBox::GetSizeGripRect() const {
  if (!NeedsVScrollBar() || !NeedsHScrollBar()) return TRect{};
  return TRect{Width() - ScrollBarSize(sbVertical), Height() - ScrollBarSize(sbHorizontal), Width(), Height()};
}

Integer TcxCustomInnerListBox::ItemTop(Integer Index) const {
  if (FListStyle != lbOwnerDrawVariable) return (Index - FTopIndex) * ItemHeight();
  Integer y = 0;
  for (Integer i = FTopIndex; i < Index; ++i) y += ItemHeightOf(i);
  for (Integer i = Index; i < FTopIndex; ++i) y -= ItemHeightOf(i);
  return y;
}

TRect TcxCustomInnerListBox::ItemRect(Integer Index) const {
  TRect area = ItemsArea();
  Integer top = area.Top + ItemTop(Index);
  Integer left = area.Left - FHorzOffset;
  Integer width = std::max(area.Right - area.Left, FScrollWidth);
  return TRect{left, top, left + width, top + ItemHeightOf(Index)};
}

Integer TcxCustomInnerListBox::ItemAtPos(const TPoint& Pos, bool Existing) const {
  TRect area = ItemsArea();
  Integer count = ItemCount();
  if (Existing && !PtInRect(area, Pos)) return -1;
  Integer y = area.Top;
  for (Integer i = FTopIndex; i < count; ++i) {
    Integer h = ItemHeightOf(i);
    if (Pos.Y < y + h) return Pos.Y < area.Top && !Existing ? std::max(0, FTopIndex - 1) : i;
    y += h;
  }
  return Existing ? -1 : count;
}

Integer TcxCustomInnerListBox::VisibleItemCount() const {
  TRect area = ItemsArea();
  Integer count = ItemCount();
  Integer n = 0;
  for (Integer i = FTopIndex, y = area.Top; i < count; ++i) {
    y += ItemHeightOf(i);
    if (y > area.Bottom) break;
    ++n;
  }
  return std::max(1, n);
}

Integer TcxCustomInnerListBox::MaxTopIndex() const {
  Integer count = ItemCount();
  TRect area = ItemsArea();
  Integer room = area.Bottom - area.Top;
  Integer top = count;
  for (Integer used = 0; top > 0;) {
    Integer h = ItemHeightOf(top - 1);
    if (used + h > room) break;
    used += h;
    --top;
  }
  return std::max(0, std::min(top, count - 1));
}

void TcxCustomInnerListBox::SetTopIndex(Integer Value) {
  Value = std::max(0, std::min(Value, MaxTopIndex()));
  if (FTopIndex == Value) return;
  FTopIndex = Value;
  UpdateScrollBars();
  Invalidate();
}

void TcxCustomInnerListBox::SetHorzOffset(Integer Value) {
  Integer maxOffset = std::max(0, FScrollWidth - (ItemsArea().Right - ItemsArea().Left));
  Value = std::max(0, std::min(Value, maxOffset));
  if (FHorzOffset == Value) return;
  FHorzOffset = Value;
  UpdateScrollBars();
  Invalidate();
}

void TcxCustomInnerListBox::MakeVisible(Integer Index) {
  if (Index < 0 || Index >= ItemCount()) return;
  if (Index < FTopIndex) {
    SetTopIndex(Index);
    return;
  }
  TRect area = ItemsArea();
  Integer top = FTopIndex;
  // Move the top down until the item's bottom fits.
  while (top < Index) {
    Integer bottom = area.Top;
    for (Integer i = top; i <= Index; ++i) bottom += ItemHeightOf(i);
    if (bottom <= area.Bottom) break;
    ++top;
  }
  SetTopIndex(top);
}

void TcxCustomInnerListBox::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FItems) LayoutChanged();
}

void TcxCustomInnerListBox::Resize() {
  TCustomControl::Resize();
  UpdateScrollBars();
}

// ---- Scroll bars ----

void TcxCustomInnerListBox::PlaceBar(TcxScrollBar* ABar, bool AVisible, const TRect& ABounds) {
  if (!ABar) return;
  ++FScrollBarLock;
  struct TUnlock {
    Integer& L;
    ~TUnlock() { --L; }
  } unlock{FScrollBarLock};
  if (!AVisible) {
    ABar->SetVisible(false);
    ABar->SetBounds(0, 0, 0, 0);
    return;
  }
  if (ABar->Parent() != Parent()) ABar->SetParent(Parent());
  ABar->SetBoundsRect(ABounds);
  ABar->SetEnabled(Parent()->Enabled() && Enabled());
  ABar->SetVisible(true);
  ABar->BringToFront();
}

void TcxCustomInnerListBox::UpdateScrollBars() {
  if (FScrollBarLock > 0 || FCalculating || !Parent() || IsDestroying()) return;
  FCalculating = true;
  struct TDone {
    bool& F;
    ~TDone() { F = false; }
  } done{FCalculating};
  bool v = NeedsVScrollBar(), h = NeedsHScrollBar();
  TRect list = BoundsRect();
  Integer vw = ScrollBarSize(sbVertical), hh = ScrollBarSize(sbHorizontal);
  PlaceBar(FVScrollBar, v, TRect{list.Right - vw, list.Top, list.Right, list.Bottom - (h ? hh : 0)});
  PlaceBar(FHScrollBar, h, TRect{list.Left, list.Bottom - hh, list.Right - (v ? vw : 0), list.Bottom});
  if (FVScrollBar && v) {
    Integer max = std::max(0, ItemCount() - 1);
    Integer page = std::min(VisibleItemCount(), max);
    FVScrollBar->SetLargeChange(std::max(1, page));
    FVScrollBar->SetScrollValues(0, max, true, page, FTopIndex);
  }
  if (FHScrollBar && h) {
    Integer max = std::max(0, FScrollWidth - 1);
    Integer page = std::min(ItemsArea().Right - ItemsArea().Left, max);
    FHScrollBar->SetLargeChange(std::max(1, page));
    FHScrollBar->SetScrollValues(0, max, true, page, FHorzOffset);
  }
}

void TcxCustomInnerListBox::BarScroll(TObject* Sender, TScrollCode, Integer& ScrollPos) {
  if (Sender == FVScrollBar) {
    SetTopIndex(ScrollPos);
    ScrollPos = FTopIndex;
  } else {
    SetHorzOffset(ScrollPos);
    ScrollPos = FHorzOffset;
  }
}

// ---- Painting ----

void TcxCustomInnerListBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  TRect area = ItemsArea();
  Integer count = ItemCount();
  bool focused = Focused();
  for (Integer i = FTopIndex; i < count; ++i) {
    TRect r = ItemRect(i);
    if (r.Top >= area.Bottom) break;
    TOwnerDrawState state = 0;
    if (Selected(i)) state |= odSelected;
    if (focused && i == FItemIndex) state |= odFocused;
    if (!Enabled()) state |= odDisabled;
    c->Font()->Assign(Font());
    if (!DoDrawItem(i, r, state)) DrawItem(i, r, state);
  }
  TRect grip = GetSizeGripRect();
  if (!RectIsEmpty(grip)) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(grip);
  }
}

bool TcxCustomInnerListBox::DoDrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  bool ownerDraw = FListStyle == lbOwnerDrawFixed || FListStyle == lbOwnerDrawVariable ||
                   FListStyle == lbVirtualOwnerDraw;
  if (!ownerDraw || !OnDrawItem) return false;
  TCanvas* c = Canvas();
  c->Brush()->SetColor((AState & odSelected) ? clHighlight : Color());
  c->Font()->SetColor((AState & odSelected) ? clHighlightText : Font()->Color());
  OnDrawItem(this, Index, ARect, AState);
  return true;
}

void TcxCustomInnerListBox::DrawItemText(Integer Index, const TRect& ARect) {
  String text = ItemText(Index);
  if (FTabWidth > 0) {
    String expanded;
    for (Char ch : text) expanded += ch == u'\t' ? String(static_cast<size_t>(FTabWidth / 4 + 1), u' ') : String(1, ch);
    text = expanded;
  }
  Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top, text);
}

void TcxCustomInnerListBox::DrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  TCanvas* c = Canvas();
  bool selected = (AState & odSelected) != 0;
  c->Brush()->SetColor(selected ? clHighlight : Color());
  c->Font()->SetColor(selected ? clHighlightText : ((AState & odDisabled) ? clGrayText : Font()->Color()));
  c->FillRect(ARect);
  if (Index >= 0) DrawItemText(Index, ARect);
  if ((AState & odFocused) && !OnDrawItem) c->DrawFocusRect(ARect);
}

// ---- Input ----

TPoint TcxCustomInnerListBox::ToContainer(Integer X, Integer Y) const { return TPoint{X + Left(), Y + Top()}; }

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && CanFocus() && !Focused()) SetFocus();
  bool handle = Button == mbLeft;
  bool autoDrag = FContainer && FContainer->DragMode() == dmAutomatic && !IsDesigning() && Button == mbLeft;
  if (autoDrag) {
    Integer index = ItemAtPos(TPoint{X, Y}, true);
    if (FMultiSelect && index >= 0 && Selected(index) && Shift != ssShift) {
      handle = false;
      FContainer->BeginDrag(false);
    }
  }
  if (handle && CanChangeSelectionByMouse()) ListMouseDown(Shift, X, Y);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (FContainer) {
    TPoint p = ToContainer(X, Y);
    (FContainer->*(&TcxContainerAccess::MouseDown))(Button, Shift, p.X, p.Y);
  }
  if (autoDrag && handle && FContainer && !(FMultiSelect && (Shift & (ssCtrl | ssShift))))
    FContainer->BeginDrag(false);
}

void TcxCustomInnerListBox::ListMouseDown(TShiftState Shift, Integer X, Integer Y) {
  Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (index < 0) return;
  FTracking = !FMultiSelect;
  MoveFocusTo(index, Shift, true);
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (FTracking && (Shift & ssLeft)) {
    Integer index = ItemAtPos(TPoint{X, Y}, false);
    if (index >= ItemCount()) index = ItemCount() - 1;
    if (index >= 0 && index != FItemIndex) MoveFocusTo(index, 0, true);
  }
  TCustomControl::MouseMove(Shift, X, Y);
  if (FContainer) {
    TPoint p = ToContainer(X, Y);
    (FContainer->*(&TcxContainerAccess::MouseMove))(Shift, p.X, p.Y);
  }
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FTracking = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (FContainer) {
    TPoint p = ToContainer(X, Y);
    (FContainer->*(&TcxContainerAccess::MouseUp))(Button, Shift, p.X, p.Y);
  }
}

void TcxCustomInnerListBox::Click() {
  if (FVScrollBar && FVScrollBar->Visible() && FTopIndex <= FVScrollBar->Max()) FVScrollBar->SetPosition(FTopIndex);
  TCustomControl::Click();
  if (FContainer) FContainer->Click();
}

void TcxCustomInnerListBox::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  if (!FContainer) {
    TCustomControl::DragOver(Source, X, Y, State, Accept);
    return;
  }
  TPoint p = ToContainer(X, Y);
  (FContainer->*(&TcxContainerAccess::DragOver))(Source, p.X, p.Y, State, Accept);
}

void TcxCustomInnerListBox::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (!FContainer) {
    TCustomControl::DragDrop(Source, X, Y);
    return;
  }
  TPoint p = ToContainer(X, Y);
  FContainer->DragDrop(Source, p.X, p.Y);
}

void TcxCustomInnerListBox::DblClick() {
  TCustomControl::DblClick();
  if (FContainer) FContainer->DblClick();
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  if (FContainer && (FContainer->*(&TcxContainerAccess::DoMouseWheel))(Shift, WheelDelta, MousePos)) return true;
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  Integer lines = Mouse ? Mouse->WheelScrollLines() : 3;
  SetTopIndex(FTopIndex - WheelDelta * lines / WHEEL_DELTA);
  return true;
}

void TcxCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (FContainer) (FContainer->*(&TcxContainerAccess::KeyDown))(Key, Shift);
  if (Key == 0) return;
  TCustomControl::KeyDown(Key, Shift);
  if (Key != 0) ListKeyDown(Key, Shift);
}

void TcxCustomInnerListBox::ListKeyDown(Word& Key, TShiftState Shift) {
  Integer count = ItemCount();
  if (count == 0) return;
  Integer current = FItemIndex < 0 ? -1 : FItemIndex;
  Integer page = std::max(1, VisibleItemCount() - 1);
  Integer target;
  switch (Key) {
    case VK_UP: case VK_LEFT: target = current < 0 ? 0 : current - 1; break;
    case VK_DOWN: case VK_RIGHT: target = current + 1; break;
    case VK_PRIOR: target = current < 0 ? 0 : current - page; break;
    case VK_NEXT: target = std::max(0, current) + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    case VK_SPACE:
      if (FMultiSelect && current >= 0) {
        if (FExtendedSelect && !(Shift & ssCtrl)) return;
        FSelection[static_cast<size_t>(current)] = !FSelection[static_cast<size_t>(current)];
        Invalidate();
        SelectionChangedByUser();
        Key = 0;
      }
      return;
    default: return;
  }
  MoveFocusTo(target, Shift, false);
  Key = 0;
}

void TcxCustomInnerListBox::KeyPress(Char& Key) {
  if (Key == u'\t') Key = 0;
  if (FContainer && Key != 0) (FContainer->*(&TcxContainerAccess::KeyPress))(Key);
  if (Key == u'\r') Key = 0;
  if (Key == 0) return;
  TCustomControl::KeyPress(Key);
  if (Key != 0) ListKeyPress(Key);
}

void TcxCustomInnerListBox::ListKeyPress(Char& Key) {
  if (!FAutoComplete || Key < 32) return;
  Integer count = ItemCount();
  if (count == 0) return;
  String prefix(1, Key);
  Integer found = -1;
  if ((FListStyle == lbVirtual || FListStyle == lbVirtualOwnerDraw) && OnDataFind) {
    found = OnDataFind(this, prefix);
  } else {
    String up = AnsiUpperCase(prefix);
    for (Integer k = 1; k <= count && found < 0; ++k) {
      Integer i = (std::max(FItemIndex, -1) + k) % count;
      String text = AnsiUpperCase(ItemText(i));
      if (text.compare(0, up.size(), up) == 0) found = i;
    }
  }
  if (found >= 0 && found < count) MoveFocusTo(found, 0, false);
  Key = 0;
}

void TcxCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  if (FContainer && Key != 0) (FContainer->*(&TcxContainerAccess::KeyUp))(Key, Shift);
  if (Key != 0) TCustomControl::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::DoEnter() { TCustomControl::DoEnter(); }
void TcxCustomInnerListBox::DoExit() { TCustomControl::DoExit(); }

void TcxCustomInnerListBox::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
  bool fromContainer = FContainer && FContainer->HandleAllocated() && TWMSetFocus(Message).FocusedWnd() == FContainer->Handle();
  if (FContainer && !fromContainer) FContainer->HandleFocusChange();
}

void TcxCustomInnerListBox::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  Invalidate();
  if (FContainer) FContainer->HandleFocusChange();
}

void TcxCustomInnerListBox::CMMouseEnter(TMessage& Message) {
  TCustomControl::CMMouseEnter(Message);
  if (FContainer) FContainer->HandleMouseEnter(this);
}

void TcxCustomInnerListBox::CMMouseLeave(TMessage& Message) {
  TCustomControl::CMMouseLeave(Message);
  if (FContainer) FContainer->HandleMouseLeave(this);
}

// ---- Messages ----

LRESULT TcxCustomInnerListBox::HandleListMessage(TMessage& Message, bool& AHandled) {
  AHandled = true;
  Integer count = ItemCount();
  auto index = static_cast<Integer>(static_cast<std::intptr_t>(Message.WParam));
  auto text = [&]() { return Message.LParam ? String(reinterpret_cast<const Char*>(Message.LParam)) : String(); };
  switch (Message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      Integer at;
      if (Message.Msg == LB_ADDSTRING || FSorted) {
        at = FItems->Add(text());
      } else {
        at = index < 0 || index > FItems->Count() ? FItems->Count() : index;
        FItems->Insert(at, text());
      }
      // The list appended a free selection flag; move it to the new item.
      if (!FSelection.empty()) FSelection.pop_back();
      FSelection.insert(FSelection.begin() + at, false);
      if (FItemIndex >= at) ++FItemIndex;
      if (FAnchor >= at) ++FAnchor;
      Invalidate();
      return at;
    }
    case LB_DELETESTRING: {
      if (index < 0 || index >= FItems->Count()) return LB_ERR;
      FSelection.erase(FSelection.begin() + index);
      FSelection.push_back(false);  // the list's change trims one flag
      if (FItemIndex == index) FItemIndex = -1;
      else if (FItemIndex > index) --FItemIndex;
      if (FAnchor >= index) FAnchor = FAnchor == index ? -1 : FAnchor - 1;
      FItems->Delete(index);
      return FItems->Count();
    }
    case LB_RESETCONTENT:
      FSelection.clear();
      FItemIndex = FAnchor = -1;
      FTopIndex = 0;
      FItems->Clear();
      ItemsChanged(this);
      return 0;
    case LB_SETCURSEL:
      if (FMultiSelect) return LB_ERR;
      SetItemIndex(index);
      return index < 0 || index >= count ? LB_ERR : index;
    case LB_GETCURSEL: return FMultiSelect ? (FItemIndex >= 0 && Selected(FItemIndex) ? FItemIndex : LB_ERR) : FItemIndex;
    case LB_SETSEL: {
      if (!FMultiSelect) return LB_ERR;
      auto item = static_cast<Integer>(Message.LParam);
      if (item == -1) {
        FSelection.assign(FSelection.size(), Message.WParam != 0);
      } else {
        if (item < 0 || item >= count) return LB_ERR;
        FSelection[static_cast<size_t>(item)] = Message.WParam != 0;
      }
      Invalidate();
      return 0;
    }
    case LB_GETSEL: return index < 0 || index >= count ? LB_ERR : (Selected(index) ? 1 : 0);
    case LB_GETSELCOUNT: return FMultiSelect ? SelCount() : LB_ERR;
    case LB_GETTEXT: {
      if (index < 0 || index >= count) return LB_ERR;
      String s = ItemText(index);
      if (Message.LParam) {
        auto* buffer = reinterpret_cast<Char*>(Message.LParam);
        std::copy(s.begin(), s.end(), buffer);
        buffer[s.size()] = 0;
      }
      return static_cast<LRESULT>(s.size());
    }
    case LB_GETTEXTLEN: return index < 0 || index >= count ? LB_ERR : static_cast<LRESULT>(ItemText(index).size());
    case LB_GETCOUNT: return count;
    case LB_GETTOPINDEX: return FTopIndex;
    case LB_SETTOPINDEX:
      if (index < 0 || index >= std::max(count, 1)) return LB_ERR;
      SetTopIndex(index);
      return 0;
    case LB_GETITEMRECT: {
      if (index < 0 || (index >= count && count > 0)) return LB_ERR;
      if (Message.LParam) *reinterpret_cast<TRect*>(Message.LParam) = ItemRect(index);
      return 1;
    }
    case LB_SETCARETINDEX:
      if (index < 0 || index >= count) return LB_ERR;
      FItemIndex = index;
      MakeVisible(index);
      Invalidate();
      return 0;
    case LB_GETCARETINDEX: return FItemIndex < 0 ? 0 : FItemIndex;
    case LB_SETITEMHEIGHT:
      if (Message.LParam <= 0 || Message.LParam > 255) return LB_ERR;
      SetItemHeight(static_cast<Integer>(Message.LParam));
      return 0;
    case LB_GETITEMHEIGHT: return ItemHeightOf(index);
    case LB_SETHORIZONTALEXTENT: SetScrollWidth(index); return 0;
    case LB_GETHORIZONTALEXTENT: return FScrollWidth;
    case LB_ITEMFROMPOINT: {
      TPoint p = LParamToPoint(Message.LParam);
      Integer item = ItemAtPos(p, true);
      bool outside = item < 0;
      if (outside) item = std::max(0, std::min(ItemAtPos(p, false), count - 1));
      return MAKELPARAM(item, outside ? 1 : 0);
    }
    default: AHandled = false; return 0;
  }
}

void TcxCustomInnerListBox::Dispatch(TMessage& Message) {
  if (FContainer && !IsDestroying() && FContainer->HandleInnerMessage(Message)) return;
  bool handled = false;
  if (Message.Msg >= LB_ADDSTRING && Message.Msg <= LB_ITEMFROMPOINT) {
    Message.Result = HandleListMessage(Message, handled);
    if (handled) {
      UpdateScrollBars();
      return;
    }
  }
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      if (FContainer && !(GetKeyState(VK_CONTROL) & 0x8000)) Message.Result |= DLGC_WANTTAB;
      return;
    case WM_VSCROLL: {
      TWMScroll s(Message);
      Integer page = std::max(1, VisibleItemCount() - 1);
      switch (s.ScrollCode()) {
        case SB_LINEUP: SetTopIndex(FTopIndex - 1); break;
        case SB_LINEDOWN: SetTopIndex(FTopIndex + 1); break;
        case SB_PAGEUP: SetTopIndex(FTopIndex - page); break;
        case SB_PAGEDOWN: SetTopIndex(FTopIndex + page); break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: SetTopIndex(s.Pos()); break;
        case SB_TOP: SetTopIndex(0); break;
        case SB_BOTTOM: SetTopIndex(ItemCount()); break;
        default: break;
      }
      UpdateScrollBars();
      return;
    }
    case WM_HSCROLL: {
      TWMScroll s(Message);
      Integer page = std::max(1, ItemsArea().Right - ItemsArea().Left);
      switch (s.ScrollCode()) {
        case SB_LINELEFT: SetHorzOffset(FHorzOffset - 8); break;
        case SB_LINERIGHT: SetHorzOffset(FHorzOffset + 8); break;
        case SB_PAGELEFT: SetHorzOffset(FHorzOffset - page); break;
        case SB_PAGERIGHT: SetHorzOffset(FHorzOffset + page); break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: SetHorzOffset(s.Pos()); break;
        case SB_LEFT: SetHorzOffset(0); break;
        case SB_RIGHT: SetHorzOffset(FScrollWidth); break;
        default: break;
      }
      UpdateScrollBars();
      return;
    }
    case WM_SETREDRAW:
      TCustomControl::Dispatch(Message);
      if (Message.WParam) UpdateScrollBars();
      return;
    case WM_WINDOWPOSCHANGED:
      TCustomControl::Dispatch(Message);
      UpdateScrollBars();
      return;
    default: break;
  }
  TCustomControl::Dispatch(Message);
}
