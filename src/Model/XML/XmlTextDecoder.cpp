#include "XmlTextDecoder.h"

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace Model {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The encoding an XML declaration's text names, or "" when it names none.
std::string declaredEncoding(const std::string& declaration) {
  const std::size_t keyword = declaration.find("encoding");
  if (keyword == std::string::npos) return "";
  std::size_t at = keyword + std::strlen("encoding");
  while (at < declaration.size() && isBlank(declaration[at])) ++at;
  if (at >= declaration.size() || declaration[at] != '=') return "";
  ++at;
  while (at < declaration.size() && isBlank(declaration[at])) ++at;
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return "";
  const std::size_t end = declaration.find(declaration[at], at + 1);
  if (end == std::string::npos) return "";
  return declaration.substr(at + 1, end - at - 1);
}

// UTF-8 is the parser's own text. A document whose first bytes are not
// UTF-16 is not decoded as UTF-16 whatever it is labelled.
bool readAsItIs(const std::string& name) {
  for (const char* unicode : {"UTF-8", "UTF8", "UTF-16", "UTF16"})
    if (strcasecmp(name.c_str(), unicode) == 0) return true;
  return false;
}

}  // namespace

XmlTextDecoder::~XmlTextDecoder() {
  if (undecoded != nullptr) xmlBufferFree(undecoded);
  if (decoded != nullptr) xmlBufferFree(decoded);
  if (decoder != nullptr) xmlCharEncCloseFunc(decoder);
}

bool XmlTextDecoder::decode(const unsigned char* bytes, std::size_t count, std::string& text) {
  if (!refusalReason.empty()) return false;
  if (encodingKnown) {
    if (decoder != nullptr) return convert(bytes, count, text);
    text.append(reinterpret_cast<const char*>(bytes), count);
    return true;
  }
  held.append(reinterpret_cast<const char*>(bytes), count);
  chooseEncoding(false, text);
  return refusalReason.empty();
}

bool XmlTextDecoder::finish(std::string& text) {
  if (!refusalReason.empty()) return false;
  if (!encodingKnown) chooseEncoding(true, text);
  if (refusalReason.empty() && undecoded != nullptr && xmlBufferLength(undecoded) > 0) refuseUndecodable();
  return refusalReason.empty();
}

void XmlTextDecoder::chooseEncoding(bool atEnd, std::string& text) {
  if (held.size() < 4 && !atEnd) return;
  const auto* first = reinterpret_cast<const unsigned char*>(held.data());
  const xmlCharEncoding found = xmlDetectCharEncoding(first, static_cast<int>(std::min<std::size_t>(held.size(), 4)));
  // The bytes up to the end of the XML declaration are handed on as they
  // are when the encoding it names decodes the rest.
  std::size_t declarationEnd = 0;
  if (found != XML_CHAR_ENCODING_NONE && found != XML_CHAR_ENCODING_UTF8) {
    decoder = xmlGetCharEncodingHandler(found);
    if (decoder == nullptr) {
      refusalReason = "it is written in an encoding that cannot be read";
      return;
    }
  } else {
    const std::size_t start = held.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // after a byte order mark
    const std::string head = held.substr(0, declarationBytes);
    if (head.size() < start + 6 && !atEnd) return;
    if (head.compare(start, 5, "<?xml") == 0 && head.size() > start + 5 && isBlank(head[start + 5])) {
      const std::size_t end = head.find("?>", start);
      if (end == std::string::npos && head.size() < declarationBytes && !atEnd) return;
      if (end != std::string::npos) {
        const std::string name = declaredEncoding(head.substr(start, end - start));
        if (!name.empty() && !readAsItIs(name)) {
          decoder = xmlFindCharEncodingHandler(name.c_str());
          if (decoder == nullptr) {
            refusalReason = "it is written in the encoding " + name + ", which cannot be read";
            return;
          }
          declarationEnd = end + 2;
        }
      }
    }
  }
  encodingKnown = true;
  std::string bytes;
  bytes.swap(held);
  if (decoder == nullptr) {
    text += bytes;
    return;
  }
  text.append(bytes, 0, declarationEnd);
  convert(reinterpret_cast<const unsigned char*>(bytes.data()) + declarationEnd, bytes.size() - declarationEnd, text);
}

bool XmlTextDecoder::convert(const unsigned char* bytes, std::size_t count, std::string& text) {
  if (undecoded == nullptr) undecoded = xmlBufferCreate();
  if (decoded == nullptr) decoded = xmlBufferCreate();
  if (undecoded == nullptr || decoded == nullptr) throw std::bad_alloc();
  if (count > 0 && xmlBufferAdd(undecoded, bytes, static_cast<int>(count)) != 0) throw std::bad_alloc();
  for (;;) {
    const int before = xmlBufferLength(undecoded);
    const int result = xmlCharEncInFunc(decoder, decoded, undecoded);
    const auto* content = reinterpret_cast<const char*>(xmlBufferContent(decoded));
    const std::size_t length = static_cast<std::size_t>(xmlBufferLength(decoded));
    // XML allows no zero character anywhere; a text beginning with one
    // would be read by the parser as UTF-16 or UCS-4, not as the UTF-8 given.
    if (std::memchr(content, '\0', length) != nullptr) {
      refusalReason = "it holds a zero character, which no XML document may hold";
      return false;
    }
    text.append(content, length);
    xmlBufferEmpty(decoded);
    if (result < 0) return refuseUndecodable();
    if (xmlBufferLength(undecoded) == 0 || xmlBufferLength(undecoded) == before) break;
  }
  // The decoders stop both at the start of a character that the next bytes
  // end and at bytes that are no character at all: a character takes a few
  // bytes, so more bytes left are none.
  if (static_cast<std::size_t>(xmlBufferLength(undecoded)) > longestCharacter) return refuseUndecodable();
  return true;
}

bool XmlTextDecoder::refuseUndecodable() {
  refusalReason = "it holds bytes that are no text in the encoding it is written in";
  return false;
}

}  // namespace Model
