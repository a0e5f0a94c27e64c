#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "ActionsZelvora.h"
#include "AnnotatedTrainingSet.h"
#include "ClassificationFixtures.h"
#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "EventPump.h"
#include "FileText.h"
#include "MessageRecorder.h"
#include "ModelFachade.h"
#include "NotifyCode.h"
#include "OocytePainter.h"
#include "OpticalClassifierZelvora.h"
#include "PanedBottom.h"
#include "PictureFileCheck.h"
#include "Preferences.h"
#include "PreferencesSample.h"
#include "ResultRow.h"
#include "SaveObstacles.h"
#include "ScrollImage.h"
#include "TemporaryHome.h"
#include "UnsavedWorkQuestion.h"
#include "WatchedPipe.h"
#include "regionDetectorEdgesZelvora.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const char* const kNoClassifier = "There is no classifier loaded. Select an specie and/or train first the classifiers";
const char* const kLoadedA = "Configuration of classifiers of species A has been loaded";

regionShape* square(int id, double x0, double y0, double side, bool manual = true) {
  auto* region = new regionShape(id, true, false, false, manual, 0, 0, 0);
  region->addLinePoint(x0, y0);
  region->addLinePoint(x0 + side, y0);
  region->addLinePoint(x0 + side, y0 + side);
  region->addLinePoint(x0, y0 + side);
  return region;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The window's canvas on the start picture, the side and lower panes, and the
// use cases, over a settings folder made from the run folder's defaults
// (species "A" active, its classifiers in place).
class ActionsZelvoraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(LUMORA_RUN_DIR, temp.work(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    controller = std::make_unique<ControllerFachade>();
    controller->loadPreferences(10);
    controller->setImageProperties("gonada.ppm", 1600, 1200);
    canvas = std::make_unique<ScrollImage>(controller->getImageClass(), nullptr);
    box.pack_start(lateral, false, false);
    box.pack_start(*canvas, true, true);
    box.pack_start(bottom, false, false);
    window.add(box);
    window.set_default_size(500, 400);
    window.show_all();
    actions = makeActions();
  }

  // The use cases free the annotation they leave on the canvas.
  void TearDown() override { actions.reset(); }

  std::unique_ptr<ActionsZelvora> makeActions() {
    return std::make_unique<ActionsZelvora>(canvas.get(), controller.get(), &lateral, &bottom);
  }

  Preferences* preferences() { return controller->getPreferences(); }
  fs::path speciesFolder(const std::string& key = "A") const { return temp.home() / ".zelvora" / key; }

  // Changes the first `text` of a file of species A to `changed`.
  void replaceInSpeciesFile(const std::string& file, const std::string& text, const std::string& changed) const {
    std::string content = readFileText(speciesFolder() / file);
    ASSERT_NE(content.find(text), std::string::npos) << file;
    writeFileText(speciesFolder() / file, content.replace(content.find(text), text.size(), changed));
  }

  void loadClassifiers() {
    MessageRecorder recorder;
    actions->loadClassifier("test");
    ASSERT_EQ(recorder.take(), Texts{kLoadedA});
  }

  void detect() {
    const int min = preferences()->getMinimumDiameter();
    actions->runAlgorithm1("", min + min / 2, preferences()->getMaximumDiameter(), 0, 0);
  }

  std::vector<regionShape*> regionsOnCanvas() {
    std::vector<regionShape*> regions;
    for (baseShape* shape : canvas->getPolygonsNew())
      if (auto* region = dynamic_cast<regionShape*>(shape)) regions.push_back(region);
    return regions;
  }

  std::vector<int> tableIds() {
    std::vector<int> ids;
    Gtk::TreeView* view = actions->getTreeView();
    for (const Gtk::TreeRow& row : view->get_model()->children()) {
      int id = 0;
      row.get_value(0, id);
      ids.push_back(id);
    }
    return ids;
  }

  TemporaryHome temp;
  std::unique_ptr<ControllerFachade> controller;
  Gtk::Window window;
  Gtk::Box box{Gtk::ORIENTATION_VERTICAL};
  Gtk::Paned lateral;
  Gtk::Paned bottom;
  std::unique_ptr<ScrollImage> canvas;
  std::unique_ptr<ActionsZelvora> actions;
};

// ---------------------------------------------------------------- detection and classification

TEST_F(ActionsZelvoraTest, DetectsClassifiesListsAndExportsTheStartPicture) {
  loadClassifiers();
  detect();
  const std::vector<regionShape*> regions = regionsOnCanvas();
  // One region for each oocyte painted on the start picture, around its centre.
  const defaultspecies::OocytePicture painted = defaultspecies::OocytePainter(1).paint();
  EXPECT_EQ(regions.size(), painted.oocytes.size());
  for (const defaultspecies::Oocyte& oocyte : painted.oocytes) {
    int holding = 0;
    for (regionShape* region : regions)
      holding += region->inside(oocyte.cell.centre.x, oocyte.cell.centre.y, 1600, 1200) ? 1 : 0;
    EXPECT_EQ(holding, 1) << oocyte.cell.centre;
  }
  int largestId = 0;
  for (regionShape* region : regions) {
    EXPECT_TRUE(region->getVisible());
    EXPECT_FALSE(region->getManual());
    EXPECT_EQ(region->getType(), 0);
    largestId = std::max(largestId, region->getId());
  }
  EXPECT_GT(canvas->getIdDraw(), largestId);

  // The table on show follows the classification.
  actions->showTable();
  actions->classify(0, 0);
  for (regionShape* region : regions) {
    EXPECT_GE(region->getClase(), 1);
    EXPECT_LE(region->getClase(), 3);
    EXPECT_EQ(region->getClaseAutomatic(), region->getClase());
    EXPECT_TRUE(region->getType() == 0 || region->getType() == 1);
    EXPECT_EQ(region->getName(), std::to_string(region->getType()));
  }

  EXPECT_TRUE(bottom.get_visible());
  std::vector<int> canvasIds;
  for (regionShape* region : regions) canvasIds.push_back(region->getId());
  EXPECT_EQ(tableIds(), canvasIds);
  Gtk::TreeRow first = *actions->getTreeView()->get_model()->children().begin();
  std::string stage;
  first.get_value(3, stage);
  EXPECT_EQ(stage, ResultRow::stageName(regions.front()->getClase(), preferences()->getClassNamesPreferences()));

  const fs::path csv = temp.work() / "results.csv";
  actions->saveCSV(csv.string());
  const std::vector<std::string> lines = linesOf(readFileText(csv));
  ASSERT_EQ(lines.size(), regions.size() + 1);
  EXPECT_EQ(lines[0], "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nucleus; Count; Measure");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("gonada.ppm;", 0), 0u) << lines[i];
    EXPECT_NE(lines[i].find(";1.000000000000;A;" + std::to_string(regions[i - 1]->getId()) + ";"), std::string::npos)
        << lines[i];
  }
}

