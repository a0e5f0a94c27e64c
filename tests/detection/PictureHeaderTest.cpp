// A picture's size is read from its header's own bytes for the formats the
// programs open: the same size the decoders give, and a header that claims
// billions of pixels is read without room being reserved for them.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "AddressSpaceLimit.h"
#include "EndsWithin.h"
#include "PictureFileCheck.h"
#include "PictureHeader.h"
#include "TemporaryPicture.h"

namespace {

std::string littleEndian(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
  return text;
}

std::string bigEndian(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = bytes - 1; i >= 0; --i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
  return text;
}

// The 54 bytes before the pixels of a 24-bit BMP with the 40-byte
// information header; a negative height stores the rows from the top.
std::string bmpHeader(int width, int height, std::uint32_t pixelBytes) {
  return "BM" + littleEndian(54 + pixelBytes, 4) + littleEndian(0, 4) + littleEndian(54, 4) + littleEndian(40, 4) +
         littleEndian(width, 4) + littleEndian(static_cast<std::uint32_t>(height), 4) + littleEndian(1, 2) +
         littleEndian(24, 2) + littleEndian(0, 4) + littleEndian(pixelBytes, 4) + std::string(16, '\0');
}

std::string bmp(int width, int height) {
  const std::uint32_t pixelBytes = (3 * width + 3) / 4 * 4 * static_cast<std::uint32_t>(height < 0 ? -height : height);
  return bmpHeader(width, height, pixelBytes) + std::string(pixelBytes, '\x60');
}

// The 26 bytes of a BMP with the 12-byte core header: file header and sides.
std::string bmpCoreHeader(int width, int height) {
  return "BM" + littleEndian(26, 4) + littleEndian(0, 4) + littleEndian(26, 4) + littleEndian(12, 4) +
         littleEndian(width, 2) + littleEndian(height, 2) + littleEndian(1, 2) + littleEndian(24, 2);
}

// The start of a JPEG up to its frame header, after an application segment.
std::string jpegHeader(int width, int height) {
  return std::string("\xFF\xD8\xFF\xE0", 4) + bigEndian(16, 2) + std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14) +
         "\xFF\xFF\xC0" + bigEndian(17, 2) + '\x08' + bigEndian(height, 2) + bigEndian(width, 2) + '\x03';
}

// A TIFF whose first directory holds the width and height only.
std::string tiffHeader(bool little, int width, int height, bool asLong) {
  const auto number = [little](std::uint32_t value, int bytes) {
    return little ? littleEndian(value, bytes) : bigEndian(value, bytes);
  };
  const auto entry = [&](int tag, int value) {
    const std::string field = asLong ? number(value, 4) : number(value, 2) + std::string(2, '\0');
    return number(tag, 2) + number(asLong ? 4 : 3, 2) + number(1, 4) + field;
  };
  return std::string(little ? "II*\0" : "MM\0*", 4) + number(8, 4) + number(2, 2) + entry(256, width) +
         entry(257, height) + number(0, 4);
}

struct Claimed {
  int width = 0;
  int height = 0;
};

// The size gdk-pixbuf decodes, as the canvas reads the picture.
Claimed pixbufSize(const std::string& path) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (pixbuf == nullptr) return {};
  const Claimed size{gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf)};
  g_object_unref(pixbuf);
  return size;
}

