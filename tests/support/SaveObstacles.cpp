#include "SaveObstacles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FifoTarget.h"
#include "FileSizeLimit.h"
#include "FileText.h"

namespace fs = std::filesystem;

namespace {

// Room for a few bytes only: any real save runs out of it.
constexpr rlim_t fullDiskBytes = 32;

bool emptyPipe(const fs::path& pipe) {
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (reader < 0) return false;
  char byte = 0;
  const bool empty = read(reader, &byte, 1) <= 0;
  close(reader);
  return empty;
}

}  // namespace

const std::vector<SaveObstacle>& saveObstacles() {
  static const std::vector<SaveObstacle> obstacles = {
      {"read-only file",
       [](const fs::path& target) -> std::shared_ptr<void> {
         chmod(target.c_str(), 0444);
         return nullptr;
       }},
      {"named pipe",
       [](const fs::path& target) -> std::shared_ptr<void> {
         fs::remove(target);
         return std::make_shared<FifoTarget>(target);
       }},
      {"folder",
       [](const fs::path& target) -> std::shared_ptr<void> {
         fs::remove(target);
         fs::create_directory(target);
         return nullptr;
       }},
      {"full disk",
       [](const fs::path&) -> std::shared_ptr<void> { return std::make_shared<FileSizeLimit>(fullDiskBytes); }},
  };
  return obstacles;
}

bool untouched(const fs::path& target, const std::string& old) {
  struct stat status {};
  if (lstat(target.c_str(), &status) != 0) return false;
  if (S_ISFIFO(status.st_mode)) return emptyPipe(target);
  if (S_ISDIR(status.st_mode)) return true;
  return S_ISREG(status.st_mode) && readFileText(target) == old;
}

std::vector<std::string> temporariesLeftIn(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".saving-") != std::string::npos) found.push_back(name);
  }
  return found;
}
