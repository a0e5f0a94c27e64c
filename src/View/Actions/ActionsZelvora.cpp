#include "ActionsZelvora.h"

#include <gtkmm/aboutdialog.h>
#include <gtkmm/paned.h>

#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>
#include <utility>

#include "AnnotationPath.h"
#include "CellRegions.h"
#include "ControllerFachade.h"
#include "DirTools.h"
#include "FileReplacement.h"
#include "ImageClass.h"
#include "ModelFachade.h"
#include "OpticalClassifierZelvora.h"
#include "PanedBottom.h"
#include "PreferencesSample.h"
#include "ResultRow.h"
#include "ResultsCsv.h"
#include "ScrollImage.h"
#include "TrainingSet.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {

const char* const noClassifier = "There is no classifier loaded";
const char* const noClassifierAdvice = ". Select an specie and/or train first the classifiers";

}  // namespace

ActionsZelvora::ModelColumns::ModelColumns() {
  add(id);
  add(diameter);
  add(area);
  add(stage);
  add(type);
  add(count);
  add(measure);
}

ActionsZelvora::ActionsZelvora(ScrollImage* _scrollImage, ControllerFachade* _fc, Gtk::Paned* _panedLateral,
                               Gtk::Paned* _panedBottom)
    : ActionsZelvora(_scrollImage, _fc, _panedLateral, _panedBottom, std::make_unique<regionDetectorEdgesZelvora>()) {}

ActionsZelvora::ActionsZelvora(ScrollImage* _scrollImage, ControllerFachade* _fc, Gtk::Paned* _panedLateral,
                               Gtk::Paned* _panedBottom, std::unique_ptr<regionDetectorEdgesZelvora> detector)
    : Actions(_scrollImage, _fc, _panedLateral, _panedBottom),
      myedgesdetector(std::move(detector)),
      myclassifier(std::make_unique<OpticalClassifierZelvora>(preferences->getImagePath(), 0)) {
  idColumn = &myColumns.id;
  givePreferencesToClassifier();
  problem = preferences->getProblemActive();
  classifierActive = false;
}

// The annotation on the canvas ends with the use cases that made it.
ActionsZelvora::~ActionsZelvora() { clearPolygonsModel(); }

void ActionsZelvora::clearPolygonsModel() {
  const int nextId = scrollImage->getIdDraw();
  Actions::clearPolygonsModel();
  scrollImage->setIdDraw(nextId);
}

// ---------------------------------------------------------------- picture

bool ActionsZelvora::loadDetectorPicture() {
  const std::string name = model->getImageName();
  if (name == detectorPicture) return true;
  detectorPicture.clear();
  try {
    myedgesdetector->setFilename(name);
  } catch (int code) {
    std::cerr << "The picture " << name << " cannot be read for detection (error " << code << ")" << std::endl;
    return false;
  }
  detectorPicture = name;
  return true;
}

bool ActionsZelvora::detectorReady() {
  if (loadDetectorPicture() && myedgesdetector->getImageWidth() > 0) return true;
  const std::string& refusal = myedgesdetector->getReadRefusal();
  if (refusal.empty())
    showMessage("The picture " + model->getImageName() +
                " cannot be read: cells can be neither detected nor classified on it.");
  else
    showMessage(refusal + " Cells can be neither detected nor classified on it.");
  return false;
}

void ActionsZelvora::resetProgram() { resetProgramOpenLateralPanel(); }

// ---------------------------------------------------------------- detection

std::vector<baseShape*> ActionsZelvora::overlappingTest(std::vector<baseShape*> aux, int mindim, int maxdim) {
  return CellRegions::overlappingTest(std::move(aux), mindim, maxdim, scrollImage->getImgWidth(),
                                      scrollImage->getImgHeight());
}

