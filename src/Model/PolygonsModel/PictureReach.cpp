#include "PictureReach.h"

#include <algorithm>
#include <cmath>

namespace {

double marginOf(double width, double height) { return PictureReach::picturesAround * std::max(width, height); }

}  // namespace

PictureReach::PictureReach(double width, double height, double cornerX, double cornerY)
    : left(cornerX - marginOf(width, height)),
      top(cornerY - marginOf(width, height)),
      right(cornerX + width + marginOf(width, height)),
      bottom(cornerY + height + marginOf(width, height)) {}

bool PictureReach::contains(double x, double y) const {
  return x >= left && x <= right && y >= top && y <= bottom;
}

bool PictureReach::spans(double radius) const { return std::abs(radius) <= right - left; }
