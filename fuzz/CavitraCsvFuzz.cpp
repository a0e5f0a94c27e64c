// Cavitra's results and sample CSV of an annotation read from any bytes: no
// crash, and the file stays within a length set by the picture's size and
// the shapes' count: a row per shape and a histogram row per step of the
// picture's diagonal at most.

#include <algorithm>
#include <cmath>
#include <sstream>

#include "CystCsv.h"
#include "FuzzScratch.h"
#include "ReadAnnotation.h"

namespace {

// Numbers are written with six significant digits: "-1.23457e+300".
constexpr double numberLength = 13;
constexpr double shapeRow = 16 + 2 * numberLength + 100;  // id, diameter, area, the note of a shape not binned
constexpr double binRow = 4 * numberLength + 16;
constexpr double fixedLines = 640;

// The histogram step for a picture: the program's default, or coarser on a
// picture so large that the bins alone would take too long to write here.
int stepFor(double diagonal, int usual) {
  return static_cast<int>(std::max<double>(usual, std::ceil(diagonal / 2000)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  const std::string path = scratch.put("input.xml", data, size).string();
  ReadAnnotation annotation(path);
  const ImageClass& image = annotation.image();
  const CystCsv::Picture picture{image.getFilename(), annotation.shapes, image.getWidth(), image.getHeight()};
  const double diagonal = CystCsv::diagonal(picture);
  const double shapes = static_cast<double>(annotation.shapes.size());
  const auto binsAt = [&](int step) { return std::floor(diagonal / step) + 1; };

  const Preferences& own = *annotation.model.getPreferences();
  const CystCsv::Calibration calibration{own.isCalibrationActive(), own.getCalibration()};
  const int resultsStep = stepFor(diagonal, 100);
  std::ostringstream results;
  CystCsv::writeResults(results, picture, calibration, resultsStep);
  checkCsvLength(results.str().size(),
                 fixedLines + picture.name.size() + shapes * shapeRow + binsAt(resultsStep) * binRow, "results CSV");

  const int sampleStep = stepFor(diagonal, 10);
  CystCsv::SampleEntry entry{picture, annotation.readable};
  entry.picture.name = path;
  std::ostringstream sample;
  CystCsv::writeSample(sample, {entry}, calibration, sampleStep);
  checkCsvLength(sample.str().size(), fixedLines + path.size() + 2 * 12 + binsAt(sampleStep) * binRow, "sample CSV");
  return 0;
}
