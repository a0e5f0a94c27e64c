#ifndef MESSAGERECORDER_H
#define MESSAGERECORDER_H

#include <string>
#include <vector>

#include "DialogAnswerer.h"

// Answers every message box that appears while it lives with OK and keeps
// their texts (the secondary text, where the program's message stands).
class MessageRecorder {
 public:
  MessageRecorder();

  const std::vector<std::string>& messages() const { return texts; }
  // The texts so far, forgetting them.
  std::vector<std::string> take();

 private:
  bool onPoll();

  std::vector<std::string> texts;
  // Last, so that its timers start after and stop before the texts.
  DialogAnswerer answerer;
};

#endif
