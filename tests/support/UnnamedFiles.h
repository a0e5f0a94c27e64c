#ifndef UNNAMEDFILES_H
#define UNNAMEDFILES_H

#include <filesystem>

// Whether a file can be created unnamed in `folder` and named later through
// /proc, as the saves do where the system allows.
bool takesUnnamedFiles(const std::filesystem::path& folder);

#endif
