#include "PngHeader.h"

#include <cstdint>
#include <cstring>

namespace {

// Deflate codes at best 258 repeated bytes in two bits.
constexpr double deflateBestRatio = 1032;

int channels(unsigned colourType) {
  switch (colourType) {
    case 2: return 3;  // RGB
    case 4: return 2;  // grey and alpha
    case 6: return 4;  // RGBA
    default: return 1;  // grey, palette
  }
}

}  // namespace

HeaderReading PngHeader::read(const PictureFileBytes::Bytes& start) {
  if (!PictureFileBytes::startsWith(start, "\x89PNG\r\n\x1a\n", 8)) return HeaderReading::of(HeaderReading::otherFormat);
  if (start.size() < 26 || std::memcmp(&start[12], "IHDR", 4) != 0)
    return HeaderReading::of(HeaderReading::decoderRefuses);
  const auto width = static_cast<std::int64_t>(PictureFileBytes::bigEndian(start, 16, 4));
  const auto height = static_cast<std::int64_t>(PictureFileBytes::bigEndian(start, 20, 4));
  // The rows as deflate compresses them: a filter byte and the samples.
  const double rowBits = static_cast<double>(width) * start[24] * channels(start[25]);
  const double rawBytes = static_cast<double>(height) * (1 + rowBits / 8);
  // The signature and the header chunk come before the compressed rows.
  return HeaderReading::sized(width, height, 33 + rawBytes / deflateBestRatio);
}
