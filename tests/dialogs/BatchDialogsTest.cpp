#include <gtest/gtest.h>
#include <gtkmm.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "ProcessSamples.h"
#include "ProcessSamplesGladeXml.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "TemporaryHome.h"
#include "TrainClassifierGladeZelvora.h"
#include "WidgetById.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;

const char* const batchWindow = "processSamplesXml";
const char* const trainingWindow = "TrainClassifier";
const char* const trainingFile = "Glade/trainClassifierZelvora.glade";

// What a training request carried.
struct Training {
  std::vector<std::string> files;
  std::string xmlFolder;
  std::string imageFolder;
  int species;
};

// Use cases that record the export and training requests instead of doing
// them; a training may be told to fail.
class RecordingActions : public Actions {
 public:
  using Actions::Actions;

  void saveCSVSample(PreferencesSample* settings) override {
    exports.push_back(settings->getCSVFile());
    exportedFiles.push_back(settings->getImagesFiles());
  }
  void trainClassifier(std::vector<std::string> files, std::string dirXml, std::string dirImg, int problem) override {
    trainings.push_back({files, dirXml, dirImg, problem});
    if (failure) failure();
  }

  std::vector<std::string> exports;
  std::vector<std::vector<std::string>> exportedFiles;
  std::vector<Training> trainings;
  std::function<void()> failure;
};

// The rows of the file list that the dialog `windowId` shows.
std::vector<std::string> listRows(const std::string& windowId) {
  std::vector<std::string> rows;
  auto* view = ScriptedUser::findWidget<Gtk::TreeView>(visibleWindowById(windowId));
  if (view == nullptr) return {"<no list>"};
  for (const Gtk::TreeRow& row : view->get_model()->children()) {
    Glib::ustring text;
    row.get_value(0, text);
    rows.push_back(text);
  }
  return rows;
}

constexpr auto look = &ScriptedUser::look;

// Chooses the species `name` in the training dialog's list once it shows.
Step chooseSpecies(const std::string& name) {
  return [name] {
    Gtk::Window* window = visibleWindowById(trainingWindow);
    auto* list = window != nullptr ? ScriptedUser::findWidget<Gtk::ComboBoxText>(window) : nullptr;
    if (list == nullptr) return false;
    list->set_active_text(name);
    return true;
  };
}

// The dialogs over the use cases of a canvas, in a working folder that holds
// the interface files, with folders of annotation files and pictures.
class BatchDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(fs::path(LUMORA_DATA_DIR) / "Glade", temp.work() / "Glade");
    for (const fs::path& folder : {xml, other, csv, pictures}) fs::create_directories(folder);
    for (const char* name : {"a.xml", "b.xml", "c.xml"}) writeFileText(xml / name, "<Poligonos/>");
    for (const char* name : {"a.png", "b.png"}) writeFileText(pictures / name, "");
    Model::ModelFachade* model = controller.getModel();
    model->set_xml_folder(xml.string());
    model->set_csv_folder(csv.string());
    model->set_image_folder(pictures.string());
    settings = model->getPreferencesSample();
    canvas = std::make_unique<ScrollImage>(controller.getImageClass(), nullptr);
    actions = std::make_unique<RecordingActions>(canvas.get(), &controller, &lateral, &bottom);
    parent.show();
  }

  // Runs the dialog made by `open` while `user` plays `steps`.
  void play(const std::function<void()>& open, std::vector<Step> steps) {
    ScriptedUser user(std::move(steps));
    open();
    EXPECT_TRUE(user.finished()) << "the dialog closed before every step was played";
    EXPECT_FALSE(user.timedOut());
    messages = user.messages();
  }

  void playBatch(std::vector<Step> steps) {
    play([this] { ProcessSamplesGladeXml dialog(settings, actions.get(), &parent); }, std::move(steps));
  }

  void playTraining(std::vector<Step> steps) {
    play([this] { TrainClassifierGladeZelvora dialog(trainingFile, settings, actions.get(), &parent); },
         std::move(steps));
  }

  void nameSpecies(const std::vector<std::string>& names) {
    std::vector<std::string> all = names;
    all.resize(30);
    controller.getPreferences()->setProblemNames(all);
  }

  TemporaryHome temp;
  const fs::path xml = temp.home() / "xml";
  const fs::path other = temp.home() / "other xml";
  const fs::path csv = temp.home() / "csv";
  const fs::path pictures = temp.home() / "pictures";
  ControllerFachade controller;
  PreferencesSample* settings = nullptr;
  Gtk::Paned lateral;
  Gtk::Paned bottom;
  Gtk::Window parent;
  std::unique_ptr<ScrollImage> canvas;
  std::unique_ptr<RecordingActions> actions;
  std::vector<std::string> messages;
};

// ---------------------------------------------------------------- batch samples dialog

