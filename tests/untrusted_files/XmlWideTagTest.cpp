// A settings or annotation file with an element far wider than any the
// programs write is refused before the parser meets it, at once and with a
// message; libxml2 would check each attribute against all the ones before it,
// minutes for a few hundred thousand. The rule holds whatever the file's
// encoding and wherever the element is, in an entity's text too; what only
// looks like attributes (in comments, sections, instructions, values) is read
// as ever.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "FileText.h"
#include "ModelFachade.h"
#include "ProcessFigure.h"
#include "StartTagScan.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t mostAttributes = Model::StartTagScan::mostAttributes;
const std::string tooWide =
    "one of its elements has more than 256 attributes, far more than in any file the program writes";

// ` a0="1" a1="1" ...`, `count` attributes.
std::string fillers(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += " a" + std::to_string(i) + "=\"1\"";
  return text;
}

// Each character of an ASCII text in UTF-16, little-endian, after its byte order mark.
std::string utf16(const std::string& ascii) {
  std::string text = "\xFF\xFE";
  for (char c : ascii) {
    text += c;
    text += '\0';
  }
  return text;
}

struct Outcome {
  std::string refusal;
  bool markRead = false;  // the element that marks a file read whole was read
};

// A settings file whose mark sets the picture folder.
struct Settings {
  static constexpr const char* root = "Preferences";
  static constexpr std::size_t rootAttributes = 1;
  static std::string rootTag(const std::string& attributes) { return "<Preferences System=\"1\"" + attributes + ">"; }
  static std::string mark() { return "<ImagePath dir=\"/read\"/>"; }
  static Outcome read(const fs::path& file) {
    Model::ModelFachade model;
    model.set_image_folder("/kept");
    Outcome outcome;
    outcome.refusal = model.readPreferencesXMLFile(file.string());
    outcome.markRead = model.get_image_folder() == "/read";
    return outcome;
  }
};

// An annotation file whose mark is its one point.
struct Annotation {
  static constexpr const char* root = "Poligonos";
  static constexpr std::size_t rootAttributes = 2;
  static std::string rootTag(const std::string& attributes) {
    return "<Poligonos width=\"100\" height=\"100\"" + attributes + ">";
  }
  static std::string mark() { return "<Point x=\"5\" y=\"5\" id=\"1\" MANUAL=\"0\" DELETED=\"0\" VISIBLE=\"1\"/>"; }
  static Outcome read(const fs::path& file) {
    Model::ModelFachade model;
    const Model::AnnotationRead annotation = model.readAnnotationFile(file.string());
    return Outcome{annotation.refusal(), annotation.shapeCount() == 1};
  }
};

template <typename Kind>
class XmlWideTag : public ::testing::Test {
 protected:
  // A file of this kind: `prolog` after the XML declaration, a root with
  // `rootAttributes` more, and `body` before the mark.
  static std::string document(const std::string& prolog, const std::string& rootAttributes, const std::string& body) {
    return "<?xml version=\"1.0\"?>\n" + prolog + Kind::rootTag(rootAttributes) + body + Kind::mark() + "</" +
           Kind::root + ">\n";
  }
  Outcome read(const std::string& text) const {
    const fs::path file = temp.work() / "wide.xml";
    writeFileText(file, text);
    return Kind::read(file);
  }

  TemporaryHome temp;
};

using Kinds = ::testing::Types<Settings, Annotation>;
TYPED_TEST_SUITE(XmlWideTag, Kinds);

TYPED_TEST(XmlWideTag, AnElementWithMoreAttributesThanTheBoundIsRefusedAtOnce) {
  struct Case {
    std::size_t attributes;
    bool refused;
  };
  // The widest element the programs write has 18 attributes.
  for (const Case& c : {Case{18, false}, Case{mostAttributes, false}, Case{mostAttributes + 1, true},
                        Case{300000, true}}) {
    SCOPED_TRACE(c.attributes);
    const std::string wide = fillers(c.attributes - TypeParam::rootAttributes);
    // A long tail after the root shows how little of the file is read.
    const std::string tail(4 << 20, ' ');
    const std::size_t before = bytesReadSoFar();
    const Outcome outcome = this->read(this->document("", wide, tail));
    EXPECT_EQ(outcome.refusal, c.refused ? tooWide : "");
    EXPECT_EQ(outcome.markRead, !c.refused);
    if (c.refused) {
      EXPECT_LT(bytesReadSoFar() - before, std::size_t{1} << 20);
    }
  }
}

TYPED_TEST(XmlWideTag, AWideElementIsRefusedInAnyEncodingAndInAnEntitysText) {
  const std::string wide = "<a" + fillers(mostAttributes + 1) + "/>";
  // The same element in a document UTF-16 by its first bytes, one whose
  // declaration names UTF-7 (in which '<', '=' and '"' may be written as
  // letters), and the text of an entity the body refers to.
  std::string utf7 = "+ADw-a";
  for (std::size_t i = 0; i <= mostAttributes; ++i) utf7 += " a" + std::to_string(i) + "+AD0AIg-1+ACI-";
  utf7 += "/+AD4-";
  const std::vector<std::string> texts = {
      utf16(this->document("", "", wide)),
      "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n" + TypeParam::rootTag("") + utf7 + TypeParam::mark() + "</" +
          TypeParam::root + ">\n",
      this->document(std::string("<!DOCTYPE ") + TypeParam::root + " [<!ENTITY wide '" + wide + "'>]>\n", "",
                     "&wide;"),
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 60));
    const Outcome outcome = this->read(text);
    EXPECT_EQ(outcome.refusal, tooWide);
    EXPECT_FALSE(outcome.markRead);
  }
}