TEST_F(ActionsZelvoraTest, DetectionReplacesAndFreesTheShapesShownBefore) {
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2), square(2, 0.5, 0.5, 0.1)});
  canvas->setPolygonsModelSelected({canvas->getPolygonsNew().front()});
  // The shapes are not saved: the user lets them go.
  DialogAnswerer::answerNext(UnsavedWorkQuestion::discardResponse);
  detect();
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());
  for (regionShape* region : regionsOnCanvas()) EXPECT_FALSE(region->getManual());
  // Drawn shapes take ids after every detected outline.
  const int next = canvas->getIdDraw();
  actions->clearPolygonsModel();
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_GT(next, static_cast<int>(defaultspecies::OocytePainter(1).paint().oocytes.size()));
}

TEST_F(ActionsZelvoraTest, ClearingKeepsTheIdCountAndTheUseCasesTakeTheAnnotationWithThem) {
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2), square(2, 0.5, 0.5, 0.2, false)});
  canvas->setIdDraw(3);
  actions->clearPolygonsModel();
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_EQ(canvas->getIdDraw(), 3);

  canvas->setPolygonsModel({square(3, 0.1, 0.1, 0.2)});
  actions.reset();
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  actions = makeActions();
}

TEST_F(ActionsZelvoraTest, TheSmallerCellPassReturnsRegionsAndLeavesTheCanvasAlone) {
  canvas->setPolygonsModel({square(4, 0.1, 0.1, 0.2)});
  const int min = preferences()->getMinimumDiameter();
  std::vector<baseShape*> found = actions->getPolygonsAlgorithm1("", min, preferences()->getMaximumDiameter(), 0, 0);
  EXPECT_EQ(found.size(), defaultspecies::OocytePainter(1).paint().oocytes.size());
  EXPECT_EQ(canvas->getPolygonsNew().size(), 1u);
  for (baseShape* shape : found) delete shape;
}

