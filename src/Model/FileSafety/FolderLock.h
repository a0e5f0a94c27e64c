#ifndef FOLDERLOCK_H
#define FOLDERLOCK_H

#include <string>

// Keeps the switch of a group of files in a folder (FileGroupReplacement)
// apart from every recovery and reading of that folder's files, across
// processes: while one holds the lock, another waits for it. It is the
// system's lock on the folder itself (flock on a descriptor of the folder,
// opened for reading), so no file is made for it, and the system lets it go
// when the process ends, also in a crash. Two locks of one folder exclude
// each other within a process as well: whoever holds one takes no other.
//
// A folder the process cannot write is only read by it and is not waited
// for: anyone who may read a folder may lock it, and one who kept the lock
// of a read-only folder would otherwise keep every program from loading its
// files. Such a folder is locked, shared with other readers, when no switch
// holds it; otherwise it is read without the lock, and recovery, which
// cannot change it, refuses it while a journal is there.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  bool held() const { return descriptor >= 0; }
  // Why the lock is not held, naming the folder; empty while it is.
  const std::string& refusal() const { return why; }

 private:
  int descriptor = -1;
  std::string why;
};

#endif
