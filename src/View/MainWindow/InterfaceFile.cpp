#include "InterfaceFile.h"

#include <glibmm/fileutils.h>
#include <glibmm/markup.h>

#include <iostream>

Glib::RefPtr<Gtk::Builder> loadInterfaceFile(const std::string& file) {
  Glib::RefPtr<Gtk::Builder> builder = Gtk::Builder::create();
  try {
    builder->add_from_file(file);
  } catch (const Glib::FileError& ex) {
    std::cerr << "FileError: " << ex.what().raw() << std::endl;
  } catch (const Glib::MarkupError& ex) {
    std::cerr << "MarkupErrorr: " << ex.what().raw() << std::endl;
  } catch (const Gtk::BuilderError& ex) {
    std::cerr << "BuilderError : " << ex.what().raw() << std::endl;
  }
  return builder;
}