TYPED_TEST(XmlWideTag, WhatOnlyLooksLikeAttributesIsRead) {
  // Taken for a tag, each would be refused; a subset or section ended too
  // early would have the scan take the tag after "]>" for one.
  const std::string many = fillers(mostAttributes + 1);
  const std::string lookalike = "]><a" + many + "/>";
  const std::string doctype = std::string("<!DOCTYPE ") + TypeParam::root;
  struct Case {
    const char* what;
    std::string prolog;
    std::string rootAttributes;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"a comment", "<!--" + lookalike + "-->\n", "", "<!--" + lookalike + "-->"},
      {"a CDATA section", "", "", "<![CDATA[" + lookalike + "]]>"},
      {"a processing instruction", "<?tool " + lookalike + "?>\n", "", "<?tool " + lookalike + "?>"},
      {"one value", "", " note='" + many + "'", ""},
      {"an internal subset's comment and literal",
       doctype + " [<!-- " + lookalike + " --><!ENTITY % unused '" + lookalike + "'>]>\n", "", ""},
      {"an external identifier", doctype + " SYSTEM '" + lookalike + "'>\n", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome outcome = this->read(this->document(c.prolog, c.rootAttributes, c.body));
    EXPECT_EQ(outcome.refusal, "");
    EXPECT_TRUE(outcome.markRead);
  }
}

TYPED_TEST(XmlWideTag, AFileInUtf16IsReadAsBefore) {
  const Outcome outcome = this->read(utf16(this->document("", "", "")));
  EXPECT_EQ(outcome.refusal, "");
  EXPECT_TRUE(outcome.markRead);
}

// The parser reads the text decoded from the encoding a file declares, not
// its bytes: "café" in ISO-8859-1, and the euro sign, one byte in
// windows-1252.
TEST(XmlDeclaredEncoding, AFileInAnotherEncodingReadsAsItsTextSays) {
  TemporaryHome temp;
  struct Case {
    const char* encoding;
    std::string name;
    std::string utf8;
  };
  for (const Case& c : {Case{"ISO-8859-1", "caf\xE9", "caf\xC3\xA9"}, Case{"windows-1252", "\x80", "\xE2\x82\xAC"}}) {
    SCOPED_TRACE(c.encoding);
    const fs::path file = temp.work() / "encoded.xml";
    writeFileText(file, std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding +
                            "\"?>\n<Preferences System=\"1\"><ImagePath dir=\"/" + c.name + "\"/></Preferences>\n");
    Model::ModelFachade model;
    EXPECT_EQ(model.readPreferencesXMLFile(file.string()), "");
    EXPECT_EQ(model.get_image_folder(), "/" + c.utf8);
  }
}

// A start tag longer than the bound is refused; the longest one the
// program writes, a class name of the 65,535 characters an entry takes, all
// quotes, each written as "&quot;", reads again.
class XmlLongTag : public ::testing::Test {
 protected:
  TemporaryHome temp;
};

TEST_F(XmlLongTag, AStartTagLongerThanTheBoundIsRefused) {
  const fs::path file = temp.work() / "long.xml";
  const std::string root = "<Poligonos width=\"100\" height=\"100\"";
  for (const std::size_t length : {Model::StartTagScan::longestStartTag, Model::StartTagScan::longestStartTag + 1}) {
    SCOPED_TRACE(length);
    writeFileText(file, "<?xml version=\"1.0\"?>\n" + root + std::string(length - root.size() - 1, ' ') + ">" +
                            Annotation::mark() + "</Poligonos>\n");
    Model::ModelFachade model;
    const Model::AnnotationRead annotation = model.readAnnotationFile(file.string());
    const bool refused = length > Model::StartTagScan::longestStartTag;
    const std::string tooLong =
        "one of its start tags is longer than 4 MiB, far longer than in any file the program writes";
    EXPECT_EQ(annotation.refusal(), refused ? tooLong : "");
    EXPECT_EQ(annotation.shapeCount(), refused ? 0u : 1u);
  }
}

TEST_F(XmlLongTag, TheLongestStartTagTheProgramWritesReadsAgain) {
  const fs::path file = temp.work() / "preferences.xml";
  const std::string name(65535, '"');
  Model::ModelFachade model;
  std::vector<std::string> names = model.getPreferences()->getClassNamesPreferences();
  names[0] = name;
  model.getPreferences()->setClassNamesPreferences(names);
  ASSERT_TRUE(model.writePreferences(file.string()));
  EXPECT_NE(readFileText(file).find("type=\"&quot;&quot;"), std::string::npos);

  Model::ModelFachade reader;
  EXPECT_EQ(reader.readPreferencesXMLFile(file.string()), "");
  EXPECT_EQ(reader.getPreferences()->getClassNamesPreferences()[0], name);
}

}  // namespace