// ---------------------------------------------------------------- results table and canvas selection

TEST_F(ActionsZelvoraTest, TableAndCanvasSelectionFollowEachOther) {
  canvas->setPolygonsModel({square(3, 0.1, 0.1, 0.1), square(8, 0.4, 0.4, 0.1), square(9, 0.7, 0.7, 0.1)});
  canvas->getPolygonsNew()[2]->setVisible(false);
  actions->showTable();
  EXPECT_EQ(tableIds(), (std::vector<int>{3, 8}));
  actions->subscribe(true);
  const Glib::RefPtr<Gtk::TreeSelection> selection = actions->getTreeView()->get_selection();

  // Canvas to table: the row of the selected shape; none for a shape without a row.
  const auto selectedId = [&] {
    Gtk::TreeIter row = selection->get_selected();
    int id = -1;
    if (row) row->get_value(0, id);
    return id;
  };
  canvas->setPolygonsModelSelected({canvas->getPolygonsNew()[1]});
  canvas->notify(RegionSelected);
  EXPECT_EQ(selectedId(), 8);
  canvas->setPolygonsModelSelected({canvas->getPolygonsNew()[2]});
  canvas->notify(ShapeSelected);
  EXPECT_EQ(selectedId(), -1);
  canvas->setPolygonsModelSelected({canvas->getPolygonsNew()[0]});
  canvas->notify(ShapesDeleted);
  EXPECT_EQ(selectedId(), -1);

  // Closed: the table no longer follows.
  actions->subscribe(false);
  canvas->notify(RegionSelected);
  EXPECT_EQ(selectedId(), -1);

  // Table to canvas: the row's shape becomes the canvas's selection.
  actions->selectedObject(actions->getTreeView()->get_model()->children().begin());
  baseShape* first = canvas->getPolygonsNew()[0];
  EXPECT_TRUE(first->getSelected());
  EXPECT_EQ(canvas->getPolygonsModelSelected(), std::vector<baseShape*>{first});
  EXPECT_FALSE(canvas->getPolygonsNew()[1]->getSelected());
}

// Each row's diameter and area as the table shows them: two decimals,
// rounded, whatever the size.
TEST_F(ActionsZelvoraTest, TheTableShowsDiameterAndAreaWithTwoRoundedDecimals) {
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.0417), square(2, 0.3, 0.3, 0.2437)});
  actions->showTable();
  Gtk::TreeView* table = actions->getTreeView();
  const Glib::RefPtr<Gtk::TreeModel> model = table->get_model();
  for (const int column : {1, 2}) {
    for (const Gtk::TreeRow& row : model->children()) {
      double value = 0;
      row.get_value(column, value);
      Gtk::TreeViewColumn* view = table->get_column(column);
      view->cell_set_cell_data(model, row, false, false);
      auto* cell = dynamic_cast<Gtk::CellRendererText*>(view->get_first_cell());
      ASSERT_NE(cell, nullptr);
      std::string shown = cell->property_text().get_value();
      shown.erase(0, shown.find_first_not_of(' '));
      char expected[64];
      std::snprintf(expected, sizeof expected, "%.2f", value);
      EXPECT_EQ(shown, expected) << view->get_title();
    }
  }
}

// A results panel over the same rows: its selected row, taken on request,
// selects that row's shape; it keeps its own tree view.
TEST_F(ActionsZelvoraTest, TheTablesSelectedRowSelectsItsShapeWhenAsked) {
  canvas->setPolygonsModel({square(3, 0.1, 0.1, 0.1), square(8, 0.4, 0.4, 0.1)});
  actions->showTable();
  Gtk::Paned pane;
  PanedBottom panel(&pane, actions.get());
  Gtk::TreeView other;
  panel.setTreeView(&other);
  Gtk::TreeView* table = panel.getTreeView();
  EXPECT_NE(table, &other);

  table->set_model(actions->getTreeView()->get_model());
  panel.on_selection_changed();
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());
  table->get_selection()->select(Gtk::TreePath("1"));
  panel.on_selection_changed();
  EXPECT_EQ(canvas->getPolygonsModelSelected(), std::vector<baseShape*>{canvas->getPolygonsNew()[1]});
}

