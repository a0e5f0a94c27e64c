#include "XMLDAOPreferences.h"

#include <algorithm>
#include <cstdio>

#include "NumberText.h"
#include "ProgramProfile.h"
#include "RegularFileRead.h"
#include "XmlFileWriter.h"

namespace Model {

namespace {

// The libxml2 calls of the writer, each printing its own diagnostic on failure.

bool startElement(xmlTextWriterPtr writer, const std::string& name) {
  if (xmlTextWriterStartElement(writer, BAD_CAST name.c_str()) < 0) {
    std::printf("testXmlwriterFilename: Error at xmlTextWriterStartElement\n");
    return false;
  }
  return true;
}

bool writeAttribute(xmlTextWriterPtr writer, const char* name, const std::string& value) {
  if (xmlTextWriterWriteAttribute(writer, BAD_CAST name, BAD_CAST value.c_str()) < 0) {
    std::printf("testXmlwriterFilename: Error at xmlTextWriterWriteAttribute\n");
    return false;
  }
  return true;
}

bool endElement(xmlTextWriterPtr writer) {
  if (xmlTextWriterEndElement(writer) < 0) {
    std::printf("testXmlwriterMemory: Error at xmlTextWriterEndElement\n");
    return false;
  }
  return true;
}

// Writes the entries of a colour or style as attributes under the given
// names, as many as both lists hold.
bool writeReals(xmlTextWriterPtr writer, const std::vector<const char*>& names, const std::vector<double>& values) {
  const size_t count = std::min(names.size(), values.size());
  for (size_t i = 0; i < count; ++i)
    if (!writeAttribute(writer, names[i], NumberText::formatReal(values[i]))) return false;
  return true;
}

const std::vector<const char*> colourNames = {"blue", "red", "green", "alpha"};
const std::vector<const char*> styleNames = {"blue", "red", "green", "alpha", "width"};

// Position of a colour attribute in a colour list, or -1.
int colourIndex(const Glib::ustring& name) {
  for (size_t i = 0; i < colourNames.size(); ++i)
    if (name == colourNames[i]) return static_cast<int>(i);
  return -1;
}

}  // namespace

XMLDAOPreferences::XMLDAOPreferences(ImageClass* /*image*/, double calibration) : calibration(calibration) {}

bool XMLDAOPreferences::writePreferences(const std::string& file, Preferences* preferences) {
  std::printf("xmldaoPolygons: file= %s\n", file.c_str());
  XmlFileWriter output(file);
  xmlTextWriterPtr writer = output.get();
  if (writer == nullptr) {
    std::printf("testXmlwriterFilename: Error creating the xml writer\n");
    return false;
  }
  if (xmlTextWriterStartDocument(writer, nullptr, "UTF-8", nullptr) < 0) {
    std::printf("testXmlwriterFilename: Error at xmlTextWriterStartDocument\n");
    return false;
  }

  const bool opened =
      startElement(writer, "Preferences") &&
      writeAttribute(writer, "System", NumberText::formatInt(preferences->getAlgorithm())) &&
      startElement(writer, "Calibration") &&
      writeAttribute(writer, "Active", preferences->isCalibrationActive() ? "1" : "0") &&
      writeAttribute(writer, "Value", NumberText::formatRealExactly(preferences->getCalibration())) &&
      writeAttribute(writer, "minDiameter", NumberText::formatInt(preferences->getMinimumDiameter())) &&
      writeAttribute(writer, "maxDiameter", NumberText::formatInt(preferences->getMaximumDiameter())) &&
      endElement(writer);
  if (!opened) return false;

  // A failing element is abandoned and the next one still written, but the
  // file is then incomplete and does not replace the old one.
  bool complete = true;
  complete &= writeDir("ImagePath", preferences->getImagePath(), writer);
  complete &= writeDir("XMLPath", preferences->getXmlPath(), writer);
  complete &= writeDir("CSVPath", preferences->getCsvPath(), writer);
  complete &= writeObjectPreference("PointPreference", preferences->getPointPreferences(), writer);
  complete &= writeObjectPreference("CirclePreference", preferences->getCirclePreferences(), writer);
  complete &= writeObjectPreference("RegionPreference", preferences->getRegionPreferences(), writer);

  const auto& colours = preferences->getClassPreferences();
  const auto& classNames = preferences->getClassNamesPreferences();
  if (colours.size() == classNames.size())
    for (size_t i = 0; i < colours.size(); ++i)
      complete &= writeCategoryPreference(classNames[i], colours[i], writer);

  const auto& keys = preferences->getProblemsClaves();
  const auto& problemNames = preferences->getProblemNames();
  if (keys.size() == problemNames.size())
    for (size_t i = 0; i < keys.size(); ++i)
      complete &= writeProblemPreference(problemNames[i], keys[i],
                                         static_cast<int>(i) == preferences->getProblemActive(), writer);

  if (!endElement(writer)) return false;
  if (xmlTextWriterEndDocument(writer) < 0) {
    std::printf("testXmlwriterFilename: Error at xmlTextWriterEndDocument\n");
    return false;
  }
  return complete && output.commit(largestFile);
}

std::string XMLDAOPreferences::readPreferences(const std::string& file) {
  RegularFileRead contents(file);
  if (!contents.readable()) return contents.refusal();
  if (contents.size() > largestFile)
    return "it is larger than " + std::to_string(largestFile >> 20) +
           " MiB, far larger than any preferences file the program writes";
  return parseOpenedFile(contents);
}

bool XMLDAOPreferences::writeDir(const std::string& element, const std::string& dir, xmlTextWriterPtr writer) {
  return startElement(writer, element) && writeAttribute(writer, "dir", dir) && endElement(writer);
}

bool XMLDAOPreferences::writeObjectPreference(const std::string& element, const std::vector<double>& style,
                                              xmlTextWriterPtr writer) {
  return startElement(writer, element) && writeReals(writer, styleNames, style) && endElement(writer);
}

bool XMLDAOPreferences::writeCategoryPreference(const std::string& name, const std::vector<double>& colour,
                                                xmlTextWriterPtr writer) {
  return startElement(writer, "CategoryPreferences") && writeAttribute(writer, "type", name) &&
         writeReals(writer, colourNames, colour) && endElement(writer);
}

bool XMLDAOPreferences::writeProblemPreference(const std::string& name, const std::string& key, bool active,
                                               xmlTextWriterPtr writer) {
  return startElement(writer, "Problem") && writeAttribute(writer, "Clave", key) &&
         writeAttribute(writer, "Name", name) && writeAttribute(writer, "Active", active ? "true" : "false") &&
         endElement(writer);
}

void XMLDAOPreferences::on_start_element(const Glib::ustring& name, const AttributeList& attributes) {
  if (pref == nullptr) return;
  if (name == "Preferences") {
    for (const auto& attribute : attributes)
      if (attribute.name == "System") pref->setAlgorithm(NumberText::toInt(attribute.value.raw()));
  } else if (name == "Calibration") {
    readCalibration(attributes);
  } else if (name == "ImagePath" || name == "XMLPath" || name == "CSVPath") {
    std::string dir;
    for (const auto& attribute : attributes)
      if (attribute.name == "dir") dir = attribute.value.raw();
    if (name == "ImagePath")
      pref->setImagePath(dir);
    else if (name == "XMLPath")
      pref->setXmlPath(dir);
    else
      pref->setCsvPath(dir);
  } else if (name == "PointPreference") {
    pref->setPointPreferences(readStyle(attributes));
  } else if (name == "CirclePreference") {
    pref->setCirclePreferences(readStyle(attributes));
  } else if (name == "RegionPreference") {
    pref->setRegionPreferences(readStyle(attributes));
  } else if (name == "CategoryPreferences") {
    readCategory(attributes);
  } else if (name == "Problem") {
    readProblem(attributes);
  }
}

void XMLDAOPreferences::readCalibration(const AttributeList& attributes) {
  // An attribute the element lacks keeps the current setting.
  int active = pref->isCalibrationActive() ? 1 : 0;
  double value = pref->getCalibration();
  int minDiameter = pref->getMinimumDiameter();
  int maxDiameter = pref->getMaximumDiameter();
  for (const auto& attribute : attributes) {
    const std::string text = attribute.value.raw();
    if (attribute.name == "Active")
      active = NumberText::toInt(text);
    else if (attribute.name == "Value")
      value = NumberText::toDouble(text);
    else if (attribute.name == "minDiameter")
      minDiameter = NumberText::toInt(text);
    else if (attribute.name == "maxDiameter")
      maxDiameter = NumberText::toInt(text);
  }
  if (active == 1)
    pref->setCalibration(value);  // also switches calibration on
  else
    pref->setCalibrationActive(false);
  pref->setDiameters(minDiameter, maxDiameter);
}

std::vector<double> XMLDAOPreferences::readStyle(const AttributeList& attributes) {
  // Values are taken in the order the attributes appear; the width is read
  // without the decimal-comma replacement.
  std::vector<double> style;
  for (const auto& attribute : attributes) {
    if (colourIndex(attribute.name) >= 0)
      style.push_back(NumberText::toDouble(attribute.value.raw()));
    else if (attribute.name == "width")
      style.push_back(NumberText::toDoubleNoComma(attribute.value.raw()));
  }
  return style;
}

void XMLDAOPreferences::readCategory(const AttributeList& attributes) {
  // A colour attribute the element lacks keeps the current colour of the class
  // at the same position (0 when there is none).
  std::vector<double> colour(colourNames.size(), 0.0);
  const auto& current = pref->getClassPreferences();
  if (claseColor.size() < current.size()) {
    const auto& known = current[claseColor.size()];
    std::copy_n(known.begin(), std::min(known.size(), colour.size()), colour.begin());
  }
  std::string type;
  for (const auto& attribute : attributes) {
    const int index = colourIndex(attribute.name);
    if (index >= 0)
      colour[index] = NumberText::toDouble(attribute.value.raw());
    else if (attribute.name == "type")
      type = attribute.value.raw();
  }
  claseColor.push_back(colour);
  claseName.push_back(type);
}

void XMLDAOPreferences::readProblem(const AttributeList& attributes) {
  // The key is not read: keys always come from the fixed table.
  std::string name;
  bool active = false;
  for (const auto& attribute : attributes) {
    if (attribute.name == "Name")
      name = attribute.value.raw();
    else if (attribute.name == "Active")
      active = attribute.value.raw() == "true";
  }
  if (active) problemActive = static_cast<int>(problemName.size());
  problemName.push_back(name);
}

void XMLDAOPreferences::on_end_document() {
  if (pref == nullptr || claseColor.empty() || claseColor.size() != claseName.size()) return;
  // A file with fewer classes than the program's fixed ones keeps the
  // default classes it lacks.
  ProgramProfile::current().preferences.completeClasses(claseColor, claseName);
  pref->setClassPreferences(claseColor);
  pref->setClassNamesPreferences(claseName);
  // A file may list more or fewer problems than there are keys: the names are
  // padded or cut to one per key, and a selection beyond the keys is dropped.
  const size_t keyCount = pref->getProblemsClaves().size();
  std::vector<std::string> names = problemName;
  names.resize(keyCount);
  pref->setProblemNames(names);
  pref->setProblemActive(problemActive < static_cast<int>(keyCount) ? problemActive : -1);
}

}  // namespace Model
