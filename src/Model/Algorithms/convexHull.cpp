#include "convexHull.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace hull {

namespace {

int heldPixel(double coordinate) {
  if (std::isnan(coordinate)) return 0;
  return static_cast<int>(std::clamp<double>(coordinate, -coordinateLimit, coordinateLimit));
}

}  // namespace

Point pixelAt(double x, double y) { return {heldPixel(x), heldPixel(y)}; }

// Products of coordinate differences are taken in 64 bits so that points
// far apart cannot overflow them.
int orientation(Point p, Point q, Point r) {
  const long long val = (static_cast<long long>(q.y) - p.y) * (static_cast<long long>(r.x) - q.x) -
                        (static_cast<long long>(q.x) - p.x) * (static_cast<long long>(r.y) - q.y);
  if (val == 0) return 0;
  return val > 0 ? 1 : 2;
}

namespace {

// The pivot of the running hull, read by the sort comparison; one hull is
// computed at a time.
Point p0{0, 0};

long long distSq(Point p1, Point p2) {
  const long long dx = static_cast<long long>(p1.x) - p2.x, dy = static_cast<long long>(p1.y) - p2.y;
  return dx * dx + dy * dy;
}

// qsort comparison by angle around p0; of collinear points the nearer first.
int compare(const void* vp1, const void* vp2) {
  const Point* p1 = static_cast<const Point*>(vp1);
  const Point* p2 = static_cast<const Point*>(vp2);
  const int o = orientation(p0, *p1, *p2);
  if (o == 0) {
    // Collinear points at the same distance from the pivot are the same point.
    const long long d1 = distSq(p0, *p1), d2 = distSq(p0, *p2);
    return d1 == d2 ? 0 : d2 < d1 ? 1 : -1;
  }
  return o == 2 ? -1 : 1;
}

// The element below the top; the stack is left as it was.
Point nextToTop(std::stack<Point>& s) {
  const Point top = s.top();
  s.pop();
  const Point below = s.top();
  s.push(top);
  return below;
}

}  // namespace

std::stack<Point> convexHull(std::vector<Point> points) {
  const size_t n = points.size();
  if (n < 3) return {};
  size_t pivot = 0;
  for (size_t i = 1; i < n; i++) {
    if (points[i].y < points[pivot].y || (points[i].y == points[pivot].y && points[i].x < points[pivot].x)) pivot = i;
  }
  std::swap(points[0], points[pivot]);
  p0 = points[0];
  std::qsort(&points[1], n - 1, sizeof(Point), compare);

  // Of points at the same angle from the pivot only the farthest (sorted
  // last) is kept.
  size_t m = 1;
  for (size_t i = 1; i < n; i++) {
    while (i < n - 1 && orientation(p0, points[i], points[i + 1]) == 0) i++;
    points[m++] = points[i];
  }
  if (m < 3) return {};

  std::stack<Point> s;
  s.push(points[0]);
  s.push(points[1]);
  s.push(points[2]);
  for (size_t i = 3; i < m; i++) {
    while (s.size() > 1 && orientation(nextToTop(s), s.top(), points[i]) != 2) s.pop();
    s.push(points[i]);
  }
  return s;
}

}  // namespace hull
