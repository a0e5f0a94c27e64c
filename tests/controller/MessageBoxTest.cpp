#include <gtest/gtest.h>
#include <gtkmm.h>

#include "ControllerFachade.h"
#include "DialogAnswerer.h"

namespace {

struct QuestionCase {
  int response;
  int expected;
};

class MessageBoxTest : public ::testing::TestWithParam<QuestionCase> {};

TEST_P(MessageBoxTest, QuestionBoxReturnsOneOnlyForOk) {
  ControllerFachade controller;
  DialogAnswerer::answerNext(GetParam().response);
  EXPECT_EQ(controller.showMessageCancelQuit("Preferences are reset and quit the program"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Responses, MessageBoxTest,
                         ::testing::Values(QuestionCase{Gtk::RESPONSE_OK, 1}, QuestionCase{Gtk::RESPONSE_CANCEL, 0},
                                           QuestionCase{Gtk::RESPONSE_DELETE_EVENT, 0}));

TEST(MessageBoxInformation, ReturnsWhenAnswered) {
  ControllerFachade controller;
  DialogAnswerer::answerNext(Gtk::RESPONSE_OK);
  controller.showMessage("Done");
  DialogAnswerer::answerNext(Gtk::RESPONSE_DELETE_EVENT);
  controller.showMessage("Closed by the window manager");
  SUCCEED();
}

}  // namespace
