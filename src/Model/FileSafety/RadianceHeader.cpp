#include "RadianceHeader.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "HeaderText.h"

namespace {

// The line buffer of OpenCV's reader, with its terminating zero.
constexpr std::size_t lineBuffer = 128;

// The next line as fgets reads it into the buffer (through a line feed or
// 127 bytes, fewer at the end), cut at a zero byte as C strings are. True
// when the bytes ran out before the line ended.
bool readLine(HeaderText& text, std::string& line) {
  line.clear();
  bool zero = false;
  for (std::size_t read = 0; read + 1 < lineBuffer; ++read) {
    const int c = text.next();
    if (c == -1) return true;
    zero = zero || c == 0;
    if (!zero) line += static_cast<char>(c);
    if (c == '\n') break;
  }
  return false;
}

// sscanf's "%d" from `at` of `line`: blanks, a sign, digits; the value a
// long holds, kept to an int's width as the store to an int does.
bool scanInt(const std::string& line, std::size_t& at, std::int64_t& value) {
  while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
  bool negative = false;
  if (at < line.size() && (line[at] == '+' || line[at] == '-')) negative = line[at++] == '-';
  const std::size_t digits = at;
  std::uint64_t magnitude = 0;
  for (; at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])); ++at) {
    const auto digit = static_cast<std::uint64_t>(line[at] - '0');
    magnitude = magnitude > (UINT64_MAX - digit) / 10 ? UINT64_MAX : magnitude * 10 + digit;
  }
  if (at == digits) return false;
  // strtol's saturation, then the narrowing to int.
  std::int64_t wide;
  if (negative)
    wide = magnitude > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
  else
    wide = magnitude > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(magnitude);
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
  return true;
}

// Literal text of a sscanf format at `at`, a blank in it matching any blanks.
bool scanText(const std::string& line, std::size_t& at, const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text == ' ') {
      while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    } else if (at >= line.size() || line[at++] != *text) {
      return false;
    }
  }
  return true;
}

}  // namespace

HeaderReading RadianceHeader::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (!PictureFileBytes::startsWith(start, "#?RGBE", 6) && !PictureFileBytes::startsWith(start, "#?RADIANCE", 10))
    return HeaderReading::of(HeaderReading::otherFormat);
  HeaderText text(file);
  std::string line;
  // False when no line can be read, or when the bytes read end within one
  // that the file goes on with.
  const auto next = [&] {
    if (text.peek() == -1) return false;
    return !readLine(text, line) || text.ranOut().outcome != HeaderReading::cannotTell;
  };
  if (!next()) return text.ranOut();
  while (line != "FORMAT=32-bit_rle_rgbe\n") {
    if (line.empty() || line == "\n") return HeaderReading::of(HeaderReading::decoderRefuses);
    if (!next()) return text.ranOut();
  }
  if (!next()) return text.ranOut();
  if (line != "\n") return HeaderReading::of(HeaderReading::decoderRefuses);
  if (!next()) return text.ranOut();
  std::size_t at = 0;
  std::int64_t height = 0, width = 0;
  if (!scanText(line, at, "-Y ") || !scanInt(line, at, height) || !scanText(line, at, " +X ") ||
      !scanInt(line, at, width))
    return HeaderReading::of(HeaderReading::decoderRefuses);
  // Run-length coded rows take at best two bytes for 127 samples of each of
  // four components; rows too narrow or too wide to be coded take four
  // bytes a pixel.
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  return HeaderReading::sized(width, height, width >= 8 && width <= 0x7FFF ? pixels / 16 : 4 * pixels);
}
