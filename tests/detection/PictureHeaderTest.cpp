// A picture's size is read from its header's own bytes for every format its
// decoders take: the size they give (the larger, where OpenCV and gdk-pixbuf
// read a header apart), and a header that claims billions of pixels is read
// without room being reserved for them.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <utility>
#include <vector>

#include "AddressSpaceLimit.h"
#include "EndsWithin.h"
#include "PictureFileCheck.h"
#include "PictureHeader.h"
#include "TemporaryPicture.h"

namespace {

std::string littleEndian(std::uint64_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i) text += static_cast<char>((value >> (8 * i)) & 0xFF);
  return text;
}

std::string bigEndian(std::uint64_t value, int bytes) {
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

// An uncompressed 8-bit grey TIFF of `width` x `height` pixels whose first
// directory holds `entries` (tag, SHORT value) in their order, then the
// entries that place its one strip.
std::string tiffWithEntries(bool little, int width, int height, const std::vector<std::pair<int, int>>& entries) {
  const auto number = [little](std::uint32_t value, int bytes) {
    return little ? littleEndian(value, bytes) : bigEndian(value, bytes);
  };
  const auto entry = [&](int tag, int type, std::uint32_t value) {
    return number(tag, 2) + number(type, 2) + number(1, 4) +
           (type == 3 ? number(value, 2) + std::string(2, '\0') : number(value, 4));
  };
  const std::uint32_t count = static_cast<std::uint32_t>(entries.size()) + 5;
  const std::uint32_t pixelsAt = 8 + 2 + 12 * count + 4;
  std::string directory = number(count, 2);
  for (const auto& [tag, value] : entries) directory += entry(tag, 3, static_cast<std::uint32_t>(value));
  directory += entry(258, 3, 8) + entry(262, 3, 1) + entry(273, 4, pixelsAt) + entry(278, 3, height) +
               entry(279, 4, static_cast<std::uint32_t>(width * height)) + number(0, 4);
  return std::string(little ? "II*\0" : "MM\0*", 4) + number(8, 4) + directory +
         std::string(static_cast<std::size_t>(width * height), '\x80');
}

// A BMP of 24-bit pixels with an information header of `headerSize` bytes
// (12: the core header; else the sides, planes, depth and no compression,
// zeros after them).
std::string bmpOfHeaderSize(std::uint32_t headerSize, int width, int height) {
  const std::uint32_t pixelBytes = (3 * width + 3) / 4 * 4 * static_cast<std::uint32_t>(height < 0 ? -height : height);
  std::string info = headerSize == 12 ? littleEndian(12, 4) + littleEndian(width, 2) + littleEndian(height, 2) +
                                            littleEndian(1, 2) + littleEndian(24, 2)
                                      : littleEndian(headerSize, 4) + littleEndian(width, 4) +
                                            littleEndian(static_cast<std::uint32_t>(height), 4) + littleEndian(1, 2) +
                                            littleEndian(24, 2);
  info.resize(headerSize, '\0');
  return "BM" + littleEndian(14 + headerSize + pixelBytes, 4) + littleEndian(0, 4) + littleEndian(14 + headerSize, 4) +
         info + std::string(pixelBytes, '\x60');
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

// The size OpenCV decodes for the analyses, 0 x 0 when it decodes nothing.
Claimed openCvSize(const std::string& path) {
  try {
    const cv::Mat decoded = cv::imread(path, cv::IMREAD_COLOR | cv::IMREAD_IGNORE_ORIENTATION);
    return {decoded.cols, decoded.rows};
  } catch (const cv::Exception&) {
    return {};
  }
}

// Every format either decoder takes, as OpenCV writes it: the size read is
// the size each decoder that takes the format gives.
TEST(PictureHeader, TheSizeReadIsTheSizeTheDecodersGive) {
  cv::Mat picture(19, 37, CV_8UC3);
  cv::randu(picture, cv::Scalar::all(0), cv::Scalar::all(255));
  const cv::Mat strip(300, 1, CV_8UC3, cv::Scalar(40, 80, 120));
  cv::Mat grey, real;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  picture.convertTo(real, CV_32FC3, 1.0 / 255);
  std::vector<std::string> files = {
      std::string(LUMORA_DATA_DIR) + "/gonada.ppm",
      std::string(CAVITRA_DATA_DIR) + "/liver2.ppm",
  };
  std::vector<std::unique_ptr<TemporaryPicture>> written;
  for (const char* extension : {".png", ".jpg", ".bmp", ".ppm", ".tif", ".webp", ".sr", ".pam"}) {
    written.push_back(std::make_unique<TemporaryPicture>(picture, extension));
    written.push_back(std::make_unique<TemporaryPicture>(strip, extension));
  }
  // OpenJPEG writes no picture smaller than its resolution levels.
  cv::Mat larger;
  cv::resize(picture, larger, cv::Size(), 4, 4);
  written.push_back(std::make_unique<TemporaryPicture>(larger, ".jp2"));
  for (const char* extension : {".pgm", ".pbm"}) written.push_back(std::make_unique<TemporaryPicture>(grey, extension));
  // Formats of real-valued pixels.
  for (const char* extension : {".pfm", ".hdr", ".exr"}) written.push_back(std::make_unique<TemporaryPicture>(real, extension));
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
    const Claimed decoded = openCvSize(file);
    EXPECT_EQ(width, decoded.width);
    EXPECT_EQ(height, decoded.height);
    // gdk-pixbuf reads some of these formats only.
    const Claimed pixbuf = pixbufSize(file);
    if (pixbuf.width == 0) continue;
    EXPECT_EQ(width, pixbuf.width);
    EXPECT_EQ(height, pixbuf.height);
  }
}

// Headers that the last reading of a repeated entry, or one decoder's
// reading, told smaller than a decoder decodes them. Each is read at the
// size told, which one decoder gives, and no decoder gives more.
TEST(PictureHeader, NoDecoderDecodesMoreThanTheSizeRead) {
  const std::string pixels(40 * 30, '\x80');
  const struct {
    const char* what;
    std::string bytes;
    const char* extension;
    int width;
    int height;
  } cases[] = {
      {"TIFF whose sides are told again as 1 x 1", tiffWithEntries(true, 40, 30, {{256, 40}, {256, 1}, {257, 30}, {257, 1}}),
       ".tif", 40, 30},
      {"big-endian TIFF whose sides are told again", tiffWithEntries(false, 40, 30, {{256, 40}, {257, 30}, {256, 1}, {257, 1}}),
       ".tif", 40, 30},
      {"PGM with a '#' right after the width (OpenCV reads the comment as the height)", "P5 40#30\n1 255\n" + pixels,
       ".pgm", 40, 30},
      {"PGM with a '#' right after the width (gdk-pixbuf skips the comment)", "P5 40# 1\n30 255\n" + pixels, ".pgm", 40, 30},
      {"PGM with a comment ended by a carriage return", "P5\n# made\r1 1\n40 30\n255\n" + pixels, ".pgm", 40, 30},
      {"PGM without a blank after its magic number", "P540 30 255\n" + pixels, ".pgm", 40, 30},
      {"PAM with a comment ended by a carriage return",
       "P7\n# made\rWIDTH 40\nHEIGHT 30\nDEPTH 1\nMAXVAL 255\nTUPLTYPE GRAYSCALE\nENDHDR\n" + pixels, ".pam", 40, 30},
      {"Radiance HDR whose width is beyond an int", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 3 +X 4294967301\n" +
       std::string(5 * 3 * 4, '\x80'), ".hdr", 5, 3},
      {"JPEG with bytes before a marker", std::string(), ".jpg", 37, 19},
      {"BMP of the 64-byte OS/2 header", bmpOfHeaderSize(64, 5, -3), ".bmp", 5, 3},
      {"BMP of the 108-byte header", bmpOfHeaderSize(108, 5, 3), ".bmp", 5, 3},
      {"BMP of the 124-byte header", bmpOfHeaderSize(124, 5, 3), ".bmp", 5, 3},
      {"BMP of the 12-byte core header", bmpOfHeaderSize(12, 5, 3), ".bmp", 5, 3},
  };
  cv::Mat picture(19, 37, CV_8UC3, cv::Scalar(10, 200, 30));
  std::vector<unsigned char> jpeg;
  cv::imencode(".jpg", picture, jpeg);
  // Bytes that are no marker after the start marker's segment: libjpeg
  // skips them.
  std::string junkJpeg(jpeg.begin(), jpeg.end());
  junkJpeg.insert(2, "\x12\x34\x56");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TemporaryPicture file(c.bytes.empty() ? junkJpeg : c.bytes, c.extension);
    int width = 0, height = 0;
    ASSERT_TRUE(PictureHeader::readSize(file.path(), width, height));
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    bool decodedAtTheSize = false;
    for (const Claimed& decoded : {openCvSize(file.path()), pixbufSize(file.path())}) {
      EXPECT_LE(decoded.width, width);
      EXPECT_LE(decoded.height, height);
      decodedAtTheSize = decodedAtTheSize || (decoded.width == width && decoded.height == height);
    }
    EXPECT_TRUE(decodedAtTheSize);
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
      {"BigTIFF", std::string("II+\0", 4) + littleEndian(8, 2) + littleEndian(0, 2) + littleEndian(16, 4) + littleEndian(0, 4) +
                      littleEndian(2, 8) + littleEndian(256, 2) + littleEndian(4, 2) + littleEndian(1, 8) +
                      littleEndian(50000, 8) + littleEndian(257, 2) + littleEndian(16, 2) + littleEndian(1, 8) +
                      littleEndian(40000, 8), 50000, 40000},
      {"WebP whose extended header tells the canvas", "RIFF" + littleEndian(100, 4) + "WEBPVP8X" + littleEndian(10, 4) +
                                                          littleEndian(0, 4) + littleEndian(14999, 3) +
                                                          littleEndian(14999, 3) + std::string(16, '\0'), 15000, 15000},
      {"PAM", "P7\nWIDTH 40000\nHEIGHT 30000\nDEPTH 3\nMAXVAL 255\nENDHDR\n", 40000, 30000},
      {"PFM", "PF\n40000 30000\n-1.0\n", 40000, 30000},
      {"Radiance HDR", "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 30000 +X 40000\n", 40000, 30000},
      {"Sun raster", bigEndian(0x59A66A95, 4) + bigEndian(40000, 4) + bigEndian(30000, 4) + bigEndian(24, 4) +
                         bigEndian(0, 4) + bigEndian(1, 4) + bigEndian(0, 4) + bigEndian(0, 4), 40000, 30000},
      {"JPEG 2000 codestream", std::string("\xFF\x4F\xFF\x51", 4) + bigEndian(41, 2) + bigEndian(0, 2) +
                                   bigEndian(40100, 4) + bigEndian(30200, 4) + bigEndian(100, 4) + bigEndian(200, 4),
       40000, 30000},
      {"OpenEXR", std::string("\x76\x2F\x31\x01\x02\0\0\0", 8) + "dataWindow" + '\0' + "box2i" + '\0' +
                      littleEndian(16, 4) + littleEndian(0, 4) + littleEndian(0, 4) + littleEndian(39999, 4) +
                      littleEndian(29999, 4) + '\0', 40000, 30000},
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

// No size is read from a file no decoder takes by a format read here, nor
// from a header that its decoders refuse or that no picture has.
TEST(PictureHeader, NoSizeIsReadFromAnyOtherFile) {
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"text", "width 10 height 10"},
      {"GIF, which OpenCV does not read", "GIF89a" + littleEndian(10, 2) + littleEndian(10, 2) + std::string(20, '\0')},
      {"PNG without its header chunk", std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13, 4) + "IDAT" +
                                           std::string(13, '\1')},
      {"BMP of an unknown header size", bmpOfHeaderSize(200, 5, 3)},
      {"BMP claiming a header of 2 GB", "BM" + std::string(12, '\0') + littleEndian(0x7FFFFFF0, 4) + std::string(16, '\1')},
      {"BMP of no width", bmpCoreHeader(0, 5)},
      {"JPEG whose data comes before any frame header", std::string("\xFF\xD8\xFF\xDA\0\x02\xFF\xD9", 8)},
      {"JPEG cut in its frame header", jpegHeader(10, 10).substr(0, 25)},
      {"TIFF without a height", tiffHeader(true, 10, 10, true).substr(0, 22) + std::string(12, '\0')},
      {"TIFF whose width is told twice over in one entry", tiffWithEntries(true, 4, 4, {{256, 4}, {257, 4}}).replace(14, 4,
                                                                                                     littleEndian(2, 4))},
      {"PPM whose width goes beyond an int", "P6\n99999999999 3\n255\n"},
      {"PPM cut after its width", "P6\n12"},
      {"PPM whose comment runs past any header's length", "P6\n#" + std::string(70000, 'x') + "\n4 4 255\n"},
      {"PAM telling its width twice", "P7\nWIDTH 4\nWIDTH 4\nHEIGHT 4\nDEPTH 1\nMAXVAL 255\nENDHDR\n"},
      {"PFM with a blank for its line break", "PF 4 4\n-1.0\n"},
      {"Radiance HDR without its format line", "#?RADIANCE\n\n-Y 4 +X 4\n"},
      {"DICOM, which OpenCV reads through another library", std::string(128, '\0') + "DICM" + std::string(64, '\0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TemporaryPicture file(c.bytes, ".picture");
    int width = 0, height = 0;
    EXPECT_FALSE(PictureHeader::readSize(file.path(), width, height));
  }
}

}  // namespace
