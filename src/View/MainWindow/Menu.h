#ifndef MENU_H
#define MENU_H

#include <giomm/simpleactiongroup.h>
#include <gtkmm/builder.h>
#include <gtkmm/menubar.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>

#include "MenuProfile.h"

class Actions;
class ControllerFachade;
class PreferencesSample;
namespace Model {
class ModelFachade;
}

// Binds the items of the main window's menu bar to the program's commands:
// the actions of the group "menu", which the items of the main window's
// interface file name. Most forward to the use-case object; the others run a
// save chooser, a question or one of the program's dialogs, each modal over
// the main window, and return when it is closed.
class Menu {
 public:
  // Looks up "window1" in the main window's builder, hides the items that
  // the settings in force at start-up leave out, and puts the actions on the
  // main window. Neither the actions nor the controller are owned.
  Menu(Actions* actions, Gtk::MenuBar* menu, Glib::RefPtr<Gtk::Builder> refBuilder, ControllerFachade* fc);
  // Takes the action group off the main window.
  virtual ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;


  void openImageFile();
  void openImageXMLFile();
  void openXMLfile();
  // Asks where to save the annotation, proposing the picture's name with
  // ".xml" in the settings' XML folder, and saves it there as named.
  void saveXMLfile();
  // Asks where to save the results, proposing the picture's name with ".csv"
  // in the settings' CSV folder, and writes the results CSV there as named.
  void exportCSV();
  // Runs the preferences dialog, then redraws with the settings and refreshes
  // the side panel's calibration.
  void preferencesClick();
  // Empties the settings folder. Where the program's profile says so, asks
  // first, then about unsaved changes as Quit does, and ends the program
  // (trained species go too); otherwise restores the default settings, says so and opens the
  // preferences dialog on them.
  void resetPreferencesClick();
  // Reads a preferences file chosen by the user and redraws with it.
  void drawClick();
  // Ends the program; when the annotation has unsaved changes, only after
  // the user saved or discarded them.
  void exitClick();
  void undoClick();
  void redoClick();
  void fitImageClick();
  void originalSizeClick();
  void processingPanelClick();
  void resultsClick();
  // Runs the batch dialog of the sample CSV.
  void processingSamplesClick();
  // Under the folder-batch algorithm, runs the folder batch dialog and hands
  // what it recorded to the use cases.
  void processingImagesClick();
  void classifyClick();
  // Runs the training dialog.
  void trainClassifierClick();
  void userManualClick();
  void aboutUsClick();
  // A modal information box "Processing information" over the main window.
  void showMessage(const std::string& text);

 private:
  // Resets the side panel and ends the program without asking.
  void quit();
  // Hides the items that the algorithm number leaves out of this program.
  void hideItems(int algorithm);
  // Runs `run` with the batch settings: the model's own where the program
  // keeps one set for the whole run, else a fresh set over the current
  // settings that is deleted afterwards.
  void withBatchSettings(const std::function<void(PreferencesSample*)>& run);
  // Reports "Results saved in " only when the run wrote the CSV file.
  void runDirectoryBatch(PreferencesSample* settings);

  Actions* actions;
  Gtk::MenuBar* menu;
  Glib::RefPtr<Gtk::Builder> refBuilder;
  Gtk::Window* window;
  const MenuProfile& profile;
  ControllerFachade* fc;
  Model::ModelFachade* fm;
  Glib::RefPtr<Gio::SimpleActionGroup> actionGroup;
};

#endif
