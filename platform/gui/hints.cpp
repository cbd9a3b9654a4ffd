#include "platform/gui/hints.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/hooks.h"
#include "platform/gui/timers.h"

namespace {

// Room between the frame and the text.
constexpr Integer HintTextMargin = 2;
constexpr UINT HintTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

bool IsHintMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST; }

// The control itself or the nearest parent that shows hints.
TControl* HintControlOf(TControl* Control) {
  while (Control && !Control->ShowHint()) Control = Control->Parent();
  if (Control && Control->IsDesigning()) return nullptr;
  return Control;
}

// The control under a client point of Control, disabled ones included.
TControl* ControlUnder(TControl* Control, const TPoint& P) {
  auto* parent = dynamic_cast<TWinControl*>(Control);
  if (!parent) return Control;
  TControl* child = parent->ControlAtPos(P, true);
  return child ? child : Control;
}

TRect ScreenRectOf(TControl* Control) {
  const TPoint origin = Control->ClientToScreen(TPoint{0, 0});
  return TRect{origin.X, origin.Y, origin.X + Control->ClientWidth(), origin.Y + Control->ClientHeight()};
}

}  // namespace

// ---- THintWindow ---------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(Application ? Application->HintColor() : clInfoBk);
  SetParentFont(false);
  if (Screen) Font()->Assign(Screen->HintFont());
}

THintWindow::~THintWindow() = default;

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  Params.WndParent = 0;
}

TRect THintWindow::CalcHintRect(Integer MaxWidth, const String& AHint) {
  TCanvas measure;
  measure.Font()->Assign(Font());
  TRect r{0, 0, std::max(1, MaxWidth), 0};
  ::DrawText(&measure, AHint, r, HintTextFlags | DT_CALCRECT);
  r.Right += 2 * (HintTextMargin + 1);
  r.Bottom += 2 * (HintTextMargin + 1);
  return r;
}

void THintWindow::ActivateHint(TRect Rect, const String& AHint) {
  SetCaption(AHint);
  const TRect area = MonitorWorkAreaAt(TPoint{Rect.Left, Rect.Top});
  const Integer width = Rect.Right - Rect.Left, height = Rect.Bottom - Rect.Top;
  Rect.Left = std::max(area.Left, std::min(Rect.Left, area.Right - width));
  Rect.Top = std::max(area.Top, std::min(Rect.Top, area.Bottom - height));
  SetBounds(Rect.Left, Rect.Top, width, height);
  HandleNeeded();
  SetWindowPos(Handle(), HWND_TOPMOST, Rect.Left, Rect.Top, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
  UpdateWindow(Handle());
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::Showing() const { return HandleAllocated() && IsWindowVisible(const_cast<THintWindow*>(this)->Handle()); }

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  c->Brush()->SetColor(clInfoText);
  c->FrameRect(r);
  InflateRect(r, -(HintTextMargin + 1), -(HintTextMargin + 1));
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsClear);
  c->Realize();
  ::DrawText(c->Handle(), Caption(), r, HintTextFlags);
  c->Brush()->SetStyle(bsSolid);
}

// ---- THintHandler --------------------------------------------------------------------------

class THintHandler::TWatcher : public TComponent {
public:
  explicit TWatcher(THintHandler* AHandler) : TComponent(nullptr), FHandler(AHandler) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FHandler->FHintControl) {
      FHandler->FHintControl = nullptr;
      FHandler->HideHint();
    }
  }

private:
  THintHandler* FHandler;
};

THintHandler::THintHandler()
    : FWatcher(std::make_unique<TWatcher>(this)), FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetOnTimer(TNotifyEvent(this, &THintHandler::TimerFired));
}

THintHandler::~THintHandler() {
  if (FHook) UnhookWindowsHookEx(FHook);
  SetHintControl(nullptr);
}

bool THintHandler::HintShowing() const { return FHintWindow && FHintWindow->Showing(); }

void THintHandler::SetHintControl(TControl* Control) {
  if (FHintControl == Control) return;
  if (FHintControl) FHintControl->RemoveFreeNotification(FWatcher.get());
  FHintControl = Control;
  if (Control) Control->FreeNotification(FWatcher.get());
}

void THintHandler::StartTimer(Integer Interval, TTimerMode Mode) {
  FTimer->SetEnabled(false);
  FTimerMode = Mode;
  if (Interval <= 0 || Mode == TTimerMode::None) return;
  FTimer->SetInterval(static_cast<Cardinal>(Interval));
  FTimer->SetEnabled(true);
}

