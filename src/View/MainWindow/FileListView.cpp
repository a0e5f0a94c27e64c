#include "FileListView.h"

#include "PreferencesSample.h"

FileListView::FileListView(const Glib::ustring& title)
    : myVBox(Gtk::ORIENTATION_HORIZONTAL, 0), myrefTreeModel(Gtk::ListStore::create(myColumns)) {
  myScrolledWindow.add(myTreeView);
  myScrolledWindow.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
  myVBox.pack_start(myScrolledWindow, Gtk::PACK_EXPAND_WIDGET, 0);
  myTreeView.set_model(myrefTreeModel);
  setColumn(title);
}

void FileListView::attachTo(Gtk::Paned& pane) {
  pane.show();
  pane.add(myVBox);
  pane.show_all_children();
}

void FileListView::show(const std::vector<std::string>& files, const Glib::ustring& title) {
  // A new store, so the rows are exactly the files given, never added to.
  myrefTreeModel = Gtk::ListStore::create(myColumns);
  for (const std::string& file : files) (*myrefTreeModel->append())[myColumns.name] = file;
  myTreeView.set_model(myrefTreeModel);
  setColumn(title);
}

void FileListView::setColumn(const Glib::ustring& title) {
  myTreeView.remove_all_columns();
  myTreeView.append_column(title, myColumns.name);
}

void FileListView::choose(PreferencesSample& settings, Gtk::Window* parent, const std::string& title,
                          const std::string& folder, const std::vector<Glib::RefPtr<Gtk::FileFilter>>& filters,
                          const Glib::ustring& columnTitle) {
  DialogChoosers::FilesChoice choice = DialogChoosers::chooseFiles(parent, title, folder, filters);
  switch (choice.answer) {
    case DialogChoosers::Answer::Cancelled:
      // The list shown is the list used: both become empty.
      settings.clearImageFiles();
      clear();
      break;
    case DialogChoosers::Answer::Chosen:
      show(choice.files, columnTitle);
      if (!choice.files.empty()) settings.setImagesFiles(choice.files);
      break;
    case DialogChoosers::Answer::Other:
      break;
  }
}
