#ifndef EXRHEADER_H
#define EXRHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// An OpenEXR picture's size as OpenEXR reads it for OpenCV: the data window
// of the first header, whose attributes OpenEXR reads in order, a repeated
// one replacing the earlier. gdk-pixbuf does not read OpenEXR.
class ExrHeader {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
