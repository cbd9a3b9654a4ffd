#include "data/cxFilterConsts.h"

#include "foundation/cxClasses.h"

namespace {

TcxFilterTextHook FilterTextHook = nullptr;

}  // namespace

void SetFilterTextHook(TcxFilterTextHook AHook) { FilterTextHook = AHook; }

TcxFilterTextHook GetFilterTextHook() { return FilterTextHook; }

void LoadFilterText(const TResourceString& AResString, String& AText) {
  AText = FilterTextHook ? FilterTextHook(AResString) : LoadResourceText(AResString);
}

String cxGetFilterText(const TResourceString& AResString) {
  String Result;
  LoadFilterText(AResString, Result);
  return Result;
}
