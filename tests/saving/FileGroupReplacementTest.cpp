// Files that belong together (a model and its statistics) are replaced all
// together or not at all.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
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

#include "EndsWithin.h"
#include "FileGroupReplacement.h"
#include "FileSystemCalls.h"
#include "FileText.h"
#include "ProcessOnCue.h"
#include "ReplacementJournal.h"
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
    for (const char* name : {"model.dat", "statistics.dat", "shared.dat"})
      files.add((temp.work() / name).string(), fresh.at(name));
    return files;
  }

  // "old" or "new" when every file holds its old or every one its new
  // contents, else "mixed".
  std::string held() const {
    bool allOld = true, allNew = true;
    for (const auto& [name, text] : old) {
      const std::string now = fs::exists(temp.work() / name) ? readFileText(temp.work() / name) : "(missing)";
      allOld = allOld && now == text;
      allNew = allNew && now == fresh.at(name);
    }
    return allOld ? "old" : allNew ? "new" : "mixed";
  }

  TemporaryHome temp;
  const std::map<std::string, std::string> old = {
      {"model.dat", "old model"}, {"statistics.dat", "old statistics"}, {"shared.dat", "old shared"}};
  const std::map<std::string, std::string> fresh = {
      {"model.dat", "new model"}, {"statistics.dat", std::string(5000, 's')}, {"shared.dat", "new shared"}};
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

// Each case runs with hard links, which keep every old file as a second
// link, and on a file system without them, where each old file is renamed
// aside while the new one takes its name.
struct LinkMode {
  const char* name;
  std::function<int(const FileSystemCall&)> answer;
};
const LinkMode linkModes[] = {
    {"with links", [](const FileSystemCall&) { return 0; }},
    {"without links", [](const FileSystemCall& call) { return call.name == "link" ? EPERM : 0; }},
};

// Whatever fails, the group says what its targets now hold: the new
// contents with or without an old file left beside them, the old contents
// untouched, or, where it cannot tell, a journal that recovery follows to
// put every old file back.
TEST_F(FileGroupReplacementTest, AGroupSaysWhatItsTargetsHoldWhateverFails) {
  using Outcome = FileGroupReplacement::Outcome;
  const std::string folder = fs::canonical(temp.work()).string();
  const std::string shared = folder + "/shared.dat", statistics = folder + "/statistics.dat";
  const auto kept = [](const std::string& path) { return path.find(".saving-") != std::string::npos; };
  // Answers one call of the save: the errno it fails with, or 0.
  using Fault = std::function<int(const FileSystemCall&)>;
  const struct {
    const char* name;
    Fault fault;
    Outcome outcome;
  } cases[] = {
      {"nothing fails", [](const FileSystemCall&) { return 0; }, Outcome::replaced},
      {"every folder flush fails",
       [folder](const FileSystemCall& call) { return call.name == "fsync" && call.path == folder ? EIO : 0; },
       Outcome::unchanged},
      {"the journal cannot be put in place",
       [](const FileSystemCall& call) {
         return call.name == "rename" && call.to.find("replacement.journal") != std::string::npos ? EIO : 0;
       },
       Outcome::unchanged},
      {"the last file cannot take its target's name",
       [shared, failed = false](const FileSystemCall& call) mutable {
         const bool first = !failed && call.name == "rename" && call.to == shared;
         failed = failed || first;
         return first ? EIO : 0;
       },
       Outcome::unchanged},
      {"the second file cannot take its name nor be given its old one back",
       [statistics](const FileSystemCall& call) {
         return call.name == "rename" && call.to == statistics ? EIO : 0;
       },
       Outcome::unknown},
      {"the journal cannot be removed",
       [](const FileSystemCall& call) {
         return call.name == "unlink" && call.path.find("replacement.journal") != std::string::npos ? EIO : 0;
       },
       Outcome::unchanged},
      {"the folder cannot be flushed once the journal is removed",
       [folder, removed = false](const FileSystemCall& call) mutable {
         if (call.name == "unlink" && call.path.find("replacement.journal") != std::string::npos) removed = true;
         return removed && call.name == "fsync" && call.path == folder ? EIO : 0;
       },
       Outcome::replacedUnconfirmed},
      {"an old file cannot be removed",
       [kept, statistics](const FileSystemCall& call) {
         return call.name == "unlink" && kept(call.path) && call.path.rfind(statistics, 0) == 0 ? EIO : 0;
       },
       Outcome::copyLeft},
      {"the folder cannot be flushed once the old files are removed",
       [folder, kept, removed = false](const FileSystemCall& call) mutable {
         if (call.name == "unlink" && kept(call.path)) removed = true;
         return removed && call.name == "fsync" && call.path == folder ? EIO : 0;
       },
       Outcome::copyLeft},
  };
  const std::vector<std::string> targets = {"model.dat", "shared.dat", "statistics.dat"};
  for (const LinkMode& mode : linkModes)
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(mode.name) + ": " + c.name);
      SetUp();
      FileGroupReplacement files = group();
      onFileSystemCall = [&mode, fault = c.fault](const FileSystemCall& call) mutable {
        const int error = mode.answer(call);
        return error != 0 ? error : fault(call);
      };
      const bool replaced = files.commit();
      onFileSystemCall = nullptr;
      EXPECT_EQ(files.outcome(), c.outcome);
      const bool allNew = c.outcome == Outcome::replaced || c.outcome == Outcome::copyLeft ||
                          c.outcome == Outcome::replacedUnconfirmed;
      EXPECT_EQ(replaced, allNew);
      if (allNew) {
        EXPECT_EQ(held(), "new");
      }
      if (c.outcome == Outcome::replaced) {
        EXPECT_EQ(names(), targets);
      }
      if (c.outcome == Outcome::unchanged) {
        for (const auto& [name, text] : old) EXPECT_TRUE(untouched(temp.work() / name, text)) << name;
        EXPECT_TRUE(temporariesLeftIn(temp.work()).empty());
      }
      // Recovery then leaves the whole old or the whole new group, and
      // nothing else.
      EXPECT_EQ(ReplacementJournal(temp.work().string()).recover(targets), "");
      EXPECT_EQ(names(), targets);
      const bool oldAgain = c.outcome == Outcome::unknown || c.outcome == Outcome::unchanged;
      EXPECT_EQ(held(), oldAgain ? "old" : "new");
    }
}

