#ifndef SHAPEFEATURES_H
#define SHAPEFEATURES_H

#include <opencv2/core.hpp>
#include <vector>

class regionShape;

// The outline of a region as OpenCV points, in the region's stored
// coordinates (fractions of the picture size); empty for a null region.
std::vector<cv::Point2f> RegionToPointCV(regionShape* region);

// Moment-based descriptors of a region's outline, taken in its stored
// fraction coordinates: the seven normalised central moments, the seven Hu
// invariants (the last by its absolute value), an eccentricity and a
// roundness. Because the coordinates are fractions of the picture's width
// and height, the values depend on the picture's aspect ratio.
class ShapeFeatures {
 public:
  ShapeFeatures() = default;

  // The region described (not owned); empties the caches.
  void setShape(regionShape* region);

  // Fills the caches of the normalised moments and the Hu invariants.
  void computeStatisticalMoments();
  // Fourier descriptors are not computed: always empty.
  void computeFourierDescriptors() {}

  // nu20, nu11, nu02, nu30, nu21, nu12, nu03; computed once per shape.
  std::vector<double> getStatisticalMoments();
  // h0..h5 and |h6|; computed once per shape.
  std::vector<double> getHuMoments();
  std::vector<double> getFourierDescriptors() const { return fourier; }

  // ((nu20 - nu02)^2 - 4 nu11^2) / (nu20 + nu02)^2; 0 for an outline
  // without area.
  double getEccentricity() const;
  // perimeter^2 / (4 pi area) of the closed outline: 1 for a circle; 0 for an
  // outline without area.
  double getRoundness() const;

 private:
  regionShape* r = nullptr;
  std::vector<double> smoments;
  std::vector<double> hu;
  std::vector<double> fourier;
};

#endif
