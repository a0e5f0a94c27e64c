#include "ProgramProfile.h"

#include <stdexcept>

namespace {
const ProgramProfile* selected = nullptr;

// OpenCV's colour-conversion codes, kept here so that the model layer does
// not depend on OpenCV.
constexpr int bgrToGrey = 6;  // cv::COLOR_BGR2GRAY
constexpr int rgbToGrey = 7;  // cv::COLOR_RGB2GRAY
}  // namespace

const ProgramProfile& ProgramProfile::lumora() {
  static const ProgramProfile profile = [] {
    ProgramProfile p;
    p.programName = "Lumora";
    p.applicationId = "org.stereology.lumora";
    p.windowTitle = "Lumora: application to stereological analysis";
    p.iconFile = "Iconos/logoLumora.png";
    p.startImage = "gonada.ppm";
    p.preferences = PreferencesDefaults::lumora();
    p.canvas.minScale = 0.02;
    p.canvas.maxScale = 20.0;
    p.traces.measuredMinimum = true;
    p.polygonsFile.readAngles = true;
    p.polygonsFile.collectMeasures = true;
    p.seedsSettingsFolder = true;
    p.keepsBatchSettings = true;
    p.batchCopiesDiameters = true;
    p.trainingCGrid = {16384, 4096, 1024, 256, 64, 16, 2, 1, 0.25f, 0.0625f, 0.0312f};
    // Lumora weighs the stored bytes as red, green, blue.
    p.greyConversionCode = rgbToGrey;
    return p;
  }();
  return profile;
}

const ProgramProfile& ProgramProfile::cavitra() {
  static const ProgramProfile profile = [] {
    ProgramProfile p;
    p.programName = "Cavitra";
    p.applicationId = "org.stereology.cavitra";
    p.windowTitle = "Cavitra";
    p.iconFile = "Iconos/logoKidney.png";
    p.startImage = "liver2.ppm";
    p.preferences = PreferencesDefaults::cavitra();
    p.canvas.minScale = 0.2;
    p.canvas.maxScale = 5.0;
    p.canvas.undoTakesLastShape = true;
    p.canvas.selectsEveryShapeUnderPointer = true;
    p.canvas.announcesSelection = false;
    p.canvas.selectionBoxFits = false;
    // A point marks a place on the section, never a part of a cyst.
    p.canvas.pointsJoinRegions = false;
    // Measuring a diameter on a zoomed section keeps the part looked at.
    p.measuringKeepsZoom = true;
    p.clearingKeepsNextId = true;
    p.traces.startAlgorithm = true;
    p.traces.sidePaneToggle = true;
    p.traces.modelOperations = true;
    // Cavitra's files have neither angles nor measures; those of Lumora
    // read without them.
    p.polygonsFile.readAngles = false;
    p.polygonsFile.collectMeasures = false;
    // A point or a line marks a place or measures a length on the picture:
    // Cavitra never moves them.
    p.pointsAndLinesMove = false;
    p.seedsSettingsFolder = false;
    p.keepsBatchSettings = false;
    p.batchCopiesDiameters = false;
    p.batchMinimumDiameter = 10;
    p.batchMaximumDiameter = 200;
    p.trainingCGrid = {16384, 8192, 4096, 2048, 1024, 512, 256,  128,   64,      32,
                       16,    8,    4,    2,    1,    0.5f, 0.25f, 0.125f, 0.0625f, 0.0312f};
    p.greyConversionCode = bgrToGrey;
    return p;
  }();
  return profile;
}

const ProgramProfile& ProgramProfile::current() {
  if (selected == nullptr) throw std::logic_error("no program profile selected");
  return *selected;
}

void ProgramProfile::select(const ProgramProfile& profile) { selected = &profile; }
