#ifndef HEADERTEXT_H
#define HEADERTEXT_H

#include <cstddef>

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// The text header at the start of a picture file, read byte by byte as the
// decoders of text headers (PBM/PGM/PPM, PAM, PFM, Radiance) read it. The
// file is read in small blocks as the reader goes on, and no further than
// the longest header: a header longer than any picture's is not followed,
// and its reading cannot be told.
class HeaderText {
 public:
  static constexpr std::size_t longestHeader = 64 * 1024;

  explicit HeaderText(const PictureFileBytes& file) : file(file) {}

  // The next byte, or -1 past the bytes that can be read.
  int next();
  // The next byte without taking it, or -1.
  int peek();
  // The bytes taken so far.
  std::size_t taken() const { return at; }
  // The reading of a header that needed more bytes than can be read:
  // refused at the file's end, as every decoder does, untold before it.
  HeaderReading ranOut() const;

 private:
  const PictureFileBytes& file;
  PictureFileBytes::Bytes bytes;
  std::size_t at = 0;
};

#endif
