#ifndef JPEGHEADER_H
#define JPEGHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A JPEG's size from its first frame header, found as libjpeg (under OpenCV
// and gdk-pixbuf alike) walks the markers after the start marker: bytes
// before a marker are skipped, segments by their length, and the first frame
// header gives the size; a scan, the end or a marker libjpeg does not know
// before it is refused.
class JpegHeader {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
