#pragma once
// Menus: items in a tree (TMenuItem), the form's menu bar (TMainMenu) and
// context menus (TPopupMenu), with shortcut keys.
//
// An open menu is a borderless popup window listing the visible items of
// one level; it holds the mouse until an item is chosen or the user clicks
// outside. It forgets an item that is freed while it is open, so code run
// by an OnClick or OnPopup may rebuild the menu freely. A letter in an open
// menu chooses the item with that accelerator.
//
// A popup menu holds its caller: Popup returns once the menu has closed,
// after the chosen item's OnClick has run (nothing runs when the user
// dismissed it with Esc, a click outside or another menu). A menu bar's
// menu does not hold anything; its item's OnClick runs as it closes.
#include <memory>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/imagelist.h"

// Shortcut keys: the virtual key in the low byte, modifier flags above it.
using TShortCut = Word;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ctrl+F5", "Del", "Alt+Enter"; "" for none.
String ShortCutToText(TShortCut ShortCut);
// The reverse, case and modifier order ignored; 0 for a text it cannot read.
TShortCut TextToShortCut(const String& Text);

class TMenu;
class TMenuItem;

using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height)>;
using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;

class TMenuItem : public TComponent {
  KORVANE_CLASS(TMenuItem, TComponent)
  explicit TMenuItem(TComponent* AOwner);
  // Frees the sub-items and leaves the parent item.
  ~TMenuItem() override;

  // "&" marks the mnemonic letter ("&&" is an ampersand); "-" is a separator line.
  String Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool IsLine() const { return FCaption == u"-"; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value) { FImageIndex = Value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value) { FShortCut = Value; }
  String Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }

  // ---- Sub-items (owned by this item from Add / Insert on) ----
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  TMenuItem* Items(Integer Index) const { return FItems.at(static_cast<size_t>(Index)); }
  TMenuItem* Parent() const { return FParent; }
  // Raises EMenuError when the item already belongs to another item.
  void Add(TMenuItem* Item);
  void Insert(Integer Index, TMenuItem* Item);
  // Takes the item out (not freed).
  void Remove(TMenuItem* Item);
  // Frees the item at Index.
  void Delete(Integer Index);
  // Frees every sub-item.
  void Clear();
  Integer IndexOf(const TMenuItem* Item) const;
  // The sub-item with this caption ("&" ignored); nullptr when none.
  TMenuItem* Find(const String& ACaption) const;
  // The menu the item belongs to (nullptr: none yet).
  TMenu* GetParentMenu() const;

  // Runs OnClick (nothing for a disabled item); the handler may free the
  // item (and its menu and their owner).
  virtual void Click();

  TNotifyEvent OnClick;
  // Owner drawing (used when the item's menu has OwnerDraw set).
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

private:
  friend class TMenu;
  TMenu* FMenu = nullptr;  // set on the root item only
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  String FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  Integer FImageIndex = -1;
  TShortCut FShortCut = 0;
  String FHint;
};

class EMenuError : public Exception {
public:
  using Exception::Exception;
};

class TMenu : public TComponent {
  KORVANE_CLASS(TMenu, TComponent)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  // The root item: its sub-items are the menu's first level.
  TMenuItem* Items() const { return FItems.get(); }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
  // The visible, enabled item (in visible, enabled parents) with the
  // shortcut of a key-down message; nullptr when none.
  TMenuItem* FindItemByShortCut(TMessage& Message) const;
  // Clicks that item; answers whether there was one.
  bool IsShortCut(TMessage& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::unique_ptr<TMenuItem> FItems;
  TImageList* FImages = nullptr;
  bool FOwnerDraw = false;
};

// A form's menu bar (TCustomForm::SetMenu shows it along the form's top).
class TMainMenu : public TMenu {
  KORVANE_CLASS(TMainMenu, TMenu)
  using TMenu::TMenu;
};

enum TPopupAlignment : Integer { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
  KORVANE_CLASS(TPopupMenu, TMenu)
  explicit TPopupMenu(TComponent* AOwner);
  // Shows the menu at a screen point after OnPopup (which may change the
  // items) and runs a modal loop until it closes; the chosen item's OnClick
  // runs last, so it may free this menu, its owner and the control it was
  // shown for. Tests queue the user's part beforehand (testinput.h).
  virtual void Popup(Integer X, Integer Y);
  // The control the menu was last shown for by a right click.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  TPoint PopupPoint() const { return FPopupPoint; }
  // Shown by a right click on a control that names the menu.
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup(TObject* Sender);

private:
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
};

// The open menu window of the innermost level (nullptr: no menu is open),
// for tests and for code that must close menus.
TWinControl* OpenMenuWindow();
// Closes every open menu without choosing.
void CloseMenus();
// The items an open menu window lists, top to bottom (separators included).
std::vector<TMenuItem*> MenuWindowItems(TWinControl* Window);
// The rectangle of an item in its menu window's client coordinates (empty: not listed).
TRect MenuWindowItemRect(TWinControl* Window, TMenuItem* Item);

// The bar control that shows a main menu on a form (used by TCustomForm).
TCustomControl* CreateMenuBar(TWinControl* Form);
void SetMenuBarMenu(TCustomControl* Bar, TMainMenu* Menu);
TMainMenu* MenuBarMenu(TCustomControl* Bar);
// The rectangle of a first-level item on the bar (empty: not shown).
TRect MenuBarItemRect(TCustomControl* Bar, TMenuItem* Item);
// The highlighted title of a bar worked by keyboard or whose menu is open
// (nullptr: the bar is not in use). F10, or Alt pressed and released alone,
// in its form highlight the first title; Alt+letter opens the menu whose
// title has that accelerator; arrows go from title to title and item to
// item; Esc goes back a level.
TMenuItem* MenuBarHotItem(TCustomControl* Bar);
