#ifndef TEMPORARYHOME_H
#define TEMPORARYHOME_H

#include <filesystem>
#include <string>

// A fresh temporary folder made the user's home for the test's lifetime
// (HOMEDRIVE empty, HOMEPATH the folder), and a working folder inside it that
// holds the program's default files. Restores the environment and the working
// folder afterwards.
class TemporaryHome {
 public:
  TemporaryHome();
  ~TemporaryHome();
  TemporaryHome(const TemporaryHome&) = delete;
  TemporaryHome& operator=(const TemporaryHome&) = delete;

  const std::filesystem::path& home() const { return homeFolder; }
  const std::filesystem::path& work() const { return workFolder; }

  // Writes `content` to `relative` inside the working folder.
  void putWorkFile(const std::string& relative, const std::string& content) const;

 private:
  std::filesystem::path root;
  std::filesystem::path homeFolder;
  std::filesystem::path workFolder;
  std::filesystem::path previousWork;
};

#endif
