#include "platform/gui/menus.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/hooks.h"
#include "platform/rtl/encoding.h"

// ---- Shortcuts ---------------------------------------------------------------------------

namespace {

struct TKeyName {
  Word Key;
  const char16_t* Name;
};

// Names of the keys that are not a letter or digit.
const TKeyName GKeyNames[] = {
    {VK_BACK, u"BkSp"},    {VK_TAB, u"Tab"},     {VK_RETURN, u"Enter"}, {VK_ESCAPE, u"Esc"},
    {VK_SPACE, u"Space"},  {VK_PRIOR, u"PgUp"},  {VK_NEXT, u"PgDn"},    {VK_END, u"End"},
    {VK_HOME, u"Home"},    {VK_LEFT, u"Left"},   {VK_UP, u"Up"},        {VK_RIGHT, u"Right"},
    {VK_DOWN, u"Down"},    {VK_INSERT, u"Ins"},  {VK_DELETE, u"Del"},   {VK_ADD, u"Num +"},
    {VK_SUBTRACT, u"Num -"}, {VK_MULTIPLY, u"Num *"}, {VK_DIVIDE, u"Num /"},
};

struct TModifierName {
  TShortCut Flag;
  const char16_t* Name;
};
const TModifierName GModifiers[] = {{scShift, u"Shift+"}, {scCtrl, u"Ctrl+"}, {scAlt, u"Alt+"}};

String Upper(String S) {
  for (Char& c : S)
    if (c >= u'a' && c <= u'z') c = static_cast<Char>(c - 32);
  return S;
}

String KeyName(Word Key) {
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return String(1, static_cast<Char>(Key));
  if (Key >= VK_F1 && Key <= VK_F12) return u"F" + UTF8ToString(std::to_string(Key - VK_F1 + 1));
  for (const TKeyName& k : GKeyNames)
    if (k.Key == Key) return k.Name;
  return {};
}

Word KeyOfName(const String& Name) {
  String up = Upper(Name);
  if (up.size() == 1 && ((up[0] >= u'A' && up[0] <= u'Z') || (up[0] >= u'0' && up[0] <= u'9'))) return up[0];
  for (Word f = VK_F1; f <= VK_F12; ++f)
    if (up == Upper(KeyName(f))) return f;
  for (const TKeyName& k : GKeyNames)
    if (up == Upper(k.Name)) return k.Key;
  return 0;
}

}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key > 0xFF) return 0;
  TShortCut r = Key;
  if (Shift & ssShift) r |= scShift;
  if (Shift & ssCtrl) r |= scCtrl;
  if (Shift & ssAlt) r |= scAlt;
  return r;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = ((ShortCut & scShift) ? ssShift : 0u) | ((ShortCut & scCtrl) ? ssCtrl : 0u) | ((ShortCut & scAlt) ? ssAlt : 0u);
}

String ShortCutToText(TShortCut ShortCut) {
  String name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return {};
  String r;
  for (const TModifierName& m : GModifiers)
    if (ShortCut & m.Flag) r += m.Name;
  return r + name;
}

TShortCut TextToShortCut(const String& Text) {
  String rest = Text;
  TShortCut mods = 0;
  for (bool found = true; found;) {
    found = false;
    for (const TModifierName& m : GModifiers) {
      String n = m.Name;
      if (rest.size() > n.size() && Upper(rest.substr(0, n.size())) == Upper(n)) {
        mods |= m.Flag;
        rest = rest.substr(n.size());
        found = true;
      }
    }
  }
  Word key = KeyOfName(rest);
  return key ? static_cast<TShortCut>(key | mods) : 0;
}

// ---- TMenuItem ---------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (FParent) FParent->Remove(this);
  Clear();
}

void TMenuItem::SetCaption(const String& Value) { FCaption = Value; }

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError(u"Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError(u"Menu index out of range");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
}

void TMenuItem::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) throw EMenuError(u"Menu index out of range");
  Items(Index)->Free();  // leaves FItems itself
}

void TMenuItem::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<Integer>(it - FItems.begin());
}

namespace {
String StripHotKey(const String& S) {
  String r;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == u'&' && i + 1 < S.size()) ++i;
    r += S[i];
  }
  return r;
}
}  // namespace

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  String want = Upper(StripHotKey(ACaption));
  for (TMenuItem* i : FItems)
    if (Upper(StripHotKey(i->FCaption)) == want) return i;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent) i = i->FParent;
  return i->FMenu;
}

void TMenuItem::Click() {
  if (!FEnabled || !OnClick) return;
  const TNotifyEvent handler = OnClick;  // lives on when the handler frees this item
  handler(this);
}

