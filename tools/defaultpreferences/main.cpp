// Writes the preferences file shipped in Lumora's run folder: the default
// settings with species "A" named and selected, so that a first start finds a
// species to load classifiers for.
#include <iostream>

#include "Preferences.h"
#include "XMLDAOPreferences.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_default_preferences <out-file>\n";
    return 2;
  }
  Preferences preferences(PreferencesDefaults::lumora());
  preferences.getProblemNames().at(0) = "A";
  preferences.setProblemActive(0);
  Model::XMLDAOPreferences writer(nullptr, -1.0);
  return writer.writePreferences(argv[1], &preferences) ? 0 : 1;
}
