#ifndef HANGLIMIT_H
#define HANGLIMIT_H

// The seconds after which a test that drives real widgets takes the work it
// waits for as hung: twenty times the longest that work takes in the
// sanitizer build on a quiet machine, the rule of the suites' own time
// limits (tests/CMakeLists.txt), so that a machine with six busy processes
// per core stays well within it.
constexpr unsigned hangLimitSeconds(unsigned quietSeconds) { return 20 * quietSeconds; }

#endif
