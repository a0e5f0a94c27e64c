#include "CellPainter.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace synthetic {

namespace {

// Coordinates are drawn with 4 fractional bits, so that centres and axes
// are not rounded to whole pixels.
constexpr int fractionBits = 4;
constexpr double fractionScale = 1 << fractionBits;

cv::Point fixedPoint(cv::Point2d p) {
  return {static_cast<int>(std::lround(p.x * fractionScale)), static_cast<int>(std::lround(p.y * fractionScale))};
}

cv::Size fixedSize(cv::Size2d s) {
  return {static_cast<int>(std::lround(s.width * fractionScale)),
          static_cast<int>(std::lround(s.height * fractionScale))};
}

void fillEllipse(cv::Mat& picture, cv::Point2d centre, cv::Size2d axes, double angle, cv::Scalar colour) {
  cv::ellipse(picture, fixedPoint(centre), fixedSize(axes), angle, 0, 360, colour, cv::FILLED, cv::LINE_AA,
              fractionBits);
}

// The offset (ex, ey) along the axes of an ellipse rotated by `angle` degrees.
cv::Point2d along(double ex, double ey, double angle) {
  const double theta = angle * CV_PI / 180.0;
  return {ex * std::cos(theta) - ey * std::sin(theta), ex * std::sin(theta) + ey * std::cos(theta)};
}

cv::Size2d shrink(cv::Size2d axes, double by) {
  return {std::max(axes.width - by, 0.0), std::max(axes.height - by, 0.0)};
}

}  // namespace

CellPainter::CellPainter(std::uint32_t seed) : generator(seed) {}

std::mt19937& CellPainter::random() { return generator; }

cv::Mat CellPainter::background(cv::Size size, cv::Scalar colour, double noise) {
  cv::Mat picture(size, CV_8UC3);
  cv::RNG rng(generator());
  rng.fill(picture, cv::RNG::NORMAL, colour, cv::Scalar::all(noise));
  return picture;
}

void CellPainter::paint(cv::Mat& picture, const Cell& cell) {
  const CellLook& look = cell.look;
  if (look.rimWidth > 0) fillEllipse(picture, cell.centre, cell.axes, cell.angle, look.rim);
  const cv::Size2d inner = shrink(cell.axes, look.rimWidth);
  fillEllipse(picture, cell.centre, inner, cell.angle, look.body);

  if (look.grain > 0 && inner.width > 0 && inner.height > 0) {
    // Granules at uniform positions inside the inner ellipse, each lighter
    // or darker than the body by the grain contrast.
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::bernoulli_distribution lighter(0.5);
    const double area = CV_PI * inner.width * inner.height;
    const int granules = static_cast<int>(area * look.grainDensity);
    for (int k = 0; k < granules; k++) {
      double u, v;
      do {
        u = unit(generator);
        v = unit(generator);
      } while (u * u + v * v > 1.0);
      const double ex = u * std::max(inner.width - look.grainRadius, 0.0);
      const double ey = v * std::max(inner.height - look.grainRadius, 0.0);
      const cv::Point2d at = cell.centre + along(ex, ey, cell.angle);
      const double sign = lighter(generator) ? 1.0 : -1.0;
      fillEllipse(picture, at, {look.grainRadius, look.grainRadius}, 0, look.body + cv::Scalar::all(sign * look.grain));
    }
  }

  if (look.nucleus) {
    const double radius = look.nucleusRatio * std::min(inner.width, inner.height);
    const cv::Point2d at =
        cell.centre + along(look.nucleusOffset.x * inner.width, look.nucleusOffset.y * inner.height, cell.angle);
    fillEllipse(picture, at, {radius, radius}, 0, look.nucleusColour);
  }
}

std::vector<cv::Point2d> CellPainter::scatter(cv::Size size, int count, double maxRadius, double margin) {
  std::vector<cv::Point2d> centres;
  const double border = std::max(margin, maxRadius);
  if (size.width <= 2 * border || size.height <= 2 * border) return centres;
  std::uniform_real_distribution<double> xs(border, size.width - border), ys(border, size.height - border);
  const double spacing = 2.5 * maxRadius;
  // Rejection sampling with a bounded number of tries per cell.
  for (int attempt = 0; attempt < 200 * count && static_cast<int>(centres.size()) < count; attempt++) {
    const cv::Point2d candidate(xs(generator), ys(generator));
    bool clear = true;
    for (const cv::Point2d& c : centres) clear = clear && std::hypot(c.x - candidate.x, c.y - candidate.y) >= spacing;
    if (clear) centres.push_back(candidate);
  }
  return centres;
}

void CellPainter::fillMask(cv::Mat& mask, const Cell& cell) {
  cv::ellipse(mask, fixedPoint(cell.centre), fixedSize(cell.axes), cell.angle, 0, 360, cv::Scalar(255), cv::FILLED,
              cv::LINE_8, fractionBits);
}

}  // namespace synthetic
