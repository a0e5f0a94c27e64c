#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ControllerFachade.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "Preferences.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "StartedProgramTest.h"
#include "UnsavedWorkQuestion.h"
#include "WidgetById.h"
#include "circleShape.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;
constexpr auto look = &ScriptedUser::look;
constexpr auto waitFor = &ScriptedUser::waitFor;

// The ids of the command items a user can reach in the menu bar: visible
// items without a submenu, under visible parents only.
void collectShownCommands(Gtk::MenuShell& shell, std::vector<std::string>& ids) {
  for (Gtk::Widget* child : shell.get_children()) {
    auto* item = dynamic_cast<Gtk::MenuItem*>(child);
    if (item == nullptr || !item->get_visible() || dynamic_cast<Gtk::SeparatorMenuItem*>(item) != nullptr) continue;
    if (Gtk::Menu* submenu = item->get_submenu())
      collectShownCommands(*submenu, ids);
    else
      ids.push_back(gtk_buildable_get_name(GTK_BUILDABLE(item->gobj())));
  }
}

// A square region of `side` pixels with its top left corner at (left, top)
// of a picture of width x height pixels.
regionShape* square(int id, int width, int height, double left, double top, double side, bool visible = true) {
  auto* region = new regionShape(id, visible, false, false, true, 0, 0, 0);
  for (const auto& [x, y] : {std::pair{left, top}, {left + side, top}, {left + side, top + side}, {left, top + side}})
    region->addLinePoint(x / width, y / height);
  return region;
}

// Cavitra started from a copy of its run folder.
class CavitraMenuBarTest : public StartedProgramTest {
 protected:
  CavitraMenuBarTest() : StartedProgramTest(CAVITRA_RUN_DIR, "cavitra") {}

  // Waits for the use cases' open chooser offering the files of the filter
  // `filter` first, and cancels it.
  static Step cancelOpenChooser(const std::string& filter) {
    return [filter] {
      auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(ScriptedUser::visibleWindow("Please choose a file"));
      if (chooser == nullptr || !chooser->get_filter() || chooser->get_filter()->get_name() != filter) return false;
      chooser->response(Gtk::RESPONSE_CANCEL);
      return true;
    };
  }

  // Waits for the save chooser titled `title` proposing `name`, and cancels it.
  static Step cancelSaveChooser(const std::string& title, const std::string& name) {
    return [title, name] {
      auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(ScriptedUser::visibleWindow(title));
      if (chooser == nullptr || chooser->get_current_name() != name) return false;
      chooser->response(Gtk::RESPONSE_CANCEL);
      return true;
    };
  }

  static Step shown(const std::string& windowId) {
    return waitFor([windowId] { return visibleWindowById(windowId) != nullptr; });
  }
  static Step closed(const std::string& windowId) {
    return waitFor([windowId] { return visibleWindowById(windowId) == nullptr; });
  }

  const CanvasView& view() { return canvas()->getView(); }
  std::size_t shapeCount() { return canvas()->getPolygonsNew().size(); }
  bool sidePaneShown() { return findById<Gtk::Paned>(mainWindow(), "panedLateral")->get_visible(); }
  Preferences& settings() { return *controller->getPreferences(); }
};

