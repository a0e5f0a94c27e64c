#include "TextureLBP.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "regionShape.h"

namespace {

// One sample of a sampling circle: the pixels (column and row offsets from
// the centre) it is read from and their weights.
struct Sample {
  int count = 0;
  int dx[4] = {};
  int dy[4] = {};
  double weight[4] = {};
};

double roundToSixDigits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return std::strtod(text, nullptr);
}

std::vector<Sample> samplingCircle(int radius) {
  const int points = 8 * radius;
  const double pi = std::acos(-1.0);
  std::vector<Sample> circle(points);
  for (int p = 0; p < points; ++p) {
    const double angle = 2 * pi * p / points;
    const double dx = -radius * std::sin(angle);
    const double dy = radius * std::cos(angle);
    Sample& s = circle[p];
    const double rx = std::round(dx), ry = std::round(dy);
    if (std::fabs(dx - rx) < 1e-9 && std::fabs(dy - ry) < 1e-9) {
      s.count = 1;
      s.dx[0] = static_cast<int>(rx);
      s.dy[0] = static_cast<int>(ry);
      s.weight[0] = 1.0;
      continue;
    }
    const int x0 = static_cast<int>(std::floor(dx));
    const int y0 = static_cast<int>(std::floor(dy));
    const double fx = dx - x0, fy = dy - y0;
    const int ox[4] = {0, 1, 0, 1};
    const int oy[4] = {0, 0, 1, 1};
    s.count = 4;
    for (int k = 0; k < 4; ++k) {
      s.dx[k] = x0 + ox[k];
      s.dy[k] = y0 + oy[k];
      s.weight[k] = roundToSixDigits((ox[k] ? fx : 1 - fx) * (oy[k] ? fy : 1 - fy));
    }
  }
  return circle;
}

const std::vector<Sample>& circleOf(int radius) {
  static const std::vector<Sample> circles[3] = {samplingCircle(1), samplingCircle(2), samplingCircle(3)};
  return circles[radius - 1];
}

int binsOf(int radius) { return 8 * radius + 2; }

}  // namespace

TextureLBP::TextureLBP() = default;

TextureLBP::TextureLBP(const std::string& file, int channel) {
  if (file.size() <= 2) return;
  setImage(file, channel);
  this->channel = channel;
}

TextureLBP::~TextureLBP() {
  pathImage.clear();
  dropImage();
}

void TextureLBP::dropImage() {
  img.reset();
  in_data = nullptr;
  imgWidth = 0;
  imgHeight = 0;
}

void TextureLBP::setImage(const std::string& file, int channel) {
  pathImage = file;
  // Dropped first, so that a failed load leaves no image rather than a
  // released one.
  dropImage();
  imgconv.setChannel(channel);
  img.reset(imgconv.FileToImage(file));
  if (!img) return;
  in_data = static_cast<unsigned char**>(get_img_data_nd(img.get()));
  imgWidth = get_num_cols(img.get());
  imgHeight = get_num_rows(img.get());
}

int TextureLBP::uniformLabelVector(const std::vector<int>& bits) {
  const int p = static_cast<int>(bits.size());
  if (p == 0) return 1;
  int changes = std::abs(bits[p - 1] - bits[0]);
  int ones = bits[0] != 0;
  for (int i = 1; i < p; ++i) {
    changes += std::abs(bits[i - 1] - bits[i]);
    ones += bits[i] != 0;
  }
  return changes < 3 ? ones : p + 1;
}

std::vector<int>& TextureLBP::code(int x, int y, int radius) {
  std::vector<int>& bits = radius == 1 ? f8 : radius == 2 ? f16 : f24;
  const std::vector<Sample>& circle = circleOf(radius);
  const float centre = in_data[y][x];
  for (std::size_t p = 0; p < circle.size(); ++p) {
    const Sample& s = circle[p];
    double sum = 0;
    for (int k = 0; k < s.count; ++k) sum += s.weight[k] * in_data[y + s.dy[k]][x + s.dx[k]];
    const float value = static_cast<float>(sum);
    bits[p] = (value > centre || std::fabs(value - centre) < FLT_EPSILON) ? 1 : 0;
  }
  return bits;
}

std::vector<float> TextureLBP::histogram(regionShape* region, const std::vector<int>& radii, int margin) {
  int total = 0;
  for (int radius : radii) total += binsOf(radius);
  std::vector<float> bins(total, 0.0f);
  if (region == nullptr || img == nullptr) return bins;
  const std::vector<int> box = region->getRectangle(imgWidth, imgHeight);
  const int xmin = box[0], xmax = box[1], ymin = box[2], ymax = box[3];
  if (xmax - xmin - 2 * margin < 1 || ymax - ymin - 2 * margin < 1) return bins;

  // The box of a region drawn past the picture's edge is cut to the pixels
  // whose samples all lie in the picture.
  const int xFrom = std::max(xmin + margin, margin), xTo = std::min(xmax - margin, imgWidth - margin);
  const int yFrom = std::max(ymin + margin, margin), yTo = std::min(ymax - margin, imgHeight - margin);
  int counted = 0;
  for (int y = yFrom; y < yTo; ++y) {
    for (int x = xFrom; x < xTo; ++x) {
      if (!region->inside(x, y, imgWidth, imgHeight)) continue;
      ++counted;
      int offset = 0;
      for (int radius : radii) {
        bins[offset + uniformLabelVector(code(x, y, radius))] += 1;
        offset += binsOf(radius);
      }
    }
  }
  // No counted pixel: the zeros stand, instead of 0 / 0.
  if (counted > 0)
    for (float& bin : bins) bin /= static_cast<float>(counted);
  return bins;
}

std::vector<float> TextureLBP::computelbp54(regionShape* region) { return histogram(region, {1, 2, 3}, 3); }
std::vector<float> TextureLBP::computelbp8(regionShape* region) { return histogram(region, {1}, 1); }
std::vector<float> TextureLBP::computelbp16(regionShape* region) { return histogram(region, {2}, 2); }
std::vector<float> TextureLBP::computelbp24(regionShape* region) { return histogram(region, {3}, 3); }
