#include <gtest/gtest.h>
#include <gtkmm.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "DrawClassType.h"
#include "EventPump.h"
#include "Frame.h"
#include "QuadrantPicture.h"
#include "ScrollImage.h"
#include "SyntheticEvents.h"
#include "ToolbarHorizontal.h"
#include "ViewProfile.h"

namespace {

// The toolbar buttons Lumora leaves out.
std::vector<std::string> lumoraHiddenTools() { return ViewProfile::lumora().hiddenToolbarButtons(0); }

namespace fs = std::filesystem;
using Names = std::set<std::string>;
using Calls = std::vector<std::string>;

const std::string interfaceFile = std::string(LUMORA_DATA_DIR) + "/Glade/interfaz.glade";

// Records the use cases the toolbar starts; those whose effect is on the
// canvas also run.
class RecordingActions : public Actions {
 public:
  using Actions::Actions;
  void openImage() override { calls.push_back("openImage"); }
  void fit() override {
    calls.push_back("fit");
    Actions::fit();
  }
  void reset() override {
    calls.push_back("reset");
    Actions::reset();
  }
  void undo() override {
    calls.push_back("undo");
    Actions::undo();
  }
  void redo() override {
    calls.push_back("redo");
    Actions::redo();
  }
  void clearPolygonsModel() override {
    calls.push_back("clearPolygonsModel");
    Actions::clearPolygonsModel();
  }
  void closeTable() override {
    calls.push_back("closeTable");
    Actions::closeTable();
  }
  void updateLateralPanel() override {
    calls.push_back("updateLateralPanel");
    Actions::updateLateralPanel();
  }
  void on_buttonShowPaned_clicked() override { calls.push_back("on_buttonShowPaned_clicked"); }
  // Runs once per pass of the toggles' states to the canvas.
  void unselectedAllObjects() override {
    ++statePasses;
    Actions::unselectedAllObjects();
  }

  Calls calls;
  int statePasses = 0;
};

const char* const toolIds[] = {"circle",          "pointDraw", "freeHand", "select",
                               "selectRectangle", "point",     "lineDraw", "angleDraw"};

// The toolbar on the program's interface file, driving a canvas that shows
// an 800 x 600 picture fitted at scale 0.5 into 400 x 300 pixels.
class ToolbarTest : public ::testing::Test {
 protected:
  ToolbarTest()
      : folder(fs::temp_directory_path() / ("toolbar-" + std::to_string(getpid()))),
        picture(folder / "quadrants.ppm"),
        image(picture.string(), 0, 0),
        renderer(&image) {
    fs::create_directories(folder);
    writeQuadrantPicture(picture, 800, 600);
    canvas = std::make_unique<ScrollImage>(&image, &renderer);
    canvasWindow.add(*canvas);
    showAndWait(canvasWindow, *canvas, 400, 300);
    Frame settle(*canvas);
    builder = Gtk::Builder::create_from_file(interfaceFile);
    builder->get_widget("window1", window1);
    actions = std::make_unique<RecordingActions>(canvas.get(), &controller, widget<Gtk::Paned>("panedLateral"),
                                                 widget<Gtk::Paned>("paned1"));
    toolbar = std::make_unique<ToolbarHorizontal>(builder, actions.get(), ToolbarHorizontal::Options{lumoraHiddenTools()});
  }
  ~ToolbarTest() override {
    toolbar.reset();
    actions.reset();
    canvas->polygonsClear();
    delete window1;
    fs::remove_all(folder);
  }

  template <class Widget>
  Widget* widget(const char* id) {
    Widget* found = nullptr;
    builder->get_widget(id, found);
    return found;
  }
  Gtk::ToggleToolButton* toggle(const std::string& id) { return widget<Gtk::ToggleToolButton>(id.c_str()); }

