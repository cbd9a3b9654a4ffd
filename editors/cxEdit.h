#pragma once
// The editor model: property sets, editor styles and (in further files of
// the unit) the editor control, its view data and the edit repository.
#include "editors/cxEditProperties.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditViewInfo.h"
