#ifndef VIEWFACHADE_H
#define VIEWFACHADE_H

#include <gtkmm/application.h>
#include <gtkmm/box.h>
#include <gtkmm/builder.h>
#include <gtkmm/menubar.h>
#include <gtkmm/paned.h>
#include <gtkmm/statusbar.h>
#include <gtkmm/viewport.h>
#include <gtkmm/window.h>

#include <memory>
#include <string>

class ControllerFachade;
class Preferences;
class Draw;
class ScrollImage;
class miniScrollImage;
class Actions;
class Panel;
class ToolbarHorizontal;
class Menu;
class CommandErrorReport;

namespace View {

// The view side of the program: starts the GTK application, builds the main
// window from its interface file with the canvas, the overview, the use-case
// object and the toolbar, and is the one place through which the controller
// reaches the window's parts.
class ViewFachade {
 public:
  explicit ViewFachade(ControllerFachade* fc);
  virtual ~ViewFachade();
  ViewFachade(const ViewFachade&) = delete;
  ViewFachade& operator=(const ViewFachade&) = delete;

  // Creates the application from the command line, builds the main window,
  // has the controller load the settings folder and runs the main loop, in
  // which an exception that a command lets out is reported in a message.
  // Returns the application's exit status; 1 when an interface file lacks
  // a widget the window or the side panel needs.
  int startWindow(int argc, char** argv);

  // The three start-up stages, in the order startWindow runs them.
  // loadGlade and startLateralPanel return false when a widget is missing
  // from their interface file.
  bool loadGlade();
  void startScrollImage();
  // Puts the program's use cases, side panel and toolbar into the window,
  // with the side pane and the lower pane hidden.
  bool startLateralPanel();

  Gtk::Window* getMainWindow() { return window1; }
  ScrollImage* getScrollImage() { return scrollImage; }
  Actions* getActions() { return actions; }
  Panel* getPanel() { return panel; }
  ToolbarHorizontal* getToolbar() { return toolbar; }
  miniScrollImage* getMiniScrollImage() { return scrollImageMini; }
  Gtk::Statusbar* getStatusBar() { return statusBar; }

  // Refreshes of the window's parts that the controller forwards. Each acts
  // only on the parts built so far.
  void unselectButtonsView();
  void selectButtonSelect();
  void closeTableView();
  void resetLateralPanelView();
  void updateLateralPanelView();
  void setCalibrationPanelView();
  void subscribeUnsubscribeMiniScrollView();
  void resetPreferences();

 private:
  // The main window's close request (its close button): refused while the
  // user keeps unsaved changes.
  bool onCloseRequest(GdkEventAny* event);

  ControllerFachade* fc;
  Preferences* preferences = nullptr;
  Draw* draw = nullptr;
  Actions* actions = nullptr;
  Panel* panel = nullptr;
  Glib::RefPtr<Gtk::Application> application;
  std::unique_ptr<CommandErrorReport> errorReport;
  Glib::RefPtr<Gtk::Builder> refBuilder2;
  Glib::RefPtr<Gtk::Builder> refBuilderPanedLateral;
  Gtk::Paned* paned = nullptr;
  Gtk::Window* window1 = nullptr;
  Gtk::Viewport* viewport1 = nullptr;
  ScrollImage* scrollImage = nullptr;
  Gtk::MenuBar* menu = nullptr;
  Gtk::Statusbar* statusBar = nullptr;
  ToolbarHorizontal* toolbar = nullptr;
  Menu* menuClass = nullptr;
  miniScrollImage* scrollImageMini = nullptr;
  Gtk::Viewport* viewportPaned = nullptr;
  Gtk::Viewport* viewportPaned2 = nullptr;
  Gtk::Box* vBoxPaned = nullptr;
  Gtk::Paned* panedMini = nullptr;
  Gtk::Paned* paned1 = nullptr;
  Gtk::Paned* panedLateral = nullptr;
};

}  // namespace View

#endif
