#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <utility>

#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "EventPump.h"
#include "FileText.h"
#include "NotifyCode.h"
#include "ScrollImage.h"
#include "TemporaryHome.h"
#include "UnsavedWorkQuestion.h"
#include "circleShape.h"
#include "regionShape.h"

namespace fs = std::filesystem;

namespace {

// The widget of the running window whose interface-file id is `id`.
Gtk::Widget* findById(Gtk::Widget* root, const std::string& id) {
  if (root == nullptr) return nullptr;
  const char* name = gtk_buildable_get_name(GTK_BUILDABLE(root->gobj()));
  if (name != nullptr && id == name) return root;
  if (auto* container = dynamic_cast<Gtk::Container*>(root)) {
    for (Gtk::Widget* child : container->get_children())
      if (Gtk::Widget* found = findById(child, id)) return found;
  }
  if (auto* item = dynamic_cast<Gtk::MenuItem*>(root))
    if (Gtk::Widget* found = findById(item->get_submenu(), id)) return found;
  return nullptr;
}

// Lets the toolkit handle pending events and draw a few frames.
void settle() {
  for (int i = 0; i < 10; ++i) {
    pumpEvents();
    g_usleep(10000);
  }
}

// Runs the whole program in a working folder holding the run folder's files,
// lets `check` look at the window once it is up, then closes it.
class MainWindowStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(LUMORA_RUN_DIR, temp.work(), fs::copy_options::recursive);
  }

  int runProgram(const std::function<void(Gtk::Window&)>& check, const std::string& argument = "") {
    ControllerFachade controller;
    bool checked = false;
    sigc::connection watcher = Glib::signal_timeout().connect(
        [this, &controller, &check, &checked] {
          if (auto* message = DialogAnswerer::visible<Gtk::MessageDialog>()) {
            // The checks' detections are dropped with the program.
            if (message->property_text().get_value() == UnsavedWorkQuestion::text) {
              message->response(UnsavedWorkQuestion::discardResponse);
              return true;
            }
            // Start-up tells the user whether the species' classifiers loaded.
            startupMessages.push_back(message->property_secondary_text().get_value());
            message->response(Gtk::RESPONSE_OK);
            return true;
          }
          Gtk::Window* window = controller.getMainWindow();
          if (checked || window == nullptr || !window->get_mapped()) return true;
          pictureSize = {controller.getImgWidth(), controller.getImgHeight()};
          check(*window);
          checked = true;
          // Closed from an idle callback, so that this timer answers the
          // question the close may ask.
          Glib::signal_idle().connect_once([window] { window->close(); });
          return true;
        },
        50);
    std::string name = "lumora";
    std::string extra = argument;
    char* argv[] = {name.data(), extra.data(), nullptr};
    const int status = controller.showMainWindow(argument.empty() ? 1 : 2, argv);
    watcher.disconnect();
    return status;
  }

  static ScrollImage* canvasOf(Gtk::Window& window) {
    auto* viewport = dynamic_cast<Gtk::Viewport*>(findById(&window, "viewport"));
    return viewport != nullptr ? dynamic_cast<ScrollImage*>(viewport->get_child()) : nullptr;
  }

  static void click(Gtk::Window& window, const std::string& id) {
    auto* button = dynamic_cast<Gtk::ToolButton*>(findById(&window, id));
    ASSERT_NE(button, nullptr) << id;
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(button->gobj()))));
    settle();
  }

  static void press(Gtk::Window& window, const std::string& id) {
    auto* button = dynamic_cast<Gtk::Button*>(findById(&window, id));
    ASSERT_NE(button, nullptr) << id;
    button->clicked();
    settle();
  }

  // The results table's tree view in the lower pane; null before it is built.
  static Gtk::TreeView* resultsTable(Gtk::Widget* root) {
    if (auto* view = dynamic_cast<Gtk::TreeView*>(root)) return view;
    if (auto* container = dynamic_cast<Gtk::Container*>(root))
      for (Gtk::Widget* child : container->get_children())
        if (Gtk::TreeView* found = resultsTable(child)) return found;
    return nullptr;
  }

  static std::vector<regionShape*> visibleRegions(ScrollImage& canvas) {
    std::vector<regionShape*> regions;
    for (baseShape* shape : canvas.getPolygonsNew())
      if (auto* region = dynamic_cast<regionShape*>(shape); region != nullptr && region->getVisible())
        regions.push_back(region);
    return regions;
  }

  TemporaryHome temp;
  std::vector<std::string> startupMessages;
  // The picture size the controller reported while the window was up.
  std::pair<double, double> pictureSize;
};