// ---- TMenu -------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
}

TMenu::~TMenu() {
  FItems.reset();  // open windows of this menu hear it and close
}

void TMenu::SetImages(TImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

namespace {
TMenuItem* FindShortCut(TMenuItem* Level, TShortCut Key) {
  for (Integer i = 0; i < Level->Count(); ++i) {
    TMenuItem* item = Level->Items(i);
    if (!item->Visible() || !item->Enabled()) continue;
    if (item->ShortCut() == Key) return item;
    if (TMenuItem* inner = FindShortCut(item, Key)) return inner;
  }
  return nullptr;
}
}  // namespace

TMenuItem* TMenu::FindItemByShortCut(TMessage& Message) const {
  TShiftState shift = KeyDataToShiftState(Message.LParam) & (ssShift | ssCtrl | ssAlt);
  TShortCut key = ShortCut(TWMKey(Message).CharCode(), shift);
  return key ? FindShortCut(FItems.get(), key) : nullptr;
}

bool TMenu::IsShortCut(TMessage& Message) {
  TMenuItem* item = FindItemByShortCut(Message);
  if (!item) return false;
  item->Click();
  return true;
}

// ---- The open menu windows ---------------------------------------------------------------

namespace {

constexpr Integer RowHeight = 20;        // a text row
constexpr Integer LineRowHeight = 9;     // a separator
constexpr Integer GutterWidth = 24;      // check mark or image left of the text
constexpr Integer ShortCutGap = 24;      // between caption and shortcut
constexpr Integer ArrowWidth = 16;       // sub-menu arrow at the right
constexpr Integer MenuBarHeight = 20;
constexpr Integer MenuBarItemPadding = 8;  // left and right of a caption on the bar
constexpr UINT MenuKeyMessage = WM_USER + 1;  // a key for the open menus, posted to the root menu window

class TMenuWindow;
std::vector<TMenuWindow*> GOpen;  // root first
HHOOK GKeyHook = 0;               // takes the keys while a menu is open
LRESULT MenuKeyHook(Integer Code, WPARAM WParam, LPARAM LParam);

// One showing of a popup menu, held by TPopupMenu::Popup while its modal
// loop runs. It ends when the open levels close (an item chosen, Esc, a
// click outside, another menu opening, the menu freed); the chosen item is
// remembered until Popup clicks it, and forgotten if it is freed meanwhile.
class TMenuSession : public TComponent {
public:
  TMenuSession() : TComponent(nullptr) {}
  bool Ended() const { return FEnded; }
  TMenuItem* Chosen() const { return FChosen; }
  void End() { FEnded = true; }
  void Choose(TMenuItem* Item) {
    if (FChosen) FChosen->RemoveFreeNotification(this);
    FChosen = Item;
    if (Item) Item->FreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FChosen) FChosen = nullptr;
  }

private:
  bool FEnded = false;
  TMenuItem* FChosen = nullptr;
};

// The session whose levels are open now (nullptr: none, or a menu of a bar).
TMenuSession* GSession = nullptr;

// The menu bar of a form is worked by keyboard too: F10, or Alt pressed and
// released alone, highlights its first title (the bar's keyboard mode);
// Alt+letter opens the menu whose title has that accelerator. The bar in
// keyboard mode, or whose menu is open, is GBar; GBarHot its highlighted
// title. Arrows then go from title to title, also with a menu open.
class TMenuBar;
TMenuBar* GBar = nullptr;
Integer GBarHot = -1;
void LeaveBar();
// Opens the menu of a title of the bar (Keyboard: its first item
// highlighted); a title without items is clicked.
void OpenBarTitle(TMenuBar* Bar, Integer Title, bool Keyboard);
// The enabled title to the left (-1) or right (1) of From, wrapping around.
Integer NextBarTitle(TMenuBar* Bar, Integer From, Integer Step);
// The enabled title under a screen point (-1: none).
Integer BarTitleAt(TMenuBar* Bar, const TPoint& Screen);

// The accelerator of a caption: the letter after a single "&", upper case (0: none).
Char AcceleratorOf(const String& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != u'&') continue;
    if (Caption[i + 1] == u'&') {
      ++i;
      continue;
    }
    Char c = Caption[i + 1];
    return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c;
  }
  return 0;
}

