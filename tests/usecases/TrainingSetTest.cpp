#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <vector>

#include "FileSizeLimit.h"
#include "FileSystemCalls.h"
#include "FileText.h"
#include "ProcessOnCue.h"
#include "OpticalClassifierZelvora.h"
#include "SaveObstacles.h"
#include "SpeciesFolderRecovery.h"
#include "TemporaryHome.h"
#include "TrainingSet.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;

// Records what training asks of the classifier instead of training.
class RecordingClassifier : public OpticalClassifier {
 public:
  struct Call {
    std::string file;
    std::vector<std::size_t> sizes;
    std::vector<int> labels;
    int features;
  };

  RecordingClassifier() : OpticalClassifier("", 0) {}

  bool trainClassifier2(const std::string& dir, const std::string& filename,
                        std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2, int nfeatures,
                        std::array<int, 2> labels) override {
    folder = dir;
    calls.push_back({filename, {c1.size(), c2.size()}, {labels[0], labels[1]}, nfeatures});
    return succeed;
  }
  bool trainClassifier3(const std::string& dir, const std::string& filename,
                        std::vector<std::vector<float>> c1, std::vector<std::vector<float>> c2,
                        std::vector<std::vector<float>> c3, int nfeatures) override {
    folder = dir;
    calls.push_back({filename, {c1.size(), c2.size(), c3.size()}, {0, 1, 2}, nfeatures});
    return succeed;
  }

  std::vector<Call> calls;
  std::string folder;
  bool succeed = true;
};

// Patterns by stage (alveoli cortical, vitelline, hydrated), each with a
// visible nucleus or not.
TrainingSet setOf(int alveoli, int vitelline, int hydrated, int withNucleus, int withoutNucleus) {
  TrainingSet set;
  const int counts[3] = {alveoli, vitelline, hydrated};
  int nucleus = withNucleus, none = withoutNucleus;
  for (int stage = 1; stage <= 3; ++stage) {
    for (int i = 0; i < counts[stage - 1]; ++i) {
      const bool visible = nucleus > 0;
      if (visible)
        --nucleus;
      else
        --none;
      set.addPattern(stage, visible, std::vector<float>(25, static_cast<float>(stage)));
    }
  }
  return set;
}

