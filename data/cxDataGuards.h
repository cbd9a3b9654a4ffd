#pragma once
// Small scope guards shared by the data controller's units.
#include <exception>

#include "data/cxCustomDataController.h"

// Sets a flag for the lifetime of the guard and restores it on the way out.
class TcxFlagGuard {
public:
  TcxFlagGuard(bool& AFlag, bool AValue) : FFlag(AFlag), FOld(AFlag) { FFlag = AValue; }
  ~TcxFlagGuard() { FFlag = FOld; }
  TcxFlagGuard(const TcxFlagGuard&) = delete;
  TcxFlagGuard& operator=(const TcxFlagGuard&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

// BeginUpdate / EndUpdate of a controller, also when an exception passes.
// While an exception passes, a failure of the closing EndUpdate is dropped
// so that the first exception reaches the caller.
class TcxUpdateBracket {
public:
  explicit TcxUpdateBracket(TcxCustomDataController* AController) : FController(AController) {
    FController->BeginUpdate();
  }
  ~TcxUpdateBracket() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FController->EndUpdate();
      } catch (...) {
      }
    } else {
      FController->EndUpdate();
    }
  }
  TcxUpdateBracket(const TcxUpdateBracket&) = delete;
  TcxUpdateBracket& operator=(const TcxUpdateBracket&) = delete;

private:
  TcxCustomDataController* FController;
  int FExceptions = std::uncaught_exceptions();
};
