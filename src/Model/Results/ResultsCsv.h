#ifndef RESULTSCSV_H
#define RESULTSCSV_H

#include <ostream>
#include <string>
#include <vector>

class baseShape;

// The semicolon-separated results of pictures: one header line, then one row
// per visible region, each field followed by ";". Numbers are written in
// fixed notation with 12 decimals and a decimal point under any locale.
class ResultsCsv {
 public:
  static constexpr const char* resultsHeader =
      "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nucleus; Count; Measure";
  // The header of a sample export, which has always spelt its nucleus column
  // this way; files read by other tools rely on it.
  static constexpr const char* sampleHeader =
      "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nuclous; Count; Measure";

  // What the rows of one picture are measured against.
  struct Picture {
    std::string imageName;
    int width = 0;
    int height = 0;
    bool calibrationActive = false;
    double calibration = 1.0;
  };

  // Prepares `out` for the numbers of the rows and writes `header` and "\n".
  static void writeHeader(std::ostream& out, const char* header);

  // Writes the rows of the visible regions of `shapes`. The calibration is
  // written and applied as a single-precision value, as the files have always
  // held it (0.1 is written 0.100000001490). The picture's area leaves out
  // the void regions' and is calibrated too.
  static void writeRows(std::ostream& out, const std::vector<baseShape*>& shapes, const Picture& picture,
                        const std::string& species, const std::vector<std::string>& classNames);

  // The picture's area in pixels minus that of its visible void regions.
  static double pictureArea(const std::vector<baseShape*>& shapes, int width, int height);
};

#endif
