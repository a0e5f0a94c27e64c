#include "SpeciesFolderRecovery.h"

#include "OpticalClassifierZelvora.h"
#include "ReplacementJournal.h"

std::vector<std::string> SpeciesFolderRecovery::files() {
  using Classifier = OpticalClassifierZelvora;
  return {Classifier::nucleusModelFile, Classifier::normalisationFileFor(Classifier::nucleusModelFile),
          Classifier::stageModelFile, Classifier::normalisationFileFor(Classifier::stageModelFile),
          Classifier::sharedNormalisationFile};
}

std::string SpeciesFolderRecovery::recover(const std::string& folder) {
  return ReplacementJournal(folder).recover(files());
}
