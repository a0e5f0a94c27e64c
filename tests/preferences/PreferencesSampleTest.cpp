#include <gtest/gtest.h>

#include "PreferencesSample.h"

namespace {

TEST(PreferencesSample, CopiesTheDiameterLimitsOnlyAtConstruction) {
  Preferences p;
  p.setDiameters(30, 300);
  PreferencesSample sample(&p);
  EXPECT_EQ(sample.getMinimumDiameter(), 30);
  EXPECT_EQ(sample.getMaximumDiameter(), 300);

  p.setDiameters(40, 400);
  EXPECT_EQ(sample.getMinimumDiameter(), 30);

  sample.setMinimumDiameter(5);
  EXPECT_EQ(p.getMinimumDiameter(), 40) << "the run's limits are its own";
}

TEST(PreferencesSample, OwnFieldsStartWithTheirDefaults) {
  Preferences p;
  PreferencesSample sample(&p);
  EXPECT_EQ(sample.getCSVFile(), "");
  EXPECT_TRUE(sample.isHistogramActive());
  EXPECT_EQ(sample.getHistogramStep(), 10);
  EXPECT_TRUE(sample.getImagesFiles().empty());
  EXPECT_FALSE(sample.isProcessDir());
  EXPECT_EQ(sample.getTypeImages(), 0);
  EXPECT_TRUE(sample.getParameters().empty());
}

TEST(PreferencesSample, FoldersCalibrationAndProblemAreThoseOfTheCurrentPreferences) {
  Preferences p;
  PreferencesSample sample(&p);

  sample.setImagePath("/images");
  sample.setXmlPath("/xml");
  sample.setCSVPath("/csv");
  sample.setProblemSelected(2);
  sample.setCalibration(0.5);
  EXPECT_EQ(p.getImagePath(), "/images");
  EXPECT_EQ(p.getXmlPath(), "/xml");
  EXPECT_EQ(p.getCsvPath(), "/csv");
  EXPECT_EQ(p.getProblemActive(), 2);
  EXPECT_TRUE(p.isCalibrationActive());
  EXPECT_DOUBLE_EQ(p.getCalibration(), 0.5);

  p.getProblemNames()[2] = "Species";
  p.setCalibrationActive(false);
  EXPECT_EQ(sample.getProblemNames()[2], "Species");
  EXPECT_EQ(sample.getCSVPath(), "/csv");
  EXPECT_FALSE(sample.isCalibrationActive());
  EXPECT_DOUBLE_EQ(sample.getCalibration(), 1.0);
}

}  // namespace
