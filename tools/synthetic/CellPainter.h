#ifndef CELLPAINTER_H
#define CELLPAINTER_H

#include <cstdint>
#include <opencv2/core.hpp>
#include <random>
#include <vector>

namespace synthetic {

// Look of a painted cell. Colours are in OpenCV's blue-green-red order.
struct CellLook {
  cv::Scalar body{150, 120, 190};  // mean colour of the cytoplasm
  double grain = 0;                // contrast of the granules (grey levels, either sign at random)
  double grainRadius = 1.5;        // radius of one granule in pixels
  double grainDensity = 0.02;      // granules per pixel of the cell
  cv::Scalar rim{90, 60, 120};     // colour of the ring along the outline
  double rimWidth = 2;             // width of that ring in pixels (0: none)
  bool nucleus = false;            // a darker disc inside the cell
  double nucleusRatio = 0.25;      // nucleus radius over the cell's smaller semi-axis
  cv::Scalar nucleusColour{110, 70, 100};
  // Nucleus centre off the cell centre, in fractions of the inner semi-axes
  // along the cell's own axes; keep it within 1 - nucleusRatio.
  cv::Point2d nucleusOffset{0, 0};
};

// One elliptic cell: centre and semi-axes in pixels, rotation in degrees.
struct Cell {
  cv::Point2d centre;
  cv::Size2d axes;
  double angle = 0;
  CellLook look;
};

// Paints seeded synthetic micrographs: a noisy background with elliptic
// cells of chosen colour, granular texture, outline ring and nucleus. The
// same seed and the same calls give the same pictures, byte for byte.
class CellPainter {
 public:
  explicit CellPainter(std::uint32_t seed);

  // A picture of one colour with Gaussian noise of standard deviation
  // `noise` grey levels on every channel.
  cv::Mat background(cv::Size size, cv::Scalar colour, double noise);
  // Paints the cell onto the 8-bit colour picture, edges anti-aliased.
  void paint(cv::Mat& picture, const Cell& cell);
  // Up to `count` centres for cells of radius up to maxRadius, at least
  // `margin` pixels inside the picture and clear of each other by a gap of
  // maxRadius / 2; fewer when no room is found.
  std::vector<cv::Point2d> scatter(cv::Size size, int count, double maxRadius, double margin);
  // Sets the cell's pixels to 255 in an 8-bit single-channel mask.
  static void fillMask(cv::Mat& mask, const Cell& cell);

  // The painter's random source, for callers that vary the cells.
  std::mt19937& random();

 private:
  std::mt19937 generator;
};

}  // namespace synthetic

#endif
