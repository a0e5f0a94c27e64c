// The annotation file: byte-exact writing, reading back, malformed files,
// whole-pixel round trips, decimal-comma locales and failed saves.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Angle.h"
#include "FileText.h"
#include "Line.h"
#include "PixelConversion.h"
#include "XMLDAOPolygons.h"
#include "arcShape.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

namespace fs = std::filesystem;

namespace {

using ShapeList = std::vector<std::unique_ptr<baseShape>>;

std::vector<baseShape*> raw(const ShapeList& shapes) {
  std::vector<baseShape*> list;
  for (const auto& shape : shapes) list.push_back(shape.get());
  return list;
}

class AnnotationFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("annotation-" + std::to_string(getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  struct ReadResult {
    bool ok = false;
    std::string error;  // the parser's exception, as the model facade reports it
    ShapeList shapes;
    double calibration = 0;
  };

  // Reads as the model facade does: the caller's image changes only when the
  // read succeeded.
  static ReadResult read(const fs::path& path, ImageClass& image,
                         Model::PolygonsReadOptions options = Model::PolygonsReadOptions()) {
    ReadResult result;
    Model::XMLDAOPolygons reader(&image, -1.0, options);
    reader.set_substitute_entities(true);
    try {
      reader.parse_file(path.string());
    } catch (const xmlpp::exception& e) {
      result.error = e.what();
      return result;
    }
    if (!reader.succeeded()) return result;
    reader.applyImageTo(image);
    for (baseShape* shape : reader.takePoligons()) result.shapes.emplace_back(shape);
    result.calibration = reader.getCalibration();
    result.ok = true;
    return result;
  }

  ReadResult readText(const std::string& xml, ImageClass& image,
                      Model::PolygonsReadOptions options = Model::PolygonsReadOptions()) {
    const fs::path path = folder / "in.xml";
    writeFileText(path, xml);
    return read(path, image, options);
  }

  static bool write(const fs::path& path, ImageClass& image, double calibration, const ShapeList& shapes) {
    Model::XMLDAOPolygons writer(&image, calibration);
    writer.setDiameters(200, 800);
    return writer.writePoligonsXML(path.string(), raw(shapes));
  }

  // The shapes of the fixture file, plus an arc that the file does not keep.
  static ShapeList fixtureShapes() {
    ShapeList shapes;
    shapes.push_back(std::make_unique<pointShape>(0.2567, 0.5, 1, true, true, false, false, 0, 0, 0));
    auto arc = std::make_unique<arcShape>(9, true, false, false, true, 0, 0, 0);
    arc->addLinePoint(0.5, 0.5);
    shapes.push_back(std::move(arc));
    shapes.push_back(std::make_unique<circleShape>(12.9, 0.5, 0.25, 2, true, false, false, true, 0, 3, 0));
    auto region = std::make_unique<regionShape>(3, true, false, false, false, 1, 0, 2);
    region->setName("cell a&b");
    region->addLinePoint(0.1, 0.1);
    region->addLinePoint(0.2, 0.1);
    region->addLinePoint(0.2, 0.2);
    region->addPoint(new pointShape(0.15, 0.125, 0, true, false, false, false, 0, 0, 0));
    region->addPoint(new pointShape(0.16, 0.1375, 0, false, false, false, false, 0, 0, 0));
    shapes.push_back(std::move(region));
    shapes.push_back(std::make_unique<Line>(0.1, 0.2, 0.3, 0.4, 4, false, false, true, false, 0, 0, 0));
    shapes.push_back(std::make_unique<Angle>(new pointShape(0.2, 0.1, 0, true, false, false, false, 0, 0, 0),
                                             new pointShape(0.1, 0.1, 0, true, false, false, false, 0, 0, 0),
                                             new pointShape(0.1, 0.2, 0, true, false, false, false, 0, 0, 0), 5, true,
                                             false, false, true, 0, 0, 0));
    return shapes;
  }

  static ImageClass fixtureImage() {
    ImageClass image("cells é.png", 1000, 800);
    image.setMeasures({1.5, 2.25});
    return image;
  }

  static std::string fixtureText() { return readFileText(fs::path(SHAPES_TEST_DATA) / "annotation.xml"); }

  fs::path folder;
};

TEST_F(AnnotationFile, WritesTheFixtureByteForByte) {
  ImageClass image = fixtureImage();
  const fs::path path = folder / "out.xml";
  ASSERT_TRUE(write(path, image, 0.5, fixtureShapes()));
  EXPECT_EQ(readFileText(path), fixtureText());
  EXPECT_FALSE(fs::exists(path.string() + ".saving"));
}

TEST_F(AnnotationFile, ReadsTheFixtureBack) {
  ImageClass image("other.png", 10, 10);
  ReadResult result = read(fs::path(SHAPES_TEST_DATA) / "annotation.xml", image);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(image.getFilename(), "cells é.png");
  EXPECT_EQ(image.getWidth(), 1000);
  EXPECT_EQ(image.getHeight(), 800);
  // The diameter limits come back as measures, ahead of the stored ones.
  EXPECT_EQ(image.getMeasures(), (std::vector<double>{200, 800, 1.5, 2.25}));
  EXPECT_EQ(result.calibration, 0.5);

  // The region joins the list at its end tag; the arc was never written.
  ASSERT_EQ(result.shapes.size(), 5u);
  auto* point = dynamic_cast<pointShape*>(result.shapes[0].get());
  ASSERT_NE(point, nullptr);
  EXPECT_DOUBLE_EQ(point->getX(), 0.256);
  EXPECT_DOUBLE_EQ(point->getY(), 0.5);
  EXPECT_EQ(point->getId(), 1);
  EXPECT_FALSE(point->getSelected());

  auto* circle = dynamic_cast<circleShape*>(result.shapes[1].get());
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->getRadius(), 12);
  EXPECT_TRUE(circle->getManual());
  EXPECT_EQ(circle->getClase(), 3);

  auto* region = dynamic_cast<regionShape*>(result.shapes[2].get());
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(region->getName(), "cell a&b");
  EXPECT_EQ(region->getLinePoints().size(), 3u);
  EXPECT_EQ(region->getPoints().size(), 2u);
  EXPECT_EQ(region->getTotalNumberOfPointsInside(), 1);
  EXPECT_EQ(region->getType(), 1);
  EXPECT_EQ(region->getClaseAutomatic(), 2);

  auto* line = dynamic_cast<Line*>(result.shapes[3].get());
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->getDeleted());
  EXPECT_FALSE(line->getVisible());
  EXPECT_EQ(line->getCoordinates(), (std::vector<double>{0.1, 0.2, 0.3, 0.4}));

