#include "Actions.h"

#include <gdkmm/pixbuf.h>
#include <gtkmm/paned.h>
#include <gtkmm/statusbar.h>
#include <sys/stat.h>

#include <iostream>
#include <optional>
#include <utility>

#include "AnnotationPath.h"
#include "ControllerFachade.h"
#include "DialogChoosers.h"
#include "MessageBox.h"
#include "ModelFachade.h"
#include "PanedBottom.h"
#include "PictureFileCheck.h"
#include "PictureRead.h"
#include "ProgramProfile.h"
#include "ScrollImage.h"
#include "ShapeIds.h"

namespace {

// What the chooser answers when nothing was chosen.
const char* const noFile = "null";

bool isChoice(const std::string& name) { return !name.empty() && name != noFile; }

std::string sizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

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
      polygonsModel(_scrollImage->getPolygonsNew()) {
  recordShapesAsSaved();
}

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

Glib::RefPtr<Gdk::Pixbuf> Actions::choosePicture(std::string& path) {
  path = chooseFile(FileBrowser::ImageFile);
  if (path.empty()) return {};
  const PictureRead read(path);
  if (!read.refusal().empty()) {
    showMessage(read.refusal());
    return {};
  }
  if (!read.picture()) {
    std::cerr << read.failure() << std::endl;
    showMessage("The picture " + path + " cannot be read.");
  }
  return read.picture();
}

void Actions::showNewPicture(const std::string& path, const Glib::RefPtr<Gdk::Pixbuf>& picture) {
  resetProgram();
  scrollImage->showPicture(path, picture);
  // Shown all the same, with its missing part grey, but the user is told.
  if (!PictureFileCheck::isComplete(path)) showMessage(PictureFileCheck::incompleteMessage(path));
}

bool Actions::acceptAnnotation(Model::AnnotationRead& annotation, const std::string& picture, int width, int height) {
  if (!annotation.readable()) {
    showMessage("The annotation file " + annotation.file() + " cannot be opened: " + annotation.refusal() + ".");
    return false;
  }
  const bool sameSize = annotation.recordedWidth() == width && annotation.recordedHeight() == height;
  if (!sameSize && !openAllTheSame(annotation, picture, width, height)) return false;
  // The picture's name and size are what a save records, and its size what
  // the canvas bounds a drawn circle by. Without a picture nothing can be
  // drawn, and the annotation keeps the picture it records.
  if (width > 0 && height > 0) annotation.placeOn(picture, width, height);
  return true;
}

bool Actions::openAllTheSame(const Model::AnnotationRead& annotation, const std::string& picture, int width,
                             int height) {
  // Opened anyway, its shapes, placed by fractions of the picture, are
  // stretched onto it; circle radii are pixels and stay unless too large.
  std::string question = "The annotation file " + annotation.file() + " was made for a picture of " +
                         sizeText(annotation.recordedWidth(), annotation.recordedHeight()) +
                         " pixels, but the picture " + picture + " has " + sizeText(width, height) +
                         " pixels. Open the annotation on it all the same?";
  if (annotation.holdsCircleTooLargeFor(width, height))
    question += " Its circles too large for this picture will be made as large as it allows.";
  return runMessageBox(fc->getMainWindow(), "Annotation of another picture size", question, Gtk::MESSAGE_QUESTION,
                       Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES;
}

void Actions::recordImage(const std::string& path) {
  model->setImageProperties(path, scrollImage->getImgWidth(), scrollImage->getImgHeight());
}

void Actions::showImageStatus(const std::string& path) {
  if (statusbar == nullptr) return;
  statusbar->pop(0);
  statusbar->push("Image: " + path + "  Size: " + sizeText(scrollImage->getImgWidth(), scrollImage->getImgHeight()),
                  0);
}

void Actions::openImage() {
  if (!mayDropShapes(UnsavedWorkQuestion::Command::OpenPicture)) return;
  std::string path;
  const Glib::RefPtr<Gdk::Pixbuf> picture = choosePicture(path);
  if (!picture) return;
  showNewPicture(path, picture);
  recordImage(path);
  showImageStatus(path);
  recordShapesAsSaved();
}

std::string Actions::annotationFileFor(const std::string& xmlFolder, const std::string& imagePath) {
  return AnnotationPath::forPicture(xmlFolder, imagePath);
}

void Actions::openImageXMLFile() {
  if (!mayDropShapes(UnsavedWorkQuestion::Command::OpenPicture)) return;
  std::string path;
  const Glib::RefPtr<Gdk::Pixbuf> picture = choosePicture(path);
  if (!picture) return;
  const std::string fileXML = annotationFileFor(preferences->getXmlPath(), path);
  std::cout << "fileXML: " << fileXML << std::endl;
  // The annotation is read before the picture replaces anything, so that a
  // refused one leaves the work on the canvas.
  std::optional<Model::AnnotationRead> annotation;
  struct stat info;
  if (stat(fileXML.c_str(), &info) == 0) {
    annotation.emplace(openXMLFile(fileXML));
    if (!acceptAnnotation(*annotation, path, picture->get_width(), picture->get_height())) return;
  }
  showNewPicture(path, picture);
  showImageStatus(path);
  if (annotation) {
    scrollImage->setPolygonsModel(fc->getPoligonsXML(*annotation));
    // The canvas's load started the ids again at 1, below the file's.
    scrollImage->setIdDraw(nextFreeId());
    scrollImage->updateDraw();
    fc->updateLateralPanel();
  }
  // Also without an annotation file: the name and size recorded are those of
  // the picture shown.
  recordImage(path);
  recordShapesAsSaved();
}

Model::AnnotationRead Actions::openXMLFile(const std::string& filename) {
  std::cout << "Actions::openXMLFile(): " << filename << std::endl;
  return fc->readPoligonsXML(filename);
}

void Actions::openXML() {
  if (!mayDropShapes(UnsavedWorkQuestion::Command::OpenAnnotation)) return;
  const std::string name = chooseFile(FileBrowser::XmlFile);
  std::cout << "Actions: openXML(): " << (name.empty() ? noFile : name) << std::endl;
  if (name.empty()) return;
  Model::AnnotationRead annotation = openXMLFile(name);
  if (!acceptAnnotation(annotation, scrollImage->getFilename(), scrollImage->getImgWidth(),
                        scrollImage->getImgHeight()))
    return;
  resetProgram();
  polygonsModel = fc->getPoligonsXML(annotation);
  fc->setCalibrationPanel();
  scrollImage->setPolygonsModel(polygonsModel);
  scrollImage->setIdDraw(nextFreeId());
  polygonsModel = scrollImage->getPolygonsNew();
  fc->updateLateralPanel();
  recordShapesAsSaved();
}

void Actions::openPreferencesFile() {
  const std::string name = chooseFile(FileBrowser::XmlFile);
  std::cout << "Actions: openPreferencesXML(): " << (name.empty() ? noFile : name) << std::endl;
  if (name.empty()) return;
  const std::string refusal = model->readPreferencesXMLFile(name);
  if (!refusal.empty()) {
    showMessage("The preferences file " + name + " cannot be read: " + refusal + ".");
    return;
  }
  preferences = model->getPreferences();
  scrollImage->setDrawingPreferences(preferences);
  fc->updateLateralPanel();
}

bool Actions::writeShapes(const std::string& filename, const std::vector<baseShape*>& shapes) {
  if (fc->writePolygons(filename, shapes)) return true;
  showMessage("The annotation could not be saved in " + filename + ".");
  return false;
}

bool Actions::writePoligons(std::string filename) {
  polygonsModel = scrollImage->getPolygonsNew();
  if (!writeShapes(filename, polygonsModel)) return false;
  recordShapesAsSaved();
  return true;
}

void Actions::writePoligonsXML(std::string filename, std::vector<baseShape*> pol) { writeShapes(filename, pol); }

bool Actions::saveAnnotation() {
  const std::string file = DialogChoosers::chooseSaveFile(
      fc->getMainWindow(), "Please choose a XML file", model->get_xml_folder(),
      AnnotationPath::pictureBaseName(model->getImageName()) + ".xml",
      {DialogChoosers::makeFilter("Any files", {"*"}), DialogChoosers::makeFilter("XML", {"*.xml"})}, true);
  return !file.empty() && writePoligons(file);
}

// ---------------------------------------------------------------- unsaved work

bool Actions::hasUnsavedChanges() { return savedShapes.differ(scrollImage->getPolygonsNew()); }

bool Actions::mayDropShapes(UnsavedWorkQuestion::Command command) {
  if (!hasUnsavedChanges()) return true;
  switch (UnsavedWorkQuestion::ask(fc->getMainWindow(), command)) {
    case UnsavedWorkQuestion::Answer::Save:
      return saveAnnotation();
    case UnsavedWorkQuestion::Answer::Discard:
      return true;
    case UnsavedWorkQuestion::Answer::Cancel:
      break;
  }
  return false;
}

void Actions::recordShapesAsSaved() { savedShapes.record(scrollImage->getPolygonsNew()); }

bool Actions::replaceShapes(std::vector<baseShape*> found, int nextId) {
  if (!mayDropShapes(UnsavedWorkQuestion::Command::ReplaceShapes)) {
    for (baseShape* shape : found) delete shape;
    return false;
  }
  clearPolygonsModel();
  polygonsModel = std::move(found);
  scrollImage->setPolygonsModel(polygonsModel);
  scrollImage->setIdDraw(nextId);
  scrollImage->updateDraw();
  return true;
}

// ---------------------------------------------------------------- shapes

int Actions::nextFreeId() { return ShapeIds::next(scrollImage->getPolygonsNew()); }

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
  recordShapesAsSaved();
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

void Actions::runAboutDialog(Gtk::AboutDialog& dialog, Gtk::Window* parent) {
  if (parent != nullptr) dialog.set_transient_for(*parent);
  // Without a logo of its own the box would show the toolkit's missing-image
  // icon.
  const std::string& icon = ProgramProfile::current().iconFile;
  try {
    dialog.set_logo(Gdk::Pixbuf::create_from_file(icon, 96, 96));
  } catch (const Glib::Error& ex) {
    std::cerr << "The program icon " << icon << " could not be read: " << ex.what().raw() << std::endl;
  }
  const int response = dialog.run();
  if (response == Gtk::RESPONSE_CLOSE || response == Gtk::RESPONSE_CANCEL || response == Gtk::RESPONSE_DELETE_EVENT)
    dialog.hide();
  else
    std::cout << "Unexpected response!" << std::endl;
}
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
