#include "PfmHeader.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "HeaderText.h"

namespace {

// OpenCV reads at most this many bytes for a number.
constexpr int longestNumber = 2048;

// The next number: -1 when its text is no int above zero, -2 when the bytes
// ran out.
std::int64_t number(HeaderText& text) {
  std::string word;
  for (int i = 0; i < longestNumber; ++i) {
    const int c = text.next();
    if (c == -1) return -2;
    if (std::isspace(c)) break;
    word += static_cast<char>(c);
  }
  std::size_t at = !word.empty() && (word[0] == '+' || word[0] == '-') ? 1 : 0;
  const bool negative = at == 1 && word[0] == '-';
  std::int64_t value = 0;
  const std::size_t digits = at;
  for (; at < word.size() && word[at] >= '0' && word[at] <= '9'; ++at) {
    value = value * 10 + (word[at] - '0');
    if (value > INT32_MAX) return -1;
  }
  return at == digits || negative ? -1 : value;
}

}  // namespace

HeaderReading PfmHeader::read(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (start.size() < 3 || start[0] != 'P' || (start[1] != 'F' && start[1] != 'f') || !std::isspace(start[2]))
    return HeaderReading::of(HeaderReading::otherFormat);
  if (start[2] != '\n') return HeaderReading::of(HeaderReading::decoderRefuses);
  HeaderText text(file);
  for (int i = 0; i < 3; ++i) text.next();
  const std::int64_t width = number(text);
  const std::int64_t height = width < 0 ? width : number(text);
  if (width == -2 || height == -2) return text.ranOut();
  if (width < 0 || height < 0) return HeaderReading::of(HeaderReading::decoderRefuses);
  // Four bytes per sample.
  const double samples = static_cast<double>(width) * static_cast<double>(height) * (start[1] == 'F' ? 3 : 1);
  return HeaderReading::sized(width, height, 4 * samples);
}
