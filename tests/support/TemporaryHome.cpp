#include "TemporaryHome.h"

#include <cstdlib>
#include <stdexcept>

#include "FileText.h"

namespace fs = std::filesystem;

TemporaryHome::TemporaryHome() {
  std::string pattern = (fs::temp_directory_path() / "home-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  root = pattern;
  homeFolder = root / "home";
  workFolder = root / "work";
  fs::create_directories(homeFolder);
  fs::create_directories(workFolder);
  previousWork = fs::current_path();
  fs::current_path(workFolder);
  setenv("HOMEDRIVE", "", 1);
  setenv("HOMEPATH", homeFolder.c_str(), 1);
}

TemporaryHome::~TemporaryHome() {
  unsetenv("HOMEDRIVE");
  unsetenv("HOMEPATH");
  std::error_code ignored;
  fs::current_path(previousWork, ignored);
  fs::remove_all(root, ignored);
}

void TemporaryHome::putWorkFile(const std::string& relative, const std::string& content) const {
  const fs::path file = workFolder / relative;
  fs::create_directories(file.parent_path());
  writeFileText(file, content);
}
