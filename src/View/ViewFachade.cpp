#include "ViewFachade.h"

#include <gtkmm/builder.h>

#include <iostream>
#include <type_traits>

#include "Actions.h"
#include "BuilderWidget.h"
#include "CommandErrorReport.h"
#include "ControllerFachade.h"
#include "Draw.h"
#include "ImageClass.h"
#include "InterfaceFile.h"
#include "Menu.h"
#include "Preferences.h"
#include "Panel.h"
#include "ProgramProfile.h"
#include "ScrollImage.h"
#include "ToolbarHorizontal.h"
#include "UnsavedWorkQuestion.h"
#include "ViewProfile.h"
#include "miniScrollImage.h"

namespace View {

namespace {
const char* const mainWindowFile = "Glade/interfaz.glade";
}  // namespace

ViewFachade::ViewFachade(ControllerFachade* fc) : fc(fc) {}

ViewFachade::~ViewFachade() {
  // The parts hold pointers to one another and to the canvas: drop the
  // users before what they use, and the window last.
  delete menuClass;
  delete toolbar;
  delete panel;
  delete actions;
  delete scrollImageMini;
  // The annotation on the canvas ends with the program.
  if (scrollImage != nullptr) scrollImage->polygonsClear();
  delete scrollImage;
  delete draw;
  delete window1;
}

int ViewFachade::startWindow(int argc, char** argv) {
  application = Gtk::Application::create(argc, argv, ProgramProfile::current().applicationId);
  if (!loadGlade()) return 1;
  errorReport = std::make_unique<CommandErrorReport>(window1);
  startScrollImage();
  if (!startLateralPanel()) return 1;
  fc->loadPreferences(preferences->getAlgorithm());
  actions->loadClassifier("ViewFachada");
  return application->run(*window1);
}

bool ViewFachade::loadGlade() {
  refBuilder2 = loadInterfaceFile(mainWindowFile);
  // Every missing widget is named before start-up gives up.
  bool found = true;
  const auto lookUp = [&](const char* id, auto*& widget) {
    widget = findBuilderWidget<std::remove_pointer_t<std::decay_t<decltype(widget)>>>(refBuilder2, id);
    found = found && widget != nullptr;
  };
  lookUp("viewportPaned", viewportPaned);
  lookUp("viewportpaned2", viewportPaned2);
  lookUp("paned2", panedMini);
  lookUp("panedLateral", panedLateral);
  lookUp("paned1", paned1);
  lookUp("window1", window1);
  lookUp("viewport", viewport1);
  lookUp("menu", menu);
  lookUp("vBoxPaned", vBoxPaned);
  lookUp("statusbar", statusBar);
  return found;
}

void ViewFachade::startScrollImage() {
  const ProgramProfile& profile = ProgramProfile::current();
  preferences = fc->getPreferences();
  if (profile.traces.startAlgorithm)
    std::cout << "startScrollImage: algorithm: " << preferences->getAlgorithm() << std::endl;
  ImageClass* image = fc->getImageClass();
  image->setFilename(profile.startImage);
  draw = ViewProfile::current().makeDraw(image);
  scrollImage = new ScrollImage(image, draw);
  if (scrollImage->getFilename().empty())
    std::cerr << "The start picture " << profile.startImage << " could not be shown" << std::endl;
  scrollImageMini = new miniScrollImage(image->getFilename(), scrollImage);
  scrollImage->setPointsInRegion(profile.canvas.pointsJoinRegions);
  scrollImage->setPointsOutRegion(true);
  scrollImage->setDrawingPreferences(preferences);
  scrollImageMini->show();
  viewport1->add(*scrollImage);
  scrollImage->show();
  window1->set_title(profile.windowTitle);
  try {
    window1->set_icon_from_file(profile.iconFile);
  } catch (const Glib::Error& ex) {
    std::cerr << "The program icon " << profile.iconFile << " could not be read: " << ex.what().raw() << std::endl;
  }
}

bool ViewFachade::startLateralPanel() {
  const ViewProfile& profile = ViewProfile::current();
  panedMini->show();
  actions = profile.makeActions(scrollImage, fc, panedLateral, paned1);
  if (profile.makePanel) {
    refBuilderPanedLateral = loadInterfaceFile(profile.sidePanelFile);
    paned = findBuilderWidget<Gtk::Paned>(refBuilderPanedLateral, profile.sidePanelRoot.c_str());
    if (paned == nullptr) return false;
    viewportPaned2->add(*paned);
    panel = profile.makePanel(actions, paned, paned1, refBuilderPanedLateral, fc);
    if (!panel->hasAllWidgets()) return false;
  }
  actions->setStatusBar(statusBar);
  toolbar = new ToolbarHorizontal(refBuilder2, actions,
                                  {profile.hiddenToolbarButtons(preferences->getAlgorithm()),
                                   profile.resetRefreshesPanel, profile.toolbarHasLineAndAngle});
  if (profile.makeMenu)
    menuClass = profile.makeMenu(actions, menu, refBuilder2, fc);
  else
    menu->hide();
  window1->signal_delete_event().connect(sigc::mem_fun(*this, &ViewFachade::onCloseRequest), false);
  window1->set_focus_child(*scrollImage);
  panedLateral->hide();
  paned1->hide();
  viewportPaned->add(*scrollImageMini);
  return true;
}

bool ViewFachade::onCloseRequest(GdkEventAny*) {
  return !actions->mayDropShapes(UnsavedWorkQuestion::Command::Quit);
}

void ViewFachade::unselectButtonsView() {
  if (toolbar != nullptr) toolbar->resetButtons();
}

void ViewFachade::selectButtonSelect() {
  if (toolbar != nullptr) toolbar->setButtonSelect();
}

void ViewFachade::closeTableView() {
  if (panel != nullptr) panel->closeTable();
}

void ViewFachade::resetLateralPanelView() {
  if (panel != nullptr) panel->resetPanel();
  if (toolbar != nullptr && ViewProfile::current().panelResetReleasesToolbar) toolbar->resetButtons();
}

void ViewFachade::updateLateralPanelView() {
  if (panel != nullptr) panel->updatePanel();
}

void ViewFachade::setCalibrationPanelView() {
  if (panel != nullptr) panel->setCalibration();
  if (draw != nullptr) draw->setPreferences(preferences);
}

void ViewFachade::subscribeUnsubscribeMiniScrollView() {
  if (scrollImageMini == nullptr || panedLateral == nullptr) return;
  if (panedLateral->get_visible())
    scrollImageMini->subscribe();
  else
    scrollImageMini->unsubscribe();
}

void ViewFachade::resetPreferences() {
  if (draw != nullptr) draw->setPreferences(preferences);
  if (panel != nullptr) panel->resetPreferences();
}

}  // namespace View
