#include "XMLDAOPolygons.h"

#include <glibmm/convert.h>
#include <libxml/parser.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iostream>

#include "Angle.h"
#include "Line.h"
#include "NumberText.h"
#include "PictureFileCheck.h"
#include "PixelConversion.h"
#include "XmlFileWriter.h"
#include "circleShape.h"

namespace Model {

namespace {

const char* const createWriterFailed = "testXmlwriterFilename: Error creating the xml writer";
const char* const startDocumentFailed = "testXmlwriterFilename: Error at xmlTextWriterStartDocument";
const char* const startElementFailed = "testXmlwriterFilename: Error at xmlTextWriterStartElement";
const char* const writeAttributeFailed = "testXmlwriterFilename: Error at xmlTextWriterWriteAttribute";
const char* const endElementFailed = "testXmlwriterMemory: Error at xmlTextWriterEndElement";
const char* const endDocumentFailed = "testXmlwriterFilename: Error at xmlTextWriterEndDocument";

// Element and attribute names are compared byte for byte (raw()): the
// ustring comparison collates by locale, which is slow and not what XML
// names need.

// Measures are M0 to M9; higher numbers are not read.
bool isMeasureName(const std::string& name) {
  return name.size() == 2 && name[0] == 'M' && name[1] >= '0' && name[1] <= '9';
}

const Glib::ustring* findAttribute(const xmlpp::SaxParser::AttributeList& attributes, const char* name) {
  for (const auto& attribute : attributes)
    if (attribute.name.raw() == name) return &attribute.value;
  return nullptr;
}

// Reads the named attributes as reals into values, in order; false when one
// of them is missing.
bool readReals(const xmlpp::SaxParser::AttributeList& attributes, std::initializer_list<const char*> names,
               double* values) {
  for (const char* name : names) {
    const Glib::ustring* text = findAttribute(attributes, name);
    if (text == nullptr) return false;
    *values++ = NumberText::toDouble(*text);
  }
  return true;
}

bool allFinite(const double* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!std::isfinite(values[i])) return false;
  return true;
}

// A shape is measured and drawn in pixels from its coordinates: one whose
// values, or the size measured from them, are not finite would make every
// measure wrong and the drawing endless, so it refuses the whole file.
void requireFinite(bool finite, const std::string& element) {
  if (!finite) throw xmlpp::parse_error("the " + element + " holds a coordinate or size that is not a finite number");
}

// A shape beyond the picture's reach belongs to no picture: its measures
// (areas, indices, histograms) would be absurd, so it refuses the whole file.
void requireWithinReach(bool within, const std::string& element) {
  if (!within)
    throw xmlpp::parse_error("the " + element +
                             " lies far outside the picture, more than two picture sizes beyond its edge");
}

// The canvas numbers the shapes it adds after the largest id it holds: an id
// near the end of the int range would leave no number for the next shape.
constexpr int largestShapeId = 1000000000;

int shapeId(const std::string& text) {
  const int id = NumberText::toInt(text);
  if (id > largestShapeId)
    throw xmlpp::parse_error("a shape has the id " + text + ", above the largest id a shape may have (" +
                             std::to_string(largestShapeId) + ")");
  return id;
}

std::string elementWithId(const char* element, int id) {
  return std::string(element) + " element with id " + std::to_string(id);
}

// The file records names in UTF-8; a file name in another encoding would make
// the whole document unreadable, so it is converted, or shown with
// replacement characters when it cannot be.
std::string utf8FileName(const std::string& filename) {
  try {
    return Glib::filename_to_utf8(filename);
  } catch (const Glib::ConvertError&) {
    return Glib::filename_display_name(filename);
  }
}

}  // namespace

// The attributes that every shape element carries, with the values of a
// plain visible shape when one is missing.
struct XMLDAOPolygons::CommonAttributes {
  std::string name;
  int id = 0;
  bool manual = false;
  bool deleted = false;
  bool visible = true;
  int type = 0;
  int clase = 0;
  int claseAutomatic = 0;

  explicit CommonAttributes(const AttributeList& attributes) {
    for (const auto& attribute : attributes) {
      const std::string& key = attribute.name.raw();
      const std::string& value = attribute.value.raw();
      if (key == "name")
        name = value;
      else if (key == "id")
        id = shapeId(value);
      else if (key == "MANUAL")
        manual = NumberText::toInt(value) != 0;
      else if (key == "DELETED")
        deleted = NumberText::toInt(value) != 0;
      else if (key == "VISIBLE")
        visible = NumberText::toInt(value) != 0;
      else if (key == "type")
        type = NumberText::toInt(value);
      else if (key == "clase")
        clase = NumberText::toInt(value);
      else if (key == "claseAutomatic")
        claseAutomatic = NumberText::toInt(value);
    }
  }

