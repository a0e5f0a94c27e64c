#ifndef FILEGROUPREPLACEMENT_H
#define FILEGROUPREPLACEMENT_H

#include <string>
#include <utility>
#include <vector>

#include "ReplacementJournal.h"

// Replaces several files that belong together (a model and its statistics)
// so that either all take their new contents or none does, also across a
// crash or a power cut. Each new file is written and flushed under a
// temporary name beside its target (FileReplacement), each old file kept
// under another; a journal in the folder of the first target
// (ReplacementJournal) records the names; only then is every new file
// renamed over its target. Removing the journal is the one step that makes
// the new set the valid one; the old files are removed after it. Until then
// a failure, or the recovery that whoever reads the files runs after a
// crash, rolls every target back. The commit holds the lock of that folder
// (FolderLock) from its first step to its last, so no other process
// recovers or reads the folder in between. The files are those of a folder
// that may come from anyone: each is written under its own name in its
// folder, and a target that is a link cannot be replaced, so no file it
// leads to is written.
class FileGroupReplacement {
 public:
  // What a commit left on disk.
  enum class Outcome {
    replaced,             // every target holds its new contents, nothing else is left
    copyLeft,             // every target holds its new contents; a kept old file may remain beside them
    replacedUnconfirmed,  // every target holds its new contents, but a power cut may bring back all the old ones
    unchanged,            // every target is as it was
    unknown,              // some targets may hold their new contents, until the folder is next recovered
    undetermined,         // the journal went during the switch, removed by someone who ignored the lock and may
                          // have put old files back: what the targets hold cannot be told
  };

  // `folderFiles`: the bare names of the other files of the targets' folder
  // that a group saved there before may have replaced, so that the recovery
  // before the commit puts them back too (it renames or removes nothing but
  // these, the targets, and their temporary names).
  explicit FileGroupReplacement(std::vector<std::string> folderFiles = {}) : folderFiles(std::move(folderFiles)) {}

  // The new contents of `target`; given again, the later contents count.
  void add(const std::string& target, std::string contents);
  bool empty() const { return files.empty(); }

  // Waits for the lock of the folder, finishes a replacement that a crash
  // interrupted there, then puts every file in place. True when every
  // target holds its new contents (outcome replaced, copyLeft or
  // replacedUnconfirmed). Once only.
  bool commit();
  Outcome outcome() const { return result; }
  // The file or folder that could not be written, after a commit that did
  // not replace every file; the target whose old file could not be removed
  // after one that left a copy.
  const std::string& failedTarget() const { return failed; }
  // Why a commit that changed nothing could not begin: the folder could not
  // be locked, or a replacement a crash interrupted there cannot be rolled
  // back (the reason recovery gives, naming the folder). Empty otherwise.
  const std::string& failureReason() const { return reason; }

 private:
  // Rolls back a group given up on, the switch of its targets `switching`
  // or not yet, and records what that left; false.
  bool undo(const ReplacementJournal& journal, const std::vector<ReplacementJournal::Entry>& entries,
            bool switching);
  // Removes the old files once the new set is the valid one.
  void dropOldFiles(const std::vector<ReplacementJournal::Entry>& entries);

  std::vector<std::string> folderFiles;
  std::vector<std::pair<std::string, std::string>> files;  // target, contents
  std::string failed;
  std::string reason;
  Outcome result = Outcome::unchanged;
};

#endif
