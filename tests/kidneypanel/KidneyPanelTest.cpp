// Cavitra's side panel built from its interface file, on a canvas and a
// controller of its own, with use cases that record what the panel asks of
// them and hand out prepared regions. Buttons are clicked and entries edited
// as a user would; the canvas's notifications are sent as the canvas sends
// them. The labels of the cyst index and count are checked after each tool.
// The working folder holds the cyst classifier that Cavitra ships.
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Actions.h"
#include "ActionsKidney.h"
#include "ControllerFachade.h"
#include "CystRegionTools.h"
#include "Draw.h"
#include "FileText.h"
#include "KidneyPanel.h"
#include "Line.h"
#include "MessageRecorder.h"
#include "ModelFachade.h"
#include "NotifyCode.h"
#include "OpticalClassifierCyst.h"
#include "Preferences.h"
#include "ProfileSelection.h"
#include "QuadrantPicture.h"
#include "RegionTools.h"
#include "ReplacementJournal.h"
#include "ScrollImage.h"
#include "TemporaryHome.h"
#include "ToolToggleCheck.h"
#include "arcShape.h"
#include "regionShape.h"

namespace fs = std::filesystem;

namespace {

constexpr int side = 1000;

// Use cases that record the panel's requests. Detection puts the prepared
// regions on the canvas; the second pass hands out prepared candidates.
class RecordingActions : public Actions {
 public:
  using Actions::Actions;
  // The prepared regions stand for an annotation as saved: the panel's
  // commands that drop them ask nothing.
  void runAlgorithm1(std::string, int mindim, int maxdim, int mode, int) override {
    runs.emplace_back(mindim, maxdim, mode);
    clearPolygonsModel();
    scrollImage->setPolygonsModel(std::exchange(detected, {}));
    recordShapesAsSaved();
  }
  std::vector<baseShape*> getPolygonsAlgorithm1(std::string, int mindim, int maxdim, int mode, int) override {
    passes.emplace_back(mindim, maxdim, mode);
    return std::exchange(candidates, {});
  }
  void showTable() override { panedbottom->show(); }
  void subscribe(bool) override {}
  int histogramStep() const { return step; }

  std::vector<std::tuple<int, int, int>> runs, passes;
  std::vector<baseShape*> detected, candidates;
};

// A 40-vertex circle, `radius` in fractions of the picture.
regionShape* disc(int id, double x, double y, double radius, bool manual = false) {
  auto* region = new regionShape(id, true, false, false, manual, 0, 0, 0);
  for (int i = 0; i < 40; ++i) {
    const double a = 2 * M_PI * i / 40;
    region->addLinePoint(x + radius * std::cos(a), y + radius * std::sin(a));
  }
  return region;
}

// The panel on a canvas showing a picture of four coloured quadrants, with
// the use cases `UseCases`.
template <class UseCases>
class PanelFixture : public CavitraSelected, public ::testing::Test {
 protected:
  PanelFixture() : image((temp.work() / "section.ppm").string(), 0, 0), renderer(&image) {
    writeQuadrantPicture(temp.work() / "section.ppm", side, side);
    fs::create_directories(temp.work() / "classifier");
    fs::copy(CYST_CLASSIFIER_FOLDER, temp.work() / OpticalClassifierCyst::defaultFolder);
    controller.getModel()->setImageProperties(image.getFilename(), side, side);
    canvas = std::make_unique<ScrollImage>(&image, &renderer);
    actions = std::make_unique<UseCases>(canvas.get(), &controller, &sidePane, &lowerPane);
    makePanel();
  }
  ~PanelFixture() override {
    panel.reset();
    canvas->polygonsClear();
  }

  // A panel made afresh from the interface file, as at start, reading the
  // classifier files of the working folder.
  void makePanel() {
    panel.reset();
    builder = Gtk::Builder::create_from_file(SIDE_PANEL_FILE);
    panel = std::make_unique<KidneyPanel>(actions.get(), nullptr, &lowerPane, builder, &controller);
  }

