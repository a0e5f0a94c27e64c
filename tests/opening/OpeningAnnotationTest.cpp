// Both programs, started as a user starts them, open annotation files that
// are sound, refused, or made for another picture size, through both open
// commands of the menu bar; what they save after opening one all the same
// opens again.

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "AnnotationRead.h"
#include "ControllerFachade.h"
#include "ModelFachade.h"
#include "FileText.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "StartedProgramFiles.h"
#include "StartedProgramTest.h"
#include "WidgetById.h"
#include "circleShape.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;
constexpr auto look = &ScriptedUser::look;
const char* const saveTitle = "Please choose a XML file";

constexpr int pictureWidth = 160;
constexpr int pictureHeight = 120;

// What a refused open must leave as it was.
struct Work {
  std::string picture;
  std::vector<baseShape*> shapes;
  bool sidePane = false;
  std::string panelIndex;
  std::string panelCount;
  bool operator==(const Work& o) const {
    return picture == o.picture && shapes == o.shapes && sidePane == o.sidePane && panelIndex == o.panelIndex &&
           panelCount == o.panelCount;
  }
};

class OpeningAnnotationTest : public StartedProgramTest {
 protected:
  OpeningAnnotationTest() : StartedProgramTest(startedRunFolder, startedProgram) {}

  void SetUp() override {
    StartedProgramTest::SetUp();
    fs::create_directories(xml);
    fs::create_directories(pictures);
  }

  Step useTestFolders() {
    return look([this] { controller->getModel()->set_xml_folder(xml.string()); });
  }

  // Opens with the menu item `item`, choosing `file`.
  std::vector<Step> open(const std::string& item, const fs::path& file) {
    return {choose(item), ScriptedUser::answerChooser("Please choose a file", {file.string()})};
  }

  // Answers the question about a picture size with `response`, keeping its text.
  Step answerSizeQuestion(int response, std::string& text) {
    return [response, &text] {
      auto* box = DialogAnswerer::visible<Gtk::MessageDialog>();
      if (box == nullptr || box->property_text().get_value() != "Annotation of another picture size") return false;
      text = box->property_secondary_text().get_value();
      box->response(response);
      return true;
    };
  }

  // The label's text, empty in a program without it.
  std::string label(const std::string& id) {
    auto* found = findById<Gtk::Label>(mainWindow(), id);
    return found != nullptr ? found->get_text().raw() : std::string();
  }

  Work work() {
    return {canvas()->getFilename(), canvas()->getPolygonsNew(),
            findById<Gtk::Paned>(mainWindow(), "panedLateral")->get_visible(), label("cystIndexLabel"),
            label("cystNumberLabel")};
  }

  // Draws a circle from the picture's middle at the smallest zoom, dragging
  // half the window's width, and keeps its radius.
  Step drawWideCircle(double& radius) {
    return look([this, &radius] {
      ScrollImage* c = canvas();
      const int width = c->get_allocated_width();
      const int height = c->get_allocated_height();
      for (int step = 0; step < 500 && c->getView().getScale() > c->getView().getMinScale(); ++step)
        c->scroll(CanvasEditor::WheelDirection::Down, 0, width / 2.0, height / 2.0);
      c->prepareFrame(width, height);
      const CanvasView::WindowArea& area = c->getView().getPictureArea();
      const double x = (area.minX + area.maxX) / 2;
      const double y = (area.minY + area.maxY) / 2;
      c->setButtonCircles(true);
      c->pressButton(1, x, y);
      c->movePointer(x + width / 2.0, y);
      c->releaseButton(1, x + width / 2.0, y);
      c->setButtonCircles(false);
      auto* drawn = dynamic_cast<circleShape*>(c->getPolygonsNew().back());
      ASSERT_NE(drawn, nullptr);
      radius = drawn->getRadius();
    });
  }

  // Saves the canvas's shapes in `file` through the menu.
  std::vector<Step> save(const fs::path& file) {
    return {choose("saveXML"), ScriptedUser::answerChooser(saveTitle, {file.string()}),
            ScriptedUser::waitFor([] { return ScriptedUser::visibleWindow(saveTitle) == nullptr; })};
  }

  const fs::path xml = temp.home() / "xml";
  const fs::path pictures = temp.home() / "pictures";
};

