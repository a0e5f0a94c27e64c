#include "WidgetEvents.h"

#include <cairomm/context.h>
#include <gtkmm/main.h>

#include <fstream>

void writeQuadrantPicture(const std::filesystem::path& file, int width, int height) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool left = x < width / 2;
      const Colour c = y < height / 2 ? (left ? kRed : kGreen) : (left ? kBlue : kWhite);
      out.put(static_cast<char>(c.red)).put(static_cast<char>(c.green)).put(static_cast<char>(c.blue));
    }
  }
}

void pumpEvents() {
  while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
}

void showAndWait(Gtk::Window& window, Gtk::Widget& widget, int width, int height) {
  window.set_default_size(width, height);
  window.show_all();
  for (int round = 0; round < 400; ++round) {
    pumpEvents();
    if (widget.get_allocated_width() == width && widget.get_allocated_height() == height) break;
    g_usleep(5000);
  }
  pumpEvents();
}

namespace {

GdkEvent* newEvent(Gtk::Widget& widget, GdkEventType type) {
  GdkEvent* event = gdk_event_new(type);
  event->any.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
  gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
  return event;
}

void deliver(Gtk::Widget& widget, GdkEvent* event) {
  widget.event(event);
  gdk_event_free(event);
  pumpEvents();
}

void button(Gtk::Widget& widget, GdkEventType type, unsigned number, double x, double y) {
  GdkEvent* event = newEvent(widget, type);
  event->button.button = number;
  event->button.x = x;
  event->button.y = y;
  deliver(widget, event);
}

}  // namespace

void pressButton(Gtk::Widget& widget, unsigned number, double x, double y) {
  button(widget, GDK_BUTTON_PRESS, number, x, y);
}

void releaseButton(Gtk::Widget& widget, unsigned number, double x, double y) {
  button(widget, GDK_BUTTON_RELEASE, number, x, y);
}

void movePointer(Gtk::Widget& widget, double x, double y) {
  GdkEvent* event = newEvent(widget, GDK_MOTION_NOTIFY);
  event->motion.x = x;
  event->motion.y = y;
  deliver(widget, event);
}

void turnWheel(Gtk::Widget& widget, GdkScrollDirection direction, double x, double y) {
  GdkEvent* event = newEvent(widget, GDK_SCROLL);
  event->scroll.direction = direction;
  event->scroll.x = x;
  event->scroll.y = y;
  deliver(widget, event);
}

void pressKey(Gtk::Widget& widget, unsigned keyval) {
  GdkEvent* event = newEvent(widget, GDK_KEY_PRESS);
  event->key.keyval = keyval;
  deliver(widget, event);
}

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
