#include "platform/gui/controls.h"

#include <algorithm>
#include <map>

#include "platform/gui/actions.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/rtl/exceptions.h"

namespace {

std::map<HWND, TWinControl*> GControlOfWindow;
TControl* GMouseControl = nullptr;
TControl* GCaptureControl = nullptr;
TPopupMenuHandler GPopupMenuHandler = nullptr;

bool IsMouseMsg(UINT M) { return M >= WM_MOUSEFIRST && M <= WM_MOUSELAST; }

TPoint MsgPoint(const TMessage& M) { return LParamToPoint(M.LParam); }

}  // namespace

// ---- Shift states --------------------------------------------------------------------------

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState s = 0;
  if (Keys & MK_SHIFT) s |= ssShift;
  if (Keys & MK_CONTROL) s |= ssCtrl;
  if (Keys & MK_LBUTTON) s |= ssLeft;
  if (Keys & MK_RBUTTON) s |= ssRight;
  if (Keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) & 0x8000) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) & 0x8000) s |= ssShift;
  if (GetKeyState(VK_CONTROL) & 0x8000) s |= ssCtrl;
  if (KeyData & KF_ALTDOWN_LPARAM) s |= ssAlt;
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s = KeysToShiftState(CurrentMouseKeys());
  return s;
}

bool IsAccel(Word VK, const String& Str) {
  auto up = [](Char c) { return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c; };
  for (size_t i = 0; i + 1 < Str.size(); ++i) {
    if (Str[i] != u'&') continue;
    if (Str[i + 1] == u'&') {
      ++i;
      continue;
    }
    return up(Str[i + 1]) == up(static_cast<Char>(VK));
  }
  return false;
}

WPARAM ShiftStateToKeys(TShiftState Shift) {
  WPARAM k = 0;
  if (Shift & ssShift) k |= MK_SHIFT;
  if (Shift & ssCtrl) k |= MK_CONTROL;
  if (Shift & ssLeft) k |= MK_LBUTTON;
  if (Shift & ssRight) k |= MK_RBUTTON;
  if (Shift & ssMiddle) k |= MK_MBUTTON;
  return k;
}

void SetPopupMenuHandler(TPopupMenuHandler Handler) { GPopupMenuHandler = Handler; }

// ---- Drag and drop of the class library -----------------------------------------------------

class TDragManager {
public:
  TControl* Control = nullptr;
  TDragObject* Object = nullptr;
  bool OwnsObject = false;
  bool Started = false;
  TPoint Start;
  Integer Threshold = 5;
  TControl* Target = nullptr;
  bool Accepted = false;
  // Set while the control supplies the drag object; a cancel that arrives
  // then is carried out once the control returned.
  bool Starting = false;
  bool CancelPending = false;

  static TDragManager*& Current() {
    static TDragManager* current = nullptr;
    return current;
  }

  void Begin() {
    TDragObject* obj = nullptr;
    Starting = true;
    try {
      Control->DoStartDrag(obj);
    } catch (...) {
      Starting = false;
      Object = obj;
      Finish(false);
      throw;
    }
    Starting = false;
    if (CancelPending) {
      Object = obj;
      Finish(false);
      return;
    }
    if (!obj) {
      obj = new TDragControlObject(Control);
      OwnsObject = true;
    }
    Object = obj;
    Started = true;
    TPoint p;
    GetCursorPos(p);
    MoveTo(p);
  }

  TObject* Source() const {
    if (auto* b = dynamic_cast<TBaseDragControlObject*>(Object)) return b->Control();
    return Object;
  }

  void MoveTo(const TPoint& P) {
    TControl* t = FindDragTarget(P, false);
    Object->FDragPos = P;
    if (t != Target) {
      if (Target) Over(Target, P, dsDragLeave);
      Target = t;
      Accepted = false;
      if (Target) Accepted = Over(Target, P, dsDragEnter);
    } else if (Target) {
      Accepted = Over(Target, P, dsDragMove);
    }
    Object->FDragTarget = Target;
    TCursor c = Object->GetDragCursor(Accepted, P.X, P.Y);
    ::SetCursor(Screen->Cursors(c));
  }

  bool Over(TControl* T, const TPoint& P, TDragState State) {
    TPoint local = T->ScreenToClient(P);
    Object->FDragTargetPos = local;
    bool accept = false;
    T->DragOver(Source(), local.X, local.Y, State, accept);
    return accept;
  }

  void Finish(bool Drop) {
    if (Starting) {
      CancelPending = true;
      return;
    }
    Current() = nullptr;
    TControl* target = Drop && Accepted ? Target : nullptr;
    TPoint p = Object ? Object->FDragPos : TPoint{};
    TPoint local = target ? target->ScreenToClient(p) : TPoint{};
    if (Object) {
      Object->FDropped = target != nullptr;
      Object->FCancelling = !Drop;
      if (Target && !target) Over(Target, p, dsDragLeave);
    }
    if (Control->MouseCapture()) Control->SetMouseCapture(false);
    ::SetCursor(Screen->Cursors(Screen->Cursor() != crDefault ? Screen->Cursor() : crDefault));
    if (target) target->DragDrop(Source(), local.X, local.Y);
    if (Object) Object->Finished(target, local.X, local.Y, target != nullptr);
    if (OwnsObject) delete Object;
    delete this;
  }

