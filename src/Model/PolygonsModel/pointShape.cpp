#include "pointShape.h"

#include <algorithm>
#include <cmath>

#include "MovedPositions.h"
#include "PixelConversion.h"
#include "ProgramProfile.h"

namespace {
constexpr double hitHalfSide = 20;
}

pointShape::pointShape(double x, double y, int id, bool visible, bool selected, bool deleted, bool manual,
                       int type, int clase, int claseAutomatic)
    : baseShape(id, visible, selected, deleted, manual, type, clase, claseAutomatic, 0) {
  shape = POINT;
  this->x = x;
  this->y = y;
}

double pointShape::getX() { return x; }
void pointShape::setX(double value) { x = value; }
double pointShape::getY() { return y; }
void pointShape::setY(double value) { y = value; }

bool pointShape::inside(double qx, double qy, int width, int height) {
  return std::fabs(qx - width * x) < hitHalfSide && std::fabs(qy - height * y) < hitHalfSide;
}

void pointShape::move(double dx, double dy) {
  if (!ProgramProfile::current().pointsAndLinesMove) return;
  limitMove(dx, dy);
  moveRegionPoints(dx, dy);
}

void pointShape::limitMove(double& dx, double& dy) {
  if (!ProgramProfile::current().pointsAndLinesMove) return;
  MovedPositions position;
  position.add(x, y);
  position.limitShiftToPicture(dx, dy);
}

std::vector<int> pointShape::getRectangle(int width, int height) {
  if (rectangle.size() < 4) {
    const int px = PixelConversion::truncateToInt(width * x);
    const int py = PixelConversion::truncateToInt(height * y);
    rectangle.insert(rectangle.end(), {px, px, py, py});
  }
  return rectangle;
}

void pointShape::setCoordinates(double newX, double newY) {
  x = newX;
  y = newY;
}

void pointShape::limitMoveOfAll(const std::vector<pointShape*>& points, double& dx, double& dy) {
  MovedPositions positions;
  for (const pointShape* point : points) positions.add(point->x, point->y);
  positions.limitShiftToPicture(dx, dy);
}

void pointShape::moveRegionPoints(double dx, double dy) {
  rectangle.clear();
  x += dx;
  y += dy;
}
