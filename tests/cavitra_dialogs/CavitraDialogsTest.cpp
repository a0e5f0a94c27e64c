#include <gtest/gtest.h>
#include <gtkmm.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "FileText.h"
#include "Menu.h"
#include "MenuProfile.h"
#include "ModelFachade.h"
#include "PreferencesSample.h"
#include "ProcessDirImages.h"
#include "ProcessSamplesGladeXmlStep.h"
#include "ProfileSelection.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "TemporaryHome.h"
#include "ViewProfile.h"
#include "WidgetById.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;
constexpr auto look = &ScriptedUser::look;

const char* const stepWindow = "processSamplesXml";
const char* const stepFile = "Glade/processSamplesXmlStep.glade";
const char* const dirWindow = "processDirImages";
const char* const dirFile = "Glade/processDirImages.glade";

// What a folder batch was handed.
struct DirectoryRun {
  std::string images;
  std::string xml;
  std::string csv;
  bool subdir;
  int mindim;
  int maxdim;
  int type;
};

// Use cases that record the exports and folder batches instead of doing
// them; a folder batch may be told to write its CSV file.
class RecordingActions : public Actions {
 public:
  using Actions::Actions;

  void saveCSVSample(PreferencesSample* settings) override {
    exports.push_back({settings->getCSVFile(), settings->isHistogramActive(), settings->getHistogramStep()});
  }
  void processDirImages(std::string images, std::string xml, std::string csv, bool subdir, int mindim, int maxdim,
                        int type) override {
    runs.push_back({images, xml, csv, subdir, mindim, maxdim, type});
    if (writesCsv) writeFileText(csv, "written");
  }

  struct Export {
    std::string file;
    bool histogram;
    int step;
  };
  std::vector<Export> exports;
  std::vector<DirectoryRun> runs;
  bool writesCsv = false;
};

// Waits until the chooser's answer has reached the entry `id`.
Step shownIn(const std::string& windowId, const std::string& id) {
  return ScriptedUser::waitFor([=] { return !entryText(windowId, id).empty(); });
}

// Types `text` into the entry `id` of the dialog and presses Enter.
Step typeEnter(const std::string& windowId, const std::string& id, const std::string& text) {
  return ScriptedUser::later([=] {
    auto* entry = findById<Gtk::Entry>(*visibleWindowById(windowId), id);
    entry->set_text(text);
    entry->activate();
  });
}

std::string labelText(const std::string& windowId, const std::string& id) {
  auto* label = findById<Gtk::Label>(*visibleWindowById(windowId), id);
  return label != nullptr ? std::string(label->get_text()) : "<no label>";
}

// Cavitra's dialogs over the use cases of a canvas, in a working folder that
// holds Cavitra's interface files and Lumora's main window file, whose menu
// items both programs share.
class CavitraDialogsTest : public ::testing::Test, CavitraSelected {
 protected:
  void SetUp() override {
    fs::copy(fs::path(CAVITRA_DATA_DIR) / "Glade", temp.work() / "Glade");
    for (const fs::path& folder : {xml, csv, pictures}) fs::create_directories(folder);
    Model::ModelFachade* model = controller.getModel();
    model->set_xml_folder(xml.string());
    model->set_csv_folder(csv.string());
    canvas = std::make_unique<ScrollImage>(controller.getImageClass(), nullptr);
    actions = std::make_unique<RecordingActions>(canvas.get(), &controller, &lateral, &bottom);
    settings = std::make_unique<PreferencesSample>(controller.getPreferences());
    parent.show();
  }

  // Runs what `open` opens while `user` plays `steps`.
  void play(const std::function<void()>& open, std::vector<Step> steps) {
    ScriptedUser user(std::move(steps));
    open();
    EXPECT_TRUE(user.finished()) << "the dialog closed before every step was played";
    EXPECT_FALSE(user.timedOut());
    messages = user.messages();
  }

  void playStep(std::vector<Step> steps, int algorithm = 4) {
    play([&] { ProcessSamplesGladeXmlStep dialog(settings.get(), actions.get(), stepFile, algorithm, &parent); },
         std::move(steps));
  }

  void playDirectory(std::vector<Step> steps) {
    play([&] { ProcessDirImages dialog(settings.get(), actions.get(), dirFile, &parent); }, std::move(steps));
  }

  TemporaryHome temp;
  const fs::path xml = temp.home() / "xml";
  const fs::path csv = temp.home() / "csv";
  const fs::path pictures = temp.home() / "pictures";
  ControllerFachade controller;
  Gtk::Paned lateral;
  Gtk::Paned bottom;
  Gtk::Window parent;
  std::unique_ptr<ScrollImage> canvas;
  std::unique_ptr<RecordingActions> actions;
  std::unique_ptr<PreferencesSample> settings;
  std::vector<std::string> messages;
};

