#include "PairedTimes.h"

#include <chrono>

#include "Median.h"

namespace synthetic {

namespace {

double millisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

void PairedTimes::runBoth(const std::function<void()>& oursWork, const std::function<void()>& theirsWork) {
  ours.push_back(millisecondsOf(oursWork));
  theirs.push_back(millisecondsOf(theirsWork));
}

double PairedTimes::oursMedian() const { return median(ours); }

double PairedTimes::theirsMedian() const { return median(theirs); }

}  // namespace synthetic
