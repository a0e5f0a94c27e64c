#include "Menu.h"

#include <gtkmm/menuitem.h>

#include <initializer_list>
#include <iostream>

#include "Actions.h"
#include "BuilderWidget.h"
#include "ControllerFachade.h"
#include "DialogChoosers.h"
#include "ModelFachade.h"
#include "PreferencesZelvora.h"
#include "ProcessSamplesGladeXml.h"
#include "TrainClassifierGladeZelvora.h"

namespace {

const char* const groupName = "menu";
const char* const preferencesFile = "Glade/preferencesZelvora.glade";
const char* const trainingFile = "Glade/trainClassifierZelvora.glade";
const char* const resetQuestion =
    "Preferences are reset and quit the program. Every trained species is deleted with them.";

}  // namespace

Menu::Menu(Actions* actions, Gtk::MenuBar* menu, Glib::RefPtr<Gtk::Builder> refBuilder, ControllerFachade* fc)
    : actions(actions),
      menu(menu),
      refBuilder(refBuilder),
      window(builderWidget<Gtk::Window>(refBuilder, "window1")),
      fc(fc),
      fm(fc->getModel()),
      actionGroup(Gio::SimpleActionGroup::create()) {
  // The settings file is read only after the menu is built, so this is the
  // algorithm number of the default settings.
  hideItems(fm->getPreferences()->getAlgorithm());
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
  std::vector<const char*> hidden = {"undoMenu", "redoMenu", "resultsTable"};
  if (algorithm != 3 && algorithm != 15) hidden.push_back("menuProcessingImages");
  for (const char* id : hidden)
    if (auto* item = findBuilderWidget<Gtk::MenuItem>(refBuilder, id)) item->hide();
}

std::string Menu::imageBaseName(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  std::string base = separator == std::string::npos ? path : path.substr(separator + 1);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos) base.erase(dot);
  return base;
}

void Menu::openImageFile() { actions->openImage(); }

void Menu::openImageXMLFile() {
  std::cout << "Menu::openImageXMLFile(): " << std::endl;
  actions->openImageXMLFile();
}

void Menu::openXMLfile() { actions->openXML(); }

void Menu::saveXMLfile() {
  const std::string file = DialogChoosers::chooseSaveFile(
      window, "Please choose a XML file", fm->get_xml_folder(), imageBaseName(fm->getImageName()) + ".xml",
      {DialogChoosers::makeFilter("Any files", {"*"}), DialogChoosers::makeFilter("XML", {"*.xml"})}, true);
  if (!file.empty()) actions->writePoligons(file);
}

void Menu::exportCSV() {
  const std::string file =
      DialogChoosers::chooseSaveFile(window, "Please choose a CSV file", fm->getPreferences()->getCsvPath() + "/",
                                     imageBaseName(fm->getImageName()) + ".csv", {}, true);
  if (!file.empty()) actions->saveCSV(file);
}

void Menu::preferencesClick() {
  // The dialog runs inside its constructor; once it is closed, the window
  // takes the settings it left.
  { PreferencesZelvora dialog(fm, preferencesFile, window); }
  actions->updateDrawingPreferences(fm->getPreferences());
  fc->setCalibrationPanel();
}

void Menu::resetPreferencesClick() {
  if (fc->showMessageCancelQuit(resetQuestion) != 1) return;
  fc->removePreferences();
  exitClick();
}

void Menu::drawClick() {
  actions->openPreferencesFile();
  actions->updateDrawingPreferences(fm->getPreferences());
  fc->setCalibrationPanel();
}

void Menu::exitClick() {
  actions->resetProgram();
  window->close();
}

void Menu::undoClick() { actions->undo(); }
void Menu::redoClick() { actions->redo(); }
void Menu::fitImageClick() { actions->fit(); }
void Menu::originalSizeClick() { actions->reset(); }
void Menu::processingPanelClick() { actions->on_buttonShowPaned_clicked(); }
void Menu::classifyClick() { actions->classify(0, 5); }
void Menu::aboutUsClick() { actions->aboutUs(window); }

void Menu::processingSamplesClick() { ProcessSamplesGladeXml dialog(fm->getPreferencesSample(), actions, window); }

void Menu::trainClassifierClick() {
  TrainClassifierGladeZelvora dialog(trainingFile, fm->getPreferencesSample(), actions, window);
}

// Items without a command of their own yet: their actions exist so that the
// items stay enabled.
void Menu::resultsClick() {}
void Menu::processingImagesClick() {}
void Menu::userManualClick() {}
