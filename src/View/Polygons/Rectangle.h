#ifndef RECTANGLE_H
#define RECTANGLE_H

#include <cairomm/context.h>
#include <gdkmm/rgba.h>

#include <vector>

#include "pointShape.h"

// A translucent filled box over the image: the canvas's selection box and the
// overview's mark of the visible part. Its corners are image fractions, p0
// top-left, p1 top-right, p2 bottom-right, p3 bottom-left, and it is drawn
// with the same view transform as the shapes.
class Rectangle {
 public:
  // The box is only filled, never stroked, so the line width is not used.
  Rectangle(double imgWidth, double imgHeight, Gdk::RGBA Colorr, double lineWidth);
  ~Rectangle();
  Rectangle(const Rectangle&) = delete;
  Rectangle& operator=(const Rectangle&) = delete;

  // The box's own corner list (owned by the box).
  const std::vector<pointShape*>& getPoints() const { return points; }
  void draw(const Cairo::RefPtr<Cairo::Context>& cr, double scale, double OffsetX, double OffsetY);
  // Whether the image fraction (x, y) lies strictly inside; edges are outside.
  bool inside(double x, double y) const;
  // Shifts the box by (x, y) image fractions, stopping at the image's edges
  // with its size kept.
  void move(double x, double y);
  // The box with opposite corners (x0, y0) and (x1, y1), in either order.
  // Does nothing unless the box has exactly four corners.
  void setPoints(double x0, double y0, double x1, double y1);
  void addPoint(double x, double y);
  void setImageDim(double _imgWidth, double _imgHeight);
  void setColor(Gdk::RGBA color);

 private:
  std::vector<pointShape*> points;
  Gdk::RGBA m_Color;
  double imgWidth;
  double imgHeight;
};

#endif
