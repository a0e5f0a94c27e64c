#include "ProcessSamplesStep.h"

#include <cmath>
#include <limits>

#include "BuilderWidget.h"
#include "NumberText.h"
#include "PreferencesFields.h"
#include "PreferencesSample.h"

ProcessSamplesStep::ProcessSamplesStep(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile,
                                       Gtk::Window* parent)
    : ProcessSamples(preferences, actions, gladeFile, parent),
      boxCalibration(findBuilderWidget<Gtk::CheckButton>(refBuilder, "checkboxCalibration")),
      boxHistogram(findBuilderWidget<Gtk::CheckButton>(refBuilder, "checkboxHistogram")),
      calibrationEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "calibrationEntry")),
      stepHistogramEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "stepEntry")),
      unityEntry(findBuilderWidget<Gtk::Label>(refBuilder, "unity")) {
  csvChooserTitle = "Please choose a CSV file";
  complete = complete && boxCalibration && boxHistogram && calibrationEntry && stepHistogramEntry && unityEntry;
  if (!complete) return;
  calibrationEntry->signal_activate().connect([this] { calibrationEntryChanged(); });
  stepHistogramEntry->signal_activate().connect([this] { stepHistogramEntryChanged(); });
  // Set before the handlers are connected, so that showing the stored state
  // stores nothing.
  boxCalibration->set_active(preferences->isCalibrationActive());
  boxHistogram->set_active(preferences->isHistogramActive());
  boxCalibration->signal_clicked().connect([this] { onCheckboxChanged(); });
  boxHistogram->signal_clicked().connect([this] { onCheckboxHistogramChanged(); });
  calibrationEntry->set_editable(true);
  stepHistogramEntry->set_editable(true);
  updateText();
}

std::optional<int> ProcessSamplesStep::typedStep(const std::string& text, double micrasPerPixel) {
  const std::optional<double> typed = PreferencesFields::typedFactor(text);
  if (!typed || !(micrasPerPixel > 0)) return std::nullopt;
  const double pixels = std::trunc(*typed / micrasPerPixel);
  if (!(pixels >= 1 && pixels <= std::numeric_limits<int>::max())) return std::nullopt;
  return static_cast<int>(pixels);
}

void ProcessSamplesStep::calibrationEntryChanged() {
  const std::optional<double> factor = PreferencesFields::typedFactor(calibrationEntry->get_text());
  if (factor && preferences->isCalibrationActive()) preferences->setCalibration(*factor);
  updateText();
}

void ProcessSamplesStep::stepHistogramEntryChanged() {
  const double micrasPerPixel = preferences->isCalibrationActive() ? preferences->getCalibration() : 1.0;
  const std::optional<int> step = typedStep(stepHistogramEntry->get_text(), micrasPerPixel);
  if (step && preferences->isHistogramActive()) preferences->setHistogramStep(*step);
  updateText();
}

void ProcessSamplesStep::onCheckboxChanged() {
  preferences->setCalibrationActive(boxCalibration->get_active());
  updateText();
}

void ProcessSamplesStep::onCheckboxHistogramChanged() {
  preferences->setHistogramActive(boxHistogram->get_active());
  updateText();
}

void ProcessSamplesStep::updateText() {
  const int step = preferences->getHistogramStep();
  if (preferences->isCalibrationActive()) {
    const double factor = preferences->getCalibration();
    calibrationEntry->set_text(NumberText::formatReal(factor));
    stepHistogramEntry->set_text(NumberText::formatReal(step * factor));
    unityEntry->set_text("micras");
  } else {
    calibrationEntry->set_text("1,0");
    stepHistogramEntry->set_text(NumberText::formatInt(step));
    unityEntry->set_text("pixels");
  }
}
