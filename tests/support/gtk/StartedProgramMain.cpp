#include <gtest/gtest.h>

#include "ProgramProfile.h"
#include "ViewProfile.h"

// The main of a test program that starts a whole program: both halves of
// that program's profile are selected before any test runs. The toolkit is
// not started here: the program under test starts it, once per test. The
// build names the program in PROGRAM_PROFILE (lumora or cavitra).
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ProgramProfile::select(ProgramProfile::PROGRAM_PROFILE());
  ViewProfile::select(ViewProfile::PROGRAM_PROFILE());
  return RUN_ALL_TESTS();
}
