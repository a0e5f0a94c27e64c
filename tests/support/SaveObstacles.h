#ifndef SAVEOBSTACLES_H
#define SAVEOBSTACLES_H

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What can stand in the way of a save over an existing file: the file made
// read-only, a named pipe or a folder in its place, or a disk that fills up
// after the first few bytes. A save must refuse or survive each, leaving the
// target as it was.
struct SaveObstacle {
  const char* name;
  // Puts the obstacle at `target`, a file that exists; it stays in force
  // while the returned holder lives.
  std::function<std::shared_ptr<void>(const std::filesystem::path& target)> place;
};

const std::vector<SaveObstacle>& saveObstacles();

// `target` is as the obstacle left it: a file holds `old` byte for byte,
// nothing was written into a pipe, a folder is still a folder.
bool untouched(const std::filesystem::path& target, const std::string& old);

// Files of `folder` whose names hold ".saving-": temporary files a save
// left behind.
std::vector<std::string> temporariesLeftIn(const std::filesystem::path& folder);

#endif
