#ifndef SVMMODELFILECHECK_H
#define SVMMODELFILECHECK_H

#include <string>

// Checks the text of a libsvm model file before the library reads it. The
// library's reader trusts its input: a model cut short crashes it, and a model
// with a missing header or a damaged support vector loads and then crashes
// the prediction. A text passes only when it is a complete model as
// svm_save_model writes it: known header keys, each once, with the counts
// they imply (labels, support vectors per class, decision constants), the
// kernel parameters the kernel needs, then exactly total_sv lines of
// nr_class - 1 coefficients followed by index:value pairs in ascending index
// order, every number finite.
class SvmModelFileCheck {
 public:
  // More classes than this is no cell classifier; it only makes libsvm
  // allocate.
  static constexpr int maximumClasses = 1000;

  // The class counts a model may have in its role: nr_class from `least` to
  // `most`.
  struct ClassCount {
    int least = 2;
    int most = maximumClasses;
  };

  // `featureCount` bounds the support-vector indices (0 <= index <
  // featureCount); 0 means no bound is known. `classes` is what the model's
  // role allows (any usable count when not given).
  explicit SvmModelFileCheck(int featureCount = 0) : featureCount(featureCount) {}
  SvmModelFileCheck(int featureCount, ClassCount classes) : featureCount(featureCount), classes(classes) {}

  // An empty string when `text` is a sound model, else what is wrong with it.
  std::string problemIn(const std::string& text) const;
  // As problemIn, for the file at `path` (which must also be readable).
  std::string problemInFile(const std::string& path) const;

 private:
  int featureCount;
  ClassCount classes{};
};

#endif
