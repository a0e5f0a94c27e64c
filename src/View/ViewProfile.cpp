#include "ViewProfile.h"

#include "ActionsZelvora.h"
#include "MenuProfile.h"
#include "ZelvoraPanel.h"

namespace {
const ViewProfile* selected = nullptr;
}

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
    return p;
  }();
  return profile;
}

const ViewProfile& ViewProfile::current() { return selected != nullptr ? *selected : lumora(); }

void ViewProfile::select(const ViewProfile& profile) { selected = &profile; }
