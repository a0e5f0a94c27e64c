// Lumora's side panel built from its interface file, on a canvas and a
// controller of its own, with use cases that record what the panel asks of
// them. The panel's buttons are clicked and its entries activated as a user
// would; the canvas's notifications are sent as the canvas sends them.
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "DrawClassType.h"
#include "EventPump.h"
#include "Line.h"
#include "MessageRecorder.h"
#include "NotifyCode.h"
#include "Preferences.h"
#include "QuadrantPicture.h"
#include "RegionTools.h"
#include "ScrollImage.h"
#include "TemporaryHome.h"
#include "ToolToggleCheck.h"
#include "ZelvoraPanel.h"
#include "arcShape.h"
#include "circleShape.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
constexpr int side = 1000;

// Use cases that record the panel's requests; the table shows and hides the
// lower pane as the real one does.
class RecordingActions : public Actions {
 public:
  using Actions::Actions;
  void runAlgorithm1(std::string, int mindim, int maxdim, int, int) override { runs.emplace_back(mindim, maxdim); }
  void classify(int mindim, int maxdim) override { classified.emplace_back(mindim, maxdim); }
  std::vector<baseShape*> getPolygonsAlgorithm1(std::string, int mindim, int maxdim, int, int) override {
    smallerRuns.emplace_back(mindim, maxdim);
    return std::exchange(candidates, {});
  }
  void showTable() override {
    ++tablesFilled;
    panedbottom->show();
  }
  void subscribe(bool on) override { tableFollows = on; }

  std::vector<std::pair<int, int>> runs, classified, smallerRuns;
  std::vector<baseShape*> candidates;
  int tablesFilled = 0;
  bool tableFollows = false;
};

regionShape* square(int id, double x, double y, double size, int type = 0) {
  auto* region = new regionShape(id, true, false, false, false, type, 0, 0);
  for (int i = 0; i < 12; ++i) {
    const double a = 2 * M_PI * i / 12;
    region->addLinePoint(x + size * std::cos(a), y + size * std::sin(a));
  }
  return region;
}

class ZelvoraPanelTest : public ::testing::Test {
 protected:
  ZelvoraPanelTest() : image((temp.work() / "cells.ppm").string(), 0, 0), renderer(&image) {
    writeQuadrantPicture(temp.work() / "cells.ppm", side, side);
    canvas = std::make_unique<ScrollImage>(&image, &renderer);
    builder = Gtk::Builder::create_from_file(SIDE_PANEL_FILE);
    actions = std::make_unique<RecordingActions>(canvas.get(), &controller, &sidePane, &lowerPane);
    buildPanel(builder);
  }
  ~ZelvoraPanelTest() override {
    panel.reset();
    canvas->polygonsClear();
  }

  void buildPanel(Glib::RefPtr<Gtk::Builder> from) {
    panel = std::make_unique<ZelvoraPanel>(actions.get(), nullptr, &lowerPane, from, &controller);
  }

  template <class Widget>
  Widget* widget(const char* id) {
    Widget* found = nullptr;
    builder->get_widget(id, found);
    return found;
  }
  void click(const char* id) { widget<Gtk::Button>(id)->clicked(); }
  void enter(const char* id, const std::string& text) {
    widget<Gtk::Entry>(id)->set_text(text);
    widget<Gtk::Entry>(id)->activate();
  }
  std::string text(const char* id) { return widget<Gtk::Entry>(id)->get_text(); }
  std::string label(const char* id) { return widget<Gtk::Label>(id)->get_text(); }
  bool shownRed(const char* id) {
    Gdk::RGBA colour = widget<Gtk::Entry>(id)->get_style_context()->get_color(Gtk::STATE_FLAG_NORMAL);
    return colour.get_red() > 0.9 && colour.get_green() < 0.1;
  }
  Preferences& settings() { return *controller.getPreferences(); }
  std::vector<baseShape*>& shapes() { return canvas->getPolygonsNew(); }
  // Shapes as an annotation just opened: nothing unsaved, so the panel's
  // commands that drop them ask nothing.
  void put(std::vector<baseShape*> list) {
    canvas->setPolygonsModel(std::move(list));
    actions->recordShapesAsSaved();
  }
  void select(std::vector<baseShape*> list) {
    for (baseShape* shape : list) shape->setSelected(true);
    canvas->setPolygonsModelSelected(list);
  }

