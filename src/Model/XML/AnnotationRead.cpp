#include "AnnotationRead.h"

#include <libxml++/exceptions/exception.h>

#include <algorithm>
#include <clocale>
#include <iostream>

#include "PictureReach.h"
#include "Preferences.h"
#include "RegularFileRead.h"
#include "XMLDAOPolygons.h"
#include "circleShape.h"

namespace Model {

namespace {

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
    : path(file), image(start) {
  // Only a regular file is parsed: a pipe or a device would keep the parser waiting.
  RegularFileRead contents(file);
  refusalReason = contents.refusal();
  if (!refusalReason.empty()) return;
  std::setlocale(LC_ALL, "C");
  XMLDAOPolygons reader(&image, -1.0, options);
  reader.set_substitute_entities(true);
  try {
    refusalReason = reader.parseOpenedFile(contents);
    if (!refusalReason.empty()) return;
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

bool AnnotationRead::holdsCircleTooLargeFor(int width, int height) const {
  const PictureReach reach(width, height);
  return std::any_of(shapes.begin(), shapes.end(), [&reach](const std::unique_ptr<baseShape>& shape) {
    const auto* circle = dynamic_cast<const circleShape*>(shape.get());
    return circle != nullptr && !reach.spans(circle->getRadius());
  });
}

void AnnotationRead::placeOn(const std::string& picture, int width, int height) {
  image.setFilename(picture);
  image.setWidth(width);
  image.setHeight(height);
  // The reader refused negative radii.
  const double largest = PictureReach(width, height).largestRadius();
  for (auto& shape : shapes)
    if (auto* circle = dynamic_cast<circleShape*>(shape.get()))
      circle->setRadius(std::min(circle->getRadius(), largest));
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
