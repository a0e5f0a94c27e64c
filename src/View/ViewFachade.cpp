#include "ViewFachade.h"

#include "ControllerFachade.h"
#include "Preferences.h"

namespace View {

namespace {
const char* const applicationId = "org.stereology.lumora";
const char* const windowTitle = "Lumora: application to stereological analysis";
}  // namespace

ViewFachade::ViewFachade(ControllerFachade* fc) : fc(fc) {}

ViewFachade::~ViewFachade() { delete window1; }

int ViewFachade::startWindow(int argc, char** argv) {
  application = Gtk::Application::create(argc, argv, applicationId);
  buildMainWindow();
  fc->loadPreferences(preferences->getAlgorithm());
  return application->run(*window1);
}

void ViewFachade::buildMainWindow() {
  preferences = fc->getPreferences();
  window1 = new Gtk::Window();
  window1->set_title(windowTitle);
  window1->set_default_size(1024, 768);
}

void ViewFachade::unselectButtonsView() {}
void ViewFachade::selectButtonSelect() {}
void ViewFachade::closeTableView() {}
void ViewFachade::resetLateralPanelView() {}
void ViewFachade::updateLateralPanelView() {}
void ViewFachade::setCalibrationPanelView() {}
void ViewFachade::subscribeUnsubscribeMiniScrollView() {}
void ViewFachade::resetPreferences() {}

}  // namespace View
