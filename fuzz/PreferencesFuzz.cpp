// The preferences reader on any bytes: no crash, no hang, and the settings it
// leaves, once written, read back and are written again byte for byte.

#include <libxml++/exceptions/exception.h>

#include "FileText.h"
#include "FuzzScratch.h"
#include "XMLDAOPreferences.h"

namespace {

// Reads `in` over the defaults as the program does (a failed read keeps what
// it applied) and writes the settings to `out`.
void readAndWrite(const std::filesystem::path& in, const std::filesystem::path& out) {
  Preferences preferences;
  Model::XMLDAOPreferences reader(nullptr, -1.0);
  reader.setPreferences(preferences);
  reader.set_substitute_entities(true);
  try {
    reader.readPreferences(in.string());
  } catch (const xmlpp::exception&) {
  }
  Model::XMLDAOPreferences writer(nullptr, -1.0);
  if (!writer.writePreferences(out.string(), &preferences)) invariantBroken("the settings cannot be written");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  readAndWrite(scratch.put("input.xml", data, size), scratch.file("first.xml"));
  readAndWrite(scratch.file("first.xml"), scratch.file("second.xml"));
  if (readFileText(scratch.file("first.xml")) != readFileText(scratch.file("second.xml")))
    invariantBroken("written settings read back differently");
  return 0;
}
