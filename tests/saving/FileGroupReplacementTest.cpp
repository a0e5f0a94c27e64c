// Files that belong together (a model and its statistics) are replaced all
// together or not at all.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FileGroupReplacement.h"
#include "FileSystemCalls.h"
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
  void TearDown() override { onFileSystemCall = nullptr; }

  // The names in the working folder, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(temp.work())) found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
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

// A power cut right after the group was reported as replaced finds the new
// files and no old one kept beside them.
TEST_F(FileGroupReplacementTest, AGroupReportedAsReplacedLeavesExactlyItsTargetsOnDisk) {
  FileGroupReplacement files = group();
  {
    const FileSystemCallLog log;
    ASSERT_TRUE(files.commit());
    EXPECT_TRUE(log.lastChangeFlushed(fs::canonical(temp.work()).string()));
  }
  EXPECT_EQ(readFileText(temp.work() / "model.dat"), "new model");
  EXPECT_EQ(names(), (std::vector<std::string>{"model.dat", "shared.dat", "statistics.dat"}));
}

// On a file system without hard links each old file is renamed aside while
// the new one takes its name. Whatever fails then, a group that was not
// replaced says so truthfully: it claims every target as it was only when
// each one is, and a group reported as replaced leaves only its targets.
TEST_F(FileGroupReplacementTest, WithoutLinksAFailedGroupSaysWhetherItsTargetsAreAsTheyWere) {
  const std::string folder = fs::canonical(temp.work()).string();
  // Answers one call of the save: the errno it fails with, or 0.
  using Fault = std::function<int(const FileSystemCall&)>;
  const auto failingRenames = [](std::vector<int> failing) -> Fault {
    return [failing, count = 0](const FileSystemCall& call) mutable {
      if (call.name != "rename") return 0;
      ++count;
      return std::find(failing.begin(), failing.end(), count) != failing.end() ? EIO : 0;
    };
  };
  const struct {
    const char* name;
    Fault fault;
    bool replaced;
    bool partly;
  } cases[] = {
      {"nothing else fails", [](const FileSystemCall&) { return 0; }, true, false},
      {"the second file's rename fails", failingRenames({2}), false, false},
      {"the first file's rename and its rename back fail", failingRenames({1, 2}), false, true},
      {"the first folder flush and the rename back fail",
       [folder, renames = 0, flushes = 0](const FileSystemCall& call) mutable {
         if (call.name == "rename") return ++renames == 2 ? EIO : 0;
         if (call.name == "fsync" && call.path == folder) return ++flushes == 1 ? EIO : 0;
         return 0;
       },
       false, true},
      {"the flush after an old file is removed fails",
       [folder, removed = false](const FileSystemCall& call) mutable {
         if (call.name == "unlink" && call.path.find(".saving-") != std::string::npos) removed = true;
         return removed && call.name == "fsync" && call.path == folder ? EIO : 0;
       },
       false, true},
  };
  for (const auto& c : cases) {
    SetUp();
    FileGroupReplacement files = group();
    onFileSystemCall = [&c](const FileSystemCall& call) { return call.name == "link" ? EPERM : c.fault(call); };
    const bool replaced = files.commit();
    onFileSystemCall = nullptr;
    EXPECT_EQ(replaced, c.replaced) << c.name;
    EXPECT_EQ(files.partlyReplaced(), c.partly) << c.name;
    if (replaced) {
      EXPECT_EQ(names(), (std::vector<std::string>{"model.dat", "shared.dat", "statistics.dat"})) << c.name;
      EXPECT_EQ(readFileText(temp.work() / "shared.dat"), "new shared") << c.name;
    } else if (!files.partlyReplaced()) {
      for (const auto& [name, text] : old) EXPECT_TRUE(untouched(temp.work() / name, text)) << c.name << " " << name;
      EXPECT_TRUE(temporariesLeftIn(temp.work()).empty()) << c.name;
    }
    for (const std::string& name : temporariesLeftIn(temp.work())) fs::remove(temp.work() / name);
  }
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
