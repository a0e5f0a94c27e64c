#include "circleShape.h"

#include "MovedPositions.h"
#include "PictureReach.h"
#include "PixelConversion.h"

circleShape::circleShape(double _radius, double xc, double yc, int id, bool visible, bool selected, bool deleted,
                         bool manual, int type, int clase, int claseAutomatic)
    : baseShape(id, visible, selected, deleted, manual, type, clase, claseAutomatic, 0), radius(_radius) {
  shape = CIRCLE;
  x = xc;
  y = yc;
}

double circleShape::getX() { return x; }
void circleShape::setX(double value) { x = value; }
double circleShape::getY() { return y; }
void circleShape::setY(double value) { y = value; }

bool circleShape::inside(double qx, double qy, int width, int height) {
  const double cx = width * x;
  const double cy = height * y;
  return cx - radius < qx && qx < cx + radius && cy - radius < qy && qy < cy + radius;
}

void circleShape::move(double dx, double dy) {
  limitMove(dx, dy);
  rectangle.clear();
  x += dx;
  y += dy;
}

// A circle may stand partly or wholly off the picture, as long as its centre
// stays within the reach that an annotation file may hold.
void circleShape::limitMove(double& dx, double& dy) {
  MovedPositions centre;
  centre.add(x, y);
  PictureReach(1, 1).limitShift(centre, dx, dy);
}

double circleShape::getArea(int, int) { return getSize(); }
double circleShape::getDiameter(int, int) { return 2 * radius; }

std::vector<int> circleShape::getRectangle(int width, int height) {
  if (rectangle.size() < 4) {
    const double cx = width * x;
    const double cy = height * y;
    rectangle.insert(rectangle.end(),
                     {PixelConversion::truncateToInt(cx - radius), PixelConversion::truncateToInt(cx + radius),
                      PixelConversion::truncateToInt(cy - radius), PixelConversion::truncateToInt(cy + radius)});
  }
  return rectangle;
}

double circleShape::getRadius() const { return radius; }
void circleShape::setRadius(double value) { radius = value; }
int circleShape::getSize() const { return PixelConversion::truncateToInt(getExactArea()); }
double circleShape::getExactArea() const { return pi * radius * radius; }
