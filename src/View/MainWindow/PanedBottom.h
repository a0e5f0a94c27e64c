#ifndef PANEDBOTTOM_H
#define PANEDBOTTOM_H

#include <gtkmm/box.h>
#include <gtkmm/paned.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include "Observer.h"

class Actions;
class ScrollImage;

// The results table in the window's lower pane: a scrolled tree view whose
// model and rows the use cases make. It keeps the table and the canvas's
// selection in step: a shape selected on the canvas selects and centres its
// row, a row clicked selects its shape on the canvas and centres the canvas on
// it. Made once by the use cases, which (un)subscribe it while the table is
// shown (hidden).
class PanedBottom : public Observer {
 public:
  // Neither the pane nor the use cases are owned.
  PanedBottom(Gtk::Paned* paned, Actions* actions);
  virtual ~PanedBottom() = default;
  PanedBottom(const PanedBottom&) = delete;
  PanedBottom& operator=(const PanedBottom&) = delete;

  void subscribe();
  void unsubscribe();
  Gtk::TreeView* getTreeView() { return &myTreeView; }
  // The table is always this panel's own tree view: another is not taken.
  void setTreeView(Gtk::TreeView*) {}

  // Selects on the canvas the shape of the table's selected row, as a click
  // on that row does.
  void on_selection_changed();

  // RegionSelected and ShapeSelected select the row of the canvas's selection
  // (none when it has no row); other codes are ignored.
  void update(int code) override;

 private:
  void on_treeview_row_activated(const Gtk::TreeModel::Path& path, Gtk::TreeViewColumn* column);

  Actions* actionsPaned;
  Gtk::Paned* Common1;
  ScrollImage* scrollImage;
  Gtk::Box m_VBox{Gtk::ORIENTATION_VERTICAL, 0};
  Gtk::ScrolledWindow m_ScrolledWindow;
  Gtk::TreeView myTreeView;
  // The tree view's selection and model, fetched when they are needed.
  Glib::RefPtr<Gtk::TreeSelection> refTreeSelection;
  Glib::RefPtr<Gtk::TreeModel> refTreeModel;
};

#endif
