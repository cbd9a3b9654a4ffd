#pragma once
// A fresh temporary folder for the XML tests, file helpers, and a local
// listener that tells whether anything tried to connect to it.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "platform/rtl/encoding.h"

class TTempFolder {
public:
  TTempFolder() {
    char pattern[] = "/tmp/korvane-xml-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    Path = pattern;
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  // The full name of a file in the folder, as the program's text.
  String operator()(const std::string& Name) const { return UTF8ToString((Path / Name).string()); }
  std::filesystem::path Path;
};

inline void WriteBytes(const String& FileName, const std::string& Bytes) {
  std::ofstream out(StringToUTF8(FileName), std::ios::binary);
  out << Bytes;
}

inline std::string ReadBytes(const String& FileName) {
  std::ifstream in(StringToUTF8(FileName), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A TCP listener on a free port of the loopback address. Connected() tells
// whether a connection arrived (without waiting).
class TLocalListener {
public:
  TLocalListener() {
    FSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (FSocket < 0 || ::bind(FSocket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(FSocket, 4) != 0 || ::getsockname(FSocket, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      throw std::runtime_error("cannot listen on the loopback address");
    ::fcntl(FSocket, F_SETFL, O_NONBLOCK);
    Port = ntohs(address.sin_port);
  }
  ~TLocalListener() { ::close(FSocket); }
  std::string URL(const std::string& Path) const {
    return "http://127.0.0.1:" + std::to_string(Port) + "/" + Path;
  }
  bool Connected() const {
    int client = ::accept(FSocket, nullptr, nullptr);
    if (client < 0) return false;
    ::close(client);
    return true;
  }
  int Port = 0;

private:
  int FSocket = -1;
};
