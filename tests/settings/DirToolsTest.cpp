#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "DirTools.h"
#include "FileText.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

TEST(DirToolsTest, EmptyPathsAreRefusedWithoutTouchingTheDisk) {
  TemporaryHome temp;
  DirTools tools;
  EXPECT_FALSE(tools.existDir(""));
  EXPECT_FALSE(tools.existFile(""));
  EXPECT_FALSE(tools.createDir(""));
  EXPECT_FALSE(tools.removeDir(""));
  EXPECT_FALSE(tools.copyFiles(""));
  EXPECT_FALSE(tools.copyFile("", "x", "y"));
}

TEST(DirToolsTest, FolderAndFileTestsTellThemApart) {
  TemporaryHome temp;
  DirTools tools;
  temp.putWorkFile("file.txt", "x");
  const std::string folder = temp.work().string();
  const std::string file = (temp.work() / "file.txt").string();
  EXPECT_TRUE(tools.existDir(folder));
  EXPECT_FALSE(tools.existFile(folder));
  EXPECT_TRUE(tools.existFile(file));
  EXPECT_FALSE(tools.existDir(file));
  EXPECT_FALSE(tools.existDir(folder + "/missing"));
  EXPECT_FALSE(tools.existFile(folder + "/missing"));
}

TEST(DirToolsTest, CreateDirMakesOneLevelAndAcceptsAnExistingFolder) {
  TemporaryHome temp;
  DirTools tools;
  const std::string folder = (temp.home() / "settings").string();
  EXPECT_TRUE(tools.createDir(folder));
  EXPECT_TRUE(tools.createDir(folder));
  EXPECT_FALSE(tools.createDir((temp.home() / "missing" / "child").string()));
}

TEST(DirToolsTest, HomePathRules) {
  TemporaryHome temp;
  EXPECT_EQ(DirTools().getHomePath(), temp.home().string());

  const char* previousHome = std::getenv("HOME");
  const std::string savedHome = previousHome ? previousHome : "";
  setenv("HOME", "/some/home", 1);
  // The drive variables win only when they make an existing absolute folder;
  // otherwise they would create the settings folder relative to the run folder.
  const std::string homeParent = temp.home().parent_path().string();
  const struct {
    const char* drive;
    std::string path;
    std::string expected;
  } cases[] = {
      {"", temp.home().string(), temp.home().string()},
      {"C:", "\\Users\\x", "/some/home"},
      {"", "relative/home", "/some/home"},
      {"", (temp.home() / "missing").string(), "/some/home"},
      {"/", homeParent.substr(1) + "/home", temp.home().string()},
  };
  for (const auto& c : cases) {
    setenv("HOMEDRIVE", c.drive, 1);
    setenv("HOMEPATH", c.path.c_str(), 1);
    EXPECT_EQ(DirTools().getHomePath(), c.expected) << c.drive << c.path;
  }

  // Without the drive variables the home folder comes from $HOME.
  unsetenv("HOMEDRIVE");
  EXPECT_EQ(DirTools().getHomePath(), "/some/home");
  // And from the password entry when $HOME is missing too: never the root.
  unsetenv("HOME");
  EXPECT_FALSE(DirTools().getHomePath().empty());
  if (previousHome) setenv("HOME", savedHome.c_str(), 1);
}

TEST(DirToolsTest, CopyFilesFillsTheSettingsFolderAndKeepsWhatIsThere) {
  TemporaryHome temp;
  temp.putWorkFile("preferences.xml", "defaults");
  temp.putWorkFile("classifier/A/med_desv.dat", "default features");
  temp.putWorkFile("classifier/A/svm_nucleous.dat", "default nucleus");
  temp.putWorkFile("classifier/A/svm_stages.dat", "default stages");
  temp.putWorkFile("classifier/A/med_desv_stages.dat", "stage features");
  const fs::path settings = temp.home() / ".zelvora";
  fs::create_directories(settings / "A");
  std::ofstream(settings / "A" / "svm_stages.dat") << "trained stages";

  EXPECT_TRUE(DirTools().copyFiles(".zelvora"));
  EXPECT_EQ(readFileText(settings / "preferences.xml"), "defaults");
  EXPECT_EQ(readFileText(settings / "A" / "med_desv.dat"), "default features");
  EXPECT_EQ(readFileText(settings / "A" / "svm_nucleous.dat"), "default nucleus");
  EXPECT_EQ(readFileText(settings / "A" / "svm_stages.dat"), "trained stages");
  EXPECT_EQ(readFileText(settings / "A" / "med_desv_stages.dat"), "stage features");
  EXPECT_FALSE(fs::exists(settings / "A" / "med_desv_nucleous.dat"));
}

TEST(DirToolsTest, CopyFilesReportsAMissingSpeciesFolder) {
  TemporaryHome temp;
  temp.putWorkFile("preferences.xml", "defaults");
  fs::create_directories(temp.home() / ".zelvora");
  EXPECT_FALSE(DirTools().copyFiles(".zelvora"));
  EXPECT_TRUE(fs::exists(temp.home() / ".zelvora" / "preferences.xml"));
}

TEST(DirToolsTest, RemoveDirRemovesTheSettingsFolderOnly) {
  TemporaryHome temp;
  DirTools tools;
  const fs::path settings = temp.home() / ".zelvora";
  fs::create_directories(settings / "A");
  std::ofstream(settings / "A" / "model") << "x";
  std::ofstream(temp.home() / "keep") << "x";

  for (const std::string& refused : {std::string("/"), temp.home().string(), temp.home().string() + "/",
                                     (settings / "..").string(), temp.home().parent_path().string()}) {
    EXPECT_FALSE(tools.removeDir(refused)) << refused;
  }
  EXPECT_TRUE(fs::exists(temp.home() / "keep"));

  EXPECT_TRUE(tools.removeDir(settings.string()));
  EXPECT_FALSE(fs::exists(settings));
  EXPECT_TRUE(fs::exists(temp.home() / "keep"));
}
