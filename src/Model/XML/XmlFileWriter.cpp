#include "XmlFileWriter.h"

#include <iostream>

namespace Model {

XmlFileWriter::XmlFileWriter(const std::string& target) : file(target) {
  if (!file.canReplace()) return;
  buffer = xmlBufferCreate();
  if (buffer != nullptr) writer = xmlNewTextWriterMemory(buffer, 0);
}

XmlFileWriter::~XmlFileWriter() { release(); }

void XmlFileWriter::release() {
  if (writer != nullptr) xmlFreeTextWriter(writer);
  writer = nullptr;
  if (buffer != nullptr) xmlBufferFree(buffer);
  buffer = nullptr;
}

bool XmlFileWriter::commit(std::size_t largestBytes) {
  if (writer == nullptr) return false;
  const bool flushed = xmlTextWriterFlush(writer) >= 0;
  // Freeing the writer hands what it still holds to the buffer.
  xmlFreeTextWriter(writer);
  writer = nullptr;
  const std::string document(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                             static_cast<size_t>(xmlBufferLength(buffer)));
  const bool fits = document.size() <= largestBytes;
  if (!fits)
    std::cerr << "The document is " << document.size() << " bytes long, longer than such a file may be ("
              << largestBytes << " bytes); it is not written" << std::endl;
  const bool replaced = flushed && fits && file.commit(document);
  release();
  return replaced;
}

}  // namespace Model
