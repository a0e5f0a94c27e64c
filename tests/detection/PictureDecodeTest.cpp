// An analysis reads its picture as a file from anyone: a pipe, a folder or a
// device is refused before anything reads it, and the decoder's own size is
// judged before the decoder reserves the pixels.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <opencv2/core.hpp>
#include <string>
#include <thread>

#include "EndsWithin.h"
#include "PictureDecodeBound.h"
#include "PictureFileCheck.h"
#include "ProcessFigure.h"
#include "TemporaryPicture.h"
#include "WatchedPipe.h"
#include "imageConversor.h"
#include "regionDetectorEdges.h"

namespace fs = std::filesystem;

namespace {

// The memory an analysis may use for a picture of at most `pixels` pixels.
std::uint64_t limitForPixels(std::uint64_t pixels) { return pixels * PictureFileCheck::detectionBytesPerPixel; }

// The process's peak and present size, in kB.
std::size_t peakSize() { return processFigure("/proc/self/status", "VmPeak:"); }
std::size_t presentSize() { return processFigure("/proc/self/status", "VmSize:"); }

TEST(PictureDecodeBound, RefusesAMatrixOfItsThreadBeyondTheLimitBeforeReservingIt) {
  const std::uint64_t limit = limitForPixels(100 * 100);
  {
    PictureDecodeBound bound("picture.png", limit);
    EXPECT_NO_THROW(cv::Mat(100, 100, CV_8UC3));
    EXPECT_EQ(bound.refusal(), "");
    try {
      cv::Mat(101, 100, CV_8UC3);
      ADD_FAILURE() << "a matrix beyond the limit was made";
    } catch (const cv::Exception& error) {
      EXPECT_EQ(error.code, cv::Error::StsNoMem);
    }
    EXPECT_EQ(bound.refusal(), PictureFileCheck::detectionRefusal("picture.png", 100, 101, limit));
    // The matrices of another thread are no part of this picture.
    std::atomic<bool> made{false};
    std::thread([&made] {
      cv::Mat(1000, 1000, CV_8UC3);
      made = true;
    }).join();
    EXPECT_TRUE(made);
  }
  EXPECT_NO_THROW(cv::Mat(1000, 1000, CV_8UC3));
}

// Pictures whose header, read apart from the decoder, tells no size or
// another size: a PAM header, a format the header reader does not know, and
// a TIFF telling its size twice, read by its last entries as 1 x 1 while the
// decoder keeps the first. Either decoder would reserve 20000 x 20000
// pixels (1.2 GB in colour) before finding that no pixel data follows.
TEST(PictureDecode, TheAnalysisJudgesTheSizeTheDecoderReadsBeforeItReservesThePixels) {
  const TemporaryPicture pam("P7\nWIDTH 20000\nHEIGHT 20000\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n", ".pam");
  const std::uint64_t limit = limitForPixels(1000 * 1000);
  for (const std::string& file :
       {pam.path(), std::string(UNTRUSTED_PICTURES) + "/two-sizes-20000x20000-then-1x1.tif"}) {
    SCOPED_TRACE(file);
    const std::size_t sizeBefore = presentSize();
    ASSERT_LT(peakSize() - sizeBefore, 600u << 10) << "fixture: a peak this high would hide a reservation";
    std::string refusal;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(readColourPicture(file, &refusal, limit).empty());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(refusal, PictureFileCheck::detectionRefusal(file, 20000, 20000, limit));
    EXPECT_LT(peakSize() - sizeBefore, 600u << 10);
  }
}

TEST(PictureDecode, APictureThatIsNotARegularFileIsRefusedBeforeAnythingReadsIt) {
  const fs::path folder = fs::temp_directory_path() / ("picture-decode-" + std::to_string(getpid()));
  fs::create_directories(folder / "folder.png");
  {
    const WatchedPipe pipe(folder / "pipe.png");
    for (const fs::path& file : {pipe.path(), folder / "folder.png", fs::path("/dev/zero")}) {
      EXPECT_TRUE(endsWithin(20, [&file] {
        const std::string refused = PictureFileCheck::notRegularMessage(file.string());
        std::string refusal;
        testing::internal::CaptureStdout();
        if (!readColourPicture(file.string(), &refusal).empty() || refusal != refused) _exit(1);
        regionDetectorEdges detector;
        try {
          detector.setFilename(file.string());
          _exit(2);
        } catch (int) {
          if (detector.getReadRefusal() != refused) _exit(3);
        }
      })) << file;
    }
    EXPECT_EQ(pipe.readersLetGo(), 0);
  }
  fs::remove_all(folder);
}

}  // namespace
