#pragma once
// The exception hierarchy. Every error the program raises derives from Exception.
#include <exception>
#include <string>

#include "platform/rtl/types.h"

class Exception : public std::exception {
public:
  explicit Exception(const String& message);
  explicit Exception(const char* utf8Message);
  ~Exception() override;

  // The message in UTF-8, for logs and the test runner.
  const char* what() const noexcept override;

  String Message;
  Integer HelpContext = 0;

private:
  mutable std::string FWhat;
};

#define KORVANE_EXCEPTION(Name, Base)   \
  class Name : public Base {            \
  public:                               \
    using Base::Base;                   \
  }

// Silent exception: unwinds without a message to the user.
class EAbort : public Exception {
public:
  EAbort();
  using Exception::Exception;
};

KORVANE_EXCEPTION(EConvertError, Exception);
KORVANE_EXCEPTION(EInvalidOperation, Exception);
KORVANE_EXCEPTION(EInvalidCast, Exception);
KORVANE_EXCEPTION(EInvalidPointer, Exception);
KORVANE_EXCEPTION(EOutOfResources, Exception);
KORVANE_EXCEPTION(ENotSupportedException, Exception);
KORVANE_EXCEPTION(EIntError, Exception);
KORVANE_EXCEPTION(EDivByZero, EIntError);
KORVANE_EXCEPTION(ERangeError, EIntError);
KORVANE_EXCEPTION(EIntOverflow, EIntError);
KORVANE_EXCEPTION(EMathError, Exception);
KORVANE_EXCEPTION(EZeroDivide, EMathError);
KORVANE_EXCEPTION(EOverflow, EMathError);
KORVANE_EXCEPTION(EInvalidOp, EMathError);

KORVANE_EXCEPTION(EVariantError, Exception);
KORVANE_EXCEPTION(EVariantTypeCastError, EVariantError);
KORVANE_EXCEPTION(EVariantOverflowError, EVariantError);
KORVANE_EXCEPTION(EVariantInvalidOpError, EVariantError);
KORVANE_EXCEPTION(EVariantInvalidArgError, EVariantError);
KORVANE_EXCEPTION(EVariantBadVarTypeError, EVariantError);
KORVANE_EXCEPTION(EVariantBadIndexError, EVariantError);
KORVANE_EXCEPTION(EVariantArrayCreateError, EVariantError);
KORVANE_EXCEPTION(EBcdException, Exception);
KORVANE_EXCEPTION(EBcdOverflowException, EBcdException);
KORVANE_EXCEPTION(ESQLTimeStampException, Exception);

KORVANE_EXCEPTION(EListError, Exception);
KORVANE_EXCEPTION(EStringListError, EListError);
KORVANE_EXCEPTION(EStreamError, Exception);
KORVANE_EXCEPTION(EReadError, EStreamError);
KORVANE_EXCEPTION(EWriteError, EStreamError);
KORVANE_EXCEPTION(EFileStreamError, EStreamError);
KORVANE_EXCEPTION(EFOpenError, EFileStreamError);
KORVANE_EXCEPTION(EFCreateError, EFileStreamError);
KORVANE_EXCEPTION(EFilerError, EStreamError);
KORVANE_EXCEPTION(EClassNotFound, EFilerError);
KORVANE_EXCEPTION(EComponentError, Exception);
KORVANE_EXCEPTION(EInOutError, Exception);
KORVANE_EXCEPTION(EOSError, Exception);
KORVANE_EXCEPTION(EDatabaseError, Exception);

// Raises EAbort.
[[noreturn]] void Abort();
