#ifndef SHAPEFIXTURES_H
#define SHAPEFIXTURES_H

#include <cmath>
#include <utility>
#include <vector>

#include "arcShape.h"
#include "baseShape.h"
#include "regionShape.h"

// Outlines and shapes for the tests of the region tools, in picture
// fractions.
using Vertices = std::vector<std::pair<double, double>>;

// Owns the shapes of a list, as the canvas does.
struct ShapeList {
  std::vector<baseShape*> shapes;
  ShapeList() = default;
  ShapeList(const ShapeList&) = delete;
  ShapeList& operator=(const ShapeList&) = delete;
  ~ShapeList() {
    for (baseShape* shape : shapes) delete shape;
  }
  template <class T>
  T* add(T* shape) {
    shapes.push_back(shape);
    return shape;
  }
};

// `count` vertices evenly around a circle.
inline Vertices circleOutline(int count, double cx, double cy, double r) {
  Vertices out;
  for (int i = 0; i < count; ++i) {
    const double a = 2 * M_PI * i / count;
    out.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  return out;
}

// A visible region of the given outline, found by the detector unless
// `manual`.
inline regionShape* makeRegion(int id, const Vertices& outline, bool manual = false) {
  auto* region = new regionShape(id, true, false, false, manual, 0, 0, 0);
  for (const auto& [x, y] : outline) region->addLinePoint(x, y);
  return region;
}

// A hand-drawn arc through the given points.
inline arcShape* makeArc(int id, const Vertices& points) {
  auto* arc = new arcShape(id, true, false, false, true, 0, 0, 0);
  for (const auto& [x, y] : points) arc->addLinePoint(x, y);
  return arc;
}

#endif
