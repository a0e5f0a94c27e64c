#ifndef PREFERENCES_H
#define PREFERENCES_H

#include <string>
#include <utility>
#include <vector>

#include "PreferencesDefaults.h"

// The settings that outlive a run: working folders, algorithm, calibration,
// detection limits, drawing styles, cell classes and classification problems.
// Styles are (blue, red, green, alpha, width); class colours (blue, red, green,
// alpha).
class Preferences {
 public:
  // The defaults of the program in force (its ProgramProfile).
  Preferences();
  explicit Preferences(const PreferencesDefaults& defaults);
  virtual ~Preferences() = default;

  // Puts back the values a fresh Preferences() has, keeping this object, so
  // everyone holding a pointer to it sees the reset.
  void resetToDefaults();

  int getAlgorithm() const { return algorithm; }
  void setAlgorithm(int value) { algorithm = value; }

  double getCalibration() const { return calibration; }
  // Sets the factor and switches calibration on.
  void setCalibration(double factor);
  bool isCalibrationActive() const { return calibrationActive; }
  // Switching calibration off also resets the factor to 1.
  void setCalibrationActive(bool active);

  // Takes both limits only when min > 2 and max > min; otherwise keeps both.
  void setDiameters(int min, int max);
  int getMinimumDiameter() const { return mindim; }
  int getMaximumDiameter() const { return maxdim; }

  const std::string& getImagePath() const { return image_path; }
  const std::string& getXmlPath() const { return xml_path; }
  const std::string& getCsvPath() const { return csv_path; }
  void setImagePath(const std::string& path) { image_path = path; }
  void setXmlPath(const std::string& path) { xml_path = path; }
  void setCsvPath(const std::string& path) { csv_path = path; }

  std::vector<double>& getPointPreferences() { return pPoint; }
  std::vector<double>& getCirclePreferences() { return pCircle; }
  std::vector<double>& getRegionPreferences() { return pRegion; }
  // Overwrite the leading entries of a style with the given values; the style
  // keeps its length, so values beyond it are ignored.
  void setPointPreferences(const std::vector<double>& values) { overwriteStyle(pPoint, values); }
  void setCirclePreferences(const std::vector<double>& values) { overwriteStyle(pCircle, values); }
  void setRegionPreferences(const std::vector<double>& values) { overwriteStyle(pRegion, values); }

  std::vector<std::vector<double>>& getClassPreferences() { return claseColor; }
  void setClassPreferences(std::vector<std::vector<double>> colours) { claseColor = std::move(colours); }
  std::vector<std::string>& getClassNamesPreferences() { return claseName; }
  void setClassNamesPreferences(std::vector<std::string> names) { claseName = std::move(names); }

  // The problem keys this object holds.
  std::vector<std::string>& getProblemsClaves() { return problemsClave; }
  // The fixed table of the 30 species keys.
  static std::vector<std::string> getProblemClaves();
  std::vector<std::string>& getProblemNames() { return problemsName; }
  void setProblemNames(std::vector<std::string> names) { problemsName = std::move(names); }
  // Index into the problem keys; -1 = none selected. Not range-checked.
  int getProblemActive() const { return problemActive; }
  void setProblemActive(int index) { problemActive = index; }

  std::string getPreferencesDir() const { return dirPreferences; }

 private:
  void apply(const PreferencesDefaults& defaults);
  static void overwriteStyle(std::vector<double>& style, const std::vector<double>& values);

  std::string image_path;
  std::string xml_path;
  std::string csv_path;
  int algorithm = 0;
  double calibration = 1.0;
  bool calibrationActive = false;
  int mindim = 0;
  int maxdim = 0;
  std::vector<double> pPoint;
  std::vector<double> pCircle;
  std::vector<double> pRegion;
  std::vector<std::vector<double>> claseColor;
  std::vector<std::string> claseName;
  std::vector<std::string> problemsClave;
  std::vector<std::string> problemsName;
  int problemActive = -1;
  std::string dirPreferences;
};

#endif
