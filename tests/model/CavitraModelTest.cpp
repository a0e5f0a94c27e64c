// Cavitra's model half: its settings, its model facade and its reading of
// annotation files, next to Lumora's where the two programs meet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Angle.h"
#include "FileText.h"
#include "Line.h"
#include "ModelFachade.h"
#include "PreferencesSample.h"
#include "ProfileSelection.h"
#include "ProgramProfile.h"
#include "TemporaryHome.h"
#include "circleShape.h"
#include "regionShape.h"

namespace fs = std::filesystem;

namespace {

void deleteAll(const std::vector<baseShape*>& shapes) {
  for (baseShape* shape : shapes) delete shape;
}

bool xmllintAccepts(const fs::path& file) {
  return std::system(("xmllint --noout '" + file.string() + "' 2>/dev/null").c_str()) == 0;
}

// The shapes every file of the round trips holds: a circle, a region with an
// interior point, a point and a line.
std::vector<baseShape*> sampleShapes() {
  auto* region = new regionShape(2, true, false, false, true, 0, 0, 0);
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{{0.1, 0.1}, {0.3, 0.1}, {0.3, 0.4}})
    region->addLinePoint(x, y);
  region->addPoint(new pointShape(0.2, 0.2, 5, true, false, false, true, 0, 0, 0));
  return {new circleShape(12.9, 0.5, 0.5, 1, true, false, false, true, 0, 0, 0), region,
          new pointShape(0.7, 0.7, 3, true, false, false, true, 0, 0, 0),
          new Line(0.1, 0.9, 0.5, 0.9, 4, true, false, false, true, 0, 0, 0)};
}

class CavitraModel : public ::testing::Test, CavitraSelected {
 protected:
  std::string path(const std::string& name) const { return (temp.work() / name).string(); }

  TemporaryHome temp;
};

TEST_F(CavitraModel, FreshSettingsHoldCavitrasDefaults) {
  Model::ModelFachade model;
  Preferences* p = model.getPreferences();
  EXPECT_EQ(p->getAlgorithm(), 4);
  EXPECT_EQ(p->getMinimumDiameter(), 40);
  EXPECT_EQ(p->getMaximumDiameter(), 1000);
  EXPECT_FALSE(p->isCalibrationActive());
  EXPECT_DOUBLE_EQ(p->getCalibration(), 1.0);
  const std::vector<double> blue = {1, 0, 0, 1, 5};
  EXPECT_EQ(p->getPointPreferences(), blue);
  EXPECT_EQ(p->getCirclePreferences(), blue);
  EXPECT_EQ(p->getRegionPreferences(), blue);
  EXPECT_TRUE(p->getClassPreferences().empty());
  EXPECT_TRUE(p->getClassNamesPreferences().empty());
  EXPECT_TRUE(p->getProblemsClaves().empty());
  EXPECT_TRUE(p->getProblemNames().empty());
  EXPECT_EQ(p->getProblemActive(), -1);
  EXPECT_EQ(p->getPreferencesDir(), ".cavitra");
  EXPECT_EQ(p->getImagePath(), "/home");
  // Each batch dialog makes its own batch settings, with fixed limits.
  EXPECT_EQ(model.getPreferencesSample(), nullptr);
  PreferencesSample sample(p);
  EXPECT_EQ(sample.getMinimumDiameter(), 10);
  EXPECT_EQ(sample.getMaximumDiameter(), 200);
  EXPECT_EQ(sample.getHistogramStep(), 10);
  EXPECT_TRUE(sample.isHistogramActive());
}

TEST_F(CavitraModel, ResetKeepsTheObjectAndRestoresCavitrasDefaults) {
  Model::ModelFachade model;
  Preferences* held = model.getPreferences();
  held->setDiameters(60, 500);
  held->setCalibration(0.5);
  model.createPreferences();
  EXPECT_EQ(model.getPreferences(), held);
  EXPECT_EQ(held->getMinimumDiameter(), 40);
  EXPECT_FALSE(held->isCalibrationActive());
  EXPECT_EQ(held->getAlgorithm(), 4);
}

// Cavitra never moves a point or a line; circles and regions move in both
// programs, points and lines in Lumora.
TEST_F(CavitraModel, OnlyLumoraMovesPointsAndLines) {
  for (const ProgramProfile* profile : {&ProgramProfile::cavitra(), &ProgramProfile::lumora()}) {
    ProgramProfile::select(*profile);
    const bool moves = profile == &ProgramProfile::lumora();
    std::vector<baseShape*> shapes = sampleShapes();  // circle, region, point, line
    std::vector<double> before;
    for (baseShape* shape : shapes) before.push_back(shape->getX());
    for (baseShape* shape : shapes) shape->move(0.05, 0.05);
    EXPECT_NEAR(shapes[0]->getX(), before[0] + 0.05, 1e-9) << profile->programName;
    EXPECT_NEAR(static_cast<regionShape*>(shapes[1])->getLinePoints()[0]->getX(), 0.15, 1e-9) << profile->programName;
    EXPECT_NEAR(shapes[2]->getX(), before[2] + (moves ? 0.05 : 0), 1e-9) << profile->programName;
    EXPECT_NEAR(static_cast<Line*>(shapes[3])->getCoordinates()[2], moves ? 0.55 : 0.5, 1e-9) << profile->programName;
    deleteAll(shapes);
  }
}

