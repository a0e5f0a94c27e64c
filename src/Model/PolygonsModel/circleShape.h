#ifndef CIRCLESHAPE_H
#define CIRCLESHAPE_H

#include "baseShape.h"

// A circle: centre in relative coordinates (the base x, y), radius in pixels.
class circleShape : public baseShape {
 public:
  circleShape(double _radius, double xc, double yc, int id, bool visible, bool selected, bool deleted,
              bool manual, int type, int clase, int claseAutomatic);

  double getX() override;
  void setX(double value) override;
  double getY() override;
  void setY(double value) override;
  // Hit inside the circle's bounding square, not only the disc.
  bool inside(double x, double y, int width, int height) override;
  // Moves the centre by the shift, cut first so that the centre stays within
  // the picture's reach; the circle may stand partly or wholly off the picture.
  void move(double dx, double dy) override;
  void limitMove(double& dx, double& dy) override;
  double getArea(int width, int height) override;
  double getDiameter(int width, int height) override;
  std::vector<int> getRectangle(int width, int height) override;

  double getRadius() const;
  void setRadius(double value);
  // Area in whole square pixels (truncated).
  int getSize() const;
  // Area in square pixels as a double: infinite for a radius whose square
  // overflows.
  double getExactArea() const;

 private:
  double radius;
  static constexpr double pi = 3.1415926535;
};

#endif
