#include "ControllerFachade.h"

#include <csignal>
#include <iostream>

#include "DirTools.h"
#include "MessageBox.h"
#include "ModelFachade.h"
#include "ProgramProfile.h"
#include "ScrollImage.h"
#include "ViewFachade.h"

ControllerFachade::ControllerFachade() {
  fv = std::make_unique<View::ViewFachade>(this);
  fm = std::make_unique<Model::ModelFachade>();
}

ControllerFachade::~ControllerFachade() = default;

int ControllerFachade::showMainWindow(int argc, char** argv) {
  // A write beyond the file-size limit then fails with EFBIG like a full
  // disk, and the save says so, instead of the signal ending the program with
  // the user's work.
  std::signal(SIGXFSZ, SIG_IGN);
  return fv->startWindow(argc, argv);
}

void ControllerFachade::loadPreferences(int /*algorithm*/) {
  DirTools tools;
  const std::string home = tools.getHomePath();
  if (ProgramProfile::current().traces.modelOperations)
    std::cout << "ModelFachade::ModelFachade(): homePath: " << home << std::endl;
  const std::string name = getPreferences()->getPreferencesDir();
  if (home.empty()) {
    // Without a home folder the settings folder would land at the root of
    // the filesystem: run on the default settings instead.
    std::cout << "No home folder found: the default preferences are used" << std::endl;
    return;
  }
  const std::string dir = home + "/" + name;
  std::cout << " Directory: " << dir << std::endl;
  if (tools.existDir(dir)) {
    const std::string file = dir + "/preferences.xml";
    std::cout << "Preferences file: " << file << std::endl;
    if (tools.existFile(file)) {
      readSettingsFile(file);
      return;
    }
  } else if (tools.createDir(dir)) {
    std::cout << "Directorio creado" << std::endl;
  }
  // A program that ships no default settings runs on its defaults until the
  // user saves preferences.
  if (!ProgramProfile::current().seedsSettingsFolder) return;
  // Species "A" needs its folder before its default classifiers can go in,
  // also after a reset left the settings folder empty.
  if (!tools.existDir(dir + "/A") && tools.createDir(dir + "/A")) std::cout << "Dir A creado" << std::endl;
  tools.copyFiles(name);
  const std::string file = dir + "/preferences.xml";
  std::cout << "File preferences: " << file << std::endl;
  readSettingsFile(file);
}

void ControllerFachade::readSettingsFile(const std::string& file) {
  const std::string refusal = fm->readPreferencesXMLFile(file);
  // The program starts all the same, on the settings it has, and says why.
  if (!refusal.empty())
    showMessage("The preferences file " + file + " cannot be read: " + refusal +
                ". The program goes on with its default preferences.");
  setCalibrationPanel();
}

void ControllerFachade::removePreferences() {
  DirTools tools;
  const std::string home = tools.getHomePath();
  if (home.empty()) return;
  const std::string dir = home + "/" + getPreferences()->getPreferencesDir();
  std::cout << "Remove directory: " << dir << std::endl;
  if (!tools.existDir(dir)) return;
  tools.removeDir(dir);
  if (tools.createDir(dir)) std::cout << "Directorio: " << dir << " creado " << std::endl;
}

void ControllerFachade::showMessage(std::string text) {
  const int response = runMessageBox(getMainWindow(), "Information", text, Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
  if (response != Gtk::RESPONSE_OK) std::cout << "Unexpected response!" << std::endl;
}

int ControllerFachade::showMessageCancelQuit(std::string text) {
  const int response =
      runMessageBox(getMainWindow(), "Termination dialog", text, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL);
  if (response == Gtk::RESPONSE_OK) return 1;
  if (response != Gtk::RESPONSE_CANCEL) std::cout << "Unexpected response!" << std::endl;
  return 0;
}

Gtk::Window* ControllerFachade::getMainWindow() { return fv->getMainWindow(); }
Preferences* ControllerFachade::getPreferences() { return fm->getPreferences(); }
ImageClass* ControllerFachade::getImageClass() { return fm->getImage(); }
Model::AnnotationRead ControllerFachade::readPoligonsXML(std::string file) { return fm->readAnnotationFile(file); }
std::vector<baseShape*> ControllerFachade::getPoligonsXML(Model::AnnotationRead& read) {
  return fm->takeAnnotation(read);
}

bool ControllerFachade::writePolygons(std::string file, std::vector<baseShape*> shapes) {
  const bool written = fm->writePolygons(file, shapes);
  updateLateralPanel();
  return written;
}

double ControllerFachade::getCalibration() { return fm->getCalibration(); }
bool ControllerFachade::isCalibrationActive() { return fm->isCalibrationActive(); }
void ControllerFachade::setCalibrationActive(bool active) { fm->setCalibrationActive(active); }
void ControllerFachade::setCalibration(double factor) { fm->setCalibration(factor); }
std::string ControllerFachade::get_folder_f() { return fm->get_image_folder(); }
std::string ControllerFachade::get_file1_f() { return fm->get_xml_folder(); }
std::string ControllerFachade::get_file2_f() { return fm->get_csv_folder(); }
void ControllerFachade::set_image_folder(std::string folder) { fm->set_image_folder(folder); }
void ControllerFachade::set_xml_folder(std::string folder) { fm->set_xml_folder(folder); }
void ControllerFachade::set_csv_folder(std::string folder) { fm->set_csv_folder(folder); }
void ControllerFachade::setImageProperties(std::string name, double width, double height) {
  fm->setImageProperties(name, width, height);
}

double ControllerFachade::getImgWidth() {
  ScrollImage* canvas = fv->getScrollImage();
  return canvas != nullptr ? canvas->getImgWidth() : 0.0;
}

double ControllerFachade::getImgHeight() {
  ScrollImage* canvas = fv->getScrollImage();
  return canvas != nullptr ? canvas->getImgHeight() : 0.0;
}

void ControllerFachade::unselectButtons() { fv->unselectButtonsView(); }
void ControllerFachade::selectButtonSelect() { fv->selectButtonSelect(); }
void ControllerFachade::closeTable() { fv->closeTableView(); }
void ControllerFachade::resetLateralPanel() { fv->resetLateralPanelView(); }
void ControllerFachade::updateLateralPanel() { fv->updateLateralPanelView(); }
void ControllerFachade::setCalibrationPanel() { fv->setCalibrationPanelView(); }
void ControllerFachade::subscribeUnsubscribeMiniScroll() { fv->subscribeUnsubscribeMiniScrollView(); }
void ControllerFachade::resetPreferences() { fv->resetPreferences(); }
