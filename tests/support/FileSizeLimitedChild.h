#ifndef FILESIZELIMITEDCHILD_H
#define FILESIZELIMITEDCHILD_H

#include <sys/resource.h>

#include <functional>

// Runs `work` in a child process whose files may not grow beyond `bytes`,
// with SIGXFSZ at its default action, so a write beyond the limit ends the
// child as it would end a program that does not handle the signal. Returns
// the child's wait status.
int runInFileSizeLimitedChild(rlim_t bytes, const std::function<void()>& work);

#endif
