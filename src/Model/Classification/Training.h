#ifndef TRAINING_H
#define TRAINING_H

#include <svm.h>

#include <array>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "SvmProblem.h"

// Trains one C-SVC with an RBF kernel from patterns grouped by class. The
// features are standardised (population mean and deviation), C and gamma are
// chosen on a grid by four-fold cross-validation scored with Cohen's kappa,
// and the final model is trained on every selected pattern. A Training object
// serves one training: construct, trainingProblem, save, destroy.
class Training {
 public:
  // Patterns indexed by class, then pattern, then feature.
  using Patterns = std::vector<std::vector<std::vector<float>>>;

  // The C grid is the program's own (its profile's); the gamma grid is
  // shared.
  explicit Training(std::vector<float> cValues);
  ~Training();
  Training(const Training&) = delete;
  Training& operator=(const Training&) = delete;

  // The libsvm label of each class, so that a model trained on a subset of
  // classes still predicts their true labels. Without it, the class index.
  void setLabels(std::vector<int> classLabels);
  // Threads that evaluate grid points; 1 keeps everything on the calling
  // thread. The chosen point and model do not depend on it, nor on how many
  // of the threads could start.
  void setThreads(unsigned count);

  // `index[c]` holds the five quarter bounds of class c and `npatterns[c]` the
  // number of its leading patterns used. False when the input is inconsistent,
  // no grid point scores, or libsvm refuses the parameters. Memory running
  // out on any thread is thrown here (std::bad_alloc), once all have ended.
  bool trainingProblem(const Patterns& patterns, const std::vector<std::vector<int>>& index, int nfeatures,
                       const std::vector<int>& npatterns);

  // The texts of the normalisation file ("med_desv.dat" format) and of the
  // libsvm model file; nothing before a successful training, nor a model
  // libsvm could not write out (`failure`, when given, then holds the
  // system's reason where there is one, such as a file-size limit).
  std::optional<std::string> meanDesvText() const;
  std::optional<std::string> modelText(std::error_code* failure = nullptr) const;

  const std::vector<float>& getC() const { return cGrid; }
  static std::vector<float> getGamma();

  double getBestC() const { return bestC; }
  double getBestGamma() const { return bestGamma; }
  double getBestKappa() const { return bestKappa; }
  bool isTrained() const { return trained; }
  const std::vector<double>& getMeanFinal() const { return meanfinal; }
  const std::vector<double>& getDesvFinal() const { return desvfinal; }

  // Cohen's kappa in percent; rows are true classes, columns predictions.
  // Not a number when the chance agreement equals the total.
  static double cohenKappa(const std::vector<std::vector<int>>& confusion);

  // Drops every normalisation, problem and model.
  void clearDates();

 private:
  static constexpr int folds = 4;

  struct LabelledPattern {
    int classIndex;
    const std::vector<float>* values;
  };

  // The patterns of the given quarters, class by class, quarters in order.
  static std::vector<LabelledPattern> quarterPatterns(const Patterns& patterns,
                                                      const std::vector<std::vector<int>>& index,
                                                      const std::vector<int>& quarters);
  static void meanAndDeviation(const std::vector<LabelledPattern>& rows, int nfeatures, std::vector<double>& mean,
                               std::vector<double>& desv);
  static std::vector<double> normalise(const std::vector<float>& values, int nfeatures,
                                       const std::vector<double>& mean, const std::vector<double>& desv);
  static bool consistentInput(const Patterns& patterns, const std::vector<std::vector<int>>& index, int nfeatures,
                              const std::vector<int>& npatterns);

  void fillTrainingPatternsSvm(const Patterns& patterns, const std::vector<std::vector<int>>& index, int fold,
                               int nfeatures);
  bool tunningParametersValidation(const Patterns& patterns, const std::vector<std::vector<int>>& index,
                                   int nfeatures);
  // Mean kappa of the four folds at one grid point.
  float crossValidationKappa(float c, float gamma, const Patterns& patterns,
                             const std::vector<std::vector<int>>& index, int nfeatures) const;
  double validationSvm(const svm_model* model, const Patterns& patterns, const std::vector<std::vector<int>>& index,
                       int fold, int nfeatures) const;
  void fillTrainingPatternsSvmFinal(const Patterns& patterns, int nfeatures, const std::vector<int>& npatterns);
  int classOfLabel(int label) const;

  svm_parameter param;
  svm_model* svm = nullptr;
  std::array<SvmProblem, folds> problem;
  SvmProblem probfinal;
  std::vector<double> meanfinal;
  std::vector<double> desvfinal;
  double bestC = 0;
  double bestGamma = 0;
  double bestKappa = -100;
  bool trained = false;
  std::vector<std::vector<double>> mean;
  std::vector<std::vector<double>> desv;
  std::vector<float> cGrid;
  std::vector<int> requestedLabels;
  // The libsvm label of each class of the current training.
  std::vector<int> labels;
  unsigned threads;
};

#endif
