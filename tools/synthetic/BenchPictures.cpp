#include "BenchPictures.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <random>
#include <utility>

#include "CellPainter.h"

namespace synthetic {

BenchPictures::BenchPictures(std::string prefix, Paint paint) : prefix(std::move(prefix)), paint(std::move(paint)) {}

BenchPictures::~BenchPictures() {
  for (const auto& [megapixels, file] : files) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
}

std::string BenchPictures::path(int megapixels) {
  auto known = files.find(megapixels);
  if (known != files.end()) return known->second;
  const std::string name = prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(megapixels) + ".ppm";
  const std::string file = (std::filesystem::temp_directory_path() / name).string();
  cv::imwrite(file, paint(sizeOf(megapixels), static_cast<std::uint32_t>(megapixels)));
  files.emplace(megapixels, file);
  return file;
}

cv::Size BenchPictures::sizeOf(int megapixels) {
  const int width = static_cast<int>(std::sqrt(megapixels * 1e6 * 4 / 3));
  return {width, static_cast<int>(megapixels * 1e6 / width)};
}

cv::Mat BenchPictures::cellField(cv::Size size, std::uint32_t seed) {
  CellPainter painter(seed);
  cv::Mat picture = painter.background(size, {200, 185, 215}, 2);
  std::uniform_real_distribution<double> radius(20, 45);
  std::bernoulli_distribution nucleus(0.5);
  for (const cv::Point2d& centre : painter.scatter(size, static_cast<int>(size.area() / 20000), 45, 5)) {
    Cell cell;
    cell.centre = centre;
    cell.axes = {radius(painter.random()), radius(painter.random())};
    cell.look.grain = 12;
    cell.look.nucleus = nucleus(painter.random());
    painter.paint(picture, cell);
  }
  return picture;
}

}  // namespace synthetic
