#include "DialogAnswerer.h"

#include <glibmm/main.h>
#include <gtkmm/dialog.h>

#include <utility>

namespace {

constexpr unsigned pollMilliseconds = 20;

}  // namespace

DialogAnswerer::DialogAnswerer(sigc::slot<bool> poll, sigc::slot<void> expire, unsigned seconds)
    : expire(std::move(expire)) {
  polling = Glib::signal_timeout().connect(std::move(poll), pollMilliseconds);
  watchdog = Glib::signal_timeout().connect_seconds(sigc::mem_fun(*this, &DialogAnswerer::onWatchdog), seconds);
}

DialogAnswerer::~DialogAnswerer() {
  polling.disconnect();
  watchdog.disconnect();
}

bool DialogAnswerer::onWatchdog() {
  expired = true;
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