TEST(TrainingSetTest, TrainsWhatHasEnoughPatternsAndSaysWhatHasNot) {
  using Call = RecordingClassifier::Call;
  struct Case {
    const char* what;
    int alveoli, vitelline, hydrated, withNucleus;
    std::vector<Call> calls;
    std::vector<std::string> messages;
  };
  const std::string stages = "svm_stages.dat", nucleus = "svm_nucleous.dat";
  const Case cases[] = {
      {"everything", 8, 8, 8, 12, {{nucleus, {12, 12}, {0, 1}, 25}, {stages, {8, 8, 8}, {0, 1, 2}, 25}}, {}},
      {"7 without a nucleus; 10, 9 and 3 by stage",
       10,
       9,
       3,
       15,
       {{stages, {10, 9}, {0, 1}, 25}},
       {"The classifier does not train with less than 8 cells without visible nucleous",
        "The stage hydrated has less than 8 cells. The classifier is trained with only two stages"}},
      {"too few with a nucleus; vitelline missing",
       8,
       2,
       8,
       4,
       {{stages, {8, 8}, {0, 2}, 25}},
       {"The classifier does not train with less than 8 cells with visible nucleous",
        "The stage vitelline has less than 8 cells. The classifier is trained with only two stages"}},
      {"alveoli missing: hydrated first, each stage keeps its own label",
       0,
       9,
       9,
       9,
       {{nucleus, {9, 9}, {0, 1}, 25}, {stages, {9, 9}, {2, 1}, 25}},
       {"The stage alveoli cortical has less than 8 cells. The classifier is trained with only two stages"}},
      {"nothing trains",
       3,
       3,
       3,
       2,
       {},
       {"The classifier does not train with less than 8 cells without visible nucleous",
        "The classifier to discriminate stage can not be trained due to there is less than 8 cells of each stage"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int total = c.alveoli + c.vitelline + c.hydrated;
    const TrainingSet set = setOf(c.alveoli, c.vitelline, c.hydrated, c.withNucleus, total - c.withNucleus);
    RecordingClassifier classifier;
    const TrainingSet::Outcome outcome = set.train(classifier, "/species/A");
    ASSERT_EQ(classifier.calls.size(), c.calls.size());
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
      EXPECT_EQ(classifier.calls[i].file, c.calls[i].file);
      EXPECT_EQ(classifier.calls[i].sizes, c.calls[i].sizes);
      EXPECT_EQ(classifier.calls[i].labels, c.calls[i].labels);
      EXPECT_EQ(classifier.calls[i].features, 25);
    }
    if (!c.calls.empty()) {
      EXPECT_EQ(classifier.folder, "/species/A");
    }
    EXPECT_EQ(outcome.messages, c.messages);
    const bool nucleusAsked = !c.calls.empty() && c.calls.front().file == nucleus;
    EXPECT_EQ(outcome.nucleusTrained, nucleusAsked);
    EXPECT_EQ(outcome.stageTrained, !c.calls.empty() && c.calls.back().file == stages);
  }
}

TEST(TrainingSetTest, AFailedTrainingIsNotReportedAsDone) {
  const TrainingSet set = setOf(8, 8, 8, 12, 12);
  RecordingClassifier classifier;
  classifier.succeed = false;
  const TrainingSet::Outcome outcome = set.train(classifier, "/species/A");
  EXPECT_FALSE(outcome.nucleusTrained);
  EXPECT_FALSE(outcome.stageTrained);
  EXPECT_EQ(outcome.messages, std::vector<std::string>{"The classifiers could not be trained into /species/A"});
}

// A species folder holding a trained classifier, trained over again.
class SpeciesFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder);
    for (const char* name : files) writeFileText(folder / name, std::string("old ") + name);
  }

  // Twelve patterns per stage around distinct centres, every other one with
  // a visible nucleus.
  static TrainingSet separableSet() {
    TrainingSet set;
    std::mt19937 random(5);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    for (int stage = 1; stage <= 3; ++stage)
      for (int i = 0; i < 12; ++i) {
        std::vector<float> pattern(OpticalClassifierZelvora::featureCount);
        for (std::size_t j = 0; j < pattern.size(); ++j)
          pattern[j] = static_cast<float>(stage) * (j < 5 ? 1.0f : 0.0f) + (i % 2) * (j == 6) + noise(random);
        set.addPattern(stage, i % 2 == 1, std::move(pattern));
      }
    return set;
  }

  bool allOld() const { return held() == "old"; }

  // "old" or "new" when every file or none is the old one, else "mixed".
  std::string held() const {
    std::size_t old = 0;
    for (const char* name : files) old += untouched(folder / name, std::string("old ") + name) ? 1 : 0;
    return old == std::size(files) ? "old" : old == 0 ? "new" : "mixed";
  }

  static constexpr const char* files[] = {"svm_nucleous.dat", "med_desv_nucleous.dat", "svm_stages.dat",
                                          "med_desv_stages.dat", "med_desv.dat"};
  TemporaryHome temp;
  const fs::path folder = temp.work() / "A";
};

TEST_F(SpeciesFolderTest, TrainingReplacesEveryFileOfTheSpecies) {
  OpticalClassifierZelvora classifier("", 0);
  const TrainingSet::Outcome outcome = separableSet().train(classifier, folder.string());
  EXPECT_TRUE(outcome.nucleusTrained);
  EXPECT_TRUE(outcome.stageTrained);
  EXPECT_TRUE(outcome.messages.empty());
  for (const char* name : files) EXPECT_NE(readFileText(folder / name), std::string("old ") + name) << name;
  EXPECT_TRUE(temporariesLeftIn(folder).empty());
}

