#include "DialogLoop.h"

DialogLoop::DialogLoop(Gtk::Window& window, Gtk::Window* parent) : window(window), loop(Glib::MainLoop::create()) {
  window.set_modal(true);
  if (parent != nullptr) window.set_transient_for(*parent);
  hidden = window.signal_hide().connect([this] { loop->quit(); });
  closed = window.signal_delete_event().connect(sigc::mem_fun(*this, &DialogLoop::onDelete));
}

DialogLoop::~DialogLoop() {
  hidden.disconnect();
  closed.disconnect();
}

void DialogLoop::run() {
  window.present();
  // A window hidden while it was being shown has nothing left to wait for.
  if (window.get_visible()) loop->run();
}

bool DialogLoop::onDelete(GdkEventAny* /*event*/) {
  window.hide();
  return true;
}
