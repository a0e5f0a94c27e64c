#ifndef FILEREPLACEMENT_H
#define FILEREPLACEMENT_H

#include <string>

// Replaces the contents of a file so that the old contents stay whole unless
// the new ones are completely on disk. The new contents go to a temporary
// file beside the target, created exclusively under a fresh name (an existing
// file or link is never opened, so never followed), which is renamed over
// the target only when every write, the flush to disk and the close
// succeeded. A target that is a link is resolved first: the file it names is
// replaced and the link stays. The replaced file keeps its mode.
class FileReplacement {
 public:
  // Creates the temporary file. It is not created (isOpen() is false) when
  // the folder does not allow it, or when the target exists but is not a
  // regular file or is read-only: no write permission bit, or not writable
  // by the user.
  explicit FileReplacement(const std::string& target);
  // Removes the temporary file unless commit() put it in place.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  bool isOpen() const { return descriptor >= 0; }

  // Writes `contents` and puts them in place of the target. Returns false,
  // leaving the target untouched, when anything failed. Once only.
  bool commit(const std::string& contents) { return writeTemporary(contents) && replaceTarget(); }

  // The two steps of commit, for a caller that replaces several files only
  // once all of them are written: writes `contents` to the temporary file,
  // flushes it to disk and closes it; then renames it over the target.
  // Each returns false, leaving the target untouched, when it failed.
  bool writeTemporary(const std::string& contents);
  bool replaceTarget();

 private:
  bool createTemporary();
  void abandon();

  std::string real;       // the target with its links resolved
  std::string temporary;  // the file being written, beside `real`
  int descriptor = -1;
  bool keepMode = false;  // the target exists: its mode is given to the new file
  unsigned mode = 0;
};

#endif
