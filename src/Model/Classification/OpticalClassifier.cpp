#include "OpticalClassifier.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <locale>
#include <new>
#include <numeric>
#include <random>
#include <sstream>
#include <utility>

#include "ClassifierFileRead.h"
#include "FileGroupReplacement.h"
#include "SvmModelLoader.h"
#include "Training.h"

namespace {

bool usable(const std::vector<float>& pattern, int nfeatures) {
  return static_cast<int>(pattern.size()) >= nfeatures &&
         std::all_of(pattern.begin(), pattern.begin() + nfeatures, [](float v) { return std::isfinite(v); });
}

// The trace names of the class counts of the nucleus and stage trainings.
std::vector<std::string> classTraceNames(std::size_t classes) {
  if (classes == 2) return {"Pcn: ", " Psn: "};
  if (classes == 3) return {"Pvit: ", " Pac: ", " Phid: "};
  std::vector<std::string> names;
  for (std::size_t c = 0; c < classes; ++c) names.push_back((c ? " P" : "P") + std::to_string(c) + ": ");
  return names;
}

// The (index, mean, deviation) triples of a normalisation text after its
// header line, up to the first value that is not a number.
void appendTriples(const std::string& text, std::vector<float>& means, std::vector<float>& deviations) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  in.ignore(255, '\n');
  int feature;
  float mean, deviation;
  while (in >> feature >> mean >> deviation) {
    means.push_back(mean);
    deviations.push_back(deviation);
  }
}

}  // namespace

OpticalClassifier::OpticalClassifier(std::string image, int method) : image(std::move(image)), method(method) {}

std::string OpticalClassifier::le_media_desv(const std::string& file, std::vector<float>& m,
                                             std::vector<float>& desv) {
  std::string why;
  try {
    const ClassifierFileRead contents(file);
    why = contents.refusal();
    if (why.empty()) appendTriples(contents.text(), m, desv);
  } catch (const std::bad_alloc&) {
    why = ClassifierFileRead::outOfMemory;
  }
  if (!why.empty()) std::cerr << "Exception reading file " << file << " : " << why << std::endl;
  return why;
}

svm_model* OpticalClassifier::crea_svm(const std::string& svmfile, int featureCount,
                                       std::optional<SvmModelFileCheck::Role> role, std::string* refusal) {
  std::string why;
  svm_model* model = nullptr;
  try {
    const ClassifierFileRead contents(svmfile);
    why = contents.refusal();
    if (why.empty()) {
      // libsvm trusts the models it predicts with, so the text is checked first.
      const std::string problem = SvmModelFileCheck(featureCount, std::move(role)).problemIn(contents.text());
      if (!problem.empty()) why = "it is not a readable model (" + problem + ")";
    }
    // The model is built from the checked text in memory, never from the
    // file again: a file swapped after the check would be read unchecked.
    if (why.empty()) model = SvmModelLoader::load(contents.text(), why);
  } catch (const std::bad_alloc&) {
    why = ClassifierFileRead::outOfMemory;
  }
  if (model == nullptr) {
    std::cerr << "Exception opening file " << svmfile << " : " << why << std::endl;
    if (refusal != nullptr) *refusal = why;
  }
  return model;
}

int OpticalClassifier::saida_svm(const svm_model* svm, const std::vector<float>& x, const std::vector<float>& media,
                                 const std::vector<float>& desv) {
  const std::size_t n = media.size();
  if (svm == nullptr || x.size() < n || desv.size() < n) return noPrediction;
  std::vector<svm_node> nodes(n + 1);
  for (std::size_t i = 0; i < n; ++i) {
    const bool spread = desv[i] != 0 && !std::isnan(desv[i]);
    const float value = spread ? (x[i] - media[i]) / desv[i] : x[i];
    nodes[i] = {static_cast<int>(i), value};
  }
  nodes[n] = {-1, 0.0};
  // A classification model answers one of its int labels; a model of
  // another kind can answer any number, which names no class.
  const double label = svm_predict(svm, nodes.data());
  const bool intLabel = label >= std::numeric_limits<int>::min() && label <= std::numeric_limits<int>::max() &&
                        label == std::trunc(label);
  return intLabel ? static_cast<int>(label) : noPrediction;
}

