#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ControllerFachade.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "ProfileSelection.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

// A working folder with the program's default files; the default settings
// file marks itself by a calibration of 0.25.
class SettingsFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Model::ModelFachade writer;
    writer.setCalibration(0.25);
    ASSERT_TRUE(writer.writePreferences((temp.work() / "preferences.xml").string()));
    temp.putWorkFile("classifier/A/med_desv.dat", "default features");
    temp.putWorkFile("classifier/A/svm_nucleous.dat", "default nucleus");
    temp.putWorkFile("classifier/A/svm_stages.dat", "default stages");
  }

  fs::path settings() const { return temp.home() / ".zelvora"; }

  TemporaryHome temp;
};

TEST_F(SettingsFolderTest, FirstStartCreatesTheFolderAndSpeciesAAndReadsTheDefaults) {
  ControllerFachade controller;
  controller.loadPreferences(10);
  EXPECT_TRUE(fs::is_regular_file(settings() / "preferences.xml"));
  for (const char* file : {"med_desv.dat", "svm_nucleous.dat", "svm_stages.dat"})
    EXPECT_TRUE(fs::is_regular_file(settings() / "A" / file)) << file;
  EXPECT_TRUE(controller.isCalibrationActive());
  EXPECT_DOUBLE_EQ(controller.getCalibration(), 0.25);
}

TEST_F(SettingsFolderTest, FolderWithoutPreferencesIsFilledWithoutOverwritingAClassifier) {
  fs::create_directories(settings() / "A");
  std::ofstream(settings() / "A" / "svm_stages.dat") << "trained stages";
  ControllerFachade controller;
  controller.loadPreferences(10);
  EXPECT_TRUE(fs::is_regular_file(settings() / "preferences.xml"));
  EXPECT_EQ(readFileText(settings() / "A" / "svm_stages.dat"), "trained stages");
  EXPECT_EQ(readFileText(settings() / "A" / "svm_nucleous.dat"), "default nucleus");
  EXPECT_DOUBLE_EQ(controller.getCalibration(), 0.25);
}

TEST_F(SettingsFolderTest, ExistingPreferencesAreReadAndNothingIsCopied) {
  fs::create_directories(settings());
  Model::ModelFachade own;
  own.setCalibration(2.0);
  ASSERT_TRUE(own.writePreferences((settings() / "preferences.xml").string()));
  ControllerFachade controller;
  controller.loadPreferences(10);
  EXPECT_DOUBLE_EQ(controller.getCalibration(), 2.0);
  EXPECT_FALSE(fs::exists(settings() / "A"));
}

TEST_F(SettingsFolderTest, ResetThenStartLeavesAWorkingSpeciesA) {
  {
    ControllerFachade first;
    first.loadPreferences(10);
    std::ofstream(settings() / "A" / "svm_stages.dat") << "trained stages";
    first.removePreferences();
  }
  EXPECT_TRUE(fs::is_directory(settings()));
  EXPECT_TRUE(fs::is_empty(settings()));

  ControllerFachade next;
  next.loadPreferences(10);
  EXPECT_EQ(readFileText(settings() / "A" / "svm_stages.dat"), "default stages");
  EXPECT_DOUBLE_EQ(next.getCalibration(), 0.25);
}

TEST_F(SettingsFolderTest, RemovePreferencesTouchesNothingOutsideTheSettingsFolder) {
  std::ofstream(temp.home() / "thesis.txt") << "keep";
  ControllerFachade controller;
  controller.loadPreferences(10);
  controller.removePreferences();
  EXPECT_EQ(readFileText(temp.home() / "thesis.txt"), "keep");
}

// Cavitra ships no settings: its folder is made empty and a preferences file
// is read only when the user has saved one.
class CavitraSettingsFolderTest : public ::testing::Test, CavitraSelected {
 protected:
  void SetUp() override {
    // Files of a run folder that Cavitra must not copy.
    temp.putWorkFile("preferences.xml", "not Cavitra's");
    temp.putWorkFile("classifier/A/med_desv.dat", "default features");
  }

  fs::path settings() const { return temp.home() / ".cavitra"; }

  TemporaryHome temp;
};

TEST_F(CavitraSettingsFolderTest, FirstStartCreatesAnEmptyFolderAndKeepsTheDefaults) {
  ControllerFachade controller;
  testing::internal::CaptureStdout();
  controller.loadPreferences(4);
  const std::string trace = testing::internal::GetCapturedStdout();
  EXPECT_NE(trace.find("ModelFachade::ModelFachade(): homePath: " + temp.home().string() + "\n Directory: "),
            std::string::npos)
      << trace;
  EXPECT_TRUE(fs::is_directory(settings()));
  EXPECT_TRUE(fs::is_empty(settings()));
  EXPECT_FALSE(fs::exists(temp.home() / ".zelvora"));
  EXPECT_EQ(controller.getPreferences()->getMinimumDiameter(), 40);
  EXPECT_FALSE(controller.isCalibrationActive());
}

TEST_F(CavitraSettingsFolderTest, SavedPreferencesAreReadAndAResetEmptiesTheFolder) {
  fs::create_directories(settings());
  {
    Model::ModelFachade own;
    own.setCalibration(2.0);
    own.getPreferences()->setDiameters(60, 400);
    ASSERT_TRUE(own.writePreferences((settings() / "preferences.xml").string()));
  }
  ControllerFachade controller;
  controller.loadPreferences(4);
  EXPECT_DOUBLE_EQ(controller.getCalibration(), 2.0);
  EXPECT_EQ(controller.getPreferences()->getMinimumDiameter(), 60);

  controller.removePreferences();
  EXPECT_TRUE(fs::is_directory(settings()));
  EXPECT_TRUE(fs::is_empty(settings()));
  ControllerFachade next;
  next.loadPreferences(4);
  EXPECT_TRUE(fs::is_empty(settings()));
  EXPECT_FALSE(next.isCalibrationActive());
}

}  // namespace