  // Mouse messages of the dragging control; true when the drag took it.
  bool HandleMouse(TMessage& M) {
    TPoint screen;
    GetCursorPos(screen);
    switch (M.Msg) {
      case WM_MOUSEMOVE:
        if (!Started) {
          if (std::abs(screen.X - Start.X) < Threshold && std::abs(screen.Y - Start.Y) < Threshold) return false;
          Begin();
          return true;
        }
        MoveTo(screen);
        return true;
      case WM_LBUTTONUP:
        if (!Started) {
          Finish(false);
          return false;
        }
        MoveTo(screen);
        Finish(true);
        return true;
      default:
        return Started;
    }
  }
};

TDragObject* CurrentDragObject() {
  TDragManager* d = TDragManager::Current();
  return d && d->Started ? d->Object : nullptr;
}

void CancelDrag() {
  if (TDragManager* d = TDragManager::Current()) d->Finish(false);
}

TCursor TDragObject::GetDragCursor(bool Accepted, Integer, Integer) { return Accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, Integer, Integer, bool) {}

void TBaseDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool) {
  if (FControl) FControl->DoEndDrag(Target, X, Y);
}

// ---- TControl ------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = MakeEvent(this, &TControl::FontChanged);
  WindowProc = MakeEvent(this, &TControl::WndProc);
}

namespace {

// The control and its action watch each other's death through one pair,
// which also tells the action when the control that ran it last dies: the
// pair stays while the action still names the control.
void StopWatchingAction(TControl* AControl, TBasicAction* AAction) {
  if (AAction && AAction->ActionComponent() != AControl) AAction->RemoveFreeNotification(AControl);
}

}  // namespace

TControl::~TControl() {
  if (GMouseControl == this) GMouseControl = nullptr;
  if (GCaptureControl == this) GCaptureControl = nullptr;
  if (TDragManager* d = TDragManager::Current(); d && d->Control == this) {
    TDragManager::Current() = nullptr;
    if (d->OwnsObject) delete d->Object;
    delete d;
  } else if (d && d->Target == this) {
    d->Target = nullptr;
    d->Accepted = false;
  }
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  StopWatchingAction(this, Action());
  FActionLink.reset();
  if (FParent) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  // The action must not reach a control that is being torn down.
  SetAction(nullptr);
  TComponent::BeforeDestruction();
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation(u"A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

TCustomForm* TControl::GetParentForm(bool TopForm) const { return ::GetParentForm(this, TopForm); }

void TControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) return;
  if (FParent && FVisible) InvalidateRect(TRect{0, 0, FWidth, FHeight});
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  RequestAlign();
  if (!IsLoading()) Resize();
}

TRect TControl::ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }

void TControl::SetClientWidth(Integer Value) { SetWidth(Value + FWidth - ClientWidth()); }
void TControl::SetClientHeight(Integer Value) { SetHeight(Value + FHeight - ClientHeight()); }

TPoint TControl::ClientOrigin() const {
  if (!FParent) return TPoint{FLeft, FTop};
  TPoint o = FParent->ClientOrigin();
  return TPoint{o.X + FLeft, o.Y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& Point) const {
  TPoint o = ClientOrigin();
  return TPoint{Point.X + o.X, Point.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) const {
  TPoint o = ClientOrigin();
  return TPoint{Point.X - o.X, Point.Y - o.Y};
}

TPoint TControl::ClientToParent(const TPoint& Point, TWinControl* AParent) const {
  if (!AParent) AParent = FParent;
  if (!AParent) return Point;
  return AParent->ScreenToClient(ClientToScreen(Point));
}

TPoint TControl::ParentToClient(const TPoint& Point, TWinControl* AParent) const {
  if (!AParent) AParent = FParent;
  if (!AParent) return Point;
  return ScreenToClient(AParent->ClientToScreen(Point));
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
  RequestAlign();
}

bool TControl::Showing() const { return FVisible && (!FParent || FParent->Showing()); }

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) {
    FParentColor = false;
    return;
  }
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (Value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetFont(TFont* Value) { FFont->Assign(Value); }

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (Value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool Value) {
  FShowHint = Value;
  FParentShowHint = false;
}

void TControl::SetParentShowHint(bool Value) {
  FParentShowHint = Value;
  if (Value && FParent) FShowHint = FParent->ShowHint();
}

void TControl::SetText(const String& Value) {
  if (GetText() == Value) return;
  SetTextBuf(Value);
  Perform(CM_TEXTCHANGED);
}

void TControl::SetTextBuf(const String& Value) { FText = Value; }

void TControl::SetPopupMenu(TComponent* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
  // A dying action has already left its links without an action.
  if (Operation == opRemove && FActionLink && (!FActionLink->Action() || AComponent == FActionLink->Action()))
    FActionLink.reset();
}

// ---- Action --------------------------------------------------------------------------------


TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TControlActionLinkClass TControl::GetActionLinkClass() const { return TControlActionLink::StaticClass(); }

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    StopWatchingAction(this, Action());
    FActionLink.reset();
    return;
  }
  if (Value == Action()) return;
  StopWatchingAction(this, Action());
  if (!FActionLink) {
    TBasicActionLink* link = GetActionLinkClass()->Create(this);
    FActionLink.reset(dynamic_cast<TControlActionLink*>(link));
    if (!FActionLink) {
      delete link;
      throw EInvalidOperation(u"An action link of a control must be a control action link");
    }
  }
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
  ActionChange(Value, Value->IsLoading());
  Value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* Sender) {
  if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action) return;
  if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
  if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!CheckDefaults || Hint().empty()) SetHint(action->Hint());
  if (!CheckDefaults || Visible()) SetVisible(action->Visible());
  if (!CheckDefaults || !OnClick) OnClick = action->OnExecute;
}

