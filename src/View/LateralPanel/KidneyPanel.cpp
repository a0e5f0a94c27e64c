#include "KidneyPanel.h"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "ImageClass.h"
#include "ModelFachade.h"
#include "NotifyCode.h"
#include "NumberText.h"
#include "OpticalClassifierCyst.h"
#include "ScrollImage.h"
#include "UnsavedWorkQuestion.h"
#include "regionDetectorCyst.h"

namespace {
// The limits the panel starts with until the settings are shown.
constexpr int initialMinimum = 40;
constexpr int initialMaximum = 1500;

// The one console line of each add-cysts pass: shapes before, candidates
// found, candidates kept, shapes after.
void traceAddedCysts(std::size_t before, std::size_t candidates, int added, std::size_t after) {
  std::cout << "Initial cells: " << before << " small detected: " << candidates << " verdaderas positivas: " << added
            << " final: " << after << std::endl;
}

// The start of every message of Add cysts that adds nothing.
const std::string nothingAdded = "Add cysts adds no cysts: ";

// The classifier's files are read once, when the panel is made.
const char* const readAtStart = " Cavitra reads the classifier when it starts.";

// The classifier's refusal, told without its full stop, as a sentence of its
// own.
std::string asSentence(const std::string& refusal) { return refusal.empty() ? refusal : refusal + "."; }
}  // namespace

KidneyPanel::KidneyPanel(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom,
                         Glib::RefPtr<Gtk::Builder> builder, ControllerFachade* fc)
    : PanelDiameters(actions, paned, panedbottom, builder, fc),
      classifier(std::make_unique<OpticalClassifierCyst>("", 0)) {
  lookUp(buttonShowtable, "table");
  lookUp(buttonRun, "buttonRun");
  lookUp(entrystep, "stepHistogram");
  lookUp(buttonliver, "radiobutton1");
  lookUp(buttonkidney, "radiobutton2");
  lookUp(boxfalsepositive, "box11");
  lookUp(removeInner, "buttonRunRemoveInnerRegions");
  lookUp(removefp, "buttonRunRemoveFalsePositive");
  lookUp(undoRemovefp, "buttonUndoRemoveFalsePositive");
  lookUp(redoRemovefp, "buttonRedoRemoveFalsePositive");
  lookUp(addRegions, "buttonRunAddCyst");
  lookUp(undoAddRegions, "buttonUndoAddCyst");
  lookUp(redoAddRegions, "buttonRedoAddCyst");
  lookUp(splitRegion, "buttonRunSplitRegion");
  lookUp(mergeRegion, "buttonRunMergeRegions");
  lookUp(completeRegion, "buttonRunCompleteRegion");
  lookUp(cystindex, "cystIndexLabel");
  lookUp(cystnumber, "cystNumberLabel");
  lookUp(box8, "box8");
  lookUp(box11, "box11");
  lookUp(box12, "box12");
  lookUp(text4, "text4");
  if (!hasAllWidgets()) return;

  entrystep->set_text(NumberText::formatInt(step));
  boxfalsepositive->hide();
  // Joined before any handler is connected, so making kidney the choice runs
  // nothing.
  buttonkidney->join_group(*buttonliver);
  buttonkidney->set_active(true);
  cystindex->set_text("0");
  cystnumber->set_text("0");
  for (Gtk::Widget* hidden : std::initializer_list<Gtk::Widget*>{box8, box11, box12, text4}) hidden->hide();

  const auto connect = [this](Gtk::Button* button, void (KidneyPanel::*handler)()) {
    button->signal_clicked().connect([this, handler] { (this->*handler)(); });
  };
  buttonShowtable->signal_clicked().connect([this] { onButtonShowTablePress(); });
  entrystep->signal_changed().connect([this] { onStepChanged(); });
  connect(buttonRun, &KidneyPanel::onButtonRunPress);
  // A radio group reports the click on the button losing the choice as well,
  // so the liver button alone sees every change of organ.
  organChoice = buttonliver->signal_clicked().connect([this] { onRadioButtonPress(); });
  connect(removeInner, &KidneyPanel::onButtonRemoveInnerRegionsPress);
  connect(removefp, &KidneyPanel::onButtonRemoveFalsePositivePress);
  connect(undoRemovefp, &KidneyPanel::onButtonUndoRemoveFalsePositivePress);
  connect(redoRemovefp, &KidneyPanel::onButtonRedoRemoveFalsePositivePress);
  connect(addRegions, &KidneyPanel::onButtonAddRegionsPress);
  connect(undoAddRegions, &KidneyPanel::onButtonUndoAddRegionsPress);
  connect(redoAddRegions, &KidneyPanel::onButtonRedoAddRegionsPress);
  connect(splitRegion, &KidneyPanel::onButtonSplitRegionPress);
  connect(mergeRegion, &KidneyPanel::onButtonMergeRegionsPress);
  connect(completeRegion, &KidneyPanel::onButtonCompleteRegionPress);
  scrollImage->subscribe(this);

  mindim = initialMinimum;
  maxdim = initialMaximum;
  entrymin->set_text(NumberText::formatInt(mindim));
  entrymax->set_text(NumberText::formatInt(maxdim));
  scrollImage->setMinimumRegionSize(mindim);
  showClassifierRefusal();
}

