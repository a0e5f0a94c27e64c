#ifndef RENDERFIXTURES_H
#define RENDERFIXTURES_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Angle.h"
#include "Draw.h"
#include "DrawClassType.h"
#include "ImageClass.h"
#include "Line.h"
#include "Preferences.h"
#include "SurfaceProbe.h"
#include "arcShape.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

// Visible, unselected shapes of the given class for the renderer tests.
inline std::unique_ptr<pointShape> makePoint(double x, double y, int clase = 0) {
  return std::make_unique<pointShape>(x, y, 1, true, false, false, false, 0, clase, 0);
}

inline std::unique_ptr<regionShape> makeRegion(const std::vector<std::pair<double, double>>& outline, int type,
                                               int clase = 0) {
  auto region = std::make_unique<regionShape>(1, true, false, false, false, type, clase, 0);
  for (const auto& [x, y] : outline) region->addLinePoint(x, y);
  return region;
}

inline std::unique_ptr<circleShape> makeCircle(double radius, double x, double y, int clase = 0) {
  return std::make_unique<circleShape>(radius, x, y, 1, true, false, false, false, 0, clase, 0);
}

inline std::unique_ptr<Line> makeLine(double x1, double y1, double x2, double y2, int clase = 0) {
  return std::make_unique<Line>(x1, y1, x2, y2, 1, true, false, false, false, 0, clase, 0);
}

// An angle with the first `placed` of its points put at the given places.
inline std::unique_ptr<Angle> makeAngle(const std::vector<std::pair<double, double>>& places, int clase = 0) {
  auto corner = [] { return new pointShape(0, 0, 0, true, false, false, false, 0, 0, 0); };
  auto angle = std::make_unique<Angle>(corner(), corner(), corner(), 1, true, false, false, false, 0, clase, 0);
  for (const auto& [x, y] : places) angle->addPoint(x, y, 0);
  return angle;
}

inline std::unique_ptr<arcShape> makeArc(const std::vector<std::pair<double, double>>& vertices) {
  auto arc = std::make_unique<arcShape>(1, true, false, false, false, 0, 0, 0);
  for (const auto& [x, y] : vertices) arc->addLinePoint(x, y);
  return arc;
}

// Settings whose kinds and classes all have distinct colours with distinct
// components, so a swapped kind or component order shows.
struct Palette {
  Gdk::RGBA point = rgba(1, 0.5, 0, 1);
  Gdk::RGBA circle = rgba(0, 1, 0.5, 1);
  Gdk::RGBA region = rgba(0.25, 0, 1, 1);
  std::vector<Gdk::RGBA> classes = {rgba(0.8, 0.2, 0.4, 1), rgba(0.1, 0.6, 0.9, 1), rgba(0.5, 0.9, 0.1, 1)};
};

// The palette as settings: styles are blue, red, green, alpha, width; class
// colours blue, red, green, alpha. Points are 5 wide (rings of radius 15),
// circles 4 and regions 6.
inline std::unique_ptr<Preferences> paletteSettings() {
  auto settings = std::make_unique<Preferences>();
  settings->getPointPreferences() = {0, 1, 0.5, 1, 5};
  settings->getCirclePreferences() = {0.5, 0, 1, 1, 4};
  settings->getRegionPreferences() = {1, 0.25, 0, 1, 6};
  settings->getClassPreferences() = {{0.4, 0.8, 0.2, 1}, {0.9, 0.1, 0.6, 1}, {0.1, 0.5, 0.9, 1}};
  return settings;
}

enum class Renderer { Plain, ClassType };
inline const Renderer kBothRenderers[] = {Renderer::Plain, Renderer::ClassType};

inline std::unique_ptr<Draw> makeRenderer(Renderer kind, ImageClass* image) {
  if (kind == Renderer::Plain) return std::make_unique<Draw>(image);
  return std::make_unique<DrawClassType>(image);
}

inline std::string nameOf(Renderer kind) { return kind == Renderer::Plain ? "Draw" : "DrawClassType"; }

enum class Kind { Point, Region, Circle, Line, Angle, Arc };

// A shape with a window pixel that lies on its stroke when drawn with the
// palette on a 400 x 400 image at scale 1 and offsets 0. Regions are of type
// 1 (solid) and have no interior points.
struct ProbedShape {
  std::unique_ptr<baseShape> shape;
  int x;
  int y;
};

inline ProbedShape probedShape(Kind kind, int clase = 0) {
  switch (kind) {
    case Kind::Point:  // ring of radius 15 around (200, 200)
      return {makePoint(0.5, 0.5, clase), 215, 200};
    case Kind::Region:
      return {makeRegion({{0.1, 0.5}, {0.9, 0.5}}, 1, clase), 200, 200};
    case Kind::Circle:
      return {makeCircle(50, 0.5, 0.5, clase), 250, 200};
    case Kind::Line:
      return {makeLine(0.1, 0.5, 0.9, 0.5, clase), 200, 200};
    case Kind::Angle:  // the middle of the first arm, clear of the point marks
      return {makeAngle({{0.1, 0.5}, {0.5, 0.5}, {0.5, 0.1}}, clase), 120, 200};
    case Kind::Arc:
      return {makeArc({{0.1, 0.5}, {0.9, 0.5}}), 200, 200};
  }
  return {};
}

inline std::string nameOf(Kind kind) {
  const char* names[] = {"point", "region", "circle", "line", "angle", "arc"};
  return names[static_cast<int>(kind)];
}

#endif
