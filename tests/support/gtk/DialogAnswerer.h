#ifndef DIALOGANSWERER_H
#define DIALOGANSWERER_H

#include <gtkmm/filechooserdialog.h>
#include <gtkmm/window.h>
#include <sigc++/sigc++.h>

#include "HangLimit.h"

// Answers the modal dialogs an operation under test opens. A dialog runs its
// own loop until it is answered, so the answers come from timers: `poll` runs
// every 20 ms until it returns false and waits, as each of its steps does, for
// the state it needs. Only against a hang, `expire` runs once after `seconds`
// and the test fails there, saying so. Both stop with the answerer. By
// default a test's dialogs may take as long as the longest (5 s quiet).
class DialogAnswerer {
 public:
  DialogAnswerer(sigc::slot<bool> poll, sigc::slot<void> expire, unsigned seconds = hangLimitSeconds(5));
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  bool timedOut() const { return expired; }
  void stopPolling() { polling.disconnect(); }

  // The visible top-level window of class `Dialog`, or null.
  template <class Dialog>
  static Dialog* visible() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
      if (auto* dialog = dynamic_cast<Dialog*>(window); dialog != nullptr && dialog->get_visible()) return dialog;
    return nullptr;
  }

  // Answers the next dialog of any kind that appears with `response`.
  static void answerNext(int response);

  // True once the chooser shows the folder it was reading: until then, the
  // end of the reading replaces its list and drops or changes what was
  // chosen in it, also after it was answered. While it reads, it shows the
  // busy pointer.
  static bool hasReadItsFolder(Gtk::FileChooserDialog& chooser);

 private:
  bool onWatchdog();

  sigc::slot<void> expire;
  unsigned seconds;
  bool expired = false;
  sigc::connection polling;
  sigc::connection watchdog;
};

#endif
