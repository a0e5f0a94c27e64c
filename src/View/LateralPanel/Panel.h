#ifndef PANEL_H
#define PANEL_H

#include <gdkmm/rgba.h>
#include <gtkmm/builder.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/paned.h>
#include <gtkmm/togglebutton.h>

#include <optional>
#include <string>

#include "BuilderWidget.h"
#include "Observer.h"

class Actions;
class ControllerFachade;
class Preferences;
class ScrollImage;

// The base of each program's side panel, the column of controls beside the
// canvas loaded from the side-panel interface file. It holds what every side
// panel shares: its collaborators, the diameter limits of the regions to
// detect, the colours of valid and refused input, and the calibration
// controls (a check button that switches calibration on and off and an entry
// for the factor, real length per pixel). Subclasses fill in the diameter
// fields and the program's own tools; every operation is virtual so that the
// base's calls reach their overrides.
//
// The widgets belong to the builder. A widget missing from the interface file
// is named on standard error and leaves the panel incomplete: its signals are
// not connected, and the caller must not show it (hasAllWidgets).
class Panel : public Observer {
 public:
  Panel(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom, Glib::RefPtr<Gtk::Builder> refBuilder,
        ControllerFachade* fc);
  virtual ~Panel();
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  // ShapesDeleted and ShapeAdded refresh the results table.
  void update(int code) override;
  // Refreshes the calibration controls, then the results table.
  virtual void updateText();
  virtual void updateDates() {}
  virtual void onMinDiameterChanged() {}
  virtual void onMaxDiameterChanged() {}
  virtual void onMinDiameterDraw() {}
  virtual void onMaxDiameterDraw() {}
  virtual void onButtonShowTablePress() {}
  // Enter in the calibration entry: with calibration on, a finite factor
  // above 0 is stored, anything else turns the entry red and keeps the factor
  // in force; with calibration off the entry shows "1,0" again.
  virtual void onEntryCalibrationChanged();
  virtual void onCheckboxToggled() {}
  // The check button clicked: calibration follows it.
  virtual void onCheckboxChanged();
  virtual void closeTable() {}
  virtual void updateTable() {}
  // Closes the results table and empties the annotation.
  virtual void resetPanel();
  virtual void updatePanel() {}
  // Shows the controller's calibration switch and factor.
  virtual void setCalibration();
  // Takes the settings object again, then setCalibration.
  virtual void resetPreferences();

  // False when the interface file lacked a widget the panel needs.
  bool hasAllWidgets() const { return allWidgetsFound; }

  // A number typed by the user: a decimal point or comma, whatever the
  // locale; the longest number at the start of the text, 0 when there is
  // none. Empty for a value that is not finite ("inf", "1e400").
  static std::optional<double> readNumber(const std::string& text);
  // The text with every comma turned into a point.
  static std::string withDecimalPoints(std::string text);

 protected:
  // Looks `id` up in the builder into `widget`; a missing widget is named and
  // marks the panel incomplete.
  template <class Widget>
  void lookUp(Widget*& widget, const char* id) {
    widget = findBuilderWidget<Widget>(refBuilder, id);
    if (widget == nullptr) allWidgetsFound = false;
  }
  // Text colour of an entry: `color` for accepted input, `color_error` for
  // refused input.
  void showValid(Gtk::Entry* entry, bool valid);
  // The calibration check button and entry as the settings hold them.
  void showCalibrationControls(bool active, double factor);

  int mindim = 200;
  int maxdim = 800;
  Gdk::RGBA color;
  Gdk::RGBA color_error;
  Glib::RefPtr<Gtk::Builder> refBuilder;
  Gtk::Paned* paned;
  Gtk::Paned* panedbottom;
  Actions* actions;
  ScrollImage* scrollImage;
  ControllerFachade* fc;
  Preferences* preferences;
  Gtk::ToggleButton* buttonMinDim = nullptr;
  Gtk::ToggleButton* buttonMaxDim = nullptr;
  Gtk::Entry* entrymin = nullptr;
  Gtk::Entry* entrymax = nullptr;
  Gtk::ToggleButton* buttonShowtable = nullptr;
  Gtk::CheckButton* boxCalibration = nullptr;
  Gtk::Entry* entryCalibration = nullptr;
  Gtk::Label* unity = nullptr;

 private:
  bool allWidgetsFound = true;
};

#endif
