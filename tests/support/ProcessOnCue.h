#ifndef PROCESSONCUE_H
#define PROCESSONCUE_H

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

// Work done by another process, as by a second program running beside the
// test, at the moment the test chooses: the child is forked at once and
// waits for its cue; its work's answer reaches the test through a pipe. The
// child inherits what the test had set at that moment, nothing set later.
class ProcessOnCue {
 public:
  explicit ProcessOnCue(const std::function<std::string()>& work);
  // A child never cued ends without working; the child is waited for.
  ~ProcessOnCue();
  ProcessOnCue(const ProcessOnCue&) = delete;
  ProcessOnCue& operator=(const ProcessOnCue&) = delete;

  // Lets the child work, and returns once it is done or is waiting for the
  // system's lock of `file` (flock), which another holds.
  void cueUntilDoneOrWaitingForLockOf(const std::filesystem::path& file);
  // The work's answer, once the child is done (waited for); "" when it ended
  // without one or could not be started.
  std::string answer();

 private:
  bool waitingForLock(ino_t file) const;

  pid_t child = -1;
  int cue = -1;    // written to, or closed, to let the child go on
  int reply = -1;  // where the answer arrives, then its end
};

#endif
