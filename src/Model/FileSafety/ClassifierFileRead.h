#ifndef CLASSIFIERFILEREAD_H
#define CLASSIFIERFILEREAD_H

#include <cstddef>
#include <string>

// The whole text of a classifier file: a libsvm model or a normalisation
// file. Species folders are copied from one user to another, so the file is
// read as any file from anyone (Model::RegularFileRead): a pipe, a folder or
// a device is refused without waiting on it, a file longer than largestFile
// before a byte of it is read, and the reading stops at its first error.
class ClassifierFileRead {
 public:
  // The longest classifier file read, in bytes. The longest that training
  // writes is a model of about 1 MiB: at most 1000 support vectors (the
  // patterns a training keeps), each of 54 features (the cyst texture) at
  // libsvm's longest number form, about 1 KB a line. Sixteen times that
  // leaves a wide margin, while libsvm's copy of a model of short lines
  // (several times the text) stays far below the memory of any machine.
  static constexpr std::size_t largestFile = std::size_t{16} << 20;
  // The refusal of a file that memory ran out reading or using.
  static constexpr const char* outOfMemory = "there is not enough memory to read it";

  explicit ClassifierFileRead(const std::string& path);

  bool readable() const { return refusalReason.empty(); }
  // Why the file was refused, as a user can read it; empty when it was read.
  const std::string& refusal() const { return refusalReason; }
  // The bytes of the file; empty when it was refused.
  const std::string& text() const { return contents; }

 private:
  std::string contents;
  std::string refusalReason;
};

#endif
