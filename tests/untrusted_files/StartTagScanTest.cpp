// The scan of the start tags ahead of the parser: it counts what the parser
// would take for a start tag and nothing else, however the text is cut into
// blocks.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "StartTagScan.h"

namespace {

using Model::StartTagScan;

constexpr std::size_t bound = StartTagScan::mostAttributes;
const std::string tooWide =
    "one of its elements has more than 256 attributes, far more than in any file the program writes";

// A start tag with `count` attributes.
std::string tag(std::size_t count) {
  std::string text = "<a";
  for (std::size_t i = 0; i < count; ++i) text += " b" + std::to_string(i) + "='1'";
  return text + ">";
}

// What the scan answers for `text` handed over in blocks of `block` bytes.
std::string scan(const std::string& text, std::size_t block) {
  StartTagScan scan;
  for (std::size_t at = 0; at < text.size(); at += block)
    if (!scan.read(text.data() + at, std::min(block, text.size() - at))) break;
  return scan.refusal();
}

TEST(StartTagScan, CountsTheAttributesOfWhatTheParserTakesForAStartTagInAnyBlocks) {
  struct Case {
    const char* what;
    std::string text;
    bool refused;
  };
  const std::string wide = tag(bound + 1);
  const std::vector<Case> cases = {
      {"at the bound", tag(bound), false},
      {"beyond it", wide, true},
      {"beyond it, closed at once", "<a" + std::string(bound + 1, '=') + "/>", true},
      {"in the internal subset, after a declaration", "<!DOCTYPE a [<!ELEMENT a ANY>" + wide + "]>", true},
      {"after a tag whose value holds '>'", "<a b='>'>" + wide, true},
      {"'>' in a value does not end the tag", "<a c='>'" + wide.substr(2), true},
      {"'=' in a value is no attribute", "<a b='" + std::string(1000, '=') + "'>", false},
      {"in a comment", "<!--" + wide + "-->", false},
      {"after a comment", "<!-- - -- --->" + wide, true},
      {"\"<!-->\" ends no comment", "<!-->" + wide + "-->", false},
      {"in a CDATA section", "<![CDATA[" + wide + "]]>", false},
      {"after a CDATA section", "<![CDATA[]]]]>" + wide, true},
      {"\"]>\" ends no CDATA section", "<![CDATA[]>" + wide + "]]>", false},
      {"in a processing instruction", "<?pi " + wide + "?>", false},
      {"after one", "<?pi ? >?>" + wide, true},
      {"\"<?>\" ends no instruction", "<?>" + wide + "?>", false},
      {"in a document type's literal", "<!DOCTYPE a SYSTEM '>[" + wide + "'>", false},
      {"after the document type", "<!DOCTYPE a SYSTEM 'x'>" + wide, true},
      {"in an internal subset's literal", "<!DOCTYPE a [<!ENTITY % e ']>" + wide + "'>]>", false},
      {"in an internal subset's comment", "<!DOCTYPE a [<!-- ]>" + wide + " -->]>", false},
      {"after the internal subset", "<!DOCTYPE a [<!ENTITY e 'x'>] >" + wide, true},
      {"in another declaration", "<!ELEMENT a '" + wide + "'>", false},
      {"after an end tag", "</a>" + wide, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::size_t block : {c.text.size(), std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
      SCOPED_TRACE(block);
      EXPECT_EQ(scan(c.text, block), c.refused ? tooWide : "");
    }
  }
}

TEST(StartTagScan, CountsTheBytesOfAStartTagFromItsOpeningToItsEnd) {
  const std::size_t longest = StartTagScan::longestStartTag;
  const std::string tooLong =
      "one of its start tags is longer than 4 MiB, far longer than in any file the program writes";
  struct Case {
    std::string text;
    bool refused;
  };
  // Text and other markup around the tag do not count.
  const std::string around(longest, ' ');
  for (const Case& c : {Case{"<a" + std::string(longest - 3, ' ') + ">", false},
                        Case{"<a" + std::string(longest - 2, ' ') + ">", true},
                        Case{"<a b='" + std::string(longest, 'x') + "'>", true},
                        Case{around + "<a>" + around + "<!--" + around + "-->", false}}) {
    EXPECT_EQ(scan(c.text, 65536), c.refused ? tooLong : "");
  }
}

}  // namespace