// One level of an open menu: a borderless popup that lists the visible
// items of Level and forgets items freed meanwhile.
class TMenuWindow : public TCustomForm {
public:
  TMenuWindow(TMenu* AMenu, TMenuItem* ALevel) : TCustomForm(nullptr), FMenu(AMenu), FLevel(ALevel) {
    SetBorderStyle(bsNone);
    SetNoActivate(true);
    SetFormStyle(fsStayOnTop);
    SetColor(clMenu);
    FMenu->FreeNotification(this);
    FLevel->FreeNotification(this);
    for (Integer i = 0; i < ALevel->Count(); ++i) {
      TMenuItem* item = ALevel->Items(i);
      if (!item->Visible()) continue;
      FRows.push_back(item);
      item->FreeNotification(this);
    }
  }
  const std::vector<TMenuItem*>& Rows() const { return FRows; }
  TMenuItem* Level() const { return FLevel; }

  TRect RowRect(Integer Row) {
    Integer y = 0;
    for (Integer i = 0; i < Row; ++i) y += RowSize(FRows[static_cast<size_t>(i)]).cy;
    return TRect{0, y, ClientWidth(), y + RowSize(FRows[static_cast<size_t>(Row)]).cy};
  }

  // Places the window at a screen point, kept on the monitor.
  void ShowAt(Integer X, Integer Y, Integer FlipX) {
    Integer w = 60, h = 0;
    for (TMenuItem* i : FRows) {
      TSize s = RowSize(i);
      w = std::max(w, s.cx);
      h += s.cy;
    }
    h = std::max(h, 4);
    TRect area = MonitorWorkAreaAt(TPoint{X, Y});
    if (X + w > area.Right) X = std::max(area.Left, FlipX - w);
    if (Y + h > area.Bottom) Y = std::max(area.Top, Y - h);
    SetBounds(X, Y, w, h);
    Show();
  }

  Integer RowAt(const TPoint& Client) {
    if (!PtInRect(ClientRect(), Client)) return -1;
    for (Integer i = 0; i < static_cast<Integer>(FRows.size()); ++i)
      if (PtInRect(RowRect(i), Client)) return i;
    return -1;
  }

  void SetHot(Integer Row) {
    if (FHot == Row) return;
    FHot = Row;
    Invalidate();
  }
  Integer Hot() const { return FHot; }
  // Moves the highlight to the next (Step 1) or previous (-1) item that can
  // be chosen, wrapping around.
  void StepHot(Integer Step) {
    Integer n = static_cast<Integer>(FRows.size()), row = FHot;
    for (Integer i = 0; i < n; ++i) {
      row = row < 0 ? (Step > 0 ? 0 : n - 1) : (row + Step + n) % n;
      TMenuItem* item = FRows[static_cast<size_t>(row)];
      if (!item->IsLine() && item->Enabled()) {
        SetHot(row);
        return;
      }
    }
  }

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void PaintWindow(HDC DC) override;
  void Dispatch(TMessage& M) override;

private:
  TSize RowSize(TMenuItem* Item) {
    if (Item->IsLine()) return TSize{0, LineRowHeight};
    TCanvas measure;
    measure.Font()->Assign(Screen ? Screen->MenuFont() : Font());
    Integer w = GutterWidth + measure.TextWidth(StripHotKey(Item->Caption())) + ArrowWidth + 8;
    if (Item->ShortCut()) w += ShortCutGap + measure.TextWidth(ShortCutToText(Item->ShortCut()));
    Integer h = RowHeight;
    if (FMenu->OwnerDraw() && Item->OnMeasureItem) Item->OnMeasureItem(Item, &measure, w, h);
    return TSize{w, h};
  }
  void PaintRow(HDC DC, TMenuItem* Item, const TRect& R, bool Hot);

  TMenu* FMenu;
  TMenuItem* FLevel;
  std::vector<TMenuItem*> FRows;
  Integer FHot = -1;
};

void CloseFrom(size_t Depth) {
  while (GOpen.size() > Depth) {
    TMenuWindow* w = GOpen.back();
    GOpen.pop_back();
    if (w->HandleAllocated() && GetCapture() == w->Handle()) ReleaseCapture();
    w->Hide();
    w->Release();  // freed once its own messages are done
  }
  if (!GOpen.empty() && GOpen.front()->HandleAllocated()) SetCapture(GOpen.front()->Handle());
  if (GOpen.empty() && GKeyHook) {
    UnhookWindowsHookEx(GKeyHook);
    GKeyHook = 0;
  }
  if (GOpen.empty() && GSession) {
    GSession->End();  // its loop returns
    GSession = nullptr;
  }
}

size_t DepthOf(const TMenuWindow* W) {
  auto it = std::find(GOpen.begin(), GOpen.end(), W);
  return it == GOpen.end() ? GOpen.size() : static_cast<size_t>(it - GOpen.begin());
}

