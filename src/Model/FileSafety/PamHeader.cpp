#include "PamHeader.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "HeaderText.h"

namespace {

// OpenCV's bounds on a keyword and a value.
constexpr std::size_t longestKeyword = 8;
constexpr std::size_t longestValue = 255;

bool isBlank(int c) { return c != -1 && std::isspace(c); }

enum class Line { keyword, comment, refused, ranOut };

// One header line: its keyword and value (none for ENDHDR).
Line readLine(HeaderText& text, std::string& keyword, std::string& value) {
  int c = text.next();
  while (isBlank(c)) c = text.next();
  if (c == -1) return Line::ranOut;
  if (c == '#') {
    do c = text.next();
    while (c != '\n' && c != '\r' && c != -1);
    return c == -1 ? Line::ranOut : Line::comment;
  }
  keyword.clear();
  for (; keyword.size() < longestKeyword && !isBlank(c); c = text.next()) {
    if (c == -1) return Line::ranOut;
    keyword += static_cast<char>(c);
  }
  if (!isBlank(c)) return c == -1 ? Line::ranOut : Line::refused;
  static const char* const keywords[] = {"WIDTH", "HEIGHT", "DEPTH", "MAXVAL", "TUPLTYPE", "ENDHDR"};
  bool known = false;
  for (const char* name : keywords) known = known || keyword == name;
  if (!known) return Line::refused;
  value.clear();
  if (keyword == "ENDHDR") return Line::keyword;
  do c = text.next();
  while (isBlank(c));
  for (; value.size() < longestValue && c != '\n' && c != '\r'; c = text.next()) {
    if (c == -1) return Line::ranOut;
    value += static_cast<char>(c);
  }
  return c == '\n' || c == '\r' ? Line::keyword : Line::refused;
}

// A side's value: optional minus, digits below 2^31 - 1, then blanks only;
// -1 for anything else.
std::int64_t sideValue(const std::string& value) {
  std::size_t at = value.size();
  while (at > 0 && std::isspace(static_cast<unsigned char>(value[at - 1]))) --at;
  const std::string number = value.substr(0, at);
  std::size_t digit = !number.empty() && number[0] == '-' ? 1 : 0;
  if (digit >= number.size()) return -1;
  std::int64_t parsed = 0;
  for (; digit < number.size(); ++digit) {
    if (number[digit] < '0' || number[digit] > '9') return -1;
    parsed = parsed * 10 + (number[digit] - '0');
    if (parsed >= INT32_MAX) return -1;
  }
  return number[0] == '-' ? -parsed : parsed;
}

}  // namespace

HeaderReading PamHeader::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (start.size() < 3 || start[0] != 'P' || start[1] != '7' || !std::isspace(start[2]))
    return HeaderReading::of(HeaderReading::otherFormat);
  if (start[2] != '\n' && start[2] != '\r') return HeaderReading::of(HeaderReading::decoderRefuses);
  HeaderText text(file);
  for (int i = 0; i < 3; ++i) text.next();
  std::int64_t width = -1, height = -1;
  std::string keyword, value;
  for (;;) {
    const Line line = readLine(text, keyword, value);
    if (line == Line::ranOut) return text.ranOut();
    if (line == Line::refused) return HeaderReading::of(HeaderReading::decoderRefuses);
    if (line == Line::comment) continue;
    if (keyword == "ENDHDR") break;
    if (keyword != "WIDTH" && keyword != "HEIGHT") continue;
    std::int64_t& side = keyword == "WIDTH" ? width : height;
    if (side != -1) return HeaderReading::of(HeaderReading::decoderRefuses);  // told twice
    side = sideValue(value);
    if (side < 0) return HeaderReading::of(HeaderReading::decoderRefuses);
  }
  // At least a byte per pixel.
  return HeaderReading::sized(width, height, static_cast<double>(width) * static_cast<double>(height));
}
