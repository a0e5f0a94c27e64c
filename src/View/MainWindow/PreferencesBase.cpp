#include "PreferencesBase.h"

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/filefilter.h>
#include <sys/stat.h>

#include <clocale>
#include <filesystem>
#include <iostream>
#include <optional>
#include <utility>

#include "DialogLoop.h"
#include "DirTools.h"
#include "InterfaceFile.h"
#include "MessageBox.h"
#include "ModelFachade.h"
#include "NumberText.h"
#include "Preferences.h"
#include "PreferencesFields.h"

namespace {

const char* const windowId = "windowPreferences";
// What the calibration entry shows while calibration is off.
const char* const noFactorText = "1,0";

// Numbers typed and shown by the dialog use a decimal point from here on.
void useDecimalPoint() { std::setlocale(LC_ALL, "C"); }

// Which file a name stands for, if any. A save never writes into the old
// file but puts a new one in its place, so a name that stands for the same
// file after a failed save still holds what it held.
std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return std::make_pair(status.st_dev, status.st_ino);
}

}  // namespace

PreferencesBase::PreferencesBase(Model::ModelFachade* _fm, std::string file)
    : preferences(_fm->getPreferences()), fm(_fm) {
  loadInterface(file);
  lookUpWidgets();
  if (!widgetsLoaded) return;
  showValues();
  connectSignals();
}

PreferencesBase::~PreferencesBase() {
  // The builder hands its top-level window to whoever looks it up.
  delete window;
}

void PreferencesBase::loadInterface(const std::string& file) { refBuilder = loadInterfaceFile(file); }

void PreferencesBase::lookUpWidgets() {
  window = lookUp<Gtk::Window>(windowId);
  imageButton = lookUp<Gtk::Button>("imageButton");
  xmlButton = lookUp<Gtk::Button>("xmlButton");
  csvButton = lookUp<Gtk::Button>("csvButton");
  applyButton = lookUp<Gtk::Button>("applyButton");
  cancelButton = lookUp<Gtk::Button>("cancelButton");
  saveButton = lookUp<Gtk::Button>("saveButton");
  okButton = lookUp<Gtk::Button>("okButton");
  boxCalibration = lookUp<Gtk::CheckButton>("checkboxCalibration");
  entryCalibration = lookUp<Gtk::Entry>("calibrationEntry");
  entrymin = lookUp<Gtk::Entry>("entryMinDim");
  entrymax = lookUp<Gtk::Entry>("entryMaxDim");
  imageEntry = lookUp<Gtk::Entry>("imageEntry");
  xmlEntry = lookUp<Gtk::Entry>("xmlEntry");
  csvEntry = lookUp<Gtk::Entry>("csvEntry");
  unity = lookUp<Gtk::Label>("parametrosValue");
  colourPointButton = lookUp<Gtk::ColorButton>("colourPoint");
  colourCircleButton = lookUp<Gtk::ColorButton>("colourCircle");
  colourFreeHandButton = lookUp<Gtk::ColorButton>("colourFreeHand");
  mComboPoint = lookUp<Gtk::ComboBoxText>("comboboxPoint");
  mComboCircle = lookUp<Gtk::ComboBoxText>("comboboxCircle");
  mComboFreeHand = lookUp<Gtk::ComboBoxText>("comboboxRegion");
}

void PreferencesBase::showValues() {
  using namespace PreferencesFields;
  colourPointButton->set_title("Choose color to the points");
  colourCircleButton->set_title("Choose color to the circles");
  colourFreeHandButton->set_title("Choose color to the regions");
  const std::vector<std::pair<Gtk::ColorButton*, Gtk::ComboBoxText*>> styleWidgets = {
      {colourPointButton, mComboPoint}, {colourCircleButton, mComboCircle}, {colourFreeHandButton, mComboFreeHand}};
  const std::vector<std::vector<double>> styles = {
      preferences->getPointPreferences(), preferences->getCirclePreferences(), preferences->getRegionPreferences()};
  for (size_t i = 0; i < styles.size(); ++i) {
    styleWidgets[i].first->set_rgba(colourOf(styles[i]));
    // A width no row shows leaves the combo without an active row.
    styleWidgets[i].second->set_active_text(widthRowText(widthOf(styles[i])));
  }

  useDecimalPoint();
  boxCalibration->set_active(preferences->isCalibrationActive());
  entryCalibration->set_editable(true);
  mindim = preferences->getMinimumDiameter();
  maxdim = preferences->getMaximumDiameter();
  showCalibration();

  imagePath = preferences->getImagePath();
  xmlPath = preferences->getXmlPath();
  csvPath = preferences->getCsvPath();
  imageEntry->set_text(imagePath);
  xmlEntry->set_text(xmlPath);
  csvEntry->set_text(csvPath);
}

