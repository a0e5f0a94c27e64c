#include "UnnamedFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char openFiles[] = "/proc/self/fd/";

}  // namespace

namespace UnnamedFile {

int open(const std::string& folder, int access, mode_t mode) {
#ifdef O_TMPFILE
  if (::access(openFiles, X_OK) == 0) return ::open(folder.c_str(), O_TMPFILE | access | O_CLOEXEC, mode);
#endif
  return -1;
}

std::string nameOf(int descriptor) { return openFiles + std::to_string(descriptor); }

}  // namespace UnnamedFile
