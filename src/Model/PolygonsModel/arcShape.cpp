#include "arcShape.h"

arcShape::arcShape(int id, bool visible, bool selected, bool deleted, bool manual, int type, int clase,
                   int claseAutomatic)
    : baseShape(id, visible, selected, deleted, manual, type, clase, claseAutomatic, 0) {
  shape = ARC;
  name = "Default name";
}

arcShape::~arcShape() {
  for (pointShape* vertex : linePoints) delete vertex;
}

bool arcShape::inside(double, double, int, int) { return false; }

void arcShape::move(double dx, double dy) {
  limitMove(dx, dy);
  rectangle.clear();
  for (pointShape* vertex : linePoints) vertex->moveRegionPoints(dx, dy);
  x = -1;
  y = -1;
}

void arcShape::limitMove(double& dx, double& dy) { pointShape::limitMoveOfAll(linePoints, dx, dy); }

std::vector<pointShape*>& arcShape::getLinePoints() { return linePoints; }

void arcShape::addLinePoint(double px, double py) {
  linePoints.push_back(new pointShape(px, py, 0, true, false, false, false, 0, 0, 0));
}

pointShape* arcShape::getInicialPoint() { return linePoints.empty() ? nullptr : linePoints.front(); }
pointShape* arcShape::getFinalPoint() { return linePoints.empty() ? nullptr : linePoints.back(); }
