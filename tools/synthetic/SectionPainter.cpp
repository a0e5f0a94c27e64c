#include "SectionPainter.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <random>

namespace synthetic {

namespace {

const cv::Scalar tissueColour{175, 115, 195};
const cv::Scalar nucleusColour{140, 60, 110};
// Debris inside a decoy: darker than the patch, yet brighter than tissue, so
// it is texture and not a hole.
const cv::Scalar debrisColour{175, 185, 190};

// The object's own pixels of `shape` (255 where painted, over `box` of the
// picture) join the label map.
double claim(SectionPicture& picture, const cv::Rect& box, const cv::Mat& shape, int index) {
  picture.objects(box).setTo(index + 1, shape);
  return 2 * std::sqrt(cv::countNonZero(shape) / CV_PI);
}

// The part of the picture an object of `diameter` around `centre` can reach.
cv::Rect reach(const cv::Mat& image, cv::Point2d centre, double diameter) {
  const cv::Rect box(cvFloor(centre.x - diameter), cvFloor(centre.y - diameter), cvCeil(2 * diameter) + 1,
                     cvCeil(2 * diameter) + 1);
  return box & cv::Rect(0, 0, image.cols, image.rows);
}

// Blends `fill` into the picture where `shape` is set, with a soft edge of
// about one pixel so the outline is not a staircase.
void blend(cv::Mat image, const cv::Mat& shape, const cv::Mat& fill) {
  cv::Mat alpha;
  cv::GaussianBlur(shape, alpha, cv::Size(3, 3), 0.8);
  for (int y = 0; y < image.rows; ++y) {
    const unsigned char* a = alpha.ptr<unsigned char>(y);
    cv::Vec3b* out = image.ptr<cv::Vec3b>(y);
    const cv::Vec3b* in = fill.ptr<cv::Vec3b>(y);
    for (int x = 0; x < image.cols; ++x) {
      if (a[x] == 0) continue;
      const double w = a[x] / 255.0;
      for (int c = 0; c < 3; ++c) out[x][c] = cv::saturate_cast<unsigned char>((1 - w) * out[x][c] + w * in[x][c]);
    }
  }
}

}  // namespace

SectionPainter::SectionPainter(std::uint32_t seed) : painter(seed) {}

double SectionPainter::uniform(double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(painter.random());
}

cv::Mat SectionPainter::tissue(cv::Size size) {
  cv::Mat image = painter.background(size, tissueColour, 6);
  // Slow shading of the green plane.
  cv::Mat coarse(size.height / 32 + 2, size.width / 32 + 2, CV_32F);
  cv::randn(coarse, 0, 10);
  cv::Mat shading;
  cv::resize(coarse, shading, size, 0, 0, cv::INTER_CUBIC);
  std::vector<cv::Mat> planes;
  cv::split(image, planes);
  planes[1].convertTo(planes[1], CV_32F);
  planes[1] += shading;
  planes[1].convertTo(planes[1], CV_8U);
  cv::merge(planes, image);
  // Dark nuclei and fibre streaks.
  const int nuclei = size.area() / 900;
  for (int k = 0; k < nuclei; ++k) {
    const cv::Point centre(static_cast<int>(uniform(0, size.width)), static_cast<int>(uniform(0, size.height)));
    const cv::Size axes(static_cast<int>(uniform(2, 5)), static_cast<int>(uniform(2, 4)));
    cv::ellipse(image, centre, axes, uniform(0, 180), 0, 360, nucleusColour, cv::FILLED, cv::LINE_AA);
  }
  const int streaks = size.area() / 20000;
  for (int k = 0; k < streaks; ++k) {
    const cv::Point a(static_cast<int>(uniform(0, size.width)), static_cast<int>(uniform(0, size.height)));
    const cv::Point b(a.x + static_cast<int>(uniform(-80, 80)), a.y + static_cast<int>(uniform(-80, 80)));
    cv::line(image, a, b, nucleusColour, 1, cv::LINE_AA);
  }
  return image;
}

SectionObject SectionPainter::paintCyst(SectionPicture& picture, cv::Point2d centre, double diameter, int index) {
  const cv::Rect box = reach(picture.image, centre, diameter);
  const cv::Point2d local = centre - cv::Point2d(box.tl());
  cv::Mat shape = cv::Mat::zeros(box.size(), CV_8U);
  const double ratio = uniform(0.75, 1.0);
  const double a = diameter / 2 / std::sqrt(ratio);
  cv::ellipse(shape, cv::Point(cvRound(local.x), cvRound(local.y)), cv::Size(cvRound(a), cvRound(a * ratio)),
              uniform(0, 180), 0, 360, cv::Scalar(255), cv::FILLED);
  // An evenly lit lumen: one pale colour and little noise.
  const double level = uniform(215, 240);
  cv::Mat fill(box.size(), CV_8UC3, cv::Scalar(level - 5, level, level - 2));
  cv::Mat noise(box.size(), CV_8UC3);
  cv::randn(noise, 0, 1);
  fill += noise;
  blend(picture.image(box), shape, fill);
  return {true, centre, claim(picture, box, shape, index)};
}

SectionObject SectionPainter::paintDecoy(SectionPicture& picture, cv::Point2d centre, double diameter, int index) {
  const cv::Rect box = reach(picture.image, centre, diameter);
  const cv::Point2d local = centre - cv::Point2d(box.tl());
  cv::Mat shape = cv::Mat::zeros(box.size(), CV_8U);
  const int blobs = 2 + static_cast<int>(uniform(0, 2));
  for (int b = 0; b < blobs; ++b) {
    const double r = diameter / 2 * uniform(0.55, 0.8);
    const cv::Point c(cvRound(local.x + uniform(-0.3, 0.3) * diameter / 2),
                      cvRound(local.y + uniform(-0.3, 0.3) * diameter / 2));
    cv::ellipse(shape, c, cv::Size(cvRound(r), cvRound(r * uniform(0.6, 1.0))), uniform(0, 180), 0, 360,
                cv::Scalar(255), cv::FILLED);
  }
  // A bright patch with tissue-like grain and debris.
  cv::Mat grain(box.size(), CV_32F);
  cv::randn(grain, 0, 40);
  cv::GaussianBlur(grain, grain, cv::Size(0, 0), 1.2);
  const double level = uniform(215, 230);
  cv::Mat green;
  grain.convertTo(green, CV_8U, 1.0, level);
  std::vector<cv::Mat> planes = {green - 10, green, green + 5};
  cv::Mat fill;
  cv::merge(planes, fill);
  const int specks = static_cast<int>(diameter * diameter / 150);
  for (int k = 0; k < specks; ++k) {
    const cv::Point p(cvRound(local.x + uniform(-0.5, 0.5) * diameter), cvRound(local.y + uniform(-0.5, 0.5) * diameter));
    cv::circle(fill, p, static_cast<int>(uniform(1, 3)), debrisColour, cv::FILLED, cv::LINE_AA);
  }
  blend(picture.image(box), shape, fill);
  return {false, centre, claim(picture, box, shape, index)};
}

SectionPicture SectionPainter::paint(cv::Size size, int cysts, int decoys, double minDiameter, double maxDiameter) {
  SectionPicture picture;
  picture.image = tissue(size);
  picture.objects = cv::Mat::zeros(size, CV_32S);
  // Room for the largest object, clear of the edge and of each other.
  const std::vector<cv::Point2d> centres = painter.scatter(size, cysts + decoys, maxDiameter / 2, maxDiameter);
  // Cysts and decoys take turns, so a crowded picture still gets both.
  int cystsLeft = cysts, decoysLeft = decoys;
  for (std::size_t k = 0; k < centres.size(); ++k) {
    const double diameter = uniform(minDiameter, maxDiameter);
    const int index = static_cast<int>(k);
    const bool cyst = cystsLeft > 0 && (decoysLeft == 0 || k % 2 == 0);
    (cyst ? cystsLeft : decoysLeft)--;
    picture.painted.push_back(cyst ? paintCyst(picture, centres[k], diameter, index)
                                   : paintDecoy(picture, centres[k], diameter, index));
  }
  return picture;
}

}  // namespace synthetic
