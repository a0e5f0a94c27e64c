#include "Menu.h"

#include <gtkmm/menuitem.h>

#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <optional>

#include "Actions.h"
#include "AnnotationPath.h"
#include "BuilderWidget.h"
#include "ControllerFachade.h"
#include "DialogChoosers.h"
#include "MessageBox.h"
#include "ModelFachade.h"
#include "PreferencesSample.h"
#include "ProgramProfile.h"
#include "UnsavedWorkQuestion.h"
#include "ViewProfile.h"

namespace {

const char* const groupName = "menu";
const char* const resetQuestion =
    "Preferences are reset and quit the program. Every trained species is deleted with them.";

// When the file at `path` was last written; none while there is no file.
std::optional<std::filesystem::file_time_type> writeTime(const std::string& path) {
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const auto time = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return time;
}

}  // namespace

Menu::Menu(Actions* actions, Gtk::MenuBar* menu, Glib::RefPtr<Gtk::Builder> refBuilder, ControllerFachade* fc)
    : actions(actions),
      menu(menu),
      refBuilder(refBuilder),
      window(builderWidget<Gtk::Window>(refBuilder, "window1")),
      profile(*ViewProfile::current().menu),
      fc(fc),
      fm(fc->getModel()),
      actionGroup(Gio::SimpleActionGroup::create()) {
  // The settings file is read only after the menu is built, so this is the
  // algorithm number of the default settings.
  hideItems(fm->getPreferences()->getAlgorithm());
  for (const auto& [id, label] : profile.itemLabels)
    if (auto* item = findBuilderWidget<Gtk::MenuItem>(refBuilder, id.c_str())) item->set_label(label);
  window->insert_action_group(groupName, actionGroup);
  const std::initializer_list<std::pair<const char*, void (Menu::*)()>> handlers = {
      {"openImage", &Menu::openImageFile},
      {"openImageXML", &Menu::openImageXMLFile},
      {"openXML", &Menu::openXMLfile},
      {"saveXML", &Menu::saveXMLfile},
      {"exportCSV", &Menu::exportCSV},
      {"preferences", &Menu::preferencesClick},
      {"resetPreferences", &Menu::resetPreferencesClick},
      {"draw", &Menu::drawClick},
      {"exit", &Menu::exitClick},
      {"undo", &Menu::undoClick},
      {"redo", &Menu::redoClick},
      {"fitImage", &Menu::fitImageClick},
      {"processingPanel", &Menu::processingPanelClick},
      {"resultsTable", &Menu::resultsClick},
      {"processingSamples", &Menu::processingSamplesClick},
      {"processingImages", &Menu::processingImagesClick},
      {"classify", &Menu::classifyClick},
      {"trainClassifier", &Menu::trainClassifierClick},
      {"userManual", &Menu::userManualClick},
      {"aboutUs", &Menu::aboutUsClick},
      {"originalSize", &Menu::originalSizeClick},
  };
  for (const auto& [name, handler] : handlers) actionGroup->add_action(name, sigc::mem_fun(*this, handler));
}

Menu::~Menu() { window->remove_action_group(groupName); }

void Menu::hideItems(int algorithm) {
  for (const std::string& id : profile.hiddenItems(algorithm))
    if (auto* item = findBuilderWidget<Gtk::MenuItem>(refBuilder, id.c_str())) item->hide();
}

void Menu::withBatchSettings(const std::function<void(PreferencesSample*)>& run) {
  if (ProgramProfile::current().keepsBatchSettings) {
    run(fm->getPreferencesSample());
    return;
  }
  // Each run starts afresh from the settings in force.
  const std::unique_ptr<PreferencesSample> settings = std::make_unique<PreferencesSample>(fm->getPreferences());
  run(settings.get());
}