  // A click on the button inside a tool item, as the user's.
  void click(const std::string& id) {
    auto* item = widget<Gtk::ToolButton>(id.c_str());
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(item->gobj()))));
    pumpEvents();
  }

  Names activeToggles() {
    Names active;
    for (const char* id : toolIds)
      if (toggle(id)->get_active()) active.insert(id);
    return active;
  }

  // The tools the canvas has on, told by what a left press followed by a
  // short drag does there, over a point at window (100, 75): each tool
  // leaves its own mark. The canvas is left without shapes.
  Names toolsOnCanvas() {
    canvas->polygonsClear();
    auto* marker = new pointShape(0.25, 0.25, 50, true, false, false, true, 0, 0, 0);
    canvas->setPolygonsModel({marker});
    pressButton(*canvas, 1, 100, 75);
    movePointer(*canvas, 130, 95);
    Names on;
    for (baseShape* shape : canvas->getPolygonsNew()) {
      if (shape == marker) continue;
      if (dynamic_cast<circleShape*>(shape) != nullptr) on.insert("circle");
      if (auto* region = dynamic_cast<regionShape*>(shape))
        on.insert(region->getLinePoints().size() > 1 ? "freeHand" : "pointDraw");
      if (dynamic_cast<pointShape*>(shape) != nullptr) on.insert("point");
      if (dynamic_cast<Line*>(shape) != nullptr) on.insert("lineDraw");
      if (dynamic_cast<Angle*>(shape) != nullptr) on.insert("angleDraw");
    }
    if (marker->getSelected()) on.insert("select");
    if (canvas->getSelectionBox()) on.insert("selectRectangle");
    canvas->polygonsClear();
    releaseButton(*canvas, 1, 130, 95);
    return on;
  }

  fs::path folder;
  fs::path picture;
  ImageClass image;
  DrawClassType renderer;
  ControllerFachade controller;
  Gtk::Window canvasWindow;
  std::unique_ptr<ScrollImage> canvas;
  Glib::RefPtr<Gtk::Builder> builder;
  Gtk::Window* window1 = nullptr;
  std::unique_ptr<RecordingActions> actions;
  std::unique_ptr<ToolbarHorizontal> toolbar;
};

TEST_F(ToolbarTest, ButtonsCarryTheirActionNamesAndSixStartHidden) {
  struct Button {
    const char* id;
    const char* action;
    bool shown;
  };
  const Button buttons[] = {
      {"fileBrowserButton", "fileBrowserButton", true},
      {"zoomBestFit", "zoomBestFit", true},
      {"viewRestore", "viewRestore", true},
      {"toolbuttonReset", "toolbuttonReset", true},
      {"undo", "undo", false},
      {"redo", "redo", false},
      {"circle", "circle", false},
      {"pointDraw", "pointDraw", true},
      {"freeHand", "freeHand", true},
      {"lineDraw", "line", false},
      {"angleDraw", "angle", false},
      {"point", "point", false},
      {"select", "select", true},
      {"selectRectangle", "selectRectangle", true},
      {"showPaned", "showPaned", true},
  };
  const auto group = window1->get_action_group("toolbarHorizontal");
  ASSERT_TRUE(group);
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.id);
    auto* item = widget<Gtk::ToolButton>(b.id);
    const char* name = gtk_actionable_get_action_name(GTK_ACTIONABLE(item->gobj()));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::string(name), std::string("toolbarHorizontal.") + b.action);
    EXPECT_TRUE(group->has_action(b.action));
    EXPECT_EQ(item->get_visible(), b.shown);
  }
  // Building the toolbar switches no tool on.
  EXPECT_TRUE(activeToggles().empty());
  EXPECT_TRUE(toolsOnCanvas().empty());
}

TEST_F(ToolbarTest, PlainButtonsStartTheirUseCases) {
  const std::pair<const char*, Calls> buttons[] = {
      {"fileBrowserButton", {"openImage"}},
      {"zoomBestFit", {"fit"}},
      {"viewRestore", {"reset"}},
      {"undo", {"undo"}},
      {"redo", {"redo"}},
      {"toolbuttonReset", {"clearPolygonsModel", "closeTable", "updateLateralPanel"}},
      {"showPaned", {"on_buttonShowPaned_clicked"}},
  };
  for (const auto& [id, calls] : buttons) {
    SCOPED_TRACE(id);
    actions->calls.clear();
    click(id);
    EXPECT_EQ(actions->calls, calls);
  }
  EXPECT_TRUE(activeToggles().empty());
}