TEST(CsvFileName, AppendsTheEndingOnlyWhenItIsMissing) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"/tmp/sample", "/tmp/sample.csv"},
      {"/tmp/sample.csv", "/tmp/sample.csv"},
      {"/tmp/sample.txt", "/tmp/sample.txt.csv"},
      {"/tmp/sample.csvx", "/tmp/sample.csvx.csv"},
      {"/tmp/a.csv/sample", "/tmp/a.csv/sample.csv"},
      {".csv", ".csv"},
  };
  for (const auto& [chosen, written] : cases) EXPECT_EQ(ProcessSamples::csvFileName(chosen), written) << chosen;
}

TEST_F(BatchDialogsTest, BatchChoicesReachTheSettingsAndEachExportWritesTheNamedCsv) {
  std::string entryAtStart;
  std::string entryAfterFolder;
  std::vector<std::string> rows;
  const std::vector<std::string> chosen = {(other / "a.xml").string(), (other / "b.xml").string()};
  for (const char* name : {"a.xml", "b.xml"}) writeFileText(other / name, "<Poligonos/>");
  playBatch({look([&] { entryAtStart = entryText(batchWindow, "xmlEntry"); }),
             ScriptedUser::click(batchWindow, "xmlButton"),
             ScriptedUser::answerChooser("Please choose a XML files folder", {other.string()}),
             look([&] { entryAfterFolder = entryText(batchWindow, "xmlEntry"); }),
             ScriptedUser::click(batchWindow, "selectImagesButton"),
             ScriptedUser::answerChooser("Please choose XML files", chosen),
             look([&] { rows = listRows(batchWindow); }), ScriptedUser::click(batchWindow, "ExportCSV"),
             ScriptedUser::answerChooser("Save CSV as", {(csv / "sample").string()}),
             ScriptedUser::waitFor([&] { return actions->exports.size() == 1; }),
             ScriptedUser::click(batchWindow, "ExportCSV"),
             ScriptedUser::answerChooser("Save CSV as", {(csv / "second.csv").string()}),
             ScriptedUser::waitFor([&] { return actions->exports.size() == 2; }),
             ScriptedUser::click(batchWindow, "cancelButton")});

  EXPECT_EQ(entryAtStart, xml.string());
  EXPECT_EQ(entryAfterFolder, other.string());
  EXPECT_EQ(settings->getXmlPath(), other.string());
  EXPECT_EQ(rows, chosen);
  EXPECT_EQ(actions->exports, (std::vector<std::string>{(csv / "sample.csv").string(), (csv / "second.csv").string()}));
  ASSERT_EQ(actions->exportedFiles.size(), 2u);
  EXPECT_EQ(actions->exportedFiles[0], chosen);
  EXPECT_TRUE(messages.empty());
}

TEST_F(BatchDialogsTest, BatchAsksAboutTheFileItWritesBeforeReplacingIt) {
  writeFileText(csv / "old.csv", "kept");
  playBatch({ScriptedUser::click(batchWindow, "ExportCSV"),
             // Chosen without its ending: the question names the file written.
             ScriptedUser::answerChooser("Save CSV as", {(csv / "old").string()}),
             ScriptedUser::answerQuestion("\"old.csv\" already exists", Gtk::RESPONSE_CANCEL),
             // Declining leads back to the chooser.
             ScriptedUser::answerChooser("Save CSV as", {}, Gtk::RESPONSE_CANCEL),
             ScriptedUser::click(batchWindow, "ExportCSV"),
             ScriptedUser::answerChooser("Save CSV as", {(csv / "old").string()}),
             ScriptedUser::answerQuestion("\"old.csv\" already exists", Gtk::RESPONSE_ACCEPT),
             ScriptedUser::waitFor([&] { return !actions->exports.empty(); }),
             ScriptedUser::click(batchWindow, "cancelButton")});
  EXPECT_EQ(actions->exports, std::vector<std::string>{(csv / "old.csv").string()});
}

