#ifndef CONVEXHULL_H
#define CONVEXHULL_H

#include <stack>
#include <vector>

// Convex hull of integer pixel points by Graham's scan, used to join
// regions into one outline.
namespace hull {

struct Point {
  int x;
  int y;
};

// 0 when p, q, r are collinear, 1 when they turn one way, 2 the other (the
// turn the hull follows).
int orientation(Point p, Point q, Point r);

// The hull's vertices with the pivot (smallest y, then smallest x) at the
// bottom and the others above it in angle order; of points collinear with
// the pivot only the farthest counts. Empty when fewer than three points of
// distinct angle remain.
std::stack<Point> convexHull(std::vector<Point> points);

}  // namespace hull

#endif
