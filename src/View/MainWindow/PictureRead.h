#ifndef PICTUREREAD_H
#define PICTUREREAD_H

#include <gdkmm/pixbuf.h>

#include <cstdint>
#include <string>

#include "PictureFileCheck.h"

namespace Model {
class RegularFileRead;
}

// A picture file decoded for the windows by gdk-pixbuf, read as a file from
// anyone. It is opened without waiting and refused at once when it is not a
// regular file (a pipe would keep the window waiting for a writer), and its
// header is judged (PictureFileCheck::sizeRefusal). A header read apart can
// tell another size than the decoder reads and knows nothing of some formats
// the decoder takes, so the decoder itself is then asked: gdk-pixbuf's
// loader of the format, fed the opened file block by block, tells the size it
// will decode at, which is judged by the same limit and the loader stopped
// before it reserves the pixels, as gdk-pixbuf's own file information stops
// it. The very file opened is then decoded as gdk-pixbuf reads a file (or,
// for a format only the file's name tells, by that loader), whatever the
// name comes to lead to meanwhile.
class PictureRead {
 public:
  // Decodes the picture at `path`; a picture whose decoded form (4 bytes a
  // pixel) exceeds `limitBytes` is refused.
  explicit PictureRead(const std::string& path, std::uint64_t limitBytes = PictureFileCheck::defaultDecodedLimit());

  // The decoded picture; null when it was refused or cannot be read.
  const Glib::RefPtr<Gdk::Pixbuf>& picture() const { return decoded; }
  // Why the picture was refused, as a user can read it (not a regular file,
  // or too large for memory), naming the file; empty otherwise.
  const std::string& refusal() const { return refusalReason; }
  // Why there is no picture, for the log: the refusal, or the kind of error
  // ("FileError: ", "PixbufError: ", "Error: ") and the decoder's or the file
  // system's words; empty when it was read.
  std::string failure() const;

 private:
  void decode(Model::RegularFileRead& file, std::uint64_t limitBytes);

  std::string path;
  Glib::RefPtr<Gdk::Pixbuf> decoded;
  std::string refusalReason;
  std::string decoderError;
};

#endif
