#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "FileSystemCalls.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "Preferences.h"
#include "PreferencesDefaults.h"
#include "ProgramProfile.h"
#include "TemporaryHome.h"

namespace {

namespace fs = std::filesystem;

std::vector<double> blueRedGreenAlpha(const Gdk::RGBA& colour) {
  return {colour.get_blue(), colour.get_red(), colour.get_green(), colour.get_alpha()};
}

Gdk::RGBA rgba(double red, double green, double blue, double alpha) {
  Gdk::RGBA colour;
  colour.set_rgba(red, green, blue, alpha);
  return colour;
}

// The model of a program with a settings folder in a temporary home.
class PreferencesDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(settingsFile().parent_path()); }

  Preferences& settings() { return *model.getPreferences(); }
  fs::path settingsFile() const { return home.home() / ".zelvora" / "preferences.xml"; }

  // The settings as the preferences file writes them, to compare every
  // setting at once.
  std::string settingsText() {
    const fs::path file = home.work() / "compare.xml";
    EXPECT_TRUE(model.writePreferences(file.string()));
    std::string text = readFileText(file);
    fs::remove(file);
    return text;
  }

  TemporaryHome home;
  Model::ModelFachade model;
};

TEST_F(PreferencesDialogTest, OpensOnTheCurrentSettings) {
  settings().setPointPreferences({0.25, 0.5, 0.75, 1, 3});
  settings().setCirclePreferences({1, 0, 0, 0.5, 7});
  settings().setCalibration(0.5);
  settings().setDiameters(100, 400);
  settings().setImagePath("/pictures");
  settings().getProblemNames()[4] = "Sardine";
  settings().setProblemActive(4);
  auto colours = settings().getClassPreferences();
  colours.push_back({0, 0, 1, 1});
  colours.push_back({1, 0, 0, 1});
  settings().setClassPreferences(colours);
  auto names = settings().getClassNamesPreferences();
  names.push_back("Atresic");
  names.push_back("Spawned");
  settings().setClassNamesPreferences(names);
  const std::string before = settingsText();
  Gtk::Window mainWindow;

  runPreferencesDialog(
      model,
      [&](DialogView& view) {
        EXPECT_TRUE(view.window.get_modal());
        EXPECT_EQ(view.window.get_transient_for(), &mainWindow);
        EXPECT_EQ(blueRedGreenAlpha(view.get<Gtk::ColorButton>("colourPoint").get_rgba()),
                  (std::vector<double>{0.25, 0.5, 0.75, 1}));
        EXPECT_EQ(view.get<Gtk::ComboBoxText>("comboboxPoint").get_active_text(), "3");
        EXPECT_EQ(view.get<Gtk::ComboBoxText>("comboboxCircle").get_active_text(), "7");
        EXPECT_EQ(view.get<Gtk::ComboBoxText>("comboboxRegion").get_active_text(), "5");
        EXPECT_TRUE(view.get<Gtk::CheckButton>("checkboxCalibration").get_active());
        EXPECT_EQ(view.get<Gtk::Entry>("calibrationEntry").get_text(), "0.500000");
        EXPECT_EQ(view.get<Gtk::Entry>("entryMinDim").get_text(), "50.000000");
        EXPECT_EQ(view.get<Gtk::Entry>("entryMaxDim").get_text(), "200.000000");
        EXPECT_EQ(view.get<Gtk::Label>("parametrosValue").get_text(), "micras");
        EXPECT_EQ(view.get<Gtk::Entry>("imageEntry").get_text(), "/pictures");
        EXPECT_EQ(view.get<Gtk::Entry>("xmlEntry").get_text(), "/home");
        EXPECT_TRUE(view.get<Gtk::RadioButton>("rb5").get_active());
        EXPECT_FALSE(view.get<Gtk::RadioButton>("rb1").get_active());
        EXPECT_EQ(view.get<Gtk::Entry>("spiceEntry").get_text(), "Sardine");
        EXPECT_EQ(blueRedGreenAlpha(view.get<Gtk::ColorButton>("colourVoid").get_rgba()),
                  (std::vector<double>{1, 0, 1, 1}));
        EXPECT_TRUE(view.get<Gtk::Box>("box14").get_visible());
        EXPECT_TRUE(view.get<Gtk::Box>("box15").get_visible());
        EXPECT_FALSE(view.get<Gtk::Box>("box16").get_visible());
        EXPECT_EQ(view.get<Gtk::Entry>("classEntry").get_text(), "Atresic");
        EXPECT_EQ(view.get<Gtk::Entry>("classEntry1").get_text(), "Spawned");
        EXPECT_EQ(blueRedGreenAlpha(view.get<Gtk::ColorButton>("colorButton1").get_rgba()),
                  (std::vector<double>{1, 0, 0, 1}));
        for (const char* hidden : {"label8", "label12", "box3", "box6"})
          EXPECT_FALSE(view.get<Gtk::Widget>(hidden).get_visible()) << hidden;
        view.click("cancelButton");
      },
      &mainWindow);

  EXPECT_EQ(settingsText(), before);
}

