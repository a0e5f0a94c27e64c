#ifndef PICTUREFILECHECK_H
#define PICTUREFILECHECK_H

#include <cstdint>
#include <string>

namespace Model {
class RegularFileRead;
}

// What can be told about a picture file without decoding it. Every reader of
// pictures asks before decoding: a file of a few bytes can claim a size whose
// decoded form does not fit in memory, and a JPEG cut short decodes without
// an error, its missing part grey.
class PictureFileCheck {
 public:
  // Bytes per pixel of the decoded form the limit is reckoned in.
  static constexpr std::uint64_t decodedBytesPerPixel = 4;
  // Peak memory of a cell detection per pixel of its picture, as measured
  // on large pictures: the picture as read, its grey level and the edge
  // search at its widest.
  static constexpr std::uint64_t detectionBytesPerPixel = 30;
  // The longest side, in pixels, of a picture the program opens: the
  // analyses read the picture with OpenCV, which refuses a longer side.
  static constexpr int largestSide = 1 << 20;

  // A quarter of the physical memory.
  static std::uint64_t defaultDecodedLimit();

  // Reads the size from the file's header (PictureHeader), the size the
  // decoders would produce. False when no size is read: no regular file, a
  // format not read here, or a header whose size cannot be vouched for.
  static bool readSize(const std::string& path, int& width, int& height);

  // Empty when the picture may be decoded in a window; else a message naming
  // the file, for a header whose size cannot be read although a decoder takes
  // the file, for a picture whose decoded form (width x height x 4 bytes)
  // exceeds `limitBytes` or with a side longer than largestSide, or for a
  // file far too short for the pixels it claims (fewer than half the bytes
  // its format needs for them at best). A file that cannot be opened, or in
  // a format not read here, is left to the decoder, which reports it.
  static std::string sizeRefusal(const std::string& path, std::uint64_t limitBytes = defaultDecodedLimit());
  // The same for the picture `path` already opened as `opened`, the file its
  // decoder is then given: the header judged is that file's, whatever the
  // name comes to lead to meanwhile.
  static std::string sizeRefusal(const std::string& path, const Model::RegularFileRead& opened,
                                 std::uint64_t limitBytes);
  // The same judgement of the size that a decoder reports for the file at
  // `path` before it reserves the pixels: empty, or the message naming the
  // file and that size.
  static std::string sizeRefusal(const std::string& path, int width, int height,
                                 std::uint64_t limitBytes = defaultDecodedLimit());
  // The same judgement of a size told by other means (an annotation file
  // records the size of its picture): empty when a picture of `width` x
  // `height` pixels may be decoded, else "W x H pixels: it would take ..."
  // or "W x H pixels: its sides may be at most ...".
  static std::string sizeRefusal(int width, int height, std::uint64_t limitBytes = defaultDecodedLimit());
  // The same for an analysis of the picture: empty when a detection on it
  // may run; else a message naming the file, its size and the estimated
  // peak (width x height x detectionBytesPerPixel), which exceeds
  // `limitBytes`, or its size, when a side is longer than largestSide. A
  // file in a format OpenCV does not take by the formats read here is
  // refused too, rather than decoded unchecked.
  static std::string detectionRefusal(const std::string& path, std::uint64_t limitBytes = defaultDecodedLimit());
  // The same for the picture `path` already opened as `opened`.
  static std::string detectionRefusal(const std::string& path, const Model::RegularFileRead& opened,
                                      std::uint64_t limitBytes);
  // The same for the size that a decoder reports for the file at `path`.
  static std::string detectionRefusal(const std::string& path, int width, int height,
                                      std::uint64_t limitBytes = defaultDecodedLimit());

  // The message for a picture that is not a regular file (a pipe, a folder,
  // a device): a decoder would wait on it for a writer, or read it for ever,
  // so it is refused before anything reads it (Model::RegularFileRead).
  static std::string notRegularMessage(const std::string& path);

  // False for a JPEG file whose data ends before its end-of-image marker;
  // true for every other file. The file is read as far as its end-of-image
  // marker, block by block, as the decoder reads it: whatever follows the
  // picture is never read, and nothing of it is held whole.
  static bool isComplete(const std::string& path);
  // The same for a file already opened; the place it is read from next is
  // left as it is.
  static bool isComplete(const Model::RegularFileRead& opened);
  // The message for a picture that isComplete refused.
  static std::string incompleteMessage(const std::string& path);
};

#endif