  TemporaryHome temp;
  ControllerFachade controller;
  ImageClass image;
  DrawClassType renderer;
  std::unique_ptr<ScrollImage> canvas;
  Gtk::Paned sidePane;
  Gtk::Paned lowerPane;
  Glib::RefPtr<Gtk::Builder> builder;
  std::unique_ptr<RecordingActions> actions;
  std::unique_ptr<ZelvoraPanel> panel;
};

TEST_F(ZelvoraPanelTest, EveryIdOfTheInterfaceFileHasItsType) {
  const std::vector<std::pair<const char*, GType>> ids = {
      {"panedLateralZelvora", GTK_TYPE_PANED},
      {"checkboxCalibration", GTK_TYPE_CHECK_BUTTON},
      {"calibration", GTK_TYPE_ENTRY},
      {"entryMinDim", GTK_TYPE_ENTRY},
      {"entryMaxDim", GTK_TYPE_ENTRY},
      {"entryMinDim1", GTK_TYPE_ENTRY},
      {"parametrosValue", GTK_TYPE_LABEL},
      {"parametrosValue1", GTK_TYPE_LABEL},
      {"speciesname", GTK_TYPE_LABEL},
      {"MinDiameter", GTK_TYPE_TOGGLE_BUTTON},
      {"MaxDiameter", GTK_TYPE_TOGGLE_BUTTON},
      {"table", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonRunSplitRegion", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonRunCompleteRegion", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonHideContours", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonHidenucleus", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonHidewithout", GTK_TYPE_TOGGLE_BUTTON},
      {"buttonRun", GTK_TYPE_BUTTON},
      {"classifier", GTK_TYPE_BUTTON},
      {"buttonOkCalibration", GTK_TYPE_BUTTON},
      {"buttonRun2", GTK_TYPE_BUTTON},
      {"buttonUndo", GTK_TYPE_BUTTON},
      {"buttonRunMergeRegions", GTK_TYPE_BUTTON},
      {"buttonRunSuprRegions", GTK_TYPE_BUTTON},
      {"selectAll", GTK_TYPE_BUTTON},
      {"alveolo", GTK_TYPE_BUTTON},
      {"viteline", GTK_TYPE_BUTTON},
      {"hydrated", GTK_TYPE_BUTTON},
      {"void", GTK_TYPE_BUTTON},
      {"cn", GTK_TYPE_BUTTON},
      {"sn", GTK_TYPE_BUTTON},
      {"comboothercategories", GTK_TYPE_COMBO_BOX_TEXT},
  };
  for (const auto& [id, type] : ids) {
    GObject* object = gtk_builder_get_object(builder->gobj(), id);
    ASSERT_NE(object, nullptr) << id;
    EXPECT_TRUE(G_TYPE_CHECK_INSTANCE_TYPE(object, type)) << id;
    // Toggles must not pass for plain buttons, nor check buttons for toggles.
    if (type == GTK_TYPE_BUTTON) {
      EXPECT_FALSE(GTK_IS_TOGGLE_BUTTON(object)) << id;
    }
    if (type == GTK_TYPE_TOGGLE_BUTTON) {
      EXPECT_FALSE(GTK_IS_CHECK_BUTTON(object)) << id;
    }
  }
  // The top widget has no parent: the program puts it into the side pane.
  EXPECT_EQ(gtk_widget_get_parent(GTK_WIDGET(gtk_builder_get_object(builder->gobj(), "panedLateralZelvora"))), nullptr);
  EXPECT_TRUE(panel->hasAllWidgets());
}

TEST_F(ZelvoraPanelTest, AMissingIdLeavesThePanelIncomplete) {
  std::ifstream in(SIDE_PANEL_FILE);
  std::stringstream content;
  content << in.rdbuf();
  std::string file = content.str();
  const std::string id = "id=\"buttonUndo\"";
  file.replace(file.find(id), id.size(), "id=\"somethingElse\"");
  panel.reset();
  buildPanel(Gtk::Builder::create_from_string(file));
  EXPECT_FALSE(panel->hasAllWidgets());
}

TEST_F(ZelvoraPanelTest, CalibrationEntryTakesOnlyFiniteFactorsAboveZero) {
  struct Case {
    const char* typed;
    bool accepted;
    double stored;
    const char* shown;
  };
  const std::vector<Case> cases = {
      {"2,5", true, 2.5, "2.500000"}, {"0.5", true, 0.5, "0.500000"},     {"0", false, 0.5, "0"},
      {"-3", false, 0.5, "-3"},       {"word", false, 0.5, "word"},       {"inf", false, 0.5, "inf"},
      {"1e400", false, 0.5, "1e400"}, {"1,5e2", true, 150, "150.000000"},
  };
  widget<Gtk::CheckButton>("checkboxCalibration")->clicked();
  ASSERT_TRUE(controller.isCalibrationActive());
  EXPECT_EQ(text("calibration"), "1.000000");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    enter("calibration", c.typed);
    EXPECT_DOUBLE_EQ(controller.getCalibration(), c.stored);
    EXPECT_EQ(text("calibration"), c.shown);
    EXPECT_EQ(shownRed("calibration"), !c.accepted);
  }
  // The OK button applies the entry as Enter does.
  widget<Gtk::Entry>("calibration")->set_text("0,25");
  click("buttonOkCalibration");
  EXPECT_DOUBLE_EQ(controller.getCalibration(), 0.25);
  EXPECT_EQ(label("parametrosValue"), "micras");
  EXPECT_EQ(label("parametrosValue1"), "micras");
  EXPECT_EQ(text("entryMinDim"), "50.000000");

  // Unticked: the factor returns to 1 and typing changes nothing.
  widget<Gtk::CheckButton>("checkboxCalibration")->clicked();
  EXPECT_FALSE(controller.isCalibrationActive());
  EXPECT_DOUBLE_EQ(controller.getCalibration(), 1.0);
  enter("calibration", "3");
  EXPECT_EQ(text("calibration"), "1,0");
  EXPECT_FALSE(controller.isCalibrationActive());
  EXPECT_EQ(label("parametrosValue"), "pixels");
  EXPECT_EQ(text("entryMinDim"), "200");
}

