#include "XmlFileWriter.h"

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

bool XmlFileWriter::commit() {
  if (writer == nullptr) return false;
  const bool flushed = xmlTextWriterFlush(writer) >= 0;
  // Freeing the writer hands what it still holds to the buffer.
  xmlFreeTextWriter(writer);
  writer = nullptr;
  const std::string document(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                             static_cast<size_t>(xmlBufferLength(buffer)));
  const bool replaced = flushed && file.commit(document);
  release();
  return replaced;
}

}  // namespace Model
