#include "platform/gui/forms.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/menus.h"
#include "platform/rtl/exceptions.h"

namespace {
Integer GFocusCount = 0;

// The button at the right end of a frame's menu bar that closes the
// frame's maximised child.
class TMDICloseButton : public TGraphicControl {
public:
  static constexpr Integer Side = 16;  // a caption button of the menu bar's height

  TMDICloseButton(TComponent* AOwner, TCustomForm* AFrame) : TGraphicControl(AOwner), FFrame(AFrame) {
    FControlStyle |= csCaptureMouse;
    SetBounds(0, 0, Side, Side - 2);
  }

protected:
  void Paint() override {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    DrawEdge(c, r, FDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    // The cross, two pixels thick, moved with the pressed button.
    const Integer shift = FDown ? 1 : 0;
    const Integer left = r.Left + 4 + shift, top = r.Top + 3 + shift;
    const Integer size = std::min(r.Right - r.Left, r.Bottom - r.Top) - 8;
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetColor(clBtnText);
    for (Integer d = 0; d < 2; ++d) {
      c->MoveTo(left + d, top);
      c->LineTo(left + d + size, top + size);
      c->MoveTo(left + d + size - 1, top);
      c->LineTo(left + d - 1, top + size);
    }
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    FDown = true;
    Invalidate();
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !FDown) return;
    FDown = false;
    Invalidate();
    if (!PtInRect(ClientRect(), TPoint{X, Y})) return;
    if (TCustomForm* child = FFrame->ActiveMDIChild()) child->Close();
  }

private:
  TCustomForm* FFrame;
  bool FDown = false;
};

}  // namespace

TControl* MDIChildCloseButton(TCustomForm* Frame) {
  if (!Frame || !Frame->Menu()) return nullptr;
  for (Integer i = 0; i < Frame->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TMDICloseButton*>(Frame->Components(i)); b && b->Visible()) return b;
  return nullptr;
}

