#ifndef FILELISTVIEW_H
#define FILELISTVIEW_H

#include <gtkmm/box.h>
#include <gtkmm/liststore.h>
#include <gtkmm/paned.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/treeview.h>

#include <string>
#include <vector>

#include "DialogChoosers.h"

class PreferencesSample;

// The list of chosen files that a batch dialog shows in a pane of its
// interface file: one column of paths in a scrolled tree view.
class FileListView {
 public:
  class ModelColumns : public Gtk::TreeModelColumnRecord {
   public:
    ModelColumns() { add(name); }
    Gtk::TreeModelColumn<Glib::ustring> name;
  };

  // An empty list under a column titled `title`.
  explicit FileListView(const Glib::ustring& title);
  FileListView(const FileListView&) = delete;
  FileListView& operator=(const FileListView&) = delete;

  // Shows the list in the free slot of `pane`.
  void attachTo(Gtk::Paned& pane);
  // Replaces the rows with `files`, in order, under a column titled `title`.
  void show(const std::vector<std::string>& files, const Glib::ustring& title);
  void clear() { myrefTreeModel->clear(); }

  // Lets the user pick files from `folder` (DialogChoosers::chooseFiles) and
  // makes the answer the batch settings' file list and the list shown, under
  // the column `title`. Cancelling empties both; another answer but a choice
  // changes nothing.
  void choose(PreferencesSample& settings, Gtk::Window* parent, const std::string& title, const std::string& folder,
              const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters, const Glib::ustring& columnTitle);

 private:
  void setColumn(const Glib::ustring& title);

  Gtk::Box myVBox;
  Gtk::ScrolledWindow myScrolledWindow;
  Gtk::TreeView myTreeView;
  ModelColumns myColumns;
  Glib::RefPtr<Gtk::ListStore> myrefTreeModel;
};

#endif