TEST_F(OpeningAnnotationTest, RefusedFilesAndDeclinedSizesLeaveTheWorkAsItWas) {
  const std::string root = "<Poligonos filename=\"x.ppm\" width=\"160\" height=\"120\">";
  // The picture first opened, with its annotation of three regions.
  writePpm(pictures / "cells.ppm", pictureWidth, pictureHeight);
  writeAnnotation(xml / "cells.xml", "cells.ppm", pictureWidth, pictureHeight, squares(3));
  // Refused: a reference to a local file, and a name that is not UTF-8.
  writeFileText(xml / "entity.xml", "<?xml version=\"1.0\"?><!DOCTYPE Poligonos [<!ENTITY secret SYSTEM "
                                "\"/etc/passwd\">]>" +
                                    root + "<Point x=\"1\" y=\"1\" name=\"&secret;\"/></Poligonos>");
  writePpm(pictures / "latin1.ppm", pictureWidth, pictureHeight);
  writeFileText(xml / "latin1.xml", root + "<Point x=\"1\" y=\"1\" name=\"Zelle\xE4\"/></Poligonos>");
  writePpm(pictures / "infinite.ppm", pictureWidth, pictureHeight);
  writeFileText(xml / "infinite.xml", root + "<Circle x=\"10\" y=\"10\" r=\"1e300\" id=\"5\"/></Poligonos>");
  // A picture size no computer could load, and a region reaching far beyond
  // the picture.
  writeFileText(xml / "huge.xml",
                "<Poligonos filename=\"x.ppm\" width=\"2147483647\" height=\"2147483647\"><Circle x=\"1000\" "
                "y=\"1000\" r=\"100000000\" id=\"1\"/></Poligonos>");
  writeFileText(xml / "far.xml", root + "<FreeHand id=\"2\"><FPoint x=\"10\" y=\"10\"/><FPoint x=\"1e12\" y=\"10\"/>"
                                        "<FPoint x=\"10\" y=\"50\"/></FreeHand></Poligonos>");
  // Made for a picture twice as large.
  writePpm(pictures / "larger.ppm", pictureWidth, pictureHeight);
  writeAnnotation(xml / "larger.xml", "larger.ppm", 2 * pictureWidth, 2 * pictureHeight, squares(2));

  Work opened, afterRefusals, afterDecline, afterAccept;
  std::string declined, accepted;
  std::vector<Step> steps{useTestFolders()};
  auto add = [&steps](std::vector<Step> more) { steps.insert(steps.end(), more.begin(), more.end()); };
  add(open("openImageXML", pictures / "cells.ppm"));
  add({look([&] { opened = work(); })});
  add(open("openXML", xml / "entity.xml"));
  add(open("openImageXML", pictures / "latin1.ppm"));
  add(open("openImageXML", pictures / "infinite.ppm"));
  add(open("openXML", xml / "huge.xml"));
  add(open("openXML", xml / "far.xml"));
  add({look([&] { afterRefusals = work(); })});
  add(open("openImageXML", pictures / "larger.ppm"));
  add({answerSizeQuestion(Gtk::RESPONSE_NO, declined), look([&] { afterDecline = work(); })});
  add(open("openXML", xml / "larger.xml"));
  add({answerSizeQuestion(Gtk::RESPONSE_YES, accepted), look([&] { afterAccept = work(); }), choose("exit")});
  EXPECT_EQ(run(steps), 0);

  EXPECT_EQ(opened.picture, (pictures / "cells.ppm").string());
  EXPECT_EQ(opened.shapes.size(), 3u);
  EXPECT_TRUE(afterRefusals == opened);
  EXPECT_TRUE(afterDecline == opened);

  const struct {
    fs::path file;
    const char* reason;
  } refusals[] = {{xml / "entity.xml", "external entity"},
                  {xml / "latin1.xml", "UTF-8"},
                  {xml / "infinite.xml", "Circle element with id 5"},
                  {xml / "huge.xml", "2147483647 x 2147483647 pixels"},
                  {xml / "far.xml", "FreeHand element with id 2 lies far outside the picture"}};
  // Lumora also says at start that its classifiers were loaded.
  std::vector<std::string> aboutFiles;
  for (const std::string& message : messages)
    if (message.rfind("The annotation file ", 0) == 0) aboutFiles.push_back(message);
  ASSERT_EQ(aboutFiles.size(), std::size(refusals)) << testing::PrintToString(messages);
  for (std::size_t i = 0; i < aboutFiles.size(); ++i) {
    SCOPED_TRACE(refusals[i].file);
    EXPECT_EQ(aboutFiles[i].rfind("The annotation file " + refusals[i].file.string() + " cannot be opened: ", 0), 0u)
        << aboutFiles[i];
    EXPECT_NE(aboutFiles[i].find(refusals[i].reason), std::string::npos) << aboutFiles[i];
  }
  for (const std::string& question : {declined, accepted}) {
    EXPECT_NE(question.find((xml / "larger.xml").string()), std::string::npos) << question;
    EXPECT_NE(question.find("320x240"), std::string::npos) << question;
    EXPECT_NE(question.find("160x120"), std::string::npos) << question;
  }
  EXPECT_NE(declined.find((pictures / "larger.ppm").string()), std::string::npos) << declined;
  EXPECT_NE(accepted.find((pictures / "cells.ppm").string()), std::string::npos) << accepted;
  // Opened anyway, the file's shapes replace the others on the same picture.
  EXPECT_EQ(afterAccept.picture, (pictures / "cells.ppm").string());
  EXPECT_EQ(afterAccept.shapes.size(), 2u);
  // Cavitra's panel counts what each open put on the canvas: squares of
  // about 16 x 12 pixels (whole pixels in the file) on 160 x 120.
  if (std::string(startedProgram) == "cavitra") {
    EXPECT_EQ(opened.panelIndex, "2 %");
    EXPECT_EQ(opened.panelCount, "3");
    EXPECT_EQ(afterAccept.panelIndex, "2 %");
    EXPECT_EQ(afterAccept.panelCount, "2");
  }
}

}  // namespace

