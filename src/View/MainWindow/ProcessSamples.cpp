#include "ProcessSamples.h"

#include "Actions.h"
#include "BuilderWidget.h"
#include "DialogChoosers.h"
#include "DialogLoop.h"
#include "InterfaceFile.h"
#include "PlatformFiles.h"
#include "PreferencesSample.h"

namespace {

const char* const listTitle = "XML files";
const char* const csvEnding = ".csv";

}  // namespace

ProcessSamples::ProcessSamples(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile,
                               Gtk::Window* parent)
    : refBuilder(loadInterfaceFile(gladeFile)),
      preferences(preferences),
      actions(actions),
      parent(parent),
      csvButton(findBuilderWidget<Gtk::Button>(refBuilder, "ExportCSV")),
      xmlButton(findBuilderWidget<Gtk::Button>(refBuilder, "xmlButton")),
      cancelButton(findBuilderWidget<Gtk::Button>(refBuilder, "cancelButton")),
      selectImagesButton(findBuilderWidget<Gtk::Button>(refBuilder, "selectImagesButton")),
      xmlEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "xmlEntry")),
      paned(findBuilderWidget<Gtk::Paned>(refBuilder, "paned1")),
      fileList(listTitle),
      complete(csvButton && xmlButton && cancelButton && selectImagesButton && xmlEntry && paned),
      gladeFile(gladeFile) {
  if (!complete) return;
  fileList.attachTo(*paned);
  // Bound through the virtual operations, so a subclass's override runs.
  csvButton->signal_clicked().connect([this] { csv_button_clicked(); });
  xmlButton->signal_clicked().connect([this] { xml_button_clicked(); });
  cancelButton->signal_clicked().connect([this] { cancel_button_clicked(); });
  selectImagesButton->signal_clicked().connect([this] { onPressingSelectImagesButton(); });
  xmlEntry->set_text(preferences->getXmlPath());
}

ProcessSamples::~ProcessSamples() {
  // The builder hands its top-level window to whoever looks it up.
  delete window;
}

void ProcessSamples::run(const char* windowId) {
  window = complete ? findBuilderWidget<Gtk::Window>(refBuilder, windowId) : nullptr;
  if (window == nullptr) {
    actions->showMessage("The dialog cannot be opened: its interface file " + gladeFile + " is missing or incomplete.");
    return;
  }
  DialogLoop(*window, parent).run();
}

std::string ProcessSamples::csvFileName(const std::string& chosen) {
  const std::size_t ending = std::char_traits<char>::length(csvEnding);
  if (chosen.empty()) return chosen;
  if (chosen.size() >= ending && chosen.compare(chosen.size() - ending, ending, csvEnding) == 0) return chosen;
  return chosen + csvEnding;
}

void ProcessSamples::xml_button_clicked() { fileChooser(1, "Please choose a XML files folder"); }

void ProcessSamples::fileChooser(int mode, std::string title) {
  const DialogChoosers::FolderChoice choice = DialogChoosers::chooseFolder(window, title);
  if (choice.answer != DialogChoosers::Answer::Chosen || mode != 1) return;
  xmlEntry->set_text(choice.folder);
  if (!choice.folder.empty()) preferences->setXmlPath(choice.folder);
}

void ProcessSamples::onPressingSelectImagesButton() {
  fileList.choose(*preferences, window, "Please choose XML files", preferences->getXmlPath(),
                  {DialogChoosers::makeFilter("XML files", {"*.xml"}), DialogChoosers::makeFilter("Any files", {"*"})},
                  listTitle);
}

std::string ProcessSamples::askCsvFile(Gtk::Window* parent, const std::string& title, const std::string& folder) {
  for (;;) {
    const std::string chosen =
        DialogChoosers::chooseSaveFile(parent, title, folder, "", {DialogChoosers::makeFilter("CSV", {"*.csv"})}, false);
    // The question is about the file that is written, ending included.
    const std::string file = csvFileName(chosen);
    if (file.empty() || !PlatformFiles::isFile(file) || DialogChoosers::confirmReplace(parent, file)) return file;
  }
}

void ProcessSamples::csv_button_clicked() {
  const std::string file = askCsvFile(window, csvChooserTitle, preferences->getCSVPath());
  if (file.empty()) return;
  preferences->setCSVFile(file);
  actions->saveCSVSample(preferences);
}

void ProcessSamples::cancel_button_clicked() {
  if (window != nullptr) window->hide();
}
