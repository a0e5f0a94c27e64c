#ifndef SVMMODELTEXT_H
#define SVMMODELTEXT_H

#include <svm.h>

#include <array>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// The text of a libsvm model file, read as the library reads it: the header's
// words up to the word "SV", the rest of that line skipped, then one support
// vector a line, nr_class - 1 coefficients followed by index:value entries.
// Numbers are read alike in every locale; a number is a finite real or an
// int written in full ("1e-3", "-0.5"; not "nan", "1x"). The reader moves
// through the text a word at a time and holds no copy of it, so whoever reads
// with it stops at the first fault having looked at no more than it needed.
class SvmModelText {
 public:
  // More classes than this is no cell classifier; it only makes libsvm
  // allocate.
  static constexpr int maximumClasses = 1000;
  // The names of libsvm's model types and kernels, in the order of its
  // svm_type and kernel_type numbers.
  static constexpr std::array<const char*, 5> typeNames = {"c_svc", "nu_svc", "one_class", "epsilon_svr", "nu_svr"};
  static constexpr std::array<const char*, 5> kernelNames = {"linear", "polynomial", "rbf", "sigmoid",
                                                             "precomputed"};

  // The values of the header; a key it lacks keeps its default.
  struct Header {
    std::set<std::string> keys;  // those the header holds
    int svmType = C_SVC;         // libsvm's numbers
    int kernelType = LINEAR;
    int degree = 0;
    double gamma = 0;
    double coef0 = 0;
    int classes = 0;
    int totalVectors = 0;
    std::vector<double> rho, probA, probB;  // one per pair of classes
    std::vector<int> labels, vectorsPerClass;  // one per class

    bool has(const char* key) const { return keys.count(key) != 0; }
  };

  explicit SvmModelText(std::string_view text) : text(text), wordsEnd(text.size()) {}

  // Reads the header; false, with `problem` filled, at its first fault: a key
  // that is unknown or repeated, a value that is missing or no number, a
  // count of values per class read before a usable nr_class, no "SV".
  bool readHeader(std::string& problem);
  const Header& header() const { return values; }
  // Everything after the header's "SV" line: the text of the support vectors.
  std::string_view supportVectorText() const { return text.substr(nextLine); }

  // Moves to the next line, a support vector's, and reads its coefficients;
  // false, with `problem` filled, when the text holds no further line or its
  // coefficients cannot be read.
  bool nextSupportVector(std::string& problem);
  const std::vector<double>& coefficients() const { return vectorCoefficients; }
  // The next index:value entry of the support vector's line; false at the
  // line's end, and with `problem` filled at an entry that is no
  // index:value.
  bool nextEntry(svm_node& entry, std::string& problem);
  // "support vector N", N the number of the one read last, from 1.
  std::string whereInVectors() const { return "support vector " + std::to_string(vectorsRead); }
  // Whether no more than white space follows the support vectors read.
  bool restIsBlank();

 private:
  // The next word before `wordsEnd`; empty at it.
  std::string_view nextWord();
  // Where the line that starts at `at` ends: at its line feed or the text's end.
  std::size_t lineEndFrom(std::size_t at) const;
  bool readName(const std::string& key, const std::array<const char*, 5>& names, int& value, std::string& problem);
  template <typename Number>
  bool readNumber(const std::string& key, Number& value, std::string& problem);
  template <typename Number>
  bool readNumbers(const std::string& key, std::size_t count, std::vector<Number>& numbers, std::string& problem);
  // The count of values per pair of classes or per class, once nr_class is known.
  bool countPerClass(const std::string& key, bool perPair, std::size_t& count, std::string& problem) const;

  std::string_view text;
  std::size_t position = 0;
  std::size_t wordsEnd;  // the text's end while in the header, else its line's
  std::size_t nextLine = 0;
  Header values;
  std::vector<double> vectorCoefficients;
  long vectorsRead = 0;
};

#endif
