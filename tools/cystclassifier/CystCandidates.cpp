#include "CystCandidates.h"

#include <map>
#include <opencv2/imgproc.hpp>

#include "regionDetectorCyst.h"

namespace defaultcyst {

namespace {

// Intersection over union of the filled outline with the best-matching
// painted cyst.
double bestCystOverlap(const synthetic::SectionPicture& section, const std::vector<cv::Point>& outline) {
  const cv::Rect box = cv::boundingRect(outline) & cv::Rect(0, 0, section.objects.cols, section.objects.rows);
  cv::Mat filled = cv::Mat::zeros(box.size(), CV_8U);
  cv::fillPoly(filled, std::vector<std::vector<cv::Point>>{outline}, cv::Scalar(1), cv::LINE_8, 0, -box.tl());
  std::map<int, int> shared;
  int area = 0;
  for (int y = 0; y < box.height; ++y) {
    const unsigned char* in = filled.ptr<unsigned char>(y);
    const int* object = section.objects.ptr<int>(y + box.y) + box.x;
    for (int x = 0; x < box.width; ++x) {
      if (!in[x]) continue;
      ++area;
      if (object[x] > 0) ++shared[object[x] - 1];
    }
  }
  double best = 0;
  for (const auto& [index, intersection] : shared) {
    if (!section.painted[index].cyst) continue;
    const int objectArea = cv::countNonZero(section.objects == index + 1);
    best = std::max(best, static_cast<double>(intersection) / (area + objectArea - intersection));
  }
  return best;
}

}  // namespace

std::vector<Candidate> CystCandidates::collect(const synthetic::SectionPicture& section, const std::string& path,
                                               int minDiameter) {
  regionDetectorCyst detector(path, minDiameter, 2 * minDiameter);
  detector.compute(1);
  const std::vector<std::vector<int>> xs = detector.getXCoordinates();
  const std::vector<std::vector<int>> ys = detector.getYCoordinates();
  const std::vector<int> parents = detector.getInnerRegions();
  const int width = detector.getImageWidth(), height = detector.getImageHeight();

  std::vector<Candidate> candidates;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    if (parents[i] != -1) continue;
    std::unique_ptr<regionShape> region(detector.makeRegion(i));
    const double diameter = region->getDiameter(width, height);
    if (diameter <= minDiameter || diameter >= 2 * minDiameter) continue;
    std::vector<cv::Point> outline;
    for (std::size_t k = 0; k < xs[i].size(); ++k) outline.emplace_back(xs[i][k], ys[i][k]);
    const double overlap = bestCystOverlap(section, outline);
    if (overlap >= tissueOverlap && overlap < cystOverlap) continue;
    candidates.push_back({std::move(region), overlap >= cystOverlap, overlap});
  }
  return candidates;
}

}  // namespace defaultcyst
