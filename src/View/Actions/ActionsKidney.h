#ifndef ACTIONSKIDNEY_H
#define ACTIONSKIDNEY_H

#include <gtkmm/liststore.h>
#include <gtkmm/treemodelcolumn.h>
#include <gtkmm/treeview.h>

#include <memory>
#include <string>
#include <vector>

#include "Actions.h"

// Cavitra's use cases: the cyst detection of the open picture onto the
// canvas, the results table in the lower pane, the results CSV with the cyst
// index and the diameter histogram, the sample CSV of a batch of annotation
// files and the about dialog.
class ActionsKidney : public Actions {
 public:
  // The results table's columns; roundness is kept in the store but never
  // shown.
  class ModelColumns : public Gtk::TreeModelColumnRecord {
   public:
    ModelColumns();
    Gtk::TreeModelColumn<int> id;
    Gtk::TreeModelColumn<double> diameter;
    Gtk::TreeModelColumn<double> roundness;
    Gtk::TreeModelColumn<double> area;
  };

  ActionsKidney(ScrollImage* scrollImage, ControllerFachade* fc, Gtk::Paned* panedLateral, Gtk::Paned* panedbottom);
  ~ActionsKidney() override;

  void aboutUs(Gtk::Window* parent) override;
  void resetProgram() override;

  // Detects the cysts of the picture open in the model and, when detection
  // succeeds, shows them in place of every shape on the canvas (hand-drawn
  // ones too), after asking about unsaved changes (replaceShapes); a failed
  // detection leaves the canvas as it was and tells the user why. `filename`
  // and `type2` are unused; `type1` is the detector's mode.
  void runAlgorithm1(std::string filename, int mindim, int maxdim, int type1, int type2) override;
  // The kept cysts of the picture file `filename` (owned by the caller),
  // numbered 1, 2, 3, ...; the canvas is not touched. Empty when detection
  // fails. `type2` is unused.
  std::vector<baseShape*> getPolygonsAlgorithm1(std::string filename, int mindim, int maxdim, int type1,
                                                int type2) override;

  // The results table's columns, and its rows: the canvas's visible
  // shapes.
  void createTreeModel() override;
  void fillTreeView() override;

  // The results CSV of the open picture; a file that cannot be written is
  // reported.
  void saveCSV(std::string filename) override;
  // The sample CSV of the batch's annotation files; a file that cannot be
  // written is reported.
  void saveCSVSample(PreferencesSample* pref) override;

 private:
  // Runs the detector on `filename` into `kept`. Empty when it succeeded;
  // else, after printing the failure, what the user is told of it: that
  // memory ran out, or the reason the picture was refused or not read.
  std::string detect(const std::string& filename, int mindim, int maxdim, int mode, std::vector<baseShape*>& kept);

  ModelColumns myColumns;
};

#endif
