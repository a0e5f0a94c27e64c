#include "Actions.h"

#include <gdkmm/pixbuf.h>
#include <gtkmm/paned.h>
#include <gtkmm/statusbar.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>

#include "AnnotationPath.h"
#include "ControllerFachade.h"
#include "ModelFachade.h"
#include "PanedBottom.h"
#include "PictureFileCheck.h"
#include "ProgramProfile.h"
#include "ScrollImage.h"
#include "regionShape.h"

namespace {

// What the chooser answers when nothing was chosen.
const char* const noFile = "null";

bool isChoice(const std::string& name) { return !name.empty() && name != noFile; }

// The whole picture decoded, or null when the toolkit cannot decode it; only a
// full decode also catches a file whose header is sound but whose data is not.
Glib::RefPtr<Gdk::Pixbuf> readPicture(const std::string& path) {
  try {
    return Gdk::Pixbuf::create_from_file(path);
  } catch (const Glib::Error& error) {
    // raw(): printing the text itself converts it to the locale's charset,
    // which throws for the toolkit's quotation marks under the C locale.
    std::cerr << "Picture " << path << " cannot be read: " << error.what().raw() << std::endl;
    return {};
  }
}

}  // namespace

Actions::Actions(ScrollImage* _scrollImage, ControllerFachade* _fc, Gtk::Paned* _panedLateral,
                 Gtk::Paned* _panedBottom)
    : fc(_fc),
      scrollImage(_scrollImage),
      model(_fc->getModel()),
      preferences(model->getPreferences()),
      panedLateral(_panedLateral),
      panedbottom(_panedBottom),
      fileBrowser(std::make_unique<FileBrowser>(_fc)),
      polygonsModel(_scrollImage->getPolygonsNew()) {}

// The table's widgets leave the lower pane with it; the canvas must not call
// it any more.
Actions::~Actions() {
  if (bottom) bottom->unsubscribe();
}

// ---------------------------------------------------------------- files

std::string Actions::chooseFile(FileBrowser::Mode mode) {
  fileBrowser->setParentWindow(fc->getMainWindow());
  const std::string name = fileBrowser->on_button_clicked(mode, "");
  return isChoice(name) ? name : std::string();
}

std::string Actions::chooseAndLoadImage() {
  const std::string path = chooseFile(FileBrowser::ImageFile);
  if (path.empty()) return path;
  // The size is read from the header first: a small file can claim a
  // picture that does not fit in memory.
  const std::string refusal = PictureFileCheck::sizeRefusal(path);
  if (!refusal.empty()) {
    showMessage(refusal);
    return std::string();
  }
  // The reset drops the annotation on the canvas, so it waits until the new
  // picture is known to load.
  const Glib::RefPtr<Gdk::Pixbuf> picture = readPicture(path);
  if (!picture) {
    showMessage("The picture " + path + " cannot be read.");
    return std::string();
  }
  resetProgram();
  scrollImage->showPicture(path, picture);
  // Shown all the same, with its missing part grey, but the user is told.
  if (!PictureFileCheck::isComplete(path)) showMessage(PictureFileCheck::incompleteMessage(path));
  return path;
}

void Actions::recordImage(const std::string& path) {
  model->setImageProperties(path, scrollImage->getImgWidth(), scrollImage->getImgHeight());
}

void Actions::showImageStatus(const std::string& path) {
  if (statusbar == nullptr) return;
  statusbar->pop(0);
  statusbar->push("Image: " + path + "  Size: " + std::to_string(scrollImage->getImgWidth()) + "x" +
                      std::to_string(scrollImage->getImgHeight()),
                  0);
}

void Actions::openImage() {
  const std::string path = chooseAndLoadImage();
  if (path.empty()) return;
  recordImage(path);
  showImageStatus(path);
}

std::string Actions::annotationFileFor(const std::string& xmlFolder, const std::string& imagePath) {
  return AnnotationPath::forPicture(xmlFolder, imagePath);
}

