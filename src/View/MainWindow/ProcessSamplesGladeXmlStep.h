#ifndef PROCESSSAMPLESGLADEXMLSTEP_H
#define PROCESSSAMPLESGLADEXMLSTEP_H

#include <gtkmm/box.h>

#include "ProcessSamplesStep.h"

// Cavitra's batch dialog of the sample CSV with calibration and histogram
// step. The constructor runs the dialog modal over `parent` and returns when
// it is closed; the algorithms that measure no histogram hide the step.
class ProcessSamplesGladeXmlStep : public ProcessSamplesStep {
 public:
  ProcessSamplesGladeXmlStep(PreferencesSample* preferences, Actions* actions, const std::string& gladeFile,
                             int algorithm, Gtk::Window* parent);

  // Whether the algorithm `algorithm` leaves the histogram step out.
  static bool hidesStep(int algorithm);

 protected:
  Gtk::Box* boxstep = nullptr;
  Gtk::Label* labelstep = nullptr;
};

#endif
