#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>

#include "ClassificationFixtures.h"
#include "EndsWithin.h"
#include "FileGroupReplacement.h"
#include "FileSystemCalls.h"
#include "FileText.h"
#include "OpticalClassifierCyst.h"
#include "OpticalClassifierZelvora.h"
#include "ReplacementJournal.h"
#include "Preferences.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

constexpr int features = OpticalClassifierZelvora::featureCount;

// A pattern whose first feature decides both hand-written models.
std::vector<float> pattern(float first) {
  std::vector<float> p(features, 0.0f);
  p[0] = first;
  return p;
}

class ClassifierLoadTest : public ::testing::Test {
 protected:
  ClassifierLoadTest() { preferences.setProblemActive(0); }

  fs::path speciesFolder() const { return temp.home() / preferences.getPreferencesDir() / "A"; }

  // Nucleus model: feature 0 positive = visible nucleus (1). Stage model:
  // positive = label 2 (stage 3), negative = label 0 (stage 1).
  void writeSpecies(const std::map<std::string, std::string>& replaced = {}) {
    std::map<std::string, std::string> files = {{"med_desv.dat", fixtures::unitNormalisation(features)},
                                                {"svm_nucleous.dat", fixtures::twoVectorModel(1, 0)},
                                                {"svm_stages.dat", fixtures::twoVectorModel(2, 0)}};
    for (const auto& [name, text] : replaced) files[name] = text;
    fs::create_directories(speciesFolder());
    for (const auto& [name, text] : files)
      if (!text.empty()) writeFileText(speciesFolder() / name, text);
  }

  TemporaryHome temp;
  Preferences preferences;
};

TEST_F(ClassifierLoadTest, AllFilesPresentGiveNucleusAndStage) {
  writeSpecies();
  OpticalClassifierZelvora classifier("", 0);
  classifier.setPreferences(&preferences);
  ASSERT_TRUE(classifier.isLoaded());
  EXPECT_EQ(classifier.applyClassifiersPattern(pattern(3)), (std::vector<int>{1, 3}));
  EXPECT_EQ(classifier.applyClassifiersPattern(pattern(-3)), (std::vector<int>{0, 1}));
  EXPECT_TRUE(classifier.applyClassifiersPattern(std::vector<float>(features - 1, 1.0f)).empty());

  classifier.resetClassifier();
  EXPECT_FALSE(classifier.isLoaded());
  EXPECT_TRUE(classifier.applyClassifiersPattern(pattern(3)).empty());
}

