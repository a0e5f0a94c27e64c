#include "ClassifierFileRead.h"

#include <new>

#include "RegularFileRead.h"

namespace {

constexpr std::size_t blockBytes = 65536;

std::string tooLarge() {
  return "it is larger than " + std::to_string(ClassifierFileRead::largestFile >> 20) +
         " MiB, far larger than any classifier file training writes";
}

}  // namespace

ClassifierFileRead::ClassifierFileRead(const std::string& path) {
  try {
    Model::RegularFileRead file(path);
    if (!file.readable()) {
      refusalReason = file.refusal();
      return;
    }
    if (file.size() > largestFile) {
      refusalReason = tooLarge();
      return;
    }
    contents.reserve(file.size());
    char block[blockBytes];
    for (;;) {
      const std::size_t count = file.readBlock(block, sizeof block);
      if (count == 0) break;
      // The file may have grown since it was measured.
      if (count > largestFile - contents.size()) {
        refusalReason = tooLarge();
        break;
      }
      contents.append(block, count);
    }
    if (refusalReason.empty()) refusalReason = file.refusal();
  } catch (const std::bad_alloc&) {
    refusalReason = outOfMemory;
  }
  if (!refusalReason.empty()) std::string().swap(contents);
}
