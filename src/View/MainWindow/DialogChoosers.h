#ifndef DIALOGCHOOSERS_H
#define DIALOGCHOOSERS_H

#include <gtkmm/filefilter.h>
#include <gtkmm/window.h>

#include <initializer_list>
#include <string>
#include <vector>

// The modal choosers that the menu and the batch and training dialogs run:
// a folder, several files to open, one file to save. Each runs over its
// parent window until answered and prints what was chosen on standard output.
namespace DialogChoosers {

// How the user left a chooser.
enum class Answer { Chosen, Cancelled, Other };

struct FolderChoice {
  Answer answer;
  std::string folder;
};

struct FilesChoice {
  Answer answer;
  std::vector<std::string> files;
};

// A file filter with its name and patterns, in that order; the patterns'
// letters match in either case.
Glib::RefPtr<Gtk::FileFilter> makeFilter(const char* name, std::initializer_list<const char*> patterns);

// A folder, with the buttons "_Cancel" and "Select". The chooser starts in the
// working folder. Prints "Folder selected: " with the folder, "Cancel
// clicked." or "Unexpected button clicked.".
FolderChoice chooseFolder(Gtk::Window* parent, const std::string& title);

// Several files to open from `folder`, with the buttons "_Cancel" and
// "Select"; the first filter is the active one. Prints "Files selected: "
// with the count and then each path on its own line, "Cancel clicked." or
// "Unexpected button clicked.".
FilesChoice chooseFiles(Gtk::Window* parent, const std::string& title, const std::string& folder,
                        const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters);

// One file to save in `folder`, proposing `proposedName` (none when empty),
// with the buttons "_Cancel" and "_Save". With `confirmOverwrite` the chooser
// asks before it answers a file that exists. Returns the chosen path after
// printing "File selected: " with it, or "" when nothing was chosen.
std::string chooseSaveFile(Gtk::Window* parent, const std::string& title, const std::string& folder,
                           const std::string& proposedName, const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters,
                           bool confirmOverwrite);

// Asks over `parent` whether the file `path`, which exists, may be replaced.
bool confirmReplace(Gtk::Window* parent, const std::string& path);

}  // namespace DialogChoosers

#endif
