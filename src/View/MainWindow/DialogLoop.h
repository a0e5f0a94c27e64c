#ifndef DIALOGLOOP_H
#define DIALOGLOOP_H

#include <glibmm/main.h>
#include <gtkmm/window.h>

// Runs a dialog window in a main loop of its own, nested in the one that is
// running, until the window is hidden. The dialogs of the menu are built and
// run inside a menu handler and return to it when the user closes them.
//
// A second application object cannot serve here: the running program already
// holds its application id on the session bus, and registering another one
// in the same process fails and then crashes. A plain nested loop needs no
// registration.
class DialogLoop {
 public:
  // The window is made modal and, when `parent` is given, kept above it.
  // Neither window is owned.
  DialogLoop(Gtk::Window& window, Gtk::Window* parent);
  ~DialogLoop();
  DialogLoop(const DialogLoop&) = delete;
  DialogLoop& operator=(const DialogLoop&) = delete;

  // Shows the window, gives it the focus and returns once it is hidden: by
  // code, or by the window manager's close, which hides it instead of
  // destroying it so that its owner can still read and delete it.
  void run();

 private:
  bool onDelete(GdkEventAny* event);

  Gtk::Window& window;
  Glib::RefPtr<Glib::MainLoop> loop;
  sigc::connection hidden;
  sigc::connection closed;
};

#endif
