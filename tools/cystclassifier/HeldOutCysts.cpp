#include "HeldOutCysts.h"

#include <opencv2/imgcodecs.hpp>

#include "CystCandidates.h"
#include "Training.h"

namespace defaultcyst {

synthetic::SectionPicture SectionSettings::paint(synthetic::SectionPainter& painter) {
  return painter.paint(cv::Size(width, height), cysts, decoys, smallestObject, largestObject);
}

int HeldOutScore::candidates() const {
  return confusion[0][0] + confusion[0][1] + confusion[1][0] + confusion[1][1];
}

double HeldOutScore::accuracy() const {
  const int n = candidates();
  return n == 0 ? 0 : static_cast<double>(confusion[0][0] + confusion[1][1]) / n;
}

double HeldOutScore::kappa() const {
  return Training::cohenKappa({{confusion[0][0], confusion[0][1]}, {confusion[1][0], confusion[1][1]}});
}

bool scoreHeldOut(OpticalClassifierCyst& classifier, std::uint32_t seed, int pictures, const std::string& workFolder,
                  HeldOutScore& score) {
  synthetic::SectionPainter painter(seed);
  for (int k = 0; k < pictures; ++k) {
    const synthetic::SectionPicture section = SectionSettings::paint(painter);
    const std::string path = workFolder + "/heldout-" + std::to_string(k) + ".png";
    if (!cv::imwrite(path, section.image)) return false;
    try {
      classifier.setImageName(path);
      for (const Candidate& candidate : CystCandidates::collect(section, path, SectionSettings::minDiameter))
        ++score.confusion[candidate.cyst][classifier.applyClassifierRegion(candidate.region.get())];
    } catch (int) {
      return false;
    }
  }
  return true;
}

}  // namespace defaultcyst
