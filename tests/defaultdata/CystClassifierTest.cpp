// Cavitra's shipped cyst classifier: the files load, the answers agree with
// libsvm's own predictor on the same normalised patterns, held-out painted
// sections score well, and unusable files or regions never answer "cyst".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <sstream>

#include "CystCandidates.h"
#include "FileText.h"
#include "HeldOutCysts.h"
#include "OpticalClassifierCyst.h"
#include "ProfileSelection.h"
#include "TemporaryHome.h"
#include "Training.h"

namespace fs = std::filesystem;
using namespace defaultcyst;

namespace {

const fs::path shipped = fs::path(SHIPPED_DATA) / OpticalClassifierCyst::defaultFolder;

// Neither the generator's seed nor the one of its own evaluation.
constexpr std::uint32_t heldOutSeed = 4711;

class CystClassifierTest : public ::testing::Test, CavitraSelected {
 protected:
  // A painted section saved in the working folder, with its candidates.
  std::vector<Candidate> paintedCandidates(const std::string& name, std::uint32_t seed) {
    synthetic::SectionPainter painter(seed);
    section = SectionSettings::paint(painter);
    picture = (temp.work() / name).string();
    EXPECT_TRUE(cv::imwrite(picture, section.image));
    return CystCandidates::collect(section, picture, SectionSettings::minDiameter);
  }

