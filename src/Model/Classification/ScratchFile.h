#ifndef SCRATCHFILE_H
#define SCRATCHFILE_H

#include <optional>
#include <string>

// A file in the system's temporary folder for a library that reads or writes
// only a file it is given by name: written before the library reads it, or
// read back once the library wrote it. Unnamed where the system allows, so
// that nothing is left however the program ends; else a fresh named file,
// removed when the scratch file goes.
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
  // Writes `text` at the start of the file; false when it could not be
  // written whole.
  bool write(const std::string& text) const;

 private:
  int descriptor = -1;
  std::string path;
  bool named = false;  // `path` is a file of its own, to be removed
};

#endif