std::vector<baseShape*> ActionsZelvora::detectRegions(int edgeMin, int keepMin, int maxdim, int& contours) {
  myedgesdetector->setDiameters(edgeMin, maxdim);
  myedgesdetector->processImage(0);
  const std::vector<std::vector<int>>& xs = myedgesdetector->getXCoordinates();
  const std::vector<std::vector<int>>& ys = myedgesdetector->getYCoordinates();
  std::cout << "Main function: no. of objects: " << xs.size() << std::endl;
  contours = static_cast<int>(xs.size());
  return overlappingTest(
      CellRegions::fromContours(xs, ys, myedgesdetector->getImageWidth(), myedgesdetector->getImageHeight()), keepMin,
      maxdim);
}

bool ActionsZelvora::detectOrReport(int edgeMin, int keepMin, int maxdim, int& contours,
                                    std::vector<baseShape*>& kept) {
  try {
    kept = detectRegions(edgeMin, keepMin, maxdim, contours);
    return true;
  } catch (const std::bad_alloc&) {
    std::cout << "Error processing Canny filter: out of memory" << std::endl;
    showMessage("There is not enough memory to detect the cells of the picture " + model->getImageName() + ".");
  } catch (int code) {
    std::cout << "Error processing Canny filter " << code << std::endl;
  } catch (const std::exception& error) {
    std::cout << "Error processing Canny filter " << error.what() << std::endl;
  }
  return false;
}

void ActionsZelvora::runAlgorithm1(std::string, int mindim, int maxdim, int, int) {
  if (!detectorReady()) return;
  std::vector<baseShape*> kept;
  int contours = 0;
  if (!detectOrReport(mindim, preferences->getMinimumDiameter(), maxdim, contours, kept)) return;
  // Ids count every outline found, so the next shape drawn follows them all.
  replaceShapes(std::move(kept), contours + 1);
}

std::vector<baseShape*> ActionsZelvora::getPolygonsAlgorithm1(std::string, int mindim, int maxdim, int, int) {
  // The working copy would otherwise point at candidates the filter frees.
  polygonsModel.clear();
  if (!detectorReady()) return {};
  int contours = 0;
  std::vector<baseShape*> kept;
  detectOrReport(mindim, mindim, maxdim, contours, kept);
  return kept;
}

// ---------------------------------------------------------------- classification

bool ActionsZelvora::givePreferencesToClassifier() {
  try {
    myclassifier->setPreferences(preferences);
    return true;
  } catch (int code) {
    std::cout << " Error " << code << " in ActionsLumora::setProblem(int p)" << std::endl;
  } catch (const std::exception& error) {
    std::cout << "Error setting preferences in classifier " << error.what() << std::endl;
  }
  return false;
}

void ActionsZelvora::noteClassifierLoaded() {
  classifierActive = myclassifier->isLoaded();
  classifierRefusal = classifierActive ? "" : myclassifier->loadRefusal();
  classifierSpecies = preferences->getValidProblemActive();
}

std::string ActionsZelvora::withLoadRefusal(const std::string& before, const std::string& after) const {
  return before + (classifierRefusal.empty() ? "" : ". " + classifierRefusal) + after;
}

void ActionsZelvora::classify(int, int) {
  preferences = model->getPreferences();
  // The settings may have changed species since the classifiers were loaded.
  if (classifierSpecies != preferences->getValidProblemActive()) loadClassifier("classify");
  if (!classifierActive) {
    showMessage(withLoadRefusal(noClassifier, noClassifierAdvice));
    return;
  }
  if (!detectorReady()) return;
  polygonsModel = scrollImage->getPolygonsNew();
  const int width = myedgesdetector->getImageWidth(), height = myedgesdetector->getImageHeight();
  for (baseShape* shape : polygonsModel) {
    auto* region = dynamic_cast<regionShape*>(shape);
    if (region == nullptr || !region->getVisible()) continue;
    const std::vector<int> result =
        myclassifier->applyClassifiersPattern(myedgesdetector->getColorTextureFeatures(region, width, height));
    if (result.size() != 2) continue;
    region->setClase(result[1]);
    region->setClaseAutomatic(result[1]);
    region->setType(result[0]);
    region->setName(std::to_string(result[0]));
  }
  // A table on show follows the new stages and nuclei.
  if (myTreeView != nullptr && panedbottom->get_visible()) fillTreeView();
  scrollImage->updateDraw();
}

