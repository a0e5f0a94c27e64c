#include "ZelvoraPanel.h"

#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "NotifyCode.h"
#include "Preferences.h"
#include "RegionTools.h"
#include "ScrollImage.h"

namespace {
// The four stages have fixed buttons; the other-class list starts after them.
constexpr std::size_t fixedStages = 4;
// The other-class list's rows before the user's classes.
constexpr int blankRow = 0;
constexpr int withoutClassRow = 1;
}  // namespace

ZelvoraPanel::ZelvoraPanel(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom,
                           Glib::RefPtr<Gtk::Builder> builder, ControllerFachade* fc)
    : PanelDiameters(actions, paned, panedbottom, builder, fc) {
  preferences = fc->getPreferences();
  mindim = preferences->getMinimumDiameter();
  maxdim = preferences->getMaximumDiameter();
  dimsmaller = mindim / 2;
  lookUp(species, "speciesname");
  lookUp(buttonRun, "buttonRun");
  lookUp(buttonRunClassifier, "classifier");
  lookUp(buttonShowtable, "table");
  lookUp(okcalibration, "buttonOkCalibration");
  lookUp(buttonRunSmaller, "buttonRun2");
  lookUp(buttonUndo, "buttonUndo");
  lookUp(entryminsmaller, "entryMinDim1");
  lookUp(unitysmaller, "parametrosValue1");
  lookUp(splitRegion, "buttonRunSplitRegion");
  lookUp(mergeRegion, "buttonRunMergeRegions");
  lookUp(completeRegion, "buttonRunCompleteRegion");
  lookUp(suprRegion, "buttonRunSuprRegions");
  lookUp(hidecells, "buttonHideContours");
  lookUp(hidecellswithnucleus, "buttonHidenucleus");
  lookUp(hidecellswithoutnucleus, "buttonHidewithout");
  lookUp(selectRegions, "selectAll");
  lookUp(alveolo, "alveolo");
  lookUp(viteline, "viteline");
  lookUp(hydrated, "hydrated");
  lookUp(voidclass, "void");
  lookUp(otherclass, "comboothercategories");
  lookUp(cn, "cn");
  lookUp(sn, "sn");
  if (!hasAllWidgets()) return;
  showSpecies();

  const auto connect = [this](Gtk::Button* button, void (ZelvoraPanel::*handler)()) {
    button->signal_clicked().connect([this, handler] { (this->*handler)(); });
  };
  buttonShowtable->signal_clicked().connect([this] { onButtonShowTablePress(); });
  connect(buttonRun, &ZelvoraPanel::onButtonRunPress);
  connect(buttonRunClassifier, &ZelvoraPanel::onButtonRunClassifierPress);
  connect(okcalibration, &ZelvoraPanel::onButtonOkCalibrationPress);
  connect(splitRegion, &ZelvoraPanel::onButtonSplitRegionPress);
  connect(mergeRegion, &ZelvoraPanel::onButtonMergeRegionsPress);
  connect(completeRegion, &ZelvoraPanel::onButtonCompleteRegionPress);
  connect(suprRegion, &ZelvoraPanel::onButtonSuprRegionPress);
  connect(hidecells, &ZelvoraPanel::onButtonHideCellsPress);
  connect(hidecellswithnucleus, &ZelvoraPanel::onButtonHideCellsWithNucleusPress);
  connect(hidecellswithoutnucleus, &ZelvoraPanel::onButtonHideCellsWithoutNucleusPress);
  connect(selectRegions, &ZelvoraPanel::onButtonSelectRegionsPress);
  connect(voidclass, &ZelvoraPanel::onButtonVoidClassPress);
  connect(alveolo, &ZelvoraPanel::onButtonAlveoloPress);
  connect(viteline, &ZelvoraPanel::onButtonVitelinePress);
  connect(hydrated, &ZelvoraPanel::onButtonHydratedPress);
  otherclass->signal_changed().connect([this] { onOtherClassChanged(); });
  connect(cn, &ZelvoraPanel::onButtonConNucleoPress);
  connect(sn, &ZelvoraPanel::onButtonSinNucleoPress);
  connect(buttonRunSmaller, &ZelvoraPanel::onButtonRunSmallerPress);
  connect(buttonUndo, &ZelvoraPanel::onButtonUndoSmallerCellsPress);
  entryminsmaller->signal_activate().connect([this] { onMinDiameterSmallerChanged(); });

  fillOtherClasses(preferences->getClassNamesPreferences());
  scrollImage->subscribe(this);
  scrollImage->setMinimumRegionSize(dimsmaller);
  scrollImage->setMoveObjects(false);
}

