#ifndef XMLFILEWRITER_H
#define XMLFILEWRITER_H

#include <libxml/xmlwriter.h>

#include <string>

namespace Model {

// A libxml2 text writer that writes into a temporary file beside the target
// and renames it over the target only when the whole document was written.
// A failed or interrupted save therefore leaves the previous file intact.
class XmlFileWriter {
 public:
  explicit XmlFileWriter(const std::string& target);
  ~XmlFileWriter();
  XmlFileWriter(const XmlFileWriter&) = delete;
  XmlFileWriter& operator=(const XmlFileWriter&) = delete;

  // The writer, or nullptr when the temporary file could not be created.
  xmlTextWriterPtr get() const { return writer; }

  // Flushes and closes the temporary file and moves it over the target.
  // Returns false (and removes the temporary file) when anything failed.
  bool commit();

 private:
  void discard();

  std::string target;
  std::string temporary;
  xmlTextWriterPtr writer = nullptr;
};

}  // namespace Model

#endif