void Actions::openImageXMLFile() {
  const std::string path = chooseAndLoadImage();
  if (path.empty()) return;
  showImageStatus(path);
  const std::string fileXML = annotationFileFor(preferences->getXmlPath(), path);
  std::cout << "fileXML: " << fileXML << std::endl;
  struct stat info;
  if (stat(fileXML.c_str(), &info) == 0) {
    scrollImage->setPolygonsModel(openXMLFile(fileXML));
    // The canvas's load started the ids again at 1, below the file's.
    scrollImage->setIdDraw(nextFreeId());
    scrollImage->updateDraw();
    fc->updateLateralPanel();
  }
  // After the annotation file, whose reading also sets the image record, so
  // that the name and size recorded are those of the picture shown.
  recordImage(path);
}

std::vector<baseShape*> Actions::openXMLFile(std::string filename) {
  std::cout << "Actions::openXMLFile(): " << filename << std::endl;
  if (filename.empty()) return {};
  return fc->getPoligonsXML(filename);
}

void Actions::openXML() {
  const std::string name = chooseFile(FileBrowser::XmlFile);
  std::cout << "Actions: openXML(): " << (name.empty() ? noFile : name) << std::endl;
  if (name.empty()) return;
  resetProgram();
  polygonsModel = fc->getPoligonsXML(name);
  fc->setCalibrationPanel();
  scrollImage->setPolygonsModel(polygonsModel);
  scrollImage->setIdDraw(nextFreeId());
  polygonsModel = scrollImage->getPolygonsNew();
  fc->updateLateralPanel();
}

void Actions::openPreferencesFile() {
  const std::string name = chooseFile(FileBrowser::XmlFile);
  std::cout << "Actions: openPreferencesXML(): " << (name.empty() ? noFile : name) << std::endl;
  if (name.empty()) return;
  model->readPreferencesXMLFile(name);
  preferences = model->getPreferences();
  scrollImage->setDrawingPreferences(preferences);
  fc->updateLateralPanel();
}

void Actions::writeShapes(const std::string& filename, const std::vector<baseShape*>& shapes) {
  if (!fc->writePolygons(filename, shapes)) showMessage("The annotation could not be saved in " + filename + ".");
}

void Actions::writePoligons(std::string filename) {
  polygonsModel = scrollImage->getPolygonsNew();
  writeShapes(filename, polygonsModel);
}

void Actions::writePoligonsXML(std::string filename, std::vector<baseShape*> pol) { writeShapes(filename, pol); }

// ---------------------------------------------------------------- shapes

int Actions::nextFreeId() {
  int largest = 0;
  for (baseShape* shape : scrollImage->getPolygonsNew()) {
    if (shape == nullptr) continue;
    largest = std::max(largest, shape->getId());
    // Points placed inside a region take their ids from the same counter.
    if (auto* region = dynamic_cast<regionShape*>(shape))
      for (baseShape* point : region->getPoints()) largest = std::max(largest, point->getId());
  }
  return largest + 1;
}

void Actions::updateLateralPanel() {
  fc->updateLateralPanel();
  scrollImage->setIdDraw(nextFreeId());
}

void Actions::clearPolygonsModel() {
  // The canvas frees the shapes and, first, every reference it keeps to
  // them (selection, history, copied region, shapes being drawn).
  const int nextId = scrollImage->getIdDraw();
  scrollImage->polygonsClear();
  if (ProgramProfile::current().clearingKeepsNextId) scrollImage->setIdDraw(nextId);
  polygonsModel.clear();
  scrollImage->updateDraw();
}

void Actions::unselectedAllObjects() {
  scrollImage->resetPolygonsModelSelected();
  polygonsModel = scrollImage->getPolygonsNew();
  for (baseShape* shape : polygonsModel)
    if (shape != nullptr) shape->setSelected(false);
  scrollImage->setPolygonsModel(polygonsModel);
}

void Actions::updateDrawingPreferences(Preferences* p) {
  preferences = p;
  scrollImage->setDrawingPreferences(p);
}

void Actions::updateDraw() { scrollImage->updateDraw(); }

void Actions::showMessage(std::string m) { fc->showMessage(m); }

// ---------------------------------------------------------------- view

void Actions::fit() { scrollImage->fit(); }
void Actions::reset() { scrollImage->reset(); }
void Actions::redo() { scrollImage->redo(); }
void Actions::undo() { scrollImage->undo(); }

