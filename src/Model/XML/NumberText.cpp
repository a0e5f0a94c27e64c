#include "NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>

namespace NumberText {

std::string formatReal(double value) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return "0.000000";
  return std::string(buffer, result.ptr);
}

std::string formatRealExactly(double value) {
  const std::string sixDecimals = formatReal(value);
  if (toDoubleNoComma(sixDecimals) == value) return sixDecimals;
  // Without a precision, to_chars writes the shortest text that reads back
  // as the same number.
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc()) return sixDecimals;
  return std::string(buffer, result.ptr);
}

std::string formatInt(long value) { return std::to_string(value); }

namespace {

// Skips the blanks and the '+' sign that atof/atoi accept but from_chars does not.
const char* skipLead(const char* begin, const char* end, bool& negative) {
  while (begin != end && std::isspace(static_cast<unsigned char>(*begin))) ++begin;
  negative = false;
  if (begin != end && (*begin == '+' || *begin == '-')) {
    negative = *begin == '-';
    ++begin;
  }
  return begin;
}

double parseReal(const std::string& text) {
  bool negative = false;
  const char* end = text.data() + text.size();
  const char* begin = skipLead(text.data(), end, negative);
  double value = 0.0;
  if (std::from_chars(begin, end, value, std::chars_format::general).ec != std::errc()) {
    // from_chars rejects a bare leading point (".5"), which atof reads.
    if (begin != end && *begin == '.') {
      std::string withZero = "0" + std::string(begin, end);
      if (std::from_chars(withZero.data(), withZero.data() + withZero.size(), value).ec != std::errc())
        value = 0.0;
    } else {
      value = 0.0;
    }
  }
  return negative ? -value : value;
}

}  // namespace

double toDouble(const std::string& text) {
  std::string pointed = text;
  std::replace(pointed.begin(), pointed.end(), ',', '.');
  return parseReal(pointed);
}

double toDoubleNoComma(const std::string& text) { return parseReal(text); }

int toInt(const std::string& text) {
  bool negative = false;
  const char* end = text.data() + text.size();
  const char* begin = skipLead(text.data(), end, negative);
  std::int64_t value = 0;
  auto result = std::from_chars(begin, end, value);
  if (result.ec == std::errc::result_out_of_range)
    value = std::numeric_limits<std::int64_t>::max();
  else if (result.ec != std::errc())
    value = 0;
  if (negative) value = -value;
  value = std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  return static_cast<int>(value);
}

}  // namespace NumberText
