// The cell detector on pictures the tests paint: discs found where they
// were painted, nothing found where there is nothing, a consistent empty
// state after a picture that cannot be read, and the features of regions.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "CellPainter.h"
#include "TemporaryPicture.h"
#include "regionDetectorEdgesZelvora.h"

namespace {

std::unique_ptr<regionShape> regionOf(const std::vector<cv::Point2d>& relative) {
  auto region = std::make_unique<regionShape>(1, true, false, false, false, 0, 0, 0);
  for (const cv::Point2d& p : relative) region->addLinePoint(p.x, p.y);
  return region;
}

// Outline of a circle in coordinates relative to a picture of that size.
std::vector<cv::Point2d> relativeCircle(cv::Point2d centre, double radius, cv::Size size, int n = 48) {
  std::vector<cv::Point2d> out;
  for (int k = 0; k < n; k++) {
    const double a = 2 * CV_PI * k / n;
    out.emplace_back((centre.x + radius * std::cos(a)) / size.width, (centre.y + radius * std::sin(a)) / size.height);
  }
  return out;
}

struct Contour {
  cv::Point2d centroid;
  double diameter;  // of the circle of the same area
};

std::vector<Contour> contoursOf(const regionDetectorEdges& detector) {
  const auto xs = detector.getXCoordinates(), ys = detector.getYCoordinates();
  EXPECT_EQ(xs.size(), ys.size());
  std::vector<Contour> out;
  for (size_t k = 0; k < xs.size(); k++) {
    EXPECT_EQ(xs[k].size(), ys[k].size());
    std::vector<cv::Point2f> polygon;
    for (size_t i = 0; i < xs[k].size(); i++) polygon.emplace_back(xs[k][i], ys[k][i]);
    const cv::Moments m = cv::moments(polygon);
    if (m.m00 <= 0) {
      out.push_back({{-1, -1}, 0});
      continue;
    }
    out.push_back({{m.m10 / m.m00, m.m01 / m.m00}, std::sqrt(4 * m.m00 / CV_PI)});
  }
  return out;
}

// Plain discs of cell-like colours on an even background. The hysteresis
// thresholds are quantiles of the gradient, so a noisy background would
// bring edges of its own; the discs' edges are the only ones here.
std::vector<synthetic::Cell> paintDiscs(synthetic::CellPainter& painter, cv::Mat& picture, int count) {
  picture = painter.background({640, 480}, {205, 200, 210}, 0);
  const cv::Scalar colours[] = {{150, 140, 160}, {170, 120, 200}, {120, 90, 140}};
  std::vector<synthetic::Cell> cells;
  std::uniform_real_distribution<double> radius(18, 40);
  for (const cv::Point2d& centre : painter.scatter(picture.size(), count, 40, 10)) {
    synthetic::Cell cell;
    cell.centre = centre;
    const double r = radius(painter.random());
    cell.axes = {r, r};
    cell.look.body = colours[cells.size() % 3];
    cell.look.rimWidth = 0;
    painter.paint(picture, cell);
    cells.push_back(cell);
  }
  return cells;
}

// The search prints a line per scale; kept off the test's output.
void detect(regionDetectorEdgesZelvora& detector) {
  testing::internal::CaptureStdout();
  detector.processImage(0);
  testing::internal::GetCapturedStdout();
}

TEST(CellDetection, FindsEveryPaintedDiscAndNothingElse) {
  for (std::uint32_t seed : {11u, 12u, 13u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    synthetic::CellPainter painter(seed);
    cv::Mat picture;
    const std::vector<synthetic::Cell> cells = paintDiscs(painter, picture, 6);
    ASSERT_EQ(cells.size(), 6u);
    const TemporaryPicture file(picture, ".png");

    regionDetectorEdgesZelvora detector;
    detector.setFilename(file.path());
    EXPECT_EQ(detector.getImageWidth(), 640);
    EXPECT_EQ(detector.getImageHeight(), 480);
    detector.setDiameters(30, 100);
    detect(detector);

    const std::vector<Contour> contours = contoursOf(detector);
    std::vector<int> hits(cells.size(), 0);
    for (const Contour& c : contours) {
      bool matched = false;
      for (size_t i = 0; i < cells.size(); i++) {
        const double diameter = 2 * cells[i].axes.width;
        if (cv::norm(c.centroid - cells[i].centre) <= 2 && std::abs(c.diameter - diameter) <= 0.1 * diameter) {
          hits[i]++;
          matched = true;
        }
      }
      EXPECT_TRUE(matched) << "stray contour at " << c.centroid << " of diameter " << c.diameter;
    }
    for (size_t i = 0; i < cells.size(); i++) {
      EXPECT_GT(hits[i], 0) << "disc at " << cells[i].centre << " of radius " << cells[i].axes.width << " not found";
    }
  }
}

TEST(CellDetection, FlatPictureGivesNothing) {
  for (const cv::Mat& picture :
       {cv::Mat(200, 300, CV_8UC3, cv::Scalar(90, 120, 200)), cv::Mat(480, 640, CV_8UC3, cv::Scalar(0, 0, 0))}) {
    const TemporaryPicture file(picture, ".png");
    regionDetectorEdgesZelvora detector;
    detector.setFilename(file.path());
    detect(detector);
    EXPECT_TRUE(detector.getXCoordinates().empty());
    EXPECT_TRUE(detector.getYCoordinates().empty());
  }
}

TEST(CellDetection, NewSearchReplacesTheContours) {
  synthetic::CellPainter painter(11);
  cv::Mat picture;
  paintDiscs(painter, picture, 6);
  const TemporaryPicture file(picture, ".png");
  regionDetectorEdgesZelvora detector;
  detector.setFilename(file.path());
  detector.setDiameters(30, 100);
  detect(detector);
  const auto first = detector.getXCoordinates();
  ASSERT_FALSE(first.empty());
  detect(detector);
  EXPECT_EQ(detector.getXCoordinates(), first);
}

TEST(CellDetection, FailedReadLeavesNoPicture) {
  synthetic::CellPainter painter(11);
  cv::Mat picture;
  const std::vector<synthetic::Cell> cells = paintDiscs(painter, picture, 6);
  const TemporaryPicture good(picture, ".png");
  const TemporaryPicture text(std::string("plain text"), ".png");
  const auto region = regionOf(relativeCircle(cells[0].centre, 15, picture.size()));

  struct Case {
    std::string name;
    int code;
  };
  for (const Case& c : {Case{text.path(), 3}, Case{"/nonexistent/cells.png", 3}}) {
    SCOPED_TRACE(c.name);
    regionDetectorEdgesZelvora detector;
    detector.setFilename(good.path());
    detector.setDiameters(30, 100);
    detect(detector);
    ASSERT_FALSE(detector.getXCoordinates().empty());
    ASSERT_EQ(detector.getColorTextureFeatures(region.get(), 640, 480).size(), 25u);

    try {
      detector.setFilename(c.name);
      ADD_FAILURE() << "no throw";
    } catch (int code) {
      EXPECT_EQ(code, c.code);
    }
    EXPECT_EQ(detector.getImageWidth(), 0);
    EXPECT_EQ(detector.getImageHeight(), 0);
    EXPECT_TRUE(detector.getXCoordinates().empty());
    EXPECT_TRUE(detector.getColorTextureFeatures(region.get(), 640, 480).empty());
    detect(detector);
    EXPECT_TRUE(detector.getXCoordinates().empty());
    EXPECT_TRUE(detector.getYCoordinates().empty());

    // The detector is usable again with the next good picture.
    detector.setFilename(good.path());
    EXPECT_EQ(detector.getImageWidth(), 640);
    EXPECT_EQ(detector.getColorTextureFeatures(region.get(), 640, 480).size(), 25u);
  }
}

TEST(RegionDetector, ProcessBeforeAnyPictureFindsNothing) {
  regionDetectorEdgesZelvora detector;
  testing::internal::CaptureStdout();
  detector.processImage(0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(detector.getXCoordinates().empty());
}

TEST(RegionDetector, FileConstructorMakesADetectorReadyToSearch) {
  synthetic::CellPainter painter(12);
  cv::Mat picture;
  const std::vector<synthetic::Cell> cells = paintDiscs(painter, picture, 6);
  const TemporaryPicture file(picture, ".png");
  regionDetectorEdgesZelvora detector(file.path(), 30, 100);
  EXPECT_EQ(detector.getImageWidth(), 640);
  EXPECT_EQ(detector.getImageHeight(), 480);
  EXPECT_EQ(detector.getEdgeDetector().getMinPoints(), 60);
  EXPECT_EQ(detector.getEdgeDetector().getSigma(), (std::vector<double>{4.0, 2.0}));
  detect(detector);
  EXPECT_FALSE(detector.getXCoordinates().empty());
  const auto region = regionOf(relativeCircle(cells[0].centre, 10, picture.size()));
  EXPECT_EQ(detector.getColorTextureFeatures(region.get(), 640, 480).size(), 25u);

  EXPECT_THROW(regionDetectorEdgesZelvora("/nonexistent/cells.png", 30, 100), int);
  EXPECT_THROW(regionDetectorEdgesZelvora(file.path(), 4, 100), int);
}

// A JPEG whose orientation tag says "rotate 90 degrees": the analysis must
// see the pixels as stored, as the canvas shows them.
TEST(RegionDetector, OrientationTagIsIgnored) {
  std::vector<unsigned char> jpeg;
  cv::imencode(".jpg", cv::Mat(20, 40, CV_8UC3, cv::Scalar(50, 100, 150)), jpeg);
  const unsigned char exif[] = {0xFF, 0xE1, 0x00, 0x22, 'E',  'x',  'i',  'f',  0,    0,    'M',  'M',
                                0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, 0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
                                0x00, 0x00, 0x00, 0x01, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  jpeg.insert(jpeg.begin() + 2, std::begin(exif), std::end(exif));  // right after the start marker
  const TemporaryPicture file(std::string(jpeg.begin(), jpeg.end()), ".jpg");
  ASSERT_EQ(cv::imread(file.path(), cv::IMREAD_COLOR).cols, 20) << "fixture: the tag should rotate by default";

  regionDetectorEdgesZelvora detector;
  detector.setFilename(file.path());
  EXPECT_EQ(detector.getImageWidth(), 40);
  EXPECT_EQ(detector.getImageHeight(), 20);
}

TEST(RegionFeatures, TwentyFiveForRegionsAndNoneForDegenerateOnes) {
  synthetic::CellPainter painter(3);
  const cv::Size size(200, 150);
  cv::Mat picture = painter.background(size, {120, 160, 200}, 6);
  const TemporaryPicture file(picture, ".png");
  regionDetectorEdgesZelvora detector;
  detector.setFilename(file.path());

  struct Case {
    const char* name;
    std::vector<cv::Point2d> outline;
    bool defined;
  };
  const std::vector<Case> cases = {
      {"disc inside", relativeCircle({100, 75}, 30, size), true},
      {"disc over the right and bottom edges", relativeCircle({195, 145}, 30, size), true},
      {"whole picture, vertices on 0 and 1", {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, true},
      {"outline beyond the picture", {{-0.5, -0.5}, {1.5, -0.5}, {1.5, 1.5}, {-0.5, 1.5}, {-0.5, -0.5}}, true},
      {"no vertices", {}, false},
      {"one vertex", {{0.5, 0.5}}, false},
      {"flat line", {{0.1, 0.5}, {0.9, 0.5}, {0.1, 0.5}}, false},
      {"smaller than a pixel", {{0.5, 0.5}, {0.501, 0.5}, {0.501, 0.501}, {0.5, 0.5}}, false},
      {"entirely left of the picture", {{-0.5, 0.2}, {-0.2, 0.2}, {-0.2, 0.6}, {-0.5, 0.2}}, false},
  };
  for (const Case& c : cases) {
    const auto region = regionOf(c.outline);
    const std::vector<float> features = detector.getColorTextureFeatures(region.get(), size.width, size.height);
    if (!c.defined) {
      EXPECT_TRUE(features.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(features.size(), 25u) << c.name;
    float lbp = 0;
    for (int i = 0; i < 10; i++) lbp += features[i];
    EXPECT_NEAR(lbp, 1.0f, 1e-5) << c.name;
    for (float f : features) EXPECT_TRUE(std::isfinite(f)) << c.name;
  }
}

TEST(RegionFeatures, UniformColourRegion) {
  // A flat colour: every LBP pattern is all zeros (label 8); per channel the
  // mean is the value and the higher statistics are 0.
  const cv::Size size(120, 90);
  const TemporaryPicture file(cv::Mat(size, CV_8UC3, cv::Scalar(30, 60, 90)), ".png");
  regionDetectorEdgesZelvora detector;
  detector.setFilename(file.path());
  const auto region = regionOf(relativeCircle({60, 45}, 25, size));
  const std::vector<float> f = detector.getColorTextureFeatures(region.get(), size.width, size.height);
  ASSERT_EQ(f.size(), 25u);
  EXPECT_FLOAT_EQ(f[8], 1.0f);
  const float means[3] = {90, 60, 30};  // red, green, blue
  for (int channel = 0; channel < 3; channel++) {
    EXPECT_FLOAT_EQ(f[10 + 5 * channel], means[channel]);
    for (int k = 1; k < 5; k++) EXPECT_FLOAT_EQ(f[10 + 5 * channel + k], 0.0f);
  }
}

}  // namespace
