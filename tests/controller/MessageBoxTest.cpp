#include <gtest/gtest.h>
#include <gtkmm.h>

#include "ControllerFachade.h"

namespace {

// Answers the first message box that appears with `response`.
void answerNextDialog(int response) {
  Glib::signal_timeout().connect(
      [response] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          if (auto* dialog = dynamic_cast<Gtk::Dialog*>(window); dialog != nullptr && dialog->get_visible()) {
            dialog->response(response);
            return false;
          }
        }
        return true;
      },
      20);
}

struct QuestionCase {
  int response;
  int expected;
};

class MessageBoxTest : public ::testing::TestWithParam<QuestionCase> {};

TEST_P(MessageBoxTest, QuestionBoxReturnsOneOnlyForOk) {
  ControllerFachade controller;
  answerNextDialog(GetParam().response);
  EXPECT_EQ(controller.showMessageCancelQuit("Preferences are reset and quit the program"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Responses, MessageBoxTest,
                         ::testing::Values(QuestionCase{Gtk::RESPONSE_OK, 1}, QuestionCase{Gtk::RESPONSE_CANCEL, 0},
                                           QuestionCase{Gtk::RESPONSE_DELETE_EVENT, 0}));

TEST(MessageBoxInformation, ReturnsWhenAnswered) {
  ControllerFachade controller;
  answerNextDialog(Gtk::RESPONSE_OK);
  controller.showMessage("Done");
  answerNextDialog(Gtk::RESPONSE_DELETE_EVENT);
  controller.showMessage("Closed by the window manager");
  SUCCEED();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto application = Gtk::Application::create("org.stereology.lumora.tests.messagebox");
  return RUN_ALL_TESTS();
}
