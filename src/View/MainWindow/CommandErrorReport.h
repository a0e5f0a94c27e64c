#ifndef COMMANDERRORREPORT_H
#define COMMANDERRORREPORT_H

#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <string>

// Tells the user about an exception that a command's handler let out. Left
// alone, such an exception ends the program (glibmm's default for an
// exception leaving a signal handler), and with it the unsaved work. While
// this object lives, every exception leaving a signal handler of the thread
// that made it is shown in a message over the main window instead, and
// nothing else changes: the window, the canvas and the unsaved state stay as
// the command left them.
class CommandErrorReport {
 public:
  explicit CommandErrorReport(Gtk::Window* mainWindow);
  ~CommandErrorReport();
  CommandErrorReport(const CommandErrorReport&) = delete;
  CommandErrorReport& operator=(const CommandErrorReport&) = delete;

  // The message's primary text.
  static const char* const title;
  static const char* const outOfMemory;
  // The message for the exception being handled; only inside a catch block.
  static std::string describeCurrentException();

 private:
  void report();

  Gtk::Window* mainWindow;
  sigc::connection handler;
  // A message is up: an exception met while it runs its loop (a drawing
  // handler failing on every frame) is only written to standard error.
  bool reporting = false;
};

#endif
