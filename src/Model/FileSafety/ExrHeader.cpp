#include "ExrHeader.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Past this many attributes the header is no picture anyone made.
constexpr int mostAttributes = 1024;
// The longest attribute or type name with its zero byte, with long names allowed.
constexpr std::size_t longestName = 256;
constexpr std::uint64_t longNamesFlag = 0x400;

// The zero-terminated name at `at` of `bytes` from `from`: false when none
// ends within `longest` bytes.
bool name(const PictureFileBytes::Bytes& bytes, std::size_t from, std::size_t longest, std::string& text) {
  for (std::size_t at = from; at < bytes.size() && at - from < longest; ++at) {
    if (bytes[at] == 0) {
      text.assign(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(at));
      return true;
    }
  }
  return false;
}

}  // namespace

HeaderReading ExrHeader::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (!PictureFileBytes::startsWith(start, "\x76\x2F\x31\x01", 4)) return HeaderReading::of(HeaderReading::otherFormat);
  if (start.size() < 8) return HeaderReading::of(HeaderReading::decoderRefuses);
  const std::size_t longest = (PictureFileBytes::littleEndian(start, 4, 4) & longNamesFlag) != 0 ? longestName : 32;
  std::uint64_t at = 8;
  bool hasWindow = false;
  std::int64_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  for (int attribute = 0; attribute < mostAttributes; ++attribute) {
    const PictureFileBytes::Bytes head = file.at(at, 2 * longest + 4);
    std::string attributeName, typeName;
    if (!name(head, 0, longest, attributeName)) return HeaderReading::of(HeaderReading::decoderRefuses);
    if (attributeName.empty()) {
      if (!hasWindow) return HeaderReading::of(HeaderReading::decoderRefuses);
      // An encoder may store a picture of any size in few bytes.
      return HeaderReading::sized(xMax - xMin + 1, yMax - yMin + 1, 0);
    }
    const std::size_t typeAt = attributeName.size() + 1;
    if (!name(head, typeAt, longest, typeName) || head.size() < typeAt + typeName.size() + 5)
      return HeaderReading::of(HeaderReading::decoderRefuses);
    const std::size_t sizeAt = typeAt + typeName.size() + 1;
    const auto valueSize = static_cast<std::int32_t>(PictureFileBytes::littleEndian(head, sizeAt, 4));
    if (valueSize < 0) return HeaderReading::of(HeaderReading::decoderRefuses);
    const std::uint64_t valueAt = at + sizeAt + 4;
    if (attributeName == "dataWindow") {
      const PictureFileBytes::Bytes box = file.at(valueAt, 16);
      if (typeName != "box2i" || valueSize != 16 || box.size() < 16) return HeaderReading::of(HeaderReading::decoderRefuses);
      const auto corner = [&](std::size_t place) {
        return static_cast<std::int64_t>(static_cast<std::int32_t>(PictureFileBytes::littleEndian(box, place, 4)));
      };
      xMin = corner(0);
      yMin = corner(4);
      xMax = corner(8);
      yMax = corner(12);
      hasWindow = true;
    }
    at = valueAt + static_cast<std::uint64_t>(valueSize);
  }
  return HeaderReading::of(HeaderReading::cannotTell);
}