TMenuWindow* OpenLevel(TMenu* Menu, TMenuItem* Level, Integer X, Integer Y, Integer FlipX) {
  if (!GKeyHook) GKeyHook = SetWindowsHookEx(WH_GETMESSAGE, &MenuKeyHook);
  auto* w = new TMenuWindow(Menu, Level);
  GOpen.push_back(w);
  w->ShowAt(X, Y, FlipX);
  SetCapture(GOpen.front()->Handle());
  return w;
}

bool HasVisibleItems(TMenuItem* Item) {
  for (Integer i = 0; i < Item->Count(); ++i)
    if (Item->Items(i)->Visible()) return true;
  return false;
}

void TMenuWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomForm::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMenu || AComponent == FLevel) {
    FMenu = nullptr;
    CloseFrom(std::min(DepthOf(this), GOpen.size()));
    return;
  }
  auto it = std::find(FRows.begin(), FRows.end(), AComponent);
  if (it == FRows.end()) return;
  FRows.erase(it);
  FHot = -1;
  CloseFrom(DepthOf(this) + 1);  // a sub-menu may have been the item's
  Invalidate();
}

void TMenuWindow::PaintWindow(HDC DC) {
  DC->Brush()->SetColor(clMenu);
  DC->Brush()->SetStyle(bsSolid);
  DC->FillRect(ClientRect());
  for (Integer i = 0; i < static_cast<Integer>(FRows.size()); ++i)
    PaintRow(DC, FRows[static_cast<size_t>(i)], RowRect(i), i == FHot);
  TRect frame = ClientRect();
  DrawEdge(DC, frame, EDGE_RAISED, BF_RECT);
}

