#ifndef TIFFHEADER_H
#define TIFFHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A TIFF's size as libtiff (under OpenCV and gdk-pixbuf alike) reads it:
// the width and height entries of the first image directory, classic or
// BigTIFF, each taken at its first occurrence (libtiff ignores a repeated
// entry) and refused unless it holds one unsigned whole number.
class TiffHeader {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
