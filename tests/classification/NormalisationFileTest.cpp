#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <sstream>

#include "ClassificationFixtures.h"
#include "FileText.h"
#include "OpticalClassifier.h"
#include "TemporaryHome.h"
#include "ProgramProfile.h"
#include "Training.h"

namespace {

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<float> means;
  std::vector<float> deviations;
};

TEST(NormalisationFileTest, ReadsWholeTriplesAfterTheHeader) {
  const ParseCase cases[] = {
      {"header only", "input mean std\n", {}, {}},
      {"plain", "input mean std\n1 0.5 2\n2 -3 1e-07\n", {0.5f, -3}, {2, 1e-07f}},
      {"extra blanks, no final line feed", "input mean std\n  1\t0.5   2\n2 -3\n1e-07", {0.5f, -3}, {2, 1e-07f}},
      {"CRLF line ends", "input mean std\r\n1 0.5 2\r\n2 -3 4\r\n", {0.5f, -3}, {2, 4}},
      {"feature numbers are not checked", "input mean std\n7 1 2\n7 3 4\n", {1, 3}, {2, 4}},
      {"a partial last triple is dropped", "input mean std\n1 0.5 2\n2 -3\n", {0.5f}, {2}},
      {"reading stops at a value that is not a number", "input mean std\n1 0.5 2\n2 x 4\n3 1 1\n", {0.5f}, {2}},
      {"a decimal comma is not a number", "input mean std\n1 0,5 2\n", {}, {}},
  };
  TemporaryHome temp;
  for (const ParseCase& c : cases) {
    const auto file = temp.work() / "med_desv.dat";
    writeFileText(file, c.text);
    std::vector<float> means, deviations;
    OpticalClassifier::le_media_desv(file.string(), means, deviations);
    EXPECT_EQ(means, c.means) << c.name;
    EXPECT_EQ(deviations, c.deviations) << c.name;
  }
}

TEST(NormalisationFileTest, MissingFileReadsNothing) {
  std::vector<float> means, deviations;
  OpticalClassifier::le_media_desv("/nonexistent/med_desv.dat", means, deviations);
  EXPECT_TRUE(means.empty());
  EXPECT_TRUE(deviations.empty());
}

// Trains on two features under a German locale (decimal comma) and checks
// that both files use a point and that the process locale is left alone.
TEST(NormalisationFileTest, TrainingWritesFilesWithADecimalPointInAnyLocale) {
  TemporaryHome temp;
  const std::locale previousGlobal = std::locale::global(std::locale::classic());
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
  std::locale::global(std::locale("de_DE.UTF-8"));

  const Training::Patterns patterns = {fixtures::gaussianClass(1, 12, {0.25f, 10.5f}, 0.1f),
                                       fixtures::gaussianClass(2, 12, {1.75f, 12.5f}, 0.1f)};
  Training training(ProgramProfile::lumora().trainingCGrid);
  ASSERT_TRUE(training.trainingProblem(patterns, fixtures::quarters(patterns), 2, fixtures::counts(patterns)));
  const auto normalisation = temp.work() / "med_desv.dat";
  const auto model = temp.work() / "svm.dat";
  ASSERT_TRUE(fixtures::writeOut(training.meanDesvText(), normalisation));
  ASSERT_TRUE(fixtures::writeOut(training.modelText(), model));

  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "de_DE.UTF-8");
  std::setlocale(LC_ALL, "C");
  std::locale::global(previousGlobal);

  std::istringstream lines(readFileText(normalisation));
  std::string line;
  std::vector<std::string> read;
  while (std::getline(lines, line)) read.push_back(line);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0], "input mean std");
  EXPECT_EQ(read[1].rfind("1 ", 0), 0u);
  EXPECT_EQ(read[2].rfind("2 ", 0), 0u);
  EXPECT_EQ(readFileText(normalisation).find(','), std::string::npos);

  std::vector<float> means, deviations;
  OpticalClassifier::le_media_desv(normalisation.string(), means, deviations);
  ASSERT_EQ(means.size(), 2u);
  for (int j = 0; j < 2; ++j) {
    EXPECT_NEAR(means[j], training.getMeanFinal()[j], 1e-5 * std::abs(training.getMeanFinal()[j]));
    EXPECT_NEAR(deviations[j], training.getDesvFinal()[j], 1e-5 * training.getDesvFinal()[j]);
  }
  EXPECT_EQ(readFileText(model).find(','), std::string::npos);
  svm_model* loaded = OpticalClassifier::crea_svm(model.string());
  EXPECT_NE(loaded, nullptr);
  svm_free_and_destroy_model(&loaded);
}

}  // namespace
