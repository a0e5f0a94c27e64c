#ifndef FRACTIONBOX_H
#define FRACTIONBOX_H

#include <algorithm>

// A box over the picture given by two opposite corners (x0, y0) and (x1, y1)
// in image fractions, in either order.
struct FractionBox {
  double x0 = 0;
  double y0 = 0;
  double x1 = 0;
  double y1 = 0;

  // Whether (x, y) lies strictly inside; a point on an edge is outside.
  bool contains(double x, double y) const {
    return std::min(x0, x1) < x && x < std::max(x0, x1) && std::min(y0, y1) < y && y < std::max(y0, y1);
  }
};

#endif
