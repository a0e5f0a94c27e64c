#ifndef PICTUREFILEBYTES_H
#define PICTUREFILEBYTES_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RegularFileRead.h"

// The bytes of a picture file opened as any file from anyone
// (RegularFileRead: only a regular file, without waiting, its length taken
// from the opened file itself), read where a header reader asks for them and
// no further, and without moving the place the file is read from next.
class PictureFileBytes {
 public:
  using Bytes = std::vector<unsigned char>;

  explicit PictureFileBytes(const Model::RegularFileRead& file) : file(file) {}

  // False for a missing file, one that cannot be read, or anything but a
  // regular file.
  bool isOpen() const { return file.readable(); }
  // The file's length in bytes when it was opened.
  std::uint64_t size() const { return file.size(); }
  // Up to `count` bytes from `offset`; fewer at the file's end.
  Bytes at(std::uint64_t offset, std::size_t count) const;

  // The unsigned number of `count` bytes (at most 8) at `at` of `bytes`, most
  // or least significant byte first; the caller has checked there are as many.
  static std::uint64_t bigEndian(const Bytes& bytes, std::size_t at, int count);
  static std::uint64_t littleEndian(const Bytes& bytes, std::size_t at, int count);
  // Whether `bytes` start with the `length` bytes of `text`.
  static bool startsWith(const Bytes& bytes, const char* text, std::size_t length);

 private:
  const Model::RegularFileRead& file;
};

#endif
