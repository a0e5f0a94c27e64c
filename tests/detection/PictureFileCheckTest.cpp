// Pictures are judged before they are decoded: by the size their header
// claims, and (for JPEG) by whether the file reaches the picture's end.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
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
      // Within the limit, its 69 bytes are far too few for the pixels.
      {claimsTooMuch, 60000ull * 60000 * 4, true},
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

std::string bigEndian(std::uint64_t value, int bytes) {
  std::string text;
  for (int i = bytes - 1; i >= 0; --i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
  return text;
}

std::string littleEndian(std::uint64_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
  return text;
}

// A file far shorter than any whole file of its format holding the pixels
// its header claims is refused before a decoder reserves them, whatever the
// memory; whole pictures, and a BMP cut in half that gdk-pixbuf still shows,
// are not.
TEST(PictureFileCheck, AFileFarTooShortForItsPixelsIsRefused) {
  cv::Mat picture = texturedPicture(120, 100);
  cv::Mat grey, real;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  picture.convertTo(real, CV_32FC3, 1.0 / 255);
  const auto encoded = [](const cv::Mat& matrix, const char* extension) {
    std::vector<unsigned char> bytes;
    cv::imencode(extension, matrix, bytes);
    return std::string(bytes.begin(), bytes.end());
  };
  const std::string wholeBmp = encoded(picture, ".bmp");
  const struct {
    const char* what;
    std::string bytes;
    bool refused;
  } cases[] = {
      {"PNG claiming 38000 x 38000 in 65 bytes",
       std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13, 4) + "IHDR" + bigEndian(38000, 4) + bigEndian(38000, 4) +
           std::string("\x08\x02\0\0\0", 5) + std::string(36, '\0'), true},
      {"JPEG frame header and its end", std::string("\xFF\xD8\xFF\xC0", 4) + bigEndian(11, 2) + '\x08' +
                                            bigEndian(30000, 2) + bigEndian(30000, 2) + std::string("\x01\x01\x11\0", 4) +
                                            "\xFF\xD9", true},
      {"BMP header", wholeBmp.substr(0, 54).replace(18, 8, littleEndian(20000, 4) + littleEndian(20000, 4)), true},
      {"PPM header", "P6\n20000 20000\n255\n" + std::string(1000, '\x40'), true},
      {"PAM header", "P7\nWIDTH 20000\nHEIGHT 20000\nDEPTH 3\nMAXVAL 255\nENDHDR\n", true},
      {"PFM header", "Pf\n20000 20000\n-1.0\n", true},
      {"Radiance HDR header", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 20000 +X 20000\n", true},
      {"Sun raster header", bigEndian(0x59A66A95, 4) + bigEndian(20000, 4) + bigEndian(20000, 4) + bigEndian(24, 4) +
                                bigEndian(0, 4) + bigEndian(1, 4) + bigEndian(0, 4) + bigEndian(0, 4), true},
      {"uncompressed TIFF header", std::string("II*\0", 4) + littleEndian(8, 4) + littleEndian(2, 2) + littleEndian(256, 2) +
                                       littleEndian(4, 2) + littleEndian(1, 4) + littleEndian(20000, 4) +
                                       littleEndian(257, 2) + littleEndian(4, 2) + littleEndian(1, 4) +
                                       littleEndian(20000, 4) + littleEndian(0, 4), true},
      {"whole PNG", encoded(picture, ".png"), false},
      {"whole JPEG", encoded(picture, ".jpg"), false},
      {"whole BMP", wholeBmp, false},
      {"BMP cut in half", wholeBmp.substr(0, wholeBmp.size() / 2 + 1), false},
      {"whole PPM", encoded(picture, ".ppm"), false},
      {"whole PBM", encoded(grey, ".pbm"), false},
      {"whole PAM", encoded(picture, ".pam"), false},
      {"whole PFM", encoded(real, ".pfm"), false},
      {"whole Radiance HDR", encoded(real, ".hdr"), false},
      {"whole Sun raster", encoded(picture, ".sr"), false},
      {"whole TIFF", encoded(picture, ".tif"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TemporaryPicture file(c.bytes, ".picture");
    const std::string message = PictureFileCheck::sizeRefusal(file.path(), UINT64_MAX);
    EXPECT_EQ(PictureFileCheck::detectionRefusal(file.path(), UINT64_MAX), message);
    if (!c.refused) {
      EXPECT_EQ(message, "");
      continue;
    }
    EXPECT_NE(message.find("The picture " + file.path() + " is "), std::string::npos) << message;
    EXPECT_NE(message.find(" bytes are far too few to hold them."), std::string::npos) << message;
  }
}

// A file that a decoder takes but whose size cannot be read is refused in
// the windows as in the analyses, without asking a decoder; a format OpenCV
// does not take is refused for the analyses rather than decoded unchecked,
// and left to the windows' decoder.
TEST(PictureFileCheck, AFileWhoseSizeIsNotReadIsRefusedBeforeAnyDecoder) {
  const std::string noSize = "in a form whose size cannot be read from its header.";
  const std::string notAnalysed = "in a format the analyses do not read.";
  const struct {
    const char* what;
    std::string bytes;
    std::string windowRefusal;
    std::string analysisRefusal;
  } cases[] = {
      {"BMP claiming a header of 2 GB, which gdk-pixbuf reserves",
       "BM" + littleEndian(26, 4) + littleEndian(0, 4) + littleEndian(26, 4) + littleEndian(0x7FFFFFF0, 4) +
           littleEndian(1, 4) + littleEndian(1, 4), noSize, noSize},
      {"BMP of an unknown header size", "BM" + littleEndian(134, 4) + littleEndian(0, 4) + littleEndian(134, 4) +
                                            littleEndian(120, 4) + littleEndian(2, 4) + littleEndian(2, 4) +
                                            std::string(104, '\0'), noSize, noSize},
      {"DICOM", std::string(128, '\0') + "DICM" + std::string(64, '\0'), noSize, noSize},
      {"GIF", "GIF89a" + littleEndian(10, 2) + littleEndian(10, 2) + std::string(20, '\0'), "", notAnalysed},
      {"PGM that only gdk-pixbuf takes", "P520 10 255\n" + std::string(200, '\x40'), "", notAnalysed},
      {"text", "no picture", "", notAnalysed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TemporaryPicture file(c.bytes, ".picture");
    const auto refusal = [&](const std::string& reason) { return reason.empty() ? "" : "The picture " + file.path() + " is " + reason; };
    EXPECT_EQ(PictureFileCheck::sizeRefusal(file.path()), refusal(c.windowRefusal));
    EXPECT_EQ(PictureFileCheck::detectionRefusal(file.path()), refusal(c.analysisRefusal));
  }
  // A WebP, which the analyses read, is judged by the size it claims.
  const TemporaryPicture webp("RIFF" + littleEndian(100, 4) + "WEBPVP8X" + littleEndian(10, 4) + littleEndian(0, 4) +
                                  littleEndian(14999, 3) + littleEndian(14999, 3) + std::string(16, '\0'),
                              ".webp");
  EXPECT_NE(PictureFileCheck::detectionRefusal(webp.path(), 1u << 30).find("15000 x 15000 pixels: a detection"),
            std::string::npos);
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
