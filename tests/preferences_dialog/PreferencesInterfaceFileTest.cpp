#include <gtest/gtest.h>
#include <gtkmm.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "PreferencesDefaults.h"

namespace {

// The shipped file, loaded as the dialog loads it. The window the builder
// made is the test's to delete.
class PreferencesInterfaceFile : public ::testing::Test {
 protected:
  void SetUp() override {
    builder = Gtk::Builder::create_from_file(shippedInterfaceFile());
    builder->get_widget("windowPreferences", window);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override { delete window; }

  template <class Widget>
  Widget* widget(const std::string& id) {
    Widget* found = nullptr;
    builder->get_widget(id, found);
    return found;
  }

  Glib::RefPtr<Gtk::Builder> builder;
  Gtk::Window* window = nullptr;
};

// The toolkit class of an object; gtkmm's builder makes derived "gtkmm__"
// classes whose parent is the class the file names.
std::string toolkitClassName(const Glib::RefPtr<Glib::Object>& object) {
  GType type = G_OBJECT_TYPE(object->gobj());
  if (std::string(g_type_name(type)).rfind("gtkmm__", 0) == 0) type = g_type_parent(type);
  return g_type_name(type);
}

std::vector<std::pair<std::string, std::string>> expectedWidgets() {
  std::vector<std::pair<std::string, std::string>> widgets = {{"windowPreferences", "GtkWindow"},
                                                              {"checkboxCalibration", "GtkCheckButton"},
                                                              {"parametrosValue", "GtkLabel"},
                                                              {"label8", "GtkLabel"},
                                                              {"label12", "GtkLabel"},
                                                              {"box3", "GtkBox"},
                                                              {"box6", "GtkBox"}};
  for (const char* id : {"imageButton", "xmlButton", "csvButton", "applyButton", "cancelButton", "saveButton",
                         "okButton", "okcalibration", "okmindiameter", "okmaxdiameter", "addButtonSpecie", "addButton"})
    widgets.emplace_back(id, "GtkButton");
  for (const char* id :
       {"calibrationEntry", "entryMinDim", "entryMaxDim", "imageEntry", "xmlEntry", "csvEntry", "spiceEntry"})
    widgets.emplace_back(id, "GtkEntry");
  for (const char* id :
       {"colourPoint", "colourCircle", "colourFreeHand", "colourGreen", "colourRed", "colourMerge", "colourVoid"})
    widgets.emplace_back(id, "GtkColorButton");
  for (const char* id : {"comboboxPoint", "comboboxCircle", "comboboxRegion"})
    widgets.emplace_back(id, "GtkComboBoxText");
  for (int i = 1; i <= 30; ++i) widgets.emplace_back("rb" + std::to_string(i), "GtkRadioButton");
  for (int j = 0; j < 10; ++j) {
    const std::string number = j == 0 ? "" : std::to_string(j);
    widgets.emplace_back("box" + std::to_string(14 + j), "GtkBox");
    widgets.emplace_back("classEntry" + number, "GtkEntry");
    widgets.emplace_back("colorButton" + number, "GtkColorButton");
  }
  return widgets;
}

TEST_F(PreferencesInterfaceFile, EveryIdHasItsClass) {
  for (const auto& [id, className] : expectedWidgets()) {
    auto object = builder->get_object(id);
    ASSERT_TRUE(object) << "no object with id \"" << id << "\"";
    EXPECT_EQ(toolkitClassName(object), className) << id;
  }
}

TEST_F(PreferencesInterfaceFile, WidthRowsCountFromOne) {
  for (const char* id : {"comboboxPoint", "comboboxCircle", "comboboxRegion"}) {
    auto* combo = widget<Gtk::ComboBoxText>(id);
    ASSERT_NE(combo, nullptr) << id;
    int rows = 0;
    for (const auto& row : combo->get_model()->children()) {
      Glib::ustring text;
      row.get_value(0, text);
      EXPECT_EQ(text, std::to_string(++rows)) << id;
    }
    EXPECT_GE(rows, 5) << id;
  }
}

TEST_F(PreferencesInterfaceFile, ColourButtonsTakeAlphaAndSpeciesButtonsShowTheirKeys) {
  for (const auto& [id, className] : expectedWidgets()) {
    if (className == "GtkColorButton") {
      EXPECT_TRUE(widget<Gtk::ColorButton>(id)->get_use_alpha()) << id;
    }
  }
  const auto keys = PreferencesDefaults::lumora().problemKeys;
  for (size_t i = 0; i < keys.size(); ++i)
    EXPECT_EQ(widget<Gtk::RadioButton>("rb" + std::to_string(i + 1))->get_label(), keys[i]);
  EXPECT_FALSE(window->get_visible()) << "the program shows the window when it runs it";
}

}  // namespace
