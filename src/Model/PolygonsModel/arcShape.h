#ifndef ARCSHAPE_H
#define ARCSHAPE_H

#include <vector>

#include "baseShape.h"
#include "pointShape.h"

// An open polyline; it owns its vertices.
class arcShape : public baseShape {
 public:
  arcShape(int id, bool visible, bool selected, bool deleted, bool manual, int type, int clase, int claseAutomatic);
  ~arcShape() override;
  arcShape(const arcShape&) = delete;
  arcShape& operator=(const arcShape&) = delete;

  // An arc is never hit by a click.
  bool inside(double x, double y, int width, int height) override;
  // Moves every vertex by one shift, cut first so that the whole arc stays on
  // the picture (its form kept), and forgets the position.
  void move(double dx, double dy) override;
  void limitMove(double& dx, double& dy) override;

  std::vector<pointShape*>& getLinePoints();
  void addLinePoint(double x, double y);
  // First and last vertex; nullptr while the arc has none.
  pointShape* getInicialPoint();
  pointShape* getFinalPoint();

 private:
  std::vector<pointShape*> linePoints;
};

#endif
