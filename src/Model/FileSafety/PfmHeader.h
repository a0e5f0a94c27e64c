#ifndef PFMHEADER_H
#define PFMHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A PFM's size as OpenCV reads its header: "PF" (colour) or "Pf" (grey), a
// line feed, then the width and the height, each the text up to the next
// single blank read as a stream reads an int (a sign, digits, anything
// after them ignored). gdk-pixbuf does not read PFM.
class PfmHeader {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
