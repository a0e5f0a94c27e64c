#ifndef READANNOTATION_H
#define READANNOTATION_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "ModelFachade.h"
#include "baseShape.h"

// An annotation file read as a batch export reads it: through the model's
// polygons reader, with the picture record and the calibration the file
// holds. The shapes belong to this object.
struct ReadAnnotation {
  explicit ReadAnnotation(const std::string& path);

  Model::ModelFachade model;
  bool readable = false;
  std::vector<baseShape*> shapes;
  std::vector<std::unique_ptr<baseShape>> owned;

  const ImageClass& image() { return *model.readImagePropertiesXML(); }
  const Preferences& fileSettings() { return *model.readPreferencesXML(); }
};

// Ends the run when a CSV of `bytes` bytes is longer than `bound`.
void checkCsvLength(std::size_t bytes, double bound, const char* which);

#endif
