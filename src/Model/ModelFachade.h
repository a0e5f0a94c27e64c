#ifndef MODELFACHADE_H
#define MODELFACHADE_H

#include <string>
#include <vector>

#include "AnnotationRead.h"
#include "ImageClass.h"
#include "Preferences.h"
#include "PolygonsReadOptions.h"
#include "PreferencesSample.h"
#include "baseShape.h"

namespace Model {

// The one model object: the current settings, the settings of batch runs,
// the open image and the only door to the annotation and preferences files.
class ModelFachade {
 public:
  ModelFachade();
  virtual ~ModelFachade();
  ModelFachade(const ModelFachade&) = delete;
  ModelFachade& operator=(const ModelFachade&) = delete;

  // Reads an annotation file for the open image. A failed read returns an
  // empty list and changes nothing in the model.
  std::vector<baseShape*> readXML(std::string file);
  // Reads an annotation file whole for the open image; nothing in the model
  // changes until it is taken.
  AnnotationRead readAnnotationFile(const std::string& file) const;
  // The picture record and calibration of a file that was read become the
  // model's; answers its shapes, whose owner the caller becomes.
  std::vector<baseShape*> takeAnnotation(AnnotationRead& read);
  std::vector<baseShape*> readOnlyXML(std::string file);
  // Reads an annotation file in batch into the auxiliary image and settings.
  std::vector<baseShape*> readPolygonsXML(std::string file);
  // The same; `readable` tells whether the file was parsed.
  std::vector<baseShape*> readPolygonsXML(std::string file, bool& readable);
  ImageClass* readImagePropertiesXML() { return imageXML; }
  Preferences* readPreferencesXML() { return preferencesXML; }

  // Writes an annotation file; true only when the whole file is in place.
  bool writePolygons(std::string file, std::vector<baseShape*> shapes);
  // Writes the current settings; true only when the whole file is in place.
  bool writePreferences(std::string file);
  // Reads a preferences file into the current settings. A file that is not
  // a regular file is refused and changes nothing: answers why, or an empty
  // string when the file was read (an XML error is only printed). What was
  // applied before an XML error, or before the reading ended, stays applied.
  std::string readPreferencesXMLFile(std::string file);
  // Brings the current settings back to their defaults, in place, so every
  // holder of the settings pointer sees the reset.
  void createPreferences();

  Preferences* getPreferences() { return preferences; }
  void setPreferences(Preferences* p) { preferences = p; }
  // The batch settings kept for the whole run; null in a program whose batch
  // dialogs make their own.
  PreferencesSample* getPreferencesSample() { return prefsample; }
  ImageClass* getImage() { return image; }
  std::string getImageName() const { return image->getFilename(); }
  void setImageProperties(std::string name, double width, double height);
  void setMeasures(std::vector<double> measures) { image->setMeasures(std::move(measures)); }
  std::vector<double> getMeasures() const { return image->getMeasures(); }

  double getCalibration() const { return preferences->getCalibration(); }
  bool isCalibrationActive() const { return preferences->isCalibrationActive(); }
  void setCalibrationActive(bool active) { preferences->setCalibrationActive(active); }
  void setCalibration(double factor) { preferences->setCalibration(factor); }

  std::string get_image_folder() const { return preferences->getImagePath(); }
  std::string get_xml_folder() const { return preferences->getXmlPath(); }
  std::string get_csv_folder() const { return preferences->getCsvPath(); }
  void set_image_folder(std::string folder) { preferences->setImagePath(folder); }
  void set_xml_folder(std::string folder) { preferences->setXmlPath(folder); }
  void set_csv_folder(std::string folder) { preferences->setCsvPath(folder); }

  // Marks with type 1 every visible shape whose centre lies inside another,
  // larger one, and with type 0 the others.
  void analysedInnerOuterPolygons(std::vector<baseShape*> shapes);
  // Marks as above, deletes the inner shapes and returns the others.
  std::vector<baseShape*> removeInnerPolygons(std::vector<baseShape*> shapes);
  // The largest diameter among the visible shapes, 0 when there is none.
  double maximumDiameter(std::vector<baseShape*> shapes);

 private:
  // Reads `file` into `target`, its shapes into `shapes` and its calibration
  // into `settings` (off when the file has none); on failure returns false
  // and leaves all three unchanged.
  bool readAnnotation(const std::string& file, ImageClass* target, Preferences* settings,
                      std::vector<baseShape*>& shapes) const;

  // What the annotation files of this program are read for.
  PolygonsReadOptions readOptions;
  Preferences* preferences = nullptr;
  Preferences* preferencesXML = nullptr;
  PreferencesSample* prefsample = nullptr;
  ImageClass* image = nullptr;
  ImageClass* imageXML = nullptr;
};

}  // namespace Model

#endif
