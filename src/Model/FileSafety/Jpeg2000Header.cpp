#include "Jpeg2000Header.h"

#include <cstdint>
#include <cstring>

namespace {

// Past this many boxes before the codestream the file is no picture anyone made.
constexpr int mostBoxes = 1024;

const char jp2Signature[] = "\0\0\0\x0cjP  \r\n\x87\n";
const char codestreamStart[] = "\xFF\x4F\xFF\x51";

// The size segment that follows the codestream's start at `at`.
HeaderReading codestreamSize(const PictureFileBytes& file, std::uint64_t at) {
  const PictureFileBytes::Bytes segment = file.at(at, 24);
  if (segment.size() < 24 || std::memcmp(segment.data(), codestreamStart, 4) != 0)
    return HeaderReading::of(HeaderReading::decoderRefuses);
  const auto corner = [&](std::size_t place) {
    return static_cast<std::int64_t>(PictureFileBytes::bigEndian(segment, place, 4));
  };
  // The far corner, then the offset, each across and down. A codestream may
  // hold a picture of any size in a few bytes.
  return HeaderReading::sized(corner(8) - corner(16), corner(12) - corner(20), 0);
}

}  // namespace

HeaderReading Jpeg2000Header::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (PictureFileBytes::startsWith(start, codestreamStart, 4)) return codestreamSize(file, 0);
  if (!PictureFileBytes::startsWith(start, jp2Signature, 12)) return HeaderReading::of(HeaderReading::otherFormat);
  std::uint64_t at = 12;
  for (int box = 0; box < mostBoxes; ++box) {
    const PictureFileBytes::Bytes head = file.at(at, 16);
    if (head.size() < 8) return HeaderReading::of(HeaderReading::decoderRefuses);
    std::uint64_t length = PictureFileBytes::bigEndian(head, 0, 4);
    std::uint64_t content = 8;
    if (length == 1) {
      if (head.size() < 16) return HeaderReading::of(HeaderReading::decoderRefuses);
      length = PictureFileBytes::bigEndian(head, 8, 8);
      content = 16;
    }
    if (std::memcmp(&head[4], "jp2c", 4) == 0) return codestreamSize(file, at + content);
    // A box of no length runs to the file's end; one shorter than its head
    // is malformed.
    if (length < content) return HeaderReading::of(HeaderReading::decoderRefuses);
    at += length;
  }
  return HeaderReading::of(HeaderReading::cannotTell);
}