void THintHandler::TimerFired(TObject*) {
  const TTimerMode mode = FTimerMode;
  StartTimer(0, TTimerMode::None);
  if (mode == TTimerMode::Show) ActivateHint();
  else if (mode == TTimerMode::Hide) {
    HideHint();
    FHintDone = true;
  }
}

void THintHandler::HintMouseMessage(TControl* Control, const TMessage& Message) {
  if (!Application || !IsHintMouseMessage(Message.Msg) || Message.Msg == WM_MOUSEWHEEL) return;
  if (Message.Msg != WM_MOUSEMOVE) {
    // A press ends the hint; the control's hint does not come back while the mouse stays.
    if (HintShowing() || FTimerMode == TTimerMode::Show) {
      HideHint();
      FHintDone = true;
    }
    return;
  }
  const TPoint local = LParamToPoint(Message.LParam);
  const TPoint screen = Control->ClientToScreen(local);
  TControl* target = Application->ShowHint() ? HintControlOf(ControlUnder(Control, local)) : nullptr;
  if (!target) {
    CancelHint();
    return;
  }
  if (target == FHintControl && PtInRect(FCursorRect, screen)) return;
  const bool wasShowing = HintShowing();
  HideHint();
  SetHintControl(target);
  FHintDone = false;
  FCursorRect = ScreenRectOf(target);
  const bool recent = wasShowing || GetTickCount() - FLastHintTime < static_cast<DWORD>(Application->HintHidePause());
  StartTimer(recent && FLastHintTime != 0 ? Application->HintShortPause() : Application->HintPause(), TTimerMode::Show);
}

void THintHandler::ActivateHint() {
  TControl* control = FHintControl;
  if (!control || FHintDone || !Application || !Application->ShowHint()) return;
  TPoint cursor;
  GetCursorPos(cursor);
  if (!PtInRect(ScreenRectOf(control), cursor)) {
    CancelHint();
    return;
  }
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = control->ScreenToClient(cursor);
  info.CursorRect = control->ClientRect();
  info.HintPos = TPoint{cursor.X, cursor.Y + HintCursorHeight};
  info.HintMaxWidth = HintMaxWidthDefault;
  info.HintColor = Application->HintColor();
  info.HintStr = control->Hint();
  if (control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) return;
  if (FHintControl != control) return;  // the control went while it was asked
  const TPoint origin = control->ClientToScreen(TPoint{0, 0});
  FCursorRect = info.CursorRect;
  OffsetRect(FCursorRect, origin.X, origin.Y);
  if (!FHintWindow) FHintWindow = std::make_unique<THintWindow>(nullptr);
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr);
  OffsetRect(r, info.HintPos.X, info.HintPos.Y);
  FHintWindow->ActivateHint(r, info.HintStr);
  FLastHintTime = GetTickCount();
  if (!FHook) FHook = SetWindowsHookEx(WH_GETMESSAGE, &THintHandler::GetMessageHook);
  StartTimer(Application->HintHidePause(), TTimerMode::Hide);
}

void THintHandler::HideHint() {
  StartTimer(0, TTimerMode::None);
  if (FHook) {
    UnhookWindowsHookEx(FHook);
    FHook = 0;
  }
  if (HintShowing()) {
    FHintWindow->ReleaseHandle();
    FLastHintTime = GetTickCount();
  }
}

void THintHandler::CancelHint() {
  HideHint();
  SetHintControl(nullptr);
  FHintDone = false;
}

LRESULT THintHandler::GetMessageHook(Integer Code, WPARAM WParam, LPARAM LParam) {
  THintHandler* self = Application ? Application->Hints() : nullptr;
  const LRESULT result = CallNextHookEx(self ? self->FHook : 0, Code, WParam, LParam);
  const auto* msg = reinterpret_cast<const TMsg*>(LParam);
  if (Code != HC_ACTION || !msg || !self) return result;
  switch (msg->message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_MOUSEWHEEL: case WM_ACTIVATEAPP:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
      self->HideHint();
      self->FHintDone = true;
      break;
    case WM_MOUSELEAVE: {
      // The mouse left the window that holds the hint control.
      TControl* c = self->FHintControl;
      while (c && !dynamic_cast<TWinControl*>(c)) c = c->Parent();
      auto* holder = static_cast<TWinControl*>(c);
      if (holder && holder->HandleAllocated() && holder->Handle() == msg->hwnd) self->CancelHint();
      break;
    }
    default:
      break;
  }
  return result;
}
