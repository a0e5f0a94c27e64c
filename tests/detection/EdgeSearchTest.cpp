// The contour search of the grey edge detector on pictures drawn here:
// which plane is searched, how results accumulate, what the flags keep, and
// agreement with the imaging library's own edge search.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <string>

#include "CellPainter.h"
#include "FailingThreadStarts.h"
#include "ImageHandle.h"
#include "canny_edges.h"
#include "edgesCannyGrey.h"
#include "imageConversor.h"
#include "img_parallel.h"

namespace {

using Contours = std::pair<std::vector<std::vector<int>>, std::vector<std::vector<int>>>;

cv::Mat paintedCells() {
  synthetic::CellPainter painter(21);
  cv::Mat picture = painter.background({320, 240}, {200, 190, 210}, 3);
  std::uniform_real_distribution<double> radius(15, 30);
  for (const cv::Point2d& centre : painter.scatter(picture.size(), 4, 30, 5)) {
    synthetic::Cell cell;
    cell.centre = centre;
    const double r = radius(painter.random());
    cell.axes = {r, r};
    painter.paint(picture, cell);
  }
  return picture;
}

ImagePtr colourImage(const cv::Mat& bgr) { return ImagePtr(ImageConversor(0, true).OpencvRGBToFourierImage(bgr)); }

ImagePtr greyImage(const cv::Mat& grey) {
  cv::Mat bgr;
  cv::cvtColor(grey, bgr, cv::COLOR_GRAY2BGR);
  return ImagePtr(MatRGBToImageGREYChannel(bgr, 1));
}

Contours search(edgesCannyGrey& detector, Image* img, bool roundness, bool diameter, bool overlap,
                std::string* printed = nullptr) {
  testing::internal::CaptureStdout();
  detector.compute(img, roundness, diameter, overlap);
  const std::string out = testing::internal::GetCapturedStdout();
  if (printed) *printed = out;
  return {detector.getXCoordinates(), detector.getYCoordinates()};
}

class EdgeSearch : public testing::Test {
 protected:
  void SetUp() override {
    picture = paintedCells();
    detector.setSigma({3.0, 1.5});
    detector.setThresholds({0.4, 0.6}, {0.6, 0.8});
    detector.setMinPoints(20);
    detector.setDiameters(20, 80);
  }
  cv::Mat picture;
  edgesCannyGrey detector;
};

TEST_F(EdgeSearch, GreyPictureGivesTheSameContoursForEveryChannel) {
  cv::Mat grey;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  ImagePtr img = greyImage(grey);
  const Contours reference = search(detector, img.get(), true, true, false);
  ASSERT_FALSE(reference.first.empty());
  for (int channel = 1; channel <= 4; channel++) {
    detector.setFlagChannel(channel);
    detector.clearDates();
    EXPECT_EQ(search(detector, img.get(), true, true, false), reference) << "channel " << channel;
  }
}

TEST_F(EdgeSearch, ColourChannelSearchesThatBand) {
  ImagePtr colour = colourImage(picture);
  for (int channel = 1; channel <= 3; channel++) {
    cv::Mat band;
    cv::extractChannel(picture, band, 3 - channel);  // 1 red, 2 green, 3 blue
    ImagePtr bandImage = greyImage(band);
    edgesCannyGrey onBand = detector;
    onBand.clearDates();
    const Contours expected = search(onBand, bandImage.get(), true, true, false);

    detector.clearDates();
    detector.setFlagChannel(channel);
    EXPECT_EQ(search(detector, colour.get(), true, true, false), expected) << "channel " << channel;
  }
  // Channel 4 names no plane of a colour picture: nothing is searched.
  detector.clearDates();
  detector.setFlagChannel(4);
  EXPECT_TRUE(search(detector, colour.get(), true, true, false).first.empty());
}

TEST_F(EdgeSearch, ResultsAccumulateUntilCleared) {
  ImagePtr colour = colourImage(picture);
  const Contours once = search(detector, colour.get(), true, true, false);
  ASSERT_FALSE(once.first.empty());
  const Contours twice = search(detector, colour.get(), true, true, false);
  ASSERT_EQ(twice.first.size(), 2 * once.first.size());
  EXPECT_TRUE(std::equal(once.first.begin(), once.first.end(), twice.first.begin() + once.first.size()));
  detector.clearDates();
  EXPECT_TRUE(detector.getXCoordinates().empty());
  EXPECT_TRUE(detector.getYCoordinates().empty());
}

TEST_F(EdgeSearch, WithoutFlagsEveryChainIsAContour) {
  cv::Mat grey;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  ImagePtr img = greyImage(grey);
  std::string printed;
  const Contours contours = search(detector, img.get(), false, false, false, &printed);

  // The library's own search, scale by scale, with the same parameters.
  std::vector<std::vector<int>> expectedX;
  std::string expectedLines;
  testing::internal::CaptureStdout();
  for (double sigma : detector.getSigma()) {
    int count = 0;
    const auto low = detector.getLowThresholds(), high = detector.getHighThresholds();
    PointList** chains = detect_edge_multiscalar_canny_sigma(img.get(), sigma, &count, detector.getMinPoints(),
                                                             static_cast<int>(low.size()), low.data(), high.data());
    for (int i = 0; i < count; i++) {
      std::vector<int> x;
      for (int j = 0; j < chains[i]->num_pts; j++) x.push_back(static_cast<int>(chains[i]->point[j]->col));
      expectedX.push_back(x);
    }
    free_PointListVector2(chains, count);
    expectedLines += "Sigma: " + cv::format("%g", sigma) + " Edges: " + std::to_string(count) +
                     " After Roundness and Diameter flag: 0\n";
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(contours.first, expectedX);
  for (size_t k = 0; k < contours.first.size(); k++) EXPECT_EQ(contours.first[k].size(), contours.second[k].size());
  // Each scale reports its chain count on a line of its own.
  std::string sigmaLines;
  for (size_t at = printed.find("Sigma: "); at != std::string::npos; at = printed.find("Sigma: ", at + 1)) {
    sigmaLines += printed.substr(at, printed.find('\n', at) - at + 1);
  }
  EXPECT_EQ(sigmaLines, expectedLines);
}

TEST_F(EdgeSearch, OverlapTestKeepsOneOutlinePerCell) {
  ImagePtr colour = colourImage(picture);
  const size_t filtered = search(detector, colour.get(), true, true, false).first.size();
  detector.clearDates();
  std::string printed;
  const Contours merged = search(detector, colour.get(), true, true, true, &printed);
  EXPECT_FALSE(merged.first.empty());
  EXPECT_LT(merged.first.size(), filtered);
  EXPECT_NE(printed.find("After overlapping test: " + std::to_string(merged.first.size()) +
                         " All edges: " + std::to_string(merged.first.size())),
            std::string::npos);
}

TEST(EdgeSearchBase, BaseSearchesNothing) {
  edgesCanny base("cells.png");
  cv::Mat grey(50, 50, CV_8UC1, cv::Scalar(0));
  cv::circle(grey, {25, 25}, 15, cv::Scalar(255), cv::FILLED);
  ImagePtr img = greyImage(grey);
  base.compute(img.get(), false, false, false);
  EXPECT_TRUE(base.getXCoordinates().empty());
}

TEST(TextureFeaturesOfAPolygon, RefusedInputsGiveNothing) {
  edgesCannyGrey detector;
  ImagePtr colour = colourImage(cv::Mat(40, 40, CV_8UC3, cv::Scalar(10, 20, 30)));
  cv::Mat grey(40, 40, CV_8UC1, cv::Scalar(5));
  ImagePtr greyOnly = greyImage(grey);
  const std::vector<double> x = {5, 30, 30, 5, 5}, y = {5, 5, 30, 30, 5};
  EXPECT_EQ(detector.computeTextureFeatures(colour.get(), x, y).size(), 25u);
  EXPECT_TRUE(detector.computeTextureFeatures(colour.get(), x, {5, 5, 30}).empty());
  EXPECT_TRUE(detector.computeTextureFeatures(greyOnly.get(), x, y).empty());
  EXPECT_TRUE(detector.computeTextureFeatures(nullptr, x, y).empty());
  EXPECT_TRUE(detector.computeTextureFeatures(colour.get(), {}, {}).empty());
}


// An imaging library failure (here the header of a grey picture of 2^22 x
// 2^30 pixels, too large for memory) becomes the detector's reported
// failure: the program goes on, the library's message is printed, and the
// contours of earlier searches are left as they were.
TEST_F(EdgeSearch, LibraryFailureIsThrownAndLeavesEarlierContours) {
  ImagePtr colour = colourImage(picture);
  const Contours before = search(detector, colour.get(), true, true, false);
  ASSERT_FALSE(before.first.empty());

  std::vector<unsigned char> block(64, 0);
  Image huge = {};
  huge.type = PIX_GRAY;
  huge.num_bands = 1;
  huge.num_rows = 1 << 22;
  huge.num_cols = 1 << 30;
  huge.data_1d.byte_data = block.data();
  testing::internal::CaptureStderr();
  int thrown = 0;
  try {
    detector.compute(&huge, true, true, false);
  } catch (int code) {
    thrown = code;
  }
  const std::string messages = testing::internal::GetCapturedStderr();
  EXPECT_EQ(thrown, edgesCannyGrey::libraryFailure);
  EXPECT_NE(messages.find("Insufficient memory !"), std::string::npos) << messages;
  EXPECT_EQ(detector.getXCoordinates(), before.first);
  EXPECT_EQ(detector.getYCoordinates(), before.second);
}

// The scales are searched side by side; at the system's thread limit those
// whose threads cannot start are searched on the threads that did.
TEST_F(EdgeSearch, ScalesWhoseThreadsCannotStartAreSearchedAllTheSame) {
  struct FourThreads {
    FourThreads() { imaging_set_threads(4); }
    ~FourThreads() { imaging_set_threads(0); }
  } const fourThreads;
  detector.setSigma({3.0, 2.0, 1.5, 1.0});
  ImagePtr colour = colourImage(picture);
  const Contours reference = search(detector, colour.get(), true, true, true);
  ASSERT_FALSE(reference.first.empty());
  for (unsigned failingStart : {1u, 2u, 3u}) {
    const FailingThreadStarts failing(failingStart);
    detector.clearDates();
    EXPECT_EQ(search(detector, colour.get(), true, true, true), reference) << "failing start " << failingStart;
    EXPECT_EQ(failing.tried(), failingStart);
  }
}

}  // namespace
