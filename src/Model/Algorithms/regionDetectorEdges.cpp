#include "regionDetectorEdges.h"

#include <iostream>
#include <limits>

regionDetectorEdges::regionDetectorEdges() {
  myfilter.setDiameters(10, 50);
  myfilter.setMinPoints(20);
}

regionDetectorEdges::regionDetectorEdges(std::string filename, int minDiameter, int maxDiameter)
    : filename(std::move(filename)) {
  setDiameters(minDiameter, maxDiameter);
  loadImage();
}

regionDetectorEdges::~regionDetectorEdges() = default;

void regionDetectorEdges::clearPicture() {
  myfilter.clearDates();  // contours belong to the picture they were found on
  src.release();
  width = 0;
  height = 0;
}

void regionDetectorEdges::loadImage() {
  clearPicture();
  readRefusal.clear();
  cv::Mat read;
  try {
    read = readColourPicture(filename, &readRefusal);
  } catch (const cv::Exception& e) {
    std::cout << "exception caught: " << e.what() << std::endl;
    throw 2;
  }
  if (read.empty()) throw 3;
  if (read.type() != CV_8UC3) throw 4;
  src = read;
  width = src.cols;
  height = src.rows;
}

void regionDetectorEdges::setFilename(std::string name) {
  filename = std::move(name);
  loadImage();
}

void regionDetectorEdges::processImage(int) {}

void regionDetectorEdges::setDiameters(int min, int max) {
  // Checked first so that the minimum chain length cannot overflow and the
  // two settings change together or not at all.
  if (min > std::numeric_limits<int>::max() / 2) throw 6;
  myfilter.setDiameters(min, max);
  myfilter.setMinPoints(2 * min);
}

void regionDetectorEdges::setSigma(const std::vector<double>& sigmas) { myfilter.setSigma(sigmas); }

void regionDetectorEdges::setThresholds(const std::vector<double>& low, const std::vector<double>& high) {
  myfilter.setThresholds(low, high);
}

void regionDetectorEdges::setRoundness(double roundness) { myfilter.setRoundness(roundness); }

int regionDetectorEdges::getImageWidth() const { return width; }

const std::string& regionDetectorEdges::getReadRefusal() const { return readRefusal; }

int regionDetectorEdges::getImageHeight() const { return height; }

const std::vector<std::vector<int>>& regionDetectorEdges::getXCoordinates() const { return myfilter.getXCoordinates(); }

const std::vector<std::vector<int>>& regionDetectorEdges::getYCoordinates() const { return myfilter.getYCoordinates(); }

const edgesCannyGrey& regionDetectorEdges::getEdgeDetector() const { return myfilter; }
