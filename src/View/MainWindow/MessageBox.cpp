#include "MessageBox.h"

int runMessageBox(Gtk::Window* parent, const Glib::ustring& primary, const std::string& secondary,
                  Gtk::MessageType type, Gtk::ButtonsType buttons) {
  Gtk::MessageDialog dialog(primary, false, type, buttons, false);
  if (parent != nullptr) dialog.set_transient_for(*parent);
  dialog.set_secondary_text(secondary, false);
  const int response = dialog.run();
  dialog.hide();
  return response;
}
