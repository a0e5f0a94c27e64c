#include "WidgetById.h"

#include <gtkmm/container.h>
#include <gtkmm/entry.h>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>

namespace {

std::string idOf(Gtk::Widget& widget) {
  const char* name = gtk_buildable_get_name(GTK_BUILDABLE(widget.gobj()));
  return name != nullptr ? name : "";
}

}  // namespace

Gtk::Window* visibleWindowById(const std::string& id) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (window->get_visible() && idOf(*window) == id) return window;
  return nullptr;
}

Gtk::Widget* widgetById(Gtk::Widget& root, const std::string& id) {
  if (idOf(root) == id) return &root;
  // A menu item's submenu is not among its children.
  if (auto* item = dynamic_cast<Gtk::MenuItem*>(&root); item != nullptr && item->get_submenu() != nullptr)
    if (Gtk::Widget* found = widgetById(*item->get_submenu(), id)) return found;
  auto* container = dynamic_cast<Gtk::Container*>(&root);
  if (container == nullptr) return nullptr;
  for (Gtk::Widget* child : container->get_children())
    if (Gtk::Widget* found = widgetById(*child, id)) return found;
  return nullptr;
}

std::string entryText(const std::string& windowId, const std::string& id) {
  Gtk::Window* window = visibleWindowById(windowId);
  auto* entry = window != nullptr ? findById<Gtk::Entry>(*window, id) : nullptr;
  return entry != nullptr ? std::string(entry->get_text()) : "<no entry>";
}
