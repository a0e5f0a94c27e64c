#include "CellRegions.h"

#include <cmath>
#include <unordered_set>

#include "regionShape.h"

namespace CellRegions {

std::vector<baseShape*> fromContours(const std::vector<std::vector<int>>& xs, const std::vector<std::vector<int>>& ys,
                                     int width, int height) {
  std::vector<baseShape*> regions;
  regions.reserve(xs.size());
  for (std::size_t k = 0; k < xs.size() && k < ys.size(); ++k) {
    auto* region = new regionShape(static_cast<int>(k) + 1, true, false, false, false, 0, 0, 0);
    const std::size_t points = std::min(xs[k].size(), ys[k].size());
    for (std::size_t p = 0; p < points; ++p)
      region->addLinePoint(static_cast<double>(xs[k][p]) / width, static_cast<double>(ys[k][p]) / height);
    if (points > 0) region->addLinePoint(static_cast<double>(xs[k][0]) / width, static_cast<double>(ys[k][0]) / height);
    regions.push_back(region);
  }
  return regions;
}

std::vector<baseShape*> overlappingTest(std::vector<baseShape*> candidates, int mindim, int maxdim, int width,
                                        int height) {
  // Marked by address rather than id: ids need not be unique among candidates
  // from a file or another tool.
  std::unordered_set<const baseShape*> processed;
  std::unordered_set<const baseShape*> kept;
  std::vector<baseShape*> result;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    baseShape* current = candidates[i];
    if (!processed.insert(current).second) continue;
    // The group's reference centre stays that of its first region.
    const double cx = width * current->getX(), cy = height * current->getY();
    for (std::size_t j = i + 1; j < candidates.size(); ++j) {
      baseShape* other = candidates[j];
      if (processed.count(other) != 0) continue;
      const double reach = (current->getDiameter(width, height) + other->getDiameter(width, height)) / 2.0;
      const double ox = width * other->getX(), oy = height * other->getY();
      if (std::fabs(cx - ox) > reach || std::fabs(cy - oy) > reach) continue;
      const bool currentHoldsOther = current->inside(ox, oy, width, height);
      const bool otherHoldsCurrent = other->inside(width * current->getX(), height * current->getY(), width, height);
      if (currentHoldsOther) {
        processed.insert(other);
      } else if (otherHoldsCurrent) {
        processed.insert(other);
        current = other;
      }
    }
    const int diameter = static_cast<int>(current->getDiameter(width, height));
    if (mindim < diameter && diameter < maxdim && kept.insert(current).second) result.push_back(current);
  }
  for (baseShape* candidate : candidates)
    if (kept.count(candidate) == 0) delete candidate;
  return result;
}

}  // namespace CellRegions
