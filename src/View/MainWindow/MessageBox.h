#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

#include <string>

// Runs a modal message box over `parent` (none when null) with `primary` as
// its message and `secondary` below it, and returns the response.
int runMessageBox(Gtk::Window* parent, const Glib::ustring& primary, const std::string& secondary,
                  Gtk::MessageType type, Gtk::ButtonsType buttons);

#endif
