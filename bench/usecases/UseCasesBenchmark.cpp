// Benchmarks of Lumora's analysis use cases:
// - detection and classification of a synthetic 1, 4 and 12 megapixel
//   picture (edge search, one region per cell, colour-texture features of
//   every region, both classifiers), alternated in the same run with a plain
//   OpenCV pipeline of the same shape (both scales, thresholds from the same
//   rate pairs, hull roundness and diameter, overlap test, 25 texture and
//   colour values per region, the same two SVMs); the medians of both, their
//   ratio and the regions each keeps are reported;
// - filling the results table with 1,000 regions (needs a display);
// - writing a results CSV of 10,000 rows.
#include <benchmark/benchmark.h>
#include <gtkmm.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "ActionsZelvora.h"
#include "BenchPictures.h"
#include "PairedTimes.h"
#include "CellRegions.h"
#include "ControllerFachade.h"
#include "OpticalClassifierZelvora.h"
#include "ResultsCsv.h"
#include "ScrollImage.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;

synthetic::BenchPictures pictures("usecases-bench", synthetic::BenchPictures::cellField);

const std::string kSpeciesFolder = std::string(LUMORA_RUN_DIR) + "/classifier/A";

// The use case's pipeline: returns the number of regions classified.
std::size_t detectAndClassify(const std::string& path, OpticalClassifierZelvora& classifier) {
  regionDetectorEdgesZelvora detector;
  detector.setFilename(path);
  detector.setDiameters(30, 120);
  detector.processImage(0);
  const int width = detector.getImageWidth(), height = detector.getImageHeight();
  std::vector<baseShape*> regions = CellRegions::overlappingTest(
      CellRegions::fromContours(detector.getXCoordinates(), detector.getYCoordinates(), width, height), 20, 120, width,
      height);
  for (baseShape* shape : regions) {
    auto* region = static_cast<regionShape*>(shape);
    benchmark::DoNotOptimize(
        classifier.applyClassifiersPattern(detector.getColorTextureFeatures(region, width, height)));
    delete shape;
  }
  return regions.size();
}

// Hysteresis thresholds of a rate pair as the detector takes them: the
// gradient moduli below which the low and the high rate of the pixels lie.
std::pair<double, double> rateThresholds(const cv::Mat& modulus, double low, double high) {
  double largest = 0;
  cv::minMaxLoc(modulus, nullptr, &largest);
  const int bins = 1024;
  cv::Mat histogram;
  const float range[] = {0, static_cast<float>(largest) + 1e-3f};
  const float* ranges[] = {range};
  cv::calcHist(&modulus, 1, nullptr, cv::Mat(), histogram, 1, &bins, ranges);
  const double total = static_cast<double>(modulus.total()), step = range[1] / bins;
  double below = 0, lowValue = largest, highValue = largest;
  bool lowFound = false;
  for (int b = 0; b < bins; ++b) {
    below += histogram.at<float>(b);
    if (!lowFound && below >= low * total) lowValue = (b + 1) * step, lowFound = true;
    if (below >= high * total) {
      highValue = (b + 1) * step;
      break;
    }
  }
  return {lowValue, highValue};
}

// Uniform rotation-invariant LBP codes (0..9) of the 8 neighbours of every
// pixel of a grey box, the box's border excluded.
cv::Mat lbpCodes(const cv::Mat& grey) {
  const cv::Rect inner(1, 1, grey.cols - 2, grey.rows - 2);
  const cv::Mat centre = grey(inner);
  const cv::Point around[8] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  cv::Mat bits[8], ones = cv::Mat::zeros(centre.size(), CV_8U), turns = ones.clone();
  for (int k = 0; k < 8; ++k) bits[k] = (grey(inner + around[k]) >= centre) / 255;
  for (int k = 0; k < 8; ++k) {
    ones += bits[k];
    cv::Mat change;
    cv::absdiff(bits[k], bits[(k + 1) % 8], change);
    turns += change;
  }
  cv::Mat codes = ones.clone();
  codes.setTo(9, turns > 2);
  return codes;
}