void TControl::Loaded() {
  TComponent::Loaded();
  RequestAlign();
}

void TControl::Invalidate() {
  if (FParent && FParent->HandleAllocated() && FVisible) {
    TRect r = BoundsRect();
    ::InvalidateRect(FParent->Handle(), &r, true);
  }
}

void TControl::InvalidateRect(const TRect& Rect) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (w->HandleAllocated()) ::InvalidateRect(w->Handle(), &Rect, true);
    return;
  }
  if (FParent && FParent->HandleAllocated()) {
    TRect r = Rect;
    OffsetRect(r, FLeft, FTop);
    ::InvalidateRect(FParent->Handle(), &r, true);
  }
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->SetZOrder(true);
  else if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    Invalidate();
  }
}

void TControl::SendToBack() {
  if (auto* w = dynamic_cast<TWinControl*>(this)) w->SetZOrder(false);
  else if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    Invalidate();
  }
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (WindowProc) WindowProc(m);
  else WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (IsMouseMsg(Message.Msg)) {
    if (Application) Application->HintMouseMessage(this, Message);
    TDragManager* d = TDragManager::Current();
    if (d && d->Control == this && d->HandleMouse(Message)) return;
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic &&
        !IsDesigning()) {
      BeginDrag(false);
      return;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN: WMMouseDown(M, mbLeft, 0); return;
    case WM_RBUTTONDOWN: WMMouseDown(M, mbRight, 0); return;
    case WM_MBUTTONDOWN: WMMouseDown(M, mbMiddle, 0); return;
    case WM_LBUTTONDBLCLK: WMMouseDown(M, mbLeft, ssDouble); return;
    case WM_RBUTTONDBLCLK: WMMouseDown(M, mbRight, ssDouble); return;
    case WM_MBUTTONDBLCLK: WMMouseDown(M, mbMiddle, ssDouble); return;
    case WM_LBUTTONUP: WMMouseUp(M, mbLeft); return;
    case WM_RBUTTONUP: WMMouseUp(M, mbRight); return;
    case WM_MBUTTONUP: WMMouseUp(M, mbMiddle); return;
    case WM_MOUSEMOVE: WMMouseMove(M); return;
    case WM_MOUSEWHEEL: WMMouseWheel(M); return;
    case WM_CONTEXTMENU: WMContextMenu(M); return;
    case WM_CANCELMODE: WMCancelMode(M); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(M); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(M); return;
    case CM_COLORCHANGED: CMColorChanged(M); return;
    case CM_FONTCHANGED: CMFontChanged(M); return;
    case CM_TEXTCHANGED: CMTextChanged(M); return;
    case CM_CURSORCHANGED: CMCursorChanged(M); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(M); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(M); return;
    case CM_MOUSEENTER: CMMouseEnter(M); return;
    case CM_MOUSELEAVE: CMMouseLeave(M); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(M); return;
    case CM_HITTEST: CMHitTest(M); return;
    default: DefaultHandler(M); return;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(GetText().size());
      break;
    case WM_SETTEXT:
      FText = Message.LParam ? String(reinterpret_cast<const Char*>(Message.LParam)) : String();
      Message.Result = 1;
      break;
    default:
      break;
  }
}

void TControl::SendCancelMode(TControl* Sender) {
  TCustomForm* form = GetParentForm();
  if (form && form->Active() && form->ActiveControl() && form->ActiveControl() != Sender)
    form->ActiveControl()->Perform(WM_CANCELMODE);
}

void TControl::WMMouseDown(TMessage& M, TMouseButton Button, TShiftState Shift) {
  SendCancelMode(this);
  if (Button == mbLeft && (FControlStyle & csCaptureMouse)) SetMouseCapture(true);
  if (Button == mbLeft && (FControlStyle & csClickEvents)) {
    if (Shift & ssDouble) DblClick();
    else FControlState |= csClicked;
  }
  if (!(FControlStyle & csNoStdEvents)) {
    TPoint p = MsgPoint(M);
    MouseDown(Button, KeysToShiftState(M.WParam) | Shift, p.X, p.Y);
  }
}

void TControl::WMMouseUp(TMessage& M, TMouseButton Button) {
  TPoint p = MsgPoint(M);
  if (Button == mbLeft) {
    if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
    if (FControlState & csClicked) {
      FControlState &= ~csClicked;
      if (PtInRect(ClientRect(), p)) Click();
    }
  }
  if (!(FControlStyle & csNoStdEvents)) MouseUp(Button, KeysToShiftState(M.WParam), p.X, p.Y);
  if (Button == mbRight && !dynamic_cast<TWinControl*>(this)) {
    TPoint s = ClientToScreen(p);
    Perform(WM_CONTEXTMENU, 0, PointToLParam(s));
    return;
  }
  DefaultHandler(M);
}

void TControl::WMMouseMove(TMessage& M) {
  if (!(FControlStyle & csNoStdEvents)) {
    TPoint p = MsgPoint(M);
    MouseMove(KeysToShiftState(M.WParam), p.X, p.Y);
  }
}

void TControl::WMMouseWheel(TMessage& M) { MouseWheelHandler(M); }

void TControl::MouseWheelHandler(TMessage& M) {
  TWMMouseWheel w(M);
  if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), w.Pos())) M.Result = 1;
  else DefaultHandler(M);
}

