#ifndef CANVASPAINTER_H
#define CANVASPAINTER_H

#include <cairomm/context.h>
#include <gdkmm/pixbuf.h>

#include "CanvasView.h"

// Paints the part of the picture that a canvas view shows. Only the window
// area the picture covers is scaled, with nearest-neighbour sampling, so a
// frame costs the same whatever the picture's size.
class CanvasPainter {
 public:
  // Paints nothing where the picture is not: the window's background stays.
  void paintPicture(const Cairo::RefPtr<Cairo::Context>& cr, const Glib::RefPtr<Gdk::Pixbuf>& picture,
                    const CanvasView& view);
  // Paints the window rectangle (x, y, width, height) of the picture scaled
  // by `scale` with its top-left corner at window (offsetX, offsetY); nothing
  // when the rectangle is empty.
  void paintArea(const Cairo::RefPtr<Cairo::Context>& cr, const Glib::RefPtr<Gdk::Pixbuf>& picture, double scale,
                 double offsetX, double offsetY, int x, int y, int width, int height);

 private:
  // The scaled part of the picture, kept between frames of the same size.
  Glib::RefPtr<Gdk::Pixbuf> buffer;
};

#endif
