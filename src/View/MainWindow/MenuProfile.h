#ifndef MENUPROFILE_H
#define MENUPROFILE_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Gtk {
class Window;
}
namespace Model {
class ModelFachade;
}
class Actions;
class PreferencesSample;

// Where the programs' menu bars differ: the items each leaves out, what a
// reset of the preferences does, and the dialogs behind the menu's commands.
// The shared Menu consults the one its view profile names; a dialog left
// empty makes its command do nothing.
struct MenuProfile {
  static const MenuProfile& lumora();
  static const MenuProfile& cavitra();

  // The ids of the items hidden while the settings' algorithm number is the
  // argument.
  std::function<std::vector<std::string>(int)> hiddenItems;

  // Labels this program gives items of the shared interface file: pairs of
  // item id and label (with its mnemonic).
  std::vector<std::pair<std::string, std::string>> itemLabels;

  // Whether a reset of the preferences asks first and ends the program;
  // otherwise it restores the defaults, tells the user and opens the
  // preferences dialog on them, and the program goes on.
  bool resetEndsProgram = true;

  // The dialogs, each run modal over the main window until closed: the
  // preferences (given the model), the sample CSV (given the batch settings,
  // the use cases and the algorithm number), the training of classifiers and
  // the batch over a folder of pictures (given the batch settings and the
  // use cases).
  std::function<void(Model::ModelFachade*, Gtk::Window*)> runPreferences;
  std::function<void(PreferencesSample*, Actions*, int, Gtk::Window*)> runSamples;
  std::function<void(PreferencesSample*, Actions*, Gtk::Window*)> runTraining;
  std::function<void(PreferencesSample*, Actions*, Gtk::Window*)> runDirectory;
  // The algorithm number under which the folder batch runs.
  int directoryAlgorithm = 3;
};

#endif
