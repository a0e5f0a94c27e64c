#include "ClassificationFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#include "FileText.h"
#include "OpticalClassifier.h"

namespace fixtures {

std::vector<std::vector<float>> gaussianClass(std::uint32_t seed, int count, const std::vector<float>& centre,
                                              float spread, int constantFeature) {
  std::mt19937 engine(seed);
  std::normal_distribution<float> noise(0.0f, spread);
  std::vector<std::vector<float>> patterns;
  for (int i = 0; i < count; ++i) {
    std::vector<float> pattern;
    for (float mean : centre) pattern.push_back(mean + noise(engine));
    if (constantFeature >= 0 && constantFeature < static_cast<int>(pattern.size())) pattern[constantFeature] = 7;
    patterns.push_back(pattern);
  }
  return patterns;
}

std::vector<float> centre(int features, int shifted, float value) {
  std::vector<float> c(features, 0.0f);
  for (int j = 0; j < shifted && j < features; ++j) c[j] = value;
  return c;
}

std::vector<std::vector<int>> quarters(const Training::Patterns& patterns) {
  std::vector<std::vector<int>> index;
  for (const auto& c : patterns)
    index.push_back(OpticalClassifier::computeIndex25Percentage(static_cast<int>(c.size())));
  return index;
}

std::vector<int> counts(const Training::Patterns& patterns) {
  std::vector<int> n;
  for (const auto& c : patterns) n.push_back(static_cast<int>(c.size()));
  return n;
}

std::string libsvmLine(int label, const std::vector<double>& values) {
  std::string line = std::to_string(label);
  char number[64];
  for (std::size_t j = 0; j < values.size(); ++j) {
    std::snprintf(number, sizeof number, " %zu:%.17g", j, values[j]);
    line += number;
  }
  return line + "\n";
}

std::string twoVectorModel(int firstLabel, int secondLabel) {
  return "svm_type c_svc\nkernel_type rbf\ngamma 0.5\nnr_class 2\ntotal_sv 2\nrho 0\nlabel " +
         std::to_string(firstLabel) + " " + std::to_string(secondLabel) + "\nnr_sv 1 1\nSV\n1 0:1 \n-1 0:-1 \n";
}

std::string modelOfClasses(int classes) {
  std::string rho, labels, counts, vectors;
  for (int pair = 0; pair < classes * (classes - 1) / 2; ++pair) rho += " 0";
  for (int c = 0; c < classes; ++c) {
    labels += " " + std::to_string(c);
    counts += " 1";
    for (int k = 1; k < classes; ++k) vectors += k == c ? "-1 " : "1 ";
    vectors += "0:" + std::to_string(c) + " \n";
  }
  return "svm_type c_svc\nkernel_type linear\nnr_class " + std::to_string(classes) + "\ntotal_sv " +
         std::to_string(classes) + "\nrho" + rho + "\nlabel" + labels + "\nnr_sv" + counts + "\nSV\n" + vectors;
}

std::string libsvmSavedModel(const std::filesystem::path& file, int type, int kernel, bool probability, int classes) {
  std::vector<std::vector<svm_node>> rows;
  std::vector<double> labels;
  for (int i = 0; i < 12; ++i) {
    const int label = i % classes;
    rows.push_back({{0, label + 0.1 * i}, {3, -0.05 * i}, {24, 1.0 * label}, {-1, 0}});
    labels.push_back(label);
  }
  std::vector<svm_node*> x;
  for (auto& row : rows) x.push_back(row.data());
  svm_problem problem{static_cast<int>(rows.size()), labels.data(), x.data()};
  svm_parameter parameter{};
  parameter.svm_type = type;
  parameter.kernel_type = kernel;
  parameter.degree = 2;
  parameter.gamma = 0.5;
  parameter.coef0 = 1;
  parameter.cache_size = 10;
  parameter.eps = 1e-3;
  parameter.C = 1;
  parameter.nu = 0.5;
  parameter.p = 0.1;
  parameter.shrinking = 1;
  parameter.probability = probability ? 1 : 0;
  svm_set_print_string_function([](const char*) {});
  svm_model* model = svm_train(&problem, &parameter);
  const int saved = svm_save_model(file.c_str(), model);
  svm_free_and_destroy_model(&model);
  return saved == 0 ? readFileText(file) : "";
}

std::string unitNormalisation(int features) {
  std::string text = "input mean std\n";
  for (int j = 1; j <= features; ++j) text += std::to_string(j) + " 0 1\n";
  return text;
}

bool writeOut(const std::optional<std::string>& text, const std::filesystem::path& file) {
  if (!text) return false;
  writeFileText(file, *text);
  return true;
}

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace fixtures
