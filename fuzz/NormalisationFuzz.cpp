// Normalisation files on any bytes, loaded with sound models: the classifier
// loads with 25 features and answers nucleus and stage, or loads nothing.

#include <filesystem>
#include <vector>

#include "FileText.h"
#include "FuzzScratch.h"
#include "OpticalClassifierZelvora.h"

namespace {

const char* const twoVectorModel =
    "svm_type c_svc\nkernel_type rbf\ngamma 0.5\nnr_class 2\ntotal_sv 2\nrho 0\nlabel 1 0\nnr_sv 1 1\nSV\n"
    "1 0:1 \n-1 0:-1 \n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  static const bool modelsWritten = [] {
    writeFileText(scratch.file("svm_nucleous.dat"), twoVectorModel);
    writeFileText(scratch.file("svm_stages.dat"), twoVectorModel);
    return true;
  }();
  (void)modelsWritten;
  scratch.put(OpticalClassifier::sharedNormalisationFile, data, size);
  OpticalClassifierZelvora classifier("", 0);
  const bool loaded = classifier.loadClassifiersFrom(scratch.file("").string());
  const std::vector<int> answer =
      classifier.applyClassifiersPattern(std::vector<float>(OpticalClassifierZelvora::featureCount, 1.0f));
  if (loaded != classifier.isLoaded()) invariantBroken("the load result and the classifier disagree");
  if (loaded && answer.size() != 2) invariantBroken("a loaded classifier does not answer nucleus and stage");
  if (!loaded && !answer.empty()) invariantBroken("a classifier that did not load answers");
  return 0;
}
