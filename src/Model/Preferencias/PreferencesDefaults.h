#ifndef PREFERENCESDEFAULTS_H
#define PREFERENCESDEFAULTS_H

#include <string>
#include <vector>

// The values a fresh Preferences object starts with. Each program has its own
// set; the program's profile says which one is in force.
struct PreferencesDefaults {
  std::string imagePath;
  std::string xmlPath;
  std::string csvPath;
  int algorithm = 0;
  double calibration = 1.0;
  bool calibrationActive = false;
  int minimumDiameter = 0;
  int maximumDiameter = 0;
  // Styles: blue, red, green, alpha, line width.
  std::vector<double> pointStyle;
  std::vector<double> circleStyle;
  std::vector<double> regionStyle;
  // Class colours: blue, red, green, alpha.
  std::vector<std::vector<double>> classColours;
  std::vector<std::string> classNames;
  std::vector<std::string> problemKeys;
  int problemActive = -1;
  std::string settingsFolder;

  // Gives class lists that hold fewer classes than these defaults the default
  // classes at the positions they lack, and every colour a name ("" beyond
  // the defaults), so that code reading the default classes by position
  // never reads past the lists.
  void completeClasses(std::vector<std::vector<double>>& colours, std::vector<std::string>& names) const;

  // Lumora's settings: oocyte classes and the 30 species keys.
  static PreferencesDefaults lumora();
};

#endif
