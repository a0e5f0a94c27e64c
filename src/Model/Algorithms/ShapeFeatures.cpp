#include "ShapeFeatures.h"

#include <cmath>
#include <opencv2/imgproc.hpp>

#include "regionShape.h"

std::vector<cv::Point2f> RegionToPointCV(regionShape* region) {
  std::vector<cv::Point2f> points;
  if (region == nullptr) return points;
  for (pointShape* vertex : region->getLinePoints())
    points.emplace_back(static_cast<float>(vertex->getX()), static_cast<float>(vertex->getY()));
  return points;
}

void ShapeFeatures::setShape(regionShape* region) {
  r = region;
  smoments.clear();
  hu.clear();
  fourier.clear();
}

void ShapeFeatures::computeStatisticalMoments() {
  const std::vector<cv::Point2f> points = RegionToPointCV(r);
  smoments.clear();
  hu.clear();
  const cv::Moments m = cv::moments(points, false);
  smoments = {m.nu20, m.nu11, m.nu02, m.nu30, m.nu21, m.nu12, m.nu03};
  double h[7];
  cv::HuMoments(m, h);
  hu.assign(h, h + 6);
  hu.push_back(std::fabs(h[6]));
}

std::vector<double> ShapeFeatures::getStatisticalMoments() {
  if (smoments.empty()) computeStatisticalMoments();
  return smoments;
}

std::vector<double> ShapeFeatures::getHuMoments() {
  if (hu.empty()) computeStatisticalMoments();
  return hu;
}

double ShapeFeatures::getEccentricity() const {
  const cv::Moments m = cv::moments(RegionToPointCV(r), false);
  const double spread = m.nu20 + m.nu02;
  if (spread == 0) return 0;
  return ((m.nu20 - m.nu02) * (m.nu20 - m.nu02) - 4 * m.nu11 * m.nu11) / (spread * spread);
}

double ShapeFeatures::getRoundness() const {
  if (r == nullptr || r->getLinePoints().empty()) return 0;
  std::vector<pointShape*> points = r->getLinePoints();
  points.push_back(points.front());
  double perimeter = 0, twiceArea = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double x0 = points[i - 1]->getX(), y0 = points[i - 1]->getY();
    const double x1 = points[i]->getX(), y1 = points[i]->getY();
    perimeter += std::hypot(x1 - x0, y1 - y0);
    twiceArea += x0 * y1 - x1 * y0;
  }
  const double area = std::fabs(twiceArea) / 2;
  if (area == 0) return 0;
  return perimeter * perimeter / (12.566370614359172 * area);
}
