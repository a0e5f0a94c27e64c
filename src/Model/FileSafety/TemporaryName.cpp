#include "TemporaryName.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr char mark[] = ".saving-";
constexpr std::size_t randomLetters = 6;
constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The start of every temporary name for `file` in `folder`: a name of the
// longest length the folder takes leaves room for the random part.
std::string stem(const std::string& folder, const std::string& file) {
  const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t room =
      static_cast<std::size_t>(limit > 0 ? limit : NAME_MAX) - (sizeof mark - 1) - randomLetters;
  std::size_t length = std::min(file.size(), room);
  // Cut between characters, not inside one.
  while (length > 0 && length < file.size() && (static_cast<unsigned char>(file[length]) & 0xC0) == 0x80) --length;
  return file.substr(0, length) + mark;
}

// Whether `name` is `start` followed by the random part.
bool continuesWithRandomPart(const std::string& name, const std::string& start) {
  return name.size() == start.size() + randomLetters && name.compare(0, start.size(), start) == 0 &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(start.size()), name.end(),
                     [](char c) { return c != '\0' && std::strchr(letters, c) != nullptr; });
}

}  // namespace

std::string TemporaryName::claim(const std::string& target, const std::function<bool(const std::string&)>& create) {
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, sizeof letters - 2);
  const fs::path path(target);
  const std::string folder = path.parent_path().string();
  const std::string start = folder + "/" + stem(folder, path.filename().string());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = start;
    for (std::size_t i = 0; i < randomLetters; ++i) name += letters[pick(random)];
    if (create(name)) return name;
    if (errno != EEXIST) return "";
  }
  return "";
}

bool TemporaryName::isFor(const std::string& folder, const std::string& file, const std::string& name) {
  return continuesWithRandomPart(name, stem(folder, file));
}

void TemporaryName::removeLeftovers(const std::string& folder, const std::vector<std::string>& files) {
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opendir(folder.c_str()), closedir);
  if (!listing) return;
  // The folder's name limit is asked once, not for every name listed.
  std::vector<std::string> starts;
  for (const std::string& file : files) starts.push_back(stem(folder, file));
  std::vector<std::string> leftovers;
  while (const dirent* entry = readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (std::any_of(starts.begin(), starts.end(),
                    [&name](const std::string& start) { return continuesWithRandomPart(name, start); }))
      leftovers.push_back(name);
  }
  for (const std::string& name : leftovers) unlink((folder + "/" + name).c_str());
}
