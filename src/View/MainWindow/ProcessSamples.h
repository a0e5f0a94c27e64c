#ifndef PROCESSSAMPLES_H
#define PROCESSSAMPLES_H

#include <gtkmm/builder.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/paned.h>
#include <gtkmm/window.h>

#include <string>

#include "FileListView.h"

class Actions;
class PreferencesSample;

// The core of the dialogs that export the sample CSV of annotation files: the
// user names the folder of the files, picks files from it and chooses the CSV
// file; each choice goes at once into the batch settings, and the export is
// the use-case object's saveCSVSample. The interface file is a parameter and
// every handler is virtual, so each program's dialog builds on this core.
// The core builds the dialog but neither shows nor runs it; see run.
class ProcessSamples {
 public:
  // Reads `gladeFile` and looks up its widgets (a missing one is named on
  // standard error, and the dialog is then never shown), connects the
  // handlers and shows the settings' XML folder. Neither the settings, the
  // actions nor the parent window are owned.
  ProcessSamples(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile, Gtk::Window* parent);
  virtual ~ProcessSamples();
  ProcessSamples(const ProcessSamples&) = delete;
  ProcessSamples& operator=(const ProcessSamples&) = delete;

  // The CSV file written for a chosen name: ".csv" is appended unless the
  // name is empty or already ends in it.
  static std::string csvFileName(const std::string& chosen);

  // The CSV file to write, asked for over `parent` in `folder` until the user
  // accepts a name whose file, with its ending, is new or may be replaced;
  // "" when cancelled.
  static std::string askCsvFile(Gtk::Window* parent, const std::string& title, const std::string& folder);

 protected:
  virtual void xml_button_clicked();
  // Asks for the CSV file, then exports: the settings' file list into that
  // file. The dialog stays open for further exports.
  virtual void csv_button_clicked();
  virtual void cancel_button_clicked();
  virtual void onPressingSelectImagesButton();
  // Mode 1 asks for the folder of the annotation files.
  virtual void fileChooser(int mode, std::string title);

  // Shows the window `windowId` of the interface file modal over the parent
  // and returns when it is hidden or closed; with a widget missing it shows
  // a message instead.
  void run(const char* windowId);

  Glib::RefPtr<Gtk::Builder> refBuilder;
  PreferencesSample* preferences;
  Actions* actions;
  Gtk::Window* parent;
  Gtk::Window* window = nullptr;
  Gtk::Button* csvButton;
  Gtk::Button* xmlButton;
  Gtk::Button* cancelButton;
  Gtk::Button* selectImagesButton;
  Gtk::Entry* xmlEntry;
  Gtk::Paned* paned;
  FileListView fileList;
  // Whether every widget was found.
  bool complete;
  std::string gladeFile;
  // The title of the chooser of the CSV file to write.
  std::string csvChooserTitle = "Save CSV as";
};

#endif
