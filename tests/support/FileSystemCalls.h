#ifndef FILESYSTEMCALLS_H
#define FILESYSTEMCALLS_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// In this test program the calls through which a save flushes a file or
// changes a folder pass here first, so that a test sees them in order and
// can make one fail as a file system or a failing disk would.
struct FileSystemCall {
  std::string name;  // "fsync", "link", "rename", "renameat2" or "unlink"
  std::string path;  // the file flushed, or the first name the call is given
  std::string to;    // the name a link or rename makes; empty for the others
};

// While set, called before every such call: a nonzero errno value makes the
// call fail with it, zero lets it run.
extern std::function<int(const FileSystemCall& call)> onFileSystemCall;

// Runs `work` in a child process that is stopped, as a crash would stop it,
// right before its `call`-th such call (counted from 1); a `work` that makes
// fewer calls runs to its end. The calls before are answered by `answer`
// when given (as onFileSystemCall would), else run. True when the child was
// stopped, false when it ran to its end (or could not be started). Only what
// `work` leaves on disk reaches the caller.
bool runStoppedAtCall(std::size_t call, const std::function<void()>& work,
                      const std::function<int(const FileSystemCall& call)>& answer = nullptr);

// Records every such call made while it lives, letting each run.
class FileSystemCallLog {
 public:
  FileSystemCallLog();
  ~FileSystemCallLog();
  FileSystemCallLog(const FileSystemCallLog&) = delete;
  FileSystemCallLog& operator=(const FileSystemCallLog&) = delete;

  // Whether `folder` was flushed after the last call that made or removed a
  // name in it: only then does a power cut find the folder as it was left.
  bool lastChangeFlushed(const std::string& folder) const;

 private:
  std::vector<FileSystemCall> calls;
};

#endif
