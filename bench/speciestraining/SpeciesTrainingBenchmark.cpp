// Benchmark of training a species' classifiers from 20 annotated pictures of
// 4 megapixels on all cores, along the path the training dialog starts: for
// each picture its annotation file is read, the picture is read into the
// edge detector (detection), the colour-texture features of its annotated
// cells are computed (features); then both classifiers are trained by grid
// search. Reports the total and the share of each stage.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AnnotatedTrainingSet.h"
#include "ModelFachade.h"
#include "OocytePainter.h"
#include "OpticalClassifierZelvora.h"
#include "TrainingSet.h"
#include "regionDetectorEdgesZelvora.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int pictureCount = 20;
// 4 megapixels at the painter's 4:3, with its density of cells.
const cv::Size pictureSize{2309, 1732};
constexpr int cellsPerPicture = 25;

double seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// The annotated pictures, painted once into a folder of their own.
const fs::path& trainingFolder() {
  static const fs::path folder = [] {
    const fs::path path = fs::temp_directory_path() / ("species-training-bench-" + std::to_string(getpid()));
    fs::create_directories(path);
    defaultspecies::AnnotatedTrainingSet set(path.string(), 10, 800);
    defaultspecies::OocytePainter painter(2024);
    for (int i = 0; i < pictureCount; ++i)
      set.add(painter.paint(pictureSize, cellsPerPicture), "section" + std::to_string(i));
    return path;
  }();
  return folder;
}

void BM_TrainSpeciesFromAnnotatedPictures(benchmark::State& state) {
  const fs::path& folder = trainingFolder();
  const fs::path output = folder / "species";
  fs::create_directories(output);
  for (auto _ : state) {
    Model::ModelFachade model;
    regionDetectorEdgesZelvora detector;
    OpticalClassifierZelvora classifier("", 0);
    TrainingSet set;
    double detection = 0;
    double features = 0;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < pictureCount; ++i) {
      const std::string name = "section" + std::to_string(i);
      const std::vector<baseShape*> shapes = model.readPolygonsXML((folder / (name + ".xml")).string());
      const std::vector<std::unique_ptr<baseShape>> owned(shapes.begin(), shapes.end());
      const Clock::time_point read = Clock::now();
      detector.setFilename((folder / (name + ".png")).string());
      const Clock::time_point detected = Clock::now();
      set.addRegions(detector, shapes);
      detection += seconds(read, detected);
      features += seconds(detected, Clock::now());
    }
    const Clock::time_point searched = Clock::now();
    const TrainingSet::Outcome outcome = set.train(classifier, output.string());
    const Clock::time_point end = Clock::now();
    if (!outcome.nucleusTrained || !outcome.stageTrained) state.SkipWithError("the species was not trained");
    const double total = seconds(start, end);
    const double gridSearch = seconds(searched, end);
    state.SetIterationTime(total);
    state.counters["detection_s"] = detection;
    state.counters["features_s"] = features;
    state.counters["grid_search_s"] = gridSearch;
    state.counters["detection_%"] = 100 * detection / total;
    state.counters["features_%"] = 100 * features / total;
    state.counters["grid_search_%"] = 100 * gridSearch / total;
    state.counters["patterns"] = static_cast<double>(set.nucleus(false).size() + set.nucleus(true).size());
  }
}

BENCHMARK(BM_TrainSpeciesFromAnnotatedPictures)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