// The models are built in memory from the files read: a system whose
// temporary folder is gone still classifies.
TEST_F(ClassifierLoadTest, ASpeciesLoadsWithoutATemporaryFolder) {
  writeSpecies();
  const char* previous = std::getenv("TMPDIR");
  const std::string previousFolder = previous != nullptr ? previous : "";
  setenv("TMPDIR", (temp.work() / "missing").c_str(), 1);
  OpticalClassifierZelvora classifier("", 0);
  classifier.setPreferences(&preferences);
  const std::vector<int> answer = classifier.applyClassifiersPattern(pattern(3));
  if (previous != nullptr)
    setenv("TMPDIR", previousFolder.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_TRUE(classifier.isLoaded()) << classifier.loadRefusal();
  EXPECT_EQ(answer, (std::vector<int>{1, 3}));
}

TEST_F(ClassifierLoadTest, IncompleteOrUnreadableFilesLoadNothing) {
  std::string features24, features26;
  features24 = fixtures::unitNormalisation(features - 1);
  features26 = fixtures::unitNormalisation(features + 1);
  const std::pair<const char*, std::map<std::string, std::string>> cases[] = {
      {"stage model missing", {{"svm_stages.dat", ""}}},
      {"feature file missing", {{"med_desv.dat", ""}}},
      {"unreadable nucleus model", {{"svm_nucleous.dat", "not a model\n"}}},
      {"unreadable stage model", {{"svm_stages.dat", "svm_type c_svc\nkernel_type rbf\n"}}},
      {"feature file of 24 features", {{"med_desv.dat", features24}}},
      {"feature file of 26 features", {{"med_desv.dat", features26}}},
      {"own nucleus feature file of 24 features", {{"med_desv_nucleous.dat", features24}}},
      {"three-class nucleus model", {{"svm_nucleous.dat", fixtures::modelOfClasses(3)}}},
      {"four-class stage model", {{"svm_stages.dat", fixtures::modelOfClasses(4)}}},
      {"nucleus model labelled 5 and 9", {{"svm_nucleous.dat", fixtures::twoVectorModel(9, 5)}}},
      {"stage model labelled 0 and 7", {{"svm_stages.dat", fixtures::twoVectorModel(7, 0)}}},
  };
  for (const auto& [name, replaced] : cases) {
    fs::remove_all(speciesFolder());
    writeSpecies(replaced);
    OpticalClassifierZelvora classifier("", 0);
    classifier.setPreferences(&preferences);
    EXPECT_FALSE(classifier.isLoaded()) << name;
    EXPECT_TRUE(classifier.applyClassifiersPattern(pattern(3)).empty()) << name;
  }
}

TEST_F(ClassifierLoadTest, AStageModelOfTwoOrThreeStagesLoads) {
  for (int stages : {2, 3}) {
    writeSpecies({{"svm_stages.dat", fixtures::modelOfClasses(stages)}});
    OpticalClassifierZelvora classifier("", 0);
    classifier.setPreferences(&preferences);
    EXPECT_TRUE(classifier.isLoaded()) << stages;
  }
}

TEST_F(ClassifierLoadTest, NoSpeciesSelectedLoadsNothingAndThrowsNothing) {
  writeSpecies();
  for (int active : {-1, 30}) {
    preferences.setProblemActive(active);
    OpticalClassifierZelvora classifier("", 0);
    EXPECT_NO_THROW(classifier.setPreferences(&preferences)) << active;
    EXPECT_FALSE(classifier.isLoaded()) << active;
  }
}

TEST_F(ClassifierLoadTest, MissingSpeciesFolderThrowsTwoAndUnloads) {
  writeSpecies();
  OpticalClassifierZelvora classifier("", 0);
  classifier.setPreferences(&preferences);
  ASSERT_TRUE(classifier.isLoaded());
  preferences.setProblemActive(1);
  try {
    classifier.setPreferences(&preferences);
    FAIL() << "no exception";
  } catch (int code) {
    EXPECT_EQ(code, 2);
  }
  EXPECT_FALSE(classifier.isLoaded());
}

TEST_F(ClassifierLoadTest, EachModelUsesItsOwnNormalisationAndFallsBackToTheSharedFile) {
  // Only the nucleus model has its own file; its mean 10 moves a pattern of
  // 3 to the negative side, while the stage model keeps the shared mean 0.
  std::string nucleus = "input mean std\n1 10 1\n";
  for (int j = 2; j <= features; ++j) nucleus += std::to_string(j) + " 0 1\n";
  writeSpecies({{"med_desv_nucleous.dat", nucleus}});
  OpticalClassifierZelvora classifier("", 0);
  classifier.setPreferences(&preferences);
  ASSERT_TRUE(classifier.isLoaded());
  EXPECT_EQ(classifier.applyClassifiersPattern(pattern(3)), (std::vector<int>{0, 3}));
}

// Trains a species as the use cases do: the nucleus model first, then the
// stages, whose normalisation replaces "med_desv.dat". The two sets are on
// different scales, so a nucleus model read with the stages' normalisation
// would see every cell alike.
TEST_F(ClassifierLoadTest, TrainedSpeciesClassifiesHeldOutPatterns) {
  fs::create_directories(speciesFolder());
  const std::string dir = speciesFolder().string();
  auto make = [](std::uint32_t seed, int n, float centre, float spread) {
    return fixtures::gaussianClass(seed, n, fixtures::centre(features, 5, centre), spread);
  };
  OpticalClassifierZelvora trainer("", 0);
  trainer.setShuffleSeed(11);
  ASSERT_TRUE(trainer.trainClassifier2(dir, "svm_nucleous.dat", make(1, 24, 0, 0.2f), make(2, 24, 1, 0.2f), features));
  ASSERT_TRUE(trainer.trainClassifier2(dir, "svm_stages.dat", make(3, 24, 100, 10), make(4, 24, 300, 10), features,
                                       {0, 2}));

  OpticalClassifierZelvora classifier("", 0);
  classifier.setPreferences(&preferences);
  ASSERT_TRUE(classifier.isLoaded());
  const std::pair<std::vector<std::vector<float>>, std::vector<int>> heldOut[] = {
      {make(5, 10, 0, 0.2f), {0, -1}}, {make(6, 10, 1, 0.2f), {1, -1}},
      {make(7, 10, 100, 10), {-1, 1}}, {make(8, 10, 300, 10), {-1, 3}}};
  for (const auto& [patterns, expected] : heldOut)
    for (const std::vector<float>& p : patterns) {
      const std::vector<int> result = classifier.applyClassifiersPattern(p);
      ASSERT_EQ(result.size(), 2u);
      if (expected[0] >= 0) {
        EXPECT_EQ(result[0], expected[0]);
      }
      if (expected[1] >= 0) {
        EXPECT_EQ(result[1], expected[1]);
      }
    }
}

// Two trainings of a species, each of whose whole sets answers {1, 3} for
// pattern(3), while a model read with the other training's normalisation
// answers otherwise. The later training moves feature 0 by 10 and swaps the
// labels of its models to match.
class SpeciesReplacementTest : public ClassifierLoadTest {
 protected:
  static std::map<std::string, std::string> trainingFiles(bool later) {
    std::string moved = "input mean std\n1 10 1\n";
    for (int j = 2; j <= features; ++j) moved += std::to_string(j) + " 0 1\n";
    const std::string normalisation = later ? moved : fixtures::unitNormalisation(features);
    return {{"svm_nucleous.dat", later ? fixtures::twoVectorModel(0, 1) : fixtures::twoVectorModel(1, 0)},
            {"med_desv_nucleous.dat", normalisation},
            {"med_desv.dat", normalisation},
            {"svm_stages.dat", later ? fixtures::twoVectorModel(0, 2) : fixtures::twoVectorModel(2, 0)},
            {"med_desv_stages.dat", normalisation}};
  }

  void writeEarlierTraining() {
    fs::remove_all(speciesFolder());
    fs::create_directories(speciesFolder());
    for (const auto& [name, text] : trainingFiles(false)) writeFileText(speciesFolder() / name, text);
  }

  // The later training's files as training replaces them: the nucleus
  // model's first, then the stage model's.
  void replaceWithLaterTraining() const {
    const std::map<std::string, std::string> later = trainingFiles(true);
    FileGroupReplacement group;
    for (const char* name :
         {"svm_nucleous.dat", "med_desv_nucleous.dat", "med_desv.dat", "svm_stages.dat", "med_desv_stages.dat"})
      group.add((speciesFolder() / name).string(), later.at(name));
    group.commit();
  }

  // "earlier" or "later" when every file is of that training, else "mixed".
  std::string held() const {
    bool earlier = true, later = true;
    for (const auto& [name, text] : trainingFiles(true)) {
      const std::string now = readFileText(speciesFolder() / name);
      earlier = earlier && now == trainingFiles(false).at(name);
      later = later && now == text;
    }
    return earlier ? "earlier" : later ? "later" : "mixed";
  }

  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(speciesFolder())) found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
  }

  const std::vector<std::string> speciesFiles = {"med_desv.dat", "med_desv_nucleous.dat", "med_desv_stages.dat",
                                                 "svm_nucleous.dat", "svm_stages.dat"};
};