TEST_F(ToolbarTest, AResetThatLeavesTheSidePanelRefreshesNothing) {
  toolbar.reset();  // its action group leaves the window before the new one's arrives
  toolbar = std::make_unique<ToolbarHorizontal>(builder, actions.get(),
                                                ToolbarHorizontal::Options{lumoraHiddenTools(), false});
  actions->calls.clear();
  click("toolbuttonReset");
  EXPECT_EQ(actions->calls, (Calls{"clearPolygonsModel", "closeTable"}));
}

TEST_F(ToolbarTest, FitAndOneToOneSizeSetTheCanvasView) {
  const CanvasView& view = canvas->getView();
  turnWheel(*canvas, GDK_SCROLL_UP, 100, 100);
  ASSERT_FALSE(view.isFitting());
  click("viewRestore");
  EXPECT_DOUBLE_EQ(view.getScale(), 1.0);
  EXPECT_DOUBLE_EQ(view.getFocusX(), 400);
  EXPECT_DOUBLE_EQ(view.getFocusY(), 300);
  click("zoomBestFit");
  EXPECT_TRUE(view.isFitting());
  Frame frame(*canvas);
  EXPECT_DOUBLE_EQ(view.getScale(), 0.5);
}

TEST_F(ToolbarTest, UndoAndRedoBringBackAndRemoveADeletedShape) {
  auto* point = new pointShape(0.25, 0.25, 1, true, false, false, true, 0, 0, 0);
  canvas->setPolygonsModel({point});
  toggle("select")->set_active(true);
  pressButton(*canvas, 1, 100, 75);
  releaseButton(*canvas, 1, 100, 75);
  pressKey(*canvas, GDK_KEY_Delete);
  ASSERT_FALSE(point->getVisible());
  click("undo");
  EXPECT_TRUE(point->getVisible());
  EXPECT_FALSE(point->getDeleted());
  click("redo");
  EXPECT_FALSE(point->getVisible());
  EXPECT_TRUE(point->getDeleted());
}

TEST_F(ToolbarTest, ResetClearsTheAnnotationWithoutAQuestion) {
  canvas->setPolygonsModel({new pointShape(0.25, 0.25, 7, true, false, false, true, 0, 0, 0),
                            new circleShape(3.0, 0.5, 0.5, 8, true, false, false, true, 0, 0, 0)});
  canvas->setIdDraw(9);
  // Nothing unsaved, as after an open or a save.
  actions->recordShapesAsSaved();
  click("toolbuttonReset");
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_EQ(canvas->getIdDraw(), 1);
}

TEST_F(ToolbarTest, EachToggleSwitchesOnItsToolAloneOnToolbarAndCanvas) {
  for (const char* id : toolIds) {
    SCOPED_TRACE(id);
    // Another tool is on before.
    const std::string previous = std::string(id) == "freeHand" ? "circle" : "freeHand";
    if (!toggle(previous)->get_active()) click(previous);
    ASSERT_EQ(activeToggles(), Names{previous});
    click(id);
    EXPECT_EQ(activeToggles(), Names{id});
    EXPECT_EQ(toolsOnCanvas(), Names{id});
  }
}

TEST_F(ToolbarTest, ClickingTheActiveToolAgainLeavesNoToolOn) {
  for (const char* id : toolIds) {
    SCOPED_TRACE(id);
    click(id);
    click(id);
    EXPECT_TRUE(activeToggles().empty());
    EXPECT_TRUE(toolsOnCanvas().empty());
  }
}

TEST_F(ToolbarTest, ATogglesStateSetFromCodeRunsItsHandlerAndSettles) {
  toggle("freeHand")->set_active(true);
  actions->statePasses = 0;
  toggle("circle")->set_active(true);
  EXPECT_EQ(activeToggles(), Names{"circle"});
  EXPECT_EQ(toolsOnCanvas(), Names{"circle"});
  // The free-hand toggle switched off runs its own pass, the circle's two.
  EXPECT_EQ(actions->statePasses, 3);
  // A toggle whose state does not change runs nothing.
  actions->statePasses = 0;
  toggle("circle")->set_active(true);
  toggle("select")->set_active(false);
  EXPECT_EQ(actions->statePasses, 0);
}