TEST_F(PreferencesDialogTest, TheStoredProblemSelectsItsButton) {
  const struct {
    int stored;
    const char* activeButton;
    const char* shownName;
  } cases[] = {{0, "rb1", "First"}, {29, "rb30", "Last"}, {-1, "rb1", ""}, {45, "rb1", ""}};
  settings().getProblemNames()[0] = "First";
  settings().getProblemNames()[29] = "Last";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    settings().setProblemActive(c.stored);
    runPreferencesDialog(model, [&](DialogView& view) {
      for (int i = 1; i <= 30; ++i) {
        const std::string id = "rb" + std::to_string(i);
        EXPECT_EQ(view.get<Gtk::RadioButton>(id).get_active(), id == c.activeButton) << id;
      }
      EXPECT_EQ(view.get<Gtk::Entry>("spiceEntry").get_text(), c.shownName);
      view.click("okButton");
    });
    // A selection no button stands for is dropped; any other is kept.
    EXPECT_EQ(settings().getProblemActive(), c.stored == 45 ? -1 : c.stored);
  }
}

// The same edits of every kind, closed in each way the dialog can be.
struct ClosingCase {
  const char* name;
  const char* button;  // null: the window manager closes the window
  bool applies;
  bool writesSettingsFile;
};

class PreferencesClosingTest : public PreferencesDialogTest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(PreferencesClosingTest, AppliesAndWritesAsTheButtonSays) {
  const ClosingCase& closing = GetParam();
  const std::string before = settingsText();
  testing::internal::CaptureStdout();
  runPreferencesDialog(model, [&](DialogView& view) {
    view.get<Gtk::ColorButton>("colourCircle").set_rgba(rgba(0.5, 0.25, 1, 0.75));
    view.get<Gtk::ComboBoxText>("comboboxRegion").set_active(1);
    view.click("checkboxCalibration");
    view.enter("calibrationEntry", "2,5");
    // 300 micrometres at 2.5 per pixel.
    view.enter("entryMinDim", "300");
    view.enter("entryMaxDim", "1000");
    view.get<Gtk::RadioButton>("rb7").clicked();
    view.enter("spiceEntry", "Hake");
    view.get<Gtk::RadioButton>("rb3").clicked();
    view.get<Gtk::Entry>("spiceEntry").set_text("Cod");
    view.click("addButtonSpecie");
    view.click("addButton");
    view.get<Gtk::Entry>("classEntry").set_text("Atresic");
    view.get<Gtk::ColorButton>("colourGreen").set_rgba(rgba(1, 1, 1, 1));
    if (closing.button != nullptr)
      view.click(closing.button);
    else
      view.window.close();
  });
  const std::string printed = testing::internal::GetCapturedStdout();

