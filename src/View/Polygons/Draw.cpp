#include "Draw.h"

#include <gdkmm/general.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "OutlinePath.h"

namespace {

// A whole turn for the arcs of rings and circles; the few micro-radians past
// 2 pi make the stroke overlap itself, so the ring shows no seam.
constexpr double kFullTurn = 6.2832;
// Width of a selected circle (image pixels) and line (window pixels).
constexpr double kSelectedWidth = 10.0;

// A style of the settings: blue, red, green, alpha, width.
constexpr std::size_t kStyleLength = 5;

// Window coordinates farther off than this are taken as not finite: their
// differences and squares would overflow.
constexpr double kFarthest = 1e150;

bool usable(double coordinate) { return std::abs(coordinate) <= kFarthest; }

Gdk::RGBA colourOfStyle(const std::vector<double>& style) {
  Gdk::RGBA colour;
  colour.set_rgba(style[1], style[2], style[0], style[3]);
  return colour;
}

Gdk::RGBA rgba(double red, double green, double blue, double alpha) {
  Gdk::RGBA colour;
  colour.set_rgba(red, green, blue, alpha);
  return colour;
}

}  // namespace

Draw::Draw(ImageClass* image, RegionOutline regionOutline)
    : colorPoint(rgba(0, 0, 1, 0.4)),
      colorFreeHand(rgba(0, 0, 1, 1)),
      colorCircle(rgba(0, 0, 1, 1)),
      regionOutline(regionOutline) {
  setImage(image);
}

void Draw::drawNew(const std::vector<baseShape*>& poligons, const Cairo::RefPtr<Cairo::Context>& cr, double scale,
                   double OffsetX, double OffsetY) {
  if (!(imgWidth > 0 && imgHeight > 0 && scale > 0)) return;
  for (baseShape* shape : poligons) {
    if (shape == nullptr || !shape->getVisible()) continue;
    if (auto* point = dynamic_cast<pointShape*>(shape))
      drawNew(point, cr, scale, OffsetX, OffsetY);
    else if (auto* region = dynamic_cast<regionShape*>(shape))
      drawNew(region, cr, scale, OffsetX, OffsetY);
    else if (auto* circle = dynamic_cast<circleShape*>(shape))
      drawNew(circle, cr, scale, OffsetX, OffsetY);
    else if (auto* line = dynamic_cast<Line*>(shape))
      drawNew(line, cr, scale, OffsetX, OffsetY);
    else if (auto* arc = dynamic_cast<arcShape*>(shape))
      drawNew(arc, cr, scale, OffsetX, OffsetY);
    else if (auto* angle = dynamic_cast<Angle*>(shape))
      drawNew(angle, cr, scale, OffsetX, OffsetY);
  }
}

void Draw::setImage(ImageClass* image) {
  imgWidth = image != nullptr ? image->getWidth() : 0;
  imgHeight = image != nullptr ? image->getHeight() : 0;
}

void Draw::setColorPoint(Gdk::RGBA colour) {
  colorPoint = rgba(colour.get_red(), colour.get_green(), colour.get_blue(), 0.4);
}

void Draw::setColorFreeHand(Gdk::RGBA colour) { colorFreeHand = colour; }

void Draw::setColorCircle(Gdk::RGBA colour) { colorCircle = colour; }

Gdk::RGBA Draw::getOposite(Gdk::RGBA colour) {
  return rgba(1 - colour.get_red(), 1 - colour.get_green(), 1 - colour.get_blue(), colour.get_alpha());
}

float Draw::getLineWidthCircle() { return lineWidthCircle; }

void Draw::setLineWidthCircle(float w) { lineWidthCircle = 2 * w + 5; }

float Draw::getLinewWidthPoint() { return lineWidthPoint; }

void Draw::setLinewWidthPoint(float w) { lineWidthPoint = 2 * w + 5; }

float Draw::getLineWidthFreeHand() { return lineWidthFreeHand; }

void Draw::setLineWidthFreeHand(float w) { lineWidthFreeHand = 2 * w + 8; }

Gdk::RGBA Draw::getColorPoint() { return colorPoint; }

Gdk::RGBA Draw::getColorFreeHand() { return colorFreeHand; }

Gdk::RGBA Draw::getColorCircle() { return colorCircle; }

void Draw::setPreferences(Preferences* preferences) {
  if (preferences == nullptr) return;
  const auto take = [](const std::vector<double>& style, Gdk::RGBA& colour, float& width) {
    if (style.size() != kStyleLength) return;
    colour = colourOfStyle(style);
    width = static_cast<float>(style[4]);
  };
  take(preferences->getPointPreferences(), colorPoint, lineWidthPoint);
  take(preferences->getCirclePreferences(), colorCircle, lineWidthCircle);
  take(preferences->getRegionPreferences(), colorFreeHand, lineWidthFreeHand);
}

void Draw::drawNew(pointShape* point, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                   double OffsetY) {
  if (point == nullptr) return;
  drawPointWith(point, cr, scale, OffsetX, OffsetY, colourBySelection(*point, colorPoint));
}

