#include "AddressSpaceLimit.h"

#include <sys/resource.h>

#include <fstream>
#include <string>

void limitAddressSpaceGrowth(std::size_t room) {
  std::ifstream status("/proc/self/status");
  std::size_t kilobytes = 0;
  for (std::string field; status >> field;)
    if (field == "VmSize:") {
      status >> kilobytes;
      break;
    }
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = kilobytes * 1024 + room;
  setrlimit(RLIMIT_AS, &limit);
}
