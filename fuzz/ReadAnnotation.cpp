#include "ReadAnnotation.h"

#include <cstdio>

#include "FuzzScratch.h"

ReadAnnotation::ReadAnnotation(const std::string& path) : shapes(model.readPolygonsXML(path, readable)) {
  for (baseShape* shape : shapes) owned.emplace_back(shape);
}

void checkCsvLength(std::size_t bytes, double bound, const char* which) {
  if (static_cast<double>(bytes) <= bound) return;
  std::fprintf(stderr, "%s: %zu bytes, bound %.0f\n", which, bytes, bound);
  invariantBroken("a CSV is longer than the picture's size and the shapes' count allow");
}