  void applyTo(baseShape& shape) const {
    if (manual) shape.setManual(true);
    shape.setVisible(visible);
    if (deleted) {
      shape.setDeleted(true);
      shape.setVisible(false);
    }
    shape.setName(name);
    shape.setId(id);
    shape.setType(type);
    shape.setClase(clase);
    shape.setClaseAutomatic(claseAutomatic);
  }
};

XMLDAOPolygons::XMLDAOPolygons(ImageClass* img, double _calibration, PolygonsReadOptions options)
    : GuardedSaxParser(),
      options(options),
      image(img),
      parsedImage(*img),
      imgHeight(img->getHeight()),
      imgWidth(img->getWidth()),
      calibration(_calibration) {
}

XMLDAOPolygons::~XMLDAOPolygons() = default;

void XMLDAOPolygons::setDiameters(int mindim, int maxdim) {
  minDiameter = mindim;
  maxDiameter = maxdim;
}

double XMLDAOPolygons::getCalibration() const { return calibration; }

bool XMLDAOPolygons::succeeded() const { return scaleKnown; }

std::vector<baseShape*> XMLDAOPolygons::takePoligons() {
  std::vector<baseShape*> taken;
  taken.reserve(poligons.size());
  for (auto& shape : poligons) taken.push_back(shape.release());
  poligons.clear();
  return taken;
}

void XMLDAOPolygons::applyImageTo(ImageClass& target) const {
  target.setFilename(parsedImage.getFilename());
  target.setWidth(parsedImage.getWidth());
  target.setHeight(parsedImage.getHeight());
  target.setMeasures(parsedImage.getMeasures());
}

// ---------------------------------------------------------------- reading

bool XMLDAOPolygons::readRawStartTag(const xmlChar* name, const xmlChar** attributes) {
  if (!scaleKnown || std::strcmp(reinterpret_cast<const char*>(name), "FPoint") != 0) return false;
  const char* x = nullptr;
  const char* y = nullptr;
  for (const xmlChar** at = attributes; at != nullptr && *at != nullptr; at += 2) {
    const char* key = reinterpret_cast<const char*>(at[0]);
    const char* value = reinterpret_cast<const char*>(at[1]);
    if (x == nullptr && std::strcmp(key, "x") == 0) x = value;
    if (y == nullptr && std::strcmp(key, "y") == 0) y = value;
  }
  if (x == nullptr || y == nullptr) return true;
  try {
    addVertex(x, y);
    return true;
  } catch (...) {
    return false;  // read again on the usual way, which reports the failure
  }
}

void XMLDAOPolygons::on_start_element(const Glib::ustring& name, const AttributeList& attributes) {
  const std::string& element = name.raw();
  try {
    if (element == "Poligonos")
      readRoot(attributes);
    else if (!scaleKnown)
      return;  // shapes outside a usable root cannot be placed
    else if (element == "FreeHand")
      readFreeHand(attributes);
    else if (element == "FPoint")
      readFPoint(attributes);
    else if (element == "Point")
      readPoint(attributes);
    else if (element == "Line")
      readLine(attributes);
    else if (element == "Angle" && options.readAngles)
      readAngle(attributes);
    else if (element == "Circle")
      readCircle(attributes);
  } catch (const Glib::ConvertError& error) {
    std::cerr << "MySaxParser::on_start_element(): Exception caught while converting value for  std::cout: "
              << error.what().raw() << std::endl;
  }
}

void XMLDAOPolygons::on_end_element(const Glib::ustring& name) {
  if (name.raw() == "FreeHand") closeFreeHand();
}

void XMLDAOPolygons::closeFreeHand() {
  if (!freeHand) return;
  requireFinite(std::isfinite(freeHand->outlineArea(static_cast<int>(imgWidth), static_cast<int>(imgHeight))),
                elementWithId("FreeHand", freeHand->getId()));
  poligons.push_back(std::move(freeHand));
}

