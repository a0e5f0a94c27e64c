#ifndef CONVEXHULL_H
#define CONVEXHULL_H

#include <stack>
#include <vector>

// Convex hull of integer pixel points by Graham's scan, used to join
// regions into one outline.
namespace hull {

// Coordinates lie within +-coordinateLimit, so that the products of their
// differences fit in 64 bits.
constexpr int coordinateLimit = 1000000000;

struct Point {
  int x;
  int y;
};

// The whole pixel at (x, y): truncated toward zero, held within the limit
// (a shape read from a file may lie anywhere), 0 for a coordinate that is
// not a number.
Point pixelAt(double x, double y);

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