// Stopped at any point of training's save, as by a crash or a power cut, the
// species loads as program start and Classify load it: the whole earlier or
// the whole later set, never a model beside a normalisation of the other
// training, and nothing else left in its folder.
TEST_F(SpeciesReplacementTest, ASaveStoppedAtAnyPointLoadsTheWholeEarlierOrLaterSet) {
  std::size_t mixed = 0;
  bool stopped = true;
  for (std::size_t call = 1; stopped; ++call) {
    SCOPED_TRACE("stopped at call " + std::to_string(call));
    writeEarlierTraining();
    stopped = runStoppedAtCall(call, [this] { replaceWithLaterTraining(); });
    if (held() == "mixed") ++mixed;
    OpticalClassifierZelvora classifier("", 0);
    classifier.setPreferences(&preferences);
    ASSERT_TRUE(classifier.isLoaded());
    EXPECT_EQ(classifier.applyClassifiersPattern(pattern(3)), (std::vector<int>{1, 3}));
    EXPECT_NE(held(), "mixed");
    EXPECT_EQ(names(), speciesFiles);
    if (!stopped) {
      EXPECT_EQ(held(), "later");
    }
  }
  EXPECT_GT(mixed, 0u);
}

// Lets nobody write a folder, the superuser included, while it lives.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const fs::path& folder) : folder(folder) {
    if (geteuid() != 0) {
      made = chmod(folder.c_str(), 0555) == 0;
      return;
    }
    bound = mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0;
    made = bound && mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
  }
  ~ReadOnlyFolder() {
    if (bound)
      umount(folder.c_str());
    else if (made)
      chmod(folder.c_str(), 0755);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  bool isReadOnly() const { return made; }

 private:
  fs::path folder;
  bool bound = false;
  bool made = false;
};