TEST_F(ZelvoraPanelTest, TypedDiameterLimits) {
  struct Case {
    const char* entry;
    const char* typed;
    bool accepted;
    int mindim;
    int maxdim;
  };
  // Each case starts from the limits 200 and 800.
  const std::vector<Case> cases = {
      {"entryMinDim", "797", true, 797, 800},     {"entryMinDim", "798", false, 200, 800},
      {"entryMinDim", "2", false, 200, 800},      {"entryMinDim", "3", true, 3, 800},
      {"entryMinDim", "12,9", true, 12, 800},     {"entryMinDim", "inf", false, 200, 800},
      {"entryMaxDim", "202", false, 200, 800},    {"entryMaxDim", "203", true, 200, 203},
      {"entryMaxDim", "90000", true, 200, 90000}, {"entryMaxDim", "1e10", false, 200, 800},
      {"entryMaxDim", "word", false, 200, 800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.entry) + " " + c.typed);
    settings().setDiameters(200, 800);
    panel->updateText();
    canvas->polygonsClear();
    put({square(1, 0.5, 0.5, 0.1)});
    enter(c.entry, c.typed);
    EXPECT_EQ(settings().getMinimumDiameter(), c.mindim);
    EXPECT_EQ(settings().getMaximumDiameter(), c.maxdim);
    EXPECT_EQ(shownRed(c.entry), !c.accepted);
    // An accepted limit empties the annotation; a refused one keeps it.
    EXPECT_EQ(shapes().empty(), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(text(c.entry), c.typed);
    }
  }
  // With calibration on the fields hold real lengths.
  settings().setDiameters(200, 800);
  controller.setCalibration(0.5);
  panel->updateText();
  enter("entryMinDim", "50");
  EXPECT_EQ(settings().getMinimumDiameter(), 100);
  EXPECT_EQ(text("entryMinDim"), "50.000000");
}

TEST_F(ZelvoraPanelTest, MeasuredDiameterLimits) {
  struct Case {
    const char* toggle;
    double lengthPixels;
    int mindim;
    int maxdim;
  };
  const std::vector<Case> cases = {
      {"MinDiameter", 2.0, 200, 800}, {"MinDiameter", 150.7, 150, 800}, {"MinDiameter", 798, 200, 800},
      {"MaxDiameter", 202, 200, 800}, {"MaxDiameter", 650.2, 200, 650}, {"MaxDiameter", 1000, 200, 800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.toggle) + " " + std::to_string(c.lengthPixels));
    settings().setDiameters(200, 800);
    panel->updateText();
    canvas->polygonsClear();
    put({square(1, 0.5, 0.5, 0.1)});
    widget<Gtk::ToggleButton>(c.toggle)->set_active(true);
    EXPECT_TRUE(shapes().empty()) << "arming empties the annotation";
    put({new Line(0.0, 0.5, c.lengthPixels / side, 0.5, 1, true, false, false, true, 0, 0, 0)});
    canvas->notify(LineFinished);
    EXPECT_EQ(settings().getMinimumDiameter(), c.mindim);
    EXPECT_EQ(settings().getMaximumDiameter(), c.maxdim);
    EXPECT_FALSE(widget<Gtk::ToggleButton>(c.toggle)->get_active());
  }
}