void TMenuWindow::PaintRow(HDC DC, TMenuItem* Item, const TRect& R, bool Hot) {
  if (FMenu && FMenu->OwnerDraw() && Item->OnDrawItem) {
    Item->OnDrawItem(Item, DC, R, Hot);
    return;
  }
  if (Item->IsLine()) {
    TRect line{R.Left + 2, R.Top + LineRowHeight / 2 - 1, R.Right - 2, R.Top + LineRowHeight / 2 + 1};
    DrawEdge(DC, line, EDGE_ETCHED, BF_TOP);
    return;
  }
  bool enabled = Item->Enabled();
  if (Hot && enabled) {
    DC->Brush()->SetColor(clHighlight);
    DC->FillRect(R);
  }
  TImageList* images = FMenu ? FMenu->Images() : nullptr;
  if (images && Item->ImageIndex() >= 0 && Item->ImageIndex() < images->Count()) {
    images->Draw(DC, R.Left + (GutterWidth - images->Width()) / 2, R.Top + (R.Bottom - R.Top - images->Height()) / 2,
                 Item->ImageIndex(), enabled);
  } else if (Item->Checked()) {
    TRect mark{R.Left + 5, R.Top + 3, R.Left + 5 + 13, R.Top + 3 + 13};
    DrawGlyph(DC, mark, gkCheckBox, gsChecked | gsFlat);
  }
  DC->Font()->Assign(Screen ? Screen->MenuFont() : Font());
  DC->Font()->SetColor(!enabled ? clGrayText : Hot ? clHighlightText : clMenuText);
  DC->Brush()->SetStyle(bsClear);
  TRect text{R.Left + GutterWidth, R.Top, R.Right - ArrowWidth, R.Bottom};
  DC->Realize();  // the text calls through the handle use the context's colours
  ::DrawText(DC, Item->Caption(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if (Item->ShortCut()) ::DrawText(DC, ShortCutToText(Item->ShortCut()), text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (HasVisibleItems(Item))
    DrawGlyph(DC, TRect{R.Right - ArrowWidth, R.Top + 4, R.Right - 4, R.Bottom - 4}, gkArrowRight, enabled ? 0u : gsInactive);
  DC->Brush()->SetStyle(bsSolid);
}

// Mouse input of any open level arrives at the root (which holds the
// capture): find the level under the screen point and act there.
// Acts on a row of an open level: opens the sub-menu of an item that has
// one; otherwise closes deeper levels, and with Choose closes the menus and
// clicks the item.
void ActOnRow(TMenuWindow* Over, Integer Row, bool Choose) {
  TMenuItem* item = Over->Rows()[static_cast<size_t>(Row)];
  if (item->IsLine() || !item->Enabled()) return;
  size_t depth = DepthOf(Over);
  if (HasVisibleItems(item)) {
    if (GOpen.size() > depth + 1 && GOpen[depth + 1]->Level() == item) return;
    CloseFrom(depth + 1);
    TRect r = Over->RowRect(Row);
    TPoint tl = Over->ClientToScreen(TPoint{r.Right, r.Top});
    OpenLevel(item->GetParentMenu(), item, tl.X - 2, tl.Y, Over->ClientToScreen(TPoint{0, 0}).X);
    return;
  }
  if (!Choose) {
    CloseFrom(depth + 1);
    return;
  }
  if (GSession) {  // a popup menu: its Popup clicks the item once its loop is over
    GSession->Choose(item);
    CloseMenus();
    return;
  }
  CloseMenus();
  item->Click();
}

void MenuMouse(UINT Msg, const TPoint& Screen) {
  TMenuWindow* over = nullptr;
  Integer row = -1;
  for (auto it = GOpen.rbegin(); it != GOpen.rend() && !over; ++it) {
    Integer r = (*it)->RowAt((*it)->ScreenToClient(Screen));
    if (r >= 0 || PtInRect((*it)->ClientRect(), (*it)->ScreenToClient(Screen))) over = *it, row = r;
  }
  if (!over) {
    // Over the bar whose menu is open: another title opens its menu (moving
    // there is enough).
    const Integer title = GBar ? BarTitleAt(GBar, Screen) : -1;
    if (title >= 0 && title != GBarHot && (Msg == WM_MOUSEMOVE || Msg == WM_LBUTTONDOWN)) {
      OpenBarTitle(GBar, title, false);
      return;
    }
    if (Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN) CloseMenus();
    return;
  }
  over->SetHot(row);
  if (row >= 0 && (Msg == WM_MOUSEMOVE || Msg == WM_LBUTTONUP)) ActOnRow(over, row, Msg == WM_LBUTTONUP);
}

// While a menu is open the keyboard is the menu's: the keys never reach
// the focused control (nor the form's default and cancel buttons).
void MenuKey(Word Key) {
  if (GOpen.empty()) return;
  TMenuWindow* w = GOpen.back();
  TMenuItem* hot = w->Hot() >= 0 ? w->Rows()[static_cast<size_t>(w->Hot())] : nullptr;
  const bool fromBar = GBar && DepthOf(w) == 0;  // the level dropped from a bar title
  switch (Key) {
    case VK_ESCAPE:
      CloseFrom(GOpen.size() - 1);  // the last level of a bar's menu: its title stays highlighted
      return;
    case VK_MENU: case VK_F10: CloseMenus(); return;
    case VK_LEFT:
      if (fromBar) OpenBarTitle(GBar, NextBarTitle(GBar, GBarHot, -1), true);
      else if (GOpen.size() > 1) CloseFrom(GOpen.size() - 1);
      return;
    case VK_UP: case VK_DOWN: w->StepHot(Key == VK_DOWN ? 1 : -1); return;
    case VK_RIGHT: case VK_RETURN:
      if (hot && (Key == VK_RETURN || HasVisibleItems(hot))) {
        ActOnRow(w, w->Hot(), Key == VK_RETURN);
        if (!GOpen.empty() && GOpen.back() != w) GOpen.back()->StepHot(1);  // a sub-menu opened: its first item
      } else if (Key == VK_RIGHT && GBar) {
        OpenBarTitle(GBar, NextBarTitle(GBar, GBarHot, 1), true);
      }
      return;
    default: break;
  }
  // A letter or digit chooses the item with that accelerator.
  if (!((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))) return;
  for (Integer row = 0; row < static_cast<Integer>(w->Rows().size()); ++row) {
    TMenuItem* item = w->Rows()[static_cast<size_t>(row)];
    if (item->IsLine() || !item->Enabled() || AcceleratorOf(item->Caption()) != Key) continue;
    w->SetHot(row);
    ActOnRow(w, row, true);
    if (!GOpen.empty() && GOpen.back() != w) GOpen.back()->StepHot(1);
    return;
  }
}

LRESULT MenuKeyHook(Integer Code, WPARAM WParam, LPARAM LParam) {
  auto* msg = reinterpret_cast<TMsg*>(LParam);
  if (Code == HC_ACTION && msg && !GOpen.empty() && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)
      PostMessage(GOpen.front()->Handle(), MenuKeyMessage, msg->wParam, 0);
    msg->message = WM_NULL;  // dropped
    return 0;
  }
  return CallNextHookEx(GKeyHook, Code, WParam, LParam);
}

void TMenuWindow::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
      if (DepthOf(this) < GOpen.size()) MenuMouse(M.Msg, ClientToScreen(LParamToPoint(M.LParam)));
      return;
    case MenuKeyMessage: MenuKey(static_cast<Word>(M.WParam)); return;
    case WM_CANCELMODE: case WM_CAPTURECHANGED:
      if (M.Msg == WM_CANCELMODE || (!GOpen.empty() && GOpen.front() == this && static_cast<HWND>(M.LParam) == 0))
        if (DepthOf(this) < GOpen.size()) CloseMenus();
      return;
    default: TCustomForm::Dispatch(M); return;
  }
}