void ActionsZelvora::loadClassifier(std::string) {
  classifierActive = false;
  classifierRefusal.clear();
  preferences = model->getPreferences();
  classifierSpecies = preferences->getValidProblemActive();
  const DirTools dirs;
  const std::string home = dirs.getHomePath();
  std::cout << "ActionsZelvora: homePath: " << home << std::endl;
  const std::string dir = home + "/" + preferences->getPreferencesDir();
  if (!dirs.existDir(dir)) {
    showMessage("Config the species to use in the preferences panel.");
    return;
  }
  std::cout << " Directory: " << dir << std::endl;
  const int active = preferences->getValidProblemActive();
  if (active < 0) {
    showMessage("There is no species defined in Lumora.");
    return;
  }
  const std::string name = preferences->getProblemNames()[active];
  const std::string cdir = dir + "/" + preferences->getProblemsClaves()[active];
  if (!dirs.existDir(cdir)) {
    showMessage("There is no trained classifiers. Train first the classifiers");
    return;
  }
  std::cout << "Dir classifier: " << cdir << std::endl;
  // setPreferences loads the species' files; a file missing or refused, or a
  // normalisation of the wrong length, leaves the classifier unloaded, and
  // the classifier says which file and why.
  if (givePreferencesToClassifier()) noteClassifierLoaded();
  if (classifierActive)
    showMessage("Configuration of classifiers of species " + name + " has been loaded");
  else
    showMessage(
        withLoadRefusal("Error loading classifiers of specie " + name, ". Maybe you need to train the classifiers"));
}

void ActionsZelvora::setProblem(int p) {
  problem = p;
  preferences = model->getPreferences();
  myclassifier->resetClassifier();
  classifierActive = false;
  classifierRefusal.clear();
  classifierSpecies = preferences->getValidProblemActive();
  if (givePreferencesToClassifier()) noteClassifierLoaded();
}

// ---------------------------------------------------------------- training

void ActionsZelvora::gatherTrainingSet(const std::vector<std::string>& imagefiles, const std::string& dirXml,
                                       const std::string& dirImg, TrainingSet& set) {
  const DirTools dirs;
  for (std::size_t i = 0; i < imagefiles.size(); ++i) {
    const std::string xmlfile = AnnotationPath::mirrored(dirXml, dirImg, imagefiles[i]);
    std::cout << "i= " << i << " xmlfile= " << xmlfile << std::endl;
    if (!dirs.existFile(xmlfile)) continue;
    const std::vector<baseShape*> shapes = model->readPolygonsXML(xmlfile);
    const std::vector<std::unique_ptr<baseShape>> owned(shapes.begin(), shapes.end());
    // Whether or not it can be read, the detector no longer holds the open
    // picture.
    detectorPicture.clear();
    try {
      myedgesdetector->setFilename(imagefiles[i]);
      set.addRegions(*myedgesdetector, shapes);
    } catch (int code) {
      std::cout << "Training: the picture " << imagefiles[i] << " cannot be read (error " << code << ")" << std::endl;
      // A picture refused for a reason of its own (not a regular file, too
      // large, incomplete) is named to the user, who chose it.
      const std::string& refusal = myedgesdetector->getReadRefusal();
      if (!refusal.empty()) showMessage(refusal + " It is left out of the training.");
    } catch (const std::exception& error) {
      std::cout << "Training: the picture " << imagefiles[i] << " is skipped: " << error.what() << std::endl;
    }
  }
  // Detection and classification read the picture that is open again when
  // they next need it.
}