bool TControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) {
    if (WheelDelta < 0) handled = DoMouseWheelDown(Shift, MousePos);
    else if (WheelDelta > 0) handled = DoMouseWheelUp(Shift, MousePos);
  }
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

void TControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0 || IsDesigning()) return;
  TPoint pt = MsgPoint(M);
  bool keyboard = pt.X == -1 && pt.Y == -1;
  TPoint local = keyboard ? TPoint{-1, -1} : ScreenToClient(pt);
  bool handled = false;
  DoContextPopup(local, handled);
  M.Result = handled ? 1 : 0;
  if (handled) return;
  if (FPopupMenu && GPopupMenuHandler) {
    SendCancelMode(nullptr);
    if (keyboard) pt = ClientToScreen(TPoint{0, 0});
    if (GPopupMenuHandler(FPopupMenu, this, pt)) M.Result = 1;
  }
  if (M.Result == 0) DefaultHandler(M);
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMCancelMode(TMessage& M) {
  if (MouseCapture()) SetMouseCapture(false);
  if (TDragManager* d = TDragManager::Current(); d && d->Control == this) d->Finish(false);
  DefaultHandler(M);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMVisibleChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMTextChanged(TMessage&) { Invalidate(); }
void TControl::CMCursorChanged(TMessage&) {}
void TControl::CMSysColorChange(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage&) {
  if (FParentColor && FParent) {
    SetColor(FParent->Color());
    FParentColor = true;
  }
}

void TControl::CMParentFontChanged(TMessage&) {
  if (FParentFont && FParent) {
    FFont->Assign(FParent->Font());
    FParentFont = true;
  }
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
}

void TControl::CMMouseEnter(TMessage& M) {
  if (M.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& M) {
  if (M.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMHitTest(TMessage& M) { M.Result = HTCLIENT; }

void TControl::SetMouseControl(TControl* Control) {
  if (GMouseControl == Control) return;
  TControl* old = GMouseControl;
  GMouseControl = Control;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (Control && GMouseControl == Control) Control->Perform(CM_MOUSEENTER);
}

TControl* TControl::MouseControl() { return GMouseControl; }

void TControl::Click() {
  // OnClick replaced by a handler of the control's own: that one runs.
  if (OnClick && FActionLink && FActionLink->Action() && !(OnClick == FActionLink->Action()->OnExecute)) {
    OnClick(this);
  } else if (!IsDesigning() && FActionLink && FActionLink->Action()) {
    FActionLink->Execute(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::CanResize(Integer& NewWidth, Integer& NewHeight) {
  bool result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, result);
  return result;
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, Integer X, Integer Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::SetBoundsQuiet(const TRect& R) {
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Right - R.Left;
  FHeight = R.Bottom - R.Top;
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (Value == MouseCapture()) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::BeginDrag(bool Immediate, Integer Threshold) {
  if (TDragManager::Current()) return;
  auto* d = new TDragManager;
  d->Control = this;
  d->Threshold = Threshold < 0 ? Mouse->DragThreshold() : Threshold;
  GetCursorPos(d->Start);
  TDragManager::Current() = d;
  SetMouseCapture(true);
  if (Immediate) d->Begin();
}

void TControl::EndDrag(bool Drop) {
  if (TDragManager* d = TDragManager::Current(); d && d->Control == this) {
    if (d->Started) d->Finish(Drop);
    else d->Finish(false);
  }
}

bool TControl::Dragging() const {
  TDragManager* d = TDragManager::Current();
  return d && d->Control == this;
}

// ---- Capture and targets -------------------------------------------------------------------

TControl* GetCaptureControl() {
  HWND cap = GetCapture();
  if (!cap) return nullptr;
  if (GCaptureControl) {
    auto* w = dynamic_cast<TWinControl*>(GCaptureControl);
    HWND own = w ? (w->HandleAllocated() ? w->Handle() : 0)
                 : (GCaptureControl->Parent() && GCaptureControl->Parent()->HandleAllocated()
                        ? GCaptureControl->Parent()->Handle()
                        : 0);
    if (own == cap) return GCaptureControl;
  }
  return TWinControl::FindControl(cap);
}

void SetCaptureControl(TControl* Control) {
  GCaptureControl = nullptr;
  if (!Control) {
    ReleaseCapture();
    return;
  }
  TWinControl* w = dynamic_cast<TWinControl*>(Control);
  if (!w) {
    w = Control->Parent();
    if (!w) {
      ReleaseCapture();
      return;
    }
  }
  HWND h = w->Handle();
  if (GetCapture() != h) SetCapture(h);
  GCaptureControl = Control;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* w = FindWindowControl(Pos);
  if (!w) return nullptr;
  TControl* c = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled);
  return c ? c : w;
}

TWinControl* FindWindowControl(const TPoint& Pos) {
  for (HWND h = WindowFromPoint(Pos); h; h = GetParent(h))
    if (TWinControl* c = TWinControl::FindControl(h)) return c;
  return nullptr;
}

// ---- TMouse --------------------------------------------------------------------------------

TPoint TMouse::CursorPos() const {
  TPoint p;
  GetCursorPos(p);
  return p;
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.X, Value.Y); }

TControl* TMouse::Capture() const { return GetCaptureControl(); }

void TMouse::SetCapture(TControl* Value) { SetCaptureControl(Value); }

// ---- TWinControl ---------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FBrush->SetColor(Color());
}

TWinControl::~TWinControl() {
  // Leave the parent while this is still a windowed control (its tab list).
  if (FParent) FParent->RemoveControl(this);
  // Child controls die with their parent (leaving their owner's list).
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    c->Free();
  }
  if (TCustomForm* f = GetParentForm(); f && f != this) f->DefocusControl(this, true);
  if (Screen && Screen->ActiveControl() == this) Screen->SetActiveControl(nullptr);
  DestroyHandle();
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  AControl->FParent = this;
  FControls.push_back(AControl);
  auto* w = dynamic_cast<TWinControl*>(AControl);
  if (w) FTabList.push_back(w);
  AControl->Perform(CM_PARENTCOLORCHANGED);
  AControl->Perform(CM_PARENTFONTCHANGED);
  AControl->Perform(CM_PARENTSHOWHINTCHANGED);
  if (w && HandleAllocated()) w->CreateHandle();
  else AControl->Invalidate();
  if (AControl->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->FParent != this) return;
  auto* w = dynamic_cast<TWinControl*>(AControl);
  if (w) {
    if (TCustomForm* f = GetParentForm()) f->DefocusControl(w, true);
    w->DestroyHandle();
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    AControl->Invalidate();
  }
  if (GMouseControl == AControl) GMouseControl = nullptr;
  FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
  AControl->FParent = nullptr;
  if (AControl->Align() != alNone && !IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls,
                                    bool AllLevels) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && !AllowWinControls) continue;
    if (!c->Visible() || (!c->Enabled() && !AllowDisabled)) continue;
    if (!PtInRect(c->BoundsRect(), Pos)) continue;
    TPoint local{Pos.X - c->Left(), Pos.Y - c->Top()};
    if (!w && c->Perform(CM_HITTEST, 0, PointToLParam(local)) == 0) continue;
    if (w && AllLevels) {
      TPoint inner = w->ScreenToClient(ClientToScreen(Pos));
      if (TControl* deeper = w->ControlAtPos(inner, AllowDisabled, true, true)) return deeper;
    }
    return c;
  }
  return nullptr;
}

void TWinControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TControl* c : FControls)
    if (c->Owner() == Root) Proc(c);
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

TWinControl* TWinControl::FindControl(HWND Wnd) {
  auto it = GControlOfWindow.find(Wnd);
  return it == GControlOfWindow.end() ? nullptr : it->second;
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParentWindow == Value) return;
  FParentWindow = Value;
  if (!FParent && HandleAllocated()) RecreateWnd();
}

