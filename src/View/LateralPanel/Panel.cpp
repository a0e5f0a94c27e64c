#include "Panel.h"

#include <algorithm>
#include <cmath>

#include "Actions.h"
#include "ControllerFachade.h"
#include "NotifyCode.h"
#include "NumberText.h"

namespace {
// What the calibration entry shows while calibration is off.
const char* const calibrationOffText = "1,0";
}  // namespace

Panel::Panel(Actions* actions, Gtk::Paned* paned, Gtk::Paned* panedbottom, Glib::RefPtr<Gtk::Builder> refBuilder,
             ControllerFachade* fc)
    : color(),
      color_error(),
      refBuilder(refBuilder),
      paned(paned),
      panedbottom(panedbottom),
      actions(actions),
      scrollImage(actions->getScrollImage()),
      fc(fc),
      preferences(fc->getPreferences()) {
  color_error.set_rgba(1, 0, 0, 1);
  color.set_rgba(0, 0, 0, 1);
  lookUp(boxCalibration, "checkboxCalibration");
  lookUp(entryCalibration, "calibration");
  if (!hasAllWidgets()) return;
  entryCalibration->set_editable(true);
  boxCalibration->signal_clicked().connect([this] { onCheckboxChanged(); });
  boxCalibration->signal_toggled().connect([this] { onCheckboxToggled(); });
  entryCalibration->signal_activate().connect([this] { onEntryCalibrationChanged(); });
}

Panel::~Panel() = default;

void Panel::update(int code) {
  if (code == ShapesDeleted || code == ShapeAdded) updateTable();
}

void Panel::updateText() {
  setCalibration();
  updateTable();
}

std::optional<double> Panel::readNumber(const std::string& text) {
  const double value = NumberText::toDouble(text);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Panel::withDecimalPoints(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

void Panel::showValid(Gtk::Entry* entry, bool valid) {
  entry->override_color(valid ? color : color_error, Gtk::STATE_FLAG_NORMAL);
}

void Panel::showCalibrationControls(bool active, double factor) {
  // set_active emits the button's click when the state changes; the handler
  // then stores the state the controller already holds.
  if (boxCalibration->get_active() != active) boxCalibration->set_active(active);
  entryCalibration->set_text(active ? NumberText::formatReal(factor) : calibrationOffText);
}

void Panel::onEntryCalibrationChanged() {
  const std::string typed = withDecimalPoints(entryCalibration->get_text());
  if (!fc->isCalibrationActive()) {
    entryCalibration->set_text(calibrationOffText);
    setCalibration();
    return;
  }
  const std::optional<double> factor = readNumber(typed);
  if (!factor || *factor <= 0) {
    // Refused: the typed text stays, in red, and the factor in force is kept.
    showValid(entryCalibration, false);
    entryCalibration->set_text(typed);
    return;
  }
  fc->setCalibration(*factor);
  showValid(entryCalibration, true);
  updateText();
}

void Panel::onCheckboxChanged() {
  fc->setCalibrationActive(boxCalibration->get_active());
  showValid(entryCalibration, true);
  setCalibration();
}

void Panel::resetPanel() {
  if (buttonShowtable != nullptr && buttonShowtable->get_active()) {
    buttonShowtable->set_label("Show table");
    buttonShowtable->set_active(false);
  }
  actions->clearPolygonsModel();
}

void Panel::setCalibration() { showCalibrationControls(fc->isCalibrationActive(), fc->getCalibration()); }

void Panel::resetPreferences() {
  preferences = fc->getPreferences();
  setCalibration();
}
