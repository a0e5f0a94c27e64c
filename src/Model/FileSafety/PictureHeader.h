#ifndef PICTUREHEADER_H
#define PICTUREHEADER_H

#include <string>

// The size that a picture file's header claims, read from the header's own
// bytes for the formats the programs open: PNG, JPEG, PBM/PGM/PPM, BMP and
// TIFF. Nothing is decoded or reserved, so a header of a few bytes that
// claims billions of pixels costs no more than one that claims a few (a
// picture loader would reserve room for the claimed pixels first).
class PictureHeader {
 public:
  // True with the claimed width and height (each at least one pixel) when
  // the file starts as one of these formats and its header tells a size in
  // the form the format's decoders read; false for any other file or
  // header, which the caller may ask a picture loader about.
  static bool readSize(const std::string& path, int& width, int& height);
};

#endif
