#include "DirTools.h"

#include <cstdio>
#include <iostream>

#include "PlatformFiles.h"

namespace {
const char* const defaultClassifierFiles[] = {"med_desv.dat", "svm_nucleous.dat", "svm_stages.dat"};
// The normalisation each model was trained with; older classifier folders
// lack them and fall back to med_desv.dat.
const char* const perModelNormalisationFiles[] = {"med_desv_nucleous.dat", "med_desv_stages.dat"};
}

DirTools::DirTools() {
  bool fromDriveAndPath = false;
  std::string drive, path;
  homepath = PlatformFiles::homeFolder(fromDriveAndPath, drive, path);
  if (fromDriveAndPath) {
    std::printf("The current path HOMEDRIVE is: %s\n", drive.c_str());
    std::printf("The current path HOMEPATH is: %s\n", path.c_str());
    std::fflush(stdout);
  }
}

bool DirTools::existDir(const std::string& path) const { return PlatformFiles::isFolder(path); }

bool DirTools::existFile(const std::string& path) const { return PlatformFiles::isFile(path); }

bool DirTools::createDir(const std::string& path) const {
  if (!path.empty() && PlatformFiles::makeFolder(path)) return true;
  return existDir(path);
}

bool DirTools::removeDir(const std::string& path) const {
  if (path.empty()) return false;
  std::cout << "Comand windows: rm -rf \"" << path << "\"" << std::endl;
  const int code = PlatformFiles::removeTree(path);
  std::cout << "Removing preferences: " << code << std::endl;
  return code == 0;
}

int DirTools::copyIntoFolder(const std::string& source, const std::string& folder) const {
  std::cout << "Comand windows: cp -n \"" << source << "\" \"" << folder << "/\"" << std::endl;
  return PlatformFiles::copyIntoFolderKeepingExisting(source, folder);
}

bool DirTools::copyFiles(std::string name) const {
  if (name.empty()) return false;
  const std::string settings = homepath + "/" + name;
  bool allInPlace = copyIntoFolder("preferences.xml", settings) == 0;
  for (const char* file : defaultClassifierFiles)
    allInPlace = copyIntoFolder(std::string("classifier/A/") + file, settings + "/A") == 0 && allInPlace;
  for (const char* file : perModelNormalisationFiles) {
    const std::string source = std::string("classifier/A/") + file;
    if (existFile(source)) allInPlace = copyIntoFolder(source, settings + "/A") == 0 && allInPlace;
  }
  return allInPlace;
}

bool DirTools::copyFile(std::string file, std::string source, std::string folder) const {
  if (file.empty() || source.empty() || folder.empty() || !existFile(file)) return false;
  const int code = copyIntoFolder("classifier/" + source, homepath + "/" + folder);
  std::cout << "Copy file: " << code << std::endl;
  return true;
}
