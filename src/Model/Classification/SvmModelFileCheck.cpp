#include "SvmModelFileCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "ClassifierFileRead.h"

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The words of a piece of text, one at a time: a check that fails early has
// looked at no more of the text than it needed, and holds no copy of it.
class Words {
 public:
  explicit Words(std::string_view text) : text(text) {}

  // The next word; empty at the end of the text.
  std::string_view next() {
    while (position < text.size() && isSpace(text[position])) ++position;
    const std::size_t start = position;
    while (position < text.size() && !isSpace(text[position])) ++position;
    return text.substr(start, position - start);
  }

 private:
  std::string_view text;
  std::size_t position = 0;
};

std::size_t countWords(std::string_view text) {
  Words words(text);
  std::size_t count = 0;
  while (!words.next().empty()) ++count;
  return count;
}

// A whole number that fits the int libsvm stores it in.
bool parseWhole(std::string_view word, int& value) {
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

// A finite real written in full ("1e-3", "-0.5"; not "nan", "inf", "1x").
bool parseWhole(std::string_view word, double& value) {
  const char* begin = word.data();
  if (!word.empty() && word[0] == '+') ++begin;  // printf never writes it, but strtod accepts it
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(begin, end, value, std::chars_format::general);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// The header of the model, word by word, as libsvm reads it.
class Header {
 public:
  explicit Header(std::string_view text) : words(text) {}

  // Reads up to the word "SV"; fills `problem` and returns false on the first fault.
  bool read(std::string& problem) {
    for (std::string_view word = words.next(); !word.empty(); word = words.next()) {
      const std::string key(word);
      if (key == "SV") return true;
      if (!seen.insert(key).second) return fail(problem, "the header repeats " + key);
      if (key == "svm_type" || key == "kernel_type") {
        const std::string_view value = words.next();
        if (value.empty()) return fail(problem, key + " has no value");
        names[key] = std::string(value);
      } else if (key == "degree" || key == "nr_class" || key == "total_sv") {
        int value = 0;
        if (!parseWhole(words.next(), value)) return fail(problem, key + " is not a whole number");
        integers[key] = value;
      } else if (key == "gamma" || key == "coef0") {
        double value = 0;
        if (!parseWhole(words.next(), value)) return fail(problem, key + " is not a number");
      } else if (key == "rho" || key == "probA" || key == "probB") {
        if (!readReals(key, problem)) return false;
      } else if (key == "label" || key == "nr_sv") {
        if (!readIntegers(key, problem)) return false;
      } else {
        return fail(problem, "unknown header key " + key);
      }
    }
    return fail(problem, "the model has no SV section");
  }

  // Checks what the keys say together; libsvm checks none of it.
  bool consistent(std::string& problem) const {
    static const std::set<std::string> types = {"c_svc", "nu_svc", "one_class", "epsilon_svr", "nu_svr"};
    static const std::map<std::string, std::vector<const char*>> kernels = {
        {"linear", {}}, {"polynomial", {"degree", "gamma", "coef0"}}, {"rbf", {"gamma"}}, {"sigmoid", {"gamma", "coef0"}}};
    for (const char* key : {"svm_type", "kernel_type", "nr_class", "total_sv", "rho"})
      if (seen.count(key) == 0) return fail(problem, std::string("the header lacks ") + key);
    if (types.count(names.at("svm_type")) == 0) return fail(problem, "unknown svm_type " + names.at("svm_type"));
    const auto kernel = kernels.find(names.at("kernel_type"));
    if (kernel == kernels.end()) return fail(problem, "unsupported kernel_type " + names.at("kernel_type"));
    for (const char* key : kernel->second)
      if (seen.count(key) == 0) return fail(problem, "the kernel needs " + std::string(key));
    const bool classifies = names.at("svm_type") == "c_svc" || names.at("svm_type") == "nu_svc";
    if (classifies && (seen.count("label") == 0 || seen.count("nr_sv") == 0))
      return fail(problem, "a classification model needs label and nr_sv");
    if (!classifies && classes() != 2) return fail(problem, "this svm_type needs nr_class 2");
    if (totalVectors() < 1) return fail(problem, "total_sv must be at least 1");
    if (seen.count("nr_sv") != 0) {
      long sum = 0;
      for (long count : supportVectorsPerClass) {
        if (count < 0) return fail(problem, "nr_sv holds a negative count");
        sum += count;
      }
      if (sum != totalVectors()) return fail(problem, "nr_sv does not add up to total_sv");
    }
    return true;
  }

  const std::string& type() const { return names.at("svm_type"); }
  const std::vector<int>& classLabels() const { return labels; }
  long classes() const { return integers.count("nr_class") ? integers.at("nr_class") : 0; }
  long totalVectors() const { return integers.count("total_sv") ? integers.at("total_sv") : 0; }

 private:
  static bool fail(std::string& problem, const std::string& why) {
    problem = why;
    return false;
  }

  // The counts that depend on nr_class can only be read once it is known.
  bool classesKnown(const std::string& key, std::string& problem) const {
    constexpr long most = SvmModelFileCheck::maximumClasses;
    if (classes() < 2 || classes() > most)
      return fail(problem, key + " comes before a usable nr_class (2 to " + std::to_string(most) + ")");
    return true;
  }

  long pairCount() const { return classes() * (classes() - 1) / 2; }

  // The decision constants and probability pairs: one per pair of classes.
  bool readReals(const std::string& key, std::string& problem) {
    if (!classesKnown(key, problem)) return false;
    const long count = pairCount();
    for (long i = 0; i < count; ++i) {
      double value = 0;
      if (!parseWhole(words.next(), value)) return fail(problem, key + " needs " + std::to_string(count) + " numbers");
    }
    return true;
  }

  bool readIntegers(const std::string& key, std::string& problem) {
    if (!classesKnown(key, problem)) return false;
    for (long i = 0; i < classes(); ++i) {
      int value = 0;
      if (!parseWhole(words.next(), value))
        return fail(problem, key + " needs " + std::to_string(classes()) + " whole numbers");
      if (key == "nr_sv")
        supportVectorsPerClass.push_back(value);
      else
        labels.push_back(value);
    }
    return true;
  }

  Words words;
  std::set<std::string> seen;
  std::map<std::string, std::string> names;
  std::map<std::string, int> integers;
  std::vector<long> supportVectorsPerClass;
  std::vector<int> labels;
};

}  // namespace

std::string SvmModelFileCheck::problemInRole(const std::string& type, int classes,
                                              const std::vector<int>& labels) const {
  if (type != "c_svc" && type != "nu_svc")
    return "svm_type " + type + " does not classify, and this classifier needs a classification model";
  if (classes < role->least || classes > role->most)
    return "nr_class " + std::to_string(classes) + " does not fit this classifier, which needs " +
           std::to_string(role->least) + (role->least == role->most ? std::string() : " to " + std::to_string(role->most));
  std::string known;
  for (int label : role->labels) known += (known.empty() ? "" : ", ") + std::to_string(label);
  std::set<int> seen;
  for (int label : labels) {
    if (std::find(role->labels.begin(), role->labels.end(), label) == role->labels.end())
      return "label " + std::to_string(label) + " is no class of this classifier, which knows " + known;
    if (!seen.insert(label).second) return "label " + std::to_string(label) + " names two classes";
  }
  return "";
}

std::string SvmModelFileCheck::problemInFile(const std::string& path) const {
  const ClassifierFileRead file(path);
  return file.readable() ? problemIn(file.text()) : file.refusal();
}

std::string SvmModelFileCheck::problemIn(const std::string& text) const {
  // libsvm reads the header as words up to "SV" and skips the rest of that line.
  std::size_t svAt = std::string::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool startsWord = i == 0 || isSpace(text[i - 1]);
    if (startsWord && text.compare(i, 2, "SV") == 0 && (i + 2 == text.size() || isSpace(text[i + 2]))) {
      svAt = i;
      break;
    }
  }
  const std::string_view all(text);
  Header header(svAt == std::string::npos ? all : all.substr(0, svAt + 2));
  std::string problem;
  if (!header.read(problem) || !header.consistent(problem)) return problem;
  if (role) {
    problem = problemInRole(header.type(), static_cast<int>(header.classes()), header.classLabels());
    if (!problem.empty()) return problem;
  }

  std::size_t lineStart = text.find('\n', svAt);
  lineStart = lineStart == std::string::npos ? text.size() : lineStart + 1;
  const long coefficients = header.classes() - 1;
  for (long row = 0; row < header.totalVectors(); ++row) {
    if (lineStart >= text.size()) return "the model ends after " + std::to_string(row) + " of its support vectors";
    std::size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    const std::string_view line = all.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 1;
    const std::string where = "support vector " + std::to_string(row + 1);
    if (static_cast<long>(countWords(line)) < coefficients) return where + " lacks coefficients";
    Words words(line);
    long previousIndex = -1;
    long w = 0;
    for (std::string_view word = words.next(); !word.empty(); word = words.next(), ++w) {
      double value = 0;
      if (w < coefficients) {
        if (!parseWhole(word, value)) return where + " has a coefficient that is not a number";
        continue;
      }
      const std::size_t colon = word.find(':');
      int index = 0;
      if (colon == std::string_view::npos || !parseWhole(word.substr(0, colon), index) ||
          !parseWhole(word.substr(colon + 1), value))
        return where + " has an entry that is not index:value";
      if (index <= previousIndex) return where + " has its indices out of order";
      if (featureCount > 0 && index >= featureCount)
        return where + " has index " + std::to_string(index) + ", beyond the " + std::to_string(featureCount) +
               " features";
      previousIndex = index;
    }
  }
  if (lineStart < text.size() && !Words(all.substr(lineStart)).next().empty())
    return "the model holds more lines than its total_sv";
  return "";
}
