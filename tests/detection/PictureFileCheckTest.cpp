// Pictures are judged before they are decoded: by the size their header
// claims, and (for JPEG) by whether the file reaches the picture's end.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "PictureFileCheck.h"
#include "ProcessFigure.h"
#include "TemporaryPicture.h"
#include "imageConversor.h"
#include "regionDetectorEdges.h"

namespace {

const std::string claimsTooMuch = std::string(UNTRUSTED_PICTURES) + "/claims-60000x60000.png";

cv::Mat texturedPicture(int width, int height) {
  cv::Mat picture(height, width, CV_8UC3);
  cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(255));
  return picture;
}

std::string jpegBytes(const cv::Mat& picture, bool progressive) {
  std::vector<unsigned char> bytes;
  cv::imencode(".jpg", picture, bytes, {cv::IMWRITE_JPEG_PROGRESSIVE, progressive ? 1 : 0, cv::IMWRITE_JPEG_RST_INTERVAL, 4});
  return std::string(bytes.begin(), bytes.end());
}

// Whether the detector takes the picture; it refuses with an int.
bool detectorReads(const std::string& path) {
  try {
    regionDetectorEdges detector(path, 10, 50);
    return detector.getImageWidth() > 0;
  } catch (int) {
    return false;
  }
}

TEST(PictureFileCheck, TheDecodedSizeIsComparedWithTheLimitBeforeDecoding) {
  const TemporaryPicture picture(texturedPicture(100, 50), ".png");
  const struct {
    std::string path;
    std::uint64_t limit;
    bool refused;
  } cases[] = {
      {picture.path(), 100 * 50 * 4, false},
      {picture.path(), 100 * 50 * 4 - 1, true},
      {claimsTooMuch, 60000ull * 60000 * 4 - 1, true},
      {claimsTooMuch, 60000ull * 60000 * 4, false},
      {"/nonexistent/picture.png", 1, false},  // left to the decoder, which reports it
  };
  for (const auto& c : cases) {
    const std::string message = PictureFileCheck::sizeRefusal(c.path, c.limit);
    EXPECT_EQ(!message.empty(), c.refused) << c.path << " " << c.limit;
    if (c.refused) {
      EXPECT_NE(message.find(c.path == claimsTooMuch ? "60000 x 60000" : "100 x 50"), std::string::npos);
    }
  }
  int width = 0, height = 0;
  ASSERT_TRUE(PictureFileCheck::readSize(claimsTooMuch, width, height));
  EXPECT_EQ(width, 60000);
  EXPECT_EQ(height, 60000);
  EXPECT_GT(PictureFileCheck::defaultDecodedLimit(), 0u);
}

// A size told by other means, as an annotation file records it, is judged as
// the picture's header would be.
TEST(PictureFileCheck, ASizeWithoutAFileIsJudgedByTheSameLimit) {
  EXPECT_EQ(PictureFileCheck::sizeRefusal(100, 50, 100 * 50 * 4), "");
  EXPECT_EQ(PictureFileCheck::sizeRefusal(100, 50, 100 * 50 * 4 - 1),
            "100 x 50 pixels: it would take 1 MB of memory, more than the 1 MB a picture may use on this computer");
  EXPECT_NE(PictureFileCheck::sizeRefusal(2147483647, 2147483647).find("2147483647 x 2147483647 pixels"),
            std::string::npos);
}

