#include "OocytePainter.h"

#include <algorithm>
#include <cmath>

namespace defaultspecies {

namespace {

// Colours are blue-green-red. The stroma is a light, even pink: texture or
// noise there would give the detector outlines of its own.
const cv::Scalar tissue{196, 178, 214};

struct StageLook {
  double minRadius, maxRadius;
  synthetic::CellLook look;
};

// Every stage has the same rim width and nucleus colour.
StageLook makeStageLook(double minRadius, double maxRadius, cv::Scalar body, double grain, double grainRadius,
                        double grainDensity, cv::Scalar rim) {
  StageLook s{minRadius, maxRadius, {}};
  s.look.body = body;
  s.look.grain = grain;
  s.look.grainRadius = grainRadius;
  s.look.grainDensity = grainDensity;
  s.look.rim = rim;
  s.look.rimWidth = 5;
  s.look.nucleusColour = {100, 30, 60};
  return s;
}

// Cortical alveoli: small, dense and violet with fine granules. Vitelline:
// larger, deep pink with coarse yolk granules. Hydrated: the largest, pale
// and nearly even.
StageLook stageLook(int stage) {
  // Radius range, body colour, grain contrast, radius and density, rim colour.
  switch (stage) {
    case 1:
      return makeStageLook(OocytePainter::smallestRadius, 176, {165, 85, 125}, 10, 1.5, 0.04, {120, 50, 90});
    case 2:
      return makeStageLook(174, 200, {150, 110, 220}, 28, 3.5, 0.02, {110, 60, 150});
    default:
      return makeStageLook(198, OocytePainter::largestRadius, {235, 228, 246}, 4, 4, 0.003, {150, 110, 170});
  }
}

// Gap kept between neighbouring outlines, wider than the smoothing of the
// coarser detector scale.
constexpr double gap = 16;

}  // namespace

OocytePainter::OocytePainter(std::uint32_t seed) : painter(seed) {}

cv::Scalar OocytePainter::jitter(cv::Scalar colour, double by) {
  std::uniform_real_distribution<double> shift(-by, by);
  for (int c = 0; c < 3; c++) colour[c] = std::clamp(colour[c] + shift(painter.random()), 0.0, 255.0);
  return colour;
}

Oocyte OocytePainter::drawOocyte(int stage, bool nucleus) {
  const StageLook s = stageLook(stage);
  std::mt19937& random = painter.random();
  // A nucleus under a fifth of the cell's width covers too few pixels for the
  // colour statistics to tell it from the granules.
  std::uniform_real_distribution<double> radius(s.minRadius, s.maxRadius), flattening(0.85, 1.0), angle(0, 180),
      grain(0.6, 1.4), nucleusRatio(0.2, 0.3), unit(-1, 1);
  Oocyte oocyte{{}, stage, nucleus};
  synthetic::Cell& cell = oocyte.cell;
  const double major = radius(random);
  cell.axes = {major, major * flattening(random)};
  cell.angle = angle(random);
  cell.look = s.look;
  cell.look.body = jitter(s.look.body, 18);
  cell.look.grain *= grain(random);
  cell.look.rim = jitter(s.look.rim, 12);
  cell.look.nucleus = nucleus;
  cell.look.nucleusRatio = nucleusRatio(random);
  cell.look.nucleusColour = jitter(s.look.nucleusColour, 15);
  // A section seldom cuts the nucleus through its middle.
  const double reach = 0.6 * (1 - cell.look.nucleusRatio);
  cell.look.nucleusOffset = {reach * unit(random), reach * unit(random)};
  return oocyte;
}

bool OocytePainter::place(Oocyte& oocyte, cv::Size size, const std::vector<Oocyte>& placed) {
  // The training of a species only uses regions whose centre lies more than
  // a tenth of the picture inside it.
  const double r = oocyte.cell.axes.width;
  const double borderX = std::max(r + gap, size.width / 10.0 + 1), borderY = std::max(r + gap, size.height / 10.0 + 1);
  if (size.width <= 2 * borderX || size.height <= 2 * borderY) return false;
  std::uniform_real_distribution<double> xs(borderX, size.width - borderX), ys(borderY, size.height - borderY);
  for (int attempt = 0; attempt < 300; attempt++) {
    const cv::Point2d candidate(xs(painter.random()), ys(painter.random()));
    const bool clear = std::all_of(placed.begin(), placed.end(), [&](const Oocyte& other) {
      return cv::norm(candidate - other.cell.centre) >= r + other.cell.axes.width + gap;
    });
    if (clear) {
      oocyte.cell.centre = candidate;
      return true;
    }
  }
  return false;
}

OocytePicture OocytePainter::paint(cv::Size size, int count) {
  // The stages take turns and are placed in random order, so that none is
  // crowded out when the picture fills up.
  std::vector<int> stages;
  for (int k = 0; k < count; k++) stages.push_back(k % 3 + 1);
  std::shuffle(stages.begin(), stages.end(), painter.random());
  std::bernoulli_distribution visibleNucleus(0.5);
  OocytePicture picture{painter.background(size, tissue, 0), {}};
  for (int stage : stages) {
    Oocyte oocyte = drawOocyte(stage, visibleNucleus(painter.random()));
    if (!place(oocyte, size, picture.oocytes)) continue;
    painter.paint(picture.image, oocyte.cell);
    picture.oocytes.push_back(oocyte);
  }
  return picture;
}

std::vector<cv::Point2d> OocytePainter::outline(const synthetic::Cell& cell, int vertices) {
  const double theta = cell.angle * CV_PI / 180.0;
  std::vector<cv::Point2d> points;
  for (int k = 0; k <= vertices; k++) {
    const double a = 2 * CV_PI * (k % vertices) / vertices;
    const double ex = cell.axes.width * std::cos(a), ey = cell.axes.height * std::sin(a);
    points.emplace_back(cell.centre.x + ex * std::cos(theta) - ey * std::sin(theta),
                        cell.centre.y + ex * std::sin(theta) + ey * std::cos(theta));
  }
  return points;
}

}  // namespace defaultspecies
