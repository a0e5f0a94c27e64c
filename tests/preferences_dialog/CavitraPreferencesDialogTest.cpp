#include <gtest/gtest.h>
#include <gtkmm.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "DialogDriver.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "Preferences.h"
#include "PreferencesBaseGlade.h"
#include "ProfileSelection.h"
#include "TemporaryHome.h"

namespace {

namespace fs = std::filesystem;

const std::string cavitraInterfaceFile = std::string(CAVITRA_DATA_DIR) + "/Glade/preferences.glade";

// Cavitra's model with its settings folder in a temporary home.
class CavitraPreferencesDialogTest : public ::testing::Test, public CavitraSelected {
 protected:
  void SetUp() override { fs::create_directories(settingsFile().parent_path()); }

  fs::path settingsFile() const { return home.home() / ".cavitra" / "preferences.xml"; }

  void runDialog(const std::function<void(DialogView&)>& act, Gtk::Window* parent = nullptr) {
    runPreferencesDialogWith(act, [&] { PreferencesBaseGlade dialog(&model, cavitraInterfaceFile, parent); });
  }

  TemporaryHome home;
  Model::ModelFachade model;
};

TEST(CavitraPreferencesInterfaceFile, EveryIdResolvesToItsClass) {
  auto builder = Gtk::Builder::create_from_file(cavitraInterfaceFile);
  std::vector<std::pair<std::string, GType>> expected = {{"windowPreferences", GTK_TYPE_WINDOW},
                                                         {"checkboxCalibration", GTK_TYPE_CHECK_BUTTON},
                                                         {"parametrosValue", GTK_TYPE_LABEL}};
  for (const char* id :
       {"imageButton", "xmlButton", "csvButton", "applyButton", "cancelButton", "saveButton", "okButton"})
    expected.emplace_back(id, GTK_TYPE_BUTTON);
  for (const char* id : {"calibrationEntry", "entryMinDim", "entryMaxDim", "imageEntry", "xmlEntry", "csvEntry"})
    expected.emplace_back(id, GTK_TYPE_ENTRY);
  for (const char* id : {"colourPoint", "colourCircle", "colourFreeHand"})
    expected.emplace_back(id, GTK_TYPE_COLOR_BUTTON);
  for (const char* id : {"comboboxPoint", "comboboxCircle", "comboboxRegion"})
    expected.emplace_back(id, GTK_TYPE_COMBO_BOX_TEXT);
  for (const auto& [id, type] : expected) {
    GObject* object = gtk_builder_get_object(builder->gobj(), id.c_str());
    ASSERT_NE(object, nullptr) << id;
    EXPECT_TRUE(g_type_is_a(G_OBJECT_TYPE(object), type)) << id;
  }
  // Row n of a width list stands for the width n + 1; the default width 5
  // must be offered.
  Gtk::ComboBoxText* widths = nullptr;
  builder->get_widget("comboboxRegion", widths);
  widths->set_active(4);
  EXPECT_EQ(widths->get_active_text(), "5");
  Gtk::Window* window = nullptr;
  builder->get_widget("windowPreferences", window);
  delete window;
}

TEST_F(CavitraPreferencesDialogTest, ApplyOkAndCancel) {
  struct Case {
    const char* button;
    bool applies;
    bool writesSettingsFile;
  } const cases[] = {{"applyButton", true, true}, {"okButton", true, false}, {"cancelButton", false, false}};
  for (const Case& c : cases) {
    fs::remove(settingsFile());
    model.getPreferences()->setDiameters(40, 1000);
    Gtk::Window mainWindow;
    runDialog(
        [&](DialogView& view) {
          EXPECT_TRUE(view.window.get_modal());
          EXPECT_EQ(view.window.get_transient_for(), &mainWindow);
          EXPECT_EQ(view.get<Gtk::Entry>("entryMinDim").get_text(), "40");
          view.enter("entryMinDim", "60");
          view.enter("entryMaxDim", "900");
          view.click(c.button);
        },
        &mainWindow);
    EXPECT_EQ(model.getPreferences()->getMinimumDiameter(), c.applies ? 60 : 40) << c.button;
    EXPECT_EQ(model.getPreferences()->getMaximumDiameter(), c.applies ? 900 : 1000) << c.button;
    ASSERT_EQ(fs::exists(settingsFile()), c.writesSettingsFile) << c.button;
    if (!c.writesSettingsFile) continue;
    Model::ModelFachade reader;
    reader.readPreferencesXMLFile(settingsFile().string());
    EXPECT_EQ(reader.getPreferences()->getMinimumDiameter(), 60);
  }
}

TEST_F(CavitraPreferencesDialogTest, AFailedApplyIsReportedAndKeepsTheOldFile) {
  writeFileText(settingsFile(), "old settings");
  fs::permissions(settingsFile(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  MessageAnswer report(Gtk::RESPONSE_OK);
  runDialog([&](DialogView& view) { view.click("applyButton"); });
  EXPECT_EQ(report.primary, "The preferences could not be saved");
  EXPECT_EQ(readFileText(settingsFile()), "old settings");
}

}  // namespace
