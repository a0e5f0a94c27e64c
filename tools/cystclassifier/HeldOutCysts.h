#ifndef HELDOUTCYSTS_H
#define HELDOUTCYSTS_H

#include <cstdint>
#include <string>

#include "OpticalClassifierCyst.h"
#include "SectionPainter.h"

namespace defaultcyst {

// The sections the default cyst classifier learns from and is scored on.
struct SectionSettings {
  static constexpr int width = 1024;
  static constexpr int height = 768;
  static constexpr int cysts = 10;
  static constexpr int decoys = 10;
  static constexpr double smallestObject = 30;
  static constexpr double largestObject = 100;
  // The smallest cyst diameter of the candidate search (Cavitra's default).
  static constexpr int minDiameter = 40;

  static synthetic::SectionPicture paint(synthetic::SectionPainter& painter);
};

// How a cyst classifier answers on candidates of painted sections.
struct HeldOutScore {
  int confusion[2][2] = {{0, 0}, {0, 0}};  // [true cyst][answered cyst]
  int candidates() const;
  double accuracy() const;
  // Cohen's kappa, in percent.
  double kappa() const;
};

// Scores `classifier` on `pictures` sections painted with `seed`, each saved
// in `workFolder` first. False when a picture cannot be saved or read.
bool scoreHeldOut(OpticalClassifierCyst& classifier, std::uint32_t seed, int pictures, const std::string& workFolder,
                  HeldOutScore& score);

}  // namespace defaultcyst

#endif
