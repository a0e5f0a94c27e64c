#ifndef PROGRAMPROFILE_H
#define PROGRAMPROFILE_H

#include <string>
#include <vector>

#include "CanvasPolicy.h"
#include "PolygonsReadOptions.h"
#include "PreferencesDefaults.h"

// What sets one program of the tree apart from the other in the shared code:
// its name, its default settings and the behaviours that differ. Each
// executable selects its profile once, in main, before anything else is built;
// shared classes read the profile in force instead of being copied per program.
class ProgramProfile {
 public:
  static const ProgramProfile& lumora();
  static const ProgramProfile& cavitra();

  // The profile in force. Using shared code before a program has selected
  // its profile is a programming error: std::logic_error.
  static const ProgramProfile& current();
  static void select(const ProgramProfile& profile);

  std::string programName;
  // The main window: GTK application id, title, icon and the picture shown
  // at start, all relative to the working folder.
  std::string applicationId;
  std::string windowTitle;
  std::string iconFile;
  std::string startImage;
  PreferencesDefaults preferences;
  CanvasPolicy canvas;
  // Whether emptying the annotation (the toolbar's reset, a change of organ,
  // the diameter tools) keeps the canvas's next shape id; otherwise the ids
  // start again at 1.
  bool clearingKeepsNextId = false;
  // Whether arming a diameter measuring toggle of the side panel keeps the
  // zoom; otherwise the picture is fitted to the window for the measurement.
  bool measuringKeepsZoom = false;
  // Which console traces the program writes.
  struct Traces {
    // The settings' algorithm number when the canvas is built.
    bool startAlgorithm = false;
    // The side pane's new visibility when the pane is toggled.
    bool sidePaneToggle = false;
    // The notify code of a measured minimum diameter.
    bool measuredMinimum = false;
    // The model's file and settings operations: the home folder at start,
    // the reset of the settings, every annotation written (path and shape
    // count) and the shape count of an annotation read for a batch, the
    // latter in the form "ReadXML:: Tamaño poligonos " with its n-tilde
    // encoded twice, as this program has always written it.
    bool modelOperations = false;
  } traces;

  // The model half.
  // What the annotation reader keeps of a file.
  Model::PolygonsReadOptions polygonsFile;
  // Whether dragging moves a point or a line (circles and regions always
  // move).
  bool pointsAndLinesMove = true;
  // Whether a new or emptied settings folder is seeded with the shipped
  // preferences file and the default classifiers of species "A"; otherwise
  // it stays empty and only a preferences file already there is read.
  bool seedsSettingsFolder = false;
  // Whether the model keeps one set of batch settings for the whole run
  // (otherwise each batch dialog makes its own).
  bool keepsBatchSettings = false;
  // Whether batch settings start from the diameters of the current settings;
  // otherwise from batchMinimumDiameter and batchMaximumDiameter.
  bool batchCopiesDiameters = false;
  int batchMinimumDiameter = 0;
  int batchMaximumDiameter = 0;
  // The C values searched when a classifier is trained.
  std::vector<float> trainingCGrid;
  // OpenCV colour-conversion code that turns a picture, as read, into grey
  // levels.
  int greyConversionCode = 0;
};

#endif
