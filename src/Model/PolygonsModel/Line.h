#ifndef LINE_H
#define LINE_H

#include <vector>

#include "baseShape.h"

// A straight length measurement from (x, y) to (x2, y2), relative coordinates.
class Line : public baseShape {
 public:
  Line(double _x1, double _y1, double _x2, double _y2, int id, bool visible, bool selected, bool deleted,
       bool manual, int type, int clase, int claseAutomatic);

  double getX() override;
  void setX(double value) override;
  double getY() override;
  void setY(double value) override;
  // Hit within 10 pixels of the segment.
  bool inside(double x, double y, int width, int height) override;
  // Moves both ends by the same shift, cut first so that the whole line stays
  // on the picture: a line pushed against the border stops there, its
  // length kept.
  // Does nothing in a program whose profile keeps points and lines in place.
  void move(double dx, double dy) override;
  void limitMove(double& dx, double& dy) override;
  // The length in pixels.
  double getDiameter(int width, int height) override;
  virtual double getX2();
  virtual double getY2();

  void setCoordinates(double x2, double y2);
  // x, y, x2, y2 in that order.
  std::vector<double> getCoordinates() const;

 private:
  double x2;
  double y2;
};

#endif
