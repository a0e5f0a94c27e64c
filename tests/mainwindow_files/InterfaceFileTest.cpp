#include <gtest/gtest.h>
#include <gtkmm.h>

#include <cctype>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>

namespace {

const std::string dataDir = LUMORA_DATA_DIR;
const char* const mainWindowFile = "interfaz.glade";
const char* const batchSamplesFile = "processSamplesXml.glade";
const char* const trainingFile = "trainClassifierZelvora.glade";

Glib::RefPtr<Gtk::Builder> loadInterface(const std::string& file = mainWindowFile) {
  return Gtk::Builder::create_from_file(dataDir + "/Glade/" + file);
}

GObject* objectById(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& id) {
  Glib::RefPtr<Glib::Object> object = builder->get_object(id);
  return object ? object->gobj() : nullptr;
}

GtkWidget* widgetById(const Glib::RefPtr<Gtk::Builder>& builder, const std::string& id) {
  GObject* object = objectById(builder, id);
  return object != nullptr && GTK_IS_WIDGET(object) ? GTK_WIDGET(object) : nullptr;
}

// The toolkit class of an object. gtkmm's builder makes its objects of
// derived "gtkmm__" classes; their parent is the class the file names.
std::string toolkitClassName(GObject* object) {
  GType type = G_OBJECT_TYPE(object);
  if (std::string(g_type_name(type)).rfind("gtkmm__", 0) == 0) type = g_type_parent(type);
  return g_type_name(type);
}

// Test names may hold only letters, digits and underscores.
std::string testName(std::string id) {
  for (char& c : id) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return id;
}

// The widgets the program looks up, by id, with the exact class each must be:
// a subclass would pass some lookups but behave differently (a toggle where a
// plain button is wanted keeps a state).
struct WidgetCase {
  const char* id;
  const char* className;
  const char* file = mainWindowFile;
};

const WidgetCase widgetCases[] = {
    // Main window and its panes.
    {"window1", "GtkWindow"},
    {"viewport", "GtkViewport"},
    {"viewportPaned", "GtkViewport"},
    {"viewportpaned2", "GtkViewport"},
    {"paned1", "GtkPaned"},
    {"paned2", "GtkPaned"},
    {"panedLateral", "GtkPaned"},
    {"menu", "GtkMenuBar"},
    {"vBoxPaned", "GtkBox"},
    {"statusbar", "GtkStatusbar"},
    // Drawing toolbar.
    {"fileBrowserButton", "GtkToolButton"},
    {"zoomBestFit", "GtkToolButton"},
    {"viewRestore", "GtkToolButton"},
    {"undo", "GtkToolButton"},
    {"redo", "GtkToolButton"},
    {"toolbuttonReset", "GtkToolButton"},
    {"showPaned", "GtkToolButton"},
    {"circle", "GtkToggleToolButton"},
    {"pointDraw", "GtkToggleToolButton"},
    {"freeHand", "GtkToggleToolButton"},
    {"point", "GtkToggleToolButton"},
    {"select", "GtkToggleToolButton"},
    {"selectRectangle", "GtkToggleToolButton"},
    {"lineDraw", "GtkToggleToolButton"},
    {"angleDraw", "GtkToggleToolButton"},
    // Menu bar.
    {"openImage", "GtkImageMenuItem"},
    {"openImageXML", "GtkImageMenuItem"},
    {"openXML", "GtkImageMenuItem"},
    {"saveXML", "GtkImageMenuItem"},
    {"preferences", "GtkImageMenuItem"},
    {"resetPreferences", "GtkImageMenuItem"},
    {"draw", "GtkImageMenuItem"},
    {"exit", "GtkImageMenuItem"},
    {"undoMenu", "GtkImageMenuItem"},
    {"redoMenu", "GtkImageMenuItem"},
    {"fitImageMenu", "GtkImageMenuItem"},
    {"originalSizeMenu", "GtkImageMenuItem"},
    {"processingPanel", "GtkImageMenuItem"},
    {"resultsTable", "GtkImageMenuItem"},
    {"XML files", "GtkImageMenuItem"},
    {"menuProcessingImages", "GtkImageMenuItem"},
    {"userManual", "GtkImageMenuItem"},
    {"aboutUs", "GtkImageMenuItem"},
    {"Classify", "GtkImageMenuItem"},
    {"trainClassifier", "GtkImageMenuItem"},
    {"Classification", "GtkMenuItem"},
};

// The batch samples dialog and the training dialog, each in its own file.
const WidgetCase dialogWidgetCases[] = {
    {"processSamplesXml", "GtkWindow", batchSamplesFile},
    {"xmlButton", "GtkButton", batchSamplesFile},
    {"selectImagesButton", "GtkButton", batchSamplesFile},
    {"cancelButton", "GtkButton", batchSamplesFile},
    {"ExportCSV", "GtkButton", batchSamplesFile},
    {"xmlEntry", "GtkEntry", batchSamplesFile},
    {"paned1", "GtkPaned", batchSamplesFile},
    {"TrainClassifier", "GtkWindow", trainingFile},
    {"imageButton", "GtkButton", trainingFile},
    {"xmlButton", "GtkButton", trainingFile},
    {"selectImagesButton", "GtkButton", trainingFile},
    {"CancelButton", "GtkButton", trainingFile},
    {"OkButton", "GtkButton", trainingFile},
    {"imageEntry", "GtkEntry", trainingFile},
    {"xmlEntry", "GtkEntry", trainingFile},
    {"paned1", "GtkPaned", trainingFile},
    {"ComboBoxTextSelectSpecies", "GtkComboBoxText", trainingFile},
};

void PrintTo(const WidgetCase& row, std::ostream* out) { *out << row.file << ": " << row.id << " " << row.className; }

class InterfaceWidgetTest : public ::testing::TestWithParam<WidgetCase> {};

TEST_P(InterfaceWidgetTest, IdResolvesToItsClass) {
  auto builder = loadInterface(GetParam().file);
  GObject* object = objectById(builder, GetParam().id);
  ASSERT_NE(object, nullptr) << "no object with id \"" << GetParam().id << "\"";
  EXPECT_EQ(toolkitClassName(object), GetParam().className);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, InterfaceWidgetTest, ::testing::ValuesIn(widgetCases),
                         [](const auto& info) { return testName(info.param.id); });
INSTANTIATE_TEST_SUITE_P(Dialogs, InterfaceWidgetTest, ::testing::ValuesIn(dialogWidgetCases),
                         [](const auto& info) {
                           return testName(std::string(info.param.file).substr(0, 5) + "_" + info.param.id);
                         });

// Every menu action, with the item that must activate it. The program never
// sets the items' action names, so the file has to carry them.
const std::map<std::string, std::string> menuActions = {
    {"openImage", "menu.openImage"},
    {"openImageXML", "menu.openImageXML"},
    {"openXML", "menu.openXML"},
    {"saveXML", "menu.saveXML"},
    {"exportCSV", "menu.exportCSV"},
    {"preferences", "menu.preferences"},
    {"resetPreferences", "menu.resetPreferences"},
    {"draw", "menu.draw"},
    {"exit", "menu.exit"},
    {"undoMenu", "menu.undo"},
    {"redoMenu", "menu.redo"},
    {"fitImageMenu", "menu.fitImage"},
    {"processingPanel", "menu.processingPanel"},
    {"resultsTable", "menu.resultsTable"},
    {"XML files", "menu.processingSamples"},
    {"menuProcessingImages", "menu.processingImages"},
    {"Classify", "menu.classify"},
    {"trainClassifier", "menu.trainClassifier"},
    {"userManual", "menu.userManual"},
    {"aboutUs", "menu.aboutUs"},
    {"originalSizeMenu", "menu.originalSize"},
};

class MenuActionTest : public ::testing::TestWithParam<std::pair<const std::string, std::string>> {};

TEST_P(MenuActionTest, ItemCarriesItsAction) {
  auto builder = loadInterface();
  GObject* object = objectById(builder, GetParam().first);
  ASSERT_NE(object, nullptr) << "no menu item \"" << GetParam().first << "\"";
  ASSERT_TRUE(GTK_IS_MENU_ITEM(object));
  const gchar* action = gtk_actionable_get_action_name(GTK_ACTIONABLE(object));
  ASSERT_NE(action, nullptr) << GetParam().first << " carries no action";
  EXPECT_STREQ(action, GetParam().second.c_str());
}

INSTANTIATE_TEST_SUITE_P(MenuBar, MenuActionTest, ::testing::ValuesIn(menuActions),
                         [](const auto& info) { return testName(info.param.first); });

TEST(InterfaceMenu, EachActionHasExactlyOneItemAndNoOtherActionIsUsed) {
  auto builder = loadInterface();
  std::set<std::string> expected;
  for (const auto& entry : menuActions) expected.insert(entry.second);
  std::multiset<std::string> used;
  for (const auto& object : builder->get_objects()) {
    GObject* raw = object->gobj();
    if (!GTK_IS_MENU_ITEM(raw)) continue;
    const gchar* action = gtk_actionable_get_action_name(GTK_ACTIONABLE(raw));
    if (action == nullptr) continue;
    EXPECT_EQ(expected.count(action), 1u) << "unknown action " << action;
    used.insert(action);
  }
  for (const std::string& action : expected) EXPECT_EQ(used.count(action), 1u) << action;
}

// The program adds the canvas, the overview and the side panel into these
// containers, and the results table into the lower pane: each must be empty.
TEST(InterfaceContainers, ProgramFilledContainersAreEmpty) {
  auto builder = loadInterface();
  for (const char* id : {"viewport", "viewportPaned", "viewportpaned2"}) {
    GtkWidget* viewport = widgetById(builder, id);
    ASSERT_NE(viewport, nullptr) << id;
    EXPECT_EQ(gtk_bin_get_child(GTK_BIN(viewport)), nullptr) << id << " already holds a widget";
  }
  GtkWidget* lower = widgetById(builder, "paned1");
  ASSERT_NE(lower, nullptr);
  EXPECT_EQ(gtk_paned_get_child1(GTK_PANED(lower)), nullptr);
  EXPECT_EQ(gtk_paned_get_child2(GTK_PANED(lower)), nullptr);
}

// Hiding the side pane must hide the overview and the side panel and nothing
// else; hiding the lower pane must leave the canvas shown.
struct PlacementCase {
  const char* ancestor;
  const char* descendant;
  bool inside;
};

const PlacementCase placementCases[] = {
    {"panedLateral", "paned2", true},       {"panedLateral", "viewportPaned", true},
    {"panedLateral", "viewportpaned2", true}, {"panedLateral", "vBoxPaned", true},
    {"paned2", "viewportPaned", true},      {"panedLateral", "viewport", false},
    {"paned1", "viewport", false},          {"paned1", "panedLateral", false},
    {"window1", "viewport", true},          {"window1", "paned1", true},
    {"window1", "panedLateral", true},      {"window1", "menu", true},
    {"window1", "statusbar", true},         {"window1", "fileBrowserButton", true},
};

void PrintTo(const PlacementCase& row, std::ostream* out) {
  *out << row.descendant << (row.inside ? " in " : " not in ") << row.ancestor;
}

class InterfacePlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(InterfacePlacementTest, WidgetSitsWhereThePanesExpectIt) {
  auto builder = loadInterface();
  GtkWidget* ancestor = widgetById(builder, GetParam().ancestor);
  GtkWidget* descendant = widgetById(builder, GetParam().descendant);
  ASSERT_NE(ancestor, nullptr);
  ASSERT_NE(descendant, nullptr);
  EXPECT_EQ(static_cast<bool>(gtk_widget_is_ancestor(descendant, ancestor)), GetParam().inside)
      << GetParam().descendant << " in " << GetParam().ancestor;
}

INSTANTIATE_TEST_SUITE_P(MainWindow, InterfacePlacementTest, ::testing::ValuesIn(placementCases),
                         [](const auto& info) {
                           return testName(std::string(info.param.descendant) + "_in_" + info.param.ancestor);
                         });

TEST(InterfaceStartState, WindowWaitsForTheProgramAndSidePanesStartHidden) {
  auto builder = loadInterface();
  // Shown by the builder, the window would appear before the canvas is in it.
  EXPECT_FALSE(gtk_widget_get_visible(widgetById(builder, "window1")));
  EXPECT_FALSE(gtk_widget_get_visible(widgetById(builder, "panedLateral")));
  EXPECT_FALSE(gtk_widget_get_visible(widgetById(builder, "paned1")));
  EXPECT_TRUE(gtk_widget_get_visible(widgetById(builder, "paned2")));
  EXPECT_TRUE(gtk_widget_get_visible(widgetById(builder, "viewport")));
  EXPECT_TRUE(gtk_widget_get_visible(widgetById(builder, "statusbar")));
}

TEST(InterfaceStartState, ToolTogglesStartOff) {
  auto builder = loadInterface();
  for (const WidgetCase& row : widgetCases) {
    if (std::string(row.className) != "GtkToggleToolButton") continue;
    GtkWidget* toggle = widgetById(builder, row.id);
    ASSERT_NE(toggle, nullptr) << row.id;
    EXPECT_FALSE(gtk_toggle_tool_button_get_active(GTK_TOGGLE_TOOL_BUTTON(toggle))) << row.id;
  }
}

// The dialogs add their file lists into "paned1" and show their windows once
// the lists are in place; the training dialog fills its species list itself.
TEST(InterfaceDialogs, ListPanesAreEmptyWindowsStartHiddenSpeciesListEmpty) {
  for (const auto& [file, window] : {std::pair{batchSamplesFile, "processSamplesXml"},
                                     std::pair{trainingFile, "TrainClassifier"}}) {
    auto builder = loadInterface(file);
    GtkWidget* pane = widgetById(builder, "paned1");
    ASSERT_NE(pane, nullptr) << file;
    EXPECT_EQ(gtk_paned_get_child1(GTK_PANED(pane)), nullptr) << file;
    EXPECT_EQ(gtk_paned_get_child2(GTK_PANED(pane)), nullptr) << file;
    EXPECT_FALSE(gtk_widget_get_visible(widgetById(builder, window))) << file;
  }
  auto training = loadInterface(trainingFile);
  GtkWidget* species = widgetById(training, "ComboBoxTextSelectSpecies");
  ASSERT_NE(species, nullptr);
  EXPECT_EQ(gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(species)), nullptr), 0);
}

TEST(WindowIcon, LogoLoadsAsASquareIcon) {
  auto logo = Gdk::Pixbuf::create_from_file(dataDir + "/Iconos/logoLumora.png");
  ASSERT_TRUE(logo);
  EXPECT_EQ(logo->get_width(), logo->get_height());
  EXPECT_GE(logo->get_width(), 32);
  EXPECT_LE(logo->get_width(), 256);
  EXPECT_TRUE(logo->get_has_alpha());
}

}  // namespace
