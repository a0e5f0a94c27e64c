#ifndef FILEGROUPREPLACEMENT_H
#define FILEGROUPREPLACEMENT_H

#include <string>
#include <utility>
#include <vector>

// Replaces several files that belong together (a model and its statistics)
// so that either all take their new contents or none does. Each file goes
// through a FileReplacement; the targets are renamed over only once every
// temporary file was written, flushed and closed.
class FileGroupReplacement {
 public:
  // The new contents of `target`; given again, the later contents count.
  void add(const std::string& target, std::string contents);
  bool empty() const { return files.empty(); }

  // Puts every file in place. False when a target cannot be replaced (see
  // FileReplacement) or a write fails: no target is then touched. Once only.
  bool commit();
  // The file that could not be written, after a failed commit.
  const std::string& failedTarget() const { return failed; }

 private:
  std::vector<std::pair<std::string, std::string>> files;  // target, contents
  std::string failed;
};

#endif
