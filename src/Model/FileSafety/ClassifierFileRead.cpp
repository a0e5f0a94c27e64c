#include "ClassifierFileRead.h"

#include <new>

#include "RegularFileRead.h"

namespace {

std::string tooLarge() {
  return "it is larger than " + std::to_string(ClassifierFileRead::largestFile >> 20) +
         " MiB, far larger than any classifier file training writes";
}

}  // namespace

ClassifierFileRead::ClassifierFileRead(const std::string& path) {
  try {
    Model::RegularFileRead file(path);
    contents = file.readWhole(largestFile, tooLarge());
    refusalReason = file.refusal();
  } catch (const std::bad_alloc&) {
    refusalReason = outOfMemory;
    std::string().swap(contents);
  }
}
