#pragma once
// Theme manager: one cached theme handle per theme class, opened on first
// use and closed when the theme changes; whether visual styles are active;
// and the theme-change notice to every live TqzThemeChangedNotificator.
//
// Painters that draw through the theme ask ThemeClassAvailable (one class)
// or ThemeClassesAvailable (a mask, or 0 for "visual styles at all") first,
// then use OpenThemeClass's handle with the wrappers of qzUxTheme.h. On this
// platform no theme is ever active, so they all answer no; theme changes are
// still delivered (NotifyThemeChanged).
#include "foundation/qzUxTheme.h"
#include "platform/gui/messages.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// Theme classes: indexes of the theme-class table; the comment gives each
// class's default name. A mask of classes has bit i for class i.
enum TqzThemeClass : Integer {
  thcButton,      // "Button"
  thcClock,       // "Clock"
  thcComboBox,    // "ComboBox"
  thcEdit,        // "Edit"
  thcExplorerBar, // "ExplorerBar"
  thcHeader,      // "Header"
  thcListView,    // "ListView"
  thcMenu,        // "Menu"
  thcPage,        // "Page"
  thcProgress,    // "Progress"
  thcRebar,       // "Rebar"
  thcScrollBar,   // "ScrollBar"
  thcSpin,        // "Spin"
  thcStartPanel,  // "StartPanel"
  thcStatus,      // "Status"
  thcTab,         // "Tab"
  thcTaskBand,    // "TaskBand"
  thcTaskBar,     // "TaskBar"
  thcToolBar,     // "ToolBar"
  thcToolTip,     // "ToolTip"
  thcTrackBar,    // "TrackBar"
  thcTrayNotify,  // "TrayNotify"
  thcTreeView,    // "TreeView"
  thcWindow,      // "Window"
};
inline constexpr Integer qzThemeClassCount = 24;
using TqzThemeClasses = Cardinal;
constexpr TqzThemeClasses ThemeClassBit(Integer AIndex) { return TqzThemeClasses(1) << AIndex; }

// One entry of the theme-class table.
struct TqzThemeData {
  HTHEME Theme = 0;
  String ClassName;  // the name the handle was opened with
};

// The default class name of a theme class ("" outside 0..23).
String ThemeClassDefaultName(Integer AIndex);

// Unit start-up and finalisation. The start-up runs by itself on first use
// (after qzUxTheme's); only when the theme library is loaded it reads the
// visual-styles-active flag and creates the receiver and the notificator
// list. Finalisation destroys the receiver (the flag becomes false), closes
// every theme class, frees the list (live notificators stay, unlisted) and
// clears the table's names. Initialize finalises a running unit first.
void qzThemeManagerInitialize();
void qzThemeManagerFinalize();

// Visual styles active, library loaded and OpenThemeClass(AIndex) opens.
bool ThemeClassAvailable(Integer AIndex);
// Visual styles active and library loaded; for a non-zero mask also every
// class in it (bits 0..23) opens.
bool ThemeClassesAvailable(TqzThemeClasses AMask);
// The theme handle of a class, opened on first use and cached. AClassName
// (nullptr: none) asks for the class under another name: a different name
// (ignoring case) closes the cached handle and opens that one. Without a
// name the cached handle is answered, else the class is opened under the
// last name it was opened with, else under its default name. 0 when visual
// styles are unavailable, the index is outside the table or opening fails
// (a failure forgets the cached name).
HTHEME OpenThemeClass(Integer AIndex, const Char* AClassName = nullptr);
// Without visual styles S_FALSE (1) and nothing happens. Else the class's
// handle is closed (when open), handle and name are cleared, and the close
// result is answered (S_OK when nothing was open). An index outside the
// table answers E_INVALIDARG.
HRESULT CloseThemeClass(Integer AIndex);
// Closes every open handle of the table; the names stay for reopening.
void CloseAllThemeClasses();

// Told when the user changes the theme. Joins the live list when created
// (only while the theme library is loaded) and leaves it when destroyed. A
// notificator destroyed during a notice is not called afterwards.
using TqzThemeChangedEvent = TEvent<void()>;

class TqzThemeChangedNotificator : public TObject {
  KORVANE_CLASS(TqzThemeChangedNotificator, TObject)
  TqzThemeChangedNotificator();
  ~TqzThemeChangedNotificator() override;
  TqzThemeChangedNotificator(const TqzThemeChangedNotificator&) = delete;
  TqzThemeChangedNotificator& operator=(const TqzThemeChangedNotificator&) = delete;

  TqzThemeChangedEvent OnThemeChanged;
};

// Hears the theme change for the whole program through a hidden window of
// its own (which gets WM_THEMECHANGED like every top-level window). Its
// window procedure handles WM_THEMECHANGED: every theme class is closed, the
// message goes on to DefWindowProc, the visual-styles-active flag is read
// again, Result becomes 0 and then the notificators are called first to
// last (those with an event). An exception raised on the way is handed to
// the application's handler. Other messages go to DefWindowProc.
class TqzThemeChangedEventReceiver : public TObject {
  KORVANE_CLASS(TqzThemeChangedEventReceiver, TObject)
  TqzThemeChangedEventReceiver();
  // Clears the visual-styles-active flag and frees the window.
  ~TqzThemeChangedEventReceiver() override;
  TqzThemeChangedEventReceiver(const TqzThemeChangedEventReceiver&) = delete;
  TqzThemeChangedEventReceiver& operator=(const TqzThemeChangedEventReceiver&) = delete;

  HWND Handle() const { return FWindow; }
  void WndProc(TMessage& Message);

private:
  HWND FWindow = 0;
};

// The receiver while the theme library is loaded, else nullptr.
TqzThemeChangedEventReceiver* ThemeChangedEventReceiver();
// Sends WM_THEMECHANGED to the receiver's window; nothing when there is no
// receiver. (Code that changes the look of the whole program may instead
// send it to every top-level window.)
void NotifyThemeChanged();