// A measuring toggle switched off by hand ends the measurement as a finished
// line does, and a split or complete toggle its arc tool: a drag of the select
// tool then selects and draws nothing.
TEST_F(ZelvoraPanelTest, AToolToggleSwitchedOffByHandLeavesSelectSelecting) {
  expectToolTogglesSwitchedOffLeaveSelectSelecting(
      *canvas, side, {"MinDiameter", "MaxDiameter", "buttonRunSplitRegion", "buttonRunCompleteRegion"},
      [this](const char* id) { return widget<Gtk::ToggleButton>(id); }, [] { return square(1, 0.5, 0.5, 0.1); },
      [this] { actions->recordShapesAsSaved(); });
}

TEST_F(ZelvoraPanelTest, RunAndClassifyAskForTheirLimits) {
  settings().setDiameters(7, 800);
  panel->updateText();
  click("buttonRun");
  settings().setDiameters(200, 500);
  panel->updateText();
  click("buttonRun");
  EXPECT_EQ(actions->runs, (std::vector<std::pair<int, int>>{{10, 800}, {300, 500}}));

  // No species, or an index beyond the list: a message and no classification.
  for (int index : {-1, 30, 1000}) {
    SCOPED_TRACE(index);
    settings().setProblemActive(index);
    panel->updatePanel();
    EXPECT_EQ(label("speciesname"), "");
    std::string message;
    DialogAnswerer answerer(
        [&message] {
          auto* dialog = DialogAnswerer::visible<Gtk::MessageDialog>();
          if (dialog == nullptr) return true;
          message = dialog->property_secondary_text().get_value();
          dialog->response(Gtk::RESPONSE_OK);
          return false;
        },
        [] {});
    click("classifier");
    EXPECT_EQ(message,
              "There is not any species selected. Go to preference submenu and select a species or incorporate a new "
              "species on the system");
  }
  EXPECT_TRUE(actions->classified.empty());
  settings().getProblemNames()[2] = "Merluccius";
  settings().setProblemActive(2);
  panel->updatePanel();
  EXPECT_EQ(label("speciesname"), "Merluccius");
  click("classifier");
  EXPECT_EQ(actions->classified, (std::vector<std::pair<int, int>>{{200, 500}}));
}

TEST_F(ZelvoraPanelTest, ClassAndNucleusButtonsMarkTheSelection) {
  struct Case {
    const char* button;
    int clase;
    int type;
  };
  const std::vector<Case> cases = {
      {"alveolo", 1, 9}, {"viteline", 2, 9}, {"hydrated", 3, 9}, {"void", 4, 9}, {"cn", 7, 1}, {"sn", 7, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    regionShape* a = square(1, 0.3, 0.3, 0.05, 9);
    regionShape* b = square(2, 0.6, 0.6, 0.05, 9);
    regionShape* untouched = square(3, 0.8, 0.2, 0.05, 9);
    for (regionShape* r : {a, b, untouched}) {
      r->setClase(7);
      r->setClaseAutomatic(3);
    }
    canvas->polygonsClear();
    put({a, b, untouched});
    select({a, b});
    click(c.button);
    for (regionShape* r : {a, b}) {
      EXPECT_EQ(r->getClase(), c.clase);
      EXPECT_EQ(r->getType(), c.type);
      EXPECT_EQ(r->getClaseAutomatic(), 3);
      EXPECT_FALSE(r->getSelected());
    }
    EXPECT_EQ(untouched->getClase(), 7);
    EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());
  }
}

TEST_F(ZelvoraPanelTest, OtherClassListRestsOnTheBlankRow) {
  settings().getClassNamesPreferences().push_back("Atretic");
  settings().getClassNamesPreferences().push_back("Postovulatory");
  panel->setCalibration();
  auto* list = widget<Gtk::ComboBoxText>("comboothercategories");
  ASSERT_EQ(gtk_tree_model_iter_n_children(GTK_TREE_MODEL(list->get_model()->gobj()), nullptr), 4);

  struct Case {
    int row;
    bool selectTwo;
    int clase;
  };
  for (const Case& c : std::vector<Case>{{1, true, 0}, {2, true, 5}, {3, true, 6}, {2, false, 8}}) {
    SCOPED_TRACE(c.row);
    regionShape* a = square(1, 0.3, 0.3, 0.05);
    regionShape* b = square(2, 0.6, 0.6, 0.05);
    a->setClase(8);
    b->setClase(8);
    canvas->polygonsClear();
    put({a, b});
    if (c.selectTwo) select({a, b});
    list->set_active(c.row);
    EXPECT_EQ(a->getClase(), c.clase);
    EXPECT_EQ(b->getClase(), c.clase);
    EXPECT_EQ(list->get_active_row_number(), 0);
  }
}

