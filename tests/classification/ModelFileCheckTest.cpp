// Model files are checked before libsvm reads them: its reader and its
// prediction trust the file and crash on a damaged one.

#include <gtest/gtest.h>
#include <svm.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ClassificationFixtures.h"
#include "FileText.h"
#include "OpticalClassifier.h"
#include "OpticalClassifierCyst.h"
#include "OpticalClassifierZelvora.h"
#include "SvmModelFileCheck.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

constexpr int features = 25;

// Loads `text` through the classifier and, when it loads, predicts one
// pattern with it: false when refused. A crash fails the whole test program.
bool loadsAndPredicts(const TemporaryHome& temp, const std::string& text) {
  const fs::path file = temp.work() / "svm_model.dat";
  writeFileText(file, text);
  svm_model* model = OpticalClassifier::crea_svm(file.string(), features);
  if (model == nullptr) return false;
  const std::vector<float> zero(features, 0.0f), one(features, 1.0f);
  OpticalClassifier::saida_svm(model, one, zero, one);
  svm_free_and_destroy_model(&model);
  return true;
}

// A model trained and saved by libsvm.
std::string savedModel(const TemporaryHome& temp, int type, int kernel, bool probability, int classes) {
  return fixtures::libsvmSavedModel(temp.work() / "saved.dat", type, kernel, probability, classes);
}

TEST(ModelFileCheck, ModelsThatLibsvmSavesAreAccepted) {
  TemporaryHome temp;
  const struct {
    int type, kernel;
    bool probability;
    int classes;
  } cases[] = {
      {C_SVC, RBF, false, 2},   {C_SVC, RBF, true, 3},         {C_SVC, LINEAR, false, 2},
      {NU_SVC, SIGMOID, false, 2}, {C_SVC, POLY, true, 2},     {ONE_CLASS, RBF, false, 1},
      {EPSILON_SVR, RBF, true, 2}, {NU_SVR, POLY, false, 2},
  };
  for (const auto& c : cases) {
    const std::string text = savedModel(temp, c.type, c.kernel, c.probability, c.classes);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(SvmModelFileCheck(features).problemIn(text), "") << text;
    EXPECT_TRUE(loadsAndPredicts(temp, text)) << text;
  }
  for (const char* shipped : {"svm_nucleous.dat", "svm_stages.dat"})
    EXPECT_EQ(SvmModelFileCheck(features).problemInFile(std::string(LUMORA_CLASSIFIER_DATA) + "/" + shipped), "");
}

// A classifier takes only a classification model whose labels are classes it
// maps: another kind of model, or a label it does not know, would load and
// then answer something no class stands for.
TEST(ModelFileCheck, ARoleTakesOnlyClassificationModelsOfItsLabels) {
  TemporaryHome temp;
  // Whether the nucleus and cyst models (labels 0 and 1) and the stage model
  // (two or three of 0, 1, 2) may be the model.
  const struct {
    const char* what;
    std::string text;
    bool asNucleusOrCyst, asStages;
  } cases[] = {
      {"C-SVC labelled 0 and 1", fixtures::twoVectorModel(0, 1), true, true},
      {"C-SVC labelled 1 and 0", fixtures::twoVectorModel(1, 0), true, true},
      {"C-SVC labelled 2 and 0", fixtures::twoVectorModel(2, 0), false, true},
      {"C-SVC of three classes", fixtures::modelOfClasses(3), false, true},
      {"nu-SVC labelled 0 and 1", savedModel(temp, NU_SVC, RBF, false, 2), true, true},
      {"C-SVC with probabilities", savedModel(temp, C_SVC, RBF, true, 2), true, true},
      {"C-SVC labelled 5 and 9", fixtures::twoVectorModel(5, 9), false, false},
      {"C-SVC labelled 1 and 1", fixtures::twoVectorModel(1, 1), false, false},
      {"C-SVC labelled -1 and 1", fixtures::twoVectorModel(-1, 1), false, false},
      {"C-SVC of four classes", fixtures::modelOfClasses(4), false, false},
      {"epsilon-SVR", savedModel(temp, EPSILON_SVR, RBF, false, 2), false, false},
      {"nu-SVR", savedModel(temp, NU_SVR, POLY, false, 2), false, false},
      {"one-class", savedModel(temp, ONE_CLASS, RBF, false, 1), false, false},
      {"epsilon-SVR with labels", "svm_type epsilon_svr\n" + fixtures::twoVectorModel(0, 1).substr(15), false, false},
  };
  const fs::path file = temp.work() / "role.dat";
  for (const auto& c : cases) {
    ASSERT_FALSE(c.text.empty()) << c.what;
    writeFileText(file, c.text);
    EXPECT_EQ(SvmModelFileCheck(features).problemIn(c.text), "") << c.what << ": sound for libsvm";
    const std::pair<SvmModelFileCheck::Role, bool> roles[] = {{OpticalClassifierZelvora::nucleusRole, c.asNucleusOrCyst},
                                                              {OpticalClassifierCyst::modelRole, c.asNucleusOrCyst},
                                                              {OpticalClassifierZelvora::stageRole, c.asStages}};
    for (const auto& [role, takes] : roles) {
      EXPECT_EQ(SvmModelFileCheck(features, role).problemIn(c.text).empty(), takes) << c.what;
      svm_model* model = OpticalClassifier::crea_svm(file.string(), features, role);
      EXPECT_EQ(model != nullptr, takes) << c.what;
      if (model != nullptr) svm_free_and_destroy_model(&model);
    }
  }
}

