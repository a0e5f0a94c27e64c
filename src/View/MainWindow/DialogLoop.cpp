#include "DialogLoop.h"

#include <glibmm/main.h>

void runDialogLoop(Gtk::Window& window, Gtk::Window* parent) {
  Glib::RefPtr<Glib::MainLoop> loop = Glib::MainLoop::create();
  if (parent != nullptr) window.set_transient_for(*parent);
  window.set_modal(true);
  sigc::connection hidden = window.signal_hide().connect([loop] { loop->quit(); });
  // Closing hides the window instead of destroying it: its builder owns it.
  sigc::connection closed = window.signal_delete_event().connect([&window](GdkEventAny*) {
    window.hide();
    return true;
  });
  window.show();
  window.set_can_focus(true);
  window.grab_focus();
  if (window.get_visible()) loop->run();
  hidden.disconnect();
  closed.disconnect();
}
