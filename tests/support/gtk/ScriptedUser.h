#ifndef SCRIPTEDUSER_H
#define SCRIPTEDUSER_H

#include <gtkmm/button.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogAnswerer.h"
#include "HangLimit.h"

// Plays a user's steps, one after the other, while the code under test runs
// its dialogs' own loops: every 20 ms the current step is tried, and it
// returns true once it has done its part (a step waits by returning false).
// Every message box is answered with OK and its secondary text kept. When
// the steps take too long, every dialog shown is cancelled or hidden so that
// the test ends and fails.
class ScriptedUser {
 public:
  using Step = std::function<bool()>;

  explicit ScriptedUser(std::vector<Step> steps, unsigned seconds = hangLimitSeconds(5));

  bool finished() const { return next == steps.size(); }
  bool timedOut() const { return answerer.timedOut(); }
  const std::vector<std::string>& messages() const { return texts; }

  // The visible top-level window with this title, or null.
  static Gtk::Window* visibleWindow(const std::string& title);
  // The widget of class `Widget` below `root`, or null.
  template <class Widget>
  static Widget* findWidget(Gtk::Widget* root) {
    if (auto* found = dynamic_cast<Widget*>(root)) return found;
    if (auto* container = dynamic_cast<Gtk::Container*>(root))
      for (Gtk::Widget* child : container->get_children())
        if (Widget* found = findWidget<Widget>(child)) return found;
    return nullptr;
  }

  // Steps. A click that opens another loop must leave the timer that runs the
  // steps first, so clicks go out from an idle callback.
  // Clicks the button `id` of the visible window whose id is `windowId`.
  static Step click(const std::string& windowId, const std::string& id);
  // Runs `action` from an idle callback.
  static Step later(std::function<void()> action);
  // Waits for a file chooser titled `title` and answers it: with OK after
  // choosing `paths` (one folder, the file to save, one file to open or every
  // file shown in one folder), or with `response` when `paths` is empty.
  static Step answerChooser(const std::string& title, std::vector<std::string> paths,
                            int response = Gtk::RESPONSE_CANCEL);
  // Waits for a question box whose primary text contains `text` and answers it.
  static Step answerQuestion(const std::string& text, int response);
  // Waits until `condition` holds.
  static Step waitFor(std::function<bool()> condition);
  // Records something seen while the dialog is open, once the clicks and
  // actions of the steps before it have run.
  static Step look(std::function<void()> observe);

 private:
  bool onPoll();
  void onWatchdog();

  std::vector<Step> steps;
  std::size_t next = 0;
  std::vector<std::string> texts;
  // Last, so that its timers start after and stop before the state they use.
  DialogAnswerer answerer;
};

#endif
