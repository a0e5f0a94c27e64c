#ifndef FILETEXT_H
#define FILETEXT_H

#include <filesystem>
#include <string>

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string readFileText(const std::filesystem::path& file);

// Replaces the file's content with `text`, byte for byte.
void writeFileText(const std::filesystem::path& file, const std::string& text);

#endif
