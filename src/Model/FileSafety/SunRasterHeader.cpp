#include "SunRasterHeader.h"

#include <cstdint>

namespace {

// The byte-encoded type codes a run of up to 256 bytes in three.
constexpr std::uint64_t byteEncoded = 2;
constexpr double bestRunRatio = 256.0 / 3;

}  // namespace

HeaderReading SunRasterHeader::read(const PictureFileBytes::Bytes& start) {
  if (!PictureFileBytes::startsWith(start, "\x59\xA6\x6A\x95", 4)) return HeaderReading::of(HeaderReading::otherFormat);
  if (start.size() < 32) return HeaderReading::of(HeaderReading::decoderRefuses);
  const std::int64_t width = static_cast<std::int32_t>(PictureFileBytes::bigEndian(start, 4, 4));
  const std::int64_t height = static_cast<std::int32_t>(PictureFileBytes::bigEndian(start, 8, 4));
  const std::uint64_t depth = PictureFileBytes::bigEndian(start, 12, 4);
  const double rawBytes = static_cast<double>(width) * static_cast<double>(height) *
                          static_cast<double>(depth > 0 && depth <= 32 ? depth : 1) / 8;
  const bool encoded = PictureFileBytes::bigEndian(start, 20, 4) == byteEncoded;
  return HeaderReading::sized(width, height, encoded ? rawBytes / bestRunRatio : rawBytes);
}
