// A detection that runs out of memory says so: each detector is run in a
// child process whose address space cannot grow by what the detection needs.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <opencv2/core.hpp>
#include <string>

#include "ProgramProfile.h"
#include "TemporaryPicture.h"
#include "regionDetectorCyst.h"
#include "regionDetectorEdgesZelvora.h"

namespace {

// A sanitizer reserves address space of its own and stops the process when
// an allocation fails, so a limit on the address space tells nothing there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

// Lets the calling process's address space grow by `room` bytes beyond its
// size now.
void limitGrowth(std::size_t room) {
  std::ifstream status("/proc/self/status");
  std::size_t kilobytes = 0;
  for (std::string field; status >> field;)
    if (field == "VmSize:") {
      status >> kilobytes;
      break;
    }
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = kilobytes * 1024 + room;
  setrlimit(RLIMIT_AS, &limit);
}

// 3000 x 3000 pixels of stripes: 27 MB as read, more than twice that for
// either detection.
cv::Mat largePicture() {
  cv::Mat picture(3000, 3000, CV_8UC3);
  for (int row = 0; row < picture.rows; ++row) picture.row(row).setTo(cv::Scalar::all((row / 40) % 2 ? 200 : 40));
  return picture;
}

constexpr std::size_t room = 64u << 20;

TEST(OutOfMemory, TheCellSearchThrowsBadAllocAndKeepsNoContour) {
  if (sanitized) GTEST_SKIP() << "address space limits do not apply under a sanitizer";
  const TemporaryPicture file(largePicture(), ".bmp");
  regionDetectorEdgesZelvora detector;
  detector.setFilename(file.path());
  ASSERT_EQ(detector.getImageWidth(), 3000);
  EXPECT_EXIT(
      {
        limitGrowth(room);
        try {
          detector.processImage(0);
        } catch (const std::bad_alloc&) {
          std::_Exit(detector.getXCoordinates().empty() ? 0 : 2);
        }
        std::_Exit(1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(OutOfMemory, TheCystDetectionFailsWithItsOwnCode) {
  if (sanitized) GTEST_SKIP() << "address space limits do not apply under a sanitizer";
  ProgramProfile::select(ProgramProfile::cavitra());
  const TemporaryPicture file(largePicture(), ".bmp");
  EXPECT_EXIT(
      {
        limitGrowth(room);
        regionDetectorCyst detector(file.path(), 40, 1000);
        try {
          detector.compute(0);
        } catch (int code) {
          std::_Exit(code == regionDetector::outOfMemory ? 0 : 10 + code);
        }
        std::_Exit(1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
