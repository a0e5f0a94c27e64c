#include "SpeciesFolderRecovery.h"

#include "OpticalClassifierZelvora.h"
#include "ReplacementJournal.h"

std::string SpeciesFolderRecovery::recover(const std::string& folder) {
  using Classifier = OpticalClassifierZelvora;
  return ReplacementJournal(folder).recover(
      {Classifier::nucleusModelFile, Classifier::normalisationFileFor(Classifier::nucleusModelFile),
       Classifier::stageModelFile, Classifier::normalisationFileFor(Classifier::stageModelFile),
       Classifier::sharedNormalisationFile});
}