TEST_F(ZelvoraPanelTest, HideTogglesSelectAllAndDelete) {
  regionShape* withNucleus = square(1, 0.3, 0.3, 0.05, 1);
  regionShape* without = square(2, 0.6, 0.6, 0.05, 0);
  auto* point = new circleShape(5, 0.1, 0.1, 3, true, false, false, true, 0, 0, 0);
  regionShape* deleted = square(4, 0.8, 0.8, 0.05, 1);
  deleted->setVisible(false);
  deleted->setDeleted(true);
  put({withNucleus, without, point, deleted});
  auto* hideAll = widget<Gtk::ToggleButton>("buttonHideContours");
  auto* hideNucleus = widget<Gtk::ToggleButton>("buttonHidenucleus");
  auto* hideWithout = widget<Gtk::ToggleButton>("buttonHidewithout");
  const auto visible = [&] {
    return std::vector<bool>{withNucleus->getVisible(), without->getVisible(), point->getVisible(),
                             deleted->getVisible()};
  };

  hideNucleus->set_active(true);
  EXPECT_EQ(visible(), (std::vector<bool>{false, true, true, false}));
  EXPECT_EQ(hideNucleus->get_label(), "Show with nucleus");
  hideAll->set_active(true);
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(hideAll->get_label(), "Show all");
  hideAll->set_active(false);
  // Shown again although the nucleus toggle is still on; deleted stays hidden.
  EXPECT_EQ(visible(), (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(hideNucleus->get_label(), "Show with nucleus");
  hideWithout->set_active(true);
  EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));
  hideWithout->set_active(false);
  EXPECT_EQ(hideWithout->get_label(), "Hide without nucleus");

  // Select all takes the hidden shapes into the selection too, and delete
  // then marks every one of them deleted.
  hideNucleus->set_active(false);
  hideNucleus->set_active(true);
  click("selectAll");
  EXPECT_EQ(canvas->getPolygonsModelSelected().size(), 4u);
  EXPECT_FALSE(withNucleus->getSelected());
  EXPECT_TRUE(without->getSelected());
  click("buttonRunSuprRegions");
  for (baseShape* shape : shapes()) {
    EXPECT_TRUE(shape->getDeleted());
    EXPECT_FALSE(shape->getVisible());
  }
  hideNucleus->set_active(false);
  hideAll->set_active(false);
  for (baseShape* shape : shapes()) EXPECT_FALSE(shape->getVisible());
}

TEST_F(ZelvoraPanelTest, TableToggleAndWhatClosesIt) {
  auto* table = widget<Gtk::ToggleButton>("table");
  table->set_active(true);
  EXPECT_EQ(actions->tablesFilled, 1);
  EXPECT_TRUE(lowerPane.get_visible());
  EXPECT_EQ(table->get_label(), "Close table");
  EXPECT_TRUE(actions->tableFollows);
  // Shapes added or deleted refill the shown table only.
  canvas->notify(ShapeAdded);
  canvas->notify(ShapesDeleted);
  EXPECT_EQ(actions->tablesFilled, 3);
  // A measuring toggle closes it.
  widget<Gtk::ToggleButton>("MinDiameter")->set_active(true);
  EXPECT_FALSE(table->get_active());
  EXPECT_FALSE(lowerPane.get_visible());
  EXPECT_EQ(table->get_label(), "Show table");
  EXPECT_FALSE(actions->tableFollows);
  canvas->notify(ShapeAdded);
  EXPECT_EQ(actions->tablesFilled, 3);
  widget<Gtk::ToggleButton>("MinDiameter")->set_active(false);

  // Resetting the panel closes the table and empties the annotation.
  table->set_active(true);
  canvas->polygonsClear();
  put({square(1, 0.5, 0.5, 0.1)});
  panel->resetPanel();
  EXPECT_FALSE(table->get_active());
  EXPECT_FALSE(lowerPane.get_visible());
  EXPECT_TRUE(shapes().empty());

  // Closing the table empties the canvas's selection; the buttons that close
  // it first still act on what was selected.
  regionShape* cell = square(1, 0.5, 0.5, 0.1);
  put({cell});
  table->set_active(true);
  select({cell});
  click("void");
  EXPECT_FALSE(table->get_active());
  EXPECT_EQ(cell->getClase(), 4);
  table->set_active(true);
  select({cell});
  widget<Gtk::ToggleButton>("buttonRunSplitRegion")->set_active(true);
  EXPECT_TRUE(widget<Gtk::ToggleButton>("buttonRunSplitRegion")->get_active());
  EXPECT_EQ(canvas->getPolygonsModelSelected(), std::vector<baseShape*>{cell});
  widget<Gtk::ToggleButton>("buttonRunSplitRegion")->set_active(false);
}

