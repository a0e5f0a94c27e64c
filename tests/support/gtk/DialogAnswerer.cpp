#include "DialogAnswerer.h"

#include <gtest/gtest.h>
#include <glibmm/main.h>
#include <gtkmm/dialog.h>
#include <gtkmm/treeview.h>

#include <utility>

#include "ScriptedUser.h"

namespace {

constexpr unsigned pollMilliseconds = 20;

}  // namespace

DialogAnswerer::DialogAnswerer(sigc::slot<bool> poll, sigc::slot<void> expire, unsigned seconds)
    : expire(std::move(expire)), seconds(seconds) {
  // Below every source of the toolkit: a poll runs only in a round of the
  // loop where nothing else is ready, so no reading the toolkit finishes can
  // slip in between an answer and the return of the dialog's loop.
  polling = Glib::signal_timeout().connect(std::move(poll), pollMilliseconds, Glib::PRIORITY_LOW);
  watchdog = Glib::signal_timeout().connect_seconds(sigc::mem_fun(*this, &DialogAnswerer::onWatchdog), seconds);
}

DialogAnswerer::~DialogAnswerer() {
  polling.disconnect();
  watchdog.disconnect();
}

bool DialogAnswerer::onWatchdog() {
  expired = true;
  ADD_FAILURE() << "the dialogs were not answered within " << seconds
                << " s: a step waited for a state that never came; the open dialogs are closed";
  expire();
  return false;
}

void DialogAnswerer::answerNext(int response) {
  Glib::signal_timeout().connect(
      [response] {
        Gtk::Dialog* dialog = visible<Gtk::Dialog>();
        if (dialog == nullptr) return true;
        dialog->response(response);
        return false;
      },
      pollMilliseconds);
}

bool DialogAnswerer::hasReadItsFolder(Gtk::FileChooserDialog& chooser) {
  const auto* list = ScriptedUser::findWidget<Gtk::TreeView>(&chooser);
  const Glib::RefPtr<Gdk::Window> window = chooser.get_window();
  return list != nullptr && list->get_model() && window && !window->get_cursor();
}
