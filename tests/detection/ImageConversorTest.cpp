// Conversion of pictures into the imaging library's images, checked against
// OpenCV's own colour conversions on a random picture.
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "ImageHandle.h"
#include "TemporaryPicture.h"
#include "imageConversor.h"
#include "image_convert.h"

namespace {

// The image's samples as a matrix of its rows and columns (1 or 3 bytes).
cv::Mat samplesOf(const Image* img) {
  const int channels = img->type == PIX_RGB ? 3 : 1;
  return cv::Mat(img->num_rows, img->num_cols, CV_8UC(channels), img->data_1d.byte_data).clone();
}

bool sameBytes(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

cv::Mat randomPicture(cv::Size size) {
  cv::Mat m(size, CV_8UC3);
  cv::RNG(7).fill(m, cv::RNG::UNIFORM, 0, 256);
  return m;
}

cv::Mat plane(const cv::Mat& m, int index) {
  cv::Mat p;
  cv::extractChannel(m, p, index);
  return p;
}

TEST(ImageConversor, GreyPlanesMatchOpenCv) {
  const cv::Mat bgr = randomPicture({37, 23});
  const TemporaryPicture file(bgr, ".png");
  cv::Mat grey;
  cv::cvtColor(bgr, grey, cv::COLOR_RGB2GRAY);  // weights applied to the bytes as stored
  const std::vector<std::pair<int, cv::Mat>> expected = {
      {0, grey}, {1, plane(bgr, 2)}, {2, plane(bgr, 1)}, {3, plane(bgr, 0)}, {9, grey}};
  for (const auto& [channel, reference] : expected) {
    ImageConversor conversor(channel, true);
    ImagePtr img(conversor.FileToImage(file.path()));
    ASSERT_TRUE(img) << channel;
    EXPECT_EQ(img->type, PIX_GRAY);
    EXPECT_TRUE(sameBytes(samplesOf(img.get()), reference)) << "channel " << channel;
  }
}

TEST(ImageConversor, ColourImageIsRedGreenBlue) {
  const cv::Mat bgr = randomPicture({41, 19});
  const TemporaryPicture file(bgr, ".png");
  cv::Mat rgb;
  cv::cvtColor(bgr, rgb, cv::COLOR_BGR2RGB);
  ImageConversor conversor(0, true);
  ImagePtr fromFile(conversor.FileToRGBImage(file.path()));
  ImagePtr fromMatrix(conversor.OpencvRGBToFourierImage(bgr(cv::Rect(3, 2, 30, 10))));
  ASSERT_TRUE(fromFile && fromMatrix);
  EXPECT_EQ(fromFile->type, PIX_RGB);
  EXPECT_TRUE(sameBytes(samplesOf(fromFile.get()), rgb));
  // A crop is not continuous in memory: rows must be followed one by one.
  EXPECT_TRUE(sameBytes(samplesOf(fromMatrix.get()), rgb(cv::Rect(3, 2, 30, 10))));

  const cv::Mat twoPixels = (cv::Mat_<cv::Vec3b>(1, 2) << cv::Vec3b(1, 2, 3), cv::Vec3b(4, 5, 6));
  ImagePtr small(conversor.OpencvRGBToFourierImage(twoPixels));
  EXPECT_EQ(std::vector<unsigned char>(small->data_1d.byte_data, small->data_1d.byte_data + 6),
            (std::vector<unsigned char>{3, 2, 1, 6, 5, 4}));
}

// The detector searches this grey level instead of converting its colour
// copy: every byte must be the library's conversion of that copy, crops
// included.
TEST(ImageConversor, LibraryGreyIsTheGreyOfTheColourCopy) {
  const cv::Mat bgr = randomPicture({37, 23});
  ImageConversor conversor(0, true);
  for (const cv::Mat& m : {bgr, bgr(cv::Rect(3, 2, 30, 10))}) {
    ImagePtr colour(conversor.OpencvRGBToFourierImage(m));
    ImagePtr expected(rgb_to_gray(colour.get()));
    ImagePtr grey(conversor.OpencvRGBToLibraryGrey(m));
    ASSERT_TRUE(expected && grey);
    EXPECT_TRUE(sameBytes(samplesOf(grey.get()), samplesOf(expected.get())));
  }
}

TEST(ImageConversor, LabPlanesMatchOpenCv) {
  const cv::Mat bgr = randomPicture({29, 31});
  const TemporaryPicture file(bgr, ".png");
  cv::Mat lab, labGrey;
  cv::cvtColor(bgr, lab, cv::COLOR_RGB2Lab);
  cv::cvtColor(lab, labGrey, cv::COLOR_RGB2GRAY);
  const std::vector<std::pair<int, cv::Mat>> expected = {
      {0, labGrey}, {1, plane(lab, 2)}, {2, plane(lab, 1)}, {3, plane(lab, 0)}};
  for (const auto& [channel, reference] : expected) {
    ImageConversor conversor(channel, false);  // never cropped
    ImagePtr img(conversor.FileToLabImage(file.path()));
    ASSERT_TRUE(img);
    EXPECT_TRUE(sameBytes(samplesOf(img.get()), reference)) << "channel " << channel;
  }
}

TEST(ImageConversor, PureRedPicture) {
  const TemporaryPicture file(cv::Mat(4, 5, CV_8UC3, cv::Scalar(0, 0, 255)), ".png");
  const std::vector<std::pair<int, int>> expected = {{0, 29}, {1, 255}, {2, 0}, {3, 0}};
  for (const auto& [channel, value] : expected) {
    ImagePtr img(ImageConversor(channel, true).FileToImage(file.path()));
    EXPECT_EQ(img->data_1d.byte_data[0], value) << channel;
  }
}

TEST(ImageConversor, CropStartsAtTheRectangle) {
  const cv::Mat bgr = randomPicture({60, 80});
  const TemporaryPicture file(bgr, ".png");
  ImageConversor conversor(2, false);
  conversor.setRectangle(10, 20, 30, 40);
  ImagePtr img(conversor.FileToImage(file.path()));
  ASSERT_TRUE(img);
  EXPECT_EQ(img->num_rows, 40);
  EXPECT_EQ(img->num_cols, 30);
  EXPECT_TRUE(sameBytes(samplesOf(img.get()), plane(bgr, 1)(cv::Rect(10, 20, 30, 40))));

  conversor.setRectangle(50, 20, 30, 40);  // reaches past the right side
  testing::internal::CaptureStdout();
  EXPECT_THROW(conversor.FileToImage(file.path()), int);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("exception caught: "), std::string::npos);
}

// A missing file is left to the decoder, which fails in silence; a file in
// no format the analyses read is refused before it, with a message.
TEST(ImageConversor, UnreadableFilesThrowFour) {
  const TemporaryPicture text(std::string("not a picture"), ".png");
  const std::string refusal = "The picture " + text.path() + " is in a format the analyses do not read.\n";
  for (const std::string& name : {std::string("/nonexistent/cells.png"), text.path()}) {
    ImageConversor conversor(0, true);
    testing::internal::CaptureStdout();
    for (auto read : {&ImageConversor::FileToImage, &ImageConversor::FileToRGBImage, &ImageConversor::FileToLabImage}) {
      try {
        (conversor.*read)(name);
        ADD_FAILURE() << "no throw for " << name;
      } catch (int code) {
        EXPECT_EQ(code, 4);
      }
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), name == text.path() ? refusal + refusal + refusal : "");
  }
}

TEST(ImageConversor, MatricesOfOtherTypesAreRefused) {
  ImageConversor conversor(0, true);
  const cv::Mat grey(3, 3, CV_8UC1, cv::Scalar(1)), wide(3, 3, CV_16UC3, cv::Scalar(1));
  for (const cv::Mat& m : {grey, wide, cv::Mat()}) {
    EXPECT_THROW(conversor.OpencvRGBToFourierImage(m), int);
    EXPECT_THROW(conversor.OpencvRGBToLibraryGrey(m), int);
    EXPECT_THROW(MatRGBToImageGREY(m), int);
    EXPECT_THROW(MatRGBToImageGREYChannel(m, 1), int);
  }
}

}  // namespace
