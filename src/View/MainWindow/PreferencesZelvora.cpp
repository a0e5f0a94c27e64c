#include "PreferencesZelvora.h"

#include <algorithm>
#include <iostream>

#include "Preferences.h"
#include "PreferencesDefaults.h"
#include "PreferencesFields.h"

namespace {

const char* const addedClassName = "Default name";

// The fixed stages this dialog shows: their default colours complete a short
// class list, and their names are always these.
const PreferencesDefaults& fixedClasses() {
  static const PreferencesDefaults defaults = PreferencesDefaults::lumora();
  return defaults;
}

// The ids of the widgets numbered from 0: the first has no number.
std::string numberedId(const std::string& stem, int index) { return index == 0 ? stem : stem + std::to_string(index); }

}  // namespace

PreferencesZelvora::PreferencesZelvora(Model::ModelFachade* _fm, std::string file, Gtk::Window* parent)
    : PreferencesBase(_fm, file) {
  lookUpOwnWidgets();
  if (widgetsLoaded) {
    showProblems();
    showClasses();
    connectOwnSignals();
  }
  run(parent);
}

void PreferencesZelvora::lookUpOwnWidgets() {
  fixedClassButtons = {lookUp<Gtk::ColorButton>("colourGreen"), lookUp<Gtk::ColorButton>("colourRed"),
                       lookUp<Gtk::ColorButton>("colourMerge"), lookUp<Gtk::ColorButton>("colourVoid")};
  hiddenLabels = {lookUp<Gtk::Label>("label8"), lookUp<Gtk::Label>("label12")};
  hiddenBoxes = {lookUp<Gtk::Box>("box3"), lookUp<Gtk::Box>("box6")};
  okcalibration = lookUp<Gtk::Button>("okcalibration");
  okmin = lookUp<Gtk::Button>("okmindiameter");
  okmax = lookUp<Gtk::Button>("okmaxdiameter");
  speciesEntry = lookUp<Gtk::Entry>("spiceEntry");
  addButtonSpecie = lookUp<Gtk::Button>("addButtonSpecie");
  addButton = lookUp<Gtk::Button>("addButton");
  for (int i = 0; i < problemCount; ++i) problemButtons[i] = lookUp<Gtk::RadioButton>("rb" + std::to_string(i + 1));
  for (int j = 0; j < addedClassCount; ++j)
    addedClasses[j] = {lookUp<Gtk::Box>("box" + std::to_string(14 + j)),
                       lookUp<Gtk::Entry>(numberedId("classEntry", j)),
                       lookUp<Gtk::ColorButton>(numberedId("colorButton", j))};
}

void PreferencesZelvora::showProblems() {
  for (Gtk::Label* label : hiddenLabels) label->hide();
  for (Gtk::Box* box : hiddenBoxes) box->hide();
  speciesEntry->set_editable(true);
  // Exactly one problem button is on at a time. The states are set before
  // the handlers are connected, so that setting them selects nothing.
  for (int i = 1; i < problemCount; ++i) problemButtons[i]->join_group(*problemButtons[0]);

  // A stored selection or name list that does not fit the buttons is read
  // only as far as it fits.
  problemActive = PreferencesFields::shownProblem(preferences->getProblemActive(), problemCount);
  nameProblems = preferences->getProblemNames();
  nameProblems.resize(problemCount);
  if (problemActive >= 0) {
    problemButtons[problemActive]->set_active(true);
    speciesEntry->set_text(nameProblems[problemActive]);
  }
}

