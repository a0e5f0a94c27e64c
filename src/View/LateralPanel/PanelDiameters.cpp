#include "PanelDiameters.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iostream>

#include "Actions.h"
#include "ControllerFachade.h"
#include "Line.h"
#include "NotifyCode.h"
#include "NumberText.h"
#include "Preferences.h"
#include "ProgramProfile.h"
#include "ScrollImage.h"
#include "UnsavedWorkQuestion.h"

PanelDiameters::PanelDiameters(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom,
                               Glib::RefPtr<Gtk::Builder> refBuilder, ControllerFachade* fc)
    : Panel(actions, paned, panedbottom, refBuilder, fc) {
  lookUp(unity, "parametrosValue");
  lookUp(entrymin, "entryMinDim");
  lookUp(entrymax, "entryMaxDim");
  lookUp(buttonMinDim, "MinDiameter");
  lookUp(buttonMaxDim, "MaxDiameter");
  if (!hasAllWidgets()) return;
  unity->set_text("pixels");
  entrymin->set_text(NumberText::formatInt(mindim));
  entrymax->set_text(NumberText::formatInt(maxdim));
  entrymin->signal_activate().connect([this] { onMinDiameterChanged(); });
  entrymax->signal_activate().connect([this] { onMaxDiameterChanged(); });
  buttonMinDim->signal_clicked().connect([this] { onMinDiameterDraw(); });
  buttonMaxDim->signal_clicked().connect([this] { onMaxDiameterDraw(); });
  scrollImage->setMinimumRegionSize(mindim);
}

PanelDiameters::~PanelDiameters() = default;

void PanelDiameters::showSettings() {
  preferences = fc->getPreferences();
  mindim = preferences->getMinimumDiameter();
  maxdim = preferences->getMaximumDiameter();
  const bool calibrated = preferences->isCalibrationActive();
  showCalibrationControls(calibrated, preferences->getCalibration());
  unity->set_text(calibrated ? "micras" : "pixels");
  entrymin->set_text(lengthText(mindim));
  entrymax->set_text(lengthText(maxdim));
}

std::string PanelDiameters::lengthText(double pixels) const {
  if (!preferences->isCalibrationActive()) return NumberText::formatInt(static_cast<long>(pixels));
  return NumberText::formatReal(pixels * preferences->getCalibration());
}

void PanelDiameters::updateText() {
  showSettings();
  scrollImage->setMinimumRegionSize(mindim);
  updateTable();
}

void PanelDiameters::setCalibration() { updateText(); }

void PanelDiameters::resetPreferences() { setCalibration(); }

std::optional<int> PanelDiameters::typedPixels(Gtk::Entry* entry, std::string& shown) const {
  std::optional<double> value = readNumber(entry->get_text());
  if (!value) return std::nullopt;
  const bool calibrated = fc->isCalibrationActive();
  const double factor = fc->getCalibration();
  const double pixels = calibrated ? *value / factor : *value;
  // Truncation toward zero must give an int.
  if (!std::isfinite(pixels) || pixels <= INT_MIN - 1.0 || pixels >= INT_MAX + 1.0) return std::nullopt;
  const int whole = static_cast<int>(pixels);
  shown = calibrated ? NumberText::formatReal(factor * pixels) : NumberText::formatInt(whole);
  return whole;
}

void PanelDiameters::takeTypedLimit(Limit limit) {
  Gtk::Entry* entry = limit == Limit::Minimum ? entrymin : entrymax;
  std::string shown;
  const std::optional<int> n = typedPixels(entry, shown);
  const bool accepted = n && (limit == Limit::Minimum ? *n > 2 && *n < maxdim - 2 : *n > mindim + 2);
  showValid(entry, accepted);
  if (!accepted) return;
  int& inForce = limit == Limit::Minimum ? mindim : maxdim;
  // A new limit empties the annotation: kept, the limit in force is shown again.
  if (!actions->mayDropShapes(UnsavedWorkQuestion::Command::ReplaceShapes)) {
    entry->set_text(lengthText(inForce));
    return;
  }
  entry->set_text(shown);
  inForce = *n;
  preferences->setDiameters(mindim, maxdim);
  resetPanel();
  updateText();
}

void PanelDiameters::onMinDiameterChanged() { takeTypedLimit(Limit::Minimum); }

