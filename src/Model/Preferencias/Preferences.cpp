#include "Preferences.h"

#include <algorithm>
#include <cmath>

#include "ProgramProfile.h"

Preferences::Preferences() : Preferences(ProgramProfile::current().preferences) {}

Preferences::Preferences(const PreferencesDefaults& defaults) : defaults(defaults) { apply(); }

void Preferences::resetToDefaults() { apply(); }

void Preferences::apply() {
  values = defaults;
  // One display name per key, none given yet.
  problemsName.assign(values.problemKeys.size(), std::string());
}

void Preferences::setCalibration(double factor) {
  // A factor that is not finite or not positive would make every measure
  // wrong: it means no calibration.
  if (!(std::isfinite(factor) && factor > 0)) {
    setCalibrationActive(false);
    return;
  }
  values.calibration = factor;
  values.calibrationActive = true;
}

void Preferences::setCalibrationActive(bool active) {
  values.calibrationActive = active;
  if (!active) values.calibration = 1.0;
}

void Preferences::setDiameters(int min, int max) {
  if (min > 2 && max > min) {
    values.minimumDiameter = min;
    values.maximumDiameter = max;
  }
}

std::vector<std::string> Preferences::getProblemClaves() { return PreferencesDefaults::lumora().problemKeys; }

void Preferences::overwriteStyle(std::vector<double>& style, const std::vector<double>& given) {
  std::copy_n(given.begin(), std::min(given.size(), style.size()), style.begin());
}
