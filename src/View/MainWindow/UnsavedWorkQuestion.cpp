#include "UnsavedWorkQuestion.h"

#include <gtkmm/messagedialog.h>

const char* const UnsavedWorkQuestion::text = "The annotation has changes that are not saved";

namespace {

const char* whatIsLost(UnsavedWorkQuestion::Command command) {
  switch (command) {
    case UnsavedWorkQuestion::Command::Quit:
      return "Quitting drops them unless they are saved first.";
    case UnsavedWorkQuestion::Command::Clear:
      return "Clearing drops them, and undo cannot bring them back, unless they are saved first.";
    case UnsavedWorkQuestion::Command::OpenPicture:
      return "Opening another picture drops them unless they are saved first.";
    case UnsavedWorkQuestion::Command::OpenAnnotation:
      return "Opening another annotation drops them unless they are saved first.";
    case UnsavedWorkQuestion::Command::ReplaceShapes:
      return "This command takes every shape off the canvas, and undo cannot bring them back, unless they are "
             "saved first.";
  }
  return "";
}

}  // namespace

UnsavedWorkQuestion::Answer UnsavedWorkQuestion::ask(Gtk::Window* parent, Command command) {
  Gtk::MessageDialog dialog(text, false, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_NONE, true);
  if (parent != nullptr) dialog.set_transient_for(*parent);
  dialog.set_secondary_text(whatIsLost(command));
  dialog.add_button("_Discard", discardResponse);
  dialog.add_button("_Cancel", cancelResponse);
  dialog.add_button("_Save", saveResponse);
  dialog.set_default_response(saveResponse);
  const int response = dialog.run();
  dialog.hide();
  if (response == saveResponse) return Answer::Save;
  if (response == discardResponse) return Answer::Discard;
  return Answer::Cancel;
}
