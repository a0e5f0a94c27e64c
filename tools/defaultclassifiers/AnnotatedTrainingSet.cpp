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
  std::vector<std::unique_ptr<baseShape>> shapes;
  for (baseShape* shape : model.readPolygonsXML(annotationPath)) shapes.emplace_back(shape);
  if (shapes.empty()) return false;
  const ImageClass* image = model.readImagePropertiesXML();
  const int width = image->getWidth(), height = image->getHeight();
  try {
    detector.setFilename(picturePath);
  } catch (int) {
    return false;
  }
  // As in a user's training: visible regions well inside the picture, with
  // a stage and a nucleus mark.
  const int marginX = width / 10, marginY = height / 10;
  for (const std::unique_ptr<baseShape>& shape : shapes) {
    auto* region = dynamic_cast<regionShape*>(shape.get());
    if (region == nullptr || !region->getVisible()) continue;
    const int cx = static_cast<int>(width * region->getX()), cy = static_cast<int>(height * region->getY());
    const int stage = region->getClase(), type = region->getType();
    if (cx <= marginX || cx >= width - marginX || cy <= marginY || cy >= height - marginY) continue;
    if (stage < 1 || stage > 3 || type < 0 || type > 1) continue;
    std::vector<float> features = detector.getColorTextureFeatures(region, width, height);
    if (features.empty()) continue;
    stages[stage - 1].push_back(features);
    nuclei[type].push_back(std::move(features));
  }
  return true;
}

}  // namespace defaultspecies