TEST_F(BatchDialogsTest, BatchPickingReplacesTheListAndCancellingEmptiesListAndSettings) {
  std::vector<std::string> first;
  std::vector<std::string> second;
  std::vector<std::string> storedSecond;
  std::vector<std::string> afterCancel;
  playBatch({ScriptedUser::click(batchWindow, "selectImagesButton"),
             ScriptedUser::answerChooser("Please choose XML files", {(xml / "a.xml").string(), (xml / "b.xml").string(),
                                                                     (xml / "c.xml").string()}),
             look([&] { first = listRows(batchWindow); }), ScriptedUser::click(batchWindow, "selectImagesButton"),
             ScriptedUser::answerChooser("Please choose XML files", {(xml / "c.xml").string()}), look([&] {
               second = listRows(batchWindow);
               storedSecond = settings->getImagesFiles();
             }),
             ScriptedUser::click(batchWindow, "selectImagesButton"),
             ScriptedUser::answerChooser("Please choose XML files", {}, Gtk::RESPONSE_CANCEL),
             look([&] { afterCancel = listRows(batchWindow); }), ScriptedUser::click(batchWindow, "xmlButton"),
             ScriptedUser::answerChooser("Please choose a XML files folder", {}, Gtk::RESPONSE_CANCEL),
             ScriptedUser::click(batchWindow, "cancelButton")});
  EXPECT_EQ(first.size(), 3u);
  EXPECT_EQ(second, std::vector<std::string>{(xml / "c.xml").string()});
  EXPECT_EQ(storedSecond, second);
  EXPECT_TRUE(afterCancel.empty());
  EXPECT_TRUE(settings->getImagesFiles().empty());
  // A cancelled folder choice changes nothing.
  EXPECT_EQ(settings->getXmlPath(), xml.string());
}

TEST_F(BatchDialogsTest, DialogWithoutItsInterfaceFileIsReportedAndNotShown) {
  for (const char* file : {"Glade/processSamplesXml.glade", trainingFile}) {
    fs::remove(temp.work() / file);
    play(
        [&] {
          if (std::string(file) == trainingFile)
            TrainClassifierGladeZelvora dialog(trainingFile, settings, actions.get(), &parent);
          else
            ProcessSamplesGladeXml dialog(settings, actions.get(), &parent);
        },
        {});
    ASSERT_EQ(messages.size(), 1u) << file;
    EXPECT_NE(messages[0].find(file), std::string::npos) << messages[0];
  }
  EXPECT_TRUE(actions->trainings.empty());
}

// ---------------------------------------------------------------- training dialog

TEST(SpeciesIndex, TheLastOfEqualNamesWins) {
  const std::vector<std::string> names = {"Sole", "", "Hake", "Sole", ""};
  EXPECT_EQ(TrainClassifierGladeZelvora::speciesIndex(names, "Sole"), 3);
  EXPECT_EQ(TrainClassifierGladeZelvora::speciesIndex(names, "Hake"), 2);
  EXPECT_EQ(TrainClassifierGladeZelvora::speciesIndex(names, "Cod"), -1);
}

TEST_F(BatchDialogsTest, TrainingOfTheChosenSpeciesRunsOnceThenTheDialogCloses) {
  nameSpecies({"Sole", "", "Hake", "Sole"});
  std::vector<std::string> offered;
  std::vector<std::string> rows;
  const std::vector<std::string> chosen = {(pictures / "a.png").string(), (pictures / "b.png").string()};
  playTraining({look([&] {
                  auto* combo = ScriptedUser::findWidget<Gtk::ComboBoxText>(visibleWindowById(trainingWindow));
                  for (const Gtk::TreeRow& row : combo->get_model()->children()) {
                    Glib::ustring text;
                    row.get_value(0, text);
                    offered.push_back(text);
                  }
                  EXPECT_EQ(combo->get_active_row_number(), -1);
                  combo->set_active_text("Sole");
                }),
                ScriptedUser::click(trainingWindow, "selectImagesButton"),
                ScriptedUser::answerChooser("Please choose image files", chosen),
                look([&] { rows = listRows(trainingWindow); }), ScriptedUser::click(trainingWindow, "OkButton")});
  EXPECT_EQ(offered, (std::vector<std::string>{"Sole", "Hake", "Sole"}));
  EXPECT_EQ(rows, chosen);
  ASSERT_EQ(actions->trainings.size(), 1u);
  const Training& training = actions->trainings[0];
  EXPECT_EQ(training.files, chosen);
  EXPECT_EQ(training.xmlFolder, xml.string());
  EXPECT_EQ(training.imageFolder, pictures.string());
  EXPECT_EQ(training.species, 3);
  EXPECT_EQ(settings->getProblemSelected(), 3);
  EXPECT_TRUE(settings->getImagesFiles().empty());
}

