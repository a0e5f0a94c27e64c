// Both programs, started as a user starts them, open annotation files that
// are sound, refused, or made for another picture size, through both open
// commands of the menu bar.

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ControllerFachade.h"
#include "ModelFachade.h"
#include "FileText.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "StartedProgramFiles.h"
#include "StartedProgramTest.h"
#include "WidgetById.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;
constexpr auto look = &ScriptedUser::look;

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
