#ifndef CYSTREGIONS_H
#define CYSTREGIONS_H

#include <vector>

class baseShape;
class regionDetector;

// The cysts kept out of a detector's outlines: outer outlines only, with an
// area strictly between those of circles of the minimum and the maximum
// diameter. Kept regions are numbered 1, 2, 3, ... in outline order.
class CystRegions {
 public:
  // The area of a circle of diameter `diameter`, as the keep rule bounds it.
  static double areaBound(int diameter) { return diameter * static_cast<double>(diameter) * 3.14159 / 4.0; }

  static bool keeps(double area, int parent, int minDiameter, int maxDiameter) {
    return area > areaBound(minDiameter) && area < areaBound(maxDiameter) && parent == -1;
  }

  // The kept regions of the detector's last run, owned by the caller.
  static std::vector<baseShape*> kept(const regionDetector& detector, int minDiameter, int maxDiameter);
};

#endif
