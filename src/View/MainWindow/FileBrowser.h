#ifndef FILEBROWSER_H
#define FILEBROWSER_H

#include <gtkmm/window.h>

#include <string>

class ControllerFachade;

// The open-file chooser of the use cases. Each call runs a modal chooser that
// starts in the settings' folder for the kind of file asked for, filters by
// that kind, and answers the chosen path or "null" when nothing was chosen.
class FileBrowser : public Gtk::Window {
 public:
  // The kinds of file, by the number the callers pass.
  enum Mode { ImageFile = 1, XmlFile = 2, CsvFile = 3 };

  // Takes the controller's main window as the chooser's parent.
  explicit FileBrowser(ControllerFachade* fc);

  // The parent of the next chooser; null opens it without one.
  void setParentWindow(Gtk::Window* parent);

  // Runs the chooser for the given mode; an empty title gives the default
  // one. Returns the chosen path, or "null" when the user cancelled, closed
  // the chooser or chose nothing that has a local path.
  std::string on_button_clicked(int mode, std::string title);

 private:
  std::string filename;
  ControllerFachade* fc;
  Gtk::Window* window;
};

#endif
