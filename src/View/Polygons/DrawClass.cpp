#include "DrawClass.h"

#include <algorithm>

namespace {

// A class colour of the settings: blue, red, green, alpha.
constexpr std::size_t kClassColourLength = 4;

}  // namespace

DrawClass::DrawClass(ImageClass* image) : Draw(image) {}

void DrawClass::setPreferences(Preferences* preferences) {
  Draw::setPreferences(preferences);
  if (preferences == nullptr) return;
  colorClass.clear();
  for (const std::vector<double>& entry : preferences->getClassPreferences()) {
    // Every class keeps its place in the table; components an entry lacks
    // read as 0.
    std::vector<double> bgra(kClassColourLength, 0.0);
    std::copy_n(entry.begin(), std::min(entry.size(), kClassColourLength), bgra.begin());
    Gdk::RGBA colour;
    colour.set_rgba(bgra[1], bgra[2], bgra[0], bgra[3]);
    colorClass.push_back(colour);
  }
}

void DrawClass::drawNew(pointShape* point, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                        double OffsetY) {
  if (point == nullptr) return;
  drawPointWith(point, cr, scale, OffsetX, OffsetY, colourByClass(*point, colorPoint));
}

void DrawClass::drawNew(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                        double OffsetY) {
  if (region == nullptr) return;
  drawRegionWith(region, cr, scale, OffsetX, OffsetY, colourByClass(*region, colorFreeHand), false);
}

void DrawClass::drawNew(circleShape* circle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                        double OffsetY) {
  if (circle == nullptr) return;
  drawCircleWith(circle, cr, scale, OffsetX, OffsetY, colourByClass(*circle, colorCircle), lineWidthCircle);
}

void DrawClass::drawNew(Line* line, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                        double OffsetY) {
  if (line == nullptr) return;
  drawLineWith(line, cr, scale, OffsetX, OffsetY, colourByClass(*line, colorFreeHand), lineWidthFreeHand * scale);
}

void DrawClass::drawNew(Angle* angle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                        double OffsetY) {
  if (angle == nullptr) return;
  drawAngleWith(angle, cr, scale, OffsetX, OffsetY, colourByClass(*angle, colorFreeHand));
}

Gdk::RGBA DrawClass::colourByClass(const baseShape& shape, const Gdk::RGBA& kindColour) {
  if (shape.getSelected()) return getOposite(kindColour);
  const int clase = shape.getClase();
  if (clase >= 1 && static_cast<std::size_t>(clase) <= colorClass.size()) return colorClass[clase - 1];
  return kindColour;
}