void Draw::drawNew(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                   double OffsetY) {
  if (region == nullptr) return;
  drawRegionWith(region, cr, scale, OffsetX, OffsetY, colourBySelection(*region, colorFreeHand), false);
}

void Draw::drawNew(circleShape* circle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                   double OffsetY) {
  if (circle == nullptr) return;
  const bool selected = circle->getSelected();
  drawCircleWith(circle, cr, scale, OffsetX, OffsetY, colourBySelection(*circle, colorCircle),
                 selected ? kSelectedWidth : lineWidthCircle);
}

void Draw::drawNew(Line* line, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX, double OffsetY) {
  if (line == nullptr) return;
  const bool selected = line->getSelected();
  drawLineWith(line, cr, scale, OffsetX, OffsetY, colourBySelection(*line, colorFreeHand),
               selected ? kSelectedWidth : lineWidthFreeHand);
}

void Draw::drawNew(arcShape* arc, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                   double OffsetY) {
  if (arc == nullptr) return;
  cr->save();
  cr->set_line_cap(Cairo::LINE_CAP_ROUND);
  if (!arc->getLinePoints().empty()) {
    Gdk::Cairo::set_source_rgba(cr, colorFreeHand);
    cr->set_line_width(lineWidthFreeHand * scale);
    tracePolyline(cr, arc->getLinePoints(), scale, OffsetX, OffsetY);
  }
  cr->stroke();
  cr->restore();
}

void Draw::drawNew(Angle* angle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                   double OffsetY) {
  if (angle == nullptr) return;
  // Unselected, the arms keep the point colour set before the marks are drawn.
  drawAngleWith(angle, cr, scale, OffsetX, OffsetY, angle->getSelected() ? getOposite(colorFreeHand) : colorPoint);
}

