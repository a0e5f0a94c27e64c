#ifndef PLATFORMFILES_H
#define PLATFORMFILES_H

#include <string>

// The operating-system services of the settings folder: the user's home
// folder, folder and file tests, folder creation, copying and removal.
// Everything goes through the C library and std::filesystem; no shell runs.
namespace PlatformFiles {

// HOMEDRIVE followed by HOMEPATH when both are set (an empty HOMEDRIVE counts
// as set) and together name an existing absolute folder, else $HOME, else
// the home folder of the user's password entry, else "". `fromDriveAndPath` tells whether the first rule gave the result.
std::string homeFolder(bool& fromDriveAndPath, std::string& drive, std::string& path);

bool isFolder(const std::string& path);
bool isFile(const std::string& path);

// Creates one folder level; false when it could not be made.
bool makeFolder(const std::string& path);

// Copies `source` into `folder` under its own file name, unless a file of
// that name is already there (a trained classifier or an edited settings
// file is never overwritten). Returns 0 on success or when the file was kept,
// 1 when the copy failed, like the exit code of a copy command.
int copyIntoFolderKeepingExisting(const std::string& source, const std::string& folder);

// Whether removing `path` with everything in it is safe: never an empty path,
// the filesystem root, or the home folder itself or one of its ancestors.
bool isSafeToRemove(const std::string& path);

// Removes `path` with all its contents. Returns 0 on success, 1 on failure
// or when the path is refused by isSafeToRemove.
int removeTree(const std::string& path);

}  // namespace PlatformFiles

#endif
