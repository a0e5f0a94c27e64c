// The cyst detector on painted sections with known cysts and on small
// hand-made pictures, and its failures.
#include <gtest/gtest.h>

#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "ImageHandle.h"
#include "ProgramProfile.h"
#include "SectionPainter.h"
#include "TemporaryPicture.h"
#include "imageConversor.h"
#include "regionDetectorCyst.h"
#include "regionShape.h"

namespace {

class CystDetectorTest : public ::testing::Test {
 protected:
  void SetUp() override { ProgramProfile::select(ProgramProfile::cavitra()); }
};

// A pink picture with bright discs (centre, radius) on it.
cv::Mat discs(cv::Size size, const std::vector<std::pair<cv::Point, int>>& bright) {
  cv::Mat picture(size, CV_8UC3, cv::Scalar(170, 110, 190));
  for (const auto& [centre, radius] : bright) cv::circle(picture, centre, radius, cv::Scalar(225, 230, 228), cv::FILLED);
  return picture;
}

std::vector<cv::Point> outline(const regionDetector& detector, std::size_t i) {
  std::vector<cv::Point> points;
  const auto xs = detector.getXCoordinates()[i];
  const auto ys = detector.getYCoordinates()[i];
  for (std::size_t k = 0; k < xs.size(); ++k) points.emplace_back(xs[k], ys[k]);
  return points;
}

// Intersection over union of a filled outline and an object mask (255 = in).
double overlap(const std::vector<cv::Point>& points, const cv::Mat& object) {
  cv::Mat filled = cv::Mat::zeros(object.size(), CV_8U);
  cv::fillPoly(filled, std::vector<std::vector<cv::Point>>{points}, cv::Scalar(255));
  const double both = cv::countNonZero(filled & object);
  const double either = cv::countNonZero(filled | object);
  return either == 0 ? 0 : both / either;
}

TEST_F(CystDetectorTest, FindsEveryPaintedCystOfASectionInBothRunModes) {
  synthetic::SectionPainter painter(11);
  const synthetic::SectionPicture section = painter.paint(cv::Size(800, 600), 8, 0, 45, 90);
  ASSERT_EQ(section.painted.size(), 8u);
  const TemporaryPicture file(section.image, ".png");
  for (int mode : {0, 1}) {
    regionDetectorCyst detector(file.path(), 40, 1000);
    detector.compute(mode);
    EXPECT_EQ(detector.getImageWidth(), 800);
    EXPECT_EQ(detector.getImageHeight(), 600);
    const auto parents = detector.getInnerRegions();
    for (std::size_t c = 0; c < section.painted.size(); ++c) {
      const cv::Mat object = section.objects == static_cast<int>(c) + 1;
      double best = 0;
      for (std::size_t i = 0; i < parents.size(); ++i)
        if (parents[i] == -1) best = std::max(best, overlap(outline(detector, i), object));
      EXPECT_GE(best, 0.8) << "mode " << mode << ", cyst " << c;
    }
  }
}

TEST_F(CystDetectorTest, ModesDifferInTheOpeningOnly) {
  // A disc of radius 45 and a speck of radius 2: opening with a 7 x 7 ellipse
  // (mode 0) or a 15 x 15 one (mode 1, minimum diameter 60) removes the
  // speck, the raw mask (mode 2) keeps it.
  const TemporaryPicture file(discs({240, 180}, {{{90, 90}, 45}, {{200, 40}, 2}}), ".png");
  const std::vector<std::pair<int, std::size_t>> outlines = {{0, 1}, {1, 1}, {2, 2}, {7, 2}};
  for (const auto& [mode, expected] : outlines) {
    regionDetectorCyst detector(file.path(), 60, 1000);
    detector.compute(mode);
    EXPECT_EQ(detector.getXCoordinates().size(), expected) << "mode " << mode;
    EXPECT_EQ(detector.getYCoordinates().size(), expected);
    EXPECT_EQ(detector.getInnerRegions().size(), expected);
  }
  EXPECT_EQ(regionDetectorCyst::openingSize(60), 15);
  EXPECT_EQ(regionDetectorCyst::openingSize(10), 2);
}

TEST_F(CystDetectorTest, AHoleIsTracedWithItsParent) {
  cv::Mat picture = discs({160, 160}, {{{80, 80}, 50}});
  cv::circle(picture, {80, 80}, 15, cv::Scalar(170, 110, 190), cv::FILLED);
  const TemporaryPicture file(picture, ".png");
  regionDetectorCyst detector(file.path(), 10, 1000);
  detector.compute(2);
  const std::vector<int> parents = detector.getInnerRegions();
  ASSERT_EQ(parents.size(), 2u);
  const int outer = parents[0] == -1 ? 0 : 1;
  EXPECT_EQ(parents[1 - outer], outer);
  std::unique_ptr<regionShape> region(detector.makeRegion(outer));
  ASSERT_NE(region, nullptr);
  EXPECT_NEAR(region->getDiameter(160, 160), 100, 3);
  EXPECT_EQ(detector.makeRegion(2), nullptr);
}

TEST_F(CystDetectorTest, AGreyFileIsReadAsColour) {
  cv::Mat grey(120, 120, CV_8U, cv::Scalar(90));
  cv::circle(grey, {60, 60}, 30, cv::Scalar(230), cv::FILLED);
  const TemporaryPicture file(grey, ".png");
  regionDetectorCyst detector(file.path(), 40, 1000);
  detector.compute(0);
  EXPECT_EQ(detector.getXCoordinates().size(), 1u);
}

// A failure reports its code and keeps the outlines of the last good run.
TEST_F(CystDetectorTest, FailuresAreReportedAndKeepThePreviousOutlines) {
  const TemporaryPicture good(discs({120, 120}, {{{60, 60}, 30}}), ".png");
  const TemporaryPicture text(std::string("not a picture"), ".png");
  const TemporaryPicture onePixel(cv::Mat(1, 1, CV_8UC3, cv::Scalar(1, 2, 3)), ".png");
  struct Case {
    std::string file;
    int minDiameter;
    int mode;
    int code;
  };
  const std::vector<Case> cases = {
      {"/no/such/picture.png", 40, 0, regionDetector::emptyImage},
      {text.path(), 40, 0, regionDetector::emptyImage},
      {good.path(), 3, 1, regionDetector::analysisFailed},      // a 0 x 0 opening kernel
      {onePixel.path(), 40, 2, regionDetector::analysisFailed},  // one pixel cannot make two clusters
  };
  for (const Case& c : cases) {
    regionDetectorCyst detector(good.path(), 40, 1000);
    detector.compute(0);
    ASSERT_EQ(detector.getXCoordinates().size(), 1u);
    detector.setFilename(c.file);
    detector.setMinimumDiameter(c.minDiameter);
    int code = 0;
    try {
      detector.compute(c.mode);
    } catch (int thrown) {
      code = thrown;
    }
    EXPECT_EQ(code, c.code) << c.file;
    EXPECT_EQ(detector.getXCoordinates().size(), 1u) << c.file;
    EXPECT_EQ(detector.getInnerRegions().size(), 1u) << c.file;
  }
}

TEST_F(CystDetectorTest, PostprocessingMaskBelowThreeIsRefused) {
  regionDetectorCyst detector;
  EXPECT_NO_THROW(detector.setPostprocessingMask(3));
  try {
    detector.setPostprocessingMask(2);
    FAIL() << "accepted 2";
  } catch (int code) {
    EXPECT_EQ(code, regionDetector::maskTooSmall);
  }
  regionDetector base("x.png", 10, 50);
  base.compute(0);
  EXPECT_TRUE(base.getXCoordinates().empty());
}

// Each program's grey level: Lumora weighs the first stored byte as red,
// Cavitra the third (OpenCV's blue-green-red order).
TEST(CystGreyConversion, EachProgramUsesItsOwnColourCode) {
  cv::Mat picture(4, 5, CV_8UC3);
  cv::RNG(3).fill(picture, cv::RNG::UNIFORM, 0, 256);
  const std::vector<std::pair<const ProgramProfile*, int>> cases = {{&ProgramProfile::cavitra(), cv::COLOR_BGR2GRAY},
                                                                    {&ProgramProfile::lumora(), cv::COLOR_RGB2GRAY}};
  for (const auto& [profile, code] : cases) {
    ProgramProfile::select(*profile);
    cv::Mat expected;
    cv::cvtColor(picture, expected, code);
    for (int channel : {0, 7}) {
      ImagePtr grey(channel == 0 ? MatRGBToImageGREY(picture) : MatRGBToImageGREYChannel(picture, channel));
      ASSERT_NE(grey, nullptr);
      const cv::Mat got(4, 5, CV_8U, grey->data_1d.byte_data);
      EXPECT_EQ(cv::norm(got, expected, cv::NORM_INF), 0) << profile->programName;
    }
  }
}

}  // namespace
