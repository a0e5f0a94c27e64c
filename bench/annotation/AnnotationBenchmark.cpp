// Writing and reading an annotation of 500 regions of 2,000 vertices each.
// Besides time, the benchmarks report the peak resident memory (MiB) of one
// write and of one read, each measured in a child forked before anything
// large was allocated, and of merely holding the shapes, for comparison.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ImageClass.h"
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
double peakReadingMiB = 0;

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

void BM_ReadAnnotation(benchmark::State& state) {
  std::vector<baseShape*> shapes = makeRegions();
  writeAnnotation(shapes);
  deleteAll(shapes);
  for (auto _ : state) {
    std::vector<baseShape*> read = readAnnotation();
    if (read.size() != regionCount) state.SkipWithError("read failed");
    deleteAll(read);
  }
  state.counters["peak_MiB"] = peakReadingMiB;
}

BENCHMARK(BM_WriteAnnotation)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadAnnotation)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  peakHoldingShapesMiB = peakMiB([] {
    std::vector<baseShape*> shapes = makeRegions();
    deleteAll(shapes);
  });
  peakWritingMiB = peakMiB([] {
    std::vector<baseShape*> shapes = makeRegions();
    writeAnnotation(shapes);
    deleteAll(shapes);
  });
  peakReadingMiB = peakMiB([] {
    std::vector<baseShape*> shapes = readAnnotation();
    deleteAll(shapes);
  });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(annotationPath.c_str());
  return 0;
}