TEST(ModelFileCheck, DamagedModelsAreRefused) {
  TemporaryHome temp;
  const std::string good = fixtures::twoVectorModel(1, 0);
  const std::string header = good.substr(0, good.find("SV\n") + 3);
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"only the SV line", "SV\n"},
      {"empty file", ""},
      {"support vectors cut off", header + "1 0:1 \n"},
      {"no support vectors", header},
      {"a word instead of a value", header + "1 0:1 \n-1 0:x1b \n"},
      {"a word instead of a coefficient", header + "1 0:1 \nabc 0:-1 \n"},
      {"a pair without a colon", header + "1 0:1 \n-1 0 \n"},
      {"a coefficient that is not finite", header + "nan 0:1 \n-1 0:-1 \n"},
      {"an index beyond the features", header + "1 25:1 \n-1 0:-1 \n"},
      {"a negative index", header + "1 -1:1 \n-1 0:-1 \n"},
      {"indices out of order", header + "1 3:1 2:1 \n-1 0:-1 \n"},
      {"more lines than support vectors", good + "1 0:2 \n"},
      {"no labels", "svm_type c_svc\nkernel_type rbf\ngamma 0.5\nnr_class 2\ntotal_sv 2\nrho 0\nnr_sv 1 1\nSV\n"
                    "1 0:1 \n-1 0:-1 \n"},
      {"no gamma for the rbf kernel", "svm_type c_svc\nkernel_type rbf\nnr_class 2\ntotal_sv 2\nrho 0\nlabel 1 0\n"
                                      "nr_sv 1 1\nSV\n1 0:1 \n-1 0:-1 \n"},
      {"a precomputed kernel", "svm_type c_svc\nkernel_type precomputed\nnr_class 2\ntotal_sv 2\nrho 0\nlabel 1 0\n"
                               "nr_sv 1 1\nSV\n1 0:900000 \n-1 0:-900000 \n"},
      {"a class count beyond int", "svm_type c_svc\nkernel_type linear\nnr_class 508512992646\nrho 0 1 2\nSV\n"},
      {"more classes than a classifier has", "svm_type c_svc\nkernel_type linear\nnr_class 100000\nrho 0\nSV\n"},
      {"one class", "svm_type c_svc\nkernel_type linear\nnr_class 1\ntotal_sv 1\nrho\nlabel 1\nnr_sv 1\nSV\n0:1 \n"},
      {"counts that do not add up", "svm_type c_svc\nkernel_type linear\nnr_class 2\ntotal_sv 2\nrho 0\nlabel 1 0\n"
                                    "nr_sv 5 1\nSV\n1 0:1 \n-1 0:-1 \n"},
      {"too few decision constants", "svm_type c_svc\nkernel_type linear\nnr_class 3\ntotal_sv 3\nrho 0 1\n"
                                     "label 1 0 2\nnr_sv 1 1 1\nSV\n1 1 0:1 \n-1 1 0:-1 \n1 -1 0:2 \n"},
      {"a repeated key", "svm_type c_svc\nsvm_type c_svc\n" + good.substr(good.find('\n') + 1)},
      {"an unknown key", "colour red\n" + good},
  };
  for (const auto& c : cases) {
    EXPECT_NE(SvmModelFileCheck(features).problemIn(c.text), "") << c.what;
    EXPECT_FALSE(loadsAndPredicts(temp, c.text)) << c.what;
  }
  EXPECT_EQ(SvmModelFileCheck(features).problemIn(good), "");
}

// A real model cut at any byte after its header either is refused or still
// predicts (a cut inside the last number leaves a shorter, valid number).
TEST(ModelFileCheck, AModelCutAnywhereIsRefusedOrStillPredicts) {
  TemporaryHome temp;
  const std::string model = readFileText(std::string(LUMORA_CLASSIFIER_DATA) + "/svm_stages.dat");
  const std::size_t sv = model.find("SV\n");
  ASSERT_NE(sv, std::string::npos);
  const std::size_t lastLine = model.rfind('\n', model.size() - 2);
  int refused = 0;
  for (std::size_t cut = sv; cut < model.size(); cut += (cut < lastLine ? 97 : 1)) {
    const std::string text = model.substr(0, cut);
    const bool loaded = loadsAndPredicts(temp, text);
    if (cut <= lastLine) {
      EXPECT_FALSE(loaded) << "cut at " << cut;
    }
    refused += loaded ? 0 : 1;
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
