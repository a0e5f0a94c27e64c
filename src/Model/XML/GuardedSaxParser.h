#ifndef GUARDEDSAXPARSER_H
#define GUARDEDSAXPARSER_H

#include <libxml++/parsers/saxparser.h>

#include <cstddef>
#include <map>
#include <string>

namespace Model {

class RegularFileRead;

// The event-driven reader of the files a user may have received from anyone.
// It reads nothing but the document it is given: a declaration of an external
// entity (a local file, a device, a network address) ends the parse, and no
// external DTD is loaded. Internal entities are substituted, but only as long
// as everything substituted stays below expansionFactor times the size of the
// document; beyond that the parse ends, before the text is built.
class GuardedSaxParser : public xmlpp::SaxParser {
 public:
  static constexpr std::size_t expansionFactor = 10;

  GuardedSaxParser();

  void parse_file(const Glib::ustring& filename) override;
  void parse_memory(const Glib::ustring& contents) override;

  // Parses `file` block by block as it is read, holding no more of it than
  // a block and what the parser keeps; a parser error ends the reading at
  // once. Answers why the file could not be read to its end (a read error,
  // or not enough memory to parse it), or an empty string when it was
  // parsed whole. XML errors raise the library's exception, as the other
  // parses do.
  std::string parseOpenedFile(RegularFileRead& file);

 protected:
  _xmlEntity* on_get_entity(const Glib::ustring& name) override;
  void on_entity_declaration(const Glib::ustring& name, xmlpp::XmlEntityType type, const Glib::ustring& publicId,
                             const Glib::ustring& systemId, const Glib::ustring& content) override;

 private:
  // Bytes that the entity expands to, with the entities it refers to
  // expanded in turn; saturates at the budget (a loop counts as endless).
  std::size_t expandedSize(const std::string& name, int depth);
  void startBudget(std::size_t documentBytes);

  std::map<std::string, std::string> declared;  // internal entity name to its text
  std::map<std::string, std::size_t> sizes;     // expanded sizes computed so far
  std::size_t budget = 0;
  std::size_t substituted = 0;
};

}  // namespace Model

#endif