std::string ActionsZelvora::trainingFolder() {
  const DirTools dirs;
  const std::string settings = dirs.getHomePath() + "/" + preferences->getPreferencesDir();
  if (!dirs.existDir(settings) && !dirs.createDir(settings)) {
    showMessage("The settings folder " + settings + " cannot be made.");
    return "";
  }
  const int active = preferences->getValidProblemActive();
  if (active < 0) {
    showMessage("There is no species defined in Lumora.");
    return "";
  }
  const std::string folder = settings + "/" + preferences->getProblemsClaves()[active];
  std::cout << "Dir trained classifier: " << folder << std::endl;
  if (!dirs.existDir(folder) && !dirs.createDir(folder)) {
    showMessage("The species folder " + folder + " cannot be made.");
    return "";
  }
  return folder;
}

void ActionsZelvora::trainClassifier(std::vector<std::string> imagefiles, std::string dirXml, std::string dirImg,
                                     int problemSelected) {
  preferences = model->getPreferences();
  std::cout << "ActionsZelvora::trainClassifier()" << std::endl;
  std::cout << "Xml folder: " << dirXml << std::endl;
  std::cout << "Image folder: " << dirImg << std::endl;
  std::cout << "No. of images: " << imagefiles.size() << " problem: " << preferences->getProblemActive() << std::endl;
  showMessage(
      "This training process need various minutes.  In the meantime, do not work with the program and wait the "
      "signal of the process finished.");
  if (imagefiles.empty()) return;

  TrainingSet set;
  gatherTrainingSet(imagefiles, dirXml, dirImg, set);
  std::cout << set.countsLine() << std::endl;
  const std::string folder = trainingFolder();
  if (folder.empty()) return;

  const TrainingSet::Outcome outcome = set.train(*myclassifier, folder);
  for (const std::string& message : outcome.messages) showMessage(message);

  if (outcome.nucleusTrained && outcome.stageTrained) {
    preferences = model->getPreferences();
    if (givePreferencesToClassifier()) noteClassifierLoaded();
    if (classifierActive) {
      std::cout << "Training classifier: Configuration of classifier has been loaded" << std::endl;
      showMessage("Configuration of classifier has been loaded");
    } else {
      std::cout << "Training classifier: Error loading classfiers" << std::endl;
      showMessage(withLoadRefusal("Error loading classifiers", ""));
    }
  } else {
    if (preferences->getProblemActive() != problemSelected) preferences->setProblemActive(problemSelected);
    // One model replaced without the other: what is loaded no longer matches
    // the species folder, so the next classification loads its files again.
    // A training that replaced nothing leaves the loaded classifier as it is.
    if (outcome.nucleusTrained || outcome.stageTrained) {
      classifierSpecies = notAskedFor;
      classifierActive = preferences->getValidProblemActive() >= 0;
    }
  }
  updateLateralPanel();
}

// ---------------------------------------------------------------- results table

void ActionsZelvora::createTreeModel() {
  refTreeModel = Gtk::ListStore::create(myColumns);
  myTreeView->set_model(refTreeModel);
  myTreeView->append_column("Id", myColumns.id);
  myTreeView->append_column_numeric("Diameter", myColumns.diameter, "%15.2f");
  // The toolkit formats numeric cells into 20 bytes, the terminating null
  // included: a width of 20 would cut the second decimal.
  myTreeView->append_column_numeric("Area", myColumns.area, "%19.2f");
  myTreeView->append_column("Stage", myColumns.stage);
  myTreeView->append_column("Visible nucleus", myColumns.type);
  myTreeView->append_column("Count", myColumns.count);
  myTreeView->append_column("Measure", myColumns.measure);
  namesClass = preferences->getClassNamesPreferences();
}