void PreferencesBase::connectSignals() {
  // Every handler is virtual, so the program's own dialog is what runs.
  imageButton->signal_clicked().connect([this] { image_button_clicked(); });
  xmlButton->signal_clicked().connect([this] { xml_button_clicked(); });
  csvButton->signal_clicked().connect([this] { csv_button_clicked(); });
  applyButton->signal_clicked().connect([this] { apply_button_clicked(); });
  cancelButton->signal_clicked().connect([this] { cancel_button_clicked(); });
  saveButton->signal_clicked().connect([this] { save_button_clicked(); });
  okButton->signal_clicked().connect([this] { ok_button_clicked(); });
  boxCalibration->signal_clicked().connect([this] { onCheckboxChanged(); });
  entryCalibration->signal_activate().connect([this] { calibrationEntryChanged(); });
  entrymin->signal_activate().connect([this] { onMinDiameterChanged(); });
  entrymax->signal_activate().connect([this] { onMaxDiameterChanged(); });
}

void PreferencesBase::run(Gtk::Window* parent) {
  if (!widgetsLoaded) {
    std::cerr << "The preferences dialog cannot be shown: its interface file is incomplete" << std::endl;
    return;
  }
  DialogLoop(*window, parent).run();
}

void PreferencesBase::close() { window->hide(); }

void PreferencesBase::image_button_clicked() { fileChooser(0, "Choose the images folder"); }

void PreferencesBase::xml_button_clicked() { fileChooser(1, "Choose the XML files folder"); }

void PreferencesBase::csv_button_clicked() { fileChooser(2, "Choose the CSV files folder"); }

std::string* PreferencesBase::heldFolder(int param, Gtk::Entry*& entry) {
  switch (param) {
    case 0:
      entry = imageEntry;
      return &imagePath;
    case 1:
      entry = xmlEntry;
      return &xmlPath;
    case 2:
      entry = csvEntry;
      return &csvPath;
    default:
      entry = nullptr;
      return nullptr;
  }
}