// The 25 values of a region: the 10 LBP frequencies of its grey level,
// colour and grey means and deviations, gradient energy, and hull shape.
std::vector<float> regionPattern(const cv::Mat& picture, const cv::Mat& grey, const std::vector<cv::Point>& hull,
                                 double diameter, double roundness) {
  const cv::Rect box = cv::boundingRect(hull) & cv::Rect(1, 1, picture.cols - 2, picture.rows - 2);
  std::vector<float> pattern;
  if (box.width < 1 || box.height < 1) return pattern;
  std::vector<cv::Point> local;
  for (const cv::Point& p : hull) local.push_back(p - box.tl());
  cv::Mat mask = cv::Mat::zeros(box.size(), CV_8U);
  cv::fillConvexPoly(mask, local, 255);
  cv::Mat codes = lbpCodes(grey(box + cv::Size(2, 2) - cv::Point(1, 1)));
  const double inside = std::max(1.0, double(cv::countNonZero(mask)));
  for (int code = 0; code < 10; ++code) pattern.push_back(float(cv::countNonZero((codes == code) & mask) / inside));
  cv::Scalar mean, deviation, greyMean, greyDeviation;
  cv::meanStdDev(picture(box), mean, deviation, mask);
  cv::meanStdDev(grey(box), greyMean, greyDeviation, mask);
  cv::Mat dx, dy;
  cv::Sobel(grey(box), dx, CV_32F, 1, 0);
  cv::Sobel(grey(box), dy, CV_32F, 0, 1);
  for (int c = 0; c < 3; ++c) pattern.insert(pattern.end(), {float(mean[c]), float(deviation[c])});
  pattern.insert(pattern.end(), {float(greyMean[0]), float(greyDeviation[0]),
                                 float(cv::mean(dx.mul(dx) + dy.mul(dy), mask)[0]), float(diameter),
                                 float(roundness), float(cv::contourArea(hull)), float(cv::arcLength(hull, true))});
  pattern.resize(25, 0.f);
  return pattern;
}