std::vector<int> OpticalClassifier::numberPatternsFinal(std::vector<int> counts) const {
  const int total = std::accumulate(counts.begin(), counts.end(), 0);
  if (total <= 1000) return counts;
  for (int& count : counts) count = static_cast<int>(std::floor(count / (total / 1000.0)));
  return counts;
}

std::vector<int> OpticalClassifier::computeIndex25Percentage(int np) {
  const int s = np / 4;
  return {0, s, 2 * s, 3 * s, np};
}

std::string OpticalClassifier::normalisationFileFor(const std::string& modelFile) {
  const std::string prefix = "svm_";
  const bool prefixed = modelFile.compare(0, prefix.size(), prefix) == 0;
  return "med_desv_" + (prefixed ? modelFile.substr(prefix.size()) : modelFile);
}

std::vector<std::string> OpticalClassifier::normalisationFilesWith(const std::string& modelFile) const {
  return {normalisationFileFor(modelFile), sharedNormalisationFile};
}

bool OpticalClassifier::trainClassifier2(const std::string&, const std::string&, std::vector<std::vector<float>>,
                                         std::vector<std::vector<float>>, int, std::array<int, 2>) {
  return false;
}

bool OpticalClassifier::trainClassifier3(const std::string&, const std::string&, std::vector<std::vector<float>>,
                                         std::vector<std::vector<float>>, std::vector<std::vector<float>>, int) {
  return false;
}

std::vector<int> OpticalClassifier::applyClassifiersPattern(const std::vector<float>&) { return {}; }

std::string OpticalClassifier::fileRefusal(const std::string& file, const std::string& why) {
  return "The classifier file " + file + " cannot be read: " + why;
}

bool OpticalClassifier::refuseLoading(const std::string& sentence) {
  if (refusal.empty()) refusal = sentence;
  return false;
}

bool OpticalClassifier::trainAndSave(const std::string& dir, const std::string& filename,
                                     std::vector<std::vector<std::vector<float>>> classes,
                                     const std::vector<int>& labels, int nfeatures, Training& training) {
  writeError.clear();
  std::vector<int> counts;
  for (std::vector<std::vector<float>>& patterns : classes) {
    const std::size_t before = patterns.size();
    patterns.erase(std::remove_if(patterns.begin(), patterns.end(),
                                  [nfeatures](const std::vector<float>& p) { return !usable(p, nfeatures); }),
                   patterns.end());
    if (patterns.size() != before)
      std::cout << "Dropped " << before - patterns.size() << " patterns with missing or non-finite features"
                << std::endl;
    // Every cross-validation quarter needs a pattern of every class.
    if (patterns.size() < 4) {
      std::cout << "Training refused: a class has fewer than 4 usable patterns" << std::endl;
      return false;
    }
    counts.push_back(static_cast<int>(patterns.size()));
  }

  std::mt19937 engine(shuffleSeed.value_or(std::random_device{}()));
  for (std::vector<std::vector<float>>& patterns : classes) std::shuffle(patterns.begin(), patterns.end(), engine);

  const std::vector<int> npat = numberPatternsFinal(counts);
  const std::vector<std::string> names = classTraceNames(classes.size());
  for (std::size_t c = 0; c < classes.size(); ++c) std::cout << names[c] << counts[c];
  std::cout << " Total: " << std::accumulate(npat.begin(), npat.end(), 0) << std::endl;
  std::cout << "npatterns:";
  for (int n : npat) std::cout << " " << n;
  std::cout << std::endl;

  std::vector<std::vector<int>> index;
  for (int n : npat) index.push_back(computeIndex25Percentage(n));

  training.setLabels(labels);
  if (!training.trainingProblem(classes, index, nfeatures, npat)) return false;
  const std::optional<std::string> model = training.modelText(&writeError);
  const std::optional<std::string> normalisation = training.meanDesvText();
  if (!model || !normalisation) return false;
  FileGroupReplacement own;
  FileGroupReplacement& output = collecting != nullptr ? *collecting : own;
  output.add(dir + "/" + filename, *model);
  for (const std::string& file : normalisationFilesWith(filename)) output.add(dir + "/" + file, *normalisation);
  return collecting != nullptr || own.commit();
}
