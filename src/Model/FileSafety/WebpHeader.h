#ifndef WEBPHEADER_H
#define WEBPHEADER_H

#include "HeaderReading.h"
#include "PictureFileBytes.h"

// A WebP's size as OpenCV takes it: libwebp's own reading of the file's
// first 32 bytes, which tells OpenCV both that the file is a WebP (a RIFF
// container, or a bare lossy or lossless stream) and the size it decodes.
// gdk-pixbuf does not read WebP here.
class WebpHeader {
 public:
  // `start`: the file's first bytes (at least 32, when the file has them).
  static HeaderReading read(const PictureFileBytes::Bytes& start);
};

#endif
