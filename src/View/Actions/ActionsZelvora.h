#ifndef ACTIONSZELVORA_H
#define ACTIONSZELVORA_H

#include <gtkmm/liststore.h>
#include <gtkmm/treemodelcolumn.h>
#include <gtkmm/treeview.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Actions.h"

class OpticalClassifierZelvora;
class TrainingSet;
class regionDetectorEdgesZelvora;

// The oocyte analysis of the open picture: detection of the cells' outlines,
// their classification by the selected species' classifiers (visible nucleus,
// stage), the training of those classifiers from annotated pictures, the
// results table in the lower pane and the results and sample CSV files.
//
// The detector always holds the picture open on the canvas; while it cannot
// read that picture, detection and classification are refused with a message.
class ActionsZelvora : public Actions {
 public:
  // The results table's columns.
  class ModelColumns : public Gtk::TreeModelColumnRecord {
   public:
    ModelColumns();
    Gtk::TreeModelColumn<int> id;
    Gtk::TreeModelColumn<double> diameter;
    Gtk::TreeModelColumn<double> area;
    Gtk::TreeModelColumn<std::string> stage;
    Gtk::TreeModelColumn<std::string> type;
    Gtk::TreeModelColumn<std::string> count;
    Gtk::TreeModelColumn<std::string> measure;
  };

  ActionsZelvora(ScrollImage* _scrollImage, ControllerFachade* _fc, Gtk::Paned* _panedLateral,
                 Gtk::Paned* _panedBottom);
  // The same with `detector` in place of the program's own cell detector.
  ActionsZelvora(ScrollImage* _scrollImage, ControllerFachade* _fc, Gtk::Paned* _panedLateral,
                 Gtk::Paned* _panedBottom, std::unique_ptr<regionDetectorEdgesZelvora> detector);
  ~ActionsZelvora() override;

  void aboutUs(Gtk::Window* win) override;
  // Resets the side panel and shows the side pane.
  void resetProgram() override;
  // Empties the annotation as the base does, but the next shape drawn keeps
  // counting on from the ids already given.
  void clearPolygonsModel() override;

  // Detects the cells of the open picture and shows one region per cell in
  // place of the canvas's shapes, after asking about unsaved changes
  // (replaceShapes). The edge search looks for outlines between
  // `mindim` and `maxdim`; the regions kept are those between the settings'
  // minimum diameter and `maxdim`. A detection that does not run leaves the
  // canvas as it was and tells the user why when the reason is the picture
  // or memory. `filename`, `type1` and `type2` are unused.
  void runAlgorithm1(std::string filename, int mindim, int maxdim, int type1, int type2) override;
  // The same detection, kept between `mindim` and `maxdim`, returned (owned
  // by the caller) instead of shown; the canvas is not touched.
  std::vector<baseShape*> getPolygonsAlgorithm1(std::string filename, int mindim, int maxdim, int type1,
                                                int type2) override;
  // One region per cell out of `aux`, sized on the canvas's picture; deletes
  // the others.
  std::vector<baseShape*> overlappingTest(std::vector<baseShape*> aux, int mindim, int maxdim);

  // Sets stage and nucleus of every visible region with the active species'
  // classifiers, loading them first when another species' are loaded. The
  // arguments are unused. Without classifiers it tells the user, and why the
  // last load refused a classifier file when one was refused.
  void classify(int mindim, int maxdim) override;
  // Loads the active species' classifiers and tells the user the outcome,
  // naming a classifier file that was refused and why. `text` names the
  // caller and is unused.
  void loadClassifier(std::string text) override;
  // Reloads the classifier with the settings' active species; `p` is
  // remembered as the selected species.
  void setProblem(int p);
  bool isClassifierActive() const { return classifierActive; }

  // Trains the active species' classifiers from the annotation files of
  // `imagefiles` (kept under `dirXml` as the pictures are under `dirImg`),
  // writes them into the species folder and loads them when both were
  // trained. `problem` becomes the active species when they were not.
  void trainClassifier(std::vector<std::string> imagefiles, std::string dirXml, std::string dirImg,
                       int problem) override;

  // The results table's columns, and its rows: the canvas's visible
  // regions.
  void createTreeModel() override;
  void fillTreeView() override;

  // The results of the open picture; a file that cannot be written is
  // reported.
  void saveCSV(std::string filename) override;
  // The results of every annotation file of the batch under one header.
  void saveCSVSample(PreferencesSample* pref) override;
  // Writes the rows of the visible regions of `mypol`, on a picture of the
  // given size and name, calibrated as `pref` says; species and stage names
  // come from the settings in use.
  void savePolygonsVectorCSV(std::ostream& myfile, std::vector<baseShape*> mypol, int width, int height,
                             std::string imagename, Preferences* pref);

 private:
  // Gives the detector the model's picture unless it already holds it; false,
  // after printing why, when it cannot read it. The picture is read when a
  // detection or classification first needs it, not when it is opened.
  bool loadDetectorPicture();
  // Whether the detector holds a picture; tells the user when it does not,
  // with the reason the picture was refused when there is one.
  bool detectorReady();
  // Edge search between `edgeMin` and `maxdim`, regions kept between
  // `keepMin` and `maxdim`; `contours` receives the number of outlines found.
  // Throws what the detector throws.
  std::vector<baseShape*> detectRegions(int edgeMin, int keepMin, int maxdim, int& contours);
  // detectRegions into `kept`; false after printing a failure, and telling
  // the user when memory ran out.
  bool detectOrReport(int edgeMin, int keepMin, int maxdim, int& contours, std::vector<baseShape*>& kept);
  // Gives the classifier the settings in use; false, after printing why, when
  // that throws.
  bool givePreferencesToClassifier();
  // Ends a load of the active species' classifiers: active only when their
  // models are loaded, with the classifier's refusal kept otherwise.
  void noteClassifierLoaded();
  // `before` and `after` with the kept refusal of a classifier file between
  // them as a sentence of its own, when there is one.
  std::string withLoadRefusal(const std::string& before, const std::string& after) const;
  std::string speciesName();
  // Reads the annotated pictures into `set`; the detector is back on the open
  // picture afterwards.
  void gatherTrainingSet(const std::vector<std::string>& imagefiles, const std::string& dirXml,
                         const std::string& dirImg, TrainingSet& set);
  // The active species' folder, made when missing; empty, after telling the
  // user, when it cannot be.
  std::string trainingFolder();

  ModelColumns myColumns;
  std::unique_ptr<regionDetectorEdgesZelvora> myedgesdetector;
  std::unique_ptr<OpticalClassifierZelvora> myclassifier;
  std::vector<std::string> namesClass;
  bool classifierActive = false;
  // Why the last load of the classifiers refused a file; empty when none was.
  std::string classifierRefusal;
  // The species whose classifiers were last loaded or asked for;
  // notAskedFor before any.
  static constexpr int notAskedFor = -2;
  int classifierSpecies = notAskedFor;
  // The picture the detector holds, empty for none.
  std::string detectorPicture;
};

#endif
