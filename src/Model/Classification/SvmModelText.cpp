#include "SvmModelText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool fail(std::string& problem, const std::string& why) {
  problem = why;
  return false;
}

// A whole number that fits the int libsvm stores it in.
bool parseNumber(std::string_view word, int& value) {
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

// A finite real written in full. from_chars reads the same digits as strtod
// in the C locale, the locale libsvm reads in, whatever the process's is.
bool parseNumber(std::string_view word, double& value) {
  const char* begin = word.data();
  if (!word.empty() && word[0] == '+') ++begin;  // printf never writes it, but strtod accepts it
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(begin, end, value, std::chars_format::general);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

template <typename Number>
const char* kindOf() {
  return std::is_same_v<Number, int> ? "whole number" : "number";
}

}  // namespace

std::string_view SvmModelText::nextWord() {
  while (position < wordsEnd && isSpace(text[position])) ++position;
  const std::size_t start = position;
  while (position < wordsEnd && !isSpace(text[position])) ++position;
  return text.substr(start, position - start);
}

std::size_t SvmModelText::lineEndFrom(std::size_t at) const {
  const std::size_t end = text.find('\n', at);
  return end == std::string_view::npos ? text.size() : end;
}

bool SvmModelText::readHeader(std::string& problem) {
  for (std::string_view word = nextWord(); !word.empty(); word = nextWord()) {
    const std::string key(word);
    if (key == "SV") {
      nextLine = std::min(lineEndFrom(position) + 1, text.size());
      return true;
    }
    if (!values.keys.insert(key).second) return fail(problem, "the header repeats " + key);
    std::size_t count = 1;
    bool read = false;
    if (key == "svm_type") {
      read = readName(key, typeNames, values.svmType, problem);
    } else if (key == "kernel_type") {
      read = readName(key, kernelNames, values.kernelType, problem);
    } else if (key == "degree" || key == "nr_class" || key == "total_sv") {
      int& value = key == "degree" ? values.degree : key == "nr_class" ? values.classes : values.totalVectors;
      read = readNumber(key, value, problem);
    } else if (key == "gamma" || key == "coef0") {
      read = readNumber(key, key == "gamma" ? values.gamma : values.coef0, problem);
    } else if (key == "rho" || key == "probA" || key == "probB") {
      std::vector<double>& numbers = key == "rho" ? values.rho : key == "probA" ? values.probA : values.probB;
      read = countPerClass(key, true, count, problem) && readNumbers(key, count, numbers, problem);
    } else if (key == "label" || key == "nr_sv") {
      std::vector<int>& numbers = key == "label" ? values.labels : values.vectorsPerClass;
      read = countPerClass(key, false, count, problem) && readNumbers(key, count, numbers, problem);
    } else {
      return fail(problem, "unknown header key " + key);
    }
    if (!read) return false;
  }
  return fail(problem, "the model has no SV section");
}

bool SvmModelText::readName(const std::string& key, const std::array<const char*, 5>& names, int& value,
                            std::string& problem) {
  const std::string_view word = nextWord();
  if (word.empty()) return fail(problem, key + " has no value");
  const auto found = std::find(names.begin(), names.end(), word);
  if (found == names.end()) return fail(problem, "unknown " + key + " " + std::string(word));
  value = static_cast<int>(found - names.begin());
  return true;
}

template <typename Number>
bool SvmModelText::readNumber(const std::string& key, Number& value, std::string& problem) {
  if (!parseNumber(nextWord(), value)) return fail(problem, key + " is not a " + kindOf<Number>());
  return true;
}

template <typename Number>
bool SvmModelText::readNumbers(const std::string& key, std::size_t count, std::vector<Number>& numbers,
                               std::string& problem) {
  numbers.resize(count);
  for (Number& value : numbers)
    if (!parseNumber(nextWord(), value))
      return fail(problem, key + " needs " + std::to_string(count) + " " + kindOf<Number>() + "s");
  return true;
}

bool SvmModelText::countPerClass(const std::string& key, bool perPair, std::size_t& count,
                                 std::string& problem) const {
  if (values.classes < 2 || values.classes > maximumClasses)
    return fail(problem,
                key + " comes before a usable nr_class (2 to " + std::to_string(maximumClasses) + ")");
  const std::size_t classes = values.classes;
  count = perPair ? classes * (classes - 1) / 2 : classes;
  return true;
}

bool SvmModelText::nextSupportVector(std::string& problem) {
  if (nextLine >= text.size())
    return fail(problem, "the model ends after " + std::to_string(vectorsRead) + " of its support vectors");
  position = nextLine;
  wordsEnd = lineEndFrom(position);
  nextLine = std::min(wordsEnd + 1, text.size());
  ++vectorsRead;
  vectorCoefficients.clear();
  for (int k = 1; k < values.classes; ++k) {
    const std::string_view word = nextWord();
    if (word.empty()) return fail(problem, whereInVectors() + " lacks coefficients");
    double value = 0;
    if (!parseNumber(word, value)) return fail(problem, whereInVectors() + " has a coefficient that is not a number");
    vectorCoefficients.push_back(value);
  }
  return true;
}

bool SvmModelText::nextEntry(svm_node& entry, std::string& problem) {
  const std::string_view word = nextWord();
  if (word.empty()) return false;
  const std::size_t colon = word.find(':');
  if (colon == std::string_view::npos || !parseNumber(word.substr(0, colon), entry.index) ||
      !parseNumber(word.substr(colon + 1), entry.value))
    return fail(problem, whereInVectors() + " has an entry that is not index:value");
  return true;
}

bool SvmModelText::restIsBlank() {
  position = nextLine;
  wordsEnd = text.size();
  return nextWord().empty();
}
