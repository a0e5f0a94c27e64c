#include "regionShape.h"

#include <cmath>

#include "PixelConversion.h"

regionShape::regionShape(int _id, bool _visible, bool _selected, bool _deleted, bool _manual, int _type,
                         int _clase, int _claseAutomatic)
    : baseShape(_id, _visible, _selected, _deleted, _manual, _type, _clase, _claseAutomatic, 0) {
  shape = REGION;
  name = "Default name";
}

regionShape::~regionShape() {
  clearPoints();
  for (pointShape* vertex : linePoints) delete vertex;
}

double regionShape::getX() {
  if (x < 0) computeCentroid();
  return x;
}

double regionShape::getY() {
  if (y < 0) computeCentroid();
  return y;
}

void regionShape::computeCentroid() {
  if (linePoints.empty()) return;
  double sumX = 0;
  double sumY = 0;
  for (pointShape* vertex : linePoints) {
    sumX += vertex->getX();
    sumY += vertex->getY();
  }
  x = sumX / linePoints.size();
  y = sumY / linePoints.size();
}

bool regionShape::insidePolygon(const std::vector<pointShape*>& vertices, double x, double y, double scaleX,
                                double scaleY) {
  bool odd = false;
  const std::size_t n = vertices.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const double xi = scaleX * vertices[i]->getX();
    const double yi = scaleY * vertices[i]->getY();
    const double xj = scaleX * vertices[j]->getX();
    const double yj = scaleY * vertices[j]->getY();
    if ((yi < y && yj >= y) || (yj < y && yi >= y)) {
      if (xi + (y - yi) / (yj - yi) * (xj - xi) < x) odd = !odd;
    }
  }
  return odd;
}

bool regionShape::inside(double qx, double qy, int width, int height) {
  return insidePolygon(linePoints, qx, qy, width, height);
}

bool regionShape::insideAbsoluteCoordinates(double qx, double qy) { return insidePolygon(linePoints, qx, qy, 1, 1); }

void regionShape::move(double dx, double dy) {
  limitMove(dx, dy);
  rectangle.clear();
  for (pointShape* vertex : linePoints) vertex->moveRegionPoints(dx, dy);
  x = -1;
  y = -1;
}

void regionShape::limitMove(double& dx, double& dy) { pointShape::limitMoveOfAll(linePoints, dx, dy); }

double regionShape::getSize(int width, int height) {
  if (area != 0 || linePoints.empty()) return static_cast<double>(area);
  area = outlineArea(width, height);
  return static_cast<double>(area);
}

double regionShape::outlineArea(int width, int height) const {
  if (linePoints.empty()) return 0;
  const std::size_t n = linePoints.size();
  auto px = [&](std::size_t i) { return static_cast<long double>(width) * linePoints[i]->getX(); };
  auto py = [&](std::size_t i) { return static_cast<long double>(height) * linePoints[i]->getY(); };
  long double sum = 0;
  for (std::size_t i = 0; i + 1 < n; ++i) sum += px(i) * py(i + 1) - py(i) * px(i + 1);
  sum += px(n - 1) * py(0) - py(n - 1) * px(0);
  return static_cast<double>(std::fabs(sum / 2));
}

double regionShape::getArea(int width, int height) { return getSize(width, height); }

double regionShape::getDiameter(int width, int height) {
  if (diameter == 0) diameter = 2 * std::sqrt(getSize(width, height) / pi);
  return static_cast<double>(diameter);
}

std::vector<int> regionShape::getRectangle(int width, int height) {
  if (rectangle.size() < 4) {
    double maxX = -1;
    double maxY = -1;
    double minX = 10000000;
    double minY = 10000000;
    for (pointShape* vertex : linePoints) {
      const double px = width * vertex->getX();
      const double py = height * vertex->getY();
      if (px > maxX) maxX = px;
      if (py > maxY) maxY = py;
      if (px < minX) minX = px;
      if (py < minY) minY = py;
    }
    rectangle.insert(rectangle.end(),
                     {PixelConversion::truncateToInt(minX), PixelConversion::truncateToInt(maxX),
                      PixelConversion::truncateToInt(minY), PixelConversion::truncateToInt(maxY)});
  }
  return rectangle;
}

int regionShape::getNumberPointsInside() { return getTotalNumberOfPointsInside(); }

int regionShape::getTotalNumberOfPointsInside() const {
  int visibleCount = 0;
  for (const baseShape* point : points)
    if (point->getVisible()) ++visibleCount;
  return visibleCount;
}

void regionShape::addLinePoint(double px, double py) {
  linePoints.push_back(new pointShape(px, py, 0, true, false, false, false, 0, 0, 0));
}

std::vector<pointShape*>& regionShape::getLinePoints() { return linePoints; }
void regionShape::addPoint(pointShape* point) { points.push_back(point); }
std::vector<baseShape*> regionShape::getPoints() const { return points; }
void regionShape::setPoints(const std::vector<baseShape*>& newPoints) { points = newPoints; }

void regionShape::clearPoints() {
  for (baseShape* point : points) delete point;
  points.clear();
}

pointShape regionShape::getMax() const {
  double maxX = 0;
  double maxY = 0;
  for (pointShape* vertex : linePoints) {
    if (vertex->getX() > maxX) maxX = vertex->getX();
    if (vertex->getY() > maxY) maxY = vertex->getY();
  }
  return pointShape(maxX, maxY, 0, true, false, false, false, 0, 0, 0);
}

pointShape regionShape::getMin() const {
  double minX = 1000000;
  double minY = 100000;
  for (pointShape* vertex : linePoints) {
    if (vertex->getX() < minX) minX = vertex->getX();
    if (vertex->getY() < minY) minY = vertex->getY();
  }
  return pointShape(minX, minY, 0, true, false, false, false, 0, 0, 0);
}
