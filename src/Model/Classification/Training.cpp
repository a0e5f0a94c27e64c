#include "Training.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <locale>
#include <mutex>
#include <sstream>

#include "ScratchFile.h"
#include "ThreadTeam.h"
#include "img_parallel.h"

namespace {

// libsvm prints its progress through one process-wide hook; set it once,
// before any training thread can read it.
void silenceLibsvm() {
  static std::once_flag once;
  std::call_once(once, [] { svm_set_print_string_function([](const char*) {}); });
}

// What is not set stays 0: coef0, no class weights, no probability model.
svm_parameter defaultParameters() {
  svm_parameter p{};
  p.svm_type = C_SVC;
  p.kernel_type = RBF;
  p.degree = 3;
  p.cache_size = 50;
  p.eps = 0.001;
  p.nu = 0.5;
  p.p = 0.1;
  p.shrinking = 1;
  return p;
}

}  // namespace

Training::Training(std::vector<float> cValues)
    : param(defaultParameters()),
      cGrid(std::move(cValues)),
      threads(static_cast<unsigned>(imaging_usable_cpus())) {
  silenceLibsvm();
}

Training::~Training() { clearDates(); }

void Training::setLabels(std::vector<int> classLabels) { requestedLabels = std::move(classLabels); }

void Training::setThreads(unsigned count) { threads = std::max(1u, count); }

std::vector<float> Training::getGamma() {
  return {1,        0.5f,     0.25f,    0.125f,   0.0625f,  0.03125f, 0.01562f, 0.00781f,
          0.00391f, 0.00195f, 0.00098f, 0.00049f, 0.00024f, 0.00012f, 0.00006f, 0.00003f};
}

void Training::clearDates() {
  if (svm != nullptr) svm_free_and_destroy_model(&svm);
  mean.clear();
  desv.clear();
  for (SvmProblem& fold : problem) fold.clear();
  probfinal.clear();
  meanfinal.clear();
  desvfinal.clear();
  trained = false;
}

bool Training::consistentInput(const Patterns& patterns, const std::vector<std::vector<int>>& index, int nfeatures,
                               const std::vector<int>& npatterns) {
  if (nfeatures <= 0 || patterns.size() < 2 || index.size() != patterns.size() ||
      npatterns.size() != patterns.size())
    return false;
  for (std::size_t c = 0; c < patterns.size(); ++c) {
    const std::vector<int>& bounds = index[c];
    if (bounds.size() != folds + 1 || bounds.front() != 0 || bounds.back() != npatterns[c] ||
        npatterns[c] > static_cast<int>(patterns[c].size()) || !std::is_sorted(bounds.begin(), bounds.end()))
      return false;
    for (int i = 0; i < npatterns[c]; ++i)
      if (static_cast<int>(patterns[c][i].size()) < nfeatures) return false;
  }
  return true;
}

bool Training::trainingProblem(const Patterns& patterns, const std::vector<std::vector<int>>& index, int nfeatures,
                               const std::vector<int>& npatterns) {
  clearDates();
  labels = requestedLabels;
  if (labels.empty())
    for (std::size_t c = 0; c < patterns.size(); ++c) labels.push_back(static_cast<int>(c));
  if (!consistentInput(patterns, index, nfeatures, npatterns) || labels.size() != patterns.size()) {
    std::cout << "Training::trainingProblem(): inconsistent patterns, quarters or labels" << std::endl;
    return false;
  }

  std::cout << "Training::addTrainingClass() " << std::endl;
  for (int fold = 0; fold < folds; ++fold) fillTrainingPatternsSvm(patterns, index, fold, nfeatures);
  if (!tunningParametersValidation(patterns, index, nfeatures)) return false;

  fillTrainingPatternsSvmFinal(patterns, nfeatures, npatterns);
  param.C = bestC;
  param.gamma = bestGamma;
  if (const char* error = svm_check_parameter(&probfinal.view(), &param)) {
    std::cout << "Training::trainingProblem(): " << error << std::endl;
    return false;
  }
  svm = svm_train(&probfinal.view(), &param);
  trained = true;
  return true;
}