// ---------------------------------------------------------------- refusals and failures

TEST_F(ActionsZelvoraTest, APictureTheDetectorCannotReadRefusesDetectionAndClassification) {
  loadClassifiers();
  controller->setImageProperties("missing.png", 1600, 1200);
  std::unique_ptr<ActionsZelvora> refusing = makeActions();
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2)});
  MessageRecorder recorder;
  refusing->loadClassifier("test");
  refusing->runAlgorithm1("", 300, 800, 0, 0);
  refusing->classify(0, 0);
  const std::string refusal =
      "The picture missing.png cannot be read: cells can be neither detected nor classified on it.";
  EXPECT_EQ(recorder.take(), (Texts{kLoadedA, refusal, refusal}));
  ASSERT_EQ(regionsOnCanvas().size(), 1u);
  EXPECT_EQ(regionsOnCanvas().front()->getClase(), 0);
  EXPECT_TRUE(refusing->getPolygonsAlgorithm1("", 300, 800, 0, 0).empty());
}

// A picture whose detection the memory guard refuses (its header claims
// 60000 x 60000 pixels): the user reads the guard's reason, and the shapes
// stay.
TEST_F(ActionsZelvoraTest, APictureTheMemoryGuardRefusesIsRefusedWithTheGuardsReason) {
  loadClassifiers();
  const fs::path picture = temp.work() / "claims.png";
  fs::copy_file(fs::path(UNTRUSTED_PICTURES) / "claims-60000x60000.png", picture);
  controller->setImageProperties(picture.string(), 1600, 1200);
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2)});
  MessageRecorder recorder;
  detect();
  actions->classify(0, 0);
  const std::string reason = PictureFileCheck::detectionRefusal(picture.string());
  ASSERT_NE(reason.find("60000 x 60000"), std::string::npos) << reason;
  const std::string refusal = reason + " Cells can be neither detected nor classified on it.";
  EXPECT_EQ(recorder.take(), (Texts{refusal, refusal}));
  ASSERT_EQ(regionsOnCanvas().size(), 1u);
  EXPECT_EQ(regionsOnCanvas().front()->getId(), 1);
  EXPECT_EQ(regionsOnCanvas().front()->getClase(), 0);
}

// The cell search of a detector that runs out of memory.
class OutOfMemoryDetector : public regionDetectorEdgesZelvora {
 public:
  void processImage(int) override { throw std::bad_alloc(); }
};

TEST_F(ActionsZelvoraTest, ADetectionThatRunsOutOfMemorySaysSoAndKeepsTheShapes) {
  actions = std::make_unique<ActionsZelvora>(canvas.get(), controller.get(), &lateral, &bottom,
                                             std::make_unique<OutOfMemoryDetector>());
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2)});
  canvas->setIdDraw(2);
  MessageRecorder recorder;
  detect();
  const int min = preferences()->getMinimumDiameter();
  EXPECT_TRUE(actions->getPolygonsAlgorithm1("", min, preferences()->getMaximumDiameter(), 0, 0).empty());
  const std::string message = "There is not enough memory to detect the cells of the picture gonada.ppm.";
  EXPECT_EQ(recorder.take(), (Texts{message, message}));
  ASSERT_EQ(regionsOnCanvas().size(), 1u);
  EXPECT_EQ(regionsOnCanvas().front()->getId(), 1);
  EXPECT_EQ(canvas->getIdDraw(), 2);
}

