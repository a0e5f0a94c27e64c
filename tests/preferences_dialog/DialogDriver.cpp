#include "DialogDriver.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/messagedialog.h>

#include <filesystem>
#include <stdexcept>

#include "PreferencesZelvora.h"
#include "WidgetById.h"

void DialogView::enter(const std::string& id, const std::string& text) {
  auto& entry = get<Gtk::Entry>(id);
  entry.set_text(text);
  entry.activate();
}

std::string shippedInterfaceFile() { return std::string(LUMORA_DATA_DIR) + "/Glade/preferencesZelvora.glade"; }

void runPreferencesDialog(Model::ModelFachade& model, const std::function<void(DialogView&)>& act,
                          Gtk::Window* parent) {
  runPreferencesDialog(model, act, parent, shippedInterfaceFile());
}

void runPreferencesDialogWith(const std::function<void(DialogView&)>& act, const std::function<void()>& open) {
  DialogAnswerer answerer(
      [&act] {
        Gtk::Window* window = visibleWindowById("windowPreferences");
        if (window == nullptr) return true;
        // A click that opens a chooser runs its loop inside this callback, so
        // it must not be the polling one.
        Glib::signal_idle().connect_once([&act, window] {
          DialogView view(*window);
          try {
            act(view);
          } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
            window->hide();
          }
        });
        return false;
      },
      [] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) window->hide();
      });
  open();
  EXPECT_FALSE(answerer.timedOut()) << "the dialog was left open";
}

void runPreferencesDialog(Model::ModelFachade& model, const std::function<void(DialogView&)>& act, Gtk::Window* parent,
                          const std::string& interfaceFile) {
  runPreferencesDialogWith(act, [&] { PreferencesZelvora dialog(&model, interfaceFile, parent); });
}

ChooserAnswer::ChooserAnswer(int response, std::string path)
    : response(response), path(std::move(path)), answerer(sigc::mem_fun(*this, &ChooserAnswer::onPoll), [] {
        if (auto* dialog = DialogAnswerer::visible<Gtk::FileChooserDialog>()) dialog->response(Gtk::RESPONSE_CANCEL);
      }) {}

bool ChooserAnswer::onPoll() {
  auto* dialog = DialogAnswerer::visible<Gtk::FileChooserDialog>();
  if (dialog == nullptr) return true;
  title = dialog->get_title();
  action = dialog->get_action();
  asksBeforeOverwriting = dialog->get_do_overwrite_confirmation();
  if (response == Gtk::RESPONSE_OK && !path.empty()) {
    // The chooser takes a choice asynchronously: answer once it shows it.
    // A choice made while it reads a folder may be dropped when the reading
    // ends, even after the answer, so it also waits for that.
    if (!DialogAnswerer::hasReadItsFolder(*dialog)) return true;
    if (action == Gtk::FILE_CHOOSER_ACTION_SAVE) {
      const std::filesystem::path file(path);
      if (!picked) picked = dialog->set_current_folder(file.parent_path().string());
      // Once the folder is read, the name entry completes a name that begins
      // a file's name there; the name is given again until it stays.
      if (dialog->get_filename() != path) {
        dialog->set_current_name(file.filename().string());
        stablePolls = 0;
        return true;
      }
      // Completion runs when the folder has been read, which on a loaded
      // machine can be late: answer only once the name has stayed a while.
      if (++stablePolls < requiredStablePolls) return true;
    } else if (dialog->get_filename() != path) {
      dialog->set_filename(path);
      return true;
    }
  }
  dialog->response(response);
  return false;
}

MessageAnswer::MessageAnswer(int response)
    : response(response), answerer(sigc::mem_fun(*this, &MessageAnswer::onPoll), [] {
        if (auto* dialog = DialogAnswerer::visible<Gtk::MessageDialog>()) dialog->response(Gtk::RESPONSE_CANCEL);
      }) {}

bool MessageAnswer::onPoll() {
  auto* dialog = DialogAnswerer::visible<Gtk::MessageDialog>();
  if (dialog == nullptr) return true;
  primary = dialog->property_text().get_value();
  secondary = dialog->property_secondary_text().get_value();
  dialog->response(response);
  return false;
}
