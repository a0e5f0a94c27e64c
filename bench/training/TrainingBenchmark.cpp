// Cost of one whole training (4-fold grid search and final model) on 1,000
// synthetic 25-feature patterns, with the grid's points evaluated by 1 to 8
// threads. The chosen point is reported as counters, so that the parallel runs
// can be seen to choose the sequential model.

#include <benchmark/benchmark.h>

#include <iostream>
#include <random>
#include <sstream>

#include "ProgramProfile.h"
#include "Training.h"

namespace {

constexpr int features = 25;
constexpr int perClass = 500;

// Two overlapping classes, shifted apart on a third of the features, so that
// the grid's points score differently.
Training::Patterns syntheticPatterns() {
  std::mt19937 engine(1000);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  Training::Patterns patterns(2);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < perClass; ++i) {
      std::vector<float> pattern;
      for (int j = 0; j < features; ++j) pattern.push_back((j < features / 3 ? 0.6f * c : 0.0f) + noise(engine));
      patterns[c].push_back(pattern);
    }
  return patterns;
}

void BM_TrainingProblem(benchmark::State& state) {
  const Training::Patterns patterns = syntheticPatterns();
  const std::vector<std::vector<int>> index(2, {0, perClass / 4, perClass / 2, 3 * perClass / 4, perClass});
  const std::vector<int> counts(2, perClass);
  // The training's progress lines are not what is measured.
  std::ostringstream discarded;
  std::streambuf* console = std::cout.rdbuf(discarded.rdbuf());
  for (auto _ : state) {
    Training training(ProgramProfile::lumora().trainingCGrid);
    training.setThreads(static_cast<unsigned>(state.range(0)));
    if (!training.trainingProblem(patterns, index, features, counts)) state.SkipWithError("training failed");
    state.counters["bestC"] = training.getBestC();
    state.counters["bestGamma"] = training.getBestGamma();
    state.counters["bestKappa"] = training.getBestKappa();
    discarded.str("");
  }
  std::cout.rdbuf(console);
}
BENCHMARK(BM_TrainingProblem)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