TCustomForm* GetParentForm(const TControl* Control, bool TopForm) {
  if (!Control) return nullptr;
  const TControl* c = Control;
  while ((TopForm || !dynamic_cast<const TCustomForm*>(c)) && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void RaiseCannotFocus() { throw EInvalidOperation(u"Cannot focus a disabled or invisible window"); }

// ---- TCustomForm ---------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  SetVisible(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  DestroyHandle();  // while this is still a form: its client window's procedure is the form's
  if (Application)
    if (TCustomForm* frame = Application->MainForm(); frame && frame->FActiveMDIChild == this)
      frame->FActiveMDIChild = nullptr;
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  if (TCustomForm* frame = MDIFrame(); frame && FFormStyle == fsMDIChild) frame->UpdateMDIChrome();
}

TCustomForm* TCustomForm::MDIFrame() const {
  TCustomForm* frame = Application ? Application->MainForm() : nullptr;
  return frame && frame != this && frame->FormStyle() == fsMDIForm ? frame : nullptr;
}

void TCustomForm::UpdateMDIChrome() {
  if (FFormStyle != fsMDIForm || !HandleAllocated()) return;
  TCustomForm* child = ActiveMDIChild();
  SetWindowTitle(FHandle, child ? Caption() + u" - [" + child->Caption() + u"]" : String());
  if (!FMenuBar) return;
  if (child && !FMDICloseButton) {
    auto* button = new TMDICloseButton(this, this);
    button->SetParent(FMenuBar);
    FMDICloseButton = button;
  }
  if (!FMDICloseButton) return;
  FMDICloseButton->SetLeft(FMenuBar->ClientWidth() - FMDICloseButton->Width() - 2);
  FMDICloseButton->SetTop((FMenuBar->ClientHeight() - FMDICloseButton->Height()) / 2);
  FMDICloseButton->SetVisible(child != nullptr);
}

void TCustomForm::CMTextChanged(TMessage& M) {
  TWinControl::CMTextChanged(M);
  if (FFormStyle == fsMDIForm) UpdateMDIChrome();
  else if (TCustomForm* frame = FFormStyle == fsMDIChild ? MDIFrame() : nullptr) frame->UpdateMDIChrome();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::BeforeDestruction() {
  if (OnDestroy) OnDestroy(this);
  TWinControl::BeforeDestruction();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  FFormStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetNoActivate(bool Value) {
  if (FNoActivate == Value) return;
  FNoActivate = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  if (Value != wsMaximized) return;
  // The work area until the window manager says what maximised means.
  SetBoundsRect(MonitorWorkAreaAt(ClientOrigin()));
  if (!Parent() && FFormStyle != fsMDIChild && HandleAllocated() && Visible()) ShowWindow(Handle(), SW_SHOWMAXIMIZED);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  if (FFormStyle == fsMDIChild && !Parent()) {
    auto* frame = Application ? Application->MainForm() : nullptr;
    if (!frame || frame == this || frame->FormStyle() != fsMDIForm)
      throw EInvalidOperation(u"Cannot create form. No MDI forms are currently active");
    SetParentWindow(frame->ClientHandle() ? frame->ClientHandle() : (frame->HandleNeeded(), frame->ClientHandle()));
  }
  TWinControl::CreateParams(Params);
  if (Parent()) return;  // a form placed inside another control
  if (FFormStyle == fsMDIChild) {
    Params.Style = (Params.Style & ~(WS_POPUP | WS_VISIBLE)) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    TRect r;
    GetClientRect(ParentWindow(), r);
    Params.X = 0, Params.Y = 0, Params.Width = r.Right, Params.Height = r.Bottom;
    return;
  }
  // The tab-stop and group bits mean the minimise and maximise boxes here.
  Params.Style &= ~(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP);
  if (ParentWindow()) Params.Style |= WS_CHILD;
  Cardinal icons = 0;
  if (FBorderIcons & biSystemMenu) {
    icons = WS_SYSMENU;
    if (FBorderIcons & biMinimize) icons |= WS_MINIMIZEBOX;
    if (FBorderIcons & biMaximize) icons |= WS_MAXIMIZEBOX;
  }
  switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_POPUP | WS_CAPTION | icons; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION | (icons & WS_SYSMENU);
      Params.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsSizeable: Params.Style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | icons; break;
    case bsToolWindow: case bsSizeToolWin:
      Params.Style |= WS_POPUP | WS_CAPTION | (icons & WS_SYSMENU) | (FBorderStyle == bsSizeToolWin ? WS_THICKFRAME : 0u);
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FNoActivate) Params.ExStyle |= WS_EX_NOACTIVATE;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (FFormStyle == fsMDIForm) CreateClientWindow();
}

void TCustomForm::DestroyWnd() {
  if (FClientHandle) {
    // The children live in the client window: their windows go first.
    for (TCustomForm* c : MDIChildList()) c->DestroyHandle();
    HWND h = FClientHandle;
    FClientHandle = 0;
    DestroyWindow(h);
  }
  TWinControl::DestroyWnd();
}

namespace {

// The part of a frame's client area that its client window fills.
TRect MDIClientArea(const TCustomForm* Form) {
  // Aligned controls (tool bars) take their room first; the client window fills the rest.
  TRect rest = Form->ClientRect();
  for (Integer i = 0; i < Form->ControlCount(); ++i) {
    TControl* c = Form->Controls(i);
    if (!c->Visible()) continue;
    switch (c->Align()) {
      case alTop: rest.Top = std::max(rest.Top, c->Top() + c->Height()); break;
      case alBottom: rest.Bottom = std::min(rest.Bottom, c->Top()); break;
      case alLeft: rest.Left = std::max(rest.Left, c->Left() + c->Width()); break;
      case alRight: rest.Right = std::min(rest.Right, c->Left()); break;
      default: break;
    }
  }
  return rest;
}

}  // namespace

void TCustomForm::CreateClientWindow() {
  TCreateParams p;
  p.Style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  // Tool bars made before the window take their room from the start.
  TRect r = MDIClientArea(this);
  p.X = r.Left;
  p.Y = r.Top;
  p.Width = r.Right - r.Left;
  p.Height = r.Bottom - r.Top;
  p.WndParent = FHandle;
  p.WinClassName = u"MDICLIENT";
  ::CreateWindowHandle(p, MakeEvent(this, &TCustomForm::ClientWndProc), &FClientHandle);
  SetWindowPos(FClientHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::ClientWndProc(TMessage& M) {
  if (M.Msg == WM_ERASEBKGND) {
    if (auto dc = reinterpret_cast<HDC>(M.WParam)) {
      TRect r;
      GetClientRect(FClientHandle, r);
      ::FillRect(dc, r, GetSysColorBrush(COLOR_APPWORKSPACE));
    }
    M.Result = 1;
    return;
  }
  if (M.Msg == WM_SIZE) {
    for (TCustomForm* c : MDIChildList()) c->PlaceMDIChild();
  }
  DefWindowProc(FClientHandle, M);
}

std::vector<TCustomForm*> TCustomForm::MDIChildList() const {
  std::vector<TCustomForm*> list;
  if (!FClientHandle || !Screen) return list;
  for (Integer i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->FormStyle() == fsMDIChild && f->ParentWindow() == FClientHandle) list.push_back(f);
  }
  return list;
}

Integer TCustomForm::MDIChildCount() const { return static_cast<Integer>(MDIChildList().size()); }

TCustomForm* TCustomForm::MDIChildren(Integer Index) const {
  auto list = MDIChildList();
  if (Index < 0 || Index >= static_cast<Integer>(list.size())) throw EListError(u"List index out of bounds");
  return list[static_cast<size_t>(Index)];
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  auto list = MDIChildList();
  if (FActiveMDIChild && std::find(list.begin(), list.end(), FActiveMDIChild) != list.end() &&
      FActiveMDIChild->Visible())
    return FActiveMDIChild;
  for (TCustomForm* f : list)
    if (f->Visible()) return f;
  return nullptr;
}

void TCustomForm::Next() {
  auto list = MDIChildList();
  if (list.size() < 2) return;
  auto it = std::find(list.begin(), list.end(), ActiveMDIChild());
  size_t i = it == list.end() ? 0 : static_cast<size_t>(it - list.begin());
  list[(i + 1) % list.size()]->Show();
}

void TCustomForm::Previous() {
  auto list = MDIChildList();
  if (list.size() < 2) return;
  auto it = std::find(list.begin(), list.end(), ActiveMDIChild());
  size_t i = it == list.end() ? 0 : static_cast<size_t>(it - list.begin());
  list[(i + list.size() - 1) % list.size()]->Show();
}

void TCustomForm::PlaceMDIChild() {
  if (!HandleAllocated() || !ParentWindow()) return;
  TRect r;
  GetClientRect(ParentWindow(), r);
  SetBounds(0, 0, r.Right, r.Bottom);
}

void TCustomForm::WMSize(TMessage& M) {
  if (FClientHandle) {
    TWinControl::WMSize(M);
    TRect rest = MDIClientArea(this);
    MoveWindow(FClientHandle, rest.Left, rest.Top, rest.Right - rest.Left, rest.Bottom - rest.Top);
    UpdateMDIChrome();
    return;
  }
  TWinControl::WMSize(M);
}


void TCustomForm::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_ACTIVATE: WMActivate(M); return;
    case WM_CLOSE: WMClose(M); return;
    case CM_RELEASE: CMRelease(M); return;
    case CM_ACTIVATE: CMActivate(M); return;
    case CM_DEACTIVATE: CMDeactivate(M); return;
    default: TWinControl::Dispatch(M); return;
  }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && (!Control->CanFocus() || ::GetParentForm(Control) != this) && !IsLoading()) RaiseCannotFocus();
  FActiveControl = Control;
  if (Control && Visible() && HandleAllocated() && FActive) ::SetFocus(Control->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
  if (Control && !Control->CanFocus()) RaiseCannotFocus();
  FActiveControl = Control;
  if (Control && Visible()) ::SetFocus(Control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  ++GFocusCount;
  if (Control != this) FActiveControl = Control;
  if (Screen) {
    Screen->SetActiveControl(Control);
    Screen->SetActiveForm(this);
  }
  if (Control->ControlState() & csFocusing) return true;
  Control->SetControlState(Control->ControlState() | csFocusing);
  struct TLeave {
    TWinControl* C;
    ~TLeave() { C->SetControlState(C->ControlState() & ~csFocusing); }
  } leave{Control};
  if (!FFocusedControl) FFocusedControl = this;
  if (FFocusedControl == Control) return true;
  while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
    TWinControl* exiting = FFocusedControl;
    FFocusedControl = exiting->Parent();
    Integer count = GFocusCount;
    exiting->Perform(CM_EXIT);
    if (count != GFocusCount) return false;
  }
  while (FFocusedControl != Control) {
    TWinControl* t = Control;
    while (t->Parent() != FFocusedControl) t = t->Parent();
    FFocusedControl = t;
    Integer count = GFocusCount;
    t->Perform(CM_ENTER);
    if (count != GFocusCount) return false;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (!Control) return;
  if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
  if (FActiveControl && Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::CMVisibleChanged(TMessage& M) {
  if (Parent()) {
    TWinControl::CMVisibleChanged(M);
    return;
  }
  if (Visible() && FFormStyle == fsMDIChild) {
    HandleNeeded();
    PlaceMDIChild();
    if (auto* frame = Application ? Application->MainForm() : nullptr) frame->FActiveMDIChild = this;
    if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
    DoShow();
    if (Visible() && HandleAllocated()) {
      ShowWindow(Handle(), SW_SHOW);
      SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (TCustomForm* frame = MDIFrame()) frame->UpdateMDIChrome();
    return;
  }
  if (Visible()) {
    if (!FPlaced) PlaceOnScreen();
    HandleNeeded();
    if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
    DoShow();
    if (Visible() && HandleAllocated())
      ShowWindow(Handle(), FNoActivate ? SW_SHOWNA : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    if (FFormStyle == fsMDIForm) UpdateMDIChrome();
  } else if (HandleAllocated()) {
    DoHide();
    ShowWindow(Handle(), SW_HIDE);
    if (TCustomForm* frame = FFormStyle == fsMDIChild ? MDIFrame() : nullptr) frame->UpdateMDIChrome();
  }
}

void TCustomForm::PlaceOnScreen() {
  FPlaced = true;
  switch (FPosition) {
    case poScreenCenter: case poDesktopCenter: case poMainFormCenter: case poOwnerFormCenter: {
      TRect wa = DesktopWorkArea();
      SetBounds(wa.Left + (wa.Right - wa.Left - Width()) / 2, wa.Top + (wa.Bottom - wa.Top - Height()) / 2, Width(),
                Height());
      break;
    }
    default:
      break;
  }
}

void TCustomForm::SetFocus() {
  if (!CanFocus()) RaiseCannotFocus();
  if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
  else ::SetFocus(Handle());
}

void TCustomForm::WMSetFocus(TMessage& M) {
  if (FActiveControl && FActiveControl != this && FActiveControl->CanFocus() && PendingFocusWindow() == 0) {
    ::SetFocus(FActiveControl->Handle());
    return;
  }
  TWinControl::WMSetFocus(M);
}

void TCustomForm::WMActivate(TMessage& M) {
  TWMActivate a(M);
  if (a.Active() != WA_INACTIVE) {
    FActive = true;
    if (Screen) Screen->SetActiveForm(this);
    HWND pending = PendingFocusWindow();
    HWND focus = GetFocus();
    bool inside = focus && (focus == FHandle || IsChild(FHandle, focus));
    if (!pending && !inside) {
      TCustomForm* child = FFormStyle == fsMDIForm ? ActiveMDIChild() : nullptr;
      if (child) child->SetFocus();
      else if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
      else ::SetFocus(FHandle);
    }
    Activate();
  } else {
    FActive = false;
    Deactivate();
  }
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::CMActivate(TMessage&) {}
void TCustomForm::CMDeactivate(TMessage&) {}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
  if (FActiveControl && FActiveControl->Perform(CM_CLOSEQUERY, 0, 0) != 0) return false;
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (FFormState & fsModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caHide || action == caMinimize) Hide();
  else if (action == caFree) Release();
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::CMRelease(TMessage&) { Free(); }

void TCustomForm::WMClose(TMessage&) { Close(); }

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || (FFormState & fsModal))
    throw EInvalidOperation(u"Cannot make a visible window modal");
  if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState |= fsModal;
  HWND activeBefore = GetActiveWindow();
  std::vector<TCustomForm*> disabled;
  if (Screen)
    for (Integer i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* f = Screen->Forms(i);
      if (f != this && f->Visible() && f->HandleAllocated() && IsWindowEnabled(f->Handle())) {
        EnableWindow(f->Handle(), false);
        disabled.push_back(f);
      }
    }
  FModalResult = mrNone;
  struct TRestore {
    TCustomForm* Self;
    std::vector<TCustomForm*>& Disabled;
    HWND Active;
    ~TRestore() {
      for (TCustomForm* f : Disabled)
        if (f->HandleAllocated()) EnableWindow(f->Handle(), true);
      Self->FFormState &= ~fsModal;
      if (Self->Visible()) Self->Hide();
      if (Active && IsWindow(Active)) SetActiveWindow(Active);
    }
  } restore{this, disabled, activeBefore};
  Show();
  for (;;) {
    if (Application->Terminated()) {
      FModalResult = mrCancel;
      break;
    }
    if (FModalResult != mrNone) {
      // Closing the modal form: it may refuse.
      TCloseAction action = caNone;
      if (CloseQuery()) {
        action = caHide;
        DoClose(action);
      }
      if (action == caNone) FModalResult = mrNone;
      else break;
    }
    if (!Visible()) {
      if (FModalResult == mrNone) FModalResult = mrCancel;
      break;
    }
    Application->HandleMessage();
  }
  return FModalResult;
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (TMainMenu* menu = Menu(); menu && menu->IsShortCut(Message)) return true;
  for (TControl* c = FActiveControl; c; c = c == this ? nullptr : c->Parent())
    if (auto* popup = dynamic_cast<TPopupMenu*>(c->PopupMenu()); popup && popup->IsShortCut(Message)) return true;
  if (FFormStyle == fsMDIChild && MDIFrame()) {
    // Ctrl+F4 closes the child, as its close button on the frame's menu bar does.
    if (TWMKey(Message).CharCode() == VK_F4 && (GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
      Close();
      return true;
    }
    return MDIFrame()->IsShortCut(Message);
  }
  return false;
}

TMainMenu* TCustomForm::Menu() const { return FMenuBar ? MenuBarMenu(FMenuBar) : nullptr; }

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (!FMenuBar && !Value) return;
  if (!FMenuBar) FMenuBar = CreateMenuBar(this);
  SetMenuBarMenu(FMenuBar, Value);
  if (Value) FMenuBar->SetTop(-1);  // above every other top-aligned control
}

void TCustomForm::CMDialogKey(TMessage& M) {
  if (!(GetKeyState(VK_MENU) & 0x8000)) {
    Word key = TWMKey(M).CharCode();
    if (key == VK_TAB && !(GetKeyState(VK_CONTROL) & 0x8000)) {
      SelectNext(FActiveControl, !(GetKeyState(VK_SHIFT) & 0x8000), true);
      M.Result = 1;
      return;
    }
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
      if (FActiveControl && FActiveControl->Parent()) {
        FActiveControl->Parent()->SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
        M.Result = 1;
      }
      return;
    }
  }
  TWinControl::CMDialogKey(M);
}

// ---- TScreen -------------------------------------------------------------------------------

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner),
      FMenuFont(std::make_unique<TFont>()),
      FHintFont(std::make_unique<TFont>()),
      FIconFont(std::make_unique<TFont>()) {
  FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() = default;

HCURSOR TScreen::Cursors(TCursor Index) const {
  auto it = FCursors.find(Index);
  if (it != FCursors.end()) return it->second;
  Integer id = 0;
  switch (Index) {
    case crNone: return 0;
    case crArrow: case crDefault: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crDrag: id = IDC_DRAG; break;
    case crNoDrop: id = IDC_NODROP; break;
    case crHSplit: id = IDC_HSPLIT; break;
    case crVSplit: id = IDC_VSPLIT; break;
    case crMultiDrag: id = IDC_MULTIDRAG; break;
    case crSQLWait: id = IDC_SQLWAIT; break;
    case crNo: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: id = IDC_ARROW; break;
  }
  return LoadCursor(id);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  if (Handle) FCursors[Index] = Handle;
  else FCursors.erase(Index);
}

void TScreen::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  if (Value != crDefault) {
    ::SetCursor(Cursors(Value));
    return;
  }
  TPoint p;
  GetCursorPos(p);
  if (HWND h = WindowFromPoint(p)) {
    LRESULT ht = SendMessage(h, WM_NCHITTEST, 0, PointToLParam(p));
    SendMessage(h, WM_SETCURSOR, h, MAKELPARAM(static_cast<Integer>(ht), WM_MOUSEMOVE));
  }
}

Integer TScreen::Width() const {
  TRect r = MonitorRectAt(TPoint{0, 0});
  return r.Right - r.Left;
}

Integer TScreen::Height() const {
  TRect r = MonitorRectAt(TPoint{0, 0});
  return r.Bottom - r.Top;
}

TRect TScreen::WorkAreaRect() const { return DesktopWorkArea(); }

TRect TScreen::MonitorWorkAreaAt(const TPoint& Point) const { return ::MonitorWorkAreaAt(Point); }

void TScreen::AddForm(TCustomForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) FActiveForm = nullptr;
  if (FActiveControl && ::GetParentForm(FActiveControl) == Form) FActiveControl = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
  if (FActiveForm == Form) return;
  FActiveForm = Form;
  if (Form) MoveFormToFront(Form);
  if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  FActiveControl = Control;
  if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::MoveFormToFront(TCustomForm* Form) {
  auto it = std::find(FForms.begin(), FForms.end(), Form);
  if (it == FForms.end()) return;
  FForms.erase(it);
  FForms.insert(FForms.begin(), Form);
}