  auto* angle = dynamic_cast<Angle*>(result.shapes[4].get());
  ASSERT_NE(angle, nullptr);
  EXPECT_EQ(angle->pointsUpdatedAngle(), 3);
  EXPECT_DOUBLE_EQ(angle->getp1()->getX(), 0.2);
  EXPECT_DOUBLE_EQ(angle->getp3()->getY(), 0.2);

  // Saving what was opened gives the same file (with the limits now stored
  // as measures as well).
  const fs::path again = folder / "again.xml";
  Model::XMLDAOPolygons writer(&image, result.calibration);
  image.setMeasures({1.5, 2.25});
  writer.setDiameters(200, 800);
  ASSERT_TRUE(writer.writePoligonsXML(again.string(), raw(result.shapes)));
  EXPECT_EQ(readFileText(again), fixtureText());
}

TEST_F(AnnotationFile, RootAttributes) {
  const std::string shapes = "><Point x=\"500\" y=\"100\"/></Poligonos>";
  {
    // Coordinates scale by the file's width, whatever the image held.
    ImageClass image("a.png", 10, 10);
    ReadResult result = readText("<Poligonos width=\"2000\" height=\"200\"" + shapes, image);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.shapes.size(), 1u);
    EXPECT_DOUBLE_EQ(result.shapes[0]->getX(), 0.25);
    EXPECT_DOUBLE_EQ(result.shapes[0]->getY(), 0.5);
    EXPECT_EQ(result.calibration, -1);        // absent
    EXPECT_TRUE(image.getMeasures().empty());  // none in the file
  }
  {
    ImageClass image("a.png", 10, 10);
    std::string root = "<Poligonos width=\"2000\" height=\"200\" calibration=\"0,5\" minDiameter=\"7\"";
    for (int i = 0; i < 12; ++i) root += " M" + std::to_string(i) + "=\"" + std::to_string(i) + ",5\"";
    ReadResult result = readText(root + shapes, image);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.calibration, 0.5);
    EXPECT_EQ(image.getMeasures(), (std::vector<double>{7, 0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5}));
  }
}

