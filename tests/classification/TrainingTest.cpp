#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "ClassificationFixtures.h"
#include "FailingThreadStarts.h"
#include "FileGroupReplacement.h"
#include "FileSizeLimitedChild.h"
#include "FileText.h"
#include "OpticalClassifierCyst.h"
#include "OpticalClassifierZelvora.h"
#include "TemporaryHome.h"
#include "ProgramProfile.h"
#include "Training.h"
#include "UnnamedFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr int features = 25;
constexpr int constantFeature = 3;

Training::Patterns overlappingClasses() {
  return {fixtures::gaussianClass(21, 36, fixtures::centre(features, 5, 0.0f), 1.0f, constantFeature),
          fixtures::gaussianClass(22, 30, fixtures::centre(features, 5, 1.2f), 1.0f, constantFeature),
          fixtures::gaussianClass(23, 33, fixtures::centre(features, 5, 2.4f), 1.0f, constantFeature)};
}

// The final training set computed here from the patterns: population mean
// and deviation over every pattern, a feature of deviation 0 raw.
std::string finalProblemText(const Training::Patterns& patterns, std::vector<double>& mean) {
  std::size_t n = 0;
  mean.assign(features, 0.0);
  std::vector<double> deviation(features, 0.0);
  for (int j = 0; j < features; ++j) {
    double sum = 0;
    n = 0;
    for (const auto& c : patterns)
      for (const auto& p : c) sum += p[j], ++n;
    mean[j] = sum / n;
    double squares = 0;
    for (const auto& c : patterns)
      for (const auto& p : c) squares += (p[j] - mean[j]) * (p[j] - mean[j]);
    deviation[j] = std::sqrt(squares / n);
  }
  std::string text;
  for (std::size_t c = 0; c < patterns.size(); ++c)
    for (const auto& p : patterns[c]) {
      std::vector<double> values;
      for (int j = 0; j < features; ++j)
        values.push_back(deviation[j] != 0 ? (p[j] - mean[j]) / deviation[j] : p[j]);
      text += fixtures::libsvmLine(static_cast<int>(c), values);
    }
  return text;
}

std::string number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

TEST(TrainingTest, FinalModelEqualsSvmTrainOnTheSameProblem) {
  if (std::string(SVM_TRAIN_PROGRAM).empty()) GTEST_SKIP() << "svm-train not installed";
  TemporaryHome temp;
  const Training::Patterns patterns = overlappingClasses();
  Training training(ProgramProfile::lumora().trainingCGrid);
  ASSERT_TRUE(training.trainingProblem(patterns, fixtures::quarters(patterns), features, fixtures::counts(patterns)));
  const fs::path ours = temp.work() / "ours.model", theirs = temp.work() / "theirs.model";
  ASSERT_TRUE(fixtures::writeOut(training.modelText(), ours));

  std::vector<double> mean;
  const fs::path problem = temp.work() / "final.txt";
  writeFileText(problem, finalProblemText(patterns, mean));
  for (int j = 0; j < features; ++j) EXPECT_DOUBLE_EQ(training.getMeanFinal()[j], mean[j]) << j;
  EXPECT_EQ(training.getDesvFinal()[constantFeature], 0.0);

  ASSERT_TRUE(fixtures::run(std::string(SVM_TRAIN_PROGRAM) + " -q -s 0 -t 2 -m 50 -e 0.001 -h 1 -c " +
                            number(training.getBestC()) + " -g " + number(training.getBestGamma()) + " " +
                            problem.string() + " " + theirs.string()));
  EXPECT_EQ(readFileText(ours), readFileText(theirs));
}

TEST(TrainingTest, AmongEqualScoresTheFirstGridPointIsKept) {
  // Far-apart classes: every grid point validates perfectly.
  const Training::Patterns patterns = {fixtures::gaussianClass(1, 16, fixtures::centre(4, 4, 0.0f), 0.1f),
                                       fixtures::gaussianClass(2, 16, fixtures::centre(4, 4, 5.0f), 0.1f)};
  Training training(ProgramProfile::lumora().trainingCGrid);
  ASSERT_TRUE(training.trainingProblem(patterns, fixtures::quarters(patterns), 4, fixtures::counts(patterns)));
  EXPECT_EQ(training.getBestKappa(), 100);
  EXPECT_EQ(training.getBestC(), training.getC().front());
  EXPECT_EQ(training.getBestGamma(), Training::getGamma().front());
}

