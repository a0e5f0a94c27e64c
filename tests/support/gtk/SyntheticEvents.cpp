#include "SyntheticEvents.h"

#include "EventPump.h"

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

void pressKey(Gtk::Widget& widget, unsigned keyval, unsigned state) {
  GdkEvent* event = newEvent(widget, GDK_KEY_PRESS);
  event->key.keyval = keyval;
  event->key.state = state;
  deliver(widget, event);
}

void drag(Gtk::Widget& widget, unsigned number, const std::vector<std::pair<double, double>>& path) {
  pressButton(widget, number, path.front().first, path.front().second);
  for (std::size_t i = 1; i < path.size(); ++i) movePointer(widget, path[i].first, path[i].second);
  releaseButton(widget, number, path.back().first, path.back().second);
}