// A classifier file that is missing or refused is named, with the reason,
// when loading and when classifying without classifiers.
TEST_F(ActionsZelvoraTest, LoadingTellsWhatIsMissing) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::string message;
    std::string refusedFile;  // the species file refused, when one is
    std::string reason;
  };
  const std::string notLoaded = "Error loading classifiers of specie A";
  const std::string model = "it is not a readable model (";
  const Case cases[] = {
      {"no settings folder", [this] { fs::remove_all(temp.home() / ".zelvora"); },
       "Config the species to use in the preferences panel.", "", ""},
      {"no species", [this] { preferences()->setProblemActive(-1); }, "There is no species defined in Lumora.", "", ""},
      {"a species index past the list", [this] { preferences()->setProblemActive(57); },
       "There is no species defined in Lumora.", "", ""},
      {"no species folder", [this] { fs::remove_all(speciesFolder()); },
       "There is no trained classifiers. Train first the classifiers", "", ""},
      {"a model file missing", [this] { fs::remove(speciesFolder() / "svm_stages.dat"); }, notLoaded,
       "svm_stages.dat", "the file does not exist"},
      {"a model file that is a folder",
       [this] {
         fs::remove(speciesFolder() / "svm_nucleous.dat");
         fs::create_directory(speciesFolder() / "svm_nucleous.dat");
       },
       notLoaded, "svm_nucleous.dat", "it is not a regular file"},
      {"a model libsvm cannot read",
       [this] { writeFileText(speciesFolder() / "svm_nucleous.dat", "svm_type nonsense\n"); }, notLoaded,
       "svm_nucleous.dat", model + "unknown svm_type nonsense)"},
      // Models that libsvm reads, but whose answers name no nucleus or stage.
      {"a nucleus model labelled 5 and 9",
       [this] { replaceInSpeciesFile("svm_nucleous.dat", "label 0 1", "label 5 9"); }, notLoaded, "svm_nucleous.dat",
       model + "label 5 is no class of this classifier, which knows 0, 1)"},
      {"a regression model of the nucleus",
       [this] { replaceInSpeciesFile("svm_nucleous.dat", "svm_type c_svc", "svm_type epsilon_svr"); }, notLoaded,
       "svm_nucleous.dat",
       model + "svm_type epsilon_svr does not classify, and this classifier needs a classification model)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    fs::remove_all(temp.home() / ".zelvora");
    SetUp();
    c.prepare();
    canvas->setPolygonsModel({square(1, 0.3, 0.3, 0.2)});
    MessageRecorder recorder;
    actions->loadClassifier("test");
    EXPECT_FALSE(actions->isClassifierActive());
    actions->classify(0, 0);
    const std::string refusal =
        c.refusedFile.empty()
            ? ""
            : ". The classifier file " + (speciesFolder() / c.refusedFile).string() + " cannot be read: " + c.reason;
    const std::string loadMessage =
        c.refusedFile.empty() ? c.message : c.message + refusal + ". Maybe you need to train the classifiers";
    EXPECT_EQ(recorder.take(), (Texts{loadMessage, "There is no classifier loaded" + refusal +
                                                       ". Select an specie and/or train first the classifiers"}));
    EXPECT_EQ(regionsOnCanvas().front()->getClase(), 0);
    EXPECT_EQ(regionsOnCanvas().front()->getType(), 0);
  }
}

// A refusal that is a sentence of its own, as a journal that names another
// file, is shown once with the advice after it, and the named file is kept.
TEST_F(ActionsZelvoraTest, AJournalNamingAnotherFileIsToldAsOneSentenceAndTheFileKept) {
  const fs::path thesis = temp.home() / "thesis.txt";
  writeFileText(thesis, "my thesis");
  writeFileText(speciesFolder() / "replacement.journal",
                "replacement journal\ntarget " + thesis.string() +
                    "\nnew thesis.txt.saving-abcdef\nno old file\nend\n");
  MessageRecorder recorder;
  actions->loadClassifier("test");
  EXPECT_FALSE(actions->isClassifierActive());
  const std::string folder = fs::canonical(speciesFolder()).string();
  EXPECT_EQ(recorder.take(), (Texts{"Error loading classifiers of specie A. The classifiers of " + folder +
                                    " cannot be loaded: the files of " + folder +
                                    " were being replaced when the program stopped, and " + folder +
                                    "/replacement.journal, the record of what was replaced, names files that are "
                                    "not the folder's own. Maybe you need to train the classifiers"}));
  EXPECT_EQ(readFileText(thesis), "my thesis");
}