  template <class Widget>
  Widget* widget(const char* id) {
    Widget* found = nullptr;
    builder->get_widget(id, found);
    return found;
  }
  void click(const char* id) { widget<Gtk::Button>(id)->clicked(); }
  std::string label(const char* id) { return widget<Gtk::Label>(id)->get_text(); }
  std::pair<std::string, std::string> labels() { return {label("cystIndexLabel"), label("cystNumberLabel")}; }
  std::vector<baseShape*>& shapes() { return canvas->getPolygonsNew(); }
  void select(std::vector<baseShape*> list) {
    for (baseShape* shape : list) shape->setSelected(true);
    canvas->setPolygonsModelSelected(list);
  }
  void chooseLiver() {
    widget<Gtk::RadioButton>("radiobutton1")->set_active(true);
  }

  TemporaryHome temp;
  ControllerFachade controller;
  ImageClass image;
  Draw renderer;
  std::unique_ptr<ScrollImage> canvas;
  Gtk::Paned sidePane;
  Gtk::Paned lowerPane;
  Glib::RefPtr<Gtk::Builder> builder;
  std::unique_ptr<UseCases> actions;
  std::unique_ptr<KidneyPanel> panel;
};

class KidneyPanelTest : public PanelFixture<RecordingActions> {
 protected:
  // Detection that finds `regions`.
  void detect(std::vector<baseShape*> regions) {
    actions->detected = std::move(regions);
    click("buttonRun");
  }
};

// With Cavitra's own use cases the detector runs on the picture.
class KidneyPanelDetectionTest : public PanelFixture<ActionsKidney> {
 protected:
  // The labels as the canvas's visible regions give them.
  std::pair<std::string, std::string> expectedLabels() {
    const CystRegionTools::CystIndex index = CystRegionTools::cystIndex(shapes(), side, side);
    return {CystRegionTools::indexText(index.percent), std::to_string(index.regions)};
  }
  // The results table's rows, -1 while it was never shown.
  int tableRows() {
    Gtk::TreeView* table = actions->getTreeView();
    return table == nullptr ? -1 : static_cast<int>(table->get_model()->children().size());
  }
};

TEST_F(KidneyPanelTest, EveryIdOfTheInterfaceFileHasItsType) {
  const std::vector<std::pair<const char*, GType>> ids = {
      {"panedLateralKidney", GTK_TYPE_PANED},
      {"table", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonRunSplitRegion", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonRunCompleteRegion", GTK_TYPE_TOGGLE_BUTTON},
      {"MinDiameter", GTK_TYPE_TOGGLE_BUTTON},
      {"MaxDiameter", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonRun", GTK_TYPE_BUTTON},
      {"buttonRunRemoveInnerRegions", GTK_TYPE_BUTTON},
      {"buttonRunRemoveFalsePositive", GTK_TYPE_BUTTON},
      {"buttonUndoRemoveFalsePositive", GTK_TYPE_BUTTON},
      {"buttonRedoRemoveFalsePositive", GTK_TYPE_BUTTON},
      {"buttonRunAddCyst", GTK_TYPE_BUTTON},
      {"buttonUndoAddCyst", GTK_TYPE_BUTTON},
      {"buttonRedoAddCyst", GTK_TYPE_BUTTON},
      {"buttonRunMergeRegions", GTK_TYPE_BUTTON},
      {"radiobutton1", GTK_TYPE_RADIO_BUTTON},
      {"radiobutton2", GTK_TYPE_RADIO_BUTTON},
      {"stepHistogram", GTK_TYPE_ENTRY},
      {"calibration", GTK_TYPE_ENTRY},
      {"entryMinDim", GTK_TYPE_ENTRY},
      {"entryMaxDim", GTK_TYPE_ENTRY},
      {"checkboxCalibration", GTK_TYPE_CHECK_BUTTON},
      {"cystIndexLabel", GTK_TYPE_LABEL},
      {"cystNumberLabel", GTK_TYPE_LABEL},
      {"text4", GTK_TYPE_LABEL},
      {"parametrosValue", GTK_TYPE_LABEL},
      {"box8", GTK_TYPE_BOX},
      {"box11", GTK_TYPE_BOX},
      {"box12", GTK_TYPE_BOX},
  };
  for (const auto& [id, type] : ids) {
    Glib::RefPtr<Glib::Object> object = builder->get_object(id);
    ASSERT_TRUE(object) << id;
    EXPECT_TRUE(G_TYPE_CHECK_INSTANCE_TYPE(object->gobj(), type)) << id;
  }
  EXPECT_TRUE(panel->hasAllWidgets());
  // The false-positive buttons sit in their hidden group.
  for (const char* id : {"buttonRunRemoveFalsePositive", "buttonUndoRemoveFalsePositive",
                         "buttonRedoRemoveFalsePositive"})
    EXPECT_TRUE(widget<Gtk::Widget>(id)->is_ancestor(*widget<Gtk::Widget>("box11"))) << id;
}

TEST_F(KidneyPanelTest, StartsInKidneyModeWithItsDefaults) {
  EXPECT_TRUE(widget<Gtk::RadioButton>("radiobutton2")->get_active());
  EXPECT_FALSE(panel->isLiver());
  EXPECT_EQ(labels(), std::make_pair(std::string("0"), std::string("0")));
  EXPECT_EQ(widget<Gtk::Entry>("stepHistogram")->get_text(), "100");
  EXPECT_EQ(widget<Gtk::Entry>("entryMinDim")->get_text(), "40");
  EXPECT_EQ(widget<Gtk::Entry>("entryMaxDim")->get_text(), "1500");
  for (const char* id : {"box8", "box11", "box12", "text4"}) EXPECT_FALSE(widget<Gtk::Widget>(id)->get_visible()) << id;
}

TEST_F(KidneyPanelTest, RunDetectsWithTheOrgansBoundsAndShowsTheIndex) {
  // Two visible discs of radius 0.05 (7853 px each of 1e6) and a point: 1 %.
  detect({disc(1, 0.2, 0.2, 0.05), disc(2, 0.6, 0.6, 0.05)});
  EXPECT_EQ(actions->runs.back(), std::make_tuple(60, 1500, 1));
  EXPECT_EQ(labels(), std::make_pair(std::string("1 %"), std::string("2")));

  chooseLiver();
  EXPECT_TRUE(panel->isLiver());
  // A change of organ empties the annotation; the labels follow.
  EXPECT_TRUE(shapes().empty());
  EXPECT_EQ(labels(), std::make_pair(std::string("0 %"), std::string("0")));
  detect({disc(1, 0.5, 0.5, 0.3)});
  EXPECT_EQ(actions->runs.back(), std::make_tuple(40, 1500, 0));
  EXPECT_EQ(labels(), std::make_pair(std::string("28 %"), std::string("1")));

  widget<Gtk::RadioButton>("radiobutton2")->set_active(true);
  EXPECT_FALSE(panel->isLiver());
  EXPECT_EQ(labels(), std::make_pair(std::string("0 %"), std::string("0")));
}

TEST_F(KidneyPanelTest, HistogramStepTakesOnlyPositiveWholeNumbers) {
  Gtk::Entry* entry = widget<Gtk::Entry>("stepHistogram");
  const std::vector<std::pair<const char*, int>> cases = {
      {"25", 25}, {"0", 25}, {"-3", 25}, {"", 25}, {"px", 25}, {"12px", 12}, {"  7", 7}};
  for (const auto& [typed, kept] : cases) {
    entry->set_text(typed);
    EXPECT_EQ(actions->histogramStep(), kept) << typed;
  }
}

TEST_F(KidneyPanelTest, ToolSequenceKeepsTheIndexFollowing) {
  detect({disc(1, 0.3, 0.3, 0.05), disc(2, 0.35, 0.35, 0.04), disc(3, 0.8, 0.8, 0.1), disc(4, 0.6, 0.2, 0.08)});
  EXPECT_EQ(labels().second, "4");

  // A hand-drawn mask around the first two removes them.
  shapes().push_back(disc(5, 0.32, 0.32, 0.12, true));
  click("buttonRunRemoveInnerRegions");
  EXPECT_EQ(shapes()[0]->getType(), CystRegionTools::InnerRemoved);
  EXPECT_EQ(labels().second, "3");

  // Split the large disc along a vertical arc through its centre.
  select({shapes()[2]});
  widget<Gtk::ToggleButton>("buttonRunSplitRegion")->set_active(true);
  auto* arc = new arcShape(6, true, false, false, true, 0, 0, 0);
  for (double y : {0.7, 0.8, 0.9}) arc->addLinePoint(0.8, y);
  shapes().push_back(arc);
  canvas->notify(ArcFinished);
  EXPECT_FALSE(widget<Gtk::ToggleButton>("buttonRunSplitRegion")->get_active());
  EXPECT_EQ(shapes().size(), 8u);
  EXPECT_EQ(shapes()[2]->getType(), CystRegionTools::SplitMark);
  EXPECT_EQ(labels().second, "4");

  // Merge the two pieces back into one region.
  select({shapes()[6], shapes()[7]});
  click("buttonRunMergeRegions");
  ASSERT_EQ(shapes().size(), 9u);
  EXPECT_EQ(shapes()[8]->getType(), CystRegionTools::MergeMark);
  EXPECT_EQ(shapes()[8]->getId(), 9);
  EXPECT_EQ(labels().second, "3");
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());

  // Add cysts: the candidate over a region's centre is rejected without
  // asking the classifier.
  actions->candidates = {disc(0, 0.6, 0.2, 0.02)};
  click("buttonRunAddCyst");
  ASSERT_EQ(actions->passes.size(), 1u);
  EXPECT_EQ(actions->passes.back(), std::make_tuple(40, 80, 1));
  EXPECT_EQ(shapes().size(), 9u);
  EXPECT_EQ(labels().second, "3");
}

TEST_F(KidneyPanelTest, AMeasuringToggleEmptiesTheAnnotationKeepsZoomAndNumberingAndTakesTheLine) {
  detect({disc(1, 0.3, 0.3, 0.05)});
  canvas->setAllocation(side, side);
  canvas->prepareFrame(side, side);
  canvas->scroll(CanvasEditor::WheelDirection::Up, 0, 300, 300);
  const double zoomed = canvas->getView().getScale();
  canvas->setIdDraw(7);

  auto* toggle = widget<Gtk::ToggleButton>("MinDiameter");
  toggle->set_active(true);
  EXPECT_TRUE(shapes().empty());
  EXPECT_EQ(canvas->getIdDraw(), 7);  // emptying the annotation keeps the numbering
  EXPECT_DOUBLE_EQ(canvas->getView().getScale(), zoomed);
  EXPECT_FALSE(canvas->getView().isFitting());

  shapes().push_back(new Line(0.1, 0.5, 0.25, 0.5, 1, true, false, false, true, 0, 0, 0));
  testing::internal::CaptureStdout();
  canvas->notify(LineFinished);
  const std::string console = testing::internal::GetCapturedStdout();
  EXPECT_EQ(controller.getPreferences()->getMinimumDiameter(), 150);
  EXPECT_FALSE(toggle->get_active());
  EXPECT_TRUE(shapes().empty());
  EXPECT_EQ(console.find("DiameterPanel"), std::string::npos);
}

// A measuring toggle switched off by hand ends the measurement as a finished
// line does, and a split or complete toggle its arc tool: a drag of the select
// tool then selects and draws nothing.
TEST_F(KidneyPanelTest, AToolToggleSwitchedOffByHandLeavesSelectSelecting) {
  expectToolTogglesSwitchedOffLeaveSelectSelecting(
      *canvas, side, {"MinDiameter", "MaxDiameter", "buttonRunSplitRegion", "buttonRunCompleteRegion"},
      [this](const char* id) { return widget<Gtk::ToggleButton>(id); }, [] { return disc(1, 0.5, 0.5, 0.1); },
      [this] { actions->recordShapesAsSaved(); });
}

TEST_F(KidneyPanelTest, TheLabelsFollowTheCanvasUndoAndRedo) {
  detect({disc(1, 0.2, 0.2, 0.05), disc(2, 0.6, 0.6, 0.05)});
  select({shapes()[1]});
  canvas->pressKey(GDK_KEY_Delete, 0);
  EXPECT_EQ(labels().second, "1");
  canvas->undo();  // the deletion taken back
  EXPECT_EQ(labels().second, "2");
  canvas->undo();  // the last region taken off
  EXPECT_EQ(labels(), std::make_pair(std::string("0 %"), std::string("1")));
  canvas->redo();
  EXPECT_EQ(labels(), std::make_pair(std::string("1 %"), std::string("2")));
}

// Merge, split and complete are each undone and redone as one step from the
// canvas: undo shows the sources again with their types and withdraws the new
// regions, redo does the tool's work again, and the labels follow.
TEST_F(KidneyPanelTest, UndoAndRedoTakeBackEachRegionToolAsOneStep) {
  detect({disc(1, 0.2, 0.2, 0.08), disc(2, 0.35, 0.2, 0.08), disc(3, 0.6, 0.6, 0.15)});
  baseShape* big = shapes()[2];
  const auto before = labels();
  ASSERT_EQ(before.second, "3");
  auto merge = [this] {
    select({shapes()[0], shapes()[1]});
    click("buttonRunMergeRegions");
  };
  auto cut = [this, big](const char* toggle, std::vector<std::pair<double, double>> line) {
    select({big});
    widget<Gtk::ToggleButton>(toggle)->set_active(true);
    auto* arc = new arcShape(RegionTools::nextId(shapes()), true, false, false, true, 0, 0, 0);
    for (const auto& [x, y] : line) arc->addLinePoint(x, y);
    shapes().push_back(arc);
    canvas->notify(ArcFinished);
  };
  struct Case {
    const char* name;
    std::function<void()> tool;
    std::vector<baseShape*> sources;
    std::string count;
  };
  const std::vector<Case> cases = {
      {"merge", merge, {shapes()[0], shapes()[1]}, "2"},
      {"split", [&] { cut("buttonRunSplitRegion", {{0.6, 0.4}, {0.6, 0.6}, {0.6, 0.8}}); }, {big}, "4"},
      {"complete", [&] { cut("buttonRunCompleteRegion", {{0.74, 0.5}, {0.85, 0.55}, {0.85, 0.65}, {0.74, 0.7}}); },
       {big}, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t listed = shapes().size();
    c.tool();
    ASSERT_GT(shapes().size(), listed);
    const std::vector<baseShape*> made(shapes().begin() + listed, shapes().end());
    const auto after = labels();
    EXPECT_EQ(after.second, c.count);

    canvas->undo();
    EXPECT_EQ(labels(), before);
    for (baseShape* source : c.sources) {
      EXPECT_TRUE(source->getVisible());
      EXPECT_EQ(source->getType(), CystRegionTools::Detected);
    }
    for (baseShape* shape : made) EXPECT_FALSE(shape->getVisible());

    canvas->redo();
    EXPECT_EQ(labels(), after);
    for (baseShape* source : c.sources) EXPECT_FALSE(source->getVisible());
    canvas->undo();
    EXPECT_EQ(labels(), before);
  }
}

// A merge stays a step of the history after a deletion and a tool change:
// undo takes the merge back instead of taking the merged cyst off the list,
// and redo merges again.
TEST_F(KidneyPanelTest, UndoAfterADeletionAndAToolChangeTakesTheMergeBack) {
  detect({disc(1, 0.2, 0.2, 0.08), disc(2, 0.35, 0.2, 0.08), disc(3, 0.6, 0.6, 0.15)});
  const auto before = labels();
  select({shapes()[0], shapes()[1]});
  click("buttonRunMergeRegions");
  select({shapes()[2]});
  canvas->pressKey(GDK_KEY_Delete, 0);
  const auto merged = labels();
  ASSERT_EQ(merged.second, "1");
  widget<Gtk::ToggleButton>("buttonRunSplitRegion")->set_active(true);  // resets the tools

  canvas->undo();
  EXPECT_EQ(labels().second, "2");
  EXPECT_TRUE(shapes()[0]->getVisible());
  EXPECT_TRUE(shapes()[1]->getVisible());
  EXPECT_TRUE(canvas->getTakenOff().empty());
  canvas->redo();
  EXPECT_EQ(labels(), merged);
  EXPECT_NE(before, merged);
}

// A line beside the region splits nothing, and one within it completes
// nothing: the panel says why, the toggle goes off and the index stays.
TEST_F(KidneyPanelTest, ALineNotCrossingTheOutlineCutsNothingAndSaysWhy) {
  detect({disc(1, 0.5, 0.5, 0.2)});
  const auto before = labels();
  struct Case {
    const char* toggle;
    std::vector<std::pair<double, double>> line;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"buttonRunSplitRegion", {{0.75, 0.3}, {0.8, 0.5}, {0.75, 0.7}},
       "The line does not cross the region's outline: nothing was split."},
      {"buttonRunCompleteRegion", {{0.45, 0.4}, {0.45, 0.6}},
       "The line does not leave the region: nothing was completed."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.toggle);
    select({shapes()[0]});
    widget<Gtk::ToggleButton>(c.toggle)->set_active(true);
    auto* arc = new arcShape(RegionTools::nextId(shapes()), true, false, false, true, 0, 0, 0);
    for (const auto& [x, y] : c.line) arc->addLinePoint(x, y);
    shapes().push_back(arc);
    MessageRecorder recorder;
    canvas->notify(ArcFinished);
    EXPECT_EQ(recorder.messages(), std::vector<std::string>{c.message});
    EXPECT_FALSE(widget<Gtk::ToggleButton>(c.toggle)->get_active());
    EXPECT_TRUE(shapes()[0]->getVisible());
    EXPECT_EQ(shapes()[0]->getType(), CystRegionTools::Detected);
    EXPECT_EQ(labels(), before);
  }
}

TEST_F(KidneyPanelTest, CompleteKeepsOnePieceAndSetsTheNextIdAboveIt) {
  detect({disc(1, 0.5, 0.5, 0.2)});
  select({shapes()[0]});
  widget<Gtk::ToggleButton>("buttonRunCompleteRegion")->set_active(true);
  auto* arc = new arcShape(2, true, false, false, true, 0, 0, 0);
  for (double y : {0.3, 0.5, 0.7}) arc->addLinePoint(0.6, y);
  shapes().push_back(arc);
  canvas->notify(ArcFinished);
  ASSERT_EQ(shapes().size(), 3u);
  EXPECT_EQ(shapes()[2]->getType(), CystRegionTools::CompletionMark);
  EXPECT_GT(canvas->getIdDraw(), shapes()[2]->getId());
  EXPECT_EQ(labels().second, "1");
}

TEST_F(KidneyPanelTest, AddedCystsUndoAndRedoOnlyInKidneyMode) {
  detect({disc(1, 0.2, 0.2, 0.05)});
  auto* cyst = disc(2, 0.7, 0.7, 0.05);
  cyst->setType(CystRegionTools::AddedCyst);
  shapes().push_back(cyst);
  click("buttonUndoAddCyst");
  EXPECT_FALSE(cyst->getVisible());
  EXPECT_EQ(labels().second, "1");
  click("buttonUndoAddCyst");
  EXPECT_EQ(cyst->getType(), CystRegionTools::AddedCystWithdrawn);
  click("buttonRedoAddCyst");
  EXPECT_TRUE(cyst->getVisible());
  EXPECT_EQ(labels().second, "2");

  actions->recordShapesAsSaved();
  chooseLiver();
  auto* other = disc(1, 0.7, 0.7, 0.05);
  other->setType(CystRegionTools::AddedCyst);
  shapes().push_back(other);
  click("buttonUndoAddCyst");
  EXPECT_TRUE(other->getVisible());
  click("buttonRunAddCyst");
  EXPECT_TRUE(actions->passes.empty());
}

TEST_F(KidneyPanelTest, AddCystsOnAnUnreadablePictureChangesNothingAndSaysWhy) {
  // The model's picture is gone: the classifier cannot read it.
  const std::string missing = (temp.work() / "missing.ppm").string();
  controller.getModel()->setImageProperties(missing, side, side);
  detect({disc(1, 0.2, 0.2, 0.05)});
  actions->candidates = {disc(0, 0.7, 0.7, 0.03)};
  MessageRecorder recorder;
  click("buttonRunAddCyst");
  EXPECT_TRUE(actions->passes.empty());
  EXPECT_EQ(shapes().size(), 1u);
  const std::vector<std::string> messages = recorder.take();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.front().rfind("Add cysts adds no cysts: the picture " + missing + " cannot be read", 0), 0u)
      << messages.front();
  delete actions->candidates.front();
}

