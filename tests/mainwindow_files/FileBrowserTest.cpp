#include <gtest/gtest.h>
#include <gtkmm.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "FileBrowser.h"

namespace {

namespace fs = std::filesystem;

// What the chooser showed when it appeared.
struct ChooserView {
  bool appeared = false;
  std::string title;
  std::string folder;
  std::vector<std::string> filters;
  Glib::RefPtr<Gtk::FileFilter> activeFilter;
  bool modal = false;
  Gtk::Window* parent = nullptr;
  Gtk::FileChooserAction action = Gtk::FILE_CHOOSER_ACTION_SAVE;
  std::string okLabel;
  std::string cancelLabel;
};

std::string buttonLabel(Gtk::Dialog* dialog, int response) {
  auto* button = dynamic_cast<Gtk::Button*>(dialog->get_widget_for_response(response));
  return button != nullptr ? std::string(button->get_label()) : std::string();
}

// How the driver answers the next chooser.
struct Answer {
  int response = Gtk::RESPONSE_CANCEL;
  // Picked before answering; the chooser selects it asynchronously, so the
  // answer waits until it has.
  std::string file;
  // Off: nothing is chosen and the chooser's own refusal of an OK without a
  // choice is blocked. A location without a local file name (a remote one)
  // passes that refusal the same way and answers OK with an empty name.
  bool refuseNothing = true;
  // A chooser given no start folder shows no folder at all.
  bool waitForFolder = true;
};

// Answers the next file chooser that appears and records what it showed.
// A chooser still open at the answerer's watchdog is cancelled and the test
// fails.
class ChooserDriver {
 public:
  explicit ChooserDriver(Answer answer)
      : answer(std::move(answer)),
        answerer(sigc::mem_fun(*this, &ChooserDriver::onPoll), sigc::mem_fun(*this, &ChooserDriver::onWatchdog)) {}

  const ChooserView& view() const { return seen; }
  bool timedOut() const { return answerer.timedOut(); }

 private:
  static Gtk::FileChooserDialog* visibleChooser() { return DialogAnswerer::visible<Gtk::FileChooserDialog>(); }

  void record(Gtk::FileChooserDialog* dialog) {
    seen.appeared = true;
    seen.title = dialog->get_title();
    for (const auto& filter : dialog->list_filters()) seen.filters.push_back(filter->get_name());
    seen.activeFilter = dialog->get_filter();
    seen.modal = dialog->get_modal();
    seen.parent = dialog->get_transient_for();
    seen.action = dialog->get_action();
    seen.okLabel = buttonLabel(dialog, Gtk::RESPONSE_OK);
    seen.cancelLabel = buttonLabel(dialog, Gtk::RESPONSE_CANCEL);
  }

  bool onPoll() {
    Gtk::FileChooserDialog* dialog = visibleChooser();
    if (dialog == nullptr) return true;
    if (!seen.appeared) record(dialog);
    // The start folder is known only once the chooser has begun to read it.
    if (seen.folder.empty()) seen.folder = dialog->get_current_folder();
    if (answer.waitForFolder && seen.folder.empty()) return true;
    // A choice made before the chooser has read its folder may be dropped
    // when the reading ends, even after the answer.
    const bool choosing = !answer.file.empty() || !answer.refuseNothing;
    if (choosing && !DialogAnswerer::hasReadItsFolder(*dialog)) return true;
    if (!answer.file.empty() && dialog->get_filename() != answer.file) {
      dialog->set_filename(answer.file);
      return true;
    }
    if (!answer.refuseNothing) {
      dialog->unselect_all();
      // The refusal is the chooser's own handler of "response".
      g_signal_handlers_block_matched(dialog->gobj(), GSignalMatchType(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA),
                                      g_signal_lookup("response", GTK_TYPE_DIALOG), 0, nullptr, nullptr,
                                      dialog->gobj());
    }
    dialog->response(answer.response);
    return false;
  }

  void onWatchdog() {
    answerer.stopPolling();
    if (Gtk::FileChooserDialog* dialog = visibleChooser()) dialog->response(Gtk::RESPONSE_CANCEL);
  }

