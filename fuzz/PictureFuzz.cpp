// The detector's picture path on any bytes: a picture is refused or read, no
// larger than its header was read, its contours lie inside it, and each
// region has its 25 features or none.

#include <memory>
#include <vector>

#include "FuzzScratch.h"
#include "PictureFileCheck.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {
// The fuzzer's own budget: pictures this small are searched in milliseconds.
// The program's limit itself is tested by the unit tests.
constexpr std::uint64_t fuzzDecodedLimit = 512 * 512 * PictureFileCheck::decodedBytesPerPixel;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  const auto file = scratch.put("picture", data, size).string();
  int claimedWidth = 0, claimedHeight = 0;
  const bool sizeRead = PictureFileCheck::readSize(file, claimedWidth, claimedHeight);
  if (sizeRead && !PictureFileCheck::sizeRefusal(file, fuzzDecodedLimit).empty()) return 0;
  regionDetectorEdgesZelvora detector;
  try {
    detector.setFilename(file);
  } catch (int) {
    if (detector.getImageWidth() != 0 || detector.getImageHeight() != 0)
      invariantBroken("a refused picture left a size behind");
    return 0;
  }
  const int width = detector.getImageWidth();
  const int height = detector.getImageHeight();
  if (!sizeRead) invariantBroken("a picture whose size was not read was decoded");
  if (width > claimedWidth || height > claimedHeight) invariantBroken("a picture decoded larger than its header was read");
  detector.processImage(0);
  const auto xs = detector.getXCoordinates();
  const auto ys = detector.getYCoordinates();
  if (xs.size() != ys.size()) invariantBroken("contours have unequal coordinate lists");
  for (std::size_t k = 0; k < xs.size(); ++k) {
    if (xs[k].size() != ys[k].size()) invariantBroken("a contour has unequal coordinate lists");
    regionShape region(0, true, false, false, false, 0, 0, 0);
    for (std::size_t i = 0; i < xs[k].size(); ++i) {
      if (xs[k][i] < 0 || xs[k][i] >= width || ys[k][i] < 0 || ys[k][i] >= height)
        invariantBroken("a contour leaves the picture");
      region.addLinePoint(static_cast<double>(xs[k][i]) / width, static_cast<double>(ys[k][i]) / height);
    }
    const std::vector<float> features = detector.getColorTextureFeatures(&region, width, height);
    if (!features.empty() && features.size() != 25) invariantBroken("a region has neither 25 features nor none");
  }
  return 0;
}
