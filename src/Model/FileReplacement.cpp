#include "FileReplacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <system_error>

#include "UnnamedFile.h"

namespace fs = std::filesystem;

namespace {

// Links are followed as far as this; a longer chain is taken for a loop.
constexpr int maximumLinkHops = 40;

// A temporary name is the file's name, shortened where the folder's name
// limit asks, then this and six random letters.
constexpr char temporaryMark[] = ".saving-";
constexpr std::size_t randomLetters = 6;

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

// The start of every temporary name for `file` in `folder`: a name of the
// longest length the folder takes leaves room for the random part.
std::string temporaryStem(const std::string& folder, const std::string& file) {
  const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t room = static_cast<std::size_t>(limit > 0 ? limit : NAME_MAX) - (sizeof temporaryMark - 1) -
                           randomLetters;
  std::size_t length = std::min(file.size(), room);
  // Cut between characters, not inside one.
  while (length > 0 && length < file.size() && (static_cast<unsigned char>(file[length]) & 0xC0) == 0x80) --length;
  return folder + "/" + file.substr(0, length) + temporaryMark;
}

// Gives `create` fresh temporary names for `real` until it succeeds with one
// (the name is returned) or fails for another reason than the name being
// taken (the empty name).
std::string claimTemporaryName(const std::string& real, const std::function<bool(const std::string&)>& create) {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, sizeof letters - 2);
  const fs::path path(real);
  const std::string stem = temporaryStem(path.parent_path().string(), path.filename().string());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = stem;
    for (std::size_t i = 0; i < randomLetters; ++i) name += letters[pick(random)];
    if (create(name)) return name;
    if (errno != EEXIST) return "";
  }
  return "";
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

FileReplacement::FileReplacement(const std::string& target) {
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
  temporary = claimTemporaryName(real, [this](const std::string& name) {
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
  if (!canReplace() || written || descriptor >= 0 || !openTemporary()) return false;
  // The flush reports a disk that filled up after the writes were accepted.
  written = writeAll(descriptor, contents) && keepOwnerAndMode() && fsync(descriptor) == 0;
  if (!written) abandon();
  return written;
}

bool FileReplacement::nameTemporary() {
  if (!temporary.empty()) return true;
  const std::string unnamed = UnnamedFile::nameOf(descriptor);
  temporary = claimTemporaryName(real, [&unnamed](const std::string& name) {
    return linkat(AT_FDCWD, unnamed.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
  return !temporary.empty();
}

// A second link keeps the old file, so that the target never goes missing; a
// file system without links has it renamed aside instead.
bool FileReplacement::keepOld() {
  if (!existed) return true;
  old = claimTemporaryName(real, [this](const std::string& name) {
    if (link(real.c_str(), name.c_str()) == 0) return true;
    oldAside = errno != EEXIST && renameat2(AT_FDCWD, real.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0;
    return oldAside;
  });
  return !old.empty();
}

bool FileReplacement::flushFolder() const {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder the saver may write but not read cannot be flushed by it.
  if (fd < 0) return errno == EACCES;
  // EINVAL: the file system does not flush folders on their own.
  const bool flushed = fsync(fd) == 0 || errno == EINVAL;
  close(fd);
  return flushed;
}

bool FileReplacement::putInPlace(bool keepingOld) {
  // Only a temporary file that was written and flushed is put in place.
  if (!written || descriptor < 0) return false;
  // Once the new file has the target's name a single save has no old file
  // to put back: a folder that cannot be flushed fails it before, while the
  // target is as it was.
  if (!keepingOld && !flushFolder()) {
    abandon();
    return false;
  }
  bool ready = nameTemporary();
  ready = close(descriptor) == 0 && ready;
  descriptor = -1;
  // An old file kept so far stays kept: putBackOld gives it its name back.
  if (!ready || (keepingOld && !keepOld()) || std::rename(temporary.c_str(), real.c_str()) != 0) {
    abandon();
    return false;
  }
  temporary.clear();
  replacedKeepingOld = keepingOld;
  // Only a rename that reached the disk is a save that survives a power cut.
  return flushFolder();
}

bool FileReplacement::putBackOld() {
  if (!replacedKeepingOld && old.empty()) return true;  // the target was never touched
  bool restored = false;
  if (replacedKeepingOld && !existed)
    restored = unlink(real.c_str()) == 0;
  else if (replacedKeepingOld || oldAside)
    restored = std::rename(old.c_str(), real.c_str()) == 0;
  else
    restored = unlink(old.c_str()) == 0;  // a second link of a target that keeps its name
  if (!restored) return false;
  replacedKeepingOld = false;
  old.clear();
  return flushFolder();
}

bool FileReplacement::dropOld() {
  // Only an old file whose name the new one took is removed.
  if (!replacedKeepingOld) return false;
  replacedKeepingOld = false;
  if (old.empty()) return true;
  const bool removed = unlink(old.c_str()) == 0;
  old.clear();
  return removed && flushFolder();
}

void FileReplacement::abandon() {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
  if (!temporary.empty()) unlink(temporary.c_str());
  temporary.clear();
}
