#include "Preferences.h"

#include <algorithm>

#include "ProgramProfile.h"

Preferences::Preferences() : Preferences(ProgramProfile::current().preferences) {}

Preferences::Preferences(const PreferencesDefaults& defaults) { apply(defaults); }

void Preferences::resetToDefaults() { apply(ProgramProfile::current().preferences); }

void Preferences::apply(const PreferencesDefaults& defaults) {
  image_path = defaults.imagePath;
  xml_path = defaults.xmlPath;
  csv_path = defaults.csvPath;
  algorithm = defaults.algorithm;
  calibration = defaults.calibration;
  calibrationActive = defaults.calibrationActive;
  mindim = defaults.minimumDiameter;
  maxdim = defaults.maximumDiameter;
  pPoint = defaults.pointStyle;
  pCircle = defaults.circleStyle;
  pRegion = defaults.regionStyle;
  claseColor = defaults.classColours;
  claseName = defaults.classNames;
  problemsClave = defaults.problemKeys;
  // One display name per key, none given yet.
  problemsName.assign(problemsClave.size(), std::string());
  problemActive = defaults.problemActive;
  dirPreferences = defaults.settingsFolder;
}

void Preferences::setCalibration(double factor) {
  calibration = factor;
  calibrationActive = true;
}

void Preferences::setCalibrationActive(bool active) {
  calibrationActive = active;
  if (!active) calibration = 1.0;
}

void Preferences::setDiameters(int min, int max) {
  if (min > 2 && max > min) {
    mindim = min;
    maxdim = max;
  }
}

std::vector<std::string> Preferences::getProblemClaves() { return PreferencesDefaults::lumora().problemKeys; }

void Preferences::overwriteStyle(std::vector<double>& style, const std::vector<double>& values) {
  std::copy_n(values.begin(), std::min(values.size(), style.size()), style.begin());
}
