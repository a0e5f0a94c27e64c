#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ModelFachade.h"
#include "TemporaryHome.h"
#include "circleShape.h"

namespace {

circleShape* circle(double radius, double x, double y, bool visible = true) {
  return new circleShape(radius, x, y, 1, visible, false, false, true, 0, 0, 0);
}

void deleteAll(const std::vector<baseShape*>& shapes) {
  for (baseShape* shape : shapes) delete shape;
}

class ModelFachadeTest : public ::testing::Test {
 protected:
  void SetUp() override { model.setImageProperties("cells.png", 1000, 500); }

  std::string path(const std::string& name) const { return (temp.work() / name).string(); }

  TemporaryHome temp;
  Model::ModelFachade model;
};

TEST_F(ModelFachadeTest, SetImagePropertiesTruncatesTheSize) {
  model.setImageProperties("a.png", 640.9, 480.2);
  EXPECT_EQ(model.getImage()->getWidth(), 640);
  EXPECT_EQ(model.getImage()->getHeight(), 480);
  EXPECT_EQ(model.getImageName(), "a.png");
}

TEST_F(ModelFachadeTest, SavedCalibrationComesBackAndAFileWithoutItSwitchesItOff) {
  model.setCalibration(0.5);
  std::vector<baseShape*> shapes{circle(20, 0.5, 0.5)};
  ASSERT_TRUE(model.writePolygons(path("calibrated.xml"), shapes));
  model.setCalibrationActive(false);
  ASSERT_TRUE(model.writePolygons(path("plain.xml"), shapes));

  Model::ModelFachade reader;
  std::vector<baseShape*> read = reader.readXML(path("calibrated.xml"));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_TRUE(reader.isCalibrationActive());
  EXPECT_DOUBLE_EQ(reader.getCalibration(), 0.5);
  EXPECT_EQ(reader.getImage()->getWidth(), 1000);
  deleteAll(read);

  read = reader.readXML(path("plain.xml"));
  EXPECT_FALSE(reader.isCalibrationActive());
  EXPECT_DOUBLE_EQ(reader.getCalibration(), 1.0);
  deleteAll(read);
  deleteAll(shapes);
}

TEST_F(ModelFachadeTest, BatchReadLeavesTheCurrentSettingsAndImageAlone) {
  model.setCalibration(0.5);
  std::vector<baseShape*> shapes{circle(20, 0.5, 0.5)};
  ASSERT_TRUE(model.writePolygons(path("batch.xml"), shapes));
  deleteAll(shapes);

  Model::ModelFachade reader;
  reader.setImageProperties("open.png", 10, 20);
  std::vector<baseShape*> read = reader.readPolygonsXML(path("batch.xml"));
  EXPECT_EQ(read.size(), 1u);
  EXPECT_FALSE(reader.isCalibrationActive());
  EXPECT_TRUE(reader.readPreferencesXML()->isCalibrationActive());
  EXPECT_DOUBLE_EQ(reader.readPreferencesXML()->getCalibration(), 0.5);
  EXPECT_EQ(reader.readImagePropertiesXML()->getWidth(), 1000);
  EXPECT_EQ(reader.getImageName(), "open.png");
  deleteAll(read);
}

TEST_F(ModelFachadeTest, FailedReadChangesNothing) {
  model.setCalibration(0.5);
  std::ofstream(path("broken.xml")) << "<Poligonos filename=\"other.png\" width=\"0\" height=\"9\"><Point x=\"1\"";
  EXPECT_TRUE(model.readXML(path("broken.xml")).empty());
  EXPECT_TRUE(model.readXML(path("missing.xml")).empty());
  EXPECT_EQ(model.getImageName(), "cells.png");
  EXPECT_EQ(model.getImage()->getWidth(), 1000);
  EXPECT_TRUE(model.isCalibrationActive());
  EXPECT_DOUBLE_EQ(model.getCalibration(), 0.5);
}

// A file is read whole before any of it is used: until it is taken the model
// keeps its picture record and calibration, and a refused file says why.
TEST_F(ModelFachadeTest, AnnotationIsReadWholeBeforeItIsTaken) {
  model.setCalibration(0.5);
  const std::string root = "<Poligonos filename=\"other.png\" width=\"3200\" height=\"2400\" calibration=\"2\">";
  const struct {
    const char* name;
    std::string text;
    const char* reason;  // empty: the file is read
  } cases[] = {
      {"read.xml", root + "<Circle x=\"10\" y=\"10\" r=\"4\" id=\"1\"/></Poligonos>", ""},
      {"entity.xml",
       "<?xml version=\"1.0\"?><!DOCTYPE Poligonos [<!ENTITY secret SYSTEM \"/etc/passwd\">]>" + root +
           "<Point x=\"1\" y=\"1\" name=\"&secret;\"/></Poligonos>",
       "external entity"},
      {"latin1.xml", root + "<Point x=\"1\" y=\"1\" name=\"Zelle\xE4\"/></Poligonos>", "UTF-8"},
      {"infinite.xml", root + "<Circle x=\"10\" y=\"10\" r=\"1e300\" id=\"4\"/></Poligonos>",
       "Circle element with id 4"},
      {"huge.xml",
       "<Poligonos filename=\"big.png\" width=\"2147483647\" height=\"2147483647\"><Circle x=\"10\" y=\"10\" "
       "r=\"4\" id=\"1\"/></Poligonos>",
       "the picture it records is 2147483647 x 2147483647 pixels"},
      {"far.xml", root + "<FreeHand id=\"2\"><FPoint x=\"1e12\" y=\"10\"/></FreeHand></Poligonos>",
       "FreeHand element with id 2 lies far outside the picture"},
      {"other.xml", "<Preferences System=\"1\"/>", "not an annotation file"},
      {"cut.xml", root + "<Point x=\"1\"", "end of Start Tag Point"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(path(c.name), std::ios::binary) << c.text;
    Model::AnnotationRead read = model.readAnnotationFile(path(c.name));
    EXPECT_EQ(read.file(), path(c.name));
    EXPECT_EQ(model.getImageName(), "cells.png");
    EXPECT_EQ(model.getImage()->getWidth(), 1000);
    EXPECT_DOUBLE_EQ(model.getCalibration(), 0.5);
    if (*c.reason != '\0') {
      EXPECT_FALSE(read.readable());
      EXPECT_NE(read.refusal().find(c.reason), std::string::npos) << read.refusal();
      EXPECT_EQ(read.refusal().find('\n'), std::string::npos) << read.refusal();
      continue;
    }
    ASSERT_TRUE(read.readable()) << read.refusal();
    EXPECT_EQ(read.recordedWidth(), 3200);
    EXPECT_EQ(read.recordedHeight(), 2400);
    std::vector<baseShape*> shapes = model.takeAnnotation(read);
    EXPECT_EQ(shapes.size(), 1u);
    EXPECT_EQ(model.getImageName(), "other.png");
    EXPECT_EQ(model.getImage()->getWidth(), 3200);
    EXPECT_DOUBLE_EQ(model.getCalibration(), 2);
    deleteAll(shapes);
    model.setImageProperties("cells.png", 1000, 500);
    model.setCalibration(0.5);
  }
  EXPECT_EQ(model.readAnnotationFile(path("missing.xml")).refusal(), "the file does not exist");
  EXPECT_EQ(model.readAnnotationFile(temp.work().string()).refusal(), "it is not a regular file");
}

TEST_F(ModelFachadeTest, FailedSaveIsReported) {
  std::vector<baseShape*> shapes{circle(20, 0.5, 0.5)};
  EXPECT_FALSE(model.writePolygons(path("no-such-folder/a.xml"), shapes));
  EXPECT_FALSE(model.writePreferences(path("no-such-folder/preferences.xml")));
  deleteAll(shapes);
}

TEST_F(ModelFachadeTest, CreatePreferencesResetsTheSameObject) {
  Preferences* held = model.getPreferences();
  held->setCalibration(3.0);
  held->setAlgorithm(4);
  model.createPreferences();
  EXPECT_EQ(model.getPreferences(), held);
  EXPECT_FALSE(held->isCalibrationActive());
  EXPECT_EQ(held->getAlgorithm(), 10);
  EXPECT_EQ(model.getPreferencesSample()->getAlgorithm(), 10);
}

TEST_F(ModelFachadeTest, InnerShapesAreMarkedAndRemoved) {
  // Image 1000 x 500: a circle of radius 100 at (500, 250) holds the centre of
  // one of radius 10 at (520, 250); a third far away touches neither.
  baseShape* outer = circle(100, 0.5, 0.5);
  baseShape* inner = circle(10, 0.52, 0.5);
  baseShape* apart = circle(10, 0.05, 0.1);
  std::vector<baseShape*> kept = model.removeInnerPolygons({inner, outer, apart});
  EXPECT_EQ(kept, (std::vector<baseShape*>{outer, apart}));
  deleteAll(kept);
}

TEST_F(ModelFachadeTest, MaximumDiameterCountsVisibleShapesOnly) {
  std::vector<baseShape*> shapes{circle(30, 0.5, 0.5), circle(80, 0.2, 0.2, false)};
  EXPECT_DOUBLE_EQ(model.maximumDiameter(shapes), 60.0);
  EXPECT_DOUBLE_EQ(model.maximumDiameter({shapes[1]}), 0.0);
  EXPECT_DOUBLE_EQ(model.maximumDiameter({}), 0.0);
  deleteAll(shapes);
}

}  // namespace
