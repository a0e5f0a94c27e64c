// Writes Lumora's preferences dialog, "Glade/preferencesZelvora.glade": the
// shared settings (folders, calibration, diameters, drawing styles), the 30
// species buttons labelled with their keys and the class rows. The same
// program always writes the same file, which the run folder ships.
//
//   make_preferences_glade <out-folder>
//
// Writes <out-folder>/Glade/preferencesZelvora.glade.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "GladeObject.h"
#include "PreferencesDefaults.h"

namespace fs = std::filesystem;

namespace {

using Properties = GladeObject::Properties;

// The widths a line-width list offers: row n stands for width n + 1.
constexpr int widthRows = 10;
// Problem buttons per row of the species grid.
constexpr int problemColumns = 6;
constexpr int addedClassRows = 10;

std::string boolean(bool value) { return value ? "True" : "False"; }

Properties shown(bool visible = true) { return {{"visible", boolean(visible)}, {"can_focus", "False"}}; }

Properties plus(Properties properties, const Properties& more) {
  properties.insert(properties.end(), more.begin(), more.end());
  return properties;
}

Properties gridCell(int column, int row) {
  return {{"left_attach", std::to_string(column)}, {"top_attach", std::to_string(row)}};
}

Properties boxPacking(bool expand = false) { return {{"expand", boolean(expand)}, {"fill", "True"}}; }

GladeObject label(const std::string& id, const std::string& text, bool visible = true) {
  return GladeObject("GtkLabel", id, plus(shown(visible), {{"label", text}, {"xalign", "0"}}));
}

GladeObject button(const std::string& id, const std::string& text) {
  return GladeObject("GtkButton", id,
                     {{"label", text}, {"visible", "True"}, {"can_focus", "True"}, {"receives_default", "True"}});
}

GladeObject entry(const std::string& id, const std::string& text = "", bool editable = true) {
  return GladeObject("GtkEntry", id,
                     {{"visible", "True"},
                      {"can_focus", "True"},
                      {"editable", boolean(editable)},
                      {"text", text},
                      {"width_chars", "12"},
                      {"hexpand", "True"}});
}

GladeObject colourButton(const std::string& id) {
  return GladeObject("GtkColorButton", id,
                     {{"visible", "True"}, {"can_focus", "True"}, {"receives_default", "True"}, {"use_alpha", "True"}});
}

GladeObject widthCombo(const std::string& id) {
  std::vector<std::string> widths;
  for (int width = 1; width <= widthRows; ++width) widths.push_back(std::to_string(width));
  return GladeObject("GtkComboBoxText", id, shown()).items(widths);
}

GladeObject toggle(const std::string& className, const std::string& id, const std::string& text) {
  return GladeObject(className, id,
                     {{"label", text},
                      {"visible", "True"},
                      {"can_focus", "True"},
                      {"receives_default", "False"},
                      {"draw_indicator", "True"}});
}

GladeObject box(const std::string& id, const std::string& orientation, bool visible = true) {
  return GladeObject("GtkBox", id, plus(shown(visible), {{"orientation", orientation}, {"spacing", "6"}}));
}

GladeObject grid(const std::string& id) {
  return GladeObject("GtkGrid", id,
                     plus(shown(), {{"border_width", "6"}, {"row_spacing", "6"}, {"column_spacing", "6"}}));
}

GladeObject frame(const std::string& id, const std::string& title, GladeObject content) {
  GladeObject framed("GtkFrame", id, plus(shown(), {{"label", title}, {"label_xalign", "0"}}));
  framed.add(std::move(content));
  return framed;
}

// Folders, calibration and diameter limits.
GladeObject generalPage() {
  GladeObject folders = grid("gridFolders");
  const std::vector<std::vector<std::string>> folderRows = {{"Images", "imageEntry", "imageButton"},
                                                            {"XML files", "xmlEntry", "xmlButton"},
                                                            {"CSV files", "csvEntry", "csvButton"}};
  for (int row = 0; row < static_cast<int>(folderRows.size()); ++row) {
    const auto& names = folderRows[row];
    folders.add(label("label" + names[2], names[0]), gridCell(0, row));
    // Only the folder choosers change a folder; the entries show it.
    folders.add(entry(names[1], "", false), gridCell(1, row));
    folders.add(button(names[2], "Choose..."), gridCell(2, row));
  }

  GladeObject calibration = grid("gridCalibration");
  calibration.add(toggle("GtkCheckButton", "checkboxCalibration", "Calibration (micrometres per pixel)"),
                  gridCell(0, 0));
  calibration.add(entry("calibrationEntry", "1,0"), gridCell(1, 0));
  calibration.add(button("okcalibration", "OK"), gridCell(2, 0));
  calibration.add(label("labelMinDim", "Minimum diameter"), gridCell(0, 1));
  calibration.add(entry("entryMinDim"), gridCell(1, 1));
  calibration.add(button("okmindiameter", "OK"), gridCell(2, 1));
  calibration.add(label("labelMaxDim", "Maximum diameter"), gridCell(0, 2));
  calibration.add(entry("entryMaxDim"), gridCell(1, 2));
  calibration.add(button("okmaxdiameter", "OK"), gridCell(2, 2));
  calibration.add(label("labelUnit", "Unit"), gridCell(0, 3));
  calibration.add(label("parametrosValue", "pixels"), gridCell(1, 3));

  // Two rows the dialog keeps hidden.
  GladeObject spare = box("box3", "horizontal", false);
  spare.add(label("label8", "", false), boxPacking());
  GladeObject spare2 = box("box6", "horizontal", false);
  spare2.add(label("label12", "", false), boxPacking());

  GladeObject page = box("boxGeneral", "vertical");
  page.add(frame("frameFolders", "Default folders", std::move(folders)), boxPacking());
  page.add(frame("frameCalibration", "Calibration and diameters", std::move(calibration)), boxPacking());
  page.add(std::move(spare), boxPacking());
  page.add(std::move(spare2), boxPacking());
  return page;
}

// Colour and line width of points, circles and regions.
GladeObject drawingPage() {
  GladeObject page = grid("gridDrawing");
  page.add(label("labelColourHeading", "Colour"), gridCell(1, 0));
  page.add(label("labelWidthHeading", "Line width"), gridCell(2, 0));
  const std::vector<std::vector<std::string>> rows = {{"Points", "colourPoint", "comboboxPoint"},
                                                      {"Circles", "colourCircle", "comboboxCircle"},
                                                      {"Regions", "colourFreeHand", "comboboxRegion"}};
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    page.add(label("label" + rows[row][1], rows[row][0]), gridCell(0, row + 1));
    page.add(colourButton(rows[row][1]), gridCell(1, row + 1));
    page.add(widthCombo(rows[row][2]), gridCell(2, row + 1));
  }
  return page;
}

