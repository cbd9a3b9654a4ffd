#pragma once
// The desktop shell: opening a document or a web address with the desktop's
// default program, the temporary folder and numbered files in it, and the
// program's help.
//
// Opening goes through a replaceable service, so tests can watch what would
// be opened without opening anything. The default service hands the target
// to the desktop (never to a shell command line, so any character in a path
// is safe); it needs the running application and answers false without one.
#include "platform/rtl/types.h"

class TShellService {
public:
  virtual ~TShellService() = default;
  // Opens the file at Path (an absolute path) with its default program;
  // answers whether the desktop accepted it.
  virtual bool OpenDocument(const String& Path) = 0;
  // Opens the address (http:, https:, mailto:, file: ...) with the default
  // program for its scheme.
  virtual bool OpenURL(const String& URL) = 0;
};

// The service in use (the desktop's own unless replaced).
TShellService& ShellService();
// Puts Service in place of the current one (nullptr puts back the desktop's
// own) and returns the one it replaces (nullptr when that was the
// desktop's). The caller keeps ownership.
TShellService* SetShellService(TShellService* Service);

// Opens a file with its default program. A relative path is taken from the
// current folder. False, without asking the desktop, when the file does not
// exist.
bool ShellOpenDocument(const String& Path);
// Opens a web address with the default browser (or the program for its
// scheme).
bool ShellOpenURL(const String& URL);

// The system's temporary folder, ending in "/".
String GetTempFolder();
// Creates, in Folder (the temporary folder when empty), the file Prefix + n +
// Extension for the smallest n from 1 up for which no such file exists, and
// returns its full name. The file is created empty and exclusively, so two
// callers never get the same name; it is not deleted. Raises EInOutError
// when the folder cannot take a new file.
String CreateNumberedTempFile(const String& Prefix, const String& Extension, const String& Folder = String());

// Opens the program's help, an HTML file, in the browser. False when the
// file does not exist or the browser cannot be started.
bool ShowHelpFile(const String& HelpFile);