TEST_F(MainWindowStartupTest, ShowsTheStartPictureWithTitleIconAndHiddenPanes) {
  bool checked = false;
  const int status = runProgram([&](Gtk::Window& window) {
    checked = true;
    EXPECT_EQ(window.get_title(), "Lumora: application to stereological analysis");
    EXPECT_TRUE(window.get_icon());
    ScrollImage* canvas = canvasOf(window);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->getFilename(), "gonada.ppm");
    EXPECT_GT(canvas->getImgWidth(), 0);
    EXPECT_FALSE(findById(&window, "panedLateral")->get_visible());
    EXPECT_FALSE(findById(&window, "paned1")->get_visible());
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(pictureSize, (std::pair<double, double>(1600, 1200)));
  EXPECT_TRUE(fs::is_regular_file(temp.home() / ".zelvora" / "preferences.xml"));
  EXPECT_TRUE(fs::is_directory(temp.home() / ".zelvora" / "A"));
  EXPECT_EQ(startupMessages, std::vector<std::string>{"Configuration of classifiers of species A has been loaded"});
}

TEST_F(MainWindowStartupTest, ToolbarSwitchesToolsAndTheSidePane) {
  runProgram([&](Gtk::Window& window) {
    ScrollImage* canvas = canvasOf(window);
    ASSERT_NE(canvas, nullptr);
    settle();
    const double fitted = canvas->getView().getScale();
    click(window, "viewRestore");
    EXPECT_DOUBLE_EQ(canvas->getView().getScale(), 1.0);
    click(window, "zoomBestFit");
    EXPECT_DOUBLE_EQ(canvas->getView().getScale(), fitted);
    click(window, "showPaned");
    EXPECT_TRUE(findById(&window, "panedLateral")->get_visible());
    click(window, "showPaned");
    EXPECT_FALSE(findById(&window, "panedLateral")->get_visible());
  });
}

TEST_F(MainWindowStartupTest, MissingInterfaceWidgetEndsWithAnError) {
  fs::remove(temp.work() / "Glade" / "interfaz.glade");
  ControllerFachade controller;
  char name[] = "lumora";
  char* argv[] = {name, nullptr};
  EXPECT_NE(controller.showMainWindow(1, argv), 0);
}

TEST_F(MainWindowStartupTest, AnArgumentItCannotHandleEndsWithAFailureStatus) {
  EXPECT_NE(runProgram([](Gtk::Window&) {}, "picture.jpg"), 0);
  EXPECT_NE(runProgram([](Gtk::Window&) {}, "--no-such-option"), 0);
}

TEST_F(MainWindowStartupTest, MissingStartPictureAndIconStillOpenTheWindow) {
  fs::remove(temp.work() / "gonada.ppm");
  fs::remove(temp.work() / "Iconos" / "logoLumora.png");
  bool checked = false;
  EXPECT_EQ(runProgram([&](Gtk::Window& window) {
              checked = true;
              ScrollImage* canvas = canvasOf(window);
              ASSERT_NE(canvas, nullptr);
              EXPECT_EQ(canvas->getImgWidth(), 0);
            }),
            0);
  EXPECT_TRUE(checked);
}

TEST_F(MainWindowStartupTest, SidePaneOpensAtThePanelsWidthAndMeasuresWithAToolbarToolOn) {
  runProgram([&](Gtk::Window& window) {
    window.resize(1400, 900);
    click(window, "showPaned");
    Gtk::Widget* panel = findById(&window, "panedLateralZelvora");
    ASSERT_NE(panel, nullptr);
    int minimum = 0;
    int natural = 0;
    panel->get_preferred_width(minimum, natural);
    EXPECT_GT(natural, 150);
    EXPECT_GE(findById(&window, "panedLateral")->get_allocated_width(), natural);

    // A toolbar tool is on when the measuring toggle is pressed: releasing
    // the toolbar must not disarm the line the toggle asks for.
    click(window, "circle");
    auto* measure = dynamic_cast<Gtk::ToggleButton*>(findById(&window, "MinDiameter"));
    ASSERT_NE(measure, nullptr);
    measure->clicked();
    settle();
    ScrollImage* canvas = canvasOf(window);
    ASSERT_NE(canvas, nullptr);
    const double scale = canvas->getView().getScale();
    const double x = canvas->get_allocated_width() / 2.0 - 100;
    const double y = canvas->get_allocated_height() / 2.0;
    canvas->pressButton(1, x, y);
    canvas->movePointer(x + 300 * scale, y);
    canvas->releaseButton(1, x + 300 * scale, y);
    settle();
    EXPECT_FALSE(measure->get_active());
    auto* minimumField = dynamic_cast<Gtk::Entry*>(findById(&window, "entryMinDim"));
    ASSERT_NE(minimumField, nullptr);
    EXPECT_NEAR(std::stoi(minimumField->get_text()), 300, 2);
  });
}

TEST_F(MainWindowStartupTest, SidePanelFileMissingOrLackingAnIdEndsWithAnError) {
  const fs::path file = temp.work() / "Glade" / "panedZelvora.glade";
  std::string content = readFileText(file);
  const std::string id = "id=\"comboothercategories\"";
  content.replace(content.find(id), id.size(), "id=\"otherName\"");
  writeFileText(file, content);
  char name[] = "lumora";
  char* argv[] = {name, nullptr};
  {
    ControllerFachade controller;
    EXPECT_NE(controller.showMainWindow(1, argv), 0);
  }
  fs::remove(file);
  ControllerFachade controller;
  EXPECT_NE(controller.showMainWindow(1, argv), 0);
}

TEST_F(MainWindowStartupTest, ScreenshotOfTheRunningProgramWithShapes) {
  runProgram([&](Gtk::Window& window) {
    window.resize(1400, 900);
    ScrollImage* canvas = canvasOf(window);
    ASSERT_NE(canvas, nullptr);
    std::vector<baseShape*> shapes;
    shapes.push_back(new circleShape(60, 0.3, 0.4, 1, true, false, false, true, 0, 2, 2));
    auto* region = new regionShape(2, true, false, false, true, 1, 1, 1);
    for (int i = 0; i < 40; ++i) {
      const double angle = i * 2 * 3.14159265358979 / 40;
      region->addLinePoint(0.6 + 0.08 * std::cos(angle), 0.55 + 0.1 * std::sin(angle));
    }
    shapes.push_back(region);
    canvas->setPolygonsModel(shapes);
    settle();
    auto gdkWindow = window.get_window();
    auto shot = Gdk::Pixbuf::create(gdkWindow, 0, 0, gdkWindow->get_width(), gdkWindow->get_height());
    ASSERT_TRUE(shot);
    shot->save(std::string(LUMORA_ARTEFACT_DIR) + "/lumora-main-window.png", "png");
  });
  EXPECT_TRUE(fs::exists(std::string(LUMORA_ARTEFACT_DIR) + "/lumora-main-window.png"));
}

// The start picture analysed from the panel's buttons, as a biologist
// would: detect, classify, show the table, mark, hide, calibrate.
TEST_F(MainWindowStartupTest, DetectClassifyAndCorrectFromTheSidePanel) {
  runProgram([&](Gtk::Window& window) {
    window.resize(1500, 950);
    click(window, "showPaned");
    ScrollImage* canvas = canvasOf(window);
    ASSERT_NE(canvas, nullptr);

    press(window, "buttonRun");
    const std::vector<regionShape*> cells = visibleRegions(*canvas);
    ASSERT_GE(cells.size(), 3u);
    press(window, "classifier");
    int classified = 0;
    for (regionShape* cell : cells) classified += cell->getClaseAutomatic() > 0;
    EXPECT_EQ(classified, static_cast<int>(cells.size()));

    press(window, "table");
    EXPECT_TRUE(findById(&window, "paned1")->get_visible());
    Gtk::TreeView* table = resultsTable(findById(&window, "paned1"));
    ASSERT_NE(table, nullptr);
    Glib::RefPtr<Gtk::TreeModel> rows = table->get_model();
    ASSERT_EQ(rows->children().size(), cells.size());

    // A row activated selects its cell on the canvas; a cell selected on the
    // canvas selects its row.
    Gtk::TreeModel::Path second(rows->children()[1]);
    table->row_activated(second, *table->get_column(0));
    settle();
    int secondId = 0;
    rows->children()[1]->get_value(0, secondId);
    ASSERT_EQ(canvas->getPolygonsModelSelected().size(), 1u);
    EXPECT_EQ(canvas->getPolygonsModelSelected()[0]->getId(), secondId);
    canvas->setPolygonsModelSelected({cells[0]});
    canvas->notify(RegionSelected);
    settle();
    int selectedId = -1;
    if (auto selectedRow = table->get_selection()->get_selected()) selectedRow->get_value(0, selectedId);
    EXPECT_EQ(selectedId, cells[0]->getId());

    // The calibration changes the units of the fields and the table.
    double pixels = 0;
    rows->children()[0]->get_value(1, pixels);
    press(window, "checkboxCalibration");
    auto* factor = dynamic_cast<Gtk::Entry*>(findById(&window, "calibration"));
    factor->set_text("0,5");
    press(window, "buttonOkCalibration");
    EXPECT_EQ(dynamic_cast<Gtk::Label*>(findById(&window, "parametrosValue"))->get_text(), "micras");
    press(window, "table");
    press(window, "table");
    table = resultsTable(findById(&window, "paned1"));
    double micrometres = 0;
    table->get_model()->children()[0]->get_value(1, micrometres);
    EXPECT_NEAR(micrometres, pixels / 2, 1e-6);

    // A stage given by hand, and hiding the cells without nucleus.
    canvas->setPolygonsModelSelected({cells[0]});
    press(window, "hydrated");
    EXPECT_EQ(cells[0]->getClase(), 3);
    press(window, "buttonHidewithout");
    for (regionShape* cell : cells) EXPECT_EQ(cell->getVisible(), cell->getType() != 0);
    press(window, "buttonHidewithout");
    for (regionShape* cell : cells) EXPECT_TRUE(cell->getVisible());

    // The smaller-cell pass on the real detector, and its undo.
    press(window, "buttonRun2");
    std::vector<baseShape*> smaller;
    for (baseShape* shape : canvas->getPolygonsNew())
      if (shape->getSmallerCell() == 1) smaller.push_back(shape);
    for (baseShape* shape : smaller) EXPECT_EQ(std::count(cells.begin(), cells.end(), shape), 0);
    press(window, "buttonUndo");
    for (baseShape* shape : smaller) EXPECT_FALSE(shape->getVisible());

    press(window, "table");
    EXPECT_EQ(resultsTable(findById(&window, "paned1"))->get_model()->children().size(), cells.size());
    auto gdkWindow = window.get_window();
    auto shot = Gdk::Pixbuf::create(gdkWindow, 0, 0, gdkWindow->get_width(), gdkWindow->get_height());
    ASSERT_TRUE(shot);
    shot->save(std::string(LUMORA_ARTEFACT_DIR) + "/lumora-side-panel.png", "png");
  });
  EXPECT_TRUE(fs::exists(std::string(LUMORA_ARTEFACT_DIR) + "/lumora-side-panel.png"));
}

}  // namespace
