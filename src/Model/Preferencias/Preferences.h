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

  // Puts back the defaults this object was made with, keeping this object,
  // so everyone holding a pointer to it sees the reset.
  void resetToDefaults();

  int getAlgorithm() const { return values.algorithm; }
  void setAlgorithm(int value) { values.algorithm = value; }

  double getCalibration() const { return values.calibration; }
  // Sets the factor and switches calibration on; a factor that is not finite
  // or not positive switches it off instead (factor 1).
  void setCalibration(double factor);
  bool isCalibrationActive() const { return values.calibrationActive; }
  // Switching calibration off also resets the factor to 1.
  void setCalibrationActive(bool active);

  // Takes both limits only when min > 2 and max > min; otherwise keeps both.
  void setDiameters(int min, int max);
  int getMinimumDiameter() const { return values.minimumDiameter; }
  int getMaximumDiameter() const { return values.maximumDiameter; }

  const std::string& getImagePath() const { return values.imagePath; }
  const std::string& getXmlPath() const { return values.xmlPath; }
  const std::string& getCsvPath() const { return values.csvPath; }
  void setImagePath(const std::string& path) { values.imagePath = path; }
  void setXmlPath(const std::string& path) { values.xmlPath = path; }
  void setCsvPath(const std::string& path) { values.csvPath = path; }

  std::vector<double>& getPointPreferences() { return values.pointStyle; }
  std::vector<double>& getCirclePreferences() { return values.circleStyle; }
  std::vector<double>& getRegionPreferences() { return values.regionStyle; }
  // Overwrite the leading entries of a style with the given values; the style
  // keeps its length, so values beyond it are ignored.
  void setPointPreferences(const std::vector<double>& style) { overwriteStyle(values.pointStyle, style); }
  void setCirclePreferences(const std::vector<double>& style) { overwriteStyle(values.circleStyle, style); }
  void setRegionPreferences(const std::vector<double>& style) { overwriteStyle(values.regionStyle, style); }

  std::vector<std::vector<double>>& getClassPreferences() { return values.classColours; }
  void setClassPreferences(std::vector<std::vector<double>> colours) { values.classColours = std::move(colours); }
  std::vector<std::string>& getClassNamesPreferences() { return values.classNames; }
  void setClassNamesPreferences(std::vector<std::string> names) { values.classNames = std::move(names); }

  // The problem keys this object holds.
  std::vector<std::string>& getProblemsClaves() { return values.problemKeys; }
  // The fixed table of the 30 species keys.
  static std::vector<std::string> getProblemClaves();
  std::vector<std::string>& getProblemNames() { return problemsName; }
  void setProblemNames(std::vector<std::string> names) { problemsName = std::move(names); }
  // Index into the problem keys; -1 = none selected. Not range-checked.
  int getProblemActive() const { return values.problemActive; }
  void setProblemActive(int index) { values.problemActive = index; }
  // The selected species, or -1 when none is selected or the index lies
  // outside the key or the name list: what every user of the index reads.
  int getValidProblemActive() const {
    const int active = values.problemActive;
    const bool inside = active >= 0 && active < static_cast<int>(values.problemKeys.size()) &&
                        active < static_cast<int>(problemsName.size());
    return inside ? active : -1;
  }

  std::string getPreferencesDir() const { return values.settingsFolder; }

 private:
  void apply();
  static void overwriteStyle(std::vector<double>& style, const std::vector<double>& given);

  PreferencesDefaults defaults;
  // Everything but the problem names has the shape of the defaults it
  // starts from.
  PreferencesDefaults values;
  std::vector<std::string> problemsName;
};

#endif
