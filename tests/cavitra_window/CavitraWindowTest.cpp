#include <gtest/gtest.h>
#include <gtkmm.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ActionsKidney.h"
#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "EventPump.h"
#include "FileText.h"
#include "OpticalClassifierCyst.h"
#include "PictureFileCheck.h"
#include "PreferencesSample.h"
#include "ProgramProfile.h"
#include "SaveObstacles.h"
#include "ScrollImage.h"
#include "StartedProgramTest.h"
#include "UnsavedWorkQuestion.h"
#include "ViewProfile.h"
#include "WidgetById.h"
#include "circleShape.h"
#include "regionShape.h"

namespace fs = std::filesystem;

namespace {

void settle() {
  for (int i = 0; i < 10; ++i) {
    pumpEvents();
    g_usleep(10000);
  }
}

// Runs Cavitra from a copy of its run folder, lets `check` work on the
// window once it is up, then closes it.
class CavitraWindowTest : public StartedProgramTest {
 protected:
  CavitraWindowTest() : StartedProgramTest(CAVITRA_RUN_DIR, "cavitra") {}

  int runProgram(const std::function<void()>& check) {
    return run({ScriptedUser::look([&check] {
                  settle();
                  check();
                }),
                ScriptedUser::later([this] { mainWindow().close(); })});
  }

  // Cavitra's use cases over the running window's canvas and panes.
  std::unique_ptr<ActionsKidney> actionsOfWindow() {
    return std::make_unique<ActionsKidney>(canvas(), controller, findById<Gtk::Paned>(mainWindow(), "panedLateral"),
                                           findById<Gtk::Paned>(mainWindow(), "paned1"));
  }

  // Runs `operation`, answering and recording the message boxes it opens.
  void answeringMessages(const std::function<void()>& operation) {
    DialogAnswerer answerer(
        [this] {
          if (auto* message = DialogAnswerer::visible<Gtk::MessageDialog>()) {
            messages.push_back(message->property_secondary_text().get_value());
            message->response(Gtk::RESPONSE_OK);
          }
          return true;
        },
        [] {});
    operation();
  }
};

TEST_F(CavitraWindowTest, ShowsItsStartPictureSidePanelMenuBarToolsAndZoomLimits) {
  bool checked = false;
  testing::internal::CaptureStdout();
  EXPECT_EQ(runProgram([&] {
              checked = true;
              Gtk::Window& window = mainWindow();
              EXPECT_EQ(window.get_title(), ProgramProfile::cavitra().windowTitle);
              EXPECT_TRUE(window.get_icon());
              ScrollImage* canvas = this->canvas();
              ASSERT_NE(canvas, nullptr);
              EXPECT_EQ(canvas->getFilename(), "liver2.ppm");
              EXPECT_GT(canvas->getImgWidth(), 0);
              EXPECT_DOUBLE_EQ(canvas->getView().getMinScale(), 0.2);
              EXPECT_DOUBLE_EQ(canvas->getView().getMaxScale(), 5.0);
              // The kidney panel's interface fills the side pane, and the menu bar is shown.
              auto* sidePane = findById<Gtk::Viewport>(window, "viewportpaned2");
              ASSERT_NE(sidePane, nullptr);
              ASSERT_NE(sidePane->get_child(), nullptr);
              EXPECT_EQ(sidePane->get_child(), widgetById(*sidePane, "panedLateralKidney"));
              auto* menuBar = findById<Gtk::MenuBar>(window, "menu");
              ASSERT_NE(menuBar, nullptr);
              EXPECT_TRUE(menuBar->get_visible());
              // Items of the shared interface file name this program.
              EXPECT_EQ(findById<Gtk::MenuItem>(window, "aboutUs")->get_label(), "_About Cavitra");
              // The tools of the default algorithm (4).
              for (const char* shown :
                   {"pointDraw", "freeHand", "select", "undo", "redo", "toolbuttonReset", "showPaned"})
                EXPECT_TRUE(widgetById(window, shown)->get_visible()) << shown;
              for (const char* hidden : {"lineDraw", "angleDraw", "point", "circle", "selectRectangle"})
                EXPECT_FALSE(widgetById(window, hidden)->get_visible()) << hidden;
            }),
            0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("startScrollImage: algorithm: 4\n"), std::string::npos);
  EXPECT_TRUE(checked);
}

TEST(CavitraToolbar, HidesTheToolsEachAlgorithmDoesNotUse) {
  using Ids = std::vector<std::string>;
  const struct {
    int algorithm;
    Ids hidden;
  } cases[] = {
      {0, {}},
      {1, {"circle"}},
      {3, {"undo", "redo", "point", "selectRectangle"}},
      {4, {"point", "circle", "selectRectangle"}},
      {10, {"circle", "point"}},
      {13, {}},
      {102, {"circle", "selectRectangle", "point"}},
      {104, {"circle", "selectRectangle"}},
  };
  for (const auto& c : cases) {
    Ids expected = {"lineDraw", "angleDraw"};
    expected.insert(expected.end(), c.hidden.begin(), c.hidden.end());
    EXPECT_EQ(ViewProfile::cavitra().hiddenToolbarButtons(c.algorithm), expected) << c.algorithm;
  }
}

TEST_F(CavitraWindowTest, DetectionPutsCystsOnTheCanvasRowsInTheTableAndWritesTheResults) {
  const fs::path csv = temp.work() / "results.csv";
  runProgram([&] {
    std::unique_ptr<ActionsKidney> actions = actionsOfWindow();
    ScrollImage* canvas = this->canvas();
    // A hand-drawn shape is replaced by the detection.
    canvas->setPolygonsModel({new circleShape(5, 0.5, 0.5, 1, true, false, false, true, 0, 0, 0)});
    // It is not saved: the user lets it go.
    DialogAnswerer::answerNext(UnsavedWorkQuestion::discardResponse);
    actions->runAlgorithm1("", 40, 1000, 0, 0);
    const std::vector<baseShape*> shapes = canvas->getPolygonsNew();
    ASSERT_FALSE(shapes.empty());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      EXPECT_NE(dynamic_cast<regionShape*>(shapes[i]), nullptr);
      EXPECT_EQ(shapes[i]->getId(), static_cast<int>(i) + 1);
    }
    actions->showTable();
    settle();
    Gtk::TreeView* table = actions->getTreeView();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->get_model()->children().size(), shapes.size());
    actions->saveCSV(csv.string());
  });
  const std::string text = readFileText(csv);
  EXPECT_NE(text.find("Image name:; liver2.ppm\n"), std::string::npos);
  EXPECT_NE(text.find("Cyst index; "), std::string::npos);
  EXPECT_NE(text.find("MinDiameter(pixels);MaxDiameter(pixels);No. regions\n0;100;"), std::string::npos);
  EXPECT_TRUE(messages.empty());
}