TEST_F(AnnotationFile, MalformedFilesFailWithoutTouchingTheImage) {
  const std::string size = "<Poligonos filename=\"new.png\" width=\"100\" height=\"100\" M0=\"3\">";
  const struct {
    const char* what;
    std::string xml;
  } cases[] = {
      {"width missing", "<Poligonos filename=\"new.png\" height=\"100\"><Point x=\"1\" y=\"1\"/></Poligonos>"},
      {"height missing", "<Poligonos filename=\"new.png\" width=\"100\"><Point x=\"1\" y=\"1\"/></Poligonos>"},
      {"width 0", "<Poligonos filename=\"new.png\" width=\"0\" height=\"100\"><Point x=\"1\" y=\"1\"/></Poligonos>"},
      {"height not a number", "<Poligonos filename=\"new.png\" width=\"100\" height=\"abc\"/>"},
      {"negative width", "<Poligonos filename=\"new.png\" width=\"-5\" height=\"100\"/>"},
      {"truncated inside a region", size + "<Point x=\"1\" y=\"1\"/><FreeHand id=\"1\"><FPoint x=\"1\" y=\"2\"/><FPo"},
      {"truncated after the root", size},
      {"not XML at all", "not an annotation"},
      {"empty file", ""},
      {"another root", "<Other width=\"100\" height=\"100\"><Point x=\"1\" y=\"1\"/></Other>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ImageClass image("open.png", 640, 480);
    image.setMeasures({1});
    ReadResult result = readText(c.xml, image);
    EXPECT_FALSE(result.ok);
    if (c.xml.find("Poligonos") != std::string::npos) {
      EXPECT_FALSE(result.error.empty()) << "no message";
    }
    EXPECT_TRUE(result.shapes.empty());
    EXPECT_EQ(image.getFilename(), "open.png");
    EXPECT_EQ(image.getWidth(), 640);
    EXPECT_EQ(image.getHeight(), 480);
    EXPECT_EQ(image.getMeasures(), std::vector<double>{1});
  }
  ImageClass image;
  EXPECT_EQ(readText("<Poligonos height=\"100\"/>", image).error,
            "Poligonos: the image width and height must be positive numbers");
}

TEST_F(AnnotationFile, OddStructuresReadSafely) {
  const std::string root = "<Poligonos width=\"100\" height=\"100\">";
  ImageClass image("a.png", 100, 100);
  {
    // A vertex outside any region is dropped; a region opened inside another
    // ends the outer one, and both are kept.
    ReadResult result = readText(root +
                                     "<FPoint x=\"5\" y=\"5\"/>"
                                     "<FreeHand id=\"1\"><FPoint x=\"10\" y=\"10\"/>"
                                     "<FreeHand id=\"2\"><FPoint x=\"20\" y=\"20\"/><FPoint x=\"30\" y=\"20\"/>"
                                     "</FreeHand></FreeHand><FPoint x=\"5\" y=\"5\"/></Poligonos>",
                                 image);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.shapes.size(), 2u);
    EXPECT_EQ(result.shapes[0]->getId(), 1);
    EXPECT_EQ(static_cast<regionShape*>(result.shapes[0].get())->getLinePoints().size(), 1u);
    EXPECT_EQ(result.shapes[1]->getId(), 2);
    EXPECT_EQ(static_cast<regionShape*>(result.shapes[1].get())->getLinePoints().size(), 2u);
  }
  {
    // Shapes lacking coordinates are skipped; missing common attributes take
    // the values of a plain visible shape; unknown names are ignored.
    ReadResult result = readText(root +
                                     "<Point x=\"1\"/><Circle x=\"1\" y=\"1\"/><Line x1=\"1\" y1=\"1\" x2=\"1\"/>"
                                     "<Angle x1=\"1\" y1=\"1\" x2=\"1\" y2=\"1\" x3=\"1\"/><FreeHand/>"
                                     "<Point x=\"10\" y=\"20\" colour=\"red\"/><Unknown x=\"1\" y=\"1\"/></Poligonos>",
                                 image);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.shapes.size(), 2u);
    const baseShape& region = *result.shapes[0];
    EXPECT_EQ(region.getTypeShape(), REGION);
    EXPECT_EQ(region.getName(), "");
    const baseShape& point = *result.shapes[1];
    EXPECT_EQ(point.getTypeShape(), POINT);
    EXPECT_TRUE(point.getVisible());
    EXPECT_FALSE(point.getDeleted());
    EXPECT_FALSE(point.getManual());
    EXPECT_EQ(point.getId(), 0);
  }
  {
    ReadResult result = readText(root + "<Point x=\"1\" y=\"1\" DELETED=\"1\" VISIBLE=\"1\"/></Poligonos>", image);
    ASSERT_EQ(result.shapes.size(), 1u);
    EXPECT_TRUE(result.shapes[0]->getDeleted());
    EXPECT_FALSE(result.shapes[0]->getVisible());
  }
}