TEST_F(ActionsZelvoraTest, ClassifyingAfterTheSpeciesChangedLoadsTheActiveSpeciesFirst) {
  loadClassifiers();
  canvas->setPolygonsModel({square(1, 0.3, 0.3, 0.2)});
  preferences()->getProblemNames()[1] = "Bass";
  preferences()->setProblemActive(1);
  MessageRecorder recorder;
  actions->classify(0, 0);
  EXPECT_EQ(recorder.take(), (Texts{"There is no trained classifiers. Train first the classifiers", kNoClassifier}));
  EXPECT_EQ(regionsOnCanvas().front()->getClase(), 0);

  // Back to species A: its classifiers are loaded again before classifying.
  preferences()->setProblemActive(0);
  actions->classify(0, 0);
  EXPECT_EQ(recorder.take(), Texts{kLoadedA});
  EXPECT_GE(regionsOnCanvas().front()->getClase(), 1);
}

TEST_F(ActionsZelvoraTest, SpeciesPastTheListIsUnknownInTheCsv) {
  preferences()->setProblemActive(57);
  canvas->setPolygonsModel({square(1, 0.3, 0.3, 0.2)});
  const fs::path csv = temp.work() / "results.csv";
  actions->saveCSV(csv.string());
  const std::vector<std::string> lines = linesOf(readFileText(csv));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(";Unknown;1;"), std::string::npos) << lines[1];
}

TEST_F(ActionsZelvoraTest, ACsvThatCannotBeWrittenIsReported) {
  MessageRecorder recorder;
  const std::string file = (temp.work() / "no-such-folder" / "results.csv").string();
  actions->saveCSV(file);
  PreferencesSample* sample = controller->getModel()->getPreferencesSample();
  sample->setCSVFile(file);
  actions->saveCSVSample(sample);
  const std::string message = "The results could not be written to " + file + ".";
  EXPECT_EQ(recorder.take(), (Texts{message, message}));
}

TEST_F(ActionsZelvoraTest, ACsvTargetInTheWayKeepsTheOldFileAndIsReported) {
  canvas->setPolygonsModel({square(1, 0.3, 0.3, 0.2)});
  const fs::path csv = temp.work() / "results.csv";
  PreferencesSample* sample = controller->getModel()->getPreferencesSample();
  sample->setCSVFile(csv.string());
  const std::pair<const char*, std::function<void()>> saves[] = {
      {"results", [&] { actions->saveCSV(csv.string()); }},
      {"sample", [&] { actions->saveCSVSample(sample); }},
  };
  MessageRecorder recorder;
  for (const auto& [what, save] : saves)
    for (const SaveObstacle& obstacle : saveObstacles()) {
      writeFileText(csv, "old results");
      {
        const auto inForce = obstacle.place(csv);
        save();
      }
      EXPECT_EQ(recorder.take(), Texts{"The results could not be written to " + csv.string() + "."})
          << what << " " << obstacle.name;
      EXPECT_TRUE(untouched(csv, "old results")) << what << " " << obstacle.name;
      EXPECT_TRUE(temporariesLeftIn(temp.work()).empty()) << what << " " << obstacle.name;
      fs::remove_all(csv);
    }
}

// ---------------------------------------------------------------- sample CSV

TEST_F(ActionsZelvoraTest, SampleCsvGathersTheRowsOfEveryAnnotationFile) {
  const auto writeAnnotation = [&](const fs::path& file, const std::string& picture, std::vector<baseShape*> shapes) {
    Model::ModelFachade writer;
    writer.setImageProperties(picture, 1024, 1024);
    ASSERT_TRUE(writer.writePolygons(file.string(), shapes));
    for (baseShape* shape : shapes) delete shape;
  };
  const fs::path three = temp.work() / "three.xml", none = temp.work() / "none.xml",
                 broken = temp.work() / "broken.xml";
  writeAnnotation(three, "C:/img/three.png",
                  {square(1, 0.125, 0.125, 0.125), square(2, 0.5, 0.5, 0.125), square(4, 0.75, 0.25, 0.125)});
  writeAnnotation(none, "C:/img/none.png", {});
  writeFileText(broken, "<Polygons><Image");
  // The current settings' calibration does not reach the files' rows.
  preferences()->setCalibration(0.5);

  PreferencesSample* sample = controller->getModel()->getPreferencesSample();
  const fs::path csv = temp.work() / "sample.csv";
  sample->setCSVFile(csv.string());
  std::vector<std::string> files{three.string(), "", none.string(), broken.string(), three.string()};
  sample->setImagesFiles(files);
  actions->saveCSVSample(sample);

  const std::vector<std::string> lines = linesOf(readFileText(csv));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nuclous; Count; Measure");
  const std::string head = "C:/img/three.png;1048576.000000000000;1.000000000000;A;";
  EXPECT_NE(lines[1].find(";16384.000000000000;Without stage;No;Yes;No;"), std::string::npos) << lines[1];
  for (int i : {1, 2, 3, 4, 5, 6}) EXPECT_EQ(lines[i].rfind(head, 0), 0u) << lines[i];
}

