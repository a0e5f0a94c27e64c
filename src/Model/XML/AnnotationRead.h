#ifndef ANNOTATIONREAD_H
#define ANNOTATIONREAD_H

#include <memory>
#include <string>
#include <vector>

#include "ImageClass.h"
#include "PolygonsReadOptions.h"
#include "baseShape.h"

class Preferences;

namespace Model {

// An annotation file read whole before anything of it is used: its shapes,
// the picture record and calibration it carries, or why it was refused. An
// open can so look at the file (and ask about it) while the canvas still
// holds the work it would replace. The shapes belong to this object until
// they are taken.
class AnnotationRead {
 public:
  // Reads `file`; the image record starts from `image` (the reader keeps its
  // measures when the file has none). Nothing outside the object changes.
  AnnotationRead(const std::string& file, const ImageClass& image, PolygonsReadOptions options);
  AnnotationRead(AnnotationRead&&) = default;
  AnnotationRead& operator=(AnnotationRead&&) = default;

  const std::string& file() const { return path; }
  bool readable() const { return refusalReason.empty(); }
  // Why the file was refused, as a user can read it; empty when it was read.
  const std::string& refusal() const { return refusalReason; }
  // The picture size the file records, in pixels.
  int recordedWidth() const { return image.getWidth(); }
  int recordedHeight() const { return image.getHeight(); }
  std::size_t shapeCount() const { return shapes.size(); }
  // Whether a circle of it is wider than a picture of width x height allows
  // (PictureReach::largestRadius).
  bool holdsCircleTooLargeFor(int width, int height) const;

  // Takes the shapes onto the picture `picture` of width x height: the
  // record then carries its name and size, so that the annotation saved is
  // that picture's, and a circle wider than that picture allows is made as
  // wide as it allows, so that the file reads again. Positions are fractions
  // of the picture and stay.
  void placeOn(const std::string& picture, int width, int height);

  // Writes the picture record into `target` and the calibration into
  // `settings` (switched off when the file has none).
  void applyTo(ImageClass& target, Preferences& settings) const;
  // Hands the shapes over; the caller becomes their owner.
  std::vector<baseShape*> takeShapes();

 private:
  std::string path;
  std::string refusalReason;
  ImageClass image;
  double calibration = -1;
  std::vector<std::unique_ptr<baseShape>> shapes;
};

}  // namespace Model

#endif