// A half-replaced species in a folder that cannot be written cannot be put
// back: it is not loaded, and the reason says so; once the folder can be
// written the earlier set is loaded.
TEST_F(SpeciesReplacementTest, AHalfReplacedSpeciesThatCannotBePutBackIsNotLoaded) {
  std::size_t call = 1;
  do {
    writeEarlierTraining();
    ASSERT_TRUE(runStoppedAtCall(call++, [this] { replaceWithLaterTraining(); })) << "no mixed set on the way";
  } while (held() != "mixed");
  {
    const ReadOnlyFolder readOnly(speciesFolder());
    if (!readOnly.isReadOnly()) GTEST_SKIP() << "the folder cannot be made read-only";
    OpticalClassifierZelvora classifier("", 0);
    classifier.setPreferences(&preferences);
    EXPECT_FALSE(classifier.isLoaded());
    const std::string& reason = classifier.loadRefusal();
    EXPECT_NE(reason.find(fs::canonical(speciesFolder()).string() + " were being replaced when the program stopped"),
              std::string::npos)
        << reason;
    EXPECT_NE(reason.find("cannot be written"), std::string::npos) << reason;
    EXPECT_EQ(held(), "mixed");
  }
  OpticalClassifierZelvora classifier("", 0);
  classifier.setPreferences(&preferences);
  EXPECT_TRUE(classifier.isLoaded());
  EXPECT_EQ(held(), "earlier");
  EXPECT_EQ(names(), speciesFiles);
}

// Anyone who may read a folder may lock it: a species folder the program
// cannot write is loaded even while another process holds its lock.
TEST_F(ClassifierLoadTest, AFolderThatCannotBeWrittenIsLoadedWhileAnotherHoldsItsLock) {
  writeSpecies();
  const ReadOnlyFolder readOnly(speciesFolder());
  if (!readOnly.isReadOnly()) GTEST_SKIP() << "the folder cannot be made read-only";
  const int holder = open(speciesFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  // The child shares the lock of `holder`, so its own lock of the folder
  // conflicts with it as another process's would.
  EXPECT_TRUE(endsWithin(20, [this] {
    OpticalClassifierZelvora classifier("", 0);
    if (!classifier.loadClassifiersFrom(speciesFolder().string())) _exit(1);
  }));
  close(holder);
}

// Cavitra's cyst classifier is saved as a group too: stopped at any point of
// that save, loading it finds the whole earlier or the whole later pair of
// models and nothing else in its folder.
TEST_F(ClassifierLoadTest, ACystClassifierSaveStoppedAtAnyPointLoadsTheWholeEarlierOrLaterPair) {
  using Cyst = OpticalClassifierCyst;
  const fs::path folder = temp.work() / "cyst";
  const auto files = [](bool later) {
    return std::map<std::string, std::string>{
        {Cyst::textureModelFile, later ? fixtures::twoVectorModel(0, 1) : fixtures::twoVectorModel(1, 0)},
        {Cyst::textureStatisticsFile, fixtures::unitNormalisation(Cyst::textureFeatureCount)},
        {Cyst::shapeModelFile, later ? fixtures::twoVectorModel(0, 1) : fixtures::twoVectorModel(1, 0)},
        {Cyst::shapeStatisticsFile, fixtures::unitNormalisation(Cyst::shapeFeatureCount)}};
  };
  const auto held = [&] {
    bool earlier = true, later = true;
    for (const auto& [name, text] : files(true)) {
      const std::string now = readFileText(folder / name);
      earlier = earlier && now == files(false).at(name);
      later = later && now == text;
    }
    return earlier ? "earlier" : later ? "later" : "mixed";
  };
  std::size_t mixed = 0;
  bool stopped = true;
  for (std::size_t call = 1; stopped; ++call) {
    SCOPED_TRACE("stopped at call " + std::to_string(call));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, text] : files(false)) writeFileText(folder / name, text);
    stopped = runStoppedAtCall(call, [&] {
      FileGroupReplacement group;
      for (const auto& [name, text] : files(true)) group.add((folder / name).string(), text);
      group.commit();
    });
    if (std::string(held()) == "mixed") ++mixed;
    Cyst classifier("", 0);
    EXPECT_TRUE(classifier.loadClassifiers(folder.string())) << classifier.loadRefusal();
    EXPECT_NE(std::string(held()), "mixed");
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator())), 4u);
  }
  EXPECT_GT(mixed, 0u);
}

