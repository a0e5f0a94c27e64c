// The windows read a picture as a file from anyone: a pipe, a folder or a
// device is refused before anything reads it, the size the decoder itself
// reads is judged before it reserves the pixels, and every picture opens as
// gdk-pixbuf's own reading of the file opens it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "PictureFileCheck.h"
#include "PictureRead.h"
#include "ProcessFigure.h"
#include "WatchedPipe.h"

namespace fs = std::filesystem;

namespace {

class PictureReadTest : public ::testing::Test {
 protected:
  PictureReadTest() : folder(fs::temp_directory_path() / ("picture-read-" + std::to_string(getpid()))) {
    fs::create_directories(folder);
  }
  ~PictureReadTest() override { fs::remove_all(folder); }

  fs::path write(const std::string& name, const std::string& bytes) const {
    const fs::path file = folder / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

  fs::path folder;
};

// The bytes of a literal, its zeros included.
template <std::size_t N>
std::string binary(const char (&text)[N]) {
  return std::string(text, N - 1);
}

std::string encoded(const std::string& extension, const std::vector<int>& options = {}) {
  cv::Mat picture(37, 53, CV_8UC3);
  cv::RNG(11).fill(picture, cv::RNG::UNIFORM, 0, 256);
  std::vector<unsigned char> bytes;
  cv::imencode(extension, picture, bytes, options);
  return std::string(bytes.begin(), bytes.end());
}

// Whether two pictures hold the same pixels, byte for byte.
bool samePixels(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& b) {
  if (a->get_width() != b->get_width() || a->get_height() != b->get_height() ||
      a->get_n_channels() != b->get_n_channels() || a->get_has_alpha() != b->get_has_alpha())
    return false;
  const int rowBytes = a->get_width() * a->get_n_channels();
  for (int row = 0; row < a->get_height(); ++row)
    if (!std::equal(a->get_pixels() + row * a->get_rowstride(), a->get_pixels() + row * a->get_rowstride() + rowBytes,
                    b->get_pixels() + row * b->get_rowstride()))
      return false;
  return true;
}

TEST_F(PictureReadTest, APictureThatIsNotARegularFileIsRefusedBeforeAnythingReadsIt) {
  fs::create_directory(folder / "folder.png");
  const WatchedPipe pipe(folder / "pipe.png");
  for (const fs::path& file : {pipe.path(), folder / "folder.png", fs::path("/dev/zero")}) {
    const PictureRead read(file.string());
    EXPECT_FALSE(read.picture()) << file;
    EXPECT_EQ(read.refusal(), PictureFileCheck::notRegularMessage(file.string()));
    EXPECT_EQ(read.failure(), read.refusal());
  }
  EXPECT_EQ(pipe.readersLetGo(), 0);
}

// A TIFF telling its size twice: read by its last entries it is 1 x 1, but
// the decoder keeps the first and would reserve 20000 x 20000 pixels (1.6 GB)
// before finding that no pixel data follows.
TEST_F(PictureReadTest, TheSizeTheDecoderReadsIsJudgedBeforeItReservesThePixels) {
  const std::string file = std::string(UNTRUSTED_PICTURES) + "/two-sizes-20000x20000-then-1x1.tif";
  const std::uint64_t limit = 1000 * 1000 * PictureFileCheck::decodedBytesPerPixel;
  const auto figure = [](const char* field) { return processFigure("/proc/self/status", field); };
  const std::size_t sizeBefore = figure("VmSize:");
  ASSERT_LT(figure("VmPeak:") - sizeBefore, 800u << 10) << "fixture: a peak this high would hide a reservation";
  const PictureRead read(file, limit);
  EXPECT_FALSE(read.picture());
  EXPECT_EQ(read.refusal(), PictureFileCheck::sizeRefusal(file, 20000, 20000, limit));
  EXPECT_LT(figure("VmPeak:") - sizeBefore, 800u << 10);
}

// Pictures whole and cut short, in the formats the toolkit reads: each opens,
// or is refused, as gdk-pixbuf's own reading of the file takes it, pixel for
// pixel (a JPEG cut short opens grey where its data ends; a PNG or a PPM cut
// short does not open).
TEST_F(PictureReadTest, EveryPictureOpensAsTheToolkitReadsTheFile) {
  const std::string png = encoded(".png"), jpeg = encoded(".jpg"),
                    progressive = encoded(".jpg", {cv::IMWRITE_JPEG_PROGRESSIVE, 1}), ppm = encoded(".ppm");
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"a.png", png},
      {"a.jpg", jpeg},
      {"progressive.jpg", progressive},
      {"a.bmp", encoded(".bmp")},
      {"a.ppm", ppm},
      {"a.tif", encoded(".tif")},
      {"text.pgm", "P2\n2 2\n255\n0 64 128 255\n"},
      {"a.gif", binary("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\xff,\x00\x00\x00\x00\x01\x00\x01"
                       "\x00\x00\x02\x02\x44\x01\x00;")},
      // No signature: the name tells the format.
      {"a.tga", binary("\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x02\x00\x18\x00"
                       "\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff")},
      {"a.xbm", "#define a_width 8\n#define a_height 2\nstatic unsigned char a_bits[] = {\n 0x01, 0x82 };\n"},
      {"cut.jpg", jpeg.substr(0, jpeg.size() / 2)},
      {"cut-progressive.jpg", progressive.substr(0, progressive.size() / 2)},
      {"cut.png", png.substr(0, png.size() / 2)},
      {"cut.ppm", ppm.substr(0, ppm.size() / 2)},
      {"text.png", "not a picture"},
      {"empty.png", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = write(c.name, c.bytes);
    Glib::RefPtr<Gdk::Pixbuf> reference;
    try {
      reference = Gdk::Pixbuf::create_from_file(file.string());
    } catch (const Glib::Error&) {
    }
    const PictureRead read(file.string());
    EXPECT_EQ(read.refusal(), "");
    ASSERT_EQ(static_cast<bool>(read.picture()), static_cast<bool>(reference)) << read.failure();
    if (reference)
      EXPECT_TRUE(samePixels(read.picture(), reference));
    else
      EXPECT_EQ(read.failure().rfind("PixbufError: ", 0), 0u) << read.failure();
  }
  const PictureRead missing((folder / "missing.png").string());
  EXPECT_FALSE(missing.picture());
  EXPECT_EQ(missing.failure().rfind("FileError: ", 0), 0u) << missing.failure();
}

}  // namespace
