// The program registers the units of its component libraries (painters,
// editor kinds, default editors) once at start; the windows under test
// need the same, so this test program does it before any test runs.
#include <gtest/gtest.h>

#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditorsStartup.h"
#include "foundation/cxContainerPopup.h"
#include "foundation/cxControls.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxNativePainter.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"

namespace {

class TLibraryUnits : public ::testing::Environment {
public:
  void SetUp() override {
    cxLookAndFeelsInitialize();
    cxControlsInitialize();
    cxContainerPopupInitialize();
    qzUxThemeInitialize();
    qzThemeManagerInitialize();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
    cxNativePainterRegister();
    cxEditPaintUtilsInitialize();
    cxEditorsInitialize();
  }
};

[[maybe_unused]] ::testing::Environment* const LibraryUnits = ::testing::AddGlobalTestEnvironment(new TLibraryUnits);

}  // namespace
