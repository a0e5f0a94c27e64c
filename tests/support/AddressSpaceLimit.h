#ifndef ADDRESSSPACELIMIT_H
#define ADDRESSSPACELIMIT_H

#include <cstddef>

// A sanitizer reserves address space of its own and stops the process when
// an allocation fails, so a limit on the address space tells nothing there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool addressSpaceLimitsApply = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool addressSpaceLimitsApply = false;
#else
constexpr bool addressSpaceLimitsApply = true;
#endif
#else
constexpr bool addressSpaceLimitsApply = true;
#endif

// Lets the calling process's address space grow by `room` bytes beyond its
// size now; meant for a child process that is to run out of memory.
void limitAddressSpaceGrowth(std::size_t room);

#endif
