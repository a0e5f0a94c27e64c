// A calibration comes back from the settings file and from an annotation file
// as the number that was saved, however small or long, and an ordinary one
// is still written with six decimals.

#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "ModelFachade.h"
#include "NumberText.h"
#include "TemporaryHome.h"
#include "circleShape.h"

namespace {

const std::vector<double> calibrations = {0.0000001, 1.0 / 3, 2.5e-12, 0.123456789, 1234.56789, 0.5, 1};

TEST(CalibrationRoundTrip, TheTextHoldsTheDigitsTheNumberNeedsAndNoMore) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : {Case{0.5, "0.500000"}, Case{1, "1.000000"}, Case{0.1, "0.100000"}, Case{1234.5, "1234.500000"},
                        Case{0.0000001, "0.0000001"}, Case{0.123456789, "0.123456789"}, Case{1.0 / 3, nullptr},
                        Case{DBL_MIN, nullptr}, Case{DBL_TRUE_MIN, nullptr}, Case{DBL_MAX, nullptr}}) {
    const std::string text = NumberText::formatRealExactly(c.value);
    EXPECT_EQ(NumberText::toDouble(text), c.value) << text;
    if (c.text != nullptr) {
      EXPECT_EQ(text, c.text);
    }
  }
}

TEST(CalibrationRoundTrip, TheSettingsFileGivesBackTheCalibrationSaved) {
  TemporaryHome temp;
  const std::string file = (temp.work() / "preferences.xml").string();
  for (double calibration : calibrations) {
    SCOPED_TRACE(calibration);
    Model::ModelFachade writer;
    writer.setCalibration(calibration);
    ASSERT_TRUE(writer.writePreferences(file));
    Model::ModelFachade reader;
    ASSERT_EQ(reader.readPreferencesXMLFile(file), "");
    EXPECT_TRUE(reader.isCalibrationActive());
    EXPECT_EQ(reader.getCalibration(), calibration);
  }
}

TEST(CalibrationRoundTrip, AnAnnotationFileGivesBackTheCalibrationSaved) {
  TemporaryHome temp;
  const std::string file = (temp.work() / "cells.xml").string();
  circleShape circle(20, 0.5, 0.5, 1, true, false, false, true, 0, 0, 0);
  for (double calibration : calibrations) {
    SCOPED_TRACE(calibration);
    Model::ModelFachade writer;
    writer.setImageProperties("cells.png", 1000, 500);
    writer.setCalibration(calibration);
    ASSERT_TRUE(writer.writePolygons(file, {&circle}));
    Model::ModelFachade reader;
    for (baseShape* shape : reader.readXML(file)) delete shape;
    EXPECT_TRUE(reader.isCalibrationActive());
    EXPECT_EQ(reader.getCalibration(), calibration);
  }
}

}  // namespace