// ---------------------------------------------------------------- training

class ActionsZelvoraTrainingTest : public ActionsZelvoraTest {
 protected:
  // Paints `count` annotated pictures into a folder of their own; returns
  // their paths.
  std::vector<std::string> paintPictures(int count) {
    folder = temp.work() / "training";
    fs::create_directories(folder);
    defaultspecies::AnnotatedTrainingSet set(folder.string(), preferences()->getMinimumDiameter(),
                                             preferences()->getMaximumDiameter());
    defaultspecies::OocytePainter painter(77);
    std::vector<std::string> pictures;
    for (int i = 0; i < count; ++i) {
      const std::string name = "section" + std::to_string(i);
      EXPECT_TRUE(set.add(painter.paint(), name));
      pictures.push_back((folder / (name + ".png")).string());
    }
    return pictures;
  }

  fs::path folder;
};

const char* const kTrainingWarning =
    "This training process need various minutes.  In the meantime, do not work with the program and wait the "
    "signal of the process finished.";

TEST_F(ActionsZelvoraTrainingTest, TrainsLoadsAndClassifiesWithTheNewModels) {
  const std::vector<std::string> pictures = paintPictures(7);
  const std::string shipped = readFileText(speciesFolder() / "svm_stages.dat");
  MessageRecorder recorder;
  actions->trainClassifier(pictures, folder.string(), folder.string(), 0);
  EXPECT_EQ(recorder.take(), (Texts{kTrainingWarning, "Configuration of classifier has been loaded"}));
  EXPECT_TRUE(actions->isClassifierActive());
  EXPECT_NE(readFileText(speciesFolder() / "svm_stages.dat"), shipped);

  // The detector is back on the open picture: detection finds its cells.
  detect();
  EXPECT_EQ(regionsOnCanvas().size(), defaultspecies::OocytePainter(1).paint().oocytes.size());
  actions->classify(0, 0);
  EXPECT_TRUE(recorder.take().empty());
  for (regionShape* region : regionsOnCanvas()) EXPECT_GE(region->getClase(), 1);

  // The stage model written agrees with libsvm's own predictor on the
  // training pictures' patterns.
  if (std::string(SVM_PREDICT_PROGRAM).empty()) GTEST_SKIP() << "svm-predict not installed";
  std::vector<float> media, desv;
  const fs::path model = speciesFolder() / OpticalClassifierZelvora::stageModelFile;
  OpticalClassifier::le_media_desv(
      (speciesFolder() / OpticalClassifier::normalisationFileFor(OpticalClassifierZelvora::stageModelFile)).string(),
      media, desv);
  ASSERT_EQ(media.size(), 25u);
  svm_model* svm = OpticalClassifier::crea_svm(model.string());
  ASSERT_NE(svm, nullptr);
  defaultspecies::AnnotatedTrainingSet again((temp.work() / "again").string(), 200, 800);
  fs::create_directories(temp.work() / "again");
  defaultspecies::OocytePainter painter(77);
  ASSERT_TRUE(again.add(painter.paint(), "check"));
  std::string reference;
  std::vector<int> ours;
  for (int stage = 1; stage <= 3; ++stage)
    for (const std::vector<float>& x : again.stage(stage)) {
      std::vector<double> values;
      for (int j = 0; j < 25; ++j) values.push_back(desv[j] != 0 ? (x[j] - media[j]) / desv[j] : x[j]);
      reference += fixtures::libsvmLine(0, values);
      ours.push_back(OpticalClassifier::saida_svm(svm, x, media, desv));
    }
  svm_free_and_destroy_model(&svm);
  ASSERT_FALSE(ours.empty());
  const fs::path input = temp.work() / "patterns.txt", output = temp.work() / "predicted.txt";
  writeFileText(input, reference);
  ASSERT_TRUE(fixtures::run(std::string(SVM_PREDICT_PROGRAM) + " -q " + input.string() + " " + model.string() + " " +
                            output.string()));
  std::ifstream predicted(output);
  for (int label : ours) {
    double theirs = -99;
    ASSERT_TRUE(predicted >> theirs);
    EXPECT_EQ(static_cast<int>(theirs), label);
  }
}

