#ifndef PREFERENCESBASEGLADE_H
#define PREFERENCESBASEGLADE_H

#include <string>

#include "PreferencesBase.h"

// Cavitra's preferences dialog: exactly the shared settings. Apply applies
// them and writes the settings folder's preferences file, OK applies only,
// Save applies and then writes a file the user chooses, Cancel applies
// nothing. A file that cannot be written is reported to the user.
class PreferencesBaseGlade : public PreferencesBase {
 public:
  // Builds the dialog from the interface file `file` over the current
  // settings of `_fm` and runs it modal over `parent` (none when null);
  // returns when the dialog is closed.
  PreferencesBaseGlade(Model::ModelFachade* _fm, std::string file, Gtk::Window* parent);
  ~PreferencesBaseGlade() override = default;

 protected:
  void apply_button_clicked() override;
  void cancel_button_clicked() override;
  void save_button_clicked() override;
  void ok_button_clicked() override;
};

#endif