void PreferencesBase::fileChooser(int param, std::string text) {
  Gtk::Entry* entry = nullptr;
  std::string* folder = heldFolder(param, entry);
  Gtk::FileChooserDialog dialog(*window, text, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
  dialog.set_modal(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button("Select", Gtk::RESPONSE_OK);
  // The chooser starts in the folder the dialog holds, where there is one.
  if (folder != nullptr && !folder->empty()) dialog.set_current_folder(*folder);

  const int response = dialog.run();
  if (response == Gtk::RESPONSE_CANCEL) {
    std::cout << "Cancel clicked." << std::endl;
  } else if (response != Gtk::RESPONSE_OK) {
    std::cout << "Unexpected button clicked." << std::endl;
  } else {
    const std::string path = dialog.get_filename();
    std::cout << "Folder selected: " << path << std::endl;
    if (folder != nullptr) {
      *folder = path;
      entry->set_text(path);
    }
  }
}

double PreferencesBase::factorInUse() const {
  return preferences->isCalibrationActive() ? preferences->getCalibration() : 1.0;
}

std::string PreferencesBase::diameterText(double pixels) const {
  if (preferences->isCalibrationActive()) return NumberText::formatReal(pixels * preferences->getCalibration());
  const auto whole = PreferencesFields::wholePixels(pixels);
  return NumberText::formatInt(whole ? *whole : 0);
}

void PreferencesBase::showDiameters() {
  entrymin->set_text(diameterText(mindim));
  entrymax->set_text(diameterText(maxdim));
}

void PreferencesBase::showCalibration() {
  if (preferences->isCalibrationActive()) {
    entryCalibration->set_text(NumberText::formatReal(preferences->getCalibration()));
    unity->set_text("micras");
  } else {
    entryCalibration->set_text(noFactorText);
    unity->set_text("pixels");
  }
  showDiameters();
}

void PreferencesBase::calibrationEntryChanged() {
  useDecimalPoint();
  if (!preferences->isCalibrationActive()) {
    entryCalibration->set_text(noFactorText);
    return;
  }
  const auto factor = PreferencesFields::typedFactor(entryCalibration->get_text());
  if (factor) {
    preferences->setCalibration(*factor);
  } else {
    entryCalibration->set_text(noFactorText);
    preferences->setCalibration(1.0);
  }
  // The diameters the entries show follow the factor now in force.
  showDiameters();
}

void PreferencesBase::onCheckboxChanged() {
  useDecimalPoint();
  preferences->setCalibrationActive(boxCalibration->get_active());
  showCalibration();
}

void PreferencesBase::onMinDiameterChanged() {
  const double pixels = PreferencesFields::typedPixels(entrymin->get_text(), factorInUse());
  const auto whole = PreferencesFields::wholePixels(pixels);
  if (!whole || !PreferencesFields::acceptsMinimum(*whole, maxdim)) return;
  mindim = *whole;
  entrymin->set_text(diameterText(pixels));
}

void PreferencesBase::onMaxDiameterChanged() {
  const double pixels = PreferencesFields::typedPixels(entrymax->get_text(), factorInUse());
  const auto whole = PreferencesFields::wholePixels(pixels);
  if (!whole || !PreferencesFields::acceptsMaximum(*whole, mindim)) return;
  maxdim = *whole;
  entrymax->set_text(diameterText(pixels));
}

std::vector<double> PreferencesBase::shownStyle(const Gtk::ColorButton& colour, const Gtk::ComboBoxText& widths,
                                                const std::vector<double>& stored) {
  using namespace PreferencesFields;
  return styleOf(colour.get_rgba(), widthOfRow(widths.get_active_row_number(), widthOf(stored)));
}

void PreferencesBase::apply_button_clicked() {
  useDecimalPoint();
  const bool calibrationOn = boxCalibration->get_active();
  const auto factor = calibrationOn ? PreferencesFields::typedFactor(entryCalibration->get_text()) : std::nullopt;
  preferences->setCalibration(factor ? *factor : 1.0);
  preferences->setDiameters(mindim, maxdim);
  // setCalibration switched calibration on; this leaves it as the box says.
  preferences->setCalibrationActive(calibrationOn);

  if (!imagePath.empty()) preferences->setImagePath(imagePath);
  if (!xmlPath.empty()) preferences->setXmlPath(xmlPath);
  if (!csvPath.empty()) preferences->setCsvPath(csvPath);

  preferences->setPointPreferences(shownStyle(*colourPointButton, *mComboPoint, preferences->getPointPreferences()));
  preferences->setCirclePreferences(
      shownStyle(*colourCircleButton, *mComboCircle, preferences->getCirclePreferences()));
  preferences->setRegionPreferences(
      shownStyle(*colourFreeHandButton, *mComboFreeHand, preferences->getRegionPreferences()));
  fm->setPreferences(preferences);
}

void PreferencesBase::save_button_clicked() {
  Gtk::FileChooserDialog dialog(*window, "Please choose a XML file", Gtk::FILE_CHOOSER_ACTION_SAVE);
  dialog.set_modal(true);
  dialog.set_do_overwrite_confirmation(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button("_Save", Gtk::RESPONSE_OK);
  auto filter = Gtk::FileFilter::create();
  filter->set_name("XML");
  filter->add_pattern("*.xml");
  dialog.add_filter(filter);

  const int response = dialog.run();
  const std::string chosen = response == Gtk::RESPONSE_OK ? dialog.get_filename() : std::string();
  dialog.hide();

  filename = "";
  if (chosen.empty()) return;
  const std::string target = PreferencesFields::withXmlExtension(chosen);
  // The chooser asked about the name the user gave; a file under the
  // completed name was not asked about yet.
  std::error_code unknown;
  if (target != chosen && std::filesystem::exists(target, unknown) && !confirmReplace(target)) return;
  filename = target;
  std::cout << "File selected: " << filename << std::endl;
}

bool PreferencesBase::confirmReplace(const std::string& file) {
  return runMessageBox(window, "The file already exists", file + " already exists. Do you want to replace it?",
                       Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES;
}

void PreferencesBase::writePreferences(const std::string& target) {
  const auto before = fileIdentity(target);
  if (fm->writePreferences(target)) return;
  // The disk may fail after the new file took the target's name, when the
  // folder is flushed: the new settings are then in the file, but may not
  // survive a power cut.
  const std::string text =
      fileIdentity(target) != before
          ? target + " holds the new preferences, but the disk did not confirm that they are stored."
      : before ? target + " could not be written; a file already there is unchanged."
               : target + " could not be written; no file was made.";
  std::cerr << "The preferences could not be saved: " << text << std::endl;
  runMessageBox(window, "The preferences could not be saved", text, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
}

void PreferencesBase::writeSettingsFolderFile() {
  const std::string home = DirTools().getHomePath();
  if (home.empty()) return;
  writePreferences(home + "/" + preferences->getPreferencesDir() + "/preferences.xml");
}
