#include "TrainingSet.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <system_error>

#include "FileGroupReplacement.h"
#include "OpticalClassifierZelvora.h"
#include "SpeciesFolderRecovery.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {

bool finite(const std::vector<float>& pattern) {
  for (float value : pattern)
    if (!std::isfinite(value)) return false;
  return true;
}

// Has a classifier give its trainings' files to a group for as long as it
// lives, however the training run ends.
class CollectingFiles {
 public:
  CollectingFiles(OpticalClassifier& classifier, FileGroupReplacement& group) : classifier(classifier) {
    classifier.collectInto(&group);
  }
  ~CollectingFiles() { classifier.collectInto(nullptr); }
  CollectingFiles(const CollectingFiles&) = delete;
  CollectingFiles& operator=(const CollectingFiles&) = delete;

 private:
  OpticalClassifier& classifier;
};

// What the save of the trained files left in `folder`, for the user; empty
// when it replaced them all and left nothing else.
std::string whatTheSaveLeft(const FileGroupReplacement& output, const std::string& folder) {
  using Outcome = FileGroupReplacement::Outcome;
  // A file of the species that is a link is not written through: the
  // message says so, as the link is what the user has to replace.
  std::error_code error;
  const bool link = std::filesystem::is_symlink(std::filesystem::symlink_status(output.failedTarget(), error));
  const std::string notTrained = "The classifiers could not be trained into " + folder + ": ";
  const std::string notWritten =
      notTrained +
      (!output.failureReason().empty() ? output.failureReason() + ". "
       : link ? output.failedTarget() + " is a link to another file, which training does not write through. "
              : output.failedTarget() + " cannot be written. ");
  switch (output.outcome()) {
    case Outcome::replaced:
      return "";
    case Outcome::copyLeft:
      return "The new classifiers are in place in " + folder + ", but a copy of the old " +
             std::filesystem::path(output.failedTarget()).filename().string() +
             " may be left beside them; it is removed when the species is next loaded.";
    case Outcome::replacedUnconfirmed:
      return "The new classifiers are in place in " + folder +
             ", but the disk did not confirm that they are stored: after a power cut the old ones may be back.";
    case Outcome::unchanged:
      return notWritten + "The classifiers there are unchanged.";
    case Outcome::undetermined:
      return notTrained + output.failedTarget() +
             ", the record of the replacement, was removed by another program while the new classifiers were put in "
             "place. Which classifiers are there cannot be told; check the files or train again.";
    case Outcome::unknown:
      break;
  }
  return notWritten + "The classifiers there may be partly replaced; loading the species puts the old ones back.";
}

}  // namespace

void TrainingSet::addRegions(regionDetectorEdgesZelvora& detector, const std::vector<baseShape*>& shapes) {
  const int width = detector.getImageWidth(), height = detector.getImageHeight();
  const int marginX = width / 10, marginY = height / 10;
  for (baseShape* shape : shapes) {
    auto* region = dynamic_cast<regionShape*>(shape);
    if (region == nullptr || !region->getVisible()) continue;
    const int cx = static_cast<int>(width * region->getX()), cy = static_cast<int>(height * region->getY());
    if (!(marginX < cx && cx < width - marginX && marginY < cy && cy < height - marginY)) continue;
    const int stage = region->getClase(), type = region->getType();
    if (stage < 1 || stage > 3 || type < 0 || type > 1) continue;
    std::vector<float> features = detector.getColorTextureFeatures(region, width, height);
    if (features.empty() || !finite(features)) {
      std::cout << "Training: region " << region->getId() << " gives no usable pattern" << std::endl;
      continue;
    }
    addPattern(stage, type == 1, std::move(features));
  }
}

void TrainingSet::addPattern(int stage, bool nucleus, std::vector<float> pattern) {
  stages.at(stage - 1).push_back(pattern);
  nuclei[nucleus ? 1 : 0].push_back(std::move(pattern));
}

std::string TrainingSet::countsLine() const {
  std::ostringstream line;
  line << "Total patterns: "
       << " cn: " << nuclei[1].size() << " sn: " << nuclei[0].size() << " ac: " << stages[0].size()
       << " vit: " << stages[1].size() << " hid: " << stages[2].size();
  return line.str();
}

TrainingSet::Outcome TrainingSet::train(OpticalClassifier& classifier, const std::string& folder) const {
  constexpr int features = OpticalClassifierZelvora::featureCount;
  const char* const nucleusFile = OpticalClassifierZelvora::nucleusModelFile;
  const char* const stageFile = OpticalClassifierZelvora::stageModelFile;
  Outcome outcome;
  // The species' files are replaced together, and only when every training
  // asked for succeeded and every file was written.
  FileGroupReplacement output(SpeciesFolderRecovery::files());
  const CollectingFiles collecting(classifier, output);
  // A training that ran but gave no model is reported, not passed off as done,
  // with the system's reason when its model could not be written.
  bool failed = false;
  std::error_code reason;
  const auto note = [&](bool trained) {
    if (!trained && !reason) reason = classifier.trainingWriteError();
    failed = failed || !trained;
  };

  if (nuclei[0].size() >= minimumPatterns && nuclei[1].size() >= minimumPatterns) {
    outcome.nucleusTrained = classifier.trainClassifier2(folder, nucleusFile, nuclei[0], nuclei[1], features);
    note(outcome.nucleusTrained);
  } else if (nuclei[0].size() < minimumPatterns) {
    outcome.messages.push_back("The classifier does not train with less than 8 cells without visible nucleous");
  } else {
    outcome.messages.push_back("The classifier does not train with less than 8 cells with visible nucleous");
  }

  const bool enough[3] = {stages[0].size() >= minimumPatterns, stages[1].size() >= minimumPatterns,
                          stages[2].size() >= minimumPatterns};
  // Two stages: each class is labelled with its stage - 1, as in a model of
  // three, so the stage a model answers is always the right one.
  const auto trainTwo = [&](int first, int second, const char* missing) {
    outcome.stageTrained = classifier.trainClassifier2(folder, stageFile, stages[first - 1], stages[second - 1],
                                                       features, {first - 1, second - 1});
    note(outcome.stageTrained);
    outcome.messages.push_back(std::string("The stage ") + missing +
                               " has less than 8 cells. The classifier is trained with only two stages");
  };
  if (enough[0] && enough[1] && enough[2]) {
    outcome.stageTrained =
        classifier.trainClassifier3(folder, stageFile, stages[0], stages[1], stages[2], features);
    note(outcome.stageTrained);
  } else if (enough[0] && enough[1]) {
    trainTwo(1, 2, "hydrated");
  } else if (enough[0] && enough[2]) {
    trainTwo(1, 3, "vitelline");
  } else if (enough[2] && enough[1]) {
    trainTwo(3, 2, "alveoli cortical");
  } else {
    outcome.messages.push_back(
        "The classifier to discriminate stage can not be trained due to there is less than 8 cells of each stage");
  }
  if (failed) {
    outcome.messages.push_back("The classifiers could not be trained into " + folder +
                               (reason ? ": " + reason.message() : std::string()));
  } else {
    failed = !output.commit();
    const std::string said = whatTheSaveLeft(output, folder);
    if (!said.empty()) outcome.messages.push_back(said);
  }
  if (failed) outcome.nucleusTrained = outcome.stageTrained = false;
  return outcome;
}
