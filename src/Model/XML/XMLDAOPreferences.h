#ifndef XMLDAOPREFERENCES_H
#define XMLDAOPREFERENCES_H

#include <libxml/xmlwriter.h>

#include <cstddef>
#include <string>
#include <vector>

#include "GuardedSaxParser.h"
#include "ImageClass.h"
#include "Preferences.h"

namespace Model {

// Writes Preferences to the preferences file and reads such a file back into
// them. Reading applies each element as it starts; the class and problem lists
// are applied together when the document ends.
class XMLDAOPreferences : public GuardedSaxParser {
 public:
  // The longest preferences file read or written, in bytes. The longest one
  // the preferences dialog can make is about 16 MB: three folders of
  // PATH_MAX bytes and forty class and species names of the 65,535
  // characters an entry takes, each character at most six bytes once
  // escaped. Four times that leaves a wide margin; a longer file is refused
  // before a byte of it is read, and is not written either.
  static constexpr std::size_t largestFile = std::size_t{64} << 20;

  // The image is not used: the preferences file records nothing about it.
  XMLDAOPreferences(ImageClass* image, double calibration);

  // The settings that reading fills; not owned.
  void setPreferences(Preferences& preferences) { pref = &preferences; }
  double getCalibration() const { return calibration; }

  // Writes `preferences` to `file` through a temporary file beside it.
  // Returns true only when the complete file, at most largestFile bytes, has
  // replaced `file`; otherwise `file` is left as it was.
  bool writePreferences(const std::string& file, Preferences* preferences);

  // Reads the preferences file `file` into the settings, block by block. A
  // file that is not a regular file (a pipe, a folder, a device), as the
  // parser would wait on it, or one longer than largestFile is refused
  // before a byte is read; a read error, a lack of memory, elements nested
  // deeper than deepestNesting, a start tag beyond StartTagScan's bounds or
  // bytes that are no text end the reading: answers why, or an empty string
  // when the file was parsed. XML errors raise the library's exception; what
  // was applied before them or before reading ended stays applied.
  std::string readPreferences(const std::string& file);

 protected:
  void on_end_document() override;
  void on_start_element(const Glib::ustring& name, const AttributeList& attributes) override;

 private:
  // Each writes one element; false when a libxml2 call failed (the failure is
  // printed and the element abandoned).
  static bool writeDir(const std::string& element, const std::string& dir, xmlTextWriterPtr writer);
  static bool writeObjectPreference(const std::string& element, const std::vector<double>& style,
                                    xmlTextWriterPtr writer);
  static bool writeCategoryPreference(const std::string& name, const std::vector<double>& colour,
                                      xmlTextWriterPtr writer);
  static bool writeProblemPreference(const std::string& name, const std::string& key, bool active,
                                     xmlTextWriterPtr writer);

  void readCalibration(const AttributeList& attributes);
  static std::vector<double> readStyle(const AttributeList& attributes);
  void readCategory(const AttributeList& attributes);
  void readProblem(const AttributeList& attributes);

  double calibration;
  Preferences* pref = nullptr;
  std::vector<std::vector<double>> claseColor;
  std::vector<std::string> claseName;
  std::vector<std::string> problemName;
  // Index of the last Problem marked active; -1 until one is seen.
  int problemActive = -1;
};

}  // namespace Model

#endif
