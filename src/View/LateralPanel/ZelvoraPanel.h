#ifndef ZELVORAPANEL_H
#define ZELVORAPANEL_H

#include <gtkmm/button.h>
#include <gtkmm/comboboxtext.h>

#include <functional>
#include <string>
#include <vector>

#include "PanelDiameters.h"

class baseShape;

// Lumora's side panel: runs detection and classification of the cells, gives
// the selected regions their stage class or nucleus mark by hand, hides and
// shows groups of shapes, deletes and selects, and reaches the region tools
// (split and complete along a drawn arc, merge by convex hull, the pass for
// cells smaller than the detection minimum and its undo). It shows the active
// species and, through its bases, the calibration and the diameter limits.
//
// Class numbers: 0 none, 1 alveolo, 2 vitelline, 3 hydrated, 4 void, 5 and up
// the user's classes (index in the settings' class names + 1). Type: 1 a
// visible nucleus, 0 none.
//
// Subscribed to the canvas for its whole life. Toggles switched from code
// run their handlers again at once; the handlers are written for that.
class ZelvoraPanel : public PanelDiameters {
 public:
  ZelvoraPanel(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom, Glib::RefPtr<Gtk::Builder> builder,
               ControllerFachade* fc);
  ~ZelvoraPanel() override;

  // After the bases' handling, ArcFinished does the split or complete that a
  // toggle armed and then puts the canvas back to its select tool.
  void update(int code) override;
  void updateText() override;
  void updatePanel() override;
  void setCalibration() override;
  void resetPreferences() override;

  void onButtonRunPress();
  void onButtonRunClassifierPress();
  void onButtonOkCalibrationPress();
  void onButtonSplitRegionPress();
  void onButtonCompleteRegionPress();
  void onButtonMergeRegionsPress();
  void onButtonSuprRegionPress();
  void onButtonHideCellsPress();
  void onButtonHideCellsWithNucleusPress();
  void onButtonHideCellsWithoutNucleusPress();
  void onButtonSelectRegionsPress();
  void onButtonVoidClassPress();
  void onButtonAlveoloPress();
  void onButtonVitelinePress();
  void onButtonHydratedPress();
  void onOtherClassChanged();
  void onButtonConNucleoPress();
  void onButtonSinNucleoPress();
  void onButtonRunSmallerPress();
  void onButtonUndoSmallerCellsPress();
  void onMinDiameterSmallerChanged();

  // The name of the active species; empty when none is active or the index
  // lies outside the list of species.
  static std::string activeSpeciesName(Preferences& preferences);

 private:
  // Closes the table, applies `mark` to each shape selected before and
  // unselects it, then empties the selection and redraws. Nothing when
  // nothing is selected.
  void markSelected(const std::function<void(baseShape*)>& mark);
  // Hides the shapes `touches` accepts while `toggle` is on; shows them again,
  // all but deleted ones, when it is off.
  void hideShapes(Gtk::ToggleButton* toggle, const std::function<bool(baseShape*)>& touches, const char* labelOn,
                  const char* labelOff);
  // Split and complete: with a region selected, arms the canvas's arc tool;
  // the cut is done when the arc is finished. Once both are off, so is the
  // arc tool.
  void armArcTool(Gtk::ToggleButton* toggle);
  // Cuts the selected region along the arc just finished as one step of the
  // canvas's history; returns why nothing was cut when the user should know.
  std::string cutAlongFinishedArc();
  // Rows " ", "Without class", then the given class names from the fifth on.
  void fillOtherClasses(const std::vector<std::string>& classNames);
  void showSpecies();
  // Hands the edited list back to the canvas, numbering the next shape drawn
  // above every id on it.
  void giveBack(const std::vector<baseShape*>& shapes);

  Gtk::Button* buttonRun = nullptr;
  Gtk::Button* buttonRunClassifier = nullptr;
  Gtk::Entry* entryminsmaller = nullptr;
  Gtk::Button* buttonRunSmaller = nullptr;
  Gtk::Button* buttonUndo = nullptr;
  Gtk::Label* unitysmaller = nullptr;
  Gtk::Button* okcalibration = nullptr;
  Gtk::ToggleButton* splitRegion = nullptr;
  Gtk::ToggleButton* completeRegion = nullptr;
  Gtk::ToggleButton* hidecells = nullptr;
  Gtk::ToggleButton* hidecellswithnucleus = nullptr;
  Gtk::ToggleButton* hidecellswithoutnucleus = nullptr;
  Gtk::Button* mergeRegion = nullptr;
  Gtk::Button* suprRegion = nullptr;
  Gtk::Button* selectRegions = nullptr;
  Gtk::Button* voidclass = nullptr;
  Gtk::Button* alveolo = nullptr;
  Gtk::Button* hydrated = nullptr;
  Gtk::Button* viteline = nullptr;
  Gtk::Button* cn = nullptr;
  Gtk::Button* sn = nullptr;
  Gtk::ComboBoxText* otherclass = nullptr;
  Gtk::Label* species = nullptr;
  // Minimum diameter, pixels, of the smaller-cell pass.
  int dimsmaller;
};

#endif