// The same shape of work in plain OpenCV calls: both scales, the three rate
// pairs turned into thresholds from the gradient moduli, contours filtered by
// their hull's roundness and diameter, overlapping outlines dropped, and 25
// texture and colour values per region for the same two SVMs.
std::size_t plainOpenCv(const std::string& path, OpticalClassifierZelvora& classifier) {
  const cv::Mat picture = cv::imread(path, cv::IMREAD_COLOR | cv::IMREAD_IGNORE_ORIENTATION);
  cv::Mat grey;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  const std::pair<double, double> rates[] = {{0.4, 0.6}, {0.55, 0.75}, {0.7, 0.9}};
  const double minDiameter = 30, maxDiameter = 120, keptMinimum = 20, roundnessLimit = 1.4;
  std::vector<std::vector<cv::Point>> hulls;
  std::vector<double> diameters, roundnesses;
  for (double sigma : {4.0, 2.0}) {
    cv::Mat blurred, dx, dy, modulus;
    cv::GaussianBlur(grey, blurred, {0, 0}, sigma);
    cv::Sobel(blurred, dx, CV_16S, 1, 0);
    cv::Sobel(blurred, dy, CV_16S, 0, 1);
    cv::Mat fx, fy;
    dx.convertTo(fx, CV_32F);
    dy.convertTo(fy, CV_32F);
    cv::magnitude(fx, fy, modulus);
    for (const auto& [low, high] : rates) {
      const auto [lowValue, highValue] = rateThresholds(modulus, low, high);
      cv::Mat edges;
      cv::Canny(dx, dy, edges, lowValue, highValue, true);
      std::vector<std::vector<cv::Point>> contours;
      cv::findContours(edges, contours, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
      for (const std::vector<cv::Point>& contour : contours) {
        if (contour.size() < 2 * minDiameter) continue;
        std::vector<cv::Point> hull;
        cv::convexHull(contour, hull);
        cv::Point2f centre;
        float radius = 0;
        cv::minEnclosingCircle(hull, centre, radius);
        const double diameter = 2 * radius, area = cv::contourArea(hull);
        const double roundness = area > 0 ? std::pow(cv::arcLength(hull, true), 2) / (4 * CV_PI * area) : 1e9;
        if (diameter < minDiameter || diameter > maxDiameter || roundness > roundnessLimit) continue;
        hulls.push_back(std::move(hull));
        diameters.push_back(diameter);
        roundnesses.push_back(roundness);
      }
    }
  }
  // An outline whose centre lies inside an outline kept before is dropped.
  std::vector<std::size_t> kept;
  std::vector<cv::Rect> keptBoxes;
  for (std::size_t i = 0; i < hulls.size(); ++i) {
    if (diameters[i] <= keptMinimum) continue;
    const cv::Moments m = cv::moments(hulls[i]);
    const cv::Point2f centre(float(m.m10 / std::max(m.m00, 1.0)), float(m.m01 / std::max(m.m00, 1.0)));
    bool overlaps = false;
    for (std::size_t k = 0; k < kept.size() && !overlaps; ++k)
      overlaps = keptBoxes[k].contains(centre) && cv::pointPolygonTest(hulls[kept[k]], centre, false) >= 0;
    if (overlaps) continue;
    kept.push_back(i);
    keptBoxes.push_back(cv::boundingRect(hulls[i]) + cv::Size(1, 1));
  }
  for (std::size_t i : kept) {
    benchmark::DoNotOptimize(
        classifier.applyClassifiersPattern(regionPattern(picture, grey, hulls[i], diameters[i], roundnesses[i])));
  }
  return kept.size();
}

// One iteration runs both pipelines, in turns, so that both see the same
// machine load.
void BM_DetectAndClassifyVersusPlainOpenCv(benchmark::State& state) {
  const std::string path = pictures.path(static_cast<int>(state.range(0)));
  OpticalClassifierZelvora classifier("", 0);
  if (!classifier.loadClassifiersFrom(kSpeciesFolder)) {
    state.SkipWithError("species A classifiers not found in the run folder");
    return;
  }
  synthetic::PairedTimes times;
  std::size_t regions = 0, plainRegions = 0;
  for (auto _ : state)
    times.runBoth([&] { regions = detectAndClassify(path, classifier); },
                  [&] { plainRegions = plainOpenCv(path, classifier); });
  state.counters["ours_ms"] = times.oursMedian();
  state.counters["opencv_ms"] = times.theirsMedian();
  state.counters["ratio"] = times.oursMedian() / times.theirsMedian();
  state.counters["regions"] = static_cast<double>(regions);
  state.counters["opencv_regions"] = static_cast<double>(plainRegions);
}

// `count` square regions on a grid over the picture, some of them void or
// near a border, with stages and nuclei.
std::vector<baseShape*> gridRegions(int count) {
  std::vector<baseShape*> regions;
  const int columns = static_cast<int>(std::ceil(std::sqrt(count)));
  const double side = 0.8 / columns;
  for (int k = 0; k < count; ++k) {
    const double x = (k % columns) / double(columns), y = (k / columns) / double(columns);
    auto* region = new regionShape(k + 1, true, false, false, false, k % 2, k % 5, k % 5);
    for (const auto& [dx, dy] : {std::pair{0.0, 0.0}, {side, 0.0}, {side, side}, {0.0, side}})
      region->addLinePoint(x + dx, y + dy);
    regions.push_back(region);
  }
  return regions;
}

void BM_ResultsCsvOf10000Rows(benchmark::State& state) {
  const std::vector<baseShape*> regions = gridRegions(10000);
  const fs::path file = fs::temp_directory_path() / ("usecases-bench-" + std::to_string(getpid()) + ".csv");
  const std::vector<std::string> names{"Alveolo", "Vitelline", "Hydrated", "Void"};
  for (auto _ : state) {
    std::ofstream out(file);
    ResultsCsv::writeHeader(out, ResultsCsv::resultsHeader);
    ResultsCsv::writeRows(out, regions, {"/data/pictures/section.png", 4000, 3000, true, 0.5}, "A", names);
  }
  fs::remove(file);
  for (baseShape* region : regions) delete region;
}

// The table of the window's lower pane refilled with 1,000 regions.
void BM_FillTableWith1000Regions(benchmark::State& state) {
  static const bool display = [] {
    int argc = 0;
    char** argv = nullptr;
    if (!gtk_init_check(&argc, &argv)) return false;
    Gtk::Main::init_gtkmm_internals();
    return true;
  }();
  if (!display) {
    state.SkipWithError("no display");
    return;
  }
  ControllerFachade controller;
  const std::string picture = pictures.path(1);
  controller.setImageProperties(picture, 0, 0);
  ScrollImage canvas(controller.getImageClass(), nullptr);
  Gtk::Paned lateral, bottom;
  ActionsZelvora actions(&canvas, &controller, &lateral, &bottom);
  canvas.setPolygonsModel(gridRegions(1000));
  actions.showTable();
  for (auto _ : state) actions.fillTreeView();
  actions.clearPolygonsModel();
}

BENCHMARK(BM_DetectAndClassifyVersusPlainOpenCv)->Arg(1)->Arg(4)->Arg(12)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTableWith1000Regions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultsCsvOf10000Rows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (int megapixels : {1, 4, 12}) {
    std::error_code ignored;
    fs::remove(fs::temp_directory_path() /
                   ("usecases-bench-" + std::to_string(getpid()) + "-" + std::to_string(megapixels) + ".ppm"),
               ignored);
  }
  return 0;
}
