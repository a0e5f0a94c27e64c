// Both programs, started as a user starts them: a command whose handler lets
// an exception out (memory running short, or an error nobody expected) says
// so in a message, and the program goes on with its window, its canvas and
// its unsaved work as they were.

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommandErrorReport.h"
#include "DialogAnswerer.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "StartedProgramFiles.h"
#include "StartedProgramTest.h"
#include "UnsavedWorkQuestion.h"
#include "WidgetById.h"
#include "circleShape.h"

namespace {

using Step = ScriptedUser::Step;
using Steps = std::vector<Step>;
constexpr auto look = &ScriptedUser::look;

class CommandErrorTest : public StartedProgramTest {
 protected:
  CommandErrorTest() : StartedProgramTest(startedRunFolder, startedProgram) {}

  // Clicks the toolbar's best-fit button, as the user's click does, with a
  // handler of its click that throws what `fail` throws.
  Step clickFailingCommand(std::function<void()> fail) {
    return ScriptedUser::later([this, fail] {
      auto* item = findById<Gtk::ToolButton>(mainWindow(), "zoomBestFit");
      ASSERT_NE(item, nullptr);
      sigc::connection failing = item->signal_clicked().connect(fail);
      gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(item->gobj()))));
      failing.disconnect();
    });
  }

  // Waits for the error message, keeps its text and answers it.
  Step answerErrorMessage() {
    return [this] {
      auto* box = DialogAnswerer::visible<Gtk::MessageDialog>();
      if (box == nullptr || box->property_message_type() != Gtk::MESSAGE_ERROR) return false;
      errors.push_back(box->property_text().get_value() + "|" + box->property_secondary_text().get_value());
      box->response(Gtk::RESPONSE_OK);
      return true;
    };
  }

  std::vector<std::string> errors;
};

TEST_F(CommandErrorTest, AnExceptionLeavingACommandIsShownAndTheWorkStays) {
  const struct {
    const char* what;
    std::function<void()> fail;
    std::string message;
  } cases[] = {
      {"memory short", [] { throw std::bad_alloc(); }, CommandErrorReport::outOfMemory},
      {"a library error", [] { throw std::runtime_error("the histogram could not be made"); },
       "The command stopped on an unexpected error: the histogram could not be made. Your work is kept."},
      {"something else", [] { throw 7; },
       "The command stopped on an unexpected error of an unknown kind. Your work is kept."},
  };
  std::vector<baseShape*> drawn;
  std::vector<std::string> outcomes;
  Steps steps{look([&] {
    std::vector<baseShape*> shapes = canvas()->getPolygonsNew();
    shapes.push_back(new circleShape(5, 0.5, 0.5, 90, true, false, false, true, 0, 0, 0));
    canvas()->setPolygonsModel(shapes);
    drawn = canvas()->getPolygonsNew();
  })};
  for (const auto& c : cases) {
    steps.push_back(clickFailingCommand(c.fail));
    steps.push_back(answerErrorMessage());
    steps.push_back(look([&, what = c.what] {
      const bool kept = mainWindow().get_visible() && canvas()->getPolygonsNew() == drawn;
      outcomes.push_back(std::string(what) + (kept ? ": kept" : ": changed"));
    }));
  }
  // The drawn circle is still unsaved: Quit asks about it.
  steps.push_back(choose("exit"));
  steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse));

  EXPECT_EQ(run(steps, 120), 0);

  ASSERT_EQ(errors.size(), std::size(cases));
  ASSERT_EQ(outcomes.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(errors[i], std::string(CommandErrorReport::title) + "|" + cases[i].message) << cases[i].what;
    EXPECT_EQ(outcomes[i], std::string(cases[i].what) + ": kept");
  }
}

}  // namespace
