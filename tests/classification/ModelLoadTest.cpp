// A checked model is built in memory, not read by libsvm from a file: the
// model built must be the one libsvm's own load builds from the same text,
// field by field and in every answer, whatever the user's locale.

#include <gtest/gtest.h>
#include <svm.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "ClassificationFixtures.h"
#include "FileText.h"
#include "OpticalClassifier.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

// Points around and away from the training clusters of
// fixtures::libsvmSavedModel, with features the models never saw and none.
std::vector<std::vector<svm_node>> probePoints() {
  std::vector<std::vector<svm_node>> points = {{{-1, 0}}};
  for (double v : {-2.5, -0.7, 0.0, 0.3, 1.05, 1.9, 4.0}) {
    points.push_back({{0, v}, {3, -v / 2}, {24, v * v / 3}, {-1, 0}});
    points.push_back({{1, v}, {3, v}, {10, 1 - v}, {24, 2.0}, {-1, 0}});
  }
  return points;
}

int pairCount(const svm_model& model) { return model.nr_class * (model.nr_class - 1) / 2; }

template <typename T>
void expectSameArray(const T* built, const T* read, int count, const char* field) {
  ASSERT_EQ(built == nullptr, read == nullptr) << field;
  for (int i = 0; built != nullptr && i < count; ++i) EXPECT_EQ(built[i], read[i]) << field << "[" << i << "]";
}

// Every field libsvm's load sets, and the support vectors in one node array
// from SV[0], as svm_free_and_destroy_model frees them.
void expectSameFields(const svm_model& built, const svm_model& read) {
  EXPECT_EQ(built.param.svm_type, read.param.svm_type);
  const int kernel = read.param.kernel_type;
  EXPECT_EQ(built.param.kernel_type, kernel);
  if (kernel == POLY) {
    EXPECT_EQ(built.param.degree, read.param.degree);
  }
  if (kernel != LINEAR) {
    EXPECT_EQ(built.param.gamma, read.param.gamma);
  }
  if (kernel == POLY || kernel == SIGMOID) {
    EXPECT_EQ(built.param.coef0, read.param.coef0);
  }
  EXPECT_EQ(built.param.nr_weight, 0);
  EXPECT_EQ(built.param.weight_label, nullptr);
  EXPECT_EQ(built.param.weight, nullptr);
  ASSERT_EQ(built.nr_class, read.nr_class);
  ASSERT_EQ(built.l, read.l);
  EXPECT_EQ(built.free_sv, 1);
  EXPECT_EQ(built.sv_indices, nullptr);
  expectSameArray(built.rho, read.rho, pairCount(read), "rho");
  expectSameArray(built.probA, read.probA, pairCount(read), "probA");
  expectSameArray(built.probB, read.probB, pairCount(read), "probB");
  expectSameArray(built.label, read.label, read.nr_class, "label");
  expectSameArray(built.nSV, read.nSV, read.nr_class, "nSV");
  for (int k = 0; k < read.nr_class - 1; ++k) expectSameArray(built.sv_coef[k], read.sv_coef[k], read.l, "sv_coef");
  for (int i = 0; i < read.l; ++i) {
    EXPECT_EQ(built.SV[i] - built.SV[0], read.SV[i] - read.SV[0]) << "support vector " << i;
    for (const svm_node *b = built.SV[i], *r = read.SV[i];; ++b, ++r) {
      ASSERT_EQ(b->index, r->index) << "support vector " << i;
      if (r->index == -1) break;
      EXPECT_EQ(b->value, r->value) << "support vector " << i;
    }
  }
}

void expectSameAnswers(const svm_model& built, const svm_model& read) {
  const bool probabilities = svm_check_probability_model(&read) != 0;
  EXPECT_EQ(svm_check_probability_model(&built) != 0, probabilities);
  for (const std::vector<svm_node>& point : probePoints()) {
    std::vector<double> builtValues(pairCount(read) + 1), readValues(pairCount(read) + 1);
    EXPECT_EQ(svm_predict(&built, point.data()), svm_predict(&read, point.data()));
    EXPECT_EQ(svm_predict_values(&built, point.data(), builtValues.data()),
              svm_predict_values(&read, point.data(), readValues.data()));
    EXPECT_EQ(builtValues, readValues);
    if (!probabilities) continue;
    std::vector<double> builtEstimates(read.nr_class), readEstimates(read.nr_class);
    EXPECT_EQ(svm_predict_probability(&built, point.data(), builtEstimates.data()),
              svm_predict_probability(&read, point.data(), readEstimates.data()));
    EXPECT_EQ(builtEstimates, readEstimates);
  }
}

// Sets a German locale, whose decimal separator is a comma, for its
// lifetime where the system has one.
class GermanLocale {
 public:
  GermanLocale() : previous(std::setlocale(LC_ALL, nullptr)) { std::setlocale(LC_ALL, "de_DE.UTF-8"); }
  ~GermanLocale() { std::setlocale(LC_ALL, previous.c_str()); }
  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;

 private:
  std::string previous;
};

TEST(ModelLoad, TheModelBuiltInMemoryIsTheOneLibsvmLoadsFromTheFile) {
  TemporaryHome temp;
  struct Model {
    std::string what;
    std::string text;
  };
  std::vector<Model> models;
  const std::pair<int, const char*> types[] = {{C_SVC, "C-SVC"}, {NU_SVC, "nu-SVC"}};
  const std::pair<int, const char*> kernels[] = {{LINEAR, "linear"}, {POLY, "polynomial"}, {RBF, "rbf"},
                                                 {SIGMOID, "sigmoid"}};
  for (const auto& [type, typeName] : types)
    for (const auto& [kernel, kernelName] : kernels)
      for (int classes : {2, 3})
        for (bool probability : {false, true})
          models.push_back({std::string(typeName) + ", " + kernelName + ", " + std::to_string(classes) +
                                " classes" + (probability ? ", with probabilities" : ""),
                            fixtures::libsvmSavedModel(temp.work() / "saved.dat", type, kernel, probability, classes)});
  models.push_back({"one-class", fixtures::libsvmSavedModel(temp.work() / "saved.dat", ONE_CLASS, RBF, false, 1)});
  models.push_back(
      {"epsilon-SVR", fixtures::libsvmSavedModel(temp.work() / "saved.dat", EPSILON_SVR, POLY, true, 2)});
  models.push_back({"nu-SVR", fixtures::libsvmSavedModel(temp.work() / "saved.dat", NU_SVR, SIGMOID, false, 2)});
  std::string crlf;
  for (char c : models.front().text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  models.push_back({"C-SVC with line ends of carriage return and line feed", crlf});

  const fs::path file = temp.work() / "svm_model.dat";
  const GermanLocale german;
  for (const Model& model : models) {
    SCOPED_TRACE(model.what);
    ASSERT_FALSE(model.text.empty());
    writeFileText(file, model.text);
    svm_model* built = OpticalClassifier::crea_svm(file.string());
    svm_model* read = svm_load_model(file.c_str());
    ASSERT_NE(read, nullptr);
    ASSERT_NE(built, nullptr);
    expectSameFields(*built, *read);
    expectSameAnswers(*built, *read);
    svm_free_and_destroy_model(&built);
    svm_free_and_destroy_model(&read);
  }
}

}  // namespace