// One button for each species key, and the selected species' name.
GladeObject speciesPage(const std::vector<std::string>& keys) {
  GladeObject buttons = grid("gridSpecies");
  for (int i = 0; i < static_cast<int>(keys.size()); ++i)
    buttons.add(toggle("GtkRadioButton", "rb" + std::to_string(i + 1), keys[i]),
                gridCell(i % problemColumns, i / problemColumns));

  GladeObject name = box("boxSpeciesName", "horizontal");
  name.add(label("labelSpeciesName", "Species name"), boxPacking());
  name.add(entry("spiceEntry"), boxPacking(true));
  name.add(button("addButtonSpecie", "Set name"), boxPacking());

  GladeObject page = box("boxSpecies", "vertical");
  page.add(frame("frameSpecies", "Species", std::move(buttons)), boxPacking());
  page.add(std::move(name), boxPacking());
  return page;
}

std::string numberedId(const std::string& stem, int index) { return index == 0 ? stem : stem + std::to_string(index); }

// The fixed classes, the rows of added classes and the add button.
GladeObject classesPage(const std::vector<std::string>& fixedNames) {
  GladeObject fixed = grid("gridFixedClasses");
  const std::vector<std::string> fixedButtons = {"colourGreen", "colourRed", "colourMerge", "colourVoid"};
  for (int row = 0; row < static_cast<int>(fixedButtons.size()); ++row) {
    fixed.add(label("label" + fixedButtons[row], fixedNames[row]), gridCell(0, row));
    fixed.add(colourButton(fixedButtons[row]), gridCell(1, row));
  }

  GladeObject added = box("boxAddedClasses", "vertical");
  for (int j = 0; j < addedClassRows; ++j) {
    GladeObject row = box("box" + std::to_string(14 + j), "horizontal", false);
    row.add(entry(numberedId("classEntry", j)), boxPacking(true));
    row.add(colourButton(numberedId("colorButton", j)), boxPacking());
    added.add(std::move(row), boxPacking());
  }

  GladeObject page = box("boxClasses", "vertical");
  page.add(frame("frameFixedClasses", "Stages", std::move(fixed)), boxPacking());
  page.add(frame("frameAddedClasses", "Further classes", std::move(added)), boxPacking());
  page.add(button("addButton", "Add class"), boxPacking());
  return page;
}

