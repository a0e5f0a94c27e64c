#ifndef EVENTPUMP_H
#define EVENTPUMP_H

#include <gtkmm/widget.h>
#include <gtkmm/window.h>

// Handles every event the toolkit has pending, without waiting for more.
void pumpEvents();

// Shows the window at the given size and waits until `widget` has its final
// allocation.
void showAndWait(Gtk::Window& window, Gtk::Widget& widget, int width, int height);

#endif