// Also when threads cannot start (the system's thread limit): the grid is
// then searched on those that did.
TEST(TrainingTest, ParallelGridChoosesTheSequentialModel) {
  TemporaryHome temp;
  const Training::Patterns patterns = overlappingClasses();
  struct Run {
    unsigned threads;
    unsigned failingStart;  // 0: every start succeeds
  };
  const Run runs[] = {{1, 0}, {8, 0}, {8, 3}, {8, 1}};
  std::vector<std::string> models;
  std::vector<double> kappas;
  for (const Run& run : runs) {
    std::unique_ptr<FailingThreadStarts> failing;
    if (run.failingStart > 0) failing = std::make_unique<FailingThreadStarts>(run.failingStart);
    Training training(ProgramProfile::lumora().trainingCGrid);
    training.setThreads(run.threads);
    ASSERT_TRUE(training.trainingProblem(patterns, fixtures::quarters(patterns), features,
                                         fixtures::counts(patterns)));
    const fs::path file = temp.work() / ("model" + std::to_string(models.size()));
    ASSERT_TRUE(fixtures::writeOut(training.modelText(), file));
    models.push_back(readFileText(file));
    kappas.push_back(training.getBestKappa());
    if (failing) {
      EXPECT_EQ(failing->tried(), run.failingStart);
    }
  }
  for (std::size_t run = 1; run < models.size(); ++run) {
    EXPECT_EQ(kappas[run], kappas[0]) << "run " << run;
    EXPECT_EQ(models[run], models[0]) << "run " << run;
  }
}

// libsvm writes the model through a scratch file in the system's temporary
// folder: a training ended while it writes leaves none there.
TEST(TrainingTest, ATrainingEndedWhileWritingItsModelLeavesNoScratchFile) {
  const TemporaryHome temp;
  const fs::path scratch = temp.home() / "tmp";
  fs::create_directories(scratch);
  if (!takesUnnamedFiles(scratch)) GTEST_SKIP() << "the file system has no unnamed files";
  const Training::Patterns patterns = {fixtures::gaussianClass(1, 16, fixtures::centre(4, 4, 0.0f), 0.1f),
                                       fixtures::gaussianClass(2, 16, fixtures::centre(4, 4, 5.0f), 0.1f)};
  Training training(ProgramProfile::lumora().trainingCGrid);
  ASSERT_TRUE(training.trainingProblem(patterns, fixtures::quarters(patterns), 4, fixtures::counts(patterns)));
  const int status = runInFileSizeLimitedChild(16, [&] {
    setenv("TMPDIR", scratch.c_str(), 1);
    static_cast<void>(training.modelText());
  });
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
  EXPECT_TRUE(fs::is_empty(scratch));
}

TEST(TrainingTest, RefusesInconsistentInputAndAGridWhereNoPointScores) {
  const Training::Patterns patterns = {fixtures::gaussianClass(1, 8, fixtures::centre(2, 2, 0.0f), 0.5f),
                                       fixtures::gaussianClass(2, 8, fixtures::centre(2, 2, 3.0f), 0.5f)};
  const auto index = fixtures::quarters(patterns);
  const auto counts = fixtures::counts(patterns);
  {
    Training invalidGrid(std::vector<float>{-1.0f});
    EXPECT_FALSE(invalidGrid.trainingProblem(patterns, index, 2, counts));
    EXPECT_FALSE(invalidGrid.isTrained());
    EXPECT_FALSE(invalidGrid.modelText());
    EXPECT_FALSE(invalidGrid.meanDesvText());
  }
  Training training(ProgramProfile::lumora().trainingCGrid);
  EXPECT_FALSE(training.trainingProblem(patterns, index, 3, counts)) << "patterns shorter than nfeatures";
  EXPECT_FALSE(training.trainingProblem(patterns, {index[0], {0, 2, 4, 6, 9}}, 2, counts)) << "bounds past the class";
  EXPECT_FALSE(training.trainingProblem({patterns[0]}, {index[0]}, 2, {counts[0]})) << "one class";
  training.setLabels({0, 1, 2});
  EXPECT_FALSE(training.trainingProblem(patterns, index, 2, counts)) << "labels of three classes";
}

