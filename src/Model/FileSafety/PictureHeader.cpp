#include "PictureHeader.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// The longest PBM/PGM/PPM header read: comments may stand between its numbers.
constexpr std::size_t longestPnmHeader = 64 * 1024;

// Up to `count` bytes of `in` from `offset`; fewer at the file's end.
Bytes readAt(std::ifstream& in, std::uint64_t offset, std::size_t count) {
  Bytes bytes(count);
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
  bytes.resize(in.gcount() > 0 ? static_cast<std::size_t>(in.gcount()) : 0);
  return bytes;
}

std::uint32_t bigEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

std::uint32_t littleEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

bool startsWith(const Bytes& bytes, const char* text, std::size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), text, length) == 0;
}

// Takes a claimed size whose sides are at least one pixel and fit an int.
bool take(std::int64_t claimedWidth, std::int64_t claimedHeight, int& width, int& height) {
  if (claimedWidth < 1 || claimedHeight < 1 || claimedWidth > INT_MAX || claimedHeight > INT_MAX) return false;
  width = static_cast<int>(claimedWidth);
  height = static_cast<int>(claimedHeight);
  return true;
}

// The IHDR chunk, which follows the signature.
bool pngSize(const Bytes& start, int& width, int& height) {
  if (!startsWith(start, "\x89PNG\r\n\x1a\n", 8) || start.size() < 24 || std::memcmp(&start[12], "IHDR", 4) != 0)
    return false;
  return take(bigEndian(start, 16, 4), bigEndian(start, 20, 4), width, height);
}

// The information header after the 14-byte file header: the 12-byte core
// header holds unsigned 16-bit sides, the later ones signed 32-bit sides,
// a negative height meaning rows stored from the top.
bool bmpSize(const Bytes& start, int& width, int& height) {
  if (!startsWith(start, "BM", 2) || start.size() < 26) return false;
  const std::uint32_t headerSize = littleEndian(start, 14, 4);
  if (headerSize == 12) return take(littleEndian(start, 18, 2), littleEndian(start, 20, 2), width, height);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124) return false;
  const auto claimedWidth = static_cast<std::int32_t>(littleEndian(start, 18, 4));
  const auto claimedHeight = static_cast<std::int32_t>(littleEndian(start, 22, 4));
  const std::int64_t rows = claimedHeight < 0 ? -static_cast<std::int64_t>(claimedHeight) : claimedHeight;
  return take(claimedWidth, rows, width, height);
}

bool isFrameHeader(unsigned marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments from the start marker to the first frame header,
// which holds the height and then the width. Picture data or the end of
// the picture before a frame header leaves the size untold.
bool jpegSize(std::ifstream& in, const Bytes& start, int& width, int& height) {
  if (!startsWith(start, "\xFF\xD8", 2)) return false;
  std::uint64_t at = 2;
  for (;;) {
    const Bytes segment = readAt(in, at, 9);
    if (segment.size() < 2 || segment[0] != 0xFF) return false;
    const unsigned marker = segment[1];
    if (marker == 0xFF) {
      ++at;  // a fill byte before the marker
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      at += 2;  // markers without a length
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA || segment.size() < 4) return false;
    const std::uint32_t length = bigEndian(segment, 2, 2);
    if (length < 2) return false;
    if (isFrameHeader(marker))
      return segment.size() == 9 && take(bigEndian(segment, 7, 2), bigEndian(segment, 5, 2), width, height);
    at += 2 + length;
  }
}

// The width and height entries of the first image directory.
bool tiffSize(std::ifstream& in, const Bytes& start, int& width, int& height) {
  const bool little = startsWith(start, "II*\0", 4);
  if (!little && !startsWith(start, "MM\0*", 4)) return false;
  const auto number = [little](const Bytes& bytes, std::size_t at, int count) {
    return little ? littleEndian(bytes, at, count) : bigEndian(bytes, at, count);
  };
  const std::uint32_t directory = number(start, 4, 4);
  const Bytes countBytes = readAt(in, directory, 2);
  if (countBytes.size() < 2) return false;
  const std::size_t count = number(countBytes, 0, 2);
  const Bytes entries = readAt(in, std::uint64_t{directory} + 2, 12 * count);
  if (entries.size() < 12 * count) return false;
  std::int64_t claimedWidth = 0, claimedHeight = 0;
  for (std::size_t entry = 0; entry < count; ++entry) {
    const std::size_t at = 12 * entry;
    const std::uint32_t tag = number(entries, at, 2);
    const std::uint32_t type = number(entries, at + 2, 2);
    if ((tag != 256 && tag != 257) || number(entries, at + 4, 4) != 1) continue;
    std::int64_t value = 0;
    if (type == 3)
      value = number(entries, at + 8, 2);  // SHORT
    else if (type == 4)
      value = number(entries, at + 8, 4);  // LONG
    else
      return false;
    (tag == 256 ? claimedWidth : claimedHeight) = value;
  }
  return take(claimedWidth, claimedHeight, width, height);
}

bool isPnmSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The next decimal number of a PBM/PGM/PPM header from `at`, past blanks
// and comments; -1 when there is none, or one beyond an int.
std::int64_t pnmNumber(const Bytes& header, std::size_t& at) {
  for (;;) {
    while (at < header.size() && isPnmSpace(header[at])) ++at;
    if (at >= header.size() || header[at] != '#') break;
    while (at < header.size() && header[at] != '\n' && header[at] != '\r') ++at;
  }
  std::int64_t value = -1;
  for (; at < header.size() && header[at] >= '0' && header[at] <= '9'; ++at) {
    value = (value < 0 ? 0 : value * 10) + (header[at] - '0');
    if (value > INT_MAX) return -1;
  }
  if (at >= header.size() || !(isPnmSpace(header[at]) || header[at] == '#')) return -1;  // the number goes on
  return value;
}

// The magic number P1 to P6, then the width and the height.
bool pnmSize(std::ifstream& in, const Bytes& start, int& width, int& height) {
  if (start.size() < 3 || start[0] != 'P' || start[1] < '1' || start[1] > '6') return false;
  if (!isPnmSpace(start[2]) && start[2] != '#') return false;
  const Bytes header = readAt(in, 0, longestPnmHeader);
  std::size_t at = 2;
  const std::int64_t claimedWidth = pnmNumber(header, at);
  const std::int64_t claimedHeight = pnmNumber(header, at);
  return take(claimedWidth, claimedHeight, width, height);
}

}  // namespace

bool PictureHeader::readSize(const std::string& path, int& width, int& height) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const Bytes start = readAt(in, 0, 32);
  return pngSize(start, width, height) || bmpSize(start, width, height) || jpegSize(in, start, width, height) ||
         tiffSize(in, start, width, height) || pnmSize(in, start, width, height);
}
