#include "Angle.h"

#include <algorithm>
#include <cmath>

#include "regionShape.h"

Angle::Angle(pointShape* _p1, pointShape* _p2, pointShape* _p3, int _id, bool _visible, bool _selected,
             bool _deleted, bool _manual, int _type, int _clase, int _claseAutomatic)
    : baseShape(_id, _visible, _selected, _deleted, _manual, _type, _clase, _claseAutomatic, 0),
      p1(_p1),
      p2(_p2),
      p3(_p3) {
  shape = ANGLE;
}

Angle::~Angle() {
  delete p1;
  delete p2;
  delete p3;
}

bool Angle::inside(double qx, double qy, int width, int height) {
  return regionShape::insidePolygon(getPoints(), qx, qy, width, height);
}

void Angle::move(double dx, double dy) {
  limitMove(dx, dy);
  p1->moveRegionPoints(dx, dy);
  p2->moveRegionPoints(dx, dy);
  p3->moveRegionPoints(dx, dy);
  x = -1;
  y = -1;
}

void Angle::limitMove(double& dx, double& dy) { pointShape::limitMoveOfAll({p1, p2, p3}, dx, dy); }

pointShape* Angle::getp1() { return p1; }
pointShape* Angle::getVertex() { return p2; }
pointShape* Angle::getp3() { return p3; }
int Angle::pointsUpdatedAngle() const { return nptos; }
void Angle::sePpointsUpdatedAngle(int n) { nptos = n; }

void Angle::addPoint(double px, double py, int n) {
  pointShape* target = nullptr;
  if (n == 0) {
    if (nptos >= 3) return;
    target = getPoints()[nptos];
    ++nptos;
  } else if (n >= 1 && n <= 3) {
    target = getPoints()[n - 1];
  } else {
    return;
  }
  target->setX(px);
  target->setY(py);
}

std::vector<pointShape*> Angle::getPoints() { return {p1, p2, p3, p1}; }

double Angle::getAngle(double width, double height) {
  const double vx = (p1->getX() - p2->getX()) * width;
  const double vy = (p1->getY() - p2->getY()) * height;
  const double wx = (p3->getX() - p2->getX()) * width;
  const double wy = (p3->getY() - p2->getY()) * height;
  const double dot = vx * wx + vy * wy;
  const double det = vx * wy - vy * wx;
  return std::atan2(det, dot) * 180 / 3.14159265;
}

bool Angle::isAngle() {
  const bool firstArm = p1->getX() != p2->getX() || p1->getY() != p2->getY();
  const bool secondArm = p2->getX() != p3->getX() || p2->getY() != p3->getY();
  return firstArm && secondArm;
}

pointShape Angle::getMax() {
  double maxX = 0;
  double maxY = 0;
  for (pointShape* p : {p1, p2, p3}) {
    maxX = std::max(maxX, p->getX());
    maxY = std::max(maxY, p->getY());
  }
  return pointShape(maxX, maxY, 0, true, false, false, false, 0, 0, 0);
}

pointShape Angle::getMin() {
  double minX = 100000000;
  double minY = 100000000;
  for (pointShape* p : {p1, p2, p3}) {
    minX = std::min(minX, p->getX());
    minY = std::min(minY, p->getY());
  }
  return pointShape(minX, minY, 0, true, false, false, false, 0, 0, 0);
}
