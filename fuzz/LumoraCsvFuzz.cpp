// Lumora's results and sample CSV of an annotation read from any bytes: no
// crash, and each row's length is bounded, so the file grows with the
// shapes' count and nothing else a file holds.

#include <sstream>

#include "FuzzScratch.h"
#include "ReadAnnotation.h"
#include "ResultsCsv.h"

namespace {

// A row: the picture's name, the species and the stage, then five numbers
// written with 12 decimals (a double has at most 309 digits before them),
// and short fields.
double rowBound(const std::string& name, const std::string& species, const std::vector<std::string>& classNames) {
  std::size_t longestClass = 16;  // "Without stage", "Unknown"
  for (const std::string& className : classNames) longestClass = std::max(longestClass, className.size());
  return static_cast<double>(name.size() + species.size() + longestClass) + 5 * (309 + 14) + 64;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  ReadAnnotation annotation(scratch.put("input.xml", data, size).string());
  const ImageClass& image = annotation.image();
  const std::string species = "Unknown";
  const std::vector<std::string> classNames = annotation.model.getPreferences()->getClassNamesPreferences();
  const double rows = static_cast<double>(annotation.shapes.size());
  const double perRow = rowBound(image.getFilename(), species, classNames);

  // The results CSV: the program's own calibration (none by default).
  const Preferences& own = *annotation.model.getPreferences();
  std::ostringstream results;
  ResultsCsv::writeHeader(results, ResultsCsv::resultsHeader);
  ResultsCsv::writeRows(results, annotation.shapes,
                        {image.getFilename(), image.getWidth(), image.getHeight(), own.isCalibrationActive(),
                         own.getCalibration()},
                        species, classNames);
  checkCsvLength(results.str().size(), 128 + rows * perRow, "results CSV");

  // The sample CSV: the calibration each file holds.
  const Preferences& file = annotation.fileSettings();
  std::ostringstream sample;
  ResultsCsv::writeHeader(sample, ResultsCsv::sampleHeader);
  if (!annotation.shapes.empty())
    ResultsCsv::writeRows(sample, annotation.shapes,
                          {image.getFilename(), image.getWidth(), image.getHeight(), file.isCalibrationActive(),
                           file.getCalibration()},
                          species, classNames);
  checkCsvLength(sample.str().size(), 128 + rows * perRow, "sample CSV");
  return 0;
}