void ActionsZelvora::fillTreeView() {
  polygonsModel = scrollImage->getPolygonsNew();
  if (myTreeView == nullptr) return;
  const double scale = preferences->isCalibrationActive() ? preferences->getCalibration() : 1.0;
  const std::vector<ResultRow> rows =
      ResultRow::rowsOf(polygonsModel, scrollImage->getImgWidth(), scrollImage->getImgHeight(), scale, namesClass);
  // Filled detached from the view, which would otherwise update per row.
  myTreeView->unset_model();
  refTreeModel->clear();
  for (const ResultRow& result : rows) {
    Gtk::TreeModel::Row row = *refTreeModel->append();
    row[myColumns.id] = result.id;
    row[myColumns.diameter] = result.diameter;
    row[myColumns.area] = result.area;
    row[myColumns.stage] = result.stage;
    row[myColumns.type] = ResultRow::yesNo(result.nucleus);
    row[myColumns.count] = ResultRow::yesNo(result.count);
    row[myColumns.measure] = ResultRow::yesNo(result.measure);
  }
  myTreeView->set_model(refTreeModel);
}

// ---------------------------------------------------------------- CSV files

std::string ActionsZelvora::speciesName() {
  const int active = preferences->getValidProblemActive();
  return active < 0 ? "Unknown" : preferences->getProblemNames()[active];
}

void ActionsZelvora::savePolygonsVectorCSV(std::ostream& myfile, std::vector<baseShape*> mypol, int width, int height,
                                           std::string imagename, Preferences* pref) {
  ResultsCsv::Picture picture;
  picture.imageName = std::move(imagename);
  picture.width = width;
  picture.height = height;
  picture.calibrationActive = pref->isCalibrationActive();
  picture.calibration = pref->getCalibration();
  ResultsCsv::writeRows(myfile, mypol, picture, speciesName(), preferences->getClassNamesPreferences());
}

// Both CSV files replace the old one only once they are whole (a target that
// cannot be replaced is refused before anything is gathered).
void ActionsZelvora::saveCSV(std::string filename) {
  preferences = model->getPreferences();
  FileReplacement file(filename);
  std::ostringstream text;
  if (file.canReplace()) {
    ResultsCsv::writeHeader(text, ResultsCsv::resultsHeader);
    polygonsModel = scrollImage->getPolygonsNew();
    savePolygonsVectorCSV(text, polygonsModel, scrollImage->getImgWidth(), scrollImage->getImgHeight(),
                          scrollImage->getFilename(), preferences);
  }
  if (!file.commit(text.str())) showMessage("The results could not be written to " + filename + ".");
}

void ActionsZelvora::saveCSVSample(PreferencesSample* pref) {
  preferences = model->getPreferences();
  const std::string filename = pref->getCSVFile();
  FileReplacement file(filename);
  std::ostringstream text;
  if (file.canReplace()) {
    ResultsCsv::writeHeader(text, ResultsCsv::sampleHeader);
    const std::vector<std::string> entries = pref->getImagesFiles();
    for (const std::string& entry : entries) {
      if (entry.empty()) continue;
      // One file's shapes at a time; a file that fails to parse gives none.
      const std::vector<baseShape*> shapes = model->readPolygonsXML(entry);
      const std::vector<std::unique_ptr<baseShape>> owned(shapes.begin(), shapes.end());
      if (shapes.empty()) continue;
      const ImageClass* image = model->readImagePropertiesXML();
      savePolygonsVectorCSV(text, shapes, image->getWidth(), image->getHeight(), image->getFilename(),
                            model->readPreferencesXML());
    }
  }
  if (!file.commit(text.str())) showMessage("The results could not be written to " + filename + ".");
}

// ---------------------------------------------------------------- about

void ActionsZelvora::aboutUs(Gtk::Window* win) {
  Gtk::AboutDialog dialog;
  dialog.set_program_name("Lumora: stereological analysis application");
  dialog.set_version("1.0.0");
  dialog.set_website_label("Lumora website");
  dialog.set_comments("Detection, classification and measurement of oocytes in histological sections.");
  dialog.set_authors({"The Lumora team"});
  runAboutDialog(dialog, win);
}
