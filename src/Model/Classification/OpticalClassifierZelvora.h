#ifndef OPTICALCLASSIFIERZELVORA_H
#define OPTICALCLASSIFIERZELVORA_H

#include "OpticalClassifier.h"

class DirTools;
class Preferences;

// The oocyte classifier of the selected species: a nucleus model (0 = no
// visible nucleus, 1 = visible) and a stage model (labels 0, 1, 2 = stages 1,
// 2, 3), each with the normalisation it was trained with. The files live in
// the species folder <home>/<settings folder>/<species key>/.
class OpticalClassifierZelvora : public OpticalClassifier {
 public:
  // Length of the colour-texture patterns the models are trained on.
  static constexpr int featureCount = 25;
  // The model files of a species folder.
  static constexpr const char* nucleusModelFile = "svm_nucleous.dat";
  static constexpr const char* stageModelFile = "svm_stages.dat";
  // The models the files may hold: a nucleus is seen (1) or not (0); a
  // species has two or three stages, labelled with the stage - 1, and a model
  // of two holds any two of them.
  static inline const SvmModelFileCheck::Role nucleusRole{2, 2, {0, 1}};
  static inline const SvmModelFileCheck::Role stageRole{2, 3, {0, 1, 2}};

  OpticalClassifierZelvora(std::string image, int method);
  ~OpticalClassifierZelvora() override;
  OpticalClassifierZelvora(const OpticalClassifierZelvora&) = delete;
  OpticalClassifierZelvora& operator=(const OpticalClassifierZelvora&) = delete;

  // At most 1000 patterns in all, shared equally between the classes.
  std::vector<int> numberPatternsFinal(std::vector<int> counts) const override;
  void resetClassifier() override;

  // Train and save one model with its normalisation into `dir`. For the
  // nucleus model the classes are cells without and with a visible nucleus.
  // A stage model of two stages gives each class its stage - 1 as label:
  // {0, 2} for stages 1 and 3, {2, 1} for stages 3 and 2.
  bool trainClassifier2(const std::string& dir, const std::string& filename, std::vector<std::vector<float>> c1,
                        std::vector<std::vector<float>> c2, int nfeatures,
                        std::array<int, 2> labels = {0, 1}) override;
  // Stages 1, 2 and 3, labels 0, 1 and 2.
  bool trainClassifier3(const std::string& dir, const std::string& filename, std::vector<std::vector<float>> c1,
                        std::vector<std::vector<float>> c2, std::vector<std::vector<float>> c3,
                        int nfeatures) override;

  // Stores the settings and loads the selected species. Nothing is loaded
  // when no species (or an index outside the key table) is selected. Throws
  // the int 1 when there is no home folder, 2 when the species folder is
  // missing.
  virtual void setPreferences(Preferences* pref);
  // Loads the selected species' normalisations and both models, after
  // finishing what a crash left of a training's save there
  // (SpeciesFolderRecovery), holding the folder's lock (FolderLock) from
  // the recovery to the last file read; true when loaded. Nothing stays loaded when no
  // species is selected, that save cannot be rolled back, a file is missing
  // or refused (ClassifierFileRead, SvmModelFileCheck), or a normalisation
  // does not hold exactly featureCount features; loadRefusal() then says
  // which file or folder and why.
  bool loadClassifiers();
  // The same from the classifier folder `folder`.
  bool loadClassifiersFrom(const std::string& folder);
  bool isLoaded() const { return loadedClassifier; }

  // {nucleus (0 or 1), stage (1 to 3)}; empty when nothing is loaded or the
  // pattern is shorter than featureCount.
  std::vector<int> applyClassifiersPattern(const std::vector<float>& pattern) override;

 private:
  // "" when no valid species is selected.
  std::string speciesFolder(const DirTools& dirs) const;
  // The model's own normalisation file, or the shared "med_desv.dat" of a
  // folder trained before models kept their own.
  static std::string normalisationPath(const std::string& folder, const std::string& modelFile);
  // Whether the three files every species folder holds are there as regular
  // files; refuses the first that is not.
  bool filesPresent(const std::string& folder);
  // Reads the normalisation of `modelFile` of `folder` into `mean` and
  // `deviation` and the model itself into `model`; false, after refusing the
  // file at fault, when one cannot be used.
  bool loadModel(const std::string& folder, const char* modelFile, const SvmModelFileCheck::Role& role,
                 svm_model*& model, std::vector<float>& mean, std::vector<float>& deviation);
  void releaseModels();

  svm_model* mysvmstage = nullptr;
  svm_model* mysvmnucleous = nullptr;
  Preferences* preferences = nullptr;
  bool loadedClassifier = false;
  // The stage model's normalisation is the base's media / desviation.
  std::vector<float> nucleousMedia;
  std::vector<float> nucleousDesviation;
};

#endif
