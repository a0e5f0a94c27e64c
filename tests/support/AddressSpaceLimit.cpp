#include "AddressSpaceLimit.h"

#include <sys/resource.h>

#include "ProcessFigure.h"

void limitAddressSpaceGrowth(std::size_t room) {
  const std::size_t kilobytes = processFigure("/proc/self/status", "VmSize:");
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = kilobytes * 1024 + room;
  setrlimit(RLIMIT_AS, &limit);
}