GladeObject dialogButtons() {
  GladeObject buttons("GtkButtonBox", "buttonBoxDialog", plus(shown(), {{"spacing", "6"}, {"layout_style", "end"}}));
  for (const auto& [id, text] : std::vector<std::pair<std::string, std::string>>{
           {"cancelButton", "Cancel"}, {"saveButton", "Save"}, {"applyButton", "Apply"}, {"okButton", "OK"}})
    buttons.add(button(id, text), boxPacking());
  return buttons;
}

GladeObject preferencesWindow() {
  const PreferencesDefaults defaults = PreferencesDefaults::lumora();
  GladeObject pages("GtkNotebook", "notebookPreferences", {{"visible", "True"}, {"can_focus", "True"}});
  const std::vector<std::pair<std::string, GladeObject>> tabs = {{"General", generalPage()},
                                                                 {"Drawing", drawingPage()},
                                                                 {"Species", speciesPage(defaults.problemKeys)},
                                                                 {"Classes", classesPage(defaults.classNames)}};
  for (const auto& [title, page] : tabs) {
    pages.add(page);
    pages.add(label("labelTab" + title, title), {}, "tab");
  }

  GladeObject content("GtkBox", "boxDialog",
                      plus(shown(), {{"border_width", "6"}, {"orientation", "vertical"}, {"spacing", "6"}}));
  content.add(std::move(pages), boxPacking(true));
  content.add(dialogButtons(), boxPacking());

  GladeObject window("GtkWindow", "windowPreferences", {{"can_focus", "False"}, {"title", "Preferences"}});
  window.add(std::move(content));
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_preferences_glade <out-folder>\n";
    return 2;
  }
  const fs::path file = fs::path(argv[1]) / "Glade" / "preferencesZelvora.glade";
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  std::ofstream out(file, std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!--\n"
         "  Lumora's preferences dialog. Written by tools/preferencesglade\n"
         "  (make_preferences_glade); change the generator, not this file.\n"
         "\n"
         "  Row n of each line-width list stands for the width n + 1. The program\n"
         "  groups the species buttons, hides the rows of added classes until they\n"
         "  are used, and hides box3, box6, label8 and label12.\n"
         "-->\n"
         "<interface>\n"
         "  <requires lib=\"gtk+\" version=\"3.24\"/>\n";
  preferencesWindow().write(out, 1);
  out << "</interface>\n";
  out.close();
  if (!out) {
    std::cerr << "cannot write " << file << "\n";
    return 1;
  }
  return 0;
}