TEST_F(ToolbarTest, SwitchingToSelectionUnselectsEveryShape) {
  click("freeHand");
  auto* point = new pointShape(0.6, 0.6, 1, true, true, false, true, 0, 0, 0);
  canvas->setPolygonsModel({point});
  canvas->setPolygonsModelSelected({point});
  click("select");
  EXPECT_EQ(activeToggles(), Names{"select"});
  EXPECT_FALSE(point->getSelected());
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());
  EXPECT_EQ(toolsOnCanvas(), Names{"select"});
}

TEST_F(ToolbarTest, ResetButtonsSwitchesEveryToolOff) {
  for (const char* id : toolIds) {
    SCOPED_TRACE(id);
    click(id);
    toolbar->resetButtons();
    EXPECT_TRUE(activeToggles().empty());
    EXPECT_TRUE(toolsOnCanvas().empty());
  }
  // Tools armed on the canvas without their toggle, as the side panel arms
  // the line to measure a diameter, are switched off too.
  actions->setButtonLine(true);
  actions->setButtonAngle(true);
  toolbar->resetButtons();
  EXPECT_TRUE(toolsOnCanvas().empty());
}

TEST_F(ToolbarTest, WithoutLineAndAngleToolsTheMeasuringLineOutlivesTheToolbar) {
  toolbar.reset();
  const ViewProfile& cavitra = ViewProfile::cavitra();
  toolbar = std::make_unique<ToolbarHorizontal>(
      builder, actions.get(),
      ToolbarHorizontal::Options{cavitra.hiddenToolbarButtons(4), cavitra.resetRefreshesPanel,
                                 cavitra.toolbarHasLineAndAngle});
  const auto group = window1->get_action_group("toolbarHorizontal");
  EXPECT_FALSE(group->has_action("line"));
  EXPECT_FALSE(group->has_action("angle"));
  EXPECT_TRUE(group->has_action("freeHand"));

  // The side panel arms the line; clicking a tool and releasing the tools
  // leave it on.
  actions->setButtonLine(true);
  click("freeHand");
  click("freeHand");
  toolbar->resetButtons();
  EXPECT_EQ(toolsOnCanvas(), Names{"lineDraw"});
}

TEST_F(ToolbarTest, SetButtonSelectLeavesOnlyTheSelectionTool) {
  for (const char* id : {"lineDraw", "angleDraw", "selectRectangle", "select"}) {
    SCOPED_TRACE(id);
    click(id);
    toolbar->setButtonSelect();
    EXPECT_EQ(activeToggles(), Names{"select"});
    EXPECT_EQ(toolsOnCanvas(), Names{"select"});
  }
  // Already on: nothing runs.
  actions->statePasses = 0;
  toolbar->setButtonSelect();
  EXPECT_EQ(actions->statePasses, 0);
  EXPECT_EQ(activeToggles(), Names{"select"});
}

// An interface file that lacks a button, or has it of another class, ends
// the program with a message naming the button.
TEST_F(ToolbarTest, AMissingOrMistypedWidgetEndsTheProgramNamingIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string text = Glib::file_get_contents(interfaceFile);
  struct Change {
    const char* from;
    const char* to;
    const char* message;
  };
  const Change changes[] = {
      {"id=\"angleDraw\"", "id=\"angle\"", "no GtkToggleToolButton with the id \"angleDraw\""},
      {"class=\"GtkToggleToolButton\" id=\"circle\"", "class=\"GtkToolButton\" id=\"circle\"",
       "no GtkToggleToolButton with the id \"circle\""},
      {"id=\"window1\"", "id=\"window\"", "no GtkWindow with the id \"window1\""},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.from);
    std::string changed = text;
    const std::size_t at = changed.find(c.from);
    ASSERT_NE(at, std::string::npos);
    changed.replace(at, std::string(c.from).size(), c.to);
    EXPECT_EXIT(
        {
          auto broken = Gtk::Builder::create_from_string(changed);
          ToolbarHorizontal unusable(broken, actions.get(), ToolbarHorizontal::Options{lumoraHiddenTools()});
        },
        testing::ExitedWithCode(EXIT_FAILURE), c.message);
  }
}

}  // namespace
