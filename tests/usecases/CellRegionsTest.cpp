#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <vector>

#include "CellRegions.h"
#include "regionShape.h"

namespace {

constexpr int kSize = 1024;

int destroyed = 0;

// Counts its destructions, to check that the filter frees exactly what it drops.
class CountedRegion : public regionShape {
 public:
  CountedRegion(int id, int x0, int y0, int x1, int y1) : regionShape(id, true, false, false, false, 0, 0, 0) {
    const double s = kSize;
    addLinePoint(x0 / s, y0 / s);
    addLinePoint(x1 / s, y0 / s);
    addLinePoint(x1 / s, y1 / s);
    addLinePoint(x0 / s, y1 / s);
  }
  ~CountedRegion() override { ++destroyed; }
};

struct Square {
  int x0, y0, x1, y1;
};

std::vector<int> keptIds(const std::vector<Square>& squares, int mindim, int maxdim, int* freed) {
  std::vector<baseShape*> candidates;
  for (std::size_t i = 0; i < squares.size(); ++i) {
    const Square& s = squares[i];
    candidates.push_back(new CountedRegion(static_cast<int>(i) + 1, s.x0, s.y0, s.x1, s.y1));
  }
  destroyed = 0;
  const std::vector<baseShape*> kept = CellRegions::overlappingTest(candidates, mindim, maxdim, kSize, kSize);
  *freed = destroyed;
  std::vector<int> ids;
  for (baseShape* shape : kept) {
    ids.push_back(shape->getId());
    EXPECT_EQ(shape->getType(), 0);
    delete shape;
  }
  return ids;
}

TEST(CellRegionsTest, KeepsOneRegionPerCellAndFreesTheRest) {
  struct Case {
    const char* what;
    std::vector<Square> squares;
    int mindim, maxdim;
    std::vector<int> kept;
  };
  // A square of side 100 has a diameter of 112.8 pixels.
  const Case cases[] = {
      {"each holds the other's centre: the earlier stays", {{100, 100, 200, 200}, {105, 105, 205, 205}}, 5, 1000, {1}},
      {"only the later one holds the other's centre: it stays",
       {{130, 130, 150, 150}, {100, 100, 220, 220}},
       5,
       1000,
       {2}},
      {"near but neither centre inside: both stay", {{100, 100, 200, 200}, {210, 100, 310, 200}}, 5, 1000, {1, 2}},
      {"a chain of one-way containments: the last region holding the current one's centre stays",
       {{100, 100, 120, 120}, {100, 100, 160, 160}, {100, 100, 250, 250}},
       5,
       1000,
       {3}},
      {"diameter truncated to the minimum is refused", {{100, 100, 200, 200}}, 112, 1000, {}},
      {"just above the minimum", {{100, 100, 200, 200}}, 111, 1000, {1}},
      {"diameter truncated to the maximum is refused", {{100, 100, 200, 200}}, 5, 112, {}},
      {"just below the maximum", {{100, 100, 200, 200}}, 5, 113, {1}},
      {"no candidates", {}, 5, 1000, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int freed = 0;
    EXPECT_EQ(keptIds(c.squares, c.mindim, c.maxdim, &freed), c.kept);
    EXPECT_EQ(freed, static_cast<int>(c.squares.size() - c.kept.size()));
  }
}

TEST(CellRegionsTest, ContoursBecomeClosedRegionsNumberedFromOne) {
  const std::vector<std::vector<int>> xs{{10, 60, 60, 10}, {200, 260, 230}};
  const std::vector<std::vector<int>> ys{{20, 20, 50, 50}, {100, 100, 140}};
  const std::vector<baseShape*> regions = CellRegions::fromContours(xs, ys, 400, 300);
  ASSERT_EQ(regions.size(), 2u);
  for (std::size_t k = 0; k < regions.size(); ++k) {
    auto* region = dynamic_cast<regionShape*>(regions[k]);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->getId(), static_cast<int>(k) + 1);
    EXPECT_TRUE(region->getVisible());
    EXPECT_FALSE(region->getManual());
    const std::vector<pointShape*>& outline = region->getLinePoints();
    ASSERT_EQ(outline.size(), xs[k].size() + 1);
    EXPECT_DOUBLE_EQ(outline.back()->getX(), outline.front()->getX());
    EXPECT_DOUBLE_EQ(outline.back()->getY(), outline.front()->getY());
    std::vector<cv::Point> contour;
    for (std::size_t p = 0; p < xs[k].size(); ++p) contour.emplace_back(xs[k][p], ys[k][p]);
    EXPECT_NEAR(region->getArea(400, 300), cv::contourArea(contour), 1e-6);
  }
  for (baseShape* region : regions) delete region;
}

}  // namespace
