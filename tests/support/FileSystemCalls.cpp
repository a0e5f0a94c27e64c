#include "FileSystemCalls.h"

#include <dlfcn.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>

std::function<int(const FileSystemCall& call)> onFileSystemCall;

namespace {

template <typename Function>
Function* systemCall(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

// False, with errno set, when the test makes the call fail.
bool allowed(const FileSystemCall& call) {
  const int error = onFileSystemCall(call);
  if (error != 0) errno = error;
  return error == 0;
}

std::string nameOfOpenFile(int fd) {
  char name[PATH_MAX] = {};
  const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), name, sizeof name - 1);
  return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

bool runStoppedAtCall(std::size_t call, const std::function<void()>& work,
                      const std::function<int(const FileSystemCall& call)>& answer) {
  constexpr int stoppedStatus = 75;
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    std::size_t made = 0;
    onFileSystemCall = [call, &made, &answer](const FileSystemCall& next) {
      // Ends the process at once: nothing is unwound or flushed, as in a crash.
      if (++made == call) _exit(stoppedStatus);
      return answer ? answer(next) : 0;
    };
    work();
    _exit(0);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == stoppedStatus;
}

FileSystemCallLog::FileSystemCallLog() {
  onFileSystemCall = [this](const FileSystemCall& call) {
    calls.push_back(call);
    return 0;
  };
}

FileSystemCallLog::~FileSystemCallLog() { onFileSystemCall = nullptr; }

bool FileSystemCallLog::lastChangeFlushed(const std::string& folder) const {
  const auto inFolder = [&folder](const std::string& path) {
    return !path.empty() && std::filesystem::path(path).parent_path() == folder;
  };
  bool flushed = true;
  for (const FileSystemCall& call : calls) {
    if (call.name == "fsync" && call.path == folder)
      flushed = true;
    else if (call.name != "fsync" && (inFolder(call.path) || inFolder(call.to)))
      flushed = false;
  }
  return flushed;
}

extern "C" int fsync(int fd) {
  static const auto next = systemCall<int(int)>("fsync");
  if (onFileSystemCall && !allowed({"fsync", nameOfOpenFile(fd), ""})) return -1;
  return next(fd);
}

extern "C" int link(const char* from, const char* to) noexcept {
  static const auto next = systemCall<int(const char*, const char*)>("link");
  if (onFileSystemCall && !allowed({"link", from, to})) return -1;
  return next(from, to);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto next = systemCall<int(const char*, const char*)>("rename");
  if (onFileSystemCall && !allowed({"rename", from, to})) return -1;
  return next(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) noexcept {
  static const auto next = systemCall<int(int, const char*, int, const char*, unsigned)>("renameat2");
  if (onFileSystemCall && !allowed({"renameat2", from, to})) return -1;
  return next(fromFolder, from, toFolder, to, flags);
}

extern "C" int unlink(const char* path) noexcept {
  static const auto next = systemCall<int(const char*)>("unlink");
  if (onFileSystemCall && !allowed({"unlink", path, ""})) return -1;
  return next(path);
}
