#include "FileReplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "TemporaryName.h"
#include "UnnamedFile.h"

namespace fs = std::filesystem;

namespace {

// Links are followed as far as this; a longer chain is taken for a loop.
constexpr int maximumLinkHops = 40;

// The file that `target` names once every link is followed, even one that
// does not exist yet; empty when a link cannot be read or loops.
std::string resolveLinks(const std::string& target) {
  std::error_code error;
  fs::path path = fs::absolute(target, error);
  struct stat entry {};
  for (int hop = 0; !error && lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode); ++hop) {
    if (hop == maximumLinkHops) return "";
    const fs::path next = fs::read_symlink(path, error);
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  if (error) return "";
  fs::path real = fs::weakly_canonical(path, error);
  return error ? "" : real.string();
}

bool writeAll(int fd, const std::string& contents) {
  const char* next = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = write(fd, next, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// In a folder with the sticky bit only the owner of a file or of the folder,
// or the superuser, may rename another file over the file or remove a name
// of it; nothing else stops the saver from making a name it cannot remove.
bool replaceableIn(const std::string& folder, const struct stat& file) {
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0) return false;
  const uid_t saver = geteuid();
  return (status.st_mode & S_ISVTX) == 0 || saver == 0 || file.st_uid == saver || status.st_uid == saver;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target, Links links) {
  struct stat entry {};
  if (links == Links::refused && lstat(target.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) return;
  std::string resolved = target.empty() ? "" : resolveLinks(target);
  if (resolved.empty()) return;
  std::string parent = fs::path(resolved).parent_path().string();
  if (access(parent.c_str(), W_OK | X_OK) != 0) return;
  if (stat(resolved.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return;
    // The permission bits are checked as well as access(), which grants the
    // superuser everything: a file marked read-only stays as it is.
    if ((existing.st_mode & 0222) == 0 || access(resolved.c_str(), W_OK) != 0) return;
    if (!replaceableIn(parent, existing)) return;
    existed = true;
  }
  real = std::move(resolved);
  folder = std::move(parent);
}

FileReplacement::~FileReplacement() { abandon(); }

// The mode given at creation is subject to the umask, as for any new file of
// the user.
bool FileReplacement::openTemporary() {
  descriptor = UnnamedFile::open(folder, O_WRONLY, 0666);
  if (descriptor >= 0) return true;
  temporary = TemporaryName::claim(real, [this](const std::string& name) {
    descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    return descriptor >= 0;
  });
  return descriptor >= 0;
}

// The owner and group stay only where the saver may set them (the superuser
// both, a member of the file's group that group), so a refusal is no
// failure. They go first: changing them may clear the set-id bits of the mode.
bool FileReplacement::keepOwnerAndMode() {
  if (!existed) return true;
  static_cast<void>(fchown(descriptor, existing.st_uid, existing.st_gid) == 0 ||
                    fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid) == 0);
  return fchmod(descriptor, existing.st_mode & 07777) == 0;
}

bool FileReplacement::writeTemporary(const std::string& contents) {
  if (!canReplace() || written || descriptor >= 0) return false;
  TemporaryName::removeLeftovers(folder, {fs::path(real).filename().string()});
  if (!openTemporary()) return false;
  // The flush reports a disk that filled up after the writes were accepted.
  written = writeAll(descriptor, contents) && keepOwnerAndMode() && fsync(descriptor) == 0;
  if (!written) abandon();
  return written;
}

bool FileReplacement::nameTemporary() {
  if (!temporary.empty()) return true;
  const std::string unnamed = UnnamedFile::nameOf(descriptor);
  temporary = TemporaryName::claim(real, [&unnamed](const std::string& name) {
    return linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
  return !temporary.empty();
}

// A second link keeps the old file, so that the target never goes missing;
// on a file system without links only a free name is chosen, for
// switchToNew to rename the old file to.
bool FileReplacement::keepOld() {
  if (!existed) return true;
  bool linked = false;
  old = TemporaryName::claim(real, [this, &linked](const std::string& name) {
    linked = link(real.c_str(), name.c_str()) == 0;
    if (linked || errno == EEXIST) return linked;
    struct stat entry {};
    if (lstat(name.c_str(), &entry) == 0) errno = EEXIST;
    return errno == ENOENT;
  });
  oldAside = !linked;
  return !old.empty();
}

bool FileReplacement::flushFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder the saver may write but not read cannot be flushed by it.
  if (fd < 0) return errno == EACCES;
  // EINVAL: the file system does not flush folders on their own.
  const bool flushed = fsync(fd) == 0 || errno == EINVAL;
  close(fd);
  return flushed;
}

bool FileReplacement::replaceTarget() {
  // Only a temporary file that was written and flushed is put in place. Once
  // the new file has the target's name there is no old file to put back: a
  // folder that cannot be flushed fails the save before, while the target is
  // as it was.
  if (!written || descriptor < 0 || !flushFolder(folder)) {
    abandon();
    return false;
  }
  bool ready = nameTemporary();
  ready = close(descriptor) == 0 && ready;
  descriptor = -1;
  if (!ready || std::rename(temporary.c_str(), real.c_str()) != 0) {
    abandon();
    return false;
  }
  temporary.clear();
  // Only a rename that reached the disk is a save that survives a power cut.
  return flushFolder(folder);
}

bool FileReplacement::nameBeside() {
  if (!written || descriptor < 0) return false;
  bool named = nameTemporary();
  named = close(descriptor) == 0 && named;
  descriptor = -1;
  if (named && keepOld()) return true;
  abandon();
  return false;
}

bool FileReplacement::switchToNew() {
  if (!written || temporary.empty()) return false;
  if (oldAside && !old.empty() &&
      renameat2(AT_FDCWD, real.c_str(), AT_FDCWD, old.c_str(), RENAME_NOREPLACE) != 0)
    return false;
  if (std::rename(temporary.c_str(), real.c_str()) != 0) return false;
  temporary.clear();
  return true;
}

void FileReplacement::abandon() {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
  if (!temporary.empty()) unlink(temporary.c_str());
  temporary.clear();
}
