#include "CanvasPainter.h"

#include <gdkmm/general.h>

#include <algorithm>

void CanvasPainter::paintPicture(const Cairo::RefPtr<Cairo::Context>& cr, const Glib::RefPtr<Gdk::Pixbuf>& picture,
                                 const CanvasView& view) {
  if (!picture || !view.hasPicture()) return;
  const double scale = view.getScale();
  const CanvasView::WindowArea& area = view.getPictureArea();
  // The picture may differ in size from the one the view was set up for;
  // never scale from outside it.
  const double maxX = std::min(area.maxX, view.getOffsetX() + picture->get_width() * scale);
  const double maxY = std::min(area.maxY, view.getOffsetY() + picture->get_height() * scale);
  const int x = static_cast<int>(area.minX);
  const int y = static_cast<int>(area.minY);
  const int width = static_cast<int>(maxX - area.minX);
  const int height = static_cast<int>(maxY - area.minY);
  paintArea(cr, picture, scale, view.getOffsetX(), view.getOffsetY(), x, y, width, height);
}

void CanvasPainter::paintArea(const Cairo::RefPtr<Cairo::Context>& cr, const Glib::RefPtr<Gdk::Pixbuf>& picture,
                              double scale, double offsetX, double offsetY, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  if (!buffer || buffer->get_width() != width || buffer->get_height() != height)
    buffer = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, width, height);
  picture->scale(buffer, 0, 0, width, height, offsetX - x, offsetY - y, scale, scale, Gdk::INTERP_NEAREST);
  Gdk::Cairo::set_source_pixbuf(cr, buffer, x, y);
  cr->rectangle(x, y, width, height);
  cr->fill();
}
