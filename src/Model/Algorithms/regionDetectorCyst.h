#ifndef REGIONDETECTORCYST_H
#define REGIONDETECTORCYST_H

#include <opencv2/core.hpp>

#include "regionDetector.h"

// Finds candidate cysts in a colour section picture: the green plane is split
// into a darker and a brighter class by two-means clustering started from a
// threshold at its mean, the brighter class is cleaned by a morphological
// opening and the outlines of its connected parts (and of their holes) are
// traced.
//
// Modes: 0 opens twice with a 7 x 7 ellipse (liver), 1 four times with an
// ellipse of a quarter of the minimum diameter (kidney), any other mode keeps
// the clustered mask as it is.
//
// compute throws only the ints of regionDetector::Failure; the outlines of a
// previous run are replaced only by a run that succeeds. A uniform picture
// leaves OpenCV's two-means to fill the empty bright class (with one pixel).
class regionDetectorCyst : public regionDetector {
 public:
  using regionDetector::regionDetector;

  void compute(int mode) override;

  // The bright-class mask of a blue-green-red picture: 1 on the brighter
  // green cluster, 0 elsewhere, opened as `mode` says (OpenCV exceptions
  // pass through).
  static cv::Mat foregroundMask(const cv::Mat& picture, int mode, int minDiameter);
  // The side of the opening's ellipse in mode 1.
  static int openingSize(int minDiameter) { return static_cast<int>(minDiameter / 4.0); }
};

#endif
