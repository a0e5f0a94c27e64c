#include "ProcessSamplesGladeXmlStep.h"

#include "BuilderWidget.h"

ProcessSamplesGladeXmlStep::ProcessSamplesGladeXmlStep(PreferencesSample* preferences, Actions* actions,
                                                       const std::string& gladeFile, int algorithm,
                                                       Gtk::Window* parent)
    : ProcessSamplesStep(preferences, actions, gladeFile, parent) {
  if (complete && hidesStep(algorithm)) {
    labelstep = findBuilderWidget<Gtk::Label>(refBuilder, "label8");
    boxstep = findBuilderWidget<Gtk::Box>(refBuilder, "box1");
    if (labelstep != nullptr) labelstep->hide();
    if (boxstep != nullptr) boxstep->hide();
  }
  run("processSamplesXml");
}

bool ProcessSamplesGladeXmlStep::hidesStep(int algorithm) { return algorithm == 8 || algorithm == 104; }