  Preferences& p = settings();
  // The factor confirmed with Enter and the switch reach the settings at once.
  EXPECT_TRUE(p.isCalibrationActive());
  EXPECT_DOUBLE_EQ(p.getCalibration(), 2.5);
  if (closing.applies) {
    EXPECT_EQ(p.getCirclePreferences(), (std::vector<double>{1, 0.5, 0.25, 0.75, 5}));
    EXPECT_EQ(p.getRegionPreferences(), (std::vector<double>{0, 1, 0, 1, 2}));
    EXPECT_EQ(p.getMinimumDiameter(), 120);
    EXPECT_EQ(p.getMaximumDiameter(), 400);
    EXPECT_EQ(p.getProblemActive(), 2);
    EXPECT_EQ(p.getProblemNames()[6], "Hake");
    EXPECT_EQ(p.getProblemNames()[2], "Cod");
    EXPECT_EQ(p.getClassNamesPreferences(),
              (std::vector<std::string>{"Alveolo", "Vitelline", "Hydrated", "Void", "Atresic"}));
    ASSERT_EQ(p.getClassPreferences().size(), 5u);
    EXPECT_EQ(p.getClassPreferences()[0], (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(p.getClassPreferences()[4], (std::vector<double>{0, 0, 1, 1}));
  } else {
    EXPECT_EQ(p.getMinimumDiameter(), 200);
    EXPECT_EQ(p.getProblemActive(), -1);
    EXPECT_EQ(p.getClassPreferences().size(), 4u);
    // Nothing else differs from the settings before.
    p.setCalibrationActive(false);
    EXPECT_EQ(settingsText(), before);
  }
  EXPECT_EQ(fs::exists(settingsFile()), closing.writesSettingsFile);
  if (closing.writesSettingsFile) {
    // The file holds exactly the settings in use.
    Model::ModelFachade reader;
    reader.readPreferencesXMLFile(settingsFile().string());
    const fs::path written = home.work() / "reread.xml";
    ASSERT_TRUE(reader.writePreferences(written.string()));
    EXPECT_EQ(readFileText(written), settingsText());
  }
  EXPECT_EQ(printed.find("Closing preferences \n") != std::string::npos,
            closing.button != nullptr && std::string(closing.button) == "cancelButton");
}

INSTANTIATE_TEST_SUITE_P(Buttons, PreferencesClosingTest,
                         ::testing::Values(ClosingCase{"Apply", "applyButton", true, true},
                                           ClosingCase{"Ok", "okButton", true, false},
                                           ClosingCase{"Cancel", "cancelButton", false, false},
                                           ClosingCase{"WindowClosed", nullptr, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferencesDialogTest, CalibrationAndDiameterEntries) {
  runPreferencesDialog(model, [&](DialogView& view) {
    auto& factor = view.get<Gtk::Entry>("calibrationEntry");
    auto& minimum = view.get<Gtk::Entry>("entryMinDim");
    auto& maximum = view.get<Gtk::Entry>("entryMaxDim");
    // Calibration off: the factor entry goes back to "1,0".
    view.enter("calibrationEntry", "3");
    EXPECT_EQ(factor.get_text(), "1,0");
    EXPECT_FALSE(settings().isCalibrationActive());
    // Off, with a maximum of 800.
    view.enter("entryMinDim", "798");
    EXPECT_EQ(minimum.get_text(), "798");
    view.enter("entryMinDim", "3.9");
    EXPECT_EQ(minimum.get_text(), "3");
    view.enter("entryMaxDim", "5");
    EXPECT_EQ(maximum.get_text(), "5");
    view.enter("entryMaxDim", "6");
    EXPECT_EQ(maximum.get_text(), "6");
    view.enter("entryMaxDim", "800");
    view.enter("entryMinDim", "200");

    view.click("checkboxCalibration");
    EXPECT_EQ(view.get<Gtk::Label>("parametrosValue").get_text(), "micras");
    factor.set_text("2,5");
    view.click("okcalibration");
    EXPECT_DOUBLE_EQ(settings().getCalibration(), 2.5);
    EXPECT_EQ(minimum.get_text(), "500.000000");
    view.enter("calibrationEntry", "0");
    EXPECT_EQ(factor.get_text(), "1,0");
    EXPECT_DOUBLE_EQ(settings().getCalibration(), 1.0);
    view.enter("calibrationEntry", "0.5");
    minimum.set_text("100");
    view.click("okmindiameter");
    EXPECT_EQ(minimum.get_text(), "100.000000");
    maximum.set_text("abc");
    view.click("okmaxdiameter");
    EXPECT_EQ(maximum.get_text(), "abc");
    view.click("okButton");
  });
  EXPECT_EQ(settings().getMinimumDiameter(), 200);
  EXPECT_EQ(settings().getMaximumDiameter(), 800);
  EXPECT_DOUBLE_EQ(settings().getCalibration(), 0.5);
}

TEST_F(PreferencesDialogTest, ApplyingWithTheBoxClearStoresNoCalibration) {
  settings().setCalibration(4);
  runPreferencesDialog(model, [&](DialogView& view) {
    view.get<Gtk::CheckButton>("checkboxCalibration").set_active(false);
    view.get<Gtk::Entry>("calibrationEntry").set_text("7");
    view.click("okButton");
  });
  EXPECT_FALSE(settings().isCalibrationActive());
  EXPECT_DOUBLE_EQ(settings().getCalibration(), 1.0);
}

TEST_F(PreferencesDialogTest, AWidthNoRowShowsIsKept) {
  settings().setPointPreferences({0, 1, 0, 1, 99});
  runPreferencesDialog(model, [&](DialogView& view) {
    EXPECT_EQ(view.get<Gtk::ComboBoxText>("comboboxPoint").get_active_row_number(), -1);
    view.click("okButton");
  });
  EXPECT_EQ(settings().getPointPreferences(), (std::vector<double>{0, 1, 0, 1, 99}));
  EXPECT_EQ(settings().getCirclePreferences()[4], 5);
}

TEST_F(PreferencesDialogTest, AddedClassesStopAtFourteen) {
  const struct {
    int clicks;
    size_t classes;
  } cases[] = {{3, 7}, {11, 14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clicks);
    settings().resetToDefaults();
    runPreferencesDialog(model, [&](DialogView& view) {
      for (int i = 0; i < c.clicks; ++i) view.click("addButton");
      for (int j = 0; j < 10; ++j)
        EXPECT_EQ(view.get<Gtk::Box>("box" + std::to_string(14 + j)).get_visible(), j < c.clicks) << j;
      view.click("okButton");
    });
    const auto& names = settings().getClassNamesPreferences();
    ASSERT_EQ(names.size(), c.classes);
    ASSERT_EQ(settings().getClassPreferences().size(), c.classes);
    EXPECT_EQ(names[3], "Void");
    EXPECT_EQ(names.back(), "Default name");
    EXPECT_EQ(settings().getClassPreferences().back(), (std::vector<double>{0, 0, 1, 1}));
  }
}

TEST_F(PreferencesDialogTest, ShortSettingsAreReadOnlyAsFarAsTheyGo) {
  settings().setProblemNames({"a", "b", "c"});
  settings().setProblemActive(2);
  settings().setClassPreferences({{0.5, 0.5, 0.5, 1}});
  settings().setClassNamesPreferences({});
  runPreferencesDialog(model, [&](DialogView& view) {
    EXPECT_EQ(view.get<Gtk::Entry>("spiceEntry").get_text(), "c");
    view.get<Gtk::RadioButton>("rb30").clicked();
    view.enter("spiceEntry", "Tuna");
    view.click("okButton");
  });
  const auto defaults = PreferencesDefaults::lumora();
  ASSERT_EQ(settings().getProblemNames().size(), 30u);
  EXPECT_EQ(settings().getProblemNames()[2], "c");
  EXPECT_EQ(settings().getProblemNames()[29], "Tuna");
  EXPECT_EQ(settings().getClassPreferences(),
            (std::vector<std::vector<double>>{
                {0.5, 0.5, 0.5, 1}, defaults.classColours[1], defaults.classColours[2], defaults.classColours[3]}));
  EXPECT_EQ(settings().getClassNamesPreferences(), defaults.classNames);
}

TEST_F(PreferencesDialogTest, ANameWithNoProblemSelectedNamesProblemZero) {
  runPreferencesDialog(model, [&](DialogView& view) {
    view.get<Gtk::Entry>("spiceEntry").set_text("Not stored without Enter");
    view.click("okButton");
  });
  EXPECT_EQ(settings().getProblemNames()[0], "");
  runPreferencesDialog(model, [&](DialogView& view) {
    view.enter("spiceEntry", "Anchovy");
    view.click("okButton");
  });
  EXPECT_EQ(settings().getProblemNames()[0], "Anchovy");
  EXPECT_EQ(settings().getProblemActive(), 0);
}

TEST_F(PreferencesDialogTest, FolderChoosersChangeTheFoldersAppliedLater) {
  const fs::path pictures = home.work() / "pictures";
  fs::create_directories(pictures);
  runPreferencesDialog(model, [&](DialogView& view) {
    {
      ChooserAnswer chooser(Gtk::RESPONSE_OK, pictures.string());
      view.click("imageButton");
      EXPECT_EQ(chooser.title, "Choose the images folder");
      EXPECT_EQ(chooser.action, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
      EXPECT_FALSE(chooser.timedOut());
    }
    EXPECT_EQ(view.get<Gtk::Entry>("imageEntry").get_text(), pictures.string());
    EXPECT_EQ(settings().getImagePath(), "/home");
    {
      ChooserAnswer chooser(Gtk::RESPONSE_CANCEL);
      view.click("xmlButton");
      EXPECT_EQ(chooser.title, "Choose the XML files folder");
    }
    // Typed text is never read.
    view.get<Gtk::Entry>("csvEntry").set_text("/typed");
    view.click("okButton");
  });
  EXPECT_EQ(settings().getImagePath(), pictures.string());
  EXPECT_EQ(settings().getXmlPath(), "/home");
  EXPECT_EQ(settings().getCsvPath(), "/home");
}

// How the save chooser is answered, and what must be written where.
struct SaveCase {
  const char* name;
  int chooserResponse;
  const char* chosen;
  bool targetExists;
  int replaceAnswer;  // the answer to the question about replacing, if asked
  bool asked;
  const char* written;  // null: nothing written
};

class PreferencesSaveTest : public PreferencesDialogTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(PreferencesSaveTest, WritesTheChosenFile) {
  const SaveCase& save = GetParam();
  const fs::path folder = home.work() / "saved";
  fs::create_directories(folder);
  if (save.targetExists) writeFileText(folder / "settings.xml", "old settings");
  MessageAnswer question(save.replaceAnswer);
  bool chooserAsksBeforeOverwriting = false;
  runPreferencesDialog(model, [&](DialogView& view) {
    view.click("addButton");
    ChooserAnswer chooser(save.chooserResponse, (folder / save.chosen).string());
    view.click("saveButton");
    EXPECT_EQ(chooser.title, "Please choose a XML file");
    chooserAsksBeforeOverwriting = chooser.asksBeforeOverwriting;
  });
  EXPECT_TRUE(chooserAsksBeforeOverwriting);
  // The settings are applied however the chooser was answered.
  EXPECT_EQ(settings().getClassNamesPreferences().size(), 5u);
  EXPECT_EQ(question.appeared(), save.asked);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path().filename().string());
  if (save.written != nullptr) {
    EXPECT_EQ(files, std::vector<std::string>{save.written});
    EXPECT_EQ(readFileText(folder / save.written), settingsText());
  } else {
    EXPECT_EQ(files.size(), save.targetExists ? 1u : 0u);
    if (save.targetExists) {
      EXPECT_EQ(readFileText(folder / "settings.xml"), "old settings");
    }
  }
  EXPECT_FALSE(fs::exists(settingsFile()));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PreferencesSaveTest,
    ::testing::Values(
        SaveCase{"NameWithoutExtension", Gtk::RESPONSE_OK, "settings", false, Gtk::RESPONSE_NO, false, "settings.xml"},
        SaveCase{"NameWithExtension", Gtk::RESPONSE_OK, "settings.xml", false, Gtk::RESPONSE_NO, false, "settings.xml"},
        SaveCase{"ExistingTargetKept", Gtk::RESPONSE_OK, "settings", true, Gtk::RESPONSE_NO, true, nullptr},
        SaveCase{"ExistingTargetReplaced", Gtk::RESPONSE_OK, "settings", true, Gtk::RESPONSE_YES, true, "settings.xml"},
        SaveCase{"ChooserCancelled", Gtk::RESPONSE_CANCEL, "settings", false, Gtk::RESPONSE_NO, false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferencesDialogTest, AFailedApplyIsReportedAndKeepsTheOldFile) {
  writeFileText(settingsFile(), "old settings");
  // A settings file without write permission is never replaced.
  fs::permissions(settingsFile(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  MessageAnswer report(Gtk::RESPONSE_OK);
  runPreferencesDialog(model, [&](DialogView& view) {
    view.click("addButton");
    view.click("applyButton");
  });
  EXPECT_EQ(report.primary, "The preferences could not be saved");
  EXPECT_NE(report.secondary.find(settingsFile().string()), std::string::npos) << report.secondary;
  EXPECT_EQ(readFileText(settingsFile()), "old settings");
  EXPECT_EQ(settings().getClassNamesPreferences().size(), 5u);
}

TEST_F(PreferencesDialogTest, AFailureAfterTheNewFileTookItsPlaceIsNotReportedAsAnUnchangedFile) {
  writeFileText(settingsFile(), "old settings");
  // A save flushes the folder before and after the new file takes the
  // target's name; the disk fails the second time.
  const std::string folder = fs::canonical(settingsFile().parent_path()).string();
  int folderFlushes = 0;
  onFileSystemCall = [&](const FileSystemCall& call) {
    return call.name == "fsync" && call.path == folder && ++folderFlushes == 2 ? EIO : 0;
  };
  MessageAnswer report(Gtk::RESPONSE_OK);
  runPreferencesDialog(model, [&](DialogView& view) {
    view.click("addButton");
    view.click("applyButton");
  });
  onFileSystemCall = nullptr;
  EXPECT_EQ(report.primary, "The preferences could not be saved");
  EXPECT_EQ(report.secondary,
            settingsFile().string() + " holds the new preferences, but the disk did not confirm that they are stored.");
  EXPECT_NE(readFileText(settingsFile()), "old settings");
}

// A save the disk refuses says what the settings file now is: the file that
// was there, or no file at all.
TEST_F(PreferencesDialogTest, ASaveTheDiskRefusesSaysWhatTheFileNowHolds) {
  fs::create_directories(settingsFile().parent_path());
  for (const bool existed : {true, false}) {
    SCOPED_TRACE(existed ? "over a file" : "to a new name");
    if (existed) writeFileText(settingsFile(), "old settings");
    onFileSystemCall = [](const FileSystemCall& call) { return call.name == "fsync" ? EIO : 0; };
    MessageAnswer report(Gtk::RESPONSE_OK);
    runPreferencesDialog(model, [&](DialogView& view) { view.click("applyButton"); });
    onFileSystemCall = nullptr;
    EXPECT_EQ(report.primary, "The preferences could not be saved");
    const std::string held = existed ? "a file already there is unchanged." : "no file was made.";
    EXPECT_EQ(report.secondary, settingsFile().string() + " could not be written; " + held);
    EXPECT_EQ(fs::exists(settingsFile()), existed);
    fs::remove(settingsFile());
  }
}

TEST_F(PreferencesDialogTest, AnIncompleteInterfaceFileShowsNoDialog) {
  const std::string shipped = readFileText(shippedInterfaceFile());
  std::string withoutButton = shipped;
  const std::string id = "id=\"rb30\"";
  withoutButton.replace(withoutButton.find(id), id.size(), "id=\"rb31\"");
  const fs::path incomplete = home.work() / "incomplete.glade";
  writeFileText(incomplete, withoutButton);
  const std::string before = settingsText();

  for (const std::string& file : {incomplete.string(), (home.work() / "absent.glade").string()}) {
    SCOPED_TRACE(file);
    bool shown = false;
    testing::internal::CaptureStderr();
    runPreferencesDialog(
        model,
        [&](DialogView& view) {
          shown = true;
          view.window.hide();
        },
        nullptr, file);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(shown);
    EXPECT_NE(printed.find("cannot be shown"), std::string::npos) << printed;
  }
  EXPECT_EQ(settingsText(), before);
}

// The dialog opened from the running program: the program's application holds
// its id on the session bus and runs the main window; the dialog runs inside.
TEST_F(PreferencesDialogTest, RunsInsideARunningApplication) {
  auto application = Gtk::Application::create(ProgramProfile::lumora().applicationId);
  Gtk::Window mainWindow;
  bool returned = false;
  application->signal_activate().connect([&] {
    application->add_window(mainWindow);
    mainWindow.show();
    Glib::signal_idle().connect_once([&] {
      runPreferencesDialog(
          model,
          [&](DialogView& view) {
            EXPECT_EQ(view.window.get_transient_for(), &mainWindow);
            view.enter("spiceEntry", "Mackerel");
            view.click("okButton");
          },
          &mainWindow);
      returned = true;
      mainWindow.hide();
    });
  });
  EXPECT_EQ(application->run(), 0);
  EXPECT_TRUE(returned);
  EXPECT_EQ(settings().getProblemNames()[0], "Mackerel");
}

}  // namespace
