#include "EventPump.h"

#include <gtkmm/main.h>

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
