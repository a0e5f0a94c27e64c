// The shipped default data of species "A": the program's loader accepts the
// classifiers, and on pictures painted with a seed of their own the detector
// finds the oocytes and the classifiers name their nucleus and stage. Also
// the road the training patterns take and the overlap measure the scores
// rest on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <opencv2/imgcodecs.hpp>

#include "AnnotatedTrainingSet.h"
#include "CellRegions.h"
#include "HeldOutEvaluation.h"
#include "OocytePainter.h"
#include "OpticalClassifierZelvora.h"
#include "Preferences.h"
#include "PreferencesDefaults.h"
#include "ProgramProfile.h"
#include "TemporaryHome.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace fs = std::filesystem;
using namespace defaultspecies;

namespace {

const std::string shippedSpecies = std::string(SHIPPED_DATA) + "/classifier/A";

// Not the generator's seed nor the one its own evaluation uses.
constexpr std::uint32_t heldOutSeed = 4711;

std::vector<int> pixelOutline(const synthetic::Cell& cell, bool columns) {
  std::vector<int> out;
  for (const cv::Point2d& p : OocytePainter::outline(cell))
    out.push_back(static_cast<int>(std::lround(columns ? p.x : p.y)));
  return out;
}

synthetic::Cell disc(cv::Point2d centre, double radius) {
  synthetic::Cell cell;
  cell.centre = centre;
  cell.axes = {radius, radius};
  return cell;
}

}  // namespace

TEST(DefaultSpecies, HeldOutOocytesAreFoundAndClassified) {
  TemporaryHome home;
  HeldOutEvaluation evaluation(shippedSpecies);
  ASSERT_TRUE(evaluation.isLoaded());
  OocytePainter painter(heldOutSeed);
  testing::internal::CaptureStdout();
  for (int k = 0; k < 5; k++) {
    const OocytePicture picture = painter.paint();
    const std::string path = (home.work() / ("heldout" + std::to_string(k) + ".png")).string();
    ASSERT_TRUE(cv::imwrite(path, picture.image));
    ASSERT_TRUE(evaluation.add(picture, path));
  }
  testing::internal::GetCapturedStdout();
  const EvaluationFigures& f = evaluation.figures();
  ASSERT_GE(f.cells, 25);
  EXPECT_GE(f.recall(), 0.9) << f.found << " of " << f.cells << " found";
  EXPECT_GE(f.nucleusAccuracy(), 0.9) << f.nucleusRight << " of " << f.found;
  EXPECT_GE(f.stageAccuracy(), 0.9) << f.stageRight << " of " << f.found;
}

// The start picture detected with the default settings and classified with
// the shipped species, by the classes the side panel's buttons use: every
// painted oocyte gets its own stage and nucleus mark.
TEST(DefaultSpecies, StartPictureCellsGetTheirPaintedStageAndNucleus) {
  const OocytePicture painted = OocytePainter(1).paint();
  ASSERT_EQ(painted.oocytes.size(), 7u);
  testing::internal::CaptureStdout();
  regionDetectorEdgesZelvora detector;
  detector.setFilename(std::string(SHIPPED_DATA) + "/" + ProgramProfile::lumora().startImage);
  const PreferencesDefaults defaults = PreferencesDefaults::lumora();
  const int minimum = defaults.minimumDiameter, maximum = defaults.maximumDiameter;
  detector.setDiameters(minimum + minimum / 2, maximum);
  detector.processImage(0);
  const int width = detector.getImageWidth(), height = detector.getImageHeight();
  const std::vector<std::unique_ptr<baseShape>> regions = [&] {
    const std::vector<baseShape*> kept = CellRegions::overlappingTest(
        CellRegions::fromContours(detector.getXCoordinates(), detector.getYCoordinates(), width, height), minimum,
        maximum, width, height);
    return std::vector<std::unique_ptr<baseShape>>(kept.begin(), kept.end());
  }();
  OpticalClassifierZelvora classifier("", 0);
  ASSERT_TRUE(classifier.loadClassifiersFrom(shippedSpecies));
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(regions.size(), painted.oocytes.size());

  for (const Oocyte& oocyte : painted.oocytes) {
    const auto covering = std::find_if(regions.begin(), regions.end(), [&](const std::unique_ptr<baseShape>& r) {
      return r->inside(oocyte.cell.centre.x, oocyte.cell.centre.y, width, height);
    });
    ASSERT_NE(covering, regions.end()) << "oocyte at " << oocyte.cell.centre;
    auto* region = dynamic_cast<regionShape*>(covering->get());
    ASSERT_NE(region, nullptr);
    const std::vector<int> classes =
        classifier.applyClassifiersPattern(detector.getColorTextureFeatures(region, width, height));
    ASSERT_EQ(classes.size(), 2u);
    EXPECT_EQ(classes[0], oocyte.nucleus ? 1 : 0) << "nucleus of the oocyte at " << oocyte.cell.centre;
    EXPECT_EQ(classes[1], oocyte.stage) << "stage of the oocyte at " << oocyte.cell.centre;
  }
}

