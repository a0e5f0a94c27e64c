#ifndef ANNOTATEDTRAININGSET_H
#define ANNOTATEDTRAININGSET_H

#include <array>
#include <string>
#include <vector>

#include "ModelFachade.h"
#include "OocytePainter.h"
#include "TrainingSet.h"
#include "regionDetectorEdgesZelvora.h"

namespace defaultspecies {

// Training patterns gathered the way a user's training gathers them: each
// picture is saved with an annotation file that marks every oocyte's
// outline, stage and nucleus, and the patterns are the colour-texture
// features of the regions read back from that file.
class AnnotatedTrainingSet {
 public:
  using Patterns = std::vector<std::vector<float>>;

  // Pictures and annotation files go into `folder`, which must exist; the
  // diameter limits are recorded in the annotation files.
  AnnotatedTrainingSet(std::string folder, int minDiameter, int maxDiameter);

  // Saves the picture as <name>.png and its annotation as <name>.xml, then
  // adds the patterns of the annotated regions. False when a file cannot be
  // written or read back.
  bool add(const OocytePicture& picture, const std::string& name);

  // Patterns of stage 1, 2 or 3.
  const Patterns& stage(int s) const { return patterns.stage(s); }
  // Patterns of the cells without (false) or with (true) a visible nucleus.
  const Patterns& nucleus(bool visible) const { return patterns.nucleus(visible); }

 private:
  bool writeAnnotation(const OocytePicture& picture, const std::string& picturePath,
                       const std::string& annotationPath) const;
  bool gatherPatterns(const std::string& picturePath, const std::string& annotationPath);

  std::string folder;
  int minDiameter;
  int maxDiameter;
  Model::ModelFachade model;
  regionDetectorEdgesZelvora detector;
  TrainingSet patterns;
};

}  // namespace defaultspecies

#endif