ZelvoraPanel::~ZelvoraPanel() { scrollImage->unsubscribe(this); }

std::string ZelvoraPanel::activeSpeciesName(Preferences& preferences) {
  const int active = preferences.getValidProblemActive();
  return active < 0 ? "" : preferences.getProblemNames()[active];
}

void ZelvoraPanel::showSpecies() { species->set_text(activeSpeciesName(*preferences)); }

void ZelvoraPanel::fillOtherClasses(const std::vector<std::string>& classNames) {
  otherclass->remove_all();
  otherclass->append(" ");
  otherclass->append("Without class");
  for (std::size_t i = fixedStages; i < classNames.size(); ++i) otherclass->append(classNames[i]);
  otherclass->set_active(blankRow);
}

// ---------------------------------------------------------------- detection and classification

void ZelvoraPanel::onButtonRunPress() {
  closeTable();
  // Detection looks for cells from one and a half times the minimum, which
  // keeps small fragments out; the smaller-cell pass covers the rest.
  actions->runAlgorithm1("", mindim + mindim / 2, maxdim, 0, 0);
}

void ZelvoraPanel::onButtonRunClassifierPress() {
  if (preferences->getValidProblemActive() < 0) {
    fc->showMessage(
        "There is not any species selected. Go to preference submenu and select a species or incorporate a new "
        "species on the system");
    return;
  }
  actions->classify(mindim, maxdim);
}

void ZelvoraPanel::onButtonOkCalibrationPress() { onEntryCalibrationChanged(); }

// ---------------------------------------------------------------- classes, marks, hiding, selection

void ZelvoraPanel::markSelected(const std::function<void(baseShape*)>& mark) {
  // Closing the table empties the canvas's selection: take it first.
  const std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  closeTable();
  if (selected.empty()) return;
  for (baseShape* shape : selected) {
    mark(shape);
    shape->setSelected(false);
  }
  scrollImage->resetPolygonsModelSelected();
  scrollImage->updateDraw();
}

void ZelvoraPanel::onButtonAlveoloPress() {
  markSelected([](baseShape* s) { s->setClase(1); });
}
void ZelvoraPanel::onButtonVitelinePress() {
  markSelected([](baseShape* s) { s->setClase(2); });
}
void ZelvoraPanel::onButtonHydratedPress() {
  markSelected([](baseShape* s) { s->setClase(3); });
}
void ZelvoraPanel::onButtonVoidClassPress() {
  markSelected([](baseShape* s) { s->setClase(4); });
}
void ZelvoraPanel::onButtonConNucleoPress() {
  markSelected([](baseShape* s) { s->setType(1); });
}
void ZelvoraPanel::onButtonSinNucleoPress() {
  markSelected([](baseShape* s) { s->setType(0); });
}

void ZelvoraPanel::onOtherClassChanged() {
  const int row = otherclass->get_active_row_number();
  if (row <= blankRow) return;
  // Row 1 takes the class away; row r from 2 on is class r + 3, the user's
  // classes after the four stages.
  const int clase = row == withoutClassRow ? 0 : row + 3;
  markSelected([clase](baseShape* s) { s->setClase(clase); });
  otherclass->set_active(blankRow);
}

