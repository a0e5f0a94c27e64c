#include "MovedPositions.h"

#include <algorithm>

namespace {

// The part of `shift` that keeps [low, high] within [lowest, highest], never
// pushing it further out than it already is.
double shiftWithin(double low, double high, double lowest, double highest, double shift) {
  return std::clamp(shift, std::min(0.0, lowest - low), std::max(0.0, highest - high));
}

}  // namespace

void MovedPositions::add(double x, double y) {
  minX = std::min(minX, x);
  maxX = std::max(maxX, x);
  minY = std::min(minY, y);
  maxY = std::max(maxY, y);
}

void MovedPositions::limitShift(double left, double top, double right, double bottom, double& dx,
                                double& dy) const {
  if (empty()) return;
  dx = shiftWithin(minX, maxX, left, right, dx);
  dy = shiftWithin(minY, maxY, top, bottom, dy);
}
