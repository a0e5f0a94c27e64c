// Cavitra's cyst classifier files on any bytes: the input is a model file,
// a NUL byte and a statistics file, given as both the texture pair (54
// features) and the shape pair (7 features). Whatever loads answers cyst (1)
// or not (0) for a region of a picture, and what does not load answers 0.

#include <algorithm>
#include <memory>
#include <string>

#include "FileText.h"
#include "FuzzScratch.h"
#include "OpticalClassifierCyst.h"
#include "regionShape.h"

namespace {

// A small grey picture with a bright square, so the texture has something
// to measure.
std::string pictureText() {
  constexpr int side = 64;
  std::string text = "P5\n" + std::to_string(side) + " " + std::to_string(side) + "\n255\n";
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) text += static_cast<char>(x > 20 && x < 44 && y > 20 && y < 44 ? 200 : (x * y) % 90);
  return text;
}

std::unique_ptr<regionShape> square() {
  auto region = std::make_unique<regionShape>(1, true, false, false, false, 0, 0, 0);
  for (const auto& [x, y] : {std::pair{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.75}}) region->addLinePoint(x, y);
  return region;
}

void expectAnswer(int answer, bool loaded) {
  if (answer != 0 && answer != OpticalClassifierCyst::cystLabel) invariantBroken("the classifier answers no class");
  if (!loaded && answer != 0) invariantBroken("a classifier that did not load calls a region a cyst");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  static const std::string picture = [] {
    writeFileText(scratch.file("picture.pgm"), pictureText());
    return scratch.file("picture.pgm").string();
  }();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const std::string model = input.substr(0, split);
  const std::string statistics = split < input.size() ? input.substr(split + 1) : std::string();
  writeFileText(scratch.file(OpticalClassifierCyst::textureModelFile), model);
  writeFileText(scratch.file(OpticalClassifierCyst::shapeModelFile), model);
  writeFileText(scratch.file(OpticalClassifierCyst::textureStatisticsFile), statistics);
  writeFileText(scratch.file(OpticalClassifierCyst::shapeStatisticsFile), statistics);

  static OpticalClassifierCyst classifier("", 0);
  const bool both = classifier.loadClassifiers(scratch.file("").string());
  if (both != (classifier.isTextureLoaded() && classifier.isShapeLoaded()))
    invariantBroken("the load result and the classifier disagree");
  static const bool pictureSet = [] {
    classifier.setImageName(picture);
    return true;
  }();
  (void)pictureSet;
  const auto region = square();
  expectAnswer(classifier.applyClassifierRegion(region.get()), classifier.isTextureLoaded());
  expectAnswer(classifier.applyClassifierRegionShape(region.get()), classifier.isShapeLoaded());
  return 0;
}
