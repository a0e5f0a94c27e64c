// Each program, started as a user starts it, meets a preferences file that is
// a pipe nobody writes to: in its settings folder at start, and chosen with
// Load preferences file. It never opens the pipe, keeps the settings it has
// and says why. A settings file of a gigabyte is refused as soon, unread.

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ControllerFachade.h"
#include "Preferences.h"
#include "ScriptedUser.h"
#include "StartedProgramFiles.h"
#include "StartedProgramTest.h"
#include "WatchedPipe.h"

namespace {

namespace fs = std::filesystem;
constexpr auto look = &ScriptedUser::look;

// What a refused settings file must leave as it was.
struct Settings {
  bool calibrationActive = false;
  double calibration = 0;
  int minimumDiameter = 0;
  std::string imageFolder;
  bool operator==(const Settings& o) const {
    return calibrationActive == o.calibrationActive && calibration == o.calibration &&
           minimumDiameter == o.minimumDiameter && imageFolder == o.imageFolder;
  }
};

Settings settingsOf(const Preferences& preferences) {
  return {preferences.isCalibrationActive(), preferences.getCalibration(), preferences.getMinimumDiameter(),
          preferences.getImagePath()};
}

class SettingsFileTest : public StartedProgramTest {
 protected:
  SettingsFileTest() : StartedProgramTest(startedRunFolder, startedProgram) {}

  fs::path settingsFolder() const { return temp.home() / Preferences().getPreferencesDir(); }

  ScriptedUser::Step recordSettings(Settings& settings) {
    return look([this, &settings] { settings = settingsOf(*controller->getPreferences()); });
  }

  bool said(const std::string& text) const {
    return std::any_of(messages.begin(), messages.end(),
                       [&text](const std::string& message) { return message.find(text) != std::string::npos; });
  }
};

TEST_F(SettingsFileTest, APipeInTheSettingsFolderStartsTheProgramOnItsDefaultsAndSaysWhy) {
  fs::create_directories(settingsFolder());
  const WatchedPipe pipe(settingsFolder() / "preferences.xml");
  Settings atStart;
  EXPECT_EQ(run({recordSettings(atStart), choose("exit")}), 0);

  EXPECT_EQ(pipe.readersLetGo(), 0) << "the program opened the pipe";
  EXPECT_TRUE(atStart == settingsOf(Preferences()));
  EXPECT_TRUE(said("The preferences file " + pipe.path().string() +
                   " cannot be read: it is not a regular file. The program goes on with its default preferences."))
      << testing::PrintToString(messages);
}

TEST_F(SettingsFileTest, AHugeSettingsFileStartsTheProgramOnItsDefaultsAndSaysWhy) {
  fs::create_directories(settingsFolder());
  const fs::path file = settingsFolder() / "preferences.xml";
  // A gigabyte of zero bytes that takes no room on the disk.
  std::ofstream(file.string()).close();
  ASSERT_EQ(truncate(file.c_str(), off_t{1} << 30), 0);
  Settings atStart;
  EXPECT_EQ(run({recordSettings(atStart), choose("exit")}), 0);

  EXPECT_TRUE(atStart == settingsOf(Preferences()));
  EXPECT_TRUE(said("The preferences file " + file.string() +
                   " cannot be read: it is larger than 64 MiB, far larger than any preferences file the program "
                   "writes. The program goes on with its default preferences."))
      << testing::PrintToString(messages);
}

TEST_F(SettingsFileTest, LoadingAPipeSaysSoAndChangesNoSetting) {
  const WatchedPipe pipe(temp.home() / "settings.xml");
  Settings before, after;
  EXPECT_EQ(run({look([this] { controller->getPreferences()->setCalibration(0.5); }), recordSettings(before),
                 choose("draw"), ScriptedUser::answerChooser("Please choose a file", {pipe.path().string()}),
                 recordSettings(after),
                 choose("exit")}),
            0);

  EXPECT_EQ(pipe.readersLetGo(), 0) << "the program opened the pipe";
  EXPECT_TRUE(after == before);
  EXPECT_TRUE(said("The preferences file " + pipe.path().string() + " cannot be read: it is not a regular file."))
      << testing::PrintToString(messages);
}

}  // namespace