// Annotated pictures that cannot be read train nothing, and the open picture
// is still the one detection works on.
TEST_F(ActionsZelvoraTrainingTest, PicturesThatCannotBeReadLeaveDetectionOnTheOpenPicture) {
  detect();
  const std::size_t cells = regionsOnCanvas().size();
  ASSERT_GT(cells, 0u);
  const std::vector<std::string> pictures = paintPictures(2);
  for (const std::string& picture : pictures) std::ofstream(picture, std::ios::trunc) << "not a picture";
  MessageRecorder recorder;
  actions->trainClassifier(pictures, folder.string(), folder.string(), 0);
  recorder.take();
  // Saved, so that detecting again asks nothing.
  actions->recordShapesAsSaved();
  detect();
  EXPECT_TRUE(recorder.take().empty());
  EXPECT_EQ(regionsOnCanvas().size(), cells);
}

// A pipe among the pictures chosen would keep the training waiting for a
// writer for ever: it is left out at once, and the user is told.
TEST_F(ActionsZelvoraTrainingTest, APictureThatIsAPipeIsLeftOutAtOnceWithAMessage) {
  const std::vector<std::string> pictures = paintPictures(2);
  fs::remove(pictures.front());
  const WatchedPipe pipe(pictures.front());
  MessageRecorder recorder;
  actions->trainClassifier(pictures, folder.string(), folder.string(), 0);
  const Texts messages = recorder.take();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[1],
            PictureFileCheck::notRegularMessage(pictures.front()) + " It is left out of the training.");
  EXPECT_EQ(pipe.readersLetGo(), 0);
}

TEST_F(ActionsZelvoraTrainingTest, ATrainingThatCannotBeWrittenKeepsTheSpeciesAndSaysSo) {
  const std::vector<std::string> pictures = paintPictures(7);
  loadClassifiers();
  std::map<fs::path, std::string> before;
  for (const auto& entry : fs::directory_iterator(speciesFolder())) before[entry.path()] = readFileText(entry.path());
  const fs::path stages = speciesFolder() / OpticalClassifierZelvora::stageModelFile;
  ASSERT_EQ(chmod(stages.c_str(), 0444), 0);

  MessageRecorder recorder;
  actions->trainClassifier(pictures, folder.string(), folder.string(), 0);
  EXPECT_EQ(recorder.take(), (Texts{kTrainingWarning, "The classifiers could not be trained into " +
                                                          speciesFolder().string() + ": " + stages.string() +
                                                          " cannot be written. The classifiers there are unchanged."}));
  std::map<fs::path, std::string> after;
  for (const auto& entry : fs::directory_iterator(speciesFolder())) after[entry.path()] = readFileText(entry.path());
  EXPECT_EQ(after, before);

  // The classifier loaded before still classifies.
  detect();
  actions->classify(0, 0);
  EXPECT_TRUE(recorder.take().empty());
  for (regionShape* region : regionsOnCanvas()) EXPECT_GE(region->getClase(), 1);
}

TEST_F(ActionsZelvoraTrainingTest, TooFewCellsAreReportedAndNothingIsCalledLoaded) {
  const std::vector<std::string> pictures = paintPictures(1);
  MessageRecorder recorder;
  actions->trainClassifier(pictures, folder.string(), folder.string(), 0);
  const Texts messages = recorder.take();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front(), kTrainingWarning);
  EXPECT_EQ(messages.back(),
            "The classifier to discriminate stage can not be trained due to there is less than 8 cells of each stage");
  for (const std::string& message : messages) EXPECT_EQ(message.find("has been loaded"), std::string::npos);
}

TEST_F(ActionsZelvoraTrainingTest, AnEmptyListOnlyWarns) {
  MessageRecorder recorder;
  actions->trainClassifier({}, "/xml", "/img", 0);
  EXPECT_EQ(recorder.take(), Texts{kTrainingWarning});
}

}  // namespace
