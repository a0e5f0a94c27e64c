#ifndef VIEWPROFILE_H
#define VIEWPROFILE_H

#include <glibmm/refptr.h>

#include <functional>
#include <string>

namespace Gtk {
class Builder;
class Paned;
}  // namespace Gtk
class Actions;
class ControllerFachade;
struct MenuProfile;
class Panel;
class ScrollImage;

// The view half of a program profile: the side-panel interface file and the
// factories of the program's own use-case object and side panel, which the
// main window builds without knowing their classes. Each executable selects
// its view profile in main beside its ProgramProfile.
class ViewProfile {
 public:
  static const ViewProfile& lumora();

  // The view profile in force (Lumora's until another is selected).
  static const ViewProfile& current();
  static void select(const ViewProfile& profile);

  // The side panel's interface file, relative to the working folder, and the
  // id of its top widget, a Gtk::Paned.
  std::string sidePanelFile;
  std::string sidePanelRoot;
  // The use cases, given the canvas, the controller, the side pane and the
  // lower pane.
  std::function<Actions*(ScrollImage*, ControllerFachade*, Gtk::Paned*, Gtk::Paned*)> makeActions;
  // The side panel, given the use cases, its top widget, the lower pane, its
  // builder and the controller; it subscribes itself to the canvas.
  std::function<Panel*(Actions*, Gtk::Paned*, Gtk::Paned*, Glib::RefPtr<Gtk::Builder>, ControllerFachade*)> makePanel;
  // The menu bar's hidden items, reset and dialogs.
  const MenuProfile* menu = nullptr;
};

#endif
