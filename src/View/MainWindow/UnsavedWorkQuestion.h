#ifndef UNSAVEDWORKQUESTION_H
#define UNSAVEDWORKQUESTION_H

#include <gtkmm/dialog.h>
#include <gtkmm/window.h>

// The question asked before a command drops an annotation that holds changes
// not yet saved: "Save", "Discard" or "Cancel". Its buttons answer with the
// responses below, so that code driving the window can answer it too.
class UnsavedWorkQuestion {
 public:
  enum class Answer { Save, Discard, Cancel };
  // The commands that drop the annotation, named in the question.
  // ReplaceShapes: a command of the side panel that takes every shape off the
  // canvas (a detection, a new diameter limit, organ or measurement).
  enum class Command { Quit, Clear, OpenPicture, OpenAnnotation, ReplaceShapes };

  static constexpr int saveResponse = Gtk::RESPONSE_ACCEPT;
  static constexpr int discardResponse = Gtk::RESPONSE_REJECT;
  static constexpr int cancelResponse = Gtk::RESPONSE_CANCEL;
  // The question's primary text.
  static const char* const text;

  // Runs the question modal over `parent` (none when null). Closing it, or
  // any response but the three, cancels.
  static Answer ask(Gtk::Window* parent, Command command);
};

#endif