TEST_F(CavitraWindowTest, ACsvTargetInTheWayKeepsTheOldFileAndIsReported) {
  const fs::path csv = temp.work() / "results.csv";
  std::vector<std::string> expected;
  runProgram([&] {
    std::unique_ptr<ActionsKidney> actions = actionsOfWindow();
    canvas()->setPolygonsModel({new circleShape(5, 0.5, 0.5, 7, true, false, false, true, 0, 0, 0)});
    PreferencesSample sample(controller->getPreferences());
    sample.setCSVFile(csv.string());
    const std::pair<std::string, std::function<void()>> saves[] = {
        {"The results could not be saved in ", [&] { actions->saveCSV(csv.string()); }},
        {"The sample could not be saved in ", [&] { actions->saveCSVSample(&sample); }},
    };
    for (const auto& [message, save] : saves)
      for (const SaveObstacle& obstacle : saveObstacles()) {
        writeFileText(csv, "old results");
        {
          const auto inForce = obstacle.place(csv);
          answeringMessages(save);
        }
        expected.push_back(message + csv.string() + ".");
        EXPECT_TRUE(untouched(csv, "old results")) << message << obstacle.name;
        EXPECT_TRUE(temporariesLeftIn(temp.work()).empty()) << message << obstacle.name;
        fs::remove_all(csv);
      }
  });
  EXPECT_EQ(messages, expected);
}