// Shows a control's popup menu on a right click.
bool ShowControlPopupMenu(TComponent* Menu, TControl* Control, const TPoint& ScreenPos) {
  auto* popup = dynamic_cast<TPopupMenu*>(Menu);
  if (!popup || !popup->AutoPopup()) return false;
  popup->SetPopupComponent(Control);
  popup->Popup(ScreenPos.X, ScreenPos.Y);
  return true;
}

}  // namespace

TWinControl* OpenMenuWindow() { return GOpen.empty() ? nullptr : GOpen.back(); }

void CloseMenus() {
  CloseFrom(0);
  LeaveBar();
}

std::vector<TMenuItem*> MenuWindowItems(TWinControl* Window) {
  auto* w = dynamic_cast<TMenuWindow*>(Window);
  return w ? w->Rows() : std::vector<TMenuItem*>{};
}

TRect MenuWindowItemRect(TWinControl* Window, TMenuItem* Item) {
  auto* w = dynamic_cast<TMenuWindow*>(Window);
  if (!w) return {};
  auto it = std::find(w->Rows().begin(), w->Rows().end(), Item);
  return it == w->Rows().end() ? TRect{} : w->RowRect(static_cast<Integer>(it - w->Rows().begin()));
}

// ---- TPopupMenu --------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) { SetPopupMenuHandler(&ShowControlPopupMenu); }

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(Integer X, Integer Y) {
  CloseMenus();  // another menu's loop ends (it returns once this one has)
  FPopupPoint = TPoint{X, Y};
  DoPopup(this);
  if (!HasVisibleItems(Items())) return;
  auto session = std::make_unique<TMenuSession>();
  {
    // Ends the session on every way out (an exception of a handler included).
    struct TEndSession {
      TMenuSession* Session;
      ~TEndSession() {
        if (Session->Ended()) return;
        CloseMenus();
        if (GSession == Session) GSession = nullptr;
      }
    } end{session.get()};
    GSession = session.get();
    TMenuWindow* w = OpenLevel(this, Items(), X, Y, X);
    if (FAlignment != paLeft) {
      Integer dx = FAlignment == paRight ? w->Width() : w->Width() / 2;
      w->SetLeft(w->Left() - dx);
    }
    Application->RunModalLoop([&] { return session->Ended(); });
  }
  // This menu, its owner and the control it was shown for may all be gone
  // by now (freed while the menu was open); only locals are used from here.
  TMenuItem* chosen = session->Chosen();
  session.reset();
  if (chosen) chosen->Click();
}

// ---- The menu bar ------------------------------------------------------------------------

namespace {

std::vector<TMenuBar*> GBars;  // every bar: the keys of their forms are watched
HHOOK GBarHook = 0;
bool GAltAlone = false;  // Alt is down and no other key came since
LRESULT BarKeyHook(Integer Code, WPARAM WParam, LPARAM LParam);

class TMenuBar : public TCustomControl {
public:
  explicit TMenuBar(TComponent* AOwner) : TCustomControl(AOwner) {
    SetAlign(alTop);
    SetHeight(MenuBarHeight);
    SetParentColor(false);
    SetColor(clBtnFace);
    SetVisible(false);
    GBars.push_back(this);
    if (!GBarHook) GBarHook = SetWindowsHookEx(WH_GETMESSAGE, &BarKeyHook);
  }
  ~TMenuBar() override {
    if (GBar == this) CloseMenus();
    GBars.erase(std::find(GBars.begin(), GBars.end(), this));
    if (GBars.empty() && GBarHook) {
      UnhookWindowsHookEx(GBarHook);
      GBarHook = 0;
    }
  }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value) {
    if (GBar == this) CloseMenus();
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (Value) Value->FreeNotification(this);
    SetVisible(Value != nullptr);
    Invalidate();
  }
  std::vector<std::pair<TMenuItem*, TRect>> Layout() {
    std::vector<std::pair<TMenuItem*, TRect>> r;
    if (!FMenu) return r;
    TCanvas measure;
    measure.Font()->Assign(Screen ? Screen->MenuFont() : Font());
    Integer x = 0;
    for (Integer i = 0; i < FMenu->Items()->Count(); ++i) {
      TMenuItem* item = FMenu->Items()->Items(i);
      if (!item->Visible()) continue;
      Integer w = measure.TextWidth(StripHotKey(item->Caption())) + 2 * MenuBarItemPadding;
      r.push_back({item, TRect{x, 0, x + w, ClientHeight()}});
      x += w;
    }
    return r;
  }
  // The bar answers the keys of its form: it shows a menu and can be used.
  bool Usable() {
    return FMenu && Visible() && HandleAllocated() && IsWindowVisible(Handle()) && IsWindowEnabled(Handle());
  }
  // The enabled title whose caption has this accelerator (-1: none).
  Integer TitleOfAccelerator(Char Key) {
    if (!((Key >= u'A' && Key <= u'Z') || (Key >= u'0' && Key <= u'9'))) return -1;
    const auto titles = Layout();
    for (size_t i = 0; i < titles.size(); ++i)
      if (titles[i].first->Enabled() && AcceleratorOf(titles[i].first->Caption()) == Key) return static_cast<Integer>(i);
    return -1;
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenu) {
      if (GBar == this) CloseMenus();
      FMenu = nullptr;
      SetVisible(false);
    }
  }

