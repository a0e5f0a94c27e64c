#ifndef PNMHEADER_H
#define PNMHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// The size of a PBM/PGM/PPM (P1 to P6) as each of its two decoders reads
// the header, for they read some headers differently:
// - OpenCV takes the file only with a blank after the magic number; a
//   comment ends at a line feed or a carriage return; a number ends at any
//   byte but a digit, which it takes (a '#' right after a number is taken,
//   and the comment's text read as the header).
// - gdk-pixbuf takes a number as the word up to a blank or a '#' (at most
//   128 bytes, then a new word begins), parsed as strtol does; a comment
//   ends only at a line feed; a vertical tab is no blank to it.
class PnmHeader {
 public:
  static HeaderReading readAsOpenCv(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
  static HeaderReading readAsGdkPixbuf(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