void TWinControl::SetParentBackground(bool Value) {
  if (Value) FControlStyle |= csParentBackground;
  else FControlStyle &= ~csParentBackground;
  Invalidate();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  if (!Enabled()) Params.Style |= WS_DISABLED;
  if (Visible() && (FParent || FParentWindow)) Params.Style |= WS_VISIBLE;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->FHandle : FParentWindow;
  if (!FParent && !FParentWindow) Params.Style = (Params.Style & ~WS_CHILD) | WS_POPUP;
  Params.ClassStyle = CS_HREDRAW | CS_VREDRAW | ((FControlStyle & csDoubleClicks) ? CS_DBLCLKS : 0u);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  CreateWindowHandle(p);
  if (!FHandle) throw EOSError(u"Error creating window");
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND created = 0;
  ::CreateWindowHandle(Params, MakeEvent(this, &TWinControl::MainWndProc), &created);
  if (!IsWindow(created)) {
    FHandle = 0;
    return;
  }
  FHandle = created;
  GControlOfWindow[FHandle] = this;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState |= csCreating;
  struct TLeave {
    TControlState& S;
    ~TLeave() { S &= ~csCreating; }
  } leave{FControlState};
  CreateWnd();
  for (TWinControl* c : std::vector<TWinControl*>(FTabList)) c->CreateHandle();
  // The window may report a smaller client area (frame): align inside it.
  Realign();
}

void TWinControl::DestroyWnd() { DestroyWindowHandle(); }

void TWinControl::DestroyWindowHandle() {
  HWND h = FHandle;
  if (!h) return;
  FControlState |= csDestroyingHandle;
  DestroyWindow(h);
  FControlState &= ~csDestroyingHandle;
  ResetHandle();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  DestroyWnd();
}

void TWinControl::ResetHandle() {
  if (FHandle) GControlOfWindow.erase(FHandle);
  FHandle = 0;
}

void TWinControl::RecreateWnd() {
  if (!FHandle || FRecreating) return;
  FRecreating = true;
  bool focused = Focused();
  DestroyHandle();
  CreateHandle();
  FRecreating = false;
  if (focused && CanFocus()) ::SetFocus(FHandle);
}

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    if (WindowProc) WindowProc(Message);
    else WndProc(Message);
  } catch (...) {
    HandleBoundaryException();
  }
  if (Message.Msg == WM_NCDESTROY) ResetHandle();
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  Perform(CM_TABSTOPCHANGED);
}

Integer TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<Integer>(it - l.begin());
}

