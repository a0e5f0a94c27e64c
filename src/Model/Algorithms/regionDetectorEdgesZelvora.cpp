#include "regionDetectorEdgesZelvora.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <new>

#include "ImageHandle.h"

regionDetectorEdgesZelvora::regionDetectorEdgesZelvora() { setProgramParameters(); }

regionDetectorEdgesZelvora::regionDetectorEdgesZelvora(std::string filename, int minDiameter, int maxDiameter)
    : regionDetectorEdges(std::move(filename), minDiameter, maxDiameter) {
  setProgramParameters();
}

regionDetectorEdgesZelvora::~regionDetectorEdgesZelvora() { releaseColourCopy(); }

void regionDetectorEdgesZelvora::setProgramParameters() {
  setSigma({4.0, 2.0});
  setThresholds({0.4, 0.55, 0.7}, {0.6, 0.75, 0.9});
  setRoundness(1.4);
}

void regionDetectorEdgesZelvora::releaseColourCopy() {
  if (img != nullptr) {
    ImageRelease()(img);
    img = nullptr;
  }
}

void regionDetectorEdgesZelvora::setFilename(std::string name) {
  // The old copy goes first: whatever happens, no copy of another picture
  // outlives this call.
  releaseColourCopy();
  regionDetectorEdges::setFilename(std::move(name));
}

bool regionDetectorEdgesZelvora::hasColourCopy() {
  if (img == nullptr && !src.empty()) img = myConversor.OpencvRGBToFourierImage(src);
  return img != nullptr;
}

void regionDetectorEdgesZelvora::processImage(int) {
  myfilter.setFlagChannel(0);
  myfilter.clearDates();
  if (src.empty()) return;
  try {
    // The search needs only the grey level, made straight from the picture
    // as read and dropped after the search.
    ImagePtr grey(myConversor.OpencvRGBToLibraryGrey(src));
    if (!grey) throw std::bad_alloc();
    myfilter.compute(grey.get(), true, true, false);
  } catch (int code) {
    std::cout << "Error processing Canny filter " << code << std::endl;
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
    std::cout << "Error processing Canny filter " << std::endl;
    throw;
  }
}

std::vector<float> regionDetectorEdgesZelvora::getColorTextureFeatures(regionShape* region, int width, int height) {
  if (region == nullptr || !hasColourCopy()) return {};
  // Vertices on the picture's last row or column (relative 1.0, or a region
  // annotated on a larger copy) are moved onto it: the features read only
  // pixels of the picture.
  const double lastColumn = get_num_cols(img) - 1, lastRow = get_num_rows(img) - 1;
  std::vector<double> x, y;
  for (pointShape* vertex : region->getLinePoints()) {
    const double column = vertex->getX() * width, row = vertex->getY() * height;
    if (!std::isfinite(column) || !std::isfinite(row)) return {};
    x.push_back(std::clamp(column, 0.0, lastColumn));
    y.push_back(std::clamp(row, 0.0, lastRow));
  }
  std::vector<double> features = myfilter.computeTextureFeatures(img, x, y);
  return std::vector<float>(features.begin(), features.end());
}
