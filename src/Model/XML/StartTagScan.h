#ifndef STARTTAGSCAN_H
#define STARTTAGSCAN_H

#include <cstddef>
#include <string>

namespace Model {

// Reads the text of an XML document (UTF-8, as the parser gets it) ahead of
// the parser, block by block, and stops at the first start tag that holds
// more attributes or more bytes than any the programs write. libxml2 checks
// each attribute of a start tag against every one before it, so a tag of n
// attributes costs it n * n steps (300,000 of them take minutes).
//
// Comments, processing instructions, CDATA sections, the document type
// declaration with its internal subset, and quoted values are passed over as
// the parser passes over them, so that nothing they hold is taken for a tag,
// and nothing the parser takes for a start tag is passed over. Past the first
// error of a malformed document the scan may read it otherwise than the
// parser would, but the parser stops there.
class StartTagScan {
 public:
  // The most attributes of one element. The widest element the programs
  // write is an annotation's root: file name, calibration, two diameter
  // limits, width, height and at most twelve measures, 18 in all.
  static constexpr std::size_t mostAttributes = 256;
  // The longest start tag, in bytes. The longest the programs write holds
  // a class or problem name of the 65,535 characters an entry takes, each at
  // most six bytes once escaped ("&quot;"): 393,210 bytes and a few numbers.
  // libxml2 holds a start tag whole before it parses it and stops, having
  // held them, at 10,000,000 bytes (XML_MAX_LOOKUP_LIMIT); this bound comes
  // well before.
  static constexpr std::size_t longestStartTag = std::size_t{4} << 20;

  // Reads the next `count` bytes of the text. False once a start tag goes
  // beyond a bound, for these bytes and every later call; refusal() then
  // says why.
  bool read(const char* text, std::size_t count);
  // Why the text is refused, as a user can read it; empty while it is not.
  const std::string& refusal() const { return refusalReason; }

 private:
  enum class State {
    Text,              // outside markup: in the document, or in the internal subset when inSubset
    Open,              // after "<"
    Bang,              // after "<!", matching what follows against an opener
    Comment,           // until "-->"
    Instruction,       // until "?>"
    CData,             // until "]]>"
    EndTag,            // until ">"
    StartTag,          // until ">" outside quotes, counted
    StartTagValue,     // a quoted attribute value, counted
    Declaration,       // "<!DOCTYPE" or another declaration, until ">" outside quotes
    DeclarationValue,  // a quoted literal of a declaration
    SubsetEnd,         // after the internal subset's "]", until ">"
  };

  void step(char c);
  void open(char c);
  void matchOpener(char c);
  void enterDeclaration(bool doctype);
  // Ends a comment, an instruction or a CDATA section at a ">" that follows
  // `needed` or more `closing` characters in a row.
  void endAfterRun(char c, char closing, std::size_t needed);
  void countStartTagByte();

  State state = State::Text;
  bool inSubset = false;                // within the internal subset of the document type
  bool doctype = false;                 // the declaration read is the document type
  const char* opener = nullptr;         // what "<!" may open: "--", "[CDATA[" or "DOCTYPE"
  std::size_t matched = 0;              // bytes of the opener matched so far
  std::size_t run = 0;                  // '-', ']' or '?' just before, in a row, to tell a markup's end
  char quote = 0;                       // the quote of the value read
  std::size_t tagBytes = 0;             // of the start tag read, from its "<"
  std::size_t attributes = 0;           // of the start tag read, one per "=" outside quotes
  std::string refusalReason;
};

}  // namespace Model

#endif
