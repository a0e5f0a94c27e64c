#ifndef SYNTHETIC_MEDIAN_H
#define SYNTHETIC_MEDIAN_H

#include <vector>

namespace synthetic {

// The middle of the sorted values (the upper middle of an even count); 0
// for none. The benchmarks report medians of alternated runs.
double median(std::vector<double> values);

}  // namespace synthetic

#endif
