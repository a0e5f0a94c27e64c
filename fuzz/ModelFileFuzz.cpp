// libsvm model files on any bytes: the check refuses what libsvm cannot use
// safely, every model it accepts loads and predicts, and a model accepted in
// a classifier's role answers only labels of that role.

#include <svm.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "OpticalClassifier.h"
#include "OpticalClassifierCyst.h"
#include "OpticalClassifierZelvora.h"
#include "SvmModelFileCheck.h"

namespace {

constexpr int features = 25;

// Loads `file` as the model of `role` (of any role when there is none) and
// predicts one pattern; the answer, or noPrediction when it was refused.
int loadAndPredict(const std::string& file, const std::optional<SvmModelFileCheck::Role>& role) {
  svm_model* model = OpticalClassifier::crea_svm(file, features, role);
  if (model == nullptr) return OpticalClassifier::noPrediction;
  const std::vector<float> mean(features, 0.5f), deviation(features, 2.0f), pattern(features, 1.0f);
  const int answer = OpticalClassifier::saida_svm(model, pattern, mean, deviation);
  svm_free_and_destroy_model(&model);
  return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  const std::string file = scratch.put("svm_model.dat", data, size).string();
  loadAndPredict(file, std::nullopt);
  for (const SvmModelFileCheck::Role& role :
       {OpticalClassifierZelvora::nucleusRole, OpticalClassifierZelvora::stageRole, OpticalClassifierCyst::modelRole}) {
    if (!SvmModelFileCheck(features, role).problemInFile(file).empty()) continue;
    const int answer = loadAndPredict(file, role);
    if (std::find(role.labels.begin(), role.labels.end(), answer) == role.labels.end())
      invariantBroken("a model accepted in its role answers a label the role does not know");
  }
  return 0;
}
