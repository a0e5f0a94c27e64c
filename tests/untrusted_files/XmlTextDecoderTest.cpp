// The text the parser is handed: the document's characters in UTF-8,
// decoded from the encoding the first bytes or the XML declaration give,
// however the bytes are cut into blocks; bytes that are no text in that
// encoding are refused.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "XmlTextDecoder.h"

namespace {

using Model::XmlTextDecoder;

struct Decoded {
  std::string text;
  std::string refusal;
};

Decoded decode(const std::string& bytes, std::size_t block) {
  XmlTextDecoder decoder;
  Decoded out;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  bool decodable = true;
  for (std::size_t at = 0; decodable && at < bytes.size(); at += block)
    decodable = decoder.decode(data + at, std::min(block, bytes.size() - at), out.text);
  if (decodable) decoder.finish(out.text);
  out.refusal = decoder.refusal();
  return out;
}

// The characters of a text of code points below 0x10000 in UTF-16.
std::string utf16(const std::u16string& text, bool littleEndian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += littleEndian ? low : high;
    bytes += littleEndian ? high : low;
  }
  return bytes;
}

const std::string root = "<r a='caf\xC3\xA9 \xE2\x82\xAC'/>";  // "café €" in UTF-8

TEST(XmlTextDecoder, HandsOnTheDocumentsCharactersInUtf8InAnyBlocks) {
  const std::string declaration = "<?xml version='1.0'?>";
  struct Case {
    const char* what;
    std::string bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"UTF-8", declaration + root, declaration + root},
      {"UTF-8 after its byte order mark", "\xEF\xBB\xBF" + root, "\xEF\xBB\xBF" + root},
      {"no declaration", root, root},
      {"a declaration naming UTF-8", "<?xml version='1.0' encoding = 'utf-8'?>" + root,
       "<?xml version='1.0' encoding = 'utf-8'?>" + root},
      {"UTF-16, little-endian after its mark", utf16(u"\uFEFF<r a='caf\u00E9 \u20AC'/>", true),
       "\xEF\xBB\xBF" + root},
      {"UTF-16, big-endian without a mark", utf16(u"<?xml version='1.0'?><r a='caf\u00E9 \u20AC'/>", false),
       declaration + root},
      {"ISO-8859-15, named", "<?xml version='1.0' encoding='ISO-8859-15'?><r a='caf\xE9 \xA4'/>",
       "<?xml version='1.0' encoding='ISO-8859-15'?>" + root},
      {"a declaration longer than the bytes held back, whose name is not followed",
       "<?xml version='1.0'" + std::string(XmlTextDecoder::declarationBytes, ' ') + "encoding='ISO-8859-15'?>\xE9",
       "<?xml version='1.0'" + std::string(XmlTextDecoder::declarationBytes, ' ') + "encoding='ISO-8859-15'?>\xE9"},
      {"a few bytes", "<r", "<r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::size_t block : {c.bytes.size(), std::size_t{1}, std::size_t{3}, std::size_t{5}}) {
      SCOPED_TRACE(block);
      const Decoded decoded = decode(c.bytes, block);
      EXPECT_EQ(decoded.refusal, "");
      EXPECT_EQ(decoded.text, c.text);
    }
  }
}

TEST(XmlTextDecoder, RefusesBytesThatAreNoTextInTheirEncoding) {
  const std::string notText = "it holds bytes that are no text in the encoding it is written in";
  struct Case {
    const char* what;
    std::string bytes;
    std::string refusal;
  };
  const std::vector<Case> cases = {
      {"an encoding nobody knows", "<?xml version='1.0' encoding='no-such'?><r/>",
       "it is written in the encoding no-such, which cannot be read"},
      {"a byte beyond ASCII", "<?xml version='1.0' encoding='US-ASCII'?><r a='\xE9'/>", notText},
      {"the same, with much text after it",
       "<?xml version='1.0' encoding='US-ASCII'?><r a='\xE9'/>" + std::string(1 << 20, ' '), notText},
      {"UTF-16 cut within a character", utf16(u"\uFEFF<r/>", true) + "\x20", notText},
      {"a zero character", utf16(std::u16string(u"\uFEFF<\0?", 4), true),
       "it holds a zero character, which no XML document may hold"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::size_t block : {c.bytes.size(), std::size_t{1}, std::size_t{65536}}) {
      SCOPED_TRACE(block);
      EXPECT_EQ(decode(c.bytes, block).refusal, c.refusal);
    }
  }
}

}  // namespace
