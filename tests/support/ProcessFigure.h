#ifndef PROCESSFIGURE_H
#define PROCESSFIGURE_H

#include <cstddef>
#include <string>

// The number after `field` (such as "rchar:" or "VmSize:") in the system's
// file `file` of the calling process (such as "/proc/self/io"); 0 when it
// has none.
std::size_t processFigure(const std::string& file, const std::string& field);

// The bytes the calling process has read from files so far: a test compares
// two readings to see how much of a file a reader took before it stopped.
inline std::size_t bytesReadSoFar() { return processFigure("/proc/self/io", "rchar:"); }

#endif
