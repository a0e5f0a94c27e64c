#include "PictureHeader.h"

#include <algorithm>
#include <cstring>

#include "BmpHeader.h"
#include "ExrHeader.h"
#include "HeaderReading.h"
#include "Jpeg2000Header.h"
#include "JpegHeader.h"
#include "PamHeader.h"
#include "PfmHeader.h"
#include "PictureFileBytes.h"
#include "PngHeader.h"
#include "PnmHeader.h"
#include "RadianceHeader.h"
#include "RegularFileRead.h"
#include "SunRasterHeader.h"
#include "TiffHeader.h"
#include "WebpHeader.h"

namespace {

using Bytes = PictureFileBytes::Bytes;

// The bytes that tell every format read here, DICOM's mark at 128 the last.
constexpr std::size_t startBytes = 132;

// OpenCV's reading: the first of its decoders, in its order, that takes the
// file's start decodes it; DICOM, which it reads through GDCM, is not read
// here.
HeaderReading openCvReading(const PictureFileBytes& file, const Bytes& start) {
  const auto taken = [](const HeaderReading& reading) { return reading.outcome != HeaderReading::otherFormat; };
  HeaderReading reading = BmpHeader::read(start);
  if (taken(reading) || taken(reading = RadianceHeader::read(file, start))) return reading;
  // OpenCV takes a JPEG by three bytes, the start marker and a marker's first.
  if (PictureFileBytes::startsWith(start, "\xFF\xD8\xFF", 3)) return JpegHeader::read(file, start);
  if (taken(reading = WebpHeader::read(start)) || taken(reading = SunRasterHeader::read(start)) ||
      taken(reading = PnmHeader::readAsOpenCv(file, start)) || taken(reading = PamHeader::read(file, start)) ||
      taken(reading = PfmHeader::read(file, start)) || taken(reading = TiffHeader::read(file, start)) ||
      taken(reading = PngHeader::read(start)))
    return reading;
  if (start.size() >= startBytes && std::memcmp(&start[128], "DICM", 4) == 0)
    return HeaderReading::of(HeaderReading::cannotTell);
  if (taken(reading = Jpeg2000Header::read(file, start))) return reading;
  return ExrHeader::read(file, start);
}

// gdk-pixbuf's reading of the formats it shares with OpenCV: it takes a file
// by its start, or a TIFF by its name (BigTIFF has no start of its own to
// it), which reads as its start does.
HeaderReading gdkPixbufReading(const PictureFileBytes& file, const Bytes& start) {
  const auto taken = [](const HeaderReading& reading) { return reading.outcome != HeaderReading::otherFormat; };
  HeaderReading reading = PngHeader::read(start);
  if (taken(reading) || taken(reading = JpegHeader::read(file, start)) || taken(reading = BmpHeader::read(start)) ||
      taken(reading = TiffHeader::read(file, start)))
    return reading;
  return PnmHeader::readAsGdkPixbuf(file, start);
}

}  // namespace

PictureHeader PictureHeader::read(const std::string& path) { return read(Model::RegularFileRead(path)); }

PictureHeader PictureHeader::read(const Model::RegularFileRead& opened) {
  PictureHeader header;
  const PictureFileBytes file(opened);
  if (!file.isOpen()) return header;
  header.fileBytes = file.size();
  const Bytes start = file.at(0, startBytes);
  const HeaderReading readings[] = {openCvReading(file, start), gdkPixbufReading(file, start)};
  header.analysesReadFormat = readings[0].outcome != HeaderReading::otherFormat;
  header.outcome = Outcome::otherFormat;
  bool sized = false;
  for (const HeaderReading& reading : readings) {
    if (reading.outcome == HeaderReading::cannotTell) {
      header.outcome = Outcome::unreadable;
      header.width = header.height = 0;
      return header;
    }
    if (reading.outcome == HeaderReading::decoderRefuses && !sized) header.outcome = Outcome::unreadable;
    if (reading.outcome != HeaderReading::size) continue;
    header.width = std::max(header.width, reading.width);
    header.height = std::max(header.height, reading.height);
    header.leastFileBytes = sized ? std::min(header.leastFileBytes, reading.leastFileBytes) : reading.leastFileBytes;
    header.outcome = Outcome::size;
    sized = true;
  }
  return header;
}

bool PictureHeader::readSize(const std::string& path, int& width, int& height) {
  const PictureHeader header = read(path);
  if (header.outcome != Outcome::size) return false;
  width = header.width;
  height = header.height;
  return true;
}
