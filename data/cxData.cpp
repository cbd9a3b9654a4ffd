#include "data/cxData.h"

TObject* TcxDataController::GetItem(Integer AIndex) const { return GetItemField(AIndex)->Item(); }
