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
// names is replaced and the link stays; a file of a folder that may come
// from anyone is saved with links refused instead, so that its save never
// writes a file the link leads to. The replaced file keeps its
// permission bits and, where the saver may set them, its owner and group.
// Before it writes, a save removes the temporary files that a save of the
// same target left when it was killed (TemporaryName).
class FileReplacement {
 public:
  // What a target that is a link stands for: the file it names (a file the
  // user chose), or nothing that may be replaced (a classifier file, which
  // is written only under its own name in its own folder).
  enum class Links { followed, refused };

  // Checks the target; nothing is created yet. It cannot be replaced when
  // its folder is not writable, or when it exists but is not a regular file,
  // is read-only (no write permission bit, or not writable by the user), or
  // is another user's file that the system lets the saver neither replace
  // nor remove: in a folder with the sticky bit, such as the system's
  // temporary folder, only the owner of the file or of the folder may; nor
  // when it is a link and `links` refuses them.
  explicit FileReplacement(const std::string& target, Links links = Links::followed);
  // Removes the temporary file unless it was put in place.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  bool canReplace() const { return !real.empty(); }

  // Writes `contents` and puts them in place of the target. Returns false
  // when anything failed, leaving the target as it was unless the folder
  // could be flushed before the rename but not after it (see replaceTarget).
  // Once only.
  bool commit(const std::string& contents) { return writeTemporary(contents) && replaceTarget(); }

  // The steps of commit: writes `contents` to the temporary file and
  // flushes it to disk (false, the target untouched, when that failed); then
  // renames it over the target in one step, which leaves the target whole at
  // every moment, and flushes the folder, which is flushed once before as
  // well: a folder that cannot be flushed fails the save while the target is
  // as it was. False when a flush or the rename failed: the target is then
  // as it was, unless only the flush after the rename failed (the disk
  // failing between the two), which leaves it holding the new contents that
  // a power cut may take back.
  bool writeTemporary(const std::string& contents);
  bool replaceTarget();

  // The steps of a group of files switched together (FileGroupReplacement),
  // after writeTemporary: nameBeside gives the written file a name beside
  // the target and keeps the old file under another, a second link; on a
  // file system without links that name is only chosen, and switchToNew
  // renames the old file to it. False when a name cannot be made, leaving
  // nothing behind. switchToNew then puts the new file in the target's
  // place (after moving the old one aside where it has no second link); it
  // flushes nothing, and undoes nothing when it fails: the group puts back
  // every target from the names it recorded.
  bool nameBeside();
  bool switchToNew();
  // The target with its links resolved, and the names nameBeside made: the
  // new file's and the old file's (empty when there was no old file).
  const std::string& target() const { return real; }
  const std::string& temporaryName() const { return temporary; }
  const std::string& oldCopyName() const { return old; }

  // Flushes `folder` to disk so that the names made and removed in it
  // survive a power cut; true also where the file system cannot flush a
  // folder or the saver may not read it.
  static bool flushFolder(const std::string& folder);

 private:
  bool openTemporary();
  bool keepOwnerAndMode();
  bool nameTemporary();
  bool keepOld();
  void abandon();

  std::string real;       // the target with its links resolved; empty when it cannot be replaced
  std::string folder;     // the folder of `real`
  std::string temporary;  // the name of the file being written, beside `real`; empty while unnamed
  std::string old;        // the name the old file is kept under
  bool oldAside = false;  // that name is not a second link: the old file is renamed to it
  int descriptor = -1;    // the file being written, open until it is named or put in place
  bool written = false;
  bool existed = false;  // the target existed: its owner and mode are given to the new file
  struct stat existing {};
};

#endif