  Answer answer;
  ChooserView seen;
  // Last, so that its timers start after and stop before the state they use.
  DialogAnswerer answerer;
};

bool accepts(const Glib::RefPtr<Gtk::FileFilter>& filter, const std::string& name) {
  GtkFileFilterInfo info{};
  info.contains = GTK_FILE_FILTER_DISPLAY_NAME;
  info.display_name = name.c_str();
  return gtk_file_filter_filter(filter->gobj(), &info);
}

// A controller whose settings name a folder of its own for each kind of file.
class FileBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "filebrowser-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    for (const char* kind : {"images", "xml", "csv"}) fs::create_directory(root / kind);
    controller.set_image_folder((root / "images").string());
    controller.set_xml_folder((root / "xml").string());
    controller.set_csv_folder((root / "csv").string());
  }
  void TearDown() override { fs::remove_all(root); }

  std::string makeFile(const std::string& relative) {
    const fs::path file = root / relative;
    std::ofstream(file) << "x";
    return file.string();
  }

  fs::path root;
  ControllerFachade controller;
};

struct ModeCase {
  int mode;
  const char* folder;
  const char* filter;
  std::vector<std::string> accepted;
  std::vector<std::string> rejected;
};

void PrintTo(const ModeCase& mode, std::ostream* out) { *out << "mode " << mode.mode; }

class FileBrowserModeTest : public FileBrowserTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(FileBrowserModeTest, OpensInTheKindsFolderWithItsFilterActive) {
  const ModeCase& mode = GetParam();
  Gtk::Window parent;
  FileBrowser browser(&controller);
  browser.setParentWindow(&parent);
  ChooserDriver driver({});

  EXPECT_EQ(browser.on_button_clicked(mode.mode, ""), "null");

  ASSERT_FALSE(driver.timedOut());
  const ChooserView& view = driver.view();
  ASSERT_TRUE(view.appeared);
  EXPECT_EQ(view.folder, (root / mode.folder).string());
  EXPECT_EQ(view.filters, (std::vector<std::string>{mode.filter, "Any files"}));
  ASSERT_TRUE(view.activeFilter);
  EXPECT_EQ(view.activeFilter->get_name(), mode.filter);
  for (const std::string& name : mode.accepted) EXPECT_TRUE(accepts(view.activeFilter, name)) << name;
  for (const std::string& name : mode.rejected) EXPECT_FALSE(accepts(view.activeFilter, name)) << name;
  EXPECT_EQ(view.title, "Please choose a file");
  EXPECT_EQ(view.action, Gtk::FILE_CHOOSER_ACTION_OPEN);
  EXPECT_TRUE(view.modal);
  EXPECT_EQ(view.parent, &parent);
  EXPECT_EQ(view.okLabel, "_Open");
  EXPECT_EQ(view.cancelLabel, "_Cancel");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FileBrowserModeTest,
    ::testing::Values(ModeCase{FileBrowser::ImageFile, "images", "Images",
                               {"a.jpeg", "a.jpg", "a.ppm", "a.png", "a.tif", "A.JPG", "B.TIF", "c.Png"},
                               {"a.xml", "a.csv", "a.tiff", "a.bmp", "a.png.txt"}},
                      ModeCase{FileBrowser::XmlFile, "xml", "xml", {"a.xml", "b.c.xml", "D.XML"}, {"a.png", "a.csv", "a.xmlx"}},
                      ModeCase{FileBrowser::CsvFile, "csv", "csv", {"a.csv"}, {"a.xml", "a.png", "a.csv.bak"}}),
    [](const auto& info) { return std::string(info.param.filter); });

// How the user answers, and whether a file name must come back.
struct AnswerCase {
  const char* name;
  int response;
  bool pickFile;
  bool refuseNothing;
  bool returnsFile;
};

void PrintTo(const AnswerCase& answer, std::ostream* out) { *out << answer.name; }

class FileBrowserAnswerTest : public FileBrowserTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(FileBrowserAnswerTest, ReturnsTheChosenPathOrNull) {
  const AnswerCase& answer = GetParam();
  // Without a choice the folder stays empty: once the chooser has listed a
  // file it may hand it back as its current row, which would depend on timing.
  const std::string file = answer.pickFile ? makeFile("images/cell.png") : std::string();
  FileBrowser browser(&controller);
  ChooserDriver driver({answer.response, answer.pickFile ? file : "", answer.refuseNothing});

