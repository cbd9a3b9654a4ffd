#include "data/cxDataControllerConsts.h"

#include "foundation/cxClasses.h"

void cxDataControllerError(const TResourceString& AText) {
  throw EcxInvalidDataControllerOperation(LoadResourceText(AText));
}
