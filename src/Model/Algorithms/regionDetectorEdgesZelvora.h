#ifndef REGIONDETECTOREDGESZELVORA_H
#define REGIONDETECTOREDGESZELVORA_H

#include <string>
#include <vector>

#include "regionDetectorEdges.h"
#include "regionShape.h"

// The cell detector of the program: two scales (4.0, then 2.0), three
// hysteresis rate pairs and roundness 1.4. The search runs on the grey
// level of the picture as read; the colour copy in the imaging library's
// format that the colour-texture features of the regions read is made when
// they are first asked for, and kept until another picture is read.
class regionDetectorEdgesZelvora : public regionDetectorEdges {
 public:
  regionDetectorEdgesZelvora();
  // Reads the picture, ready for a search.
  regionDetectorEdgesZelvora(std::string filename, int minDiameter, int maxDiameter);
  ~regionDetectorEdgesZelvora() override;

  // Drops the colour copy and reads the picture. On failure the detector is
  // left without a picture (0 x 0) and the int code of the base is thrown.
  void setFilename(std::string name) override;
  // Replaces the contours with those of the grey-level search under the
  // roundness and diameter filters (x is not used); without a picture there
  // are no contours. A search that runs out of memory prints "Error
  // processing Canny filter ", keeps no contour and throws std::bad_alloc;
  // the imaging library's failure counts as such, as the setters have
  // checked every argument it could refuse.
  void processImage(int x) override;

  // The 25 colour-texture features of the region whose outline has relative
  // coordinates scaled by width and height, the outline clamped to the
  // picture. Empty without a picture or memory for its colour copy, or for
  // a region with no defined features (no vertices, or no pixel inside):
  // such a region is skipped.
  std::vector<float> getColorTextureFeatures(regionShape* region, int width, int height);

 private:
  void setProgramParameters();
  // Whether the colour copy of the picture exists, making it when missing;
  // false without a picture or memory for the copy.
  bool hasColourCopy();
  void releaseColourCopy();
};

#endif
