#ifndef VIEWFACHADE_H
#define VIEWFACHADE_H

#include <gtkmm/application.h>
#include <gtkmm/window.h>

#include <memory>

class ControllerFachade;
class Preferences;

namespace View {

// The view side of the program: starts the GTK application, builds the main
// window and is the one place through which the controller reaches the
// window's parts.
class ViewFachade {
 public:
  explicit ViewFachade(ControllerFachade* fc);
  virtual ~ViewFachade();
  ViewFachade(const ViewFachade&) = delete;
  ViewFachade& operator=(const ViewFachade&) = delete;

  // Creates the application from the command line, builds the main window,
  // has the controller load the settings folder and runs the main loop.
  // Returns the application's exit status.
  int startWindow(int argc, char** argv);

  Gtk::Window* getMainWindow() { return window1; }

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
  void buildMainWindow();

  ControllerFachade* fc;
  Preferences* preferences = nullptr;
  Glib::RefPtr<Gtk::Application> application;
  Gtk::Window* window1 = nullptr;
};

}  // namespace View

#endif
