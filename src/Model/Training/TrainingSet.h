#ifndef TRAININGSET_H
#define TRAININGSET_H

#include <array>
#include <string>
#include <vector>

class OpticalClassifier;
class baseShape;
class regionDetectorEdgesZelvora;

// The patterns a species' classifiers are trained on: the colour-texture
// features of hand-checked regions, by stage (1 alveoli cortical,
// 2 vitelline, 3 hydrated) and by nucleus (visible or not).
class TrainingSet {
 public:
  using Patterns = std::vector<std::vector<float>>;
  // A class needs this many patterns to be trained.
  static constexpr std::size_t minimumPatterns = 8;

  // What a training did; the messages are for the user, in order.
  struct Outcome {
    bool nucleusTrained = false;
    bool stageTrained = false;
    std::vector<std::string> messages;
  };

  // Adds the patterns of the visible regions of `shapes` well inside the
  // detector's picture (the centre farther than a tenth of its width and
  // height from every border), of stage 1 to 3 and nucleus mark 0 or 1. The
  // picture's own size is used, whatever the annotation recorded. Patterns
  // that cannot be computed or hold a value that is not finite are skipped.
  void addRegions(regionDetectorEdgesZelvora& detector, const std::vector<baseShape*>& shapes);

  // Adds one pattern to the set of `stage` (1 to 3) and to the nucleus set.
  void addPattern(int stage, bool nucleus, std::vector<float> pattern);

  const Patterns& stage(int s) const { return stages.at(s - 1); }
  const Patterns& nucleus(bool visible) const { return nuclei[visible ? 1 : 0]; }
  // "Total patterns:  cn: <with> sn: <without> ac: .. vit: .. hid: .."
  std::string countsLine() const;

  // Trains the nucleus model ("svm_nucleous.dat") when both nucleus classes
  // hold enough patterns, and the stage model ("svm_stages.dat") on the three
  // stages or on the two that hold enough, into `folder`. A stage model of
  // two stages keeps each stage's own label. The files of both models are
  // replaced together (FileGroupReplacement), only when every training asked
  // for succeeded and every file was written; otherwise nothing is called
  // trained and the last message says why (a model that could not be written
  // gives the system's reason, such as a file-size limit) and what the
  // folder now holds. A last message also follows a replacement that left an
  // old file beside the new ones or that the disk did not confirm.
  Outcome train(OpticalClassifier& classifier, const std::string& folder) const;

 private:
  std::array<Patterns, 3> stages;
  std::array<Patterns, 2> nuclei;
};

#endif
