#include "PreferencesDefaults.h"

PreferencesDefaults PreferencesDefaults::lumora() {
  PreferencesDefaults d;
  d.imagePath = "/home";
  d.xmlPath = "/home";
  d.csvPath = "/home";
  d.algorithm = 10;
  d.calibration = 1.0;
  d.calibrationActive = false;
  d.minimumDiameter = 200;
  d.maximumDiameter = 800;
  d.pointStyle = {0, 1, 0, 1, 5};
  d.circleStyle = {0, 0, 1, 1, 5};
  d.regionStyle = {0, 1, 0, 1, 5};
  d.classColours = {{0, 1, 1, 1}, {1, 1, 0, 1}, {1, 0, 0, 1}, {1, 0, 1, 1}};
  d.classNames = {"Alveolo", "Vitelline", "Hydrated", "Void"};
  d.problemKeys = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J",
                   "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T",
                   "U", "V", "X", "Y", "Z", "AA", "AB", "AC", "AD", "AF"};
  d.problemActive = -1;
  d.settingsFolder = ".zelvora";
  return d;
}

void PreferencesDefaults::completeClasses(std::vector<std::vector<double>>& colours,
                                          std::vector<std::string>& names) const {
  for (size_t i = colours.size(); i < classColours.size(); ++i) colours.push_back(classColours[i]);
  const size_t named = names.size();
  names.resize(colours.size());
  for (size_t i = named; i < names.size() && i < classNames.size(); ++i) names[i] = classNames[i];
}
