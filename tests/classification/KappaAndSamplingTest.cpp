#include <gtest/gtest.h>

#include <cmath>

#include "OpticalClassifierZelvora.h"
#include "Training.h"

namespace {

struct KappaCase {
  const char* name;
  std::vector<std::vector<int>> confusion;
  double kappa;
};

TEST(CohenKappaTest, MatchesHandComputedValues) {
  const KappaCase cases[] = {
      {"perfect two classes", {{12, 0}, {0, 7}}, 100},
      {"perfect three classes", {{5, 0, 0}, {0, 3, 0}, {0, 0, 9}}, 100},
      // pa 35, pe (25 * 30 + 25 * 20) / 50 = 25: (35 - 25) / (50 - 25).
      {"two classes, partial", {{20, 5}, {10, 15}}, 40},
      // pa 32, pe (12 * 11 + 12 * 12 + 16 * 17) / 40 = 13.7.
      {"three classes, partial", {{10, 2, 0}, {1, 8, 3}, {0, 2, 14}}, (32 - 13.7) * 100 / (40 - 13.7)},
      {"everything predicted as one class", {{6, 0}, {6, 0}}, 0},
      {"always wrong", {{0, 5}, {5, 0}}, -100},
  };
  for (const KappaCase& c : cases) EXPECT_NEAR(Training::cohenKappa(c.confusion), c.kappa, 1e-4) << c.name;
}

TEST(CohenKappaTest, IsNotANumberWhenChanceAgreementIsTotal) {
  // Only one class present and always predicted: no agreement beyond chance
  // can be measured.
  EXPECT_TRUE(std::isnan(Training::cohenKappa({{8, 0}, {0, 0}})));
}

TEST(SamplingTest, QuarterBoundsGiveTheRemainderToTheLastQuarter) {
  const std::pair<int, std::vector<int>> cases[] = {
      {8, {0, 2, 4, 6, 8}}, {10, {0, 2, 4, 6, 10}}, {11, {0, 2, 4, 6, 11}}, {4, {0, 1, 2, 3, 4}}};
  for (const auto& [n, bounds] : cases) EXPECT_EQ(OpticalClassifier::computeIndex25Percentage(n), bounds) << n;
}

TEST(SamplingTest, BaseScalesDownOnlyAboveAThousandPatterns) {
  const OpticalClassifier base("", 0);
  EXPECT_EQ(base.numberPatternsFinal({600, 400}), (std::vector<int>{600, 400}));
  EXPECT_EQ(base.numberPatternsFinal({1500, 500}), (std::vector<int>{750, 250}));
}

TEST(SamplingTest, SpeciesClassifierCapsEachClassAtItsShareOfAThousand) {
  const OpticalClassifierZelvora classifier("", 0);
  EXPECT_EQ(classifier.numberPatternsFinal({800, 40}), (std::vector<int>{500, 40}));
  EXPECT_EQ(classifier.numberPatternsFinal({400, 400, 10}), (std::vector<int>{333, 333, 10}));
  EXPECT_EQ(classifier.numberPatternsFinal({20, 30}), (std::vector<int>{20, 30}));
}

TEST(SamplingTest, EachModelNamesItsOwnNormalisationFile) {
  EXPECT_EQ(OpticalClassifier::normalisationFileFor("svm_nucleous.dat"), "med_desv_nucleous.dat");
  EXPECT_EQ(OpticalClassifier::normalisationFileFor("svm_stages.dat"), "med_desv_stages.dat");
  EXPECT_EQ(OpticalClassifier::normalisationFileFor("model.dat"), "med_desv_model.dat");
}

}  // namespace