KidneyPanel::~KidneyPanel() { scrollImage->unsubscribe(this); }

void KidneyPanel::showClassifierRefusal() {
  const std::string& refusal = classifier->loadRefusal();
  if (refusal.empty()) return;
  // Add cysts asks the texture model alone; the shape model is only loaded.
  if (classifier->isTextureLoaded())
    fc->showMessage("The shape model of the cyst classifier is not loaded. " + asSentence(refusal) +
                    " Add cysts does not use it.");
  else
    fc->showMessage("The cyst classifier is not loaded. " + asSentence(refusal) +
                    " Add cysts adds no cysts without it." + readAtStart);
}

// ---------------------------------------------------------------- results

void KidneyPanel::updateCystIndex() {
  const std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  const CystRegionTools::CystIndex index =
      CystRegionTools::cystIndex(shapes, scrollImage->getImgWidth(), scrollImage->getImgHeight());
  cystindex->set_text(CystRegionTools::indexText(index.percent));
  cystnumber->set_text(NumberText::formatInt(index.regions));
  updateTable();
}

// ---------------------------------------------------------------- detection and settings

void KidneyPanel::onButtonRunPress() {
  closeTable();
  // Kidney cysts are searched from one and a half times the minimum with the
  // stronger opening; liver sections from the minimum itself.
  if (liver)
    actions->runAlgorithm1("", mindim, maxdim, 0, 0);
  else
    actions->runAlgorithm1("", mindim + mindim / 2, maxdim, 1, 0);
  updateCystIndex();
}

void KidneyPanel::onRadioButtonPress() {
  // A change of organ empties the annotation; kept, the organ stays too.
  if (!actions->mayDropShapes(UnsavedWorkQuestion::Command::ReplaceShapes)) {
    // Put back without running this handler again.
    organChoice.block();
    (liver ? buttonliver : buttonkidney)->set_active(true);
    organChoice.unblock();
    return;
  }
  actions->clearPolygonsModel();
  liver = buttonliver->get_active();
  closeTable();
  updateCystIndex();
}

void KidneyPanel::onStepChanged() {
  showValid(entrystep, true);
  step = std::atoi(entrystep->get_text().c_str());
  if (step > 0) {
    actions->setHistogramStep(step);
    return;
  }
  showValid(entrystep, false);
}

