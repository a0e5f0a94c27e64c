#ifndef FRAME_H
#define FRAME_H

#include <cairomm/surface.h>
#include <gtkmm/widget.h>

#include "Colour.h"

// One frame of the widget, painted at its allocated size into an image the
// test can probe.
class Frame {
 public:
  explicit Frame(Gtk::Widget& widget);
  Colour pixel(int x, int y) const;
  unsigned alpha(int x, int y) const;

 private:
  const unsigned char* at(int x, int y) const;
  Cairo::RefPtr<Cairo::ImageSurface> surface;
};

#endif