// An annotation taken all the same onto a picture of another size, and what
// is done on it before it is saved.
struct AllTheSame {
  const char* name;
  const char* command;  // openXML onto the picture opened first, or openImageXML
  int pictureWidth;
  int pictureHeight;
  int recordedWidth;
  int recordedHeight;
  double fileRadius;  // of a circle in the file besides its squares; 0 for none
  bool draws;         // a circle drawn after opening, as wide as the canvas lets it be
};

void PrintTo(const AllTheSame& c, std::ostream* os) { *os << c.name; }

// The id of the circle in the file, above those the canvas gives.
constexpr int fileCircleId = 9;

class AllTheSameTest : public OpeningAnnotationTest, public testing::WithParamInterface<AllTheSame> {};

// The size a save records and the size the canvas and the reader bound a
// circle's radius by are one: the picture's; the name it records is the
// picture's too.
TEST_P(AllTheSameTest, TheAnnotationSavedOpensAgainWithAllItsShapes) {
  const AllTheSame& c = GetParam();
  const fs::path picture = pictures / "cells.ppm";
  const fs::path annotation = xml / "cells.xml";
  const fs::path saved = temp.home() / "saved.xml";
  writePpm(picture, c.pictureWidth, c.pictureHeight);
  std::vector<baseShape*> shapes = squares(2);
  if (c.fileRadius > 0)
    shapes.push_back(new circleShape(c.fileRadius, 0.5, 0.5, fileCircleId, true, false, false, true, 0, 0, 0));
  const std::size_t inFile = shapes.size();
  // Recorded for another picture.
  writeAnnotation(annotation, "other.ppm", c.recordedWidth, c.recordedHeight, shapes);

  std::string question;
  double drawnRadius = 0;
  std::vector<Step> steps{useTestFolders()};
  auto add = [&steps](std::vector<Step> more) { steps.insert(steps.end(), more.begin(), more.end()); };
  if (std::string(c.command) == "openXML") {
    add(open("openImage", picture));
    add(open("openXML", annotation));
  } else {
    add(open(c.command, picture));
  }
  add({answerSizeQuestion(Gtk::RESPONSE_YES, question)});
  if (c.draws) add({drawWideCircle(drawnRadius)});
  add(save(saved));
  add({choose("exit")});
  EXPECT_EQ(run(steps), 0);

  const double largest = 5.0 * std::min(c.pictureWidth, c.pictureHeight);
  if (c.draws) {
    // Wider than the size the file records would have allowed.
    EXPECT_DOUBLE_EQ(drawnRadius, largest);
    EXPECT_GT(drawnRadius, 5.0 * std::min(c.recordedWidth, c.recordedHeight));
  }
  const bool shrinks = c.fileRadius > largest;
  EXPECT_EQ(question.find("circles too large") != std::string::npos, shrinks) << question;
  Model::ModelFachade model;
  Model::AnnotationRead reread = model.readAnnotationFile(saved.string());
  ASSERT_TRUE(reread.readable()) << reread.refusal();
  EXPECT_EQ(reread.recordedWidth(), c.pictureWidth);
  EXPECT_EQ(reread.recordedHeight(), c.pictureHeight);
  std::vector<baseShape*> read = reread.takeShapes();
  EXPECT_EQ(read.size(), inFile + (c.draws ? 1 : 0));
  for (baseShape* shape : read) {
    if (auto* circle = dynamic_cast<circleShape*>(shape); circle != nullptr && circle->getId() == fileCircleId) {
      EXPECT_DOUBLE_EQ(circle->getRadius(), std::min(c.fileRadius, largest));
    }
    delete shape;
  }
  // The file saved names the picture it was measured on, and so does the
  // sample CSV, which takes the picture's name from that record.
  for (baseShape* shape : model.readPolygonsXML(saved.string())) delete shape;
  EXPECT_EQ(model.readImagePropertiesXML()->getFilename(), picture.string());
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndPaths, AllTheSameTest,
    testing::Values(AllTheSame{"AnnotationOfASmallerPictureThenACircleDrawn", "openXML", 160, 120, 32, 24, 0, true},
                    AllTheSame{"PictureWithItsAnnotationOfATallerPicture", "openImageXML", 160, 80, 160, 160, 700,
                               false},
                    AllTheSame{"AnnotationOfATallerPicture", "openXML", 160, 80, 160, 160, 700, false}),
    [](const testing::TestParamInfo<AllTheSame>& info) { return std::string(info.param.name); });
