#include "ToolbarHorizontal.h"

#include <string>

#include "Actions.h"
#include "BuilderWidget.h"
#include "UnsavedWorkQuestion.h"

namespace {
const char* const groupName = "toolbarHorizontal";
}

ToolbarHorizontal::ToolbarHorizontal(Glib::RefPtr<Gtk::Builder> builder, Actions* actions, const Options& options)
    : fileBrowserButton(builderWidget<Gtk::ToolButton>(builder, "fileBrowserButton")),
      zoomBestFit(builderWidget<Gtk::ToolButton>(builder, "zoomBestFit")),
      undo(builderWidget<Gtk::ToolButton>(builder, "undo")),
      redo(builderWidget<Gtk::ToolButton>(builder, "redo")),
      reset(builderWidget<Gtk::ToolButton>(builder, "toolbuttonReset")),
      viewRestore(builderWidget<Gtk::ToolButton>(builder, "viewRestore")),
      circle{builderWidget<Gtk::ToggleToolButton>(builder, "circle"), &Actions::setButtonCircles, "circle"},
      pointDraw{builderWidget<Gtk::ToggleToolButton>(builder, "pointDraw"), &Actions::setButtonPointDraw,
                "pointDraw"},
      freeHand{builderWidget<Gtk::ToggleToolButton>(builder, "freeHand"), &Actions::setButtonFreeHand, "freeHand"},
      select{builderWidget<Gtk::ToggleToolButton>(builder, "select"), &Actions::setButtonSelect, "select"},
      selectRectangle{builderWidget<Gtk::ToggleToolButton>(builder, "selectRectangle"),
                      &Actions::setButtonSelectRectangle, "selectRectangle"},
      point{builderWidget<Gtk::ToggleToolButton>(builder, "point"), &Actions::setButtonPoint, "point"},
      line{builderWidget<Gtk::ToggleToolButton>(builder, "lineDraw"), &Actions::setButtonLine, "line"},
      angle{builderWidget<Gtk::ToggleToolButton>(builder, "angleDraw"), &Actions::setButtonAngle, "angle"},
      tools{&circle, &pointDraw, &freeHand, &select, &selectRectangle, &point},
      showPaned(builderWidget<Gtk::ToolButton>(builder, "showPaned")),
      refBuilder(builder),
      window(builderWidget<Gtk::Window>(builder, "window1")),
      actionGroup(Gio::SimpleActionGroup::create()),
      actionsToolbar(actions),
      resetRefreshesPanel(options.resetRefreshesPanel) {
  if (options.lineAndAngleTools) tools.insert(tools.end(), {&line, &angle});
  window->insert_action_group(groupName, actionGroup);

  // The plain buttons run the actions' virtual operations, so the program's
  // own use cases are what runs.
  bind(fileBrowserButton, "fileBrowserButton", sigc::mem_fun(*actionsToolbar, &Actions::openImage));
  bind(zoomBestFit, "zoomBestFit", sigc::mem_fun(*actionsToolbar, &Actions::fit));
  bind(viewRestore, "viewRestore", sigc::mem_fun(*actionsToolbar, &Actions::reset));
  bind(reset, "toolbuttonReset", sigc::mem_fun(*this, &ToolbarHorizontal::onButtonResetClicked));
  bind(undo, "undo", sigc::mem_fun(*actionsToolbar, &Actions::undo));
  bind(redo, "redo", sigc::mem_fun(*actionsToolbar, &Actions::redo));
  for (Tool* tool : tools) bindTool(*tool);
  bind(showPaned, "showPaned", sigc::mem_fun(*this, &ToolbarHorizontal::on_buttonShowPaned_clicked));

  for (const std::string& id : options.hiddenButtons) builderWidget<Gtk::ToolButton>(builder, id.c_str())->hide();
}

ToolbarHorizontal::~ToolbarHorizontal() { window->remove_action_group(groupName); }

void ToolbarHorizontal::bind(Gtk::ToolButton* button, const char* name, const sigc::slot<void>& activate) {
  const std::string detailed = std::string(groupName) + "." + name;
  gtk_actionable_set_detailed_action_name(GTK_ACTIONABLE(button->gobj()), detailed.c_str());
  actionGroup->add_action(name, activate);
}

void ToolbarHorizontal::bindTool(Tool& tool) {
  bind(tool.button, tool.action, sigc::bind(sigc::mem_fun(*this, &ToolbarHorizontal::onToolClicked), tool.button));
}

// Switching a toggle from code runs this handler again for that toggle, with
// its new state: a toggle switched off only passes the states on, so the
// nested runs end after one level.
void ToolbarHorizontal::onToolClicked(Gtk::ToggleToolButton* button) {
  if (button->get_active()) setConmutable(button);
  setButtons();
}

void ToolbarHorizontal::onButtonResetClicked() {
  // Undo cannot bring the shapes back.
  if (!actionsToolbar->mayDropShapes(UnsavedWorkQuestion::Command::Clear)) return;
  actionsToolbar->clearPolygonsModel();
  actionsToolbar->closeTable();
  if (resetRefreshesPanel) actionsToolbar->updateLateralPanel();
}

void ToolbarHorizontal::on_buttonShowPaned_clicked() { actionsToolbar->on_buttonShowPaned_clicked(); }

void ToolbarHorizontal::setButtons() {
  for (const Tool* tool : tools) (actionsToolbar->*(tool->setTool))(tool->button->get_active());
}

void ToolbarHorizontal::setConmutable(Gtk::ToggleToolButton* button) {
  for (const Tool* tool : tools)
    if (tool->button != button) tool->button->set_active(false);
  setButtons();
}

void ToolbarHorizontal::resetButtons() {
  for (const Tool* tool : tools) (actionsToolbar->*(tool->setTool))(false);
  for (const Tool* tool : tools) tool->button->set_active(false);
}

void ToolbarHorizontal::setButtonSelect() {
  if (select.button->get_active()) return;
  resetButtons();
  select.button->set_active(true);
  setButtons();
}
