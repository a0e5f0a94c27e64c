#include "OpticalClassifierZelvora.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "DirTools.h"
#include "FolderLock.h"
#include "PlatformFiles.h"
#include "Preferences.h"
#include "ProgramProfile.h"
#include "RegularFileRead.h"
#include "SpeciesFolderRecovery.h"
#include "Training.h"

namespace {

bool speciesSelected(Preferences* pref) {
  return pref != nullptr && pref->getProblemActive() >= 0 &&
         pref->getProblemActive() < static_cast<int>(pref->getProblemsClaves().size());
}

}  // namespace

OpticalClassifierZelvora::OpticalClassifierZelvora(std::string image, int method)
    : OpticalClassifier(std::move(image), method) {}

OpticalClassifierZelvora::~OpticalClassifierZelvora() { releaseModels(); }

std::vector<int> OpticalClassifierZelvora::numberPatternsFinal(std::vector<int> counts) const {
  const double perClass = 1000.0 / static_cast<double>(counts.size());
  for (int& count : counts) count = static_cast<int>(std::floor(std::min(perClass, static_cast<double>(count))));
  return counts;
}

bool OpticalClassifierZelvora::trainClassifier2(const std::string& dir, const std::string& filename,
                                                std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                                                int nfeatures, std::array<int, 2> labels) {
  Training training(ProgramProfile::lumora().trainingCGrid);
  return trainAndSave(dir, filename, {std::move(c1), std::move(c2)}, {labels[0], labels[1]}, nfeatures, training);
}

bool OpticalClassifierZelvora::trainClassifier3(const std::string& dir, const std::string& filename,
                                                std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                                                std::vector<std::vector<float>> c3, int nfeatures) {
  Training training(ProgramProfile::lumora().trainingCGrid);
  return trainAndSave(dir, filename, {std::move(c1), std::move(c2), std::move(c3)}, {0, 1, 2}, nfeatures, training);
}

std::string OpticalClassifierZelvora::speciesFolder(const DirTools& dirs) const {
  if (!speciesSelected(preferences)) return "";
  return dirs.getHomePath() + "/" + preferences->getPreferencesDir() + "/" +
         preferences->getProblemsClaves()[preferences->getProblemActive()];
}

void OpticalClassifierZelvora::setPreferences(Preferences* pref) {
  preferences = pref;
  if (!speciesSelected(pref)) return;
  resetClassifier();

  const int active = pref->getProblemActive();
  const std::string key = pref->getProblemsClaves()[active];
  const std::vector<std::string>& names = pref->getProblemNames();
  const std::string name = active < static_cast<int>(names.size()) ? names[active] : "";

  const DirTools dirs;
  if (dirs.getHomePath().empty()) {
    std::cout << "Dir " << dirs.getHomePath() << " don't exist" << std::endl;
    throw 1;
  }
  const std::string folder = speciesFolder(dirs);
  if (!dirs.existDir(folder)) {
    std::cout << "Dir " << folder << " don't exist" << std::endl;
    throw 2;
  }
  loadClassifiersFrom(folder);
  std::cout << "OpticalClassifierZelvora::setPreferences() load the classifiers: " << key << " " << name << std::endl;
}

std::string OpticalClassifierZelvora::normalisationPath(const std::string& folder, const std::string& modelFile) {
  // The model's own file is read whatever is under its name, so that one
  // that cannot be read is refused rather than passed over.
  const std::string own = folder + "/" + normalisationFileFor(modelFile);
  const bool present = PlatformFiles::isFile(own) || PlatformFiles::isFolder(own);
  return present ? own : folder + "/" + sharedNormalisationFile;
}

bool OpticalClassifierZelvora::loadClassifiers() { return loadClassifiersFrom(speciesFolder(DirTools())); }

bool OpticalClassifierZelvora::loadClassifiersFrom(const std::string& folder) {
  releaseModels();
  forgetRefusal();
  if (folder.empty()) return false;
  std::cout << "Dir Classifier: " << folder << std::endl;
  // No training of another process switches the files while they are
  // recovered and read; a folder that cannot be locked is read as it is.
  const FolderLock lock(folder);
  if (const std::string unfinished = SpeciesFolderRecovery::recover(folder); !unfinished.empty()) {
    refuseLoading("The classifiers of " + folder + " cannot be loaded: " + unfinished);
    std::cout << "Error loading classifiers of " << folder << ": " << loadRefusal() << std::endl;
    return false;
  }

  if (filesPresent(folder) &&
      loadModel(folder, stageModelFile, stageRole, mysvmstage, media, desviation) &&
      loadModel(folder, nucleusModelFile, nucleusRole, mysvmnucleous, nucleousMedia, nucleousDesviation)) {
    loadedClassifier = true;
    return true;
  }
  std::cout << "Error loading classifiers of " << folder << ": " << loadRefusal() << std::endl;
  releaseModels();
  return false;
}

bool OpticalClassifierZelvora::filesPresent(const std::string& folder) {
  // Every folder holds the shared normalisation, whether its models read it
  // or their own. The files are only looked at: nothing is read before all
  // are there.
  for (const char* file : {sharedNormalisationFile, nucleusModelFile, stageModelFile}) {
    const Model::RegularFileRead present(folder + "/" + file);
    if (!present.readable()) return refuse(folder + "/" + file, present.refusal());
  }
  return true;
}

bool OpticalClassifierZelvora::loadModel(const std::string& folder, const char* modelFile,
                                         const SvmModelFileCheck::Role& role, svm_model*& model,
                                         std::vector<float>& mean, std::vector<float>& deviation) {
  const std::string normalisation = normalisationPath(folder, modelFile);
  const std::string why = le_media_desv(normalisation, mean, deviation);
  if (!why.empty()) return refuse(normalisation, why);
  if (mean.size() != featureCount)
    return refuse(normalisation, "it holds " + std::to_string(mean.size()) + " features where the classifier needs " +
                                     std::to_string(featureCount));
  std::string modelRefusal;
  model = crea_svm(folder + "/" + modelFile, featureCount, role, &modelRefusal);
  return model != nullptr || refuse(folder + "/" + modelFile, modelRefusal);
}

void OpticalClassifierZelvora::releaseModels() {
  if (mysvmstage != nullptr) svm_free_and_destroy_model(&mysvmstage);
  if (mysvmnucleous != nullptr) svm_free_and_destroy_model(&mysvmnucleous);
  media.clear();
  desviation.clear();
  nucleousMedia.clear();
  nucleousDesviation.clear();
  loadedClassifier = false;
}

void OpticalClassifierZelvora::resetClassifier() {
  if (!loadedClassifier) return;
  releaseModels();
  std::cout << "resetClassifier(): deleted trained classifiers" << std::endl;
}

std::vector<int> OpticalClassifierZelvora::applyClassifiersPattern(const std::vector<float>& pattern) {
  if (!loadedClassifier || pattern.size() < static_cast<std::size_t>(featureCount)) return {};
  const int stage = saida_svm(mysvmstage, pattern, media, desviation);
  const int nucleus = saida_svm(mysvmnucleous, pattern, nucleousMedia, nucleousDesviation);
  return {nucleus, stage + 1};
}
