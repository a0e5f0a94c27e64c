// The integer convex hull: hand-made cases for the pivot, collinear points
// and degenerate inputs, and random point sets against cv::convexHull.
#include <gtest/gtest.h>

#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "convexHull.h"

namespace {

using Points = std::vector<std::pair<int, int>>;

// The stack from bottom to top.
Points bottomToTop(std::stack<hull::Point> s) {
  Points out;
  for (; !s.empty(); s.pop()) out.emplace_back(s.top().x, s.top().y);
  std::reverse(out.begin(), out.end());
  return out;
}

std::vector<hull::Point> hullPoints(const Points& p) {
  std::vector<hull::Point> out;
  for (const auto& [x, y] : p) out.push_back({x, y});
  return out;
}

TEST(ConvexHull, Cases) {
  struct Case {
    const char* name;
    Points input;
    Points expected;  // bottom to top
  };
  const std::vector<Case> cases = {
      {"square with centre", {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 2}}, {{0, 0}, {4, 0}, {4, 4}, {0, 4}}},
      {"three collinear points", {{0, 0}, {1, 1}, {2, 2}}, {}},
      {"point on the base", {{0, 0}, {2, 0}, {1, 0}, {1, 2}}, {{0, 0}, {2, 0}, {1, 2}}},
      {"pivot is the leftmost of the lowest", {{5, 1}, {3, 1}, {9, 1}, {6, 7}}, {{3, 1}, {9, 1}, {6, 7}}},
      {"points on every side",
       {{0, 0}, {2, 0}, {4, 0}, {4, 2}, {4, 4}, {2, 4}, {0, 4}, {0, 2}},
       {{0, 0}, {4, 0}, {4, 4}, {0, 4}}},
      {"duplicates", {{1, 1}, {1, 1}, {5, 1}, {5, 1}, {3, 6}, {3, 6}}, {{1, 1}, {5, 1}, {3, 6}}},
      {"all equal", {{2, 2}, {2, 2}, {2, 2}}, {}},
      {"two points", {{0, 0}, {3, 3}}, {}},
      {"empty", {}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bottomToTop(hull::convexHull(hullPoints(c.input))), c.expected) << c.name;
  }
}

TEST(ConvexHull, AgreesWithOpenCvOnRandomPointSets) {
  std::mt19937 random(2024);
  for (int trial = 0; trial < 300; trial++) {
    std::uniform_int_distribution<int> count(3, 60), span(2, trial % 2 ? 20 : 2000);
    const int range = span(random);
    std::uniform_int_distribution<int> coordinate(-range, range);
    std::vector<cv::Point> points(count(random));
    for (cv::Point& p : points) p = {coordinate(random), coordinate(random)};

    std::vector<cv::Point> reference;
    cv::convexHull(points, reference);  // vertices only, collinear ones dropped
    std::vector<hull::Point> input;
    for (const cv::Point& p : points) input.push_back({p.x, p.y});
    Points ours = bottomToTop(hull::convexHull(input));

    Points expected;
    for (const cv::Point& p : reference) expected.emplace_back(p.x, p.y);
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    if (expected.size() < 3) expected.clear();  // all points on one line: no hull
    Points sortedOurs = ours;
    std::sort(sortedOurs.begin(), sortedOurs.end());
    ASSERT_EQ(sortedOurs, expected) << "trial " << trial;

    if (ours.empty()) continue;
    // Every turn along the hull goes the same way.
    for (size_t i = 0; i < ours.size(); i++) {
      const auto& [ax, ay] = ours[i];
      const auto& [bx, by] = ours[(i + 1) % ours.size()];
      const auto& [cx, cy] = ours[(i + 2) % ours.size()];
      EXPECT_EQ(hull::orientation({ax, ay}, {bx, by}, {cx, cy}), 2) << "trial " << trial;
    }
  }
}

}  // namespace
