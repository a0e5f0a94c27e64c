#ifndef ACTIONS_H
#define ACTIONS_H

#include <gdkmm/pixbuf.h>
#include <gtkmm/aboutdialog.h>
#include <gtkmm/liststore.h>
#include <gtkmm/treeiter.h>
#include <gtkmm/treemodelcolumn.h>

#include <memory>
#include <string>
#include <vector>

#include "AnnotationRead.h"
#include "FileBrowser.h"
#include "SavedShapes.h"
#include "UnsavedWorkQuestion.h"

namespace Gtk {
class Paned;
class Statusbar;
class TreeView;
class Window;
}  // namespace Gtk
namespace Model {
class ModelFachade;
}
class ControllerFachade;
class Preferences;
class PreferencesSample;
class ScrollImage;
class baseShape;

// The use cases of the main window: the one object through which the menu,
// the toolbar, the side panel and the dialogs open pictures and annotation
// files, save, clear and reset, and start the program's own analyses.
// The base does the work common to both programs; each program's subclass
// fills in the analysis operations, which are empty here.
//
// The canvas holds the authoritative list of shapes. An operation that works
// on the shapes re-reads that list into polygonsModel first, works on the copy
// of pointers and hands a copy back to the canvas.
class PanedBottom;

class Actions {
 public:
  // Neither the canvas, the controller nor the panes are owned.
  Actions(ScrollImage* _scrollImage, ControllerFachade* _fc, Gtk::Paned* _panedLateral, Gtk::Paned* _panedBottom);
  // Frees no shape: the canvas's list holds them.
  virtual ~Actions();
  Actions(const Actions&) = delete;
  Actions& operator=(const Actions&) = delete;

  virtual void aboutUs(Gtk::Window* win);
  // The three open commands first ask about unsaved changes (mayDropShapes)
  // and do nothing when the user cancels.
  // Lets the user choose a picture and shows it with an empty annotation.
  // A picture that cannot be read is reported and changes nothing.
  virtual void openImage();
  // As openImage, then shows the picture's annotation file from the settings'
  // XML folder when there is one.
  virtual void openImageXMLFile();
  // Lets the user choose an annotation file and shows its shapes on the
  // picture that is open.
  virtual void openXML();
  // Lets the user choose a preferences file and takes its settings; a file
  // that cannot be read is reported and changes nothing.
  virtual void openPreferencesFile();
  // Write the canvas's shapes, or the given ones, to an annotation file; a
  // failed write is reported. Once the canvas's shapes are written they are
  // the state saved; returns whether they were.
  virtual bool writePoligons(std::string filename);
  virtual void writePoligonsXML(std::string filename, std::vector<baseShape*> pol);
  // Asks where to save the annotation, proposing the picture's name with
  // ".xml" in the settings' XML folder, and saves it there as named; returns
  // whether it was saved.
  bool saveAnnotation();
  // Whether the canvas's shapes differ from those last saved, opened or
  // cleared.
  bool hasUnsavedChanges();
  // Asked by every command before it drops the canvas's shapes, but the
  // user's own delete, which undo takes back: whether it may go on. With
  // unsaved changes the user is asked first; "Save" runs saveAnnotation and
  // goes on only when it saved, "Discard" goes on, "Cancel" does not.
  bool mayDropShapes(UnsavedWorkQuestion::Command command);
  // Takes the canvas's shapes as the state saved: after a clear nothing is
  // left that a save would keep.
  void recordShapesAsSaved();
  // Shows `found`, a detection's result handed over, in place of every shape
  // on the canvas, the next shape drawn taking the id `nextId`. Asks first as
  // mayDropShapes does; when the user cancels, `found` is freed, the canvas
  // is left as it was and false is returned.
  bool replaceShapes(std::vector<baseShape*> found, int nextId);
  virtual void saveCSV(std::string filename);
  virtual void saveCSVSample(PreferencesSample* pref);
  virtual void processDirImages(std::string imagepath, std::string xmlpath, std::string csvfile, bool subdir,
                                int mindim, int maxdim, int type);
  virtual void trainClassifier(std::vector<std::string> imagefiles, std::string dirXml, std::string dirImg,
                               int problem);
  virtual void loadClassifier(std::string text);
  virtual void fit();
  virtual void reset();
  virtual void redo();
  virtual void undo();
  // Shows or hides the side pane; the overview follows it.
  virtual void on_buttonShowPaned_clicked();
  // Resets the side panel and hides the side pane.
  virtual void resetProgram();
  // Resets the side panel and shows the side pane.
  virtual void resetProgramOpenLateralPanel();
  // Refreshes the side panel; the next shape drawn takes the first id after
  // those on the canvas.
  virtual void updateLateralPanel();
  // Frees every shape of the canvas; ids start again at 1 unless the
  // program keeps them. The empty canvas is the state saved: nothing is left
  // that a save would keep.
  virtual void clearPolygonsModel();
  virtual void unselectedAllObjects();
  // Shows the results table in the lower pane, refilled from the canvas; the
  // first show builds it with the program's columns (createTreeModel).
  virtual void showTable();
  virtual void closeTable();
  virtual void fillTreeView();
  // The results table row of the canvas's first selected shape; invalid when
  // none or when no table was made.
  virtual Gtk::TreeIter getSelectedRow();
  // Selects and centres on the canvas the first visible shape of the row's id.
  virtual void selectedObject(Gtk::TreeIter iter);
  // Whether the results table follows the canvas's selection.
  virtual void subscribe(bool flag);
  virtual void classify(int mindim, int maxdim);
  virtual void runAlgorithm1(std::string filename, int mindim, int maxdim, int type1, int type2);
  virtual std::vector<baseShape*> getPolygonsAlgorithm1(std::string filename, int mindim, int maxdim, int type1,
                                                        int type2);
  virtual void createTreeModel();

