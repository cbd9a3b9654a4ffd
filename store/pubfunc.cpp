#include "store/pubfunc.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "store/dmunit.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

String GProgramFolder;          // set for tests; "" = the running program's folder
TOpenDocumentProc GOpenDocument;  // empty = the desktop's opener

fs::path ToPath(const String& Path) { return fs::path(StringToUTF8(Path)); }

String FromPath(const fs::path& Path) { return UTF8ToString(Path.string()); }

String RunningProgramFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  fs::path folder = ec ? fs::current_path(ec) : exe.parent_path();
  return EnsureTrailingBackslash(FromPath(folder));
}

// The key of the open record, as the record module holds it.
String CurrentRecordKey() { return dm ? dm->CurrentMetaId : String(); }

// Starts the desktop's opener for the path and does not wait for it: an
// intermediate child starts the opener and ends at once, so no child is
// left behind for this process to collect.
bool StartDesktopOpener(const String& Path) {
  std::string opener = "xdg-open";
  std::string path = StringToUTF8(Path);
  std::vector<char*> argv = {opener.data(), path.data(), nullptr};
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    pid_t grandchild = 0;
    int rc = posix_spawnp(&grandchild, argv[0], nullptr, nullptr, argv.data(), environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

// ---- The program's folder ---------------------------------------------------------

String ProgramFolder() {
  return GProgramFolder.empty() ? RunningProgramFolder() : GProgramFolder;
}

void SetProgramFolder(const String& Folder) { GProgramFolder = EnsureTrailingBackslash(Folder); }

// ---- Paths and strings ------------------------------------------------------------

String GetTempDirectory() {
  std::error_code ec;
  fs::path temp = fs::temp_directory_path(ec);
  if (ec) temp = "/tmp";
  return EnsureTrailingBackslash(Trim(FromPath(temp)));
}

String EnsureTrailingBackslash(const String& Path) {
  String result = Trim(Path);
  if (!result.empty() && result.back() != PathDelim) result += PathDelim;
  return result;
}

Integer ParseIntOrDefault(const String& Text, Integer Default) {
  Integer value = 0;
  return TryStrToInt(Text, value) ? value : Default;
}

String VariantToText(const Variant& Value) {
  try {
    return Value.AsString();
  } catch (...) {
    return String();
  }
}

String RightChars(const String& Text, Integer N) {
  if (N <= 0) return String();
  if (Text.size() > size_t(N)) return Text.substr(Text.size() - size_t(N));
  return Text;
}

String ForceFileExtension(const String& FileName, const String& Extension) {
  if (AnsiLowerCase(RightChars(FileName, 4)) == AnsiLowerCase(Extension)) return FileName;
  return FileName + Extension;
}

// ---- The error log ---------------------------------------------------------------

String LogFolder() { return ProgramFolder() + u"log" + PathDelim; }

String LogFileName() {
  String key = Trim(CurrentRecordKey());
  return LogFolder() + (key.empty() ? String(u"Korvane") : key) + u".log";
}

void WriteLogLine(const String& Message) { WriteLogLines({Message}); }

void WriteLogLines(const std::vector<String>& Messages) {
  try {
    const String time = FormatDateTime(u"yyyy-mm-dd hh:mm:ss", Now()) + u"   ";
    std::error_code ec;
    fs::path folder = ToPath(LogFolder());
    if (!fs::is_directory(folder, ec) && !fs::create_directory(folder, ec)) return;
    fs::path file = ToPath(LogFileName());
    bool isNew = !fs::exists(file, ec);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) return;
    if (isNew) out << StringToUTF8(u"数据集编码:" + CurrentRecordKey()) << '\n';
    for (const String& message : Messages) out << StringToUTF8(time + message) << '\n';
  } catch (...) {
    // The log is the last resort: an entry that cannot be written is lost.
  }
}

void ShowLogFile(String& Message) {
  String path = LogFileName();
  std::error_code ec;
  if (fs::is_regular_file(ToPath(path), ec))
    OpenDocument(path);
  else
    Message = u"目前没有错误";
}

// ---- Opening a document -----------------------------------------------------------

void SetOpenDocumentProc(TOpenDocumentProc Proc) { GOpenDocument = std::move(Proc); }

bool OpenDocument(const String& Path) {
  return GOpenDocument ? GOpenDocument(Path) : StartDesktopOpener(Path);
}
