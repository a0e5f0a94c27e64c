#include "FileBrowser.h"

#include <gtkmm/filechooserdialog.h>

#include <iostream>

#include "ControllerFachade.h"
#include "DialogChoosers.h"

namespace {

const char* const defaultTitle = "Please choose a file";
const char* const noFile = "null";

}  // namespace

using DialogChoosers::makeFilter;

FileBrowser::FileBrowser(ControllerFachade* fc) : fc(fc), window(fc->getMainWindow()) {}

void FileBrowser::setParentWindow(Gtk::Window* parent) { window = parent; }

std::string FileBrowser::on_button_clicked(int mode, std::string title) {
  Gtk::FileChooserDialog dialog(title.empty() ? defaultTitle : title, Gtk::FILE_CHOOSER_ACTION_OPEN);
  if (window != nullptr) dialog.set_transient_for(*window);
  dialog.set_modal(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button("_Open", Gtk::RESPONSE_OK);

  // The first filter added is the active one, so the kind's own comes first.
  bool knownMode = true;
  switch (mode) {
    case ImageFile:
      filename = fc->get_folder_f();
      dialog.add_filter(makeFilter("Images", {"*.jpeg", "*.jpg", "*.ppm", "*.png", "*.tif"}));
      break;
    case XmlFile:
      filename = fc->get_file1_f();
      dialog.add_filter(makeFilter("xml", {"*.xml"}));
      break;
    case CsvFile:
      filename = fc->get_file2_f();
      dialog.add_filter(makeFilter("csv", {"*.csv"}));
      break;
    default:
      // No settings folder belongs to an unknown mode: the chooser keeps its
      // own start folder.
      knownMode = false;
      break;
  }
  dialog.add_filter(makeFilter("Any files", {"*"}));
  if (knownMode) {
    filename += "/";
    dialog.set_current_folder(filename);
  }

  filename = noFile;
  if (dialog.run() == Gtk::RESPONSE_OK) {
    // A choice without a local path (a remote location) has an empty file
    // name, which no caller could open.
    const std::string chosen = dialog.get_filename();
    if (!chosen.empty()) {
      filename = chosen;
      std::cout << "File selected: " << filename << std::endl;
    }
  }
  dialog.hide();
  return filename;
}
