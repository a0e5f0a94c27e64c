// A settings or annotation file whose elements nest far deeper than in any
// file the programs write is refused at the first element beyond the bound,
// having read little of it; up to the bound, deep elements are read as ever.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "FileText.h"
#include "GuardedSaxParser.h"
#include "ModelFachade.h"
#include "ProcessFigure.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

constexpr int bound = Model::GuardedSaxParser::deepestNesting;
const std::string tooDeep =
    "its elements are nested more than 64 deep, far deeper than in any file the program writes";

// `inner` wrapped in elements so that it lies `depth` elements deep below
// the root `open` ... `close`, which counts as the first.
std::string nested(const std::string& open, const std::string& inner, const std::string& close, int depth) {
  std::string text = "<?xml version=\"1.0\"?>\n" + open;
  for (int level = 2; level < depth; ++level) text += "<a>";
  text += inner;
  for (int level = 2; level < depth; ++level) text += "</a>";
  return text + close + "\n";
}

struct Outcome {
  std::string refusal;
  bool innermostRead = false;
};

// A settings file whose innermost element sets the picture folder.
struct Settings {
  static std::string text(int depth) {
    return nested("<Preferences System=\"1\">", "<ImagePath dir=\"/deep\"/>", "</Preferences>", depth);
  }
  static Outcome read(const fs::path& file) {
    Model::ModelFachade model;
    model.set_image_folder("/kept");
    Outcome outcome;
    outcome.refusal = model.readPreferencesXMLFile(file.string());
    outcome.innermostRead = model.get_image_folder() == "/deep";
    return outcome;
  }
};

// An annotation file whose innermost element is its one point.
struct Annotation {
  static std::string text(int depth) {
    return nested("<Poligonos width=\"100\" height=\"100\">",
                  "<Point x=\"5\" y=\"5\" id=\"1\" MANUAL=\"0\" DELETED=\"0\" VISIBLE=\"1\"/>", "</Poligonos>", depth);
  }
  static Outcome read(const fs::path& file) {
    Model::ModelFachade model;
    const Model::AnnotationRead annotation = model.readAnnotationFile(file.string());
    return Outcome{annotation.refusal(), annotation.shapeCount() == 1};
  }
};

template <typename Kind>
class XmlNesting : public ::testing::Test {
 protected:
  TemporaryHome temp;
};

using Kinds = ::testing::Types<Settings, Annotation>;
TYPED_TEST_SUITE(XmlNesting, Kinds);

TYPED_TEST(XmlNesting, BeyondTheBoundTheFileIsRefusedAtOnce) {
  struct Case {
    int depth;
    bool refused;
  };
  // The writers nest three deep; two million levels make a file of 14 MB.
  for (const Case& c : {Case{3, false}, Case{bound, false}, Case{bound + 1, true}, Case{2000000, true}}) {
    SCOPED_TRACE(c.depth);
    const fs::path file = this->temp.work() / "nested.xml";
    writeFileText(file, TypeParam::text(c.depth));
    const std::size_t before = bytesReadSoFar();
    const Outcome outcome = TypeParam::read(file);
    EXPECT_EQ(outcome.refusal, c.refused ? tooDeep : "");
    EXPECT_EQ(outcome.innermostRead, !c.refused);
    // The parse ends within the first block the reader hands it.
    if (c.refused) {
      EXPECT_LT(bytesReadSoFar() - before, std::size_t{1} << 20);
    }
  }
}

// The settings read before the element that gets a file refused are not
// kept: a refused file changes no setting.
TEST(XmlNestingSettings, ARefusedFileChangesNoSettingItSetBeforeTheRefusal) {
  TemporaryHome temp;
  const fs::path file = temp.work() / "nested.xml";
  writeFileText(file, nested("<Preferences System=\"1\"><ImagePath dir=\"/early\"/>", "<ImagePath dir=\"/deep\"/>",
                             "</Preferences>", bound + 1));
  Model::ModelFachade model;
  model.set_image_folder("/kept");
  EXPECT_EQ(model.readPreferencesXMLFile(file.string()), tooDeep);
  EXPECT_EQ(model.get_image_folder(), "/kept");
}

}  // namespace
