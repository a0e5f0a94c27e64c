#ifndef HELDOUTEVALUATION_H
#define HELDOUTEVALUATION_H

#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "OocytePainter.h"
#include "OpticalClassifierZelvora.h"
#include "regionDetectorEdgesZelvora.h"

namespace defaultspecies {

struct EvaluationFigures {
  int cells = 0;         // painted oocytes
  int found = 0;         // of them, matched by a detected outline
  int nucleusRight = 0;  // found ones whose nucleus mark the classifier gets right
  int stageRight = 0;    // found ones whose stage it gets right
  double seconds = 0;    // detection and classification time

  double recall() const { return cells ? double(found) / cells : 0; }
  double nucleusAccuracy() const { return found ? double(nucleusRight) / found : 0; }
  double stageAccuracy() const { return found ? double(stageRight) / found : 0; }
};

// Scores a species' classifiers and the cell detector on painted pictures
// whose truth is known: an oocyte is found when a detected outline covers it
// with an intersection over union of at least minimumOverlap, and a found
// oocyte is classified from the features of that detected outline, as the
// program classifies what it detects.
class HeldOutEvaluation {
 public:
  static constexpr double minimumOverlap = 0.7;

  // Loads the species folder's classifiers as the program loads them. The
  // detector runs as the program runs it with its default diameter settings.
  explicit HeldOutEvaluation(const std::string& speciesFolder);

  bool isLoaded() const { return classifier.isLoaded(); }

  // Detects and classifies the oocytes of `picture`, saved at picturePath.
  // False when the detector cannot read that file.
  bool add(const OocytePicture& picture, const std::string& picturePath);

  const EvaluationFigures& figures() const { return result; }

  // Intersection over union of the painted cell and a pixel outline.
  static double overlap(const synthetic::Cell& cell, const std::vector<int>& xs, const std::vector<int>& ys,
                        cv::Size size);

 private:
  void classify(const Oocyte& oocyte, const std::vector<int>& xs, const std::vector<int>& ys, cv::Size size);

  regionDetectorEdgesZelvora detector;
  OpticalClassifierZelvora classifier{"", 0};
  EvaluationFigures result;
};

}  // namespace defaultspecies

#endif
