#include "PictureReach.h"

#include <algorithm>
#include <cmath>

namespace {

// The part of `shift` that keeps [low, high] within [lowest, highest], never
// pushing it further out than it already is.
double shiftWithin(double low, double high, double lowest, double highest, double shift) {
  return std::clamp(shift, std::min(0.0, lowest - low), std::max(0.0, highest - high));
}

}  // namespace

PictureReach::PictureReach(double width, double height, double cornerX, double cornerY)
    : left(cornerX - picturesAround * width),
      top(cornerY - picturesAround * height),
      right(cornerX + width + picturesAround * width),
      bottom(cornerY + height + picturesAround * height) {}

bool PictureReach::contains(double x, double y) const {
  return x >= left && x <= right && y >= top && y <= bottom;
}

double PictureReach::largestRadius() const { return std::min(right - left, bottom - top); }

bool PictureReach::spans(double radius) const { return std::abs(radius) <= largestRadius(); }

void PictureReach::limitShift(double minX, double maxX, double minY, double maxY, double& dx, double& dy) const {
  dx = shiftWithin(minX, maxX, left, right, dx);
  dy = shiftWithin(minY, maxY, top, bottom, dy);
}
