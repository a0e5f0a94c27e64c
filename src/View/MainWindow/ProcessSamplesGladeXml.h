#ifndef PROCESSSAMPLESGLADEXML_H
#define PROCESSSAMPLESGLADEXML_H

#include "ProcessSamples.h"

// Lumora's batch dialog: the sample CSV of annotation files, from
// "Glade/processSamplesXml.glade". The constructor runs the dialog and
// returns when it is closed.
class ProcessSamplesGladeXml : public ProcessSamples {
 public:
  ProcessSamplesGladeXml(PreferencesSample* preferences, Actions* actions, Gtk::Window* parent);
};

#endif
