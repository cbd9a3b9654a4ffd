#include "foundation/qzUxTheme.h"

#include <array>

namespace {

// The 46 entry points, looked up in this order when the library loads.
constexpr std::array<const char*, 46> kEntryNames = {
    "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "DrawThemeParentBackground",
    "DrawThemeText", "EnableThemeDialogTexture", "GetCurrentThemeName", "GetThemeAppProperties",
    "GetThemeBackgroundContentRect", "GetThemeBackgroundRegion", "GetThemeBackgroundExtent", "GetThemeBool",
    "GetThemeColor", "GetThemeDocumentationProperty", "GetThemeEnumValue", "GetThemeFilename", "GetThemeFont",
    "GetThemeInt", "GetThemeIntList", "GetThemeMargins", "GetThemeMetric", "GetThemePartSize",
    "GetThemePosition", "GetThemePropertyOrigin", "GetThemeRect", "GetThemeString", "GetThemeSysBool",
    "GetThemeSysColor", "GetThemeSysColorBrush", "GetThemeSysFont", "GetThemeSysInt", "GetThemeSysSize",
    "GetThemeSysString", "GetThemeTextExtent", "GetThemeTextMetrics", "GetWindowTheme",
    "HitTestThemeBackground", "IsAppThemed", "IsThemeActive", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "IsThemeDialogTextureEnabled", "OpenThemeData",
    "SetThemeAppProperties", "SetWindowTheme",
};

constexpr size_t EntryIndex(const char* AName) {
  for (size_t i = 0; i < kEntryNames.size(); ++i) {
    const char* a = kEntryNames[i];
    const char* b = AName;
    while (*a && *a == *b) ++a, ++b;
    if (*a == *b) return i;
  }
  return kEntryNames.size();
}

struct TUxThemeState {
  bool Started = false;
  bool XPOrNewer = false;
  std::unique_ptr<TqzThemeLibrary> Library;  // "loaded" while not null
  std::array<FARPROC, kEntryNames.size()> Entries{};
};

// Kept for the whole run: objects destroyed at exit may still ask.
TUxThemeState& State() {
  static TUxThemeState* s = new TUxThemeState;
  return *s;
}

TUxThemeState& Started() {
  if (!State().Started) qzUxThemeInitialize();
  return State();
}

// Calls the entry named AName as a P, or answers AFallback when it is not bound.
template <class P, class R, class... A>
R CallEntry(const char* AName, R AFallback, A... AArgs) {
  const size_t index = EntryIndex(AName);
  const FARPROC entry = index < kEntryNames.size() ? Started().Entries[index] : nullptr;
  if (!entry) return AFallback;
  return reinterpret_cast<P>(entry)(AArgs...);
}

// ---- The platform's service: nothing is themed ---------------------------------------------

HTHEME NoOpenThemeData(HWND, const Char*) { return 0; }
HRESULT NoCloseThemeData(HTHEME) { return E_FAIL; }
HRESULT NoDrawThemeBackground(HTHEME, HDC, Integer, Integer, const TRect*, const TRect*) { return E_FAIL; }
HRESULT NoDrawThemeEdge(HTHEME, HDC, Integer, Integer, const TRect*, Cardinal, Cardinal, TRect*) {
  return E_FAIL;
}
HRESULT NoDrawThemeParentBackground(HWND, HDC, const TRect*) { return E_FAIL; }
HRESULT NoDrawThemeText(HTHEME, HDC, Integer, Integer, const Char*, Integer, Cardinal, Cardinal, const TRect*) {
  return E_FAIL;
}
HRESULT NoGetCurrentThemeName(Char*, Integer, Char*, Integer, Char*, Integer) { return E_FAIL; }
HRESULT NoGetThemeBackgroundContentRect(HTHEME, HDC, Integer, Integer, const TRect*, TRect*) { return E_FAIL; }
HRESULT NoGetThemeBackgroundRegion(HTHEME, HDC, Integer, Integer, const TRect*, HRGN*) { return E_FAIL; }
HRESULT NoGetThemeColor(HTHEME, Integer, Integer, Integer, TColor*) { return E_FAIL; }
HRESULT NoGetThemePartSize(HTHEME, HDC, Integer, Integer, const TRect*, THEMESIZE, TSize*) { return E_FAIL; }
bool NoIsThemeActive() { return false; }
bool NoIsThemeBackgroundPartiallyTransparent(HTHEME, Integer, Integer) { return false; }

}  // namespace

FARPROC TqzThemeLibrary::GetProcAddress(const char* AName) const {
  const auto it = FProcs.find(AName ? AName : "");
  return it == FProcs.end() ? nullptr : it->second;
}

std::unique_ptr<TqzThemeLibrary> CreateNoThemeLibrary() {
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("CloseThemeData", &NoCloseThemeData);
  library->AddProc("DrawThemeBackground", &NoDrawThemeBackground);
  library->AddProc("DrawThemeEdge", &NoDrawThemeEdge);
  library->AddProc("DrawThemeParentBackground", &NoDrawThemeParentBackground);
  library->AddProc("DrawThemeText", &NoDrawThemeText);
  library->AddProc("GetCurrentThemeName", &NoGetCurrentThemeName);
  library->AddProc("GetThemeBackgroundContentRect", &NoGetThemeBackgroundContentRect);
  library->AddProc("GetThemeBackgroundRegion", &NoGetThemeBackgroundRegion);
  library->AddProc("GetThemeColor", &NoGetThemeColor);
  library->AddProc("GetThemePartSize", &NoGetThemePartSize);
  library->AddProc("IsThemeActive", &NoIsThemeActive);
  library->AddProc("IsThemeBackgroundPartiallyTransparent", &NoIsThemeBackgroundPartiallyTransparent);
  library->AddProc("OpenThemeData", &NoOpenThemeData);
  return library;
}

