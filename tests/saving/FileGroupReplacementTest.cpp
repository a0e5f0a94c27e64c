// Files that belong together (a model and its statistics) are replaced all
// together or not at all.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "FileGroupReplacement.h"
#include "FileText.h"
#include "SaveObstacles.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

// Another file bound over a file: that file stays a regular, writable file,
// but it can be neither renamed over nor linked or renamed aside, not even by
// the superuser, until it is unbound.
class BoundFile {
 public:
  BoundFile(const fs::path& other, const fs::path& file) : file(file) {
    bound = mount(other.c_str(), file.c_str(), nullptr, MS_BIND, nullptr) == 0;
  }
  ~BoundFile() {
    if (bound) umount(file.c_str());
  }
  BoundFile(const BoundFile&) = delete;
  BoundFile& operator=(const BoundFile&) = delete;

  bool isBound() const { return bound; }

 private:
  fs::path file;
  bool bound = false;
};

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

// The last file cannot be put in place once the others are: they take their
// old contents again.
TEST_F(FileGroupReplacementTest, ARenameThatFailsPutsBackTheFilesAlreadyReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "binding a file over another needs the superuser";
  const fs::path blocked = temp.work() / "shared.dat";
  const fs::path other = temp.home() / "other.dat";
  writeFileText(other, "old shared");
  FileGroupReplacement files = group();
  bool committed = true;
  {
    const BoundFile bound(other, blocked);
    if (!bound.isBound()) GTEST_SKIP() << "cannot bind a file: " << std::strerror(errno);
    committed = files.commit();
  }
  EXPECT_FALSE(committed);
  EXPECT_EQ(files.failedTarget(), blocked.string());
  EXPECT_FALSE(files.partlyReplaced());
  for (const auto& [name, text] : old) EXPECT_TRUE(untouched(temp.work() / name, text)) << name;
  EXPECT_TRUE(temporariesLeftIn(temp.work()).empty());
}

}  // namespace