void TWinControl::SetTabOrder(Integer Value) {
  if (!FParent) return;
  auto& l = FParent->FTabList;
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  Integer n = static_cast<Integer>(l.size());
  Value = std::clamp(Value, 0, n);
  l.insert(l.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

bool TWinControl::CanFocus() const {
  const TControl* c = this;
  for (; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return FHandle && ::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (TCustomForm* f = GetParentForm(); f && f != this) {
    f->FocusControl(this);
    return;
  }
  if (!CanFocus()) RaiseCannotFocus();
  ::SetFocus(Handle());
}

void TWinControl::GetAdjustedTabOrderList(std::vector<TWinControl*>& List) const {
  GetTabOrderList(List);
  // A copy to ask: an adjustment may take controls out of the list.
  const std::vector<TWinControl*> listed = List;
  for (const TWinControl* c : listed) c->AdjustTabOrderList(List);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  std::vector<TWinControl*> landable;
  GetAdjustedTabOrderList(landable);
  Integer n = static_cast<Integer>(list.size());
  auto it = std::find(list.begin(), list.end(), CurControl);
  Integer start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<Integer>(it - list.begin());
  Integer i = start;
  do {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if (std::find(landable.begin(), landable.end(), c) == landable.end()) continue;
    if (c->CanFocus() && (!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

bool TWinControl::ShowingHandle() const { return FHandle && IsWindowVisible(FHandle); }

bool TWinControl::Showing() const {
  if (FHandle) return IsWindowVisible(FHandle);
  return false;
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || IsDestroying()) return;
  ++FAlignLevel;
  struct TLeave {
    Integer& L;
    ~TLeave() { --L; }
  } leave{FAlignLevel};
  TRect r = ClientRect();
  AlignControls(nullptr, r);
}

void TWinControl::DoAlign(TAlign AAlign, TRect& R) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (c->Align() != AAlign || !c->Visible()) continue;
    Integer w = c->Width(), h = c->Height();
    switch (AAlign) {
      case alTop: c->SetBounds(R.Left, R.Top, R.Right - R.Left, h); R.Top += h; break;
      case alBottom: c->SetBounds(R.Left, R.Bottom - h, R.Right - R.Left, h); R.Bottom -= h; break;
      case alLeft: c->SetBounds(R.Left, R.Top, w, R.Bottom - R.Top); R.Left += w; break;
      case alRight: c->SetBounds(R.Right - w, R.Top, w, R.Bottom - R.Top); R.Right -= w; break;
      case alClient: c->SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); break;
      default: break;
    }
  }
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, Rect);
}

void TWinControl::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (!FHandle) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    Realign();
    return;
  }
  if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) return;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  SetWindowPos(FHandle, 0, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  RequestAlign();
}

TRect TWinControl::ClientRect() const {
  if (!FHandle) return TControl::ClientRect();
  TRect r;
  GetClientRect(FHandle, r);
  return r;
}

TPoint TWinControl::ClientOrigin() const {
  if (!FHandle) return TControl::ClientOrigin();
  TPoint p{0, 0};
  ::ClientToScreen(FHandle, p);
  return p;
}

void TWinControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle, nullptr, true);
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintTo(HDC DC, Integer X, Integer Y) {
  if (!DC) return;
  Integer saved = SaveDC(DC);
  TPoint o;
  GetViewportOrgEx(DC, o);
  SetViewportOrgEx(DC, o.X + X, o.Y + Y, nullptr);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0, 0};
  WindowProc(erase);
  TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  WindowProc(paint);
  RestoreDC(DC, saved);
  for (TWinControl* c : FTabList)
    if (c->Visible()) c->PaintTo(DC, X + c->Left(), Y + c->Top());
}

void TWinControl::SetZOrder(bool TopMost) {
  if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (TopMost) list.push_back(this);
    else list.insert(list.begin(), this);
  }
  if (FHandle) SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Broadcast(TMessage& Message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* f = GetParentForm();
      if (f && !f->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState & csFocusing) return;
      break;
    case WM_NCHITTEST:
      TControl::WndProc(M);
      if (M.Result == HTTRANSPARENT && ControlAtPos(ScreenToClient(LParamToPoint(M.LParam)), false))
        M.Result = HTCLIENT;
      return;
    case WM_MOUSEMOVE: {
      TPoint p = LParamToPoint(M.LParam);
      if (PtInRect(ClientRect(), p) && !GetCaptureControl()) {
        TControl* c = ControlAtPos(p, false);
        SetMouseControl(c ? c : this);
      }
      break;
    }
    case WM_CANCELMODE:
      if (GCaptureControl && GCaptureControl->Parent() == this && GetCapture() == FHandle)
        GCaptureControl->Perform(WM_CANCELMODE);
      break;
    default:
      break;
  }
  if (IsMouseMsg(M.Msg) && IsControlMouseMsg(M)) {
    if (M.Result == 0 && FHandle) DefWindowProc(FHandle, M);
    return;
  }
  if (M.Msg >= WM_KEYFIRST && M.Msg <= WM_KEYLAST && TDragManager::Current()) {
    if (M.Msg == WM_KEYDOWN && M.WParam == VK_ESCAPE) CancelDrag();
    return;
  }
  TControl::WndProc(M);
}

bool TWinControl::IsControlMouseMsg(TMessage& M) {
  TControl* c = nullptr;
  if (FHandle && GetCapture() == FHandle) {
    if (GCaptureControl && GCaptureControl != this && GCaptureControl->Parent() == this) c = GCaptureControl;
  } else {
    c = ControlAtPos(LParamToPoint(M.LParam), false);
  }
  if (!c) return false;
  TPoint p = LParamToPoint(M.LParam);
  M.Result = c->Perform(M.Msg, M.WParam, MAKELPARAM(p.X - c->Left(), p.Y - c->Top()));
  return true;
}

void TWinControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: WMKeyDown(M); return;
    case WM_KEYUP: case WM_SYSKEYUP: WMKeyUp(M); return;
    case WM_CHAR: WMChar(M); return;
    case WM_SETFOCUS: WMSetFocus(M); return;
    case WM_KILLFOCUS: WMKillFocus(M); return;
    case WM_ERASEBKGND: WMEraseBkgnd(M); return;
    case WM_PAINT: PaintHandler(M); return;
    case WM_SIZE: WMSize(M); return;
    case WM_MOVE: WMMove(M); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(M); return;
    case WM_SETCURSOR: WMSetCursor(M); return;
    case WM_NCDESTROY: WMNCDestroy(M); return;
    case WM_MOUSELEAVE: WMMouseLeave(M); return;
    case WM_SYSCOLORCHANGE: WMSysColorChange(M); return;
    case CM_DIALOGKEY: CMDialogKey(M); return;
    case CM_DIALOGCHAR: CMDialogChar(M); return;
    case CM_ENTER: CMEnter(M); return;
    case CM_EXIT: CMExit(M); return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(M); return;
    case CN_KEYUP: case CN_SYSKEYUP: CNKeyUp(M); return;
    case CN_CHAR: case CN_SYSCHAR: CNChar(M); return;
    default: TControl::Dispatch(M); return;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (FHandle) DefWindowProc(FHandle, Message);
  else TControl::DefaultHandler(Message);
}

void TWinControl::PaintHandler(TMessage& M) {
  auto dc = reinterpret_cast<HDC>(M.WParam);
  if (!dc) return;
  PaintWindow(dc);
  PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  auto it = FControls.begin();
  if (First) it = std::find(FControls.begin(), FControls.end(), First);
  for (; it != FControls.end(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    TRect b = c->BoundsRect();
    if (!RectVisible(DC, b)) continue;
    Integer saved = SaveDC(DC);
    TPoint o;
    GetViewportOrgEx(DC, o);
    SetViewportOrgEx(DC, o.X + b.Left, o.Y + b.Top, nullptr);
    IntersectClipRect(DC, 0, 0, b.Right - b.Left, b.Bottom - b.Top);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

namespace {
TWinControl* PreviewForm(TWinControl* Self) {
  TCustomForm* f = GetParentForm(Self);
  return f && f != Self && f->KeyPreview() ? f : nullptr;
}
}  // namespace

bool TWinControl::DoKeyDown(TMessage& M) {
  TWMKey k(M);
  TShiftState shift = KeyDataToShiftState(M.LParam);
  if (TWinControl* f = PreviewForm(this); f && f->DoKeyDown(M)) return true;
  if (FControlStyle & csNoStdEvents) return false;
  Word key = k.CharCode();
  KeyDown(key, shift);
  k.SetCharCode(key);
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& M) {
  TWMKey k(M);
  TShiftState shift = KeyDataToShiftState(M.LParam);
  if (TWinControl* f = PreviewForm(this); f && f->DoKeyUp(M)) return true;
  if (FControlStyle & csNoStdEvents) return false;
  Word key = k.CharCode();
  KeyUp(key, shift);
  k.SetCharCode(key);
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& M) {
  TWMKey k(M);
  if (TWinControl* f = PreviewForm(this); f && f->DoKeyPress(M)) return true;
  if (FControlStyle & csNoStdEvents) return false;
  Char c = static_cast<Char>(k.CharCode());
  KeyPress(c);
  k.SetCharCode(c);
  return c == 0;
}

void TWinControl::WMKeyDown(TMessage& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}

void TWinControl::WMKeyUp(TMessage& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}

void TWinControl::WMChar(TMessage& M) {
  if (!DoKeyPress(M)) DefaultHandler(M);
}

void TWinControl::CNKeyDown(TMessage& M) {
  M.Result = 1;
  if (IsDesigning()) {
    M.Result = 0;
    return;
  }
  TCustomForm* f = GetParentForm();
  if (f && f->IsShortCut(M)) return;
  Word key = TWMKey(M).CharCode();
  if (Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT mask = 0;
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_EXECUTE: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, key) == 0) {
    LRESULT code = Perform(WM_GETDLGCODE);
    if ((code & mask) == 0 && (code & DLGC_WANTALLKEYS) == 0 && f && f->Perform(CM_DIALOGKEY, key, M.LParam) != 0)
      return;
  }
  M.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& M) { M.Result = 0; }

void TWinControl::CNChar(TMessage& M) {
  M.Result = 0;
  if (IsDesigning()) return;
  TCustomForm* f = GetParentForm();
  // Alt+character is the dialog's even in a control that takes characters.
  const bool alt = M.Msg == CN_SYSCHAR;
  if ((alt || (Perform(WM_GETDLGCODE) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) == 0) && f &&
      f->Perform(CM_DIALOGCHAR, M.WParam, M.LParam) != 0)
    M.Result = 1;
}

void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }
void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }

void TWinControl::WMEraseBkgnd(TMessage& M) {
  auto dc = reinterpret_cast<HDC>(M.WParam);
  if (dc && !(FControlStyle & csOpaque)) ::FillRect(dc, ClientRect(), FBrush->Handle());
  M.Result = 1;
}

void TWinControl::WMSize(TMessage& M) {
  DefaultHandler(M);
  Realign();
  if (!IsLoading()) Resize();
}

void TWinControl::WMMove(TMessage& M) { DefaultHandler(M); }

