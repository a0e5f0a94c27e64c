#include "TiffHeader.h"

#include <cstdint>

namespace {

// libtiff refuses a directory of more entries as no directory at all.
constexpr std::uint64_t mostEntries = 4096;

constexpr std::uint32_t widthTag = 256;
constexpr std::uint32_t heightTag = 257;
constexpr std::uint32_t compressionTag = 259;

// The layout of one of the two forms.
struct Layout {
  bool little;
  int offsetBytes;  // of a directory's place, its entry count and an entry's value field
  int countBytes;   // of the entry count in a directory
  int entryBytes;
};

std::uint64_t number(const Layout& layout, const PictureFileBytes::Bytes& bytes, std::size_t at, int count) {
  return layout.little ? PictureFileBytes::littleEndian(bytes, at, count) : PictureFileBytes::bigEndian(bytes, at, count);
}

// The one unsigned whole number of the entry at `at` of `entries`, as
// libtiff reads a width, a height or a compression: false when the entry
// holds another count or type, or a negative number.
bool entryValue(const PictureFileBytes& file, const Layout& layout, const PictureFileBytes::Bytes& entries,
                std::size_t at, std::uint64_t& value) {
  if (number(layout, entries, at + 4, layout.offsetBytes == 8 ? 8 : 4) != 1) return false;
  const std::uint64_t type = number(layout, entries, at + 2, 2);
  int bytes = 0;
  bool isSigned = false;
  switch (type) {
    case 1: bytes = 1; break;                    // BYTE
    case 6: bytes = 1; isSigned = true; break;   // SBYTE
    case 3: bytes = 2; break;                    // SHORT
    case 8: bytes = 2; isSigned = true; break;   // SSHORT
    case 4: case 13: bytes = 4; break;           // LONG, IFD
    case 9: bytes = 4; isSigned = true; break;   // SLONG
    case 16: case 18: bytes = 8; break;          // LONG8, IFD8
    case 17: bytes = 8; isSigned = true; break;  // SLONG8
    default: return false;
  }
  const std::size_t field = at + 4 + static_cast<std::size_t>(layout.offsetBytes);
  // A value longer than the field is stored where the field points.
  PictureFileBytes::Bytes stored;
  if (bytes <= layout.offsetBytes) {
    stored.assign(entries.begin() + static_cast<std::ptrdiff_t>(field),
                  entries.begin() + static_cast<std::ptrdiff_t>(field) + bytes);
  } else {
    stored = file.at(number(layout, entries, field, layout.offsetBytes), static_cast<std::size_t>(bytes));
    if (stored.size() < static_cast<std::size_t>(bytes)) return false;
  }
  value = number(layout, stored, 0, bytes);
  if (isSigned && (value >> (8 * bytes - 1)) != 0) return false;
  return value <= UINT32_MAX;
}

// The least bytes per pixel of the compressions whose best ratio is known:
// none, PackBits (128 bytes in 2), LZW (12-bit codes of strings up to some
// thousand bytes) and deflate (1032:1), reckoned at one bit per pixel. Any
// other compression is not bounded.
double leastBytesPerPixel(std::uint64_t compression) {
  switch (compression) {
    case 1: return 1.0 / 8;
    case 32773: return 1.0 / 8 / 64;
    case 5: return 1.0 / 8 / 4096;
    case 8: case 32946: return 1.0 / 8 / 1032;
    default: return 0;
  }
}

}  // namespace

HeaderReading TiffHeader::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  const bool little = PictureFileBytes::startsWith(start, "II", 2);
  if ((!little && !PictureFileBytes::startsWith(start, "MM", 2)) || start.size() < 4)
    return HeaderReading::of(HeaderReading::otherFormat);
  Layout layout{little, 4, 2, 12};
  const auto version = little ? PictureFileBytes::littleEndian(start, 2, 2) : PictureFileBytes::bigEndian(start, 2, 2);
  if (version == 43)
    layout = Layout{little, 8, 8, 20};
  else if (version != 42)
    return HeaderReading::of(HeaderReading::otherFormat);
  const std::size_t directoryPlace = layout.offsetBytes == 8 ? 8 : 4;
  if (start.size() < directoryPlace + layout.offsetBytes) return HeaderReading::of(HeaderReading::decoderRefuses);
  const std::uint64_t directory = number(layout, start, directoryPlace, layout.offsetBytes);
  const PictureFileBytes::Bytes countBytes = file.at(directory, static_cast<std::size_t>(layout.countBytes));
  if (countBytes.size() < static_cast<std::size_t>(layout.countBytes))
    return HeaderReading::of(HeaderReading::decoderRefuses);
  const std::uint64_t count = number(layout, countBytes, 0, layout.countBytes);
  if (count > mostEntries) return HeaderReading::of(HeaderReading::decoderRefuses);
  const std::size_t entryBytes = static_cast<std::size_t>(count) * static_cast<std::size_t>(layout.entryBytes);
  const PictureFileBytes::Bytes entries = file.at(directory + static_cast<std::uint64_t>(layout.countBytes), entryBytes);
  if (entries.size() < entryBytes) return HeaderReading::of(HeaderReading::decoderRefuses);

  bool hasWidth = false, hasHeight = false, hasCompression = false;
  std::uint64_t width = 0, height = 0, compression = 1;
  for (std::size_t at = 0; at < entryBytes; at += static_cast<std::size_t>(layout.entryBytes)) {
    const std::uint64_t tag = number(layout, entries, at, 2);
    bool* seen = tag == widthTag ? &hasWidth : tag == heightTag ? &hasHeight : tag == compressionTag ? &hasCompression : nullptr;
    if (seen == nullptr || *seen) continue;
    *seen = true;
    std::uint64_t& value = tag == widthTag ? width : tag == heightTag ? height : compression;
    // A compression libtiff cannot read fails the decode later; it only
    // leaves the file's least length unknown here.
    if (!entryValue(file, layout, entries, at, value)) {
      if (tag != compressionTag) return HeaderReading::of(HeaderReading::decoderRefuses);
      compression = 0;
    }
  }
  if (!hasWidth || !hasHeight) return HeaderReading::of(HeaderReading::decoderRefuses);
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  return HeaderReading::sized(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height),
                              pixels * leastBytesPerPixel(compression));
}
