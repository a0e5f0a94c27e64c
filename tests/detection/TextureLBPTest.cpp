// LBP texture features against a direct re-computation, and their edge
// cases.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <numeric>
#include <opencv2/imgproc.hpp>

#include "ProgramProfile.h"
#include "TemporaryPicture.h"
#include "TextureLBP.h"
#include "regionShape.h"

namespace {

constexpr int green = 2;

class TextureLBPTest : public ::testing::Test {
 protected:
  void SetUp() override { ProgramProfile::select(ProgramProfile::cavitra()); }
};

// A colour picture whose green plane is `plane`.
cv::Mat withGreen(const cv::Mat& plane) {
  cv::Mat picture;
  cv::merge(std::vector<cv::Mat>{plane / 2, plane, 255 - plane}, picture);
  return picture;
}

std::unique_ptr<regionShape> polygon(const std::vector<cv::Point2d>& pixels, cv::Size size) {
  auto region = std::make_unique<regionShape>(0, true, false, false, false, 0, 0, 0);
  for (const cv::Point2d& p : pixels) region->addLinePoint(p.x / size.width, p.y / size.height);
  return region;
}

// The riu2 label of one pixel, sampled straight from the definition: exact
// bilinear weights, sample 0 below the centre, then clockwise on screen.
int referenceLabel(const cv::Mat& plane, int x, int y, int radius) {
  const int points = 8 * radius;
  const float centre = plane.at<unsigned char>(y, x);
  std::vector<int> bits(points);
  for (int p = 0; p < points; ++p) {
    const double dx = -radius * std::sin(2 * M_PI * p / points), dy = radius * std::cos(2 * M_PI * p / points);
    const double sx = x + dx, sy = y + dy;
    double value;
    if (std::fabs(dx - std::round(dx)) < 1e-9 && std::fabs(dy - std::round(dy)) < 1e-9) {
      value = plane.at<unsigned char>(static_cast<int>(std::round(sy)), static_cast<int>(std::round(sx)));
    } else {
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      const double fx = sx - x0, fy = sy - y0;
      value = (1 - fx) * (1 - fy) * plane.at<unsigned char>(y0, x0) + fx * (1 - fy) * plane.at<unsigned char>(y0, x0 + 1) +
              (1 - fx) * fy * plane.at<unsigned char>(y0 + 1, x0) + fx * fy * plane.at<unsigned char>(y0 + 1, x0 + 1);
    }
    const float v = static_cast<float>(value);
    bits[p] = v > centre || std::fabs(v - centre) < FLT_EPSILON;
  }
  int changes = 0;
  for (int p = 0; p < points; ++p) changes += bits[p] != bits[(p + 1) % points];
  return changes <= 2 ? std::accumulate(bits.begin(), bits.end(), 0) : points + 1;
}

std::vector<float> referenceFeatures(const cv::Mat& plane, regionShape& region) {
  const std::vector<int> box = region.getRectangle(plane.cols, plane.rows);
  std::vector<float> bins(54, 0);
  int counted = 0;
  for (int y = box[2] + 3; y < box[3] - 3; ++y)
    for (int x = box[0] + 3; x < box[1] - 3; ++x) {
      if (!region.inside(x, y, plane.cols, plane.rows)) continue;
      ++counted;
      bins[referenceLabel(plane, x, y, 1)] += 1;
      bins[10 + referenceLabel(plane, x, y, 2)] += 1;
      bins[28 + referenceLabel(plane, x, y, 3)] += 1;
    }
  for (float& b : bins) b /= counted;
  return bins;
}

float blockSum(const std::vector<float>& bins, int from, int to) {
  return std::accumulate(bins.begin() + from, bins.begin() + to, 0.0f);
}

TEST_F(TextureLBPTest, NoiseMatchesADirectRecomputation) {
  const cv::Size size(64, 48);
  cv::Mat plane(size, CV_8U);
  cv::RNG(5).fill(plane, cv::RNG::UNIFORM, 0, 256);
  const TemporaryPicture file(withGreen(plane), ".png");
  TextureLBP lbp(file.path(), green);
  auto region = polygon({{5, 4}, {58, 8}, {50, 44}, {12, 40}}, size);
  const std::vector<float> features = lbp.computelbp54(region.get());
  const std::vector<float> expected = referenceFeatures(plane, *region);
  ASSERT_EQ(features.size(), 54u);
  for (int i = 0; i < 54; ++i) EXPECT_FLOAT_EQ(features[i], expected[i]) << "bin " << i;
  EXPECT_FLOAT_EQ(blockSum(features, 0, 10), 1);
  EXPECT_FLOAT_EQ(blockSum(features, 10, 28), 1);
  EXPECT_FLOAT_EQ(blockSum(features, 28, 54), 1);
}

// Flat regions: with a grey level of 0 every sample ties; above 0 the
// rounded weights of the 22.5 and 67.5 degree samples of radius 2 sum just
// below 1, so those samples fall below the centre and radius 2 alternates.
TEST_F(TextureLBPTest, FlatRegionsFillTheBinsTheRoundedWeightsGive) {
  const std::vector<std::pair<int, std::vector<int>>> cases = {{0, {8, 26, 52}}, {1, {8, 27, 52}}, {200, {8, 27, 52}}};
  for (const auto& [level, ones] : cases) {
    const cv::Size size(40, 40);
    const TemporaryPicture file(withGreen(cv::Mat(size, CV_8U, cv::Scalar(level))), ".png");
    TextureLBP lbp;
    lbp.setImage(file.path(), green);
    auto region = polygon({{2, 2}, {37, 2}, {37, 37}, {2, 37}}, size);
    const std::vector<float> features = lbp.computelbp54(region.get());
    for (int i = 0; i < 54; ++i) {
      const bool one = std::find(ones.begin(), ones.end(), i) != ones.end();
      EXPECT_FLOAT_EQ(features[i], one ? 1.0f : 0.0f) << "level " << level << ", bin " << i;
    }
  }
}

TEST_F(TextureLBPTest, NothingToMeasureGivesZeros) {
  const cv::Size size(60, 60);
  const TemporaryPicture file(withGreen(cv::Mat(size, CV_8U, cv::Scalar(9))), ".png");
  TextureLBP lbp(file.path(), green);
  TextureLBP empty;
  auto square = polygon({{5, 5}, {50, 5}, {50, 50}, {5, 50}}, size);
  // Bounding box 6 pixels wide: nothing lies 3 pixels inside it.
  auto narrow = polygon({{10, 5}, {16, 5}, {16, 50}, {10, 50}}, size);
  // A sliver along the diagonal: a large box without a scanned pixel inside.
  auto sliver = polygon({{5.5, 5.2}, {50.5, 50.2}, {50.7, 50.2}}, size);
  const std::vector<std::pair<std::string, std::vector<float>>> cases = {
      {"null region", lbp.computelbp54(nullptr)},
      {"narrow box", lbp.computelbp54(narrow.get())},
      {"no counted pixel", lbp.computelbp54(sliver.get())},
      {"no image", empty.computelbp54(square.get())},
  };
  for (const auto& [name, features] : cases) {
    ASSERT_EQ(features.size(), 54u) << name;
    for (float f : features) ASSERT_EQ(f, 0.0f) << name;
  }
}

TEST_F(TextureLBPTest, AFailedLoadLeavesNoImage) {
  const cv::Size size(30, 30);
  const TemporaryPicture file(withGreen(cv::Mat(size, CV_8U, cv::Scalar(9))), ".png");
  TextureLBP lbp(file.path(), green);
  ASSERT_TRUE(lbp.hasImage());
  EXPECT_THROW(lbp.setImage("/no/such/picture.png", green), int);
  EXPECT_FALSE(lbp.hasImage());
  auto region = polygon({{2, 2}, {27, 2}, {27, 27}, {2, 27}}, size);
  for (float f : lbp.computelbp54(region.get())) EXPECT_EQ(f, 0.0f);
  // And the object can be used again.
  lbp.setImage(file.path(), green);
  EXPECT_FLOAT_EQ(blockSum(lbp.computelbp54(region.get()), 0, 10), 1);
}

TEST_F(TextureLBPTest, ARegionPastThePictureEdgeReadsOnlyThePicture) {
  const cv::Size size(40, 30);
  cv::Mat plane(size, CV_8U);
  cv::RNG(9).fill(plane, cv::RNG::UNIFORM, 0, 256);
  const TemporaryPicture file(withGreen(plane), ".png");
  TextureLBP lbp(file.path(), green);
  auto region = polygon({{-20, -20}, {70, -20}, {70, 60}, {-20, 60}}, size);
  const std::vector<float> features = lbp.computelbp54(region.get());
  EXPECT_FLOAT_EQ(blockSum(features, 0, 10), 1);
  EXPECT_FLOAT_EQ(blockSum(features, 28, 54), 1);
}

TEST(TextureLBPLabels, UniformPatternsCountTheirOnesOthersGetPPlusOne) {
  const std::vector<std::pair<std::vector<int>, int>> cases = {
      {{0, 0, 0, 0, 0, 0, 0, 0}, 0},
      {{1, 1, 1, 1, 1, 1, 1, 1}, 8},
      {{1, 1, 1, 0, 0, 0, 0, 0}, 3},
      {{0, 1, 1, 1, 1, 1, 1, 0}, 6},
      {{1, 0, 0, 0, 0, 0, 0, 1}, 2},
      {{1, 0, 1, 0, 0, 0, 0, 0}, 9},
      {{1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}, 17},
      {std::vector<int>(24, 1), 24},
  };
  for (const auto& [bits, label] : cases) EXPECT_EQ(TextureLBP::uniformLabelVector(bits), label);
}

}  // namespace