  TemporaryHome temp;
  synthetic::SectionPicture section;
  std::string picture;
};

TEST_F(CystClassifierTest, ShippedFilesHoldTwoClassModelsAnd54And7Triples) {
  OpticalClassifierCyst classifier("", 0);
  ASSERT_TRUE(classifier.loadClassifiers(shipped.string()));
  const std::vector<std::pair<std::string, std::size_t>> statistics = {
      {OpticalClassifierCyst::textureStatisticsFile, 54}, {OpticalClassifierCyst::shapeStatisticsFile, 7}};
  for (const auto& [file, triples] : statistics) {
    std::vector<float> mean, deviation;
    OpticalClassifier::le_media_desv((shipped / file).string(), mean, deviation);
    EXPECT_EQ(mean.size(), triples) << file;
    EXPECT_EQ(deviation.size(), triples) << file;
  }
  for (const char* file : {OpticalClassifierCyst::textureModelFile, OpticalClassifierCyst::shapeModelFile}) {
    const std::string text = readFileText(shipped / file);
    EXPECT_NE(text.find("nr_class 2\n"), std::string::npos) << file;
    EXPECT_NE(text.find("label 0 1\n"), std::string::npos) << file;
  }
}

TEST_F(CystClassifierTest, AnswersAgreeWithSvmPredictOnTheSameNormalisedPatterns) {
  const std::vector<Candidate> candidates = paintedCandidates("section.png", heldOutSeed);
  ASSERT_GE(candidates.size(), 5u);
  OpticalClassifierCyst classifier("", 0);
  ASSERT_TRUE(classifier.loadClassifiers(shipped.string()));
  classifier.setImageName(picture);
  std::vector<float> mean, deviation;
  OpticalClassifier::le_media_desv((shipped / OpticalClassifierCyst::textureStatisticsFile).string(), mean, deviation);

  // The patterns in libsvm's text format, features numbered from 0.
  TextureLBP texture(picture, 2);
  std::ostringstream patterns;
  patterns.precision(17);
  std::vector<int> answers;
  for (const Candidate& candidate : candidates) {
    const std::vector<float> x = texture.computelbp54(candidate.region.get());
    patterns << (candidate.cyst ? 1 : 0);
    for (std::size_t i = 0; i < x.size(); ++i) {
      const float value = deviation[i] != 0 ? (x[i] - mean[i]) / deviation[i] : x[i];
      patterns << " " << i << ":" << static_cast<double>(value);
    }
    patterns << "\n";
    answers.push_back(classifier.applyClassifierRegion(candidate.region.get()));
  }
  const fs::path input = temp.work() / "patterns.txt", output = temp.work() / "predicted.txt";
  writeFileText(input, patterns.str());
  const std::string command = "svm-predict '" + input.string() + "' '" + (shipped / OpticalClassifierCyst::textureModelFile).string() +
                              "' '" + output.string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::istringstream predicted(readFileText(output));
  for (std::size_t k = 0; k < answers.size(); ++k) {
    int label = -1;
    ASSERT_TRUE(predicted >> label);
    EXPECT_EQ(answers[k], label == OpticalClassifierCyst::cystLabel ? 1 : 0) << "candidate " << k;
  }
}

TEST_F(CystClassifierTest, HeldOutPaintedSectionsScoreWell) {
  OpticalClassifierCyst classifier("", 0);
  ASSERT_TRUE(classifier.loadClassifiers(shipped.string()));
  HeldOutScore score;
  ASSERT_TRUE(scoreHeldOut(classifier, heldOutSeed, 4, temp.work().string(), score));
  EXPECT_GE(score.confusion[1][0] + score.confusion[1][1], 10);
  EXPECT_GE(score.confusion[0][0] + score.confusion[0][1], 10);
  EXPECT_GE(score.accuracy(), 0.9);
  EXPECT_GE(score.kappa(), 80);
}

// Files the classifier cannot trust: it says so and never answers "cyst".
TEST_F(CystClassifierTest, UnusableFilesLoadNothingAndAnswerNotACyst) {
  const std::vector<Candidate> candidates = paintedCandidates("section.png", heldOutSeed);
  const auto cyst = std::find_if(candidates.begin(), candidates.end(), [](const Candidate& c) { return c.cyst; });
  ASSERT_NE(cyst, candidates.end());

  auto triples = [](int count) {
    std::string text = "input mean std\n";
    for (int i = 1; i <= count; ++i) text += std::to_string(i) + " 0.5 0.1\n";
    return text;
  };
  const std::string texture = OpticalClassifierCyst::textureModelFile;
  const std::string statistics = OpticalClassifierCyst::textureStatisticsFile;
  // The shipped texture model with one header line changed.
  const auto shippedTextureWith = [&](const std::string& line, const std::string& changed) {
    std::string text = readFileText(shipped / texture);
    return text.replace(text.find(line), line.size(), changed);
  };
  const std::vector<std::pair<std::string, std::string>> damage = {
      {texture, ""},                                   // no model file
      {texture, "svm_type c_svc\nkernel_type rbf\n"},  // a model cut short
      {texture, shippedTextureWith("label 0 1", "label 5 9")},                   // classes it does not know
      {texture, shippedTextureWith("svm_type c_svc", "svm_type epsilon_svr")},  // a regression
      {statistics, triples(53)},                       // a feature without statistics
      {statistics, triples(55)},                       // statistics of another pattern
      {statistics, "input mean std\n1 0.5\n"},          // a broken triple
  };
  for (const auto& [file, content] : damage) {
    const fs::path folder = temp.work() / "damaged";
    fs::remove_all(folder);
    fs::copy(shipped, folder);
    if (content.empty())
      fs::remove(folder / file);
    else
      writeFileText(folder / file, content);
    OpticalClassifierCyst classifier("", 0);
    classifier.loadClassifiers(folder.string());
    EXPECT_FALSE(classifier.isTextureLoaded()) << file << ": " << content;
    classifier.setImageName(picture);
    EXPECT_EQ(classifier.applyClassifierRegion(cyst->region.get()), 0) << file;
  }
  // The shipped files themselves do find it.
  OpticalClassifierCyst classifier("", 0);
  ASSERT_TRUE(classifier.loadClassifiers(shipped.string()));
  classifier.setImageName(picture);
  EXPECT_EQ(classifier.applyClassifierRegion(cyst->region.get()), 1);
}

// Nothing measured is nothing to call a cyst.
TEST_F(CystClassifierTest, RegionsWithoutMeasuredPixelsAreNotCysts) {
  paintedCandidates("section.png", heldOutSeed);
  OpticalClassifierCyst classifier("", 0);
  ASSERT_TRUE(classifier.loadClassifiers(shipped.string()));
  regionShape sliver(0, true, false, false, false, 0, 0, 0);
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{0.1, 0.1}, {0.5, 0.5}, {0.5004, 0.5}})
    sliver.addLinePoint(x, y);
  regionShape nowhere(0, true, false, false, false, 0, 0, 0);
  // Before any picture is loaded, a null region, and a region in which no
  // pixel is counted.
  EXPECT_EQ(classifier.applyClassifierRegion(&sliver), 0);
  classifier.setImageName(picture);
  EXPECT_EQ(classifier.applyClassifierRegion(nullptr), 0);
  EXPECT_EQ(classifier.applyClassifierRegion(&sliver), 0);
  EXPECT_EQ(classifier.applyClassifierRegion(&nowhere), 0);
  EXPECT_EQ(classifier.applyClassifierRegionShape(nullptr), 0);
  EXPECT_THROW(classifier.setImageName("/no/such/picture.png"), int);
}

TEST(CystTraining, SearchesCavitrasTwentyValuesOfC) {
  const std::vector<float> c = Training(ProgramProfile::cavitra().trainingCGrid).getC();
  ASSERT_EQ(c.size(), 20u);
  EXPECT_EQ(c.front(), 16384.0f);
  EXPECT_EQ(c[15], 0.5f);
  EXPECT_EQ(c.back(), 0.0312f);
  EXPECT_EQ(Training(ProgramProfile::lumora().trainingCGrid).getC().size(), 11u);
}

}  // namespace
