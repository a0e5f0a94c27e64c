#ifndef PNGHEADER_H
#define PNGHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A PNG's size, from the header chunk that must follow the signature, as
// libpng reads it for OpenCV and gdk-pixbuf alike.
class PngHeader {
 public:
  // `start`: the file's first bytes (at least the 26 of the header chunk's
  // fields, when the file has them).
  static HeaderReading read(const PictureFileBytes::Bytes& start);
};

#endif