// Split, complete and merge through the panel, with the canvas's deletion
// history: undo and redo never bring back a region a tool replaced.
TEST_F(ZelvoraPanelTest, RegionToolsThroughThePanelWithDeleteUndoAndRedo) {
  settings().setDiameters(20, 800);
  panel->updateText();
  regionShape* cell = square(3, 0.5, 0.5, 0.2);
  regionShape* other = square(8, 0.15, 0.15, 0.05);
  put({cell, other});
  auto* split = widget<Gtk::ToggleButton>("buttonRunSplitRegion");

  // Delete the cell with the key, undo, and redo it into the history again;
  // then split it.
  select({cell});
  canvas->pressKey(GDK_KEY_Delete, 0);
  canvas->undo();
  ASSERT_TRUE(cell->getVisible());

  // Pressing split with nothing selected switches it off again.
  split->set_active(true);
  EXPECT_FALSE(split->get_active());

  select({cell});
  split->set_active(true);
  ASSERT_TRUE(split->get_active());
  auto* arc = new arcShape(9, true, false, false, true, 0, 0, 0);
  arc->addLinePoint(0.5, 0.29);
  arc->addLinePoint(0.5, 0.71);
  std::vector<baseShape*> list = shapes();
  list.push_back(arc);
  put(list);
  canvas->notify(ArcFinished);

  EXPECT_FALSE(split->get_active());
  ASSERT_EQ(shapes().size(), 5u);
  EXPECT_EQ(shapes()[3]->getId(), 10);
  EXPECT_EQ(shapes()[4]->getId(), 11);
  EXPECT_EQ(canvas->getIdDraw(), 12);
  EXPECT_EQ(cell->getName(), "Split");
  EXPECT_FALSE(arc->getVisible());
  // Redo (the split left nothing to redo), then a deletion and undo twice:
  // the second undo takes back the whole split, so the source is never
  // shown beside its pieces; redo splits again.
  canvas->redo();
  EXPECT_FALSE(cell->getVisible());
  select({other});
  canvas->pressKey(GDK_KEY_Delete, 0);
  canvas->undo();
  canvas->undo();
  EXPECT_TRUE(other->getVisible());
  EXPECT_TRUE(cell->getVisible());
  EXPECT_FALSE(shapes()[3]->getVisible());
  EXPECT_FALSE(shapes()[4]->getVisible());
  canvas->redo();
  EXPECT_FALSE(cell->getVisible());
  EXPECT_TRUE(shapes()[3]->getVisible());

  // Merge the two halves: one region above every id.
  baseShape* left = shapes()[3];
  baseShape* right = shapes()[4];
  select({left, right});
  click("buttonRunMergeRegions");
  ASSERT_EQ(shapes().size(), 6u);
  EXPECT_EQ(shapes()[5]->getId(), 12);
  EXPECT_EQ(left->getName(), "Merge");
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());

  // Complete with the arc drawn on a canvas holding just the region and it.
  canvas->polygonsClear();
  regionShape* open = square(1, 0.5, 0.5, 0.2);
  put({open});
  select({open});
  auto* complete = widget<Gtk::ToggleButton>("buttonRunCompleteRegion");
  complete->set_active(true);
  auto* edge = new arcShape(2, true, false, false, true, 0, 0, 0);
  edge->addLinePoint(0.4, 0.3);
  edge->addLinePoint(0.4, 0.7);
  put({open, edge});
  canvas->notify(ArcFinished);
  EXPECT_FALSE(complete->get_active());
  ASSERT_EQ(shapes().size(), 3u);
  EXPECT_EQ(open->getName(), "Complete");
  EXPECT_GT(shapes()[2]->getArea(side, side), open->getArea(side, side) / 2);
}

