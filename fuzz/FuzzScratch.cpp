#include "FuzzScratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "FileText.h"

namespace fs = std::filesystem;

FuzzScratch::FuzzScratch() {
  const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "lumora-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
  folder = pattern;
}

FuzzScratch::~FuzzScratch() {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

fs::path FuzzScratch::put(const std::string& name, const std::uint8_t* data, std::size_t size) const {
  const fs::path path = file(name);
  writeFileText(path, std::string(reinterpret_cast<const char*>(data), size));
  return path;
}

void invariantBroken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}
