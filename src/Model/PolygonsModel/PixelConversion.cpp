#include "PixelConversion.h"

#include <cmath>
#include <limits>

namespace PixelConversion {

int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

int toPixel(double relative, double size) {
  const double pixels = relative * size;
  return truncateToInt(std::trunc(pixels + std::copysign(1e-6, pixels)));
}

}  // namespace PixelConversion