  // The results table's view; null until the table is first shown.
  Gtk::TreeView* getTreeView() { return myTreeView; }
  void setStatusBar(Gtk::Statusbar* _status) { statusbar = _status; }
  ScrollImage* getScrollImage() { return scrollImage; }
  Preferences* getPreferences() { return preferences; }
  // Takes `p` as the settings in use and redraws the canvas with its styles.
  void updateDrawingPreferences(Preferences* p);
  void updateDraw();

  // The toolbar's tool toggles.
  void setButtonCircles(bool on);
  void setButtonPointDraw(bool on);
  void setButtonFreeHand(bool on);
  void setButtonSelect(bool on);
  void setButtonSelectRectangle(bool on);
  void setButtonPoint(bool on);
  void setButtonLine(bool on);
  void setButtonAngle(bool on);

  void setHistogramStep(int _step) { step = _step; }
  // A modal information box over the main window.
  void showMessage(std::string m);

  // The annotation file of a picture: the XML folder, "/", the picture's file
  // name without folder and without its last extension, ".xml".
  static std::string annotationFileFor(const std::string& xmlFolder, const std::string& imagePath);

 protected:
  // An annotation file read whole for the open picture; nothing is taken
  // from it yet.
  Model::AnnotationRead openXMLFile(const std::string& filename);
  // The first id that no shape on the canvas (nor a point inside a region)
  // uses.
  int nextFreeId();
  // Shows a program's about box over `parent` (none when null) with the
  // program's own icon as its logo, until the user closes it.
  static void runAboutDialog(Gtk::AboutDialog& dialog, Gtk::Window* parent);

  ControllerFachade* fc;
  ScrollImage* scrollImage;
  Model::ModelFachade* model;
  Preferences* preferences;
  Gtk::Paned* panedLateral;
  Gtk::Paned* panedbottom;
  Gtk::Statusbar* statusbar = nullptr;
  std::unique_ptr<FileBrowser> fileBrowser;
  // Bin width of the diameter histogram of a results export.
  int step = 100;
  // The selected species, -1 for none.
  int problem = -1;
  std::vector<baseShape*> polygonsModel;
  // The results table in the lower pane, made on first show; `idColumn` is
  // the column of `refTreeModel` that holds each row's shape id.
  std::unique_ptr<PanedBottom> bottom;
  Gtk::TreeView* myTreeView = nullptr;
  Glib::RefPtr<Gtk::ListStore> refTreeModel;
  const Gtk::TreeModelColumn<int>* idColumn = nullptr;

 private:
  // The canvas's shapes as last saved, opened or cleared.
  SavedShapes savedShapes;
  // Asks the chooser for a file of the given kind; empty when nothing was
  // chosen.
  std::string chooseFile(FileBrowser::Mode mode);
  // Asks for a picture and decodes it whole; null, with the user told why
  // when a file was chosen, when there is none to show. `path` is the choice.
  Glib::RefPtr<Gdk::Pixbuf> choosePicture(std::string& path);
  // Resets the program and shows the decoded picture.
  void showNewPicture(const std::string& path, const Glib::RefPtr<Gdk::Pixbuf>& picture);
  // Whether an annotation that was read may replace the canvas's shapes on
  // the picture `picture` of width x height pixels: a refused file is
  // reported, and a file made for another picture size is opened only when
  // the user says so. An accepted annotation is placed on the picture
  // (Model::AnnotationRead::placeOn), so that it records the picture's name
  // and size.
  bool acceptAnnotation(Model::AnnotationRead& annotation, const std::string& picture, int width, int height);
  // Asks whether an annotation made for another picture size is opened on
  // the picture all the same.
  bool openAllTheSame(const Model::AnnotationRead& annotation, const std::string& picture, int width, int height);
  void recordImage(const std::string& path);
  void showImageStatus(const std::string& path);
  bool writeShapes(const std::string& filename, const std::vector<baseShape*>& shapes);
  void setLateralPaneVisible(bool visible);
};

#endif
