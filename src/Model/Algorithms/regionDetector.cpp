#include "regionDetector.h"

#include "regionShape.h"

regionDetector::regionDetector(std::string filename, int minDiameter, int maxDiameter)
    : filename(std::move(filename)), minDiameter(minDiameter), maxDiameter(maxDiameter) {}

void regionDetector::setPostprocessingMask(int size) {
  if (size < 3) fail(maskTooSmall);
  masksize = size;
}

regionShape* regionDetector::makeRegion(std::size_t index) const {
  if (index >= xcoord.size() || width <= 0 || height <= 0) return nullptr;
  auto* region = new regionShape(0, true, false, false, false, 0, 0, 0);
  const std::vector<int>& xs = xcoord[index];
  const std::vector<int>& ys = ycoord[index];
  for (std::size_t k = 0; k < xs.size(); ++k)
    region->addLinePoint(static_cast<double>(xs[k]) / width, static_cast<double>(ys[k]) / height);
  return region;
}

void regionDetector::compute(int) {}
