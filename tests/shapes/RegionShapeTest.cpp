// Region: area, diameter, centroid, box, inside test and their caches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <opencv2/imgproc.hpp>
#include <random>
#include <vector>

#include "pointShape.h"
#include "regionShape.h"

namespace {

std::unique_ptr<regionShape> region(const std::vector<std::pair<double, double>>& vertices) {
  auto r = std::make_unique<regionShape>(1, true, false, false, false, 0, 0, 0);
  for (const auto& [x, y] : vertices) r->addLinePoint(x, y);
  return r;
}

const std::vector<std::pair<double, double>> square = {{0.1, 0.1}, {0.2, 0.1}, {0.2, 0.2}, {0.1, 0.2}};

TEST(RegionShape, SquareMeasuresInEitherOrientation) {
  for (bool reversed : {false, true}) {
    auto vertices = square;
    if (reversed) std::reverse(vertices.begin(), vertices.end());
    auto r = region(vertices);
    EXPECT_NEAR(r->getArea(1000, 1000), 10000, 1e-6);
    EXPECT_NEAR(r->getDiameter(1000, 1000), 112.8379, 1e-4);
    EXPECT_EQ(r->getRectangle(1000, 1000), (std::vector<int>{100, 200, 100, 200}));
    EXPECT_NEAR(r->getX(), 0.15, 1e-12);
    EXPECT_TRUE(r->inside(150, 150, 1000, 1000));
    EXPECT_FALSE(r->inside(250, 150, 1000, 1000));
    EXPECT_TRUE(r->insideAbsoluteCoordinates(0.15, 0.15));
    EXPECT_FALSE(r->insideAbsoluteCoordinates(0.25, 0.15));
  }
}

TEST(RegionShape, CachesSurviveSizeChangesAndMovesButCentroidAndBoxFollow) {
  auto r = region(square);
  EXPECT_NEAR(r->getArea(1000, 1000), 10000, 1e-6);
  EXPECT_NEAR(r->getArea(500, 500), 10000, 1e-6);
  r->getRectangle(1000, 1000);
  r->move(0.05, 0);
  EXPECT_NEAR(r->getX(), 0.2, 1e-12);
  EXPECT_EQ(r->getRectangle(1000, 1000), (std::vector<int>{150, 250, 100, 200}));
  r->move(0.85, 0);  // cut where the right-hand side meets the edge
  EXPECT_EQ(r->getLinePoints()[1]->getX(), 1);
  EXPECT_NEAR(r->getLinePoints()[0]->getX(), 0.9, 1e-12);
  EXPECT_NEAR(r->getArea(1000, 1000), 10000, 1e-6);
  EXPECT_NEAR(r->outlineArea(1000, 1000), 10000, 1e-6);
}

TEST(RegionShape, DegenerateOutlinesMeasureZero) {
  auto empty = region({});
  EXPECT_EQ(empty->getArea(1000, 1000), 0);
  EXPECT_EQ(empty->getDiameter(1000, 1000), 0);
  EXPECT_EQ(empty->getX(), -1);
  EXPECT_EQ(empty->getY(), -1);
  EXPECT_FALSE(empty->inside(0, 0, 1000, 1000));
  EXPECT_EQ(empty->getRectangle(1000, 1000), (std::vector<int>{10000000, -1, 10000000, -1}));
  EXPECT_EQ(empty->getMax().getX(), 0);
  EXPECT_EQ(empty->getMin().getX(), 1000000);
  EXPECT_EQ(empty->getMin().getY(), 100000);

  auto single = region({{0.3, 0.4}});
  EXPECT_EQ(single->getArea(1000, 1000), 0);
  EXPECT_EQ(single->getDiameter(1000, 1000), 0);
  EXPECT_DOUBLE_EQ(single->getX(), 0.3);

  // A zero area is computed again, so vertices added later count.
  single->addLinePoint(0.4, 0.4);
  single->addLinePoint(0.4, 0.5);
  EXPECT_NEAR(single->getArea(1000, 1000), 5000, 1e-6);
}

TEST(RegionShape, InteriorPoints) {
  auto r = region(square);
  for (bool visible : {true, false, true})
    r->addPoint(new pointShape(0.15, 0.15, 0, visible, false, false, false, 0, 0, 0));
  EXPECT_EQ(r->getTotalNumberOfPointsInside(), 2);
  EXPECT_EQ(r->getNumberPointsInside(), 2);
  EXPECT_EQ(r->getPoints().size(), 3u);
  r->move(0.1, 0.1);  // the interior points stay where they are
  EXPECT_EQ(r->getPoints()[0]->getX(), 0.15);
  r->clearPoints();
  EXPECT_EQ(r->getTotalNumberOfPointsInside(), 0);
}

// Random star-shaped polygons (simple, any orientation) on images of
// several sizes: the area agrees with OpenCV's, and so does the inside test
// for positions away from the outline.
TEST(RegionShape, AgreesWithOpenCvOnRandomPolygons) {
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 200; ++trial) {
    const int width = 200 + static_cast<int>(unit(random) * 3000);
    const int height = 200 + static_cast<int>(unit(random) * 3000);
    const int n = 3 + static_cast<int>(unit(random) * 60);
    const double cx = 0.3 + 0.4 * unit(random);
    const double cy = 0.3 + 0.4 * unit(random);
    auto r = std::make_unique<regionShape>(1, true, false, false, false, 0, 0, 0);
    std::vector<cv::Point> contour;  // whole pixels, so OpenCV sees the same polygon
    for (int i = 0; i < n; ++i) {
      const double angle = (trial % 2 ? -1 : 1) * 2 * M_PI * (i + 0.8 * unit(random)) / n;
      const double radius = 0.05 + 0.25 * unit(random);
      const cv::Point pixel(static_cast<int>(width * (cx + radius * std::cos(angle))),
                            static_cast<int>(height * (cy + radius * std::sin(angle))));
      r->addLinePoint(static_cast<double>(pixel.x) / width, static_cast<double>(pixel.y) / height);
      contour.push_back(pixel);
    }
    const double expected = cv::contourArea(contour);
    EXPECT_NEAR(r->getArea(width, height), expected, expected * 1e-9) << "trial " << trial;
    for (int probe = 0; probe < 20; ++probe) {
      const cv::Point2f at(static_cast<float>(unit(random) * width), static_cast<float>(unit(random) * height));
      const double distance = cv::pointPolygonTest(contour, at, true);
      if (std::fabs(distance) < 1e-2) continue;
      EXPECT_EQ(r->inside(at.x, at.y, width, height), distance > 0) << "trial " << trial;
    }
  }
}

}  // namespace
