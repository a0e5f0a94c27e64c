#include "DialogChoosers.h"

#include <glibmm/miscutils.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/messagedialog.h>

#include <cctype>
#include <iostream>

namespace DialogChoosers {

namespace {

// The chooser's folder file name is a placeholder relative to the working
// folder, so the chooser opens there.
const char* const placeholderName = "titulo provisional";

void prepare(Gtk::FileChooserDialog& dialog, Gtk::Window* parent, const char* okLabel) {
  if (parent != nullptr) dialog.set_transient_for(*parent);
  dialog.set_modal(true);
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button(okLabel, Gtk::RESPONSE_OK);
}

Answer answerOf(int response) {
  if (response == Gtk::RESPONSE_OK) return Answer::Chosen;
  if (response == Gtk::RESPONSE_CANCEL) {
    std::cout << "Cancel clicked." << std::endl;
    return Answer::Cancelled;
  }
  std::cout << "Unexpected button clicked." << std::endl;
  return Answer::Other;
}

// The pattern with every letter matching either case ("*.jpg" ->
// "*.[jJ][pP][gG]"): file names such as "SCAN.JPG" are as common as lower-case
// ones.
std::string caseBlind(const char* pattern) {
  std::string blind;
  for (const char* c = pattern; *c != '\0'; ++c) {
    const unsigned char letter = static_cast<unsigned char>(*c);
    if (std::isalpha(letter))
      blind +=
          std::string("[") + static_cast<char>(std::tolower(letter)) + static_cast<char>(std::toupper(letter)) + "]";
    else
      blind += *c;
  }
  return blind;
}

}  // namespace

Glib::RefPtr<Gtk::FileFilter> makeFilter(const char* name, std::initializer_list<const char*> patterns) {
  auto filter = Gtk::FileFilter::create();
  filter->set_name(name);
  for (const char* pattern : patterns) filter->add_pattern(caseBlind(pattern));
  return filter;
}

FolderChoice chooseFolder(Gtk::Window* parent, const std::string& title) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
  prepare(dialog, parent, "Select");
  dialog.set_filename(placeholderName);
  FolderChoice choice{answerOf(dialog.run()), std::string()};
  if (choice.answer == Answer::Chosen) {
    choice.folder = dialog.get_filename();
    std::cout << "Folder selected: " << choice.folder << std::endl;
  }
  dialog.hide();
  return choice;
}

FilesChoice chooseFiles(Gtk::Window* parent, const std::string& title, const std::string& folder,
                        const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_OPEN);
  prepare(dialog, parent, "Select");
  dialog.set_select_multiple(true);
  dialog.set_current_folder(folder);
  for (const auto& filter : filters) dialog.add_filter(filter);
  FilesChoice choice{answerOf(dialog.run()), {}};
  if (choice.answer == Answer::Chosen) {
    choice.files = dialog.get_filenames();
    std::cout << "Files selected: " << choice.files.size() << std::endl;
    for (const std::string& file : choice.files) std::cout << file << std::endl;
  }
  dialog.hide();
  return choice;
}

std::string chooseSaveFile(Gtk::Window* parent, const std::string& title, const std::string& folder,
                           const std::string& proposedName, const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters,
                           bool confirmOverwrite) {
  Gtk::FileChooserDialog dialog(title, Gtk::FILE_CHOOSER_ACTION_SAVE);
  prepare(dialog, parent, "_Save");
  dialog.set_do_overwrite_confirmation(confirmOverwrite);
  dialog.set_current_folder(folder);
  if (!proposedName.empty()) dialog.set_current_name(proposedName);
  for (const auto& filter : filters) dialog.add_filter(filter);
  std::string chosen;
  if (dialog.run() == Gtk::RESPONSE_OK) {
    chosen = dialog.get_filename();
    std::cout << "File selected: " << chosen << std::endl;
  }
  dialog.hide();
  return chosen;
}

bool confirmReplace(Gtk::Window* parent, const std::string& path) {
  Gtk::MessageDialog question("A file named \"" + Glib::path_get_basename(path) + "\" already exists.", false,
                              Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_NONE, true);
  if (parent != nullptr) question.set_transient_for(*parent);
  question.set_secondary_text("Do you want to replace it?");
  question.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  question.add_button("_Replace", Gtk::RESPONSE_ACCEPT);
  const bool replace = question.run() == Gtk::RESPONSE_ACCEPT;
  question.hide();
  return replace;
}

}  // namespace DialogChoosers
