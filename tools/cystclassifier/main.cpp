// Makes Cavitra's shipped data: the default cyst classifier, trained on
// painted sections with known cysts, the start picture and the window icon.
// The same seed gives the same files, byte for byte.
//
//   make_cyst_classifier <out-folder> [--seed N] [--pictures N] [--evaluate N]
//
// Writes <out-folder>/liver2.ppm, <out-folder>/Iconos/logoKidney.png and the
// four files of <out-folder>/classifier/cyst/. --evaluate N scores the new
// classifier on N sections painted with seed + 1.
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

#include "CystCandidates.h"
#include "FileGroupReplacement.h"
#include "HeldOutCysts.h"
#include "OpticalClassifierCyst.h"
#include "ProgramProfile.h"
#include "ShapeFeatures.h"
#include "TextureLBP.h"

namespace fs = std::filesystem;
using namespace defaultcyst;

namespace {

struct Options {
  std::string out;
  std::uint32_t seed = 1;
  int pictures = 30;
  int evaluate = 0;
};

bool parse(int argc, char** argv, Options& options) {
  if (argc < 2 || argc % 2 != 0) return false;
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
      else
        return false;
    } catch (const std::exception&) {
      return false;
    }
  }
  return options.pictures > 0 && options.evaluate >= 0;
}

std::string temporaryFolder() {
  std::string pattern = (fs::temp_directory_path() / "default-cyst-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? pattern : "";
}

// Texture and shape patterns of the candidates, by class: 0 not a cyst, 1 cyst.
struct Patterns {
  std::vector<std::vector<float>> texture[2];
  std::vector<std::vector<float>> shape[2];
};

bool addSection(const synthetic::SectionPicture& section, const std::string& path, Patterns& patterns) {
  if (!cv::imwrite(path, section.image)) return false;
  TextureLBP texture(path, 2);
  ShapeFeatures shape;
  for (const Candidate& candidate : CystCandidates::collect(section, path, SectionSettings::minDiameter)) {
    patterns.texture[candidate.cyst].push_back(texture.computelbp54(candidate.region.get()));
    shape.setShape(candidate.region.get());
    const std::vector<double> hu = shape.getHuMoments();
    patterns.shape[candidate.cyst].emplace_back(hu.begin(), hu.end());
  }
  return true;
}

// A kidney outline with a pale cyst, for the window icon.
cv::Mat kidneyIcon() {
  cv::Mat icon(64, 64, CV_8UC4, cv::Scalar(0, 0, 0, 0));
  cv::ellipse(icon, cv::Point(34, 32), cv::Size(20, 27), 0, 0, 360, cv::Scalar(120, 70, 170, 255), cv::FILLED,
              cv::LINE_AA);
  cv::ellipse(icon, cv::Point(12, 32), cv::Size(9, 10), 0, 0, 360, cv::Scalar(0, 0, 0, 0), cv::FILLED, cv::LINE_AA);
  cv::circle(icon, cv::Point(36, 24), 7, cv::Scalar(235, 240, 240, 255), cv::FILLED, cv::LINE_AA);
  cv::circle(icon, cv::Point(40, 42), 4, cv::Scalar(235, 240, 240, 255), cv::FILLED, cv::LINE_AA);
  return icon;
}

bool train(const Patterns& patterns, const std::string& folder, std::uint32_t seed) {
  std::cout << "Candidates: " << patterns.texture[1].size() << " cysts, " << patterns.texture[0].size()
            << " other" << std::endl;
  OpticalClassifierCyst classifier("", 0);
  classifier.setShuffleSeed(seed);
  FileGroupReplacement output;
  return classifier.trainClassifier2(output, folder, OpticalClassifierCyst::textureModelFile, patterns.texture[0],
                                     patterns.texture[1], OpticalClassifierCyst::textureFeatureCount) &&
         classifier.trainClassifier2(output, folder, OpticalClassifierCyst::shapeModelFile, patterns.shape[0],
                                     patterns.shape[1], OpticalClassifierCyst::shapeFeatureCount) &&
         output.commit();
}

bool evaluate(const std::string& folder, const std::string& work, const Options& options) {
  OpticalClassifierCyst classifier("", 0);
  HeldOutScore score;
  if (!classifier.loadClassifiers(folder) || !scoreHeldOut(classifier, options.seed + 1, options.evaluate, work, score))
    return false;
  std::cout << std::fixed << std::setprecision(1) << "Held-out candidates: " << score.candidates() << " in "
            << options.evaluate << " sections (cysts answered cyst " << score.confusion[1][1] << " of "
            << score.confusion[1][0] + score.confusion[1][1] << ", others answered cyst " << score.confusion[0][1]
            << " of " << score.confusion[0][0] + score.confusion[0][1] << ")\nAccuracy: " << 100 * score.accuracy()
            << " %\nKappa: " << score.kappa() << " %" << std::endl;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ProgramProfile::select(ProgramProfile::cavitra());
  Options options;
  if (!parse(argc, argv, options)) {
    std::cerr << "usage: make_cyst_classifier <out-folder> [--seed N] [--pictures N] [--evaluate N]\n";
    return 2;
  }
  const std::string folder = options.out + "/" + OpticalClassifierCyst::defaultFolder;
  const std::string work = temporaryFolder();
  std::error_code error;
  fs::create_directories(folder, error);
  fs::create_directories(options.out + "/Iconos", error);
  if (work.empty() || !fs::is_directory(folder) || !fs::is_directory(options.out + "/Iconos")) {
    std::cerr << "cannot make the output or work folder\n";
    return 1;
  }

  synthetic::SectionPainter painter(options.seed);
  bool ok = cv::imwrite(options.out + "/liver2.ppm", painter.paint(cv::Size(800, 600), 8, 6, 40, 120).image) &&
            cv::imwrite(options.out + "/Iconos/logoKidney.png", kidneyIcon());
  Patterns patterns;
  for (int k = 0; ok && k < options.pictures; ++k)
    ok = addSection(SectionSettings::paint(painter), work + "/training-" + std::to_string(k) + ".png", patterns);
  ok = ok && train(patterns, folder, options.seed);
  ok = ok && (options.evaluate == 0 || evaluate(folder, work, options));

  fs::remove_all(work, error);
  if (!ok) std::cerr << "making the default cyst data failed\n";
  return ok ? 0 : 1;
}
