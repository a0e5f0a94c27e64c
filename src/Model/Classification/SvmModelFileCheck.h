#ifndef SVMMODELFILECHECK_H
#define SVMMODELFILECHECK_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Checks the text of a libsvm model file before a model is built from it
// (SvmModelLoader). libsvm trusts the models it is given: one with a missing
// header key, counts that do not add up or a damaged support vector crashes
// its prediction. A text passes only when it is a complete model as
// svm_save_model writes it: known header keys, each once, with the counts
// they imply (labels, support vectors per class, decision constants), the
// kernel parameters the kernel needs, then exactly total_sv lines of
// nr_class - 1 coefficients followed by index:value pairs in ascending index
// order, every number finite. The text is read by SvmModelText, the reader
// the model is built with.
class SvmModelFileCheck {
 public:
  // What a classifier lets its model be: a classification model (C-SVC or
  // nu-SVC) of `least` to `most` classes, each labelled with a different one
  // of `labels`, the labels the classifier maps to its classes. A model of
  // another kind, or with a label the classifier does not know, would load
  // and then answer something no class stands for.
  struct Role {
    int least;
    int most;
    std::vector<int> labels;
  };

  // `featureCount` bounds the support-vector indices (0 <= index <
  // featureCount); 0 means no bound is known. Without a role, any model
  // libsvm can use passes.
  explicit SvmModelFileCheck(int featureCount = 0, std::optional<Role> role = std::nullopt)
      : featureCount(featureCount), role(std::move(role)) {}

  // An empty string when `text` is a sound model, else what is wrong with it.
  std::string problemIn(const std::string& text) const;
  // As problemIn, for the file at `path`, or why ClassifierFileRead refuses
  // the file.
  std::string problemInFile(const std::string& path) const;

 private:
  // What `role` asks beyond a sound model; empty when the model fits it.
  std::string problemInRole(int type, int classes, const std::vector<int>& labels) const;

  int featureCount;
  std::optional<Role> role;
};

#endif