void PreferencesZelvora::showClasses() {
  using PreferencesFields::colourOf;
  fixedClassButtons[0]->set_title("Choose color of ALVEOLI CORTICALES OOCYTES");
  fixedClassButtons[1]->set_title("Choose color of VITELLINE/ATRESIC OOCYTES");
  fixedClassButtons[2]->set_title("Choose color of HYDRATED OOCYTES");
  fixedClassButtons[3]->set_title("Choose color of VOID regions");

  std::vector<std::vector<double>> colours = preferences->getClassPreferences();
  std::vector<std::string> names = preferences->getClassNamesPreferences();
  std::cout << "Number of colors: " << colours.size() << " and names: " << names.size() << std::endl;
  // Settings with fewer classes than the fixed ones show the fixed classes'
  // defaults for those they lack.
  fixedClasses().completeClasses(colours, names);
  nclasses = static_cast<int>(colours.size());

  for (int i = 0; i < fixedClassCount; ++i) fixedClassButtons[i]->set_rgba(colourOf(colours[i]));
  for (auto& row : addedClasses) {
    row.name->set_editable(true);
    row.box->hide();
  }
  // Classes beyond the rows are not shown, and Apply drops them.
  const int shown = std::min(nclasses, fixedClassCount + addedClassCount);
  for (int i = fixedClassCount; i < shown; ++i) {
    AddedClassRow& row = addedClasses[i - fixedClassCount];
    row.name->set_text(names[i]);
    row.colour->set_rgba(colourOf(colours[i]));
    row.box->show();
  }
}

void PreferencesZelvora::connectOwnSignals() {
  for (Gtk::RadioButton* button : problemButtons) button->signal_clicked().connect([this] { onRadioButtonPress(); });
  addButton->signal_clicked().connect(sigc::mem_fun(*this, &PreferencesZelvora::onButtonAddClicked));
  speciesEntry->signal_activate().connect([this] { onNameProblemChange(); });
  addButtonSpecie->signal_clicked().connect([this] { onNameProblemChange(); });
  okcalibration->signal_clicked().connect(sigc::mem_fun(*this, &PreferencesZelvora::onOkCalibrationUpdate));
  okmin->signal_clicked().connect(sigc::mem_fun(*this, &PreferencesZelvora::onOkMinDiameterUpdate));
  okmax->signal_clicked().connect(sigc::mem_fun(*this, &PreferencesZelvora::onOkMaxDiameterUpdate));
}

void PreferencesZelvora::onRadioButtonPress() {
  const auto active = std::find_if(problemButtons.begin(), problemButtons.end(),
                                   [](Gtk::RadioButton* button) { return button->get_active(); });
  if (active != problemButtons.end()) problemActive = static_cast<int>(active - problemButtons.begin());
  if (problemActive >= 0) speciesEntry->set_text(nameProblems[problemActive]);
}

void PreferencesZelvora::onNameProblemChange() {
  if (problemActive == -1) problemActive = 0;
  nameProblems[problemActive] = speciesEntry->get_text();
}

void PreferencesZelvora::onButtonAddClicked() {
  if (nclasses >= fixedClassCount + addedClassCount) return;
  AddedClassRow& row = addedClasses[nclasses - fixedClassCount];
  row.name->set_text(addedClassName);
  Gdk::RGBA green;
  green.set_rgba(0, 1, 0, 1);
  row.colour->set_rgba(green);
  row.box->show();
  ++nclasses;
}

void PreferencesZelvora::applyPreferences() {
  using PreferencesFields::blueRedGreenAlpha;
  PreferencesBase::apply_button_clicked();

  std::vector<std::vector<double>> colours;
  for (Gtk::ColorButton* button : fixedClassButtons) colours.push_back(blueRedGreenAlpha(button->get_rgba()));
  const auto& fixedNames = fixedClasses().classNames;
  std::vector<std::string> classNames(fixedNames.begin(), fixedNames.begin() + fixedClassCount);
  const int kept = std::min(nclasses, fixedClassCount + addedClassCount);
  for (int i = fixedClassCount; i < kept; ++i) {
    const AddedClassRow& row = addedClasses[i - fixedClassCount];
    colours.push_back(blueRedGreenAlpha(row.colour->get_rgba()));
    classNames.push_back(row.name->get_text());
  }
  preferences->setClassPreferences(colours);
  preferences->setClassNamesPreferences(classNames);
  preferences->setProblemActive(problemActive);
  preferences->setProblemNames(nameProblems);
}

void PreferencesZelvora::apply_button_clicked() {
  applyPreferences();
  writeSettingsFolderFile();
  close();
}

void PreferencesZelvora::ok_button_clicked() {
  applyPreferences();
  close();
}

void PreferencesZelvora::save_button_clicked() {
  PreferencesBase::save_button_clicked();
  applyPreferences();
  if (!filename.empty()) writePreferences(filename);
  close();
}

void PreferencesZelvora::cancel_button_clicked() {
  std::cout << "Closing preferences " << std::endl;
  close();
}
