// The program's entry: checks that a display can be reached, starts the
// application object, registers the units of the component libraries that
// the linker would otherwise leave out, and runs the program.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/main.h"
#include "platform/gui/application.h"

namespace {

std::string Env(const char* Name) {
  const char* value = std::getenv(Name);
  return value ? value : "";
}

// Whether a local socket accepts a connection; Abstract names a socket of
// the abstract namespace (no file).
bool SocketAnswers(const std::string& Path, bool Abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = Abstract ? 1 : 0;
  if (Path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, Path.data(), Path.size());
  const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + Path.size());
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
  close(fd);
  return answered;
}

// An X display on this machine (":0", ":1.0", "unix:0") answers on its
// local socket; a display elsewhere ("host:10.0") is taken as it is.
bool XDisplayAnswers(const std::string& Display) {
  const size_t colon = Display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = Display.substr(0, colon);
  if (!host.empty() && host != "unix") return true;
  const std::string number = Display.substr(colon + 1, Display.find('.', colon) - colon - 1);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) return false;
  const std::string socketPath = "/tmp/.X11-unix/X" + number;
  return SocketAnswers(socketPath, true) || SocketAnswers(socketPath, false);
}

bool WaylandAnswers(const std::string& Display) {
  if (Display.empty()) return false;
  if (Display[0] == '/') return SocketAnswers(Display, false);
  const std::string runtime = Env("XDG_RUNTIME_DIR");
  return !runtime.empty() && SocketAnswers(runtime + "/" + Display, false);
}

// Whether the program can show its windows: a window system chosen for
// the toolkit explicitly, or a display that answers.
bool DisplayAvailable(std::string& Why) {
  if (!Env("QT_QPA_PLATFORM").empty()) return true;
  const std::string x = Env("DISPLAY");
  const std::string wayland = Env("WAYLAND_DISPLAY");
  if (XDisplayAnswers(x) || WaylandAnswers(wayland)) return true;
  if (x.empty() && wayland.empty())
    Why = "no display is set (neither DISPLAY nor WAYLAND_DISPLAY)";
  else
    Why = "the display \"" + (x.empty() ? wayland : x) + "\" does not answer";
  return false;
}

}  // namespace

int main() {
  std::string why;
  if (!DisplayAvailable(why)) {
    std::fprintf(stderr,
                 "Korvane: cannot show its windows: %s.\n"
                 "Start it on a desktop, or set QT_QPA_PLATFORM=offscreen to run it without a screen.\n",
                 why.c_str());
    return 2;
  }
  Application->Initialize();
  RegisterLibraryUnits();
  const int code = RunProgram();
  UnregisterLibraryUnits();
  return code;
}
