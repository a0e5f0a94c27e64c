#ifndef PICTUREFILEBYTES_H
#define PICTUREFILEBYTES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The bytes of a picture file, read where a header reader asks for them and
// no further. Only a regular file is opened, without waiting: a pipe opened
// for reading would wait for a writer. The length comes from the opened
// file itself, not from reading it.
class PictureFileBytes {
 public:
  using Bytes = std::vector<unsigned char>;

  explicit PictureFileBytes(const std::string& path);
  ~PictureFileBytes();
  PictureFileBytes(const PictureFileBytes&) = delete;
  PictureFileBytes& operator=(const PictureFileBytes&) = delete;

  // False for a missing file, one that cannot be read, or anything but a
  // regular file.
  bool isOpen() const { return descriptor >= 0; }
  // The file's length in bytes when it was opened.
  std::uint64_t size() const { return length; }
  // Up to `count` bytes from `offset`; fewer at the file's end.
  Bytes at(std::uint64_t offset, std::size_t count) const;

  // The unsigned number of `count` bytes (at most 8) at `at` of `bytes`, most
  // or least significant byte first; the caller has checked there are as many.
  static std::uint64_t bigEndian(const Bytes& bytes, std::size_t at, int count);
  static std::uint64_t littleEndian(const Bytes& bytes, std::size_t at, int count);
  // Whether `bytes` start with the `length` bytes of `text`.
  static bool startsWith(const Bytes& bytes, const char* text, std::size_t length);

 private:
  int descriptor = -1;
  std::uint64_t length = 0;
};

#endif
