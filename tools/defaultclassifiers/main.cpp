// Makes the default data of species "A": classifiers trained on painted,
// annotated oocyte pictures, and the start picture. The same seed gives the
// same files, byte for byte.
//
//   make_default_species <out-folder> [--seed N] [--pictures N] [--evaluate N]
//   [--work DIR]
//
// Writes <out-folder>/gonada.ppm and <out-folder>/classifier/A/. The
// training pictures and their annotation files go to the work folder, a
// temporary one unless --work names one to keep. --evaluate N scores the
// new classifiers and the detector on N pictures painted with seed + 1.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <opencv2/imgcodecs.hpp>
#include <sstream>
#include <string>

#include "AnnotatedTrainingSet.h"
#include "FileGroupReplacement.h"
#include "HeldOutEvaluation.h"
#include "OocytePainter.h"
#include "OpticalClassifierZelvora.h"
#include "PreferencesDefaults.h"
#include "ProgramProfile.h"

namespace fs = std::filesystem;
using namespace defaultspecies;

namespace {

struct Options {
  std::string out;
  std::uint32_t seed = 1;
  int pictures = 100;
  int evaluate = 0;
  std::string work;
};

bool parse(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.out = argv[1];
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    try {
      if (name == "--seed")
        options.seed = static_cast<std::uint32_t>(std::stoul(value));
      else if (name == "--pictures")
        options.pictures = std::stoi(value);
      else if (name == "--evaluate")
        options.evaluate = std::stoi(value);
      else if (name == "--work")
        options.work = value;
      else
        return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  return argc % 2 == 0 && options.pictures > 0 && options.evaluate >= 0;
}

std::string temporaryFolder() {
  std::string pattern = (fs::temp_directory_path() / "default-species-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? pattern : "";
}

std::string numbered(const std::string& stem, int k) {
  std::ostringstream name;
  name << stem << std::setw(3) << std::setfill('0') << k;
  return name.str();
}

bool train(const AnnotatedTrainingSet& set, const std::string& speciesFolder, std::uint32_t seed) {
  std::cout << "Patterns: stages " << set.stage(1).size() << " " << set.stage(2).size() << " " << set.stage(3).size()
            << ", without nucleus " << set.nucleus(false).size() << ", with nucleus " << set.nucleus(true).size()
            << std::endl;
  OpticalClassifierZelvora classifier("", 0);
  classifier.setShuffleSeed(seed);
  const int features = OpticalClassifierZelvora::featureCount;
  FileGroupReplacement output;
  return classifier.trainClassifier2(output, speciesFolder, OpticalClassifierZelvora::nucleusModelFile,
                                     set.nucleus(false), set.nucleus(true), features) &&
         classifier.trainClassifier3(output, speciesFolder, OpticalClassifierZelvora::stageModelFile, set.stage(1),
                                     set.stage(2), set.stage(3), features) &&
         output.commit();
}

bool evaluate(const std::string& speciesFolder, const std::string& work, const Options& options) {
  HeldOutEvaluation evaluation(speciesFolder);
  if (!evaluation.isLoaded()) return false;
  OocytePainter painter(options.seed + 1);
  for (int k = 0; k < options.evaluate; k++) {
    const OocytePicture picture = painter.paint();
    const std::string path = work + "/" + numbered("heldout-", k) + ".png";
    if (!cv::imwrite(path, picture.image) || !evaluation.add(picture, path)) return false;
  }
  const EvaluationFigures& f = evaluation.figures();
  std::cout << std::fixed << std::setprecision(1) << "Held-out oocytes: " << f.cells << " in " << options.evaluate
            << " pictures\nFound (IoU >= " << HeldOutEvaluation::minimumOverlap << "): " << f.found << " ("
            << 100 * f.recall() << " %)\nNucleus right: " << f.nucleusRight << " (" << 100 * f.nucleusAccuracy()
            << " %)\nStage right: " << f.stageRight << " (" << 100 * f.stageAccuracy()
            << " %)\nDetection time: " << f.seconds << " s" << std::endl;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ProgramProfile::select(ProgramProfile::lumora());
  Options options;
  if (!parse(argc, argv, options)) {
    std::cerr << "usage: make_default_species <out-folder> [--seed N] "
                 "[--pictures N] [--evaluate N] [--work DIR]\n";
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const std::string speciesFolder = options.out + "/classifier/A";
  const bool keepWork = !options.work.empty();
  const std::string work = keepWork ? options.work : temporaryFolder();
  std::error_code error;
  fs::create_directories(speciesFolder, error);
  if (!work.empty()) fs::create_directories(work, error);
  if (work.empty() || !fs::is_directory(speciesFolder) || !fs::is_directory(work)) {
    std::cerr << "cannot make the output or work folder\n";
    return 1;
  }

  OocytePainter painter(options.seed);
  bool ok = cv::imwrite(options.out + "/gonada.ppm", painter.paint().image);
  const PreferencesDefaults defaults = PreferencesDefaults::lumora();
  AnnotatedTrainingSet set(work, defaults.minimumDiameter, defaults.maximumDiameter);
  for (int k = 0; ok && k < options.pictures; k++) ok = set.add(painter.paint(), numbered("training-", k));
  ok = ok && train(set, speciesFolder, options.seed);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (ok) std::cout << "Default data made in " << seconds << " s" << std::endl;
  ok = ok && (options.evaluate == 0 || evaluate(speciesFolder, work, options));

  if (!keepWork) fs::remove_all(work, error);
  if (!ok) std::cerr << "making the default data failed\n";
  return ok ? 0 : 1;
}
