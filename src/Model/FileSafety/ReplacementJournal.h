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
// the name its old file is kept under (or that it had none), every name
// bare: all of them are in the journal's folder. A folder may come from
// anyone, so a journal is followed only when each of its targets is one of
// the files its caller names (recover), in the journal's own folder, and the
// other names are the temporary names a save makes for that target
// (TemporaryName); any other journal is refused whole. Recovery therefore
// renames or removes nothing but those files and their temporary names.
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
  // could not be written or a name cannot be recorded (a file outside the
  // journal's folder, a name holding a line break); it may then be in place,
  // and is to be removed.
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
  // then the temporary files left beside `files` (bare names: the folder's
  // own files, the only targets a journal may name) and beside the journal
  // are removed. Returns "" when the folder's files may be read, otherwise
  // why not (a journal that cannot be read or names files that are not the
  // folder's own, a folder that cannot be written, a file that cannot be put
  // back), naming the folder; the files are then left as they are for a
  // later recovery. The caller holds the folder's lock (FolderLock), so
  // that no switch is under way.
  std::string recover(const std::vector<std::string>& files) const;

 private:
  // The entries of the journal with their names as recorded; none when it
  // is not whole.
  std::optional<std::vector<Entry>> read() const;
  // The bare name `path` is recorded under; "" when it is not in the
  // journal's folder.
  std::string recorded(const std::string& path) const;
  // The recorded entries with their names located in the journal's folder;
  // none when one of them is not sound.
  std::optional<std::vector<Entry>> located(const std::vector<Entry>& entries,
                                            const std::vector<std::string>& files) const;
  // Whether the recorded `entry` names one of `files` and temporary names of
  // it, nothing else.
  bool sound(const Entry& entry, const std::vector<std::string>& files) const;

  std::string where;
  std::string journal;
};

#endif
