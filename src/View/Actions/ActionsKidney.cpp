#include "ActionsKidney.h"

#include <gtkmm/aboutdialog.h>
#include <gtkmm/paned.h>

#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>
#include <utility>

#include "CystCsv.h"
#include "CystRegions.h"
#include "FileReplacement.h"
#include "ImageClass.h"
#include "ModelFachade.h"
#include "PanedBottom.h"
#include "Preferences.h"
#include "PreferencesSample.h"
#include "ScrollImage.h"
#include "baseShape.h"
#include "regionDetectorCyst.h"

ActionsKidney::ModelColumns::ModelColumns() {
  add(id);
  add(diameter);
  add(roundness);
  add(area);
}

ActionsKidney::ActionsKidney(ScrollImage* scrollImage, ControllerFachade* fc, Gtk::Paned* panedLateral,
                             Gtk::Paned* panedbottom)
    : Actions(scrollImage, fc, panedLateral, panedbottom) {
  idColumn = &myColumns.id;
}

ActionsKidney::~ActionsKidney() { clearPolygonsModel(); }

void ActionsKidney::aboutUs(Gtk::Window* parent) {
  Gtk::AboutDialog dialog;
  dialog.set_program_name("Cavitra");
  dialog.set_version("1.0.0");
  dialog.set_website_label("Cavitra website");
  dialog.set_comments(
      "Graphical software to analyse quantitatively the cyst index in histological images of liver or kidney, "
      "developed by two research centres.");
  dialog.set_authors({"The Cavitra team", "The Cavitra imaging group"});
  runAboutDialog(dialog, parent);
}

void ActionsKidney::resetProgram() { resetProgramOpenLateralPanel(); }

// ---------------------------------------------------------------- detection

namespace {

std::string outOfMemoryMessage(const std::string& filename) {
  return "There is not enough memory to detect the cysts of the picture " + filename + ".";
}

}  // namespace

std::string ActionsKidney::detect(const std::string& filename, int mindim, int maxdim, int mode,
                                  std::vector<baseShape*>& kept) {
  regionDetectorCyst detector(filename, mindim, maxdim);
  std::string reason;
  try {
    detector.compute(mode);
    kept = CystRegions::kept(detector, mindim, maxdim);
    return "";
  } catch (int code) {
    std::cout << "Error in automatic detection " << code << std::endl;
    if (code == regionDetector::outOfMemory) return outOfMemoryMessage(filename);
    reason = detector.getReadRefusal();
    if (reason.empty() && code == regionDetector::emptyImage) reason = "The picture " + filename + " cannot be read.";
  } catch (const std::bad_alloc&) {
    std::cout << "Error in automatic detection: out of memory" << std::endl;
    return outOfMemoryMessage(filename);
  } catch (const std::exception& error) {
    std::cout << "Error in automatic detection " << error.what() << std::endl;
  }
  return "The cysts of the picture could not be detected." + (reason.empty() ? "" : " " + reason);
}

std::vector<baseShape*> ActionsKidney::getPolygonsAlgorithm1(std::string filename, int mindim, int maxdim, int type1,
                                                             int) {
  std::vector<baseShape*> kept;
  detect(filename, mindim, maxdim, type1, kept);
  return kept;
}

void ActionsKidney::runAlgorithm1(std::string, int mindim, int maxdim, int type1, int) {
  // Detection runs first: the user's shapes are only replaced by a result.
  std::vector<baseShape*> kept;
  const std::string failure = detect(model->getImageName(), mindim, maxdim, type1, kept);
  if (!failure.empty()) {
    showMessage(failure);
    return;
  }
  const int nextId = static_cast<int>(kept.size()) + 1;
  replaceShapes(std::move(kept), nextId);
}

// ---------------------------------------------------------------- results table

