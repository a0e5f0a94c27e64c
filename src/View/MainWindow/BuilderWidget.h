#ifndef BUILDERWIDGET_H
#define BUILDERWIDGET_H

#include <glib-object.h>
#include <gtkmm/builder.h>

#include <cstdlib>
#include <iostream>

// The widget of an interface file with the given id, of the given class or a
// subclass; null, after a message that names the id, when the file has none.
template <class Widget>
Widget* findBuilderWidget(const Glib::RefPtr<Gtk::Builder>& builder, const char* id) {
  const GType type = Widget::get_base_type();
  GObject* object = builder ? gtk_builder_get_object(builder->gobj(), id) : nullptr;
  if (object == nullptr || !G_TYPE_CHECK_INSTANCE_TYPE(object, type)) {
    std::cerr << "Interface file: no " << g_type_name(type) << " with the id \"" << id << "\"" << std::endl;
    return nullptr;
  }
  Widget* widget = nullptr;
  builder->get_widget(id, widget);
  return widget;
}

// The same for a widget the program cannot run without: a missing id or a
// widget of another class ends it, before any null pointer could be followed.
template <class Widget>
Widget* builderWidget(const Glib::RefPtr<Gtk::Builder>& builder, const char* id) {
  Widget* widget = findBuilderWidget<Widget>(builder, id);
  if (widget == nullptr) std::exit(EXIT_FAILURE);
  return widget;
}

#endif
