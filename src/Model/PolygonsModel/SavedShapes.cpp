#include "SavedShapes.h"

#include <cstring>
#include <string>

#include "Angle.h"
#include "Line.h"
#include "arcShape.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

namespace {

// 64-bit FNV-1a over the values fed to it: with a few thousand shapes, two
// different annotations share a fingerprint with a chance far below any
// hardware fault.
class Fingerprint {
 public:
  void add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      hash ^= bytes[i];
      hash *= 0x100000001b3ULL;
    }
  }
  void add(std::int64_t value) { add(&value, sizeof value); }
  void add(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    add(&bits, sizeof bits);
  }
  void add(const std::string& text) {
    // The length first, so that neighbouring texts cannot trade characters.
    add(static_cast<std::int64_t>(text.size()));
    add(text.data(), text.size());
  }
  void addPoint(pointShape* point) {
    add(point->getX());
    add(point->getY());
  }
  void addOutline(const std::vector<pointShape*>& vertices) {
    add(static_cast<std::int64_t>(vertices.size()));
    for (pointShape* vertex : vertices) addPoint(vertex);
  }
  void addShape(baseShape* shape);

  std::uint64_t value() const { return hash; }

 private:
  std::uint64_t hash = 0xcbf29ce484222325ULL;
};

void Fingerprint::addShape(baseShape* shape) {
  if (shape == nullptr) {
    add(std::int64_t{-1});
    return;
  }
  add(static_cast<std::int64_t>(shape->getTypeShape()));
  add(static_cast<std::int64_t>(shape->getId()));
  add(shape->getName());
  add(static_cast<std::int64_t>(shape->getVisible() | (shape->getDeleted() << 1) | (shape->getManual() << 2)));
  add(static_cast<std::int64_t>(shape->getType()));
  add(static_cast<std::int64_t>(shape->getClase()));
  add(static_cast<std::int64_t>(shape->getClaseAutomatic()));
  add(static_cast<std::int64_t>(shape->getSmallerCell()));
  if (auto* point = dynamic_cast<pointShape*>(shape)) {
    addPoint(point);
  } else if (auto* circle = dynamic_cast<circleShape*>(shape)) {
    add(circle->getX());
    add(circle->getY());
    add(circle->getRadius());
  } else if (auto* region = dynamic_cast<regionShape*>(shape)) {
    addOutline(region->getLinePoints());
    const std::vector<baseShape*> inner = region->getPoints();
    add(static_cast<std::int64_t>(inner.size()));
    for (baseShape* point : inner) addShape(point);
  } else if (auto* line = dynamic_cast<Line*>(shape)) {
    for (double coordinate : line->getCoordinates()) add(coordinate);
  } else if (auto* angle = dynamic_cast<Angle*>(shape)) {
    addPoint(angle->getp1());
    addPoint(angle->getVertex());
    addPoint(angle->getp3());
  } else if (auto* arc = dynamic_cast<arcShape*>(shape)) {
    addOutline(arc->getLinePoints());
  }
}

}  // namespace

SavedShapes::SavedShapes() : saved(fingerprint({})) {}

void SavedShapes::record(const std::vector<baseShape*>& shapes) { saved = fingerprint(shapes); }

bool SavedShapes::differ(const std::vector<baseShape*>& shapes) const { return fingerprint(shapes) != saved; }

std::uint64_t SavedShapes::fingerprint(const std::vector<baseShape*>& shapes) {
  Fingerprint print;
  print.add(static_cast<std::int64_t>(shapes.size()));
  for (baseShape* shape : shapes) print.addShape(shape);
  return print.value();
}