TEST_F(CavitraMenuBarTest, EveryShownItemReachesItsUseCaseOrDialog) {
  // Each item the menu bar shows, with what shows that it reached its
  // target, and what the user does first where that needs a state.
  struct Item {
    std::string id;
    std::vector<Step> reached;
    std::vector<Step> before = {};
  };
  bool paneShownBefore = false;
  bool dialogOnDefaults = false;
  bool calibrationReset = false;
  const std::vector<Item> items = {
      {"openImage", {cancelOpenChooser("Images")}},
      {"openImageXML", {cancelOpenChooser("Images")}},
      {"openXML", {cancelOpenChooser("xml")}},
      {"saveXML", {cancelSaveChooser("Please choose a XML file", "liver2.xml")}},
      {"exportCSV", {cancelSaveChooser("Please choose a CSV file", "liver2.csv")}},
      {"preferences",
       {shown("windowPreferences"), ScriptedUser::click("windowPreferences", "cancelButton"),
        closed("windowPreferences")}},
      {"draw", {cancelOpenChooser("xml")}},
      // Undo takes the last shape off the canvas, redo puts it back.
      {"undoMenu",
       {waitFor([this] { return shapeCount() == 1; })},
       {look([this] {
         canvas()->setPolygonsModel({new circleShape(5, 0.3, 0.3, 1, true, false, false, true, 0, 0, 0),
                                     new circleShape(5, 0.6, 0.6, 2, true, false, false, true, 0, 0, 0)});
       })}},
      {"redoMenu", {waitFor([this] { return shapeCount() == 2; })}},
      {"originalSizeMenu", {waitFor([this] { return !view().isFitting() && view().getScale() == 1.0; })}},
      {"fitImageMenu", {waitFor([this] { return view().isFitting() && view().getScale() != 1.0; })}},
      {"processingPanel",
       {waitFor([&] { return sidePaneShown() != paneShownBefore; })},
       {look([&] { paneShownBefore = sidePaneShown(); })}},
      {"XML files",
       {shown("processSamplesXml"), ScriptedUser::click("processSamplesXml", "cancelButton"),
        closed("processSamplesXml")}},
      // No command yet: the program goes on.
      {"userManual", {}},
      {"aboutUs",
       {waitFor([this] {
          auto* about = DialogAnswerer::visible<Gtk::AboutDialog>();
          if (about == nullptr || about->get_program_name() != "Cavitra" || about->get_transient_for() != &mainWindow())
            return false;
          // The program's own icon, not the toolkit's missing-image one.
          EXPECT_TRUE(about->get_logo());
          about->response(Gtk::RESPONSE_CLOSE);
          return true;
        }),
        waitFor([] { return DialogAnswerer::visible<Gtk::AboutDialog>() == nullptr; })}},
      // Reset asks nothing: it says so, restores the defaults in the settings
      // in use and opens the preferences dialog on them.
      {"resetPreferences",
       {shown("windowPreferences"), look([&] {
          auto* calibration = findById<Gtk::CheckButton>(*visibleWindowById("windowPreferences"), "checkboxCalibration");
          dialogOnDefaults = calibration != nullptr && !calibration->get_active();
        }),
        ScriptedUser::click("windowPreferences", "cancelButton"), closed("windowPreferences"), look([&] {
          calibrationReset = !settings().isCalibrationActive() && settings().getCalibration() == 1.0;
        })},
       {look([this] {
         settings().setCalibrationActive(true);
         settings().setCalibration(0.25);
       })}},
  };

  std::vector<std::string> shownCommands;
  std::vector<std::string> withoutAction;
  std::vector<Step> steps = {look([&] {
    collectShownCommands(*findById<Gtk::MenuBar>(mainWindow(), "menu"), shownCommands);
    for (const std::string& id : shownCommands) {
      auto* item = findById<Gtk::MenuItem>(mainWindow(), id);
      // An item whose action is missing or disabled cannot be chosen.
      if (!gtk_widget_is_sensitive(GTK_WIDGET(item->gobj()))) withoutAction.push_back(id);
    }
  })};
  std::vector<std::string> reached;
  for (const Item& item : items) {
    steps.insert(steps.end(), item.before.begin(), item.before.end());
    steps.push_back(choose(item.id));
    steps.insert(steps.end(), item.reached.begin(), item.reached.end());
    steps.push_back(look([&reached, id = item.id] { reached.push_back(id); }));
  }
  // The circles drawn for undo and redo are dropped with the program.
  steps.push_back(choose("exit"));
  steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse));

  EXPECT_EQ(run(std::move(steps)), 0);

  std::vector<std::string> expected;
  for (const Item& item : items) expected.push_back(item.id);
  EXPECT_EQ(reached, expected);
  expected.push_back("exit");
  std::sort(expected.begin(), expected.end());
  std::sort(shownCommands.begin(), shownCommands.end());
  EXPECT_EQ(shownCommands, expected) << "every item shown is in the table, and nothing else";
  EXPECT_TRUE(withoutAction.empty()) << withoutAction.front();
  EXPECT_TRUE(dialogOnDefaults);
  EXPECT_TRUE(calibrationReset);
  EXPECT_EQ(messages, std::vector<std::string>{"All the preferences have been reset"});
}

