#ifndef EDGESCANNYGREY_H
#define EDGESCANNYGREY_H

#include <string>
#include <vector>

#include "edgesCanny.h"
#include "image.h"
#include "point_list.h"

// The multi-scale Canny contour search on one grey-level plane of an image
// of the imaging library, and the colour-texture features of a polygon.
class edgesCannyGrey : public edgesCanny {
 public:
  edgesCannyGrey();
  explicit edgesCannyGrey(const std::string& filename);

  // Searches `img` (grey, or colour through the plane chosen by the channel
  // flag; the image stays the caller's) scale by scale and appends one
  // contour per kept chain, coordinates truncated to whole pixels. The flags
  // turn on the chain filter's roundness and diameter tests and the overlap
  // test between the chains of all scales. A colour image with a channel
  // flag that names no plane, or an image that is neither grey nor colour,
  // is not searched. The scales may be searched at the same time. Throws
  // libraryFailure, adding nothing to the result, when memory runs out or the
  // imaging library reports an error (its message already printed).
  void compute(Image* img, bool flagRoundness, bool flagDiameter, bool flagOverlapTest);

  // The code compute throws when the search fails.
  static constexpr int libraryFailure = 9;

  // The 25 colour-texture features of the polygon of vertices (x[j], y[j])
  // (columns and rows in pixels) on the colour image `img`. Empty when the
  // lists differ in length, `img` is not a colour image, or the polygon
  // covers no pixel the features can be taken from: such a region has no
  // defined features.
  std::vector<double> computeTextureFeatures(Image* img, std::vector<double> x, std::vector<double> y);

 private:
  void searchAllScales(Image* img, bool flagRoundness, bool flagDiameter, bool flagOverlapTest);
  void appendContour(const PointList& chain);
};

// Releases the first n chains of p (their points, point arrays and lists)
// and then the array p itself.
void free_PointListVector2(PointList** p, int n);

#endif
