#include "Rectangle.h"

#include <gdkmm/general.h>

#include <algorithm>

namespace {

bool strictlyBetween(double value, double bound1, double bound2) {
  return std::min(bound1, bound2) < value && value < std::max(bound1, bound2);
}

}  // namespace

Rectangle::Rectangle(double _imgWidth, double _imgHeight, Gdk::RGBA Colorr, double /*lineWidth*/)
    : imgWidth(_imgWidth), imgHeight(_imgHeight) {
  for (int corner = 0; corner < 4; ++corner) addPoint(0, 0);
  setColor(Colorr);
}

Rectangle::~Rectangle() {
  for (pointShape* point : points) delete point;
}

void Rectangle::draw(const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX, double OffsetY) {
  const auto windowX = [&](pointShape* p) { return p->getX() * imgWidth * scale + OffsetX; };
  const auto windowY = [&](pointShape* p) { return p->getY() * imgHeight * scale + OffsetY; };
  cr->save();
  Gdk::Cairo::set_source_rgba(cr, m_Color);
  cr->move_to(windowX(points[0]), windowY(points[0]));
  for (int corner : {1, 2, 3, 0}) cr->line_to(windowX(points[corner]), windowY(points[corner]));
  cr->fill();
  cr->restore();
}

bool Rectangle::inside(double x, double y) const {
  return strictlyBetween(x, points[0]->getX(), points[1]->getX()) &&
         strictlyBetween(y, points[0]->getY(), points[2]->getY());
}

void Rectangle::move(double x, double y) {
  const double width = points[2]->getX() - points[0]->getX();
  const double height = points[2]->getY() - points[0]->getY();
  double x1 = points[0]->getX() + x;
  double x2 = points[2]->getX() + x;
  double y1 = points[0]->getY() + y;
  double y2 = points[2]->getY() + y;
  // Stop at the near edges first; a box larger than the image then ends on
  // the far edges.
  if (x1 < 0) {
    x1 = 0;
    x2 = width;
  }
  if (y1 < 0) {
    y1 = 0;
    y2 = height;
  }
  if (x2 > 1) {
    x2 = 1;
    x1 = 1 - width;
  }
  if (y2 > 1) {
    y2 = 1;
    y1 = 1 - height;
  }
  setPoints(x1, y1, x2, y2);
}

void Rectangle::setPoints(double x0, double y0, double x1, double y1) {
  if (points.size() != 4) return;
  points[0]->setCoordinates(x0, y0);
  points[1]->setCoordinates(x1, y0);
  points[2]->setCoordinates(x1, y1);
  points[3]->setCoordinates(x0, y1);
}

void Rectangle::addPoint(double x, double y) {
  points.push_back(new pointShape(x, y, 0, true, false, false, false, 0, 0, 0));
}

void Rectangle::setImageDim(double _imgWidth, double _imgHeight) {
  imgWidth = _imgWidth;
  imgHeight = _imgHeight;
}

void Rectangle::setColor(Gdk::RGBA color) { m_Color = color; }
