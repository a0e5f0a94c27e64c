#ifndef SUNRASTERHEADER_H
#define SUNRASTERHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A Sun raster's size as OpenCV reads it: the signed 32-bit big-endian
// width and height after the magic number. gdk-pixbuf does not read it.
class SunRasterHeader {
 public:
  // `start`: the file's first bytes (at least the 32 of the header, when
  // the file has them).
  static HeaderReading read(const PictureFileBytes::Bytes& start);
};

#endif
