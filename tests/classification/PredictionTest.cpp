#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <set>

#include "ClassificationFixtures.h"
#include "FileText.h"
#include "OpticalClassifier.h"
#include "TemporaryHome.h"
#include "ProgramProfile.h"
#include "Training.h"

namespace {

constexpr int features = 25;
constexpr int constantFeature = 24;

// Three overlapping classes, so that many test patterns lie near the
// decision boundaries.
Training::Patterns overlappingClasses(std::uint32_t seed) {
  return {fixtures::gaussianClass(seed, 40, fixtures::centre(features, 6, 0.0f), 1.0f, constantFeature),
          fixtures::gaussianClass(seed + 1, 40, fixtures::centre(features, 6, 1.0f), 1.0f, constantFeature),
          fixtures::gaussianClass(seed + 2, 40, fixtures::centre(features, 6, 2.0f), 1.0f, constantFeature)};
}

TEST(PredictionTest, AgreesWithSvmPredictOnTheSameNormalisedPatterns) {
  if (std::string(SVM_PREDICT_PROGRAM).empty()) GTEST_SKIP() << "svm-predict not installed";
  TemporaryHome temp;
  const Training::Patterns patterns = overlappingClasses(10);
  Training training(ProgramProfile::lumora().trainingCGrid);
  ASSERT_TRUE(training.trainingProblem(patterns, fixtures::quarters(patterns), features, fixtures::counts(patterns)));
  const auto modelFile = temp.work() / "svm_stages.dat";
  const auto normalisationFile = temp.work() / "med_desv.dat";
  ASSERT_TRUE(fixtures::writeOut(training.modelText(), modelFile));
  ASSERT_TRUE(fixtures::writeOut(training.meanDesvText(), normalisationFile));

  std::vector<float> media, desv;
  OpticalClassifier::le_media_desv(normalisationFile.string(), media, desv);
  ASSERT_EQ(media.size(), static_cast<std::size_t>(features));
  ASSERT_EQ(desv[constantFeature], 0.0f);
  svm_model* model = OpticalClassifier::crea_svm(modelFile.string());
  ASSERT_NE(model, nullptr);

  // Fresh patterns spread over all three classes; the reference gets them
  // standardised in single precision, a feature of deviation 0 raw.
  const Training::Patterns tests = {
      fixtures::gaussianClass(90, 100, fixtures::centre(features, 6, 0.0f), 1.2f, constantFeature),
      fixtures::gaussianClass(91, 100, fixtures::centre(features, 6, 1.0f), 1.2f, constantFeature),
      fixtures::gaussianClass(92, 100, fixtures::centre(features, 6, 2.0f), 1.2f, constantFeature)};
  std::string reference;
  std::vector<int> ours;
  for (const auto& group : tests)
    for (const std::vector<float>& x : group) {
      std::vector<double> values;
      for (int j = 0; j < features; ++j) values.push_back(desv[j] != 0 ? (x[j] - media[j]) / desv[j] : x[j]);
      reference += fixtures::libsvmLine(0, values);
      ours.push_back(OpticalClassifier::saida_svm(model, x, media, desv));
    }
  svm_free_and_destroy_model(&model);
  const auto input = temp.work() / "patterns.txt", output = temp.work() / "predicted.txt";
  writeFileText(input, reference);
  ASSERT_TRUE(fixtures::run(std::string(SVM_PREDICT_PROGRAM) + " -q " + input.string() + " " + modelFile.string() +
                            " " + output.string()));

  std::ifstream predicted(output);
  std::set<int> labelsSeen;
  int disagreements = 0;
  for (int ourLabel : ours) {
    double theirs = -99;
    ASSERT_TRUE(predicted >> theirs);
    if (static_cast<int>(theirs) != ourLabel) ++disagreements;
    labelsSeen.insert(ourLabel);
  }
  EXPECT_EQ(disagreements, 0) << "of " << ours.size();
  EXPECT_EQ(labelsSeen, (std::set<int>{0, 1, 2}));
}

// The fixtures' two-vector model with labels 1 and 0, read back from a file
// of `temp`.
svm_model* twoVectorModel(const TemporaryHome& temp) {
  const auto modelFile = temp.work() / "model.dat";
  writeFileText(modelFile, fixtures::twoVectorModel(1, 0));
  return OpticalClassifier::crea_svm(modelFile.string());
}

TEST(PredictionTest, RefusesWithoutAModelOrWithAShortPattern) {
  TemporaryHome temp;
  svm_model* model = twoVectorModel(temp);
  ASSERT_NE(model, nullptr);
  const std::vector<float> media(3, 0.0f), desv(3, 1.0f);

  EXPECT_EQ(OpticalClassifier::saida_svm(nullptr, {1, 0, 0}, media, desv), OpticalClassifier::noPrediction);
  EXPECT_EQ(OpticalClassifier::saida_svm(model, {1, 0}, media, desv), OpticalClassifier::noPrediction);
  EXPECT_EQ(OpticalClassifier::saida_svm(model, {1, 0, 0}, media, desv), 1);
  EXPECT_EQ(OpticalClassifier::saida_svm(model, {-1, 0, 0}, media, desv), 0);
  svm_free_and_destroy_model(&model);
}

TEST(PredictionTest, FeatureWithoutDeviationIsPassedRaw) {
  TemporaryHome temp;
  svm_model* model = twoVectorModel(temp);
  ASSERT_NE(model, nullptr);
  // Mean 5: standardised, 4 would be negative; passed raw it stays positive.
  for (float deviation : {0.0f, std::nanf("")})
    EXPECT_EQ(OpticalClassifier::saida_svm(model, {4}, {5}, {deviation}), 1) << deviation;
  EXPECT_EQ(OpticalClassifier::saida_svm(model, {4}, {5}, {1}), 0);
  svm_free_and_destroy_model(&model);
}

// A model loaded without a role may be a regression, whose answer is any
// number: one that is not a whole number within int's range names no class.
// The answer here is minus the model's decision constant.
TEST(PredictionTest, AnAnswerThatIsNoIntLabelIsNoPrediction) {
  TemporaryHome temp;
  struct Case {
    const char* rho;
    int answer;
  };
  const Case cases[] = {
      {"-7100000000", OpticalClassifier::noPrediction}, {"7100000000", OpticalClassifier::noPrediction},
      {"-2147483648", OpticalClassifier::noPrediction}, {"2147483649", OpticalClassifier::noPrediction},
      {"-0.5", OpticalClassifier::noPrediction},        {"1e300", OpticalClassifier::noPrediction},
      {"-2147483647", 2147483647},                      {"2147483648", -2147483647 - 1},
      {"-3", 3},                                        {"0", 0},
  };
  for (const Case& c : cases) {
    const auto modelFile = temp.work() / "regression.dat";
    writeFileText(modelFile, std::string("svm_type epsilon_svr\nkernel_type linear\nnr_class 2\ntotal_sv 1\nrho ") +
                                 c.rho + "\nSV\n0 0:0 \n");
    svm_model* model = OpticalClassifier::crea_svm(modelFile.string());
    ASSERT_NE(model, nullptr) << c.rho;
    EXPECT_EQ(OpticalClassifier::saida_svm(model, {1}, {0}, {1}), c.answer) << "rho " << c.rho;
    svm_free_and_destroy_model(&model);
  }
}

}  // namespace
