#ifndef JPEG2000HEADER_H
#define JPEG2000HEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A JPEG 2000 picture's size as OpenJPEG reads it for OpenCV: the image
// area of the codestream's size segment (its far corner less its offset),
// in a bare codestream or in the first codestream box of a JP2 file.
// gdk-pixbuf does not read JPEG 2000.
class Jpeg2000Header {
 public:
  static HeaderReading read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start);
};

#endif
