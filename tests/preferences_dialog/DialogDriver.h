#ifndef DIALOGDRIVER_H
#define DIALOGDRIVER_H

#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/window.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "DialogAnswerer.h"
#include "ModelFachade.h"
#include "WidgetById.h"

// The widgets of the open preferences dialog, found by their ids, and the
// user's gestures on them.
class DialogView {
 public:
  explicit DialogView(Gtk::Window& window) : window(window) {}

  // The widget with the id; throws when there is none of that class.
  template <class Widget>
  Widget& get(const std::string& id);

  // Types `text` into the entry and presses Enter.
  void enter(const std::string& id, const std::string& text);
  void click(const std::string& id) { get<Gtk::Button>(id).clicked(); }

  Gtk::Window& window;
};

// Runs Lumora's preferences dialog over the model's settings. Once its window
// shows, `act` runs on it from an idle callback, as the user's clicks would;
// `act` must close the dialog. A dialog still open after a while is closed
// and the test fails.
void runPreferencesDialog(Model::ModelFachade& model, const std::function<void(DialogView&)>& act,
                          Gtk::Window* parent = nullptr);
// The same with another interface file.
void runPreferencesDialog(Model::ModelFachade& model, const std::function<void(DialogView&)>& act, Gtk::Window* parent,
                          const std::string& interfaceFile);

// The same for any program's dialog window "windowPreferences", which
// `open` builds and runs until it closes.
void runPreferencesDialogWith(const std::function<void(DialogView&)>& act, const std::function<void()>& open);

// The interface file the program ships.
std::string shippedInterfaceFile();

// Answers the next file chooser: with OK after choosing `path` (a folder, or
// for a save chooser the file to save), or with another response.
class ChooserAnswer {
 public:
  explicit ChooserAnswer(int response, std::string path = "");
  bool appeared() const { return !title.empty(); }
  bool timedOut() const { return answerer.timedOut(); }
  std::string title;
  Gtk::FileChooserAction action = Gtk::FILE_CHOOSER_ACTION_OPEN;
  bool asksBeforeOverwriting = false;

 private:
  bool onPoll();
  int response;
  std::string path;
  bool picked = false;
  static constexpr int requiredStablePolls = 10;
  int stablePolls = 0;
  DialogAnswerer answerer;
};

// Answers the next message box with `response` and keeps its texts.
class MessageAnswer {
 public:
  explicit MessageAnswer(int response);
  bool appeared() const { return !primary.empty(); }
  std::string primary;
  std::string secondary;

 private:
  bool onPoll();
  int response;
  DialogAnswerer answerer;
};

template <class Widget>
Widget& DialogView::get(const std::string& id) {
  Widget* widget = dynamic_cast<Widget*>(widgetById(window, id));
  if (widget == nullptr) throw std::runtime_error("the dialog has no widget \"" + id + "\" of the expected class");
  return *widget;
}

#endif
