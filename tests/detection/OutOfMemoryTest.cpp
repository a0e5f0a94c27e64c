// A detection that runs out of memory says so: each detector is run in a
// child process whose address space cannot grow by what the detection needs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <opencv2/core.hpp>

#include "AddressSpaceLimit.h"
#include "ProgramProfile.h"
#include "TemporaryPicture.h"
#include "regionDetectorCyst.h"
#include "regionDetectorEdgesZelvora.h"

namespace {

// 3000 x 3000 pixels of stripes: 27 MB as read, more than twice that for
// either detection.
cv::Mat largePicture() {
  cv::Mat picture(3000, 3000, CV_8UC3);
  for (int row = 0; row < picture.rows; ++row) picture.row(row).setTo(cv::Scalar::all((row / 40) % 2 ? 200 : 40));
  return picture;
}

constexpr std::size_t room = 64u << 20;

TEST(OutOfMemory, TheCellSearchThrowsBadAllocAndKeepsNoContour) {
  if (!addressSpaceLimitsApply) GTEST_SKIP() << "address space limits do not apply under a sanitizer";
  const TemporaryPicture file(largePicture(), ".bmp");
  regionDetectorEdgesZelvora detector;
  detector.setFilename(file.path());
  ASSERT_EQ(detector.getImageWidth(), 3000);
  EXPECT_EXIT(
      {
        limitAddressSpaceGrowth(room);
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
  if (!addressSpaceLimitsApply) GTEST_SKIP() << "address space limits do not apply under a sanitizer";
  ProgramProfile::select(ProgramProfile::cavitra());
  const TemporaryPicture file(largePicture(), ".bmp");
  EXPECT_EXIT(
      {
        limitAddressSpaceGrowth(room);
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
