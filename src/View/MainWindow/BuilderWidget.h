#ifndef BUILDERWIDGET_H
#define BUILDERWIDGET_H

#include <glib-object.h>
#include <gtkmm/builder.h>

#include <cstdlib>
#include <iostream>

// The widget of an interface file with the given id, of the given class or a
// subclass. The program cannot run on an interface file that lacks one of its
// widgets, so a missing id or a widget of another class ends it with a
// message that names the id, before any null pointer could be followed.
template <class Widget>
Widget* builderWidget(const Glib::RefPtr<Gtk::Builder>& builder, const char* id) {
  const GType type = Widget::get_base_type();
  GObject* object = gtk_builder_get_object(builder->gobj(), id);
  if (object == nullptr || !G_TYPE_CHECK_INSTANCE_TYPE(object, type)) {
    std::cerr << "Interface file: no " << g_type_name(type) << " with the id \"" << id << "\"" << std::endl;
    std::exit(EXIT_FAILURE);
  }
  Widget* widget = nullptr;
  builder->get_widget(id, widget);
  return widget;
}

#endif
