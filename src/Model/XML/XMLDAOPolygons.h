#ifndef XMLDAOPOLYGONS_H
#define XMLDAOPOLYGONS_H

#include <libxml++/libxml++.h>
#include <libxml/xmlwriter.h>

#include <memory>
#include <string>
#include <vector>

#include "GuardedSaxParser.h"
#include "ImageClass.h"
#include "PictureReach.h"
#include "PolygonsReadOptions.h"
#include "baseShape.h"
#include "pointShape.h"
#include "regionShape.h"

class Angle;
class Line;
class circleShape;

namespace Model {

// The annotation file of one image (root element "Poligonos"): its writer
// (libxml2 text writer) and its event-driven reader. Coordinates are image
// pixels in the file and fractions of the image size in memory.
//
// Reading: set entity substitution as wanted, parse (file or memory), catch
// xmlpp::exception, and use the result only when succeeded(). Nothing read
// reaches the caller's image or the caller's shape list before the parse has
// succeeded: the reader fills its own copy of the image record and owns the
// shapes until takePoligons hands them over; whatever is not taken is deleted
// with the reader. A root without a positive width and height aborts the
// parse, since the coordinates cannot be scaled, and so does a size the
// program would refuse for the picture (PictureFileCheck), a Poligonos
// element inside the root (the size is taken once), or a shape whose values
// are not finite or lie beyond the picture's reach (PictureReach), or a
// circle of negative radius.
class XMLDAOPolygons : public GuardedSaxParser {
 public:
  XMLDAOPolygons(ImageClass* img, double _calibration, PolygonsReadOptions options = PolygonsReadOptions());
  ~XMLDAOPolygons() override;
  XMLDAOPolygons(const XMLDAOPolygons&) = delete;
  XMLDAOPolygons& operator=(const XMLDAOPolygons&) = delete;

  // The diameter limits that the writer stores in the root.
  void setDiameters(int mindim, int maxdim);
  // The calibration read from the root, or the constructor's when it had none.
  double getCalibration() const;

  // Whether the parse met a root with a usable image size. A document
  // without one is not an annotation file: nothing of it may be used.
  bool succeeded() const;
  // Hands the shapes read over to the caller, who then owns them.
  std::vector<baseShape*> takePoligons();
  // Copies the file name, size and measures read from the root into target
  // (measures only when the file carried some).
  void applyImageTo(ImageClass& target) const;

  // Writes the shapes into filename. The file is replaced only when the whole
  // document was written; returns whether it was.
  bool writePoligonsXML(const std::string& filename, const std::vector<baseShape*>& poligonsModelWrite);

 protected:
  // A region's vertex, met by the million in large files, is read straight
  // from libxml2's attribute array; every other element (and a vertex whose
  // reading threw, so that the error takes the usual way) goes on to
  // on_start_element.
  bool readRawStartTag(const unsigned char* name, const unsigned char** attributes) override;
  void on_start_element(const Glib::ustring& name, const AttributeList& attributes) override;
  void on_end_element(const Glib::ustring& name) override;

 private:
  struct CommonAttributes;

  // Reading.
  void readRoot(const AttributeList& attributes);
  void readFreeHand(const AttributeList& attributes);
  void readFPoint(const AttributeList& attributes);
  void addVertex(const std::string& x, const std::string& y);
  void readPoint(const AttributeList& attributes);
  void readLine(const AttributeList& attributes);
  void readAngle(const AttributeList& attributes);
  void readCircle(const AttributeList& attributes);
  void closeFreeHand();

  // Writing; each returns false after printing the failure of a libxml2 call.
  bool writeRoot(xmlTextWriterPtr writer);
  bool writeShape(baseShape* shape, xmlTextWriterPtr writer);
  bool writeCircle(circleShape* circle, xmlTextWriterPtr writer);
  bool writeFreeHand(regionShape* region, xmlTextWriterPtr writer);
  bool writeOutline(const std::vector<pointShape*>& vertices, xmlTextWriterPtr writer);
  bool writePoint(baseShape* point, xmlTextWriterPtr writer);
  bool writeLine(Line* line, xmlTextWriterPtr writer);
  bool writeAngle(Angle* angle, xmlTextWriterPtr writer);
  bool writeAtributes(baseShape* p, xmlTextWriterPtr writer);
  bool writeAttribute(xmlTextWriterPtr writer, const char* name, const std::string& value);
  // The relative position (x, y) as whole image pixels under the two names.
  bool writePixel(xmlTextWriterPtr writer, const char* xName, const char* yName, double x, double y);
  bool startElement(xmlTextWriterPtr writer, const char* name);
  bool endElement(xmlTextWriterPtr writer);
  bool check(int libxmlResult, const char* failureMessage);

  PolygonsReadOptions options;
  std::vector<std::unique_ptr<baseShape>> poligons;
  std::unique_ptr<regionShape> freeHand;  // the region of the open FreeHand element
  ImageClass* image;                      // the caller's image; written from, never read into
  ImageClass parsedImage;                 // the image record as the file tells it
  bool scaleKnown = false;                // a root with a usable size has been read
  double imgHeight;
  double imgWidth;
  PictureReach reach{0, 0};  // where the shapes may lie, in pixels, once the root is read
  double calibration;
  int minDiameter = -1;
  int maxDiameter = -1;
  bool writeFailed = false;
};

}  // namespace Model

#endif