// Merge, split and complete are each undone and redone as one step, and the
// panel's delete is undone like the Delete key: undo shows the sources again
// with their names, not deleted, and withdraws the new regions.
TEST_F(ZelvoraPanelTest, UndoAndRedoTakeBackTheRegionToolsAndThePanelsDelete) {
  settings().setDiameters(20, 800);
  panel->updateText();
  regionShape* left = square(1, 0.2, 0.2, 0.08);
  regionShape* right = square(2, 0.35, 0.2, 0.08);
  regionShape* big = square(3, 0.6, 0.6, 0.15);
  put({left, right, big});
  const unsigned control = GDK_CONTROL_MASK;
  auto cut = [this, big](const char* toggle, std::vector<std::pair<double, double>> line) {
    select({big});
    widget<Gtk::ToggleButton>(toggle)->set_active(true);
    auto* arc = new arcShape(9, true, false, false, true, 0, 0, 0);
    for (const auto& [x, y] : line) arc->addLinePoint(x, y);
    std::vector<baseShape*> list = shapes();
    list.push_back(arc);
    put(list);
    canvas->notify(ArcFinished);
  };
  struct Case {
    const char* name;
    std::function<void()> tool;
    std::vector<baseShape*> sources;
  };
  const std::vector<Case> cases = {
      {"merge",
       [&] {
         select({left, right});
         click("buttonRunMergeRegions");
       },
       {left, right}},
      {"split", [&] { cut("buttonRunSplitRegion", {{0.6, 0.4}, {0.6, 0.6}, {0.6, 0.8}}); }, {big}},
      {"complete", [&] { cut("buttonRunCompleteRegion", {{0.74, 0.5}, {0.85, 0.55}, {0.85, 0.65}, {0.74, 0.7}}); },
       {big}},
      {"delete",
       [&] {
         select({left});
         click("buttonRunSuprRegions");
       },
       {left}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t listed = shapes().size();
    c.tool();
    const std::vector<baseShape*> made(shapes().begin() + listed, shapes().end());
    for (baseShape* source : c.sources) EXPECT_FALSE(source->getVisible());

    canvas->pressKey(GDK_KEY_z, control);
    for (baseShape* source : c.sources) {
      EXPECT_TRUE(source->getVisible());
      EXPECT_FALSE(source->getDeleted());
      EXPECT_EQ(source->getName(), "Default name");
    }
    for (baseShape* shape : made) {
      EXPECT_FALSE(shape->getVisible());
      EXPECT_TRUE(shape->getDeleted());
    }
    canvas->pressKey(GDK_KEY_y, control);
    for (baseShape* source : c.sources) EXPECT_TRUE(source->getDeleted());
    for (baseShape* shape : made) {
      if (shape->getTypeShape() != REGION) continue;  // the arc stays withdrawn
      EXPECT_TRUE(shape->getVisible());
    }
    canvas->pressKey(GDK_KEY_z, control);
  }
}

// A line beside the region splits nothing, and one within it completes
// nothing: the panel says why, the toggle goes off and the region stays.
TEST_F(ZelvoraPanelTest, ALineNotCrossingTheOutlineCutsNothingAndSaysWhy) {
  settings().setDiameters(20, 800);
  panel->updateText();
  regionShape* cell = square(1, 0.5, 0.5, 0.2);
  put({cell});
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
    select({cell});
    widget<Gtk::ToggleButton>(c.toggle)->set_active(true);
    auto* arc = new arcShape(RegionTools::nextId(shapes()), true, false, false, true, 0, 0, 0);
    for (const auto& [x, y] : c.line) arc->addLinePoint(x, y);
    std::vector<baseShape*> list = shapes();
    list.push_back(arc);
    put(list);
    MessageRecorder recorder;
    canvas->notify(ArcFinished);
    EXPECT_EQ(recorder.messages(), std::vector<std::string>{c.message});
    EXPECT_FALSE(widget<Gtk::ToggleButton>(c.toggle)->get_active());
    EXPECT_TRUE(cell->getVisible());
    EXPECT_FALSE(cell->getDeleted());
    EXPECT_EQ(cell->getName(), "Default name");
    EXPECT_FALSE(arc->getVisible());
  }
  EXPECT_EQ(shapes().size(), 3u);
}

