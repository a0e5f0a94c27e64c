#include <gtest/gtest.h>
#include <gtkmm.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "AnnotatedTrainingSet.h"
#include "ControllerFachade.h"
#include "FileText.h"
#include "Menu.h"
#include "ModelFachade.h"
#include "OocytePainter.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "StartedProgramTest.h"
#include "UnsavedWorkQuestion.h"
#include "WidgetById.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;
constexpr auto look = &ScriptedUser::look;

// The lines of a text, without their ends.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  return lines;
}

regionShape* square(int id, double x0, double y0, double side) {
  auto* region = new regionShape(id, true, false, false, true, 0, 1, 1);
  region->addLinePoint(x0, y0);
  region->addLinePoint(x0 + side, y0);
  region->addLinePoint(x0 + side, y0 + side);
  region->addLinePoint(x0, y0 + side);
  return region;
}

// Lumora started from a copy of its run folder, with folders of the test's own.
class MenuTest : public StartedProgramTest {
 protected:
  MenuTest() : StartedProgramTest(LUMORA_RUN_DIR, "lumora") {}

  void SetUp() override {
    StartedProgramTest::SetUp();
    for (const fs::path& folder : {xml, csv}) fs::create_directories(folder);
  }

  // Settings of the running program: folders of the test's own.
  Step useTestFolders() {
    return look([this] {
      Model::ModelFachade* model = controller->getModel();
      model->set_xml_folder(xml.string());
      model->set_csv_folder(csv.string());
    });
  }

  // Records the name and folder that the save chooser titled `title` proposes.
  Step proposal(const std::string& title, std::string& name, std::string& folder) {
    return [title, &name, &folder] {
      auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(ScriptedUser::visibleWindow(title));
      if (chooser == nullptr || chooser->get_current_folder().empty()) return false;
      name = chooser->get_current_name();
      folder = chooser->get_current_folder();
      return true;
    };
  }

  // An annotation file of the start picture's size with `count` regions.
  static void writeAnnotation(const fs::path& file, int count) {
    std::vector<baseShape*> shapes;
    for (int i = 0; i < count; ++i) shapes.push_back(square(i + 1, 0.1 + 0.2 * i, 0.2, 0.1));
    StartedProgramTest::writeAnnotation(file, "C:/img/section.png", 1600, 1200, shapes);
  }

  const fs::path xml = temp.home() / "xml";
  const fs::path csv = temp.home() / "csv";
  const fs::path settings = temp.home() / ".zelvora";
};

TEST_F(MenuTest, ItemsHiddenAtStartAndEveryOtherItemRunsAnAction) {
  std::vector<std::string> hidden;
  std::vector<std::string> withoutAction;
  run({look([&] {
         for (const char* id : {"openImage",
                                "openImageXML",
                                "openXML",
                                "saveXML",
                                "exportCSV",
                                "preferences",
                                "resetPreferences",
                                "draw",
                                "exit",
                                "undoMenu",
                                "redoMenu",
                                "fitImageMenu",
                                "originalSizeMenu",
                                "processingPanel",
                                "resultsTable",
                                "XML files",
                                "menuProcessingImages",
                                "Classify",
                                "trainClassifier",
                                "userManual",
                                "aboutUs"}) {
           auto* item = findById<Gtk::MenuItem>(mainWindow(), id);
           ASSERT_NE(item, nullptr) << id;
           if (!item->get_visible()) hidden.push_back(id);
           // An item whose action is missing or disabled cannot be chosen.
           if (!item->get_sensitive() || !gtk_widget_is_sensitive(GTK_WIDGET(item->gobj())))
             withoutAction.push_back(id);
         }
       }),
       choose("exit")});
  EXPECT_EQ(hidden, (std::vector<std::string>{"undoMenu", "redoMenu", "resultsTable", "menuProcessingImages"}));
  EXPECT_TRUE(withoutAction.empty()) << withoutAction.front();
}

