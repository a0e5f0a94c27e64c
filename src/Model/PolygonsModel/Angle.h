#ifndef ANGLE_H
#define ANGLE_H

#include <vector>

#include "baseShape.h"
#include "pointShape.h"

// An angle measurement: first arm point, vertex and second arm point, placed
// one click at a time and then dragged one by one. It owns the three points.
class Angle : public baseShape {
 public:
  Angle(pointShape* _p1, pointShape* _p2, pointShape* _p3, int _id, bool _visible, bool _selected, bool _deleted,
        bool _manual, int _type, int _clase, int _claseAutomatic);
  ~Angle() override;
  Angle(const Angle&) = delete;
  Angle& operator=(const Angle&) = delete;

  // Hit inside the triangle of the three points.
  bool inside(double x, double y, int width, int height) override;
  // Moves the three points by one shift, cut first so that all of them stay
  // on the picture (the angle keeps its form), and forgets the position.
  void move(double dx, double dy) override;
  void limitMove(double& dx, double& dy) override;

  pointShape* getp1();
  pointShape* getVertex();
  pointShape* getp3();
  // How many of the three points have been placed.
  int pointsUpdatedAngle() const;
  void sePpointsUpdatedAngle(int n);
  // n = 0 places the next unplaced point; n = 1, 2, 3 moves that point.
  void addPoint(double x, double y, int n);
  // The closed path p1, vertex, p3, p1.
  std::vector<pointShape*> getPoints();
  // Signed angle in degrees from the first arm to the second.
  double getAngle(double width, double height);
  // Whether neither arm has zero length.
  bool isAngle();
  pointShape getMax();
  pointShape getMin();

 private:
  pointShape* p1;
  pointShape* p2;
  pointShape* p3;
  int nptos = 0;
};

#endif
