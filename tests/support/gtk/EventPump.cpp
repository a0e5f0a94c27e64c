#include "EventPump.h"

#include <gtest/gtest.h>
#include <gtkmm/main.h>

#include "HangLimit.h"

namespace {

// Only against a window that never gets its size (within 3 s when quiet);
// reaching it fails the test.
constexpr gint64 allocationWatchdog = hangLimitSeconds(3) * G_USEC_PER_SEC;

}  // namespace

void pumpEvents() {
  while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
}

void showAndWait(Gtk::Window& window, Gtk::Widget& widget, int width, int height) {
  window.set_default_size(width, height);
  window.show_all();
  const gint64 giveUp = g_get_monotonic_time() + allocationWatchdog;
  for (;;) {
    pumpEvents();
    if (widget.get_allocated_width() == width && widget.get_allocated_height() == height) break;
    if (g_get_monotonic_time() > giveUp) {
      ADD_FAILURE() << "the widget never got its size " << width << "x" << height << "; it has "
                    << widget.get_allocated_width() << "x" << widget.get_allocated_height();
      break;
    }
    g_usleep(5000);
  }
  pumpEvents();
}