// Every entry under `root`, links not followed: a file by its contents, a
// link by what it points to.
std::map<std::string, std::string> everythingUnder(const fs::path& root) {
  std::map<std::string, std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const fs::file_status status = entry.symlink_status();
    found[entry.path().string()] = fs::is_symlink(status)     ? "link to " + fs::read_symlink(entry).string()
                                   : fs::is_regular_file(status) ? readFileText(entry.path())
                                                                 : "folder";
  }
  return found;
}

// A journal received in a classifier folder may name any file. One that
// names anything but the folder's own classifier files and their temporary
// names (a path elsewhere, the working folder through /proc/self/cwd, a user's
// file in the folder, "..", a link in the folder) is refused whole when
// either program loads the folder: nothing anywhere changes, and the reason
// says so.
TEST_F(ClassifierLoadTest, AJournalNamingOtherFilesThanTheFoldersOwnChangesNothing) {
  using Cyst = OpticalClassifierCyst;
  const fs::path cystFolder = temp.work() / "classifier" / "cyst";
  const fs::path documents = temp.home() / "Documents";
  const auto entry = [](const std::string& target, const std::string& old) {
    return "target " + target + "\nnew " + target + ".saving-abcdef\n" +
           (old.empty() ? std::string("no old file") : "old " + target + ".saving-" + old) + "\n";
  };
  // Each case's journal entries, given the folder loaded.
  const std::pair<const char*, std::function<std::string(const fs::path&)>> cases[] = {
      {"a path elsewhere", [&](const fs::path&) { return entry((documents / "thesis.txt").string(), ""); }},
      {"a kept copy put back over a path elsewhere",
       [&](const fs::path&) { return entry((documents / "thesis.txt").string(), "ghijkl"); }},
      {"the working folder through /proc/self/cwd",
       [&](const fs::path&) { return entry("/proc/self/cwd/preferences.xml", ""); }},
      {"a user's file in the folder", [&](const fs::path&) { return entry("notes.txt", ""); }},
      {"the parent folder's file through ..",
       [&](const fs::path& folder) { return entry((folder / ".." / "preferences.xml").string(), ""); }},
      {"a file through a link in the folder",
       [&](const fs::path& folder) { return entry((folder / "documents" / "thesis.txt").string(), ""); }},
      {"a folder's own file beside a user's file",
       [&](const fs::path&) { return entry("svm_nucleous.dat", "") + entry("notes.txt", ""); }},
  };
  // Loads `folder` as Lumora or Cavitra does; the reason it was refused.
  const std::pair<const char*, std::function<std::string(const fs::path&)>> programs[] = {
      {"Lumora",
       [this](const fs::path&) {
         OpticalClassifierZelvora classifier("", 0);
         classifier.setPreferences(&preferences);
         return classifier.isLoaded() ? std::string() : classifier.loadRefusal();
       }},
      {"Cavitra",
       [](const fs::path& folder) {
         Cyst classifier("", 0);
         return classifier.loadClassifiers(folder.string()) ? std::string() : classifier.loadRefusal();
       }},
  };
  for (const auto& [program, load] : programs)
    for (const auto& [name, entries] : cases) {
      SCOPED_TRACE(std::string(program) + ": " + name);
      const fs::path folder = std::string(program) == "Lumora" ? speciesFolder() : cystFolder;
      writeSpecies();
      for (const char* file : {Cyst::textureModelFile, Cyst::textureStatisticsFile, Cyst::shapeModelFile,
                               Cyst::shapeStatisticsFile})
        temp.putWorkFile(fs::path("classifier") / "cyst" / file, fixtures::twoVectorModel(1, 0));
      fs::create_directories(documents);
      writeFileText(documents / "thesis.txt", "the user's thesis");
      writeFileText(documents / "thesis.txt.saving-ghijkl", "planted");
      writeFileText(temp.work() / "preferences.xml", "the working folder's preferences");
      writeFileText(folder.parent_path() / "preferences.xml", "the settings");
      writeFileText(folder / "notes.txt", "the user's notes");
      fs::remove(folder / "documents");
      fs::create_directory_symlink(documents, folder / "documents");
      writeFileText(folder / ReplacementJournal::fileName, "replacement journal\n" + entries(folder) + "end\n");
      const std::map<std::string, std::string> before = everythingUnder(temp.home().parent_path());

      const std::string refusal = load(folder);
      EXPECT_NE(refusal.find(fs::canonical(folder).string() + "/" + ReplacementJournal::fileName +
                             ", the record of what was replaced, names files that are not the folder's own"),
                std::string::npos)
          << refusal;
      EXPECT_EQ(everythingUnder(temp.home().parent_path()), before);
      fs::remove(folder / ReplacementJournal::fileName);
    }
}

}  // namespace