// A detection needs several times the decoded picture: the estimate names
// its figure, and the detector's read applies it.
TEST(PictureFileCheck, ADetectionIsRefusedByItsEstimatedPeak) {
  const TemporaryPicture picture(texturedPicture(1000, 500), ".png");
  const std::uint64_t peak = 1000 * 500 * PictureFileCheck::detectionBytesPerPixel;
  EXPECT_GT(PictureFileCheck::detectionBytesPerPixel, PictureFileCheck::decodedBytesPerPixel);
  EXPECT_EQ(PictureFileCheck::detectionRefusal(picture.path(), peak), "");
  EXPECT_NE(PictureFileCheck::detectionRefusal(picture.path(), peak - 1), "");
  const auto megabytes = [](std::uint64_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB"; };
  EXPECT_EQ(PictureFileCheck::detectionRefusal(picture.path(), peak / 2),
            "The picture " + picture.path() + " is 1000 x 500 pixels: a detection on it would take about " +
                megabytes(peak) + " of memory, more than the " + megabytes(peak / 2) +
                " an analysis may use on this computer.");
  EXPECT_EQ(PictureFileCheck::detectionRefusal("/nonexistent/picture.png", 1), "");
  EXPECT_FALSE(detectorReads(claimsTooMuch));
}

TEST(PictureFileCheck, AJpegCutShortIsIncompleteAndTheDetectorRefusesIt) {
  // The larger picture's segments and markers straddle the blocks the check
  // reads.
  for (const auto& [picture, progressive] : {std::pair{texturedPicture(160, 120), false},
                                             {texturedPicture(160, 120), true},
                                             {texturedPicture(640, 480), false},
                                             {texturedPicture(640, 480), true}}) {
    const std::string whole = jpegBytes(picture, progressive);
    const struct {
      const char* what;
      std::string bytes;
      bool complete;
    } cases[] = {
        {"whole", whole, true},
        {"with bytes after its end", whole + std::string(100, '\0'), true},
        {"cut in the middle", whole.substr(0, whole.size() / 2), false},
        {"without its end marker", whole.substr(0, whole.size() - 2), false},
        {"cut in its header", whole.substr(0, 40), false},
    };
    for (const auto& c : cases) {
      const TemporaryPicture file(c.bytes, ".jpg");
      EXPECT_EQ(PictureFileCheck::isComplete(file.path()), c.complete) << c.what << " progressive " << progressive;
      EXPECT_EQ(detectorReads(file.path()), c.complete) << c.what << " progressive " << progressive;
    }
  }
  // Other formats are complete as far as this check goes.
  const TemporaryPicture png(texturedPicture(160, 120), ".png");
  EXPECT_TRUE(PictureFileCheck::isComplete(png.path()));
  EXPECT_TRUE(detectorReads(png.path()));
}

// What follows a JPEG's end is never read: the check, and the detection with
// it, read the picture, not the gigabyte behind it (sparse here, so that the
// test writes nothing of it).
TEST(PictureFileCheck, AJpegIsReadOnlyAsFarAsItsEnd) {
  const TemporaryPicture file(jpegBytes(texturedPicture(8, 8), false), ".jpg");
  std::filesystem::resize_file(file.path(), std::uintmax_t{1} << 30);
  const std::size_t before = bytesReadSoFar();
  EXPECT_TRUE(PictureFileCheck::isComplete(file.path()));
  EXPECT_TRUE(detectorReads(file.path()));
  EXPECT_LT(bytesReadSoFar() - before, std::size_t{1} << 20);
}

// A side longer than the analyses' reader takes refuses the picture however
// little memory it needs: a one-pixel-wide strip whose height is one beyond
// the bound is refused by its header, and a detection on it ends with the
// message instead of the reader's exception.
TEST(PictureFileCheck, ASideLongerThanTheLargestRefusesThePicture) {
  const int side = PictureFileCheck::largestSide;
  const auto strip = [](int width, int height) {
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    return header + std::string(3 * static_cast<std::size_t>(width) * height, '\x80');
  };
  const TemporaryPicture longest(strip(1, side), ".ppm");
  const TemporaryPicture tooTall(strip(1, side + 1), ".ppm");
  const TemporaryPicture tooWide(strip(side + 1, 1), ".ppm");
  EXPECT_EQ(PictureFileCheck::sizeRefusal(longest.path()), "");
  EXPECT_EQ(PictureFileCheck::detectionRefusal(longest.path()), "");
  const std::string tall = std::to_string(side + 1);
  EXPECT_EQ(PictureFileCheck::sizeRefusal(tooTall.path()),
            "The picture " + tooTall.path() + " is 1 x " + tall + " pixels: its sides may be at most " +
                std::to_string(side) + " pixels long.");
  EXPECT_NE(PictureFileCheck::sizeRefusal(tooWide.path()).find(tall + " x 1 pixels: its sides"), std::string::npos);
  testing::internal::CaptureStdout();
  std::string refusal;
  EXPECT_NO_THROW(EXPECT_TRUE(readColourPicture(tooTall.path(), &refusal).empty()));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(refusal, PictureFileCheck::sizeRefusal(tooTall.path()));
  // The same bound holds for a size told without a file, as an annotation
  // file records it, whatever memory it would take.
  EXPECT_EQ(PictureFileCheck::sizeRefusal(side, 1), "");
  EXPECT_EQ(PictureFileCheck::sizeRefusal(1, 1579000000, UINT64_MAX),
            "1 x 1579000000 pixels: its sides may be at most " + std::to_string(side) + " pixels long");
}

TEST(PictureFileCheck, TheDetectorRefusesAPictureTooLargeForMemory) {
  testing::internal::CaptureStdout();
  EXPECT_FALSE(detectorReads(claimsTooMuch));
  EXPECT_NE(testing::internal::GetCapturedStdout().find("60000 x 60000"), std::string::npos);
}

}  // namespace
