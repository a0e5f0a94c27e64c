#include "PanedBottom.h"

#include "Actions.h"
#include "NotifyCode.h"
#include "ScrollImage.h"

PanedBottom::PanedBottom(Gtk::Paned* paned, Actions* actions)
    : actionsPaned(actions), Common1(paned), scrollImage(actions->getScrollImage()) {
  Common1->add(m_VBox);
  m_ScrolledWindow.add(myTreeView);
  m_ScrolledWindow.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  m_VBox.pack_start(m_ScrolledWindow, Gtk::PACK_EXPAND_WIDGET, 0);
  myTreeView.set_activate_on_single_click(true);
  myTreeView.signal_row_activated().connect(sigc::mem_fun(*this, &PanedBottom::on_treeview_row_activated));
  Common1->show_all_children();
}

void PanedBottom::subscribe() { scrollImage->subscribe(this); }

void PanedBottom::unsubscribe() { scrollImage->unsubscribe(this); }

void PanedBottom::update(int code) {
  if (code != RegionSelected && code != ShapeSelected) return;
  const Glib::RefPtr<Gtk::TreeSelection> selection = myTreeView.get_selection();
  selection->unselect_all();
  const Gtk::TreeIter row = actionsPaned->getSelectedRow();
  if (!row) return;
  selection->select(row);
  const std::vector<Gtk::TreeModel::Path> rows = selection->get_selected_rows();
  if (!rows.empty()) myTreeView.scroll_to_row(rows.front(), 0.5);
}

void PanedBottom::on_treeview_row_activated(const Gtk::TreeModel::Path& path, Gtk::TreeViewColumn*) {
  refTreeModel = myTreeView.get_model();
  if (!refTreeModel) return;
  const Gtk::TreeIter row = refTreeModel->get_iter(path);
  if (row) actionsPaned->selectedObject(row);
}

void PanedBottom::on_selection_changed() {
  refTreeSelection = myTreeView.get_selection();
  const Gtk::TreeIter row = refTreeSelection->get_selected();
  if (row) actionsPaned->selectedObject(row);
}
