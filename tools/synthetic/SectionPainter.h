#ifndef SECTIONPAINTER_H
#define SECTIONPAINTER_H

#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

#include "CellPainter.h"

namespace synthetic {

// One bright area of a painted section: a cyst (a smooth, evenly lit lumen
// with a smooth elliptic outline) or a decoy (a bright patch of two or three
// merged blobs with tissue-like texture and debris inside).
struct SectionObject {
  bool cyst = false;
  cv::Point2d centre;
  double diameter = 0;  // of the circle of the object's area, in pixels
};

// A painted section with the objects in it. `objects` holds, per pixel, the
// index + 1 of the object that covers it (0: tissue).
struct SectionPicture {
  cv::Mat image;    // 8-bit blue-green-red
  cv::Mat objects;  // 32-bit signed, same size
  std::vector<SectionObject> painted;
};

// Paints seeded synthetic liver or kidney sections: pink tissue whose green
// plane is textured (slow shading, dark nuclei, streaks, grain) holding
// bright cysts and bright non-cyst decoys that do not touch. The same seed
// and calls give the same pictures, byte for byte.
class SectionPainter {
 public:
  explicit SectionPainter(std::uint32_t seed);

  // Cysts and decoys with diameters drawn evenly from [minDiameter,
  // maxDiameter]; fewer when the picture has no room left.
  SectionPicture paint(cv::Size size, int cysts, int decoys, double minDiameter, double maxDiameter);

 private:
  cv::Mat tissue(cv::Size size);
  // Paints one object with index `index` and returns it.
  SectionObject paintCyst(SectionPicture& picture, cv::Point2d centre, double diameter, int index);
  SectionObject paintDecoy(SectionPicture& picture, cv::Point2d centre, double diameter, int index);
  double uniform(double low, double high);

  CellPainter painter;
};

}  // namespace synthetic

#endif
