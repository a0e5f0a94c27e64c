#include "regionDetectorCyst.h"

#include <iostream>
#include <new>
#include <opencv2/imgproc.hpp>

#include "imageConversor.h"

namespace {

constexpr int greenPlane = 1;

// 1 on the brighter of the two green-level clusters, 0 elsewhere.
cv::Mat clusterGreen(const cv::Mat& picture) {
  cv::Mat samples;
  {
    cv::Mat green;
    cv::extractChannel(picture, green, greenPlane);
    green.convertTo(samples, CV_32F, 1.0, 0.0);
  }
  samples = samples.reshape(1, picture.rows * picture.cols);

  // Starting from the threshold at the mean keeps label 1 on the brighter
  // values through the clustering.
  cv::Mat labels;
  {
    cv::Mat above;
    cv::threshold(samples, above, cv::mean(samples)[0], 1.0, cv::THRESH_BINARY);
    above.convertTo(labels, CV_32S);
  }
  cv::kmeans(samples, 2, labels, cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 10, 1.0), 1,
             cv::KMEANS_USE_INITIAL_LABELS);
  cv::Mat mask;
  labels.reshape(1, picture.rows).convertTo(mask, CV_8U, 1.0);
  return mask;
}

// Whether `failure` says that memory ran out, as the standard library or
// OpenCV says it.
bool isMemoryFailure(const std::exception& failure) {
  if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return true;
  const auto* opencv = dynamic_cast<const cv::Exception*>(&failure);
  return opencv != nullptr && opencv->code == cv::Error::StsNoMem;
}

void open(cv::Mat& mask, int size, int iterations) {
  const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(size, size), cv::Point(-1, -1));
  cv::morphologyEx(mask, mask, cv::MORPH_OPEN, kernel, cv::Point(-1, -1), iterations, cv::BORDER_CONSTANT,
                   cv::morphologyDefaultBorderValue());
}

}  // namespace

cv::Mat regionDetectorCyst::foregroundMask(const cv::Mat& picture, int mode, int minDiameter) {
  cv::Mat mask = clusterGreen(picture);
  if (mode == 0)
    open(mask, 7, 2);
  else if (mode == 1)
    open(mask, openingSize(minDiameter), 4);
  return mask;
}

void regionDetectorCyst::compute(int mode) {
  cv::Mat picture;
  try {
    picture = readColourPicture(filename, &readRefusal);
  } catch (const cv::Exception& e) {
    std::cout << "exception caught: " << e.what() << std::endl;
    fail(readFailed);
  }
  width = picture.cols;
  height = picture.rows;
  if (picture.empty()) fail(emptyImage);
  if (picture.type() != CV_8UC3) fail(notColourImage);

  std::vector<std::vector<cv::Point>> contours;
  std::vector<cv::Vec4i> hierarchy;
  try {
    const cv::Mat mask = foregroundMask(picture, mode, minDiameter);
    picture.release();
    cv::findContours(mask, contours, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_SIMPLE, cv::Point(0, 0));
  } catch (const std::exception& e) {
    // Too small an opening kernel, too few pixels to cluster, no memory:
    // the outlines of the previous run stay.
    std::cout << "exception caught: " << e.what() << std::endl;
    fail(isMemoryFailure(e) ? outOfMemory : analysisFailed);
  }

  xcoord.clear();
  ycoord.clear();
  inner.clear();
  for (const cv::Vec4i& entry : hierarchy) inner.push_back(entry[3]);
  std::cout << " Number of regions: " << contours.size() << std::endl;
  for (const std::vector<cv::Point>& contour : contours) {
    std::vector<int> xs, ys;
    xs.reserve(contour.size());
    ys.reserve(contour.size());
    for (const cv::Point& p : contour) {
      xs.push_back(p.x);
      ys.push_back(p.y);
    }
    xcoord.push_back(std::move(xs));
    ycoord.push_back(std::move(ys));
  }
}