// A crash or power cut at any point of a group's save leaves, once the
// folder is recovered, the whole old or the whole new group and no other
// file, even when recovery itself is stopped at any point and run again.
TEST_F(FileGroupReplacementTest, ACrashAtAnyPointLeavesTheWholeOldOrNewGroupOnceRecovered) {
  const std::vector<std::string> targets = {"model.dat", "shared.dat", "statistics.dat"};
  const auto recover = [&] { ReplacementJournal(temp.work().string()).recover(targets); };
  for (const LinkMode& mode : linkModes) {
    std::size_t mixed = 0;
    bool saveStopped = true;
    for (std::size_t k = 1; saveStopped; ++k) {
      bool recoveryStopped = true;
      for (std::size_t j = 1; recoveryStopped; ++j) {
        SCOPED_TRACE(std::string(mode.name) + ": stopped at call " + std::to_string(k) + ", recovery at call " +
                     std::to_string(j));
        for (const std::string& name : names()) fs::remove(temp.work() / name);
        SetUp();
        saveStopped = runStoppedAtCall(k, [this] { group().commit(); }, mode.answer);
        if (j == 1 && held() == "mixed") ++mixed;
        // Recovery is stopped too where it has a switch to roll back.
        const bool switching = fs::exists(temp.work() / ReplacementJournal::fileName);
        recoveryStopped = switching && runStoppedAtCall(j, recover);
        ASSERT_EQ(ReplacementJournal(temp.work().string()).recover(targets), "");
        ASSERT_EQ(names(), targets);
        const std::string now = held();
        EXPECT_NE(now, "mixed");
        if (!saveStopped) {
          EXPECT_EQ(now, "new");
        }
      }
    }
    SCOPED_TRACE(mode.name);
    // The table went through the states where some files were new and some old.
    EXPECT_GT(mixed, 0u);
  }
}

// Another process that ignores the folder's lock removes the journal
// between the last rename and the commit's removal of it, alone or by
// rolling the group back: the commit cannot tell what its targets hold and
// does not report them replaced.
TEST_F(FileGroupReplacementTest, AJournalRemovedUnderTheCommitLeavesItsOutcomeUndetermined) {
  const std::vector<std::string> targets = {"model.dat", "shared.dat", "statistics.dat"};
  const std::string journal = fs::canonical(temp.work()).string() + "/" + ReplacementJournal::fileName;
  const struct {
    const char* name;
    std::function<void()> intrusion;
    const char* held;
  } cases[] = {
      {"the journal alone is removed", [&] { fs::remove(journal); }, "new"},
      {"the group is rolled back", [&] { ReplacementJournal(temp.work().string()).recover(targets); }, "old"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ProcessOnCue other([&c] {
      c.intrusion();
      return std::string("done");
    });
    FileGroupReplacement files = group();
    onFileSystemCall = [&, cued = false](const FileSystemCall& call) mutable {
      if (!cued && call.name == "unlink" && call.path == journal) {
        cued = true;
        other.cueUntilDoneOrWaitingForLockOf(temp.work());
      }
      return 0;
    };
    EXPECT_FALSE(files.commit());
    onFileSystemCall = nullptr;
    EXPECT_EQ(other.answer(), "done");
    EXPECT_EQ(files.outcome(), FileGroupReplacement::Outcome::undetermined);
    EXPECT_EQ(files.failedTarget(), journal);
    EXPECT_EQ(held(), c.held);
  }
}

// A journal that is no file the program wrote (a pipe, a folder) is refused
// at once, naming it, and the files stay as they are.
TEST_F(FileGroupReplacementTest, AJournalThatIsNoRegularFileIsRefusedWithoutWaiting) {
  const fs::path journal = temp.work() / ReplacementJournal::fileName;
  const std::vector<std::string> targets = {"model.dat", "statistics.dat", "shared.dat"};
  for (const char* kind : {"pipe", "folder"}) {
    SCOPED_TRACE(kind);
    fs::remove_all(journal);
    ASSERT_EQ(std::string(kind) == "pipe" ? mkfifo(journal.c_str(), 0600) : mkdir(journal.c_str(), 0700), 0);
    // The child reports a refusal that does not name the journal by its
    // exit status.
    EXPECT_TRUE(endsWithin(20, [&] {
      const std::string refusal = ReplacementJournal(temp.work().string()).recover(targets);
      if (refusal.find(journal.string() + ", the record of what was replaced, cannot be read") == std::string::npos)
        _exit(1);
    }));
    EXPECT_EQ(held(), "old");
  }
  fs::remove_all(journal);
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
  EXPECT_EQ(files.outcome(), FileGroupReplacement::Outcome::unchanged);
  for (const auto& [name, text] : old) EXPECT_TRUE(untouched(temp.work() / name, text)) << name;
  EXPECT_TRUE(temporariesLeftIn(temp.work()).empty());
}

}  // namespace