// Copy, split, paste, merge, delete, reset, then undo, redo and paste again:
// ids stay unique, and nothing freed by the reset is reached afterwards (the
// sanitizer build checks the latter).
TEST_F(ZelvoraPanelTest, EditingSequenceAroundTheRegionTools) {
  settings().setDiameters(20, 800);
  panel->updateText();
  const auto idsAreUnique = [this] {
    std::vector<int> ids;
    for (baseShape* shape : shapes()) ids.push_back(shape->getId());
    std::sort(ids.begin(), ids.end());
    return std::adjacent_find(ids.begin(), ids.end()) == ids.end();
  };
  const unsigned control = GDK_CONTROL_MASK;
  regionShape* cell = square(4, 0.3, 0.3, 0.2);
  put({cell});
  canvas->setIdDraw(5);
  select({cell});
  canvas->pressKey(GDK_KEY_c, control);

  select({cell});
  widget<Gtk::ToggleButton>("buttonRunSplitRegion")->set_active(true);
  auto* arc = new arcShape(5, true, false, false, true, 0, 0, 0);
  arc->addLinePoint(0.3, 0.09);
  arc->addLinePoint(0.3, 0.51);
  put({cell, arc});
  canvas->notify(ArcFinished);
  ASSERT_EQ(shapes().size(), 4u);

  canvas->pressKey(GDK_KEY_v, control);
  ASSERT_EQ(shapes().size(), 5u);
  EXPECT_TRUE(idsAreUnique());

  select({shapes()[2], shapes()[4]});
  click("buttonRunMergeRegions");
  ASSERT_EQ(shapes().size(), 6u);
  EXPECT_TRUE(idsAreUnique());

  select({shapes()[5]});
  click("buttonRunSuprRegions");
  EXPECT_TRUE(shapes()[5]->getDeleted());
  select({shapes()[3]});
  canvas->pressKey(GDK_KEY_Delete, 0);

  panel->resetPanel();
  EXPECT_TRUE(shapes().empty());
  canvas->pressKey(GDK_KEY_z, control);
  canvas->pressKey(GDK_KEY_y, control);
  canvas->pressKey(GDK_KEY_v, control);
  click("buttonRunMergeRegions");
  click("buttonUndo");
  click("buttonRun2");
  EXPECT_TRUE(shapes().empty());
  EXPECT_TRUE(actions->smallerRuns.empty());
}

TEST_F(ZelvoraPanelTest, SmallerCellPassItsMinimumAndUndo) {
  settings().setDiameters(200, 800);
  panel->updateText();
  EXPECT_EQ(text("entryMinDim1"), "100");
  // The pass needs shapes on the canvas.
  click("buttonRun2");
  EXPECT_TRUE(actions->smallerRuns.empty());

  struct Case {
    const char* typed;
    bool accepted;
    int expected;
  };
  for (const Case& c : std::vector<Case>{
           {"2", false, 100}, {"200", false, 100}, {"inf", false, 100}, {"60", true, 60}, {"199", true, 100}}) {
    SCOPED_TRACE(c.typed);
    enter("entryMinDim1", "100");
    enter("entryMinDim1", c.typed);
    EXPECT_EQ(shownRed("entryMinDim1"), !c.accepted);
    put({square(1, 0.5, 0.5, 0.1)});
    actions->smallerRuns.clear();
    click("buttonRun2");
    ASSERT_EQ(actions->smallerRuns.size(), 1u);
    EXPECT_EQ(actions->smallerRuns[0], std::make_pair(c.expected, 300));
    canvas->polygonsClear();
  }

  std::vector<baseShape*> cells;
  for (int i = 0; i < 40; ++i) cells.push_back(square(i + 1, 0.05 + 0.02 * i, 0.1, 0.008));
  put(cells);
  actions->candidates = {square(0, 0.5, 0.5, 0.01), square(0, 0.05, 0.1, 0.003), square(0, 0.6, 0.6, 0.01),
                         square(0, 0.7, 0.7, 0.01)};
  click("buttonRun2");
  ASSERT_EQ(shapes().size(), 43u);
  for (int i = 40; i < 43; ++i) {
    EXPECT_EQ(shapes()[i]->getId(), i + 1);
    EXPECT_EQ(shapes()[i]->getSmallerCell(), 1);
  }
  EXPECT_EQ(canvas->getIdDraw(), 44);
  for (int round = 0; round < 2; ++round) {
    click("buttonUndo");
    for (int i = 40; i < 43; ++i) {
      EXPECT_FALSE(shapes()[i]->getVisible());
      EXPECT_EQ(shapes()[i]->getName(), "Smaller");
    }
    for (int i = 0; i < 40; ++i) EXPECT_TRUE(shapes()[i]->getVisible());
  }
}

}  // namespace