// The stage model is written last: in its way, the nucleus files written
// before it must not have been replaced either.
TEST_F(SpeciesFolderTest, AFileInTheWayKeepsEveryFileOfTheSpecies) {
  const std::string refused = "The classifiers could not be trained into " + folder.string();
  for (const SaveObstacle& obstacle : saveObstacles()) {
    SetUp();
    OpticalClassifierZelvora classifier("", 0);
    const fs::path blocked = folder / "svm_stages.dat";
    TrainingSet::Outcome outcome;
    {
      const auto inForce = obstacle.place(blocked);
      outcome = separableSet().train(classifier, folder.string());
    }
    EXPECT_FALSE(outcome.nucleusTrained) << obstacle.name;
    EXPECT_FALSE(outcome.stageTrained) << obstacle.name;
    ASSERT_FALSE(outcome.messages.empty()) << obstacle.name;
    EXPECT_EQ(outcome.messages.back().rfind(refused, 0), 0u) << obstacle.name << ": " << outcome.messages.back();
    EXPECT_TRUE(allOld()) << obstacle.name;
    EXPECT_TRUE(temporariesLeftIn(folder).empty()) << obstacle.name;
    fs::remove_all(blocked);
  }
}

// A file-size limit stops the model before any file of the species is
// touched; the message says so in the system's words.
TEST_F(SpeciesFolderTest, AFileSizeLimitKeepsEveryFileAndSaysWhy) {
  OpticalClassifierZelvora classifier("", 0);
  TrainingSet::Outcome outcome;
  {
    const FileSizeLimit limit(32);
    outcome = separableSet().train(classifier, folder.string());
  }
  EXPECT_FALSE(outcome.nucleusTrained);
  EXPECT_FALSE(outcome.stageTrained);
  ASSERT_FALSE(outcome.messages.empty());
  EXPECT_EQ(outcome.messages.back(), "The classifiers could not be trained into " + folder.string() + ": " +
                                         std::strerror(EFBIG));
  EXPECT_TRUE(allOld());
  EXPECT_TRUE(temporariesLeftIn(folder).empty());
}

// A species folder received from someone whose model file is a link to a
// file outside it: training writes nothing through the link, leaves every
// file as it was, and says why.
TEST_F(SpeciesFolderTest, AModelFileThatIsALinkOutOfTheFolderIsNotWrittenThrough) {
  const fs::path outside = temp.home() / "thesis.txt";
  writeFileText(outside, "the user's thesis");
  const fs::path link = folder / "svm_nucleous.dat";
  fs::remove(link);
  fs::create_symlink(outside, link);
  OpticalClassifierZelvora classifier("", 0);
  const TrainingSet::Outcome outcome = separableSet().train(classifier, folder.string());
  EXPECT_EQ(readFileText(outside), "the user's thesis");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_FALSE(outcome.nucleusTrained);
  EXPECT_FALSE(outcome.stageTrained);
  ASSERT_FALSE(outcome.messages.empty());
  EXPECT_EQ(outcome.messages.back(), "The classifiers could not be trained into " + folder.string() + ": " +
                                         link.string() +
                                         " is a link to another file, which training does not write through. "
                                         "The classifiers there are unchanged.");
  for (const char* name : files) {
    if (name != std::string("svm_nucleous.dat")) {
      EXPECT_TRUE(untouched(folder / name, std::string("old ") + name)) << name;
    }
  }
  EXPECT_TRUE(temporariesLeftIn(folder).empty());
}

