#ifndef POINTSHAPE_H
#define POINTSHAPE_H

#include "baseShape.h"

// A marked point; also the vertex type of regions, arcs and angles.
class pointShape : public baseShape {
 public:
  pointShape(double x, double y, int id, bool visible, bool selected, bool deleted, bool manual, int type,
             int clase, int claseAutomatic);
  pointShape(const pointShape&) = default;
  pointShape& operator=(const pointShape&) = default;

  double getX() override;
  void setX(double value) override;
  double getY() override;
  void setY(double value) override;
  // Hit inside the 40-pixel square centred on the point.
  bool inside(double x, double y, int width, int height) override;
  // Does nothing in a program whose profile keeps points and lines in place.
  void move(double dx, double dy) override;
  void limitMove(double& dx, double& dy) override;
  std::vector<int> getRectangle(int width, int height) override;

  void setCoordinates(double x, double y);
  // Shifts the point by (dx, dy) as it is: the shape it belongs to has cut
  // the shift for all its points together.
  void moveRegionPoints(double dx, double dy);
  // Cuts a shift of the points of one shape, moved together, so that all of
  // them stay on the picture (see limitMove).
  static void limitMoveOfAll(const std::vector<pointShape*>& points, double& dx, double& dy);
};

#endif