std::vector<Training::LabelledPattern> Training::quarterPatterns(const Patterns& patterns,
                                                                 const std::vector<std::vector<int>>& index,
                                                                 const std::vector<int>& quarters) {
  std::vector<LabelledPattern> rows;
  for (std::size_t c = 0; c < patterns.size(); ++c)
    for (int q : quarters)
      for (int i = index[c][q]; i < index[c][q + 1]; ++i) rows.push_back({static_cast<int>(c), &patterns[c][i]});
  return rows;
}

void Training::meanAndDeviation(const std::vector<LabelledPattern>& rows, int nfeatures, std::vector<double>& m,
                                std::vector<double>& d) {
  m.assign(nfeatures, 0.0);
  d.assign(nfeatures, 0.0);
  if (rows.empty()) return;
  const double n = static_cast<double>(rows.size());
  for (int j = 0; j < nfeatures; ++j) {
    double sum = 0;
    for (const LabelledPattern& row : rows) sum += (*row.values)[j];
    m[j] = sum / n;
    double squares = 0;
    for (const LabelledPattern& row : rows) {
      const double difference = (*row.values)[j] - m[j];
      squares += difference * difference;
    }
    d[j] = std::sqrt(squares / n);
  }
}

// A feature without spread keeps its raw value, as the classifier's
// prediction does.
std::vector<double> Training::normalise(const std::vector<float>& values, int nfeatures,
                                        const std::vector<double>& m, const std::vector<double>& d) {
  std::vector<double> normalised(nfeatures);
  for (int j = 0; j < nfeatures; ++j) normalised[j] = d[j] != 0 ? (values[j] - m[j]) / d[j] : values[j];
  return normalised;
}

void Training::fillTrainingPatternsSvm(const Patterns& patterns, const std::vector<std::vector<int>>& index,
                                       int fold, int nfeatures) {
  const std::vector<LabelledPattern> rows =
      quarterPatterns(patterns, index, {fold, (fold + 1) % folds, (fold + 2) % folds});
  mean.emplace_back();
  desv.emplace_back();
  meanAndDeviation(rows, nfeatures, mean.back(), desv.back());
  std::cout << "Training::fillTrainingPatternsSvm(): Fold: " << fold << " trainpatterns: " << rows.size()
            << std::endl;
  for (const LabelledPattern& row : rows)
    problem[fold].add(labels[row.classIndex], normalise(*row.values, nfeatures, mean.back(), desv.back()));
}

bool Training::tunningParametersValidation(const Patterns& patterns, const std::vector<std::vector<int>>& index,
                                           int nfeatures) {
  const std::vector<float> gammaGrid = getGamma();
  const std::size_t points = cGrid.size() * gammaGrid.size();
  std::vector<float> kappas(points);

  // Grid points are independent; each worker takes the next one. The best is
  // then chosen in grid order, so the result does not depend on the threads.
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < points; i = next++)
      kappas[i] = crossValidationKappa(cGrid[i / gammaGrid.size()], gammaGrid[i % gammaGrid.size()], patterns,
                                       index, nfeatures);
  };
  ThreadTeam::run(static_cast<unsigned>(std::min<std::size_t>(threads, points)), work);

  bestC = bestGamma = 0;
  bestKappa = -100;
  bool scored = false;
  for (std::size_t i = 0; i < points; ++i) {
    const float c = cGrid[i / gammaGrid.size()];
    const float gamma = gammaGrid[i % gammaGrid.size()];
    std::cout << "Training::tunningParametersValidation() C= " << c << " gamma: " << gamma
              << " Kappa: " << kappas[i] << std::endl;
    // Strictly greater: among equal scores the first in grid order stays, and
    // a point that scores no number never wins.
    if (kappas[i] > bestKappa) {
      bestKappa = kappas[i];
      bestC = c;
      bestGamma = gamma;
      scored = true;
    }
  }
  std::cout << "Training::tunningParametersValidation() Best kappa: " << bestKappa << " C: " << bestC
            << " Gamma: " << bestGamma << std::endl;
  if (!scored) std::cout << "Training::tunningParametersValidation(): no grid point scores" << std::endl;
  return scored;
}