// Whatever the disk refuses while the trained files replace the species',
// the message says what the folder now holds; only a replacement that left
// every new file in place counts as trained.
TEST_F(SpeciesFolderTest, TheMessageSaysWhatTheFolderHoldsWhenTheDiskRefusesAStep) {
  const std::string real = fs::canonical(folder).string();
  const auto journal = [](const FileSystemCall& call) {
    return call.path.find("replacement.journal") != std::string::npos;
  };
  const auto kept = [](const FileSystemCall& call) { return call.path.find(".saving-") != std::string::npos; };
  const std::string notTrained = "The classifiers could not be trained into " + folder.string() + ": ";
  const std::string inPlace = "The new classifiers are in place in " + folder.string() + ", but ";
  const struct {
    const char* name;
    std::function<int(const FileSystemCall&)> fault;
    bool trained;
    std::string message;
    const char* heldOnceLoaded;
  } cases[] = {
      {"every folder flush fails",
       [real](const FileSystemCall& call) { return call.name == "fsync" && call.path == real ? EIO : 0; }, false,
       notTrained + folder.string() + " cannot be written. The classifiers there are unchanged.", "old"},
      {"the stage model cannot take its name nor the nucleus model give its name back",
       [real, stageRefused = false](const FileSystemCall& call) mutable {
         if (call.name != "rename") return 0;
         stageRefused = stageRefused || call.to == real + "/svm_stages.dat";
         return stageRefused && (call.to == real + "/svm_stages.dat" || call.to == real + "/svm_nucleous.dat") ? EIO
                                                                                                               : 0;
       },
       false,
       notTrained + (folder / "svm_stages.dat").string() +
           " cannot be written. The classifiers there may be partly replaced; loading the species puts the old ones "
           "back.",
       "old"},
      {"the folder cannot be flushed once the switch is done",
       [real, journal, done = false](const FileSystemCall& call) mutable {
         done = done || (call.name == "unlink" && journal(call));
         return done && call.name == "fsync" && call.path == real ? EIO : 0;
       },
       true, inPlace + "the disk did not confirm that they are stored: after a power cut the old ones may be back.",
       "new"},
      {"another program removes the journal before the save does",
       [journal](const FileSystemCall& call) {
         if (call.name == "unlink" && journal(call)) unlinkat(AT_FDCWD, call.path.c_str(), 0);
         return 0;
       },
       false,
       notTrained + real +
           "/replacement.journal, the record of the replacement, was removed by another program while the new "
           "classifiers were put in place. Which classifiers are there cannot be told; check the files or train "
           "again.",
       "new"},
      {"an old file cannot be removed",
       [kept](const FileSystemCall& call) { return call.name == "unlink" && kept(call) ? EIO : 0; }, true,
       inPlace + "a copy of the old svm_nucleous.dat may be left beside them; it is removed when the species is "
                 "next loaded.",
       "new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    OpticalClassifierZelvora classifier("", 0);
    const TrainingSet set = separableSet();
    onFileSystemCall = c.fault;
    const TrainingSet::Outcome outcome = set.train(classifier, folder.string());
    onFileSystemCall = nullptr;
    EXPECT_EQ(outcome.nucleusTrained, c.trained);
    EXPECT_EQ(outcome.stageTrained, c.trained);
    ASSERT_FALSE(outcome.messages.empty());
    EXPECT_EQ(outcome.messages.back(), c.message);
    if (c.message.find("unchanged") != std::string::npos) {
      EXPECT_TRUE(allOld());
    }
    EXPECT_EQ(SpeciesFolderRecovery::recover(folder.string()), "");
    EXPECT_EQ(allOld(), std::string(c.heldOnceLoaded) == "old");
    EXPECT_TRUE(temporariesLeftIn(folder).empty());
  }
}

// A save that a crash left half done and that cannot be rolled back keeps
// the training from replacing the files; the message gives recovery's
// reason.
TEST_F(SpeciesFolderTest, ARecoveryThatFailsBeforeTheSaveIsTheReasonGiven) {
  const std::string real = fs::canonical(folder).string();
  writeFileText(folder / "replacement.journal", "replacement journal\ntarget svm_nucleous.dat\n");
  OpticalClassifierZelvora classifier("", 0);
  const TrainingSet::Outcome outcome = separableSet().train(classifier, folder.string());
  EXPECT_FALSE(outcome.nucleusTrained);
  EXPECT_FALSE(outcome.stageTrained);
  ASSERT_FALSE(outcome.messages.empty());
  EXPECT_EQ(outcome.messages.back(), "The classifiers could not be trained into " + folder.string() +
                                         ": the files of " + real +
                                         " were being replaced when the program stopped, and " + real +
                                         "/replacement.journal, the record of what was replaced, cannot be read. "
                                         "The classifiers there are unchanged.");
  EXPECT_TRUE(allOld());
}

// A second Lumora loads the species (at its start, or on Classify) while
// training's save is at a given call: it waits until the save is done and
// loads the whole new set, and training's message says what the folder
// holds.
TEST_F(SpeciesFolderTest, AnotherLumoraLoadingTheSpeciesDuringTheSaveWaitsForTheWholeNewSet) {
  const std::string real = fs::canonical(folder).string();
  const struct {
    const char* name;
    std::function<bool(const FileSystemCall&)> at;
  } moments[] = {
      {"between two renames",
       [real](const FileSystemCall& call) { return call.name == "rename" && call.to == real + "/svm_stages.dat"; }},
      {"before the journal is removed",
       [](const FileSystemCall& call) {
         return call.name == "unlink" && call.path.find("replacement.journal") != std::string::npos;
       }},
  };
  for (const auto& moment : moments) {
    SCOPED_TRACE(moment.name);
    SetUp();
    ProcessOnCue otherLumora([this] {
      OpticalClassifierZelvora loading("", 0);
      const bool loaded = loading.loadClassifiersFrom(folder.string());
      return held() + (loaded ? ", loaded" : ", not loaded");
    });
    OpticalClassifierZelvora classifier("", 0);
    const TrainingSet set = separableSet();
    onFileSystemCall = [&, cued = false](const FileSystemCall& call) mutable {
      if (!cued && moment.at(call)) {
        cued = true;
        otherLumora.cueUntilDoneOrWaitingForLockOf(folder);
      }
      return 0;
    };
    const TrainingSet::Outcome outcome = set.train(classifier, folder.string());
    onFileSystemCall = nullptr;
    EXPECT_EQ(otherLumora.answer(), "new, loaded");
    EXPECT_TRUE(outcome.nucleusTrained);
    EXPECT_TRUE(outcome.stageTrained);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{});
    EXPECT_EQ(held(), "new");
  }
}

