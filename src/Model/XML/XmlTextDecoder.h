#ifndef XMLTEXTDECODER_H
#define XMLTEXTDECODER_H

#include <cstddef>
#include <string>

struct _xmlBuffer;
struct _xmlCharEncodingHandler;

namespace Model {

// Turns the bytes of an XML document into the UTF-8 text that the parser is
// handed, block by block, so that whatever checks that text ahead of the
// parser reads exactly what the parser reads (the parser is told to ignore
// the encoding the document declares). The encoding is found as libxml2
// finds it: from the first four bytes (UTF-16, UCS-4, EBCDIC), else from
// the encoding the XML declaration names; a document in UTF-8, or that
// names none, is handed on as it is. Any other is decoded by libxml2's own
// decoder for it.
class XmlTextDecoder {
 public:
  // The first bytes held back to find an XML declaration's end. A
  // declaration is some fifty bytes long; one without an end by then names
  // no encoding that is followed.
  static constexpr std::size_t declarationBytes = 4096;
  // The most bytes of one character in any encoding, with a wide margin.
  static constexpr std::size_t longestCharacter = 16;

  XmlTextDecoder() = default;
  ~XmlTextDecoder();
  XmlTextDecoder(const XmlTextDecoder&) = delete;
  XmlTextDecoder& operator=(const XmlTextDecoder&) = delete;

  // Appends the text of the next `count` bytes of the document to `text`
  // (the first bytes are held back until the encoding is known). False when
  // they cannot be decoded; refusal() then says why.
  bool decode(const unsigned char* bytes, std::size_t count, std::string& text);
  // The document has ended: appends what was held back. False when it
  // cannot be decoded, also when it ends within a character.
  bool finish(std::string& text);
  // Why the document cannot be decoded, as a user can read it; empty while it can.
  const std::string& refusal() const { return refusalReason; }

 private:
  // Finds the encoding from the bytes held back once they tell it (at the
  // end they always do), and then hands them on; refuses an encoding that
  // cannot be read.
  void chooseEncoding(bool atEnd, std::string& text);
  bool convert(const unsigned char* bytes, std::size_t count, std::string& text);
  bool refuseUndecodable();

  std::string held;  // the first bytes, until the encoding is known
  bool encodingKnown = false;
  _xmlCharEncodingHandler* decoder = nullptr;  // none: the bytes are UTF-8 already
  _xmlBuffer* undecoded = nullptr;             // bytes of a character the next block ends
  _xmlBuffer* decoded = nullptr;
  std::string refusalReason;
};

}  // namespace Model

#endif
