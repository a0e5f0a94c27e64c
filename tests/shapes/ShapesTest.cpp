// Point, circle, line, arc and angle: hit tests, moves, measures and boxes.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "Angle.h"
#include "Line.h"
#include "arcShape.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

namespace {

pointShape* newPoint(double x, double y) { return new pointShape(x, y, 0, true, false, false, false, 0, 0, 0); }
circleShape newCircle(double radius, double x, double y) {
  return circleShape(radius, x, y, 1, true, false, false, false, 0, 0, 0);
}
Line newLine(double x1, double y1, double x2, double y2) {
  return Line(x1, y1, x2, y2, 1, true, false, false, false, 0, 0, 0);
}
std::unique_ptr<Angle> rightAngle() {
  // First arm point, vertex, second arm point.
  return std::make_unique<Angle>(newPoint(0.2, 0.1), newPoint(0.1, 0.1), newPoint(0.1, 0.2), 1, true, false, false,
                                 false, 0, 0, 0);
}

struct HitCase {
  const char* what;
  double x;
  double y;
  bool hit;
};

TEST(ShapeConstruction, KindNameAndUnknownPosition) {
  pointShape point(0.1, 0.2, 1, true, false, false, false, 0, 0, 0);
  circleShape circle = newCircle(5, 0.1, 0.2);
  Line line = newLine(0, 0, 1, 1);
  arcShape arc(1, true, false, false, false, 0, 0, 0);
  regionShape region(1, true, false, false, false, 0, 0, 0);
  auto angle = rightAngle();
  const struct {
    baseShape* shape;
    SHAPE kind;
    const char* name;
  } cases[] = {{&point, POINT, ""},          {&circle, CIRCLE, ""},
               {&line, LINE, ""},            {&arc, ARC, "Default name"},
               {&region, REGION, "Default name"}, {angle.get(), ANGLE, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.shape->getTypeShape(), c.kind);
    EXPECT_EQ(c.shape->getName(), c.name) << c.kind;
    EXPECT_EQ(c.shape->getSmallerCell(), 0);
  }
  // Shapes without a position of their own answer the "unknown" -1, and an
  // arc is never hit: defined answers, not garbage.
  EXPECT_EQ(arc.getX(), -1);
  EXPECT_EQ(arc.getY(), -1);
  EXPECT_EQ(angle->getX(), -1);
  EXPECT_EQ(region.getX(), -1);
  arc.addLinePoint(0.5, 0.5);
  arc.addLinePoint(0.6, 0.5);
  EXPECT_FALSE(arc.inside(500, 500, 1000, 1000));
}

TEST(ShapeHitTest, PointCircleLineAngle) {
  pointShape point(0.5, 0.5, 1, true, false, false, false, 0, 0, 0);
  for (const HitCase& c : std::vector<HitCase>{{"just inside the square", 519.9, 419.9, true},
                                               {"on the square's edge", 520, 400, false},
                                               {"left edge inside", 480.1, 380.1, true}})
    EXPECT_EQ(point.inside(c.x, c.y, 1000, 800), c.hit) << c.what;

  // Radius 50 around (500, 400): the bounding square counts, not the disc.
  circleShape circle = newCircle(50, 0.5, 0.5);
  for (const HitCase& c : std::vector<HitCase>{{"corner of the square", 549.9, 449.9, true},
                                               {"on the square's edge", 550, 400, false},
                                               {"centre", 500, 400, true}})
    EXPECT_EQ(circle.inside(c.x, c.y, 1000, 800), c.hit) << c.what;

  // From (100, 100) to (300, 100) on a 1000 x 1000 image.
  Line line = newLine(0.1, 0.1, 0.3, 0.1);
  for (const HitCase& c : std::vector<HitCase>{{"over the middle", 200, 109.9, true},
                                               {"10 pixels off", 200, 110, false},
                                               {"beyond the end, near", 309, 100, true},
                                               {"beyond the end, far", 311, 100, false},
                                               {"before the start", 91, 100, true}})
    EXPECT_EQ(line.inside(c.x, c.y, 1000, 1000), c.hit) << c.what;

  Line dot = newLine(0.1, 0.1, 0.1, 0.1);
  EXPECT_TRUE(dot.inside(106, 106, 1000, 1000));
  EXPECT_FALSE(dot.inside(108, 108, 1000, 1000));

  auto angle = rightAngle();
  EXPECT_TRUE(angle->inside(12, 12, 100, 100));
  EXPECT_FALSE(angle->inside(19, 19, 100, 100));
}

// The positions a move shifts, for every kind of shape.
std::vector<std::pair<double, double>> positionsOf(baseShape& shape) {
  std::vector<std::pair<double, double>> positions;
  auto addAll = [&positions](const std::vector<pointShape*>& points) {
    for (pointShape* point : points) positions.emplace_back(point->getX(), point->getY());
  };
  if (auto* region = dynamic_cast<regionShape*>(&shape)) {
    addAll(region->getLinePoints());
  } else if (auto* arc = dynamic_cast<arcShape*>(&shape)) {
    addAll(arc->getLinePoints());
  } else if (auto* angle = dynamic_cast<Angle*>(&shape)) {
    addAll(angle->getPoints());
  } else if (auto* line = dynamic_cast<Line*>(&shape)) {
    const std::vector<double> ends = line->getCoordinates();
    positions = {{ends[0], ends[1]}, {ends[2], ends[3]}};
  } else {
    positions.emplace_back(shape.getX(), shape.getY());
  }
  return positions;
}

// A move shifts every position of a shape by the same amount, cut as a whole
// where the first of them meets the picture's edge (a circle's centre: the
// reach's), so the shape keeps its form; a shape already partly beyond an
// edge may come back, never go further out.
TEST(ShapeMove, KeepsTheShapesFormAndStopsWhereItsFirstPositionMeetsTheEdge) {
  auto region = std::make_unique<regionShape>(1, true, false, false, false, 0, 0, 0);
  for (const auto& [x, y] : {std::pair{0.1, 0.2}, {0.3, 0.1}, {0.4, 0.4}, {0.15, 0.35}}) region->addLinePoint(x, y);
  auto arc = std::make_unique<arcShape>(1, true, false, false, false, 0, 0, 0);
  arc->addLinePoint(0.95, 0.5);
  arc->addLinePoint(0.5, 0.05);
  auto line = std::make_unique<Line>(newLine(0.6, 0.5, 0.9, 0.5));
  auto circle = std::make_unique<circleShape>(newCircle(10, 0.5, 0.5));
  const std::unique_ptr<Angle> angle = rightAngle();
  const std::unique_ptr<pointShape> point(newPoint(0.5, 0.5));
  const struct Case {
    const char* what;
    baseShape* shape;
    double dx, dy;
    double cutX, cutY;  // the shift every position gets
  } cases[] = {
      {"region far left and up", region.get(), -5, -5, -0.1, -0.1},
      {"then far right and down", region.get(), 5, 5, 0.7, 0.7},
      {"arc right and up", arc.get(), 0.1, -0.1, 0.05, -0.05},
      {"line right: its length stays", line.get(), 0.2, 0, 0.1, 0},
      {"angle right", angle.get(), 0.9, 0, 0.8, 0},
      {"point", point.get(), 0.7, -0.7, 0.5, -0.5},
      {"circle: the centre stays within the reach", circle.get(), 5, -0.7, 2.5, -0.7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto before = positionsOf(*c.shape);
    c.shape->move(c.dx, c.dy);
    const auto after = positionsOf(*c.shape);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
      EXPECT_NEAR(after[i].first - before[i].first, c.cutX, 1e-12);
      EXPECT_NEAR(after[i].second - before[i].second, c.cutY, 1e-12);
    }
  }
  EXPECT_EQ(arc->getX(), -1);

  // Partly beyond the left edge (a file may hold it there): back in, not out.
  Line across = newLine(-0.2, 0.5, 0.3, 0.5);
  across.move(-0.1, 0);
  EXPECT_EQ(across.getCoordinates(), (std::vector<double>{-0.2, 0.5, 0.3, 0.5}));
  across.move(0.1, 0);
  EXPECT_NEAR(across.getCoordinates()[0], -0.1, 1e-12);
  EXPECT_NEAR(across.getCoordinates()[2], 0.4, 1e-12);
  EXPECT_NEAR(across.getDiameter(1000, 1000), 500, 1e-9);
}

TEST(ShapeMeasures, AreaDiameterAndBox) {
  circleShape circle = newCircle(10, 0.5, 0.5);
  EXPECT_EQ(circle.getArea(1000, 800), 314);
  EXPECT_EQ(circle.getDiameter(1000, 800), 20);
  EXPECT_EQ(circle.getRectangle(1000, 800), (std::vector<int>{490, 510, 390, 410}));

  Line line = newLine(0.1, 0.1, 0.4, 0.5);  // 300 by 400 pixels
  EXPECT_DOUBLE_EQ(line.getDiameter(1000, 1000), 500);
  EXPECT_EQ(line.getArea(1000, 1000), 0);
  EXPECT_TRUE(line.getRectangle(1000, 1000).empty());
  EXPECT_EQ(newLine(0.1, 0.2, 0.3, 0.4).getCoordinates(), (std::vector<double>{0.1, 0.2, 0.3, 0.4}));

  arcShape arc(1, true, false, false, false, 0, 0, 0);
  arc.addLinePoint(0.1, 0.1);
  EXPECT_TRUE(arc.getRectangle(1000, 1000).empty());
  EXPECT_EQ(arc.getDiameter(1000, 1000), 0);

  // The box is cached whatever size later calls pass, until a move.
  pointShape point(0.25, 0.5, 1, true, false, false, false, 0, 0, 0);
  EXPECT_EQ(point.getRectangle(1000, 800), (std::vector<int>{250, 250, 400, 400}));
  EXPECT_EQ(point.getRectangle(10, 10), (std::vector<int>{250, 250, 400, 400}));
  point.move(0.25, 0);
  EXPECT_EQ(point.getRectangle(1000, 800), (std::vector<int>{500, 500, 400, 400}));
}

TEST(ShapeMeasures, HugeValuesSaturateInsteadOfOverflowing) {
  // Values such as these can arrive from a damaged file.
  circleShape circle = newCircle(1e300, 1e300, 0.5);
  EXPECT_EQ(circle.getSize(), std::numeric_limits<int>::max());
  EXPECT_EQ(circle.getRectangle(1000, 1000)[1], std::numeric_limits<int>::max());
}

TEST(ArcShape, EmptyArcHasNoEndPoints) {
  arcShape arc(1, true, false, false, false, 0, 0, 0);
  EXPECT_EQ(arc.getInicialPoint(), nullptr);
  EXPECT_EQ(arc.getFinalPoint(), nullptr);
  arc.addLinePoint(0.1, 0.2);
  arc.addLinePoint(0.3, 0.4);
  EXPECT_EQ(arc.getInicialPoint()->getX(), 0.1);
  EXPECT_EQ(arc.getFinalPoint()->getY(), 0.4);
}

TEST(AngleShape, PlacingAndDragging) {
  auto angle = std::make_unique<Angle>(newPoint(0, 0), newPoint(0, 0), newPoint(0, 0), 1, true, false, false, false,
                                       0, 0, 0);
  angle->addPoint(0.1, 0.2, 0);
  angle->addPoint(0.3, 0.4, 0);
  angle->addPoint(0.5, 0.6, 0);
  angle->addPoint(0.9, 0.9, 0);  // all three placed: nothing changes
  EXPECT_EQ(angle->pointsUpdatedAngle(), 3);
  EXPECT_EQ(angle->getp1()->getX(), 0.1);
  EXPECT_EQ(angle->getVertex()->getX(), 0.3);
  EXPECT_EQ(angle->getp3()->getY(), 0.6);

  angle->addPoint(0.4, 0.4, 2);
  angle->addPoint(0.7, 0.7, 4);  // no such point
  EXPECT_EQ(angle->pointsUpdatedAngle(), 3);
  EXPECT_EQ(angle->getVertex()->getX(), 0.4);
  EXPECT_EQ(angle->getp3()->getX(), 0.5);

  const std::vector<pointShape*> path = angle->getPoints();
  ASSERT_EQ(path.size(), 4u);
  EXPECT_EQ(path.front(), path.back());
}

TEST(AngleShape, MeasuredAngleAndExtent) {
  auto angle = rightAngle();
  EXPECT_NEAR(angle->getAngle(100, 100), 90.0000001, 1e-7);
  EXPECT_TRUE(angle->isAngle());
  auto swapped = std::make_unique<Angle>(newPoint(0.1, 0.2), newPoint(0.1, 0.1), newPoint(0.2, 0.1), 1, true, false,
                                         false, false, 0, 0, 0);
  EXPECT_NEAR(swapped->getAngle(100, 100), -90.0000001, 1e-7);
  EXPECT_EQ(angle->getMax().getX(), 0.2);
  EXPECT_EQ(angle->getMin().getY(), 0.1);
  angle->getp3()->setX(0.1);
  angle->getp3()->setY(0.1);
  EXPECT_FALSE(angle->isAngle());
  // An angle has no measure of its own.
  EXPECT_EQ(angle->getArea(100, 100), 0);
  EXPECT_TRUE(angle->getRectangle(100, 100).empty());
}

}  // namespace
