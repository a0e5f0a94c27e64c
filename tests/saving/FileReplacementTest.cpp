// What a user expects of a save beyond keeping the old file until the new one
// is whole: a save reported as done reaches the disk, any name the file
// system takes can be saved, the file stays the owner's, and nothing is left
// behind, even by a save that is killed midway.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FileGroupReplacement.h"
#include "FileReplacement.h"
#include "FileSizeLimitedChild.h"
#include "FileSystemCalls.h"
#include "FileText.h"
#include "SaveObstacles.h"
#include "TemporaryHome.h"
#include "UnnamedFiles.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs `save` in a child process of `user`, with no other group than the
// user's own; returns the child's wait status: exit 1 saved, 0 refused.
int statusOfSaveAs(uid_t user, const std::function<bool()>& save) {
  const pid_t child = fork();
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 || setresgid(user, user, user) != 0 || setresuid(user, user, user) != 0) _exit(2);
    _exit(save() ? 1 : 0);
  }
  int status = -1;
  while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

class FileReplacementTest : public ::testing::Test {
 protected:
  void TearDown() override { onFileSystemCall = nullptr; }

  TemporaryHome temp;
  const fs::path target = temp.work() / "annotation.xml";
};

TEST_F(FileReplacementTest, TheFolderIsFlushedOnceTheNewFileIsInPlace) {
  const std::string folder = fs::canonical(temp.work()).string();
  for (const bool existed : {true, false}) {
    if (existed) writeFileText(target, "old");
    int flushesAfterTheRename = 0;
    onFileSystemCall = [&](const FileSystemCall& call) {
      if (call.name == "fsync" && call.path == folder && readFileText(target) == "new") ++flushesAfterTheRename;
      return 0;
    };
    EXPECT_TRUE(FileReplacement(target.string()).commit("new")) << existed;
    onFileSystemCall = nullptr;
    EXPECT_GE(flushesAfterTheRename, 1) << existed;
    fs::remove(target);
  }
}

// A power cut right after a save was reported as done finds the folder as the
// save left it: the target, and nothing else.
TEST_F(FileReplacementTest, ASaveReportedAsDoneLeavesExactlyItsTargetOnDisk) {
  const std::string folder = fs::canonical(temp.work()).string();
  for (const bool existed : {true, false}) {
    if (existed) writeFileText(target, "old");
    {
      const FileSystemCallLog log;
      EXPECT_TRUE(FileReplacement(target.string()).commit("new")) << existed;
      EXPECT_TRUE(log.lastChangeFlushed(folder)) << existed;
    }
    EXPECT_EQ(readFileText(target), "new") << existed;
    EXPECT_EQ(namesIn(temp.work()), std::vector<std::string>{"annotation.xml"}) << existed;
    fs::remove(target);
  }
}

// In a folder with the sticky bit, such as the system's temporary folder,
// only the owner of a file or of the folder may replace or remove the file:
// another user's save over it is refused and leaves nothing there, where that
// user could not remove it.
TEST_F(FileReplacementTest, ASaveOverAnotherUsersFileInAStickyFolderIsRefusedAndLeavesNothing) {
  if (geteuid() != 0) GTEST_SKIP() << "files of other users need the superuser";
  constexpr uid_t owner = 4321;
  constexpr uid_t saver = 4322;
  ASSERT_EQ(chmod(temp.work().parent_path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(temp.work().c_str(), 01777), 0);
  const fs::path own = temp.work() / "statistics.dat";
  const struct {
    const char* name;
    std::function<bool()> save;
  } saves[] = {
      {"one file", [this] { return FileReplacement(target.string()).commit("new"); }},
      // The saver's own new file is put in place first, then taken away again.
      {"a group of files",
       [&] {
         FileGroupReplacement group;
         group.add(own.string(), "new");
         group.add(target.string(), "new");
         return group.commit();
       }},
  };
  for (const auto& save : saves) {
    writeFileText(target, "old");
    ASSERT_EQ(chown(target.c_str(), owner, owner), 0);
    ASSERT_EQ(chmod(target.c_str(), 0666), 0);
    const int status = statusOfSaveAs(saver, save.save);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << save.name << ": status " << status;
    EXPECT_EQ(readFileText(target), "old") << save.name;
    EXPECT_EQ(namesIn(temp.work()), std::vector<std::string>{"annotation.xml"}) << save.name;
  }
}

// A save that reports failure claims the old file unchanged: whatever failed,
// the target is as it was and nothing is left beside it.
TEST_F(FileReplacementTest, ASaveThatFailsLeavesTheTargetAsItWasAndNothingBesideIt) {
  const std::string folder = fs::canonical(temp.work()).string();
  const struct {
    const char* name;
    std::function<int(const FileSystemCall&)> fault;
  } cases[] = {
      // link fails so on a file system without hard links.
      {"no hard links, and the rename fails",
       [](const FileSystemCall& call) {
         if (call.name == "link") return EPERM;
         return call.name == "rename" ? EIO : 0;
       }},
      {"the folder cannot be flushed",
       [&folder](const FileSystemCall& call) { return call.name == "fsync" && call.path == folder ? EIO : 0; }},
  };
  for (const auto& c : cases) {
    writeFileText(target, "old");
    onFileSystemCall = c.fault;
    EXPECT_FALSE(FileReplacement(target.string()).commit("new")) << c.name;
    onFileSystemCall = nullptr;
    EXPECT_EQ(readFileText(target), "old") << c.name;
    EXPECT_EQ(namesIn(temp.work()), std::vector<std::string>{"annotation.xml"}) << c.name;
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

// A save killed once its file has a name, before that name replaced the
// target, leaves the file beside the target; the next save of the target
// removes it, and no other target's temporary file nor a file of the user's
// that only looks like one.
TEST_F(FileReplacementTest, TheNextSaveRemovesWhatAKilledSaveOfTheSameTargetLeft) {
  writeFileText(target, "old");
  const auto killedBeforeTheRename = [this] {
    FileReplacement(target.string()).commit("killed");
  };
  std::size_t call = 1;
  while (runStoppedAtCall(call, killedBeforeTheRename) && temporariesLeftIn(temp.work()).empty()) ++call;
  const std::vector<std::string> left = temporariesLeftIn(temp.work());
  ASSERT_EQ(left.size(), 1u) << "no call of the save leaves its named file";
  EXPECT_EQ(readFileText(target), "old");
  const std::vector<std::string> others = {"annotation.xml.saving-abc12", "annotation.xml.saving-abc1234",
                                           "other.xml.saving-abc123", "annotation.xml.saving-ab.123"};
  for (const std::string& name : others) writeFileText(temp.work() / name, "kept");

  EXPECT_TRUE(FileReplacement(target.string()).commit("new"));
  EXPECT_EQ(readFileText(target), "new");
  std::vector<std::string> expected = others;
  expected.push_back("annotation.xml");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(namesIn(temp.work()), expected);
}

}  // namespace
