#ifndef TOOLBARHORIZONTAL_H
#define TOOLBARHORIZONTAL_H

#include <giomm/simpleactiongroup.h>
#include <gtkmm/builder.h>
#include <gtkmm/toggletoolbutton.h>
#include <gtkmm/toolbutton.h>
#include <gtkmm/window.h>

#include <string>
#include <vector>

class Actions;

// The main window's horizontal toolbar: open, fit, one-to-one size, clear,
// undo and redo, the canvas's drawing and selection tools, and the side pane
// switch. Its buttons come from the main window's interface file; each runs an
// action of the group "toolbarHorizontal" that the toolbar puts on the main
// window. The tool toggles are exclusive: at most one is active, and after
// every click the canvas's tool flags equal the toggles' states.
class ToolbarHorizontal {
 public:
  // What a program's toolbar offers.
  struct Options {
    // Ids of the interface file's buttons of the tools this program does not
    // offer: hidden at start, their actions kept in the group.
    std::vector<std::string> hiddenButtons;
    // Whether the reset button ends by refreshing the side panel.
    bool resetRefreshesPanel = true;
    // Whether the line and angle toggles are tools of the toolbar: their
    // states reach the canvas and releasing the tools switches them off.
    // Otherwise the canvas's line tool is left to the side panel's measuring
    // toggles.
    bool lineAndAngleTools = true;
  };

  // Looks up the buttons and "window1" in the main window's builder (a
  // missing one ends the program with a message naming it), binds them to
  // their actions and hides the buttons `options` names. Neither the actions
  // nor the main window are owned; both must outlive the toolbar.
  ToolbarHorizontal(Glib::RefPtr<Gtk::Builder> builder, Actions* actions, const Options& options);
  // Takes the action group off the main window.
  virtual ~ToolbarHorizontal();
  ToolbarHorizontal(const ToolbarHorizontal&) = delete;
  ToolbarHorizontal& operator=(const ToolbarHorizontal&) = delete;

  // Clears the annotation, closes the results table and, where the program
  // wants it, refreshes the side panel; with unsaved changes, only after the
  // user saved or discarded them. The empty annotation then counts as saved.
  void onButtonResetClicked();
  void on_buttonShowPaned_clicked();
  // Gives the canvas the state of every tool toggle.
  void setButtons();
  // Switches every tool toggle but `button` off, then setButtons.
  void setConmutable(Gtk::ToggleToolButton* button);
  // Every tool off, on the canvas and on the toolbar.
  void resetButtons();
  // Makes the selection tool the only one on, unless it already is.
  void setButtonSelect();

 private:
  // A tool toggle and the actions' setter that passes its state to the
  // canvas.
  struct Tool {
    Gtk::ToggleToolButton* button;
    void (Actions::*setTool)(bool);
    // The name of its action in the group.
    const char* action;
  };

  // The click of a tool toggle, also run when code changes its state.
  void onToolClicked(Gtk::ToggleToolButton* button);
  // Sets the button's action name to the group's action `name` and adds that
  // action, run by `activate`.
  void bind(Gtk::ToolButton* button, const char* name, const sigc::slot<void>& activate);
  void bindTool(Tool& tool);

  Gtk::ToolButton* fileBrowserButton;
  Gtk::ToolButton* zoomBestFit;
  Gtk::ToolButton* undo;
  Gtk::ToolButton* redo;
  Gtk::ToolButton* reset;
  Gtk::ToolButton* viewRestore;
  Tool circle;
  Tool pointDraw;
  Tool freeHand;
  Tool select;
  Tool selectRectangle;
  Tool point;
  Tool line;
  Tool angle;
  // The tools of this toolbar in the order in which their states reach the
  // canvas.
  std::vector<Tool*> tools;
  Gtk::ToolButton* showPaned;
  Glib::RefPtr<Gtk::Builder> refBuilder;
  Gtk::Window* window;
  Glib::RefPtr<Gio::SimpleActionGroup> actionGroup;
  Actions* actionsToolbar;
  bool resetRefreshesPanel;
};

#endif
