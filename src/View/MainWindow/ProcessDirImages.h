#ifndef PROCESSDIRIMAGES_H
#define PROCESSDIRIMAGES_H

#include <gtkmm/builder.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/window.h>

#include <string>

class Actions;
class PreferencesSample;

// Collects the settings of a batch over a folder of pictures: the picture
// folder, the folder of annotation files, the CSV file, whether sub-folders
// count, the diameter limits and the image type. The dialog keeps them until
// OK, and only OK with all three paths chosen writes them into the batch
// settings; Cancel, a close or a missing path leaves those untouched.
class ProcessDirImages {
 public:
  // Reads `gladeFile`, runs the dialog modal over `parent` and returns when
  // it is closed. With a widget missing it shows a message through the use
  // cases instead. Nothing given is owned.
  ProcessDirImages(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile,
                   Gtk::Window* parent);
  virtual ~ProcessDirImages();
  ProcessDirImages(const ProcessDirImages&) = delete;
  ProcessDirImages& operator=(const ProcessDirImages&) = delete;

  // The limits typed values must keep: a minimum of at least 4 that stays
  // 3 or more below the maximum, and a maximum 3 or more above the minimum.
  static bool acceptsMinimum(int minimum, int maximum);
  static bool acceptsMaximum(int maximum, int minimum);

 protected:
  virtual void xml_button_clicked();
  virtual void image_button_clicked();
  virtual void csv_button_clicked();
  virtual void cancel_button_clicked();
  // Mode 1 asks for the folder of annotation files, mode 2 for the picture
  // folder.
  virtual void fileChooser(int mode, std::string title);

  void onOkPressed();
  void onCheckboxDirChanged();
  void onMinDiameterChanged();
  void onMaxDiameterChanged();
  void onRadioButtonPress();

  Glib::RefPtr<Gtk::Builder> refBuilder;
  PreferencesSample* preferences;
  Gtk::Window* parent;
  Gtk::Window* window = nullptr;
  std::string xmlPath;
  std::string imagePath;
  std::string csvFile;
  bool subdir = false;
  int mindim;
  int maxdim;
  int type = 0;
  Gtk::Button* csvButton;
  Gtk::Button* xmlButton;
  Gtk::Button* imageButton;
  Gtk::Button* okButton;
  Gtk::Button* cancelButton;
  Gtk::RadioButton* buttonEHE;
  Gtk::RadioButton* buttonOR;
  Gtk::Entry* csvEntry;
  Gtk::Entry* xmlEntry;
  Gtk::Entry* imageEntry;
  Gtk::Entry* minDiameter;
  Gtk::Entry* maxDiameter;
  Gtk::CheckButton* boxDir;
};

#endif
