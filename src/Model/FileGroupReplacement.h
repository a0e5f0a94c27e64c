#ifndef FILEGROUPREPLACEMENT_H
#define FILEGROUPREPLACEMENT_H

#include <string>
#include <utility>
#include <vector>

// Replaces several files that belong together (a model and its statistics)
// so that either all take their new contents or none does. Each file goes
// through a FileReplacement; the targets are renamed over only once every
// temporary file was written and flushed, each old file kept until the last
// rename succeeded and put back when one failed, then removed, the folder
// flushed again.
class FileGroupReplacement {
 public:
  // The new contents of `target`; given again, the later contents count.
  void add(const std::string& target, std::string contents);
  bool empty() const { return files.empty(); }

  // Puts every file in place. False when a target cannot be replaced (see
  // FileReplacement), a write, a rename or a flush of a folder fails, or an
  // old file cannot be removed: every target is then as it was, unless
  // partlyReplaced(). Once only.
  bool commit();
  // The file that could not be written, after a failed commit (or whose
  // old file could not be removed).
  const std::string& failedTarget() const { return failed; }
  // After a failed commit: an old file could not be put back, or could not
  // be removed once every target held its new contents, so some or all
  // targets may hold their new contents (or, where a put-back failed, one
  // may be missing, its old contents under a temporary name).
  bool partlyReplaced() const { return partly; }

 private:
  std::vector<std::pair<std::string, std::string>> files;  // target, contents
  std::string failed;
  bool partly = false;
};

#endif
