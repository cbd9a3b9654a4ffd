#pragma once
// Small scope guards shared by the data controller's units.
#include "data/cxCustomDataController.h"
#include "foundation/cxClasses.h"

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
using TcxUpdateBracket = TcxUpdateScope<TcxCustomDataController>;