protected:
  void Paint() override {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Font()->Assign(Screen ? Screen->MenuFont() : Font());
    c->Brush()->SetStyle(bsClear);
    Integer index = 0;
    for (auto& [item, r] : Layout()) {
      const bool hot = GBar == this && index++ == GBarHot;
      if (hot) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clHighlight);
        c->FillRect(r);
        c->Brush()->SetStyle(bsClear);
      }
      c->Font()->SetColor(!item->Enabled() ? clGrayText : hot ? clHighlightText : clMenuText);
      TRect t = r;
      c->Realize();
      ::DrawText(c->Handle(), item->Caption(), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    c->Brush()->SetStyle(bsSolid);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const auto titles = Layout();
    for (size_t i = 0; i < titles.size(); ++i) {
      if (!PtInRect(titles[i].second, TPoint{X, Y}) || !titles[i].first->Enabled()) continue;
      SetMouseCapture(false);
      OpenBarTitle(this, static_cast<Integer>(i), false);
      return;
    }
    if (GBar == this) LeaveBar();
  }
  void Dispatch(TMessage& M) override {
    if (M.Msg == MenuKeyMessage) {
      if (GBar == this && GOpen.empty()) BarKey(static_cast<Word>(M.WParam));
      return;
    }
    TCustomControl::Dispatch(M);
  }

private:
  // A key in keyboard mode (no menu open).
  void BarKey(Word Key) {
    switch (Key) {
      case VK_LEFT: case VK_RIGHT:
        GBarHot = NextBarTitle(this, GBarHot, Key == VK_RIGHT ? 1 : -1);
        Invalidate();
        return;
      case VK_DOWN: case VK_UP: case VK_RETURN: OpenBarTitle(this, GBarHot, true); return;
      case VK_ESCAPE: case VK_MENU: case VK_F10: LeaveBar(); return;
      default: break;
    }
    if (Integer title = TitleOfAccelerator(static_cast<Char>(Key)); title >= 0) OpenBarTitle(this, title, true);
  }

  TMainMenu* FMenu = nullptr;
};

void LeaveBar() {
  GAltAlone = false;
  if (!GBar) return;
  TMenuBar* bar = GBar;
  GBar = nullptr;
  GBarHot = -1;
  bar->Invalidate();
}

Integer NextBarTitle(TMenuBar* Bar, Integer From, Integer Step) {
  const auto titles = Bar->Layout();
  const auto n = static_cast<Integer>(titles.size());
  Integer i = From;
  for (Integer k = 0; k < n; ++k) {
    i = i < 0 ? (Step > 0 ? 0 : n - 1) : (i + Step + n) % n;
    if (titles[static_cast<size_t>(i)].first->Enabled()) return i;
  }
  return From;
}

Integer BarTitleAt(TMenuBar* Bar, const TPoint& Screen) {
  if (!Bar->HandleAllocated()) return -1;
  const TPoint p = Bar->ScreenToClient(Screen);
  const auto titles = Bar->Layout();
  for (size_t i = 0; i < titles.size(); ++i)
    if (PtInRect(titles[i].second, p) && titles[i].first->Enabled()) return static_cast<Integer>(i);
  return -1;
}

