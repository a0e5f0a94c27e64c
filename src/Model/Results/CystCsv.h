#ifndef CYSTCSV_H
#define CYSTCSV_H

#include <ostream>
#include <string>
#include <vector>

class baseShape;

// The cyst results of Cavitra without any widget: the cyst index of a picture,
// the diameter histogram, the results CSV of one picture and the sample CSV
// of a batch of annotation files. Fields are separated by ";", numbers are
// written as a stream writes them by default (six significant digits) with a
// decimal point under any locale, and only visible shapes take part. The
// histogram holds only diameters that a shape on the picture can have: a
// diameter that is not finite or is longer than the picture's diagonal (a
// damaged or foreign annotation) is not binned, and the shape's row says so,
// so the histogram never has more bins than the diagonal and the step allow.
class CystCsv {
 public:
  struct Calibration {
    bool active = false;
    double factor = 1.0;  // micrometres per pixel
  };

  // One histogram row: lo <= diameter < hi.
  struct Bin {
    double lo = 0;
    double hi = 0;
    int count = 0;
  };

  // The shapes of one picture measured on its size in pixels.
  struct Picture {
    std::string name;
    std::vector<baseShape*> shapes;
    int width = 0;
    int height = 0;
  };

  // One entry of a batch: its annotation file and what was read from it;
  // `readable` is false for a file that could not be parsed.
  struct SampleEntry {
    Picture picture;
    bool readable = true;
  };

  // 100 x covered area / picture area, the product taken in double; 0 for a
  // picture of zero width or height.
  static double cystIndex(double coveredArea, int width, int height);

  // Bins of `step` pixels from 0 up to the bin that holds the largest
  // binned diameter, also when that diameter is an exact multiple of the
  // step; no bins without diameters. Only diameters from 0 to `limit` are
  // binned. Throws std::invalid_argument for a step below 1.
  static std::vector<Bin> histogram(const std::vector<double>& diameters, int step, double limit);

  // The length of the picture's diagonal in pixels: the longest diameter a
  // shape on it can have.
  static double diagonal(const Picture& picture);
  // Whether a diameter goes into the histogram of a picture with that
  // diagonal.
  static bool binnable(double diameter, double diagonal);

  // The results CSV of one picture with the cyst index and the histogram of
  // `step` pixels. Throws std::invalid_argument for a step below 1, before
  // anything is written.
  static void writeResults(std::ostream& out, const Picture& picture, const Calibration& calibration, int step);

  // The sample CSV: one row per entry, and with `histogramStep` above 0 the
  // histogram pooled over every entry (0 leaves it out). An entry that could
  // not be read gets an error row. Throws std::invalid_argument for a
  // negative step, before anything is written.
  static void writeSample(std::ostream& out, const std::vector<SampleEntry>& entries, const Calibration& calibration,
                          int histogramStep);

  static constexpr const char* unreadableEntry = "The file could not be read";
  // The last field of a results row whose shape is not binned, and of a
  // sample row after the count of such shapes.
  static constexpr const char* unbinnedShape =
      "Not in the histogram: the diameter is not finite or exceeds the picture's diagonal";
  static constexpr const char* unbinnedRegions =
      " regions not in the histogram: their diameter is not finite or exceeds the picture's diagonal";

 private:
  static void writeBins(std::ostream& out, const std::vector<Bin>& bins, const Calibration& calibration);
  // The diameters of the visible shapes that go into the histogram, in
  // pixels, and how many visible shapes do not.
  static std::vector<double> binnedDiameters(const Picture& picture, int& unbinned);
};

#endif