void XMLDAOPolygons::readRoot(const AttributeList& attributes) {
  // The shapes read so far hold fractions of the first size: a second one
  // would have them written at another size than they were checked at.
  if (scaleKnown)
    throw xmlpp::parse_error("Poligonos: the file holds a Poligonos element inside another; the picture's size "
                             "may be recorded only once");
  std::vector<double> measures;
  const Glib::ustring* filename = nullptr;
  bool widthRead = false;
  bool heightRead = false;
  for (const auto& attribute : attributes) {
    const std::string& key = attribute.name.raw();
    if (key == "calibration") {
      calibration = NumberText::toDouble(attribute.value);
    } else if (key == "filename") {
      filename = &attribute.value;
    } else if (key == "width") {
      parsedImage.setWidth(NumberText::toInt(attribute.value));
      widthRead = true;
    } else if (key == "height") {
      parsedImage.setHeight(NumberText::toInt(attribute.value));
      heightRead = true;
    } else if (options.collectMeasures && (key == "minDiameter" || key == "maxDiameter" || isMeasureName(key))) {
      measures.push_back(NumberText::toDouble(attribute.value));
    }
  }
  if (!measures.empty()) parsedImage.setMeasures(measures);
  imgWidth = parsedImage.getWidth();
  imgHeight = parsedImage.getHeight();
  if (!widthRead || !heightRead || imgWidth <= 0 || imgHeight <= 0)
    throw xmlpp::parse_error("Poligonos: the image width and height must be positive numbers");
  // A size the program would refuse for the picture itself.
  const std::string tooLarge = PictureFileCheck::sizeRefusal(parsedImage.getWidth(), parsedImage.getHeight());
  if (!tooLarge.empty()) throw xmlpp::parse_error("Poligonos: the picture it records is " + tooLarge);
  reach = PictureReach(imgWidth, imgHeight);
  scaleKnown = true;
  // Last, so that a name that cannot be converted loses only the name.
  if (filename != nullptr) parsedImage.setFilename(Glib::filename_from_utf8(*filename));
}

void XMLDAOPolygons::readFreeHand(const AttributeList& attributes) {
  closeFreeHand();  // a region inside a region: the outer one ends here
  freeHand = std::make_unique<regionShape>(0, true, false, false, false, 0, 0, 0);
  CommonAttributes(attributes).applyTo(*freeHand);
}

void XMLDAOPolygons::readFPoint(const AttributeList& attributes) {
  const Glib::ustring* x = findAttribute(attributes, "x");
  const Glib::ustring* y = findAttribute(attributes, "y");
  if (x != nullptr && y != nullptr) addVertex(x->raw(), y->raw());
}

void XMLDAOPolygons::addVertex(const std::string& x, const std::string& y) {
  if (!freeHand) return;
  const double xy[2] = {NumberText::toDouble(x), NumberText::toDouble(y)};
  const std::string element = "FPoint element of the " + elementWithId("FreeHand", freeHand->getId());
  requireFinite(allFinite(xy, 2), element);
  requireWithinReach(reach.contains(xy[0], xy[1]), element);
  freeHand->addLinePoint(xy[0] / imgWidth, xy[1] / imgHeight);
}

void XMLDAOPolygons::readPoint(const AttributeList& attributes) {
  double xy[2];
  if (!readReals(attributes, {"x", "y"}, xy)) return;
  auto point = std::make_unique<pointShape>(xy[0] / imgWidth, xy[1] / imgHeight, 0, true, false, false, false, 0, 0, 0);
  CommonAttributes(attributes).applyTo(*point);
  requireFinite(allFinite(xy, 2), elementWithId("Point", point->getId()));
  requireWithinReach(reach.contains(xy[0], xy[1]), elementWithId("Point", point->getId()));
  if (freeHand)
    freeHand->addPoint(point.release());
  else
    poligons.push_back(std::move(point));
}

void XMLDAOPolygons::readLine(const AttributeList& attributes) {
  double c[4];
  if (!readReals(attributes, {"x1", "y1", "x2", "y2"}, c)) return;
  auto line = std::make_unique<Line>(c[0] / imgWidth, c[1] / imgHeight, c[2] / imgWidth, c[3] / imgHeight, 0, true,
                                     false, false, false, 0, 0, 0);
  CommonAttributes(attributes).applyTo(*line);
  const double length = line->getDiameter(static_cast<int>(imgWidth), static_cast<int>(imgHeight));
  requireFinite(allFinite(c, 4) && std::isfinite(length), elementWithId("Line", line->getId()));
  requireWithinReach(reach.contains(c[0], c[1]) && reach.contains(c[2], c[3]), elementWithId("Line", line->getId()));
  poligons.push_back(std::move(line));
}

