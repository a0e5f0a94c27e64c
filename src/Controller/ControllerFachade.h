#ifndef CONTROLLERFACHADE_H
#define CONTROLLERFACHADE_H

#include <memory>
#include <string>
#include <vector>

namespace Gtk {
class Window;
}
namespace Model {
class AnnotationRead;
class ModelFachade;
}
namespace View {
class ViewFachade;
}
class Preferences;
class ImageClass;
class baseShape;

// The meeting point of view and model: the view side asks it for the main
// window, message boxes, the current settings and image, panel refreshes and
// annotation files; it forwards to the model or the view facade. It also runs
// the settings-folder start-up and reset.
class ControllerFachade {
 public:
  ControllerFachade();
  virtual ~ControllerFachade();
  ControllerFachade(const ControllerFachade&) = delete;
  ControllerFachade& operator=(const ControllerFachade&) = delete;

  // Runs the main window until it closes; returns the application's status.
  int showMainWindow(int argc, char** argv);

  // Finds, creates or fills the settings folder and reads its preferences.
  void loadPreferences(int algorithm);
  // Empties the settings folder (removes it and makes it again).
  void removePreferences();

  void showMessage(std::string text);
  // OK/Cancel question; 1 for OK, 0 otherwise.
  int showMessageCancelQuit(std::string text);

  Gtk::Window* getMainWindow();
  Model::ModelFachade* getModel() { return fm.get(); }
  Preferences* getPreferences();
  ImageClass* getImageClass();
  // Reads an annotation file whole for the open picture; nothing changes
  // until it is taken.
  Model::AnnotationRead readPoligonsXML(std::string file);
  // Takes a file that was read: its picture record and calibration become
  // the model's; answers its shapes.
  std::vector<baseShape*> getPoligonsXML(Model::AnnotationRead& read);
  // True only when the annotation file was written completely.
  bool writePolygons(std::string file, std::vector<baseShape*> shapes);

  double getCalibration();
  double get_calibration_f() { return getCalibration(); }
  bool isCalibrationActive();
  void setCalibrationActive(bool active);
  void setCalibration(double factor);
  void set_calibration_f(double factor) { setCalibration(factor); }
  std::string get_folder_f();
  std::string get_file1_f();
  std::string get_file2_f();
  void set_image_folder(std::string folder);
  void set_xml_folder(std::string folder);
  void set_csv_folder(std::string folder);
  void setImageProperties(std::string name, double width, double height);
  // The canvas's picture size in pixels; 0 before the window is built.
  double getImgWidth();
  double getImgHeight();

  void unselectButtons();
  void selectButtonSelect();
  void closeTable();
  void resetLateralPanel();
  void updateLateralPanel();
  void setCalibrationPanel();
  void subscribeUnsubscribeMiniScroll();
  void resetPreferences();

 private:
  // Reads the settings folder's preferences file; one that cannot be read
  // leaves the defaults and is reported.
  void readSettingsFile(const std::string& file);

  // Declared model first so the view, whose parts hold pointers into the
  // model's settings and image, is destroyed first.
  std::unique_ptr<Model::ModelFachade> fm;
  std::unique_ptr<View::ViewFachade> fv;
};

#endif
