// Cavitra's results and sample CSV, and the cyst index its side panel shows,
// of an annotation read from any bytes, with the picture size the file
// records as the sample export takes it and the program's histogram steps: no
// crash, the files stay within a length set by the shapes' count and the
// largest diameter binned, and the index within what the regions can cover.

#include <algorithm>
#include <cmath>
#include <ostream>
#include <streambuf>
#include <string>

#include "CystCsv.h"
#include "CystRegionTools.h"
#include "FuzzScratch.h"
#include "PictureReach.h"
#include "ReadAnnotation.h"
#include "regionShape.h"

namespace {

// The steps the program starts with: the side panel's for the results CSV,
// the batch dialog's for the sample CSV.
constexpr int resultsStep = 100;
constexpr int sampleStep = 10;

// Numbers are written with six significant digits: "-1.23457e+300".
constexpr double numberLength = 13;
constexpr double shapeRow = 16 + 2 * numberLength + 100;  // id, diameter, area, the note of a shape not binned
constexpr double binRow = 4 * numberLength + 16;
constexpr double fixedLines = 640;

// Counts what is written and keeps nothing: a long histogram costs no memory.
class CountingBuffer : public std::streambuf {
 public:
  std::size_t count = 0;

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) ++count;
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count += static_cast<std::size_t>(n);
    return n;
  }
};

// The bytes `write` sends to a stream.
template <class Write>
std::size_t lengthOf(Write write) {
  CountingBuffer counter;
  std::ostream out(&counter);
  write(out);
  return counter.count;
}

// The largest diameter the histogram takes, -1 when it takes none.
double largestBinned(const CystCsv::Picture& picture) {
  double largest = -1;
  for (baseShape* shape : picture.shapes) {
    if (!shape->getVisible()) continue;
    const double d = shape->getDiameter(picture.width, picture.height);
    if (CystCsv::binnable(d, CystCsv::diagonal(picture))) largest = std::max(largest, d);
  }
  return largest;
}

// The panel's index: a figure from 0 up to what the visible regions can
// cover, each at most half its vertex count times the reach of the picture
// (the triangles of a fan from its first vertex), and its text the integer
// part of that figure.
void checkPanelIndex(const CystCsv::Picture& picture) {
  const CystRegionTools::CystIndex index = CystRegionTools::cystIndex(picture.shapes, picture.width, picture.height);
  const double pictureArea = static_cast<double>(picture.width) * picture.height;
  double bound = 0;
  if (pictureArea > 0) {
    const PictureReach reach(picture.width, picture.height);
    const double reachArea = (reach.right - reach.left) * (reach.bottom - reach.top);
    for (baseShape* shape : picture.shapes)
      if (shape->getTypeShape() == REGION && shape->getVisible())
        bound += static_cast<double>(static_cast<regionShape*>(shape)->getLinePoints().size()) * reachArea / 2;
    bound = 100 * bound / pictureArea * 1.001;
  }
  if (!(index.percent >= 0 && index.percent <= bound)) invariantBroken("the cyst index exceeds what regions can cover");
  const std::string text = CystRegionTools::indexText(index.percent);
  const std::size_t digits = text.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string::npos || text.substr(digits) != " %")
    invariantBroken("the cyst index text is not a whole number of percent");
  if (std::abs(std::stod(text.substr(0, digits)) - std::trunc(std::min(index.percent, 1e18))) > 1)
    invariantBroken("the cyst index text is not the figure's integer part");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  const std::string path = scratch.put("input.xml", data, size).string();
  ReadAnnotation annotation(path);
  const ImageClass& image = annotation.image();
  const CystCsv::Picture picture{image.getFilename(), annotation.shapes, image.getWidth(), image.getHeight()};
  const double shapes = static_cast<double>(annotation.shapes.size());
  const double largest = largestBinned(picture);
  const auto binsAt = [largest](int step) { return largest < 0 ? 0 : std::floor(largest / step) + 1; };

  checkPanelIndex(picture);

  const Preferences& own = *annotation.model.getPreferences();
  const CystCsv::Calibration calibration{own.isCalibrationActive(), own.getCalibration()};
  const std::size_t results =
      lengthOf([&](std::ostream& out) { CystCsv::writeResults(out, picture, calibration, resultsStep); });
  checkCsvLength(results, fixedLines + picture.name.size() + shapes * shapeRow + binsAt(resultsStep) * binRow,
                 "results CSV");

  CystCsv::SampleEntry entry{picture, annotation.readable};
  entry.picture.name = path;
  const std::size_t sample =
      lengthOf([&](std::ostream& out) { CystCsv::writeSample(out, {entry}, calibration, sampleStep); });
  checkCsvLength(sample, fixedLines + path.size() + 2 * 12 + binsAt(sampleStep) * binRow, "sample CSV");
  return 0;
}
