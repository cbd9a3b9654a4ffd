#pragma once
// Message boxes and open/save file dialogs go through one replaceable
// service, so that tests answer them without a window.
#include <memory>
#include <vector>

#include "platform/gui/windowing.h"
#include "platform/rtl/types.h"

// Message-box buttons and icons (flags) and the answers (ID*).
enum : Cardinal {
  MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40,
  MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000,
  MB_TASKMODAL = 0x2000, MB_TOPMOST = 0x40000,
};
enum : Integer { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// What an open or save dialog asks.
struct TFileDialogRequest {
  String Title;
  String InitialDir;
  String FileName;  // proposed name
  // "Description|*.ext;*.ext2|Description|*.*" as the callers write it.
  String Filter;
  Integer FilterIndex = 1;  // 1-based
  String DefaultExt;        // without the dot
  bool AllowMultiSelect = false;
  bool OverwritePrompt = false;  // save: ask before replacing a file
  bool FileMustExist = false;    // open: only existing files
};
struct TFileDialogResult {
  bool Accepted = false;
  std::vector<String> FileNames;  // absolute names; the first is FileName
  Integer FilterIndex = 1;
};

class TDialogService {
public:
  virtual ~TDialogService() = default;
  // Shows a message box; answers the ID* of the button chosen.
  virtual Integer MessageBox(HWND Owner, const String& Text, const String& Caption, Cardinal Flags) = 0;
  virtual TFileDialogResult OpenFile(HWND Owner, const TFileDialogRequest& Request) = 0;
  virtual TFileDialogResult SaveFile(HWND Owner, const TFileDialogRequest& Request) = 0;
};

// The service in use (the window-system one unless replaced).
TDialogService& DialogService();
// Installs a service (tests); nullptr restores the window-system one.
// Answers the service that was installed before (still owned by the caller
// that installed it).
TDialogService* SetDialogService(TDialogService* Service);

// The window-system service (real dialogs).
std::unique_ptr<TDialogService> CreateWindowSystemDialogService();

Integer MessageBox(HWND Owner, const String& Text, const String& Caption, Cardinal Flags);

// The number of filters and the patterns of each in a filter text.
std::vector<std::pair<String, String>> ParseDialogFilter(const String& Filter);
