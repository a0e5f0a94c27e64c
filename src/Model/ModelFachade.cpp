#include "ModelFachade.h"

#include <libxml++/exceptions/exception.h>

#include <clocale>
#include <cmath>
#include <iostream>
#include <utility>

#include "ImageMultiple.h"
#include "ProgramProfile.h"
#include "XMLDAOPolygons.h"
#include "XMLDAOPreferences.h"

namespace Model {

namespace {
// Algorithm numbers above this one work on multi-channel images.
constexpr int lastSingleImageAlgorithm = 100;
}  // namespace

ModelFachade::ModelFachade() : readOptions(ProgramProfile::current().polygonsFile) {
  preferences = new Preferences();
  preferencesXML = new Preferences();
  if (ProgramProfile::current().keepsBatchSettings) prefsample = new PreferencesSample(preferences);
  if (preferences->getAlgorithm() <= lastSingleImageAlgorithm) {
    image = new ImageClass();
    imageXML = new ImageClass();
  } else {
    image = new ImageMultiple();
    imageXML = new ImageMultiple();
  }
}

ModelFachade::~ModelFachade() {
  delete preferences;
  delete preferencesXML;
  delete image;
  delete imageXML;
  delete prefsample;
}

bool ModelFachade::readAnnotation(const std::string& file, ImageClass* target, Preferences* settings,
                                  std::vector<baseShape*>& shapes) const {
  AnnotationRead read(file, *target, readOptions);
  if (!read.readable()) return false;
  read.applyTo(*target, *settings);
  shapes = read.takeShapes();
  return true;
}

AnnotationRead ModelFachade::readAnnotationFile(const std::string& file) const {
  return AnnotationRead(file, *image, readOptions);
}

std::vector<baseShape*> ModelFachade::takeAnnotation(AnnotationRead& read) {
  read.applyTo(*image, *preferences);
  std::cout << "ReadXML:: Tamaño poligonos " << read.shapeCount() << std::endl;
  return read.takeShapes();
}

std::vector<baseShape*> ModelFachade::readOnlyXML(std::string file) {
  std::vector<baseShape*> shapes;
  readAnnotation(file, image, preferences, shapes);
  return shapes;
}

std::vector<baseShape*> ModelFachade::readXML(std::string file) {
  AnnotationRead read = readAnnotationFile(file);
  if (!read.readable()) return {};
  return takeAnnotation(read);
}

std::vector<baseShape*> ModelFachade::readPolygonsXML(std::string file) {
  bool readable = false;
  return readPolygonsXML(std::move(file), readable);
}

std::vector<baseShape*> ModelFachade::readPolygonsXML(std::string file, bool& readable) {
  std::vector<baseShape*> shapes;
  readable = readAnnotation(file, imageXML, preferencesXML, shapes);
  if (!readable) return shapes;
  if (ProgramProfile::current().traces.modelOperations)
    std::cout << "ReadXML:: Tama\xC3\x83\xC2\xB1o poligonos " << shapes.size() << std::endl;
  else
    std::cout << "Model::ReadXML:: " << file << " No. polygons " << shapes.size() << std::endl;
  return shapes;
}

bool ModelFachade::writePolygons(std::string file, std::vector<baseShape*> shapes) {
  // Cavitra traces the facade's call and then the writer's file and count.
  if (ProgramProfile::current().traces.modelOperations)
    std::cout << "writePolygons Model: en XML" << file << std::endl
              << "xmldaoPolygons: file= " << file << " Poligons: " << shapes.size() << std::endl;
  XMLDAOPolygons writer(image, preferences->isCalibrationActive() ? preferences->getCalibration() : -1.0);
  writer.setDiameters(preferences->getMinimumDiameter(), preferences->getMaximumDiameter());
  return writer.writePoligonsXML(file, shapes);
}

bool ModelFachade::writePreferences(std::string file) {
  try {
    XMLDAOPreferences writer(image, -1.0);
    return writer.writePreferences(file, preferences);
  } catch (const xmlpp::exception& e) {
    std::cerr << "libxml++ exception: " << e.what() << std::endl;
    return false;
  }
}

std::string ModelFachade::readPreferencesXMLFile(std::string file) {
  std::setlocale(LC_ALL, "C");
  XMLDAOPreferences reader(image, -1.0);
  // The file is read into a copy, taken only when the file is not refused:
  // a file refused midway changes no setting.
  Preferences read = *preferences;
  reader.setPreferences(read);
  reader.set_substitute_entities(true);
  std::string refusal;
  try {
    refusal = reader.readPreferences(file);
  } catch (const xmlpp::exception& e) {
    std::cerr << "libxml++ exception: " << e.what() << std::endl;
  }
  if (!refusal.empty()) {
    std::cerr << "The preferences file " << file << " is not read: " << refusal << std::endl;
    return refusal;
  }
  *preferences = std::move(read);
  return refusal;
}

void ModelFachade::createPreferences() {
  preferences->resetToDefaults();
  if (ProgramProfile::current().traces.modelOperations) std::cout << "ModelFachade::createPreferences()" << std::endl;
}

void ModelFachade::setImageProperties(std::string name, double width, double height) {
  image->setFilename(name);
  image->setHeight(static_cast<int>(height));
  image->setWidth(static_cast<int>(width));
}

void ModelFachade::analysedInnerOuterPolygons(std::vector<baseShape*> shapes) {
  const int w = image->getWidth();
  const int h = image->getHeight();
  for (baseShape* shape : shapes) shape->setType(0);
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    baseShape* outer = shapes[i];
    if (!outer->getVisible()) continue;
    const double di = outer->getDiameter(w, h);
    const double xi = w * outer->getX();
    const double yi = h * outer->getY();
    for (std::size_t j = 0; j < shapes.size(); ++j) {
      baseShape* other = shapes[j];
      if (j == i || !other->getVisible()) continue;
      const double dj = other->getDiameter(w, h);
      const double xj = w * other->getX();
      const double yj = h * other->getY();
      const double reach = di + dj;
      if (std::fabs(xi - xj) > reach || std::fabs(yi - yj) > reach) continue;
      const bool iInsideJ = other->inside(xi, yi, w, h);
      const bool jInsideI = outer->inside(xj, yj, w, h);
      if (iInsideJ && jInsideI) {
        const bool iSmaller = di <= dj;
        outer->setType(iSmaller ? 1 : 0);
        other->setType(iSmaller ? 0 : 1);
      } else if (iInsideJ) {
        outer->setType(1);
      } else if (jInsideI) {
        other->setType(1);
      }
    }
  }
}

std::vector<baseShape*> ModelFachade::removeInnerPolygons(std::vector<baseShape*> shapes) {
  analysedInnerOuterPolygons(shapes);
  std::vector<baseShape*> kept;
  for (baseShape* shape : shapes) {
    if (shape->getType() == 0)
      kept.push_back(shape);
    else
      delete shape;
  }
  return kept;
}

double ModelFachade::maximumDiameter(std::vector<baseShape*> shapes) {
  double largest = 0;
  for (baseShape* shape : shapes) {
    if (shape->getVisible()) largest = std::max(largest, shape->getDiameter(image->getWidth(), image->getHeight()));
  }
  return largest;
}

}  // namespace Model