TEST_F(KidneyPanelTest, AddCystsRefusesAMinimumTooSmallToOpenWith) {
  detect({disc(1, 0.2, 0.2, 0.05)});
  Gtk::Entry* minimum = widget<Gtk::Entry>("entryMinDim");
  minimum->set_text("3");
  minimum->activate();
  ASSERT_EQ(controller.getPreferences()->getMinimumDiameter(), 3);
  actions->candidates = {disc(0, 0.7, 0.7, 0.03)};
  MessageRecorder recorder;
  click("buttonRunAddCyst");
  EXPECT_TRUE(actions->passes.empty());
  EXPECT_EQ(labels(), std::make_pair(std::string("0 %"), std::string("0")));
  EXPECT_EQ(recorder.take(),
            std::vector<std::string>{"Add cysts adds no cysts: the minimum diameter 3 is too small to search for cysts."});
  delete actions->candidates.front();
}

// A cyst classifier file that is refused is named with the reason as the
// panel is made. Without the texture model Add cysts says why it adds nothing
// and searches nothing; the shape model, which Add cysts does not use, leaves
// it working.
TEST_F(KidneyPanelTest, ARefusedClassifierFileIsNamedAtStartAndByAddCysts) {
  using Texts = std::vector<std::string>;
  const fs::path folder = OpticalClassifierCyst::defaultFolder;
  const auto fileRefusal = [&folder](const char* file, const std::string& reason) {
    return "The classifier file " + (folder / file).string() + " cannot be read: " + reason + ".";
  };
  const std::string shippedStatistics = readFileText(folder / OpticalClassifierCyst::textureStatisticsFile);
  struct Case {
    const char* what;
    std::function<void()> put;
    std::string refusal;
    bool textureLoaded;
  };
  const Case cases[] = {
      {"a texture model libsvm cannot read",
       [&] { writeFileText(folder / OpticalClassifierCyst::textureModelFile, "svm_type nonsense\n"); },
       fileRefusal(OpticalClassifierCyst::textureModelFile, "it is not a readable model (unknown svm_type nonsense)"),
       false},
      {"texture statistics that are a pipe",
       [&] {
         fs::remove(folder / OpticalClassifierCyst::textureStatisticsFile);
         ASSERT_EQ(mkfifo((folder / OpticalClassifierCyst::textureStatisticsFile).c_str(), 0600), 0);
       },
       fileRefusal(OpticalClassifierCyst::textureStatisticsFile, "it is not a regular file"), false},
      {"texture statistics one feature short",
       [&] {
         // The shipped file ends with a line break after its last triple.
         const std::size_t lastLine = shippedStatistics.rfind('\n', shippedStatistics.size() - 2) + 1;
         writeFileText(folder / OpticalClassifierCyst::textureStatisticsFile, shippedStatistics.substr(0, lastLine));
       },
       fileRefusal(OpticalClassifierCyst::textureStatisticsFile, "it holds 53 triples where the classifier needs 54"),
       false},
      {"no classifier folder", [&] { fs::remove_all(folder); },
       fileRefusal(OpticalClassifierCyst::textureStatisticsFile, "the file does not exist"), false},
      // The folder's own refusal is a sentence already.
      {"a record of an unfinished save that cannot be read",
       [&] { writeFileText(folder / ReplacementJournal::fileName, "not a record\n"); },
       "The cyst classifier of " + folder.string() + " cannot be loaded: the files of " +
           fs::canonical(temp.work() / folder).string() + " were being replaced when the program stopped, and " +
           fs::canonical(temp.work() / folder).string() + "/" + ReplacementJournal::fileName +
           ", the record of what was replaced, cannot be read.",
       false},
      {"a shape model that links to /dev/zero",
       [&] {
         fs::remove(folder / OpticalClassifierCyst::shapeModelFile);
         fs::create_symlink("/dev/zero", folder / OpticalClassifierCyst::shapeModelFile);
       },
       fileRefusal(OpticalClassifierCyst::shapeModelFile, "it is not a regular file"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(folder);
    fs::copy(CYST_CLASSIFIER_FOLDER, folder);
    c.put();
    MessageRecorder recorder;
    makePanel();
    EXPECT_EQ(recorder.take(),
              Texts{c.textureLoaded ? "The shape model of the cyst classifier is not loaded. " + c.refusal +
                                          " Add cysts does not use it."
                                    : "The cyst classifier is not loaded. " + c.refusal +
                                          " Add cysts adds no cysts without it. Cavitra reads the classifier when it "
                                          "starts."});

    detect({disc(1, 0.2, 0.2, 0.05)});
    actions->passes.clear();
    actions->candidates = {disc(0, 0.7, 0.7, 0.03)};
    click("buttonRunAddCyst");
    // A pass takes the candidates over; those of no pass are freed here.
    for (baseShape* unused : std::exchange(actions->candidates, {})) delete unused;
    if (c.textureLoaded) {
      EXPECT_TRUE(recorder.take().empty());
      EXPECT_EQ(actions->passes.size(), 1u);
      continue;
    }
    EXPECT_EQ(recorder.take(), Texts{"Add cysts adds no cysts: the cyst classifier is not loaded. " + c.refusal +
                                     " Cavitra reads the classifier when it starts."});
    EXPECT_TRUE(actions->passes.empty());
    EXPECT_EQ(shapes().size(), 1u);
    EXPECT_EQ(labels().second, "1");
  }
}

TEST_F(KidneyPanelDetectionTest, RunInBothOrgansThenEachToolKeepsTheLabelsFollowing) {
  click("buttonRun");
  ASSERT_FALSE(shapes().empty());
  EXPECT_EQ(labels(), expectedLabels());
  const std::size_t kidneyRegions = shapes().size();

  // A hand-drawn mask over the whole picture removes every detected region.
  shapes().push_back(disc(static_cast<int>(kidneyRegions) + 1, 0.5, 0.5, 0.9, true));
  click("buttonRunRemoveInnerRegions");
  for (std::size_t i = 0; i < kidneyRegions; ++i) EXPECT_FALSE(shapes()[i]->getVisible()) << i;
  EXPECT_EQ(labels(), expectedLabels());

  // Add cysts: the classifier takes no candidate of the quadrant picture.
  click("buttonRunAddCyst");
  EXPECT_EQ(shapes().size(), kidneyRegions + 1);
  EXPECT_EQ(labels(), expectedLabels());

  actions->recordShapesAsSaved();
  widget<Gtk::RadioButton>("radiobutton1")->set_active(true);
  EXPECT_EQ(labels(), std::make_pair(std::string("0 %"), std::string("0")));
  click("buttonRun");
  EXPECT_FALSE(shapes().empty());
  EXPECT_EQ(labels(), expectedLabels());
}

// The labels and an open table show the canvas after every change of its
// shapes: the panel's undo and redo of added cysts, the toolbar's Clear, and
// the reset of the panel that opening another picture does.
TEST_F(KidneyPanelDetectionTest, TheLabelsAndAnOpenTableFollowEveryChangeOfTheShapes) {
  click("buttonRun");
  ASSERT_FALSE(shapes().empty());
  auto* added = disc(static_cast<int>(shapes().size()) + 1, 0.5, 0.5, 0.03);
  added->setType(CystRegionTools::AddedCyst);
  shapes().push_back(added);
  panel->updatePanel();  // as after an annotation was opened
  widget<Gtk::ToggleButton>("table")->set_active(true);
  const auto agree = [this] {
    return std::to_string(tableRows()) == labels().second && labels() == expectedLabels();
  };
  ASSERT_TRUE(agree());

  const std::vector<std::pair<const char*, std::function<void()>>> changes = {
      {"undo of added cysts", [this] { click("buttonUndoAddCyst"); }},
      {"redo of added cysts", [this] { click("buttonRedoAddCyst"); }},
      {"toolbar's clear", [this] { actions->clearPolygonsModel(); }},
      {"detection again", [this] { click("buttonRun"); }},
      {"reset for another picture", [this] { panel->resetPanel(); }},
  };
  for (const auto& [name, change] : changes) {
    change();
    // Detection closes the table; it is shown again.
    if (!widget<Gtk::ToggleButton>("table")->get_active()) widget<Gtk::ToggleButton>("table")->set_active(true);
    EXPECT_TRUE(agree()) << name << ": " << labels().first << ", " << labels().second << ", table " << tableRows();
  }
  EXPECT_EQ(labels(), std::make_pair(std::string("0 %"), std::string("0")));
}

}  // namespace
