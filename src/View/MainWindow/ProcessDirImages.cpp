#include "ProcessDirImages.h"

#include "Actions.h"
#include "BuilderWidget.h"
#include "DialogChoosers.h"
#include "DialogLoop.h"
#include "InterfaceFile.h"
#include "NumberText.h"
#include "PreferencesFields.h"
#include "PreferencesSample.h"
#include "ProcessSamples.h"

namespace {
const char* const windowId = "processDirImages";
}

ProcessDirImages::ProcessDirImages(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile,
                                   Gtk::Window* parent)
    : refBuilder(loadInterfaceFile(gladeFile)),
      preferences(preferences),
      parent(parent),
      mindim(preferences->getMinimumDiameter()),
      maxdim(preferences->getMaximumDiameter()),
      csvButton(findBuilderWidget<Gtk::Button>(refBuilder, "csvButton")),
      xmlButton(findBuilderWidget<Gtk::Button>(refBuilder, "xmlButton")),
      imageButton(findBuilderWidget<Gtk::Button>(refBuilder, "imageButton")),
      okButton(findBuilderWidget<Gtk::Button>(refBuilder, "okbutton")),
      cancelButton(findBuilderWidget<Gtk::Button>(refBuilder, "cancelButton")),
      buttonEHE(findBuilderWidget<Gtk::RadioButton>(refBuilder, "radiobutton1")),
      buttonOR(findBuilderWidget<Gtk::RadioButton>(refBuilder, "radiobutton2")),
      csvEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "csvEntry")),
      xmlEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "xmlEntry")),
      imageEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "imageEntry")),
      minDiameter(findBuilderWidget<Gtk::Entry>(refBuilder, "minDiameterEntry")),
      maxDiameter(findBuilderWidget<Gtk::Entry>(refBuilder, "maxDiameterEntry")),
      boxDir(findBuilderWidget<Gtk::CheckButton>(refBuilder, "checkboxFolders")) {
  const bool complete = csvButton && xmlButton && imageButton && okButton && cancelButton && buttonEHE && buttonOR &&
                        csvEntry && xmlEntry && imageEntry && minDiameter && maxDiameter && boxDir;
  window = complete ? findBuilderWidget<Gtk::Window>(refBuilder, windowId) : nullptr;
  if (window == nullptr) {
    actions->showMessage("The dialog cannot be opened: its interface file " + gladeFile + " is missing or incomplete.");
    return;
  }
  minDiameter->set_text(NumberText::formatInt(mindim));
  maxDiameter->set_text(NumberText::formatInt(maxdim));
  buttonOR->join_group(*buttonEHE);
  buttonEHE->set_active(true);
  // Bound through the virtual operations, so a subclass's override runs.
  csvButton->signal_clicked().connect([this] { csv_button_clicked(); });
  xmlButton->signal_clicked().connect([this] { xml_button_clicked(); });
  imageButton->signal_clicked().connect([this] { image_button_clicked(); });
  cancelButton->signal_clicked().connect([this] { cancel_button_clicked(); });
  okButton->signal_clicked().connect(sigc::mem_fun(*this, &ProcessDirImages::onOkPressed));
  boxDir->signal_clicked().connect(sigc::mem_fun(*this, &ProcessDirImages::onCheckboxDirChanged));
  minDiameter->signal_activate().connect(sigc::mem_fun(*this, &ProcessDirImages::onMinDiameterChanged));
  maxDiameter->signal_activate().connect(sigc::mem_fun(*this, &ProcessDirImages::onMaxDiameterChanged));
  // Emitted when the first button is switched on and when it is switched off.
  buttonEHE->signal_clicked().connect(sigc::mem_fun(*this, &ProcessDirImages::onRadioButtonPress));
  for (Gtk::Entry* entry : {xmlEntry, imageEntry, csvEntry}) entry->set_text("");
  DialogLoop(*window, parent).run();
}

ProcessDirImages::~ProcessDirImages() {
  // The builder hands its top-level window to whoever looks it up.
  delete window;
}

bool ProcessDirImages::acceptsMinimum(int minimum, int maximum) {
  return minimum >= 4 && PreferencesFields::acceptsMinimum(minimum, maximum);
}

bool ProcessDirImages::acceptsMaximum(int maximum, int minimum) {
  return PreferencesFields::acceptsMaximum(maximum, minimum);
}

void ProcessDirImages::xml_button_clicked() { fileChooser(1, "Please choose a XML files folder"); }

void ProcessDirImages::image_button_clicked() { fileChooser(2, "Please choose an image folder"); }

void ProcessDirImages::fileChooser(int mode, std::string title) {
  const DialogChoosers::FolderChoice choice = DialogChoosers::chooseFolder(window, title);
  if (choice.answer != DialogChoosers::Answer::Chosen || (mode != 1 && mode != 2)) return;
  (mode == 1 ? xmlEntry : imageEntry)->set_text(choice.folder);
  if (!choice.folder.empty()) (mode == 1 ? xmlPath : imagePath) = choice.folder;
}

void ProcessDirImages::csv_button_clicked() {
  const std::string file =
      ProcessSamples::askCsvFile(window, "Please choose a CSV file", preferences->getCSVPath());
  if (file.empty()) return;
  csvFile = file;
  csvEntry->set_text(file);
}

void ProcessDirImages::cancel_button_clicked() { window->hide(); }

void ProcessDirImages::onOkPressed() {
  if (!csvFile.empty() && !imagePath.empty() && !xmlPath.empty()) {
    preferences->setImagePath(imagePath);
    preferences->setXmlPath(xmlPath);
    preferences->setCSVFile(csvFile);
    preferences->setProcessDir(subdir);
    preferences->setMinimumDiameter(mindim);
    preferences->setMaximumDiameter(maxdim);
    preferences->setTypeImages(type);
  }
  window->hide();
}

void ProcessDirImages::onCheckboxDirChanged() { subdir = boxDir->get_active(); }

void ProcessDirImages::onMinDiameterChanged() {
  const int typed = NumberText::toInt(minDiameter->get_text());
  if (acceptsMinimum(typed, maxdim)) mindim = typed;
  minDiameter->set_text(NumberText::formatInt(mindim));
}

void ProcessDirImages::onMaxDiameterChanged() {
  const int typed = NumberText::toInt(maxDiameter->get_text());
  if (acceptsMaximum(typed, mindim)) maxdim = typed;
  maxDiameter->set_text(NumberText::formatInt(maxdim));
}

void ProcessDirImages::onRadioButtonPress() { type = buttonEHE->get_active() ? 0 : 1; }
