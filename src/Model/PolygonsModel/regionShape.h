#ifndef REGIONSHAPE_H
#define REGIONSHAPE_H

#include <vector>

#include "baseShape.h"
#include "pointShape.h"

// A closed outline (the edge from the last vertex back to the first is
// implied) with the interior points marked in it. The region owns both.
// Area, diameter, centroid and box are computed on first use and cached;
// area and diameter stay cached for the life of the region.
class regionShape : public baseShape {
 public:
  regionShape(int _id, bool _visible, bool _selected, bool _deleted, bool _manual, int _type, int _clase,
              int _claseAutomatic);
  ~regionShape() override;
  regionShape(const regionShape&) = delete;
  regionShape& operator=(const regionShape&) = delete;

  // The centroid: the mean of the vertices; -1 while the region has none.
  double getX() override;
  double getY() override;
  bool inside(double x, double y, int width, int height) override;
  // Moves the outline, whole, on the picture; interior points stay.
  void move(double dx, double dy) override;
  void limitMove(double& dx, double& dy) override;
  double getArea(int width, int height) override;
  // Diameter of the circle of the same area.
  double getDiameter(int width, int height) override;
  std::vector<int> getRectangle(int width, int height) override;
  int getNumberPointsInside() override;
  // The inside test on the relative coordinates themselves.
  virtual bool insideAbsoluteCoordinates(double x, double y);

  // Crossing-number test of (x, y) against the closed polygon of `vertices`,
  // whose coordinates are scaled by (scaleX, scaleY) first.
  static bool insidePolygon(const std::vector<pointShape*>& vertices, double x, double y, double scaleX,
                            double scaleY);

  void addLinePoint(double x, double y);
  std::vector<pointShape*>& getLinePoints();
  void addPoint(pointShape* point);
  std::vector<baseShape*> getPoints() const;
  // Takes the given pointers in place of the current ones, which it does not free.
  void setPoints(const std::vector<baseShape*>& newPoints);
  void clearPoints();
  int getTotalNumberOfPointsInside() const;
  void computeCentroid();
  double getSize(int width, int height);
  // The outline's area in square pixels computed afresh, without the cache:
  // infinite when the vertices are too far apart for a double.
  double outlineArea(int width, int height) const;
  // Vertex-wise extremes, searched from fixed start values.
  pointShape getMax() const;
  pointShape getMin() const;

 private:
  std::vector<pointShape*> linePoints;
  std::vector<baseShape*> points;
  long double area = 0;      // 0 = not computed
  long double diameter = 0;  // 0 = not computed
  static constexpr double pi = 3.1415926535;
};

#endif
