#ifndef GUARDEDSAXPARSER_H
#define GUARDEDSAXPARSER_H

#include <libxml++/parsers/saxparser.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "StartTagScan.h"

namespace Model {

class RegularFileRead;
class XmlTextDecoder;

// The event-driven reader of the files a user may have received from anyone.
// It reads nothing but the document it is given: a declaration of an external
// entity (a local file, a device, a network address) ends the parse, and no
// external DTD is loaded. Internal entities are substituted, but only as long
// as everything substituted stays below expansionFactor times the size of the
// document; beyond that the parse ends, before the text is built. Elements
// nested deeper than deepestNesting end the parse at the first start tag
// beyond it: each open element costs the parser memory and time, and a file
// nested millions deep would otherwise be read to its end.
//
// The parser is handed the document as UTF-8 text (XmlTextDecoder), which
// StartTagScan reads first: a start tag with more attributes or bytes than
// any the programs write ends the parse before libxml2 sees it, as does such
// a tag in an internal entity's text, which libxml2 parses where the entity
// is referred to. Every parse, of a file or of memory, goes this way.
class GuardedSaxParser : public xmlpp::SaxParser {
 public:
  static constexpr std::size_t expansionFactor = 10;
  // The deepest element nesting read. The files the programs write nest
  // three deep (an annotation's Poligonos, FreeHand and FPoint; a settings
  // file two), so this leaves a wide margin for any file made by hand.
  static constexpr int deepestNesting = 64;

  GuardedSaxParser();
  ~GuardedSaxParser() override;

  // Both raise the library's exception for every reason parseOpenedFile
  // answers, and for a file that is not a readable regular file.
  void parse_file(const Glib::ustring& filename) override;
  void parse_memory(const Glib::ustring& contents) override;

  // Parses `file` block by block as it is read, holding no more of it than
  // a block and what the parser keeps; a parser error ends the reading at
  // once. Answers why the file could not be read to its end (a read error,
  // not enough memory to parse it, elements nested deeper than
  // deepestNesting, a start tag beyond StartTagScan's bounds, or text that
  // cannot be decoded), or an empty string when it was parsed whole. XML
  // errors raise the library's exception.
  std::string parseOpenedFile(RegularFileRead& file);

 protected:
  // Installs the element callbacks that count the nesting; a subclass
  // cannot leave them out.
  void on_start_document() final;
  // A start tag as libxml2 gives it, before the library copies its name
  // and attributes into strings: true when the subclass has read it, false
  // to have it reach on_start_element as usual.
  virtual bool readRawStartTag(const unsigned char* name, const unsigned char** attributes);

  _xmlEntity* on_get_entity(const Glib::ustring& name) override;
  void on_entity_declaration(const Glib::ustring& name, xmlpp::XmlEntityType type, const Glib::ustring& publicId,
                             const Glib::ustring& systemId, const Glib::ustring& content) override;

 private:
  // Bytes that the entity expands to, with the entities it refers to
  // expanded in turn; saturates at the budget (a loop counts as endless).
  std::size_t expandedSize(const std::string& name, int depth);
  // Resets what a parse counts: the entity budget, the open elements, the
  // decoding and the scan of the start tags.
  void startParse(std::size_t documentBytes);
  // Runs `parse`, which answers why it stopped, and answers why it did:
  // also for lack of memory, or for an exception after the guard refused
  // the document. Other XML errors go on to the caller.
  std::string guardedParse(const std::function<std::string()>& parse);
  // Decode, scan and parse the next bytes of the document (false once the
  // guard refused it), and its end.
  bool handOn(const unsigned char* bytes, std::size_t count);
  void handOnEnd();
  bool parseText(const std::string& text);
  static std::string tooDeepRefusal();
  static GuardedSaxParser* parserOf(void* context);
  static void startElementCallback(void* context, const unsigned char* name, const unsigned char** attributes);
  static void endElementCallback(void* context, const unsigned char* name);

  std::map<std::string, std::string> declared;  // internal entity name to its text
  std::map<std::string, std::size_t> sizes;     // expanded sizes computed so far
  std::size_t budget = 0;
  std::size_t substituted = 0;
  int openElements = 0;
  std::unique_ptr<XmlTextDecoder> decoder;
  StartTagScan startTags;
  // Why the guard ended the parse: nesting, a start tag, or text it cannot decode.
  std::string guardRefusal;
  // The library's own element callbacks, which the counting ones hand on to.
  void (*libraryStartElement)(void* context, const unsigned char* name, const unsigned char** attributes) = nullptr;
  void (*libraryEndElement)(void* context, const unsigned char* name) = nullptr;
};

}  // namespace Model

#endif