// ---------------------------------------------------------------- interface files

TEST(CavitraInterfaceFiles, HoldEveryWidgetTheDialogsLookUp) {
  struct Widget {
    const char* id;
    GType type;
  };
  const std::vector<std::pair<std::string, std::vector<Widget>>> files = {
      {"processSamplesXmlStep.glade",
       {{"processSamplesXml", GTK_TYPE_WINDOW}, {"xmlButton", GTK_TYPE_BUTTON},
        {"selectImagesButton", GTK_TYPE_BUTTON}, {"cancelButton", GTK_TYPE_BUTTON}, {"ExportCSV", GTK_TYPE_BUTTON},
        {"xmlEntry", GTK_TYPE_ENTRY}, {"calibrationEntry", GTK_TYPE_ENTRY}, {"stepEntry", GTK_TYPE_ENTRY},
        {"paned1", GTK_TYPE_PANED}, {"checkboxCalibration", GTK_TYPE_CHECK_BUTTON},
        {"checkboxHistogram", GTK_TYPE_CHECK_BUTTON}, {"unity", GTK_TYPE_LABEL}, {"label8", GTK_TYPE_LABEL},
        {"box1", GTK_TYPE_BOX}}},
      {"processDirImages.glade",
       {{"processDirImages", GTK_TYPE_WINDOW}, {"xmlButton", GTK_TYPE_BUTTON}, {"imageButton", GTK_TYPE_BUTTON},
        {"cancelButton", GTK_TYPE_BUTTON}, {"okbutton", GTK_TYPE_BUTTON}, {"csvButton", GTK_TYPE_BUTTON},
        {"xmlEntry", GTK_TYPE_ENTRY}, {"imageEntry", GTK_TYPE_ENTRY}, {"csvEntry", GTK_TYPE_ENTRY},
        {"minDiameterEntry", GTK_TYPE_ENTRY}, {"maxDiameterEntry", GTK_TYPE_ENTRY},
        {"radiobutton1", GTK_TYPE_RADIO_BUTTON}, {"radiobutton2", GTK_TYPE_RADIO_BUTTON},
        {"checkboxFolders", GTK_TYPE_CHECK_BUTTON}}},
  };
  for (const auto& [file, widgets] : files) {
    auto builder = Gtk::Builder::create_from_file((fs::path(CAVITRA_DATA_DIR) / "Glade" / file).string());
    for (const Widget& widget : widgets) {
      GObject* object = builder->get_object(widget.id) ? builder->get_object(widget.id)->gobj() : nullptr;
      ASSERT_NE(object, nullptr) << file << ": " << widget.id;
      EXPECT_TRUE(G_TYPE_CHECK_INSTANCE_TYPE(object, widget.type)) << file << ": " << widget.id;
    }
  }
}

// ---------------------------------------------------------------- sample CSV dialog