void OpenBarTitle(TMenuBar* Bar, Integer Title, bool Keyboard) {
  const auto titles = Bar->Layout();
  if (Title < 0 || Title >= static_cast<Integer>(titles.size())) return;
  auto [item, r] = titles[static_cast<size_t>(Title)];
  CloseFrom(0);
  if (GBar && GBar != Bar) LeaveBar();
  GBar = Bar;
  GBarHot = Title;
  Bar->Invalidate();
  if (!HasVisibleItems(item)) {
    LeaveBar();
    item->Click();
    return;
  }
  TPoint at = Bar->ClientToScreen(TPoint{r.Left, r.Bottom});
  TMenuWindow* w = OpenLevel(Bar->Menu(), item, at.X, at.Y, at.X);
  if (Keyboard) w->StepHot(1);
}

void EnterBar(TMenuBar* Bar) {
  CloseMenus();
  GBar = Bar;
  GBarHot = NextBarTitle(Bar, -1, 1);
  Bar->Invalidate();
}

// The usable bar of the form that holds the window (an MDI child's keys
// reach the frame's bar).
TMenuBar* BarFor(HWND Wnd) {
  for (TWinControl* c = TWinControl::FindControl(Wnd); c; c = c->Parent())
    for (TMenuBar* bar : GBars)
      if (bar->Parent() == c && bar->Usable()) return bar;
  return nullptr;
}

bool IsButtonDown(UINT Msg) {
  return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN || Msg == WM_LBUTTONDBLCLK ||
         Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK;
}

// Watches the keys of forms with a menu bar: F10, Alt alone and Alt+letter
// enter the bar; in keyboard mode every key is the bar's. The keys of an
// open menu are MenuKeyHook's.
LRESULT BarKeyHook(Integer Code, WPARAM WParam, LPARAM LParam) {
  auto* msg = reinterpret_cast<TMsg*>(LParam);
  if (Code != HC_ACTION || !msg || !GOpen.empty()) return CallNextHookEx(GBarHook, Code, WParam, LParam);
  const UINT m = msg->message;
  const bool down = m == WM_KEYDOWN || m == WM_SYSKEYDOWN, up = m == WM_KEYUP || m == WM_SYSKEYUP;
  if (GBar) {
    if (IsButtonDown(m) && TWinControl::FindControl(msg->hwnd) != GBar) LeaveBar();  // a click elsewhere ends it
    if (m < WM_KEYFIRST || m > WM_KEYLAST) return CallNextHookEx(GBarHook, Code, WParam, LParam);
    if (down && GBar->HandleAllocated()) PostMessage(GBar->Handle(), MenuKeyMessage, msg->wParam, 0);
    msg->message = WM_NULL;
    return 0;
  }
  const auto key = static_cast<Word>(msg->wParam);
  if (down && key == VK_MENU) {
    GAltAlone = true;
  } else if (up && key == VK_MENU) {
    const bool alone = GAltAlone;
    GAltAlone = false;
    if (TMenuBar* bar = alone ? BarFor(msg->hwnd) : nullptr) EnterBar(bar);
  } else if (down) {
    GAltAlone = false;
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0, shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool f10 = key == VK_F10 && !ctrl && !shift;
    TMenuBar* bar = f10 || (m == WM_SYSKEYDOWN && !ctrl) ? BarFor(msg->hwnd) : nullptr;
    const Integer title = bar && !f10 ? bar->TitleOfAccelerator(static_cast<Char>(key)) : -1;
    if (bar && (f10 || title >= 0)) {
      if (f10) EnterBar(bar);
      else OpenBarTitle(bar, title, true);
      msg->message = WM_NULL;
      return 0;
    }
  }
  return CallNextHookEx(GBarHook, Code, WParam, LParam);
}

}  // namespace

TCustomControl* CreateMenuBar(TWinControl* Form) {
  auto* bar = new TMenuBar(Form);
  bar->SetParent(Form);
  return bar;
}

void SetMenuBarMenu(TCustomControl* Bar, TMainMenu* Menu) {
  if (auto* b = dynamic_cast<TMenuBar*>(Bar)) b->SetMenu(Menu);
}

TMainMenu* MenuBarMenu(TCustomControl* Bar) {
  auto* b = dynamic_cast<TMenuBar*>(Bar);
  return b ? b->Menu() : nullptr;
}

TRect MenuBarItemRect(TCustomControl* Bar, TMenuItem* Item) {
  auto* b = dynamic_cast<TMenuBar*>(Bar);
  if (!b) return {};
  for (auto& [item, r] : b->Layout())
    if (item == Item) return r;
  return {};
}

TMenuItem* MenuBarHotItem(TCustomControl* Bar) {
  auto* b = dynamic_cast<TMenuBar*>(Bar);
  if (!b || GBar != b) return nullptr;
  const auto titles = b->Layout();
  return GBarHot >= 0 && GBarHot < static_cast<Integer>(titles.size()) ? titles[static_cast<size_t>(GBarHot)].first : nullptr;
}