TEST(PictureHeader, TheSizeReadIsTheSizeTheDecodersGive) {
  cv::Mat picture(19, 37, CV_8UC3);
  cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(255));
  const cv::Mat strip(300, 1, CV_8UC3, cv::Scalar(40, 80, 120));
  cv::Mat grey;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  std::vector<std::string> files = {
      std::string(LUMORA_DATA_DIR) + "/gonada.ppm",
      std::string(CAVITRA_DATA_DIR) + "/liver2.ppm",
  };
  std::vector<std::unique_ptr<TemporaryPicture>> written;
  for (const char* extension : {".png", ".jpg", ".bmp", ".ppm", ".tif"}) {
    written.push_back(std::make_unique<TemporaryPicture>(picture, extension));
    written.push_back(std::make_unique<TemporaryPicture>(strip, extension));
  }
  for (const char* extension : {".pgm", ".pbm"}) written.push_back(std::make_unique<TemporaryPicture>(grey, extension));
  written.push_back(std::make_unique<TemporaryPicture>(bmp(5, -3), ".bmp"));
  written.push_back(std::make_unique<TemporaryPicture>(
      "P6 # a comment between the numbers\n# and a line of its own\n4\n2 255\n" + std::string(4 * 2 * 3, '\x70'),
      ".ppm"));
  std::vector<unsigned char> progressive;
  cv::imencode(".jpg", picture, progressive, {cv::IMWRITE_JPEG_PROGRESSIVE, 1});
  written.push_back(std::make_unique<TemporaryPicture>(std::string(progressive.begin(), progressive.end()), ".jpg"));
  for (const auto& file : written) files.push_back(file->path());

  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    int width = 0, height = 0;
    ASSERT_TRUE(PictureHeader::readSize(file, width, height));
    const cv::Mat decoded = cv::imread(file, cv::IMREAD_UNCHANGED);
    EXPECT_EQ(width, decoded.cols);
    EXPECT_EQ(height, decoded.rows);
    const Claimed pixbuf = pixbufSize(file);
    EXPECT_EQ(width, pixbuf.width);
    EXPECT_EQ(height, pixbuf.height);
  }
}

TEST(PictureHeader, AHeaderClaimingBillionsOfPixelsIsReadWithoutRoomForThem) {
  const struct {
    const char* what;
    std::string bytes;
    int width;
    int height;
  } cases[] = {
      {"BMP core header", bmpCoreHeader(32768, 32768), 32768, 32768},
      {"BMP stored from the top", bmpHeader(100000, -70000, 0), 100000, 70000},
      {"PNG", std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13, 4) + "IHDR" + bigEndian(60000, 4) +
                  bigEndian(60000, 4) + std::string("\x08\x02\0\0\0", 5), 60000, 60000},
      {"JPEG", jpegHeader(65535, 65535), 65535, 65535},
      {"TIFF, little-endian, long sides", tiffHeader(true, 40000, 30000, true), 40000, 30000},
      {"TIFF, big-endian, short sides", tiffHeader(false, 65535, 2, false), 65535, 2},
      {"PPM", "P6\n# made by hand\n70000 3\n255\n", 70000, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TemporaryPicture file(c.bytes, ".picture");
    // A reservation of the claimed pixels would not fit in the room left.
    EXPECT_TRUE(endsWithin(120, [&] {
      if (addressSpaceLimitsApply) limitAddressSpaceGrowth(std::size_t{256} << 20);
      int width = 0, height = 0;
      if (!PictureFileCheck::readSize(file.path(), width, height) || width != c.width || height != c.height) _exit(1);
    }));
  }
}

TEST(PictureHeader, AnyOtherFileIsLeftToThePictureLoader) {
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"text", "width 10 height 10"},
      {"PNG without its header chunk", std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13, 4) + "IDAT" +
                                           std::string(13, '\1')},
      {"BMP of an unknown header size", "BM" + std::string(12, '\0') + littleEndian(20, 4) + std::string(16, '\1')},
      {"BMP of no width", bmpCoreHeader(0, 5)},
      {"JPEG whose data comes before any frame header", std::string("\xFF\xD8\xFF\xDA\0\x02\xFF\xD9", 8)},
      {"JPEG cut in its frame header", jpegHeader(10, 10).substr(0, 25)},
      {"TIFF without a height", tiffHeader(true, 10, 10, true).substr(0, 22) + std::string(12, '\0')},
      {"PPM whose width goes beyond an int", "P6\n99999999999 3\n255\n"},
      {"PPM cut after its width", "P6\n12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TemporaryPicture file(c.bytes, ".picture");
    int width = 0, height = 0;
    EXPECT_FALSE(PictureHeader::readSize(file.path(), width, height));
  }
}

}  // namespace
