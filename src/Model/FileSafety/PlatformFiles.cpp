#include "PlatformFiles.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace PlatformFiles {

std::string homeFolder(bool& fromDriveAndPath, std::string& drive, std::string& path) {
  fromDriveAndPath = false;
  const char* homeDrive = std::getenv("HOMEDRIVE");
  const char* homePath = std::getenv("HOMEPATH");
  if (homeDrive != nullptr && homePath != nullptr) {
    // Values left over from another system (such as "C:" and "\Users\x")
    // would name a folder relative to the run folder: only an existing
    // absolute folder is taken.
    const std::string joined = std::string(homeDrive) + homePath;
    if (!joined.empty() && joined[0] == '/' && isFolder(joined)) {
      fromDriveAndPath = true;
      drive = homeDrive;
      path = homePath;
      return joined;
    }
  }
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "";
}

bool isFolder(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFile(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool makeFolder(const std::string& path) { return !path.empty() && mkdir(path.c_str(), 0777) == 0; }

int copyIntoFolderKeepingExisting(const std::string& source, const std::string& folder) {
  std::error_code error;
  if (!isFolder(folder)) return 1;
  const fs::path destination = fs::path(folder) / fs::path(source).filename();
  if (fs::exists(destination, error)) return 0;
  fs::copy_file(source, destination, fs::copy_options::skip_existing, error);
  return error ? 1 : 0;
}

namespace {

fs::path normalised(const std::string& path) {
  std::error_code error;
  fs::path result = fs::weakly_canonical(fs::absolute(path), error);
  if (error) result = fs::absolute(path).lexically_normal();
  // "/a/b/" and "/a/b" name the same folder.
  if (!result.has_filename() && result != result.root_path()) result = result.parent_path();
  return result;
}

// Whether `ancestor` is `path` itself or one of the folders above it.
bool contains(const fs::path& ancestor, const fs::path& path) {
  auto a = ancestor.begin();
  auto p = path.begin();
  for (; a != ancestor.end(); ++a, ++p) {
    if (p == path.end() || *a != *p) return false;
  }
  return true;
}

}  // namespace

bool isSafeToRemove(const std::string& path) {
  if (path.empty()) return false;
  const fs::path target = normalised(path);
  if (target == target.root_path()) return false;
  bool fromDriveAndPath = false;
  std::string drive, homePath;
  const std::string home = homeFolder(fromDriveAndPath, drive, homePath);
  if (!home.empty() && contains(target, normalised(home))) return false;
  return true;
}

int removeTree(const std::string& path) {
  if (!isSafeToRemove(path)) return 1;
  std::error_code error;
  fs::remove_all(path, error);
  return error ? 1 : 0;
}

}  // namespace PlatformFiles