std::optional<Draw::RowSpan> Draw::rowSpan(baseShape* shape, double scale, double OffsetY, double miterLimit) const {
  // How far past its centre line a stroke w wide can paint: half its width,
  // times the mitre limit or a square cap's diagonal, and the pixel its edge
  // shades.
  const double stretch = std::max({1.0, miterLimit, std::sqrt(2.0)});
  const auto reach = [&](double width) { return std::abs(width * scale) / 2 * stretch + 1; };
  const double ringReach = std::abs(3 * lineWidthPoint * scale) + reach(lineWidthPoint);
  RowSpan span{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  bool finite = true;
  const auto cover = [&](double y, double margin) {
    finite = finite && std::isfinite(y) && std::isfinite(margin);
    span.top = std::min(span.top, y - margin);
    span.bottom = std::max(span.bottom, y + margin);
  };

  if (auto* point = dynamic_cast<pointShape*>(shape)) {
    cover(windowY(point->getY(), scale, OffsetY), ringReach);
  } else if (auto* circle = dynamic_cast<circleShape*>(shape)) {
    // The plain renderer draws a selected circle kSelectedWidth wide.
    const double width = std::max(static_cast<double>(lineWidthCircle), kSelectedWidth);
    cover(windowY(circle->getY(), scale, OffsetY), std::abs(circle->getRadius() * scale) + reach(width));
  } else if (auto* region = dynamic_cast<regionShape*>(shape)) {
    const double outlineReach = reach(lineWidthFreeHand);
    for (pointShape* vertex : region->getLinePoints()) cover(windowY(vertex->getY(), scale, OffsetY), outlineReach);
    // Interior points are rings around their places.
    for (baseShape* inner : region->getPoints()) {
      if (inner == nullptr || !inner->getVisible()) continue;
      auto* point = dynamic_cast<pointShape*>(inner);
      if (point == nullptr) return std::nullopt;
      cover(windowY(point->getY(), scale, OffsetY), ringReach);
    }
  } else {
    return std::nullopt;
  }
  if (!finite) return std::nullopt;
  return span;
}

Gdk::RGBA Draw::colourBySelection(const baseShape& shape, const Gdk::RGBA& kindColour) {
  return shape.getSelected() ? getOposite(kindColour) : kindColour;
}

void Draw::drawPointWith(pointShape* point, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                         double OffsetY, const Gdk::RGBA& colour) {
  const double x = windowX(point->getX(), scale, OffsetX);
  const double y = windowY(point->getY(), scale, OffsetY);
  const double ringRadius = 3 * lineWidthPoint * scale;
  if (!placeable(x, y, ringRadius, reach(scale, OffsetX, OffsetY))) return;
  cr->save();
  Gdk::Cairo::set_source_rgba(cr, colour);
  cr->set_line_width(lineWidthPoint * scale);
  cr->set_line_cap(Cairo::LINE_CAP_ROUND);
  cr->arc(x, y, ringRadius, 0, kFullTurn);
  cr->stroke();
  cr->restore();
}

void Draw::drawRegionWith(regionShape* region, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                          double OffsetY, const Gdk::RGBA& colour, bool dashed) {
  cr->save();
  cr->set_line_cap(Cairo::LINE_CAP_ROUND);
  if (!region->getLinePoints().empty()) {
    Gdk::Cairo::set_source_rgba(cr, colour);
    cr->set_line_width(lineWidthFreeHand * scale);
    // Dash and gap follow the zoom, the offset does not.
    DashPattern dash{};
    if (dashed) dash = {50 * scale, 50 * scale, 15.0};
    tracePolyline(cr, region->getLinePoints(), scale, OffsetX, OffsetY, dash,
                  regionOutline == RegionOutline::Closed);
  }
  cr->stroke();
  cr->restore();
  // Interior points go through the list drawing, so each takes its own
  // visibility, class and selection.
  drawNew(region->getPoints(), cr, scale, OffsetX, OffsetY);
}

void Draw::drawCircleWith(circleShape* circle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                          double OffsetY, const Gdk::RGBA& colour, double imageLineWidth) {
  // Radius and width are image pixels; they are brought to the window here
  // rather than by scaling the context, which would divide the offsets by a
  // scale that may be zero.
  const double x = windowX(circle->getX(), scale, OffsetX);
  const double y = windowY(circle->getY(), scale, OffsetY);
  const double radius = circle->getRadius() * scale;
  if (!placeable(x, y, radius, reach(scale, OffsetX, OffsetY))) return;
  cr->save();
  Gdk::Cairo::set_source_rgba(cr, colour);
  cr->set_line_width(imageLineWidth * scale);
  cr->arc(x, y, radius, 0, kFullTurn);
  cr->stroke();
  cr->restore();
}

void Draw::drawLineWith(Line* line, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                        double OffsetY, const Gdk::RGBA& colour, double windowLineWidth) {
  cr->save();
  Gdk::Cairo::set_source_rgba(cr, colour);
  cr->set_line_width(windowLineWidth);
  tracePolyline(cr, line->getCoordinates(), scale, OffsetX, OffsetY, {}, false);
  cr->stroke();
  cr->restore();
}

void Draw::drawAngleWith(Angle* angle, const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX,
                         double OffsetY, const Gdk::RGBA& lineColour) {
  const int placed = angle->pointsUpdatedAngle();
  std::vector<pointShape*> arms;
  if (placed >= 1 && placed <= 3) arms.push_back(angle->getp1());
  if (placed >= 2 && placed <= 3) arms.push_back(angle->getVertex());
  if (placed == 3) arms.push_back(angle->getp3());

  cr->save();
  cr->set_line_cap(Cairo::LINE_CAP_ROUND);
  cr->set_line_width(lineWidthFreeHand * scale);
  // The marks go through the point operation, so each point shows its own
  // class and selection.
  for (pointShape* point : arms) drawNew(point, cr, scale, OffsetX, OffsetY);
  Gdk::Cairo::set_source_rgba(cr, lineColour);
  if (arms.size() >= 2) tracePolyline(cr, arms, scale, OffsetX, OffsetY);
  cr->stroke();
  cr->restore();
}

void Draw::tracePolyline(const Cairo::RefPtr<Cairo::Context>& cr, const std::vector<pointShape*>& vertices,
                         double scale, double OffsetX, double OffsetY, const DashPattern& dash,
                         bool closed) const {
  std::vector<double> fractions;
  fractions.reserve(2 * vertices.size());
  for (pointShape* vertex : vertices) {
    fractions.push_back(vertex->getX());
    fractions.push_back(vertex->getY());
  }
  tracePolyline(cr, fractions, scale, OffsetX, OffsetY, dash, closed);
}

void Draw::tracePolyline(const Cairo::RefPtr<Cairo::Context>& cr, const std::vector<double>& fractions, double scale,
                         double OffsetX, double OffsetY, const DashPattern& dash, bool closed) const {
  // Vertices with no usable place are passed over; the outline joins the
  // ones on either side.
  std::vector<double> window;
  window.reserve(fractions.size());
  for (std::size_t i = 0; i + 1 < fractions.size(); i += 2) {
    const double x = windowX(fractions[i], scale, OffsetX);
    const double y = windowY(fractions[i + 1], scale, OffsetY);
    if (!usable(x) || !usable(y)) continue;
    window.push_back(x);
    window.push_back(y);
  }
  if (window.empty()) return;
  const PictureReach within = reach(scale, OffsetX, OffsetY);
  OutlinePath path(cr);
  path.setDash(dash.on, dash.off, dash.offset);
  path.setBounds(within.left, within.top, within.right, within.bottom);
  path.moveTo(window[0], window[1]);
  for (std::size_t i = 2; i < window.size(); i += 2) path.lineTo(window[i], window[i + 1]);
  // Closing also a region of one or two vertices: with the round cap, its
  // first vertex shows as a dot as soon as it is placed.
  if (closed) path.lineTo(window[0], window[1]);
  path.finish();
}

PictureReach Draw::reach(double scale, double OffsetX, double OffsetY) const {
  return PictureReach(imgWidth * scale, imgHeight * scale, OffsetX, OffsetY);
}

bool Draw::placeable(double x, double y, double radius, const PictureReach& within) const {
  return within.contains(x, y) && within.spans(radius);
}

double Draw::windowX(double fraction, double scale, double OffsetX) const {
  return fraction * imgWidth * scale + OffsetX;
}

double Draw::windowY(double fraction, double scale, double OffsetY) const {
  return fraction * imgHeight * scale + OffsetY;
}