void TWinControl::WMWindowPosChanged(TMessage& M) {
  if (auto* wp = reinterpret_cast<TWindowPos*>(M.LParam)) SetBoundsQuiet(TRect{wp->x, wp->y, wp->x + wp->cx, wp->y + wp->cy});
  DefaultHandler(M);
}

void TWinControl::WMSetCursor(TMessage& M) {
  TWMSetCursor s(M);
  if (s.CursorWnd() == FHandle && s.HitTest() == HTCLIENT) {
    TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    if (cursor == crDefault) {
      TPoint p;
      GetCursorPos(p);
      TControl* c = ControlAtPos(ScreenToClient(p), false);
      cursor = c ? c->Cursor() : crDefault;
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(cursor));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMNCDestroy(TMessage& M) {
  DefaultHandler(M);
  ResetHandle();
}

void TWinControl::WMMouseLeave(TMessage& M) {
  if (GMouseControl && (GMouseControl == this || GMouseControl->Parent() == this)) SetMouseControl(nullptr);
  DefaultHandler(M);
}

void TWinControl::WMSysColorChange(TMessage& M) {
  Perform(CM_SYSCOLORCHANGE);
  DefaultHandler(M);
}

void TWinControl::CMSysColorChange(TMessage& M) {
  FBrush->SetColor(Color());  // a system colour's brush follows the table
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_SYSCOLORCHANGE);
  TControl::CMSysColorChange(M);
}

void TWinControl::CMVisibleChanged(TMessage& M) {
  if (FHandle) {
    bool show = Visible() && (!FParent || FParent->HandleAllocated());
    ShowWindow(FHandle, show ? SW_SHOWNA : SW_HIDE);
  } else if (Visible() && FParent && FParent->HandleAllocated()) {
    CreateHandle();
  }
  TControl::CMVisibleChanged(M);
}

void TWinControl::CMEnabledChanged(TMessage& M) {
  if (FHandle && !IsDesigning()) EnableWindow(FHandle, Enabled());
  TControl::CMEnabledChanged(M);
}

void TWinControl::CMColorChanged(TMessage& M) {
  FBrush->SetColor(Color());
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTCOLORCHANGED);
  TControl::CMColorChanged(M);
}

void TWinControl::CMFontChanged(TMessage& M) {
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTFONTCHANGED);
  TControl::CMFontChanged(M);
}

void TWinControl::CMTextChanged(TMessage& M) {
  if (FHandle) ::SetWindowText(FHandle, FText);
  TControl::CMTextChanged(M);
}

void TWinControl::UpdateBoundsRect(const TRect& R) { SetBoundsQuiet(R); }

void TWinControl::UpdateControlState() {
  if (FHandle) return;
  if (Visible() && FParent && FParent->HandleAllocated()) CreateHandle();
}

void TWinControl::ShowControl(TControl* AControl) {
  if (AControl) AControl->SetVisible(true);
}

void TWinControl::UpdateShowing() { FShowing = Showing(); }

void TWinControl::UpdateChildBounds() {}

// ---- TControlCanvas ------------------------------------------------------------------------

void TControlCanvas::Attach(HDC DC) {
  if (!DC) return;
  SetTarget(DC->Target());
  TPoint o;
  GetViewportOrgEx(DC, o);
  SetViewportOrgEx(this, o.X, o.Y, nullptr);
  GetWindowOrgEx(DC, o);
  SetWindowOrgEx(this, o.X, o.Y, nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(DC, rgn) == 1) SelectClipRgn(this, rgn);
  DeleteObject(rgn);
}

void TControlCanvas::AttachToWindow() {
  Release();
  if (!FControl) return;
  auto* w = dynamic_cast<TWinControl*>(FControl);
  TPoint offset{0, 0};
  if (!w) {
    w = FControl->Parent();
    offset = TPoint{FControl->Left(), FControl->Top()};
  }
  if (!w) return;
  HWND h = w->Handle();
  HDC dc = GetDC(h);
  if (!dc) return;
  Attach(dc);
  TPoint o;
  GetViewportOrgEx(this, o);
  SetViewportOrgEx(this, o.X + offset.X, o.Y + offset.Y, nullptr);
  if (FControl != w) IntersectClipRect(this, 0, 0, FControl->Width(), FControl->Height());
  ReleaseDC(h, dc);
  FWindowDC = h;
}

void TControlCanvas::Release() {
  if (FWindowDC && IsWindow(FWindowDC)) {
    HDC dc = GetDC(FWindowDC);  // shows what was drawn
    ReleaseDC(FWindowDC, dc);
  }
  FWindowDC = 0;
  SetTarget(nullptr);
}

// ---- TCustomControl ------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() {
  if (!FCanvas->Target() && HandleAllocated()) FCanvas->AttachToWindow();
  return FCanvas.get();
}

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->Release();
  FCanvas->Attach(DC);
  struct TLeave {
    TControlCanvas* C;
    ~TLeave() { C->SetTarget(nullptr); }
  } leave{FCanvas.get()};
  Paint();
}

// ---- TGraphicControl -----------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() {
  if (!FCanvas->Target() && FParent && FParent->HandleAllocated()) FCanvas->AttachToWindow();
  return FCanvas.get();
}

void TGraphicControl::Paint() {}

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg != WM_PAINT) {
    TControl::Dispatch(Message);
    return;
  }
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc) return;
  FCanvas->Release();
  FCanvas->Attach(dc);
  struct TLeave {
    TControlCanvas* C;
    ~TLeave() { C->SetTarget(nullptr); }
  } leave{FCanvas.get()};
  Paint();
}
