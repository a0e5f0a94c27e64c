// The filled box: corner layout, the strict inside test, moves that stop at
// the image's edges, and filling in the view transform.
#include <gtest/gtest.h>

#include <memory>

#include "Rectangle.h"
#include "SurfaceProbe.h"

namespace {

std::unique_ptr<Rectangle> box(double x0, double y0, double x1, double y1) {
  auto rectangle = std::make_unique<Rectangle>(400, 400, rgba(0.4, 1, 0.4, 0.6), 2);
  rectangle->setPoints(x0, y0, x1, y1);
  return rectangle;
}

struct Corner {
  double x;
  double y;
};

void expectCorners(const Rectangle& rectangle, const std::vector<Corner>& expected) {
  const auto& points = rectangle.getPoints();
  ASSERT_EQ(points.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_DOUBLE_EQ(points[i]->getX(), expected[i].x) << "corner " << i;
    EXPECT_DOUBLE_EQ(points[i]->getY(), expected[i].y) << "corner " << i;
  }
}

}  // namespace

TEST(RectangleTest, CornersRunFromTheFirstGivenCornerRoundTheBox) {
  Rectangle fresh(400, 400, rgba(0, 0, 0, 1), 2);
  expectCorners(fresh, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
  expectCorners(*box(0.7, 0.2, 0.1, 0.6), {{0.7, 0.2}, {0.1, 0.2}, {0.1, 0.6}, {0.7, 0.6}});
}

TEST(RectangleTest, InsideIsStrictWhateverTheOrderOfTheCorners) {
  struct Probe {
    double x;
    double y;
    bool inside;
  };
  const Probe probes[] = {
      {0.5, 0.5, true},  {0.21, 0.31, true}, {0.79, 0.69, true},                     // interior
      {0.2, 0.5, false}, {0.8, 0.5, false},  {0.5, 0.3, false},  {0.5, 0.7, false},  // edges
      {0.2, 0.3, false}, {0.1, 0.5, false},  {0.5, 0.9, false},                      // corner, outside
  };
  const Corner orders[][2] = {
      {{0.2, 0.3}, {0.8, 0.7}}, {{0.8, 0.7}, {0.2, 0.3}}, {{0.8, 0.3}, {0.2, 0.7}}, {{0.2, 0.7}, {0.8, 0.3}}};
  for (const auto& corners : orders) {
    SCOPED_TRACE("corners given from (" + std::to_string(corners[0].x) + ", " + std::to_string(corners[0].y) + ")");
    const auto rectangle = box(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    for (const Probe& p : probes) EXPECT_EQ(rectangle->inside(p.x, p.y), p.inside) << "(" << p.x << ", " << p.y << ")";
  }
}

TEST(RectangleTest, MoveKeepsTheSizeAndStopsAtTheImageEdges) {
  struct Case {
    const char* name;
    Corner from0, from2;
    double dx, dy;
    Corner to0, to2;
  };
  const Case cases[] = {
      {"inside", {0.2, 0.2}, {0.4, 0.5}, 0.1, 0.2, {0.3, 0.4}, {0.5, 0.7}},
      {"left edge, further left", {0, 0.2}, {0.3, 0.5}, -0.1, 0, {0, 0.2}, {0.3, 0.5}},
      {"past the top", {0.2, 0.1}, {0.4, 0.3}, 0, -0.5, {0.2, 0}, {0.4, 0.2}},
      {"past the right edge", {0.5, 0.2}, {0.75, 0.5}, 0.5, 0, {0.75, 0.2}, {1, 0.5}},
      {"past the bottom", {0.2, 0.5}, {0.4, 0.75}, 0, 0.5, {0.2, 0.75}, {0.4, 1}},
      {"wider than the image", {0, 0}, {1.5, 0.5}, 0.1, 0, {-0.5, 0}, {1, 0.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto rectangle = box(c.from0.x, c.from0.y, c.from2.x, c.from2.y);
    rectangle->move(c.dx, c.dy);
    expectCorners(*rectangle, {{c.to0.x, c.to0.y}, {c.to2.x, c.to0.y}, {c.to2.x, c.to2.y}, {c.to0.x, c.to2.y}});
  }
}

TEST(RectangleTest, DrawFillsTheBoxInTheViewTransform) {
  // On a 400 x 400 image at scale 0.5 with offsets (50, 20), the box from
  // (0.25, 0.25) to (0.75, 0.5) covers window x 100..200 and y 70..120.
  const Gdk::RGBA colour = rgba(0.4, 1, 0.4, 0.6);
  Rectangle rectangle(400, 400, rgba(0, 0, 0, 1), 2);
  rectangle.setColor(colour);
  rectangle.setPoints(0.25, 0.25, 0.75, 0.5);
  SurfaceProbe probe(300, 200);
  rectangle.draw(probe.context(), 0.5, 50, 20);

  EXPECT_TRUE(showsColour(probe, 101, 71, colour));
  EXPECT_TRUE(showsColour(probe, 198, 118, colour));
  EXPECT_TRUE(isBlank(probe, 99, 90));
  EXPECT_TRUE(isBlank(probe, 201, 90));
  EXPECT_TRUE(isBlank(probe, 150, 68));
  EXPECT_TRUE(isBlank(probe, 150, 121));

  // A new image size moves the box with it.
  rectangle.setImageDim(200, 200);
  SurfaceProbe smaller(300, 200);
  rectangle.draw(smaller.context(), 0.5, 50, 20);
  EXPECT_TRUE(showsColour(smaller, 76, 46, colour));
  EXPECT_TRUE(isBlank(smaller, 101, 71));
}
