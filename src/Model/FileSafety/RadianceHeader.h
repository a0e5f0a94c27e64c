#ifndef RADIANCEHEADER_H
#define RADIANCEHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A Radiance HDR picture's size as OpenCV reads its header: lines of at
// most 127 bytes (a longer line is read as several) up to the line
// "FORMAT=32-bit_rle_rgbe", an empty line, then "-Y height +X width" read
// as sscanf reads "%d" (a number beyond an int wraps to the int's width).
// gdk-pixbuf does not read it.
class RadianceHeader {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
