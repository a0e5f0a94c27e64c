#include "ScriptedUser.h"

#include <glibmm/main.h>
#include <glibmm/miscutils.h>

#include <algorithm>
#include <utility>

#include "WidgetById.h"

namespace {

// Clicks and actions sent to an idle callback that have not run yet. The
// steps run from a timer, which may fire again before the idle callbacks
// when the machine is busy: a look waits for them, so that it sees what
// they did.
int pendingActions = 0;

void runWhenIdle(std::function<void()> action) {
  ++pendingActions;
  Glib::signal_idle().connect_once([action = std::move(action)] {
    --pendingActions;
    action();
  });
}

}  // namespace

ScriptedUser::ScriptedUser(std::vector<Step> steps, unsigned seconds)
    : steps(std::move(steps)),
      answerer(sigc::mem_fun(*this, &ScriptedUser::onPoll), sigc::mem_fun(*this, &ScriptedUser::onWatchdog), seconds) {}

bool ScriptedUser::onPoll() {
  // Information boxes are answered at once; questions are left to the steps.
  if (auto* box = DialogAnswerer::visible<Gtk::MessageDialog>();
      box != nullptr && box->property_message_type() == Gtk::MESSAGE_INFO) {
    texts.push_back(box->property_secondary_text().get_value());
    box->response(Gtk::RESPONSE_OK);
    return true;
  }
  if (next < steps.size() && steps[next]()) ++next;
  return true;
}

void ScriptedUser::onWatchdog() {
  answerer.stopPolling();
  // Innermost first: each answer ends one nested loop.
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (!window->get_visible() || window->get_transient_for() == nullptr) continue;
    if (auto* dialog = dynamic_cast<Gtk::Dialog*>(window))
      dialog->response(Gtk::RESPONSE_CANCEL);
    else
      window->hide();
  }
}

Gtk::Window* ScriptedUser::visibleWindow(const std::string& title) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (window->get_visible() && window->get_title() == title) return window;
  return nullptr;
}

ScriptedUser::Step ScriptedUser::later(std::function<void()> action) {
  return [action] {
    runWhenIdle(action);
    return true;
  };
}

ScriptedUser::Step ScriptedUser::click(const std::string& windowId, const std::string& id) {
  return [windowId, id] {
    Gtk::Window* window = visibleWindowById(windowId);
    auto* button = window != nullptr ? findById<Gtk::Button>(*window, id) : nullptr;
    if (button == nullptr) return false;
    runWhenIdle([button] { button->clicked(); });
    return true;
  };
}

namespace {

// Puts `paths` into the chooser; true once it shows them as chosen (the
// chooser reads folders asynchronously).
bool choose(Gtk::FileChooserDialog* chooser, const std::vector<std::string>& paths) {
  switch (chooser->get_action()) {
    case Gtk::FILE_CHOOSER_ACTION_SAVE:
      if (chooser->get_filename() != paths.front()) {
        chooser->set_current_folder(Glib::path_get_dirname(paths.front()));
        chooser->set_current_name(Glib::path_get_basename(paths.front()));
      }
      return chooser->get_filename() == paths.front();
    case Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER:
      if (chooser->get_filename() != paths.front()) chooser->set_filename(paths.front());
      return chooser->get_filename() == paths.front();
    default: {
      std::vector<std::string> wanted = paths;
      std::vector<std::string> chosen = chooser->get_filenames();
      std::sort(wanted.begin(), wanted.end());
      std::sort(chosen.begin(), chosen.end());
      if (chosen == wanted) return true;
      // Changing the folder drops the selection, so it changes only once.
      const std::string folder = Glib::path_get_dirname(paths.front());
      if (chooser->get_current_folder() != folder) {
        chooser->set_current_folder(folder);
        return false;
      }
      // Selecting a file replaces the selection; several are selected all
      // at once.
      if (paths.size() == 1)
        chooser->select_filename(paths.front());
      else
        chooser->select_all();
      return false;
    }
  }
}

}  // namespace

ScriptedUser::Step ScriptedUser::answerChooser(const std::string& title, std::vector<std::string> paths, int response) {
  return [title, paths, response] {
    auto* chooser = dynamic_cast<Gtk::FileChooserDialog*>(visibleWindow(title));
    if (chooser == nullptr) return false;
    if (paths.empty()) {
      chooser->response(response);
      return true;
    }
    // The chooser reads its folder in the background and may drop or move
    // the selection when the reading ends: it is answered once it has read
    // its folder and shows the choice.
    if (!choose(chooser, paths) || !DialogAnswerer::hasReadItsFolder(*chooser)) return false;
    chooser->response(Gtk::RESPONSE_OK);
    return true;
  };
}

ScriptedUser::Step ScriptedUser::answerQuestion(const std::string& text, int response) {
  return [text, response] {
    auto* box = DialogAnswerer::visible<Gtk::MessageDialog>();
    if (box == nullptr || box->property_text().get_value().find(text) == Glib::ustring::npos) return false;
    box->response(response);
    return true;
  };
}

ScriptedUser::Step ScriptedUser::waitFor(std::function<bool()> condition) { return condition; }

ScriptedUser::Step ScriptedUser::look(std::function<void()> observe) {
  return [observe] {
    if (pendingActions > 0) return false;
    observe();
    return true;
  };
}