// Deleted as the Delete key deletes, so that undo takes it back.
void ZelvoraPanel::onButtonSuprRegionPress() {
  // Closing the table empties the canvas's selection: take it first.
  const std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  closeTable();
  if (!selected.empty()) scrollImage->deleteItems(selected);
}

void ZelvoraPanel::hideShapes(Gtk::ToggleButton* toggle, const std::function<bool(baseShape*)>& touches,
                              const char* labelOn, const char* labelOff) {
  std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  const bool hide = toggle->get_active();
  for (baseShape* shape : shapes) {
    if (!touches(shape)) continue;
    if (hide)
      shape->setVisible(false);
    else if (!shape->getDeleted())
      shape->setVisible(true);
  }
  toggle->set_label(hide ? labelOn : labelOff);
  scrollImage->setPolygonsModel(shapes);
  scrollImage->updateDraw();
}

void ZelvoraPanel::onButtonHideCellsPress() {
  hideShapes(
      hidecells, [](baseShape*) { return true; }, "Show all", "Hide all");
}

void ZelvoraPanel::onButtonHideCellsWithNucleusPress() {
  hideShapes(
      hidecellswithnucleus, [](baseShape* s) { return s->getType() == 1; }, "Show with nucleus", "Hide with nucleus");
}

void ZelvoraPanel::onButtonHideCellsWithoutNucleusPress() {
  hideShapes(
      hidecellswithoutnucleus, [](baseShape* s) { return s->getType() == 0; }, "Show without nucleus",
      "Hide without nucleus");
}

void ZelvoraPanel::onButtonSelectRegionsPress() {
  const std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  for (baseShape* shape : shapes)
    if (shape->getVisible()) shape->setSelected(true);
  scrollImage->setPolygonsModelSelected(shapes);
}

// ---------------------------------------------------------------- refreshes

void ZelvoraPanel::updateText() {
  showSettings();
  // The smaller-cell minimum must stay clearly below the detection minimum.
  if (dimsmaller > mindim - 10) dimsmaller = mindim / 2;
  unitysmaller->set_text(unity->get_text());
  entryminsmaller->set_text(lengthText(dimsmaller));
  scrollImage->setMinimumRegionSize(dimsmaller);
  scrollImage->setMoveObjects(false);
  updateTable();
}

void ZelvoraPanel::updatePanel() {
  updateText();
  showSpecies();
}

void ZelvoraPanel::setCalibration() {
  updateText();
  fillOtherClasses(preferences->getClassNamesPreferences());
  showSpecies();
}

void ZelvoraPanel::resetPreferences() {
  showSettings();
  dimsmaller = mindim / 2;
  scrollImage->setMinimumRegionSize(dimsmaller);
  fillOtherClasses({});
  species->set_text("");
  scrollImage->setMoveObjects(false);
  std::cout << "resetPreferences: problem: " << preferences->getProblemActive() << std::endl;
}

// ---------------------------------------------------------------- region tools

void ZelvoraPanel::giveBack(const std::vector<baseShape*>& shapes) {
  scrollImage->setIdDraw(RegionTools::nextId(shapes));
  scrollImage->setPolygonsModel(shapes);
}

void ZelvoraPanel::armArcTool(Gtk::ToggleButton* toggle) {
  std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  closeTable();
  if (!toggle->get_active()) {
    // Switched off, also by hand: the arc tool no longer draws over what the
    // user does next.
    if (!splitRegion->get_active() && !completeRegion->get_active()) scrollImage->setButtonArc(false);
    return;
  }
  if (selected.empty()) {
    toggle->set_active(false);
    return;
  }
  scrollImage->restoreButtonsWithoutZoom();
  fc->unselectButtons();
  scrollImage->setButtonArc(true);
  selected.front()->setSelected(true);
  scrollImage->setPolygonsModelSelected(selected);
}

