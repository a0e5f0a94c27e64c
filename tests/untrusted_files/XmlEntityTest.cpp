// A file received from someone else is read for what it holds and nothing
// more: no other local file, device or address is opened through it, and a
// few kilobytes of entity definitions do not become gigabytes of text.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "EndsWithin.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

size_t readAnnotation(const fs::path& file) {
  Model::ModelFachade model;
  std::vector<baseShape*> shapes = model.readXML(file.string());
  const size_t count = shapes.size();
  for (baseShape* shape : shapes) delete shape;
  return count;
}

std::string readImagePath(const fs::path& file) {
  Model::ModelFachade model;
  model.readPreferencesXMLFile(file.string());
  return model.get_image_folder();
}

// A document type with the given declarations, and a root element of each
// file with `body` inside.
std::string annotation(const std::string& declarations, const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE Poligonos [" + declarations +
         "]>\n<Poligonos width=\"100\" height=\"100\">" + body + "</Poligonos>\n";
}
std::string preferences(const std::string& declarations, const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE Preferences [" + declarations + "]>\n<Preferences System=\"1\">" +
         body + "</Preferences>\n";
}

// Nested entities that expand to 3 * 10^levels characters.
std::string laughs(int levels) {
  std::string declarations = "<!ENTITY l0 \"lol\">";
  for (int level = 1; level <= levels; ++level) {
    declarations += "<!ENTITY l" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) declarations += "&l" + std::to_string(level - 1) + ";";
    declarations += "\">";
  }
  return declarations;
}

class XmlEntities : public ::testing::Test {
 protected:
  fs::path put(const std::string& name, const std::string& text) const {
    const fs::path file = temp.work() / name;
    writeFileText(file, text);
    return file;
  }
  TemporaryHome temp;
};

TEST_F(XmlEntities, NoOtherLocalFileIsReadThroughAnEntity) {
  const fs::path stolenShape = put("shape.xml", "<Point x=\"5\" y=\"5\"/>");
  const fs::path stolenPath = put("path.xml", "<ImagePath dir=\"/stolen\"/>");
  const std::string shapeEntity = "<!ENTITY x SYSTEM \"file://" + stolenShape.string() + "\">";
  const std::string pathEntity = "<!ENTITY x SYSTEM \"" + stolenPath.string() + "\">";

  // What a reader that follows entities would take: the point and the path.
  ASSERT_EQ(readAnnotation(put("plain.xml", annotation("", "<Point x=\"5\" y=\"5\"/>"))), 1u);
  ASSERT_EQ(readImagePath(put("plain-prefs.xml", preferences("", "<ImagePath dir=\"/stolen\"/>"))), "/stolen");

  EXPECT_EQ(readAnnotation(put("a.xml", annotation(shapeEntity, "&x;"))), 0u);
  EXPECT_NE(readImagePath(put("p.xml", preferences(pathEntity, "&x;"))), "/stolen");
}

TEST_F(XmlEntities, NothingNamedByTheDocumentIsOpened) {
  // A reader that opened the pipe would wait for a writer for ever.
  const fs::path pipe = temp.work() / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string p = pipe.string();
  const struct {
    const char* what;
    std::string declarations;
    std::string body;
    std::string doctype;
  } cases[] = {
      {"general entity", "<!ENTITY x SYSTEM \"" + p + "\">", "&x;", ""},
      {"parameter entity", "<!ENTITY % x SYSTEM \"" + p + "\"> %x;", "", ""},
      {"unused entity", "<!ENTITY x SYSTEM \"" + p + "\">", "", ""},
      {"external document type", "", "", "<!DOCTYPE Poligonos SYSTEM \"" + p + "\">"},
  };
  for (const auto& c : cases) {
    std::string text = annotation(c.declarations, c.body);
    if (!c.doctype.empty()) text = "<?xml version=\"1.0\"?>\n" + c.doctype + "<Poligonos width=\"1\" height=\"1\"/>";
    const fs::path file = put("a.xml", text);
    EXPECT_TRUE(endsWithin(20, [&] { readAnnotation(file); })) << c.what;
    EXPECT_TRUE(endsWithin(20, [&] { readImagePath(file); })) << c.what;
  }
}

TEST_F(XmlEntities, EntitiesThatExpandFarBeyondTheFileAreRefused) {
  // Nine levels make 3 GB of text from one reference.
  const fs::path bomb = put("bomb.xml", annotation(laughs(9), "<Point x=\"5\" y=\"&l9;\"/>"));
  EXPECT_TRUE(endsWithin(20, [&] {
    if (readAnnotation(bomb) != 0) _exit(1);
  }));
  const fs::path prefsBomb = put("prefs-bomb.xml", preferences(laughs(9), "<ImagePath dir=\"&l9;\"/>"));
  EXPECT_TRUE(endsWithin(20, [&] {
    if (readImagePath(prefsBomb).size() > 1000) _exit(1);
  }));

  // Entities within the document's own size keep working, as they always did.
  const std::string small = "<!ENTITY five \"5\"><!ENTITY point \"&lt;Point x='&five;' y='&five;'/&gt;\">";
  EXPECT_EQ(readAnnotation(put("small.xml", annotation(small, "<Point x=\"&five;\" y=\"&five;\"/>"))), 1u);
  EXPECT_EQ(readImagePath(put("small-prefs.xml", preferences("<!ENTITY d \"/pictures\">", "<ImagePath dir=\"&d;\"/>"))),
            "/pictures");
}

}  // namespace
