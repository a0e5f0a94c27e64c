#ifndef SCRATCHFILE_H
#define SCRATCHFILE_H

#include <optional>
#include <string>

// A file in the system's temporary folder for a library that writes only to
// a file it is given by name, read back once written. Unnamed where the
// system allows, so that nothing is left however the program ends; else a
// fresh named file, removed when the scratch file goes.
class ScratchFile {
 public:
  ScratchFile();
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  bool isOpen() const { return descriptor >= 0; }
  // The name under which the library opens the file.
  const std::string& name() const { return path; }
  // What the file holds, or nothing when it cannot be read.
  std::optional<std::string> contents() const;

 private:
  int descriptor = -1;
  std::string path;
  bool named = false;  // `path` is a file of its own, to be removed
};

#endif