void ZelvoraPanel::onButtonSplitRegionPress() { armArcTool(splitRegion); }

void ZelvoraPanel::onButtonCompleteRegionPress() { armArcTool(completeRegion); }

std::string ZelvoraPanel::cutAlongFinishedArc() {
  std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  const std::vector<baseShape*>& selected = scrollImage->getPolygonsModelSelected();
  baseShape* source = selected.empty() ? nullptr : selected.front();
  // Split wins when both toggles are on.
  Gtk::ToggleButton* toggle = splitRegion->get_active() ? splitRegion : completeRegion;
  const RegionTools::ArcTool tool =
      toggle == splitRegion ? RegionTools::ArcTool::Split : RegionTools::ArcTool::Complete;
  RegionTools::ArcOutcome outcome;
  scrollImage->replaceShapes({source}, [&]() -> std::optional<std::vector<baseShape*>> {
    outcome =
        RegionTools::applyArc(shapes, source, tool, scrollImage->getImgWidth(), scrollImage->getImgHeight(), mindim);
    if (outcome.source == nullptr) return std::nullopt;
    toggle->set_active(false);
    giveBack(shapes);
    return std::vector<baseShape*>(outcome.added.begin(), outcome.added.end());
  });
  if (outcome.result == RegionTools::CutResult::LineDoesNotCross) {
    toggle->set_active(false);
    return RegionTools::lineDoesNotCrossMessage(tool);
  }
  return "";
}

void ZelvoraPanel::update(int code) {
  PanelDiameters::update(code);
  if (code != ArcFinished) return;
  std::string refusal;
  if (splitRegion->get_active() || completeRegion->get_active()) refusal = cutAlongFinishedArc();
  scrollImage->updateDraw();
  scrollImage->resetPolygonsModelSelected();
  scrollImage->restoreButtonsWithoutZoom();
  scrollImage->setMoveObjects(false);
  fc->selectButtonSelect();
  if (!refusal.empty()) fc->showMessage(refusal);
}

void ZelvoraPanel::onButtonMergeRegionsPress() {
  const std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  closeTable();
  if (selected.size() >= 2) {
    std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
    scrollImage->replaceShapes(selected, [&]() -> std::optional<std::vector<baseShape*>> {
      regionShape* merged =
          RegionTools::mergeByHull(shapes, selected, scrollImage->getImgWidth(), scrollImage->getImgHeight());
      if (merged == nullptr) return std::nullopt;
      giveBack(shapes);
      return std::vector<baseShape*>{merged};
    });
    scrollImage->updateDraw();
  }
  // Nothing stays marked selected outside the selection list.
  for (baseShape* shape : selected) shape->setSelected(false);
  scrollImage->resetPolygonsModelSelected();
}

void ZelvoraPanel::onButtonRunSmallerPress() {
  std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  if (shapes.empty()) return;
  scrollImage->setMinimumRegionSize(dimsmaller);
  closeTable();
  const std::vector<baseShape*> candidates = actions->getPolygonsAlgorithm1("", dimsmaller, mindim + mindim / 2, 0, 0);
  RegionTools::addSmallerCells(shapes, candidates, scrollImage->getImgWidth(), scrollImage->getImgHeight());
  giveBack(shapes);
}

void ZelvoraPanel::onButtonUndoSmallerCellsPress() {
  const std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  if (shapes.empty()) return;
  scrollImage->setMinimumRegionSize(dimsmaller);
  closeTable();
  RegionTools::withdrawSmallerCells(shapes);
  scrollImage->updateDraw();
}

void ZelvoraPanel::onMinDiameterSmallerChanged() {
  std::string shown;
  const std::optional<int> n = typedPixels(entryminsmaller, shown);
  const bool accepted = n && *n > 2 && *n < mindim;
  showValid(entryminsmaller, accepted);
  if (!accepted) return;
  entryminsmaller->set_text(shown);
  dimsmaller = *n;
  updateText();
}
