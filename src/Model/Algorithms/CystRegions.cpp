#include "CystRegions.h"

#include "regionDetector.h"
#include "regionShape.h"

std::vector<baseShape*> CystRegions::kept(const regionDetector& detector, int minDiameter, int maxDiameter) {
  std::vector<baseShape*> result;
  const std::vector<int> parents = detector.getInnerRegions();
  const int width = detector.getImageWidth();
  const int height = detector.getImageHeight();
  int nextId = 1;
  for (std::size_t i = 0; i < parents.size(); ++i) {
    regionShape* region = detector.makeRegion(i);
    if (region == nullptr) continue;
    if (keeps(region->getArea(width, height), parents[i], minDiameter, maxDiameter)) {
      region->setId(nextId++);
      result.push_back(region);
    } else {
      delete region;
    }
  }
  return result;
}
