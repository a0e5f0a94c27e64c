#ifndef DIRTOOLS_H
#define DIRTOOLS_H

#include <string>

// Finds the user's home folder and creates, tests, fills and removes the
// program's settings folder. A small value object made where it is needed.
class DirTools {
 public:
  DirTools();

  std::string getHomePath() const { return homepath; }

  bool existDir(const std::string& path) const;
  bool existFile(const std::string& path) const;
  // Creates one folder level; true when it was created or already is a folder.
  bool createDir(const std::string& path) const;
  // Removes a folder with everything in it; refuses an empty path, the
  // filesystem root and the home folder itself.
  bool removeDir(const std::string& path) const;
  // Copies the default preferences file and species "A"'s default classifier
  // files (with each model's own normalisation file, where shipped) from the
  // working folder into the settings folder `name`. A file already in place is
  // kept. True when every file is in place.
  bool copyFiles(std::string name) const;
  // Copies classifier/`source` from the working folder into the folder
  // `folder` of the home path, keeping a file already there.
  bool copyFile(std::string file, std::string source, std::string folder) const;

 private:
  // Copies `source` into `folder`, printing the command it stands for.
  int copyIntoFolder(const std::string& source, const std::string& folder) const;

  std::string homepath;
};

#endif