TEST_F(BatchDialogsTest, TrainingIsRefusedWithAMessageWithoutSpeciesOrPicturesAndNeverRunsOnCancel) {
  nameSpecies({"Sole"});
  const std::string picture = (pictures / "a.png").string();
  struct Case {
    const char* name;
    int settingsSpecies;  // what the settings held before the dialog opened
    bool chooseSpecies;
    bool choosePictures;
    const char* button;
    const char* message;  // a word of the message, or null for none
  };
  for (const Case& c : {Case{"no species chosen", -1, false, true, "OkButton", "species"},
                        Case{"the settings' species, none chosen", 0, false, true, "OkButton", "species"},
                        Case{"the settings' index past the species", 30, false, true, "OkButton", "species"},
                        Case{"no pictures", -1, true, false, "OkButton", "pictures"},
                        Case{"cancel", 0, true, true, "CancelButton", nullptr}}) {
    settings->setProblemSelected(c.settingsSpecies);
    std::vector<Step> steps;
    if (c.chooseSpecies) steps.push_back(chooseSpecies("Sole"));
    if (c.choosePictures) {
      steps.push_back(ScriptedUser::click(trainingWindow, "selectImagesButton"));
      steps.push_back(ScriptedUser::answerChooser("Please choose image files", {picture}));
    }
    steps.push_back(ScriptedUser::click(trainingWindow, c.button));
    playTraining(steps);
    EXPECT_TRUE(actions->trainings.empty()) << c.name;
    if (c.message == nullptr) {
      EXPECT_TRUE(messages.empty()) << c.name;
    } else {
      ASSERT_EQ(messages.size(), 1u) << c.name;
      EXPECT_NE(messages[0].find(c.message), std::string::npos) << c.name << ": " << messages[0];
    }
    EXPECT_TRUE(settings->getImagesFiles().empty()) << c.name;
  }
}

// The batch dialog and the training dialog share the settings' file list:
// the files chosen for a sample CSV are never trained on.
TEST_F(BatchDialogsTest, TrainingStartsWithNoPicturesWhateverTheBatchDialogChose) {
  nameSpecies({"Sole"});
  settings->setProblemSelected(0);
  const std::vector<std::string> batchFiles = {(xml / "a.xml").string(), (xml / "b.xml").string(),
                                               (xml / "c.xml").string()};
  playBatch({ScriptedUser::click(batchWindow, "selectImagesButton"),
             ScriptedUser::answerChooser("Please choose XML files", batchFiles),
             ScriptedUser::click(batchWindow, "cancelButton")});
  ASSERT_EQ(settings->getImagesFiles(), batchFiles);

  std::vector<std::string> rows = {"<not looked at>"};
  std::vector<std::string> stored = {"<not looked at>"};
  playTraining({look([&] {
                  rows = listRows(trainingWindow);
                  stored = settings->getImagesFiles();
                }),
                ScriptedUser::click(trainingWindow, "OkButton")});
  EXPECT_TRUE(rows.empty());
  EXPECT_TRUE(stored.empty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("species"), std::string::npos) << messages[0];

  // With the species chosen, the pictures are still missing.
  playBatch({ScriptedUser::click(batchWindow, "selectImagesButton"),
             ScriptedUser::answerChooser("Please choose XML files", batchFiles),
             ScriptedUser::click(batchWindow, "cancelButton")});
  playTraining({chooseSpecies("Sole"), ScriptedUser::click(trainingWindow, "OkButton")});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("pictures"), std::string::npos) << messages[0];
  EXPECT_TRUE(actions->trainings.empty());
}

TEST_F(BatchDialogsTest, TrainingThatThrowsIsReportedAndTheProgramGoesOn) {
  nameSpecies({"Sole"});
  const std::vector<std::function<void()>> failures = {[] { throw 2; },
                                                       [] { throw std::out_of_range("basic_string::substr"); }};
  for (const auto& failure : failures) {
    actions->failure = failure;
    playTraining({chooseSpecies("Sole"), ScriptedUser::click(trainingWindow, "selectImagesButton"),
                  ScriptedUser::answerChooser("Please choose image files", {(pictures / "a.png").string()}),
                  ScriptedUser::click(trainingWindow, "OkButton")});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("training stopped"), std::string::npos) << messages[0];
    EXPECT_TRUE(settings->getImagesFiles().empty());
  }
  EXPECT_EQ(actions->trainings.size(), 2u);
}

TEST_F(BatchDialogsTest, TrainingOpenedAgainShowsTheChosenFoldersAndNoPictures) {
  std::vector<std::string> rows;
  std::string imageEntry;
  std::string xmlEntry;
  playTraining({ScriptedUser::click(trainingWindow, "imageButton"),
                ScriptedUser::answerChooser("Please choose a image folder", {other.string()}),
                ScriptedUser::click(trainingWindow, "xmlButton"),
                ScriptedUser::answerChooser("Please choose a XML files folder", {csv.string()}),
                ScriptedUser::click(trainingWindow, "selectImagesButton"),
                ScriptedUser::answerChooser("Please choose image files", {(pictures / "a.png").string()}),
                ScriptedUser::click(trainingWindow, "CancelButton")});
  playTraining({look([&] {
                  rows = listRows(trainingWindow);
                  imageEntry = entryText(trainingWindow, "imageEntry");
                  xmlEntry = entryText(trainingWindow, "xmlEntry");
                }),
                ScriptedUser::click(trainingWindow, "CancelButton")});
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(imageEntry, other.string());
  EXPECT_EQ(xmlEntry, csv.string());
  EXPECT_TRUE(actions->trainings.empty());
}

}  // namespace
