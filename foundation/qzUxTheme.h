#pragma once
// Binding of the visual-styles library: the library is optional, so its
// entry points are looked up by name when the unit starts and every caller
// asks the theme manager (qzThemeManager.h) whether a theme class is
// available before it uses a wrapper below.
//
// This platform has no native theme engine. The library it binds is a small
// service of our own whose entries answer that no theme is active or open
// and fail every drawing and query call, so the library's own painters draw
// everything. Tests (and any later engine) start the unit with a library of
// their own: a TqzThemeLibrary filled with entry points by name.
#include <map>
#include <memory>
#include <string>

#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/gui/regions.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// A theme handle; 0 names none.
using HTHEME = std::uintptr_t;

// Result codes of the library's calls.
using HRESULT = Integer;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr bool SUCCEEDED(HRESULT R) { return R >= 0; }
constexpr bool FAILED(HRESULT R) { return R < 0; }

// Which size of a part GetThemePartSize answers.
enum THEMESIZE : Integer { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

// An entry point of the library as the binding keeps it; each wrapper turns
// it back into its own type (the Tqz...Proc types below).
using FARPROC = void (*)();

using TqzCloseThemeDataProc = HRESULT (*)(HTHEME Theme);
using TqzDrawThemeBackgroundProc = HRESULT (*)(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                               const TRect* Rect, const TRect* ClipRect);
using TqzDrawThemeEdgeProc = HRESULT (*)(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                         const TRect* DestRect, Cardinal Edge, Cardinal Flags,
                                         TRect* ContentRect);
using TqzDrawThemeParentBackgroundProc = HRESULT (*)(HWND Wnd, HDC DC, const TRect* Rect);
using TqzDrawThemeTextProc = HRESULT (*)(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                         const Char* Text, Integer CharCount, Cardinal TextFlags,
                                         Cardinal TextFlags2, const TRect* Rect);
using TqzGetCurrentThemeNameProc = HRESULT (*)(Char* ThemeFileName, Integer MaxNameChars, Char* ColorBuff,
                                               Integer MaxColorChars, Char* SizeBuff, Integer MaxSizeChars);
using TqzGetThemeBackgroundContentRectProc = HRESULT (*)(HTHEME Theme, HDC DC, Integer PartId,
                                                         Integer StateId, const TRect* BoundingRect,
                                                         TRect* ContentRect);
using TqzGetThemeBackgroundRegionProc = HRESULT (*)(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                                    const TRect* Rect, HRGN* Region);
using TqzGetThemeColorProc = HRESULT (*)(HTHEME Theme, Integer PartId, Integer StateId, Integer PropId,
                                         TColor* Color);
using TqzGetThemePartSizeProc = HRESULT (*)(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                            const TRect* Rect, THEMESIZE Size, TSize* PartSize);
using TqzIsThemeActiveProc = bool (*)();
using TqzIsThemeBackgroundPartiallyTransparentProc = bool (*)(HTHEME Theme, Integer PartId, Integer StateId);
using TqzOpenThemeDataProc = HTHEME (*)(HWND Wnd, const Char* ClassList);

// A visual-styles library: the entry points it offers, by name.
class TqzThemeLibrary : public TObject {
  KORVANE_CLASS(TqzThemeLibrary, TObject)
  template <class F>
  void AddProc(const char* AName, F AProc) {
    FProcs[AName] = reinterpret_cast<FARPROC>(AProc);
  }
  // nullptr when the library has no entry of that name.
  FARPROC GetProcAddress(const char* AName) const;

private:
  std::map<std::string, FARPROC> FProcs;
};

// The service of this platform: no theme is ever active or open. It offers
// the entries the wrappers below call, each answering 0, false or E_FAIL.
std::unique_ptr<TqzThemeLibrary> CreateNoThemeLibrary();

// Unit start-up and finalisation. The start-up runs by itself on first use
// with this platform's values: a system that counts as version 5.1 (one
// that has visual styles) and CreateNoThemeLibrary's service. Initialize
// finalises a running unit first. Only on version 5.1 or later is the
// library taken ("loaded"; nullptr: loading failed) and its entries bound.
// The theme manager must be finalised before this unit.
void qzUxThemeInitialize(Integer AMajorVersion, Integer AMinorVersion, std::unique_ptr<TqzThemeLibrary> ALibrary);
void qzUxThemeInitialize();
void qzUxThemeFinalize();

// Major > 5, or major 5 and minor >= 1.
bool IsWindowsXPOrNewer();
bool IsThemeLibraryLoaded();

// Wrappers: each calls the bound entry with its arguments and answers its
// result. An entry the library lacks (or a library that is not loaded)
// answers E_NOTIMPL, false or 0. Use them only after ThemeClassAvailable or
// ThemeClassesAvailable (qzThemeManager.h) said yes.
HTHEME OpenThemeData(HWND Wnd, const Char* ClassList);
HRESULT CloseThemeData(HTHEME Theme);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& Rect,
                            const TRect* ClipRect);
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& Rect,
                            const TRect& ClipRect);
HRESULT DrawThemeText(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const Char* Text,
                      Integer CharCount, Cardinal TextFlags, Cardinal TextFlags2, const TRect& Rect);
HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& DestRect,
                      Cardinal Edge, Cardinal Flags, TRect* ContentRect);
HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                      const TRect& BoundingRect, TRect& ContentRect);
HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& Rect,
                                 HRGN& Region);
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect* Rect,
                         THEMESIZE Size, TSize& PartSize);
// The short form: no rectangle.
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, THEMESIZE Size,
                         TSize& PartSize);
HRESULT GetThemeColor(HTHEME Theme, Integer PartId, Integer StateId, Integer PropId, TColor& Color);
bool IsThemeBackgroundPartiallyTransparent(HTHEME Theme, Integer PartId, Integer StateId);
// Fills three buffers of the given sizes in characters (terminator included).
HRESULT GetCurrentThemeName(Char* ThemeFileName, Integer MaxNameChars, Char* ColorBuff, Integer MaxColorChars,
                            Char* SizeBuff, Integer MaxSizeChars);
bool IsThemeActive();
// Draws the parent's background under a control; the canvas keeps the font
// it had before the call.
HRESULT DrawThemeParentBackground(HWND Wnd, HDC DC, const TRect* Rect);
