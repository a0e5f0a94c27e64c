#include "ViewProfile.h"

#include <initializer_list>
#include <stdexcept>

#include "ActionsKidney.h"
#include "ActionsZelvora.h"
#include "Draw.h"
#include "DrawClassType.h"
#include "KidneyPanel.h"
#include "Menu.h"
#include "MenuProfile.h"
#include "ZelvoraPanel.h"

namespace {

const ViewProfile* selected = nullptr;

// Cavitra has no line or angle tool; each algorithm leaves out the tools its
// analysis does not use.
std::vector<std::string> cavitraHiddenTools(int algorithm) {
  std::vector<std::string> hidden = {"lineDraw", "angleDraw"};
  const auto add = [&hidden](std::initializer_list<const char*> ids) {
    hidden.insert(hidden.end(), ids.begin(), ids.end());
  };
  switch (algorithm) {
    case 1: add({"circle"}); break;
    case 2: add({"circle", "point", "selectRectangle"}); break;
    case 3: add({"undo", "redo", "point", "selectRectangle"}); break;
    case 4: add({"point", "circle", "selectRectangle"}); break;
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 101:
    case 103:
    case 104: add({"circle", "selectRectangle"}); break;
    case 10: add({"circle", "point"}); break;
    case 11: add({"selectRectangle"}); break;
    case 12: add({"selectRectangle", "circle"}); break;
    case 102: add({"circle", "selectRectangle", "point"}); break;
    default: break;
  }
  return hidden;
}

}  // namespace

const ViewProfile& ViewProfile::lumora() {
  static const ViewProfile profile = [] {
    ViewProfile p;
    p.sidePanelFile = "Glade/panedZelvora.glade";
    p.sidePanelRoot = "panedLateralZelvora";
    p.menu = &MenuProfile::lumora();
    p.makeActions = [](ScrollImage* canvas, ControllerFachade* fc, Gtk::Paned* sidePane, Gtk::Paned* lowerPane) {
      return new ActionsZelvora(canvas, fc, sidePane, lowerPane);
    };
    p.makePanel = [](Actions* actions, Gtk::Paned* root, Gtk::Paned* lowerPane, Glib::RefPtr<Gtk::Builder> builder,
                     ControllerFachade* fc) -> Panel* {
      return new ZelvoraPanel(actions, root, lowerPane, builder, fc);
    };
    p.makeDraw = [](ImageClass* image) -> Draw* { return new DrawClassType(image); };
    p.makeMenu = [](Actions* actions, Gtk::MenuBar* bar, Glib::RefPtr<Gtk::Builder> builder, ControllerFachade* fc) {
      return new Menu(actions, bar, builder, fc);
    };
    p.hiddenToolbarButtons = [](int) {
      return std::vector<std::string>{"lineDraw", "angleDraw", "circle", "point", "redo", "undo"};
    };
    return p;
  }();
  return profile;
}

const ViewProfile& ViewProfile::cavitra() {
  static const ViewProfile profile = [] {
    ViewProfile p;
    p.makeActions = [](ScrollImage* canvas, ControllerFachade* fc, Gtk::Paned* sidePane, Gtk::Paned* lowerPane) {
      return new ActionsKidney(canvas, fc, sidePane, lowerPane);
    };
    p.sidePanelFile = "Glade/panedCyst.glade";
    p.sidePanelRoot = "panedLateralKidney";
    p.makePanel = [](Actions* actions, Gtk::Paned* root, Gtk::Paned* lowerPane, Glib::RefPtr<Gtk::Builder> builder,
                     ControllerFachade* fc) -> Panel* {
      return new KidneyPanel(actions, root, lowerPane, builder, fc);
    };
    p.makeDraw = [](ImageClass* image) { return new Draw(image, Draw::RegionOutline::Closed); };
    p.menu = &MenuProfile::cavitra();
    p.makeMenu = [](Actions* actions, Gtk::MenuBar* bar, Glib::RefPtr<Gtk::Builder> builder, ControllerFachade* fc) {
      return new Menu(actions, bar, builder, fc);
    };
    p.hiddenToolbarButtons = cavitraHiddenTools;
    p.resetRefreshesPanel = false;
    // Cavitra's line is the side panel's measuring tool alone.
    p.toolbarHasLineAndAngle = false;
    p.panelResetReleasesToolbar = false;
    return p;
  }();
  return profile;
}

const ViewProfile& ViewProfile::current() {
  if (selected == nullptr) throw std::logic_error("no view profile selected");
  return *selected;
}

void ViewProfile::select(const ViewProfile& profile) { selected = &profile; }