void KidneyPanel::update(int code) {
  // The labels and an open table follow every change of the shapes.
  if (code == ShapesDeleted || code == ShapeAdded) {
    updateCystIndex();
    return;
  }
  PanelDiameters::update(code);
  if (code != ArcFinished) return;
  std::string refusal;
  if (splitRegion->get_active() || completeRegion->get_active()) refusal = cutAlongFinishedArc();
  scrollImage->updateDraw();
  scrollImage->resetPolygonsModelSelected();
  scrollImage->restoreButtonsWithoutZoom();
  updateCystIndex();
  if (!refusal.empty()) fc->showMessage(refusal);
}

void KidneyPanel::onMinDiameterChanged() {
  PanelDiameters::onMinDiameterChanged();
  updateCystIndex();
}

void KidneyPanel::onMaxDiameterChanged() {
  PanelDiameters::onMaxDiameterChanged();
  updateCystIndex();
}

void KidneyPanel::onMinDiameterDraw() {
  PanelDiameters::onMinDiameterDraw();
  updateCystIndex();
}

void KidneyPanel::onMaxDiameterDraw() {
  PanelDiameters::onMaxDiameterDraw();
  updateCystIndex();
}

void KidneyPanel::setCalibration() {
  PanelDiameters::setCalibration();
  updateCystIndex();
}

void KidneyPanel::onCheckboxToggled() {
  std::cout << "Panel::onCheckboxToggled(): " << (boxCalibration->get_active() ? 1 : 0) << std::endl;
}

void KidneyPanel::resetPanel() {
  std::cout << "Panel::resetPanel()" << std::endl;
  PanelDiameters::resetPanel();
}

void KidneyPanel::updatePanel() { updateCystIndex(); }

// ---------------------------------------------------------------- region tools

void KidneyPanel::giveBack(const std::vector<baseShape*>& shapes) {
  scrollImage->setPolygonsModel(shapes);
  scrollImage->setIdDraw(RegionTools::nextId(shapes));
}

void KidneyPanel::onButtonRemoveInnerRegionsPress() {
  const std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  const std::vector<baseShape*> removed =
      CystRegionTools::removeInner(shapes, scrollImage->getImgWidth(), scrollImage->getImgHeight());
  scrollImage->forgetHistoryOf(removed);
  scrollImage->updateDraw();
  updateCystIndex();
}

void KidneyPanel::remarkInKidneyMode(const CystRegionTools::Remark& change) {
  if (liver) return;
  CystRegionTools::remark(scrollImage->getPolygonsNew(), change);
  scrollImage->updateDraw();
  updateCystIndex();
}

void KidneyPanel::onButtonUndoRemoveFalsePositivePress() { remarkInKidneyMode(CystRegionTools::undoFalsePositive); }

void KidneyPanel::onButtonRedoRemoveFalsePositivePress() { remarkInKidneyMode(CystRegionTools::redoFalsePositive); }

void KidneyPanel::onButtonUndoAddRegionsPress() { remarkInKidneyMode(CystRegionTools::undoAddedCysts); }

void KidneyPanel::onButtonRedoAddRegionsPress() { remarkInKidneyMode(CystRegionTools::redoAddedCysts); }