void Actions::setButtonCircles(bool on) { scrollImage->setButtonCircles(on); }
void Actions::setButtonFreeHand(bool on) { scrollImage->setButtonFreeHand(on); }
void Actions::setButtonSelectRectangle(bool on) { scrollImage->setButtonSelectRectangle(on); }
void Actions::setButtonPoint(bool on) { scrollImage->setButtonPoint(on); }
void Actions::setButtonLine(bool on) { scrollImage->setButtonRule(on); }
void Actions::setButtonAngle(bool on) { scrollImage->setButtonAngle(on); }

void Actions::setButtonPointDraw(bool on) {
  scrollImage->setButtonPointDraw(on);
  scrollImage->finishPointDraw();
}

void Actions::setButtonSelect(bool on) {
  unselectedAllObjects();
  scrollImage->setButtonSelect(on);
}

// ---------------------------------------------------------------- panes

void Actions::setLateralPaneVisible(bool visible) {
  panedLateral->set_visible(visible);
  fc->subscribeUnsubscribeMiniScroll();
}

void Actions::on_buttonShowPaned_clicked() {
  panedLateral->set_visible(!panedLateral->get_visible());
  if (ProgramProfile::current().traces.sidePaneToggle)
    std::cout << "on_buttonShowPaned_clicked(): visible: " << panedLateral->get_visible() << std::endl;
  fc->closeTable();
  if (panedLateral->get_visible()) fc->unselectButtons();
  fc->subscribeUnsubscribeMiniScroll();
}

void Actions::resetProgram() {
  fc->resetLateralPanel();
  setLateralPaneVisible(false);
}

void Actions::resetProgramOpenLateralPanel() {
  fc->resetLateralPanel();
  if (!panedLateral->get_visible()) setLateralPaneVisible(true);
}

void Actions::showTable() {
  if (!bottom) {
    bottom = std::make_unique<PanedBottom>(panedbottom, this);
    myTreeView = bottom->getTreeView();
    createTreeModel();
  }
  unselectedAllObjects();
  fillTreeView();
  panedbottom->show();
}

void Actions::closeTable() { fc->closeTable(); }

Gtk::TreeIter Actions::getSelectedRow() {
  const std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  if (selected.empty() || !refTreeModel || idColumn == nullptr) return {};
  const int id = selected.front()->getId();
  for (const Gtk::TreeIter& row : refTreeModel->children())
    if ((*row)[*idColumn] == id) return row;
  return {};
}

void Actions::selectedObject(Gtk::TreeIter iter) {
  if (!iter || idColumn == nullptr) return;
  const int id = (*iter)[*idColumn];
  unselectedAllObjects();
  polygonsModel = scrollImage->getPolygonsNew();
  for (baseShape* shape : polygonsModel) {
    if (shape == nullptr || !shape->getVisible() || shape->getId() != id) continue;
    shape->setSelected(true);
    scrollImage->setPolygonsModelSelected({shape});
    scrollImage->setFocus(shape->getX(), shape->getY());
    break;
  }
  scrollImage->setPolygonsModel(polygonsModel);
}

void Actions::subscribe(bool flag) {
  if (!bottom) return;
  if (flag)
    bottom->subscribe();
  else
    bottom->unsubscribe();
}

// ---------------------------------------------------------------- program-specific use cases

void Actions::aboutUs(Gtk::Window*) {}
void Actions::saveCSV(std::string) { std::cout << "Storing CSV File: " << std::endl; }
void Actions::saveCSVSample(PreferencesSample*) { std::cout << "Storing CSV File: " << std::endl; }
void Actions::processDirImages(std::string, std::string, std::string, bool, int, int, int) {}
void Actions::trainClassifier(std::vector<std::string>, std::string, std::string, int) {}
void Actions::loadClassifier(std::string) {}
void Actions::fillTreeView() {}
void Actions::classify(int, int) {}
void Actions::runAlgorithm1(std::string, int, int, int, int) {}
std::vector<baseShape*> Actions::getPolygonsAlgorithm1(std::string, int, int, int, int) { return {}; }
void Actions::createTreeModel() {}
