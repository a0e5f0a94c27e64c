// The annotation reader on any bytes, as the program whose profile is in
// force reads it: no crash, no hang, and whatever it accepts, once written,
// reads back and is written again byte for byte.

#include <libxml++/exceptions/exception.h>

#include <memory>
#include <vector>

#include "FileText.h"
#include "FuzzScratch.h"
#include "ProgramProfile.h"
#include "RegularFileRead.h"
#include "XMLDAOPolygons.h"

namespace {

// Reads `in` and writes what it read to `out`; false when `in` is refused.
bool readAndWrite(const std::filesystem::path& in, const std::filesystem::path& out) {
  ImageClass image;
  Model::PolygonsReadOptions options = ProgramProfile::current().polygonsFile;
  // Measures are left out: the writer adds the diameter limits to them.
  options.collectMeasures = false;
  Model::XMLDAOPolygons reader(&image, -1.0, options);
  reader.set_substitute_entities(true);
  Model::RegularFileRead file(in.string());
  try {
    if (!reader.parseOpenedFile(file).empty()) return false;
  } catch (const xmlpp::exception&) {
    return false;
  }
  if (!reader.succeeded()) return false;
  reader.applyImageTo(image);
  std::vector<std::unique_ptr<baseShape>> owned;
  std::vector<baseShape*> shapes = reader.takePoligons();
  for (baseShape* shape : shapes) owned.emplace_back(shape);
  Model::XMLDAOPolygons writer(&image, reader.getCalibration());
  if (!writer.writePoligonsXML(out.string(), shapes)) invariantBroken("an annotation that was read cannot be written");
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FuzzScratch scratch;
  const auto input = scratch.put("input.xml", data, size);
  if (!readAndWrite(input, scratch.file("first.xml"))) return 0;
  if (!readAndWrite(scratch.file("first.xml"), scratch.file("second.xml")))
    invariantBroken("a written annotation does not read back");
  if (readFileText(scratch.file("first.xml")) != readFileText(scratch.file("second.xml")))
    invariantBroken("a written annotation reads back differently");
  return 0;
}
