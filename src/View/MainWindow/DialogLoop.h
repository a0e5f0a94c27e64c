#ifndef DIALOGLOOP_H
#define DIALOGLOOP_H

#include <gtkmm/window.h>

// Shows `window` modal and transient for `parent` (none when null), gives it
// the focus and runs a nested main loop until the window is hidden or closed.
void runDialogLoop(Gtk::Window& window, Gtk::Window* parent);

#endif