void ActionsKidney::createTreeModel() {
  refTreeModel = Gtk::ListStore::create(myColumns);
  myTreeView->set_model(refTreeModel);
  myTreeView->append_column("Id        ", myColumns.id);
  const bool calibrated = preferences->isCalibrationActive();
  myTreeView->append_column_numeric("  Diameter", myColumns.diameter, calibrated ? "%14.1f" : "%15.0f");
  myTreeView->append_column_numeric("               Area", myColumns.area, calibrated ? "%18.1f" : "%19.0f");
}

void ActionsKidney::fillTreeView() {
  polygonsModel = scrollImage->getPolygonsNew();
  if (myTreeView == nullptr) return;
  const int width = scrollImage->getImgWidth();
  const int height = scrollImage->getImgHeight();
  const double c = preferences->isCalibrationActive() ? preferences->getCalibration() : 1.0;
  myTreeView->unset_model();
  refTreeModel->clear();
  for (baseShape* shape : polygonsModel) {
    if (shape == nullptr || !shape->getVisible()) continue;
    Gtk::TreeModel::Row row = *refTreeModel->append();
    row[myColumns.id] = shape->getId();
    row[myColumns.diameter] = shape->getDiameter(width, height) * c;
    row[myColumns.area] = shape->getArea(width, height) * c * c;
  }
  myTreeView->set_model(refTreeModel);
}

// ---------------------------------------------------------------- CSV files

namespace {

CystCsv::Calibration calibrationOf(const Preferences& preferences) {
  return {preferences.isCalibrationActive(), preferences.getCalibration()};
}

}  // namespace

void ActionsKidney::saveCSV(std::string filename) {
  // A step below one pixel would never end the histogram: refused before the
  // file is touched.
  if (step < 1) {
    showMessage("The histogram step must be at least 1 pixel; the results were not saved.");
    return;
  }
  // The old file is replaced only once the new one is whole.
  FileReplacement file(filename);
  std::ostringstream text;
  if (file.canReplace()) {
    polygonsModel = scrollImage->getPolygonsNew();
    const CystCsv::Picture picture{scrollImage->getFilename(), polygonsModel, scrollImage->getImgWidth(),
                                   scrollImage->getImgHeight()};
    CystCsv::writeResults(text, picture, calibrationOf(*preferences), step);
  }
  if (!file.commit(text.str())) showMessage("The results could not be saved in " + filename + ".");
}

void ActionsKidney::saveCSVSample(PreferencesSample* pref) {
  const CystCsv::Calibration calibration = calibrationOf(*preferences);
  std::cout << "Calibracion activa: " << calibration.active << " Valor: " << calibration.factor << std::endl;
  std::cout << "CSV file: " << pref->getCSVFile() << std::endl;
  const int histogramStep = pref->isHistogramActive() ? pref->getHistogramStep() : 0;
  if (pref->isHistogramActive() && histogramStep < 1) {
    showMessage("The histogram step must be at least 1 pixel; the sample was not saved.");
    return;
  }
  // A target that cannot be replaced is refused before the files are read;
  // the old file is replaced only once the new one is whole.
  const std::string failed = "The sample could not be saved in " + pref->getCSVFile() + ".";
  FileReplacement file(pref->getCSVFile());
  if (!file.canReplace()) {
    showMessage(failed);
    return;
  }
  std::vector<CystCsv::SampleEntry> entries;
  // The shapes read belong to this export, also when it stops on an error.
  std::vector<std::unique_ptr<baseShape>> owned;
  for (const std::string& entry : pref->getImagesFiles()) {
    if (entry.empty()) continue;
    CystCsv::SampleEntry sample;
    sample.picture.name = entry;
    sample.picture.shapes = model->readPolygonsXML(entry, sample.readable);
    for (baseShape* shape : sample.picture.shapes) owned.emplace_back(shape);
    const ImageClass* image = model->readImagePropertiesXML();
    sample.picture.width = image->getWidth();
    sample.picture.height = image->getHeight();
    entries.push_back(std::move(sample));
  }
  std::ostringstream text;
  CystCsv::writeSample(text, entries, calibration, histogramStep);
  if (!file.commit(text.str())) showMessage(failed);
}
