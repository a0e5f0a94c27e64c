#include "XmlFileWriter.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace Model {

XmlFileWriter::XmlFileWriter(const std::string& target)
    : target(target), temporary(target + ".saving") {
  writer = xmlNewTextWriterFilename(temporary.c_str(), 0);
}

XmlFileWriter::~XmlFileWriter() { discard(); }

void XmlFileWriter::discard() {
  if (writer == nullptr) return;
  xmlFreeTextWriter(writer);
  writer = nullptr;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
}

bool XmlFileWriter::commit() {
  if (writer == nullptr) return false;
  if (xmlTextWriterFlush(writer) < 0) {
    discard();
    return false;
  }
  xmlFreeTextWriter(writer);
  writer = nullptr;
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace Model