TEST(DefaultSpecies, ProgramLoaderAcceptsTheShippedClassifiers) {
  TemporaryHome home;
  const fs::path species = home.home() / ".zelvora" / "A";
  fs::create_directories(species);
  for (const fs::directory_entry& file : fs::directory_iterator(shippedSpecies))
    fs::copy_file(file.path(), species / file.path().filename());
  Preferences preferences(PreferencesDefaults::lumora());
  preferences.getProblemNames().at(0) = "A";
  preferences.setProblemActive(0);
  OpticalClassifierZelvora classifier("", 0);
  testing::internal::CaptureStdout();
  classifier.setPreferences(&preferences);
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(classifier.isLoaded());
}

TEST(DefaultSpecies, EveryAnnotatedOocyteGivesOnePatternPerClassifier) {
  TemporaryHome home;
  OocytePainter painter(heldOutSeed);
  const OocytePicture picture = painter.paint();
  ASSERT_FALSE(picture.oocytes.empty());
  AnnotatedTrainingSet set(home.work().string(), 200, 800);
  testing::internal::CaptureStdout();
  ASSERT_TRUE(set.add(picture, "picture"));
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(fs::exists(home.work() / "picture.xml"));

  std::size_t stages[3] = {0, 0, 0}, withNucleus = 0;
  for (const Oocyte& oocyte : picture.oocytes) {
    stages[oocyte.stage - 1]++;
    withNucleus += oocyte.nucleus;
  }
  for (int s = 1; s <= 3; s++) EXPECT_EQ(set.stage(s).size(), stages[s - 1]) << "stage " << s;
  EXPECT_EQ(set.nucleus(true).size(), withNucleus);
  EXPECT_EQ(set.nucleus(false).size(), picture.oocytes.size() - withNucleus);
  for (const auto& pattern : set.nucleus(true)) EXPECT_EQ(pattern.size(), 25u);
}

TEST(DefaultSpecies, OverlapOfOutlineAndPaintedCell) {
  const cv::Size size(400, 300);
  const synthetic::Cell cell = disc({200, 150}, 100);
  EXPECT_GT(HeldOutEvaluation::overlap(cell, pixelOutline(cell, true), pixelOutline(cell, false), size), 0.97);
  // A concentric disc of half the area covers half of the union.
  const synthetic::Cell inner = disc({200, 150}, 100 / std::sqrt(2.0));
  EXPECT_NEAR(HeldOutEvaluation::overlap(cell, pixelOutline(inner, true), pixelOutline(inner, false), size), 0.5, 0.02);
  const synthetic::Cell apart = disc({60, 60}, 20);
  EXPECT_EQ(HeldOutEvaluation::overlap(cell, pixelOutline(apart, true), pixelOutline(apart, false), size), 0);
  EXPECT_EQ(HeldOutEvaluation::overlap(cell, {}, {}, size), 0);
}
