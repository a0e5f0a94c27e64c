#ifndef PAMHEADER_H
#define PAMHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A PAM's (P7) size as OpenCV reads its header: after "P7" and a line
// break, lines of a keyword and a value up to the line's end (a line feed or
// a carriage return) until ENDHDR; comments; WIDTH and HEIGHT at most once,
// each a decimal number below 2^31 - 1 followed by blanks only. gdk-pixbuf
// does not read PAM.
class PamHeader {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
