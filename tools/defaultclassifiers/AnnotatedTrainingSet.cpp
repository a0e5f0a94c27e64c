#include "AnnotatedTrainingSet.h"

#include <memory>
#include <opencv2/imgcodecs.hpp>

#include "XMLDAOPolygons.h"

namespace defaultspecies {

AnnotatedTrainingSet::AnnotatedTrainingSet(std::string folder, int minDiameter, int maxDiameter)
    : folder(std::move(folder)), minDiameter(minDiameter), maxDiameter(maxDiameter) {}

bool AnnotatedTrainingSet::add(const OocytePicture& picture, const std::string& name) {
  const std::string picturePath = folder + "/" + name + ".png", annotationPath = folder + "/" + name + ".xml";
  return cv::imwrite(picturePath, picture.image) && writeAnnotation(picture, picturePath, annotationPath) &&
         gatherPatterns(picturePath, annotationPath);
}

bool AnnotatedTrainingSet::writeAnnotation(const OocytePicture& picture, const std::string& picturePath,
                                           const std::string& annotationPath) const {
  const int width = picture.image.cols, height = picture.image.rows;
  std::vector<std::unique_ptr<regionShape>> regions;
  std::vector<baseShape*> shapes;
  for (const Oocyte& oocyte : picture.oocytes) {
    const int id = static_cast<int>(regions.size()) + 1;
    regions.push_back(
        std::make_unique<regionShape>(id, true, false, false, true, oocyte.nucleus ? 1 : 0, oocyte.stage, 0));
    for (const cv::Point2d& p : OocytePainter::outline(oocyte.cell))
      regions.back()->addLinePoint(p.x / width, p.y / height);
    shapes.push_back(regions.back().get());
  }
  ImageClass image(picturePath, width, height);
  Model::XMLDAOPolygons writer(&image, -1.0);
  writer.setDiameters(minDiameter, maxDiameter);
  return writer.writePoligonsXML(annotationPath, shapes);
}

bool AnnotatedTrainingSet::gatherPatterns(const std::string& picturePath, const std::string& annotationPath) {
  const std::vector<baseShape*> shapes = model.readPolygonsXML(annotationPath);
  std::vector<std::unique_ptr<baseShape>> owned(shapes.begin(), shapes.end());
  if (shapes.empty()) return false;
  try {
    detector.setFilename(picturePath);
  } catch (int) {
    return false;
  }
  // As in a user's training.
  patterns.addRegions(detector, shapes);
  return true;
}

}  // namespace defaultspecies
