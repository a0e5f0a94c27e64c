#ifndef XMLFILEWRITER_H
#define XMLFILEWRITER_H

#include <libxml/xmlwriter.h>

#include <cstddef>
#include <limits>
#include <string>

#include "FileReplacement.h"

namespace Model {

// A libxml2 text writer that builds the document in memory and, on commit,
// puts it in place of the target through a FileReplacement. A failed or
// interrupted save therefore leaves the previous file intact.
class XmlFileWriter {
 public:
  explicit XmlFileWriter(const std::string& target);
  ~XmlFileWriter();
  XmlFileWriter(const XmlFileWriter&) = delete;
  XmlFileWriter& operator=(const XmlFileWriter&) = delete;

  // The writer, or nullptr when it could not be created, or the target
  // cannot be replaced (see FileReplacement).
  xmlTextWriterPtr get() const { return writer; }

  // Ends the document in memory and replaces the target with it, unless it
  // is longer than `largestBytes`. Returns false when anything failed or the
  // document was too long; the old file then stays as it was.
  bool commit(std::size_t largestBytes = std::numeric_limits<std::size_t>::max());

 private:
  void release();

  FileReplacement file;
  xmlBufferPtr buffer = nullptr;
  xmlTextWriterPtr writer = nullptr;
};

}  // namespace Model

#endif
