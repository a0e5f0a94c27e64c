#ifndef REPLACEMENTJOURNAL_H
#define REPLACEMENTJOURNAL_H

#include <optional>
#include <string>
#include <vector>

// The record that lets a group of files be switched from their old to their
// new contents as one step that a crash or a power cut cannot leave half
// done. While the file "replacement.journal" is in a folder, the switch of
// the files it lists is not finished: whoever finds it (recover) rolls every
// file back, so the group is read as the whole old set or, once the journal
// is gone, the whole new set.
//
// It lists per file the target, the name of its new contents beside it and
// the name its old file is kept under (or that it had none). Names in the
// journal's folder are written bare, others as absolute paths; the kept
// names are accepted only as the temporary names a save makes for their
// target (TemporaryName), so a journal can never make recovery rename or
// remove another file.
class ReplacementJournal {
 public:
  struct Entry {
    std::string target;     // full path, links resolved
    std::string temporary;  // full path of the new contents until they take the target's name
    std::string oldCopy;    // full path the old file is kept under; empty when there was none
  };

  static constexpr const char* fileName = "replacement.journal";

  // The journal of `folder`.
  explicit ReplacementJournal(const std::string& folder);

  const std::string& folder() const { return where; }
  const std::string& path() const { return journal; }

  // Puts the journal of `entries` in place with a single save, flushed with
  // its folder: from then on the switch can be rolled back. False when it
  // could not be written or a name cannot be recorded; it may then be in
  // place, and is to be removed.
  bool write(const std::vector<Entry>& entries) const;
  // Removes the journal; the folder is not flushed. False, with errno set,
  // when it could not be removed or was not there (ENOENT).
  bool remove() const;

  // Makes every target what it was before the switch began, whatever part
  // of the switch was done, and removes the new contents and the kept old
  // files, then flushes the folders. Each step can run again after a crash
  // in the middle. False when a step failed.
  static bool rollBack(const std::vector<Entry>& entries);
  // Flushes the folders of the targets, so that every name made or removed
  // in them survives a power cut. False when one cannot be flushed.
  static bool flushFolders(const std::vector<Entry>& entries);

  // Finishes what a save left undone in the folder when it was stopped: a
  // switch whose journal is there is rolled back and the journal removed;
  // then the temporary files left beside `files` (bare names) and beside the
  // journal are removed. Returns "" when the folder's files may be read,
  // otherwise why not (a journal that cannot be read, a folder that cannot
  // be written, a file that cannot be put back), naming the folder; the
  // files are then left as they are for a later recovery. The caller holds
  // the folder's lock (FolderLock), so that no switch is under way.
  std::string recover(const std::vector<std::string>& files) const;

 private:
  // The entries of the journal; none when it is not one this class wrote.
  std::optional<std::vector<Entry>> read() const;
  // How `path` is written in the journal, and back.
  std::string recorded(const std::string& path) const;
  std::string located(const std::string& name) const;
  // Whether `entry` names only a target and the temporary names of it.
  static bool sound(const Entry& entry);

  std::string where;
  std::string journal;
};

#endif
