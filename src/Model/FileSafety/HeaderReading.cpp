#include "HeaderReading.h"

#include <climits>

HeaderReading HeaderReading::sized(std::int64_t width, std::int64_t height, double leastFileBytes) {
  if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX) return of(decoderRefuses);
  // Above 2^62 the bound refuses every file alike.
  const double capped = leastFileBytes < 0x1p62 ? leastFileBytes : 0x1p62;
  return HeaderReading{size, static_cast<int>(width), static_cast<int>(height),
                       static_cast<std::uint64_t>(capped > 0 ? capped : 0)};
}
