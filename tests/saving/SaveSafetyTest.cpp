// Saving the settings and an annotation must never lose the file already in
// place: not on a full disk, not through a link, not over a read-only file,
// and must not wait on a pipe put in its place.

#include <fcntl.h>
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
#include <string>
#include <vector>

#include "FileText.h"
#include "ModelFachade.h"
#include "SaveObstacles.h"
#include "TemporaryHome.h"
#include "regionShape.h"

namespace fs = std::filesystem;

namespace {

using Save = std::function<bool(Model::ModelFachade&, const std::string&)>;

// The two documents a user saves: the settings and an annotation of one region.
struct Document {
  const char* name;
  Save save;
};

bool saveAnnotation(Model::ModelFachade& model, const std::string& file) {
  auto* region = new regionShape(1, true, false, false, false, 0, 0, 0);
  for (double t : {0.1, 0.2, 0.3}) region->addLinePoint(t, 0.5 + t);
  std::vector<baseShape*> shapes{region};
  const bool saved = model.writePolygons(file, shapes);
  delete region;
  return saved;
}

const std::vector<Document>& documents() {
  static const std::vector<Document> list = {
      {"preferences.xml", [](Model::ModelFachade& m, const std::string& f) { return m.writePreferences(f); }},
      {"annotation.xml", saveAnnotation},
  };
  return list;
}

// Files the save left beside its target, other than the target itself.
std::vector<std::string> leftovers(const fs::path& folder, const std::vector<std::string>& expected) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) found.push_back(name);
  }
  return found;
}

bool isXmlDocument(const fs::path& file) { return readFileText(file).rfind("<?xml", 0) == 0; }

class SaveSafety : public ::testing::Test {
 protected:
  void SetUp() override { model.setImageProperties("cells.png", 400, 300); }
  TemporaryHome temp;
  Model::ModelFachade model;
};

// A small filesystem that the test mounts and fills; needs the superuser.
class FullDisk : public SaveSafety {
 protected:
  void SetUp() override {
    SaveSafety::SetUp();
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small filesystem needs the superuser";
    disk = temp.work() / "disk";
    fs::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    mounted = true;
  }
  void TearDown() override {
    if (mounted) umount(disk.c_str());
  }

  void fill() const {
    const int fd = open((disk / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const std::string block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    const std::string byte(1, 'x');
    while (write(fd, byte.data(), 1) > 0) {
    }
    close(fd);
  }

  fs::path disk;
  bool mounted = false;
};

TEST_F(FullDisk, ASaveThatDoesNotFitFailsAndKeepsTheOldFile) {
  for (const Document& document : documents()) ASSERT_TRUE(document.save(model, (disk / document.name).string()));
  std::vector<std::string> before;
  for (const Document& document : documents()) before.push_back(readFileText(disk / document.name));
  fill();

  for (size_t i = 0; i < documents().size(); ++i) {
    const Document& document = documents()[i];
    EXPECT_FALSE(document.save(model, (disk / document.name).string())) << document.name;
    EXPECT_EQ(readFileText(disk / document.name), before[i]) << document.name;
  }
  EXPECT_TRUE(leftovers(disk, {"preferences.xml", "annotation.xml", "filler"}).empty());
}

TEST_F(SaveSafety, TheSavedFileKeepsItsModeAndReadOnlyFilesAreRefused) {
  const struct {
    mode_t mode;
    bool saved;
  } cases[] = {{0600, true}, {0640, true}, {0444, false}, {0400, false}};
  for (const Document& document : documents()) {
    for (const auto& c : cases) {
      const fs::path file = temp.work() / document.name;
      writeFileText(file, "old");
      ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
      EXPECT_EQ(document.save(model, file.string()), c.saved) << document.name << " mode " << std::oct << c.mode;
      struct stat status {};
      ASSERT_EQ(stat(file.c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 07777, c.mode) << document.name;
      EXPECT_EQ(isXmlDocument(file), c.saved) << document.name;
      EXPECT_TRUE(leftovers(temp.work(), {document.name}).empty());
      fs::remove(file);
    }
  }
}

TEST_F(SaveSafety, ATargetInTheWayIsRefusedAtOnceAndLeftAsItWas) {
  for (const Document& document : documents()) {
    for (const SaveObstacle& obstacle : saveObstacles()) {
      const fs::path file = temp.work() / document.name;
      writeFileText(file, "old");
      bool saved = true;
      const auto start = std::chrono::steady_clock::now();
      {
        const auto inForce = obstacle.place(file);
        saved = document.save(model, file.string());
      }
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << document.name << obstacle.name;
      EXPECT_FALSE(saved) << document.name << " " << obstacle.name;
      EXPECT_TRUE(untouched(file, "old")) << document.name << " " << obstacle.name;
      EXPECT_TRUE(temporariesLeftIn(temp.work()).empty()) << document.name << " " << obstacle.name;
      fs::remove_all(file);
    }
  }
}

TEST_F(SaveSafety, ALinkedTargetIsSavedThroughTheLink) {
  for (const Document& document : documents()) {
    const fs::path real = temp.home() / document.name;
    const fs::path link = temp.work() / document.name;
    writeFileText(real, "old");
    fs::create_symlink(real, link);
    EXPECT_TRUE(document.save(model, link.string())) << document.name;
    EXPECT_TRUE(fs::is_symlink(link)) << document.name;
    EXPECT_TRUE(isXmlDocument(real)) << document.name;
  }
  // A link to a file that does not exist yet creates that file.
  const fs::path dangling = temp.work() / "new.xml";
  fs::create_symlink(temp.home() / "new.xml", dangling);
  EXPECT_TRUE(model.writePreferences(dangling.string()));
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_TRUE(isXmlDocument(temp.home() / "new.xml"));
}

TEST_F(SaveSafety, WhateverSitsUnderATemporaryNameIsNeitherFollowedNorAnObstacle) {
  for (const Document& document : documents()) {
    const fs::path file = temp.work() / document.name;
    const fs::path unrelated = temp.home() / (std::string("unrelated-") + document.name);
    writeFileText(unrelated, "someone else's file");
    fs::create_symlink(unrelated, file.string() + ".saving");
    fs::create_directory(file.string() + ".saving-tmp");
    EXPECT_TRUE(document.save(model, file.string())) << document.name;
    EXPECT_TRUE(isXmlDocument(file)) << document.name;
    EXPECT_EQ(readFileText(unrelated), "someone else's file") << document.name;
    EXPECT_TRUE(fs::is_symlink(file.string() + ".saving"));
  }
}

}  // namespace