TEST_F(MenuTest, AnnotationAndResultsGoThroughTheSaveChoosersUnderThePicturesName) {
  writeAnnotation(xml / "fixture.xml", 2);
  std::string xmlName, xmlFolder, csvName, csvFolder;
  std::size_t shapesShown = 0;
  const int status =
      run({useTestFolders(),
           // Before any picture is opened the choosers propose the start
           // picture's name; cancelling writes nothing.
           choose("saveXML"), proposal("Please choose a XML file", xmlName, xmlFolder),
           ScriptedUser::answerChooser("Please choose a XML file", {}, Gtk::RESPONSE_CANCEL), choose("exportCSV"),
           proposal("Please choose a CSV file", csvName, csvFolder),
           ScriptedUser::answerChooser("Please choose a CSV file", {}, Gtk::RESPONSE_CANCEL), choose("openXML"),
           ScriptedUser::answerChooser("Please choose a file", {(xml / "fixture.xml").string()}),
           look([&] { shapesShown = canvas()->getPolygonsNew().size(); }), choose("saveXML"),
           ScriptedUser::answerChooser("Please choose a XML file", {(xml / "saved.xml").string()}),
           ScriptedUser::waitFor([&] { return fs::exists(xml / "saved.xml"); }), choose("exportCSV"),
           ScriptedUser::answerChooser("Please choose a CSV file", {(csv / "results.csv").string()}),
           ScriptedUser::waitFor([&] { return fs::exists(csv / "results.csv"); }), choose("exit")});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(shapesShown, 2u);
  EXPECT_EQ(xmlName, "gonada.xml");
  EXPECT_EQ(xmlFolder, xml.string());
  EXPECT_EQ(csvName, "gonada.csv");
  EXPECT_EQ(csvFolder, csv.string());
  EXPECT_EQ(std::distance(fs::directory_iterator(xml), fs::directory_iterator()), 2);
  EXPECT_EQ(readFileText(xml / "saved.xml").find("<Poligonos"), readFileText(xml / "fixture.xml").find("<Poligonos"));
  const std::vector<std::string> rows = linesOf(readFileText(csv / "results.csv"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].rfind("Image;image area;", 0), 0u) << rows[0];
  for (const std::string& message : messages) EXPECT_EQ(message.find("could not"), std::string::npos) << message;
}

TEST_F(MenuTest, PreferencesOpenFromTheMenuAndTheWindowFollowsTheirApply) {
  bool panelCalibrated = false;
  run({choose("preferences"), ScriptedUser::waitFor([] { return visibleWindowById("windowPreferences") != nullptr; }),
       look([] {
         Gtk::Window* dialog = visibleWindowById("windowPreferences");
         findById<Gtk::CheckButton>(*dialog, "checkboxCalibration")->set_active(true);
         auto* entry = findById<Gtk::Entry>(*dialog, "calibrationEntry");
         entry->set_text("0,5");
         entry->activate();
       }),
       ScriptedUser::click("windowPreferences", "applyButton"),
       ScriptedUser::waitFor([] { return visibleWindowById("windowPreferences") == nullptr; }),
       look([&] { panelCalibrated = findById<Gtk::CheckButton>(mainWindow(), "checkboxCalibration")->get_active(); }),
       choose("exit")});
  EXPECT_TRUE(panelCalibrated);
  EXPECT_NE(readFileText(settings / "preferences.xml").find("0.5"), std::string::npos);
}

TEST_F(MenuTest, ResetAsksFirstThenEmptiesTheSettingsFolderAndTheNextStartMakesSpeciesAAgain) {
  const std::string question =
      "Preferences are reset and quit the program. Every trained species is deleted with them.";
  std::string asked;
  bool keptAfterCancel = false;
  const int status =
      run({choose("resetPreferences"),
           [&] {
             auto* box = DialogAnswerer::visible<Gtk::MessageDialog>();
             if (box == nullptr) return false;
             asked = box->property_secondary_text().get_value();
             box->response(Gtk::RESPONSE_CANCEL);
             return true;
           },
           look([&] { keptAfterCancel = fs::exists(settings / "A" / "svm_stages.dat"); }), choose("resetPreferences"),
           ScriptedUser::answerQuestion("Termination dialog", Gtk::RESPONSE_OK)});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(asked, question);
  EXPECT_TRUE(keptAfterCancel);
  EXPECT_TRUE(fs::is_directory(settings));
  EXPECT_TRUE(fs::is_empty(settings));

  run({choose("exit")});
  for (const char* file : {"preferences.xml", "A/med_desv.dat", "A/svm_nucleous.dat", "A/svm_stages.dat"})
    EXPECT_TRUE(fs::is_regular_file(settings / file)) << file;
}

TEST_F(MenuTest, BatchDialogWritesTheSampleCsvOfTheChosenAnnotationFiles) {
  writeAnnotation(xml / "three.xml", 3);
  writeAnnotation(xml / "none.xml", 0);
  run({useTestFolders(), choose("XML files"), ScriptedUser::click("processSamplesXml", "selectImagesButton"),
       ScriptedUser::answerChooser("Please choose XML files",
                                   {(xml / "none.xml").string(), (xml / "three.xml").string()}),
       ScriptedUser::click("processSamplesXml", "ExportCSV"),
       ScriptedUser::answerChooser("Save CSV as", {(csv / "sample").string()}),
       ScriptedUser::waitFor([&] { return fs::exists(csv / "sample.csv"); }),
       ScriptedUser::click("processSamplesXml", "cancelButton"),
       ScriptedUser::waitFor([] { return visibleWindowById("processSamplesXml") == nullptr; }), choose("exit")});
  const std::vector<std::string> rows = linesOf(readFileText(csv / "sample.csv"));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "Image;image area;Calibration;Species;ID;Diameter;Area;Stage;Visible nuclous; Count; Measure");
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].rfind("C:/img/section.png;", 0), 0u) << rows[i];
  for (const std::string& message : messages) EXPECT_EQ(message.find("could not"), std::string::npos) << message;
}

