#ifndef PREFERENCESBASE_H
#define PREFERENCESBASE_H

#include <gtkmm/builder.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/colorbutton.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <string>
#include <vector>

#include "BuilderWidget.h"

namespace Model {
class ModelFachade;
}
class Preferences;

// The core of both programs' preferences dialogs: the default folders, the
// calibration, the diameter limits and the colour and line width of points,
// circles and regions. It loads the dialog's interface file, fills the shared
// widgets from the model's current Preferences, checks what the user types
// and applies the edits to that same object, which is never copied.
//
// Each program derives its own dialog, which adds its widgets, decides what
// Apply, OK, Save and Cancel do, and runs the window with `run`. The
// calibration factor confirmed with Enter and the calibration switch reach
// Preferences at once; every other edit only through apply_button_clicked.
class PreferencesBase {
 public:
  virtual ~PreferencesBase();
  PreferencesBase(const PreferencesBase&) = delete;
  PreferencesBase& operator=(const PreferencesBase&) = delete;

 protected:
  // Loads the interface file `file` and fills the shared widgets from the
  // current Preferences of `_fm`, which must outlive the dialog. A file that
  // cannot be read, or lacks a widget, is reported on standard error and
  // leaves the dialog unable to run.
  PreferencesBase(Model::ModelFachade* _fm, std::string file);

  // Runs the window "windowPreferences" modal over `parent` (none when null)
  // in a nested main loop, and returns when the window is closed. Returns at
  // once when the interface file lacked a widget.
  void run(Gtk::Window* parent);
  // Closes the window, which ends `run`.
  void close();

  // The folder buttons: each opens a folder chooser for its folder.
  virtual void image_button_clicked();
  virtual void xml_button_clicked();
  virtual void csv_button_clicked();
  // Applies the calibration, diameters, folders and drawing styles of the
  // widgets to Preferences and makes that object the model's settings. The
  // programs' Apply, OK and Save build on it.
  virtual void apply_button_clicked();
  virtual void cancel_button_clicked() = 0;
  // Asks for the file to save the settings in and leaves its name in
  // `filename` ("" when none was chosen); writes nothing.
  virtual void save_button_clicked();
  virtual void ok_button_clicked() = 0;
  // A modal folder chooser titled `text`; the folder chosen becomes the
  // image (param 0), XML (1) or CSV (2) folder the dialog holds.
  virtual void fileChooser(int param, std::string text);
  // Enter in the calibration entry: with calibration on, the typed factor
  // (1 for one that is not positive) reaches Preferences at once.
  virtual void calibrationEntryChanged();
  // The calibration switch reaches Preferences at once.
  virtual void onCheckboxChanged();
  // Enter in a diameter entry: a typed diameter within the limits becomes
  // the one the dialog holds; any other leaves entry and value as they are.
  virtual void onMinDiameterChanged();
  virtual void onMaxDiameterChanged();

  // Writes the current settings to `target`; when that fails the user is
  // told what the target now holds.
  void writePreferences(const std::string& target);
  // Writes them to the preferences file of the program's settings folder;
  // nothing without a home folder.
  void writeSettingsFolderFile();

  // The widget of the interface file with the given id and class; null, and
  // the dialog unable to run, when the file has none.
  template <class Widget>
  Widget* lookUp(const std::string& id) {
    Widget* widget = findBuilderWidget<Widget>(refBuilder, id.c_str());
    if (widget == nullptr) widgetsLoaded = false;
    return widget;
  }

  // Whether the interface file was read and held every widget looked up.
  bool widgetsLoaded = true;

  // Null when the interface file could not be read.
  Glib::RefPtr<Gtk::Builder> refBuilder;
  Gtk::Window* window = nullptr;
  Preferences* preferences;
  Model::ModelFachade* fm;
  Gtk::Button* imageButton = nullptr;
  Gtk::Button* csvButton = nullptr;
  Gtk::Button* xmlButton = nullptr;
  Gtk::Button* applyButton = nullptr;
  Gtk::Button* cancelButton = nullptr;
  Gtk::Button* saveButton = nullptr;
  Gtk::Button* okButton = nullptr;
  Gtk::CheckButton* boxCalibration = nullptr;
  Gtk::Entry* entryCalibration = nullptr;
  Gtk::Entry* imageEntry = nullptr;
  Gtk::Entry* csvEntry = nullptr;
  Gtk::Entry* xmlEntry = nullptr;
  Gtk::Entry* entrymin = nullptr;
  Gtk::Entry* entrymax = nullptr;
  Gtk::Label* unity = nullptr;
  std::string imagePath;
  std::string xmlPath;
  std::string csvPath;
  // The diameter limits being edited, in image pixels.
  int mindim = 0;
  int maxdim = 0;
  Gtk::ColorButton* colourPointButton = nullptr;
  Gtk::ColorButton* colourCircleButton = nullptr;
  Gtk::ColorButton* colourFreeHandButton = nullptr;
  Gtk::ComboBoxText* mComboPoint = nullptr;
  Gtk::ComboBoxText* mComboFreeHand = nullptr;
  Gtk::ComboBoxText* mComboCircle = nullptr;
  // The file the save chooser returned; "" when none.
  std::string filename;

 private:
  void loadInterface(const std::string& file);
  void lookUpWidgets();
  void showValues();
  void connectSignals();
  // The calibration entry, the unit and the diameter entries as Preferences'
  // calibration has them.
  void showCalibration();
  void showDiameters();
  // A diameter in pixels as its entry shows it: times the factor, with six
  // decimals, when calibration is on; else in whole pixels.
  std::string diameterText(double pixels) const;
  // The factor that turns typed diameters into pixels: 1 when calibration
  // is off.
  double factorInUse() const;
  // The style a colour button and its width list show; the stored width
  // where no row is active.
  static std::vector<double> shownStyle(const Gtk::ColorButton& colour, const Gtk::ComboBoxText& widths,
                                        const std::vector<double>& stored);
  // Asks whether to replace the existing `file`; true to replace it.
  bool confirmReplace(const std::string& file);
  // The folder the dialog holds for a folder-chooser param, with its entry;
  // null for any other param.
  std::string* heldFolder(int param, Gtk::Entry*& entry);
};

#endif