TEST(TypedStep, IsAWholePixelStepOfAtLeastOneThatFitsAnInt) {
  struct Case {
    const char* text;
    double micrasPerPixel;
    std::optional<int> step;
  };
  const std::vector<Case> cases = {
      {"10", 0.5, 20},          // micras to pixels
      {"7,9", 1, 7},            // decimal comma, truncated
      {"7.9", 1, 7},            //
      {"0.5", 1, std::nullopt},  // rounds to no pixel: the histogram would never end
      {"0,3", 0.5, std::nullopt},
      {"2147483647", 1, INT_MAX},
      {"3e9", 1, std::nullopt},  // no int holds it
      {"1e-300", 1e-310, std::nullopt},
      {"-5", 1, std::nullopt},
      {"0", 1, std::nullopt},
      {"ten", 1, std::nullopt},
      {"", 1, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProcessSamplesStep::typedStep(c.text, c.micrasPerPixel), c.step) << c.text << " / " << c.micrasPerPixel;
}

TEST_F(CavitraDialogsTest, StepAndCalibrationEntriesStoreOnlyValidValuesAndAlwaysShowTheStoredOnes) {
  settings->setCalibration(0.5);
  struct Seen {
    std::string calibration;
    std::string step;
    std::string unit;
  };
  std::vector<Seen> seen;
  const auto see = [&] {
    return look([&] {
      seen.push_back({entryText(stepWindow, "calibrationEntry"), entryText(stepWindow, "stepEntry"),
                      labelText(stepWindow, "unity")});
    });
  };
  bool modalOverParent = false;
  playStep({look([&] {
              Gtk::Window* window = visibleWindowById(stepWindow);
              modalOverParent = window->get_modal() && window->get_transient_for() == &parent;
            }),
            see(),
            typeEnter(stepWindow, "stepEntry", "10"), see(),    // 10 micras at 0.5: 20 pixels
            typeEnter(stepWindow, "stepEntry", "0,3"), see(),   // under a pixel: refused
            typeEnter(stepWindow, "calibrationEntry", "-1"), see(),
            ScriptedUser::click(stepWindow, "checkboxCalibration"), see(),  // calibration off
            typeEnter(stepWindow, "stepEntry", "7,9"), see(),
            typeEnter(stepWindow, "calibrationEntry", "3"), see(),
            ScriptedUser::click(stepWindow, "checkboxHistogram"),  // histogram off
            typeEnter(stepWindow, "stepEntry", "15"), see(),
            ScriptedUser::click(stepWindow, "ExportCSV"),
            ScriptedUser::answerChooser("Please choose a CSV file", {(csv / "sample").string()}),
            ScriptedUser::waitFor([&] { return actions->exports.size() == 1; }),
            ScriptedUser::click(stepWindow, "cancelButton")});

  EXPECT_TRUE(modalOverParent);
  const std::vector<std::vector<std::string>> expected = {
      {"0.500000", "5.000000", "micras"},   // the default step of 10 pixels
      {"0.500000", "10.000000", "micras"},  //
      {"0.500000", "10.000000", "micras"},  //
      {"0.500000", "10.000000", "micras"},  //
      {"1,0", "20", "pixels"},              //
      {"1,0", "7", "pixels"},               //
      {"1,0", "7", "pixels"},               //
      {"1,0", "7", "pixels"},               //
  };
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i)
    EXPECT_EQ((std::vector<std::string>{seen[i].calibration, seen[i].step, seen[i].unit}), expected[i]) << "view " << i;
  // The calibration is the program's own: switched off, and its factor reset.
  EXPECT_FALSE(controller.getPreferences()->isCalibrationActive());
  EXPECT_EQ(controller.getPreferences()->getCalibration(), 1.0);
  ASSERT_EQ(actions->exports.size(), 1u);
  EXPECT_EQ(actions->exports[0].file, (csv / "sample.csv").string());
  EXPECT_FALSE(actions->exports[0].histogram);
  EXPECT_EQ(actions->exports[0].step, 7);
}

TEST_F(CavitraDialogsTest, StepIsHiddenOnlyUnderTheAlgorithmsWithoutHistogram) {
  for (const int algorithm : {8, 104, 4, 3, 10}) {
    bool labelShown = false;
    bool boxShown = false;
    playStep({look([&] {
                Gtk::Window* window = visibleWindowById(stepWindow);
                labelShown = findById<Gtk::Label>(*window, "label8")->get_visible();
                boxShown = findById<Gtk::Box>(*window, "box1")->get_visible();
              }),
              ScriptedUser::click(stepWindow, "cancelButton")},
             algorithm);
    const bool shown = algorithm != 8 && algorithm != 104;
    EXPECT_EQ(labelShown, shown) << algorithm;
    EXPECT_EQ(boxShown, shown) << algorithm;
  }
}

TEST_F(CavitraDialogsTest, DialogsWithoutTheirInterfaceFileAreReportedAndNotShown) {
  for (const char* file : {stepFile, dirFile}) {
    fs::remove(temp.work() / file);
    play(
        [&] {
          if (std::string(file) == stepFile)
            ProcessSamplesGladeXmlStep dialog(settings.get(), actions.get(), file, 4, &parent);
          else
            ProcessDirImages dialog(settings.get(), actions.get(), file, &parent);
        },
        {});
    ASSERT_EQ(messages.size(), 1u) << file;
    EXPECT_NE(messages[0].find(file), std::string::npos) << messages[0];
  }
}

// ---------------------------------------------------------------- folder batch dialog

TEST(DirectoryDiameters, KeepTheMinimumAtLeastFourAndThreeBelowTheMaximum) {
  struct Case {
    int value;
    int other;
    bool accepted;
  };
  for (const Case& c : {Case{3, 200, false}, Case{4, 200, true}, Case{197, 200, true}, Case{198, 200, false},
                        Case{-5, 200, false}, Case{INT_MAX, INT_MIN, false}})
    EXPECT_EQ(ProcessDirImages::acceptsMinimum(c.value, c.other), c.accepted) << "minimum " << c.value;
  for (const Case& c : {Case{12, 10, false}, Case{13, 10, true}, Case{100000, 10, true}, Case{INT_MIN, INT_MAX, false}})
    EXPECT_EQ(ProcessDirImages::acceptsMaximum(c.value, c.other), c.accepted) << "maximum " << c.value;
}

