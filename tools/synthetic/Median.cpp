#include "Median.h"

#include <algorithm>

namespace synthetic {

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace synthetic