void XMLDAOPolygons::readAngle(const AttributeList& attributes) {
  double c[6];
  if (!readReals(attributes, {"x1", "y1", "x2", "y2", "x3", "y3"}, c)) return;
  auto at = [&](int i) {
    return new pointShape(c[2 * i] / imgWidth, c[2 * i + 1] / imgHeight, 0, true, false, false, false, 0, 0, 0);
  };
  auto angle = std::make_unique<Angle>(at(0), at(1), at(2), 0, true, false, false, false, 0, 0, 0);
  CommonAttributes(attributes).applyTo(*angle);
  requireFinite(allFinite(c, 6), elementWithId("Angle", angle->getId()));
  requireWithinReach(reach.contains(c[0], c[1]) && reach.contains(c[2], c[3]) && reach.contains(c[4], c[5]),
                     elementWithId("Angle", angle->getId()));
  angle->sePpointsUpdatedAngle(3);
  poligons.push_back(std::move(angle));
}

void XMLDAOPolygons::readCircle(const AttributeList& attributes) {
  double c[3];
  if (!readReals(attributes, {"x", "y", "r"}, c)) return;
  auto circle = std::make_unique<circleShape>(c[2], c[0] / imgWidth, c[1] / imgHeight, 0, true, false, false, false,
                                              0, 0, 0);
  CommonAttributes(attributes).applyTo(*circle);
  const std::string element = elementWithId("Circle", circle->getId());
  requireFinite(allFinite(c, 3) && std::isfinite(circle->getExactArea()), element);
  // A negative radius would count in the areas but in no histogram bin.
  if (c[2] < 0) throw xmlpp::parse_error("the " + element + " has a negative radius");
  requireWithinReach(reach.contains(c[0], c[1]) && reach.spans(c[2]), element);
  poligons.push_back(std::move(circle));
}

// ---------------------------------------------------------------- writing

bool XMLDAOPolygons::check(int libxmlResult, const char* failureMessage) {
  if (libxmlResult >= 0) return true;
  std::cout << failureMessage << std::endl;
  writeFailed = true;
  return false;
}

bool XMLDAOPolygons::writeAttribute(xmlTextWriterPtr writer, const char* name, const std::string& value) {
  return check(xmlTextWriterWriteAttribute(writer, BAD_CAST name, BAD_CAST value.c_str()), writeAttributeFailed);
}

bool XMLDAOPolygons::writePixel(xmlTextWriterPtr writer, const char* xName, const char* yName, double x, double y) {
  return writeAttribute(writer, xName, NumberText::formatInt(PixelConversion::toPixel(x, imgWidth))) &&
         writeAttribute(writer, yName, NumberText::formatInt(PixelConversion::toPixel(y, imgHeight)));
}

bool XMLDAOPolygons::startElement(xmlTextWriterPtr writer, const char* name) {
  return check(xmlTextWriterStartElement(writer, BAD_CAST name), startElementFailed);
}

bool XMLDAOPolygons::endElement(xmlTextWriterPtr writer) {
  return check(xmlTextWriterEndElement(writer), endElementFailed);
}

bool XMLDAOPolygons::writePoligonsXML(const std::string& filename, const std::vector<baseShape*>& poligonsModelWrite) {
  writeFailed = false;
  XmlFileWriter file(filename);
  xmlTextWriterPtr writer = file.get();
  if (writer == nullptr) {
    std::cout << createWriterFailed << std::endl;
    return false;
  }
  if (!check(xmlTextWriterStartDocument(writer, nullptr, "UTF-8", nullptr), startDocumentFailed)) return false;
  if (!writeRoot(writer)) return false;
  for (baseShape* shape : poligonsModelWrite)
    if (!writeShape(shape, writer)) return false;
  if (!check(xmlTextWriterEndDocument(writer), endDocumentFailed)) return false;
  // A failed element leaves an incomplete document behind: the old file stays.
  return !writeFailed && file.commit();
}

bool XMLDAOPolygons::writeRoot(xmlTextWriterPtr writer) {
  if (!startElement(writer, "Poligonos")) return false;
  bool written = writeAttribute(writer, "filename", utf8FileName(image->getFilename())) &&
                 writeAttribute(writer, "calibration", NumberText::formatRealExactly(calibration)) &&
                 writeAttribute(writer, "minDiameter", NumberText::formatInt(minDiameter)) &&
                 writeAttribute(writer, "maxDiameter", NumberText::formatInt(maxDiameter)) &&
                 writeAttribute(writer, "width", NumberText::formatInt(PixelConversion::truncateToInt(imgWidth))) &&
                 writeAttribute(writer, "height", NumberText::formatInt(PixelConversion::truncateToInt(imgHeight)));
  const std::vector<double> measures = image->getMeasures();
  for (std::size_t i = 0; written && i < measures.size(); ++i)
    written = writeAttribute(writer, ("M" + std::to_string(i)).c_str(), NumberText::formatReal(measures[i]));
  return written;
}

