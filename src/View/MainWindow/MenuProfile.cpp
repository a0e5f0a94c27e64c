#include "MenuProfile.h"

#include "PreferencesBaseGlade.h"
#include "PreferencesZelvora.h"
#include "ProcessDirImages.h"
#include "ProcessSamplesGladeXml.h"
#include "ProcessSamplesGladeXmlStep.h"
#include "TrainClassifierGladeZelvora.h"

const MenuProfile& MenuProfile::lumora() {
  static const MenuProfile profile = [] {
    MenuProfile p;
    p.hiddenItems = [](int algorithm) {
      std::vector<std::string> hidden = {"undoMenu", "redoMenu", "resultsTable"};
      if (algorithm != 3 && algorithm != 15) hidden.push_back("menuProcessingImages");
      return hidden;
    };
    p.resetEndsProgram = true;
    p.runPreferences = [](Model::ModelFachade* model, Gtk::Window* parent) {
      PreferencesZelvora dialog(model, "Glade/preferencesZelvora.glade", parent);
    };
    p.runSamples = [](PreferencesSample* settings, Actions* actions, int, Gtk::Window* parent) {
      ProcessSamplesGladeXml dialog(settings, actions, parent);
    };
    p.runTraining = [](PreferencesSample* settings, Actions* actions, Gtk::Window* parent) {
      TrainClassifierGladeZelvora dialog("Glade/trainClassifierZelvora.glade", settings, actions, parent);
    };
    return p;
  }();
  return profile;
}

const MenuProfile& MenuProfile::cavitra() {
  static const MenuProfile profile = [] {
    MenuProfile p;
    p.hiddenItems = [](int algorithm) {
      std::vector<std::string> hidden = {"resultsTable"};
      if (algorithm != 3) hidden.push_back("menuProcessingImages");
      if (algorithm != 10) hidden.push_back("Classification");
      return hidden;
    };
    p.itemLabels = {{"aboutUs", "_About Cavitra"}, {"resetPreferences", "R_eset preferences…"}};
    p.resetEndsProgram = false;
    p.runPreferences = [](Model::ModelFachade* model, Gtk::Window* parent) {
      PreferencesBaseGlade dialog(model, "Glade/preferences.glade", parent);
    };
    p.runSamples = [](PreferencesSample* settings, Actions* actions, int algorithm, Gtk::Window* parent) {
      ProcessSamplesGladeXmlStep dialog(settings, actions, "Glade/processSamplesXmlStep.glade", algorithm, parent);
    };
    p.runDirectory = [](PreferencesSample* settings, Actions* actions, Gtk::Window* parent) {
      ProcessDirImages dialog(settings, actions, "Glade/processDirImages.glade", parent);
    };
    return p;
  }();
  return profile;
}
