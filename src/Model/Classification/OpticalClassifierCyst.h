#ifndef OPTICALCLASSIFIERCYST_H
#define OPTICALCLASSIFIERCYST_H

#include <memory>
#include <string>
#include <vector>

#include "OpticalClassifier.h"
#include "ShapeFeatures.h"
#include "TextureLBP.h"

// Tells whether a candidate region of the current picture is a cyst: the 54
// LBP texture features of the region on the green channel, standardised with
// the stored means and deviations, are given to the stored SVM; label 1 is a
// cyst. A shape model over the seven Hu invariants is loaded beside it.
//
// The four files live in one folder ("classifier/cyst" of the working folder
// by default). A model is used only when its file loads and its statistics
// file holds exactly one (index, mean, deviation) triple per feature;
// otherwise the classifier says so once and answers 0 (not a cyst).
class OpticalClassifierCyst : public OpticalClassifier {
 public:
  static constexpr const char* defaultFolder = "classifier/cyst";
  static constexpr const char* textureModelFile = "svm_lbpfourier.dat";
  static constexpr const char* textureStatisticsFile = "mean_std_lbpfourier.dat";
  static constexpr const char* shapeModelFile = "svm_shapeFP.dat";
  static constexpr const char* shapeStatisticsFile = "mean_std_shapeFP.dat";
  static constexpr int textureFeatureCount = TextureLBP::featureCount;
  static constexpr int shapeFeatureCount = 7;
  static constexpr int cystLabel = 1;
  // Each model answers a cyst (cystLabel) or not (0).
  static inline const SvmModelFileCheck::Role modelRole{2, 2, {0, cystLabel}};

  // Loads the image (green channel) only when the name is longer than 2
  // characters, then the four files of the default folder.
  OpticalClassifierCyst(std::string imageName, int method);
  ~OpticalClassifierCyst() override;
  OpticalClassifierCyst(const OpticalClassifierCyst&) = delete;
  OpticalClassifierCyst& operator=(const OpticalClassifierCyst&) = delete;

  // Replaces the models and statistics by those of `folder`, after finishing
  // what a crash left of a save of them there (ReplacementJournal), holding
  // the folder's lock (FolderLock) until the files are read; true when both
  // models are usable. Each file is read as ClassifierFileRead
  // reads it; loadRefusal() names the first file or the folder that leaves a
  // model unused.
  bool loadClassifiers(const std::string& folder);
  bool isTextureLoaded() const { return mysvm != nullptr; }
  bool isShapeLoaded() const { return mysvmShape != nullptr; }

  // Loads the green channel of the picture; throws the int 4 when it cannot
  // be read, leaving no picture loaded.
  void setImageName(std::string name) override;
  // 1 for a cyst, 0 otherwise (also for a null region, a region without a
  // counted pixel, or without a usable model).
  virtual int applyClassifierRegion(regionShape* region);
  virtual int applyClassifierRegionShape(regionShape* region);

  void resetClassifier() override;
  // Train a model of two classes (`c1` label 0, `c2` label 1) or of three
  // (labels 0, 1, 2) into `dir`: the model `filename` and its statistics
  // "med_desv.dat" beside it, which the cyst files' own names
  // (textureStatisticsFile, shapeStatisticsFile) are given by whoever
  // installs them.
  bool trainClassifier2(const std::string& dir, const std::string& filename, std::vector<std::vector<float>> c1,
                        std::vector<std::vector<float>> c2, int nfeatures,
                        std::array<int, 2> labels = {0, 1}) override;
  bool trainClassifier3(const std::string& dir, const std::string& filename, std::vector<std::vector<float>> c1,
                        std::vector<std::vector<float>> c2, std::vector<std::vector<float>> c3,
                        int nfeatures) override;
  std::vector<std::string> normalisationFilesWith(const std::string& modelFile) const override;

 private:
  // The model of `modelPath` when it loads and `statisticsPath` holds exactly
  // `features` triples (read into `mean` and `deviation`); null otherwise,
  // after refusing the file at fault.
  svm_model* loadChecked(const std::string& modelPath, const std::string& statisticsPath, int features,
                         std::vector<float>& mean, std::vector<float>& deviation);
  // The SVM's answer as cyst (1) or not (0).
  static int answer(const svm_model* model, const std::vector<float>& pattern, const std::vector<float>& mean,
                    const std::vector<float>& deviation);

  svm_model* mysvm = nullptr;
  svm_model* mysvmShape = nullptr;
  std::unique_ptr<TextureLBP> features;
  std::unique_ptr<ShapeFeatures> fshape;
  std::vector<float> medias;
  std::vector<float> desviations;
};

#endif
