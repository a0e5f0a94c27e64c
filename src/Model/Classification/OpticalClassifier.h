#ifndef OPTICALCLASSIFIER_H
#define OPTICALCLASSIFIER_H

#include <svm.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "SvmModelFileCheck.h"

class FileGroupReplacement;
class Training;

// Base of the support-vector-machine classifiers: reads feature normalisation
// files ("med_desv.dat" format) and libsvm model files, classifies one
// normalised pattern with one model, and holds the pattern sub-sampling and
// the shuffling, splitting and saving around a training.
class OpticalClassifier {
 public:
  // What saida_svm answers when it cannot predict (no model, short pattern).
  static constexpr int noPrediction = -1;
  // The normalisation file every training also writes, read by classifier
  // folders trained before each model kept its own.
  static constexpr const char* sharedNormalisationFile = "med_desv.dat";

  OpticalClassifier(std::string image, int method);
  virtual ~OpticalClassifier() = default;

  void setMinimumDiameter(int d) { mindiameter = d; }
  virtual void setImageName(std::string name) { image = std::move(name); }

  // Appends the means and deviations of a normalisation file to `m` and
  // `desv`: the header line is skipped, then whole (index, mean, deviation)
  // triples are read until the end or the first value that is not a number.
  // Read with a point as decimal separator whatever the user's locale. The
  // file is read as ClassifierFileRead reads it: answers why it was refused
  // (then nothing is appended), or an empty string.
  static std::string le_media_desv(const std::string& file, std::vector<float>& m, std::vector<float>& desv);
  // The model of a libsvm model file, owned by the caller; null when the
  // file is refused (ClassifierFileRead), is not a complete, sound model (see
  // SvmModelFileCheck; support vector indices must lie below `featureCount`
  // when it is not 0, and the model must be one its classifier's `role` lets
  // it be); `refusal`, when given, then says why. The model is built from
  // the very bytes that were checked, in memory (SvmModelLoader): it needs
  // no folder to write in, and the file is not read again.
  static svm_model* crea_svm(const std::string& svmfile, int featureCount = 0,
                             std::optional<SvmModelFileCheck::Role> role = std::nullopt,
                             std::string* refusal = nullptr);
  // The label `svm` predicts for pattern `x` standardised with `media` and
  // `desv`; a feature whose deviation is 0 (or not a number) is passed raw.
  // noPrediction without a model, for a pattern shorter than `media`, or
  // when the model's answer is not a whole number within int's range (a
  // model loaded without a role may be a regression).
  static int saida_svm(const svm_model* svm, const std::vector<float>& x, const std::vector<float>& media,
                       const std::vector<float>& desv);

  // Patterns kept per class: all while there are at most 1000 in all, else
  // each class scaled down to make about 1000.
  virtual std::vector<int> numberPatternsFinal(std::vector<int> counts) const;
  // Bounds {0, s, 2s, 3s, np} of the four quarters of np patterns.
  static std::vector<int> computeIndex25Percentage(int np);

  // The normalisation file written beside model file `modelFile`, so that
  // each model keeps the normalisation it was trained with:
  // "svm_stages.dat" -> "med_desv_stages.dat".
  static std::string normalisationFileFor(const std::string& modelFile);
  // The normalisation files a training of `modelFile` writes: its own and
  // the shared "med_desv.dat".
  virtual std::vector<std::string> normalisationFilesWith(const std::string& modelFile) const;

  virtual void resetClassifier() {}
  // Train a model from two or three classes of patterns into folder `dir`:
  // the model file `filename` and its normalisation files replace those of
  // the folder together, once all are written. While the classifier collects
  // files for a group (collectInto), they join the group instead, for its
  // owner to commit with the folder's other models.
  // The base classifier trains nothing and returns false.
  virtual bool trainClassifier2(const std::string& dir, const std::string& filename,
                                std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                                int nfeatures, std::array<int, 2> labels = {0, 1});
  virtual bool trainClassifier3(const std::string& dir, const std::string& filename,
                                std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                                std::vector<std::vector<float>> c3, int nfeatures);
  // Trainings add their files to `group` from now on; null writes them at
  // once again. The group is not owned.
  void collectInto(FileGroupReplacement* group) { collecting = group; }
  // Why the last training could not write its model, in the system's words
  // (such as a file-size limit); empty when it wrote it or no reason is
  // known.
  const std::error_code& trainingWriteError() const { return writeError; }
  virtual std::vector<int> applyClassifiersPattern(const std::vector<float>& pattern);
  // Why the last load of the classifier's files left a model unused, naming
  // the file ("The classifier file ... cannot be read: ...") or the folder,
  // as a sentence without its full stop, which the caller's wording adds;
  // empty when every model loaded or no file was looked at.
  const std::string& loadRefusal() const { return refusal; }

  // Fixes the seed of the training shuffles, for reproducible models; by
  // default each training draws a fresh seed.
  void setShuffleSeed(std::uint32_t seed) { shuffleSeed = seed; }

 protected:
  // Drops patterns that are too short or hold a value that is not finite,
  // shuffles and sub-samples each class, trains with `training` and writes
  // (or adds to the group collecting) the model `filename` and its
  // normalisation files (normalisationFilesWith) of folder `dir`. Class c is
  // given libsvm label `labels[c]`. False, changing no file, when a class
  // keeps fewer than four usable patterns, training fails or a file cannot
  // be written.
  bool trainAndSave(const std::string& dir, const std::string& filename,
                    std::vector<std::vector<std::vector<float>>> classes, const std::vector<int>& labels, int nfeatures,
                    Training& training);
  // The sentence that says `file` cannot be used, for the reason `why`.
  static std::string fileRefusal(const std::string& file, const std::string& why);
  // Notes fileRefusal(file, why) as the load's refusal, unless the load
  // already noted one; returns false.
  bool refuse(const std::string& file, const std::string& why) { return refuseLoading(fileRefusal(file, why)); }
  // Notes `sentence` as the load's refusal, unless the load already noted
  // one; returns false.
  bool refuseLoading(const std::string& sentence);
  void forgetRefusal() { refusal.clear(); }

  std::string image;
  int method;
  int mindiameter = 5;
  std::vector<float> media;
  std::vector<float> desviation;

 private:
  FileGroupReplacement* collecting = nullptr;
  std::error_code writeError;
  std::string refusal;
  std::optional<std::uint32_t> shuffleSeed;
};

#endif
