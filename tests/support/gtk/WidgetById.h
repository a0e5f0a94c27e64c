#ifndef WIDGETBYID_H
#define WIDGETBYID_H

#include <gtkmm/widget.h>
#include <gtkmm/window.h>

#include <string>

// Widgets made from an interface file carry their id as their buildable
// name, so a test finds them without the builder of the code under test.

// The visible top-level window with the id, or null.
Gtk::Window* visibleWindowById(const std::string& id);

// The widget with the id inside `root` (or `root` itself, menus included),
// or null.
Gtk::Widget* widgetById(Gtk::Widget& root, const std::string& id);

// The same, of the class the caller expects; null when the id is missing or
// names a widget of another class.
template <class Widget>
Widget* findById(Gtk::Widget& root, const std::string& id) {
  return dynamic_cast<Widget*>(widgetById(root, id));
}

// The text of the entry `id` in the visible window `windowId`, or
// "<no entry>".
std::string entryText(const std::string& windowId, const std::string& id);

#endif
