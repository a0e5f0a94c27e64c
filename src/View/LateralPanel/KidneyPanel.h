#ifndef KIDNEYPANEL_H
#define KIDNEYPANEL_H

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/radiobutton.h>

#include <memory>
#include <string>
#include <vector>

#include "CystRegionTools.h"
#include "PanelDiameters.h"

class OpticalClassifierCyst;

// Cavitra's side panel: the organ (liver or kidney), the cyst detection, the
// histogram step of the results export, the cyst region tools and the two
// results of the program, the cyst index (share of the picture covered by the
// visible regions) and the number of visible regions, which follow every
// change of the annotation. The tools' work on the shape list is done by
// CystRegionTools; the panel takes the list from the canvas, hands it back and
// refreshes the labels.
class KidneyPanel : public PanelDiameters {
 public:
  KidneyPanel(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom, Glib::RefPtr<Gtk::Builder> refBuilder,
              ControllerFachade* fc);
  ~KidneyPanel() override;

  // Measuring lines as the base does; the index, the count and an open table
  // on ShapesDeleted and ShapeAdded; the split or complete cut on
  // ArcFinished.
  void update(int code) override;
  void onMinDiameterChanged() override;
  void onMaxDiameterChanged() override;
  void onMinDiameterDraw() override;
  void onMaxDiameterDraw() override;
  void setCalibration() override;
  // Traces each change of the calibration check button.
  void onCheckboxToggled() override;
  // Traces the reset, then closes the table and empties the annotation.
  void resetPanel() override;
  // After an annotation was opened: the index and count of its shapes.
  void updatePanel() override;

  void onButtonRunPress();
  // Every click on the liver button, and so every change of organ, empties
  // the annotation after asking about unsaved changes; when the user keeps
  // them the organ chosen before is shown again.
  void onRadioButtonPress();
  void onStepChanged();
  void onButtonRemoveInnerRegionsPress();
  // The false-positive removal leaves the annotation as it is; its group is
  // hidden, and its undo and redo act on shapes marked by other means.
  void onButtonRemoveFalsePositivePress() {}
  void onButtonUndoRemoveFalsePositivePress();
  void onButtonRedoRemoveFalsePositivePress();
  // Searches further cysts and keeps those the classifier accepts; says why
  // it adds nothing when the classifier's texture model did not load.
  void onButtonAddRegionsPress();
  void onButtonUndoAddRegionsPress();
  void onButtonRedoAddRegionsPress();
  void onButtonSplitRegionPress();
  void onButtonCompleteRegionPress();
  void onButtonMergeRegionsPress();
  // Shows the cyst index and the region count of the canvas's list and
  // refills an open results table, so that the figures shown always agree.
  void updateCystIndex();

  bool isLiver() const { return liver; }

 private:
  // Tells the user which classifier file was refused and why, and what that
  // leaves Add cysts able to do; nothing when every file loaded.
  void showClassifierRefusal();
  // Split and complete: arms the canvas's arc tool; the cut is done when the
  // arc is finished. Once both are off, so is the arc tool.
  void armArcTool(Gtk::ToggleButton* toggle);
  // Cuts the selected region along the arc just finished as one step of the
  // canvas's history; returns why nothing was cut when the user should know.
  std::string cutAlongFinishedArc();
  // Applies an undo or redo of a mark in kidney mode.
  void remarkInKidneyMode(const CystRegionTools::Remark& change);
  // The list back to the canvas, with the next id above every shape on it.
  void giveBack(const std::vector<baseShape*>& shapes);

  int step = 100;
  Gtk::Entry* entrystep = nullptr;
  Gtk::Button* buttonRun = nullptr;
  Gtk::RadioButton* buttonliver = nullptr;
  Gtk::RadioButton* buttonkidney = nullptr;
  // The liver button's click, blocked while a kept organ is put back.
  sigc::connection organChoice;
  bool liver = false;
  Gtk::Button* removeInner = nullptr;
  Gtk::Button* removefp = nullptr;
  Gtk::Button* undoRemovefp = nullptr;
  Gtk::Button* redoRemovefp = nullptr;
  Gtk::Button* addRegions = nullptr;
  Gtk::Button* undoAddRegions = nullptr;
  Gtk::Button* redoAddRegions = nullptr;
  Gtk::ToggleButton* splitRegion = nullptr;
  Gtk::ToggleButton* completeRegion = nullptr;
  Gtk::Button* mergeRegion = nullptr;
  Gtk::Label* cystindex = nullptr;
  Gtk::Label* cystnumber = nullptr;
  Gtk::Label* text4 = nullptr;
  std::unique_ptr<OpticalClassifierCyst> classifier;
  Gtk::Box* boxfalsepositive = nullptr;
  Gtk::Box* box8 = nullptr;
  Gtk::Box* box11 = nullptr;
  Gtk::Box* box12 = nullptr;
};

#endif
