#ifndef REGULARFILEREAD_H
#define REGULARFILEREAD_H

#include <cstddef>
#include <string>

namespace Model {

// A file that may come from anyone, opened for reading only when it is a
// regular file. A pipe, a folder or a device is refused at once: opening a
// pipe for reading waits for a writer, and reading a device may never end.
// The file is opened without waiting and what was opened is examined before a
// byte is read, so a name swapped for a pipe after the first look cannot
// stall the read either. The bytes are then read block by block, as the
// reader asks for them, so a huge file is never held whole.
class RegularFileRead {
 public:
  explicit RegularFileRead(const std::string& path);
  ~RegularFileRead();
  RegularFileRead(const RegularFileRead&) = delete;
  RegularFileRead& operator=(const RegularFileRead&) = delete;

  bool readable() const { return refusalReason.empty(); }
  // Why the file was refused, or why reading it failed, as a user can read
  // it; empty while it can be read.
  const std::string& refusal() const { return refusalReason; }
  // Whether the name led to something other than a regular file (a pipe, a
  // folder, a device); false for a regular file and for a name that could
  // not be examined (no such file, no permission).
  bool notRegularFile() const { return refusedAsNotRegular; }
  // The file's length when it was opened, in bytes; 0 when it was refused.
  std::size_t size() const { return length; }
  // A name that leads to the very file opened, whatever the name given
  // comes to lead to meanwhile, for a reader that takes names (a picture
  // decoder); empty when the file was refused.
  std::string openedName() const;

  // Reads up to `capacity` further bytes into `block`: the count read, 0 at
  // the end of the file or when reading failed (then refusal() says so).
  std::size_t readBlock(char* block, std::size_t capacity);
  // Reads up to `capacity` bytes from `offset` into `block`, leaving the
  // place of readBlock as it is: the count read, fewer at the file's end or
  // where reading failed.
  std::size_t readAt(std::size_t offset, char* block, std::size_t capacity) const;
  // Reads the rest of the file whole when it is at most `largest` bytes
  // long, both when it was opened and as it is read (it may grow); otherwise
  // refusal() becomes `tooLarge`, nothing of it is kept, and "" is returned.
  std::string readWhole(std::size_t largest, const std::string& tooLarge);

 private:
  int descriptor = -1;
  std::size_t length = 0;
  bool refusedAsNotRegular = false;
  std::string refusalReason;
};

}  // namespace Model

#endif
