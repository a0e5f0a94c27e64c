#include "PreferencesBaseGlade.h"

#include <utility>

PreferencesBaseGlade::PreferencesBaseGlade(Model::ModelFachade* _fm, std::string file, Gtk::Window* parent)
    : PreferencesBase(_fm, std::move(file)) {
  run(parent);
}

void PreferencesBaseGlade::apply_button_clicked() {
  PreferencesBase::apply_button_clicked();
  writeSettingsFolderFile();
  close();
}

void PreferencesBaseGlade::ok_button_clicked() {
  PreferencesBase::apply_button_clicked();
  close();
}

// The settings are applied before the chooser opens, so a cancelled chooser
// leaves them applied.
void PreferencesBaseGlade::save_button_clicked() {
  PreferencesBase::apply_button_clicked();
  PreferencesBase::save_button_clicked();
  if (!filename.empty()) writePreferences(filename);
  close();
}

void PreferencesBaseGlade::cancel_button_clicked() { close(); }
