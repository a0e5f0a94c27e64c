#include "Line.h"
#include "MovedPositions.h"
#include "ProgramProfile.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double hitDistance = 10;
}

Line::Line(double _x1, double _y1, double _x2, double _y2, int id, bool visible, bool selected, bool deleted,
           bool manual, int type, int clase, int claseAutomatic)
    : baseShape(id, visible, selected, deleted, manual, type, clase, claseAutomatic, 0), x2(_x2), y2(_y2) {
  shape = LINE;
  x = _x1;
  y = _y1;
}

double Line::getX() { return x; }
void Line::setX(double value) { x = value; }
double Line::getY() { return y; }
void Line::setY(double value) { y = value; }

bool Line::inside(double qx, double qy, int width, int height) {
  const double p1x = width * x;
  const double p1y = height * y;
  const double dx = width * x2 - p1x;
  const double dy = height * y2 - p1y;
  double u = ((qx - p1x) * dx + (qy - p1y) * dy) / (dx * dx + dy * dy);
  // Written so that the NaN of a zero-length line also lands on an end point.
  if (!(u <= 1))
    u = 1;
  else if (u < 0)
    u = 0;
  return std::hypot(p1x + u * dx - qx, p1y + u * dy - qy) < hitDistance;
}

void Line::move(double dx, double dy) {
  if (!ProgramProfile::current().pointsAndLinesMove) return;
  limitMove(dx, dy);
  rectangle.clear();
  x += dx;
  y += dy;
  x2 += dx;
  y2 += dy;
}

void Line::limitMove(double& dx, double& dy) {
  if (!ProgramProfile::current().pointsAndLinesMove) return;
  MovedPositions ends;
  ends.add(x, y);
  ends.add(x2, y2);
  ends.limitShiftToPicture(dx, dy);
}

double Line::getDiameter(int width, int height) {
  const double dx = width * (x - x2);
  const double dy = height * (y - y2);
  return std::sqrt(dx * dx + dy * dy);
}

double Line::getX2() { return x2; }
double Line::getY2() { return y2; }

void Line::setCoordinates(double newX2, double newY2) {
  x2 = newX2;
  y2 = newY2;
}

std::vector<double> Line::getCoordinates() const { return {x, y, x2, y2}; }
