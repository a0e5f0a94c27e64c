#include "StartTagScan.h"

#include <libxml/parserInternals.h>

#include <cstring>

namespace Model {

static_assert(StartTagScan::longestStartTag < XML_MAX_LOOKUP_LIMIT,
              "a start tag too long is refused before libxml2 has held it whole");

bool StartTagScan::read(const char* text, std::size_t count) {
  std::size_t at = 0;
  while (at < count && refusalReason.empty()) {
    // Character data is most of some documents: go to its next markup at once.
    if (state == State::Text && !inSubset) {
      const void* markup = std::memchr(text + at, '<', count - at);
      if (markup == nullptr) break;
      at = static_cast<std::size_t>(static_cast<const char*>(markup) - text);
    }
    step(text[at++]);
  }
  return refusalReason.empty();
}

void StartTagScan::step(char c) {
  switch (state) {
    case State::Text:
      if (c == '<')
        state = State::Open;
      else if (inSubset && c == ']')
        state = State::SubsetEnd;
      break;
    case State::Open:
      open(c);
      break;
    case State::Bang:
      matchOpener(c);
      break;
    case State::Comment:
      endAfterRun(c, '-', 2);
      break;
    case State::Instruction:
      endAfterRun(c, '?', 1);
      break;
    case State::CData:
      endAfterRun(c, ']', 2);
      break;
    case State::EndTag:
      if (c == '>') state = State::Text;
      break;
    case State::StartTag:
      countStartTagByte();
      if (c == '"' || c == '\'') {
        quote = c;
        state = State::StartTagValue;
      } else if (c == '=') {
        if (++attributes > mostAttributes)
          refusalReason = "one of its elements has more than " + std::to_string(mostAttributes) +
                          " attributes, far more than in any file the program writes";
      } else if (c == '>') {
        state = State::Text;
      }
      break;
    case State::StartTagValue:
      countStartTagByte();
      if (c == quote) state = State::StartTag;
      break;
    case State::Declaration:
      if (c == '"' || c == '\'') {
        quote = c;
        state = State::DeclarationValue;
      } else if (c == '>') {
        state = State::Text;
      } else if (c == '[' && doctype && !inSubset) {
        inSubset = true;
        state = State::Text;
      }
      break;
    case State::DeclarationValue:
      if (c == quote) state = State::Declaration;
      break;
    case State::SubsetEnd:
      if (c == '>') {
        inSubset = false;
        state = State::Text;
      }
      break;
  }
}

void StartTagScan::open(char c) {
  if (c == '?') {
    state = State::Instruction;
    run = 0;
  } else if (c == '!') {
    state = State::Bang;
    matched = 0;
  } else if (c == '/') {
    state = State::EndTag;
  } else {
    // Anything else the parser reads as a start tag, or stops at.
    state = State::StartTag;
    tagBytes = 1;
    attributes = 0;
    step(c);
  }
}

void StartTagScan::matchOpener(char c) {
  if (matched == 0) opener = c == '-' ? "--" : c == '[' ? "[CDATA[" : c == 'D' ? "DOCTYPE" : nullptr;
  if (opener == nullptr || c != opener[matched]) {
    // A declaration such as "<!ENTITY", or an error where the parser stops.
    enterDeclaration(false);
    step(c);
    return;
  }
  if (opener[++matched] != '\0') return;
  run = 0;
  if (opener[0] == '-')
    state = State::Comment;
  else if (opener[0] == '[')
    state = State::CData;
  else
    enterDeclaration(true);
}

void StartTagScan::enterDeclaration(bool isDoctype) {
  state = State::Declaration;
  doctype = isDoctype;
}

void StartTagScan::endAfterRun(char c, char closing, std::size_t needed) {
  if (c == '>' && run >= needed)
    state = State::Text;
  else
    run = c == closing ? run + 1 : 0;
}

void StartTagScan::countStartTagByte() {
  if (++tagBytes > longestStartTag)
    refusalReason = "one of its start tags is longer than " + std::to_string(longestStartTag >> 20) +
                    " MiB, far longer than in any file the program writes";
}

}  // namespace Model
