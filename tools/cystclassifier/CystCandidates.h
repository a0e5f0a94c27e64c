#ifndef CYSTCANDIDATES_H
#define CYSTCANDIDATES_H

#include <memory>
#include <string>
#include <vector>

#include "SectionPainter.h"
#include "regionShape.h"

namespace defaultcyst {

// A region the cyst detector found in a painted section, with what the
// painting says it is.
struct Candidate {
  std::unique_ptr<regionShape> region;
  bool cyst = false;
  double overlap = 0;  // intersection over union with the best-matching cyst
};

// The candidates of one painted section saved at `path`, collected as the
// add-cysts pass collects them: the detector in mode 1 with `minDiameter`,
// outer outlines whose diameter lies strictly between minDiameter and twice
// it. A candidate overlapping a painted cyst by at least `cystOverlap` is a
// cyst, one overlapping every cyst by less than `tissueOverlap` is not; the
// ones in between are left out, as their truth is unclear.
class CystCandidates {
 public:
  static constexpr double cystOverlap = 0.5;
  static constexpr double tissueOverlap = 0.1;

  static std::vector<Candidate> collect(const synthetic::SectionPicture& section, const std::string& path,
                                        int minDiameter);
};

}  // namespace defaultcyst

#endif