float Training::crossValidationKappa(float c, float gamma, const Patterns& patterns,
                                     const std::vector<std::vector<int>>& index, int nfeatures) const {
  svm_parameter point = param;
  point.C = c;
  point.gamma = gamma;
  if (svm_check_parameter(&problem[0].view(), &point) != nullptr) return std::numeric_limits<float>::quiet_NaN();
  float sum = 0;
  for (int fold = 0; fold < folds; ++fold) {
    svm_model* model = svm_train(&problem[fold].view(), &point);
    sum += static_cast<float>(validationSvm(model, patterns, index, fold, nfeatures));
    svm_free_and_destroy_model(&model);
  }
  return sum / folds;
}

double Training::validationSvm(const svm_model* model, const Patterns& patterns,
                               const std::vector<std::vector<int>>& index, int fold, int nfeatures) const {
  const std::size_t classes = patterns.size();
  std::vector<std::vector<int>> confusion(classes, std::vector<int>(classes, 0));
  std::vector<svm_node> nodes(nfeatures + 1);
  for (const LabelledPattern& row : quarterPatterns(patterns, index, {(fold + 3) % folds})) {
    const std::vector<double> values = normalise(*row.values, nfeatures, mean[fold], desv[fold]);
    for (int j = 0; j < nfeatures; ++j) nodes[j] = {j, values[j]};
    nodes[nfeatures] = {-1, 0.0};
    const int predicted = classOfLabel(static_cast<int>(svm_predict(model, nodes.data())));
    if (predicted >= 0) ++confusion[row.classIndex][predicted];
  }
  return cohenKappa(confusion);
}

int Training::classOfLabel(int label) const {
  const auto found = std::find(labels.begin(), labels.end(), label);
  return found == labels.end() ? -1 : static_cast<int>(found - labels.begin());
}

double Training::cohenKappa(const std::vector<std::vector<int>>& confusion) {
  const std::size_t classes = confusion.size();
  float agreement = 0, total = 0;
  std::vector<float> rowSums(classes, 0), columnSums(classes, 0);
  for (std::size_t i = 0; i < classes; ++i)
    for (std::size_t j = 0; j < classes; ++j) {
      const float count = static_cast<float>(confusion[i][j]);
      total += count;
      rowSums[i] += count;
      columnSums[j] += count;
      if (i == j) agreement += count;
    }
  float chance = 0;
  for (std::size_t i = 0; i < classes; ++i) chance += rowSums[i] * columnSums[i] / total;
  return (static_cast<double>(agreement) - chance) * 100 / (static_cast<double>(total) - chance);
}

void Training::fillTrainingPatternsSvmFinal(const Patterns& patterns, int nfeatures,
                                            const std::vector<int>& npatterns) {
  std::vector<LabelledPattern> rows;
  for (std::size_t c = 0; c < patterns.size(); ++c)
    for (int i = 0; i < npatterns[c]; ++i) rows.push_back({static_cast<int>(c), &patterns[c][i]});
  meanAndDeviation(rows, nfeatures, meanfinal, desvfinal);
  for (const LabelledPattern& row : rows)
    probfinal.add(labels[row.classIndex], normalise(*row.values, nfeatures, meanfinal, desvfinal));
  for (std::size_t c = 0; c < patterns.size(); ++c)
    std::cout << "Training::fillTrainingPatternsSvmFinal() patterns: " << npatterns[c] << "  clase " << c
              << std::endl;
}

std::optional<std::string> Training::meanDesvText() const {
  if (!trained) return std::nullopt;
  std::ostringstream out;
  // The file is read back with a point as decimal separator, whatever the
  // user's locale.
  out.imbue(std::locale::classic());
  out << "input mean std\n";
  for (std::size_t j = 0; j < meanfinal.size(); ++j) out << j + 1 << ' ' << meanfinal[j] << ' ' << desvfinal[j] << '\n';
  return out.str();
}

std::optional<std::string> Training::modelText(std::error_code* failure) const {
  if (!trained) return std::nullopt;
  // libsvm writes a model only to a file it opens by name.
  const ScratchFile scratch;
  if (scratch.isOpen()) {
    // libsvm reports a failed write only by its result; the write's errno
    // tells why.
    errno = 0;
    // libsvm writes its numbers in the C locale and restores the caller's.
    if (svm_save_model(scratch.name().c_str(), svm) == 0)
      if (std::optional<std::string> text = scratch.contents()) return text;
  }
  if (failure != nullptr && errno != 0) *failure = std::error_code(errno, std::generic_category());
  return std::nullopt;
}
