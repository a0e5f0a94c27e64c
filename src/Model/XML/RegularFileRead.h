#ifndef REGULARFILEREAD_H
#define REGULARFILEREAD_H

#include <string>

namespace Model {

// The whole content of a file that may come from anyone, read only when it is
// a regular file. A pipe, a folder or a device is refused at once: opening a
// pipe for reading waits for a writer, and reading a device may never end.
// The file is opened without waiting and what was opened is examined before a
// byte is read, so a name swapped for a pipe after the first look cannot
// stall the read either.
class RegularFileRead {
 public:
  explicit RegularFileRead(const std::string& path);

  bool readable() const { return refusalReason.empty(); }
  // Why the file was refused, as a user can read it; empty when it was read.
  const std::string& refusal() const { return refusalReason; }
  // The bytes of the file; empty when it was refused.
  const std::string& text() const { return contents; }

 private:
  // Reads the open descriptor to its end; false on a read error.
  bool readAll(int descriptor);

  std::string refusalReason;
  std::string contents;
};

}  // namespace Model

#endif