struct TrainedFolder {
  TemporaryHome temp;
  fs::path dir = temp.work() / "species";
  TrainedFolder() { fs::create_directories(dir); }
  std::string text(const std::string& file) const { return readFileText(dir / file); }
};

TEST(TrainingTest, DropsNonFinitePatternsAndTrainsAConstantFeature) {
  TrainedFolder folder;
  auto without = fixtures::gaussianClass(5, 20, fixtures::centre(features, 5, 0.0f), 0.5f, constantFeature);
  auto with = fixtures::gaussianClass(6, 20, fixtures::centre(features, 5, 3.0f), 0.5f, constantFeature);
  without[3][7] = std::numeric_limits<float>::quiet_NaN();
  with[0][1] = std::numeric_limits<float>::infinity();
  with.push_back(std::vector<float>(features - 1, 1.0f));

  OpticalClassifierZelvora classifier("", 0);
  classifier.setShuffleSeed(7);
  ASSERT_TRUE(classifier.trainClassifier2(folder.dir.string(), "svm_nucleous.dat", without, with, features));
  const std::string normalisation = folder.text("med_desv.dat");
  EXPECT_EQ(normalisation, folder.text("med_desv_nucleous.dat"));
  EXPECT_EQ(normalisation.find("nan"), std::string::npos);
  EXPECT_EQ(normalisation.find("inf"), std::string::npos);
  EXPECT_NE(normalisation.find("\n4 7 0\n"), std::string::npos) << normalisation;
  EXPECT_NE(folder.text("svm_nucleous.dat").find("label 0 1"), std::string::npos);
}

TEST(TrainingTest, SeededTrainingsWriteIdenticalFiles) {
  TrainedFolder folder;
  const auto a = fixtures::gaussianClass(8, 30, fixtures::centre(features, 5, 0.0f), 1.0f);
  const auto b = fixtures::gaussianClass(9, 30, fixtures::centre(features, 5, 1.0f), 1.0f);
  std::string runs[2];
  for (std::string& files : runs) {
    OpticalClassifierZelvora classifier("", 0);
    classifier.setShuffleSeed(2024);
    ASSERT_TRUE(classifier.trainClassifier2(folder.dir.string(), "svm_nucleous.dat", a, b, features));
    files = folder.text("svm_nucleous.dat") + folder.text("med_desv.dat");
  }
  EXPECT_EQ(runs[0], runs[1]);
}

TEST(TrainingTest, FailuresAreReportedAndKeepThePreviousNormalisation) {
  TrainedFolder folder;
  const auto a = fixtures::gaussianClass(8, 12, fixtures::centre(features, 5, 0.0f), 1.0f);
  const auto b = fixtures::gaussianClass(9, 12, fixtures::centre(features, 5, 2.0f), 1.0f);
  OpticalClassifierZelvora classifier("", 0);

  EXPECT_FALSE(classifier.trainClassifier2((folder.dir / "missing").string(), "svm_nucleous.dat", a, b, features))
      << "model cannot be saved";
  EXPECT_FALSE(fs::exists(folder.dir / "missing" / "med_desv.dat"));

  writeFileText(folder.dir / "med_desv.dat", "previous");
  auto fewUsable = b;
  for (std::size_t i = 3; i < fewUsable.size(); ++i) fewUsable[i][0] = std::nanf("");
  EXPECT_FALSE(classifier.trainClassifier2(folder.dir.string(), "svm_nucleous.dat", a, fewUsable, features))
      << "three usable patterns";
  EXPECT_FALSE(classifier.trainClassifier3(folder.dir.string(), "svm_stages.dat", a, b, {}, features))
      << "empty class";
  EXPECT_EQ(folder.text("med_desv.dat"), "previous");
  EXPECT_FALSE(fs::exists(folder.dir / "svm_nucleous.dat"));

  OpticalClassifier base("", 0);
  EXPECT_FALSE(base.trainClassifier2(folder.dir.string(), "svm_nucleous.dat", a, b, features));
}

