#include "BmpHeader.h"

#include <cstdint>

namespace {

// The compressions whose rows are stored whole: none, bit fields, alpha bit
// fields. Run-length compressed rows may end the picture early.
bool storesEveryRow(std::uint64_t compression) { return compression == 0 || compression == 3 || compression == 6; }

}  // namespace

HeaderReading BmpHeader::read(const PictureFileBytes::Bytes& start) {
  if (!PictureFileBytes::startsWith(start, "BM", 2)) return HeaderReading::of(HeaderReading::otherFormat);
  if (start.size() < 18) return HeaderReading::of(HeaderReading::decoderRefuses);
  const std::uint64_t headerSize = PictureFileBytes::littleEndian(start, 14, 4);
  std::int64_t width = 0, height = 0;
  std::uint64_t bitsPerPixel = 0, compression = 0;
  if (headerSize == 12) {
    if (start.size() < 26) return HeaderReading::of(HeaderReading::decoderRefuses);
    width = static_cast<std::int64_t>(PictureFileBytes::littleEndian(start, 18, 2));
    height = static_cast<std::int64_t>(PictureFileBytes::littleEndian(start, 20, 2));
    bitsPerPixel = PictureFileBytes::littleEndian(start, 24, 2);
  } else if ((headerSize >= 16 && headerSize <= 64) || headerSize == 108 || headerSize == 124) {
    if (start.size() < 34) return HeaderReading::of(HeaderReading::decoderRefuses);
    width = static_cast<std::int32_t>(PictureFileBytes::littleEndian(start, 18, 4));
    height = static_cast<std::int32_t>(PictureFileBytes::littleEndian(start, 22, 4));
    bitsPerPixel = PictureFileBytes::littleEndian(start, 28, 2);
    // The 16-byte OS/2 header ends before the compression.
    if (headerSize >= 20) compression = PictureFileBytes::littleEndian(start, 30, 4);
  } else {
    return HeaderReading::of(HeaderReading::cannotTell);
  }
  const std::int64_t rows = height < 0 ? -height : height;
  // Rows are padded to whole 32-bit words.
  const double rowBytes = static_cast<double>((static_cast<std::uint64_t>(width > 0 ? width : 0) *
                                                   (bitsPerPixel > 0 ? bitsPerPixel : 1) + 31) / 32 * 4);
  return HeaderReading::sized(width, rows, storesEveryRow(compression) ? rowBytes * static_cast<double>(rows) : 0);
}