TEST_F(AnnotationFile, SecondProgramReadsWithoutAnglesOrMeasures) {
  ImageClass image("a.png", 1, 1);
  image.setMeasures({42});
  Model::PolygonsReadOptions options;
  options.readAngles = false;
  options.collectMeasures = false;
  ReadResult result = read(fs::path(SHAPES_TEST_DATA) / "annotation.xml", image, options);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.shapes.size(), 4u);
  for (const auto& shape : result.shapes) EXPECT_NE(shape->getTypeShape(), ANGLE);
  EXPECT_EQ(image.getMeasures(), std::vector<double>{42});
}

// A shape that cannot be measured or drawn refuses the whole file, the
// message naming its element; every other shape of the file is dropped with it.
TEST_F(AnnotationFile, ShapesWithValuesThatAreNotFiniteRefuseTheFile) {
  const std::string root = "<Poligonos width=\"100\" height=\"100\"><Point x=\"1\" y=\"1\" id=\"1\"/>";
  const std::string region = "<FreeHand id=\"7\"><FPoint x=\"10\" y=\"10\"/><FPoint x=\"20\" y=\"10\"/>";
  const struct {
    const char* what;
    std::string shape;
    std::string named;
  } cases[] = {
      {"point at x nan", "<Point x=\"nan\" y=\"5\" id=\"3\"/>", "Point element with id 3"},
      {"point at y inf", "<Point x=\"5\" y=\"inf\" id=\"4\"/>", "Point element with id 4"},
      {"interior point at -inf", region + "<Point x=\"-inf\" y=\"5\" id=\"8\"/></FreeHand>",
       "Point element with id 8"},
      {"vertex at nan", region + "<FPoint x=\"15\" y=\"nan\"/></FreeHand>",
       "FPoint element of the FreeHand element with id 7"},
      {"circle of radius inf", "<Circle x=\"5\" y=\"5\" r=\"inf\" id=\"5\"/>", "Circle element with id 5"},
      {"circle of radius 1e300", "<Circle x=\"5\" y=\"5\" r=\"1e300\" id=\"6\"/>", "Circle element with id 6"},
      {"circle centred at nan", "<Circle x=\"nan\" y=\"5\" r=\"3\" id=\"2\"/>", "Circle element with id 2"},
      {"line whose length overflows", "<Line x1=\"-1e300\" y1=\"0\" x2=\"1e300\" y2=\"0\" id=\"10\"/>",
       "Line element with id 10"},
      {"line end at inf", "<Line x1=\"0\" y1=\"0\" x2=\"5\" y2=\"inf\" id=\"11\"/>", "Line element with id 11"},
      {"angle vertex at nan", "<Angle x1=\"0\" y1=\"0\" x2=\"nan\" y2=\"5\" x3=\"9\" y3=\"9\" id=\"12\"/>",
       "Angle element with id 12"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ImageClass image("open.png", 640, 480);
    ReadResult result = readText(root + c.shape + "</Poligonos>", image);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("not a finite number"), std::string::npos) << result.error;
    EXPECT_TRUE(result.shapes.empty());
    EXPECT_EQ(image.getWidth(), 640);
  }
}