TEST_F(CavitraDialogsTest, DirectoryDiametersAreValidatedAndEverythingIsRecordedOnlyOnOkWithThreePaths) {
  ASSERT_EQ(settings->getMinimumDiameter(), 10);
  ASSERT_EQ(settings->getMaximumDiameter(), 200);
  std::vector<std::string> shown;
  const auto see = [&] {
    return look([&] {
      shown.push_back(entryText(dirWindow, "minDiameterEntry") + "/" + entryText(dirWindow, "maxDiameterEntry"));
    });
  };
  const auto chooseAll = [&](bool withImages) {
    std::vector<Step> steps = {ScriptedUser::click(dirWindow, "xmlButton"),
                               ScriptedUser::answerChooser("Please choose a XML files folder", {xml.string()}),
                               ScriptedUser::click(dirWindow, "csvButton"),
                               ScriptedUser::answerChooser("Please choose a CSV file", {(csv / "folder").string()}),
                               shownIn(dirWindow, "csvEntry")};
    if (withImages) {
      steps.push_back(ScriptedUser::click(dirWindow, "imageButton"));
      steps.push_back(ScriptedUser::answerChooser("Please choose an image folder", {pictures.string()}));
      steps.push_back(shownIn(dirWindow, "imageEntry"));
    }
    return steps;
  };

  // OK without a picture folder, and Cancel, record nothing.
  std::vector<Step> missing = chooseAll(false);
  missing.push_back(typeEnter(dirWindow, "minDiameterEntry", "20"));
  missing.push_back(ScriptedUser::click(dirWindow, "okbutton"));
  playDirectory(missing);
  std::vector<Step> cancelled = chooseAll(true);
  cancelled.push_back(ScriptedUser::click(dirWindow, "cancelButton"));
  playDirectory(cancelled);
  EXPECT_EQ(settings->getCSVFile(), "");
  EXPECT_EQ(settings->getMinimumDiameter(), 10);

  std::vector<Step> steps = {see(),
                             typeEnter(dirWindow, "minDiameterEntry", "3"), see(),
                             typeEnter(dirWindow, "minDiameterEntry", "198"), see(),
                             typeEnter(dirWindow, "minDiameterEntry", "197"), see(),
                             typeEnter(dirWindow, "maxDiameterEntry", "199"), see(),
                             typeEnter(dirWindow, "maxDiameterEntry", "100000"), see(),
                             typeEnter(dirWindow, "minDiameterEntry", "12"), see(),
                             ScriptedUser::click(dirWindow, "radiobutton2"),
                             ScriptedUser::click(dirWindow, "checkboxFolders")};
  for (Step& step : chooseAll(true)) steps.push_back(step);
  steps.push_back(ScriptedUser::click(dirWindow, "okbutton"));
  playDirectory(steps);

  EXPECT_EQ(shown, (std::vector<std::string>{"10/200", "10/200", "10/200", "197/200", "197/200", "197/100000",
                                             "12/100000"}));
  EXPECT_EQ(settings->getCSVFile(), (csv / "folder.csv").string());
  EXPECT_EQ(settings->getImagePath(), pictures.string());
  EXPECT_EQ(settings->getXmlPath(), xml.string());
  EXPECT_TRUE(settings->isProcessDir());
  EXPECT_EQ(settings->getMinimumDiameter(), 12);
  EXPECT_EQ(settings->getMaximumDiameter(), 100000);
  EXPECT_EQ(settings->getTypeImages(), 1);
  // The picture folder is the program's own.
  EXPECT_EQ(controller.getPreferences()->getImagePath(), pictures.string());
}

// ---------------------------------------------------------------- menu bar

TEST(CavitraMenuItems, HiddenByAlgorithmNumber) {
  const std::vector<std::pair<int, std::vector<std::string>>> cases = {
      {4, {"resultsTable", "menuProcessingImages", "Classification"}},
      {3, {"resultsTable", "Classification"}},
      {10, {"resultsTable", "menuProcessingImages"}},
  };
  for (const auto& [algorithm, hidden] : cases)
    EXPECT_EQ(MenuProfile::cavitra().hiddenItems(algorithm), hidden) << algorithm;
}

