// libsvm model files on any bytes: the check refuses what libsvm cannot read
// safely, and every model it accepts loads and predicts.

#include <svm.h>

#include <vector>

#include "FuzzScratch.h"
#include "OpticalClassifier.h"
#include "SvmModelFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  constexpr int features = 25;
  const auto file = scratch.put("svm_model.dat", data, size);
  svm_model* model = OpticalClassifier::crea_svm(file.string(), features);
  if (model == nullptr) return 0;
  const std::vector<float> mean(features, 0.5f), deviation(features, 2.0f), pattern(features, 1.0f);
  OpticalClassifier::saida_svm(model, pattern, mean, deviation);
  svm_free_and_destroy_model(&model);
  return 0;
}
