// The program registers the units of its component libraries (painters,
// editor kinds, default editors) once at start; the windows under test
// need the same, so this test program does it before any test runs.
#include <gtest/gtest.h>

#include "app/main.h"

namespace {

class TLibraryUnits : public ::testing::Environment {
public:
  void SetUp() override { RegisterLibraryUnits(); }
};

[[maybe_unused]] ::testing::Environment* const LibraryUnits = ::testing::AddGlobalTestEnvironment(new TLibraryUnits);

}  // namespace