// Cavitra's menu over the main window's interface file.
class CavitraMenuTest : public CavitraDialogsTest {
 protected:
  void SetUp() override {
    CavitraDialogsTest::SetUp();
    ViewProfile::select(ViewProfile::cavitra());
    builder = Gtk::Builder::create_from_file(LUMORA_DATA_DIR "/Glade/interfaz.glade");
    Gtk::MenuBar* bar = nullptr;
    builder->get_widget("menu", bar);
    menu = std::make_unique<Menu>(actions.get(), bar, builder, &controller);
  }
  void TearDown() override {
    menu.reset();
    ViewProfile::select(ViewProfile::lumora());
  }

  Glib::RefPtr<Gtk::Builder> builder;
  std::unique_ptr<Menu> menu;
};

TEST_F(CavitraMenuTest, ResetRestoresTheDefaultsInTheSameSettingsAndTheProgramGoesOn) {
  Preferences* inUse = controller.getPreferences();
  inUse->setCalibration(0.25);
  inUse->setXmlPath("/somewhere");
  const fs::path folder = temp.home() / inUse->getPreferencesDir();
  fs::create_directories(folder);
  writeFileText(folder / "preferences.xml", "<Preferences/>");
  bool dialogOnDefaults = false;
  // The preferences dialog opens on the defaults once the message is answered.
  play([&] { menu->resetPreferencesClick(); },
       {ScriptedUser::waitFor([] { return visibleWindowById("windowPreferences") != nullptr; }),
        look([&] { dialogOnDefaults = entryText("windowPreferences", "xmlEntry") != "/somewhere"; }),
        ScriptedUser::click("windowPreferences", "cancelButton")});
  EXPECT_TRUE(dialogOnDefaults);
  EXPECT_EQ(messages, std::vector<std::string>{"All the preferences have been reset"});
  EXPECT_EQ(controller.getPreferences(), inUse);
  EXPECT_FALSE(inUse->isCalibrationActive());
  EXPECT_NE(inUse->getXmlPath(), "/somewhere");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(CavitraMenuTest, EachSampleBatchStartsFromFreshSettingsOverTheCurrentOnes) {
  std::string stepShown;
  play([&] { menu->processingSamplesClick(); },
       {typeEnter(stepWindow, "stepEntry", "25"), ScriptedUser::click(stepWindow, "cancelButton")});
  play([&] { menu->processingSamplesClick(); },
       {look([&] { stepShown = entryText(stepWindow, "stepEntry"); }),
        ScriptedUser::click(stepWindow, "cancelButton")});
  EXPECT_EQ(stepShown, "10");
}

TEST_F(CavitraMenuTest, FolderBatchRunsOnlyUnderItsAlgorithmAndReportsSuccessOnlyWhenItWrote) {
  // Under the default algorithm the command does nothing.
  play([&] { menu->processingImagesClick(); }, {});
  EXPECT_TRUE(messages.empty());

  controller.getPreferences()->setAlgorithm(3);
  const auto okWithPaths = [&] {
    return std::vector<Step>{ScriptedUser::click(dirWindow, "xmlButton"),
                             ScriptedUser::answerChooser("Please choose a XML files folder", {xml.string()}),
                             ScriptedUser::click(dirWindow, "imageButton"),
                             ScriptedUser::answerChooser("Please choose an image folder", {pictures.string()}),
                             ScriptedUser::click(dirWindow, "csvButton"),
                             ScriptedUser::answerChooser("Please choose a CSV file", {(csv / "run").string()}),
                             shownIn(dirWindow, "csvEntry"), ScriptedUser::click(dirWindow, "okbutton")};
  };
  const std::string written = (csv / "run.csv").string();
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool writes;
    std::vector<std::string> messages;
    std::size_t runs;
  };
  std::vector<Case> cases;
  cases.push_back({"cancel", {ScriptedUser::click(dirWindow, "cancelButton")}, false, {}, 0});
  cases.push_back({"nothing written", okWithPaths(), false, {"No results were written to " + written + "."}, 1});
  cases.push_back({"written", okWithPaths(), true, {"Results saved in " + written}, 2});
  for (Case& c : cases) {
    actions->writesCsv = c.writes;
    play([&] { menu->processingImagesClick(); }, c.steps);
    EXPECT_EQ(messages, c.messages) << c.name;
    EXPECT_EQ(actions->runs.size(), c.runs) << c.name;
  }
  ASSERT_EQ(actions->runs.size(), 2u);
  EXPECT_EQ(actions->runs[1].csv, written);
  EXPECT_EQ(actions->runs[1].mindim, 10);
  EXPECT_EQ(actions->runs[1].maxdim, 200);
}

}  // namespace
