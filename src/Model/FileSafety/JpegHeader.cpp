#include "JpegHeader.h"

#include <cstdint>

namespace {

// Past these, a header is no picture anyone made: its reading is not vouched for.
constexpr int mostMarkers = 4096;
constexpr std::uint64_t mostSkippedBytes = 64 * 1024;

// Huffman coding spends at least a bit on each 8 x 8 block of the full
// resolution component; arithmetic coding may spend far less.
constexpr double huffmanPixelsPerByte = 8 * 64;
constexpr double arithmeticPixelsPerByte = 1 << 24;

bool isFrameHeader(unsigned marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isArithmetic(unsigned marker) { return marker >= 0xC9; }

// Markers whose segment libjpeg skips by its length: tables, restart
// interval, line count, application data and comments.
bool hasLength(unsigned marker) {
  return marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDC || marker == 0xDD ||
         (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

// Markers without a segment.
bool standsAlone(unsigned marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

enum class Found { marker, end, tooFar };

// The next marker from `at` as libjpeg finds it: bytes up to a 0xFF are
// skipped, then fill bytes 0xFF; 0xFF 0x00 is skipped as well. `at` ends
// past the marker.
Found nextMarker(const PictureFileBytes& file, std::uint64_t& at, unsigned& marker) {
  bool afterFill = false;
  for (std::uint64_t skipped = 0; skipped <= mostSkippedBytes;) {
    const PictureFileBytes::Bytes block = file.at(at, 512);
    if (block.empty()) return Found::end;
    for (const unsigned char byte : block) {
      ++at;
      ++skipped;
      if (afterFill && byte != 0xFF && byte != 0x00) {
        marker = byte;
        return Found::marker;
      }
      afterFill = byte == 0xFF;
    }
  }
  return Found::tooFar;
}

}  // namespace

HeaderReading JpegHeader::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (!PictureFileBytes::startsWith(start, "\xFF\xD8", 2)) return HeaderReading::of(HeaderReading::otherFormat);
  std::uint64_t at = 2;
  for (int count = 0; count < mostMarkers; ++count) {
    unsigned marker = 0;
    const Found found = nextMarker(file, at, marker);
    if (found == Found::tooFar) break;
    // At the file's end libjpeg reads an end marker.
    if (found == Found::end) return HeaderReading::of(HeaderReading::decoderRefuses);
    if (standsAlone(marker)) continue;
    const PictureFileBytes::Bytes segment = file.at(at, 7);
    if (isFrameHeader(marker)) {
      // Length, precision, height, width.
      if (segment.size() < 7) return HeaderReading::of(HeaderReading::decoderRefuses);
      const auto height = static_cast<std::int64_t>(PictureFileBytes::bigEndian(segment, 3, 2));
      const auto width = static_cast<std::int64_t>(PictureFileBytes::bigEndian(segment, 5, 2));
      const double pixels = static_cast<double>(width) * static_cast<double>(height);
      return HeaderReading::sized(
          width, height, pixels / (isArithmetic(marker) ? arithmeticPixelsPerByte : huffmanPixelsPerByte));
    }
    // A second start marker, a scan or the end before any frame header, or
    // a marker libjpeg does not know.
    if (!hasLength(marker) || segment.size() < 2) return HeaderReading::of(HeaderReading::decoderRefuses);
    const std::uint64_t length = PictureFileBytes::bigEndian(segment, 0, 2);
    at += length > 2 ? length : 2;
  }
  return HeaderReading::of(HeaderReading::cannotTell);
}
