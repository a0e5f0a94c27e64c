#ifndef FILEGROUPREPLACEMENT_H
#define FILEGROUPREPLACEMENT_H

#include <string>
#include <utility>
#include <vector>

// Replaces several files that belong together (a model and its statistics)
// so that either all take their new contents or none does. Each file goes
// through a FileReplacement; the targets are renamed over only once every
// temporary file was written and flushed, each old file kept until the last
// rename succeeded and put back when one failed.
class FileGroupReplacement {
 public:
  // The new contents of `target`; given again, the later contents count.
  void add(const std::string& target, std::string contents);
  bool empty() const { return files.empty(); }

  // Puts every file in place. False when a target cannot be replaced (see
  // FileReplacement), a write or a rename fails: every target is then as it
  // was, unless partlyReplaced(). Once only.
  bool commit();
  // The file that could not be written, after a failed commit.
  const std::string& failedTarget() const { return failed; }
  // After a failed commit: an old file could not be put back, so some
  // targets may hold their new contents.
  bool partlyReplaced() const { return partly; }

 private:
  std::vector<std::pair<std::string, std::string>> files;  // target, contents
  std::string failed;
  bool partly = false;
};

#endif
