#ifndef DIALOGANSWERER_H
#define DIALOGANSWERER_H

#include <gtkmm/window.h>
#include <sigc++/sigc++.h>

// Answers the modal dialogs an operation under test opens. A dialog runs its
// own loop until it is answered, so the answers come from timers: `poll` runs
// every 20 ms until it returns false, and `expire` once after `seconds`, so
// that a dialog nobody answers cannot hang the test. Both stop with the
// answerer.
class DialogAnswerer {
 public:
  DialogAnswerer(sigc::slot<bool> poll, sigc::slot<void> expire, unsigned seconds = 20);
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

 private:
  bool onWatchdog();

  sigc::slot<void> expire;
  bool expired = false;
  sigc::connection polling;
  sigc::connection watchdog;
};

#endif
