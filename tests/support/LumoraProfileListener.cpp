// Linked into the test programs of Lumora's behaviour: each test starts with
// Lumora's profile selected, as the program's main selects it, whatever the
// test before it selected. A test of Cavitra's behaviour in the same program
// selects Cavitra's in its fixture, which is built after this.
#include <gtest/gtest.h>

#include "ProgramProfile.h"

namespace {

class LumoraProfileListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { ProgramProfile::select(ProgramProfile::lumora()); }
};

// Selected at start too: the child process of a death test forwards no test
// events.
const bool installed = [] {
  ProgramProfile::select(ProgramProfile::lumora());
  ::testing::UnitTest::GetInstance()->listeners().Append(new LumoraProfileListener);
  return true;
}();

}  // namespace
