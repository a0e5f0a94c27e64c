#include "ScratchFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "UnnamedFile.h"

ScratchFile::ScratchFile() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return;
  descriptor = UnnamedFile::open(folder.string(), O_RDWR, 0600);
  if (descriptor >= 0) {
    path = UnnamedFile::nameOf(descriptor);
    return;
  }
  std::string fresh = (folder / "svm-model-XXXXXX").string();
  descriptor = mkostemp(fresh.data(), O_CLOEXEC);
  if (descriptor < 0) return;
  path = std::move(fresh);
  named = true;
}

ScratchFile::~ScratchFile() {
  if (descriptor >= 0) close(descriptor);
  if (named) unlink(path.c_str());
}

std::optional<std::string> ScratchFile::contents() const {
  if (!isOpen()) return std::nullopt;
  std::string text;
  char block[65536];
  for (off_t offset = 0;;) {
    const ssize_t got = pread(descriptor, block, sizeof block, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) return text;
    text.append(block, static_cast<std::size_t>(got));
    offset += got;
  }
}

bool ScratchFile::write(const std::string& text) const {
  if (!isOpen()) return false;
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t put = pwrite(descriptor, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}
