// Classifier files come with species folders that users copy from one
// another. A model, normalisation or cyst classifier file that is a pipe, a
// link to a device, a folder or a file far longer than any training writes is
// refused at once, naming the file and the reason, and leaves no model
// loaded; the model is built from the very bytes that were checked.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <svm.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AddressSpaceLimit.h"
#include "ClassificationFixtures.h"
#include "ClassifierFileRead.h"
#include "EndsWithin.h"
#include "FileText.h"
#include "OpticalClassifierCyst.h"
#include "OpticalClassifierZelvora.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t mebibyte = std::size_t{1} << 20;
constexpr std::size_t gibibyte = std::size_t{1} << 30;
const std::string notRegular = "it is not a regular file";
const std::string tooLarge = "it is larger than 16 MiB, far larger than any classifier file training writes";

// What takes the place of a classifier file, and the reason it is refused for.
struct Obstacle {
  const char* what;
  std::function<void(const fs::path&)> put;
  std::string reason;
};

const std::vector<Obstacle>& obstacles() {
  static const std::vector<Obstacle> all = {
      {"a pipe nobody writes to", [](const fs::path& file) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); },
       notRegular},
      {"a link to /dev/zero", [](const fs::path& file) { fs::create_symlink("/dev/zero", file); }, notRegular},
      {"a folder", [](const fs::path& file) { fs::create_directory(file); }, notRegular},
      // A sound start, then a hole that reads as zero bytes and takes no room.
      {"a sparse file of 1 GiB",
       [](const fs::path& file) {
         writeFileText(file, "input mean std\n1 0 1\n");
         fs::resize_file(file, gibibyte);
       },
       tooLarge},
  };
  return all;
}

// Loads with `load` in a child process whose address space may grow by
// `room` bytes, so that a whole read of a huge file ends the child rather
// than the machine's memory; the child fails when the load waits, succeeds,
// gives another refusal than `expected`, or throws.
bool refusedAtOnce(const std::function<bool(std::string&)>& load, const std::string& expected,
                   std::size_t room = 512 * mebibyte) {
  return endsWithin(30, [&] {
    if (addressSpaceLimitsApply) limitAddressSpaceGrowth(room);
    std::string refusal;
    bool loaded = false;
    try {
      loaded = load(refusal);
    } catch (...) {
      _exit(2);  // the child must not go on with the test program
    }
    if (loaded || refusal != expected) {
      std::cerr << "loaded: " << loaded << ", refusal: " << refusal << std::endl;
      _exit(1);
    }
  });
}

std::string refusalOf(const fs::path& file, const std::string& reason) {
  return "The classifier file " + file.string() + " cannot be read: " + reason;
}

// Writes `files` into `folder`, made afresh, and puts `obstacle` in place of
// `replaced`.
void prepare(const fs::path& folder, const std::map<std::string, std::string>& files, const std::string& replaced,
             const Obstacle& obstacle) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const auto& [name, text] : files)
    if (name != replaced) writeFileText(folder / name, text);
  obstacle.put(folder / replaced);
}

TEST(UntrustedClassifierFile, EverySpeciesFileThatIsNoFileOrIsHugeIsRefusedAtOnce) {
  constexpr int features = OpticalClassifierZelvora::featureCount;
  const std::map<std::string, std::string> species = {
      {OpticalClassifier::sharedNormalisationFile, fixtures::unitNormalisation(features)},
      {OpticalClassifierZelvora::nucleusModelFile, fixtures::twoVectorModel(1, 0)},
      {OpticalClassifierZelvora::stageModelFile, fixtures::twoVectorModel(2, 0)}};
  // Only the own normalisation of a model is read when it is there.
  const std::vector<std::string> replaced = {
      OpticalClassifier::sharedNormalisationFile, OpticalClassifierZelvora::nucleusModelFile,
      OpticalClassifierZelvora::stageModelFile, OpticalClassifier::normalisationFileFor("svm_nucleous.dat")};
  TemporaryHome temp;
  const fs::path folder = temp.work() / "species";
  for (const std::string& file : replaced)
    for (const Obstacle& obstacle : obstacles()) {
      prepare(folder, species, file, obstacle);
      const auto load = [&folder](std::string& refusal) {
        OpticalClassifierZelvora classifier("", 0);
        const bool loaded = classifier.loadClassifiersFrom(folder.string());
        refusal = classifier.loadRefusal();
        return loaded || classifier.isLoaded();
      };
      EXPECT_TRUE(refusedAtOnce(load, refusalOf(folder / file, obstacle.reason))) << file << " as " << obstacle.what;
    }
}

// Sound cyst classifier files: both models answer a positive first feature
// with a cyst.
std::map<std::string, std::string> cystFiles() {
  return {{OpticalClassifierCyst::textureModelFile, fixtures::twoVectorModel(1, 0)},
          {OpticalClassifierCyst::textureStatisticsFile,
           fixtures::unitNormalisation(OpticalClassifierCyst::textureFeatureCount)},
          {OpticalClassifierCyst::shapeModelFile, fixtures::twoVectorModel(1, 0)},
          {OpticalClassifierCyst::shapeStatisticsFile,
           fixtures::unitNormalisation(OpticalClassifierCyst::shapeFeatureCount)}};
}

