// Writing and reading an annotation of 500 regions of 2,000 vertices each.
// Besides time, the benchmarks report the peak resident memory (MiB) of one
// write, measured in a child forked before anything large was allocated, and
// of merely holding the shapes, for comparison. Every read runs in a newly
// started copy of this program, as opening a file in a just started program
// does: its time and peak are that process's own, with no heap warmed by
// earlier reads (the file itself is in the system's cache, as a file just
// written or opened before is).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ImageClass.h"
#include "Median.h"
#include "XMLDAOPolygons.h"
#include "regionShape.h"

namespace {

constexpr int regionCount = 500;
constexpr int verticesPerRegion = 2000;

std::vector<baseShape*> makeRegions() {
  std::vector<baseShape*> shapes;
  for (int r = 0; r < regionCount; ++r) {
    auto* region = new regionShape(r + 1, true, false, false, false, 0, 0, 0);
    const double cx = 0.1 + 0.8 * (r % 25) / 25.0;
    const double cy = 0.1 + 0.8 * (r / 25) / 20.0;
    for (int v = 0; v < verticesPerRegion; ++v) {
      const double angle = 2 * M_PI * v / verticesPerRegion;
      region->addLinePoint(cx + 0.02 * std::cos(angle), cy + 0.02 * std::sin(angle));
    }
    shapes.push_back(region);
  }
  return shapes;
}

void deleteAll(std::vector<baseShape*>& shapes) {
  for (baseShape* shape : shapes) delete shape;
  shapes.clear();
}

// Runs work once in a child process and returns the child's peak resident
// memory in MiB.
double peakMiB(const std::function<void()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    work();
    _exit(0);
  }
  rusage usage{};
  if (wait4(child, nullptr, 0, &usage) != child) return -1;
  return usage.ru_maxrss / 1024.0;
}

double peakHoldingShapesMiB = 0;
double peakWritingMiB = 0;

const std::string annotationPath = "/tmp/annotation_benchmark.xml";
ImageClass image("bench.png", 4000, 3000);

bool writeAnnotation(const std::vector<baseShape*>& shapes) {
  Model::XMLDAOPolygons writer(&image, 0.5);
  writer.setDiameters(200, 800);
  return writer.writePoligonsXML(annotationPath, shapes);
}

std::vector<baseShape*> readAnnotation() {
  ImageClass target;
  Model::XMLDAOPolygons reader(&target, -1.0);
  reader.set_substitute_entities(true);
  reader.parse_file(annotationPath);
  return reader.takePoligons();
}

void BM_WriteAnnotation(benchmark::State& state) {
  std::vector<baseShape*> shapes = makeRegions();
  for (auto _ : state)
    if (!writeAnnotation(shapes)) state.SkipWithError("write failed");
  state.counters["peak_MiB"] = peakWritingMiB;
  state.counters["peak_holding_shapes_MiB"] = peakHoldingShapesMiB;
  state.counters["file_MiB"] = [] {
    FILE* file = std::fopen(annotationPath.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    const double size = std::ftell(file) / 1048576.0;
    std::fclose(file);
    return size;
  }();
  deleteAll(shapes);
}

// Child mode: one read in this fresh process; prints its time (ms, negative
// when it failed) and the process's peak resident memory (MiB).
int readOnce() {
  const auto start = std::chrono::steady_clock::now();
  std::vector<baseShape*> read = readAnnotation();
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (read.size() != regionCount) ms = -1;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%f %f\n", ms, usage.ru_maxrss / 1024.0);
  deleteAll(read);
  return 0;
}

std::string self;

struct ChildRead {
  double ms = -1;
  double peakMiB = -1;
};

// One read by a newly started copy of this program.
ChildRead readInFreshProcess() {
  ChildRead result;
  FILE* child = popen((self + " --read-once").c_str(), "r");
  if (child == nullptr) return result;
  if (std::fscanf(child, "%lf %lf", &result.ms, &result.peakMiB) != 2) result.ms = -1;
  pclose(child);
  return result;
}

void BM_ReadAnnotationInAFreshProcess(benchmark::State& state) {
  std::vector<baseShape*> shapes = makeRegions();
  writeAnnotation(shapes);
  deleteAll(shapes);
  std::vector<double> times, peaks;
  for (auto _ : state) {
    const ChildRead read = readInFreshProcess();
    if (read.ms < 0) {
      state.SkipWithError("read failed");
      return;
    }
    times.push_back(read.ms);
    peaks.push_back(read.peakMiB);
  }
  state.counters["child_ms"] = synthetic::median(times);
  state.counters["peak_MiB"] = synthetic::median(peaks);
}

BENCHMARK(BM_WriteAnnotation)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadAnnotationInAFreshProcess)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--read-once") return readOnce();
  self = argv[0];
  peakHoldingShapesMiB = peakMiB([] {
    std::vector<baseShape*> shapes = makeRegions();
    deleteAll(shapes);
  });
  peakWritingMiB = peakMiB([] {
    std::vector<baseShape*> shapes = makeRegions();
    writeAnnotation(shapes);
    deleteAll(shapes);
  });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(annotationPath.c_str());
  return 0;
}
