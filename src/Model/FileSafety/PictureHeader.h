#ifndef PICTUREHEADER_H
#define PICTUREHEADER_H

#include <cstdint>
#include <string>

namespace Model {
class RegularFileRead;
}

// The size a picture file decodes to, read from its header's own bytes as
// each decoder that may follow reads it: OpenCV for the analyses (BMP,
// Radiance HDR, JPEG, WebP, Sun raster, PBM/PGM/PPM, PAM, PFM, TIFF, PNG,
// JPEG 2000, OpenEXR, in the order it tries them) and gdk-pixbuf for the
// windows (PNG, JPEG, BMP, TIFF, PBM/PGM/PPM; its other formats are left to
// it). Where the two read a header differently, the larger of their sizes
// is told, so neither decodes more. Nothing is decoded or reserved, only
// the header's bytes are read, and a file that is not a regular file is not
// waited on.
class PictureHeader {
 public:
  enum class Outcome {
    size,         // the size is read
    otherFormat,  // no decoder takes the file by any format read here
    unreadable,   // a decoder takes it, but no size can be vouched for: the
                  // decoders refuse the header, or it is no picture's header
    noFile,       // no regular file can be opened
  };

  static PictureHeader read(const std::string& path);
  // The header of the file `opened`, the very file a decoder is then given.
  static PictureHeader read(const Model::RegularFileRead& opened);
  // True with the size when read() reads one.
  static bool readSize(const std::string& path, int& width, int& height);

  Outcome outcome = Outcome::noFile;
  // Whether OpenCV takes the file by its format: a file it does not is
  // refused for the analyses rather than decoded unchecked.
  bool analysesReadFormat = false;
  int width = 0;
  int height = 0;
  // The fewest bytes in which a whole file of its format holds the size
  // read, by the format's best compression; 0 where none is known.
  std::uint64_t leastFileBytes = 0;
  std::uint64_t fileBytes = 0;
};

#endif
