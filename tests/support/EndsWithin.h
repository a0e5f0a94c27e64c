#ifndef ENDSWITHIN_H
#define ENDSWITHIN_H

#include <functional>

// Runs `work` in a child process; false when it has not ended within
// `seconds` (it is then killed) or ended abnormally or with a status other
// than 0 (`work` may end the child with _exit(1) to report a fault). A read
// that would wait for ever thus fails the test instead of hanging it.
bool endsWithin(int seconds, const std::function<void()>& work);

#endif