void PanelDiameters::onMaxDiameterChanged() { takeTypedLimit(Limit::Maximum); }

void PanelDiameters::armMeasuring(Gtk::ToggleButton* toggle) {
  closeTable();
  if (!toggle->get_active()) {
    endMeasuring();
    return;
  }
  // Measuring starts on an empty annotation. Switched off, the toggle runs
  // this handler again.
  if (!actions->mayDropShapes(UnsavedWorkQuestion::Command::ReplaceShapes)) {
    toggle->set_active(false);
    return;
  }
  actions->clearPolygonsModel();
  if (ProgramProfile::current().measuringKeepsZoom)
    scrollImage->restoreButtonsWithoutZoom();
  else
    scrollImage->restoreButtons();
  scrollImage->updateDraw();
  // The toolbar is released first: releasing it switches the canvas's line
  // tool off, which must stay on for the measurement.
  fc->unselectButtons();
  scrollImage->setButtonRule(true);
}

// A toggle switched off, by hand or once its line was taken, ends the
// measurement as a finished line does, so that the line tool no longer draws
// over what the user does next. A measurement the other toggle still waits
// for goes on, and a toggle that never armed the line tool (the user kept
// unsaved work) leaves the tools alone.
void PanelDiameters::endMeasuring() {
  if (buttonMinDim->get_active() || buttonMaxDim->get_active() || !scrollImage->isMeasuring()) return;
  scrollImage->restoreButtons();
}

void PanelDiameters::onMinDiameterDraw() { armMeasuring(buttonMinDim); }

void PanelDiameters::onMaxDiameterDraw() { armMeasuring(buttonMaxDim); }

void PanelDiameters::takeMeasuredLimit(Limit limit) {
  const std::vector<baseShape*> shapes = scrollImage->getPolygonsNew();
  // The minimum takes the last line drawn; the maximum only a line alone on
  // the canvas.
  const bool usable = limit == Limit::Minimum ? !shapes.empty() : shapes.size() == 1;
  if (!usable || shapes.back()->getTypeShape() != LINE) return;
  const std::vector<double> ends = static_cast<Line*>(shapes.back())->getCoordinates();
  const int width = scrollImage->getImgWidth();
  const int height = scrollImage->getImgHeight();
  const double length = std::hypot(width * (ends[0] - ends[2]), height * (ends[1] - ends[3]));
  const bool taken = limit == Limit::Minimum ? length > 2.0 && length < maxdim - 2
                                             : length > mindim + 2 && length < std::min(width, height);
  if (taken) {
    (limit == Limit::Minimum ? mindim : maxdim) = static_cast<int>(length);
    preferences->setDiameters(mindim, maxdim);
    resetPanel();
  }
  updateText();
  (limit == Limit::Minimum ? buttonMinDim : buttonMaxDim)->set_active(false);
  // A finished line ends the measurement also while the other toggle waits;
  // otherwise switching this one off has ended it.
  if (scrollImage->isMeasuring()) scrollImage->restoreButtons();
}

void PanelDiameters::update(int code) {
  if (code == LineFinished) {
    if (buttonMinDim->get_active()) {
      if (ProgramProfile::current().traces.measuredMinimum)
        std::cout << "DiameterPanel: update(). Aspect= " << code << std::endl;
      takeMeasuredLimit(Limit::Minimum);
    }
    if (buttonMaxDim->get_active()) takeMeasuredLimit(Limit::Maximum);
  }
  Panel::update(code);
}

void PanelDiameters::onButtonShowTablePress() {
  fc->unselectButtons();
  if (buttonShowtable->get_active()) {
    actions->showTable();
    buttonShowtable->set_label("Close table");
    actions->subscribe(true);
    return;
  }
  panedbottom->hide();
  actions->unselectedAllObjects();
  actions->updateDraw();
  buttonShowtable->set_label("Show table");
  actions->subscribe(false);
}

void PanelDiameters::closeTable() {
  if (!buttonShowtable->get_active()) return;
  actions->unselectedAllObjects();
  buttonShowtable->set_label("Show table");
  buttonShowtable->set_active(false);
  panedbottom->hide();
  actions->subscribe(false);
}

void PanelDiameters::updateTable() {
  if (panedbottom->get_visible()) actions->showTable();
}