TEST_F(CavitraMenuBarTest, StepBatchDialogWritesTheSampleCsvWithTheHistogramOfTheChosenFiles) {
  const fs::path xml = temp.home() / "xml";
  const fs::path csv = temp.home() / "csv";
  for (const fs::path& folder : {xml, csv}) fs::create_directories(folder);
  // Squares of known side on pictures of known size; a hidden one counts
  // nowhere, and a file that is no annotation gets a row of its own.
  writeAnnotation(xml / "a.xml", "C:/img/a.png", 1000, 500,
                  {square(1, 1000, 500, 100, 100, 100), square(2, 1000, 500, 400, 200, 50)});
  writeAnnotation(xml / "b.xml", "C:/img/b.png", 800, 600,
                  {square(1, 800, 600, 10, 10, 120), square(2, 800, 600, 300, 200, 300, false)});
  writeFileText(xml / "c.xml", "not an annotation");

  const char* const dialog = "processSamplesXml";
  const auto typeEnter = [dialog](const std::string& id, const std::string& text) {
    return ScriptedUser::later([=] {
      auto* entry = findById<Gtk::Entry>(*visibleWindowById(dialog), id);
      entry->set_text(text);
      entry->activate();
    });
  };
  const int status = run({look([&] {
                            Model::ModelFachade* model = controller->getModel();
                            model->set_xml_folder(xml.string());
                            model->set_csv_folder(csv.string());
                          }),
                          choose("XML files"), shown(dialog), ScriptedUser::click(dialog, "checkboxCalibration"),
                          typeEnter("calibrationEntry", "0,5"),
                          // 25 micras at 0.5 micras a pixel: a step of 50 pixels.
                          typeEnter("stepEntry", "25"),
                          waitFor([dialog] { return entryText(dialog, "stepEntry") == "25.000000"; }),
                          ScriptedUser::click(dialog, "selectImagesButton"),
                          ScriptedUser::answerChooser(
                              "Please choose XML files",
                              {(xml / "a.xml").string(), (xml / "b.xml").string(), (xml / "c.xml").string()}),
                          ScriptedUser::click(dialog, "ExportCSV"),
                          ScriptedUser::answerChooser("Please choose a CSV file", {(csv / "sample").string()}),
                          waitFor([&] { return fs::exists(csv / "sample.csv"); }),
                          ScriptedUser::click(dialog, "cancelButton"), closed(dialog), choose("exit")});
  EXPECT_EQ(status, 0);

  // a: 100² + 50² = 12500 of 1000 x 500 pixels, a cyst index of 2.5;
  // b: 120² = 14400 of 800 x 600, 3. Equivalent diameters 2 side / sqrt(pi):
  // 112.8 and 56.4, and 135.4; in bins of 50 pixels (25 micras): 0, 1, 2.
  const std::string calibration = "Calibration:; 0.5 micras ;1 pixel\n";
  EXPECT_EQ(readFileText(csv / "sample.csv"),
            calibration + "Image;Width;Height;Number of regions;Cyst index\n" + (xml / "a.xml").string() +
                ";1000;500;2;2.5\n" + (xml / "b.xml").string() + ";800;600;1;3\n" + (xml / "c.xml").string() +
                ";The file could not be read\n"
                "\n"
                "Histogram step:;50;pixels\n" +
                calibration +
                "MinDiameter(pixels);MaxDiameter(pixels);MinDiameter(micras);MaxDiameter(micras); No. regions\n"
                "0;50;0;25;0\n"
                "50;100;25;50;1\n"
                "100;150;50;75;2\n");
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
