// The reach of a picture: two widths left and right of it, two heights above
// and below, the same in every unit; and the shifts cut to stay within it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "PictureReach.h"

namespace {

TEST(PictureReach, ExtendsTwoWidthsAcrossAndTwoHeightsUpAndDown) {
  // A picture of 100 x 10 with its corner at (1000, 500).
  const PictureReach reach(100, 10, 1000, 500);
  EXPECT_DOUBLE_EQ(reach.left, 800);
  EXPECT_DOUBLE_EQ(reach.right, 1300);
  EXPECT_DOUBLE_EQ(reach.top, 480);
  EXPECT_DOUBLE_EQ(reach.bottom, 530);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double x, y;
    bool within;
  } places[] = {
      {800, 480, true},   {1300, 530, true},  {799, 500, false},  {1301, 500, false},
      {1000, 479, false}, {1000, 531, false}, {1000, 300, false},  // two widths up, beyond two heights
      {nan, 500, false},  {1000, nan, false},
  };
  for (const auto& p : places) EXPECT_EQ(reach.contains(p.x, p.y), p.within) << p.x << ", " << p.y;
  // A radius is bounded by the narrower extent, 5 heights here.
  EXPECT_DOUBLE_EQ(reach.largestRadius(), 50);
  EXPECT_TRUE(reach.spans(50));
  EXPECT_TRUE(reach.spans(-50));
  EXPECT_FALSE(reach.spans(51));
  EXPECT_FALSE(reach.spans(nan));
  // In fractions of the picture, the reach of any picture is that of 1 x 1.
  const PictureReach inFractions(1, 1);
  EXPECT_DOUBLE_EQ(inFractions.left, -2);
  EXPECT_DOUBLE_EQ(inFractions.right, 3);
  EXPECT_DOUBLE_EQ(inFractions.top, -2);
  EXPECT_DOUBLE_EQ(inFractions.bottom, 3);
}

TEST(PictureReach, AShiftIsCutToKeepEveryPositionWithin) {
  const PictureReach reach(1, 1);  // [-2, 3] on both axes
  const struct {
    const char* what;
    double minX, maxX, minY, maxY;
    double dx, dy;
    double cutX, cutY;
  } cases[] = {
      {"within", 0.2, 0.8, 0.4, 0.6, 1, -1, 1, -1},
      {"far right and up", 0.2, 0.8, 0.4, 0.6, 10, -10, 2.2, -2.4},
      {"far left and down", 0.2, 0.8, 0.4, 0.6, -10, 10, -2.2, 2.4},
      {"already at the edge", -2, 0, 0, 3, -1, 1, 0, 0},
      {"beyond the edge: back in", -2.5, -2.5, 0.5, 0.5, 1, 0, 1, 0},
      {"beyond the edge: not further out", -2.5, -2.5, 0.5, 0.5, -1, 0, 0, 0},
      {"wider than the reach", -2.5, 3.5, 0.5, 0.5, 1, 0, 0, 0},
      {"no positions", std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
       std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), 100, -100, 100, -100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MovedPositions positions;
    if (c.minX <= c.maxX) {
      positions.add(c.minX, c.minY);
      positions.add(c.maxX, c.maxY);
    }
    double dx = c.dx, dy = c.dy;
    reach.limitShift(positions, dx, dy);
    EXPECT_NEAR(dx, c.cutX, 1e-12);
    EXPECT_NEAR(dy, c.cutY, 1e-12);
  }
}

}  // namespace
