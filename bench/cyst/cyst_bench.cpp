// Benchmarks of Cavitra's cyst analysis on painted sections of 1, 4 and 12
// megapixels: the detector in modes 0 and 1 alternated with the same OpenCV
// calls made plainly (medians of both, and peak resident memory of one run
// of each in a child process), and the texture features of one region, whose cost must follow
// the region, not the picture.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

#include "ProgramProfile.h"
#include "BenchPictures.h"
#include "PairedTimes.h"
#include "SectionPainter.h"
#include "TextureLBP.h"
#include "regionDetectorCyst.h"
#include "regionShape.h"

namespace {

constexpr int minDiameter = 40;

// A section with a cyst and a decoy per 40,000 pixels.
cv::Mat section(cv::Size size, std::uint32_t seed) {
  synthetic::SectionPainter painter(seed);
  const int objects = static_cast<int>(size.area() / 40000);
  return painter.paint(size, objects / 2, objects / 2, 30, 120).image;
}

synthetic::BenchPictures pictures("cyst-bench", section);

// Runs fn with standard output (the detector's count line) discarded.
void quietly(const std::function<void()>& fn) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int devNull = open("/dev/null", O_WRONLY);
  dup2(devNull, STDOUT_FILENO);
  fn();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  close(devNull);
}

// The detection written as plain OpenCV calls, for comparison.
std::size_t plainDetection(const std::string& path, int mode) {
  const cv::Mat picture = cv::imread(path, cv::IMREAD_COLOR | cv::IMREAD_IGNORE_ORIENTATION);
  cv::Mat green, samples, above, labels, mask;
  cv::extractChannel(picture, green, 1);
  green.convertTo(samples, CV_32F);
  samples = samples.reshape(1, picture.rows * picture.cols);
  cv::threshold(samples, above, cv::mean(samples)[0], 1.0, cv::THRESH_BINARY);
  above.convertTo(labels, CV_32S);
  cv::kmeans(samples, 2, labels, cv::TermCriteria(3, 10, 1.0), 1, cv::KMEANS_USE_INITIAL_LABELS);
  labels.reshape(1, picture.rows).convertTo(mask, CV_8U);
  if (mode == 0 || mode == 1) {
    const int size = mode == 0 ? 7 : minDiameter / 4;
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(size, size));
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN, kernel, cv::Point(-1, -1), mode == 0 ? 2 : 4);
  }
  std::vector<std::vector<cv::Point>> contours;
  std::vector<cv::Vec4i> hierarchy;
  cv::findContours(mask, contours, hierarchy, cv::RETR_CCOMP, cv::CHAIN_APPROX_SIMPLE);
  return contours.size();
}

std::size_t detectorDetection(const std::string& path, int mode) {
  regionDetectorCyst detector(path, minDiameter, 1000);
  quietly([&] { detector.compute(mode); });
  return detector.getXCoordinates().size();
}

// Peak resident memory (MiB) of one run of `work` in a child process.
double peakMiB(const std::function<void()>& work) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    work();
    _exit(0);
  }
  rusage usage{};
  if (wait4(child, nullptr, 0, &usage) != child) return -1;
  return usage.ru_maxrss / 1024.0;
}

// range(0) megapixels, range(1) the mode. One iteration runs the detector
// and the plain calls in turns, so that both see the same machine load.
void BM_CystDetectorVersusPlainOpenCv(benchmark::State& state) {
  const std::string path = pictures.path(static_cast<int>(state.range(0)));
  const int mode = static_cast<int>(state.range(1));
  synthetic::PairedTimes times;
  std::size_t outlines = 0, plainOutlines = 0;
  for (auto _ : state)
    times.runBoth([&] { outlines = detectorDetection(path, mode); },
                  [&] { plainOutlines = plainDetection(path, mode); });
  state.counters["ms"] = times.oursMedian();
  state.counters["opencv_ms"] = times.theirsMedian();
  state.counters["ratio"] = times.oursMedian() / times.theirsMedian();
  state.counters["outlines"] = static_cast<double>(outlines);
  state.counters["opencv_outlines"] = static_cast<double>(plainOutlines);
  state.counters["peak_MiB"] = peakMiB([&] { detectorDetection(path, mode); });
  state.counters["opencv_peak_MiB"] = peakMiB([&] { plainDetection(path, mode); });
}

// One region of diameter range(1) in the middle of a range(0) megapixel
// section.
void BM_TextureOfOneRegion(benchmark::State& state) {
  const std::string path = pictures.path(static_cast<int>(state.range(0)));
  const cv::Size size = synthetic::BenchPictures::sizeOf(static_cast<int>(state.range(0)));
  const double radius = static_cast<double>(state.range(1)) / 2;
  TextureLBP texture(path, 2);
  regionShape region(0, true, false, false, false, 0, 0, 0);
  for (int i = 0; i < 64; ++i) {
    const double a = 2 * CV_PI * i / 64;
    region.addLinePoint((size.width / 2.0 + radius * std::cos(a)) / size.width,
                        (size.height / 2.0 + radius * std::sin(a)) / size.height);
  }
  for (auto _ : state) benchmark::DoNotOptimize(texture.computelbp54(&region));
}

BENCHMARK(BM_CystDetectorVersusPlainOpenCv)
    ->ArgsProduct({{1, 4, 12}, {0, 1}})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TextureOfOneRegion)->ArgsProduct({{1, 12}, {40, 80, 160}})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  ProgramProfile::select(ProgramProfile::cavitra());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
