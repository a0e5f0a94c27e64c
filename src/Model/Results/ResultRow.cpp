#include "ResultRow.h"

#include <cstdint>

#include "regionShape.h"

void ResultRow::judgeBorders(int clase, const std::vector<int>& box, int width, int height) {
  if (clase == voidClass) {
    count = false;
    measure = true;
    return;
  }
  const int minX = box[0], maxX = box[1], minY = box[2], maxY = box[3];
  if (minX < borderMargin || minY < borderMargin) {
    count = false;
    measure = false;
    return;
  }
  count = true;
  // 64 bits: the picture's size comes from files and may be anything.
  const auto room = [](int size, int extent) { return static_cast<std::int64_t>(size) - extent; };
  measure = room(width, maxX) >= borderMargin && room(height, maxY) >= borderMargin && nucleus;
}

std::string ResultRow::stageName(int clase, const std::vector<std::string>& classNames) {
  if (clase == 0) return "Without stage";
  if (clase < 0 || clase > static_cast<int>(classNames.size())) return "Unknown";
  return classNames[clase - 1];
}

std::vector<ResultRow> ResultRow::rowsOf(const std::vector<baseShape*>& shapes, int width, int height, double scale,
                                         const std::vector<std::string>& classNames) {
  std::vector<ResultRow> rows;
  for (baseShape* shape : shapes) {
    auto* region = dynamic_cast<regionShape*>(shape);
    if (region == nullptr || !region->getVisible()) continue;
    ResultRow row;
    row.id = region->getId();
    row.diameter = region->getDiameter(width, height) * scale;
    row.area = region->getArea(width, height) * (scale * scale);
    row.stage = stageName(region->getClase(), classNames);
    row.nucleus = region->getType() != 0;
    row.judgeBorders(region->getClase(), region->getRectangle(width, height), width, height);
    rows.push_back(std::move(row));
  }
  return rows;
}