// Shapes added on the canvas take the ids after the largest one read, so an
// id at the end of the int range is refused before it can overflow them.
TEST_F(AnnotationFile, IdsLeaveRoomForTheShapesAddedAfterThem) {
  const struct {
    const char* id;
    bool read;
  } cases[] = {{"1000000000", true}, {"1000000001", false}, {"2147483647", false}, {"99999999999", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    ImageClass image("open.png", 640, 480);
    const ReadResult result = readText(std::string("<Poligonos filename=\"liver2.ppm\" width=\"800\" "
                                                   "height=\"600\"><Circle x=\"400\" y=\"300\" r=\"5\" id=\"") +
                                           c.id + "\"/></Poligonos>",
                                       image);
    EXPECT_EQ(result.ok, c.read) << result.error;
    if (!c.read) {
      EXPECT_NE(result.error.find(std::string("the id ") + c.id), std::string::npos) << result.error;
    }
  }
}

// A shape far outside its picture, or a picture larger than the program would
// load, would give absurd figures (cyst indices of millions of percent,
// histograms of billions of rows): the file is refused, the message naming
// the element. Two picture widths left and right and two heights above and
// below are the reach; a shape at its edge is kept. A second picture size
// would leave the shapes read before it checked against another size than
// the one they are written at.
TEST_F(AnnotationFile, ShapesFarOutsideThePictureAndPicturesTooLargeRefuseTheFile) {
  // 800 x 600: x from -1600 to 2400, y from -1200 to 1800, radius up to 3000.
  const std::string root = "<Poligonos filename=\"liver2.ppm\" width=\"800\" height=\"600\">";
  const std::string region = "<FreeHand id=\"2\"><FPoint x=\"100\" y=\"100\"/><FPoint x=\"200\" y=\"100\"/>";
  const std::string far = "lies far outside the picture";
  const std::string sides = "pixels: its sides may be at most 1048576 pixels long";
  const struct {
    const char* what;
    std::string xml;
    std::string named;  // empty: the file is read
    std::string reason;
  } cases[] = {
      {"picture of 2147483647 x 2147483647 with one circle",
       "<Poligonos filename=\"liver2.ppm\" calibration=\"-1.000000\" minDiameter=\"40\" maxDiameter=\"1000\" "
       "width=\"2147483647\" height=\"2147483647\"><Circle x=\"1000\" y=\"1000\" r=\"100000000\" id=\"1\"/>"
       "</Poligonos>",
       "Poligonos: the picture it records is 2147483647 x 2147483647", sides},
      {"picture of the longest sides, too large for memory",
       "<Poligonos width=\"1048576\" height=\"1048576\"><Circle x=\"1\" y=\"1\" r=\"1\"/></Poligonos>",
       "Poligonos: the picture it records is 1048576 x 1048576", "pixels: it would take"},
      {"picture of 1 x 1579000000 with a circle far beyond its width",
       "<Poligonos width=\"1\" height=\"1579000000\"><Circle x=\"500\" y=\"1000\" r=\"1\" id=\"1\"/></Poligonos>",
       "Poligonos: the picture it records is 1 x 1579000000", sides},
      {"picture one pixel taller than the longest side",
       "<Poligonos width=\"1\" height=\"1048577\"><Point x=\"0\" y=\"0\"/></Poligonos>",
       "Poligonos: the picture it records is 1 x 1048577", sides},
      {"a second picture size inside the first",
       "<Poligonos width=\"10\" height=\"100\"><Circle x=\"5\" y=\"250\" r=\"1\"/>"
       "<Poligonos width=\"10\" height=\"10\"/></Poligonos>",
       "Poligonos", "Poligonos element inside another"},
      {"a second picture size after a circle beyond two widths",
       "<Poligonos width=\"10\" height=\"100\"><Circle x=\"200\" y=\"50\" r=\"1\"/>"
       "<Poligonos width=\"10\" height=\"10\"/></Poligonos>",
       "Circle element with id 0", far},
      {"region vertex at 1e12", root + region + "<FPoint x=\"1e12\" y=\"100\"/></FreeHand></Poligonos>",
       "FPoint element of the FreeHand element with id 2", far},
      {"region vertex at -1e9", root + region + "<FPoint x=\"150\" y=\"-1e9\"/></FreeHand></Poligonos>",
       "FPoint element of the FreeHand element with id 2", far},
      {"region vertex beyond two heights, within two widths",
       root + region + "<FPoint x=\"150\" y=\"1801\"/></FreeHand></Poligonos>",
       "FPoint element of the FreeHand element with id 2", far},
      {"region whose area would overflow",
       root + region + "<FPoint x=\"1e200\" y=\"1e200\"/></FreeHand></Poligonos>",
       "FPoint element of the FreeHand element with id 2", far},
      {"circle of radius 1e12", root + "<Circle x=\"400\" y=\"300\" r=\"1e12\" id=\"1\"/></Poligonos>",
       "Circle element with id 1", far},
      {"circle of radius beyond the reach's height",
       root + "<Circle x=\"400\" y=\"300\" r=\"3001\" id=\"1\"/></Poligonos>", "Circle element with id 1", far},
      {"circle of radius -4001", root + "<Circle x=\"400\" y=\"300\" r=\"-4001\" id=\"3\"/></Poligonos>",
       "Circle element with id 3", "has a negative radius"},
      {"circle of radius -50", root + "<Circle x=\"400\" y=\"300\" r=\"-50\" id=\"3\"/></Poligonos>",
       "Circle element with id 3", "has a negative radius"},
      {"circle centred beyond the right", root + "<Circle x=\"2401\" y=\"300\" r=\"5\" id=\"4\"/></Poligonos>",
       "Circle element with id 4", far},
      {"circle centred beyond two heights below",
       root + "<Circle x=\"400\" y=\"1801\" r=\"5\" id=\"4\"/></Poligonos>", "Circle element with id 4", far},
      {"point above", root + "<Point x=\"5\" y=\"-1601\" id=\"5\"/></Poligonos>", "Point element with id 5", far},
      {"point beyond two heights above, within two widths",
       root + "<Point x=\"5\" y=\"-1201\" id=\"5\"/></Poligonos>", "Point element with id 5", far},
      {"interior point below", root + region + "<Point x=\"5\" y=\"2201\" id=\"6\"/></FreeHand></Poligonos>",
       "Point element with id 6", far},
      {"line end to the left", root + "<Line x1=\"-1601\" y1=\"0\" x2=\"5\" y2=\"5\" id=\"7\"/></Poligonos>",
       "Line element with id 7", far},
      {"line end beyond two heights below",
       root + "<Line x1=\"0\" y1=\"0\" x2=\"5\" y2=\"1801\" id=\"7\"/></Poligonos>", "Line element with id 7",
       far},
      {"angle arm below",
       root + "<Angle x1=\"0\" y1=\"0\" x2=\"5\" y2=\"5\" x3=\"9\" y3=\"1e9\" id=\"8\"/></Poligonos>",
       "Angle element with id 8", far},
      {"every shape at the edge of the reach",
       root + region +
           "<FPoint x=\"-1600\" y=\"1800\"/><Point x=\"2400\" y=\"-1200\"/></FreeHand>"
           "<Circle x=\"-1600\" y=\"1800\" r=\"3000\"/><Point x=\"2400\" y=\"1800\"/>"
           "<Line x1=\"-1600\" y1=\"-1200\" x2=\"2400\" y2=\"1800\"/>"
           "<Angle x1=\"-1600\" y1=\"0\" x2=\"0\" y2=\"0\" x3=\"2400\" y3=\"1800\"/></Poligonos>",
       "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ImageClass image("open.png", 640, 480);
    ReadResult result = readText(c.xml, image);
    if (c.named.empty()) {
      ASSERT_TRUE(result.ok) << result.error;
      EXPECT_EQ(result.shapes.size(), 5u);
      continue;
    }
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
    EXPECT_TRUE(result.shapes.empty());
    EXPECT_EQ(image.getWidth(), 640);
  }
}

// Every whole pixel p of every width W up to a few thousand: p / W, the
// relative coordinate a file read produces, converts back to p.
TEST(PixelConversion, WholePixelsRoundTrip) {
  int mismatches = 0;
  for (int width = 1; width <= 4000; ++width)
    for (int p = 0; p < width; ++p)
      if (PixelConversion::toPixel(static_cast<double>(p) / width, width) != p) ++mismatches;
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(PixelConversion::toPixel(0.2567, 1000), 256);
  EXPECT_EQ(PixelConversion::toPixel(-0.0015, 1000), -1);
  EXPECT_EQ(PixelConversion::toPixel(1e300, 1000), std::numeric_limits<int>::max());
  EXPECT_EQ(PixelConversion::toPixel(std::nan(""), 1000), 0);
}

TEST_F(AnnotationFile, OpeningAndSavingDoesNotMoveVertices) {
  // 15 / 22 * 22 falls just below 15 in binary arithmetic.
  const std::string original =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Poligonos filename=\"a.png\" calibration=\"-1.000000\" minDiameter=\"-1\" maxDiameter=\"-1\" width=\"22\" "
      "height=\"2592\"><FreeHand name=\"Default name\" id=\"1\" MANUAL=\"0\" DELETED=\"0\" VISIBLE=\"1\" type=\"0\" "
      "clase=\"0\" claseAutomatic=\"0\"><FPoint x=\"15\" y=\"139\"/><FPoint x=\"21\" y=\"2591\"/>"
      "<FPoint x=\"0\" y=\"1295\"/></FreeHand></Poligonos>\n";
  ImageClass image;
  ReadResult result = readText(original, image);
  ASSERT_TRUE(result.ok);
  image.setMeasures({});  // the diameter limits read as measures are not the point here
  const fs::path path = folder / "saved.xml";
  Model::XMLDAOPolygons writer(&image, result.calibration);
  ASSERT_TRUE(writer.writePoligonsXML(path.string(), raw(result.shapes)));
  EXPECT_EQ(readFileText(path), original);
}

TEST_F(AnnotationFile, NumbersUseAPointUnderADecimalCommaLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  ImageClass image = fixtureImage();
  const fs::path path = folder / "out.xml";
  const bool written = write(path, image, 0.5, fixtureShapes());
  ImageClass readBack;
  ReadResult result = readText("<Poligonos width=\"100\" height=\"100\" calibration=\"0.25\" M0=\"2.5\">"
                               "<Point x=\"12.5\" y=\"50\"/></Poligonos>",
                               readBack);
  std::setlocale(LC_ALL, previous.c_str());
  ASSERT_TRUE(written);
  EXPECT_EQ(readFileText(path), fixtureText());
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.calibration, 0.25);
  EXPECT_EQ(readBack.getMeasures(), std::vector<double>{2.5});
  EXPECT_DOUBLE_EQ(result.shapes[0]->getX(), 0.125);
}

TEST_F(AnnotationFile, FileNamesThatAreNotUtf8StillGiveAReadableFile) {
  ImageClass image("Zellen\xE4.png", 100, 100);  // a Latin-1 byte
  const fs::path path = folder / "out.xml";
  ASSERT_TRUE(write(path, image, -1, {}));
  ImageClass readBack;
  ReadResult result = read(path, readBack);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(readBack.getFilename().rfind("Zellen", 0), 0u);
  EXPECT_TRUE(g_utf8_validate(readBack.getFilename().c_str(), -1, nullptr));
}

TEST_F(AnnotationFile, FailedSavesReportFalseAndKeepTheOldFile) {
  ImageClass image = fixtureImage();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(write(folder / "missing" / "out.xml", image, 0.5, fixtureShapes()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "testXmlwriterFilename: Error creating the xml writer\n");

  // The target is a folder: the finished document cannot be renamed over it.
  const fs::path blocked = folder / "blocked";
  fs::create_directories(blocked / "inside");
  EXPECT_FALSE(write(blocked, image, 0.5, fixtureShapes()));
  EXPECT_TRUE(fs::is_directory(blocked / "inside"));

  // The disk fills up halfway through a large annotation.
  const fs::path target = folder / "kept.xml";
  writeFileText(target, "old content");
  ShapeList large;
  auto region = std::make_unique<regionShape>(1, true, false, false, false, 0, 0, 0);
  for (int i = 0; i < 20000; ++i) region->addLinePoint(i / 20000.0, 0.5);
  large.push_back(std::move(region));
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8192, 8192};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(write(target, image, 0.5, large) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save reported success";
  EXPECT_EQ(readFileText(target), "old content");
  EXPECT_FALSE(fs::exists(target.string() + ".saving"));
}

}  // namespace
