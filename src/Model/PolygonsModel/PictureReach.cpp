#include "PictureReach.h"

#include <algorithm>
#include <cmath>

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