void KidneyPanel::onButtonAddRegionsPress() {
  if (liver) return;
  // Without its texture model the classifier would turn every candidate
  // down, so the pass is not run and the user is told why.
  if (!classifier->isTextureLoaded()) {
    fc->showMessage(nothingAdded + "the cyst classifier is not loaded. " +
                    asSentence(classifier->loadRefusal()) + readAtStart);
    return;
  }
  // The opening of the second pass scales with the minimum diameter; below
  // one pixel there is nothing to open with.
  if (regionDetectorCyst::openingSize(mindim) < 1) {
    const std::size_t shapes = scrollImage->getPolygonsNew().size();
    traceAddedCysts(shapes, 0, 0, shapes);
    fc->showMessage(nothingAdded + "the minimum diameter " + NumberText::formatInt(mindim) +
                    " is too small to search for cysts.");
    return;
  }
  const std::string imageName = fc->getModel()->getImageName();
  try {
    classifier->setImageName(imageName);
  } catch (int) {
    fc->showMessage(nothingAdded + "the picture " + imageName + " cannot be read.");
    return;
  } catch (const std::exception& e) {
    fc->showMessage(nothingAdded + "the picture " + imageName + " cannot be read: " + e.what() + ".");
    return;
  }
  std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  const std::size_t before = shapes.size();
  const std::vector<baseShape*> candidates = actions->getPolygonsAlgorithm1(imageName, mindim, 2 * mindim, 1, 0);
  const int added = CystRegionTools::addCysts(
      shapes, candidates, scrollImage->getImgWidth(), scrollImage->getImgHeight(),
      [this](regionShape& candidate) { return classifier->applyClassifierRegion(&candidate) == 1; });
  traceAddedCysts(before, candidates.size(), added, shapes.size());
  giveBack(shapes);
  scrollImage->updateDraw();
  updateCystIndex();
}

void KidneyPanel::armArcTool(Gtk::ToggleButton* toggle) {
  std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  closeTable();
  if (!toggle->get_active()) {
    // Switched off, also by hand: the arc tool no longer draws over what the
    // user does next.
    if (!splitRegion->get_active() && !completeRegion->get_active()) scrollImage->setButtonArc(false);
    return;
  }
  scrollImage->restoreButtonsWithoutZoom();
  // The toolbar's tools are released, so that the arc is the only tool on.
  fc->unselectButtons();
  scrollImage->setButtonArc(true);
  if (!selected.empty()) selected.front()->setSelected(true);
  scrollImage->setPolygonsModelSelected(selected);
}

void KidneyPanel::onButtonSplitRegionPress() { armArcTool(splitRegion); }

void KidneyPanel::onButtonCompleteRegionPress() { armArcTool(completeRegion); }

std::string KidneyPanel::cutAlongFinishedArc() {
  std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  const std::vector<baseShape*>& selected = scrollImage->getPolygonsModelSelected();
  baseShape* source = selected.empty() ? nullptr : selected.front();
  // Split wins when both toggles are on.
  Gtk::ToggleButton* toggle = splitRegion->get_active() ? splitRegion : completeRegion;
  const RegionTools::ArcTool tool =
      toggle == splitRegion ? RegionTools::ArcTool::Split : RegionTools::ArcTool::Complete;
  CystRegionTools::ArcOutcome outcome;
  scrollImage->replaceShapes({source}, [&]() -> std::optional<std::vector<baseShape*>> {
    outcome = CystRegionTools::applyArc(shapes, source, tool, scrollImage->getImgWidth(), scrollImage->getImgHeight());
    if (outcome.source == nullptr) return std::nullopt;
    giveBack(shapes);
    return std::vector<baseShape*>(outcome.added.begin(), outcome.added.end());
  });
  if (outcome.result == RegionTools::CutResult::LineDoesNotCross) {
    toggle->set_active(false);
    return RegionTools::lineDoesNotCrossMessage(tool);
  }
  if (outcome.source != nullptr) toggle->set_active(false);
  return "";
}

void KidneyPanel::onButtonMergeRegionsPress() {
  const std::vector<baseShape*> selected = scrollImage->getPolygonsModelSelected();
  closeTable();
  if (selected.size() >= 2) {
    std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
    scrollImage->replaceShapes(selected, [&]() -> std::optional<std::vector<baseShape*>> {
      regionShape* merged =
          CystRegionTools::merge(shapes, selected, scrollImage->getImgWidth(), scrollImage->getImgHeight());
      if (merged == nullptr) return std::nullopt;
      giveBack(shapes);
      return std::vector<baseShape*>{merged};
    });
    scrollImage->updateDraw();
    updateCystIndex();
  }
  // Nothing stays marked selected outside the selection list.
  for (baseShape* shape : selected) shape->setSelected(false);
  scrollImage->resetPolygonsModelSelected();
}
