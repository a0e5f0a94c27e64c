#ifndef PROCESSSAMPLESSTEP_H
#define PROCESSSAMPLESSTEP_H

#include <gtkmm/checkbutton.h>
#include <gtkmm/label.h>

#include <optional>
#include <string>

#include "ProcessSamples.h"

// The sample CSV dialog core with the calibration and the step of the
// diameter histogram. Both switches and both values go at once into the batch
// settings (the calibration is the program's current one); the entries always
// show what is stored, in micras while calibration is on, else in pixels.
class ProcessSamplesStep : public ProcessSamples {
 public:
  ProcessSamplesStep(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile,
                     Gtk::Window* parent);

  // The histogram step in whole pixels for the text typed in the step entry,
  // read with a decimal comma or point: micras divided by `micrasPerPixel`
  // while calibration is on (pass 1 when it is off). None unless the step
  // truncates to at least 1 pixel and fits an int: a step of 0 would never
  // end the histogram.
  static std::optional<int> typedStep(const std::string& text, double micrasPerPixel);

 protected:
  virtual void calibrationEntryChanged();
  virtual void stepHistogramEntryChanged();
  virtual void onCheckboxChanged();
  virtual void onCheckboxHistogramChanged();
  // Rewrites both entries and the unit label from the stored values.
  virtual void updateText();

  Gtk::CheckButton* boxCalibration;
  Gtk::CheckButton* boxHistogram;
  Gtk::Entry* calibrationEntry;
  Gtk::Entry* stepHistogramEntry;
  Gtk::Label* unityEntry;
};

#endif
