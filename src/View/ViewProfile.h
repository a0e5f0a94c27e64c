#ifndef VIEWPROFILE_H
#define VIEWPROFILE_H

#include <glibmm/refptr.h>

#include <functional>
#include <string>
#include <vector>

namespace Gtk {
class Builder;
class MenuBar;
class Paned;
}  // namespace Gtk
class Actions;
class ControllerFachade;
class Draw;
class ImageClass;
class Menu;
struct MenuProfile;
class Panel;
class ScrollImage;

// The view half of a program profile: the side-panel interface file, the
// factories of the program's own renderer, use-case object, side panel and
// menu, and its toolbar tools, which the main window builds without knowing
// their classes. Each executable selects its view profile in main beside its
// ProgramProfile.
class ViewProfile {
 public:
  static const ViewProfile& lumora();
  static const ViewProfile& cavitra();

  // The view profile in force; std::logic_error before a program selected
  // one.
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
  // Empty for a program whose window has no side panel yet.
  std::function<Panel*(Actions*, Gtk::Paned*, Gtk::Paned*, Glib::RefPtr<Gtk::Builder>, ControllerFachade*)> makePanel;
  // The menu bar's hidden items, reset and dialogs.
  const MenuProfile* menu = nullptr;
  // The canvas's renderer of the shapes of `image`.
  std::function<Draw*(ImageClass*)> makeDraw;
  // The menu bar's handlers, given the use cases, the menu bar, the main
  // window's builder and the controller; empty for a program without menu.
  std::function<Menu*(Actions*, Gtk::MenuBar*, Glib::RefPtr<Gtk::Builder>, ControllerFachade*)> makeMenu;
  // The ids of the toolbar buttons this program does not offer with the
  // given algorithm number of its settings: hidden at start, their actions
  // kept.
  std::function<std::vector<std::string>(int algorithm)> hiddenToolbarButtons;
  // Whether the toolbar's reset button refreshes the side panel after
  // clearing the annotation and closing the results table.
  bool resetRefreshesPanel = true;
  // Whether the toolbar's line and angle toggles are among its tools (their
  // states reach the canvas, releasing the tools switches them off).
  bool toolbarHasLineAndAngle = true;
  // Whether resetting the side panel (a new picture, the end of the program)
  // also releases the toolbar's tools.
  bool panelResetReleasesToolbar = true;
};

#endif
