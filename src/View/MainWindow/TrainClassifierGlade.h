#ifndef TRAINCLASSIFIERGLADE_H
#define TRAINCLASSIFIERGLADE_H

#include <gtkmm/builder.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/paned.h>
#include <gtkmm/window.h>

#include <string>

#include "FileListView.h"

class Actions;
class PreferencesSample;

// The common part of the classifier training dialog: the folder of the
// pictures, the folder of their annotation files and the pictures to train
// on. Each choice goes at once into the batch settings. Builds the dialog but
// neither shows nor runs it; the species variant does.
class TrainClassifierGlade {
 public:
  // Reads `gladeFile` and looks up its widgets (a missing one is named on
  // standard error, and the dialog is then never shown), connects the
  // handlers, empties the settings' file list (no picture is chosen yet) and
  // shows the settings' picture and XML folders. Neither the
  // settings, the actions nor the parent window are owned.
  TrainClassifierGlade(const std::string& gladeFile, PreferencesSample* preferences, Actions* actions,
                       Gtk::Window* parent);
  virtual ~TrainClassifierGlade();
  TrainClassifierGlade(const TrainClassifierGlade&) = delete;
  TrainClassifierGlade& operator=(const TrainClassifierGlade&) = delete;

 protected:
  void image_button_clicked();
  void xml_button_clicked();
  void onSelectXmlFilesButton();
  void cancel_button_clicked();
  // Trains the first species on the chosen pictures, then closes.
  virtual void ok_button_clicked();
  // Mode 0 asks for the picture folder, mode 1 for the annotation folder.
  void fileChooser(int mode, std::string title);

  // Trains the species `index` on the chosen pictures. A failure of the
  // training is shown in a message; the program goes on.
  void train(int index);
  // Empties the chosen pictures, in the settings and in the list, and closes
  // the dialog.
  void finish();
  // Shows the window `windowId` of the interface file modal over the parent
  // and returns when it is hidden or closed; with a widget missing it shows
  // a message instead.
  void run(const char* windowId);

  Glib::RefPtr<Gtk::Builder> refBuilder;
  Gtk::Window* window = nullptr;
  PreferencesSample* preferences;
  Actions* actions;
  Gtk::Window* parent;
  Gtk::Button* imageButton;
  Gtk::Button* xmlButton;
  Gtk::Button* okButton;
  Gtk::Button* cancelButton;
  Gtk::Button* selectxmlButton;
  Gtk::Entry* imageEntry;
  Gtk::Entry* xmlEntry;
  Gtk::Paned* paned;
  FileListView fileList;
  // Whether every widget was found.
  bool complete;
  std::string gladeFile;
};

#endif
