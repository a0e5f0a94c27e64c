#include "ProcessSamplesGladeXml.h"

ProcessSamplesGladeXml::ProcessSamplesGladeXml(PreferencesSample* preferences, Actions* actions, Gtk::Window* parent)
    : ProcessSamples(preferences, actions, "Glade/processSamplesXml.glade", parent) {
  run("processSamplesXml");
}
