#include "GuardedSaxParser.h"

#include <libxml/parser.h>
#include <sys/stat.h>

#include <libxml++/exceptions/exception.h>
#include <libxml++/exceptions/parse_error.h>

#include <new>
#include <string>
#include <vector>

#include "RegularFileRead.h"

namespace Model {

namespace {
// Deeper nesting than this is not a real document; it is treated as endless.
constexpr int maximumNesting = 40;
// The bytes handed to the parser at a time.
constexpr std::size_t blockBytes = 64 * 1024;
}  // namespace

GuardedSaxParser::GuardedSaxParser() : xmlpp::SaxParser(true) {
  set_parser_options(XML_PARSE_NONET, XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE);
}

void GuardedSaxParser::startParse(std::size_t documentBytes) {
  declared.clear();
  sizes.clear();
  budget = documentBytes * expansionFactor;
  substituted = 0;
  openElements = 0;
  tooDeep = false;
}

void GuardedSaxParser::parse_file(const Glib::ustring& filename) {
  struct stat status {};
  // A file that cannot be examined gets no budget; the parse reports why it cannot be read.
  startParse(stat(filename.c_str(), &status) == 0 && S_ISREG(status.st_mode) ? status.st_size : 0);
  xmlpp::SaxParser::parse_file(filename);
}

void GuardedSaxParser::parse_memory(const Glib::ustring& contents) {
  startParse(contents.bytes());
  xmlpp::SaxParser::parse_memory(contents);
}

std::string GuardedSaxParser::parseOpenedFile(RegularFileRead& file) {
  // The budget is measured on the length the file had when it was opened:
  // the parser never sees the document whole.
  startParse(file.size());
  release_underlying();  // a parse starts afresh, never inside an earlier one
  try {
    std::vector<unsigned char> block(blockBytes);
    for (;;) {
      const std::size_t count = file.readBlock(reinterpret_cast<char*>(block.data()), block.size());
      if (count == 0) break;
      parse_chunk_raw(block.data(), count);
    }
    if (!file.readable()) {
      release_underlying();
      return file.refusal();
    }
    finish_chunk_parsing();
  } catch (const std::bad_alloc&) {
    release_underlying();
    return "there is not enough memory to read it";
  } catch (const xmlpp::exception&) {
    if (!tooDeep) throw;
    release_underlying();
    return tooDeepRefusal();
  }
  return std::string();
}

void GuardedSaxParser::on_start_document() {
  // A file or memory parse keeps the handler between parses: install once.
  xmlSAXHandler* handler = context_->sax;
  if (handler->startElement != &GuardedSaxParser::startElementCallback) {
    libraryStartElement = handler->startElement;
    handler->startElement = &GuardedSaxParser::startElementCallback;
  }
  if (handler->endElement != &GuardedSaxParser::endElementCallback) {
    libraryEndElement = handler->endElement;
    handler->endElement = &GuardedSaxParser::endElementCallback;
  }
  xmlpp::SaxParser::on_start_document();
}

bool GuardedSaxParser::readRawStartTag(const xmlChar* /*name*/, const xmlChar** /*attributes*/) { return false; }

std::string GuardedSaxParser::tooDeepRefusal() {
  return "its elements are nested more than " + std::to_string(deepestNesting) +
         " deep, far deeper than in any file the program writes";
}

GuardedSaxParser* GuardedSaxParser::parserOf(void* context) {
  return static_cast<GuardedSaxParser*>(static_cast<xmlpp::SaxParser*>(static_cast<xmlParserCtxt*>(context)->_private));
}

void GuardedSaxParser::startElementCallback(void* context, const xmlChar* name, const xmlChar** attributes) {
  GuardedSaxParser* parser = parserOf(context);
  if (++parser->openElements > deepestNesting) {
    // No exception may cross libxml2: the library keeps it, stops the
    // parser and raises it when the parse call returns.
    parser->tooDeep = true;
    parser->handleException(xmlpp::parse_error(tooDeepRefusal()));
    return;
  }
  if (!parser->readRawStartTag(name, attributes)) parser->libraryStartElement(context, name, attributes);
}

void GuardedSaxParser::endElementCallback(void* context, const xmlChar* name) {
  GuardedSaxParser* parser = parserOf(context);
  --parser->openElements;
  parser->libraryEndElement(context, name);
}

void GuardedSaxParser::on_entity_declaration(const Glib::ustring& name, xmlpp::XmlEntityType type,
                                             const Glib::ustring& publicId, const Glib::ustring& systemId,
                                             const Glib::ustring& content) {
  if (type != xmlpp::XML_INTERNAL_GENERAL_ENTITY && type != xmlpp::XML_INTERNAL_PARAMETER_ENTITY)
    throw xmlpp::parse_error("the document refers to an external entity, which is not read: " + name);
  if (type == xmlpp::XML_INTERNAL_GENERAL_ENTITY) declared[name.raw()] = content.raw();
  xmlpp::SaxParser::on_entity_declaration(name, type, publicId, systemId, content);
}

_xmlEntity* GuardedSaxParser::on_get_entity(const Glib::ustring& name) {
  if (declared.count(name.raw()) != 0) {
    substituted += expandedSize(name.raw(), 0);
    if (substituted > budget)
      throw xmlpp::parse_error("the document's entities expand far beyond its size: " + name);
  }
  return xmlpp::SaxParser::on_get_entity(name);
}

std::size_t GuardedSaxParser::expandedSize(const std::string& name, int depth) {
  const auto known = sizes.find(name);
  if (known != sizes.end()) return known->second;
  const auto entity = declared.find(name);
  if (entity == declared.end()) return 1;  // a predefined entity, one character
  const std::size_t endless = budget + 1;
  if (depth > maximumNesting) return endless;
  sizes[name] = endless;  // a reference back to this entity while it is measured is a loop
  const std::string& text = entity->second;
  std::size_t total = 0;
  std::size_t position = 0;
  while (position < text.size() && total <= budget) {
    const std::size_t start = text.find('&', position);
    const std::size_t end = start == std::string::npos ? std::string::npos : text.find(';', start);
    if (end == std::string::npos) {
      total += text.size() - position;
      break;
    }
    total += start - position;
    total += expandedSize(text.substr(start + 1, end - start - 1), depth + 1);
    position = end + 1;
  }
  if (total > budget) total = endless;
  sizes[name] = total;
  return total;
}

}  // namespace Model