  testing::internal::CaptureStdout();
  const std::string result = browser.on_button_clicked(FileBrowser::ImageFile, "");
  const std::string printed = testing::internal::GetCapturedStdout();

  ASSERT_FALSE(driver.timedOut());
  ASSERT_TRUE(driver.view().appeared);
  if (answer.returnsFile) {
    EXPECT_EQ(result, file);
    EXPECT_NE(printed.find("File selected: " + file + "\n"), std::string::npos) << printed;
  } else {
    EXPECT_EQ(result, "null");
    EXPECT_EQ(printed.find("File selected: "), std::string::npos) << printed;
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, FileBrowserAnswerTest,
                         ::testing::Values(AnswerCase{"OkWithAFile", Gtk::RESPONSE_OK, true, true, true},
                                           AnswerCase{"CancelAfterPicking", Gtk::RESPONSE_CANCEL, true, true, false},
                                           AnswerCase{"CloseAfterPicking", Gtk::RESPONSE_DELETE_EVENT, true, true, false},
                                           AnswerCase{"Cancel", Gtk::RESPONSE_CANCEL, false, true, false},
                                           AnswerCase{"OkWithEmptyName", Gtk::RESPONSE_OK, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileBrowserTest, EmptyStartFolderOpensAtTheRootAndCancelGivesNull) {
  controller.set_image_folder("");
  FileBrowser browser(&controller);
  ChooserDriver driver({});
  EXPECT_EQ(browser.on_button_clicked(FileBrowser::ImageFile, ""), "null");
  ASSERT_FALSE(driver.timedOut());
  EXPECT_EQ(driver.view().folder, "/");
}

TEST_F(FileBrowserTest, CallsInARowEachStartInTheirModesFolder) {
  FileBrowser browser(&controller);
  const std::vector<std::pair<int, const char*>> calls = {
      {FileBrowser::ImageFile, "images"}, {FileBrowser::XmlFile, "xml"}, {FileBrowser::ImageFile, "images"}};
  for (const auto& [mode, folder] : calls) {
    ChooserDriver driver({});
    EXPECT_EQ(browser.on_button_clicked(mode, ""), "null");
    ASSERT_FALSE(driver.timedOut());
    EXPECT_EQ(driver.view().folder, (root / folder).string()) << "mode " << mode;
  }
}

TEST_F(FileBrowserTest, PicksAFileInTheXmlFolder) {
  const std::string file = makeFile("xml/slide.xml");
  FileBrowser browser(&controller);
  ChooserDriver driver({Gtk::RESPONSE_OK, file});
  EXPECT_EQ(browser.on_button_clicked(FileBrowser::XmlFile, ""), file);
  EXPECT_FALSE(driver.timedOut());
}

TEST_F(FileBrowserTest, GivenTitleIsShown) {
  FileBrowser browser(&controller);
  ChooserDriver driver({});
  browser.on_button_clicked(FileBrowser::CsvFile, "Choose the results");
  ASSERT_FALSE(driver.timedOut());
  EXPECT_EQ(driver.view().title, "Choose the results");
}

TEST_F(FileBrowserTest, ParentIsTheLastOneSet) {
  // Before start-up the controller has no main window to offer.
  FileBrowser browser(&controller);
  {
    ChooserDriver driver({});
    browser.on_button_clicked(FileBrowser::ImageFile, "");
    ASSERT_FALSE(driver.timedOut());
    EXPECT_EQ(driver.view().parent, controller.getMainWindow());
  }
  Gtk::Window first;
  Gtk::Window second;
  for (Gtk::Window* parent : {&first, &second, static_cast<Gtk::Window*>(nullptr)}) {
    browser.setParentWindow(parent);
    ChooserDriver driver({});
    browser.on_button_clicked(FileBrowser::ImageFile, "");
    ASSERT_FALSE(driver.timedOut());
    EXPECT_EQ(driver.view().parent, parent);
  }
}

TEST_F(FileBrowserTest, UnknownModeOffersOnlyAnyFiles) {
  FileBrowser browser(&controller);
  ChooserDriver driver({Gtk::RESPONSE_CANCEL, "", true, false});
  EXPECT_EQ(browser.on_button_clicked(7, ""), "null");
  ASSERT_FALSE(driver.timedOut());
  EXPECT_EQ(driver.view().filters, std::vector<std::string>{"Any files"});
}

}  // namespace
