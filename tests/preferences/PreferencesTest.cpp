#include <gtest/gtest.h>

#include "Preferences.h"
#include "ProgramProfile.h"

namespace {

TEST(Preferences, FreshObjectHoldsTheProgramDefaults) {
  Preferences p;
  EXPECT_EQ(p.getImagePath(), "/home");
  EXPECT_EQ(p.getXmlPath(), "/home");
  EXPECT_EQ(p.getCsvPath(), "/home");
  EXPECT_EQ(p.getAlgorithm(), 10);
  EXPECT_DOUBLE_EQ(p.getCalibration(), 1.0);
  EXPECT_FALSE(p.isCalibrationActive());
  EXPECT_EQ(p.getMinimumDiameter(), 200);
  EXPECT_EQ(p.getMaximumDiameter(), 800);
  EXPECT_EQ(p.getPointPreferences(), (std::vector<double>{0, 1, 0, 1, 5}));
  EXPECT_EQ(p.getCirclePreferences(), (std::vector<double>{0, 0, 1, 1, 5}));
  EXPECT_EQ(p.getRegionPreferences(), (std::vector<double>{0, 1, 0, 1, 5}));
  EXPECT_EQ(p.getClassPreferences(),
            (std::vector<std::vector<double>>{{0, 1, 1, 1}, {1, 1, 0, 1}, {1, 0, 0, 1}, {1, 0, 1, 1}}));
  EXPECT_EQ(p.getClassNamesPreferences(), (std::vector<std::string>{"Alveolo", "Vitelline", "Hydrated", "Void"}));
  EXPECT_EQ(p.getProblemsClaves(), Preferences::getProblemClaves());
  EXPECT_EQ(p.getProblemNames(), std::vector<std::string>(30, ""));
  EXPECT_EQ(p.getProblemActive(), -1);
  EXPECT_EQ(p.getPreferencesDir(), ".zelvora");
}

TEST(Preferences, ProblemKeyTableHasThirtyKeysWithoutWAndAE) {
  const std::vector<std::string> keys = Preferences::getProblemClaves();
  ASSERT_EQ(keys.size(), 30u);
  EXPECT_EQ(keys.front(), "A");
  EXPECT_EQ(keys[21], "V");
  EXPECT_EQ(keys[22], "X");
  EXPECT_EQ(keys[28], "AD");
  EXPECT_EQ(keys.back(), "AF");
}

TEST(Preferences, SetDiametersTakesOnlyAValidPair) {
  struct Case {
    int min, max;
    bool taken;
  };
  const Case cases[] = {
      {2, 100, false}, {50, 50, false}, {60, 40, false}, {-5, 100, false}, {3, 4, true}, {300, 900, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "setDiameters(" << c.min << ", " << c.max << ")");
    Preferences p;
    p.setDiameters(c.min, c.max);
    EXPECT_EQ(p.getMinimumDiameter(), c.taken ? c.min : 200);
    EXPECT_EQ(p.getMaximumDiameter(), c.taken ? c.max : 800);
  }
}

TEST(Preferences, CalibrationSwitch) {
  Preferences p;
  p.setCalibration(0.5);
  EXPECT_TRUE(p.isCalibrationActive());
  EXPECT_DOUBLE_EQ(p.getCalibration(), 0.5);

  p.setCalibrationActive(true);
  EXPECT_DOUBLE_EQ(p.getCalibration(), 0.5) << "switching on keeps the factor";

  p.setCalibrationActive(false);
  EXPECT_FALSE(p.isCalibrationActive());
  EXPECT_DOUBLE_EQ(p.getCalibration(), 1.0) << "switching off resets the factor";
}

TEST(Preferences, StyleSettersOverwriteLeadingEntriesAndKeepFive) {
  Preferences p;
  p.setPointPreferences({0.25, 0.5, 0.75});
  EXPECT_EQ(p.getPointPreferences(), (std::vector<double>{0.25, 0.5, 0.75, 1, 5}));

  p.setCirclePreferences({1, 1, 1, 0.5, 2, 99, 98});
  EXPECT_EQ(p.getCirclePreferences(), (std::vector<double>{1, 1, 1, 0.5, 2}));

  p.setRegionPreferences({});
  EXPECT_EQ(p.getRegionPreferences(), (std::vector<double>{0, 1, 0, 1, 5}));
}

TEST(Preferences, ResetToDefaultsRestoresTheSameObject) {
  Preferences p;
  Preferences* const holder = &p;
  p.setAlgorithm(3);
  p.setCalibration(0.25);
  p.setDiameters(10, 20);
  p.setImagePath("/data");
  p.setPointPreferences({0.5});
  p.setClassNamesPreferences({"one"});
  p.getProblemNames()[4] = "Species";
  p.setProblemActive(4);

  holder->resetToDefaults();

  Preferences fresh;
  EXPECT_EQ(p.getAlgorithm(), fresh.getAlgorithm());
  EXPECT_EQ(p.isCalibrationActive(), fresh.isCalibrationActive());
  EXPECT_DOUBLE_EQ(p.getCalibration(), fresh.getCalibration());
  EXPECT_EQ(p.getMinimumDiameter(), fresh.getMinimumDiameter());
  EXPECT_EQ(p.getImagePath(), fresh.getImagePath());
  EXPECT_EQ(p.getPointPreferences(), fresh.getPointPreferences());
  EXPECT_EQ(p.getClassNamesPreferences(), fresh.getClassNamesPreferences());
  EXPECT_EQ(p.getProblemNames(), fresh.getProblemNames());
  EXPECT_EQ(p.getProblemActive(), -1);
}

// A program whose profile lists no classes and no problems (as a second
// program may) gets an object with consistent, empty lists.
PreferencesDefaults withoutLists() {
  PreferencesDefaults d = PreferencesDefaults::lumora();
  d.classColours.clear();
  d.classNames.clear();
  d.problemKeys.clear();
  d.minimumDiameter = 40;
  d.settingsFolder = ".other";
  return d;
}

TEST(Preferences, DefaultsComeFromTheGivenSetOrTheProfileInForce) {
  const Preferences explicitDefaults(withoutLists());
  EXPECT_EQ(explicitDefaults.getMinimumDiameter(), 40);
  EXPECT_EQ(explicitDefaults.getPreferencesDir(), ".other");

  static ProgramProfile other = [] {
    ProgramProfile profile;
    profile.programName = "Other";
    profile.preferences = withoutLists();
    return profile;
  }();
  ProgramProfile::select(other);
  Preferences fromProfile;
  ProgramProfile::select(ProgramProfile::lumora());

  EXPECT_EQ(fromProfile.getMinimumDiameter(), 40);
  EXPECT_TRUE(fromProfile.getProblemsClaves().empty());
  EXPECT_TRUE(fromProfile.getProblemNames().empty());
  EXPECT_EQ(Preferences().getPreferencesDir(), ".zelvora");
}

}  // namespace