void qzUxThemeInitialize(Integer AMajorVersion, Integer AMinorVersion, std::unique_ptr<TqzThemeLibrary> ALibrary) {
  qzUxThemeFinalize();
  TUxThemeState& s = State();
  s.Started = true;
  // The common controls need no initialisation on this platform.
  s.XPOrNewer = AMajorVersion > 5 || (AMajorVersion == 5 && AMinorVersion >= 1);
  if (!s.XPOrNewer || !ALibrary) return;
  s.Library = std::move(ALibrary);
  for (size_t i = 0; i < kEntryNames.size(); ++i) s.Entries[i] = s.Library->GetProcAddress(kEntryNames[i]);
}

void qzUxThemeInitialize() { qzUxThemeInitialize(5, 1, CreateNoThemeLibrary()); }

void qzUxThemeFinalize() {
  TUxThemeState& s = State();
  s.Entries.fill(nullptr);
  s.Library.reset();
  s.XPOrNewer = false;
  s.Started = false;
}

bool IsWindowsXPOrNewer() { return Started().XPOrNewer; }

bool IsThemeLibraryLoaded() { return Started().Library != nullptr; }

HTHEME OpenThemeData(HWND Wnd, const Char* ClassList) {
  return CallEntry<TqzOpenThemeDataProc>("OpenThemeData", HTHEME(0), Wnd, ClassList);
}

HRESULT CloseThemeData(HTHEME Theme) {
  return CallEntry<TqzCloseThemeDataProc>("CloseThemeData", E_NOTIMPL, Theme);
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& Rect,
                            const TRect* ClipRect) {
  return CallEntry<TqzDrawThemeBackgroundProc>("DrawThemeBackground", E_NOTIMPL, Theme, DC, PartId, StateId,
                                               &Rect, ClipRect);
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& Rect,
                            const TRect& ClipRect) {
  return DrawThemeBackground(Theme, DC, PartId, StateId, Rect, &ClipRect);
}

HRESULT DrawThemeText(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const Char* Text,
                      Integer CharCount, Cardinal TextFlags, Cardinal TextFlags2, const TRect& Rect) {
  return CallEntry<TqzDrawThemeTextProc>("DrawThemeText", E_NOTIMPL, Theme, DC, PartId, StateId, Text, CharCount,
                                         TextFlags, TextFlags2, &Rect);
}

HRESULT DrawThemeEdge(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& DestRect,
                      Cardinal Edge, Cardinal Flags, TRect* ContentRect) {
  return CallEntry<TqzDrawThemeEdgeProc>("DrawThemeEdge", E_NOTIMPL, Theme, DC, PartId, StateId, &DestRect, Edge,
                                         Flags, ContentRect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, HDC DC, Integer PartId, Integer StateId,
                                      const TRect& BoundingRect, TRect& ContentRect) {
  return CallEntry<TqzGetThemeBackgroundContentRectProc>("GetThemeBackgroundContentRect", E_NOTIMPL, Theme, DC,
                                                         PartId, StateId, &BoundingRect, &ContentRect);
}

HRESULT GetThemeBackgroundRegion(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect& Rect,
                                 HRGN& Region) {
  return CallEntry<TqzGetThemeBackgroundRegionProc>("GetThemeBackgroundRegion", E_NOTIMPL, Theme, DC, PartId,
                                                    StateId, &Rect, &Region);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, const TRect* Rect,
                         THEMESIZE Size, TSize& PartSize) {
  return CallEntry<TqzGetThemePartSizeProc>("GetThemePartSize", E_NOTIMPL, Theme, DC, PartId, StateId, Rect, Size,
                                            &PartSize);
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, Integer PartId, Integer StateId, THEMESIZE Size,
                         TSize& PartSize) {
  return GetThemePartSize(Theme, DC, PartId, StateId, nullptr, Size, PartSize);
}

HRESULT GetThemeColor(HTHEME Theme, Integer PartId, Integer StateId, Integer PropId, TColor& Color) {
  return CallEntry<TqzGetThemeColorProc>("GetThemeColor", E_NOTIMPL, Theme, PartId, StateId, PropId, &Color);
}

bool IsThemeBackgroundPartiallyTransparent(HTHEME Theme, Integer PartId, Integer StateId) {
  return CallEntry<TqzIsThemeBackgroundPartiallyTransparentProc>("IsThemeBackgroundPartiallyTransparent", false,
                                                                 Theme, PartId, StateId);
}

HRESULT GetCurrentThemeName(Char* ThemeFileName, Integer MaxNameChars, Char* ColorBuff, Integer MaxColorChars,
                            Char* SizeBuff, Integer MaxSizeChars) {
  return CallEntry<TqzGetCurrentThemeNameProc>("GetCurrentThemeName", E_NOTIMPL, ThemeFileName, MaxNameChars,
                                               ColorBuff, MaxColorChars, SizeBuff, MaxSizeChars);
}

bool IsThemeActive() { return CallEntry<TqzIsThemeActiveProc>("IsThemeActive", false); }

HRESULT DrawThemeParentBackground(HWND Wnd, HDC DC, const TRect* Rect) {
  if (!DC)
    return CallEntry<TqzDrawThemeParentBackgroundProc>("DrawThemeParentBackground", E_NOTIMPL, Wnd, DC, Rect);
  TFont font;
  font.Assign(DC->Font());
  const HRESULT result =
      CallEntry<TqzDrawThemeParentBackgroundProc>("DrawThemeParentBackground", E_NOTIMPL, Wnd, DC, Rect);
  DC->SetFont(&font);
  return result;
}