TEST(UntrustedClassifierFile, EveryCystClassifierFileThatIsNoFileOrIsHugeIsRefusedAtOnce) {
  const std::map<std::string, std::string> cyst = cystFiles();
  TemporaryHome temp;
  const fs::path folder = temp.work() / "cyst";
  for (const auto& entry : cyst)
    for (const Obstacle& obstacle : obstacles()) {
      const std::string& file = entry.first;
      prepare(folder, cyst, file, obstacle);
      const auto load = [&folder](std::string& refusal) {
        OpticalClassifierCyst classifier("", 0);
        const bool loaded = classifier.loadClassifiers(folder.string());
        refusal = classifier.loadRefusal();
        return loaded || (classifier.isTextureLoaded() && classifier.isShapeLoaded());
      };
      EXPECT_TRUE(refusedAtOnce(load, refusalOf(folder / file, obstacle.reason))) << file << " as " << obstacle.what;
    }
}

TEST(UntrustedClassifierFile, TheCystFilesOfTheTableLoadWithoutAnObstacle) {
  TemporaryHome temp;
  const fs::path folder = temp.work() / "cyst";
  fs::create_directories(folder);
  for (const auto& [name, text] : cystFiles()) writeFileText(folder / name, text);
  OpticalClassifierCyst classifier("", 0);
  EXPECT_TRUE(classifier.loadClassifiers(folder.string()));
  EXPECT_EQ(classifier.loadRefusal(), "");
}

TEST(UntrustedClassifierFile, AFileUpToTheBoundIsReadAndOneBeyondItIsNot) {
  TemporaryHome temp;
  const fs::path file = temp.work() / "med_desv.dat";
  for (const std::size_t length : {ClassifierFileRead::largestFile, ClassifierFileRead::largestFile + 1}) {
    writeFileText(file, "input mean std\n1 0 1\n");
    fs::resize_file(file, length);
    const ClassifierFileRead read(file.string());
    EXPECT_EQ(read.refusal(), length > ClassifierFileRead::largestFile ? tooLarge : "") << length;
    EXPECT_EQ(read.text().size(), read.readable() ? length : 0u) << length;
  }
}

// A text of `length` bytes: `start`, then `word` again and again, then spaces.
std::string repeated(const std::string& start, const std::string& word, std::size_t length) {
  std::string text = start;
  while (text.size() + word.size() <= length) text += word;
  text.resize(length, ' ');
  return text;
}

TEST(UntrustedClassifierFile, AModelAtTheBoundIsCheckedInLittleMoreMemoryThanItsText) {
  const std::size_t length = ClassifierFileRead::largestFile;
  const std::string header =
      "svm_type c_svc\nkernel_type linear\nnr_class 2\ntotal_sv 1\nrho 0\nlabel 0 1\nnr_sv 1 0\nSV\n1 ";
  const std::pair<std::string, std::string> cases[] = {
      {repeated("svm_type c_svc ", "a ", length), "unknown header key a"},
      {repeated(header, "0:1 ", length), "support vector 1 has its indices out of order"},
  };
  TemporaryHome temp;
  const fs::path file = temp.work() / "svm_nucleous.dat";
  for (const auto& [text, problem] : cases) {
    writeFileText(file, text);
    const auto load = [&file](std::string& refusal) {
      svm_model* model = OpticalClassifier::crea_svm(file.string(), 0, std::nullopt, &refusal);
      if (model != nullptr) svm_free_and_destroy_model(&model);
      return model != nullptr;
    };
    // The text itself takes 16 MiB; a word of it held apart takes more room
    // than its two bytes.
    EXPECT_TRUE(refusedAtOnce(load, "it is not a readable model (" + problem + ")", 64 * mebibyte)) << problem;
  }
}

}  // namespace

// ---------------------------------------------------------------- a model swapped after its check

namespace {

// While set, the model file whose opening by name swaps its contents for
// `swappedModel` first, as another user could between the check and the load.
std::string swappedFile;
std::string swappedModel;

}  // namespace

// libsvm's own load opens the model with fopen; in this test program that
// passes here first, so a model read again by name would be the swapped one.
extern "C" FILE* fopen(const char* path, const char* mode) {
  using Open = FILE* (*)(const char*, const char*);
  static const Open systemOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "fopen"));
  // Swapped once: writing the file may open it through here as well.
  if (!swappedFile.empty() && swappedFile == path) writeFileText(std::exchange(swappedFile, ""), swappedModel);
  return systemOpen(path, mode);
}

namespace {

TEST(UntrustedClassifierFile, TheModelThatWasCheckedIsLoadedNotTheFileAgain) {
  constexpr int features = OpticalClassifierZelvora::featureCount;
  TemporaryHome temp;
  const fs::path file = temp.work() / "svm_nucleous.dat";
  // Both pass the check; they answer a pattern of positive first feature
  // with 1 and with 0.
  writeFileText(file, fixtures::twoVectorModel(1, 0));
  swappedFile = file.string();
  swappedModel = fixtures::twoVectorModel(0, 1);
  svm_model* model = OpticalClassifier::crea_svm(file.string(), features, OpticalClassifierZelvora::nucleusRole);
  swappedFile.clear();
  ASSERT_NE(model, nullptr);
  std::vector<float> pattern(features, 0.0f);
  pattern[0] = 3;
  EXPECT_EQ(OpticalClassifier::saida_svm(model, pattern, std::vector<float>(features, 0.0f),
                                         std::vector<float>(features, 1.0f)),
            1);
  svm_free_and_destroy_model(&model);
}

}  // namespace
