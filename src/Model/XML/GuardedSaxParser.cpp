#include "GuardedSaxParser.h"

#include <libxml/parser.h>

#include <libxml++/exceptions/exception.h>
#include <libxml++/exceptions/parse_error.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "RegularFileRead.h"
#include "XmlTextDecoder.h"

namespace Model {

namespace {
// Deeper nesting than this is not a real document; it is treated as endless.
constexpr int maximumNesting = 40;
// The bytes handed to the parser at a time.
constexpr std::size_t blockBytes = 64 * 1024;
}  // namespace

GuardedSaxParser::GuardedSaxParser() : xmlpp::SaxParser(true) {
  // The parser reads the UTF-8 text the decoder hands it, never the
  // document's bytes in the encoding it declares.
  set_parser_options(XML_PARSE_NONET | XML_PARSE_IGNORE_ENC,
                     XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE);
}

GuardedSaxParser::~GuardedSaxParser() = default;

void GuardedSaxParser::startParse(std::size_t documentBytes) {
  declared.clear();
  sizes.clear();
  budget = documentBytes * expansionFactor;
  substituted = 0;
  openElements = 0;
  decoder = std::make_unique<XmlTextDecoder>();
  startTags = StartTagScan();
  guardRefusal.clear();
}

void GuardedSaxParser::parse_file(const Glib::ustring& filename) {
  RegularFileRead file(filename);
  if (!file.readable()) throw xmlpp::parse_error(file.refusal());
  const std::string refusal = parseOpenedFile(file);
  if (!refusal.empty()) throw xmlpp::parse_error(refusal);
}

void GuardedSaxParser::parse_memory(const Glib::ustring& contents) {
  startParse(contents.bytes());
  const std::string refusal = guardedParse([this, &contents]() {
    const auto* bytes = reinterpret_cast<const unsigned char*>(contents.data());
    for (std::size_t at = 0; at < contents.bytes(); at += blockBytes)
      if (!handOn(bytes + at, std::min(blockBytes, contents.bytes() - at))) return guardRefusal;
    handOnEnd();
    return guardRefusal;
  });
  if (!refusal.empty()) throw xmlpp::parse_error(refusal);
}

std::string GuardedSaxParser::parseOpenedFile(RegularFileRead& file) {
  // The budget is measured on the length the file had when it was opened:
  // the parser never sees the document whole.
  startParse(file.size());
  return guardedParse([this, &file]() {
    std::vector<unsigned char> block(blockBytes);
    for (;;) {
      const std::size_t count = file.readBlock(reinterpret_cast<char*>(block.data()), block.size());
      if (!file.readable()) return file.refusal();
      if (count == 0) break;
      if (!handOn(block.data(), count)) return guardRefusal;
    }
    handOnEnd();
    return guardRefusal;
  });
}

std::string GuardedSaxParser::guardedParse(const std::function<std::string()>& parse) {
  release_underlying();  // a parse starts afresh, never inside an earlier one
  std::string refusal;
  try {
    refusal = parse();
  } catch (const std::bad_alloc&) {
    refusal = "there is not enough memory to read it";
  } catch (const xmlpp::exception&) {
    if (guardRefusal.empty()) throw;
    refusal = guardRefusal;
  }
  if (!refusal.empty()) release_underlying();
  return refusal;
}

bool GuardedSaxParser::handOn(const unsigned char* bytes, std::size_t count) {
  std::string text;
  if (!decoder->decode(bytes, count, text)) guardRefusal = decoder->refusal();
  return guardRefusal.empty() && parseText(text);
}

void GuardedSaxParser::handOnEnd() {
  std::string text;
  if (!decoder->finish(text)) guardRefusal = decoder->refusal();
  if (guardRefusal.empty() && parseText(text)) finish_chunk_parsing();
}

bool GuardedSaxParser::parseText(const std::string& text) {
  // The scan goes ahead of the parser: no start tag beyond its bounds reaches libxml2.
  if (!startTags.read(text.data(), text.size())) {
    guardRefusal = startTags.refusal();
    return false;
  }
  if (!text.empty()) parse_chunk_raw(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  return true;
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
    parser->guardRefusal = tooDeepRefusal();
    parser->handleException(xmlpp::parse_error(parser->guardRefusal));
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
  if (type == xmlpp::XML_INTERNAL_GENERAL_ENTITY) {
    // The parser reads the entity's text where it is referred to, start tags and all.
    StartTagScan entityTags;
    if (!entityTags.read(content.data(), content.bytes())) {
      guardRefusal = entityTags.refusal();
      throw xmlpp::parse_error(guardRefusal);
    }
    declared[name.raw()] = content.raw();
  }
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