// A textured picture and square regions on it: which regions give patterns.
class TrainingRegionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picture = fs::temp_directory_path() / ("training-regions-" + std::to_string(::getpid()) + ".png");
    cv::Mat image(100, 200, CV_8UC3);
    cv::randu(image, cv::Scalar::all(30), cv::Scalar::all(220));
    ASSERT_TRUE(cv::imwrite(picture.string(), image));
    detector.setFilename(picture.string());
  }
  void TearDown() override {
    for (baseShape* shape : shapes) delete shape;
    fs::remove(picture);
  }

  // A square of side 10 whose vertex mean is the pixel (cx, cy).
  void add(int cx, int cy, int clase, int type, bool visible = true) {
    auto* region = new regionShape(static_cast<int>(shapes.size()) + 1, visible, false, false, true, type, clase, 0);
    for (const auto& [dx, dy] : {std::pair{-5, -5}, {5, -5}, {5, 5}, {-5, 5}})
      region->addLinePoint((cx + dx) / 200.0, (cy + dy) / 100.0);
    shapes.push_back(region);
  }

  fs::path picture;
  regionDetectorEdgesZelvora detector;
  std::vector<baseShape*> shapes;
};

TEST_F(TrainingRegionsTest, OnlyLabelledRegionsWellInsideThePictureGivePatterns) {
  add(20, 50, 1, 1);          // centre at W / 10: not used
  add(21, 50, 2, 1);          // used: vitelline, with nucleus
  add(179, 50, 3, 0);         // used: hydrated, without nucleus
  add(180, 50, 3, 0);         // at W - W / 10: not used
  add(100, 10, 1, 0);         // at H / 10: not used
  add(100, 50, 4, 0);         // a user's class: not used
  add(100, 50, 0, 1);         // no stage: not used
  add(100, 50, 1, 2);         // no nucleus mark: not used
  add(100, 50, 1, 0, false);  // hidden: not used
  TrainingSet set;
  set.addRegions(detector, shapes);
  EXPECT_EQ(set.stage(1).size(), 0u);
  EXPECT_EQ(set.stage(2).size(), 1u);
  EXPECT_EQ(set.stage(3).size(), 1u);
  EXPECT_EQ(set.nucleus(true).size(), 1u);
  EXPECT_EQ(set.nucleus(false).size(), 1u);
  EXPECT_EQ(set.stage(2).front().size(), 25u);
  EXPECT_EQ(set.countsLine(), "Total patterns:  cn: 1 sn: 1 ac: 0 vit: 1 hid: 1");
}

}  // namespace
