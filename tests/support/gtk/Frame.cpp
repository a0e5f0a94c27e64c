#include "Frame.h"

#include <cairomm/context.h>

Frame::Frame(Gtk::Widget& widget)
    : surface(Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, widget.get_allocated_width(),
                                          widget.get_allocated_height())) {
  const auto cr = Cairo::Context::create(surface);
  gtk_widget_draw(widget.gobj(), cr->cobj());
  surface->flush();
}

const unsigned char* Frame::at(int x, int y) const { return surface->get_data() + y * surface->get_stride() + 4 * x; }

// Pixels are premultiplied; the probes read opaque ones, or alpha alone.
Colour Frame::pixel(int x, int y) const { return {at(x, y)[2], at(x, y)[1], at(x, y)[0]}; }

unsigned Frame::alpha(int x, int y) const { return at(x, y)[3]; }
