// What a user expects of a save beyond keeping the old file until the new one
// is whole: a save reported as done reaches the disk, any name the file
// system takes can be saved, the file stays the owner's, and nothing is left
// behind, even by a save that is killed midway.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FileReplacement.h"
#include "FileSizeLimitedChild.h"
#include "FileText.h"
#include "TemporaryHome.h"
#include "UnnamedFiles.h"

namespace fs = std::filesystem;

namespace {

// Called on every flush of a folder while set.
std::function<void(const struct stat& folder)> onFolderFlush;

}  // namespace

// Every flush of this program passes here first, so that a test sees which
// folders are flushed and when.
extern "C" int fsync(int fd) {
  static const auto flush = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
  struct stat status {};
  if (onFolderFlush && fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) onFolderFlush(status);
  return flush(fd);
}

namespace {

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class FileReplacementTest : public ::testing::Test {
 protected:
  void TearDown() override { onFolderFlush = nullptr; }

  TemporaryHome temp;
  const fs::path target = temp.work() / "annotation.xml";
};

TEST_F(FileReplacementTest, TheFolderIsFlushedOnceTheNewFileIsInPlace) {
  struct stat folder {};
  ASSERT_EQ(stat(temp.work().c_str(), &folder), 0);
  for (const bool existed : {true, false}) {
    if (existed) writeFileText(target, "old");
    int flushesAfterTheRename = 0;
    onFolderFlush = [&](const struct stat& flushed) {
      if (flushed.st_dev == folder.st_dev && flushed.st_ino == folder.st_ino && readFileText(target) == "new")
        ++flushesAfterTheRename;
    };
    EXPECT_TRUE(FileReplacement(target.string()).commit("new")) << existed;
    onFolderFlush = nullptr;
    EXPECT_GE(flushesAfterTheRename, 1) << existed;
    fs::remove(target);
  }
}

TEST_F(FileReplacementTest, EveryNameTheFileSystemTakesCanBeSaved) {
  const long limit = pathconf(temp.work().c_str(), _PC_NAME_MAX);
  const std::size_t longest = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
  std::string twoByteCharacters;
  while (twoByteCharacters.size() + 2 <= longest - 4) twoByteCharacters += "\xc3\xa9";
  const std::vector<std::string> names = {std::string(100, 'a') + ".xml", std::string(longest - 14, 'b'),
                                          std::string(longest - 13, 'c'), std::string(longest, 'd'),
                                          twoByteCharacters + ".xml"};
  for (const std::string& name : names) {
    const fs::path file = temp.work() / name;
    for (const bool existed : {false, true}) {
      if (existed) writeFileText(file, "old");
      EXPECT_TRUE(FileReplacement(file.string()).commit("new")) << name.size() << " bytes, existed " << existed;
      EXPECT_EQ(readFileText(file), "new") << name.size() << " bytes";
      EXPECT_EQ(namesIn(temp.work()), std::vector<std::string>{name}) << name.size() << " bytes";
    }
    fs::remove(file);
  }
}

TEST_F(FileReplacementTest, TheNewFileKeepsTheOwnerGroupAndMode) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs the superuser";
  const struct {
    uid_t owner;
    gid_t group;
    mode_t mode;
  } cases[] = {{4321, 4322, 0640}, {4321, 0, 0600}, {0, 4322, 0664}};
  for (const auto& c : cases) {
    writeFileText(target, "old");
    ASSERT_EQ(chown(target.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(chmod(target.c_str(), c.mode), 0);
    EXPECT_TRUE(FileReplacement(target.string()).commit("new"));
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, c.owner);
    EXPECT_EQ(status.st_gid, c.group);
    EXPECT_EQ(status.st_mode & 07777, c.mode);
    EXPECT_EQ(readFileText(target), "new");
  }
}

// A caller may gather the contents for long (a batch of annotations): until
// they are handed over, the folder holds nothing new.
TEST_F(FileReplacementTest, NothingIsCreatedBeforeTheContentsAreReady) {
  writeFileText(target, "old");
  FileReplacement file(target.string());
  EXPECT_TRUE(file.canReplace());
  EXPECT_EQ(namesIn(temp.work()), std::vector<std::string>{"annotation.xml"});
  EXPECT_TRUE(file.commit("new"));
  EXPECT_EQ(readFileText(target), "new");
  EXPECT_EQ(namesIn(temp.work()), std::vector<std::string>{"annotation.xml"});
}

TEST_F(FileReplacementTest, ASaveKilledMidwayLeavesNoFile) {
  if (!takesUnnamedFiles(temp.work())) GTEST_SKIP() << "the file system has no unnamed files";
  for (const bool existed : {true, false}) {
    if (existed) writeFileText(target, "old");
    const int status = runInFileSizeLimitedChild(
        64, [this] { FileReplacement(target.string()).commit(std::string(100000, 'n')); });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    EXPECT_EQ(namesIn(temp.work()), existed ? std::vector<std::string>{"annotation.xml"} : std::vector<std::string>{});
    if (existed) {
      EXPECT_EQ(readFileText(target), "old");
    }
    fs::remove(target);
  }
}

}  // namespace
