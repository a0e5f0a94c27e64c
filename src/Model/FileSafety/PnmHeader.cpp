#include "PnmHeader.h"

#include <cctype>
#include <cstdint>

#include "HeaderText.h"

namespace {

// The P1 to P6 magic number at the start.
bool isPnm(const PictureFileBytes::Bytes& start) {
  return start.size() >= 2 && start[0] == 'P' && start[1] >= '1' && start[1] <= '6';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

// The fewest bytes of `kind`'s pixels: raw P4 packs eight pixels in a
// byte, P5 and P6 take a byte per sample; the plain forms take at least a
// character per sample.
double leastBytes(unsigned char kind, std::int64_t width, std::int64_t height) {
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  if (kind == '4') return static_cast<double>((width + 7) / 8) * static_cast<double>(height);
  return kind == '3' || kind == '6' ? 3 * pixels : pixels;
}

// OpenCV's number: blanks (isspace) and comments skipped, then digits up to
// the first other byte, which is taken; -1 for any other byte first or a
// number beyond an int; -2 when the bytes ran out.
std::int64_t openCvNumber(HeaderText& text) {
  int c = text.next();
  while (!isDigit(c)) {
    if (c == '#') {
      do c = text.next();
      while (c != '\n' && c != '\r' && c != -1);
      if (c != -1) c = text.next();
    } else if (c != -1 && std::isspace(c)) {
      while (c != -1 && std::isspace(c)) c = text.next();
    } else {
      return c == -1 ? -2 : -1;
    }
  }
  std::int64_t value = 0;
  for (; isDigit(c); c = text.next()) {
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return -1;
  }
  return c == -1 ? -2 : value;
}

bool isGdkBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

// gdk-pixbuf's number, past blanks and comments: the word up to a blank or
// a '#', parsed as strtol does (blanks of the C library, a sign, digits)
// and whole; -1 when it is not a number from 0 to 2^32 - 1, -2 when the
// bytes ran out.
std::int64_t gdkPixbufNumber(HeaderText& text) {
  for (;;) {
    const int c = text.peek();
    if (c == '#') {
      int skipped;
      do skipped = text.next();
      while (skipped != '\n' && skipped != -1);
      if (skipped == -1) return -2;
    } else if (isGdkBlank(c)) {
      text.next();
    } else if (c == -1) {
      return -2;
    } else {
      break;
    }
  }
  const std::size_t wordStart = text.taken();
  const auto inWord = [&] {
    const int c = text.peek();
    return c != -1 && !isGdkBlank(c) && c != '#' && text.taken() - wordStart < 128;
  };
  // strtol's leading blanks (here only vertical tabs), sign and digits.
  while (inWord() && std::isspace(text.peek())) text.next();
  bool negative = false;
  if (inWord() && (text.peek() == '+' || text.peek() == '-')) negative = text.next() == '-';
  std::int64_t value = 0;
  bool digits = false;
  for (; inWord() && isDigit(text.peek()); digits = true) {
    value = value * 10 + (text.next() - '0');
    if (value > UINT32_MAX) value = UINT32_MAX + std::int64_t{1};  // beyond what gdk-pixbuf takes
  }
  const bool whole = !inWord();
  while (inWord()) text.next();
  // A word that reaches the end of the bytes may go on.
  if (text.peek() == -1) return -2;
  if (!digits || !whole || value > UINT32_MAX || (negative && value != 0)) return -1;
  return value;
}

// The size from two numbers read by `number`.
template <typename ReadNumber>
HeaderReading readSize(HeaderText& text, unsigned char kind, ReadNumber number) {
  const std::int64_t width = number(text);
  const std::int64_t height = width < 0 ? width : number(text);
  if (height == -2 || width == -2) return text.ranOut();
  if (width < 0 || height < 0) return HeaderReading::of(HeaderReading::decoderRefuses);
  return HeaderReading::sized(width, height, leastBytes(kind, width, height));
}

}  // namespace

HeaderReading PnmHeader::readAsOpenCv(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (!isPnm(start) || start.size() < 3 || !std::isspace(start[2])) return HeaderReading::of(HeaderReading::otherFormat);
  HeaderText text(file);
  text.next();
  text.next();
  return readSize(text, start[1], openCvNumber);
}

HeaderReading PnmHeader::readAsGdkPixbuf(const PictureFileBytes& file, const PictureFileBytes::Bytes& start) {
  if (!isPnm(start)) return HeaderReading::of(HeaderReading::otherFormat);
  HeaderText text(file);
  text.next();
  text.next();
  return readSize(text, start[1], gdkPixbufNumber);
}
