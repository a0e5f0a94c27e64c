#ifndef SYNTHETIC_PAIREDTIMES_H
#define SYNTHETIC_PAIREDTIMES_H

#include <functional>
#include <vector>

namespace synthetic {

// Times of two pieces of work run in turns, so that both see the same
// machine load; the benchmarks compare their medians.
class PairedTimes {
 public:
  // Runs `ours`, then `theirs`, timing each (ms).
  void runBoth(const std::function<void()>& ours, const std::function<void()>& theirs);
  double oursMedian() const;
  double theirsMedian() const;

 private:
  std::vector<double> ours;
  std::vector<double> theirs;
};

}  // namespace synthetic

#endif
