#include "platform/shell/shell.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include <QDesktopServices>
#include <QGuiApplication>
#include <QString>
#include <QUrl>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

namespace fs = std::filesystem;

QString ToQString(const String& Text) {
  return QString::fromUtf16(Text.data(), qsizetype(Text.size()));
}

fs::path ToPath(const String& Text) { return fs::path(StringToUTF8(Text)); }

// Hands targets to the desktop through Qt's services.
class TDesktopShell : public TShellService {
public:
  bool OpenDocument(const String& Path) override {
    return OpenUrl(QUrl::fromLocalFile(ToQString(Path)));
  }
  bool OpenURL(const String& URL) override {
    QUrl url(ToQString(URL), QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() && OpenUrl(url);
  }

private:
  static bool OpenUrl(const QUrl& Url) {
    // The desktop services live in the GUI application; without one there
    // is nobody to ask.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    return QDesktopServices::openUrl(Url);
  }
};

TDesktopShell GDesktopShell;
TShellService* GService = nullptr;  // nullptr = the desktop's own

String Absolute(const String& Path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(ToPath(Path), ec);
  return ec ? Path : UTF8ToString(absolute.lexically_normal().string());
}

}  // namespace

TShellService& ShellService() { return GService ? *GService : GDesktopShell; }

TShellService* SetShellService(TShellService* Service) {
  TShellService* previous = GService;
  GService = Service;
  return previous;
}

bool ShellOpenDocument(const String& Path) {
  std::error_code ec;
  if (Path.empty() || !fs::exists(ToPath(Path), ec)) return false;
  return ShellService().OpenDocument(Absolute(Path));
}

bool ShellOpenURL(const String& URL) { return !URL.empty() && ShellService().OpenURL(URL); }

String GetTempFolder() {
  std::error_code ec;
  fs::path temp = fs::temp_directory_path(ec);
  String folder = ec ? String(u"/tmp") : UTF8ToString(temp.string());
  if (folder.empty() || folder.back() != u'/') folder += u'/';
  return folder;
}

String CreateNumberedTempFile(const String& Prefix, const String& Extension, const String& Folder) {
  String folder = Folder.empty() ? GetTempFolder() : Folder;
  if (folder.back() != u'/') folder += u'/';
  for (unsigned n = 1;; ++n) {
    String name = folder + Prefix + UTF8ToString(std::to_string(n)) + Extension;
    int fd = ::open(StringToUTF8(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST || n == 0xFFFFFFFFu)
      throw EInOutError(u"Cannot create a file in the folder \"" + folder + u"\": " +
                        UTF8ToString(std::strerror(errno)));
  }
}

bool ShowHelpFile(const String& HelpFile) { return ShellOpenDocument(HelpFile); }