void Menu::showMessage(const std::string& text) {
  const int response = runMessageBox(window, "Processing information", text, Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
  if (response != Gtk::RESPONSE_OK) std::cout << "Unexpected response!" << std::endl;
}

void Menu::openImageFile() { actions->openImage(); }

void Menu::openImageXMLFile() {
  std::cout << "Menu::openImageXMLFile(): " << std::endl;
  actions->openImageXMLFile();
}

void Menu::openXMLfile() { actions->openXML(); }

void Menu::saveXMLfile() { actions->saveAnnotation(); }

void Menu::exportCSV() {
  const std::string file =
      DialogChoosers::chooseSaveFile(window, "Please choose a CSV file", fm->getPreferences()->getCsvPath() + "/",
                                     AnnotationPath::pictureBaseName(fm->getImageName()) + ".csv", {}, true);
  if (!file.empty()) actions->saveCSV(file);
}

void Menu::preferencesClick() {
  // The dialog runs inside its constructor; once it is closed, the window
  // takes the settings it left.
  if (profile.runPreferences) profile.runPreferences(fm, window);
  actions->updateDrawingPreferences(fm->getPreferences());
  fc->setCalibrationPanel();
}

void Menu::resetPreferencesClick() {
  if (profile.resetEndsProgram) {
    if (fc->showMessageCancelQuit(resetQuestion) != 1) return;
    if (!actions->mayDropShapes(UnsavedWorkQuestion::Command::Quit)) return;
    fc->removePreferences();
    quit();
    return;
  }
  std::cout << "Reset Preferences Click" << std::endl;
  fc->removePreferences();
  // The defaults are restored in the one settings object that the window,
  // the panel and the use cases already hold.
  fm->createPreferences();
  fc->showMessage("All the preferences have been reset");
  preferencesClick();
}

void Menu::drawClick() {
  actions->openPreferencesFile();
  actions->updateDrawingPreferences(fm->getPreferences());
  fc->setCalibrationPanel();
}

void Menu::exitClick() {
  if (actions->mayDropShapes(UnsavedWorkQuestion::Command::Quit)) quit();
}

void Menu::quit() {
  actions->resetProgram();
  // Hidden, not closed: the window's close request would ask again about the
  // shapes the reset has just dropped.
  window->hide();
}

void Menu::undoClick() { actions->undo(); }
void Menu::redoClick() { actions->redo(); }
void Menu::fitImageClick() { actions->fit(); }
void Menu::originalSizeClick() { actions->reset(); }
void Menu::processingPanelClick() { actions->on_buttonShowPaned_clicked(); }
void Menu::classifyClick() { actions->classify(0, 5); }
void Menu::aboutUsClick() { actions->aboutUs(window); }

void Menu::processingSamplesClick() {
  if (!profile.runSamples) return;
  const int algorithm = fm->getPreferences()->getAlgorithm();
  withBatchSettings([&](PreferencesSample* settings) { profile.runSamples(settings, actions, algorithm, window); });
}

void Menu::trainClassifierClick() {
  if (!profile.runTraining) return;
  withBatchSettings([&](PreferencesSample* settings) { profile.runTraining(settings, actions, window); });
}

void Menu::processingImagesClick() {
  if (!profile.runDirectory || fm->getPreferences()->getAlgorithm() != profile.directoryAlgorithm) return;
  withBatchSettings([&](PreferencesSample* settings) { runDirectoryBatch(settings); });
}

void Menu::runDirectoryBatch(PreferencesSample* settings) {
  std::cout << "Menu::processingImagesClick()" << std::endl;
  profile.runDirectory(settings, actions, window);
  std::cout << "Image dir: " << settings->getImagePath() << std::endl
            << "XML dir: " << settings->getXmlPath() << std::endl
            << "CSV file: " << settings->getCSVFile() << std::endl
            << "Process subdirs: " << (settings->isProcessDir() ? 1 : 0)
            << " mindim: " << settings->getMinimumDiameter() << " maxdim: " << settings->getMaximumDiameter()
            << std::endl;
  // The dialog names a CSV file only when OK recorded the batch.
  const std::string csvFile = settings->getCSVFile();
  if (csvFile.empty()) return;
  const auto before = writeTime(csvFile);
  actions->processDirImages(settings->getImagePath(), settings->getXmlPath(), csvFile, settings->isProcessDir(),
                            settings->getMinimumDiameter(), settings->getMaximumDiameter(), settings->getTypeImages());
  const auto after = writeTime(csvFile);
  if (after && after != before)
    showMessage("Results saved in " + csvFile);
  else
    showMessage("No results were written to " + csvFile + ".");
}

// Items without a command of their own yet: their actions exist so that the
// items stay enabled.
void Menu::resultsClick() {}
void Menu::userManualClick() {}
