#include "AnnotationRead.h"

#include <libxml++/exceptions/exception.h>

#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <iostream>

#include "Preferences.h"
#include "XMLDAOPolygons.h"

namespace Model {

namespace {

// Why a file cannot be parsed at all; empty when it can. A device or a pipe
// would keep the parser waiting.
std::string unreadableReason(const std::string& file) {
  struct stat status {};
  if (stat(file.c_str(), &status) != 0) return "the file does not exist";
  if (!S_ISREG(status.st_mode)) return "it is not a regular file";
  if (access(file.c_str(), R_OK) != 0) return "the file cannot be read";
  return std::string();
}

// The parser's texts end with line breaks and may span several lines; a
// message box shows them as one sentence.
std::string oneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

AnnotationRead::AnnotationRead(const std::string& file, const ImageClass& start, PolygonsReadOptions options)
    : path(file), refusalReason(unreadableReason(file)), image(start) {
  if (!refusalReason.empty()) return;
  std::setlocale(LC_ALL, "C");
  XMLDAOPolygons reader(&image, -1.0, options);
  reader.set_substitute_entities(true);
  try {
    reader.parse_file(file);
  } catch (const xmlpp::exception& e) {
    std::cerr << "libxml++ exception: " << e.what() << std::endl;
    refusalReason = oneLine(e.what());
    if (refusalReason.empty()) refusalReason = "the file is not a readable XML document";
    return;
  }
  if (!reader.succeeded()) {
    refusalReason = "it is not an annotation file: no Poligonos element gives the picture's size";
    return;
  }
  reader.applyImageTo(image);
  calibration = reader.getCalibration();
  for (baseShape* shape : reader.takePoligons()) shapes.emplace_back(shape);
}

void AnnotationRead::applyTo(ImageClass& target, Preferences& settings) const {
  target.setFilename(image.getFilename());
  target.setWidth(image.getWidth());
  target.setHeight(image.getHeight());
  target.setMeasures(image.getMeasures());
  if (calibration > 0)
    settings.setCalibration(calibration);  // also switches calibration on
  else
    settings.setCalibrationActive(false);
}

std::vector<baseShape*> AnnotationRead::takeShapes() {
  std::vector<baseShape*> taken;
  taken.reserve(shapes.size());
  for (auto& shape : shapes) taken.push_back(shape.release());
  shapes.clear();
  return taken;
}

}  // namespace Model
