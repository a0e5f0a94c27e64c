#ifndef PREFERENCESZELVORA_H
#define PREFERENCESZELVORA_H

#include <gtkmm/box.h>
#include <gtkmm/radiobutton.h>

#include <array>
#include <string>
#include <vector>

#include "PreferencesBase.h"

// Lumora's preferences dialog. Besides the shared settings it edits the
// selected problem (the species whose classifiers classify) out of 30, each
// problem's display name, and the classes regions can be given: the four
// fixed stages and up to ten classes the user adds, each with a name and a
// colour. Apply, OK and Save apply everything to the model's Preferences;
// Apply also writes the settings folder's preferences file, Save a file the
// user chooses, OK no file; Cancel applies nothing.
class PreferencesZelvora : public PreferencesBase {
 public:
  // Builds the dialog from the interface file `file` over the current
  // settings of `_fm` and runs it modal over `parent` (none when null);
  // returns when the dialog is closed.
  PreferencesZelvora(Model::ModelFachade* _fm, std::string file, Gtk::Window* parent);
  ~PreferencesZelvora() override = default;

 protected:
  void apply_button_clicked() override;
  void cancel_button_clicked() override;
  void save_button_clicked() override;
  void ok_button_clicked() override;
  // A problem button was switched on or off: the first active one selects
  // its problem, whose name the species entry then shows.
  virtual void onRadioButtonPress();
  // Enter in the species entry, or its button: the text becomes the name of
  // the selected problem (problem 0 when none is selected).
  virtual void onNameProblemChange();

 private:
  // One problem button per problem index, and the most classes the dialog
  // holds: the fixed ones and the rows of added classes.
  static constexpr int problemCount = 30;
  static constexpr int fixedClassCount = 4;
  static constexpr int addedClassCount = 10;

  // The widgets of one added class.
  struct AddedClassRow {
    Gtk::Box* box;
    Gtk::Entry* name;
    Gtk::ColorButton* colour;
  };

  void lookUpOwnWidgets();
  void showProblems();
  void showClasses();
  void connectOwnSignals();
  // Applies the shared settings, the class colours and names and the
  // problems to Preferences.
  void applyPreferences();
  // Shows the next added-class row, named "Default name" in green, while
  // fewer than the most classes are held.
  void onButtonAddClicked();
  void onOkCalibrationUpdate() { calibrationEntryChanged(); }
  void onOkMinDiameterUpdate() { onMinDiameterChanged(); }
  void onOkMaxDiameterUpdate() { onMaxDiameterChanged(); }

  // The fixed classes' colour buttons, in class order.
  std::array<Gtk::ColorButton*, fixedClassCount> fixedClassButtons{};
  std::array<Gtk::Label*, 2> hiddenLabels{};
  std::array<Gtk::Box*, 2> hiddenBoxes{};
  Gtk::Button* okcalibration = nullptr;
  Gtk::Button* okmin = nullptr;
  Gtk::Button* okmax = nullptr;
  // Button i stands for problem index i.
  std::array<Gtk::RadioButton*, problemCount> problemButtons{};
  // Row j holds class number j + 5.
  std::array<AddedClassRow, addedClassCount> addedClasses{};
  Gtk::Button* addButton = nullptr;
  Gtk::Button* addButtonSpecie = nullptr;
  Gtk::Entry* speciesEntry = nullptr;
  // The number of classes the dialog holds.
  int nclasses = fixedClassCount;
  // The selected problem, 0 to 29, or -1 for none.
  int problemActive = -1;
  // The problem names being edited, one per problem button.
  std::vector<std::string> nameProblems;
};

#endif
