#ifndef SYNTHETICEVENTS_H
#define SYNTHETICEVENTS_H

#include <gtkmm/widget.h>

#include <utility>
#include <vector>

// Pointer and key events delivered to a realized widget as the toolkit would
// deliver them, each followed by the events it causes.

void pressButton(Gtk::Widget& widget, unsigned button, double x, double y);
void releaseButton(Gtk::Widget& widget, unsigned button, double x, double y);
void movePointer(Gtk::Widget& widget, double x, double y);
void turnWheel(Gtk::Widget& widget, GdkScrollDirection direction, double x, double y);
void pressKey(Gtk::Widget& widget, unsigned keyval, unsigned state = 0);

// Presses `button` at the first point, moves through the others and releases
// it at the last.
void drag(Gtk::Widget& widget, unsigned button, const std::vector<std::pair<double, double>>& path);

#endif
