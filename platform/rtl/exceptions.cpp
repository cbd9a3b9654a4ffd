#include "platform/rtl/exceptions.h"

#include "platform/rtl/encoding.h"

Exception::Exception(const String& message) : Message(message) {}

Exception::Exception(const char* utf8Message) : Message(UTF8ToString(utf8Message ? utf8Message : "")) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
  try {
    FWhat = StringToUTF8(Message);
  } catch (...) {
    FWhat.clear();
  }
  return FWhat.c_str();
}

EAbort::EAbort() : Exception(u"Operation aborted") {}

void Abort() { throw EAbort(); }