// Returns false when the document cannot be continued; a failure inside a
// point, line or angle element only ends that element.
bool XMLDAOPolygons::writeShape(baseShape* shape, xmlTextWriterPtr writer) {
  if (auto* point = dynamic_cast<pointShape*>(shape)) {
    writePoint(point, writer);
  } else if (auto* circle = dynamic_cast<circleShape*>(shape)) {
    return writeCircle(circle, writer);
  } else if (auto* region = dynamic_cast<regionShape*>(shape)) {
    return writeFreeHand(region, writer);
  } else if (auto* line = dynamic_cast<Line*>(shape)) {
    writeLine(line, writer);
  } else if (auto* angle = dynamic_cast<Angle*>(shape)) {
    writeAngle(angle, writer);
  }
  return true;
}

bool XMLDAOPolygons::writeCircle(circleShape* circle, xmlTextWriterPtr writer) {
  if (!startElement(writer, "Circle")) return false;
  if (!writePixel(writer, "x", "y", circle->getX(), circle->getY()) ||
      !writeAttribute(writer, "r", NumberText::formatInt(PixelConversion::truncateToInt(circle->getRadius()))))
    return false;
  writeAtributes(circle, writer);
  return endElement(writer);
}

bool XMLDAOPolygons::writeFreeHand(regionShape* region, xmlTextWriterPtr writer) {
  if (!startElement(writer, "FreeHand")) return false;
  writeAtributes(region, writer);
  writeOutline(region->getLinePoints(), writer);
  for (baseShape* point : region->getPoints()) writePoint(point, writer);
  return endElement(writer);
}

bool XMLDAOPolygons::writeOutline(const std::vector<pointShape*>& vertices, xmlTextWriterPtr writer) {
  for (pointShape* vertex : vertices) {
    if (!startElement(writer, "FPoint") || !writePixel(writer, "x", "y", vertex->getX(), vertex->getY()) ||
        !endElement(writer))
      return false;
  }
  return true;
}

bool XMLDAOPolygons::writePoint(baseShape* point, xmlTextWriterPtr writer) {
  if (!startElement(writer, "Point") || !writePixel(writer, "x", "y", point->getX(), point->getY())) return false;
  writeAtributes(point, writer);
  return endElement(writer);
}

bool XMLDAOPolygons::writeLine(Line* line, xmlTextWriterPtr writer) {
  const std::vector<double> c = line->getCoordinates();
  if (!startElement(writer, "Line") || !writePixel(writer, "x1", "y1", c[0], c[1]) ||
      !writePixel(writer, "x2", "y2", c[2], c[3]))
    return false;
  writeAtributes(line, writer);
  return endElement(writer);
}

bool XMLDAOPolygons::writeAngle(Angle* angle, xmlTextWriterPtr writer) {
  if (!startElement(writer, "Angle") ||
      !writePixel(writer, "x1", "y1", angle->getp1()->getX(), angle->getp1()->getY()) ||
      !writePixel(writer, "x2", "y2", angle->getVertex()->getX(), angle->getVertex()->getY()) ||
      !writePixel(writer, "x3", "y3", angle->getp3()->getX(), angle->getp3()->getY()))
    return false;
  writeAtributes(angle, writer);
  return endElement(writer);
}

bool XMLDAOPolygons::writeAtributes(baseShape* p, xmlTextWriterPtr writer) {
  auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
  return writeAttribute(writer, "name", p->getName()) &&
         writeAttribute(writer, "id", NumberText::formatInt(p->getId())) &&
         writeAttribute(writer, "MANUAL", flag(p->getManual())) &&
         writeAttribute(writer, "DELETED", flag(p->getDeleted())) &&
         writeAttribute(writer, "VISIBLE", flag(p->getVisible())) &&
         writeAttribute(writer, "type", NumberText::formatInt(p->getType())) &&
         writeAttribute(writer, "clase", NumberText::formatInt(p->getClase())) &&
         writeAttribute(writer, "claseAutomatic", NumberText::formatInt(p->getClaseAutomatic()));
}

}  // namespace Model
