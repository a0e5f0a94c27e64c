#ifndef TRAINCLASSIFIERGLADEZELVORA_H
#define TRAINCLASSIFIERGLADEZELVORA_H

#include <gtkmm/comboboxtext.h>

#include <string>
#include <vector>

#include "TrainClassifierGlade.h"

// Lumora's training dialog: the common part with the list of the species
// named in the settings. The constructor runs the dialog and returns when it
// is closed.
class TrainClassifierGladeZelvora : public TrainClassifierGlade {
 public:
  TrainClassifierGladeZelvora(const std::string& gladeFile, PreferencesSample* preferences, Actions* actions,
                              Gtk::Window* parent);

  // The position in `names` of the last name equal to `text`; -1 when none is.
  static int speciesIndex(const std::vector<std::string>& names, const std::string& text);

 protected:
  // Trains the species chosen in this dialog's list on the pictures chosen
  // in it, and says what is missing when either is not; then empties the
  // chosen pictures and closes.
  void ok_button_clicked() override;
  // Makes the species chosen in the list the dialog's and the settings'
  // selected species.
  void onSpeciesChanged();

  Gtk::ComboBoxText* selectSpecies;
  std::vector<std::string> names;
  // The position in `names` of the species chosen in the list; -1 until one
  // is. The settings' selected species may be older than the dialog.
  int chosenSpecies = -1;
};

#endif
