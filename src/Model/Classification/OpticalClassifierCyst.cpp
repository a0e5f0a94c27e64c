#include "OpticalClassifierCyst.h"

#include <algorithm>
#include <iostream>

#include "FolderLock.h"
#include "ProgramProfile.h"
#include "ReplacementJournal.h"
#include "Training.h"

namespace {

constexpr int greenChannel = 2;

void release(svm_model*& model) {
  if (model != nullptr) svm_free_and_destroy_model(&model);
  model = nullptr;
}

}  // namespace

OpticalClassifierCyst::OpticalClassifierCyst(std::string imageName, int method)
    : OpticalClassifier(imageName, method),
      features(std::make_unique<TextureLBP>(imageName, 0)),
      fshape(std::make_unique<ShapeFeatures>()) {
  loadClassifiers(defaultFolder);
}

OpticalClassifierCyst::~OpticalClassifierCyst() { resetClassifier(); }

void OpticalClassifierCyst::resetClassifier() {
  release(mysvm);
  release(mysvmShape);
  media.clear();
  desviation.clear();
  medias.clear();
  desviations.clear();
}

svm_model* OpticalClassifierCyst::loadChecked(const std::string& modelPath, const std::string& statisticsPath,
                                              int features, std::vector<float>& mean, std::vector<float>& deviation) {
  const std::string statisticsRefusal = le_media_desv(statisticsPath, mean, deviation);
  std::cout << "lido arquivo de medias e desviacions " << std::endl;
  std::string modelRefusal;
  svm_model* model = crea_svm(modelPath, features, modelRole, &modelRefusal);
  std::cout << "Lido arquivo de modelo de svm" << std::endl;
  const bool statisticsFit = static_cast<int>(mean.size()) == features && static_cast<int>(deviation.size()) == features;
  if (model != nullptr && statisticsFit) return model;
  // The statistics are named first: a model is of no use without them.
  std::string why = statisticsRefusal;
  if (why.empty() && !statisticsFit)
    why = "it holds " + std::to_string(mean.size()) + " triples where the classifier needs " + std::to_string(features);
  const std::string& file = why.empty() ? modelPath : statisticsPath;
  if (why.empty()) why = modelRefusal;
  refuse(file, why);
  std::cerr << "Cyst classifier not loaded: " << fileRefusal(file, why) << std::endl;
  release(model);
  mean.clear();
  deviation.clear();
  return nullptr;
}

bool OpticalClassifierCyst::loadClassifiers(const std::string& folder) {
  resetClassifier();
  forgetRefusal();
  // No save of another process switches the files while they are recovered
  // and read; a folder that cannot be locked is read as it is.
  const FolderLock lock(folder);
  const std::string unfinished = ReplacementJournal(folder).recover(
      {textureModelFile, textureStatisticsFile, shapeModelFile, shapeStatisticsFile});
  if (!unfinished.empty()) {
    refuseLoading("The cyst classifier of " + folder + " cannot be loaded: " + unfinished);
    std::cerr << loadRefusal() << std::endl;
    return false;
  }
  const std::string dir = folder + "/";
  mysvm = loadChecked(dir + textureModelFile, dir + textureStatisticsFile, textureFeatureCount, media, desviation);
  mysvmShape = loadChecked(dir + shapeModelFile, dir + shapeStatisticsFile, shapeFeatureCount, medias, desviations);
  return mysvm != nullptr && mysvmShape != nullptr;
}

void OpticalClassifierCyst::setImageName(std::string name) {
  features->setImage(name, greenChannel);
  OpticalClassifier::setImageName(std::move(name));
}

int OpticalClassifierCyst::answer(const svm_model* model, const std::vector<float>& pattern,
                                  const std::vector<float>& mean, const std::vector<float>& deviation) {
  // All zeros: nothing was measured (no counted pixel, no image), so there
  // is nothing to call a cyst.
  if (model == nullptr || std::all_of(pattern.begin(), pattern.end(), [](float v) { return v == 0; })) return 0;
  return saida_svm(model, pattern, mean, deviation) == cystLabel ? cystLabel : 0;
}

int OpticalClassifierCyst::applyClassifierRegion(regionShape* region) {
  if (region == nullptr) return 0;
  return answer(mysvm, features->computelbp54(region), media, desviation);
}

int OpticalClassifierCyst::applyClassifierRegionShape(regionShape* region) {
  if (region == nullptr) return 0;
  fshape->setShape(region);
  const std::vector<double> hu = fshape->getHuMoments();
  return answer(mysvmShape, std::vector<float>(hu.begin(), hu.end()), medias, desviations);
}

bool OpticalClassifierCyst::trainClassifier2(const std::string& dir, const std::string& filename,
                                             std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                                             int nfeatures, std::array<int, 2> labels) {
  Training training(ProgramProfile::cavitra().trainingCGrid);
  return trainAndSave(dir, filename, {std::move(c1), std::move(c2)}, {labels[0], labels[1]}, nfeatures, training);
}

bool OpticalClassifierCyst::trainClassifier3(const std::string& dir, const std::string& filename,
                                             std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                                             std::vector<std::vector<float>> c3, int nfeatures) {
  Training training(ProgramProfile::cavitra().trainingCGrid);
  return trainAndSave(dir, filename, {std::move(c1), std::move(c2), std::move(c3)}, {0, 1, 2}, nfeatures, training);
}

std::vector<std::string> OpticalClassifierCyst::normalisationFilesWith(const std::string&) const {
  return {sharedNormalisationFile};
}
