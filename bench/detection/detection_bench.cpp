// Benchmarks of the cell detector on synthetic 1, 4 and 12 megapixel
// pictures: the search of processImage (time, and peak memory measured in a
// child process of this program), and the colour-texture features of 300
// regions, whose cost per region must follow the region, not the picture.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "img_parallel.h"
#include "regionDetectorEdgesZelvora.h"

namespace {

synthetic::BenchPictures pictures("detection-bench", synthetic::BenchPictures::cellField);

// Runs fn with standard output (the search's progress lines) discarded.
template <typename Fn>
void quietly(Fn fn) {
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

// processImage on range(0) megapixels with the imaging library limited to
// range(1) threads (0: every core); the scales run side by side unless it
// is limited to one. Times are medians over the iterations.
void BM_ProcessImage(benchmark::State& state) {
  const int megapixels = static_cast<int>(state.range(0));
  imaging_set_threads(static_cast<int>(state.range(1)));
  regionDetectorEdgesZelvora detector;
  detector.setFilename(pictures.path(megapixels));
  detector.setDiameters(30, 120);
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    quietly([&] { detector.processImage(0); });
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  imaging_set_threads(0);
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  const double pixels = static_cast<double>(detector.getImageWidth()) * detector.getImageHeight();
  state.counters["contours"] = static_cast<double>(detector.getXCoordinates().size());
  state.counters["median_ms"] = median * 1e3;
  state.counters["ns_per_pixel"] = median / pixels * 1e9;
}

// Circles of `radius` pixels on a grid over the picture, as regions.
std::vector<std::unique_ptr<regionShape>> gridRegions(cv::Size size, int count, double radius) {
  std::vector<std::unique_ptr<regionShape>> regions;
  const int columns = static_cast<int>(std::ceil(std::sqrt(count * 4.0 / 3)));
  const int rows = (count + columns - 1) / columns;
  for (int k = 0; k < count; k++) {
    const double cx = (k % columns + 0.5) * size.width / columns, cy = (k / columns + 0.5) * size.height / rows;
    auto region = std::make_unique<regionShape>(k, true, false, false, false, 0, 0, 0);
    for (int i = 0; i < 64; i++) {
      const double a = 2 * CV_PI * i / 64;
      region->addLinePoint((cx + radius * std::cos(a)) / size.width, (cy + radius * std::sin(a)) / size.height);
    }
    regions.push_back(std::move(region));
  }
  return regions;
}

// 300 regions of radius range(1) on a picture of range(0) megapixels.
void BM_FeaturesOf300Regions(benchmark::State& state) {
  const int megapixels = static_cast<int>(state.range(0));
  const double radius = static_cast<double>(state.range(1));
  regionDetectorEdgesZelvora detector;
  detector.setFilename(pictures.path(megapixels));
  const cv::Size size(detector.getImageWidth(), detector.getImageHeight());
  const auto regions = gridRegions(size, 300, radius);
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (const auto& region : regions) {
      benchmark::DoNotOptimize(detector.getColorTextureFeatures(region.get(), size.width, size.height));
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["us_per_region"] = seconds / state.iterations() / regions.size() * 1e6;
}

long statusKib(const char* field) {
  FILE* f = std::fopen("/proc/self/status", "r");
  char line[256];
  long value = -1;
  while (f != nullptr && std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, field, std::strlen(field)) == 0) value = std::atol(line + std::strlen(field) + 1);
  }
  if (f != nullptr) std::fclose(f);
  return value;
}

// Child mode: peak resident memory of one processImage beyond what the
// loaded detector holds, in MiB and in bytes per pixel.
int measurePeakMemory(const std::string& path) {
  regionDetectorEdgesZelvora detector;
  detector.setFilename(path);
  detector.setDiameters(30, 120);
  // The peak is reset after loading, so that reading the picture does not
  // count.
  if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", clear);
    std::fclose(clear);
  }
  const long before = statusKib("VmRSS:");
  quietly([&] { detector.processImage(0); });
  const long peak = statusKib("VmHWM:");
  const double pixels = static_cast<double>(detector.getImageWidth()) * detector.getImageHeight();
  std::printf("%.1f %.2f %.1f\n", (peak - before) / 1024.0, (peak - before) * 1024.0 / pixels, before / 1024.0);
  return 0;
}

void BM_PeakMemoryOfProcessImage(benchmark::State& state) {
  const std::string path = pictures.path(static_cast<int>(state.range(0)));
  double extraMiB = 0, bytesPerPixel = 0, loadedMiB = 0;
  for (auto _ : state) {
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) {
      state.SkipWithError("cannot find the benchmark program");
      break;
    }
    FILE* child = popen((std::string(self) + " --peak-memory " + path).c_str(), "r");
    if (child == nullptr || std::fscanf(child, "%lf %lf %lf", &extraMiB, &bytesPerPixel, &loadedMiB) != 3) {
      state.SkipWithError("child measurement failed");
    }
    if (child != nullptr) pclose(child);
  }
  state.counters["peak_extra_MiB"] = extraMiB;
  state.counters["peak_bytes_per_pixel"] = bytesPerPixel;
  state.counters["loaded_MiB"] = loadedMiB;
}

BENCHMARK(BM_ProcessImage)
    ->ArgsProduct({{1, 4, 12}, {1, 2, 0}})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PeakMemoryOfProcessImage)->Arg(1)->Arg(4)->Arg(12)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FeaturesOf300Regions)->ArgsProduct({{1, 12}, {20, 60}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return measurePeakMemory(argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
