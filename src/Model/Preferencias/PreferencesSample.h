#ifndef PREFERENCESSAMPLE_H
#define PREFERENCESSAMPLE_H

#include <string>
#include <vector>

#include "Preferences.h"

// The settings of one batch run (CSV export over many annotation files,
// training). Its own fields live here; folders, calibration and the selected
// problem are those of the current Preferences, which it does not own.
class PreferencesSample {
 public:
  // Takes the diameter limits of `preferences` as they are now, or the
  // program's fixed batch limits where its profile says so.
  explicit PreferencesSample(Preferences* preferences);
  virtual ~PreferencesSample() = default;

  std::string getCSVFile() const { return csvFile; }
  void setCSVFile(std::string file) { csvFile = std::move(file); }

  std::vector<std::string>& getImagesFiles() { return imagesFiles; }
  void setImagesFiles(std::vector<std::string>& files) { imagesFiles = files; }
  void clearImageFiles() { imagesFiles.clear(); }

  const std::string& getImagePath() const { return preferences->getImagePath(); }
  const std::string& getXmlPath() const { return preferences->getXmlPath(); }
  const std::string& getCSVPath() const { return preferences->getCsvPath(); }
  void setImagePath(const std::string& path) { preferences->setImagePath(path); }
  void setXmlPath(const std::string& path) { preferences->setXmlPath(path); }
  void setCSVPath(const std::string& path) { preferences->setCsvPath(path); }

  std::vector<std::string> getProblemNames() const { return preferences->getProblemNames(); }
  int getProblemSelected() const { return preferences->getProblemActive(); }
  void setProblemSelected(int index) { preferences->setProblemActive(index); }

  int getAlgorithm() const { return preferences->getAlgorithm(); }
  double getCalibration() const { return preferences->getCalibration(); }
  void setCalibration(double factor) { preferences->setCalibration(factor); }
  bool isCalibrationActive() const { return preferences->isCalibrationActive(); }
  void setCalibrationActive(bool active) { preferences->setCalibrationActive(active); }

  int getHistogramStep() const { return step; }
  void setHistogramStep(int value) { step = value; }
  bool isHistogramActive() const { return histogramActive; }
  void setHistogramActive(bool active) { histogramActive = active; }
  bool isProcessDir() const { return processDir; }
  void setProcessDir(bool value) { processDir = value; }
  int getMinimumDiameter() const { return mindim; }
  void setMinimumDiameter(int value) { mindim = value; }
  int getMaximumDiameter() const { return maxdim; }
  void setMaximumDiameter(int value) { maxdim = value; }
  int getTypeImages() const { return type; }
  void setTypeImages(int value) { type = value; }

  std::vector<double>& getParameters() { return params; }
  void setParameters(std::vector<double> values) { params = std::move(values); }
  void resetParameters() { params.clear(); }
  void addParameter(double value) { params.push_back(value); }

 private:
  Preferences* preferences;
  std::string csvFile;
  bool histogramActive = true;
  int step = 10;
  std::vector<std::string> imagesFiles;
  bool processDir = false;
  int mindim;
  int maxdim;
  int type = 0;
  std::vector<double> params;
};

#endif