TEST_F(MenuTest, TrainingDialogTrainsTheChosenSpeciesAndItsClassifiersClassifyAtOnce) {
  // Annotated pictures of the painter's cells, beside their annotation files.
  const fs::path folder = temp.home() / "training";
  fs::create_directories(folder);
  defaultspecies::AnnotatedTrainingSet set(folder.string(), 10, 800);
  defaultspecies::OocytePainter painter(77);
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(set.add(painter.paint(), "section" + std::to_string(i)));
  std::vector<std::string> pictures;
  for (int i = 0; i < 7; ++i) pictures.push_back((folder / ("section" + std::to_string(i) + ".png")).string());
  std::string speciesName;
  std::string shipped;
  std::vector<int> classes;
  run({look([&] {
         shipped = readFileText(settings / "A" / "svm_stages.dat");
         Model::ModelFachade* model = controller->getModel();
         model->set_image_folder(folder.string());
         model->set_xml_folder(folder.string());
         speciesName = model->getPreferences()->getProblemNames().at(0);
       }),
       choose("trainClassifier"), ScriptedUser::waitFor([] { return visibleWindowById("TrainClassifier") != nullptr; }),
       look([&] {
         findById<Gtk::ComboBoxText>(*visibleWindowById("TrainClassifier"), "ComboBoxTextSelectSpecies")
             ->set_active_text(speciesName);
       }),
       ScriptedUser::click("TrainClassifier", "selectImagesButton"),
       ScriptedUser::answerChooser("Please choose image files", pictures),
       ScriptedUser::click("TrainClassifier", "OkButton"),
       ScriptedUser::waitFor([] { return visibleWindowById("TrainClassifier") == nullptr; }),
       // The start picture's cells, detected and classified from the menu.
       ScriptedUser::later([&] {
         findById<Gtk::Button>(mainWindow(), "buttonRun")->clicked();
         findById<Gtk::MenuItem>(mainWindow(), "Classify")->activate();
         for (baseShape* shape : canvas()->getPolygonsNew())
           if (shape->getVisible()) classes.push_back(shape->getClase());
       }),
       // The classes are dropped with the program.
       ScriptedUser::waitFor([&] { return !classes.empty(); }), choose("exit"),
       answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse)});
  ASSERT_FALSE(speciesName.empty());
  EXPECT_NE(std::find(messages.begin(), messages.end(), "Configuration of classifier has been loaded"), messages.end());
  EXPECT_NE(readFileText(settings / "A" / "svm_stages.dat"), shipped);
  ASSERT_FALSE(classes.empty());
  for (int clase : classes) EXPECT_GE(clase, 1);
}

// The files chosen for a sample CSV stay out of a training: with nothing
// chosen in its own lists, the training dialog trains nothing and says so.
TEST_F(MenuTest, TrainingDialogTrainsNothingOfWhatTheBatchDialogChose) {
  std::vector<std::string> annotations;
  for (int i = 0; i < 7; ++i) {
    const fs::path file = xml / ("section" + std::to_string(i) + ".xml");
    writeAnnotation(file, 3);
    annotations.push_back(file.string());
  }
  const auto speciesFiles = [this] {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(settings / "A"))
      files[entry.path().filename().string()] = readFileText(entry.path());
    return files;
  };
  std::map<std::string, std::string> before;
  std::vector<std::string> rows = {"<not looked at>"};
  run({look([&] { before = speciesFiles(); }), useTestFolders(), choose("XML files"),
       ScriptedUser::click("processSamplesXml", "selectImagesButton"),
       ScriptedUser::answerChooser("Please choose XML files", annotations),
       ScriptedUser::click("processSamplesXml", "cancelButton"),
       ScriptedUser::waitFor([] { return visibleWindowById("processSamplesXml") == nullptr; }),
       choose("trainClassifier"), ScriptedUser::waitFor([] { return visibleWindowById("TrainClassifier") != nullptr; }),
       look([&] {
         rows.clear();
         auto* list = ScriptedUser::findWidget<Gtk::TreeView>(visibleWindowById("TrainClassifier"));
         for (const Gtk::TreeRow& row : list->get_model()->children()) {
           Glib::ustring text;
           row.get_value(0, text);
           rows.push_back(text);
         }
       }),
       ScriptedUser::click("TrainClassifier", "OkButton"),
       ScriptedUser::waitFor([] { return visibleWindowById("TrainClassifier") == nullptr; }), choose("exit")});
  EXPECT_TRUE(rows.empty());
  const std::string noSpecies = "No species is selected: choose the species to train in the list.";
  EXPECT_NE(std::find(messages.begin(), messages.end(), noSpecies), messages.end());
  for (const std::string& message : messages) EXPECT_EQ(message.find("training process"), std::string::npos) << message;
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(speciesFiles(), before);
}

}  // namespace
