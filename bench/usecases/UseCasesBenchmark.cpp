// Benchmarks of Lumora's analysis use cases:
// - detection and classification of a synthetic 1, 4 and 12 megapixel
//   picture (edge search, one region per cell, colour-texture features of
//   every region, both classifiers), alternated in the same run with a plain
//   OpenCV pipeline of the same shape (blur, Canny, contours, per-region
//   colour and texture statistics of 25 values, the same two SVMs); the
//   medians of both and their ratio are reported;
// - filling the results table with 1,000 regions (needs a display);
// - writing a results CSV of 10,000 rows.
#include <benchmark/benchmark.h>
#include <gtkmm.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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
#include "CellRegions.h"
#include "ControllerFachade.h"
#include "OpticalClassifierZelvora.h"
#include "ResultsCsv.h"
#include "ScrollImage.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

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

// The same shape of work in plain OpenCV calls.
std::size_t plainOpenCv(const std::string& path, OpticalClassifierZelvora& classifier) {
  const cv::Mat picture = cv::imread(path, cv::IMREAD_COLOR | cv::IMREAD_IGNORE_ORIENTATION);
  cv::Mat grey, blurred, edges;
  cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  cv::GaussianBlur(grey, blurred, {0, 0}, 2.0);
  cv::Canny(blurred, edges, 20, 60);
  std::vector<std::vector<cv::Point>> contours;
  cv::findContours(edges, contours, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
  std::size_t classified = 0;
  for (const std::vector<cv::Point>& contour : contours) {
    const double diameter = 2 * std::sqrt(std::fabs(cv::contourArea(contour)) / CV_PI);
    if (diameter <= 20 || diameter >= 120) continue;
    const cv::Rect box = cv::boundingRect(contour) & cv::Rect(0, 0, picture.cols, picture.rows);
    cv::Mat mask = cv::Mat::zeros(box.size(), CV_8U);
    cv::drawContours(mask, std::vector<std::vector<cv::Point>>{contour}, 0, 255, cv::FILLED, cv::LINE_8, cv::noArray(),
                     0, -box.tl());
    // 25 values: colour means and deviations, grey statistics and gradient
    // energy over the region.
    cv::Scalar mean, deviation, greyMean, greyDeviation;
    cv::meanStdDev(picture(box), mean, deviation, mask);
    cv::meanStdDev(grey(box), greyMean, greyDeviation, mask);
    cv::Mat dx, dy;
    cv::Sobel(grey(box), dx, CV_32F, 1, 0);
    cv::Sobel(grey(box), dy, CV_32F, 0, 1);
    const double energy = cv::mean(dx.mul(dx) + dy.mul(dy), mask)[0];
    std::vector<float> pattern;
    for (int c = 0; c < 3; ++c) pattern.insert(pattern.end(), {float(mean[c]), float(deviation[c])});
    pattern.insert(pattern.end(), {float(greyMean[0]), float(greyDeviation[0]), float(energy)});
    pattern.resize(25, float(diameter));
    benchmark::DoNotOptimize(classifier.applyClassifiersPattern(pattern));
    ++classified;
  }
  return classified;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
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
  std::vector<double> ours, plain;
  std::size_t regions = 0, plainRegions = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    regions = detectAndClassify(path, classifier);
    ours.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    start = Clock::now();
    plainRegions = plainOpenCv(path, classifier);
    plain.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  state.counters["ours_ms"] = median(ours);
  state.counters["opencv_ms"] = median(plain);
  state.counters["ratio"] = median(ours) / median(plain);
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