// Cavitra's trainings of two and three classes write the model under the
// name given and its statistics as "med_desv.dat", nothing else.
TEST(TrainingTest, CavitrasTrainingsWriteTheModelAndMedDesv) {
  const auto a = fixtures::gaussianClass(31, 16, fixtures::centre(features, 5, 0.0f), 0.5f);
  const auto b = fixtures::gaussianClass(32, 16, fixtures::centre(features, 5, 3.0f), 0.5f);
  const auto c = fixtures::gaussianClass(33, 16, fixtures::centre(features, 5, 6.0f), 0.5f);
  OpticalClassifierCyst classifier("", 0);
  classifier.setShuffleSeed(5);
  for (const int classes : {2, 3}) {
    TrainedFolder folder;
    const std::string dir = folder.dir.string();
    ASSERT_TRUE(classes == 2 ? classifier.trainClassifier2(dir, "svm_cysts.dat", a, b, features)
                             : classifier.trainClassifier3(dir, "svm_cysts.dat", a, b, c, features));
    std::vector<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.dir))
      written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"med_desv.dat", "svm_cysts.dat"}));
    EXPECT_NE(folder.text("svm_cysts.dat").find(classes == 2 ? "nr_class 2\n" : "nr_class 3\n"), std::string::npos);
    std::vector<float> mean, deviation;
    OpticalClassifier::le_media_desv(dir + "/med_desv.dat", mean, deviation);
    EXPECT_EQ(mean.size(), static_cast<std::size_t>(features));
  }
}

// While a group collects them, trainings write nothing: the group puts all
// their files in place at once.
TEST(TrainingTest, CollectedTrainingsAreWrittenWhenTheirGroupIsCommitted) {
  TrainedFolder folder;
  const auto a = fixtures::gaussianClass(41, 12, fixtures::centre(features, 5, 0.0f), 0.5f);
  const auto b = fixtures::gaussianClass(42, 12, fixtures::centre(features, 5, 3.0f), 0.5f);
  const auto c = fixtures::gaussianClass(43, 12, fixtures::centre(features, 5, 6.0f), 0.5f);
  const std::string dir = folder.dir.string();
  OpticalClassifierZelvora classifier("", 0);
  FileGroupReplacement group;
  classifier.collectInto(&group);
  ASSERT_TRUE(classifier.trainClassifier2(dir, "svm_nucleous.dat", a, b, features));
  ASSERT_TRUE(classifier.trainClassifier3(dir, "svm_stages.dat", a, b, c, features));
  EXPECT_TRUE(fs::is_empty(folder.dir));
  ASSERT_TRUE(group.commit());
  for (const char* file : {"svm_nucleous.dat", "med_desv_nucleous.dat", "svm_stages.dat", "med_desv_stages.dat",
                           "med_desv.dat"})
    EXPECT_TRUE(fs::is_regular_file(folder.dir / file)) << file;

  classifier.collectInto(nullptr);
  fs::remove(folder.dir / "svm_nucleous.dat");
  ASSERT_TRUE(classifier.trainClassifier2(dir, "svm_nucleous.dat", a, b, features));
  EXPECT_TRUE(fs::is_regular_file(folder.dir / "svm_nucleous.dat"));
}

TEST(TrainingTest, TwoStageModelKeepsTheTrueStageLabels) {
  TrainedFolder folder;
  const auto stage3 = fixtures::gaussianClass(3, 12, fixtures::centre(features, 5, 0.0f), 0.5f);
  const auto stage2 = fixtures::gaussianClass(4, 12, fixtures::centre(features, 5, 3.0f), 0.5f);
  OpticalClassifierZelvora classifier("", 0);
  ASSERT_TRUE(classifier.trainClassifier2(folder.dir.string(), "svm_stages.dat", stage3, stage2, features, {2, 1}));
  EXPECT_NE(folder.text("svm_stages.dat").find("label 2 1"), std::string::npos);
}

}  // namespace
