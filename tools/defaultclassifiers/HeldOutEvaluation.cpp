#include "HeldOutEvaluation.h"

#include <algorithm>
#include <chrono>
#include <opencv2/imgproc.hpp>

#include "PreferencesDefaults.h"

namespace defaultspecies {

HeldOutEvaluation::HeldOutEvaluation(const std::string& speciesFolder) {
  // The program's detection gives the edge search one and a half times the
  // minimum diameter of the settings.
  const PreferencesDefaults defaults = PreferencesDefaults::lumora();
  detector.setDiameters(defaults.minimumDiameter + defaults.minimumDiameter / 2, defaults.maximumDiameter);
  classifier.loadClassifiersFrom(speciesFolder);
}

double HeldOutEvaluation::overlap(const synthetic::Cell& cell, const std::vector<int>& xs, const std::vector<int>& ys,
                                  cv::Size size) {
  std::vector<cv::Point> polygon;
  for (std::size_t i = 0; i < xs.size() && i < ys.size(); i++) polygon.emplace_back(xs[i], ys[i]);
  if (polygon.empty()) return 0;
  // Both masks are drawn over the box of the two shapes only.
  const double reach = std::max(cell.axes.width, cell.axes.height) + 2;
  const cv::Rect cellBox(cv::Point(cvFloor(cell.centre.x - reach), cvFloor(cell.centre.y - reach)),
                         cv::Point(cvCeil(cell.centre.x + reach), cvCeil(cell.centre.y + reach)));
  const cv::Rect outlineBox = cv::boundingRect(polygon);
  if ((cellBox & outlineBox).empty()) return 0;
  const cv::Rect box = (cellBox | outlineBox) & cv::Rect(cv::Point(), size);
  cv::Mat truth = cv::Mat::zeros(box.size(), CV_8U), found = cv::Mat::zeros(box.size(), CV_8U);
  synthetic::Cell shifted = cell;
  shifted.centre -= cv::Point2d(box.tl());
  synthetic::CellPainter::fillMask(truth, shifted);
  for (cv::Point& p : polygon) p -= box.tl();
  cv::fillPoly(found, std::vector<std::vector<cv::Point>>{polygon}, cv::Scalar(255));
  const double both = cv::countNonZero(truth & found), either = cv::countNonZero(truth | found);
  return either > 0 ? both / either : 0;
}

bool HeldOutEvaluation::add(const OocytePicture& picture, const std::string& picturePath) {
  const auto start = std::chrono::steady_clock::now();
  try {
    detector.setFilename(picturePath);
  } catch (int) {
    return false;
  }
  detector.processImage(0);
  const std::vector<std::vector<int>> xs = detector.getXCoordinates(), ys = detector.getYCoordinates();
  const cv::Size size = picture.image.size();
  for (const Oocyte& oocyte : picture.oocytes) {
    result.cells++;
    double best = 0;
    std::size_t bestContour = 0;
    for (std::size_t k = 0; k < xs.size(); k++) {
      const double iou = overlap(oocyte.cell, xs[k], ys[k], size);
      if (iou > best) {
        best = iou;
        bestContour = k;
      }
    }
    if (best < minimumOverlap) continue;
    result.found++;
    classify(oocyte, xs[bestContour], ys[bestContour], size);
  }
  result.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return true;
}

void HeldOutEvaluation::classify(const Oocyte& oocyte, const std::vector<int>& xs, const std::vector<int>& ys,
                                 cv::Size size) {
  regionShape region(1, true, false, false, false, 0, 0, 0);
  for (std::size_t i = 0; i < xs.size(); i++)
    region.addLinePoint(double(xs[i]) / size.width, double(ys[i]) / size.height);
  const std::vector<float> features = detector.getColorTextureFeatures(&region, size.width, size.height);
  if (features.empty()) return;
  // {nucleus, stage}; empty when nothing is loaded.
  const std::vector<int> classes = classifier.applyClassifiersPattern(features);
  if (classes.empty()) return;
  if (classes[0] == (oocyte.nucleus ? 1 : 0)) result.nucleusRight++;
  if (classes[1] == oocyte.stage) result.stageRight++;
}

}  // namespace defaultspecies
