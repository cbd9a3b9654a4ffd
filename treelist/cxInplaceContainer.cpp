#include "treelist/cxInplaceContainer.h"

void TcxControlDataController::NotifyControl(TcxUpdateControlInfo* AInfo) {
  FControl->ApplyDataChange(AInfo);
  inherited::NotifyControl(AInfo);
}
