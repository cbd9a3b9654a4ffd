#pragma once
// The application's small shared routines: the program's folder, path and
// string routines, safe conversions, and the plain-text error log with its
// viewer.
//
// The log: one file per record in the folder "log/" beside the program,
// named by the open record's key plus ".log" ("Korvane.log" while no record
// is open). A new file begins with the line "数据集编码:" and the key; each
// entry is one line "yyyy-mm-dd hh:mm:ss", three blanks, the message. UTF-8.
#include <functional>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

// The folder separator of file paths.
inline constexpr Char PathDelim = u'/';

// ---- The program's folder ---------------------------------------------------------

// The folder of the running program, ending in PathDelim.
String ProgramFolder();
// Makes ProgramFolder answer Folder (a trailing separator is added when
// missing); an empty text returns to the running program's own folder.
void SetProgramFolder(const String& Folder);

// ---- Paths and strings ------------------------------------------------------------

// The system's temporary folder, trimmed, ending in PathDelim.
String GetTempDirectory();
// The path without surrounding blanks and control characters, with a
// PathDelim appended when it does not end in one; "" for an empty or blank
// path.
String EnsureTrailingBackslash(const String& Path);
// The text read as a decimal integer; Default when it is not one.
Integer ParseIntOrDefault(const String& Text, Integer Default);
// The value as text by the standard conversion; "" when it does not convert
// (Null, arrays and other values without a text form).
String VariantToText(const Variant& Value);
// The last N characters of Text, or the whole text when it is not longer.
String RightChars(const String& Text, Integer N);
// FileName unchanged when its last four characters equal Extension (letter
// case ignored), else FileName + Extension. Meant for extensions of four
// characters with the dot, such as ".xml".
String ForceFileExtension(const String& FileName, const String& Extension);

// ---- The error log ---------------------------------------------------------------

// The folder of the log files: ProgramFolder() + "log/".
String LogFolder();
// The current log file: LogFolder() + the open record's key (trimmed) +
// ".log", or LogFolder() + "Korvane.log" when no record is open.
String LogFileName();
// Appends one entry to the current log file, creating the folder and the
// file (with its header line) when needed. Never fails: an entry that
// cannot be written is lost.
void WriteLogLine(const String& Message);
// Appends one entry per message, all with the same time, in one write.
void WriteLogLines(const std::vector<String>& Messages);
// Shows the current log file with the desktop's default program for text
// files; when there is no log file, sets Message to "目前没有错误" (the
// caller shows it) and leaves it alone otherwise.
void ShowLogFile(String& Message);

// ---- Opening a document -----------------------------------------------------------

// Opens a file with the desktop's default program for its kind, without
// waiting; answers whether the program could be started. The default starts
// the desktop's opener with the path as its one argument (no shell command
// line, so any character in the path is safe). Tests put their own.
using TOpenDocumentProc = std::function<bool(const String& Path)>;
// Replaces the opener; an empty one restores the default.
void SetOpenDocumentProc(TOpenDocumentProc Proc);
bool OpenDocument(const String& Path);
