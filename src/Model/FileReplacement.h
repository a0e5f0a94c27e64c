#ifndef FILEREPLACEMENT_H
#define FILEREPLACEMENT_H

#include <sys/stat.h>

#include <string>

// Replaces the contents of a file so that the old contents stay whole unless
// the new ones are completely on disk. The new contents go to a temporary
// file beside the target, opened only once they are ready: an unnamed file
// where the system has them (a save killed midway then leaves nothing), else
// one created exclusively under a fresh name (an existing file or link is
// never opened, so never followed). It is renamed over the target only when
// every write and the flush to disk succeeded, and the folder is flushed
// after the rename. A target that is a link is resolved first: the file it
// names is replaced and the link stays. The replaced file keeps its
// permission bits and, where the saver may set them, its owner and group.
class FileReplacement {
 public:
  // Checks the target; nothing is created yet. It cannot be replaced when
  // its folder is not writable, or when it exists but is not a regular file
  // or is read-only: no write permission bit, or not writable by the user.
  explicit FileReplacement(const std::string& target);
  // Removes the temporary file unless it was put in place.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  bool canReplace() const { return !real.empty(); }

  // Writes `contents` and puts them in place of the target. Returns false,
  // leaving the target untouched, when anything failed. Once only.
  bool commit(const std::string& contents) { return writeTemporary(contents) && replaceTarget(); }

  // The two steps of commit, for a caller that replaces several files only
  // once all of them are written: writes `contents` to the temporary file and
  // flushes it to disk; then renames it over the target and flushes the
  // folder. Each returns false, leaving the target untouched, when it failed.
  bool writeTemporary(const std::string& contents);
  bool replaceTarget() {
    if (!replaceKeepingOld()) return false;
    dropOld();
    return true;
  }

  // As replaceTarget, but the old file is kept under a temporary name until
  // either putBackOld() makes the target what it was (the old file, or no
  // file if there was none) or dropOld() removes it. An old file that could
  // not be put back stays under that name.
  bool replaceKeepingOld();
  bool putBackOld();
  void dropOld();

 private:
  bool openTemporary();
  bool keepOwnerAndMode();
  bool nameTemporary();
  bool keepOld();
  bool flushFolder() const;
  void abandon();

  std::string real;       // the target with its links resolved; empty when it cannot be replaced
  std::string folder;     // the folder of `real`
  std::string temporary;  // the name of the file being written, beside `real`; empty while unnamed
  std::string old;        // the name the old file is kept under, while kept
  int descriptor = -1;    // the file being written, open until it is put in place
  bool written = false;
  bool replacedKeepingOld = false;
  bool existed = false;  // the target existed: its owner and mode are given to the new file
  struct stat existing {};
};

#endif
