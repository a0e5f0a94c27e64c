#include "ResultsCsv.h"

#include <cstdint>
#include <iomanip>
#include <locale>

#include "ResultRow.h"
#include "regionShape.h"

void ResultsCsv::writeHeader(std::ostream& out, const char* header) {
  out.imbue(std::locale::classic());
  out << header << "\n";
}

double ResultsCsv::pictureArea(const std::vector<baseShape*>& shapes, int width, int height) {
  // 64 bits: the size comes from files and may be anything.
  double area = static_cast<double>(static_cast<std::int64_t>(width) * height);
  for (baseShape* shape : shapes) {
    auto* region = dynamic_cast<regionShape*>(shape);
    if (region != nullptr && region->getVisible() && region->getClase() == ResultRow::voidClass)
      area -= region->getArea(width, height);
  }
  return area;
}

void ResultsCsv::writeRows(std::ostream& out, const std::vector<baseShape*>& shapes, const Picture& picture,
                           const std::string& species, const std::vector<std::string>& classNames) {
  out.imbue(std::locale::classic());
  float factor = 1.0f;
  double area = pictureArea(shapes, picture.width, picture.height);
  if (picture.calibrationActive) {
    factor = static_cast<float>(picture.calibration);
    area *= static_cast<double>(factor) * factor;
  }
  out << std::fixed << std::setprecision(12);
  for (const ResultRow& row : ResultRow::rowsOf(shapes, picture.width, picture.height, factor, classNames)) {
    out << picture.imageName << ";" << area << ";" << factor << ";" << species << ";" << row.id << ";" << row.diameter
        << ";" << row.area << ";" << row.stage << ";" << ResultRow::yesNo(row.nucleus) << ";"
        << ResultRow::yesNo(row.count) << ";" << ResultRow::yesNo(row.measure) << ";\n";
  }
}