// Each program reads the other's files: Cavitra drops angles and measures,
// Lumora takes Cavitra's diameter limits as measures.
TEST_F(CavitraModel, BothProgramsReadEachOthersFiles) {
  std::vector<baseShape*> shapes = sampleShapes();
  ProgramProfile::select(ProgramProfile::lumora());
  {
    Model::ModelFachade lumora;
    lumora.setImageProperties("section.png", 400, 300);
    lumora.setMeasures({1.5, 2.5});
    std::vector<baseShape*> withAngle = shapes;
    withAngle.push_back(new Angle(new pointShape(0.1, 0.1, 0, true, false, false, false, 0, 0, 0),
                                  new pointShape(0.2, 0.2, 0, true, false, false, false, 0, 0, 0),
                                  new pointShape(0.3, 0.1, 0, true, false, false, false, 0, 0, 0), 6, true, false,
                                  false, true, 0, 0, 0));
    ASSERT_TRUE(lumora.writePolygons(path("lumora.xml"), withAngle));
    delete withAngle.back();
  }
  ProgramProfile::select(ProgramProfile::cavitra());
  {
    Model::ModelFachade cavitra;
    cavitra.setImageProperties("section.png", 400, 300);
    cavitra.getPreferences()->setDiameters(50, 700);
    ASSERT_TRUE(cavitra.writePolygons(path("cavitra.xml"), shapes));
    EXPECT_TRUE(xmllintAccepts(path("cavitra.xml")));
    const std::string text = readFileText(path("cavitra.xml"));
    EXPECT_NE(text.find("minDiameter=\"50\" maxDiameter=\"700\" width=\"400\" height=\"300\">"), std::string::npos)
        << text;

    std::vector<baseShape*> read = cavitra.readPolygonsXML(path("lumora.xml"));
    EXPECT_EQ(read.size(), 4u);
    for (baseShape* shape : read) EXPECT_NE(shape->getTypeShape(), ANGLE);
    EXPECT_TRUE(cavitra.readImagePropertiesXML()->getMeasures().empty());
    EXPECT_EQ(cavitra.readImagePropertiesXML()->getWidth(), 400);
    deleteAll(read);
  }
  ProgramProfile::select(ProgramProfile::lumora());
  {
    Model::ModelFachade lumora;
    std::vector<baseShape*> read = lumora.readPolygonsXML(path("cavitra.xml"));
    EXPECT_EQ(read.size(), 4u);
    EXPECT_EQ(lumora.readImagePropertiesXML()->getMeasures(), (std::vector<double>{50, 700}));
    deleteAll(read);
  }
  deleteAll(shapes);
}

// Saves go through the shared atomic writer: a save that cannot finish says
// so and leaves what was there.
// The console traces of the model's file and settings operations, which
// only Cavitra writes in this form.
TEST_F(CavitraModel, ModelOperationsAreTracedAsEachProgramTracesThem) {
  struct Case {
    const ProgramProfile* profile;
    std::string writeTrace, batchReadTrace, resetTrace;
  };
  const std::string file = path("traced.xml");
  const std::vector<Case> cases = {
      {&ProgramProfile::cavitra(),
       "writePolygons Model: en XML" + file + "\nxmldaoPolygons: file= " + file + " Poligons: 4\n",
       "ReadXML:: Tama\xC3\x83\xC2\xB1o poligonos 4\n", "ModelFachade::createPreferences()\n"},
      {&ProgramProfile::lumora(), "", "Model::ReadXML:: " + file + " No. polygons 4\n", ""},
  };
  for (const Case& c : cases) {
    ProgramProfile::select(*c.profile);
    Model::ModelFachade model;
    model.setImageProperties("section.png", 400, 300);
    std::vector<baseShape*> shapes = sampleShapes();
    testing::internal::CaptureStdout();
    model.writePolygons(file, shapes);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.writeTrace) << c.profile->programName;
    deleteAll(shapes);

    testing::internal::CaptureStdout();
    std::vector<baseShape*> read = model.readPolygonsXML(file);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.batchReadTrace) << c.profile->programName;
    deleteAll(read);

    testing::internal::CaptureStdout();
    model.createPreferences();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.resetTrace) << c.profile->programName;
  }
}

TEST_F(CavitraModel, AFailedSaveIsReportedAndLeavesWhatWasThere) {
  Model::ModelFachade model;
  model.setImageProperties("section.png", 400, 300);
  std::vector<baseShape*> shapes = sampleShapes();
  fs::create_directories(temp.work() / "blocked" / "inside");
  EXPECT_FALSE(model.writePolygons(path("blocked"), shapes));
  EXPECT_FALSE(model.writePreferences(path("blocked")));
  EXPECT_TRUE(fs::is_directory(temp.work() / "blocked" / "inside"));
  EXPECT_FALSE(model.writePolygons(path("no-such-folder/cysts.xml"), shapes));
  EXPECT_FALSE(model.writePreferences(path("no-such-folder/preferences.xml")));
  deleteAll(shapes);
}

}  // namespace
