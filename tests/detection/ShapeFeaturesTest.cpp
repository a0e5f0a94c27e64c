// Shape features against OpenCV's moments of the same outline.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <opencv2/imgproc.hpp>

#include "ShapeFeatures.h"
#include "regionShape.h"

namespace {

std::unique_ptr<regionShape> region(const std::vector<cv::Point2d>& fractions) {
  auto r = std::make_unique<regionShape>(0, true, false, false, false, 0, 0, 0);
  for (const cv::Point2d& p : fractions) r->addLinePoint(p.x, p.y);
  return r;
}

TEST(ShapeFeatures, MomentsAndHuInvariantsAreOpenCvsOnTheFractionOutline) {
  auto shape = region({{0.1, 0.2}, {0.6, 0.15}, {0.7, 0.5}, {0.4, 0.8}, {0.15, 0.6}});
  std::vector<cv::Point2f> outline;
  for (pointShape* p : shape->getLinePoints()) outline.emplace_back(p->getX(), p->getY());
  const cv::Moments m = cv::moments(outline, false);
  double h[7];
  cv::HuMoments(m, h);

  ShapeFeatures features;
  features.setShape(shape.get());
  const std::vector<double> expectedMoments = {m.nu20, m.nu11, m.nu02, m.nu30, m.nu21, m.nu12, m.nu03};
  EXPECT_EQ(features.getStatisticalMoments(), expectedMoments);
  const std::vector<double> hu = features.getHuMoments();
  ASSERT_EQ(hu.size(), 7u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(hu[i], h[i]);
  EXPECT_EQ(hu[6], std::fabs(h[6]));
  EXPECT_DOUBLE_EQ(features.getEccentricity(),
                   ((m.nu20 - m.nu02) * (m.nu20 - m.nu02) - 4 * m.nu11 * m.nu11) / std::pow(m.nu20 + m.nu02, 2));
  EXPECT_TRUE(features.getFourierDescriptors().empty());
}

TEST(ShapeFeatures, KnownShapes) {
  // A square: Hu1 = 1/6, Hu2 = 0, roundness 4/pi at any scale.
  for (double side : {0.01, 0.5}) {
    auto square = region({{0.1, 0.1}, {0.1 + side, 0.1}, {0.1 + side, 0.1 + side}, {0.1, 0.1 + side}});
    ShapeFeatures features;
    features.setShape(square.get());
    EXPECT_NEAR(features.getHuMoments()[0], 1.0 / 6, 1e-6);
    EXPECT_NEAR(features.getHuMoments()[1], 0, 1e-9);
    EXPECT_NEAR(features.getRoundness(), 4 / M_PI, 1e-9);
    EXPECT_NEAR(features.getEccentricity(), 0, 1e-9);
  }
}

TEST(ShapeFeatures, CacheFollowsTheShape) {
  auto wide = region({{0.1, 0.1}, {0.9, 0.1}, {0.9, 0.2}, {0.1, 0.2}});
  auto square = region({{0.1, 0.1}, {0.3, 0.1}, {0.3, 0.3}, {0.1, 0.3}});
  ShapeFeatures features;
  features.setShape(wide.get());
  const std::vector<double> first = features.getHuMoments();
  // The outline changes under the cache: the cached values stay...
  wide->getLinePoints()[1]->setX(0.3);
  EXPECT_EQ(features.getHuMoments(), first);
  // ... until another shape is set.
  features.setShape(square.get());
  EXPECT_NEAR(features.getHuMoments()[0], 1.0 / 6, 1e-6);
}

TEST(ShapeFeatures, AnOutlineWithoutAreaGivesZeros) {
  auto line = region({{0.1, 0.1}, {0.5, 0.5}, {0.9, 0.9}});
  ShapeFeatures features;
  features.setShape(line.get());
  EXPECT_EQ(features.getRoundness(), 0);
  EXPECT_EQ(features.getEccentricity(), 0);
  ShapeFeatures none;
  EXPECT_EQ(none.getRoundness(), 0);
  EXPECT_TRUE(RegionToPointCV(nullptr).empty());
}

}  // namespace
