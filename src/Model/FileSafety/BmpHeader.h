#ifndef BMPHEADER_H
#define BMPHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A BMP's size from its information header, for each header size that
// OpenCV or gdk-pixbuf reads: the 12-byte core header (unsigned 16-bit
// sides), the OS/2 headers of 16 to 64 bytes and the Windows headers of 40,
// 52, 56, 108 and 124 bytes (signed 32-bit sides, a negative height storing
// the rows from the top). Any other size cannot be told: gdk-pixbuf reserves
// the header size a file claims before it refuses it.
class BmpHeader {
 public:
  // `start`: the file's first bytes (at least 34, when the file has them).
  static HeaderReading read(const PictureFileBytes::Bytes& start);
};

#endif
