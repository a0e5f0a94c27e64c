#ifndef BYTESREAD_H
#define BYTESREAD_H

#include <cstddef>

// The bytes the calling process has read from files so far, as the system
// counts them: a test compares two readings to see how much of a file a
// reader took before it stopped.
std::size_t bytesReadSoFar();

#endif