TEST_F(CavitraWindowTest, ResettingTheSidePanelLeavesTheActiveTool) {
  runProgram([&] {
    auto* freeHand = findById<Gtk::ToggleToolButton>(mainWindow(), "freeHand");
    ASSERT_NE(freeHand, nullptr);
    freeHand->set_active(true);
    canvas()->setPolygonsModel({new circleShape(5, 0.5, 0.5, 1, true, false, false, true, 0, 0, 0)});
    controller->resetLateralPanel();
    EXPECT_TRUE(canvas()->getPolygonsNew().empty());
    EXPECT_TRUE(freeHand->get_active());
  });
}

TEST_F(CavitraWindowTest, AFailedDetectionKeepsTheUsersShapes) {
  runProgram([&] {
    std::unique_ptr<ActionsKidney> actions = actionsOfWindow();
    ScrollImage* canvas = this->canvas();
    canvas->setPolygonsModel({new circleShape(5, 0.5, 0.5, 7, true, false, false, true, 0, 0, 0)});
    fs::remove(temp.work() / "liver2.ppm");
    answeringMessages([&] { actions->runAlgorithm1("", 40, 1000, 0, 0); });
    ASSERT_EQ(canvas->getPolygonsNew().size(), 1u);
    EXPECT_EQ(canvas->getPolygonsNew()[0]->getId(), 7);
  });
  EXPECT_EQ(messages, std::vector<std::string>{
                          "The cysts of the picture could not be detected. The picture liver2.ppm cannot be read."});
}

// A picture whose detection the memory guard refuses (its header claims
// 60000 x 60000 pixels): the user reads the guard's reason, and the shapes
// stay.
TEST_F(CavitraWindowTest, APictureTheMemoryGuardRefusesIsRefusedWithTheGuardsReason) {
  std::string reason;
  runProgram([&] {
    std::unique_ptr<ActionsKidney> actions = actionsOfWindow();
    ScrollImage* canvas = this->canvas();
    canvas->setPolygonsModel({new circleShape(5, 0.5, 0.5, 7, true, false, false, true, 0, 0, 0)});
    // The canvas keeps the picture it shows; the detection reads the file.
    fs::copy_file(fs::path(UNTRUSTED_PICTURES) / "claims-60000x60000.png", temp.work() / "liver2.ppm",
                  fs::copy_options::overwrite_existing);
    reason = PictureFileCheck::detectionRefusal("liver2.ppm");
    answeringMessages([&] { actions->runAlgorithm1("", 40, 1000, 0, 0); });
    ASSERT_EQ(canvas->getPolygonsNew().size(), 1u);
    EXPECT_EQ(canvas->getPolygonsNew()[0]->getId(), 7);
  });
  ASSERT_NE(reason.find("60000 x 60000"), std::string::npos) << reason;
  EXPECT_EQ(messages, std::vector<std::string>{"The cysts of the picture could not be detected. " + reason});
}

// A cyst classifier file that Cavitra refuses is named in the window, with the
// reason, at start and again by Add cysts, which adds nothing; Run detects as
// ever, since it needs no classifier.
TEST_F(CavitraWindowTest, ARefusedCystClassifierFileIsNamedAtStartAndByAddCysts) {
  const fs::path model = fs::path(OpticalClassifierCyst::defaultFolder) / OpticalClassifierCyst::textureModelFile;
  writeFileText(temp.work() / model, "svm_type nonsense\n");
  std::size_t detected = 0, afterAddCysts = 0;
  EXPECT_EQ(run({ScriptedUser::click("window1", "buttonRun"),
                 ScriptedUser::look([&] { detected = canvas()->getPolygonsNew().size(); }),
                 ScriptedUser::click("window1", "buttonRunAddCyst"),
                 ScriptedUser::look([&] { afterAddCysts = canvas()->getPolygonsNew().size(); }),
                 ScriptedUser::later([this] { mainWindow().close(); }),
                 answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse)}),
            0);
  const std::string refusal = "The classifier file " + model.string() +
                              " cannot be read: it is not a readable model (unknown svm_type nonsense).";
  EXPECT_EQ(messages, (std::vector<std::string>{"The cyst classifier is not loaded. " + refusal +
                                                    " Add cysts adds no cysts without it. Cavitra reads the "
                                                    "classifier when it starts.",
                                                "Add cysts adds no cysts: the cyst classifier is not loaded. " +
                                                    refusal + " Cavitra reads the classifier when it starts."}));
  EXPECT_GT(detected, 0u);
  EXPECT_EQ(afterAddCysts, detected);
}

}  // namespace
