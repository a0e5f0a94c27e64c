// Files that belong together (a model and its statistics) are replaced all
// together or not at all.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "FileGroupReplacement.h"
#include "FileText.h"
#include "SaveObstacles.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

class FileGroupReplacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, text] : old) writeFileText(temp.work() / name, text);
  }

  // The new contents of every file, the middle one longer than a block.
  FileGroupReplacement group() const {
    FileGroupReplacement files;
    files.add((temp.work() / "model.dat").string(), "new model");
    files.add((temp.work() / "statistics.dat").string(), std::string(5000, 's'));
    files.add((temp.work() / "shared.dat").string(), "new shared");
    return files;
  }

  TemporaryHome temp;
  const std::map<std::string, std::string> old = {
      {"model.dat", "old model"}, {"statistics.dat", "old statistics"}, {"shared.dat", "old shared"}};
};

TEST_F(FileGroupReplacementTest, EveryFileTakesItsNewContents) {
  FileGroupReplacement files = group();
  files.add((temp.work() / "shared.dat").string(), "newer shared");
  ASSERT_TRUE(files.commit());
  EXPECT_EQ(readFileText(temp.work() / "model.dat"), "new model");
  EXPECT_EQ(readFileText(temp.work() / "statistics.dat"), std::string(5000, 's'));
  EXPECT_EQ(readFileText(temp.work() / "shared.dat"), "newer shared");
  EXPECT_TRUE(temporariesLeftIn(temp.work()).empty());
}

TEST_F(FileGroupReplacementTest, OneFileThatCannotBeReplacedKeepsThemAll) {
  for (const SaveObstacle& obstacle : saveObstacles()) {
    SetUp();
    const fs::path blocked = temp.work() / "statistics.dat";
    FileGroupReplacement files = group();
    bool committed = true;
    const auto start = std::chrono::steady_clock::now();
    {
      const auto inForce = obstacle.place(blocked);
      committed = files.commit();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << obstacle.name;
    EXPECT_FALSE(committed) << obstacle.name;
    EXPECT_EQ(files.failedTarget(), blocked.string()) << obstacle.name;
    for (const auto& [name, text] : old)
      EXPECT_TRUE(untouched(temp.work() / name, text)) << obstacle.name << " " << name;
    EXPECT_TRUE(temporariesLeftIn(temp.work()).empty()) << obstacle.name;
    fs::remove_all(blocked);
  }
}

}  // namespace
